// 6 by 6 Voigt matrices of the micromechanics as values on the stack, combined with the
// library's matrix kernels (product, sums, scaled sums, identity, inverse).
#pragma once
#include <algorithm>
#include <array>

#include "core/math_linalg.hpp"
#include "core/math_products.hpp"
#include "core/utility_fill.hpp"
#include "materials/micromechanic_eshelby.hpp"

namespace vorlen::micromechanic {

inline constexpr i32 six = 6;

struct M6 {
    std::array<double, 36> v{};

    double& operator()(int i, int j) { return v[(j - 1) * 6 + (i - 1)]; }
    double operator()(int i, int j) const { return v[(j - 1) * 6 + (i - 1)]; }
    double* data() { return v.data(); }
    const double* data() const { return v.data(); }
    bool is_zero() const {
        return std::all_of(v.begin(), v.end(), [](double x) { return x == 0.0; });
    }
    // A column-major 6 by 6 array of the caller.
    static M6 of(const double* p) {
        M6 m;
        std::copy_n(p, 36, m.v.begin());
        return m;
    }
    void store(double* p) const { std::copy_n(v.begin(), 36, p); }
};

inline M6 identity() {
    M6 i;
    utility::GetIdentityMatrix(i.data(), &six);
    return i;
}
inline M6 inverse(const M6& a) {
    M6 b;
    math::MatrixInverse(a.data(), b.data(), &six);
    return b;
}
inline M6 operator*(const M6& a, const M6& b) {
    M6 c;
    math::MatrixProduct(a.data(), b.data(), c.data(), &six, &six, &six);
    return c;
}
inline M6 operator+(M6 a, const M6& b) {
    math::MatrixSum(a.data(), b.data(), &six, &six);
    return a;
}
inline M6 operator-(M6 a, const M6& b) {
    math::MatrixSub(a.data(), b.data(), &six, &six);
    return a;
}
inline M6 operator*(double c, const M6& b) {
    M6 a;
    math::MatrixScalarMultiplication(a.data(), b.data(), &c, &six, &six);
    return a;
}

// Engineering constants E1, E2, E3, G23, G13, G12, nu23, nu13, nu12 of a compliance.
inline std::array<double, 9> engineering(const M6& s) {
    std::array<double, 9> eng;
    GetEngConstsFromComplianceMatrix(eng.data(), s.data());
    return eng;
}

// Effective stiffness of the equivalent-inclusion formula for an inclusion cinc of Eshelby
// tensor e and volume fraction phi in a host cm:
// cm [cm + (phi - 1)(cm - cinc) e]^-1 [cm - (cm - cinc)((1 - phi) e + phi I)].
inline M6 equivalent_inclusion(const M6& cm, const M6& cinc, const M6& e, double phi) {
    const M6 dc = cm - cinc;
    return cm * inverse(cm + ((phi - 1.0) * dc) * e) *
           (cm - dc * ((1.0 - phi) * e + phi * identity()));
}

}  // namespace vorlen::micromechanic
