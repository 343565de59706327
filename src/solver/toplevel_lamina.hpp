// Elastic ply material routines of module toplevel: a linear-elastic orthotropic ply at one
// integration point (or a block of points) for Abaqus/Standard (umat_lamina, umat_hyper,
// umat_porosity, umat_fiber), Abaqus/Explicit (vumat_lamina), ANSYS (usermat_fiber,
// usermat_lamina), Peridigm (upermat_lamina) and Marc (hypela_lamina).
//
// Orders: Standard vectors and tangents in Nye order (11, 22, 33, 12, 13, 23), Explicit and
// ANSYS vectors in the Cyclic order (11, 22, 33, 12, 23, 13); reduced vectors are 3 (11, 22,
// 12) or 4 (11, 22, 33, 12) components. Strains carry engineering shears (the explicit
// straininc tensor shears). Elastic constants from PROPS: 2 (E, nu), 5 or 9 values as
// lamina::GetNyeProperties takes them.
//
// Reports (first-error register), after which the routine writes nothing more than stated:
//   -3 "Unsupported components in <routine>": (ndi, nshr, ntens) none of the implicit layouts
//      (3, 3, 6), (3, 1, 4) and (2, 1, 3) (ndirect, nshear, ncomp likewise), (ndir, nshr) of
//      vumat_lamina neither (3, 3) nor (3, 1), or negative state or property counts: no output
//      written, except that vumat_lamina starts its block as far as the extents reach:
//      stressnew (when ndir + nshr is 0 to 6), statenew (nstatev >= 0) and enerinelasnew 0,
//      enerinternnew = enerinternold;
//   -2 from GetNyeProperties for another count of constants, and -3 from GetNyeStiffnessMatrix
//      for constants without a positive definite compliance (nu 0.5 or -1, a modulus not finite
//      and above 0, ...) or whose stiffness is out of the range of doubles (E = 1e308, E3 or a
//      shear modulus 1e-320, ...): a zero tangent, zero stress from the secant routines and the
//      incoming stress from the incremental ones (umat_fiber: its index unchanged;
//      usermat_lamina and upermat_lamina: umat_lamina's zero stress through the converter);
//   -3 "Stiffness not positive definite in umat_porosity" (any property form) or "in
//      umat_hyper" (the stiffness triangle): not finite, not positive definite or with a
//      diagonal entry that is not a normal number, the same;
//   -3 "Thickness modulus out of range in vumat_lamina" or "in usermat_fiber": plane stress
//      ((3, 1) and (2, 1, 3)) with an E3 that is not a positive normal number (nu31 = nu13
//      E3/E1 would underflow): the in-plane response, no thickness strain (straininc(:, 3) as
//      given, epszz 0);
//   -3 "Ply or section outside the data tables in umat_lamina": NPROPS 1 without 22 state
//      variables, STATEV(21)/(22) outside 1..nplies/nsec, or no materialdata::peprops: zero
//      stiffness (no constants), no degradation;
//   -3 "Step outside the step table in umat_lamina": JSTEP(1) outside jobdata::stepid, and
//      -3 "State short of the damage record in umat_lamina": a measured-field step (type 5)
//      with NSTATV < 18: no degradation.
// Per point nothing is allocated on the heap.
#pragma once
#include "base/view.hpp"
#include "solver/argument_lists.hpp"

