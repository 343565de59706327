// The box-beam data modules: section, load, report settings and results of the box-beam
// analysis, kept apart from the library's data store. Through them a caller supplies a
// section and reads its results.
//
// Layout for callers outside the library (C, ctypes): every variable is an exported symbol
// <module>_<name>, for instance gurt_ig or quer_ys.
// - int32 scalars: 4 bytes; real64 scalars: 8-byte doubles; logicals: 1 byte, non-zero true.
// - Texts: fixed-length character arrays (path_csinfopath 240 bytes, spanug_kennz 80 bytes)
//   without a terminating zero; a name ends at its first zero byte or before trailing blanks.
// - Allocatable arrays of rank R (vorlen::Alloc<T, R>, 16 + 8 R bytes):
//       offset 0   T*        data    first element, column-major, index (1, ..., 1); null while
//                                    unallocated
//       offset 8   void*     block   the storage (null while unallocated); do not touch
//       offset 16  int64[R]  extents one per dimension (0 while unallocated)
//   Element (i, j) of a rank-2 array is data[(i - 1) + (j - 1) * extents[0]]. Initialize
//   allocates the arrays and may replace them by larger ones (when a capacity grows), so a
//   caller reads the data pointer and extents after Initialize, not before.
// Capacities: maxw, maxg and maxz are the wall, boom and cell capacities of Initialize.
#pragma once
#include "base/alloc.hpp"

