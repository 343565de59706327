// Module variables of the data store and their Python names.
#include "bind.hpp"

#include "base/errorhandling.hpp"
#include "base/types.hpp"
#include "core/jobdata.hpp"
#include "core/debugdata.hpp"
#include "core/materialdata.hpp"
#include "core/sectiondata.hpp"
#include "core/nodaldata.hpp"
#include "core/elementdata.hpp"
#include "core/impactdata.hpp"
#include "core/loaddata.hpp"
#include "core/damagedata.hpp"
#include "core/bukdata.hpp"
#include "core/shokriehdata.hpp"

namespace {
using namespace vorlen::py;

const Fragment types_variables("types", 0, {
    constant("cb", types_cb),
    constant("i2", types_i2),
    constant("i4", types_i4),
    constant("i8", types_i8),
    constant("sp", types_sp),
    constant("dp", types_dp),
    constant("qp", types_qp),
});
const Fragment jobdata_variables("jobdata", 0, {
    variable("stepcount", jobdata_stepcount),
    variable("nsteps", jobdata_nsteps),
    variable("solverid", jobdata_solverid),
    variable("stepid", jobdata_stepid),
    variable("processid", jobdata_processid),
    variable("jobname", jobdata_jobname),
    variable("joboutdir", jobdata_joboutdir),
    variable("jobfilepath", jobdata_jobfilepath),
});
const Fragment debugdata_variables("debugdata", 0, {
    variable("nupdate", debugdata_nupdate),
    variable("edebug", debugdata_edebug),
    variable("ndebug", debugdata_ndebug),
    variable("fdebug", debugdata_fdebug),
    variable("verbose", debugdata_verbose),
    variable("unitid", debugdata_unitid),
});
const Fragment materialdata_variables("materialdata", 0, {
    variable("modelid", materialdata_modelid),
    variable("ntempdata", materialdata_ntempdata),
    variable("nflowdata", materialdata_nflowdata),
    variable("nsecantdata", materialdata_nsecantdata),
    variable("nalpha1data", materialdata_nalpha1data),
    variable("nalpha2data", materialdata_nalpha2data),
    variable("nalpha3data", materialdata_nalpha3data),
    variable("nnormaldata", materialdata_nnormaldata),
    variable("nsheardata", materialdata_nsheardata),
    variable("matidlist", materialdata_matidlist),
    variable("pfflags", materialdata_pfflags),
    variable("peflags", materialdata_peflags),
    variable("regularization", materialdata_regularization),
    variable("temperatures", materialdata_temperatures),
    variable("pelimits", materialdata_pelimits),
    variable("peprops", materialdata_peprops),
    variable("psprops", materialdata_psprops),
    variable("pfprops", materialdata_pfprops),
    variable("phprops", materialdata_phprops),
    variable("pdprops", materialdata_pdprops),
    variable("cuprops", materialdata_cuprops),
    variable("r_crit", materialdata_r_crit),
    variable("i10", materialdata_i10),
    variable("equivalentstress", materialdata_equivalentstress),
    variable("flowprops", materialdata_flowprops),
    variable("secantprops", materialdata_secantprops),
    variable("normalprops", materialdata_normalprops),
    variable("shearprops", materialdata_shearprops),
    variable("alpha1props", materialdata_alpha1props),
    variable("alpha2props", materialdata_alpha2props),
    variable("alpha3props", materialdata_alpha3props),
});
const Fragment sectiondata_variables("sectiondata", 0, {
    variable("nsec", sectiondata_nsec),
    variable("nplies", sectiondata_nplies),
    variable("nsectionpoints", sectiondata_nsectionpoints),
    variable("secidlist", sectiondata_secidlist),
    variable("seflags", sectiondata_seflags),
    variable("xcstrength", sectiondata_xcstrength),
    variable("plythickness", sectiondata_plythickness),
    variable("plyorientation", sectiondata_plyorientation),
    variable("plyzcoord", sectiondata_plyzcoord),
    variable("sehmatrix", sectiondata_sehmatrix),
    variable("sefmatrix", sectiondata_sefmatrix),
    variable("seuser", sectiondata_seuser),
    variable("seprops", sectiondata_seprops),
    variable("sestress", sectiondata_sestress),
    variable("sestrain", sectiondata_sestrain),
    variable("tnormalstress", sectiondata_tnormalstress),
    variable("tshearstress", sectiondata_tshearstress),
});
const Fragment nodaldata_variables("nodaldata", 0, {
    variable("nnodes", nodaldata_nnodes),
    variable("ndof", nodaldata_ndof),
    variable("tnodalmatrices", nodaldata_tnodalmatrices),
    variable("tcurvmatrices", nodaldata_tcurvmatrices),
    variable("nodalcoords", nodaldata_nodalcoords),
    variable("nodesmotion", nodaldata_nodesmotion),
});
const Fragment elementdata_variables("elementdata", 0, {
    variable("nsens", elementdata_nsens),
    variable("nelem", elementdata_nelem),
    variable("elemlist", elementdata_elemlist),
    variable("elemkind", elementdata_elemkind),
    variable("elemindices", elementdata_elemindices),
    variable("elemnodes", elementdata_elemnodes),
    variable("elemlength", elementdata_elemlength),
    variable("elemcurvatures", elementdata_elemcurvatures),
    variable("elemreforientation", elementdata_elemreforientation),
});
const Fragment impactdata_variables("impactdata", 0, {
    variable("cprops", impactdata_cprops),
    variable("csvars", impactdata_csvars),
});
const Fragment loaddata_variables("loaddata", 0, {
    variable("nimp", loaddata_nimp),
    variable("dprops", loaddata_dprops),
});
const Fragment damagedata_variables("damagedata", 0, {
    variable("ndmg", damagedata_ndmg),
    variable("damagedds", damagedata_damagedds),
    variable("generaldds", damagedata_generaldds),
    variable("fiberdds", damagedata_fiberdds),
    variable("matrixdds", damagedata_matrixdds),
    variable("delamdds", damagedata_delamdds),
    variable("coredds", damagedata_coredds),
    variable("userdds", damagedata_userdds),
    variable("dmgshape", damagedata_dmgshape),
    variable("dmgplane", damagedata_dmgplane),
    variable("dmgpoints", damagedata_dmgpoints),
});
const Fragment bukdata_variables("bukdata", 0, {
    variable("bukintdatalist", bukdata_bukintdatalist),
    variable("bukrealdatalist", bukdata_bukrealdatalist),
});
const Fragment shokriehdata_variables("shokriehdata", 0, {
    variable("dnf", shokriehdata_dnf),
    variable("dnfshok", shokriehdata_dnfshok),
    variable("cycles", shokriehdata_cycles),
    variable("cycleprops", shokriehdata_cycleprops),
});
const Fragment errorhandling_variables("errorhandling", 0, {
    variable("errintv", errorhandling_errintv),
    variable("errrealv", errorhandling_errrealv),
    variable("errasciim", errorhandling_errasciim),
    variable("errstring", errorhandling_errstring),
    variable("errstat", errorhandling_errstat),
});

}  // namespace
