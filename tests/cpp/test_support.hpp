// Helpers shared by the C++ tests: the exit-status check of the fatal paths, a fixture with a
// clear first-error register and a fixture for death tests of failed allocations.
#pragma once
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "base/errorhandling.hpp"

namespace vorlen::test {

// The process ended through exit() with a status other than 0: a fatal stop reports failure.
inline bool exited_nonzero(int status) { return WIFEXITED(status) && WEXITSTATUS(status) != 0; }

// The first-error register cleared before and after the test.
struct RegisterTest : ::testing::Test {
    void SetUp() override { reset(); }
    void TearDown() override { reset(); }
    static void reset() {
        i32 r;
        const lgl yes = 1;
        errorhandling_rsxerr(&r, &yes);
    }
};

// Death tests of allocations that cannot succeed. The child is a fresh run of the test binary
// (threadsafe style), started with allocator_may_return_null=1 added to ASAN_OPTIONS, so that
// in the sanitizer build the library sees the failed allocation as it does in a normal build
// instead of the sanitizer ending the process with a report of its own.
class AllocationDeathTest : public ::testing::Test {
protected:
    void SetUp() override {
        GTEST_FLAG_SET(death_test_style, "threadsafe");
        const char* old = std::getenv("ASAN_OPTIONS");
        if (old) saved_ = old;
        const std::string opts = (old && *old ? std::string(old) + ":" : std::string()) +
                                 "allocator_may_return_null=1";
        setenv("ASAN_OPTIONS", opts.c_str(), 1);
    }
    void TearDown() override {
        if (saved_)
            setenv("ASAN_OPTIONS", saved_->c_str(), 1);
        else
            unsetenv("ASAN_OPTIONS");
    }

private:
    std::optional<std::string> saved_;
};

}  // namespace vorlen::test
