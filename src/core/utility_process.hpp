// Process arrival table of module utility: each of maxid cooperating callers marks its arrival
// in jobdata::processid (entry i is i while caller i is pending, -1 once it has arrived). The
// table lives until the process ends; nothing locks it, so callers must not call concurrently.
#pragma once
#include "base/view.hpp"

namespace vorlen::utility {
extern "C" {

// Marks caller procid as arrived and returns at once.
//   procid (in)           caller id, 1..maxid; an unknown id or one that has arrived changes
//                         nothing
//   maxid (in)            number of callers: a table of another size is made anew, every id
//                         pending
//   wflag (in, optional)  1: do not wait; the routine never waits
// Returns true when every entry is -1 after this call (the caller completed the set).
lgl ProcessLock(const i32* procid, const i32* maxid, const i32* wflag);

// Marks every caller pending again. ierror (out): 0, or -1 when there is no table yet.
void ProcessUnLock(i32* ierror);

}  // extern "C"
}  // namespace vorlen::utility
