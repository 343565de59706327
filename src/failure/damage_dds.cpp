// Damage data sets: point tests, seeding of a point's damage flags, growth of the ellipses.
#include "failure/damage_dds.hpp"

#include <algorithm>
#include <cmath>
#include <limits>

#include "base/errorhandling.hpp"
#include "base/work.hpp"
#include "core/bukdata.hpp"
#include "core/damagedata.hpp"
#include "core/datahandling.hpp"
#include "core/imageprocessing.hpp"
#include "core/materialdata.hpp"
#include "core/math_geometry.hpp"
#include "core/math_products.hpp"
#include "core/sectiondata.hpp"
#include "failure/sublaminate.hpp"

namespace vorlen::damage {
namespace {

constexpr double kHuge = std::numeric_limits<double>::max();
constexpr i32 kNoPly = 2147483647;  // a ply slot that a section does not have
// Polygons of up to this many vertices are tested from the stack.
constexpr std::size_t kPolygonVertices = 1024;

// Whether a table is allocated with at least the given extents.
template <class T, int R, class... E>
bool holds(const Alloc<T, R>& t, E... e) {
    static_assert(sizeof...(E) == R, "one extent per dimension");
    const i64 need[] = {static_cast<i64>(e)...};
    if (!t.allocated()) return false;
    for (int d = 0; d < R; ++d)
        if (t.ext[d] < need[d]) return false;
    return true;
}
// The same for a table that may be left unallocated.
template <class T, int R, class... E>
bool absent_or_holds(const Alloc<T, R>& t, E... e) {
    return !t.allocated() || holds(t, e...);
}

template <class T, int R>
View<const T, R> cview(const Alloc<T, R>& a) {
    View<const T, R> v;
    v.p = a.data;
    for (int d = 0; d < R; ++d) v.n[d] = a.ext[d];
    return v;
}

// The x, y columns of refcos turned by angle degrees about refcos(:,3); the third axis is
// refcos(:,3), or the vector product of the turned two.
void ply_axes(double* axes, const double* refcos, double angle, bool cross) {
    math::CoordinateRotation(refcos + 6, refcos, axes, &angle);
    math::CoordinateRotation(refcos + 6, refcos + 3, axes + 3, &angle);
    if (cross)
        math::CrossProduct(axes, axes + 3, axes + 6);
    else
        std::copy_n(refcos + 6, 3, axes + 6);
}

// Origin and in-plane angle of set i (dmgplane holds at least 3 rows and i columns): the angle
// is the last value before the first -huge, or the last entry. False when the origin holds
// -huge (no position given).
bool set_position(i32 i, const double*& origin, double& angle) {
    const auto& plane = damagedata::dmgplane;
    const i64 n = plane.extent(1);
    const double* c = &plane(1, i);
    const i64 p = std::find(c, c + n, -kHuge) - c;  // 0-based position of the first -huge
    if (p < 3) return false;
    origin = c;
    angle = c[p - 1];
    return true;
}

// The polygon of the first nv vertices (x, y, z) of column c.
lgl in_polygon(const double* point, const double* c, i32 nv, const double* angle,
               const double* origin, const double* axes) {
    Work<double, 2 * kPolygonVertices> xy(2 * i64(nv));
    for (i32 k = 0; k < nv; ++k) {
        xy[k] = c[3 * k];
        xy[nv + k] = c[3 * k + 1];
    }
    return imageprocessing::ProjectedPointInPolygon(point, xy.data(), angle, origin, axes, &nv);
}

[[gnu::cold]] void out_of_tables(const char* routine) {
    errorhandling::report(-3, "Ply, section or damage set outside the data tables", routine);
}

// Computes the buckling records of every section and set, after the interface angles of set j
// are taken from section min(j, nsec).
void seed_buckling_records(i32 np, i32 ns, i32 nd) {
    using namespace damagedata;
    const auto& angles = sectiondata::plyorientation;
    for (i32 j = 1; j <= nd; ++j)
        for (i32 k = 1; k <= np - 1; ++k) delamdds(3, k, j) = angles(k, std::min(j, ns));
    Work<i32, 256> shape(i64(np - 1) * nd);
    std::fill_n(shape.data(), i64(np - 1) * nd, 1);  // ellipses
    sublaminate::bukdata_from_dds(
        bukdata::bukrealdatalist.view(), bukdata::bukintdatalist.view(), cview(delamdds),
        View<const i32, 2>(shape.data(), np - 1, nd), cview(sectiondata::xcstrength),
        cview(materialdata::peprops), cview(angles), cview(sectiondata::plythickness),
        cview(materialdata::matidlist), nd, np, ns, kNoPly);
}

}  // namespace

extern "C" {

lgl PointInDamage(const double* point, const double* dmgcos, const double* dmgorigin,
                  const double* dmgangle, const double* plyangle, const double* a,
                  const double* b, const i32* modeid, const i32* dmgid, const i32* layid,
                  const lgl* skip) {
    if (*skip) return 0;
    const auto& points = damagedata::dmgpoints;
    if (points.allocated()) {
        if (*layid < 1 || *layid > points.ext[1] || *modeid < 1 || *modeid > points.ext[2] ||
            *dmgid < 1 || *dmgid > points.ext[3]) {
            errorhandling::report(-3, "Mode, set or layer outside the polygon table",
                                  "PointInDamage");
            return 0;
        }
        const i64 n = points.ext[0];
        const double* c = &points(1, *layid, *modeid, *dmgid);
        const i64 p = std::find(c, c + n, kHuge) - c + 1;  // n + 1 without +huge
        if (p > 6)
            return in_polygon(point, c, static_cast<i32>((p - 1) / 3), dmgangle, dmgorigin,
                              dmgcos);
    }
    const double theta = *dmgangle + *plyangle;
    const i32 ellipse = 1;
    return imageprocessing::ProjectedPointInShape(point, a, b, &theta, dmgorigin, dmgcos,
                                                  &ellipse);
}

void damage_getextentofprojecteddamage(double* halfaxis, const double* gpcoords,
                                       const double* refcoords, const double* refcos,
                                       const double* theta, const double* mdmg) {
    if (!(*mdmg >= 1.0)) return;
    double xy[2];
    imageprocessing::GetPointOnXYPlane(xy, gpcoords, refcoords, refcos, theta);
    halfaxis[0] = std::max(halfaxis[0], std::abs(xy[0]));
    halfaxis[1] = std::max(halfaxis[1], std::abs(xy[1]));
}

void UpdateDDS(i32* ierror, const double* sdv, const double* gpcoords, const double* refcoords,
               const double* refcos, const i32* ilay, const i32* isec, const i32* idmg) {
    using namespace damagedata;
    // Inputs copied first: ierror and the tables grown may share storage with them.
    double flags[5], gp[3], ref[3], cosines[9];
    std::copy_n(sdv, 5, flags);
    std::copy_n(gpcoords, 3, gp);
    std::copy_n(refcoords, 3, ref);
    std::copy_n(refcos, 9, cosines);
    i32 lay = *ilay, sec = *isec, set = *idmg, np = sectiondata::nplies, ns = sectiondata::nsec;
    i32 status = 0;
    const auto& angles = sectiondata::plyorientation;
    const i32 nsets = damagedds.allocated() ? ndmg : std::max(ndmg, 1);
    if (lay < 1 || lay > np || sec < 1 || sec > ns || set < 1 || set > nsets ||
        !holds(angles, np, ns)) {
        *ierror = 0;
        return out_of_tables("UpdateDDS");
    }
    // the counts come from the cards: tables beyond memory are refused, not the process ended
    if (!damagedds.allocated() && !datahandling::try_allocatedamagedata(np, ns, ndmg)) {
        *ierror = 0;
        errorhandling::report(-3, "Damage tables beyond memory", "UpdateDDS");
        return;
    }
    const i32 nd = ndmg;
    if (!absent_or_holds(generaldds, 2, np, nd) || !absent_or_holds(fiberdds, 2, np, nd) ||
        !absent_or_holds(matrixdds, 2, np, nd) || !absent_or_holds(coredds, 2, np, nd) ||
        !absent_or_holds(delamdds, 2, std::max(np - 1, 1), nd)) {
        *ierror = status;
        return out_of_tables("UpdateDDS");
    }
    const double theta = angles(lay, sec);
    double axes[9];
    ply_axes(axes, cosines, theta, true);
    auto grow = [&](Alloc<double, 3>& table, i32 column, int mode) {
        if (table.allocated())
            damage_getextentofprojecteddamage(&table(1, column, set), gp, ref, axes, &theta,
                                              &flags[mode - 1]);
    };
    grow(generaldds, lay, 1);
    grow(fiberdds, lay, 2);
    grow(matrixdds, lay, 3);
    if (lay < np) grow(delamdds, lay, 4);
    grow(coredds, lay, 5);
    *ierror = status;
}

void GetDamageFromDDS(double* sdv, const double* gpcoords, const double* refcos, const i32* ilay,
                      const i32* isec) {
    using namespace damagedata;
    using bukdata::bukintdatalist, bukdata::bukrealdatalist;
    const i32 nd = ndmg, np = sectiondata::nplies, ns = sectiondata::nsec, lay = *ilay,
              sec = *isec;
    if (nd < 1) return;
    const auto& angles = sectiondata::plyorientation;
    const i32 ni = std::max(np - 1, 1);
    const bool delam = delamdds.allocated();
    bool fits = lay >= 1 && lay <= np && sec >= 1 && sec <= ns && holds(angles, np, ns) &&
                holds(dmgplane, 3, nd) && absent_or_holds(generaldds, 2, np, nd) &&
                absent_or_holds(fiberdds, 2, np, nd) && absent_or_holds(matrixdds, 2, np, nd) &&
                absent_or_holds(coredds, 2, np, nd) && absent_or_holds(dmgpoints, 0, np, 5, nd);
    if (fits && delam)
        fits = holds(delamdds, 3, ni, nd) && holds(bukintdatalist, 4, ni, nd, ns) &&
               holds(bukrealdatalist, 12, ni, nd, ns);
    // The buckling records are computed while they are all zero.
    const bool analyse = fits && delam && np > 1 &&
                         std::all_of(bukrealdatalist.begin(), bukrealdatalist.end(),
                                     [](double x) { return x == 0.0; });
    if (analyse)
        fits = holds(materialdata::matidlist, np, ns) && holds(materialdata::peprops, 9, np, ns) &&
               holds(sectiondata::plythickness, np, ns) && holds(sectiondata::xcstrength, ns);
    if (!fits) return out_of_tables("GetDamageFromDDS");
    if (analyse) seed_buckling_records(np, ns, nd);

    const double plyangle = angles(lay, sec);
    double axes[9];
    ply_axes(axes, refcos, plyangle, false);
    double flag[6];
    std::copy_n(sdv, 6, flag);
    double rbuk = sdv[11];
    for (i32 i = 1; i <= nd; ++i) {
        const double* origin;
        double angle;
        if (!set_position(i, origin, angle)) continue;
        auto hit = [&](const Alloc<double, 3>& table, i32 mode, i32 column, double ply) {
            const double* h = &table(1, column, i);
            const lgl noskip = 0;
            return PointInDamage(gpcoords, axes, origin, &angle, &ply, h, h + 1, &mode, &i,
                                 &column, &noskip) != 0;
        };
        if (generaldds.allocated() && hit(generaldds, 1, lay, plyangle)) flag[0] = 1.0;
        if (fiberdds.allocated() && hit(fiberdds, 2, lay, plyangle)) flag[1] = 1.0;
        if (matrixdds.allocated() && hit(matrixdds, 3, lay, plyangle)) flag[2] = 1.0;
        if (delam && np > 1) {
            // Only the interface above the point's ply reports its own delamination.
            if (lay < np && hit(delamdds, 4, lay, plyangle)) flag[3] = 1.0;
            for (i32 k = 1; k <= np - 1; ++k) {
                const i32 g = bukintdatalist(1, k, i, sec), f = bukintdatalist(2, k, i, sec),
                          l = bukintdatalist(3, k, i, sec);
                // Unused columns (0) and sections without plies (-1) hold no sub-laminate.
                if (g < 1 || g > np - 1 || f < 1 || l > np || lay < f || lay > l) continue;
                if (hit(delamdds, 4, g, angles(g, sec))) {
                    flag[5] = 1.0;
                    rbuk = std::min(rbuk, bukrealdatalist(2, k, i, sec));
                }
            }
        }
        if (coredds.allocated() && hit(coredds, 5, lay, plyangle)) flag[4] = 1.0;
    }
    for (int m = 0; m < 6; ++m) sdv[m] = std::max(sdv[m], flag[m]);
    sdv[11] = std::min(rbuk, sdv[11]);
}

}  // extern "C"
}  // namespace vorlen::damage
