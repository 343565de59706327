// Damage field variables of module toplevel: the progressive-damage evaluation of one material
// point of a layered composite, and its field-variable entries of the implicit (USDFLD) and
// explicit (VUSDFLD) solvers.
//
// Damage state record sdv(40): the last 40 state variables, statev(nstatv - 39 : nstatv):
//   1-6   ply stress, Nye order (s11, s22, s33, s12, s13, s23)
//   7-11  failure flags general, fibre, matrix, delamination, core (they only grow)
//   12    delamination flag of a buckling sub-laminate
//   13-17 exposures of the last evaluation, in the order of the flags
//   18    residual strength factor of a buckled sub-laminate (starts at 1)
//   19    fibre residual factor (starts at 1)
//   20    matrix residual factor of the fracture-plane degradation (starts at 1)
//   21    ply, 22 section index (position in sectiondata::secidlist), 23 element index (0 = not
//         looked up yet)
//   24    fracture-plane angle about the fibre axis, radians (-1 = none), 25 the same angle from
//         the XZ plane
//   26    failure-mode code 400 sdv(8) + 40 sdv(9) + 4 sdv(10)
//   27-30 fracture-plane degradation state (onset strain, onset stress, toughness, final strain)
//   35    characteristic element length of the first call
// A record is fresh while slot 21 or 22 is 0.
//
// FIELD(1:nfield), written only when nfield > 4 (all set to 0 first): (1:5) the flags of slots 7
// to 11, 0 for a mode whose materialdata::peflags is 0; (6) slot 25 / pi and (7) the clamped
// fracture-plane damage when nfield > 6 and that degradation is active; the rest 0.
//
// Step types (jobdata::stepid(kstep)): 0 initialization, 1 fatigue, 2 structural response,
// 3 impact, 4 relaxation, 5 measured field, -1 general. The criteria run when kstep > 1 and the
// type is 1, 3 or -1; damage set 1 grows by a failed point when kstep > 1 and the type is 4 or -1.
//
// Reports (first-error register, code -3; the steps that need the index are skipped, FIELD
// keeps its zeros and the record is still written back):
//   "Ply or section outside the data tables in gen_damage": ply or section index of the record
//       outside 1..nplies, 1..nsec (a ply tag beyond nplies, a section tag not in secidlist), or
//       material tables short of them;
//   "Step outside the step table in gen_damage": kstep outside jobdata::stepid or no step table;
//   "Section point count below 1 in gen_damage": sectiondata::nsectionpoints(ielem) < 1 where a
//       section stress column is needed;
//   "Point outside the section stress table in gen_damage": npt, the column of layer and kspt,
//       or the element outside sectiondata::sestress (or sestrain, tshearstress, tnormalstress);
//   "Element tables short of the element in gen_damage": the node, length or transverse stress
//       tables of the element do not hold it;
//   "Impactor records short of nimp in gen_damage": loaddata::dprops without 12 rows and nimp
//       columns.
// A cached element index (slot 23) beyond elementdata::nelem is looked up again.
#pragma once
#include "base/view.hpp"

