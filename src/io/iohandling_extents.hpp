// Extent test of the data-store tables that the card readers keep or allocate anew.
#pragma once
#include "base/alloc.hpp"

namespace vorlen::iohandling {

// Whether a is allocated with the extents e; with `longer` its first extent may exceed e[0].
template <class A, class... E>
bool fits(const A& a, bool longer, E... e) {
    const i64 want[] = {static_cast<i64>(e)...};
    if (!a.allocated()) return false;
    for (int d = 0; d < A::rank; ++d)
        if (d == 0 && longer ? a.extent(1) < want[0] : a.extent(d + 1) != want[d]) return false;
    return true;
}

}  // namespace vorlen::iohandling
