// Shape-function matrices of module elementhandling: one row per node, one column per shape
// function or derivative, for the shell kinematics and the element coordinate systems. Per
// integration point: no allocation.
#pragma once
#include "base/view.hpp"

namespace vorlen::elementhandling {
extern "C" {

// 6-node triangle at (xi, eta).
//   nshape(6,6) (out)  row i node i; columns N, N,xi, N,eta, N,xixi, N,etaeta, N,xieta
//   xi, eta (in)       natural coordinates
void Tria6ShapeFunMatrix(double* nshape, const double* xi, const double* eta);

// 8-node serendipity quadrilateral at (xi, eta).
//   nshape(8,6) (out)  row i node i; columns N, N,xi, N,eta, N,xixi, N,etaeta, N,xieta
//   xi, eta (in)       natural coordinates
void Quad8ShapeFunMatrix(double* nshape, const double* xi, const double* eta);

// 4-node quadrilateral at (xi, eta).
//   nshape(4,3) (out)  row i node i; columns N, N,xi, N,eta
//   xi, eta (in)       natural coordinates
void Quad4ShapeFunMatrix(double* nshape, const double* xi, const double* eta);

// 8-node brick at (xi, eta, zeta).
//   nshape(8,9) (out)   row i node i; columns N, N,xi, N,eta, N,zeta, then 0, 0, 0 (the pure
//                       second derivatives, which vanish), N,xieta, N,xizeta; N,etazeta is not
//                       part of the matrix
//   xi, eta, zeta (in)  natural coordinates
void Hex8ShapeFunMatrix(double* nshape, const double* xi, const double* eta, const double* zeta);

}  // extern "C"
}  // namespace vorlen::elementhandling
