// Evaluation and integration of piecewise cubic Hermite functions, in both precisions.
#include "pchip/pchip.hpp"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string_view>

#include "base/work.hpp"
#include "pchip/pchip_common.hpp"

namespace vorlen::pchip {

// The cubic on [x1, x2] with end values f1, f2 and end slopes d1, d2, in the form
// f1 + t (d1 + t (c2 + t c3)), t = x - x1.
template <class T>
struct Cubic {
    T x1, h, f1, d1, c2, c3;
    Cubic() = default;
    Cubic(T xa, T xb, T fa, T fb, T da, T db) : x1(xa), h(xb - xa), f1(fa), d1(da) {
        const T delta = (fb - fa) / h, del1 = (da - delta) / h, del2 = (db - delta) / h;
        c2 = -(del1 + del1 + del2);
        c3 = (del1 + del2) / h;
    }
    // Value at x into fe and, when de is given, the derivative into de; returns t = x - x1.
    T eval(T x, T* fe, T* de) const {
        const T t = x - x1;
        *fe = f1 + t * (d1 + t * (c2 + t * c3));
        if (de) *de = d1 + t * ((c2 + c2) + t * (c3 + c3 + c3));
        return t;
    }
};

// Values (and, when de is given, derivatives) of one cubic at ne points.
template <class T>
i32 chfev(std::string_view droutine, T x1, T x2, T f1, T f2, T d1, T d2, i32 ne, const T* xe, T* fe,
          T* de, i32* next) {
    if (ne < 1) return fail<T>(droutine, "NUMBER OF EVALUATION POINTS LESS THAN ONE", -1);
    if (x2 - x1 == 0) return fail<T>(droutine, "INTERVAL ENDPOINTS EQUAL", -2);
    const Cubic<T> c(x1, x2, f1, f2, d1, d2);
    const T xmi = std::min(T(0), c.h), xma = std::max(T(0), c.h);
    i32 left = 0, right = 0;
    for (i64 i = 0; i < ne; ++i) {
        const T t = c.eval(xe[i], fe + i, de ? de + i : nullptr);
        left += t < xmi;
        right += t > xma;
    }
    next[0] = left, next[1] = right;
    return 0;
}

// Evaluation of the whole function at points in any order. Every point lies on the cubic of
// its interval: [x(i), x(i+1)) for i = 2..n-2, below x(2) the first, from x(n-1) on the last;
// a NaN point stays with the interval of the point before it. The interval is tried against
// the previous one and its right neighbour first, then found by bisection, so ascending points
// cost one pass; a cubic is formed when the interval changes, or all of them once beforehand
// for at most 32 intervals and at least as many points. ierr counts as the interval-by-interval
// scan does that evaluates each run of consecutive points of one interval, and on reaching the
// last interval every point not yet evaluated: the points left of x(1) once, and those right of
// x(n) at every run of the last interval that starts at or before them (once each when n = 2).
template <class T>
i32 pchfe(std::string_view droutine, std::string_view dpiece, i32 n, const T* x, const T* f,
          const T* d, i32 incfd, i32* skip, i32 ne, const T* xe, T* fe, T* de) {
    if (i32 e = validate<T>(droutine, n, x, incfd, !*skip)) return e;
    *skip = 1;
    if (ne < 1) return fail<T>(droutine, "NUMBER OF EVALUATION POINTS LESS THAN ONE", -4);
    // Outputs that share storage with the data: the data are read from a private copy.
    const i64 nf = i64(incfd) * (n - 1) + 1;
    const auto shared = [&](const T* a, i64 m) {
        return overlaps(a, m, fe, ne) || (de && overlaps(a, m, de, ne));
    };
    const bool copy = shared(x, n) || shared(f, nf) || shared(d, nf);
    Work<T, 0> own(copy ? 3 * i64(n) : 0);
    if (copy) {
        for (i64 i = 0; i < n; ++i)
            own[i] = x[i], own[n + i] = f[i * incfd], own[2 * n + i] = d[i * incfd];
        x = own.data(), f = x + n, d = f + n, incfd = 1;
    }
    const Mat<const T> fv(f, incfd, n), dv(d, incfd, n);
    const i32 last = n - 1;
    const auto make = [&](i32 i) {
        return Cubic<T>(x[i - 1], x[i], fv(1, i), fv(1, i + 1), dv(1, i), dv(1, i + 1));
    };
    // The cubics formed beforehand where they fit the buffer, so that nothing is allocated.
    const bool tabulated = ne >= last && last <= 32;
    Work<Cubic<T>, 32> table(tabulated ? last : 0);
    if (tabulated)
        for (i32 i = 1; i <= last; ++i) table(i) = make(i);

    // Interval of a point v that is not NaN.
    const auto in = [&](i32 i, T v) {
        return (i == 1 || x[i - 1] <= v) && (i == last || v < x[i]);
    };
    const auto locate = [&](i32 cur, T v) {
        if (in(cur, v)) return cur;
        if (cur < last && in(cur + 1, v)) return cur + 1;
        if (v < x[1]) return 1;
        if (v >= x[last - 1]) return last;
        i64 lo = 2, len = last - 2;  // the last i of 2..n-2 with x(i) <= v
        while (len > 1) {
            const i64 half = len / 2;
            lo = x[lo + half - 1] <= v ? lo + half : lo;
            len -= half;
        }
        return static_cast<i32>(lo);
    };
    // Points right of x(n): all of them, and those before the current one (counted before
    // its value is written, as fe may share storage with xe).
    const T xlast = x[n - 2], hlast = std::max(T(0), x[n - 1] - x[n - 2]);
    i64 rtotal = 0, rbefore = 0;
    if (n > 2)
        for (i64 q = 0; q < ne; ++q) rtotal += xe[q] - xlast > hlast;

    i64 ierr = 0;
    i32 cur = 0;
    Cubic<T> c{};
    for (i64 j = 0; j < ne; ++j) {
        const T v = xe[j];
        const i32 k = std::isnan(v) ? std::max(cur, 1) : locate(std::max(cur, 1), v);
        if (k != cur) {
            if (x[k] - x[k - 1] == 0) {
                fail<T>(dpiece, "INTERVAL ENDPOINTS EQUAL", -2);
                return fail<T>(droutine,
                               Message("ERROR RETURN FROM ", twin<T>(dpiece), " -- FATAL"), -5, 2);
            }
            c = tabulated ? table(k) : make(k);
            if (k == last && n > 2) ierr += rtotal - rbefore;
            cur = k;
        }
        rbefore += v - xlast > hlast;
        const T t = c.eval(v, fe + j, de ? de + j : nullptr);
        if (k == 1) ierr += (t < std::min(T(0), c.h)) + (n == 2 && t > std::max(T(0), c.h));
    }
    return static_cast<i32>(std::min<i64>(ierr, std::numeric_limits<i32>::max()));
}

template <class T>
T chfie(T x1, T x2, T f1, T f2, T d1, T d2, T a, T b) {
    if (x1 == x2) return 0;
    const T h = x2 - x1;
    const T ta1 = (a - x1) / h, ta2 = (x2 - a) / h, tb1 = (b - x1) / h, tb2 = (x2 - b) / h;
    const T ua1 = ta1 * ta1 * ta1, ua2 = ta2 * ta2 * ta2;
    const T ub1 = tb1 * tb1 * tb1, ub2 = tb2 * tb2 * tb2;
    const T phia1 = ua1 * (2 - ta1), psia1 = ua1 * (3 * ta1 - 4);
    const T phia2 = ua2 * (2 - ta2), psia2 = -ua2 * (3 * ta2 - 4);
    const T phib1 = ub1 * (2 - tb1), psib1 = ub1 * (3 * tb1 - 4);
    const T phib2 = ub2 * (2 - tb2), psib2 = -ub2 * (3 * tb2 - 4);
    const T fterm = f1 * (phia2 - phib2) + f2 * (phib1 - phia1);
    const T dterm = (d1 * (psia2 - psib2) + d2 * (psib1 - psia1)) * (h / 6);
    return (T(0.5) * h) * (fterm + dterm);
}

template <class T>
T pchid(i32 n, const T* x, const T* f, const T* d, i32 incfd, i32* skip, i32 ia, i32 ib,
        i32& ierr) {
    if ((ierr = validate<T>("DPCHID", n, x, incfd, !*skip))) return 0;
    *skip = 1;
    if (ia < 1 || ia > n || ib < 1 || ib > n) {
        ierr = fail<T>("DPCHID", "IA OR IB OUT OF RANGE", -4);
        return 0;
    }
    ierr = 0;
    if (ia == ib) return 0;
    const Mat<const T> fv(f, incfd, n), dv(d, incfd, n);
    T sum = 0;
    for (i32 i = std::min(ia, ib); i < std::max(ia, ib); ++i) {
        const T h = x[i] - x[i - 1];
        sum += h * ((fv(1, i) + fv(1, i + 1)) + (dv(1, i) - dv(1, i + 1)) * (h / 6));
    }
    const T value = T(0.5) * sum;
    return ia > ib ? -value : value;
}

template <class T>
T pchia(i32 n, const T* x, const T* f, const T* d, i32 incfd, i32* skip, T a, T b, i32& ierr) {
    if ((ierr = validate<T>("DPCHIA", n, x, incfd, !*skip))) return 0;
    *skip = 1;
    const Mat<const T> fv(f, incfd, n), dv(d, incfd, n);
    ierr = (a < x[0] || a > x[n - 1]) + 2 * (b < x[0] || b > x[n - 1]);
    if (std::isnan(a) || std::isnan(b)) return std::numeric_limits<T>::quiet_NaN();
    if (a == b) return 0;
    // The cubic on [x(il), x(il+1)] integrated from lo to hi.
    const auto piece = [&](i32 il, T lo, T hi) {
        return chfie<T>(x[il - 1], x[il], fv(1, il), fv(1, il + 1), dv(1, il), dv(1, il + 1), lo,
                        hi);
    };
    const T xa = std::min(a, b), xb = std::max(a, b);
    if (xb <= x[1]) return piece(1, a, b);
    if (xa >= x[n - 2]) return piece(n - 1, a, b);

    i32 ia = 1;
    while (ia < n && x[ia - 1] < xa) ++ia;
    i32 ib = n;
    while (ib >= ia && xb < x[ib - 1]) --ib;
    if (ib < ia) return piece(ib, a, b);

    T value = 0;
    if (ib > ia) {
        i32 ierd = 0;
        value = pchid<T>(n, x, f, d, incfd, skip, ia, ib, ierd);
        if (ierd < 0) {
            ierr = fail<T>("DPCHIA", Message("TROUBLE IN ", twin<T>("DPCHID")), -4);
            return 0;
        }
    }
    if (xa < x[ia - 1]) value += piece(std::max(1, ia - 1), xa, x[ia - 1]);
    if (xb > x[ib - 1]) value += piece(std::min(ib + 1, n) - 1, x[ib - 1], xb);
    return a > b ? -value : value;
}

// Monotonicity code of one cubic with end slopes d1, d2 and secant slope delta: the ratios
// a = d1 / delta, b = d2 / delta against the square 0..3 (monotone), the square 0..4 and the
// ellipse between them, with a band of 10 machine epsilons around its boundary (codes +-3).
template <class T>
i32 chfcm(T d1, T d2, T delta) {
    const T eps = 10 * xerror::rmach<T>(4);
    if (delta == 0) return d1 == 0 && d2 == 0 ? 0 : 2;
    const i32 itrue = delta > 0 ? 1 : -1;
    T a = d1 / delta, b = d2 / delta;
    if (a < 0 || b < 0) return 2;
    if (a <= 3 - eps && b <= 3 - eps) return itrue;
    if (a > 4 + eps && b > 4 + eps) return 2;
    a -= 2, b -= 2;
    const T phi = ((a * a) + (b * b)) + a * b - 3;
    if (phi < -eps) return itrue;
    if (phi > eps) return 2;
    return 3 * itrue;
}

// The overall code so far folded with the code of the next interval.
inline i32 fold(i32 all, i32 piece) {
    if (piece == all || piece == 0 || all == 2) return all;
    if (piece == 2 || all == 0) return piece;
    if ((piece < 0) != (all < 0)) return 2;
    return all < 0 ? -3 : 3;
}

template <class T>
i32 pchcm(i32 n, const T* x, const T* f, const T* d, i32 incfd, i32* skip, i32* ismon) {
    if (i32 e = validate<T>("DPCHCM", n, x, incfd, !*skip)) return e;
    *skip = 1;
    const Mat<const T> fv(f, incfd, n), dv(d, incfd, n);
    i32 all = 0;
    for (i32 i = 1; i < n; ++i) {
        const T delta = (fv(1, i + 1) - fv(1, i)) / (x[i] - x[i - 1]);
        const i32 code = chfcm(dv(1, i), dv(1, i + 1), delta);
        all = i == 1 ? code : fold(all, code);
        ismon[i - 1] = code;
    }
    ismon[n - 1] = all;
    return 0;
}

}  // namespace vorlen::pchip

