// Signatures of module lamina: ply stiffness, compliance, rotations, stress and energy updates.
#include "bind.hpp"
#include "materials/lamina_stiffness.hpp"

namespace {
using namespace vorlen::py;
using namespace vorlen::lamina;

const Fragment lamina_stiffness("lamina", 20, {
    routine<GetNyeProperties>("getnyeproperties", {"out d nyeprops(9)",
        "in d elastic(nelastic)", "opt i nelastic"}),
    routine<GetNyeStiffnessMatrix>("getnyestiffnessmatrix", {"out d c(ntens,ntens)",
        "in d props(9)", "in i ntens", "opt i psflag = 1"}),
    routine<GetNyeComplianceMatrix>("getnyecompliancematrix", {"out d s(ntens,ntens)",
        "in d props(9)", "in i ntens", "opt i psflag = 1"}),
    routine<GetGeneralizedNyeOnAxisSC>("getgeneralizednyeonaxissc", {"out d sc(ntens,ntens)",
        "in d props(nprops)", "in i ntens", "opt i nprops", "in i scflag", "opt i psflag = 1",
        "opt b ldflag = 0", "opt b unsymm = 0"}),
    routine<GetReducedNyeStiffnessMatrix>("getreducednyestiffnessmatrix", {"out d qs(3,3)",
        "in d c(6,6)", "opt i plflag = 1"}),
    routine<GetInvariantsFromReducedStiffness>("getinvariantsfromreducedstiffness",
        {"out d u(5)", "in d props(nprops)", "opt i nprops"}),
    routine<GetNyeTransformationMatrix>("getnyetransformationmatrix", {"out d t(tdim,tdim)",
        "in d rangle", "in i tdim", "in i ttype", "in i tflag"}),
    routine<GetNyeOffAxisSC>("getnyeoffaxissc", {"out d scoff(ntens,ntens)", "in d dangle",
        "in d props(9)", "in i ntens", "in i scflag"}),
    routine<GetOffAxisShearRigidMatrix>("getoffaxisshearrigidmatrix", {"out d hoff(2,2)",
        "in d g13", "in d g23", "in d dangle"}),
    routine<GetStressVector>("getstressvector", {"inout d stress(ntens)",
        "in d ddsdde(ntens,ntens)", "in d strain0(ntens)", "in d dstrain(ntens)", "in i ndi",
        "opt i ntens", "in b issekant", "in b istensor"}),
    routine<GetSpecificStrainEnergy>("getspecificstrainenergy", {"in,out d sse",
        "in d stress(ntens)", "in d stress0(ntens)", "in d strain0(ntens)",
        "in d dstrain(ntens)", "in i ndi", "opt i ntens", "in b issekant", "in b istensor"}),
});
}  // namespace
