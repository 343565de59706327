// Pieces shared by the failure criteria: the check of their input for values that are not
// finite numbers, the stress components of a Bahei-El-Din stress vector, the stresses in the
// misalignment frame of a kink plane and the planes where the normal stress changes sign.
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

// The angles theta in [0, pi) where a0 + a cos(2 theta) + b sin(2 theta), that is
// a0 + r cos(2 theta - d), changes sign: cos(2 theta - d) = -a0/r; none where |a0| > r or r = 0.
// Returns their number.
inline i32 double_angle_zeros(double a0, double a, double b, double* theta) {
    constexpr double pi = 3.141592653589793;
    const double r = std::hypot(a, b);
    if (!(r > 0.0 && std::abs(a0) <= r)) return 0;
    const double d = std::atan2(b, a), e = std::acos(-a0 / r);  // (d -+ e)/2 above -pi
    theta[0] = std::fmod(0.5 * (d + e) + pi, pi);
    theta[1] = std::fmod(0.5 * (d - e) + pi, pi);
    return 2;
}

// The planes through the fibre axis, turned by theta about it, where the normal stress
// sn = s22 sin^2 + s33 cos^2 - 2 s23 sin cos
//    = (s22 + s33)/2 + (s33 - s22)/2 cos(2 theta) - s23 sin(2 theta) changes sign.
inline i32 normal_sign_changes(double s22, double s33, double s23, double* theta) {
    return double_angle_zeros(0.5 * (s22 + s33), 0.5 * (s33 - s22), -s23, theta);
}

}  // namespace vorlen::criteria
