// Resin material routine: eight constitutive models, resin failure criteria, isotropic and
// sudden degradation and cycle-by-cycle fatigue with cycle jumps.
#include "solver/toplevel_resin.hpp"

#include <algorithm>
#include <bit>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string_view>

#include "base/errorhandling.hpp"
#include "base/units.hpp"
#include "core/debugdata.hpp"
#include "core/jobdata.hpp"
#include "core/materialdata.hpp"
#include "core/shokriehdata.hpp"
#include "failure/degradation_discount.hpp"
#include "failure/fatigue_life.hpp"
#include "failure/gpcollection.hpp"
#include "materials/elasticity.hpp"
#include "materials/elasticity_isotropic.hpp"
#include "materials/elasticity_plasticity.hpp"
#include "materials/lamina_measures.hpp"
#include "materials/lamina_stiffness.hpp"
#include "materials/resin.hpp"
#include "solver/toplevel_layouts.hpp"
#include "solver/wrapper.hpp"

namespace vorlen::toplevel {
namespace {

constexpr double kResinHuge = std::numeric_limits<double>::max();
constexpr i32 kResinSlots = 22;      // state record
constexpr double kResinStep = 1e-6;  // central-difference step of the numerical tangents
constexpr i32 kSix = 6, kThree = 3;
constexpr lgl kResinFalse = 0, kResinTrue = 1;

void resin_report(i32 code, std::string_view problem) {
    errorhandling::report(code, problem, "umat_resin");
}

// Trace of the debug element: a label and its values on one line of standard output.
struct ResinTrace {
    bool on;
    void operator()(std::string_view label) const {
        if (on) io::write_list(6, {label});
    }
    void operator()(std::string_view label, double v) const {
        if (on) io::write_list(6, {label, v});
    }
    void operator()(std::string_view label, const double* v, i64 n) const {
        if (on) io::write_list(6, {label, io::Item::reals(v, n)});
    }
};

// Characters [first, first + text length) of the 80-character name (1-based first) equal text.
template <std::size_t N>
bool resin_tag(const char* name, int first, const char (&text)[N]) {
    return name && std::memcmp(name + first - 1, text, N - 1) == 0;
}

// Nearest integer (halves away from zero) as a 32-bit integer; false when it is not one.
bool resin_nint(double x, i32& k) {
    const double r = std::round(x);
    if (!(r >= double(INT_MIN) && r <= double(INT_MAX))) return false;
    k = static_cast<i32>(r);
    return true;
}

// The same, clamped to the 32-bit range (0 for NaN).
i32 resin_nint_clamped(double x) {
    i32 k = 0;
    if (resin_nint(x, k)) return k;
    return std::isnan(x) ? 0 : (x > 0 ? INT_MAX : INT_MIN);
}

double resin_regularization(i64 k) {
    const auto& r = materialdata::regularization;
    return r.allocated() && r.extent(1) >= k ? r(k) : 0.0;
}

// Everything an increment keeps besides the state record.
struct ResinPoint {
    i32 model = 0;
    double pe[12] = {};  // peprops: the model's constants
    double degpe[12];    // olddegpeprops: after degradation (a copy of pe to start with)
    i32 anz = 8;         // entries of pe
    double de[6] = {1, 1, 1, 1, 1, 1}, df[9] = {1, 1, 1, 1, 1, 1, 1, 1, 1};
    double xt = 0, xc = 0, np = 0, aw = 0, ew = 0, degr = 0, num = 0;
    // Model 7 only, each written before it is read: strengths, isotropic constants, and the
    // stiffness of the last stress evaluation.
    double ps[9], degps[9];
    double e_iso, nu_iso, g0;
    double k7[36];
};

// Constants of the model at the temperature and end strain (routine step 6, first part).
void resin_constants(ResinPoint& p, const double* props, i32 nprops, double temp,
                     const double* stran, const double* endstran, double dtime, double eqpl,
                     double d_flag, const i32* noel, const ResinTrace& trace) {
    double e = 0, nu = 0, num = 0, gamma = 0;
    double* pe = p.pe;
    switch (p.model) {
    case 0:
    case 4: {
        double et, ec, g, nut, nuc, a0, a1, alpha;
        resin::GetResinPlasticProperties(props, &nprops, &temp, &eqpl, &et, &ec, &g, &nut, &nuc,
                                         &a0, &a1, &alpha, &p.degr, &p.xt, &p.xc, &p.np, &p.aw,
                                         &p.ew);
        if (p.model == 4) {
            const double v[8] = {et, ec, g, nut, nuc, a0, a1, alpha};
            std::copy_n(v, 8, pe);
        } else {
            double eqstrain = 0.0;
            resin::EquivalentStrain(endstran, &eqstrain, &kThree, &kSix);
            resin::GetModulusFromTable(&eqstrain, &e, &temp);
            pe[0] = e;
            pe[2] = eqstrain < 0.0 ? nuc : nut;
            trace("eqstrain", eqstrain);
        }
        trace("props", props, nprops);
        trace("nut", nut), trace("nuc", nuc), trace("a0", a0), trace("a1", a1);
        trace("alpha", alpha);
        break;
    }
    default:
        resin::GetResinProperties(props, &nprops, &temp, &e, &nu, &num, &gamma, &p.degr, &p.xt,
                                  &p.xc, &p.np, &p.aw, &p.ew, noel);
        p.num = num;
        pe[0] = e, pe[1] = gamma, pe[2] = nu, pe[3] = num;
        pe[4] = p.model == 5 ? 1.0 : double(p.model);
        trace("props", props, nprops);
        trace("gamma", gamma), trace("nu", nu), trace("num", num);
        if (p.model == 7) {
            p.e_iso = e, p.nu_iso = nu, p.g0 = e / (2.0 * (1.0 + nu));
            trace("Get Resin orthotropic properties");
            double* q = pe;  // E1, E2, E3, G12, G13, G23, nu12, nu13, nu23, nu21, nu31, nu32
            resin::GetResinOrthotropicProperties(props, &nprops, &temp, &dtime, stran, endstran,
                                                 &q[0], &q[1], &q[2], &q[6], &q[7], &q[8], &q[9],
                                                 &q[10], &q[11], &q[3], &q[4], &q[5], &p.xt, &p.xc,
                                                 &p.np, &p.aw, &p.ew, &p.degr, noel, &d_flag);
            p.anz = 12;
            // The strengths beyond XT and XC are not given; placeholder ones keep the
            // discount's strength ratios defined (nothing reads them).
            const double s[9] = {p.xt, p.xc, 1, 1, 1, 1, 1, 1, 1};
            std::copy_n(s, 9, p.ps);
        }
    }
    trace("degr", p.degr), trace("A_woehler", p.aw), trace("exp_woehler", p.ew);
    trace("XT", p.xt), trace("XC", p.xc), trace("np", p.np);
    trace("PEProps", pe, p.anz);
}

// Degradation factor in slot 17 (models 1, 2, 3, 6, 7 while slot 18 is 0).
void resin_factor(const ResinPoint& p, double* sv) {
    if (sv[17] != 0.0) return;
    const double reg = resin_regularization(1);
    if (p.model == 1 || p.model == 2 || p.model == 3 || p.model == 6) {
        sv[16] = reg;
    } else if (p.model == 7) {
        if (reg != 0.0) {
            sv[16] = reg;
            return;
        }
        const double* q = p.pe;
        const double e = p.e_iso, nu = p.nu_iso, g0 = p.g0;
        const double iso = 1.0 - 3.0 * nu * nu - 2.0 * nu * nu * nu;
        const double ortho =
            1.0 - q[6] * q[9] - q[8] * q[11] - q[10] * q[7] - 2.0 * q[9] * q[11] * q[7];
        const auto bad = [](double x) { return x == 0.0 || !std::isfinite(x); };
        if (bad(e) || bad(g0) || bad(ortho)) {
            resin_report(-3, "Degradation factor undefined");
            return;
        }
        const double m = std::min({q[3] / g0, q[4] / g0, q[5] / g0, q[0] / e, q[1] / e, q[2] / e});
        sv[16] = m * iso / ortho;
    }
}

// Regularised sudden discount of model 7 towards degr with life fractions nm.
void resin_viscous(ResinPoint& p, double* sv, double life, double dtime) {
    const double e = p.e_iso, g = p.g0, nu = p.nu_iso;
    const double base[9] = {e, e, e, g, g, g, nu, nu, nu};
    const double nm[6] = {life, life, life, life, life, life}, ttol[2] = {1.0, 1.0};
    const double eta = resin_regularization(2);
    degradation::SuddenDegradation_viscouse(p.degpe, p.degps, base, p.ps, p.de, p.df, &sv[17],
                                            &sv[17], ttol, &p.degr, nm, &sv[16], &eta, &dtime);
    std::fill(p.degpe + 6, p.degpe + 12, nu);
}

// Stress of the model's law with the degraded constants (model 4: the constants given).
void resin_stress(ResinPoint& p, double* s, double* c, const double* oldstress, const double* stran,
                  const double* dstran, const double* endstran, const double* plastic, double* eqpl,
                  double temp, double kfac, const i32* noel) {
    const i32 eight = 8, five = 5, two = 2, twelve = 12, one = 1;
    switch (p.model) {
    case 0:
    case 1:
    case 2:
    case 3:
        elasticity::GetStressFromIsotropicViscoElasticity(s, endstran, p.degpe, &kSix, &kThree,
                                                          &eight);
        break;
    case 4:
        std::copy_n(oldstress, 6, s);
        elasticity::elasticity_getstressfromplastitcity(s, eqpl, c, stran, dstran, plastic, &kSix,
                                                        &kThree, &eight, &temp);
        break;
    case 5:
        elasticity::GetStressFromDevVolDecomposition(s, endstran, p.degpe, &kSix, &kThree, &five,
                                                     c);
        break;
    case 6: {
        const double q[2] = {temp, 1.0 - (1.0 - p.degr) * kfac};
        const double unused = 0.0;
        elasticity::GetStressFromCubicElasticity(s, endstran, q, &kSix, &kThree, &two, &unused,
                                                 noel);
        break;
    }
    default:
        lamina::GetGeneralizedNyeOnAxisSC(p.k7, p.degpe, &kSix, &twelve, &one, nullptr, nullptr,
                                          nullptr);
        lamina::GetStressVector(s, p.k7, stran, dstran, &kThree, &kSix, &kResinTrue, &kResinFalse);
    }
}

// Failure criterion of the material name (routine step 9); slots 2, 3, 7 and maybe 18.
void resin_criterion(const ResinPoint& p, const char* name, const double* s, const double* endstran,
                     double& d, double& life, double* sv, const ResinTrace& trace) {
    double di1 = 0.0, dmises = 0.0, i1cr = 0.0, misescr = 0.0;
    if (resin_tag(name, 10, "_GPHASTRAIN")) {
        trace("GPHASTRAIN auswerten");
        const double e[6] = {endstran[0],       endstran[1],       endstran[2],
                             0.5 * endstran[3], 0.5 * endstran[4], 0.5 * endstran[5]};
        gpcollection::GPHa(e, &p.xt, &p.xc, &p.np, &d, &di1, &dmises, &i1cr, &misescr, &life);
        sv[17] = life;
    } else if (resin_tag(name, 10, "_GPHA")) {
        trace("GPHA Stress auswerten");
        gpcollection::GPHa(s, &p.xt, &p.xc, &p.np, &d, &di1, &dmises, &i1cr, &misescr, &sv[17]);
    } else if (resin_tag(name, 10, "_GPRA")) {
        trace("GPRA Stress auswerten");
        gpcollection::GPRaghava(s, &p.xt, &p.xc, &d);
    } else if (resin_tag(name, 10, "_GPBA")) {
        trace("GPBA Stress auswerten");
        gpcollection::GPBauwens(s, &p.xt, &p.xc, &d);
    } else if (resin_tag(name, 10, "_GPDP")) {
        gpcollection::GPDruckerPrager(s, &p.xt, &p.xc, &d, &di1);
    }
    sv[6] = dmises;
    sv[1] = di1;
    sv[2] = d;
    trace("d = ", d);
    trace("failure indicator = ", sv[17]);
}

// The step's cycle settings, read in fatigue steps.
struct ResinCycle {
    double time_period, time_calc, njimp_min, njimp_max, njimp_zul, maxcycle;
    i32 jumpalgo, nmaxcycles, ncycles;
};

void resin_count(const ResinCycle& c, double& njimp, double& n, const double* time,
                 const i32* jstep, i32 stepflag) {
    fatigue::CycleCount(&njimp, &n, &c.maxcycle, &time[0], &c.time_calc, &c.time_period,
                        &c.njimp_min, &c.njimp_max, &c.njimp_zul, &c.ncycles, &c.nmaxcycles,
                        &jstep[0], &jobdata::nsteps, &c.jumpalgo, &stepflag);
}

// Cycle completion, life, degradation and cycle jumps of a fatigue increment (routine step 14).
void resin_fatigue(ResinPoint& p, double* sv, i64 column, double d, double& life, double& n,
                   double& njimp, const double* time, double dtime, const i32* jstep, i32 stepflag,
                   const i32* noel, const ResinTrace& trace) {
    const auto& cp = shokriehdata::cycleprops;
    if (cp.extent(1) < 10) {
        resin_report(-3, "Cycle settings incomplete");
        return;
    }
    ResinCycle c;
    c.time_period = cp(4, column);
    if (!(c.time_period > 0.0)) {
        resin_report(-3, "Time period not above zero");
        return;
    }
    c.jumpalgo = resin_nint_clamped(cp(3, column));
    c.nmaxcycles = resin_nint_clamped(cp(6, column));
    c.njimp_min = cp(7, column), c.njimp_max = cp(8, column), c.njimp_zul = cp(9, column);
    c.time_calc = cp(5, column);
    c.ncycles = resin_nint_clamped(cp(5, column) / c.time_period);
    c.maxcycle = cp(10, column);
    trace("fatigue starts");
    trace("Step", double(jstep[0]));

    // Completed cycle: the rounded times divide, or the ratio reached the counter.
    const double ratio = time[0] / c.time_period;
    i32 m1 = 0, m2 = 0;
    const bool divides = resin_nint(1000.0 * time[0], m1) &&
                         resin_nint(1000.0 * c.time_period, m2) && m2 != 0 && m1 % m2 == 0;
    trace("(time(1)/Time_period)", ratio), trace("Statev(20)", sv[19]);
    if ((divides || ratio >= sv[19]) && time[1] != 0.0) {
        trace("Cycle completed");
        sv[19] += 1.0;
        if (p.xt > 0.0) {
            double nf = 0.0;
            fatigue::GetFatigueLife(&sv[18], &sv[7], &p.aw, &p.ew, &p.num, &njimp, &nf, &life,
                                    noel);
            sv[12] = nf;
            trace("So", sv[7]), trace("Su", sv[18]), trace("Nf", nf), trace("life", life);
            if (p.model != 7) {
                degradation::IsotropicDegradation(p.pe, &d, &life, &p.degr, p.degpe);
            } else if (life == 1.0) {
                resin_viscous(p, sv, 1.0, dtime);
            }
            trace("Props after degradation", p.degpe, p.anz);
            sv[5] = life;
            sv[11] = life == 1.0 ? kResinHuge : (1.0 - life) * nf;
            if (life == 1.0) sv[17] = 1.0;
            trace("statev(12)", sv[11]);
        }
        if (c.jumpalgo <= 3) {
            resin_count(c, njimp, n, time, jstep, stepflag);
            sv[0] = n, sv[8] = njimp;
            trace("n", n), trace("njimp", njimp);
        }
        sv[7] = -kResinHuge;
        sv[18] = kResinHuge;
    }
    // Global jump: one per cycle window.
    trace("time(1)/Time_period", ratio), trace("statev(21)", sv[20]);
    if (ratio - (sv[19] - 1.0) >= 1e-15 && ratio - sv[19] <= 1e-15 && sv[19] != sv[20] &&
        time[1] != 0.0) {
        sv[20] += 1.0;
        if (c.jumpalgo == 4) {
            trace("get global cycle jump"), trace("dnf", shokriehdata::dnf);
            c.njimp_zul = shokriehdata::dnf;
            resin_count(c, njimp, n, time, jstep, stepflag);
            if (time[0] > c.time_period) {
                sv[8] = njimp, sv[0] = n;
                trace("statev(9)", sv[8]), trace("statev(1)", sv[0]);
            }
        }
    }
}

// Copies of fixed lengths, which compile to a few moves (a copy of a run-time length is a string
// instruction with a long start-up, a 6 by 6 matrix at once as well): the first ntens (4 or 6)
// entries of a vector, and the leading ntens by ntens block of a matrix with leading dimensions
// lda and ldb.
void resin_copy(const double* a, i32 ntens, double* b) {
    if (ntens == 6)
        std::copy_n(a, 6, b);
    else
        std::copy_n(a, 4, b);
}

void resin_copy(const double* a, i32 lda, i32 ntens, double* b, i32 ldb) {
    for (i32 j = 0; j < ntens; ++j) resin_copy(a + lda * j, ntens, b + ldb * j);
}

// Whether the stress s(6) and the tangent c(36) are finite and the record sv(22) holds no NaN,
// tested on every value without a branch: x - x is +0 (all bits zero) for a finite x and NaN
// otherwise, and x != x only for a NaN; the bits are gathered with OR.
bool resin_finite(const double* s, const double* c, const double* sv) {
    std::uint64_t bits = 0;
    for (int i = 0; i < 6; ++i) bits |= std::bit_cast<std::uint64_t>(s[i] - s[i]);
    for (int i = 0; i < 36; ++i) bits |= std::bit_cast<std::uint64_t>(c[i] - c[i]);
    for (int i = 0; i < kResinSlots; ++i) bits |= std::uint64_t{sv[i] != sv[i]};
    return bits == 0;
}

void resin_point(double* spannung, double* statev, double* tangente, const double* dehnung,
                 const double* ddehnung, const double* time, double dtime, double temp,
                 const char* materl, i32 ndi, i32 nshr, i32 ntens, i32 nstatv, const double* props,
                 i32 nprops, const double* dfgrd0, const double* dfgrd1, const i32* noel,
                 const i32* jstep, i32 kinc) {
    const ResinTrace trace{*noel == debugdata::edebug};
    if (nstatv < kResinSlots && kinc <= 1) {
        char name[81];
        for (int i = 0; i < 80; ++i) name[i] = materl ? materl[i] : ' ';
        name[80] = '\0';
        std::printf("WARNING: Too less nstatev allocated for material %s\n", name);
        std::fflush(stdout);
    }
    const i32 model = materialdata::modelid;
    const char* problem = nullptr;
    i32 code = -3;
    if (ntens == 3 || !implicit_layout(ndi, nshr, ntens))
        problem = "Unsupported components";
    else if (nstatv < kResinSlots)
        problem = "Too few state variables";
    else if (model < 0 || model > 7)
        problem = "Unknown material model", code = -2;
    else if (nprops < (model == 0 || model == 4 ? 25 : 21))
        problem = "Too few properties";
    if (problem) {
        resin_report(code, problem);
        const i64 n = implicit_fallback_components(ndi, nshr, ntens);
        std::fill_n(tangente, n * n, 0.0);
        return;
    }
    double* sv = statev;  // sv[k - 1] is slot k

    // Working copies in six components.
    double s[6] = {}, stran[6] = {}, dstran[6] = {}, endstran[6];
    resin_copy(spannung, ntens, s);
    resin_copy(dehnung, ntens, stran);
    resin_copy(ddehnung, ntens, dstran);
    for (int i = 0; i < 6; ++i) endstran[i] = stran[i] + dstran[i];
    double oldstress[6];
    std::copy_n(s, 6, oldstress);
    // DDSDDE as it came (t0) serves the energy, whose terms 0.5 STRAN_i T0_ij DSTRAN_j are taken
    // before anything is written, and model 6, whose tangent it stays. Every other model's law
    // or tangent writes all of c.
    const double* t0 = tangente;
    double t0_six[36], w0[36], c[36];
    if (ntens != 6) {
        std::fill_n(t0_six, 36, 0.0);
        resin_copy(tangente, ntens, ntens, t0_six, 6);
        t0 = t0_six;
    }
    for (int j = 0; j < 6; ++j)
        for (int i = 0; i < 6; ++i) w0[i + 6 * j] = 0.5 * stran[i] * t0[i + 6 * j] * dstran[j];
    if (model == 6) resin_copy(t0, 6, 6, c, 6);
    trace("-----------------------------");
    trace("NOEL", double(*noel)), trace("ModelID", double(model));
    trace("Increment", double(kinc));
    trace("ENDSTRAN", endstran, 6), trace("DSTRAN", dstran, 6);
    if (trace.on) {
        double green[9], tr[9];
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j) tr[i + 3 * j] = dfgrd1[j + 3 * i];
        lamina::GetGreenStrain(green, dfgrd1);
        trace("DFGRD0", dfgrd0, 9), trace("DFGRD1", dfgrd1, 9);
        trace("DFGRD1 transponse", tr, 9), trace("Greenendstran", green, 9);
        trace("time(1)", time[0]), trace("time(1)+dtime", time[0] + dtime);
        trace("Regularization", resin_regularization(1));
    }

