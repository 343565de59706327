// Module signalprocessing: clamps, a cyclic index, moving averages, peak detection and the
// sigmoid, logistic, smooth-step, barrier and power-mean curves. Pure functions: no state, no
// reports to the first-error register.
#pragma once
#include "base/view.hpp"

namespace vorlen::signalprocessing {

// x clamped to [xlow, xup], the upper bound tested first (with xlow > xup a value above xup
// gives xup); a NaN passes unchanged. One template for the typed family.
template <class T>
constexpr T limit(T x, T xlow, T xup) {
    if (x > xup) return xup;
    return xlow > x ? xlow : x;
}

extern "C" {

// Clamps.
//   x (in)           value
//   xlow, xup (in)   bounds; the upper one is tested first
// Returns x clamped to [xlow, xup] (double resp. 32-bit integer).
double fLimit(const double* x, const double* xlow, const double* xup);
i32 iLimit(const i32* x, const i32* xlow, const i32* xup);

// Cyclic index: r = x modulo xmod with the sign of xmod, and xmod in place of 0, so that for
// xmod > 0 the result runs 1, 2, ..., xmod, 1, ... as x counts up (x = 0 gives xmod).
//   x, xmod (in)  counter and period; xmod = 0 gives 0
i32 mLimit(const i32* x, const i32* xmod);

// -ln(max(b - x, 2.220446049250313e-16)): the barrier of x below b, capped near b.
//   x, b (in)
double LogarithmicBarrier(const double* x, const double* b);

// (x - x k)/(k - 2 k |x| + 1), a sigmoid through 0 of shape k.
//   x, k (in)
double GeneralSigmoidal(const double* x, const double* k);

// l/(1 + exp(-k (x - x0))).
//   x, k, x0 (in)
//   l (in, optional)  upper limit, 1.0 when absent
double signalprocessing_logistic(const double* x, const double* k, const double* x0,
                                 const double* l);

// a + (k - a)/(c + q exp(-b x))^(1/v), the generalised logistic curve.
//   x, a, k, b, q, v (in)
//   c (in, optional)  1.0 when absent
double signalprocessing_generallogistic(const double* x, const double* a, const double* k,
                                        const double* b, const double* q, const double* v,
                                        const double* c);

// Smooth step of order n: the polynomial of degree 2n+1 in t = fLimit(x, 0, 1) that rises from
// 0 at t = 0 to 1 at t = 1 with n vanishing derivatives at both ends, the regularised
// incomplete beta function I_t(n+1, n+1) (n = 0: t; n = 1: 3t^2 - 2t^3). Evaluated as a sum of
// positive binomial terms, so that high orders keep full accuracy.
//   x (in)   argument
//   n (in)   order; below 0 gives 0
double GeneralSmoothStep(const double* x, const i32* n);

// Weighted power mean of order p.
//   x(n) (in)          data
//   p (in)             order: -1.7976931348623157e308 gives the smallest and
//                      +1.7976931348623157e308 the largest entry (NaN entries skipped; all NaN
//                      gives NaN; n at most 0 gives +DBL_MAX resp. -DBL_MAX); 0 the weighted
//                      geometric mean prod x(i)^w(i); any other p (sum w(i) x(i)^p)^(1/p)
//   n (in)             length
//   wi(n) (in, optional)  weights, taken as they are; absent or all zero: 1/n each
double GeneralizedMean(const double* x, const double* p, const i32* n, const double* wi);

// Running mean of a stream: cma = (cma n + x)/(n + 1).
//   cma (in/out)  mean of the first n samples on entry, of n + 1 on exit
//   x (in)        the new sample
//   n (in)        number of samples before x
void CumulativeMovingAverage(double* cma, const double* x, const i32* n);

// Adds one sample to a moving window and returns its (weighted) mean.
//   sma (out)        sum over i = 1..denom of w(i) a(i), divided by denom (the sample count,
//                    not the weight sum); NaN when wb is at most 0
//   rval (in)        the new sample
//   a(wb) (in/out)   the window, filled from the front; when full it shifts one place to the
//                    front and rval goes into a(wb)
//   denom (in/out)   samples in the window, taken as 0 below 0 and as wb above wb; raised by
//                    one up to wb
//   wb (in)          window length; at most 0 leaves a and denom unchanged
//   wi(wb) (in, optional)  weights; absent or summing to 0: 1.0 each
void WeightedMovingAverage(double* sma, const double* rval, double* a, i32* denom, const i32* wb,
                           const double* wi);

// Peaks and valleys of a signal, with hysteresis: a peak is recorded once the signal has fallen
// by more than |delta| below it, a valley once it has risen by more than |delta| above it; the
// extremum still open at the end is not recorded. The search starts looking for a peak.
//   maxtab(n,2), mintab(n,2) (out)  row r: position and value of the r-th peak / valley; rows
//                    not written hold 2.2250738585072014e-308 in both columns
//   nmaxpeaks, nminpeaks (out)  rows recorded
//   v(n) (in)        signal
//   delta (in)       hysteresis
//   n (in)           number of samples
//   x(n) (in, optional)  positions; absent or all 0.0: the sample numbers 1..n
void GetPeaks(double* maxtab, double* mintab, i32* nmaxpeaks, i32* nminpeaks, const double* v,
              const double* delta, const i32* n, const double* x);

}  // extern "C"
}  // namespace vorlen::signalprocessing
