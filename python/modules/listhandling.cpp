// Python signatures of module listhandling: the lists themselves are not Python variables.
#include "core/listhandling.hpp"
#include "bind.hpp"

namespace {
using namespace vorlen::py;
using namespace vorlen::listhandling;

const Fragment lists(
    "listhandling", 10,
    {
        routine<AllocateList>(
            "allocatelist",
            {"in i listid", "in i ifflag", "in i le", "out i ierror",
             "opt D defcmplx = (1.7976931348623157e+308, 1.7976931348623157e+308)",
             "opt d defreal = 1.7976931348623157e+308", "opt i defint = 2147483647"}),
        routine<DeallocateList>("deallocatelist", {"in i listid", "in i ifflag", "out i ierror"}),
        routine<GetAllocationStatus>("getallocationstatus",
                                     {"out b checkid", "in i listid", "in i ifflag"}),
        routine<GetSizeOfList>(
            "getsizeoflist",
            {"out i getsizeoflist", "in i listid", "in i ifflag",
             "opt D defcmplx = (1.7976931348623157e+308, 1.7976931348623157e+308)",
             "opt d defreal = 1.7976931348623157e+308", "opt i defint = 2147483647"}),
        routine<iAppendScalar2List>("int_appendscalar2list",
                                    {"in i listid", "in i scalar", "in i uniflag", "out i iresult",
                                     "opt i allocinc = 500", "opt i defval = 2147483647"}),
        routine<fAppendScalar2List>("real_appendscalar2list",
                                    {"in i listid", "in d scalar", "in i uniflag", "out i iresult",
                                     "opt i allocinc = 500",
                                     "opt d defval = 1.7976931348623157e+308"}),
        routine<cAppendScalar2List>(
            "cmplx_appendscalar2list",
            {"in i listid", "in D scalar", "in i uniflag", "out i iresult", "opt i allocinc = 500",
             "opt D defval = (1.7976931348623157e+308, 1.7976931348623157e+308)"}),
        routine<iAppendArray2List>("int_appendarray2list",
                                   {"in i listid", "in i array(narray)", "opt i narray",
                                    "in i uniflag", "out i iresult", "opt i allocinc = 500",
                                    "opt i defval = 2147483647"}),
        routine<fAppendArray2List>("real_appendarray2list",
                                   {"in i listid", "in d array(narray)", "opt i narray",
                                    "in i uniflag", "out i iresult", "opt i allocinc = 500",
                                    "opt d defval = 1.7976931348623157e+308"}),
        routine<cAppendArray2List>(
            "cmplx_appendarray2list",
            {"in i listid", "in D array(narray)", "opt i narray", "in i uniflag", "out i iresult",
             "opt i allocinc = 500",
             "opt D defval = (1.7976931348623157e+308, 1.7976931348623157e+308)"}),
        routine<iGetCopyOfList>("int_getcopyoflist", {"in i listid", "in,out i copy(ncopy)",
                                                      "opt i ncopy", "out i ierror"}),
        routine<fGetCopyOfList>("real_getcopyoflist", {"in i listid", "in,out d copy(ncopy)",
                                                       "opt i ncopy", "out i ierror"}),
        routine<cGetCopyOfList>("cmplx_getcopyoflist", {"in i listid", "in,out D copy(ncopy)",
                                                        "opt i ncopy", "out i ierror"}),
    });

}  // namespace