namespace vorlen::toplevel {
extern "C" {

// Damage evaluation of one material point.
//   field(nfield) (in/out)   solver field variables; untouched when nfield <= 4 or nstatv < 40
//   statev(nstatv) (in/out)  state variables; the damage record is the last 40 of them; nothing
//                            is read or written when nstatv < 40
//   tdirect(3,3) (in)        direction cosines of the point: columns local 1, local 2, normal
//   t(3,3) (in)              passed on to the reference-orientation collection only
//   celent (in)              characteristic element length
//   time(2), dtime (in)      accepted, not used
//   cmname (in)              material name, 80 characters, blank padded: ply tag "_l@<n>@" and
//                            section tag "_s@<id>@"; a null pointer counts as blank
//   nfield, nstatv (in)      extents of field and statev
//   noel, npt (in)           element label and integration point
//   layer, kspt (in)         solver layer and section point (below 1 count as 1 where used)
//   kstep, kinc (in)         step and increment
//   coord(3) (in)            coordinates of the point
//   table(16) (in, optional) point record: (1) temperature, (2:7) stress and (8:13) strain in
//                            Voigt order, (14:16) characteristic lengths; taken as given when an
//                            entry differs from -1
// The stress and strain of the section tables are Nye-ordered columns
// sectiondata::sestress(6, ., npt, ielem); the dispatchers take the first temperature block of
// materialdata::peprops and psprops.
void toplevel_gen_damage(double* field, double* statev, const double* tdirect, const double* t,
                         const double* celent, const double* time, const double* dtime,
                         const char* cmname, const i32* nfield, const i32* nstatv, const i32* noel,
                         const i32* npt, const i32* layer, const i32* kspt, const i32* kstep,
                         const i32* kinc, const double* coord, const double* table);

// USDFLD entry: toplevel_gen_damage with the solver's arguments and no point record.
//   pnewdt, orname, ndi, nshr, jmac(*), jmatyp(*), matlayo, laccfla, threadid (in)  accepted,
//                            not used (pnewdt is left as it is)
//   the others as in toplevel_gen_damage
void toplevel_usdfld_dmg(double* field, double* statev, double* pnewdt, const double* tdirect,
                         const double* t, const double* celent, const double* time,
                         const double* dtime, const char* cmname, const char* orname,
                         const i32* nfield, const i32* nstatv, const i32* noel, const i32* npt,
                         const i32* layer, const i32* kspt, const i32* kstep, const i32* kinc,
                         const i32* ndi, const i32* nshr, const double* coord, const i32* jmac,
                         const i32* jmatyp, const i32* matlayo, const i32* laccfla,
                         const i32* threadid);

// VUSDFLD entry: a block of points. statenew = stateold, then for each point k
// toplevel_gen_damage on row k with the point record (temp(k), stress and strain of row k in
// Voigt order, charlength(k, 1:3)), celent charlength(k, 1), noel jelem(k) and
// kinc = ceiling(steptime / dt - 2.220446049250313e-16) (0 when dt is 0 or the quotient is not
// a number; at most the largest 32-bit integer).
//   nblock, nstatev, nfieldv, nprops (in)  extents; nothing happens when nblock or nstatev is
//                            below 1
//   ndir, nshr (in)          direct and shear components of stressold and strainold, in the
//                            solver's order 11, 22, 33, 12, 23, 13; components the block does
//                            not carry (shells: 13, 23) count as 0. A negative count records
//                            code -3 "Unsupported components in vusdfld_dmg": statenew =
//                            stateold, field untouched, stressold and strainold not read
//   jelem(nblock), kintpt, klayer, ksecpt, kstep (in)  element labels, point, layer, section
//                            point, step
//   temp(nblock), steptime, totaltime, dt (in)  temperatures and times
//   cmname (in)              material name (80 characters)
//   coordmp(nblock,3), tdirect(nblock,3,3), t(nblock,3,3), charlength(nblock,3) (in)
//   props(nprops), threadid (in)  accepted, not used
//   stateold(nblock,nstatev), stressold(nblock,ndir+nshr), strainold(nblock,ndir+nshr) (in)
//   statenew(nblock,nstatev) (out)  the updated state; may be stateold itself
//   field(nblock,nfieldv) (in/out)  field variables of each point (rows untouched where
//                            nfieldv <= 4 or nstatev < 40)
void toplevel_vusdfld_dmg(const i32* nblock, const i32* nstatev, const i32* nfieldv,
                          const i32* nprops, const i32* ndir, const i32* nshr, const i32* jelem,
                          const i32* kintpt, const i32* klayer, const i32* ksecpt, const i32* kstep,
                          const double* temp, const double* steptime, const double* totaltime,
                          const double* dt, const char* cmname, const double* coordmp,
                          const double* tdirect, const double* t, const double* charlength,
                          const double* props, const double* stateold, const double* stressold,
                          const double* strainold, double* statenew, double* field,
                          const i32* threadid);

}  // extern "C"

inline constexpr auto& gen_damage = toplevel_gen_damage;
inline constexpr auto& usdfld_dmg = toplevel_usdfld_dmg;
inline constexpr auto& vusdfld_dmg = toplevel_vusdfld_dmg;

}  // namespace vorlen::toplevel
