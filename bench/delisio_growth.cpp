// DelaCompGrowth over 20000 cycle jumps of a growing delamination in an eight-ply laminate
// against a plain kernel of the same per-jump arithmetic: the release rates from the five strip
// states (six sub-laminate energies, each with its 3 x 3 inverse by MatrixInverse, five load
// transfers and end displacements), the Paris rates and the forward step. The goal is at most
// 2 times the kernel.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "core/math_linalg.hpp"
#include "delamination/delisio.hpp"
#include "materials/laminate.hpp"

namespace {

using vorlen::i32;

constexpr i32 kPlies = 8, kJumps = 20000, kInterface = 1;
const double kProps[12] = {181000.0, 10300.0, 10300.0, 0.28, 0.28, 0.45,
                           7170.0,   7170.0,  3550.0,  0.2,  2.0,  2e-4};
const double kLayup[kPlies] = {0.0, 45.0, -45.0, 90.0, 90.0, -45.0, 45.0, 0.0};
constexpr double kT = 0.125, kLength = 300.0, kWidth = 120.0, kOffset = 2.0, kStep = 0.1;
constexpr double kStartW = 20.0, kStartL = 30.0;
const double kDof[6] = {-4e-3, 0, 0, 0, 0, 0};

// ABD(36) of plies first..last.
void abd_of(double* abd, i32 first, i32 last) {
    i32 n = last - first + 1;
    std::vector<double> pe, th(n, kT);
    for (i32 k = 0; k < n; ++k) pe.insert(pe.end(), kProps, kProps + 9);
    double a[9], b[9], d[9];
    vorlen::laminate::GetAMatrix(a, pe.data(), kLayup + first - 1, th.data(), &n);
    vorlen::laminate::GetBMatrix(b, pe.data(), kLayup + first - 1, th.data(), &n);
    vorlen::laminate::GetDMatrix(d, pe.data(), kLayup + first - 1, th.data(), &n);
    vorlen::laminate::GetABDMatrix(abd, a, b, d);
}

// The strip's matrices and load cases, as the kernel reads them.
struct Strip {
    double abd[36], sub[2][36], f[3];
    Strip() {
        abd_of(abd, 1, kPlies);
        abd_of(sub[0], 1, kInterface);
        abd_of(sub[1], kInterface + 1, kPlies);
        const double* m[3] = {abd, sub[0], sub[1]};
        for (int r = 0; r < 3; ++r) {
            f[r] = 0.0;
            for (int j = 0; j < 6; ++j) f[r] += m[r][6 * j] * kDof[j];
        }
    }
};

double quadratic(const double* m, const double* x) {
    double e = 0.0;
    for (int j = 0; j < 6; ++j) {
        double t = 0.0;
        for (int i = 0; i < 6; ++i) t += x[i] * m[i + 6 * j];
        e += t * x[j];
    }
    return 0.5 * e;
}

// Energy and carried force of one sub-laminate of 2a by 2b.
void sub_state(const double* abd, double f1, double a, double b, double* energy, double* nsub) {
    double am[9], ainv[9], abdt[36];
    const i32 three = 3;
    for (int j = 0; j < 3; ++j)
        for (int i = 0; i < 3; ++i) am[i + 3 * j] = abd[i + 6 * j];
    vorlen::math::MatrixInverse(am, ainv, &three);
    std::copy_n(abd, 36, abdt);
    for (int j = 0; j < 3; ++j)
        for (int i = 0; i < 3; ++i) {
            double s = 0.0;
            for (int k = 0; k < 3; ++k)
                for (int l = 0; l < 3; ++l)
                    s += abd[k + 6 * (i + 3)] * ainv[k + 3 * l] * abd[l + 6 * (j + 3)];
            abdt[(i + 3) + 6 * (j + 3)] -= s;
        }
    const double d11 = abdt[21], d22 = abdt[28], d12 = abdt[27], d66 = abdt[35];
    const double f = 9.869604401089358 / (4.0 * b * b), r = std::sqrt(d11 * d22);
    const double nb = -(f * 2.0 * (r + d12 + 2.0 * d66) +
                        f * (4.53 * r + 2.62 * d11 * b * b / (a * a) + 2.62 * (d12 + 2.0 * d66))) /
                      2.0;
    const double area = 4.0 * a * b;
    if (f1 > nb) {
        *energy = quadratic(abdt, kDof) * area;
        *nsub = f1;
    } else {
        double eb[6];
        for (int k = 0; k < 6; ++k) eb[k] = kDof[k] * nb / f1;
        *energy = quadratic(abdt, eb) * area + area * (kDof[0] - eb[0]) * nb;
        *nsub = nb;
    }
}

void kernel(double* a, double* b, const Strip& s) {
    const double f = s.f[0], u0 = quadratic(s.abd, kDof), w = kWidth, e = kOffset, d = kStep;
    const double lw = w / 2 - *b - e, rw = w / 2 - *b + e;
    const double as[5] = {*a, *a + d, *a, *a, *a}, bs[5] = {*b, *b, *b + d, *b + d, *b + d};
    const double ls[5] = {lw, lw, lw - d, lw - 2 * d, lw}, rs[5] = {rw, rw, rw - d, rw, rw - 2 * d};
    const double es[5] = {e, e, e, e + d, e - d};
    double e1[3], e2[3], n1[3], n2[3], u[5], x[5];
    for (int k = 0; k < 3; ++k) {
        sub_state(s.sub[0], s.f[1], as[k], bs[k], &e1[k], &n1[k]);
        sub_state(s.sub[1], s.f[2], as[k], bs[k], &e2[k], &n2[k]);
    }
    for (int k = 0; k < 5; ++k) {
        const int q = std::min(k, 2);
        const double dw = 2 * bs[k];
        const double k1 = n1[q] > s.f[1] ? 0.0 : s.sub[0][0];
        const double k2 = n2[q] > s.f[2] ? 0.0 : s.sub[1][0];
        double dd = 0.0, m1 = n1[q], m2 = n2[q];
        if (n1[q] > s.f[1] || n2[q] > s.f[2]) {
            dd = ((s.f[1] - n1[q]) + (s.f[2] - n2[q])) * dw /
                 ((ls[k] + rs[k]) * s.abd[0] + (k1 + k2) * dw);
            m1 += k1 * dd, m2 += k2 * dd;
        }
        const double ie = (n1[q] + m1) / 2 * dd + (n2[q] + m2) / 2 * dd;
        const double f11 = f * w, fsub = dw * (m1 + m2);
        const double xx = (bs[k] - es[k]) / 2 + w / 4, yy = (bs[k] + es[k]) / 2 + w / 4;
        const double nl = (f11 - fsub - es[k] * fsub / xx) / (1 + yy / xx) / ls[k];
        const double nr = (f11 - fsub + es[k] * fsub / yy) / (1 + xx / yy) / rs[k];
        u[k] = u0 * ((kLength - 2 * as[k]) * w + 2 * as[k] * ls[k] * (nl / f) * (nl / f) +
                     2 * as[k] * rs[k] * (nr / f) * (nr / f)) +
               e1[q] + e2[q] + 4 * as[k] * bs[k] * ie;
        const double c = kDof[0], el = nl / s.abd[0] / c, er = nr / s.abd[0] / c;
        x[k] = (kLength - 2 * (as[k] - *a)) * c +
               2 * as[k] * c * std::sqrt((el * el * ls[k] + er * er * rs[k]) / (w - 2 * bs[k]));
    }
    const double p = f * w;
    const double gx = (p * (x[1] - x[0]) - (u[1] - u[0])) / (4 * d * *b);
    const double gy = (p * (x[2] - x[0]) - (u[2] - u[0])) / (4 * d * *a);
    const double gl = (p * (x[3] - x[0]) - (u[3] - u[0])) / (4 * d * *a);
    const double gr = (p * (x[4] - x[0]) - (u[4] - u[0])) / (4 * d * *a);
    benchmark::DoNotOptimize(gl);
    benchmark::DoNotOptimize(gr);
    *b += kProps[11] * std::pow(std::max(gy, 0.0), kProps[10]);
    *a += kProps[11] * std::pow(std::max(gx, 0.0), kProps[10]);
}

void LibraryDelaCompGrowth(benchmark::State& state) {
    std::vector<double> res(13 * (kJumps + 1));
    const i32 inter = kInterface, total = kJumps, n = kPlies, np = 12, nd = 6;
    const double len = kLength, wid = kWidth, ext = kOffset, w = kStartW, l = kStartL;
    for (auto _ : state) {
        vorlen::delisio::DelaCompGrowth(kLayup, &kT, kDof, &inter, kProps, &len, &wid, &ext,
                                        res.data(), &w, &l, &total, &n, &np, &nd, nullptr, nullptr,
                                        nullptr);
        benchmark::DoNotOptimize(res.data());
        benchmark::ClobberMemory();
    }
    state.counters["final 2b"] = res[13 * kJumps + 4];
}

void PlainKernel(benchmark::State& state) {
    const Strip s;
    double a = 0.0, b = 0.0;
    for (auto _ : state) {
        a = kStartL / 2, b = kStartW / 2;
        for (i32 k = 0; k < kJumps; ++k) kernel(&a, &b, s);
        benchmark::DoNotOptimize(a);
        benchmark::DoNotOptimize(b);
    }
    state.counters["final 2b"] = 2 * b;
}

BENCHMARK(LibraryDelaCompGrowth)->Unit(benchmark::kMillisecond);
BENCHMARK(PlainKernel)->Unit(benchmark::kMillisecond);

}  // namespace
