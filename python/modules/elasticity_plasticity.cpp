// Python signatures of module elasticity: pressure-dependent plasticity and its gradients.
#include "bind.hpp"
#include "materials/elasticity_plasticity.hpp"

namespace {
using namespace vorlen::py;
using namespace vorlen::elasticity;

const Fragment elasticity_plasticity("elasticity", 30, {
    routine<elasticity_getstressfromplastitcity>("getstressfromplastitcity", {
        "out d stress(ntens)", "inout d neweqplasticstrain", "out d ddsdde(ntens,ntens)",
        "in d stran(ntens)", "in d dstran(ntens)", "in d props(8)", "opt i ntens", "in i ndi",
        "in i nprops", "in d temp"}),
    routine<elasticity_getderivatef>("getderivatef", {"out d getderivatef(nstress)",
        "in d stressvector(nstress)", "opt i nstress", "in d a0", "in d a1"}),
    routine<elasticity_getderivateg>("getderivateg", {"out d getderivateg(nstress)",
        "in d stressvector(nstress)", "opt i nstress", "in d alpha"}),
});

}  // namespace
