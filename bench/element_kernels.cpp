// The shape-function matrices and GetElemOutputFrom3D in a C loop against hand-written kernels
// of the same results (each entry written out, the reductions as direct selections and a
// plane-stress condensation over one LU factorisation): the goal is at most 2 times the
// hand-written time. The points vary per call, so nothing is hoisted out of the loop.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <iterator>
#include <cstring>

#include "core/lapack.hpp"
#include "elements/elementhandling_conversions.hpp"
#include "elements/elementhandling_shape.hpp"

namespace {

using vorlen::i32;
using vorlen::lgl;

// Points of a 4 x 4 Gauss-like grid, walked through call by call.
constexpr double kPoints[4] = {-0.861136, -0.339981, 0.339981, 0.861136};

[[gnu::noinline]] void HandQuad8(double* m, double x, double e) {
    const double xm = 1 - x, xp = 1 + x, em = 1 - e, ep = 1 + e, bx = 1 - x * x, be = 1 - e * e;
    const double v[48] = {
        xm * em * (-x - e - 1) / 4, xp * em * (x - e - 1) / 4, xp * ep * (x + e - 1) / 4,
        xm * ep * (-x + e - 1) / 4, bx * em / 2, be * xp / 2, bx * ep / 2, be * xm / 2,
        em * (2 * x + e) / 4, em * (2 * x - e) / 4, ep * (2 * x + e) / 4, ep * (2 * x - e) / 4,
        -x * em, be / 2, -x * ep, -be / 2,
        xm * (2 * e + x) / 4, xp * (2 * e - x) / 4, xp * (2 * e + x) / 4, xm * (2 * e - x) / 4,
        -bx / 2, -e * xp, bx / 2, -e * xm,
        em / 2, em / 2, ep / 2, ep / 2, -em, 0, -ep, 0,
        xm / 2, xp / 2, xp / 2, xm / 2, 0, -xp, 0, -xm,
        .25 - .5 * x - .5 * e, -.25 - .5 * x + .5 * e, .25 + .5 * x + .5 * e,
        -.25 + .5 * x - .5 * e, x, -e, -x, e};
    std::copy(std::begin(v), std::end(v), m);
}

[[gnu::noinline]] void HandTria6(double* m, double x, double e) {
    const double l = 1 - x - e;
    const double v[36] = {l * (2 * l - 1), x * (2 * x - 1), e * (2 * e - 1), 4 * x * l, 4 * x * e,
                          4 * e * l,
                          4 * x + 4 * e - 3, 4 * x - 1, 0, 4 - 8 * x - 4 * e, 4 * e, -4 * e,
                          4 * x + 4 * e - 3, 0, 4 * e - 1, -4 * x, 4 * x, 4 - 4 * x - 8 * e,
                          4, 4, 0, -8, 0, 0,
                          4, 0, 4, 0, 0, -8,
                          4, 0, 0, -4, 4, -4};
    std::copy(std::begin(v), std::end(v), m);
}

[[gnu::noinline]] void HandQuad4(double* m, double x, double e) {
    const double xm = 1 - x, xp = 1 + x, em = 1 - e, ep = 1 + e;
    const double v[12] = {xm * em / 4, xp * em / 4, xp * ep / 4, xm * ep / 4,
                          -em / 4,     em / 4,      ep / 4,      -ep / 4,
                          -xm / 4,     -xp / 4,     xp / 4,      xm / 4};
    std::copy(std::begin(v), std::end(v), m);
}

[[gnu::noinline]] void HandHex8(double* m, double x, double e, double z) {
    static constexpr double sx[8] = {-1, 1, 1, -1, -1, 1, 1, -1};
    static constexpr double se[8] = {-1, -1, 1, 1, -1, -1, 1, 1};
    static constexpr double sz[8] = {-1, -1, -1, -1, 1, 1, 1, 1};
    for (int i = 0; i < 8; ++i) {
        const double fx = 1 + x * sx[i], fe = 1 + e * se[i], fz = 1 + z * sz[i];
        m[i] = fx * fe * fz / 8;
        m[i + 8] = sx[i] * fe * fz / 8;
        m[i + 16] = se[i] * fx * fz / 8;
        m[i + 24] = sz[i] * fx * fe / 8;
        m[i + 32] = m[i + 40] = m[i + 48] = 0;
        m[i + 56] = sx[i] * se[i] * fz / 8;
        m[i + 64] = sx[i] * sz[i] * fe / 8;
    }
}

template <class F>
void Loop2(benchmark::State& state, F f, int rows, int cols) {
    std::array<double, 72> m{};
    int k = 0;
    for (auto _ : state) {
        const double x = kPoints[k & 3], e = kPoints[(k >> 2) & 3];
        ++k;
        f(m.data(), x, e);
        benchmark::DoNotOptimize(m.data());
        benchmark::ClobberMemory();
    }
    (void)rows, (void)cols;
}

void LibraryQuad8(benchmark::State& s) {
    Loop2(s, [](double* m, double x, double e) { vorlen::elementhandling::Quad8ShapeFunMatrix(m, &x, &e); }, 8, 6);
}
void HandWrittenQuad8(benchmark::State& s) {
    Loop2(s, [](double* m, double x, double e) { HandQuad8(m, x, e); }, 8, 6); }
void LibraryTria6(benchmark::State& s) {
    Loop2(s, [](double* m, double x, double e) { vorlen::elementhandling::Tria6ShapeFunMatrix(m, &x, &e); }, 6, 6);
}
void HandWrittenTria6(benchmark::State& s) {
    Loop2(s, [](double* m, double x, double e) { HandTria6(m, x, e); }, 6, 6); }
void LibraryQuad4(benchmark::State& s) {
    Loop2(s, [](double* m, double x, double e) { vorlen::elementhandling::Quad4ShapeFunMatrix(m, &x, &e); }, 4, 3);
}
void HandWrittenQuad4(benchmark::State& s) {
    Loop2(s, [](double* m, double x, double e) { HandQuad4(m, x, e); }, 4, 3); }
void LibraryHex8(benchmark::State& s) {
    Loop2(s, [](double* m, double x, double e) {
        const double z = -e;
        vorlen::elementhandling::Hex8ShapeFunMatrix(m, &x, &e, &z);
    }, 8, 9);
}
void HandWrittenHex8(benchmark::State& s) {
    Loop2(s, [](double* m, double x, double e) { HandHex8(m, x, e, -e); }, 8, 9);
}

// An orthotropic ply tangent with a small 12-13 coupling and a stress that changes per call.
std::array<double, 36> Tangent() {
    std::array<double, 36> c{};
    const double d[6] = {140e3, 10e3, 10e3, 5e3, 5e3, 3.5e3};
    for (int i = 0; i < 6; ++i) c[i + 6 * i] = d[i];
    c[1] = c[6] = 3e3, c[2] = c[12] = 3e3, c[8] = c[13] = 4e3, c[3 + 6 * 4] = c[4 + 6 * 3] = 50;
    return c;
}

// Hand-written reductions: direct selections and the condensation of the 33 stress with
// e = C^-1 s from one LU factorisation and solve.
[[gnu::noinline]] void HandOutput(double* se, double* te, const double* s, const double* c, int n) {
    static constexpr int axial[4] = {0, 2, 1, 4}, ps[3] = {0, 1, 3};
    if (n == 6) {
        std::memcpy(se, s, 6 * sizeof(double));
        std::memcpy(te, c, 36 * sizeof(double));
    } else if (n == 4) {
        for (int j = 0; j < 4; ++j) {
            se[j] = s[axial[j]];
            for (int i = 0; i < 4; ++i) te[i + 4 * j] = c[axial[i] + 6 * axial[j]];
        }
    } else {
        double lu[36], e[6];
        std::memcpy(lu, c, sizeof lu);
        std::memcpy(e, s, sizeof e);
        const i32 six = 6, one = 1;
        i32 ipiv[6], info;
        dgetrf_(&six, &six, lu, &six, ipiv, &info);
        dgetrs_("N", &six, &one, lu, &six, ipiv, e, &six, &info, 1);
        for (int j = 0; j < 3; ++j)
            for (int i = 0; i < 3; ++i)
                te[i + 3 * j] = c[ps[i] + 6 * ps[j]] - c[ps[i] + 12] * c[2 + 6 * ps[j]] / c[14];
        for (int i = 0; i < 3; ++i)
            se[i] = te[i] * e[0] + te[i + 3] * e[1] + te[i + 6] * e[3];
    }
}

template <bool Library>
void Output(benchmark::State& state) {
    const i32 n = static_cast<i32>(state.range(0));
    const auto c = Tangent();
    std::array<double, 6> s{100, 20, 5, 30, 2, 1};
    std::array<double, 36> se{}, te{};
    const lgl axial = 1;
    for (auto _ : state) {
        s[0] += 1.0;
        if constexpr (Library)
            vorlen::elementhandling::GetElemOutputFrom3D(se.data(), te.data(), s.data(), c.data(),
                                                         &n, &axial);
        else
            HandOutput(se.data(), te.data(), s.data(), c.data(), n);
        benchmark::DoNotOptimize(se.data());
        benchmark::DoNotOptimize(te.data());
        benchmark::ClobberMemory();
    }
}

BENCHMARK(LibraryQuad8);
BENCHMARK(HandWrittenQuad8);
BENCHMARK(LibraryTria6);
BENCHMARK(HandWrittenTria6);
BENCHMARK(LibraryQuad4);
BENCHMARK(HandWrittenQuad4);
BENCHMARK(LibraryHex8);
BENCHMARK(HandWrittenHex8);
BENCHMARK(Output<true>)->Arg(3)->Arg(4)->Arg(6);
BENCHMARK(Output<false>)->Arg(3)->Arg(4)->Arg(6);

}  // namespace