    // Fatigue switch and the step's cycle settings.
    bool isfatigue = resin_tag(materl, 29, "_FATIGUE");
    i32 stepflag = 0;
    const auto& cp = shokriehdata::cycleprops;
    const i64 column = jstep[0];
    if (!cp.allocated()) {
        isfatigue = false;
    } else if (column < 1 || column > cp.extent(2)) {
        resin_report(-3, "Step outside the cycle settings");
        isfatigue = false;
    } else if (cp.extent(1) >= 2 && cp(2, column) == 1.0) {
        isfatigue = true;
        stepflag = 1;
    }
    trace("isFatigue", isfatigue ? 1.0 : 0.0);

    // State start.
    if (kinc <= 1) {
        if (sv[nstatv - 1] == kResinHuge) sv[nstatv - 1] = 0.0;
        if (std::all_of(sv, sv + nstatv, [](double x) { return x == 0.0; })) {
            sv[0] = 1.0, sv[7] = -kResinHuge, sv[18] = kResinHuge, sv[19] = 1.0;
        }
    }
    // The record as the increment found it, given back when the law yields no finite result.
    double record[kResinSlots];
    std::copy_n(sv, kResinSlots, record);
    double n = 0.0, njimp = 0.0;
    if (isfatigue) {
        n = sv[0], njimp = sv[8];
        if (n == 1.0) njimp = 1.0;
    }
    double life = sv[5];
    const double life_old = life;
    double d = sv[2];
    const double d_old = d;
    trace("d-old", d_old), trace("failure indicator", sv[17]);

