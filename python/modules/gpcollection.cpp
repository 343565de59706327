// Python signatures of module gpcollection: mode-independent ply criteria and resin criteria.
#include "bind.hpp"
#include "failure/gpcollection.hpp"

namespace {
using namespace vorlen::py;
using namespace vorlen::gpcollection;

const Fragment gpcollection("gpcollection", 10, {
    routine<GPMaxNominal>("gpmaxnominal", {"out d rgp", "in d s11", "in d xt11", "in d xc11"}),
    routine<GPQuadNominal>("gpquadnominal", {"out d rgp", "in d s11", "in d s12", "in d s13",
        "in d xt11", "in d x12", "in d x13"}),
    routine<GPLinInteraction>("gplininteraction", {"out d rgp", "in d s11", "in d s22",
        "in d s12", "in d xt11", "in d xc11", "in d xt22", "in d xc22", "in d x12"}),
    routine<GPQuadInteraction>("gpquadinteraction", {"out d rgp", "in d s11", "in d s22",
        "in d s12", "in d xt11", "in d xc11", "in d xt22", "in d xc22", "in d x12"}),
    routine<GPYamadaSunInteraction>("gpyamadasuninteraction", {"out d rgp", "in d s11",
        "in d s12", "in d s13", "in d xt11", "in d xc11", "in d x12", "in d x13"}),
    routine<GPNorrisInteraction>("gpnorrisinteraction", {"out d rgp", "in d s11", "in d s22",
        "in d s12", "in d xt11", "in d xc11", "in d xt22", "in d xc22", "in d x12"}),
    routine<GPPolynomial>("gppolynomial", {"out d rgp", "in d s11", "in d s22", "in d s33",
        "in d s12", "in d s13", "in d s23", "in d xt11", "in d xc11", "in d xt22", "in d xc22",
        "in d xt33", "in d xc33", "in d x12", "in d x13", "in d x23", "opt d xint = 0.0",
        "opt i ptype = 0"}),
    routine<GPPolyCamanho>("gppolycamanho", {"out d rgp", "in d s11", "in d s22", "in d s33",
        "in d s12", "in d s13", "in d s23", "in d xt11", "in d xc11", "in d xt22", "in d xc22",
        "in d x12", "in d x13", "in d x23", "opt d xint = 1.5", "opt i ptype = 0"}),
    routine<GPDruckerPrager>("gpdruckerprager", {"in d stress(6)", "in d xt", "in d xc",
        "inout d d", "inout d di1"}),
    routine<GPBauwens>("gpbauwens", {"in d stress(6)", "in d xt", "in d xc", "inout d d"}),
    routine<GPRaghava>("gpraghava", {"in d stress(6)", "in d xt", "in d xc", "out d d"}),
    routine<GPHa>("gpha", {"in d stress(6)", "in d xt", "in d xc", "in d np", "out d d",
        "out d di1", "out d dmises", "out d i1cr", "out d misescr", "out d life"}),
});
}  // namespace
