// Signatures of module laminate: transverse shear stiffness of sections.
#include "bind.hpp"
#include "materials/laminate_shear.hpp"

namespace {
using namespace vorlen::py;
using namespace vorlen::laminate;

const Fragment laminate_shear("laminate", 30, {
    routine<GetHMatrixImprovedShear>("gethmatriximprovedshear", {"out d hext2d(2,2)",
        "in d plyelastic(9,nplies)", "in d plyorientation(nplies)", "in d plythickness(nplies)",
        "opt i nplies"}),
    routine<GetHMatrixShearCorrect>("gethmatrixshearcorrect", {"out d hshear(2,2)",
        "in d plyelastic(9,nplies)", "in d plyorientation(nplies)", "in d plythickness(nplies)",
        "opt i nplies"}),
    routine<GetShearCorrectFactors>("getshearcorrectfactors", {"out d sk(2)", "in d hlam(2,2)",
        "in d plyelastic(9,nplies)", "in d plyorientation(nplies)", "in d plythickness(nplies)",
        "opt i nplies"}),
    routine<GetHMatrixQuadrature>("gethmatrixquadrature", {"out d hquad(2,2)",
        "in d plyelastic(9,nplies)", "in d plyorientation(nplies)", "in d plythickness(nplies)",
        "opt i nplies"}),
    routine<GetSectionHMatrix>("getsectionhmatrix", {"out d sehmatrix(2,2,nsec)",
        "in i sectionlist(nplies,nsec)", "in d plyorientation(nplies,nsec)",
        "in d plythickness(nplies,nsec)", "in d plyelastic(9,nplies,nsec)", "opt i nplies",
        "opt i nsec", "opt i method = 1", "opt i defint = 2147483647"}),
});
}  // namespace
