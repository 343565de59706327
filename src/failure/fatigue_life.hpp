// Module fatigue, lives and cycle jumps: the temperature-dependent Shokrieh property set of a
// ply, Woehler and Shokrieh fatigue lives, the equivalent fatigue stress of a resin, the cycle
// counter of a fatigue step and the allowable cycle jump.
//
// Shokrieh property vector props(nprops): two sets of 74 values, each valid at its own
// temperature (set 1 in 1-74, set 2 in 75-148, same layout), then global entries:
//   1-9      E1, E2, E3, G12, G13, G23, nu12, nu13, nu23
//   10-12    Xt, Yt, Zt;  13-15 Xc, Yc, Zc (magnitudes);  16-18 S12, S13, S23
//   19-27    alpha: 19/20 direction 1 tension/compression, 21/22 direction 2, 23/24
//            direction 3, 25-27 shear 12, 13, 23
//   28-36    beta, same layout;  37-42 lambda;  43-48 gamma (directions 11 .. 23)
//   49-60    a1, b1, a2, b2, ..., a6, b6 (normalised fatigue curve kappa = a N^b)
//   61       eta (non-linear shear law);  62-67 u;  68-73 v (mean-stress exponents)
//   74       temperature of the set
//   149      not read here;  150 degr_fac;  151-159 temperature law of the moduli
// Per-direction vectors run over 11, 22, 33, 12, 13, 23. Strengths come in the paired order
// Xt, Xc, Yt, Yc, Zt, Zc, S12, S13, S23, compressive ones negative.
//
// Fractional powers of these laws take a base below 0 as 0. Stateless, per integration point,
// no allocation.
#pragma once
#include <cmath>

#include "base/view.hpp"

