// Python signatures of module fatigue: property sets, lives, cycle jumps and the Shokrieh
// driver.
#include "bind.hpp"
#include "failure/fatigue_life.hpp"
#include "failure/fatigue_shokrieh.hpp"

namespace {
using namespace vorlen::py;
using namespace vorlen::fatigue;

const Fragment life("fatigue", 10, {
    routine<GetShokriehProperties>("getshokriehproperties", {"in d props(nprops)",
        "opt i nprops", "in d temp", "out d eprops(9)", "out d xfprops(9)", "out d epsfprops(9)",
        "out d alpha_t(6)", "out d alpha_c(6)", "out d beta_t(6)", "out d beta_c(6)",
        "out d lambda(6)", "out d gamma(6)", "out d a(6)", "out d b(6)", "out d u(6)",
        "out d v(6)", "out d eta", "out d degr_fac"}),
    routine<GetFatigueLife>("getfatiguelife", {"in d eq_min", "in d eq_max", "in d a_woehler",
        "in d exp_woehler", "in d alpha", "in d dn", "inout d nf", "inout d life", "in i noel"}),
    routine<GetFatigueLifeShokrieh>("getfatiguelifeshokrieh", {"in d sbottom_t", "in d speak_t",
        "in d sbottom_c", "in d speak_c", "in d xctratio", "in d u", "in d v", "in d a", "in d b",
        "in,out d n_f"}),
    routine<GetEquivalentFatigueStress>("getequivalentfatiguestress", {"in d stress(6)",
        "in d xt", "in d xc", "in d np", "inout d eq_stress"}),
    routine<CycleCount>("cyclecount", {"out d njimp", "in,out d n", "in d maxcycle", "in d time",
        "in d time_calc", "in d time_period", "in d njimp_min", "in d njimp_max",
        "in d njimp_zul", "in i ncycles", "in i nmaxcycles", "in i istep", "in i nstep",
        "in i jumpalgo", "in i stepflag"}),
    routine<AllowableCycleJump>("allowablecyclejump", {"in d speak", "inout d sbottom", "in d ft",
        "in d fc", "in d f0", "in d e0", "in d eps_f", "in d a", "in d b", "in d u", "in d v",
        "in d nm", "out d cjimp", "in d alpha", "in d beta", "in d gamma", "in d lambda",
        "in d x_n", "in d e_n", "in d de", "in d df", "in d degr_fac", "in d njimp_dtol"}),
});

const Fragment driver("fatigue", 20, {
    routine<GetShokrieh>("getshokrieh", {"in,out d stress(6)", "out d ddsdde(6,6)",
        "in,out d statev(77)", "in d stran(6)", "in d dstran(6)", "in d props(nprops)",
        "in d time(2)", "in d dtime", "in d temp", "in d dtemp", "opt i nprops", "in i noel",
        "in i kstep(4)", "in i kinc", "in i iszflag", "in i idcflag",
        "in,out d statev_backup(77)"}),
});
}  // namespace
