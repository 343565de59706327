// Classical lamination theory: ply and section-point coordinates, A, B, D and ABD, their
// inverse blocks, laminate constants, lamination parameters, sub-laminates and ply strains.
#pragma once
#include "base/view.hpp"

namespace vorlen::laminate {
extern "C" {

// Ply stacks are plyelastic(9, nplies) (Nye property vector per ply), plyorientation(nplies)
// (degrees unless stated) and plythickness(nplies), ply 1 at the bottom; z runs from -H/2 at
// the bottom of ply 1 to +H/2 at the top of ply nplies.

// Thickness coordinate of one ply.
//   plythickness(nplies) (in)  ply thicknesses
//   iply (in)       ply, 1..nplies; out of range: code -3 and the result 0
//   nplies (in)     number of plies
//   zpos (in)       2 top, 1 middle, any other value bottom of the ply
//   refoffset (in, optional)  height r of the reference plane above the mid-plane (absent: 0);
//                   the result is z - r
// Returns the coordinate.
double GetPlyZCoord(const double *plythickness, const i32 *iply, const i32 *nplies, const i32 *zpos,
                    const double *refoffset);

// Section-point coordinates of the laminate sections, each centred on its own thickness.
//   plyzcoord(2*nplies+1, nsec) (out)  column s: bottom and middle of plies 1..n_s, then the
//                   top of ply n_s; zero beyond, and zero for a section without plies
//   sectionlist(nplies, nsec) (in)  an id per ply slot; the plies of section s are the slots
//                   before the first defint of column s
//   plythickness(nplies, nsec) (in)  ply thicknesses per section
//   nplies, nsec (in)  slots per section and number of sections
//   defint (in, optional)  marker of a slot without a ply (absent: 2147483647)
void GetSectionZCoord(double *plyzcoord, const i32 *sectionlist, const double *plythickness,
                      const i32 *nplies, const i32 *nsec, const i32 *defint);

// Membrane stiffness A(3,3) = sum over the plies of Qbar_k (zt - zb), order (11, 22, 12).
//   a(3,3) (out)
//   plyelastic(9, nplies), plyorientation(nplies), plythickness(nplies) (in)  the stack
//   nplies (in)
void GetAMatrix(double *a, const double *plyelastic, const double *plyorientation,
                const double *plythickness, const i32 *nplies);
// Coupling stiffness B = 1/2 sum Qbar_k (zt^2 - zb^2); arguments as GetAMatrix.
void GetBMatrix(double *b, const double *plyelastic, const double *plyorientation,
                const double *plythickness, const i32 *nplies);
// Bending stiffness D = 1/3 sum Qbar_k (zt^3 - zb^3); arguments as GetAMatrix.
void GetDMatrix(double *d, const double *plyelastic, const double *plyorientation,
                const double *plythickness, const i32 *nplies);

// ABD(6,6) = [A B; B D] (out) from a(3,3), b(3,3), d(3,3) (in).
void GetABDMatrix(double *abd, const double *a, const double *b, const double *d);

// Bending stiffness with the membrane coupling condensed out.
//   dred(3,3) (out)  D - B A^-1 B
//   a(3,3), b(3,3), d(3,3) (in)
void GetReducedBendingStiffness(double *dred, const double *a, const double *b, const double *d);

// Blocks of ABD^-1.
//   a(3,3), b(3,3), d(3,3) (in)
//   atstar(3,3) (out)  upper-left block: A^-1 + A^-1 B btstar
//   btstar(3,3) (out)  the lower-left block with its sign reversed: dtstar B A^-1
//   dtstar(3,3) (out)  lower-right block: (D - B A^-1 B)^-1
void GetABDTilde(const double *a, const double *b, const double *d, double *atstar, double *btstar,
                 double *dtstar);

// Laminate engineering constants.
//   eng(8) (out)  stiffness form (tcflag true): ABD(1,1)/h, ABD(2,2)/h, ABD(3,3)/h, 0,
//                 12 ABD(i,i)/h^3 for i = 4, 5, 6, 0. Compliance form (tcflag absent or
//                 false), a = ABD^-1: Ex, Ey, Gxy = h/a(i,i), nu_xy = -a(1,2)/a(1,1),
//                 bending nu = -a(4,5)/a(4,4), 12/(h^3 a(5,5)), 12/(h^3 a(6,6)), 0
//   abd(6,6) (in)
//   h (in)        laminate thickness
//   tcflag (in, optional)  true: stiffness form
void GetEngConstsFromABDMatrix(double *eng, const double *abd, const double *h, const lgl *tcflag);

// Lamination parameters.
//   v(4, 3) (out)   rows cos 2t, cos 4t, sin 2t, sin 4t; columns membrane, coupling, bending
//   plyorientation(nplies) (in)  ply angles in radians
//   plythickness(nplies) (in)    ply thicknesses
//   nplies (in)
void GetVMatrix(double *v, const double *plyorientation, const double *plythickness,
                const i32 *nplies);

// Orientation in degrees of the heaviest group of plies with angles a, a +- 90, a +- 180
// (weighted by thickness and anisotropy); with one ply its own orientation.
//   plyelastic(9, nplies), plyorientation(nplies), plythickness(nplies) (in)  the stack
//   nplies (in)     at least 1; below: code -3 and the result 0
double GetDecoupAngle(const double *plyelastic, const double *plyorientation,
                      const double *plythickness, const i32 *nplies);

// Angle step in degrees between a ply and its lower (luflag 0) or upper (luflag 1) neighbour,
// 0 at the bottom resp. top of the stack.
//   plyorientation(nplies) (in)  ply angles
//   luflag (in)     0 or 1; other values: code -3 and the result 0
//   iply (in)       ply, 1..nplies; out of range: code -3 and the result 0
//   nplies (in)
double GetdAngle(const double *plyorientation, const i32 *luflag, const i32 *iply,
                 const i32 *nplies);

// The thinner part of a stack split at an interface.
//   sublamstack(2) (out)  first and last ply of the thinner part: (intface+1, nplies) when
//                   the plies up to intface are at least as thick as the rest, else
//                   (1, intface); (0, 0) with code -3 when intface lies outside 0..nplies
//   plythickness(nplies) (in)
//   intface (in)    the interface on top of ply intface
//   nplies (in)
void GetSubLaminateStack(i32 *sublamstack, const double *plythickness, const i32 *intface,
                         const i32 *nplies);

// A, B or D of a sub-laminate alone, centred on its own mid-plane.
//   xsub(3,3) (out)  the matrix; zero for an empty stack or a flag other than "A", "B", "D"
//   slflag (in)      one character: "A", "B" or "D"
//   plyelastic(9, nplies), plyorientation(nplies), plythickness(nplies) (in)  the stack
//   sublamstack(2) (in)  first and last ply of the sub-laminate; first > last is empty; a
//                    non-empty range outside 1..nplies reports code -3 (xsub zero)
//   nplies (in)
void GetSubLaminateXMatrix(double *xsub, const char *slflag, const double *plyelastic,
                           const double *plyorientation, const double *plythickness,
                           const i32 *sublamstack, const i32 *nplies);

// Effective plate bending stiffness sqrt((1 + s) D11 D22 / 2), s = (D12 + 2 D66)/sqrt(D11 D22).
//   plyelastic(9, nplies), plyorientation(nplies), plythickness(nplies) (in)  the stack
//   nplies (in)
double GetEffectivePlateStiffness(const double *plyelastic, const double *plyorientation,
                                  const double *plythickness, const i32 *nplies);

// Strains at given thickness coordinates.
//   plystrain(3, nzcrd) (out)  e0 + z k at every coordinate (11, 22, engineering 12)
//   se(6) (in)      mid-plane strains and curvatures (e0x, e0y, g0xy, kx, ky, kxy)
//   plyzcoord(nzcrd) (in)  thickness coordinates
//   nzcrd (in)
void GetPlyStrain(double *plystrain, const double *se, const double *plyzcoord, const i32 *nzcrd);

// Ply-axes strains at the bottom, middle and top of every ply.
//   plystrain(3, 3*nplies) (out)  columns 3(k-1)+1..3k: ply k bottom, middle, top, in ply axes
//                    (11, 22, engineering 12)
//   se(6) (in)       mid-plane strains and curvatures
//   plyorientation(nplies), plythickness(nplies) (in)  ply angles (degrees) and thicknesses
//   nplies (in)
//   reference (in, optional)  height of the reference plane above the mid-plane (absent: 0)
void GetSectionStrain(double *plystrain, const double *se, const double *plyorientation,
                      const double *plythickness, const i32 *nplies, const double *reference);

// Chai's three delamination factors at an interface between two plies.
//   chaidfactors(3) (out)
//   qonl(3,3), qonu(3,3) (in)  on-axis plane-stress stiffness of the lower and upper ply
//   dangl_d (in)    angle between the plies, degrees
//   plythickl, plythicku, g23l, g23u, g13l, g13u (in)  thicknesses and transverse shear moduli
void GetChaiDelamFactors(double *chaidfactors, const double *qonl, const double *qonu,
                         const double *dangl_d, const double *plythickl, const double *plythicku,
                         const double *g23l, const double *g23u, const double *g13l,
                         const double *g13u);

} // extern "C"
} // namespace vorlen::laminate
