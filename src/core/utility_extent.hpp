// Entry counts of the arrays that the utility routines receive as pointers with extents.
#pragma once
#include <initializer_list>

#include "base/view.hpp"

namespace vorlen::utility::detail {

// Number of entries of an array of these extents; an extent of 0 or less makes the array
// empty, and a count that overflows (no such array can exist) is taken as 0 so that nothing
// is written.
inline i64 entries(std::initializer_list<i64> ext) {
    i64 c = 1;
    for (const i64 e : ext) {
        if (e <= 0) return 0;
        if (__builtin_mul_overflow(c, e, &c)) return 0;
    }
    return c;
}

} // namespace vorlen::utility::detail