extern "C" {
// Module path: report file names (not cleared by Initialize).
extern char path_csinfopath[240];  // report file, appended to on every analysis
extern char path_vbinfopath[240];  // dump file of the extended report

// Module restr: capacities of the latest Initialize (nothing reads them).
extern vorlen::i32 restr_maxgu;  // booms
extern vorlen::i32 restr_maxwa;  // walls
extern vorlen::i32 restr_maxze;  // cells

// Module steuer: report control (input, not cleared by Initialize).
extern vorlen::lgl steuer_druck;  // write the report on unit klog
extern vorlen::lgl steuer_exdru;  // with druck: extended report and dump file on unit 10 klog
extern vorlen::i32 steuer_klog;   // report unit

// Module spanug: section load at the reference origin (input).
extern char spanug_kennz[80];  // a text kept with the load, never read or cleared
extern double spanug_qqx;      // axial force QX (K), positive in tension
extern double spanug_qqy;      // shear force QY along y (K)
extern double spanug_qqz;      // shear force QZ along z (K)
extern double spanug_qmx;      // torque MX about x (K L)
extern double spanug_qmy;      // bending moment MY about y, stretching fibres at z > 0 (K L)
extern double spanug_qmz;      // bending moment MZ about z, stretching fibres at y < 0 (K L)

// Module quer: section results (real64).
extern double quer_ys, quer_zs;                 // stiffness centre (L)
extern double quer_yt, quer_zt;                 // mass centre (L)
extern double quer_ymst, quer_zmst;             // shear centre, principal axes about (ys, zs) (L)
extern double quer_ymstac, quer_zmstac;         // shear centre, reference axes (L)
extern double quer_bx;                          // axial stiffness (K)
extern double quer_alpha;                       // angle of the principal axes (radian)
extern double quer_dyyste, quer_dzzste;         // principal bending stiffnesses DYY*, DZZ* (K L^2)
extern double quer_dyy, quer_dzy, quer_dzz;     // bending stiffnesses about (ys, zs) (K L^2)
extern double quer_dt;                          // torsional stiffness (K L^2), 0 when open
extern double quer_m;                           // mass per unit beam length (M/L)
extern double quer_iyys, quer_izzs, quer_izys;  // mass moments about the shear centre (M L)
extern double quer_itt;                         // polar mass moment about the mass centre (M L)

// Module wand: walls (input). Wall k runs from (yk0, zk0) at boom ig1 to (yklk, zklk) at
// boom ig2; a positive shear flow runs the same way.
extern vorlen::i32 wand_kw;                     // number of walls
extern vorlen::Alloc<vorlen::i32, 1> wand_ig1;  // (maxw) boom at the start
extern vorlen::Alloc<vorlen::i32, 1> wand_ig2;  // (maxw) boom at the end
extern vorlen::Alloc<vorlen::i32, 1> wand_it;   // (maxw) type, printed only
extern vorlen::Alloc<double, 1> wand_yk0;       // (maxw) start point (L)
extern vorlen::Alloc<double, 1> wand_zk0;
extern vorlen::Alloc<double, 1> wand_yklk;  // (maxw) end point (L)
extern vorlen::Alloc<double, 1> wand_zklk;
extern vorlen::Alloc<double, 1> wand_bk;    // (maxw) membrane stiffness per wall length (K/L)
extern vorlen::Alloc<double, 1> wand_gk;    // (maxw) shear stiffness per wall length (K/L)
extern vorlen::Alloc<double, 1> wand_rhok;  // (maxw) mass per wall and beam length (M/L^2)
extern vorlen::Alloc<double, 1> wand_e;     // (maxw) allocated only
extern vorlen::Alloc<double, 1> wand_th;    // (maxw) cleared only

// Module gurt: booms (input).
extern vorlen::i32 gurt_ig;               // number of booms
extern vorlen::Alloc<double, 1> gurt_yi;  // (maxg) position (L)
extern vorlen::Alloc<double, 1> gurt_zi;
extern vorlen::Alloc<double, 1> gurt_bi;   // (maxg) axial stiffness (K)
extern vorlen::Alloc<double, 1> gurt_myi;  // (maxg) mass per beam length (M/L)

// Module zelle: cells (input), closed rings of booms joined by walls.
extern vorlen::i32 zelle_az;                     // number of cells
extern vorlen::Alloc<vorlen::i32, 1> zelle_iak;  // (maxz) booms of each cell
extern vorlen::Alloc<vorlen::i32, 2> zelle_ia;   // (maxg, maxz) ia(j, i): j-th boom of cell i

// Module kraft: wall flows (results, real64).
extern vorlen::Alloc<double, 1> kraft_nx0;   // (maxw) normal flow at s = 0 (K/L)
extern vorlen::Alloc<double, 1> kraft_nxl2;  // (maxw) at s = LK/2
extern vorlen::Alloc<double, 1> kraft_nxl;   // (maxw) at s = LK
extern vorlen::Alloc<double, 1> kraft_t0;    // (2 maxw) shear flow at s = 0 (K/L); entry
                                             // kw + 1: specific twist (1/L) of a closed section
extern vorlen::Alloc<double, 1> kraft_tl2;   // (maxw) shear flow at s = LK/2
extern vorlen::Alloc<double, 1> kraft_tl;    // (maxw) shear flow at s = LK

// Module epigam: strains (results, real64).
extern vorlen::Alloc<double, 2> epigam_epi;    // (maxw, 3) normal strain at s = 0, LK/2, LK
extern vorlen::Alloc<double, 2> epigam_gam;    // (maxw, 3) shear strain at s = 0, LK/2, LK
extern vorlen::Alloc<double, 1> epigam_epigu;  // (maxg) normal strain of each boom
}

