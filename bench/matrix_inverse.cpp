// MatrixInverse against calling dgetrf and dgetri directly with a ready workspace, in one run:
// the library's copy, checks and error policy should cost little over the LAPACK calls.
#include <benchmark/benchmark.h>

#include <array>

#include "core/lapack.hpp"
#include "core/math_linalg.hpp"

namespace {

using vorlen::i32;

// A well-conditioned orthotropic-like stiffness of order N, column-major.
template <int N>
std::array<double, N * N> stiffness() {
    std::array<double, N * N> a{};
    for (int j = 0; j < N; ++j)
        for (int i = 0; i < N; ++i) a[i + j * N] = 1.0 / (1.0 + i + j) + (i == j ? N : 0.0);
    return a;
}

template <int N>
void LibraryMatrixInverse(benchmark::State& state) {
    const auto a = stiffness<N>();
    std::array<double, N * N> ainv;
    const i32 n = N;
    for (auto _ : state) {
        vorlen::math::MatrixInverse(a.data(), ainv.data(), &n);
        benchmark::DoNotOptimize(ainv.data());
        benchmark::ClobberMemory();
    }
}

template <int N>
void DirectLapack(benchmark::State& state) {
    const auto a = stiffness<N>();
    std::array<double, N * N> w;
    std::array<i32, N> ipiv;
    std::array<double, N> work;
    const i32 n = N;
    i32 info = 0;
    for (auto _ : state) {
        w = a;
        dgetrf_(&n, &n, w.data(), &n, ipiv.data(), &info);
        dgetri_(&n, w.data(), &n, ipiv.data(), work.data(), &n, &info);
        benchmark::DoNotOptimize(w.data());
        benchmark::ClobberMemory();
    }
}

BENCHMARK(LibraryMatrixInverse<6>);
BENCHMARK(DirectLapack<6>);
BENCHMARK(LibraryMatrixInverse<3>);
BENCHMARK(DirectLapack<3>);

}  // namespace
