// Classical lamination theory over ply stacks given as arrays.
#include "materials/laminate.hpp"

#include <algorithm>
#include <array>
#include <cmath>

#include "base/errorhandling.hpp"
#include "core/math_linalg.hpp"
#include "core/utility_search.hpp"
#include "core/utility_shape.hpp"
#include "base/work.hpp"
#include "materials/lamina_stiffness.hpp"
#include "materials/laminate_stack.hpp"

namespace vorlen::laminate {
namespace detail {

double stack_thickness(const double *t, i64 n) {
    double h = 0.0;
    for (i64 k = 0; k < n; ++k) h += t[k];
    return h;
}

void ply_stiffness(double *q, const double *props, const double *dangle) {
    const i32 three = 3, stiffness = 1;
    lamina::GetNyeOffAxisSC(q, dangle, props, &three, &stiffness);
}

void stack_matrices(double *a, double *b, double *d, const double *plyelastic,
                    const double *plyorientation, const double *plythickness, i64 n) {
    double *x[3] = {a, b, d};
    for (double *m : x)
        if (m)
            for (int i = 0; i < 9; ++i) m[i] = 0.0;
    for_each_ply(plythickness, n, 0.0, [&](i64 k, double zb, double zt) {
        double q[9];
        ply_stiffness(q, plyelastic + 9 * (k - 1), plyorientation + (k - 1));
        const double dz[3] = {zt - zb, zt * zt - zb * zb, zt * zt * zt - zb * zb * zb};
        for (int m = 0; m < 3; ++m)
            if (x[m])
                for (int i = 0; i < 9; ++i) x[m][i] += q[i] * dz[m];
    });
    for (int m = 1; m < 3; ++m)
        if (x[m])
            for (int i = 0; i < 9; ++i) x[m][i] *= 1.0 / (m + 1);
}

void stack_stiffness(double *x, int m, const double *plyelastic, const double *plyorientation,
                     const double *plythickness, i64 n) {
    stack_matrices(m == 1 ? x : nullptr, m == 2 ? x : nullptr, m == 3 ? x : nullptr, plyelastic,
                   plyorientation, plythickness, n);
}

i32 section_plies(const i32 *column, const i32 *nplies, i32 marker) {
    if (*nplies <= 0) return 0;
    // 0 is never a position, so it marks a column without the marker: all slots are plies.
    const i32 notfound = 0;
    const i32 pos = utility::iFindLocation(&marker, column, nplies, &notfound);
    return pos == 0 ? *nplies : pos - 1;
}

void mul3(const double *x, const double *y, double *z) {
    const Mat<const double> a(x, 3, 3), b(y, 3, 3);
    Mat<double> c(z, 3, 3);
    for (int j = 1; j <= 3; ++j)
        for (int i = 1; i <= 3; ++i)
            c(i, j) = a(i, 1) * b(1, j) + a(i, 2) * b(2, j) + a(i, 3) * b(3, j);
}

void inverse3(const double *x, double *xinv) {
    const i32 three = 3;
    math::MatrixInverse(x, xinv, &three);
}

} // namespace detail

using namespace detail;

extern "C" {

double GetPlyZCoord(const double *plythickness, const i32 *iply, const i32 *nplies, const i32 *zpos,
                    const double *refoffset) {
    const i64 n = *nplies, ip = *iply;
    if (ip < 1 || ip > n) {
        errorhandling::report(-3, "Error: Ply index out of range in GetPlyZCoord.");
        return 0.0;
    }
    const double r = refoffset ? *refoffset : 0.0;
    const double offset = -stack_thickness(plythickness, n) / 2.0 - r;
    const double below = stack_thickness(plythickness, ip - 1);
    if (*zpos == 2) return offset + (below + plythickness[ip - 1]);
    if (*zpos == 1) return offset + below + plythickness[ip - 1] / 2.0;
    return offset + below;
}

void GetAMatrix(double *a, const double *plyelastic, const double *plyorientation,
                const double *plythickness, const i32 *nplies) {
    stack_stiffness(a, 1, plyelastic, plyorientation, plythickness, *nplies);
}

void GetBMatrix(double *b, const double *plyelastic, const double *plyorientation,
                const double *plythickness, const i32 *nplies) {
    stack_stiffness(b, 2, plyelastic, plyorientation, plythickness, *nplies);
}

void GetDMatrix(double *d, const double *plyelastic, const double *plyorientation,
                const double *plythickness, const i32 *nplies) {
    stack_stiffness(d, 3, plyelastic, plyorientation, plythickness, *nplies);
}

void GetSectionZCoord(double *plyzcoord, const i32 *sectionlist, const double *plythickness,
                      const i32 *nplies, const i32 *nsec, const i32 *defint) {
    const i64 n = *nplies < 0 ? 0 : *nplies, ns = *nsec < 0 ? 0 : *nsec;
    const i32 marker = defint ? *defint : 2147483647;
    Mat<double> z(plyzcoord, 2 * n + 1, ns);
    for (double &x : z) x = 0.0;
    const Mat<const i32> sl(sectionlist, n, ns);
    const Mat<const double> t(plythickness, n, ns);
    for (i64 s = 1; s <= ns; ++s) {
        const i32 np = section_plies(&sl(1, s), nplies, marker);
        if (np == 0) continue; // also every column that holds only the marker
        // GetPlyZCoord's sums, formed once along the stack: linear in the ply count.
        // Point numbers in 64 bits: 2 np + 1 exceeds the 32-bit range from 2^30 plies on.
        const double offset = -stack_thickness(&t(1, s), np) / 2.0;
        double below = 0.0;
        for (i64 k = 1; k <= np; ++k) {
            z(2 * k - 1, s) = offset + below;
            z(2 * k, s) = offset + below + t(k, s) / 2.0;
            below += t(k, s);
        }
        z(2 * i64{np} + 1, s) = offset + below;
    }
}

void GetABDMatrix(double *abd, const double *a, const double *b, const double *d) {
    const i32 three = 3, six = 6, side = 0, below = 1;
    double ab[18], bd[18];
    utility::MatrixConcatenation(a, b, ab, &side, &three, &three, &three, &three);
    utility::MatrixConcatenation(b, d, bd, &side, &three, &three, &three, &three);
    utility::MatrixConcatenation(ab, bd, abd, &below, &three, &six, &three, &six);
}

void GetReducedBendingStiffness(double *dred, const double *a, const double *b, const double *d) {
    double ainv[9], bainv[9], bab[9];
    inverse3(a, ainv);
    mul3(b, ainv, bainv);
    mul3(bainv, b, bab);
    for (int i = 0; i < 9; ++i) dred[i] = d[i] - bab[i];
}

void GetABDTilde(const double *a, const double *b, const double *d, double *atstar, double *btstar,
                 double *dtstar) {
    // The three blocks are stored once a, b and d are no longer read: each may be one of them.
    double ainv[9], bainv[9], dstar[9], ainvb[9], w[9], at[9], bt[9], dt[9];
    inverse3(a, ainv);
    mul3(b, ainv, bainv);
    mul3(bainv, b, w);
    for (int i = 0; i < 9; ++i) dstar[i] = d[i] - w[i];
    inverse3(dstar, dt);
    mul3(dt, bainv, bt);
    mul3(ainv, b, ainvb);
    mul3(ainvb, bt, w);
    for (int i = 0; i < 9; ++i) at[i] = ainv[i] + w[i];
    std::copy_n(at, 9, atstar);
    std::copy_n(bt, 9, btstar);
    std::copy_n(dt, 9, dtstar);
}

void GetEngConstsFromABDMatrix(double *eng, const double *abd, const double *h, const lgl *tcflag) {
    for (int i = 0; i < 8; ++i) eng[i] = 0.0;
    const double hh = *h, h3 = hh * hh * hh;
    if (tcflag && *tcflag) {
        const Mat<const double> x(abd, 6, 6);
        eng[0] = x(1, 1) / hh;
        eng[1] = x(2, 2) / hh;
        eng[2] = x(3, 3) / hh;
        eng[4] = 12.0 * x(4, 4) / h3;
        eng[5] = 12.0 * x(5, 5) / h3;
        eng[6] = 12.0 * x(6, 6) / h3;
        return;
    }
    const i32 six = 6;
    double cm[36];
    math::MatrixInverse(abd, cm, &six);
    const Mat<const double> c(cm, 6, 6);
    eng[0] = hh / c(1, 1);
    eng[1] = hh / c(2, 2);
    eng[2] = hh / c(3, 3);
    eng[3] = -c(1, 2) / c(1, 1);
    eng[4] = -c(4, 5) / c(4, 4);
    eng[5] = 12.0 / (h3 * c(5, 5));
    eng[6] = 12.0 / (h3 * c(6, 6));
}

void GetVMatrix(double *v, const double *plyorientation, const double *plythickness,
                const i32 *nplies) {
    Mat<double> vm(v, 4, 3);
    for (double &x : vm) x = 0.0;
    const i64 n = *nplies;
    for_each_ply(plythickness, n, 0.0, [&](i64 k, double zb, double zt) {
        const double th = plyorientation[k - 1];
        const double w[4] = {std::cos(2.0 * th), std::cos(4.0 * th), std::sin(2.0 * th),
                             std::sin(4.0 * th)};
        const double dz[3] = {zt - zb, zt * zt - zb * zb, zt * zt * zt - zb * zb * zb};
        for (int m = 1; m <= 3; ++m)
            for (int i = 1; i <= 4; ++i) vm(i, m) += w[i - 1] * dz[m - 1];
    });
    const double h = stack_thickness(plythickness, n);
    const double c[3] = {1.0 / h, 2.0 / (h * h), 4.0 / (h * h * h)};
    for (int m = 1; m <= 3; ++m)
        for (int i = 1; i <= 4; ++i) vm(i, m) *= c[m - 1];
}

double GetDecoupAngle(const double *plyelastic, const double *plyorientation,
                      const double *plythickness, const i32 *nplies) {
    const i64 n = *nplies;
    if (n < 1) {
        errorhandling::report(-3, "Error: No plies given to GetDecoupAngle.");
        return 0.0;
    }
    if (n == 1) return plyorientation[0];
    const Mat<const double> e(plyelastic, 9, n);
    const double h = stack_thickness(plythickness, n);
    const double ex1 = e(1, 1) > e(2, 1) ? e(1, 1) : e(2, 1);
    // Groups are kept by the angle of the ply that opened them, in order of creation.
    Work<double, 64> angle(n), weight(n);
    i64 ngroups = 1;
    angle(1) = plyorientation[0];
    weight(1) = e(1, 1) > e(2, 1) ? plythickness[0] / h * (e(1, 1) - e(2, 1)) / e(2, 1)
                                  : plythickness[0] / h * (e(2, 1) - e(1, 1)) / e(1, 1);
    for (i64 k = 2; k <= n; ++k) {
        const double th = plyorientation[k - 1];
        i64 g = 1;
        for (; g <= ngroups; ++g) {
            const double a = angle(g);
            if (th == a || th == a + 90.0 || th == a - 90.0 || th == a + 180.0 || th == a - 180.0)
                break;
        }
        if (g > ngroups) {
            ngroups = g;
            angle(g) = th;
            weight(g) = 0.0;
        }
        const double e1 = e(1, k), e2 = e(2, k), t = plythickness[k - 1];
        weight(g) +=
            e1 >= e2 ? t / h * (e1 - e2) / e2 * (e1 / ex1) : t / h * (e2 - e1) / e1 * (e2 / ex1);
    }
    i64 best = 1;
    for (i64 g = 2; g <= ngroups; ++g)
        if (weight(g) > weight(best)) best = g;
    return angle(best);
}

double GetdAngle(const double *plyorientation, const i32 *luflag, const i32 *iply,
                 const i32 *nplies) {
    const i64 n = *nplies, ip = *iply;
    if (*luflag != 0 && *luflag != 1) {
        errorhandling::report(
            -3, "Error: Default case in GetdAngle. Please check your input parameters.");
        return 0.0;
    }
    if (ip < 1 || ip > n) {
        errorhandling::report(-3, "Error: Ply index out of range in GetdAngle.");
        return 0.0;
    }
    if (*luflag == 0) return ip == 1 ? 0.0 : plyorientation[ip - 1] - plyorientation[ip - 2];
    return ip == n ? 0.0 : plyorientation[ip - 1] - plyorientation[ip];
}

void GetSubLaminateStack(i32 *sublamstack, const double *plythickness, const i32 *intface,
                         const i32 *nplies) {
    const i64 n = *nplies, i = *intface;
    if (i < 0 || i > n) {
        sublamstack[0] = sublamstack[1] = 0;
        errorhandling::report(-3, "Error: Interface out of range in GetSubLaminateStack.");
        return;
    }
    const double tlow = stack_thickness(plythickness, i);
    const double tup = stack_thickness(plythickness + i, n - i);
    if (tlow >= tup) {
        sublamstack[0] = static_cast<i32>(i + 1); // no signed overflow at intface = INT32_MAX
        sublamstack[1] = *nplies;
    } else {
        sublamstack[0] = 1;
        sublamstack[1] = *intface;
    }
}

void GetSubLaminateXMatrix(double *xsub, const char *slflag, const double *plyelastic,
                           const double *plyorientation, const double *plythickness,
                           const i32 *sublamstack, const i32 *nplies) {
    for (int i = 0; i < 9; ++i) xsub[i] = 0.0;
    const int m = *slflag == 'A' ? 1 : *slflag == 'B' ? 2 : *slflag == 'D' ? 3 : 0;
    if (m == 0) return;
    const i64 first = sublamstack[0], last = sublamstack[1];
    if (first > last) return; // an empty sub-laminate
    if (first < 1 || last > *nplies) {
        errorhandling::report(-3, "Error: Sub-laminate out of range in GetSubLaminateXMatrix.");
        return;
    }
    stack_stiffness(xsub, m, plyelastic + 9 * (first - 1), plyorientation + (first - 1),
                    plythickness + (first - 1), last - first + 1);
}

double GetEffectivePlateStiffness(const double *plyelastic, const double *plyorientation,
                                  const double *plythickness, const i32 *nplies) {
    double dm[9];
    GetDMatrix(dm, plyelastic, plyorientation, plythickness, nplies);
    const Mat<const double> d(dm, 3, 3);
    const double s = (d(1, 2) + 2.0 * d(3, 3)) / std::sqrt(d(1, 1) * d(2, 2));
    return std::sqrt(0.5 * (1.0 + s) * d(1, 1) * d(2, 2));
}

void GetPlyStrain(double *plystrain, const double *se, const double *plyzcoord, const i32 *nzcrd) {
    Mat<double> e(plystrain, 3, *nzcrd);
    for (i64 i = 1; i <= e.extent(2); ++i)
        for (int j = 1; j <= 3; ++j) e(j, i) = se[j - 1] + plyzcoord[i - 1] * se[j + 2];
}

void GetSectionStrain(double *plystrain, const double *se, const double *plyorientation,
                      const double *plythickness, const i32 *nplies, const double *reference) {
    const i64 n = *nplies;
    Mat<double> out(plystrain, 3, 3 * n);
    const double r = reference ? *reference : 0.0;
    for_each_ply(plythickness, n, 0.0, [&](i64 k, double zb, double zt) {
        const double z[3] = {zb - r, zb + plythickness[k - 1] / 2.0 - r, zt - r};
        const double rangle = plyorientation[k - 1] * deg2rad;
        const i32 three = 3, positive = 0, strain = 1;
        double tm[9];
        lamina::GetNyeTransformationMatrix(tm, &rangle, &three, &positive, &strain);
        const Mat<const double> t(tm, 3, 3);
        for (int p = 0; p < 3; ++p) {
            double e[3];
            for (int j = 0; j < 3; ++j) e[j] = se[j] + z[p] * se[j + 3];
            for (int i = 1; i <= 3; ++i)
                out(i, 3 * (k - 1) + p + 1) = t(i, 1) * e[0] + t(i, 2) * e[1] + t(i, 3) * e[2];
        }
    });
}

void GetChaiDelamFactors(double *chaidfactors, const double *qonl, const double *qonu,
                         const double *dangl_d, const double *plythickl, const double *plythicku,
                         const double *g23l, const double *g23u, const double *g13l,
                         const double *g13u) {
    const Mat<const double> ql(qonl, 3, 3), qu(qonu, 3, 3);
    const double c = std::cos(*dangl_d * deg2rad), s = std::sin(*dangl_d * deg2rad);
    const double c2 = c * c, s2 = s * s;
    const double q11u =
        qu(1, 1) * c2 * c2 + 2.0 * (qu(1, 2) + 2.0 * qu(3, 3)) * c2 * s2 + qu(2, 2) * s2 * s2;
    chaidfactors[0] = qu(2, 2) == ql(1, 1)
                          ? 0.0
                          : (ql(1, 1) - q11u) * (*plythickl / *plythicku) / (ql(1, 1) - qu(2, 2));
    chaidfactors[1] = (1.0 + (*g23u / *g23l) * c2 + (*g23u / *g13l) * s2) / 2.0;
    chaidfactors[2] = (1.0 + (*g13l / *g13u) * c2 + (*g13l / *g23u) * s2) / 2.0;
}

} // extern "C"
} // namespace vorlen::laminate
