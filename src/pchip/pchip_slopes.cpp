// Derivative setting of the piecewise cubic Hermite package: monotone, spline and end-condition
// derivatives, in both precisions.
#include "pchip/pchip_slopes.hpp"

#include <algorithm>
#include <cmath>

#include "base/work.hpp"
#include "pchip/pchip_common.hpp"

namespace vorlen::pchip {

// Shape-preserving derivatives from the interval lengths h(i) and slopes s(i, h(i)),
// i = 1..n-1 (n >= 2), into the first row of dv. Each length and slope is read once, in
// increasing i, before the derivatives at its points are written, so that d may share storage
// with the data they come from. Returns the number of changes of direction of the data: a run
// of zero slopes between slopes of opposite sign counts once.
template <class T, class H, class S>
i32 monotone(i32 n, H h, S s, const Mat<T>& dv) {
    T h1 = h(1), del1 = s(1, h1), dsave = del1;
    if (n == 2) {
        dv(1, 1) = dv(1, 2) = del1;
        return 0;
    }
    T h2 = h(2), del2 = s(2, h2), hsum = h1 + h2;
    T w1 = (h1 + hsum) / hsum, w2 = -h1 / hsum;
    T dn = w1 * del1 + w2 * del2;
    if (pchst(dn, del1) <= 0)
        dn = 0;
    else if (pchst(del1, del2) < 0 && std::abs(dn) > std::abs(3 * del1))
        dn = 3 * del1;
    dv(1, 1) = dn;

    i32 changes = 0;
    for (i32 i = 2; i < n; ++i) {
        if (i > 2) {
            h1 = h2;
            h2 = h(i);
            hsum = h1 + h2;
            del1 = del2;
            del2 = s(i, h2);
        }
        dv(1, i) = 0;
        const T sign = pchst(del1, del2);
        if (sign > 0) {
            const T hsumt3 = 3 * hsum;
            w1 = (hsum + h1) / hsumt3;
            w2 = (hsum + h2) / hsumt3;
            const T dmax = std::max(std::abs(del1), std::abs(del2));
            const T dmin = std::min(std::abs(del1), std::abs(del2));
            dv(1, i) = dmin / (w1 * (del1 / dmax) + w2 * (del2 / dmax));
        } else if (sign < 0) {
            ++changes;
            dsave = del2;
        } else if (del2 != 0) {
            if (pchst(dsave, del2) < 0) ++changes;
            dsave = del2;
        }
    }

    w1 = -h2 / hsum;
    w2 = (h2 + hsum) / hsum;
    dn = w1 * del1 + w2 * del2;
    if (pchst(dn, del2) <= 0)
        dn = 0;
    else if (pchst(del1, del2) < 0 && std::abs(dn) > std::abs(3 * del2))
        dn = 3 * del2;
    dv(1, n) = dn;
    return changes;
}

template <class T>
i32 pchim(i32 n, const T* x, const T* f, T* d, i32 incfd) {
    if (i32 e = validate<T>("DPCHIM", n, x, incfd, true)) return e;
    const Mat<const T> fv(f, incfd, n);
    return monotone(
        n, [x](i32 i) { return x[i] - x[i - 1]; },
        [&fv](i32 i, T h) { return (fv(1, i + 1) - fv(1, i)) / h; }, Mat<T>(d, incfd, n));
}

// Derivatives from the lengths h(n-1) and slopes slope(n-1) of the intervals, n >= 2.
template <class T>
void pchci(i32 n, const T* h, const T* slope, T* d, i32 incfd) {
    monotone(
        n, [h](i32 i) { return h[i - 1]; }, [slope](i32 i, T) { return slope[i - 1]; },
        Mat<T>(d, incfd, n));
}

// Excursion limit on one interval; d1 and d2 are written only on success.
template <class T>
i32 pchsw(T dfmax, i32 iextrm, T& d1, T& d2, T h, T slope) {
    constexpr T fact = 100, third = std::is_same_v<T, float> ? T(0.33333f) : T(0.33333);
    const T small = fact * xerror::rmach<T>(4);
    const auto invalid = [] { return fail<T>("DPCHSW", "D1 AND/OR D2 INVALID", -1); };
    T a = d1, b = d2, rho, that, phi, hphi;
    if (a == 0) {
        if (b == 0) return invalid();
        rho = slope / b;
        if (rho >= third) return 0;
        that = (2 * (3 * rho - 1)) / (3 * (2 * rho - 1));
        phi = that * that * ((3 * rho - 1) / 3);
        if (iextrm != 1) phi -= rho;
        hphi = h * std::abs(phi);
        if (hphi * std::abs(b) > dfmax) b = std::copysign(std::abs(dfmax / hphi), b);
    } else {
        rho = slope / a;
        const T lambda = -b / a;
        T nu, cp;
        if (b == 0) {
            if (rho >= third) return 0;
            cp = 2 - 3 * rho;
            nu = 1 - 2 * rho;
            that = 1 / (3 * nu);
        } else {
            if (lambda <= 0) return invalid();
            nu = 1 - lambda - 2 * rho;
            const T sigma = 1 - rho;
            cp = nu + sigma;
            if (std::abs(nu) > small) {
                const T radcal = (nu - (2 * rho + 1)) * nu + sigma * sigma;
                if (radcal < 0) return fail<T>("DPCHSW", "NEGATIVE RADICAL", -2);
                that = (cp - std::sqrt(radcal)) / (3 * nu);
            } else {
                that = 1 / (2 * sigma);
            }
        }
        phi = that * ((nu * that - cp) * that + 1);
        if (iextrm != 1) phi -= rho;
        hphi = h * std::abs(phi);
        if (hphi * std::abs(a) > dfmax) {
            a = std::copysign(std::abs(dfmax / hphi), a);
            b = -lambda * a;
        }
    }
    d1 = a, d2 = b;
    return 0;
}

// Weighted average of the slopes s1, s2 of neighbouring intervals of lengths h1, h2: each slope
// weighted by the length of the other interval.
template <class T>
T weighted(T s1, T s2, T h1, T h2) {
    const T hsum = h1 + h2;
    return (h2 / hsum) * s1 + (h1 / hsum) * s2;
}

template <class T>
i32 pchcs(T sw, i32 n, const T* h, const T* slope, T* d, i32 incfd) {
    constexpr T fudge = 4;
    const Mat<T> dv(d, incfd, n);
    const auto H = [h](i32 i) { return h[i - 1]; };
    const auto S = [slope](i32 i) { return slope[i - 1]; };
    const auto average = [&](i32 k) { return weighted(S(k), S(k + 1), H(k), H(k + 1)); };
    for (i32 i = 2; i < n; ++i) {
        // The interval (x(k), x(k+1)) that holds the extremum, and the slope averages wtave
        // the derivatives at its ends move toward.
        i32 k;
        T wtave[2] = {0, 0};
        const T t = pchst(S(i - 1), S(i));
        if (t > 0) continue;
        if (t < 0) {
            if (i > 2 && pchst(S(i - 2), S(i)) > 0) continue;
            if (i < n - 1 && pchst(S(i + 1), S(i - 1)) > 0) continue;
            const T dext = average(i - 1);
            const T u = pchst(dext, S(i - 1));
            if (u == 0) continue;
            if (u < 0) {
                k = i - 1;
                wtave[1] = dext;
                if (k > 1) wtave[0] = average(k - 1);
            } else {
                k = i;
                wtave[0] = dext;
                if (k < n - 1) wtave[1] = average(k);
            }
        } else {
            if (i == n - 1 || pchst(S(i - 1), S(i + 1)) >= 0) continue;
            k = i;
            wtave[0] = average(k - 1);
            wtave[1] = average(k);
        }

        T slmax = std::abs(S(k)), del[3] = {0, 0, 0};
        if (k > 1) slmax = std::max(slmax, std::abs(S(k - 1)));
        if (k < n - 1) slmax = std::max(slmax, std::abs(S(k + 1)));
        if (k > 1) del[0] = S(k - 1) / slmax;
        del[1] = S(k) / slmax;
        if (k < n - 1) del[2] = S(k + 1) / slmax;

        if (k > 1 && k < n - 1) {
            T fact = fudge * std::abs(del[2] * (del[0] - del[1]) * (wtave[1] / slmax));
            dv(1, k) += std::min(fact, T(1)) * (wtave[0] - dv(1, k));
            fact = fudge * std::abs(del[0] * (del[2] - del[1]) * (wtave[0] / slmax));
            dv(1, k + 1) += std::min(fact, T(1)) * (wtave[1] - dv(1, k + 1));
        } else {
            const T fact = fudge * std::abs(del[1]);
            dv(1, i) = std::min(fact, T(1)) * wtave[i - k];
        }

        if (sw > 0) {
            T dfloc = H(k) * std::abs(S(k));
            if (k > 1) dfloc = std::max(dfloc, H(k - 1) * std::abs(S(k - 1)));
            if (k < n - 1) dfloc = std::max(dfloc, H(k + 1) * std::abs(S(k + 1)));
            if (i32 e = pchsw(sw * dfloc, i - k + 1, dv(1, k), dv(1, k + 1), H(k), S(k))) return e;
        }
    }
    return 0;
}

template <class T>
T pchdf(i32 k, const T* x, T* s, i32& ierr) {
    if (k < 3) {
        ierr = fail<T>("DPCHDF", "K LESS THAN THREE", -1);
        return 0;
    }
    for (i32 j = 2; j < k; ++j)
        for (i32 i = 1; i <= k - j; ++i) s[i - 1] = (s[i] - s[i - 1]) / (x[i + j - 1] - x[i - 1]);
    T value = s[0];
    for (i32 i = 2; i < k; ++i) value = s[i - 1] + value * (x[k - 1] - x[i - 1]);
    ierr = 0;
    return value;
}

template <class T>
i32 pchsp(const i32* ic, const T* vc, i32 n, const T* x, const T* f, T* d, i32 incfd, T* wk,
          i32 nwk) {
    if (i32 e = validate<T>("DPCHSP", n, x, incfd, true)) return e;
    i32 ibeg = ic[0], iend = ic[1], ierr = 0;
    if (ibeg < 0 || ibeg > 4) ierr -= 1;
    if (iend < 0 || iend > 4) ierr -= 2;
    if (ierr < 0) return fail<T>("DPCHSP", "IC OUT OF RANGE", ierr - 3);
    if (nwk < 2 * i64(n)) return fail<T>("DPCHSP", "WORK ARRAY TOO SMALL", -7);

    const Mat<const T> fv(f, incfd, n);
    const Mat<T> dv(d, incfd, n), w(wk, 2, n);  // w(1, j) h(j), w(2, j) slope, then pivots
    for (i32 j = 2; j <= n; ++j) {
        w(1, j) = x[j - 1] - x[j - 2];
        w(2, j) = (fv(1, j) - fv(1, j - 1)) / w(1, j);
    }
    if (ibeg > n) ibeg = 0;
    if (iend > n) iend = 0;
    // The not-a-knot end needs the slope of the second-last interval after w(2, n-1) has
    // become a pivot.
    const T s2last = n >= 3 ? w(2, n - 1) : T(0);

    const auto singular = [] { return fail<T>("DPCHSP", "SINGULAR LINEAR SYSTEM", -8); };
    // Derivative at an end from the k points nearest it, the end point last.
    const auto end_estimate = [&](i32 k, bool first, T& out) {
        T xt[4], st[4];
        for (i32 j = 1; j <= k; ++j) xt[j - 1] = first ? x[k - j] : x[n - k + j - 1];
        for (i32 j = 1; j < k; ++j) st[j - 1] = first ? w(2, k - j + 1) : w(2, n - k + j + 1);
        i32 ierf = 0;
        out = pchdf<T>(k, xt, st, ierf);
        return ierf == 0 ? 0
                         : fail<T>("DPCHSP", Message("ERROR RETURN FROM ", twin<T>("DPCHDF")), -9);
    };
    // Both end values before d is written: d may share storage with x.
    T dbeg = ibeg == 1 || ibeg == 2 ? vc[0] : T(0), dend = iend == 1 || iend == 2 ? vc[1] : T(0);
    if (ibeg > 2) {
        if (i32 e = end_estimate(ibeg, true, dbeg)) return e;
        ibeg = 1;
    }
    if (iend > 2) {
        if (i32 e = end_estimate(iend, false, dend)) return e;
        iend = 1;
    }
    if (ibeg != 0) dv(1, 1) = dbeg;
    if (iend != 0) dv(1, n) = dend;

    // First equation w(2,1) d(1) + w(1,1) d(2) = rhs(1); right-hand sides are kept in d.
    if (ibeg == 0) {
        if (n == 2) {
            w(2, 1) = 1, w(1, 1) = 1, dv(1, 1) = 2 * w(2, 2);
        } else {
            w(2, 1) = w(1, 3);
            w(1, 1) = w(1, 2) + w(1, 3);
            dv(1, 1) = ((w(1, 2) + 2 * w(1, 1)) * w(2, 2) * w(1, 3) + w(1, 2) * w(1, 2) * w(2, 3)) /
                       w(1, 1);
        }
    } else if (ibeg == 1) {
        w(2, 1) = 1, w(1, 1) = 0;
    } else {
        w(2, 1) = 2, w(1, 1) = 1, dv(1, 1) = 3 * w(2, 2) - T(0.5) * w(1, 2) * dv(1, 1);
    }

    for (i32 j = 2; j < n; ++j) {
        if (w(2, j - 1) == 0) return singular();
        const T g = -w(1, j + 1) / w(2, j - 1);
        dv(1, j) = g * dv(1, j - 1) + 3 * (w(1, j) * w(2, j + 1) + w(1, j + 1) * w(2, j));
        w(2, j) = g * w(1, j - 1) + 2 * (w(1, j) + w(1, j + 1));
    }

    bool solved_last = iend == 1;
    if (iend == 0 && n == 2 && ibeg == 0) {
        dv(1, 2) = w(2, 2);
        solved_last = true;
    }
    if (!solved_last) {
        T g;
        if (iend == 0 && (n == 2 || (n == 3 && ibeg == 0))) {
            dv(1, n) = 2 * w(2, n);
            w(2, n) = 1;
            if (w(2, n - 1) == 0) return singular();
            g = -1 / w(2, n - 1);
        } else if (iend == 0) {
            g = w(1, n - 1) + w(1, n);
            dv(1, n) = ((w(1, n) + 2 * g) * w(2, n) * w(1, n - 1) + w(1, n) * w(1, n) * s2last) / g;
            if (w(2, n - 1) == 0) return singular();
            g = -g / w(2, n - 1);
            w(2, n) = w(1, n - 1);
        } else {
            dv(1, n) = 3 * w(2, n) + T(0.5) * w(1, n) * dv(1, n);
            w(2, n) = 2;
            if (w(2, n - 1) == 0) return singular();
            g = -1 / w(2, n - 1);
        }
        w(2, n) = g * w(1, n - 1) + w(2, n);
        if (w(2, n) == 0) return singular();
        dv(1, n) = (g * dv(1, n - 1) + dv(1, n)) / w(2, n);
    }

    for (i32 j = n - 1; j >= 1; --j) {
        if (w(2, j) == 0) return singular();
        dv(1, j) = (dv(1, j) - w(1, j) * dv(1, j + 1)) / w(2, j);
    }
    return 0;
}

// End conditions; the lengths and slopes h(n-1), slope(n-1), n >= 2.
template <class T>
i32 pchce(const i32* ic, const T* vc, i32 n, const T* x, const T* h, const T* slope, T* d,
          i32 incfd) {
    const Mat<T> dv(d, incfd, n);
    const auto H = [h](i32 i) { return h[i - 1]; };
    const auto S = [slope](i32 i) { return slope[i - 1]; };
    // The monotonicity adjustment of an end derivative against the slope s of its interval.
    const auto adjust = [](T& de, T s) {
        if (s == 0 && de == 0) return false;
        if (s == 0 || pchst(de, s) < 0)
            de = 0;
        else if (std::abs(de) > 3 * std::abs(s))
            de = 3 * s;
        else
            return false;
        return true;
    };
    // The derivative at the last of k points xt(k) with slopes st(k-1) between them.
    const auto k_point = [](i32 k, const T* xt, T* st, T& out) {
        i32 ierf = 0;
        out = pchdf<T>(k, xt, st, ierf);
        return ierf == 0 ? 0
                         : fail<T>("DPCHCE", Message("ERROR RETURN FROM ", twin<T>("DPCHDF")), -1);
    };
    i32 ibeg = ic[0], iend = ic[1], ierr = 0;
    if (std::abs(i64(ibeg)) > n) ibeg = 0;
    if (std::abs(i64(iend)) > n) iend = 0;

    if (ibeg != 0) {
        const i32 k = std::abs(ibeg);
        T& d1 = dv(1, 1);
        if (k == 1) {
            d1 = vc[0];
        } else if (k == 2) {
            d1 = T(0.5) * ((3 * S(1) - dv(1, 2)) - T(0.5) * vc[0] * H(1));
        } else if (k < 5) {
            T xt[4], st[4];
            for (i32 j = 1; j <= k; ++j) xt[j - 1] = x[k - j];
            for (i32 j = 1; j < k; ++j) st[j - 1] = S(k - j);
            if (i32 e = k_point(k, xt, st, d1)) return e;
        } else {
            d1 =
                (3 * (H(1) * S(2) + H(2) * S(1)) - 2 * (H(1) + H(2)) * dv(1, 2) - H(1) * dv(1, 3)) /
                H(2);
        }
        if (ibeg < 0 && adjust(d1, S(1))) ierr += 1;
    }

    if (iend != 0) {
        const i32 k = std::abs(iend);
        T& dn = dv(1, n);
        if (k == 1) {
            dn = vc[1];
        } else if (k == 2) {
            dn = T(0.5) * ((3 * S(n - 1) - dv(1, n - 1)) + T(0.5) * vc[1] * H(n - 1));
        } else if (k < 5) {
            T xt[4], st[4];
            for (i32 j = 1; j <= k; ++j) xt[j - 1] = x[n - k + j - 1];
            for (i32 j = 1; j < k; ++j) st[j - 1] = S(n - k + j);
            if (i32 e = k_point(k, xt, st, dn)) return e;
        } else {
            dn = (3 * (H(n - 1) * S(n - 2) + H(n - 2) * S(n - 1)) -
                  2 * (H(n - 1) + H(n - 2)) * dv(1, n - 1) - H(n - 1) * dv(1, n - 2)) /
                 H(n - 2);
        }
        if (iend < 0 && adjust(dn, S(n - 1))) ierr += 2;
    }
    return ierr;
}

template <class T>
i32 pchic(const i32* ic, const T* vc, T sw, i32 n, const T* x, const T* f, T* d, i32 incfd, T* wk,
          i32 nwk) {
    if (i32 e = validate<T>("DPCHIC", n, x, incfd, true)) return e;
    i32 ierr = 0;
    if (ic[0] < -5 || ic[0] > 5) ierr -= 1;
    if (ic[1] < -5 || ic[1] > 5) ierr -= 2;
    if (ierr < 0) return fail<T>("DPCHIC", "IC OUT OF RANGE", ierr - 3);
    if (nwk < 2 * (i64(n) - 1)) return fail<T>("DPCHIC", "WORK ARRAY TOO SMALL", -7);

    // The end conditions read x after d is written.
    const Unaliased<T, 0> xs(x, n, d, i64(incfd) * (n - 1) + 1);
    const Mat<const T> fv(f, incfd, n);
    const Mat<T> dv(d, incfd, n);
    T *h = wk, *slope = wk + (n - 1);
    for (i32 i = 1; i < n; ++i) {
        h[i - 1] = x[i] - x[i - 1];
        slope[i - 1] = (fv(1, i + 1) - fv(1, i)) / h[i - 1];
    }
    if (n == 2) {
        dv(1, 1) = dv(1, 2) = slope[0];
    } else {
        pchci(n, h, slope, d, incfd);
        if (sw != 0 && pchcs(sw, n, h, slope, d, incfd) != 0)
            return fail<T>("DPCHIC", Message("ERROR RETURN FROM ", twin<T>("DPCHCS")), -8);
    }
    if (ic[0] == 0 && ic[1] == 0) return 0;
    ierr = pchce(ic, vc, n, xs.data(), h, slope, d, incfd);
    if (ierr < 0) return fail<T>("DPCHIC", Message("ERROR RETURN FROM ", twin<T>("DPCHCE")), -9);
    return ierr;
}

template <class T>
i32 pchez(i32 n, const T* x, const T* f, T* d, bool spline, T* wk, i32 lwk) {
    if (!spline) return pchim<T>(n, x, f, d, 1);
    const i32 ic[2] = {0, 0};
    const T vc[2] = {0, 0};
    return pchsp<T>(ic, vc, n, x, f, d, 1, wk, lwk);
}

// The C entries of the steps of pchic: they check n and incfd so as to stay within the arrays
// and read the inputs that share storage with d from private copies.
template <class T>
struct Steps {
    i32 status;
    i64 nd;  // elements spanned by d
    Steps(std::string_view droutine, i32 n, i32 incfd)
        : status(validate<T>(droutine, n, static_cast<const T*>(nullptr), incfd, false)),
          nd(status ? 0 : i64(incfd) * (n - 1) + 1) {}
};

}  // namespace vorlen::pchip

