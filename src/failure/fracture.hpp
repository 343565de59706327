// Module fracture: the mixed-mode fracture toughness of a crack plane from the traction on it,
// and whether a crack is open or closed. Stateless, per integration point, no allocation.
#pragma once
#include "base/view.hpp"

namespace vorlen::fracture {
extern "C" {

// Fracture toughness of the modes weighted by the squared share of each traction component:
// n = 4: (max(t1,0)^2 gc(1) + max(-t1,0)^2 gc(2) + t2^2 gc(3) + t3^2 gc(4))/|t|^2,
// else:  (t1^2 gc(1) + t2^2 gc(2) + t3^2 gc(3))/|t|^2.
//   geq (out)          mixed-mode toughness; 0 for a zero traction (code -1) and for n < 3
//                      (code -3)
//   traction(3) (in)   normal traction, then the two shear tractions
//   gc(n) (in)         toughnesses: n = 4 normal opening, normal closing, first shear, second
//                      shear; any other n: normal, first shear, second shear (gc(1:3) read)
//   n (in)             extent of gc, at least 3
void GetEquivalentMixedModeERR(double* geq, const double* traction, const double* gc,
                               const i32* n);

// Crack status from the normal traction on a rotated plane.
//   crckstatus (out)  -1 (closed) where the normal traction on the plane is negative, else +1
//                     (open); +1 also for a baseid outside 1 to 3, which
//                     GetTVectorFromArbitraryRotation reports (code -2), and, with code -3
//                     "Normal traction not a number in GetCrackStatus", for a traction that is
//                     not a number (a stress, axis or angle that is not finite)
//   svoigt(6) (in)    stress in Voigt order (11, 22, 33, 23, 13, 12)
//   nrot(3) (in)      rotation axis, taken as given
//   phi (in)          rotation angle in radians
//   baseid (in)       the plane's normal: the rotated axis 1, 2 or 3
void GetCrackStatus(i32* crckstatus, const double* svoigt, const double* nrot, const double* phi,
                    const i32* baseid);

}  // extern "C"
}  // namespace vorlen::fracture
