// Column-major views with the 1-based indexing of the algorithm texts.
#pragma once
#include <array>
#include <cstdint>

namespace vorlen {

using i32 = std::int32_t;
using i64 = std::int64_t;
using lgl = std::int8_t;  // one-byte logical: non-zero is true

// A column-major array of rank R over storage it does not own; a(i, j, ...) counts from 1.
template <class T, int R>
struct View {
    T* p = nullptr;
    std::array<i64, R> n{};

    View() = default;
    template <class... E>
    View(T* data, E... extents) : p(data), n{static_cast<i64>(extents)...} {
        static_assert(sizeof...(E) == R, "one extent per dimension");
        for (auto& e : n) e = e < 0 ? 0 : e;
    }

    template <class... I>
    T& operator()(I... idx) const {
        static_assert(sizeof...(I) == R, "one index per dimension");
        const i64 ii[] = {static_cast<i64>(idx)...};
        i64 off = 0, stride = 1;
        for (int d = 0; d < R; ++d) {
            off += (ii[d] - 1) * stride;
            stride *= n[d];
        }
        return p[off];
    }
    i64 extent(int d) const { return n[d - 1]; }  // 1-based dimension
    i64 size() const {
        i64 s = 1;
        for (auto e : n) s *= e;
        return s;
    }
    T* begin() const { return p; }
    T* end() const { return p + size(); }
};

template <class T> using Vec = View<T, 1>;
template <class T> using Mat = View<T, 2>;

// Views over the extents passed by reference, as the solver convention hands them.
template <class T> Vec<T> vec(T* a, const i32* n) { return Vec<T>(a, *n); }
template <class T> Mat<T> mat(T* a, const i32* n, const i32* m) { return Mat<T>(a, *n, *m); }

}  // namespace vorlen
