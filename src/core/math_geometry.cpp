// Geometry and tensor transforms of module math. The rotations run per integration point and
// inside fracture-plane searches: everything here works on fixed-size stack arrays. A transform
// may be asked to write over its own input (rotate a tensor in place): results are formed
// before they are stored.
#include "core/math_geometry.hpp"

#include <algorithm>
#include <array>
#include <cmath>

#include "base/errorhandling.hpp"
#include "core/math_norms.hpp"
#include "base/work.hpp"

using namespace vorlen;

namespace {

constexpr double deg_to_rad = 0.017453292519943295;
constexpr double rad_to_deg = 57.29577951308232;

using Mat3 = std::array<double, 9>;  // column-major 3 by 3

// R(n0, angle) of the tensor rotations, about the first axis when n0 is absent.
Mat3 tensor_rotation(const double* angle_r, const double* n0) {
    static constexpr double first_axis[3] = {1.0, 0.0, 0.0};
    Mat3 r;
    math::GetRotationMatrix(r.data(), n0 ? n0 : first_axis, angle_r);
    return r;
}

// sum over i = 1..n of x(i) y(i+1) - x(i+1) y(i), index n+1 meaning 1: twice the signed area of
// the closed polygon.
double closed_cross_sum(const double* x, const double* y, i32 n) {
    double s = 0.0;
    for (i32 i = 0; i < n; ++i) {
        const i32 j = i + 1 < n ? i + 1 : 0;
        s += x[i] * y[j] - x[j] * y[i];
    }
    return s;
}

}  // namespace

