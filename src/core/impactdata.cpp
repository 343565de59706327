#include "core/impactdata.hpp"

extern "C" {
vorlen::Alloc<double, 2> impactdata_cprops;
vorlen::Alloc<double, 2> impactdata_csvars;
}