namespace vorlen::fatigue {

// log10 4: the residual laws count cycles from a quarter cycle on.
inline constexpr double log10_4 = 0.6020599913279624;

// x^e with a base below 0 (or not a number) taken as 0.
inline double pow0(double x, double e) { return std::pow(x > 0.0 ? x : 0.0, e); }

// Whether props of nprops values hold the two sets and degr_fac (150) and, beyond them, the
// whole temperature law (159 or more).
inline bool shokrieh_count(i32 nprops) { return nprops == 150 || nprops >= 159; }

// Shokrieh normalised life of a cycle between the normalised stresses sbottom and speak
// (neither 0), with c = |Xc/Xt| and the curve constants u, v, a, b: amplitude, mean, the
// corrected amplitude f cut to at most 10^b a (a mean of 1 or more takes the cut) and the life
// 10^(log10(f/a)/b), at most the largest double.
struct ShokriehLife {
    double amplitude, mean, f, nf;
};
ShokriehLife shokrieh_life(double sbottom, double speak, double c, double u, double v, double a,
                           double b);

// Cycles at the life coordinate w of a life whose log10 is lognf:
// 10^(w (lognf + log10 4) - log10 4); w = 0 gives 1/4 whatever the life.
double cycles_at(double w, double lognf);

extern "C" {

// Property set at a temperature. The set of the lower temperature T_L is L, the other H (set 2
// is L when both temperatures are equal). Below T_L the values of L, above T_H those of H,
// between them the linear interpolation (L where T_L = T_H). With nprops >= 159 the moduli
// follow the temperature law: theta = temp - 273.15, theta_g = props(155) - 273.15,
// q(x) = props(151) x^2 + props(152) x + props(153), q293 = q(19.85), P1 = set 1;
//   E2 .. G23: L at temp <= props(154); q(theta) P1 below 293; at 293 and above
//              (q293 - (q293 - props(156)) exp(-(theta/theta_g)^props(157))) P1;
//   E1:        L at temp <= T_L; the line through both sets up to 293 (L where T_L = T_H);
//              above (1 - (1 - props(158)) exp(-(theta/theta_g)^props(159))) P1.
//   props(nprops) (in)   property vector (above)
//   nprops (in)          150, or 159 and more; another count records code -3, reads nothing
//                        and gives zeros
//   temp (in)            temperature
//   eprops(9) (out)      E1, E2, E3, G12, G13, G23, nu12, nu13, nu23
//   xfprops(9) (out)     strengths in the paired order, compressive ones -|value|
//   epsfprops(9) (out)   failure strains: xfprops over E1, E1, E2, E2, E3, E3, G12, G13, G23
//   alpha_t(6), alpha_c(6), beta_t(6), beta_c(6) (out)  residual-strength exponents per
//                        direction, tension and compression (shear ones shared)
//   lambda(6), gamma(6) (out)  residual-stiffness exponents
//   a(6), b(6), u(6), v(6) (out)  fatigue curve constants per direction
//   eta (out)            shear non-linearity parameter
//   degr_fac (out)       residual factor of fully degraded properties, props(150)
void GetShokriehProperties(const double* props, const i32* nprops, const double* temp,
                           double* eprops, double* xfprops, double* epsfprops, double* alpha_t,
                           double* alpha_c, double* beta_t, double* beta_c, double* lambda,
                           double* gamma, double* a, double* b, double* u, double* v,
                           double* eta, double* degr_fac);

// Woehler life of a resin under the normalised equivalent stresses eq_min, eq_max with the
// mean-stress correction at R = materialdata::r_crit(1), m_crit = (1 - R)/(1 + R):
//   eq_m = 0:                                 f = m_crit eq_a/(m_crit + eq_a)
//   eq_a/eq_m >= 0 or |eq_a/eq_m| >= |m_crit|: f = m_crit eq_a/(eq_a + (1 - eq_m) m_crit)
//   otherwise:                                f = m_crit |R| eq_a/((eq_m + |R|) m_crit - eq_a)
// nf = (f/a_woehler)^(1/exp_woehler); life = min(max(life + dn/nf, life), 1) with dn rounded
// to single precision. Lines on standard output when noel equals debugdata::edebug.
//   eq_min, eq_max (in)        extreme equivalent stresses of the cycle
//   a_woehler, exp_woehler (in)  Woehler constants
//   alpha (in)                 not used
//   dn (in)                    cycles of the block
//   nf (out)                   life; the largest double when r_crit is missing
//   life (in/out)              consumed life fraction; unchanged with code -3 when
//                              materialdata::r_crit is not allocated, empty or R = -1
//   noel (in)                  element number
void GetFatigueLife(const double* eq_min, const double* eq_max, const double* a_woehler,
                    const double* exp_woehler, const double* alpha, const double* dn,
                    double* nf, double* life, const i32* noel);

// Shokrieh normalised life of the tension side: shokrieh_life of sbottom_t and speak_t, each
// replaced by 1e-8 when it is 0.
//   sbottom_t, speak_t (in)    normalised extreme stresses
//   sbottom_c, speak_c (in)    not used
//   xctratio (in)              strength ratio; its magnitude is used
//   u, v, a, b (in)            curve constants
//   n_f (out)                  life, at least 10 for b < 0, at most the largest double
void GetFatigueLifeShokrieh(const double* sbottom_t, const double* speak_t,
                            const double* sbottom_c, const double* speak_c,
                            const double* xctratio, const double* u, const double* v,
                            const double* a, const double* b, double* n_f);

// Equivalent fatigue stress of an isotropic resin: with ratio = di1/dmises of GPHa, r = |xc/xt|,
// I1 the trace, vm the von Mises stress and root = sqrt((r-1)^2 I1^2 + 4 r vm^2):
// ((r-1) I1 + root)/(2r) for ratio >= -0.05, else -((r-1) I1 + root)/2.
//   stress(6) (in)      stress in Nye order
//   xt, xc, np (in)     strengths and Ha's exponent
//   eq_stress (out)     equivalent stress
void GetEquivalentFatigueStress(const double* stress, const double* xt, const double* xc,
                                const double* np, double* eq_stress);

// Cycle jump of a fatigue step and the new cycle number n = n + njimp. stepflag other than 1:
// n = 1, njimp = 1. Else by jumpalgo:
//   1  njimp_min
//   2  max(1, round(exp(time g)) - round(exp((time - time_period) g))),
//      g = ln(maxcycle)/(time_calc - time_period)
//   3  k = floor(lround(time) (single precision)/time_period) + 1: cycles(k, istep) - n when
//      ncycles >= k; cycles(1, istep + 1) - n when istep < nstep; else cycles(k - 1, istep) - n
//   4  0 for njimp_zul equal to the largest double, else aint(njimp_zul) + 1; cut to stop at
//      the smallest table entry (all steps) above n and at maxcycle
//   5  cycles(1, istep) - n (0 when that entry equals n)
// Lines on standard output when debugdata::edebug equals 1.
//   njimp (out)          jump; 0 on failure
//   n (in/out)           cycle number; unchanged on failure
//   maxcycle, time, time_calc, time_period, njimp_min, njimp_zul (in)  settings and step time
//   njimp_max, nmaxcycles (in)  not used
//   ncycles (in)         number of computed cycles of algorithm 3
//   istep, nstep (in)    step and number of steps
//   jumpalgo (in)        algorithm; outside 1 to 5 code -2 "Unknown cycle jump flag in
//                        CycleCount"
//   stepflag (in)        1 in a fatigue step
// Code -3: algorithm 2 with time_calc = time_period; algorithms 3 to 5 reading outside
// shokriehdata::cycles (5 and 3 also without it).
void CycleCount(double* njimp, double* n, const double* maxcycle, const double* time,
                const double* time_calc, const double* time_period, const double* njimp_min,
                const double* njimp_max, const double* njimp_zul, const i32* ncycles,
                const i32* nmaxcycles, const i32* istep, const i32* nstep, const i32* jumpalgo,
                const i32* stepflag);

// Cycles that may be jumped until strength or stiffness falls to njimp_dtol times its present
// value: 1e8 when df = degr_fac; else with n_f = 1e8 for speak < 1, otherwise the Shokrieh life
// of the stresses over ft with the larger of 10^b a and kappa, and sigma_max the larger
// magnitude of the extremes (0 for speak < 1):
//   w_s = (1 - ((njimp_dtol x_n - sigma_max)/(f0 - sigma_max))^alpha)^(1/beta)
//   w_e = (1 - ((njimp_dtol e_n - sigma_max/eps_f)/(e0 - sigma_max/eps_f))^gamma)^(1/lambda)
//   cjimp = min(cycles_at(w_s), cycles_at(w_e)) - max(1, n_f nm)
//   speak (in)             peak stress of the cycle
//   sbottom (in/out)       bottom stress; 0 is replaced by 1e-8
//   ft, fc (in)            tensile and compressive strength
//   f0, e0, eps_f (in)     undegraded strength, modulus and failure strain
//   a, b, u, v (in)        curve constants
//   nm (in)                consumed life fraction
//   cjimp (out)            allowable jump
//   alpha, beta, gamma, lambda (in)  residual-law exponents
//   x_n, e_n (in)          present strength and modulus
//   de (in)                not used
//   df, degr_fac (in)      present strength factor and the residual factor
//   njimp_dtol (in)        retained fraction
void AllowableCycleJump(const double* speak, double* sbottom, const double* ft,
                        const double* fc, const double* f0, const double* e0,
                        const double* eps_f, const double* a, const double* b, const double* u,
                        const double* v, const double* nm, double* cjimp, const double* alpha,
                        const double* beta, const double* gamma, const double* lambda,
                        const double* x_n, const double* e_n, const double* de,
                        const double* df, const double* degr_fac, const double* njimp_dtol);

}  // extern "C"
}  // namespace vorlen::fatigue
