// Dense linear algebra of module math: thin fixed-policy layers over LAPACK and BLAS.
// Work arrays of matrices up to order kSmall live on the stack with fixed work sizes (no size
// query, no allocation); larger ones ask LAPACK for the work size and take it from the
// library's allocation path.
#include "core/math_linalg.hpp"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

#include "base/errorhandling.hpp"
#include "core/lapack.hpp"
#include "base/work.hpp"

namespace vorlen::math {
namespace {

using errorhandling::report;

constexpr i32 kSmall = 16;
// Work lengths for orders up to kSmall, above the sizes LAPACK asks for there (dsytrd 32 n,
// dsyev 34 n, dgesvd 1072 at 16 by 16).
constexpr i32 kSytrdWork = 64 * kSmall;
constexpr i32 kSyevWork = 66 * kSmall;
constexpr i32 kSvdWork = 2048;
// Largest order of the cofactor expansion: its cost grows as n!. Above it the determinant comes
// from the LU factors and the permanent from Ryser's formula.
constexpr i32 kMaxCofactor = 12;
// Largest order of Ryser's formula: 2^n n operations, some minutes at order 30.
constexpr i32 kMaxRyser = 30;

constexpr double kCholeskyMarker = -std::numeric_limits<double>::max();

using Square = Work<double, kSmall * kSmall>;

i64 count(i32 n) { return n > 0 ? n : 0; }

// Optimal work length as a LAPACK size query returns it in work(1).
i32 queried(double w) { return std::max<i32>(1, static_cast<i32>(w)); }

// Product of the pivots of the LU factors of the n by n matrix in w (overwritten), its sign
// flipped per row swap; info is the status of dgetrf (a zero pivot makes the product 0).
double pivot_product(double* w, i32 n, i32& info) {
    Work<i32, kSmall> piv(n);
    double lud = 1.0;
    dgetrf_(&n, &n, w, &n, piv.data(), &info);
    const Mat<double> f(w, n, n);
    for (i32 i = 1; i <= n; ++i) {
        lud *= f(i, i);
        if (piv(i) != i) lud = -lud;
    }
    return lud;
}

// Determinant of the n by n matrix in w (overwritten); 0 with the report when singular.
double lu_determinant(double* w, i32 n) {
    i32 info = 0;
    const double lud = pivot_product(w, n, info);
    if (info != 0) {
        report(-2, "Singularity in LU-factorization computation");
        return 0.0;
    }
    return lud;
}

// Permanent by Ryser's formula, perm(a) = (-1)^n sum over the non-empty column sets S of
// (-1)^|S| prod_i sum_{j in S} a(i,j), the sets visited in Gray-code order so that each step
// adds or removes one column of the row sums. n at most kMaxRyser.
// The terms cancel: for the all-ones matrix of order 20 they reach 1e27 against a permanent of
// 2.4e18. Row sums, products and the sum are therefore carried in double-double arithmetic, a
// value and its rounding error side by side (error-free sums and fused multiply-adds), which
// leaves an error of about 1e-32 times the sum of the terms' magnitudes before the final
// rounding; the cost is about 1.5 times that of plain doubles. On x86-64 an fma clone runs
// where the processor has the instruction.
#if defined(__x86_64__)
[[gnu::target_clones("fma", "default")]]
#endif
double ryser_permanent(const Mat<const double>& a, i32 n) {
    double rowsum[kMaxRyser] = {}, rowerr[kMaxRyser] = {};
    double sum = 0.0, sumerr = 0.0;
    bool odd = false;  // |S| odd
    const std::uint64_t sets = std::uint64_t{1} << n;
    for (std::uint64_t k = 1; k < sets; ++k) {
        const int j = __builtin_ctzll(k) + 1;  // the column that enters or leaves S
        const bool enters = ((k ^ (k >> 1)) >> (j - 1)) & 1;
        odd = !odd;
        for (i32 i = 0; i < n; ++i) {
            const double x = enters ? a(i + 1, j) : -a(i + 1, j);
            const double s = rowsum[i] + x, t = s - rowsum[i];
            rowerr[i] += (rowsum[i] - (s - t)) + (x - t);
            rowsum[i] = s;
        }
        // Product of the row sums with its error carried along.
        double prod = rowsum[0], prerr = rowerr[0];
        for (i32 i = 1; i < n; ++i) {
            const double p = prod * rowsum[i];
            prerr = std::fma(prod, rowsum[i], -p) + (prerr * rowsum[i] + prod * rowerr[i]);
            prod = p;
        }
        if (odd) {
            prod = -prod;
            prerr = -prerr;
        }
        const double s = sum + prod, t = s - sum;
        const double e = sumerr + (((sum - (s - t)) + (prod - t)) + prerr);
        sum = s + e;  // renormalised, so that the error part stays below an ulp of the sum
        sumerr = e - (sum - s);
    }
    return n % 2 == 0 ? sum : -sum;
}

// Laplace expansion along row `row` over the m columns listed in cols.
double expand(const Mat<const double>& a, i32 row, const i32* cols, i32 m, i32 flag) {
    if (m == 1) return a(row, cols[0]);
    i32 sub[kMaxCofactor];
    double pd = 0.0;
    i32 s = 1;
    for (i32 i = 0; i < m; ++i) {
        i32 q = 0;
        for (i32 j = 0; j < m; ++j)
            if (j != i) sub[q++] = cols[j];
        const double t = expand(a, row + 1, sub, m - 1, flag);
        pd += (static_cast<double>(s) * a(row, cols[i])) * t;
        // The sign is a 32-bit integer that wraps like the machine's multiply.
        s = static_cast<i32>(static_cast<std::uint32_t>(s) * static_cast<std::uint32_t>(flag));
    }
    return pd;
}

bool is_transpose_flag(char f) { return f == 'N' || f == 'n' || f == 'T' || f == 't' || f == 'C' || f == 'c'; }

}  // namespace

extern "C" {

void MatrixInverse(const double* a, double* ainv, const i32* n) {
    const i32 nn = *n;
    if (nn < 1) {
        report(-3, "Matrix order below 1 in MatrixInverse");
        return;
    }
    if (ainv != a) std::copy_n(a, i64(nn) * nn, ainv);
    Work<i32, kSmall> ipiv(nn);
    Work<double, kSmall> work(nn);
    i32 info = 0;
    dgetrf_(&nn, &nn, ainv, &nn, ipiv.data(), &info);
    if (info != 0) report(-2, "Matrix inverse becomes numerically singular!");
    dgetri_(&nn, ainv, &nn, ipiv.data(), work.data(), &nn, &info);
    if (info != 0) report(-2, "Matrix inversion failed!");
}

void LUFactDeterminant(double* lud, const double* a, const i32* n) {
    const i32 nn = *n;
    if (nn < 1) {
        *lud = 0.0;
        report(-3, "Matrix order below 1 in LUFactDeterminant");
        return;
    }
    Square w(i64(nn) * nn);
    std::copy_n(a, i64(nn) * nn, w.data());
    *lud = lu_determinant(w.data(), nn);
}

void Determinant(double* pd, const double* a, const i32* n, const i32* pdflag) {
    const i32 nn = *n, flag = pdflag ? *pdflag : -1;
    const Mat<const double> av(a, nn, nn);
    if (nn <= 0) {
        *pd = 0.0;
    } else if (nn <= kMaxCofactor) {
        i32 cols[kMaxCofactor];
        for (i32 j = 0; j < nn; ++j) cols[j] = j + 1;
        *pd = expand(av, 1, cols, nn, flag);
    } else if (flag == -1) {
        Square w(i64(nn) * nn);
        std::copy_n(a, i64(nn) * nn, w.data());
        i32 info = 0;
        *pd = pivot_product(w.data(), nn, info);
    } else if (flag == 1 && nn <= kMaxRyser) {
        *pd = ryser_permanent(av, nn);
    } else {
        *pd = 0.0;
        report(-3, flag == 1
                       ? "Matrix order above 30 in the permanent of Determinant"
                       : "Matrix order above 12 in Determinant with a pdflag other than -1 or 1");
    }
}

double GetPrincipleMinor(const double* sm, const i32* i, const i32* k) {
    const i32 ii = *i, kk = *k;
    if (ii < 1 || ii > kk) {
        report(-3, "Minor order outside 1..k in GetPrincipleMinor");
        return 0.0;
    }
    const Mat<const double> s(sm, kk, kk);
    if (ii == 1) return s(1, 1);
    Square w(i64(ii) * ii);
    Mat<double> b(w.data(), ii, ii);
    for (i32 c = 1; c <= ii; ++c)
        for (i32 r = 1; r <= ii; ++r) b(r, c) = s(r, c);
    return lu_determinant(w.data(), ii);
}

double GetFirstMinor(const double* sm, const i32* i, const i32* j, const i32* k) {
    const i32 ii = *i, jj = *j, kk = *k;
    if (kk < 2 || ii < 1 || ii > kk || jj < 1 || jj > kk) {
        report(-3, "Row or column outside 1..k, or k below 2, in GetFirstMinor");
        return 0.0;
    }
    const i32 m = kk - 1;
    const Mat<const double> s(sm, kk, kk);
    Square w(i64(m) * m);
    Mat<double> b(w.data(), m, m);
    for (i32 c = 1, cb = 1; c <= kk; ++c) {
        if (c == jj) continue;
        for (i32 r = 1, rb = 1; r <= kk; ++r)
            if (r != ii) b(rb++, cb) = s(r, c);
        ++cb;
    }
    return lu_determinant(w.data(), m);
}

double GetCofactor(const double* mij, const i32* i, const i32* j) {
    return ((i64(*i) + *j) % 2 == 0) ? *mij : -*mij;
}

void MatrixEigenvalues(const double* a, double* d, const i32* n) {
    i32 nn = *n;
    if (nn < 1) {
        report(-3, "Matrix order below 1 in MatrixEigenvalues");
        return;
    }
    Square w(i64(nn) * nn);
    std::copy_n(a, i64(nn) * nn, w.data());
    i32 lwork = kSytrdWork, info = 0;
    if (nn > kSmall) {
        double q = 0.0;
        const i32 query = -1;
        dsytrd_("U", &nn, w.data(), &nn, d, &q, &q, &q, &query, &info, 1);
        lwork = queried(q);
    }
    Work<double, 2 * kSmall + kSytrdWork> buf(2 * i64(nn) + lwork);
    double *e = buf.data(), *tau = e + nn, *work = tau + nn;
    dsytrd_("U", &nn, w.data(), &nn, d, e, tau, work, &lwork, &info, 1);
    dsterf_(&nn, d, e, &info);
}

void MatrixEigenVectors(const double* a, double* z, const i32* n, double* eigvals) {
    const i32 nn = *n;
    if (nn < 1) {
        report(-3, "Matrix order below 1 in MatrixEigenVectors");
        return;
    }
    // `x < 0` is false for NaN: a NaN entry withholds the eigenvalues.
    const bool wanted = eigvals && std::all_of(eigvals, eigvals + nn, [](double x) { return x < 0.0; });
    i32 lwork = kSyevWork, info = 0;
    if (nn > kSmall) {
        double q = 0.0;
        const i32 query = -1;
        dsyev_("V", "U", &nn, z, &nn, &q, &q, &query, &info, 1, 1);
        lwork = std::max(3 * nn - 1, queried(q));
    }
    Work<double, kSmall + kSyevWork> buf(i64(nn) + lwork);
    double *w = buf.data(), *work = w + nn;
    if (z != a) std::copy_n(a, i64(nn) * nn, z);
    dsyev_("V", "U", &nn, z, &nn, w, work, &lwork, &info, 1, 1);
    if (wanted) std::copy_n(w, nn, eigvals);
}

double VectorModalAssuranceCriterion(const double* a, const double* b, const i32* n) {
    double ab = 0.0, aa = 0.0, bb = 0.0;
    for (i64 i = 0; i < count(*n); ++i) {
        ab += a[i] * b[i];
        aa += a[i] * a[i];
        bb += b[i] * b[i];
    }
    return ab * ab / (aa * bb);
}

void MatrixModalAssuranceCriterion(const double* xs, const double* ys, double* mac, const i32* n) {
    const i32 nn = *n;
    if (nn < 1) {
        report(-3, "Matrix order below 1 in MatrixModalAssuranceCriterion");
        return;
    }
    const i64 size = i64(nn) * nn;
    Square phibuf(size), psibuf(size);
    MatrixEigenVectors(xs, phibuf.data(), n, nullptr);
    MatrixEigenVectors(ys, psibuf.data(), n, nullptr);
    std::fill_n(mac, size, -1.0);  // after xs and ys are read: mac may be either of them
    const Mat<double> phi(phibuf.data(), nn, nn), psi(psibuf.data(), nn, nn), m(mac, nn, nn);
    for (i32 j = 1; j <= nn; ++j)
        for (i32 i = 1; i <= nn; ++i) m(i, j) = VectorModalAssuranceCriterion(&phi(1, i), &psi(1, j), n);
}

void SingularValueDecomposition(const double* a, double* u, double* s, double* v, const i32* m,
                                const i32* n) {
    i32 mm = *m, nn = *n;
    // a is copied (and checked) before the outputs are zeroed: u, s or v may be a itself.
    const i64 size = count(mm) * count(nn);
    Square w(size);
    std::copy_n(a, size, w.data());
    // dgesvd does not return on some matrices with an infinite entry.
    const bool finite =
        std::all_of(w.data(), w.data() + size, [](double x) { return std::isfinite(x); });
    std::fill_n(u, count(mm) * count(mm), 0.0);
    std::fill_n(s, size, 0.0);
    std::fill_n(v, count(nn) * count(nn), 0.0);
    if (mm < 1 || nn < 1) {
        report(-3, "Matrix extent below 1 in SingularValueDecomposition");
        return;
    }
    if (!finite) {
        report(-3, "Matrix entry not finite in SingularValueDecomposition");
        return;
    }
    const i32 mn = std::min(mm, nn);
    i32 lwork = kSvdWork, info = 0;
    if (std::max(mm, nn) > kSmall) {
        double q = 0.0;
        const i32 query = -1;
        dgesvd_("A", "A", &mm, &nn, w.data(), &mm, &q, u, &mm, v, &nn, &q, &query, &info, 1, 1);
        lwork = queried(q);
    }
    Work<double, kSmall + kSvdWork> buf(i64(mn) + lwork);
    double *sigma = buf.data(), *work = sigma + mn;
    dgesvd_("A", "A", &mm, &nn, w.data(), &mm, sigma, u, &mm, v, &nn, work, &lwork, &info, 1, 1);
    const Mat<double> sm(s, mm, nn);
    for (i32 i = 1; i <= mn; ++i) sm(i, i) = sigma[i - 1];
}

void CholeskyFactorization(const double* a, double* c, const i32* n) {
    const i32 nn = *n;
    if (nn < 1) {
        report(-3, "Matrix order below 1 in CholeskyFactorization");
        return;
    }
    const i64 size = i64(nn) * nn;
    if (c != a) std::copy_n(a, size, c);
    i32 info = 0;
    dpotrf_("U", &nn, c, &nn, &info, 1);
    // OpenBLAS's dpotrf takes a NaN pivot for a positive one and reports success; a NaN anywhere
    // in the upper triangle reaches some pivot, so a NaN on the diagonal of U is that failure.
    const Mat<const double> u(c, nn, nn);
    for (i32 i = 1; i <= nn && info == 0; ++i)
        if (std::isnan(u(i, i))) info = i;
    if (info != 0) std::fill_n(c, size, kCholeskyMarker);
}

void GeneralMatrixProduct(double* d, const double* alpha, const double* a, const double* b,
                          const double* beta, const double* c, const i32* m, const i32* n,
                          const i32* k, const char* sa, const char* sb, const i32* a1,
                          const i32* a2, const i32* b1, const i32* b2) {
    const i32 mm = *m, nn = *n, kk = *k;
    const i64 nd = count(mm) * count(nn), na = count(*a1) * count(*a2),
              nb = count(*b1) * count(*b2);
    // d may be a or b (d = a b): those are read from copies made before d is written.
    const Unaliased<double, kSmall * kSmall> ain(a, na, d, nd), bin(b, nb, d, nd);
    if (d != c) std::copy_n(c, nd, d);
    const bool bad = mm < 1 || nn < 1 || kk < 1 || !is_transpose_flag(*sa) ||
                     !is_transpose_flag(*sb) || na < i64(mm) * kk || nb < i64(kk) * nn;
    if (bad) {
        report(-3, "Extent below 1, unknown transpose flag or short array in GeneralMatrixProduct");
        return;
    }
    const i32 lda = (*sa == 'N' || *sa == 'n') ? mm : kk;
    const i32 ldb = (*sb == 'N' || *sb == 'n') ? kk : nn;
    dgemm_(sa, sb, &mm, &nn, &kk, alpha, ain.data(), &lda, bin.data(), &ldb, beta, d, &mm, 1, 1);
}

}  // extern "C"
}  // namespace vorlen::math
