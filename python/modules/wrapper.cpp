// Signatures of module wrapper: the solver-convention converters. Each takes the material routine
// behind it as dfunc: a Python callable with that routine's Python call form (for a UMAT the form
// of toplevel.umat_lamina), or a bound routine's _cpointer. The callable writes its results into
// the arrays it is handed; only the MUESLI routine gives some of them back.
#include "bind.hpp"
#include "solver/wrapper.hpp"

namespace {
using namespace vorlen::py;
using namespace vorlen::wrapper;

// The UMAT call form: STATEV the intent of statev, SCALAR that of sse, spd, scd and pnewdt.
#define WRAPPER_UMAT_FORM(STATEV, SCALAR)                                                      \
    "in d stress(ntens), " STATEV " d statev(nstatv), in d ddsdde(ntens,ntens), "              \
    SCALAR " d sse, " SCALAR " d spd, " SCALAR " d scd, in d rpl, in d ddsddt(ntens), "        \
    "in d drplde(ntens), in d drpldt, in d stran(ntens), in d dstran(ntens), in d time(2), "   \
    "in d dtime, in d temp, in d dtemp, in d predef(1), in d dpred(1), in s80 materl, "        \
    "in i ndi, in i nshr, opt i ntens, opt i nstatv, in d props(nprops), opt i nprops, "       \
    "in d coords(3), in d drot(3,3), " SCALAR " d pnewdt, in d celent, in d dfgrd0(3,3), "     \
    "in d dfgrd1(3,3), in i noel, in i npt, in i kslay, in i kspt, in i jstep(4), in i kinc"

#define WRAPPER_IN_PLACE_UMAT "callback dfunc(" WRAPPER_UMAT_FORM("in", "inout") ")"
#define WRAPPER_IN_PLACE_NOTE                                                                  \
    "dfunc writes its results in place: the stress, statev and ddsdde into the arrays it is\n"  \
    "handed, sse, spd, scd and pnewdt into their 0-dimensional arrays. What it returns is\n"    \
    "ignored."

#define WRAPPER_UMAT_ARGS                                                                      \
    "in,out d stress(ntens)", "in,out d statev(nstatv)", "out d ddsdde(ntens,ntens)",         \
        "in,out d sse", "in,out d spd", "in,out d scd", "inout d rpl", "inout d ddsddt(ntens)",      \
        "inout d drplde(ntens)", "inout d drpldt", "in d stran(ntens)", "in d dstran(ntens)",        \
        "in d time(2)", "in d dtime", "in d temp", "in d dtemp", "in d predef(*)",             \
        "in d dpred(*)", "in s80 materl", "in i ndi", "in i nshr", "opt i ntens",              \
        "opt i nstatv", "in d props(nprops)", "opt i nprops", "in d coords(3)",                \
        "in d drot(3,3)", "in,out d pnewdt", "in d celent", "in d dfgrd0(3,3)",                \
        "in d dfgrd1(3,3)", "in i noel", "in i npt", "in i kslay", "in i kspt",                \
        "in i jstep(4)", "in i kinc"

const Fragment wrapper_converters("wrapper", 10, {
    routine<wrapper_abq_umat_to_ansys_usermat>("abq_umat_to_ansys_usermat", {
        WRAPPER_IN_PLACE_UMAT,
        "in i matid", "in i elemid", "in i kdomintpt", "in i klayer", "in i ksectpt",
        "in i ldstep", "in i isubst", "out i keycut", "in i ndirect", "in i nshear",
        "opt i ncomp", "opt i nstatev", "opt i nprop", "in d time", "in d dtime", "in d temp",
        "in d dtemp", "inout d stress(ncomp)", "inout d ustatev(nstatev)",
        "out d dsdepl(ncomp,ncomp)", "inout d sedel", "inout d sedpl", "inout d epseq",
        "in d strain(ncomp)", "in d dstrain(ncomp)", "inout d epspl(ncomp)", "in d prop(nprop)",
        "in d coords(3)", "in d var0", "in d defgrad_t(3,3)", "in d defgrad(3,3)",
        "inout d tsstif(2)", "in,out d epszz", "in d var1", "in d var2", "in d var3",
        "in d var4", "in d var5", "in d var6", "in d var7", "in d var8"},
        WRAPPER_IN_PLACE_NOTE),
    routine<wrapper_abq_umat_to_peridigm_upermat>("abq_umat_to_peridigm_upermat", {
        WRAPPER_IN_PLACE_UMAT,
        "out d stressnew(npoint,ndir+nshr)", "out d statenew(npoint,nstatev)",
        "in d stressold(npoint,ndir+nshr)", "in d stateold(npoint,nstatev)",
        "in d straininc(npoint,ndir+nshr)", "in d props(nprops)", "in d steptime",
        "in d totaltime", "in d dt", "in i matid", "opt i npoint", "in i ndir", "in i nshr",
        "opt i nstatev", "opt i nprops"},
        WRAPPER_IN_PLACE_NOTE),
    routine<wrapper_ansys_usermat_to_abq_umat>("ansys_usermat_to_abq_umat", {
        "callback dfunc(in i matid, in i elemid, in i kdomintpt, in i klayer, in i ksectpt, "
        "in i ldstep, in i isubst, inout i keycut, in i ndirect, in i nshear, opt i ncomp, "
        "opt i nstatev, opt i nprop, in d time, in d dtime, in d temp, in d dtemp, "
        "in d stress(ncomp), in d ustatev(nstatev), in d dsdepl(ncomp,ncomp), inout d sedel, "
        "inout d sedpl, inout d epseq, in d strain(ncomp), in d dstrain(ncomp), "
        "inout d epspl(ncomp), in d prop(nprop), in d coords(3), in d var0, "
        "in d defgrad_t(3,3), in d defgrad(3,3), inout d tsstif(2), inout d epszz, in d var1, "
        "in d var2, in d var3, in d var4, in d var5, in d var6, in d var7, in d var8)",
        "inout d stress(ntens)", "inout d statev(nstatv)", "out d ddsdde(ntens,ntens)",
        "inout d sse", "inout d spd", "inout d scd", "inout d rpl", "inout d ddsddt(ntens)",
        "inout d drplde(ntens)", "inout d drpldt", "in d stran(ntens)", "in d dstran(ntens)",
        "in d time(2)", "in d dtime", "in d temp", "in d dtemp", "in d predef(*)",
        "in d dpred(*)", "in s80 materl", "in i ndi", "in i nshr", "opt i ntens",
        "opt i nstatv", "in d props(nprops)", "opt i nprops", "in d coords(3)",
        "in d drot(3,3)", "inout d pnewdt", "in d celent", "in d dfgrd0(3,3)",
        "in d dfgrd1(3,3)", "in i noel", "in i npt", "in i kslay", "in i kspt",
        "in i jstep(4)", "in i kinc"},
        "dfunc writes its results in place: the stress, ustatev and dsdepl into the arrays it is\n"
        "handed, sedel into its 0-dimensional array. What it returns is ignored."),
    routine<wrapper_muesli_to_abq_umat>("muesli_to_abq_umat", {
        "callback dfunc(in i matid, " WRAPPER_UMAT_FORM("in,out", "in,out") ") partial",
        WRAPPER_UMAT_ARGS, "in i matid"},
        "dfunc writes the stress and ddsdde into the arrays it is handed and returns statev, sse,\n"
        "spd, scd and pnewdt in this order, as many of them as it gives (None gives none); those it\n"
        "leaves out keep their values (statev the values the callable wrote into its array)."),
});

#undef WRAPPER_UMAT_FORM
#undef WRAPPER_IN_PLACE_UMAT
#undef WRAPPER_IN_PLACE_NOTE
#undef WRAPPER_UMAT_ARGS

}  // namespace
