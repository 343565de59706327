// Signatures of module toplevel: the endochronic resin routine and the cure, expansion and
// Prony viscoelastic routines (UMAT, HETVAL, UEXPAN, USERMAT).
#include "bind.hpp"
#include "modules/toplevel_lists.hpp"
#include "solver/toplevel_cure.hpp"
#include "solver/toplevel_krause.hpp"

namespace {
using namespace vorlen::py;
using namespace vorlen::toplevel;

const Fragment toplevel_cure("toplevel", 60, {
    routine<toplevel_umat_krause>("umat_krause", umat_items({"in i jstep(4)", "in i kinc"})),
    routine<toplevel_hetval_prony>("hetval_prony", {"in s80 cmname", "in d temp(2)",
        "in d time(2)", "in d dtime", "in,out d svar(*)", "out d flux(2)", "in d predef(1)",
        "in d dpred(1)"}),
    routine<toplevel_uexpan_prony>("uexpan_prony", {"out d expan(6)", "out d dexpandt(6)",
        "in d temp(2)", "in d time(2)", "in d dtime", "in d predef(1)", "in d dpred(1)",
        "in,out d svar(nstatv)", "in s80 cmname", "opt i nstatv", "in i noel"}),
    routine<toplevel_umat_prony>("umat_prony", umat_items("out d ddsdde(ntens,ntens)",
            "in,out d svar(nstatv)", "in s80 cmname", "opt i nstatv", {"in i jstep(4)",
            "in i kinc"})),
    routine<toplevel_usermat_prony>("usermat_prony", usermat_items("out d epszz")),
});

}  // namespace
