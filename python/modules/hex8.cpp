// Signatures of module hex8: shape functions of the 8-node brick.
#include "bind.hpp"
#include "elements/hex8.hpp"

namespace {
using namespace vorlen::py;
using namespace vorlen::hex8;

const Fragment hex8("hex8", 10, {
    routine<Hex8SF>("hex8sf", {"out d hex8sf", "in d xi", "in d eta", "in d zeta", "in i inode"}),
    routine<Hex8FirstDerivSF>("hex8firstderivsf", {"out d hex8firstderivsf", "in d xi",
        "in d eta", "in d zeta", "in i inode", "in i idvar"}),
    routine<Hex8SecondDerivSF>("hex8secondderivsf", {"out d hex8secondderivsf", "in d xi",
        "in d eta", "in d zeta", "in i inode", "in i idvar", "in i iidvar"}),
});
}  // namespace
