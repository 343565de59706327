// Failure-mode dispatch per ply of module damage: the general, fibre, matrix, delamination and
// core modes of one ply (or of the interface above it), each by the criterion its selector flag
// names, with the ply's strengths and constants from the material tables.
//
// Tables (column-major; the first temperature block of the material card):
//   peprops(9, nlayer, nsec)   E1, E2, E3, nu12, nu13, nu23, G12, G13, G23
//   psprops(10, nlayer, nsec)  Xt11, Xt22, Xt33, Xc11, Xc22, Xc33, X12, X13, X23, ILSS, all
//                              positive magnitudes; zero strengths are passed on to the criteria
//   pdprops(nprops, nlayer, nsec)  criterion parameters, closed by a sentinel
// Ply stresses are Nye tensor components in ply axes: s11, s22, s33, s12, s13, s23.
//
// Results: the exposure (failure index) and the flag, 1.0 when the exposure is 1 or more, else
// 0; both are 0 unless a criterion is evaluated. Flag 0 evaluates nothing. The routines read the
// ply's columns in place and write the results last (a result may share storage with an input);
// they keep no state and allocate nothing.
//
// Reports to the first-error register (results 0):
//   code -3 "Ply or section outside the data tables in <routine>": layer outside 1..nlayer
//           (1..nlayer - 1 for Delamination, which also reads ply layer + 1) or isec outside
//           1..nsec; nothing is read from the tables;
//   code -2 for a flag outside its table: "Warning: Default case in <Routine> subroutine.Please
//           check your input param" (GeneralFailure, FiberBreakage) or "Warning: Default case
//           in <Routine> subroutine. Please check your input parameters." (MatrixCracking,
//           Delamination, CoreCrushing);
//   and the criteria's own notes, as they give them.
#pragma once
#include "base/view.hpp"

