// Evaluation of piecewise cubic Hermite functions on large tables: what Python cannot observe,
// the heap the routine does not use.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "pchip/pchip.hpp"
#include "test_support.hpp"

using vorlen::i32;

namespace {

// Data segment of this process in bytes (VmData of /proc/self/status), 0 when unknown.
long data_bytes() {
    std::FILE* f = std::fopen("/proc/self/status", "r");
    if (!f) return 0;
    char line[256];
    long kb = 0;
    while (std::fgets(line, sizeof line, f))
        if (std::strncmp(line, "VmData:", 7) == 0) kb = std::atol(line + 7);
    std::fclose(f);
    return kb * 1024;
}

// Values of the cubic Hermite function through half a million points at as many scattered points,
// with the data segment held 8 MB above what the arrays take: the evaluation needs no heap
// of its own (a table of the cubics alone would take 24 MB). Exits 0 when every value is right.
[[noreturn]] void evaluate_with_a_tight_heap() {
    const i32 n = 1 << 19, one = 1;
    std::vector<double> x(n), f(n), d(n), xe(n), fe(n);
    for (i32 i = 0; i < n; ++i) x[i] = i, f[i] = 2.0 * i, d[i] = 2.0;  // the line 2 x
    for (i32 i = 0; i < n; ++i) xe[i] = double((i * 7919L) % n) + 0.5;
    const rlimit lim{static_cast<rlim_t>(data_bytes() + (8L << 20)), RLIM_INFINITY};
    if (data_bytes() == 0 || setrlimit(RLIMIT_DATA, &lim) != 0) std::exit(3);
    i32 skip = 0, ierr = -99;
    dpchfe_(&n, x.data(), f.data(), d.data(), &one, &skip, &n, xe.data(), fe.data(), &ierr);
    for (i32 i = 0; i < n; ++i)
        if (fe[i] != 2.0 * xe[i]) std::exit(2);
    std::exit(ierr >= 1 ? 0 : 4);  // n - 0.5 lies beyond x(n)
}

TEST(PchipDeathTest, EvaluationOfALargeTableTakesNoHeap) {
#ifdef __SANITIZE_ADDRESS__
    GTEST_SKIP() << "the sanitizer's own allocations do not keep within a data limit";
#endif
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(evaluate_with_a_tight_heap(), ::testing::ExitedWithCode(0), "");
}

}  // namespace
