// Element kinds, registration, nodal coordinates and motion per element, and helpers on nodal
// data.
#include "elements/elementhandling_kinds.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

#include "base/errorhandling.hpp"
#include "base/work.hpp"
#include "core/elementdata.hpp"
#include "core/math_norms.hpp"
#include "core/nodaldata.hpp"
#include "elements/elementhandling_store.hpp"

namespace vorlen::elementhandling {
namespace {

constexpr double kHuge = std::numeric_limits<double>::max();
constexpr double kTolerance = 1e-10;
// Levels of the neighbourhood tree at most, whatever ntree asks: the recursion stays shallow.
constexpr i32 kMaxTree = 10000;

std::string_view text(const char* s, const i32* len) {
    return {s, static_cast<std::size_t>(std::max<i32>(*len, 0))};
}

bool registered(std::string_view name) {
    if (name.empty()) return false;
    if (name[0] == 'S') return true;
    return name[0] == 'C' && name.find("IN") != 1;
}

// The first local slot of element e holding label id, 0 when none does.
i64 slot_of(const View<i32, 2>& labels, i64 ns, i64 e, i32 id) {
    for (i64 l = 1; l <= ns; ++l)
        if (labels(l, e) == id) return l;
    return 0;
}

void transform(double* trac, double* rot, const double* ti, const double* tcurv) {
    const Mat<const double> t(ti, 3, 3), c(tcurv, 3, 3);
    double corr[3][3], tr[3], buf[3];
    for (int i = 1; i <= 3; ++i)
        for (int j = 1; j <= 3; ++j)
            corr[i - 1][j - 1] = t(1, i) * t(1, j) + t(2, i) * t(2, j) + t(3, i) * t(3, j);
    for (int i = 0; i < 3; ++i)
        buf[i] = corr[i][0] * rot[0] + corr[i][1] * rot[1] + corr[i][2] * rot[2];
    for (int i = 1; i <= 3; ++i) tr[i - 1] = c(i, 1) * trac[0] + c(i, 2) * trac[1] + c(i, 3) * trac[2];
    for (int i = 1; i <= 3; ++i) rot[i - 1] = c(i, 1) * buf[0] + c(i, 2) * buf[1] + c(i, 3) * buf[2];
    std::copy_n(tr, 3, trac);
}

struct Patch {
    View<const double, 3> xyz;
    View<const i32, 2> labels;
    i64 nnodes, nelem;
};

bool is_blank(const Mat<double>& p, i64 i) {
    return p(1, i) == -kHuge && p(2, i) == -kHuge && p(3, i) == -kHuge;
}

// Removes exact repeats of earlier points and packs the points to the front; gives their count.
i64 pack(Mat<double>& p) {
    const i64 np = p.extent(2);
    i64 n = 0;
    for (i64 i = 1; i <= np; ++i) {
        if (is_blank(p, i)) continue;
        bool repeat = false;
        for (i64 k = 1; k <= n && !repeat; ++k)
            repeat = p(1, k) == p(1, i) && p(2, k) == p(2, i) && p(3, k) == p(3, i);
        if (repeat) continue;
        ++n;
        for (int r = 1; r <= 3; ++r) p(r, n) = p(r, i);
    }
    for (i64 i = n + 1; i <= np; ++i)
        for (int r = 1; r <= 3; ++r) p(r, i) = -kHuge;
    return n;
}

// The patch around element centre into p; false once it is full (recorded).
bool collect(Mat<double> p, const Patch& m, i64 centre, double tol, bool self, i32 ktree) {
    const i64 np = p.extent(2);
    const i32 three = 3;
    i64 ipt = 0;
    for (i64 v = 1; v <= m.nelem; ++v) {
        if (v == centre && !self) continue;
        bool neighbour = false;
        for (i64 a = 1; a <= m.nnodes && !neighbour; ++a)
            for (i64 b = 1; b <= m.nnodes && !neighbour; ++b)
                neighbour = m.labels(a, centre) == m.labels(b, v);
        if (!neighbour) continue;
        for (i64 k = 1; k <= m.nnodes; ++k) {
            const double* x = &m.xyz(1, k, v);
            ++ipt;
            bool repeat = false;
            for (i64 i = 1; i <= std::min(ipt, np) && !repeat; ++i)
                repeat = math::EuclideanDistance(&p(1, i), x, &three) <= tol;
            if (repeat) {
                --ipt;
                continue;
            }
            if (ipt > np) {
                errorhandling::report(-3, "Patch array full", "GetNodalPatch");
                return false;
            }
            for (int r = 1; r <= 3; ++r) p(r, ipt) = x[r - 1];
        }
        if (ktree > 1) {
            ++ipt;
            if (ipt > np) {
                errorhandling::report(-3, "Patch array full", "GetNodalPatch");
                return false;
            }
            if (!collect(Mat<double>(&p(1, ipt), 3, np - ipt + 1), m, v, kTolerance, false,
                         ktree - 1))
                return false;
            ipt = pack(p);
        }
    }
    return true;
}

}  // namespace

i32 abq_kind(std::string_view name) {
    if (name.empty() || (name[0] != 'S' && name[0] != 'C')) return -1;
    static constexpr std::string_view prefix[] = {"S4",  "S4R", "S4R5", "S8R", "S8R5", "S9R5",
                                                  "S3",  "STRI", "SC6", "SC8", "C3D"};
    i32 kind = 0;
    for (i32 k = 0; k < 11; ++k)
        if (name.substr(0, prefix[k].size()) == prefix[k]) kind = k + 1;
    return kind;
}

extern "C" {

i32 elementhandling_getabqelementkind(const char* elemtype, const i32* lelemtype) {
    return abq_kind(text(elemtype, lelemtype));
}

void elementhandling_getabqelementconnectivity(i32* iele, const i32* connectivity,
                                               const i32* elemid, const char* elemtype,
                                               const i32* nconnect, const i32* lelemtype) {
    using namespace elementdata;
    if (!elemlist.allocated() || !elemkind.allocated() || !elemnodes.allocated()) return;
    const std::string_view name = text(elemtype, lelemtype);
    if (!registered(name)) return;
    static constexpr std::string_view routine = "getabqelementconnectivity";
    const i64 next = i64{*iele} + 1;
    if (next < 1 || next > std::min({elemlist.extent(1), elemkind.extent(1), elemnodes.extent(2)})) {
        errorhandling::report(-3, "Element count outside the element tables", routine);
        return;
    }
    if (*nconnect > elemnodes.extent(1)) {
        errorhandling::report(-3, "Connectivity longer than the node slots", routine);
        return;
    }
    *iele = static_cast<i32>(next);
    elemlist(next) = *elemid;
    elemkind(next) = abq_kind(name);
    for (i64 l = 1; l <= *nconnect; ++l) elemnodes(l, next) = connectivity[l - 1];
}

void GetNodalCoordinates(const double* coordnp, const i32* nodeid, const i32* ncoord,
                         const i32* nblock) {
    static constexpr std::string_view routine = "GetNodalCoordinates";
    const auto& labels = elementdata::elemnodes;
    const auto& coords = nodaldata::nodalcoords;
    if (!labels.allocated() || !coords.allocated() || *nblock < 1) return;
    const i32 nc = std::max<i32>(*ncoord, 0);
    if (nc > 3 || nc > coords.extent(1)) {
        errorhandling::report(-3, "Coordinate count above 3", routine);
        return;
    }
    const i64 ne = store::elements(routine, {labels.extent(2), coords.extent(3)});
    const i64 ns = store::slots(routine, {labels.extent(1), coords.extent(2)});
    const store::Loop loop(ne);
    const Mat<const double> c(coordnp, nc, *nblock);
    const View<i32, 2> lab = labels.view();
    for (i64 j = 1; j <= *nblock; ++j)
        loop.each([&](i64 e) {
            if (const i64 l = slot_of(lab, ns, e, nodeid[j - 1]))
                for (i64 i = 1; i <= nc; ++i) coords(i, l, e) = c(i, j);
        });
}

void GetNodesMotion(const double* ntraction, const double* nrotation, const i32* nodeid,
                    const i32* ndim, const i32* nblock, const double* defreal) {
    static constexpr std::string_view routine = "GetNodesMotion";
    using namespace nodaldata;
    const auto& labels = elementdata::elemnodes;
    if (!labels.allocated() || !nodesmotion.allocated() || !tcurvmatrices.allocated() ||
        !tnodalmatrices.allocated() || *nblock < 1)
        return;
    const i32 nd = std::max<i32>(*ndim, 0);
    if (nd > 3) {
        errorhandling::report(-3, "Rotation count above 3", routine);
        return;
    }
    if (tcurvmatrices.extent(1) < 3 || tcurvmatrices.extent(2) < 3 ||
        tnodalmatrices.extent(1) < 3 || tnodalmatrices.extent(2) < 3) {
        errorhandling::report(-3, "Coordinate systems not 3 by 3", routine);
        return;
    }
    const i64 ne = store::elements(routine, {labels.extent(2), nodesmotion.extent(3),
                                             tcurvmatrices.extent(3), tnodalmatrices.extent(4)});
    const i64 ns = store::slots(routine, {labels.extent(1), nodesmotion.extent(2)});
    const i64 rows = nodesmotion.extent(1);
    if (ndof > rows) errorhandling::report(-3, "Degree-of-freedom count above the motion table",
                                           routine);
    const i64 nlim = std::min<i64>(std::min(ndof, 6), rows) - 3;
    const i64 nsys = std::min<i64>(tnodalmatrices.extent(3), 8);
    const double marker = defreal ? *defreal : kHuge;
    const store::Loop loop(ne);
    const Mat<const double> trac(ntraction, 3, *nblock), rot(nrotation, nd, *nblock);
    const View<i32, 2> lab = labels.view();
    static constexpr double identity[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
    for (i64 j = 1; j <= *nblock; ++j) {
        const bool no_trac = trac(1, j) == marker && trac(2, j) == marker && trac(3, j) == marker;
        bool no_rot = true;
        for (i64 i = 1; i <= nd; ++i) no_rot = no_rot && rot(i, j) == marker;
        if (no_trac && no_rot) continue;
        loop.each([&](i64 e) {
            const i64 l = slot_of(lab, ns, e, nodeid[j - 1]);
            if (l == 0) return;
            // Both systems are the identity while the element has none (all of them zero).
            bool unset = true;
            for (int c = 1; c <= 3; ++c)
                for (int r = 1; r <= 3; ++r) {
                    unset = unset && tcurvmatrices(r, c, e) == 0.0;
                    for (i64 s = 1; s <= nsys; ++s) unset = unset && tnodalmatrices(r, c, s, e) == 0.0;
                }
            double t3[9], c3[9];
            std::copy_n(identity, 9, t3);
            std::copy_n(identity, 9, c3);
            for (int c = 1; c <= 3 && !unset; ++c)
                for (int r = 1; r <= 3; ++r) {
                    c3[r - 1 + 3 * (c - 1)] = tcurvmatrices(r, c, e);
                    if (l <= nsys) t3[r - 1 + 3 * (c - 1)] = tnodalmatrices(r, c, l, e);
                }
            double tv[3] = {trac(1, j), trac(2, j), trac(3, j)}, rv[3] = {0.0, 0.0, 0.0};
            for (i64 i = 1; i <= nd; ++i) rv[i - 1] = rot(i, j);
            transform(tv, rv, t3, c3);
            if (!no_trac)
                for (i64 r = 1; r <= 3 && r <= rows; ++r) nodesmotion(r, l, e) = tv[r - 1];
            if (!no_rot)
                for (i64 r = 1; r <= nlim; ++r) nodesmotion(3 + r, l, e) = rv[r - 1];
        });
    }
}

void ShellTractionTransformation(double* ntrac, double* nrot, const double* ti,
                                 const double* tcurv, const i32* ndim) {
    const i32 nd = std::max<i32>(*ndim, 0);
    if (nd > 3) {
        errorhandling::report(-3, "Rotation count above 3", "ShellTractionTransformation");
        return;
    }
    double t[9], c[9], tv[3] = {ntrac[0], ntrac[1], ntrac[2]}, rv[3] = {0.0, 0.0, 0.0};
    std::copy_n(ti, 9, t);
    std::copy_n(tcurv, 9, c);
    std::copy_n(nrot, nd, rv);
    transform(tv, rv, t, c);
    std::copy_n(tv, 3, ntrac);
    std::copy_n(rv, nd, nrot);
}

void GetDisplacementVector(double* u, const double* nmotion, const i32* inodes, const i32* mdof) {
    i64 nodes = std::max<i32>(*inodes, 0);
    if (nodes > 8) {
        errorhandling::report(-3, "More than 8 nodes", "GetDisplacementVector");
        nodes = 8;
    }
    const i64 md = std::max<i32>(*mdof, 0), nv = std::min<i64>(md, 5);
    const Unaliased<double, 48> in(nmotion, md * nodes, u, 40);
    const Mat<const double> m(in.data(), md, nodes);
    std::fill_n(u, 40, 0.0);
    for (i64 k = 1; k <= nodes; ++k)
        for (i64 i = 1; i <= nv; ++i) u[5 * (k - 1) + i - 1] = m(i, k);
}

void GetCenterNodes(double* center, const double* vertices, const i32* ndim, const i32* npt) {
    if (*npt < 1) {
        errorhandling::report(-3, "No vertex", "GetCenterNodes");
        return;
    }
    const i64 nd = std::max<i32>(*ndim, 0), n = *npt;
    const Unaliased<double, 24> in(vertices, nd * n, center, nd * n);
    const Mat<const double> v(in.data(), nd, n);
    Mat<double> c(center, nd, n);
    for (i64 i = 1; i <= n; ++i) {
        const i64 next = i < n ? i + 1 : 1;
        for (i64 r = 1; r <= nd; ++r) c(r, i) = (v(r, i) + v(r, next)) / 2.0;
    }
}

void GetNodalPatch(double* nodalpatch, const double* nodalcoords, const i32* elemnodes,
                   const i32* elemid, const i32* npt, const i32* nnodes, const i32* nelem,
                   const double* tolerance, const i32* exflag, const i32* ntree,
                   const i32* recursion) {
    const i64 ne = std::max<i32>(*nelem, 0), nn = std::max<i32>(*nnodes, 0);
    if (*elemid < 1 || *elemid > ne) {
        errorhandling::report(-3, "Element outside the table", "GetNodalPatch");
        return;
    }
    Mat<double> p(nodalpatch, 3, std::max<i32>(*npt, 0));
    if (!(recursion && *recursion < 0)) std::fill(p.begin(), p.end(), -kHuge);
    const Patch m{View<const double, 3>(nodalcoords, 3, nn, ne),
                  View<const i32, 2>(elemnodes, nn, ne), nn, ne};
    const i32 levels = std::max(ntree ? *ntree : 1, 1);
    const i32 ktree = static_cast<i32>(std::min<i64>({levels, std::max<i64>(ne, 1), kMaxTree}));
    collect(p, m, *elemid, tolerance ? *tolerance : kTolerance, exflag && *exflag == 1, ktree);
}

void GetDataFromPatch(double* patchdata, const double* refdata, const double* patchcoords,
                      const double* refcoords, const i32* ndata, const i32* npt, const i32* ndim,
                      const i32* nnodes, const i32* nelem, const double* tolerance) {
    const i64 nd = std::max<i32>(*ndata, 0), np = std::max<i32>(*npt, 0);
    const i64 nx = std::max<i32>(*ndim, 0), nn = std::max<i32>(*nnodes, 0);
    const i64 ne = std::max<i32>(*nelem, 0);
    const double tol = tolerance ? *tolerance : kTolerance;
    const Unaliased<double, 64> data(refdata, nd * nn * ne, patchdata, nd * np);
    const Unaliased<double, 64> pc(patchcoords, nx * np, patchdata, nd * np);
    const Unaliased<double, 64> rc(refcoords, nx * nn * ne, patchdata, nd * np);
    const View<const double, 3> ref(data.data(), nd, nn, ne), rx(rc.data(), nx, nn, ne);
    const Mat<const double> px(pc.data(), nx, np);
    Mat<double> out(patchdata, nd, np);
    std::fill(out.begin(), out.end(), 0.0);
    const i32 n = static_cast<i32>(nx);
    for (i64 i = 1; i <= np; ++i)
        for (i64 k = 1; k <= ne; ++k)
            for (i64 j = 1; j <= nn; ++j)
                if (math::EuclideanDistance(&px(1, i), &rx(1, j, k), &n) <= tol)
                    for (i64 r = 1; r <= nd; ++r) out(r, i) = ref(r, j, k);
}

}  // extern "C"
}  // namespace vorlen::elementhandling
