// Resin routines as a solver calls them: arrays exactly as long as their counts say (the
// sanitizer build sees any read beyond them), short property and state arrays, extents that do
// not fit, and a stress output that is also an input.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <utility>

#include "base/errorhandling.hpp"
#include "core/materialdata.hpp"
#include "materials/resin.hpp"

using namespace vorlen;
using namespace vorlen::resin;

namespace {

class Resin : public ::testing::Test {
  protected:
    void SetUp() override { errorhandling::errstat = 0; }
    void TearDown() override { errorhandling::errstat = 0; }
};

struct Properties {
    double e, nu, num, gamma, degr, xt, xc, np, aw, ew;
};

Properties resin_properties(const double* props, i32 n, double temp) {
    Properties p;
    const i32 noel = -7;
    GetResinProperties(props, &n, &temp, &p.e, &p.nu, &p.num, &p.gamma, &p.degr, &p.xt, &p.xc,
                       &p.np, &p.aw, &p.ew, &noel);
    return p;
}

}  // namespace

TEST_F(Resin, ShortLawBlocksAreNotReadBeyondTheirEnd) {
    // Sets at 233 K (E 3200) and 293.15 K (E 3000), degr, then 9 of the 11 law values.
    const std::array<double, 30> props = {3200, 0.35, 0.3, 80, 2, 0.5, 1.5, 100, 10, 233,
                                          3000, 0.4,  0.2, 60, 3, 0.7, 2,   90,  12, 293.15,
                                          0.8,  0,    0,   1,  0, 1,   250, 300, 400};
    const Properties p = resin_properties(props.data(), 30, 350.0);
    EXPECT_EQ(p.e, 3000.0);
    EXPECT_EQ(p.degr, 0.8);
    EXPECT_EQ(errorhandling::errstat, -3);

    errorhandling::errstat = 0;
    const Properties z = resin_properties(props.data(), 20, 350.0);
    EXPECT_EQ(z.e, 0.0);
    EXPECT_EQ(z.degr, 0.0);
    EXPECT_EQ(errorhandling::errstat, -3);
}

TEST_F(Resin, ShortPlasticLawBlockIsNotReadBeyondItsEnd) {
    std::array<double, 30> props{};
    for (int k = 0; k < 11; ++k) props[k] = props[12 + k] = 1.0 + k;
    props[11] = 233.0, props[23] = 293.15, props[24] = 0.5;
    const i32 n = 30;
    const double temp = 300.0, eps = 0.0;
    std::array<double, 14> r;
    GetResinPlasticProperties(props.data(), &n, &temp, &eps, &r[0], &r[1], &r[2], &r[3], &r[4],
                              &r[5], &r[6], &r[7], &r[8], &r[9], &r[10], &r[11], &r[12], &r[13]);
    EXPECT_EQ(r[0], 1.0);  // Et of the upper set
    EXPECT_EQ(r[8], 0.5);  // degr
    EXPECT_EQ(errorhandling::errstat, -3);
}

TEST_F(Resin, EquivalentStrainOfACountWithoutALayoutReadsNothing) {
    // Arrays exactly as long as their counts: counts 1, 2 and 5 have neither a reduced nor the
    // six-entry layout.
    const std::array<double, 1> one = {0.01};
    const std::array<double, 2> two = {0.01, -0.02};
    const std::array<double, 5> five = {0.01, 0.02, 0.0, 0.04, 0.02};
    const i32 ndi = 3, n1 = 1, n2 = 2, n5 = 5, n0 = 0;
    const std::pair<const double*, const i32*> cases[] = {
        {one.data(), &n1}, {two.data(), &n2}, {five.data(), &n5}, {one.data(), &n0}};
    for (const auto& [strain, n] : cases) {
        errorhandling::errstat = 0;
        double eq = -1.0;
        EquivalentStrain(strain, &eq, &ndi, n);
        EXPECT_EQ(eq, 0.0) << *n;
        EXPECT_EQ(errorhandling::errstat, -3) << *n;
    }
}

TEST_F(Resin, ExternalDataWithMorePointsThanTheTableHolds) {
    materialdata::temperatures.allocate({2});
    materialdata::temperatures(1) = 250.0, materialdata::temperatures(2) = 350.0;
    // (row, point, column) = (2, 2, 2): x (0, 1) in both rows, y (5, 7) and (6, 8)
    const std::array<double, 8> field = {0, 0, 1, 1, 5, 6, 7, 8};
    const i32 n = 2, ndata = 3;
    const double x0 = 0.5, temp = 300.0;
    double r = -1.0;
    GetExternalData(field.data(), &n, &x0, &temp, &r, "L", &n, &n, &n);
    EXPECT_DOUBLE_EQ(r, 6.5);
    EXPECT_EQ(errorhandling::errstat, 0);
    GetExternalData(field.data(), &ndata, &x0, &temp, &r, "L", &n, &n, &n);
    EXPECT_EQ(r, 0.0);
    EXPECT_EQ(errorhandling::errstat, -3);
    materialdata::temperatures.release();
}

TEST_F(Resin, EndochroneWithShortPropertiesOrStateLeavesTheStateAlone) {
    std::array<double, 10> props;
    props.fill(1.0);
    std::array<double, 41> statev;
    for (int i = 0; i < 41; ++i) statev[i] = i;
    const std::array<double, 6> stran = {1, 2, 3, 4, 5, 6};
    std::array<double, 6> stress;
    stress.fill(std::numeric_limits<double>::quiet_NaN());
    const double dtime = 0.1;
    const lgl yes = 1;
    const i32 np10 = 10, ns42 = 42, np11 = 11, ns41 = 41;
    EndochroneViscoPlasticity(stran.data(), stran.data(), props.data(), stress.data(),
                              statev.data(), &dtime, &np10, &ns42, &yes, &yes);
    for (double s : stress) EXPECT_EQ(s, 0.0);
    std::array<double, 11> props11;
    props11.fill(1.0);
    props11[2] = 0.3;
    stress.fill(1.0);
    EndochroneViscoPlasticity(stran.data(), stran.data(), props11.data(), stress.data(),
                              statev.data(), &dtime, &np11, &ns41, &yes, &yes);
    for (double s : stress) EXPECT_EQ(s, 0.0);
    for (int i = 0; i < 41; ++i) EXPECT_EQ(statev[i], i);
    EXPECT_EQ(errorhandling::errstat, -3);
}

TEST_F(Resin, EndochroneStressMayBeWrittenOverItsStrainIncrement) {
    const std::array<double, 11> props = {2000, 30, 0.35, 800, 40, 100, 200, 300, 400, 500, 600};
    const std::array<double, 6> stran = {0.004, -0.001, 0.002, 0.003, -0.002, 0.001};
    std::array<double, 6> dstrain = {0.001, 0.0005, -0.002, 0.0, 0.001, -0.0015};
    std::array<double, 42> sv1{}, sv2{};
    std::array<double, 6> stress;
    const double dtime = 0.5;
    const lgl yes = 1;
    const i32 np = 11, ns = 42;
    EndochroneViscoPlasticity(stran.data(), dstrain.data(), props.data(), stress.data(), sv1.data(),
                              &dtime, &np, &ns, &yes, &yes);
    EndochroneViscoPlasticity(stran.data(), dstrain.data(), props.data(), dstrain.data(),
                              sv2.data(), &dtime, &np, &ns, &yes, &yes);
    EXPECT_EQ(dstrain, stress);
    EXPECT_EQ(sv1, sv2);
}
