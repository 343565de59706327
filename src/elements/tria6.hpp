// Shape functions of the 6-node triangle and their first and second derivatives with respect to
// the natural coordinates xi (ordinal 1) and eta (ordinal 2), one value per call. The kernels
// below take a valid node and serve the shape-function matrices, which call them per point.
#pragma once
#include "base/view.hpp"

namespace vorlen::tria6 {

// Node positions (xi, eta): corners 1-3, then the mid-sides 4 (1-2), 5 (2-3) and 6 (3-1).
inline constexpr double nshape6[6][2] = {{0.0, 0.0}, {1.0, 0.0}, {0.0, 1.0},
                                         {0.5, 0.0}, {0.5, 0.5}, {0.0, 0.5}};

// Kernels: node 1..6, no checks.
inline double sf(double xi, double eta, int node) {
    const double l = 1.0 - xi - eta;
    switch (node) {
    case 1: return l * (1.0 - 2.0 * xi - 2.0 * eta);
    case 2: return xi * (2.0 * xi - 1.0);
    case 3: return eta * (2.0 * eta - 1.0);
    case 4: return 4.0 * xi * l;
    case 5: return 4.0 * xi * eta;
    default: return 4.0 * eta * l;
    }
}
inline double dxi(double xi, double eta, int node) {
    switch (node) {
    case 1: return 4.0 * xi + 4.0 * eta - 3.0;
    case 2: return 4.0 * xi - 1.0;
    case 3: return 0.0;
    case 4: return 4.0 - 8.0 * xi - 4.0 * eta;
    case 5: return 4.0 * eta;
    default: return -4.0 * eta;
    }
}
inline double deta(double xi, double eta, int node) {
    switch (node) {
    case 1: return 4.0 * xi + 4.0 * eta - 3.0;
    case 2: return 0.0;
    case 3: return 4.0 * eta - 1.0;
    case 4: return -4.0 * xi;
    case 5: return 4.0 * xi;
    default: return 4.0 - 4.0 * xi - 8.0 * eta;
    }
}
// Second derivatives: constants.
inline double dxixi(int node) { return node <= 2 ? 4.0 : node == 4 ? -8.0 : 0.0; }
inline double dxieta(int node) {
    return node == 1 || node == 5 ? 4.0 : node == 4 || node == 6 ? -4.0 : 0.0;
}
inline double detaeta(int node) { return node == 1 || node == 3 ? 4.0 : node == 6 ? -8.0 : 0.0; }

extern "C" {

// N_inode(xi, eta), L = 1 - xi - eta: N1 = L (2L - 1), N2 = xi (2 xi - 1), N3 = eta (2 eta - 1),
// N4 = 4 xi L, N5 = 4 xi eta, N6 = 4 eta L.
//   xi, eta (in)  natural coordinates
//   inode (in)    node 1..6; another records code -2 "Warning: Overflow in Tria6SF." and gives 0
double Tria6SF(const double* xi, const double* eta, const i32* inode);

// dN_inode/dxi (idvar 1) or dN_inode/deta (idvar 2).
//   xi, eta, inode (in)  as Tria6SF
//   idvar (in)           ordinal; tested first: outside 1..2 records code -2 "Warning: Invalid
//                        ordinal in Tria6FirstDerivSF." and gives 0; then a node outside 1..6
//                        records "Warning: Overflow in Tria6.Xi." (or ".Eta.") and gives 0
double Tria6FirstDerivSF(const double* xi, const double* eta, const i32* inode, const i32* idvar);

// d2N_inode/(d idvar d iidvar), constants: xixi 4 (nodes 1, 2), -8 (4); xieta = etaxi 4 (1, 5),
// -4 (4, 6); etaeta 4 (1, 3), -8 (6); 0 elsewhere.
//   xi, eta, inode (in)  as Tria6SF
//   idvar, iidvar (in)   ordinals 1 (xi) or 2 (eta), tested in this order (code -2 "Warning:
//                        Invalid 1st ordinal in Tria6", "Warning: Invalid 2nd ordinal in
//                        Tria6."), then the node ("Overflow in Tria6.XiXi.", "Warning: Overflow
//                        in Tria6.XiEta.", ".EtaXi.", ".EtaEta."); each gives 0
double Tria6SecondDerivSF(const double* xi, const double* eta, const i32* inode, const i32* idvar,
                          const i32* iidvar);

}  // extern "C"
}  // namespace vorlen::tria6
