// The utility routines called from C with optional arguments left out (null pointers) and with
// a split count of zero: cases the Python binding never produces.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <limits>
#include <vector>

#include "core/utility.hpp"

using namespace vorlen;
using namespace vorlen::utility;

TEST(UtilityAbsent, EyeMatrixWithoutOffsetIsIdentity) {
    const i32 n = 3;
    std::vector<double> a(9, 7.0);
    GetEyeMatrix(a.data(), nullptr, &n);
    EXPECT_EQ(a, (std::vector<double>{1, 0, 0, 0, 1, 0, 0, 0, 1}));
}

TEST(UtilityAbsent, TriangularMatrixWithoutFlagIsLower) {
    const i32 n = 2;
    const std::vector<double> a{1, 2, 3, 4}; // column-major [[1, 3], [2, 4]]
    std::vector<double> lu(4, 9.0);
    GetTriangularMatrix(lu.data(), a.data(), &n, nullptr);
    EXPECT_EQ(lu, (std::vector<double>{1, 2, 0, 4}));
}

TEST(UtilityAbsent, LinspaceWithoutFlagIncludesEndPoint) {
    const i32 n = 5;
    const double a = 0.0, b = 1.0;
    std::vector<double> x(5);
    Linspace(x.data(), &a, &b, &n, nullptr);
    EXPECT_EQ(x, (std::vector<double>{0.0, 0.25, 0.5, 0.75, 1.0}));
    const i32 one = 1;
    Linspace(x.data(), &b, &a, &one, nullptr);
    EXPECT_EQ(x[0], 1.0);
}

TEST(UtilityAbsent, SubArrayWithoutTailTakesTheLastEntries) {
    const std::vector<double> array{1, 2, 3, 4, 5};
    const i32 narray = 5, nsub = 2;
    std::vector<double> sub(2);
    i32 slice[2];
    GetSubArray(sub.data(), slice, array.data(), &narray, &nsub, nullptr);
    EXPECT_EQ(sub, (std::vector<double>{4, 5}));
    EXPECT_EQ(slice[0], 4);
    EXPECT_EQ(slice[1], 5);
}

TEST(UtilityAbsent, UnpackedTriangleWithoutUpperFlag) {
    // upper absent counts as false: with "F" the values form the lower triangle.
    const std::vector<double> packed{1, 2, 3};
    const i32 nlu = 2, np = 3;
    std::vector<double> lu(4, 9.0);
    GetUnpackedTriangle(lu.data(), packed.data(), &nlu, &np, "F", nullptr);
    EXPECT_EQ(lu, (std::vector<double>{1, 2, 0, 3})); // [[1, 0], [2, 3]]
}

TEST(UtilityAbsent, SearchesWithoutNotfoundReturnMinusOne) {
    const std::vector<i32> a{3, 7, 7};
    const i32 n = 3, eight = 8, seven = 7, two = 2;
    EXPECT_EQ(iFindLocation(&eight, a.data(), &n, nullptr), -1);
    EXPECT_EQ(iFindLocation(&seven, a.data(), &n, nullptr), 2);
    const std::vector<i32> sub{7, 3};
    EXPECT_EQ(iFindSubArray(sub.data(), a.data(), &two, &n, nullptr), -1);
    const std::vector<std::complex<double>> z{{1, 2}, {1, -2}};
    const std::complex<double> w{1, -2};
    EXPECT_EQ(cFindLocation(&w, z.data(), &two, nullptr), 2);
}

TEST(UtilityAbsent, IncrementWithoutStepAddsOne) {
    i32 i = 4;
    iINC(&i, nullptr);
    EXPECT_EQ(i, 5);
    double f = 0.5;
    fINC(&f, nullptr);
    EXPECT_EQ(f, 1.5);
}

TEST(UtilityAbsent, MergeWithoutDefaultPadsWithLargestValue) {
    const std::vector<i32> x{1, 2}, y{2, 3};
    const i32 two = 2;
    std::vector<i32> m(4);
    iGetMerged(m.data(), x.data(), y.data(), &two, &two, nullptr);
    EXPECT_EQ(m, (std::vector<i32>{1, 3, 2, std::numeric_limits<i32>::max()}));
    const std::vector<double> fx{1.5}, fy{};
    const i32 one = 1, zero = 0;
    std::vector<double> fm(1);
    fGetMerged(fm.data(), fx.data(), fy.data(), &one, &zero, nullptr);
    EXPECT_EQ(fm[0], 1.5);
    fGetMerged(fm.data(), fy.data(), fx.data(), &zero, &one, nullptr);
    EXPECT_EQ(fm[0], 1.5);
}

TEST(UtilityAbsent, SplitIntoZeroPartsWritesNothing) {
    // n/0 parts has no extent: the result has no columns, and nothing is touched.
    const std::vector<double> a{1, 2, 3, 4};
    std::vector<double> b(4, 5.0);
    const i32 k = 0, n = 4, m = 1;
    VectorSplit(a.data(), b.data(), &k, &n);
    MatrixSplit(a.data(), b.data(), &k, &n, &m);
    EXPECT_EQ(b, (std::vector<double>(4, 5.0)));
}
