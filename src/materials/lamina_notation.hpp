// Six-component notations of symmetric tensors: 3 by 3 matrix, Voigt (11,22,33,23,13,12),
// Nye (11,22,33,12,13,23) and Cyclic (11,22,33,12,23,13) orders, and 6 by 6 <-> 4th-order tensor.
#pragma once
#include "base/view.hpp"

namespace vorlen::lamina {

// Index pairs of the 3 by 3 matrix at positions 4 to 6 of each order.
inline constexpr int pairs_voigt[3][2] = {{2, 3}, {1, 3}, {1, 2}};
inline constexpr int pairs_nye[3][2] = {{1, 2}, {1, 3}, {2, 3}};
inline constexpr int pairs_cyclic[3][2] = {{1, 2}, {2, 3}, {1, 3}};

extern "C" {

// Symmetric 3 by 3 matrix of a Voigt-order 6-vector.
//   cn(3,3)  out  [[qv1, qv6, qv5], [qv6, qv2, qv4], [qv5, qv4, qv3]]
//   qv(6)    in   components in Voigt order
void CauchyNotation(double* cn, const double* qv);

// 6-vector of a 3 by 3 matrix in Voigt, Nye or Cyclic order; only the diagonal and the upper
// triangle of q are read.
//   vn/nn/cn(6)  out  components in the routine's order
//   q(3,3)       in   the matrix
void VoigtNotation(double* vn, const double* q);
void NyeNotation(double* nn, const double* q);
void CyclicNotation(double* cn, const double* q);

// Converts between Voigt and Nye order (exchange of positions 4 and 6), in either direction.
//   fn(6,sdim)  out  the converted vector (sdim 1) or matrix (sdim 6); not written on error
//   q(6,nq)     in   vector or matrix in the other order; only sdim columns are read; fn may
//                    be q itself
//   sdim        in   1 or 6; any other value reports code -2 and leaves fn untouched
//   nq          in   number of columns of q; fewer than sdim reports code -3, fn untouched
void FlipVoigtNyeNotation(double* fn, const double* q, const i32* sdim, const i32* nq);

// Circular shift of positions 4 to 6 between Voigt and Cyclic order.
//   fn(6,sdim)  out  the shifted vector (sdim 1) or matrix (sdim 6); not written on error
//   q(6,nq)     in   vector or matrix; only sdim columns are read; fn may be q itself
//   sdim        in   1 or 6; any other value reports code -2 and leaves fn untouched
//   dir         in   shift: 1 Cyclic to Voigt, 2 (= -1) Voigt to Cyclic, multiples of 3 none
//   nq          in   number of columns of q; fewer than sdim reports code -3, fn untouched
void FlipVoigtCyclicNotation(double* fn, const double* q, const i32* sdim, const i32* dir,
                             const i32* nq);

// Fourth-order tensor of a 6 by 6 Voigt matrix, c_4th(i,j,k,l) = csix(V(i,j), V(k,l)), no
// shear factors.
//   c_4th(3,3,3,3)  out  tensor with both minor symmetries
//   csix(6,6)       in   Voigt-order matrix
void GetTensorFromVoigtStiffness(double* c_4th, const double* csix);

// 6 by 6 Voigt matrix of a fourth-order tensor, read at i <= j, k <= l.
//   csix(6,6)       out  Voigt-order matrix
//   c_4th(3,3,3,3)  in   tensor
void GetVoigtStiffnessFromTensor(double* csix, const double* c_4th);

}  // extern "C"
}  // namespace vorlen::lamina