namespace vorlen::damage {
extern "C" {

// General (mode-independent) failure of ply layer in section isec.
//   fgp, rgp (out)     flag and exposure
//   plystress(6) (in)  ply stress
//   psprops(10, nlayer, nsec) (in)  strengths
//   plyorientation (in)  accepted, not read
//   layer, nlayer, isec, nsec (in)  ply and section, and the table extents
//   gpflag (in)        1 GPMaxNominal(s11, Xt11, Xc11);
//                      2 GPQuadNominal(s11, s12, s13, Xt11, X12, X13);
//                      3, 4, 5 GPLinInteraction, GPQuadInteraction, GPNorrisInteraction
//                        (s11, s22, s12, Xt11, Xc11, Xt22, Xc22, X12);
//                      6 GPYamadaSunInteraction(s11, s12, s13, Xt11, Xc11, X12, X13);
//                      7 GPPolyCamanho (all six stresses, Xt11, Xc11, Xt22, Xc22, X12, X13, X23);
//                      8 GPPolynomial (all six stresses and nine strengths);
//                      7 and 8 without interaction and with ptype 0
void damage_generalfailure(double* fgp, double* rgp, const double* plystress,
                           const double* psprops, const double* plyorientation, const i32* layer,
                           const i32* nlayer, const i32* isec, const i32* nsec,
                           const i32* gpflag);

// Fibre failure of ply layer in section isec.
//   ffb, rfb (out)     flag and exposure
//   plystress(6) (in)  ply stress
//   peprops(9, nlayer, nsec), psprops(10, nlayer, nsec) (in)  constants and strengths
//   plyorientation (in)  accepted, not read
//   layer, nlayer, isec, nsec (in)  ply and section, and the table extents
//   fbflag (in)        1, 2 as gpflag 1, 2; 3 FBHashin(s11, s12, s13, Xt11, Xc11, X12, X13;
//                      alpha 1); 4 FBChangChang(s11, s12, Xt11, Xc11, X12);
//                      5 FBChristensen(s11, s22, s33, Xt11, Xc11); 6, 7 as gpflag 7, 8;
//                      8, 9, 10, 11 as gpflag 3, 4, 5, 6;
//                      12 FBLaRC04 (all six stresses, Xt11, Xc11, Xt22, Xc22, X12, E1, E2, G12,
//                      nu12; its defaults otherwise); 13 FBLaRC05 (all six stresses, Xt11,
//                      Xc11, Xt22, Xc22, X12, G12; its defaults otherwise)
void damage_fiberbreakage(double* ffb, double* rfb, const double* plystress,
                          const double* peprops, const double* psprops,
                          const double* plyorientation, const i32* layer, const i32* nlayer,
                          const i32* isec, const i32* nsec, const i32* fbflag);

// Matrix cracking of ply layer in section isec.
//   fmc, rmc (out)     flag and exposure
//   plystress(6) (in)  ply stress
//   peprops(9, nlayer, nsec), psprops(10, nlayer, nsec) (in)  constants and strengths
//   pdprops(nprops, nlayer, nsec) (in)  criterion parameters p of the ply: its first n entries,
//                      those before the first one equal to defreal (all nprops when none is).
//                      n = 0 or an entry exactly -1.0 among them: every setting keeps its
//                      default. Otherwise, by mcflag and n (int() toward zero; a value outside
//                      the integer range or not a number counts as 0):
//                        9: n = 4 gp(1:4) = p(1:4); n = 2 or 6 sainc = p(n-1), gsflag = int(p(n))
//                        10, 11: n = 1 a0 = p(1); n = 2 or 3 sainc, gsflag as above
//                        12: n = 5 xcs(1:3) = p(1:3), gp(1:2) = p(4:5); n = 2 or 7 sainc, gsflag
//                        13: n = 6 gp(1:4) = p(1:4), wp(1:2) = p(5:6); n = 2 or 8 sainc, gsflag
//                        any other mcflag: phi_r = p(1) degrees, in radians
//                        other counts: nothing.
//                      Defaults: sainc 5 degrees, gsflag 1 (golden mode), a0 53 degrees,
//                      Puck gp (0.3, 0.2, 0.15, 0.15), SPC3D xcs = (X12, X13, X23) and
//                      gp (0.3, -0.3), VDI gp (0.3, 0.3, 0.25, 0.25) and wp (0.5, 0.5),
//                      phi_r = -1
//   plyorientation (in)  accepted, not read
//   layer, nlayer, isec, nsec, nprops (in)  ply and section, and the table extents
//   mcflag (in)        1 MCrckHashinPS, 2 MCrckHashin3D, 3 MCrckHashinComplete,
//                      4 MCrckHashin1989, 5 MCrckChai, 6 MCrckChangChang, 7 MCrckCuntze2004,
//                      8 MCrckCuntze2012 (their defaults), 9 MCrckPuck, 10 MCrckWiegand,
//                      11 MCrckCamanho, 12 MCrckSPC3D (range 2 to 178 degrees),
//                      13 MCrckVDI2014, 14 MCrckLaRC04 (E1, E2, G12, nu12 of the ply; no angle
//                      passed), 15 MCrckLaRC05; the action-plane criteria 9 to 13 and 15 get
//                      phi_r as their outtheta and the settings above. A step the criterion
//                      refuses (code -3) gives 0
//   outtheta (in/out, optional)  negative on entry and fmc = 1: phi_r as the criterion left it
//                      (the fracture-plane angle in radians where a search found one, else the
//                      value above); otherwise unchanged
//   defreal (in, optional)  sentinel; +huge when absent
void MatrixCracking(double* fmc, double* rmc, const double* plystress, const double* peprops,
                    const double* psprops, const double* pdprops, const double* plyorientation,
                    const i32* layer, const i32* nlayer, const i32* isec, const i32* nsec,
                    const i32* nprops, const i32* mcflag, double* outtheta,
                    const double* defreal);

// Delamination onset at the interface above ply layer: lower ply l = layer, upper u = layer + 1,
// section isec; ps(k, ply) = psprops(k, ply, isec).
//   fdel, rdel (out)   flag and exposure
//   s33i (in)          interface normal stress
//   lplystress(6), uplystress(6) (in)  stresses of the lower and upper ply
//   peprops(9, nlayer, nsec), psprops(10, nlayer, nsec) (in)  constants and strengths
//   plyorientation(nlayer, nsec), plythickness(nlayer, nsec) (in)  ply angles (degrees) and
//                      thicknesses
//   layer, nlayer, isec, nsec (in)  ply and section, and the table extents
//   delflag (in)       1 DelChai(s22 l, s13 l, s23 u, ps(2, l), ps(5, l), ps(9, u), ps(10, l),
//                        Chai's factors of the two plies: plane-stress stiffnesses, orientation
//                        difference, thicknesses, G23 and G13);
//                      2 DelChoiChang(s22 l, s13 l, s23 u, ps(2, l), ps(5, l), ps(10, l),
//                        ps(10, u), or ps(10, l) where ps(10, u) is 0; da 1.8);
//                      for each ply, rdel the larger of the two (not a number where either
//                      is):
//                      3 DelPuck(s33i, s13, s23, ps(2), ps(5), ps(10); its default gp);
//                      4 MCrckSPC3D with the ply's s22 .. s23 and its nine strengths, steps of
//                        1 degree from 178 to 182 degrees, a scan;
//                      5 DelHashin(s33i, s13, s23, ps(2), ps(5), ps(10));
//                      6 DelOchoaEngblom(s33i, s13, s23, ps(3), ps(6), ps(10));
//                      7 DelLee(s33i, s12, s13, ps(3), ps(6), ps(10));
//                      the upper ply only where the strengths its criterion reads are all
//                      non-zero (for 4 all nine), else its index is 0
void damage_delamination(double* fdel, double* rdel, const double* s33i,
                         const double* lplystress, const double* uplystress,
                         const double* peprops, const double* psprops,
                         const double* plyorientation, const double* plythickness,
                         const i32* layer, const i32* nlayer, const i32* isec, const i32* nsec,
                         const i32* delflag);

// Core crushing of ply layer in section isec: ccflag 0, 1 and 2 evaluate no criterion.
//   fcc, rcc (out)     flag and exposure, both 0
//   plystress(6), psprops(10, nlayer, nsec), plyorientation (in)  accepted, not read
//   layer, nlayer, isec, nsec (in)  ply and section, and the table extents
//   ccflag (in)        0, 1 or 2
void damage_corecrushing(double* fcc, double* rcc, const double* plystress,
                         const double* psprops, const double* plyorientation, const i32* layer,
                         const i32* nlayer, const i32* isec, const i32* nsec,
                         const i32* ccflag);

}  // extern "C"
}  // namespace vorlen::damage
