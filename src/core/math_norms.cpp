// Norms, distances, normalisation and scalar functions of module math.
#include "core/math_norms.hpp"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <limits>
#include <numeric>

#include "base/errorhandling.hpp"
#include "core/math_linalg.hpp"
#include "base/work.hpp"

using namespace vorlen;

namespace {

// Exponent of the p-norms: p, raised to the smallest normal double when it is smaller (a NaN p
// stays NaN and so does the norm).
double norm_exponent(double p) { return p < DBL_MIN ? DBL_MIN : p; }

// Sum over x(n,m) with the rows in the outer and the columns in the inner loop.
template <class Term>
double row_major_sum(const double* x, const i32* n, const i32* m, Term term) {
    const auto a = mat(x, n, m);
    double s = 0.0;
    for (i64 i = 1; i <= a.extent(1); ++i)
        for (i64 j = 1; j <= a.extent(2); ++j) s += term(a(i, j));
    return s;
}

double dot(const double* x, const double* y, i32 n) {
    double s = 0.0;
    for (i32 i = 0; i < n; ++i) s += x[i] * y[i];
    return s;
}

// Hands the singular values on the diagonal of s(m,n) from SingularValueDecomposition of
// x(m,n) to reduce(s, min(m,n)); an empty matrix gives 0. A matrix with an infinite or NaN
// entry has no singular values: NaN, with the code -3 of the decomposition (its zero fallback
// would read as a converged norm). Small matrices stay on the stack.
template <class Reduce>
double from_singular_values(const double* x, const i32* m, const i32* n, Reduce reduce) {
    if (*m < 1 || *n < 1) return 0.0;
    const i64 mm = *m, nn = *n;
    Work<double, 36> u(mm * mm), s(mm * nn), v(nn * nn);
    math::SingularValueDecomposition(x, u.data(), s.data(), v.data(), m, n);
    if (!std::all_of(x, x + mm * nn, [](double e) { return std::isfinite(e); }))
        return std::numeric_limits<double>::quiet_NaN();
    return reduce(Mat<const double>(s.data(), mm, nn), std::min(*m, *n));
}

void normalize(const double* x, double* z, i64 n) {
    const auto r = math::range_without_nan(x, n);
    for (i64 i = 0; i < n; ++i) z[i] = (x[i] - r.lo) / (r.hi - r.lo);
}

}  // namespace

namespace vorlen::math {

Range range_without_nan(const double* x, i64 n) {
    Range r{std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity()};
    for (i64 i = 0; i < n; ++i) {
        if (std::isnan(x[i])) continue;
        if (x[i] < r.lo) r.lo = x[i];
        if (x[i] > r.hi) r.hi = x[i];
    }
    return r;
}

}  // namespace vorlen::math

