// Signatures of module elementhandling: element-space conversions and element lengths.
#include "bind.hpp"
#include "elements/elementhandling_conversions.hpp"

namespace {
using namespace vorlen::py;
using namespace vorlen::elementhandling;

const Fragment conversions("elementhandling", 40, {
    routine<Get3DInputFromElem>("get3dinputfromelem", {"out d stress3d(6)", "out d strain3d(6)",
        "out d dstrain3d(6)", "in d stress_nye(ncomp)", "in d strain_nye(ncomp)",
        "in d dstrain_nye(ncomp)", "opt i ncomp", "opt d transverse(6) = (0, 0, 0, 0, 0, 0)",
        "opt i itnsflag = 0", "opt i itshrflag = 0", "opt b isaxial = 0"}),
    routine<Get3DStressFromPlaneStress>("get3dstressfromplanestress", {"in d stress(3)",
        "in d stran(3)", "in d dstran(3)", "in d transverse(6)", "out d stress3d(6)",
        "out d stran3d(6)", "out d dstran3d(6)", "in i itnsflag", "in i itshrflag"}),
    routine<Get3DStressFromPlaneStrain>("get3dstressfromplanestrain", {"in d stress(4)",
        "in d stran(4)", "in d dstran(4)", "out d stress3d(6)", "out d stran3d(6)",
        "out d dstran3d(6)", "in b isaxial"}),
    routine<Get3DStressFromHex>("get3dstressfromhex", {"in d stress(6)", "in d stran(6)",
        "in d dstran(6)", "out d stress3d(6)", "out d stran3d(6)", "out d dstran3d(6)"}),
    routine<GetElemOutputFrom3D>("getelemoutputfrom3d", {"out d stresselem(n)",
        "out d tangentelem(n,n)", "in d stress3d(6)", "in d tangent3d(6,6)", "in i n",
        "opt b isaxial = 0"}),
    routine<GetPlaneStressOutputFrom3D>("getplanestressoutputfrom3d", {"out d stressps(3)",
        "out d tangentps(3,3)", "in d stress3d(6)", "in d tangent3d(6,6)"}),
    routine<GetPlaneStrainOutputFrom3D>("getplanestrainoutputfrom3d", {"out d stresspl(4)",
        "out d tangentpl(4,4)", "in d stress3d(6)", "in d tangent3d(6,6)",
        "opt b isaxial = 0"}),
    routine<GetHexOutputFrom3D>("gethexoutputfrom3d", {"out d stresshex(6)",
        "out d tangenthex(6,6)", "in d stress3d(6)", "in d tangent3d(6,6)"}),
    routine<GetPlaneStressEpsZZ>("getplanestressepszz", {"out d getplanestressepszz",
        "in d e33", "in d nu31", "in d nu32", "in d s11", "in d s22"}),
    routine<GetHex8ElemLength>("gethex8elemlength", {"out d elemlength(3)", "in d matcos(3,3)",
        "in d nodalcoord(3,8)"}),
    routine<GetQuad4ElemLength>("getquad4elemlength", {"out d elemlength(3)",
        "in d tdirect(3,3)", "in d nodalcoord(3,4)"}),
    routine<GetTruss3ElemLength>("gettruss3elemlength", {"out d elemlength",
        "in d nodalcoord(3,2)"}),
    routine<GetTruss3TransformationMatrix>("gettruss3transformationmatrix", {"out d te(2,6)",
        "in d nodalcoord(3,2)"}),
});
}  // namespace
