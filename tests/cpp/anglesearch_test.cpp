// The angle search of the failure criteria: scan and golden-mode results against the function's
// known maximum, and the refused searches that would never end or not see their range.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <ostream>
#include <string>
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

TEST_F(AngleSearch, ZerosOrNaNsEndAtTheStartInBothModes) {
    for (i32 gsflag : {0, 1})
        for (double v : {0.0, -1.0, qnan}) {
            const auto r =
                anglesearch::search([v](double) { return v; }, 0.1, 0.5, 0.1, gsflag, 100, "T");
            EXPECT_EQ(r.angle, 0.0);
            EXPECT_EQ(r.index, 0.0);
        }
}

TEST_F(AngleSearch, GoldenModeFindsTheTopOfASinglePeak) {
    int calls = 0;
    const auto f = [&](double t) {
        ++calls;
        return 3.0 - (t - 1.2) * (t - 1.2);
    };
    const auto r = anglesearch::search(f, 0.0, pi, 1e-3, 1, 100, "Test");
    EXPECT_NEAR(r.angle, 1.2, 1e-5);
    EXPECT_NEAR(r.index, 3.0, 1e-10);
    EXPECT_LE(calls, 100);
}

TEST_F(AngleSearch, GoldenModeFindsTheHigherOfTwoPeaks) {
    // A broad peak of 1 at 0.4 and a narrow one of 1.3 at 2.5 (about six degrees wide): a
    // golden section of the whole range narrows onto the broad one.
    const auto f = [](double t) {
        return std::exp(-std::pow((t - 0.4) / 0.3, 2)) +
               1.3 * std::exp(-std::pow((t - 2.5) / 0.1, 2));
    };
    for (double step : {5.0, 2.0}) {
        const auto r = anglesearch::search(f, 0.0, pi, step * deg, 1, 100, "Test");
        EXPECT_NEAR(r.angle, 2.5, 1e-5);
        EXPECT_NEAR(r.index, 1.3, 1e-10);
    }
}

TEST_F(AngleSearch, GoldenModeFindsTheTopAtASeam) {
    // A broad peak of 1 at 0.8 and, right after a jump at s, a narrow spike of 1.2 falling off
    // steeply: the seam makes the jump an end of two pieces, sampled on both sides.
    const double s = 2.0123;
    const auto f = [s](double t) {
        return t < s ? 1.0 - (t - 0.8) * (t - 0.8) : 1.2 - 30 * (t - s);
    };
    const double seams[] = {qnan, -1.0, s, 9.0};  // the others lie outside the range
    int calls = 0;
    const auto r = anglesearch::search([&](double t) { return ++calls, f(t); }, 0.0, pi, 5 * deg, 1,
                                       100, "Test", 0.0, seams, 4);
    EXPECT_NEAR(r.index, 1.2, 1e-7);
    EXPECT_NEAR(r.angle, s, 1e-8);
    EXPECT_LE(calls, 100);
    // the same with more seams than the search takes, and a sample limit that leaves room for
    // one: the first one inside the range counts
    const double many[] = {s, 1.0, 1.5, 2.5, 3.0, 0.5};
    calls = 0;
    const auto m = anglesearch::search([&](double t) { return ++calls, f(t); }, 0.0, pi, 5 * deg, 1,
                                       12, "Test", 0.0, many, 6);
    EXPECT_LE(calls, 12);
    EXPECT_NEAR(m.index, 1.2, 1e-7);
}

TEST_F(AngleSearch, GoldenModeKeepsTheFirstOfMirrorPeaks) {
    // sin^2(2t) peaks at pi/4 and 3 pi/4 with the same value up to rounding
    const auto f = [](double t) { return std::pow(std::sin(2.0 * t), 2); };
    for (double step : {5.0, 4.0, 3.0}) {
        const auto r = anglesearch::search(f, 0.0, pi, step * deg, 1, 100, "Test");
        EXPECT_NEAR(r.angle, pi / 4, 1e-5);
        EXPECT_NEAR(r.index, 1.0, 1e-12);
    }
}

TEST_F(AngleSearch, GoldenModeKeepsToItsSampleLimit) {
    for (i32 np : {4, 5, 8, 12, 20, 100, 200}) {
        int calls = 0;
        const auto r = anglesearch::search([&](double t) { return ++calls, std::sin(t); }, 0.0, pi,
                                           0.0, 1, np, "Test");
        EXPECT_LE(calls, np);
        EXPECT_LE(r.index, 1.0);
        // better than the coarse samples from 8 samples on (sin(2 pi/5) of 6 of them)
        if (np >= 8) {
            EXPECT_GT(r.index, std::sin(2.0 * pi / 5.0));
        }
    }
}

