// Module fatigue, Shokrieh driver: cycle-by-cycle fatigue of a unidirectional ply after the
// generalised residual-material-property approach, one call per integration point and
// increment, its state in the caller's 77-value record.
//
// State record statev(77):
//   1      cycle number n
//   2, 3   fibre and inter-fibre (Puck) failure index, largest value reached, at most 1
//   4      fracture-plane angle (radians) of the latest Puck search, -1 below failure
//   5-13   degraded strengths Xt, Xc, Yt, Yc, Zt, Zc, S12, S13, S23 (compressive ones negative)
//   14-19  degraded moduli E1, E2, E3, G12, G13, G23
//   20-25  largest stress/tensile-strength ratio of the running cycle per direction 11 .. 23
//   26-31  smallest stress/tensile-strength ratio of the running cycle
//   32-37  largest magnitude of stress/compressive-strength ratio of the running cycle
//   38-43  smallest magnitude of stress/compressive-strength ratio of the running cycle
//   44     last cycle jump (the block the next cycle bottom accounts for)
//   45, 46 fibre and inter-fibre failure flags (1 once failed)
//   47-52  consumed life fraction per direction
//   53-58  stress of the first evaluation of the increment
//   59-64  modulus factors;  65-73 strength factors in the paired order (1 intact)
//   74, 75 lowest and highest temperature of the running cycle
//   76     mean temperature of the last evaluated cycle
//   77     cycles that may still be jumped (smallest allowance of the six directions)
// The caller starts it with n and the jump 1 (0 in a direct-cyclic analysis), all factors 1,
// the largest ratios 0 and the smallest the largest double.
#pragma once
#include "base/view.hpp"

namespace vorlen::fatigue {
extern "C" {

// One increment. Within a cycle the ply answers with the secant stiffness of its degraded
// constants (Kaestner law in the 12 and 13 shear components), static fibre (maximum stress) and
// inter-fibre (Puck, 1-degree scan) failure discount the ply at once (SuddenDegradation), and
// the extreme strength ratios of the cycle are tracked. In a fatigue step (row 2 of column
// kstep(1) of shokriehdata::cycleprops equal to 1) an increment that ends a cycle (step time
// t_end >= T/2 and lround(1000 (t_end - T)) a multiple of lround(1000 T)) degrades each
// direction by GradualDegradation (scheme 2) for the last jump, applies the sudden cyclic
// discount with the life fractions and jumps cycles: algorithms 1 to 3 by CycleCount at the
// cycle bottom, 4 and 7 at the start of the next period (by shokriehdata::dnfshok), 6 only
// records the allowable jumps in statev(77) (no jump). A direct-cyclic analysis (idcflag 1)
// takes the cycle number of its first increment from the cycle table, or repeats the cycle
// from statev_backup. Lines on standard output when noel equals debugdata::edebug.
//   stress(6) (in/out)        stress of the previous increment; on return the new stress
//   ddsdde(6,6) (out)         tangent (secant stiffness) in Nye order
//   statev(77) (in/out)       state record (above)
//   stran(6), dstran(6) (in)  strain and its increment, engineering shears
//   props(nprops) (in)        Shokrieh property vector (fatigue_life.hpp); a count other than
//                             150 or 159 and more records code -3 and gives zero stress and
//                             tangent with the records unchanged, and so do moduli E1 .. G23
//                             or strengths that are no positive normal numbers (-3 "Modulus
//                             or strength not a positive normal number in GetShokrieh") in the
//                             set at temp + dtemp or, in an increment that ends a cycle, in
//                             the set at the cycle's mean temperature
//   time(2) (in)              step time and total time at the start of the increment
//   dtime, temp, dtemp (in)   time increment, temperature and its increment
//   nprops, noel (in)         property count, element number
//   kstep(4) (in)             step number first
//   kinc (in)                 increment number
//   iszflag (in)              plane-stress flag of GetNyeStiffnessMatrix (0 plane stress)
//   idcflag (in)              1 in a direct-cyclic analysis
//   statev_backup(77) (in/out)  record kept for repeated increments
// Cycle settings that are missing (table not allocated, fewer than 10 rows, no column
// kstep(1)), or a fatigue step with lround(1000 T) = 0, record code -3; the increment is then
// answered as in a step without fatigue.
void GetShokrieh(double* stress, double* ddsdde, double* statev, const double* stran,
                 const double* dstran, const double* props, const double* time,
                 const double* dtime, const double* temp, const double* dtemp, const i32* nprops,
                 const i32* noel, const i32* kstep, const i32* kinc, const i32* iszflag,
                 const i32* idcflag, double* statev_backup);

}  // extern "C"
}  // namespace vorlen::fatigue
