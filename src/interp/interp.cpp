// Table interpolation: nearest sample and linear, over sorted abscissas.
#include "interp/interp.hpp"

#include <cmath>
#include <cstdio>
#include <limits>

#include "core/fatal.hpp"

using namespace vorlen;

extern "C" {

void interp_linear(const i32* m, const i32* data_num, const double* t_data, const double* p_data,
                   const i32* interp_num, const double* t_interp, double* p_interp) {
    const i32 n = *data_num;
    if (n < 2 || !r8vec_ascends_strictly(data_num, t_data)) {
        std::fputs(" \nINTERP_LINEAR - Fatal error!\n"
                   "  Independent variable array T_DATA is not strictly increasing.\n",
                   stdout);
        fatal::stop(1);
    }
    const i64 mm = *m < 0 ? 0 : *m;
    const Mat<const double> p(p_data, mm, n);
    const Mat<double> r(p_interp, mm, *interp_num);
    for (i64 k = 1; k <= r.extent(2); ++k) {
        const double t = t_interp[k - 1];
        i32 left, right;
        r8vec_bracket(data_num, t_data, &t, &left, &right);
        const double tl = t_data[left - 1], tr = t_data[right - 1];
        for (i64 i = 1; i <= mm; ++i)
            r(i, k) = (p(i, right) * (t - tl) + p(i, left) * (tr - t)) / (tr - tl);
    }
}

void interp_nearest(const i32* m, const i32* data_num, const double* t_data, const double* p_data,
                    const i32* interp_num, const double* t_interp, double* p_interp) {
    const i64 mm = *m < 0 ? 0 : *m;
    const Mat<const double> p(p_data, mm, *data_num);
    const Mat<double> r(p_interp, mm, *interp_num);
    for (i64 k = 1; k <= r.extent(2); ++k) {
        const i32 j = r8vec_sorted_nearest(data_num, t_data, &t_interp[k - 1]);
        for (i64 i = 1; i <= mm; ++i)
            r(i, k) = j < 1 ? std::numeric_limits<double>::quiet_NaN() : p(i, j);
    }
}

i32 r8vec_sorted_nearest(const i32* n, const double* a, const double* value) {
    const i32 nn = *n;
    const double v = *value;
    if (nn < 1) return -1;
    if (nn == 1) return 1;
    i32 lo, hi;
    if (a[0] < a[nn - 1]) {
        if (v < a[0]) return 1;
        if (v > a[nn - 1]) return nn;
        lo = 1, hi = nn;
    } else {
        if (v < a[nn - 1]) return nn;
        if (v > a[0]) return 1;
        lo = nn, hi = 1;
    }
    // hi points at the bracket end with the larger value, lo at the smaller, in both directions.
    while ((lo > hi ? lo - hi : hi - lo) > 1) {
        const i32 mid = static_cast<i32>((i64(lo) + hi) / 2);
        if (a[mid - 1] == v) return mid;
        if (a[mid - 1] > v)
            hi = mid;
        else
            lo = mid;
    }
    return std::fabs(v - a[hi - 1]) > std::fabs(v - a[lo - 1]) ? lo : hi;
}

void r8vec_bracket(const i32* n, const double* x, const double* xval, i32* left, i32* right) {
    const i32 nn = *n;
    if (nn < 2) {
        *left = *right = nn < 1 ? 0 : 1;
        return;
    }
    // First i of 2..n-1 with xval < x(i), by bisection over the ascending entries (the last
    // interval when there is none, also for a NaN xval).
    i32 lo = 2, hi = nn;
    while (lo < hi) {
        const i32 mid = lo + (hi - lo) / 2;
        if (*xval < x[mid - 1])
            hi = mid;
        else
            lo = mid + 1;
    }
    *left = lo - 1, *right = lo;
}

i32 r8vec_ascends_strictly(const i32* n, const double* x) {
    for (i64 i = 1; i < *n; ++i)
        if (!(x[i - 1] < x[i])) return 0;
    return 1;
}
}
