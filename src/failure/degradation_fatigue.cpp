// Gradual fatigue degradation of module degradation: residual strength and stiffness of one
// ply direction over a block of cycles.
#include "failure/degradation_fatigue.hpp"

#include <algorithm>
#include <cfloat>
#include <cmath>

#include "base/errorhandling.hpp"
#include "core/debugdata.hpp"
#include "failure/fatigue_life.hpp"
#include "base/units.hpp"

namespace vorlen::degradation {
namespace {

using fatigue::log10_4;
using fatigue::pow0;

constexpr double huge = DBL_MAX;
constexpr double log10_huge = 308.25471555991675;
constexpr double fatigue_limit = 1e20;

// Residual law (1 - w^e_in)^(1/e_out) (1 - s) + s: strength with (beta, alpha), stiffness with
// (lambda, gamma).
double residual(double w, double e_in, double e_out, double s) {
    return pow0(1.0 - pow0(w, e_in), 1.0 / e_out) * (1.0 - s) + s;
}

// Life coordinate at which the strength law with (beta, alpha) and s gives f.
double coordinate_of(double f, double s, double alpha, double beta) {
    return pow0(1.0 - pow0((f - s) / (1.0 - s), alpha), 1.0 / beta);
}

struct Debug {
    bool on;
    void operator()(const char* label, double value) const {
        if (on) io::write_list(6, {label, value});
    }
    void operator()(const char* line) const {
        if (on) io::write_list(6, {line});
    }
};

// Scheme 1: life-fraction accumulation.
void life_fractions(double nf, bool tension, bool compression, double smax_t, double smax_c,
                    double* nm, double cjimp, double alpha_t, double alpha_c, double beta_t,
                    double beta_c, double gamma, double lambda, double* de, double* df_t,
                    double* df_c, double degr, bool shear) {
    const double grown = *nm + cjimp / nf;
    if (grown > *nm) *nm = grown;
    const double big_n = std::max(*nm * nf, 1.0);
    const double w = (std::log10(big_n) + log10_4) / (std::log10(nf) + log10_4);
    if (tension) {
        if (big_n >= nf) {
            *df_t = degr;
            if (!shear) *df_c = std::min(*df_c, degr);
            *de = degr;
        } else {
            *df_t = std::min(*df_t, residual(w, beta_t, alpha_t, smax_t));
            if (!shear) *df_c = std::min(*df_c, *df_t);
            *de = std::min(*de, residual(w, lambda, gamma, smax_t));
        }
    } else if (compression) {
        if (big_n >= nf) {
            *df_c = degr;
            if (!shear) *df_t = std::min(*df_t, degr);
            *de = std::min(*de, degr);
        } else {
            *df_c = std::min(*df_c, residual(w, beta_c, alpha_c, smax_c));
            if (!shear) *df_t = std::min(*df_t, *df_c);
            *de = std::min(*de, residual(w, lambda, gamma, smax_c));
        }
    }
}

}  // namespace

extern "C" {

void GradualDegradation(double* speak_t, double* sbottom_t, double* speak_c, double* sbottom_c,
                        const double* xctratio, const double* a, const double* b,
                        const double* u, const double* v, double* nm, const double* n,
                        const double* cjimp, const double* alpha_t, const double* alpha_c,
                        const double* beta_t, const double* beta_c, const double* gamma,
                        const double* lambda, double* de, double* df_t, double* df_c,
                        const double* degr_fac, const i32* dmgflag, const lgl* isshear,
                        const i32* noel, double* cjump_nf, const double* lim) {
    if (*dmgflag != 1 && *dmgflag != 2) {
        errorhandling::report(-2, "Error: Default case in subroutine GradualDegradation. "
                                  "Please check your input parameters.");
        return;
    }
    for (double* s : {speak_t, sbottom_t, speak_c, sbottom_c})
        if (*s == 0.0) *s = 1e-8;
    const double so = std::max(*speak_t, *sbottom_t), su = std::min(*speak_t, *sbottom_t);
    const double r = su / so;
    const double smax_t = std::abs(so), smax_c = std::abs(std::min(*speak_c, *sbottom_c));
    const double c = std::abs(*xctratio), jump = *cjimp, degr = *degr_fac;
    const auto life = fatigue::shokrieh_life(su, so, c, *u, *v, *a, *b);
    const double nf = life.nf, lognf = std::log10(nf);
    const bool tension = (r >= 0.0 && r < 1.0) || (r < 0.0 && smax_t >= smax_c);
    const bool compression = r > 1.0 || (r < 0.0 && smax_c > smax_t);

    const Debug debug{*noel == debugdata::edebug};
    if (debug.on) {
        debug("New Implementation for stiffness degradation");
        io::write_list(6, {"DmgFlag", *dmgflag});
        debug("A", *a);
        debug("B", *b);
        debug("u", *u);
        debug("v", *v);
        io::write_list(6, {"isShear", *isshear ? "T" : "F"});
        const char* const label[] = {"kappa", "sigma_o", "sigma_u", "smax_t", "smax_c", "a",
                                     "q", "c", "f", "NF", "Strength ratio Tension/Compression",
                                     "current dF_t", "current dF_c", "Cycle jump",
                                     "real current/last cycle", "alpha_t (Exp. im Kehrwert)",
                                     "beta_t (Exp. ohne Kehrwert)", "alpha_c (Exp. im Kehrwert)",
                                     "beta_c (Exp. ohne Kehrwert)", "gamma (Exp. mit Kehrwert)",
                                     "lambda (Exp. ohne Kehrwert)", "lim"};
        const double value[] = {r, so, su, smax_t, smax_c, life.amplitude, life.mean, c,
                                life.f, nf, *xctratio, *df_t, *df_c, jump, *n - jump,
                                *alpha_t, *beta_t, *alpha_c, *beta_c, *gamma, *lambda, *lim};
        for (int k = 0; k < 22; ++k) debug(label[k], value[k]);
    }

    if (*dmgflag == 1) {
        life_fractions(nf, tension, compression, smax_t, smax_c, nm, jump, *alpha_t, *alpha_c,
                       *beta_t, *beta_c, *gamma, *lambda, de, df_t, df_c, degr, *isshear != 0);
        return;
    }
    if (*de <= degr || *df_t <= degr || *df_c <= degr) {
        debug("Already fully damaged, no cyclic degradation");
        *nm = 1.0;
        *cjump_nf = huge;
        return;
    }
    if (nf >= fatigue_limit) {
        debug("Fatigue limit exceeded, no cyclic degradation");
        *cjump_nf = nf;
        return;
    }
    if (!tension && !compression) {  // no amplitude with a finite life, or R not a number
        *cjump_nf = huge;
        return;
    }
    debug(tension ? "T-T or T-dominated" : "C-C or C-dominated");
    double* const gov = tension ? df_t : df_c;
    const double s = tension ? smax_t : smax_c;
    const double alpha = tension ? *alpha_t : *alpha_c, beta = tension ? *beta_t : *beta_c;
    const bool below = tension ? so <= 1.0 : smax_c <= 1.0;

    // Equivalent cycles of the present strength, then the block of cycles on top.
    const double done = *n - jump;
    double n_eq = nf;
    if (done == 0.0)
        n_eq = 0.0;
    else if (below && done < nf)
        n_eq = std::min(fatigue::cycles_at(coordinate_of(*gov, s, alpha, beta), lognf), huge - jump);
    *nm = std::min((n_eq + jump) / nf, 1.0);
    const double big_n = std::max(*nm * nf, 1.0);
    const double w = (std::log10(big_n) + log10_4) / (lognf + log10_4);
    debug("(n_eq+cjimp)", n_eq + jump);
    debug("NM", *nm);
    if (big_n < nf) {
        *df_t = std::min(*df_t, residual(w, *beta_t, *alpha_t, smax_t));
        *df_c = std::min(*df_c, residual(w, *beta_c, *alpha_c, smax_c));
    } else {
        *gov = std::min(*gov, degr);
    }
    const double w_lim = coordinate_of(*gov - *lim, s, alpha, beta);
    const double log_nlim = std::min((lognf + log10_4) * w_lim - log10_4, log10_huge);
    if (big_n < nf) {
        const bool mean = *lambda == *beta_t && *gamma == *alpha_t;
        *de = std::min(*de, mean ? (*df_t + *df_c) / 2.0 : residual(w, *lambda, *gamma, s));
    } else {
        *de = std::min(*de, degr);
    }
    const double left = std::pow(10.0, log_nlim) - n_eq - jump;
    *cjump_nf = left > 0.0 ? std::min(left, huge) : huge;  // no allowance reads as unlimited
    if (debug.on) {
        debug("log_cjump_nf", log_nlim);
        debug("cjump_nf", *cjump_nf);
        debug("dF n", *df_t);
        debug("dF n", *df_c);
        const double w_at = (log_nlim + log10_4) / (lognf + log10_4);
        debug("dF nach cjump_nf", residual(w_at, *beta_t, *alpha_t, smax_t));
        debug("Updated results in GradualDegradation");
        const char* const label[] = {"n_eq", "(n_eq+cjimp)", "Nf", "new NM", "cjump_nf",
                                     "new dE", "new dF_t", "new dF_c"};
        const double value[] = {n_eq, n_eq + jump, nf, *nm, *cjump_nf, *de, *df_t, *df_c};
        for (int k = 0; k < 8; ++k) debug(label[k], value[k]);
    }
}

}  // extern "C"
}  // namespace vorlen::degradation
