// Paths of the damage field-variable entries that Python cannot reach: absent material name and
// point record, and the explicit entry writing its new state over the old one.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "core/datahandling.hpp"
#include "core/jobdata.hpp"
#include "core/sectiondata.hpp"
#include "solver/toplevel_damage.hpp"
#include "test_support.hpp"

using namespace vorlen;

namespace {

// Two plies of one section, steps initialization and fatigue; no material tables.
struct ToplevelDamageTest : test::RegisterTest {
    void SetUp() override {
        test::RegisterTest::SetUp();
        sectiondata::nplies = 2;
        sectiondata::nsec = 1;
        jobdata::stepid.allocate({2});
        jobdata::stepid(1) = 0, jobdata::stepid(2) = 1;
    }
    void TearDown() override {
        i32 istat;
        datahandling_deallocall(&istat);
        test::RegisterTest::TearDown();
    }
};

constexpr double kIdentity[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};

TEST_F(ToplevelDamageTest, AbsentNameAndRecordTakeTheLayer) {
    std::vector<double> statev(40, 0.0), field(7, 3.0);
    const double celent = 0.5, time[2] = {}, dtime = 0.1, coord[3] = {};
    const i32 nfield = 7, nstatv = 40, noel = 1, npt = 1, layer = 5, kspt = 1, kstep = 1,
              kinc = 2;
    toplevel::gen_damage(field.data(), statev.data(), kIdentity, kIdentity, &celent, time, &dtime,
                         nullptr, &nfield, &nstatv, &noel, &npt, &layer, &kspt, &kstep, &kinc,
                         coord, nullptr);
    EXPECT_EQ(statev[20], 2.0);  // layer 5 held to the section's two plies
    EXPECT_EQ(statev[21], 1.0);
    EXPECT_EQ(statev[34], 0.5);
    EXPECT_TRUE(std::all_of(field.begin(), field.end(), [](double f) { return f == 0.0; }));
}

TEST_F(ToplevelDamageTest, ExplicitStateInPlace) {
    // Two points, 41 state variables; the same call once into a new array and once in place.
    const i32 nblock = 2, nstatev = 41, nfieldv = 5, nprops = 1, ndir = 3, nshr = 3;
    const i32 jelem[2] = {3, 4}, kintpt = 1, klayer = 1, ksecpt = 1, kstep = 2, threadid = 0;
    const double temp[2] = {20, 20}, steptime = 0.5, totaltime = 0.5, dt = 0.25, props[1] = {};
    const double coordmp[6] = {}, charlength[6] = {1, 1, 1, 1, 1, 1};
    double tdirect[18] = {}, stress[12], strain[12] = {};
    for (int k = 0; k < 2; ++k)
        for (int i = 0; i < 3; ++i) tdirect[k + 2 * i + 6 * i] = 1.0;  // tdirect(k, i, i)
    for (int i = 0; i < 12; ++i) stress[i] = i + 1.0;
    std::vector<double> old(nblock * nstatev, 0.0), fresh(old.size()), field1(10), field2(10);
    old[0] = old[1] = 9.0;
    char cmname[80];
    std::fill_n(cmname, 80, ' ');
    toplevel::vusdfld_dmg(&nblock, &nstatev, &nfieldv, &nprops, &ndir, &nshr, jelem, &kintpt,
                          &klayer, &ksecpt, &kstep, temp, &steptime, &totaltime, &dt, cmname,
                          coordmp, tdirect, tdirect, charlength, props, old.data(), stress,
                          strain, fresh.data(), field1.data(), &threadid);
    std::vector<double> inplace = old;
    toplevel::vusdfld_dmg(&nblock, &nstatev, &nfieldv, &nprops, &ndir, &nshr, jelem, &kintpt,
                          &klayer, &ksecpt, &kstep, temp, &steptime, &totaltime, &dt, cmname,
                          coordmp, tdirect, tdirect, charlength, props, inplace.data(), stress,
                          strain, inplace.data(), field2.data(), &threadid);
    EXPECT_EQ(inplace, fresh);
    EXPECT_EQ(field1, field2);
    // Row 1 of the stress block (solver order 11, 22, 33, 12, 23, 13: 1, 3, 5, 7, 9, 11) in the
    // record at state columns 2 to 7 (Nye order 11, 22, 33, 12, 13, 23)
    const double nye[6] = {1, 3, 5, 7, 11, 9};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(fresh[nblock * (1 + i)], nye[i]) << i;
    EXPECT_EQ(fresh[0], 9.0);
}

}  // namespace
