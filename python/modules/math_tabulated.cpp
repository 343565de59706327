// Python signatures of the numerics on sampled data of module math.
#include "bind.hpp"
#include "core/math_tabulated.hpp"

namespace {
using namespace vorlen::py;
using namespace vorlen::math;

constexpr const char* kEndsLinear =
    "Ends the process when x holds fewer than two values or does not increase strictly: the\n"
    "linear interpolation prints \"INTERP_LINEAR - Fatal error!\" on standard output and exits\n"
    "with status 1.";
constexpr const char* kEndsHermite =
    "Ends the process when x holds fewer than two values or does not increase strictly: the\n"
    "monotone cubic Hermite package prints its error report on standard output and exits with\n"
    "status 1 (its control flag, 2 at start, makes the error fatal).";

const Fragment tabulated("math", 70, {
    routine<math_nearestinterpolation>("nearestinterpolation", {"out d nearestinterpolation(k)",
        "in d x(n)", "in d y(n)", "in d p(k)", "hide i n = shape(x, 0)", "hide i k = shape(p, 0)"}),
    routine<math_linearinterpolation>("linearinterpolation", {"out d linearinterpolation(k)",
        "in d x(n)", "in d y(n)", "in d p(k)", "hide i n = shape(x, 0)", "hide i k = shape(p, 0)"},
        kEndsLinear),
    routine<Gradient>("gradient", {"out d jac(a,b)", "in d dy(a,b)", "in d dx(b)", "opt i a",
        "opt i b"}),
    routine<CentralStepDerivative>("centralstepderivative", {"out d derivative(n)", "in d y(n)",
        "in d x(n)", "opt i n"}),
    routine<GetParabolaCoefficients>("getparabolacoefficients", {"in d ind(3,2)",
        "out d oud(3)"}),
    routine<math_cubichermitianinterpolation>("cubichermitianinterpolation", {
        "out d cubichermitianinterpolation(k)", "in d x(n)", "in d y(n)", "in d p(k)",
        "hide i n = shape(x, 0)", "hide i k = shape(p, 0)"}, kEndsHermite),
    routine<math_cubichermitianintegration>("cubichermitianintegration", {"out d r", "in d x(n)",
        "in d y(n)", "in d a", "in d b", "hide i n = shape(x, 0)"}, kEndsHermite),
    routine<math_cubichermitianarclength>("cubichermitianarclength", {"out d s", "in d x(n)",
        "in d y(n)", "in d a", "in d b", "hide i n = shape(x, 0)"}, kEndsHermite),
    routine<math_partialcurvelength>("partialcurvelength", {"out d partialcurvelength",
        "in d dy"}),
    routine<math_trapezoidintegration>("trapezoidintegration", {"out d r", "in d x(n)",
        "in d y(n)", "hide i n = shape(x, 0)"}),
    routine<ComplexStepDerivative>("complexstepderivative", {"out d derivative(n)", "in D y(n)",
        "in D x(n)", "opt i n"}),
    routine<math_polynomialfitting>("polynomialfitting", {"out d polynomialfitting(d+1)",
        "in d vx(n)", "in d vy(n)", "in i d", "hide i n = shape(vx, 0)"}),
    routine<math_getpercentile>("getpercentile", {"in d array(ndim)", "opt i ndim",
        "in d percentile", "out d event", "in i classsize"}),
    routine<Monoticity>("monoticity", {"out i monoticity", "in d x(n)", "opt i n"}),
    routine<RootMeanSquareError>("rootmeansquareerror", {"out d rootmeansquareerror",
        "in d x(n)", "in d y(n)", "opt i n"}),
    routine<MeanAbsoluteError>("meanabsoluteerror", {"out d meanabsoluteerror", "in d x(n)",
        "in d y(n)", "opt i n"}),
});

}  // namespace
