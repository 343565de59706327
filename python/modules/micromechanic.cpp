// Python signatures of module micromechanic: closed-form rules, Eshelby and concentration
// tensors, mean-field homogenisation.
#include "bind.hpp"
#include "materials/micromechanic.hpp"

namespace {
using namespace vorlen::py;
using namespace vorlen::micromechanic;

const Fragment rules("micromechanic", 10, {
    routine<RuleOfMixture>("ruleofmixture", {"out d rm(4)", "in d fiberprops(4)",
        "in d matrixprops(2)", "in d vf"}),
    routine<Abolinsh>("abolinsh", {"out d ah(4)", "in d fiberprops(4)", "in d matrixprops(2)",
        "in d vf"}),
    routine<Puck>("puck", {"out d pu(4)", "in d fiberprops(4)", "in d matrixprops(2)",
        "in d vf"}),
    routine<HopkinsChamis>("hopkinschamis", {"out d hc(4)", "in d fiberprops(4)",
        "in d matrixprops(2)", "in d vf"}),
    // zeta (-1, -1) stands for 2 + 40 vf^10, 1 + 40 vf^10
    routine<HalpinTsai>("halpintsai", {"out d ht(4)", "in d fiberprops(4)",
        "in d matrixprops(2)", "in d vf", "opt d zeta(2) = (-1, -1)"}),
    routine<Chamis>("chamis", {"out d cs(csdim)", "in d fiberprops(csdim)",
        "in d matrixprops(2)", "in d vf", "opt i csdim"}),
    routine<Foye>("foye", {"out d nfoye", "in d laminaprops(2)", "in d matrixprops(2)"}),
    routine<Krimmer>("krimmer", {"out d km(5)", "in d laminaprops(3)", "in d fiberprops(5)",
        "in d matrixprops(2)", "in d vf"}),
    routine<LTH>("lth", {"out d lh(5)", "in d fiberprops(5)", "in d matrixprops(mdim)",
        "in d vf", "opt i mdim", "in i fmflag", "in i tcflag"}),
});

const Fragment tensors("micromechanic", 20, {
    routine<GetEshelbyTensor>("geteshelbytensor", {"out d et(6,6)", "in i incltype",
        "in d inclratio", "in d nu_m", "opt d c_m(6,6) = 0"}),
    routine<GetStrainConcentrationTensor>("getstrainconcentrationtensor", {"out d a(6,6)",
        "in d et(6,6)", "in d cinc(6,6)", "in d cm(6,6)", "in d vinc", "opt i atype = 0"}),
    routine<GetAverageSCFromDualEquation>("getaveragescfromdualequation", {"out d sc(6,6)",
        "in d bainc(6,6)", "in d scinc(6,6)", "in d scm(6,6)", "in d vinc"}),
    routine<GetVoigtComplianceMatrix>("getvoigtcompliancematrix", {"out d s(6,6)",
        "in d props(5)"}),
    routine<GetEngConstsFromComplianceMatrix>("getengconstsfromcompliancematrix", {
        "out d eng(9)", "in d s(6,6)"}),
    routine<GetFiberBundleComplianceMatrix>("getfiberbundlecompliancematrix", {
        "out d sfb(6,6)", "in d sf(6,6)", "in d sinter(6,6)", "in d vf", "in d vinter"}),
    routine<GetPorousResinComplianceMatrix>("getporousresincompliancematrix", {
        "out d spm(6,6)", "in d sm(6,6)", "in d vv", "in i voidtype"}),
    routine<GetPhaseReduction>("getphasereduction", {"out d sf(6,6)", "out d sm(6,6)",
        "in d fiberprops(5)", "in d matrixprops(2)", "in d vf", "opt d vvoid = 0.0",
        "opt d vint = 0.0", "opt d interprops(2) = 0", "opt i voidtype = 0"}),
});

const Fragment schemes("micromechanic", 30, {
    routine<Voigt>("voigt", {"out d vt(9)", "in d fiberprops(5)", "in d matrixprops(2)",
        "in d vf", "opt d vvoid = 0.0", "opt d vint = 0.0", "opt d interprops(2) = 0",
        "opt i voidtype = 0"}),
    routine<Reuss>("reuss", {"out d rs(9)", "in d fiberprops(5)", "in d matrixprops(2)",
        "in d vf", "opt d vvoid = 0.0", "opt d vint = 0.0", "opt d interprops(2) = 0",
        "opt i voidtype = 0"}),
    routine<Dilute>("dilute", {"out d es(9)", "in d fiberprops(5)", "in d matrixprops(2)",
        "in d vf", "opt d vvoid = 0.0", "opt d vint = 0.0", "opt d interprops(2) = 0",
        "opt d yzratio = 1.0", "opt i voidtype = 0"}),
    routine<MoriTanaka>("moritanaka", {"out d mt(9)", "in d fiberprops(5)",
        "in d matrixprops(2)", "in d vf", "opt d vvoid = 0.0", "opt d vint = 0.0",
        "opt d interprops(2) = 0", "opt d yzratio = 1.0", "opt i voidtype = 0"}),
    routine<Chow>("chow", {"out d cw(9)", "in d fiberprops(5)", "in d matrixprops(2)",
        "in d vf", "opt d vvoid = 0.0", "opt d vint = 0.0", "opt d interprops(2) = 0",
        "opt d yzratio = 1.0", "opt i voidtype = 0"}),
    routine<Lielens>("lielens", {"out d li(9)", "in d fiberprops(5)", "in d matrixprops(2)",
        "in d vf", "opt d vvoid = 0.0", "opt d vint = 0.0", "opt d interprops(2) = 0",
        "opt d yzratio = 1.0", "opt i voidtype = 0"}),
    routine<HashinShtrikman>("hashinshtrikman", {"out d hs(9)", "in d fiberprops(5)",
        "in d matrixprops(2)", "in d vf", "in i luflag", "opt d vvoid = 0.0",
        "opt d vint = 0.0", "opt d interprops(2) = 0", "opt d yzratio = 1.0",
        "opt i voidtype = 0"}),
    routine<Mura>("mura", {"out d ma(9)", "in d fiberprops(5)", "in d matrixprops(2)",
        "in d vf", "opt d vvoid = 0.0", "opt d vint = 0.0", "opt d interprops(2) = 0",
        "opt d yzratio = 1.0", "opt i voidtype = 0"}),
    routine<CSCS>("cscs", {"out d sc(9)", "in d fiberprops(5)", "in d matrixprops(2)",
        "in d vf", "opt d vvoid = 0.0", "opt d vint = 0.0", "opt d interprops(2) = 0",
        "opt d yzratio = 1.0", "opt i voidtype = 0", "opt i maxit = 200",
        "opt d threshold = 1e-8"}),
    routine<Huang>("huang", {"out d hg(12)", "in d fiberprops(5)", "in d matrixprops(2)",
        "in d vf", "opt d vvoid = 0.0", "opt d vint = 0.0", "opt d interprops(2) = 0",
        "opt d strengthprops(4) = 0", "opt d cp(2) = (0.5, 0.5)", "opt i voidtype = 0"}),
    routine<Cumulative>("cumulative", {"out d ch(12)", "in d fiberprops(5)",
        "in d matrixprops(2)", "in d vf", "opt d vvoid = 0.0", "opt d vint = 0.0",
        "opt d interprops(2) = 0", "opt d strengthprops(4) = 0", "opt d yzratio = 1.0",
        "opt i voidtype = 0", "opt i rvetype = 1"}),
    routine<GetUDStrengthFromBridgingMatrix>("getudstrengthfrombridgingmatrix", {"out d ud(3)",
        "in d bridging(6,6)", "in d fiberprops(4)", "in d matrixprops(5)", "in d vf"}),
    routine<GeneralizedMoriTanaka>("generalizedmoritanaka", {"out d cmt(6,6)",
        "in d cinc(6,6,ninc)", "in d eshinc(6,6,ninc)", "in d vinc(ninc)", "in d c0(6,6)",
        "opt i ninc"}),
});
}  // namespace
