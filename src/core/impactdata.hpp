// Impactor records.
#pragma once
#include "base/alloc.hpp"

extern "C" {
extern vorlen::Alloc<double, 2> impactdata_cprops;
extern vorlen::Alloc<double, 2> impactdata_csvars;
}

namespace vorlen::impactdata {
inline constexpr auto& cprops = ::impactdata_cprops;
inline constexpr auto& csvars = ::impactdata_csvars;
}  // namespace vorlen::impactdata
