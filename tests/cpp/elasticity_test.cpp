// Isotropic laws and plasticity as a solver calls them: outputs that are also inputs, and the
// stress at the start of an increment, which the Python call cannot pass.
#include <gtest/gtest.h>

#include <array>

#include "materials/elasticity_isotropic.hpp"
#include "materials/elasticity_plasticity.hpp"
#include "test_support.hpp"

using namespace vorlen;
using namespace vorlen::elasticity;

namespace {

using Elasticity = test::RegisterTest;
using V6 = std::array<double, 6>;

const V6 kStrain = {0.02, -0.01, 0.005, 0.03, -0.02, 0.01};

using Law = void(double*, const double*, const double*, const i32*, const i32*, const i32*);

// Cubic law with its trailing arguments, as a stress law (no curves: zero stress, code -3).
void cubic(double* s, const double* e, const double* p, const i32* n, const i32* ndi,
           const i32* np) {
    const double c = 0.0;
    const i32 noel = 1;
    GetStressFromCubicElasticity(s, e, p, n, ndi, np, &c, &noel);
}

}  // namespace

TEST_F(Elasticity, LawsWriteTheirStressOverTheirStrain) {
    const std::array<double, 5> props = {3000.0, 40.0, 0.35, 2e-5, 1.0};
    const i32 n = 6, ndi = 3, np = 5;
    for (Law* law :
         {&GetStressFromNonlinearIsotropic, &GetStressFromIsotropicViscoElasticity, &cubic}) {
        V6 apart{}, inplace = kStrain;
        law(apart.data(), kStrain.data(), props.data(), &n, &ndi, &np);
        law(inplace.data(), inplace.data(), props.data(), &n, &ndi, &np);
        EXPECT_EQ(apart, inplace);
    }
    V6 apart{}, inplace = kStrain;
    std::array<double, 36> k{};
    GetStressFromDevVolDecomposition(apart.data(), kStrain.data(), props.data(), &n, &ndi, &np,
                                     k.data());
    GetStressFromDevVolDecomposition(inplace.data(), inplace.data(), props.data(), &n, &ndi, &np,
                                     k.data());
    EXPECT_EQ(apart, inplace);
}

TEST_F(Elasticity, TensorLawWritesOverItsDeviator) {
    const std::array<double, 9> dev = {1.0, 2.0, 3.0, 2.0, -4.0, 5.0, 3.0, 5.0, 3.0};
    const double tr = 0.5, g = 3.0, komp = 4.0, normdev = 1.0, gamma = 2.0;
    const i32 ndi = 3;
    std::array<double, 9> apart{}, inplace = dev;
    GetKaestnerStress(&normdev, &tr, &tr, dev.data(), &g, &gamma, &gamma, &komp, apart.data(),
                      &ndi);
    GetKaestnerStress(&normdev, &tr, &tr, inplace.data(), &g, &gamma, &gamma, &komp, inplace.data(),
                      &ndi);
    EXPECT_EQ(apart, inplace);
}

TEST_F(Elasticity, PlasticityStartsFromTheStressOfTheIncrementStart) {
    // Plane strain (11, 22, 33, 12): below yield, stress = stress0 + K dstran, K with 2 G on
    // the shear diagonal acting on the halved shear.
    const std::array<double, 8> props = {3000.0, 3200.0, 1100.0, 0.35, 0.38, 400.0, 20.0, 0.3};
    std::array<double, 4> stress = {5.0, -3.0, 1.0, 2.0};
    const std::array<double, 4> stran = {1e-3, 0.0, 0.0, 0.0}, dstran = {1e-3, 0.0, 0.0, 2e-3};
    std::array<double, 16> ddsdde;
    double eq = 0.25;
    const i32 n = 4, ndi = 3, np = 8;
    const double temp = 293.0;
    testing::internal::CaptureStdout();
    elasticity_getstressfromplastitcity(stress.data(), &eq, ddsdde.data(), stran.data(),
                                        dstran.data(), props.data(), &n, &ndi, &np, &temp);
    testing::internal::GetCapturedStdout();
    const double h = (1.0 - 0.7) * 1.35;
    EXPECT_DOUBLE_EQ(stress[0], 5.0 + 3000.0 * 0.65 / h * 1e-3);
    EXPECT_DOUBLE_EQ(stress[1], -3.0 + 3000.0 * 0.35 / h * 1e-3);
    EXPECT_DOUBLE_EQ(stress[2], 1.0 + 3000.0 * 0.35 / h * 1e-3);
    EXPECT_DOUBLE_EQ(stress[3], 2.0 + 1100.0 * 2e-3);
    EXPECT_EQ(ddsdde[15], 2200.0);
    EXPECT_EQ(eq, 0.25);
    EXPECT_EQ(errorhandling::errstat, 0);
}
