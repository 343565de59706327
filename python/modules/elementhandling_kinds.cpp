// Signatures of module elementhandling: element kinds, registration, nodal coordinates and
// motion per element, and helpers on nodal data.
#include "bind.hpp"
#include "elements/elementhandling_kinds.hpp"

namespace {
using namespace vorlen::py;
using namespace vorlen::elementhandling;

const Fragment kinds("elementhandling", 20, {
    routine<elementhandling_getabqelementkind>("getabqelementkind", {
        "out i getabqelementkind", "in s* elemtype", "hide i lelemtype = size(elemtype)"}),
    routine<elementhandling_getabqelementconnectivity>("getabqelementconnectivity", {
        "opt,out i iele", "in i connectivity(nconnect)", "in i elemid", "in s* elemtype",
        "opt i nconnect", "hide i lelemtype = size(elemtype)"}),
    routine<GetNodalCoordinates>("getnodalcoordinates", {"in d coordnp(ncoord,nblock)",
        "in i nodeid(nblock)", "opt i ncoord", "opt i nblock"}),
    routine<GetNodesMotion>("getnodesmotion", {"in d ntraction(3,nblock)",
        "in d nrotation(ndim,nblock)", "in i nodeid(nblock)", "opt i ndim", "opt i nblock",
        "opt d defreal = 1.7976931348623157e+308"}),
    routine<ShellTractionTransformation>("shelltractiontransformation", {"inout d ntrac(3)",
        "inout d nrot(ndim)", "in d ti(3,3)", "in d tcurv(3,3)", "opt i ndim"}),
    routine<GetDisplacementVector>("getdisplacementvector", {"out d u(40)",
        "in d nmotion(mdof,inodes)", "opt i inodes", "opt i mdof"}),
    routine<GetCenterNodes>("getcenternodes", {"out d center(ndim,npt)",
        "in d vertices(ndim,npt)", "opt i ndim", "opt i npt"}),
    routine<GetNodalPatch>("getnodalpatch", {"inout d nodalpatch(3,npt)",
        "in d nodalcoords(3,nnodes,nelem)", "in i elemnodes(nnodes,nelem)", "in i elemid",
        "opt i npt", "opt i nnodes", "opt i nelem", "opt d tolerance = 1e-10",
        "opt i exflag = 0", "opt i ntree = 1", "opt i recursion = 0"}),
    routine<GetDataFromPatch>("getdatafrompatch", {"out d patchdata(ndata,npt)",
        "in d refdata(ndata,nnodes,nelem)", "in d patchcoords(ndim,npt)",
        "in d refcoords(ndim,nnodes,nelem)", "opt i ndata", "opt i npt", "opt i ndim",
        "opt i nnodes", "opt i nelem", "opt d tolerance = 1e-10"}),
});
}  // namespace
