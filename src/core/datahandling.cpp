#include "core/datahandling.hpp"

#include <algorithm>
#include <array>

#include "core/bukdata.hpp"
#include "core/damagedata.hpp"
#include "core/elementdata.hpp"
#include "core/impactdata.hpp"
#include "core/jobdata.hpp"
#include "core/loaddata.hpp"
#include "core/materialdata.hpp"
#include "core/nodaldata.hpp"
#include "core/sectiondata.hpp"
#include "core/shokriehdata.hpp"

using namespace vorlen;

namespace {

template <class A, class... E>
void allocate_if_unallocated(A& a, E... ext) {
    if (!a.allocated()) a.allocate({static_cast<i64>(ext)...});
}

}  // namespace

extern "C" void datahandling_allocateelementdata(i32* istat, const i32* knodes, const i32* kelem) {
    *istat = 0;
    allocate_if_unallocated(elementdata::elemlist, *kelem);
    allocate_if_unallocated(elementdata::elemkind, *kelem);
    allocate_if_unallocated(elementdata::elemnodes, *knodes, *kelem);
    allocate_if_unallocated(elementdata::elemcurvatures, 2, *kelem);
    allocate_if_unallocated(elementdata::elemreforientation, 7, *kelem);
    allocate_if_unallocated(sectiondata::nsectionpoints, *kelem);
}

extern "C" void datahandling_allocatenodaldata(i32* istat, const i32* kdof, const i32* knodes,
                                               const i32* kelem) {
    *istat = 0;
    allocate_if_unallocated(nodaldata::nodesmotion, *kdof, *knodes, *kelem);
    allocate_if_unallocated(nodaldata::nodalcoords, 3, *knodes, *kelem);
    allocate_if_unallocated(nodaldata::tnodalmatrices, 3, 3, 8, *kelem);
    allocate_if_unallocated(nodaldata::tcurvmatrices, 3, 3, *kelem);
}

namespace {

// The damage tables of datahandling_allocatedamagedata, each made by make(table, extents, fill)
// where unallocated; false at the first that make refuses.
template <class Make>
bool damage_tables(i32 kplies, i32 ksec, i32 kdmg, Make make) {
    using namespace damagedata;
    const i64 lplies = std::max<i64>(i64{kplies} - 1, 1);
    ndmg = std::max({ndmg, 1, kdmg});
    // The zeroing marker: -1 until the extent arrays allocated here are zeroed once.
    if (!damagedds.allocated()) damagedds.allocate({1}, -1);
    if (damagedds.size() >= 1 && damagedds(1) == -1) damagedds(1) = 0;
    // (the buckling records first: the largest, refused before the others are filled)
    const auto need = [&make](auto& a, auto fill, auto... e) {
        return a.allocated() ||
               make(a, std::array<i64, sizeof...(e)>{static_cast<i64>(e)...}, fill);
    };
    // a table filled by the damage card reader keeps its data
    return need(bukdata::bukrealdatalist, 0.0, 12, lplies, ndmg, ksec) &&
           need(bukdata::bukintdatalist, 0, 4, lplies, ndmg, ksec) &&
           need(generaldds, 0.0, 3, kplies, ndmg) && need(fiberdds, 0.0, 3, kplies, ndmg) &&
           need(matrixdds, 0.0, 3, kplies, ndmg) && need(delamdds, 0.0, 3, lplies, ndmg) &&
           need(coredds, 0.0, 3, kplies, ndmg) && need(userdds, 0.0, 3, kplies, ndmg) &&
           need(dmgplane, 0.0, 10, ndmg);
}

}  // namespace

extern "C" void datahandling_allocatedamagedata(i32* istat, const i32* kplies, const i32* ksec,
                                                const i32* kdmg) {
    *istat = 0;
    damage_tables(*kplies, *ksec, *kdmg, [](auto& a, const auto& e, auto fill) {
        a.allocate(e, fill);
        return true;
    });
}

namespace vorlen::datahandling {

bool try_allocatedamagedata(i32 kplies, i32 ksec, i32 kdmg) {
    if (damage_tables(kplies, ksec, kdmg,
                      [](auto& a, const auto& e, auto fill) { return a.try_allocate(e, fill); }))
        return true;
    damagedata::damagedds.release();
    return false;
}

}  // namespace vorlen::datahandling

extern "C" void datahandling_deallocall(i32* istat) {
    *istat = 0;
    release_all(jobdata::stepid);
    using namespace materialdata;
    release_all(matidlist, pfflags, peflags, pelimits, peprops, psprops, pfprops, phprops, pdprops,
                cuprops, secantprops, flowprops, alpha1props, alpha2props, alpha3props,
                regularization, equivalentstress, normalprops, shearprops);
    using namespace sectiondata;
    release_all(secidlist, seflags, nsectionpoints, xcstrength, plythickness, plyorientation,
                plyzcoord, sefmatrix, sehmatrix, seuser, seprops, sestress, sestrain,
                tnormalstress, tshearstress);
    using namespace nodaldata;
    release_all(nodesmotion, nodalcoords, tnodalmatrices, tcurvmatrices);
    using namespace elementdata;
    release_all(elemlist, elemkind, elemnodes, elemlength, elemindices, elemcurvatures,
                elemreforientation);
    release_all(impactdata::cprops, loaddata::dprops);
    using namespace damagedata;
    release_all(damagedds, generaldds, fiberdds, matrixdds, coredds, delamdds, userdds, dmgshape,
                dmgplane, dmgpoints);
    release_all(bukdata::bukintdatalist, bukdata::bukrealdatalist);
    release_all(shokriehdata::cycles, shokriehdata::cycleprops);
}
