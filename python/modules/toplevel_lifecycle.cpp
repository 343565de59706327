// Signatures of module toplevel: the analysis lifecycle entries.
#include "bind.hpp"
#include "solver/toplevel_lifecycle.hpp"

namespace {
using namespace vorlen::py;

const Fragment toplevel_lifecycle("toplevel", 5, {
    routine<UEXTERNALDB_IOControl>("uexternaldb_iocontrol", {"in i lop", "in i lrestart",
        "in d time(2)", "in d dtime", "in i kstep", "in i kinc", "opt i exflag = 0"}),
    routine<VUEXTERNALDB_IOControl>("vexternaldb_iocontrol", {"in i k", "in i i_array(niarray)",
        "opt i niarray", "in d r_array(nrarray)", "opt i nrarray", "opt i mpi_rank = 0"}),
    routine<UACCESS_IOControl>("uaccess_iocontrol", {"in i lop", "in d dtime"}),
});
}  // namespace
