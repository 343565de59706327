// Module delisio called from C: the values that absent optional arguments stand for (Python
// always passes its own defaults), histories that write nothing, and outputs over inputs.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <vector>

#include "delamination/delisio.hpp"
#include "materials/laminate.hpp"
#include "test_support.hpp"

using namespace vorlen;
using namespace vorlen::delisio;

namespace {

struct Delisio : test::RegisterTest {};

// Isotropic film constants followed by the static toughness and the two Paris constants.
const double kProps[12] = {70000.0, 70000.0, 70000.0, 0.3,  0.3, 0.3,
                           26923.0, 26923.0, 26923.0, 0.05, 2.0, 0.01};
const double kCfrp[12] = {181000.0, 10300.0, 10300.0, 0.28, 0.28, 0.45,
                          7170.0,   7170.0,  3550.0,  0.2,  2.0,  1e-3};
constexpr double kT = 0.1;

using Matrix = std::array<double, 36>;

// ABD of n plies of kProps at 0 degrees.
Matrix stack(i32 n) {
    std::vector<double> pe, ang(n, 0.0), th(n, kT);
    for (i32 k = 0; k < n; ++k) pe.insert(pe.end(), kProps, kProps + 9);
    double a[9], b[9], d[9];
    Matrix abd;
    laminate::GetAMatrix(a, pe.data(), ang.data(), th.data(), &n);
    laminate::GetBMatrix(b, pe.data(), ang.data(), th.data(), &n);
    laminate::GetDMatrix(d, pe.data(), ang.data(), th.data(), &n);
    laminate::GetABDMatrix(abd.data(), a, b, d);
    return abd;
}

// A film of one ply on twenty under e11 = -0.004: beyond the film's buckling strain.
struct Film {
    Matrix abd = stack(21), s1 = stack(1), s2 = stack(20);
    double dof[6] = {-0.004, 0, 0, 0, 0, 0}, abdsub[72], forces[18];
    Film() {
        for (int j = 0; j < 36; ++j) abdsub[2 * j] = s1[j], abdsub[2 * j + 1] = s2[j];
        const Matrix* m[3] = {&abd, &s1, &s2};
        for (int r = 0; r < 3; ++r)
            for (int i = 0; i < 6; ++i) {
                double f = 0.0;
                for (int j = 0; j < 6; ++j) f += (*m[r])[i + 6 * j] * dof[j];
                forces[r + 3 * i] = f;
            }
    }
    std::array<double, 4> rates(const double* e, const double* da, const double* db,
                                const double* bf, const double* r) const {
        const double a = 20.0, b = 3.0, width = 40.0, length = 200.0, clean = 0.0;
        std::array<double, 4> g;
        EnergyReleaseRate(dof, abd.data(), abdsub, &a, &b, &width, &length, &clean, forces, &g[0],
                          &g[1], &g[2], &g[3], e, da, db, bf, r);
        return g;
    }
};

TEST_F(Delisio, AbsentOptionalsOfTheEnergiesAndRates) {
    const Film film;
    const double a = 20.0, b = 3.0, one = 1.0, zero = 0.0, tenth = 0.1, whole = 1.0;
    double e[2], n[2];
    lgl buckled[2];
    EnergySublaminat(film.s1.data(), film.dof, &a, &b, &film.forces[1], &e[0], &n[0], &buckled[0],
                     nullptr, nullptr);
    EnergySublaminat(film.s1.data(), film.dof, &a, &b, &film.forces[1], &e[1], &n[1], &buckled[1],
                     &one, &zero);
    EXPECT_EQ(buckled[0], 1);
    EXPECT_EQ(e[0], e[1]);
    EXPECT_EQ(n[0], n[1]);

    const auto absent = film.rates(nullptr, nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(absent, film.rates(&zero, &tenth, &tenth, &one, &zero));
    EXPECT_NE(absent[0], film.rates(&zero, &whole, &tenth, &one, &zero)[0]);  // Python's da
    EXPECT_GT(absent[1], 0.0);

    const double strain[6] = {1e-3, 2e-4, 0, 0, 0, 0};
    double am[9];  // the film's A
    for (int j = 0; j < 3; ++j) std::copy_n(film.s1.data() + 6 * j, 3, am + 3 * j);
    const i32 dir = 1, inner = 0, outer = 1;
    double g[3];
    sERR_delaTension(strain, am, &a, &b, &a, &b, &g[0], &dir, nullptr);
    sERR_delaTension(strain, am, &a, &b, &a, &b, &g[1], &dir, &inner);
    sERR_delaTension(strain, am, &a, &b, &a, &b, &g[2], &dir, &outer);
    EXPECT_EQ(g[0], g[1]);
    EXPECT_DOUBLE_EQ(g[2], 2.0 * g[0]);
    EXPECT_EQ(errorhandling::errstat, 0);
}

TEST_F(Delisio, AbsentOptionalsOfTheHistories) {
    const double layup[21] = {}, length = 200.0, width = 40.0, ext = 0.0, w = 6.0, l = 40.0;
    const double indof[6] = {-0.004, 0, 0, 0, 0, 0}, ratio = 0.1, step = 0.1;
    const i32 inter = 1, total = 4, n = 21, np = 12, nd = 6, jump = 1;
    std::vector<double> r1(13 * 5), r2(13 * 5);
    DelaCompGrowth(layup, &kT, indof, &inter, kProps, &length, &width, &ext, r1.data(), &w, &l,
                   &total, &n, &np, &nd, nullptr, nullptr, nullptr);
    DelaCompGrowth(layup, &kT, indof, &inter, kProps, &length, &width, &ext, r2.data(), &w, &l,
                   &total, &n, &np, &nd, &jump, &ratio, &step);
    EXPECT_EQ(r1, r2);
    EXPECT_EQ(r1[13 * 4], 4.0);

    // Tension: jumps of trunc(37/10) = 3 up to 36 cycles, initiation law (1, 0)
    const double cross[3] = {0.0, 90.0, 0.0}, tdof[6] = {3e-3, 0, 0, 0, 0, 0}, crack = 2.0;
    const double ng[2] = {1.0, 0.0};
    const i32 ncrack = 2, n3 = 3, total37 = 37, jump3 = 3;
    std::vector<double> t1(13 * 1000), t2(13 * 1000);
    delaTension(cross, &kT, tdof, &ncrack, kCfrp, &length, &width, &ext, t1.data(), &w, &l, &crack,
                &total37, &n3, &np, &nd, nullptr, nullptr, nullptr);
    delaTension(cross, &kT, tdof, &ncrack, kCfrp, &length, &width, &ext, t2.data(), &w, &l, &crack,
                &total37, &n3, &np, &nd, &jump3, &ratio, ng);
    EXPECT_EQ(t1, t2);
    for (int k = 0; k <= 12; ++k) EXPECT_EQ(t1[13 * k], 3.0 * k);
    EXPECT_EQ(t1[13 * 13 + 1], 0.0);
    EXPECT_EQ(t1[9], 1.0);
    EXPECT_EQ(errorhandling::errstat, 0);
}

TEST_F(Delisio, HistoriesThatCannotRunWriteNothing) {
    const double layup[8] = {}, indof[6] = {-0.004, 0, 0, 0, 0, 0}, x = 40.0, e = 0.0;
    const i32 inter = 2, n = 8, np = 12, nd = 6, zero = 0, four = 4, minus = -1;
    struct Case {
        const i32* total;
        const i32* jump;
    };
    for (const Case c : {Case{&four, &zero}, Case{&minus, nullptr}, Case{&four, &minus}}) {
        test::RegisterTest::reset();
        std::vector<double> res(13 * 1000, 7.0);
        DelaCompGrowth(layup, &kT, indof, &inter, kProps, &x, &x, &e, res.data(), &x, &x, c.total,
                       &n, &np, &nd, c.jump, nullptr, nullptr);
        EXPECT_EQ(errorhandling::errstat, -3);
        test::RegisterTest::reset();
        delaTension(layup, &kT, indof, &inter, kProps, &x, &x, &e, res.data(), &x, &x, &x, c.total,
                    &n, &np, &nd, c.jump, nullptr, nullptr);
        EXPECT_EQ(errorhandling::errstat, -3);
        EXPECT_TRUE(std::all_of(res.begin(), res.end(), [](double v) { return v == 7.0; }));
    }
}

TEST_F(Delisio, AbsentOptionalsOfTheAllowables) {
    const double layup[4] = {0.0, 90.0, 90.0, 0.0}, crack[4] = {0, 1.5, 0, 0},
                 sizes[6] = {1, 1, 1, 1, 1, 1};
    const double x = 0.0, up = 0.001, down = -0.001, once = 1.0;
    const i32 n = 4, np = 12, ni = 3;
    double al[3][4] = {}, sa[3], fa[3][4] = {};
    const double* inc[3] = {nullptr, &up, &down};
    for (int k = 0; k < 3; ++k)
        Find_Allowable_nogrowth_tension(layup, &kT, &x, &x, &x, kCfrp, crack, sizes, &n, &np, &ni,
                                        al[k], &sa[k], fa[k], inc[k], k ? &once : nullptr);
    EXPECT_GT(sa[0], 0.0);
    EXPECT_EQ(sa[0], sa[1]);
    EXPECT_EQ(sa[0], sa[2]);
    EXPECT_EQ(fa[0][1], fa[2][1]);

    // Compression, with the per-interface allowables written over the delamination lengths
    const double film[21] = {}, width = 24.0, length = 1200.0, tenth = 0.1;
    std::vector<double> dm(40, 0.0), eps1(20 * 600), eps2(20 * 600);
    dm[0] = 400.0, dm[20] = 4.0;
    const i32 n21 = 21, ni20 = 20;
    double c1, c2, f1[20], f2[20], a1[20];
    testing::internal::CaptureStdout();
    Find_Allowable_nogrowth_comp(film, &kT, &x, &length, &width, kProps, &c1, f1, eps1.data(),
                                 dm.data(), a1, &n21, &np, &ni20, nullptr, nullptr, nullptr);
    Find_Allowable_nogrowth_comp(film, &kT, &x, &length, &width, kProps, &c2, f2, eps2.data(),
                                 dm.data(), dm.data(), &n21, &np, &ni20, &down, &tenth, &once);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              std::string(" ERR for a life of  1  cycles is  0.05\n") +
                  " ERR for a life of  1  cycles is  0.05\n");
    EXPECT_LT(c1, 0.0);
    EXPECT_EQ(c1, c2);
    EXPECT_EQ(dm[0], a1[0]);
    EXPECT_EQ(f1[0], f2[0]);
    EXPECT_EQ(eps1, eps2);
}

TEST_F(Delisio, StripResultsOverTheirInputs) {
    double v[2] = {-120.0, -40.0}, nl, nr;
    const double b = 7.0, wr = 33.0, wl = 27.0, w = 74.0, e = 3.0;
    MomentumBalance(&v[0], &v[1], &b, &wr, &wl, &w, &e, &nl, &nr);
    MomentumBalance(&v[0], &v[1], &b, &wr, &wl, &w, &e, &v[0], &v[1]);
    EXPECT_EQ(v[0], nl);
    EXPECT_EQ(v[1], nr);

    const Film film;
    double in[2] = {0.3 * film.forces[1], film.forces[2]}, out[7];
    const double lw = 15.0, rw = 15.0, dw = 10.0, width = 40.0, r = 0.2;
    ForceTransfer(film.abd.data(), film.abdsub, film.forces, &in[0], &in[1], &width, &lw, &rw, &dw,
                  &width, &e, &out[0], &out[1], &out[2], &out[3], &out[4], &out[5], &out[6], &r);
    ForceTransfer(film.abd.data(), film.abdsub, film.forces, &in[0], &in[1], &width, &lw, &rw, &dw,
                  &width, &e, &nl, &nr, &in[0], &in[1], &v[0], &v[1], &v[1], &r);
    EXPECT_EQ(in[0], out[2]);
    EXPECT_EQ(in[1], out[3]);
    EXPECT_LT(out[4], 0.0);  // the film sheds compression
}

}  // namespace
