// Module fbcollection: fibre failure criteria of a ply (Chang-Chang, Hashin, Christensen, the
// LaRC04 and LaRC05 kinking criteria and Bahei-El-Din's four efforts).
//
// Each criterion returns the failure index (exposure) rfb, 1 at failure onset. Stresses are
// tensor components in Nye order (1 the fibre direction), strengths positive magnitudes. "X by
// the sign" of s11 means xt11 for s11 >= 0, else xc11. Strengths are not checked. Stateless, no
// allocation; the only side effect is a note in the first-error register:
//   code -1, index 0: a negative root or a division by zero, with the message
//     "<first part>evaluation. Please check your input parameters." cut to 80 characters;
//   code -3, index 0: an angle search refused (a scan step that is not finite, not positive or
//     needs more than 1e5 samples), a kink-plane index that is not a number on every plane
//     searched ("Angle search found no plane with a defined index in <routine>"), or an
//     unsupported stress count of FBBahei;
//   code -3 "Input not a finite number in <routine>" (FBLaRC05, FBLaRC05_is, FBBahei): a
//     stress, strength or parameter the index reads that is NaN or infinite, with the index as
//     the formula and the search give it (0 where every kink plane's index is not a number).
//
// Kinking (FBLaRC04, FBLaRC05, FBLaRC05_is), for s11 < 0. Angles a0 and sainc in degrees.
//   Fracture-plane constants: etaT = -1/tan(2 a0), ST = xc22 cos(a0) (sin(a0) + cos(a0)/tan(2 a0)),
//   etaL = etaT x12/ST.
//   Misalignment at failure: k = x12/xc11, m = etaL + k, phic = atan((1 - sqrt(1 - 4 m k))/(2 m))
//   (1 - 4 m k < 0: note "Note: Negative root during LaRC0x failure", index 0); initial
//   misalignment phi0 = phic - xc11 phic/g12.
//   On a kink plane turned by psi about the fibre axis (s_psi the stresses in that frame):
//   phi = sign (g12 phi0 + abs(s12))/(g12 + s11 - s22) with the unturned s11, s12, s22 and
//   sign = +1 for s_psi12 >= 0, else -1; m = the stresses s_psi turned by phi about axis 3.
#pragma once
#include "base/view.hpp"

