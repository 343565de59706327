// Scalar damage evolution laws: time regularisation, bilinear softening with crack band,
// traction magnitude and the strain value of the delamination growth criterion.
#include "failure/evocollection.hpp"

#include <algorithm>
#include <cmath>

#include "base/errorhandling.hpp"
#include "core/math_norms.hpp"
#include "core/math_products.hpp"
#include "failure/criteria_common.hpp"
#include "materials/lamina_notation.hpp"

namespace vorlen::evocollection {

bool crack_band_strain(double gc, double lc, double sig_f, double eps0, double floor,
                       double& eps1) {
    const double band = 2.0 * gc / (lc * sig_f);
    if (!std::isfinite(band)) return false;
    eps1 = std::max(band, floor * eps0);
    return true;
}

extern "C" {

void TimeRegularization(const double* d_old, const double* d_new, double* d_reg,
                        const double* dt_inc, const double* reg_factor, const i32* num) {
    const i32 n = *num;
    if (n <= 0) return;
    const double dt = *dt_inc, reg = *reg_factor;
    if (dt < 0.0 || reg < 0.0) {
        errorhandling::report(-3, "Negative time or relaxation factor", "TimeRegularization");
        std::copy_n(d_new, n, d_reg);  // element by element: d_reg may be d_new itself
        return;
    }
    const double eta = reg * dt;
    for (i32 i = 0; i < n; ++i)
        d_reg[i] = dt == 0.0 ? (reg * d_old[i] + d_new[i]) / (1.0 + reg)
                             : eta / (dt + eta) * d_old[i] + dt / (dt + eta) * d_new[i];
}

void EquivalentQuadStressStrain(const double* tens, const i32* nn, double* scaleq) {
    if (*nn < 1 || *nn > 3) {
        errorhandling::report(-3, "Unknown plane normal", "EquivalentQuadStressStrain");
        *scaleq = 0.0;
        return;
    }
    double t[9], axis[3] = {0.0, 0.0, 0.0}, traction[3];
    axis[*nn - 1] = 1.0;
    lamina::CauchyNotation(t, tens);
    const i32 three = 3;
    math::MatrixVectorProduct(t, axis, traction, &three, &three);
    *scaleq = math::VectorNorm(traction, &three);
}

void BiLinearEvolution(const double* eps, const double* eps0, const double* sig_f,
                       const double* gc, const double* lc, double* d, double* eps1) {
    const double e = *eps, e0 = *eps0;
    *d = 0.0;
    // The comparisons would take values that are not numbers as no damage or no crack band.
    if (!(e > 0.0)) {
        if (std::isnan(e)) criteria::not_finite("BiLinearEvolution");
        return;
    }
    const bool band = std::abs(*lc) >= 1e-3;
    if (!criteria::finite({e, e0, *lc}) ||
        !(band ? criteria::finite({*gc, *sig_f}) : criteria::finite({*eps1})))
        criteria::not_finite("BiLinearEvolution");
    double e1 = *eps1;
    if (band && !crack_band_strain(*gc, *lc, *sig_f, e0, 1.2, e1)) {
        errorhandling::report(-1, "No final strain from the crack band", "BiLinearEvolution");
        return;
    }
    if (!(e1 > e0)) {
        errorhandling::report(-1, "Final strain not above onset strain", "BiLinearEvolution");
        return;
    }
    *eps1 = e1;
    *d = (1.0 - e0 / e) * e1 / (e1 - e0);
}

double DGStrainRhead(const double* eps_c, const double* gic, const double* a11,
                     const double* r_stiff) {
    const double ec = *eps_c;
    if (ec == 0.0) return 0.0;
    const double r = r_stiff ? *r_stiff : 0.0;
    const double b = 1.0 + r, c = 3.0 + r, e = 1.0 - r;
    const double x = 2.0 * *gic / (ec * ec * *a11) + c;
    const double root = std::sqrt(x * e + b * b);
    return (b > 0.0 ? x / (root + b) : (root - b) / e) * ec;
}

}  // extern "C"
}  // namespace vorlen::evocollection