    // Constants, XT and the degradation factor.
    ResinPoint p;
    p.model = model;
    double eqpl = model == 4 ? sv[10] : 0.0;
    resin_constants(p, props, nprops, temp, stran, endstran, dtime, eqpl, sv[17], noel, trace);
    sv[15] = p.xt;
    resin_factor(p, sv);
    trace("Statev 17", sv[16]);

    // Degradation at the start of the increment.
    std::copy_n(p.pe, 12, p.degpe);
    if (model != 7) {
        degradation::IsotropicDegradation(p.pe, &d_old, &life_old, &p.degr, p.degpe);
    } else {
        std::copy_n(p.ps, 9, p.degps);
        const double nm[6] = {life_old, life_old, life_old, life_old, life_old, life_old};
        const double ttol[2] = {1.0, 1.0};
        degradation::SuddenDegradation(p.degpe, p.degps, p.pe, p.ps, p.de, p.df, &sv[17], &sv[17],
                                       ttol, &sv[16], nm);
        std::copy_n(p.pe + 6, 6, p.degpe + 6);
    }
    trace("Props considering damage", p.degpe, p.anz);

    // Stress, criterion, and after failure the degraded second evaluation.
    double neweqpl = eqpl;
    trace("Spannungsberechnung mit DegPEProps");
    resin_stress(p, s, c, oldstress, stran, dstran, endstran, p.pe, &neweqpl, temp,
                 std::floor(std::max(d_old, life_old)), noel);
    trace("STRESS", s, 6);
    resin_criterion(p, materl, s, endstran, d, life, sv, trace);
    if (sv[17] >= 1.0) {
        trace("OLD DEGR", sv[16]), trace("DTIME", dtime), trace("Degradation auf Basis", d);
        if (model != 7)
            degradation::IsotropicDegradation(p.pe, &d, &life, &p.degr, p.degpe);
        else
            resin_viscous(p, sv, life, dtime);
        trace("DegPEProps", p.degpe, p.anz), trace("NEW DEGR", sv[16]);
        if (model == 7) trace("DegPSProps", p.degps, 9);
        neweqpl = eqpl;
        resin_stress(p, s, c, oldstress, stran, dstran, endstran, p.degpe, &neweqpl, temp,
                     std::floor(std::max(d, life)), noel);
        trace("Stress", s, 6);
    }
    if (model == 4) sv[10] = neweqpl;

