// Signatures of module damage: damage data sets.
#include "bind.hpp"
#include "failure/damage_dds.hpp"

namespace {
using namespace vorlen::py;
using namespace vorlen::damage;

const Fragment damage_dds("damage", 60, {
    routine<GetDamageFromDDS>("getdamagefromdds", {"inout d sdv(12)", "in d gpcoords(3)",
        "in d refcos(3,3)", "in i ilay", "in i isec"}),
    routine<PointInDamage>("pointindamage", {"out b pointindamage", "in d point(3)",
        "in d dmgcos(3,3)", "in d dmgorigin(3)", "in d dmgangle", "in d plyangle", "in d a",
        "in d b", "in i modeid", "in i dmgid", "in i layid", "in b skip"}),
    routine<UpdateDDS>("updatedds", {"out i ierror", "in d sdv(5)", "in d gpcoords(3)",
        "in d refcoords(3)", "in d refcos(3,3)", "in i ilay", "in i isec", "in i idmg"}),
    routine<damage_getextentofprojecteddamage>("getextentofprojecteddamage", {
        "in,out d halfaxis(2)", "in d gpcoords(3)", "in d refcoords(3)", "in d refcos(3,3)",
        "in d theta", "in d mdmg"}),
});
}  // namespace
