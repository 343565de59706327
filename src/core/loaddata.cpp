#include "core/loaddata.hpp"

extern "C" {
vorlen::i32 loaddata_nimp = 0;
vorlen::Alloc<double, 2> loaddata_dprops;
}
