// Through-thickness stress recovery in laminate shells: transverse shear stresses from the shear
// forces and the shape matrices, the transverse normal stress from the derivatives of the shear
// forces and from shell curvature, and the ply bottom and top values of section-point stresses.
#pragma once
#include "base/view.hpp"

namespace vorlen::laminate {
extern "C" {

// Section points as in laminate.hpp (2n+1: bottom and middle of every ply, then the top of the
// last); shape matrix records smallfmatrix(2*nplies+1, 4) as in laminate_shape.hpp, read as
// the matrix with rows (e1, e2), (e3, e4); shear pairs in the order (23, 13).

// Transverse shear stresses in ply axes.
//   xytss(nplies*nspt, 2) (out)  row (i-1) nspt + j: the stresses of output point j of ply i,
//                   R2 F r with F the record of the ply's top for j = nspt, its bottom for
//                   j = 1 < nspt and its middle otherwise, R2 the rotation by the ply angle
//   r(2) (in)       transverse shear forces
//   plyorientation(nplies) (in)  ply angles, degrees
//   smallfmatrix(2*nplies+1, 4) (in)  shape matrix records of the section points
//   nspt (in)       output points per ply
//   nplies (in)
void GetExt2DShearStress(double* xytss, const double* r, const double* plyorientation,
                         const double* smallfmatrix, const i32* nspt, const i32* nplies);

// Transverse normal stress integrated from the bottom of the stack, where it is 0. Its slope is
// minus the in-plane divergence of the shear stresses F r, taken as the parabola through the
// three points of each ply (GetParabolaCoefficients, which reports coinciding coordinates).
//   s33(2*nplies+1) (out)  stress at the section points
//   rdx(2), rdy(2) (in)    derivatives of the shear forces along x and y
//   zcoord(2*nplies+1) (in)  section-point coordinates
//   smallfmatrix(2*nplies+1, 4) (in)  shape matrix records
//   nplies (in)
void GetNormalStressFromBottom(double* s33, const double* rdx, const double* rdy,
                               const double* zcoord, const double* smallfmatrix, const i32* nplies);

// Transverse normal stress integrated down from the top of the stack, where it is s33bc;
// other arguments as GetNormalStressFromBottom.
void GetNormalStressFromTop(double* s33, const double* rdx, const double* rdy, const double* s33bc,
                            const double* zcoord, const double* smallfmatrix, const i32* nplies);

// Transverse normal stress that shell curvature adds to a membrane stress varying linearly in
// every ply, sint(p) = -(1/((1 - ki z_p)(1 - kj z_p))) times the integral from the bottom of
// ki sigma (1 - kj z).
//   sint(nzcrd) (out)  stress at the section points; zero beyond 2 nplies + 1
//   sbt(2*nplies) (in)  membrane stress at the bottom (2k-1) and top (2k) of ply k
//   plyzcoord(nzcrd) (in)  section-point coordinates
//   plysectionpoint(nplies) (in)  points per ply; the routine takes three (bottom, middle, top
//                   at 2k-1, 2k, 2k+1) for every ply
//   ki, kj (in)     curvatures
//   nzcrd, nplies (in)  nzcrd below 2 nplies + 1: code -3 and sint zero
void GetIntegralOfMembraneNormalStress(double* sint, const double* sbt, const double* plyzcoord,
                                       const i32* plysectionpoint, const double* ki,
                                       const double* kj, const i32* nzcrd, const i32* nplies);

// Stresses at the bottom and top of every ply from a list of section-point stresses.
//   sbt(6, 2*nplies) (out)  column 2k-1 the bottom, 2k the top of ply k: columns 1 and 2 nplies
//                   from the first and last point, the others split where the point number is a
//                   multiple of the running count P_c = plysectionpoint(1) + ... +
//                   plysectionpoint(c) (top of ply c, bottom of ply c+1)
//   sestress(6, nzcrd) (in)  stress vectors at the section points, ply by ply
//   plysectionpoint(nplies) (in)  points of each ply including its bottom and top
//   nzcrd, nplies (in)
// A stack without plies or points, or with a ply of no points: code -3 and sbt zero. Counts
// that do not add up to nzcrd fill no column beyond 2 nplies.
void GetPlyBottomTopStress(double* sbt, const double* sestress, const i32* plysectionpoint,
                           const i32* nzcrd, const i32* nplies);

}  // extern "C"
}  // namespace vorlen::laminate
