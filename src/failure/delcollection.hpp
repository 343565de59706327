// Module delcollection: delamination onset at a ply interface (Lee, Ochoa-Engblom, Hashin,
// Puck's action-plane form, Choi-Chang, Chai), from the stresses of the interface or of the
// plies below (trailing l) and above (trailing u) it.
//
// Each criterion returns the failure index (exposure) rdel, 1 at onset. Stresses are tensor
// components, strengths positive magnitudes; a normal stress takes the tensile strength only
// when it is strictly greater than 0. Strengths are not checked. Stateless, no allocation.
// DelLee and DelChai, whose comparisons would turn a value that is not a number into a finite
// index, record code -3 "Input not a finite number in <routine>" for a NaN or infinite value
// they read; the index is still the one of the formula.
#pragma once
#include "base/view.hpp"

namespace vorlen::delcollection {
extern "C" {

// Lee.
//   rdel (out)              max(sqrt(s12^2 + s13^2)/ilss, s33/X), X = xt33 for s33 > 0, else
//                           xc33 (the second term is negative in compression)
//   s33, s12, s13 (in)      stresses
//   xt33, xc33, ilss (in)   through-thickness strengths, interlaminar shear strength
void DelLee(double* rdel, const double* s33, const double* s12, const double* s13,
            const double* xt33, const double* xc33, const double* ilss);

// Ochoa-Engblom.
//   rdel (out)              sqrt((s13^2 + s23^2)/ilss^2 + (s33/X)^2), X as DelLee
//   s33, s13, s23 (in)      stresses
//   xt33, xc33, ilss (in)   strengths
void DelOchoaEngblom(double* rdel, const double* s33, const double* s13, const double* s23,
                     const double* xt33, const double* xc33, const double* ilss);

// Hashin.
//   rdel (out)              sqrt((s33/X)^2 + (s13/ilss)^2 + (s23/ilss)^2), X = xt22 for
//                           s33 > 0, else xc22
//   s33, s13, s23 (in)      stresses
//   xt22, xc22, ilss (in)   transverse strengths of the ply, interlaminar shear strength
void DelHashin(double* rdel, const double* s33, const double* s13, const double* s23,
               const double* xt22, const double* xc22, const double* ilss);

// Puck's action-plane form on the interface.
//   rdel (out)              with RA = xc22/(2 (1 + gp(4))), m = s23^2 + s13^2,
//                           pc = (gp(4) s23^2/RA + gp(2) s13^2/ilss)/m and
//                           pt = (gp(3) s23^2/RA + gp(1) s13^2/ilss)/m (both 0 for m = 0):
//                           s33 < 0:  sqrt((s23/RA)^2 + (s13/ilss)^2 + (pc s33)^2) + pc s33,
//                           s33 >= 0: pt s33 + sqrt(((1/xt22 - pt) s33)^2 + (s23/RA)^2
//                                     + (s13/ilss)^2)
//   s33, s13, s23 (in)      stresses
//   xt22, xc22, ilss (in)   strengths
//   gp(4) (in, optional)    inclination parameters: s13 part for s33 >= 0 and < 0, s23 part
//                           for s33 >= 0 and < 0; (0.3, 0.2, 0.15, 0.15) when absent
void DelPuck(double* rdel, const double* s33, const double* s13, const double* s23,
             const double* xt22, const double* xc22, const double* ilss, const double* gp);

// Choi-Chang.
//   rdel (out)                 sqrt(da ((s23u/ilssu)^2 + (s22l/X)^2 + (s13l/ilssl)^2)),
//                              X = xt22l for s22l > 0, else xc22l
//   s22l, s13l, s23u (in)      stresses of the lower and upper ply
//   xt22l, xc22l, ilssl, ilssu (in)  strengths
//   da (in, optional)          empirical factor; 1.8 when absent
void DelChoiChang(double* rdel, const double* s22l, const double* s13l, const double* s23u,
                  const double* xt22l, const double* xc22l, const double* ilssl,
                  const double* ilssu, const double* da);

// Chai.
//   rdel (out)                  sqrt(c) for c > 0, else 0, with c = df1 (s22l/X)^2
//                               + df2 (s23u/x23u)^2 + 1.875 df3 (s13l/ilssl)^2, X as
//                               DelChoiChang
//   s22l, s13l, s23u (in)       stresses of the lower and upper ply
//   xt22l, xc22l, x23u, ilssl (in)  strengths
//   df1, df2, df3 (in)          interface factors
void DelChai(double* rdel, const double* s22l, const double* s13l, const double* s23u,
             const double* xt22l, const double* xc22l, const double* x23u, const double* ilssl,
             const double* df1, const double* df2, const double* df3);

}  // extern "C"
}  // namespace vorlen::delcollection
