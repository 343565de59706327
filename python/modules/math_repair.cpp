// Python signatures of the matrix repair and iterative solvers of module math.
#include "bind.hpp"
#include "core/math_repair.hpp"

namespace {
using namespace vorlen::py;
using namespace vorlen::math;

const Fragment repair("math", 65, {
    routine<PowerIteration>("poweriteration", {"out d eigenval", "out d eigenvec(n)",
        "in d a(n,n)", "opt i n", "opt i maxiter = 2000", "opt d startvec(n) = 1.0",
        "opt d abstol = 1e-10"}),
    routine<ConjugateGradient>("conjucategradient", {"out d xgrad(m)", "in d a(n,m)",
        "in d b(m)", "in d x0(m)", "opt i n", "opt i m"}),
    routine<IsPositiveDefinite>("ispositivedefinite", {"out b ispositivedefinite",
        "in d x(n,n)", "opt i n", "opt d tolerance = 1e-08"}),
    routine<GetProjectedSPD>("getprojectedspd", {"out d ppd(n,n)", "in d a(n,n)", "opt i n"}),
    routine<GetNearestSPD>("getnearestspd", {"out d pd(n,n)", "in d a(n,n)", "opt i n"}),
    routine<GetNearestPDNorm>("getnearestpdnorm", {"out d getnearestpdnorm", "in d x(n,n)",
        "opt i n"}),
    routine<GetNearestCorrelationMatrix>("getnearestcorrelationmatrix", {"out d corr(n,n)",
        "in d a(n,n)", "opt i n", "opt d weights(n) = -1.", "opt d tol = -1.0",
        "opt i maxiter = 100", "opt i cflag = 0"}),
});

}  // namespace
