// The dg8 routines called from C: outputs that share storage with inputs give the results of
// separate outputs, absent tolerance and iteration limit of the release rate are 1e-15 and 100,
// and the release rate leaves its coefficients alone.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>

#include "delamination/dg8.hpp"
#include "test_support.hpp"

using namespace vorlen;
using namespace vorlen::dg8;

namespace {

struct Dg8Calls : test::RegisterTest {
    // Isotropic plate E 70000, nu 0.3, thickness 0.2.
    std::array<double, 36> abd{};
    const double rel[3] = {-1.0, -1.0, 0.0};
    const double a = 10.0, b = 8.0, kmd = 1e4, g0 = 0.5 * 2.0 * (15384.6153846 + 4615.3846154);
    const double level = 8e-4, eb = 4e-4;
    const i32 nk = 8;
    const lgl w = 1;
    std::array<double, 8> vec{0.01, -0.02, 0.005, 0.0, 0.3, -0.09, -0.09, 3e-3};

    void SetUp() override {
        test::RegisterTest::SetUp();
        const double e = 70000.0 / (1 - 0.09), t = 0.2;
        const double q[9] = {e, 0.3 * e, 0, 0.3 * e, e, 0, 0, 0, 0.35 * e};
        for (int j = 0; j < 3; ++j)
            for (int i = 0; i < 3; ++i) {
                abd[i + 6 * j] = q[i + 3 * j] * t;
                abd[(i + 3) + 6 * (j + 3)] = q[i + 3 * j] * t * t * t / 12;
            }
    }
};

TEST_F(Dg8Calls, ResidualsAndJacobianOverTheirCoefficients) {
    const double eps[3] = {-1e-3, -5e-4, 0.0};
    double f[8], fp[8], dfp[64], big[64] = {};
    GetF8(f, vec.data(), eps, &g0, &eb, &a, &b, abd.data(), &w);
    GetFdF8(fp, dfp, vec.data(), eps, &g0, &eb, &a, &b, &kmd, abd.data(), &nk, &w);

    std::array<double, 8> v = vec;
    GetF8(v.data(), v.data(), eps, &g0, &eb, &a, &b, abd.data(), &w);
    EXPECT_TRUE(std::equal(v.begin(), v.end(), f));
    std::copy(vec.begin(), vec.end(), big);
    GetFdF8(big, big, big, eps, &g0, &eb, &a, &b, &kmd, abd.data(), &nk, &w);
    EXPECT_TRUE(std::equal(big, big + 64, dfp));
    double kmv[16] = {}, km[16], kv[4];
    std::copy(vec.begin(), vec.end(), kmv);
    for (int i = 4; i < 8; ++i) kmv[i] = -kmv[i];
    GetKdfKf8(km, kv, kmv, &a, &b, &kmd, &nk);
    GetKdfKf8(kmv, kmv + 12, kmv, &a, &b, &kmd, &nk);
    EXPECT_TRUE(std::equal(km, km + 12, kmv));
    EXPECT_TRUE(std::equal(kv, kv + 4, kmv + 12));
    EXPECT_EQ(errorhandling::errstat, 0);
}

TEST_F(Dg8Calls, NewtonWithItsErrorOverAnInput) {
    std::array<double, 8> sol = vec, ref = vec;
    double err = 0.0, tol = 1e-15;
    const i32 maxiter = 150;
    NewtonRaphson8(ref.data(), &err, &a, &b, &kmd, &g0, &level, &eb, rel, abd.data(), &tol,
                   &maxiter, &nk, &w);
    ASSERT_LT(err, 1e-15);
    NewtonRaphson8(sol.data(), &tol, &a, &b, &kmd, &g0, &level, &eb, rel, abd.data(), &tol,
                   &maxiter, &nk, &w);
    EXPECT_EQ(sol, ref);
    EXPECT_EQ(tol, err);
}

TEST_F(Dg8Calls, ReleaseRateWithoutToleranceAndLimit) {
    std::array<double, 8> sol = vec;
    double err, tol = 1e-15;
    const i32 maxiter = 150, hundred = 100;
    NewtonRaphson8(sol.data(), &err, &a, &b, &kmd, &g0, &level, &eb, rel, abd.data(), &tol,
                   &maxiter, &nk, &w);
    const std::array<double, 8> kept = sol;
    double r[3], s[3];
    GetEnergyReleaseRate8(r, r + 1, r + 2, sol.data(), &a, &b, &kmd, &g0, &level, &eb, rel,
                          abd.data(), &nk, &w, nullptr, nullptr);
    GetEnergyReleaseRate8(s, s + 1, s + 2, sol.data(), &a, &b, &kmd, &g0, &level, &eb, rel,
                          abd.data(), &nk, &w, &tol, &hundred);
    EXPECT_TRUE(std::equal(r, r + 3, s));
    EXPECT_GT(r[0], 0.0);
    EXPECT_EQ(sol, kept);
    // The rate written over the coefficients it reads.
    GetEnergyReleaseRate8(sol.data(), sol.data() + 1, sol.data() + 2, sol.data(), &a, &b, &kmd,
                          &g0, &level, &eb, rel, abd.data(), &nk, &w, nullptr, nullptr);
    EXPECT_TRUE(std::equal(r, r + 3, sol.data()));
    EXPECT_EQ(errorhandling::errstat, 0);
}

}  // namespace
