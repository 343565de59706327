// Element and nodal coordinate systems of module elementhandling for the 6-node and 8-node
// shells: a nodal system at every node, the element system with its origin and principal
// curvatures (its x-axis following the reference material direction or the principal
// curvature direction), and the conversion of the stored nodal coordinates of all elements into
// their element systems.
//
// on(8,3): nodal coordinates of one element, one row per node, rows beyond the node count 0.
// A system is a 3 x 3 matrix whose rows are its unit axes in global coordinates.
#pragma once
#include "base/view.hpp"

namespace vorlen::elementhandling {
extern "C" {

// Shape-function matrix at the natural position of a local node (tables nshape6, nshape8).
//   nshape(inodes,6) (out)  zero, with code -3 "Unknown or invalid number of nodes" for an
//                     inodes other than 6 or 8, or with code -2 "Local node outside the element
//                     in GetNodalShape" for a locnode outside 1..inodes
//   locnode (in)      local node
//   inodes (in)       6 or 8
void GetNodalShape(double* nshape, const i32* locnode, const i32* inodes);

// Nodal systems: for node l the tangents g1 = sum N,xi on(node,:), g2 = sum N,eta on(node,:)
// at its position, e1, e2 and e3 = g1 x g2 normalised, a = e1 + e2, b = e3 x a,
// t2 = (a/|a| + b/|b|)/sqrt(2), t1 = t2 x e3, t3 = e3 (t1, t2 symmetric to the bisector of e1
// and e2, e1 and e2 themselves for orthogonal tangents).
//   ti(3,3,8) (out)   rows of ti(:,:,l) t1, t2, t3; slots of missing nodes 0
//   on(8,3) (in)      nodal coordinates; may share storage with ti
//   inodes (in)       6 or 8; another count records code -3 "Node count other than 6 or 8 in
//                     GetNodalTransformation" and gives ti = 0
// Nodes whose tangents vanish or are parallel (coincident nodes) keep a zero system and record
// code -3 "Coincident nodes in GetNodalTransformation".
void GetNodalTransformation(double* ti, const double* on, const i32* inodes);

// Signed angle from r12 to so about nvector: with n = r12 x so, |n| > 1e-8 gives
// +-acos(c), c = r12.so/(|r12| |so|) limited to [-1, 1], positive when n.nvector > 0; parallel
// vectors give 0 when r12.so > 0, else pi.
//   theta (out)       radians
//   so(3), nvector(3), r12(3) (in)
void GetSectionRefOrientation(double* theta, const double* so, const double* nvector,
                              const double* r12);

// Element system, origin and principal curvatures. 6 nodes: origin the corner opposite the
// longest edge (the first on ties), tangents e1, e2, e3 at corner 1, x0 = e1, the local basis
// rows (e1, e2, e3). 8 nodes: origin the mean of the corners, tangents at the centre,
// x0 = e1 turned about e3 by -(45 - phi/2) degrees, phi the angle between e1 and e2, the local
// basis rows (x0, e3 x x0, e3). rr = x0 turned about e3 by refdir(1) degrees; so = the one of
// refdir(2:4), refdir(5:7) more across rr (refdir(5:7) on ties); theta =
// GetSectionRefOrientation(so, e3, on(2,:) - on(1,:)), 0 for a record without directions (all
// entries -1.0, as left where no orientation was collected, or a zero so). (delta, kappa) =
// GetCurvatures at the point of the tangents with the local coordinates of the nodes; the
// element's x-axis rx is x0 turned about e3 by delta (when not 0), else by theta, in degrees.
//   tcurv(3,3) (out)  rows rx, e3 x rx, e3
//   origin(3) (out)   element origin
//   kappa(2) (out)    principal curvatures (major, minor)
//   on(8,3) (in)      nodal coordinates
//   refdir(7) (in)    reference angle (degrees) and two in-plane reference directions
//   inodes (in)       6 or 8; another count records code -3 "Unknown or unsupported element
//                     type." and gives zero outputs
// Tangents that vanish or are parallel (coincident nodes) record code -3 "Coincident nodes in
// GetElementTransformation" and give zero tcurv and kappa.
void GetElementTransformation(double* tcurv, double* origin, double* kappa, const double* on,
                              const double* refdir, const i32* inodes);

// Nodal and element systems of all elements of elementdata::elemkind into
// nodaldata::tnodalmatrices, tcurvmatrices and elementdata::elemcurvatures, from
// nodaldata::nodalcoords and elementdata::elemreforientation; the coordinates of the processed
// nodes are then replaced by their element-local ones, nodalcoords(:,j,i) = tcurv (x_j - origin).
// Kinds 4 and 5 are processed with 8 nodes, kind 8 with 6, kinds 1-3 with 8 when nodalcoords has
// 8 node slots and nodes 5-8 carry coordinates (their twelve values not all equal); kinds 0, 6,
// 7, 9, 10 and 11 are skipped. Nothing is done (lop 0) while one of the tables is unallocated.
//   lop (out)         0 on completion; -3 for an unknown kind (code -3 "Unknown element type
//                     detected") or for tables shorter than an element's kind needs (code -3
//                     "Tables shorter than the element kinds need in GetNodeReferenceData"):
//                     the routine stops there, earlier elements keep their results
//   tflag (in, optional)  1: the coordinates stay global
void GetNodeReferenceData(i32* lop, const i32* tflag);

}  // extern "C"
}  // namespace vorlen::elementhandling
