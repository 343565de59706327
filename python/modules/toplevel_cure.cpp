// Signatures of module toplevel: the endochronic resin routine and the cure, expansion and
// Prony viscoelastic routines (UMAT, HETVAL, UEXPAN, USERMAT).
#include "bind.hpp"
#include "modules/toplevel_usermat.hpp"
#include "solver/toplevel_cure.hpp"
#include "solver/toplevel_krause.hpp"

namespace {
using namespace vorlen::py;
using namespace vorlen::toplevel;

#define TOPLEVEL_CURE_UMAT(state)                                                              \
    "in,out d stress(ntens)", "in,out d " state "(nstatv)", "out d ddsdde(ntens,ntens)",       \
        "in,out d sse", "in,out d spd", "in,out d scd", "inout d rpl", "inout d ddsddt(ntens)", \
        "inout d drplde(ntens)", "inout d drpldt", "in d stran(ntens)", "in d dstran(ntens)",  \
        "in d time(2)", "in d dtime", "in d temp", "in d dtemp", "in d predef(1)",             \
        "in d dpred(1)", "in s80 " state_name, "in i ndi", "in i nshr", "opt i ntens",         \
        "opt i nstatv", "in d props(nprops)", "opt i nprops", "in d coords(3)",                \
        "in d drot(3,3)", "in,out d pnewdt", "in d celent", "in d dfgrd0(3,3)",                \
        "in d dfgrd1(3,3)", "in i noel", "in i npt", "in i kslay", "in i kspt",                \
        "in i jstep(4)", "in i kinc"

const Fragment toplevel_cure("toplevel", 60, {
#define state_name "materl"
    routine<toplevel_umat_krause>("umat_krause", {TOPLEVEL_CURE_UMAT("statev")}),
#undef state_name
#define state_name "cmname"
    routine<toplevel_hetval_prony>("hetval_prony", {"in s80 cmname", "in d temp(2)",
        "in d time(2)", "in d dtime", "in,out d svar(*)", "out d flux(2)", "in d predef(1)",
        "in d dpred(1)"}),
    routine<toplevel_uexpan_prony>("uexpan_prony", {"out d expan(6)", "out d dexpandt(6)",
        "in d temp(2)", "in d time(2)", "in d dtime", "in d predef(1)", "in d dpred(1)",
        "in,out d svar(nstatv)", "in s80 cmname", "opt i nstatv", "in i noel"}),
    routine<toplevel_umat_prony>("umat_prony", {TOPLEVEL_CURE_UMAT("svar")}),
#undef state_name
    routine<toplevel_usermat_prony>("usermat_prony", usermat_items("out d epszz")),
});

#undef TOPLEVEL_CURE_UMAT

}  // namespace
