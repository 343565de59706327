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
        math::GSSAFE(&xi, &yi, &dx, x, y, xmove, ymove, lplimits, &xdir, &increment, &proc,
                     &golden, &update, &finish, &defaultvalue, &npoints);
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

// Half the distance of the two samples that stand for a seam, relative to max(1, |seam|).
constexpr double seam_half = 1e-9;

double seam_gap(double c) { return seam_half * std::max(1.0, std::abs(c)); }

constexpr i32 max_coarse = max_coarse_steps + 1 + 2 * max_seams;

// The coarse scan of the golden mode: samples x(0..m) in ascending order with their values y;
// cut(i) where the step from x(i) to x(i + 1) crosses a seam. Round a circle (a range of a whole
// period) the step from x(m) goes on to x(0) a period later.
struct Coarse {
    double x[max_coarse], y[max_coarse];
    bool cut[max_coarse], done[max_coarse];
    i32 m = -1;
    double period = 0.0;  // > 0: round a circle

    void add(double at, double value, bool seam) {
        ++m;
        x[m] = at, y[m] = value, cut[m] = seam, done[m] = false;
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
    // A coarse peak: a sample with an index that no neighbour exceeds and that stands above a
    // neighbour (or beside one without an index), so that a flat stretch has none inside it.
    bool peak(i32 i) const {
        const double v = y[i];
        if (std::isnan(v)) return false;
        bool rises = false;
        for (i32 d : {-1, 1}) {
            const i32 j = next(i, d);
            if (j < 0) continue;
            if (y[j] > v) return false;
            rises |= !(y[j] >= v);
        }
        return rises;
    }
};

Result golden(IndexFunction f, double xlow, double xup, double dx, i32 npoints,
              std::string_view routine, double defaultvalue, const double* seams, i32 nseams,
              double period) {
    // A range of a whole period (up to rounding) is a circle: the plane at xlow + period is the
    // plane at xlow, and a peak across it is one peak. Angles outside the range are taken a
    // whole number of periods back into it.
    const double w = xup - xlow;
    const bool circle = period > 0.0 && std::isfinite(period) && w >= period * (1.0 - 1e-9);
    const double span = circle ? period : w, top = xlow + span;
    const auto wrap = [&](double x) { return x - period * std::floor((x - xlow) / period); };
    const auto inside = [&](double x) { return circle && !(x >= xlow && x <= xup) ? wrap(x) : x; };
    // The seams inside [xlow, top], ascending, apart from the ends and from each other.
    double cuts[max_seams];
    i32 nc = 0;
    for (i32 k = 0; k < nseams && nc < max_seams; ++k) {
        const double c = circle ? wrap(seams[k]) : seams[k];
        const double e = seam_gap(c);
        if (!(c - 2.0 * e > xlow && c + 2.0 * e < top)) continue;  // NaN too
        if (std::any_of(cuts, cuts + nc, [&](double o) { return std::abs(o - c) < 4.0 * e; }))
            continue;
        i32 j = nc++;
        for (; j > 0 && cuts[j - 1] > c; --j) cuts[j] = cuts[j - 1];
        cuts[j] = c;
    }
    // Coarse grid: n steps of h = span/n, the step dx or max_coarse_step where that is smaller
    // (or dx not a positive number), at least min_steps and at most max_coarse_steps of them.
    const double q = span / (dx > 0.0 && dx < max_coarse_step ? dx : max_coarse_step);
    i32 n = 0;  // one plane
    if (span > 0.0)
        n = q < max_coarse_steps ? std::max(min_steps, static_cast<i32>(std::ceil(q)))
                                 : max_coarse_steps;
    const double h = n > 0 ? span / n : 0.0;
    Coarse c;
    c.period = circle ? period : 0.0;
    Best best;
    const auto take = [&](double x, bool seam) {
        const double v = f(x);
        c.add(x, v, seam);
        best.take(x, v);
    };
    // Each seam by two samples 2 seam_gap apart, the step between them cut; grid points closer
    // to a seam than that are left out, and so is the end of a circle (its start).
    for (i32 i = 0, k = 0; i <= n; ++i) {
        const double x = i == n ? top : xlow + i * h;
        for (; k < nc && cuts[k] <= x + 2.0 * seam_gap(cuts[k]); ++k) {
            take(cuts[k] - seam_gap(cuts[k]), true);
            take(cuts[k] + seam_gap(cuts[k]), false);
        }
        if ((k > 0 && x - cuts[k - 1] <= 2.0 * seam_gap(cuts[k - 1])) || (circle && i == n))
            continue;
        take(x, false);
    }
    // Golden-section search of [lo, hi], whose two ends, its first two samples, are known as
    // ylo, yhi. A plane without an index ends its sampling (the search would stay there).
    i32 left = npoints;
    const auto refine = [&](double lo, double hi, double ylo, double yhi) {
        if (!(hi > lo)) return true;
        i32 asked = 0;
        bool stop = false;
        const auto sample = [&](double x) {
            if (++asked <= 2) return asked == 1 ? ylo : yhi;
            if (stop) return std::numeric_limits<double>::quiet_NaN();
            --left;
            const double a = inside(x), v = f(a);
            if (a >= xlow && a <= xup) best.take(a, v);  // a vertex may lie outside the range
            stop = std::isnan(v);
            return v;
        };
        // The two known ends are samples of the search too (its work arrays hold max_points).
        double xi, yi;
        return run(sample, lo, hi, refine_width * (hi - lo) / 2.0, 1,
                   std::min(left + 1, max_points), defaultvalue, routine, xi, yi);
    };
    // Refine the coarse peaks within the margin of the largest sample so far, the highest first,
    // each between its neighbours (those with an index), while samples are left for a search of
    // at least four; the neighbours of a refined peak lie in its bracket.
    while (left >= 3) {
        const double low = best.index - margin * std::abs(best.index);
        i32 k = -1;
        for (i32 i = 0; i <= c.m; ++i)
            if (!c.done[i] && c.peak(i) && c.y[i] >= low && (k < 0 || above(c.y[i], c.y[k])))
                k = i;
        if (k < 0) break;
        c.done[k] = true;
        double lo = c.x[k], hi = c.x[k], ylo = c.y[k], yhi = c.y[k];
        for (i32 d : {-1, 1}) {
            const i32 j = c.next(k, d);
            if (j < 0) continue;
            c.done[j] = true;
            if (std::isnan(c.y[j])) continue;
            (d < 0 ? lo : hi) = c.beside(j, k, d);
            (d < 0 ? ylo : yhi) = c.y[j];
        }
        if (!refine(lo, hi, ylo, yhi)) return {0.0, 0.0, false};
    }
    return {best.angle, best.index, true};
}

}  // namespace

Result search(IndexFunction f, double xlow, double xup, double dx, i32 gsflag, i32 npoints,
              std::string_view routine, double defaultvalue, const double* seams, i32 nseams,
              double period) noexcept {
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
        r = golden(g, xlow, xup, dx, npoints, routine, defaultvalue, seams, nseams, period);
    } else if (!run(g, xlow, xup, dx, gsflag, npoints, defaultvalue, routine, r.angle, r.index)) {
        return {0.0, 0.0, false};
    }
    if (r.ok && !defined)
        errorhandling::report(-3, "Angle search found no plane with a defined index", routine);
    return r;
}

}  // namespace vorlen::anglesearch
