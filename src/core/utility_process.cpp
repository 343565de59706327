// Process arrival table of module utility over jobdata::processid.
#include "core/utility_process.hpp"

#include <algorithm>

#include "core/jobdata.hpp"
#include "core/utility_fill.hpp"
#include "core/utility_search.hpp"

namespace vorlen::utility {
extern "C" {

lgl ProcessLock(const i32* procid, const i32* maxid, const i32* /*wflag*/) {
    auto& table = jobdata::processid;
    if (!table.allocated() || table.ext[0] != std::max(*maxid, 0)) {
        table.allocate({*maxid});  // a failed allocation ends the process with its message
        GetIndexVector(table.data, maxid);
    }
    const i32 n = static_cast<i32>(table.ext[0]);
    // ids count from 1: -1, the mark of an arrived caller, is no caller's id
    if (*procid < 1 || !iInList(procid, table.data, &n)) return false;
    table.data[iFindLocation(procid, table.data, &n, nullptr) - 1] = -1;
    const i32 arrived = -1;
    return iExList(&arrived, table.data, &n);
}

void ProcessUnLock(i32* ierror) {
    *ierror = -1;
    auto& table = jobdata::processid;
    if (!table.allocated()) return;
    const i32 n = static_cast<i32>(table.ext[0]);
    GetIndexVector(table.data, &n);
    *ierror = 0;
}

}  // extern "C"
}  // namespace vorlen::utility
