// The library starts no threads, its LAPACK and BLAS included.
#include <gtest/gtest.h>

#include <filesystem>

#include "core/math_linalg.hpp"

namespace {

int threads_of_this_process() {
    int n = 0;
    for ([[maybe_unused]] auto& e : std::filesystem::directory_iterator("/proc/self/task")) ++n;
    return n;
}

TEST(Threads, InverseStartsNoThread) {
    const int before = threads_of_this_process();
    double a[36] = {}, ainv[36];
    for (int i = 0; i < 6; ++i) a[i * 7] = 2.0 + i;
    const vorlen::i32 n = 6;
    vorlen::math::MatrixInverse(a, ainv, &n);
    EXPECT_DOUBLE_EQ(ainv[0], 0.5);
    EXPECT_EQ(threads_of_this_process(), before);
}

}  // namespace
