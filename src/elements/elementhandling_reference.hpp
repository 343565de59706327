// Reference orientations of module elementhandling: the orientation of ply 1 collected per
// element during the first increment into the growable lists of a handle, and its conversion
// into the per-element tables elementdata::elemreforientation(7, nelem) and
// sectiondata::nsectionpoints(nelem) with the shell index map elementdata::elemindices.
//
// Lists of handle ind: integer list the element labels in the order first met (unique), real
// list the 7 values of each such element in the same order, complex list the unique pairs
// (label, section point). Record of an element: (1) angle in degrees from the projection of the
// global X axis on the shell plane to the fibre direction of ply 1, (2:4) that projection and
// (5:7) normal x projection, both turned about the normal by minus that angle.
#pragma once
#include "base/view.hpp"

namespace vorlen::elementhandling {
extern "C" {

// Collects the reference orientation and section point at one integration point.
//   istatus (out)      result of the last list append: 1 added, 0 present already; 0 when
//                      nothing was appended
//   ind (in)           list handle
//   t(3,3) (in)        not used
//   tdirect(3,3) (in)  direction cosines of the point: columns local 1, local 2, normal
//   plyorientation(nplies, nsec) (in)  ply angles in degrees
//   noel, kspt (in)    element label and section point
//   layid (in)         layer; at 1 the label is appended once and, when new, its record
//   secid (in)         section; outside 1..nsec (or nplies below 1) records code -3 and
//                      appends nothing
//   nplies, nsec (in)  extents of plyorientation
//   nextid (in)        step type of the next step; unless -1 or 2 the pair (noel, kspt) is
//                      appended
void GetElementRefOrientation(i32* istatus, const i32* ind, const double* t,
                              const double* tdirect, const double* plyorientation,
                              const i32* noel, const i32* kspt, const i32* layid,
                              const i32* secid, const i32* nplies, const i32* nsec,
                              const i32* nextid);

// Angle in degrees from the projection of the global X axis on the plane of tdirect(:,1:2) to
// rm, signed by (projected X x projected Y) . (projected X x rm), a -0.0 counting as negative.
//   rm(3) (in), tdirect(3,3) (in)
double GetABQElementOrientation(const double* rm, const double* tdirect);

// Turns the lists of handle ind into elemreforientation (-1.0 where none was collected) and
// nsectionpoints (-1 everywhere when no collected label is an element, else 1 raised to the
// largest section point of each element), builds elemindices when it is not allocated (freed
// again when every element is a shell), and frees the three lists.
//   nshell (out)   shells of the map built here, 0 when it existed already
//   ierror (out)   status of the last list operation: -1 a copy found its list missing and no
//                  list was freed after it, 0 after a release
//   ind (in)       list handle
// A real list shorter than 7 values per label records code -3; the complete records are stored.
void GetElementReferenceData(i32* nshell, i32* ierror, const i32* ind);

}  // extern "C"
}  // namespace vorlen::elementhandling
