// Python signatures of module permcollection: permanent indentation laws.
#include "bind.hpp"
#include "materials/permcollection.hpp"

namespace {
using namespace vorlen::py;
using namespace vorlen::permcollection;

const Fragment permcollection("permcollection", 10, {
    routine<PITanSunLinear>("pitansunlinear", {"out d a0", "in d amax", "in d acr", "in d ksc"}),
    routine<PITanSunNonLinear>("pitansunnonlinear", {"out d a0", "in d amax", "in d acr"}),
    routine<PISuresh>("pisuresh", {"out d a0", "out d a1", "in d amax", "in d acr", "in d kcce",
        "in b lbnds", "in b llesscrit"}),
    routine<PIAirbus>("piairbus", {"out d a0", "in d tges", "in d delarea"}),
});
}  // namespace
