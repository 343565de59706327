// In-situ strength rules of module isscollection.
#include "materials/isscollection.hpp"

#include <algorithm>
#include <cmath>

namespace vorlen::isscollection {
namespace {
constexpr double pi = 3.141592653589793;
}

extern "C" {

void InSituLaRC04(double* ys, const double* elastic, const double* gxc, const double* xt22,
                  const double* x12, const double* t, const double* tlim) {
    const double e11 = elastic[0], e22 = elastic[1], nu12 = elastic[2], g12 = elastic[3];
    const double th = *t;
    double y1, y2;
    if (th <= (tlim ? *tlim : 0.0007)) {
        y1 = std::sqrt(8.0 * gxc[0] / (2.0 * (1.0 / e22 - nu12 * nu12 / e11) * pi * th));
        y2 = std::sqrt(8.0 * gxc[1] * g12 / (pi * th));
    } else {
        y1 = 1.5839191966013624 * *xt22;  // 1.12 (as a single-precision value) times sqrt(2)
        y2 = std::sqrt(2.0) * *x12;
    }
    ys[0] = y1, ys[1] = y2;
}

void InSituPuckPS(double* xc, const double* xc11, const double* xc22, const double* x12,
                  const double* theta, const double* gp) {
    const double p12c = gp ? gp[1] : 0.2, p22c = gp ? gp[3] : 0.15;
    const double th = *theta, c2 = std::cos(2.0 * th * pi / 180.0),
                 s2 = std::sin(2.0 * th * pi / 180.0);
    const double xf = 2.0 * *xc11 / (1.0 + c2);
    if (th == 0.0) {
        *xc = xf;
        return;
    }
    const double r = (1.0 - c2) / s2, ra = *xc22 / (2.0 * (1.0 + p22c));
    double xi;
    if (ra / (std::sqrt(1.0 + 2.0 * p22c) * *x12) >= r) {
        const double b = (1.0 - c2) * p12c;
        xi = 2.0 * *x12 / (std::sqrt(s2 * s2 + b * b) + b);
    } else {
        const double q = *xc22 / (2.0 * (1.0 + p22c) * *x12);
        xi = 2.0 * r * *xc22 / (s2 * (q * q + r * r));
    }
    *xc = th == 90.0 ? xi : std::min(xi, xf);
}

void InSituChangLessard(double* ys, const double* xt22, const double* ilss, const double* tratio,
                        const double* dtmin_d, const double* atod) {
    static constexpr double fallback[4] = {1.3, 0.7, 0.0, 1.0};
    const double* k = atod ? atod : fallback;
    const double s = std::sin(*dtmin_d * pi / 180.0);
    const double y1 = *xt22 * (1.0 + k[0] * s / std::pow(*tratio, k[1]));
    const double y2 = *ilss * (1.0 + k[2] * s / std::pow(*tratio, k[3]));
    ys[0] = y1, ys[1] = y2;
}

}  // extern "C"
}  // namespace vorlen::isscollection
