// Fracture-plane and kink-plane angle search of the failure criteria: the largest index of a
// criterion over an interval of angles, by a scan in fixed steps or by a coarse scan refined by
// golden-section searches, driving math::IniGoldenSearch and math::GSSAFE with the whole search
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
inline constexpr i32 max_seams = 12;
// Most steps of the coarse scan of the golden mode.
inline constexpr i32 max_coarse_steps = 360;
// Samples graded toward each switch of the golden mode, h/2, h/4, ... h/2^grading from it on
// either side (h the coarse step): a feature of the index narrower than a step that a switch
// makes (a spike where a weight swings) has samples at its own scale.
inline constexpr i32 grading = 10;
// Samples the coarse scan of the golden mode adds for a seam: the seam itself and one beside it
// on either side; and for a switch, with its graded samples.
inline constexpr i32 seam_samples = 3;
inline constexpr i32 switch_samples = seam_samples + 2 * grading;

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
//                      1 degree
//   gsflag (in)        1 golden mode; any other value scan
//   npoints (in)       golden mode: sample limit of its golden-section refinements, 4 ..
//                      max_points (the scans, its coarse one too, take every step of the range)
//   routine (in)       name of the criterion, for the report "<problem> in <routine>"
//   defaultvalue (in)  angle of a degenerate final parabola of a refinement, 0 when not given
//   seams(nseams) (in) golden: angles where the index may jump or have a kink; of a periodic
//                      index any copy of them will do. The first max_seams of them that lie in
//                      the range count, others are left out.
//   period (in)        golden: period of the index in the angle (pi for planes through the
//                      fibre axis); 0 (not given) or not a positive number: none
//   nswitches (in)     golden: the first nswitches seams are switches, where the index may
//                      also have a feature narrower than a coarse step (a spike where a weight
//                      swings); they get graded samples
// Returns the largest sample and its angle, an angle at which f was called; the best starts at
// angle 0 with index 0, so all indices 0, negative or NaN give (0, 0).
//   scan: the samples are xlow, xlow + dx, ... (by repeated addition) while not above xup; a
//         sample replaces the best only when strictly greater. A step wider than the range
//         samples xlow alone.
//   golden: a coarse scan brackets the peaks, golden-section searches of module math refine
//         them. Where the range spans a whole period (up to 1e-9 relative) it is a circle of
//         one period from xlow: its end is its start, a peak across that is one peak, and
//         angles past the range are taken a period back. The coarse scan takes n steps of
//         h = (range or period)/n from xlow (the last sample xup, unless the range is a circle;
//         one sample for xup = xlow), n = ceil((range or period)/step) with the step dx, or 1
//         degree where dx is larger or not a positive number, within 2 .. max_coarse_steps. A
//         seam inside the range (of a periodic index, its copy there) adds seam_samples: the
//         seam, alone in its piece, and one 1e-12 max(1, |seam|) on either side of it, ends of
//         the pieces of the index between seams (grid points closer to it are left out); a
//         switch adds its graded samples too. A seam at an end of the range is its end sample;
//         one at the start of a circle is taken as a seam there, and the end of the range
//         (the same plane, where the index may hold the limit from below) is sampled too. Then
//         every coarse peak (a sample that no neighbour within its piece exceeds and that
//         stands above one of them; or a grid sample that is such a peak among the grid samples
//         alone, its neighbours there being others) whose index lies within 5 % of the largest
//         sample so far is refined, the highest first: a golden-section search between those
//         neighbours (those with an index) to a bracket 1e-4 of the coarse step wide (none where
//         they lie closer), ending on the vertex of its last parabola within the bracket (a
//         sample without an index ends it); its neighbours count as refined with it. This goes
//         on while npoints samples last. Every sample within [xlow, xup] counts, so the result
//         is the global maximum up to the refinement's width wherever the pieces of the index
//         between seams have no peak narrower than a coarse step, away from a switch, that the
//         coarse samples beside it hide. The index is the largest value; the angle moves to a
//         later sample only when it is greater by more than 1e-12 relative, so of mirror planes
//         with the same index up to rounding the first is kept (and so are the peaks chosen for
//         refinement).
// Refused (code -3, result (0, 0), ok false, f never called): npoints outside 4 .. max_points;
// a range that is not finite or reversed; a scan whose step is not finite, not positive or
// needs more than max_scan_samples steps over the range.
// Code -3 "Angle search found no plane with a defined index in <routine>" when every sample
// is NaN, with the result (0, 0).
Result search(IndexFunction f, double xlow, double xup, double dx, i32 gsflag, i32 npoints,
              std::string_view routine, double defaultvalue = 0.0, const double* seams = nullptr,
              i32 nseams = 0, double period = 0.0, i32 nswitches = 0) noexcept;

}  // namespace vorlen::anglesearch
