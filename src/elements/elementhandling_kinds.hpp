// Element kinds, registration and the per-element nodal tables of module elementhandling: kind
// codes of the solver's element type names, registration of elements, nodal coordinates and
// nodal motion stored per element node, and small helpers on nodal data (displacement vector,
// edge mid-points, patches of neighbouring nodes).
//
// Tables of the data store: elementdata::elemlist, elemkind, elemnodes(nnodes, nelem),
// elemindices (the shell set), nodaldata::nodalcoords(3, nnodes, nelem),
// nodesmotion(ndof, nnodes, nelem), tnodalmatrices(3, 3, 8, nelem), tcurvmatrices(3, 3, nelem).
// A routine whose tables are not allocated returns without effect. The counts nelem and nnodes
// are bounded by the extents of the tables (code -3 when above them).
#pragma once
#include <string_view>

#include "base/view.hpp"

namespace vorlen::elementhandling {

// Kinds excluded from the shell set.
inline constexpr i32 ext2dkind[6] = {0, 6, 7, 9, 10, 11};

// Kind code of an element type name (as elementhandling_getabqelementkind).
i32 abq_kind(std::string_view elemtype);

extern "C" {

// Kind code of a solver element type name: -1 unless the name begins with "S" or "C"; else the
// code of the last of the prefixes S4 (1), S4R (2), S4R5 (3), S8R (4), S8R5 (5), S9R5 (6),
// S3 (7), STRI (8), SC6 (9), SC8 (10), C3D (11) that begins the name, 0 when none does. The
// test is case-sensitive.
//   elemtype (in)   blank-padded name of length lelemtype
//   lelemtype (in)  its length
i32 elementhandling_getabqelementkind(const char* elemtype, const i32* lelemtype);

// Registers one element: iele = iele + 1, elemlist(iele) = elemid, elemkind(iele) = its kind,
// elemnodes(1:nconnect, iele) = connectivity. Names beginning with "S" are taken, names
// beginning with "C" unless their first "IN" stands at position 2 (CIN...), others not; a name
// not taken changes nothing.
//   iele (in/out)             running count of registered elements
//   connectivity(nconnect) (in)  node labels in the solver's local order
//   elemid (in)               element label
//   elemtype (in)             type name of length lelemtype
//   nconnect (in)             number of nodes; above the node slots of elemnodes, or an iele + 1
//                             outside the columns of the tables, records code -3 and changes
//                             nothing
void elementhandling_getabqelementconnectivity(i32* iele, const i32* connectivity,
                                               const i32* elemid, const char* elemtype,
                                               const i32* nconnect, const i32* lelemtype);

// Stores the coordinates of a block of nodes into every element of the loop (the shell set when
// elemindices is allocated, else all) that holds them, at the first slot with the node's label.
//   coordnp(ncoord, nblock) (in)  coordinates
//   nodeid(nblock) (in)           node labels
//   ncoord (in)                   coordinates per node; above 3 (or above the rows of
//                                 nodalcoords) records code -3 and stores nothing
//   nblock (in)                   number of nodes
void GetNodalCoordinates(const double* coordnp, const i32* nodeid, const i32* ncoord,
                         const i32* nblock);

// Stores nodal translations and rotations of a block of nodes, turned into each element's system
// by ShellTractionTransformation with the nodal system tnodalmatrices(:, :, slot, e) (the
// identity at slots above 8) and the element system tcurvmatrices(:, :, e); both are the
// identity while the element has no coordinate system yet (all of them zero). Rows 1-3 of
// nodesmotion take the translation, rows 4..3+min(ndof, 6)-3 the rotation.
//   ntraction(3, nblock) (in)   translations; all three equal to defreal: none given
//   nrotation(ndim, nblock) (in) rotations (components beyond ndim 0); all equal to defreal:
//                               none given; a node with neither is skipped
//   nodeid(nblock) (in)         node labels
//   ndim (in)                   rotation components per node; above 3 records code -3 and
//                               stores nothing
//   nblock (in)                 number of nodes
//   defreal (in, optional)      marker of a value not given; the largest double when absent
// ndof above the rows of nodesmotion records code -3 (the rows there are stored).
void GetNodesMotion(const double* ntraction, const double* nrotation, const i32* nodeid,
                    const i32* ndim, const i32* nblock, const double* defreal);

// Turns one node's translation and rotation: ntrac = tcurv ntrac, nrot = (tcurv ti^T ti buf)
// (1:ndim) with buf the rotation padded to 3 components (ti^T ti is the identity for an
// orthonormal ti).
//   ntrac(3) (in/out)   translation
//   nrot(ndim) (in/out) rotation
//   ti(3,3), tcurv(3,3) (in)  nodal and element systems
//   ndim (in)           above 3 records code -3 and changes nothing
void ShellTractionTransformation(double* ntrac, double* nrot, const double* ti,
                                 const double* tcurv, const i32* ndim);

// Packs nodal motion: u = 0, then u(5(k-1)+1 : 5(k-1)+min(mdof,5)) = nmotion(1:min(mdof,5), k).
//   u(40) (out)                 displacement vector, five values per node
//   nmotion(mdof, inodes) (in)  motion per node
//   inodes (in)                 nodes; above 8 records code -3 and copies the first 8
//   mdof (in)                   values per node
void GetDisplacementVector(double* u, const double* nmotion, const i32* inodes, const i32* mdof);

// Mid-points of the edges of a closed polygon: center(:, i) = (vertices(:, i) + vertices(:, i+1))/2,
// the last edge closing back to vertex 1.
//   center(ndim, npt) (out), vertices(ndim, npt) (in)
//   ndim, npt (in)   npt below 1 records code -3 and writes nothing
void GetCenterNodes(double* center, const double* vertices, const i32* ndim, const i32* npt);

// Coordinates of the nodes of the elements around element elemid (those sharing a node label
// with it; elemid itself only with exflag 1), without repeats (points within tolerance of one
// already collected), in element and slot order. With ntree above 1 the neighbours' neighbours
// are collected behind each neighbour down to ntree levels (at most nelem and 10000), then exact
// repeats are removed and the points packed to the front.
//   nodalpatch(3, npt) (in/out)  filled first with the blank value -1.7976931348623157e308
//                                unless recursion is present and negative
//   nodalcoords(3, nnodes, nelem), elemnodes(nnodes, nelem) (in)  coordinates and labels
//   elemid (in)     centre element; outside 1..nelem records code -3 and changes nothing
//   npt, nnodes, nelem (in)  extents; a patch that would take more than npt points records code
//                   -3 and keeps the points collected so far
//   tolerance (in, optional)  1e-10 when absent
//   exflag (in, optional)     1: the centre element takes part
//   ntree (in, optional)      levels, 1 when absent
//   recursion (in, optional)  negative: nodalpatch is not blanked first
void GetNodalPatch(double* nodalpatch, const double* nodalcoords, const i32* elemnodes,
                   const i32* elemid, const i32* npt, const i32* nnodes, const i32* nelem,
                   const double* tolerance, const i32* exflag, const i32* ntree,
                   const i32* recursion);

// Data at patch points from the reference nodes at their coordinates: patchdata = 0, then
// patchdata(:, i) = refdata(:, j, k) for every reference node within tolerance of patch point i
// (the last match in element and slot order holds).
//   patchdata(ndata, npt) (out)
//   refdata(ndata, nnodes, nelem), patchcoords(ndim, npt), refcoords(ndim, nnodes, nelem) (in)
//   ndata, npt, ndim, nnodes, nelem (in)  extents
//   tolerance (in, optional)  1e-10 when absent
void GetDataFromPatch(double* patchdata, const double* refdata, const double* patchcoords,
                      const double* refcoords, const i32* ndata, const i32* npt, const i32* ndim,
                      const i32* nnodes, const i32* nelem, const double* tolerance);

}  // extern "C"
}  // namespace vorlen::elementhandling
