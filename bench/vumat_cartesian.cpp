// One vumat_cartesian call on a block of 256 points in the elastic range (criterion set 1 on
// strains, below initiation) through its C entry in a C loop, against a hand-written kernel of
// orthotropic elasticity over the same block: strain update, moduli by the sign of the strain,
// stress, the state row (copied, total strain written) and the energies. The goal is at most 3
// times the hand-written time. The strain varies per call, so nothing is hoisted out of the loop.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "solver/toplevel_explicit.hpp"

namespace {

using vorlen::i32;

constexpr i32 kBlock = 256, kState = 82, kProps = 42;

std::vector<double> Props() {
    std::vector<double> p(kProps, 0.0);
    const double v[] = {140e3, 10e3, 9e3,   5e3,   4.8e3, 3.5e3, 0.3,  0.28, 0.45, 2e3,  50.0,
                        50.0,  1.5e3, 200.0, 200.0, 80.0,  80.0,  60.0, 120e3, 12e3, 0.0,  0.0};
    for (int k = 0; k < 22; ++k) p[k] = v[k];
    p[24] = 100.0, p[25] = 80.0, p[26] = 0.5, p[27] = 2.0, p[28] = 0.5;
    p[32] = 1.0, p[33] = 1.0, p[37] = 1.0;  // strains, criterion set 1, stiffness degradation
    return p;
}

// Orthotropic stiffness (Cyclic order, tensor shears) of the moduli e11, e22.
void HandStiffness(double* c, const double* p, double e11, double e22) {
    const double e33 = p[2], nu12 = p[6], nu13 = p[7], nu23 = p[8];
    const double nu21 = nu12 * e22 / e11, nu32 = nu23 * e33 / e22, nu31 = nu13 * e33 / e11;
    const double d = (1 - nu12 * nu21 - nu23 * nu32 - nu13 * nu31 - 2 * nu12 * nu23 * nu31) /
                     (e11 * e22 * e33);
    for (int k = 0; k < 36; ++k) c[k] = 0.0;
    c[0] = (1 - nu23 * nu32) / (e22 * e33 * d);
    c[7] = (1 - nu13 * nu31) / (e11 * e33 * d);
    c[14] = (1 - nu12 * nu21) / (e11 * e22 * d);
    c[1] = c[6] = (nu21 + nu31 * nu23) / (e22 * e33 * d);
    c[2] = c[12] = (nu31 + nu21 * nu32) / (e22 * e33 * d);
    c[8] = c[13] = (nu32 + nu12 * nu31) / (e11 * e33 * d);
    c[21] = 2 * p[3], c[28] = 2 * p[5], c[35] = 2 * p[4];
}

[[gnu::noinline]] void HandBlock(const double* p, const double* density, const double* straininc,
                                 const double* stressold, const double* stateold,
                                 const double* enerinternold, double* stressnew,
                                 double* statenew, double* enerinternnew,
                                 double* enerinelasnew) {
    const int nb = kBlock;
    double c[4][36];
    for (int m = 0; m < 4; ++m) HandStiffness(c[m], p, m & 1 ? p[0] : p[18], m & 2 ? p[1] : p[19]);
    std::memcpy(statenew, stateold, sizeof(double) * nb * kState);
    for (int i = 0; i < nb; ++i) {
        double e[6], de[6];
        for (int k = 0; k < 6; ++k) {
            de[k] = straininc[i + nb * k];
            e[k] = stateold[i + nb * (20 + k)] + de[k] - stateold[i + nb * (26 + k)];
        }
        const double* cm = c[(e[0] > 0 ? 1 : 0) + (e[1] > 0 ? 2 : 0)];
        double work = 0.0, ela = 0.0;
        for (int r = 0; r < 6; ++r) {
            double s = 0.0;
            for (int k = 0; k < 6; ++k) s += cm[r + 6 * k] * e[k];
            stressnew[i + nb * r] = s;
            const double f = r < 3 ? 1.0 : 2.0;
            work += f * 0.5 * (s + stressold[i + nb * r]) * de[r];
            ela += f * 0.5 * s * e[r];
            statenew[i + nb * (20 + r)] = stateold[i + nb * (20 + r)] + de[r];
        }
        enerinternnew[i] = enerinternold[i] + work / density[i];
        enerinelasnew[i] = enerinternnew[i] - ela / density[i];
    }
}

template <bool Library>
void VumatCartesian(benchmark::State& state) {
    const std::vector<double> props = Props();
    std::vector<double> density(kBlock, 1.5e-9), charlength(3 * kBlock, 1.0);
    std::vector<double> straininc(6 * kBlock), stressold(6 * kBlock), stressnew(6 * kBlock);
    std::vector<double> stateold(kState * kBlock, 0.0), statenew(kState * kBlock);
    std::vector<double> eold(kBlock, 0.0), enew(kBlock), inew(kBlock), iold(kBlock, 0.0);
    std::vector<double> dummy(9 * kBlock, 0.0);
    for (int i = 0; i < kBlock; ++i) {
        stateold[i + kBlock * 18] = 1.0;  // active
        for (int k = 0; k < 6; ++k)       // total strain well inside the elastic range
            stateold[i + kBlock * (20 + k)] = 1e-4 * std::sin(0.37 * i + k) * (k < 3 ? 1 : 2);
    }
    const i32 nblock = kBlock, ndir = 3, nshr = 3, nstatev = kState, nfieldv = 1,
              nprops = kProps, lanneal = 0;
    const double steptime = 1e-3, totaltime = 1e-3, dt = 1e-7;
    char cmname[80];
    std::memset(cmname, ' ', sizeof cmname);
    double t = 0.0;
    for (auto _ : state) {
        t += 1e-9;
        for (int i = 0; i < kBlock; ++i)
            for (int k = 0; k < 6; ++k) straininc[i + kBlock * k] = t * (1 + ((i + k) % 5));
        if constexpr (Library)
            vorlen::toplevel::vumat_cartesian(
                &nblock, &ndir, &nshr, &nstatev, &nfieldv, &nprops, &lanneal, &steptime,
                &totaltime, &dt, cmname, dummy.data(), charlength.data(), props.data(),
                density.data(), straininc.data(), dummy.data(), dummy.data(), dummy.data(),
                dummy.data(), dummy.data(), stressold.data(), stateold.data(), eold.data(),
                iold.data(), dummy.data(), dummy.data(), dummy.data(), dummy.data(),
                stressnew.data(), statenew.data(), enew.data(), inew.data());
        else
            HandBlock(props.data(), density.data(), straininc.data(), stressold.data(),
                      stateold.data(), eold.data(), stressnew.data(), statenew.data(),
                      enew.data(), inew.data());
        benchmark::DoNotOptimize(stressnew.data());
        benchmark::DoNotOptimize(statenew.data());
        benchmark::ClobberMemory();
    }
}

BENCHMARK(VumatCartesian<true>);
BENCHMARK(VumatCartesian<false>);

}  // namespace
