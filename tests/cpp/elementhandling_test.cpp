// Element routines as a C caller uses them: absent optional arguments, and outputs that share
// storage with an input (an expansion or reduction in place, mid-points over their vertices).
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "elements/elementhandling_conversions.hpp"
#include "elements/elementhandling_kinds.hpp"
#include "test_support.hpp"

using namespace vorlen;
using namespace vorlen::elementhandling;

namespace {

using ElementCalls = test::RegisterTest;

TEST_F(ElementCalls, ExpansionWithAbsentOptionalsIsPlaneStressWithoutOutOfPlaneValues) {
    const double s[3] = {1, 2, 4}, e[3] = {5, 6, 8}, de[3] = {9, 10, 12};
    std::array<double, 6> s3, e3, de3;
    s3.fill(7), e3.fill(7), de3.fill(7);
    const i32 three = 3, four = 4;
    Get3DInputFromElem(s3.data(), e3.data(), de3.data(), s, e, de, &three, nullptr, nullptr,
                       nullptr, nullptr);
    EXPECT_EQ(s3, (std::array<double, 6>{1, 2, 0, 4, 0, 0}));
    EXPECT_EQ(de3, (std::array<double, 6>{9, 10, 0, 12, 0, 0}));
    // Flags set but no transverse values: nothing out of plane either.
    const i32 one = 1;
    Get3DInputFromElem(s3.data(), e3.data(), de3.data(), s, e, de, &three, nullptr, &one, &one,
                       nullptr);
    EXPECT_EQ(e3, (std::array<double, 6>{5, 6, 0, 8, 0, 0}));
    const double c[4] = {1, 2, 3, 4};
    Get3DInputFromElem(s3.data(), e3.data(), de3.data(), c, c, c, &four, nullptr, nullptr,
                       nullptr, nullptr);  // isaxial absent: plane strain
    EXPECT_EQ(s3, (std::array<double, 6>{1, 2, 3, 4, 0, 0}));
    EXPECT_EQ(errorhandling::errstat, 0);
}

TEST_F(ElementCalls, AxisymmetricExpansionInPlace) {
    // stress(4) at the front of stress3d(6), as a caller expanding its own buffer does.
    std::array<double, 6> s{1, 2, 3, 4, -1, -1}, e{5, 6, 7, 8, -1, -1}, de{1, 1, 1, 1, -1, -1};
    const lgl yes = 1;
    Get3DStressFromPlaneStrain(s.data(), e.data(), de.data(), s.data(), e.data(), de.data(), &yes);
    EXPECT_EQ(s, (std::array<double, 6>{1, 3, 2, 0, 4, 0}));
    EXPECT_EQ(e, (std::array<double, 6>{5, 7, 6, 0, 8, 0}));
}

TEST_F(ElementCalls, ReductionInPlace) {
    // stresselem over stress3d and tangentelem over tangent3d.
    std::array<double, 6> s{1, 3, 2, 0, 4, 0};
    std::array<double, 36> t{};
    for (int k = 0; k < 36; ++k) t[k] = k;
    const std::array<double, 36> t0 = t;
    const i32 four = 4;
    const lgl yes = 1;
    GetElemOutputFrom3D(s.data(), t.data(), s.data(), t.data(), &four, &yes);
    EXPECT_EQ((std::array<double, 4>{s[0], s[1], s[2], s[3]}), (std::array<double, 4>{1, 2, 3, 4}));
    const int pos[4] = {0, 2, 1, 4};
    for (int j = 0; j < 4; ++j)
        for (int i = 0; i < 4; ++i) EXPECT_EQ(t[i + 4 * j], t0[pos[i] + 6 * pos[j]]);
}

TEST_F(ElementCalls, PlaneStressReductionInPlace) {
    std::array<double, 36> c{};
    for (int i = 0; i < 6; ++i) c[i + 6 * i] = 10.0 + i;
    c[0 + 6 * 2] = c[2 + 6 * 0] = 3.0;
    std::array<double, 36> t = c;
    std::array<double, 6> s{10, 20, 30, 40, 50, 60};
    GetPlaneStressOutputFrom3D(s.data(), t.data(), s.data(), t.data());
    // Diagonal but for the 13 coupling: s11 - C13 s33 / C33 and the shear, unchanged.
    EXPECT_NEAR(s[0], 10.0 - 3.0 * 30.0 / 12.0, 1e-12);
    EXPECT_NEAR(s[1], 20.0, 1e-12);
    EXPECT_NEAR(s[2], 40.0, 1e-12);
    EXPECT_NEAR(t[0], 10.0 - 9.0 / 12.0, 1e-12);
    EXPECT_EQ(errorhandling::errstat, 0);
}

TEST_F(ElementCalls, CenterNodesOverTheirVertices) {
    std::vector<double> v{0, 0, 4, 0, 0, 2};
    const i32 ndim = 2, npt = 3;
    GetCenterNodes(v.data(), v.data(), &ndim, &npt);
    EXPECT_EQ(v, (std::vector<double>{2, 0, 2, 1, 0, 1}));
}

TEST_F(ElementCalls, DisplacementVectorOverItsMotion) {
    std::array<double, 40> u{};
    for (int k = 0; k < 12; ++k) u[k] = k + 1;  // two nodes of 6 values at the front of u
    const i32 inodes = 2, mdof = 6;
    GetDisplacementVector(u.data(), u.data(), &inodes, &mdof);
    EXPECT_EQ((std::array<double, 10>{u[0], u[1], u[2], u[3], u[4], u[5], u[6], u[7], u[8], u[9]}),
              (std::array<double, 10>{1, 2, 3, 4, 5, 7, 8, 9, 10, 11}));
    EXPECT_EQ(u[10], 0.0);
}

TEST_F(ElementCalls, PatchWithAbsentOptionals) {
    // Two 2-node elements sharing node 2: the patch of element 1 holds element 2's nodes.
    const double xyz[12] = {0, 0, 0, 1, 0, 0, 1, 0, 0, 2, 0, 0};
    const i32 labels[4] = {1, 2, 2, 3};
    std::array<double, 9> patch;
    patch.fill(5.0);
    const i32 elemid = 1, npt = 3, nnodes = 2, nelem = 2;
    GetNodalPatch(patch.data(), xyz, labels, &elemid, &npt, &nnodes, &nelem, nullptr, nullptr,
                  nullptr, nullptr);
    EXPECT_EQ(patch[0], 1.0);
    EXPECT_EQ(patch[3], 2.0);
    EXPECT_EQ(patch[6], -1.7976931348623157e308);
    EXPECT_EQ(errorhandling::errstat, 0);
}

}  // namespace
