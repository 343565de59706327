// Shokrieh driver of module fatigue: static response, failure and discount within a cycle,
// gradual degradation and cycle jumps at its bottom.
#include "failure/fatigue_shokrieh.hpp"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstring>

#include "base/errorhandling.hpp"
#include "base/numbers.hpp"
#include "core/debugdata.hpp"
#include "core/shokriehdata.hpp"
#include "failure/degradation_discount.hpp"
#include "failure/degradation_fatigue.hpp"
#include "failure/fatigue_life.hpp"
#include "failure/gpcollection.hpp"
#include "failure/mccollection.hpp"
#include "base/units.hpp"
#include "materials/lamina_curvefitting.hpp"
#include "materials/lamina_stiffness.hpp"

namespace vorlen::fatigue {
namespace {

constexpr double huge = DBL_MAX;
constexpr i32 nrec = 77;
constexpr i32 cfmethods[6] = {0, 0, 0, 1, 1, 0};  // Kaestner law in the 12 and 13 shear
constexpr int cv[9] = {0, 1, 2, 6, 7, 8, 3, 4, 5};  // (E1 .. G23, nu12 .. nu23) to Nye order
constexpr double ttol[2] = {1.0, 1.0};
constexpr double jump_tolerance = 0.9;  // retained fraction of the allowable jump

// Record positions (0-based) of the state entries.
enum : int {
    s_n = 0, s_gf = 1, s_gm = 2, s_angle = 3, s_strength = 4, s_moduli = 13, s_tmax = 19,
    s_tmin = 25, s_cmax = 31, s_cmin = 37, s_jump = 43, s_fflag = 44, s_mflag = 45, s_nm = 46,
    s_stress = 52, s_de = 58, s_df = 64, s_tlow = 73, s_thigh = 74, s_tmean = 75, s_allow = 76
};

struct PropertySet {
    double e[9], x[9], epsf[9], alpha_t[6], alpha_c[6], beta_t[6], beta_c[6], lambda[6],
        gamma[6], a[6], b[6], u[6], v[6], eta, degr;
    // Paired positions of the tensile and the compressive strength of direction i (0-based).
    static int tens(int i) { return i < 3 ? 2 * i : i + 3; }
    static int comp(int i) { return i < 3 ? 2 * i + 1 : i + 3; }
};

void property_set(const double* props, const i32* nprops, double temp, PropertySet& p) {
    GetShokriehProperties(props, nprops, &temp, p.e, p.x, p.epsf, p.alpha_t, p.alpha_c, p.beta_t,
                          p.beta_c, p.lambda, p.gamma, p.a, p.b, p.u, p.v, &p.eta, &p.degr);
}

// Whether the moduli and the strengths of the set are positive normal numbers, as the
// stiffness, the strength ratios and the failure indices need; records -3 otherwise.
bool usable_set(const PropertySet& p) {
    if (std::all_of(p.e, p.e + 6, positive_normal) &&
        std::all_of(p.x, p.x + 9, [](double x) { return positive_normal(std::abs(x)); }))
        return true;
    errorhandling::report(-3, "Modulus or strength not a positive normal number", "GetShokrieh");
    return false;
}

// Nearest integer, saturated at the 32-bit range (0 for not a number).
i32 nint(double x) {
    if (std::isnan(x)) return 0;
    return static_cast<i32>(std::lround(std::clamp(x, -2147483648.0, 2147483647.0)));
}

// a is a multiple of m (m not 0).
bool multiple(long a, long m) { return m == -1 || a % m == 0; }

struct Settings {
    bool fatigue = false;
    i32 istep = 0, nstep = 0, jumpalgo = 0, ncycles = 0, nmaxcycles = 0;
    double period = 0.0, time_calc = 0.0, njimp_min = 0.0, njimp_max = 0.0, maxcycle = 0.0;
    double lim = 0.1;
    long period_ms = 0;
};

// Cycle settings of step kstep from shokriehdata::cycleprops.
Settings settings_of(i32 kstep) {
    Settings st;
    st.istep = kstep;
    const auto& cp = shokriehdata::cycleprops;
    if (!cp.allocated() || cp.extent(1) < 10 || kstep < 1 || kstep > cp.extent(2)) {
        errorhandling::report(-3, "No cycle settings for the step", "GetShokrieh");
        return st;
    }
    const i64 k = kstep;
    st.nstep = static_cast<i32>(std::min<i64>(cp.extent(2), 2147483647));
    st.jumpalgo = nint(cp(3, k));
    st.period = cp(4, k);
    st.time_calc = cp(5, k);
    st.ncycles = nint(cp(5, k) / cp(4, k));
    st.nmaxcycles = nint(cp(6, k));
    st.njimp_min = cp(7, k);
    st.njimp_max = cp(8, k);
    st.maxcycle = cp(10, k);
    if (st.jumpalgo == 4 && cp.extent(1) == 11) st.lim = cp(11, k);
    st.fatigue = cp(2, k) == 1.0;
    if (st.fatigue) {
        st.period_ms = std::lround(1000.0 * st.period);
        if (st.period_ms == 0) {
            errorhandling::report(-3, "Cycle period under a thousandth", "GetShokrieh");
            st.fatigue = false;
        }
    }
    return st;
}

// CycleCount with the step's settings.
void count_cycles(const Settings& st, double time, double njimp_zul, i32 jumpalgo, i32 stepflag,
                  double& njimp, double& n) {
    CycleCount(&njimp, &n, &st.maxcycle, &time, &st.time_calc, &st.period, &st.njimp_min,
               &st.njimp_max, &njimp_zul, &st.ncycles, &st.nmaxcycles, &st.istep, &st.nstep,
               &jumpalgo, &stepflag);
}

// Inputs of one increment, copied so that outputs may share storage with them.
struct Increment {
    double stran[6], dstran[6], old_stress[6];
    i32 iszflag;
};

// Secant stiffness of moduli(6) with the Poisson ratios poisson(3), the shear laws of
// cfmethods (linear where de(i) <= degr), and the stress it gives at the end strain.
void secant(const double* moduli, const double* poisson, const double* de, double degr,
            double eta, const Increment& inc, double* ddsdde, double* stress) {
    double fe[9], nye[9];
    for (int i = 0; i < 6; ++i) {
        const i32 law = de[i] <= degr ? 0 : cfmethods[i];
        fe[i] = lamina::GetMatParamByCurveFitting(&moduli[i], &eta, &inc.old_stress[i],
                                                  &inc.stran[i], &inc.dstran[i], &law);
    }
    std::copy_n(poisson, 3, fe + 6);
    for (int k = 0; k < 9; ++k) nye[k] = fe[cv[k]];
    constexpr i32 six = 6, three = 3;
    constexpr lgl yes = 1, no = 0;
    lamina::GetNyeStiffnessMatrix(ddsdde, nye, &six, &inc.iszflag);
    if (stress)
        lamina::GetStressVector(stress, ddsdde, inc.stran, inc.dstran, &three, &six, &yes, &no);
}

// Present state of the ply: factors, degraded constants and indices.
struct Ply {
    double n, g_f, g_m, angle, cjimp, nm[6], de[6], df[9], dep[9], dxp[9];
    double eta_n;

