// Module mccollection: inter-fibre failure (matrix cracking) criteria of a ply. Closed forms
// (Hashin's variants, Chai, Chang-Chang, Christensen, Cuntze, Bahei-El-Din) and action-plane
// criteria that search the fracture plane (Puck, Wiegand, Camanho, SPC3D, VDI 2014, LaRC04,
// LaRC05).
//
// Each criterion returns the failure index (exposure) rmc, 1 at failure onset. Stresses are
// tensor components in Nye order (1 the fibre direction, 3 the thickness), strengths positive
// magnitudes (compressive ones too); strengths are not checked. Stateless, no allocation; the
// only side effect is a report in the first-error register. Notes, each with rmc = 0 (the
// message is its first part followed by "evaluation. Please check your input parameters.", cut
// to 80 characters):
//   code -1 "Note: Negative root during Hashin failure" (MCrckHashin1989),
//           "Note: Negative root during Christensen failure" (MCrckChristensen),
//           "Note: Negative root during LaRC04 failure" (MCrckLaRC04, 1 - 4 m k < 0 for phic);
//   code -3 "Note: Negative root during Cuntze failure" (the Cuntze criteria, their effort 0
//           instead of rmc).
// Code -3 with rmc = 0 and outtheta kept: a refused angle search ("Angle search ... in
// <routine>": a range that is not finite or reversed; a scan step that is not finite, not
// positive or needs more than 1e5 samples); an unsupported stress count of MCrckBahei; an index
// that is not a number on every plane searched ("Angle search found no plane with a defined
// index in <routine>"). Code -3 "Input not a finite number in <routine>" (MCrckBahei and the
// action-plane criteria): a stress, strength or parameter that is NaN or infinite, with rmc as
// the formula and the search give it (0 where every sample is not a number).
//
// Polynomial index of a quadratic part Q and a linear part L: the reciprocal of the load factor
// at which Q + L = 1, 2Q/(sqrt(L^2 + 4Q) - L). T12 = (s12^2 + s13^2)/x12^2.
//
// Action-plane criteria: theta (radians, from the xy plane) turns a plane through the fibre
// axis about it; its tractions, c = cos(theta), s = sin(theta):
//   sn = s22 s^2 + s33 c^2 - 2 s23 s c, tl = s13 c - s12 s, tt = s23 (c^2 - s^2) + (s33 - s22) s c.
// rmc is the largest index of the angle search over the range (anglesearch::search): a scan
// from the lower end in steps of sainc degrees (5 when absent) while not above the upper end
// (a step wider than the range samples the lower end alone), or with gsflag = 1 the golden
// mode: a coarse scan in steps of sainc or 1 degree, whichever is smaller (at most 360 steps),
// brackets the peaks, and golden-section searches of at most npoints samples together refine
// every coarse peak within 5 % of the largest sample, the highest first. The plane turned by
// theta + pi is the plane turned by theta: a range of pi or more is searched in golden mode as
// one period, a peak across its end as one peak.
// outtheta (in/out, optional): negative on entry asks for the angle, which is written (radians)
// when, and only when, rmc >= 1; otherwise it is left as it is.
#pragma once
#include "base/view.hpp"

