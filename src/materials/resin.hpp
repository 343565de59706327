// Neat resin: temperature-dependent property sets with a modulus-temperature law, strain-
// dependent moduli and flow parameters from the calibration tables of the data store, a signed
// equivalent strain, and the endochronic visco-plastic stress law with six Maxwell branches.
//
// Temperatures are absolute (kelvin). Everything here runs per integration point: nothing is
// allocated (calibration tables of up to 256 points are read through stack buffers).
//
// Property sets. GetResinProperties takes two sets of nine values (E, nu, num, Xt, np, gamma,
// Xc/Xt ratio, Woehler coefficient, Woehler exponent), set A in props(1:9) at the temperature
// props(10) and set B in props(11:19) at props(20); props(21) is the degradation factor and
// props(22:32) the modulus-temperature law. GetResinPlasticProperties takes two sets of eleven
// (Et, Ec, G, nut, nuc, alpha, Xt, Xc, np, Woehler coefficient, Woehler exponent), A in
// props(1:11) at props(12) and B in props(13:23) at props(24); props(25) is the degradation
// factor and props(26:36) the law. The set at the lower temperature T1 gives every value below
// T1, the other (at T2) every value above T2, and each value is linear in between. The set at
// 293 K or 293.15 K is the room-temperature set (modulus E_rt); a set below 293 K gives the
// base modulus E_low.
//
// Modulus-temperature law, eleven values L1..L11, at T with theta = T - 273.15:
//   T <= L6        E = E_low
//   L6 < T < L7    E = E_rt (L4 theta + L5)
//   L7 <= T < L8   E = E_rt (L1 theta^2 + L2 theta + L3)
//   T >= L8        E = E8 - (E8 - L11) exp(-(theta/(L9 - 273.15))^L10), E8 the quadratic law
//                  at L8
// A law that needs E_rt or E_low where no set defines it records code -3 and leaves the
// modulus as the sets give it; so does a law block that ends beyond nprops.
//
// Calibration tables (materialdata::secantprops, flowprops, normalprops, shearprops, or any
// table laid out like them): table(row, point, column), the row the temperature row of
// materialdata::temperatures. A lookup interpolates rows 1 and 2 at the abscissa (column 1
// against the value column), then these two values over temperatures(1) and temperatures(2);
// both stages extrapolate. A table that is not allocated, has fewer than two rows or two points
// or fewer points or columns than asked for, or a temperature grid of fewer than two entries,
// records code -3 and gives 0; so do abscissas of rows 1 and 2 (over the points used) or
// temperatures(1), temperatures(2) that do not increase strictly (or are NaN): "Calibration
// abscissas do not increase" or "Temperatures of the grid do not increase" in the routine.
#pragma once
#include "base/view.hpp"

