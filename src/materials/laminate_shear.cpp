// Transverse shear stiffness of laminate sections by three methods.
#include "materials/laminate_shear.hpp"

#include <algorithm>
#include <cmath>

#include "base/errorhandling.hpp"
#include "core/math_linalg.hpp"
#include "base/work.hpp"
#include "materials/lamina_stiffness.hpp"
#include "materials/laminate.hpp"
#include "materials/laminate_shape.hpp"
#include "materials/laminate_stack.hpp"

namespace vorlen::laminate {
namespace {

using namespace detail;

// hoff(2,2): off-axis transverse shear stiffness (23, 13) of a ply from its property vector.
void ply_shear(double* hoff, const double* props, const double* dangle) {
    lamina::GetOffAxisShearRigidMatrix(hoff, &props[7], &props[8], dangle);
}

// Three-point Gauss abscissas and weights on [-1, 1].
constexpr double gauss3_x[3] = {-0.774596669241483, 0.0, 0.774596669241483};
constexpr double gauss3_w[3] = {0.555555555555556, 0.888888888888889, 0.555555555555556};

void inverse2(const double* x, double* xinv) {
    const i32 two = 2;
    math::MatrixInverse(x, xinv, &two);
}

// acc(2,2) += w f^t c f for f(2,2), c(2,2).
void add_energy(double* acc, double w, const double* f, const double* c) {
    const Mat<const double> fm(f, 2, 2), cm(c, 2, 2);
    Mat<double> a(acc, 2, 2);
    for (int j = 1; j <= 2; ++j)
        for (int i = 1; i <= 2; ++i) {
            double sum = 0.0;
            for (int l = 1; l <= 2; ++l)
                for (int m = 1; m <= 2; ++m) sum += fm(l, i) * cm(l, m) * fm(m, j);
            a(i, j) += w * sum;
        }
}

}  // namespace

extern "C" {

void GetHMatrixImprovedShear(double* hext2d, const double* plyelastic, const double* plyorientation,
                             const double* plythickness, const i32* nplies) {
    double fa[9], fb[9], hinv[4] = {};
    shape_factors(plyelastic, plyorientation, plythickness, *nplies, fa, fb);
    for_each_ply_shape(plyelastic, plyorientation, plythickness, nplies, fa, fb,
                       [&](i64 k, double zl, double zu, auto&& shape) {
                           double hoff[4], c[4], sum[4] = {};
                           ply_shear(hoff, plyelastic + 9 * (k - 1), plyorientation + (k - 1));
                           inverse2(hoff, c);
                           const double j = (zu - zl) / 2.0;
                           for (int m = 0; m < 3; ++m) {
                               double f[4];
                               shape((1.0 + gauss3_x[m]) * j + zl, f);
                               add_energy(sum, gauss3_w[m], f, c);
                           }
                           for (int i = 0; i < 4; ++i) hinv[i] += j * sum[i];
                       });
    inverse2(hinv, hext2d);
}

void GetShearCorrectFactors(double* sk, const double* hlam, const double* plyelastic,
                            const double* plyorientation, const double* plythickness,
                            const i32* nplies) {
    const double h11 = hlam[0], h22 = hlam[3];  // sk may be stored over hlam
    sk[0] = sk[1] = 1.0;
    const i64 n = *nplies;
    double am[9], bm[9], dm[9];
    stack_matrices(am, bm, dm, plyelastic, plyorientation, plythickness, n);
    // Direction 1 (yz) bends about the 22 entries, direction 2 (xz) about the 11 entries.
    const int at[2] = {4, 0};
    double a[2], b[2], det[2];
    for (int d = 0; d < 2; ++d) {
        a[d] = am[at[d]], b[d] = bm[at[d]];
        det[d] = a[d] * dm[at[d]] - b[d] * b[d];
        if (std::fabs(det[d]) < 1e-10) return;
    }
    double s[2] = {}, run[2] = {}, qprev[2] = {};
    for_each_ply(plythickness, n, 0.0, [&](i64 k, double zl, double zu) {
        double q[9], hoff[4];
        ply_stiffness(q, plyelastic + 9 * (k - 1), plyorientation + (k - 1));
        ply_shear(hoff, plyelastic + 9 * (k - 1), plyorientation + (k - 1));
        const double dh = hoff[0] * hoff[3] - hoff[2] * hoff[2];
        const double c[2] = {hoff[3] / dh, hoff[0] / dh};  // diagonal of Hoff^-1
        // Moments (zu^(m+1) - zl^(m+1))/(m+1), m = 0..4.
        double mom[5], pu = 1.0, pl = 1.0;
        for (int m = 0; m < 5; ++m) {
            pu *= zu, pl *= zl;
            mom[m] = (pu - pl) / (m + 1);
        }
        for (int d = 0; d < 2; ++d) {
            const double qk = q[at[d]];
            run[d] += (qprev[d] - qk) * zl * (2.0 * b[d] - a[d] * zl);
            qprev[d] = qk;
            if (!(dh > 1e-5)) continue;
            // g(z) = run + 2 B Q z - A Q z^2 inside the ply.
            const double g0 = run[d], g1 = 2.0 * b[d] * qk, g2 = -a[d] * qk;
            const double g2int = g0 * g0 * mom[0] + 2.0 * g0 * g1 * mom[1] +
                                 (g1 * g1 + 2.0 * g0 * g2) * mom[2] + 2.0 * g1 * g2 * mom[3] +
                                 g2 * g2 * mom[4];
            s[d] += c[d] * 0.25 * (1.0 / (det[d] * det[d])) * g2int;
        }
    });
    sk[0] = 1.0 / (h11 * s[0]);
    sk[1] = 1.0 / (h22 * s[1]);
}

void GetHMatrixShearCorrect(double* hshear, const double* plyelastic, const double* plyorientation,
                            const double* plythickness, const i32* nplies) {
    double hlam[4] = {}, sk[2];
    for_each_ply(plythickness, *nplies, 0.0, [&](i64 k, double zl, double zu) {
        double hoff[4];
        ply_shear(hoff, plyelastic + 9 * (k - 1), plyorientation + (k - 1));
        for (int i = 0; i < 4; ++i) hlam[i] += hoff[i] * (zu - zl);
    });
    GetShearCorrectFactors(sk, hlam, plyelastic, plyorientation, plythickness, nplies);
    Mat<double> h(hshear, 2, 2);
    for (int j = 1; j <= 2; ++j)
        for (int i = 1; i <= 2; ++i)
            h(i, j) = std::sqrt(sk[i - 1] * sk[j - 1]) * hlam[i - 1 + 2 * (j - 1)];
}

void GetHMatrixQuadrature(double* hquad, const double* plyelastic, const double* plyorientation,
                          const double* plythickness, const i32* nplies) {
    static constexpr double xo = 0.8611363116, xi = 0.3399810436;
    static constexpr double wo = 0.3478548451, wi = 0.6521451549;
    const i32 n = std::max<i32>(*nplies, 0);
    if (n > (2147483647 - 1) / 5) {  // no point count of 32 bits
        errorhandling::report(-3, "Error: Too many plies in GetHMatrixQuadrature.");
        std::fill_n(hquad, 4, 0.0);
        return;
    }
    // Every ply: its bottom and four Gauss points; the top of the stack closes the list.
    const i32 npts = 5 * n + 1, nine = 9, fgflag = 1;
    Work<double, 5 * 32 + 1> z(npts);
    Work<i32, 32> counts(n);
    for_each_ply(plythickness, n, 0.0, [&](i64 k, double zb, double zt) {
        const double h = plythickness[k - 1] / 2.0, zm = zb + h;
        const double pts[5] = {zb, zm - xo * h, zm - xi * h, zm + xi * h, zm + xo * h};
        std::copy_n(pts, 5, &z(5 * (k - 1) + 1));
        counts(k) = 5;
        z(npts) = zt;
    });
    double a[9], b[9], d[9], at[9], bt[9], dt[9];
    stack_matrices(a, b, d, plyelastic, plyorientation, plythickness, n);
    GetABDTilde(a, b, d, at, bt, dt);
    const i64 block = 9 * i64{npts};
    Work<double, 3 * 9 * (5 * 32 + 1)> work(3 * block);
    double *az = work.data(), *bz = az + block, *fg = bz + block;
    const double one = 1.0, two = 2.0;
    GetArbitraryLaminateIntegral(az, &one, plyelastic, plyorientation, z.data(), counts.data(),
                                 &npts, &n, &nine, nullptr);
    GetArbitraryLaminateIntegral(bz, &two, plyelastic, plyorientation, z.data(), counts.data(),
                                 &npts, &n, &nine, nullptr);
    GetPartialFG(fg, az, bz, bt, dt, &npts, &fgflag);
    const View<const double, 3> f(fg, 3, 3, npts);
    double hinv[4] = {};
    for (i64 k = 1; k <= n; ++k) {
        double hoff[4], c[4], sum[4] = {};
        ply_shear(hoff, plyelastic + 9 * (k - 1), plyorientation + (k - 1));
        inverse2(hoff, c);
        const double h = plythickness[k - 1] / 2.0;
        for (int m = 1; m <= 4; ++m) {
            const i64 p = 5 * (k - 1) + 1 + m;
            // The shear pair as this method has always taken it from FG.
            const double fz[4] = {f(2, 2, p), f(3, 1, p), f(3, 2, p), f(1, 1, p)};
            add_energy(sum, (m == 1 || m == 4 ? wo : wi) * h, fz, c);
        }
        for (int i = 0; i < 4; ++i) hinv[i] += sum[i];
    }
    inverse2(hinv, hquad);
}

void GetSectionHMatrix(double* sehmatrix, const i32* sectionlist, const double* plyorientation,
                       const double* plythickness, const double* plyelastic, const i32* nplies,
                       const i32* nsec, const i32* method, const i32* defint) {
    const i64 n = std::max<i32>(*nplies, 0), ns = std::max<i32>(*nsec, 0);
    const i32 marker = defint ? *defint : 2147483647, how = method ? *method : 1;
    View<double, 3> out(sehmatrix, 2, 2, ns);
    std::fill(out.begin(), out.end(), 0.0);
    const Mat<const i32> sl(sectionlist, n, ns);
    const Mat<const double> po(plyorientation, n, ns), pt(plythickness, n, ns);
    const View<const double, 3> pe(plyelastic, 9, n, ns);
    const auto stiffness = how == 0   ? GetHMatrixShearCorrect
                           : how == 2 ? GetHMatrixQuadrature
                                      : GetHMatrixImprovedShear;
    for (i64 s = 1; s <= ns; ++s) {
        const i32 np = active_plies(&sl(1, s), nplies, marker, &pe(1, 1, s));
        if (np > 0) stiffness(&out(1, 1, s), &pe(1, 1, s), &po(1, s), &pt(1, s), &np);
    }
}

}  // extern "C"
}  // namespace vorlen::laminate
