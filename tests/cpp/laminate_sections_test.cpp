// The laminate section routines called from C with optional arguments left out (null pointers):
// cases the Python binding never produces.
#include <gtest/gtest.h>

#include <vector>

#include "materials/laminate_shape.hpp"
#include "materials/laminate_shear.hpp"

using namespace vorlen;
using namespace vorlen::laminate;

namespace {

// Two sections of up to three plies, the second with two; properties E1, E2, E3, nu12, nu13,
// nu23, G12, G13, G23.
struct Sections {
    static constexpr i32 nplies = 3, nsec = 2, marker = 2147483647;
    std::vector<i32> list{1, 1, 1, 1, 1, marker};
    std::vector<double> angle{0, 45, 90, 30, -30, 0};
    std::vector<double> thick{0.2, 0.1, 0.3, 0.25, 0.25, 0};
    std::vector<double> z{-0.3,  -0.2,   -0.1, -0.05, 0.0,  0.15, 0.3,
                          -0.25, -0.125, 0.0,  0.125, 0.25, 0.0,  0.0};
    std::vector<double> props;
    Sections() {
        const double ply[9] = {140000, 10000, 10000, 0.3, 0.3, 0.45, 5000, 4800, 3400};
        for (int k = 0; k < nplies * nsec; ++k) props.insert(props.end(), ply, ply + 9);
    }
};

}  // namespace

TEST(LaminateSectionsAbsent, SectionFMatrixWithoutMarkerUsesTheDefault) {
    Sections s;
    const i32 n = s.nplies, ns = s.nsec, marker = s.marker;
    std::vector<double> absent(7 * 4 * 2, 9.0), given(7 * 4 * 2, 9.0);
    GetSectionFMatrix(absent.data(), s.list.data(), s.angle.data(), s.thick.data(), s.z.data(),
                      s.props.data(), &n, &ns, nullptr);
    GetSectionFMatrix(given.data(), s.list.data(), s.angle.data(), s.thick.data(), s.z.data(),
                      s.props.data(), &n, &ns, &marker);
    EXPECT_EQ(absent, given);
    EXPECT_NE(absent[1], 0.0);
}

TEST(LaminateSectionsAbsent, ArbitrarySectionFGWithoutCurvatureOrMarker) {
    Sections s;
    const i32 n = s.nplies, ns = s.nsec, marker = s.marker, csflag = 0, fgflag = 1;
    const double flat[2] = {0.0, 0.0};
    std::vector<double> absent(7 * 4 * 2, 9.0), given(7 * 4 * 2, 9.0);
    GetArbitrarySectionFG(absent.data(), s.list.data(), s.angle.data(), s.thick.data(), s.z.data(),
                          s.props.data(), &n, &ns, &csflag, &fgflag, nullptr, nullptr);
    GetArbitrarySectionFG(given.data(), s.list.data(), s.angle.data(), s.thick.data(), s.z.data(),
                          s.props.data(), &n, &ns, &csflag, &fgflag, flat, &marker);
    EXPECT_EQ(absent, given);
    EXPECT_NE(absent[1], 0.0);
}

TEST(LaminateSectionsAbsent, LaminateIntegralWithoutFlagIsNotThermal) {
    Sections s;
    const i32 counts[3] = {2, 2, 2}, nz = 7, n = 3, nprops = 9, stiffness = 0;
    const double expo = 2.0;
    std::vector<double> absent(9 * 7, 9.0), given(9 * 7, 9.0);
    GetArbitraryLaminateIntegral(absent.data(), &expo, s.props.data(), s.angle.data(), s.z.data(),
                                 counts, &nz, &n, &nprops, nullptr);
    GetArbitraryLaminateIntegral(given.data(), &expo, s.props.data(), s.angle.data(), s.z.data(),
                                 counts, &nz, &n, &nprops, &stiffness);
    EXPECT_EQ(absent, given);
    EXPECT_NE(absent[9 * 6 + 4], 0.0);  // column 2 of the last point
}

TEST(LaminateSectionsAbsent, SectionHMatrixWithoutMethodIsImprovedShear) {
    Sections s;
    const i32 n = s.nplies, ns = s.nsec, one = 1, marker = s.marker;
    std::vector<double> absent(8, 9.0), given(8, 9.0);
    GetSectionHMatrix(absent.data(), s.list.data(), s.angle.data(), s.thick.data(), s.props.data(),
                      &n, &ns, nullptr, nullptr);
    GetSectionHMatrix(given.data(), s.list.data(), s.angle.data(), s.thick.data(), s.props.data(),
                      &n, &ns, &one, &marker);
    EXPECT_EQ(absent, given);
    double h[4];
    GetHMatrixImprovedShear(h, s.props.data(), s.angle.data(), s.thick.data(), &n);
    EXPECT_EQ(std::vector<double>(h, h + 4),
              std::vector<double>(absent.begin(), absent.begin() + 4));
}
