// Module fatigue: Shokrieh property sets, Woehler and Shokrieh lives, the equivalent fatigue
// stress of a resin, the cycle counter and the allowable cycle jump.
#include "failure/fatigue_life.hpp"

#include <algorithm>
#include <cfloat>
#include <cmath>

#include "base/errorhandling.hpp"
#include "core/debugdata.hpp"
#include "core/materialdata.hpp"
#include "core/shokriehdata.hpp"
#include "failure/gpcollection.hpp"
#include "base/units.hpp"
#include "materials/lamina_measures.hpp"

namespace vorlen::fatigue {
namespace {

constexpr double huge = DBL_MAX;
constexpr i32 nset = 74;  // values of one property set

void debug_line(const char* label, double value) { io::write_list(6, {label, value}); }
void debug_line(const char* label, i32 value) { io::write_list(6, {label, value}); }

// Temperature law of the moduli (props(151) on) applied to eprops.
void temperature_law(const double* props, double temp, const double* lo, const double* hi,
                     double tl, double th, double* eprops) {
    const double theta = temp - 273.15, theta_g = props[154] - 273.15;
    const double c2 = props[150], c1 = props[151], c0 = props[152];
    const double q = c2 * theta * theta + c1 * theta + c0;
    const double q293 = 394.0225 * c2 + 19.85 * c1 + c0;
    for (int i = 1; i < 6; ++i) {
        if (temp <= props[153])
            eprops[i] = lo[i];
        else if (temp < 293.0)
            eprops[i] = q * props[i];
        else
            eprops[i] = (q293 - (q293 - props[155]) * std::exp(-std::pow(theta / theta_g, props[156]))) *
                        props[i];
    }
    if (temp <= tl)
        eprops[0] = lo[0];
    else if (temp <= 293.0)
        eprops[0] = th == tl ? lo[0] : (hi[0] - lo[0]) / (th - tl) * (temp - tl) + lo[0];
    else
        eprops[0] = (1.0 - (1.0 - props[157]) * std::exp(-std::pow(theta / theta_g, props[158]))) *
                    props[0];
}

bool table_has(const Alloc<double, 2>& t, i64 row, i64 col) {
    return t.allocated() && row >= 1 && row <= t.extent(1) && col >= 1 && col <= t.extent(2);
}

// Jump of algorithm 3; false where the table lacks the entry it reads.
bool table_jump(double n, double time, double time_period, i32 ncycles, i32 istep, i32 nstep,
                double& njimp) {
    const auto& cycles = shokriehdata::cycles;
    const double k = std::floor(static_cast<float>(std::lround(time)) / time_period) + 1.0;
    if (!cycles.allocated() || !(std::abs(k) < 1e15)) return false;
    const i64 kk = static_cast<i64>(k), step = istep;
    if (ncycles >= k) {
        if (!table_has(cycles, kk, step)) return false;
        njimp = cycles(kk, step) - n;
    } else if (istep < nstep) {
        if (!table_has(cycles, 1, step + 1)) return false;
        njimp = cycles(1, step + 1) - n;
    } else if (istep == nstep) {
        if (!table_has(cycles, kk - 1, step)) return false;
        njimp = cycles(kk - 1, step) - n;
    } else {
        return false;
    }
    return true;
}

// Jump of algorithm 4.
double allowed_jump(double n, double maxcycle, double njimp_zul, bool debug) {
    double njimp = njimp_zul == huge ? 0.0 : std::trunc(njimp_zul) + 1.0;
    const auto& cycles = shokriehdata::cycles;
    if (cycles.allocated()) {
        double next = huge;
        for (double c : cycles)
            if (c > n) next = std::min(next, c);
        if (n + njimp > next) njimp = next - n;
        if (debug) {
            debug_line("njimp", njimp);
            debug_line("n_individual", next);
            debug_line("n_individual-n", next - n);
        }
    }
    if (n + njimp >= maxcycle) njimp = maxcycle - n;
    if (debug) debug_line("n+njimp", n + njimp);
    return njimp;
}

}  // namespace

ShokriehLife shokrieh_life(double sbottom, double speak, double c, double u, double v, double a,
                           double b) {
    ShokriehLife s;
    const double lo = std::min(sbottom, speak), hi = std::max(sbottom, speak);
    s.mean = (lo + hi) / 2.0;
    s.amplitude = (hi - lo) / 2.0;
    const double cut = std::pow(10.0, b) * a;
    const double den = pow0(1.0 - s.mean, u) * pow0(c + s.mean, v);
    // A mean at the strength (or a compressive mean beyond it) leaves the shortest life.
    s.f = s.mean >= 1.0 || den == 0.0 ? cut : std::min(s.amplitude / den, cut);
    s.nf = std::pow(10.0, std::log10(s.f / a) / b);
    if (s.nf > huge) s.nf = huge;
    return s;
}

double cycles_at(double w, double lognf) {
    return std::pow(10.0, (w == 0.0 ? 0.0 : w * (lognf + log10_4)) - log10_4);
}

extern "C" {

void GetShokriehProperties(const double* props, const i32* nprops, const double* temp,
                           double* eprops, double* xfprops, double* epsfprops, double* alpha_t,
                           double* alpha_c, double* beta_t, double* beta_c, double* lambda,
                           double* gamma, double* a, double* b, double* u, double* v,
                           double* eta, double* degr_fac) {
    const i32 np = *nprops;
    if (!shokrieh_count(np)) {
        errorhandling::report(-3, "Property count not 150 nor 159 or more",
                              "GetShokriehProperties");
        for (double* o : {eprops, xfprops, epsfprops}) std::fill_n(o, 9, 0.0);
        for (double* o : {alpha_t, alpha_c, beta_t, beta_c, lambda, gamma, a, b, u, v})
            std::fill_n(o, 6, 0.0);
        *eta = *degr_fac = 0.0;
        return;
    }
    const double t = *temp;
    *degr_fac = props[149];
    const bool second_low = !(props[nset - 1] < props[2 * nset - 1]);
    const double* lo = second_low ? props + nset : props;
    const double* hi = second_low ? props : props + nset;
    const double tl = lo[nset - 1], th = hi[nset - 1];
    double p[nset];
    if (t < tl || (t <= th && th == tl))
        std::copy_n(lo, nset, p);
    else if (t <= th)
        for (int k = 0; k < nset; ++k) p[k] = (hi[k] - lo[k]) / (th - tl) * (t - tl) + lo[k];
    else
        std::copy_n(hi, nset, p);

    std::copy_n(p, 9, eprops);
    const double xf[9] = {p[9],  -std::abs(p[12]), p[10], -std::abs(p[13]), p[11],
                          -std::abs(p[14]), p[15], p[16], p[17]};
    std::copy_n(xf, 9, xfprops);
    for (int i = 0; i < 3; ++i) {
        alpha_t[i] = p[18 + 2 * i], alpha_c[i] = p[19 + 2 * i];
        beta_t[i] = p[27 + 2 * i], beta_c[i] = p[28 + 2 * i];
        alpha_t[3 + i] = alpha_c[3 + i] = p[24 + i];
        beta_t[3 + i] = beta_c[3 + i] = p[33 + i];
    }
    for (int i = 0; i < 6; ++i) {
        lambda[i] = p[36 + i], gamma[i] = p[42 + i];
        a[i] = p[48 + 2 * i], b[i] = p[49 + 2 * i];
        u[i] = p[61 + i], v[i] = p[67 + i];
    }
    *eta = p[60];
    if (np >= 159) temperature_law(props, t, lo, hi, tl, th, eprops);
    static constexpr int modulus[9] = {0, 0, 1, 1, 2, 2, 3, 4, 5};
    for (int i = 0; i < 9; ++i) epsfprops[i] = xfprops[i] / eprops[modulus[i]];
}

void GetFatigueLife(const double* eq_min, const double* eq_max, const double* a_woehler,
                    const double* exp_woehler, const double* /*alpha*/, const double* dn,
                    double* nf, double* life, const i32* noel) {
    const auto& rc = materialdata::r_crit;
    if (rc.size() < 1 || rc(1) == -1.0) {
        errorhandling::report(-3, "R_crit missing or -1", "GetFatigueLife");
        *nf = huge;
        return;
    }
    const double r = rc(1), emin = *eq_min, emax = *eq_max;
    const double eq_m = (emax + emin) / 2.0, eq_a = (emax - emin) / 2.0;
    const double m_crit = (1.0 - r) / (1.0 + r);
    const bool debug = *noel == debugdata::edebug;
    if (debug) {
        io::write_list(6, {"R_crit", io::Item::reals(rc.data, rc.size())});
        debug_line("eq_min", emin);
        debug_line("eq_max", emax);
        debug_line("eq_m", eq_m);
        debug_line("eq_a", eq_a);
        debug_line("m_crit", m_crit);
    }
    double f;
    if (eq_m == 0.0)
        f = m_crit * eq_a / (m_crit + eq_a);
    else if (eq_a / eq_m >= 0.0 || std::abs(eq_a / eq_m) >= std::abs(m_crit))
        f = m_crit * eq_a / (eq_a + (1.0 - eq_m) * m_crit);
    else
        f = m_crit * std::abs(r) * eq_a / ((eq_m + std::abs(r)) * m_crit - eq_a);
    *nf = std::pow(f / *a_woehler, 1.0 / *exp_woehler);
    if (debug) {
        debug_line("f", f);
        debug_line("Nf", *nf);
    }
    const double grown = *life + static_cast<float>(*dn) / *nf;
    if (grown > *life) *life = grown;  // a life that is not a number leaves it
    *life = std::min(*life, 1.0);
}

void GetFatigueLifeShokrieh(const double* sbottom_t, const double* speak_t,
                            const double* /*sbottom_c*/, const double* /*speak_c*/,
                            const double* xctratio, const double* u, const double* v,
                            const double* a, const double* b, double* n_f) {
    const double sb = *sbottom_t == 0.0 ? 1e-8 : *sbottom_t;
    const double sp = *speak_t == 0.0 ? 1e-8 : *speak_t;
    *n_f = shokrieh_life(sb, sp, std::abs(*xctratio), *u, *v, *a, *b).nf;
}

void GetEquivalentFatigueStress(const double* stress, const double* xt, const double* xc,
                                const double* np, double* eq_stress) {
    double d, di1, dmises, i1cr, misescr, life = 0.0;
    gpcollection::GPHa(stress, xt, xc, np, &d, &di1, &dmises, &i1cr, &misescr, &life);
    const double ratio = di1 / dmises;
    const double i1 = stress[0] + stress[1] + stress[2];
    const double r = std::abs(*xc / *xt);
    constexpr i32 six = 6;
    const double vm = lamina::GetMisesStress(stress, &six);
    const double root = std::sqrt((r - 1.0) * (r - 1.0) * i1 * i1 + 4.0 * r * vm * vm);
    *eq_stress = ratio >= -0.05 ? ((r - 1.0) * i1 + root) / (2.0 * r)
                                : -((r - 1.0) * i1 + root) / 2.0;
}

void CycleCount(double* njimp, double* n, const double* maxcycle, const double* time,
                const double* time_calc, const double* time_period, const double* njimp_min,
                const double* /*njimp_max*/, const double* njimp_zul, const i32* ncycles,
                const i32* /*nmaxcycles*/, const i32* istep, const i32* nstep, const i32* jumpalgo,
                const i32* stepflag) {
    const bool debug = debugdata::edebug == 1;
    const auto& cycles = shokriehdata::cycles;
    if (debug) {
        debug_line("StepFlag", *stepflag);
        io::write_list(6, {"Allocated cycles?", cycles.allocated() ? "T" : "F"});
    }
    if (*stepflag != 1) {
        *n = 1.0;
        *njimp = 1.0;
        return;
    }
    if (debug) {
        debug_line("jumpAlgo", *jumpalgo);
        debug_line("njimp_zul", *njimp_zul);
    }
    const double n0 = *n;
    double jump = 0.0;
    bool ok = true;
    switch (*jumpalgo) {
        case 1:
            jump = *njimp_min;
            break;
        case 2: {
            const double span = *time_calc - *time_period;
            ok = span != 0.0;
            if (!ok) break;
            const double g = std::log(*maxcycle) / span;
            jump = std::max(1.0, std::round(std::exp(*time * g)) -
                                     std::round(std::exp((*time - *time_period) * g)));
            break;
        }
        case 3:
            ok = table_jump(n0, *time, *time_period, *ncycles, *istep, *nstep, jump);
            break;
        case 4:
            jump = allowed_jump(n0, *maxcycle, *njimp_zul, debug);
            break;
        case 5:
            ok = table_has(cycles, 1, *istep);
            if (ok) jump = cycles(1, *istep) == n0 ? 0.0 : cycles(1, *istep) - n0;
            break;
        default:
            errorhandling::report(-2, "Unknown cycle jump flag in CycleCount");
            *njimp = 0.0;
            return;
    }
    if (!ok) {
        errorhandling::report(-3, *jumpalgo == 2 ? "Time of calculation equals the period"
                                                 : "Cycle table lacks the entry",
                              "CycleCount");
        *njimp = 0.0;
        return;
    }
    *njimp = jump;
    *n = n0 + jump;
    if (!debug) return;
    if (*jumpalgo == 5) {
        io::write_list(6, {"allocated Cycles", io::Item::reals(cycles.data, cycles.size())});
        debug_line("nNew in CycleCount", *n);
        debug_line("cycle jump for this block is ", jump);
    } else if (*jumpalgo != 4) {
        debug_line("new cycle number", *n);
    }
}

void AllowableCycleJump(const double* speak, double* sbottom, const double* ft,
                        const double* fc, const double* f0, const double* e0,
                        const double* eps_f, const double* a, const double* b, const double* u,
                        const double* v, const double* nm, double* cjimp, const double* alpha,
                        const double* beta, const double* gamma, const double* lambda,
                        const double* x_n, const double* e_n, const double* /*de*/,
                        const double* df, const double* degr_fac, const double* njimp_dtol) {
    if (*df == *degr_fac) {
        *cjimp = 1e8;
        return;
    }
    if (*sbottom == 0.0) *sbottom = 1e-8;
    double nf = 1e8, smax = 0.0;
    if (*speak >= 1.0) {
        const double hi = std::max(*speak, *sbottom);
        const double r = std::min(*speak, *sbottom) / hi;
        const double sm = (1.0 + r) * hi / 2.0, sa = (1.0 - r) * hi / 2.0;
        const double q = sm / *ft;
        const double den = pow0(1.0 - q, *u) * pow0(std::abs(*fc) / *ft + q, *v);
        // A mean at the strength leaves the shortest life of the curve.
        const double kappa = q >= 1.0 || den == 0.0 ? HUGE_VAL : (sa / *ft) / den;
        nf = std::pow(10.0, std::log10(std::max(std::pow(10.0, *b) * *a, kappa) / *a) / *b);
        if (nf > huge) nf = huge;
        smax = std::max(std::abs(sm + sa), std::abs(sm - sa));
    }
    const double dtol = *njimp_dtol;
    const double ws = pow0(1.0 - pow0((dtol * *x_n - smax) / (*f0 - smax), *alpha), 1.0 / *beta);
    const double se = smax / *eps_f;
    const double we = pow0(1.0 - pow0((dtol * *e_n - se) / (*e0 - se), *gamma), 1.0 / *lambda);
    const double lognf = std::log10(nf);
    *cjimp = std::min(cycles_at(ws, lognf), cycles_at(we, lognf)) - std::max(1.0, nf * *nm);
}

}  // extern "C"
}  // namespace vorlen::fatigue
