// Python signatures of module fbcollection: fibre failure criteria.
#include "bind.hpp"
#include "failure/fbcollection.hpp"

namespace {
using namespace vorlen::py;
using namespace vorlen::fbcollection;

const Fragment fbcollection("fbcollection", 10, {
    routine<FBChangChang>("fbchangchang", {"out d rfb", "in d s11", "in d s12", "in d xt11",
        "in d xc11", "in d x12"}),
    routine<FBHashin>("fbhashin", {"out d rfb", "in d s11", "in d s12", "in d s13", "in d xt11",
        "in d xc11", "in d x12", "in d x13", "opt d alpha = 1.0"}),
    routine<FBChristensen>("fbchristensen", {"out d rfb", "in d s11", "in d s22", "in d s33",
        "in d xt11", "in d xc11"}),
    routine<FBLaRC04>("fblarc04", {"out d rfb", "in d s11", "in d s22", "in d s33", "in d s12",
        "in d s13", "in d s23", "in d xt11", "in d xc11", "in d xt22", "in d xc22", "in d x12",
        "in d e11", "in d e22", "in d g12", "in d nu12", "opt d gc(2) = (0.0, 0.0)",
        "opt d a0 = 53.0", "opt i fcl = 0"}),
    routine<FBLaRC05>("fblarc05", {"out d rfb", "in d s11", "in d s22", "in d s33", "in d s12",
        "in d s13", "in d s23", "in d xt11", "in d xc11", "in d xt22", "in d xc22", "in d x12",
        "in d g12", "opt d a0 = 53.0", "opt d sainc = 5.0", "opt i gsflag = 0",
        "opt i fcl = 0"}),
    routine<FBLaRC05_is>("fblarc05_is", {"out d rfb", "in d s11", "in d s22", "in d s33",
        "in d s12", "in d s13", "in d s23", "in d xt11_std", "in d xc11_std", "in d xt22_std",
        "in d x23_std", "in d x12_std", "in d g12", "opt d a0 = 53.0", "opt d sainc = 5.0",
        "opt i gsflag = 0", "opt i fcl = 0",
        "opt d x_is(9) = (0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0)"}),
    routine<FBBahei>("fbbahei", {"out d rfb", "in d stressvector(nstress)", "in d xlnorm",
        "in d xtnorm", "in d xlshear", "in d xtshear", "in d mu", "opt i nstress",
        "opt,out i failmode = -1"}),
});
}  // namespace
