// Table interpolation of a tabulated vector function p(t): nearest sample and linear, with the
// search and test routines on sorted real vectors they use.
#pragma once
#include "core/view.hpp"

extern "C" {

// A table holds data_num samples of an m-component function: t_data(data_num) the abscissas,
// p_data(m, data_num) the values, column j belonging to t_data(j). Results p_interp(m,
// interp_num) correspond column by column to the abscissas t_interp(interp_num).

// Linear interpolation between neighbouring samples; abscissas outside [t_data(1),
// t_data(data_num)] are extrapolated from the first or last interval.
//   m, data_num, interp_num (in)  components, samples, requested abscissas
//   t_data(data_num), p_data(m, data_num), t_interp(interp_num) (in)
//   p_interp(m, interp_num) (out)
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
}
