// Internal-force pass of vuel_truss over a block of 128 bars through its C entry, in a C loop
// against a hand-written kernel of the same arithmetic: length and direction from the nodes, the
// axial elongation, the volume-keeping area, the logarithmic-strain force, the stable increment,
// the nodal forces and the energy increment with the state update. The goal is at most 2 times
// the hand-written time. The displacements change per pass, so nothing is hoisted out.
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "solver/toplevel_elements.hpp"

namespace {

using vorlen::i32;

constexpr int kBlock = 128;
constexpr double kProps[3] = {7e4, 1.6e-9, 2.0};

[[gnu::noinline]] void HandForces(int nb, double* rhs, double* dts, double* sv, double* en,
                                  const double* x, const double* u, const double* p) {
    const double e = p[0], rho = p[1], a0 = p[2];
    for (int k = 0; k < nb; ++k) {
        double d[3], n[3];
        for (int i = 0; i < 3; ++i) d[i] = x[k + nb + 2 * nb * i] - x[k + 2 * nb * i];
        const double l0 = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
        for (int i = 0; i < 3; ++i) n[i] = d[i] / l0;
        double du = 0.0;
        for (int i = 0; i < 3; ++i) du += n[i] * (u[k + nb * (i + 3)] - u[k + nb * i]);
        double l = l0 + du;
        if (!(l > 0.0)) l = 2.220446049250313e-16;
        const double area = a0 * l0 / l, ka = e * area / l;
        dts[k] = 0.99 * std::sqrt(rho * a0 * l0 / ka);
        const double f = e * std::log(l / l0) * area;
        for (int i = 0; i < 3; ++i) rhs[k + nb * i] = -n[i] * f, rhs[k + nb * (i + 3)] = n[i] * f;
        en[k + 2 * nb] += 0.5 * (f + sv[k + nb]) * (l - sv[k]);
        sv[k] = l;
        sv[k + nb] = f;
    }
}

template <bool Library>
void VuelTruss(benchmark::State& state) {
    const int nb = kBlock;
    std::vector<double> x(nb * 6), u(nb * 6), rhs(nb * 6), amass(nb * 36), dts(nb), sv(nb * 2),
        en(nb * 12), zero(nb * 6), dmass(nb, 1.0), adlmag(nb);
    for (int k = 0; k < nb; ++k)
        for (int i = 0; i < 3; ++i) {
            x[k + 2 * nb * i] = 0.1 * k + i;
            x[k + nb + 2 * nb * i] = 0.1 * k + i + 10.0 + 3.0 * i + 0.01 * k;
        }
    const i32 nblock = nb, nsvars = 2, nnode = 2, ndofel = 6, nprops = 3, njprops = 1, ncrd = 3,
              jtype = 1, kstep = 1, kinc = 1, npredef = 1, jdltyp = 0, jprops = 0;
    const i32 lflags[3] = {17, 0, 2};
    std::vector<i32> jelem(nb, 1);
    const double time[2] = {0, 0}, period = 1, dtcur = 1e-6, dtprev = 1e-6;
    double t = 0.0;
    for (auto _ : state) {
        t += 1e-9;
        for (int j = 0; j < 6 * nb; ++j) u[j] = t * (j % 7) - 1e-3 * (j % 5);
        if constexpr (Library)
            vorlen::toplevel::vuel_truss(&nblock, rhs.data(), amass.data(), dts.data(), sv.data(),
                                         &nsvars, en.data(), &nnode, &ndofel, kProps, &nprops,
                                         &jprops, &njprops, x.data(), &ncrd, u.data(), zero.data(),
                                         zero.data(), zero.data(), &jtype, jelem.data(), time,
                                         &period, &dtcur, &dtprev, &kstep, &kinc, lflags,
                                         dmass.data(), zero.data(), &npredef, &jdltyp,
                                         adlmag.data());
        else
            HandForces(nb, rhs.data(), dts.data(), sv.data(), en.data(), x.data(), u.data(),
                       kProps);
        benchmark::DoNotOptimize(rhs.data());
        benchmark::DoNotOptimize(en.data());
        benchmark::ClobberMemory();
    }
}

BENCHMARK(VuelTruss<true>);
BENCHMARK(VuelTruss<false>);

}  // namespace
