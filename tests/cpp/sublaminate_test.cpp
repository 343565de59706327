// Sub-laminate buckling called from C with an output that shares storage with an input: the
// results are those of the same call with separate outputs.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "failure/sublaminate.hpp"
#include "test_support.hpp"

using namespace vorlen;
using namespace vorlen::sublaminate;

namespace {

struct SublaminateAliasing : test::RegisterTest {};

const double kCfrp[9] = {181000.0, 10300.0, 10300.0, 0.28, 0.28, 0.45, 7170.0, 7170.0, 3550.0};

// n plies of the carbon ply in a buffer of at least `room` doubles.
std::vector<double> plies(int n, std::size_t room = 0) {
    std::vector<double> p(std::max<std::size_t>(9 * n, room), 0.0);
    for (int k = 0; k < n; ++k) std::copy_n(kCfrp, 9, p.begin() + 9 * k);
    return p;
}

TEST_F(SublaminateAliasing, GeometricMatrixInPlaceOfItsAbd) {
    std::vector<double> abd(36, 0.0), inv(36, 0.0), kg(36);
    for (int i = 0; i < 6; ++i) abd[7 * i] = 2.0 + i, inv[7 * i] = 1.0 / (2.0 + i);
    abd[1] = abd[6] = 0.3;
    const double n[3] = {-1.0, 0.2, 0.1}, a = 3.0, b = 2.0, angle = 20.0;
    const i32 shape = 2;
    GetSubKG(kg.data(), n, abd.data(), inv.data(), &a, &b, &angle, &shape);
    GetSubKG(abd.data(), n, abd.data(), inv.data(), &a, &b, &angle, &shape);
    EXPECT_EQ(abd, kg);
}

TEST_F(SublaminateAliasing, BucklingStrainOverItsInputs) {
    const i32 n = 6, shape = 1;
    std::vector<double> size = {12.0, 8.0, 15.0}, angles = {0, 45, -45, 90, 0, 30},
                        thick(6, 0.125), elastic = plies(n);
    const double load[3] = {-1.0, 0.0, 0.0};
    double eps, nx, mode[6];
    GetSubLamBucklingStrain(&eps, &nx, mode, size.data(), load, elastic.data(), angles.data(),
                            thick.data(), &shape, &n);
    // eps over the delamination size, nx over its angle, the mode over the ply angles
    GetSubLamBucklingStrain(&size[0], &size[2], angles.data(), size.data(), load, elastic.data(),
                            angles.data(), thick.data(), &shape, &n);
    EXPECT_EQ(size[0], eps);
    EXPECT_EQ(size[2], nx);
    EXPECT_TRUE(std::equal(mode, mode + 6, angles.begin()));
    EXPECT_EQ(errorhandling::errstat, 0);
}

TEST_F(SublaminateAliasing, StackRecordsOverTheDelaminations) {
    const i32 n = 3;
    const double xc = 1000.0;
    std::vector<double> angles = {0, 45, 0}, thick = {0.1, 0.3, 0.2}, elastic = plies(n);
    std::vector<double> delam(24, 0.0);  // room for the 12 x 2 records
    const double sizes[6] = {12.0, 8.0, 0.0, 9.0, 9.0, 10.0};
    std::copy_n(sizes, 6, delam.begin());
    std::vector<i32> shapes = {1, 1, 0, 0, 0, 0, 0, 0};
    double eps, real[24];
    i32 integer[8];
    DelaminatedBucklingAnalysis(&eps, real, integer, &xc, elastic.data(), angles.data(),
                                thick.data(), delam.data(), shapes.data(), &n);
    double eps2;
    DelaminatedBucklingAnalysis(&eps2, delam.data(), shapes.data(), &xc, elastic.data(),
                                angles.data(), thick.data(), delam.data(), shapes.data(), &n);
    EXPECT_EQ(eps2, eps);
    EXPECT_TRUE(std::equal(real, real + 24, delam.begin()));
    EXPECT_TRUE(std::equal(integer, integer + 8, shapes.begin()));
    EXPECT_EQ(integer[0], 1);
}

TEST_F(SublaminateAliasing, SectionRecordsOverTheSectionData) {
    const i32 n = 3, ndmg = 1, nsec = 1;
    std::vector<double> elastic = plies(n, 24), angles = {0, 45, 0}, thick = {0.1, 0.3, 0.2};
    const double xc = 1000.0, delam[6] = {12.0, 8.0, 0.0, 9.0, 9.0, 10.0};
    const i32 shapes[2] = {1, 1};
    std::vector<i32> ids = {1, 1, 1, 0, 0, 0, 0, 0};
    double real[24];
    i32 integer[8];
    GetBukDataFromDDS(real, integer, delam, shapes, &xc, elastic.data(), angles.data(),
                      thick.data(), ids.data(), &ndmg, &n, &nsec, nullptr);
    // the records over the elastic constants and the section's ply ids
    GetBukDataFromDDS(elastic.data(), ids.data(), delam, shapes, &xc, elastic.data(),
                      angles.data(), thick.data(), ids.data(), &ndmg, &n, &nsec, nullptr);
    EXPECT_TRUE(std::equal(real, real + 24, elastic.begin()));
    EXPECT_TRUE(std::equal(integer, integer + 8, ids.begin()));
    EXPECT_GT(real[0], 0.0);
}

}  // namespace
