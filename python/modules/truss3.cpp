// Signatures of module truss3: shape functions of the 3-node line element.
#include "bind.hpp"
#include "elements/truss3.hpp"

namespace {
using namespace vorlen::py;
using namespace vorlen::truss3;

const Fragment truss3("truss3", 10, {
    routine<Truss3SF>("truss3sf", {"out d truss3sf", "in d xi", "in i inode"}),
    routine<Truss3FirstDerivSF>("truss3firstderivsf",
                                {"out d truss3firstderivsf", "in d xi", "in i inode"}),
});
}  // namespace
