// Explicit progressive ply damage of module toplevel (Abaqus/Explicit VUMAT): vumat_cartesian,
// a unidirectional ply of three-dimensional continuum elements whose material axes are the
// element's cartesian axes, with tension and compression moduli, a non-linear in-plane shear
// law, nine failure modes (initiation by one of six criterion sets, bilinear softening over the
// element's characteristic lengths), stiffness damages from the mode damages, crushing and
// permanent strains, strain-rate damping and element deletion through the state.
//
// Component order 11, 22, 33, 12, 23, 13 (Cyclic), tensor shear strains. A point keeps its
// whole history in its state row, and its result depends on its own rows only.
//
// Reports (first-error register), each with the elastic fallback of the point (stressnew =
// stressold + C straininc for six components, else stressold; statenew = stateold; the internal
// energy grows by the work of that stress, the inelastic energy is kept):
//   -3 "Unsupported components in vumat_cartesian": ndir, nshr not 3, 3 (C the fallback's 0;
//      stressnew is written in its first ndir + nshr columns when that count is 0 to 6, in
//      none otherwise);
//   -3 "Short property vector in vumat_cartesian": a property vector (NPROPS not 1 to 9 or 21)
//      of fewer than 39 values (C from its first 9 values when it has them, else 0);
//   -3 "Short state in vumat_cartesian": a property vector with NSTATEV < 82;
//   -3 "Time increment not above 0 in vumat_cartesian": dt <= 0 after the first increment;
//   -3 "Modulus or strength not a positive normal number in vumat_cartesian": one of E11t,
//      E22t, E33, G12, G13, G23, E11c, E22c, the nine strengths or, for the shear laws 1, 2, 6
//      and 11, g_ini is 0, negative, subnormal, inf or not a number;
//   -3 "Stiffness not positive definite in vumat_cartesian": the moduli a point takes by the
//      signs of its strains (in the first increment the means, for all points) give a
//      stiffness that is not finite or not positive definite;
//   -3 "Characteristic length not above 0 in vumat_cartesian": the point's lengths (C from the
//      vector's first 9 values, 0 where they give none; these last five with a complete
//      vector);
//   -3 "Density not above 0 in vumat_cartesian": the point's energies are kept as they were;
//   -3 "Ply or section outside the data tables in vumat_cartesian": NPROPS 1 and the point's
//      STATEOLD(21), STATEOLD(22) outside materialdata::peprops (or NSTATEV < 22): C = 0;
//   -3 from GetNyeStiffnessMatrix, short-form constants (NPROPS 1 to 9) without a stiffness
//      (compliance not positive definite, or a stiffness out of the range of doubles): C = 0.
// nblock <= 0 reads and writes nothing. Per point nothing is allocated on the heap.
#pragma once
#include "base/view.hpp"
#include "solver/argument_lists.hpp"

namespace vorlen::toplevel {
extern "C" {

// Explicit progressive ply damage for a block of points.
//   nblock, ndir, nshr, nstatev, nfieldv, nprops (in)  extents; ndir = nshr = 3
//   lanneal, steptime, cmname(80), coordmp, relspininc, tempold, stretchold, defgradold,
//   fieldold, enerinelasold, tempnew, stretchnew, defgradnew, fieldnew (in)  not used
//   totaltime (in)          0: the first increment (undamaged stiffness of the mean moduli
//                           times straininc; columns 1-18, 27-38 and 45-62 zeroed, 21-26 and
//                           39-44 the strain, 81-82 -1)
//   dt (in)                 time increment of the damping rates
//   charlength(nblock,3) (in)  characteristic lengths of directions 1, 2, 3
//   props(nprops) (in)      NPROPS 1: elastic constants of materialdata::peprops(1:9, ply,
//                           section) with ply and section in the point's STATEOLD(21),
//                           STATEOLD(22); 2 to 9: elastic constants (GetNyeProperties); 21: the
//                           packed upper triangle of the 6 by 6 Nye stiffness. These give the
//                           linear elastic response, incremental, with the state copied.
//                           Otherwise the property vector (at least 39 values): 1-9 E11t, E22t,
//                           E33, G12, G13, G23, nu12, nu13, nu23; 10-18 strengths Xt11, Xt22,
//                           Xt33, Xc11, Xc22, Xc33 (magnitudes), X12, X13, X23; 19, 20 E11c,
//                           E22c; 21 alpha and 22 g_ini of the shear law, 23 shear law (1, 11
//                           exponential, 2 bilinear, 6 scaled modulus); 25-29 fracture energies
//                           of fibre tension, fibre compression, transverse tension, transverse
//                           compression, through-thickness; 30-32 damping factors; 33 criterion
//                           input (1 strains, 2 stresses); 34 criterion set 1 to 6; 35
//                           permanent strain (1) or shear crack closure (4); 36 crushing (1) or
//                           compressive plateau (2); 37 summed (1) or largest mode couplings; 38
//                           stiffness degradation (1); 39 strength scaling (1: each strength
//                           times 1 - its mode damage, at least 1e-12 of it); 40-42 fracture
//                           energies of the shear modes 12, 23, 13 (0 where NPROPS ends before)
//   density(nblock) (in)    mass density
//   straininc(nblock,6) (in)  strain increment; not changed
//   stressold(nblock,6), stateold(nblock,nstatev), enerinternold(nblock) (in)
//   stressnew(nblock,6) (out)  stress with damping
//   statenew(nblock,nstatev) (out)  stateold with the routine's columns updated: 1-9 stiffness
//                           damages, 10-18 mode damages (never decreasing), 19 status (0
//                           deleted), 21-26 total strain, 27-32 inelastic strain, 33-35
//                           crack-closure flags of the shear components, 36-38 largest shear
//                           stresses, 39-44 shear strains at the largest shear stress and the
//                           most compressive fibre strain, 45-53 onset strains, 54-62 final
//                           strains (a mode with a stored final strain has initiated, also
//                           at zero damage), 63-71 onset stresses, 72-80 failure indices, 81, 82
//                           fracture-plane angles in radians (-1 until one is found)
//   enerinternnew, enerinelasnew(nblock) (out)  specific internal and inelastic energies
void toplevel_vumat_cartesian(VORLEN_VUMAT_PARAMETERS);

}  // extern "C"

inline constexpr auto& vumat_cartesian = toplevel_vumat_cartesian;

}  // namespace vorlen::toplevel