using namespace vorlen;
using namespace vorlen::pchip;

extern "C" {

void dpchfd_(const i32* n, const double* x, const double* f, const double* d, const i32* incfd,
             i32* skip, const i32* ne, const double* xe, double* fe, double* de, i32* ierr) {
    *ierr = pchfe<double>("DPCHFD", "DCHFDV", *n, x, f, d, *incfd, skip, *ne, xe, fe, de);
}
void pchfd_(const i32* n, const float* x, const float* f, const float* d, const i32* incfd,
            i32* skip, const i32* ne, const float* xe, float* fe, float* de, i32* ierr) {
    *ierr = pchfe<float>("DPCHFD", "DCHFDV", *n, x, f, d, *incfd, skip, *ne, xe, fe, de);
}

void dpchfe_(const i32* n, const double* x, const double* f, const double* d, const i32* incfd,
             i32* skip, const i32* ne, const double* xe, double* fe, i32* ierr) {
    *ierr = pchfe<double>("DPCHFE", "DCHFEV", *n, x, f, d, *incfd, skip, *ne, xe, fe, nullptr);
}
void pchfe_(const i32* n, const float* x, const float* f, const float* d, const i32* incfd,
            i32* skip, const i32* ne, const float* xe, float* fe, i32* ierr) {
    *ierr = pchfe<float>("DPCHFE", "DCHFEV", *n, x, f, d, *incfd, skip, *ne, xe, fe, nullptr);
}

void dpchev_(const i32* n, const double* x, const double* f, const double* d, const i32* nval,
             const double* xval, double* fval, double* dval, i32* ierr) {
    i32 skip = 1;
    *ierr = pchfe<double>("DPCHFD", "DCHFDV", *n, x, f, d, 1, &skip, *nval, xval, fval, dval);
}
void pchev_(const i32* n, const float* x, const float* f, const float* d, const i32* nval,
            const float* xval, float* fval, float* dval, i32* ierr) {
    i32 skip = 1;
    *ierr = pchfe<float>("DPCHFD", "DCHFDV", *n, x, f, d, 1, &skip, *nval, xval, fval, dval);
}

void dchfdv_(const double* x1, const double* x2, const double* f1, const double* f2,
             const double* d1, const double* d2, const i32* ne, const double* xe, double* fe,
             double* de, i32* next, i32* ierr) {
    *ierr = chfev<double>("DCHFDV", *x1, *x2, *f1, *f2, *d1, *d2, *ne, xe, fe, de, next);
}
void chfdv_(const float* x1, const float* x2, const float* f1, const float* f2, const float* d1,
            const float* d2, const i32* ne, const float* xe, float* fe, float* de, i32* next,
            i32* ierr) {
    *ierr = chfev<float>("DCHFDV", *x1, *x2, *f1, *f2, *d1, *d2, *ne, xe, fe, de, next);
}

void dchfev_(const double* x1, const double* x2, const double* f1, const double* f2,
             const double* d1, const double* d2, const i32* ne, const double* xe, double* fe,
             i32* next, i32* ierr) {
    *ierr = chfev<double>("DCHFEV", *x1, *x2, *f1, *f2, *d1, *d2, *ne, xe, fe, nullptr, next);
}
void chfev_(const float* x1, const float* x2, const float* f1, const float* f2, const float* d1,
            const float* d2, const i32* ne, const float* xe, float* fe, i32* next, i32* ierr) {
    *ierr = chfev<float>("DCHFEV", *x1, *x2, *f1, *f2, *d1, *d2, *ne, xe, fe, nullptr, next);
}

double dpchia_(const i32* n, const double* x, const double* f, const double* d, const i32* incfd,
               i32* skip, const double* a, const double* b, i32* ierr) {
    return pchia<double>(*n, x, f, d, *incfd, skip, *a, *b, *ierr);
}

double dpchid_(const i32* n, const double* x, const double* f, const double* d, const i32* incfd,
               i32* skip, const i32* ia, const i32* ib, i32* ierr) {
    return pchid<double>(*n, x, f, d, *incfd, skip, *ia, *ib, *ierr);
}

double dchfie_(const double* x1, const double* x2, const double* f1, const double* f2,
               const double* d1, const double* d2, const double* a, const double* b) {
    return chfie(*x1, *x2, *f1, *f2, *d1, *d2, *a, *b);
}

double dpchqa_(const i32* n, const double* x, const double* f, const double* d, const double* a,
               const double* b, i32* ierr) {
    i32 skip = 1;
    return pchia<double>(*n, x, f, d, 1, &skip, *a, *b, *ierr);
}

float pchia_(const i32* n, const float* x, const float* f, const float* d, const i32* incfd,
             i32* skip, const float* a, const float* b, i32* ierr) {
    return pchia<float>(*n, x, f, d, *incfd, skip, *a, *b, *ierr);
}

float pchid_(const i32* n, const float* x, const float* f, const float* d, const i32* incfd,
             i32* skip, const i32* ia, const i32* ib, i32* ierr) {
    return pchid<float>(*n, x, f, d, *incfd, skip, *ia, *ib, *ierr);
}

float chfie_(const float* x1, const float* x2, const float* f1, const float* f2, const float* d1,
             const float* d2, const float* a, const float* b) {
    return chfie(*x1, *x2, *f1, *f2, *d1, *d2, *a, *b);
}

float pchqa_(const i32* n, const float* x, const float* f, const float* d, const float* a,
             const float* b, i32* ierr) {
    i32 skip = 1;
    return pchia<float>(*n, x, f, d, 1, &skip, *a, *b, *ierr);
}

void dpchcm_(const i32* n, const double* x, const double* f, const double* d, const i32* incfd,
             i32* skip, i32* ismon, i32* ierr) {
    *ierr = pchcm<double>(*n, x, f, d, *incfd, skip, ismon);
}
void pchcm_(const i32* n, const float* x, const float* f, const float* d, const i32* incfd,
            i32* skip, i32* ismon, i32* ierr) {
    *ierr = pchcm<float>(*n, x, f, d, *incfd, skip, ismon);
}

i32 dchfcm_(const double* d1, const double* d2, const double* delta) {
    return chfcm(*d1, *d2, *delta);
}
i32 chfcm_(const float* d1, const float* d2, const float* delta) { return chfcm(*d1, *d2, *delta); }
}
