// Table interpolation: nearest sample, linear and Lagrange; quadrature abscissas,
// parameterisations, linear refinement and the timestamp line.
#include "interp/interp.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <limits>
#include <numbers>
#include <string_view>

#include "base/errorhandling.hpp"
#include "base/fatal.hpp"
#include "base/work.hpp"
#include "base/units.hpp"

using namespace vorlen;

namespace {

constexpr double pi = std::numbers::pi;

// Values at t of the Lagrange basis polynomials of the n abscissas td into l(n): each a product
// over the other abscissas in increasing order, multiplied first and divided second.
void basis(i32 n, const double* td, double t, double* l) {
    for (i32 i = 0; i < n; ++i) {
        double v = 1;
        for (i32 j = 0; j < n; ++j)
            if (j != i) v = (v * (t - td[j])) / (td[i] - td[j]);
        l[i] = v;
    }
}

// The quadrature rules whose abscissas the *_abscissas routines give.
enum class Rule { cc, f1, f2, ncc, nco };

// The n abscissas of `rule` on [-1, 1] (pa and pb null) or on [*pa, *pb]; n < 1 prints the
// three lines naming `routine` and ends the process with status 1.
void abscissas(Rule rule, std::string_view routine, i32 n, double* x, const double* pa = nullptr,
               const double* pb = nullptr) {
    if (n < 1) {
        io::write(6, "(' '/A,' - Fatal error!'/'  N < 1.')", {routine});
        fatal::stop(1);
    }
    const bool ab = pa != nullptr;
    const double a = ab ? *pa : -1, b = ab ? *pb : 1, s = a + b, d = b - a;
    const i64 nn = n;
    // Angle pi num / den: the product first, each integer converted to a double.
    const auto angle = [](i64 num, i64 den) { return pi * double(num) / double(den); };
    // Points on [-1, 1] mapped to [a, b].
    const auto map = [&](double c) { return ab ? 0.5 * (s + d * c) : c; };
    const double mid = 0.5 * s;
    for (i64 i = 1; i <= nn; ++i) {
        double v = 0.0;
        switch (rule) {
        case Rule::cc:
            v = n == 1 ? mid : map(std::cos(angle(nn - i, nn - 1)));
            break;
        case Rule::f1:
            v = n == 1 ? mid : map(std::cos(angle(2 * (nn - i) + 1, 2 * nn)));
            break;
        case Rule::f2:  // only on [-1, 1] are one and two points special
            if (!ab && n == 1)
                v = 0;
            else if (!ab && n == 2)
                v = i == 1 ? -0.5 : 0.5;
            else
                v = map(std::cos(angle(nn + 1 - i, nn + 1)));
            break;
        case Rule::ncc:
            if (n == 1)
                v = mid;
            else if (ab)
                v = (double(nn - i) * a + double(i - 1) * b) / double(nn - 1);
            else
                v = double((i - 1) - (nn - i)) / double(nn - 1);
            break;
        case Rule::nco:
            v = ab ? (double(nn + 1 - i) * a + double(i) * b) / double(nn + 1)
                   : double(i - (nn + 1 - i)) / double(nn + 1);
            break;
        }
        x[i - 1] = v;
    }
    if (rule == Rule::cc && !ab && n > 1) x[0] = -1, x[n - 1] = 1;
}

// Continues the line through (0, lo) and (f + 1, hi) at position j: ((f+1-j) lo + j hi) / (f+1).
double along(i64 f, i64 j, double lo, double hi) {
    return (double(f + 1 - j) * lo + double(j) * hi) / double(f + 1);
}

// Grid position of output row i of m2 in a grid of m rows: the rows i1 < i2 around it (equal
// when m = 1) and their positions r1, r2 on the unit interval.
struct Cell {
    i64 i1, i2;
    double r, r1, r2;
    Cell(i64 i, i64 m2, i64 m) {
        r = m2 == 1 ? 0.5 : double(i - 1) / double(m2 - 1);
        if (m == 1) {  // constant across: all weight on the one row
            i1 = i2 = 1, r = 0, r1 = 0, r2 = 1;
            return;
        }
        i1 = static_cast<i64>(double(m - 1) * r) + 1;
        i2 = i1 + 1;
        if (i2 > m) i1 = m - 1, i2 = m;
        r1 = double(i1 - 1) / double(m - 1);
        r2 = double(i2 - 1) / double(m - 1);
    }
};

// The table and the abscissas as the interpolation reads them while it writes p_interp: the
// caller's arrays, or private copies of those that share storage with it.
struct Shared {
    Shared(const double* t_data, const double* p_data, i64 m, i64 n, const double* t_interp,
           const Mat<double>& r)
        : t(t_data, n, r.p, r.size()), p(p_data, m * std::max<i64>(n, 0), r.p, r.size()),
          t_interp(t_interp, r.extent(2), r.p, r.size()) {}
    Unaliased<double, 16> t, p, t_interp;
};

}  // namespace

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
    const Mat<double> r(p_interp, mm, *interp_num);
    const Shared table(t_data, p_data, mm, n, t_interp, r);
    const Mat<const double> p(table.p.data(), mm, n);
    for (i64 k = 1; k <= r.extent(2); ++k) {
        const double t = table.t_interp.data()[k - 1];
        i32 left, right;
        r8vec_bracket(data_num, table.t.data(), &t, &left, &right);
        const double tl = table.t.data()[left - 1], tr = table.t.data()[right - 1];
        for (i64 i = 1; i <= mm; ++i)
            r(i, k) = (p(i, right) * (t - tl) + p(i, left) * (tr - t)) / (tr - tl);
    }
}

