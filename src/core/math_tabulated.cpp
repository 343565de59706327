// Numerics on sampled data; table interpolation goes through the interp package.
#include "core/math_tabulated.hpp"

#include <algorithm>

#include "core/errorhandling.hpp"
#include "interp/interp.hpp"

namespace vorlen::math {

using errorhandling::report;

void math_nearestinterpolation(double* result, const double* x, const double* y, const double* p,
                               const i32* n, const i32* k) {
    const i32 one = 1;
    interp_nearest(&one, n, x, y, k, p, result);
}

void math_linearinterpolation(double* result, const double* x, const double* y, const double* p,
                              const i32* n, const i32* k) {
    const i32 one = 1;
    interp_linear(&one, n, x, y, k, p, result);
}

void Gradient(double* jac, const double* dy, const double* dx, const i32* a, const i32* b) {
    const Mat<const double> d(dy, *a, *b);
    const Mat<double> j(jac, *a, *b);
    for (i64 c = 1; c <= j.extent(2); ++c)
        for (i64 r = 1; r <= j.extent(1); ++r) j(r, c) = d(r, c) / dx[c - 1];
}

void CentralStepDerivative(double* derivative, const double* y, const double* x, const i32* n) {
    const i32 nn = *n;
    if (nn < 2) {
        std::fill_n(derivative, nn < 0 ? 0 : nn, 0.0);
        report(-3, "Fewer than two samples in CentralStepDerivative");
        return;
    }
    derivative[0] = (y[1] - y[0]) / (x[1] - x[0]);
    for (i64 i = 1; i < nn - 1; ++i)
        derivative[i] = (y[i + 1] - y[i - 1]) / (x[i + 1] - x[i - 1]);
    derivative[nn - 1] = (y[nn - 1] - y[nn - 2]) / (x[nn - 1] - x[nn - 2]);
}

void GetParabolaCoefficients(const double* ind, double* oud) {
    const double x1 = ind[0], x2 = ind[1], x3 = ind[2];
    const double y1 = ind[3], y2 = ind[4], y3 = ind[5];
    if (x1 == x2 || x2 == x3 || x1 == x3) {
        oud[0] = oud[1] = oud[2] = 0.0;
        report(-3, "Coincident abscissas in GetParabolaCoefficients");
        return;
    }
    const double d12 = (y2 - y1) / (x2 - x1), d23 = (y3 - y2) / (x3 - x2);
    const double a = (d23 - d12) / (x3 - x1);
    const double b = d12 - a * (x1 + x2);
    oud[0] = a;
    oud[1] = b;
    oud[2] = y1 - a * x1 * x1 - b * x1;
}

}  // namespace vorlen::math
