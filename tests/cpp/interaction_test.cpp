// Paths of the contact laws that Python cannot reach: the law as the impactor element hands it to
// the root finder, an absent element length, and outputs or inputs that share storage.
#include <gtest/gtest.h>

#include <cmath>

#include "base/errorhandling.hpp"
#include "core/math_roots.hpp"
#include "materials/interaction.hpp"
#include "test_support.hpp"

using namespace vorlen;
using namespace vorlen::interaction;

namespace {

using InteractionTest = test::RegisterTest;

// The impactor element's argument vector: 7 values, 50 forces from 0 to fmax and 50 stiffnesses.
struct TableArgs {
    double a[107] = {};
    TableArgs(double u, double c, double fmax, double stiffness) {
        a[1] = u, a[2] = c, a[5] = 1.0;  // linear in the indentation
        for (int i = 0; i < 50; ++i) {
            a[7 + i] = fmax * i / 49.0;
            a[57 + i] = stiffness;
        }
    }
};

TEST_F(InteractionTest, TableLawSolvedByBrent) {
    // F = k (u - c F) with k = 2000 from the table: F = k u/(1 + k c)
    const double u = 0.05, c = 1e-4, k = 2000.0;
    TableArgs t(u, c, u / c, k);
    const double x1 = 0.0, x2 = u / c, xacc = 1e-10;
    const i32 maxit = 100, na = 107, clflag = 1;
    double root;
    i32 istat;
    math::math_bdsafe(ContactLaw, &x1, &x2, &root, t.a, &xacc, &maxit, &na, &clflag, &istat);
    EXPECT_EQ(istat, 0);
    EXPECT_NEAR(root, k * u / (1.0 + k * c), 1e-8);
    EXPECT_EQ(errorhandling_errstat, 0);
}

TEST_F(InteractionTest, DescendingForceTableEndsTheProcess) {
    TableArgs t(0.05, 1e-4, -500.0, 2000.0);  // forces 0, -10.2, ..., -500
    const double force = 1.0;
    const i32 na = 107, clflag = 1;
    double fx, dfx;
    EXPECT_EXIT(ContactLaw(&fx, &dfx, &force, t.a, &na, &clflag), test::exited_nonzero, "");
}

TEST_F(InteractionTest, ResidualMayBeWrittenOverTheForce) {
    const double args[7] = {100.0, 0.5, 0.01, 0.1, 0.0, 2.0, 0.0};
    const i32 na = 7, clflag = 0;
    double x = 10.0, dfx;
    ContactLaw(&x, &dfx, &x, args, &na, &clflag);  // alpha = 0.5 - 0.1 - 0.01 * 10 = 0.3
    EXPECT_NEAR(x, 100.0 * 0.09 - 10.0, 1e-13);
    EXPECT_NEAR(dfx, -100.0 * 2.0 * 0.01 * 0.3 - 1.0, 1e-13);
}

TEST_F(InteractionTest, ContactAreaWithoutElementLengths) {
    double d[24] = {};
    d[1] = 3.0, d[2] = 4.0;  // impactor 1 at (3, 4, 0), impactor 2 at the origin
    for (int i = 7; i < 11; ++i) d[i] = d[12 + i] = 9.0;
    const double coord[3] = {0.0, 0.0, 0.0};
    const i32 noel = 4, nimp = 2;
    ContactArea(d, coord, &noel, &nimp, nullptr);
    EXPECT_EQ(d[4], 4.0);
    EXPECT_EQ(d[5], 5.0);
    EXPECT_EQ(d[16], 4.0);
    EXPECT_EQ(d[17], 0.0);
    for (int i = 7; i < 11; ++i) EXPECT_EQ(d[i], 9.0) << i;
    for (int i = 7; i < 11; ++i) EXPECT_EQ(d[12 + i], 9.0) << i;
}

TEST_F(InteractionTest, ContactAreaReadsThePointBeforeWritingTheRecords) {
    // The point is given as rows 5 to 7 of impactor 1's record: (0, 0, 2) before the call.
    double d[24] = {};
    d[6] = 2.0;
    d[13] = 1.0, d[15] = 2.0;  // impactor 2 at (1, 0, 2)
    const double length[3] = {6.0, 0.0, 0.0};
    const i32 noel = 8, nimp = 2;
    ContactArea(d, &d[4], &noel, &nimp, length);
    EXPECT_EQ(d[4], 8.0);
    EXPECT_EQ(d[5], 2.0);
    EXPECT_EQ(d[16], 8.0);
    EXPECT_EQ(d[17], 1.0);
    for (int i : {7, 8, 9, 10, 19, 20, 21, 22}) EXPECT_EQ(d[i], 3.0) << i;
}

}  // namespace
