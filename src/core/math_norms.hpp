// Norms, distances, directions and min-max normalisation of vectors and matrices, and the
// scalar functions of module math (inverse hyperbolics, Fisher transformation, binomial
// coefficient, decimal cut-off).
#pragma once
#include "base/view.hpp"

namespace vorlen::math {
extern "C" {

// Euclidean norm sqrt(sum x(i)^2), summed in index order.
//   x(n) (in)  vector
//   n (in)     length; at most 0 gives 0
double VectorNorm(const double* x, const i32* n);

// Frobenius norm of x(n,m), rows in the outer and columns in the inner loop of the sum.
//   x(n,m) (in)  matrix
//   n, m (in)    extents; either at most 0 gives 0
double MatrixNorm(const double* x, const i32* n, const i32* m);

// p-norm (sum |x(i)|^q)^(1/q) with q = p raised to the smallest normal double.
//   x(n) (in)  vector
//   p (in)     exponent
//   n (in)     length
double LpVectorNorm(const double* x, const double* p, const i32* n);

// Entry-wise p-norm of x(n,m), summed in the order of MatrixNorm.
//   x(n,m) (in)  matrix
//   p (in)       exponent, as for LpVectorNorm
//   n, m (in)    extents
double LpMatrixNorm(const double* x, const double* p, const i32* n, const i32* m);

// Largest singular value of x(m,n). The three norms from the singular values give NaN for a
// matrix with an infinite or NaN entry (with code -3 of SingularValueDecomposition).
//   x(m,n) (in)  matrix
//   m, n (in)    extents; either at most 0 gives 0 (an empty matrix)
double SpectralNorm(const double* x, const i32* m, const i32* n);

// Sum of the singular values of x(m,n); an empty matrix gives 0.
double NuclearNorm(const double* x, const i32* m, const i32* n);

// Schatten norm (sum sigma(i)^q)^(1/q) of x(m,n), q as for LpVectorNorm; empty gives 0.
double SchattenNorm(const double* x, const double* p, const i32* m, const i32* n);

// Euclidean distance sqrt(sum (x(i) - y(i))^2).
//   x(n), y(n) (in)  points
//   n (in)           length; at most 0 gives 0
double EuclideanDistance(const double* x, const double* y, const i32* n);

// Angle in radians between x(n) and y(n); pi when either is a zero vector.
double EuclideanAngle(const double* x, const double* y, const i32* n);

// Unit vector in the direction of x.
//   xu(n) (out)  x/|x| (NaN entries for a zero vector)
//   x(n) (in)    vector
//   n (in)       length
void GetUnitVector(double* xu, const double* x, const i32* n);

// Scalar projection a . (b/|b|) of a onto the direction of b.
double ScalarProjection(const double* a, const double* b, const i32* n);

// Min-max normalisation z = (x - min)/(max - min); NaN entries take no part in min and max.
//   x(n) (in)   data
//   z(n) (out)  normalised data; not written when n is at most 0
//   n (in)      length
void VectorNormalize(const double* x, double* z, const i32* n);

// Min-max normalisation of x(n,m) over all its entries; z(n,m) (out), not written when n or m
// is at most 0.
void MatrixNormalize(const double* x, double* z, const i32* n, const i32* m);

// Inverse hyperbolic functions of x (NaN outside their domain).
double math_dasinh(const double* x);
double math_dacosh(const double* x);
double math_datanh(const double* x);
// 0.5 ln((x + 1)/(x - 1)), the inverse hyperbolic cotangent.
double math_dacoth(const double* x);

// Fisher transformation of a correlation coefficient and back.
//   x (in)      value
//   iflag (in, optional)  absent or -1: atanh(x); anything else: tanh(x)
double math_fishertransformation(const double* x, const i32* iflag);

// Binomial coefficient (n over k) as a double, 1 for k < 1 (and the generalised coefficient for
// negative n). A value outside the 32-bit integer range is returned as the nearest double and
// reported with code -3.
double PascalTriangle(const i32* n, const i32* k);

// a cut toward zero to sig decimal places.
//   a (in)             value
//   sig (in, optional) number of decimal places, 8 when absent
double math_droundsf(const double* a, const i32* sig);

// Integral part of a toward zero, plus 1.
double math_dceil(const double* a);
}

// Smallest and largest entry of x(1..n) with NaN entries left out (+inf and -inf when none is
// left); the min-max scalings of this module share it.
struct Range {
    double lo, hi;
};
Range range_without_nan(const double* x, i64 n);

}  // namespace vorlen::math
