// Signatures of module laminate: effective three-dimensional stiffness of ply stacks.
#include "bind.hpp"
#include "materials/laminate_effective.hpp"

namespace {
using namespace vorlen::py;
using namespace vorlen::laminate;

const Fragment laminate_effective("laminate", 50, {
    routine<GetVoigtEffectiveStiffness>("getvoigteffectivestiffness", {"out d cvoigt(6,6)",
        "in d volratios(nvols)", "in d rotatedstiffnessmatrices(6,6,nvols)", "opt i nvols"}),
    routine<GetReussEffectiveStiffness>("getreusseffectivestiffness", {"out d creuss(6,6)",
        "in d volratios(nvols)", "in d rotatedstiffnessmatrices(6,6,nvols)", "opt i nvols"}),
    routine<GetChouEffectiveStiffness>("getchoueffectivestiffness", {"out d chou(6,6)",
        "in d volratios(nvols)", "in d rotatedstiffnessmatrices(6,6,nvols)", "opt i nvols"}),
    routine<GetSunEffectiveStiffness>("getsuneffectivestiffness", {"out d csun(6,6)",
        "in d volratios(nvols)", "in d rotatedstiffnessmatrices(6,6,nvols)", "opt i nvols"}),
    routine<GetHenryEffectiveStiffness>("gethenryeffectivestiffness", {"out d chenry(6,6)",
        "in d volratios(nvols)", "in d rotatedstiffnessmatrices(6,6,nvols)", "opt i nvols"}),
});
}  // namespace
