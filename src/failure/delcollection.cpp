// Delamination onset criteria of module delcollection.
#include "failure/delcollection.hpp"

#include <algorithm>
#include <cmath>

#include "failure/criteria_common.hpp"

namespace vorlen::delcollection {
namespace {

// Strength by the sign of a normal stress: tensile only for s > 0.
double by_sign(double s, double xt, double xc) { return s > 0.0 ? xt : xc; }

double sq(double x) { return x * x; }

}  // namespace

extern "C" {

void DelLee(double* rdel, const double* s33, const double* s12, const double* s13,
            const double* xt33, const double* xc33, const double* ilss) {
    if (!criteria::finite({*s33, *s12, *s13, by_sign(*s33, *xt33, *xc33), *ilss}))
        criteria::not_finite("DelLee");
    const double shear = std::sqrt(sq(*s12) + sq(*s13)) / *ilss;
    *rdel = std::max(shear, *s33 / by_sign(*s33, *xt33, *xc33));
}

void DelOchoaEngblom(double* rdel, const double* s33, const double* s13, const double* s23,
                     const double* xt33, const double* xc33, const double* ilss) {
    *rdel = std::sqrt((sq(*s13) + sq(*s23)) / sq(*ilss) + sq(*s33 / by_sign(*s33, *xt33, *xc33)));
}

void DelHashin(double* rdel, const double* s33, const double* s13, const double* s23,
               const double* xt22, const double* xc22, const double* ilss) {
    *rdel = std::sqrt(sq(*s33 / by_sign(*s33, *xt22, *xc22)) + sq(*s13 / *ilss) +
                      sq(*s23 / *ilss));
}

void DelPuck(double* rdel, const double* s33, const double* s13, const double* s23,
             const double* xt22, const double* xc22, const double* ilss, const double* gp) {
    static constexpr double fallback[4] = {0.3, 0.2, 0.15, 0.15};
    const double* p = gp ? gp : fallback;
    const double s = *s33, t13 = *s13, t23 = *s23, r = *ilss;
    const double ra = *xc22 / (2.0 * (1.0 + p[3]));
    const double m = t23 * t23 + t13 * t13, f = t23 * t23 / ra, g = t13 * t13 / r;
    double pc = 0.0, pt = 0.0;
    if (m > 0.0) {
        pc = (p[3] * f + p[1] * g) / m;
        pt = (p[2] * f + p[0] * g) / m;
    }
    const double shear = sq(t23 / ra) + sq(t13 / r);
    if (s < 0.0)
        *rdel = std::sqrt(shear + sq(pc * s)) + pc * s;
    else
        *rdel = pt * s + std::sqrt(sq((1.0 / *xt22 - pt) * s) + shear);
}

void DelChoiChang(double* rdel, const double* s22l, const double* s13l, const double* s23u,
                  const double* xt22l, const double* xc22l, const double* ilssl,
                  const double* ilssu, const double* da) {
    const double factor = da ? *da : 1.8;
    *rdel = std::sqrt(factor * (sq(*s23u / *ilssu) + sq(*s22l / by_sign(*s22l, *xt22l, *xc22l)) +
                                sq(*s13l / *ilssl)));
}

void DelChai(double* rdel, const double* s22l, const double* s13l, const double* s23u,
             const double* xt22l, const double* xc22l, const double* x23u, const double* ilssl,
             const double* df1, const double* df2, const double* df3) {
    // c > 0 below is false for a c that is not a number
    if (!criteria::finite(
            {*s22l, *s13l, *s23u, by_sign(*s22l, *xt22l, *xc22l), *x23u, *ilssl, *df1, *df2, *df3}))
        criteria::not_finite("DelChai");
    const double c = *df1 * sq(*s22l / by_sign(*s22l, *xt22l, *xc22l)) +
                     *df2 * sq(*s23u / *x23u) + 1.875 * *df3 * sq(*s13l / *ilssl);
    *rdel = c > 0.0 ? std::sqrt(c) : 0.0;
}

}  // extern "C"
}  // namespace vorlen::delcollection
