// The measures called from C without their optional arguments (null pointers).
#include <gtest/gtest.h>

#include "core/imageprocessing.hpp"

using namespace vorlen;

TEST(Shapes, MeasuresWithoutOptionalArguments) {
    const double x = -1.5, y = 0.5, a = 2.0, b = 1.0;
    EXPECT_EQ(imageprocessing::Ellipse(&x, &y, &a, &b, nullptr), 0.8125);
    EXPECT_EQ(imageprocessing::Rectangle(&x, &y, &a, &b, nullptr), 0.75);
    const double p0 = 2.0, p1 = 1.0, s0[2] = {0.0, 0.0}, s1[2] = {4.0, 0.0};
    EXPECT_DOUBLE_EQ(imageprocessing::Line(&p0, &p1, s0, s1, nullptr), 2.0);
}
