// Isotropic non-linear elastic stress laws of module elasticity: a secant law with strain-
// dependent Young's modulus and Poisson ratio, a volumetric/deviatoric split with four tensor laws
// (Lame, Kaestner, Krause, variable Poisson ratio), a fitted secant law of a resin with its
// secant stiffness, and a split whose moduli come from the calibration curves of the data store.
//
// Vectors are in Nye order (11, 22, 33, 12, 13, 23) with engineering shears. The laws are three-
// dimensional: ndi 3 with 3 to 6 entries, the shear entries a vector does not hold taken as 0
// (plane strain and axisymmetric vectors (11, 22, 33, 12) are exact). Another ndi or ntens, or
// fewer properties than a law reads, records code -3 and gives a zero stress (and stiffness).
// The split laws build the strain tensor E with halved shears, its trace and its deviator E'.
// Outputs may share storage with inputs. Per integration point: nothing is allocated.
#pragma once
#include "base/view.hpp"

namespace vorlen::elasticity {
extern "C" {

// Secant law with a strain-dependent Young's modulus and Poisson ratio, found by a fixed-point
// iteration of E(nu) = Eini/(gamman |normal strains|/sqrt(nu^2 + 1) + 1) and
// nu(E) = min(nuini + 4e-5 (Eini - E), 0.46) (at most six passes, each printed as a line
// "Iteration " with its number on standard output); G = Gini/(gammas |shear strains| + 1).
//   stress(ntens) (out)  K strain with K the isotropic stiffness of E, nu and G
//   strain(ntens) (in)   strain
//   props(nprops) (in)   Eini, gamman, Gini, nuini, gammas
//   ntens, ndi, nprops (in)  3..6, 3, at least 5
void GetStressFromNonlinearIsotropic(double* stress, const double* strain, const double* props,
                                     const i32* ntens, const i32* ndi, const i32* nprops);

// Volumetric/deviatoric split with a tensor law: g = E/(2(1 + nu)), komp = E/(3(1 - 2 nu)),
// gammak = gamma/(1 - 2 nu), gammag = sqrt(3/2) gamma/(1 + nu), normdev = |E'|, normvol = |tr E|.
//   stress(ntens) (out)  the Nye vector of the tensor law's stress
//   strain(ntens) (in)   strain
//   props(nprops) (in)   E, gamma, nu, num, law: 0 GetLameStress, 1 GetKaestnerStress,
//                        2 GetKrauseStress, 3 GetStressFromNonConstPoisson (truncated to an
//                        integer); another law records code -2 and gives a zero stress
//   ntens, ndi, nprops (in)  3..6, 3, at least 5
void GetStressFromIsotropicViscoElasticity(double* stress, const double* strain,
                                           const double* props, const i32* ntens, const i32* ndi,
                                           const i32* nprops);

// Tensor laws of a split strain. Each writes only the ndi by ndi block of stresstens; an ndi
// outside 1..3 records code -3 and zeros all of stresstens.
//   spureps (in)               trace of the strain tensor
//   endstrandev(ndi,ndi) (in)  its deviator; may be stresstens itself
//   g, komp (in)               shear and bulk modulus
//   stresstens(3,3) (out)      stress tensor
//   ndi (in)                   direct components, 1..3
// Lame: 2 g E'(i,j) + delta(i,j) komp spureps.
void GetLameStress(const double* spureps, const double* endstrandev, const double* g,
                   const double* komp, double* stresstens, const i32* ndi);

// Kaestner: (1 - dng) 2 g E'(i,j) + delta(i,j) (1 - dnk) komp spureps with
// dng = NLKaestner(gammag, normdev) and dnk = NLKaestner(gammak, normvol).
//   normdev, normvol (in)  norm of the deviator and magnitude of the trace
//   gammag, gammak (in)    non-linearity coefficients of the deviatoric and volumetric parts
//   the other arguments as GetLameStress
void GetKaestnerStress(const double* normdev, const double* normvol, const double* spureps,
                       const double* endstrandev, const double* g, const double* gammag,
                       const double* gammak, const double* komp, double* stresstens,
                       const i32* ndi);

// Krause: as GetKaestnerStress with NLKrause.
void GetKrauseStress(const double* normdev, const double* normvol, const double* spureps,
                     const double* endstrandev, const double* g, const double* gammag,
                     const double* gammak, const double* komp, double* stresstens, const i32* ndi);

// Variable Poisson ratio: geff = g/(sqrt(2) gamma normdev + 1); the Poisson ratio grows with
// the drop of Young's modulus from e to 2 geff (1 + nueff), nueff = nu + num (e - 2 geff
// (1 + nueff)) at most 0.47; keff = 2 geff (1 + nueff)/(3 (1 - 2 nueff)); the stress is
// 2 geff E'(i,j) + delta(i,j) keff spureps.
//   normdev (in)     norm of the deviator
//   normvol (in)     not used
//   e, g, nu (in)    initial Young's modulus, shear modulus and Poisson ratio
//   num (in)         growth of the Poisson ratio per unit drop of Young's modulus
//   gamma (in)       non-linearity coefficient of the shear modulus
//   the other arguments as GetLameStress
void GetStressFromNonConstPoisson(const double* normdev, const double* normvol,
                                  const double* spureps, const double* endstrandev, const double* e,
                                  const double* g, const double* nu, const double* num,
                                  const double* gamma, double* stresstens, const i32* ndi);

// Fitted secant law of a resin split into volumetric, deviatoric-normal and deviatoric-shear
// parts. The secant moduli t (of the normal deviator, at xn = |diagonal of E'|), o (bulk, at
// xv = |diagonal of E|) and a (of the shear deviator, at xs = |off-diagonal upper triangle of
// E'|) are M0 exp(-gamma x) up to a limit and A/(B x + 1) beyond, with constants for tension
// and for compression (tr E < 0 or not a number).
//   stress(ntens) (out)   S(i,i) = t E'(i,i) + o tr E, S(i,j) = a E'(i,j) (props(5) = 1; any
//                         other value uses t for the shear entries as well)
//   strain(ntens) (in)    strain
//   props(nprops) (in)    only props(5) is read
//   ntens, ndi, nprops (in)  3..6, 3, at least 5
//   ddsdde(ntens,ntens) (out)  secant stiffness: 2t/3 + o on the direct diagonal, o - t/3 off
//                         it, a/2 (or t/2) on the shear diagonal (engineering shears)
void GetStressFromDevVolDecomposition(double* stress, const double* strain, const double* props,
                                      const i32* ntens, const i32* ndi, const i32* nprops,
                                      double* ddsdde);

// Split into the volumetric part V = (tr E/3) I, the deviatoric normal part N = diag(E) - V and
// the shear part H = E - diag(E), with moduli from the calibration curves of the data store
// (materialdata::alpha1props, alpha2props, alpha3props with nalpha1data, nalpha2data,
// nalpha3data points, monotone cubic Hermite in GetExternalData): alpha1 at s |V|, alpha2 at
// s |N| and alpha3 at |H| (Frobenius norms, s the sign of tr E with -0 counting negative).
//   stress(ntens) (out)   Nye vector of degr (alpha1 V + alpha2 N + alpha3 H)
//   endstran(ntens) (in)  strain at the end of the increment
//   props(nprops) (in)    temp (the temperature of the lookups), degr
//   ntens, ndi, nprops (in)  3..6, 3, at least 2
//   c(0:*) (in)           not used
//   noel (in)             not used
void GetStressFromCubicElasticity(double* stress, const double* endstran, const double* props,
                                  const i32* ntens, const i32* ndi, const i32* nprops,
                                  const double* c, const i32* noel);

}  // extern "C"
}  // namespace vorlen::elasticity
