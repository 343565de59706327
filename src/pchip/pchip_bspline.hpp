// B-spline form of piecewise cubic Hermite functions and evaluation of B-splines by de Boor's
// algorithm, in double precision (d...) and single precision (the same name without the d).
//
// A spline of order k with n coefficients a(n) has the non-decreasing knots t(n + k); it is
// defined on [t(k), t(n + 1)]. The Hermite function of pchip.hpp with breakpoints x(n) becomes
// the cubic spline (k = 4) with the 2n coefficients of dpchbs_ on the knots of dpchkt_: double
// knots t(2i + 1) = t(2i + 2) = x(i) and two end knots at each side.
//
// Errors are reported through the error package (xermsg_) as described in pchip.hpp. Data that
// would make a routine read or write outside its arrays (too few breakpoints, a stride below
// 1, extents beyond 32 bits, knots out of order) are recorded as code -3 in the first-error
// register instead. Every argument is passed by address.
#pragma once
#include "base/view.hpp"

extern "C" {

// B-spline coefficients and knots of a piecewise cubic Hermite function.
//   n, x(n), f(incfd, n), d(incfd, n), incfd (in)  the function, n >= 2, x increasing
//   knotyp (in)         the end knots t(1) = t(2) and t(2n+3) = t(2n+4): 0 x(1) and x(n);
//                       1 the first and last interval continued outwards; 2 the last and
//                       first interval (periodic); negative: t (in) holds all the knots
//   nknots (in/out)     2n + 4; on entry when knotyp < 0, set otherwise
//   t(2n+4) (in/out)    the knots; set when knotyp >= 0
//   bcoef(2n) (out)     the coefficients: the value at x(i) moved back and forward along
//                       the slope by a third of the spans before and after x(i)
//   ndim, kord (out)    2n and 4, set on every return
//   ierr (out)          0; -1 knotyp > 2; -2 knotyp < 0 and nknots differs from 2n + 4
//                       (t, bcoef and nknots untouched on an error); -3 n < 2, incfd < 1 or
//                       2n + 4 beyond 32 bits, recorded in the first-error register
void dpchbs_(const vorlen::i32* n, const double* x, const double* f, const double* d,
             const vorlen::i32* incfd, const vorlen::i32* knotyp, vorlen::i32* nknots, double* t,
             double* bcoef, vorlen::i32* ndim, vorlen::i32* kord, vorlen::i32* ierr);
void pchbs_(const vorlen::i32* n, const float* x, const float* f, const float* d,
            const vorlen::i32* incfd, const vorlen::i32* knotyp, vorlen::i32* nknots, float* t,
            float* bcoef, vorlen::i32* ndim, vorlen::i32* kord, vorlen::i32* ierr);

// The 2n + 4 knots t (out) of dpchbs_ for the breakpoints x(n) (in, n >= 2) and knotyp (in):
// the end knots of knotyp 1 or 2, quadruple end knots for any other value. n < 2 or 2n + 4
// beyond 32 bits is recorded as code -3 in the first-error register and writes nothing.
void dpchkt_(const vorlen::i32* n, const double* x, const vorlen::i32* knotyp, double* t);
void pchkt_(const vorlen::i32* n, const float* x, const vorlen::i32* knotyp, float* t);

// Value (ideriv 0) or derivative of order ideriv at x of a spline.
//   t(n+k), a(n), n, k (in)  knots, coefficients, their number and the order, n >= k >= 1
//   ideriv (in)              0 <= ideriv < k
//   x (in)                   t(k) <= x <= t(n+1); at t(n+1) the limit from the left
//   inbv (in/out)            the knot interval of the last call: 1 before the first call
//                            (a value below 1 starts from 1)
//   work(3k) (work)
// Returns 0 on an error. Errors (error number 2): k < 1, n < k, ideriv out of range, x below
// t(k) or NaN, x above t(n+1), no knot below x = t(n+1) from t(k) on; knots that are not
// non-decreasing, so that the interval found lies left of t(k) or x below t(1), are recorded
// as code -3 in the first-error register.
double dbvalu_(const double* t, const double* a, const vorlen::i32* n, const vorlen::i32* k,
               const vorlen::i32* ideriv, const double* x, vorlen::i32* inbv, double* work);
float bvalu_(const float* t, const float* a, const vorlen::i32* n, const vorlen::i32* k,
             const vorlen::i32* ideriv, const float* x, vorlen::i32* inbv, float* work);

// Interval of x (in) in the non-decreasing sequence xt(lxt) (in), searched from ilo (in/out,
// the last interval found; below 1 starts from 1) by steps doubling outwards, then bisection.
//   ileft, mflag (out)  1, -1 when x < xt(1); i, 0 when xt(i) <= x < xt(i+1); lxt, 1 when
//                       x >= xt(lxt)
// lxt < 1 is recorded as code -3 in the first-error register, with ileft 1 and mflag -1.
void dintrv_(const double* xt, const vorlen::i32* lxt, const double* x, vorlen::i32* ilo,
             vorlen::i32* ileft, vorlen::i32* mflag);
void intrv_(const float* xt, const vorlen::i32* lxt, const float* x, vorlen::i32* ilo,
            vorlen::i32* ileft, vorlen::i32* mflag);
}
