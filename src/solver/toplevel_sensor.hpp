// Impact sensor and hail ice material routines of module toplevel: a sensor element of next to
// no stiffness that reports the state of its impactor (umat_sensor, vumat_sensor), and an
// isotropic elastic-plastic hail ice with tabulated hardening and a hydrostatic cut-off
// (umat_hail).
//
// Orders: Standard vectors and tangents in Nye order, Explicit vectors (11, 22, 33, 12, 23,
// 13); strains carry engineering shears (the explicit straininc tensor shears).
//
// Reports (first-error register), after which the routine writes nothing more than stated:
//   -3 "Unsupported components in <routine>": (ndi, nshr, ntens) none of 3-D (3, 3, 6), plane
//      strain or axisymmetric (3, 1, 4) and plane stress (2, 1, 3); (ndir, nshr) neither (3, 3)
//      nor (3, 1); a sensor with NSTATV < 3 (NSTATEV < 3), a hail point with NSTATV < 2 NTENS + 1
//      or NPROPS < 2: nothing written, except that vumat_sensor starts its block as far as the
//      extents reach: stressnew (when ndir + nshr is 0 to 6), statenew (nstatev >= 0) and
//      enerinelasnew 0, enerinternnew = enerinternold (nothing for NBLOCK below 0);
//   -3 "Density not above 0 in vumat_sensor": such a point keeps ENERINTERNOLD as its internal
//      energy, all else is written;
//   -3 from GetNyeStiffnessMatrix, hail constants without a stiffness (nu = 0.5, nu = -1, E
//      not positive, or a stiffness out of the range of doubles: E = 1e308 or 1e-320): a zero
//      tangent, the stress as it came, no plasticity, the state updated;
//   -3 "Hardening table empty in umat_hail": plasticity switched on with NPROPS 3 or 4: no
//      plastic return (with NPROPS 4 the cut-off still runs);
//   -3 "Hardening table unusable in umat_hail": plasticity switched on with a table whose
//      plastic strains are not numbers that increase strictly, or whose yield stresses are not
//      numbers of at least 0, or that gives a yield stress below 0 at the point's equivalent
//      plastic strain (extrapolated below the first row): the elastic response (elastic tangent
//      and predictor stress, elastic strain updated, no plastic return and no cut-off).
// Per point nothing is allocated on the heap.
#pragma once
#include "base/view.hpp"
#include "solver/argument_lists.hpp"

namespace vorlen::toplevel {
extern "C" {

// Impact sensor (Abaqus/Standard UMAT), incremental.
//   stress(ntens) (in/out)    stress + C dstran, C the isotropic stiffness of E = 1e-20,
//                             nu = 0.49
//   statev(nstatv) (out)      all 0, then 1-3 = cprops(4:6) (impactor displacement, velocity,
//                             acceleration); with stepid 3 and NSTATV > 5 also 4-6 =
//                             cprops(1:3) (contact force, radius, depth)
//   ddsdde(ntens,ntens) (out) C
//   sse (in/out)              sse + 0.5 (stress + stress0) . dstran
//   spd, scd (out)            0
//   stran, dstran(ntens) (in) strain at the start and its increment
//   ndi, nshr, ntens, nstatv (in)  extents
//   props(nprops), nprops (in) NPROPS 2: the half lengths of the loaded rectangle
//   kinc (in)                 not used
//   stepid (in)               step type of the current step, the 32-bit integer of the step
//                             table (3 impact)
//   cprops(20) (in)           impactor record
//   dprops(12) (in/out)       load record; with NPROPS 2: dprops(1) 1.0 becomes -1.0,
//                             dprops(8:9) = props(1:2), dprops(10:11) = 0
//   the other arguments (in)  not used
void toplevel_umat_sensor(VORLEN_UMAT_NOSTEP_PARAMETERS, const i32* stepid, const double* cprops,
                          double* dprops);

// Impact sensor for a block of points (Abaqus/Explicit VUMAT).
//   straininc(nblock,ndir+nshr) (in/out)  with ndir 3 and nshr 1 entry 3 becomes the
//                             plane-stress thickness strain -0.49 (ds11 + ds22) / 1e-20
//   stressnew(nblock,ndir+nshr) (out)  stressold + C straininc
//   statenew(nblock,nstatev) (out)     as STATEV of umat_sensor
//   enerinternnew(nblock) (out)  enerinternold + 0.5 (stressnew + stressold) . straininc /
//                             density (enerinternold where density is not above 0)
//   enerinelasnew(nblock) (out)  0
//   stepid, cprops(20), dprops(12)  as for umat_sensor
//   the other arguments (in)  not used
void toplevel_vumat_sensor(VORLEN_VUMAT_PARAMETERS, const i32* stepid, const double* cprops,
                           double* dprops);

// Hail ice (Abaqus/Standard UMAT): isotropic elasticity, von Mises plasticity with the
// hardening table of PROPS and a cut-off of the hydrostatic stress.
//   stress(ntens) (in/out)    elastic predictor stress + C dstran, returned to the yield
//                             surface by a Newton iteration (at most 10 steps; without
//                             convergence a warning on standard output and the last iterate)
//   statev(nstatv) (in/out)   1..ntens elastic strain, ntens+1..2 ntens plastic strain,
//                             2 ntens + 1 equivalent plastic strain; 2 ntens + 2, when present,
//                             the cut-off flag of the point (1 once PROPS(4) was exceeded by
//                             the hydrostatic stress). With the flag set (or exceeded in this
//                             call when there is no slot for it) the stress is 0 apart from
//                             components 1 to 3, which take PROPS(4)
//   ddsdde(ntens,ntens) (out) elastic or elastic-plastic consistent tangent
//   spd (out)                 plastic work of the increment (0 when elastic)
//   sse, scd (in/out)         not changed
//   props(nprops) (in)        E, nu, plasticity switch (> 0 on), then rows (yield stress,
//                             plastic strain) of the hardening table; PROPS(4) the hydrostatic
//                             limit
//   the other arguments (in)  not used
void toplevel_umat_hail(VORLEN_UMAT_PARAMETERS);

}  // extern "C"
}  // namespace vorlen::toplevel
