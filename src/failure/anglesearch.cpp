// Driver loop of the angle search over the reverse-communication search of module math.
#include "failure/anglesearch.hpp"

#include "base/errorhandling.hpp"
#include "core/math_goldensearch.hpp"

namespace vorlen::anglesearch {

Result search(IndexFunction f, double xlow, double xup, double dx, i32 gsflag, i32 npoints,
              std::string_view routine, double defaultvalue) noexcept {
    if (npoints < 4 || npoints > max_points) {
        errorhandling::report(-3, "Angle search sample limit outside 4 to 200", routine);
        return {0.0, 0.0, false};
    }
    // A scan advances by dx until it passes xup: a step that is not positive never gets there,
    // a tiny one only after billions of samples.
    if (gsflag != 1 && !(dx > 0.0 && (xup - xlow) / dx <= max_scan_samples)) {
        errorhandling::report(-3, "Angle search step not positive or too small", routine);
        return {0.0, 0.0, false};
    }
    double x[max_points], y[max_points], xmove[4], ymove[4] = {0.0, 0.0, 0.0, 0.0}, lplimits[2];
    i32 increment = 0, proc = 0, xdir = 0;
    lgl golden = 0, finish = 0, update = 0;
    math::IniGoldenSearch(x, y, xmove, lplimits, &increment, &proc, &golden, &finish, &xlow, &xup,
                          &dx, &gsflag, &npoints);
    double xi = 0.0, yi = 0.0;
    // Each call of GSSAFE asks for at most one sample; the guard only backs up its own limits.
    const long long calls = static_cast<long long>(max_scan_samples) + 2 * max_points + 8;
    for (long long k = 0; !finish; ++k) {
        if (k == calls) {
            errorhandling::report(-3, "Angle search does not end", routine);
            return {0.0, 0.0, false};
        }
        math::GSSAFE(&xi, &yi, &dx, x, y, xmove, ymove, lplimits, &xdir, &increment, &proc,
                     &golden, &update, &finish, &defaultvalue, &npoints);
        if (update) yi = f(xi);
    }
    return {xi, yi, true};
}

}  // namespace vorlen::anglesearch
