// Signatures of module lamina: six-component notations and their conversions.
#include "bind.hpp"
#include "materials/lamina_notation.hpp"

namespace {
using namespace vorlen::py;
using namespace vorlen::lamina;

const Fragment lamina_notation("lamina", 10, {
    routine<CauchyNotation>("cauchynotation", {"out d cn(3,3)", "in d qv(6)"}),
    routine<VoigtNotation>("voigtnotation", {"out d vn(6)", "in d q(3,3)"}),
    routine<NyeNotation>("nyenotation", {"out d nn(6)", "in d q(3,3)"}),
    routine<CyclicNotation>("cyclicnotation", {"out d cn(6)", "in d q(3,3)"}),
    routine<FlipVoigtNyeNotation>("flipvoigtnyenotation", {"out d fn(6,sdim)", "in d q(6,*)",
        "in i sdim", "hide i nq = shape(q, 1)"}),
    routine<FlipVoigtCyclicNotation>("flipvoigtcyclicnotation", {"out d fn(6,sdim)",
        "in d q(6,*)", "in i sdim", "in i dir", "hide i nq = shape(q, 1)"}),
    routine<GetTensorFromVoigtStiffness>("gettensorfromvoigtstiffness",
        {"out d c_4th(3,3,3,3)", "in d csix(6,6)"}),
    routine<GetVoigtStiffnessFromTensor>("getvoigtstiffnessfromtensor",
        {"out d csix(6,6)", "in d c_4th(3,3,3,3)"}),
});
}  // namespace
