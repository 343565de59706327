// Python signatures of module degradation: the discount rules and factor tables, then the
// continuum damage models.
#include "bind.hpp"
#include "failure/degradation_discount.hpp"
#include "failure/degradation_models.hpp"

namespace {
using namespace vorlen::py;
using namespace vorlen::degradation;

const Fragment discount("degradation", 10, {
    routine<__degradation_MOD_viscouseregularisation>("viscouseregularisation", {"in d dold",
        "in d dnew", "out d dviscouse", "in d eta", "in d dt"}),
    routine<SuddenDegradation>("suddendegradation", {"in,out d degpeprops(9)",
        "in,out d degpsprops(9)", "in d peprops(9)", "in d psprops(9)", "in,out d de(6)",
        "in,out d df(9)", "in,out d g_f", "in,out d g_m", "in d ttol(2)", "in d degrfac",
        "opt d nm(6) = (-1, -1, -1, -1, -1, -1)"}),
    routine<SuddenDegradation_viscouse>("suddendegradation_viscouse", {"in,out d degpeprops(9)",
        "in,out d degpsprops(9)", "in d peprops(9)", "in d psprops(9)", "in,out d de(6)",
        "in,out d df(9)", "in,out d g_f", "in,out d g_m", "in d ttol(2)", "in d degrfac",
        "opt d nm(6) = (-1, -1, -1, -1, -1, -1)", "inout d degr_old", "in d eta", "in d dt"}),
    routine<IsotropicDegradation>("isotropicdegradation", {"in d peprops(3)", "in d d",
        "in d life", "in d degr", "out d degpeprops(3)"}),
    routine<IsotropicDegradation_viscouse>("isotropicdegradation_viscouse", {"in d peprops(3)",
        "in d d", "in d life", "in d degr", "out d degpeprops(3)", "out d degr_old", "in d eta",
        "in d dt"}, "The previous factor degr_old enters as 0."),
    routine<FalcomDegradation>("falcomdegradation", {"out d d(9)", "in d dds(10)", "in d rdisc",
        "in i degrid", "in b plyistape", "opt d fa(4) = (0.3, 0.3, 0.5, 0.5)"}),
    routine<GetNyeDegradationMatrix>("getnyedegradationmatrix", {"out d d(ntens,ntens)",
        "in d degrf(9)", "in i ntens", "opt i psflag = 1"}),
    routine<__degradation_MOD_getaccumulateddamage>("getaccumulateddamage", {
        "out d getaccumulateddamage", "in d degr(ndegr,nply)", "in d nodmg", "opt i ndegr",
        "opt i nply"}),
});

const Fragment models("degradation", 20, {
    routine<MatzenmillerDegradation>("matzenmillerdegradation", {"in d propvec(9)",
        "out d c_deg(6,6)", "in d dnorm(3)", "in d d23", "in d d13", "in d d12"}),
    routine<DegradationFromModes>("degradationfrommodes", {"opt d d_modes(9) = 0",
        "out d w_stat(9)", "in b accumulation", "out d c_deg(6,6)", "opt d moduli(9) = 1",
        "opt d vnu(3) = 0.3", "opt d effort(3) = 1"}),
    routine<BogenfeldDegradation>("bogenfelddegradation", {"out d d", "in,out d sdv(nsdv)",
        "in d svoigt(6)", "in d evoigt(6)", "in d charelemlength(3)", "in d props(nprops)",
        "in i mode", "opt i nsdv", "opt i nprops"}),
    routine<FalzonDegradationParameters>("falzondegradationparameters", {"in d stressela(6)",
        "in d strain(6)", "in d phirad", "inout d dsix(6)", "inout d epsi", "inout d epsu",
        "inout d sigi", "inout d gmix", "inout d w_matrixmode", "in d gc(4)",
        "in d charelemlength(3)"}),
    routine<TensorDegradation>("tensordegradation", {"in d csix(6,6)", "out d cdeg(6,6)",
        "in d angle_r", "in d d", "in i baseid", "in i nn"}),
});
}  // namespace
