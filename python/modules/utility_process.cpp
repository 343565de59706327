// Python signatures of the process arrival table of module utility.
#include "bind.hpp"
#include "core/utility.hpp"

namespace {
using namespace vorlen::py;
using namespace vorlen::utility;

const Fragment process("utility", 30,
                       {
                           routine<ProcessLock>("processlock", {"out b processlock", "in i procid",
                                                                "in i maxid", "opt i wflag = 0"}),
                           routine<ProcessUnLock>("processunlock", {"out i ierror"}),
                       });

}  // namespace
