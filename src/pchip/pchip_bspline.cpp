// B-spline conversion of piecewise cubic Hermite functions and B-spline evaluation, in both
// precisions.
#include "pchip/pchip_bspline.hpp"

#include <algorithm>
#include <limits>

#include "base/errorhandling.hpp"
#include "base/work.hpp"
#include "pchip/pchip_common.hpp"

namespace vorlen::pchip {
namespace {

// Whether n breakpoints give 2n + 4 knots within 32 bits.
bool knot_count_fits(i32 n) { return n >= 2 && n <= (std::numeric_limits<i32>::max() - 4) / 2; }

template <class T>
void pchkt(i32 n, const T* x, i32 knotyp, T* t) {
    const i64 ndim = 2 * i64(n);
    const T hbeg = x[1] - x[0], hend = x[n - 1] - x[n - 2];
    const T first = knotyp == 1 ? x[0] - hbeg : knotyp == 2 ? x[0] - hend : x[0];
    const T last = knotyp == 1 ? x[n - 1] + hend : knotyp == 2 ? x[n - 1] + hbeg : x[n - 1];
    for (i64 k = n; k >= 1; --k) t[2 * k] = t[2 * k + 1] = x[k - 1];  // t(2k+1), t(2k+2)
    t[0] = t[1] = first;
    t[ndim + 2] = t[ndim + 3] = last;
}

// The knots of an entry of dpchkt_: x is read from a private copy when t shares its storage.
template <class T>
void knots(i32 n, const T* x, i32 knotyp, T* t) {
    if (!knot_count_fits(n)) {
        errorhandling::report(-3,
                              Message("", twin<T>("DPCHKT"), ": n < 2 or 2n + 4 beyond 32 bits"));
        return;
    }
    const Unaliased<T, 0> xs(x, n, t, 2 * i64(n) + 4);
    pchkt(n, xs.data(), knotyp, t);
}

// The 2n coefficients bc of the Hermite function on the knots t.
template <class T>
void coefficients(i32 n, const T* f, const T* d, i32 incfd, const T* t, T* bc) {
    const Mat<const T> fv(f, incfd, n), dv(d, incfd, n);
    T hnew = t[2] - t[0];
    for (i64 k = 1; k <= n; ++k) {
        const T hold = hnew, dov3 = dv(1, k) / 3;
        hnew = t[2 * k + 2] - t[2 * k];
        bc[2 * k - 2] = fv(1, k) - hold * dov3;
        bc[2 * k - 1] = fv(1, k) + hnew * dov3;
    }
}

template <class T>
i32 pchbs(i32 n, const T* x, const T* f, const T* d, i32 incfd, i32 knotyp, i32* nknots, T* t,
          T* bcoef) {
    if (!knot_count_fits(n) || incfd < 1) {
        errorhandling::report(
            -3, Message("", twin<T>("DPCHBS"), ": n < 2, incfd < 1 or 2n + 4 beyond 32 bits"));
        return -3;
    }
    // Library and routine name as 8-character fields.
    const std::string_view name = std::is_same_v<T, double> ? "DPCHBS  " : "PCHBS   ";
    if (knotyp > 2) {
        xerror::xermsg("SLATEC  ", name, "KNOTYP GREATER THAN 2", -1, 1);
        return -1;
    }
    const i64 ndim = 2 * i64(n), nt = ndim + 4, nf = i64(incfd) * (n - 1) + 1;
    if (knotyp < 0 && *nknots != nt) {
        xerror::xermsg("SLATEC  ", name, "KNOTYP.LT.0 AND NKNOTS.NE.(2*N+4)", -2, 1);
        return -2;
    }
    // Results that share storage with the data are built privately and copied out at the end.
    const bool shared = overlaps(f, nf, bcoef, ndim) || overlaps(d, nf, bcoef, ndim) ||
                        overlaps(t, nt, bcoef, ndim) ||
                        (knotyp >= 0 && (overlaps(x, n, t, nt) || overlaps(f, nf, t, nt) ||
                                         overlaps(d, nf, t, nt)));
    Work<T, 0> priv(shared ? nt + ndim : 0);
    T* tt = shared ? priv.data() : t;
    T* bc = shared ? priv.data() + nt : bcoef;
    if (knotyp >= 0)
        pchkt(n, x, knotyp, tt);
    else if (shared)
        std::copy_n(t, nt, tt);
    coefficients(n, f, d, incfd, tt, bc);
    if (shared) {
        if (knotyp >= 0) std::copy_n(tt, nt, t);
        std::copy_n(bc, ndim, bcoef);
    }
    if (knotyp >= 0) *nknots = static_cast<i32>(nt);
    return 0;
}

// The entry of dpchbs_: the counts are read before ndim, kord and ierr are set, as they may
// share storage with them.
template <class T>
void conversion(const i32* n, const T* x, const T* f, const T* d, const i32* incfd,
                const i32* knotyp, i32* nknots, T* t, T* bcoef, i32* ndim, i32* kord, i32* ierr) {
    const i32 nn = *n, inc = *incfd, kt = *knotyp;
    *ndim = static_cast<i32>(std::clamp<i64>(2 * i64(nn), std::numeric_limits<i32>::min(),
                                             std::numeric_limits<i32>::max()));
    *kord = 4, *ierr = 0;
    *ierr = pchbs<T>(nn, x, f, d, inc, kt, nknots, t, bcoef);
}

// The interval of x in xt(lxt), lxt >= 1, searched from ilo >= 1 (updated).
struct Found {
    i64 ileft;
    i32 mflag;
};

template <class T>
Found intrv(const T* xt, i64 lxt, T x, i64& ilo) {
    const auto XT = [xt](i64 i) { return xt[i - 1]; };
    i64 ihi = ilo + 1;
    if (ihi >= lxt) {
        if (x >= XT(lxt)) return {lxt, 1};
        if (lxt <= 1) return {1, -1};
        ilo = lxt - 1;
        ihi = lxt;
    }
    if (x >= XT(ihi)) {  // upwards
        for (i64 istep = 1;; istep *= 2) {
            ilo = ihi;
            ihi = ilo + istep;
            if (ihi >= lxt) {
                if (x >= XT(lxt)) return {lxt, 1};
                ihi = lxt;
                break;
            }
            if (x < XT(ihi)) break;
        }
    } else if (x >= XT(ilo)) {
        return {ilo, 0};
    } else {  // downwards
        for (i64 istep = 1;; istep *= 2) {
            ihi = ilo;
            ilo = ihi - istep;
            if (ilo <= 1) {
                ilo = 1;
                if (x < XT(1)) return {1, -1};
                break;
            }
            if (x >= XT(ilo)) break;
        }
    }
    for (;;) {  // bisection: xt(ilo) <= x < xt(ihi)
        const i64 middle = (ilo + ihi) / 2;
        if (middle == ilo) return {ilo, 0};
        if (x < XT(middle))
            ihi = middle;
        else
            ilo = middle;
    }
}

template <class T>
void intrv_entry(const T* xt, i32 lxt, T x, i32* ilo, i32* ileft, i32* mflag) {
    if (lxt < 1) {
        errorhandling::report(-3, Message("", twin<T>("DINTRV"), ": empty sequence (lxt < 1)"));
        *ileft = 1, *mflag = -1;
        return;
    }
    i64 lo = std::max<i64>(*ilo, 1);
    const Found r = intrv(xt, lxt, x, lo);
    *ilo = static_cast<i32>(lo);
    *ileft = static_cast<i32>(r.ileft);
    *mflag = r.mflag;
}

template <class T>
T bvalu(const T* t, const T* a, i32 n, i32 k, i32 ideriv, T x, i32* inbv, T* work) {
    const auto error = [](std::string_view messg) {
        xerror::xermsg("SLATEC", twin<T>("DBVALU"), messg, 2, 1);
        return T(0);
    };
    if (k < 1) return error("K DOES NOT SATISFY K.GE.1");
    if (n < k) return error("N DOES NOT SATISFY N.GE.K");
    if (ideriv < 0 || ideriv >= k) return error("IDERIV DOES NOT SATISFY 0.LE.IDERIV.LT.K");
    const auto TT = [t](i64 i) { return t[i - 1]; };
    i64 lo = std::max<i64>(*inbv, 1);
    auto [i, mflag] = intrv(t, i64(n) + 1, x, lo);
    *inbv = static_cast<i32>(lo);
    if (!(x >= TT(k))) return error("X IS N0T GREATER THAN OR EQUAL TO T(K)");
    if (mflag > 0) {
        if (x > TT(i)) return error("X IS NOT LESS THAN OR EQUAL TO T(N+1)");
        do {
            if (i == k) return error("A LEFT LIMITING VALUE CANNOT BE OBTAINED AT T(K)");
            --i;
        } while (x == TT(i));
    }
    if (mflag < 0 || i < k) {  // x below t(1) or the interval left of t(k): knots out of order
        errorhandling::report(-3, Message("", twin<T>("DBVALU"), ": knots not non-decreasing"));
        return 0;
    }
    const auto W = [work](i64 j) -> T& { return work[j - 1]; };
    const i64 kk = k, kmider = kk - ideriv, km1 = kk - 1;
    for (i64 j = 1; j <= kk; ++j) W(j) = a[i - kk + j - 1];
    for (i64 j = 1; j <= ideriv; ++j) {
        const i64 kmj = kk - j;
        for (i64 jj = 1; jj <= kmj; ++jj)
            W(jj) = (W(jj + 1) - W(jj)) / (TT(i + jj) - TT(i + jj - kmj)) * T(kmj);
    }
    if (ideriv == km1) return W(1);
    for (i64 j = 1; j <= kmider; ++j) {
        W(kk + j) = TT(i + j) - x;
        W(2 * kk + j) = x - TT(i + 1 - j);
    }
    for (i64 j = ideriv + 1; j <= km1; ++j) {
        const i64 kmj = kk - j;
        i64 ilo = kmj;
        for (i64 jj = 1; jj <= kmj; ++jj, --ilo)
            W(jj) =
                (W(jj + 1) * W(2 * kk + ilo) + W(jj) * W(kk + jj)) / (W(kk + jj) + W(2 * kk + ilo));
    }
    return W(1);
}

}  // namespace
}  // namespace vorlen::pchip

