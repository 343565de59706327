// Module prony: the one-step update of a Prony-series internal stress and the cure kinetics
// of a thermoset (a piecewise two-term Arrhenius law and its implicit step). Pure functions,
// no allocation.
//
// Cure-law table curvefit(nc): blocks of 8 values, one per temperature range in ascending
// order: A1, E1, A2, E2, the exponent of (degmax - alpha) in the first term, the exponent of
// alpha and of (degmax - alpha) in the second term, the upper temperature of the range. Values
// beyond the last whole block are not used. Temperatures in kelvin, energies per mole.
#pragma once
#include "base/view.hpp"

namespace vorlen::prony {

// Gas constant, J/(mol K).
inline constexpr double gas_constant = 8.314462618;

extern "C" {

// Backward-Euler step of one Maxwell branch, dq/dt = (stiffness pprony strain - q)/(tau shift):
// (stiffness timestep pprony strain + dold tau shift)/(tau shift + timestep).
//   dold (in)       internal stress at the start of the step
//   tau, shift (in) relaxation time and its time-temperature shift factor
//   timestep (in)   time step
//   stiffness, pprony, strain (in)  modulus, Prony weight of the branch and the held strain
// An infinite timestep gives the limit stiffness pprony strain, an infinite tau shift with a
// finite timestep dold. Returns dold where tau shift + timestep is 0, and with code -3 where
// tau, shift or timestep is negative or both tau shift and timestep are infinite.
double Relaxation(const double* dold, const double* tau, const double* shift,
                  const double* timestep, const double* stiffness, const double* pprony,
                  const double* strain);

// Cure rate at temperature t and degree of cure degree, with alpha = min(degree, degmax), from
// the first block whose upper temperature exceeds t (the last whole block where none does;
// block 1 with fewer than 8 values): c1 exp(-c2/(R t)) (degmax - alpha)^c5
// + c3 exp(-c4/(R t)) alpha^c6 (degmax - alpha)^c7.
//   curvefit(nc) (in)  cure-law table
//   t (in)             temperature, above 0
//   degree, degmax (in)  degree of cure and its largest value
//   nc (in)            number of values, at least 7
// Returns 0 with code -3 for nc < 7 or t <= 0.
double CureRate(const double* curvefit, const double* t, const double* degree,
                const double* degmax, const i32* nc);

// Degree of cure after one step of the implicit update alpha1 = degree0 + timestep
// CureRate(t1, min(degmax, alpha1)), by fixed-point iteration from the explicit step; it stops
// when the previous rate is 0, the rates differ by less than 1e-6 or relatively by at most
// 1e-10. The result is degree0 + timestep times the last rate (not limited to degmax). After
// 1000 refinements without convergence code -1 and the last degree.
//   curvefit(nc), nc (in)  cure-law table
//   t1 (in)                temperature of the step
//   degree0 (in)           degree at the start of the step
//   timestep (in)          time step
//   degmax (in)            largest degree
double FuncDegree(const double* curvefit, const double* t1, const double* degree0,
                  const double* timestep, const double* degmax, const i32* nc);

}  // extern "C"
}  // namespace vorlen::prony
