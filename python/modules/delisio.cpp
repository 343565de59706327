// Signatures of module delisio: energies and load transfer of a delaminated strip, energy
// release rates, Paris-law growth histories and the strain allowables without growth.
#include "bind.hpp"
#include "delamination/delisio.hpp"

namespace {
using namespace vorlen::py;
using namespace vorlen::delisio;

const Fragment delisio("delisio", 10, {
    routine<LinearElasticEnergy>("linearelasticenergy", {"in d strain(ncomp)",
        "in d abdmatrix(ncomp,ncomp)", "in d area", "out d energy", "opt i ncomp"}),
    routine<reducedElasticEnergy>("reducedelasticenergy", {"in d strain(ncomp)",
        "in d abdin(ncomp,ncomp)", "in d area", "out d energy", "in i stresszero",
        "in i strainzero", "opt i ncomp"}),
    routine<EnergySublaminat>("energysublaminat", {"in d abd_in(6,6)", "in d dof_in(6)",
        "in d a_el", "in d b_el", "in d forces(6)", "out d energy", "out d nsub",
        "out b bstatus", "opt d buckfactor_in = 1.0", "opt d r_in = 0.0"}),
    routine<MomentumBalance>("momentumbalance", {"in d n11", "in d nsub", "in d b", "in d wr",
        "in d wl", "in d w", "in d e", "out d n_left", "out d n_right"}),
    routine<ForceTransfer>("forcetransfer", {"in d abd(6,6)", "in d abdsub(2,6,6)",
        "in d forces(3,6)", "in d nsub1in", "in d nsub2in", "in d width", "in d leftwidth",
        "in d rightwidth", "in d damagewidth", "in d w", "in d e", "out d nleft_m",
        "out d nright_m", "out d nsub1", "out d nsub2", "out d deltadof", "out d ie1_delta",
        "out d ie2_delta", "opt d r_in = 0.0"}),
    routine<EquivDisp>("equivdisp", {"in d abd(6,6)", "in d a", "in d b", "in d width",
        "in d dof(6)", "in d deltadof", "in d nleft", "in d nright", "in d l", "in d r",
        "out d deltax"}),
    routine<EnergyReleaseRate>("energyreleaserate", {"in d dof(6)", "in d abd(6,6)",
        "in d abdsub(2,6,6)", "in d a", "in d b", "in d width", "in d length",
        "in d areaclean", "in d forcecases(3,6)", "out d gx", "out d gy", "out d gy_left",
        "out d gy_right", "opt d e_in = 0.0", "opt d da_in = 1.0", "opt d db_in = 0.1",
        "opt d buckfactor_in = 1.0", "opt d r_in = 0.0"}),
    routine<sERR_delaTension>("serr_delatension", {"in d dof_r(6)", "in d a_r(3,3)",
        "in d a_dmg", "in d b_dmg", "in d l_crack_proj", "in d delta_angle", "out d serr_d_t",
        "in i dir", "opt i outer = 0"}),
    routine<fiber_tension_lefm>("fibertension_lefm", {"in d sigma11_ply", "in d b_crack",
        "in d gic", "opt i nprops", "in d props(nprops)", "out d serr_f_t"}),
    routine<GrowthRateParis>("growthrateparis", {"in d deltag", "out d dadn", "in d cf",
        "in d nf"}),
    routine<GrowthInitiationParis>("growthinitiationparis", {"inout d deltag", "inout d n",
        "in d c1", "in d c2"}),
    routine<DelaCompGrowth>("delacompgrowth", {"in d layup(nplies)", "in d tply",
        "in d indof(ndof)", "in i dela_interface", "in d props(nprops)", "in d length",
        "in d width", "in d extensdmg", "out d results(13,1+totalcycles)", "in d dmgwidth",
        "in d dmglength", "in i totalcycles", "opt i nplies", "opt i nprops", "opt i ndof",
        "opt i incyclejump = 1", "opt d instressratio = 0.1", "opt d dmgincrement_in = 0.1"}),
    routine<delaTension>("delatensiongrowth", {"in d layup(nplies)", "in d tply",
        "in d indof(ndof)", "in i ncrack", "in d props(nprops)", "in d length", "in d width",
        "in d extensdmg", "out d results(13,1000)", "in d indmgwidth", "in d indmglength",
        "in d l_crack", "in i totalcycles", "opt i nplies", "opt i nprops", "opt i ndof",
        "opt i incyclejump = 1", "opt d instressratio = 0.1", "opt d paris_ng(2) = (0.0, 0.0)"}),
    routine<Find_Allowable_nogrowth_comp>("find_allowable_nogrowth_comp", {"in d layup(nplies)",
        "in d tply", "in d extensdmg", "in d length", "in d width", "in d props(nprops)",
        "out d strainallowable", "out d forceallowables_perinterface(ninter)",
        "out d eps_th_results(ninter,6,100)", "in d dmgsizes(ninter,2)",
        "out d allowables_perinterface(ninter)", "opt i nplies", "opt i nprops", "opt i ninter",
        "opt d inincrement = -0.001", "opt d dmgincrement_in = 0.1",
        "opt d inloadcycles = 1.0"}),
    routine<Find_Allowable_nogrowth_tension>("find_allowable_nogrowth_tension", {
        "in d layup(nplies)", "in d tply", "in d extensdmg", "in d length", "in d width",
        "in d props(nprops)", "in d fibercrack(nplies)", "in d dmgsizes(ninter,2)",
        "opt i nplies", "opt i nprops", "opt i ninter", "out d allowables_perply(nplies)",
        "out d strainallowable", "out d forceallowables_perply(nplies)",
        "opt d inincrement = -0.001", "opt d inloadcycles = 0.0"}),
});
}  // namespace
