// Signatures of module toplevel: truss and impactor user elements (UEL, VUEL).
#include "bind.hpp"
#include "solver/toplevel_elements.hpp"

namespace {
using namespace vorlen::py;
using namespace vorlen::toplevel;

// The UEL list up to PERIOD.
#define TOPLEVEL_ELEMENTS_UEL                                                                  \
    "out d rhs(mlvarx,nrhs)", "out d amatrx(ndofel,ndofel)", "in,out d svars(nsvars)",         \
        "in,out d energy(8)", "opt i ndofel", "in i nrhs", "opt i nsvars", "in d props(nprops)", \
        "opt i nprops", "in d coords(mcrd,nnode)", "opt i mcrd", "opt i nnode",                 \
        "in d u(ndofel)", "in d du(mlvarx,*)", "in d v(ndofel)", "in d a(ndofel)", "in i jtype", \
        "in d time(2)", "in d dtime", "in i kstep", "in i kinc", "in i jelem",                  \
        "in d params(3)", "in i ndload", "in i jdltyp(mdload,*)", "in d adlmag(mdload,*)",      \
        "in d predef(2,npredf,nnode)", "opt i npredf", "in i lflags(*)", "opt i mlvarx",        \
        "in d ddlmag(mdload,*)", "opt i mdload", "in,out d pnewdt", "in i jprops(njprop)",      \
        "opt i njprop", "in d period"
// The VUEL list up to ADLMAG.
#define TOPLEVEL_ELEMENTS_VUEL                                                                 \
    "opt i nblock", "out d rhs(nblock,ndofel)", "out d amass(nblock,ndofel,ndofel)",            \
        "out d dtimestable(nblock)", "out d svars(nblock,nsvars)", "in i nsvars",               \
        "out d energy(nblock,12)", "opt i nnode", "opt i ndofel", "in d props(nprops)",          \
        "opt i nprops", "in i jprops(njprops)", "opt i njprops", "in d coords(nblock,nnode,ncrd)", \
        "opt i ncrd", "in d u(nblock,ndofel)", "in d du(nblock,ndofel)",                         \
        "in d v(nblock,ndofel)", "in d a(nblock,ndofel)", "in i jtype", "in i jelem(nblock)",    \
        "in d time(2)", "in d period", "in d dtimecur", "in d dtimeprev", "in i kstep",          \
        "in i kinc", "in i lflags(3)", "in d dmassscalefactor(nblock)",                          \
        "in d predef(nblock,nnode,npredef)", "opt i npredef", "in i jdltyp",                     \
        "in d adlmag(nblock)"

const Fragment toplevel_elements("toplevel", 40, {
    routine<toplevel_uel_truss>("uel_truss", {TOPLEVEL_ELEMENTS_UEL}),
    routine<toplevel_vuel_truss>("vuel_truss", {TOPLEVEL_ELEMENTS_VUEL}),
    routine<toplevel_uel_impact>("uel_impact", {TOPLEVEL_ELEMENTS_UEL, "in,out d cprops(20)"}),
    routine<toplevel_vuel_impact>("vuel_impact", {TOPLEVEL_ELEMENTS_VUEL,
        "in,out d cprops(20)"}),
});

}  // namespace
