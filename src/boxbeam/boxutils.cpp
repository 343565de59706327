#include "boxbeam/boxutils.hpp"

#include <cmath>

#include "base/errorhandling.hpp"
#include "base/work.hpp"

namespace vorlen::boxutils {

extern "C" {

void TVERT(double* a_, const i32* n_, const i32* kl, const double* eps_, const double* b, i32* ip,
           double* x, i32* ifail) {
    const i64 n = *n_, m = n + 1;
    if (n < 0 || *kl < m) {
        errorhandling::report(-3, "TVERT: fewer than 0 unknowns or leading dimension below n + 1");
        *ifail = -1;
        return;
    }
    *ifail = 0;
    if (n == 0) return;
    const double eps = *eps_;
    const Mat<double> a(a_, *kl, n);
    Work<double, 64> w(m);
    Work<char, 64> used(m + 1);  // used(r): row r has been a pivot row
    for (i64 r = 1; r <= m; ++r) {
        w(r) = b[r - 1];
        ip[r - 1] = static_cast<i32>(r);
    }
    auto row = [&](i64 j) -> i64 { return ip[j - 1]; };
    for (i64 i = 1; i <= n - 1; ++i) {
        i64 best = i;
        for (i64 j = i + 1; j <= m; ++j)
            if (std::fabs(a(row(j), i)) > std::fabs(a(row(best), i))) best = j;
        std::swap(ip[i - 1], ip[best - 1]);
        const i64 p = row(i);
        if (std::fabs(a(p, i)) <= eps) {
            *ifail = static_cast<i32>(i);
            return;
        }
        used(p) = 1;
        const double h = 1.0 / a(p, i);
        for (i64 r = 1; r <= m; ++r) {
            if (used(r)) continue;
            const double c = a(r, i) * h;
            for (i64 k = i; k <= n; ++k) a(r, k) -= a(p, k) * c;
            a(r, i) = c;
        }
    }
    for (i64 i = 1; i <= n - 1; ++i)
        for (i64 j = i + 1; j <= m; ++j) w(row(j)) -= a(row(j), i) * w(row(i));
    const i64 p = row(n), q = row(m);
    const bool use_p = std::fabs(a(p, n)) >= std::fabs(a(q, n));
    const i64 u = use_p ? p : q;
    if (std::fabs(a(u, n)) > eps) {
        x[n - 1] = w(u) / a(u, n);
    } else if (std::fabs(w(u)) > eps) {
        *ifail = static_cast<i32>(use_p ? n : m);
        return;
    } else {
        x[n - 1] = 1.0;
    }
    for (i64 k = n - 1; k >= 1; --k) {
        const i64 r = row(k);
        double s = w(r);
        for (i64 j = k + 1; j <= n; ++j) s -= a(r, j) * x[j - 1];
        x[k - 1] = s / a(r, k);
    }
}

double QVSKPX(const double* a, const double* b, const i32* n, const i32* la, const i32* lb) {
    // a negative stride would step before the first element
    if (*n > 1 && (*la < 0 || *lb < 0)) {
        errorhandling::report(-3, "QVSKPX: negative stride");
        return 0.0;
    }
    double s = 0.0;
    for (i64 i = 0; i < *n; ++i) s += a[i * *la] * b[i * *lb];
    return s;
}
}

}  // namespace vorlen::boxutils
