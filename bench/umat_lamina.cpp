// One umat_lamina call (ntens 6, nine constants, ten state variables) through its C entry in a
// C loop against a hand-written kernel of the same arithmetic: the orthotropic stiffness from
// the constants, the secant stress, the energy and the copy of the stress into the state. The
// goal is at most 2 times the hand-written time. The strain varies per call, so nothing is
// hoisted out of the loop.
#include <benchmark/benchmark.h>

#include "solver/toplevel_lamina.hpp"
#include "umat_point.hpp"

namespace {

constexpr double kProps[9] = {140e3, 10e3, 9e3, 0.3, 0.28, 0.45, 5e3, 4.8e3, 3.5e3};

[[gnu::noinline]] void HandUmat(double* stress, double* statev, double* ddsdde, double* sse,
                                const double* stran, const double* dstran, const double* p) {
    const double e1 = p[0], e2 = p[1], e3 = p[2], nu12 = p[3], nu13 = p[4], nu23 = p[5];
    const double nu21 = nu12 * e2 / e1, nu31 = nu13 * e3 / e1, nu32 = nu23 * e3 / e2;
    const double delta = (1 - nu12 * nu21 - nu23 * nu32 - nu13 * nu31 - 2 * nu21 * nu32 * nu13);
    double c[36] = {};
    c[0] = e1 * (1 - nu23 * nu32) / delta;
    c[7] = e2 * (1 - nu13 * nu31) / delta;
    c[14] = e3 * (1 - nu12 * nu21) / delta;
    c[6] = c[1] = e1 * (nu21 + nu31 * nu23) / delta;
    c[12] = c[2] = e1 * (nu31 + nu21 * nu32) / delta;
    c[13] = c[8] = e2 * (nu32 + nu12 * nu31) / delta;
    c[21] = p[6], c[28] = p[7], c[35] = p[8];
    double e[6];
    for (int i = 0; i < 6; ++i) e[i] = stran[i] + dstran[i];
    double w = 0.0;
    for (int i = 0; i < 6; ++i) {
        double s = 0.0;
        for (int j = 0; j < 6; ++j) s += c[i + 6 * j] * e[j];
        stress[i] = s;
        w += s * e[i];
    }
    *sse = 0.5 * w;
    for (int i = 0; i < 36; ++i) ddsdde[i] = c[i];
    for (int i = 0; i < 6; ++i) statev[i] = stress[i];
}

template <bool Library>
void UmatLamina(benchmark::State& state) {
    UmatPoint<10> p(kProps, 9, 1.0, 0.0);
    for (auto _ : state) {
        p.advance(1e-7);
        if constexpr (Library)
            p.call(vorlen::toplevel::umat_lamina);
        else
            HandUmat(p.stress.data(), p.statev.data(), p.ddsdde.data(), &p.sse, p.stran.data(),
                     p.dstran.data(), kProps);
        benchmark::DoNotOptimize(p.stress.data());
        benchmark::DoNotOptimize(p.sse);
        benchmark::ClobberMemory();
    }
}

BENCHMARK(UmatLamina<true>);
BENCHMARK(UmatLamina<false>);

}  // namespace
