// Resin material routine of module toplevel: a neat resin with temperature-dependent constants,
// eight constitutive models (materialdata::modelid), an optional resin failure criterion chosen
// by the material name, stiffness degradation after failure and cycle-by-cycle fatigue with
// cycle jumps; Abaqus/Standard (umat_resin) and ANSYS (usermat_resin, through the converter
// wrapper::abq_umat_to_ansys_usermat, which calls it in three dimensions as "ABQ_WRAPPER").
//
// Models (constants from module resin; every law is a secant law of the end strain
// STRAN + DSTRAN; the tangent of 0-3 is central differences, step 1e-6, around the end strain):
//   0  GetResinPlasticProperties (at equivalent plastic strain 0) and the secant modulus of
//      GetModulusFromTable at the signed equivalent strain; linear isotropic law with nuc for a
//      negative equivalent strain, else nut
//   1, 2, 3  GetResinProperties; GetStressFromIsotropicViscoElasticity with law 1 Kaestner,
//      2 Krause, 3 non-constant Poisson ratio
//   4  GetResinPlasticProperties at the equivalent plastic strain of slot 11; pressure-
//      dependent plasticity (elasticity_getstressfromplastitcity) and its tangent, whose
//      shear columns (per tensor shear) are halved to act on engineering shears
//   5  GetResinProperties; GetStressFromDevVolDecomposition and its secant stiffness
//   6  GetResinProperties (degradation and slots 4-5 only); GetStressFromCubicElasticity at
//      (temperature, 1 - (1 - degr) k), k = floor(max(d, life)); DDSDDE is left as it came
//   7  GetResinProperties, then GetResinOrthotropicProperties (strain-softened orthotropic);
//      stress = K end strain with K the symmetric on-axis stiffness of the 12 degraded
//      constants; tangent K while the criterion value is below 1, else central differences of
//      GetStressFromOrthotropicElasticity
//
// Material name (80 characters, blank padded; a null pointer counts as blank): characters
// 10-20 "_GPHASTRAIN" (Ha's criterion on the end strain), else 10-14 "_GPHA" (Ha on the
// stress), "_GPRA" (Raghava), "_GPBA" (Bauwens), "_GPDP" (Drucker-Prager); characters 29-36
// "_FATIGUE" switch the cycle logic on. Row 2 of column JSTEP(1) of shokriehdata::cycleprops
// equal to 1.0 switches it on as well (a fatigue step); rows 3-10 are the step's cycle settings
// (jump algorithm, time period, time of calculation, table cycles, minimum and maximum jump,
// allowed jump, maximum cycle number). Without that table no fatigue runs.
//
// State record (NSTATV >= 22; slots beyond 22 are not touched, except that a last slot equal to
// the largest double is cleared at KINC <= 1):
//    1 cycle number n (start 1)           2 pressure part of the Ha criterion (or the Drucker-
//    3 criterion value d                    Prager value); 0 in the other modes
//    4, 5 entries 1 and 2 of the degraded constants (degraded E, secant E, Et or E1; gamma,
//         0, Ec or E2)
//    6 fatigue life fraction (0 .. 1)      7 deviatoric part of the Ha criterion, else 0
//    8 largest equivalent fatigue stress / XT of the running cycle (start -huge)
//    9 cycles one simulated cycle stands for   10 accumulated strain energy density
//   11 model 4: its equivalent plastic strain (the law's updated value)
//   12 remaining cycles (1 - life) Nf; +huge once life is 1
//   13 Nf of the last completed cycle       14, 15 not used
//   16 XT at the current temperature        17 degradation factor
//   18 failure indicator (1.0 failed)
//   19 smallest equivalent fatigue stress / XT of the running cycle (start +huge)
//   20 cycle counter (start 1)              21 global cycle-jump counter
//   22 equivalent fatigue stress of the increment
// A record that is all zero at KINC <= 1 starts with slots 1 and 20 = 1, 8 = -huge, 19 = +huge.
//
// Reports (first-error register):
//   -3 "Unsupported components in umat_resin": (NDI, NSHR, NTENS) neither (3, 3, 6) nor
//      (3, 1, 4);
//   -3 "Too few state variables in umat_resin": NSTATV < 22 (after the warning line "WARNING:
//      Too less nstatev allocated for material <name>" at KINC <= 1);
//   -3 "Too few properties in umat_resin": NPROPS below 25 (models 0 and 4) or 21 (others);
//   -2 "Unknown material model in umat_resin": materialdata::modelid outside 0 .. 7;
//      after these four: STRESS and STATEV as they came, DDSDDE(NTENS,NTENS) zero where the
//      counts are a layout of the implicit solvers ((3, 3, 6), (3, 1, 4), (2, 1, 3)), nothing
//      written for other counts;
//   -3 "Step outside the cycle settings in umat_resin": JSTEP(1) beyond the columns of
//      shokriehdata::cycleprops: no fatigue in that call;
//   -3 "Tensile strength not above zero in umat_resin": slots 8, 19 and 22 are kept and a
//      completed cycle adds no life;
//   -3 "Degradation factor undefined in umat_resin": model 7 without regularisation whose E, G0
//      or Poisson denominator is 0 or not finite: slot 17 is kept;
//   -3 "Time period not above zero in umat_resin", "Cycle settings incomplete in umat_resin"
//      (fewer than 10 rows): no cycle logic in that call;
//   -3 "Stress or tangent not finite in umat_resin": constants without a stiffness (a Poisson
//      ratio of 0.5 or -1, say): STRESS and slots 1-22 as they came, DDSDDE zero.
// A time period whose 1000-fold rounds to 0 (or past the 32-bit range, like the step time)
// completes cycles by the ratio TIME(1) / time period alone. Missing
// materialdata::regularization entries count as 0.
// Per point nothing is allocated on the heap.
#pragma once
#include "base/view.hpp"
#include "solver/argument_lists.hpp"

