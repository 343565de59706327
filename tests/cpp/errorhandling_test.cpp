// First-error register: the first-report rule, the context copies, the reset and the
// print-and-stop variant of the report call.
#include "base/errorhandling.hpp"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "test_support.hpp"

namespace {

using vorlen::i32;
using vorlen::i64;
using vorlen::lgl;
namespace eh = vorlen::errorhandling;

// The register as the process loads it, taken before any test runs.
const bool errstring_nul_at_load =
    std::all_of(std::begin(eh::errstring), std::end(eh::errstring), [](char ch) { return ch == '\0'; });
const bool register_empty_at_load = eh::errstat == 0 && !eh::errintv.allocated() &&
                                    !eh::errrealv.allocated() && !eh::errasciim.allocated();

std::string pad80(const std::string& s) { return (s + std::string(80, ' ')).substr(0, 80); }
std::string stored() { return std::string(eh::errstring, 80); }

struct Report {
    i32 lop;
    std::string msg;  // padded to 80 characters
    std::vector<i32> intv;
    std::vector<double> realv;
    std::vector<i32> asciim;  // column-major, rows by cols
    i32 rows, cols;
};

void xerr(const Report& r, const i32* pyerr = nullptr) {
    const std::string m = pad80(r.msg);
    const i32 ni = static_cast<i32>(r.intv.size()), nr = static_cast<i32>(r.realv.size());
    errorhandling_xerr(&r.lop, m.data(), r.intv.data(), r.realv.data(), r.asciim.data(), pyerr,
                       &ni, &nr, &r.rows, &r.cols);
}

i32 rsxerr(lgl flag) {
    i32 reset = -99;
    errorhandling_rsxerr(&reset, &flag);
    return reset;
}

class Register : public ::testing::Test {
protected:
    void SetUp() override { rsxerr(1); }
    void TearDown() override { rsxerr(1); }
};

TEST(RegisterAtLoad, EmptyWithNulMessage) {
    EXPECT_TRUE(register_empty_at_load);
    EXPECT_TRUE(errstring_nul_at_load) << "the message starts as NUL characters, not blanks";
}

TEST_F(Register, StoresCodeMessageAndContext) {
    xerr({-2, "Matrix is singular", {3, 1, 4}, {2.5, -1.0}, {65, 66, 67, 68}, 2, 2});
    EXPECT_EQ(eh::errstat, -2);
    EXPECT_EQ(stored(), pad80("Matrix is singular"));
    ASSERT_EQ(eh::errintv.extent(1), 3);
    EXPECT_EQ(eh::errintv(1), 3);
    EXPECT_EQ(eh::errintv(3), 4);
    ASSERT_EQ(eh::errrealv.extent(1), 2);
    EXPECT_EQ(eh::errrealv(1), 2.5);
    EXPECT_EQ(eh::errrealv(2), -1.0);
    ASSERT_EQ(eh::errasciim.extent(1), 2);
    ASSERT_EQ(eh::errasciim.extent(2), 2);
    EXPECT_EQ(eh::errasciim(2, 1), 66);
    EXPECT_EQ(eh::errasciim(1, 2), 67);
}

TEST_F(Register, AllEightyCharactersAreStoredAsGiven) {
    std::string msg(80, ' ');
    msg.replace(0, 4, "Ply ");
    msg[79] = 'Z';
    xerr({-3, msg, {}, {}, {}, 0, 0});
    EXPECT_EQ(stored(), msg);
    // any other code is stored unchanged
    rsxerr(1);
    xerr({17, "odd code", {}, {}, {}, 0, 0});
    EXPECT_EQ(eh::errstat, 17);
}

TEST_F(Register, FirstReportIsKept) {
    struct Case {
        i32 first, second, stat;
        const char* message;  // message held after both reports
        i64 nintv;            // length of errintv after both reports
    };
    const Case cases[] = {
        {-1, -2, -1, "first", 1},  // a recorded warning keeps a later error out
        {-2, -1, -2, "first", 1},
        {-3, -3, -3, "first", 1},
        {0, -2, -2, "second", 3},  // code 0 stays Empty: the next report replaces it
    };
    for (const Case& c : cases) {
        rsxerr(1);
        xerr({c.first, "first", {7}, {1.0}, {1}, 1, 1});
        xerr({c.second, "second", {8, 9, 10}, {2.0, 3.0}, {2, 3}, 1, 2});
        SCOPED_TRACE(testing::Message() << c.first << " then " << c.second);
        EXPECT_EQ(eh::errstat, c.stat);
        EXPECT_EQ(stored(), pad80(c.message));
        EXPECT_EQ(eh::errintv.extent(1), c.nintv);
        EXPECT_EQ(eh::errintv(1), c.nintv == 1 ? 7 : 8);
    }
}

TEST_F(Register, CodeZeroStoresMessageButStaysEmpty) {
    xerr({0, "note", {1, 2}, {}, {}, 0, 0});
    EXPECT_EQ(eh::errstat, 0);
    EXPECT_EQ(stored(), pad80("note"));
    EXPECT_EQ(eh::errintv.extent(1), 2);
}

TEST_F(Register, AsciimKeepsAtMostEightRows) {
    // 10 by 3 matrix with entry (i, j) = 100 j + i
    std::vector<i32> m(30);
    for (int j = 1; j <= 3; ++j)
        for (int i = 1; i <= 10; ++i) m[(i - 1) + 10 * (j - 1)] = 100 * j + i;
    xerr({-2, "ascii", {}, {}, m, 10, 3});
    ASSERT_EQ(eh::errasciim.extent(1), 8);
    ASSERT_EQ(eh::errasciim.extent(2), 3);
    for (int j = 1; j <= 3; ++j)
        for (int i = 1; i <= 8; ++i) EXPECT_EQ(eh::errasciim(i, j), 100 * j + i) << i << "," << j;
}

TEST_F(Register, EmptyContextGivesAllocatedArraysOfExtentZero) {
    xerr({-2, "empty", {}, {}, {}, 3, 0});
    ASSERT_TRUE(eh::errintv.allocated());
    ASSERT_TRUE(eh::errrealv.allocated());
    ASSERT_TRUE(eh::errasciim.allocated());
    EXPECT_EQ(eh::errintv.extent(1), 0);
    EXPECT_EQ(eh::errrealv.extent(1), 0);
    EXPECT_EQ(eh::errasciim.extent(1), 3);
    EXPECT_EQ(eh::errasciim.extent(2), 0);
}

TEST_F(Register, ReportAfterDirectResetTakesItsOwnSizes) {
    xerr({-1, "old", {1, 2, 3, 4}, {1, 2, 3}, std::vector<i32>(12, 5), 4, 3});
    eh::errstat = 0;  // emptied by assignment, as a Python caller does, without rsxerr
    xerr({-2, "new", {6}, {}, {9, 8}, 2, 1});
    EXPECT_EQ(eh::errstat, -2);
    EXPECT_EQ(stored(), pad80("new"));
    EXPECT_EQ(eh::errintv.extent(1), 1);
    EXPECT_EQ(eh::errintv(1), 6);
    EXPECT_EQ(eh::errrealv.extent(1), 0);
    EXPECT_EQ(eh::errasciim.extent(1), 2);
    EXPECT_EQ(eh::errasciim.extent(2), 1);
    EXPECT_EQ(eh::errasciim(2, 1), 8);
}

// A caller may pass a stored report on again after a reset: the register's own message and
// context arrays are then the input of the call that replaces them.
TEST_F(Register, RegisterContentsCanBeReportedAgain) {
    xerr({-1, "passed on", {4, 5}, {0.5}, {1, 2, 3}, 3, 1});
    eh::errstat = 0;
    const i32 lop = -2, ni = 2, nr = 1, r = 3, c = 1;
    errorhandling_xerr(&lop, eh::errstring, eh::errintv.data, eh::errrealv.data,
                       eh::errasciim.data, nullptr, &ni, &nr, &r, &c);
    EXPECT_EQ(eh::errstat, -2);
    EXPECT_EQ(stored(), pad80("passed on"));
    EXPECT_EQ(eh::errintv(1), 4);
    EXPECT_EQ(eh::errintv(2), 5);
    EXPECT_EQ(eh::errrealv(1), 0.5);
    EXPECT_EQ(eh::errasciim(3, 1), 3);
}

TEST_F(Register, NonZeroPyerrRecords) {
    const i32 pyerr = 1;
    xerr({-2, "from Python", {}, {}, {}, 0, 0}, &pyerr);
    EXPECT_EQ(eh::errstat, -2);
    EXPECT_EQ(stored(), pad80("from Python"));
}

TEST_F(Register, ResetFlag) {
    xerr({-2, "held", {1}, {1.0}, {1}, 1, 1});
    EXPECT_EQ(rsxerr(0), 0);  // false: nothing changes
    EXPECT_EQ(eh::errstat, -2);
    EXPECT_TRUE(eh::errintv.allocated());
    EXPECT_TRUE(eh::errrealv.allocated());
    EXPECT_TRUE(eh::errasciim.allocated());

    EXPECT_EQ(rsxerr(-1), 1);  // any non-zero byte is true
    EXPECT_EQ(eh::errstat, 0);
    EXPECT_FALSE(eh::errintv.allocated());
    EXPECT_FALSE(eh::errrealv.allocated());
    EXPECT_FALSE(eh::errasciim.allocated());
    EXPECT_EQ(stored(), pad80("held"));  // the message survives the reset

    EXPECT_EQ(rsxerr(1), 1);  // also when nothing is held
    EXPECT_EQ(eh::errstat, 0);

    xerr({-1, "after reset", {}, {}, {}, 0, 0});
    EXPECT_EQ(eh::errstat, -1);
    EXPECT_EQ(stored(), pad80("after reset"));
}

TEST_F(Register, LibraryReporterConvention) {
    eh::report(-3, "Unknown option");
    EXPECT_EQ(eh::errstat, -3);
    EXPECT_EQ(stored(), pad80("Unknown option"));
    EXPECT_EQ(eh::errintv.extent(1), 2);
    EXPECT_EQ(eh::errrealv.extent(1), 2);
    EXPECT_EQ(eh::errasciim.extent(1), 8);
    EXPECT_EQ(eh::errasciim.extent(2), 2);
    rsxerr(1);
    const std::string longer(100, 'x');
    eh::report(-2, longer);
    EXPECT_EQ(stored(), std::string(80, 'x'));
}

TEST_F(Register, ReporterNamesTheRoutine) {
    eh::report(-3, "Fewer than 5 properties", "GetLameStress");
    EXPECT_EQ(eh::errstat, -3);
    EXPECT_EQ(stored(), pad80("Fewer than 5 properties in GetLameStress"));
    rsxerr(1);
    eh::report(-1, std::string(70, 'p'), "Routine");  // cut at 80 characters
    EXPECT_EQ(stored(), std::string(70, 'p') + " in Routin");
}

// pyerr present and 0: one record on standard output (a blank, then the 80 characters) and a
// stop with a failure status, whether or not the register holds a report.
TEST(RegisterDeathTest, ZeroPyerrPrintsAndStops) {
    const std::string msg = pad80("Laminate solver failed");
    const i32 pyerr = 0;
    for (bool holding : {false, true}) {
        rsxerr(1);
        if (holding) xerr({-1, "held", {}, {}, {}, 0, 0});
        // standard output is sent to standard error, where the death test reads it
        EXPECT_EXIT(
            {
                std::fflush(stdout);
                dup2(STDERR_FILENO, STDOUT_FILENO);
                xerr({-2, msg, {1}, {1.0}, {1}, 1, 1}, &pyerr);
            },
            vorlen::test::exited_nonzero, "^ Laminate solver failed {58}\n$")
            << (holding ? "register holding" : "register empty");
    }
    rsxerr(1);
}

}  // namespace
