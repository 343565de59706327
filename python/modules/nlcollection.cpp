// Python signatures of module nlcollection (non-linear shear and temperature laws) and of the
// curve-fitted material parameter of module lamina.
#include "bind.hpp"
#include "materials/lamina_curvefitting.hpp"
#include "materials/nlcollection.hpp"

namespace {
using namespace vorlen::py;
using namespace vorlen::nlcollection;

const Fragment nlcollection("nlcollection", 10, {
    routine<NLKaestner>("nlkaestner", {"out d dnl", "in d beta", "in d eps"}),
    routine<NLKrause>("nlkrause", {"out d dnl", "in d beta", "in d eps"}),
    routine<NLHahnTsai>("pure_nlhahntsai", {"out d dnl", "in d tg", "in d beta", "in d sig",
                                            "in d eps"}),
    routine<FPHahnTsai>("recu_nlhahntsai", {"out d dout", "in d args(na)", "opt i na",
                                            "opt i ns = 0"}),
    routine<NLAdam>("nladam", {"out d dnl", "in d l", "in d x", "in d n", "in d nf",
                               "in d alpha", "in d beta", "opt d lg(2) = (0.25, 0.25)"}),
    routine<NLMahieux>("nlmahieux", {"out d nlmahieux", "in d t", "in d props(2*ntrans+1)",
                                     "in d m(ntrans)", "opt i ntrans = (shape(props, 0) - 1) / 2"}),
    routine<NLGibson>("nlgibson", {"out d nlgibson", "in d t", "in d props(2*ntrans+1)",
                                   "in d xi(ntrans)", "opt i ntrans = (shape(props, 0) - 1) / 2"}),
});

const Fragment curvefitting("lamina", 30, {
    routine<vorlen::lamina::GetMatParamByCurveFitting>("getmatparambycurvefitting", {
        "out d getmatparambycurvefitting", "in d l", "in d eta", "in d stress0", "in d strain0",
        "in d dstrain", "in i nlflag"}),
});

}  // namespace
