// Array shaping of module utility.
#include "core/utility_shape.hpp"

#include <algorithm>
#include <cstring>

#include "core/utility_extent.hpp"
#include "base/work.hpp"

using namespace vorlen;
using vorlen::utility::detail::entries;

namespace {

// Copies src (r by c) into dst with its top left corner at (i0 + 1, j0 + 1).
void place(const Mat<double>& dst, const Mat<const double>& src, i64 i0, i64 j0) {
    for (i64 j = 1; j <= src.extent(2); ++j)
        for (i64 i = 1; i <= src.extent(1); ++i) dst(i0 + i, j0 + j) = src(i, j);
}

// Whether a block of r by c entries with its corner after (i0, j0) lies inside dst.
bool fits(const Mat<double>& dst, i64 r, i64 c, i64 i0, i64 j0) {
    return i0 + r <= dst.extent(1) && j0 + c <= dst.extent(2);
}

} // namespace

namespace vorlen::utility {
extern "C" {

void MatrixConcatenation(const double* a, const double* b, double* ab, const i32* ctype,
                         const i32* k, const i32* l, const i32* m, const i32* n) {
    const i64 c = *ctype;
    const i64 rows = *k + c * *m, cols = *l + (1 - c) * *n;
    std::fill_n(ab, entries({rows, cols}), 0.0);
    if (c != 0 && c != 1) return;
    const Mat<double> t(ab, rows, cols);
    const Mat<const double> sa = mat(a, k, l), sb = mat(b, m, n);
    const i64 bi = c == 1 ? sa.extent(1) : 0, bj = c == 1 ? 0 : sa.extent(2);
    // b may be wider (stacked) or taller (side by side) than ab has room for: then ab stays
    // the zero matrix rather than being written past its end.
    if (!fits(t, sa.extent(1), sa.extent(2), 0, 0) || !fits(t, sb.extent(1), sb.extent(2), bi, bj))
        return;
    place(t, sa, 0, 0);
    place(t, sb, bi, bj);
}

void VectorSplit(const double* a, double* b, const i32* k, const i32* n) {
    const i32 one = 1;
    MatrixSplit(a, b, k, n, &one);
}

void MatrixSplit(const double* a, double* b, const i32* k, const i32* l, const i32* m) {
    // With no parts there is no result array to mark.
    if (*k == 0) return;
    const i64 rows = static_cast<i64>(*l) / *k;
    const View<double, 3> t(b, rows, *m, *k);
    std::fill_n(b, entries({rows, *m, *k}), -1.0);
    if (*k < 0 || *l % *k != 0) return;
    const Mat<const double> s = mat(a, l, m);
    for (i64 j = 1; j <= t.extent(3); ++j)
        for (i64 i = 1; i <= t.extent(2); ++i)
            for (i64 r = 1; r <= t.extent(1); ++r) t(r, i, j) = s((j - 1) * rows + r, i);
}

void GetSubArray(double* subarray, i32* subslice, const double* array, const i32* narray,
                 const i32* nsub, const lgl* tail) {
    subslice[0] = subslice[1] = -1;
    const i64 na = std::max<i64>(*narray, 0), ns = *nsub;
    if (na < ns) {
        std::fill_n(subarray, entries({*nsub}), 1.0);
        return;
    }
    const bool last = !tail || *tail;
    const i64 start = last ? na - ns + 1 : 1, stop = last ? na : ns;
    subslice[0] = static_cast<i32>(start);
    subslice[1] = static_cast<i32>(stop);
    // Every entry comes from array; subarray may be array itself (moved down in place).
    if (ns > 0)
        std::memmove(subarray, array + (start - 1), static_cast<std::size_t>(ns) * sizeof(double));
}

void GetPackedList(double* packed, const double* list, const double* condition,
                   const double* padding, const i32* cflag, const i32* npack, const i32* nlist) {
    const double c = *condition, pad = *padding;
    const i32 flag = *cflag;
    const i64 nl = entries({*nlist}), np = entries({*npack});
    if (flag < 1 || flag > 6) {
        std::fill_n(packed, np, pad);
        return;
    }
    auto selected = [c, flag](double v) {
        switch (flag) {
        case 1:
            return v < c;
        case 2:
            return v <= c;
        case 3:
            return v == c;
        case 4:
            return v >= c;
        case 5:
            return v > c;
        default:
            return v != c;
        }
    };
    // Two passes over the list instead of a mask array: nothing to allocate. The list is
    // counted before packed is written and packing only moves entries down, so packed may be
    // the list itself.
    const i64 count = std::count_if(list, list + nl, selected);
    i64 pos = 0;
    if (count <= *npack)
        for (i64 i = 0; i < nl; ++i)
            if (selected(list[i])) packed[pos++] = list[i];
    std::fill(packed + pos, packed + np, pad);
}

void GetUnpackedTriangle(double* lu, const double* packed, const i32* nlu, const i32* np,
                         const char* order, const lgl* upper) {
    const Mat<double> t = mat(lu, nlu, nlu);
    std::fill_n(lu, entries({*nlu, *nlu}), 0.0);
    const i64 nn = t.extent(1);
    if (*np < nn * (nn + 1) / 2) return; // too few values: lu stays zero
    const bool transpose = !(upper && *upper) != (order[0] != 'F');
    for (i64 i = 1; i <= nn; ++i)
        for (i64 r = 1; r <= i; ++r) {
            const double v = packed[i * (i - 1) / 2 + r - 1];
            (transpose ? t(i, r) : t(r, i)) = v;
        }
}

void FillMatrixOffDiagonals(double* a, const double* x, const i32* n, const i32* k) {
    const Mat<double> t = mat(a, n, n);
    const i64 nn = t.extent(1), tri = nn * (nn - 1) / 2, kk = *k;
    if (kk < tri) return; // not even one triangle of values
    const double* next = x;
    for (i64 j = 1; j <= nn; ++j)
        for (i64 i = j + 1; i <= nn; ++i) t(i, j) = *next++;
    if (kk == tri || kk < 2 * tri) return;
    for (i64 i = 1; i <= nn; ++i)
        for (i64 j = i + 1; j <= nn; ++j) t(i, j) = *next++;
}

void Symmetrize(const double* lu, double* sym, const i32* n) {
    const Mat<const double> s = mat(lu, n, n);
    const Mat<double> t = mat(sym, n, n);
    for (i64 j = 1; j <= t.extent(2); ++j)
        for (i64 i = 1; i <= t.extent(1); ++i) t(i, j) = s(i, j) == 0.0 ? s(j, i) : s(i, j);
}

void VectorFlip(const double* a, double* b, const i32* n) {
    const i32 one = 1, rows = 0;
    MatrixFlip(a, b, n, &one, &rows);
}

void MatrixFlip(const double* a, double* b, const i32* n, const i32* m, const i32* dimflag) {
    const Mat<double> t = mat(b, n, m);
    const Unaliased<double, 64> in(a, t.size(), b, t.size());  // b may be a: a flip in place
    const Mat<const double> s(in.data(), t.extent(1), t.extent(2));
    const i64 nr = t.extent(1), nc = t.extent(2);
    for (i64 j = 1; j <= nc; ++j)
        for (i64 i = 1; i <= nr; ++i) t(i, j) = *dimflag >= 0 ? s(nr + 1 - i, j) : s(i, nc + 1 - j);
}

void VectorSort(double* a, const double* b, const i32* mask, const i32* n, const i32* na) {
    const i32 one = 1;
    MatrixSort(a, b, mask, &one, n, na);
}

void MatrixSort(double* a, const double* b, const i32* mask, const i32* m, const i32* n,
                const i32* na) {
    const Mat<double> t = mat(a, m, na);
    const Mat<const double> s = mat(b, m, n);
    const i64 last = std::min(t.extent(2), s.extent(2));
    for (i64 i = 0; i < s.extent(2); ++i) {
        const i64 col = mask[i];
        if (col < 1 || col > last) continue; // not a column of both arrays
        for (i64 r = 1; r <= t.extent(1); ++r) t(r, col) = s(r, col);
    }
}

} // extern "C"
} // namespace vorlen::utility
