// The box-beam solver of n + 1 consistent equations in n unknowns, and the strided product.
#include "boxbeam/boxutils.hpp"

#include <gtest/gtest.h>

#include <vector>

#include "base/errorhandling.hpp"

namespace {

using vorlen::i32;
using vorlen::boxutils::QVSKPX;
using vorlen::boxutils::TVERT;

struct Solve {
    std::vector<i32> ip;
    std::vector<double> x;
    i32 ifail = -99;
};

// a: n + 1 rows of n coefficients (row by row), solved with leading dimension n + 1 + pad.
Solve tvert(const std::vector<std::vector<double>>& rows, const std::vector<double>& b, int pad = 0,
            double eps = 1.0e-30) {
    const i32 n = static_cast<i32>(rows[0].size()), kl = n + 1 + pad;
    std::vector<double> a(static_cast<std::size_t>(kl) * n, -7.0);
    for (i32 r = 0; r <= n; ++r)
        for (i32 j = 0; j < n; ++j) a[r + j * kl] = rows[r][j];
    Solve s{std::vector<i32>(n + 1, 0), std::vector<double>(n, -99.0)};
    TVERT(a.data(), &n, &kl, &eps, b.data(), s.ip.data(), s.x.data(), &s.ifail);
    return s;
}

TEST(TVERT, SolvesAConsistentOverdeterminedSystem) {
    // x = (1, -2, 0.5, 3): five rows, the last the sum of the first two
    const std::vector<std::vector<double>> rows = {
        {2, 1, 0, 1}, {1, 3, -1, 0}, {0, 1, 4, 1}, {1, 0, 2, 5}, {3, 4, -1, 1}};
    const std::vector<double> x = {1, -2, 0.5, 3};
    std::vector<double> b;
    for (const auto& r : rows) b.push_back(r[0] * x[0] + r[1] * x[1] + r[2] * x[2] + r[3] * x[3]);
    const Solve s = tvert(rows, b, 2);
    ASSERT_EQ(s.ifail, 0);
    for (int j = 0; j < 4; ++j) EXPECT_NEAR(s.x[j], x[j], 1e-14) << j;
}

TEST(TVERT, EqualPivotsKeepTheRowFirstInOrder) {
    // column 1 holds 2 and -2: row 1 stays the first pivot; x = (1, 2)
    const Solve s = tvert({{2, 1}, {-2, 3}, {1, 1}}, {4, 4, 3});
    ASSERT_EQ(s.ifail, 0);
    EXPECT_EQ(s.ip[0], 1);
    EXPECT_DOUBLE_EQ(s.x[0], 1.0);
    EXPECT_DOUBLE_EQ(s.x[1], 2.0);
}

TEST(TVERT, FreeLastUnknownIsOne) {
    // rank 1 of 2 unknowns, consistent: x(2) = 1 and x(1) from it
    const Solve s = tvert({{1, 1}, {2, 2}, {4, 4}}, {2, 4, 8});
    ASSERT_EQ(s.ifail, 0);
    EXPECT_EQ(s.ip[0], 3);  // largest magnitude in column 1
    EXPECT_DOUBLE_EQ(s.x[1], 1.0);
    EXPECT_DOUBLE_EQ(s.x[0], 1.0);
}

TEST(TVERT, SingleUnknownTakesTheLargerRow) {
    const Solve s = tvert({{0}, {2}}, {0, 4});
    ASSERT_EQ(s.ifail, 0);
    EXPECT_DOUBLE_EQ(s.x[0], 2.0);
}

TEST(TVERT, FailuresLeaveTheSolutionUnwritten) {
    struct Case {
        std::vector<std::vector<double>> rows;
        std::vector<double> b;
        i32 ifail;
    };
    const std::vector<Case> cases = {
        {{{0, 1, 1}, {0, 2, 1}, {0, 1, 3}, {0, 1, 1}}, {1, 1, 1, 1}, 1},  // zero column 1
        {{{1, 0, 0}, {0, 0, 1}, {1, 0, 1}, {0, 0, 0}}, {1, 1, 2, 0}, 2},  // zero column 2
        {{{1, 0}, {0, 0}, {0, 0}}, {1, 1, 0}, 2},      // last pivot 0, right-hand side 1: n
        {{{1, 0}, {0, 0}, {0, 1e-40}}, {1, 0, 1}, 3},  // the (tiny) last row used: n + 1
    };
    for (const Case& c : cases) {
        const Solve s = tvert(c.rows, c.b);
        EXPECT_EQ(s.ifail, c.ifail);
        for (double v : s.x) EXPECT_EQ(v, -99.0);
    }
}

TEST(TVERT, RefusesBadExtents) {
    using vorlen::errorhandling::errstat;
    double a[4] = {1, 1, 1, 1}, b[3] = {1, 1, 1}, x[2] = {-99, -99};
    i32 ip[3], ifail = 5;
    const double eps = 1e-30;
    const i32 n = 2, short_kl = 2, negative = -1, kl = 3;
    errstat = 0;
    TVERT(a, &n, &short_kl, &eps, b, ip, x, &ifail);
    EXPECT_EQ(ifail, -1);
    EXPECT_EQ(errstat, -3);
    errstat = 0;
    TVERT(a, &negative, &kl, &eps, b, ip, x, &ifail);
    EXPECT_EQ(ifail, -1);
    EXPECT_EQ(errstat, -3);
    errstat = 0;
    const i32 zero = 0;
    TVERT(a, &zero, &kl, &eps, b, ip, x, &ifail);  // nothing to solve
    EXPECT_EQ(ifail, 0);
    EXPECT_EQ(x[0], -99);
}

TEST(QVSKPX, StridedProduct) {
    const double a[9] = {1, 2, 3, 4, 5, 6, 7, 8, 9}, b[3] = {1, 10, 100};
    const i32 three = 3, one = 1, zero = 0;
    EXPECT_EQ(QVSKPX(a, b, &three, &three, &one), 1 * 1 + 4 * 10 + 7 * 100);
    EXPECT_EQ(QVSKPX(a, b, &zero, &three, &one), 0.0);
    const i32 minus = -2;
    EXPECT_EQ(QVSKPX(a, b, &minus, &three, &one), 0.0);
}

TEST(QVSKPX, NegativeStrideIsRefused) {
    using vorlen::errorhandling::errstat;
    const double a[3] = {1, 2, 3}, b[3] = {1, 10, 100};
    const i32 three = 3, one = 1, back = -1;
    errstat = 0;
    EXPECT_EQ(QVSKPX(a, b, &three, &back, &one), 0.0);  // would read a[0], a[-1], a[-2]
    EXPECT_EQ(errstat, -3);
    errstat = 0;
    EXPECT_EQ(QVSKPX(a, b + 2, &three, &one, &back), 0.0);
    EXPECT_EQ(errstat, -3);
    errstat = 0;
    EXPECT_EQ(QVSKPX(a, b, &one, &back, &back), 1.0);  // one product reads only the first
    EXPECT_EQ(errstat, 0);
}

}  // namespace