using namespace vorlen;
using namespace vorlen::pchip;

extern "C" {

void dpchbs_(const i32* n, const double* x, const double* f, const double* d, const i32* incfd,
             const i32* knotyp, i32* nknots, double* t, double* bcoef, i32* ndim, i32* kord,
             i32* ierr) {
    conversion(n, x, f, d, incfd, knotyp, nknots, t, bcoef, ndim, kord, ierr);
}
void pchbs_(const i32* n, const float* x, const float* f, const float* d, const i32* incfd,
            const i32* knotyp, i32* nknots, float* t, float* bcoef, i32* ndim, i32* kord,
            i32* ierr) {
    conversion(n, x, f, d, incfd, knotyp, nknots, t, bcoef, ndim, kord, ierr);
}

void dpchkt_(const i32* n, const double* x, const i32* knotyp, double* t) {
    knots(*n, x, *knotyp, t);
}
void pchkt_(const i32* n, const float* x, const i32* knotyp, float* t) { knots(*n, x, *knotyp, t); }

double dbvalu_(const double* t, const double* a, const i32* n, const i32* k, const i32* ideriv,
               const double* x, i32* inbv, double* work) {
    return bvalu(t, a, *n, *k, *ideriv, *x, inbv, work);
}
float bvalu_(const float* t, const float* a, const i32* n, const i32* k, const i32* ideriv,
             const float* x, i32* inbv, float* work) {
    return bvalu(t, a, *n, *k, *ideriv, *x, inbv, work);
}

void dintrv_(const double* xt, const i32* lxt, const double* x, i32* ilo, i32* ileft, i32* mflag) {
    intrv_entry(xt, *lxt, *x, ilo, ileft, mflag);
}
void intrv_(const float* xt, const i32* lxt, const float* x, i32* ilo, i32* ileft, i32* mflag) {
    intrv_entry(xt, *lxt, *x, ilo, ileft, mflag);
}
}
