// Rotated stresses, traction vectors, fracture-plane angles and the Bond transformation of ply
// stiffness. The fracture-plane searches of the failure criteria call these for every candidate
// angle: fixed-size stack arrays only.
#include "materials/lamina_rotated.hpp"

#include <algorithm>
#include <array>
#include <cmath>

#include "base/errorhandling.hpp"
#include "core/math_geometry.hpp"
#include "core/math_linalg.hpp"
#include "core/math_norms.hpp"
#include "core/math_products.hpp"
#include "materials/lamina_notation.hpp"

namespace vorlen::lamina {
namespace {

using Mat3 = std::array<double, 9>;  // column-major 3 by 3
using Mat6 = std::array<double, 36>;

// S' = R^T S R of the stress given by its components.
Mat3 rotated(const double* theta_r, const double* nrot, double s11, double s22, double s33,
             double s12, double s13, double s23) {
    const double voigt[6] = {s11, s22, s33, s23, s13, s12};
    Mat3 s, r;
    CauchyNotation(s.data(), voigt);
    math::TensorRotation2nd(s.data(), r.data(), theta_r, nrot);
    return r;
}

// Bond matrix of the stresses in the order whose shear positions hold the index pairs `shear`:
// row I of the pair (i,j), column J of the pair (k,l), a = transpose(base):
// M(I,J) = a(i,k) a(j,k) for k = l, a(i,k) a(j,l) + a(i,l) a(j,k) for k /= l.
void bond(Mat<double> m, const double* base, const int (&shear)[3][2]) {
    const Mat<const double> b(base, 3, 3);
    const auto a = [&b](int i, int k) { return b(k, i); };
    int pair[6][2] = {{1, 1}, {2, 2}, {3, 3}};
    for (int q = 0; q < 3; ++q) pair[3 + q][0] = shear[q][0], pair[3 + q][1] = shear[q][1];
    for (int col = 1; col <= 6; ++col) {
        const int k = pair[col - 1][0], l = pair[col - 1][1];
        for (int row = 1; row <= 6; ++row) {
            const int i = pair[row - 1][0], j = pair[row - 1][1];
            m(row, col) = k == l ? a(i, k) * a(j, k) : a(i, k) * a(j, l) + a(i, l) * a(j, k);
        }
    }
}

}  // namespace

extern "C" {

void GetRotatedStresses(double* sv, const double* theta_r, const double* nrot, const double* s11,
                        const double* s22, const double* s33, const double* s12, const double* s13,
                        const double* s23, const i32* soutflag) {
    const Mat3 r = rotated(theta_r, nrot, *s11, *s22, *s33, *s12, *s13, *s23);
    const i32 order = soutflag ? *soutflag : 0;
    if (order == 1)
        VoigtNotation(sv, r.data());
    else if (order == 2)
        CyclicNotation(sv, r.data());
    else
        NyeNotation(sv, r.data());
}

void GetTVectorFromArbitraryRotation(double* tv, const double* theta_r, const double* nrot,
                                     const double* s11, const double* s22, const double* s33,
                                     const double* s12, const double* s13, const double* s23,
                                     const i32* tflag) {
    const i32 plane = tflag ? *tflag : 3;
    if (plane < 1 || plane > 3) {
        errorhandling::report(-2, "Unknown PFlag in GetTVectorFromArbitraryRotation");
        return;
    }
    const Mat3 rs = rotated(theta_r, nrot, *s11, *s22, *s33, *s12, *s13, *s23);
    const Mat<const double> r(rs.data(), 3, 3);
    // Entries of S' (upper triangle): the normal traction, then the two shear tractions.
    static constexpr int entry[3][3][2] = {
        {{1, 1}, {1, 2}, {1, 3}}, {{2, 2}, {1, 2}, {2, 3}}, {{3, 3}, {1, 3}, {2, 3}}};
    for (int q = 0; q < 3; ++q) tv[q] = r(entry[plane - 1][q][0], entry[plane - 1][q][1]);
}

void GetTVectorOnRotatedXYPlane(double* tv, const double* theta_r, const double* s22,
                                const double* s33, const double* s12, const double* s13,
                                const double* s23) {
    const double c = std::cos(*theta_r), s = std::sin(*theta_r);  // one sincos
    const double t22 = *s22, t33 = *s33, t12 = *s12, t13 = *s13, t23 = *s23;
    tv[0] = t22 * s * s + t33 * c * c - 2.0 * t23 * s * c;
    tv[1] = t13 * c - t12 * s;
    tv[2] = t23 * (c * c - s * s) + (t33 - t22) * s * c;
}

void GetPhiMeasuredFromXZPlane(double* phixz, const double* phixy, const lgl* clockwise) {
    static constexpr double x[3] = {1.0, 0.0, 0.0};
    Mat3 ts;
    math::GetRotationMatrix(ts.data(), x, phixy);
    const Mat<const double> t(ts.data(), 3, 3);
    // The normal of the plane: T^T y (clockwise) or T y.
    const double n[3] = {*clockwise ? t(2, 1) : t(1, 2), t(2, 2), *clockwise ? t(2, 3) : t(3, 2)};
    double tr[3];
    math::CrossProduct(x, n, tr);
    const double u[3] = {tr[2], tr[1], tr[0]};  // in the base (z, y, x)
    // w = -copysign(z, u1 u2): the sign bit of the product, a zero's included, picks the side.
    const double u12 = u[0] * u[1];
    const double w[3] = {-std::copysign(0.0, u12), -std::copysign(0.0, u12),
                         -std::copysign(1.0, u12)};
    double m[3];
    math::CrossProduct(u, w, m);
    const i32 three = 3;
    *phixz = math::EuclideanAngle(x, m, &three);
}

void GetArbitraryBaseSC(double* scbase, const double* sc, const double* base, const i32* scflag,
                        const i32* ntflag) {
    const auto& shear = *ntflag == 1 ? pairs_voigt : *ntflag == 2 ? pairs_cyclic : pairs_nye;
    Mat6 ts;
    Mat<double> t(ts.data(), 6, 6);
    bond(t, base, shear);
    if (*scflag == 0) {  // a compliance turns with inverse(transpose(M))
        const Mat6 m = ts;
        const i32 six = 6;
        math::MatrixTranspose(m.data(), ts.data(), &six, &six);
        math::MatrixInverse(ts.data(), ts.data(), &six);
    }
    // scbase = t X t^T; built aside, as scbase may be sc itself.
    const Mat<const double> x(sc, 6, 6);
    Mat6 txs{}, outs{};
    Mat<double> tx(txs.data(), 6, 6), out(outs.data(), 6, 6);
    for (int j = 1; j <= 6; ++j)
        for (int k = 1; k <= 6; ++k)
            for (int i = 1; i <= 6; ++i) tx(i, j) += t(i, k) * x(k, j);
    for (int j = 1; j <= 6; ++j)
        for (int k = 1; k <= 6; ++k)
            for (int i = 1; i <= 6; ++i) out(i, j) += tx(i, k) * t(j, k);
    std::copy(outs.begin(), outs.end(), scbase);
}

}  // extern "C"
}  // namespace vorlen::lamina
