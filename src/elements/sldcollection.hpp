// Impact loads of module sldcollection: the concentrated, edge and distributed loads that the
// impactors of an impact analysis put on the struck structure, the pressure shapes of the
// distributed load, and the two tabular amplitude functions of the solver-side layer. Not part
// of the Python interface.
//
// Impactor records cprops(20, nimp): slot 1 contact force, 2 contact radius, 18 half edge length.
// Load records dprops(12, nimp): slot 1 shape id (2 uniform, 3 pyramidal, 4 parabolic,
// 5 Hertzian, 6 automatic, 8 cosine; others load nothing), 2-4 impact point, 5 nearest element
// label, 6 smallest and 7 largest distance met, 8-9 near and 10-11 far half lengths of the loaded
// rectangle. Step types of jobdata::stepid: 0 initialization, 1 fatigue, 2 structural response,
// 3 impact. Load names are 80 characters; keywords count wherever they stand. Per load point: no
// allocation.
#pragma once
#include "base/view.hpp"

namespace vorlen::sldcollection {
extern "C" {

// Concentrated load of an impactor.
//   f (out)          force: cforce/2.5e-7 for the id -1, or the id 1 with cforce >= 0; else 0.
//                    Halved once for each of "SYMX", "SYMY", "SYM2" in the name, quartered
//                    for "SYM4"
//   ldflag (in/out)  load shape id; entering as 0 it is taken from the keywords "POINT" 1,
//                    "UNIFORM" 2, "PYRAMIDAL" 3, "PARABOLIC" 4, "HERTZIAN" 5, "AUTOMATIC" 6,
//                    "SINE" 7, "COSINE" 8, "EDGE" 9 tested in this order (the last found
//                    wins); none: code -2 "Warning: No valid load state detected in %S" (the
//                    identifier LDFLAG in the report's character codes), f = 0
//   cforce (in)      contact force
//   sname (in)       load name, 80 characters
void sldcollection_cload(double* f, double* ldflag, const double* cforce, const char* sname);

// Edge load of the impactors named by number in the load name.
//   alpha (out)      sum over the matching impactors j of cprops(1,j)/(2 cprops(18,j)), each
//                    contribution halved when the name holds "SYMX", "SYMY" or "SYM2". An
//                    impactor matches when its number equals a whole run of digits in the name
//                    (the digits of "SYM2" and "SYM4" do not count). A half edge length not
//                    above 0 records code -3 "Half edge length not above 0 in deload" and the
//                    impactor contributes nothing; so does a contribution that would make alpha
//                    inf or not a number (a force not a number or inf, a subnormal half
//                    length): code -3 "Edge load not finite in deload"
//   t_user(3) (out)  -dircos(:,3), components of magnitude at most 1e-10 set to 0
//   kstep, kinc, time(2), noel, npt, coords(3), jltyp, dprops (in)  accepted, not used
//   dircos(3,3) (in) direction cosines of the loaded surface, column 3 its normal
//   sname (in)       load name, 80 characters
//   cprops(20,nimp) (in)  impactor records
//   dprops(12,nimp) (in)  load records
//   nimp (in)        number of impactors (below 0 counts as 0)
void sldcollection_deload(double* alpha, double* t_user, const i32* kstep, const i32* kinc,
                          const double* time, const i32* noel, const i32* npt,
                          const double* coords, const double* dircos, const i32* jltyp,
                          const char* sname, const double* cprops, const double* dprops,
                          const i32* nimp);

// Distributed load at one load point. In-plane coordinates (r, s) of the point relative to the
// impact point in the plane of dircos; d their length. Unset slots 5-7 of each load record are
// filled; in step types 0, 2 and 3 a point at least as near as slot 6 becomes the nearest point
// (slots 5-9), a point of the nearest element farther than slot 7 (or while 6 equals 7) the
// farthest (slots 7, 10, 11). In step types 2 and 3 an impactor with a non-zero force adds the
// pressure of its shape: uniform, pyramidal, parabolic and cosine inside the rectangle of half
// sides rL = slot 8 + 10, sL = slot 9 + 11 (nothing while either is 0), Hertzian inside the
// contact radius a = cprops(2) when a > slot 6, automatic Hertzian when a >= d and a > max(rL,
// sL), else parabolic inside the rectangle. Continuum shells and solids (kinds 9-11 of a
// registered label) take the negated sum.
//   alpha (out)      traction magnitude
//   t_user(3) (out)  dircos(:,3) reflected in the plane of dircos(:,1:2), components of
//                    magnitude at most 1e-10 set to 0
//   kstep (in)       step, indexing jobdata::stepid; outside the table (or no table): code -3
//                    "Step outside the step table in dsload", alpha 0, records unchanged
//   coords(3) (in)   load point
//   dircos(3,3) (in) in-plane directions (columns 1, 2) and normal (column 3). Where the point,
//                    the directions and an impact point give no finite distance d (a value
//                    inf or not a number, in-plane directions in line): code -3 "Distance to
//                    the impact point not finite in dsload", that impactor's records unchanged
//                    and no load of it
//   cprops(20,nimp) (in)      impactor records
//   dprops(12,nimp) (in/out)  load records
//   nimp (in)        number of impactors (below 0 counts as 0)
//   elemid (in, optional)  element label of the point, 0 when absent
void sldcollection_dsload(double* alpha, double* t_user, const i32* kstep, const double* coords,
                          const double* dircos, const double* cprops, double* dprops,
                          const i32* nimp, const i32* elemid);

// Pressure shapes at (r, s) for the force f about (r0, s0); rL, sL the half sides of the loaded
// rectangle, a, b the semi-axes of the contact ellipse.
// 0.25 f/(rL sL).
double UniformSurfaceLoad(const double* f, const double* relementlength,
                          const double* selementlength);
// f/(rL sL) (rL - |r - r0|)/rL (sL - |s - s0|)/sL.
double PyramidalSurfaceLoad(const double* f, const double* rcorr, const double* scorr,
                            const double* r0, const double* s0, const double* relementlength,
                            const double* selementlength);
// 3 f/(8 rL sL) (1 - (r - r0)^2/(rL^2 + rL sL) - (s - s0)^2/(sL^2 + rL sL)).
double ParabolicSurfaceLoad(const double* f, const double* rcorr, const double* scorr,
                            const double* r0, const double* s0, const double* relementlength,
                            const double* selementlength);
// 3 f/(2 pi a b) sqrt(1 - (r - r0)^2/a^2 - (s - s0)^2/b^2), the radicand taken as 0 where it
// is negative (outside the ellipse).
double HertzianSurfaceLoad(const double* f, const double* rcorr, const double* scorr,
                           const double* r0, const double* s0, const double* rcontradius,
                           const double* scontradius);
// f/(rL sL) cos(pi (r - r0)/rL) cos(pi (s - s0)/sL).
double CosineSurfaceLoad(const double* f, const double* rcorr, const double* scorr,
                         const double* r0, const double* s0, const double* relementlength,
                         const double* selementlength);
// f/(rL sL) sin(pi (r - r0)/rL) sin(pi (s - s0)/sL); the distributed load applies no sine shape.
double SineSurfaceLoad(const double* f, const double* rcorr, const double* scorr,
                       const double* r0, const double* s0, const double* relementlength,
                       const double* selementlength);

// Amplitude from a table: the monotone cubic Hermite interpolation of the ordinates
// xydata(n+1:2n) over the abscissae xydata(1:n), n = ndata/2, extrapolated beyond them.
//   amp (out)        amplitude; 0 when skipped or refused
//   xydata(ndata) (in)  all abscissae, then all ordinates
//   xvalue (in)      abscissa of the amplitude
//   ndata (in)       odd: code -2 "Warning: Mismatch between x- and y-values in %S" (the
//                    identifier VRL_AMPL in the report's character codes); fewer than two rows
//                    or abscissae not rising: code -3 "Table of fewer than two rows or not
//                    rising in CAMPLITUDE"
//   skip (in, optional)  true: nothing is evaluated
void CAMPLITUDE(double* amp, const double* xydata, const double* xvalue, const i32* ndata,
                const lgl* skip);

// Amplitude from a table of a loading branch (abscissae rising to a turning point) and an
// unloading branch (falling again). passed holds the largest xvalue reached while loading, or
// the largest double once unloading has begun: an xvalue below passed switches to unloading for
// good. The branch is the first 1 + (number of rises) rows of the table, read backwards while
// unloading; xvalue is clamped to its abscissae and the ordinates interpolated (monotone cubic
// Hermite).
//   amp (out)        amplitude; 0 when skipped or refused
//   passed (in/out)  state of the branch
//   xydata(ndata), xvalue, ndata, skip (in)  as CAMPLITUDE (identifier VRL_HYST); an odd ndata
//                    or a table of fewer than two rows leaves passed unchanged; a branch of
//                    fewer than two rows or not rising records code -3 "Branch of fewer than two
//                    rows or not rising in CHYSTERESIS"; an xvalue inf or not a number, or a
//                    passed not a number, records code -3 "Abscissa not finite or state not a
//                    number in CHYSTERESIS" and leaves passed unchanged
void CHYSTERESIS(double* amp, double* passed, const double* xydata, const double* xvalue,
                 const i32* ndata, const lgl* skip);

}  // extern "C"
}  // namespace vorlen::sldcollection
