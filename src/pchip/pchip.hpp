// Piecewise cubic Hermite interpolation: shape-preserving and spline derivatives, evaluation and
// exact integration of the piecewise cubic, in double precision.
//
// A function is given by n breakpoints x(n), strictly increasing, and by values f and
// derivatives d stored with the stride incfd: the value and derivative at x(i) are f(1, i) and
// d(1, i) of arrays f(incfd, n) and d(incfd, n). Between breakpoints it is the cubic with those
// end values and slopes; beyond x(1) and x(n) the first and last cubics are continued.
//
// Input errors set a negative ierr and are reported through the error package (xermsg_) with
// library "SLATEC", the routine's name in capitals and ierr as error number; under the package's
// control flag 2, its value unless changed, the report ends the process with status 1. A
// positive ierr is a normal result. Flags (spline, skip) are four-byte logicals; skip true on
// entry means n, incfd and the order of x are known to be valid: only n >= 2 and incfd >= 1 are
// still checked, so that nothing is read outside the arrays. Every argument is passed by address.
#pragma once
#include "core/view.hpp"

extern "C" {

// Derivatives d(n) (out) for the data x(n), f(n) (in) with stride 1: the monotone ones of
// dpchim_ when spline (in) is false, else the not-a-knot cubic spline of dpchsp_ with the work
// array wk(lwk), lwk >= 2n. ierr (out) and the reports are those of the routine called.
void dpchez_(const vorlen::i32* n, const double* x, const double* f, double* d,
             const vorlen::i32* spline, double* wk, const vorlen::i32* lwk, vorlen::i32* ierr);

// Shape-preserving derivatives (Fritsch-Carlson monotone method, Brodlie's weighted harmonic
// mean inside, a limited three-point formula at the ends): the interpolant is monotone wherever
// the data are and keeps their extrema at the breakpoints.
//   n, x(n), f(incfd, n), incfd (in)
//   d(incfd, n) (out)  first row written
//   ierr (out)         >= 0: the number of changes of direction of the data; -1 n < 2,
//                      -2 incfd < 1, -3 x not strictly increasing (d not written)
void dpchim_(const vorlen::i32* n, const double* x, const double* f, double* d,
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

// Derivative at x(k) of the polynomial of degree k-1 through k points.
//   k, x(k) (in)
//   s(k) (in/out)  s(1..k-1) the slopes between neighbouring points; overwritten with divided
//                  differences
//   ierr (out)     0; -1 when k < 3 (result 0)
double dpchdf_(const vorlen::i32* k, const double* x, double* s, vorlen::i32* ierr);

// -1, 0 or +1: the product of the signs of arg1 and arg2, 0 when either is 0.
double dpchst_(const double* arg1, const double* arg2);

// Values of the piecewise cubic at ne points xe(ne) (in, any order) into fe(ne) (out).
//   n, x(n), f(incfd, n), d(incfd, n), incfd (in)
//   skip (in/out)  true once past the validation
//   ierr (out)     >= 0: the points beyond x(1) or x(n) (with unordered points a point right of
//                  x(n) may count more than once); -1, -2, -3 as dpchim_; -4 ne < 1;
//                  -5 failure of the evaluation of one piece (level 2)
void dpchfe_(const vorlen::i32* n, const double* x, const double* f, const double* d,
             const vorlen::i32* incfd, vorlen::i32* skip, const vorlen::i32* ne, const double* xe,
             double* fe, vorlen::i32* ierr);

// Values of one cubic with end points x1 != x2 (any order), end values f1, f2 and end slopes
// d1, d2 at xe(ne) (in) into fe(ne) (out). next(2) (out) counts the points left and right of
// the interval; ierr (out) 0, -1 ne < 1, -2 x1 = x2 (outputs untouched).
void dchfev_(const double* x1, const double* x2, const double* f1, const double* f2,
             const double* d1, const double* d2, const vorlen::i32* ne, const double* xe,
             double* fe, vorlen::i32* next, vorlen::i32* ierr);

// Integral from a to b (either order) of the piecewise cubic, with the arguments of dpchfe_;
// limits beyond x(1) or x(n) integrate the continued end cubics. ierr (out): 0, or 1, 2, 3
// when a, b or both lie outside [x(1), x(n)]; -1, -2, -3 as dpchim_; -4 failure of dpchid_.
// The result is 0 on an error; a NaN limit gives NaN.
double dpchia_(const vorlen::i32* n, const double* x, const double* f, const double* d,
               const vorlen::i32* incfd, vorlen::i32* skip, const double* a, const double* b,
               vorlen::i32* ierr);

// Integral from x(ia) to x(ib) (either order) of the piecewise cubic, with the arguments of
// dpchfe_. ierr (out): 0; -1, -2, -3 as dpchim_; -4 ia or ib outside 1..n (result 0).
double dpchid_(const vorlen::i32* n, const double* x, const double* f, const double* d,
               const vorlen::i32* incfd, vorlen::i32* skip, const vorlen::i32* ia,
               const vorlen::i32* ib, vorlen::i32* ierr);

// Integral from a to b of one cubic (end points x1, x2, values f1, f2, slopes d1, d2); the
// limits may lie outside the interval; 0 when x1 = x2.
double dchfie_(const double* x1, const double* x2, const double* f1, const double* f2,
               const double* d1, const double* d2, const double* a, const double* b);

// dpchia_ with stride 1 and skip true: x(n), f(n), d(n) (in), limits a, b (in); ierr (out).
double dpchqa_(const vorlen::i32* n, const double* x, const double* f, const double* d,
               const double* a, const double* b, vorlen::i32* ierr);
}
