// The cubic Hermite checkers and quick-check drivers on faulty evaluators, and the free-unit
// search. The checkers call the evaluators through the library's symbol table, so the
// definitions below take the place of the library's in this program: each calls the library's
// own and then applies the fault a test has switched on (none by default).
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "base/units.hpp"
#include "pchip/pchip.hpp"
#include "pchip/pchip_checks.hpp"
#include "pchip/pchip_quick.hpp"
#include "pchip/pchip_slopes.hpp"

using vorlen::i32;

namespace {

enum class Fault {
    none,
    split,        // both one-piece evaluators count 5 points on each side
    count,        // dchfdv_ counts 3 points left of the interval
    values,       // dchfev_ is one unit in the last place off at its third point
    codes,        // dchfev_ returns 0 where it should report no evaluation point
    slopes,       // dpchim_ gives 1e-300 for its zero slopes
    evaluations,  // split in dchfdv_ only, dpchfe_ values off, codes: all three checkers fail
};
Fault fault = Fault::none;

template <class F>
F library(F, const char* name) {
    return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}

}  // namespace

extern "C" {

void dchfdv_(const double* x1, const double* x2, const double* f1, const double* f2,
             const double* d1, const double* d2, const i32* ne, const double* xe, double* fe,
             double* de, i32* next, i32* ierr) {
    static const auto real = library(&dchfdv_, "dchfdv_");
    real(x1, x2, f1, f2, d1, d2, ne, xe, fe, de, next, ierr);
    if (*ierr == 0 && *ne > 2 && (fault == Fault::split || fault == Fault::evaluations))
        next[0] = next[1] = 5;
    if (*ierr == 0 && *ne > 2 && fault == Fault::count) next[0] = 3;
}

void dchfev_(const double* x1, const double* x2, const double* f1, const double* f2,
             const double* d1, const double* d2, const i32* ne, const double* xe, double* fe,
             i32* next, i32* ierr) {
    static const auto real = library(&dchfev_, "dchfev_");
    real(x1, x2, f1, f2, d1, d2, ne, xe, fe, next, ierr);
    if (*ierr == 0 && *ne > 2 && fault == Fault::split) next[0] = next[1] = 5;
    if (*ierr == 0 && *ne > 2 && fault == Fault::values) fe[2] = std::nextafter(fe[2], 1e300);
    if (*ne == 0 && (fault == Fault::codes || fault == Fault::evaluations)) *ierr = 0;
}

void dpchfe_(const i32* n, const double* x, const double* f, const double* d, const i32* incfd,
             i32* skip, const i32* ne, const double* xe, double* fe, i32* ierr) {
    static const auto real = library(&dpchfe_, "dpchfe_");
    real(n, x, f, d, incfd, skip, ne, xe, fe, ierr);
    if (*ierr > 0 && fault == Fault::evaluations) fe[0] += 1;
}

void dpchim_(const i32* n, const double* x, const double* f, double* d, const i32* incfd,
             i32* ierr) {
    static const auto real = library(&dpchim_, "dpchim_");
    real(n, x, f, d, incfd, ierr);
    if (fault == Fault::slopes)
        for (i32 i = 0; i < *n; ++i)
            if (d[i * *incfd] == 0) d[i * *incfd] = 1e-300;
}
}

namespace {

class Faulty : public ::testing::Test {
  protected:
    void TearDown() override { fault = Fault::none; }

