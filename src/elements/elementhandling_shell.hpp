// Shell kinematics of module elementhandling for the layered 6-node triangles and 8-node
// quadrilaterals: Jacobians of the mid-surface map and of its second derivatives, the 8 x 40
// strain-displacement matrix of a five-degree-of-freedom shell node with its x- and
// y-derivatives, the derivatives of the transverse shear forces, the principal curvatures of an
// element, and the recovery of the transverse shear and normal stresses at its points.
//
// Nodal coordinates ncoords(3, inodes) are in the element system (rows x, y, z); the map uses x
// and y. Displacements u(40): node k in entries 5(k-1)+1 .. 5k as u, v, w, theta_x, theta_y.
// Strain rows: eps_x, eps_y, gamma_xy, kappa_x, kappa_y, kappa_xy, gamma_yz, gamma_xz. Per
// integration point: no allocation.
#pragma once
#include "base/view.hpp"

namespace vorlen::elementhandling {
extern "C" {

// Jacobian of the mid-surface map: jac = [sum N,xi x, sum N,xi y; sum N,eta x, sum N,eta y].
//   jac(2,2) (out)
//   nshape(inodes,6) (out)  Tria6ShapeFunMatrix (6 nodes) or Quad8ShapeFunMatrix (8 nodes) at
//                     (xi, eta); another node count records code -3 "Unknown or unsupported
//                     element type." and leaves nshape and jac zero
//   ncoords(3,inodes) (in)  nodal coordinates
//   inodes (in)       6 or 8
//   xi, eta (in)      natural coordinates
void ShellJacobian(double* jac, double* nshape, const double* ncoords, const i32* inodes,
                   const double* xi, const double* eta);

// Inverse of a 2 x 2 Jacobian by its adjugate over det = jac(1,1) jac(2,2) - jac(1,2) jac(2,1).
//   jacinv(2,2) (out)  the inverse; zero with code -3 "Singular jacobian in
//                      ShellJacobianInverse" when det is 0 (a collapsed element)
//   jac(2,2) (in)      may share storage with jacinv
void ShellJacobianInverse(double* jacinv, const double* jac);

// Second derivatives of the map: rows (xixi, etaeta, xieta), columns (x, y):
// jac2(1,:) = (sum N,xixi x, sum N,xixi y), jac2(2,:) with N,etaeta, jac2(3,:) with N,xieta.
//   jac2(3,2) (out)
//   nshape(inodes,6) (in)  filled shape-function matrix
//   ncoords(3,inodes) (in), inodes (in)  nodes (below 0 count as 0)
//   xi, eta (in)      not used
void ShellSecondDerivJacobian(double* jac2, const double* nshape, const double* ncoords,
                              const i32* inodes, const double* xi, const double* eta);

// The matrix mapping (d2/dx2, d2/dy2, d2/dxdy) to (d2/dxi2, d2/deta2, d2/dxideta) apart from the
// first-derivative terms: [J11^2, J12^2, 2 J11 J12; J21^2, J22^2, 2 J21 J22; J11 J21, J12 J22,
// J11 J22 + J12 J21] with J = jac.
//   jac1(3,3) (out), jac(2,2) (in)
void ShellFirstDerivJacobian(double* jac1, const double* jac);

// Inverse of jac1 by cofactors.
//   jac1inv(3,3) (out)  zero with code -3 "Singular first derivative of jacobian" when
//                       det(jac1) is exactly 0
//   jac1(3,3) (in)      may share storage with jac1inv
void ShellFirstDerivJacobianInverse(double* jac1inv, const double* jac1);

// Strain-displacement matrix at (xi, eta): for node i (columns cu..cty = 5(i-1)+1 .. 5i)
// row 1 cu N,x; 2 cv N,y; 3 cu N,y, cv N,x; 4 cty N,x; 5 ctx -N,y; 6 ctx -N,x, cty N,y;
// 7 cw N,y, ctx -N; 8 cw N,x, cty N; columns of missing nodes 0.
//   b(8,40) (out)     zero with code -3 "Node count other than 6 or 8 in ShellBMatrix" for
//                     another inodes
//   ncoords(3,inodes) (in), inodes (in), xi, eta (in)
void ShellBMatrix(double* b, const double* ncoords, const i32* inodes, const double* xi,
                  const double* eta);

// x-derivative of the transverse shear rows 7 and 8 of ShellBMatrix: row 1 cw N,xy, ctx -N,x;
// row 2 cw N,xx, cty N,x.
//   xderivb(2,40) (out)  zero with code -3 (as ShellBMatrix) for a node count other than 6, 8
//   ncoords(3,inodes), inodes, xi, eta (in)  as ShellBMatrix
void ShellxDerivBMatrix(double* xderivb, const double* ncoords, const i32* inodes,
                        const double* xi, const double* eta);

// y-derivative of the transverse shear rows: row 1 cw N,yy, ctx -N,y; row 2 cw N,xy, cty N,y.
// Arguments as ShellxDerivBMatrix.
void ShellyDerivBMatrix(double* yderivb, const double* ncoords, const i32* inodes,
                        const double* xi, const double* eta);

// x-derivative of the transverse shear forces r = hmat (gamma_yz, gamma_xz):
// xderivr = hmat (xderivb u).
//   xderivr(2) (out)  zero with code -3 for a node count other than 6 or 8
//   u(40) (in)        nodal displacements
//   hmat(2,2) (in)    transverse shear stiffness of the section
//   ncoords(3,inodes), inodes, xi, eta (in)  as ShellBMatrix
void ShellxDerivShearForces(double* xderivr, const double* u, const double* hmat,
                            const double* ncoords, const i32* inodes, const double* xi,
                            const double* eta);

// y-derivative of the transverse shear forces, yderivr = hmat (yderivb u); as above.
void ShellyDerivShearForces(double* yderivr, const double* u, const double* hmat,
                            const double* ncoords, const i32* inodes, const double* xi,
                            const double* eta);

// Principal curvatures of the surface z(x, y) through the nodes at the point of nshape:
// k1 = sum N,xx z, k2 = sum N,yy z, k12 = sum N,xy z; p1,2 = (k1 + k2)/2 +- R with
// R = sqrt((k1 - k2)^2/4 + k12^2); kmax the one of larger magnitude (p2 on a tie), kmin the
// other. |kmax| < 1e-6: delta 0, kappa 0. Else kmin = 0 when |kmax/kmin| > 20, and
// kappa = (kmax, kmin). Direction: |k12| > 1e-6: delta = atan(2 k12/(k1 - k2))/2, plus pi/2
// for kmax > 0; else |k1| < 1e-6: 0; else |k2| < 1e-6: -pi/2 for kmax < 0, else pi/2. Finally
// delta = 0 when ||k1/k2| - 1| < 0.01.
//   delta (out)       direction of kmax from the x-axis, radians
//   kappa(2) (out)    (major, minor)
//   nshape(inodes,6) (in)     shape-function matrix at the point
//   lncoords(inodes,3) (in)   local nodal coordinates, one row per node
//   inodes (in)       nodes (below 0 count as 0)
void GetCurvatures(double* delta, double* kappa, const double* nshape, const double* lncoords,
                   const i32* inodes);

// Transverse stresses of one shell element at one integration point, each computed once
// between two zeroings of the stores. Kinds 4, 5 (8 nodes, points rs8 (+-a, +-a) with
// a = 0.5773502691896257, weight 0.25) and 8 (6 nodes, points (1/6, 1/6), (1/6, 2/3),
// (2/3, 1/6) given as 0.16666666667 and 0.66666666667, weight 1/3); kinds 1-3 as 8 nodes only
// when nnodes = 8 and nodes 5-8 carry a coordinate and a motion; other kinds, elemid 0 or a
// motion that is all zero: nothing. The element is curved when elemcurvatures(:, elemid) is not
// zero; hmat = sehmatrix(:, :, secid).
// Normal stress (itnsflag not 0, tnormalstress(:, elemid) all zero): the derivatives rdx, rdy
// of the shear forces at the centre (itnsflag 2, 8 nodes) or weighted over the points; flat:
// GetNormalStressFromBottom with plyzcoord(:, secid), sefmatrix(:, :, secid); curved: from
// GetArbitrarySectionFG (csflag 0, fgflag 1, curvatures (larger, smaller)) and, per point k,
// the membrane integrals of sestress(:, :, k, elemid) (component 22 with the curvature factors
// (smaller, larger), component 11 with (larger, smaller)).
// Shear stresses (itshrflag not 0, tshearstress(:, :, gpid, elemid) all zero): r = hmat
// (gamma_yz, gamma_xz) at point gpid; GetExt2DShearStress with sefmatrix (flat) or
// GetArbitrarySectionFG (csflag 1, fgflag 1) into rows 1 .. nspt nplies, columns (23, 13).
//   tnormalstress(nzcoord,nelem) (in/out)     normal stress per section point
//   tshearstress(nintpoint,2,4,nelem) (in/out) shear stresses per point
//   nodalcoords(3,nnodes,nelem), nodesmotion(ndof,nnodes,nelem) (in)  element-local coordinates
//                     and motion
//   sestress(6,nintpoint,nsept,nelem) (in)  Nye stresses per section point and point
//   sehmatrix(2,2,nsec), sefmatrix(nzcoord,4,nsec) (in)  section matrices
//   plyorientation(nplies,nsec), plythickness(nplies,nsec), plyzcoord(nzcoord,nsec),
//   plyelastic(9,nplies,nsec), sectionlist(nplies,nsec) (in)  the sections
//   elemsectionpoints(nelem) (in)  section points per ply, nspt
//   elemcurvatures(2,nelem), elemkind(nelem) (in)
//   elemid, gpid, secid (in)  element, point, section
//   itnsflag, itshrflag (in)  parts to compute
//   nplies, nsec, nzcoord, nintpoint, ndof, nnodes, nelem (in)  extents
//   nsept (in, optional)  point slots of sestress, 4 when absent
// Code -3 "<problem> in GetShellTransverseStresses" and stores unchanged for: elemid outside
// 0..nelem, gpid outside the element's points (shear part asked), secid outside 1..nsec,
// nplies below 1, nzcoord other than 2 nplies + 1, nspt below 1 or nspt nplies above nintpoint,
// nnodes below the element's nodes, nsept below its points (normal part asked).
void GetShellTransverseStresses(double* tnormalstress, double* tshearstress,
                                const double* nodalcoords, const double* nodesmotion,
                                const double* sestress, const double* sehmatrix,
                                const double* sefmatrix, const double* plyorientation,
                                const double* plythickness, const double* plyzcoord,
                                const double* plyelastic, const i32* elemsectionpoints,
                                const double* elemcurvatures, const i32* elemkind,
                                const i32* sectionlist, const i32* elemid, const i32* gpid,
                                const i32* secid, const i32* itnsflag, const i32* itshrflag,
                                const i32* nplies, const i32* nsec, const i32* nzcoord,
                                const i32* nintpoint, const i32* ndof, const i32* nnodes,
                                const i32* nelem, const i32* nsept);

}  // extern "C"
}  // namespace vorlen::elementhandling
