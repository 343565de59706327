// Signatures of module toplevel: job and per-point hooks (SDVINI, UVARM, VUCHARLENGTH, VDISP,
// MPC).
#include "bind.hpp"
#include "solver/toplevel_hooks.hpp"

namespace {
using namespace vorlen::py;
using namespace vorlen::toplevel;

const Fragment toplevel_hooks("toplevel", 6, {
    routine<toplevel_gen_sdvini>("gen_sdvini", {"in,out d statev(nstatv)", "in d coords(ncrds)",
        "opt i nstatv", "opt i ncrds", "in i noel", "in i npt", "in i layer", "in i kspt"}),
    routine<toplevel_uvarm_report>("uvarm_report", {"in,out d uvar(nuvarm)",
        "in d tdirect(3,3)", "in d t(3,3)", "in d time(2)", "in d dtime", "in s80 cmname",
        "in s80 orname", "opt i nuvarm", "in i noel", "in i npt", "in i layer", "in i kspt",
        "in i kstep", "in i kinc", "in i ndi", "in i nshr", "in d coord(3)", "in i jmac(*)",
        "in i jmatyp(*)", "in i matlayo", "in i laccfla"}),
    routine<toplevel_vucharlength_cel>("vucharlength_cel", {"opt i nblock", "opt i nfieldv",
        "opt i nprops", "in i ncomp", "opt i ndim", "opt i nnode", "opt i nstatev",
        "in i ksecpt", "in i klayer", "in i kintpt", "in i jeltype(3)", "in i jelem(nblock)",
        "in d totaltime", "in d steptime", "in d dt", "in s80 cmname",
        "in d coordmp(nblock,ndim)", "in d coordnode(nblock,nnode,ndim)",
        "in d tdirect(nblock,3,3)", "in d t(nblock,3,3)", "in d props(nprops)",
        "in d field(nblock,nfieldv)", "in d stateold(nblock,nstatev)",
        "out d charlength(nblock,ncomp)"}),
    routine<toplevel_vdisp_nullify>("vdisp_nullify", {"opt i nblock", "opt i mdof",
        "opt i ncoord", "in i kstep", "in i kinc", "in d steptime", "in d totaltime",
        "in d dtnext", "in d dt", "in s80 cbname", "in i jbctype", "in i jdof(mdof)",
        "in i jnodeuid(nblock)", "in d amp(nblock)", "in d coordnp(ncoord,nblock)",
        "in d u(mdof,nblock)", "in d v(mdof,nblock)", "in d a(mdof,nblock)",
        "in d rf(mdof,nblock)", "in d rmass(nblock)", "in d rotaryi(3,3,nblock)",
        "inout d rval(mdof,nblock)"}),
    routine<toplevel_mpc_nullify>("mpc_nullify", {"in,out d ue(mdof)", "out d a(mdof,mdof,n)",
        "out i jdof(mdof,n)", "opt i mdof", "opt i n", "in i jtype", "in d x(6,n)",
        "in d u(maxdof,n)", "in d uinit(maxdof,n)", "opt i maxdof", "in,out i lmpc",
        "in i kstep", "in i kinc", "in d time(2)", "opt i nt", "opt i nf", "in d temp(nt,n)",
        "in d field(nf,nt,n)", "in i ltran(n)", "in d tran(3,3,n)"}),
});
}  // namespace
