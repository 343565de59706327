#include <gtest/gtest.h>
#include "core/errorhandling.hpp"
TEST(Placeholder, Builds) { EXPECT_EQ(vorlen::errorhandling::errstat, 0); }
