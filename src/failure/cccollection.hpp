// Module cccollection: crushing of a sandwich core, checked at three points through it (upper,
// middle, lower), each with its through-thickness normal stress s33 and its two transverse shear
// stresses tau(2) (the first measured against x23, the second against x13).
//
// A point in compression or unloaded (s33 <= 0) gets its index r; a point in tension keeps
// 1e-20. The result rcc is the largest of the three. Strengths are positive magnitudes and not
// checked. Stateless, no allocation. A stress or strength that is NaN or infinite records code
// -3 "Input not a finite number in <routine>" (the comparisons would skip a point that is not a
// number: an s33 that is not a number keeps 1e-20); rcc is still the largest as taken.
#pragma once
#include "base/view.hpp"

namespace vorlen::cccollection {
extern "C" {

// Petras.
//   rcc (out)                  largest r = abs(s33)/xc33 + abs(tau(1))/x23 + abs(tau(2))/x13
//   s33u, s33m, s33l (in)      normal stresses at the three points
//   taou(2), taom(2), taol(2) (in)  shear stresses at the three points
//   xc33, x13, x23 (in)        compressive and shear strengths of the core
void CCPetras(double* rcc, const double* s33u, const double* s33m, const double* s33l,
              const double* taou, const double* taom, const double* taol, const double* xc33,
              const double* x13, const double* x23);

// Besant.
//   rcc (out)            largest r = (abs(s33)^p/xc33^p + abs(tau(1))^p/x23^p
//                        + abs(tau(2))^p/x13^p)^(1/p)
//   besantexponent (in)  p
//   other arguments as CCPetras
void CCBesant(double* rcc, const double* s33u, const double* s33m, const double* s33l,
              const double* taou, const double* taom, const double* taol, const double* xc33,
              const double* x13, const double* x23, const double* besantexponent);

}  // extern "C"
}  // namespace vorlen::cccollection
