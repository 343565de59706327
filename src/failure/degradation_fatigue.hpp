// Module degradation, fatigue: gradual degradation of the residual strength and stiffness of
// one ply direction over a block of load cycles (generalised residual-material-property laws
// on the Shokrieh normalised fatigue curve).
//
// Stresses are normalised by the static strength of the direction. With the life coordinate
// w(N) = (log10 N + log10 4)/(log10 N_f + log10 4) and a reference stress s the residual laws
// are
//   strength   F(N) = (1 - w^beta)^(1/alpha) (1 - s) + s
//   stiffness  E(N) = (1 - w^lambda)^(1/gamma) (1 - s) + s
// falling from 1 to s at N = N_f; tension takes alpha_t, beta_t, s = smax_t, compression
// alpha_c, beta_c, s = smax_c. Fractional powers take a base below 0 as 0. Stateless, per
// integration point, no allocation.
#pragma once
#include "base/view.hpp"

namespace vorlen::degradation {
extern "C" {

// Fatigue update of one direction. Zero stresses become 1e-8. With sigma_o, sigma_u the larger
// and smaller tension-side stress, R = sigma_u/sigma_o, smax_t = |sigma_o|,
// smax_c = |min(speak_c, sbottom_c)|, the life N_f is shokrieh_life (fatigue_life.hpp) of the
// tension side with c = |xctratio|. The cycle is tension-dominated for 0 <= R < 1 or R < 0 with
// smax_t >= smax_c, compression-dominated for R > 1 or R < 0 with smax_c > smax_t, neither for
// R = 1.
// dmgflag 1 (life fractions): nm grows by cjimp/N_f; N = max(nm N_f, 1); at N >= N_f the
// governing side's strength and de fall to degr_fac, else to the residual laws at N (the other
// side's strength, unless isshear, to at most the governing one). cjump_nf is not changed.
// dmgflag 2 (equivalent cycles): already fully degraded (de, df_t or df_c at most degr_fac):
// nm = 1, cjump_nf = largest double; N_f >= 1e20: cjump_nf = N_f; else the equivalent cycles
// n_eq of the present governing strength (0 at the first evaluation, n = cjimp), nm =
// min((n_eq + cjimp)/N_f, 1), both strengths and de fall to the laws at N = max(nm N_f, 1)
// (de to (df_t + df_c)/2 where lambda = beta_t and gamma = alpha_t), and cjump_nf =
// N_lim - n_eq - cjimp in [0, largest double] (0 read as the largest double), N_lim the cycles
// at which the governing strength law reaches its present value less lim. Neither side (R = 1
// with a finite life, or R not a number): nothing changes, cjump_nf = largest double.
// Lines on standard output when noel equals debugdata::edebug.
//   speak_t, sbottom_t, speak_c, sbottom_c (in/out)  extreme normalised stresses, tension and
//                       compression side; 0 is replaced by 1e-8
//   xctratio (in)       strength ratio of the direction
//   a, b, u, v (in)     fatigue curve constants
//   nm (in/out)         consumed life fraction
//   n (in)              current cycle number
//   cjimp (in)          cycles since the last evaluation
//   alpha_t, alpha_c, beta_t, beta_c (in)  residual-strength exponents
//   gamma, lambda (in)  residual-stiffness exponents
//   de (in/out)         stiffness factor
//   df_t, df_c (in/out) tensile and compressive strength factors; may be the same variable
//   degr_fac (in)       residual factor of a fully degraded property
//   dmgflag (in)        1 or 2; another value records code -2 and changes nothing
//   isshear (in)        one-byte logical: a shear direction
//   noel (in)           element number
//   cjump_nf (in/out)   cycles that may still be jumped (scheme 2)
//   lim (in)            allowed drop of the strength factor per jump (scheme 2)
void GradualDegradation(double* speak_t, double* sbottom_t, double* speak_c, double* sbottom_c,
                        const double* xctratio, const double* a, const double* b,
                        const double* u, const double* v, double* nm, const double* n,
                        const double* cjimp, const double* alpha_t, const double* alpha_c,
                        const double* beta_t, const double* beta_c, const double* gamma,
                        const double* lambda, double* de, double* df_t, double* df_c,
                        const double* degr_fac, const i32* dmgflag, const lgl* isshear,
                        const i32* noel, double* cjump_nf, const double* lim);

}  // extern "C"
}  // namespace vorlen::degradation
