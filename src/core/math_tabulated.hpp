// Numerics of module math on sampled data: table interpolation, integration, numerical
// derivatives, polynomial fits, percentiles, monotonicity and error measures.
#pragma once
#include "core/view.hpp"

namespace vorlen::math {
extern "C" {

// A table is x(n), y(n) with x the abscissas; p(k) are the points to evaluate at, and a table
// routine returns its k values in result(k).

// Value of the sample whose abscissa is nearest to each point (x taken as sorted, not tested).
//   result(k) (out), x(n), y(n), p(k) (in), n, k (in)
void math_nearestinterpolation(double* result, const double* x, const double* y, const double* p,
                               const i32* n, const i32* k);

// Linear interpolation, extrapolated from the end intervals outside [x(1), x(n)]; arguments as
// math_nearestinterpolation. x must increase strictly and n be at least 2: otherwise the
// process ends with the message of interp_linear.
void math_linearinterpolation(double* result, const double* x, const double* y, const double* p,
                              const i32* n, const i32* k);

// Jacobian from differences.
//   jac(a, b) (out)  jac(i, j) = dy(i, j) / dx(j)
//   dy(a, b) (in)    differences of a outputs for a step of each of b parameters
//   dx(b) (in)       the steps
//   a, b (in)
void Gradient(double* jac, const double* dy, const double* dx, const i32* a, const i32* b);

// Derivative of sampled data by central differences, one-sided at the ends.
//   derivative(n) (out)  (y(i+1) - y(i-1)) / (x(i+1) - x(i-1)) inside, forward and backward
//                        quotients at the first and last sample
//   y(n), x(n) (in)      values and abscissas
//   n (in)               at least 2; else code -3 and derivative = 0
void CentralStepDerivative(double* derivative, const double* y, const double* x, const i32* n);

// Coefficients of the parabola y = a x^2 + b x + c through three points.
//   ind(3, 2) (in)  column 1 the abscissas x1, x2, x3, column 2 the values y1, y2, y3
//   oud(3) (out)    (a, b, c), from divided differences: any three distinct abscissas; two
//                   equal abscissas give code -3 and oud = 0
void GetParabolaCoefficients(const double* ind, double* oud);
}
}  // namespace vorlen::math