namespace vorlen::math {
extern "C" {

double VectorNorm(const double* x, const i32* n) { return std::sqrt(dot(x, x, *n)); }

double MatrixNorm(const double* x, const i32* n, const i32* m) {
    return std::sqrt(row_major_sum(x, n, m, [](double v) { return v * v; }));
}

double LpVectorNorm(const double* x, const double* p, const i32* n) {
    const double q = norm_exponent(*p);
    double s = 0.0;
    for (i32 i = 0; i < *n; ++i) s += std::pow(std::fabs(x[i]), q);
    return std::pow(s, 1.0 / q);
}

double LpMatrixNorm(const double* x, const double* p, const i32* n, const i32* m) {
    const double q = norm_exponent(*p);
    const double s = row_major_sum(x, n, m, [q](double v) { return std::pow(std::fabs(v), q); });
    return std::pow(s, 1.0 / q);
}

double SpectralNorm(const double* x, const i32* m, const i32* n) {
    return from_singular_values(x, m, n, [](Mat<const double> s, i32) { return s(1, 1); });
}

double NuclearNorm(const double* x, const i32* m, const i32* n) {
    return from_singular_values(x, m, n, [](Mat<const double> s, i32 k) {
        double sum = 0.0;
        for (i32 i = 1; i <= k; ++i) sum += s(i, i);
        return sum;
    });
}

double SchattenNorm(const double* x, const double* p, const i32* m, const i32* n) {
    const double q = norm_exponent(*p);
    return from_singular_values(x, m, n, [q](Mat<const double> s, i32 k) {
        double sum = 0.0;
        for (i32 i = 1; i <= k; ++i) sum += std::pow(s(i, i), q);
        return std::pow(sum, 1.0 / q);
    });
}

double EuclideanDistance(const double* x, const double* y, const i32* n) {
    double s = 0.0;
    for (i32 i = 0; i < *n; ++i) s += (x[i] - y[i]) * (x[i] - y[i]);
    return std::sqrt(s);
}

double EuclideanAngle(const double* x, const double* y, const i32* n) {
    double c = dot(x, y, *n) / (VectorNorm(y, n) * VectorNorm(x, n));
    c = std::fmin(std::fmax(c, -1.0), 1.0);  // the lower bound first: 0/0 becomes -1
    return std::acos(c);
}

void GetUnitVector(double* xu, const double* x, const i32* n) {
    const double len = VectorNorm(x, n);
    for (i32 i = 0; i < *n; ++i) xu[i] = x[i] / len;
}

double ScalarProjection(const double* a, const double* b, const i32* n) {
    // a . GetUnitVector(b), each unit entry formed as it is used: no work array
    const double len = VectorNorm(b, n);
    double s = 0.0;
    for (i32 i = 0; i < *n; ++i) s += a[i] * (b[i] / len);
    return s;
}

void VectorNormalize(const double* x, double* z, const i32* n) {
    if (*n <= 0) return;
    normalize(x, z, *n);
}

void MatrixNormalize(const double* x, double* z, const i32* n, const i32* m) {
    if (*n <= 0 || *m <= 0) return;
    normalize(x, z, static_cast<i64>(*n) * *m);
}

double math_dasinh(const double* x) { return std::asinh(*x); }
double math_dacosh(const double* x) { return std::acosh(*x); }
double math_datanh(const double* x) { return std::atanh(*x); }
// 0.5 ln((x + 1)/(x - 1)) written as 0.5 log1p(2/(|x| - 1)) with the sign of x: the quotient
// form loses all digits for large |x|, and |x| - 1 is exact near the poles.
double math_dacoth(const double* x) {
    return std::copysign(0.5 * std::log1p(2.0 / (std::fabs(*x) - 1.0)), *x);
}

double math_fishertransformation(const double* x, const i32* iflag) {
    if (!iflag || *iflag == -1) return math_datanh(x);
    return std::tanh(*x);
}

double PascalTriangle(const i32* n_, const i32* k_) {
    i64 n = *n_, k = *k_;
    if (k < 1) return 1.0;
    double sign = 1.0;
    if (n < 0) {  // (n over k) = (-1)^k (k - n - 1 over k)
        n = k - n - 1;
        if (k % 2 == 1) sign = -1.0;
    }
    if (k > n) return 0.0;
    k = std::min(k, n - k);
    // c(i) = c(i-1)(n-i+1)/i with the common factor of c(i-1) and i taken out first, so that
    // no intermediate exceeds c(i); once c leaves 64 bits the rest runs in doubles.
    std::uint64_t c = 1;
    double big = 0.0;
    i64 i = 1;
    for (; i <= k; ++i) {
        const auto f = static_cast<std::uint64_t>(n - i + 1), d = static_cast<std::uint64_t>(i);
        const std::uint64_t g = std::gcd(c, d);
        std::uint64_t next;
        if (__builtin_mul_overflow(c / g, f / (d / g), &next)) {
            big = static_cast<double>(c);
            break;
        }
        c = next;
    }
    const bool left_64_bits = i <= k;
    for (; i <= k && std::isfinite(big); ++i)
        big *= static_cast<double>(n - i + 1) / static_cast<double>(i);
    const double value = left_64_bits ? big : static_cast<double>(c);
    if (value > (sign > 0 ? 2147483647.0 : 2147483648.0))
        errorhandling::report(-3, "Binomial coefficient exceeds the 32-bit integer range!");
    return sign * value;
}

double math_droundsf(const double* a, const i32* sig) {
    const double f = std::pow(10.0, sig ? *sig : 8);
    double t = *a * f;
    if (std::fabs(t) < 4503599627370496.0) t = std::trunc(t);
    return t / f;
}

double math_dceil(const double* a) {
    const double t = std::fabs(*a) < 4503599627370496.0 ? std::trunc(*a) : *a;
    return t + 1.0;
}

}  // extern "C"
}  // namespace vorlen::math
