// The angle search of the failure criteria: scan and golden-section results against the
// function's known maximum, and the refused scan steps that would never end.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "failure/anglesearch.hpp"
#include "test_support.hpp"

using namespace vorlen;

namespace {
constexpr double pi = 3.141592653589793;
constexpr double deg = pi / 180.0;
const double qnan = std::numeric_limits<double>::quiet_NaN();
const double inf = std::numeric_limits<double>::infinity();

using AngleSearch = test::RegisterTest;
}  // namespace

TEST_F(AngleSearch, ScanTakesEveryStepAndKeepsTheFirstLargest) {
    std::vector<double> seen;
    // cos^2(theta - 1) on [0, pi] by 5 degrees; a plateau of equal values keeps the first.
    const auto f = [&](double t) {
        seen.push_back(t);
        return t > 2.0 ? 2.0 : std::pow(std::cos(t - 1.0), 2);
    };
    const auto r = anglesearch::search(f, 0.0, pi, 5.0 * deg, 0, 100, "Test");
    ASSERT_EQ(seen.size(), 37u);  // 0, 5, ..., 180 degrees (the last one within rounding)
    double x = 0.0;
    for (std::size_t k = 0; k < seen.size(); ++k, x += 5.0 * deg) EXPECT_EQ(seen[k], x);
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.index, 2.0);
    EXPECT_EQ(r.angle, seen[23]);  // 115 degrees, the first above 2 radians
    EXPECT_EQ(errorhandling::errstat, 0);
}

TEST_F(AngleSearch, ScanOfZerosOrNaNsEndsAtTheStart) {
    for (double v : {0.0, -1.0, qnan}) {
        const auto r = anglesearch::search([v](double) { return v; }, 0.1, 0.5, 0.1, 0, 100, "T");
        EXPECT_EQ(r.angle, 0.0);
        EXPECT_EQ(r.index, 0.0);
    }
}

TEST_F(AngleSearch, GoldenSectionFindsTheVertex) {
    int calls = 0;
    const auto f = [&](double t) {
        ++calls;
        return 3.0 - (t - 1.2) * (t - 1.2);
    };
    const auto r = anglesearch::search(f, 0.0, pi, 1e-3, 1, 100, "Test");
    // A parabola: the final vertex is its maximum up to rounding; the index is the value of the
    // last bracket sample, within the bracket width of it.
    EXPECT_NEAR(r.angle, 1.2, 1e-12);
    EXPECT_NEAR(r.index, 3.0, 1e-6);
    EXPECT_LE(calls, 100);
}

TEST_F(AngleSearch, GoldenSectionStopsAtTheSampleLimit) {
    int calls = 0;
    const auto r = anglesearch::search([&](double t) { return ++calls, std::sin(t); }, 0.0, pi,
                                       0.0, 1, 12, "Test");
    EXPECT_EQ(calls, 12);
    EXPECT_NEAR(r.angle, pi / 2, 0.1);
}

struct Refused {
    double xlow, xup, dx;
};

class AngleSearchRefused : public test::RegisterTest,
                           public ::testing::WithParamInterface<Refused> {};

TEST_P(AngleSearchRefused, ScanThatWouldNotEndIsRefusedBeforeAnySample) {
    const Refused c = GetParam();
    int calls = 0;
    const auto r = anglesearch::search([&](double) { return ++calls, 5.0; }, c.xlow, c.xup, c.dx,
                                       0, 100, "MCrckTest");
    EXPECT_EQ(calls, 0);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.index, 0.0);
    EXPECT_EQ(r.angle, 0.0);
    EXPECT_EQ(errorhandling::errstat, -3);
    EXPECT_EQ(std::string(errorhandling::errstring, 80).substr(0, 58),
              "Angle search step not positive or too small in MCrckTest  ");
}

INSTANTIATE_TEST_SUITE_P(Steps, AngleSearchRefused,
                         ::testing::Values(Refused{0.0, pi, 0.0}, Refused{0.0, pi, -5.0 * deg},
                                           Refused{0.0, pi, qnan}, Refused{0.0, pi, -inf},
                                           Refused{0.0, pi, 1e-9 * deg},   // 1.8e11 samples
                                           Refused{0.0, pi, pi * 1e-5 * 0.999},
                                           Refused{qnan, pi, deg}, Refused{0.0, inf, deg},
                                           Refused{-inf, inf, deg}));

TEST_F(AngleSearch, StepAtTheCapIsTakenAndGoldenIgnoresTheStepCheck) {
    int calls = 0;
    auto r = anglesearch::search([&](double) { return ++calls, 1.0; }, 0.0, 1.0, 1e-5, 0, 100,
                                 "T");
    EXPECT_TRUE(r.ok);
    EXPECT_GE(calls, 100000);
    EXPECT_LE(calls, 100001);
    calls = 0;
    r = anglesearch::search([&](double) { return ++calls, 1.0; }, 0.0, 1.0, -1.0, 1, 20, "T");
    EXPECT_TRUE(r.ok);  // a golden search ends at its sample limit whatever its target width
    EXPECT_EQ(calls, 20);
    EXPECT_EQ(errorhandling::errstat, 0);
}

TEST_F(AngleSearch, SampleLimitOutsideTheWorkArraysIsRefused) {
    for (i32 np : {3, 201}) {
        test::RegisterTest::reset();
        int calls = 0;
        const auto r = anglesearch::search([&](double) { return ++calls, 1.0; }, 0.0, 1.0, 0.1,
                                           1, np, "T");
        EXPECT_EQ(calls, 0);
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(errorhandling::errstat, -3);
    }
}
