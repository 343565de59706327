// Shape functions of the 3-node line element (nodes at xi = -1, 0 and +1) and their first
// derivatives, one value per call.
#pragma once
#include "base/view.hpp"

namespace vorlen::truss3 {
extern "C" {

// N_inode(xi): N1 = xi (xi - 1)/2, N2 = 1 - xi^2, N3 = xi (xi + 1)/2.
//   xi (in)     natural coordinate
//   inode (in)  node 1..3; another records code -2 "Warning: Overflow in Truss3SF." and gives 0
double Truss3SF(const double* xi, const i32* inode);

// dN_inode/dxi: xi - 0.5, -2 xi, xi + 0.5.
//   xi, inode (in)  as Truss3SF; a node outside 1..3 records code -2
//                   "Warning: Overflow in Truss3FirstDerivSF." and gives 0
double Truss3FirstDerivSF(const double* xi, const i32* inode);

}  // extern "C"
}  // namespace vorlen::truss3
