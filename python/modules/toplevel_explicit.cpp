// Signatures of module toplevel: explicit progressive ply damage (VUMAT).
#include "bind.hpp"
#include "modules/toplevel_explicit_vumat.hpp"
#include "solver/toplevel_explicit.hpp"

namespace {
using namespace vorlen::py;
using namespace vorlen::toplevel;

const Fragment toplevel_explicit("toplevel", 70, {
    routine<toplevel_vumat_cartesian>("vumat_cartesian", explicit_vumat_items()),
});

}  // namespace
