// Python signatures of module cccollection: core-crushing criteria.
#include "bind.hpp"
#include "failure/cccollection.hpp"

namespace {
using namespace vorlen::py;
using namespace vorlen::cccollection;

const Fragment cccollection("cccollection", 10, {
    routine<CCPetras>("ccpetras", {"out d rcc", "in d s33u", "in d s33m", "in d s33l",
        "in d taou(2)", "in d taom(2)", "in d taol(2)", "in d xc33", "in d x13", "in d x23"}),
    routine<CCBesant>("ccbesant", {"out d rcc", "in d s33u", "in d s33m", "in d s33l",
        "in d taou(2)", "in d taom(2)", "in d taol(2)", "in d xc33", "in d x13", "in d x23",
        "in d besantexponent"}),
});
}  // namespace
