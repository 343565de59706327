// Numerics of module math on sampled data: table interpolation, integration, numerical
// derivatives, polynomial fits, percentiles, monotonicity and error measures.
#pragma once
#include <complex>

#include "base/view.hpp"

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

// Monotone piecewise cubic Hermite interpolation: the shape-preserving slopes of dpchim_, the
// cubics evaluated by dpchfe_; points outside [x(1), x(n)] lie on the first or last cubic.
// Arguments as math_nearestinterpolation. x must increase strictly, n be at least 2 and k at
// least 1: otherwise the process ends with the report of the cubic Hermite package.
void math_cubichermitianinterpolation(double* result, const double* x, const double* y,
                                      const double* p, const i32* n, const i32* k);

// Exact integral from a to b of the interpolant of math_cubichermitianinterpolation (limits
// beyond the table integrate the end cubics; b < a gives the negated integral).
//   x(n), y(n) (in)  table, with the requirements of math_cubichermitianinterpolation
//   a, b (in)        limits
//   n (in)           number of samples
double math_cubichermitianintegration(const double* x, const double* y, const double* a,
                                      const double* b, const i32* n);

// Arc length from a to b of the table: the integral, as by math_cubichermitianintegration, of
// the samples of sqrt(1 + y'^2) at the slopes of math_cubichermitianinterpolation. Arguments as
// math_cubichermitianintegration.
double math_cubichermitianarclength(const double* x, const double* y, const double* a,
                                    const double* b, const i32* n);

// sqrt(1 + dy^2), the arc-length element of a slope dy (in); |dy| where the square would overflow.
double math_partialcurvelength(const double* dy);

// Trapezoid rule over the table x(n), y(n) (in); 0 when n < 2.
double math_trapezoidintegration(const double* x, const double* y, const i32* n);

// Complex-step derivative: derivative(i) (out) = Im y(i) / Im x(i), i = 1..n, for x(n) (in)
// carrying the step as imaginary part and y(n) (in) = f(x(n)).
void ComplexStepDerivative(double* derivative, const std::complex<double>* y,
                           const std::complex<double>* x, const i32* n);

// Least-squares polynomial through the points (vx(i), vy(i)) by the normal equations.
//   result(d+1) (out)  coefficients of c(1) + c(2) x + ... + c(d+1) x^d; zeros with code -2
//                      "Problem in polynom fitting function" when the normal matrix is singular
//                      or there are fewer points than coefficients (n < d + 1)
//   vx(n), vy(n) (in)  points
//   d (in)             degree, at least 0 (else code -3, nothing written)
//   n (in)             number of points
void math_polynomialfitting(double* result, const double* vx, const double* vy, const i32* d,
                            const i32* n);

// Class-based percentile: the first integer (m - 1) classsize + 1 of the first class m, of
// width classsize, up to whose bound m classsize lie at least percentile per cent of the
// entries; 1 - classsize when no class does.
//   array(ndim) (in)   entries; those not below 1.7976931348623157e308 (free slots) and NaN
//                      take no part
//   ndim (in)          number of entries; 1 gives event = array(1)
//   percentile (in)    in per cent
//   event (out)        the percentile; 0 with code -3 when there is no entry, classsize is
//                      below 1 or the number of classes exceeds the 32-bit range; written
//                      last, so that it may be an entry or the percentile
//   classsize (in)     width of a class
void math_getpercentile(const double* array, const i32* ndim, const double* percentile,
                        double* event, const i32* classsize);

// Monotonicity of x(n) (in) from its neighbouring steps, by precedence: -2 every step decreases
// strictly (also for n <= 1), -1 no step increases, 2 every step increases strictly, 1 no step
// decreases, 0 otherwise.
i32 Monoticity(const double* x, const i32* n);

// Square root of the mean squared difference of x(n) and y(n) (in).
double RootMeanSquareError(const double* x, const double* y, const i32* n);

// Mean absolute difference of x(n) and y(n) (in), summed in index order.
double MeanAbsoluteError(const double* x, const double* y, const i32* n);
}
}  // namespace vorlen::math