TEST_F(AngleSearch, GoldenModeOfASinglePlaneTakesOneSample) {
    int calls = 0;
    const auto r =
        anglesearch::search([&](double t) { return ++calls, t; }, 0.7, 0.7, 0.1, 1, 100, "Test");
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(r.angle, 0.7);
    EXPECT_EQ(r.index, 0.7);
}

struct Refused {
    double xlow, xup, dx;
    i32 gsflag;
    const char* problem;
};

std::ostream& operator<<(std::ostream& o, const Refused& c) {
    return o << "[" << c.xlow << ", " << c.xup << "] by " << c.dx << ", gsflag " << c.gsflag;
}

class AngleSearchRefused : public test::RegisterTest,
                           public ::testing::WithParamInterface<Refused> {};

TEST_P(AngleSearchRefused, SearchThatWouldNotEndOrSeeItsRangeIsRefusedBeforeAnySample) {
    const Refused c = GetParam();
    int calls = 0;
    const auto r = anglesearch::search([&](double) { return ++calls, 5.0; }, c.xlow, c.xup, c.dx,
                                       c.gsflag, 100, "MCrckTest");
    EXPECT_EQ(calls, 0);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.index, 0.0);
    EXPECT_EQ(r.angle, 0.0);
    EXPECT_EQ(errorhandling::errstat, -3);
    const std::string text = std::string(c.problem) + " in MCrckTest";
    EXPECT_EQ(std::string(errorhandling::errstring, 80), text + std::string(80 - text.size(), ' '));
}

constexpr const char* small = "Angle search step not positive or too small";
constexpr const char* wide = "Angle search step wider than its range";
constexpr const char* range = "Angle search range not finite or reversed";

INSTANTIATE_TEST_SUITE_P(
    Steps, AngleSearchRefused,
    ::testing::Values(Refused{0.0, pi, 0.0, 0, small}, Refused{0.0, pi, -5.0 * deg, 0, small},
                      Refused{0.0, pi, qnan, 0, small}, Refused{0.0, pi, -inf, 0, small},
                      Refused{0.0, pi, 1e-9 * deg, 0, small},  // 1.8e11 samples
                      Refused{0.0, pi, pi * 1e-5 * 0.999, 0, small},
                      Refused{qnan, pi, deg, 0, small}, Refused{0.0, inf, deg, 0, small},
                      Refused{-inf, inf, deg, 0, small},
                      // a scan that would take xlow alone
                      Refused{0.0, pi, inf, 0, wide}, Refused{0.0, pi, 1e300, 0, wide},
                      Refused{0.0, pi, pi * 1.000001, 0, wide}, Refused{0.5, 0.1, 0.1, 0, wide},
                      Refused{qnan, pi, deg, 1, range}, Refused{0.0, inf, deg, 1, range},
                      Refused{0.5, 0.1, deg, 1, range}));

TEST_F(AngleSearch, StepAtTheCapOrAsWideAsTheRangeIsTaken) {
    int calls = 0;
    auto r = anglesearch::search([&](double) { return ++calls, 1.0; }, 0.0, 1.0, 1e-5, 0, 100,
                                 "T");
    EXPECT_TRUE(r.ok);
    EXPECT_GE(calls, 100000);
    EXPECT_LE(calls, 100001);
    calls = 0;
    r = anglesearch::search([&](double t) { return ++calls, t; }, 0.0, 1.0, 1.0, 0, 100, "T");
    EXPECT_EQ(calls, 2);  // both ends
    EXPECT_EQ(r.index, 1.0);
    calls = 0;
    r = anglesearch::search([&](double t) { return ++calls, t; }, 0.7, 0.7, inf, 0, 100, "T");
    EXPECT_EQ(calls, 1);  // a single plane with any step
    EXPECT_EQ(errorhandling::errstat, 0);
}

TEST_F(AngleSearch, GoldenModeTakesAnyStep) {
    for (double dx : {-1.0, 0.0, qnan, inf, 1e300, 10.0, 1e-9}) {
        int calls = 0;
        const auto r = anglesearch::search(
            [&](double t) { return ++calls, 2.0 - std::abs(t - 1.0); }, 0.0, pi, dx, 1, 20, "T");
        EXPECT_TRUE(r.ok);
        EXPECT_LE(calls, 20);
        EXPECT_NEAR(r.index, 2.0, 0.05);  // a kink at 1: no parabola fits it
    }
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
