// Signatures of module lamina: rotated stresses, traction vectors and arbitrary bases.
#include "bind.hpp"
#include "materials/lamina_rotated.hpp"

namespace {
using namespace vorlen::py;
using namespace vorlen::lamina;

const Fragment lamina_rotated("lamina", 60, {
    routine<GetRotatedStresses>("getrotatedstresses", {"out d sv(6)", "in d theta_r",
        "in d nrot(3)", "in d s11", "in d s22", "in d s33", "in d s12", "in d s13", "in d s23",
        "opt i soutflag = 0"}),
    routine<GetTVectorFromArbitraryRotation>("gettvectorfromarbitraryrotation", {"out d tv(3)",
        "in d theta_r", "in d nrot(3)", "in d s11", "in d s22", "in d s33", "in d s12",
        "in d s13", "in d s23", "opt i tflag = 3"}),
    routine<GetTVectorOnRotatedXYPlane>("gettvectoronrotatedxyplane", {"out d tv(3)",
        "in d theta_r", "in d s22", "in d s33", "in d s12", "in d s13", "in d s23"}),
    routine<GetPhiMeasuredFromXZPlane>("getphimeasuredfromxzplane", {"out d phixz",
        "in d phixy", "in b clockwise"}),
    routine<GetArbitraryBaseSC>("getarbitrarybasesc", {"out d scbase(6,6)", "in d sc(6,6)",
        "in d base(3,3)", "in i scflag", "in i ntflag"}),
});
}  // namespace
