// Search and bracketing routines of the table interpolation package (not reachable from Python).
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "interp/interp.hpp"
#include "test_support.hpp"

using vorlen::i32;

namespace {

std::pair<i32, i32> bracket(const std::vector<double>& x, double v) {
    const i32 n = static_cast<i32>(x.size());
    i32 l = -7, r = -7;
    r8vec_bracket(&n, x.data(), &v, &l, &r);
    return {l, r};
}

i32 nearest(const std::vector<double>& a, double v) {
    const i32 n = static_cast<i32>(a.size());
    return r8vec_sorted_nearest(&n, a.data(), &v);
}

TEST(Interp, BracketPicksTheIntervalStartingAtAnEqualSample) {
    const std::vector<double> x{0, 1, 2, 3};
    using P = std::pair<i32, i32>;
    EXPECT_EQ(bracket(x, -5), P(1, 2));
    EXPECT_EQ(bracket(x, 0.5), P(1, 2));
    EXPECT_EQ(bracket(x, 1), P(2, 3));
    EXPECT_EQ(bracket(x, 2), P(3, 4));
    EXPECT_EQ(bracket(x, 10), P(3, 4));
    EXPECT_EQ(bracket(x, NAN), P(3, 4));
    EXPECT_EQ(bracket({0, 1}, -1), P(1, 2));
    // Too short to hold an interval: nothing is read outside the vector.
    EXPECT_EQ(bracket({4}, 1), P(1, 1));
    EXPECT_EQ(bracket({}, 1), P(0, 0));
}

TEST(Interp, SortedNearestInBothDirections) {
    EXPECT_EQ(nearest({0, 1, 2, 3}, 1.4), 2);
    EXPECT_EQ(nearest({0, 1, 2, 3}, 1.5), 3);  // halfway: the larger value
    EXPECT_EQ(nearest({0, 1, 2, 3}, 7), 4);
    EXPECT_EQ(nearest({0, 1, 2, 3}, -7), 1);
    EXPECT_EQ(nearest({3, 2, 1, 0}, 1.6), 2);
    EXPECT_EQ(nearest({3, 2, 1, 0}, 1.4), 3);
    EXPECT_EQ(nearest({3, 2, 1, 0}, 1.5), 2);
    EXPECT_EQ(nearest({5}, 100), 1);
    EXPECT_EQ(nearest({}, 1), -1);
}

TEST(Interp, AscendsStrictly) {
    const double x[] = {1, 1, 2};
    const double y[] = {1, 2, 3};
    const i32 one = 1, two = 2, three = 3, zero = 0;
    EXPECT_EQ(r8vec_ascends_strictly(&one, x), 1);
    EXPECT_EQ(r8vec_ascends_strictly(&zero, x), 1);
    EXPECT_EQ(r8vec_ascends_strictly(&two, x), 0);
    EXPECT_EQ(r8vec_ascends_strictly(&three, y), 1);
}

TEST(Interp, LinearOfSeveralComponents) {
    const double t[] = {0, 1, 2};
    const double p[] = {0, 1, 10, 2, 20, 4};  // p(2, 3): columns (0, 1), (10, 2), (20, 4)
    const double ti[] = {-1, 0.5, 1, 3};
    double r[8];
    const i32 m = 2, n = 3, k = 4;
    interp_linear(&m, &n, t, p, &k, ti, r);
    const double expected[] = {-10, 0, 5, 1.5, 10, 2, 30, 6};
    for (int i = 0; i < 8; ++i) EXPECT_DOUBLE_EQ(r[i], expected[i]) << i;
}

TEST(InterpDeathTest, LinearStopsOnAbscissasThatDoNotAscend) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const double t[] = {0, 1, 1}, p[] = {0, 1, 2}, ti[] = {0.5};
    double r[1];
    const i32 m = 1, n = 3, k = 1;
    EXPECT_EXIT(interp_linear(&m, &n, t, p, &k, ti, r), vorlen::test::exited_nonzero, "");
}

// The timestamp line for a given local time: day, month, year, the hour of the half day and
// the time to the millisecond, and the part of the day.
struct Stamp {
    vorlen::i32 year, month, day, hour, minute, second, ms;
    const char* line;
};

class Timestamp : public ::testing::TestWithParam<Stamp> {};

TEST_P(Timestamp, Line) {
    const Stamp& s = GetParam();
    testing::internal::CaptureStdout();
    vorlen::interp::timestamp(s.year, s.month, s.day, s.hour, s.minute, s.second, s.ms);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), std::string(s.line) + "\n");
}

INSTANTIATE_TEST_SUITE_P(
    Interp, Timestamp,
    ::testing::Values(Stamp{2024, 1, 31, 14, 5, 9, 9, "31 January 2024   2:05:09.009 PM"},
                      Stamp{2024, 6, 1, 12, 0, 0, 250, " 1 June 2024  12:00:00.250 Noon"},
                      Stamp{2024, 6, 1, 12, 0, 1, 0, " 1 June 2024  12:00:01.000 PM"},
                      Stamp{1999, 9, 7, 0, 30, 0, 5, " 7 September 1999   0:30:00.005 AM"},
                      Stamp{2025, 12, 24, 13, 5, 59, 999, "24 December 2025   1:05:59.999 PM"},
                      Stamp{2025, 12, 24, 11, 59, 59, 999, "24 December 2025  11:59:59.999 AM"}));

TEST(Interp, TimestampOfNowIsOneLine) {
    testing::internal::CaptureStdout();
    interp_timestamp_();
    const std::string out = testing::internal::GetCapturedStdout();
    ASSERT_FALSE(out.empty());
    EXPECT_EQ(out.find('\n'), out.size() - 1);
    const std::string part = out.substr(out.rfind(' ') + 1);
    EXPECT_TRUE(part == "AM\n" || part == "PM\n" || part == "Noon\n") << out;
}

}  // namespace
