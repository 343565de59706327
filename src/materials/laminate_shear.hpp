// Transverse shear stiffness of laminate sections: the 2 by 2 matrix H between the transverse
// shear forces and strains of a shell, by the improved shear integral of the shape matrices, by
// shear correction factors, or by Gauss quadrature of the partial stiffness integrals.
#pragma once
#include "base/view.hpp"

namespace vorlen::laminate {
extern "C" {

// Ply stacks and section tables as in laminate.hpp; shear pairs in the order (23, 13). Hoff_k
// is the off-axis shear stiffness of ply k (GetOffAxisShearRigidMatrix with G13, G23 from rows
// 8 and 9 of its property vector). A singular A, D* or Hoff_k is reported by MatrixInverse.

// Shear stiffness from the energy of the shape matrices: H^-1 = integral of f^t Hoff^-1 f
// through the thickness, three Gauss points per ply.
//   hext2d(2,2) (out)
//   plyelastic(9, nplies), plyorientation(nplies), plythickness(nplies) (in)  the stack
//   nplies (in)
void GetHMatrixImprovedShear(double* hext2d, const double* plyelastic, const double* plyorientation,
                             const double* plythickness, const i32* nplies);

// Shear stiffness from correction factors: H(i,j) = sqrt(sk(i) sk(j)) hlam(i,j), hlam the sum
// of Hoff_k t_k.
//   hshear(2,2) (out); other arguments as GetHMatrixImprovedShear
void GetHMatrixShearCorrect(double* hshear, const double* plyelastic, const double* plyorientation,
                            const double* plythickness, const i32* nplies);

// Shear correction factors from the bending shear-stress shape of each direction: sk(1) (yz)
// from the 22 entries, sk(2) (xz) from the 11 entries of A, B, D and the ply stiffnesses.
//   sk(2) (out)     1/(hlam(d,d) S_d), S_d the shear compliance energy of the shape; (1, 1)
//                   when A D - B^2 of either direction is below 1e-10 in magnitude
//   hlam(2,2) (in)  laminate shear stiffness, the sum of Hoff_k t_k
//   plyelastic(9, nplies), plyorientation(nplies), plythickness(nplies) (in)  the stack;
//                   plies whose Hoff_k has a determinant of at most 1e-5 add nothing to S
//   nplies (in)
void GetShearCorrectFactors(double* sk, const double* hlam, const double* plyelastic,
                            const double* plyorientation, const double* plythickness,
                            const i32* nplies);

// Shear stiffness by four-point Gauss quadrature in every ply of fz^t Hoff^-1 fz, fz taken from
// A(z) btstar - B(z) dtstar with A(z), B(z) the integrals of Qbar and Qbar z from the bottom.
//   hquad(2,2) (out); other arguments as GetHMatrixImprovedShear
void GetHMatrixQuadrature(double* hquad, const double* plyelastic, const double* plyorientation,
                          const double* plythickness, const i32* nplies);

// Shear stiffness of every laminate section.
//   sehmatrix(2, 2, nsec) (out)  H of section s; zero for a section without plies or whose
//                   plies have no properties
//   sectionlist(nplies, nsec) (in)  an id per ply slot, defint marks the end of the plies
//   plyorientation(nplies, nsec), plythickness(nplies, nsec) (in)  ply data per section
//   plyelastic(9, nplies, nsec) (in)  Nye property vectors per ply and section
//   nplies, nsec (in)
//   method (in, optional)  0 correction factors, 2 quadrature, other (absent: 1) improved shear
//   defint (in, optional)  marker of a slot without a ply (absent: 2147483647)
void GetSectionHMatrix(double* sehmatrix, const i32* sectionlist, const double* plyorientation,
                       const double* plythickness, const double* plyelastic, const i32* nplies,
                       const i32* nsec, const i32* method, const i32* defint);

}  // extern "C"
}  // namespace vorlen::laminate
