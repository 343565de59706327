// Signatures of module toplevel: explicit progressive ply damage (VUMAT).
#include "bind.hpp"
#include "modules/toplevel_lists.hpp"
#include "solver/toplevel_explicit.hpp"

namespace {
using namespace vorlen::py;
using namespace vorlen::toplevel;

const Fragment toplevel_explicit("toplevel", 70, {
    routine<toplevel_vumat_cartesian>("vumat_cartesian", vumat_items("in d charlength(nblock,3)",
            "inout d straininc(nblock,ndir+nshr)")),
});

}  // namespace
