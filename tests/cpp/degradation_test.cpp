// Paths of the evolution laws and degradation models that Python cannot reach: absent optional
// arguments, arrays exactly as short as the extents say (read past them, the sanitizer build
// fails), and outputs that share storage with inputs.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <memory>

#include "base/errorhandling.hpp"
#include "failure/degradation_discount.hpp"
#include "failure/degradation_models.hpp"
#include "failure/evocollection.hpp"
#include "failure/fracture.hpp"
#include "test_support.hpp"

using namespace vorlen;
using namespace vorlen::degradation;

namespace {

using DegradationTest = test::RegisterTest;

// A heap array of exactly n values, so that a read past its end is caught.
std::unique_ptr<double[]> exact(std::initializer_list<double> v) {
    auto p = std::make_unique<double[]>(v.size());
    std::copy(v.begin(), v.end(), p.get());
    return p;
}

TEST_F(DegradationTest, ShortFracturePlaneRecordOrPropertiesAreNotRead) {
    const double s[6] = {10, 40, -5, 3, 2, 8}, e[6] = {1e-3, 4e-3, 0, 1e-3, 0, 2e-3};
    const double cel[3] = {1, 1, 1};
    const i32 mode = 3;
    for (const auto& [nsdv, nprops] : std::initializer_list<std::pair<i32, i32>>{{3, 5}, {4, 4}, {0, 0}}) {
        auto sdv = exact({-1, -1, -1, -1});
        auto props = exact({0.3, 1, 1, 1, 1});
        double d = 7.0;
        test::RegisterTest::reset();
        BogenfeldDegradation(&d, nsdv ? sdv.get() : nullptr, s, e, cel,
                             nprops ? props.get() : nullptr, &mode, &nsdv, &nprops);
        EXPECT_EQ(d, 0.0);
        EXPECT_EQ(errorhandling_errstat, -3);
        for (int i = 0; i < 4; ++i) EXPECT_EQ(sdv[i], -1.0);
    }
}

TEST_F(DegradationTest, MixedModeWithTwoToughnessesReadsTwo) {
    auto gc = exact({0.3, 0.9});
    const double t[3] = {10, 2, 3};
    const i32 n = 2;
    double geq = 5.0;
    fracture::GetEquivalentMixedModeERR(&geq, t, gc.get(), &n);
    EXPECT_EQ(geq, 0.0);
    EXPECT_EQ(errorhandling_errstat, -3);
}

TEST_F(DegradationTest, EmptyTablesAreNotTouched) {
    const double nodmg = 0.0;
    const i32 zero = 0, three = 3, minus = -3;
    EXPECT_EQ(__degradation_MOD_getaccumulateddamage(nullptr, &nodmg, &zero, &three), 0.0);
    EXPECT_EQ(errorhandling_errstat, -3);
    const double degrf[9] = {};
    GetNyeDegradationMatrix(nullptr, degrf, &minus, nullptr);  // writes nothing
    EXPECT_EQ(errorhandling_errstat, -3);  // the first report stays
    evocollection::TimeRegularization(nullptr, nullptr, nullptr, &nodmg, &nodmg, &zero);
}

TEST_F(DegradationTest, AbsentOptionalsTakeTheirDefaults) {
    // SuddenDegradation: nm absent as all -1.
    const double pe[9] = {140e3, 10e3, 10e3, 5e3, 5e3, 3.5e3, 0.3, 0.3, 0.45};
    const double ps[9] = {2000, 1200, 50, 200, 50, 200, 80, 80, 60};
    const double ttol[2] = {1.0, 0.9}, degrfac = 0.1, nm[6] = {-1, -1, -1, -1, -1, -1};
    std::array<double, 9> a_pe, a_ps, b_pe, b_ps, a_df, b_df;
    std::array<double, 6> a_de, b_de;
    a_pe = b_pe = {140e3, 10e3, 10e3, 5e3, 5e3, 3.5e3, 0.3, 0.3, 0.45};
    a_ps = b_ps = {2000, 1200, 50, 200, 50, 200, 80, 80, 60};
    a_de.fill(1.0), b_de.fill(1.0), a_df.fill(1.0), b_df.fill(1.0);
    double agf = 0.2, agm = 1.0, bgf = 0.2, bgm = 1.0;
    SuddenDegradation(a_pe.data(), a_ps.data(), pe, ps, a_de.data(), a_df.data(), &agf, &agm,
                      ttol, &degrfac, nullptr);
    SuddenDegradation(b_pe.data(), b_ps.data(), pe, ps, b_de.data(), b_df.data(), &bgf, &bgm,
                      ttol, &degrfac, nm);
    EXPECT_EQ(a_pe, b_pe);
    EXPECT_EQ(a_de, b_de);
    EXPECT_EQ(a_df, b_df);
    EXPECT_EQ(a_de[1], 0.1);

    // FalcomDegradation: fa absent as (0.3, 0.3, 0.5, 0.5).
    double dds[10] = {1, 0, 0, 1, 0, 1, 0, 0, 0, 0};
    const double rdisc = 1.0, fa[4] = {0.3, 0.3, 0.5, 0.5};
    const i32 degrid = 2;
    const lgl tape = 1;
    double fa_absent[9], fa_given[9];
    FalcomDegradation(fa_absent, dds, &rdisc, &degrid, &tape, nullptr);
    FalcomDegradation(fa_given, dds, &rdisc, &degrid, &tape, fa);
    for (int i = 0; i < 9; ++i) EXPECT_EQ(fa_absent[i], fa_given[i]);
    EXPECT_EQ(fa_absent[0], 0.3);
    EXPECT_EQ(fa_absent[1], 0.5);

    // GetNyeDegradationMatrix: psflag absent as three-dimensional.
    const double degrf[9] = {.1, .2, .3, .4, .5, .6, .7, .8, .9};
    const i32 six = 6;
    double m[36];
    GetNyeDegradationMatrix(m, degrf, &six, nullptr);
    EXPECT_EQ(m[2 + 2 * 6], 0.9);
    EXPECT_EQ(m[5 + 5 * 6], 0.6);

    // DGStrainRhead: r_stiff absent as 0.
    const double eps_c = 0.004, gic = 0.25, a11 = 4e4, r = 0.0;
    EXPECT_EQ(evocollection::DGStrainRhead(&eps_c, &gic, &a11, nullptr),
              evocollection::DGStrainRhead(&eps_c, &gic, &a11, &r));
    EXPECT_EQ(errorhandling_errstat, 0);
}

TEST_F(DegradationTest, ModeCouplingWithoutModuliGivesNoStiffness) {
    const double d_modes[9] = {1, 0, 0, 0, 0, 0, 0, 0, 0};
    const double moduli[9] = {1, 1, 1, 1, 1, 1, 1, 1, 1};
    double w[9], c[36];
    std::fill_n(c, 36, 5.0);
    const lgl sum = 1;
    DegradationFromModes(d_modes, w, &sum, c, moduli, nullptr, nullptr);
    for (double x : c) EXPECT_EQ(x, 0.0);
    EXPECT_EQ(w[0], 1.0);
    EXPECT_EQ(w[1], 0.5);
    EXPECT_EQ(w[8], 1.0);
}

TEST_F(DegradationTest, OutputsMayBeInputs) {
    // Mode damages replaced by the stiffness damages they give.
    double d[9] = {0, 0, 0.4, 0.6, 0, 0.3, 0, 0, 0.2};
    double c[36];
    const lgl largest = 0;
    DegradationFromModes(d, d, &largest, c, nullptr, nullptr, nullptr);
    EXPECT_DOUBLE_EQ(d[2], 0.6);
    EXPECT_DOUBLE_EQ(d[7], 0.6);

    // A damaged stiffness written over the undamaged one.
    double csix[36] = {}, cdeg[36];
    for (int i = 0; i < 6; ++i) csix[i + 6 * i] = 100.0 + i;
    csix[1] = csix[6] = 20.0;
    const double angle = 0.7, dmg = 0.4;
    const i32 base = 2, nn = 0;
    TensorDegradation(csix, cdeg, &angle, &dmg, &base, &nn);
    TensorDegradation(csix, csix, &angle, &dmg, &base, &nn);
    for (int i = 0; i < 36; ++i) EXPECT_EQ(csix[i], cdeg[i]);

    // Damages regularised in place.
    double old_d[2] = {0.1, 0.5}, new_d[2] = {0.3, 0.9};
    const double dt = 0.1, reg = 1.0;
    const i32 two = 2;
    evocollection::TimeRegularization(old_d, new_d, new_d, &dt, &reg, &two);
    EXPECT_DOUBLE_EQ(new_d[0], 0.2);
    EXPECT_DOUBLE_EQ(new_d[1], 0.7);

    // The Matzenmiller stiffness written where its damages were.
    double buf[36] = {0.0, 0.0, 0.0};
    const double props[9] = {100, 10, 10, 4, 5, 5, 0.3, 0.3, 0.3};
    const double zero = 0.0;
    MatzenmillerDegradation(props, buf, buf, &zero, &zero, &zero);
    EXPECT_GT(buf[0], 100.0);
    EXPECT_TRUE(std::isfinite(buf[0]));
}

}  // namespace
