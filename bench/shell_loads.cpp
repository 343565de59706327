// ShellBMatrix of an 8-node shell and the distributed impact load sldcollection_dsload in a C
// loop against hand-written kernels of the same results (the quadrilateral's derivatives written
// out with the 2 x 2 inverse; the reflected normal, the load point's in-plane coordinates, the
// bookkeeping tests and the parabolic pressure in straight-line code): the goal is at most 2 times the hand-written
// time. The points vary per call, so nothing is hoisted out of the loop.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <cmath>

#include "core/jobdata.hpp"
#include "elements/elementhandling_shell.hpp"
#include "elements/sldcollection.hpp"

namespace {

using vorlen::i32;

constexpr double kPoints[4] = {-0.861136, -0.339981, 0.339981, 0.861136};

// A skewed, slightly distorted 8-node element, coordinates (3, 8).
std::array<double, 24> Element() {
    static constexpr double nat[8][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1},
                                         {0, -1},  {1, 0},  {0, 1}, {-1, 0}};
    std::array<double, 24> c{};
    for (int k = 0; k < 8; ++k) {
        c[3 * k] = 1.3 * nat[k][0] + 0.3 * nat[k][1] + 0.05 * nat[k][1] * nat[k][1];
        c[3 * k + 1] = 0.8 * nat[k][1] - 0.1 * nat[k][0];
    }
    return c;
}

[[gnu::noinline]] void HandBMatrix(double* b, const double* c, double x, double e) {
    const double xm = 1 - x, xp = 1 + x, em = 1 - e, ep = 1 + e, bx = 1 - x * x, be = 1 - e * e;
    const double n[8] = {xm * em * (-x - e - 1) / 4, xp * em * (x - e - 1) / 4,
                         xp * ep * (x + e - 1) / 4,  xm * ep * (-x + e - 1) / 4,
                         bx * em / 2, be * xp / 2, bx * ep / 2, be * xm / 2};
    const double dx[8] = {em * (2 * x + e) / 4, em * (2 * x - e) / 4, ep * (2 * x + e) / 4,
                          ep * (2 * x - e) / 4, -x * em, be / 2, -x * ep, -be / 2};
    const double de[8] = {xm * (2 * e + x) / 4, xp * (2 * e - x) / 4, xp * (2 * e + x) / 4,
                          xm * (2 * e - x) / 4, -bx / 2, -e * xp, bx / 2, -e * xm};
    double j11 = 0, j12 = 0, j21 = 0, j22 = 0;
    for (int k = 0; k < 8; ++k) {
        j11 += dx[k] * c[3 * k], j12 += dx[k] * c[3 * k + 1];
        j21 += de[k] * c[3 * k], j22 += de[k] * c[3 * k + 1];
    }
    const double det = j11 * j22 - j12 * j21;
    std::fill_n(b, 320, 0.0);
    for (int k = 0; k < 8; ++k) {
        const double nx = (j22 * dx[k] - j12 * de[k]) / det, ny = (-j21 * dx[k] + j11 * de[k]) / det;
        double* col = b + 40 * k;
        col[0] = nx, col[2] = ny;              // cu: rows 1, 3
        col[9] = ny, col[10] = nx;             // cv: rows 2, 3
        col[22] = ny, col[23] = nx;            // cw: rows 7, 8
        col[28] = -ny, col[29] = -nx, col[30] = -n[k];  // ctx: rows 5, 6, 7
        col[35] = nx, col[37] = ny, col[39] = n[k];     // cty: rows 4, 6, 8
    }
}

template <bool Library>
void BMatrix(benchmark::State& state) {
    const auto c = Element();
    std::array<double, 320> b{};
    const i32 eight = 8;
    int k = 0;
    for (auto _ : state) {
        const double x = kPoints[k & 3], e = kPoints[(k >> 2) & 3];
        ++k;
        if constexpr (Library) vorlen::elementhandling::ShellBMatrix(b.data(), c.data(), &eight, &x, &e);
        else HandBMatrix(b.data(), c.data(), x, e);
        benchmark::DoNotOptimize(b.data());
        benchmark::ClobberMemory();
    }
}

