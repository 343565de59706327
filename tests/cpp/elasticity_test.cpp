// Isotropic laws as a solver calls them: outputs that are also inputs.
#include <gtest/gtest.h>

#include <array>

#include "materials/elasticity_isotropic.hpp"
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
