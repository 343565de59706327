// Iterative matrix algorithms of module math: dominant eigenpair by power iteration, conjugate
// gradients, the positive-definiteness test, and the repair of matrices that should be
// symmetric positive definite or correlation matrices but are not. A matrix counts as positive
// definite when CholeskyFactorization does not give its failure marker.
#pragma once
#include "base/view.hpp"

namespace vorlen::math {
extern "C" {

// Dominant eigenpair by power (von Mises) iteration: y ← a·y / |a·y| until the change
// |y_new - σ y_old| falls to abstol, σ = ±1 the sign of y_new(j)·y_old(j) at the first index j
// of the largest |y_new(j)| (so a negative dominant eigenvalue converges too).
//   eigenval (out)               Rayleigh quotient yᵀ·a·y of the last iterate
//   eigenvec(n) (out)            the last normalised iterate (zero for a zero matrix)
//   a(n,n) (in)                  matrix
//   n (in)                       order, at least 1 (else code -3, eigenval 0)
//   maxiter (in, optional)       iteration limit, 2000 when absent; below 1 no iteration is
//                                done and the normalised start vector and its quotient are given
//   startvec(n) (in, optional)   start vector, all ones when absent
//   abstol (in, optional)        tolerance of the change, 1e-10 when absent
// The limit reached (or no iteration allowed) with the change above abstol records code -2 "No
// convergence in von Mises eigenvalue computation" and gives the last iterate. An entry of a or
// startvec that is not finite, a zero startvec or a NaN abstol records code -3 and gives
// eigenval 0 and a zero eigenvec.
void PowerIteration(double* eigenval, double* eigenvec, const double* a, const i32* n,
                    const i32* maxiter, const double* startvec, const double* abstol);

// Solution of a·x = b by at most m conjugate-gradient steps from x0, a symmetric positive
// definite; stops once |b - a·x| < 1e-10.
//   xgrad(m) (out)      approximate solution; x0 when x0 solves the system exactly
//   a(n,m) (in)         matrix, square
//   b(m), x0(m) (in)    right-hand side and start
//   n, m (in)           extents; n other than m, or m below 1, records code -3 and gives x0
// A direction p with pᵀ·a·p = 0 (a not positive definite) records code -3 and gives the
// iterate reached.
void ConjugateGradient(double* xgrad, const double* a, const double* b, const double* x0,
                       const i32* n, const i32* m);

// True when every eigenvalue of x (upper triangle) exceeds tolerance and its LU determinant is
// positive; a singular x also records code -2 through LUFactDeterminant.
//   x(n,n) (in)               matrix
//   n (in)                    order, at least 1 (else code -3, false)
//   tolerance (in, optional)  1e-8 when absent
lgl IsPositiveDefinite(const double* x, const i32* n, const double* tolerance);

// Projection onto the positive semidefinite matrices: the symmetric part of a with its negative
// eigenvalues set to 0, symmetrised once more.
//   ppd(n,n) (out)  projection; may be a itself
//   a(n,n) (in)     matrix
//   n (in)          order, at least 1 (else code -3, nothing written)
void GetProjectedSPD(double* ppd, const double* a, const i32* n);

// Nearest symmetric positive definite matrix: P = sym((B + H)/2), B = sym(a), H = Vᵀ·Σ·V from
// the singular value decomposition B = U·Σ·V; while P is not positive definite, its diagonal is
// raised by 2.220446049250313e-16 - k²·λmin at the k-th try, or by k²·2.220446049250313e-16
// times its largest diagonal entry when that is more (λmin at the rounding level of P).
//   pd(n,n) (out)  result; may be a itself
//   a(n,n) (in)    matrix
//   n (in)         order, at least 1 (else code -3, nothing written)
// An entry of a that is not finite records code -3 and gives zeros; so does a shift that
// leaves the finite numbers or 1000 tries without success (code -2).
void GetNearestSPD(double* pd, const double* a, const i32* n);

// Frobenius distance from x to GetNearestSPD(x); 0 when x is positive definite.
//   x(n,n) (in)  matrix
//   n (in)       order, at least 1 (else code -3, 0)
double GetNearestPDNorm(const double* x, const i32* n);

// Nearest (weighted) correlation matrix by alternating projections with Dykstra's correction,
// shifted and repaired to positive definiteness; Spearman's rho and Kendall's tau are first
// turned into the equivalent Pearson coefficients (2 sin(πρ/6), sin(πτ/2)).
//   corr(n,n) (out)          result; may be a itself. When the projections need more than
//                            maxiter iterations, code -1 "No convergence in
//                            GetNearestCorrelationMatrix" is recorded and corr is the last
//                            iterate (unit diagonal, not repaired), as Pearson coefficients
//   a(n,n) (in)              matrix
//   n (in)                   order, at least 1 (else code -3, nothing written)
//   weights(n) (in, optional)  weights w, W(i,j) = sqrt(w(i) w(j)); all ones when absent or
//                            when every entry is -1
//   tol (in, optional)       bound of the relative changes |X - Xold|/|X|, |Y - Yold|/|Y|
//                            and |Y - X|/|Y| (Frobenius norms); tol when positive, but at
//                            least 8 n·2.220446049250313e-16, the level to which the
//                            eigen-decomposition's rounding lets the iterates settle
//   maxiter (in, optional)   iteration limit, 100 when absent, at least 1
//   cflag (in, optional)     0 Pearson (also any value above 2), 1 Spearman, 2 Kendall; 0 when
//                            absent or negative
// An entry of a or W that is not finite, or a projection that leaves the finite numbers,
// records code -3 and gives zeros; a repair that does not end in 1000 tries records code -2
// and gives zeros.
void GetNearestCorrelationMatrix(double* corr, const double* a, const i32* n, const double* weights,
                                 const double* tol, const i32* maxiter, const i32* cflag);
}
}  // namespace vorlen::math