namespace vorlen::fbcollection {
extern "C" {

// Chang-Chang.
//   rfb (out)             sqrt((s11/X)^2 + (s12/x12)^2), X by the sign of s11
//   s11, s12 (in)         stresses
//   xt11, xc11, x12 (in)  strengths
void FBChangChang(double* rfb, const double* s11, const double* s12, const double* xt11,
                  const double* xc11, const double* x12);

// Hashin, in tension and compression alike.
//   rfb (out)                  sqrt((s11/X)^2 + alpha ((s12/x12)^2 + (s13/x13)^2)), X by the
//                              sign of s11
//   s11, s12, s13 (in)         stresses
//   xt11, xc11, x12, x13 (in)  strengths
//   alpha (in, optional)       weight of the shear terms; 1 when absent
void FBHashin(double* rfb, const double* s11, const double* s12, const double* s13,
              const double* xt11, const double* xc11, const double* x12, const double* x13,
              const double* alpha);

// Christensen.
//   rfb (out)            2Q/(sqrt(D) - L), D = L^2 + 4Q, L = (1/xt11 - 1/xc11) s11,
//                        Q = s11^2/(xt11 xc11) - 0.25 (1/xt11 + 1/xc11)^2 s11 (s22 + s33).
//                        D < 0: 0 with the note "Note: Negative root during Christensen
//                        failure"; sqrt(D) - L exactly 0 (zero stress among others): 0 with the
//                        note "Note: Division by Zero during Christensen failure"
//   s11, s22, s33 (in)   stresses
//   xt11, xc11 (in)      strengths along the fibres
void FBChristensen(double* rfb, const double* s11, const double* s22, const double* s33,
                   const double* xt11, const double* xc11);

// LaRC04 fibre failure with the kink plane in closed form.
//   rfb (out)               s11 >= 0: s11/xt11. s11 < 0: kink plane
//                           psi = 0.5 atan(2 s23/(s22 - s33)) (0 for s22 = s33 with s23 = 0),
//                           misalignment frame m (above), then
//                           m22 < 0:  (m12/(x12 - etaL m22))^2,
//                           m22 >= 0: (1 - g) a + g a^2 + (m12/x12)^2
//                                     + (1/e22 - nu12^2/e11) (m13/x12)^2, a = m22/xt22
//   s11, s22, s33, s12, s13, s23 (in)  stresses
//   xt11, xc11, xt22, xc22, x12 (in)   strengths
//   e11, e22, g12, nu12 (in)           elastic constants
//   gc(2) (in, optional)    fracture toughnesses: g = gc(1)/gc(2) when both are non-zero, else
//                           g = 0.35 (in single precision, 0.3499999940395355)
//   a0 (in, optional)       fracture angle in pure transverse compression; 53 when absent
//   fcl (in, optional)      present and non-zero: rfb = 0 for s11 < 0
void FBLaRC04(double* rfb, const double* s11, const double* s22, const double* s33,
              const double* s12, const double* s13, const double* s23, const double* xt11,
              const double* xc11, const double* xt22, const double* xc22, const double* x12,
              const double* e11, const double* e22, const double* g12, const double* nu12,
              const double* gc, const double* a0, const i32* fcl);

// LaRC05 fibre kinking, the kink plane found by an angle search.
//   rfb (out)               s11 >= 0: s11/xt11. s11 < 0: the largest over psi in [0, pi] of
//                           (t2/(ST - etaT sn))^2 + (t1/(x12 - etaL sn))^2 + (max(sn, 0)/xt22)^2
//                           with sn = m33, t1 = m13, t2 = m23 (the face normal to axis 3 of the
//                           misalignment frame m, above)
//   s11, s22, s33, s12, s13, s23 (in)  stresses
//   xt11, xc11, xt22, xc22, x12 (in)   strengths
//   g12 (in)                in-plane shear modulus
//   a0 (in, optional)       fracture angle in pure transverse compression; 53 when absent
//   sainc (in, optional)    scan step (gsflag not 1) or step of the coarse scan of the golden
//                           mode (gsflag 1; at most 1 degree); 5 when absent
//   gsflag (in, optional)   1 golden mode (refinements of at most 200 samples together;
//                           anglesearch::search with the period pi, the kink plane turned by
//                           psi + pi being the one turned by psi, and the kink plane where
//                           s_psi12 changes sign, and the index jumps, as its seam), else (and
//                           absent) scan
//   fcl (in, optional)      present and non-zero: rfb = 0 for s11 < 0
void FBLaRC05(double* rfb, const double* s11, const double* s22, const double* s33,
              const double* s12, const double* s13, const double* s23, const double* xt11,
              const double* xc11, const double* xt22, const double* xc22, const double* x12,
              const double* g12, const double* a0, const double* sainc, const i32* gsflag,
              const i32* fcl);

// LaRC05 fibre kinking with in-situ (effective) strengths.
//   rfb (out)               s11 >= 0: s11/xt11. s11 < 0 and abs(s11) > abs(xc11)/2: the largest
//                           over psi in [0, pi] of (t2/(x23 - etaT sn))^2
//                           + (t1/(x13 c^2 + x12 s^2 - etaL sn))^2
//                           + (max(sn, 0)/(xt33 c^2 + xt22 s^2))^2, c = cos(phi), s = sin(phi),
//                           sn, t1, t2 as FBLaRC05; else 0. Here etaL = etaT x12_std/x23_std and
//                           k = x12_std/xc11_std; xt11, xc11 (of phi0) and the strengths of the
//                           index are the effective ones
//   s11, s22, s33, s12, s13, s23 (in)  stresses
//   xt11_std, xc11_std, xt22_std, x23_std, x12_std (in)  standard strengths
//   g12 (in)                in-plane shear modulus
//   a0, sainc, gsflag, fcl (in, optional)  as FBLaRC05
//   x_is(9) (in, optional)  effective strengths (xt11, xt22, xt33, xc11, xc22, xc33, x12, x13,
//                           x23), entries 5 and 6 unused; an absent array or a zero entry takes
//                           the standard value: xt33 = xt22 and x13 = x12 (effective values)
void FBLaRC05_is(double* rfb, const double* s11, const double* s22, const double* s33,
                 const double* s12, const double* s13, const double* s23, const double* xt11_std,
                 const double* xc11_std, const double* xt22_std, const double* x23_std,
                 const double* x12_std, const double* g12, const double* a0, const double* sainc,
                 const i32* gsflag, const i32* fcl, const double* x_is);

// Bahei-El-Din: the largest of four efforts.
//   rfb (out)                  s11 > xlnorm: abs(s11/xlnorm). Otherwise the largest (values
//                              that are not numbers skipped) of
//                              abs((sqrt(s12^2 + s13^2) + mu min(sn, 0))/xlshear),
//                              abs((tT + mu min(m, 0))/xtshear),
//                              max(m + sqrt((s22 - s33)^2/4 + s23^2), 0)/xtnorm,
//                              sn = (s12^2 s22 + s13^2 s33 + 2 s12 s13 s23)/(s12^2 + s13^2)
//                              (0 when both are 0), m = (s22 + s33)/2,
//                              tT = 0.5 sqrt((s22 - s33)^2 + 4 s23^2)
//   stressvector(nstress) (in) nstress 3: (s11, s22, s12); 4: (s11, s22, s33, s12); 6 or more:
//                              Nye order; missing components are 0. Another nstress records
//                              code -3 and gives rfb = 0, failmode unchanged
//   xlnorm, xtnorm (in)        longitudinal and transverse normal strengths
//   xlshear, xtshear (in)      longitudinal and transverse shear strengths
//   mu (in)                    friction coefficient
//   nstress (in)               number of components
//   failmode (in/out, optional)  negative on entry and rfb >= 1: the position (1 to 4) of the
//                              first largest effort (1 the fibre tension effort); else unchanged
void FBBahei(double* rfb, const double* stressvector, const double* xlnorm, const double* xtnorm,
             const double* xlshear, const double* xtshear, const double* mu, const i32* nstress,
             i32* failmode);

}  // extern "C"
}  // namespace vorlen::fbcollection
