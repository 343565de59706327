// Module permcollection: permanent indentation a0 left after unloading an impactor from the
// maximum indentation amax, by four published laws; acr is the critical indentation.
#pragma once
#include "base/view.hpp"

namespace vorlen::permcollection {
extern "C" {

// Tan-Sun, linear: a0 (out) = ksc (amax - acr) when amax > acr, else 0; amax, acr, ksc (in).
void PITanSunLinear(double* a0, const double* amax, const double* acr, const double* ksc);

// Tan-Sun, non-linear: a0 (out) = amax (1 - (acr/amax)^0.4) when amax > acr, else 0.
void PITanSunNonLinear(double* a0, const double* amax, const double* acr);

// Suresh.
//   a0, a1 (out)  lbnds false: a0 = (1 - kcce)(amax - acr) when llesscrit is true and
//                 amax > acr, else 0; a1 = -1. lbnds true: a0 = (1 - 0.667)(amax - acr) and
//                 a1 = amax - acr when llesscrit is true and amax > acr, else both 0
//   amax, acr, kcce (in)
//   lbnds, llesscrit (in)  logicals
void PISuresh(double* a0, double* a1, const double* amax, const double* acr, const double* kcce,
              const lgl* lbnds, const lgl* llesscrit);

// Airbus: a0 (out) = 0.0009 delarea tges^(-0.81); tges (in) the laminate thickness, delarea (in)
// the delaminated area.
void PIAirbus(double* a0, const double* tges, const double* delarea);
}
}  // namespace vorlen::permcollection
