// Woven-ply fatigue material routine of module toplevel: a layer of two unidirectional
// sub-plies at +angle and -angle, each a Shokrieh fatigue ply (fatigue::GetShokrieh) with its
// own 77-value record; Abaqus/Standard (umat_shokrieh) and ANSYS (usermat_shokrieh, through the
// converter wrapper::abq_umat_to_ansys_usermat).
//
// State (NALLSTATV = 312): 1 sub-ply angle in degrees (PROPS(149)), 2-78 record of sub-ply 1,
// 79-155 record of sub-ply 2, 156 zero, 157-312 the copy of 1-156 made at initialisation
// (158-234 and 235-311 the backup records of a direct-cyclic analysis).
//
// Reports (first-error register): -3 "Unsupported components in umat_shokrieh" for (ndi, nshr,
// ntens) none of the layouts (3, 3, 6), (3, 1, 4) and (2, 1, 3), NALLSTATV < 312 or NPROPS < 150:
// nothing written. What fatigue::GetShokrieh refuses (a property count of 151 to 158, moduli or
// strengths that are no positive normal numbers) it reports itself; the sub-plies then answer
// zero stress and tangent with their records unchanged, so the layer stress and tangent are 0.
// Per point nothing is allocated on the heap.
#pragma once
#include "base/view.hpp"
#include "solver/argument_lists.hpp"

namespace vorlen::toplevel {
extern "C" {

// One increment of the woven layer (UMAT).
//   stress(ntens) (in/out)    mean of the two sub-ply stresses turned back into the layer axes
//   statev(nallstatv) (in/out)  state above; a zero record (or one whose last entry holds the
//                             initialisation marker 9.9e34) at KINC <= 1 is initialised; an
//                             entry 77 of 0 in a sub-ply record becomes the largest double
//   ddsdde(ntens,ntens) (out) mean of the sub-ply tangents turned into the layer axes
//   sse (in/out)              sse + (stress0 + 0.5 (stress - stress0)) . dstran
//   spd, scd, rpl, ddsddt, drplde, drpldt, pnewdt  not written
//   stran, dstran(ntens) (in) strain and its increment (engineering shears)
//   time(2), dtime, temp, dtemp (in)  as GetShokrieh takes them
//   ndi, nshr, ntens (in)     components: (2, 1, 3) plane stress (plane-stress sub-ply
//                             stiffness), (3, 1, 4) axisymmetric, (3, 3, 6) solid
//   props(nprops) (in)        Shokrieh property vector; PROPS(149) the angle in degrees
//   noel, jstep(4), kinc (in) element, step (JSTEP(2) 6 or 7: direct-cyclic), increment
//   the other arguments (in)  not used
void toplevel_umat_shokrieh(double* stress, double* statev, double* ddsdde, double* sse,
                            double* spd, double* scd, double* rpl, double* ddsddt, double* drplde,
                            double* drpldt, const double* stran, const double* dstran,
                            const double* time, const double* dtime, const double* temp,
                            const double* dtemp, const double* predef, const double* dpred,
                            const char* materl, const i32* ndi, const i32* nshr, const i32* ntens,
                            const i32* nallstatv, const double* props, const i32* nprops,
                            const double* coords, const double* drot, double* pnewdt,
                            const double* celent, const double* dfgrd0, const double* dfgrd1,
                            const i32* noel, const i32* npt, const i32* kslay, const i32* kspt,
                            const i32* jstep, const i32* kinc);

// The woven layer as an ANSYS USERMAT: all arguments go unchanged, with umat_shokrieh, to
// wrapper::abq_umat_to_ansys_usermat.
void toplevel_usermat_shokrieh(VORLEN_USERMAT_PARAMETERS);

}  // extern "C"
}  // namespace vorlen::toplevel
