// Python signatures of module iohandling: the material and damage card readers.
#include "bind.hpp"
#include "io/iohandling_damage.hpp"
#include "io/iohandling_material.hpp"

namespace {
using namespace vorlen::py;
using namespace vorlen::iohandling;

const Fragment iohandling_cards(
    "iohandling", 20,
    {
        routine<iohandling_getmaterialdatafromfile>(
            "getmaterialdatafromfile",
            {"in s256 filepath", "in s256 workspace", "in i nplies", "in i nsec"}),
        routine<iohandling_getdamagedatafromfile>(
            "getdamagedatafromfile",
            {"in s256 filepath", "in s256 workspace", "in i nplies", "in i nsec"}),
    });

}  // namespace
