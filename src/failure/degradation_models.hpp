// Module degradation, continuum damage models: the damaged orthotropic stiffness after
// Matzenmiller, the coupling of nine failure-mode damages onto nine stiffness damages, the
// inter-fibre damage on a fracture plane with bilinear softening (Bogenfeld, and the stress-
// retention factors of the same scheme after Falzon) and the degradation of a stiffness tensor
// in a rotated damage frame.
//
// Damages are fractions (0 intact, 1 fully damaged). Stiffness matrices are in Voigt order (11,
// 22, 33, 23, 13, 12) acting on tensor shear strains: the shear diagonal holds twice the shear
// modulus. Stateless: callers keep the fracture-plane record; per integration point, no
// allocation.
#pragma once
#include "base/view.hpp"

namespace vorlen::degradation {
extern "C" {

// Damaged orthotropic stiffness: with a_i = 1 - dnorm(i), nu21 = nu12 E2/E1, nu31 = nu13 E3/E1,
// nu32 = nu23 E3/E2 and D = 1 - a1 a2 nu12 nu21 - a2 a3 nu23 nu32 - a1 a3 nu13 nu31
// - 2 nu12 nu23 nu31 a1 a2 a3, the normal block is the inverse of the compliance with diagonal
// 1/(a_i E_i) and off-diagonal -nu_ij/E_i, the shear diagonal 2 (1 - d23) G23, 2 (1 - d13) G13,
// 2 (1 - d12) G12.
//   propvec(9) (in)     E1, E2, E3, G23, G13, G12, nu23, nu13, nu12
//   c_deg(6,6) (out)    damaged stiffness; all 0 for E1 = 0, E2 = 0 or D = 0 (code -3)
//   dnorm(3) (in)       damages of E1, E2, E3
//   d23, d13, d12 (in)  damages of the shear moduli
void MatzenmillerDegradation(const double* propvec, double* c_deg, const double* dnorm,
                             const double* d23, const double* d13, const double* d12);

// Stiffness damages from failure-mode damages through the fixed coupling table (row i the
// stiffness damage w_stat(i), column k the mode damage d_modes(k)): the sum (accumulation) or
// the largest of d_coupling(i,k) d_modes(k) (and 0). w_stat and moduli are in the paired order:
// tension and compression values in directions 1, 2, 3, then the shear values 12, 13, 23.
// When moduli, vnu and effort are all present, the entries of the signs of effort (tension for
// effort(i) > 0) give MatzenmillerDegradation's moduli M and damages W (GetComponentsTension-
// Compression), with dnorm = W(1:3), d23 = W(5), d13 = W(6), d12 = W(4).
//   d_modes(9) (in)             mode damages
//   w_stat(9) (out)             stiffness damages
//   accumulation (in)           one-byte logical: sum (true) or maximum
//   c_deg(6,6) (out)            damaged stiffness; 0 unless all three optional arguments are
//                               present
//   moduli(9) (in, optional)    moduli in the paired order
//   vnu(3) (in, optional)       nu23, nu13, nu12
//   effort(3) (in, optional)    stresses whose signs pick tension or compression
void DegradationFromModes(const double* d_modes, double* w_stat, const lgl* accumulation,
                          double* c_deg, const double* moduli, const double* vnu,
                          const double* effort);

// Inter-fibre damage on the fracture plane through the fibre axis at props(1) radians, with
// bilinear softening. The plane's traction (normal, shear 12, shear 23) of the stress and of the
// strain gives the strain measure eps_r = norm(max(normal, 0), shears). The first call after
// onset (every sdv entry -1) records sdv(1) = eps_r, sdv(2) = norm of the stress traction,
// sdv(3) = its mixed-mode toughness (GetEquivalentMixedModeERR with props(2:5)) and sdv(4) the
// final strain max(2 sdv(3)/(lm sdv(2)), 1.2 sdv(1)) of the crack band
// lm = charelemlength(2)/|cos phi|, or charelemlength(3)/|sin phi| where that exceeds the norm
// of both; later calls use the recorded values. d is BiLinearEvolution's damage, not clipped.
//   d (out)                   damage; 0 for mode 0, for a first call whose crack band is not
//                             positive (code -3, sdv untouched) or has no final strain (no
//                             onset stress: code -1, sdv untouched), and where
//                             BiLinearEvolution gives 0
//   sdv(nsdv) (in/out)        fracture-plane record: onset strain, onset stress, toughness,
//                             final strain; -1 everywhere before the onset
//   svoigt(6), evoigt(6) (in) stress and strain in Voigt order
//   charelemlength(3) (in)    characteristic lengths of the element in directions 1, 2, 3
//   props(nprops) (in)        fracture-plane angle, then gc(1:4): normal opening, normal
//                             closing, first shear, second shear
//   mode (in)                 0 no damage (d = 0, nothing read), 3 inter-fibre; another value
//                             records code -2 "Unknown mode in BogenfeldDegradation", d and sdv
//                             left as they were
//   nsdv, nprops (in)         extents; nsdv < 4 or nprops < 5 records code -3 with d = 0
void BogenfeldDegradation(double* d, double* sdv, const double* svoigt, const double* evoigt,
                          const double* charelemlength, const double* props, const i32* mode,
                          const i32* nsdv, const i32* nprops);

// Matrix-mode damage and stress-retention factors of the fracture plane at phirad radians about
// the fibre axis. While w_matrixmode = 0 the onset values are taken afresh: epsi and sigi the
// norms of the plane's strain (normal part clipped at 0) and stress tractions, gmix their
// mixed-mode toughness, epsu = max(2 gmix/(lm |sigi|), 1.1 epsi) with the crack band lm of
// BogenfeldDegradation. The bilinear damage at the current strain norm raises w_matrixmode
// (kept in [0, 1]); the plane's tensile normal stress and its shears are released by it, the
// stress rotated back, and dsix(2:3) = sdeg(2:3)/stressela(2:3), dsix(4) = dsix(2),
// dsix(5) = dsix(3), dsix(6) = dsix(2) + dsix(3) - dsix(2) dsix(3).
//   stressela(6), strain(6) (in)   elastic stress and strain in Nye order
//   phirad (in)                    fracture-plane angle in radians
//   dsix(6) (in/out)               retention factors; dsix(1) is not changed
//   epsi, epsu, sigi, gmix (in/out)  onset strain, final strain, onset stress, toughness
//   w_matrixmode (in/out)          matrix-mode damage
//   gc(4) (in)                     toughnesses as in BogenfeldDegradation
//   charelemlength(3) (in)         characteristic lengths in directions 1, 2, 3
// A zero strain norm, a zero stressela(2) or stressela(3), and onset values without a finite
// final strain or with a final strain equal to the onset strain record code -1; a crack band
// that is not positive records code -3; in these cases nothing is changed.
void FalzonDegradationParameters(const double* stressela, const double* strain,
                                 const double* phirad, double* dsix, double* epsi, double* epsu,
                                 double* sigi, double* gmix, double* w_matrixmode,
                                 const double* gc, const double* charelemlength);

// Stiffness degraded in the frame rotated by angle_r about axis 1: the tensor of csix rotated,
// every entry with an index equal to baseid scaled by 1 - d (as the n-th root of the product of
// its n factors), the entries C(i,i,k,k) left unscaled for nn = -1, then rotated back.
//   csix(6,6) (in)    stiffness in Voigt order
//   cdeg(6,6) (out)   degraded stiffness; may be csix itself
//   angle_r (in)      angle in radians
//   d (in)            damage in [0, 1]; outside, d is clipped to it (code -3)
//   baseid (in)       degraded direction 1, 2 or 3 of the rotated frame (another value
//                     degrades nothing)
//   nn (in)           -1 keeps the normal-normal block undegraded
void TensorDegradation(const double* csix, double* cdeg, const double* angle_r, const double* d,
                       const i32* baseid, const i32* nn);

}  // extern "C"
}  // namespace vorlen::degradation
