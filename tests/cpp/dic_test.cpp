// Failure load from a stress distribution called from C with outputs that share storage with its
// inputs, and the failure factors with negative extents, which Python cannot pass.
#include <gtest/gtest.h>

#include <vector>

#include "failure/dic.hpp"
#include "test_support.hpp"

using namespace vorlen;
using namespace vorlen::dic;

namespace {
using DicTest = test::RegisterTest;

// Two peaks, the weighted curve rising again on both sides of them, in shuffled order.
const std::vector<double> stress = {40.0, 30.0, 90.0, 20.0, 35.0, 80.0,
                                    25.0, 60.0, 50.0, 70.0, 40.0};
const std::vector<double> coords = {2.0, 0.0, 7.0, 1.0, 10.0, 3.0, 9.0, 4.0, 5.0, 6.0, 8.0};
const double alpha = 0.5, strength = 600.0, load = -12000.0, disp = -0.3, length = 150.0,
             width = 20.0;
}  // namespace

TEST_F(DicTest, OutputsMayShareStorageWithTheInputs) {
    const i32 n = static_cast<i32>(stress.size()), np = 4;
    const std::vector<double> plies = {0.25, 0.25, 0.25, 0.25};
    std::vector<double> fresult(4), dist(2 * n);
    GetComprFailurebyDIC(fresult.data(), dist.data(), stress.data(), coords.data(), plies.data(),
                         &alpha, &strength, &load, &disp, &length, &width, &np, &n);
    ASSERT_EQ(errorhandling::errstat, 0);
    ASSERT_GT(fresult[0], 0.0);

    // The distribution over the stresses and coordinates, fresult over the ply thicknesses.
    std::vector<double> shared(stress);
    shared.insert(shared.end(), coords.begin(), coords.end());
    std::vector<double> thick(plies);
    GetComprFailurebyDIC(thick.data(), shared.data(), shared.data(), shared.data() + n,
                         thick.data(), &alpha, &strength, &load, &disp, &length, &width, &np, &n);
    EXPECT_EQ(thick, fresult);
    EXPECT_EQ(shared, dist);
    EXPECT_EQ(errorhandling::errstat, 0);
}

TEST_F(DicTest, NegativeExtentsReadAndWriteNothing) {
    const i32 neg = -3;
    double fresult[4] = {1.0, 1.0, 1.0, 1.0};
    double guard = 5.0;
    GetComprFailurebyDIC(fresult, &guard, nullptr, nullptr, nullptr, &alpha, &strength, &load,
                         &disp, &length, &width, &neg, &neg);
    for (double f : fresult) EXPECT_EQ(f, 0.0);
    EXPECT_EQ(guard, 5.0);
    EXPECT_EQ(errorhandling::errstat, -3);

    test::RegisterTest::reset();
    EXPECT_EQ(GetDmgInfluenceFactor(nullptr, nullptr, nullptr, &neg), 1.0);
    EXPECT_EQ(errorhandling::errstat, -3);

    test::RegisterTest::reset();
    const double kt = 3.0, radius = 1.0;
    EXPECT_EQ(GetCentralOpenHoleFactor(nullptr, nullptr, nullptr, &kt, &radius, &width, &neg), 0.0);
    EXPECT_EQ(errorhandling::errstat, -3);
}
