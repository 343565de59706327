// Module interaction: contact between an impactor and a plate. The residual of the contact law
// for the root finders, the stiffness of Hertz-type laws, contact radius and indentation depth,
// the Hugoniot elastic limit, and the record of the element nearest to each impact point.
// Stateless and free of heap allocation: the impactor elements call them per increment.
#pragma once
#include "base/view.hpp"

namespace vorlen::interaction {
extern "C" {

// Residual of the contact law F = k alpha^n at the force F = xold, with the argument list of a
// math_bdsafe / math_nrsafe function.
//   fx (out)      k alpha^n - F, where the indentation
//                 alpha = args(2) - args(4) - args(7) - |args(3) + args(5)| F;
//                 -F where alpha < 0 (the bodies have separated: no contact force)
//   dfx (out)     -k n |args(3) + args(5)| alpha^(n-1) - 1; -1 where alpha < 0
//                 A value that is not a number is given as 0 (fx) or -1 (dfx); so are both
//                 on the error paths below.
//   xold (in)     contact force F
//   args(numargs) (in)  1 stiffness k, 2 impactor displacement, 3 first compliance, 4 target
//                 displacement, 5 second compliance, 6 exponent n, 7 indentation offset; for
//                 clflag 1 then nt = (numargs - 7)/2 ascending forces args(8..7+nt) and the
//                 stiffnesses args(8+nt..7+2nt) at them
//   numargs (in)  extent of args, at least 7; fewer records code -2
//   clflag (in)   0 and 2: k = args(1); 1: k from the table by monotone cubic Hermite
//                 interpolation at F where that is positive, else args(1) (a table of fewer
//                 than two rows records code -2 and keeps args(1); a table whose forces do not
//                 increase ends the process with the cubic Hermite package's report);
//                 other values record code -2 "Unknown contact law flag"
void ContactLaw(double* fx, double* dfx, const double* xold, const double* args, const i32* numargs,
                const i32* clflag);

// Contact stiffness and effective modulus of an impactor-target pair, with 1/R = 1/R1 + args(5).
//   k (out)       csflag 0, 1: 4/3 eeff sqrt(R) (Hertz); 2: q1/(q2 - q3)^p; 3: q1^(p - 0.5)
//                 q2^(1 - p)/q3^(p + 1); 6: pi L eeff/(ln(L/b) + 1.886) with the half width
//                 b = sqrt(4 P R1/(pi eeff)) (cylinder); 0 where no law applies
//   eeff (out)    csflag 0, 6: 1/((1 - nu1^2)/E1 + (1 - nu2^2)/E2); 1, 3: 1/((1 - nu1^2)/E1 +
//                 1/E2) (target given by its transverse modulus); otherwise 0
//   args(numargs) (in)  1 R1, 2 contact length L, 3 E1, 4 nu1, 5 curvature of the target,
//                 6 not used, 7 E2, 8 nu2, 9 exponent p, 10 to 12 q1, q2, q3 (power laws),
//                 13 contact load P (csflag 6), taken as at least 2.220446049250313e-16
//   numargs (in)  extent of args: at least 12, 13 for csflag 6; fewer records code -2
//   csflag (in)   law; 4 and 5 (Goldsmith, not built) record code -3, unknown values -2
void ContactStiffness(double* k, double* eeff, const double* args, const i32* numargs,
                      const i32* csflag);

// Contact radius of a force.
//   radius (out)  cdflag 0 to 4: (3 F R/(4 E*))^(1/3) (sphere); 5, 6: sqrt(4 F R/(pi L E*))
//                 (line contact of a cylinder); 0 for F <= 0 (no contact); the largest double
//                 for an unknown cdflag or a short argument list (code -2)
//   args(numargs) (in)  1 force F, 2 effective modulus E*, 3 effective radius R, 4 contact
//                 length L (cdflag 5, 6)
//   numargs (in)  extent of args: at least 3, 4 for cdflag 5 and 6
//   cdflag (in)   law
void ContactRadius(double* radius, const double* args, const i32* numargs, const i32* cdflag);

// Indentation depth of a force.
//   indentation (out)  cdflag 0: (9 F^2/(16 R E*^2))^(1/3) (sphere); 1: F/(2 R E*) (flat punch
//                 of radius R); 0 for F <= 0 (no contact) with cdflag 0 and 1; 2: pi x/2; the
//                 largest double for an unknown cdflag or a short argument list (code -2)
//   args(numargs) (in)  1 force F, 2 effective radius R, 3 effective modulus E*, 4 length x
//                 (cdflag 2)
//   numargs (in)  extent of args: at least 3, 4 for cdflag 2
//   cdflag (in)   law
void ContactDepth(double* indentation, const double* args, const i32* numargs, const i32* cdflag);

// Hugoniot elastic limit (1 - nu) yc/(1 - 2 nu)^2 of the compressive strength yc (in) and
// Poisson's ratio nu (in); the squared denominator is the law's.
double GetHugonoitElasticLimit(const double* yc, const double* nu);

// Records for each impactor the element nearest to its impact point.
//   dprops(12, nimp) (in/out)  load records: rows 2-4 the impact point (in); a record is taken
//                 when it holds nothing yet (rows 5 and 6 both 0) or when this point lies
//                 strictly nearer than row 6: row 5 = noel, row 6 = the distance and, when
//                 the half lengths are given, rows 8, 10 = r/2 and 9, 11 = s/2. A distance of
//                 0 stays recorded (ties keep the element found first).
//   coord(3) (in) integration point
//   noel (in)     element number
//   nimp (in)     number of impactors; nothing happens for nimp <= 0
//   elemlength(3) (in, optional)  r = elemlength(1), s = elemlength(2) (r where it is 0);
//                 the half lengths are written only when neither r nor s is -1 (absent: both -1)
void ContactArea(double* dprops, const double* coord, const i32* noel, const i32* nimp,
                 const double* elemlength);
}
}  // namespace vorlen::interaction
