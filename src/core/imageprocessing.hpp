// Planar shape tests of module imageprocessing: points mapped into the local coordinates of a
// plane and measured against an ellipse, a rectangle, a polygon or a line segment. A measure
// lies in [0, 1] exactly when the point lies in the shape. Nothing is reported or allocated.
#pragma once
#include "base/view.hpp"

namespace vorlen::imageprocessing {
extern "C" {

// Local coordinates of a point in a plane whose in-plane axes are turned by theta.
//   xycoord(2) (out)    (nx'·d, ny'·d): d = point - origin projected onto the plane along
//                       nx × ny, nx' and ny' the axes nx and ny turned by theta about nz (so the
//                       identity plane at the origin gives the x and y of point for theta 0,
//                       and (y, -x) for theta 90)
//   point(3) (in)       point in space
//   origin(3) (in)      point of the plane
//   xyplane(3,3) (in)   columns nx, ny (spanning the plane) and nz (axis of the turn, normally
//                       the normal), used as given
//   theta (in)          angle in degrees
void GetPointOnXYPlane(double* xycoord, const double* point, const double* origin,
                       const double* xyplane, const double* theta);

// ((x - x0)/a)² + ((y - y0)/b)² for the ellipse with semi-axes a and b about (x0, y0).
//   x, y, a, b (in)
//   xyorigin(2) (in, optional)  (x0, y0), (0, 0) when absent
double Ellipse(const double* x, const double* y, const double* a, const double* b,
               const double* xyorigin);

// The larger of |x - x0|/|a| and |y - y0|/|b| for the rectangle with half-sides a and b about
// (x0, y0); NaN when either is NaN. Arguments as Ellipse.
double Rectangle(const double* x, const double* y, const double* a, const double* b,
                 const double* xyorigin);

// Crossing test of the ray from (px, py) in the +y direction with the closed polygon
// (xx(i), yy(i)), i = 1..n: 0.0 inside, -1.0 outside (also for n at most 0). A point on an
// edge gives 0.0 where the edge's intercept with the ray is 0; otherwise the >= 0 tests assign
// it to one side.
//   px, py (in), xx(n), yy(n) (in), n (in)
double Polygon(const double* px, const double* py, const double* xx, const double* yy,
               const i32* n);

// Distance dist of p = (x, y) from the segment from a to b (the perpendicular distance where
// the projection of p falls inside the segment, else the distance to the nearer end point).
// Within the tolerance (dist <= proximity) the result is dist/|a - p|, in [0, 1] (0 for p = a);
// outside it dist + 1.
//   x, y (in), a(2), b(2) (in)
//   proximity (in, optional)  tolerance, 1e-5 when absent
double Line(const double* x, const double* y, const double* a, const double* b,
            const double* proximity);

// Whether point, mapped by GetPointOnXYPlane(point, refcoords, refcos, theta), lies in the
// shape centred at the plane's origin: shapeid 0 the circle of radius s, 2 the square of
// half-side s (s the larger of a and b), 3 the rectangle with half-sides a and b, any other
// value the ellipse with semi-axes a and b.
lgl ProjectedPointInShape(const double* point, const double* a, const double* b,
                          const double* theta, const double* refcoords, const double* refcos,
                          const i32* shapeid);

// Whether point, mapped as for ProjectedPointInShape, lies in the polygon with vertices
// xypairs(i, 1), xypairs(i, 2), i = 1..npoints.
lgl ProjectedPointInPolygon(const double* point, const double* xypairs, const double* theta,
                            const double* refcoords, const double* refcos, const i32* npoints);
}
}  // namespace vorlen::imageprocessing
