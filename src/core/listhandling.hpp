// Module listhandling: nine process-wide growable lists, three of each element type, addressed
// by a handle (listid 1..3) and a type flag (ifflag 0 integer, 1 double, 2 complex double).
//
// A list is an allocatable rank-1 array whose extent is its capacity. Free slots hold the
// fill value, by default the free marker of the type: 2147483647, the largest double
// 1.7976931348623157e308, and that value in both parts for complex numbers. The used part is
// everything before the first free slot; appends fill the first free slot and grow a full list
// by allocinc entries (500 when absent or below 1). A handle outside 1..3 or a type flag
// outside 0..2 addresses no list. Equality is exact (NaN equals nothing, -0.0 equals 0.0).
//
// Status codes: 0 success; 1 release of an unallocated list (or of no list); 5014 allocation of
// an allocated list (the list is emptied and kept); 5020 allocation failure or no list (nothing
// allocated). Appends give -5020 in iresult when they cannot allocate.
#pragma once
#include <complex>

#include "base/alloc.hpp"

extern "C" {
extern vorlen::Alloc<vorlen::i32, 1> listhandling_dynintlist1;
extern vorlen::Alloc<vorlen::i32, 1> listhandling_dynintlist2;
extern vorlen::Alloc<vorlen::i32, 1> listhandling_dynintlist3;
extern vorlen::Alloc<double, 1> listhandling_dynreallist1;
extern vorlen::Alloc<double, 1> listhandling_dynreallist2;
extern vorlen::Alloc<double, 1> listhandling_dynreallist3;
extern vorlen::Alloc<std::complex<double>, 1> listhandling_dyncmplxlist1;
extern vorlen::Alloc<std::complex<double>, 1> listhandling_dyncmplxlist2;
extern vorlen::Alloc<std::complex<double>, 1> listhandling_dyncmplxlist3;
}

namespace vorlen::listhandling {

inline constexpr auto& dynintlist1 = ::listhandling_dynintlist1;
inline constexpr auto& dynintlist2 = ::listhandling_dynintlist2;
inline constexpr auto& dynintlist3 = ::listhandling_dynintlist3;
inline constexpr auto& dynreallist1 = ::listhandling_dynreallist1;
inline constexpr auto& dynreallist2 = ::listhandling_dynreallist2;
inline constexpr auto& dynreallist3 = ::listhandling_dynreallist3;
inline constexpr auto& dyncmplxlist1 = ::listhandling_dyncmplxlist1;
inline constexpr auto& dyncmplxlist2 = ::listhandling_dyncmplxlist2;
inline constexpr auto& dyncmplxlist3 = ::listhandling_dyncmplxlist3;

extern "C" {

// Allocates a list with le entries (0 when le is below 1), or keeps the capacity of an
// allocated one, and sets every entry to the fill value of its type.
//   listid, ifflag (in)  the list
//   le (in)              capacity of a new list
//   ierror (out)         0, 5014 when it was allocated, 5020 on failure or for no list
//   defcmplx, defreal, defint (in, optional)  fill values (absent: the free markers)
void AllocateList(const i32* listid, const i32* ifflag, const i32* le, i32* ierror,
                  const std::complex<double>* defcmplx, const double* defreal, const i32* defint);

// Frees a list. ierror (out): 0, or 1 when it was not allocated or there is no such list.
void DeallocateList(const i32* listid, const i32* ifflag, i32* ierror);

// checkid (out): whether the list is allocated (false for no list).
void GetAllocationStatus(lgl* checkid, const i32* listid, const i32* ifflag);

// Used length: the position of the first entry equal to the fill value of the type (optional
// arguments as AllocateList) minus 1; the capacity when none is; -1 for an unallocated list or
// no list.
i32 GetSizeOfList(const i32* listid, const i32* ifflag, const std::complex<double>* defcmplx,
                  const double* defreal, const i32* defint);

// Appends scalar to the list listid of the type, allocating a list of allocinc entries on
// first use. With uniflag 1 a value found anywhere in the list, free slots included, is not
// added. The first slot equal to defval takes it; a full list first grows by allocinc entries
// (the new block made and filled before the old one is released). Every slot that a list
// gains holds defval, so that appends with one defval fill the list in order.
//   iresult (out)          1 stored; 0 found already; -5020 when the list cannot be had or grown
//   allocinc (in, optional) growth step (absent or below 1: 500)
//   defval (in, optional)  the free marker (absent: the type's own)
void iAppendScalar2List(const i32* listid, const i32* scalar, const i32* uniflag, i32* iresult,
                        const i32* allocinc, const i32* defval);
void fAppendScalar2List(const i32* listid, const double* scalar, const i32* uniflag, i32* iresult,
                        const i32* allocinc, const double* defval);
void cAppendScalar2List(const i32* listid, const std::complex<double>* scalar, const i32* uniflag,
                        i32* iresult, const i32* allocinc, const std::complex<double>* defval);

// Appends array(1..narray) entry by entry as the scalar appends do (uniflag 0); iresult is that
// of the last entry. With uniflag 1 nothing is added when the array stands as a run of
// consecutive entries in the used part (up to the first defval); then, and for narray below 1,
// iresult is 0.
void iAppendArray2List(const i32* listid, const i32* array, const i32* narray, const i32* uniflag,
                       i32* iresult, const i32* allocinc, const i32* defval);
void fAppendArray2List(const i32* listid, const double* array, const i32* narray,
                       const i32* uniflag, i32* iresult, const i32* allocinc, const double* defval);
void cAppendArray2List(const i32* listid, const std::complex<double>* array, const i32* narray,
                       const i32* uniflag, i32* iresult, const i32* allocinc,
                       const std::complex<double>* defval);

// copy(1..k) (out) = the first k entries of the list, k = min(ncopy, capacity); the rest of
// copy unchanged. ierror (out): 0, or -1 for an unallocated list or no list (nothing copied).
void iGetCopyOfList(const i32* listid, i32* copy, const i32* ncopy, i32* ierror);
void fGetCopyOfList(const i32* listid, double* copy, const i32* ncopy, i32* ierror);
void cGetCopyOfList(const i32* listid, std::complex<double>* copy, const i32* ncopy, i32* ierror);

}  // extern "C"
}  // namespace vorlen::listhandling
