// Element and nodal coordinate systems of the shell elements.
#include "elements/elementhandling_systems.hpp"

#include <algorithm>
#include <cmath>

#include "base/errorhandling.hpp"
#include "core/elementdata.hpp"
#include "core/math_geometry.hpp"
#include "core/nodaldata.hpp"
#include "elements/elementhandling_shape.hpp"
#include "elements/elementhandling_shell.hpp"
#include "elements/quad8.hpp"
#include "elements/tria6.hpp"

namespace vorlen::elementhandling {
namespace {

constexpr double kRadToDeg = 57.29577951308232;
constexpr double kPi = 3.141592653589793;

double dot(const double* a, const double* b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }
double norm(const double* a) { return std::sqrt(dot(a, a)); }
void cross(const double* a, const double* b, double* c) {
    const double c0 = a[1] * b[2] - a[2] * b[1], c1 = a[2] * b[0] - a[0] * b[2];
    const double c2 = a[0] * b[1] - a[1] * b[0];
    c[0] = c0, c[1] = c1, c[2] = c2;
}

// Unit tangents e1, e2 and normal e3 of the surface through on(8,3) from the shape-function
// matrix ns(n,6); false when they are not defined (vanishing or parallel tangents).
bool tangents(double* e1, double* e2, double* e3, const double* ns, const Mat<const double>& on,
              i32 n) {
    const Mat<const double> s(ns, n, 6);
    double g1[3] = {0.0, 0.0, 0.0}, g2[3] = {0.0, 0.0, 0.0};
    for (i32 k = 1; k <= n; ++k)
        for (int r = 0; r < 3; ++r) g1[r] += s(k, 2) * on(k, r + 1), g2[r] += s(k, 3) * on(k, r + 1);
    double nv[3];
    cross(g1, g2, nv);
    const double l1 = norm(g1), l2 = norm(g2), ln = norm(nv);
    if (!(ln > 0.0) || !std::isfinite(l1) || !std::isfinite(l2)) return false;
    for (int r = 0; r < 3; ++r) e1[r] = g1[r] / l1, e2[r] = g2[r] / l2, e3[r] = nv[r] / ln;
    return true;
}

void set_rows(double* t, const double* r1, const double* r2, const double* r3) {
    Mat<double> m(t, 3, 3);
    for (int c = 1; c <= 3; ++c) m(1, c) = r1[c - 1], m(2, c) = r2[c - 1], m(3, c) = r3[c - 1];
}

// A reference record without directions: all -1.0 (none collected).
bool unset_record(const double* refdir) {
    return std::all_of(refdir, refdir + 7, [](double v) { return v == -1.0; });
}

}  // namespace

extern "C" {

void GetNodalShape(double* nshape, const i32* locnode, const i32* inodes) {
    const i32 n = *inodes, l = *locnode;
    if (n != 6 && n != 8) {
        std::fill_n(nshape, 6 * i64{std::max<i32>(n, 0)}, 0.0);
        errorhandling::report(-3, "Unknown or invalid number of nodes");
        return;
    }
    if (l < 1 || l > n) {
        std::fill_n(nshape, 6 * n, 0.0);
        errorhandling::report(-2, "Local node outside the element", "GetNodalShape");
        return;
    }
    if (n == 6) Tria6ShapeFunMatrix(nshape, &tria6::nshape6[l - 1][0], &tria6::nshape6[l - 1][1]);
    else Quad8ShapeFunMatrix(nshape, &quad8::nshape8[l - 1][0], &quad8::nshape8[l - 1][1]);
}

void GetNodalTransformation(double* ti, const double* on, const i32* inodes) {
    const i32 n = *inodes;
    double t[72] = {};
    if (n != 6 && n != 8) {
        std::fill_n(ti, 72, 0.0);
        errorhandling::report(-3, "Node count other than 6 or 8", "GetNodalTransformation");
        return;
    }
    const Mat<const double> o(on, 8, 3);
    bool coincident = false;
    for (i32 l = 1; l <= n; ++l) {
        double ns[48], e1[3], e2[3], e3[3];
        GetNodalShape(ns, &l, &n);
        if (!tangents(e1, e2, e3, ns, o, n)) {
            coincident = true;
            continue;
        }
        double a[3] = {e1[0] + e2[0], e1[1] + e2[1], e1[2] + e2[2]}, b[3], t1[3], t2[3];
        cross(e3, a, b);
        const double la = norm(a), lb = norm(b);
        for (int r = 0; r < 3; ++r) t2[r] = (a[r] / la + b[r] / lb) * 0.7071067811865475;
        cross(t2, e3, t1);
        set_rows(t + 9 * (l - 1), t1, t2, e3);
    }
    std::copy_n(t, 72, ti);
    if (coincident) errorhandling::report(-3, "Coincident nodes", "GetNodalTransformation");
}

void GetSectionRefOrientation(double* theta, const double* so, const double* nvector,
                              const double* r12) {
    double n[3];
    cross(r12, so, n);
    const double d = dot(r12, so);
    if (norm(n) > 1e-8) {
        const double c = std::clamp(d / (norm(so) * norm(r12)), -1.0, 1.0);
        *theta = dot(n, nvector) > 0.0 ? std::acos(c) : -std::acos(c);
    } else {
        *theta = d > 0.0 ? 0.0 : kPi;
    }
}

void GetElementTransformation(double* tcurv, double* origin, double* kappa, const double* on,
                              const double* refdir, const i32* inodes) {
    static constexpr std::string_view routine = "GetElementTransformation";
    const i32 n = *inodes;
    const Mat<const double> o(on, 8, 3);
    double tc[9] = {}, org[3] = {0.0, 0.0, 0.0}, ka[2] = {0.0, 0.0};
    const auto finish = [&] {
        std::copy_n(tc, 9, tcurv);
        std::copy_n(org, 3, origin);
        std::copy_n(ka, 2, kappa);
    };
    if (n != 6 && n != 8) {
        errorhandling::report(-3, "Unknown or unsupported element type.");
        return finish();
    }
    const double r12[3] = {o(2, 1) - o(1, 1), o(2, 2) - o(1, 2), o(2, 3) - o(1, 3)};
    double ns[48], e1[3], e2[3], e3[3], x0[3], y0[3], t0[9];
    const double zero = 0.0;
    if (n == 6) {
        const auto edge = [&](int a, int b) {
            const double d[3] = {o(a, 1) - o(b, 1), o(a, 2) - o(b, 2), o(a, 3) - o(b, 3)};
            return norm(d);
        };
        const double len[3] = {edge(2, 3), edge(1, 3), edge(1, 2)};
        const int corner = static_cast<int>(std::max_element(len, len + 3) - len) + 1;
        for (int r = 0; r < 3; ++r) org[r] = o(corner, r + 1);
        Tria6ShapeFunMatrix(ns, &zero, &zero);
    } else {
        for (int r = 0; r < 3; ++r) org[r] = (o(1, r + 1) + o(2, r + 1) + o(3, r + 1) + o(4, r + 1)) / 4.0;
        Quad8ShapeFunMatrix(ns, &zero, &zero);
    }
    if (!tangents(e1, e2, e3, ns, o, n)) {
        errorhandling::report(-3, "Coincident nodes", routine);
        return finish();
    }
    if (n == 6) {
        std::copy_n(e1, 3, x0);
        set_rows(t0, e1, e2, e3);  // the in-plane axes of a triangle stay as the tangents
    } else {
        const double phi = std::acos(std::clamp(dot(e1, e2), -1.0, 1.0));
        const double turn = -(0.7853981633974483 - phi / 2.0) * kRadToDeg;
        math::CoordinateRotation(e3, e1, x0, &turn);
        cross(e3, x0, y0);
        set_rows(t0, x0, y0, e3);
    }
    // Reference angle from the reference direction more across the turned x0.
    double theta = 0.0;
    if (!unset_record(refdir)) {
        double rr[3], c1[3], c2[3];
        math::CoordinateRotation(e3, x0, rr, &refdir[0]);
        cross(rr, refdir + 1, c1);
        cross(rr, refdir + 4, c2);
        const double* so = norm(c2) > norm(c1) ? refdir + 1 : refdir + 4;
        if (norm(so) > 0.0) GetSectionRefOrientation(&theta, so, e3, r12);
    }
    // Curvatures from the nodes in the local basis t0 about the origin.
    double lnc[24];
    Mat<double> ln(lnc, n, 3);
    const Mat<const double> t(t0, 3, 3);
    for (i32 j = 1; j <= n; ++j) {
        const double d[3] = {o(j, 1) - org[0], o(j, 2) - org[1], o(j, 3) - org[2]};
        for (int r = 1; r <= 3; ++r) ln(j, r) = t(r, 1) * d[0] + t(r, 2) * d[1] + t(r, 3) * d[2];
    }
    double delta = 0.0;
    GetCurvatures(&delta, ka, ns, lnc, &n);
    double alpha = 0.0;
    if (theta != 0.0) alpha = theta * kRadToDeg;
    if (delta != 0.0) alpha = delta * kRadToDeg;
    double rx[3], ry[3];
    math::CoordinateRotation(e3, x0, rx, &alpha);
    cross(e3, rx, ry);
    set_rows(tc, rx, ry, e3);
    finish();
}

void GetNodeReferenceData(i32* lop, const i32* tflag) {
    using namespace nodaldata;
    using elementdata::elemcurvatures, elementdata::elemkind, elementdata::elemreforientation;
    *lop = 1;
    const bool transform = !(tflag && *tflag == 1);
    if (!elemkind.allocated() || !nodalcoords.allocated() || !tcurvmatrices.allocated() ||
        !tnodalmatrices.allocated() || !elemcurvatures.allocated() ||
        !elemreforientation.allocated()) {
        *lop = 0;
        return;
    }
    const i64 ne = elemkind.extent(1);
    for (i64 i = 1; i <= ne; ++i) {
        const i32 kind = elemkind(i);
        i32 nodes = 0;
        if (kind == 4 || kind == 5) {
            nodes = 8;
        } else if (kind == 8) {
            nodes = 6;
        } else if (kind >= 1 && kind <= 3) {
            if (nodalcoords.extent(2) != 8) continue;
            nodes = 8;
            if (nodalcoords.extent(1) >= 3 && nodalcoords.extent(3) >= i) {
                bool carries = false;
                for (int j = 5; j <= 8; ++j)
                    for (int r = 1; r <= 3; ++r)
                        carries = carries || nodalcoords(r, j, i) != nodalcoords(1, 5, i);
                if (!carries) continue;
            }
        } else if (kind == 0 || kind == 6 || kind == 7 || (kind >= 9 && kind <= 11)) {
            continue;
        } else {
            errorhandling::report(-3, "Unknown element type detected");
            *lop = -3;
            return;
        }
        const bool fits = nodalcoords.extent(1) >= 3 && nodalcoords.extent(2) >= nodes &&
                          nodalcoords.extent(3) >= i && tcurvmatrices.extent(1) >= 3 &&
                          tcurvmatrices.extent(2) >= 3 && tcurvmatrices.extent(3) >= i &&
                          tnodalmatrices.extent(1) >= 3 && tnodalmatrices.extent(2) >= 3 &&
                          tnodalmatrices.extent(3) >= 8 && tnodalmatrices.extent(4) >= i &&
                          elemcurvatures.extent(1) >= 2 && elemcurvatures.extent(2) >= i &&
                          elemreforientation.extent(1) >= 7 && elemreforientation.extent(2) >= i;
        if (!fits) {
            errorhandling::report(-3, "Tables shorter than the element kinds need",
                                  "GetNodeReferenceData");
            *lop = -3;
            return;
        }
        double on[24] = {}, ti[72], tc[9], org[3], ka[2], ref[7];
        Mat<double> onm(on, 8, 3);
        for (i32 j = 1; j <= nodes; ++j)
            for (int r = 1; r <= 3; ++r) onm(j, r) = nodalcoords(r, j, i);
        std::copy_n(&elemreforientation(1, i), 7, ref);
        GetNodalTransformation(ti, on, &nodes);
        GetElementTransformation(tc, org, ka, on, ref, &nodes);
        const Mat<const double> t(tc, 3, 3);
        for (int s = 1; s <= 8; ++s)
            for (int c = 1; c <= 3; ++c)
                for (int r = 1; r <= 3; ++r) tnodalmatrices(r, c, s, i) = ti[(r - 1) + 3 * (c - 1) + 9 * (s - 1)];
        for (int c = 1; c <= 3; ++c)
            for (int r = 1; r <= 3; ++r) tcurvmatrices(r, c, i) = t(r, c);
        elemcurvatures(1, i) = ka[0], elemcurvatures(2, i) = ka[1];
        if (!transform) continue;
        for (i32 j = 1; j <= nodes; ++j) {
            const double d[3] = {onm(j, 1) - org[0], onm(j, 2) - org[1], onm(j, 3) - org[2]};
            for (int r = 1; r <= 3; ++r)
                nodalcoords(r, j, i) = t(r, 1) * d[0] + t(r, 2) * d[1] + t(r, 3) * d[2];
        }
    }
    *lop = 0;
}

}  // extern "C"
}  // namespace vorlen::elementhandling
