// The search started from C with a negative sample count, which the Python binding refuses.
#include <gtest/gtest.h>

#include "base/errorhandling.hpp"
#include "core/math_goldensearch.hpp"

using namespace vorlen;

TEST(GoldenSearch, StartWithANegativeCountTouchesNoSample) {
    errorhandling::errstat = 0;
    double xmove[4], lplimits[2];
    i32 incr = 7, subcall = 7;
    lgl golden = 0, finish = 0;
    const double xlow = 0.0, xup = 1.0, dx = 0.1;
    const i32 gsflag = 1, npoints = -2;
    math::IniGoldenSearch(nullptr, nullptr, xmove, lplimits, &incr, &subcall, &golden, &finish,
                          &xlow, &xup, &dx, &gsflag, &npoints);
    EXPECT_EQ(errorhandling::errstat, -3);
    EXPECT_EQ(finish, 1);
    EXPECT_EQ(xmove[1], 1.0);
    errorhandling::errstat = 0;
}
