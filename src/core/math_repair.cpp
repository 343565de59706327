// Iterative matrix algorithms of module math over the dense kernels: power iteration,
// conjugate gradients, positive-definiteness test, nearest positive semidefinite, positive
// definite and correlation matrices. Work arrays of matrices up to order kSmall are on the stack.
#include "core/math_repair.hpp"

#include <algorithm>
#include <cmath>
#include <limits>

#include "base/errorhandling.hpp"
#include "core/math_linalg.hpp"
#include "core/math_norms.hpp"
#include "core/math_products.hpp"
#include "core/utility_fill.hpp"
#include "base/work.hpp"

namespace vorlen::math {
namespace {

using errorhandling::report;

constexpr i64 kSmall = 8;
constexpr i64 kSquare = kSmall * kSmall;
constexpr double kEps = 2.220446049250313e-16;
constexpr double kCholeskyMarker = -std::numeric_limits<double>::max();
// Tries of the diagonal repairs, which end after a few for finite input (the shift grows with
// the square of the try).
constexpr i32 kMaxRepairs = 1000;
// Relative change, in units of n eps, down to which the nearest-correlation iteration goes.
constexpr double kRounding = 8.0;

bool all_finite(const double* a, i64 size) {
    return std::all_of(a, a + size, [](double v) { return std::isfinite(v); });
}

// CholeskyFactorization of a(n,n) succeeds; c(n,n) is work.
bool cholesky_succeeds(const double* a, double* c, const i32* n) {
    CholeskyFactorization(a, c, n);
    return std::any_of(c, c + i64(*n) * *n, [](double v) { return v != kCholeskyMarker; });
}

double largest_diagonal(const double* a, i32 n) {
    double m = 0.0;
    for (i64 i = 0; i < n; ++i) m = std::max(m, std::abs(a[i * (n + 1)]));
    return m;
}

void add_to_diagonal(double* a, i32 n, double s) {
    for (i64 i = 0; i < n; ++i) a[i * (n + 1)] += s;
}

// |u - v| / |u| in the Frobenius norm, the absolute change |u - v| when u is zero; t is work.
double relative_change(const double* u, const double* v, double* t, const i32* n) {
    utility::MatrixCopy(u, t, n, n);
    MatrixSub(t, v, n, n);
    const double d = MatrixNorm(t, n, n), base = MatrixNorm(u, n, n);
    return base > 0.0 ? d / base : d;
}

// Spearman's rho (kind 1) and Kendall's tau (kind 2) in y(sq) turned into the equivalent
// Pearson coefficients; other kinds stay.
void to_pearson(double* y, i64 sq, i32 kind) {
    if (kind != 1 && kind != 2) return;
    const double c = kind == 1 ? 0.5235987755982988 : 1.5707963267948966;
    const double f = kind == 1 ? 2.0 : 1.0;
    for (i64 i = 0; i < sq; ++i) y[i] = f * std::sin(c * y[i]);
}

// Alternating projections onto the positive semidefinite matrices (weighted by wh, entries
// sqrt(w(i) w(j))) and the matrices with unit diagonal, then the definiteness repair.
void nearest_correlation(double* corr, const double* a, const i32* n, const double* wh, double tol,
                         i32 maxit, i32 kind) {
    const i32 nn = *n;
    const i64 sq = i64(nn) * nn;
    Work<double, 8 * kSquare + kSmall> w(8 * sq + nn);
    double *x = w.data(), *y = x + sq, *ds = y + sq, *xold = ds + sq, *yold = xold + sq,
           *r = yold + sq, *t = r + sq, *u = t + sq, *d = u + sq;
    utility::MatrixCopy(a, x, n, n);
    utility::MatrixCopy(a, y, n, n);
    utility::IniMatrixwithZeros(ds, n, n);
    utility::IniMatrixwithZeros(corr, n, n);
    double change = std::numeric_limits<double>::max();
    for (i64 count = 1; change > tol; ++count) {
        if (count > maxit) {  // the last iterate, as Pearson coefficients
            report(-1, "No convergence in GetNearestCorrelationMatrix");
            to_pearson(y, sq, kind);
            utility::MatrixCopy(y, corr, n, n);
            return;
        }
        utility::MatrixCopy(x, xold, n, n);
        utility::MatrixCopy(y, r, n, n);
        MatrixSub(r, ds, n, n);
        HadamardProduct(wh, r, t, n, n);
        GetProjectedSPD(u, t, n);
        HadamardDivision(u, wh, x, n, n);
        if (!all_finite(x, sq)) {
            report(-3, "Projection not finite in GetNearestCorrelationMatrix");
            return;
        }
        utility::MatrixCopy(x, ds, n, n);
        MatrixSub(ds, r, n, n);
        utility::MatrixCopy(y, yold, n, n);
        utility::MatrixCopy(x, y, n, n);
        for (i64 i = 0; i < nn; ++i) y[i * (nn + 1)] = 1.0;
        change = std::max({relative_change(x, xold, t, n), relative_change(y, yold, t, n),
                           relative_change(y, x, t, n)});
    }

    // Shift to the unit diagonal's scale and repair.
    add_to_diagonal(x, nn, -(*std::max_element(x, x + sq) - 1.0) * nn);
    GetNearestSPD(y, x, n);
    add_to_diagonal(y, nn, 1.0 - *std::max_element(y, y + sq));

    if (kind == 1 || kind == 2) {
        to_pearson(y, sq, kind);
        nearest_correlation(corr, y, n, wh, tol, maxit, 0);
        return;
    }
    utility::GetIdentityMatrix(u, n);
    for (i32 k = 1; k <= kMaxRepairs; ++k) {
        if (cholesky_succeeds(y, t, n)) {
            utility::MatrixCopy(y, corr, n, n);
            return;
        }
        utility::MatrixCopy(y, x, n, n);
        MatrixEigenvalues(y, d, n);
        const double lambda = std::abs(d[0]);
        if (!std::isfinite(lambda)) break;
        const double f = 1.0 - (double(k) * k * lambda + kEps);
        MatrixShrinkage(x, u, y, &f, n, n);
    }
    report(-2, "No positive definite correlation matrix in GetNearestCorrelationMatrix");
}

}  // namespace

extern "C" {

void PowerIteration(double* eigenval, double* eigenvec, const double* a, const i32* n,
                    const i32* maxiter, const double* startvec, const double* abstol) {
    const i32 nn = *n;
    if (nn < 1) {
        *eigenval = 0.0;
        report(-3, "Matrix order below 1 in PowerIteration");
        return;
    }
    const i32 mx = maxiter ? *maxiter : 2000;
    const double eps = abstol ? *abstol : 1e-10;
    Work<double, 3 * 16> w(3 * i64(nn));
    double *y1 = w.data(), *y2 = y1 + nn, *t = y2 + nn;
    if (startvec)
        utility::fVectorCopy(startvec, y1, n);
    else
        std::fill_n(y1, nn, 1.0);
    // A NaN in a or the start spreads to every iterate, and a zero start never leaves zero:
    // either would end as a converged result.
    if (!all_finite(a, i64(nn) * nn) || !all_finite(y1, nn) ||
        std::all_of(y1, y1 + nn, [](double v) { return v == 0.0; }) || std::isnan(eps)) {
        *eigenval = 0.0;
        std::fill_n(eigenvec, nn, 0.0);
        report(-3, "Entry not finite, zero start vector or NaN tolerance in PowerIteration");
        return;
    }
    double delta = 1.0;
    for (i32 it = 0; it < mx && delta > eps; ++it) {
        MatrixVectorProduct(a, y1, y2, n, n);
        const double nu = VectorNorm(y2, n);
        i32 j = 0;
        for (i32 i = 1; i < nn; ++i)
            if (std::abs(y2[i]) > std::abs(y2[j])) j = i;
        if (nu > 0.0) {  // a zero iterate stays zero
            const double s = 1.0 / nu;
            VectorAmplify(y2, &s, n);
        }
        const double sigma = std::signbit(y2[j] * y1[j]) ? -1.0 : 1.0;
        utility::fVectorCopy(y2, t, n);
        const double ms = -sigma;
        VectorScalarMultiplication(t, y1, &ms, n);
        delta = VectorNorm(t, n);
        utility::fVectorCopy(y2, y1, n);
    }
    if (mx < 1) {  // no iterate: the start vector, normalised, stands for it
        const double nu = VectorNorm(y1, n);
        if (nu > 0.0) {
            const double s = 1.0 / nu;
            VectorAmplify(y1, &s, n);
        }
    }
    if (delta > eps) report(-2, "No convergence in von Mises eigenvalue computation");
    double lambda = 0.0;
    MatrixVectorProduct(a, y1, t, n, n);
    DotProduct(y1, t, &lambda, n);
    utility::fVectorCopy(y1, eigenvec, n);
    *eigenval = lambda;
}

void ConjugateGradient(double* xgrad, const double* a, const double* b, const double* x0,
                       const i32* n, const i32* m) {
    const i32 mm = *m;
    if (mm < 1 || *n != mm) {
        utility::fVectorCopy(x0, xgrad, m);
        report(-3, "Matrix not square or order below 1 in ConjugateGradient");
        return;
    }
    Work<double, 4 * kSmall> w(4 * i64(mm));
    double *x = w.data(), *r = x + mm, *p = r + mm, *q = p + mm;
    utility::fVectorCopy(x0, x, m);
    MatrixVectorProduct(a, x0, q, m, m);
    utility::fVectorCopy(b, r, m);
    VectorSub(r, q, m);
    utility::fVectorCopy(r, p, m);
    double rho = 0.0;
    DotProduct(r, r, &rho, m);
    for (i32 k = 0; k < mm; ++k) {
        double pq = 0.0;
        MatrixVectorProduct(a, p, q, m, m);
        DotProduct(p, q, &pq, m);
        if (pq == 0.0) {  // p = 0: x0 solves the system; else a is not positive definite
            if (rho != 0.0) report(-3, "Search direction without curvature in ConjugateGradient");
            break;
        }
        const double alpha = rho / pq, malpha = -alpha;
        VectorScalarMultiplication(x, p, &alpha, m);
        VectorScalarMultiplication(r, q, &malpha, m);
        double rhonew = 0.0;
        DotProduct(r, r, &rhonew, m);
        if (std::sqrt(rhonew) < 1e-10) break;
        const double beta = rhonew / rho;  // rho >= 1e-20 here
        VectorAmplify(p, &beta, m);
        VectorSum(p, r, m);
        rho = rhonew;
    }
    utility::fVectorCopy(x, xgrad, m);
}

lgl IsPositiveDefinite(const double* x, const i32* n, const double* tolerance) {
    const i32 nn = *n;
    if (nn < 1) {
        report(-3, "Matrix order below 1 in IsPositiveDefinite");
        return 0;
    }
    const double tol = tolerance ? *tolerance : 1e-8;
    Work<double, kSmall> d(nn);
    double det = 0.0;
    MatrixEigenvalues(x, d.data(), n);
    LUFactDeterminant(&det, x, n);
    return std::all_of(d.data(), d.data() + nn, [tol](double v) { return v > tol; }) && det > 0.0;
}

void GetProjectedSPD(double* ppd, const double* a, const i32* n) {
    const i32 nn = *n;
    if (nn < 1) {
        report(-3, "Matrix order below 1 in GetProjectedSPD");
        return;
    }
    const i64 sq = i64(nn) * nn;
    Work<double, 4 * kSquare + kSmall> w(4 * sq + nn);
    double *s = w.data(), *v = s + sq, *vd = v + sq, *vt = vd + sq, *lambda = vt + sq;
    MatrixSymmetrize(a, s, n);
    std::fill_n(lambda, nn, -1.0);
    MatrixEigenVectors(s, v, n, lambda);
    // v·diag(max(lambda, 0))·vᵀ
    utility::MatrixCopy(v, vd, n, n);
    for (i64 k = 0; k < nn; ++k) {
        const double l = lambda[k] < 0.0 ? 0.0 : lambda[k];
        VectorAmplify(vd + k * nn, &l, n);
    }
    MatrixTranspose(v, vt, n, n);
    MatrixProduct(vd, vt, s, n, n, n);
    MatrixSymmetrize(s, ppd, n);
}

void GetNearestSPD(double* pd, const double* a, const i32* n) {
    const i32 nn = *n;
    if (nn < 1) {
        report(-3, "Matrix order below 1 in GetNearestSPD");
        return;
    }
    const i64 sq = i64(nn) * nn;
    if (!all_finite(a, sq)) {
        utility::IniMatrixwithZeros(pd, n, n);
        report(-3, "Matrix entry not finite in GetNearestSPD");
        return;
    }
    Work<double, 6 * kSquare + kSmall> w(6 * sq + nn);
    double *b = w.data(), *u = b + sq, *s = u + sq, *v = s + sq, *t = v + sq, *h = t + sq,
           *d = h + sq;
    MatrixSymmetrize(a, b, n);
    SingularValueDecomposition(b, u, s, v, n, n);
    MatrixTranspose(v, u, n, n);
    MatrixProduct(u, s, t, n, n, n);
    MatrixProduct(t, v, h, n, n, n);
    MatrixSum(b, h, n, n);
    const double half = 0.5;
    MatrixAmplify(b, &half, n, n);
    double* p = h;
    MatrixSymmetrize(b, p, n);
    // Finite input can still overflow (in H, or in the growing shifts).
    for (i32 k = 1; k <= kMaxRepairs && all_finite(p, sq); ++k) {
        if (cholesky_succeeds(p, t, n)) {
            utility::MatrixCopy(p, pd, n, n);
            return;
        }
        MatrixEigenvalues(p, d, n);
        // A smallest eigenvalue at the rounding level of P (0 or above, yet the factorisation
        // fails) would make the shift shrink P or vanish beside its diagonal: the shift is at
        // least k² times the rounding level of the largest diagonal entry.
        const double k2 = double(k) * k;
        add_to_diagonal(p, nn, std::max(kEps - k2 * d[0], k2 * kEps * largest_diagonal(p, nn)));
    }
    utility::IniMatrixwithZeros(pd, n, n);
    report(-2, "No positive definite matrix found in GetNearestSPD");
}

double GetNearestPDNorm(const double* x, const i32* n) {
    const i32 nn = *n;
    if (nn < 1) {
        report(-3, "Matrix order below 1 in GetNearestPDNorm");
        return 0.0;
    }
    const i64 sq = i64(nn) * nn;
    Work<double, 2 * kSquare> w(2 * sq);
    double *p = w.data(), *diff = p + sq;
    if (cholesky_succeeds(x, p, n)) return 0.0;
    GetNearestSPD(p, x, n);
    utility::MatrixCopy(x, diff, n, n);
    MatrixSub(diff, p, n, n);
    return MatrixNorm(diff, n, n);
}

void GetNearestCorrelationMatrix(double* corr, const double* a, const i32* n, const double* weights,
                                 const double* tol, const i32* maxiter, const i32* cflag) {
    const i32 nn = *n;
    if (nn < 1) {
        report(-3, "Matrix order below 1 in GetNearestCorrelationMatrix");
        return;
    }
    const i64 sq = i64(nn) * nn;
    // The projection's eigen-decomposition changes a converged iterate by a few rounding units
    // per step (up to 16 at order 40): a tolerance below kRounding n eps is never met.
    const double t = std::max(tol && *tol > 0.0 ? *tol : 0.0, kRounding * nn * kEps);
    const i32 maxit = maxiter ? std::max(*maxiter, 1) : 100;
    const i32 kind = cflag ? std::max(*cflag, 0) : 0;
    // A NaN weight differs from -1 as well.
    const bool weighted =
        weights && !std::all_of(weights, weights + nn, [](double v) { return v == -1.0; });
    Work<double, kSquare> wh(sq);
    for (i64 j = 0; j < nn; ++j)
        for (i64 i = 0; i < nn; ++i)
            wh[j * nn + i] = weighted ? std::sqrt(weights[i] * weights[j]) : 1.0;
    if (!all_finite(a, sq) || !all_finite(wh.data(), sq)) {
        utility::IniMatrixwithZeros(corr, n, n);
        report(-3, "Matrix entry not finite or weights unusable in GetNearestCorrelationMatrix");
        return;
    }
    nearest_correlation(corr, a, n, wh.data(), t, maxit, kind);
}

}  // extern "C"
}  // namespace vorlen::math
