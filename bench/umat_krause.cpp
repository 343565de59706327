// One umat_krause call (the law's update and its twelve perturbed evaluations) through its C
// entry in a C loop against thirteen direct calls of EndochroneViscoPlasticity with the
// central differences written by hand. The goal is at most 1.2 times the direct time. The
// strain varies per call and the state is reset each time, so nothing is hoisted.
#include <benchmark/benchmark.h>

#include "materials/resin.hpp"
#include "solver/toplevel_krause.hpp"
#include "umat_point.hpp"

namespace {

using vorlen::i32;
using vorlen::lgl;

constexpr double kProps[11] = {2000, 30, 0.35, 800, 40, 300, 250, 200, 150, 100, 50};

[[gnu::noinline]] void HandKrause(double* stress, double* statev, double* ddsdde,
                                  const double* stran, const double* dstran, const double* dtime) {
    const i32 nprops = 11, nstatv = 42;
    const lgl yes = 1, no = 0;
    const double zero = 0.0;
    vorlen::resin::EndochroneViscoPlasticity(stran, dstran, kProps, stress, statev, dtime, &nprops,
                                             &nstatv, &yes, &yes);
    for (int i = 0; i < 6; ++i) {
        double f[6], b[6], sf[6], sb[6];
        for (int k = 0; k < 6; ++k) f[k] = b[k] = dstran[k];
        f[i] += 1e-8;
        b[i] -= 1e-8;
        vorlen::resin::EndochroneViscoPlasticity(stran, f, kProps, sf, statev, &zero, &nprops,
                                                 &nstatv, &no, &yes);
        vorlen::resin::EndochroneViscoPlasticity(stran, b, kProps, sb, statev, &zero, &nprops,
                                                 &nstatv, &no, &yes);
        for (int k = 0; k < 6; ++k) ddsdde[6 * i + k] = (sf[k] - sb[k]) / 2e-8;
    }
}

template <bool Library>
void UmatKrause(benchmark::State& state) {
    UmatPoint<42> p(kProps, 11, 0.5, 293.0);
    for (auto _ : state) {
        p.advance(1e-7);
        p.statev.fill(1e-3);
        if constexpr (Library)
            p.call(vorlen::toplevel::umat_krause);
        else
            HandKrause(p.stress.data(), p.statev.data(), p.ddsdde.data(), p.stran.data(),
                       p.dstran.data(), &p.dtime);
        benchmark::DoNotOptimize(p.stress.data());
        benchmark::DoNotOptimize(p.ddsdde.data());
        benchmark::ClobberMemory();
    }
}

BENCHMARK(UmatKrause<true>);
BENCHMARK(UmatKrause<false>);

}  // namespace