namespace vorlen::resin {
extern "C" {

// Resin constants at a temperature from the two property sets.
//   props(nprops) (in)  sets A and B, degradation factor, optional law (above)
//   nprops (in)         at least 21 (else code -3 and all results 0); more than 28: the law
//                       replaces e above 293.15 K (it must then be complete: 32 values)
//   temp (in)           temperature
//   e, nu, num, gamma (out)  modulus, Poisson ratio and the two parameters of the set order
//   degr (out)          props(21)
//   xt, xc (out)        tensile strength, and xc = (Xc/Xt ratio) xt
//   np (out)            exponent of the resin failure criteria
//   a_woehler, exp_woehler (out)  Woehler coefficient and exponent
//   noel (in)           element number: when it equals debugdata::edebug the temperatures and
//                       the modulus are printed to standard output
void GetResinProperties(const double* props, const i32* nprops, const double* temp, double* e,
                        double* nu, double* num, double* gamma, double* degr, double* xt,
                        double* xc, double* np, double* a_woehler, double* exp_woehler,
                        const i32* noel);

// Constants of the pressure-dependent resin plasticity at a temperature.
//   props(nprops) (in)  sets A and B, degradation factor, optional law (above)
//   nprops (in)         at least 25 (else code -3 and all results 0); more than 25: the law
//                       gives E at every temperature (it must then be complete: 36 values), and
//                       et = E, ec = Ec_rt E/E_rt, g = G_rt E/E_rt with Ec_rt, G_rt of the
//                       room-temperature set
//   temp (in)           temperature
//   eqplaststrain (in)  equivalent plastic strain, the abscissa of the flow table
//   et, ec, g, nut, nuc (out)  tensile and compressive moduli, shear modulus, tensile and
//                       compressive Poisson ratios
//   a0, a1 (out)        flow parameters, as GetFlowParameters gives them
//   alpha (out)         plastic Poisson parameter
//   degr (out)          props(25)
//   xt, xc, np, a_woehler, exp_woehler (out)  strengths, criterion exponent, Woehler pair
void GetResinPlasticProperties(const double* props, const i32* nprops, const double* temp,
                               const double* eqplaststrain, double* et, double* ec, double* g,
                               double* nut, double* nuc, double* a0, double* a1, double* alpha,
                               double* degr, double* xt, double* xc, double* np, double* a_woehler,
                               double* exp_woehler);

// Strain-softened orthotropic constants of an isotropic resin.
//   props(nprops), nprops, temp (in)  as GetResinProperties, which gives E0, nu and the
//                       outputs xt, xc, np, a_woehler, exp_woehler, degr (its failure gives
//                       code -3 and all results 0)
//   dt (in)             only printed
//   stran(6) (in)       not used
//   endstran(6) (in)    strain at the end of the increment, Nye order, engineering shears
//   e1, e2, e3 (out)    Ei = E0 for endstran(i) = 0, else E0/(|endstran(i)| alpha_i + 1),
//                       alpha_i from materialdata::normalprops at endstran(i)
//   nu12, nu13, nu23, nu21, nu31, nu32 (out)  nu_ji = 2 nu/(Ei/Ej + 1), nu_ij = 2 nu - nu_ji
//   g12, g13, g23 (out) G0/(|gamma| alpha + 1), G0 = E0/(2(1 + nu)), alpha from
//                       materialdata::shearprops at endstran(4), (5), (6)
//   xt, xc, np, a_woehler, exp_woehler, degr (out)  from GetResinProperties
//   noel (in)           element number for the debug lines (as GetResinProperties)
//   d (in)              failure index: d >= 1 with degr < 1 switches the softening off
// The lookups are linear, at temp clamped to the temperature grid.
void GetResinOrthotropicProperties(const double* props, const i32* nprops, const double* temp,
                                   const double* dt, const double* stran, const double* endstran,
                                   double* e1, double* e2, double* e3, double* nu12, double* nu13,
                                   double* nu23, double* nu21, double* nu31, double* nu32,
                                   double* g12, double* g13, double* g23, double* xt, double* xc,
                                   double* np, double* a_woehler, double* exp_woehler, double* degr,
                                   const i32* noel, const double* d);

// Secant modulus from materialdata::secantprops (materialdata::nsecantdata points), cubic
// Hermite in both stages.
//   eqstrain (in)  equivalent strain
//   e (out)        secant modulus; 0 with code -3 for a table that is not filled
//   temp (in)      temperature
void GetModulusFromTable(const double* eqstrain, double* e, const double* temp);

// Flow parameters from materialdata::flowprops (materialdata::nflowdata points), cubic Hermite
// in both stages.
//   eqplaststrain (in)  equivalent plastic strain
//   a0, a1 (out)   columns 2 and 3 against column 1; 0 with code -3 for a table that is not
//                  filled, and a1 = 0 with code -3 for a table without column 3
//   temp (in)      temperature
void GetFlowParameters(const double* eqplaststrain, double* a0, double* a1, const double* temp);

// Value of a calibration table.
//   datafield(n1, n2, n3) (in)  the table (row, point, column)
//   ndata (in)     number of points used, at most n2
//   x0 (in)        abscissa
//   temp (in)      temperature, against temperatures(1) and temperatures(2)
//   rvalue (out)   column 2 against column 1; 0 with code -3 for a table or grid that does not
//                  fit (above)
//   stype (in)     one character: "C" or "c" monotone cubic Hermite, any other linear
//   n1, n2, n3 (in)  extents of datafield
void GetExternalData(const double* datafield, const i32* ndata, const double* x0,
                     const double* temp, double* rvalue, const char* stype, const i32* n1,
                     const i32* n2, const i32* n3);

// Signed equivalent strain sqrt(e11^2 + e22^2 + e33^2 + 2 (e12^2 + e13^2 + e23^2)) with the
// sign (bit) of the trace e11 + e22 + e33, from tensor components (engineering shears halved).
//   strain(ntens) (in)  3: (11, 22, 12); 4: (11, 22, 33, 12); 6 or more: Voigt order, the first
//                       six entries
//   eqstrain (out)      0 with code -3 (from GetTensorComponents) for a count of 2 or less or 5
//   ndi (in)            not used
//   ntens (in)          number of components
void EquivalentStrain(const double* strain, double* eqstrain, const i32* ndi, const i32* ntens);

// One increment of the endochronic visco-plastic resin law: a softened elastic branch of the
// total strain, an endochronic branch and six Maxwell branches (relaxation times 0.1, 1, 10,
// 100, 1000 and 10000 in the unit of dtime) in parallel.
//   stran(6), dstrain(6) (in)  strain at the start of the increment and its increment, in the
//                       caller's order of three normal, then three shear components (tensor
//                       components: a shear stress is 2 G times its strain)
//   props(nprops) (in)  E0, b (softening of the elastic branch), nu, Ep, kappa (endochronic
//                       branch), E1..E6 (Maxwell branches)
//   stress(6) (out)     stress at the end of the increment (not read)
//   statev(nstatev) (in/out)  statev(1:6) the endochronic stress, statev(6k+1:6k+6) that of
//                       Maxwell branch k; zeros are the virgin state
//   dtime (in)          time increment
//   nprops, nstatev (in)  at least 11 and 42: otherwise code -3, stress 0, statev unchanged
//   writesdv (in)       true: the new branch stresses are stored; false: statev is unchanged
//   matstate (in)       false: E0 = 15 and b = 0, only the elastic branch (statev unchanged)
void EndochroneViscoPlasticity(const double* stran, const double* dstrain, const double* props,
                               double* stress, double* statev, const double* dtime,
                               const i32* nprops, const i32* nstatev, const lgl* writesdv,
                               const lgl* matstate);

}  // extern "C"
}  // namespace vorlen::resin
