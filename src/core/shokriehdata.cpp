#include "core/shokriehdata.hpp"

extern "C" {
double shokriehdata_dnf = 0;
double shokriehdata_dnfshok = 0;
vorlen::Alloc<double, 2> shokriehdata_cycles;
vorlen::Alloc<double, 2> shokriehdata_cycleprops;
}
