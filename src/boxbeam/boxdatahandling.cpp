#include "boxbeam/boxdatahandling.hpp"

#include <algorithm>
#include <array>

#include "boxbeam/boxbeamdata.hpp"

namespace vorlen::boxdatahandling {
namespace {

template <class A>
void allocate(A& a, const std::array<i64, A::rank>& e) {
    if (!a.allocated()) a.allocate(e);
}

// Enlarges a to at least the extents e, keeping its elements in their places.
template <class A>
void enlarge(A& a, const std::array<i64, A::rank>& e) {
    constexpr int R = A::rank;
    std::array<i64, R> want;
    bool grows = false;
    for (int d = 0; d < R; ++d) {
        want[d] = std::max(a.ext[d], e[d]);
        grows |= want[d] > a.ext[d];
    }
    if (!grows) return;
    A b;
    b.allocate(want);
    if constexpr (R == 1) {
        std::copy(a.begin(), a.end(), b.begin());
    } else {
        for (i64 j = 1; j <= a.ext[1]; ++j)
            for (i64 i = 1; i <= a.ext[0]; ++i) b(i, j) = a(i, j);
    }
    std::swap(a.data, b.data);
    std::swap(a.blk, b.blk);
    for (int d = 0; d < R; ++d) std::swap(a.ext[d], b.ext[d]);
    b.release();
}

template <class A, class... More>
void enlarge_all(const std::array<i64, A::rank>& e, A& a, More&... more) {
    enlarge(a, e);
    (enlarge(more, e), ...);
}

}  // namespace

extern "C" {

void AllocateWallData(i32* istat, const i32* maxw) {
    *istat = 0;
    const std::array<i64, 1> n{*maxw};
    allocate(wand::ig1, n), allocate(wand::ig2, n), allocate(wand::it, n);
    for (auto* a : {&wand::yk0, &wand::zk0, &wand::yklk, &wand::zklk, &wand::bk, &wand::gk,
                    &wand::rhok, &wand::e, &wand::th})
        allocate(*a, n);
}

void AllocateCapData(i32* istat, const i32* maxg) {
    *istat = 0;
    for (auto* a : {&gurt::yi, &gurt::bi, &gurt::zi, &gurt::myi}) allocate(*a, {*maxg});
}

void AllocateCellData(i32* istat, const i32* maxz, const i32* maxg) {
    *istat = 0;
    allocate(zelle::iak, {*maxz});
    allocate(zelle::ia, {*maxg, *maxz});
}

void AllocateForceData(i32* istat, const i32* maxw) {
    *istat = 0;
    allocate(kraft::nx0, {*maxw}), allocate(kraft::nxl2, {*maxw}), allocate(kraft::nxl, {*maxw});
    allocate(kraft::t0, {2 * static_cast<i64>(*maxw)});
    allocate(kraft::tl, {*maxw}), allocate(kraft::tl2, {*maxw});
}

void AllocateEpigamData(i32* istat, const i32* maxw, const i32* maxg) {
    *istat = 0;
    allocate(epigam::epi, {*maxw, 3}), allocate(epigam::gam, {*maxw, 3});
    allocate(epigam::epigu, {*maxg});
}

void AllocAll(i32* istat, const i32* maxw, const i32* maxg, const i32* maxz) {
    *istat = 0;
    AllocateWallData(istat, maxw);
    AllocateCapData(istat, maxg);
    AllocateCellData(istat, maxz, maxg);
    AllocateForceData(istat, maxw);
    AllocateEpigamData(istat, maxw, maxg);
}

void Initialize(const i32* nw_, const i32* ng_, const i32* nz_) {
    const i32 nw = nw_ ? *nw_ : 100, ng = ng_ ? *ng_ : 100, nz = nz_ ? *nz_ : 100;
    i32 istat;
    AllocAll(&istat, &nw, &ng, &nz);
    // A capacity beyond that of the first call enlarges the arrays it sizes.
    const i64 w = std::max(nw, 0), g = std::max(ng, 0), z = std::max(nz, 0);
    enlarge_all<Alloc<i32, 1>>({w}, wand::ig1, wand::ig2, wand::it);
    enlarge_all<Alloc<double, 1>>({w}, wand::yk0, wand::zk0, wand::yklk, wand::zklk, wand::bk,
                                  wand::gk, wand::rhok, wand::e, wand::th, kraft::nx0, kraft::nxl2,
                                  kraft::nxl, kraft::tl, kraft::tl2);
    enlarge(kraft::t0, {2 * w});
    enlarge_all<Alloc<double, 2>>({w, 3}, epigam::epi, epigam::gam);
    enlarge_all<Alloc<double, 1>>({g}, gurt::yi, gurt::bi, gurt::zi, gurt::myi, epigam::epigu);
    enlarge(zelle::iak, {z});
    enlarge(zelle::ia, {g, z});

    restr::maxgu = ng, restr::maxwa = nw, restr::maxze = nz;
    gurt::ig = wand::kw = zelle::az = 0;
    for (double* q :
         {&quer::ys,     &quer::zs,     &quer::yt,   &quer::zt,    &quer::ymst,   &quer::zmst,
          &quer::ymstac, &quer::zmstac, &quer::bx,   &quer::alpha, &quer::dyyste, &quer::dzzste,
          &quer::dyy,    &quer::dzy,    &quer::dzz,  &quer::dt,    &quer::m,      &quer::iyys,
          &quer::izzs,   &quer::izys,   &quer::itt,  &spanug::qqx, &spanug::qqy,  &spanug::qqz,
          &spanug::qmx,  &spanug::qmy,  &spanug::qmz})
        *q = 0.0;
    for (i64 i = 1; i <= z; ++i) zelle::iak(i) = 0;
    for (i64 j = 1; j <= w; ++j) {
        for (auto* a :
             {&wand::yk0, &wand::zk0, &wand::yklk, &wand::zklk, &wand::bk, &wand::gk, &wand::rhok,
              &wand::th, &kraft::nx0, &kraft::nxl2, &kraft::nxl, &kraft::tl2, &kraft::tl})
            (*a)(j) = 0.0;
        wand::ig1(j) = wand::ig2(j) = wand::it(j) = 0;
        for (int c = 1; c <= 3; ++c) epigam::epi(j, c) = epigam::gam(j, c) = 0.0;
    }
    for (i64 k = 1; k <= 2 * w; ++k) kraft::t0(k) = 0.0;
    for (i64 l = 1; l <= g; ++l)
        gurt::yi(l) = gurt::zi(l) = gurt::bi(l) = gurt::myi(l) = epigam::epigu(l) = 0.0;
    for (i64 i = 1; i <= z; ++i)
        for (i64 j = 1; j <= g; ++j) zelle::ia(j, i) = 0;
}
}

}  // namespace vorlen::boxdatahandling
