// The step type of a step number from the step table jobdata::stepid (0 initialization,
// 1 fatigue, 2 structural response, 3 impact, 4 relaxation, 5 measured field, -1 general). A
// missing table and a step outside it are told apart: the routines treat them differently.
#pragma once
#include "core/jobdata.hpp"

namespace vorlen::toplevel {

enum class Step { absent, outside, held };

// type is written only when the table holds kstep.
inline Step step_of(i64 kstep, i32& type) noexcept {
    const auto& st = jobdata::stepid;
    if (!st.allocated()) return Step::absent;
    if (kstep < 1 || kstep > st.extent(1)) return Step::outside;
    type = st(kstep);
    return Step::held;
}

}  // namespace vorlen::toplevel
