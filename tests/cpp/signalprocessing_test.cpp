// Curve and signal functions called from C with their optional arguments left out (null
// pointers), which the Python binding never does.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "core/signalprocessing.hpp"

using namespace vorlen;
using namespace vorlen::signalprocessing;

TEST(SignalProcessingAbsent, CurvesTakeTheirDefaults) {
    const double x = 3.0, k = 2.0, x0 = 1.0, a = 1.0, kk = 3.0, b = 2.0, q = 0.5, v = 2.0;
    EXPECT_DOUBLE_EQ(signalprocessing_logistic(&x, &k, &x0, nullptr), 1.0 / (1.0 + std::exp(-4.0)));
    EXPECT_DOUBLE_EQ(signalprocessing_generallogistic(&x, &a, &kk, &b, &q, &v, nullptr),
                     1.0 + 2.0 / std::sqrt(1.0 + 0.5 * std::exp(-6.0)));
}

TEST(SignalProcessingAbsent, MeanWithoutWeightsIsEquallyWeighted) {
    const std::vector<double> x{1.0, 4.0};
    const i32 n = 2;
    const double p2 = 2.0, p0 = 0.0;
    EXPECT_DOUBLE_EQ(GeneralizedMean(x.data(), &p2, &n, nullptr), std::sqrt(8.5));
    EXPECT_DOUBLE_EQ(GeneralizedMean(x.data(), &p0, &n, nullptr), 2.0);
}

TEST(SignalProcessingAbsent, MovingAverageWithoutWeights) {
    std::vector<double> a(3, 0.0);
    i32 denom = 0;
    const i32 wb = 3;
    double sma = 0.0;
    for (double r : {1.0, 2.0, 3.0, 4.0})
        WeightedMovingAverage(&sma, &r, a.data(), &denom, &wb, nullptr);
    EXPECT_EQ(sma, 3.0);
    EXPECT_EQ(a, (std::vector<double>{2.0, 3.0, 4.0}));
    EXPECT_EQ(denom, 3);
}

TEST(SignalProcessingAbsent, PeaksWithoutPositionsUseSampleNumbers) {
    const std::vector<double> v{0.0, 2.0, 0.0, 2.0, 0.0};
    const i32 n = 5;
    const double delta = 1.0;
    std::vector<double> maxtab(10), mintab(10);
    i32 nmax = -1, nmin = -1;
    GetPeaks(maxtab.data(), mintab.data(), &nmax, &nmin, v.data(), &delta, &n, nullptr);
    EXPECT_EQ(nmax, 2);
    EXPECT_EQ(nmin, 1);
    EXPECT_EQ(maxtab[0], 2.0);  // maxtab(1,1), column-major
    EXPECT_EQ(maxtab[1], 4.0);  // maxtab(2,1)
    EXPECT_EQ(mintab[0], 3.0);
}
