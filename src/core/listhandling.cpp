// The growable lists: one template per family, instantiated for the three element types.
#include "core/listhandling.hpp"

#include <algorithm>
#include <cstring>
#include <limits>
#include <type_traits>

#include "core/utility_search.hpp"

extern "C" {
vorlen::Alloc<vorlen::i32, 1> listhandling_dynintlist1;
vorlen::Alloc<vorlen::i32, 1> listhandling_dynintlist2;
vorlen::Alloc<vorlen::i32, 1> listhandling_dynintlist3;
vorlen::Alloc<double, 1> listhandling_dynreallist1;
vorlen::Alloc<double, 1> listhandling_dynreallist2;
vorlen::Alloc<double, 1> listhandling_dynreallist3;
vorlen::Alloc<std::complex<double>, 1> listhandling_dyncmplxlist1;
vorlen::Alloc<std::complex<double>, 1> listhandling_dyncmplxlist2;
vorlen::Alloc<std::complex<double>, 1> listhandling_dyncmplxlist3;
}

using namespace vorlen;
using namespace vorlen::listhandling;
using cplx = std::complex<double>;

namespace {

constexpr i32 allocated_already = 5014, no_memory = 5020, not_allocated = 1;
constexpr i64 max_capacity = std::numeric_limits<i32>::max();  // positions are 32-bit

template <class T>
T marker() {
    if constexpr (std::is_same_v<T, i32>)
        return std::numeric_limits<i32>::max();
    else if constexpr (std::is_same_v<T, double>)
        return std::numeric_limits<double>::max();
    else
        return {std::numeric_limits<double>::max(), std::numeric_limits<double>::max()};
}

template <class T>
T value_or_marker(const T* v) {
    return v ? *v : marker<T>();
}

template <class T>
Alloc<T, 1>* list_of(i32 listid) {
    if (listid < 1 || listid > 3) return nullptr;
    if constexpr (std::is_same_v<T, i32>) {
        Alloc<i32, 1>* const lists[] = {&dynintlist1, &dynintlist2, &dynintlist3};
        return lists[listid - 1];
    } else if constexpr (std::is_same_v<T, double>) {
        Alloc<double, 1>* const lists[] = {&dynreallist1, &dynreallist2, &dynreallist3};
        return lists[listid - 1];
    } else {
        Alloc<cplx, 1>* const lists[] = {&dyncmplxlist1, &dyncmplxlist2, &dyncmplxlist3};
        return lists[listid - 1];
    }
}

// Calls f with the list of the type flag (null for no list) and the fill value of its type.
template <class F>
auto with_list(const i32* listid, const i32* ifflag, const cplx* defcmplx, const double* defreal,
               const i32* defint, F f) {
    switch (*ifflag) {
    case 0:
        return f(list_of<i32>(*listid), value_or_marker(defint));
    case 1:
        return f(list_of<double>(*listid), value_or_marker(defreal));
    case 2:
        return f(list_of<cplx>(*listid), value_or_marker(defcmplx));
    default:
        return f(static_cast<Alloc<i32, 1>*>(nullptr), 0);
    }
}

// The search routines of module utility, by element type.
i32 find_location(const i32& v, const i32* a, i64 n) {
    const i32 nn = static_cast<i32>(n);
    return utility::iFindLocation(&v, a, &nn, nullptr);
}
i32 find_location(const double& v, const double* a, i64 n) {
    const i32 nn = static_cast<i32>(n);
    return utility::fFindLocation(&v, a, &nn, nullptr);
}
i32 find_location(const cplx& v, const cplx* a, i64 n) {
    const i32 nn = static_cast<i32>(n);
    return utility::cFindLocation(&v, a, &nn, nullptr);
}
i32 find_subarray(const i32* sub, i32 ns, const i32* a, i32 n) {
    return utility::iFindSubArray(sub, a, &ns, &n, nullptr);
}
i32 find_subarray(const double* sub, i32 ns, const double* a, i32 n) {
    return utility::fFindSubArray(sub, a, &ns, &n, nullptr);
}
i32 find_subarray(const cplx* sub, i32 ns, const cplx* a, i32 n) {
    return utility::cFindSubArray(sub, a, &ns, &n, nullptr);
}

// Gives the list a new block of n entries: its first `keep` entries, then fill. The old block
// is released only once the new one holds them; false (the list unchanged) without memory.
template <class T>
bool remake(Alloc<T, 1>& list, i64 n, const T& fill, i64 keep = 0) {
    Block* b = block::try_create(n, sizeof(T));
    if (!b) return false;
    T* d = static_cast<T*>(block::data(b));
    std::copy_n(list.data, keep, d);
    std::fill(d + keep, d + n, fill);
    list.adopt(b, {n});
    return true;
}

template <class T>
i32 size_of(const Alloc<T, 1>* list, const T& fill) {
    if (!list || !list->allocated()) return -1;
    const i32 p = find_location(fill, list->data, list->ext[0]);
    return p < 0 ? static_cast<i32>(list->ext[0]) : p - 1;
}

i64 step_of(const i32* allocinc) { return allocinc && *allocinc >= 1 ? *allocinc : 500; }

// The list, allocated with `step` entries of `free` on first use; null when it cannot be had.
template <class T>
Alloc<T, 1>* ready(i32 listid, i64 step, const T& free) {
    Alloc<T, 1>* list = list_of<T>(listid);
    if (list && !list->allocated() && !remake(*list, step, free)) return nullptr;
    return list;
}

// Stores v in the first slot equal to free at or after position `from` (0-based; no slot
// before it is free) and advances `from` past it; a full list first grows by step entries of
// free, so that the next append with the same free finds them.
template <class T>
i32 store(Alloc<T, 1>& list, const T& v, i64 step, const T& free, i64& from) {
    const i64 n = list.ext[0];
    const i32 p = find_location(free, list.data + from, n - from);
    i64 slot = p < 0 ? n : from + p - 1;
    if (p < 0) {
        if (n >= max_capacity || !remake(list, std::min(n + step, max_capacity), free, n))
            return -no_memory;
    }
    list.data[slot] = v;
    from = v == free ? slot : slot + 1;  // storing the marker leaves the slot free
    return 1;
}

template <class T>
void append_scalar(const i32* listid, const T* scalar, const i32* uniflag, i32* iresult,
                   const i32* allocinc, const T* defval) {
    const T v = *scalar, free = value_or_marker(defval);
    const i64 step = step_of(allocinc);
    Alloc<T, 1>* list = ready(*listid, step, free);
    if (!list) {
        *iresult = -no_memory;
        return;
    }
    if (*uniflag == 1 && find_location(v, list->data, list->ext[0]) > 0) {
        *iresult = 0;
        return;
    }
    i64 from = 0;
    *iresult = store(*list, v, step, free, from);
}

template <class T>
void append_array(const i32* listid, const T* array, const i32* narray, const i32* uniflag,
                  i32* iresult, const i32* allocinc, const T* defval) {
    const T free = value_or_marker(defval);
    const i64 step = step_of(allocinc);
    Alloc<T, 1>* list = ready(*listid, step, free);
    if (!list) {
        *iresult = -no_memory;
        return;
    }
    *iresult = 0;
    if (*uniflag == 1 && find_subarray(array, *narray, list->data, size_of(list, free)) > 0) return;
    // The array may be the list's own storage: it stays alive while the list grows.
    Block* held = list->blk;
    block::retain(held);
    i64 from = 0;
    for (i64 k = 0; k < *narray; ++k) *iresult = store(*list, array[k], step, free, from);
    block::release(held);
}

template <class T>
void copy_of(const i32* listid, T* copy, const i32* ncopy, i32* ierror) {
    *ierror = -1;
    const Alloc<T, 1>* list = list_of<T>(*listid);
    if (!list || !list->allocated()) return;
    const i64 k = std::clamp<i64>(*ncopy, 0, list->ext[0]);
    if (k > 0) std::memmove(copy, list->data, static_cast<size_t>(k) * sizeof(T));
    *ierror = 0;
}

}  // namespace

