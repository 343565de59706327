// Python signatures of module prony: Prony relaxation step and cure kinetics.
#include "bind.hpp"
#include "failure/prony.hpp"

namespace {
using namespace vorlen::py;
using namespace vorlen::prony;

const Fragment prony("prony", 10, {
    routine<Relaxation>("relaxation", {"out d relaxation", "in d dold", "in d tau", "in d shift",
        "in d timestep", "in d stiffness", "in d pprony", "in d strain"}),
    routine<CureRate>("curerate", {"out d curerate", "in d curvefit(nc)", "in d t",
        "in d degree", "in d degmax", "opt i nc"}),
    routine<FuncDegree>("funcdegree", {"out d funcdegree", "in d curvefit(nc)", "in d t1",
        "in d degree0", "in d timestep", "in d degmax", "opt i nc"}),
});
}  // namespace
