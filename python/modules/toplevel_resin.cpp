// Signatures of module toplevel: impact sensor, hail ice, woven-ply fatigue and resin material
// routines.
#include "bind.hpp"
#include "modules/toplevel_usermat.hpp"
#include "solver/toplevel_resin.hpp"
#include "solver/toplevel_sensor.hpp"
#include "solver/toplevel_woven.hpp"

namespace {
using namespace vorlen::py;
using namespace vorlen::toplevel;

#define TOPLEVEL_SENSOR_UMAT_HEAD                                                              \
    "in,out d stress(ntens)", "in,out d statev(nstatv)", "out d ddsdde(ntens,ntens)",          \
        "in,out d sse", "in,out d spd", "in,out d scd", "inout d rpl", "inout d ddsddt(ntens)", \
        "inout d drplde(ntens)", "inout d drpldt", "in d stran(ntens)", "in d dstran(ntens)",  \
        "in d time(2)", "in d dtime", "in d temp", "in d dtemp", "in d predef(1)",             \
        "in d dpred(1)", "in s80 materl", "in i ndi", "in i nshr", "opt i ntens",              \
        "opt i nstatv", "in d props(nprops)", "opt i nprops", "in d coords(3)",                \
        "in d drot(3,3)", "in,out d pnewdt", "in d celent", "in d dfgrd0(3,3)",                \
        "in d dfgrd1(3,3)", "in i noel", "in i npt", "in i kslay", "in i kspt"

const Fragment toplevel_resin("toplevel", 50, {
    routine<toplevel_umat_sensor>("umat_sensor", {TOPLEVEL_SENSOR_UMAT_HEAD, "in i kinc",
        "in d stepid", "in d cprops(20)", "in,out d dprops(12)"}),
    routine<toplevel_vumat_sensor>("vumat_sensor", {"opt i nblock", "in i ndir", "in i nshr",
        "opt i nstatev", "opt i nfieldv", "opt i nprops", "in i lanneal", "in d steptime",
        "in d totaltime", "in d dt", "in s80 cmname", "in d coordmp(nblock,*)",
        "in d charlength(nblock)", "in d props(nprops)", "in d density(nblock)",
        "in,out d straininc(nblock,ndir+nshr)", "in d relspininc(nblock,*)",
        "in d tempold(nblock)", "in d stretchold(nblock,*)", "in d defgradold(nblock,*)",
        "in d fieldold(nblock,nfieldv)", "in d stressold(nblock,ndir+nshr)",
        "in d stateold(nblock,nstatev)", "in d enerinternold(nblock)",
        "in d enerinelasold(nblock)", "in d tempnew(nblock)", "in d stretchnew(nblock,*)",
        "in d defgradnew(nblock,*)", "in d fieldnew(nblock,nfieldv)",
        "out d stressnew(nblock,ndir+nshr)", "out d statenew(nblock,nstatev)",
        "out d enerinternnew(nblock)", "out d enerinelasnew(nblock)", "in d stepid",
        "in d cprops(20)", "in,out d dprops(12)"}),
    routine<toplevel_umat_hail>("umat_hail", {TOPLEVEL_SENSOR_UMAT_HEAD, "in i jstep(4)",
        "in i kinc"}),
    routine<toplevel_umat_shokrieh>("umat_shokrieh", {"in,out d stress(ntens)",
        "in,out d statev(nallstatv)", "out d ddsdde(ntens,ntens)", "in,out d sse",
        "in,out d spd", "in,out d scd", "inout d rpl", "inout d ddsddt(ntens)",
        "inout d drplde(ntens)", "inout d drpldt", "in d stran(ntens)", "in d dstran(ntens)",
        "in d time(2)", "in d dtime", "in d temp", "in d dtemp", "in d predef(1)",
        "in d dpred(1)", "in s80 materl", "in i ndi", "in i nshr", "opt i ntens",
        "opt i nallstatv", "in d props(nprops)", "opt i nprops", "in d coords(3)",
        "in d drot(3,3)", "in,out d pnewdt", "in d celent", "in d dfgrd0(3,3)",
        "in d dfgrd1(3,3)", "in i noel", "in i npt", "in i kslay", "in i kspt",
        "in i jstep(4)", "in i kinc"}),
    routine<toplevel_usermat_shokrieh>("usermat_shokrieh", usermat_items("out d epszz")),
    routine<toplevel_umat_resin>("umat_resin", {"inout d spannung(nstresscomp)",
        "in,out d statev(nstatv)", "out d tangente(nstresscomp,nstresscomp)", "in,out d sse",
        "in,out d spd", "in,out d scd", "inout d rpl", "inout d ddsddt(nstresscomp)",
        "inout d drplde(nstresscomp)", "inout d drpldt", "in d dehnung(nstresscomp)",
        "in d ddehnung(nstresscomp)", "in d time(2)", "in d dtime", "in d temp", "in d dtemp",
        "in d predef(1)", "in d dpred(1)", "in s80 materl", "in i nnormal", "in i nshr",
        "opt i nstresscomp", "opt i nstatv", "in d props(nprops)", "opt i nprops",
        "in d coords(3)", "in d drot(3,3)", "in,out d pnewdt", "in d celent", "in d dfgrd0(3,3)",
        "in d dfgrd1(3,3)", "in i noel", "in i npt", "in i kslay", "in i kspt", "in i jstep(4)",
        "in i kinc"}),
    routine<toplevel_usermat_resin>("usermat_resin", usermat_items("out d epszz")),
});

#undef TOPLEVEL_SENSOR_UMAT_HEAD

}  // namespace
