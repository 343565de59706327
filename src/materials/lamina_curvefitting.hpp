// A material parameter degraded by one of the strain non-linearity laws of module nlcollection.
#pragma once
#include "base/view.hpp"

namespace vorlen::lamina {
extern "C" {

// (1 - dnl) l with dnl of law nlflag: 1 Kaestner, 2 Krause (both at strain0 + dstrain), 3 Hahn-Tsai
// at the stress consistent with strain0 (FPHahnTsai in mode 1 from stress0); any other nlflag: l.
//   l (in)        initial value (the shear modulus for Hahn-Tsai)
//   eta (in)      non-linearity coefficient
//   stress0, strain0 (in)  state at the start of the increment
//   dstrain (in)  strain increment
//   nlflag (in)   law
double GetMatParamByCurveFitting(const double* l, const double* eta, const double* stress0,
                                 const double* strain0, const double* dstrain, const i32* nlflag);
}
}  // namespace vorlen::lamina
