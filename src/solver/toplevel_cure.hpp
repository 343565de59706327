// Cure and Prony material routines of module toplevel: a curing thermoset resin whose heat
// (HETVAL), thermal and chemical expansion (UEXPAN) and transversely isotropic Prony-series
// viscoelasticity (UMAT, and the ANSYS USERMAT through the converter) share one state array
// svar:
//   1 degree of cure x, 2 cure rate of the last step, 3 Tg (kelvin) of x (DiBenedetto form
//   Tg0 + (Tginf - Tg0) lambda x / (1 - (1 - lambda) x) + 273.15), 4 largest maximum degree of
//   cure so far, 7 and 8 chemical strain increments 11 and 22 of the last step, 9..8+N the
//   Prony internal stresses, 501 and 502 tangent entries (1,1) and (2,2), 503-505 accumulated
//   thermal and 506-508 accumulated chemical strains 11, 22, 33, 509 and 510 log10 of the
//   shift factors aT1, aT2.
// Cure data: materialdata::cuprops(:, column, layer, section) with the layer of the name's tag
// l (1 when missing or not positive) and the position of its tag s in the first sectiondata::nsec
// entries of sectiondata::secidlist (1 when missing or not found). Columns: 1 gel point,
// 2 enthalpy H, 3 and 4 thermal and chemical expansion coefficients 11, 22, 33 (1-3 glassy, 4-6
// rubbery), 5 a, b of degmax(T) = 1 / (1 + exp(b - a (T - 273.15))), 6 Tg0, Tginf (Celsius),
// lambda, 7 the cure law of module prony (its whole first extent), 8 up to two shift-factor
// sets c1, c2, A, dT ended by the first +huge. Temperatures in kelvin.
//
// Reports (first-error register):
//   -3 "Cure data missing in <routine>": cuprops or secidlist not allocated, or the layer,
//      section or a column read outside cuprops: no cure step, FLUX(1) = 0 and svar unchanged
//      (heat), EXPAN = DEXPANDT = 0 and svar unchanged (expansion), aT1 = aT2 = 1 (viscoelastic);
//   -3 "Unsupported components in <routine>": umat_prony with (NDI, NSHR, NTENS) not (3, 3, 6)
//      or NPROPS below 10 (DDSDDE(NTENS,NTENS) zero where the counts are a layout of the implicit
//      solvers, (3, 3, 6), (3, 1, 4) or (2, 1, 3), nothing for other counts; stress and svar
//      unchanged), a negative term count, NPROPS short of its series, more than 492 internal
//      stresses or NSTATV below 510 (the instantaneous elastic response, svar unchanged);
//      uexpan_prony with NSTATV below 508 (EXPAN = DEXPANDT = 0, svar unchanged).
// A shift set with c2 + dT = 0 at or below Tg + dT, or any shift exponent that is not finite,
// gives aT = 1. Per point nothing is allocated on the heap.
#pragma once
#include "base/view.hpp"
#include "solver/argument_lists.hpp"

namespace vorlen::toplevel {
extern "C" {

// Heat of the cure reaction (Abaqus/Standard HETVAL).
//   cmname (in)         material name, 80 characters
//   temp(2) (in)        temperature and its increment; the step uses temp(1)
//   time(2), predef, dpred (in)  not used
//   dtime (in)          time increment
//   svar(4) (in/out)    slots 1-4: x advanced by prony::FuncDegree up to degmax (the larger of
//                       degmax(temp(1)) and slot 4) when below it, the rate at the new x (0
//                       without a step), Tg(x), degmax
//   flux(2) (out)       flux(1) = H rate; flux(2) not written
void toplevel_hetval_prony(const char* cmname, const double* temp, const double* time,
                           const double* dtime, double* svar, double* flux, const double* predef,
                           const double* dpred);

// Thermal and chemical strain increments (Abaqus/Standard UEXPAN); also advances the cure.
//   expan(6) (out)      1-3 CTE_i temp(2) + beta_i rate dtime, 4-6 zero; CTE and beta glassy
//                       below Tg, zero at or above Tg up to the gel point, rubbery above it
//   dexpandt(6) (out)   zero
//   temp(2) (in)        temperature at the start and its increment; the cure step uses the
//                       end temperature, the coefficients the start temperature
//   time(2) (in)        time(2) 0 zeroes slots 1-3 first
//   dtime (in)          time increment
//   predef, dpred, noel (in)  not used
//   svar(nstatv) (in/out)  slots 1-4 as in hetval_prony, 7-8 and 503-508
//   cmname (in)         material name, 80 characters
//   nstatv (in)         at least 508
void toplevel_uexpan_prony(double* expan, double* dexpandt, const double* temp, const double* time,
                           const double* dtime, const double* predef, const double* dpred,
                           double* svar, const char* cmname, const i32* nstatv, const i32* noel);

// Transversely isotropic Prony-series viscoelastic resin (Abaqus/Standard UMAT), 3-D form.
//   stress(ntens) (in/out)    incremented: below 273.15 K by the instantaneous stiffness times
//                             dstran; from 273.15 K by C dstran less the increments of the
//                             internal stresses of each row (fully relaxed from 573.15 K)
//   svar(nstatv) (in/out)     slot 3 read; 9..8+N, 501, 502 written, 509, 510 in 273.15 to
//                             573.15 K
//   ddsdde(ntens,ntens) (out) instantaneous, relaxing (backward-Euler) or relaxed stiffness
//   sse, spd, scd, rpl, ddsddt, drplde, drpldt, pnewdt (in/out)  not changed
//   stran, dstran(ntens) (in) Nye order (11, 22, 33, 12, 13, 23), engineering shears
//   dtime, temp (in)          time increment and temperature (kelvin)
//   cmname (in)               material name, 80 characters
//   ndi, nshr, ntens, nstatv (in)  3, 3, 6 and at least 510
//   props(nprops) (in)        term counts npc11, npc12, npc22, npc23, npc44 (truncated), C11,
//                             C12, C22, C23, C44, then the pairs (p, tau) of each series in
//                             that order; nprops at least 10 + 2 (sum of counts)
//   time(2), dtemp, predef, dpred, coords(3), drot(3,3), celent, dfgrd0(3,3), dfgrd1(3,3), noel,
//   npt, kslay, kspt, jstep(4), kinc (in)  not used
void toplevel_umat_prony(double* stress, double* svar, double* ddsdde, double* sse, double* spd,
                         double* scd, double* rpl, double* ddsddt, double* drplde, double* drpldt,
                         const double* stran, const double* dstran, const double* time,
                         const double* dtime, const double* temp, const double* dtemp,
                         const double* predef, const double* dpred, const char* cmname,
                         const i32* ndi, const i32* nshr, const i32* ntens, const i32* nstatv,
                         const double* props, const i32* nprops, const double* coords,
                         const double* drot, double* pnewdt, const double* celent,
                         const double* dfgrd0, const double* dfgrd1, const i32* noel,
                         const i32* npt, const i32* kslay, const i32* kspt, const i32* jstep,
                         const i32* kinc);

// umat_prony as ANSYS USERMAT, through wrapper::abq_umat_to_ansys_usermat (the name it passes
// has no tags: layer 1, section position 1). Arguments as there.
void toplevel_usermat_prony(VORLEN_USERMAT_PARAMETERS);

}  // extern "C"

inline constexpr auto& hetval_prony = toplevel_hetval_prony;
inline constexpr auto& uexpan_prony = toplevel_uexpan_prony;
inline constexpr auto& umat_prony = toplevel_umat_prony;
inline constexpr auto& usermat_prony = toplevel_usermat_prony;

}  // namespace vorlen::toplevel
