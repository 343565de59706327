// Kind constants: the byte widths of the library's numbers.
#pragma once
#include "base/alloc.hpp"

extern "C" {
extern const vorlen::i32 types_cb;
extern const vorlen::i32 types_i2;
extern const vorlen::i32 types_i4;
extern const vorlen::i32 types_i8;
extern const vorlen::i32 types_sp;
extern const vorlen::i32 types_dp;
extern const vorlen::i32 types_qp;
}

namespace vorlen::types {
inline constexpr auto& cb = ::types_cb;
inline constexpr auto& i2 = ::types_i2;
inline constexpr auto& i4 = ::types_i4;
inline constexpr auto& i8 = ::types_i8;
inline constexpr auto& sp = ::types_sp;
inline constexpr auto& dp = ::types_dp;
inline constexpr auto& qp = ::types_qp;
}  // namespace vorlen::types
