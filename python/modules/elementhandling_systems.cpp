// Signatures of module elementhandling: element and nodal coordinate systems.
#include "bind.hpp"
#include "elements/elementhandling_systems.hpp"

namespace {
using namespace vorlen::py;
using namespace vorlen::elementhandling;

const Fragment systems("elementhandling", 60, {
    routine<GetNodalShape>("getnodalshape", {"out d nshape(inodes,6)", "in i locnode",
                                             "in i inodes"}),
    routine<GetNodalTransformation>("getnodaltransformation", {"out d ti(3,3,8)", "in d on(8,3)",
                                                               "in i inodes"}),
    routine<GetSectionRefOrientation>("getsectionreforientation", {"out d theta", "in d so(3)",
        "in d nvector(3)", "in d r12(3)"}),
    routine<GetElementTransformation>("getelementtransformation", {"out d tcurv(3,3)",
        "out d origin(3)", "out d kappa(2)", "in d on(8,3)", "in d refdir(7)", "in i inodes"}),
    routine<GetNodeReferenceData>("getnodereferencedata", {"out i lop", "opt i tflag = 0"}),
});
}  // namespace
