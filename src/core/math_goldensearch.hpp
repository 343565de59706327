// Maximum of a function of one variable over an interval by golden-section search or by a sweep
// in fixed steps, in reverse communication: the caller keeps the search state in its own
// variables and evaluates the function wherever the search asks. Nothing is allocated, so the
// fracture-plane searches of the failure criteria run it per integration point.
//
// The caller's loop: IniGoldenSearch; then, while finish is false, GSSAFE, and whenever GSSAFE
// sets update, yi = f(xi) before the next call. When finish is set, (xi, yi) is the result.
//
// State: x(npoints), y(npoints) the golden samples (sweep: only x(npoints), y(npoints), the best
// sample so far); xmove(4) the golden bracket (plow, pup, pleft, pright) and ymove(4) its values
// (flow, fup, fleft, fright); lplimits(2) golden (target width, current width), sweep (next point,
// xup); xdir 0 while the four starting samples are issued, +1 after the bracket kept its upper
// part, -1 after it kept its lower part; increment the number of golden samples issued; proc the
// phase of GSSAFE (0 before the first call, 1 after a sample was requested, 2 while a value is
// taken, 3 after the vertex was requested, -1 once the sample limit is reached).
#pragma once
#include "base/view.hpp"

namespace vorlen::math {
extern "C" {

// Starts a search of [xlow, xup].
//   x(npoints), y(npoints) (out)  zeroed; golden mode: x(1..4) = xlow, xup and the interior
//                                 points xlow + L/2.618033988749895 and that plus
//                                 L/2.618033988749895/1.618033988749895, L = xup - xlow
//   xmove(4) (out)       x(1..4) of golden mode (zeros in sweep mode); ymove is not touched
//   lplimits(2) (out)    golden: (dx, L); sweep: (xlow, xup)
//   incr, subcall (out)  0
//   golden (out)         gsflag = 1
//   finish (out)         false
//   xlow, xup (in)       interval
//   dx (in)              golden: target width of the bracket (positive)
//   gsflag (in)          1 golden-section search, any other value sweep
//   npoints (in)         sample limit, at least 4; below 4 records code -3, writes only the
//                        npoints entries x and y have and sets finish
void IniGoldenSearch(double* x, double* y, double* xmove, double* lplimits, i32* incr, i32* subcall,
                     lgl* golden, lgl* finish, const double* xlow, const double* xup,
                     const double* dx, const i32* gsflag, const i32* npoints);

// One step of the search.
//   xi, yi (in/out)       the point to evaluate and its value; at the end the result: golden,
//                         the vertex of the last parabola (once the bracket is narrower than
//                         the target) with the value of the last golden sample, or the last
//                         sample when npoints samples were issued; sweep, the best sample
//                         (the earliest of equal values; (0, 0) when no value is positive)
//   dx (in)               sweep step; a step that does not advance xi (not positive, NaN, or
//                         lost in rounding) records code -3 and ends the sweep
//   x, y, xmove, ymove, lplimits, xdir, increment, proc, isgolden (in/out)  search state
//   update (out)          evaluate the function at xi, put the value into yi and call again
//   finish (out)          the search is over
//   defaultvalue (in)     the vertex of a degenerate parabola
//   npoints (in)          sample limit, at least 4
// The width is compared with the target only once the four starting samples are taken, so the
// vertex always comes from sampled values. npoints below 4, or an increment outside 0..npoints
// (none issued where a value is to be stored), records code -3 and finishes with xi, yi as
// they stand.
void GSSAFE(double* xi, double* yi, const double* dx, double* x, double* y, double* xmove,
            double* ymove, double* lplimits, i32* xdir, i32* increment, i32* proc, lgl* isgolden,
            lgl* update, lgl* finish, const double* defaultvalue, const i32* npoints);

// Next golden sample, i = increment + 1. The value of sample i-1 enters the bracket first (the
// four starting samples fill flow, fup, fleft, fright in turn; a later one the interior point it
// was taken at, by xdir). For i <= 4 the sample is x(i). Then fright >= fleft keeps the upper
// part [pleft, pup] and samples the new pright (xdir = +1); fright < fleft keeps the lower part
// [plow, pright] and samples the new pleft (xdir = -1); a NaN difference keeps the bracket and
// samples x(i).
//   xnext (out)            the point to evaluate; NaN when no sample can be issued
//   dx (out)               width of the new bracket; written from the fifth sample on
//   x(npoints) (in/out)    the new point is stored in x(i)
//   y(npoints) (in)        sample values
//   xmove(4), ymove(4), xdir, increment (in/out)  bracket, values, direction, sample count
//   npoints (in)           at least 4
// npoints below 4, or an increment outside 0..npoints-1, records code -3 and changes nothing.
void GetNextFromGoldenSearch(double* xnext, double* dx, double* x, const double* y, double* xmove,
                             double* ymove, i32* xdir, i32* increment, const i32* npoints);

// Vertex of the parabola through three points of the bracket, after the value of the last
// sample i = increment has entered it at the interior point it was taken at (fright for xdir
// +1, fleft for -1; nothing for another xdir): (pleft, pright, pup) when fright >= fleft, else
// (plow, pleft, pright). Taken whatever the sign of the curvature and wherever it lies.
//   xmax (out)              -b/(2a) of y = a x^2 + b x + c; defaultvalue when a = 0 exactly or
//                           the difference fright - fleft is NaN
//   y(npoints) (in)         sample values
//   xmove(4), ymove(4) (in) bracket and values
//   defaultvalue (in)       vertex of a degenerate parabola
//   xdir, increment (in)    direction of the last step, number of samples
//   npoints (in)            at least 4
// npoints below 4, or an increment outside 1..npoints when xdir is +1 or -1, records code -3 and
// gives defaultvalue.
void GetMaximumFromGoldenSearch(double* xmax, const double* y, const double* xmove,
                                const double* ymove, const double* defaultvalue, const i32* xdir,
                                const i32* increment, const i32* npoints);
}
}  // namespace vorlen::math
