// Ply stresses in rotated frames, traction vectors on rotated planes, fracture-plane angle
// conversion and the stiffness or compliance of a ply in another basis (Bond transformation).
// Stresses come as the six tensor components s11, s22, s33, s12, s13, s23; the rotation R about
// the axis nrot (taken as given, not normalised) is that of math::GetRotationMatrix, and the
// rotated tensor is S' = R^T S R. Everything here runs per integration point: no allocation.
#pragma once
#include "base/view.hpp"

namespace vorlen::lamina {
extern "C" {

// Stress tensor in the frame rotated by theta_r about nrot.
//   sv(6)                         out  S' in Voigt (soutflag 1), Cyclic (2) or Nye order (else)
//   theta_r                       in   angle in radians
//   nrot(3)                       in   axis
//   s11, s22, s33, s12, s13, s23  in   stress components
//   soutflag                      in, optional  order of sv; Nye when absent
void GetRotatedStresses(double* sv, const double* theta_r, const double* nrot, const double* s11,
                        const double* s22, const double* s33, const double* s12, const double* s13,
                        const double* s23, const i32* soutflag);

// Traction on the plane whose normal is axis tflag of the frame rotated by theta_r about nrot.
//   tv(3)    out  (S'11, S'12, S'13) for tflag 1, (S'22, S'12, S'23) for 2, (S'33, S'13, S'23)
//                 for 3; not written for another tflag (code -2)
//   theta_r, nrot(3), s11 .. s23  in  as GetRotatedStresses
//   tflag    in, optional  1, 2 or 3; 3 when absent
void GetTVectorFromArbitraryRotation(double* tv, const double* theta_r, const double* nrot,
                                     const double* s11, const double* s22, const double* s33,
                                     const double* s12, const double* s13, const double* s23,
                                     const i32* tflag);

// Traction on the plane through the fibre axis 1 rotated by theta_r about it (normal
// (0, -sin, cos)); s11 does not enter.
//   tv(3)                    out  normal traction, shear along the fibre, transverse shear
//   theta_r                  in   angle in radians
//   s22, s33, s12, s13, s23  in   stress components
void GetTVectorOnRotatedXYPlane(double* tv, const double* theta_r, const double* s22,
                                const double* s33, const double* s12, const double* s13,
                                const double* s23);

// Angle of a fracture plane through axis 1 measured from the xz plane, from its angle measured
// from the xy plane: acos(-|sin phixy| sign(cos phixy)), whatever the sense of rotation.
//   phixz      out  angle in radians, in [0, pi]
//   phixy      in   angle in radians
//   clockwise  in   sense of rotation of phixy (one-byte logical)
void GetPhiMeasuredFromXZPlane(double* phixz, const double* phixy, const lgl* clockwise);

// Stiffness or compliance in the basis whose vectors are the columns of base (Bond
// transformation, base taken as given): M C M^T for a stiffness, M^-T S M^-1 for a compliance,
// with M the Bond matrix of the stresses built in the order of sc.
//   scbase(6,6)  out  transformed matrix in the order of sc; may be sc itself
//   sc(6,6)      in   stiffness or compliance
//   base(3,3)    in   new basis vectors in its columns; for a compliance a singular base is
//                     reported by MatrixInverse
//   scflag       in   0 compliance, otherwise stiffness
//   ntflag       in   order of sc: 1 Voigt, 2 Cyclic, otherwise Nye
void GetArbitraryBaseSC(double* scbase, const double* sc, const double* base, const i32* scflag,
                        const i32* ntflag);

}  // extern "C"
}  // namespace vorlen::lamina
