// Effective three-dimensional stiffness of ply stacks: Voigt, Reuss, Chou, Sun and Henry.
#include "materials/laminate_effective.hpp"

#include <algorithm>

#include "base/errorhandling.hpp"
#include "core/math_linalg.hpp"
#include "core/math_products.hpp"
#include "base/work.hpp"

namespace vorlen::laminate {
namespace {

const i32 six = 6;

// sum(6,6) += v m(6,6), m scaled as MatrixAmplify scales it.
void add_scaled(double* sum, const double* m, double v) {
    double w[36];
    std::copy_n(m, 36, w);
    math::MatrixAmplify(w, &v, &six, &six);
    math::MatrixSum(sum, w, &six, &six);
}

// Entries (i, j) of the upper triangle that the Chou and Sun forms compute besides the shear.
constexpr int inplane[10][2] = {{1, 1}, {1, 2}, {1, 3}, {1, 6}, {2, 2},
                                {2, 3}, {2, 6}, {3, 3}, {3, 6}, {6, 6}};

// The layers of a stack: n >= 1 stiffnesses c(6, 6, n), volume ratios v(n) and
// S = sum of v_k/C_k(3,3).
struct Layers {
    i64 n;
    View<const double, 3> c;
    const double* v;
    double s = 0.0;
};

// Calls body(layers, out) with out(6,6) zeroed; with no layer records the message (code -3)
// and leaves out zero. out may be the stiffness of a single layer.
template <class Body>
void average(double* out, const double* volratios, const double* rotatedstiffnessmatrices,
             const i32* nvols, const char* message, Body body) {
    const i64 n = std::max<i32>(*nvols, 0);
    const Unaliased<double, 36> c(rotatedstiffnessmatrices, 36 * n, out, 36);
    std::fill_n(out, 36, 0.0);
    if (n < 1) {
        errorhandling::report(-3, message);
        return;
    }
    Layers l{n, View<const double, 3>(c.data(), 6, 6, n), volratios};
    for (i64 k = 1; k <= n; ++k) l.s += l.v[k - 1] / l.c(3, 3, k);
    body(l, out);
}

// The transverse shear entries F(4,4), F(4,5), F(5,5): with the layer determinants D_k = det(k),
// a_ij = sum of v_k C_k(i,j)/D_k, each a_ij divided by dbar(a44, a55, a45, a54).
template <class Det, class Dbar>
void shear_terms(Mat<double>& f, const Layers& l, Det det, Dbar dbar) {
    double a44 = 0.0, a55 = 0.0, a45 = 0.0, a54 = 0.0;
    for (i64 k = 1; k <= l.n; ++k) {
        const double vd = l.v[k - 1] / det(k);
        a44 += vd * l.c(4, 4, k);
        a55 += vd * l.c(5, 5, k);
        a45 += vd * l.c(4, 5, k);
        a54 += vd * l.c(5, 4, k);
    }
    const double db = dbar(a44, a55, a45, a54);
    f(4, 4) = a44 / db;
    f(4, 5) = a45 / db;
    f(5, 5) = a55 / db;
}

// out(6,6) = f + f^t - diag(f) of the upper-triangle work matrix f.
void symmetric_from_upper(const Mat<double>& f, double* out) {
    Mat<double> r(out, 6, 6);
    for (int j = 1; j <= 6; ++j)
        for (int i = 1; i <= 6; ++i) r(i, j) = i == j ? f(i, i) : f(i, j) + f(j, i);
}

// Solves k(3,3) x = b(3, m) in place of b by elimination of unknowns 1, 2, 3 in this order,
// without pivot search.
void solve3(const double* k, double* b, int m) {
    double a[9];
    std::copy_n(k, 9, a);
    Mat<double> am(a, 3, 3), x(b, 3, m);
    for (int c = 1; c <= 2; ++c)
        for (int r = c + 1; r <= 3; ++r) {
            const double f = am(r, c) / am(c, c);
            for (int j = c; j <= 3; ++j) am(r, j) -= f * am(c, j);
            for (int j = 1; j <= m; ++j) x(r, j) -= f * x(c, j);
        }
    for (int r = 3; r >= 1; --r)
        for (int j = 1; j <= m; ++j) {
            double s = x(r, j);
            for (int l = r + 1; l <= 3; ++l) s -= am(r, l) * x(l, j);
            x(r, j) = s / am(r, r);
        }
}

// The Chou and Sun forms: fill(layers, f) computes the upper-triangle work matrix F, which
// gives the result out(6,6) = F + F^t - diag(F).
template <class Fill>
void layered(double* out, const double* volratios, const double* rotatedstiffnessmatrices,
             const i32* nvols, const char* message, Fill fill) {
    average(out, volratios, rotatedstiffnessmatrices, nvols, message,
            [&](const Layers& l, double* result) {
                double fbuf[36] = {};
                Mat<double> f(fbuf, 6, 6);
                fill(l, f);
                symmetric_from_upper(f, result);
            });
}

// The Henry form over the layers, into out(6,6).
void henry(const Layers& l, double* out) {
    const i64 n = l.n;
    const View<const double, 3>& c = l.c;
    static constexpr int o[3] = {3, 4, 5}, p[3] = {1, 2, 6};  // out-of-plane, in-plane
    // Volume sums of K^-1, -K^-1 C(o,p), C(p,p) - C(p,o) K^-1 C(o,p) and C(p,o) K^-1.
    double hs[9] = {}, he[9] = {}, ge[9] = {}, gs[9] = {};
    for (i64 k = 1; k <= n; ++k) {
        const double vk = l.v[k - 1];
        double kk[9], x[18];  // x = [I, -C(o,p)] on entry, [K^-1, -K^-1 C(o,p)] on exit
        for (int j = 0; j < 3; ++j)
            for (int i = 0; i < 3; ++i) {
                kk[i + 3 * j] = c(o[i], o[j], k);
                x[i + 3 * j] = i == j ? 1.0 : 0.0;
                x[9 + i + 3 * j] = -c(o[i], p[j], k);
            }
        solve3(kk, x, 6);
        for (int j = 0; j < 3; ++j)
            for (int i = 0; i < 3; ++i) {
                double cpom = 0.0, cpok = 0.0;
                for (int m = 0; m < 3; ++m) {
                    cpom += c(p[i], o[m], k) * x[9 + m + 3 * j];
                    cpok += c(p[i], o[m], k) * x[m + 3 * j];
                }
                hs[i + 3 * j] += vk * x[i + 3 * j];
                he[i + 3 * j] += vk * x[9 + i + 3 * j];
                ge[i + 3 * j] += vk * (c(p[i], p[j], k) + cpom);
                gs[i + 3 * j] += vk * cpok;
            }
    }
    double y[18];  // [I, -He] on entry, [Cbar(o,o), Cbar(o,p)] on exit
    for (int i = 0; i < 9; ++i) y[i] = i % 4 == 0 ? 1.0 : 0.0, y[9 + i] = -he[i];
    solve3(hs, y, 6);
    Mat<double> r(out, 6, 6);
    for (int j = 0; j < 3; ++j)
        for (int i = 0; i < 3; ++i) {
            double pp = ge[i + 3 * j], po = 0.0;
            for (int m = 0; m < 3; ++m) {
                pp += gs[i + 3 * m] * y[9 + m + 3 * j];
                po += gs[i + 3 * m] * y[m + 3 * j];
            }
            r(o[i], o[j]) = y[i + 3 * j];
            r(o[i], p[j]) = y[9 + i + 3 * j];
            r(p[i], p[j]) = pp;
            r(p[i], o[j]) = po;
        }
}

}  // namespace

extern "C" {

void GetVoigtEffectiveStiffness(double* cvoigt, const double* volratios,
                                const double* rotatedstiffnessmatrices, const i32* nvols) {
    average(cvoigt, volratios, rotatedstiffnessmatrices, nvols,
            "Error: No layers given to GetVoigtEffectiveStiffness.",
            [](const Layers& l, double* out) {
                for (i64 k = 1; k <= l.n; ++k) add_scaled(out, &l.c(1, 1, k), l.v[k - 1]);
            });
}

void GetReussEffectiveStiffness(double* creuss, const double* volratios,
                                const double* rotatedstiffnessmatrices, const i32* nvols) {
    average(creuss, volratios, rotatedstiffnessmatrices, nvols,
            "Error: No layers given to GetReussEffectiveStiffness.",
            [](const Layers& l, double* out) {
                double sum[36] = {};
                for (i64 k = 1; k <= l.n; ++k) {
                    double inv[36];
                    math::MatrixInverse(&l.c(1, 1, k), inv, &six);
                    add_scaled(sum, inv, l.v[k - 1]);
                }
                math::MatrixInverse(sum, out, &six);
            });
}

void GetChouEffectiveStiffness(double* chou, const double* volratios,
                               const double* rotatedstiffnessmatrices, const i32* nvols) {
    layered(
        chou, volratios, rotatedstiffnessmatrices, nvols,
        "Error: No layers given to GetChouEffectiveStiffness.",
        [](const Layers& l, Mat<double>& f) {
            for (const auto& e : inplane) {
                const int i = e[0], j = e[1];
                double w = 0.0, wc = 0.0, ai = 0.0, aj = 0.0;
                for (i64 k = 1; k <= l.n; ++k) {
                    const double v = l.v[k - 1], c33 = l.c(3, 3, k);
                    w += v * l.c(i, j, k);
                    wc += v * l.c(i, 3, k) * l.c(3, j, k) / c33;
                    ai += v * l.c(i, 3, k) / c33;
                    aj += v * l.c(3, j, k) / c33;
                }
                f(i, j) = w - wc + ai * aj / l.s;
            }
            shear_terms(
                f, l,
                [&](i64 k) {
                    const double blk[4] = {l.c(4, 4, k), l.c(5, 4, k), l.c(4, 5, k), l.c(5, 5, k)};
                    const i32 two = 2;
                    double det;
                    math::LUFactDeterminant(&det, blk, &two);
                    return det;
                },
                [](double a44, double a55, double a45, double a54) {
                    return a55 * a44 - a54 * a45;
                });
        });
}

void GetSunEffectiveStiffness(double* csun, const double* volratios,
                              const double* rotatedstiffnessmatrices, const i32* nvols) {
    layered(
        csun, volratios, rotatedstiffnessmatrices, nvols,
        "Error: No layers given to GetSunEffectiveStiffness.", [](const Layers& l, Mat<double>& f) {
            const auto w = [&](int i, int j) {
                double sum = 0.0;
                for (i64 k = 1; k <= l.n; ++k) sum += l.v[k - 1] * l.c(i, j, k);
                return sum;
            };
            // Sum over layers 2..n of (C_k(a) - x) v_k (C_1(b) - C_k(b))/C_k(3,3).
            const auto d = [&](int a1, int a2, double x, int b1, int b2) {
                double sum = 0.0;
                for (i64 k = 2; k <= l.n; ++k)
                    sum += (l.c(a1, a2, k) - x) * l.v[k - 1] * (l.c(b1, b2, 1) - l.c(b1, b2, k)) /
                           l.c(3, 3, k);
                return sum;
            };
            f(3, 3) = 1.0 / l.s;
            f(1, 3) = w(1, 3) + d(3, 3, f(3, 3), 1, 3);
            f(2, 3) = w(2, 3) + d(3, 3, f(3, 3), 2, 3);
            f(3, 6) = w(3, 6) + d(3, 3, f(3, 3), 3, 6);
            f(1, 1) = w(1, 1) + d(1, 3, f(1, 3), 1, 3);
            f(1, 2) = w(1, 2) + d(1, 3, f(1, 3), 2, 3);
            f(1, 6) = w(1, 6) + d(1, 3, f(1, 3), 3, 6);
            f(2, 2) = w(2, 2) + d(2, 3, f(2, 3), 2, 3);
            f(2, 6) = w(2, 6) + d(2, 3, f(2, 3), 3, 6);
            f(6, 6) = w(6, 6) + d(3, 6, f(3, 6), 3, 6);
            shear_terms(
                f, l,
                [&](i64 k) { return l.c(4, 4, k) * l.c(5, 5, k) - l.c(4, 5, k) * l.c(4, 5, k); },
                [](double a44, double a55, double a45, double) { return a44 * a55 - a45 * a45; });
        });
}

void GetHenryEffectiveStiffness(double* chenry, const double* volratios,
                                const double* rotatedstiffnessmatrices, const i32* nvols) {
    average(chenry, volratios, rotatedstiffnessmatrices, nvols,
            "Error: No layers given to GetHenryEffectiveStiffness.", henry);
}

}  // extern "C"
}  // namespace vorlen::laminate
