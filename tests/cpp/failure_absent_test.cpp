// The failure criteria called from C with optional arguments left out (null pointers), which
// the Python binding never produces: each absent value acts as its documented default.
#include <gtest/gtest.h>

#include "failure/delcollection.hpp"
#include "failure/fbcollection.hpp"
#include "failure/gpcollection.hpp"
#include "test_support.hpp"

using namespace vorlen;

namespace {

struct FailureAbsent : test::RegisterTest {};

// A ply stress state in compression with shear, and strengths.
constexpr double s[6] = {-900.0, -40.0, 20.0, 30.0, 25.0, 12.0};
constexpr double xt11 = 2000.0, xc11 = 1200.0, xt22 = 60.0, xc22 = 200.0, xt33 = 50.0,
                 xc33 = 180.0, x12 = 90.0, x13 = 80.0, x23 = 70.0;
constexpr double e11 = 140e3, e22 = 9e3, g12 = 5e3, nu12 = 0.3;

}  // namespace

TEST_F(FailureAbsent, PolynomialsWithoutInteractionAndType) {
    using namespace gpcollection;
    const double zero = 0.0, camanho_none = 1.5;
    const i32 type0 = 0;
    double absent, given;
    GPPolynomial(&absent, &s[0], &s[1], &s[2], &s[3], &s[4], &s[5], &xt11, &xc11, &xt22, &xc22,
                 &xt33, &xc33, &x12, &x13, &x23, nullptr, nullptr);
    GPPolynomial(&given, &s[0], &s[1], &s[2], &s[3], &s[4], &s[5], &xt11, &xc11, &xt22, &xc22,
                 &xt33, &xc33, &x12, &x13, &x23, &zero, &type0);
    EXPECT_EQ(absent, given);
    EXPECT_GT(absent, 0.0);
    GPPolyCamanho(&absent, &s[0], &s[1], &s[2], &s[3], &s[4], &s[5], &xt11, &xc11, &xt22, &xc22,
                  &x12, &x13, &x23, nullptr, nullptr);
    GPPolyCamanho(&given, &s[0], &s[1], &s[2], &s[3], &s[4], &s[5], &xt11, &xc11, &xt22, &xc22,
                  &x12, &x13, &x23, &camanho_none, &type0);
    EXPECT_EQ(absent, given);
    EXPECT_EQ(errorhandling::errstat, 0);
}

TEST_F(FailureAbsent, FibreCriteriaTakeTheirDefaults) {
    using namespace fbcollection;
    double absent, given;
    const double one = 1.0;
    FBHashin(&absent, &s[0], &s[3], &s[4], &xt11, &xc11, &x12, &x13, nullptr);
    FBHashin(&given, &s[0], &s[3], &s[4], &xt11, &xc11, &x12, &x13, &one);
    EXPECT_EQ(absent, given);

    // LaRC04 with transverse tension on the kink plane, where the toughness ratio counts
    const double t[6] = {-300.0, 50.0, 10.0, 20.0, 15.0, 5.0};
    const double gc[2] = {0.0, 0.0}, a0 = 53.0;
    const i32 off = 0;
    FBLaRC04(&absent, &t[0], &t[1], &t[2], &t[3], &t[4], &t[5], &xt11, &xc11, &xt22, &xc22, &x12,
             &e11, &e22, &g12, &nu12, nullptr, nullptr, nullptr);
    FBLaRC04(&given, &t[0], &t[1], &t[2], &t[3], &t[4], &t[5], &xt11, &xc11, &xt22, &xc22, &x12,
             &e11, &e22, &g12, &nu12, gc, &a0, &off);
    EXPECT_EQ(absent, given);
    EXPECT_GT(absent, 0.0);

    const double sainc = 5.0;
    FBLaRC05(&absent, &s[0], &s[1], &s[2], &s[3], &s[4], &s[5], &xt11, &xc11, &xt22, &xc22, &x12,
             &g12, nullptr, nullptr, nullptr, nullptr);
    FBLaRC05(&given, &s[0], &s[1], &s[2], &s[3], &s[4], &s[5], &xt11, &xc11, &xt22, &xc22, &x12,
             &g12, &a0, &sainc, &off, &off);
    EXPECT_EQ(absent, given);
    EXPECT_GT(absent, 0.0);

    const double x_is[9] = {};
    FBLaRC05_is(&absent, &s[0], &s[1], &s[2], &s[3], &s[4], &s[5], &xt11, &xc11, &xt22, &x23,
                &x12, &g12, nullptr, nullptr, nullptr, nullptr, nullptr);
    FBLaRC05_is(&given, &s[0], &s[1], &s[2], &s[3], &s[4], &s[5], &xt11, &xc11, &xt22, &x23,
                &x12, &g12, &a0, &sainc, &off, &off, x_is);
    EXPECT_EQ(absent, given);
    EXPECT_GT(absent, 0.0);

    const double v[6] = {0.0, 80.0, 10.0, 0.0, 0.0, 0.0};
    const double xl = 1800.0, xtn = 50.0, sl = 80.0, st = 60.0, mu = 0.3;
    const i32 six = 6;
    FBBahei(&absent, v, &xl, &xtn, &sl, &st, &mu, &six, nullptr);
    EXPECT_DOUBLE_EQ(absent, 80.0 / 50.0);
    EXPECT_EQ(errorhandling::errstat, 0);
}

TEST_F(FailureAbsent, KinkSearchWithTheResultOverTheStress) {
    // rfb is written only after the search that reads s11 at every sample
    using namespace fbcollection;
    double given, aliased = s[0];
    FBLaRC05(&given, &s[0], &s[1], &s[2], &s[3], &s[4], &s[5], &xt11, &xc11, &xt22, &xc22, &x12,
             &g12, nullptr, nullptr, nullptr, nullptr);
    FBLaRC05(&aliased, &aliased, &s[1], &s[2], &s[3], &s[4], &s[5], &xt11, &xc11, &xt22, &xc22,
             &x12, &g12, nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(aliased, given);
}

TEST_F(FailureAbsent, DelaminationDefaults) {
    using namespace delcollection;
    double absent, given;
    const double gp[4] = {0.3, 0.2, 0.15, 0.15}, da = 1.8, ilss = 80.0;
    for (const double s33 : {-60.0, 20.0}) {
        DelPuck(&absent, &s33, &s[4], &s[5], &xt22, &xc22, &ilss, nullptr);
        DelPuck(&given, &s33, &s[4], &s[5], &xt22, &xc22, &ilss, gp);
        EXPECT_EQ(absent, given);
    }
    DelChoiChang(&absent, &s[1], &s[4], &s[5], &xt22, &xc22, &ilss, &ilss, nullptr);
    DelChoiChang(&given, &s[1], &s[4], &s[5], &xt22, &xc22, &ilss, &ilss, &da);
    EXPECT_EQ(absent, given);
}
