// Numerical helpers of the box-beam analysis: the solver of an overdetermined consistent
// system (one equation more than unknowns) and the strided scalar product.
#pragma once
#include "base/view.hpp"

namespace vorlen::boxutils {
extern "C" {

// Solves the n + 1 equations sum over j of a(r, j) x(j) = b(r), r = 1 .. n + 1, of which one
// is expected to be a combination of the others, by elimination with partial pivoting over the
// rows (the rows stay in place; ip holds the order in which they are used). The row left over
// at the end is not checked. A last unknown whose pivot and reduced right-hand side both vanish
// is free and set to 1.
//   a(kl, n) (in/out) rows 1 .. n + 1 hold the coefficients; overwritten by the reduced rows
//                     and the multipliers
//   n (in)            number of unknowns; 0: nothing to solve
//   kl (in)           leading dimension of a, at least n + 1
//   eps (in)          pivot threshold: a pivot of magnitude eps or less fails
//   b(n + 1) (in)     right-hand sides
//   ip(n + 1) (out)   the rows in the order used
//   x(n) (out)        the solution; not written when the solve fails
//   ifail (out)       0 solved; i (1 .. n - 1) when the pivot of elimination step i is too
//                     small; n or n + 1 (the position of the row used) when the last pivot is
//                     too small while the reduced right-hand side is not; -1 for n < 0 or
//                     kl < n + 1 (nothing read or written; code -3 in the first-error register)
void TVERT(double* a, const i32* n, const i32* kl, const double* eps, const double* b, i32* ip,
           double* x, i32* ifail);

// Strided scalar product: the sum over i = 1 .. n of a(1 + (i - 1) la) b(1 + (i - 1) lb);
// 0 for n <= 0, and 0 with code -3 in the first-error register for a negative stride with
// n > 1 (it would read before the vectors).
//   a, b (in)      vectors
//   n (in)         number of products
//   la, lb (in)    strides of a and b
double QVSKPX(const double* a, const double* b, const i32* n, const i32* la, const i32* lb);
}
}  // namespace vorlen::boxutils
