// Paths of the root finders, the numerical tangent and the shear laws that Python cannot reach:
// absent optional arguments, missing functions, outputs that are also inputs, and laws of the
// other kind handed to the tangent.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <vector>

#include "base/errorhandling.hpp"
#include "core/math_roots.hpp"
#include "materials/elasticity.hpp"
#include "materials/nlcollection.hpp"
#include "test_support.hpp"

using namespace vorlen;
using test::RegisterTest;

namespace {

// f(x) = x^2 - args(1), f'(x) = 2x
void square_minus(double* f, double* df, const double* x, const double* args, const i32*,
                  const i32*) {
    *f = *x * *x - args[0];
    *df = 2.0 * *x;
}

using RootsTest = RegisterTest;

TEST_F(RootsTest, RootOutputMayBeAnEndOfTheBracket) {
    const double two = 2.0, xacc = 1e-13;
    const i32 maxit = 100, na = 1, nfun = 0;
    for (auto finder : {math::math_bdsafe, math::math_nrsafe}) {
        double x = 0.0;  // x1 and root at once
        i32 istat = -1;
        finder(square_minus, &x, &two, &x, &two, &xacc, &maxit, &na, &nfun, &istat);
        EXPECT_NEAR(x, std::sqrt(2.0), 1e-12);
        EXPECT_EQ(istat, 0);
    }
}

TEST_F(RootsTest, MissingFunctionIsReported) {
    const double x1 = 0.0, x2 = 1.0, xacc = 1e-9, args = 0.0;
    const i32 maxit = 10, na = 1, nfun = 0;
    double root = 5.0;
    i32 istat = 0;
    math::math_bdsafe(nullptr, &x1, &x2, &root, &args, &xacc, &maxit, &na, &nfun, &istat);
    EXPECT_EQ(istat, 2);
    EXPECT_EQ(errorhandling::errstat, -3);
    double xs = 1.0;
    math::math_fpsafe(nullptr, &xs, &args, &xacc, &maxit, &na, &nfun, &istat);
    EXPECT_EQ((std::pair{xs, istat}), (std::pair{1.0, 2}));
}

TEST_F(RootsTest, CubicRootsMayOverwriteTheCoefficients) {
    double a = 1.0, b = -6.0, c = 11.0, d = -6.0;
    math::Solution3PE(&a, &b, &c, &d, &a, &b, &c);
    EXPECT_NEAR(a, 1.0, 1e-12);
    EXPECT_NEAR(b, 2.0, 1e-12);
    EXPECT_NEAR(c, 3.0, 1e-12);
}

// The linear law stress = K strain with K = props column by column; records the strains.
std::vector<std::vector<double>> seen;
void recording_law(double* stress, const double* strain, const double* props, const i32* ntens,
                   const i32* ndi, const i32* nprops) {
    seen.emplace_back(strain, strain + *ntens);
    elasticity::fGetStressFromAnisotropicHyperelasticity(stress, strain, props, ntens, ndi, nprops);
}

const double K[9] = {4.0, 1.0, 0.5, 1.0, 3.0, 0.25, 0.5, 0.25, 2.0};

using TangentTest = RegisterTest;

TEST_F(TangentTest, StepFromTheLargestMagnitudeOfANegativeStrain) {
    // the largest signed entry (-1e-12) would give a step that vanishes next to -5
    const double dstrain[3] = {-1e-12, -5.0, -3.0}, zero[3] = {};
    const i32 n = 3, ndi = 3, nprops = 9;
    const lgl no = 0;
    double ddsdde[9];
    seen.clear();
    elasticity::elasticity_getnumericaltangent(ddsdde, recording_law, K, zero, zero, dstrain, &n,
                                               &ndi, &nprops, &no, nullptr, nullptr, nullptr);
    ASSERT_EQ(seen.size(), 6u);  // central differences when nmflag is absent
    EXPECT_EQ(seen[0][0] - dstrain[0], std::ldexp(5.0, -26));
    for (int i = 0; i < 9; ++i) EXPECT_NEAR(ddsdde[i], K[i], 1e-6) << i;
}

TEST_F(TangentTest, MissingLawIsReported) {
    const double dstrain[3] = {1e-3, 2e-3, 3e-3}, zero[3] = {};
    const i32 n = 3, ndi = 3, nprops = 9;
    const lgl no = 0;
    double ddsdde[9];
    std::fill_n(ddsdde, 9, 7.0);
    elasticity::elasticity_getnumericaltangent(ddsdde, nullptr, K, zero, zero, dstrain, &n, &ndi,
                                               &nprops, &no, nullptr, nullptr, nullptr);
    EXPECT_EQ(errorhandling::errstat, -3);
    for (double t : ddsdde) EXPECT_EQ(t, 0.0);
}

TEST_F(TangentTest, ZeroStrainTakesTheFixedStep) {
    const double zero[3] = {};
    const i32 n = 3, ndi = 3, nprops = 9;
    const lgl no = 0;
    double ddsdde[9];
    seen.clear();
    elasticity::elasticity_getnumericaltangent(ddsdde, recording_law, K, zero, zero, zero, &n, &ndi,
                                               &nprops, &no, nullptr, nullptr, nullptr);
    EXPECT_EQ(seen[0][0], 1e-08);
    EXPECT_EQ(seen[1][0], -1e-08);
}

TEST_F(TangentTest, ALawOfTheOtherKindStaysInsideItsArrays) {
    // complex law for central differences and real law for the complex step: wrong tangents,
    // but nothing read or written outside the vectors (the sanitizer build checks)
    const double zero[6] = {}, dstrain[6] = {1e-3, 2e-3, 3e-3, 4e-3, 5e-3, 6e-3};
    std::vector<double> props(36, 1.0);
    const i32 n = 6, ndi = 3, nprops = 36, cs = 1, cd = 0;
    const lgl no = 0;
    double ddsdde[36];
    auto* complex_law = reinterpret_cast<elasticity::StressLaw*>(
        elasticity::cGetStressFromAnisotropicHyperelasticity);
    elasticity::elasticity_getnumericaltangent(ddsdde, complex_law, props.data(), zero, zero,
                                               dstrain, &n, &ndi, &nprops, &no, nullptr, nullptr,
                                               &cd);
    elasticity::elasticity_getnumericaltangent(
        ddsdde, elasticity::fGetStressFromAnisotropicHyperelasticity, props.data(), zero, zero,
        dstrain, &n, &ndi, &nprops, &no, nullptr, nullptr, &cs);
    SUCCEED();
}

TEST_F(TangentTest, LawsMayWriteTheStressOverTheStrain) {
    const i32 n = 3, ndi = 3, nprops = 9, packed = 6;
    double x[3] = {1.0, -2.0, 0.5};
    elasticity::fGetStressFromAnisotropicHyperelasticity(x, x, K, &n, &ndi, &nprops);
    EXPECT_DOUBLE_EQ(x[0], 4.0 - 2.0 + 0.25);
    std::complex<double> z[3] = {1.0, -2.0, 0.5};
    const double upper[6] = {4.0, 1.0, 3.0, 0.5, 0.25, 2.0};  // column by column
    elasticity::cGetStressFromAnisotropicHyperelasticity(z, z, upper, &n, &ndi, &packed);
    EXPECT_DOUBLE_EQ(z[1].real(), 1.0 - 6.0 + 0.125);
}

using ShearLawTest = RegisterTest;

TEST_F(ShearLawTest, HahnTsaiWithoutModeIsTheMeasure) {
    const double args[4] = {40.0, 0.0095, 5000.0, 1e-6};
    const i32 na = 4;
    double dout, dnl;
    nlcollection::FPHahnTsai(&dout, args, &na, nullptr);
    nlcollection::NLHahnTsai(&dnl, &args[2], &args[3], &args[0], &args[1]);
    EXPECT_EQ(dout, dnl);
}

TEST_F(ShearLawTest, AdamWithoutStartCyclesTakesAQuarter) {
    const double l = 100.0, x = 40.0, n = 1e3, nf = 1e6, alpha = 2.0, beta = 1.5;
    const double lg[2] = {0.25, 0.25};
    double absent, given;
    nlcollection::NLAdam(&absent, &l, &x, &n, &nf, &alpha, &beta, nullptr);
    nlcollection::NLAdam(&given, &l, &x, &n, &nf, &alpha, &beta, lg);
    EXPECT_DOUBLE_EQ(absent, given);
}

}  // namespace
