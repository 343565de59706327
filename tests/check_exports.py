#!/usr/bin/env python3
"""Checks that libvorlen.so exports the routines of ROUTINES (the register, the store allocation,
the box-beam analysis, those no Python module reaches and the later modules), and every variable
of the data store, of the register, of the box-beam data modules and of the list module under
<module>_<name>, each with the size of its kind: 4 for a 32-bit integer, 8 for a double, 1 for a
logical, the length of a text, and for an allocatable array of rank R the array record (data
pointer, storage block, R extents): 16 + 8 R.

Usage: check_exports.py <path of libvorlen.so>
"""
import subprocess
import sys

ROUTINES = [
    "errorhandling_xerr",
    "errorhandling_rsxerr",
    "datahandling_allocateelementdata",
    "datahandling_allocatenodaldata",
    "datahandling_allocatedamagedata",
    "datahandling_deallocall",
    "interp_linear",
    "interp_nearest",
    "r8vec_sorted_nearest",
    "r8vec_bracket",
    "r8vec_ascends_strictly",
    "dpchez_", "dpchim_", "dpchsp_", "dpchdf_", "dpchst_", "dpchfe_", "dchfev_", "dpchia_",
    "dpchid_", "dchfie_", "dpchqa_",
    "j4save_", "xgetua_", "i1mach_", "xerprn_", "xersve_", "xerhlt_", "xermsg_", "xercnt_",
    "fdump_", "r1mach_", "d1mach_", "xsetf_", "xgetf_", "xerdmp_",
    "lagrange_value_", "interp_lagrange_", "cc_abscissas_", "f1_abscissas_", "f2_abscissas_",
    "ncc_abscissas_", "nco_abscissas_", "cc_abscissas_ab_", "f1_abscissas_ab_",
    "f2_abscissas_ab_", "ncc_abscissas_ab_", "nco_abscissas_ab_", "parameterize_arc_length_",
    "parameterize_index_", "r8vec_expand_linear_", "r8vec_expand_linear2_",
    "r8mat_expand_linear2_", "interp_timestamp_",
    "pchez_", "pchim_", "pchsp_", "pchdf_", "pchst_", "dpchic_", "pchic_", "dpchci_", "pchci_",
    "dpchcs_", "pchcs_", "dpchsw_", "pchsw_", "dpchce_", "pchce_",
    "dpchfd_", "pchfd_", "pchfe_", "dpchev_", "pchev_", "dchfdv_", "chfdv_", "chfev_",
    "pchia_", "pchid_", "chfie_", "pchqa_", "dpchcm_", "pchcm_", "dchfcm_", "chfcm_",
    "dpchbs_", "pchbs_", "dpchkt_", "pchkt_", "dbvalu_", "bvalu_", "dintrv_", "intrv_",
    "devchk_", "evchck_", "devpck_", "evpcck_", "deverk_", "everck_", "comp_", "dfdtru_",
    "fdtrue_", "pchip_rand_", "get_unit_", "pchip_timestamp_",
    "dpchq1_", "dpchq2_", "dpchq3_", "dpchq4_", "dpchq5_",
    "pchqk1_", "pchqk2_", "pchqk3_", "pchqk4_", "pchqk5_",
    "Box_Initialize", "Box_GetXSection", "Initialize", "AllocAll", "AllocateWallData",
    "AllocateCapData", "AllocateCellData", "AllocateForceData", "AllocateEpigamData",
    "GetEquivalentXSection", "KNKRFT", "TVERT", "QVSKPX",
    "fLimit", "iLimit", "mLimit", "LogarithmicBarrier", "GeneralSigmoidal",
    "signalprocessing_logistic", "signalprocessing_generallogistic", "GeneralSmoothStep",
    "GeneralizedMean", "CumulativeMovingAverage", "WeightedMovingAverage", "GetPeaks",
    "RuleOfMixture", "Abolinsh", "Puck", "HopkinsChamis", "HalpinTsai", "Chamis", "Foye",
    "Krimmer", "LTH", "InSituLaRC04", "InSituPuckPS", "InSituChangLessard", "GetEshelbyTensor",
    "GetStrainConcentrationTensor", "GetAverageSCFromDualEquation", "GetVoigtComplianceMatrix",
    "GetEngConstsFromComplianceMatrix", "GetFiberBundleComplianceMatrix",
    "GetPorousResinComplianceMatrix", "GetPhaseReduction", "Voigt", "Reuss", "Dilute",
    "MoriTanaka", "Chow", "Lielens", "HashinShtrikman", "Mura", "CSCS", "Huang", "Cumulative",
    "GetUDStrengthFromBridgingMatrix", "GeneralizedMoriTanaka",
    "stringhandling_split", "stringhandling_extract", "stringhandling_lowercase",
    "stringhandling_uppercase", "stringhandling_match", "stringhandling_tally",
    "stringhandling_occurs", "stringhandling_countitems", "stringhandling_translate",
    "stringhandling_replacetext", "stringhandling_reduceblanks", "stringhandling_spack",
    "stringhandling_int2aformat", "stringhandling_clen", "stringhandling_clen_trim",
    "stringhandling_ctrim", "stringhandling_int2str", "stringhandling_str2int",
    "stringhandling_str2ascii", "stringhandling_copys2a", "stringhandling_copya2s",
    "stringhandling_inistringwithcharacter", "AllocateList", "DeallocateList",
    "GetAllocationStatus", "GetSizeOfList", "iAppendScalar2List", "fAppendScalar2List",
    "cAppendScalar2List", "iAppendArray2List", "fAppendArray2List", "cAppendArray2List",
    "iGetCopyOfList", "fGetCopyOfList", "cGetCopyOfList", "ProcessLock", "ProcessUnLock",
    "math_bdsafe", "math_nrsafe", "math_fpsafe", "math_cuberoot", "SpecialCase", "Solution3PE",
    "elasticity_getnumericaltangent", "fGetStressFromAnisotropicHyperelasticity",
    "cGetStressFromAnisotropicHyperelasticity", "GetStressFromOrthotropicElasticity",
    "GetComponentsTensionCompression", "NLKaestner", "NLKrause", "NLHahnTsai", "FPHahnTsai",
    "NLAdam", "NLMahieux", "NLGibson", "GetMatParamByCurveFitting", "ContactLaw",
    "ContactStiffness", "ContactRadius", "ContactDepth", "GetHugonoitElasticLimit", "ContactArea",
    "PITanSunLinear", "PITanSunNonLinear", "PISuresh", "PIAirbus",
    "NLAdam", "NLMahieux", "NLGibson", "GetMatParamByCurveFitting",
    "GetResinProperties", "GetResinPlasticProperties", "GetResinOrthotropicProperties",
    "GetModulusFromTable", "GetFlowParameters", "GetExternalData", "EquivalentStrain",
    "EndochroneViscoPlasticity", "GetStressFromNonlinearIsotropic",
    "GetStressFromIsotropicViscoElasticity", "GetLameStress", "GetKaestnerStress",
    "GetKrauseStress", "GetStressFromNonConstPoisson", "GetStressFromDevVolDecomposition",
    "GetStressFromCubicElasticity", "elasticity_getstressfromplastitcity",
    "elasticity_getderivatef", "elasticity_getderivateg",
    "MCrckHashinPS", "MCrckHashin3D", "MCrckHashinComplete", "MCrckHashin1989", "MCrckChai",
    "MCrckChangChang", "MCrckChristensen", "MCrckCuntze2004", "MCrckCuntze2012", "MCrckBahei",
    "MCrckPuck", "MCrckWiegand", "MCrckCamanho", "MCrckSPC3D", "MCrckVDI2014", "MCrckLaRC04",
    "MCrckLaRC05",
    "TimeRegularization", "EquivalentQuadStressStrain", "BiLinearEvolution", "DGStrainRhead",
    "GetEquivalentMixedModeERR", "GetCrackStatus", "__degradation_MOD_viscouseregularisation",
    "SuddenDegradation", "SuddenDegradation_viscouse", "IsotropicDegradation",
    "IsotropicDegradation_viscouse", "FalcomDegradation", "GetNyeDegradationMatrix",
    "__degradation_MOD_getaccumulateddamage", "MatzenmillerDegradation", "DegradationFromModes",
    "BogenfeldDegradation", "FalzonDegradationParameters", "TensorDegradation",
    "GradualDegradation", "GetShokriehProperties", "GetFatigueLife", "GetFatigueLifeShokrieh",
    "GetEquivalentFatigueStress", "CycleCount", "AllowableCycleJump", "GetShokrieh",
    "Relaxation", "CureRate", "FuncDegree",
    "GPMaxNominal", "GPQuadNominal", "GPLinInteraction", "GPQuadInteraction",
    "GPYamadaSunInteraction", "GPNorrisInteraction", "GPPolynomial", "GPPolyCamanho",
    "GPDruckerPrager", "GPBauwens", "GPRaghava", "GPHa", "FBChangChang", "FBHashin",
    "FBChristensen", "FBLaRC04", "FBLaRC05", "FBLaRC05_is", "FBBahei", "DelLee",
    "DelOchoaEngblom", "DelHashin", "DelPuck", "DelChoiChang", "DelChai", "CCPetras", "CCBesant",
    "GetComprFailurebyDIC", "GetDmgInfluenceFactor", "GetCentralOpenHoleFactor",
    "damage_generalfailure", "damage_fiberbreakage", "MatrixCracking", "damage_delamination",
    "damage_corecrushing",
    "GetStrainEnergy8", "GetF8", "GetdF8", "GetContactEnergy8", "GetAreaOfOverlap8", "GetKdfKf8",
    "GetFdF8", "NewtonRaphson8", "GetEnergyReleaseRate8", "DelaminationGrowthAnalysis",
    "LinearElasticEnergy", "reducedElasticEnergy", "EnergySublaminat", "MomentumBalance",
    "ForceTransfer", "EquivDisp", "EnergyReleaseRate", "sERR_delaTension", "fiber_tension_lefm",
    "GrowthRateParis", "GrowthInitiationParis", "DelaCompGrowth", "delaTension",
    "Find_Allowable_nogrowth_comp", "Find_Allowable_nogrowth_tension",
    "elementhandling_getabqelementkind", "elementhandling_getabqelementconnectivity",
    "Quad8ShapeFunMatrix", "GetElemOutputFrom3D", "GetElementReferenceData",
    "sldcollection_cload", "sldcollection_deload", "sldcollection_dsload", "UniformSurfaceLoad",
    "PyramidalSurfaceLoad", "ParabolicSurfaceLoad", "HertzianSurfaceLoad", "CosineSurfaceLoad",
    "SineSurfaceLoad", "CAMPLITUDE", "CHYSTERESIS",
]