namespace vorlen::math {
extern "C" {

void GetRotationMatrix(double* trot, const double* n, const double* alpha_r) {
    Mat<double> r(trot, 3, 3);
    const double nx = n[0], ny = n[1], nz = n[2];
    const double c = std::cos(*alpha_r), s = std::sin(*alpha_r), t = 1.0 - c;
    r(1, 1) = (1.0 - nx * nx) * c + nx * nx;
    r(2, 2) = (1.0 - ny * ny) * c + ny * ny;
    r(3, 3) = (1.0 - nz * nz) * c + nz * nz;
    r(1, 2) = nx * ny * t - nz * s;
    r(2, 1) = nx * ny * t + nz * s;
    r(1, 3) = nx * nz * t + ny * s;
    r(3, 1) = nx * nz * t - ny * s;
    r(2, 3) = ny * nz * t - nx * s;
    r(3, 2) = ny * nz * t + nx * s;
}

void GetTransformationMatrix(double* tbase, const double* nx, const double* ny, const double* nz) {
    Mat<double> t(tbase, 3, 3);
    const double* rows[3] = {nx, ny, nz};
    for (int i = 1; i <= 3; ++i)
        for (int j = 1; j <= 3; ++j) t(i, j) = rows[i - 1][j - 1];
}

void GetHouseHolderTransformationMatrix(double* thouse, const double* v, const i32* n) {
    Mat<double> h(thouse, *n, *n);
    for (i32 j = 1; j <= *n; ++j)
        for (i32 i = 1; i <= *n; ++i) h(i, j) = (i == j ? 1.0 : 0.0) - 2.0 * v[i - 1] * v[j - 1];
}

void TensorTransformation2nd(const double* tensin, double* tensout, const double* tbase) {
    const Unaliased<double, 9> tb(tbase, 9, tensout, 9);
    Mat<const double> s(tensin, 3, 3), t(tb.data(), 3, 3);
    Mat<double> out(tensout, 3, 3);
    Mat3 ts_store{};
    Mat<double> ts(ts_store.data(), 3, 3);
    for (int i = 1; i <= 3; ++i)
        for (int j = 1; j <= 3; ++j)
            for (int k = 1; k <= 3; ++k) ts(i, j) += t(i, k) * s(k, j);
    for (int i = 1; i <= 3; ++i)
        for (int j = 1; j <= 3; ++j) {
            double v = 0.0;
            for (int k = 1; k <= 3; ++k) v += ts(i, k) * t(j, k);
            out(i, j) = v;
        }
}

void TensorRotation2nd(const double* input_2nd, double* output_2nd, const double* angle_r,
                       const double* n0) {
    Mat3 r_store = tensor_rotation(angle_r, n0);
    const Unaliased<double, 9> input(input_2nd, 9, output_2nd, 9);
    Mat<const double> r(r_store.data(), 3, 3), in(input.data(), 3, 3);
    Mat<double> out(output_2nd, 3, 3);
    for (int i = 1; i <= 3; ++i)
        for (int j = 1; j <= 3; ++j) {
            double v = 0.0;
            for (int m = 1; m <= 3; ++m)
                for (int n = 1; n <= 3; ++n) v += r(m, i) * r(n, j) * in(m, n);
            out(i, j) = v;
        }
}

void TensorRotation4th(const double* input_4th, double* output_4th, const double* angle_r,
                       const double* n0) {
    const Mat3 r = tensor_rotation(angle_r, n0);  // r[a + 3b] = R(a+1, b+1)
    const Unaliased<double, 81> input(input_4th, 81, output_4th, 81);
    // rr[9(m + 3n) + (i + 3j)] = R(m,i) R(n,j), the leading factor of every term. The nine
    // entries (i,j) of one (k,l) are summed side by side; each keeps its left-to-right
    // products and its order, m outermost and p innermost.
    std::array<double, 81> rr;
    for (int n = 0; n < 3; ++n)
        for (int m = 0; m < 3; ++m)
            for (int j = 0; j < 3; ++j)
                for (int i = 0; i < 3; ++i)
                    rr[9 * (m + 3 * n) + i + 3 * j] = r[m + 3 * i] * r[n + 3 * j];
    for (int l = 0; l < 3; ++l)
        for (int k = 0; k < 3; ++k) {
            double v[9] = {};
            for (int m = 0; m < 3; ++m)
                for (int n = 0; n < 3; ++n) {
                    const double* rmn = &rr[9 * (m + 3 * n)];
                    for (int o = 0; o < 3; ++o) {
                        const double rok = r[o + 3 * k];
                        for (int p = 0; p < 3; ++p) {
                            const double rpl = r[p + 3 * l];
                            const double c = input.data()[m + 3 * n + 9 * o + 27 * p];
                            for (int ij = 0; ij < 9; ++ij) v[ij] += rmn[ij] * rok * rpl * c;
                        }
                    }
                }
            for (int ij = 0; ij < 9; ++ij) output_4th[ij + 9 * k + 27 * l] = v[ij];
        }
}

void math_tensormultiplication(const double* t_4th, const double* t_2nd, double* out_2nd) {
    const Unaliased<double, 9> t(t_2nd, 9, out_2nd, 9);
    View<const double, 4> t4(t_4th, 3, 3, 3, 3);
    Mat<const double> t2(t.data(), 3, 3);
    Mat<double> out(out_2nd, 3, 3);
    for (int j = 1; j <= 3; ++j)
        for (int i = 1; i <= 3; ++i) {
            double v = 0.0;
            for (int k = 1; k <= 3; ++k)
                for (int l = 1; l <= 3; ++l) v += t4(i, j, k, l) * t2(k, l);
            out(i, j) = v;
        }
}

void GetEulerRotation(double* eul, const double* r_) {
    Mat<const double> r(r_, 3, 3);
    const double r31 = r(3, 1);
    if (r31 == 1.0) {
        eul[0] = rad_to_deg * std::atan2(-r(1, 2), -r(1, 3));
        eul[1] = -90.0;
        eul[2] = 0.0;
    } else if (r31 == -1.0) {
        eul[0] = rad_to_deg * std::atan2(r(1, 2), r(1, 3));
        eul[1] = 90.0;
        eul[2] = 0.0;
    } else {
        // a rounded |r31| just above 1 would make the arcsine NaN
        const double theta = std::asin(std::clamp(r31, -1.0, 1.0)), c = std::cos(theta);
        eul[0] = rad_to_deg * std::atan2(r(3, 2) / c, r(3, 3) / c);
        eul[1] = -(rad_to_deg * theta);
        eul[2] = rad_to_deg * std::atan2(r(2, 1) / c, r(1, 1) / c);
    }
}

void CoordinateRotation(const double* a, const double* p, double* prot, const double* alpha_d) {
    const double alpha_r = *alpha_d * deg_to_rad;
    Mat3 r_store;
    GetRotationMatrix(r_store.data(), a, &alpha_r);
    Mat<const double> r(r_store.data(), 3, 3);
    const double p1 = p[0], p2 = p[1], p3 = p[2];
    for (int i = 1; i <= 3; ++i) prot[i - 1] = r(i, 1) * p1 + r(i, 2) * p2 + r(i, 3) * p3;
}

void CoordinateTranslation(const double* a, const double* p, double* ptrans) {
    for (int i = 0; i < 3; ++i) ptrans[i] = p[i] + a[i];
}

void CoordinateReflection(const double* na, const double* nb, const double* p, double* pref) {
    double v[3] = {};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            v[i] += (2.0 * (na[i] * na[j] + nb[i] * nb[j]) - (i == j ? 1.0 : 0.0)) * p[j];
    std::copy_n(v, 3, pref);
}

void CoordinateProjection(const double* u, const double* v, const double* p, double* ppro,
                          const double* r0) {
    static constexpr double origin[3] = {0.0, 0.0, 0.0};
    const double* t0 = r0 ? r0 : origin;
    const double m[3] = {u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2],
                         u[0] * v[1] - u[1] * v[0]};
    double pm = 0.0, mm = 0.0;
    for (int i = 0; i < 3; ++i) {
        pm += (p[i] - t0[i]) * m[i];
        mm += m[i] * m[i];
    }
    for (int i = 0; i < 3; ++i) ppro[i] = p[i] - pm / mm * m[i];
}

void CoordinateNormalization(const double* p, double* pnorm, const double* interval, const i32* np,
                             const i32* ndim) {
    if (*np <= 0 || *ndim <= 0) return;
    const i64 count = static_cast<i64>(*np) * *ndim;
    const auto t = math::range_without_nan(p, count);
    for (i64 i = 0; i < count; ++i)
        pnorm[i] = (p[i] - t.lo) / (t.hi - t.lo) * (interval[1] - interval[0]) + interval[0];
}

void PolarTransformation(const double* cartesian, double* polar, const i32* n, const double* phi0) {
    if (*n < 2) {
        for (i32 i = 0; i < *n; ++i) polar[i] = 0.0;
        errorhandling::report(-3, "Polar coordinates need at least two coordinates!");
        return;
    }
    const double x = cartesian[0], y = cartesian[1];
    polar[0] = std::sqrt(x * x + y * y);
    polar[1] = (x == 0.0 && y == 0.0) ? (phi0 ? *phi0 : 0.0) : std::atan2(y, x);
    for (i32 i = 2; i < *n; ++i) polar[i] = cartesian[i];
}

double EffectiveArcLength(const double* oa, const double* ob, const double* curvature,
                          const i32* n) {
    const double chord = EuclideanDistance(oa, ob, n);
    if (*curvature == 0.0) return chord;
    const double rho = 1.0 / *curvature;
    return 2.0 * rho * std::asin(chord / (2.0 * rho));
}

double math_gettrianglearea(const double* x1, const double* y1, const double* x2, const double* y2,
                            const double* x3, const double* y3) {
    return 0.5 * (*x1 * *y2 + *x2 * *y3 + *x3 * *y1 - *x2 * *y1 - *x3 * *y2 - *x1 * *y3);
}

double ShoelaceMethod(const double* x, const double* y, const i32* n) {
    if (*n < 3) return 0.0;
    return std::fabs(0.5 * closed_cross_sum(x, y, *n));
}

void GetCentroid(double* c, const double* x, const double* y, const i32* n) {
    c[0] = c[1] = 0.0;  // also the answer for a polygon without area
    const double area = 0.5 * closed_cross_sum(x, y, std::max<i32>(*n, 0));
    if (area == 0.0) return;
    const i32 last = *n - 1;
    const i32 k = (x[0] == x[last] && y[0] == y[last]) ? *n - 1 : *n;
    for (i32 i = 0; i < k; ++i) {
        const i32 j = i + 1 < *n ? i + 1 : 0;
        const double oi = x[i] * y[j] - x[j] * y[i];
        c[0] += (x[i] + x[j]) * oi / (6.0 * area);
        c[1] += (y[i] + y[j]) * oi / (6.0 * area);
    }
}

void GetRadiusOfEllipse(double* r, const double* a, const double* b, const double* phi_d) {
    const double phi = *phi_d * deg_to_rad, cp = std::cos(phi), sp = std::sin(phi);
    *r = *a * *b / std::sqrt(*b * *b * cp * cp + *a * *a * sp * sp);
}

void GetBoundingBoxFromEllipse(double* xybound, const double* a, const double* b,
                               const double* phi_d) {
    const double phi = *phi_d * deg_to_rad, cp = std::cos(phi), sp = std::sin(phi);
    xybound[0] = std::sqrt(*a * *a * cp * cp + *b * *b * sp * sp);
    xybound[1] = std::sqrt(*a * *a * sp * sp + *b * *b * cp * cp);
}

}  // extern "C"
}  // namespace vorlen::math
