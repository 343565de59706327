// Derivative setting of the piecewise cubic Hermite package: the derivatives d of a piecewise
// cubic Hermite function through given data, shape-preserving, spline or with chosen end
// conditions, in double precision (d...) and single precision (the same name without the d).
//
// A data set is n breakpoints x(n), strictly increasing, and values f(incfd, n) of which only
// the first row is read; the derivatives go to the first row of d(incfd, n). Interval lengths
// and slopes are h(i) = x(i+1) - x(i) and slope(i) = (f(1, i+1) - f(1, i)) / h(i), i = 1..n-1.
// Errors set a negative ierr and are reported through the error package (xermsg_) as described
// in pchip.hpp; nothing is written to d on the errors of the checks of n, incfd, x and the
// arguments. Flags are four-byte logicals. Every argument is passed by address; a single twin
// takes the same arguments with float for double.
#pragma once
#include "base/view.hpp"

extern "C" {

// Derivatives d(n) (out) for the data x(n), f(n) (in) with stride 1: the monotone ones of
// dpchim_ when spline (in) is false, else the not-a-knot cubic spline of dpchsp_ with the work
// array wk(lwk), lwk >= 2n. ierr (out) and the reports are those of the routine called.
void dpchez_(const vorlen::i32* n, const double* x, const double* f, double* d,
             const vorlen::i32* spline, double* wk, const vorlen::i32* lwk, vorlen::i32* ierr);
void pchez_(const vorlen::i32* n, const float* x, const float* f, float* d,
            const vorlen::i32* spline, float* wk, const vorlen::i32* lwk, vorlen::i32* ierr);

// Shape-preserving derivatives (Fritsch-Carlson monotone method, Brodlie's weighted harmonic
// mean inside, a limited three-point formula at the ends): the interpolant is monotone wherever
// the data are and keeps their extrema at the breakpoints.
//   n, x(n), f(incfd, n), incfd (in)
//   d(incfd, n) (out)  first row written
//   ierr (out)         >= 0: the number of changes of direction of the data; -1 n < 2,
//                      -2 incfd < 1, -3 x not strictly increasing
void dpchim_(const vorlen::i32* n, const double* x, const double* f, double* d,
             const vorlen::i32* incfd, vorlen::i32* ierr);
void pchim_(const vorlen::i32* n, const float* x, const float* f, float* d,
            const vorlen::i32* incfd, vorlen::i32* ierr);

// Derivatives of the cubic spline interpolant (continuous second derivative).
//   ic(2) (in)         end conditions at x(1) and x(n): 0 not-a-knot, 1 first derivative vc,
//                      2 second derivative vc, 3 or 4 first derivative of the polynomial
//                      through the 3 or 4 points nearest that end; a code above n counts as 0
//   vc(2) (in)         values of codes 1 and 2
//   n, x(n), f(incfd, n), incfd (in)
//   d(incfd, n) (out)  first row written
//   wk(2, n) (work), nwk (in)  work array of nwk >= 2n entries
//   ierr (out)         0; -1, -2, -3 as dpchim_; -4, -5, -6 ic(1), ic(2) or both outside 0..4;
//                      -7 nwk < 2n; -8 singular system; -9 failure of dpchdf_
void dpchsp_(const vorlen::i32* ic, const double* vc, const vorlen::i32* n, const double* x,
             const double* f, double* d, const vorlen::i32* incfd, double* wk,
             const vorlen::i32* nwk, vorlen::i32* ierr);
void pchsp_(const vorlen::i32* ic, const float* vc, const vorlen::i32* n, const float* x,
            const float* f, float* d, const vorlen::i32* incfd, float* wk, const vorlen::i32* nwk,
            vorlen::i32* ierr);

// Derivatives with a choice of end conditions and of the treatment of the points where the
// data change direction.
//   ic(2) (in)         end conditions at x(1) and x(n), -5..5: 0 the shape-preserving default,
//                      1 first derivative vc, 2 second derivative vc of the end cubic, 3 or 4
//                      derivative of the polynomial through the 3 or 4 points nearest the end,
//                      5 continuous second derivative at x(2) (x(n-1)); a negative code is its
//                      positive one followed by the monotonicity adjustment of that end; a
//                      code above n in magnitude counts as 0
//   vc(2) (in)         values of codes 1 and 2
//   switch_ (in)       0: derivatives at changes of direction stay 0; else they are adjusted
//                      toward the weighted slope averages (dpchcs_), and when positive the
//                      excursion beyond the data is limited to switch_ times the local data
//                      change (dpchsw_)
//   n, x(n), f(incfd, n), incfd (in)
//   d(incfd, n) (out)  first row written
//   wk(nwk) (work), nwk (in)  work array of nwk >= 2(n-1) entries
//   ierr (out)         0; 1, 2, 3 d(1), d(n) or both changed by the monotonicity adjustment;
//                      -1, -2, -3 as dpchim_; -4, -5, -6 ic(1), ic(2) or both outside -5..5;
//                      -7 nwk < 2(n-1); -8 failure of dpchcs_; -9 failure of dpchce_
void dpchic_(const vorlen::i32* ic, const double* vc, const double* switch_, const vorlen::i32* n,
             const double* x, const double* f, double* d, const vorlen::i32* incfd, double* wk,
             const vorlen::i32* nwk, vorlen::i32* ierr);
void pchic_(const vorlen::i32* ic, const float* vc, const float* switch_, const vorlen::i32* n,
            const float* x, const float* f, float* d, const vorlen::i32* incfd, float* wk,
            const vorlen::i32* nwk, vorlen::i32* ierr);

// The steps of dpchic_. They take the lengths h(n-1) and slopes slope(n-1) of the intervals
// and check only what keeps them within their arrays: n < 2 is reported as -1 "NUMBER OF DATA
// POINTS LESS THAN TWO", incfd < 1 as -2 "INCREMENT LESS THAN ONE", d left untouched.

// Interior and default end derivatives d(incfd, n) (out) by the monotone formulas; equal to
// the derivatives of dpchim_ for the same data. n, h(n-1), slope(n-1), incfd (in).
void dpchci_(const vorlen::i32* n, const double* h, const double* slope, double* d,
             const vorlen::i32* incfd);
void pchci_(const vorlen::i32* n, const float* h, const float* slope, float* d,
            const vorlen::i32* incfd);

// Adjusts d(incfd, n) (in/out) near the points where the slopes change sign, in increasing
// order of the points; switch_ (in) as for dpchic_, nonzero. ierr (out) 0, or the negative code
// of dpchsw_ (not reported again). n, h(n-1), slope(n-1), incfd (in).
void dpchcs_(const double* switch_, const vorlen::i32* n, const double* h, const double* slope,
             double* d, const vorlen::i32* incfd, vorlen::i32* ierr);
void pchcs_(const float* switch_, const vorlen::i32* n, const float* h, const float* slope,
            float* d, const vorlen::i32* incfd, vorlen::i32* ierr);

// Limits the excursion of the cubic on one interval that holds an extremum of the data.
//   dfmax (in)      largest excursion allowed
//   iextrm (in)     1: measured from the value at the left end; else from the right end
//   d1, d2 (in/out) end derivatives, of opposite signs or one of them 0; scaled down together
//                   when the excursion exceeds dfmax
//   h, slope (in)   length and data slope of the interval
//   ierr (out)      0; -1 d1 and d2 both 0 or of the same sign; -2 negative radical
void dpchsw_(const double* dfmax, const vorlen::i32* iextrm, double* d1, double* d2,
             const double* h, const double* slope, vorlen::i32* ierr);
void pchsw_(const float* dfmax, const vorlen::i32* iextrm, float* d1, float* d2, const float* h,
            const float* slope, vorlen::i32* ierr);

// Applies the end conditions ic(2), vc(2) (in) of dpchic_ to d(1, 1) and d(1, n) (in/out), the
// left end first. n, x(n), h(n-1), slope(n-1), incfd (in). ierr (out) 0, 1, 2, 3 as dpchic_;
// -1 failure of dpchdf_.
void dpchce_(const vorlen::i32* ic, const double* vc, const vorlen::i32* n, const double* x,
             const double* h, const double* slope, double* d, const vorlen::i32* incfd,
             vorlen::i32* ierr);
void pchce_(const vorlen::i32* ic, const float* vc, const vorlen::i32* n, const float* x,
            const float* h, const float* slope, float* d, const vorlen::i32* incfd,
            vorlen::i32* ierr);

// Derivative at x(k) of the polynomial of degree k-1 through k points.
//   k, x(k) (in)
//   s(k) (in/out)  s(1..k-1) the slopes between neighbouring points; overwritten with divided
//                  differences
//   ierr (out)     0; -1 when k < 3 (result 0)
double dpchdf_(const vorlen::i32* k, const double* x, double* s, vorlen::i32* ierr);
float pchdf_(const vorlen::i32* k, const float* x, float* s, vorlen::i32* ierr);

// -1, 0 or +1: the product of the signs of arg1 and arg2, 0 when either is 0.
double dpchst_(const double* arg1, const double* arg2);
float pchst_(const float* arg1, const float* arg2);
}
