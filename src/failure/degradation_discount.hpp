// Module degradation, discount rules: reduced material constants once a failure flag or a
// fatigue state is reached (sudden ply discount, isotropic resin discount, their viscously
// regularised twins), the flag-driven factor table of a ply in a damage set, the matrix of
// those factors in Nye order and a scalar measure of accumulated damage.
//
// Vectors of these rules:
//   peprops(9)   elastic constants E1, E2, E3, G12, G13, G23, nu12, nu13, nu23
//   psprops(9)   strengths Xt, Xc, Yt, Yc, Zt, Zc, S12, S13, S23 (compressive ones may carry a
//                sign, which the discount keeps)
//   de(6), df(9) running ratios degraded/undegraded of peprops(1:6) and psprops(1:9)
//   degrf(9)     factors of the stiffness entries 11, 12, 22, 44 (G12), 55 (G13), 66 (G23), 13,
//                23, 33
// Every update takes a minimum or sets a flag to 1, so the caller's stored values carry the
// damage history. Stateless, per integration point, no allocation.
#pragma once
#include "base/view.hpp"

namespace vorlen::degradation {

// Factor that stands for a fully degraded entry.
inline constexpr double azero = 1e-20;

extern "C" {

// Backward-Euler step of the relaxation eta d' = dnew - d over dt:
// dviscouse = eta/(eta + dt) dold + dt/(eta + dt) dnew.
//   dold, dnew (in)    value at the start of the step, value the law gives at its end
//   dviscouse (out)    regularised value; dnew for eta = 0 whatever dt, and for a negative eta
//                      or dt (code -3)
//   eta (in)           relaxation time
//   dt (in)            time step
void __degradation_MOD_viscouseregularisation(const double* dold, const double* dnew,
                                              double* dviscouse, const double* eta,
                                              const double* dt);

// Sudden ply discount with a fibre and an inter-fibre mode. Life fractions rlt are nm when it
// is present with an entry other than -1, else zeros. Fibre failure (g_f >= ttol(1) or
// rlt(1) > ttol(2)) sets g_f = 1 and reduces degpeprops(1:6) to at most peprops degrfac and the
// magnitudes of degpsprops(1:9) to at most |psprops degrfac|, with the sign of psprops.
// Inter-fibre failure (an rlt(2:6) > ttol(2), or else g_m >= ttol(1)) sets g_m = 1 and does
// the same for degpeprops(2:6) and degpsprops(3:9). Then de and df come down to the current
// ratios degpeprops/peprops and degpsprops/psprops, and the Poisson ratios 7, 8, 9 to at most
// de(1), de(1), de(2) times their undegraded value.
//   degpeprops(9), degpsprops(9) (in/out)  degraded constants and strengths
//   peprops(9), psprops(9) (in)            undegraded constants and strengths; a zero entry
//                                          keeps its ratio in de or df and records code -3
//   de(6), df(9) (in/out)                  running ratios
//   g_f, g_m (in/out)                      fibre and inter-fibre exposure, set to 1 on failure
//   ttol(2) (in)                           exposure and life-fraction thresholds
//   degrfac (in)                           residual factor of a discounted entry
//   nm(6) (in, optional)                   fatigue life fractions, fibre direction first
void SuddenDegradation(double* degpeprops, double* degpsprops, const double* peprops,
                       const double* psprops, double* de, double* df, double* g_f, double* g_m,
                       const double* ttol, const double* degrfac, const double* nm);

// SuddenDegradation with rate-regularised factors. The fibre factor relaxes from degr_old
// towards degrfac (the damages 1 - degr_old and 1 - degrfac regularised over eta, dt) and is
// stored in degr_old; the inter-fibre factor relaxes from min(de(2:6)) towards degrfac and
// overwrites de(2:6) before the failure tests. The discount then uses the fibre factor in the
// fibre mode and the inter-fibre factor in the other. Prints three lines on standard output
// on every call: "Get regularised degradation factor", "Viskose degradation for FF" with the
// fibre factor, "Viskose degradation for IFF" with the inter-fibre factor.
//   arguments 1 to 11 as SuddenDegradation
//   degr_old (in/out)  fibre factor of the previous step; on return the new one
//   eta, dt (in)       relaxation time and time step, as __degradation_MOD_viscouseregularisation
void SuddenDegradation_viscouse(double* degpeprops, double* degpsprops, const double* peprops,
                                const double* psprops, double* de, double* df, double* g_f,
                                double* g_m, const double* ttol, const double* degrfac,
                                const double* nm, double* degr_old, const double* eta,
                                const double* dt);

// Isotropic discount of a resin once the damage index or the fatigue life fraction reaches 1:
// with k = 1 from max(d, life) >= 1 on, else 0, degpeprops(1) = (1 - (1 - degr) k) peprops(1)
// and degpeprops(2) = peprops(2) (1 - k) for degr < 1, else peprops(2).
//   peprops(3) (in)      modulus, Poisson ratio, third constant (not read)
//   d, life (in)         damage index and fatigue life fraction
//   degr (in)            residual factor of the modulus
//   degpeprops(3) (out)  degraded modulus and Poisson ratio; degpeprops(3) is not written
void IsotropicDegradation(const double* peprops, const double* d, const double* life,
                          const double* degr, double* degpeprops);

// IsotropicDegradation with the residual factor relaxed from degr_old towards degr (the damages
// 1 - degr_old and 1 - degr regularised over eta, dt); the Poisson ratio's test still takes the
// unregularised degr < 1.
//   peprops(3), d, life, degr, degpeprops(3)  as IsotropicDegradation
//   degr_old (in/out)  factor of the previous step; on return the regularised factor
//   eta, dt (in)       relaxation time and time step
void IsotropicDegradation_viscouse(const double* peprops, const double* d, const double* life,
                                   const double* degr, double* degpeprops, double* degr_old,
                                   const double* eta, const double* dt);

// Stiffness factors of a ply of a damage data set from its ten failure flags (a flag counts
// when it equals 1.0): 1 fibre, 2 second fibre direction of a fabric, 3 (only counted as a
// flag), 4 matrix, 5 delamination at the lower, 6 at the upper interface, 7 core compression,
// 8 buckled sub-laminate, 9 total, 10 second total. The rule set of degrid applies in order,
// a later assignment overwriting an earlier one:
//   0      any flag: all factors 1e-20
//   1      fibre: d(1) = f_ff; fabric second fibre: d(3) = f_ff; core: all 1e-20
//   2      fibre: d(1) = a_ff; fabric second fibre: d(3) = a_ff; upper delamination:
//          d(5) = d(6) = a_dd and with it matrix: d(2), d(4), d(7), d(8) (fabric) or d(2),
//          d(3), d(4), d(8) (tape) = a_mm; core: all 1e-20
//   3      core: all 1e-20 but d(9) = 0.015
//   4, 5   fixed factors 0.5, 0.1 and 1e-20 of the fibre, second-fibre and matrix modes (and
//          for 5 the delaminations and the core)
//   other  entry-wise minimum of mode vectors: fibre 1e-20 but 0.5 at 1 (1e-20 for rdisc = 2)
//          and 1 at 3 for a fabric; second fibre (fabric) 1e-20 but 0.5 at 3 (1e-20 for
//          rdisc = 2) and 1 at 1; matrix all 1; upper delamination 1 but 1e-20 at 5 and 6
//          (G13, G23); core 1e-20 but 0.015 at 9; total 1e-20 but 1 at 3 for a fabric;
//          second total 1e-20 but 1 at 1 for a fabric
// A buckled sub-laminate with rdisc < 1 then has its nonzero factors multiplied by rdisc
// (all first set to 1e-20 when rdisc < 1e-20). All flags 0 give nine ones.
//   d(9) (out)          factors in the order of degrf
//   dds(10) (in)        failure flags
//   rdisc (in)          residual discount of a buckled sub-laminate
//   degrid (in)         rule set
//   plyistape (in)      one-byte logical: tape (true) or fabric ply
//   fa(4) (in, optional)  f_ff, a_ff, a_mm, a_dd; (0.3, 0.3, 0.5, 0.5) when absent
void FalcomDegradation(double* d, const double* dds, const double* rdisc, const i32* degrid,
                       const lgl* plyistape, const double* fa);

// Factor matrix in Nye order, to be multiplied entry by entry with a stiffness: ones, then
// ntens 6 or 4: d(1,1) = degrf(1), d(1,2) = d(2,1) = degrf(2), d(2,2) = degrf(3),
//   d(4,4) = degrf(4), and unless psflag is present and 0 (plane stress) also
//   d(1,3) = d(3,1) = degrf(7), d(2,3) = d(3,2) = degrf(8), d(3,3) = degrf(9) and for ntens 6
//   d(5,5) = degrf(5), d(6,6) = degrf(6);
// ntens 3 (11, 22, 12): d(1,1) = degrf(1), d(1,2) = d(2,1) = degrf(2), d(2,2) = degrf(3),
//   d(3,3) = degrf(4).
//   d(ntens,ntens) (out)   factors; all ones for another ntens, with code -2 "Unsupported
//                          dimension in GetNyeDegradationMatrix"
//   degrf(9) (in)          factors
//   ntens (in)             number of stress components
//   psflag (in, optional)  0: plane stress
void GetNyeDegradationMatrix(double* d, const double* degrf, const i32* ntens, const i32* psflag);

// Accumulated damage of a table: every entry contributes log10(max(x, 1e-20))/(-20) (0 intact,
// 1 at or below 1e-20) with x = 1 - degr for nodmg <= 1e-20 (degr holds damages) and
// x = degr/nodmg otherwise (degr holds residual values of the undamaged nodmg); the result is
// the mean over the entries of each ply, averaged over the plies.
//   degr(ndegr,nply) (in)  the table
//   nodmg (in)             undamaged value, or at most 1e-20 for a table of damages
//   ndegr, nply (in)       entries per ply and plies; either below 1 gives 0 (code -3)
double __degradation_MOD_getaccumulateddamage(const double* degr, const double* nodmg,
                                              const i32* ndegr, const i32* nply);

}  // extern "C"
}  // namespace vorlen::degradation