namespace vorlen::path {
inline constexpr auto& csinfopath = ::path_csinfopath;
inline constexpr auto& vbinfopath = ::path_vbinfopath;
}  // namespace vorlen::path
namespace vorlen::restr {
inline constexpr auto& maxgu = ::restr_maxgu;
inline constexpr auto& maxwa = ::restr_maxwa;
inline constexpr auto& maxze = ::restr_maxze;
}  // namespace vorlen::restr
namespace vorlen::steuer {
inline constexpr auto& druck = ::steuer_druck;
inline constexpr auto& exdru = ::steuer_exdru;
inline constexpr auto& klog = ::steuer_klog;
}  // namespace vorlen::steuer
namespace vorlen::spanug {
inline constexpr auto& kennz = ::spanug_kennz;
inline constexpr auto& qqx = ::spanug_qqx;
inline constexpr auto& qqy = ::spanug_qqy;
inline constexpr auto& qqz = ::spanug_qqz;
inline constexpr auto& qmx = ::spanug_qmx;
inline constexpr auto& qmy = ::spanug_qmy;
inline constexpr auto& qmz = ::spanug_qmz;
}  // namespace vorlen::spanug
namespace vorlen::quer {
inline constexpr auto& ys = ::quer_ys;
inline constexpr auto& zs = ::quer_zs;
inline constexpr auto& yt = ::quer_yt;
inline constexpr auto& zt = ::quer_zt;
inline constexpr auto& ymst = ::quer_ymst;
inline constexpr auto& zmst = ::quer_zmst;
inline constexpr auto& ymstac = ::quer_ymstac;
inline constexpr auto& zmstac = ::quer_zmstac;
inline constexpr auto& bx = ::quer_bx;
inline constexpr auto& alpha = ::quer_alpha;
inline constexpr auto& dyyste = ::quer_dyyste;
inline constexpr auto& dzzste = ::quer_dzzste;
inline constexpr auto& dyy = ::quer_dyy;
inline constexpr auto& dzy = ::quer_dzy;
inline constexpr auto& dzz = ::quer_dzz;
inline constexpr auto& dt = ::quer_dt;
inline constexpr auto& m = ::quer_m;
inline constexpr auto& iyys = ::quer_iyys;
inline constexpr auto& izzs = ::quer_izzs;
inline constexpr auto& izys = ::quer_izys;
inline constexpr auto& itt = ::quer_itt;
}  // namespace vorlen::quer
namespace vorlen::wand {
inline constexpr auto& kw = ::wand_kw;
inline constexpr auto& ig1 = ::wand_ig1;
inline constexpr auto& ig2 = ::wand_ig2;
inline constexpr auto& it = ::wand_it;
inline constexpr auto& yk0 = ::wand_yk0;
inline constexpr auto& zk0 = ::wand_zk0;
inline constexpr auto& yklk = ::wand_yklk;
inline constexpr auto& zklk = ::wand_zklk;
inline constexpr auto& bk = ::wand_bk;
inline constexpr auto& gk = ::wand_gk;
inline constexpr auto& rhok = ::wand_rhok;
inline constexpr auto& e = ::wand_e;
inline constexpr auto& th = ::wand_th;
}  // namespace vorlen::wand
namespace vorlen::gurt {
inline constexpr auto& ig = ::gurt_ig;
inline constexpr auto& yi = ::gurt_yi;
inline constexpr auto& zi = ::gurt_zi;
inline constexpr auto& bi = ::gurt_bi;
inline constexpr auto& myi = ::gurt_myi;
}  // namespace vorlen::gurt
namespace vorlen::zelle {
inline constexpr auto& az = ::zelle_az;
inline constexpr auto& iak = ::zelle_iak;
inline constexpr auto& ia = ::zelle_ia;
}  // namespace vorlen::zelle
namespace vorlen::kraft {
inline constexpr auto& nx0 = ::kraft_nx0;
inline constexpr auto& nxl2 = ::kraft_nxl2;
inline constexpr auto& nxl = ::kraft_nxl;
inline constexpr auto& t0 = ::kraft_t0;
inline constexpr auto& tl2 = ::kraft_tl2;
inline constexpr auto& tl = ::kraft_tl;
}  // namespace vorlen::kraft
namespace vorlen::epigam {
inline constexpr auto& epi = ::epigam_epi;
inline constexpr auto& gam = ::epigam_gam;
inline constexpr auto& epigu = ::epigam_epigu;
}  // namespace vorlen::epigam
