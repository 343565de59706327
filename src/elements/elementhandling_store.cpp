// Bounded element counts and the shell-set loop.
#include "elements/elementhandling_store.hpp"

#include <algorithm>

#include "base/errorhandling.hpp"
#include "core/elementdata.hpp"
#include "core/nodaldata.hpp"

namespace vorlen::elementhandling::store {
namespace {

i64 bounded(i64 count, std::string_view problem, std::string_view routine,
            std::initializer_list<i64> extents) {
    i64 n = std::max<i64>(count, 0);
    for (const i64 e : extents) n = std::min(n, e);
    if (n < count) errorhandling::report(-3, problem, routine);
    return n;
}

}  // namespace

i64 elements(std::string_view routine, std::initializer_list<i64> extents) {
    return bounded(elementdata::nelem, "Element count above the element tables", routine, extents);
}

i64 slots(std::string_view routine, std::initializer_list<i64> extents) {
    return bounded(nodaldata::nnodes, "Node slot count above the node tables", routine, extents);
}

Loop::Loop(i64 ne) : ne_(ne) {
    const auto& ind = elementdata::elemindices;
    if (!ind.allocated()) return;
    shell_ = true;
    index_ = ind.data;
    used_ = std::count_if(ind.begin(), ind.end(), [](i32 v) { return v != -1; });
}

}  // namespace vorlen::elementhandling::store