    // Equivalent fatigue stress and the extremes of the running cycle.
    if (p.xt > 0.0) {
        double eq = 0.0;
        fatigue::GetEquivalentFatigueStress(s, &p.xt, &p.xc, &p.np, &eq);
        sv[21] = eq;
        sv[7] = std::max(sv[7], eq / p.xt);
        sv[18] = std::min(sv[18], eq / p.xt);
        trace("Equivalent Stress", eq), trace("statev(22)", sv[21]), trace("current xt", p.xt);
        trace("sdv 3", sv[2]), trace("statev(8)", sv[7]), trace("statev(19)", sv[18]);
    } else {
        resin_report(-3, "Tensile strength not above zero");
    }

    // Tangent.
    const i32 eight = 8, twelve = 12;
    if (model <= 3 || (model == 7 && d >= 1.0)) {
        trace("Numerische Tangente");
        auto* law = model == 7 ? elasticity::GetStressFromOrthotropicElasticity
                               : elasticity::GetStressFromIsotropicViscoElasticity;
        elasticity::elasticity_getnumericaltangent(c, law, p.degpe, s, oldstress, endstran, &kSix,
                                                   &kThree, model == 7 ? &twelve : &eight,
                                                   &kResinFalse, nullptr, &kResinStep, nullptr);
    } else if (model == 7) {
        resin_copy(p.k7, 6, 6, c, 6);
    } else if (model == 4) {
        // The plasticity law's tangent acts on tensor shears: per engineering shear, half.
        for (int i = 18; i < 36; ++i) c[i] *= 0.5;
    }
    trace("DDSDDE", c, 36);