namespace vorlen::listhandling {
extern "C" {

void AllocateList(const i32* listid, const i32* ifflag, const i32* le, i32* ierror,
                  const cplx* defcmplx, const double* defreal, const i32* defint) {
    *ierror = with_list(listid, ifflag, defcmplx, defreal, defint, [le](auto* list, auto fill) {
        if (!list) return no_memory;
        if (list->allocated()) {
            std::fill(list->begin(), list->end(), fill);
            return allocated_already;
        }
        return remake(*list, *le < 1 ? 0 : *le, fill) ? 0 : no_memory;
    });
}

void DeallocateList(const i32* listid, const i32* ifflag, i32* ierror) {
    *ierror = with_list(listid, ifflag, nullptr, nullptr, nullptr, [](auto* list, auto) {
        if (!list || !list->allocated()) return not_allocated;
        list->release();
        return 0;
    });
}

void GetAllocationStatus(lgl* checkid, const i32* listid, const i32* ifflag) {
    *checkid = with_list(listid, ifflag, nullptr, nullptr, nullptr,
                         [](auto* list, auto) { return lgl{list && list->allocated()}; });
}

i32 GetSizeOfList(const i32* listid, const i32* ifflag, const cplx* defcmplx, const double* defreal,
                  const i32* defint) {
    return with_list(listid, ifflag, defcmplx, defreal, defint,
                     [](auto* list, auto fill) { return size_of(list, fill); });
}

void iAppendScalar2List(const i32* listid, const i32* scalar, const i32* uniflag, i32* iresult,
                        const i32* allocinc, const i32* defval) {
    append_scalar(listid, scalar, uniflag, iresult, allocinc, defval);
}
void fAppendScalar2List(const i32* listid, const double* scalar, const i32* uniflag, i32* iresult,
                        const i32* allocinc, const double* defval) {
    append_scalar(listid, scalar, uniflag, iresult, allocinc, defval);
}
void cAppendScalar2List(const i32* listid, const cplx* scalar, const i32* uniflag, i32* iresult,
                        const i32* allocinc, const cplx* defval) {
    append_scalar(listid, scalar, uniflag, iresult, allocinc, defval);
}

void iAppendArray2List(const i32* listid, const i32* array, const i32* narray, const i32* uniflag,
                       i32* iresult, const i32* allocinc, const i32* defval) {
    append_array(listid, array, narray, uniflag, iresult, allocinc, defval);
}
void fAppendArray2List(const i32* listid, const double* array, const i32* narray,
                       const i32* uniflag, i32* iresult, const i32* allocinc,
                       const double* defval) {
    append_array(listid, array, narray, uniflag, iresult, allocinc, defval);
}
void cAppendArray2List(const i32* listid, const cplx* array, const i32* narray, const i32* uniflag,
                       i32* iresult, const i32* allocinc, const cplx* defval) {
    append_array(listid, array, narray, uniflag, iresult, allocinc, defval);
}

void iGetCopyOfList(const i32* listid, i32* copy, const i32* ncopy, i32* ierror) {
    copy_of(listid, copy, ncopy, ierror);
}
void fGetCopyOfList(const i32* listid, double* copy, const i32* ncopy, i32* ierror) {
    copy_of(listid, copy, ncopy, ierror);
}
void cGetCopyOfList(const i32* listid, cplx* copy, const i32* ncopy, i32* ierror) {
    copy_of(listid, copy, ncopy, ierror);
}

}  // extern "C"
}  // namespace vorlen::listhandling