# module: variables in the order of the module, as "name kind" with kind i / d / b (scalar),
# "i R" / "d R" (array of rank R) or "text N".
VARIABLES = {
    "types": "cb i, i2 i, i4 i, i8 i, sp i, dp i, qp i",
    "jobdata": "stepcount i, nsteps i, solverid i, stepid i 1, processid i 1, jobname text 256,"
               " joboutdir text 256, jobfilepath text 256",
    "debugdata": "nupdate i, edebug i, ndebug i, fdebug i, verbose i, unitid i",
    "materialdata": "modelid i, ntempdata i, nflowdata i, nsecantdata i, nalpha1data i,"
                    " nalpha2data i, nalpha3data i, nnormaldata i, nsheardata i, matidlist i 2,"
                    " pfflags i 3, peflags i 3, regularization d 1, temperatures d 1,"
                    " pelimits d 3, peprops d 3, psprops d 3, pfprops d 3, phprops d 3,"
                    " pdprops d 3, cuprops d 4, r_crit d 1, i10 d 1, equivalentstress d 2,"
                    " flowprops d 3, secantprops d 3, normalprops d 3, shearprops d 3,"
                    " alpha1props d 3, alpha2props d 3, alpha3props d 3",
    "sectiondata": "nsec i, nplies i, nsectionpoints i 1, secidlist i 1, seflags i 2,"
                   " xcstrength d 1, plythickness d 2, plyorientation d 2, plyzcoord d 2,"
                   " sehmatrix d 3, sefmatrix d 3, seuser d 4, seprops d 4, sestress d 4,"
                   " sestrain d 4, tnormalstress d 2, tshearstress d 4",
    "nodaldata": "nnodes i, ndof i, tnodalmatrices d 4, tcurvmatrices d 3, nodalcoords d 3,"
                 " nodesmotion d 3",
    "elementdata": "nsens i, nelem i, elemlist i 1, elemkind i 1, elemindices i 1,"
                   " elemnodes i 2, elemlength d 2, elemcurvatures d 2, elemreforientation d 2",
    "impactdata": "cprops d 2, csvars d 2",
    "loaddata": "nimp i, dprops d 2",
    "damagedata": "ndmg i, damagedds i 1, generaldds d 3, fiberdds d 3, matrixdds d 3,"
                  " delamdds d 3, coredds d 3, userdds d 3, dmgshape d 2, dmgplane d 2,"
                  " dmgpoints d 4",
    "bukdata": "bukintdatalist i 4, bukrealdatalist d 4",
    "shokriehdata": "dnf d, dnfshok d, cycles d 2, cycleprops d 2",
    "errorhandling": "errintv i 1, errrealv d 1, errasciim i 2, errstring text 80, errstat i",
}

