// Signatures of module elementhandling: shape-function matrices.
#include "bind.hpp"
#include "elements/elementhandling_shape.hpp"

namespace {
using namespace vorlen::py;
using namespace vorlen::elementhandling;

const Fragment shape("elementhandling", 10, {
    routine<Tria6ShapeFunMatrix>("tria6shapefunmatrix",
                                 {"out d nshape(6,6)", "in d xi", "in d eta"}),
    routine<Quad8ShapeFunMatrix>("quad8shapefunmatrix",
                                 {"out d nshape(8,6)", "in d xi", "in d eta"}),
    routine<Quad4ShapeFunMatrix>("quad4shapefunmatrix",
                                 {"out d nshape(4,3)", "in d xi", "in d eta"}),
    routine<Hex8ShapeFunMatrix>("hex8shapefunmatrix",
                                {"out d nshape(8,9)", "in d xi", "in d eta", "in d zeta"}),
});
}  // namespace
