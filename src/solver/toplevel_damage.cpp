// Damage field variables: one material point's damage record, criteria and field outputs, and
// the USDFLD and VUSDFLD entries.
#include "solver/toplevel_damage.hpp"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string_view>

#include "base/errorhandling.hpp"
#include "base/work.hpp"
#include "core/elementdata.hpp"
#include "core/jobdata.hpp"
#include "core/loaddata.hpp"
#include "core/materialdata.hpp"
#include "core/nodaldata.hpp"
#include "core/sectiondata.hpp"
#include "core/signalprocessing.hpp"
#include "core/stringhandling.hpp"
#include "core/utility_search.hpp"
#include "elements/elementhandling_conversions.hpp"
#include "elements/elementhandling_reference.hpp"
#include "elements/elementhandling_shell.hpp"
#include "failure/damage_dds.hpp"
#include "failure/damage_dispatch.hpp"
#include "failure/degradation_models.hpp"
#include "io/iohandling_primitives.hpp"
#include "materials/interaction.hpp"
#include "materials/lamina_notation.hpp"
#include "materials/lamina_rotated.hpp"
#include "solver/toplevel_steps.hpp"

namespace vorlen::toplevel {
namespace {

constexpr double kPi = 3.141592653589793;
constexpr i32 kRecord = 40;  // values of the damage record
constexpr i32 kNameLength = 80;
// Damage limits when the material gives none: general, fibre, matrix, delamination, core,
// buckling for tension, then the same for compression.
constexpr double kDefaultLimits[12] = {0.999, 0.999, 0.995, 0.7, 0.999, 0.999,
                                       0.999, 0.97,  0.995, 0.7, 0.999, 0.999};
constexpr std::string_view kRoutine = "gen_damage";

void report(std::string_view problem) { errorhandling::report(-3, problem, kRoutine); }

// int() of a stored real, toward zero; not a number or outside the 32-bit range gives 0.
i32 to_index(double x) {
    if (!(x > -2147483649.0 && x < 2147483648.0)) return 0;
    return static_cast<i32>(x);
}

// Whether a store table is allocated and holds the 1-based position (e...).
template <class T, int R, class... E>
bool holds(const Alloc<T, R>& a, E... e) {
    static_assert(sizeof...(E) == R, "one index per dimension");
    const i64 pos[] = {static_cast<i64>(e)...};
    if (!a.allocated()) return false;
    for (int d = 0; d < R; ++d)
        if (pos[d] < 1 || pos[d] > a.ext[d]) return false;
    return true;
}

// Whether a store table is allocated with exactly the leading extents and at least the last.
template <class T, int R, class... E>
bool shaped(const Alloc<T, R>& a, E... e) {
    static_assert(sizeof...(E) == R, "one extent per dimension");
    const i64 ext[] = {static_cast<i64>(e)...};
    if (!a.allocated()) return false;
    for (int d = 0; d < R - 1; ++d)
        if (a.ext[d] != ext[d]) return false;
    return a.ext[R - 1] >= ext[R - 1];
}

bool any_nonzero(const double* v, i64 n) {
    return std::any_of(v, v + n, [](double x) { return x != 0.0; });
}

// Position of the element label among the elements of the store, -1 when absent.
i32 element_index(i32 noel) {
    const auto& list = elementdata::elemlist;
    const i32 n =
        list.allocated() ? static_cast<i32>(std::min<i64>(elementdata::nelem, list.ext[0])) : 0;
    return utility::iFindLocation(&noel, list.data, &n, nullptr);
}

// Rows 1..rows of the first temperature block of a per-ply table (rows per temperature
// = first extent / ntempdata) of ply ilay in section isec; rows it does not have are 0.
void first_block(double* out, i32 rows, const Alloc<double, 3>& a, i32 ilay, i32 isec) {
    const i64 nt = std::max<i64>(materialdata::ntempdata, 1);
    const i64 block = a.ext[0] / nt > 0 ? a.ext[0] / nt : a.ext[0];
    const i64 n = std::min<i64>(rows, block);
    for (i32 k = 0; k < rows; ++k) out[k] = k < n ? a(k + 1, ilay, isec) : 0.0;
}

// Section stress column; false (and a report) when the table does not hold it.
bool stress_column(double* out, const Alloc<double, 4>& a, i64 col, i32 npt, i32 ielem) {
    if (!shaped(a, 6, a.ext[1], a.ext[2], a.ext[3]) || !holds(a, 6, col, npt, ielem)) {
        report("Point outside the section stress table");
        return false;
    }
    std::copy_n(&a(1, col, npt, ielem), 6, out);
    return true;
}

// Whether the tables that the transverse stress recovery of an element reads have the shapes
// it assumes.
bool shell_tables_fit(i32 nsec, i32 nplies) {
    using namespace sectiondata;
    const i64 nelem = elementdata::nelem;
    const auto& motion = nodaldata::nodesmotion;
    const i64 nz = tnormalstress.ext[0], nip = tshearstress.ext[0];
    return nplies >= 1 && nsec >= 1 && motion.allocated() && shaped(tnormalstress, nz, nelem) &&
           shaped(tshearstress, nip, 2, 4, nelem) &&
           shaped(nodaldata::nodalcoords, 3, motion.ext[1], nelem) && motion.ext[2] >= nelem &&
           shaped(sestress, 6, nip, sestress.ext[2], nelem) && shaped(sehmatrix, 2, 2, nsec) &&
           shaped(sefmatrix, nz, 4, nsec) && shaped(plyorientation, nplies, nsec) &&
           shaped(plythickness, nplies, nsec) && shaped(plyzcoord, nz, nsec) &&
           materialdata::peprops.ext[0] >= 9 &&
           shaped(materialdata::peprops, materialdata::peprops.ext[0], nplies, nsec) &&
           shaped(nsectionpoints, nelem) && shaped(elementdata::elemcurvatures, 2, nelem) &&
           shaped(elementdata::elemkind, nelem) && shaped(materialdata::matidlist, nplies, nsec);
}

// Steps 4 and 6: ply and section of a fresh record, and the start values.
void start_record(double* s, const char* cmname, i32 layer, i32 nfield, double celent) {
    const i32 nplies = sectiondata::nplies;
    if (s[21] == 0.0 || s[22] == 0.0) {
        s[22] = 1.0;
        const i32 one = 1;
        s[21] = signalprocessing::iLimit(&layer, &one, &nplies);
        const char blank[kNameLength + 1] = {};
        const char* name = cmname ? cmname : blank;
        const i32 full = cmname ? kNameLength : 0;
        const i32 ls = static_cast<i32>(stringhandling::len_trim(std::string_view(name, full)));
        const i32 g = iohandling::iohandling_getxidfromstring(name, &ls, "l", nullptr, &full);
        if (g > 0) s[21] = std::max<double>(s[21], g);
        const i32 h = iohandling::iohandling_getxidfromstring(name, &ls, "s", nullptr, &full);
        if (h > 0) {
            const auto& ids = sectiondata::secidlist;
            const i32 n = ids.allocated()
                              ? static_cast<i32>(std::min<i64>(sectiondata::nsec, ids.ext[0]))
                              : 0;
            s[22] = utility::iFindLocation(&h, ids.data, &n, nullptr);
        }
    }
    if (nfield > 6 && (s[27] == 0.0 || s[28] == 0.0 || s[29] == 0.0 || s[30] == 0.0))
        std::fill(s + 27, s + 31, -1.0);
    if (s[24] == 0.0 && s[25] == 0.0) s[24] = s[25] = -1.0;
    if (s[35] == 0.0) s[35] = celent;
    if (s[18] == 0.0 && s[19] == 0.0 && s[20] == 0.0) s[18] = s[19] = s[20] = 1.0;
}

// Whether the material and section tables the evaluation reads hold ply ilay of section isec.
bool ply_in_tables(i32 ilay, i32 isec) {
    using namespace materialdata;
    return holds(pfflags, 5, ilay, isec) && holds(peflags, 5, ilay, isec) &&
           holds(pelimits, 12, ilay, isec) && holds(peprops, 1, ilay, isec) &&
           holds(psprops, 1, ilay, isec) && holds(sectiondata::seflags, 2, isec);
}

// Step 8: contact bookkeeping and reference orientation in the first increment of step 1.
void first_increment(const double* x, const double* dc, const double* lengths, const double* t,
                     i32 noel, i32 npt, i32 ispt, i32 ilay, i32 isec, bool ply_ok, bool step_ok) {
    const auto& dprops = loaddata::dprops;
    if (ilay == 1 && dprops.allocated()) {
        const i32 nimp = loaddata::nimp;
        if (dprops.ext[0] != 12 || dprops.ext[1] < nimp) {
            report("Impactor records short of nimp");
        } else {
            interaction::ContactArea(dprops.data, x, &noel, &nimp, lengths);
        }
    }
    if (npt != 1 || !ply_ok || !step_ok) return;
    i32 first = 0;
    step_of(1, first);
    if (elementdata::nelem != 0 && first != 0) return;
    const auto& orient = sectiondata::plyorientation;
    if (!orient.allocated()) return;
    // Without a second step the point's section pairs are collected as for a later step that
    // does not count its own.
    i32 nextid = 0;
    step_of(2, nextid);
    const i32 ind = 1, np = static_cast<i32>(orient.ext[0]), ns = static_cast<i32>(orient.ext[1]);
    i32 istatus = 0;
    elementhandling::GetElementRefOrientation(&istatus, &ind, t, dc, orient.data, &noel, &ispt,
                                              &ilay, &isec, &np, &ns, &nextid);
}

// What step 12a finds of the point's place in the section.
struct Place {
    i32 ielem = 0, ikind = 0;
    bool column = false;     // izsxx lies in the section stress table
    bool interface = false;  // a ply top below the top ply
    i64 izsxx = 0;
    double lower[6] = {}, upper[6] = {};  // stresses of the plies below and above an interface
};

// Step 12a: section and transverse stresses of the point into slots 1-6.
Place section_stresses(double* s, i32 noel, i32 npt, i32 layer, i32 ispt, i32 ilay, i32 isec) {
    using namespace sectiondata;
    Place pl;
    const i32 nelem = elementdata::nelem;
    i32 ielem = to_index(s[23]);
    if (ielem > nelem) ielem = 0;  // a stale index is looked up again
    if (ielem <= 0) {
        ielem = element_index(noel);
        s[23] = ielem;
    }
    if (ielem < 1) return pl;
    pl.ielem = ielem;
    pl.ikind = holds(elementdata::elemkind, ielem) ? elementdata::elemkind(ielem) : 0;
    const i32 ikind = pl.ikind;
    const i32 nplies = sectiondata::nplies, nsec = sectiondata::nsec;
    if (ikind >= 1 && ikind <= 8 && ikind != 6 && ikind != 7 && tnormalstress.allocated()) {
        if (!shell_tables_fit(nsec, nplies)) {
            report("Element tables short of the element");
        } else {
            const auto& motion = nodaldata::nodesmotion;
            const i32 itnsflag = seflags(1, isec), itshrflag = seflags(2, isec);
            const i32 nz = static_cast<i32>(tnormalstress.ext[0]);
            const i32 nip = static_cast<i32>(tshearstress.ext[0]);
            const i32 ndof = static_cast<i32>(motion.ext[0]), nn = static_cast<i32>(motion.ext[1]);
            const i32 nsept = static_cast<i32>(sestress.ext[2]);
            // The recovery reads the nine elastic constants of the section's plies, (9, nplies,
            // nsec): with temperature blocks the first block of each ply.
            const double* plyelastic = materialdata::peprops.data;
            Work<double, 9 * 64> firstblocks(
                materialdata::peprops.ext[0] == 9 ? 0 : 9 * i64(nplies) * nsec);
            if (materialdata::peprops.ext[0] != 9) {
                for (i32 j = 1; j <= nplies; ++j)
                    first_block(&firstblocks[9 * (j - 1 + i64(nplies) * (isec - 1))], 9,
                                materialdata::peprops, j, isec);
                plyelastic = firstblocks.data();
            }
            elementhandling::GetShellTransverseStresses(
                tnormalstress.data, tshearstress.data, nodaldata::nodalcoords.data, motion.data,
                sestress.data, sehmatrix.data, sefmatrix.data, plyorientation.data,
                plythickness.data, plyzcoord.data, plyelastic, nsectionpoints.data,
                elementdata::elemcurvatures.data, elementdata::elemkind.data,
                materialdata::matidlist.data, &ielem, &npt, &isec, &itnsflag, &itshrflag, &nplies,
                &nsec, &nz, &nip, &ndof, &nn, &nelem, &nsept);
        }
    }
    const i32 n = holds(nsectionpoints, ielem) ? nsectionpoints(ielem) : 0;
    if (n < 1) {
        report("Section point count below 1");
        return pl;
    }
    const i32 q = n / ispt, r = n % ispt;
    i64 iz;
    if (q == 1 && r == 0) {
        iz = 2 * i64(ilay) + 1;
        pl.interface = ilay != nplies;
    } else if (q == 1) {
        iz = 2 * i64(ilay);
    } else if (q == n && r == 0) {
        iz = 2 * i64(ilay) - 1;
    } else {
        iz = 2 * i64(ilay);
    }
    pl.izsxx = (i64(std::max(layer, 1)) - 1) * n + ispt;
    // Any column outside a table: slots 1-6 stay as they are and no interface is evaluated.
    double ply[6] = {};
    double* lower = pl.lower;
    double* upper = pl.upper;
    const i64 il = i64(ilay) * n - n / 2, iu = il + n;
    if (sestress.allocated()) {
        const bool ok = stress_column(ply, sestress, pl.izsxx, npt, ielem) &&
                        (!pl.interface || (stress_column(lower, sestress, il, npt, ielem) &&
                                           stress_column(upper, sestress, iu, npt, ielem)));
        if (!ok) {
            pl.interface = false;
            return pl;
        }
        pl.column = true;
    }
    if (ikind <= 8) {
        const auto& tn = tnormalstress;
        if (holds(tn, 1, ielem) && any_nonzero(&tn(1, ielem), tn.ext[0])) {
            if ((pl.interface ? 2 * i64(ilay) + 2 : iz) > tn.ext[0]) {
                report("Point outside the section stress table");
                pl.interface = false;
                return pl;
            }
            ply[2] = tn(iz, ielem);
            if (pl.interface)
                lower[2] = tn(2 * i64(ilay), ielem), upper[2] = tn(2 * i64(ilay) + 2, ielem);
        }
        const auto& ts = tshearstress;
        if (holds(ts, 1, 2, npt, ielem)) {
            const i64 last = pl.interface ? std::max(pl.izsxx, iu) : pl.izsxx;
            // Column 2 of the shear store feeds s13, column 1 feeds s23.
            for (const auto& [c, k] : {std::pair{2, 4}, std::pair{1, 5}}) {
                if (!any_nonzero(&ts(1, c, npt, ielem), ts.ext[0])) continue;
                if (last > ts.ext[0]) {
                    report("Point outside the section stress table");
                    pl.interface = false;
                    return pl;
                }
                ply[k] = ts(pl.izsxx, c, npt, ielem);
                if (pl.interface)
                    lower[k] = ts(il, c, npt, ielem), upper[k] = ts(iu, c, npt, ielem);
            }
        }
    }
    if (any_nonzero(ply, 6)) std::copy_n(ply, 6, s + 1);
    return pl;
}

// The plies a dispatcher reads (ilay, and ilay + 1 below the top ply) as tables of their own:
// the first temperature block of the constants and strengths, orientation and thickness.
struct PlyWindow {
    double pe[9 * 2] = {}, ps[10 * 2] = {}, orient[2] = {}, thick[2] = {};
    i32 nw = 1;
    PlyWindow(i32 ilay, i32 isec) {
        using namespace sectiondata;
        nw = ilay < nplies && holds(materialdata::peprops, 1, ilay + 1, isec) &&
                     holds(materialdata::psprops, 1, ilay + 1, isec)
                 ? 2
                 : 1;
        for (i32 w = 0; w < nw; ++w) {
            first_block(pe + 9 * w, 9, materialdata::peprops, ilay + w, isec);
            first_block(ps + 10 * w, 10, materialdata::psprops, ilay + w, isec);
            if (holds(plyorientation, ilay + w, isec)) orient[w] = plyorientation(ilay + w, isec);
            if (holds(plythickness, ilay + w, isec)) thick[w] = plythickness(ilay + w, isec);
        }
    }
};

// Step 12g: fracture-plane damage of the matrix, or 0 where none runs.
double fracture_plane_damage(double* s, const double* tab, bool istable, const Place& pl, i32 npt,
                             i32 ilay, i32 isec) {
    using namespace sectiondata;
    const auto& lengths = elementdata::elemlength;
    double d = 0.0;
    double props[5] = {s[25]};
    for (i32 k = 2; k <= 5; ++k) props[k - 1] = materialdata::pfprops(k, ilay, isec);
    const i32 mode = 3, nsdv = 4, nprops = 5, one = 1;
    if (sestrain.allocated() && lengths.allocated()) {
        double sv[6], ev[6];
        if (!pl.column || !holds(lengths, 3, pl.ielem)) {
            report("Element tables short of the element");
            return 0.0;
        }
        if (!stress_column(sv, sestress, pl.izsxx, npt, pl.ielem) ||
            !stress_column(ev, sestrain, pl.izsxx, npt, pl.ielem))
            return 0.0;
        lamina::FlipVoigtNyeNotation(sv, sv, &one, &one);
        lamina::FlipVoigtNyeNotation(ev, ev, &one, &one);
        degradation::BogenfeldDegradation(&d, s + 27, sv, ev, &lengths(1, pl.ielem), props, &mode,
                                          &nsdv, &nprops);
    } else if (istable) {
        degradation::BogenfeldDegradation(&d, s + 27, tab + 1, tab + 7, tab + 13, props, &mode,
                                          &nsdv, &nprops);
    }
    return d;
}

// Step 12: criteria, flags, fracture angle, brick lengths, field outputs and residual factors.
void evaluate(double* s, double* field, const double* dc, const double* tab, bool istable,
              i32 nfield, double celent, i32 noel, i32 npt, i32 layer, i32 ispt, i32 ilay,
              i32 isec) {
    using namespace materialdata;
    Place pl;
    if (sectiondata::nsectionpoints.allocated())
        pl = section_stresses(s, noel, npt, layer, ispt, ilay, isec);
    const PlyWindow w(ilay, isec);
    const i32 one = 1;
    const double* stress = s + 1;
    double fgf, rgf, ffb, rfb, fmc, rmc, fcc, rcc, fdel = 0.0, rdel = 0.0;
    const i32 gpflag = pfflags(1, ilay, isec), fbflag = pfflags(2, ilay, isec),
              mcflag = pfflags(3, ilay, isec), delflag = pfflags(4, ilay, isec),
              ccflag = pfflags(5, ilay, isec);
    damage::damage_generalfailure(&fgf, &rgf, stress, w.ps, w.orient, &one, &w.nw, &one, &one,
                                  &gpflag);
    damage::damage_fiberbreakage(&ffb, &rfb, stress, w.pe, w.ps, w.orient, &one, &w.nw, &one, &one,
                                 &fbflag);
    // The criterion parameters of the ply are one contiguous column of pdprops.
    const bool haspd = holds(pdprops, 1, ilay, isec);
    const i32 ndprops = haspd ? static_cast<i32>(pdprops.ext[0]) : 0;
    const double nopd = 0.0;
    const double* pd = haspd ? &pdprops(1, ilay, isec) : &nopd;
    double fracangle = -1.0;
    damage::MatrixCracking(&fmc, &rmc, stress, w.pe, w.ps, pd, w.orient, &one, &w.nw, &one, &one,
                           &ndprops, &mcflag, &fracangle, nullptr);
    damage::damage_corecrushing(&fcc, &rcc, stress, w.ps, w.orient, &one, &w.nw, &one, &one,
                                &ccflag);
    if (pl.interface && w.nw == 2)
        damage::damage_delamination(&fdel, &rdel, &s[3], pl.lower, pl.upper, w.pe, w.ps, w.orient,
                                    w.thick, &one, &w.nw, &one, &one, &delflag);
    s[7] = std::max(fgf, s[7]);
    s[8] = std::max(ffb, s[8]);
    s[9] = std::max(fmc, s[9]);
    s[10] = std::max(fdel, s[10]);
    s[11] = std::max(fcc, s[11]);
    s[12] = std::max(0.0, s[12]);
    s[13] = rgf, s[14] = rfb, s[15] = rmc, s[16] = rdel, s[17] = rcc;
    if (s[24] == -1.0 && s[25] == -1.0 && s[9] == 1.0 && fracangle != -1.0) {
        s[24] = fracangle;
        const lgl clockwise = 1;
        lamina::GetPhiMeasuredFromXZPlane(&s[25], &s[24], &clockwise);
    }
    s[26] = 4.0 * 10.0 * s[9] + 4.0 * s[10] + 4.0 * 100.0 * s[8];
    const auto& lengths = elementdata::elemlength;
    if (pl.ielem >= 1 && (pl.ikind == 10 || pl.ikind == 11) && lengths.allocated()) {
        if (!holds(lengths, 3, pl.ielem) ||
            !shaped(nodaldata::nodalcoords, 3, nodaldata::nodalcoords.ext[1], pl.ielem) ||
            nodaldata::nodalcoords.ext[1] < 8) {
            report("Element tables short of the element");
        } else {
            double* len = &lengths(1, pl.ielem);
            if ((len[0] == -1.0 && len[1] == -1.0 && len[2] == -1.0) || s[35] != celent)
                elementhandling::GetHex8ElemLength(len, dc,
                                                   &nodaldata::nodalcoords(1, 1, pl.ielem));
        }
    }
    double dlim3 = kDefaultLimits[2];
    if (std::none_of(&pelimits(1, ilay, isec), &pelimits(1, ilay, isec) + 12,
                     [](double v) { return v == -1.0; }))
        dlim3 = pelimits(3, ilay, isec);
    double d = 0.0;
    if (nfield > 4) {
        for (i32 k = 1; k <= 5; ++k) field[k - 1] = peflags(k, ilay, isec) == 0 ? 0.0 : s[6 + k];
        if (nfield > 6 && peflags(3, ilay, isec) == 2 && holds(pfprops, 5, ilay, isec) &&
            s[25] != -1.0) {
            d = fracture_plane_damage(s, tab, istable, pl, npt, ilay, isec);
            const double zero = 0.0;
            field[5] = s[25] / kPi;
            field[6] = std::max(field[6], signalprocessing::fLimit(&d, &zero, &dlim3));
        }
    }
    const double zero = 0.0;
    s[18] = std::min(s[18], 1.0);
    s[19] = std::min(s[19], 1.0);
    s[20] = std::min(s[20], 1.0 - signalprocessing::fLimit(&d, &zero, &dlim3));
}

// Step 15: the point record's stress into its section stress column.
void store_point_stress(const double* s, const double* tab, i32 npt, i32 layer, i32 ispt) {
    using namespace sectiondata;
    const i32 e = to_index(s[23]);
    if (!sestress.allocated() || e < 1) return;
    i64 c = 1;
    if (nsectionpoints.allocated()) {
        const i32 n = holds(nsectionpoints, e) ? nsectionpoints(e) : 0;
        if (n < 1) {
            report("Section point count below 1");
            return;
        }
        c = (i64(std::max(layer, 1)) - 1) * n + ispt;
    }
    if (!shaped(sestress, 6, sestress.ext[1], sestress.ext[2], sestress.ext[3]) ||
        !holds(sestress, 6, c, npt, e)) {
        report("Point outside the section stress table");
        return;
    }
    const i32 one = 1;
    lamina::FlipVoigtNyeNotation(&sestress(1, c, npt, e), tab + 1, &one, &one);
}

void damage_point(double* field, double* statev, const double* tdirect, const double* t,
                  double celent, const char* cmname, i32 nfield, i32 nstatv, i32 noel, i32 npt,
                  i32 layer, i32 kspt, i32 kstep, i32 kinc, const double* coord,
                  const double* table) {
    if (nstatv < kRecord) return;
    // Local copies of the record and of every input the outputs may share storage with.
    double s[kRecord + 1], dc[9], x[3], tab[16] = {};
    const bool istable =
        table && std::any_of(table, table + 16, [](double v) { return v != -1.0; });
    double* tail = statev + (nstatv - kRecord);
    std::copy_n(tail, kRecord, s + 1);
    std::copy_n(tdirect, 9, dc);
    std::copy_n(coord, 3, x);
    if (istable) std::copy_n(table, 16, tab);
    const i32 one = 1;
    if (istable) lamina::FlipVoigtNyeNotation(s + 1, tab + 1, &one, &one);
    start_record(s, cmname, layer, nfield, celent);
    if (nfield > 4) std::fill(field, field + nfield, 0.0);
    const i32 ispt = std::max(kspt, 1), ilay = to_index(s[21]), isec = to_index(s[22]);
    const bool ply_ok =
        ilay >= 1 && ilay <= sectiondata::nplies && isec >= 1 && isec <= sectiondata::nsec;
    if (!ply_ok) report("Ply or section outside the data tables");
    i32 type = 0;
    const bool step_ok = step_of(kstep, type) == Step::held;
    if (!step_ok) report("Step outside the step table");
    if (kstep == 1 && kinc == 1)
        first_increment(x, dc, istable ? tab + 13 : nullptr, t, noel, npt, ispt, ilay, isec, ply_ok,
                        step_ok);
    const auto& nsp = sectiondata::nsectionpoints;
    if (step_ok && kinc == 1 && npt == 1 && (type == 2 || type == -1) && elementdata::nelem != 0 &&
        nsp.allocated()) {
        const i32 e = element_index(noel);
        if (holds(nsp, e)) nsp(e) = std::max(nsp(e), ispt);
    }
    if (step_ok && ply_ok) {
        if (type == 0 || type == 5) damage::GetDamageFromDDS(s + 7, x, dc, &ilay, &isec);
        if (kstep > 1 && (type == 1 || type == 3 || type == -1)) {
            if (ply_in_tables(ilay, isec))
                evaluate(s, field, dc, tab, istable, nfield, celent, noel, npt, layer, ispt, ilay,
                         isec);
            else
                report("Ply or section outside the data tables");
        }
        if (kstep > 1 && (type == 4 || type == -1) &&
            std::any_of(s + 7, s + 12, [](double f) { return f >= 1.0; })) {
            const double origin[3] = {};
            const i32 idmg = 1;
            i32 ierror = 0;
            damage::UpdateDDS(&ierror, s + 7, x, origin, dc, &ilay, &isec, &idmg);
        }
    }
    std::copy_n(s + 1, kRecord, tail);
    if (istable) store_point_stress(s, tab, npt, layer, ispt);
}

// kinc of the explicit entry: ceiling(steptime / dt - eps), 0 when it is not a number.
i32 explicit_increment(double steptime, double dt) {
    if (dt == 0.0) return 0;
    const double k = std::ceil(steptime / dt - 2.220446049250313e-16);
    if (!(k > -2147483648.0)) return k < 0.0 ? -2147483647 - 1 : 0;
    return k >= 2147483647.0 ? 2147483647 : static_cast<i32>(k);
}

}  // namespace

extern "C" {

void toplevel_gen_damage(double* field, double* statev, const double* tdirect, const double* t,
                         const double* celent, const double* time, const double* dtime,
                         const char* cmname, const i32* nfield, const i32* nstatv, const i32* noel,
                         const i32* npt, const i32* layer, const i32* kspt, const i32* kstep,
                         const i32* kinc, const double* coord, const double* table) {
    (void)time, (void)dtime;
    try {
        damage_point(field, statev, tdirect, t, *celent, cmname, *nfield, *nstatv, *noel, *npt,
                     *layer, *kspt, *kstep, *kinc, coord, table);
    } catch (...) {
        report("Unexpected failure");
    }
}

void toplevel_usdfld_dmg(double* field, double* statev, double* pnewdt, const double* tdirect,
                         const double* t, const double* celent, const double* time,
                         const double* dtime, const char* cmname, const char* orname,
                         const i32* nfield, const i32* nstatv, const i32* noel, const i32* npt,
                         const i32* layer, const i32* kspt, const i32* kstep, const i32* kinc,
                         const i32* ndi, const i32* nshr, const double* coord, const i32* jmac,
                         const i32* jmatyp, const i32* matlayo, const i32* laccfla,
                         const i32* threadid) {
    (void)pnewdt, (void)orname, (void)ndi, (void)nshr, (void)jmac, (void)jmatyp, (void)matlayo,
        (void)laccfla, (void)threadid;
    toplevel_gen_damage(field, statev, tdirect, t, celent, time, dtime, cmname, nfield, nstatv,
                        noel, npt, layer, kspt, kstep, kinc, coord, nullptr);
}

void toplevel_vusdfld_dmg(const i32* nblock, const i32* nstatev, const i32* nfieldv,
                          const i32* nprops, const i32* ndir, const i32* nshr, const i32* jelem,
                          const i32* kintpt, const i32* klayer, const i32* ksecpt, const i32* kstep,
                          const double* temp, const double* steptime, const double* totaltime,
                          const double* dt, const char* cmname, const double* coordmp,
                          const double* tdirect, const double* t, const double* charlength,
                          const double* props, const double* stateold, const double* stressold,
                          const double* strainold, double* statenew, double* field,
                          const i32* threadid) {
    (void)nprops, (void)props, (void)threadid;
    try {
        const i64 nb = *nblock, nst = *nstatev, nf = std::max(*nfieldv, 0);
        if (nb < 1 || nst < 1) return;
        std::memmove(statenew, stateold, sizeof(double) * nb * nst);
        // Negative counts do not describe the stress and strain blocks (a sum of them may):
        // the state is carried over and neither block is read.
        const i64 nd = *ndir, ns = *nshr;
        if (nd < 0 || ns < 0) {
            errorhandling::report(-3, "Unsupported components", "vusdfld_dmg");
            return;
        }
        if (nst < kRecord) return;  // no damage record: the rows stay as they are
        const i32 kinc = explicit_increment(*steptime, *dt);
        const Mat<const double> sig(stressold, nb, nd + ns), eps(strainold, nb, nd + ns);
        const Mat<const double> xyz(coordmp, nb, 3), len(charlength, nb, 3);
        const View<const double, 3> dir(tdirect, nb, 3, 3), tt(t, nb, 3, 3);
        Mat<double> state(statenew, nb, nst), fv(field, nb, nf);
        // The record is the row's last 40 values and FIELD beyond 7 is only cleared, so the
        // point works on fixed-size copies of them.
        const i32 nrec = kRecord, nfk = static_cast<i32>(std::min<i64>(nf, 8));
        const double time[2] = {*steptime, *totaltime};
        for (i64 k = 1; k <= nb; ++k) {
            double rec[kRecord], fk[8] = {}, dk[9], tk[9], xk[3], table[16];
            double solver[6] = {};  // 11, 22, 33, 12, 23, 13
            const i32 one = 1, cyclic = 1;
            table[0] = temp[k - 1];
            for (const auto& [m, off] : {std::pair{&sig, 1}, std::pair{&eps, 7}}) {
                std::fill_n(solver, 6, 0.0);
                for (i64 i = 1; i <= std::min<i64>(nd, 3); ++i) solver[i - 1] = (*m)(k, i);
                for (i64 j = 1; j <= std::min<i64>(ns, 3); ++j) solver[2 + j] = (*m)(k, nd + j);
                lamina::FlipVoigtCyclicNotation(table + off, solver, &one, &cyclic, &one);
            }
            for (i32 i = 1; i <= 3; ++i) {
                xk[i - 1] = xyz(k, i);
                table[12 + i] = len(k, i);
                for (i32 j = 1; j <= 3; ++j)
                    dk[i - 1 + 3 * (j - 1)] = dir(k, i, j), tk[i - 1 + 3 * (j - 1)] = tt(k, i, j);
            }
            for (i32 i = 1; i <= kRecord; ++i) rec[i - 1] = state(k, nst - kRecord + i);
            for (i32 i = 1; i <= nfk; ++i) fk[i - 1] = fv(k, i);
            const double celent = len(k, 1);
            const i32 noel = jelem[k - 1];
            toplevel_gen_damage(fk, rec, dk, tk, &celent, time, dt, cmname, &nfk, &nrec, &noel,
                                kintpt, klayer, ksecpt, kstep, &kinc, xk, table);
            for (i32 i = 1; i <= kRecord; ++i) state(k, nst - kRecord + i) = rec[i - 1];
            if (nf > 4)
                for (i64 i = 1; i <= nf; ++i) fv(k, i) = i <= nfk ? fk[i - 1] : 0.0;
        }
    } catch (...) {
        report("Unexpected failure");
    }
}

}  // extern "C"
}  // namespace vorlen::toplevel
