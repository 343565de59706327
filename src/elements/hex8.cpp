// Shape functions of the 8-node brick.
#include "elements/hex8.hpp"

#include "base/errorhandling.hpp"

namespace vorlen::hex8 {
namespace {
bool is_node(i32 node) { return node >= 1 && node <= 8; }
bool is_ordinal(i32 k) { return k >= 1 && k <= 3; }
}  // namespace

extern "C" {

double Hex8SF(const double* xi, const double* eta, const double* zeta, const i32* inode) {
    if (!is_node(*inode)) {
        errorhandling::report(-2, "Warning: Overflow in Hex8SF.");
        return 0.0;
    }
    const double x[3] = {*xi, *eta, *zeta};
    return sf(x, *inode);
}

double Hex8FirstDerivSF(const double* xi, const double* eta, const double* zeta, const i32* inode,
                        const i32* idvar) {
    static constexpr const char* overflow[3] = {"Warning: Overflow in Hex8FirstDerivSF.Xi.",
                                                "Warning: Overflow in Hex8FirstDerivSF.Eta.",
                                                "Warning: Overflow in Hex8FirstDerivSF.Zeta."};
    if (!is_ordinal(*idvar)) {
        errorhandling::report(-2, "Warning: Invalid 1st ordinal in Hex8FirstDerivSF.");
        return 0.0;
    }
    if (!is_node(*inode)) {
        errorhandling::report(-2, overflow[*idvar - 1]);
        return 0.0;
    }
    const double x[3] = {*xi, *eta, *zeta};
    return d1(x, *inode, *idvar);
}

double Hex8SecondDerivSF(const double* xi, const double* eta, const double* zeta, const i32* inode,
                         const i32* idvar, const i32* iidvar) {
    static constexpr const char* overflow[3][3] = {
        {"Warning: Overflow in Hex8SecondDerivSF.XiXi.",
         "Warning: Overflow in Hex8SecondDerivSF.XiEta.",
         "Warning: Overflow in Hex8SecondDerivSF.XiZeta."},
        {"Warning: Overflow in Hex8SecondDerivSF.EtaXi.",
         "Warning: Overflow in Hex8SecondDerivSF.EtaEta.",
         "Warning: Overflow in Hex8SecondDerivSF.EtaZeta."},
        {"Warning: Overflow in Hex8SecondDerivSF.ZetaXi.",
         "Warning: Overflow in Hex8SecondDerivSF.ZetaEta.",
         "Warning: Overflow in Hex8SecondDerivSF.ZetaZeta."}};
    if (!is_ordinal(*idvar)) {
        errorhandling::report(-2, "Warning: Invalid 1st ordinal in Hex8SecondDerivSF");
        return 0.0;
    }
    if (!is_ordinal(*iidvar)) {
        errorhandling::report(-2, "Warning: Invalid 2nd ordinal in Hex8SecondDerivSF.");
        return 0.0;
    }
    if (!is_node(*inode)) {
        errorhandling::report(-2, overflow[*idvar - 1][*iidvar - 1]);
        return 0.0;
    }
    const double x[3] = {*xi, *eta, *zeta};
    return d2(x, *inode, *idvar, *iidvar);
}

}  // extern "C"
}  // namespace vorlen::hex8
