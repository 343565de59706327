// Shear shape matrices of laminate sections: the 2 by 2 matrix f(z) that maps the transverse
// shear forces of a shell onto the transverse shear stresses at z, for flat and curved sections,
// with the partial through-thickness stiffness integrals it is built from.
#pragma once
#include "base/view.hpp"

namespace vorlen::laminate {
extern "C" {

// Ply stacks, section tables and coordinates as in laminate.hpp. Transverse shear pairs are in
// the order (23, 13): component 1 the yz shear, component 2 the xz shear. A shape matrix record
// is 4 doubles (e1, e2, e3, e4) per section point, read as the matrix with rows (e1, e2) and
// (e3, e4); partial integrals at section points are (3, m, nzcrd) arrays, the slice at point p
// an integral from the bottom of the stack up to z_p.

// Partial membrane stiffness: the integral of Qbar from the bottom of the stack to zcrd.
//   aprt(3,3) (out)  sum over plies k < iply of Qbar_k (zt - zb) plus Qbar_iply (zcrd - zb)
//   plyelastic(9, nplies), plyorientation(nplies), plythickness(nplies) (in)  the stack
//   zcrd (in)        a coordinate inside ply iply
//   iply (in)        the ply, 1..nplies; out of range: code -3 and aprt zero
//   nplies (in)
void GetPartialAMatrix(double* aprt, const double* plyelastic, const double* plyorientation,
                       const double* plythickness, const double* zcrd, const i32* iply,
                       const i32* nplies);

// Partial coupling stiffness: the integral of Qbar z from the bottom of the stack to zcrd,
// 1/2 [sum over k < iply of Qbar_k (zt^2 - zb^2) + Qbar_iply (zcrd^2 - zb^2)].
//   bprt(3,3) (out); other arguments as GetPartialAMatrix
void GetPartialBMatrix(double* bprt, const double* plyelastic, const double* plyorientation,
                       const double* plythickness, const double* zcrd, const i32* iply,
                       const i32* nplies);

// Shape matrix of a flat stack at a coordinate. F = aprt fa - bprt fb is taken to the axes of
// the stack's decoupling angle, its diagonal (22, 11) forms the shear pair, and the pair is
// rotated back to the stack axes.
//   smallf(2,2) (out)  shape matrix (symmetric); zero with code -3 for iply out of range
//   plyelastic(9, nplies), plyorientation(nplies), plythickness(nplies) (in)  the stack
//   zcrd (in)          coordinate inside ply iply
//   fa(3,3), fb(3,3) (in)  A^-1 B (D*)^-1 and (D*)^-1 of the stack, D* = D - B A^-1 B
//   iply (in)          the ply, 1..nplies
//   nplies (in)
void GetSmallFMatrix(double* smallf, const double* plyelastic, const double* plyorientation,
                     const double* plythickness, const double* zcrd, const double* fa,
                     const double* fb, const i32* iply, const i32* nplies);

// Shape matrices at the section points of every laminate section.
//   plysmallf(2*nplies+1, 4, nsec) (out)  record (f(1,1), f(2,1), f(1,2), f(2,2)) at point p
//                   of section s: points 2k-1, 2k at the bottom and middle of ply k, 2n_s+1 at
//                   the top; zero beyond, and zero for a section without plies or whose plies
//                   have no properties
//   sectionlist(nplies, nsec) (in)  an id per ply slot, defint marks the end of the plies
//   plyorientation(nplies, nsec), plythickness(nplies, nsec) (in)  ply data per section
//   plyzcoord(2*nplies+1, nsec) (in)  section-point coordinates (GetSectionZCoord)
//   plyelastic(9, nplies, nsec) (in)  Nye property vectors per ply and section
//   nplies, nsec (in)
//   defint (in, optional)  marker of a slot without a ply (absent: 2147483647)
void GetSectionFMatrix(double* plysmallf, const i32* sectionlist, const double* plyorientation,
                       const double* plythickness, const double* plyzcoord,
                       const double* plyelastic, const i32* nplies, const i32* nsec,
                       const i32* defint);

// Integrals from the bottom of the stack of Qbar z^(expo-1) at the section points.
//   xint(3, 3, nzcrd) (out)  xint(p) = sum over the plies below of Q_k (zt^expo - zb^expo)/expo
//                   plus Q_k (z_p^expo - zb^expo)/expo of the ply holding p; zero at point 1.
//                   Thermal (thflag 1): only column 1, with Q_k = Qbar_k alpha_k; columns 2
//                   and 3 zero
//   expo (in)       exponent, 1 to 4 give the integrals of Qbar times 1, z, z^2, z^3
//   plyprops(nprops, nplies) (in)  Nye property vector per ply, thermal expansion alpha_1,
//                   alpha_2 in rows 10 and 11 for the thermal form
//   plyorientation(nplies) (in)  ply angles, degrees
//   plyzcoord(nzcrd) (in)  section-point coordinates, point 1 the bottom of ply 1
//   plysectionpoint(nplies) (in)  points that ply k adds above its bottom (2 for the 2n+1
//                   layout); a count of 0 or less adds nothing
//   nzcrd, nplies, nprops (in)
//   thflag (in, optional)  1: thermal; absent or other values: stiffness
// Counts that run past nzcrd, or nprops below 9 (11 for the thermal form): code -3, xint zero.
void GetArbitraryLaminateIntegral(double* xint, const double* expo, const double* plyprops,
                                  const double* plyorientation, const double* plyzcoord,
                                  const i32* plysectionpoint, const i32* nzcrd, const i32* nplies,
                                  const i32* nprops, const i32* thflag);

// Curvature factor of partial integrals: pij = p0 - (ki + kj) p1 + ki kj p2 at every point, the
// integral of Qbar (1 - ki z)(1 - kj z) z^m when p0, p1, p2 hold those of z^m, z^m+1, z^m+2.
//   pij(3, pdim, nzcrd) (out); p0, p1, p2 (3, pdim, nzcrd) (in); ki, kj (in) curvatures;
//   pdim, nzcrd (in)
void laminate_getpartialabwithcurvature(double* pij, const double* p0, const double* p1,
                                        const double* p2, const double* ki, const double* kj,
                                        const i32* pdim, const i32* nzcrd);

// Second partial integrals with curvature, ply by ply from the bottom: with c the count of ply
// k and its bottom at point b = (k-1) c + 1, for p = b+1..b+c, t = z_p - z_b, l_i = 1 - ki z_p,
// l_j = 1 - kj z_p: xij(p) = xij(b) + alpha X_k + beta pij(b), beta = t/(l_i l_j) and
// alpha = ((2 z_b + z_p) - kj/2 (z_p^2 + 2 z_p z_b + 3 z_b^2)) t^2/(6 l_i) (cdflag 1) or
// (1 - kj/3 (2 z_b + z_p)) t^2/(2 l_i) (other cdflag).
//   xij(3, ndim, nzcrd) (out)  zero at point 1
//   pij(3, ndim, nzcrd) (in)   first partial integrals (laminate_getpartialabwithcurvature)
//   plyprops(nprops, nplies), plyorientation(nplies), plyzcoord(nzcrd),
//   plysectionpoint(nplies) (in)  as GetArbitraryLaminateIntegral; all plies of one count
//   ki, kj (in)      curvatures
//   ndim (in)        3: X_k = Qbar_k; 1: X_k = Qbar_k alpha_k (thermal)
//   nzcrd, nplies, nprops (in)
//   cdflag (in)      1 for the second integral of the z-weighted form
// Another ndim, nprops too small for it, or counts that run past nzcrd: code -3, xij zero.
void GetPartialCDwithCurvature(double* xij, const double* pij, const double* plyprops,
                               const double* plyorientation, const double* plyzcoord,
                               const i32* plysectionpoint, const double* ki, const double* kj,
                               const i32* ndim, const i32* nzcrd, const i32* nplies,
                               const i32* nprops, const i32* cdflag);

// Combination of partial integrals with blocks of ABD^-1 at every point.
//   fg(3, 3, nzcrd) (out)  p1 tstar1 - p2 tstar2 for fgflag > 0, else p2 tstar2 - p1 tstar1
//   p1, p2 (3, 3, nzcrd) (in); tstar1(3,3), tstar2(3,3) (in); nzcrd (in); fgflag (in)
void GetPartialFG(double* fg, const double* p1, const double* p2, const double* tstar1,
                  const double* tstar2, const i32* nzcrd, const i32* fgflag);

// Shape matrices of curved laminate sections from the partial integrals with the curvatures.
//   fg(2*nplies+1, 4, nsec) (out)  record (e1, e2, e3, e4) per section point: the entries
//                   (2,2), (3,1), (3,2), (1,1) of the combinations for the curvature pairs
//                   (k2,k1), (k1,k1), (k2,k2), (k2,k1), divided by the curvature factors; zero
//                   beyond 2n_s+1 and for a section without plies
//   sectionlist, plyorientation, plythickness, plyzcoord, plyelastic (in)  as
//                   GetSectionFMatrix
//   nplies, nsec (in)
//   csflag (in)     0: second integrals (shell with curvature), other: first integrals
//   fgflag (in)     > 0: the blocks (btstar, dtstar); other: (atstar, btstar)
//   xycurv(2) (in, optional)  curvatures k1, k2 (absent: 0, 0)
//   defint (in, optional)     marker of a slot without a ply (absent: 2147483647)
void GetArbitrarySectionFG(double* fg, const i32* sectionlist, const double* plyorientation,
                           const double* plythickness, const double* plyzcoord,
                           const double* plyelastic, const i32* nplies, const i32* nsec,
                           const i32* csflag, const i32* fgflag, const double* xycurv,
                           const i32* defint);

// Shape matrix between the section points of a ply, by quadratic Lagrange interpolation of the
// matrices at its bottom, middle and top.
//   afmat(2,2) (out)  interpolated matrix; zero with code -3 for iply out of range
//   iply (in)         the ply, 1..nplies
//   zpos (in)         coordinate; outside the ply: code -2, the extrapolated matrix
//   zcoord(2*nplies+1) (in)  section-point coordinates
//   smallfmatrix(2*nplies+1, 4) (in)  records of the section points
//   nplies (in)
void GetArbitrarySmallF(double* afmat, const i32* iply, const double* zpos, const double* zcoord,
                        const double* smallfmatrix, const i32* nplies);

}  // extern "C"
}  // namespace vorlen::laminate
