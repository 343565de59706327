// Table interpolation of a tabulated vector function p(t): nearest sample, linear and Lagrange,
// with the search and test routines on sorted real vectors they use; the abscissas of
// interpolatory quadrature rules, parameterisations of point sequences, linear refinement of
// vectors and matrices, and a timestamp line.
//
// The routines named with a trailing underscore take every argument by address, counts as
// 32-bit integers and arrays of doubles, column-major; they read their inputs from private
// copies where an output shares their storage.
#pragma once
#include "base/view.hpp"

extern "C" {

// A table holds data_num samples of an m-component function: t_data(data_num) the abscissas,
// p_data(m, data_num) the values, column j belonging to t_data(j). Results p_interp(m,
// interp_num) correspond column by column to the abscissas t_interp(interp_num).

// Linear interpolation between neighbouring samples; abscissas outside [t_data(1),
// t_data(data_num)] are extrapolated from the first or last interval.
//   m, data_num, interp_num (in)  components, samples, requested abscissas
//   t_data(data_num), p_data(m, data_num), t_interp(interp_num) (in)
//   p_interp(m, interp_num) (out)  may share storage with any input
// Abscissas that do not increase strictly, or fewer than two samples, print
// " ", "INTERP_LINEAR - Fatal error!", "  Independent variable array T_DATA is not strictly
// increasing." on standard output and end the process with status 1.
void interp_linear(const vorlen::i32* m, const vorlen::i32* data_num, const double* t_data,
                   const double* p_data, const vorlen::i32* interp_num, const double* t_interp,
                   double* p_interp);

// Value of the sample nearest to each abscissa (t_data taken as sorted, not tested); arguments
// as interp_linear. Without samples (data_num < 1) every result is NaN.
void interp_nearest(const vorlen::i32* m, const vorlen::i32* data_num, const double* t_data,
                    const double* p_data, const vorlen::i32* interp_num, const double* t_interp,
                    double* p_interp);

// Index (1-based) of the entry of the sorted vector a(n), ascending or descending, nearest to
// value; a value halfway between two entries goes to the larger one. -1 when n < 1.
vorlen::i32 r8vec_sorted_nearest(const vorlen::i32* n, const double* a, const double* value);

// Interval (left, right) = (i-1, i) of the ascending vector x(n) used for xval: i is the first
// of 2..n-1 with xval < x(i), else the last interval (n-1, n). A single entry gives (1, 1),
// no entry (0, 0).
void r8vec_bracket(const vorlen::i32* n, const double* x, const double* xval, vorlen::i32* left,
                   vorlen::i32* right);

// 1 when x(i) < x(i+1) for i = 1..n-1 (also for n <= 1), else 0.
vorlen::i32 r8vec_ascends_strictly(const vorlen::i32* n, const double* x);

// Values of the Lagrange basis polynomials of the abscissas t_data at t_interp.
//   data_num, t_data(data_num) (in)        abscissas, distinct (not tested: equal ones give
//                                          infinities or NaN)
//   interp_num, t_interp(interp_num) (in)  evaluation points
//   l_interp(data_num, interp_num) (out)   l_interp(i, k): basis polynomial i at t_interp(k)
void lagrange_value_(const vorlen::i32* data_num, const double* t_data,
                     const vorlen::i32* interp_num, const double* t_interp, double* l_interp);

// The polynomial through the data (t_data(j), p_data(:, j)) at each t_interp(k), into
// p_interp(:, k); arguments as interp_linear, abscissas as lagrange_value_.
void interp_lagrange_(const vorlen::i32* m, const vorlen::i32* data_num, const double* t_data,
                      const double* p_data, const vorlen::i32* interp_num, const double* t_interp,
                      double* p_interp);

// The n abscissas x(n) (out) of an interpolatory quadrature rule on [-1, 1], from the end at -1
// to the end at +1, or on [a, b] (in), from a to b: Clenshaw-Curtis (cc: the n Chebyshev
// extrema cos(pi (n-i) / (n-1)), ends included), Fejer type 1 (f1: the n Chebyshev zeros
// cos(pi (2(n-i)+1) / (2n))), Fejer type 2 (f2: cos(pi (n+1-i) / (n+1)), the interior extrema
// of degree n+1), closed Newton-Cotes (ncc: n equally spaced points, ends included) and open
// Newton-Cotes (nco: steps of 1/(n+1) of the interval, ends excluded). A single point is the
// middle; on [-1, 1] cc has its ends exactly and f2 with n = 2 gives (-0.5, 0.5), while f2 on
// [a, b] always uses the formula. n < 1 prints " ", "<NAME> - Fatal error!" and "  N < 1." and
// ends the process with status 1.
void cc_abscissas_(const vorlen::i32* n, double* x);
void f1_abscissas_(const vorlen::i32* n, double* x);
void f2_abscissas_(const vorlen::i32* n, double* x);
void ncc_abscissas_(const vorlen::i32* n, double* x);
void nco_abscissas_(const vorlen::i32* n, double* x);
void cc_abscissas_ab_(const double* a, const double* b, const vorlen::i32* n, double* x);
void f1_abscissas_ab_(const double* a, const double* b, const vorlen::i32* n, double* x);
void f2_abscissas_ab_(const double* a, const double* b, const vorlen::i32* n, double* x);
void ncc_abscissas_ab_(const double* a, const double* b, const vorlen::i32* n, double* x);
void nco_abscissas_ab_(const double* a, const double* b, const vorlen::i32* n, double* x);

// Parameters t_data(data_num) (out) of the points p_data(m, data_num) (in), column j the point
// j: the cumulative chord length from t_data(1) = 0 (arc length), or j - 1 (index; m and p_data
// are not read).
void parameterize_arc_length_(const vorlen::i32* m, const vorlen::i32* data_num,
                              const double* p_data, double* t_data);
void parameterize_index_(const vorlen::i32* m, const vorlen::i32* data_num, const double* p_data,
                         double* t_data);

// x(n) (in) with fat >= 0 (in) equally spaced values inserted in every interval, into
// xfat((n-1)(fat+1)+1) (out); the given values are copied unchanged. A negative fat is
// recorded as code -3 in the first-error register and writes nothing.
void r8vec_expand_linear_(const vorlen::i32* n, const double* x, const vorlen::i32* fat,
                          double* xfat);

// As r8vec_expand_linear_, with before >= 0 values in front of x(1) and after >= 0 behind x(n)
// (in) continuing the spacing of the first and last interval, into
// xfat(before + (n-1)(fat+1) + 1 + after) (out). A negative count is recorded as code -3 in
// the first-error register and writes nothing; a single value (n = 1) with points to
// extrapolate has no interval to continue: recorded as code -3, every output value is x(1).
void r8vec_expand_linear2_(const vorlen::i32* n, const double* x, const vorlen::i32* before,
                           const vorlen::i32* fat, const vorlen::i32* after, double* xfat);

// Bilinear resampling of a(m, n) (in), taken as samples on a uniform grid of the unit square,
// at the m2 by n2 points of another uniform grid, into a2(m2, n2) (out); a single output row or
// column samples the middle. A single row or column of a (m or n = 1) is constant across that
// direction, recorded as code -3 in the first-error register; without samples (m or n < 1)
// a2 is not written, also recorded as code -3.
void r8mat_expand_linear2_(const vorlen::i32* m, const vorlen::i32* n, const double* a,
                           const vorlen::i32* m2, const vorlen::i32* n2, double* a2);

// Writes the local date and time to standard output as "31 January 2024   2:05:09.009 PM":
// day, month, year, hour of the half day (0..12), minute, second and millisecond, and "AM",
// "PM" or "Noon" (12:00:00 to the second).
void interp_timestamp_();
}

namespace vorlen::interp {

// The timestamp line of interp_timestamp_ for the given local time: month 1..12, hour 0..23.
void timestamp(i32 year, i32 month, i32 day, i32 hour, i32 minute, i32 second, i32 millisecond);

}  // namespace vorlen::interp
