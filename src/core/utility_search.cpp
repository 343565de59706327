// Search, membership, ranking and merging of module utility: one template per family,
// instantiated for each element type.
#include "core/utility_search.hpp"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <numeric>

#include "core/utility_extent.hpp"

using namespace vorlen;
using vorlen::utility::detail::entries;

namespace {

template <class T>
bool is_nan(const T& v) {
    return v != v; // NaN is the only value unequal to itself; never true for integers
}

// Exact equality of the element types (operator== already is: NaN unequal, -0.0 == 0.0).
template <class T>
bool contains(const T* list, i64 n, const T& v) {
    return std::find(list, list + std::max<i64>(n, 0), v) != list + std::max<i64>(n, 0);
}

template <class T>
i32 find_location(const T* element, const T* array, const i32* ndim, const i32* notfound) {
    const i64 n = entries({*ndim});
    const T* hit = std::find(array, array + n, *element);
    if (hit != array + n) return static_cast<i32>(hit - array + 1);
    return notfound ? *notfound : -1;
}

template <class T>
i32 find_subarray(const T* subarray, const T* array, const i32* sdim, const i32* ndim,
                  const i32* notfound) {
    const i64 ns = *sdim, n = *ndim;
    if (n < ns) return notfound ? *notfound : -1;
    if (ns <= 0) return 1;
    for (i64 i = 0; i + ns <= n; ++i)
        if (std::equal(subarray, subarray + ns, array + i)) return static_cast<i32>(i + 1);
    return notfound ? *notfound : -1;
}

template <class T>
void get_pairs(i32* ainb, const T* a, const T* b, const i32* n) {
    for (i64 i = 0; i < entries({*n}); ++i) ainb[i] = find_location(a + i, b, n, nullptr);
}

template <class T>
lgl in_list(const T* scalar, const T* list, const i32* n) {
    return contains(list, *n, *scalar);
}

template <class T>
lgl ex_list(const T* scalar, const T* list, const i32* n) {
    return std::all_of(list, list + entries({*n}), [&](const T& v) { return v == *scalar; });
}

// Stable ranking; NaN values rank after every number in both directions. Short lists are
// ranked in place by insertion; longer ones by the library's merge sort.
template <class T>
void get_continuous(const T* xarr, const i32* xdim, i32* iloc, const i32* sflag) {
    const i64 n = entries({*xdim});
    std::iota(iloc, iloc + n, 1);
    const bool down = *sflag == -1;
    auto before = [xarr, down](i32 p, i32 q) {
        const T& u = xarr[p - 1];
        const T& v = xarr[q - 1];
        if (is_nan(u)) return false;
        if (is_nan(v)) return true;
        return down ? v < u : u < v;
    };
    if (n > 32) {
        std::stable_sort(iloc, iloc + n, before);
        return;
    }
    for (i64 i = 1; i < n; ++i) {
        const i32 p = iloc[i];
        i64 j = i;
        for (; j > 0 && before(p, iloc[j - 1]); --j) iloc[j] = iloc[j - 1];
        iloc[j] = p;
    }
}

template <class T>
void get_merged(T* merged, const T* x, const T* y, const i32* nx, const i32* ny, const T* defval,
                T largest) {
    const i64 n1 = entries({*nx}), n2 = entries({*ny}), n = n1 + n2;
    const T d = defval ? *defval : largest, zero = T(0);
    std::fill_n(merged, n, zero);
    i64 pos = 0;
    for (i64 i = 0; i < n1; ++i)
        if (!contains(y, n2, x[i])) merged[pos++] = x[i];
    for (i64 j = 0; j < n2; ++j)
        if (!contains(x, n1, y[j])) merged[pos++] = y[j];
    for (i64 i = 0; i < n1; ++i) {
        // A value equal to nothing (NaN) is in no other list, so it is placed above already;
        // placing it again would take the slot of a common value.
        if (is_nan(x[i]) || contains(merged, n, x[i])) continue;
        T* slot = std::find(merged, merged + n, zero);
        if (slot != merged + n) *slot = x[i];
    }
    std::replace(merged, merged + n, zero, d);
    if (contains(x, n1, zero) || contains(y, n2, zero)) {
        T* first = std::find(merged, merged + n, d);
        if (first != merged + n) *first = zero;
    }
}

} // namespace

