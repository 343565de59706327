// Element loops of module elementhandling over the tables of the data store: the counts
// elementdata::nelem and nodaldata::nnodes bounded by the extents of the tables a routine uses,
// and the loop over the shell set.
#pragma once
#include <initializer_list>
#include <string_view>

#include "base/view.hpp"

namespace vorlen::elementhandling::store {

// nelem bounded by the extents (at least 0); records code -3 "Element count above the element
// tables in <routine>" when it exceeds one of them.
i64 elements(std::string_view routine, std::initializer_list<i64> extents);

// nnodes bounded likewise ("Node slot count above the node tables in <routine>").
i64 slots(std::string_view routine, std::initializer_list<i64> extents);

// The element loop: the shell set when elementdata::elemindices is allocated (its first entries,
// as many as differ from -1, skipping those outside 1..ne), else the elements 1..ne.
class Loop {
  public:
    explicit Loop(i64 ne);
    template <class F>
    void each(F&& f) const {
        if (!shell_) {
            for (i64 e = 1; e <= ne_; ++e) f(e);
            return;
        }
        for (i64 k = 0; k < used_; ++k) {
            const i64 e = index_[k];
            if (e >= 1 && e <= ne_) f(e);
        }
    }

  private:
    i64 ne_;
    bool shell_ = false;
    const i32* index_ = nullptr;
    i64 used_ = 0;
};

}  // namespace vorlen::elementhandling::store
