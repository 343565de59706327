// Job and per-point hooks of module toplevel: solver entry points at which the library adds no
// mechanics of its own. Each gives the solver a neutral or purely geometric answer, or harvests
// data for the data store and the integration-point report; none keeps anything between calls.
//
//   gen_sdvini        (Abaqus/Standard SDVINI)  marks an all-zero state vector as fresh
//   uvarm_report      (Abaqus/Standard UVARM)   the integration-point report of an
//                                               initialization step
//   vucharlength_cel  (Abaqus/Explicit VUCHARLENGTH)  lengths of four-node shells and
//                                               eight-node bricks
//   vdisp_nullify     (Abaqus/Explicit VDISP)   nodal coordinates and motion into the store,
//                                               prescribes nothing
//   mpc_nullify       (Abaqus/Standard MPC)     an inactive constraint
//
// Fresh-state marker: an otherwise zero state vector whose last entry is the largest double
// (1.7976931348623157e308) has not been started by a material routine.
//
// Step types of jobdata::stepid: 0 initialization, 1 fatigue, 2 structural response, 3 impact,
// 4 relaxation, 5 measured-field degradation.
//
// Reports (first-error register), after which the routine does nothing more than stated:
//   -3 "State vector empty in gen_sdvini": nstatv < 1; statev not touched;
//   -3 "Step out of range in uvarm_report", "Step out of range in vdisp_nullify": a step
//      table exists and kstep is outside it (for vdisp_nullify: kstep not 0); nothing read
//      from the table, nothing written;
//   -3 "Extents too small in vucharlength_cel": a shell (jeltype(1) = 3) or brick (6) with
//      ncomp < 3, ndim < 3 or nnode below 4 (shell) or 8 (brick); charlength all 0;
//   -3 "Degrees of freedom below 3 in vdisp_nullify": mdof < 3 (with a step table and kstep
//      not 0); nothing stored;
//   -3 "Rotation count above 3 in vdisp_nullify": mdof > 6 when the motion is due; nothing
//      stored.
// The store routines called (GetNodalCoordinates, GetNodesMotion) report their own problems.
// Per call nothing is allocated on the heap.
#pragma once
#include "base/view.hpp"

