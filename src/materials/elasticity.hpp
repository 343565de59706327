// Stress laws with a numerical tangent: the tangent of any stress law given as a routine (central
// differences or complex step), the linear anisotropic and orthotropic laws that serve as such
// routines, and the choice of tension or compression strengths by the sign of a stress.
#pragma once
#include <complex>

#include "base/view.hpp"

namespace vorlen::elasticity {
extern "C" {

// Stress law: the stress for a strain vector, keeping no state.
//   stress(ntens) (out), strain(ntens) (in)  doubles, or complex doubles for a complex-valued law
//   props(nprops) (in)                       material properties
//   ntens, ndi, nprops (in)                  components, direct components, properties
using StressLaw = void(double* stress, const double* strain, const double* props, const i32* ntens,
                       const i32* ndi, const i32* nprops);
using ComplexStressLaw = void(std::complex<double>* stress, const std::complex<double>* strain,
                              const double* props, const i32* ntens, const i32* ndi,
                              const i32* nprops);

// Tangent d stress / d strain of a stress law at the vector dstrain, column by column.
//   ddsdde(ntens,ntens) (out)  tangent
//   getstressfromelasticity (in)  the law: a real law (StressLaw) for central differences, a
//                  complex-valued one (ComplexStressLaw) for the complex step; its stress and
//                  strain vectors have room for ntens complex numbers in either method, so a
//                  law of the other kind stays inside them. A null law where the law is needed
//                  records code -3 and gives a zero ddsdde
//   props(nprops) (in)  properties, passed to the law
//   stress1, stress0(ntens) (in)  stresses whose difference the reference tangent is checked
//                  against
//   dstrain(ntens) (in)  the strain vector at which the law is differentiated
//   ntens, ndi, nprops (in)
//   istensor (in)  true: the shear entries ndi+1..ntens of dstrain are doubled first
//   tgref(ntens,ntens) (in, optional)  reference tangent: when it has a non-zero entry and
//                  tgref dstrain equals stress1 - stress0 exactly, it is the result and the law
//                  is not called
//   h (in, optional)  step; absent: 2^-26 times the largest magnitude in dstrain. A step of
//                  exactly 0 becomes 1e-8
//   nmflag (in, optional)  1 complex step (ntens calls of the law), otherwise (or absent)
//                  central differences (2 ntens calls)
void elasticity_getnumericaltangent(double* ddsdde, StressLaw* getstressfromelasticity,
                                    const double* props, const double* stress1,
                                    const double* stress0, const double* dstrain, const i32* ntens,
                                    const i32* ndi, const i32* nprops, const lgl* istensor,
                                    const double* tgref, const double* h, const i32* nmflag);

// Linear anisotropic law stress = K strain.
//   stress(ntens) (out), strain(ntens) (in)
//   props(nprops) (in)  nprops >= ntens^2: K column by column. Fewer: the upper triangle of a
//                  symmetric K, packed row by row (c11, c12, ..., c1n, c22, ..., cnn); fewer
//                  than ntens(ntens+1)/2 values record code -3 and give a zero stress
//   ntens, ndi, nprops (in)
void fGetStressFromAnisotropicHyperelasticity(double* stress, const double* strain,
                                              const double* props, const i32* ntens, const i32* ndi,
                                              const i32* nprops);
// The same law in complex arithmetic (the complex-step law); a packed K is read column by column
// (c11; c12, c22; c13, c23, c33; ...), so the two variants agree for ntens <= 2 and full K only.
void cGetStressFromAnisotropicHyperelasticity(std::complex<double>* stress,
                                              const std::complex<double>* strain,
                                              const double* props, const i32* ntens, const i32* ndi,
                                              const i32* nprops);

// Orthotropic law stress = K strain with K the on-axis stiffness of GetGeneralizedNyeOnAxisSC
// (12 and 36 property lists kept unsymmetric).
//   stress(ntens) (out), strain(ntens) (in), props(nprops) (in), ntens, ndi, nprops (in)
void GetStressFromOrthotropicElasticity(double* stress, const double* strain, const double* props,
                                        const i32* ntens, const i32* ndi, const i32* nprops);

// Strengths for the signs of a stress state.
//   full_set(9) (in)     Xt, Xc, Yt, Yc, Zt, Zc, S12, S13, S23
//   reduced_set(6) (out) X, Y, Z (tension strength where criterion(i) > 0, else compression),
//                        S12, S13, S23
//   criterion(6) (in)    the stress components whose signs decide
void GetComponentsTensionCompression(const double* full_set, double* reduced_set,
                                     const double* criterion);
}
}  // namespace vorlen::elasticity
