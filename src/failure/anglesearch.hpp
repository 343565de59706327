// Fracture-plane and kink-plane angle search of the failure criteria: the largest index of a
// criterion over an interval of angles, by a scan in fixed steps or by a coarse scan refined by
// golden-section search, driving math::IniGoldenSearch and math::GSSAFE with the whole search
// state on the stack. Nothing is allocated and nothing is kept between calls, so it runs per
// integration point.
#pragma once
#include <string_view>
#include <type_traits>
#include <utility>

#include "base/view.hpp"

namespace vorlen::anglesearch {

// Largest sample limit of the golden mode (size of its stack work arrays).
inline constexpr i32 max_points = 200;
// Most samples a scan may need: (xup - xlow)/dx above this is refused.
inline constexpr double max_scan_samples = 1e5;
// Most seams a golden search takes.
inline constexpr i32 max_seams = 4;

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
//   dx (in)            scan: step (radians); golden: step of the coarse scan where it is below
//                      3 degrees
//   gsflag (in)        1 golden mode; any other value scan
//   npoints (in)       sample limit of the golden mode, 4 .. max_points (the scan takes every
//                      step of the range)
//   routine (in)       name of the criterion, for the report "<problem> in <routine>"
//   defaultvalue (in)  angle of a degenerate final parabola of a refinement, 0 when not given
//   seams(nseams) (in) golden: angles where the index may jump or have a kink (the first
//                      max_seams that lie inside the range and leave room; others are left out)
// Returns the largest sample and its angle; the best starts at angle 0 with index 0, so all
// indices 0, negative or NaN give (0, 0).
//   scan: the samples are xlow, xlow + dx, ... (by repeated addition) while not above xup; a
//         sample replaces the best only when strictly greater.
//   golden: a coarse scan brackets the peaks: n + 1 samples xlow + i (xup - xlow)/n (the last
//         one xup; one sample for xup = xlow), n = ceil((xup - xlow)/step) with the step dx,
//         or 3 degrees where dx is larger or not a positive number, within 2 .. (npoints - 1)/2
//         - 2 seams; each seam adds two samples 2e-9 max(1, |seam|) apart (grid points closer
//         to it are left out), so that no step of the coarse scan crosses it. Then
//         golden-section searches of module math refine coarse peaks (samples at least their
//         neighbours within the piece between seams) between those neighbours to a bracket
//         1e-4 of the step wide, each ending on the vertex of its last parabola: each peak
//         whose bound for a concave index (the secants beyond its neighbours extended to it;
//         at the end of a piece the secant inside, unless the end lies above it) is above the
//         largest sample so far, the highest peak first, while the npoints samples last.
//         Every sample within [xlow, xup] counts, so the result is the global maximum up to
//         the refinement's width wherever the pieces of the index between seams have peaks at
//         least a coarse step wide. The index is the largest value; the angle moves to a later
//         sample only when it is greater by more than 1e-12 relative, so of mirror planes with
//         the same index up to rounding the first is kept (and so are the peaks chosen for
//         refinement).
// Refused (code -3, result (0, 0), ok false, f never called): npoints outside 4 .. max_points;
// a scan whose step is not positive or not a number, whose range needs more than
// max_scan_samples steps (a NaN or infinite range included), or whose step is wider than a
// range that is not a single point (an infinite step, a reversed range); a golden search whose
// range is not finite or reversed.
Result search(IndexFunction f, double xlow, double xup, double dx, i32 gsflag, i32 npoints,
              std::string_view routine, double defaultvalue = 0.0, const double* seams = nullptr,
              i32 nseams = 0) noexcept;

}  // namespace vorlen::anglesearch
