// Pressure-dependent plasticity of an isotropic resin (module elasticity): the paraboloid yield
// function f = vm^2 - a0 - a1 p (vm the von Mises stress, p the mean normal stress), the plastic
// potential vm^2 + alpha I1^2/9 of non-associated flow, their gradients, and the stress update by
// an elastic predictor (tension or compression constants by the sign of the strain trace) and
// repeated corrections along the potential gradient.
//
// Vectors in Nye order: 6 entries (11, 22, 33, 12, 13, 23) or 4 (11, 22, 33, 12); the gradients
// also take the plane-stress 3 (11, 22, 12). Shear entries of a gradient are 6 times the shear
// stress. Per integration point: nothing is allocated.
#pragma once
#include "base/view.hpp"

namespace vorlen::elasticity {
extern "C" {

// Gradient of the yield function: (2 s11 - s22 - s33 - a1/3, 2 s22 - s11 - s33 - a1/3,
// 2 s33 - s11 - s22 - a1/3, 6 s12, 6 s13, 6 s23), the entries of the vector's own layout.
//   r(nstress) (out)          gradient; zero with code -3 for a count other than 3, 4 and 6
//   stressvector(nstress) (in)  stress; may be r itself
//   nstress (in)              3, 4 or 6
//   a0 (in)                   not used
//   a1 (in)                   pressure coefficient of the yield function
void elasticity_getderivatef(double* r, const double* stressvector, const i32* nstress,
                             const double* a0, const double* a1);

// Gradient of the plastic potential: as elasticity_getderivatef with the direct entries shifted
// by (2/9) alpha I1 (I1 the trace) instead of -a1/3.
//   r(nstress) (out), stressvector(nstress) (in), nstress (in)  as elasticity_getderivatef
//   alpha (in)                pressure coefficient of the potential
void elasticity_getderivateg(double* r, const double* stressvector, const i32* nstress,
                             const double* alpha);

// Stress update of one increment. Prints its trace on standard output: the constants, the
// elastic stiffness and trial stress, the corrector passes and the results.
//   stress(ntens) (in/out)  on entry the stress at the start of the increment; on exit the trial
//                 stress stress + K dstran when it lies inside the yield surface (f <= 0), else
//                 the trial stress corrected by up to ten passes s = s - f/(nf.K ng) K ng until
//                 |f| <= 1e-4 (single precision); after ten passes without that, the last
//                 iterate with code -1
//   neweqplasticstrain (in/out)  equivalent plastic strain, grown by |K^-1 (trial - stress)| in a
//                 plastic increment
//   ddsdde(ntens,ntens) (out)  K, or K (1 - ng.K ng/nf.K ng) after a plastic correction
//   stran, dstran(ntens) (in)  strain at the start of the increment and its increment
//                 (engineering shears, halved before use)
//   props(nprops) (in)  Et, Ec, G, nut, nuc, a0, a1, alpha: E and nu are the tension constants
//                 when the trace of stran + dstran is at least 0, else the compression ones. K
//                 is isotropic with E, nu and 2 G on the shear diagonal (acting on tensor shears)
//   ntens, ndi (in)  6 or 4, and 3
//   nprops (in)   at least 8
//   temp (in)     not used
// Another ntens or ndi, or fewer than 8 properties, records code -3 with stress and ddsdde zero.
void elasticity_getstressfromplastitcity(double* stress, double* neweqplasticstrain, double* ddsdde,
                                         const double* stran, const double* dstran,
                                         const double* props, const i32* ntens, const i32* ndi,
                                         const i32* nprops, const double* temp);

}  // extern "C"
}  // namespace vorlen::elasticity
