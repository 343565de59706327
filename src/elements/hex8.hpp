// Shape functions of the 8-node brick and their first and second derivatives with respect to
// xi (ordinal 1), eta (2) and zeta (3), one value per call. The kernels below take a valid node
// and ordinals and serve the shape-function matrix.
#pragma once
#include "base/view.hpp"

namespace vorlen::hex8 {

// Node positions (xi, eta, zeta): the face zeta = -1 counter-clockwise from (-1, -1), then the
// face zeta = +1 likewise.
inline constexpr double nodes[8][3] = {{-1.0, -1.0, -1.0}, {1.0, -1.0, -1.0}, {1.0, 1.0, -1.0},
                                       {-1.0, 1.0, -1.0},  {-1.0, -1.0, 1.0}, {1.0, -1.0, 1.0},
                                       {1.0, 1.0, 1.0},    {-1.0, 1.0, 1.0}};

// Kernels: node 1..8, ordinals 1..3, no checks; x holds (xi, eta, zeta).
inline double factor(const double* x, int node, int k) {
    return 1.0 + x[k - 1] * nodes[node - 1][k - 1];
}
inline double sf(const double* x, int node) {
    return factor(x, node, 1) * factor(x, node, 2) * factor(x, node, 3) / 8.0;
}
inline double d1(const double* x, int node, int a) {
    const int b = a % 3 + 1, c = b % 3 + 1;
    return nodes[node - 1][a - 1] * factor(x, node, b) * factor(x, node, c) / 8.0;
}
inline double d2(const double* x, int node, int a, int b) {
    if (a == b) return 0.0;
    const int c = 6 - a - b;
    return nodes[node - 1][a - 1] * nodes[node - 1][b - 1] * factor(x, node, c) / 8.0;
}

extern "C" {

// N_inode = (1 + xi xi_i)(1 + eta eta_i)(1 + zeta zeta_i)/8.
//   xi, eta, zeta (in)  natural coordinates
//   inode (in)          node 1..8; another records code -2 "Warning: Overflow in Hex8SF." and
//                       gives 0
double Hex8SF(const double* xi, const double* eta, const double* zeta, const i32* inode);

// dN_inode/d(ordinal idvar): xi_i (1 + eta eta_i)(1 + zeta zeta_i)/8, and cyclically.
//   xi, eta, zeta, inode (in)  as Hex8SF
//   idvar (in)                 ordinal; tested first: outside 1..3 records code -2 "Warning:
//                              Invalid 1st ordinal in Hex8FirstDerivSF." and gives 0; then a node
//                              outside 1..8 records "Warning: Overflow in Hex8FirstDerivSF.Xi."
//                              (".Eta.", ".Zeta.")
double Hex8FirstDerivSF(const double* xi, const double* eta, const double* zeta, const i32* inode,
                        const i32* idvar);

// d2N_inode/(d idvar d iidvar): 0 for equal ordinals; a mixed pair (a, b) with third coordinate
// c gives a_i b_i (1 + c c_i)/8.
//   xi, eta, zeta, inode (in)  as Hex8SF
//   idvar, iidvar (in)         ordinals 1..3, tested in this order (code -2 "Warning: Invalid 1st
//                              ordinal in Hex8SecondDerivSF", "Warning: Invalid 2nd ordinal in
//                              Hex8SecondDerivSF."), then the node, also for equal ordinals
//                              ("Warning: Overflow in Hex8SecondDerivSF.XiXi.", ".XiEta.", ...,
//                              ".ZetaZeta."); each gives 0
double Hex8SecondDerivSF(const double* xi, const double* eta, const double* zeta, const i32* inode,
                         const i32* idvar, const i32* iidvar);

}  // extern "C"
}  // namespace vorlen::hex8
