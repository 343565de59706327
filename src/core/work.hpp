// Work arrays of routines whose size depends on their arguments: a member buffer of N elements
// when the size fits, else storage from the library's allocation path (a failed allocation ends
// the process with "Error allocating <bytes> bytes", like every other allocation; nothing is
// thrown). Per-integration-point code stays within N and touches no heap.
#pragma once
#include <cstddef>
#include <type_traits>

#include "core/alloc.hpp"
#include "core/view.hpp"

namespace vorlen {

template <class T, std::size_t N>
class Work {
    static_assert(std::is_trivially_copyable_v<T>, "work arrays hold plain numbers");

  public:
    // size elements (below 0 counts as 0), zero-filled.
    explicit Work(i64 size) {
        const i64 n = size < 0 ? 0 : size;
        if (n > static_cast<i64>(N)) {
            blk_ = block::create(block::count(&n, 1, sizeof(T)), sizeof(T));
            p_ = static_cast<T*>(block::data(blk_));
        } else {
            for (i64 i = 0; i < n; ++i) buf_[i] = T{};
        }
    }
    ~Work() { block::release(blk_); }
    Work(const Work&) = delete;
    Work& operator=(const Work&) = delete;

    T* data() { return p_; }
    T& operator[](i64 i) { return p_[i]; }      // 0-based
    T& operator()(i64 i) { return p_[i - 1]; }  // 1-based, as the algorithm texts count

  private:
    T buf_[N == 0 ? 1 : N];
    Block* blk_ = nullptr;
    T* p_ = buf_;
};

}  // namespace vorlen
