// Shape functions of the 4-node quadrilateral and their first derivatives with respect to xi
// (ordinal 1) and eta (ordinal 2), one value per call. The kernels below take a valid node and
// serve the shape-function matrices.
#pragma once
#include "base/view.hpp"

namespace vorlen::quad4 {

// Node positions (xi, eta), counter-clockwise from (-1, -1).
inline constexpr double nodes[4][2] = {{-1.0, -1.0}, {1.0, -1.0}, {1.0, 1.0}, {-1.0, 1.0}};

// Kernels: node 1..4, no checks.
inline double sf(double xi, double eta, int node) {
    const double* p = nodes[node - 1];
    return (1.0 + xi * p[0]) * (1.0 + eta * p[1]) / 4.0;
}
inline double dxi(double, double eta, int node) {
    const double* p = nodes[node - 1];
    return p[0] * (1.0 + eta * p[1]) / 4.0;
}
inline double deta(double xi, double, int node) {
    const double* p = nodes[node - 1];
    return p[1] * (1.0 + xi * p[0]) / 4.0;
}

extern "C" {

// N_inode(xi, eta) = (1 + xi xi_i)(1 + eta eta_i)/4.
//   xi, eta (in)  natural coordinates
//   inode (in)    node 1..4; another records code -2 "Warning: Overflow in Quad4SF." and gives 0
double Quad4SF(const double* xi, const double* eta, const i32* inode);

// dN_inode/dxi = xi_i (1 + eta eta_i)/4 (idvar 1) or dN_inode/deta = eta_i (1 + xi xi_i)/4 (2).
//   xi, eta, inode (in)  as Quad4SF
//   idvar (in)           ordinal; tested first: outside 1..2 records code -2 "Warning: Invalid
//                        1st ordinal in Quad4FirstDerivSF." and gives 0; then a node outside
//                        1..4 records "Warning: Overflow in Quad4FirstDerivSF.Xi." (or ".Eta.")
double Quad4FirstDerivSF(const double* xi, const double* eta, const i32* inode, const i32* idvar);

}  // extern "C"
}  // namespace vorlen::quad4