using namespace vorlen;
using namespace vorlen::pchip;

namespace {

template <class T>
void step_ci(const i32* n, const T* h, const T* slope, T* d, const i32* incfd) {
    const Steps<T> s("DPCHCI", *n, *incfd);
    if (s.status) return;
    const Unaliased<T, 0> hs(h, *n - 1, d, s.nd), ss(slope, *n - 1, d, s.nd);
    pchci(*n, hs.data(), ss.data(), d, *incfd);
}

template <class T>
void step_cs(const T* sw, const i32* n, const T* h, const T* slope, T* d, const i32* incfd,
             i32* ierr) {
    const Steps<T> s("DPCHCS", *n, *incfd);
    if ((*ierr = s.status)) return;
    const Unaliased<T, 0> hs(h, *n - 1, d, s.nd), ss(slope, *n - 1, d, s.nd);
    *ierr = pchcs(*sw, *n, hs.data(), ss.data(), d, *incfd);
}

template <class T>
void step_ce(const i32* ic, const T* vc, const i32* n, const T* x, const T* h, const T* slope, T* d,
             const i32* incfd, i32* ierr) {
    const Steps<T> s("DPCHCE", *n, *incfd);
    if ((*ierr = s.status)) return;
    const i32 icl[2] = {ic[0], ic[1]};
    const T vcl[2] = {vc[0], vc[1]};
    const Unaliased<T, 0> xs(x, *n, d, s.nd), hs(h, *n - 1, d, s.nd), ss(slope, *n - 1, d, s.nd);
    *ierr = pchce(icl, vcl, *n, xs.data(), hs.data(), ss.data(), d, *incfd);
}

}  // namespace

