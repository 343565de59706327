// Growth of an elliptic delamination: the Rayleigh-Ritz energy model of the buckled sub-laminate
// with its contact penalty, the Newton-Raphson equilibrium solve, the energy release rate at the
// edge of the ellipse and the load-stepping growth analysis.
#pragma once
#include "base/view.hpp"

namespace vorlen::dg8 {
extern "C" {

// Ritz model over the ellipse x^2/a^2 + y^2/b^2 <= 1 (rho = x^2/a^2 + y^2/b^2):
//   u = (1 - rho)(p1 x/a + p2 y/b), v = (1 - rho)(q1 x/a + q2 y/b),
//   w = (1 - rho)^2 m, m = r1 + r2 x^2/a^2 + r3 y^2/b^2 + r4 x y/(a b),
// von Karman membrane strains plus the applied strain, curvatures -w,xx, -w,yy, -2 w,xy.
// Common arguments:
//   vec(8) (in)     Ritz coefficients p1, p2, q1, q2, r1, r2, r3, r4
//   eps(3) (in)     applied membrane strain in the axes of the ellipse: e11, e22, gamma12
//   a, b (in)       semi-axes along x and y; not finite and above 0: code -3 ("Semi-axis not
//                   finite and above 0 in <routine>") and every result 0
//   abd(6,6) (in)   ABD matrix of the sub-laminate (order 11, 22, 12); only the upper triangles
//                   of the blocks A = abd(1:3,1:3), B = abd(1:3,4:6), D = abd(4:6,4:6) are
//                   read, each taken as a symmetric matrix
//   kmd (in)        contact penalty stiffness per unit area
//   nk (in)         cells across the shorter semi-axis of the contact grid; h = min(a, b)/nk,
//                   or h = 3 a for nk <= 0. The cell centres x = -a + h/2, +h while x < a, and
//                   y = -b + h/2, +h while y < b are active where m < 0 and 1 - rho > 0. A
//                   grid of more than 2147483647 points records code -3 ("Contact grid above
//                   2147483647 points in <routine>") and gives zeros.
//   g0, epsbucklin (in)  membrane energy per unit area at unit strain level and the buckling
//                   strain: with w false they give the disturbing force pi a b epsbucklin^2 g0/10
//                   that pushes r1 off the flat state
//   w (in)          one-byte logical, true once buckling has been detected

// Strain energy U = 1/2 Int (e'Ae + 2 e'Bk + k'Dk) over the ellipse, exact.
double GetStrainEnergy8(const double* vec, const double* eps, const double* a, const double* b,
                        const double* abd);

// Residuals.
//   f(8) (out)  dU/dvec; with w false f(5) less pi a b epsbucklin^2 g0/10
void GetF8(double* f, const double* vec, const double* eps, const double* g0,
           const double* epsbucklin, const double* a, const double* b, const double* abd,
           const lgl* w);

// Jacobian.
//   df(64) (out)  the symmetric Hessian d2U/dvec2 as a column-major 8 by 8 matrix
//   g0, w (in)    not read
void GetdF8(double* df, const double* vec, const double* eps, const double* g0, const double* a,
            const double* b, const double* abd, const lgl* w);

// Contact penalty energy: the sum over the active grid points of 1/2 h^2 kmd (1 - rho)^4 m^2.
double GetContactEnergy8(const double* vec, const double* a, const double* b, const double* kmd,
                         const i32* nk);

// Area of the penetrating cells: h^2 times the number of active grid points.
double GetAreaOfOverlap8(const double* vec, const double* a, const double* b, const i32* nk);

// Contact Hessian and gradient in r1..r4 for the current active points.
//   km(4,4) (out)  sum of s phi phi', s = h^2 kmd (1 - rho)^4, phi = (1, x^2/a^2, y^2/b^2, xy/(ab))
//   kv(4) (out)    sum of s m phi
void GetKdfKf8(double* km, double* kv, const double* vec, const double* a, const double* b,
               const double* kmd, const i32* nk);

// Residuals and Jacobian of the total potential: GetF8 and GetdF8 with kv added to fp(5:8) and
// km to dfp(5:8,5:8).
//   fp(8), dfp(64) (out)
void GetFdF8(double* fp, double* dfp, const double* vec, const double* eps, const double* g0,
             const double* epsbucklin, const double* a, const double* b, const double* kmd,
             const double* abd, const i32* nk, const lgl* w);

// Equilibrium by Newton-Raphson on GetFdF8 with the applied strain relepsellipse * epsnom: each
// iteration solves with the explicit inverse of the Jacobian (a singular one is reported by
// MatrixInverse and its result used) and stops when the squared step is below tolerance.
//   sol(8) (in/out)  start vector; the last iterate. An iterate that is not finite is not
//                    taken: the iteration stops there with the last finite sol
//   nrerr (out)      squared length of the last step; 0 when maxiter < 1 (no iteration); +Inf
//                    after a non-finite iterate, a semi-axis not finite and above 0 (code -3,
//                    sol unchanged) or a contact grid above 2147483647 points (code -3)
//   a, b, kmd, g0, epsbucklin, abd, nk, w (in)  as above
//   epsnom (in)      strain level
//   relepsellipse(3) (in)  relative applied strain in the axes of the ellipse
//   tolerance (in)   limit of the squared step
//   maxiter (in)     iteration limit
void NewtonRaphson8(double* sol, double* nrerr, const double* a, const double* b,
                    const double* kmd, const double* g0, const double* epsnom,
                    const double* epsbucklin, const double* relepsellipse, const double* abd,
                    const double* tolerance, const i32* maxiter, const i32* nk, const lgl* w);

// Energy release rate at the edge of the ellipse by enlarging each semi-axis by 1e-5 of itself:
// U + contact at (a, b), re-solved at (1.00001 a, b), then at (a, 1.00001 b) from that solution;
// ga = g1 - dP/da/(pi ib), gb = g1 - dP/db/(pi ia) with g1 = epsnom^2 g0, ia = 1.00001 a,
// ib = 1.00001 b. A re-solve whose nrerr exceeds tol records code -2 "Error: No convergence
// while computing energy release rate!" and its coefficients are used as they are.
//   serr (out)      the larger of ga and gb (gb when they do not compare)
//   fa, fb (out)    growth factors: 1.001 for the axis of serr (a on a tie), 1 for the other
//   vec(8) (in)     equilibrium coefficients at (a, b); not changed
//   tol (in, optional)     limit of the re-solves, 1e-15 when absent
//   maxiter (in, optional) iteration limit of the re-solves, 100 when absent
// a, b, ia or ib not finite and above 0, or a contact grid above 2147483647 points: code -3
// and serr = fa = fb = 0.
void GetEnergyReleaseRate8(double* serr, double* fa, double* fb, const double* vec,
                           const double* a, const double* b, const double* kmd, const double* g0,
                           const double* epsnom, const double* epsbucklin,
                           const double* relepsellipse, const double* abd, const i32* nk,
                           const lgl* w, const double* tol, const i32* maxiter);

// Growth of an elliptic delamination under a strain rising from limstrain(1) to limstrain(2) in
// ninc equal increments (shortened by 0.9 and lengthened by 1.1 below the first one as the
// deflection steps change, from the sixth step on). The sub-laminate's ABD and its buckling
// strain and mode (GetSubLamBucklingStrain, ellipse) start the Ritz solution at a centre
// deflection of 1e-6; each step is solved by NewtonRaphson8 (1e-15, 150 iterations), buckling is
// detected when the strain per deflection step begins to rise, and while the energy release
// rate exceeds gamma the larger-rate semi-axis grows by 0.1 % and the step is re-solved, until a
// semi-axis exceeds radius or the ellipse's extent across the laminate reaches width.
//   success (out)    1 finished; -1 a load step did not converge (code -2 "Error: No
//                    convergence in load increment iteration! Error after 150 iterations. Try",
//                    the run ends), also when the load increment no longer raises the strain
//                    (code -2 "Error: Load increment too small to raise the strain level!");
//                    -2 the solution fell back to the flat state after the third step (code -2
//                    "Error: Encountered trivial solution! Try playing with Eps_Start parameter
//                    and/or", the run ends); -3 a growth step did not converge (code -2 "Error:
//                    No convergence in delamination grow loop! Error after 150 iterations. Try",
//                    the load stepping goes on); 0 input refused (below)
//   strains(3) (out) relstrain(1) times the linear buckling strain, the strain at detected
//                    buckling and the strain at the first growth (0 for what did not happen)
//   limstrain(2) (in)     start and end strain level (Eps_Start, Eps_End)
//   relstrain(3) (in)     relative strain e11, e22, gamma12 in laminate axes
//   plyelastic(9,nplies), plyorientation(nplies) (degrees), plythickness(nplies) (in)  the stack
//   delamination(3) (in)  semi-axes a, b and the angle of the a axis in degrees
//   sublamstack(2) (in)   first and last ply of the delaminated sub-laminate
//   kmd (in)              contact penalty stiffness; nprec (in) its grid density nk
//   gamma (in)            fracture toughness; +Inf: no growth
//   width (in)            laminate width; radius (in) largest semi-axis
//   ninc (in)             number of load increments
//   nplies (in)           number of plies
// Refused with code -3 ("<what> in DelaminationGrowthAnalysis"), success 0, strains 0 and
// nothing run: ninc below 1, sublamstack not 1 <= sublamstack(1) <= sublamstack(2) <= nplies,
// limstrain, relstrain or delamination not finite, a semi-axis not above 0, radius or width
// not finite and above 0, gamma or kmd NaN or below 0, the thickness of a sub-laminate ply not
// finite and above 0.
void DelaminationGrowthAnalysis(double* success, double* strains, const double* limstrain,
                                const double* relstrain, const double* plyelastic,
                                const double* plyorientation, const double* plythickness,
                                const double* delamination, const i32* sublamstack,
                                const double* kmd, const double* gamma, const double* width,
                                const double* radius, const i32* ninc, const i32* nprec,
                                const i32* nplies);

}  // extern "C"
}  // namespace vorlen::dg8
