// One umat_krause call (the law's update and its twelve perturbed evaluations) through its C
// entry in a C loop against thirteen direct calls of EndochroneViscoPlasticity with the
// central differences written by hand. The goal is at most 1.2 times the direct time. The
// strain varies per call and the state is reset each time, so nothing is hoisted.
#include <benchmark/benchmark.h>

#include <array>

#include "materials/resin.hpp"
#include "solver/toplevel_krause.hpp"

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
    std::array<double, 6> stress{}, stran{}, dstran{}, ddsddt{}, drplde{};
    std::array<double, 42> statev{};
    std::array<double, 36> ddsdde{};
    double sse = 0, spd = 0, scd = 0, rpl = 0, drpldt = 0, pnewdt = 1, celent = 1;
    const double time[2] = {0, 0}, dtime = 0.5, temp = 293, dtemp = 0, predef = 0, dpred = 0;
    const double coords[3] = {}, drot[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
    const i32 ndi = 3, nshr = 3, ntens = 6, nstatv = 42, nprops = 11, one = 1;
    const i32 jstep[4] = {1, 0, 0, 0};
    char materl[80];
    for (char& ch : materl) ch = ' ';
    double t = 0.0;
    for (auto _ : state) {
        t += 1e-7;
        for (int i = 0; i < 6; ++i) stran[i] = 1e-4 * (i + 1) + t, dstran[i] = t * (6 - i);
        statev.fill(1e-3);
        if constexpr (Library)
            vorlen::toplevel::umat_krause(
                stress.data(), statev.data(), ddsdde.data(), &sse, &spd, &scd, &rpl, ddsddt.data(),
                drplde.data(), &drpldt, stran.data(), dstran.data(), time, &dtime, &temp, &dtemp,
                &predef, &dpred, materl, &ndi, &nshr, &ntens, &nstatv, kProps, &nprops, coords,
                drot, &pnewdt, &celent, drot, drot, &one, &one, &one, &one, jstep, &one);
        else
            HandKrause(stress.data(), statev.data(), ddsdde.data(), stran.data(), dstran.data(),
                       &dtime);
        benchmark::DoNotOptimize(stress.data());
        benchmark::DoNotOptimize(ddsdde.data());
        benchmark::ClobberMemory();
    }
}

BENCHMARK(UmatKrause<true>);
BENCHMARK(UmatKrause<false>);

}  // namespace
