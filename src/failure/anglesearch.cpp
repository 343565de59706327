// Driver loops of the angle search over the reverse-communication search of module math: the
// scan as its sweep, the golden mode as a coarse scan that brackets the peaks followed by
// golden-section refinements of the peaks that may still hold the maximum.
#include "failure/anglesearch.hpp"

#include <algorithm>
#include <cmath>
#include <limits>

#include "base/errorhandling.hpp"
#include "core/math_goldensearch.hpp"

namespace vorlen::anglesearch {
namespace {

constexpr double inf = std::numeric_limits<double>::infinity();

// Fewest steps of the coarse grid of the golden mode, its widest step (1 degree) and its most
// steps.
constexpr i32 min_steps = 2;
constexpr double max_coarse_step = 3.141592653589793 / 180.0;
// Bracket width at which a refinement ends, relative to the coarse step.
constexpr double refine_width = 1e-4;
// Coarse peaks that lie this far (relative) below the largest sample may still rise above it
// between their neighbours; lower ones are left.
constexpr double margin = 0.05;

// Runs a search of module math over [xlow, xup] to its end; sample(x) gives the value at each
// point asked for. False, with the report, when the search does not end within its guard
// (each call of GSSAFE asks for at most one sample; the guard only backs up its own limits).
template <class Sample>
bool run(const Sample& sample, double xlow, double xup, double dx, i32 gsflag, i32 npoints,
         double defaultvalue, std::string_view routine, double& xi, double& yi) {
    double x[max_points], y[max_points], xmove[4], ymove[4] = {0.0, 0.0, 0.0, 0.0}, lplimits[2];
    i32 increment = 0, proc = 0, xdir = 0;
    lgl golden = 0, finish = 0, update = 0;
    math::IniGoldenSearch(x, y, xmove, lplimits, &increment, &proc, &golden, &finish, &xlow, &xup,
                          &dx, &gsflag, &npoints);
    xi = 0.0, yi = 0.0;
    const long long calls = static_cast<long long>(max_scan_samples) + 2 * max_points + 8;
    for (long long k = 0; !finish; ++k) {
        if (k == calls) {
            errorhandling::report(-3, "Angle search does not end", routine);
            return false;
        }
        math::GSSAFE(&xi, &yi, &dx, x, y, xmove, ymove, lplimits, &xdir, &increment, &proc, &golden,
                     &update, &finish, &defaultvalue, &npoints);
        if (update) yi = sample(xi);
    }
    return true;
}

// Values closer than this relative difference count as equal: the mirror planes of a state
// symmetric about a ply axis give the same index up to rounding, and the earlier one is kept.
constexpr double tie = 1e-12;

bool above(double a, double b) { return a > b + tie * std::abs(b); }

// The largest sample, starting at angle 0 with index 0, so indices that are all 0, negative or
// not numbers give (0, 0). The angle moves only to a sample that is greater beyond a tie.
struct Best {
    double angle = 0.0, index = 0.0;
    void take(double x, double y) {
        if (above(y, index)) angle = x;
        if (y > index) index = y;
    }
};

// Distance of the samples beside a seam from it, relative to max(1, |seam|).
constexpr double seam_half = 1e-12;

double seam_gap(double c) { return seam_half * std::max(1.0, std::abs(c)); }

// Samples of the coarse scan: its grid, the samples of each seam (one more at the start of a
// circle) and the end of a circle.
constexpr i32 max_coarse = max_coarse_steps + 1 + (max_seams + 1) * switch_samples + 1;

// A sample of the coarse scan and its part at a seam.
enum class Role : unsigned char { plain, before_seam, seam, after_seam };

struct Planned {
    double x;
    Role role;
};

// A seam inside the range, and whether it is a switch.
struct Seam {
    double at;
    bool graded;
};

// The coarse scan of the golden mode: samples x(0..m) in ascending order with their values y;
// cut(i) where the step from x(i) to x(i + 1) crosses a seam, grid(i) for the samples of the
// grid. Round a circle (a range of a whole period) the step from x(m) goes on to x(0) a period
// later. Its peaks are taken two ways: within the pieces between seams among all samples, and
// among the grid samples alone, as if there were no seams: a seam's samples (at a kink, say)
// may stand above the grid point next to them while the index rises again beyond it.
struct Coarse {
    double x[max_coarse], y[max_coarse];
    bool cut[max_coarse], grid[max_coarse], done[max_coarse], grid_done[max_coarse];
    i32 m = -1;
    double period = 0.0;  // > 0: round a circle

