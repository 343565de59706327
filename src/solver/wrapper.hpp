// Solver-convention converters of module wrapper: one material routine serves several solver
// interfaces. Each converter has the argument list of one interface, takes the material routine
// of another interface as its first argument dfunc, and translates arguments, component orders
// and element dimensions both ways.
//
// The callback always works in three dimensions (ndi 3, nshr 3, ntens 6): the caller's reduced
// vectors are expanded to six Nye components (elementhandling Get3DInputFromElem, axisymmetric
// 4-component vectors, no transverse data) and the results reduced again (GetElemOutputFrom3D).
// Orders: UMAT vectors and tangents in Nye order (11, 22, 33, 12, 13, 23); three-dimensional
// USERMAT vectors in the Cyclic order (11, 22, 33, 12, 23, 13); reduced USERMAT vectors are in
// Nye order already. Shear strains are engineering strains.
//
// Context a UMAT callback receives where the front interface has none: material name
// "ABQ_WRAPPER" (80 characters, blank padded), DROT identity, PNEWDT 1.0, CELENT 1.0, PREDEF and
// DPRED 0 (one value each), DDSDDT and DRPLDE zero, TIME(2) as stated per converter,
// JSTEP = (step, 2147483647, 1, 0).
//
// Refused calls record code -3 and do not call dfunc: a null dfunc ("No material routine in
// <converter>"), (direct, shear, all components) other than a layout of the implicit solvers,
// (3, 3, 6) three-dimensional, (3, 1, 4) plane strain and axisymmetric or (2, 1, 3) plane stress
// (for Peridigm (ndir, nshr, ndir + nshr)) ("Unsupported components in <converter>"), or a
// negative state or property count ("Negative extent in <converter>"). A refused call writes
// nothing, but the Peridigm converter gives its outputs the old rows as far as the extents
// reach: stressnew = stressold when ndir + nshr is 0 to 6, statenew = stateold when nstatev is
// above 0. Per point nothing is allocated (the Peridigm converter keeps a point's state row in a
// work array of 512 values before it takes storage).
// A failure inside dfunc that is raised as a C++ exception (a Python callable's failure) passes
// through the converter to its caller; the converter's own work raises nothing.
#pragma once
#include <string_view>

#include "base/view.hpp"
#include "solver/argument_lists.hpp"

