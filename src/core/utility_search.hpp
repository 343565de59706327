// Search, membership, ranking and merging of module utility, and small scalar helpers.
// Equality is exact for every element type: NaN equals nothing, -0.0 equals 0.0, complex
// values are equal when both parts are. Nothing is reported; failed searches return markers.
#pragma once
#include <complex>

#include "base/view.hpp"

namespace vorlen::utility {
extern "C" {

// Position of the first array(i) equal to element(in), i = 1..ndim, array(ndim)(in); else
// notfound(in, optional), -1 when absent.
i32 iFindLocation(const i32* element, const i32* array, const i32* ndim, const i32* notfound);
i32 fFindLocation(const double* element, const double* array, const i32* ndim, const i32* notfound);
i32 cFindLocation(const std::complex<double>* element, const std::complex<double>* array,
                  const i32* ndim, const i32* notfound);
// First start position i = 1..ndim-sdim+1 at which subarray(sdim)(in) occurs in
// array(ndim)(in); 1 for sdim <= 0 (when ndim >= sdim); else notfound(in, optional), -1 when
// absent.
i32 iFindSubArray(const i32* subarray, const i32* array, const i32* sdim, const i32* ndim,
                  const i32* notfound);
i32 fFindSubArray(const double* subarray, const double* array, const i32* sdim, const i32* ndim,
                  const i32* notfound);
i32 cFindSubArray(const std::complex<double>* subarray, const std::complex<double>* array,
                  const i32* sdim, const i32* ndim, const i32* notfound);

// ainb(n)(out) position of a(i) in b (first match), -1 when absent; a(n), b(n)(in).
void iGetPairs(i32* ainb, const i32* a, const i32* b, const i32* n);
void fGetPairs(i32* ainb, const double* a, const double* b, const i32* n);
// indices(n)(out) the positions i, ascending, whose a(i) equals no entry of sub(nsub)(in),
// packed to the front; the rest -1. a(n)(in).
void GetIndicesExcludingSubArray(i32* indices, const i32* a, const i32* sub, const i32* n,
                                 const i32* nsub);

// xlow <= x <= xup (false for a NaN x).
lgl iBounded(const i32* x, const i32* xlow, const i32* xup);
lgl fBounded(const double* x, const double* xlow, const double* xup);
// Exchange a(in/out) and b(in/out).
void iSwap(i32* a, i32* b);
void fSwap(double* a, double* b);
void cSwap(std::complex<double>* a, std::complex<double>* b);
// i(in/out) += step(in, optional), 1 when absent.
void iINC(i32* i, const i32* step);
void fINC(double* f, const double* step);
// Some list(i) equals scalar, list(n)(in); false for n <= 0.
lgl iInList(const i32* scalar, const i32* list, const i32* n);
lgl fInList(const double* scalar, const double* list, const i32* n);
// Every list(i) equals scalar, list(n)(in); true for n <= 0.
lgl iExList(const i32* scalar, const i32* list, const i32* n);
lgl fExList(const double* scalar, const double* list, const i32* n);
// a exclusive-or b; not (a or b); not (a and b). One-byte logicals, non-zero is true.
lgl lXOR(const lgl* a, const lgl* b);
lgl lNOR(const lgl* a, const lgl* b);
lgl lNAND(const lgl* a, const lgl* b);

// iloc(xdim)(out) the stable sorting permutation of xarr(xdim)(in): ascending, descending for
// sflag(in) = -1. Equal values keep their order; NaN values come last in either direction.
void iGetContinuous(const i32* xarr, const i32* xdim, i32* iloc, const i32* sflag);
void fGetContinuous(const double* xarr, const i32* xdim, i32* iloc, const i32* sflag);
// merged(nx+ny)(out) the values of x(nx)(in) found in no entry of y(ny)(in), then those of y
// found in no entry of x, then each common value once, then defval(in, optional; the largest
// value of the type when absent) in the remaining tail; a 0 in x or y takes the first tail
// slot.
void iGetMerged(i32* merged, const i32* x, const i32* y, const i32* nx, const i32* ny,
                const i32* defval);
void fGetMerged(double* merged, const double* x, const double* y, const i32* nx, const i32* ny,
                const double* defval);

} // extern "C"
} // namespace vorlen::utility
