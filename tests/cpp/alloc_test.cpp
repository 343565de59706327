// Allocatable arrays: layout, extents, fills, reference-counted storage and the allocation
// failure paths.
#include "base/alloc.hpp"
#include "core/math_linalg.hpp"
#include "core/math_norms.hpp"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstdlib>

#include "test_support.hpp"

namespace {

using vorlen::Alloc;
using vorlen::Block;
using vorlen::i32;
using vorlen::i64;
namespace block = vorlen::block;

TEST(Alloc, ColumnMajorWithLowerBoundOne) {
    Alloc<double, 3> a;
    EXPECT_FALSE(a.allocated());
    EXPECT_EQ(a.size(), 0);
    a.allocate({2, 3, 4});
    ASSERT_TRUE(a.allocated());
    EXPECT_EQ(a.extent(1), 2);
    EXPECT_EQ(a.extent(2), 3);
    EXPECT_EQ(a.extent(3), 4);
    EXPECT_EQ(a.size(), 24);
    // offset of (i, j, k) is (i-1) + 2 (j-1) + 6 (k-1)
    EXPECT_EQ(&a(1, 1, 1), a.data);
    EXPECT_EQ(&a(2, 1, 1), a.data + 1);
    EXPECT_EQ(&a(1, 2, 1), a.data + 2);
    EXPECT_EQ(&a(1, 1, 2), a.data + 6);
    EXPECT_EQ(&a(2, 3, 4), a.data + 23);
    for (double x : a) EXPECT_EQ(x, 0.0);
    a.release();
    EXPECT_FALSE(a.allocated());
    EXPECT_EQ(a.data, nullptr);
}

TEST(Alloc, ExtentsBelowOneGiveEmptyDimensions) {
    struct Case {
        i64 e1, e2, x1, x2;
    };
    for (const Case& c : {Case{0, 5, 0, 5}, Case{-3, 5, 0, 5}, Case{4, -1, 4, 0}}) {
        Alloc<i32, 2> a;
        a.allocate({c.e1, c.e2});
        EXPECT_TRUE(a.allocated()) << c.e1 << "," << c.e2;
        EXPECT_EQ(a.extent(1), c.x1);
        EXPECT_EQ(a.extent(2), c.x2);
        EXPECT_EQ(a.size(), 0);
        EXPECT_EQ(a.begin(), a.end());
        a.release();
    }
}

TEST(Alloc, FillAndReallocationWithNewExtents) {
    Alloc<i32, 1> a;
    a.allocate({3}, -7);
    for (i32 x : a) EXPECT_EQ(x, -7);
    a.allocate({5});  // replaces the storage: new extents, fresh contents
    EXPECT_EQ(a.extent(1), 5);
    for (i32 x : a) EXPECT_EQ(x, 0);
    a.release();
}

// The Python views hold a reference to the block: the library may release or reallocate the
// array while such a view is alive, and the view keeps reading its own, intact storage.
TEST(Alloc, RetainedBlockOutlivesReleaseAndReallocation) {
    Alloc<double, 2> a;
    a.allocate({2, 2});
    for (int k = 0; k < 4; ++k) a.data[k] = 1.5 * (k + 1);
    Block* held = a.blk;
    const double* view = a.data;
    block::retain(held);
    EXPECT_EQ(held->refs, 2);

    a.release();
    EXPECT_FALSE(a.allocated());
    EXPECT_EQ(held->refs, 1);
    for (int k = 0; k < 4; ++k) EXPECT_EQ(view[k], 1.5 * (k + 1));

    a.allocate({3, 3}, 9.0);
    EXPECT_NE(a.data, view);
    for (int k = 0; k < 4; ++k) EXPECT_EQ(view[k], 1.5 * (k + 1));

    block::retain(a.blk);
    Block* second = a.blk;
    const double* view2 = a.data;
    a.allocate({1, 1});  // reallocation of an allocated, viewed array
    EXPECT_EQ(second->refs, 1);
    for (int k = 0; k < 9; ++k) EXPECT_EQ(view2[k], 9.0);

    block::release(second);  // last references: the sanitizer build reports any leak
    block::release(held);
    a.release();
}

TEST(Alloc, RetainAndReleaseOfNoBlockAreHarmless) {
    block::retain(nullptr);
    block::release(nullptr);
    Alloc<double, 1> a;
    a.release();  // releasing an unallocated array does nothing
    EXPECT_FALSE(a.allocated());
}

// Extents from input: what allocate ends the process on is a refusal that keeps the array.
TEST(Alloc, TryAllocateRefusesWithoutChangingTheArray) {
    constexpr i64 big = i64{1} << 40;
    Alloc<double, 2> a;
    a.allocate({2, 3}, 7.0);
    double* const before = a.data;
    EXPECT_FALSE(a.try_allocate({big, big}, 1.0));  // count overflow (2^80)
    EXPECT_EQ(a.data, before);
    EXPECT_EQ(a.extent(1), 2);
    EXPECT_EQ(a.extent(2), 3);
    for (double x : a) EXPECT_EQ(x, 7.0);
    ASSERT_TRUE(a.try_allocate({4, 1}, 2.0));
    EXPECT_EQ(a.size(), 4);
    for (double x : a) EXPECT_EQ(x, 2.0);
    EXPECT_EQ(block::try_count(std::array<i64, 2>{big, big}.data(), 2, 8), -1);
    a.release();
}

using AllocDeathTest = vorlen::test::AllocationDeathTest;

TEST_F(AllocDeathTest, SizeOverflowEndsTheProcess) {
    constexpr i64 big = i64{1} << 40;
    // element count above 2^63
    EXPECT_EXIT((Alloc<double, 2>{}.allocate({big, big})), vorlen::test::exited_nonzero,
                "Integer overflow when calculating the amount of memory to allocate");
    // element count fits, byte count does not (2^62 doubles)
    EXPECT_EXIT((Alloc<double, 1>{}.allocate({i64{1} << 62})), vorlen::test::exited_nonzero,
                "Integer overflow when calculating the amount of memory to allocate");
}

TEST_F(AllocDeathTest, FailedAllocationReportsTheByteCount) {
    // 2^59 doubles = 2^62 bytes: no machine has them
    EXPECT_EXIT((Alloc<double, 1>{}.allocate({i64{1} << 59})), vorlen::test::exited_nonzero,
                "Error allocating 4611686018427387904 bytes");
    // 2^58 32-bit integers = 2^60 bytes
    EXPECT_EXIT((Alloc<i32, 2>{}.allocate({i64{1} << 29, i64{1} << 29})),
                vorlen::test::exited_nonzero, "Error allocating 1152921504606846976 bytes");
}

// Work arrays of the library's routines come from the same allocation path: a C caller sees the
// process end with the message and status 1, not an exception (SIGABRT through the C frames).
// Exit status 0 when a request for 2^62 bytes is refused and the array kept.
[[noreturn]] void refuse_and_keep() {
    Alloc<double, 1> a;
    a.allocate({2}, 7.0);
    const bool got = a.try_allocate({i64{1} << 59});
    const bool kept = a.size() == 2 && a(1) == 7.0 && a(2) == 7.0;
    a.release();
    std::exit(!got && kept ? 0 : 1);
}

TEST_F(AllocDeathTest, TryAllocateRefusesMemoryThatCannotBeHad) {
    // in a child that sees the failed allocation
    EXPECT_EXIT(refuse_and_keep(), ::testing::ExitedWithCode(0), "");
}

TEST_F(AllocDeathTest, WorkArraysOfRoutinesEndTheProcessWithTheMessage) {
    const i32 big = i32{1} << 29;  // an order whose square work matrix takes 2^61 bytes
    const double a[1] = {1.0};
    const char* message = "Error allocating 2305843009213693952 bytes";
    EXPECT_EXIT(
        {
            double d;
            vorlen::math::LUFactDeterminant(&d, a, &big);
        },
        ::testing::ExitedWithCode(1), message);
    EXPECT_EXIT(vorlen::math::GetPrincipleMinor(a, &big, &big), ::testing::ExitedWithCode(1),
                message);
    EXPECT_EXIT(vorlen::math::SpectralNorm(a, &big, &big), ::testing::ExitedWithCode(1), message);
}

}  // namespace
