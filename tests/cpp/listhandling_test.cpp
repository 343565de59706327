// The growable lists called from C: optional arguments left out, a list appended to itself,
// a copy shorter than the list, and allocations that cannot be had.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <complex>
#include <cstdlib>
#include <limits>
#include <string>
#include <vector>

#include "core/listhandling.hpp"
#include "test_support.hpp"

using namespace vorlen;
using namespace vorlen::listhandling;

namespace {

constexpr i32 imax = std::numeric_limits<i32>::max();

class ListHandling : public ::testing::Test {
  protected:
    void SetUp() override { release(); }
    void TearDown() override { release(); }
    static void release() {
        i32 ierror;
        for (i32 id = 1; id <= 3; ++id)
            for (i32 flag = 0; flag <= 2; ++flag) DeallocateList(&id, &flag, &ierror);
    }
};

}  // namespace

TEST_F(ListHandling, AbsentOptionalsTakeTheMarkersAndTheDefaultStep) {
    const i32 id = 1, cflag = 2, le = 2;
    i32 ierror = -9;
    AllocateList(&id, &cflag, &le, &ierror, nullptr, nullptr, nullptr);
    EXPECT_EQ(ierror, 0);
    const double dmax = std::numeric_limits<double>::max();
    EXPECT_EQ(dyncmplxlist1(1), std::complex<double>(dmax, dmax));
    EXPECT_EQ(GetSizeOfList(&id, &cflag, nullptr, nullptr, nullptr), 0);

    const i32 zero = 0;
    i32 iresult = -9;
    for (i32 v = 0; v < 3; ++v) iAppendScalar2List(&id, &v, &zero, &iresult, nullptr, nullptr);
    EXPECT_EQ(iresult, 1);
    EXPECT_EQ(dynintlist1.extent(1), 500);
    EXPECT_EQ(dynintlist1(4), imax);
}

TEST_F(ListHandling, CopyOfAtMostNcopyEntries) {
    const i32 id = 3, flag = 1, le = 4;
    const double fill = 2.5;
    i32 ierror;
    AllocateList(&id, &flag, &le, &ierror, nullptr, &fill, nullptr);
    std::vector<double> copy(6, -1.0);
    const i32 two = 2, negative = -1;
    fGetCopyOfList(&id, copy.data(), &two, &ierror);
    EXPECT_EQ(ierror, 0);
    EXPECT_EQ(copy, (std::vector<double>{2.5, 2.5, -1, -1, -1, -1}));
    fGetCopyOfList(&id, copy.data(), &negative, &ierror);
    EXPECT_EQ(ierror, 0);
}

TEST_F(ListHandling, ArrayAppendOfTheListItselfWhileItGrows) {
    const i32 id = 2, zero = 0, n = 500;
    i32 iresult;
    for (i32 v = 1; v <= n; ++v) iAppendScalar2List(&id, &v, &zero, &iresult, nullptr, nullptr);
    ASSERT_EQ(dynintlist2.extent(1), 500);
    // the storage handed in is the one the growth replaces
    iAppendArray2List(&id, dynintlist2.data, &n, &zero, &iresult, nullptr, nullptr);
    EXPECT_EQ(iresult, 1);
    ASSERT_EQ(dynintlist2.extent(1), 1000);
    for (i32 k = 1; k <= n; ++k) {
        ASSERT_EQ(dynintlist2(k), k);
        ASSERT_EQ(dynintlist2(n + k), k);
    }
}

namespace {

// Death tests whose child cannot have large blocks: a 2 GB address-space limit, or under
// AddressSanitizer a 1 GB limit on one allocation.
class ListAllocationFailure : public vorlen::test::AllocationDeathTest {
  protected:
    void SetUp() override {
        AllocationDeathTest::SetUp();
        setenv("ASAN_OPTIONS",
               (std::string(std::getenv("ASAN_OPTIONS")) + ":max_allocation_size_mb=1024").c_str(),
               1);
    }
};

void limit_memory() {
#if !defined(__SANITIZE_ADDRESS__)
    const rlimit limit{2ul << 30, 2ul << 30};
    setrlimit(RLIMIT_AS, &limit);
#endif
}

}  // namespace

// The checks in the child; true when they hold.
bool failed_allocations_keep_the_lists() {
    limit_memory();
    bool ok = true;
    const i32 id = 1, iflag = 0, zero = 0, huge = imax;
    i32 ierror = 0, iresult = 0;
    AllocateList(&id, &iflag, &huge, &ierror, nullptr, nullptr, nullptr);
    ok &= ierror == 5020 && !dynintlist1.allocated();
    for (i32 v = 1; v <= 500; ++v) iAppendScalar2List(&id, &v, &zero, &iresult, nullptr, nullptr);
    // a full list whose growth cannot be had keeps its entries and stores nothing
    const i32 v = 501, step = imax;
    iAppendScalar2List(&id, &v, &zero, &iresult, &step, nullptr);
    ok &= iresult == -5020 && dynintlist1.extent(1) == 500;
    for (i32 k = 1; k <= 500; ++k) ok &= dynintlist1(k) == k;
    const i32 array[2] = {7, 8}, two = 2;
    iAppendArray2List(&id, array, &two, &zero, &iresult, &step, nullptr);
    ok &= iresult == -5020 && GetSizeOfList(&id, &iflag, nullptr, nullptr, nullptr) == 500;
    // an unallocated list that cannot be had on the first append
    const i32 other = 2;
    iAppendScalar2List(&other, &v, &zero, &iresult, &step, nullptr);
    ok &= iresult == -5020 && !dynintlist2.allocated();
    return ok;
}

TEST_F(ListAllocationFailure, FailedAllocationsKeepTheLists) {
    EXPECT_EXIT(std::exit(failed_allocations_keep_the_lists() ? 0 : 1),
                ::testing::ExitedWithCode(0), "");
}
