// Elastic description of an orthotropic ply: Nye property vector, on-axis and off-axis stiffness
// and compliance in Nye order, rotation matrices, and the stress and strain-energy updates.
//
// Nye property vector nyeprops(9): E1, E2, E3, nu12, nu13, nu23, G12, G13, G23 (major Poisson
// ratios). Matrices are ntens by ntens in Nye order: 3 (11, 22, 12) plane stress, 4 (11, 22,
// 33, 12), 6 (11, 22, 33, 12, 13, 23); shear strains are engineering strains.
#pragma once
#include "base/view.hpp"

namespace vorlen::lamina {
extern "C" {

// Nye property vector from a user's list of elastic constants.
//   nyeprops(9)        out  Nye property vector; not written on error
//   elastic(nelastic)  in   2: (E, nu); 5: (E1, E2, nu12, nu23, G12) when elastic(3) <= 1,
//                           else (E1, E2, G12, G23, nu12); 9: (E1, E2, E3, G12, G13, G23, nu12,
//                           nu13, nu23) when the last three are <= 1, else already Nye order
//   nelastic           in   2, 5 or 9; another count reports code -2
void GetNyeProperties(double* nyeprops, const double* elastic, const i32* nelastic);

// On-axis stiffness in Nye order.
//   c(ntens,ntens)  out  stiffness; zero on error
//   props(9)        in   Nye property vector (may share its storage with c)
//   ntens           in   3, 4 or 6; another value reports code -2
//   psflag          in, optional  present and 0: plane-stress form inside 4 or 6 components
// Constants whose compliance is not positive definite report code -3 with a zero c: a modulus
// of the chosen form (E1, E2, G12; in the full form also E3, and G13, G23 for ntens 6) that is
// not finite and positive, 1 - nu12 nu21 <= 0, or in the full form 1 - nu13 nu31, 1 - nu23 nu32
// or Delta <= 0 (isotropic nu = 0.5 among them). Constants whose stiffness is out of the range
// of doubles report code -3 "Stiffness out of range in GetNyeStiffnessMatrix" with a zero c: an
// entry not finite, or a diagonal entry of the form that is not a positive normal number (the
// full form multiplies E1 E2 E3: E = 1e308 overflows, E3 = 1e-320 underflows; a subnormal
// shear modulus).
void GetNyeStiffnessMatrix(double* c, const double* props, const i32* ntens, const i32* psflag);

// On-axis compliance in Nye order; arguments as GetNyeStiffnessMatrix.
void GetNyeComplianceMatrix(double* s, const double* props, const i32* ntens, const i32* psflag);

// On-axis stiffness or compliance from a property list of 2, 5, 9, 12, 21 or 36 values.
//   sc(ntens,ntens)  out  stiffness (scflag non-zero) or its inverse (scflag 0)
//   props(nprops)    in   2/5/9: as GetNyeProperties; 12: Nye vector and nu21, nu31, nu32;
//                         21: upper triangle of the 6 by 6 Nye matrix column by column;
//                         36: the full 6 by 6 Nye matrix column by column
//   ntens            in   3 to 6; another value reports code -3 and sc stays zero
//   nprops           in   number of properties
//   scflag           in   0 compliance, otherwise stiffness
//   psflag           in, optional  present and 0: plane-stress form
//   ldflag           in, optional  accepted, no effect
//   unsymm           in, optional  present and true: keep an unsymmetric 12 or 36 input
void GetGeneralizedNyeOnAxisSC(double* sc, const double* props, const i32* ntens,
                               const i32* nprops, const i32* scflag, const i32* psflag,
                               const lgl* ldflag, const lgl* unsymm);

// Plane-stress reduction of a 6 by 6 Nye stiffness by static condensation.
//   qs(3,3)  out  reduced stiffness, Voigt sub-order of the plane (default (11, 22, 12))
//   c(6,6)   in   stiffness in Nye order
//   plflag   in, optional  2: 23 plane, 3: 13 plane, otherwise (or absent) the 12 plane
void GetReducedNyeStiffnessMatrix(double* qs, const double* c, const i32* plflag);

// Tsai-Pagano invariants U1..U5 of the plane-stress reduced stiffness.
//   u(5)           out  invariants
//   props(nprops)  in   property list as GetGeneralizedNyeOnAxisSC
//   nprops         in   number of properties
void GetInvariantsFromReducedStiffness(double* u, const double* props, const i32* nprops);

// Rotation matrix of Nye-order stresses or engineering strains about axis 3.
//   t(tdim,tdim)  out  transformation; zero for a tdim other than 3 or 6 (code -3)
//   rangle        in   angle in radians
//   tdim          in   3 or 6
//   ttype         in   0 rotation by +rangle, 1 by -rangle (another value reports, acts as 1)
//   tflag         in   0 stress form, 1 strain form (another value reports, 12 row/col zero)
void GetNyeTransformationMatrix(double* t, const double* rangle, const i32* tdim,
                                const i32* ttype, const i32* tflag);

// Off-axis stiffness or compliance t^T m t of a ply rotated by dangle.
//   scoff(ntens,ntens)  out  off-axis matrix; zero on error
//   dangle              in   ply angle in degrees
//   props(9)            in   Nye property vector
//   ntens               in   3 or 6; another value reports code -2
//   scflag              in   0 compliance, otherwise stiffness
void GetNyeOffAxisSC(double* scoff, const double* dangle, const double* props, const i32* ntens,
                     const i32* scflag);

// Off-axis transverse-shear stiffness in the order (23, 13).
//   hoff(2,2)  out  R^T diag(G23, G13) R
//   g13, g23   in   transverse shear moduli
//   dangle     in   ply angle in degrees
void GetOffAxisShearRigidMatrix(double* hoff, const double* g13, const double* g23,
                                const double* dangle);

// Stress update from a stiffness.
//   stress(ntens)          in/out  secant: ddsdde (strain0 + dstrain); tangent: + ddsdde dstrain;
//                                  may be strain0 or dstrain itself
//   ddsdde(ntens,ntens)    in      stiffness
//   strain0, dstrain(ntens) in     strain at the start and its increment
//   ndi                    in      number of direct components
//   ntens                  in      number of components
//   issekant               in      true: secant (total) form, false: tangent (incremental) form
//   istensor               in      true: the shear entries ndi+1..ntens are tensor shears
void GetStressVector(double* stress, const double* ddsdde, const double* strain0,
                     const double* dstrain, const i32* ndi, const i32* ntens,
                     const lgl* issekant, const lgl* istensor);

// Specific strain energy update; arguments as GetStressVector, plus
//   sse             in/out  energy: secant 1/2 stress.(strain0 + dstrain); tangent
//                           sse + 1/2 (stress + stress0).dstrain
//   stress0(ntens)  in      stress at the start of the increment
void GetSpecificStrainEnergy(double* sse, const double* stress, const double* stress0,
                             const double* strain0, const double* dstrain, const i32* ndi,
                             const i32* ntens, const lgl* issekant, const lgl* istensor);

}  // extern "C"
}  // namespace vorlen::lamina