namespace vorlen::toplevel {
extern "C" {

// SDVINI: the fresh-state marker of an all-zero state vector.
//   statev(nstatv) (in/out)  when every entry is exactly 0 (a NaN is not): all 0 and
//                            statev(nstatv) = 1.7976931348623157e308; else unchanged
//   coords(ncrds) (in)       not used
//   nstatv (in)              state variables; below 1 records -3
//   ncrds, noel, npt, layer, kspt (in)  not used
void toplevel_gen_sdvini(double* statev, const double* coords, const i32* nstatv, const i32* ncrds,
                         const i32* noel, const i32* npt, const i32* layer, const i32* kspt);

// UVARM: in increment 1 of an initialization step (jobdata::stepid(kstep) = 0, kinc = 1)
// appends the line of this point to the report "<trimmed jobdata::jobfilepath>.rst"
// (iohandling::getgausspointreport: heading (a8,a8,a25,a25,a25) "NOEL", "NPT", "x", "y", "z"
// when the file is new, then (2i8,3f25.8) noel, npt, coord(1:3)). Any other call does nothing;
// without a step table nothing is done.
//   uvar(nuvarm) (in/out)    not written
//   tdirect(3,3), t(3,3), time(2), dtime, cmname(80), orname(80), nuvarm (in)  not used
//   noel, npt (in)           element and integration point
//   layer, kspt (in)         not used
//   kstep, kinc (in)         step and increment
//   ndi, nshr (in)           not used
//   coord(3) (in)            point coordinates
//   jmac(*), jmatyp(*), matlayo, laccfla (in)  not used
void toplevel_uvarm_report(double* uvar, const double* tdirect, const double* t, const double* time,
                           const double* dtime, const char* cmname, const char* orname,
                           const i32* nuvarm, const i32* noel, const i32* npt, const i32* layer,
                           const i32* kspt, const i32* kstep, const i32* kinc, const i32* ndi,
                           const i32* nshr, const double* coord, const i32* jmac, const i32* jmatyp,
                           const i32* matlayo, const i32* laccfla);

// VUCHARLENGTH: characteristic lengths per block entry.
//   nblock (in)              block entries (below 1: nothing)
//   nfieldv, nprops (in)     not used
//   ncomp (in)               lengths per entry; at least 3 for shells and bricks
//   ndim (in)                coordinates per node; at least 3 for shells and bricks
//   nnode (in)               nodes per element; at least 4 (shell) or 8 (brick)
//   nstatev, ksecpt, klayer, kintpt (in)  not used
//   jeltype(3) (in)          jeltype(1): 3 four-node shell, 6 eight-node brick, else none
//   jelem(nblock), totaltime, steptime, dt, cmname(80), coordmp(nblock,ndim) (in)  not used
//   coordnode(nblock,nnode,ndim) (in)  node coordinates; nodes 1..4 (shell) or 1..8 (brick)
//   tdirect(nblock,3,3) (in) directions, entry (k, i, j) component i of direction j
//   t(nblock,3,3), props(nprops), field(nblock,nfieldv), stateold(nblock,nstatev) (in)
//                            not used
//   charlength(nblock,ncomp) (out)  all 0, then for a shell columns 1..3 the in-plane
//                            lengths towards node 2, node 4 and node 3 (GetQuad4ElemLength),
//                            for a brick the lengths of GetHex8ElemLength
void toplevel_vucharlength_cel(const i32* nblock, const i32* nfieldv, const i32* nprops,
                               const i32* ncomp, const i32* ndim, const i32* nnode,
                               const i32* nstatev, const i32* ksecpt, const i32* klayer,
                               const i32* kintpt, const i32* jeltype, const i32* jelem,
                               const double* totaltime, const double* steptime, const double* dt,
                               const char* cmname, const double* coordmp, const double* coordnode,
                               const double* tdirect, const double* t, const double* props,
                               const double* field, const double* stateold, double* charlength);

// VDISP: stores nodal data for the transverse-stress recovery and prescribes nothing.
// Nothing is done without a step table or with kstep = 0.
//   kinc = 1: with kstep = 1 and step 1 of type 0, GetNodalCoordinates(coordnp, jnodeuid,
//             ncoord, nblock); otherwise nothing.
//   kinc other than 1: with kstep >= 2, kinc >= 2, step type not 0, 2, 4 or 5 and kinc + 1 a
//             multiple of debugdata::nupdate (mLimit(kinc + 1, nupdate) = nupdate),
//             GetNodesMotion(u(1:3, :), u(4:mdof, :), jnodeuid, mdof - 3, nblock, 0.0): a node
//             whose translations (rotations) are all exactly 0 stores none, a node with neither
//             keeps what was stored. Three degrees of freedom carry no rotation.
//   nblock (in)              nodes of the block
//   mdof (in)                degrees of freedom per node, 3 to 6
//   ncoord (in)              coordinates per node
//   kstep, kinc (in)         step and increment
//   steptime, totaltime, dtnext, dt, cbname(80), jbctype, jdof(mdof) (in)  not used
//   jnodeuid(nblock) (in)    node labels
//   amp(nblock) (in)         not used
//   coordnp(ncoord,nblock) (in)  node coordinates
//   u(mdof,nblock) (in)      displacements and rotations
//   v, a, rf(mdof,nblock), rmass(nblock), rotaryi(3,3,nblock) (in)  not used
//   rval(mdof,nblock) (in/out)  not written
void toplevel_vdisp_nullify(const i32* nblock, const i32* mdof, const i32* ncoord, const i32* kstep,
                            const i32* kinc, const double* steptime, const double* totaltime,
                            const double* dtnext, const double* dt, const char* cbname,
                            const i32* jbctype, const i32* jdof, const i32* jnodeuid,
                            const double* amp, const double* coordnp, const double* u,
                            const double* v, const double* a, const double* rf, const double* rmass,
                            const double* rotaryi, double* rval);

// MPC: an inactive constraint.
//   ue(mdof) (in/out)        left as it came
//   a(mdof,mdof,n) (out)     0
//   jdof(mdof,n) (out)       0
//   mdof, n (in)             extents (below 0 count as 0)
//   jtype, x(6,n), u(maxdof,n), uinit(maxdof,n), maxdof (in)  not used
//   lmpc (out)               0
//   kstep, kinc, time(2), nt, nf, temp(nt,n), field(nf,nt,n), ltran(n), tran(3,3,n) (in)
//                            not used
void toplevel_mpc_nullify(double* ue, double* a, i32* jdof, const i32* mdof, const i32* n,
                          const i32* jtype, const double* x, const double* u, const double* uinit,
                          const i32* maxdof, i32* lmpc, const i32* kstep, const i32* kinc,
                          const double* time, const i32* nt, const i32* nf, const double* temp,
                          const double* field, const i32* ltran, const double* tran);

}  // extern "C"

inline constexpr auto& gen_sdvini = toplevel_gen_sdvini;
inline constexpr auto& uvarm_report = toplevel_uvarm_report;
inline constexpr auto& vucharlength_cel = toplevel_vucharlength_cel;
inline constexpr auto& vdisp_nullify = toplevel_vdisp_nullify;
inline constexpr auto& mpc_nullify = toplevel_mpc_nullify;

}  // namespace vorlen::toplevel
