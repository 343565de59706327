// Signatures of module toplevel: explicit fracture-plane ply damage (VUMAT).
#include "bind.hpp"
#include "modules/toplevel_lists.hpp"
#include "solver/toplevel_fractureplane.hpp"

namespace {
using namespace vorlen::py;
using namespace vorlen::toplevel;

const Fragment toplevel_fractureplane("toplevel", 80, {
    routine<toplevel_vumat_bogenfeld>("vumat_bogenfeld", vumat_items("in d charlength(nblock,3)",
            "inout d straininc(nblock,ndir+nshr)")),
});

}  // namespace
