// Non-linearity measures of stiffness and strength: reduction with strain (Kaestner, Krause,
// Hahn-Tsai), with temperature (Mahieux, Gibson) and with load cycles (Adam). A measure dnl
// reduces a parameter to (1 - dnl) times its initial value.
#pragma once
#include "base/view.hpp"

namespace vorlen::nlcollection {
extern "C" {

// dnl (out) = 1 - 1/(1 + beta |eps|); beta, eps (in).
void NLKaestner(double* dnl, const double* beta, const double* eps);
// dnl (out) = 1 - exp(-beta |eps|); beta, eps (in).
void NLKrause(double* dnl, const double* beta, const double* eps);

// Hahn-Tsai measure of the shear response eps = sig/tg + beta sig^3.
//   dnl (out)   (3 beta tg sig^2 - 2 beta sig^3/eps)/(3 beta tg sig^2 + 1), 0 for eps = 0
//   tg (in)     initial shear modulus
//   beta (in)   non-linearity coefficient
//   sig, eps (in)  stress and strain
void NLHahnTsai(double* dnl, const double* tg, const double* beta, const double* sig,
                const double* eps);

// Hahn-Tsai measure at the stress consistent with a strain, and its fixed-point map; has the
// argument list of a math_fpsafe map, which it is for itself.
//   dout (out)     ns 1: the measure at the stress solving eps = sig/tg + beta sig^3, found by
//                  math_fpsafe from args(1) (tolerance 0.001, 100 iterations; its warning when
//                  not converged); ns 2: eps tg (1 - dnl), the stress of the degraded modulus;
//                  other or absent ns: NLHahnTsai at args
//   args(na) (in)  sig, eps, tg, beta
//   na (in)        at least 4; fewer records code -3 and gives 0
//   ns (in, optional)  mode
void FPHahnTsai(double* dout, const double* args, const i32* na, const i32* ns);

// Residual property after n of nf cycles.
//   dnl (out)   1 - L/l with L = x + (l - x)(1 - f)^(1/alpha),
//               f = ((log10 n - log10 lg(1))/(log10 nf - log10 lg(2)))^beta
//   l, x (in)   initial value and value at failure (n = nf)
//   n, nf (in)  cycles and cycles to failure
//   alpha, beta (in)  shape exponents
//   lg(2) (in, optional)  cycle counts where the curve starts (absent: 0.25, 0.25)
void NLAdam(double* dnl, const double* l, const double* x, const double* n, const double* nf,
            const double* alpha, const double* beta, const double* lg);

// Temperature laws over ntrans transitions; props(2 ntrans + 1) = P0, T1, P1, ..., Tn, Pn.
// Mahieux: Pn + sum_k (P(k-1) - Pk) exp(-(t/Tk)^m(k)).
//   t (in), props(2 ntrans + 1) (in), m(ntrans) (in) Weibull exponents, ntrans (in)
double NLMahieux(const double* t, const double* props, const double* m, const i32* ntrans);
// Gibson: sum_k ((Pk + P(k-1))/2 - (P(k-1) - Pk)/2 tanh(xi(k) t/Tk)).
//   t (in), props(2 ntrans + 1) (in), xi(ntrans) (in) tanh coefficients, ntrans (in)
double NLGibson(const double* t, const double* props, const double* xi, const i32* ntrans);
}
}  // namespace vorlen::nlcollection
