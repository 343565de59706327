// Damage data sets of module damage: whether a point lies in the damage a laminate carries
// (ellipses per ply and mode, or polygons), the seeding of a point's damage flags and of the
// delamination buckling records, and the growth of the damage ellipses by failed points.
#pragma once
#include "base/view.hpp"

namespace vorlen::damage {
extern "C" {

// The sets live in module damagedata: per set i an origin dmgplane(1:3, i) and an in-plane
// angle (the last value of the column before its first -huge, or its last entry), and per ply,
// mode and set the half axes (1:2, ply, i) of generaldds, fiberdds, matrixdds, coredds
// (modes 1, 2, 3, 5) and per interface delamdds (mode 4; row 3 the interface angle). Ply axes
// of a point: the columns x, y of refcos(3,3) turned by the ply orientation
// sectiondata::plyorientation(ilay, isec) (degrees) about refcos(:,3).

// Seeds the damage flags of a point of ply ilay in section isec from every damage set. At the
// first call that finds the buckling records all zero, the interface angles delamdds(3, k, j)
// become the orientation of ply k in section min(j, nsec) and the records of module bukdata
// are computed (GetBukDataFromDDS); no heap is used once they exist.
//   sdv(12) (in/out)  flags (1) general, (2) fibre, (3) matrix, (4) delamination, (5) core,
//                     (6) delamination of a buckling sub-laminate, set to 1 when the point lies
//                     in that damage and never lowered; (7)-(11) untouched; (12) the residual
//                     strength factor, the smallest of its old value and the ratio of every
//                     buckling sub-laminate that holds the point
//   gpcoords(3) (in)  the point
//   refcos(3,3) (in)  reference axes x, y and normal as columns
//   ilay, isec (in)   ply and section
// A set whose origin holds -huge has no position and gives no damage. ilay outside
// 1..sectiondata::nplies, isec outside 1..nsec, section, material or damage tables missing or
// short of these counts or of ndmg record code -3 and leave sdv and every table unchanged;
// ndmg below 1 leaves sdv unchanged.
void GetDamageFromDDS(double* sdv, const double* gpcoords, const double* refcos, const i32* ilay,
                      const i32* isec);

// Whether a point lies in a damage: the polygon of dmgpoints(:, layid, modeid, dmgid) when that
// table is allocated and holds more than 6 values before its first +huge (vertices (x, y, z),
// z unused, in-plane coordinates for the angle dmgangle), else the ellipse with half axes a, b
// in the in-plane coordinates for the angle dmgangle + plyangle.
//   point(3), dmgcos(3,3), dmgorigin(3) (in)  point, damage axes (columns), origin
//   dmgangle, plyangle (in)   angles in degrees
//   a, b (in)                 half axes; a zero half axis contains no point
//   modeid, dmgid, layid (in) mode, set and ply (or interface) of the polygon column; outside
//                             the extents of an allocated dmgpoints: code -3 and false
//   skip (in)                 true: false without a test
lgl PointInDamage(const double* point, const double* dmgcos, const double* dmgorigin,
                  const double* dmgangle, const double* plyangle, const double* a,
                  const double* b, const i32* modeid, const i32* dmgid, const i32* layid,
                  const lgl* skip);

// Grows the ellipses of set idmg so that they reach a failed point of ply ilay in section isec:
// for every mode m with sdv(m) >= 1, the half axes of ply ilay (of interface ilay for mode 4,
// only when ilay < nplies) by damage_getextentofprojecteddamage in the ply axes (the third the
// vector product of the two turned axes) and theta the ply orientation. Without the tables
// (damagedata::damagedds unallocated) they are created by datahandling::allocatedamagedata.
//   ierror (out)       status of that allocation, 0 otherwise
//   sdv(5) (in)        flags of modes 1 to 5
//   gpcoords(3), refcoords(3) (in)  the point and the origin of the set
//   refcos(3,3) (in)   reference axes
//   ilay, isec, idmg (in)  ply, section and set
// ilay, isec or idmg outside their counts, or section or damage tables short of them, record
// code -3 and leave the tables unchanged; tables of these counts that cannot be had record -3
// "Damage tables beyond memory in UpdateDDS" (datahandling::try_allocatedamagedata; none grows).
void UpdateDDS(i32* ierror, const double* sdv, const double* gpcoords, const double* refcoords,
               const double* refcos, const i32* ilay, const i32* isec, const i32* idmg);

// Grows half axes to the in-plane coordinates of a point.
//   halfaxis(2) (in/out)  max(halfaxis(1), |x|), max(halfaxis(2), |y|) with (x, y) the point
//                         in the plane of refcos(:,1:2) at refcoords turned by theta; unchanged
//                         when mdmg is below 1 (or NaN)
//   gpcoords(3), refcoords(3), refcos(3,3) (in)  point, origin, axes (columns)
//   theta (in)            angle in degrees
//   mdmg (in)             failure flag of the mode
void damage_getextentofprojecteddamage(double* halfaxis, const double* gpcoords,
                                       const double* refcoords, const double* refcos,
                                       const double* theta, const double* mdmg);

}  // extern "C"
}  // namespace vorlen::damage
