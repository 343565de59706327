// Effective three-dimensional stiffness of a stack of perfectly bonded layers: the Voigt and
// Reuss averages and the layered-medium averages of Chou, Sun and Henry, in which the in-plane
// strains and the out-of-plane stresses are the same in every layer.
#pragma once
#include "base/view.hpp"

namespace vorlen::laminate {
extern "C" {

// Every routine takes
//   volratios(nvols) (in)  volume ratio v_k of each layer, used as given (the layered-medium
//                   forms assume that they sum to 1)
//   rotatedstiffnessmatrices(6, 6, nvols) (in)  stiffness C_k of each layer in the stack axes,
//                   Voigt order (11, 22, 33, 23, 13, 12), direction 3 the stacking direction
//   nvols (in)      number of layers; below 1: code -3 and a zero result
// and returns one 6 by 6 stiffness in the same order. Singular layer matrices, zero C_k(3,3),
// shear determinants or pivots are divided by as they come (MatrixInverse and
// LUFactDeterminant report what they meet).

// Uniform strain: cvoigt(6,6) (out) = sum of v_k C_k.
void GetVoigtEffectiveStiffness(double* cvoigt, const double* volratios,
                                const double* rotatedstiffnessmatrices, const i32* nvols);

// Uniform stress: creuss(6,6) (out) = (sum of v_k C_k^-1)^-1.
void GetReussEffectiveStiffness(double* creuss, const double* volratios,
                                const double* rotatedstiffnessmatrices, const i32* nvols);

// Layered medium after Chou: chou(6,6) (out), symmetric, with the entries (1,4), (1,5), (2,4),
// (2,5), (3,4), (3,5), (4,6), (5,6) zero.
void GetChouEffectiveStiffness(double* chou, const double* volratios,
                               const double* rotatedstiffnessmatrices, const i32* nvols);

// Layered medium after Sun: csun(6,6) (out), with the zero pattern of the Chou form.
void GetSunEffectiveStiffness(double* csun, const double* volratios,
                              const double* rotatedstiffnessmatrices, const i32* nvols);

// Layered medium after Henry, all 36 entries by elimination without pivot search:
// chenry(6,6) (out).
void GetHenryEffectiveStiffness(double* chenry, const double* volratios,
                                const double* rotatedstiffnessmatrices, const i32* nvols);

}  // extern "C"
}  // namespace vorlen::laminate
