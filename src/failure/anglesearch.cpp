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

// Fewest steps of the coarse grid of the golden mode, and its widest step (3 degrees).
constexpr i32 min_steps = 2;
constexpr double max_coarse_step = 3.141592653589793 / 60.0;
// Bracket width at which a refinement ends, relative to the coarse step.
constexpr double refine_width = 1e-4;

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

// The coarse scan of the golden mode: samples x(0..m) in ascending order with their values y;
// cut(i) where the step from x(i) to x(i + 1) crosses a seam.
struct Coarse {
    double x[max_points], y[max_points];
    bool cut[max_points], refined[max_points];
    i32 m = -1;

    void add(double at, double value, bool seam) {
        ++m;
        x[m] = at, y[m] = value, cut[m] = seam, refined[m] = false;
    }
    // Neighbour of sample i on side d (-1 or +1) within the range and the piece between seams;
    // -1 where there is none.
    i32 next(i32 i, i32 d) const {
        const i32 j = i + d;
        return j < 0 || j > m || cut[d > 0 ? i : j] ? -1 : j;
    }
    // Largest value the index may take between sample i and its neighbours where it is concave:
    // the secants beyond either neighbour extended to it. -inf where i is no peak (not a
    // number, or a neighbour above it), +inf where that cannot be told (a neighbour that is
    // not a number, none at all). At the end of a piece (of the range or at a seam) the secant
    // of the two samples inside extended to the end, or the end's value where that lies above
    // it (convex there: no peak inside).
    double bound(i32 i) const {
        const double v = y[i];
        if (std::isnan(v)) return -inf;
        const i32 l = next(i, -1), r = next(i, 1);
        for (i32 j : {l, r})
            if (j >= 0 && y[j] > v) return -inf;
        if (l >= 0 && r >= 0) {
            if (std::isnan(y[l]) || std::isnan(y[r])) return inf;
            const double dl = x[i] - x[l], dr = x[r] - x[i];
            return v + std::max((v - y[l]) * dr / dl, (v - y[r]) * dl / dr);
        }
        const i32 a = l >= 0 ? l : r, b = a < 0 ? -1 : next(a, a - i);
        if (b < 0 || std::isnan(y[a]) || std::isnan(y[b])) return inf;
        return std::max(v, y[a] + (y[a] - y[b]) * (x[i] - x[a]) / (x[a] - x[b]));
    }
};

