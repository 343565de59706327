// Python signatures of module elasticity: numerical tangent and linear stress laws.
#include "bind.hpp"
#include "materials/elasticity.hpp"

namespace {
using namespace vorlen::py;
using namespace vorlen::elasticity;

const Fragment elasticity("elasticity", 10, {
    routine<elasticity_getnumericaltangent>("getnumericaltangent", {
        "out d ddsdde(ntens,ntens)",
        "callback getstressfromelasticity(in D stresspercmplx(ntens), "
        "in D dstrainpercmplx(ntens), in d props(nprops), opt i ntens, in i ndi, opt i nprops) "
        "complex(nmflag == 1)",
        "in d props(nprops)", "in d stress1(ntens)", "in d stress0(ntens)",
        "in d dstrain(ntens)", "opt i ntens", "in i ndi", "opt i nprops", "in b istensor",
        "opt d tgref(ntens,ntens) = 0.", "opt d h = 2.2e-16 absent(nmflag != 1)",
        "opt i nmflag = 0"},
        "getstressfromelasticity writes the stress into stresspercmplx in place; what it returns\n"
        "is ignored. A Python function is handed complex arrays in both modes. A capsule must hold\n"
        "a real law (real_getstressfromanisotropichyperelasticity,\n"
        "getstressfromorthotropicelasticity) for the central differences (nmflag other than 1)\n"
        "and a complex-valued one (cmplx_getstressfromanisotropichyperelasticity) for the complex\n"
        "step (nmflag 1); a capsule of the other kind is a TypeError.\n\n"
        "Without h the central differences (nmflag 0) step by 2^-26 times the largest magnitude\n"
        "in the strain (shears doubled with istensor), 1e-8 when it is 0; the complex step\n"
        "(nmflag 1) by 2.2e-16."),
    routine<fGetStressFromAnisotropicHyperelasticity>(
        "real_getstressfromanisotropichyperelasticity",
        {"out d stress(ntens)", "in d strain(ntens)", "in d props(nprops)", "opt i ntens",
         "in i ndi", "opt i nprops"}),
    routine<cGetStressFromAnisotropicHyperelasticity>(
        "cmplx_getstressfromanisotropichyperelasticity",
        {"out D stress(ntens)", "in D strain(ntens)", "in d props(nprops)", "opt i ntens",
         "in i ndi", "opt i nprops"}),
    routine<GetStressFromOrthotropicElasticity>("getstressfromorthotropicelasticity", {
        "out d stress(ntens)", "in d strain(ntens)", "in d props(nprops)", "opt i ntens",
        "in i ndi", "opt i nprops"}),
    routine<GetComponentsTensionCompression>("getcomponentstensioncompression", {
        "in d full_set(9)", "out d reduced_set(6)", "in d criterion(6)"}),
});

}  // namespace
