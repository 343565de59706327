// Explicit progressive ply damage (vumat_cartesian): property set-up once per call, then per
// point the strains, the shear law, the trial stress, the criterion inputs, damage initiation
// and evolution of the nine modes, stiffness damages, crushing, permanent strains, the stress
// with damping, crack closure, status and energies.
#include "solver/toplevel_explicit.hpp"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string_view>

#include "base/errorhandling.hpp"
#include "base/numbers.hpp"
#include "core/signalprocessing.hpp"
#include "failure/degradation_models.hpp"
#include "failure/evocollection.hpp"
#include "failure/fbcollection.hpp"
#include "failure/mccollection.hpp"
#include "materials/lamina_notation.hpp"
#include "solver/toplevel_explicit_forms.hpp"
#include "solver/toplevel_layouts.hpp"

namespace vorlen::toplevel {
namespace {

namespace ef = explicit_forms;

constexpr std::string_view kRoutine = "vumat_cartesian";
constexpr i32 kStateCols = 82;  // state columns the update writes
constexpr i32 kFullProps = 39;  // slots of a complete property vector (40-42 optional)

// Caps of the stiffness damages, weights of the shear partners, partners and crack-band column
// of each mode (fibre tension, fibre compression, transverse tension, transverse compression,
// through-thickness tension and compression, shear 12, 23, 13).
constexpr double kWmax[9] = {0.999, 0.99, 0.9999, 0.9, 0.0, 0.7, 0.99, 0.999, 0.99};
constexpr double kAShear[6] = {0.0, 0.25, 1.0, 0.0, 1.0, 0.0};
constexpr double kRootAShear[6] = {0.0, 0.5, 1.0, 0.0, 1.0, 0.0};  // their square roots
constexpr int kPartnerA[6] = {7, 7, 8, 8, 9, 9};
constexpr int kPartnerB[6] = {9, 9, 7, 7, 8, 8};
constexpr int kLcColumn[9] = {1, 1, 2, 2, 3, 3, 2, 3, 2};

// Fracture-plane search of the matrix and kinking criteria (degrees, golden section).
constexpr double kAngle0 = 53.0, kAngleInc = 4.0, kStd70 = 70.0;
constexpr i32 kGolden = 1, kNoClosure = 0;

void report(std::string_view problem) { errorhandling::report(-3, problem, kRoutine); }

// Stiffness of one choice of moduli: cstiff (Cyclic, tensor shears), Matzenmiller's property
// vector and its undamaged stiffness, built on first use in a call; usable when both are finite
// and cstiff is positive definite.
struct Moduli {
    bool ready = false, usable = false;
    double cstiff[36];
    double propvgt[9];
    double cund[36];
};

// Constants of one call, from the property vector.
struct Setup {
    double e11t, e22t, e33, g12, g13, g23, nu12, nu13, nu23, e11c, e22c, alpha, g_ini;
    i32 nls, es, crit, perm, comp, stiffdeg, strdeg;
    lgl dmgacc;
    double gc[9], strength[9], strainx0[9], xi[9], wmax[9], sigc_end[3], sf[3], damp[3];
    double band[9];  // final strain times the crack-band length: 2 gc/X, gc/X for shear
    int modes;       // modes of the criterion set (0 for none)
    bool damped;
    Moduli combo[4];  // by (fibre strain > 0) + 2 (transverse strain > 0)
};

double slot(const double* props, i32 nprops, int k) { return k <= nprops ? props[k - 1] : 0.0; }

void setup_vector(Setup& s, const double* props, i32 nprops) {
    auto p = [&](int k) { return slot(props, nprops, k); };
    s.e11t = p(1), s.e22t = p(2), s.e33 = p(3), s.g12 = p(4), s.g13 = p(5), s.g23 = p(6);
    s.nu12 = p(7), s.nu13 = p(8), s.nu23 = p(9);
    const double x11t = p(10), x22t = p(11), x33t = p(12);
    const double x11c = std::abs(p(13)), x22c = std::abs(p(14)), x33c = std::abs(p(15));
    const double x12 = p(16), x13 = p(17), x23 = p(18);
    s.e11c = p(19), s.e22c = p(20), s.alpha = p(21), s.g_ini = p(22);
    s.nls = ef::to_int(p(23));
    const double gc[9] = {p(25), p(26), p(27), p(28), p(29), p(29), p(40), p(41), p(42)};
    s.damp[0] = p(30), s.damp[1] = p(31), s.damp[2] = p(32);
    s.es = ef::to_int(p(33)), s.crit = ef::to_int(p(34)), s.perm = ef::to_int(p(35));
    s.comp = ef::to_int(p(36));
    s.dmgacc = ef::to_int(p(37)) == 1 ? 1 : 0;
    s.stiffdeg = ef::to_int(p(38)), s.strdeg = ef::to_int(p(39));

    s.sf[0] = s.sf[1] = s.sf[2] = 1.0;  // components 12, 23, 13
    if (s.nls == 2 || s.nls == 11) {
        s.sf[0] = s.g_ini / s.g12, s.sf[1] = s.g_ini / s.g23, s.sf[2] = s.g_ini / s.g13;
    } else if (s.nls == 1 || s.nls == 6) {
        s.sf[0] = s.sf[1] = s.sf[2] = s.g_ini / s.g12;
    }
    s.sigc_end[0] = 0.25 * x11c, s.sigc_end[1] = 0.25 * x22c, s.sigc_end[2] = 0.25 * x33c;
    const double strength[9] = {x11t, x11c, x22t, x22c, x33t, x33c, x12, x23, x13};
    const double x0[9] = {x11t / s.e11t,       x11c / s.e11c,       x22t / s.e22t,
                          x22c / s.e22c,       x33t / s.e33,        x33c / s.e33,
                          x12 / (2.0 * s.g12), x23 / (2.0 * s.g23), x13 / (2.0 * s.g13)};
    for (int k = 0; k < 9; ++k) {
        s.gc[k] = gc[k];
        s.strength[k] = strength[k];
        s.strainx0[k] = x0[k];
        s.xi[k] = s.es == 1 ? x0[k] : s.es == 2 ? strength[k] : 0.0;
        s.wmax[k] = kWmax[k];
    }
    if (s.comp == 1) s.wmax[3] = 0.99, s.wmax[5] = 0.8;
    for (int k = 0; k < 9; ++k) s.band[k] = (k < 6 ? 2.0 : 1.0) * s.gc[k] / s.strength[k];
    s.modes = s.crit == 2                    ? 9
              : (s.crit == 3 || s.crit == 4) ? 3
              : (s.crit >= 1 && s.crit <= 6) ? 6
                                             : 0;
    s.damped = s.damp[0] != 0.0 || s.damp[1] != 0.0 || s.damp[2] != 0.0;
}

// Orthotropic stiffness (Cyclic order, tensor shears) with the moduli e11, e22.
void elastic_stiffness(double* c, const Setup& s, double e11, double e22) {
    const double e33 = s.e33, nu12 = s.nu12, nu13 = s.nu13, nu23 = s.nu23;
    const double nu21 = nu12 * e22 / e11, nu32 = nu23 * e33 / e22, nu31 = nu13 * e33 / e11;
    const double d = (1.0 - nu12 * nu21 - nu23 * nu32 - nu13 * nu31 - 2.0 * nu12 * nu23 * nu31) /
                     (e11 * e22 * e33);
    std::fill_n(c, 36, 0.0);
    c[0] = (1.0 - nu23 * nu32) / (e22 * e33 * d);
    c[7] = (1.0 - nu13 * nu31) / (e11 * e33 * d);
    c[14] = (1.0 - nu12 * nu21) / (e11 * e22 * d);
    c[1] = c[6] = (nu21 + nu31 * nu23) / (e22 * e33 * d);
    c[2] = c[12] = (nu31 + nu21 * nu32) / (e22 * e33 * d);
    c[8] = c[13] = (nu32 + nu12 * nu31) / (e11 * e33 * d);
    c[21] = 2.0 * s.g12 * s.sf[0];
    c[28] = 2.0 * s.g23 * s.sf[1];
    c[35] = 2.0 * s.g13 * s.sf[2];
}

// Whether the orthotropic stiffness c (Cyclic order) is finite and positive definite. The normal
// block is tested scaled to a unit diagonal, so that no product of stiffnesses overflows.
bool positive_stiffness(const double* c) {
    if (!std::all_of(c, c + 36, [](double x) { return std::isfinite(x); })) return false;
    for (int d = 0; d < 6; ++d)
        if (!(c[d * 7] > 0.0)) return false;
    const double r0 = 1.0 / std::sqrt(c[0]), r1 = 1.0 / std::sqrt(c[7]);
    const double r2 = 1.0 / std::sqrt(c[14]);
    const double a12 = c[1] * r0 * r1, a13 = c[2] * r0 * r2, a23 = c[8] * r1 * r2;
    return 1.0 - a12 * a12 > 0.0 &&
           1.0 - a12 * a12 - a13 * a13 - a23 * a23 + 2.0 * a12 * a13 * a23 > 0.0;
}

// Matzenmiller stiffness of the damages in use w(6) (11, 22, 33, 12, 23, 13), Cyclic order.
void degraded_stiffness(double* c, const double* propvgt, const double* w) {
    const i32 six = 6, to_cyclic = 2;
    degradation::MatzenmillerDegradation(propvgt, c, w, &w[4], &w[5], &w[3]);
    lamina::FlipVoigtCyclicNotation(c, c, &six, &to_cyclic, &six);
}

const Moduli& moduli(Setup& s, bool fibre_tension, bool transverse_tension) {
    Moduli& m = s.combo[(fibre_tension ? 1 : 0) + (transverse_tension ? 2 : 0)];
    if (m.ready) return m;
    const double e11 = fibre_tension ? s.e11t : s.e11c, e22 = transverse_tension ? s.e22t : s.e22c;
    elastic_stiffness(m.cstiff, s, e11, e22);
    const double pv[9] = {e11,    e22,    s.e33, s.g23 * s.sf[1], s.g13 * s.sf[2], s.g12 * s.sf[0],
                          s.nu23, s.nu13, s.nu12};
    std::copy_n(pv, 9, m.propvgt);
    const double none[6] = {};
    degraded_stiffness(m.cund, m.propvgt, none);
    m.usable = positive_stiffness(m.cstiff) &&
               std::all_of(m.cund, m.cund + 36, [](double x) { return std::isfinite(x); });
    m.ready = true;
    return m;
}

[[gnu::always_inline]] inline void matvec(const double* c, const double* x, double* y) {
    for (int r = 0; r < 6; ++r) {
        double t = 0.0;
        for (int k = 0; k < 6; ++k) t += c[r + 6 * k] * x[k];
        y[r] = t;
    }
}

// The quadratic nominal form of gpcollection::GPQuadNominal, the same operations in the same
// order, written here so that the several indices of every point inline.
double quad(double a, double b, double c, double xa = 1.0, double xb = 1.0, double xc = 1.0) {
    const double ra = a / xa, rb = b / xb, rc = c / xc;
    return std::sqrt(ra * ra + rb * rb + rc * rc);
}

// Damage of the bilinear law between the onset strain r0 and the final strain r1.
double bilinear(double x, double r0, double r1) {
    double d = 0.0, e1 = r1;
    const double zero = 0.0;
    evocollection::BiLinearEvolution(&x, &r0, &zero, &zero, &zero, &d, &e1);
    return d;
}

bool usable(double x) { return std::isfinite(x) && x > 0.0; }

// Whether the moduli, the strengths and, for the shear laws that read it, g_ini are positive
// normal numbers: a zero or subnormal one makes inf or 0/0 of the initiation strains, the
// indices and the shear law, which the state would keep.
bool usable_constants(const Setup& s) {
    const double moduli[8] = {s.e11t, s.e22t, s.e33, s.g12, s.g13, s.g23, s.e11c, s.e22c};
    const bool g_ini = s.nls == 1 || s.nls == 2 || s.nls == 6 || s.nls == 11;
    return std::all_of(moduli, moduli + 8, positive_normal) &&
           std::all_of(s.strength, s.strength + 9, positive_normal) &&
           (!g_ini || positive_normal(s.g_ini));
}

// Everything of one point between the load of its old row and the store of its new one.
struct Point {
    double tot[6], ein[6], eel[6], smt[6], de[6], sold[6];
    double wst[9], rs_old[9], rs[9], r0_old[9], r1_old[9], wdeg[6];
    double effort[9], effort6[6], s_ctrl[9], deg_ctrl[9], xi[9], fail[9], dlim[9], strainx1[9];
    double stmp[6], tau_old[3], flag_old[3];
    double lc[3];
    double status_old;
};

// Results of a mode's onset written into the new row (columns 44 + k, 53 + k, 62 + k).
struct Onset {
    double r0, r1, seff;
};

// Onset of mode k (1-based) with the partner weight w (weighted variant; w = 1 and no absolute
// values in the plain one). False when the values are no usable numbers (a zero equivalent
// strain or stress): onset is deferred to a later increment.
bool onset(const Point& p, const Setup& s, int k, bool weighted, Onset& o) {
    const int a = kPartnerA[k - 1], b = kPartnerB[k - 1];
    const double w = weighted ? kAShear[k - 1] : 1.0, sw = weighted ? kRootAShear[k - 1] : 1.0;
    const double dk = p.deg_ctrl[k - 1], da = p.deg_ctrl[a - 1], db = p.deg_ctrl[b - 1];
    const double sk = p.s_ctrl[k - 1], sa = p.s_ctrl[a - 1], sb = p.s_ctrl[b - 1];
    const double e = quad(dk, sw * da, sw * db);
    o.r0 = e / std::pow(p.fail[k - 1], 0.25);
    const double ta = w * da * sa, tb = w * db * sb;
    o.seff = (sk * dk + (weighted ? std::abs(ta) : ta) + (weighted ? std::abs(tb) : tb)) / o.r0;
    const double lc = p.lc[kLcColumn[k - 1] - 1];
    const double g = sk * sk * s.gc[k - 1] + w * sa * sa * s.gc[a - 1] + w * sb * sb * s.gc[b - 1];
    o.r1 = std::max(2.0 * g / (o.seff * o.seff) / (std::abs(o.seff) * lc), 1.1 * o.r0);
    return usable(o.r0) && std::isfinite(o.seff) && o.seff != 0.0 && std::isfinite(o.r1);
}

double damage_limit(const Setup& s, const double* cstiff, int k, double r0, double r1) {
    const int n = (k + 1) / 2;
    const double q = r0 * r1 * cstiff[(n - 1) * 7] / ((r1 - r0) * std::abs(s.sigc_end[n - 1]));
    return (r1 / (r1 - r0) - q) / (1.0 - q);
}

// Fibre kinking index of LaRC05 with effective strengths for mode k (1 or 2).
double fibre_index(const Point& p, const Setup& s, int k) {
    const double* x = p.xi;
    const double x_is[9] = {x[0], x[2], x[4], x[1], x[3], x[5], x[6], x[8], x[7]};
    double r;
    fbcollection::FBLaRC05_is(&r, &p.effort[k - 1], &p.effort6[1], &p.effort6[2], &p.effort6[3],
                              &p.effort6[5], &p.effort6[4], &x[0], &x[1], &x[2], &kStd70, &kStd70,
                              &s.g12, &kAngle0, &kAngleInc, &kGolden, &kNoClosure, x_is);
    return r;
}

double fibre_compression_index(const Point& p, const Setup& s) {
    const double f = fibre_index(p, s, 2), r = std::abs(p.effort[1] / p.xi[1]);
    return r < 0.5 ? r : std::max(r, f);
}

// Matrix index of mode k (3 or 4) of criterion set crit; the fracture angle (radians, -1 when
// none was found) in phi.
double matrix_index(const Point& p, int crit, int k, double& phi) {
    const double* e6 = p.effort6;
    const double* x = p.xi;
    double r;
    phi = -1.0;
    if (crit == 3) {
        mccollection::MCrckLaRC05(&r, &e6[1], &e6[2], &e6[3], &e6[5], &e6[4], &x[2], &x[3], &x[6],
                                  &kAngle0, &phi, &kAngleInc, &kGolden);
    } else if (crit == 4) {
        mccollection::MCrckCamanho(&r, &p.effort[2], &e6[2], &e6[3], &e6[5], &e6[4], &x[2], &x[3],
                                   &x[6], &x[7], &phi, &kAngle0, &kAngleInc, &kGolden);
    } else {
        mccollection::MCrckPuck(&r, &p.effort[k - 1], &e6[2], &e6[3], &e6[5], &e6[4], &x[2], &x[3],
                                &x[6], &phi, nullptr, &kAngleInc, &kGolden, nullptr);
    }
    return r;
}

// Step 9: initiation and evolution of the mode damages p.rs of criterion set s.crit.
void evolve_modes(Point& p, const Setup& s, const double* cstiff, Mat<double>& sn, i32 i) {
    for (int k = 0; k < 9; ++k) p.rs[k] = p.rs_old[k];  // modes outside the set keep theirs
    const int crit = s.crit;
    if (crit < 1 || crit > 6) return;
    const bool indices = s.es == 1 || s.es == 2;  // else no normalisers: nothing initiates
    const int last = crit == 2 ? 9 : (crit == 3 || crit == 4) ? 3 : 6;
    const bool weighted = crit == 1 || crit == 5;
    for (int k = 1; k <= last; ++k) {
        const double old = p.rs_old[k - 1];
        bool active = false;
        double r0 = 0.0, r1 = 0.0;
        // A stored final strain marks an initiated mode also while its damage is still 0 (an
        // index of exactly 1, or a capped shear index, starts at zero damage).
        if (old <= 0.0 && !(p.r1_old[k - 1] > 0.0)) {
            if (indices && weighted) {
                const double w = kRootAShear[k - 1];
                const int a = kPartnerA[k - 1] - 1, b = kPartnerB[k - 1] - 1;
                if (crit == 5 && k == 2)
                    p.fail[1] = fibre_compression_index(p, s);
                else if (w == 0.0 && p.effort[k - 1] == 0.0 && p.xi[k - 1] != 0.0 &&
                         p.xi[a] != 0.0 && p.xi[b] != 0.0 && std::isfinite(p.effort[a]) &&
                         std::isfinite(p.effort[b]))
                    p.fail[k - 1] = 0.0;  // the index of a mode without load or partners
                else
                    p.fail[k - 1] = quad(p.effort[k - 1], w * p.effort[a], w * p.effort[b],
                                         p.xi[k - 1], p.xi[a], p.xi[b]);
                sn(i, 71 + k) = p.fail[k - 1];
            } else if (indices && crit == 2) {
                if (std::abs(p.effort[k - 1]) > 0.0)
                    p.fail[k - 1] = std::abs(p.effort[k - 1] / p.xi[k - 1]);
            } else if (indices && std::abs(p.effort[k - 1]) > 0.0) {
                double phi;
                if (k == 1) {
                    p.fail[0] = fibre_index(p, s, 1);
                } else if (k == 2) {
                    p.fail[1] = fibre_compression_index(p, s);
                } else if (k == 3 || (k == 4 && crit == 6)) {
                    p.fail[k - 1] = matrix_index(p, crit, k, phi);
                    sn(i, k == 3 ? 81 : 82) = phi;
                }
                sn(i, 71 + k) = p.fail[k - 1];
            }
            if (p.fail[k - 1] >= 1.0) {
                Onset o{};
                bool ok;
                if (crit == 2) {
                    o.r0 = std::abs(p.deg_ctrl[k - 1]) / std::pow(p.fail[k - 1], 0.25);
                    o.r1 = std::max(1.1 * o.r0, p.strainx1[k - 1] * s.strainx0[k - 1] / o.r0);
                    ok = usable(o.r0) && std::isfinite(o.r1);
                } else {
                    ok = onset(p, s, k, weighted, o);
                }
                if (ok) {
                    sn(i, 44 + k) = o.r0, sn(i, 53 + k) = o.r1;
                    if (crit != 2) sn(i, 62 + k) = o.seff;
                    r0 = o.r0, r1 = o.r1, active = true;
                }
            }
        } else {
            r0 = p.r0_old[k - 1], r1 = p.r1_old[k - 1], active = true;
        }
        if (!active) {
            p.rs[k - 1] = std::min(std::max(old, 0.0), 1.0);
            continue;
        }
        if (weighted) p.dlim[k - 1] = damage_limit(s, cstiff, k, r0, r1);
        double x;
        if (crit == 2) {
            x = std::abs(p.deg_ctrl[k - 1]);
        } else {
            const int a = kPartnerA[k - 1] - 1, b = kPartnerB[k - 1] - 1;
            const double w = weighted ? kRootAShear[k - 1] : 1.0;
            x = quad(p.deg_ctrl[k - 1], w * p.deg_ctrl[a], w * p.deg_ctrl[b]);
        }
        p.rs[k - 1] = std::min(std::max({old, bilinear(x, r0, r1), 0.0}), 1.0);
    }
}

// Step 5: the non-linear shear law on components 4 to 6.
void shear_law(Point& p, const Setup& s, const double* cstiff, Mat<double>& sn, i32 i) {
    if (s.nls != 1 && s.nls != 11 && s.nls != 2) return;
    for (int c = 3; c < 6; ++c) {
        const double sg = p.eel[c] >= 0.0 ? 1.0 : -1.0, tau_old = p.tau_old[c - 3];
        if (s.nls == 2) {
            if (p.wst[c + 3] > 0.0) continue;  // the component's shear mode is damaged
            const double k = cstiff[c * 7], f = s.sf[c - 3];
            const double e0 = sg * tau_old / k + p.ein[c] - sg * tau_old * f / k;
            const double tau = k * (p.tot[c] - e0) / f;
            sn(i, 33 + c) = std::max(std::abs(tau_old), std::abs(tau));
            const double t = sg * std::min(std::abs(k * p.eel[c]), std::abs(tau));
            p.eel[c] = t / k;
        } else {
            const double g0 = s.g_ini;
            const double e0 = sg * tau_old / (2.0 * g0) + p.ein[c] - sg * p.smt[c];
            const double ee = p.tot[c] - e0;
            const double tau = 2.0 * g0 * ee * std::exp(-2.0 * s.alpha * std::abs(ee));
            if (std::abs(tau) >= std::abs(tau_old)) p.smt[c] = std::abs(ee);
            sn(i, 33 + c) = std::max(std::abs(tau_old), std::abs(tau));
            const double t = sg * std::min(std::abs(tau), std::abs(2.0 * g0 * p.eel[c]));
            p.eel[c] = t / (2.0 * g0);
        }
        p.ein[c] = p.tot[c] - p.eel[c];
    }
}

// Step 8: criterion inputs from the elastic strain and the trial stress.
void criterion_inputs(Point& p, const Setup& s) {
    const double* e = p.eel;
    const double* t = p.stmp;
    for (int d = 0; d < 3; ++d) {
        p.deg_ctrl[2 * d] = std::max(e[d], 0.0), p.deg_ctrl[2 * d + 1] = std::min(e[d], 0.0);
        p.deg_ctrl[6 + d] = e[3 + d];
    }
    if (s.es == 1) {
        for (int d = 0; d < 3; ++d) {
            p.effort[2 * d] = p.deg_ctrl[2 * d], p.effort[2 * d + 1] = p.deg_ctrl[2 * d + 1];
            p.effort[6 + d] = std::min(std::abs(p.xi[6 + d]), std::abs(e[3 + d]));
            p.s_ctrl[2 * d] = std::max(t[d], 0.0), p.s_ctrl[2 * d + 1] = std::min(t[d], 0.0);
            p.s_ctrl[6 + d] = t[3 + d];
        }
        std::copy_n(e, 6, p.effort6);
    } else if (s.es == 2) {
        for (int d = 0; d < 3; ++d) {
            p.effort[2 * d] = std::max(t[d], 0.0), p.effort[2 * d + 1] = std::min(t[d], 0.0);
            p.effort[6 + d] = t[3 + d];
        }
        std::copy_n(t, 6, p.effort6);
        std::copy_n(p.effort, 9, p.s_ctrl);
    } else {
        std::fill_n(p.effort, 9, 0.0), std::fill_n(p.effort6, 6, 0.0);
        std::fill_n(p.s_ctrl, 9, 0.0);
    }
}

// Steps 7 to 9 of 7.118: stress of the damaged stiffness c with the strain-rate damping terms.
void stress_with_damping(const Point& p, const Setup& s, const double* c, double rdt,
                         double* snew) {
    double v[6];
    for (int k = 0; k < 6; ++k) {
        const double r = p.de[k] * rdt;
        const double x = std::min(std::max(std::abs(r) - 500.0, 0.0), 5000.0);
        const double r2 = r < 0.0 ? -x * x : x * x;
        const double r3 = std::abs(r2) * r;
        v[k] = p.eel[k] + s.damp[0] * r + s.damp[1] * r2 + s.damp[2] * r3;
    }
    matvec(c, v, snew);
}

// Step 10: shear crack closure of fully degraded shear modes (bilinear shear law); the flags
// (+1, -1, 0 not yet set) live in state columns 33-35. The increment that sets a flag keeps
// the stress of step 9.
void shear_closure(Point& p, const Setup& s, const double* cst, const double* wst, double* snew,
                   Mat<double>& sn, i32 i) {
    if (s.perm != 4 || s.nls != 2) return;
    for (int d = 1; d <= 3; ++d) {
        const int cc = 2 + d, mm = 5 + d;  // 0-based shear component and shear mode
        if (!(wst[mm] >= s.wmax[mm])) continue;
        double flag = p.flag_old[d - 1];
        const double k = cst[cc * 7], x1 = p.strainx1[mm], keep = 1.0 - wst[mm];
        if (flag == 0.0) {
            flag = p.eel[cc] >= 0.0 ? 1.0 : -1.0;
            p.ein[cc] = 0.9 * flag * x1;
        } else if (flag > 0.0) {
            p.ein[cc] = std::max(p.ein[cc], 0.9 * p.tot[cc]);
            p.eel[cc] = p.tot[cc] - p.ein[cc];
            const double e = p.eel[cc];
            snew[cc] = k * std::max(keep * e, 0.0) + k * std::min(std::max(e, -x1), 0.0);
        } else {
            p.ein[cc] = std::min(p.ein[cc], 0.9 * p.tot[cc]);
            p.eel[cc] = p.tot[cc] - p.ein[cc];
            const double e = p.eel[cc];
            snew[cc] = k * std::min(keep * e, 0.0) + k * std::max(std::min(e, x1), 0.0);
        }
        sn(i, 32 + d) = flag;
    }
}

// Steps 11 and 12: status (element deletion) and the point's new row.
void store(const Point& p, const Setup& s, const double* wst, Mat<double>& sn, i32 i) {
    if (p.status_old != 0.0 && (wst[0] + wst[1] >= 0.9 * (s.wmax[0] + s.wmax[1]) ||
                                wst[3] + wst[5] >= 1.0 + s.wmax[3] + s.wmax[5]))
        sn(i, 19) = 0.0;
    for (int k = 1; k <= 9; ++k) sn(i, k) = wst[k - 1], sn(i, 9 + k) = p.rs[k - 1];
    for (int k = 1; k <= 6; ++k) {
        sn(i, 20 + k) = p.tot[k - 1], sn(i, 26 + k) = p.ein[k - 1];
        sn(i, 38 + k) = p.smt[k - 1];
    }
}

// Steps 1 to 12 of 7.118 after the mode damages: stiffness damages, crushing, permanent strain,
// stress with damping, crack closure, status and the new row.
void degrade_and_store(Point& p, const Setup& s, const Moduli& m, const double* c_trial,
                       const double* w_trial, const double* e_trial, double rdt, double* snew,
                       Mat<double>& sn, i32 i) {
    double wst[9] = {};
    bool any = false;
    for (int k = 0; k < 9; ++k) any = any || p.rs[k] != 0.0;
    if (s.stiffdeg == 1 && any) {
        double cdummy[36];
        degradation::DegradationFromModes(p.rs, wst, &s.dmgacc, cdummy, nullptr, nullptr, nullptr);
    }
    const double zero = 0.0;
    if (any)
        for (int k = 0; k < 9; ++k) wst[k] = signalprocessing::fLimit(&wst[k], &zero, &s.wmax[k]);
    double wdeg[6] = {p.tot[0] > 0.0 ? wst[0] : wst[1],
                      p.tot[1] > 0.0 ? wst[2] : wst[3],
                      p.tot[2] > 0.0 ? wst[4] : wst[5],
                      wst[6],
                      wst[7],
                      wst[8]};
    const double* cst = m.cstiff;
    if (s.comp == 1 && p.rs[1] > 0.0 && p.rs[1] >= p.dlim[1] && p.tot[0] < 0.0) {
        p.smt[0] = std::min(p.smt[0], p.tot[0]);
        const double c11 = cst[0];
        const double w =
            1.0 - (s.sigc_end[0] - c11 * (p.smt[0] - p.tot[0]) / 10.0) / (c11 * p.eel[0]);
        wdeg[0] = std::min(w, s.wmax[1]);
    }
    if (s.comp == 2) {
        for (int d = 0; d < 3; ++d) {
            const double r = p.rs[2 * d + 1], lim = p.dlim[2 * d + 1];
            if (!(r > 0.0 && r >= lim && p.tot[d] < 0.0)) continue;
            const double ep = s.sigc_end[d] / (cst[d * 7] * (1.0 - lim));
            p.ein[d] = std::max(std::min(p.tot[d] - ep, p.ein[d]), -10.0 * s.strainx0[2 * d + 1]);
            p.eel[d] = p.tot[d] - p.ein[d];
        }
    }
    if (s.perm == 1) {
        if (p.rs[0] >= 1.0) {
            p.ein[0] = std::min(std::max(0.9 * p.tot[0], p.ein[0]), 30.0 * s.strainx0[0]);
            const double e = p.tot[0] - p.ein[0];
            p.eel[0] = std::max(e, 0.0) + std::min(0.5 * std::max(-s.strainx0[1], e), 0.0);
            if (p.eel[0] < 0.0) wdeg[0] = 0.2;
        }
        if (p.rs[2] >= 1.0) {
            p.ein[1] = std::min(std::max({p.ein[1], 0.0, 0.8 * p.tot[1]}), 50.0 * s.strainx0[2]);
            const double e = p.tot[1] - p.ein[1];
            p.eel[1] = std::max(e, 0.0) + std::min(std::max(-0.75 * s.strainx0[3], e), 0.0);
        }
    }
    double cdeg[36];
    const double* c = cdeg;
    if (std::equal(wdeg, wdeg + 6, w_trial))
        c = c_trial;
    else
        degraded_stiffness(cdeg, m.propvgt, wdeg);
    if (c == c_trial && !s.damped && std::equal(p.eel, p.eel + 6, e_trial)) {
        std::copy_n(p.stmp, 6, snew);  // the trial stress is the stress
    } else {
        stress_with_damping(p, s, c, rdt, snew);
    }
    shear_closure(p, s, m.cstiff, wst, snew, sn, i);
    store(p, s, wst, sn, i);
}
// Energies of 7.118 step 13 from the new stress and the elastic strain.
[[gnu::always_inline]] inline void energies(const double* sold, const double* snew,
                                            const double* de, const double* eel, double rho,
                                            double st, double eold, double* enew, double* einel) {
    double work = 0.0, ela = 0.0;
    for (int k = 0; k < 6; ++k) {
        const double mid = 0.5 * (sold[k] + snew[k]);
        work += (k < 3 ? 1.0 : 2.0) * mid * de[k];
        ela += (k < 3 ? 0.5 : 1.0) * snew[k] * eel[k];
    }
    const double f = st / rho;
    *enew = eold + f * work;
    *einel = *enew - f * ela;
}

struct Block {
    i32 nb;
    i64 ntens;  // stress columns a fallback may reach: ndir + nshr when 0 to 6, else 0
    i32 nstatev;
    const double *charlength, *density, *straininc, *stressold, *stateold, *enerinternold,
        *enerinelasold;
    double *stressnew, *statenew, *enerinternnew, *enerinelasnew;
};

// The elastic response of point i with the stiffness c (nullptr: none; the stress is kept);
// the state row is the copy of the old one.
void elastic_point(const Block& b, i32 i, const double* c) {
    const i64 nb = b.nb;
    if (b.ntens != 6) {
        for (i64 k = 0; k < b.ntens; ++k) b.stressnew[i - 1 + nb * k] = b.stressold[i - 1 + nb * k];
        b.enerinternnew[i - 1] = b.enerinternold[i - 1];
        b.enerinelasnew[i - 1] = b.enerinelasold[i - 1];
        return;
    }
    double de[6], s0[6], s1[6];
    for (int k = 0; k < 6; ++k) {
        de[k] = b.straininc[i - 1 + nb * k], s0[k] = b.stressold[i - 1 + nb * k];
    }
    const double none[36] = {};
    const double w = ef::elastic_increment(c ? c : none, de, s0, s1);
    for (int k = 0; k < 6; ++k) b.stressnew[i - 1 + nb * k] = s1[k];
    const double rho = b.density[i - 1], eold = b.enerinternold[i - 1];
    const double einel = b.enerinelasold[i - 1];
    if (rho > 0.0) {
        b.enerinternnew[i - 1] = eold + w / rho;
    } else {
        b.enerinternnew[i - 1] = eold;
        report("Density not above 0");
    }
    b.enerinelasnew[i - 1] = einel;
}

// The point's old row is row t of the tile so (columns 1 to 82).
void load_point(Point& p, const Block& b, i32 i, const Mat<double>& so, i32 t, int modes,
                bool shear, bool closure) {
    const i64 nb = b.nb;
    for (int k = 0; k < 6; ++k) {
        p.de[k] = b.straininc[i - 1 + nb * k];
        p.sold[k] = b.stressold[i - 1 + nb * k];
        p.tot[k] = so(t, 21 + k) + p.de[k];
        p.ein[k] = so(t, 27 + k);
        p.smt[k] = so(t, 39 + k);
        p.eel[k] = p.tot[k] - p.ein[k];
    }
    for (int k = 0; k < 9; ++k) {
        p.wst[k] = so(t, 1 + k), p.rs_old[k] = so(t, 10 + k);
        p.fail[k] = 0.0, p.dlim[k] = 1.0;
    }
    // Onset and final strains of the set's modes, shear history and closure flags only where
    // the update reads them.
    for (int k = 0; k < modes; ++k) p.r0_old[k] = so(t, 45 + k), p.r1_old[k] = so(t, 54 + k);
    for (int d = 0; d < 3; ++d) {
        p.tau_old[d] = shear ? so(t, 36 + d) : 0.0;
        p.flag_old[d] = closure ? so(t, 33 + d) : 0.0;
        p.lc[d] = b.charlength[i - 1 + nb * d];
    }
    p.status_old = so(t, 19);
}

// Point i whose state row is row t of the tile sn: old on entry, new on return. False, with
// nothing written, where the moduli of its strains give no usable stiffness.
bool update_point(const Block& b, Setup& s, i32 i, double rdt, Mat<double>& sn, i32 t) {
    Point p;
    load_point(p, b, i, sn, t, s.modes, s.nls == 1 || s.nls == 2 || s.nls == 11, s.perm == 4);
    const Moduli& m = moduli(s, p.tot[0] > 0.0, p.tot[1] > 0.0);
    if (!m.usable) return false;
    const double* wst = p.wst;
    const double wtrial[6] = {p.tot[0] > 0.0 ? wst[0] : wst[1],
                              p.tot[1] > 0.0 ? wst[2] : wst[3],
                              p.tot[2] > 0.0 ? wst[4] : wst[5],
                              wst[6],
                              wst[7],
                              wst[8]};
    if (s.crit == 2 || s.perm == 4)  // the only readers of the final strains
        for (int k = 0; k < 9; ++k)
            p.strainx1[k] = std::max(s.band[k] / p.lc[kLcColumn[k] - 1], 1.1 * s.strainx0[k]);
    shear_law(p, s, m.cstiff, sn, t);
    double ctrial[36];
    const double* ct = m.cund;
    if (std::any_of(wtrial, wtrial + 6, [](double w) { return w != 0.0; })) {
        degraded_stiffness(ctrial, m.propvgt, wtrial);
        ct = ctrial;
    }
    matvec(ct, p.eel, p.stmp);
    double etrial[6];
    std::copy_n(p.eel, 6, etrial);
    std::copy_n(s.xi, 9, p.xi);
    if (s.strdeg == 1) {  // interaction table: each normaliser scaled by its own mode damage
        // A complete damage leaves 1e-12 of the normaliser: a zero one made 0/0 indices,
        // which the next increments spread into the stress.
        for (int k = 0; k < 9; ++k) {
            const double d = std::min(p.rs_old[k], 1.0);
            if (d > 0.0) p.xi[k] *= std::max(1.0 - d, 1e-12);
        }
    }
    criterion_inputs(p, s);
    evolve_modes(p, s, m.cstiff, sn, t);
    double snew[6];
    degrade_and_store(p, s, m, ct, wtrial, etrial, rdt, snew, sn, t);
    const i64 nb = b.nb;
    for (int k = 0; k < 6; ++k) b.stressnew[i - 1 + nb * k] = snew[k];
    const double rho = b.density[i - 1];
    energies(p.sold, snew, p.de, p.eel, rho, sn(t, 19), b.enerinternold[i - 1],
             &b.enerinternnew[i - 1], &b.enerinelasnew[i - 1]);
    return true;
}

void first_point(const Block& b, const double* cfirst, i32 i, Mat<double>& sn, i32 t) {
    const i64 nb = b.nb;
    double de[6], sold[6], snew[6];
    for (int k = 0; k < 6; ++k) {
        de[k] = b.straininc[i - 1 + nb * k], sold[k] = b.stressold[i - 1 + nb * k];
    }
    matvec(cfirst, de, snew);
    for (int k = 0; k < 6; ++k) b.stressnew[i - 1 + nb * k] = snew[k];
    for (int k = 1; k <= 18; ++k) sn(t, k) = 0.0;
    for (int k = 27; k <= 38; ++k) sn(t, k) = 0.0;
    for (int k = 45; k <= 62; ++k) sn(t, k) = 0.0;
    for (int k = 1; k <= 6; ++k) sn(t, 20 + k) = sn(t, 38 + k) = de[k - 1];
    sn(t, 81) = sn(t, 82) = -1.0;
    energies(sold, snew, de, de, b.density[i - 1], sn(t, 19), b.enerinternold[i - 1],
             &b.enerinternnew[i - 1], &b.enerinelasnew[i - 1]);
}

constexpr i32 kTile = 16;  // points of a state tile: two cache lines of a column

// n <= kTile consecutive values; a whole tile as one fixed-size copy.
void move_rows(double* to, const double* from, i32 n) {
    if (n == kTile)
        std::memcpy(to, from, sizeof(double) * kTile);
    else
        for (i32 t = 0; t < n; ++t) to[t] = from[t];
}

// statenew(:, from:nstatev) = stateold(:, from:nstatev).
void copy_state(const Block& b, i32 from) {
    const i64 off = i64(b.nb) * (from - 1), n = i64(b.nb) * b.nstatev - off;
    if (n > 0 && b.statenew != b.stateold)
        std::memmove(b.statenew + off, b.stateold + off, sizeof(double) * n);
}

void vumat_block(const Block& b, i32 ndir, i32 nshr, i32 nprops, const double* props,
                 double totaltime, double dt) {
    if (b.nb <= 0) return;
    const ef::Form form = ef::form_of(nprops);
    const bool six = ndir == 3 && nshr == 3;
    if (form != ef::Form::vector) {
        copy_state(b, 1);
        if (!six) report("Unsupported components");
        double c[36];
        bool have = false;
        if (six && form != ef::Form::store)
            have = ef::short_stiffness(c, form, props, nprops, nullptr, nullptr, kRoutine);
        i32 ply = 0, sec = 0;  // ply table column of the stiffness in c
        for (i32 i = 1; i <= b.nb; ++i) {
            if (six && form == ef::Form::store) {
                const double *l = nullptr, *t = nullptr;
                if (b.nstatev >= 22)
                    l = &b.stateold[i - 1 + i64(b.nb) * 20],
                    t = &b.stateold[i - 1 + i64(b.nb) * 21];
                if (!(have && l && ef::to_int(*l) == ply && ef::to_int(*t) == sec)) {
                    have = ef::short_stiffness(c, form, props, nprops, l, t, kRoutine);
                    ply = l ? ef::to_int(*l) : 0, sec = l ? ef::to_int(*t) : 0;
                }
            }
            elastic_point(b, i, six && have ? c : nullptr);
        }
        return;
    }
    // The property vector: the tensile constants give the fallback of points the update refuses.
    double cfall[36];
    const bool fall = nprops >= 9 && ef::short_stiffness(cfall, ef::Form::constants, props, 9,
                                                         nullptr, nullptr, kRoutine);
    const double* cf = fall ? cfall : nullptr;
    // A refused block: every point gets the elastic fallback with the stiffness c.
    const auto refuse = [&b](std::string_view problem, const double* c) {
        report(problem);
        copy_state(b, 1);
        for (i32 i = 1; i <= b.nb; ++i) elastic_point(b, i, c);
    };
    if (!six || nprops < kFullProps || b.nstatev < kStateCols)
        return refuse(!six                  ? "Unsupported components"
                      : nprops < kFullProps ? "Short property vector"
                                            : "Short state",
                      six ? cf : nullptr);
    Setup s;
    setup_vector(s, props, nprops);
    const bool first = totaltime == 0.0;
    if (!first && !(dt > 0.0)) return refuse("Time increment not above 0", cf);
    if (!usable_constants(s)) return refuse("Modulus or strength not a positive normal number", cf);
    double cfirst[36];
    if (first) elastic_stiffness(cfirst, s, 0.5 * (s.e11t + s.e11c), 0.5 * (s.e22t + s.e22c));
    if (first && !positive_stiffness(cfirst)) return refuse("Stiffness not positive definite", cf);
    // Rows of kTile points go through a tile of their first 82 columns: the column-major state
    // is read and written two cache lines of points at a time, and a block whose new state is its
    // old one reads every old value before it writes.
    copy_state(b, kStateCols + 1);
    double tv[kTile * kStateCols];
    Mat<double> tile(tv, kTile, kStateCols);
    const i64 nb = b.nb;
    const double rdt = first ? 0.0 : 1.0 / dt;
    for (i32 i0 = 1; i0 <= b.nb; i0 += kTile) {
        const i32 n = std::min(kTile, b.nb - i0 + 1);
        for (i32 c = 1; c <= kStateCols; ++c)
            move_rows(&tile(1, c), &b.stateold[i0 - 1 + nb * (c - 1)], n);
        // The next tile's old rows are fetched while this one is worked on.
        const i32 next = i0 + kTile, m = std::min(kTile, b.nb - next + 1);
        for (i32 c = 0; c < kStateCols; ++c)
            for (i32 t = 0; t < m; t += 8) __builtin_prefetch(&b.stateold[next - 1 + t + nb * c]);
        for (i32 t = 1; t <= n; ++t) {
            const i32 i = i0 + t - 1;
            bool lengths = true;
            if (!first)
                for (int d = 0; d < 3; ++d) lengths = lengths && b.charlength[i - 1 + nb * d] > 0.0;
            if (!(b.density[i - 1] > 0.0) || !lengths) {
                if (!lengths) report("Characteristic length not above 0");
                elastic_point(b, i, cf);
            } else if (first) {
                first_point(b, cfirst, i, tile, t);
            } else if (!update_point(b, s, i, rdt, tile, t)) {
                report("Stiffness not positive definite");
                elastic_point(b, i, cf);
            }
        }
        for (i32 c = 1; c <= kStateCols; ++c)
            move_rows(&b.statenew[i0 - 1 + nb * (c - 1)], &tile(1, c), n);
    }
}

}  // namespace

extern "C" {

void toplevel_vumat_cartesian(VORLEN_VUMAT_PARAMETERS) {
    (void)nfieldv, (void)lanneal, (void)steptime, (void)cmname, (void)coordmp, (void)relspininc,
        (void)tempold, (void)stretchold, (void)defgradold, (void)fieldold, (void)tempnew,
        (void)stretchnew, (void)defgradnew, (void)fieldnew;
    try {
        if (*nblock <= 0) return;
        const Block b{*nblock,
                      fallback_components(*ndir, *nshr),
                      std::max(*nstatev, 0),
                      charlength,
                      density,
                      straininc,
                      stressold,
                      stateold,
                      enerinternold,
                      enerinelasold,
                      stressnew,
                      statenew,
                      enerinternnew,
                      enerinelasnew};
        vumat_block(b, *ndir, *nshr, *nprops, props, *totaltime, *dt);
    } catch (...) {
        report("Unexpected failure");
    }
}

}  // extern "C"
}  // namespace vorlen::toplevel
