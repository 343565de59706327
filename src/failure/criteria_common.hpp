// Pieces shared by the failure criteria: the check of their input for values that are not
// finite numbers, the stress components of a Bahei-El-Din stress vector and the stresses in the
// misalignment frame of a kink plane.
#pragma once
#include <cmath>
#include <initializer_list>
#include <string_view>

#include "base/errorhandling.hpp"
#include "base/view.hpp"
#include "materials/lamina_stiffness.hpp"

namespace vorlen::criteria {

// Whether every value is a finite number.
inline bool finite(std::initializer_list<double> v) {
    for (double x : v)
        if (!std::isfinite(x)) return false;
    return true;
}

// Whether the n values of v are finite numbers; an absent array counts as finite.
inline bool finite(const double* v, i32 n) {
    if (v)
        for (i32 i = 0; i < n; ++i)
            if (!std::isfinite(v[i])) return false;
    return true;
}

// The report of a criterion whose input holds a value that is not a finite number: code -3,
// "Input not a finite number in <routine>". The criterion goes on with the values as they are,
// so its result stays the one its formula gives, also where a comparison made it finite (a
// search that skips every sample, the larger of an index and a NaN).
[[gnu::cold]] inline void not_finite(std::string_view routine) {
    errorhandling::report(-3, "Input not a finite number", routine);
}

// Nye components (s11, s22, s33, s12, s13, s23) of a stress vector of n entries: 3 plane stress
// (11, 22, 12), 4 plane strain (11, 22, 33, 12), 6 or more the full Nye vector. False for
// another n, and nothing is read then.
inline bool nye_components(double* s, const double* v, i32 n) {
    if (n != 3 && n != 4 && n < 6) return false;
    s[0] = v[0], s[1] = v[1], s[2] = 0.0, s[4] = 0.0, s[5] = 0.0;
    if (n == 3) {
        s[3] = v[2];
    } else if (n == 4) {
        s[2] = v[2], s[3] = v[3];
    } else {
        s[2] = v[2], s[3] = v[3], s[4] = v[4], s[5] = v[5];
    }
    return true;
}

// m = T sp, T the Nye stress rotation by phi about axis 3.
inline void misalignment_frame(double* m, const double* sp, double phi) {
    static constexpr i32 six = 6, zero = 0;
    double ts[36];
    lamina::GetNyeTransformationMatrix(ts, &phi, &six, &zero, &zero);
    const Mat<const double> t(ts, 6, 6);
    for (int i = 1; i <= 6; ++i) {
        double v = 0.0;
        for (int j = 1; j <= 6; ++j) v += t(i, j) * sp[j - 1];
        m[i - 1] = v;
    }
}

}  // namespace vorlen::criteria
