// Shape functions of the 8-node serendipity quadrilateral and their first and second derivatives
// with respect to xi (ordinal 1) and eta (ordinal 2), one value per call. The kernels below take
// a valid node and serve the shape-function matrices, which call them per point.
#pragma once
#include "base/view.hpp"

namespace vorlen::quad8 {

// Node positions (xi, eta): corners 1-4 counter-clockwise from (-1, -1), then the mid-sides
// 5 (0, -1), 6 (1, 0), 7 (0, 1), 8 (-1, 0).
inline constexpr double nshape8[8][2] = {{-1.0, -1.0}, {1.0, -1.0}, {1.0, 1.0}, {-1.0, 1.0},
                                         {0.0, -1.0},  {1.0, 0.0},  {0.0, 1.0}, {-1.0, 0.0}};

// Kernels: node 1..8, no checks.
inline double sf(double xi, double eta, int node) {
    const double xn = nshape8[node - 1][0], en = nshape8[node - 1][1];
    switch (node) {
    case 5: return (1.0 - xi * xi) * (1.0 - eta) / 2.0;
    case 6: return (1.0 - eta * eta) * (1.0 + xi) / 2.0;
    case 7: return (1.0 - xi * xi) * (1.0 + eta) / 2.0;
    case 8: return (1.0 - eta * eta) * (1.0 - xi) / 2.0;
    default: return (1.0 + xi * xn) * (1.0 + eta * en) * (xi * xn + eta * en - 1.0) / 4.0;
    }
}
inline double dxi(double xi, double eta, int node) {
    const double xn = nshape8[node - 1][0], en = nshape8[node - 1][1];
    switch (node) {
    case 5: return -xi * (1.0 - eta);
    case 6: return (1.0 - eta * eta) / 2.0;
    case 7: return -xi * (1.0 + eta);
    case 8: return -(1.0 - eta * eta) / 2.0;
    default: return xn * (1.0 + eta * en) * (2.0 * xi * xn + eta * en) / 4.0;
    }
}
inline double deta(double xi, double eta, int node) {
    const double xn = nshape8[node - 1][0], en = nshape8[node - 1][1];
    switch (node) {
    case 5: return -(1.0 - xi * xi) / 2.0;
    case 6: return -eta * (1.0 + xi);
    case 7: return (1.0 - xi * xi) / 2.0;
    case 8: return -eta * (1.0 - xi);
    default: return en * (1.0 + xi * xn) * (2.0 * eta * en + xi * xn) / 4.0;
    }
}
inline double dxixi(double, double eta, int node) {
    switch (node) {
    case 5: return -(1.0 - eta);
    case 7: return -(1.0 + eta);
    case 6: case 8: return 0.0;
    default: return (1.0 + eta * nshape8[node - 1][1]) / 2.0;
    }
}
inline double detaeta(double xi, double, int node) {
    switch (node) {
    case 6: return -(1.0 + xi);
    case 8: return -(1.0 - xi);
    case 5: case 7: return 0.0;
    default: return (1.0 + xi * nshape8[node - 1][0]) / 2.0;
    }
}
inline double dxieta(double xi, double eta, int node) {
    const double xn = nshape8[node - 1][0], en = nshape8[node - 1][1];
    switch (node) {
    case 5: return xi;
    case 6: return -eta;
    case 7: return -xi;
    case 8: return eta;
    default: return xn * en * (2.0 * xi * xn + 2.0 * eta * en + 1.0) / 4.0;
    }
}

extern "C" {

// N_inode(xi, eta): corners (1 + xi xi_i)(1 + eta eta_i)(xi xi_i + eta eta_i - 1)/4, mid-sides
// (1 - xi^2)(1 -+ eta)/2 (nodes 5, 7) and (1 - eta^2)(1 +- xi)/2 (nodes 6, 8).
//   xi, eta (in)  natural coordinates
//   inode (in)    node 1..8; another records code -2 "Warning: Overflow in Quad8SF." and gives 0
double Quad8SF(const double* xi, const double* eta, const i32* inode);

// dN_inode/dxi (idvar 1) or dN_inode/deta (idvar 2).
//   xi, eta, inode (in)  as Quad8SF
//   idvar (in)           ordinal; tested first: outside 1..2 records code -2 "Warning: Invalid
//                        1st ordinal in Quad8FirstDerivSF." and gives 0; then a node outside
//                        1..8 records "Warning: Overflow in Quad8FirstDerivSF.Xi." (or ".Eta.")
double Quad8FirstDerivSF(const double* xi, const double* eta, const i32* inode, const i32* idvar);

// d2N_inode/(d idvar d iidvar); the mixed pairs (1, 2) and (2, 1) are equal.
//   xi, eta, inode (in)  as Quad8SF
//   idvar, iidvar (in)   ordinals 1 (xi) or 2 (eta), tested in this order (code -2 "Warning:
//                        Invalid 1st ordinal in Quad8SecondDerivSF", "Warning: Invalid ordinal
//                        in Quad8SecondDerivSF."), then the node ("Warning: Overflow in
//                        Quad8SecondDerivSF.XiXi.", ".XiEta.", ".EtaXi.", ".EtaEta."); each
//                        gives 0
double Quad8SecondDerivSF(const double* xi, const double* eta, const i32* inode, const i32* idvar,
                          const i32* iidvar);

}  // extern "C"
}  // namespace vorlen::quad8
