// Python signatures of module imageprocessing: planar shape tests.
#include "bind.hpp"
#include "core/imageprocessing.hpp"

namespace {
using namespace vorlen::py;
using namespace vorlen::imageprocessing;

const Fragment shapes("imageprocessing", 10, {
    routine<GetPointOnXYPlane>("getpointonxyplane", {"out d xycoord(2)", "in d point(3)",
        "in d origin(3)", "in d xyplane(3,3)", "in d theta"}),
    routine<Ellipse>("ellipse", {"out d ellipse", "in d x", "in d y", "in d a", "in d b",
        "opt d xyorigin(2) = (0., 0.)"}),
    routine<Rectangle>("rectangle", {"out d rectangle", "in d x", "in d y", "in d a", "in d b",
        "opt d xyorigin(2) = (0., 0.)"}),
    routine<Polygon>("polygon", {"out d polygon", "in d px", "in d py", "in d xx(n)",
        "in d yy(n)", "opt i n"}),
    routine<Line>("line", {"out d line", "in d x", "in d y", "in d a(2)", "in d b(2)",
        "opt d proximity = 1e-05"}),
    routine<ProjectedPointInShape>("projectedpointinshape", {"out b projectedpointinshape",
        "in d point(3)", "in d a", "in d b", "in d theta", "in d refcoords(3)",
        "in d refcos(3,3)", "in i shapeid"}),
    routine<ProjectedPointInPolygon>("projectedpointinpolygon", {
        "out b projectedpointinpolygon", "in d point(3)", "in d xypairs(npoints,2)",
        "in d theta", "in d refcoords(3)", "in d refcos(3,3)", "opt i npoints"}),
});

}  // namespace
