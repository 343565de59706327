// Work arrays of routines whose size depends on their arguments: a member buffer of N elements
// when the size fits, else storage from the library's allocation path (a failed allocation ends
// the process with "Error allocating <bytes> bytes", like every other allocation; nothing is
// thrown). Per-integration-point code stays within N and touches no heap.
#pragma once
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <optional>
#include <string>
#include <type_traits>
#include <vector>

#include "base/alloc.hpp"
#include "base/fatal.hpp"
#include "base/view.hpp"

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
    ~Work() {
        if (blk_) block::release(blk_);
    }
    Work(const Work&) = delete;
    Work& operator=(const Work&) = delete;

    T* data() { return p_; }
    const T* data() const { return p_; }
    T& operator[](i64 i) { return p_[i]; }  // 0-based
    const T& operator[](i64 i) const { return p_[i]; }
    T& operator()(i64 i) { return p_[i - 1]; }  // 1-based, as the algorithm texts count

  private:
    T buf_[N == 0 ? 1 : N];
    Block* blk_ = nullptr;
    T* p_ = buf_;
};

// Allocator of the standard containers that readers grow with their input: storage the library's
// way, a failed allocation ending the process with "Error allocating <bytes> bytes" (or the
// overflow message); nothing is thrown out of a routine.
template <class T>
struct LibraryAllocator {
    using value_type = T;
    LibraryAllocator() = default;
    template <class U>
    LibraryAllocator(const LibraryAllocator<U>&) noexcept {}
    T* allocate(std::size_t n) {
        if (n > std::numeric_limits<std::size_t>::max() / sizeof(T)) fatal::allocation_overflow();
        void* p = std::malloc(n * sizeof(T));
        if (!p) fatal::allocation_failed(n * sizeof(T));
        return static_cast<T*>(p);
    }
    void deallocate(T* p, std::size_t) noexcept { std::free(p); }
    friend bool operator==(LibraryAllocator, LibraryAllocator) { return true; }
};
template <class T>
using Vector = std::vector<T, LibraryAllocator<T>>;
using String = std::basic_string<char, std::char_traits<char>, LibraryAllocator<char>>;

// Whether the n elements at a and the m elements at b share storage.
template <class T, class U>
bool overlaps(const T* a, i64 n, const U* b, i64 m) {
    const auto a0 = reinterpret_cast<std::uintptr_t>(a), b0 = reinterpret_cast<std::uintptr_t>(b);
    return n > 0 && m > 0 && a0 < b0 + static_cast<std::uintptr_t>(m) * sizeof(U) &&
           b0 < a0 + static_cast<std::uintptr_t>(n) * sizeof(T);
}

// An input of n elements as a routine reads it while it writes an output of m elements: the
// caller's array, or a private copy when the output shares its storage (a caller may pass one
// array for both, as in x = A x). Without sharing nothing is copied or allocated.
template <class T, std::size_t N>
class Unaliased {
  public:
    template <class U>
    Unaliased(const T* in, i64 n, const U* out, i64 m) : p_(in) {
        if (!overlaps(in, n, out, m)) return;
        copy_.emplace(n);
        std::copy_n(in, n, copy_->data());
        p_ = copy_->data();
    }
    const T* data() const { return p_; }

  private:
    std::optional<Work<T, N>> copy_;
    const T* p_;
};

}  // namespace vorlen