# The box-beam data modules, apart from the store.
BOXBEAM_VARIABLES = {
    "path": "csinfopath text 240, vbinfopath text 240",
    "restr": "maxgu i, maxwa i, maxze i",
    "steuer": "druck b, exdru b, klog i",
    "spanug": "kennz text 80, qqx d, qqy d, qqz d, qmx d, qmy d, qmz d",
    "quer": "ys d, zs d, yt d, zt d, ymst d, zmst d, ymstac d, zmstac d, bx d, alpha d, dyyste d,"
            " dzzste d, dyy d, dzy d, dzz d, dt d, m d, iyys d, izzs d, izys d, itt d",
    "wand": "kw i, ig1 i 1, ig2 i 1, it i 1, yk0 d 1, zk0 d 1, yklk d 1, zklk d 1, bk d 1,"
            " gk d 1, rhok d 1, e d 1, th d 1",
    "gurt": "ig i, yi d 1, zi d 1, bi d 1, myi d 1",
    "zelle": "az i, iak i 1, ia i 2",
    "kraft": "nx0 d 1, nxl2 d 1, nxl d 1, t0 d 1, tl2 d 1, tl d 1",
    "epigam": "epi d 2, gam d 2, epigu d 1",
}

# The lists of module listhandling, which _vorlen does not show ("z" complex).
LIST_VARIABLES = {
    "listhandling": "dynintlist1 i 1, dynintlist2 i 1, dynintlist3 i 1, dynreallist1 d 1,"
                    " dynreallist2 d 1, dynreallist3 d 1, dyncmplxlist1 z 1, dyncmplxlist2 z 1,"
                    " dyncmplxlist3 z 1",
}


