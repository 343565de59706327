// Buckling records per ply interface, damage set and section.
#pragma once
#include "base/alloc.hpp"

extern "C" {
extern vorlen::Alloc<vorlen::i32, 4> bukdata_bukintdatalist;
extern vorlen::Alloc<double, 4> bukdata_bukrealdatalist;
}

namespace vorlen::bukdata {
inline constexpr auto& bukintdatalist = ::bukdata_bukintdatalist;
inline constexpr auto& bukrealdatalist = ::bukdata_bukrealdatalist;
}  // namespace vorlen::bukdata
