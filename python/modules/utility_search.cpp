// Python signatures of the search, selection, ranking and merging routines of module utility.
#include "bind.hpp"
#include "core/utility.hpp"

namespace {
using namespace vorlen::py;
using namespace vorlen::utility;

const Fragment search(
    "utility", 20,
    {
        routine<iFindLocation>("int_findlocation",
                               {"out i int_findlocation", "in i element", "in i array(ndim)",
                                "opt i ndim", "opt i notfound = -1"}),
        routine<fFindLocation>("real_findlocation",
                               {"out i real_findlocation", "in d element", "in d array(ndim)",
                                "opt i ndim", "opt i notfound = -1"}),
        routine<cFindLocation>("cmplx_findlocation",
                               {"out i cmplx_findlocation", "in D element", "in D array(ndim)",
                                "opt i ndim", "opt i notfound = -1"}),
        routine<iFindSubArray>("int_findsubarray",
                               {"out i int_findsubarray", "in i subarray(sdim)", "in i array(ndim)",
                                "opt i sdim", "opt i ndim", "opt i notfound = -1"}),
        routine<fFindSubArray>("real_findsubarray",
                               {"out i real_findsubarray", "in d subarray(sdim)",
                                "in d array(ndim)", "opt i sdim", "opt i ndim",
                                "opt i notfound = -1"}),
        routine<cFindSubArray>("cmplx_findsubarray",
                               {"out i cmplx_findsubarray", "in D subarray(sdim)",
                                "in D array(ndim)", "opt i sdim", "opt i ndim",
                                "opt i notfound = -1"}),

        routine<iGetPairs>("int_getpairs", {"out i ainb(n)", "in i a(n)", "in i b(n)", "opt i n"}),
        routine<fGetPairs>("real_getpairs", {"out i ainb(n)", "in d a(n)", "in d b(n)", "opt i n"}),
        routine<GetIndicesExcludingSubArray>("getindicesexcludingsubarray",
                                             {"out i indices(n)", "in i a(n)", "in i sub(nsub)",
                                              "opt i n", "opt i nsub"}),

        routine<iBounded>("int_bounded", {"out b int_bounded", "in i x", "in i xlow", "in i xup"}),
        routine<fBounded>("real_bounded",
                          {"out b real_bounded", "in d x", "in d xlow", "in d xup"}),
        routine<iSwap>("int_swap", {"in,out i a", "in,out i b"}),
        routine<fSwap>("real_swap", {"in,out d a", "in,out d b"}),
        routine<cSwap>("cmplx_swap", {"in,out D a", "in,out D b"}),
        routine<iINC>("int_inc", {"in,out i i", "opt i step = 1"}),
        routine<fINC>("real_inc", {"in,out d f", "opt d step = 1.0"}),
        routine<iInList>("int_inlist",
                         {"out b int_inlist", "in i scalar", "in i list(n)", "in i n"}),
        routine<fInList>("real_inlist",
                         {"out b real_inlist", "in d scalar", "in d list(n)", "in i n"}),
        routine<iExList>("int_exlist",
                         {"out b int_exlist", "in i scalar", "in i list(n)", "in i n"}),
        routine<fExList>("real_exlist",
                         {"out b real_exlist", "in d scalar", "in d list(n)", "in i n"}),
        routine<lXOR>("logical_xor", {"out b logical_xor", "in b a", "in b b"}),
        routine<lNOR>("logical_nor", {"out b logical_nor", "in b a", "in b b"}),
        routine<lNAND>("logical_nand", {"out b logical_nand", "in b a", "in b b"}),

        routine<iGetContinuous>("int_getcontinuous", {"in i xarr(xdim)", "opt i xdim",
                                                      "out i iloc(xdim)", "in i sflag"}),
        routine<fGetContinuous>("real_getcontinuous", {"in d xarr(xdim)", "opt i xdim",
                                                       "out i iloc(xdim)", "in i sflag"}),
        routine<iGetMerged>("int_getmerged", {"out i merged(nx+ny)", "in i x(nx)", "in i y(ny)",
                                              "opt i nx", "opt i ny", "opt i defval = 2147483647"}),
        routine<fGetMerged>("real_getmerged",
                            {"out d merged(nx+ny)", "in d x(nx)", "in d y(ny)", "opt i nx",
                             "opt i ny", "opt d defval = 1.7976931348623157e+308"}),
    });

} // namespace
