// Matrix-cracking criteria called from C with their optional arguments absent (null pointers),
// which Python always passes: each absent value equals its documented default.
#include <gtest/gtest.h>

#include <cmath>

#include "failure/mccollection.hpp"
#include "test_support.hpp"

using namespace vorlen;
using namespace vorlen::mccollection;

namespace {
using MCrckAbsent = test::RegisterTest;

const double s22 = -240.0, s33 = -60.0, s12 = 80.0, s13 = 30.0, s23 = 50.0;
const double yt = 50.0, yc = 200.0, sl = 80.0, st = 60.0;
}  // namespace

TEST_F(MCrckAbsent, PlaneCriteriaTakeTheirDefaults) {
    const double gp[4] = {0.3, 0.2, 0.15, 0.15}, step = 5.0, a0 = 53.0;
    const i32 scan = 0;
    double r1, r2, t1 = -1.0, t2 = -1.0;
    i32 c1 = 0, c2 = 0;
    MCrckPuck(&r1, &s22, &s33, &s12, &s13, &s23, &yt, &yc, &sl, &t1, gp, &step, &scan, &c1);
    MCrckPuck(&r2, &s22, &s33, &s12, &s13, &s23, &yt, &yc, &sl, nullptr, nullptr, nullptr,
              nullptr, &c2);
    EXPECT_EQ(r1, r2);
    EXPECT_GT(r1, 1.0);
    EXPECT_EQ(c1, c2);
    MCrckLaRC05(&r1, &s22, &s33, &s12, &s13, &s23, &yt, &yc, &sl, &a0, &t1, &step, &scan);
    MCrckLaRC05(&r2, &s22, &s33, &s12, &s13, &s23, &yt, &yc, &sl, nullptr, nullptr, nullptr,
                nullptr);
    EXPECT_EQ(r1, r2);
    const double vgp[4] = {0.3, 0.3, 0.25, 0.25}, wp[2] = {0.5, 0.5}, s11 = -900.0;
    const double xt11 = 1500.0, xc11 = 1200.0;
    MCrckVDI2014(&r1, &s11, &s22, &s33, &s12, &s13, &s23, &xt11, &xc11, &yt, &yc, &sl, &t2, vgp,
                 wp, &step, &scan);
    MCrckVDI2014(&r2, &s11, &s22, &s33, &s12, &s13, &s23, &xt11, &xc11, &yt, &yc, &sl, nullptr,
                 nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(r1, r2);
    EXPECT_EQ(errorhandling::errstat, 0);
}

TEST_F(MCrckAbsent, SPC3DStepsTwoDegreesFromTwoTo178) {
    const double xt11 = 1500.0, xc11 = 1200.0, xt33 = 45.0, xc33 = 180.0, xt13 = 70.0;
    const double xcs[3] = {sl, xt13, st}, gp[2] = {0.3, -0.3}, lims[2] = {2.0, 178.0};
    const double two = 2.0, five = 5.0;
    const i32 scan = 0;
    double r_absent, r_two, r_five, t_absent = -1.0, t_two = -1.0;
    MCrckSPC3D(&r_absent, &s22, &s33, &s12, &s13, &s23, &xt11, &xc11, &yt, &yc, &xt33, &xc33,
               &sl, &xt13, &st, nullptr, &t_absent, nullptr, nullptr, nullptr, nullptr);
    MCrckSPC3D(&r_two, &s22, &s33, &s12, &s13, &s23, &xt11, &xc11, &yt, &yc, &xt33, &xc33, &sl,
               &xt13, &st, xcs, &t_two, gp, &two, lims, &scan);
    MCrckSPC3D(&r_five, &s22, &s33, &s12, &s13, &s23, &xt11, &xc11, &yt, &yc, &xt33, &xc33, &sl,
               &xt13, &st, xcs, nullptr, gp, &five, lims, &scan);
    EXPECT_EQ(r_absent, r_two);
    EXPECT_EQ(t_absent, t_two);
    EXPECT_GT(r_absent, 1.0);
    // the angle lies on the grid 2, 4, ... degrees (by repeated addition)
    const double deg = 3.141592653589793 / 180.0;
    const double k = t_absent / (2.0 * deg);
    EXPECT_NEAR(k, std::round(k), 1e-9);
    EXPECT_NE(r_absent, r_five);
}

TEST_F(MCrckAbsent, ClosedFormsTakeTheirDefaults) {
    const double gp3[3] = {0.13, 1.5, 0.4}, m3 = 2.5, gp2[2] = {0.16, 1.16}, m2 = 2.4, x13 = 70.0;
    double r1, r2;
    MCrckCuntze2004(&r1, &s22, &s33, &s12, &s13, &s23, &yt, &yc, &sl, &x13, gp3, &m3);
    MCrckCuntze2004(&r2, &s22, &s33, &s12, &s13, &s23, &yt, &yc, &sl, &x13, nullptr, nullptr);
    EXPECT_EQ(r1, r2);
    MCrckCuntze2012(&r1, &s22, &s33, &s12, &s13, &s23, &yt, &yc, &sl, gp2, &m2);
    MCrckCuntze2012(&r2, &s22, &s33, &s12, &s13, &s23, &yt, &yc, &sl, nullptr, nullptr);
    EXPECT_EQ(r1, r2);
    const double v[6] = {100.0, 30.0, -20.0, 10.0, 5.0, 40.0};
    const i32 six = 6;
    i32 mode = -1;
    MCrckBahei(&r1, v, &yt, &sl, &six, nullptr, nullptr);
    MCrckBahei(&r2, v, &yt, &sl, &six, nullptr, &mode);
    EXPECT_EQ(r1, r2);
    EXPECT_EQ(mode, 1);
}
