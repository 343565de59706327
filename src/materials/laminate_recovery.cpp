// Transverse shear and normal stresses through the thickness of laminate shells.
#include "materials/laminate_recovery.hpp"

#include <algorithm>

#include "base/errorhandling.hpp"
#include "core/math_geometry.hpp"
#include "core/math_tabulated.hpp"
#include "base/work.hpp"
#include "materials/laminate_stack.hpp"

namespace vorlen::laminate {
namespace {

// The antiderivative P(z) = a z^3/3 + b z^2/2 + c z of the slope of s33 in ply i: the parabola
// a z^2 + b z + c through minus the in-plane divergence of the shear stresses at its points.
struct Primitive {
    double a, b, c;
    double operator()(double z) const { return a * z * z * z / 3.0 + b * z * z / 2.0 + c * z; }
};

Primitive s33_slope(i64 i, const double* rdx, const double* rdy, const Vec<const double>& z,
                    const Mat<const double>& f) {
    double ind[6], oud[3];
    for (int m = 0; m < 3; ++m) {
        const i64 p = 2 * i - 1 + m;
        ind[m] = z(p);
        ind[3 + m] = -(f(p, 1) * rdy[0] + f(p, 2) * rdy[1] + f(p, 3) * rdx[0] + f(p, 4) * rdx[1]);
    }
    math::GetParabolaCoefficients(ind, oud);
    return {oud[0], oud[1], oud[2]};
}

// s33(2*nplies+1) integrated ply by ply upwards from 0 at the bottom (top absent) or downwards
// from *top at the top of the stack.
void normal_stress(double* s33, const double* rdx, const double* rdy, const double* zcoord,
                   const double* smallfmatrix, const i32* nplies, const double* top) {
    const i64 n = *nplies;
    if (n < 0) return;
    const Unaliased<double, 129> zin(zcoord, 2 * n + 1, s33, 2 * n + 1);
    const Vec<const double> z(zin.data(), 2 * n + 1);
    const Mat<const double> f(smallfmatrix, 2 * n + 1, 4);
    Vec<double> s(s33, 2 * n + 1);
    if (!top) {
        s(1) = 0.0;
        for (i64 i = 1; i <= n; ++i) {
            const Primitive pr = s33_slope(i, rdx, rdy, z, f);
            const double pb = pr(z(2 * i - 1));
            s(2 * i) = s(2 * i - 1) + (pr(z(2 * i)) - pb);
            s(2 * i + 1) = s(2 * i - 1) + (pr(z(2 * i + 1)) - pb);
        }
        return;
    }
    s(2 * n + 1) = *top;
    for (i64 i = n; i >= 1; --i) {
        const Primitive pr = s33_slope(i, rdx, rdy, z, f);
        const double pt = pr(z(2 * i + 1));
        s(2 * i - 1) = s(2 * i + 1) - (pt - pr(z(2 * i - 1)));
        s(2 * i) = s(2 * i + 1) - (pt - pr(z(2 * i)));
    }
}

}  // namespace

extern "C" {

void GetExt2DShearStress(double* xytss, const double* r, const double* plyorientation,
                         const double* smallfmatrix, const i32* nspt, const i32* nplies) {
    const i64 n = std::max<i32>(*nplies, 0), ns = std::max<i32>(*nspt, 0);
    Mat<double> out(xytss, n * ns, 2);
    const Mat<const double> f(smallfmatrix, 2 * n + 1, 4);
    const double axis[3] = {0.0, 0.0, 1.0};
    for (i64 i = 1; i <= n; ++i) {
        const double angle = plyorientation[i - 1] * detail::deg2rad;
        double rot[9];
        math::GetRotationMatrix(rot, axis, &angle);
        const Mat<const double> rm(rot, 3, 3);
        for (i64 j = 1; j <= ns; ++j) {
            const i64 p = j == ns ? 2 * i + 1 : j == 1 ? 2 * i - 1 : 2 * i;
            const double tau[2] = {f(p, 1) * r[0] + f(p, 2) * r[1],
                                   f(p, 3) * r[0] + f(p, 4) * r[1]};
            for (int c = 1; c <= 2; ++c)
                out((i - 1) * ns + j, c) = rm(c, 1) * tau[0] + rm(c, 2) * tau[1];
        }
    }
}

void GetNormalStressFromBottom(double* s33, const double* rdx, const double* rdy,
                               const double* zcoord, const double* smallfmatrix,
                               const i32* nplies) {
    normal_stress(s33, rdx, rdy, zcoord, smallfmatrix, nplies, nullptr);
}

void GetNormalStressFromTop(double* s33, const double* rdx, const double* rdy, const double* s33bc,
                            const double* zcoord, const double* smallfmatrix, const i32* nplies) {
    normal_stress(s33, rdx, rdy, zcoord, smallfmatrix, nplies, s33bc);
}

void GetIntegralOfMembraneNormalStress(double* sint, const double* sbt, const double* plyzcoord,
                                       const i32* /*plysectionpoint*/, const double* ki,
                                       const double* kj, const i32* nzcrd, const i32* nplies) {
    const i64 nz = std::max<i32>(*nzcrd, 0), n = std::max<i32>(*nplies, 0);
    const Unaliased<double, 129> zin(plyzcoord, nz, sint, nz);
    Vec<double> s(sint, nz);
    std::fill(s.begin(), s.end(), 0.0);
    if (n > 0 && 2 * n + 1 > nz) {
        errorhandling::report(
            -3, "Error: Too few section points in GetIntegralOfMembraneNormalStress.");
        return;
    }
    const Vec<const double> z(zin.data(), nz), sig(sbt, 2 * n);
    const double ci = *ki, cj = *kj;
    for (i64 i = 1; i <= n; ++i) {
        const i64 b = 2 * i - 1;
        const double zb = z(b), sb = sig(2 * i - 1);
        const double slope = (sig(2 * i) - sb) / (z(2 * i + 1) - zb);
        for (i64 p = b + 1; p <= b + 2; ++p) {
            const double zp = z(p), dz = zp - zb;
            const double i1 = sb * dz + slope * dz * dz / 2.0;
            const double i2 = (zp * zp - zb * zb) * sb / 2.0 +
                              slope * dz * (zp * zp / 3.0 - zp * zb / 6.0 - zb * zb / 6.0);
            s(p) = s(b) - ci * (i1 - cj * i2);
        }
    }
    for (i64 p = 1; p <= nz; ++p) s(p) = s(p) / ((1.0 - ci * z(p)) * (1.0 - cj * z(p)));
}

void GetPlyBottomTopStress(double* sbt, const double* sestress, const i32* plysectionpoint,
                           const i32* nzcrd, const i32* nplies) {
    const i64 n = std::max<i32>(*nplies, 0), nz = *nzcrd;
    const Unaliased<double, 6 * 129> stress(sestress, 6 * std::max<i64>(nz, 0), sbt, 6 * 2 * n);
    Mat<double> out(sbt, 6, 2 * n);
    std::fill(out.begin(), out.end(), 0.0);
    const bool empty_ply =
        std::any_of(plysectionpoint, plysectionpoint + n, [](i32 c) { return c < 1; });
    if (n < 1 || nz < 1 || empty_ply) {
        errorhandling::report(-3, "Error: Degenerate ply stack in GetPlyBottomTopStress.");
        return;
    }
    const Mat<const double> s(stress.data(), 6, nz);
    const auto take = [&](i64 col, i64 point) {
        for (int r = 1; r <= 6; ++r) out(r, col) = s(r, point);
    };
    take(1, 1);
    take(2 * n, nz);
    // The top of ply c and the bottom of ply c+1 sit where the point number is a multiple of
    // the running count P_c; the last ply has no ply above it.
    i64 c = 1, pc = plysectionpoint[0];
    for (i64 i = 2; i <= nz - 1 && c < n; ++i) {
        if (i % pc != 0) continue;
        take(2 * c, i);
        take(2 * c + 1, i + 1);
        ++c;
        pc += plysectionpoint[c - 1];
    }
}

}  // extern "C"
}  // namespace vorlen::laminate
