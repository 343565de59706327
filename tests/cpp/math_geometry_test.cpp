// Geometry paths a Python caller cannot see: outputs a caller hands in are always written, and
// empty inputs are never read.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "core/math_geometry.hpp"

using namespace vorlen;

namespace {
constexpr double unset = std::numeric_limits<double>::quiet_NaN();
}

TEST(GetCentroid, WritesZerosForAPolygonWithoutArea) {
    const double x[3] = {0.0, 1.0, 2.0}, y[3] = {0.0, 2.0, 4.0};  // collinear
    const i32 n = 3;
    double c[2] = {unset, unset};
    math::GetCentroid(c, x, y, &n);
    EXPECT_EQ(c[0], 0.0);
    EXPECT_EQ(c[1], 0.0);
}

TEST(GetCentroid, ReadsNothingOfAnEmptyPolygon) {
    const i32 n = 0;
    double c[2] = {unset, unset};
    math::GetCentroid(c, nullptr, nullptr, &n);
    EXPECT_EQ(c[0], 0.0);
    EXPECT_EQ(c[1], 0.0);
}
