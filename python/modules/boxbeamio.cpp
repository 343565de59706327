// Signatures of module boxbeamio: set-up and run of the box-beam analysis. The section, load
// and results pass through the exported box-beam data modules, not through _vorlen.
#include "bind.hpp"
#include "boxbeam/boxbeamio.hpp"

namespace {
using namespace vorlen::py;
using namespace vorlen::boxbeamio;

const Fragment boxbeamio_routines("boxbeamio", 10, {
    routine<Box_Initialize>("box_initialize", {"opt i nw = 100", "opt i ng = 100",
        "opt i nz = 100"}),
    routine<Box_GetXSection>("box_getxsection", {},
        "Ends the process with status 1 when a cell names two booms that no wall joins (or a\n"
        "boom outside the section), or when a report file cannot be opened for appending."),
});
}  // namespace