    // What a call writes to standard output.
    template <class F>
    static std::string output(F call) {
        testing::internal::CaptureStdout();
        call();
        return testing::internal::GetCapturedStdout();
    }
};

const i32 unit = 6, level2 = 2;

// 1P,D12.5
std::string d12_5(double v) {
    char s[32];
    std::snprintf(s, sizeof s, "%12.5E", v);
    std::string t = s;
    t[t.size() - 4] = 'D';
    return t;
}

bool accuracy(i32 kprint = 2) {
    double w[4][1000];
    i32 fail = 0;
    const i32 npts = 1000;
    devchk_(&unit, &kprint, &npts, w[0], w[1], w[2], w[3], &fail);
    return fail != 0;
}

// The verdict lines of devchk_ at print level 2 for three intervals with `lines` after the
// interval heading of each.
std::string accuracy_report(const std::string& lines) {
    std::string s = "\n\n          DEVCHK RESULTS\n          --------------\n";
    for (const char* interval : {"(-1.50000D+00, 2.50000D+00 ):", "( 2.00000D-10, 3.00000D-10 ):",
                                 "( 1.00000D+00, 1.00000D+08 ):"})
        s += std::string("\n          INTERVAL = ") + interval + "\n" + lines;
    return s;
}

TEST_F(Faulty, EvaluatorsThatAgreeOnAWrongSplitOfTenPointsPass) {
    fault = Fault::split;
    bool fail = true;
    const std::string out = output([&] { fail = accuracy(); });
    EXPECT_FALSE(fail);
    EXPECT_EQ(out, accuracy_report("\n DCHFDV RESULTS OK.\n\n DCHFEV AGREES WITH DCHFDV.\n"));
}

TEST_F(Faulty, AWrongCountNamesTheSplitFourAndSix) {
    fault = Fault::count;
    bool fail = false;
    const std::string out = output([&] { fail = accuracy(); });
    EXPECT_TRUE(fail);
    EXPECT_EQ(out, accuracy_report("\n ***** REPORTED NEXT =    3    6   RATHER THAN    4    6\n"
                                   "\n ***** DCHFEV DID NOT AGREE WITH DCHFDV:\n"
                                   "       REPORTED NEXT =  4  6   RATHER THAN   3  6\n"));
}

TEST_F(Faulty, ValuesThatDifferFromThoseWithDerivativesAreReported) {
    fault = Fault::values;
    double w[4][1000];
    i32 fail = 0;
    const i32 npts = 1000;
    const std::string out =
        output([&] { devchk_(&unit, &level2, &npts, w[0], w[1], w[2], w[3], &fail); });
    EXPECT_EQ(fail, 1);
    // the last interval's third point, and the difference of one unit in the last place there
    const double diff = std::nextafter(w[1][2], 1e300) - w[1][2];
    EXPECT_NE(out.find("\n ***** DCHFEV DID NOT AGREE WITH DCHFDV:\n       MAXIMUM DIFFERENCE " +
                       d12_5(diff) + "; OCCURRED AT X =" + d12_5(w[0][2]) + "\n"),
              std::string::npos)
        << out;
}

TEST_F(Faulty, AWrongErrorCodeIsCountedAndPrinted) {
    fault = Fault::codes;
    i32 fail = 0;
    const i32 kprint = 3;
    const std::string out = output([&] { deverk_(&unit, &kprint, &fail); });
    EXPECT_EQ(fail, 1);
    // the first call's report is printed, then the comparison fails
    EXPECT_NE(out.find(" *  ERROR NUMBER = -1\n *   \n ***END OF MESSAGE\n \n"
                       "  COMPARE FAILED -- IERR =     0\n"),
              std::string::npos)
        << out;
    EXPECT_NE(out.find("\n\n ***** TROUBLE IN DEVERK *****\n\n         1 TESTS FAILED TO GIVE "
                       "EXPECTED RESULTS.\n"),
              std::string::npos);
}

// The closing lines of the evaluation driver.
std::string evaluation_closing(i32 ifail, i32 kprint) {
    char trouble[64];
    std::snprintf(trouble, sizeof trouble, "\n *** TROUBLE ***%5d EVALUATION TESTS FAILED.\n",
                  ifail);
    return (kprint >= 2 ? std::string(trouble) : std::string()) +
           "\n ************ DPCHIP FAILED SOME EVALUATION TESTS ************\n";
}

TEST_F(Faulty, EvaluationDriverWeighsTheFailedCheckers) {
    for (const auto& [f, ifail] : {std::pair{Fault::codes, 4}, {Fault::evaluations, 7}}) {
        fault = f;
        for (const i32 kprint : {1, 2}) {
            i32 ipass = -1;
            const std::string out = output([&] { dpchq1_(&unit, &kprint, &ipass); });
            EXPECT_EQ(ipass, 0);
            const std::string closing = evaluation_closing(ifail, kprint);
            ASSERT_GE(out.size(), closing.size());
            EXPECT_EQ(out.substr(out.size() - closing.size()), closing);
            if (kprint == 1) {
                EXPECT_EQ(out, closing);
            }
        }
    }
}

TEST_F(Faulty, SlopesThatShouldBeExactlyZeroFailTheInterpolationDriver) {
    fault = Fault::slopes;
    i32 ipass = -1;
    const std::string out = output([&] { dpchq3_(&unit, &level2, &ipass); });
    EXPECT_EQ(ipass, 0);
    EXPECT_EQ(out, "\n\n          DPCHQ3 RESULTS\n          --------------\n"
                   "\n    **    2 DPCHIM RESULTS FAILED TO BE EXACTLY ZERO.\n"
                   "\n       ALL DPCHIC RESULTS OK.\n\n       ALL DPCHIC RESULTS OK.\n"
                   "\n       ALL DPCHSP RESULTS OK.\n"
                   "\n *** TROUBLE ***    1 INTERPOLATION TESTS FAILED.\n"
                   "\n ************ DPCHIP FAILED SOME INTERPOLATION TESTS ************\n");
}

TEST(GetUnit, FirstUnitNotConnectedSkippingFiveSixAndNine) {
    char tmpl[] = "/tmp/vorlen_get_unit_XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    const std::string dir = tmpl;
    i32 iunit = -1;
    get_unit_(&iunit);
    EXPECT_EQ(iunit, 1);
    for (i32 u : {1, 2, 3, 4})
        ASSERT_TRUE(vorlen::io::open_append(u, dir + "/u" + std::to_string(u)));
    get_unit_(&iunit);
    EXPECT_EQ(iunit, 7);
    for (i32 u : {7, 8}) ASSERT_TRUE(vorlen::io::open_append(u, dir + "/u" + std::to_string(u)));
    get_unit_(&iunit);
    EXPECT_EQ(iunit, 10);
    for (i32 u : {1, 2, 3, 4, 7, 8}) vorlen::io::close(u);
    std::system(("rm -rf " + dir).c_str());
}

}  // namespace
