// Python signatures of module isscollection: in-situ ply strengths.
#include "bind.hpp"
#include "materials/isscollection.hpp"

namespace {
using namespace vorlen::py;
using namespace vorlen::isscollection;

const Fragment isscollection("isscollection", 10, {
    routine<InSituLaRC04>("insitularc04", {"out d ys(2)", "in d elastic(4)", "in d gxc(2)",
        "in d xt22", "in d x12", "in d t", "opt d tlim = 0.0007"}),
    routine<InSituPuckPS>("insitupuckps", {"out d xc", "in d xc11", "in d xc22", "in d x12",
        "in d theta", "opt d gp(4) = (0.3, 0.2, 0.15, 0.15)"}),
    routine<InSituChangLessard>("insituchanglessard", {"out d ys(2)", "in d xt22", "in d ilss",
        "in d tratio", "in d dtmin_d", "opt d atod(4) = (1.3, 0.7, 0.0, 1.0)"}),
});
}  // namespace
