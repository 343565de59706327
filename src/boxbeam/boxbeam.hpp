// Box-beam cross-section analysis: stiffness and mass centres, bending stiffnesses and
// principal axes, shear centre, torsional stiffness, normal and shear flows of a thin-walled
// multi-cell section, with a German fixed-format report.
#pragma once
#include "base/view.hpp"

namespace vorlen::boxbeam {
extern "C" {

// Analyses the section held in the box-beam data modules (boxbeam/boxbeamdata.hpp) under the
// section load of spanug, and writes the results into quer, kraft and epigam.
//
// Input: booms (gurt), walls (wand), cells (zelle), load (spanug); report settings steuer and
// file names path. With steuer::druck the report is appended to the file path::csinfopath on
// unit steuer::klog (connected for the call and closed at its end); with steuer::exdru as well,
// the extended report lines are added and free-format dump records appended to
// path::vbinfopath on unit 10 klog, which stays connected. A report or dump file that cannot
// be opened ends the process with status 1 and a line naming it.
//
// Results: stiffness and mass centres, axial stiffness, mass, bending stiffnesses, principal
// axes, normal flows and strains of booms and walls; the shear centre from two unit shear
// forces; shear flows (t0, tl2, tl), shear strains and, for a closed section, the specific
// twist (t0(kw + 1)) under the load; mass moments about the shear centre; the torsional
// stiffness from a unit torque (0 for an open section); equivalent nodal forces (report only).
//
// Failures:
// - Data not allocated (no Initialize yet), a negative count, counts beyond the allocated
//   capacities, or a cell with more booms than ia has rows: code -3 in the first-error
//   register, nothing computed or written.
// - A cell whose boom pair is joined by no wall (or that names a boom outside 1 to gurt::ig):
//   the report line naming it (druck) and a line with the reason on standard error, then the
//   process ends with status 1.
// - A linear system that cannot be solved: the report line with the failing step (druck), code
//   -2 naming the system, and the call returns with the report unit left open. The results of
//   the failed system and all after it are 0 (t0(1..kw), and t0(kw + 1) of a closed section,
//   tl2, tl, gam, iyys, izys, izzs, dt), so no result of an earlier section remains: a failed
//   shear-centre pass zeroes ymst, zmst, ymstac and zmstac as well, a failed load system keeps
//   the shear centre. A failed unit-torque system alone gives dt = 0, closes the report and
//   leaves the results of the load case in place.
// - Zero divisors (no stiffness, no mass, zero-length walls) give infinite or NaN results.
void GetEquivalentXSection();

// Equivalent nodal forces of the walls (start, middle, end; along x, y, z) from their normal
// and shear flows, written to the report (druck); their sums with exdru as well.
//   maxw (in)  extent of the force table; below wand::kw the table is sized for kw walls
// Does nothing, recording code -3, when the walls or flows do not fit their arrays.
void KNKRFT(const i32* maxw);
}
}  // namespace vorlen::boxbeam
