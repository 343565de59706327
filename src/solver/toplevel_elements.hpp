// User elements of module toplevel: the two-node bar (truss) of the implicit (UEL) and explicit
// (VUEL) solvers, and the impactor elements built on it, which couple a rigid impactor to the
// plate through a Hertz-type contact law.
//
// Bar: properties PROPS(1) Young's modulus E, (2) density rho, (3) cross-section area A (the
// reference area A0 of the explicit bar). Six degrees of freedom: translations 1-3 of node 1,
// then of node 2. With n the unit vector from node 1 to node 2, L the length, ue = (n.U(1:3),
// n.U(4:6)) the axial displacements, k = E A / L and m = 0.5 rho A L:
//   stiffness tet Ke te = k [[n n^T, -n n^T], [-n n^T, n n^T]], lumped mass m per degree of
//   freedom, axial force F = k (ue(2) - ue(1)); a local force pair (f1, f2) acts globally as
//   (f1 n, f2 n).
// Bar state: implicit SVARS(1:6) the static residual tet (-F, F) of the last increment,
//   SVARS(7:12) that of the increment before; explicit SVARS(k, 1) current length, (k, 2) axial
//   force of the last internal-force pass.
//
// Impactor: properties PROPS(1:2) E and nu of the impactor, (3:4) E and nu of the target,
// (5) impact energy, (6) impactor mass, (7) radius r1, (8) second dimension r2, (9:10)
// curvature terms of the target, (11) start time (> 0) or initial displacement (< 0),
// (12) critical indentation of the permanent indentation (also the stiffness of contact law 2),
// (13) exponent of contact law 2 (implicit) or weight of the mixed scheme (explicit, 0.5 when
// NPROPS < 13). JPROPS(1) force procedure (0 force of the record; implicit 1 cubic solution,
// 2 bracketing root search; explicit 1 Hertz, 2 Hertz with permanent-indentation unloading),
// (2) contact stiffness and contact radius law, (3) implicit contact law of the root search
// (1 stiffness table, 2 power law, else Hertz), (4) explicit integration (read when NJPROPS is
// 4: 1 central difference, else the mixed scheme).
// Impactor record cprops(20): 1 contact force, 2 contact radius, 3 depth, 4 impactor
// displacement, 5 velocity, 6 acceleration, 7 mass, 8-10 integration parameters, 11, 12
// previous force and radius, 13 reference elongation of the compliance measurement, 14 column
// of the compliance table (structural-response steps) or largest force, 15 end of the table of
// time increments or largest depth, 16 overload flag, 17, 18 impactor dimensions, 19 mid-step
// velocity, 20 previous time increment or weight of the mixed scheme.
// Impactor state, implicit SVARS: 1-12 bar, 13 gravity, 14 structure compliance Cs, 15
// reference elongation, 16 current elongation, 17 largest force, 18 zero, 19 compliance of the
// table at the current time increment, 20 column in impactdata::csvars, with an even NSVARS
// above 20 and n = NSVARS/2 - 10: 21..20+n time increments (decreasing), 21+n..20+2n the
// elongations measured at them. Explicit SVARS(k, .): 1-2 bar, 13 gravity, 14 zero, 15
// reference elongation, 16 current elongation, 17 largest force, 18 zero.
// Step types (jobdata::stepid(kstep)): 0 initialization of record and state, 2 structural
// response (implicit: measurement of the structure compliance by a unit probe force, table in
// impactdata::csvars, one column per impactor), 3 impact (contact force); other types and steps
// outside an allocated step table run the bar alone.
//
// Reports (first-error register):
//   -3 "Unsupported element layout in <routine>": NDOFEL not 6, MCRD (NCRD) below 3, NNODE not
//      2, NRHS below 1, MLVARX below 6, NPROPS below 3 (impactors 12), NSVARS below 12 (uel),
//      2 (vuel), 20 (uel_impact), 18 (vuel_impact), NJPROP below 3 (uel_impact), NJPROPS
//      below 2 (vuel_impact) or no impactor record: nothing is written;
//   -3 "Coincident nodes in <routine>": nodes without a finite, positive distance: the
//      implicit bar gives zero RHS and AMATRX and leaves the rest; the explicit internal force
//      is zero with DTIMESTABLE 0.99 eps sqrt(rho/E) (eps = 2.220446049250313e-16, the
//      replacement length), its external force zero;
//   -3 "Distributed loads beyond MDLOAD in uel_truss": NDLOAD > MDLOAD; the first MDLOAD count;
//   -3 "No positive finite stable increment in vuel_truss": 0.99 sqrt(M / ka) is inf, 0 or not a
//      number (E or rho not above 0): DTIMESTABLE 0, force and energy as computed;
//   -3 "Impactor mass not above 0 in <routine>": PROPS(6) (slot 7) not a positive normal
//      number, or an impact energy below 0: velocity 0, slot 7 = 0, no contact force (F,
//      radius, depth 0);
//   -3 "Error: Invalid root finding procedure": JPROPS(1) other than 0, 1, 2: F = 0;
//   -3 "No positive finite contact stiffness in <routine>": the contact stiffness or effective
//      modulus of JPROPS(2) is 0, negative, subnormal, inf or not a number (a radius PROPS(7)
//      of 0, both Poisson ratios 1, a stiffness law that reads no element property): F, radius
//      and depth 0 wherever a contact force is taken, the probe force's radius 0;
//   -3 "Total compliance not above 0 in uel_impact": Ct = Ci + Cs not above 0 or subnormal
//      (Ci = (1 + alpha) beta dtime^2 / m underflows with a huge mass or a tiny DTIME): F = 0;
//   -3 "Contact force not finite in <routine>": the force, radius or depth computed for the
//      record in an impact step is inf or not a number (an overflow of the contact equation or
//      of the power law, a quotient of underflowed values): F, radius and depth 0;
//   -3 "Contact force bound without an interval in uel_impact": contact law 1 (JPROPS(3))
//      whose force bound (u_p - ref - eps) / Ct is positive but too small for its table of 50
//      rising forces: F = 0 (a bound not above 0, no penetration beyond rounding, gives F = 0
//      without a report);
//   -3 "Compliance table not filled in uel_impact": the time increments of SVARS not positive
//      and strictly decreasing, or fewer than two: Cs = SVARS(14);
//   -3 "Impactor column outside the compliance table in uel_impact": int(cprops(14)) (type 2)
//      or int(SVARS(20)) (type 3) outside the columns of impactdata::csvars, or a copy longer
//      than its rows: the table is neither read nor written (type 2: the measurement ends with
//      the elongation as reference, type 3: Ci stays (1 + alpha) beta dtime^2 / m);
//   -3 "Compliance table short of the element in uel_impact": in a structural-response step
//      impactdata::csvars holds fewer than 2n rows or nimp columns (an impact step leaves
//      (1, nimp)): it is allocated anew (2n, nimp) and zero-filled;
//   -3 "Time increment 0 in the compliance table in uel_impact": a time row of the column is 0
//      (DTIME or the table end 0): the measurement ends with the elongation as reference;
//   -3 "Step outside the step table in <routine>": kstep outside an allocated jobdata::stepid.
// The bar and contact services report what they report (code -3 of the transformation for
// coincident nodes, the root search's messages). No routine allocates on the heap, except
// impactdata::csvars in the implicit impactor.
#pragma once
#include "base/view.hpp"
#include "solver/argument_lists.hpp"

