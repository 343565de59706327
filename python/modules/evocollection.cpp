// Python signatures of module evocollection: time regularisation, traction magnitude, bilinear
// evolution and the strain value of the delamination growth criterion.
#include "bind.hpp"
#include "failure/evocollection.hpp"

namespace {
using namespace vorlen::py;
using namespace vorlen::evocollection;

const Fragment evocollection("evocollection", 10, {
    routine<TimeRegularization>("timeregularization", {"in d d_old(num)", "in d d_new(num)",
        "out d d_reg(num)", "in d dt_inc", "in d reg_factor", "opt i num"}),
    routine<EquivalentQuadStressStrain>("equivalentquadstressstrain", {"in d tens(6)", "in i nn",
        "out d scaleq"}),
    routine<BiLinearEvolution>("bilinearevolution", {"in d eps", "in d eps0", "in d sig_f",
        "in d gc", "in d lc", "out d d", "in,out d eps1"}),
    routine<DGStrainRhead>("dgstrainrhead", {"out d dgstrainrhead", "in d eps_c", "in d gic",
        "in d a11", "opt d r_stiff = 0.0"}),
});
}  // namespace