    // Degraded constants of the set p with the present factors.
    void degrade(const PropertySet& p) {
        for (int i = 0; i < 6; ++i) dep[i] = p.e[i] * de[i];
        dep[6] = de[0] * p.e[6];
        dep[7] = de[0] * p.e[7];
        dep[8] = de[1] * p.e[8];
        for (int i = 0; i < 9; ++i) dxp[i] = p.x[i] * df[i];
    }
    // The shear non-linearity unless G12 is exhausted (kept where degr >= 1).
    void shear_law(const PropertySet& p) {
        eta_n = de[3] <= p.degr && p.degr < 1.0 ? 0.0 : p.eta;
    }
    // Sudden discount against the undegraded set p, with life fractions lf when given.
    void discount(const PropertySet& p, const double* lf) {
        degradation::SuddenDegradation(dep, dxp, p.e, p.x, de, df, &g_f, &g_m, ttol, &p.degr, lf);
        if (std::max(g_f, g_m) == 1.0 && p.degr < 1.0) eta_n = 0.0;
    }
    void store(double* statev) const {
        statev[s_n] = n;
        statev[s_gf] = g_f;
        statev[s_gm] = g_m;
        statev[s_angle] = angle;
        std::copy_n(dxp, 9, statev + s_strength);
        std::copy_n(dep, 6, statev + s_moduli);
        std::copy_n(nm, 6, statev + s_nm);
        std::copy_n(de, 6, statev + s_de);
        std::copy_n(df, 9, statev + s_df);
    }
};

void debug_values(const char* label, const double* v, int n) {
    io::write_list(6, {label, io::Item::reals(v, n)});
}

// Fatigue update of the six directions at a cycle bottom (set ev of the cycle's mean
// temperature), the cyclic discounts and the allowance statev(77).
void cycle_bottom(Ply& ply, const PropertySet& ev, double lim, i32 noel, double* statev,
                  bool debug) {
    double allow[6] = {huge, huge, huge, huge, huge, huge};
    const bool catastrophic = ply.g_f >= 1.0 || statev[s_fflag] == 1.0;
    if (!catastrophic) {
        if (debug) io::write_list(6, {"Apply degradation within cycle"});
        constexpr i32 scheme = 2;
        for (int i = 0; i < 6; ++i) {
            const int t = PropertySet::tens(i), c = PropertySet::comp(i);
            const lgl shear = i > 2;
            const double ratio = shear ? 1.0 : std::abs(ev.x[c]) / ev.x[t];
            degradation::GradualDegradation(
                &statev[s_tmax + i], &statev[s_tmin + i], &statev[s_cmax + i],
                &statev[s_cmin + i], &ratio, &ev.a[i], &ev.b[i], &ev.u[i], &ev.v[i], &ply.nm[i],
                &ply.n, &ply.cjimp, &ev.alpha_t[i], &ev.alpha_c[i], &ev.beta_t[i], &ev.beta_c[i],
                &ev.gamma[i], &ev.lambda[i], &ply.de[i], &ply.df[t], &ply.df[c], &ev.degr,
                &scheme, &shear, &noel, &allow[i], &lim);
        }
        for (int i = 0; i < 6; ++i) ply.dep[i] = ev.e[i] * ply.de[i];
    }
    if (debug) io::write_list(6, {"Apply sudden cyclic degradation"});
    ply.discount(ev, ply.nm);
    if (ply.g_m == 1.0) std::fill_n(allow + 1, 5, huge);
    if (ply.g_f == 1.0) allow[0] = huge;
    statev[s_allow] = *std::min_element(allow, allow + 6);
    ply.discount(ev, nullptr);
    if (ply.g_f >= 1.0 || ply.nm[0] >= 1.0) statev[s_fflag] = 1.0;
    if (ply.g_m >= 1.0 || std::any_of(ply.nm + 1, ply.nm + 6, [](double x) { return x >= 1.0; }))
        statev[s_mflag] = 1.0;
}

// Allowable jumps of the six directions (jump algorithm 6) into statev(77).
void allowable_jumps(const Ply& ply, const PropertySet& ev, double* statev) {
    double allow[6];
    for (int i = 0; i < 6; ++i) {
        const int t = PropertySet::tens(i), c = PropertySet::comp(i);
        const bool tension = std::abs(statev[s_cmin + i]) <= std::abs(statev[s_tmax + i]);
        const int k = tension ? t : c;
        const double speak = tension ? statev[s_tmax + i] : statev[s_cmax + i];
        double* sbottom = tension ? &statev[s_tmin + i] : &statev[s_cmin + i];
        const double alpha = tension ? ev.alpha_t[i] : ev.alpha_c[i];
        const double beta = tension ? ev.beta_t[i] : ev.beta_c[i];
        AllowableCycleJump(&speak, sbottom, &ev.x[t], &ev.x[c], &ev.x[k], &ev.e[i], &ev.epsf[k],
                           &ev.a[i], &ev.b[i], &ev.u[i], &ev.v[i], &ply.nm[i], &allow[i], &alpha,
                           &beta, &ev.gamma[i], &ev.lambda[i], &ply.dxp[k], &ply.dep[i],
                           &ply.de[i], &ply.df[k], &ev.degr, &jump_tolerance);
    }
    statev[s_allow] = *std::min_element(allow, allow + 6);
}

// Extreme strength ratios and temperatures of the running cycle.
void track_extremes(const Ply& ply, const double* stress, double temp_ev, double* statev) {
    for (int i = 0; i < 6; ++i) {
        const double r = stress[i] / ply.dxp[PropertySet::tens(i)];
        const double rc = std::abs(stress[i] / ply.dxp[PropertySet::comp(i)]);
        statev[s_tmax + i] = std::max(statev[s_tmax + i], r);
        statev[s_tmin + i] = std::min(statev[s_tmin + i], r);
        statev[s_cmax + i] = std::max(statev[s_cmax + i], rc);
        statev[s_cmin + i] = std::min(statev[s_cmin + i], rc);
    }
    statev[s_tlow] = std::min(statev[s_tlow], temp_ev);
    statev[s_thigh] = std::max(statev[s_thigh], temp_ev);
}

void start_cycle(double* statev, double temp_ev) {
    std::fill_n(statev + s_tmax, 6, 0.0);
    std::fill_n(statev + s_tmin, 6, huge);
    std::fill_n(statev + s_cmax, 6, 0.0);
    std::fill_n(statev + s_cmin, 6, huge);
    statev[s_tlow] = statev[s_thigh] = temp_ev;
}

}  // namespace

extern "C" {

void GetShokrieh(double* stress, double* ddsdde, double* statev, const double* stran,
                 const double* dstran, const double* props, const double* time,
                 const double* dtime, const double* temp, const double* dtemp, const i32* nprops,
                 const i32* noel, const i32* kstep, const i32* kinc, const i32* iszflag,
                 const i32* idcflag, double* statev_backup) {
    Increment inc;
    std::copy_n(stran, 6, inc.stran);
    std::copy_n(dstran, 6, inc.dstran);
    std::copy_n(stress, 6, inc.old_stress);
    inc.iszflag = *iszflag;
    const double t1 = time[0], t2 = time[1], dt = *dtime, temp0 = *temp;
    const double temp_ev = temp0 + *dtemp;
    const i32 element = *noel, step = kstep[0], increment = *kinc, direct = *idcflag;
    // A refused increment answers zero stress and tangent and leaves the records.
    const auto refuse = [&] {
        std::fill_n(stress, 6, 0.0);
        std::fill_n(ddsdde, 36, 0.0);
    };
    PropertySet p;
    property_set(props, nprops, temp_ev, p);
    if (!shokrieh_count(*nprops) || !usable_set(p)) return refuse();
    const bool debug = element == debugdata::edebug;
    if (debug) {
        const char* stars = "**************************************************";
        io::write_list(6, {stars});
        io::write_list(6, {" ---------------- START Shokrieh  ----------------"});
        io::write_list(6, {stars});
        io::write_list(6, {" -- iDCFlag ", direct});
        io::write_list(6, {" -- Time ", io::Item::reals(time, 2)});
        io::write_list(6, {" -- Temp", temp0});
        debug_values(" -- Strain ", inc.stran, 6);
        debug_values(" -- Stress last ink", inc.old_stress, 6);
    }
    const Settings st = settings_of(step);
    if (debug) {
        io::write_list(6, {" -- isFatigue", st.fatigue ? "T" : "F"});
        io::write_list(6, {" -- Time_Periode ", st.period});
        io::write_list(6, {" -- Time_Calculation ", st.time_calc});
        io::write_list(6, {" -- nCyles", st.ncycles});
        const auto& cp = shokriehdata::cycleprops;
        if (cp.allocated() && step >= 1 && step <= cp.extent(2))
            debug_values("CycleProps current Step", &cp(1, step),
                         static_cast<int>(std::min<i64>(cp.extent(1), 64)));
        io::write_list(6, {"Cycles allocated:", shokriehdata::cycles.allocated() ? "T" : "F"});
    }

    // Whether the increment ends a cycle, and then the set of the cycle's mean temperature (the
    // first increment starts the cycle's range at temp), read before any record is written.
    const double t_end = t1 + dt;
    const bool bottom = st.fatigue && t_end >= st.period / 2.0 &&
                        multiple(std::lround(1000.0 * (t_end - st.period)), st.period_ms);
    const double tlow = increment == 1 ? temp0 : statev[s_tlow];
    const double thigh = increment == 1 ? temp0 : statev[s_thigh];
    const double t_mean = (std::min(tlow, temp_ev) + std::max(thigh, temp_ev)) / 2.0;
    PropertySet ev;
    if (bottom) {
        property_set(props, nprops, t_mean, ev);
        if (!usable_set(ev)) return refuse();
    }

    // Direct-cyclic re-entry: the cycle number of the table, or the cycle repeated.
    double njimp = huge;
    if (direct == 1 && increment == 1) {
        double n_new = statev[s_n], jump = 0.0;
        count_cycles(st, t1, 0.0, 5, st.fatigue ? 1 : 0, jump, n_new);
        if (n_new > statev[s_n]) {
            njimp = n_new - statev[s_n];
            statev[s_jump] = njimp;
            statev[s_n] = n_new;
            std::memmove(statev_backup, statev, nrec * sizeof(double));
        } else {
            std::memmove(statev, statev_backup, nrec * sizeof(double));
            njimp = statev[s_jump];
        }
    }

    Ply ply;
    ply.n = statev[s_n];
    ply.g_f = statev[s_gf];
    ply.g_m = statev[s_gm];
    ply.angle = -1.0;  // asks the search for the angle; kept below failure
    ply.cjimp = statev[s_jump];
    std::copy_n(statev + s_nm, 6, ply.nm);
    std::copy_n(statev + s_de, 6, ply.de);
    std::copy_n(statev + s_df, 9, ply.df);
    if (increment == 1) statev[s_tlow] = statev[s_thigh] = temp0;

    // Static response with the degraded constants.
    ply.degrade(p);
    ply.shear_law(p);
    secant(ply.dep, ply.dep + 6, ply.de, p.degr, ply.eta_n, inc, ddsdde, stress);
    std::copy_n(stress, 6, statev + s_stress);

    // Static failure and its discount.
    double r_f, r_m;
    const double xc = std::abs(ply.dxp[1]), yc = std::abs(ply.dxp[3]), step_deg = 1.0;
    constexpr i32 scan = 0;
    gpcollection::GPMaxNominal(&r_f, &stress[0], &ply.dxp[0], &xc);
    mccollection::MCrckPuck(&r_m, &stress[1], &stress[2], &stress[3], &stress[4], &stress[5],
                            &ply.dxp[2], &yc, &ply.dxp[6], &ply.angle, nullptr, &step_deg, &scan,
                            nullptr);
    ply.g_f = std::min(std::max(ply.g_f, r_f), 1.0);
    ply.g_m = std::min(std::max(ply.g_m, r_m), 1.0);
    if (debug) {
        io::write_list(6, {" -- Current Fiber failure index ", ply.g_f});
        io::write_list(6, {" -- Current matrix failure index ", ply.g_m});
        io::write_list(6, {" -- Fracture angle ", ply.angle});
        io::write_list(6, {"Sudden degradation static within cycle"});
    }
    ply.discount(p, nullptr);
    if (ply.g_f >= 1.0) statev[s_fflag] = 1.0;
    if (ply.g_m >= 1.0) statev[s_mflag] = 1.0;
    if (debug) {
        io::write_list(6, {"-- Fibre failure flag STAEV46(45)", statev[s_fflag]});
        io::write_list(6, {"-- Matrix failure flag STAEV46(46)", statev[s_mflag]});
    }
    if (ply.g_f >= 1.0 || ply.g_m >= 1.0) {
        if (debug) io::write_list(6, {"Iterative damage --> Stress update"});
        secant(ply.dep, ply.dep + 6, ply.de, p.degr, ply.eta_n, inc, ddsdde, stress);
    }
    track_extremes(ply, stress, temp_ev, statev);

    if (!st.fatigue) {
        ply.store(statev);
        return;
    }
    if (debug) io::write_list(6, {"Bottom of cycle?", bottom ? "T" : "F"});
    if (bottom) {
        statev[s_tmean] = t_mean;
        ply.degrade(ev);
        cycle_bottom(ply, ev, st.lim, element, statev, debug);
        if (st.jumpalgo == 6) {
            allowable_jumps(ply, ev, statev);
            const double proposal = std::min(statev[s_allow], njimp);
            if (debug) io::write_list(6, {" -- Cycle jump parameter", proposal});
        } else if (st.jumpalgo < 4 || st.jumpalgo > 7) {
            double jump = 0.0;
            count_cycles(st, t_end, 0.0, st.jumpalgo, 1, jump, ply.n);
            statev[s_jump] = jump;
        }
        if (debug) io::write_list(6, {" -- Cycle No. next cycle", ply.n});
        secant(ply.dep, p.e + 6, ply.de, ev.degr, ply.eta_n, inc, ddsdde, nullptr);
    }
    // Start of a period: the global jump of algorithms 4 and 7.
    if (multiple(std::lround(1000.0 * t1), st.period_ms) && t2 != 0.0) {
        if (st.jumpalgo == 4) {
            double jump = 0.0;
            count_cycles(st, t1, shokriehdata::dnfshok, 4, 1, jump, ply.n);
            statev[s_jump] = jump;
        } else if (st.jumpalgo == 7) {
            const double jump = std::ceil(shokriehdata::dnfshok);
            ply.n += jump;
            statev[s_jump] = jump;
        }
    }
    if (debug) io::write_list(6, {"Update State variables"});
    ply.store(statev);
    if (bottom && t2 > 0.5) start_cycle(statev, temp_ev);
}

}  // extern "C"
}  // namespace vorlen::fatigue
