// Python signatures of the golden-section and sweep search of module math.
#include "bind.hpp"
#include "core/math_goldensearch.hpp"

namespace {
using namespace vorlen::py;
using namespace vorlen::math;

const Fragment goldensearch("math", 90, {
    routine<IniGoldenSearch>("inigoldensearch", {"out d x(npoints)", "out d y(npoints)",
        "out d xmove(4)", "out d lplimits(2)", "out i incr", "out i subcall", "out b golden",
        "out b finish", "in d xlow", "in d xup", "in d dx", "in i gsflag", "in i npoints"}),
    routine<GSSAFE>("gssafe", {"inout d xi", "inout d yi", "in d dx", "inout d x(npoints)",
        "inout d y(npoints)", "inout d xmove(4)", "inout d ymove(4)", "inout d lplimits(2)",
        "inout i xdir", "inout i increment", "inout i proc", "inout b isgolden",
        "inout b update", "inout b finish", "in d defaultvalue", "opt i npoints"}),
    routine<GetNextFromGoldenSearch>("getnextfromgoldensearch", {"out d xnext", "out d dx",
        "in,out d x(npoints)", "in d y(npoints)", "in,out d xmove(4)", "in,out d ymove(4)",
        "in,out i xdir", "in,out i increment", "opt i npoints"}),
    routine<GetMaximumFromGoldenSearch>("getmaximumfromgoldensearch", {"out d xmax",
        "in d y(npoints)", "in d xmove(4)", "in d ymove(4)", "in d defaultvalue", "in i xdir",
        "in i increment", "opt i npoints"}),
});

}  // namespace
