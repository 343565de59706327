// Damage data sets.
#pragma once
#include "base/alloc.hpp"

extern "C" {
extern vorlen::i32 damagedata_ndmg;
extern vorlen::Alloc<vorlen::i32, 1> damagedata_damagedds;
extern vorlen::Alloc<double, 3> damagedata_generaldds;
extern vorlen::Alloc<double, 3> damagedata_fiberdds;
extern vorlen::Alloc<double, 3> damagedata_matrixdds;
extern vorlen::Alloc<double, 3> damagedata_delamdds;
extern vorlen::Alloc<double, 3> damagedata_coredds;
extern vorlen::Alloc<double, 3> damagedata_userdds;
extern vorlen::Alloc<double, 2> damagedata_dmgshape;
extern vorlen::Alloc<double, 2> damagedata_dmgplane;
extern vorlen::Alloc<double, 4> damagedata_dmgpoints;
}

namespace vorlen::damagedata {
inline constexpr auto& ndmg = ::damagedata_ndmg;
inline constexpr auto& damagedds = ::damagedata_damagedds;
inline constexpr auto& generaldds = ::damagedata_generaldds;
inline constexpr auto& fiberdds = ::damagedata_fiberdds;
inline constexpr auto& matrixdds = ::damagedata_matrixdds;
inline constexpr auto& delamdds = ::damagedata_delamdds;
inline constexpr auto& coredds = ::damagedata_coredds;
inline constexpr auto& userdds = ::damagedata_userdds;
inline constexpr auto& dmgshape = ::damagedata_dmgshape;
inline constexpr auto& dmgplane = ::damagedata_dmgplane;
inline constexpr auto& dmgpoints = ::damagedata_dmgpoints;
}  // namespace vorlen::damagedata
