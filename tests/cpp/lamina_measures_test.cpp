// Stress measures and rotated stresses as a solver calls them: reduced vectors are read no further
// than their count, outputs may be their own inputs, and absent optional arguments take their
// defaults. Python cannot reach these paths (its extents always equal the array lengths).
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

#include "base/errorhandling.hpp"
#include "materials/lamina_measures.hpp"
#include "materials/lamina_rotated.hpp"

using namespace vorlen;
using namespace vorlen::lamina;

namespace {

constexpr double unread = std::numeric_limits<double>::quiet_NaN();

class Measures : public ::testing::Test {
  protected:
    void SetUp() override { errorhandling::errstat = 0; }
    void TearDown() override { errorhandling::errstat = 0; }
};

// A 3- or 4-vector followed by entries that must not be read.
std::array<double, 6> reduced(std::initializer_list<double> v) {
    std::array<double, 6> a;
    a.fill(unread);
    std::copy(v.begin(), v.end(), a.begin());
    return a;
}

}  // namespace

TEST_F(Measures, ReducedVectorsAreReadNoFurtherThanTheirCount) {
    // Plane stress (s, 0, t) and plane strain (s, 0, s, t): hand values.
    const double s = 120.0, t = 35.0;
    const auto ps = reduced({s, 0.0, t}), pe = reduced({s, 0.0, s, t});
    const i32 three = 3, four = 4;
    EXPECT_DOUBLE_EQ(GetTrace(ps.data(), &three), s);
    EXPECT_DOUBLE_EQ(GetHydrostaticPressure(pe.data(), &four), 2.0 * s / 3.0);
    EXPECT_DOUBLE_EQ(GetMisesStress(ps.data(), &three), std::sqrt(s * s + 3.0 * t * t));
    EXPECT_DOUBLE_EQ(GetMisesStress(pe.data(), &four), std::sqrt(s * s + 3.0 * t * t));

    double c[6];
    GetTensorComponents(&c[0], &c[1], &c[2], &c[3], &c[4], &c[5], pe.data(), &four, nullptr);
    EXPECT_EQ((std::array<double, 6>{c[0], c[1], c[2], c[3], c[4], c[5]}),
              (std::array<double, 6>{s, 0.0, s, t, 0.0, 0.0}));

    double cm[9];
    GetMeanStress(cm, ps.data(), &three);
    EXPECT_DOUBLE_EQ(cm[0], s / 3.0);
    EXPECT_EQ(cm[1], 0.0);

    double p[3];
    GetPrincipals(p, pe.data(), &four);
    const double r = std::hypot(0.5 * s, t);
    EXPECT_NEAR(p[0], 0.5 * s + r, 1e-12);
    EXPECT_NEAR(p[1], s, 1e-12);
    EXPECT_NEAR(p[2], 0.5 * s - r, 1e-12);

    double flow[6] = {unread, unread, unread, unread, unread, unread};
    GetMisesFlow(flow, ps.data(), &three);
    const double vm = std::sqrt(s * s + 3.0 * t * t);
    EXPECT_DOUBLE_EQ(flow[0], (s - s / 3.0) / vm);
    EXPECT_DOUBLE_EQ(flow[1], (-s / 3.0) / vm);
    EXPECT_DOUBLE_EQ(flow[2], t / vm);
    EXPECT_TRUE(std::isnan(flow[3]));  // not written
    EXPECT_EQ(errorhandling::errstat, 0);
}

TEST_F(Measures, UnsupportedCountReadsNothing) {
    const i32 negative = -1, five = 5;
    double v[6] = {unread, unread, unread, unread, unread, unread}, flow[5] = {1, 1, 1, 1, 1};
    EXPECT_EQ(GetTrace(v, &negative), 0.0);
    GetMisesFlow(flow, v, &negative);  // nothing to write
    EXPECT_EQ(flow[0], 1.0);
    GetMisesFlow(flow, v, &five);
    EXPECT_TRUE(std::all_of(flow, flow + 5, [](double x) { return x == 0.0; }));
    EXPECT_EQ(errorhandling::errstat, -3);
}

