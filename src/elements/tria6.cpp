// Shape functions of the 6-node triangle.
#include "elements/tria6.hpp"

#include "base/errorhandling.hpp"

namespace vorlen::tria6 {
namespace {
bool is_node(i32 node) { return node >= 1 && node <= 6; }
bool is_ordinal(i32 k) { return k == 1 || k == 2; }
}  // namespace

extern "C" {

double Tria6SF(const double* xi, const double* eta, const i32* inode) {
    if (!is_node(*inode)) {
        errorhandling::report(-2, "Warning: Overflow in Tria6SF.");
        return 0.0;
    }
    return sf(*xi, *eta, *inode);
}

double Tria6FirstDerivSF(const double* xi, const double* eta, const i32* inode, const i32* idvar) {
    static constexpr const char* overflow[2] = {"Warning: Overflow in Tria6.Xi.",
                                                "Warning: Overflow in Tria6.Eta."};
    if (!is_ordinal(*idvar)) {
        errorhandling::report(-2, "Warning: Invalid ordinal in Tria6FirstDerivSF.");
        return 0.0;
    }
    if (!is_node(*inode)) {
        errorhandling::report(-2, overflow[*idvar - 1]);
        return 0.0;
    }
    return *idvar == 1 ? dxi(*xi, *eta, *inode) : deta(*xi, *eta, *inode);
}

double Tria6SecondDerivSF(const double*, const double*, const i32* inode, const i32* idvar,
                          const i32* iidvar) {
    static constexpr const char* overflow[2][2] = {
        {"Overflow in Tria6.XiXi.", "Warning: Overflow in Tria6.XiEta."},
        {"Warning: Overflow in Tria6.EtaXi.", "Warning: Overflow in Tria6.EtaEta."}};
    if (!is_ordinal(*idvar)) {
        errorhandling::report(-2, "Warning: Invalid 1st ordinal in Tria6");
        return 0.0;
    }
    if (!is_ordinal(*iidvar)) {
        errorhandling::report(-2, "Warning: Invalid 2nd ordinal in Tria6.");
        return 0.0;
    }
    const i32 a = *idvar, b = *iidvar, node = *inode;
    if (!is_node(node)) {
        errorhandling::report(-2, overflow[a - 1][b - 1]);
        return 0.0;
    }
    if (a != b) return dxieta(node);
    return a == 1 ? dxixi(node) : detaeta(node);
}

}  // extern "C"
}  // namespace vorlen::tria6
