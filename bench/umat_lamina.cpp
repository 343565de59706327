// One umat_lamina call (ntens 6, nine constants, ten state variables) through its C entry in a
// C loop against a hand-written kernel of the same arithmetic: the orthotropic stiffness from
// the constants, the secant stress, the energy and the copy of the stress into the state. The
// goal is at most 2 times the hand-written time. The strain varies per call, so nothing is
// hoisted out of the loop.
#include <benchmark/benchmark.h>

#include <array>

#include "solver/toplevel_lamina.hpp"

namespace {

using vorlen::i32;

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
    std::array<double, 6> stress{}, stran{}, dstran{}, ddsddt{}, drplde{};
    std::array<double, 10> statev{};
    std::array<double, 36> ddsdde{};
    double sse = 0, spd = 0, scd = 0, rpl = 0, drpldt = 0, pnewdt = 1, celent = 1;
    const double time[2] = {0, 0}, dtime = 1, temp = 0, dtemp = 0, predef = 0, dpred = 0;
    const double coords[3] = {}, drot[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
    const i32 ndi = 3, nshr = 3, ntens = 6, nstatv = 10, nprops = 9, one = 1;
    const i32 jstep[4] = {1, 0, 0, 0};
    char materl[80];
    for (char& ch : materl) ch = ' ';
    double t = 0.0;
    for (auto _ : state) {
        t += 1e-7;
        for (int i = 0; i < 6; ++i) stran[i] = 1e-4 * (i + 1) + t, dstran[i] = t * (6 - i);
        if constexpr (Library)
            vorlen::toplevel::umat_lamina(
                stress.data(), statev.data(), ddsdde.data(), &sse, &spd, &scd, &rpl, ddsddt.data(),
                drplde.data(), &drpldt, stran.data(), dstran.data(), time, &dtime, &temp, &dtemp,
                &predef, &dpred, materl, &ndi, &nshr, &ntens, &nstatv, kProps, &nprops, coords,
                drot, &pnewdt, &celent, drot, drot, &one, &one, &one, &one, jstep, &one);
        else
            HandUmat(stress.data(), statev.data(), ddsdde.data(), &sse, stran.data(), dstran.data(),
                     kProps);
        benchmark::DoNotOptimize(stress.data());
        benchmark::DoNotOptimize(sse);
        benchmark::ClobberMemory();
    }
}

BENCHMARK(UmatLamina<true>);
BENCHMARK(UmatLamina<false>);

}  // namespace