namespace vorlen::wrapper {

// Material routine with the UMAT argument list (Abaqus/Standard).
using Umat = void(VORLEN_UMAT_PARAMETERS);

// Material routine with the UMAT argument list preceded by the material id (MUESLI).
using MuesliUmat = void(const i32* matid, VORLEN_UMAT_PARAMETERS);

// Material routine with the ANSYS USERMAT argument list.
using Usermat = void(VORLEN_USERMAT_PARAMETERS);

// A USERMAT entry made of a UMAT routine: abq_umat_to_ansys_usermat with umat, a C++ failure
// recorded as code -3 "Unexpected failure in <name>".
void usermat_of(Umat* umat, std::string_view name, VORLEN_USERMAT_PARAMETERS) noexcept;

extern "C" {

// ANSYS USERMAT in front, UMAT behind.
//   dfunc (in)               the UMAT routine; it sees TIME = (time, 1.7976931348623157e308),
//                            NOEL elemid, NPT kdomintpt, KSLAY klayer, KSPT ksectpt,
//                            JSTEP(1) ldstep, KINC isubst, DFGRD0 defgrad_t, DFGRD1 defgrad
//   matid, elemid, kdomintpt, klayer, ksectpt, ldstep, isubst (in)  point and step
//   keycut (out)             0 (the callback's PNEWDT is not passed on)
//   ndirect, nshear, ncomp (in)  direct, shear and all components: (2, 1, 3) (11, 22, 12),
//                            (3, 1, 4) (axisymmetric rr, zz, thetatheta, rz) or (3, 3, 6)
//                            (Cyclic order)
//   nstatev, nprop (in)      lengths of ustatev and prop
//   time, dtime, temp, dtemp (in)
//   stress(ncomp) (in/out)   stress; replaced by the callback's stress, reduced
//   ustatev(nstatev) (in/out)  the callback's state variables
//   dsdepl(ncomp,ncomp) (out)  the callback's tangent, reduced
//   sedel (in/out)           the callback's SSE
//   sedpl, epseq (out)       0
//   strain(ncomp), dstrain(ncomp) (in)  total strain at the start and its increment
//   epspl(ncomp) (in/out), var0, var1 .. var8 (in)  accepted, not used
//   prop(nprop), coords(3), defgrad_t(3,3), defgrad(3,3) (in)
//   tsstif(2) (in/out)       transverse shear stiffness from the engineering constants of the
//                            returned 6 x 6 tangent: tsstif(1) = G13 always; tsstif(2) = G23
//                            for ncomp 3 or 4 unless ndirect is 1. A tangent that cannot be
//                            inverted gives no constants: tsstif = 0, epszz unchanged
//   epszz (in/out)           plane stress (ndirect 2, ncomp 3): -(nu31 s11 + nu32 s22)/E3 of
//                            the returned stress; otherwise unchanged
void wrapper_abq_umat_to_ansys_usermat(Umat* dfunc, VORLEN_USERMAT_PARAMETERS);

// Peridigm material in front, UMAT behind. Arrays hold one row per point.
//   dfunc (in)               the UMAT routine; per point it gets the point's stress and state
//                            rows, a zero total strain and the row of straininc as increment,
//                            SSE, SPD, SCD 0, a zero tangent, TIME = (steptime, totaltime),
//                            DTIME dt, TEMP and DTEMP 0, COORDS (1, 1, 1), DFGRD0 and DFGRD1
//                            identity, NOEL = NPT = KSLAY = KSPT = KINC = 1, JSTEP(1) 1
//   stressnew(npoint,ndir+nshr) (out)  stressold plus the callback's returned stress (reduced);
//                            may be stressold itself
//   statenew(npoint,nstatev) (out)  the callback's state rows; may be stateold itself
//   stressold(npoint,ndir+nshr), stateold(npoint,nstatev) (in)
//   straininc(npoint,ndir+nshr) (in)  strain increments, Nye order, engineering shears
//   props(nprops), steptime, totaltime, dt (in)
//   matid (in)               accepted, not used
//   npoint (in)              points; nothing happens below 1
//   ndir, nshr, nstatev, nprops (in)  extents
// A callback whose stress is the secant stiffness times the total strain (umat_lamina)
// contributes the stiffness times the increment; an incremental callback would count the old
// stress twice.
void wrapper_abq_umat_to_peridigm_upermat(Umat* dfunc, double* stressnew, double* statenew,
                                          const double* stressold, const double* stateold,
                                          const double* straininc, const double* props,
                                          const double* steptime, const double* totaltime,
                                          const double* dt, const i32* matid, const i32* npoint,
                                          const i32* ndir, const i32* nshr, const i32* nstatev,
                                          const i32* nprops);

// UMAT in front, ANSYS USERMAT behind. The callback gets the material id of the "m" tag of
// materl (1 when there is none or it is not positive), NOEL, NPT, KSLAY, KSPT, JSTEP(1), KINC as
// elemid .. isubst, ncomp 6 in the Cyclic order, TIME(1), and zeros for keycut, sedpl, epseq,
// epspl, var0 .. var8, tsstif and epszz (its values there are dropped).
//   stress(ntens) (in/out), ddsdde(ntens,ntens) (out)  the callback's stress and tangent back
//                            in Nye order, reduced
//   sse (in/out)             the callback's sedel
//   spd, scd (out)           0
//   pnewdt (out)             1.0
//   statev(nstatv) (in/out)  the callback's ustatev
//   rpl, ddsddt, drplde, drpldt, predef, dpred, drot, celent (in)  not used
//   the others as in the UMAT list
void wrapper_ansys_usermat_to_abq_umat(Usermat* dfunc, VORLEN_UMAT_PARAMETERS);

// UMAT in front, material-id-first routine behind: the callback gets matid first and the UMAT
// arguments in three dimensions (DDSDDT and DRPLDE zero vectors of 6); stress and tangent come
// back reduced to ntens. The other arguments pass through as they are.
//   matid (in)               material id, the last argument
void wrapper_muesli_to_abq_umat(MuesliUmat* dfunc, double* stress, double* statev, double* ddsdde,
                                double* sse, double* spd, double* scd, double* rpl, double* ddsddt,
                                double* drplde, double* drpldt, const double* stran,
                                const double* dstran, const double* time, const double* dtime,
                                const double* temp, const double* dtemp, const double* predef,
                                const double* dpred, const char* materl, const i32* ndi,
                                const i32* nshr, const i32* ntens, const i32* nstatv,
                                const double* props, const i32* nprops, const double* coords,
                                const double* drot, double* pnewdt, const double* celent,
                                const double* dfgrd0, const double* dfgrd1, const i32* noel,
                                const i32* npt, const i32* kslay, const i32* kspt, const i32* jstep,
                                const i32* kinc, const i32* matid);

}  // extern "C"

inline constexpr auto& abq_umat_to_ansys_usermat = wrapper_abq_umat_to_ansys_usermat;
inline constexpr auto& abq_umat_to_peridigm_upermat = wrapper_abq_umat_to_peridigm_upermat;
inline constexpr auto& ansys_usermat_to_abq_umat = wrapper_ansys_usermat_to_abq_umat;
inline constexpr auto& muesli_to_abq_umat = wrapper_muesli_to_abq_umat;

}  // namespace vorlen::wrapper
