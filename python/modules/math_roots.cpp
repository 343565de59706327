// Python signatures of the root finders and cubic roots of module math.
#include "bind.hpp"
#include "core/math_roots.hpp"

namespace {
using namespace vorlen::py;
using namespace vorlen::math;

const Fragment roots("math", 65, {
    routine<math_bdsafe>("bdsafe", {
        "callback dfunc(in,out d fa, in d d0, in d a, in d args(na), opt i na, in i nfun)",
        "in d x1", "in d x2", "out d root", "in d args(na)", "in d xacc", "in i maxit",
        "opt i na", "in i nfun", "out i istat"}),
    routine<math_nrsafe>("nrsafe", {
        "callback dfunc(in,out d fl, in,out d df, in d x1, in d args(na), opt i na, in i nfun)",
        "in d x1", "in d x2", "out d root", "in d args(na)", "in d xacc", "in i maxit",
        "opt i na", "in i nfun", "out i istat"}),
    routine<math_fpsafe>("fpsafe", {
        "callback dfunc(in,out d xnew, in d fargs(na), opt i na, in i nfun)",
        "in,out d xs", "in d args(na)", "in d xacc", "in i maxit", "opt i na", "in i nfun",
        "out i istat"}),
    routine<math_cuberoot>("cuberoot", {"out d cuberoot", "in d a"}),
    routine<SpecialCase>("specialcase", {"in d p", "in d q", "out d xx1", "out d xx2",
                                         "out d xx3"}),
    routine<Solution3PE>("solution3pe", {"in d a", "in d b", "in d c", "in d d", "out d x1",
                                         "out d x2", "out d x3"}),
});

}  // namespace
