// Action-plane matrix-cracking criteria of module mccollection: the index on planes through the
// fibre axis, maximised over the fracture-plane angle by the angle search.
#include <algorithm>
#include <cmath>
#include <initializer_list>

#include "base/errorhandling.hpp"
#include "failure/anglesearch.hpp"
#include "failure/criteria_common.hpp"
#include "failure/mccollection.hpp"
#include "materials/lamina_rotated.hpp"
#include "materials/lamina_stiffness.hpp"

namespace vorlen::mccollection {
namespace {

constexpr double pi = 3.141592653589793;
constexpr double deg = pi / 180.0;
// Sample limit of the refinements of the golden mode: room for the several peaks (and the
// ends of the pieces between seams) that an index may have within the margin of its maximum.
constexpr i32 search_points = anglesearch::max_points;

double sq(double x) { return x * x; }

// The five stresses the tractions of a plane through the fibre axis depend on.
struct Transverse {
    double s22, s33, s12, s13, s23;
};

Transverse transverse(const double* s22, const double* s33, const double* s12, const double* s13,
                      const double* s23) {
    return {*s22, *s33, *s12, *s13, *s23};
}

// Reports input that is not finite: the five stresses, the values given and the array p(n).
void check(const Transverse& s, std::initializer_list<double> values, const char* routine,
           const double* p = nullptr, i32 n = 0) {
    if (!criteria::finite({s.s22, s.s33, s.s12, s.s13, s.s23}) || !criteria::finite(values) ||
        !criteria::finite(p, n))
        criteria::not_finite(routine);
}

struct Tractions {
    double sn, tl, tt;
};

Tractions tractions(double theta, const Transverse& s) {
    double tv[3];
    lamina::GetTVectorOnRotatedXYPlane(tv, &theta, &s.s22, &s.s33, &s.s12, &s.s13, &s.s23);
    return {tv[0], tv[1], tv[2]};
}

// The angle search of a criterion over [xlow, xup] with its optional step (degrees) and mode,
// and the seams of its index for the golden mode. The plane turned by theta + pi is the plane
// turned by theta: the index has the period pi.
// The first nswitches seams are switches (angles where a feature narrower than a step may sit).
template <class Index>
anglesearch::Result search(const Index& index, double xlow, double xup, const double* sainc,
                           double absent_step, const i32* gsflag, i32 npoints, const char* routine,
                           const double* seams = nullptr, i32 nseams = 0, i32 nswitches = 0) {
    return anglesearch::search(index, xlow, xup, (sainc ? *sainc : absent_step) * deg,
                               gsflag ? *gsflag : 0, npoints, routine, 0.0, seams, nseams, pi,
                               nswitches);
}

// The planes where the normal traction changes sign.
i32 normal_sign_changes(const Transverse& s, double* theta) {
    return criteria::normal_sign_changes(s.s22, s.s33, s.s23, theta);
}

// The planes where the transverse shear traction tt = s23 cos(2 theta) + (s33 - s22)/2
// sin(2 theta) passes the value level. Returns their number (up to 2).
i32 transverse_shear_at(const Transverse& s, double level, double* theta) {
    return criteria::double_angle_zeros(-level, s.s23, 0.5 * (s.s33 - s.s22), theta);
}

// The planes where a weight of the shear tractions, tt^2/(tl^2 + tt^2) or tl^2/(tl^2 + tt^2),
// reaches 0: the zeros of tt and of tl = s13 cos(theta) - s12 sin(theta). Where the other
// traction is small there, the weight swings over a fraction of a degree, and the index with
// it. Returns their number (up to 3).
i32 weight_switches(const Transverse& s, double* theta) {
    i32 n = transverse_shear_at(s, 0.0, theta);
    if (s.s12 != 0.0 || s.s13 != 0.0) theta[n++] = std::atan2(s.s13, s.s12);
    return n;
}

// The seams of the indices weighted by the shear tractions (Puck, VDI 2014): the switches of a
// weight, then where sn changes sign (the formula changes). Returns their number (up to 5) and
// that of the switches.
i32 weighted_seams(const Transverse& s, double* theta, i32& nswitches) {
    nswitches = weight_switches(s, theta);
    return nswitches + normal_sign_changes(s, theta + nswitches);
}

// Transverse shear traction below which VDI 2014 weighs the plane as one of pure longitudinal
// shear.
constexpr double vdi_tt_limit = 1e-6;

// Fracture-plane request: a negative outtheta on entry.
bool wants_angle(const double* outtheta) { return outtheta && *outtheta < 0.0; }

void give(double* rmc, double* outtheta, bool want, double value, double angle) {
    *rmc = value;
    if (want && value >= 1.0) *outtheta = angle;
}

// Puck's index on a plane with the inclination parameters p(4) and RA.
double puck_index(const Tractions& t, const double* p, double ra, double xt22, double x12) {
    const double w = sq(t.tl) + sq(t.tt);
    if (t.sn < 0.0) {
        const double c = w == 0.0 ? 0.0 : (p[3] * sq(t.tt) / ra + p[1] * sq(t.tl) / x12) * t.sn / w;
        return c + std::sqrt(sq(t.tt / ra) + sq(c) + sq(t.tl / x12));
    }
    const double q = w == 0.0 ? 0.0 : (p[2] * sq(t.tt) / ra + p[0] * sq(t.tl) / x12) / w;
    return q * t.sn + std::sqrt(sq((1.0 / xt22 - q) * t.sn) + sq(t.tt / ra) + sq(t.tl / x12));
}

// Fracture-plane constants of LaRC04 and LaRC05 for the fracture angle a0 (radians).
struct LaRC {
    double etat, st, etal;
};

LaRC larc_constants(double a0, double xc22, double x12) {
    const double t2 = std::tan(2.0 * a0), etat = -1.0 / t2;
    const double st = xc22 * std::cos(a0) * (std::sin(a0) + std::cos(a0) / t2);
    return {etat, st, etat * x12 / st};
}

double larc_shear(const Tractions& t, const LaRC& k, double x12) {
    return sq(t.tt / (k.st - k.etat * t.sn)) + sq(t.tl / (x12 - k.etal * t.sn));
}

double angle_or(const double* a0) { return (a0 ? *a0 : 53.0) * deg; }

// LaRC04's stresses in the misalignment frame: turned by the kink-plane angle psi about the
// fibre axis, then by the misalignment angle phi about axis 3. False where phic has no root
// (code -1 note) or fcl asks for no evaluation.
bool misalignment_frame(double* m, const double* s11, const double* s22, const double* s33,
                        const double* s12, const double* s13, const double* s23, double xc11,
                        double g12, double x12, const LaRC& k, const i32* fcl) {
    // 0/0 where the transverse stress is equal in all directions of the 23 plane: no turn.
    const double dn = *s22 - *s33, t23 = *s23;
    const double psi = dn == 0.0 && t23 == 0.0 ? 0.0 : 0.5 * std::atan(2.0 * t23 / dn);
    static constexpr double fibre[3] = {1.0, 0.0, 0.0};
    double sp[6];
    lamina::GetRotatedStresses(sp, &psi, fibre, s11, s22, s33, s12, s13, s23, nullptr);
    if (fcl && *fcl != 0) return false;
    const double kk = x12 / xc11, mm = k.etal + kk, root = 1.0 - 4.0 * mm * kk;
    if (root < 0.0) {
        errorhandling::report(-1, "Note: Negative root during LaRC04 failureevaluation. "
                                  "Please check your input parameters.");
        return false;
    }
    const double phic = std::atan((1.0 - std::sqrt(root)) / (2.0 * mm));
    const double phi0 = phic - xc11 * phic / g12;
    // The sign of a zero turned shear is open; +1 and -1 give the same index there.
    const double sign = sp[3] >= 0.0 ? 1.0 : -1.0;
    const double phi = sign * (g12 * phi0 + std::abs(*s12)) / (*s11 + g12 - *s22);
    criteria::misalignment_frame(m, sp, phi);
    return true;
}

}  // namespace

extern "C" {

void MCrckPuck(double* rmc, const double* s22, const double* s33, const double* s12,
               const double* s13, const double* s23, const double* xt22, const double* xc22,
               const double* x12, double* outtheta, const double* gp, const double* sainc,
               const i32* gsflag, i32* tcflag) {
    static constexpr double absent[4] = {0.3, 0.2, 0.15, 0.15};
    double p[4];
    std::copy_n(gp ? gp : absent, 4, p);
    const Transverse s = transverse(s22, s33, s12, s13, s23);
    check(s, {*xt22, *xc22, *x12}, "MCrckPuck", p, 4);
    const double ra = *xc22 / (2.0 * (1.0 + p[3])), yt22 = *xt22, y12 = *x12;
    const bool want = wants_angle(outtheta);
    double last_sn = 0.0;
    const auto index = [&](double theta) {
        const Tractions t = tractions(theta, s);
        last_sn = t.sn;
        return puck_index(t, p, ra, yt22, y12);
    };
    double seams[5];
    i32 nswitches = 0;
    const i32 nseams = weighted_seams(s, seams, nswitches);
    const auto r = search(index, 0.0, pi, sainc, 5.0, gsflag, search_points, "MCrckPuck", seams,
                          nseams, nswitches);
    give(rmc, outtheta, want, r.index, r.angle);
    // The golden mode samples its planes out of order: the plane of the maximum it returns.
    if (gsflag && *gsflag == 1) last_sn = tractions(r.angle, s).sn;
    if (tcflag && r.index >= 1.0) *tcflag = last_sn >= 0.0 ? 1 : -1;
}

void MCrckWiegand(double* rmc, const double* s22, const double* s33, const double* s12,
                  const double* s13, const double* s23, const double* xt22, const double* xc22,
                  const double* x12, double* outtheta, const double* a0, const double* sainc,
                  const i32* gsflag) {
    const Transverse s = transverse(s22, s33, s12, s13, s23);
    check(s, {*xt22, *xc22, *x12}, "MCrckWiegand", a0, 1);
    const double a = angle_or(a0), yt22 = *xt22, y12 = *x12;
    const double mu = -1.0 / (2.0 * std::tan(2.0 * a)), ra = *xc22 / (2.0 * std::tan(a));
    const double mul = mu * y12 / ra;
    const bool want = wants_angle(outtheta);
    const auto index = [&](double theta) {
        const Tractions t = tractions(theta, s);
        const double u = t.tl / (y12 - mul * t.sn), v = t.tt / (ra - mu * t.sn);
        return std::sqrt(sq(u) + sq(v) + (t.sn < 0.0 ? 0.0 : sq(t.sn / yt22)));
    };
    double seams[2];  // the tension term sets in where sn changes sign
    const i32 nseams = normal_sign_changes(s, seams);
    const auto r =
        search(index, 0.0, pi, sainc, 5.0, gsflag, search_points, "MCrckWiegand", seams, nseams);
    give(rmc, outtheta, want, r.index, r.angle);
}

void MCrckCamanho(double* rmc, const double* s22, const double* s33, const double* s12,
                  const double* s13, const double* s23, const double* xt22, const double*,
                  const double* x12, const double* x23, double* outtheta, const double* a0,
                  const double* sainc, const i32* gsflag) {
    const Transverse s = transverse(s22, s33, s12, s13, s23);
    check(s, {*xt22, *x12, *x23}, "MCrckCamanho", a0, 1);
    const double yt22 = *xt22, y12 = *x12, y23 = *x23;
    const double mu = -1.0 / (2.0 * std::tan(2.0 * angle_or(a0))), mul = mu * y12 / y23;
    const double kappa = (sq(y23) - sq(yt22)) / (yt22 * y23);
    const double lambda = 2.0 * mul * y23 / y12 - kappa;
    const bool want = wants_angle(outtheta);
    const auto index = [&](double theta) {
        const Tractions t = tractions(theta, s);
        if (t.sn <= 0.0)
            return std::sqrt(sq(t.tl / (y12 - mul * t.sn)) + sq(t.tt / (y23 - mu * t.sn)));
        const double a = t.sn / y23, l2 = sq(t.tl / y12);
        return std::sqrt(sq(a) + l2 + sq(t.tt / y23) + lambda * a * l2 + kappa * a);
    };
    double seams[2];  // the index has a kink where sn changes sign
    const i32 nseams = normal_sign_changes(s, seams);
    const auto r =
        search(index, 0.0, pi, sainc, 5.0, gsflag, search_points, "MCrckCamanho", seams, nseams);
    give(rmc, outtheta, want, r.index, r.angle);
}

void MCrckSPC3D(double* rmc, const double* s22, const double* s33, const double* s12,
                const double* s13, const double* s23, const double*, const double*,
                const double* xt22, const double* xc22, const double* xt33, const double* xc33,
                const double* xt12, const double* xt13, const double* xt23, const double* xcs,
                double* outtheta, const double* gp, const double* sainc, const double* salims,
                const i32* gsflag) {
    const Transverse s = transverse(s22, s33, s12, s13, s23);
    const double yt22 = *xt22, yc22 = *xc22, yt33 = *xt33, yc33 = *xc33;
    const double yt12 = *xt12, yt13 = *xt13, yt23 = *xt23;
    // Python passes a left-out xcs as zeros: a zero entry, like an absent xcs, takes the
    // tension value.
    const auto compressive = [xcs](int i, double tension) {
        return xcs && xcs[i] != 0.0 ? xcs[i] : tension;
    };
    const double yc12 = compressive(0, yt12), yc13 = compressive(1, yt13),
                 yc23 = compressive(2, yt23);
    const double g1 = gp ? gp[0] : 0.3, g2 = gp ? gp[1] : -0.3;
    check(s, {yt22, yc22, yt33, yc33, yt12, yt13, yt23, yc12, yc13, yc23, g1, g2}, "MCrckSPC3D");
    const double low = salims ? salims[0] * deg : 2.0 * deg;
    const double up = salims ? salims[1] * deg : 178.0 * deg;
    const bool want = wants_angle(outtheta);
    const auto index = [&](double theta) {
        const Tractions t = tractions(theta, s);
        const double c = std::cos(theta), si = std::sin(theta), h = std::abs(std::sin(2.0 * theta));
        if (t.sn < 0.0) {
            const double p = g2 * t.sn / (sq(si) * yc22 + sq(c) * yc33 + yc23 * h);
            const double tt = t.tt / ((yc22 + yc33) * h + yc23);
            const double tl = t.tl / (std::abs(si) * yc12 + std::abs(c) * yc13);
            return p + std::sqrt(sq(p) + sq(tt) + sq(tl));
        }
        const double f = t.sn / (sq(si) * yt22 + sq(c) * yt33 + yt23 * h);
        const double tt = t.tt / ((yt22 + yt33) * h + yt23);
        const double tl = t.tl / (std::abs(si) * yt12 + std::abs(c) * yt13);
        return g1 * f + std::sqrt(sq((1.0 - g1) * f) + sq(tt) + sq(tl));
    };
    // The index jumps where sn changes sign (the strengths of tension and compression differ)
    // and has a cusp at every multiple of 90 degrees (h = |sin(2 theta)|, |sin(theta)| and
    // |cos(theta)|).
    double seams[4] = {0.0, 0.5 * pi};
    const i32 nseams = 2 + normal_sign_changes(s, seams + 2);
    const auto r =
        search(index, low, up, sainc, 2.0, gsflag, search_points, "MCrckSPC3D", seams, nseams);
    give(rmc, outtheta, want, r.index, r.angle);
}

void MCrckVDI2014(double* rmc, const double* s11, const double* s22, const double* s33,
                  const double* s12, const double* s13, const double* s23, const double* xt11,
                  const double* xc11, const double* xt22, const double* xc22, const double* x12,
                  double* outtheta, const double* gp, const double* wp, const double* sainc,
                  const i32* gsflag) {
    static constexpr double absent_gp[4] = {0.3, 0.3, 0.25, 0.25};
    const double* p = gp ? gp : absent_gp;
    const double p1 = p[0], p2 = p[1], p3 = p[2], p4 = p[3];
    const double w1 = wp ? wp[0] : 0.5, w2 = wp ? wp[1] : 0.5;
    const double f11 = *s11, fe = f11 >= 0.0 ? f11 / *xt11 : -f11 / *xc11;
    const Transverse s = transverse(s22, s33, s12, s13, s23);
    check(s, {f11, f11 >= 0.0 ? *xt11 : *xc11, *xt22, *xc22, *x12, p1, p2, p3, p4, w1, w2},
          "MCrckVDI2014");
    const double ra = *xc22 / (2.0 * (1.0 + p4)), yt22 = *xt22, y12 = *x12;
    const bool want = wants_angle(outtheta);
    const auto index = [&](double theta) {
        const Tractions t = tractions(theta, s);
        double ws = 1.0, wc = 3.749399456654644e-33;  // cos(pi/2)^2 in double precision
        if (std::abs(t.tt) > vdi_tt_limit) {
            const double psi = std::atan(t.tl / t.tt);
            ws = sq(std::sin(psi)), wc = sq(std::cos(psi));
        }
        const double root = sq(t.tt / ra) + sq(t.tl / y12);
        if (t.sn >= 0.0) {
            const double q = p3 * wc / ra + p1 * ws / y12;
            return std::sqrt(sq((1.0 / yt22 - q) * t.sn) + root) + q * t.sn;
        }
        const double c = (p4 * wc / ra + p2 * ws / y12) * t.sn;
        return std::sqrt(root + sq(c)) + c;
    };
    // Beyond the seams of Puck's index, the weights jump where |tt| passes 1e-6.
    double seams[9];
    i32 nswitches = 0;
    i32 nseams = weighted_seams(s, seams, nswitches);
    for (const double level : {vdi_tt_limit, -vdi_tt_limit})
        nseams += transverse_shear_at(s, level, seams + nseams);
    const auto r = search(index, 0.0, pi, sainc, 5.0, gsflag, search_points, "MCrckVDI2014", seams,
                          nseams, nswitches);
    // Weakening by the fibre-parallel stress.
    const double y = r.index, c = fe > 1e-6 ? y / fe : 1e6;
    double value = y;
    if (w1 <= c && c <= 1.0 / w2) {
        const double a = (1.0 - w2) / std::sqrt(1.0 - sq(w1));
        const double eta =
            (a * std::sqrt((sq(a) - sq(w2)) * sq(c) + 1.0) + w2) * c / (sq(c * a) + 1.0);
        value = y / eta;
    }
    give(rmc, outtheta, want, value, r.angle);
}

void MCrckLaRC04(double* rmc, const double* s11, const double* s22, const double* s33,
                 const double* s12, const double* s13, const double* s23, const double*,
                 const double* xc11, const double* xt22, const double* xc22, const double* x12,
                 const double* e11, const double* e22, const double* g12, const double* nu12,
                 const double* gc, const double* a0, double* outtheta, const double* sainc,
                 const i32* fcl, const i32* gsflag) {
    const double y12 = *x12;
    if (*s22 >= 0.0) {  // matrix tension: no plane search, outtheta as it is
        if (!criteria::finite({*s22, *s12, *s23, *xt22, y12, *e11, *e22, *nu12}) ||
            !criteria::finite(gc, 2))
            criteria::not_finite("MCrckLaRC04");
        if (fcl && *fcl != 0) {
            *rmc = 0.0;
            return;
        }
        const double g =
            gc && gc[0] != 0.0 && gc[1] != 0.0 ? gc[0] / gc[1] : static_cast<double>(0.35f);
        const double a = *s22 / *xt22;
        *rmc = (1.0 - g) * a + g * sq(a) + sq(*s12 / y12) +
               (1.0 / *e22 - sq(*nu12) / *e11) * sq(*s23 / y12);
        return;
    }
    const Transverse given = transverse(s22, s33, s12, s13, s23);
    check(given, {*s11, *xc11, *xc22, y12, *g12}, "MCrckLaRC04", a0, 1);
    const LaRC k = larc_constants(angle_or(a0), *xc22, y12);
    const bool want = wants_angle(outtheta);
    // Compared with the strength value as given, positive.
    if (*s11 >= *xc22) {
        const auto index = [&](double theta) {
            return larc_shear(tractions(theta, given), k, y12);
        };
        const auto r = search(index, -pi, pi, sainc, 5.0, gsflag, search_points, "MCrckLaRC04");
        give(rmc, outtheta, want, r.index, r.angle);
        return;
    }
    double m[6];
    if (!misalignment_frame(m, s11, s22, s33, s12, s13, s23, *xc11, *g12, y12, k, fcl)) {
        *rmc = 0.0;
        return;
    }
    const Transverse s = {m[1], m[2], m[3], m[4], m[5]};
    const auto index = [&](double theta) { return larc_shear(tractions(theta, s), k, y12); };
    const auto r = search(index, 0.0, pi, sainc, 5.0, gsflag, search_points, "MCrckLaRC04");
    give(rmc, outtheta, want, r.index, r.angle);
}

void MCrckLaRC05(double* rmc, const double* s22, const double* s33, const double* s12,
                 const double* s13, const double* s23, const double* xt22, const double* xc22,
                 const double* x12, const double* a0, double* outtheta, const double* sainc,
                 const i32* gsflag) {
    const Transverse s = transverse(s22, s33, s12, s13, s23);
    check(s, {*xt22, *xc22, *x12}, "MCrckLaRC05", a0, 1);
    const double y12 = *x12, yt22 = *xt22;
    const LaRC k = larc_constants(angle_or(a0), *xc22, y12);
    const bool want = wants_angle(outtheta);
    const auto index = [&](double theta) {
        const Tractions t = tractions(theta, s);
        return larc_shear(t, k, y12) + sq(std::max(t.sn, 0.0) / yt22);
    };
    double seams[2];  // the tension term sets in where sn changes sign
    const i32 nseams = normal_sign_changes(s, seams);
    const auto r =
        search(index, 0.0, pi, sainc, 5.0, gsflag, search_points, "MCrckLaRC05", seams, nseams);
    give(rmc, outtheta, want, r.index, r.angle);
}

}  // extern "C"
}  // namespace vorlen::mccollection