def expected_size(kind):
    words = kind.split()
    if words[0] == "text":
        return int(words[1])
    if len(words) == 2:
        return 16 + 8 * int(words[1])
    return {"i": 4, "b": 1}.get(words[0], 8)


def main(lib):
    out = subprocess.run(["nm", "-D", "--defined-only", "-S", lib], check=True,
                         capture_output=True, text=True).stdout
    symbols = {}
    for line in out.splitlines():
        f = line.split()
        if len(f) == 4:
            symbols[f[3]] = (f[2], int(f[1], 16))
        elif len(f) == 3:
            symbols[f[2]] = (f[1], None)

    faults = []
    for name in ROUTINES:
        if name not in symbols:
            faults.append(f"routine {name} is not exported")
        elif symbols[name][0] not in "TW":
            faults.append(f"{name} is exported as '{symbols[name][0]}', not as code")
    count = boxbeam_count = list_count = 0
    for module, listing in [*VARIABLES.items(), *BOXBEAM_VARIABLES.items(),
                            *LIST_VARIABLES.items()]:
        for item in listing.split(","):
            name, kind = item.split(maxsplit=1)
            symbol = f"{module}_{name}"
            if module in BOXBEAM_VARIABLES:
                boxbeam_count += 1
            elif module in LIST_VARIABLES:
                list_count += 1
            else:
                count += 1
            if symbol not in symbols:
                faults.append(f"variable {symbol} is not exported")
                continue
            stype, size = symbols[symbol]
            if stype not in "BDRVG":
                faults.append(f"{symbol} is exported as '{stype}', not as data")
            if size != expected_size(kind):
                faults.append(f"{symbol} ({kind}) has size {size}, expected {expected_size(kind)}")
    if count != 110:  # guards the listing above against a lost entry
        faults.append(f"the listing holds {count} variables instead of the store's 110")
    if boxbeam_count != 66:
        faults.append(f"the listing holds {boxbeam_count} box-beam variables instead of 66")
    for f in faults:
        print(f)
    total = count + boxbeam_count + list_count
    print(f"{len(ROUTINES)} routines and {total} variables checked,"
          f" {len(faults)} faults")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
