// Signatures of module quad4: shape functions of the 4-node quadrilateral.
#include "bind.hpp"
#include "elements/quad4.hpp"

namespace {
using namespace vorlen::py;
using namespace vorlen::quad4;

const Fragment quad4("quad4", 10, {
    routine<Quad4SF>("quad4sf", {"out d quad4sf", "in d xi", "in d eta", "in i inode"}),
    routine<Quad4FirstDerivSF>("quad4firstderivsf", {"out d quad4firstderivsf", "in d xi",
                                                     "in d eta", "in i inode", "in i idvar"}),
});
}  // namespace
