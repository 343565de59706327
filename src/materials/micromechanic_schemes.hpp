// Mean-field homogenisation schemes of module micromechanic: the nine elastic constants of a
// unidirectional ply (and, for the bridging models, three strengths) from fibre and resin
// constants with the volume fractions of fibre, interphase and voids.
//
// Common arguments of the schemes (optional ones may be null):
//   out(9) (out)          E1, E2, E3, G23, G13, G12, nu23, nu13, nu12 of the ply; zero when the
//                         fractions of fibre, interphase and voids add up to more than 1
//   fiberprops(5) (in)    Ef1, Ef2, Gf12, Gf23, nuf12: fibre transversely isotropic about axis 1
//   matrixprops(2) (in)   Em, num of the isotropic resin
//   vf (in)               fibre volume fraction
//   vvoid (in, optional)  void volume fraction in the resin, 0 when absent
//   vint (in, optional)   interphase volume fraction, 0 when absent
//   interprops(2) (in, optional)  Ei, nui of the interphase (used when their sum is positive,
//                         else the resin's constants)
//   yzratio (in, optional)  a2/a3 of the fibre cross-section, 1 when absent
//   voidtype (in, optional)  positive: the void spectrum; otherwise spherical voids
// The fibre phase (fibre with its interphase) takes the fraction phi = vf + vint clamped to
// [0, 1].
#pragma once
#include "base/view.hpp"

namespace vorlen::micromechanic {
extern "C" {

// Voigt bound (uniform strain): C = cm + phi (cf - cm).
void Voigt(double* out, const double* fiberprops, const double* matrixprops, const double* vf,
           const double* vvoid, const double* vint, const double* interprops, const i32* voidtype);
// Reuss bound (uniform stress): S = sm + phi (sf - sm).
void Reuss(double* out, const double* fiberprops, const double* matrixprops, const double* vf,
           const double* vvoid, const double* vint, const double* interprops, const i32* voidtype);

// Concentration schemes C = cm + phi (cf - cm) A with the fibre as an elliptic cylinder: A the
// dilute tensor (Dilute), Mori-Tanaka's (MoriTanaka), Chow's (Chow) or Lielens' (Lielens).
void Dilute(double* out, const double* fiberprops, const double* matrixprops, const double* vf,
            const double* vvoid, const double* vint, const double* interprops,
            const double* yzratio, const i32* voidtype);
void MoriTanaka(double* out, const double* fiberprops, const double* matrixprops, const double* vf,
                const double* vvoid, const double* vint, const double* interprops,
                const double* yzratio, const i32* voidtype);
void Chow(double* out, const double* fiberprops, const double* matrixprops, const double* vf,
          const double* vvoid, const double* vint, const double* interprops, const double* yzratio,
          const i32* voidtype);
void Lielens(double* out, const double* fiberprops, const double* matrixprops, const double* vf,
             const double* vvoid, const double* vint, const double* interprops,
             const double* yzratio, const i32* voidtype);
// Hashin-Shtrikman bound: the Mori-Tanaka estimate with the fibre (luflag > 0, the upper bound
// for fibres stiffer than the resin) or the resin (otherwise, the lower bound) as the reference.
//   luflag (in)  reference medium
void HashinShtrikman(double* out, const double* fiberprops, const double* matrixprops,
                     const double* vf, const i32* luflag, const double* vvoid, const double* vint,
                     const double* interprops, const double* yzratio, const i32* voidtype);
// Mura's equivalent-inclusion estimate.
void Mura(double* out, const double* fiberprops, const double* matrixprops, const double* vf,
          const double* vvoid, const double* vint, const double* interprops, const double* yzratio,
          const i32* voidtype);

// Self-consistent iteration: the fibre as a cylinder in the current effective medium until no
// entry of its concentration tensor changes by more than the threshold.
//   maxit (in, optional)      iteration limit, 200 when absent; below 1: code -3 and out zero
//   threshold (in, optional)  convergence threshold, 1e-8 when absent
void CSCS(double* out, const double* fiberprops, const double* matrixprops, const double* vf,
          const double* vvoid, const double* vint, const double* interprops, const double* yzratio,
          const i32* voidtype, const i32* maxit, const double* threshold);

// Huang's bridging model.
//   out(12) (out)  the nine constants, then the strengths along the fibres, across them and in
//                  in-plane shear (zero without strength data)
//   strengthprops(4) (in, optional)  fibre strength, tangent modulus of the resin after yield,
//                  resin yield stress, resin ultimate strength; absent or zero: no strengths
//   cp(2) (in, optional)  bridging parameters alpha and beta, clamped to [0, 1]; 0.5 each when
//                  absent
void Huang(double* out, const double* fiberprops, const double* matrixprops, const double* vf,
           const double* vvoid, const double* vint, const double* interprops,
           const double* strengthprops, const double* cp, const i32* voidtype);

// Bridging matrix of the dilute concentration tensors corrected by the Mori-Tanaka and LTH
// estimates.
//   out(12) (out)  as Huang
//   strengthprops(4) (in, optional)  as Huang
//   rvetype (in, optional)  fibre packing of LTH: 0 square, otherwise (and absent) hexagonal
void Cumulative(double* out, const double* fiberprops, const double* matrixprops, const double* vf,
                const double* vvoid, const double* vint, const double* interprops,
                const double* strengthprops, const double* yzratio, const i32* voidtype,
                const i32* rvetype);

// Strengths of a unidirectional ply from a bridging matrix: the composite stress at which fibre
// or resin reaches its ultimate strength, the resin stiffening with its tangent modulus after
// yield.
//   ud(3) (out)            along the fibres, across them, in in-plane shear
//   bridging(6,6) (in)     bridging matrix (entries (1,1), (2,2) and (6,6) are read)
//   fiberprops(4) (in)     Ef1, Ef2, Gf12, fibre strength
//   matrixprops(5) (in)    not read, not read, tangent modulus after yield, yield stress,
//                          ultimate strength of the resin
//   vf (in)                fibre volume fraction, clamped to [0, 1]
void GetUDStrengthFromBridgingMatrix(double* ud, const double* bridging, const double* fiberprops,
                                     const double* matrixprops, const double* vf);

// Mori-Tanaka average over inclusion families in a host:
// cmt = [f0 c0 + sum vinc(k) cinc_k A_k] [f0 I + sum vinc(k) A_k]^-1 with the dilute tensors
// A_k = [I + eshinc_k c0^-1 (cinc_k - c0)]^-1 and f0 = 1 - sum vinc(k) (not clamped).
//   cmt(6,6) (out)            effective stiffness; c0 for ninc below 1
//   cinc(6,6,ninc) (in)       stiffnesses of the families
//   eshinc(6,6,ninc) (in)     their Eshelby tensors
//   vinc(ninc) (in)           their volume fractions
//   c0(6,6) (in)              host stiffness
//   ninc (in)                 number of families
void GeneralizedMoriTanaka(double* cmt, const double* cinc, const double* eshinc,
                           const double* vinc, const double* c0, const i32* ninc);

}  // extern "C"
}  // namespace vorlen::micromechanic
