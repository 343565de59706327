// Stress and strain measures of module lamina: tensor components of a reduced or full 6-vector,
// trace, mean and deviatoric stress, principal values, von Mises, Tresca, Rankine and Stassi
// equivalent stresses, the von Mises flow direction, finite-strain measures of a deformation
// gradient, and the lookup of a tabulated hardening curve.
//
// A stress or strain vector of n components is read by its count: 3 (11, 22, 12), 4 (11, 22,
// 33, 12), otherwise its first six entries in Voigt order (11, 22, 33, 23, 13, 12). A count of
// 1, 2, 5 or below 1, too short for six entries, records code -3 and gives the routine's zero
// result. Everything here runs per integration point: no allocation.
#pragma once
#include "base/view.hpp"

namespace vorlen::lamina {
extern "C" {

// Tensor components of a 3-, 4- or 6-vector; the components a vector does not hold are 0.
//   t11, t22, t33, t12, t13, t23  out  components, the shear ones times shearfactor; all 0 for
//                                      an unsupported count
//   tvoigt(nvoigt)                in   the vector
//   nvoigt                        in   3, 4, or 6 and more
//   shearfactor                   in, optional  factor of the shear entries, 1 when absent
//                                               (0.5 turns engineering into tensor shears)
void GetTensorComponents(double* t11, double* t22, double* t33, double* t12, double* t13,
                         double* t23, const double* tvoigt, const i32* nvoigt,
                         const double* shearfactor);

// Trace t11 + t22 + t33 of stress(nstress); 0 for an unsupported count.
double GetTrace(const double* stress, const i32* nstress);

// Mean normal stress, the trace over 3 (tension positive); 0 for an unsupported count.
double GetHydrostaticPressure(const double* stress, const i32* nstress);

// Mean stress tensor.
//   cm(3,3)          out  p I with p the hydrostatic pressure (zero for an unsupported count)
//   stress(nstress)  in   stress vector
//   nstress          in   3, 4, or 6 and more
void GetMeanStress(double* cm, const double* stress, const i32* nstress);

// Deviatoric stress tensor.
//   cd(3,3)    out  the 3 by 3 stress minus p I
//   svoigt(6)  in   stress in Voigt order
void GetDeviatoricStress(double* cd, const double* svoigt);

// Principal values.
//   ps(3)           out  eigenvalues of the stress tensor, ps(1) >= ps(2) >= ps(3); zero for an
//                        unsupported count
//   svoigt(nvoigt)  in   stress vector
//   nvoigt          in   3, 4, or 6 and more
void GetPrincipals(double* ps, const double* svoigt, const i32* nvoigt);

// Von Mises equivalent stress of stress(nstress); 0 for an unsupported count.
double GetMisesStress(const double* stress, const i32* nstress);

// Tresca equivalent stress: the largest difference of principals(3) (no factor 1/2).
double GetTrescaStress(const double* principals);

// Rankine equivalent stress of principals(3) (descending): p1 when p1 >= 0 and p1 >= |p3|, else
// |p3| when p3 < 0, else p1.
double GetRankineStress(const double* principals);

// Pressure-dependent (Stassi) equivalent stress of an isotropic resin.
//   stress(6)  in   stress in Voigt order
//   xt, xc     in   tensile and compressive strength
//   eq_stress  out  equivalent stress, negative under a negative trace; the von Mises stress
//                   with its sign for xc = xt
void GetStassiStress(const double* stress, const double* xt, const double* xc, double* eq_stress);

// Flow direction of von Mises plasticity.
//   flow(nstress)    out  (s_i - p)/vm for the direct entries (the first two of a 3-vector, the
//                         first three otherwise), s_i/vm for the shear entries; zero for an
//                         unsupported count. A zero von Mises stress gives inf or NaN entries.
//   stress(nstress)  in   stress vector; may be flow itself
//   nstress          in   3, 4, or 6 and more
void GetMisesFlow(double* flow, const double* stress, const i32* nstress);

// Finite-strain measures of a deformation gradient F; each output may be dfgrd itself.
//   small(3,3)    out  (F + F^T)/2 - I
//   green(3,3)    out  (F^T F - I)/2
//   almansi(3,3)  out  (I - (F F^T)^-1)/2; a singular F is reported by MatrixInverse
//   dfgrd(3,3)    in   F
void GetSmallStrain(double* small, const double* dfgrd);
void GetGreenStrain(double* green, const double* dfgrd);
void GetAlmansiStrain(double* almansi, const double* dfgrd);

// Yield stress and hardening slope from a tabulated hardening curve.
//   yield           out  linear interpolation of column 1 at strain (extrapolated below the
//                        first point); the largest stress of column 1 from the largest plastic
//                        strain on; -1.7976931348623157e308 for ntable <= 0. A table of one
//                        row below its plastic strain gives its stress with code -3.
//   gradient        out  linear interpolation at strain of the slopes of column 1 over column 2
//                        (one-sided at the table ends, central inside); 0 beyond the table
//   strain          in   equivalent plastic strain
//   table(ntable,2) in   column 1 yield stress, column 2 plastic strain, strictly increasing
//                        (otherwise the process ends in the linear interpolation)
//   ntable          in   number of rows
void GetHardeningFromTable(double* yield, double* gradient, const double* strain,
                           const double* table, const i32* ntable);

}  // extern "C"
}  // namespace vorlen::lamina