// One impactor of the parabolic shape whose record names another element as nearest, in an
// impact step; the load point walks over a grid in a tilted orthonormal plane.
struct Load {
    double cprops[20] = {5.0};
    double dprops[12] = {4, 1, 2, 0, 99, 1e-12, 1e-12, 0.5, 0.25, 0.5, 0.25, 0};
    double dircos[9] = {0.8, 0.0, 0.6, 0.0, 1.0, 0.0, -0.6, 0.0, 0.8};
    Load() {
        vorlen::jobdata::stepid.allocate({1});
        vorlen::jobdata::stepid(1) = 3;
    }
    ~Load() { vorlen::jobdata::stepid.release(); }
};

[[gnu::noinline]] void HandLoad(double& alpha, double* t, const double* x, const double* dc,
                                const double* cp, double* dp, const i32* steps, i32 kstep,
                                i32 noel) {
    const double *a = dc, *b = dc + 3, *n = dc + 6;
    for (int r = 0; r < 3; ++r) {
        const double v = 2 * (a[r] * a[0] + b[r] * b[0]) * n[0] +
                         2 * (a[r] * a[1] + b[r] * b[1]) * n[1] +
                         2 * (a[r] * a[2] + b[r] * b[2]) * n[2] - n[r];
        t[r] = std::abs(v) <= 1e-10 ? 0.0 : v;
    }
    alpha = 0.0;
    const i32 type = steps[kstep - 1];
    const double m[3] = {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2],
                         a[0] * b[1] - a[1] * b[0]};
    const double v[3] = {x[0] - dp[1], x[1] - dp[2], x[2] - dp[3]};
    const double f = (v[0] * m[0] + v[1] * m[1] + v[2] * m[2]) /
                     (m[0] * m[0] + m[1] * m[1] + m[2] * m[2]);
    const double q[3] = {v[0] - f * m[0], v[1] - f * m[1], v[2] - f * m[2]};
    const double r = q[0] * a[0] + q[1] * a[1] + q[2] * a[2];
    const double s = q[0] * b[0] + q[1] * b[1] + q[2] * b[2];
    const double d = std::sqrt(r * r + s * s);
    if (dp[5] >= d || (dp[4] == noel && (dp[5] == dp[6] || d >= dp[6]))) return;
    const double rl = dp[7] + dp[9], sl = dp[8] + dp[10];
    if (cp[0] != 0.0 && (type == 2 || type == 3) && dp[0] == 4.0 && rl > 0 && sl > 0 &&
        rl >= std::abs(r) && sl >= std::abs(s))
        alpha = 3 * cp[0] / (8 * rl * sl) * (1 - r * r / (rl * rl + rl * sl) - s * s / (sl * sl + rl * sl));
}

template <bool Library>
void Dsload(benchmark::State& state) {
    Load l;
    double alpha = 0.0, t[3];
    const i32 step = 1, one = 1, noel = 7;
    int k = 0;
    for (auto _ : state) {
        const double u = 0.2 * kPoints[k & 3], w = 0.1 * kPoints[(k >> 2) & 3];
        ++k;
        const double x[3] = {1 + 0.8 * u, 2 + w, 0.6 * u};
        if constexpr (Library)
            vorlen::sldcollection::sldcollection_dsload(&alpha, t, &step, x, l.dircos, l.cprops,
                                                        l.dprops, &one, &noel);
        else
            HandLoad(alpha, t, x, l.dircos, l.cprops, l.dprops, vorlen::jobdata::stepid.data, step,
                     noel);
        benchmark::DoNotOptimize(alpha);
        benchmark::DoNotOptimize(t);
        benchmark::ClobberMemory();
    }
}

BENCHMARK(BMatrix<true>);
BENCHMARK(BMatrix<false>);
BENCHMARK(Dsload<true>);
BENCHMARK(Dsload<false>);

}  // namespace
