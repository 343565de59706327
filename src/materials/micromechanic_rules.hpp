// Closed-form micromechanics of module micromechanic: unidirectional ply constants from fibre
// and matrix constants and the fibre volume fraction (rule of mixtures, Abolinsh, Puck,
// Hopkins-Chamis, Halpin-Tsai, Chamis, LTH), the Foye Poisson ratio and Krimmer's in-situ
// matrix constants.
#pragma once
#include "base/view.hpp"

namespace vorlen::micromechanic {
extern "C" {

// The four-value rules. phi = vf clamped to [0, 1], Gm = Em/(2 (1 + num)); in all of them
// E1 = phi Ef1 + (1 - phi) Em and nu12 = phi nuf + (1 - phi) num.
//   rm/ah/pu/hc/ht(4) (out)  E1, E2, G12, nu12 of the ply
//   fiberprops(4) (in)       Ef1, Ef2, Gf12, nuf
//   matrixprops(2) (in)      Em, num
//   vf (in)                  fibre volume fraction
// RuleOfMixture: E2 and G12 by the inverse rule, Ef2 Em/(phi Em + (1 - phi) Ef2).
void RuleOfMixture(double* rm, const double* fiberprops, const double* matrixprops,
                   const double* vf);
// Abolinsh's E2 and G12.
void Abolinsh(double* ah, const double* fiberprops, const double* matrixprops, const double* vf);
// Puck's E2 (from the plane-strain matrix modulus Em/(1 - num^2)) and G12.
void Puck(double* pu, const double* fiberprops, const double* matrixprops, const double* vf);
// Hopkins-Chamis E2 and G12.
void HopkinsChamis(double* hc, const double* fiberprops, const double* matrixprops,
                   const double* vf);
// Halpin-Tsai E2 and G12.
//   zeta(2) (in, optional)  xiE, xiG; absent or (-1, -1): 2 + 40 phi^10 and 1 + 40 phi^10
void HalpinTsai(double* ht, const double* fiberprops, const double* matrixprops, const double* vf,
                const double* zeta);

// Chamis' rules.
//   cs(csdim) (out)      csdim 4: E1, E2, G12, nu12; 5: E1, E2, G12, G23, nu12; 6: also nu23 =
//                        E2/(2 G23) - 1; any other csdim: zeros
//   fiberprops(csdim) (in)  csdim 4: Ef1, Ef2, Gf12, nuf12; 5 or 6: Ef1, Ef2, Gf12, Gf23, nuf12
//   matrixprops(2) (in)  Em, num
//   vf (in)              fibre volume fraction
//   csdim (in)           length of cs and fiberprops
void Chamis(double* cs, const double* fiberprops, const double* matrixprops, const double* vf,
            const i32* csdim);

// Foye's in-situ matrix Poisson ratio.
//   nfoye (out)          num (1 + num - q nuLT)/(1 - num^2 + nuLT num q), q = Em/EL
//   laminaprops(2) (in)  EL, nuLT of the ply
//   matrixprops(2) (in)  Em, num
void Foye(double* nfoye, const double* laminaprops, const double* matrixprops);

// Krimmer's in-situ matrix constants implied by a ply.
//   km(5) (out)          Em1, Em2, Gm12, Gm23, num12 of the matrix in the ply
//   laminaprops(3) (in)  EL, ET, nuLT of the ply
//   fiberprops(5) (in)   Ef1, Ef2, Gf12, Gf23, nuf12
//   matrixprops(2) (in)  Em, num
//   vf (in)              fibre volume fraction
void Krimmer(double* km, const double* laminaprops, const double* fiberprops,
             const double* matrixprops, const double* vf);

// Semi-empirical ply constants of a square or hexagonal fibre packing.
//   lh(5) (out)              E1, E2, G12, G23, nu12; zeros with code -3 when mdim is below 1,
//                            or below 2 with tcflag 1
//   fiberprops(5) (in)       Ef1, Ef2, Gf12, Gf23, nuf12
//   matrixprops(mdim) (in)   mdim 5: the matrix's own Em1, Em2, Gm12, Gm23, num12; otherwise Em
//                            first and num last
//   vf (in)                  fibre volume fraction, clamped to [0, 0.75] (square) or [0, 0.9]
//   mdim (in)                length of matrixprops
//   fmflag (in)              0 square packing, otherwise hexagonal
//   tcflag (in)              1 (and mdim not 5): the matrix constants of Krimmer for the ply of
//                            the isotropic matrix; otherwise Em1 = Em, (Em, Gm, Gm), num
void LTH(double* lh, const double* fiberprops, const double* matrixprops, const double* vf,
         const i32* mdim, const i32* fmflag, const i32* tcflag);

}  // extern "C"
}  // namespace vorlen::micromechanic
