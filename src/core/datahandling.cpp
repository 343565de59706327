#include "core/datahandling.hpp"

#include <algorithm>

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

template <class... A>
void release_all(A&... a) {
    (a.release(), ...);
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

extern "C" void datahandling_allocatedamagedata(i32* istat, const i32* kplies, const i32* ksec,
                                                const i32* kdmg) {
    using namespace damagedata;
    *istat = 0;
    const i64 lplies = std::max<i64>(i64{*kplies} - 1, 1);
    ndmg = std::max({ndmg, 1, *kdmg});
    // The zeroing marker: -1 until the extent arrays allocated here are zeroed once.
    if (!damagedds.allocated()) damagedds.allocate({1}, -1);
    if (damagedds.size() >= 1 && damagedds(1) == -1) damagedds(1) = 0;
    auto extents = [&](auto& a, i64 nply) {
        if (a.allocated()) return;  // filled by the damage card reader: its data stays
        a.allocate({3, nply, ndmg}, 0.0);
    };
    extents(generaldds, *kplies);
    extents(fiberdds, *kplies);
    extents(matrixdds, *kplies);
    extents(delamdds, lplies);
    extents(coredds, *kplies);
    extents(userdds, *kplies);
    if (!dmgplane.allocated()) dmgplane.allocate({10, ndmg}, 0.0);
    if (!bukdata::bukintdatalist.allocated())
        bukdata::bukintdatalist.allocate({4, lplies, ndmg, *ksec}, 0);
    if (!bukdata::bukrealdatalist.allocated())
        bukdata::bukrealdatalist.allocate({12, lplies, ndmg, *ksec}, 0.0);
}

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
