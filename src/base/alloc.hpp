// Allocatable arrays of the data store: column-major, lower bound 1, reference-counted storage.
//
// The storage of an allocated array is a Block. The array holds one reference; anyone else
// that hands the memory out (the Python binding's array views) takes another with retain(),
// so a release or reallocation by the library never frees memory that is still viewed.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>

#include "base/view.hpp"

namespace vorlen {

struct Block {
    long refs;
    std::size_t bytes;
};

namespace block {
// New block of n elements of elsize bytes (zero-filled storage, refs 1). n * elsize must not
// overflow: the process ends with the overflow message otherwise, or with the allocation
// message when memory cannot be had.
Block* create(i64 n, std::size_t elsize);
// As create, but null when the memory cannot be had (n * elsize must not overflow).
Block* try_create(i64 n, std::size_t elsize);
inline void* data(Block* b) { return reinterpret_cast<char*>(b) + 64; }
inline void retain(Block* b) {
    if (b) ++b->refs;
}
void release(Block* b);
// Number of elements of an array with these extents (negative extents count as 0); ends the
// process with the overflow message when the count or its byte size overflows.
i64 count(const i64* ext, int rank, std::size_t elsize);
// As count, but -1 where count ends the process.
i64 try_count(const i64* ext, int rank, std::size_t elsize);
}  // namespace block

// Allocatable array of element type T and rank R. Layout (data first) is what a C caller sees:
// the data pointer, the storage block, then the R extents.
template <class T, int R>
struct Alloc {
    T* data = nullptr;
    Block* blk = nullptr;
    i64 ext[R] = {};

    static constexpr int rank = R;
    using value_type = T;

    // One owner per storage: a copy would share the block without holding a reference.
    Alloc() = default;
    Alloc(const Alloc&) = delete;
    Alloc& operator=(const Alloc&) = delete;

    bool allocated() const { return blk != nullptr; }
    // Allocates with the given extents (below 0 counts as 0); the contents start as zeros
    // unless a fill is given. Frees what was allocated before.
    void allocate(const std::array<i64, R>& e) {
        release();
        Block* b = block::create(block::count(e.data(), R, sizeof(T)), sizeof(T));
        for (int d = 0; d < R; ++d) ext[d] = e[d] < 0 ? 0 : e[d];
        blk = b;
        data = static_cast<T*>(block::data(b));
    }
    void allocate(const std::array<i64, R>& e, T fill) {
        allocate(e);
        for (T& x : *this) x = fill;
    }
    // As allocate, for extents that come from input: false, and the array as it was, when the
    // count overflows or the memory cannot be had (allocate ends the process then).
    bool try_allocate(const std::array<i64, R>& e) {
        const i64 n = block::try_count(e.data(), R, sizeof(T));
        Block* b = n < 0 ? nullptr : block::try_create(n, sizeof(T));
        if (!b) return false;
        adopt(b, e);
        return true;
    }
    bool try_allocate(const std::array<i64, R>& e, T fill) {
        if (!try_allocate(e)) return false;
        for (T& x : *this) x = fill;
        return true;
    }
    // Takes the storage block b, made for these extents, in place of its own (released after).
    void adopt(Block* b, const std::array<i64, R>& e) {
        Block* old = blk;
        for (int d = 0; d < R; ++d) ext[d] = e[d] < 0 ? 0 : e[d];
        blk = b;
        data = static_cast<T*>(block::data(b));
        block::release(old);
    }
    void release() {
        Block* b = blk;
        data = nullptr;
        blk = nullptr;
        for (auto& e : ext) e = 0;
        block::release(b);
    }
    i64 extent(int d) const { return ext[d - 1]; }  // 1-based dimension
    i64 size() const {
        i64 s = 1;
        for (auto e : ext) s *= e;
        return allocated() ? s : 0;
    }
    T* begin() const { return data; }
    T* end() const { return data + size(); }
    View<T, R> view() const {
        View<T, R> v;
        v.p = data;
        for (int d = 0; d < R; ++d) v.n[d] = ext[d];
        return v;
    }
    template <class... I>
    T& operator()(I... idx) const {
        return view()(idx...);
    }
};

// Releases every array given.
template <class... A>
void release_all(A&... a) {
    (a.release(), ...);
}

}  // namespace vorlen