void interp_nearest(const i32* m, const i32* data_num, const double* t_data, const double* p_data,
                    const i32* interp_num, const double* t_interp, double* p_interp) {
    const i64 mm = *m < 0 ? 0 : *m;
    const Mat<double> r(p_interp, mm, *interp_num);
    const Shared table(t_data, p_data, mm, *data_num, t_interp, r);
    const Mat<const double> p(table.p.data(), mm, *data_num);
    for (i64 k = 1; k <= r.extent(2); ++k) {
        const i32 j = r8vec_sorted_nearest(data_num, table.t.data(), &table.t_interp.data()[k - 1]);
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

void lagrange_value_(const i32* data_num, const double* t_data, const i32* interp_num,
                     const double* t_interp, double* l_interp) {
    const i32 n = std::max(*data_num, 0), ni = std::max(*interp_num, 0);
    const i64 nl = i64(n) * ni;
    const Unaliased<double, 32> td(t_data, n, l_interp, nl), ti(t_interp, ni, l_interp, nl);
    for (i64 k = 0; k < ni; ++k) basis(n, td.data(), ti.data()[k], l_interp + k * n);
}

void interp_lagrange_(const i32* m, const i32* data_num, const double* t_data, const double* p_data,
                      const i32* interp_num, const double* t_interp, double* p_interp) {
    const i32 mm = std::max(*m, 0), n = std::max(*data_num, 0), ni = std::max(*interp_num, 0);
    const i64 np = i64(mm) * ni;
    const Unaliased<double, 32> td(t_data, n, p_interp, np), ti(t_interp, ni, p_interp, np);
    const Unaliased<double, 64> pd(p_data, i64(mm) * n, p_interp, np);
    const Mat<const double> p(pd.data(), mm, n);
    const Mat<double> r(p_interp, mm, ni);
    Work<double, 32> l(n);
    for (i64 k = 1; k <= ni; ++k) {
        basis(n, td.data(), ti.data()[k - 1], l.data());
        for (i64 i = 1; i <= mm; ++i) {
            double v = 0;
            for (i64 j = 1; j <= n; ++j) v += p(i, j) * l(j);
            r(i, k) = v;
        }
    }
}

void cc_abscissas_(const i32* n, double* x) { abscissas(Rule::cc, "CC_ABSCISSA", *n, x); }
void f1_abscissas_(const i32* n, double* x) { abscissas(Rule::f1, "F1_ABSCISSAS", *n, x); }
void f2_abscissas_(const i32* n, double* x) { abscissas(Rule::f2, "F2_ABSCISSAS", *n, x); }
void ncc_abscissas_(const i32* n, double* x) { abscissas(Rule::ncc, "NCC_ABSCISSAS", *n, x); }
void nco_abscissas_(const i32* n, double* x) { abscissas(Rule::nco, "NCO_ABSCISSAS", *n, x); }

void cc_abscissas_ab_(const double* a, const double* b, const i32* n, double* x) {
    abscissas(Rule::cc, "CC_ABSCISSAS_AB", *n, x, a, b);
}
void f1_abscissas_ab_(const double* a, const double* b, const i32* n, double* x) {
    abscissas(Rule::f1, "F1_ABSCISSAS_AB", *n, x, a, b);
}
void f2_abscissas_ab_(const double* a, const double* b, const i32* n, double* x) {
    abscissas(Rule::f2, "F2_ABSCISSAS_AB", *n, x, a, b);
}
void ncc_abscissas_ab_(const double* a, const double* b, const i32* n, double* x) {
    abscissas(Rule::ncc, "NCC_ABSCISSAS_AB", *n, x, a, b);
}
void nco_abscissas_ab_(const double* a, const double* b, const i32* n, double* x) {
    abscissas(Rule::nco, "NCO_ABSCISSAS_AB", *n, x, a, b);
}

void parameterize_arc_length_(const i32* m, const i32* data_num, const double* p_data,
                              double* t_data) {
    const i32 mm = std::max(*m, 0), n = *data_num;
    if (n < 1) return;
    const Unaliased<double, 64> pd(p_data, i64(mm) * n, t_data, n);
    const Mat<const double> p(pd.data(), mm, n);
    t_data[0] = 0;
    for (i64 j = 2; j <= n; ++j) {
        double sum = 0;
        for (i64 i = 1; i <= mm; ++i) sum += (p(i, j) - p(i, j - 1)) * (p(i, j) - p(i, j - 1));
        t_data[j - 1] = t_data[j - 2] + std::sqrt(sum);
    }
}

void parameterize_index_(const i32*, const i32* data_num, const double*, double* t_data) {
    for (i64 j = 1; j <= *data_num; ++j) t_data[j - 1] = double(j - 1);
}

void r8vec_expand_linear_(const i32* n, const double* x, const i32* fat, double* xfat) {
    const i32 zero = 0;
    r8vec_expand_linear2_(n, x, &zero, fat, &zero, xfat);
}

void r8vec_expand_linear2_(const i32* n, const double* x, const i32* before, const i32* fat,
                           const i32* after, double* xfat) {
    const i64 nn = *n, f = *fat, nb = *before, na = *after;
    if (f < 0 || nb < 0 || na < 0) {
        errorhandling::report(-3, "r8vec_expand_linear: a count of values to insert is negative");
        return;
    }
    if (nn < 1) return;
    const i64 total = nb + (nn - 1) * (f + 1) + 1 + na;
    const Unaliased<double, 64> xs(x, nn, xfat, total);
    const double* v = xs.data();
    if (nn == 1 && nb + na > 0) {
        errorhandling::report(-3, "r8vec_expand_linear2: one value has no interval to continue");
        std::fill_n(xfat, total, v[0]);
        return;
    }
    i64 k = 0;
    if (nb > 0) {  // a virtual interval of the first one's length in front of x(1)
        const double front = v[0] - (v[1] - v[0]);
        for (i64 j = f + 1 - nb; j <= f; ++j) xfat[k++] = along(f, j, front, v[0]);
    }
    for (i64 i = 0; i + 1 < nn; ++i) {
        xfat[k++] = v[i];
        for (i64 j = 1; j <= f; ++j) xfat[k++] = along(f, j, v[i], v[i + 1]);
    }
    xfat[k++] = v[nn - 1];
    if (na > 0) {  // and one of the last one's length behind x(n)
        const double back = (v[nn - 1] - v[nn - 2]) + v[nn - 1];
        for (i64 j = 1; j <= na; ++j) xfat[k++] = along(f, j, v[nn - 1], back);
    }
}

void r8mat_expand_linear2_(const i32* m, const i32* n, const double* a, const i32* m2,
                           const i32* n2, double* a2) {
    const i64 mm = *m, nn = *n, mo = std::max(*m2, 0), no = std::max(*n2, 0);
    if (mm < 2 || nn < 2) {
        errorhandling::report(-3, "r8mat_expand_linear2: fewer than two rows or columns");
        if (mm < 1 || nn < 1) return;
    }
    const Unaliased<double, 64> as(a, mm * nn, a2, mo * no);
    const Mat<const double> s(as.data(), mm, nn);
    const Mat<double> r(a2, mo, no);
    for (i64 i = 1; i <= mo; ++i) {
        const Cell ci(i, mo, mm);
        for (i64 j = 1; j <= no; ++j) {
            const Cell cj(j, no, nn);
            r(i, j) = ((ci.r2 - ci.r) * (cj.r2 - cj.r) * s(ci.i1, cj.i1) +
                       (ci.r - ci.r1) * (cj.r2 - cj.r) * s(ci.i2, cj.i1) +
                       (ci.r2 - ci.r) * (cj.r - cj.r1) * s(ci.i1, cj.i2) +
                       (ci.r - ci.r1) * (cj.r - cj.r1) * s(ci.i2, cj.i2)) /
                      ((ci.r2 - ci.r1) * (cj.r2 - cj.r1));
        }
    }
}

void interp_timestamp_() {
    std::timespec now{};
    std::timespec_get(&now, TIME_UTC);
    std::tm t{};
    localtime_r(&now.tv_sec, &t);
    interp::timestamp(t.tm_year + 1900, t.tm_mon + 1, t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec,
                      static_cast<i32>(now.tv_nsec / 1000000));
}
}

void vorlen::interp::timestamp(i32 year, i32 month, i32 day, i32 hour, i32 minute, i32 second,
                               i32 millisecond) {
    static constexpr std::string_view kMonths[12] = {
        "January", "February", "March",     "April",   "May",      "June",
        "July",    "August",   "September", "October", "November", "December"};
    const std::string_view name = month >= 1 && month <= 12 ? kMonths[month - 1] : "";
    std::string_view suffix = "AM";
    if (hour == 12) {
        suffix = minute == 0 && second == 0 ? "Noon" : "PM";
    } else if (hour > 12) {
        hour -= 12;
        suffix = "PM";
    }
    io::write(6, "(i2,1x,a,1x,i4,2x,i2,a1,i2.2,a1,i2.2,a1,i3.3,1x,a)",
              {day, name, year, hour, ":", minute, ":", second, ".", millisecond, suffix});
}
