// Piecewise cubic Hermite interpolation: evaluation with and without derivatives, exact
// integration of the piecewise cubic and the check of its monotonicity, in double precision
// (d...) and single precision (the same name without the d). Its derivatives are set by the
// routines of pchip_slopes.hpp.
//
// A function is given by n breakpoints x(n), strictly increasing, and by values f and
// derivatives d stored with the stride incfd: the value and derivative at x(i) are f(1, i) and
// d(1, i) of arrays f(incfd, n) and d(incfd, n). Between breakpoints it is the cubic with those
// end values and slopes; beyond x(1) and x(n) the first and last cubics are continued.
//
// Input errors set a negative ierr and are reported through the error package (xermsg_) with
// library "SLATEC", the routine's name in capitals and ierr as error number; under the package's
// control flag 2, its value until xsetf_ changes it, the report ends the process with status 1. A
// positive ierr is a normal result. Flags (spline, skip) are four-byte logicals; skip true on
// entry means n, incfd and the order of x are known to be valid: only n >= 2 and incfd >= 1 are
// still checked, so that nothing is read outside the arrays. Every argument is passed by address.
#pragma once
#include "base/view.hpp"
#include "pchip/pchip_slopes.hpp"

extern "C" {

// Values and first derivatives of the piecewise cubic at ne points xe(ne) (in, any order)
// into fe(ne) and de(ne) (out).
//   n, x(n), f(incfd, n), d(incfd, n), incfd (in)
//   skip (in/out)  true once past the validation
//   ierr (out)     >= 0: the points beyond x(1) or x(n) (with unordered points a point right of
//                  x(n) may count more than once); -1, -2, -3 as dpchim_; -4 ne < 1;
//                  -5 failure of the evaluation of one piece (level 2; the points of the
//                  intervals before have their results)
void dpchfd_(const vorlen::i32* n, const double* x, const double* f, const double* d,
             const vorlen::i32* incfd, vorlen::i32* skip, const vorlen::i32* ne, const double* xe,
             double* fe, double* de, vorlen::i32* ierr);
void pchfd_(const vorlen::i32* n, const float* x, const float* f, const float* d,
            const vorlen::i32* incfd, vorlen::i32* skip, const vorlen::i32* ne, const float* xe,
            float* fe, float* de, vorlen::i32* ierr);

// dpchfd_ without the derivatives.
void dpchfe_(const vorlen::i32* n, const double* x, const double* f, const double* d,
             const vorlen::i32* incfd, vorlen::i32* skip, const vorlen::i32* ne, const double* xe,
             double* fe, vorlen::i32* ierr);
void pchfe_(const vorlen::i32* n, const float* x, const float* f, const float* d,
            const vorlen::i32* incfd, vorlen::i32* skip, const vorlen::i32* ne, const float* xe,
            float* fe, vorlen::i32* ierr);

// dpchfd_ with stride 1 and skip true: n >= 2 breakpoints x(n), f(n), d(n) (in), taken as
// strictly increasing unchecked; nval points xval(nval) (in); values fval(nval) and derivatives
// dval(nval) (out); ierr (out) as dpchfd_ (-1 for n < 2).
void dpchev_(const vorlen::i32* n, const double* x, const double* f, const double* d,
             const vorlen::i32* nval, const double* xval, double* fval, double* dval,
             vorlen::i32* ierr);
void pchev_(const vorlen::i32* n, const float* x, const float* f, const float* d,
            const vorlen::i32* nval, const float* xval, float* fval, float* dval,
            vorlen::i32* ierr);

// Values fe(ne) and derivatives de(ne) (out) at xe(ne) (in) of one cubic with end points
// x1 != x2 (any order), end values f1, f2 and end slopes d1, d2. next(2) (out) counts the
// points left and right of the interval (a point at an end counts on neither side); ierr (out)
// 0, -1 ne < 1, -2 x1 = x2 (outputs untouched).
void dchfdv_(const double* x1, const double* x2, const double* f1, const double* f2,
             const double* d1, const double* d2, const vorlen::i32* ne, const double* xe,
             double* fe, double* de, vorlen::i32* next, vorlen::i32* ierr);
void chfdv_(const float* x1, const float* x2, const float* f1, const float* f2, const float* d1,
            const float* d2, const vorlen::i32* ne, const float* xe, float* fe, float* de,
            vorlen::i32* next, vorlen::i32* ierr);

// dchfdv_ without the derivatives.
void dchfev_(const double* x1, const double* x2, const double* f1, const double* f2,
             const double* d1, const double* d2, const vorlen::i32* ne, const double* xe,
             double* fe, vorlen::i32* next, vorlen::i32* ierr);
void chfev_(const float* x1, const float* x2, const float* f1, const float* f2, const float* d1,
            const float* d2, const vorlen::i32* ne, const float* xe, float* fe, vorlen::i32* next,
            vorlen::i32* ierr);

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

// dpchia_ with stride 1 and skip true: x(n), f(n), d(n) (in), limits a, b (in); ierr (out),
// -1 for n < 2.
double dpchqa_(const vorlen::i32* n, const double* x, const double* f, const double* d,
               const double* a, const double* b, vorlen::i32* ierr);

// The single twins of dpchia_, dpchid_, dchfie_ and dpchqa_.
float pchia_(const vorlen::i32* n, const float* x, const float* f, const float* d,
             const vorlen::i32* incfd, vorlen::i32* skip, const float* a, const float* b,
             vorlen::i32* ierr);
float pchid_(const vorlen::i32* n, const float* x, const float* f, const float* d,
             const vorlen::i32* incfd, vorlen::i32* skip, const vorlen::i32* ia,
             const vorlen::i32* ib, vorlen::i32* ierr);
float chfie_(const float* x1, const float* x2, const float* f1, const float* f2, const float* d1,
             const float* d2, const float* a, const float* b);
float pchqa_(const vorlen::i32* n, const float* x, const float* f, const float* d, const float* a,
             const float* b, vorlen::i32* ierr);

// Monotonicity of every interval and of the whole piecewise cubic.
//   n, x(n), f(incfd, n), d(incfd, n), incfd (in)
//   skip (in/out)  as dpchfe_
//   ismon(n) (out) ismon(i), i < n: the code of the cubic on [x(i), x(i+1)] (dchfcm_);
//                  ismon(n): the whole function, 2 when a piece is not monotone or two pieces
//                  run in opposite directions, else the common direction, 3 or -3 when one
//                  piece is uncertain, 0 when every piece is constant
//   ierr (out)     0; -1, -2, -3 as dpchim_ (ismon untouched)
void dpchcm_(const vorlen::i32* n, const double* x, const double* f, const double* d,
             const vorlen::i32* incfd, vorlen::i32* skip, vorlen::i32* ismon, vorlen::i32* ierr);
void pchcm_(const vorlen::i32* n, const float* x, const float* f, const float* d,
            const vorlen::i32* incfd, vorlen::i32* skip, vorlen::i32* ismon, vorlen::i32* ierr);

// Monotonicity code of one cubic with end slopes d1, d2 and secant slope delta (in): 1 (-1)
// increasing (decreasing), 0 constant (delta, d1 and d2 zero), 2 not monotone, 3 (-3)
// increasing (decreasing) within 10 machine epsilons of the boundary of the monotone region.
vorlen::i32 dchfcm_(const double* d1, const double* d2, const double* delta);
vorlen::i32 chfcm_(const float* d1, const float* d2, const float* delta);
}
