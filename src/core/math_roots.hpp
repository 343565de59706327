// Scalar equations of module math: root finders that call a caller-supplied function (Brent,
// safeguarded Newton-Raphson, fixed-point iteration) and the real roots of cubics in closed form.
#pragma once
#include "base/view.hpp"

namespace vorlen::math {
extern "C" {

// Function of bdsafe and nrsafe.
//   f (out)          function value at x
//   df (out)         derivative at x (nrsafe reads it; bdsafe passes a scratch value)
//   x (in)           point of evaluation
//   args(na) (in)    the caller's parameters, passed through unchanged
//   na (in)          extent of args
//   nfun (in)        the caller's selector, passed through unchanged
using RootFunction = void(double* f, double* df, const double* x, const double* args, const i32* na,
                          const i32* nfun);

// Map g of fpsafe.
//   xnew (out)       g at the current point
//   fargs(na) (in)   the current point in fargs(1), the caller's args(2..na) after it
//   na, nfun (in)    as for RootFunction
using FixPointFunction = void(double* xnew, const double* fargs, const i32* na, const i32* nfun);

// Status istat of the root finders:
//   0  converged (or a bracket end is an exact root)
//   1  pass limit reached: code -1, the result is the last estimate
//   2  not started: no sign change over [x1, x2] (code -2); for bdsafe and nrsafe a bracket end
//      or the width x2 - x1 that is not finite, or xacc NaN or negative (code -3, nothing
//      evaluated); for fpsafe na below 1 (code -3); the result is 0 (bdsafe, nrsafe) or the
//      start value (fpsafe)
//   3  the function gave a value that is not a number (code -2); the result is 0 (bdsafe,
//      nrsafe) or that value (fpsafe)
// A missing function (null dfunc) records code -3 and gives status 2.

// Root of f inside the bracket [x1, x2] by Brent's method (bisection, secant and inverse
// quadratic steps). Both ends are evaluated first; an end with f exactly 0 is the root.
//   dfunc (in)       function
//   x1, x2 (in)      ends of the bracket
//   root (out)       the root: the last estimate b
//   args(na) (in)    parameters of dfunc
//   xacc (in)        absolute tolerance, at least 0; a pass ends the search when
//                    |c - b|/2 <= 2 eps |b| + xacc
//   maxit (in)       pass limit; when the pass counter equals maxit on leaving, istat is 1 (also
//                    when the last pass converged); maxit < 0 runs no pass and warns of nothing
//   na, nfun (in)    passed to dfunc
//   istat (out)      status (above)
void math_bdsafe(RootFunction* dfunc, const double* x1, const double* x2, double* root,
                 const double* args, const double* xacc, const i32* maxit, const i32* na,
                 const i32* nfun, i32* istat);

// Root of f inside the bracket [x1, x2] by Newton-Raphson steps, a bisection step wherever the
// Newton step would leave the bracket or not halve the step before last. dfunc sets f and df.
// Arguments as math_bdsafe; the search starts at the midpoint and ends when the step is shorter
// than xacc or the estimate no longer changes. After maxit passes (at once for maxit <= 0,
// with the midpoint) istat is 1.
void math_nrsafe(RootFunction* dfunc, const double* x1, const double* x2, double* root,
                 const double* args, const double* xacc, const i32* maxit, const i32* na,
                 const i32* nfun, i32* istat);

// Fixed point x = g(x) by iteration, at most maxit + 2 evaluations of g.
//   dfunc (in)       the map g, called with a copy of args whose first entry is the current point
//   xs (in/out)      start value; on return the last value g returned (also when converged)
//   args(na) (in)    parameters; args(1) is replaced by the current point in the copy
//   xacc (in)        the iteration ends when two iterates differ by no more than xacc
//   maxit (in)       when more than maxit passes would be needed, istat is 1
//   na (in)          extent of args, at least 1
//   nfun (in)        passed to dfunc
//   istat (out)      status (above)
void math_fpsafe(FixPointFunction* dfunc, double* xs, const double* args, const double* xacc,
                 const i32* maxit, const i32* na, const i32* nfun, i32* istat);

// Real cube root of a: 0 for 0, exp(ln(a)/3) for a > 0, -exp(ln(|a|)/3) for a < 0.
double math_cuberoot(const double* a);

// Real roots of t^3 + p t + q = 0, solved for t / 2^k with a power of two that keeps q^2 and
// p^3 in range where the roots lie beyond 2^-128..2^128 in size.
//   p, q (in)
//   xx1, xx2, xx3 (out)  with q^2/4 + p^3/27 >= 0 the one real root (Cardano) three times;
//                        otherwise the three distinct roots (trigonometric method), ascending
void SpecialCase(const double* p, const double* q, double* xx1, double* xx2, double* xx3);

// Real roots of a x^3 + b x^2 + c x + d = 0 (a non-zero; a = 0 gives non-finite results).
//   a, b, c, d (in)     coefficients
//   x1, x2, x3 (out)    the roots of the depressed cubic (SpecialCase) shifted by -b/(3a)
void Solution3PE(const double* a, const double* b, const double* c, const double* d, double* x1,
                 double* x2, double* x3);
}
}  // namespace vorlen::math
