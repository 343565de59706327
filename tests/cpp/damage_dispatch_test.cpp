// Failure-mode dispatchers called from C: results that share storage with the stress, the
// tables or the card give what separate results give, and an absent defreal is +huge.
#include <gtest/gtest.h>

#include <array>
#include <limits>
#include <vector>

#include "failure/damage_dispatch.hpp"
#include "test_support.hpp"

using namespace vorlen;
using namespace vorlen::damage;

namespace {
using DamageDispatch = test::RegisterTest;

constexpr i32 nlayer = 3, nsec = 2, nprops = 4;
const i32 layer = 2, isec = 2, nl = nlayer, ns = nsec, np = nprops;

struct Tables {
    std::vector<double> pe, ps, pd, orient, thick;
    Tables()
        : pe(9 * nlayer * nsec), ps(10 * nlayer * nsec),
          pd(nprops * nlayer * nsec, std::numeric_limits<double>::max()),
          orient(nlayer * nsec), thick(nlayer * nsec) {
        const double e[9] = {140e3, 9e3, 9.5e3, 0.3, 0.28, 0.45, 5e3, 4.8e3, 3.2e3};
        const double x[10] = {1500, 50, 45, 1200, 200, 180, 80, 75, 60, 90};
        for (int p = 0; p < nlayer * nsec; ++p) {
            for (int i = 0; i < 9; ++i) pe[9 * p + i] = e[i] * (1.0 + 0.1 * p);
            for (int i = 0; i < 10; ++i) ps[10 * p + i] = x[i] * (1.0 + 0.2 * p);
            orient[p] = 30.0 * p;
            thick[p] = 0.1 + 0.02 * p;
        }
    }
    // Column (layer, isec) of a table with m rows.
    static double* column(std::vector<double>& t, int m) {
        return &t[m * ((isec - 1) * nlayer + layer - 1)];
    }
};

}  // namespace

TEST_F(DamageDispatch, MatrixResultsOverTheStressOrTheCard) {
    Tables t;
    t.column(t.pd, nprops)[0] = -30.0;  // the card's angle, also a request when outtheta is it
    const std::array<double, 6> stress = {0.0, -400.0, 0.0, 40.0, 0.0, 0.0};
    const i32 flag = 6;
    const double o = 0.0;
    double f, r, theta = -1.0;
    MatrixCracking(&f, &r, stress.data(), t.pe.data(), t.ps.data(), t.pd.data(), &o, &layer, &nl,
                   &isec, &ns, &np, &flag, &theta, nullptr);
    ASSERT_EQ(f, 1.0);
    EXPECT_DOUBLE_EQ(theta, -30.0 * 3.141592653589793 / 180.0);
    // fmc over s12, rmc over s22, outtheta over p(1)
    auto s = stress;
    double* p1 = t.column(t.pd, nprops);
    MatrixCracking(&s[3], &s[1], s.data(), t.pe.data(), t.ps.data(), t.pd.data(), &o, &layer, &nl,
                   &isec, &ns, &np, &flag, p1, nullptr);
    EXPECT_EQ(s[1], r);
    EXPECT_EQ(s[3], f);
    EXPECT_EQ(*p1, theta);
    EXPECT_EQ(errorhandling::errstat, 0);
}

TEST_F(DamageDispatch, ResultsOverTheStrengthsOfThePly) {
    Tables t;
    const std::array<double, 6> stress = {700.0, 20.0, 10.0, 30.0, 25.0, 15.0};
    const i32 flag = 8;
    const double o = 0.0;
    double f, r;
    damage_generalfailure(&f, &r, stress.data(), t.ps.data(), &o, &layer, &nl, &isec, &ns, &flag);
    double* x = t.column(t.ps, 10);
    damage_generalfailure(&x[0], &x[3], stress.data(), t.ps.data(), &o, &layer, &nl, &isec, &ns,
                          &flag);
    EXPECT_EQ(x[3], r);
    EXPECT_EQ(x[0], f);
}

TEST_F(DamageDispatch, DelaminationResultsOverThePlyStresses) {
    Tables t;
    std::array<double, 6> lower = {300.0, 25.0, 12.0, 20.0, 30.0, 15.0};
    std::array<double, 6> upper = {-200.0, -60.0, 18.0, -25.0, 35.0, 40.0};
    const double s33i = 15.0;
    for (i32 flag = 1; flag <= 7; ++flag) {
        double f, r;
        damage_delamination(&f, &r, &s33i, lower.data(), upper.data(), t.pe.data(), t.ps.data(),
                            t.orient.data(), t.thick.data(), &layer, &nl, &isec, &ns, &flag);
        auto l = lower, u = upper;
        damage_delamination(&u[5], &l[1], &s33i, l.data(), u.data(), t.pe.data(), t.ps.data(),
                            t.orient.data(), t.thick.data(), &layer, &nl, &isec, &ns, &flag);
        EXPECT_EQ(l[1], r) << "delflag " << flag;
        EXPECT_EQ(u[5], f) << "delflag " << flag;
    }
    EXPECT_EQ(errorhandling::errstat, 0);
}

TEST_F(DamageDispatch, AbsentDefrealIsHuge) {
    Tables t;
    double* p = t.column(t.pd, nprops);
    p[0] = 2.0, p[1] = 0.0;  // a 2-degree scan, then the card's +huge
    const std::array<double, 6> stress = {0.0, -150.0, -30.0, 60.0, 0.0, 20.0};
    const double o = 0.0, huge = std::numeric_limits<double>::max();
    const i32 flag = 9;
    double f1, r1, f2, r2;
    MatrixCracking(&f1, &r1, stress.data(), t.pe.data(), t.ps.data(), t.pd.data(), &o, &layer,
                   &nl, &isec, &ns, &np, &flag, nullptr, nullptr);
    MatrixCracking(&f2, &r2, stress.data(), t.pe.data(), t.ps.data(), t.pd.data(), &o, &layer,
                   &nl, &isec, &ns, &np, &flag, nullptr, &huge);
    EXPECT_EQ(r1, r2);
    EXPECT_EQ(f1, f2);
    EXPECT_GT(r1, 0.0);
}
