// Signatures of module dg8: the Ritz model of an elliptic delamination, its equilibrium solve,
// energy release rate and the growth analysis.
#include "bind.hpp"
#include "delamination/dg8.hpp"

namespace {
using namespace vorlen::py;
using namespace vorlen::dg8;

const Fragment dg8("dg8", 10, {
    routine<GetStrainEnergy8>("getstrainenergy8", {"out d getstrainenergy8", "in d vec(8)",
        "in d eps(3)", "in d a", "in d b", "in d abd(6,6)"}),
    routine<GetF8>("getf8", {"out d f(8)", "in d vec(8)", "in d eps(3)", "in d g0",
        "in d epsbucklin", "in d a", "in d b", "in d abd(6,6)", "in b w"}),
    routine<GetdF8>("getdf8", {"out d df(64)", "in d vec(8)", "in d eps(3)", "in d g0", "in d a",
        "in d b", "in d abd(6,6)", "in b w"}),
    routine<GetContactEnergy8>("getcontactenergy8", {"out d getcontactenergy8", "in d vec(8)",
        "in d a", "in d b", "in d kmd", "in i nk"}),
    routine<GetAreaOfOverlap8>("getareaofoverlap8", {"out d getareaofoverlap8", "in d vec(8)",
        "in d a", "in d b", "in i nk"}),
    routine<GetKdfKf8>("getkdfkf8", {"out d km(4,4)", "out d kv(4)", "in d vec(8)", "in d a",
        "in d b", "in d kmd", "in i nk"}),
    routine<GetFdF8>("getfdf8", {"out d fp(8)", "out d dfp(64)", "in d vec(8)", "in d eps(3)",
        "in d g0", "in d epsbucklin", "in d a", "in d b", "in d kmd", "in d abd(6,6)", "in i nk",
        "in b w"}),
    routine<NewtonRaphson8>("newtonraphson8", {"in,out d sol(8)", "out d nrerr", "in d a",
        "in d b", "in d kmd", "in d g0", "in d epsnom", "in d epsbucklin",
        "in d relepsellipse(3)", "in d abd(6,6)", "in d tolerance", "in i maxiter", "in i nk",
        "in b w"}),
    routine<GetEnergyReleaseRate8>("getenergyreleaserate8", {"out d serr", "out d fa", "out d fb",
        "in d vec(8)", "in d a", "in d b", "in d kmd", "in d g0", "in d epsnom",
        "in d epsbucklin", "in d relepsellipse(3)", "in d abd(6,6)", "in i nk", "in b w",
        "opt d tol = 1e-15", "opt i maxiter = 100"}),
    routine<DelaminationGrowthAnalysis>("delaminationgrowthanalysis", {"out d success",
        "out d strains(3)", "in d limstrain(2)", "in d relstrain(3)",
        "in d plyelastic(9,nplies)", "in d plyorientation(nplies)", "in d plythickness(nplies)",
        "in d delamination(3)", "in i sublamstack(2)", "in d kmd", "in d gamma", "in d width",
        "in d radius", "in i ninc", "in i nprec", "opt i nplies"}),
});
}  // namespace
