// Delaminated strip in closed form: energies of its regions with the buckling and load transfer
// of the sub-laminates, energy release rates of delaminations and ply cracks, Paris-law growth
// histories and the strain allowables without growth. Arguments only, no state.
#pragma once
#include "base/view.hpp"

namespace vorlen::delisio {
extern "C" {

// Common terms. Strain state dof(6) = (e11, e22, gamma12, k11, k22, k12) in laminate axes,
// direction 1 (x) the load direction; resultants (N11, N22, N12, M11, M22, M12) per unit width,
// compression negative. abd(6,6) = [A B; B D]; abdsub(2,6,6) holds in abdsub(k,:,:) the ABD of
// sub-laminate k about its own mid-plane. forcecases(3,6): row 1 the resultants of the intact
// laminate under dof, rows 2 and 3 those of sub-laminates 1 and 2 (only column 1, N11, is
// read). A delamination has half-length a (along x) and half-width b; its centre lies e off the
// middle of the strip, so that the side strips are width/2 - b - e (left) and width/2 - b + e
// (right) wide. Ply stacks: layup(nplies) in degrees, every ply tply thick with the elastic
// constants props(1:9) = E1, E2, E3, nu12, nu13, nu23, G12, G13, G23.

// ---- Energies and load transfer --------------------------------------------------------

// energy = 1/2 strain' abdmatrix strain * area.
//   strain(ncomp), abdmatrix(ncomp,ncomp) (in)
//   area (in)      area; 1 gives the energy per unit area
//   energy (out)
//   ncomp (in)     components; not above 0 gives 0
void LinearElasticEnergy(const double* strain, const double* abdmatrix, const double* area,
                         double* energy, const i32* ncomp);

// Energy per unit area with row stresszero and column strainzero of abdin set to zero (0: no
// row or column); a crack that carries no stress k is stresszero = k.
//   strain(ncomp), abdin(ncomp,ncomp) (in)
//   area (in)      not read: the result is per unit area
//   energy (out)   0 for stresszero or strainzero outside 0..ncomp (code -3)
//   stresszero, strainzero, ncomp (in)
void reducedElasticEnergy(const double* strain, const double* abdin, const double* area,
                          double* energy, const i32* stresszero, const i32* strainzero,
                          const i32* ncomp);

// Energy of the 2 a_el by 2 b_el sub-laminate over a delamination, loaded along a_el. With
// D~ = D - B' A^-1 B (MatrixInverse; abd_tilde is abd_in with D~ for D) and f = pi^2/(2 b_el)^2
// the buckling resultant is the mean of the simply supported and the clamped long plate,
//   nbuck = -(f 2 (sqrt(D~11 D~22) + D~12 + 2 D~66)
//             + f (4.53 sqrt(D~11 D~22) + 2.62 D~11 b_el^2/a_el^2 + 2.62 (D~12 + 2 D~66)))/2,
// reached at epsbuck = dof_in nbuck/forces(1); a buckfactor_in other than 1 scales epsbuck(1)
// and makes nbuck = abd_in(1,1) epsbuck(1).
//   abd_in(6,6), dof_in(6) (in)  the sub-laminate and its strain
//   a_el, b_el (in)   half-length and half-width
//   forces(6) (in)    resultants of dof_in; only forces(1) is read
//   energy (out)      unbuckled (forces(1) > nbuck, or forces(1) = 0: nothing to scale to a
//                     buckling state): 1/2 dof' abd_tilde dof 4 a_el b_el; buckled: the energy
//                     at epsbuck plus 4 a_el b_el de (nbuck + nsub)/2, de = dof_in(1) - epsbuck(1)
//   nsub (out)        carried resultant: forces(1), or nbuck + r_in abd_in(1,1) de when buckled
//   bstatus (out)     1 buckled, 0 not
//   buckfactor_in (in, optional)  1.0 when absent
//   r_in (in, optional)  post-buckling stiffness fraction, 0.0 when absent
void EnergySublaminat(const double* abd_in, const double* dof_in, const double* a_el,
                      const double* b_el, const double* forces, double* energy, double* nsub,
                      lgl* bstatus, const double* buckfactor_in, const double* r_in);

// Split of the strip force between the side strips by a moment balance: with f11 = n11 w,
// fsub = 2 b nsub, X = (b - e)/2 + w/4 and Y = (b + e)/2 + w/4 the strip forces F_L = n_left wl
// and F_R = n_right wr give F_L + F_R = f11 - fsub and F_L Y - F_R X = -e fsub.
//   n11 (in)            applied resultant; nsub (in) resultant of the delaminated zone
//   b (in)              half-width of the delamination
//   wr, wl, w (in)      right and left strip widths, full width
//   e (in)              offset of the delamination
//   n_left, n_right (out)
void MomentumBalance(const double* n11, const double* nsub, const double* b, const double* wr,
                     const double* wl, const double* w, const double* e, double* n_left,
                     double* n_right);

// Transfer of the force that buckled sub-laminates shed into the side strips and the other
// sub-laminate: deltaf = (forces(2,1) - nsub1in + forces(3,1) - nsub2in) damagewidth; a
// sub-laminate is buckled when its nsub exceeds its share forces(k+1,1) and then takes part
// with r_in abdsub(k,1,1), else with abdsub(k,1,1).
//   abd(6,6), abdsub(2,6,6), forces(3,6) (in)
//   nsub1in, nsub2in (in)     resultants the sub-laminates carry
//   width (in)                not read
//   leftwidth, rightwidth, damagewidth, w, e (in)  strips, delamination width 2b, full width,
//                             offset
//   nleft_m, nright_m (out)   strip resultants of MomentumBalance(forces(1,1), nsub1 + nsub2)
//   nsub1, nsub2 (out)        sub-laminate resultants after the transfer
//   deltadof (out)            common extra strain deltaf/((leftwidth + rightwidth) abd(1,1) +
//                             (k1 + k2) damagewidth); 0 when nothing is buckled
//   ie1_delta, ie2_delta (out)  energy increments per unit area (nsubin + nsub)/2 deltadof
//   r_in (in, optional)       0.0 when absent
void ForceTransfer(const double* abd, const double* abdsub, const double* forces,
                   const double* nsub1in, const double* nsub2in, const double* width,
                   const double* leftwidth, const double* rightwidth, const double* damagewidth,
                   const double* w, const double* e, double* nleft_m, double* nright_m,
                   double* nsub1, double* nsub2, double* deltadof, double* ie1_delta,
                   double* ie2_delta, const double* r_in);

// Shortening of the side strips over the delaminated length:
// deltax = 2 a ec sqrt(((el/ec)^2 l + (er/ec)^2 r)/(width - 2 b)), el = nleft/abd(1,1),
// er = nright/abd(1,1), ec = dof(1).
//   abd(6,6) (in)   only abd(1,1) is read
//   a, b, width (in)
//   dof(6) (in)     only dof(1) is read
//   deltadof (in)   not read
//   nleft, nright, l, r (in)  strip resultants and widths
//   deltax (out)
void EquivDisp(const double* abd, const double* a, const double* b, const double* width,
               const double* dof, const double* deltadof, const double* nleft, const double* nright,
               const double* l, const double* r, double* deltax);

// ---- Energy release rates --------------------------------------------------------------

// Release rates of a rectangular delamination in compression from five states of the strip
// (current, a + da, b + db on both sides, b + db towards the left with e + db, towards the
// right with e - db): per unit of new area, the work P du of the applied force P =
// forcecases(1,1) width on the end displacement less the change of strain energy.
//   dof(6), abd(6,6), abdsub(2,6,6) (in)
//   a, b (in)            half-length and half-width
//   width, length (in)   strip
//   areaclean (in)       not read
//   forcecases(3,6) (in)
//   gx (out)             length growth
//   gy, gy_left, gy_right (out)  width growth on both sides, to the left, to the right
//   e_in (in, optional)  offset, 0.0 when absent
//   da_in, db_in (in, optional)  growth steps, 0.1 when absent
//   buckfactor_in, r_in (in, optional)  as EnergySublaminat, 1.0 and 0.0 when absent
// The rates are 0 with code -3 when a, b, da or db is not above 0 or a side strip of a state is
// not wider than 0 (width/2 - b -+ e - 2 db), and 0 without a code when forcecases(1,1) = 0.
void EnergyReleaseRate(const double* dof, const double* abd, const double* abdsub, const double* a,
                       const double* b, const double* width, const double* length,
                       const double* areaclean, const double* forcecases, double* gx, double* gy,
                       double* gy_left, double* gy_right, const double* e_in, const double* da_in,
                       const double* db_in, const double* buckfactor_in, const double* r_in);

// Release rate of a delamination at a ply crack under tension: the membrane energy of the
// cracked ply that goes when it carries no stress dir, shared by the two interfaces of an inner
// ply or taken by the one of an outer ply.
//   dof_r(6) (in)        (e11, e22, gamma12) of the ply in the principal frame of its stress;
//                        entries 4..6 not read
//   a_r(3,3) (in)        A matrix of the ply in that frame
//   a_dmg, b_dmg, l_crack_proj, delta_angle (in)  not read
//   serr_d_t (out)       (1/2 e'A e - reducedElasticEnergy(e, A, stresszero = dir))/n, n = 1
//                        for an outer ply, else 2; 0 for dir outside 0..3 (code -3)
//   dir (in)             1 the principal direction, 2 across it, 0 nothing released
//   outer (in, optional) 1 an outer ply; absent counts as not 1
void sERR_delaTension(const double* dof_r, const double* a_r, const double* a_dmg,
                      const double* b_dmg, const double* l_crack_proj, const double* delta_angle,
                      double* serr_d_t, const i32* dir, const i32* outer);

// Fibre crack of half-length b_crack: serr_f_t = (sigma11_ply sqrt(pi b_crack))^2/props(1).
//   gic (in)             not read
//   nprops, props(nprops) (in)  only props(1) = E1 is read; nprops below 1: code -3, 0
void fiber_tension_lefm(const double* sigma11_ply, const double* b_crack, const double* gic,
                        const i32* nprops, const double* props, double* serr_f_t);

// ---- Paris laws and growth histories ---------------------------------------------------

// dadn = cf deltag^nf; 0 for a negative deltag (no growth).
void GrowthRateParis(const double* deltag, double* dadn, const double* cf, const double* nf);

// n < 0: n = (c1/deltag)^c2, the cycles to initiation; else deltag = c1 n^(1/c2), the threshold
// for n cycles (the branches are not inverse to each other).
//   deltag, n (in/out)
void GrowthInitiationParis(double* deltag, double* n, const double* c1, const double* c2);

// Growth of a delamination in compression, cycle jump by cycle jump: EnergyReleaseRate (da =
// db = dmgincrement_in) at the state of the last column, Paris rates with nf = props(11) and
// cf = props(12), a forward step of the half-sizes. The last jump may pass totalcycles.
//   layup(nplies), tply, props(nprops) (in)  the stack; nprops at least 12
//   indof(ndof) (in)       strain state, indof(1:6) read; ndof at least 6
//   dela_interface (in)    plies below the delamination, 1..nplies-1
//   length, width, extensdmg (in)  strip and offset e
//   results(13, 1+totalcycles) (out)  column 1 the start, one column per jump, the rest 0:
//                          cycles, N11 of the laminate, indof(1) length, 2a, 2b, 4ab, da/dN,
//                          db/dN, gx, gy, gy_left, gy_right, 0
//   dmgwidth, dmglength (in)  start width 2b and length 2a
//   totalcycles, nplies, nprops, ndof (in)
//   incyclejump (in, optional)  1 when absent
//   instressratio (in, optional)  not read
//   dmgincrement_in (in, optional)  0.1 when absent
// A jump below 1 or totalcycles below 0 records code -3 and writes nothing; dela_interface,
// nprops or ndof out of range, tply, length, width, dmgwidth, dmglength or dmgincrement_in not
// finite and above 0, or extensdmg not finite record code -3 and leave results 0.
void DelaCompGrowth(const double* layup, const double* tply, const double* indof,
                    const i32* dela_interface, const double* props, const double* length,
                    const double* width, const double* extensdmg, double* results,
                    const double* dmgwidth, const double* dmglength, const i32* totalcycles,
                    const i32* nplies, const i32* nprops, const i32* ndof, const i32* incyclejump,
                    const double* instressratio, const double* dmgincrement_in);

// Growth of a delamination at a transverse crack of ply ncrack under tension, from release
// rates evaluated once in the principal frame of the ply's stress (sERR_delaTension, directions
// 1 and 2): length and width grow linearly with the cycles.
//   layup(nplies), tply, indof(ndof), props(nprops) (in)  as DelaCompGrowth
//   ncrack (in)            cracked ply, 1..nplies
//   length, width, extensdmg (in)  not read
//   results(13,1000) (out) column 1 the start, one column per jump up to totalcycles, the rest
//                          0: cycles, N11, indof(1), length, width, area (start pi/4 length
//                          width), serr, area growth rate, serr_2, cycles to initiation
//                          (column 1 only), 0, 0, 0
//   indmgwidth, indmglength, l_crack (in)  start sizes and crack length
//   totalcycles, nplies, nprops, ndof (in)
//   incyclejump (in, optional)  max(trunc(totalcycles/10), 1) when absent
//   instressratio (in, optional)  not read
//   paris_ng(2) (in, optional)  c1, c2 of the initiation law, (1.0, 0.0) when absent
// A jump below 1 or totalcycles below 0 records code -3 and writes nothing; ncrack, nprops or
// ndof out of range, tply not finite and above 0, or indmgwidth, indmglength or l_crack not
// finite and 0 or above record code -3 and leave results 0; jumps beyond column 1000 record
// code -3 and are not written.
void delaTension(const double* layup, const double* tply, const double* indof, const i32* ncrack,
                 const double* props, const double* length, const double* width,
                 const double* extensdmg, double* results, const double* indmgwidth,
                 const double* indmglength, const double* l_crack, const i32* totalcycles,
                 const i32* nplies, const i32* nprops, const i32* ndof, const i32* incyclejump,
                 const double* instressratio, const double* paris_ng);

// ---- Strain allowables without growth ----------------------------------------------------
// The strain e11 rises in 100 steps of |inincrement|; the first step whose larger release rate
// exceeds the limit ends the search and the allowable is interpolated between it and the step
// before (the unloaded state counts as rate 0, force 0), or extrapolated from steps 99 and 100.
// Rates that never exceed the limit and do not rise at the end give -Inf (compression) or
// +Inf (tension). The limit: props(10) for inloadcycles 1 or 0, props(11) inloadcycles^(1 /
// props(12)) above 1, else the lines "Invalid number of cycles was given" and "Static limit is
// calculated" and props(10).

// Compression: a delamination dmgsizes(i,1) long and dmgsizes(i,2) wide at interface i (none
// when either is 0), DelaCompGrowth over one cycle per step. Prints "ERR for a life of ",
// inloadcycles, " cycles is " and the limit.
//   layup(nplies), tply, extensdmg, length, width, props(nprops) (in)
//   strainallowable (out)  the largest of the interfaces' allowables (NaN only when all are);
//                          -1.7976931348623157e308 without a delamination
//   forceallowables_perinterface(ninter), allowables_perinterface(ninter) (out)  N11 and e11;
//                          entries without a delamination not written
//   eps_th_results(ninter,6,100) (out)  per interface and step: e11, gx, gy, N11, gy_left,
//                          gy_right; 0 after the last step and without a delamination
//   dmgsizes(ninter,2) (in)
//   nplies, nprops, ninter (in)  ninter at most nplies-1, nprops at least 12
//   inincrement (in, optional)  -0.001 when absent; only its size counts
//   dmgincrement_in (in, optional)  0.1 when absent
//   inloadcycles (in, optional)  1.0 when absent
// Code -3 and every output 0, nothing printed but the lines of an invalid inloadcycles: ninter
// above nplies-1, nprops below 12, inincrement not finite, tply, length, width or
// dmgincrement_in not finite and above 0, extensdmg not finite, an entry of dmgsizes not finite
// and 0 or above, a limit NaN or below 0.
void Find_Allowable_nogrowth_comp(const double* layup, const double* tply, const double* extensdmg,
                                  const double* length, const double* width, const double* props,
                                  double* strainallowable, double* forceallowables_perinterface,
                                  double* eps_th_results, const double* dmgsizes,
                                  double* allowables_perinterface, const i32* nplies,
                                  const i32* nprops, const i32* ninter, const double* inincrement,
                                  const double* dmgincrement_in, const double* inloadcycles);

// Tension: a crack fibercrack(u) long in ply u (none when 0) with the largest delamination of
// dmgsizes, delaTension over one cycle per step.
//   layup(nplies), tply, extensdmg, length, width, props(nprops), fibercrack(nplies),
//   dmgsizes(ninter,2), nplies, nprops, ninter (in)  nprops at least 12; extensdmg, length and
//                          width not read; the delamination size (0 when ninter < 1) takes no
//                          part in the release rates
//   allowables_perply(nplies), forceallowables_perply(nplies) (out)  e11 and N11; entries of
//                          plies without a crack not written
//   strainallowable (out)  the smallest of the plies' allowables (NaN only when all are);
//                          1.7976931348623157e308 without a crack
//   inincrement (in, optional)  0.001 when absent; only its size counts
//   inloadcycles (in, optional)  1.0 when absent
// Code -3 and every output 0, nothing printed but the lines of an invalid inloadcycles: nprops
// below 12, inincrement not finite, tply not finite and above 0, an entry of fibercrack or
// dmgsizes not finite and 0 or above, a limit NaN or below 0.
void Find_Allowable_nogrowth_tension(const double* layup, const double* tply,
                                     const double* extensdmg, const double* length,
                                     const double* width, const double* props,
                                     const double* fibercrack, const double* dmgsizes,
                                     const i32* nplies, const i32* nprops, const i32* ninter,
                                     double* allowables_perply, double* strainallowable,
                                     double* forceallowables_perply, const double* inincrement,
                                     const double* inloadcycles);

}  // extern "C"
}  // namespace vorlen::delisio
