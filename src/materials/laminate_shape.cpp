// Shear shape matrices of laminate sections and the partial stiffness integrals they need.
#include "materials/laminate_shape.hpp"

#include <algorithm>
#include <cmath>

#include "base/errorhandling.hpp"
#include "core/math_geometry.hpp"
#include "core/utility_extent.hpp"
#include "base/work.hpp"
#include "materials/lamina_stiffness.hpp"
#include "materials/laminate.hpp"
#include "materials/laminate_stack.hpp"

namespace vorlen::laminate {
namespace detail {

void shape_factors(const double* plyelastic, const double* plyorientation,
                   const double* plythickness, i64 n, double* fa, double* fb) {
    double a[9], b[9], d[9], at[9], bt[9], ainv[9], ainvb[9];
    stack_matrices(a, b, d, plyelastic, plyorientation, plythickness, n);
    GetABDTilde(a, b, d, at, bt, fb);  // its dtstar is (D*)^-1
    inverse3(a, ainv);
    mul3(ainv, b, ainvb);
    mul3(ainvb, fb, fa);
}

Decoupling decoupling(const double* plyelastic, const double* plyorientation,
                      const double* plythickness, const i32* n) {
    Decoupling turn;
    const double theta = GetDecoupAngle(plyelastic, plyorientation, plythickness, n) * deg2rad;
    const i32 three = 3, positive = 0, strain = 1;
    double t[9], r[9];
    lamina::GetNyeTransformationMatrix(t, &theta, &three, &positive, &strain);
    for (int j = 0; j < 3; ++j)
        for (int i = 0; i < 3; ++i) turn.tt[i + 3 * j] = t[j + 3 * i];
    inverse3(turn.tt, turn.ttinv);
    const double axis[3] = {0.0, 0.0, 1.0};
    math::GetRotationMatrix(r, axis, &theta);
    turn.r2[0] = r[0], turn.r2[1] = r[1], turn.r2[2] = r[3], turn.r2[3] = r[4];
    return turn;
}

void shape_matrix(const Decoupling& turn, const double* aprt, const double* bprt, const double* fa,
                  const double* fb, double* smallf) {
    double f[9], w[9];
    mul3(aprt, fa, f);
    mul3(bprt, fb, w);
    for (int i = 0; i < 9; ++i) f[i] -= w[i];
    mul3(turn.ttinv, f, w);
    mul3(w, turn.tt, f);
    // The (22, 11) diagonal is the (23, 13) pair in the decoupled axes; R2^t diag R2 turns it back.
    const double d[2] = {f[4], f[0]};
    const Mat<const double> r(turn.r2, 2, 2);
    Mat<double> s(smallf, 2, 2);
    for (int j = 1; j <= 2; ++j)
        for (int i = 1; i <= 2; ++i) s(i, j) = r(1, i) * d[0] * r(1, j) + r(2, i) * d[1] * r(2, j);
}

void Partials::at(const double* q, double zb, double z, double* aprt, double* bprt) const {
    for (int i = 0; i < 9; ++i) {
        aprt[i] = a[i] + q[i] * (z - zb);
        bprt[i] = 0.5 * (b2[i] + q[i] * (z * z - zb * zb));
    }
}

void Partials::pass(const double* q, double zb, double zt) {
    for (int i = 0; i < 9; ++i) {
        a[i] += q[i] * (zt - zb);
        b2[i] += q[i] * (zt * zt - zb * zb);
    }
}

i32 active_plies(const i32* column, const i32* nplies, i32 marker, const double* props) {
    const i32 np = section_plies(column, nplies, marker);
    if (np == 0) return 0;
    return std::all_of(props, props + 9 * i64{np}, [](double v) { return v == 0.0; }) ? 0 : np;
}

}  // namespace detail

using namespace detail;

namespace {

// Partial integrals aprt(3,3), bprt(3,3) at zcrd inside ply iply; both zero and code -3 with
// the message for a ply out of range.
bool partial_ab(double* aprt, double* bprt, const double* plyelastic, const double* plyorientation,
                const double* plythickness, double zcrd, const i32* iply, const i32* nplies,
                const char* message) {
    std::fill_n(aprt, 9, 0.0);
    std::fill_n(bprt, 9, 0.0);
    const i64 ip = *iply;
    if (ip < 1 || ip > *nplies) {
        errorhandling::report(-3, message);
        return false;
    }
    Partials below;
    for_each_ply(plythickness, *nplies, 0.0, [&](i64 k, double zb, double zt) {
        if (k > ip) return;
        double q[9];
        ply_stiffness(q, plyelastic + 9 * (k - 1), plyorientation + (k - 1));
        if (k < ip)
            below.pass(q, zb, zt);
        else
            below.at(q, zb, zcrd, aprt, bprt);
    });
    return true;
}

// The ply integrand x(3,3) of the partial integrals: Qbar of the ply, or for the thermal form
// Qbar alpha in column 1 with alpha = T(-angle) (alpha_1, alpha_2, 0), columns 2 and 3 zero.
void ply_integrand(double* x, const double* props, const double* dangle, bool thermal) {
    ply_stiffness(x, props, dangle);
    if (!thermal) return;
    const double rangle = *dangle * deg2rad;
    const i32 three = 3, negative = 1, strain = 1;
    double t[9];
    lamina::GetNyeTransformationMatrix(t, &rangle, &three, &negative, &strain);
    const Mat<const double> tm(t, 3, 3), q(x, 3, 3);
    double alpha[3], v[3];
    for (int i = 1; i <= 3; ++i) alpha[i - 1] = tm(i, 1) * props[9] + tm(i, 2) * props[10];
    for (int i = 1; i <= 3; ++i)
        v[i - 1] = q(i, 1) * alpha[0] + q(i, 2) * alpha[1] + q(i, 3) * alpha[2];
    std::fill_n(x, 9, 0.0);
    std::copy_n(v, 3, x);
}

}  // namespace

extern "C" {

void GetPartialAMatrix(double* aprt, const double* plyelastic, const double* plyorientation,
                       const double* plythickness, const double* zcrd, const i32* iply,
                       const i32* nplies) {
    double bprt[9];
    partial_ab(aprt, bprt, plyelastic, plyorientation, plythickness, *zcrd, iply, nplies,
               "Error: Ply index out of range in GetPartialAMatrix.");
}

void GetPartialBMatrix(double* bprt, const double* plyelastic, const double* plyorientation,
                       const double* plythickness, const double* zcrd, const i32* iply,
                       const i32* nplies) {
    double aprt[9];
    partial_ab(aprt, bprt, plyelastic, plyorientation, plythickness, *zcrd, iply, nplies,
               "Error: Ply index out of range in GetPartialBMatrix.");
}

void GetSmallFMatrix(double* smallf, const double* plyelastic, const double* plyorientation,
                     const double* plythickness, const double* zcrd, const double* fa,
                     const double* fb, const i32* iply, const i32* nplies) {
    double aprt[9], bprt[9];
    if (!partial_ab(aprt, bprt, plyelastic, plyorientation, plythickness, *zcrd, iply, nplies,
                    "Error: Ply index out of range in GetSmallFMatrix.")) {
        std::fill_n(smallf, 4, 0.0);
        return;
    }
    const Decoupling turn = decoupling(plyelastic, plyorientation, plythickness, nplies);
    shape_matrix(turn, aprt, bprt, fa, fb, smallf);
}

void GetSectionFMatrix(double* plysmallf, const i32* sectionlist, const double* plyorientation,
                       const double* plythickness, const double* plyzcoord,
                       const double* plyelastic, const i32* nplies, const i32* nsec,
                       const i32* defint) {
    const i64 n = std::max<i32>(*nplies, 0), ns = std::max<i32>(*nsec, 0);
    const i32 marker = defint ? *defint : 2147483647;
    View<double, 3> out(plysmallf, 2 * n + 1, 4, ns);
    std::fill_n(plysmallf, utility::detail::entries({2 * n + 1, 4, ns}), 0.0);
    const Mat<const i32> sl(sectionlist, n, ns);
    const Mat<const double> po(plyorientation, n, ns), pt(plythickness, n, ns);
    const Mat<const double> z(plyzcoord, 2 * n + 1, ns);
    const View<const double, 3> pe(plyelastic, 9, n, ns);
    for (i64 s = 1; s <= ns; ++s) {
        const i32 np = active_plies(&sl(1, s), nplies, marker, &pe(1, 1, s));
        if (np == 0) continue;
        double fa[9], fb[9];
        shape_factors(&pe(1, 1, s), &po(1, s), &pt(1, s), np, fa, fb);
        const auto store = [&](i64 p, auto& shape) {
            double f[4];
            shape(z(p, s), f);
            for (int e = 1; e <= 4; ++e) out(p, e, s) = f[e - 1];
        };
        for_each_ply_shape(&pe(1, 1, s), &po(1, s), &pt(1, s), &np, fa, fb,
                           [&](i64 k, double, double, auto&& shape) {
                               store(2 * k - 1, shape);
                               store(2 * k, shape);
                               if (k == np) store(2 * k + 1, shape);
                           });
    }
}

void GetArbitraryLaminateIntegral(double* xint, const double* expo, const double* plyprops,
                                  const double* plyorientation, const double* plyzcoord,
                                  const i32* plysectionpoint, const i32* nzcrd, const i32* nplies,
                                  const i32* nprops, const i32* thflag) {
    const i64 nz = std::max<i32>(*nzcrd, 0), n = std::max<i32>(*nplies, 0);
    View<double, 3> x(xint, 3, 3, nz);
    std::fill(x.begin(), x.end(), 0.0);
    const bool thermal = thflag && *thflag == 1;
    i64 points = 0;  // above the bottom of ply 1
    for (i64 k = 0; k < n; ++k) points += std::max<i32>(plysectionpoint[k], 0);
    if ((points > 0 && points + 1 > nz) || (n > 0 && *nprops < (thermal ? 11 : 9))) {
        errorhandling::report(
            -3, "Error: Bad nprops or section points in GetArbitraryLaminateIntegral.");
        return;
    }
    const double e = *expo;
    const Mat<const double> props(plyprops, *nprops, n);
    double sum[9] = {};
    i64 q = 1;
    for (i64 k = 1; k <= n; ++k) {
        const i64 c = plysectionpoint[k - 1];
        if (c <= 0) continue;
        double qk[9];
        ply_integrand(qk, &props(1, k), &plyorientation[k - 1], thermal);
        const double zb = std::pow(plyzcoord[q - 1], e);
        for (i64 j = 1; j <= c; ++j) {
            const double dz = std::pow(plyzcoord[q + j - 1], e) - zb;
            double* xp = &x(1, 1, q + j);
            for (int i = 0; i < (thermal ? 3 : 9); ++i) xp[i] = sum[i] + qk[i] * dz / e;
        }
        q += c;
        std::copy_n(&x(1, 1, q), 9, sum);
    }
}

void laminate_getpartialabwithcurvature(double* pij, const double* p0, const double* p1,
                                        const double* p2, const double* ki, const double* kj,
                                        const i32* pdim, const i32* nzcrd) {
    const i64 m = utility::detail::entries({3, *pdim, *nzcrd});
    const double s = *ki + *kj, p = *ki * *kj;
    for (i64 i = 0; i < m; ++i) pij[i] = p0[i] - s * p1[i] + p * p2[i];
}

void GetPartialCDwithCurvature(double* xij, const double* pij, const double* plyprops,
                               const double* plyorientation, const double* plyzcoord,
                               const i32* plysectionpoint, const double* ki, const double* kj,
                               const i32* ndim, const i32* nzcrd, const i32* nplies,
                               const i32* nprops, const i32* cdflag) {
    const i64 nd = std::max<i32>(*ndim, 0), nz = std::max<i32>(*nzcrd, 0);
    const i64 n = std::max<i32>(*nplies, 0), size = utility::detail::entries({3, nd, nz});
    const Unaliased<double, 3 * 3 * 33> pcopy(pij, size, xij, size);
    std::fill_n(xij, size, 0.0);
    const bool thermal = nd == 1;
    bool fit = true;  // ply k covers the points (k-1) c + 1 .. k c + 1
    for (i64 k = 1; k <= n; ++k) {
        const i64 c = plysectionpoint[k - 1];
        if (c > 0 && k * c + 1 > nz) fit = false;
    }
    if ((nd != 1 && nd != 3) || !fit || (n > 0 && *nprops < (thermal ? 11 : 9))) {
        errorhandling::report(
            -3, "Error: Bad ndim, nprops or section points in GetPartialCDwithCurvature.");
        return;
    }
    View<double, 3> x(xij, 3, nd, nz);
    const View<const double, 3> pin(pcopy.data(), 3, nd, nz);
    const Mat<const double> props(plyprops, *nprops, n);
    const double ci = *ki, cj = *kj;
    const bool zweighted = *cdflag == 1;
    for (i64 k = 1; k <= n; ++k) {
        const i64 c = plysectionpoint[k - 1];
        if (c <= 0) continue;
        const i64 b = (k - 1) * c + 1;
        double xk[9];
        ply_integrand(xk, &props(1, k), &plyorientation[k - 1], thermal);
        const double zb = plyzcoord[b - 1];
        for (i64 p = b + 1; p <= b + c; ++p) {
            const double z = plyzcoord[p - 1], t = z - zb;
            const double li = 1.0 - ci * z, lj = 1.0 - cj * z;
            const double alpha =
                zweighted ? ((2.0 * zb + z) - cj / 2.0 * (z * z + 2.0 * z * zb + 3.0 * zb * zb)) *
                                t * t / (6.0 * li)
                          : (1.0 - cj / 3.0 * (2.0 * zb + z)) * t * t / (2.0 * li);
            const double beta = t / (li * lj);
            for (i64 j = 1; j <= nd; ++j)
                for (int i = 1; i <= 3; ++i)
                    x(i, j, p) =
                        x(i, j, b) + alpha * xk[(i - 1) + 3 * (j - 1)] + beta * pin(i, j, b);
        }
    }
}

void GetPartialFG(double* fg, const double* p1, const double* p2, const double* tstar1,
                  const double* tstar2, const i32* nzcrd, const i32* fgflag) {
    const i64 nz = std::max<i32>(*nzcrd, 0);
    const double sign = *fgflag > 0 ? 1.0 : -1.0;
    for (i64 p = 0; p < nz; ++p) {
        double w1[9], w2[9];
        mul3(p1 + 9 * p, tstar1, w1);
        mul3(p2 + 9 * p, tstar2, w2);
        for (int i = 0; i < 9; ++i) fg[9 * p + i] = sign > 0 ? w1[i] - w2[i] : w2[i] - w1[i];
    }
}

void GetArbitrarySectionFG(double* fg, const i32* sectionlist, const double* plyorientation,
                           const double* plythickness, const double* plyzcoord,
                           const double* plyelastic, const i32* nplies, const i32* nsec,
                           const i32* csflag, const i32* fgflag, const double* xycurv,
                           const i32* defint) {
    const i64 n = std::max<i32>(*nplies, 0), ns = std::max<i32>(*nsec, 0);
    const i32 marker = defint ? *defint : 2147483647;
    const double k1 = xycurv ? xycurv[0] : 0.0, k2 = xycurv ? xycurv[1] : 0.0;
    View<double, 3> out(fg, 2 * n + 1, 4, ns);
    std::fill_n(fg, utility::detail::entries({2 * n + 1, 4, ns}), 0.0);
    const Mat<const i32> sl(sectionlist, n, ns);
    const Mat<const double> po(plyorientation, n, ns), pt(plythickness, n, ns);
    const Mat<const double> z(plyzcoord, 2 * n + 1, ns);
    const View<const double, 3> pe(plyelastic, 9, n, ns);
    const bool shell = *csflag == 0;
    for (i64 s = 1; s <= ns; ++s) {
        const i32 np = section_plies(&sl(1, s), nplies, marker);
        if (np == 0) continue;
        if (np > (2147483647 - 1) / 2) {  // no section-point count of 32 bits
            errorhandling::report(-3, "Error: Too many plies in GetArbitrarySectionFG.");
            continue;
        }
        const i32 nzc = 2 * np + 1, three = 3, nine = 9, zweighted = 1, plain = 0;
        const double *e = &pe(1, 1, s), *o = &po(1, s), *t = &pt(1, s), *zc = &z(1, s);
        double a[9], b[9], d[9], tstar[3][9];  // atstar, btstar, dtstar
        stack_matrices(a, b, d, e, o, t, np);
        GetABDTilde(a, b, d, tstar[0], tstar[1], tstar[2]);
        const double* t1 = *fgflag > 0 ? tstar[1] : tstar[0];
        const double* t2 = *fgflag > 0 ? tstar[2] : tstar[1];
        Work<i32, 64> counts(np);
        for (i64 k = 1; k <= np; ++k) counts(k) = 2;
        // Z1..Z4, the first integrals of a curvature pair, their second integrals and the
        // combination FG: nine (3, 3, nzc) blocks.
        const i64 block = 9 * i64{nzc};
        Work<double, 9 * 9 * 33> work(9 * block);
        double* zi[4];
        for (int m = 0; m < 4; ++m) {
            zi[m] = work.data() + m * block;
            const double expo = m + 1;
            GetArbitraryLaminateIntegral(zi[m], &expo, e, o, zc, counts.data(), &nzc, &np, &nine,
                                         nullptr);
        }
        double *pa = zi[3] + block, *pb = pa + block, *pc = pb + block, *pd = pc + block;
        double* pfg = pd + block;
        const auto combine = [&](double ki, double kj) {
            laminate_getpartialabwithcurvature(pa, zi[0], zi[1], zi[2], &ki, &kj, &three, &nzc);
            laminate_getpartialabwithcurvature(pb, zi[1], zi[2], zi[3], &ki, &kj, &three, &nzc);
            if (shell) {
                GetPartialCDwithCurvature(pc, pa, e, o, zc, counts.data(), &ki, &kj, &three, &nzc,
                                          &np, &nine, &plain);
                GetPartialCDwithCurvature(pd, pb, e, o, zc, counts.data(), &ki, &kj, &three, &nzc,
                                          &np, &nine, &zweighted);
                GetPartialFG(pfg, pc, pd, t1, t2, &nzc, fgflag);
            } else {
                GetPartialFG(pfg, pa, pb, t1, t2, &nzc, fgflag);
            }
        };
        const View<const double, 3> f(pfg, 3, 3, nzc);
        combine(k2, k1);
        for (i64 p = 1; p <= nzc; ++p) out(p, 1, s) = f(2, 2, p), out(p, 4, s) = f(1, 1, p);
        combine(k1, k1);
        for (i64 p = 1; p <= nzc; ++p) out(p, 2, s) = f(3, 1, p);
        combine(k2, k2);
        for (i64 p = 1; p <= nzc; ++p) out(p, 3, s) = f(3, 2, p);
        for (i64 p = 1; p <= nzc; ++p) {
            const double l1 = 1.0 - k1 * zc[p - 1], l2 = 1.0 - k2 * zc[p - 1];
            const double d12 = shell ? l1 * l2 : l2 * l1 * l1, d34 = shell ? l1 * l2 : l2 * l2 * l1;
            out(p, 1, s) /= d12;
            out(p, 2, s) /= d12;
            out(p, 3, s) /= d34;
            out(p, 4, s) /= d34;
        }
    }
}

void GetArbitrarySmallF(double* afmat, const i32* iply, const double* zpos, const double* zcoord,
                        const double* smallfmatrix, const i32* nplies) {
    std::fill_n(afmat, 4, 0.0);
    const i64 ip = *iply, n = *nplies;
    if (ip < 1 || ip > n) {
        errorhandling::report(-3, "Error: Ply index out of range in GetArbitrarySmallF.");
        return;
    }
    const Mat<const double> f(smallfmatrix, 2 * n + 1, 4);
    const i64 pts[3] = {2 * ip - 1, 2 * ip, 2 * ip + 1};
    const double zp = *zpos, zm[3] = {zcoord[pts[0] - 1], zcoord[pts[1] - 1], zcoord[pts[2] - 1]};
    // afmat is read by rows (e1, e2), (e3, e4): entry e of the record goes to (1,1), (1,2),
    // (2,1), (2,2), column-major positions 0, 2, 1, 3.
    const int at[4] = {0, 2, 1, 3};
    for (int m = 0; m < 3; ++m) {
        const int u = (m + 1) % 3, v = (m + 2) % 3;
        const double l = (zp - zm[u]) * (zp - zm[v]) / ((zm[m] - zm[u]) * (zm[m] - zm[v]));
        for (int e = 0; e < 4; ++e) afmat[at[e]] += l * f(pts[m], e + 1);
    }
    if (!(zp >= std::min(zm[0], zm[2]) && zp <= std::max(zm[0], zm[2])))
        errorhandling::report(-2, "Error during the calculation of f(z)");
}

}  // extern "C"
}  // namespace vorlen::laminate
