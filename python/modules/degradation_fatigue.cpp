// Python signature of module degradation, fatigue part: gradual degradation of one direction.
#include "bind.hpp"
#include "failure/degradation_fatigue.hpp"

namespace {
using namespace vorlen::py;
using namespace vorlen::degradation;

const Fragment fatigue("degradation", 30, {
    routine<GradualDegradation>("gradualdegradation", {"inout d speak_t", "inout d sbottom_t",
        "inout d speak_c", "inout d sbottom_c", "in d xctratio", "in d a", "in d b", "in d u",
        "in d v", "inout d nm", "in d n", "in d cjimp", "in d alpha_t", "in d alpha_c",
        "in d beta_t", "in d beta_c", "in d gamma", "in d lambda", "inout d de", "inout d df_t",
        "inout d df_c", "in d degr_fac", "in i dmgflag", "in b isshear", "in i noel",
        "inout d cjump_nf", "in d lim"}),
});
}  // namespace
