// Signatures of module tria6: shape functions of the 6-node triangle.
#include "bind.hpp"
#include "elements/tria6.hpp"

namespace {
using namespace vorlen::py;
using namespace vorlen::tria6;

const Fragment tria6("tria6", 10, {
    routine<Tria6SF>("tria6sf", {"out d tria6sf", "in d xi", "in d eta", "in i inode"}),
    routine<Tria6FirstDerivSF>("tria6firstderivsf", {"out d tria6firstderivsf", "in d xi",
                                                     "in d eta", "in i inode", "in i idvar"}),
    routine<Tria6SecondDerivSF>("tria6secondderivsf", {"out d tria6secondderivsf", "in d xi",
        "in d eta", "in i inode", "in i idvar", "in i iidvar"}),
});
}  // namespace
