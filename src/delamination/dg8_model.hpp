// Pieces of the dg8 Ritz model shared by its routines: the closed forms (written by
// scripts/dg8_forms.py into dg8_forms.cpp), the input checks and the unchecked evaluations.
#pragma once
#include "base/view.hpp"

namespace vorlen::dg8 {

namespace forms {
// Arguments as GetStrainEnergy8: vec(8), eps(3), the semi-axes a and b (positive), abd(6,6) of
// which the upper triangles of the blocks A, B and D are read.
double energy(const double* vec, const double* eps, const double* a, const double* b,
              const double* abd);
// f(8) = dU/dvec.
void gradient(double* f, const double* vec, const double* eps, const double* a, const double* b,
              const double* abd);
// df(8,8) = d2U/dvec2, column-major and symmetric.
void hessian(double* df, const double* vec, const double* eps, const double* a, const double* b,
             const double* abd);
}  // namespace forms

namespace model {
// Whether both semi-axes are finite and above 0; otherwise code -3 naming routine.
bool axes_ok(double a, double b, const char* routine);
// Whether the contact grid of (a, b, nk) has at most 2147483647 points; otherwise code -3.
bool grid_ok(double a, double b, i32 nk, const char* routine);
// GetFdF8 on checked arguments: fp(8), dfp(64) from vec(8), eps(3), abd(36).
void fdf(double* fp, double* dfp, const double* vec, const double* eps, double g0,
         double epsbucklin, double a, double b, double kmd, const double* abd, i32 nk, bool w);
// GetContactEnergy8 on checked arguments.
double contact_energy(const double* vec, double a, double b, double kmd, i32 nk);
}  // namespace model

}  // namespace vorlen::dg8
