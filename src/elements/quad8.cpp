// Shape functions of the 8-node serendipity quadrilateral.
#include "elements/quad8.hpp"

#include "base/errorhandling.hpp"

namespace vorlen::quad8 {
namespace {
bool is_node(i32 node) { return node >= 1 && node <= 8; }
bool is_ordinal(i32 k) { return k == 1 || k == 2; }
}  // namespace

extern "C" {

double Quad8SF(const double* xi, const double* eta, const i32* inode) {
    if (!is_node(*inode)) {
        errorhandling::report(-2, "Warning: Overflow in Quad8SF.");
        return 0.0;
    }
    return sf(*xi, *eta, *inode);
}

double Quad8FirstDerivSF(const double* xi, const double* eta, const i32* inode, const i32* idvar) {
    static constexpr const char* overflow[2] = {"Warning: Overflow in Quad8FirstDerivSF.Xi.",
                                                "Warning: Overflow in Quad8FirstDerivSF.Eta."};
    if (!is_ordinal(*idvar)) {
        errorhandling::report(-2, "Warning: Invalid 1st ordinal in Quad8FirstDerivSF.");
        return 0.0;
    }
    if (!is_node(*inode)) {
        errorhandling::report(-2, overflow[*idvar - 1]);
        return 0.0;
    }
    return *idvar == 1 ? dxi(*xi, *eta, *inode) : deta(*xi, *eta, *inode);
}

double Quad8SecondDerivSF(const double* xi, const double* eta, const i32* inode, const i32* idvar,
                          const i32* iidvar) {
    static constexpr const char* overflow[2][2] = {
        {"Warning: Overflow in Quad8SecondDerivSF.XiXi.",
         "Warning: Overflow in Quad8SecondDerivSF.XiEta."},
        {"Warning: Overflow in Quad8SecondDerivSF.EtaXi.",
         "Warning: Overflow in Quad8SecondDerivSF.EtaEta."}};
    if (!is_ordinal(*idvar)) {
        errorhandling::report(-2, "Warning: Invalid 1st ordinal in Quad8SecondDerivSF");
        return 0.0;
    }
    if (!is_ordinal(*iidvar)) {
        errorhandling::report(-2, "Warning: Invalid ordinal in Quad8SecondDerivSF.");
        return 0.0;
    }
    const i32 a = *idvar, b = *iidvar, node = *inode;
    if (!is_node(node)) {
        errorhandling::report(-2, overflow[a - 1][b - 1]);
        return 0.0;
    }
    if (a != b) return dxieta(*xi, *eta, node);
    return a == 1 ? dxixi(*xi, *eta, node) : detaeta(*xi, *eta, node);
}

}  // extern "C"
}  // namespace vorlen::quad8
