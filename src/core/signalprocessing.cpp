// Curves and small signal operations of module signalprocessing.
#include "core/signalprocessing.hpp"

#include <cfloat>
#include <cmath>
#include <cstring>
#include <limits>

#include "core/math_norms.hpp"

namespace vorlen::signalprocessing {
namespace {

constexpr double nan = std::numeric_limits<double>::quiet_NaN();

// Stirling's error lgamma(x + 1) - (x + 1/2) ln x + x - ln sqrt(2 pi), by its series (x > 1000).
double stirling_error(double x) {
    const double xx = 1.0 / (x * x);
    return (1.0 / 12 - (1.0 / 360 - (1.0 / 1260 - (1.0 / 1680 - xx / 1188) * xx) * xx) * xx) / x;
}

// x ln(x/mu) + mu - x, by its series in (x - mu)/(x + mu) when x is close to mu.
double deviance(double x, double mu) {
    if (std::fabs(x - mu) >= 0.1 * (x + mu)) return x * std::log(x / mu) + mu - x;
    const double v = (x - mu) / (x + mu), v2 = v * v;
    double s = (x - mu) * v, e = 2.0 * x * v;
    for (int j = 1; j < 1000; ++j) {
        e *= v2;
        const double next = s + e / (2 * j + 1);
        if (next == s) break;
        s = next;
    }
    return s;
}

// C(m, k) u^k w^(m-k) with u + w = 1 for large k and m - k, by the saddle-point form of the
// binomial probability: logarithms of the large factorials would lose ln(m) eps m of accuracy.
double binomial_term(double k, double m, double u, double w) {
    constexpr double two_pi = 6.283185307179586;
    const double l = stirling_error(m) - stirling_error(k) - stirling_error(m - k) -
                     deviance(k, m * u) - deviance(m - k, m * w);
    return std::exp(l) * std::sqrt(m / (two_pi * k * (m - k)));
}

// I_t(n+1, n+1) for 0 < t < 1 as the binomial tail sum over j = n+1..2n+1 of
// C(2n+1, j) t^j (1-t)^(2n+1-j): the same polynomial as the alternating sum of its monomials,
// without their cancellation. Summed for u = min(t, 1-t), where the terms fall from the first
// one on, and stopped once they no longer change the sum; I_t = 1 - I_(1-t) for t > 1/2.
double incomplete_beta_symmetric(double t, i64 n) {
    const bool upper = t > 0.5;
    const double u = upper ? 1.0 - t : t, w = 1.0 - u;  // 1 - t is exact for t in [1/2, 1]
    const i64 m = 2 * n + 1;
    // First term C(m, n+1) u^(n+1) w^n: as a product while its partial products stay within
    // range (below 2^420), by the saddle-point form beyond.
    double b;
    if (n <= 1000) {
        b = u;
        for (i64 i = 1; i <= n; ++i)
            b *= static_cast<double>(n + 1 + i) / static_cast<double>(i) * (u * w);
    } else {
        b = binomial_term(static_cast<double>(n + 1), static_cast<double>(m), u, w);
    }
    double s = 0.0;
    for (i64 j = n + 1; j <= m && b > 0.0; ++j) {
        s += b;
        if (b < s * 1e-17) break;
        b *= static_cast<double>(m - j) / static_cast<double>(j + 1) * (u / w);
    }
    return upper ? 1.0 - s : s;
}

}  // namespace

extern "C" {

double fLimit(const double* x, const double* xlow, const double* xup) {
    return limit(*x, *xlow, *xup);
}

i32 iLimit(const i32* x, const i32* xlow, const i32* xup) { return limit(*x, *xlow, *xup); }

i32 mLimit(const i32* x, const i32* xmod) {
    // In 64 bits: x modulo -1 at the most negative x has no 32-bit quotient.
    const i64 m = *xmod;
    if (m == 0) return 0;
    i64 r = i64{*x} % m;
    if (r != 0 && (r < 0) != (m < 0)) r += m;
    return r == 0 ? *xmod : static_cast<i32>(r);
}

double LogarithmicBarrier(const double* x, const double* b) {
    const double d = *b - *x;
    return -std::log(d < DBL_EPSILON ? DBL_EPSILON : d);
}

double GeneralSigmoidal(const double* x, const double* k) {
    return (*x - *x * *k) / (*k - 2.0 * *k * std::fabs(*x) + 1.0);
}

double signalprocessing_logistic(const double* x, const double* k, const double* x0,
                                 const double* l) {
    return (l ? *l : 1.0) / (1.0 + std::exp(-*k * (*x - *x0)));
}

double signalprocessing_generallogistic(const double* x, const double* a, const double* k,
                                        const double* b, const double* q, const double* v,
                                        const double* c) {
    return *a + (*k - *a) / std::pow((c ? *c : 1.0) + *q * std::exp(-*b * *x), 1.0 / *v);
}

double GeneralSmoothStep(const double* x, const i32* n) {
    if (*n < 0) return 0.0;
    const double t = limit(*x, 0.0, 1.0);
    if (t <= 0.0) return 0.0;
    if (t >= 1.0) return 1.0;
    if (std::isnan(t)) return t;
    return incomplete_beta_symmetric(t, *n);
}

double GeneralizedMean(const double* x, const double* p, const i32* n, const double* wi) {
    const i64 len = *n;
    if (*p == -DBL_MAX || *p == DBL_MAX) {
        const bool smallest = *p < 0.0;
        if (len <= 0) return smallest ? DBL_MAX : -DBL_MAX;
        const math::Range r = math::range_without_nan(x, len);
        if (r.lo > r.hi) return nan;  // every entry NaN
        return smallest ? r.lo : r.hi;
    }
    // All-zero weights carry no mean (and are what a caller without weights hands over from
    // Python): they count as absent.
    bool weighted = false;
    for (i64 i = 0; wi && i < len && !weighted; ++i) weighted = wi[i] != 0.0;
    const double equal = 1.0 / static_cast<double>(len);
    if (*p == 0.0) {
        double g = 1.0;
        for (i64 i = 0; i < len; ++i) g *= std::pow(x[i], weighted ? wi[i] : equal);
        return g;
    }
    double s = 0.0;
    for (i64 i = 0; i < len; ++i) s += (weighted ? wi[i] : equal) * std::pow(x[i], *p);
    return std::pow(s, 1.0 / *p);
}

void CumulativeMovingAverage(double* cma, const double* x, const i32* n) {
    const double count = *n;  // n + 1 in doubles: no overflow at the largest n
    *cma = (*cma * count + *x) / (count + 1.0);
}

void WeightedMovingAverage(double* sma, const double* rval, double* a, i32* denom, const i32* wb,
                           const double* wi) {
    const i64 w = *wb;
    if (w <= 0) {  // no window
        *sma = nan;
        return;
    }
    double wsum = 0.0;
    for (i64 i = 0; wi && i < w; ++i) wsum += wi[i];
    const bool weighted = wi && wsum != 0.0;
    // The count is the caller's: kept within the window, so that neither the new sample nor
    // the sum reaches outside a.
    i64 d = limit<i64>(*denom, 0, w);
    const double r = *rval;
    if (d < w) {
        a[d++] = r;
    } else {
        std::memmove(a, a + 1, static_cast<std::size_t>(w - 1) * sizeof(double));
        a[w - 1] = r;
    }
    *denom = static_cast<i32>(d);
    double s = 0.0;
    for (i64 i = 0; i < d; ++i) s += (weighted ? wi[i] : 1.0) * a[i];
    *sma = s / static_cast<double>(d);
}

void GetPeaks(double* maxtab, double* mintab, i32* nmaxpeaks, i32* nminpeaks, const double* v,
              const double* delta, const i32* n, const double* x) {
    const i64 len = *n < 0 ? 0 : *n;
    Mat<double> maxt(maxtab, len, 2), mint(mintab, len, 2);
    for (double& e : maxt) e = DBL_MIN;
    for (double& e : mint) e = DBL_MIN;
    bool positions = false;
    for (i64 i = 0; x && i < len && !positions; ++i) positions = x[i] != 0.0;
    const auto pos = [&](i64 i) { return positions ? x[i - 1] : static_cast<double>(i); };
    double mx = -DBL_MAX, mn = DBL_MAX, mxpos = DBL_MIN, mnpos = DBL_MIN;
    const double d = std::fabs(*delta);
    i32 nmax = 0, nmin = 0;
    bool lookformax = true;
    for (i64 i = 1; i <= len; ++i) {
        const double s = v[i - 1];
        if (s > mx) mx = s, mxpos = pos(i);
        if (s < mn) mn = s, mnpos = pos(i);
        if (lookformax) {
            if (s < mx - d) {
                ++nmax;
                maxt(nmax, 1) = mxpos, maxt(nmax, 2) = mx;
                mn = s, mnpos = pos(i);
                lookformax = false;
            }
        } else if (s > mn + d) {
            ++nmin;
            mint(nmin, 1) = mnpos, mint(nmin, 2) = mn;
            mx = s, mxpos = pos(i);
            lookformax = true;
        }
    }
    *nmaxpeaks = nmax;
    *nminpeaks = nmin;
}

}  // extern "C"
}  // namespace vorlen::signalprocessing
