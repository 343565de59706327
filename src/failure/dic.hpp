// Module dic: failure factors of compression coupons, damaged or notched: the failure load from
// a measured distribution of the compressive stress across the width (digital image
// correlation), the knock-down of a delaminated stack from its buckling records and the factor
// of a central open hole. Stand-alone evaluations; they use no data store.
#pragma once
#include "base/view.hpp"

namespace vorlen::dic {

// Hysteresis of the peak search on the normalised stress distribution.
inline constexpr double delta = 0.05;

extern "C" {

// Failure load, strain and stress of a compression test from a measured stress distribution.
// The points are sorted by ascending signed coordinate (stable for equal ones); the actual curve
// A(k) holds the absolute stress of the k-th point, the weighted curve W(k) the absolute value of
// its stress times 1 + alpha sqrt(2 |x / width|). Peaks are searched on A normalised to [0, 1]
// with hysteresis delta. m1 <= m2 are the positions of the largest stress (first of equal ones)
// and of the largest stress different from it. The reference point is
//   - with exactly one peak: the point of the smallest W (first of equal ones);
//   - else, with p and q the positions of the highest peak and of the highest peak of another
//     height: from the ends of the range [min(p, q), max(p, q)] (m2 = m1 + 1) or
//     [min(m1, p, q), max(m2, p, q)] (otherwise) the walks go down W towards point 1 and towards
//     point nstress while the next W is not larger, and the reference is the end with the larger
//     W (the upper one on equal values). Walks that end at point 1 and at point nstress record
//     code -1 "The extreme value point of weighted stressdistribution curve can not be found"
//     and the computation goes on with these ends.
// The scale to failure is ampfactor = |comprstrength / W(reference)|.
//   fresult(4) (out)   |load| ampfactor, ampfactor |displacement| / length, the first over
//                      (tges width) with tges = sum of plythickness, and the absolute coordinate
//                      of the reference point
//   fcomprstressdistribution(nstress, 2) (out)  ampfactor A(k) and ampfactor W(k) in sorted order
//   avgcomprstress(nstress) (in)  measured average compressive stresses
//   coords(nstress) (in)  their coordinates across the width, any order and sign
//   plythickness(nplies) (in)  ply thicknesses
//   alpha (in)          weighting parameter
//   comprstrength (in)  compressive strength of the laminate
//   load, displacement (in)  load and displacement of the test at the measurement
//   length, width (in)  specimen length and width
//   nplies, nstress (in)  extents; below 0 count as 0
// Both outputs are 0 with code -3 where no result exists: a length or width of 0, or
// tges width = 0; a distribution that has neither exactly one peak nor two peaks of different
// heights (no peak, peaks of one height only, all stresses of one magnitude, fewer than two
// points); and a scale that is not finite (W(reference) = 0). The outputs may share storage
// with the inputs.
void GetComprFailurebyDIC(double* fresult, double* fcomprstressdistribution,
                          const double* avgcomprstress, const double* coords,
                          const double* plythickness, const double* alpha,
                          const double* comprstrength, const double* load,
                          const double* displacement, const double* length, const double* width,
                          const i32* nplies, const i32* nstress);

// Knock-down factor of a delaminated stack from its buckling records.
//   plythickness(nplies) (in)  ply thicknesses, tges their sum
//   bukrealdatalist(12, nplies-1) (in)  buckling records; row 2 the residual ratio
//   bukintdatalist(4, nplies-1) (in)    rows 2 and 3 the first ply s and last ply e of a record
//   nplies (in)         number of plies
// Returns (2a)^a = exp(a ln(2a)), 1 for a = 0, with a = 1 - c / tges: every ply starts with the
// ratio 1, each record with 1 <= s <= e <= nplies sets the ratio of plies s..e (later records
// overwrite earlier ones; others, such as the -1 records of a section without plies, are
// ignored), and c is the largest total thickness of a run of adjacent plies with exactly equal
// ratios. A tges not above 0, or a c above tges (negative thicknesses), gives 1 with code -3.
double GetDmgInfluenceFactor(const double* plythickness, const double* bukrealdatalist,
                             const i32* bukintdatalist, const i32* nplies);

// Factor of a central open hole.
//   plyelastic(9, nplies), plyorientation(nplies), plythickness(nplies) (in)  the stack
//   kt (in)            stress concentration factor
//   radius, width (in) hole radius and specimen width
//   nplies (in)        number of plies
// Returns kt (x^(1 + x) - x^2) + alpha with x = 2 radius / width and
// alpha = |(A11 + A12) / (2 A22 ((kt - 3)^2 + 1)) - nu|, A the membrane stiffness and
// nu = -a12/a11 of a = ABD^-1 (entry 4 of GetEngConstsFromABDMatrix). A width of 0 or a total
// thickness of 0 gives 0 with code -3, as does a result that is not finite (a singular
// stiffness, a negative x).
double GetCentralOpenHoleFactor(const double* plyelastic, const double* plyorientation,
                                const double* plythickness, const double* kt, const double* radius,
                                const double* width, const i32* nplies);

}  // extern "C"
}  // namespace vorlen::dic