namespace vorlen::toplevel {
extern "C" {

// Two-node bar for Abaqus/Standard (UEL).
//   rhs(mlvarx,nrhs) (out)     residual columns 1..NRHS, rows 1..6 (the others untouched)
//   amatrx(ndofel,ndofel) (out)  stiffness, effective dynamic stiffness or lumped mass
//   svars(nsvars) (in/out)     residual history (dynamic, initial acceleration, perturbation)
//   energy(8) (in/out)         (1) kinetic, (2) elastic strain energy, (8) += work of
//                              distributed loads, (ADLMAG - 0.5 DDLMAG) times the axial
//                              increment n.DU(4:6) of node 2, on which they act
//   ndofel, nrhs, nsvars (in)  6, right-hand sides (2 in Riks), at least 12
//   props(nprops), nprops (in) E, rho, A
//   coords(mcrd,nnode), mcrd, nnode (in)  node coordinates (rows 1..3 read), MCRD >= 3, 2 nodes
//   u(ndofel), du(mlvarx,*), v(ndofel), a(ndofel) (in)  displacement, its increments (column c
//                              for right-hand side c), velocity, acceleration
//   time(2), dtime (in)        dtime used by the dynamic terms
//   params(3) (in)             alpha, beta, gamma of the HHT scheme
//   ndload, jdltyp(mdload,*), adlmag(mdload,*), ddlmag(mdload,*), mdload (in)  distributed
//                              loads: type 1001 is an axial force at node 2
//   lflags(*) (in)             (1) procedure 1, 2 static, 11, 12 dynamic, 41 frequency;
//                              (3) 1 normal, 2 stiffness, 4 mass, 5 half-step residual,
//                              6 initial acceleration, 100 perturbation; (4) linear perturbation
//   pnewdt (in/out)            not changed
//   jtype, kstep, kinc, jelem, predef(2,npredf,nnode), npredf, jprops(njprop), njprop,
//   period (in)                not used
void toplevel_uel_truss(VORLEN_UEL_PARAMETERS);

// Block of two-node bars for Abaqus/Explicit (VUEL), large-strain: the volume A0 L0 is kept,
// the force is E A ln(L/L0) with the current area A = A0 L0 / L. Nothing happens unless
// LFLAGS(1) is 17.
//   nblock (in)                elements of the block (none below 1)
//   rhs(nblock,ndofel) (out)   internal force tet (-F, F) (LFLAGS(3) 2), external force of a
//                              load 123: tet (0, adlmag(k)) (LFLAGS(3) 3)
//   amass(nblock,ndofel,ndofel) (out)  0.5 rho A0 L0 times the identity (LFLAGS(3) 1)
//   dtimestable(nblock) (out)  0.99 sqrt(M / ka), M = rho A0 L0, ka = E A / L (LFLAGS(3) 2);
//                              0 with code -3 where that is no positive finite number (E or
//                              rho not above 0)
//   svars(nblock,nsvars) (in/out)  (k,1) length, (k,2) force of the last internal-force pass
//   energy(nblock,12) (in/out) (k,3) += 0.5 (F + svars(k,2)) (L - svars(k,1))
//   nsvars, nnode, ndofel (in) at least 2, 2, 6
//   props(nprops), nprops (in) E, rho, A0
//   coords(nblock,nnode,ncrd), ncrd (in)  node coordinates, NCRD >= 3
//   u(nblock,ndofel) (in)      displacements
//   lflags(3) (in)             (1) 17 explicit dynamics, (3) 1 mass, 2 internal force and
//                              stable increment, 3 external force
//   jdltyp, adlmag(nblock) (in)  load type and magnitudes
//   jprops, njprops, du, v, a, jtype, jelem, time, period, dtimecur, dtimeprev, kstep, kinc,
//   dmassscalefactor, predef, npredef (in)  not used
void toplevel_vuel_truss(VORLEN_VUEL_PARAMETERS);

// Impactor for Abaqus/Standard: the bar with E = rho = 1e-20, A = 1e-3 carrying the impactor,
// whose contact force solves F = kc (u_p - ref - h - (Ci + Cs) F)^p with the predictor u_p of
// the impactor's HHT step, its compliance Ci = (1 + alpha) beta dtime^2 / m and the structure
// compliance Cs.
//   the UEL arguments as for toplevel_uel_truss; props(nprops) (NPROPS >= 12; PROPS(13) read by
//                              contact law 2, 0 when absent), jprops(njprop) (NJPROP >= 3) and
//                              the impactor layouts above; svars(nsvars) (in/out), NSVARS >= 20
//   pnewdt (in/out)            structural-response steps: -1, the ratio of the next time
//                              increment of the table or 0.8 while measuring
//   cprops(20) (in/out)        the impactor's record column
void toplevel_uel_impact(VORLEN_UEL_PARAMETERS, double* cprops);

// Impactor for Abaqus/Explicit: the explicit bar with E = rho = 1e-20, A0 = 1e-3, then in the
// internal-force pass the penetration s = cprops(4) - svars(k,15) of every element of the
// block gives the force kc s^1.5 (unloading: ku (s - h)^p, 0 for s <= h).
//   the VUEL arguments as for toplevel_vuel_truss; props(nprops) NPROPS >= 12,
//   jprops(njprops) NJPROPS >= 2, svars(nblock,nsvars) NSVARS >= 18
//   cprops(20) (in/out)        the impactor's record column, shared by the whole block
void toplevel_vuel_impact(VORLEN_VUEL_PARAMETERS, double* cprops);

}  // extern "C"

inline constexpr auto& uel_truss = toplevel_uel_truss;
inline constexpr auto& vuel_truss = toplevel_vuel_truss;
inline constexpr auto& uel_impact = toplevel_uel_impact;
inline constexpr auto& vuel_impact = toplevel_vuel_impact;

}  // namespace vorlen::toplevel
