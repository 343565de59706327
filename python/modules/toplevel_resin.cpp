// Signatures of module toplevel: impact sensor, hail ice, woven-ply fatigue and resin material
// routines.
#include "bind.hpp"
#include "modules/toplevel_lists.hpp"
#include "solver/toplevel_resin.hpp"
#include "solver/toplevel_sensor.hpp"
#include "solver/toplevel_woven.hpp"

namespace {
using namespace vorlen::py;
using namespace vorlen::toplevel;

const Fragment toplevel_resin("toplevel", 50, {
    routine<toplevel_umat_sensor>("umat_sensor", umat_items({"in i kinc", "in i stepid",
            "in d cprops(20)", "in,out d dprops(12)"})),
    routine<toplevel_vumat_sensor>("vumat_sensor", vumat_items("in d charlength(nblock)",
            "in,out d straininc(nblock,ndir+nshr)", {"in i stepid", "in d cprops(20)",
            "in,out d dprops(12)"})),
    routine<toplevel_umat_hail>("umat_hail", umat_items({"in i jstep(4)", "in i kinc"})),
    routine<toplevel_umat_shokrieh>("umat_shokrieh", umat_items("out d ddsdde(ntens,ntens)",
            "in,out d statev(nallstatv)", "in s80 materl", "opt i nallstatv", {"in i jstep(4)",
            "in i kinc"})),
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

}  // namespace
