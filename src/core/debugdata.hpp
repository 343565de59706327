// Diagnostics and the update interval, set by the step card reader.
#pragma once
#include "base/alloc.hpp"

extern "C" {
extern vorlen::i32 debugdata_nupdate;
extern vorlen::i32 debugdata_edebug;
extern vorlen::i32 debugdata_ndebug;
extern vorlen::i32 debugdata_fdebug;
extern vorlen::i32 debugdata_verbose;
extern vorlen::i32 debugdata_unitid;
}

namespace vorlen::debugdata {
inline constexpr auto& nupdate = ::debugdata_nupdate;
inline constexpr auto& edebug = ::debugdata_edebug;
inline constexpr auto& ndebug = ::debugdata_ndebug;
inline constexpr auto& fdebug = ::debugdata_fdebug;
inline constexpr auto& verbose = ::debugdata_verbose;
inline constexpr auto& unitid = ::debugdata_unitid;
}  // namespace vorlen::debugdata
