// GetFdF8 against a straight-line kernel of the expanded closed forms (every term written out,
// bench/dg8_expanded.hpp) plus the contact grid as the algorithm states it: nk 10 on a 10 by 6
// ellipse whose deflection dips into the base near the ends of the long axis. The goal is at
// most 2 times the kernel.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <cmath>

#include "delamination/dg8.hpp"
#include "dg8_expanded.hpp"

namespace {

using vorlen::i32;
using vorlen::lgl;

struct Case {
    std::array<double, 8> vec{0.01, -0.004, 0.006, 0.002, 0.2, -0.3, 0.05, 0.02};
    std::array<double, 3> eps{-2e-3, -4e-4, 1e-4};
    std::array<double, 36> abd{};
    double g0 = 1.5, eb = 1e-3, a = 10.0, b = 6.0, kmd = 1e4;
    i32 nk = 10;
    lgl w = 0;
    Case() {
        const double q[9] = {1.5e4, 4.6e3, 200.0, 4.6e3, 1.2e4, -150.0, 200.0, -150.0, 5.4e3};
        for (int j = 0; j < 3; ++j)
            for (int i = 0; i < 3; ++i) {
                abd[i + 6 * j] = 0.2 * q[i + 3 * j];
                abd[i + 6 * (j + 3)] = abd[(i + 3) + 6 * j] = 0.01 * q[i + 3 * j];
                abd[(i + 3) + 6 * (j + 3)] = 0.2 * 0.2 * 0.2 / 12 * q[i + 3 * j];
            }
    }
};

// The contact grid as stated: cell centres stepped by h, active where m < 0 inside the ellipse.
void grid(double* fp, double* dfp, const Case& c) {
    const double h = std::min(c.a, c.b) / c.nk;
    double km[16] = {}, kv[4] = {};
    for (double x = -c.a + h / 2; x < c.a; x += h)
        for (double y = -c.b + h / 2; y < c.b; y += h) {
            const double xx = x * x / (c.a * c.a), yy = y * y / (c.b * c.b), xy = x * y / (c.a * c.b);
            const double m = c.vec[4] + c.vec[5] * xx + c.vec[6] * yy + c.vec[7] * xy;
            if (m < 0.0 && 1.0 - xx - yy > 0.0) {
                const double s = h * h * c.kmd * std::pow(1.0 - xx - yy, 4.0);
                const double phi[4] = {1.0, xx, yy, xy};
                for (int j = 0; j < 4; ++j) {
                    kv[j] += s * m * phi[j];
                    for (int i = 0; i < 4; ++i) km[i + 4 * j] += s * phi[i] * phi[j];
                }
            }
        }
    for (int i = 0; i < 4; ++i) {
        fp[4 + i] += kv[i];
        for (int j = 0; j < 4; ++j) dfp[(4 + j) + 8 * (4 + i)] += km[i + 4 * j];
    }
}

void LibraryGetFdF8(benchmark::State& state) {
    Case c;
    double fp[8], dfp[64];
    for (auto _ : state) {
        vorlen::dg8::GetFdF8(fp, dfp, c.vec.data(), c.eps.data(), &c.g0, &c.eb, &c.a, &c.b, &c.kmd,
                             c.abd.data(), &c.nk, &c.w);
        benchmark::DoNotOptimize(fp);
        benchmark::DoNotOptimize(dfp);
        benchmark::ClobberMemory();
    }
}

void ExpandedKernelWithGrid(benchmark::State& state) {
    Case c;
    double fp[8], dfp[64];
    for (auto _ : state) {
        dg8_expanded::fdf(fp, dfp, c.vec.data(), c.eps.data(), c.a, c.b, c.abd.data());
        fp[4] -= 3.141592653589793 * c.a * c.b * c.eb * c.eb * c.g0 / 10.0;
        grid(fp, dfp, c);
        benchmark::DoNotOptimize(fp);
        benchmark::DoNotOptimize(dfp);
        benchmark::ClobberMemory();
    }
}

// The closed forms alone: GetF8 and GetdF8 against the expanded kernel.
void LibraryClosedForms(benchmark::State& state) {
    Case c;
    double fp[8], dfp[64];
    for (auto _ : state) {
        vorlen::dg8::GetF8(fp, c.vec.data(), c.eps.data(), &c.g0, &c.eb, &c.a, &c.b, c.abd.data(),
                           &c.w);
        vorlen::dg8::GetdF8(dfp, c.vec.data(), c.eps.data(), &c.g0, &c.a, &c.b, c.abd.data(),
                            &c.w);
        benchmark::DoNotOptimize(fp);
        benchmark::DoNotOptimize(dfp);
        benchmark::ClobberMemory();
    }
}

void ExpandedKernel(benchmark::State& state) {
    Case c;
    double fp[8], dfp[64];
    for (auto _ : state) {
        dg8_expanded::fdf(fp, dfp, c.vec.data(), c.eps.data(), c.a, c.b, c.abd.data());
        benchmark::DoNotOptimize(fp);
        benchmark::DoNotOptimize(dfp);
        benchmark::ClobberMemory();
    }
}

BENCHMARK(LibraryGetFdF8);
BENCHMARK(ExpandedKernelWithGrid);
BENCHMARK(LibraryClosedForms);
BENCHMARK(ExpandedKernel);

}  // namespace
