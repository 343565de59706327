// Element-space conversions of module elementhandling: expansion of the reduced stress and
// strain vectors of plane-stress (3 components: 11, 22, 12), plane-strain and axisymmetric (4:
// 11, 22, 33, 12, or rr, zz, thetatheta, rz) and solid elements (6) to three-dimensional Nye
// vectors (11, 22, 33, 12, 13, 23; engineering shear strains) before a material call, and the
// reduction of the 3-D stress and 6 x 6 tangent afterwards; the out-of-plane strain of plane
// stress, and the characteristic lengths and axial transformation of simple elements.
// Axisymmetric 3-D vectors use the base (r, theta, z). Per integration point: no allocation.
// Outputs may be inputs: every input is read before an output is written.
#pragma once
#include "base/view.hpp"

namespace vorlen::elementhandling {
extern "C" {

// Expands element vectors by their count: 3 Get3DStressFromPlaneStress, 4
// Get3DStressFromPlaneStrain, 6 Get3DStressFromHex.
//   stress3d(6), strain3d(6), dstrain3d(6) (out)  3-D vectors; unchanged for another ncomp
//   stress_nye(ncomp), strain_nye(ncomp), dstrain_nye(ncomp) (in)  element vectors
//   ncomp (in)                 3, 4 or 6; another records code -3
//   transverse(6) (in, optional)  out-of-plane values of plane stress (below), zeros when absent
//   itnsflag, itshrflag (in, optional)  0 when absent
//   isaxial (in, optional)     axisymmetric 4-component vectors; false when absent
void Get3DInputFromElem(double* stress3d, double* strain3d, double* dstrain3d,
                        const double* stress_nye, const double* strain_nye,
                        const double* dstrain_nye, const i32* ncomp, const double* transverse,
                        const i32* itnsflag, const i32* itshrflag, const lgl* isaxial);

// Plane stress: 11, 22, 12 to positions 1, 2, 4, the rest 0; with itnsflag non-zero stress3d(3)
// = transverse(6) and stran3d(3) = transverse(3); with itshrflag non-zero stress3d(5:6) =
// transverse(4:5) and stran3d(5:6) = transverse(1:2). dstran3d takes no out-of-plane values.
//   stress(3), stran(3), dstran(3) (in)
//   transverse(6) (in)   eps13, eps23, eps33, sig13, sig23, sig33
//   stress3d(6), stran3d(6), dstran3d(6) (out)
//   itnsflag, itshrflag (in)
void Get3DStressFromPlaneStress(const double* stress, const double* stran, const double* dstran,
                                const double* transverse, double* stress3d, double* stran3d,
                                double* dstran3d, const i32* itnsflag, const i32* itshrflag);

// Plane strain (c1, c2, c3, c4) -> (c1, c2, c3, c4, 0, 0); axisymmetric (rr, zz, thetatheta, rz)
// -> (c1, c3, c2, 0, c4, 0) in the base (r, theta, z). Shear entries are carried as they are.
//   stress(4), stran(4), dstran(4) (in)
//   stress3d(6), stran3d(6), dstran3d(6) (out)
//   isaxial (in)   axisymmetric when true
void Get3DStressFromPlaneStrain(const double* stress, const double* stran, const double* dstran,
                                double* stress3d, double* stran3d, double* dstran3d,
                                const lgl* isaxial);

// Solid elements: copies.
//   stress(6), stran(6), dstran(6) (in); stress3d(6), stran3d(6), dstran3d(6) (out)
void Get3DStressFromHex(const double* stress, const double* stran, const double* dstran,
                        double* stress3d, double* stran3d, double* dstran3d);

// Reduces the 3-D stress and tangent by the count: 3 GetPlaneStressOutputFrom3D, 4
// GetPlaneStrainOutputFrom3D, 6 GetHexOutputFrom3D.
//   stresselem(n), tangentelem(n,n) (out)  unchanged for another n
//   stress3d(6), tangent3d(6,6) (in)
//   n (in)                3, 4 or 6; another records code -3
//   isaxial (in, optional)  false when absent
void GetElemOutputFrom3D(double* stresselem, double* tangentelem, const double* stress3d,
                         const double* tangent3d, const i32* n, const lgl* isaxial);

// Plane stress. With tangent3d(3,3) exactly 0: stressps = stress3d(1, 2, 4) and tangentps =
// rows and columns 1, 2, 4 of tangent3d. Otherwise tangentps = the condensation of the 33
// stress (GetReducedNyeStiffnessMatrix) and stressps = tangentps (e11, e22, e12) with e =
// tangent3d^-1 stress3d; for a singular tangent3d (code -2 of MatrixInverse) stressps =
// s_a - C_a3 s_33/C_33 (a = 11, 22, 12) instead.
//   stressps(3), tangentps(3,3) (out); stress3d(6), tangent3d(6,6) (in)
void GetPlaneStressOutputFrom3D(double* stressps, double* tangentps, const double* stress3d,
                                const double* tangent3d);

// Plane strain: stresspl = stress3d(1:4), tangentpl = tangent3d(1:4, 1:4). Axisymmetric, back
// to (rr, zz, thetatheta, rz): stresspl = stress3d(1, 3, 2, 5) and tangentpl = rows and columns
// (1, 3, 2, 5) of tangent3d.
//   stresspl(4), tangentpl(4,4) (out); stress3d(6), tangent3d(6,6) (in)
//   isaxial (in, optional)  false when absent
void GetPlaneStrainOutputFrom3D(double* stresspl, double* tangentpl, const double* stress3d,
                                const double* tangent3d, const lgl* isaxial);

// Solid elements: copies.
//   stresshex(6), tangenthex(6,6) (out); stress3d(6), tangent3d(6,6) (in)
void GetHexOutputFrom3D(double* stresshex, double* tangenthex, const double* stress3d,
                        const double* tangent3d);

// Out-of-plane strain of plane stress, -(nu31 s11 + nu32 s22)/e33 written as
// -(nu31/e33) s11 - (nu32/e33) s22; e33 = 0 records code -3 and gives 0.
double GetPlaneStressEpsZZ(const double* e33, const double* nu31, const double* nu32,
                           const double* s11, const double* s22);

// Brick lengths along the columns of matcos: elemlength(j) = 0.25 sum over the space diagonals
// d = x7 - x1, x8 - x2, x5 - x3, x6 - x4 and i = 1..3 of |matcos(i, j) d(i)|.
//   elemlength(3) (out); matcos(3,3), nodalcoord(3,8) (in)
void GetHex8ElemLength(double* elemlength, const double* matcos, const double* nodalcoord);

// Shell lengths: the offsets x2 - x1, x4 - x1 and x3 - x1 projected on the plane of
// tdirect(:,1:2) and multiplied by tdirect; elemlength = their lengths (the last the diagonal).
//   elemlength(3) (out); tdirect(3,3), nodalcoord(3,4) (in)
void GetQuad4ElemLength(double* elemlength, const double* tdirect, const double* nodalcoord);

// Truss length |x2 - x1|.
//   elemlength (out); nodalcoord(3,2) (in)
void GetTruss3ElemLength(double* elemlength, const double* nodalcoord);

// Axial transformation: te = 0 except te(1, 1:3) = te(2, 4:6) = (x2 - x1)/|x2 - x1|.
//   te(2,6) (out)       coincident (or non-finite) nodes record code -3 and give zeros
//   nodalcoord(3,2) (in)
void GetTruss3TransformationMatrix(double* te, const double* nodalcoord);

}  // extern "C"
}  // namespace vorlen::elementhandling
