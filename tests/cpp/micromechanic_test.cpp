// Micromechanics called from C with optional arguments left out (null pointers), which the
// Python binding never does.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>

#include "base/errorhandling.hpp"
#include "core/math_linalg.hpp"
#include "materials/isscollection.hpp"
#include "materials/micromechanic.hpp"

using namespace vorlen;
using namespace vorlen::micromechanic;

namespace {

using M = std::array<double, 36>;
using V9 = std::array<double, 9>;
using V12 = std::array<double, 12>;

const double fib[5] = {230e3, 15e3, 24e3, 5.5e3, 0.25};
const double resinprops[2] = {3.5e3, 0.35};  // Em, num

void clear_register() {
    i32 reset;
    const lgl yes = 1;
    errorhandling_rsxerr(&reset, &yes);
}

M compliance(const double* props) {
    M s;
    GetVoigtComplianceMatrix(s.data(), props);
    return s;
}

M stiffness(const double* props) {
    M s = compliance(props), c;
    const i32 six = 6;
    math::MatrixInverse(s.data(), c.data(), &six);
    return c;
}

M cylinder(double nu) {
    M e;
    const i32 kind = 1;
    const double ratio = 1.0;
    GetEshelbyTensor(e.data(), &kind, &ratio, &nu, nullptr);
    return e;
}

const double resin[5] = {3.5e3, 3.5e3, 3.5e3 / 2.7, 3.5e3 / 2.7, 0.35};

}  // namespace

TEST(MicromechanicAbsent, HalpinTsaiWithoutZeta) {
    const double f4[4] = {230e3, 15e3, 24e3, 0.25}, vf = 0.5, none[2] = {-1.0, -1.0};
    double a[4], b[4];
    HalpinTsai(a, f4, resinprops, &vf, nullptr);
    HalpinTsai(b, f4, resinprops, &vf, none);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(a[i], b[i]);
}

TEST(MicromechanicAbsent, HostOfKind11IsRequired) {
    clear_register();
    M e;
    e.fill(7.0);
    const i32 kind = 11;
    const double ratio = 1.0, nu = 0.3;
    GetEshelbyTensor(e.data(), &kind, &ratio, &nu, nullptr);
    for (double x : e) EXPECT_EQ(x, 0.0);
    EXPECT_EQ(errorhandling::errstat, -3);
    clear_register();
}

TEST(MicromechanicAbsent, DiluteTensorDoesNotReadTheFraction) {
    const M e = cylinder(0.35), cf = stiffness(fib), cm = stiffness(resin);
    const double nan = std::numeric_limits<double>::quiet_NaN(), vinc = 0.3;
    const i32 zero = 0;
    M a, b;
    GetStrainConcentrationTensor(a.data(), e.data(), cf.data(), cm.data(), &nan, nullptr);
    GetStrainConcentrationTensor(b.data(), e.data(), cf.data(), cm.data(), &vinc, &zero);
    EXPECT_EQ(a, b);
}

TEST(MicromechanicAbsent, SchemesTakeTheirDefaults) {
    const double vf = 0.5, zero = 0.0, none[2] = {0.0, 0.0}, one = 1.0, half[2] = {0.5, 0.5},
                 nostrength[4] = {0.0, 0.0, 0.0, 0.0}, threshold = 1e-8;
    const i32 spheres = 0, maxit = 200, hexagonal = 1;
    M sfa, sma, sfb, smb;
    GetPhaseReduction(sfa.data(), sma.data(), fib, resinprops, &vf, nullptr, nullptr, nullptr,
                      nullptr);
    GetPhaseReduction(sfb.data(), smb.data(), fib, resinprops, &vf, &zero, &zero, none, &spheres);
    EXPECT_EQ(sfa, sfb);
    EXPECT_EQ(sma, smb);

    V9 a, b;
    Voigt(a.data(), fib, resinprops, &vf, nullptr, nullptr, nullptr, nullptr);
    Voigt(b.data(), fib, resinprops, &vf, &zero, &zero, none, &spheres);
    EXPECT_EQ(a, b);
    MoriTanaka(a.data(), fib, resinprops, &vf, nullptr, nullptr, nullptr, nullptr, nullptr);
    MoriTanaka(b.data(), fib, resinprops, &vf, &zero, &zero, none, &one, &spheres);
    EXPECT_EQ(a, b);
    CSCS(a.data(), fib, resinprops, &vf, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
         nullptr);
    CSCS(b.data(), fib, resinprops, &vf, &zero, &zero, none, &one, &spheres, &maxit, &threshold);
    EXPECT_EQ(a, b);

    V12 c, d;
    Huang(c.data(), fib, resinprops, &vf, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
    Huang(d.data(), fib, resinprops, &vf, &zero, &zero, none, nostrength, half, &spheres);
    EXPECT_EQ(c, d);
    Cumulative(c.data(), fib, resinprops, &vf, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
               nullptr);
    Cumulative(d.data(), fib, resinprops, &vf, &zero, &zero, none, nostrength, &one, &spheres,
               &hexagonal);
    EXPECT_EQ(c, d);
}

TEST(MicromechanicAbsent, InSituStrengthsTakeTheirDefaults) {
    const double xc11 = 1200.0, xc22 = 200.0, x12 = 80.0, theta = 30.0;
    const double gp[4] = {0.3, 0.2, 0.15, 0.15};
    double a, b;
    isscollection::InSituPuckPS(&a, &xc11, &xc22, &x12, &theta, nullptr);
    isscollection::InSituPuckPS(&b, &xc11, &xc22, &x12, &theta, gp);
    EXPECT_EQ(a, b);
    const double elastic[4] = {140e3, 9e3, 0.3, 4.6e3}, gxc[2] = {0.26, 0.8}, t = 0.0007,
                 tlim = 0.0007;
    double ya[2], yb[2];
    isscollection::InSituLaRC04(ya, elastic, gxc, &xc22, &x12, &t, nullptr);
    isscollection::InSituLaRC04(yb, elastic, gxc, &xc22, &x12, &t, &tlim);
    EXPECT_EQ(ya[0], yb[0]);
    EXPECT_EQ(ya[1], yb[1]);
    const double atod[4] = {1.3, 0.7, 0.0, 1.0}, ratio = 2.0, dt = 45.0;
    isscollection::InSituChangLessard(ya, &xc22, &x12, &ratio, &dt, nullptr);
    isscollection::InSituChangLessard(yb, &xc22, &x12, &ratio, &dt, atod);
    EXPECT_EQ(ya[0], yb[0]);
    EXPECT_EQ(ya[1], yb[1]);
}
