// Python signatures of the numerics on sampled data of module math.
#include "bind.hpp"
#include "core/math_tabulated.hpp"

namespace {
using namespace vorlen::py;
using namespace vorlen::math;

const Fragment tabulated("math", 70, {
    routine<math_nearestinterpolation>("nearestinterpolation", {"out d nearestinterpolation(k)",
        "in d x(n)", "in d y(n)", "in d p(k)", "hide i n = shape(x, 0)", "hide i k = shape(p, 0)"}),
    routine<math_linearinterpolation>("linearinterpolation", {"out d linearinterpolation(k)",
        "in d x(n)", "in d y(n)", "in d p(k)", "hide i n = shape(x, 0)", "hide i k = shape(p, 0)"}),
    routine<Gradient>("gradient", {"out d jac(a,b)", "in d dy(a,b)", "in d dx(b)", "opt i a",
        "opt i b"}),
    routine<CentralStepDerivative>("centralstepderivative", {"out d derivative(n)", "in d y(n)",
        "in d x(n)", "opt i n"}),
    routine<GetParabolaCoefficients>("getparabolacoefficients", {"in d ind(3,2)",
        "out d oud(3)"}),
});

}  // namespace
