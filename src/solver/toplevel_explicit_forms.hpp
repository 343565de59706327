// Short property forms of the explicit ply routines (vumat_cartesian, vumat_bogenfeld): the
// elastic stiffness of NPROPS 1 (ply table), 2 to 9 (elastic constants) and 21 (packed
// triangle), and the incremental elastic response of one point with it. Shared by the explicit
// routines of module toplevel; nothing here allocates.
#pragma once
#include <string_view>

#include "base/view.hpp"

namespace vorlen::toplevel::explicit_forms {

// Property form selected by NPROPS: 1 the ply table, 2 to 9 elastic constants, 21 a packed
// stiffness triangle, any other count the routine's own property vector.
enum class Form { store, constants, triangle, vector };
Form form_of(i32 nprops);

// int() of a stored real, toward zero; not a number or outside the 32-bit range gives 0.
i32 to_int(double x);

// Nye property vector (E1, E2, E3, nu12, nu13, nu23, G12, G13, G23) of a short form.
//   nye(9) (out)           the vector; untouched when the form gives none (return false)
//   form (in)              store or constants
//   props(nprops) (in)     constants: lamina::GetNyeProperties (2, 5 or 9 values; another count
//                          records its code -2)
//   ply, section (in)      store: the ply and section numbers (reals, truncated); nullptr when
//                          the state row does not hold them. Outside materialdata::peprops (or
//                          no table, or fewer than 9 rows) records -3 "Ply or section outside
//                          the data tables in <routine>"
//   routine (in)           name for the report
bool short_constants(double* nye, Form form, const double* props, i32 nprops, const double* ply,
                     const double* section, std::string_view routine);

// The symmetric 6 by 6 Nye stiffness c(6,6) (out) of its upper triangle props(nprops) (in),
// packed column by column (nprops 21).
void triangle_stiffness(double* c, const double* props, i32 nprops);

// A 6 by 6 stiffness c(6,6) (in/out) from the Nye into the Cyclic order, in place.
void nye_to_cyclic(double* c);

// Stiffness of a short form, Cyclic order (11, 22, 33, 12, 23, 13), shear moduli on the shear
// diagonal (it acts on engineering shears).
//   c(6,6) (out)           the stiffness; all 0 when the form gives none (return false), also
//                          for constants GetNyeStiffnessMatrix refuses (its code -3)
//   form (in)              store, constants or triangle
//   props(nprops) (in)     constants: as short_constants; triangle: as triangle_stiffness
//   ply, section, routine  store: as short_constants
bool short_stiffness(double* c, Form form, const double* props, i32 nprops, const double* ply,
                     const double* section, std::string_view routine);

// Incremental elastic response of one point: snew = sold + c de', de' the increment with its
// shears (entries 4 to 6, tensor shears) doubled. Returns the work 1/2 (sold + snew) . de'.
//   c(6,6) (in)               Cyclic-order stiffness on engineering shears
//   de(6), sold(6) (in)       strain increment (tensor shears) and stress at the start
//   snew(6) (out)             stress at the end; may be sold
double elastic_increment(const double* c, const double* de, const double* sold, double* snew);

}  // namespace vorlen::toplevel::explicit_forms
