// Entries of the box-beam analysis for Python and outside callers.
#pragma once
#include "base/view.hpp"

namespace vorlen::boxbeamio {
extern "C" {

// Initialize(nw, ng, nz): capacities of walls, booms and cells (in, optional; 100 absent).
void Box_Initialize(const i32* nw, const i32* ng, const i32* nz);

// GetEquivalentXSection() on the data modules.
void Box_GetXSection();
}
}  // namespace vorlen::boxbeamio
