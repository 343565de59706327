// Matrix repairs called from C with absent optional arguments (null pointers) and negative
// orders, which the Python binding never produces.
#include <gtest/gtest.h>

#include <array>
#include <cmath>

#include "base/errorhandling.hpp"
#include "core/math_repair.hpp"

using namespace vorlen;

namespace {

struct Register : ::testing::Test {
    void SetUp() override { errorhandling::errstat = 0; }
    void TearDown() override { errorhandling::errstat = 0; }
};

using Repair = Register;

// 2 on the diagonal, -1 beside it; its nearest correlation matrix starts 1, -0.8084, 0.1916,
// 0.1068 (alternating projections).
std::array<double, 16> tridiagonal() {
    std::array<double, 16> a{};
    for (int i = 0; i < 4; ++i) {
        a[i * 5] = 2.0;
        if (i < 3) a[i * 5 + 1] = a[i * 5 + 4] = -1.0;
    }
    return a;
}

}  // namespace

TEST_F(Repair, PowerIterationDefaultsWhenOptionalArgumentsAreAbsent) {
    const double a[4] = {2.0, 0.0, 0.0, -3.0};
    const i32 n = 2;
    double eigenval = 0.0, eigenvec[2] = {};
    math::PowerIteration(&eigenval, eigenvec, a, &n, nullptr, nullptr, nullptr);
    EXPECT_NEAR(eigenval, -3.0, 1e-12);
    EXPECT_NEAR(std::abs(eigenvec[1]), 1.0, 1e-12);
    EXPECT_EQ(errorhandling::errstat, 0);
}

TEST_F(Repair, IsPositiveDefiniteDefaultTolerance) {
    const double a[4] = {1.0, 0.0, 0.0, 1e-9};
    const i32 n = 2;
    EXPECT_EQ(math::IsPositiveDefinite(a, &n, nullptr), 0);
}

TEST_F(Repair, NearestCorrelationMatrixWithoutOptionalArguments) {
    const i32 n = 4;
    const auto a = tridiagonal();
    std::array<double, 16> corr{};
    math::GetNearestCorrelationMatrix(corr.data(), a.data(), &n, nullptr, nullptr, nullptr,
                                      nullptr);
    const double row[4] = {1.0, -0.8084, 0.1916, 0.1068};
    for (int j = 0; j < 4; ++j) EXPECT_NEAR(corr[j * 4], row[j], 5e-5);
    EXPECT_EQ(errorhandling::errstat, 0);
}

TEST_F(Repair, ConjugateGradientOfNegativeOrderWritesNothing) {
    const i32 n = -3;
    math::ConjugateGradient(nullptr, nullptr, nullptr, nullptr, &n, &n);
    EXPECT_EQ(errorhandling::errstat, -3);
}
