// Signatures of module quad8: shape functions of the 8-node serendipity quadrilateral.
#include "bind.hpp"
#include "elements/quad8.hpp"

namespace {
using namespace vorlen::py;
using namespace vorlen::quad8;

const Fragment quad8("quad8", 10, {
    routine<Quad8SF>("quad8sf", {"out d quad8sf", "in d xi", "in d eta", "in i inode"}),
    routine<Quad8FirstDerivSF>("quad8firstderivsf", {"out d quad8firstderivsf", "in d xi",
                                                     "in d eta", "in i inode", "in i idvar"}),
    routine<Quad8SecondDerivSF>("quad8secondderivsf", {"out d quad8secondderivsf", "in d xi",
        "in d eta", "in i inode", "in i idvar", "in i iidvar"}),
});
}  // namespace
