// Failure load from a measured compression stress distribution, knock-down of a delaminated
// stack and the factor of a central open hole.
#include "failure/dic.hpp"

#include <algorithm>
#include <cfloat>
#include <cmath>

#include "base/errorhandling.hpp"
#include "base/work.hpp"
#include "core/math_norms.hpp"
#include "core/signalprocessing.hpp"
#include "core/utility_search.hpp"
#include "materials/laminate.hpp"

namespace vorlen::dic {
namespace {

double total(const double* t, i64 n) {
    double s = 0.0;
    for (i64 i = 0; i < n; ++i) s += t[i];
    return s;
}

// Position (1-based) of the largest of v(1..n), the first of equal ones, among the entries that
// differ from skip (when given); 0 when there is none.
i32 largest(const double* v, i32 n, const double* skip) {
    i32 m = 0;
    for (i32 k = 1; k <= n; ++k) {
        if (skip && v[k - 1] == *skip) continue;
        if (m == 0 || v[k - 1] > v[m - 1]) m = k;
    }
    return m;
}

// Position (1-based) of the smallest of v(1..n), n >= 1, the first of equal ones.
i32 smallest(const double* v, i32 n) {
    i32 m = 1;
    for (i32 k = 2; k <= n; ++k)
        if (v[k - 1] < v[m - 1]) m = k;
    return m;
}

// The points sorted by ascending coordinate: absolute coordinate, stress and weighted stress.
struct Curves {
    i32 n;
    Work<double, 64> x, s, w;

