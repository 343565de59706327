// Step card reader of module iohandling: the debug settings of module debugdata and the fatigue
// cycle tables shokriehdata::cycleprops and shokriehdata::cycles.
#pragma once
#include "base/view.hpp"

namespace vorlen::iohandling {

// Most entries of the cycle table shokriehdata::cycles (m rows by nsteps columns): 2^24, that is
// 128 MiB of reals.
inline constexpr i64 kCycleEntries = i64{1} << 24;

extern "C" {

// Reads "<trimmed workspace>/StepCard.vrl", else the deck at filepath (neither opens: nothing
// changes). Releases the cycle tables of an earlier reading, then sets the debugdata defaults
// (fdebug 0, nupdate 1, edebug 0, ndebug 0, verbose 0, unitid -3), then at every "++End Step"
// stores the values collected in its block: "+Debug" with option TYPE=ELEMENT, TYPE=NODAL or
// TYPE=FILE (its first value; none given keeps the one collected before), "+Update" with empty
// option (also outside blocks) or TYPE=INC, "+Verbose" (the last one whole: first value verbose,
// second unitid, else -3). Values after the last block end are dropped.
// "+Cycle" with empty option (anywhere) or containing TYPE=GENERAL, or equal to TYPE=DIRECT
// (in a block): cycleprops = (count / nsteps, nsteps), filled column by column, replacing any
// earlier table; DIRECT also sets cycles = (1, nsteps) of 1.0. "+Cycle" equal to
// TYPE=INDIVIDUAL (in a block): m = nint(largest row 6 of cycleprops); cycles (m, nsteps),
// zero-filled when it had another shape; its values give m to every step whose row 3 is 3 or
// more, in step order.
// Refused with code -3, nothing stored (or allocated) from that key: nsteps below 1 or more
// steps than values (GENERAL, DIRECT); INDIVIDUAL without settings of 6 rows or more and nsteps
// columns, with m not in 1..2147483647, or with a table of more than kCycleEntries = 2^24
// entries (m x nsteps).
//   filepath (in)   256 characters: the solver input deck
//   workspace (in)  256 characters: the directory of the card files
//   nsteps (in)     number of analysis steps
void iohandling_getstepdatafromfile(const char* filepath, const char* workspace,
                                    const i32* nsteps);

}  // extern "C"
}  // namespace vorlen::iohandling
