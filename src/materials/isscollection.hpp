// Module isscollection: in-situ strengths of a ply in a laminate (LaRC04 thin and thick plies,
// Puck's off-axis compression in plane stress, Chang-Lessard).
#pragma once
#include "base/view.hpp"

namespace vorlen::isscollection {
extern "C" {

// In-situ transverse tensile and in-plane shear strengths of LaRC04.
//   ys(2) (out)          thin ply (t <= tlim): sqrt(8 GIc/(2 (1/E22 - nu12^2/E11) pi t)) and
//                        sqrt(8 GIIc G12/(pi t)); thick ply: 1.12 sqrt(2) xt22 and sqrt(2) x12
//   elastic(4) (in)      E11, E22, nu12, G12
//   gxc(2) (in)          fracture toughnesses GIc, GIIc
//   xt22, x12 (in)       transverse tensile and in-plane shear strengths of the unidirectional ply
//   t (in)               ply thickness
//   tlim (in, optional)  thickness of the thin-ply limit, 0.0007 when absent
void InSituLaRC04(double* ys, const double* elastic, const double* gxc, const double* xt22,
                  const double* x12, const double* t, const double* tlim);

// Compressive strength of a ply under uniaxial compression at theta degrees to the fibres, the
// smaller of the fibre limit 2 xc11/(1 + cos 2theta) (theta not 90) and Puck's inter-fibre limit
// (theta not 0) in plane stress.
//   xc (out)              the strength
//   xc11, xc22, x12 (in)  compressive strengths along and across the fibres, shear strength
//   theta (in)            load angle, degrees
//   gp(4) (in, optional)  inclination parameters p12 tension, p12 compression, p22 tension,
//                         p22 compression (entries 2 and 4 are used); absent: 0.2 and 0.15
void InSituPuckPS(double* xc, const double* xc11, const double* xc22, const double* x12,
                  const double* theta, const double* gp);

// In-situ strengths of Chang and Lessard, s = sin(dtmin_d pi/180):
//   ys(2) (out)           xt22 (1 + atod(1) s/tratio^atod(2)), ilss (1 + atod(3) s/tratio^atod(4))
//   xt22, ilss (in)       transverse tensile and interlaminar shear strengths
//   tratio (in)           thickness ratio, positive
//   dtmin_d (in)          smallest ply-angle difference to the neighbours, degrees
//   atod(4) (in, optional)  coefficients, (1.3, 0.7, 0.0, 1.0) when absent
void InSituChangLessard(double* ys, const double* xt22, const double* ilss, const double* tratio,
                        const double* dtmin_d, const double* atod);

}  // extern "C"
}  // namespace vorlen::isscollection
