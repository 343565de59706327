// Array shaping of module utility: concatenation, splitting, sub-arrays, packing by a
// condition, triangle unpacking, flips, symmetric completion and selective copies.
// A request that cannot be met leaves the documented marker values; nothing is reported.
#pragma once
#include "base/view.hpp"

namespace vorlen::utility {
extern "C" {

// ab(k+ctype*m, l+(1-ctype)*n)(out): a(k,l)(in) in its top left corner and b(m,n)(in) below a
// (ctype = 1, columns 1..n) or right of a (ctype = 0, rows 1..m); other entries 0.0. An
// unknown ctype, or a b that does not fit (n > l when stacking, m > k side by side), leaves
// ab all zero.
void MatrixConcatenation(const double* a, const double* b, double* ab, const i32* ctype,
                         const i32* k, const i32* l, const i32* m, const i32* n);
// b(n/k,k)(out) column j holds the j-th of k consecutive blocks of a(n)(in). When k is not
// positive or does not divide n, every entry of b is -1.0.
void VectorSplit(const double* a, double* b, const i32* k, const i32* n);
// b(l/k,m,k)(out) b(r,i,j) = a((j-1)*l/k + r, i) for a(l,m)(in): each column split as by
// VectorSplit. When k is not positive or does not divide l, every entry of b is -1.0.
void MatrixSplit(const double* a, double* b, const i32* k, const i32* l, const i32* m);
// subarray(nsub)(out), subslice(2)(out): the last nsub entries of array(narray)(in) (tail(in,
// optional) absent or true) or the first nsub (tail false), and their first and last position.
// When narray < nsub (a negative narray counting as 0): subarray all 1.0, subslice (-1,-1).
void GetSubArray(double* subarray, i32* subslice, const double* array, const i32* narray,
                 const i32* nsub, const lgl* tail);
// packed(npack)(out) the entries of list(nlist)(in) that meet the condition cflag(in) (1 <,
// 2 <=, 3 =, 4 >=, 5 >, 6 /=) against condition(in), in list order, then padding(in). An
// unknown cflag, or more selected entries than npack, leaves only padding.
void GetPackedList(double* packed, const double* list, const double* condition,
                   const double* padding, const i32* cflag, const i32* npack, const i32* nlist);
// lu(nlu,nlu)(out) from packed(np)(in), an upper triangle stored column by column; transposed
// when upper(in, optional) is absent or false, and once more when order(in, 1 character) is
// not "F". When packed holds fewer than nlu(nlu+1)/2 values, lu is all zero.
void GetUnpackedTriangle(double* lu, const double* packed, const i32* nlu, const i32* np,
                         const char* order, const lgl* upper);
// a(n,n)(in/out) its strict lower triangle filled column by column from x(k)(in); with
// k = n(n-1) the next n(n-1)/2 values of x fill the strict upper triangle row by row. The
// diagonal is kept. When x holds fewer values than a triangle, a is left unchanged; when it
// holds more than one triangle but fewer than two, only the lower triangle is filled.
void FillMatrixOffDiagonals(double* a, const double* x, const i32* n, const i32* k);
// sym(n,n)(out) = lu(n,n)(in), each entry equal to 0.0 replaced by its mirror lu(j,i).
void Symmetrize(const double* lu, double* sym, const i32* n);
// b(n)(out) a(n)(in) in reverse order.
void VectorFlip(const double* a, double* b, const i32* n);
// b(n,m)(out) a(n,m)(in) with the order of its rows (dimflag(in) >= 0) or of its columns
// (dimflag < 0) reversed.
void MatrixFlip(const double* a, double* b, const i32* n, const i32* m, const i32* dimflag);
// a(na)(in/out) a(mask(i)) = b(mask(i)) for i = 1..n, b(n)(in), mask(n)(in). Indices outside
// 1..min(n, na) are skipped.
void VectorSort(double* a, const double* b, const i32* mask, const i32* n, const i32* na);
// a(m,na)(in/out) column mask(i) of a = column mask(i) of b(m,n)(in), for i = 1..n, mask(n)(in).
// Indices outside 1..min(n, na) are skipped.
void MatrixSort(double* a, const double* b, const i32* mask, const i32* m, const i32* n,
                const i32* na);

} // extern "C"
} // namespace vorlen::utility
