// Load records of the impactors.
#pragma once
#include "base/alloc.hpp"

extern "C" {
extern vorlen::i32 loaddata_nimp;
extern vorlen::Alloc<double, 2> loaddata_dprops;
}

namespace vorlen::loaddata {
inline constexpr auto& nimp = ::loaddata_nimp;
inline constexpr auto& dprops = ::loaddata_dprops;
}  // namespace vorlen::loaddata