TEST_F(Measures, OutputsMayBeTheirInputs) {
    const double stress[6] = {80.0, -35.0, 20.0, 40.0, -25.0, 15.0};
    const i32 six = 6;

    double flow[6], inplace[6];
    std::copy_n(stress, 6, inplace);
    GetMisesFlow(flow, stress, &six);
    GetMisesFlow(inplace, inplace, &six);
    EXPECT_TRUE(std::equal(flow, flow + 6, inplace));

    double cd[9], shared[9] = {};
    std::copy_n(stress, 6, shared);
    GetDeviatoricStress(cd, stress);
    GetDeviatoricStress(shared, shared);
    EXPECT_TRUE(std::equal(cd, cd + 9, shared));

    const double f[9] = {1.1, 0.02, 0.0, 0.3, 0.95, -0.2, -0.05, 0.1, 1.05};
    for (auto measure : {GetSmallStrain, GetGreenStrain, GetAlmansiStrain}) {
        double e[9], g[9];
        std::copy_n(f, 9, g);
        measure(e, f);
        measure(g, g);
        EXPECT_TRUE(std::equal(e, e + 9, g));
    }

    // A stiffness in a rotated basis, written over itself.
    double sc[36], out[36];
    for (int i = 0; i < 36; ++i) sc[i] = i % 7 == 0 ? 100.0 : 3.0;  // 100 on the diagonal
    const double base[9] = {0.6, 0.8, 0.0, -0.8, 0.6, 0.0, 0.0, 0.0, 1.0};
    for (i32 scflag : {0, 1}) {
        const i32 ntflag = 1;
        double work[36];
        std::copy_n(sc, 36, work);
        GetArbitraryBaseSC(out, sc, base, &scflag, &ntflag);
        GetArbitraryBaseSC(work, work, base, &scflag, &ntflag);
        EXPECT_TRUE(std::equal(out, out + 36, work));
    }
    EXPECT_EQ(errorhandling::errstat, 0);
}

TEST_F(Measures, AbsentOptionalArgumentsTakeTheirDefaults) {
    const double tv6[6] = {1, 2, 3, 4, 5, 6}, one = 1.0;
    const i32 six = 6;
    double a[6], b[6];
    GetTensorComponents(&a[0], &a[1], &a[2], &a[3], &a[4], &a[5], tv6, &six, nullptr);
    GetTensorComponents(&b[0], &b[1], &b[2], &b[3], &b[4], &b[5], tv6, &six, &one);
    EXPECT_TRUE(std::equal(a, a + 6, b));

    const double theta = 0.7, axis[3] = {1.0 / 3, -2.0 / 3, 2.0 / 3};
    const double s11 = 80, s22 = -35, s33 = 20, s12 = 15, s13 = -25, s23 = 40;
    const i32 nye = 0, plane3 = 3;
    GetRotatedStresses(a, &theta, axis, &s11, &s22, &s33, &s12, &s13, &s23, nullptr);
    GetRotatedStresses(b, &theta, axis, &s11, &s22, &s33, &s12, &s13, &s23, &nye);
    EXPECT_TRUE(std::equal(a, a + 6, b));
    GetTVectorFromArbitraryRotation(a, &theta, axis, &s11, &s22, &s33, &s12, &s13, &s23, nullptr);
    GetTVectorFromArbitraryRotation(b, &theta, axis, &s11, &s22, &s33, &s12, &s13, &s23, &plane3);
    EXPECT_TRUE(std::equal(a, a + 3, b));
}

TEST_F(Measures, HardeningWithoutRows) {
    const double strain = 0.1, table[2] = {unread, unread};
    const i32 negative = -4;
    double yield = unread, gradient = unread;
    GetHardeningFromTable(&yield, &gradient, &strain, table, &negative);
    EXPECT_EQ(yield, -std::numeric_limits<double>::max());
    EXPECT_EQ(gradient, 0.0);
    EXPECT_EQ(errorhandling::errstat, 0);
}
