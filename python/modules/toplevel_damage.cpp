// Signatures of module toplevel: damage field variables (USDFLD, VUSDFLD).
#include "bind.hpp"
#include "solver/toplevel_damage.hpp"

namespace {
using namespace vorlen::py;
using namespace vorlen::toplevel;

const Fragment toplevel_damage("toplevel", 30, {
    routine<toplevel_gen_damage>("gen_damage", {"in,out d field(nfield)",
        "in,out d statev(nstatv)", "in d tdirect(3,3)", "in d t(3,3)", "in d celent",
        "in d time(2)", "in d dtime", "in s80 cmname", "opt i nfield", "opt i nstatv",
        "in i noel", "in i npt", "in i layer", "in i kspt", "in i kstep", "in i kinc",
        "in d coord(3)",
        "opt d table(16) = (-1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1)"}),
    routine<toplevel_usdfld_dmg>("usdfld_dmg", {"in,out d field(nfield)",
        "in,out d statev(nstatv)", "in,out d pnewdt", "in d tdirect(3,3)", "in d t(3,3)",
        "in d celent", "in d time(2)", "in d dtime", "in s80 cmname", "in s80 orname",
        "opt i nfield", "opt i nstatv", "in i noel", "in i npt", "in i layer", "in i kspt",
        "in i kstep", "in i kinc", "in i ndi", "in i nshr", "in d coord(3)", "in i jmac(*)",
        "in i jmatyp(*)", "in i matlayo", "in i laccfla", "opt i threadid = 0"}),
    routine<toplevel_vusdfld_dmg>("vusdfld_dmg", {"opt i nblock", "opt i nstatev",
        "opt i nfieldv", "opt i nprops", "in i ndir", "in i nshr", "in i jelem(nblock)",
        "in i kintpt", "in i klayer", "in i ksecpt", "in i kstep", "in d temp(nblock)",
        "in d steptime", "in d totaltime", "in d dt", "in s80 cmname", "in d coordmp(nblock,3)",
        "in d tdirect(nblock,3,3)", "in d t(nblock,3,3)", "in d charlength(nblock,3)",
        "in d props(nprops)", "in d stateold(nblock,nstatev)",
        "in d stressold(nblock,ndir+nshr)", "in d strainold(nblock,ndir+nshr)",
        "out d statenew(nblock,nstatev)", "in,out d field(nblock,nfieldv)",
        "opt i threadid = 0"}),
});
}  // namespace
