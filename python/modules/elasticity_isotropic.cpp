// Python signatures of module elasticity: isotropic non-linear elastic stress laws.
#include "bind.hpp"
#include "materials/elasticity_isotropic.hpp"

namespace {
using namespace vorlen::py;
using namespace vorlen::elasticity;

// The argument list of a stress law (stress, strain, props, ntens, ndi, nprops).
const std::vector<const char*> stress_law = {"out d stress(ntens)", "in d strain(ntens)",
    "in d props(nprops)", "opt i ntens", "in i ndi", "opt i nprops"};

const Fragment elasticity_isotropic("elasticity", 20, {
    routine<GetStressFromNonlinearIsotropic>("getstressfromnonlinearisotropic", stress_law),
    routine<GetStressFromIsotropicViscoElasticity>("getstressfromisotropicviscoelasticity",
        stress_law),
    routine<GetLameStress>("getlamestress", {"in d spureps", "in d endstrandev(ndi,ndi)",
        "in d g", "in d komp", "out d stresstens(3,3)", "opt i ndi"}),
    routine<GetKaestnerStress>("getkaestnerstress", {"in d normdev", "in d normvol",
        "in d spureps", "in d endstrandev(ndi,ndi)", "in d g", "in d gammag", "in d gammak",
        "in d komp", "out d stresstens(3,3)", "opt i ndi"}),
    routine<GetKrauseStress>("getkrausestress", {"in d normdev", "in d normvol", "in d spureps",
        "in d endstrandev(ndi,ndi)", "in d g", "in d gammag", "in d gammak", "in d komp",
        "out d stresstens(3,3)", "opt i ndi"}),
    routine<GetStressFromNonConstPoisson>("getstressfromnonconstpoisson", {"in d normdev",
        "in d normvol", "in d spureps", "in d endstrandev(ndi,ndi)", "in d e", "in d g",
        "in d nu", "in d num", "in d gamma", "out d stresstens(3,3)", "opt i ndi"}),
    routine<GetStressFromDevVolDecomposition>("getstressfromdevvoldecomposition", {
        "out d stress(ntens)", "in d strain(ntens)", "in d props(nprops)", "opt i ntens",
        "in i ndi", "opt i nprops", "out d ddsdde(ntens,ntens)"}),
    routine<GetStressFromCubicElasticity>("getstressfromcubicelasticity", {
        "out d stress(ntens)", "in d endstran(ntens)", "in d props(nprops)", "opt i ntens",
        "in i ndi", "opt i nprops", "in d c(*)", "in i noel"}),
});

}  // namespace
