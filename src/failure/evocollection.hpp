// Module evocollection: scalar damage evolution laws (bilinear softening with crack-band
// regularisation, relaxation in time), the traction magnitude on a coordinate plane and the
// strain value of a delamination growth criterion.
//
// Damage variables are fractions (0 intact, 1 fully damaged); strains are dimensionless,
// stresses in the caller's unit, fracture toughnesses in energy per area of the same unit
// system, lengths in the model's length unit. Stateless, per integration point, no allocation;
// the only side effect is a report in the first-error register.
#pragma once
#include "base/view.hpp"

namespace vorlen::evocollection {

// Final strain of the bilinear law from the crack band: eps1 = max(2 gc/(lc sig_f), floor eps0),
// the strain at which a band of width lc has dissipated gc. False, eps1 untouched, where the
// quotient is no finite number (lc sig_f = 0 among others).
bool crack_band_strain(double gc, double lc, double sig_f, double eps0, double floor,
                       double& eps1);

extern "C" {

// Damages relaxed towards their new values over the time increment (backward Euler of
// eta d' = d_new - d with eta = reg_factor dt_inc):
// d_reg = eta/(dt_inc + eta) d_old + dt_inc/(dt_inc + eta) d_new, for dt_inc = 0 the limit
// (reg_factor d_old + d_new)/(1 + reg_factor).
//   d_old(num) (in)   damages at the start of the increment
//   d_new(num) (in)   damages the evolution law gives at its end
//   d_reg(num) (out)  regularised damages; may be d_old or d_new itself
//   dt_inc (in)       time increment, not negative
//   reg_factor (in)   relaxation time relative to the time increment, not negative; a negative
//                     reg_factor or dt_inc records code -3 and gives d_new
//   num (in)          number of damages; nothing is done for num <= 0
void TimeRegularization(const double* d_old, const double* d_new, double* d_reg,
                        const double* dt_inc, const double* reg_factor, const i32* num);

// Magnitude of the traction of a symmetric tensor on the plane whose normal is axis nn.
//   tens(6) (in)   tensor in Voigt order (11, 22, 33, 23, 13, 12)
//   nn (in)        1, 2 or 3; another value records code -3 and gives 0
//   scaleq (out)   Euclidean norm of column nn of the 3 by 3 tensor
void EquivalentQuadStressStrain(const double* tens, const i32* nn, double* scaleq);

// Damage of the bilinear law, d = (1 - eps0/eps) eps1/(eps1 - eps0), not clipped: negative
// below the onset strain, above 1 beyond the final strain (the stress E eps (1 - d) falls
// linearly from the onset to 0 at eps1).
//   eps (in)       current strain; eps <= 0 gives d = 0, eps1 unchanged
//   eps0 (in)      onset strain
//   sig_f (in)     onset stress
//   gc (in)        fracture toughness
//   lc (in)        crack-band length: from |lc| >= 1e-3 on the final strain is
//                  max(2 gc/(lc sig_f), 1.2 eps0) and returned in eps1, so that the band
//                  dissipates gc/lc per volume; below, eps1 is kept
//   d (out)        damage; 0 where the law has no value (below)
//   eps1 (in/out)  final strain: kept or set as above. A crack band whose final strain is no
//                  finite number (lc sig_f = 0) and a final strain not above eps0 give d = 0,
//                  eps1 unchanged, and record code -1
// A value read that is NaN or infinite (eps; for eps > 0 also eps0, lc and gc, sig_f of a crack
// band or the eps1 kept) records code -3 "Input not a finite number in BiLinearEvolution"; d
// and eps1 are still those of the law (d = 0 for an eps that is not a number).
void BiLinearEvolution(const double* eps, const double* eps0, const double* sig_f,
                       const double* gc, const double* lc, double* d, double* eps1);

// Strain value of the delamination growth criterion: eps_c z with z the positive root of
// e z^2 + 2 b z - X = 0, b = 1 + r, e = 1 - r, X = 2 gic/(eps_c^2 a11) + 3 + r, r = r_stiff.
// Taken as X/(b + sqrt(X e + b^2)), which needs no division by e (finite at r = 1), and as
// (sqrt(X e + b^2) - b)/e for b <= 0, where that form does not cancel.
//   eps_c (in)              critical strain; 0 gives 0
//   gic (in)                mode I fracture toughness
//   a11 (in)                membrane stiffness
//   r_stiff (in, optional)  stiffness ratio r, 0 when absent
double DGStrainRhead(const double* eps_c, const double* gic, const double* a11,
                     const double* r_stiff);

}  // extern "C"
}  // namespace vorlen::evocollection
