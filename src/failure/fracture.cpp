// Mixed-mode fracture toughness and crack status on a crack plane.
#include "failure/fracture.hpp"

#include <algorithm>
#include <cmath>

#include "base/errorhandling.hpp"
#include "materials/lamina_notation.hpp"
#include "materials/lamina_rotated.hpp"

namespace vorlen::fracture {
extern "C" {

void GetEquivalentMixedModeERR(double* geq, const double* traction, const double* gc,
                               const i32* n) {
    *geq = 0.0;
    if (*n < 3) {
        errorhandling::report(-3, "Fewer than three toughnesses", "GetEquivalentMixedModeERR");
        return;
    }
    const double t1 = traction[0], t2 = traction[1], t3 = traction[2];
    const double tt = t1 * t1 + t2 * t2 + t3 * t3;
    if (tt == 0.0) {
        errorhandling::report(-1, "Zero traction", "GetEquivalentMixedModeERR");
        return;
    }
    if (*n == 4) {
        const double open = std::max(t1, 0.0), closed = std::max(-t1, 0.0);
        *geq = (open * open * gc[0] + closed * closed * gc[1] + t2 * t2 * gc[2] + t3 * t3 * gc[3]) /
               tt;
    } else {
        *geq = (t1 * t1 * gc[0] + t2 * t2 * gc[1] + t3 * t3 * gc[2]) / tt;
    }
}

void GetCrackStatus(i32* crckstatus, const double* svoigt, const double* nrot, const double* phi,
                    const i32* baseid) {
    *crckstatus = 1;
    double s[6], tv[3] = {0.0, 0.0, 0.0};
    const i32 one = 1;
    lamina::FlipVoigtNyeNotation(s, svoigt, &one, &one);
    lamina::GetTVectorFromArbitraryRotation(tv, phi, nrot, &s[0], &s[1], &s[2], &s[3], &s[4],
                                            &s[5], baseid);
    if (tv[0] < 0.0) *crckstatus = -1;
    // A stress or rotation that is not finite leaves no sign to tell.
    if (std::isnan(tv[0]))
        errorhandling::report(-3, "Normal traction not a number", "GetCrackStatus");
}

}  // extern "C"
}  // namespace vorlen::fracture