    // Strain energy density.
    double w = 0.0;
    for (int i = 0; i < 6; ++i)
        for (int j = 0; j < 6; ++j)
            w += w0[i + 6 * j] + 0.5 * endstran[i] * c[i + 6 * j] * dstran[j];
    sv[9] += w;

    if (isfatigue)
        resin_fatigue(p, sv, column, d, life, n, njimp, time, dtime, jstep, stepflag, noel, trace);

    sv[3] = p.degpe[0];
    sv[4] = p.degpe[1];
    if (!resin_finite(s, c, sv)) {
        // Constants without a stiffness (a Poisson ratio of 0.5 or -1, say).
        resin_report(-3, "Stress or tangent not finite");
        std::copy_n(record, kResinSlots, sv);
        std::fill_n(tangente, i64(ntens) * ntens, 0.0);
        return;
    }
    resin_copy(s, ntens, spannung);
    resin_copy(c, 6, ntens, tangente, ntens);
}

}  // namespace

extern "C" {

void toplevel_umat_resin(double* spannung, double* statev, double* tangente, double* sse,
                         double* spd, double* scd, double* rpl, double* ddsddt, double* drplde,
                         double* drpldt, const double* dehnung, const double* ddehnung,
                         const double* time, const double* dtime, const double* temp,
                         const double* dtemp, const double* predef, const double* dpred,
                         const char* materl, const i32* nnormal, const i32* nshr,
                         const i32* nstresscomp, const i32* nstatv, const double* props,
                         const i32* nprops, const double* coords, const double* drot,
                         double* pnewdt, const double* celent, const double* dfgrd0,
                         const double* dfgrd1, const i32* noel, const i32* npt, const i32* kslay,
                         const i32* kspt, const i32* jstep, const i32* kinc) {
    (void)sse, (void)spd, (void)scd, (void)rpl, (void)ddsddt, (void)drplde, (void)drpldt,
        (void)dtemp, (void)predef, (void)dpred, (void)coords, (void)drot, (void)pnewdt,
        (void)celent, (void)npt, (void)kslay, (void)kspt;
    try {
        resin_point(spannung, statev, tangente, dehnung, ddehnung, time, *dtime, *temp, materl,
                    *nnormal, *nshr, *nstresscomp, *nstatv, props, *nprops, dfgrd0, dfgrd1, noel,
                    jstep, *kinc);
    } catch (...) {
        resin_report(-3, "Unexpected failure");
    }
}

void toplevel_usermat_resin(VORLEN_USERMAT_PARAMETERS) {
    wrapper::usermat_of(toplevel_umat_resin, "usermat_resin", VORLEN_USERMAT_ARGUMENTS);
}

}  // extern "C"
}  // namespace vorlen::toplevel
