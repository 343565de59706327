// Fracture-plane and kink-plane angle search of the failure criteria: the largest index of a
// criterion over an interval of angles, by a scan in fixed steps or by golden-section search,
// driving math::IniGoldenSearch and math::GSSAFE with the whole search state on the stack.
// Nothing is allocated and nothing is kept between calls, so it runs per integration point.
#pragma once
#include <string_view>
#include <type_traits>
#include <utility>

#include "base/view.hpp"

namespace vorlen::anglesearch {

// Largest sample limit a search takes (size of its stack work arrays).
inline constexpr i32 max_points = 200;
// Most samples a scan may need: (xup - xlow)/dx above this is refused.
inline constexpr double max_scan_samples = 1e5;

// Non-owning reference to a callable double(double) (the criterion's index at an angle). It
// must not outlive the callable it refers to; pass a lambda straight into search().
class IndexFunction {
public:
    template <class F, class = std::enable_if_t<!std::is_same_v<std::decay_t<F>, IndexFunction>>>
    IndexFunction(F&& f) noexcept  // NOLINT: implicit on purpose, search(lambda, ...)
        : obj_(const_cast<void*>(static_cast<const void*>(&f))),
          call_([](void* o, double theta) -> double {
              return (*static_cast<std::remove_reference_t<F>*>(o))(theta);
          }) {}
    double operator()(double theta) const { return call_(obj_, theta); }

private:
    void* obj_;
    double (*call_)(void*, double);
};

// The angle and index taken as the maximum; ok false when the search was refused.
struct Result {
    double angle = 0.0;
    double index = 0.0;
    bool ok = true;
};

// Largest index of f over [xlow, xup].
//   f (in)             index at an angle; called once per sample, in the order the search
//                      takes them (a criterion may note what it needs of the last sample)
//   xlow, xup (in)     range of the angle (radians)
//   dx (in)            scan: step (radians); golden: target width of the bracket
//   gsflag (in)        1 golden-section search; any other value scan
//   npoints (in)       sample limit of the golden-section search, 4 .. max_points (the scan
//                      takes every step of the range)
//   routine (in)       name of the criterion, for the report "<problem> in <routine>"
//   defaultvalue (in)  angle of a degenerate final parabola (golden), 0 when not given
// Returns:
//   scan: the samples are xlow, xlow + dx, ... (by repeated addition) while not above xup; a
//         sample replaces the best only when strictly greater, and the best starts at angle 0
//         with index 0, so all indices 0 or NaN give (0, 0);
//   golden: the vertex of the last bracket's parabola with the value of the last bracket
//         sample, or the last sample when npoints samples were taken.
// Refused (code -3, result (0, 0), ok false, f never called): a scan whose step is not
// positive or not a number, or whose range needs more than max_scan_samples steps (a NaN or
// infinite range included); npoints outside 4 .. max_points.
Result search(IndexFunction f, double xlow, double xup, double dx, i32 gsflag, i32 npoints,
              std::string_view routine, double defaultvalue = 0.0) noexcept;

}  // namespace vorlen::anglesearch
