// Explicit fracture-plane ply damage of module toplevel (Abaqus/Explicit VUMAT): a
// unidirectional ply whose fibre tension and fibre compression damages soften bilinearly in the
// fibre direction and whose inter-fibre crack, found by the Wiegand action-plane criterion,
// degrades the stiffness in the frame of its fracture plane, open or closed by the stress on it.
//
// Order of vectors: 11, 22, 33, 12, 23, 13 (Cyclic) with tensor shear strains; ntens = ndir +
// nshr is 6 (ndir 3, nshr 3), or 4 (ndir 3, nshr 1: plane stress) for the elastic part.
//
// Property forms by nprops:
//   1        materialdata::peprops(1:9, int(stateold(1,21)), int(stateold(1,22)))
//   2 to 9   GetNyeProperties(props, nprops) (2, 5 or 9 values)
//   21       packed upper triangle of the 6 x 6 Nye stiffness, column by column (ntens 6 only)
//   29 up    the damage vector: 1-3 E11, E22, E33; 4-6 G12, G13, G23; 7-9 nu12, nu13, nu23;
//            10 x11t; 11 x22t; 13 x11c; 14 x22c; 16 x12; 17 x13; 25, 26 fracture energies of
//            fibre tension and compression; 27, 28, 29 toughnesses of the inter-fibre crack
//            (normal opening, normal closing, both shear modes)
// The short forms are linear elastic. The damage update runs for the damage vector with a
// nonzero slot, ntens 6 and totaltime not 0.
//
// State row (nstatev >= 47; other columns copied):
//   1-4   fibre tension, fibre compression, inter-fibre damage, 0 (caps 0.999, 0.97, 0.99)
//   7, 8, 9, 11  fracture-plane record of BogenfeldDegradation (onset strain, onset stress,
//         toughness, final strain), written at crack onset
//   10    largest Wiegand index (>= 1: crack present); 12 fracture-plane angle, degrees
//   13-15 fibre tension onset strain, final strain, fracture energy; 45 its onset stress
//   16, 17 fibre compression onset and final strain; 46 its onset stress
//   18, 20 largest fibre tension and compression indices
//   19    status: 0 once a fibre damage reaches its cap (the solver deletes the point)
//   21-26 total strain; 27-32 inelastic strain (carried); 47 crack status +1 open, -1 closed
// The fibre tests use the fibre stress at the start of the increment. Any characteristic
// length above 0 gives the crack band of the fibre tension softening. An onset whose
// equivalent strain is 0 (a stress from Poisson coupling alone) waits for a later increment:
// nothing is recorded, the inter-fibre index is held just below 1.
//
// Energies: enerinternnew = enerinternold + st 0.5 (stressnew + stressold) . straininc / rho,
// enerinelasnew = enerinternnew - st E/rho, st = statenew(i,19), shear terms doubled; E =
// 0.5 stressnew . total strain in the damage update, 0.5 stressnew . C^-1 stressnew on the
// elastic path (which leaves the state row as it was).
//
// Reports (first-error register), after which the points concerned get the trial stress
// stressold + C straininc (0 stiffness without constants), a copy of the state row and the
// old energies:
//   -3 "Unsupported components in vumat_bogenfeld": (ndir, nshr) neither (3, 3) nor (3, 1), or
//      nstatev < 0: stressnew = stressold (when ndir + nshr is 0 to 6), statenew = stateold
//      (nstatev >= 0), energies kept;
//   -3 "State short of the damage record in vumat_bogenfeld": nstatev < 47 (all points);
//   -3 "Ply or section outside the data tables in vumat_bogenfeld", -3 "Short property vector
//      in vumat_bogenfeld" (nprops 10 to 20, 22 to 28 or below 1), -3 "Stiffness triangle
//      needs six components in vumat_bogenfeld", -2 from GetNyeProperties: no constants;
//   -3 "Damage update needs six components in vumat_bogenfeld" (damage vector, ntens 4);
//   -3 "Modulus or strength not a positive normal number in vumat_bogenfeld": a damage vector
//      whose E11, E22, E33, G12, G13, G23, x11t, x22t, |x11c|, |x22c|, x12 or x13 is 0,
//      negative, subnormal, inf or not a number (all points, also in the initial call);
//   -3 "Density or characteristic length not above 0 in vumat_bogenfeld" (that point).
// nblock <= 0: nothing is read or written. Nothing is allocated on the heap per point.
#pragma once
#include "base/view.hpp"
#include "solver/argument_lists.hpp"

namespace vorlen::toplevel {
extern "C" {

// Fracture-plane ply damage for a block of points (Abaqus/Explicit VUMAT).
//   nblock, ndir, nshr, nstatev, nfieldv, nprops (in)  extents
//   lanneal, steptime (in)        not used
//   totaltime (in)                0: the solver's initial call, elastic only
//   dt, cmname(80), coordmp (in)  not used
//   charlength(nblock,3) (in)     characteristic lengths in directions 1, 2, 3
//   props(nprops) (in)            properties (above)
//   density(nblock) (in)          mass density
//   straininc(nblock,ntens) (in/out)  strain increment; for ndir 3, nshr 1 column 3 becomes
//                                 the plane-stress thickness increment -(nu31 ds11 + nu32
//                                 ds22)/E33 of the elastic stress increment
//   relspininc, tempold, stretchold, defgradold, fieldold (in)  not used
//   stressold(nblock,ntens), stateold(nblock,nstatev), enerinternold(nblock) (in)
//   enerinelasold(nblock) (in)    only given back where a point is refused
//   tempnew, stretchnew, defgradnew, fieldnew (in)  not used
//   stressnew(nblock,ntens), statenew(nblock,nstatev), enerinternnew(nblock),
//   enerinelasnew(nblock) (out)
void toplevel_vumat_bogenfeld(VORLEN_VUMAT_PARAMETERS);

}  // extern "C"

inline constexpr auto& vumat_bogenfeld = toplevel_vumat_bogenfeld;

}  // namespace vorlen::toplevel
