// Golden-section and sweep search of module math in reverse communication.
#include "core/math_goldensearch.hpp"

#include <algorithm>
#include <cstdint>
#include <limits>

#include "base/errorhandling.hpp"
#include "core/math_tabulated.hpp"

namespace vorlen::math {
namespace {

using errorhandling::report;

constexpr double kPhi = 1.618033988749895;   // golden ratio
constexpr double kPhi2 = 2.618033988749895;  // its square

// Slots of xmove and ymove.
enum Slot { kLow, kUp, kLeft, kRight };

struct Bracket {
    double p[4], f[4];
};

Bracket load(const double* xmove, const double* ymove) {
    Bracket b;
    std::copy_n(xmove, 4, b.p);
    std::copy_n(ymove, 4, b.f);
    return b;
}

void store(const Bracket& b, double* xmove, double* ymove) {
    std::copy_n(b.p, 4, xmove);
    std::copy_n(b.f, 4, ymove);
}

// The value of sample k (1-based) enters the bracket: the four starting samples fill their own
// slots, a later one the interior point it was taken at.
void take_value(Bracket& b, const double* y, i32 k, i32 xdir) {
    if (k >= 1 && k <= 4) b.f[k - 1] = y[k - 1];
    if (k >= 4 && xdir == 1) b.f[kRight] = y[k - 1];
    if (k >= 4 && xdir == -1) b.f[kLeft] = y[k - 1];
}

}  // namespace

extern "C" {

void IniGoldenSearch(double* x, double* y, double* xmove, double* lplimits, i32* incr, i32* subcall,
                     lgl* golden, lgl* finish, const double* xlow, const double* xup,
                     const double* dx, const i32* gsflag, const i32* npoints) {
    const i32 np = *npoints;
    *incr = 0;
    *subcall = 0;
    *finish = 0;
    *golden = *gsflag == 1;
    std::fill_n(x, std::max(np, 0), 0.0);
    std::fill_n(y, std::max(np, 0), 0.0);
    double start[4] = {0.0, 0.0, 0.0, 0.0};
    if (*golden) {
        const double l = *xup - *xlow;
        start[0] = *xlow;
        start[1] = *xup;
        start[2] = *xlow + l / kPhi2;
        start[3] = start[2] + (l / kPhi2) / kPhi;
        lplimits[0] = *dx;
        lplimits[1] = l;
        std::copy_n(start, std::clamp(np, 0, 4), x);
    } else {
        lplimits[0] = *xlow;
        lplimits[1] = *xup;
    }
    std::copy_n(start, 4, xmove);
    if (np < 4) {
        report(-3, "Fewer than four points in IniGoldenSearch");
        *finish = 1;
    }
}

void GSSAFE(double* xi, double* yi, const double* dx, double* x, double* y, double* xmove,
            double* ymove, double* lplimits, i32* xdir, i32* increment, i32* proc, lgl* isgolden,
            lgl* update, lgl* finish, const double* defaultvalue, const i32* npoints) {
    const i32 np = *npoints;
    *update = 0;
    *finish = 0;
    const auto bad_count = [&] {
        report(-3, "Fewer than four points, or no sample where one is needed, in GSSAFE");
        *finish = 1;
    };
    if (np < 4 || *increment < 0 || *increment > np) return bad_count();
    for (;;) {
        if (*proc != std::numeric_limits<i32>::max()) ++*proc;
        if (*proc == 1 && *increment == np) *proc = -1;  // sample limit reached
        if (*proc == 1) {
            if (*isgolden)
                GetNextFromGoldenSearch(xi, &lplimits[1], x, y, xmove, ymove, xdir, increment,
                                        npoints);
            else
                *xi = lplimits[0];
            *update = 1;
            return;
        }
        if (*proc != 2) break;
        if (*isgolden) {
            if (*increment < 1) return bad_count();
            y[*increment - 1] = *yi;
            if (*increment >= 4 && lplimits[0] > lplimits[1]) {
                // The fourth value enters the bracket as the fifth sample would take it.
                if (*increment == 4) ymove[kRight] = y[3];
                GetMaximumFromGoldenSearch(xi, y, xmove, ymove, defaultvalue, xdir, increment,
                                           npoints);
                *update = 1;
            }
        } else {
            if (*yi > y[np - 1]) {
                x[np - 1] = *xi;
                y[np - 1] = *yi;
            }
            // A step that does not advance, or a NaN bound, ends the sweep instead of never
            // passing xup.
            const double next = *xi + *dx;
            const bool stalls = !(next > *xi);
            if (stalls) report(-3, "Sweep step does not advance in GSSAFE");
            *xi = next;
            lplimits[0] = next;
            if (stalls || !(next <= lplimits[1])) {
                *xi = x[np - 1];
                *yi = y[np - 1];
                *finish = 1;
            }
        }
        if (*update || *finish) return;
        *proc = 0;  // the same call issues the next sample
    }
    if (*increment < 1) return bad_count();
    *yi = y[*increment - 1];
    *finish = 1;
}

void GetNextFromGoldenSearch(double* xnext, double* dx, double* x, const double* y, double* xmove,
                             double* ymove, i32* xdir, i32* increment, const i32* npoints) {
    if (*npoints < 4 || *increment < 0 || *increment >= *npoints) {
        report(-3, "Fewer than four points, or no sample left, in GetNextFromGoldenSearch");
        *xnext = std::numeric_limits<double>::quiet_NaN();
        return;
    }
    const i32 i = *increment + 1;
    Bracket b = load(xmove, ymove);
    take_value(b, y, i - 1, *xdir);
    double next = x[i - 1];
    if (i <= 4) {
        *xdir = 0;
    } else {
        double w;
        const double df = b.f[kRight] - b.f[kLeft];
        if (df >= 0.0) {  // keep [pleft, pup]
            const double right = b.p[kRight];
            b.p[kLow] = b.p[kLeft];
            b.p[kLeft] = right;
            b.f[kLow] = b.f[kLeft];
            b.f[kLeft] = b.f[kRight];
            w = b.p[kUp] - b.p[kLow];
            b.p[kRight] = right + w / kPhi2 / kPhi;
            next = b.p[kRight];
            *xdir = 1;
        } else if (df < 0.0) {  // keep [plow, pright]
            const double right = b.p[kRight];
            b.p[kUp] = right;
            b.p[kRight] = b.p[kLeft];
            b.f[kUp] = b.f[kRight];
            b.f[kRight] = b.f[kLeft];
            w = right - b.p[kLow];
            b.p[kLeft] = b.p[kLow] + w / kPhi2;
            next = b.p[kLeft];
            *xdir = -1;
        } else {
            w = b.p[kUp] - b.p[kLow];
        }
        x[i - 1] = next;
        *dx = w;
    }
    *xnext = next;
    *increment = i;
    store(b, xmove, ymove);
}

void GetMaximumFromGoldenSearch(double* xmax, const double* y, const double* xmove,
                                const double* ymove, const double* defaultvalue, const i32* xdir,
                                const i32* increment, const i32* npoints) {
    const i32 i = *increment;
    *xmax = *defaultvalue;
    const bool takes = *xdir == 1 || *xdir == -1;  // the last sample's value enters the bracket
    if (*npoints < 4 || (takes && (i < 1 || i > *npoints))) {
        report(-3, "Fewer than four points, or no sample to take, in GetMaximumFromGoldenSearch");
        return;
    }
    Bracket b = load(xmove, ymove);
    if (takes) b.f[*xdir == 1 ? kRight : kLeft] = y[i - 1];
    const double df = b.f[kRight] - b.f[kLeft];
    Slot s[3];
    if (df >= 0.0)
        s[0] = kLeft, s[1] = kRight, s[2] = kUp;
    else if (df < 0.0)
        s[0] = kLow, s[1] = kLeft, s[2] = kRight;
    else
        return;
    double ind[6], abc[3];
    for (int k = 0; k < 3; ++k) {
        ind[k] = b.p[s[k]];
        ind[k + 3] = b.f[s[k]];
    }
    GetParabolaCoefficients(ind, abc);
    if (abc[0] != 0.0) *xmax = -abc[1] / (2.0 * abc[0]);
}

}  // extern "C"
}  // namespace vorlen::math
