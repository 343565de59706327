// The angle search of the failure criteria: scan and golden-mode results against the function's
// known maximum, and the refused searches that would never end or not see their range.
#include <gtest/gtest.h>

#include <algorithm>
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

// Most samples of the coarse scan of the golden mode without seams, and those of one with
// 1-degree steps over [0, pi]: the golden-section refinements add at most npoints.
constexpr int coarse_most = anglesearch::max_coarse_steps + 1;
constexpr int coarse_degrees = 181;

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
            test::RegisterTest::reset();
            const auto r =
                anglesearch::search([v](double) { return v; }, 0.1, 0.5, 0.1, gsflag, 100, "T");
            EXPECT_EQ(r.angle, 0.0);
            EXPECT_EQ(r.index, 0.0);
            // an index that is not a number on every plane is reported
            EXPECT_EQ(errorhandling::errstat, std::isnan(v) ? -3 : 0);
            if (std::isnan(v)) {
                const std::string text = "Angle search found no plane with a defined index in T";
                EXPECT_EQ(std::string(errorhandling::errstring, 80),
                          text + std::string(80 - text.size(), ' '));
            }
        }
}

TEST_F(AngleSearch, OnePlaneWithAnIndexIsNotReported) {
    for (i32 gsflag : {0, 1}) {
        const auto r = anglesearch::search([](double t) { return t == 0.0 ? 0.5 : qnan; }, 0.0, pi,
                                           5.0 * deg, gsflag, 100, "T");
        EXPECT_EQ(r.index, 0.5);
        EXPECT_EQ(errorhandling::errstat, 0);
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
    EXPECT_LE(calls, coarse_most + 100);
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
    EXPECT_LE(calls, coarse_degrees + anglesearch::seam_samples + 100);
    // the same with more seams than the search takes, and a small sample limit: the first ones
    // inside the range count
    const double many[] = {s, 1.0, 1.5, 2.5, 3.0, 0.5};
    calls = 0;
    const auto m = anglesearch::search([&](double t) { return ++calls, f(t); }, 0.0, pi, 5 * deg, 1,
                                       12, "Test", 0.0, many, 6);
    EXPECT_LE(calls, coarse_degrees + anglesearch::seam_samples * 6 + 12);
    EXPECT_NEAR(m.index, 1.2, 1e-7);
}

TEST_F(AngleSearch, GoldenModeTakesASeamAtTheStartOfACircle) {
    // Period pi, a jump at 0: the index rises to 1 + 0.1 pi toward the end of the half-turn
    // and starts again at 1. The end of the range is sampled, so its value is found.
    const auto f = [](double t) { return 1.0 + 0.1 * t; };
    for (const double seam : {0.0, pi, -pi, 1e-13}) {
        std::vector<double> seen;
        const auto r = anglesearch::search([&](double t) { return seen.push_back(t), f(t); }, 0.0,
                                           pi, 5 * deg, 1, 100, "T", 0.0, &seam, 1, pi);
        EXPECT_EQ(r.index, f(pi));
        EXPECT_NEAR(r.angle, pi, 1e-11);  // the first of samples equal up to 1e-12
        // the start itself and the planes 1e-12 after it and before its end are samples
        for (const double t : {0.0, 1e-12, pi - 1e-12})
            EXPECT_NE(std::find(seen.begin(), seen.end(), t), seen.end()) << t;
    }
}

TEST_F(AngleSearch, GoldenModeTakesTheCopyOfASeamInARange) {
    // Period pi; a range of 50 degrees from 200; the seam given at 30.37 degrees stands for the
    // one at 210.37, where a spike of 1.5 starts and falls off within 0.2 degrees, beside a base
    // of 1.
    const double at = 210.37 * deg, given = 30.37 * deg;
    const auto f = [at](double t) {
        return t < at ? 1.0 : 1.0 + 0.5 * std::exp(-(t - at) / (0.05 * deg));
    };
    const auto r =
        anglesearch::search(f, 200.0 * deg, 250.0 * deg, 5 * deg, 1, 100, "T", 0.0, &given, 1, pi);
    EXPECT_NEAR(r.index, 1.5, 1e-8);
    EXPECT_NEAR(r.angle, at, 1e-8);
}

TEST_F(AngleSearch, GoldenModeGradesTheSamplesTowardASwitch) {
    // A peak of 1.5 a fiftieth of a degree wide, 0.06 degrees before a switch at s, and a broad
    // peak of 1.3 elsewhere: the samples at and beside the switch (1.0 there) and on the grid lie
    // far below the margin of the broad peak, the graded ones find the narrow one.
    const double s = 1.23456, top = s - 0.06 * deg;
    const auto f = [&](double t) {
        return 1.0 + 0.3 * std::exp(-std::pow((t - 2.5) / 0.3, 2)) +
               0.5 * std::exp(-std::pow((t - top) / (0.02 * deg), 2));
    };
    const auto r = anglesearch::search(f, 0.0, pi, 5 * deg, 1, 100, "T", 0.0, &s, 1, pi, 1);
    EXPECT_NEAR(r.index, f(top), 1e-9);
    EXPECT_NEAR(r.angle, top, 1e-6);
    // as a plain seam it is missed
    EXPECT_LT(anglesearch::search(f, 0.0, pi, 5 * deg, 1, 100, "T", 0.0, &s, 1, pi).index, 1.31);
}

TEST_F(AngleSearch, GoldenModeSamplesOnlyItsRangeWhateverItsSeams) {
    // Ranges down to a few rounding steps wide, circles, seams and switches at the ends, on top
    // of each other, outside the range and not numbers, more than the search takes: every
    // sample lies in the range and the result is the largest of them.
    const double q = qnan;
    const double seams[][14] = {
        {0.0, pi, 1.0, 1.0, 1.0 + 1e-13, -pi, 3 * pi, q, 2.0, 0.5, 0.25, 0.125, 0.0625, 1e-300},
        {1.0, 1.0 + 1e-15, 1.0 + 2e-15, 1.0 + 1e-9, q, q, q, q, q, q, q, q, q, q}};
    const double ranges[][2] = {{0.0, pi},          {-pi, 2 * pi},
                                {1.0, 1.0 + 1e-15}, {1.0, 1.0 + 1e-9},
                                {1.0, 1.5},         {0.9, 1.1},
                                {-1e300, -1e300},   {1e6, 1e6 + pi},
                                {0.0, 1e-300},      {pi - 1e-12, pi + 1e-12}};
    for (const auto& range : ranges)
        for (const auto& set : seams)
            for (i32 nswitches : {0, 5, 14})
                for (double period : {0.0, pi}) {
                    SCOPED_TRACE(::testing::Message()
                                 << "[" << range[0] << ", " << range[1] << "] seams " << set[0]
                                 << ".., switches " << nswitches << ", period " << period);
                    std::vector<double> seen;
                    double top = -inf;
                    const auto f = [&](double t) {
                        seen.push_back(t);
                        const double v = 2.0 + std::sin(3.0 * t);
                        top = std::max(top, v);
                        return v;
                    };
                    const auto r = anglesearch::search(f, range[0], range[1], 5 * deg, 1, 200, "T",
                                                       0.0, set, 14, period, nswitches);
                    ASSERT_TRUE(r.ok);
                    for (double t : seen) {
                        ASSERT_GE(t, range[0]);
                        ASSERT_LE(t, range[1]);
                    }
                    EXPECT_EQ(r.index, top);
                }
    EXPECT_EQ(errorhandling::errstat, 0);
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

TEST_F(AngleSearch, GoldenModeRefinementsKeepToTheSampleLimit) {
    // sin(t) + cos(6 t - 3 pi)/50 has three peaks; the highest, 1.02, at pi/2
    for (i32 np : {4, 5, 8, 12, 20, 100, 200}) {
        int calls = 0;
        const auto r = anglesearch::search(
            [&](double t) { return ++calls, std::sin(t) + std::cos(6.0 * t - 3.0 * pi) / 50.0; },
            0.0, pi, 0.0, 1, np, "Test");
        EXPECT_LE(calls, coarse_degrees + np);
        EXPECT_NEAR(r.index, 1.02, 1e-12);
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

// A peak 2 degrees wide at 179.3 degrees of a function with the period pi, on a base of 1
// that rises toward it: 1.5 at the top.
double across_the_end(double t) {
    const double top = 179.3 * deg;
    return 1.0 + 0.2 * std::cos(t - top) * std::cos(t - top) +
           0.3 * std::exp(-std::pow(std::sin(t - top) / (deg), 2));
}

TEST_F(AngleSearch, GoldenModeOverAWholePeriodFindsAPeakAcrossItsEnd) {
    for (const double lo : {0.0, -pi}) {  // one period, and two
        std::vector<double> seen;
        const auto r =
            anglesearch::search([&](double t) { return seen.push_back(t), across_the_end(t); }, lo,
                                pi, 5.0 * deg, 1, 100, "Test", 0.0, nullptr, 0, pi);
        EXPECT_NEAR(r.index, 1.5, 1e-10);
        EXPECT_NEAR(std::remainder(r.angle - 179.3 * deg, pi), 0.0, 1e-5);
        // every sample, the one returned too, lies in the range
        for (double t : seen) {
            EXPECT_GE(t, lo);
            EXPECT_LE(t, pi);
        }
        EXPECT_NE(std::find(seen.begin(), seen.end(), r.angle), seen.end());
        EXPECT_EQ(across_the_end(r.angle), r.index);
    }
}

TEST_F(AngleSearch, RefinementStopsAtAPlaneWithoutAnIndex) {
    // Defined at the coarse samples alone: each refinement stops at its first sample, and the
    // largest coarse sample is the result, with the full sample limit of the work arrays.
    for (i32 np : {4, 100, anglesearch::max_points}) {
        int calls = 0;
        const auto r = anglesearch::search(
            [&](double t) { return ++calls <= coarse_degrees ? std::sin(t) : qnan; }, 0.0, pi,
            5.0 * deg, 1, np, "T");
        EXPECT_EQ(r.index, 1.0);
        EXPECT_NEAR(r.angle, pi / 2, 1e-15);
        EXPECT_EQ(calls, coarse_degrees + 1);  // the one peak, at 90 degrees
        EXPECT_EQ(errorhandling::errstat, 0);
    }
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

constexpr const char* step = "Angle search step not finite, not positive or too small";
constexpr const char* range = "Angle search range not finite or reversed";

INSTANTIATE_TEST_SUITE_P(
    Steps, AngleSearchRefused,
    ::testing::Values(Refused{0.0, pi, 0.0, 0, step}, Refused{0.0, pi, -5.0 * deg, 0, step},
                      Refused{0.0, pi, qnan, 0, step}, Refused{0.0, pi, -inf, 0, step},
                      Refused{0.0, pi, inf, 0, step}, Refused{0.7, 0.7, inf, 0, step},
                      Refused{0.0, pi, 1e-9 * deg, 0, step},  // 1.8e11 samples
                      Refused{0.0, pi, pi * 1e-5 * 0.999, 0, step},
                      Refused{qnan, pi, deg, 0, range}, Refused{0.0, inf, deg, 0, range},
                      Refused{-inf, inf, deg, 0, range}, Refused{0.5, 0.1, 0.1, 0, range},
                      Refused{qnan, pi, deg, 1, range}, Refused{0.0, inf, deg, 1, range},
                      Refused{0.5, 0.1, deg, 1, range}));

TEST_F(AngleSearch, StepAtTheCapOrAsWideAsTheRangeIsTaken) {
    int calls = 0;
    auto r = anglesearch::search([&](double) { return ++calls, 1.0; }, 0.0, 1.0, 1e-5, 0, 100, "T");
    EXPECT_TRUE(r.ok);
    EXPECT_GE(calls, 100000);
    EXPECT_LE(calls, 100001);
    calls = 0;
    r = anglesearch::search([&](double t) { return ++calls, t; }, 0.0, 1.0, 1.0, 0, 100, "T");
    EXPECT_EQ(calls, 2);  // both ends
    EXPECT_EQ(r.index, 1.0);
    // a step wider than the range, or a single plane: the lower end alone
    for (const double xup : {0.7, 0.71}) {
        for (const double dx : {0.1, 1e300}) {
            calls = 0;
            r = anglesearch::search([&](double t) { return ++calls, t; }, 0.7, xup, dx, 0, 100,
                                    "T");
            EXPECT_EQ(calls, 1);
            EXPECT_EQ(r.index, 0.7);
        }
    }
    EXPECT_EQ(errorhandling::errstat, 0);
}

TEST_F(AngleSearch, GoldenModeTakesAnyStep) {
    for (double dx : {-1.0, 0.0, qnan, inf, 1e300, 10.0, 1e-9}) {
        int calls = 0;
        const auto r = anglesearch::search(
            [&](double t) { return ++calls, 2.0 - std::abs(t - 1.0); }, 0.0, pi, dx, 1, 20, "T");
        EXPECT_TRUE(r.ok);
        EXPECT_LE(calls, coarse_most + 20);
        EXPECT_NEAR(r.index, 2.0, 0.05);  // a kink at 1: no parabola fits it
    }
    EXPECT_EQ(errorhandling::errstat, 0);
}

TEST_F(AngleSearch, SampleLimitOutsideTheWorkArraysIsRefused) {
    for (i32 np : {3, 201}) {
        test::RegisterTest::reset();
        int calls = 0;
        const auto r =
            anglesearch::search([&](double) { return ++calls, 1.0; }, 0.0, 1.0, 0.1, 1, np, "T");
        EXPECT_EQ(calls, 0);
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(errorhandling::errstat, -3);
    }
}