namespace vorlen::toplevel {
extern "C" {

// Linear-elastic ply, secant form (Abaqus/Standard UMAT).
//   stress(ntens) (in/out)    C (stran + dstran)
//   statev(nstatv) (in/out)   when NSTATV > 5: positions 1..ndi and 4..3+nshr take the stress
//                             (the six-component Nye layout); read: 8-12 damage flags and 18
//                             residual factor in type-5 steps, 21 ply and 22 section for
//                             NPROPS 1
//   ddsdde(ntens,ntens) (out) C
//   sse (out)                 0.5 stress . (stran + dstran), recomputed
//   spd, scd (out)            0
//   rpl, ddsddt, drplde, drpldt, pnewdt (in/out)  not changed
//   stran, dstran(ntens) (in) strain at the start and its increment
//   time(2), dtime, temp, dtemp, predef, dpred, materl, coords(3), drot(3,3), celent,
//   dfgrd0(3,3), dfgrd1(3,3), noel, npt, kslay, kspt, kinc (in)  not used
//   ndi, nshr, ntens, nstatv (in)  extents
//   props(nprops), nprops (in) elastic constants; NPROPS 1: the first nine values of
//                             materialdata::peprops(:, ply, section)
//   jstep(4) (in)             JSTEP(1) the step: with jobdata::stepid allocated and its type 5
//                             the stiffness is degraded entry by entry by the factors of
//                             FalcomDegradation(flags (STATEV(8), 0, STATEV(9), 0, STATEV(10),
//                             0, STATEV(11), STATEV(12), 0, 0), rdisc STATEV(18), rule 5, tape)
void toplevel_umat_lamina(VORLEN_UMAT_PARAMETERS);

// As umat_lamina without degradation; NPROPS 2 to 9 through GetNyeProperties, 1 the store,
// 10 or more the upper triangle of C column by column (ntens (ntens + 1)/2 values; fewer record
// -3 "Short stiffness triangle in umat_hyper" and give C = 0, as does a C that is not finite and
// positive definite, or has a diagonal entry that is not a normal number). DDSDDE is the
// complex-step tangent of the anisotropic law with C. The stress goes into STATEV(1..ndi) and
// STATEV(4..3+nshr) on every call, as far as NSTATV reaches.
void toplevel_umat_hyper(VORLEN_UMAT_PARAMETERS);

// Incremental ply with pores (UMAT without JSTEP): SSE, SPD, SCD = 0; DDSDDE =
// GetGeneralizedNyeOnAxisSC(props, ntens, nprops, stiffness) (2, 5, 9, 12, 21 or 36 values),
// its non-zero entries times 0.0010000000474974513 when STATEV(1) equals 1.0 (a pore); stress =
// stress + DDSDDE dstran. The state variables are only read. Constants whose stiffness is not
// finite and positive definite, or has a diagonal entry that is not a normal number, record -3
// and give DDSDDE = 0 (the stress as it came).
void toplevel_umat_porosity(VORLEN_UMAT_NOSTEP_PARAMETERS);

// Fibre ply with strength check and temperature sets (UMAT). PROPS: 9 constants; 11 with XT,
// XC; 12 with the degradation factor; 25: two sets of eleven values at the temperatures
// PROPS(12) and PROPS(24), factor PROPS(25), interpolated linearly at T = temp + dtemp.
// STATEV(3) the failure index max(STATEV(3), min(|s11|/X, 1)), STATEV(12) = +huge, STATEV(NSTATV)
// cleared in the first increments when it holds at least 9.9e34. Once STATEV(3) >= 1 the
// moduli E1, E2, E3, G12, G13, G23 (not the Poisson ratios) are multiplied by the factor.
// NPROPS 10: -3, no strength check; 13 to 24 or above 25: -3, no reduction. NPROPS of 24 or
// more with a set temperature that is not finite, or a T that is not a number: -3
// "Temperature not finite in umat_fiber" and the response without constants (NPROPS below 9
// likewise, "Unsupported property count"): zero stress, tangent and SSE, STATEV(3) untouched.
// NSTATV < 12: the warning in the first increments; positions beyond NSTATV are neither read
// nor written.
void toplevel_umat_fiber(VORLEN_UMAT_PARAMETERS);

// Linear-elastic ply for a block of points (Abaqus/Explicit VUMAT), incremental.
//   straininc(nblock,ndir+nshr) (in/out)  tensor shears; with ndir 3 and nshr 1 (plane
//                             stress) entry 3 is replaced by the thickness strain increment
//                             (not where E3 is no positive normal number: -3)
//   stressold, stressnew(nblock,ndir+nshr)  stressnew = stressold + C straininc
//   stateold, statenew(nblock,nstatev)  statenew all 0
//   enerinternnew(nblock) (out)  enerinternold + 0.5 (stressnew + stressold) . straininc /
//                             density; density <= 0 records -3 and keeps enerinternold
//   enerinelasnew(nblock) (out)  0
//   the other arguments accepted, not used
void toplevel_vumat_lamina(VORLEN_VUMAT_PARAMETERS);

// Linear-elastic ply for ANSYS USERMAT, incremental: stress += dsdepl dstrain, sedel = 0.5
// (stress + old stress) . dstrain, keycut, sedpl, epseq 0; tsstif(1) = G13, tsstif(2) = G23
// for ncomp 3 or 4 unless ndirect is 1; plane stress (ndirect 2, ncomp 3): epszz =
// -(nu31 s11 + nu32 s22)/E3 of the new stress (0 with -3 where E3 is no positive normal
// number), else 0. ustatev, epspl, var0 .. var8 unused.
void toplevel_usermat_fiber(VORLEN_USERMAT_PARAMETERS);

// umat_lamina under the ANSYS USERMAT list (wrapper::abq_umat_to_ansys_usermat).
void toplevel_usermat_lamina(VORLEN_USERMAT_PARAMETERS);

// umat_lamina under the Peridigm list (wrapper::abq_umat_to_peridigm_upermat).
void toplevel_upermat_lamina(double* stressnew, double* statenew, const double* stressold,
                             const double* stateold, const double* straininc, const double* props,
                             const double* steptime, const double* totaltime, const double* dt,
                             const i32* matid, const i32* npoint, const i32* ndir, const i32* nshr,
                             const i32* nstatev, const i32* nprops);

// Marc HYPELA2 with nine further arguments: error_code 0, d(ngens,ngens), g(ngens) and
// s(ngens) zero (nothing written for ngens below 1); nothing else.
void toplevel_hypela_lamina(double* d, double* g, const double* e, const double* de, double* s,
                            const double* t, const double* dt, const i32* ngens, const i32* n,
                            const i32* nn, const i32* kcus, const i32* matus, const i32* ndi,
                            const i32* nshear, const double* disp, const double* dispt,
                            const double* coord, const double* ffn, const double* frotn,
                            const double* strechn, const double* eigvn, const double* ffn1,
                            const double* frotn1, const double* strechn1, const double* eigvn1,
                            const i32* ncrd, const i32* itel, const i32* ndeg, const i32* ndm,
                            const i32* nnode, const i32* jtype, const i32* lclass, const i32* ifr,
                            const i32* ifu, const i32* nstats, const i32* isunit, const i32* idata,
                            const double* rdata, const char* cdata, const i32* len_idata,
                            const i32* len_rdata, const i32* len_cdata, i32* error_code);

}  // extern "C"

inline constexpr auto& umat_lamina = toplevel_umat_lamina;
inline constexpr auto& umat_hyper = toplevel_umat_hyper;
inline constexpr auto& umat_porosity = toplevel_umat_porosity;
inline constexpr auto& umat_fiber = toplevel_umat_fiber;
inline constexpr auto& vumat_lamina = toplevel_vumat_lamina;
inline constexpr auto& usermat_fiber = toplevel_usermat_fiber;
inline constexpr auto& usermat_lamina = toplevel_usermat_lamina;
inline constexpr auto& upermat_lamina = toplevel_upermat_lamina;
inline constexpr auto& hypela_lamina = toplevel_hypela_lamina;

}  // namespace vorlen::toplevel
