// The model data store: its state at load, the three allocators and the release.
#include "core/datahandling.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <functional>
#include <limits>
#include <string>
#include <type_traits>
#include <vector>

#include "core/bukdata.hpp"
#include "core/damagedata.hpp"
#include "core/elementdata.hpp"
#include "base/errorhandling.hpp"
#include "core/impactdata.hpp"
#include "core/jobdata.hpp"
#include "core/loaddata.hpp"
#include "core/materialdata.hpp"
#include "core/nodaldata.hpp"
#include "core/debugdata.hpp"
#include "core/sectiondata.hpp"
#include "core/shokriehdata.hpp"
#include "base/types.hpp"
#include "test_support.hpp"

namespace {

using namespace vorlen;
using Ext = std::vector<i64>;

template <class T, int R>
Ext extents(const Alloc<T, R>& a) {
    return a.allocated() ? Ext(a.ext, a.ext + R) : Ext{};
}

// Every array of the store, with whether the release frees it.
struct StoreArray {
    std::string name;
    bool freed;
    std::function<bool()> allocated;
    std::function<void()> allocate;  // 2 by 2 ... filled with 7
    std::function<bool()> intact;    // still as allocate() left it
    std::function<void()> release;
};

template <class T, int R>
StoreArray entry(const char* name, Alloc<T, R>& a, bool freed) {
    return {name,
            freed,
            [&a] { return a.allocated(); },
            [&a] {
                std::array<i64, R> e;
                e.fill(2);
                a.allocate(e, T(7));
            },
            [&a] {
                return a.size() == (1 << R) &&
                       std::all_of(a.begin(), a.end(), [](T x) { return x == T(7); });
            },
            [&a] { a.release(); }};
}

#define FREED(m, v) entry(#m "::" #v, m::v, true)
#define KEPT(m, v) entry(#m "::" #v, m::v, false)

const std::vector<StoreArray>& store_arrays() {
    static const std::vector<StoreArray> all = {
        FREED(jobdata, stepid), KEPT(jobdata, processid),
        FREED(materialdata, matidlist), FREED(materialdata, pfflags),
        FREED(materialdata, peflags), FREED(materialdata, regularization),
        KEPT(materialdata, temperatures), FREED(materialdata, pelimits),
        FREED(materialdata, peprops), FREED(materialdata, psprops),
        FREED(materialdata, pfprops), FREED(materialdata, phprops),
        FREED(materialdata, pdprops), FREED(materialdata, cuprops),
        KEPT(materialdata, r_crit), KEPT(materialdata, i10),
        FREED(materialdata, equivalentstress), FREED(materialdata, flowprops),
        FREED(materialdata, secantprops), FREED(materialdata, normalprops),
        FREED(materialdata, shearprops), FREED(materialdata, alpha1props),
        FREED(materialdata, alpha2props), FREED(materialdata, alpha3props),
        FREED(sectiondata, nsectionpoints), FREED(sectiondata, secidlist),
        FREED(sectiondata, seflags), FREED(sectiondata, xcstrength),
        FREED(sectiondata, plythickness), FREED(sectiondata, plyorientation),
        FREED(sectiondata, plyzcoord), FREED(sectiondata, sehmatrix),
        FREED(sectiondata, sefmatrix), FREED(sectiondata, seuser),
        FREED(sectiondata, seprops), FREED(sectiondata, sestress),
        FREED(sectiondata, sestrain), FREED(sectiondata, tnormalstress),
        FREED(sectiondata, tshearstress),
        FREED(nodaldata, tnodalmatrices), FREED(nodaldata, tcurvmatrices),
        FREED(nodaldata, nodalcoords), FREED(nodaldata, nodesmotion),
        FREED(elementdata, elemlist), FREED(elementdata, elemkind),
        FREED(elementdata, elemindices), FREED(elementdata, elemnodes),
        FREED(elementdata, elemlength), FREED(elementdata, elemcurvatures),
        FREED(elementdata, elemreforientation),
        FREED(impactdata, cprops), KEPT(impactdata, csvars),
        FREED(loaddata, dprops),
        FREED(damagedata, damagedds), FREED(damagedata, generaldds),
        FREED(damagedata, fiberdds), FREED(damagedata, matrixdds),
        FREED(damagedata, delamdds), FREED(damagedata, coredds),
        FREED(damagedata, userdds), FREED(damagedata, dmgshape),
        FREED(damagedata, dmgplane), FREED(damagedata, dmgpoints),
        FREED(bukdata, bukintdatalist), FREED(bukdata, bukrealdatalist),
        FREED(shokriehdata, cycles), FREED(shokriehdata, cycleprops),
        // the error register is not part of the store's release
        KEPT(errorhandling, errintv), KEPT(errorhandling, errrealv),
        KEPT(errorhandling, errasciim),
    };
    return all;
}

std::vector<i32*> int_scalars() {
    using namespace jobdata;
    using namespace debugdata;
    using namespace materialdata;
    return {&stepcount, &nsteps, &solverid, &nupdate, &edebug, &ndebug, &fdebug, &verbose,
            &unitid, &modelid, &ntempdata, &nflowdata, &nsecantdata, &nalpha1data,
            &nalpha2data, &nalpha3data, &nnormaldata, &nsheardata, &sectiondata::nsec,
            &sectiondata::nplies, &nodaldata::nnodes, &nodaldata::ndof, &elementdata::nsens,
            &elementdata::nelem, &loaddata::nimp, &damagedata::ndmg, &errorhandling::errstat};
}
std::vector<double*> real_scalars() { return {&shokriehdata::dnf, &shokriehdata::dnfshok}; }
std::vector<std::pair<char*, std::size_t>> texts() {
    return {{jobdata::jobname, 256}, {jobdata::joboutdir, 256}, {jobdata::jobfilepath, 256},
            {errorhandling::errstring, 80}};
}

bool store_pristine() {
    for (const auto& a : store_arrays())
        if (a.allocated()) return false;
    for (i32* p : int_scalars())
        if (*p != 0) return false;
    for (double* p : real_scalars())
        if (*p != 0.0) return false;
    for (auto [p, n] : texts())
        if (std::any_of(p, p + n, [](char c) { return c != '\0'; })) return false;
    return true;
}

// Taken before any test runs.
const bool pristine_at_load = store_pristine();

void clear_store() {
    for (const auto& a : store_arrays()) a.release();
    for (i32* p : int_scalars()) *p = 0;
    for (double* p : real_scalars()) *p = 0.0;
    for (auto [p, n] : texts()) std::memset(p, 0, n);
}

class Store : public ::testing::Test {
protected:
    void SetUp() override { clear_store(); }
    void TearDown() override { clear_store(); }
};

i32 elementdata_call(i32 knodes, i32 kelem) {
    i32 istat = 99;
    datahandling_allocateelementdata(&istat, &knodes, &kelem);
    return istat;
}
i32 nodaldata_call(i32 kdof, i32 knodes, i32 kelem) {
    i32 istat = 99;
    datahandling_allocatenodaldata(&istat, &kdof, &knodes, &kelem);
    return istat;
}
i32 damagedata_call(i32 kplies, i32 ksec, i32 kdmg) {
    i32 istat = 99;
    datahandling_allocatedamagedata(&istat, &kplies, &ksec, &kdmg);
    return istat;
}
i32 deallocall() {
    i32 istat = 99;
    datahandling_deallocall(&istat);
    return istat;
}

template <class A, class T>
bool all_equal(const A& a, T v) {
    return std::all_of(a.begin(), a.end(), [v](auto x) { return x == v; });
}

TEST(StoreAtLoad, ArraysUnallocatedScalarsZeroTextsNul) { EXPECT_TRUE(pristine_at_load); }

TEST(StoreAtLoad, KindConstants) {
    EXPECT_EQ(types::cb, 1);
    EXPECT_EQ(types::i2, 2);
    EXPECT_EQ(types::i4, 4);
    EXPECT_EQ(types::i8, 8);
    EXPECT_EQ(types::sp, 4);
    EXPECT_EQ(types::dp, 8);
    EXPECT_EQ(types::qp, 16);
}

// Element types of the allocated arrays: 32-bit integers but for two double tables.
static_assert(std::is_same_v<decltype(elementdata::elemlist), Alloc<i32, 1>&>);
static_assert(std::is_same_v<decltype(elementdata::elemkind), Alloc<i32, 1>&>);
static_assert(std::is_same_v<decltype(elementdata::elemnodes), Alloc<i32, 2>&>);
static_assert(std::is_same_v<decltype(elementdata::elemcurvatures), Alloc<double, 2>&>);
static_assert(std::is_same_v<decltype(elementdata::elemreforientation), Alloc<double, 2>&>);
static_assert(std::is_same_v<decltype(sectiondata::nsectionpoints), Alloc<i32, 1>&>);
static_assert(std::is_same_v<decltype(damagedata::damagedds), Alloc<i32, 1>&>);
static_assert(std::is_same_v<decltype(bukdata::bukintdatalist), Alloc<i32, 4>&>);
static_assert(std::is_same_v<decltype(bukdata::bukrealdatalist), Alloc<double, 4>&>);

TEST_F(Store, ElementDataExtents) {
    struct Case {
        i32 knodes, kelem;
        Ext elem, nodes, curv, reforient;
    };
    const Case cases[] = {
        {4, 3, {3}, {4, 3}, {2, 3}, {7, 3}},
        {8, 0, {0}, {8, 0}, {2, 0}, {7, 0}},
        {-2, -5, {0}, {0, 0}, {2, 0}, {7, 0}},
    };
    for (const Case& c : cases) {
        clear_store();
        SCOPED_TRACE(testing::Message() << "knodes " << c.knodes << ", kelem " << c.kelem);
        EXPECT_EQ(elementdata_call(c.knodes, c.kelem), 0);
        EXPECT_EQ(extents(elementdata::elemlist), c.elem);
        EXPECT_EQ(extents(elementdata::elemkind), c.elem);
        EXPECT_EQ(extents(elementdata::elemnodes), c.nodes);
        EXPECT_EQ(extents(elementdata::elemcurvatures), c.curv);
        EXPECT_EQ(extents(elementdata::elemreforientation), c.reforient);
        EXPECT_EQ(extents(sectiondata::nsectionpoints), c.elem);
        // nothing else of the store
        EXPECT_FALSE(elementdata::elemindices.allocated());
        EXPECT_FALSE(elementdata::elemlength.allocated());
        EXPECT_FALSE(nodaldata::nodesmotion.allocated());
    }
}

TEST_F(Store, NodalDataExtents) {
    struct Case {
        i32 kdof, knodes, kelem;
        Ext motion, coords, tnodal, tcurv;
    };
    const Case cases[] = {
        {6, 4, 3, {6, 4, 3}, {3, 4, 3}, {3, 3, 8, 3}, {3, 3, 3}},
        {5, 0, 2, {5, 0, 2}, {3, 0, 2}, {3, 3, 8, 2}, {3, 3, 2}},
        {-1, 2, -7, {0, 2, 0}, {3, 2, 0}, {3, 3, 8, 0}, {3, 3, 0}},
    };
    for (const Case& c : cases) {
        clear_store();
        SCOPED_TRACE(testing::Message() << c.kdof << "," << c.knodes << "," << c.kelem);
        EXPECT_EQ(nodaldata_call(c.kdof, c.knodes, c.kelem), 0);
        EXPECT_EQ(extents(nodaldata::nodesmotion), c.motion);
        EXPECT_EQ(extents(nodaldata::nodalcoords), c.coords);
        EXPECT_EQ(extents(nodaldata::tnodalmatrices), c.tnodal);
        EXPECT_EQ(extents(nodaldata::tcurvmatrices), c.tcurv);
        EXPECT_FALSE(elementdata::elemlist.allocated());
    }
}

// Each array is tested on its own: an allocated one keeps extents, storage and contents.
TEST_F(Store, AllocatorsKeepWhatIsAllocated) {
    elementdata_call(4, 3);
    nodaldata_call(6, 4, 3);
    elementdata::elemlist(2) = 42;
    nodaldata::nodalcoords(3, 4, 3) = 2.5;
    const i32* elemlist = elementdata::elemlist.data;
    elementdata::elemnodes.release();
    nodaldata::tcurvmatrices.release();

    EXPECT_EQ(elementdata_call(8, 9), 0);
    EXPECT_EQ(nodaldata_call(5, 8, 9), 0);
    EXPECT_EQ(elementdata::elemlist.data, elemlist);
    EXPECT_EQ(extents(elementdata::elemlist), Ext({3}));
    EXPECT_EQ(elementdata::elemlist(2), 42);
    EXPECT_EQ(extents(elementdata::elemreforientation), Ext({7, 3}));
    EXPECT_EQ(extents(sectiondata::nsectionpoints), Ext({3}));
    EXPECT_EQ(extents(nodaldata::nodesmotion), Ext({6, 4, 3}));
    EXPECT_EQ(extents(nodaldata::nodalcoords), Ext({3, 4, 3}));
    EXPECT_EQ(nodaldata::nodalcoords(3, 4, 3), 2.5);
    // the two released ones come back with the counts of the second call
    EXPECT_EQ(extents(elementdata::elemnodes), Ext({8, 9}));
    EXPECT_EQ(extents(nodaldata::tcurvmatrices), Ext({3, 3, 9}));
}

TEST_F(Store, DamageDataOnEmptyStore) {
    EXPECT_EQ(damagedata_call(4, 2, 3), 0);
    using namespace damagedata;
    EXPECT_EQ(ndmg, 3);
    ASSERT_EQ(extents(damagedds), Ext({1}));
    EXPECT_EQ(damagedds(1), 0);
    for (auto* a : {&generaldds, &fiberdds, &matrixdds, &coredds, &userdds}) {
        EXPECT_EQ(extents(*a), Ext({3, 4, 3}));
        EXPECT_TRUE(all_equal(*a, 0.0));
    }
    EXPECT_EQ(extents(delamdds), Ext({3, 3, 3}));  // 3 ply interfaces
    EXPECT_TRUE(all_equal(delamdds, 0.0));
    EXPECT_EQ(extents(dmgplane), Ext({10, 3}));
    EXPECT_TRUE(all_equal(dmgplane, 0.0));
    EXPECT_EQ(extents(bukdata::bukintdatalist), Ext({4, 3, 3, 2}));
    EXPECT_TRUE(all_equal(bukdata::bukintdatalist, 0));
    EXPECT_EQ(extents(bukdata::bukrealdatalist), Ext({12, 3, 3, 2}));
    EXPECT_TRUE(all_equal(bukdata::bukrealdatalist, 0.0));
    EXPECT_FALSE(dmgpoints.allocated());
    EXPECT_FALSE(dmgshape.allocated());
}

TEST_F(Store, DamageDataCountOfSetsAndPlyInterfaces) {
    struct Case {
        i32 ndmg, kplies, ksec, kdmg;
        i32 ndmg_after;
        Ext general, delam, bukint;
    };
    const Case cases[] = {
        {0, 2, 1, 0, 1, {3, 2, 1}, {3, 1, 1}, {4, 1, 1, 1}},    // no set: one set
        {0, 1, 1, -4, 1, {3, 1, 1}, {3, 1, 1}, {4, 1, 1, 1}},   // one ply: one interface
        {2, 0, 3, 1, 2, {3, 0, 2}, {3, 1, 2}, {4, 1, 2, 3}},    // no ply at all
        {2, 5, 0, 4, 4, {3, 5, 4}, {3, 4, 4}, {4, 4, 4, 0}},    // kdmg raises ndmg
        {7, 3, 2, 0, 7, {3, 3, 7}, {3, 2, 7}, {4, 2, 7, 2}},    // ndmg keeps the larger
        {0, INT_MIN, 1, 0, 1, {3, 0, 1}, {3, 1, 1}, {4, 1, 1, 1}},
    };
    for (const Case& c : cases) {
        clear_store();
        damagedata::ndmg = c.ndmg;
        SCOPED_TRACE(testing::Message() << "ndmg " << c.ndmg << ", kplies " << c.kplies
                                        << ", ksec " << c.ksec << ", kdmg " << c.kdmg);
        EXPECT_EQ(damagedata_call(c.kplies, c.ksec, c.kdmg), 0);
        EXPECT_EQ(damagedata::ndmg, c.ndmg_after);
        EXPECT_EQ(extents(damagedata::generaldds), c.general);
        EXPECT_EQ(extents(damagedata::userdds), c.general);
        EXPECT_EQ(extents(damagedata::delamdds), c.delam);
        EXPECT_EQ(extents(damagedata::dmgplane), Ext({10, c.ndmg_after}));
        EXPECT_EQ(extents(bukdata::bukintdatalist), c.bukint);
        Ext bukreal = c.bukint;
        bukreal[0] = 12;
        EXPECT_EQ(extents(bukdata::bukrealdatalist), bukreal);
    }
}

// The damage card reader has allocated and filled part of the damage tables before the first
// call: its data stays, only the tables allocated by the call start at zero.
TEST_F(Store, DamageDataKeepsTablesOfTheCardReader) {
    using namespace damagedata;
    const double lowest = std::numeric_limits<double>::lowest();
    ndmg = 1;
    generaldds.allocate({3, 2, 1}, 0.5);
    delamdds.allocate({3, 1, 1}, 0.25);
    dmgplane.allocate({4, 1}, lowest);
    bukdata::bukintdatalist.allocate({4, 1, 1, 1}, 3);

    EXPECT_EQ(damagedata_call(3, 2, 1), 0);
    ASSERT_EQ(extents(damagedds), Ext({1}));
    EXPECT_EQ(damagedds(1), 0);
    EXPECT_EQ(extents(generaldds), Ext({3, 2, 1}));
    EXPECT_TRUE(all_equal(generaldds, 0.5));
    EXPECT_EQ(extents(delamdds), Ext({3, 1, 1}));
    EXPECT_TRUE(all_equal(delamdds, 0.25));
    EXPECT_EQ(extents(dmgplane), Ext({4, 1}));
    EXPECT_TRUE(all_equal(dmgplane, lowest));
    EXPECT_EQ(extents(bukdata::bukintdatalist), Ext({4, 1, 1, 1}));
    EXPECT_TRUE(all_equal(bukdata::bukintdatalist, 3));
    for (auto* a : {&fiberdds, &matrixdds, &coredds, &userdds}) {
        EXPECT_EQ(extents(*a), Ext({3, 3, 1}));
        EXPECT_TRUE(all_equal(*a, 0.0));
    }
    EXPECT_EQ(extents(bukdata::bukrealdatalist), Ext({12, 2, 1, 2}));
    EXPECT_TRUE(all_equal(bukdata::bukrealdatalist, 0.0));

    // The damage growth grows the extents; later calls leave them as they are.
    fiberdds(1, 3, 1) = 1.25;
    generaldds(2, 2, 1) = 4.0;
    EXPECT_EQ(damagedata_call(3, 2, 1), 0);
    EXPECT_EQ(damagedds(1), 0);
    EXPECT_EQ(fiberdds(1, 3, 1), 1.25);
    EXPECT_EQ(generaldds(2, 2, 1), 4.0);
    EXPECT_EQ(generaldds(1, 1, 1), 0.5);
}

// A marker of -1 (assigned by a caller) is set to 0; tables that exist keep their data.
TEST_F(Store, DamageDataMarkerOfMinusOneKeepsExistingTables) {
    using namespace damagedata;
    damagedds.allocate({1}, -1);
    coredds.allocate({3, 2, 1}, 6.0);
    EXPECT_EQ(damagedata_call(2, 1, 1), 0);
    EXPECT_EQ(damagedds(1), 0);
    EXPECT_TRUE(all_equal(coredds, 6.0));
    EXPECT_TRUE(all_equal(generaldds, 0.0));
}

// A marker of extent 0 is never read or written (the sanitizer build checks the bounds).
TEST_F(Store, DamageDataWithEmptyMarker) {
    using namespace damagedata;
    damagedds.allocate({0});
    EXPECT_EQ(damagedata_call(2, 1, 1), 0);
    EXPECT_EQ(extents(damagedds), Ext({0}));
    EXPECT_EQ(extents(generaldds), Ext({3, 2, 1}));
    EXPECT_TRUE(all_equal(generaldds, 0.0));
}

// After the release the marker is gone: the next analysis starts again from zeroed tables.
TEST_F(Store, DamageDataAfterRelease) {
    using namespace damagedata;
    damagedata_call(2, 1, 1);
    matrixdds(1, 1, 1) = 3.0;
    EXPECT_EQ(deallocall(), 0);
    EXPECT_FALSE(damagedds.allocated());
    EXPECT_EQ(ndmg, 1);  // counts keep their values
    EXPECT_EQ(damagedata_call(4, 1, 2), 0);
    EXPECT_EQ(damagedds(1), 0);
    EXPECT_EQ(ndmg, 2);
    EXPECT_EQ(extents(matrixdds), Ext({3, 4, 2}));
    EXPECT_TRUE(all_equal(matrixdds, 0.0));
}

TEST_F(Store, ReleaseFreesExactlyTheAnalysisArrays) {
    for (const auto& a : store_arrays()) a.allocate();
    i32 k = 0;
    for (i32* p : int_scalars()) *p = ++k;
    for (double* p : real_scalars()) *p = ++k + 0.5;
    for (auto [p, n] : texts()) std::memset(p, 'a' + (++k % 26), n);

    EXPECT_EQ(deallocall(), 0);
    for (const auto& a : store_arrays()) {
        if (a.freed) {
            EXPECT_FALSE(a.allocated()) << a.name << " is freed";
        } else {
            EXPECT_TRUE(a.allocated() && a.intact()) << a.name << " stays as it was";
        }
    }
    k = 0;
    for (i32* p : int_scalars()) EXPECT_EQ(*p, ++k);
    for (double* p : real_scalars()) EXPECT_EQ(*p, ++k + 0.5);
    for (auto [p, n] : texts()) {
        const char c = 'a' + (++k % 26);
        EXPECT_TRUE(std::all_of(p, p + n, [c](char x) { return x == c; }));
    }
    // a second call finds nothing more to free
    EXPECT_EQ(deallocall(), 0);
    for (const auto& a : store_arrays()) EXPECT_EQ(a.allocated(), !a.freed) << a.name;
}

TEST_F(Store, ReleaseOfEmptyStore) {
    EXPECT_EQ(deallocall(), 0);
    EXPECT_TRUE(store_pristine());
}

// A view handed out before the release (the Python arrays) keeps its storage.
TEST_F(Store, ViewedArraySurvivesRelease) {
    elementdata_call(2, 3);
    for (i32 e = 1; e <= 3; ++e) elementdata::elemlist(e) = 100 + e;
    Block* held = elementdata::elemlist.blk;
    const i32* view = elementdata::elemlist.data;
    block::retain(held);
    deallocall();
    EXPECT_FALSE(elementdata::elemlist.allocated());
    elementdata_call(5, 6);  // the next analysis
    EXPECT_EQ(extents(elementdata::elemlist), Ext({6}));
    EXPECT_EQ(view[0], 101);
    EXPECT_EQ(view[2], 103);
    block::release(held);
}

using DatahandlingDeathTest = test::AllocationDeathTest;

TEST_F(DatahandlingDeathTest, HugeCountsEndTheProcess) {
    // (2^31-1)^3 entries of nodesmotion cannot be counted in 64 bits
    EXPECT_EXIT(nodaldata_call(INT_MAX, INT_MAX, INT_MAX), test::exited_nonzero,
                "Integer overflow when calculating the amount of memory to allocate");
    // nodesmotion, the first array, 2^20 * 2^20 * 2^19 doubles = 2^62 bytes
    EXPECT_EXIT(nodaldata_call(1 << 20, 1 << 20, 1 << 19), test::exited_nonzero,
                "Error allocating 4611686018427387904 bytes");
}

}  // namespace