Result golden(IndexFunction f, double xlow, double xup, double dx, i32 npoints,
              std::string_view routine, double defaultvalue, const double* seams, i32 nseams) {
    // The seams inside the range, ascending, apart from the ends and from each other.
    // (As many as leave min_steps steps within half the samples.)
    const i32 room = std::min(max_seams, ((npoints - 1) / 2 - min_steps) / 2);
    double cuts[max_seams];
    i32 nc = 0;
    for (i32 k = 0; k < nseams && nc < room; ++k) {
        const double c = seams[k], e = seam_gap(c);
        if (!(c - 2.0 * e > xlow && c + 2.0 * e < xup)) continue;  // NaN too
        if (std::any_of(cuts, cuts + nc, [&](double o) { return std::abs(o - c) < 4.0 * e; }))
            continue;
        i32 j = nc++;
        for (; j > 0 && cuts[j - 1] > c; --j) cuts[j] = cuts[j - 1];
        cuts[j] = c;
    }
    // Coarse grid: n steps of h = (xup - xlow)/n, the step dx or max_coarse_step where that is
    // smaller (or dx not a positive number), with at least min_steps and at most
    // (npoints - 1)/2 - 2 nc steps, so that half the samples are left for the refinements.
    const double w = xup - xlow, q = w / (dx > 0.0 && dx < max_coarse_step ? dx : max_coarse_step);
    const i32 most = std::max(min_steps, (npoints - 1) / 2 - 2 * nc);
    i32 n = most;
    if (w == 0.0)
        n = 0;  // one plane
    else if (q <= most)
        n = std::max(min_steps, static_cast<i32>(std::ceil(q)));
    const double h = n > 0 ? w / n : 0.0;
    Coarse c;
    Best best;
    const auto take = [&](double x, bool seam) {
        const double v = f(x);
        c.add(x, v, seam);
        best.take(x, v);
    };
    // Each seam by two samples 2 seam_gap apart, the step between them cut; grid points closer
    // to a seam than that are left out.
    for (i32 i = 0, k = 0; i <= n; ++i) {
        const double x = i == n ? xup : xlow + i * h;
        for (; k < nc && cuts[k] <= x + 2.0 * seam_gap(cuts[k]); ++k) {
            take(cuts[k] - seam_gap(cuts[k]), true);
            take(cuts[k] + seam_gap(cuts[k]), false);
        }
        if (k > 0 && x - cuts[k - 1] <= 2.0 * seam_gap(cuts[k - 1])) continue;
        take(x, false);
    }
    // Golden-section search of [x(i), x(j)], whose two ends, its first two samples, are known;
    // false when it did not end.
    i32 left = npoints - (c.m + 1);
    const auto refine = [&](i32 i, i32 j) {
        if (i == j) return true;  // a piece of one sample
        i32 asked = 0;
        const auto sample = [&](double x) {
            if (++asked <= 2) return c.y[asked == 1 ? i : j];
            --left;
            const double v = f(x);
            if (x >= xlow && x <= xup) best.take(x, v);  // a vertex may lie outside the range
            return v;
        };
        double xi, yi;
        return run(sample, c.x[i], c.x[j], refine_width * (c.x[j] - c.x[i]) / 2.0, 1, left + 1,
                   defaultvalue, routine, xi, yi);
    };
    // Refine the highest coarse peak that may hold more than the largest sample so far between
    // its neighbours, while there is one and samples are left for a search of at least four.
    while (left >= 3) {
        i32 k = -1;
        for (i32 i = 0; i <= c.m; ++i)
            if (!c.refined[i] && (k < 0 || above(c.y[i], c.y[k])) && above(c.bound(i), best.index))
                k = i;
        if (k < 0) break;
        c.refined[k] = true;
        const i32 l = c.next(k, -1), r = c.next(k, 1);
        if (!refine(l < 0 ? k : l, r < 0 ? k : r)) return {0.0, 0.0, false};
    }
    return {best.angle, best.index, true};
}

}  // namespace

Result search(IndexFunction f, double xlow, double xup, double dx, i32 gsflag, i32 npoints,
              std::string_view routine, double defaultvalue, const double* seams,
              i32 nseams) noexcept {
    if (npoints < 4 || npoints > max_points) {
        errorhandling::report(-3, "Angle search sample limit outside 4 to 200", routine);
        return {0.0, 0.0, false};
    }
    const double w = xup - xlow;
    if (gsflag == 1) {
        if (!(std::isfinite(w) && w >= 0.0)) {
            errorhandling::report(-3, "Angle search range not finite or reversed", routine);
            return {0.0, 0.0, false};
        }
        return golden(f, xlow, xup, dx, npoints, routine, defaultvalue, seams, nseams);
    }
    // A scan advances by dx until it passes xup: a step that is not positive never gets there,
    // a tiny one only after billions of samples, and one wider than the range samples xlow
    // alone.
    if (!(dx > 0.0 && w / dx <= max_scan_samples)) {
        errorhandling::report(-3, "Angle search step not positive or too small", routine);
        return {0.0, 0.0, false};
    }
    if (dx > w && w != 0.0) {
        errorhandling::report(-3, "Angle search step wider than its range", routine);
        return {0.0, 0.0, false};
    }
    double xi, yi;
    if (!run(f, xlow, xup, dx, gsflag, npoints, defaultvalue, routine, xi, yi))
        return {0.0, 0.0, false};
    return {xi, yi, true};
}

}  // namespace vorlen::anglesearch
