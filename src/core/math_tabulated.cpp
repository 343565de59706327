// Numerics on sampled data; table interpolation goes through the interp package.
#include "core/math_tabulated.hpp"

#include <algorithm>
#include <cmath>
#include <limits>

#include "base/errorhandling.hpp"
#include "core/lapack.hpp"
#include "core/math_norms.hpp"
#include "core/utility_search.hpp"
#include "base/work.hpp"
#include "interp/interp.hpp"
#include "pchip/pchip.hpp"

namespace vorlen::math {

using errorhandling::report;

namespace {

// Tables up to this many samples keep their slopes on the stack.
constexpr std::size_t kStackTable = 256;
using Samples = Work<double, kStackTable>;

// Shape-preserving slopes d(n) of the table x(n), y(n); the cubic Hermite package ends the
// process on a table it rejects.
void monotone_slopes(const i32* n, const double* x, const double* y, double* d) {
    const i32 spline = 0, lwk = 0;
    double wk = 0.0;
    i32 ierr = 0;
    dpchez_(n, x, y, d, &spline, &wk, &lwk, &ierr);
}

// Class i >= 1 of an entry v (not above the largest bound, possibly -inf): the first class
// whose bound i * width is not below v.
i64 class_of(double v, i32 width) {
    const double q = std::ceil(v / width);
    i64 i = q > 1 ? static_cast<i64>(q) : 1;  // a quotient below 1, however far, is class 1
    while (v > double(i) * width) ++i;        // the quotient may round across a bound
    while (i > 1 && v <= double(i - 1) * width) --i;
    return i;
}

}  // namespace

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
    // Each entry is written once the samples it replaces have been read: derivative may be y
    // or x itself.
    double ym = y[0], xm = x[0], yi = y[1], xi = x[1];  // samples i-1 and i
    double pending = (yi - ym) / (xi - xm);
    for (i64 i = 1; i < nn - 1; ++i) {
        const double yn = y[i + 1], xn = x[i + 1];
        derivative[i - 1] = pending;
        pending = (yn - ym) / (xn - xm);
        ym = yi, xm = xi, yi = yn, xi = xn;
    }
    derivative[nn - 2] = pending;
    derivative[nn - 1] = (yi - ym) / (xi - xm);
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

void math_cubichermitianinterpolation(double* result, const double* x, const double* y,
                                      const double* p, const i32* n, const i32* k) {
    Samples d(*n);
    monotone_slopes(n, x, y, d.data());
    const i32 incfd = 1;
    i32 skip = 0, ierr = 0;
    dpchfe_(n, x, y, d.data(), &incfd, &skip, k, p, result, &ierr);
}

double math_cubichermitianintegration(const double* x, const double* y, const double* a,
                                      const double* b, const i32* n) {
    Samples d(*n);
    monotone_slopes(n, x, y, d.data());
    i32 ierr = 0;
    return dpchqa_(n, x, y, d.data(), a, b, &ierr);
}

double math_cubichermitianarclength(const double* x, const double* y, const double* a,
                                    const double* b, const i32* n) {
    Samples d(*n), g(*n);
    monotone_slopes(n, x, y, d.data());
    for (i64 i = 0; i < *n; ++i) g[i] = math_partialcurvelength(&d[i]);
    return math_cubichermitianintegration(x, g.data(), a, b, n);
}

double math_partialcurvelength(const double* dy) {
    // sqrt(1 + dy^2) as it reads; from 1e150 on the square would overflow, where the result is
    // |dy| to the last bit.
    const double d = *dy;
    return std::abs(d) < 1e150 ? std::sqrt(1 + d * d) : std::abs(d);
}

double math_trapezoidintegration(const double* x, const double* y, const i32* n) {
    double r = 0.0;
    for (i64 i = 1; i < *n; ++i) r += (x[i] - x[i - 1]) * (y[i - 1] + y[i]);
    return 0.5 * r;
}

void ComplexStepDerivative(double* derivative, const std::complex<double>* y,
                           const std::complex<double>* x, const i32* n) {
    for (i64 i = 0; i < *n; ++i) derivative[i] = y[i].imag() / x[i].imag();
}

void math_polynomialfitting(double* result, const double* vx, const double* vy, const i32* d,
                            const i32* n) {
    if (*d < 0 || *d == std::numeric_limits<i32>::max()) {
        report(-3, "Polynomial degree outside 0..2147483646 in polynomialfitting");
        return;
    }
    const i32 m = *d + 1;
    if (m > *n) {  // fewer points than coefficients: X^T X is singular, whatever LU finds
        report(-2, "Problem in polynom fitting function");
        std::fill_n(result, m, 0.0);
        return;
    }
    Work<double, 64> xtx(i64(m) * m);
    Work<double, 8> coef(m), pw(m), work(m);
    Work<i32, 8> ipiv(m);
    Mat<double> a(xtx.data(), m, m);
    // Row i of X: the powers vx(i)^0 .. vx(i)^d.
    const auto powers = [&](i64 i) {
        pw[0] = 1.0;
        for (i32 j = 1; j < m; ++j) pw[j] = pw[j - 1] * vx[i];
    };
    for (i64 i = 0; i < *n; ++i) {
        powers(i);
        for (i32 c = 1; c <= m; ++c)
            for (i32 r = 1; r <= c; ++r) a(r, c) += pw(r) * pw(c);
    }
    for (i32 c = 1; c <= m; ++c)
        for (i32 r = c + 1; r <= m; ++r) a(r, c) = a(c, r);

    i32 info = 0, failed = 0;
    dgetrf_(&m, &m, xtx.data(), &m, ipiv.data(), &info);
    failed |= info;
    if (info != 0) report(-2, "Problem in polynom fitting function");
    dgetri_(&m, xtx.data(), &m, ipiv.data(), work.data(), &m, &info);
    failed |= info;
    if (info != 0) report(-2, "Problem in polynom fitting function");
    // ((X^T X)^-1 X^T) vy, each column of the left product formed where its term is added.
    for (i64 i = 0; i < *n; ++i) {
        powers(i);
        for (i32 r = 1; r <= m; ++r) {
            double p = 0.0;
            for (i32 c = 1; c <= m; ++c) p += a(r, c) * pw(c);
            coef(r) += p * vy[i];
        }
    }
    for (i32 r = 1; r <= m; ++r) result[r - 1] = failed ? 0.0 : coef(r);
}

void math_getpercentile(const double* array, const i32* ndim, const double* percentile,
                        double* event, const i32* classsize) {
    // event is written last: it may be one of the entries or the percentile itself.
    const i32 n = *ndim, width = *classsize;
    const double target = *percentile / 100.0;
    if (n == 1) {
        *event = array[0];
        return;
    }
    if (n < 1 || width < 1) {
        *event = 0.0;
        report(-3, "No entries or a class size below 1 in getpercentile");
        return;
    }
    // Entries at the free-slot marker or above, and NaN, take no part.
    constexpr double kFree = std::numeric_limits<double>::max();
    double rmax = -kFree;
    i64 k = 0;
    for (i64 i = 0; i < n; ++i)
        if (array[i] < kFree) rmax = std::max(rmax, array[i]), ++k;
    const double q = std::trunc(rmax / width);
    if (!(q >= std::numeric_limits<i32>::min() && q < std::numeric_limits<i32>::max())) {
        *event = 0.0;
        report(-3, "Number of classes beyond the 32-bit range in getpercentile");
        return;
    }
    const i64 nclasses = static_cast<i64>(q) + 1;

    // Ascending ranking; the entries that take part rank first.
    Work<i32, kStackTable> rank(n);
    const i32 ascending = 1;
    utility::fGetContinuous(array, ndim, rank.data(), &ascending);
    const auto v = [&](i64 j) { return array[rank(j) - 1]; };

    // The first class whose share of entries reaches the percentile: class 1 when every share
    // does, else the class of an entry, where the share grows.
    i64 m = 0;
    if (nclasses >= 1 && target <= 0.0) m = 1;
    for (i64 j = 1; nclasses >= 1 && m == 0 && j <= k;) {
        const i64 c = class_of(v(j), width);
        const double bound = double(c) * width;
        i64 count = j;
        while (count < k && v(count + 1) <= bound) ++count;
        if (double(count) / double(k) >= target) m = c;
        j = count + 1;
    }
    *event = static_cast<double>((m * width - width) + 1);
}

i32 Monoticity(const double* x, const i32* n) {
    bool up = false, down = false, other = false;
    for (i64 i = 1; i < *n; ++i) {
        if (x[i] > x[i - 1])
            up = true;
        else if (x[i] < x[i - 1])
            down = true;
        else
            other = true;
    }
    if (!up && !other) return -2;
    if (!up) return -1;
    if (!down && !other) return 2;
    if (!down) return 1;
    return 0;
}

double RootMeanSquareError(const double* x, const double* y, const i32* n) {
    return EuclideanDistance(x, y, n) * std::sqrt(1.0 / *n);
}

double MeanAbsoluteError(const double* x, const double* y, const i32* n) {
    double s = 0.0;
    for (i64 i = 0; i < *n; ++i) s += std::abs(x[i] - y[i]);
    return (1.0 / *n) * s;
}

}  // namespace vorlen::math
