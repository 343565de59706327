// Allocation of the element, nodal and damage parts of the data store, and its release.
#pragma once
#include "base/alloc.hpp"

extern "C" {
// Each allocator sets istat(out) to 0 and allocates, array by array, what is unallocated; an
// array that is allocated keeps its extents and contents. Counts below 1 give empty dimensions.
void datahandling_allocateelementdata(vorlen::i32* istat, const vorlen::i32* knodes,
                                      const vorlen::i32* kelem);
void datahandling_allocatenodaldata(vorlen::i32* istat, const vorlen::i32* kdof,
                                    const vorlen::i32* knodes, const vorlen::i32* kelem);
void datahandling_allocatedamagedata(vorlen::i32* istat, const vorlen::i32* kplies,
                                     const vorlen::i32* ksec, const vorlen::i32* kdmg);
// Frees the arrays of an analysis; process-lived arrays and every scalar stay.
void datahandling_deallocall(vorlen::i32* istat);
}

namespace vorlen::datahandling {

// datahandling_allocatedamagedata for counts that come from input: false where a table cannot
// be had (count overflow or no memory) instead of ending the process; damagedata::damagedds
// is then released, the other tables made before it stay.
bool try_allocatedamagedata(i32 kplies, i32 ksec, i32 kdmg);

}  // namespace vorlen::datahandling
