// Planar shape tests of module imageprocessing.
#include "core/imageprocessing.hpp"

#include <algorithm>
#include <cmath>

#include "core/math_geometry.hpp"
#include "core/math_norms.hpp"
#include "core/math_products.hpp"
#include "core/utility_search.hpp"

namespace vorlen::imageprocessing {
namespace {

constexpr double kDegree = 0.017453292519943295;  // pi/180
constexpr double kOrigin[2] = {0.0, 0.0};

// The measure lies in [0, 1].
lgl inside(double measure) {
    const double lo = 0.0, hi = 1.0;
    return utility::fBounded(&measure, &lo, &hi);
}

}  // namespace

extern "C" {

void GetPointOnXYPlane(double* xycoord, const double* point, const double* origin,
                       const double* xyplane, const double* theta) {
    const i32 three = 3;
    const double *nx = xyplane, *ny = xyplane + 3, *nz = xyplane + 6;
    const double angle = *theta * kDegree;
    double d[3], dp[3], turned[3], v[3], t[9], r[9];
    math::GetABVector(d, origin, point, &three);
    math::CoordinateProjection(nx, ny, d, dp, nullptr);
    // Turning the axes by theta about nz is turning d by -theta before it is expressed in them.
    math::GetRotationMatrix(r, nz, &angle);
    math::VectorMatrixProduct(dp, r, turned, &three, &three);
    math::GetTransformationMatrix(t, nx, ny, nz);
    math::MatrixVectorProduct(t, turned, v, &three, &three);
    xycoord[0] = v[0];
    xycoord[1] = v[1];
}

double Ellipse(const double* x, const double* y, const double* a, const double* b,
               const double* xyorigin) {
    const double* o = xyorigin ? xyorigin : kOrigin;
    const double u = (*x - o[0]) / *a, v = (*y - o[1]) / *b;
    return u * u + v * v;
}

double Rectangle(const double* x, const double* y, const double* a, const double* b,
                 const double* xyorigin) {
    const double* o = xyorigin ? xyorigin : kOrigin;
    const double u = std::abs(*x - o[0]) / std::abs(*a), v = std::abs(*y - o[1]) / std::abs(*b);
    return std::isnan(v) || v > u ? v : u;
}

double Polygon(const double* px, const double* py, const double* xx, const double* yy,
               const i32* n) {
    const i32 nn = *n;
    double inout = -1.0;
    for (i32 i = 0; i < nn; ++i) {
        const i32 j = i + 1 < nn ? i + 1 : 0;
        const double xi = xx[i] - *px, yi = yy[i] - *py, xj = xx[j] - *px, yj = yy[j] - *py;
        const bool mx = xi >= 0.0, nx = xj >= 0.0, my = yi >= 0.0, ny = yj >= 0.0;
        if ((!my && !ny) || (!mx && !nx) || (mx && nx)) continue;
        if (my && ny) {
            inout = -inout;
            continue;
        }
        const double c = (yi * xj - xi * yj) / (xj - xi);
        if (c == 0.0) return 0.0;  // on the edge
        if (c > 0.0) inout = -inout;
    }
    return inout > 0.0 ? 0.0 : -1.0;
}

double Line(const double* x, const double* y, const double* a, const double* b,
            const double* proximity) {
    const i32 two = 2;
    const double tol = proximity ? *proximity : 1e-5;
    const double p[2] = {*x, *y};
    double ab[2], ap[2];
    math::GetABVector(ab, a, b, &two);
    math::GetABVector(ap, a, p, &two);
    const double len = math::VectorNorm(ab, &two);
    const double t = math::ScalarProjection(ap, ab, &two);  // NaN for a = b
    const double h = math::EuclideanDistance(a, p, &two);
    double dist;
    if (t > 0.0 && t < len)
        dist = std::sqrt(std::max(h * h - t * t, 0.0));  // rounding may take it below 0
    else if (t <= 0.0)
        dist = h;
    else
        dist = math::EuclideanDistance(b, p, &two);
    if (dist <= tol) return h > 0.0 ? dist / h : 0.0;  // h = 0: p is the start point
    return dist + 1.0;
}

lgl ProjectedPointInShape(const double* point, const double* a, const double* b,
                          const double* theta, const double* refcoords, const double* refcos,
                          const i32* shapeid) {
    const double s = std::max(*a, *b);
    double uv[2];
    GetPointOnXYPlane(uv, point, refcoords, refcos, theta);
    switch (*shapeid) {
    case 0:
        return inside(Ellipse(&uv[0], &uv[1], &s, &s, nullptr));
    case 2:
        return inside(Rectangle(&uv[0], &uv[1], &s, &s, nullptr));
    case 3:
        return inside(Rectangle(&uv[0], &uv[1], a, b, nullptr));
    default:
        return inside(Ellipse(&uv[0], &uv[1], a, b, nullptr));
    }
}

lgl ProjectedPointInPolygon(const double* point, const double* xypairs, const double* theta,
                            const double* refcoords, const double* refcos, const i32* npoints) {
    double uv[2];
    GetPointOnXYPlane(uv, point, refcoords, refcos, theta);
    const i64 rows = *npoints > 0 ? *npoints : 0;
    return inside(Polygon(&uv[0], &uv[1], xypairs, xypairs + rows, npoints));
}
}
}  // namespace vorlen::imageprocessing
