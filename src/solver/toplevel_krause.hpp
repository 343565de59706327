// Endochronic resin material routine of module toplevel (Abaqus/Standard UMAT): the
// endochronic visco-plastic law of module resin at one integration point with a central-
// difference tangent of the same law.
//
// Reports (first-error register):
//   -3 "Unsupported components in umat_krause": (NDI, NSHR, NTENS) not (3, 3, 6), NSTATV below
//      42 or NPROPS below 11: STATEV and STRESS unchanged, DDSDDE(NTENS,NTENS) zero where the
//      counts are a layout of the implicit solvers ((3, 3, 6), (3, 1, 4), (2, 1, 3)), nothing
//      written for other counts.
// Per point nothing is allocated on the heap.
#pragma once
#include "base/view.hpp"
#include "solver/argument_lists.hpp"

namespace vorlen::toplevel {
extern "C" {

// Endochronic visco-plastic resin (Abaqus/Standard UMAT), three-dimensional form only.
//   stress(ntens) (in/out)    the law's stress at stran + dstran
//   statev(nstatv) (in/out)   the law's state record (1-6 the endochronic branch, 6k+1..6k+6
//                             Maxwell branch k = 1..6), advanced once per call
//   ddsdde(ntens,ntens) (out) central differences (perturbation 1e-8 of each strain increment
//                             component) of the law from the updated state with a zero time
//                             increment; in general unsymmetric
//   sse, spd, scd, rpl, ddsddt, drplde, drpldt, pnewdt (in/out)  not changed
//   stran, dstran(ntens) (in) strain at the start and its increment, Nye order (11, 22, 33, 12,
//                             13, 23), engineering shears; the shear entries of stress and
//                             tangent are those of the law (2 G times the strain)
//   dtime (in)                time increment
//   ndi, nshr, ntens, nstatv, nprops (in)  3, 3, 6, at least 42, at least 11
//   props(nprops) (in)        E0, b, nu, Ep, kappa, E1..E6
//   time(2), temp, dtemp, predef, dpred, materl, coords(3), drot(3,3), celent, dfgrd0(3,3),
//   dfgrd1(3,3), noel, npt, kslay, kspt, jstep(4), kinc (in)  not used
void toplevel_umat_krause(VORLEN_UMAT_PARAMETERS);

}  // extern "C"

inline constexpr auto& umat_krause = toplevel_umat_krause;

}  // namespace vorlen::toplevel
