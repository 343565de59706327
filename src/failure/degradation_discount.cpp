// Discount rules of module degradation: viscous regularisation, sudden and isotropic discounts,
// the flag-driven factor table, its Nye matrix and the accumulated damage.
#include "failure/degradation_discount.hpp"

#include <algorithm>
#include <cmath>

#include "base/errorhandling.hpp"
#include "base/units.hpp"

namespace vorlen::degradation {
namespace {

constexpr double corefail = 0.015;  // residual through-thickness factor after core failure
constexpr double tenth = 0.1;
constexpr double half = 0.5;

// The regularised value of a damage, as the C entry gives it.
double regularised(double dold, double dnew, const double* eta, const double* dt) {
    double dv;
    __degradation_MOD_viscouseregularisation(&dold, &dnew, &dv, eta, dt);
    return dv;
}

// Degraded constants from index first_e (0-based) and strengths from first_s on reduced to at
// most fac times the undegraded ones, the strengths by magnitude with the undegraded sign.
void reduce(double* degpe, double* degps, const double* pe, const double* ps, int first_e,
            int first_s, double fac) {
    for (int i = first_e; i < 6; ++i) degpe[i] = std::min(degpe[i], pe[i] * fac);
    for (int i = first_s; i < 9; ++i)
        degps[i] = std::copysign(std::min(std::abs(degps[i]), std::abs(ps[i] * fac)), ps[i]);
}

// ratio(i) = min(ratio(i), degraded(i)/undegraded(i)) for i < n; false where an undegraded
// value is 0 (its ratio kept).
bool lower_ratios(double* ratio, const double* degraded, const double* undegraded, int n) {
    bool sound = true;
    for (int i = 0; i < n; ++i) {
        if (undegraded[i] == 0.0)
            sound = false;
        else
            ratio[i] = std::min(ratio[i], degraded[i] / undegraded[i]);
    }
    return sound;
}

// Steps of the sudden discount with the factors of the fibre and the inter-fibre mode.
void discount(double* degpe, double* degps, const double* pe, const double* ps, double* de,
              double* df, double* g_f, double* g_m, const double* ttol, double fac_ff,
              double fac_iff, const double* nm, const char* routine) {
    double rlt[6] = {0.0, 0.0, 0.0, 0.0, 0.0, 0.0};
    if (nm && std::any_of(nm, nm + 6, [](double x) { return x != -1.0; }))
        std::copy_n(nm, 6, rlt);
    if (*g_f >= ttol[0] || rlt[0] > ttol[1]) {
        *g_f = 1.0;
        reduce(degpe, degps, pe, ps, 0, 0, fac_ff);
    }
    if (std::any_of(rlt + 1, rlt + 6, [ttol](double x) { return x > ttol[1]; }) ||
        *g_m >= ttol[0]) {
        *g_m = 1.0;
        reduce(degpe, degps, pe, ps, 1, 2, fac_iff);
    }
    const bool moduli = lower_ratios(de, degpe, pe, 6);
    const bool strengths = lower_ratios(df, degps, ps, 9);
    if (!moduli || !strengths) errorhandling::report(-3, "Zero undegraded property", routine);
    degpe[6] = std::min(degpe[6], de[0] * pe[6]);
    degpe[7] = std::min(degpe[7], de[0] * pe[7]);
    degpe[8] = std::min(degpe[8], de[1] * pe[8]);
}

// The isotropic discount with the modulus factor degr_e and the Poisson ratio's test on degr.
void isotropic(const double* pe, double d, double life, double degr_e, double degr,
               double* degpe) {
    const double k = d >= 1.0 || life >= 1.0 ? 1.0 : 0.0;
    const double e = pe[0], nu = pe[1];
    degpe[0] = (1.0 - (1.0 - degr_e) * k) * e;
    degpe[1] = degr < 1.0 ? nu * (1.0 - k) : nu;
}

// The mode vectors of the rule sets outside 0 to 5, combined by entry-wise minimum.
void mode_vectors(Vec<double> v, const bool* f, bool fabric, double rdisc) {
    double fibre[9], fibre2[9], delam[9], core[9], total[9], total2[9];
    for (double* m : {fibre, fibre2, core, total, total2}) std::fill_n(m, 9, azero);
    std::fill_n(delam, 9, 1.0);
    fibre[0] = rdisc == 2.0 ? azero : half;
    fibre2[2] = rdisc == 2.0 ? azero : half;
    delam[4] = delam[5] = azero;  // G13 and G23
    core[8] = corefail;
    if (fabric) fibre[2] = fibre2[0] = total[2] = total2[0] = 1.0;
    const auto lower = [&v](const double* m) {
        for (int i = 1; i <= 9; ++i) v(i) = std::min(v(i), m[i - 1]);
    };
    // The matrix vector is all ones: a minimum with it changes nothing.
    if (f[1]) std::copy_n(fibre, 9, v.begin());
    if (fabric && f[2]) lower(fibre2);
    if (f[6]) lower(delam);
    if (f[7]) lower(core);
    if (f[9]) lower(total);
    if (f[10]) lower(total2);
}

}  // namespace

extern "C" {

void __degradation_MOD_viscouseregularisation(const double* dold, const double* dnew,
                                              double* dviscouse, const double* eta,
                                              const double* dt) {
    const double o = *dold, n = *dnew, e = *eta, t = *dt;
    if (e < 0.0 || t < 0.0) {
        errorhandling::report(-3, "Negative relaxation time or time step",
                              "ViscouseRegularisation");
        *dviscouse = n;
    } else if (e == 0.0) {
        *dviscouse = n;
    } else {
        *dviscouse = e / (e + t) * o + t / (e + t) * n;
    }
}

void SuddenDegradation(double* degpeprops, double* degpsprops, const double* peprops,
                       const double* psprops, double* de, double* df, double* g_f, double* g_m,
                       const double* ttol, const double* degrfac, const double* nm) {
    discount(degpeprops, degpsprops, peprops, psprops, de, df, g_f, g_m, ttol, *degrfac,
             *degrfac, nm, "SuddenDegradation");
}

void SuddenDegradation_viscouse(double* degpeprops, double* degpsprops, const double* peprops,
                                const double* psprops, double* de, double* df, double* g_f,
                                double* g_m, const double* ttol, const double* degrfac,
                                const double* nm, double* degr_old, const double* eta,
                                const double* dt) {
    io::write_list(6, {"Get regularised degradation factor"});
    const double target = 1.0 - *degrfac;
    const double ff = 1.0 - regularised(1.0 - *degr_old, target, eta, dt);
    *degr_old = ff;
    io::write_list(6, {"Viskose degradation for FF", ff});
    const double iff = 1.0 - regularised(1.0 - *std::min_element(de + 1, de + 6), target, eta, dt);
    std::fill(de + 1, de + 6, iff);
    io::write_list(6, {"Viskose degradation for IFF", iff});
    discount(degpeprops, degpsprops, peprops, psprops, de, df, g_f, g_m, ttol, ff, iff, nm,
             "SuddenDegradation_viscouse");
}

void IsotropicDegradation(const double* peprops, const double* d, const double* life,
                          const double* degr, double* degpeprops) {
    isotropic(peprops, *d, *life, *degr, *degr, degpeprops);
}

void IsotropicDegradation_viscouse(const double* peprops, const double* d, const double* life,
                                   const double* degr, double* degpeprops, double* degr_old,
                                   const double* eta, const double* dt) {
    const double degr_v = 1.0 - regularised(1.0 - *degr_old, 1.0 - *degr, eta, dt);
    *degr_old = degr_v;
    isotropic(peprops, *d, *life, degr_v, *degr, degpeprops);
}

void FalcomDegradation(double* d, const double* dds, const double* rdisc, const i32* degrid,
                       const lgl* plyistape, const double* fa) {
    static constexpr double fa_default[4] = {0.3, 0.3, 0.5, 0.5};
    const double* r = fa ? fa : fa_default;
    const double f_ff = r[0], a_ff = r[1], a_mm = r[2], a_dd = r[3];
    Vec<double> v(d, 9);
    std::fill_n(d, 9, 1.0);
    if (std::all_of(dds, dds + 10, [](double x) { return x == 0.0; })) return;
    bool f[11] = {false};  // f[k]: flag k (1-based) set
    for (int k = 1; k <= 10; ++k) f[k] = dds[k - 1] == 1.0;
    const bool fiber = f[1], fiber2 = f[2], matrix = f[4], delamu = f[6], core = f[7];
    const bool tape = *plyistape != 0;
    const auto all = [d](double x) { std::fill_n(d, 9, x); };
    switch (*degrid) {
    case 0:
        if (std::any_of(f + 1, f + 11, [](bool x) { return x; })) all(azero);
        break;
    case 1:
        if (fiber) v(1) = f_ff;
        if (!tape && fiber2) v(3) = f_ff;
        if (core) all(azero);
        break;
    case 2:
        if (fiber) v(1) = a_ff;
        if (!tape && fiber2) v(3) = a_ff;
        if (delamu) {
            v(5) = v(6) = a_dd;
            if (matrix && tape) v(2) = v(3) = v(4) = v(8) = a_mm;
            if (matrix && !tape) v(2) = v(4) = v(7) = v(8) = a_mm;
        }
        if (core) all(azero);
        break;
    case 3:
        if (core) {
            all(azero);
            v(9) = corefail;
        }
        break;
    case 4:
        if (tape) {
            if (fiber) v(1) = half, v(2) = v(3) = v(4) = tenth;
            if (matrix) v(2) = v(3) = v(4) = tenth;
        } else {
            if (fiber) {
                v(1) = half, v(2) = tenth;
                if (fiber2) v(3) = half;
                v(4) = tenth;
            } else if (fiber2) {
                v(2) = tenth, v(3) = half, v(4) = tenth;
            }
            if (matrix) v(2) = v(4) = tenth;
        }
        break;
    case 5:
        if (tape) {
            if (fiber) v(1) = v(2) = v(7) = half, v(4) = v(6) = azero;
            if (matrix) v(2) = v(3) = v(4) = v(5) = v(8) = azero;
        } else {
            if (fiber) {
                v(1) = v(2) = half;
                if (fiber2)
                    v(3) = v(7) = v(8) = half, v(4) = v(5) = v(6) = azero;
                else
                    v(4) = v(6) = azero, v(7) = half;
            } else if (fiber2) {
                v(2) = v(3) = v(8) = half, v(4) = v(5) = azero;
            }
            if (matrix) v(2) = v(4) = v(5) = v(6) = v(7) = v(8) = azero;
        }
        if (f[5] || delamu) v(5) = v(6) = azero;
        if (core) all(azero);
        break;
    default:
        mode_vectors(v, f, !tape, *rdisc);
    }
    if (f[8] && *rdisc < 1.0) {
        if (*rdisc < azero) all(azero);
        for (double& x : v)
            if (x != 0.0) x *= *rdisc;
    }
}

void GetNyeDegradationMatrix(double* d, const double* degrf, const i32* ntens, const i32* psflag) {
    const i32 n = *ntens;
    Mat<double> m(d, n, n);
    std::fill(m.begin(), m.end(), 1.0);
    if (n != 3 && n != 4 && n != 6) {
        errorhandling::report(-2, "Unsupported dimension in GetNyeDegradationMatrix");
        return;
    }
    const Vec<const double> g(degrf, 9);
    m(1, 1) = g(1);
    m(1, 2) = m(2, 1) = g(2);
    m(2, 2) = g(3);
    if (n == 3) {
        m(3, 3) = g(4);
        return;
    }
    m(4, 4) = g(4);
    if (psflag && *psflag == 0) return;
    m(1, 3) = m(3, 1) = g(7);
    m(2, 3) = m(3, 2) = g(8);
    m(3, 3) = g(9);
    if (n == 6) {
        m(5, 5) = g(5);
        m(6, 6) = g(6);
    }
}

double __degradation_MOD_getaccumulateddamage(const double* degr, const double* nodmg,
                                              const i32* ndegr, const i32* nply) {
    const i32 nd = *ndegr, np = *nply;
    if (nd < 1 || np < 1) {
        errorhandling::report(-3, "Empty damage table", "GetAccumulatedDamage");
        return 0.0;
    }
    const Mat<const double> t(degr, nd, np);
    const double undamaged = *nodmg;
    double sum = 0.0;
    for (i32 j = 1; j <= np; ++j) {
        double ply = 0.0;
        for (i32 i = 1; i <= nd; ++i) {
            const double x = undamaged <= azero ? 1.0 - t(i, j) : t(i, j) / undamaged;
            ply += std::log10(std::max(x, azero)) / -20.0;
        }
        sum += ply / nd;
    }
    return sum / np;
}

}  // extern "C"
}  // namespace vorlen::degradation
