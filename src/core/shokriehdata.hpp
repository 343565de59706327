// Fatigue cycle settings.
#pragma once
#include "base/alloc.hpp"

extern "C" {
extern double shokriehdata_dnf;
extern double shokriehdata_dnfshok;
extern vorlen::Alloc<double, 2> shokriehdata_cycles;
extern vorlen::Alloc<double, 2> shokriehdata_cycleprops;
}

namespace vorlen::shokriehdata {
inline constexpr auto& dnf = ::shokriehdata_dnf;
inline constexpr auto& dnfshok = ::shokriehdata_dnfshok;
inline constexpr auto& cycles = ::shokriehdata_cycles;
inline constexpr auto& cycleprops = ::shokriehdata_cycleprops;
}  // namespace vorlen::shokriehdata
