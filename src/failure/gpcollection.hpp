// Module gpcollection: mode-independent failure criteria of a ply (maximum and quadratic
// nominal stress, interaction rules, the general quadratic polynomial and its transversely
// isotropic form) and four isotropic criteria of neat resin.
//
// Each ply criterion returns the failure index (exposure) rgp, 1 at failure onset. Stresses are
// tensor components in Nye order, strengths positive magnitudes (compressive ones too). "X by
// the sign" of a normal stress s means the tensile strength for s >= 0, else the compressive.
// Nothing is checked: zero strengths give infinite or undefined indices. Stateless, no
// allocation; the only side effect is a note in the first-error register.
//
// Polynomial index (GPPolynomial, GPPolyCamanho): with Q the quadratic and L the linear part of
// the polynomial, the index is the reciprocal of the load factor at which Q + L = 1 is reached,
// 2Q/(sqrt(D) - L) with D = L^2 + 4Q, taken as (L + sqrt(D))/2 where L > 0; 0 when Q = L = 0;
// 0 with code -1 "Note: Negative root during polynomial failureevaluation. Please check your
// input" when D < 0.
#pragma once
#include "base/view.hpp"

namespace vorlen::gpcollection {
extern "C" {

// Maximum nominal stress along the fibres.
//   rgp (out)         abs(s11/X), X = xc11 for s11 <= 0, else xt11
//   s11 (in)          stress along the fibres
//   xt11, xc11 (in)   tensile and compressive strengths along the fibres
void GPMaxNominal(double* rgp, const double* s11, const double* xt11, const double* xc11);

// Quadratic nominal stress.
//   rgp (out)            sqrt((s11/xt11)^2 + (s12/x12)^2 + (s13/x13)^2), the tensile strength
//                        whatever the sign of s11
//   s11, s12, s13 (in)   stresses
//   xt11, x12, x13 (in)  tensile strength along the fibres, shear strengths
void GPQuadNominal(double* rgp, const double* s11, const double* s12, const double* s13,
                   const double* xt11, const double* x12, const double* x13);

// Linear interaction.
//   rgp (out)          abs(a + b + s12/x12), a = s11/X11, b = s22/X22 (X by the sign); the
//                      shear term keeps its sign
//   s11, s22, s12 (in) stresses
//   xt11, xc11, xt22, xc22, x12 (in)  strengths
void GPLinInteraction(double* rgp, const double* s11, const double* s22, const double* s12,
                      const double* xt11, const double* xc11, const double* xt22,
                      const double* xc22, const double* x12);

// Quadratic interaction.
//   rgp (out)   sqrt(a^2 + b^2 + (s12/x12)^2), a and b as GPLinInteraction
//   other arguments as GPLinInteraction
void GPQuadInteraction(double* rgp, const double* s11, const double* s22, const double* s12,
                       const double* xt11, const double* xc11, const double* xt22,
                       const double* xc22, const double* x12);

// Yamada-Sun.
//   rgp (out)                  sqrt(a^2 + (s12/x12)^2 + (s13/x13)^2), a = s11/X11 (X by the
//                              sign)
//   s11, s12, s13 (in)         stresses
//   xt11, xc11, x12, x13 (in)  strengths
void GPYamadaSunInteraction(double* rgp, const double* s11, const double* s12, const double* s13,
                            const double* xt11, const double* xc11, const double* x12,
                            const double* x13);

// Norris.
//   rgp (out)   sqrt(a^2 - a b + b^2 + (s12/x12)^2), a and b signed as GPLinInteraction
//   other arguments as GPLinInteraction
void GPNorrisInteraction(double* rgp, const double* s11, const double* s22, const double* s12,
                         const double* xt11, const double* xc11, const double* xt22,
                         const double* xc22, const double* x12);

// General quadratic polynomial (Tsai-Wu for ptype 0, Hill's form for ptype 1).
//   rgp (out)                   polynomial index (above) of
//                               Q = F11 s11^2 + F22 s22^2 + F33 s33^2 + F12 s11 s22
//                                   + F13 s11 s33 + F23 s22 s33 + (s12/x12)^2 + (s13/x13)^2
//                                   + (s23/x23)^2,
//                               L = F1 s11 + F2 s22 + F3 s33
//   s11, s22, s33, s12, s13, s23 (in)  stresses
//   xt11, xc11, xt22, xc22, xt33, xc33, x12, x13, x23 (in)  strengths
//   xint (in, optional)         interaction factor; absent: F12 = F13 = F23 = 0
//   ptype (in, optional)        absent as 0.
//                               Fi = 1/xti - 1/xci, except ptype 1: Fi = 0.
//                               ptype 1: Fii = 1/Xi^2, X by the sign of sii; else
//                               Fii = 1/(xti xci).
//                               ptype 0: F12 = 2 xint sqrt(F11 F22), F13, F23 alike;
//                               ptype 1 or 2: F12 = 2 xint (F11 + F22 - F33),
//                               F13 = 2 xint (F11 + F33 - F22), F23 = 2 xint (F22 + F33 - F11);
//                               another ptype: 0
void GPPolynomial(double* rgp, const double* s11, const double* s22, const double* s33,
                  const double* s12, const double* s13, const double* s23, const double* xt11,
                  const double* xc11, const double* xt22, const double* xc22, const double* xt33,
                  const double* xc33, const double* x12, const double* x13, const double* x23,
                  const double* xint, const i32* ptype);

// Transversely isotropic quadratic polynomial: direction 3 takes the strengths of direction 2.
//   rgp (out)                   polynomial index (above) of
//                               Q = F11 s11^2 + F22 s22^2 + c33 s33^2 + w s11 (s22 + s33)
//                                   + 2 F23 s22 s33 + (s12/x12)^2 + c13 s13^2 + c23 s23^2,
//                               L = F1 s11 + F2 (s22 + s33), F23 = F22 - 0.5/x23^2
//   s11, s22, s33, s12, s13, s23 (in)  stresses
//   xt11, xc11, xt22, xc22, x12, x13, x23 (in)  strengths
//   xint (in, optional)         interaction factor: w = 2 xint sqrt(F11 F22) when given and
//                               abs(xint) <= 1, else w = 0
//   ptype (in, optional)        absent as 0.
//                               ptype 0: F11 = 1/(xt11 xc11), F22 = 1/(xt22 xc22),
//                               F1 = 1/xt11 - 1/xc11, F2 = 1/xt22 - 1/xc22; another ptype:
//                               F11 = 1/xt11^2, F22 = 1/xt22^2, F1 = F2 = 0.
//                               c33 = F22 for ptype 0 or 1, else 0; c13 = 1/x13^2 and
//                               c23 = 1/x23^2, except ptype 2: 0
void GPPolyCamanho(double* rgp, const double* s11, const double* s22, const double* s33,
                   const double* s12, const double* s13, const double* s23, const double* xt11,
                   const double* xc11, const double* xt22, const double* xc22, const double* x12,
                   const double* x13, const double* x23, const double* xint, const i32* ptype);

// Isotropic resin criteria. Of stress(6) only I1 = s11 + s22 + s33 and the von Mises stress vM
// of the six entries are used, so the order of the shear entries does not matter.

// Drucker-Prager.
//   stress(6) (in)    stress
//   xt, xc (in)       tensile and compressive strengths of the resin
//   d (in/out)        1 when -1 <= di1 <= 1, else max(d, 0)
//   di1 (out)         (xt - xc)/(xt + xc) I1/sqrt(3) + 2 xt xc/((xt + xc) sqrt(3))
//                     - sqrt(vM^2/3), 0 on the surface through +xt and -xc
void GPDruckerPrager(const double* stress, const double* xt, const double* xc, double* d,
                     double* di1);

// Bauwens.
//   stress(6), xt, xc (in)  as GPDruckerPrager
//   d (in/out)        min(max(f, d), 1), f = 0.5 (1/xt + 1/xc) vM + 0.5 I1 (1/xt - 1/xc): d
//                     never decreases
void GPBauwens(const double* stress, const double* xt, const double* xc, double* d);

// Raghava (paraboloid).
//   stress(6), xt, xc (in)  as GPDruckerPrager
//   d (in/out)        min(max(f, d, 0), 1), f = (1/xt - 1/xc) I1 + vM^2/(xt xc)
void GPRaghava(const double* stress, const double* xt, const double* xc, double* d);

// Ha's criterion with exponent np.
//   stress(6), xt, xc (in)  as GPDruckerPrager
//   np (in)           exponent
//   d (out)           min(dmises + di1, 1)
//   di1 (out)         I1/i1cr (signed)
//   dmises (out)      (vM/misescr)^np
//   i1cr (out)        xt (r^np + r)/(r^np - 1), r = xc/xt (infinite for xt = xc)
//   misescr (out)     xt ((r^np + r)/(r + 1))^(1/np)
//   life (in/out)     1 when d reaches 1, else unchanged
void GPHa(const double* stress, const double* xt, const double* xc, const double* np, double* d,
          double* di1, double* dmises, double* i1cr, double* misescr, double* life);

}  // extern "C"
}  // namespace vorlen::gpcollection
