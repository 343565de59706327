// Shape functions of the 4-node quadrilateral.
#include "elements/quad4.hpp"

#include "base/errorhandling.hpp"

namespace vorlen::quad4 {
extern "C" {

double Quad4SF(const double* xi, const double* eta, const i32* inode) {
    if (*inode < 1 || *inode > 4) {
        errorhandling::report(-2, "Warning: Overflow in Quad4SF.");
        return 0.0;
    }
    return sf(*xi, *eta, *inode);
}

double Quad4FirstDerivSF(const double* xi, const double* eta, const i32* inode, const i32* idvar) {
    static constexpr const char* overflow[2] = {"Warning: Overflow in Quad4FirstDerivSF.Xi.",
                                                "Warning: Overflow in Quad4FirstDerivSF.Eta."};
    if (*idvar != 1 && *idvar != 2) {
        errorhandling::report(-2, "Warning: Invalid 1st ordinal in Quad4FirstDerivSF.");
        return 0.0;
    }
    if (*inode < 1 || *inode > 4) {
        errorhandling::report(-2, overflow[*idvar - 1]);
        return 0.0;
    }
    return *idvar == 1 ? dxi(*xi, *eta, *inode) : deta(*xi, *eta, *inode);
}

}  // extern "C"
}  // namespace vorlen::quad4