namespace vorlen::utility {
extern "C" {

i32 iFindLocation(const i32* element, const i32* array, const i32* ndim, const i32* notfound) {
    return find_location(element, array, ndim, notfound);
}
i32 fFindLocation(const double* element, const double* array, const i32* ndim,
                  const i32* notfound) {
    return find_location(element, array, ndim, notfound);
}
i32 cFindLocation(const std::complex<double>* element, const std::complex<double>* array,
                  const i32* ndim, const i32* notfound) {
    return find_location(element, array, ndim, notfound);
}

i32 iFindSubArray(const i32* subarray, const i32* array, const i32* sdim, const i32* ndim,
                  const i32* notfound) {
    return find_subarray(subarray, array, sdim, ndim, notfound);
}
i32 fFindSubArray(const double* subarray, const double* array, const i32* sdim, const i32* ndim,
                  const i32* notfound) {
    return find_subarray(subarray, array, sdim, ndim, notfound);
}
i32 cFindSubArray(const std::complex<double>* subarray, const std::complex<double>* array,
                  const i32* sdim, const i32* ndim, const i32* notfound) {
    return find_subarray(subarray, array, sdim, ndim, notfound);
}

void iGetPairs(i32* ainb, const i32* a, const i32* b, const i32* n) { get_pairs(ainb, a, b, n); }
void fGetPairs(i32* ainb, const double* a, const double* b, const i32* n) {
    get_pairs(ainb, a, b, n);
}

void GetIndicesExcludingSubArray(i32* indices, const i32* a, const i32* sub, const i32* n,
                                 const i32* nsub) {
    const i64 na = entries({*n});
    std::fill_n(indices, na, -1);
    i32* next = indices;
    for (i64 i = 0; i < na; ++i)
        if (!contains(sub, *nsub, a[i])) *next++ = static_cast<i32>(i + 1);
}

lgl iBounded(const i32* x, const i32* xlow, const i32* xup) { return *xlow <= *x && *x <= *xup; }
lgl fBounded(const double* x, const double* xlow, const double* xup) {
    return *xlow <= *x && *x <= *xup;
}

void iSwap(i32* a, i32* b) { std::swap(*a, *b); }
void fSwap(double* a, double* b) { std::swap(*a, *b); }
void cSwap(std::complex<double>* a, std::complex<double>* b) { std::swap(*a, *b); }

// Integer increments wrap around in two's complement instead of overflowing.
void iINC(i32* i, const i32* step) {
    *i = static_cast<i32>(static_cast<std::uint32_t>(*i) +
                          static_cast<std::uint32_t>(step ? *step : 1));
}
void fINC(double* f, const double* step) { *f += step ? *step : 1.0; }

lgl iInList(const i32* scalar, const i32* list, const i32* n) { return in_list(scalar, list, n); }
lgl fInList(const double* scalar, const double* list, const i32* n) {
    return in_list(scalar, list, n);
}
lgl iExList(const i32* scalar, const i32* list, const i32* n) { return ex_list(scalar, list, n); }
lgl fExList(const double* scalar, const double* list, const i32* n) {
    return ex_list(scalar, list, n);
}

lgl lXOR(const lgl* a, const lgl* b) { return (*a != 0) != (*b != 0); }
lgl lNOR(const lgl* a, const lgl* b) { return !(*a || *b); }
lgl lNAND(const lgl* a, const lgl* b) { return !(*a && *b); }

void iGetContinuous(const i32* xarr, const i32* xdim, i32* iloc, const i32* sflag) {
    get_continuous(xarr, xdim, iloc, sflag);
}
void fGetContinuous(const double* xarr, const i32* xdim, i32* iloc, const i32* sflag) {
    get_continuous(xarr, xdim, iloc, sflag);
}

void iGetMerged(i32* merged, const i32* x, const i32* y, const i32* nx, const i32* ny,
                const i32* defval) {
    get_merged(merged, x, y, nx, ny, defval, std::numeric_limits<i32>::max());
}
void fGetMerged(double* merged, const double* x, const double* y, const i32* nx, const i32* ny,
                const double* defval) {
    get_merged(merged, x, y, nx, ny, defval, std::numeric_limits<double>::max());
}

} // extern "C"
} // namespace vorlen::utility