    void add(double at, double value, bool seam, bool on_grid) {
        ++m;
        x[m] = at, y[m] = value, cut[m] = seam, grid[m] = on_grid;
        done[m] = grid_done[m] = false;
    }
    // Neighbour of sample i on side d (-1 or +1) within the piece between seams; -1 where there
    // is none (an end of the range, a seam).
    i32 next(i32 i, i32 d) const {
        i32 j = i + d;
        if (period > 0.0) j = j < 0 ? m : j > m ? 0 : j;
        return j < 0 || j > m || j == i || cut[d > 0 ? i : j] ? -1 : j;
    }
    // Abscissa of the neighbour j on side d of sample i, a period on or back round the circle.
    double beside(i32 j, i32 i, i32 d) const {
        return x[j] + (d > 0 && j < i ? period : d < 0 && j > i ? -period : 0.0);
    }
    // A coarse peak between the neighbours before and after it (-1: none): a sample with an index
    // that no neighbour exceeds and that stands above one (or beside one without an index), so
    // that a flat stretch has none inside it.
    bool peak(i32 i, i32 before, i32 after) const {
        const double v = y[i];
        if (std::isnan(v)) return false;
        bool rises = false;
        for (i32 j : {before, after}) {
            if (j < 0) continue;
            if (y[j] > v) return false;
            rises |= !(y[j] >= v);
        }
        return rises;
    }
};

// A peak to refine: a sample, the neighbours that bracket it (-1: none) and whether they are
// its neighbours on the grid.
struct Peak {
    i32 at, before, after;
    bool on_grid;
};

Result golden(IndexFunction f, double xlow, double xup, double dx, i32 npoints,
              std::string_view routine, double defaultvalue, const double* seams, i32 nseams,
              double period, i32 nswitches) {
    // A range of a whole period (up to rounding) is a circle: the plane at xlow + period is the
    // plane at xlow, and a peak across it is one peak. Angles outside the range are taken a
    // whole number of periods back into it.
    const double w = xup - xlow;
    const bool periodic = period > 0.0 && std::isfinite(period);
    const bool circle = periodic && w >= period * (1.0 - 1e-9);
    const double span = circle ? period : w, top = xlow + span;
    const auto wrap = [&](double x) { return x - period * std::floor((x - xlow) / period); };
    const auto inside = [&](double x) { return circle && !(x >= xlow && x <= xup) ? wrap(x) : x; };
    // The seams inside the range, ascending, apart from each other: of a periodic index the
    // first copy at or above xlow. A seam at an end of a range stands as its end sample; one at
    // the start of a circle (or its end, the same plane) is a seam at xlow, its samples before
    // it at the end of the circle.
    Seam cuts[max_seams + 1];
    i32 nc = 0;
    Seam start{xlow, false};
    bool at_start = false;
    for (i32 k = 0; k < nseams && nc < max_seams; ++k) {
        const double c = periodic ? wrap(seams[k]) : seams[k];
        const double e = seam_gap(c);
        if (circle && (c - xlow < 2.0 * e || top - c < 2.0 * e)) {
            at_start = true;
            start.graded |= k < nswitches;
            continue;
        }
        if (!(c - 2.0 * e > xlow && c + 2.0 * e < xup)) continue;  // NaN too
        if (std::any_of(cuts, cuts + nc,
                        [&](const Seam& o) { return std::abs(o.at - c) < 4.0 * e; }))
            continue;
        i32 j = nc++;
        for (; j > 0 && cuts[j - 1].at > c; --j) cuts[j] = cuts[j - 1];
        cuts[j] = {c, k < nswitches};
    }
    if (at_start) {
        std::copy_backward(cuts, cuts + nc, cuts + nc + 1);
        cuts[0] = start;
        ++nc;
    }
    // Coarse grid: n steps of h = span/n, the step dx or max_coarse_step where that is smaller
    // (or dx not a positive number), at least min_steps and at most max_coarse_steps of them.
    const double q = span / (dx > 0.0 && dx < max_coarse_step ? dx : max_coarse_step);
    i32 n = 0;  // one plane
    if (span > 0.0)
        n = q < max_coarse_steps ? std::max(min_steps, static_cast<i32>(std::ceil(q)))
                                 : max_coarse_steps;
    const double h = n > 0 ? span / n : 0.0;
    // The samples of the seams, ascending: for each the seam alone in its piece, one sample
    // seam_gap before and after it (ends of the pieces of the index between seams), and of a
    // switch the graded samples; those outside the range (or the circle) are left out. Round a
    // circle, those before a seam at xlow lie before its end, and where the index jumps there
    // the plane at the end of the range may hold the limit from below: it is taken too. The
    // seams lie ascending and those of one seam within a step of it, so the list is nearly
    // sorted.
    Planned plan[max_coarse];
    i32 np = 0, tail = 0;
    Planned last[switch_samples];
    const auto within = [&](double x) { return x >= xlow && (circle ? x < top : x <= xup); };
    const auto graded = [&](double from, double side, bool on, Planned* out, i32& k) {
        if (!on) return;
        for (i32 j = side < 0.0 ? 1 : grading; side < 0.0 ? j <= grading : j >= 1;
             j += side < 0.0 ? 1 : -1) {
            const double x = from + side * std::ldexp(h, -j);
            if (within(x)) out[k++] = {x, Role::plain};
        }
    };
    for (i32 k = 0; k < nc; ++k) {
        const double c = cuts[k].at, e = seam_gap(c);
        if (at_start && k == 0) {  // before it: the end of the circle
            graded(top, -1.0, cuts[k].graded, last, tail);
            last[tail++] = {top - e, Role::before_seam};
            if (top <= xup) last[tail++] = {top, Role::seam};
        } else {
            graded(c, -1.0, cuts[k].graded, plan, np);
            plan[np++] = {c - e, Role::before_seam};
        }
        plan[np++] = {c, Role::seam};
        plan[np++] = {c + e, Role::after_seam};
        graded(c, 1.0, cuts[k].graded, plan, np);
    }
    std::copy_n(last, tail, plan + np);
    np += tail;
    for (i32 i = 1; i < np; ++i)  // insertion: the list is nearly sorted
        for (i32 j = i; j > 0 && plan[j].x < plan[j - 1].x; --j) std::swap(plan[j], plan[j - 1]);
    Coarse c;
    c.period = circle ? period : 0.0;
    Best best;
    // Round a circle a little longer than its range (by rounding), a sample in the gap past xup
    // is taken at xup.
    const auto take = [&](double x, bool cut, bool on_grid) {
        if (c.m >= 0 && !(x > c.x[c.m])) return;  // a sample planned twice
        const double a = std::min(inside(x), xup), v = f(a);
        c.add(x, v, cut, on_grid);
        best.take(a, v);
    };
    // The grid merged in, not the end of a circle (its start); of the grid and the graded
    // samples, none closer than two gaps to a seam.
    const i32 ngrid = n + (circle ? 0 : 1);
    for (i32 i = 0, j = 0, k = 0; i < ngrid || j < np;) {
        const double grid = i < ngrid ? (i == n ? top : xlow + i * h) : inf;
        const bool planned = j < np && plan[j].x <= grid;
        const Planned p = planned ? plan[j++] : Planned{grid, Role::plain};
        i += planned ? 0 : 1;
        if (p.role == Role::plain) {
            for (; k < nc && cuts[k].at + 2.0 * seam_gap(cuts[k].at) < p.x; ++k) {
            }
            if ((k < nc && cuts[k].at - p.x <= 2.0 * seam_gap(cuts[k].at)) ||
                (at_start && top - p.x <= 2.0 * seam_gap(xlow)))
                continue;
        }
        take(p.x, p.role == Role::before_seam || p.role == Role::seam, !planned);
    }
    // Golden-section search of [lo, hi], whose two ends, its first two samples, are known as
    // ylo, yhi, to a bracket 1e-4 of the coarse step wide; a narrower one needs none. A plane
    // without an index ends its sampling (the search would stay there).
    i32 left = npoints;
    const double width = refine_width * h;
    const auto refine = [&](double lo, double hi, double ylo, double yhi) {
        if (!(hi - lo > width)) return true;
        i32 asked = 0;
        bool stop = false;
        const auto sample = [&](double x) {
            if (++asked <= 2) return asked == 1 ? ylo : yhi;
            // The vertex of a flat last parabola may lie beyond the bracket, even the range:
            // not a plane of the peak, it is not sampled.
            if (stop || !(x >= lo && x <= hi)) return std::numeric_limits<double>::quiet_NaN();
            --left;
            const double a = std::min(inside(x), xup), v = f(a);
            best.take(a, v);
            stop = std::isnan(v);
            return v;
        };
        // The two known ends are samples of the search too (its work arrays hold max_points).
        double xi, yi;
        return run(sample, lo, hi, width, 1, std::min(left + 1, max_points), defaultvalue, routine,
                   xi, yi);
    };
    // The coarse peaks; those among the grid samples alone count where their neighbours differ
    // from those in the piece.
    Peak peaks[2 * max_coarse];
    i32 npeaks = 0;
    i32 on_grid[max_coarse], ng = 0;
    for (i32 i = 0; i <= c.m; ++i) {
        if (c.peak(i, c.next(i, -1), c.next(i, 1)))
            peaks[npeaks++] = {i, c.next(i, -1), c.next(i, 1), false};
        if (c.grid[i]) on_grid[ng++] = i;
    }
    for (i32 g = 0; g < ng; ++g) {
        const i32 i = on_grid[g];
        i32 before = g > 0 ? on_grid[g - 1] : circle ? on_grid[ng - 1] : -1;
        i32 after = g < ng - 1 ? on_grid[g + 1] : circle ? on_grid[0] : -1;
        if (before == i) before = after = -1;
        if ((before != c.next(i, -1) || after != c.next(i, 1)) && c.peak(i, before, after))
            peaks[npeaks++] = {i, before, after, true};
    }
    // Refine the coarse peaks within the margin of the largest sample so far, the highest first,
    // each between its neighbours (those with an index), while samples are left for a search of
    // at least four; the neighbours of a refined peak lie in its bracket.
    while (left >= 3) {
        const double low = best.index - margin * std::abs(best.index);
        i32 k = -1;
        for (i32 p = 0; p < npeaks; ++p) {
            const Peak& q = peaks[p];
            const bool done = q.on_grid ? c.grid_done[q.at] : c.done[q.at];
            if (!done && c.y[q.at] >= low && (k < 0 || above(c.y[q.at], c.y[peaks[k].at]))) k = p;
        }
        if (k < 0) break;
        const Peak& q = peaks[k];
        bool* done = q.on_grid ? c.grid_done : c.done;
        done[q.at] = true;
        double lo = c.x[q.at], hi = c.x[q.at], ylo = c.y[q.at], yhi = c.y[q.at];
        for (i32 d : {-1, 1}) {
            const i32 j = d < 0 ? q.before : q.after;
            if (j < 0) continue;
            done[j] = true;
            if (std::isnan(c.y[j])) continue;
            (d < 0 ? lo : hi) = c.beside(j, q.at, d);
            (d < 0 ? ylo : yhi) = c.y[j];
        }
        if (!refine(lo, hi, ylo, yhi)) return {0.0, 0.0, false};
    }
    return {best.angle, best.index, true};
}

}  // namespace

Result search(IndexFunction f, double xlow, double xup, double dx, i32 gsflag, i32 npoints,
              std::string_view routine, double defaultvalue, const double* seams, i32 nseams,
              double period, i32 nswitches) noexcept {
    if (npoints < 4 || npoints > max_points) {
        errorhandling::report(-3, "Angle search sample limit outside 4 to 200", routine);
        return {0.0, 0.0, false};
    }
    const double w = xup - xlow;
    if (!(std::isfinite(w) && w >= 0.0)) {
        errorhandling::report(-3, "Angle search range not finite or reversed", routine);
        return {0.0, 0.0, false};
    }
    // A scan advances by dx until it passes xup: a step that is not positive never gets there,
    // a tiny one only after billions of samples (or never, below the rounding of the angle).
    if (gsflag != 1 && !(dx > 0.0 && std::isfinite(dx) && w / dx <= max_scan_samples)) {
        errorhandling::report(-3, "Angle search step not finite, not positive or too small",
                              routine);
        return {0.0, 0.0, false};
    }
    bool defined = false;
    const auto g = [&](double x) {
        const double v = f(x);
        defined = defined || !std::isnan(v);
        return v;
    };
    Result r;
    if (gsflag == 1) {
        r = golden(g, xlow, xup, dx, npoints, routine, defaultvalue, seams, nseams, period,
                   nswitches);
    } else if (!run(g, xlow, xup, dx, gsflag, npoints, defaultvalue, routine, r.angle, r.index)) {
        return {0.0, 0.0, false};
    }
    if (r.ok && !defined)
        errorhandling::report(-3, "Angle search found no plane with a defined index", routine);
    return r;
}

}  // namespace vorlen::anglesearch
