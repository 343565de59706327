#include "core/debugdata.hpp"

extern "C" {
vorlen::i32 debugdata_nupdate = 0;
vorlen::i32 debugdata_edebug = 0;
vorlen::i32 debugdata_ndebug = 0;
vorlen::i32 debugdata_fdebug = 0;
vorlen::i32 debugdata_verbose = 0;
vorlen::i32 debugdata_unitid = 0;
}
