// One umat_resin increment of model 1 (Kaestner law, ntens 6, 22 state variables, blank
// material name, no fatigue) through its C entry in a C loop against one direct call of
// GetStressFromIsotropicViscoElasticity with the same constants. An increment is thirteen law
// evaluations (the stress and twelve for the central-difference tangent) plus the property
// lookup, the equivalent fatigue stress and the energy; the goal is at most 20 times the single
// law call. The strain varies per call, so nothing is hoisted out of the loop.
#include <benchmark/benchmark.h>

#include "core/materialdata.hpp"
#include "materials/elasticity_isotropic.hpp"
#include "solver/toplevel_resin.hpp"
#include "umat_point.hpp"

namespace {

using vorlen::i32;

// Sets A (233 K) and B (293.15 K): E, nu, num, Xt, np, gamma, Xc/Xt, Woehler pair; degr.
constexpr double kProps[21] = {3200, 0.35, 0.3, 80, 2,   0.5, 1.5, 1,    -0.1,   233, 3000,
                               0.40, 0.2,  60,  3,  0.7, 2.0, 1,   -0.1, 293.15, 0.8};
// The constants the routine derives from kProps at 293.15 K: E, gamma, nu, num, law 1.
constexpr double kLaw[8] = {3000, 0.7, 0.40, 0.2, 1, 0, 0, 0};

template <bool Library>
void UmatResin(benchmark::State& state) {
    vorlen::materialdata::modelid = 1;
    UmatPoint<22> p(kProps, 21, 0.1, 293.15);
    const i32 eight = 8;
    for (auto _ : state) {
        p.advance(1e-9);
        if constexpr (Library) {
            p.statev.fill(0.0);
            p.call(vorlen::toplevel::umat_resin);
        } else {
            for (int i = 0; i < 6; ++i) p.stran[i] += p.dstran[i];
            vorlen::elasticity::GetStressFromIsotropicViscoElasticity(
                p.stress.data(), p.stran.data(), kLaw, &p.ntens, &p.ndi, &eight);
        }
        benchmark::DoNotOptimize(p.stress.data());
        benchmark::DoNotOptimize(p.ddsdde.data());
        benchmark::ClobberMemory();
    }
}

BENCHMARK(UmatResin<true>);
BENCHMARK(UmatResin<false>);

}  // namespace
