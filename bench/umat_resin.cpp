// One umat_resin increment of model 1 (Kaestner law, ntens 6, 22 state variables, blank
// material name, no fatigue) through its C entry in a C loop against one direct call of
// GetStressFromIsotropicViscoElasticity with the same constants. An increment is thirteen law
// evaluations (the stress and twelve for the central-difference tangent) plus the property
// lookup, the equivalent fatigue stress and the energy; the goal is at most 20 times the single
// law call. The strain varies per call, so nothing is hoisted out of the loop.
#include <benchmark/benchmark.h>

#include <array>

#include "core/materialdata.hpp"
#include "materials/elasticity_isotropic.hpp"
#include "solver/toplevel_resin.hpp"

namespace {

using vorlen::i32;

// Sets A (233 K) and B (293.15 K): E, nu, num, Xt, np, gamma, Xc/Xt, Woehler pair; degr.
constexpr double kProps[21] = {3200, 0.35, 0.3, 80, 2, 0.5, 1.5, 1, -0.1, 233,
                               3000, 0.40, 0.2, 60, 3, 0.7, 2.0, 1, -0.1, 293.15, 0.8};
// The constants the routine derives from kProps at 293.15 K: E, gamma, nu, num, law 1.
constexpr double kLaw[8] = {3000, 0.7, 0.40, 0.2, 1, 0, 0, 0};

template <bool Library>
void UmatResin(benchmark::State& state) {
    vorlen::materialdata::modelid = 1;
    std::array<double, 6> stress{}, stran{}, dstran{}, ddsddt{}, drplde{};
    std::array<double, 22> statev{};
    std::array<double, 36> ddsdde{};
    double sse = 0, spd = 0, scd = 0, rpl = 0, drpldt = 0, pnewdt = 1, celent = 1;
    const double time[2] = {0, 0}, dtime = 0.1, temp = 293.15, dtemp = 0, predef = 0, dpred = 0;
    const double coords[3] = {}, drot[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
    const i32 ndi = 3, nshr = 3, ntens = 6, nstatv = 22, nprops = 21, eight = 8, one = 1;
    const i32 jstep[4] = {1, 0, 0, 0};
    char materl[80];
    for (char& ch : materl) ch = ' ';
    double t = 0.0;
    for (auto _ : state) {
        t += 1e-9;
        for (int i = 0; i < 6; ++i) stran[i] = 1e-4 * (i + 1) + t, dstran[i] = t * (6 - i);
        if constexpr (Library) {
            statev.fill(0.0);
            vorlen::toplevel::umat_resin(
                stress.data(), statev.data(), ddsdde.data(), &sse, &spd, &scd, &rpl,
                ddsddt.data(), drplde.data(), &drpldt, stran.data(), dstran.data(), time, &dtime,
                &temp, &dtemp, &predef, &dpred, materl, &ndi, &nshr, &ntens, &nstatv, kProps,
                &nprops, coords, drot, &pnewdt, &celent, drot, drot, &one, &one, &one, &one, jstep,
                &one);
        } else {
            for (int i = 0; i < 6; ++i) stran[i] += dstran[i];
            vorlen::elasticity::GetStressFromIsotropicViscoElasticity(stress.data(), stran.data(),
                                                                      kLaw, &ntens, &ndi, &eight);
        }
        benchmark::DoNotOptimize(stress.data());
        benchmark::DoNotOptimize(ddsdde.data());
        benchmark::ClobberMemory();
    }
}

BENCHMARK(UmatResin<true>);
BENCHMARK(UmatResin<false>);

}  // namespace
