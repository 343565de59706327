// Local buckling of delaminated sub-laminates: the six-term Rayleigh-Ritz shape matrices, the
// stiffness and geometric matrices of one sub-laminate, its buckling strain, the pass-by-pass
// reduction of a delaminated stack and the buckling records per damage set and section.
#pragma once
#include "base/view.hpp"

namespace vorlen::sublaminate {
extern "C" {

// Ritz trial functions: w = bubble(x, y) (q1 + q2 x + q3 y + q4 xy + q5 x^2 + q6 y^2) over the
// delamination scaled to the unit outline. Outline code dshape: 0 none, 1 ellipse, 2 rectangle,
// 3 rectangle with tangent mode shapes. Ply stacks: plyelastic(9, nplies) (E1, E2, E3, nu12,
// nu13, nu23, G12, G13, G23 per ply), plyorientation(nplies) in degrees, plythickness(nplies).

// Geometric shape matrices of the three outlines.
//   kg(6,6) (out)  the symmetric matrix of the membrane force selected by kgtype; zero for an
//                  unknown type (code -2 "Error: Default case in subroutine <routine>. Please
//                  check your input parameters.", cut to 80 characters)
//   kgtype (in)    1 or 11: N11, 2 or 22: N22, 3 or 33: N12
void GetKGRectTang(double* kg, const i32* kgtype);
void GetKGRectangle(double* kg, const i32* kgtype);
void GetKGEllipse(double* kg, const i32* kgtype);

// Stiffness shape matrices of the three outlines.
//   kk(6,6) (out)  the symmetric matrix of the bending term selected by kktype; zero for an
//                  unknown type (code -2, message as for the geometric matrices)
//   kktype (in)    1 or 11: D11, 2 or 22: D22, 3 or 33: D12 + 2 D66, 4 or 16: D16, 5 or 26: D26
void GetKKRectTang(double* kk, const i32* kktype);
void GetKKRectangle(double* kk, const i32* kktype);
void GetKKEllipse(double* kk, const i32* kktype);

// Geometric matrix of a sub-laminate under a membrane load pattern.
//   subkg(6,6) (out)  nloc(1) KG1 + nloc(2) KG2 + nloc(3) KG3 of the outline family, with
//                     nloc = A (ABD^-1)(1:3,1:3) T nglob scaled by (b/a, a/b, 1), T the Nye
//                     stress transformation to axes turned by dangle; zero for dshape 0, and
//                     for a dshape outside 0..3 (code -2 "Error: Default case in subroutine
//                     GetSubKG. DShape has to be an integer between 0 and 3.", cut to 80)
//   nglob(3) (in)     forces per unit width N11, N22, N12 in laminate axes
//   abd(6,6), abdinv(6,6) (in)  ABD of the sub-laminate in delamination axes and its inverse
//   a, b (in)         semi-axes (half sides) of the delamination
//   dangle (in)       delamination angle, degrees
//   dshape (in)       outline code
void GetSubKG(double* subkg, const double* nglob, const double* abd, const double* abdinv,
              const double* a, const double* b, const double* dangle, const i32* dshape);

// Stiffness matrix of a sub-laminate.
//   subkk(6,6) (out)  sum of dred(1,1) b/a^3 KK1, dred(2,2) a/b^3 KK2,
//                     (dred(1,2) + 2 dred(3,3))/(a b) KK3, dred(1,3)/a^2 KK4, dred(2,3)/b^2 KK5;
//                     zero for dshape 0 and outside 0..3 (code -2 with the GetSubKK message)
//   dred(3,3) (in)    reduced bending stiffness in delamination axes
//   a, b (in)         semi-axes (half sides)
//   dshape (in)       outline code
void GetSubKK(double* subkk, const double* dred, const double* a, const double* b,
              const i32* dshape);

// Buckling of a sub-laminate over a delamination: KK q = lambda KG q for the load pattern
// -nglob, lambda = 1/mu with mu the dominant eigenvalue of KK^-1 KG by power iteration (2000
// iterations, start vector of ones, tolerance 1e-10; its code -2 on non-convergence stays).
//   eps (out)        abd0inv(1,1) lambda: the strain of the stack in its own axes under the
//                    buckling load
//   nx (out)         lambda / total thickness: the buckling stress
//   eigvec(6) (out)  buckling mode (Ritz coefficients)
//   dsize(3) (in)    a, b (semi-axes or half sides) and the delamination angle in degrees
//   nglob(3) (in)    load pattern N11, N22, N12 in laminate axes
//   plyelastic(9,nplies), plyorientation(nplies), plythickness(nplies) (in)  the sub-laminate
//   dshape (in)      1, 2 or 3; another value records code -2 ("Error: Default case in
//                    subroutine GetSubLamBucklingStrain. DShape has to be an integer between 1
//                    and 3.", cut to 80)
//   nplies (in)      number of plies
// eps, nx and eigvec are 0 on every failure: a dshape outside 1..3 (-2), and code -3 for
// nplies below 1, a or b not above 0, a total thickness not above 0, or a zero or non-finite
// eigenvalue. A singular KK or ABD is reported by MatrixInverse and its result used.
void GetSubLamBucklingStrain(double* eps, double* nx, double* eigvec, const double* dsize,
                             const double* nglob, const double* plyelastic,
                             const double* plyorientation, const double* plythickness,
                             const i32* dshape, const i32* nplies);

// Buckling of a stack of plies numbered from the top, interface j between plies j and j+1,
// under uniaxial compression N11 = -1: pass by pass the sub-laminate above or below a
// delaminated interface with the lowest buckling strain is recorded and removed; the stack
// that remains gets a last record.
//   epsbuck (out)    the lowest buckling strain of the first pass; 0 when nothing buckles
//   bukrealdatalist(12, nplies-1) (out)  per record: eps, nx/comprstrength (1 for
//                    comprstrength not above 0), nx, a, b, angle, six mode coefficients;
//                    unused columns 0
//   bukintdatalist(4, nplies-1) (out)    per record: interface, first and last ply of the
//                    sub-laminate, 0 above the interface or 1 below; unused columns 0
//   comprstrength (in)  compressive strength of the section; not above 0: code -3 and the
//                    ratios are 1
//   plyelastic(9,nplies), plyorientation(nplies), plythickness(nplies) (in)  the stack
//   plydelamination(3, nplies-1) (in)  per interface a, b and angle; delaminated when a and
//                    b are at least 1e-10
//   plydshape(nplies-1) (in)  outline code per interface; an interface with code 0 is not
//                    delaminated. Candidates whose eps is not finite and positive are not taken
//   nplies (in)      number of plies; below 1: code -3
// A record that finds no free column (the passes filled all nplies-1) is dropped.
void DelaminatedBucklingAnalysis(double* epsbuck, double* bukrealdatalist, i32* bukintdatalist,
                                 const double* comprstrength, const double* plyelastic,
                                 const double* plyorientation, const double* plythickness,
                                 const double* plydelamination, const i32* plydshape,
                                 const i32* nplies);

// Buckling records of every section and damage set.
//   bukrealdatalist(12, nplies-1, ndmg, nsec), bukintdatalist(4, nplies-1, ndmg, nsec) (out)
//                    the records of DelaminatedBucklingAnalysis per set and section (unused
//                    columns 0); a section without plies keeps real 0 and integer -1
//   delamdds(3, nplies-1, ndmg) (in)  per set the delaminations of the interfaces
//   plydshape(nplies-1, ndmg) (in)    per set the outline codes
//   comprstrength(nsec) (in)          compressive strength per section
//   plyelastic(9,nplies,nsec), plyorientation(nplies,nsec), plythickness(nplies,nsec) (in)
//   sectionlist(nplies, nsec) (in)    an id per ply slot; the plies of a section are the
//                    slots before the first defint of its column
//   ndmg, nplies, nsec (in)
//   defint (in, optional)  marker of a slot without a ply, 2147483647 when absent
void GetBukDataFromDDS(double* bukrealdatalist, i32* bukintdatalist, const double* delamdds,
                       const i32* plydshape, const double* comprstrength,
                       const double* plyelastic, const double* plyorientation,
                       const double* plythickness, const i32* sectionlist, const i32* ndmg,
                       const i32* nplies, const i32* nsec, const i32* defint);

}  // extern "C"

// GetBukDataFromDDS over tables of any larger extents (the data store's): the records are
// written for nplies-1 interfaces, ndmg sets and nsec sections, rows 1-9 of plyelastic are the
// elastic constants. The callers see to it that every table holds what is indexed.
void bukdata_from_dds(View<double, 4> bukreal, View<i32, 4> bukint,
                      View<const double, 3> delamdds, View<const i32, 2> plydshape,
                      View<const double, 1> comprstrength, View<const double, 3> plyelastic,
                      View<const double, 2> plyorientation, View<const double, 2> plythickness,
                      View<const i32, 2> sectionlist, i32 ndmg, i32 nplies, i32 nsec, i32 defint);

}  // namespace vorlen::sublaminate
