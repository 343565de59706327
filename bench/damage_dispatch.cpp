// MatrixCracking over the plies of a laminate (mcflag 2, as the damage field routine calls it per
// integration point) against a loop calling MCrckHashin3D directly with the same strengths, in
// one run: the dispatch (checks, the ply's row, the parameter list up to its sentinel) should
// cost little over the criterion. Goal: at most 1.2 times the direct loop.
#include <benchmark/benchmark.h>

#include <limits>
#include <vector>

#include "failure/damage_dispatch.hpp"
#include "failure/mccollection.hpp"

namespace {

using vorlen::i32;

constexpr i32 nlayer = 64, nsec = 2, nprops = 8, isec = 2;

struct Laminate {
    std::vector<double> peprops, psprops, pdprops, stress;
    Laminate()
        : peprops(9 * nlayer * nsec), psprops(10 * nlayer * nsec),
          pdprops(nprops * nlayer * nsec, std::numeric_limits<double>::max()),
          stress(6 * nlayer) {
        const double e[9] = {140e3, 9e3, 9e3, 0.3, 0.3, 0.45, 5e3, 5e3, 3.2e3};
        const double x[10] = {1500, 50, 45, 1200, 200, 180, 80, 75, 60, 90};
        for (i32 p = 0; p < nlayer * nsec; ++p) {
            for (int i = 0; i < 9; ++i) peprops[9 * p + i] = e[i];
            for (int i = 0; i < 10; ++i) psprops[10 * p + i] = x[i] * (1.0 + 0.01 * (p % 7));
        }
        for (i32 l = 0; l < nlayer; ++l) {
            const double t = 0.1 * l;
            const double s[6] = {300 * t, (l % 3 - 1) * 40.0 + t, -10.0, 30 - t, 20.0, 15.0};
            for (int i = 0; i < 6; ++i) stress[6 * l + i] = s[i];
        }
    }
};

void Dispatcher(benchmark::State& state) {
    const Laminate lam;
    const i32 nl = nlayer, ns = nsec, np = nprops, k = isec, flag = 2;
    const double orientation = 0.0;
    double sum = 0.0;
    for (auto _ : state) {
        for (i32 l = 1; l <= nlayer; ++l) {
            double fmc, rmc, theta = -1.0;
            vorlen::damage::MatrixCracking(&fmc, &rmc, &lam.stress[6 * (l - 1)],
                                           lam.peprops.data(), lam.psprops.data(),
                                           lam.pdprops.data(), &orientation, &l, &nl, &k, &ns,
                                           &np, &flag, &theta, nullptr);
            sum += fmc + rmc;
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * nlayer);
}

void DirectHashin3D(benchmark::State& state) {
    const Laminate lam;
    double sum = 0.0;
    for (auto _ : state) {
        for (i32 l = 1; l <= nlayer; ++l) {
            const double* s = &lam.stress[6 * (l - 1)];
            const double* x = &lam.psprops[10 * ((isec - 1) * nlayer + (l - 1))];
            double rmc;
            vorlen::mccollection::MCrckHashin3D(&rmc, &s[1], &s[3], &s[4], &s[5], &x[1], &x[4],
                                                &x[6], &x[8]);
            sum += (rmc >= 1.0 ? 1.0 : 0.0) + rmc;
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * nlayer);
}

BENCHMARK(Dispatcher);
BENCHMARK(DirectHashin3D);

}  // namespace
