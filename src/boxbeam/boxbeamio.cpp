#include "boxbeam/boxbeamio.hpp"

#include "boxbeam/boxbeam.hpp"
#include "boxbeam/boxdatahandling.hpp"

namespace vorlen::boxbeamio {
extern "C" {

void Box_Initialize(const i32* nw, const i32* ng, const i32* nz) {
    boxdatahandling::Initialize(nw, ng, nz);
}

void Box_GetXSection() { boxbeam::GetEquivalentXSection(); }
}
}  // namespace vorlen::boxbeamio
