// Shape functions of the 3-node line element.
#include "elements/truss3.hpp"

#include "base/errorhandling.hpp"

namespace vorlen::truss3 {
extern "C" {

double Truss3SF(const double* xi, const i32* inode) {
    const double x = *xi;
    switch (*inode) {
    case 1: return x * (x - 1.0) / 2.0;
    case 2: return 1.0 - x * x;
    case 3: return x * (x + 1.0) / 2.0;
    default: errorhandling::report(-2, "Warning: Overflow in Truss3SF."); return 0.0;
    }
}

double Truss3FirstDerivSF(const double* xi, const i32* inode) {
    const double x = *xi;
    switch (*inode) {
    case 1: return x - 0.5;
    case 2: return -2.0 * x;
    case 3: return x + 0.5;
    default: errorhandling::report(-2, "Warning: Overflow in Truss3FirstDerivSF."); return 0.0;
    }
}

}  // extern "C"
}  // namespace vorlen::truss3
