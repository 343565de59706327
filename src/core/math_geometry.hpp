// Three-dimensional geometry of module math: rotation and base-change matrices, rotation of
// second- and fourth-order tensors, Euler angles, rigid point transformations, plane areas,
// centroids and ellipses. Angles ending in _r are radians, in _d degrees.
#pragma once
#include "base/view.hpp"

namespace vorlen::math {
extern "C" {

// Right-handed rotation of vectors by alpha_r about the axis n (not normalised):
// R = cos a I + (1 - cos a) n n^T + sin a [n]x.
//   trot(3,3) (out)  R
//   n(3) (in)        axis
//   alpha_r (in)     angle in radians
void GetRotationMatrix(double* trot, const double* n, const double* alpha_r);

// Base-change matrix whose rows are nx, ny and nz.
//   tbase(3,3) (out)      rows nx, ny, nz
//   nx(3), ny(3), nz(3) (in)  base vectors
void GetTransformationMatrix(double* tbase, const double* nx, const double* ny, const double* nz);

// Householder matrix I - 2 v v^T (v not normalised).
//   thouse(n,n) (out)  the matrix; nothing is written for n at most 0
//   v(n) (in)          vector
//   n (in)             order
void GetHouseHolderTransformationMatrix(double* thouse, const double* v, const i32* n);

// tensout = tbase tensin tbase^T.
//   tensin(3,3) (in), tensout(3,3) (out), tbase(3,3) (in)
void TensorTransformation2nd(const double* tensin, double* tensout, const double* tbase);

// Components of a second-order tensor in the frame rotated by angle_r about n0:
// output(i,j) = sum_m sum_n R(m,i) R(n,j) input(m,n).
//   input_2nd(3,3) (in), output_2nd(3,3) (out)
//   angle_r (in)         angle in radians
//   n0(3) (in, optional) axis, (1, 0, 0) when absent
void TensorRotation2nd(const double* input_2nd, double* output_2nd, const double* angle_r,
                       const double* n0);

// Fourth-order analogue of TensorRotation2nd, each output entry summed with m outermost and p
// innermost over R(m,i) R(n,j) R(o,k) R(p,l) input(m,n,o,p).
//   input_4th(3,3,3,3) (in), output_4th(3,3,3,3) (out)
//   angle_r (in), n0(3) (in, optional) as for TensorRotation2nd
void TensorRotation4th(const double* input_4th, double* output_4th, const double* angle_r,
                       const double* n0);

// Double contraction out(i,j) = sum_k sum_l t_4th(i,j,k,l) t_2nd(k,l), k outer, l inner.
//   t_4th(3,3,3,3) (in), t_2nd(3,3) (in), out_2nd(3,3) (out)
void math_tensormultiplication(const double* t_4th, const double* t_2nd, double* out_2nd);

// Euler angles in degrees of r = Rz(eul3) Ry(eul2) Rx(eul1).
//   eul(3) (out)  angles about axes 1, 2 and 3
//   r(3,3) (in)   rotation matrix; r(3,1) is clamped to [-1, 1] before its arcsine
void GetEulerRotation(double* eul, const double* r);

// p rotated by alpha_d degrees about the axis a through the origin.
//   a(3), p(3) (in), prot(3) (out), alpha_d (in)
void CoordinateRotation(const double* a, const double* p, double* prot, const double* alpha_d);

// ptrans = p + a.
//   a(3), p(3) (in), ptrans(3) (out)
void CoordinateTranslation(const double* a, const double* p, double* ptrans);

// pref = (2 (na na^T + nb nb^T) - I) p, the mirror image of p in the plane spanned by the
// orthonormal na and nb.
//   na(3), nb(3), p(3) (in), pref(3) (out)
void CoordinateReflection(const double* na, const double* nb, const double* p, double* pref);

// Orthogonal projection of p onto the plane through r0 spanned by u and v.
//   u(3), v(3), p(3) (in), ppro(3) (out)
//   r0(3) (in, optional)  point of the plane, the origin when absent
void CoordinateProjection(const double* u, const double* v, const double* p, double* ppro,
                          const double* r0);

// Points scaled into interval with one minimum and maximum over all coordinates.
//   p(np,ndim) (in), pnorm(np,ndim) (out; not written for np or ndim at most 0)
//   interval(2) (in)  target interval
//   np, ndim (in)     number of points and coordinates
void CoordinateNormalization(const double* p, double* pnorm, const double* interval, const i32* np,
                             const i32* ndim);

// Polar (cylindrical) coordinates: radius and angle of the first two coordinates, the rest
// copied.
//   cartesian(n) (in), polar(n) (out)
//   n (in)                 number of coordinates; below 2 gives zeros and code -3
//   phi0 (in, optional)    angle of a point with x = y = 0, 0 when absent
void PolarTransformation(const double* cartesian, double* polar, const i32* n, const double* phi0);

// Length of the circular arc of the given curvature between oa and ob (the chord for
// curvature 0).
//   oa(n), ob(n) (in), curvature (in), n (in)
double EffectiveArcLength(const double* oa, const double* ob, const double* curvature,
                          const i32* n);

// Signed area of the triangle (x1,y1), (x2,y2), (x3,y3), positive counter-clockwise.
double math_gettrianglearea(const double* x1, const double* y1, const double* x2, const double* y2,
                            const double* x3, const double* y3);

// Unsigned area of the closed polygon x(n), y(n); 0 for n < 3.
double ShoelaceMethod(const double* x, const double* y, const i32* n);

// Centroid of the polygon x(n), y(n), given open or with the first vertex repeated last.
//   c(2) (out)  centroid; (0, 0) when the polygon has no area
//   x(n), y(n) (in), n (in)
void GetCentroid(double* c, const double* x, const double* y, const i32* n);

// Distance from the centre to the ellipse with half axes a (along phi = 0) and b in the
// direction phi_d degrees.
//   r (out), a, b, phi_d (in)
void GetRadiusOfEllipse(double* r, const double* a, const double* b, const double* phi_d);

// Half width and half height of the axis-parallel box around the ellipse rotated by phi_d.
//   xybound(2) (out), a, b, phi_d (in)
void GetBoundingBoxFromEllipse(double* xybound, const double* a, const double* b,
                               const double* phi_d);
}
}  // namespace vorlen::math
