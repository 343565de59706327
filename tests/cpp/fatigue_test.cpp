// The Shokrieh driver called from C with outputs that share storage with inputs (the stress
// over the strain or its increment, the backup record over the record): the results of the
// same call with separate arrays, or for the shared records a consistent restore.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cfloat>
#include <vector>

#include "base/errorhandling.hpp"
#include "core/shokriehdata.hpp"
#include "failure/fatigue_shokrieh.hpp"

using namespace vorlen;
using fatigue::GetShokrieh;

namespace {

// Two equal property sets (293 and 353 K) of a carbon/epoxy ply and degr_fac 0.05.
std::vector<double> ply_props() {
    const std::vector<double> set = {
        140e3, 9e3,  9.5e3, 4.6e3, 4.7e3, 3.1e3, 0.3,  0.31, 0.45,  2000, 50,  55,   1200,
        200,   210,  80,    82,    60,    0.9,   0.8,  1.1,  1.0,   1.2,  1.05, 0.7, 0.75, 0.65,
        1.3,   1.4,  1.5,   1.6,   1.7,   1.8,   1.9,  2.0,  2.1,   1.1,  1.2, 1.3,  1.4,  1.5,
        1.6,   0.5,  0.6,   0.7,   0.8,   0.9,   1.0,  1.1,  -0.08, 1.0,  -0.1, 1.05, -0.09,
        0.95,  -0.07, 0.97, -0.075, 0.99, -0.085, 0.0, 0,   0,    0,    0,    0,    0,    0,
        0,     0,    0,     0,     0};
    std::vector<double> p(150, 0.0);
    std::copy(set.begin(), set.end(), p.begin());
    std::copy(set.begin(), set.end(), p.begin() + 74);
    p[73] = 293.0;
    p[147] = 353.0;
    p[149] = 0.05;
    return p;
}

std::array<double, 77> fresh_record() {
    std::array<double, 77> s{};
    s[0] = s[43] = 1.0;
    std::fill(s.begin() + 25, s.begin() + 31, DBL_MAX);
    std::fill(s.begin() + 37, s.begin() + 43, DBL_MAX);
    std::fill(s.begin() + 58, s.begin() + 73, 1.0);
    s[73] = s[74] = 293.0;
    return s;
}

class ShokriehShared : public ::testing::Test {
  protected:
    void SetUp() override {
        i32 reset;
        const lgl yes = 1;
        errorhandling_rsxerr(&reset, &yes);
        shokriehdata::cycleprops.allocate({10, 1});
        const double col[10] = {0, 1, 1, 1, 100, 0, 1, 1, 1, 1e7};
        std::copy_n(col, 10, shokriehdata::cycleprops.data);
    }
    void TearDown() override {
        shokriehdata::cycleprops.release();
        shokriehdata::cycles.release();
    }

    std::vector<double> props = ply_props();
    const i32 nprops = static_cast<i32>(props.size()), noel = 1, kstep[4] = {1, 1, 0, 0};
    const i32 iszflag = 1;
    const double time[2] = {0.75, 0.75}, dtime = 0.25, temp = 293.0, dtemp = 0.0;
};

TEST_F(ShokriehShared, StressOverTheStrainOrItsIncrement) {
    // fibre failure: the stress is computed again with the discounted constants
    const std::array<double, 6> stran = {0.015, -0.001, 0.0005, 0.002, -0.001, 0.0007};
    const std::array<double, 6> dstran = {0.001, 0.0002, 0.0, 0.0003, 0.0, -0.0001};
    const i32 kinc = 4, idc = 0;
    std::array<double, 6> stress{};
    std::array<double, 36> ddsdde{};
    auto statev = fresh_record(), backup = fresh_record();
    GetShokrieh(stress.data(), ddsdde.data(), statev.data(), stran.data(), dstran.data(),
                props.data(), time, &dtime, &temp, &dtemp, &nprops, &noel, kstep, &kinc,
                &iszflag, &idc, backup.data());
    ASSERT_EQ(statev[44], 1.0);  // the fibre failure flag
    for (int which = 0; which < 2; ++which) {
        std::array<double, 6> s = which == 0 ? stran : dstran;  // the stress array, shared
        std::array<double, 36> d{};
        auto sv = fresh_record(), bk = fresh_record();
        GetShokrieh(s.data(), d.data(), sv.data(), which == 0 ? s.data() : stran.data(),
                    which == 1 ? s.data() : dstran.data(), props.data(), time, &dtime, &temp,
                    &dtemp, &nprops, &noel, kstep, &kinc, &iszflag, &idc, bk.data());
        // the old stress is then the strain itself, which only the Hahn-Tsai law would read
        for (int i = 0; i < 6; ++i) EXPECT_DOUBLE_EQ(s[i], stress[i]) << which << " " << i;
        for (int i = 0; i < 77; ++i) EXPECT_DOUBLE_EQ(sv[i], statev[i]) << which << " " << i;
    }
    EXPECT_EQ(errorhandling::errstat, 0);
}

TEST_F(ShokriehShared, BackupOverTheRecordInDirectCyclicSteps) {
    shokriehdata::cycles.allocate({1, 1}, 5.0);
    const std::array<double, 6> stran = {0.004, 0, 0, 0, 0, 0}, dstran{};
    const i32 kinc = 1, idc = 1;
    const double t0[2] = {0.25, 0.25};
    std::array<double, 6> stress{};
    std::array<double, 36> ddsdde{};
    for (double n0 : {1.0, 5.0}) {  // a new cycle number, then a repeated cycle
        auto statev = fresh_record();
        statev[0] = n0;
        GetShokrieh(stress.data(), ddsdde.data(), statev.data(), stran.data(), dstran.data(),
                    props.data(), t0, &dtime, &temp, &dtemp, &nprops, &noel, kstep, &kinc,
                    &iszflag, &idc, statev.data());
        EXPECT_EQ(statev[0], 5.0);
        EXPECT_EQ(statev[43], n0 == 1.0 ? 4.0 : 1.0);
    }
    EXPECT_EQ(errorhandling::errstat, 0);
}

}  // namespace