    Curves(const double* stress, const double* coords, i32 n_, double alpha, double width)
        : n(n_), x(n_), s(n_), w(n_) {
        Work<i32, 64> iloc(n);
        const i32 up = 1;
        utility::fGetContinuous(coords, &n, iloc.data(), &up);
        for (i32 k = 0; k < n; ++k) {
            const i32 i = iloc[k] - 1;
            x[k] = std::fabs(coords[i]);
            s[k] = std::fabs(stress[i]);
            w[k] = std::fabs(stress[i] *
                             (std::sqrt(2.0 * std::fabs(coords[i] / width)) * alpha + 1.0));
        }
    }
    double W(i32 k) const { return w[k - 1]; }
};

// Reference point (1-based) of the sorted curves; 0 when the distribution has neither exactly
// one peak nor two peaks of different heights. unbounded tells whether the walks ran to both
// ends.
i32 reference_point(const Curves& c, bool& unbounded) {
    unbounded = false;
    const i32 n = c.n;
    i32 m1 = largest(c.s.data(), n, nullptr);
    if (m1 == 0) return 0;
    i32 m2 = largest(c.s.data(), n, &c.s[m1 - 1]);
    if (m2 == 0) return 0;  // one magnitude only: no peak either, and no second maximum
    if (m1 > m2) utility::iSwap(&m1, &m2);

    Work<double, 64> z(n);
    Work<double, 128> maxtab(2 * i64(n)), mintab(2 * i64(n));
    math::VectorNormalize(c.s.data(), z.data(), &n);
    i32 nmax = 0, nmin = 0;
    signalprocessing::GetPeaks(maxtab.data(), mintab.data(), &nmax, &nmin, z.data(), &delta, &n,
                               nullptr);
    if (nmax == 1) return smallest(c.w.data(), n);

    const Mat<const double> peaks(maxtab.data(), n, 2);
    const i32 ip = largest(&peaks(1, 2), nmax, nullptr);
    if (ip == 0) return 0;
    const i32 iq = largest(&peaks(1, 2), nmax, &peaks(ip, 2));
    if (iq == 0) return 0;
    // Peak positions are point numbers 1..n.
    const auto point = [n](double pos) { return static_cast<i32>(std::clamp(pos, 1.0, 1.0 * n)); };
    const i32 p = point(peaks(ip, 1)), q = point(peaks(iq, 1));
    i32 lo = std::min(p, q), hi = std::max(p, q);
    if (m2 - m1 != 1) lo = std::min(lo, m1), hi = std::max(hi, m2);
    while (lo > 1 && c.W(lo - 1) <= c.W(lo)) --lo;
    while (hi < n && c.W(hi + 1) <= c.W(hi)) ++hi;
    unbounded = lo == 1 && hi == n;
    return c.W(hi) >= c.W(lo) ? hi : lo;
}

}  // namespace

extern "C" {

void GetComprFailurebyDIC(double* fresult, double* fcomprstressdistribution,
                          const double* avgcomprstress, const double* coords,
                          const double* plythickness, const double* alpha,
                          const double* comprstrength, const double* load,
                          const double* displacement, const double* length, const double* width,
                          const i32* nplies, const i32* nstress) {
    constexpr const char* routine = "GetComprFailurebyDIC";
    const i32 n = std::max(*nstress, 0);
    // Everything is read before the outputs are written: they may share storage with inputs.
    const double tges = total(plythickness, std::max(*nplies, 0));
    const double b = *width, strength = *comprstrength, f = *load, u = *displacement, l = *length;
    Mat<double> dist(fcomprstressdistribution, n, 2);
    const auto clear = [&] {
        std::fill_n(fresult, 4, 0.0);
        std::fill(dist.begin(), dist.end(), 0.0);
    };
    if (b == 0.0 || l == 0.0 || tges * b == 0.0) {
        clear();
        errorhandling::report(-3, "Length, width or total thickness of 0", routine);
        return;
    }
    const Curves c(avgcomprstress, coords, n, *alpha, b);
    clear();

    bool unbounded = false;
    const i32 ref = reference_point(c, unbounded);
    if (ref == 0) {
        errorhandling::report(-3, "Neither one peak nor two of different heights", routine);
        return;
    }
    const double amp = std::fabs(strength / c.W(ref));
    if (!std::isfinite(amp)) {
        errorhandling::report(-3, "Weighted stress of the reference point is 0", routine);
        return;
    }
    if (unbounded)
        errorhandling::report(
            -1, "The extreme value point of weighted stressdistribution curve can not be found");

    fresult[0] = std::fabs(f) * amp;
    fresult[1] = amp * std::fabs(u) / l;
    fresult[2] = fresult[0] / (tges * b);
    fresult[3] = c.x[ref - 1];
    for (i32 k = 1; k <= n; ++k) {
        dist(k, 1) = amp * c.s[k - 1];
        dist(k, 2) = amp * c.w[k - 1];
    }
}

double GetDmgInfluenceFactor(const double* plythickness, const double* bukrealdatalist,
                             const i32* bukintdatalist, const i32* nplies) {
    constexpr const char* routine = "GetDmgInfluenceFactor";
    const i32 n = std::max(*nplies, 0);
    const double tges = total(plythickness, n);
    if (!(tges > 0.0)) {
        errorhandling::report(-3, "Total thickness not above 0", routine);
        return 1.0;
    }
    const i32 nrec = std::max(n - 1, 0);
    const Mat<const double> real(bukrealdatalist, 12, nrec);
    const Mat<const i32> ints(bukintdatalist, 4, nrec);
    Work<double, 64> r(n);
    std::fill_n(r.data(), n, 1.0);
    for (i32 j = 1; j <= nrec; ++j) {
        const i32 s = ints(2, j), e = ints(3, j);
        if (1 <= s && s <= e && e <= n) std::fill(&r(s), &r(e) + 1, real(2, j));
    }
    // Largest total thickness of a run of plies with equal ratios.
    double c = -DBL_MAX, run = 0.0;
    for (i32 k = 1; k <= n; ++k) {
        run += plythickness[k - 1];
        if (k == n || r(k + 1) != r(k)) c = std::max(c, run), run = 0.0;
    }
    const double a = 1.0 - c / tges;
    if (!(a >= 0.0)) {
        errorhandling::report(-3, "Run thicker than the stack", routine);
        return 1.0;
    }
    return a == 0.0 ? 1.0 : std::exp(a * std::log(2.0 * a));
}

double GetCentralOpenHoleFactor(const double* plyelastic, const double* plyorientation,
                                const double* plythickness, const double* kt, const double* radius,
                                const double* width, const i32* nplies) {
    constexpr const char* routine = "GetCentralOpenHoleFactor";
    const double tges = total(plythickness, std::max(*nplies, 0));
    if (*width == 0.0 || tges == 0.0) {
        errorhandling::report(-3, "Width or total thickness of 0", routine);
        return 0.0;
    }
    double am[9], bm[9], dm[9], abd[36], eng[8];
    laminate::GetAMatrix(am, plyelastic, plyorientation, plythickness, nplies);
    laminate::GetBMatrix(bm, plyelastic, plyorientation, plythickness, nplies);
    laminate::GetDMatrix(dm, plyelastic, plyorientation, plythickness, nplies);
    laminate::GetABDMatrix(abd, am, bm, dm);
    laminate::GetEngConstsFromABDMatrix(eng, abd, &tges, nullptr);
    const Mat<const double> a(am, 3, 3);
    const double x = 2.0 * *radius / *width, k = *kt;
    const double alpha =
        std::fabs((a(1, 1) + a(1, 2)) / (2.0 * a(2, 2) * ((k - 3.0) * (k - 3.0) + 1.0)) - eng[3]);
    const double factor = k * (std::pow(x, 1.0 + x) - x * x) + alpha;
    if (!std::isfinite(factor)) {
        errorhandling::report(-3, "Factor not finite", routine);
        return 0.0;
    }
    return factor;
}

}  // extern "C"
}  // namespace vorlen::dic
