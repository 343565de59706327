// Small matrix and vector kernels of module math: products, element-wise arithmetic, scaled
// accumulation, in-place sums, transposition, diagonals and cumulative sums. Plain loops, no
// allocation; sums run in index order. The output may be one of the inputs (x = A x, a product
// or transposition in place): an input the output overlaps is read from a private copy then.
#pragma once
#include "base/view.hpp"

namespace vorlen::math {
extern "C" {

// c = a·b. Entries b(k,j) equal to 0 are skipped, so a NaN or infinity in a(:,k) does not reach c
// through them.
//   a(l,n), b(n,m) (in)  factors
//   c(l,m) (out)         product
//   l, n, m (in)         extents
void MatrixProduct(const double* a, const double* b, double* c, const i32* l, const i32* n,
                   const i32* m);

// c(i) = sum_j a(i,j)·b(j).
//   a(n,m), b(m) (in)  matrix and vector
//   c(n) (out)         product
//   n, m (in)          extents
void MatrixVectorProduct(const double* a, const double* b, double* c, const i32* n, const i32* m);

// c(i) = sum_j a(j)·b(j,i), that is c = bᵀ·a.
//   a(m), b(m,n) (in)  vector and matrix
//   c(n) (out)         product
//   n, m (in)          extents
void VectorMatrixProduct(const double* a, const double* b, double* c, const i32* n, const i32* m);

// c = S·b for the symmetric n by n matrix S packed by rows of its upper triangle in a:
// a(1..n) = S(1,1..n), a(n+1..2n-1) = S(2,2..n), ... When m < n(n+1)/2 records code -3 and
// sets c to 0.
//   a(m) (in)   packed matrix
//   b(n) (in)   vector
//   c(n) (out)  product
//   m, n (in)   extents
void LUMatrixVectorProduct(const double* a, const double* b, double* c, const i32* m,
                           const i32* n);

// c = sum a(i)·b(i); 0 when l is at most 0.
//   a(l), b(l) (in)  vectors;  c (out)  scalar;  l (in)  length
void DotProduct(const double* a, const double* b, double* c, const i32* l);

// c = a × b.          a(3), b(3) (in); c(3) (out)
void CrossProduct(const double* a, const double* b, double* c);
// d = a × (b × c).    a(3), b(3), c(3) (in); d(3) (out)
void VectorTripleProduct(const double* a, const double* b, const double* c, double* d);
// d = a · (b × c).    a(3), b(3), c(3) (in); d (out)
void ScalarTripleProduct(const double* a, const double* b, const double* c, double* d);

// c(i,j) = a(i)·b(j).
//   a(m), b(n) (in);  c(m,n) (out);  m, n (in)
void DyadenProduct(const double* a, const double* b, double* c, const i32* m, const i32* n);

// ab((i-1)·pb + r, (j-1)·qb + s) = a(i,j)·b(r,s).
//   a(ma,na), b(pb,qb) (in);  ab(ma·pb, na·qb) (out);  ma, na, pb, qb (in)
void KroneckerProduct(const double* a, const double* b, double* ab, const i32* ma, const i32* na,
                      const i32* pb, const i32* qb);

// c(i,j) = a(i,j)·b(i,j) where both are non-zero (NaN counts as non-zero), else 0.
//   a(l,n), b(l,n) (in);  c(l,n) (out);  l, n (in)
void HadamardProduct(const double* a, const double* b, double* c, const i32* l, const i32* n);
// c(i,j) = a(i,j)/b(i,j) where both are non-zero, else 0: a zero divisor gives 0.
//   a(l,n), b(l,n) (in);  c(l,n) (out);  l, n (in)
void HadamardDivision(const double* a, const double* b, double* c, const i32* l, const i32* n);

// Scaled accumulation a ← a + c·b (not a scaling).
//   a(n,m) (in/out);  b(n,m) (in);  c (in);  n, m (in)
void MatrixScalarMultiplication(double* a, const double* b, const double* c, const i32* n,
                                const i32* m);
//   a(n) (in/out);  b(n) (in);  c (in);  n (in)
void VectorScalarMultiplication(double* a, const double* b, const double* c, const i32* n);

// In-place scaling a ← c·a of the non-zero entries (NaN included); zero entries keep their value
// and sign whatever c is.
//   a(n,m) (in/out);  c (in);  n, m (in)
void MatrixAmplify(double* a, const double* c, const i32* n, const i32* m);
//   a(n) (in/out);  c (in);  n (in)
void VectorAmplify(double* a, const double* c, const i32* n);

// a ← a + b and a ← a - b.
//   a(n,m) (in/out);  b(n,m) (in);  n, m (in)
void MatrixSum(double* a, const double* b, const i32* n, const i32* m);
void MatrixSub(double* a, const double* b, const i32* n, const i32* m);
//   a(n) (in/out);  b(n) (in);  n (in)
void VectorSum(double* a, const double* b, const i32* n);
void VectorSub(double* a, const double* b, const i32* n);

// v = b - a, the vector from point a to point b.
//   v(n) (out);  a(n), b(n) (in);  n (in)
void GetABVector(double* v, const double* a, const double* b, const i32* n);

// c = f·a + (1-f)·b with f = alpha clamped to [0, 1] (a NaN alpha gives 1); each term scaled
// as by MatrixAmplify, so zero entries stay zero.
//   a(n,m), b(n,m) (in);  c(n,m) (out);  alpha (in);  n, m (in)
void MatrixShrinkage(const double* a, const double* b, double* c, const double* alpha,
                     const i32* n, const i32* m);

// sym = (a + aᵀ)·0.5.
//   a(n,n) (in);  sym(n,n) (out);  n (in)
void MatrixSymmetrize(const double* a, double* sym, const i32* n);

// b(j,i) = a(i,j).
//   a(n,m) (in);  b(m,n) (out);  n, m (in)
void MatrixTranspose(const double* a, double* b, const i32* n, const i32* m);

// The k-th diagonal: diag(i) = a(i,i+k) for k >= 0, a(i-k,i) for k < 0, i = 1..n-|k|; nothing is
// written when |k| >= n.
//   diag(n-|k|) (out);  a(n,n) (in);  k (in);  n (in)
void MatrixDiagonal(double* diag, const double* a, const i32* k, const i32* n);

// Sum of the main diagonal, in index order.
//   x(n,n) (in);  n (in)
double Trace(const double* x, const i32* n);

// Running sums csum(i) = seed + a(1) + ... + a(i); nothing written when n is at most 0.
//   csum(n) (out);  a(n) (in);  n (in);  seed (in, optional) 0 when absent
void CumulativeSum(double* csum, const double* a, const i32* n, const double* seed);
// Running products cprod(i) = seed·a(1)·...·a(i); nothing written when n is at most 0.
//   cprod(n) (out);  a(n) (in);  n (in);  seed (in, optional) 1 when absent
void CumulativeProduct(double* cprod, const double* a, const i32* n, const double* seed);

}  // extern "C"
}  // namespace vorlen::math
