// Python signatures of module fracture: mixed-mode fracture toughness and crack status.
#include "bind.hpp"
#include "failure/fracture.hpp"

namespace {
using namespace vorlen::py;
using namespace vorlen::fracture;

const Fragment fracture("fracture", 10, {
    routine<GetEquivalentMixedModeERR>("getequivalentmixedmodeerr", {"out d geq",
        "in d traction(3)", "in d gc(n)", "opt i n"}),
    routine<GetCrackStatus>("getcrackstatus", {"out i crckstatus", "in d svoigt(6)",
        "in d nrot(3)", "in d phi", "in i baseid"}),
});
}  // namespace
