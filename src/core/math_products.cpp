// Small matrix and vector kernels of module math: plain loops over column-major arrays, run per
// integration point; nothing is allocated. A product whose output is also one of its inputs
// (x = A x) reads that input from a private copy (on the stack up to 64 entries).
#include "core/math_products.hpp"

#include <algorithm>

#include "base/errorhandling.hpp"
#include "base/work.hpp"

namespace vorlen::math {
namespace {

i64 count(i32 n) { return n > 0 ? n : 0; }
i64 count(i32 n, i32 m) { return count(n) * count(m); }

// Input of a product as read while its output is written (64: an 8 by 8 matrix).
using Input = Unaliased<double, 64>;

void accumulate(double* a, const double* b, double c, i64 len) {
    for (i64 i = 0; i < len; ++i) a[i] = a[i] + c * b[i];
}

// Scales the non-zero entries; a NaN compares unequal to 0 and is scaled too.
void amplify(double* a, double c, i64 len) {
    for (i64 i = 0; i < len; ++i)
        if (a[i] != 0.0) a[i] = c * a[i];
}
double amplified(double x, double c) { return x != 0.0 ? c * x : x; }

void add(double* a, const double* b, i64 len) {
    for (i64 i = 0; i < len; ++i) a[i] = a[i] + b[i];
}
void subtract(double* a, const double* b, i64 len) {
    for (i64 i = 0; i < len; ++i) a[i] = a[i] - b[i];
}

// c may be a or b: every entry is formed before any is stored.
void cross(const double* a, const double* b, double* c) {
    const double c1 = a[1] * b[2] - a[2] * b[1];
    const double c2 = a[2] * b[0] - a[0] * b[2];
    const double c3 = a[0] * b[1] - a[1] * b[0];
    c[0] = c1, c[1] = c2, c[2] = c3;
}

}  // namespace

extern "C" {

void MatrixProduct(const double* a, const double* b, double* c, const i32* l, const i32* n,
                   const i32* m) {
    const i64 nc = count(*l, *m);
    const Input ain(a, count(*l, *n), c, nc), bin(b, count(*n, *m), c, nc);
    const Mat<const double> av(ain.data(), *l, *n), bv(bin.data(), *n, *m);
    const Mat<double> cv(c, *l, *m);
    std::fill_n(c, nc, 0.0);
    for (i32 j = 1; j <= *m; ++j)
        for (i32 k = 1; k <= *n; ++k) {
            const double t = bv(k, j);
            if (t == 0.0) continue;
            for (i32 i = 1; i <= *l; ++i) cv(i, j) = cv(i, j) + t * av(i, k);
        }
}

void MatrixVectorProduct(const double* a, const double* b, double* c, const i32* n, const i32* m) {
    const Input ain(a, count(*n, *m), c, count(*n)), bin(b, count(*m), c, count(*n));
    const Mat<const double> av(ain.data(), *n, *m);
    const double* bv = bin.data();
    std::fill_n(c, count(*n), 0.0);
    for (i32 j = 1; j <= *m; ++j)
        for (i32 i = 1; i <= *n; ++i) c[i - 1] = c[i - 1] + av(i, j) * bv[j - 1];
}

void VectorMatrixProduct(const double* a, const double* b, double* c, const i32* n, const i32* m) {
    const Input ain(a, count(*m), c, count(*n)), bin(b, count(*m, *n), c, count(*n));
    const double* av = ain.data();
    const Mat<const double> bv(bin.data(), *m, *n);
    for (i32 i = 1; i <= *n; ++i) {
        double s = 0.0;
        for (i32 j = 1; j <= *m; ++j) s = s + av[j - 1] * bv(j, i);
        c[i - 1] = s;
    }
}

void LUMatrixVectorProduct(const double* a, const double* b, double* c, const i32* m,
                           const i32* n) {
    const i64 nn = count(*n);
    const Input ain(a, count(*m), c, nn), bin(b, nn, c, nn);
    const double* bv = bin.data();
    std::fill_n(c, nn, 0.0);
    if (nn * (nn + 1) / 2 > *m) {
        errorhandling::report(-3, "Packed matrix shorter than n(n+1)/2 in LUMatrixVectorProduct");
        return;
    }
    const double* s = ain.data();  // walks the packed rows
    for (i64 r = 0; r < nn; ++r) {
        c[r] = c[r] + *s++ * bv[r];
        for (i64 q = r + 1; q < nn; ++q, ++s) {
            c[q] = c[q] + *s * bv[r];
            c[r] = c[r] + *s * bv[q];
        }
    }
}

void DotProduct(const double* a, const double* b, double* c, const i32* l) {
    double s = 0.0;
    for (i64 i = 0; i < count(*l); ++i) s = s + a[i] * b[i];
    *c = s;
}

void CrossProduct(const double* a, const double* b, double* c) { cross(a, b, c); }

void VectorTripleProduct(const double* a, const double* b, const double* c, double* d) {
    double t[3];
    cross(b, c, t);
    cross(a, t, d);
}

void ScalarTripleProduct(const double* a, const double* b, const double* c, double* d) {
    double t[3];
    cross(b, c, t);
    *d = a[0] * t[0] + a[1] * t[1] + a[2] * t[2];
}

void DyadenProduct(const double* a, const double* b, double* c, const i32* m, const i32* n) {
    const Mat<double> cv(c, *m, *n);
    for (i32 j = 1; j <= *n; ++j)
        for (i32 i = 1; i <= *m; ++i) cv(i, j) = a[i - 1] * b[j - 1];
}

void KroneckerProduct(const double* a, const double* b, double* ab, const i32* ma, const i32* na,
                      const i32* pb, const i32* qb) {
    const Mat<const double> av(a, *ma, *na), bv(b, *pb, *qb);
    const Mat<double> abv(ab, count(*ma) * count(*pb), count(*na) * count(*qb));
    for (i64 j = 1; j <= *na; ++j)
        for (i64 s = 1; s <= *qb; ++s)
            for (i64 i = 1; i <= *ma; ++i)
                for (i64 r = 1; r <= *pb; ++r)
                    abv((i - 1) * *pb + r, (j - 1) * *qb + s) = av(i, j) * bv(r, s);
}

void HadamardProduct(const double* a, const double* b, double* c, const i32* l, const i32* n) {
    for (i64 i = 0; i < count(*l, *n); ++i)
        c[i] = (a[i] != 0.0 && b[i] != 0.0) ? a[i] * b[i] : 0.0;
}

void HadamardDivision(const double* a, const double* b, double* c, const i32* l, const i32* n) {
    for (i64 i = 0; i < count(*l, *n); ++i)
        c[i] = (a[i] != 0.0 && b[i] != 0.0) ? a[i] / b[i] : 0.0;
}

void MatrixScalarMultiplication(double* a, const double* b, const double* c, const i32* n,
                                const i32* m) {
    accumulate(a, b, *c, count(*n, *m));
}

void VectorScalarMultiplication(double* a, const double* b, const double* c, const i32* n) {
    accumulate(a, b, *c, count(*n));
}

void MatrixAmplify(double* a, const double* c, const i32* n, const i32* m) {
    amplify(a, *c, count(*n, *m));
}

void VectorAmplify(double* a, const double* c, const i32* n) { amplify(a, *c, count(*n)); }

void MatrixSum(double* a, const double* b, const i32* n, const i32* m) { add(a, b, count(*n, *m)); }
void MatrixSub(double* a, const double* b, const i32* n, const i32* m) {
    subtract(a, b, count(*n, *m));
}
void VectorSum(double* a, const double* b, const i32* n) { add(a, b, count(*n)); }
void VectorSub(double* a, const double* b, const i32* n) { subtract(a, b, count(*n)); }

void GetABVector(double* v, const double* a, const double* b, const i32* n) {
    for (i64 i = 0; i < count(*n); ++i) v[i] = b[i] - a[i];
}

void MatrixShrinkage(const double* a, const double* b, double* c, const double* alpha,
                     const i32* n, const i32* m) {
    double f = *alpha;
    if (f < 0.0) f = 0.0;
    else if (!(f < 1.0)) f = 1.0;
    for (i64 i = 0; i < count(*n, *m); ++i) c[i] = amplified(a[i], f) + amplified(b[i], 1.0 - f);
}

// Entry pairs (i,j), (j,i) are read before either is written, so sym may be a itself: in place
// without a work copy. a(i,j) + a(j,i) and a(j,i) + a(i,j) are the same double.
void MatrixSymmetrize(const double* a, double* sym, const i32* n) {
    const Mat<const double> av(a, *n, *n);
    const Mat<double> sv(sym, *n, *n);
    for (i32 j = 1; j <= *n; ++j)
        for (i32 i = 1; i <= j; ++i) {
            const double s = (av(i, j) + av(j, i)) * 0.5;
            sv(i, j) = s;
            sv(j, i) = s;
        }
}

void MatrixTranspose(const double* a, double* b, const i32* n, const i32* m) {
    const i64 size = count(*n, *m);
    const Input ain(a, size, b, size);
    const Mat<const double> av(ain.data(), *n, *m);
    const Mat<double> bv(b, *m, *n);
    for (i32 j = 1; j <= *m; ++j)
        for (i32 i = 1; i <= *n; ++i) bv(j, i) = av(i, j);
}

void MatrixDiagonal(double* diag, const double* a, const i32* k, const i32* n) {
    const i64 kk = *k, len = i64(*n) - (kk < 0 ? -kk : kk);
    const Mat<const double> av(a, *n, *n);
    for (i64 i = 1; i <= len; ++i) diag[i - 1] = kk >= 0 ? av(i, i + kk) : av(i - kk, i);
}

double Trace(const double* x, const i32* n) {
    const Mat<const double> xv(x, *n, *n);
    double s = 0.0;
    for (i32 i = 1; i <= *n; ++i) s = s + xv(i, i);
    return s;
}

void CumulativeSum(double* csum, const double* a, const i32* n, const double* seed) {
    if (*n <= 0) return;
    csum[0] = (seed ? *seed : 0.0) + a[0];
    for (i64 i = 1; i < *n; ++i) csum[i] = csum[i - 1] + a[i];
}

void CumulativeProduct(double* cprod, const double* a, const i32* n, const double* seed) {
    if (*n <= 0) return;
    cprod[0] = (seed ? *seed : 1.0) * a[0];
    for (i64 i = 1; i < *n; ++i) cprod[i] = cprod[i - 1] * a[i];
}

}  // extern "C"
}  // namespace vorlen::math