extern "C" {

void dpchez_(const i32* n, const double* x, const double* f, double* d, const i32* spline,
             double* wk, const i32* lwk, i32* ierr) {
    *ierr = pchez<double>(*n, x, f, d, *spline != 0, wk, *lwk);
}
void pchez_(const i32* n, const float* x, const float* f, float* d, const i32* spline, float* wk,
            const i32* lwk, i32* ierr) {
    *ierr = pchez<float>(*n, x, f, d, *spline != 0, wk, *lwk);
}

void dpchim_(const i32* n, const double* x, const double* f, double* d, const i32* incfd,
             i32* ierr) {
    *ierr = pchim<double>(*n, x, f, d, *incfd);
}
void pchim_(const i32* n, const float* x, const float* f, float* d, const i32* incfd, i32* ierr) {
    *ierr = pchim<float>(*n, x, f, d, *incfd);
}

void dpchsp_(const i32* ic, const double* vc, const i32* n, const double* x, const double* f,
             double* d, const i32* incfd, double* wk, const i32* nwk, i32* ierr) {
    *ierr = pchsp<double>(ic, vc, *n, x, f, d, *incfd, wk, *nwk);
}
void pchsp_(const i32* ic, const float* vc, const i32* n, const float* x, const float* f, float* d,
            const i32* incfd, float* wk, const i32* nwk, i32* ierr) {
    *ierr = pchsp<float>(ic, vc, *n, x, f, d, *incfd, wk, *nwk);
}

void dpchic_(const i32* ic, const double* vc, const double* switch_, const i32* n, const double* x,
             const double* f, double* d, const i32* incfd, double* wk, const i32* nwk, i32* ierr) {
    *ierr = pchic<double>(ic, vc, *switch_, *n, x, f, d, *incfd, wk, *nwk);
}
void pchic_(const i32* ic, const float* vc, const float* switch_, const i32* n, const float* x,
            const float* f, float* d, const i32* incfd, float* wk, const i32* nwk, i32* ierr) {
    *ierr = pchic<float>(ic, vc, *switch_, *n, x, f, d, *incfd, wk, *nwk);
}

void dpchci_(const i32* n, const double* h, const double* slope, double* d, const i32* incfd) {
    step_ci(n, h, slope, d, incfd);
}
void pchci_(const i32* n, const float* h, const float* slope, float* d, const i32* incfd) {
    step_ci(n, h, slope, d, incfd);
}

void dpchcs_(const double* switch_, const i32* n, const double* h, const double* slope, double* d,
             const i32* incfd, i32* ierr) {
    step_cs(switch_, n, h, slope, d, incfd, ierr);
}
void pchcs_(const float* switch_, const i32* n, const float* h, const float* slope, float* d,
            const i32* incfd, i32* ierr) {
    step_cs(switch_, n, h, slope, d, incfd, ierr);
}

void dpchsw_(const double* dfmax, const i32* iextrm, double* d1, double* d2, const double* h,
             const double* slope, i32* ierr) {
    *ierr = pchsw(*dfmax, *iextrm, *d1, *d2, *h, *slope);
}
void pchsw_(const float* dfmax, const i32* iextrm, float* d1, float* d2, const float* h,
            const float* slope, i32* ierr) {
    *ierr = pchsw(*dfmax, *iextrm, *d1, *d2, *h, *slope);
}

void dpchce_(const i32* ic, const double* vc, const i32* n, const double* x, const double* h,
             const double* slope, double* d, const i32* incfd, i32* ierr) {
    step_ce(ic, vc, n, x, h, slope, d, incfd, ierr);
}
void pchce_(const i32* ic, const float* vc, const i32* n, const float* x, const float* h,
            const float* slope, float* d, const i32* incfd, i32* ierr) {
    step_ce(ic, vc, n, x, h, slope, d, incfd, ierr);
}

double dpchdf_(const i32* k, const double* x, double* s, i32* ierr) {
    return pchdf<double>(*k, x, s, *ierr);
}
float pchdf_(const i32* k, const float* x, float* s, i32* ierr) {
    return pchdf<float>(*k, x, s, *ierr);
}

double dpchst_(const double* arg1, const double* arg2) { return pchst(*arg1, *arg2); }
float pchst_(const float* arg1, const float* arg2) { return pchst(*arg1, *arg2); }
}