namespace vorlen::mccollection {
extern "C" {

// Hashin, plane stress.
//   rmc (out)        s22 >= 0: sqrt((s22/xt22)^2 + b), b = (s12/x12)^2. s22 < 0: the
//                    polynomial index of Q = b + (s22/(2 x23))^2,
//                    L = ((xc22/(2 x23))^2 - 1) s22/xc22 (L where its denominator is 0)
//   s22, s12 (in)    stresses
//   xt22, xc22, x12, x23 (in)  strengths
void MCrckHashinPS(double* rmc, const double* s22, const double* s12, const double* xt22,
                   const double* xc22, const double* x12, const double* x23);

// Hashin, three-dimensional with s13 in the longitudinal term.
//   rmc (out)        s22 >= 0: sqrt((s22/xt22)^2 + T12 + G), G = (s23/x23)^2. s22 < 0: the
//                    polynomial index of Q = (s22/(2 x23))^2 + T12 + G and L as MCrckHashinPS
//   s22, s12, s13, s23 (in)    stresses
//   xt22, xc22, x12, x23 (in)  strengths
void MCrckHashin3D(double* rmc, const double* s22, const double* s12, const double* s13,
                   const double* s23, const double* xt22, const double* xc22, const double* x12,
                   const double* x23);

// Hashin, complete transverse form with o = s22 + s33, I = (s23^2 - s22 s33)/x23^2.
//   rmc (out)        o >= 0: sqrt(u) for u = (o/xt22)^2 + I + T12 > 0, else 0. o < 0: the
//                    polynomial index of Q = o^2/(4 x23^2) + I + T12,
//                    L = (xc22^2/(4 x23^2) - 1) o/xc22 (L where its denominator is 0)
//   s22, s33, s12, s13, s23 (in)  stresses
//   xt22, xc22, x12, x23 (in)     strengths
void MCrckHashinComplete(double* rmc, const double* s22, const double* s33, const double* s12,
                         const double* s13, const double* s23, const double* xt22,
                         const double* xc22, const double* x12, const double* x23);

// Hashin 1989 with o, I as MCrckHashinComplete and T = (s12/x12)^2 + (s13/x13)^2.
//   rmc (out)        o >= 0: sqrt(u), u = o^2/(xt22 xt33) + I + T (u < 0: the note, 0).
//                    o < 0: the polynomial index of Q = o^2/(4 x23^2) + I + T,
//                    L = (s22/xc22 + s33/xc33)(xc22 xc33/(4 x23^2) - 1) (L^2 + 4Q < 0: the
//                    note, 0; denominator exactly 0: 0)
//   s22, s33, s12, s13, s23 (in)                      stresses
//   xt22, xc22, xt33, xc33, x12, x13, x23 (in)        strengths
void MCrckHashin1989(double* rmc, const double* s22, const double* s33, const double* s12,
                     const double* s13, const double* s23, const double* xt22, const double* xc22,
                     const double* xt33, const double* xc33, const double* x12, const double* x13,
                     const double* x23);

// Chai.
//   rmc (out)         sqrt((s22/Y)^2 + (s12/x12)^2 + (s23/x23)^2), Y = xt22 for s22 >= 0, else
//                     xc22
//   s22, s12, s23 (in)          stresses
//   xt22, xc22, x12, x23 (in)   strengths
//   dang (in, optional)         accepted, no effect
void MCrckChai(double* rmc, const double* s22, const double* s12, const double* s23,
               const double* xt22, const double* xc22, const double* x12, const double* x23,
               const double* dang);

// Chang-Chang.
//   rmc (out)         sqrt((s22/Y)^2 + (s12/x12)^2), Y = xt22 for s22 > 0, else xc22
//   s22, s12 (in)     stresses
//   xt22, xc22, x12 (in)  strengths
void MCrckChangChang(double* rmc, const double* s22, const double* s12, const double* xt22,
                     const double* xc22, const double* x12);

// Christensen.
//   rmc (out)         the polynomial index of L = (1/xt22 - 1/xc22) s22 + (1/xt33 - 1/xc33) s33,
//                     Q = (s23^2 - s22 s33)/x23^2 + (s12/x12)^2 + (s13/x13)^2
//                         + (s22 + s33)^2/sqrt(xt22 xc22 xt33 xc33);
//                     L^2 + 4Q < 0: the note, 0; denominator exactly 0: 0
//   s22, s33, s12, s13, s23 (in)                stresses
//   xt22, xc22, xt33, xc33, x12, x13, x23 (in)  strengths
void MCrckChristensen(double* rmc, const double* s22, const double* s33, const double* s12,
                      const double* s13, const double* s23, const double* xt22,
                      const double* xc22, const double* xt33, const double* xc33,
                      const double* x12, const double* x13, const double* x23);

// Cuntze (2004 form): rmc = (Et^m + Es^m + Ec^m)^(1/m), 0 when all five stresses are 0.
//   v = s22 + s33, w = (s22 - s33)^2 + 4 s23^2, tau2 = s12^2 + s13^2;
//   Et = (v + sqrt(w))/(2 xt22), 0.01 when negative;
//   Es = B^(1/3), B = (2 b1 (s22 s12^2 + s33 s13^2 + 2 s12 s13 s23) + tau2^1.5)/((x12 + x13)/2)^3,
//        0.01 when B < 0;
//   Ec = max(1/(-H/2 - r), 1/(r - H/2)), W = b3 tau2 + b2 w, H = (b2 - 1) v xc22/W,
//        r = sqrt(xc22^2/W + H^2/4) (radicand < 0: the note, r = 0), 0.01 when negative;
//        W = 0 (no shear, s22 = s33, s23 = 0): its limit max((b2 - 1) v/xc22, 0).
//   rmc (out)
//   s22, s33, s12, s13, s23 (in)  stresses
//   xt22, xc22, x12, x13 (in)     strengths
//   gp(3) (in, optional)   b1, b2, b3; (0.13, 1.5, 0.4) when absent
//   mint (in, optional)    exponent m; 2.5 when absent
void MCrckCuntze2004(double* rmc, const double* s22, const double* s33, const double* s12,
                     const double* s13, const double* s23, const double* xt22, const double* xc22,
                     const double* x12, const double* x13, const double* gp, const double* mint);

// Cuntze (2012 form): rmc = (Et^m + Ec^m + Es^m)^(1/m), 0 when all five stresses are 0.
//   r = sqrt(4 s23^2 + (s22 - s33)^2); Et = max((s22 + s33 + r)/(2 xt22), 0);
//   Ec = max(((b2 - 1)(s22 + s33) + b2 r)/xc22, 0);
//   Es = sqrt(P/(2 x12^3)), P = I + sqrt(4 x12^2 (s12^2 + s13^2)^2 + I^2),
//        I = b1 (2 s22 s12^2 + 2 s33 s13^2 + 4 s23 s13 s12) (P < 0: the note, Es = 0).
//   rmc (out)
//   s22, s33, s12, s13, s23 (in)  stresses
//   xt22, xc22, x12 (in)          strengths
//   gp(2) (in, optional)   b1, b2; (0.16, 1.16) when absent
//   mint (in, optional)    exponent m; 2.4 when absent
void MCrckCuntze2012(double* rmc, const double* s22, const double* s33, const double* s12,
                     const double* s13, const double* s23, const double* xt22, const double* xc22,
                     const double* x12, const double* gp, const double* mint);

// Bahei-El-Din: the largest of three efforts (values that are not numbers skipped).
//   rmc (out)          interphase given with neither entry -1: efforts
//                      (0, abs(interphase(2) min(s33, 0) + sqrt(s23^2 + s13^2))/interphase(1),
//                      max(s33, 0)/xnorm); else (D, 0, 0) with
//                      D = (s11^2 + s22^2 + s33^2 - s11 s22 - s22 s33 - s33 s11)/xnorm^2
//                          + 3 (s12^2 + s13^2 + s23^2)/xshear^2
//   stressvector(nstress) (in)  nstress 3: (s11, s22, s12); 4: (s11, s22, s33, s12); 6 or more:
//                      Nye order; missing components are 0. Another nstress records code -3
//                      and gives rmc = 0, failmode unchanged, nothing read
//   xnorm, xshear (in) normal and shear strengths
//   nstress (in)       number of components
//   interphase(2) (in, optional)  interphase shear strength and friction coefficient
//   failmode (in/out, optional)   negative on entry and rmc >= 1: the position (1 to 3) of the
//                      first largest effort; else unchanged
void MCrckBahei(double* rmc, const double* stressvector, const double* xnorm,
                const double* xshear, const i32* nstress, const double* interphase,
                i32* failmode);

// Puck, range 0 to pi, golden refinements of at most 200 samples, whose seams are the planes
// where sn changes sign (the index has a kink there). RA = xc22/(2 (1 + p4)), w = tl^2 + tt^2.
//   index, sn < 0:  p + sqrt((tt/RA)^2 + p^2 + (tl/x12)^2),
//                   p = (p4 tt^2/RA + p2 tl^2/x12) sn/w (0 for w = 0);
//          sn >= 0: q sn + sqrt(((1/xt22 - q) sn)^2 + (tt/RA)^2 + (tl/x12)^2),
//                   q = (p3 tt^2/RA + p1 tl^2/x12)/w (0 for w = 0)
//   rmc (out)
//   s22, s33, s12, s13, s23 (in)  stresses
//   xt22, xc22, x12 (in)          strengths
//   outtheta (in/out, optional)   fracture-plane angle (above)
//   gp(4) (in, optional)   p1 .. p4 (tension and compression inclinations along, then across
//                          the fibres); (0.3, 0.2, 0.15, 0.15) when absent
//   sainc (in, optional)   step in degrees; 5 when absent
//   gsflag (in, optional)  1 golden mode, else (and absent) scan
//   tcflag (out, optional) written when rmc >= 1: +1 when sn >= 0, else -1, on the plane of
//                          the last sample of a scan (its last angle) or, in golden mode, on
//                          the plane of the maximum returned
void MCrckPuck(double* rmc, const double* s22, const double* s33, const double* s12,
               const double* s13, const double* s23, const double* xt22, const double* xc22,
               const double* x12, double* outtheta, const double* gp, const double* sainc,
               const i32* gsflag, i32* tcflag);

// Wiegand, range 0 to pi, golden refinements of at most 200 samples. mu = -1/(2 tan(2 a0)),
// RA = xc22/(2 tan(a0)), muL = mu x12/RA, u = tl/(x12 - muL sn), v = tt/(RA - mu sn).
//   index: sqrt(u^2 + v^2) for sn < 0, sqrt(u^2 + v^2 + (sn/xt22)^2) for sn >= 0
//   rmc (out)
//   s22, s33, s12, s13, s23 (in)  stresses
//   xt22, xc22, x12 (in)          strengths
//   outtheta (in/out, optional)   fracture-plane angle (above)
//   a0 (in, optional)      fracture angle in pure transverse compression, degrees; 53 when absent
//   sainc, gsflag (in, optional)  as MCrckPuck
void MCrckWiegand(double* rmc, const double* s22, const double* s33, const double* s12,
                  const double* s13, const double* s23, const double* xt22, const double* xc22,
                  const double* x12, double* outtheta, const double* a0, const double* sainc,
                  const i32* gsflag);

// Camanho, range 0 to pi, golden refinements of at most 200 samples with the seams of
// MCrckPuck.
// mu = -1/(2 tan(2 a0)), muL = mu x12/x23, kappa = (x23^2 - xt22^2)/(xt22 x23),
// lambda = 2 muL x23/x12 - kappa.
//   index, sn <= 0: sqrt((tl/(x12 - muL sn))^2 + (tt/(x23 - mu sn))^2);
//          sn > 0:  sqrt(a^2 + (tl/x12)^2 + (tt/x23)^2 + lambda a (tl/x12)^2 + kappa a),
//                   a = sn/x23 (a negative radicand gives a sample that is not a number,
//                   which the search skips)
//   rmc (out)
//   s22, s33, s12, s13, s23 (in)  stresses
//   xt22, xc22, x12, x23 (in)     strengths (xc22 not used)
//   outtheta, a0, sainc, gsflag (in(/out), optional)  as MCrckWiegand
void MCrckCamanho(double* rmc, const double* s22, const double* s33, const double* s12,
                  const double* s13, const double* s23, const double* xt22, const double* xc22,
                  const double* x12, const double* x23, double* outtheta, const double* a0,
                  const double* sainc, const i32* gsflag);

// SPC3D, range salims, golden refinements of at most 200 samples; strengths interpolated on the
// plane with c = cos(theta), s = sin(theta), h = abs(sin(2 theta)). The index jumps where sn
// changes sign and has a kink at 90 degrees: the golden mode takes these planes as seams.
//   index, sn < 0:  p + sqrt(p^2 + t^2 + l^2), p = g2 sn/(s^2 xc22 + c^2 xc33 + xcs(3) h),
//                   t = tt/((xc22 + xc33) h + xcs(3)), l = tl/(abs(s) xcs(1) + abs(c) xcs(2));
//          sn >= 0: g1 f + sqrt(((1 - g1) f)^2 + t^2 + l^2), f = sn/(s^2 xt22 + c^2 xt33 + xt23 h),
//                   t = tt/((xt22 + xt33) h + xt23), l = tl/(abs(s) xt12 + abs(c) xt13)
//   rmc (out)
//   s22, s33, s12, s13, s23 (in)  stresses
//   xt11, xc11 (in)               not used
//   xt22, xc22, xt33, xc33 (in)   normal strengths
//   xt12, xt13, xt23 (in)         shear strengths under tension on the plane
//   xcs(3) (in, optional)  shear strengths under compression on the plane; an absent array or
//                          a zero entry takes the tension value (xt12, xt13, xt23)
//   outtheta (in/out, optional)   fracture-plane angle (above)
//   gp(2) (in, optional)   g1, g2; (0.3, -0.3) when absent
//   sainc (in, optional)   step in degrees; 2 when absent
//   salims(2) (in, optional)  range in degrees; (2, 178) when absent
//   gsflag (in, optional)  as MCrckPuck
void MCrckSPC3D(double* rmc, const double* s22, const double* s33, const double* s12,
                const double* s13, const double* s23, const double* xt11, const double* xc11,
                const double* xt22, const double* xc22, const double* xt33, const double* xc33,
                const double* xt12, const double* xt13, const double* xt23, const double* xcs,
                double* outtheta, const double* gp, const double* sainc, const double* salims,
                const i32* gsflag);

// VDI 2014: Puck's criterion weakened by the fibre-parallel stress. Range 0 to pi, at most 100
// samples in golden mode with the seams of MCrckPuck. RA = xc22/(2 (1 + p4));
// psi = atan(tl/tt), ws = sin^2(psi), wc = cos^2(psi) where abs(tt) > 1e-6, else ws = 1,
// wc = 3.749399456654644e-33.
//   index, sn >= 0: sqrt(((1/xt22 - q) sn)^2 + (tt/RA)^2 + (tl/x12)^2) + q sn,
//                   q = p3 wc/RA + p1 ws/x12;
//          sn < 0:  sqrt((tt/RA)^2 + (tl/x12)^2 + p^2) + p, p = (p4 wc/RA + p2 ws/x12) sn
//   rmc (out)        y/eta with y the largest index when wp(1) <= c <= 1/wp(2), else y;
//                    c = y/fe (1e6 for fe <= 1e-6), fe = s11/xt11 (s11 >= 0) or -s11/xc11,
//                    a = (1 - wp(2))/sqrt(1 - wp(1)^2),
//                    eta = (a sqrt((a^2 - wp(2)^2) c^2 + 1) + wp(2)) c/((c a)^2 + 1)
//   s11, s22, s33, s12, s13, s23 (in)  stresses
//   xt11, xc11, xt22, xc22, x12 (in)   strengths
//   outtheta (in/out, optional)   fracture-plane angle (above)
//   gp(4) (in, optional)   p1 .. p4 as MCrckPuck; (0.3, 0.3, 0.25, 0.25) when absent
//   wp(2) (in, optional)   weakening parameters; (0.5, 0.5) when absent
//   sainc, gsflag (in, optional)  as MCrckPuck
void MCrckVDI2014(double* rmc, const double* s11, const double* s22, const double* s33,
                  const double* s12, const double* s13, const double* s23, const double* xt11,
                  const double* xc11, const double* xt22, const double* xc22, const double* x12,
                  double* outtheta, const double* gp, const double* wp, const double* sainc,
                  const i32* gsflag);

// LaRC04 matrix cracking. g = gc(1)/gc(2) when gc is given with both entries non-zero, else 0.35
// (in single precision, 0.3499999940395355).
//   rmc (out)   s22 >= 0 (no search, outtheta unchanged): 0 when fcl is given and non-zero, else
//               (1 - g) a + g a^2 + (s12/x12)^2 + (1/e22 - nu12^2/e11) (s23/x12)^2, a = s22/xt22.
//               s22 < 0: the largest over theta, golden refinements of at most 200 samples, of
//               (tt/(ST - etaT sn))^2 + (tl/(x12 - etaL sn))^2 with etaT = -1/tan(2 a0),
//               ST = xc22 cos(a0) (sin(a0) + cos(a0)/tan(2 a0)), etaL = etaT x12/ST:
//               s11 >= xc22: tractions of the given stresses, theta in [-pi, pi];
//               s11 < xc22: tractions of the misalignment frame, theta in [0, pi]: the stresses
//               turned by psi = 0.5 atan(2 s23/(s22 - s33)) (0 for s22 = s33 with s23 = 0) about
//               the fibre axis (fcl given and non-zero: rmc = 0 here), then by
//               phi = sign (g12 phi0 + abs(s12))/(s11 + g12 - s22) about axis 3, sign +1 where
//               the turned s12 is >= 0, else -1, phi0 = phic - xc11 phic/g12,
//               phic = atan((1 - sqrt(1 - 4 m k))/(2 m)), k = x12/xc11, m = etaL + k
//               (1 - 4 m k < 0: the note, 0)
//   s11, s22, s33, s12, s13, s23 (in)  stresses
//   xt11, xc11, xt22, xc22, x12 (in)   strengths (xt11 not used)
//   e11, e22, g12, nu12 (in)           elastic constants
//   gc(2) (in, optional)     fracture toughnesses GIc, GIIc
//   a0 (in, optional)        fracture angle in pure transverse compression; 53 when absent
//   outtheta (in/out, optional)  fracture-plane angle (above)
//   sainc (in, optional)     as MCrckPuck
//   fcl (in, optional)       present and non-zero: rmc = 0 (above)
//   gsflag (in, optional)    as MCrckPuck
void MCrckLaRC04(double* rmc, const double* s11, const double* s22, const double* s33,
                 const double* s12, const double* s13, const double* s23, const double* xt11,
                 const double* xc11, const double* xt22, const double* xc22, const double* x12,
                 const double* e11, const double* e22, const double* g12, const double* nu12,
                 const double* gc, const double* a0, double* outtheta, const double* sainc,
                 const i32* fcl, const i32* gsflag);

// LaRC05 matrix cracking, range 0 to pi, golden refinements of at most 200 samples; etaT, ST,
// etaL as MCrckLaRC04.
//   index: (tt/(ST - etaT sn))^2 + (tl/(x12 - etaL sn))^2 + (max(sn, 0)/xt22)^2
//   rmc (out)
//   s22, s33, s12, s13, s23 (in)  stresses
//   xt22, xc22, x12 (in)          strengths
//   a0 (in, optional)        as MCrckWiegand
//   outtheta (in/out, optional)  fracture-plane angle (above)
//   sainc, gsflag (in, optional)  as MCrckPuck
void MCrckLaRC05(double* rmc, const double* s22, const double* s33, const double* s12,
                 const double* s13, const double* s23, const double* xt22, const double* xc22,
                 const double* x12, const double* a0, double* outtheta, const double* sainc,
                 const i32* gsflag);

}  // extern "C"
}  // namespace vorlen::mccollection
