// Tests of the numbers that the mechanics divides by or multiplies out.
#pragma once
#include <cfloat>

namespace vorlen {

// Whether x is a positive normal number (not 0, subnormal, negative, infinite or not a number).
// Moduli, strengths, masses and stiffnesses must be: a quotient by a subnormal one overflows,
// and a product of several underflows to 0.
constexpr bool positive_normal(double x) noexcept { return x >= DBL_MIN && x <= DBL_MAX; }

}  // namespace vorlen