namespace vorlen::toplevel {
extern "C" {

// One increment of the resin (Abaqus/Standard UMAT).
//   spannung(nstresscomp) (in/out)  stress, Nye order; NTENS 4: (11, 22, 33, 12)
//   statev(nstatv) (in/out)   state record above
//   tangente(nstresscomp,nstresscomp) (in/out)  on entry the previous tangent (its energy
//                             part), on exit the model's tangent (model 6: as it came)
//   sse, spd, scd, rpl, ddsddt, drplde, drpldt, pnewdt  not changed
//   dehnung, ddehnung(nstresscomp) (in)  strain at the start and its increment, engineering
//                             shears
//   time(2) (in)              step time and total time at the start of the increment
//   dtime (in)                time increment
//   temp (in)                 temperature (kelvin)
//   materl (in)               80-character material name (criterion and fatigue tags)
//   nnormal, nshr, nstresscomp (in)  direct, shear and all components: (3, 3, 6), or (3, 1, 4)
//                             for plane strain and axisymmetric points
//   nstatv (in)               at least 22
//   props(nprops) (in)        resin property sets of the model's property routine
//   noel (in)                 element: trace lines on standard output when it equals
//                             debugdata::edebug
//   jstep(4) (in)             JSTEP(1) the step (column of the cycle settings)
//   kinc (in)                 increment (state start at KINC <= 1)
//   dtemp, predef, dpred, coords, drot, celent, dfgrd0, npt, kslay, kspt (in)  not used;
//   dfgrd1 (in)               only traced
void toplevel_umat_resin(double* spannung, double* statev, double* tangente, double* sse,
                         double* spd, double* scd, double* rpl, double* ddsddt, double* drplde,
                         double* drpldt, const double* dehnung, const double* ddehnung,
                         const double* time, const double* dtime, const double* temp,
                         const double* dtemp, const double* predef, const double* dpred,
                         const char* materl, const i32* nnormal, const i32* nshr,
                         const i32* nstresscomp, const i32* nstatv, const double* props,
                         const i32* nprops, const double* coords, const double* drot,
                         double* pnewdt, const double* celent, const double* dfgrd0,
                         const double* dfgrd1, const i32* noel, const i32* npt, const i32* kslay,
                         const i32* kspt, const i32* jstep, const i32* kinc);

// The resin as an ANSYS USERMAT: all arguments go unchanged, with umat_resin, to
// wrapper::abq_umat_to_ansys_usermat.
void toplevel_usermat_resin(VORLEN_USERMAT_PARAMETERS);

}  // extern "C"

inline constexpr auto& umat_resin = toplevel_umat_resin;
inline constexpr auto& usermat_resin = toplevel_usermat_resin;

}  // namespace vorlen::toplevel
