// Dense linear algebra of module math over LAPACK and BLAS: inverse, determinants and minors,
// symmetric eigenproblems with the modal assurance criterion, SVD, Cholesky, general product.
#pragma once
#include "base/view.hpp"

namespace vorlen::math {
extern "C" {

// Inverse of a general matrix by LU factorisation. ainv is always written: for a singular a it
// holds the LU factors and code -2 "Matrix inverse becomes numerically singular!" is recorded
// ("Matrix inversion failed!" when only the inversion step fails). ainv may be a itself.
//   a(n,n) (in)      matrix
//   ainv(n,n) (out)  inverse of a
//   n (in)           order, at least 1 (else code -3, nothing written)
void MatrixInverse(const double* a, double* ainv, const i32* n);

// Determinant by LU factorisation: the product of the pivots, its sign flipped per row swap.
//   lud (out)    det(a); 0 for a singular a (code -2 "Singularity in LU-factorization
//                computation") and for n below 1 (code -3)
//   a(n,n) (in)  matrix
//   n (in)       order
void LUFactDeterminant(double* lud, const double* a, const i32* n);

// Determinant (pdflag -1) or permanent (pdflag 1) by Laplace expansion along the first row; any
// other pdflag multiplies the sign by itself at each term. The expansion costs n!: above order
// 12 the determinant is the product of the LU pivots (no report for a singular a) and the
// permanent comes from Ryser's formula (2^n n operations) up to order 30, its terms formed and
// summed in double-double arithmetic: beyond the final rounding the error is about 1e-32 times
// the sum of the terms' magnitudes (at most 2^n prod_i sum_j |a(i,j)|), at worst 2^n times
// that, and the all-ones matrix gives n! to the last bit. A larger order, or another pdflag
// above order 12, records code -3 and gives 0.
//   pd (out)              result; a(1,1) for n = 1, 0 for n at most 0
//   a(n,n) (in)           matrix
//   n (in)                order
//   pdflag (in, optional) sign factor, -1 when absent
void Determinant(double* pd, const double* a, const i32* n, const i32* pdflag);

// Leading principal minor of order i: sm(1,1) for i = 1, else det(sm(1:i,1:i)) by
// LUFactDeterminant. Returns 0 with code -3 unless 1 <= i <= k.
//   sm(k,k) (in)  matrix
//   i (in)        order of the minor
//   k (in)        order of sm
double GetPrincipleMinor(const double* sm, const i32* i, const i32* k);

// First minor M(i,j): det of sm without row i and column j, by LUFactDeterminant. Returns 0
// with code -3 unless k >= 2 and 1 <= i, j <= k.
//   sm(k,k) (in)  matrix
//   i, j (in)     row and column removed
//   k (in)        order of sm
double GetFirstMinor(const double* sm, const i32* i, const i32* j, const i32* k);

// Cofactor sign rule: mij when i + j is even, -mij when odd.
//   mij (in)   minor
//   i, j (in)  its row and column
double GetCofactor(const double* mij, const i32* i, const i32* j);

// Eigenvalues of a symmetric matrix, ascending; only the upper triangle of a is read.
//   a(n,n) (in)  matrix
//   d(n) (out)   eigenvalues
//   n (in)       order, at least 1 (else code -3, nothing written)
void MatrixEigenvalues(const double* a, double* d, const i32* n);

// Orthonormal eigenvectors of a symmetric matrix in the columns of z, in the order of the
// ascending eigenvalues; only the upper triangle of a is read.
//   a(n,n) (in)                     matrix
//   z(n,n) (out)                    eigenvectors
//   n (in)                          order, at least 1 (else code -3, nothing written)
//   eigvals(n) (in/out, optional)   overwritten with the eigenvalues only when every entry is
//                                   negative on entry (a NaN is not); else left unchanged
void MatrixEigenVectors(const double* a, double* z, const i32* n, double* eigvals);

// Modal assurance criterion of two vectors, (a·b)² / ((a·a)(b·b)); NaN for n at most 0 or a
// zero vector.
//   a(n), b(n) (in)  vectors
//   n (in)           length
double VectorModalAssuranceCriterion(const double* a, const double* b, const i32* n);

// Criterion between the eigenvectors of xs (rows, by ascending eigenvalue) and of ys (columns).
//   xs(n,n), ys(n,n) (in)  symmetric matrices (upper triangles read)
//   mac(n,n) (out)         criterion values
//   n (in)                 order, at least 1 (else code -3, nothing written)
void MatrixModalAssuranceCriterion(const double* xs, const double* ys, double* mac, const i32* n);

// Singular value decomposition a = u·s·v with v the transposed right singular vectors.
//   a(m,n) (in)   matrix
//   u(m,m) (out)  left singular vectors in its columns
//   s(m,n) (out)  singular values, descending, on the diagonal; zero elsewhere
//   v(n,n) (out)  right singular vectors in its rows
//   m, n (in)     extents, both at least 1 (else code -3 and zeroed outputs)
// A matrix with an infinite or NaN entry records code -3 and gives zeroed outputs. u, s or v
// may be a itself.
void SingularValueDecomposition(const double* a, double* u, double* s, double* v, const i32* m,
                                const i32* n);

// Upper Cholesky factor a = Uᵀ·U; only the upper triangle of a is read.
//   a(n,n) (in)   symmetric matrix
//   c(n,n) (out)  U on and above the diagonal, a's strict lower triangle below it; every entry
//                 -1.7976931348623157e308 when a is not positive definite, a NaN in its upper
//                 triangle included (nothing recorded)
//   n (in)        order, at least 1 (else code -3, nothing written)
void CholeskyFactorization(const double* a, double* c, const i32* n);

// d = alpha·op(a)·op(b) + beta·c with op given by the flags "N"/"n" (as stored) or "T", "t",
// "C", "c" (transposed): op(a) is m by k, op(b) is k by n.
//   d(m,n) (out)              result
//   alpha, beta (in)          scalars
//   a (in)                    a(m,k), or a(k,m) when transposed; a1 by a2 entries stored
//   b (in)                    b(k,n), or b(n,k) when transposed; b1 by b2 entries stored
//   c(m,n) (in)               added matrix
//   m, n, k (in)              extents, each at least 1
//   sa, sb (in, 1 character)  transpose flags
//   a1, a2, b1, b2 (in)       stored extents of a and b
// An extent below 1, an unknown flag, or an a or b holding fewer than m·k or k·n entries records
// code -3 and leaves d = c.
void GeneralMatrixProduct(double* d, const double* alpha, const double* a, const double* b,
                          const double* beta, const double* c, const i32* m, const i32* n,
                          const i32* k, const char* sa, const char* sb, const i32* a1,
                          const i32* a2, const i32* b1, const i32* b2);

}  // extern "C"
}  // namespace vorlen::math
