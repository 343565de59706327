// Card-file primitives on units connected for reading: counts, keyword searches, data blocks,
// unconnected units, and data blocks mutated at random (seeded) read without faults.
#include "io/iohandling.hpp"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "base/errorhandling.hpp"
#include "base/units.hpp"

namespace io = vorlen::io;
using namespace vorlen::iohandling;
using vorlen::i32;
using vorlen::lgl;

namespace {

class Primitives : public ::testing::Test {
  protected:
    std::string path;
    i32 unit = 0;
    void SetUp() override {
        char tmpl[] = "/tmp/vorlen_io_XXXXXX";
        const int fd = mkstemp(tmpl);
        ASSERT_GE(fd, 0);
        ::close(fd);
        path = tmpl;
        i32 reset;
        const lgl yes = 1;
        errorhandling_rsxerr(&reset, &yes);
    }
    void TearDown() override {
        io::close(unit);
        std::remove(path.c_str());
    }
    void open(const std::string& text) {
        if (unit > 0) io::close(unit);  // a test that opens again leaves no unit connected
        std::ofstream(path, std::ios::binary) << text;
        const i32 first = 1, last = 120;
        unit = GetFreeUnitNumber(&first, &last);
        ASSERT_TRUE(io::open_read(unit, path));
    }
    std::string line() {
        char buf[256];
        const auto n = io::read_line(unit, buf, 256);
        return n < 0 ? "<end>" : std::string(buf, static_cast<std::size_t>(std::min<long>(n, 256)));
    }
    i32 size(const char* keys = "*+") {
        const i32 ls = static_cast<i32>(std::strlen(keys));
        return iohandling_getsizeofdata(&unit, keys, &ls, &ls);
    }
    std::vector<double> reals(i32 n) {
        std::vector<double> v(static_cast<std::size_t>(n), -7.0);
        iohandling_real_getdatapoints(&unit, v.data(), &n);
        return v;
    }
    static i32 code() { return vorlen::errorhandling::errstat; }
};

TEST_F(Primitives, BlocksReadAcrossLinesAndSeparators) {
    open("+Key\n1,2\n\n3 4\t5 ,6\n+Next\n");
    line();
    EXPECT_EQ(size(), 7);  // "5 ,6": three items, the middle one empty
    EXPECT_EQ(reals(7), (std::vector<double>{1, 2, 3, 4, 5, 0, 6}));
    EXPECT_EQ(line(), "+Next");
    EXPECT_EQ(code(), 0);
}

TEST_F(Primitives, BlockToEndOfFileAndTerminators) {
    open("*k\n 1.5d0\n+2\n");
    line();
    EXPECT_EQ(size(), 1);  // a value with a plus sign in column 1 ends the block
    EXPECT_EQ(reals(1), std::vector<double>{1.5});
    EXPECT_EQ(line(), "+2");
    EXPECT_EQ(size(), 0);
    EXPECT_EQ(reals(1), std::vector<double>{-7.0});
    EXPECT_EQ(line(), "<end>");
}

TEST_F(Primitives, MoreValuesThanOutdataAndJunk) {
    open("1 2 3\n+k\n4 x 5\n");
    EXPECT_EQ(reals(2), (std::vector<double>{1, 2}));
    EXPECT_EQ(code(), -3);
    line();
    i32 reset;
    const lgl yes = 1;
    errorhandling_rsxerr(&reset, &yes);
    EXPECT_EQ(reals(3), (std::vector<double>{-7, -7, -7}));
    EXPECT_EQ(code(), -2);
    EXPECT_STREQ(std::string(vorlen::errorhandling::errstring, 65).c_str(),
                 "Error: Error in GetDataPointsRead operation exited with an error.");
    EXPECT_EQ(line(), "<end>");
}

TEST_F(Primitives, LongLinesAreReadWhole) {
    std::string l;
    for (int k = 0; k < 125; ++k) l += std::to_string(k % 10) + " ";  // 250 characters
    l += "123456789 77";  // crosses column 256 inside the number
    const std::string tiny = "0." + std::string(299, '0') + "25";  // 0.25e-299, 303 characters
    const std::string key = std::string(300, ' ') + "++begin section";
    open(key + "\n" + l + "\n" + tiny + "\r\n+k\n");
    line();
    const i32 n = size();
    const auto v = reals(n);
    ASSERT_EQ(n, 128);
    EXPECT_EQ(v[124], 4.0);
    EXPECT_EQ(v[125], 123456789.0);
    EXPECT_EQ(v[126], 77.0);
    EXPECT_EQ(v[127], 0.25e-299);
    EXPECT_EQ(code(), 0);
    EXPECT_EQ(line(), "+k");
    io::rewind(unit);
    const i32 lkey = 15;
    EXPECT_EQ(iohandling_getnumberofkeywords(&unit, "++BEGIN SECTION", &lkey, nullptr, &lkey), 1);
    const lgl no = 0;
    EXPECT_EQ(GetFileLength(&unit, &no), 4);
    const i32 back = -1, four = 4, one = 1;
    EXPECT_TRUE(iohandling_get2nextkey(&unit, &back, "++BEGIN SECTION", &lkey, &four, &one, &lkey));
    EXPECT_EQ(line(), key.substr(0, 256));  // found by the fourth step, over the long lines
    EXPECT_EQ(line(), l.substr(0, 256));
}

TEST_F(Primitives, KeywordCountsAndSearches) {
    open("++Begin Section, id\n  ++begin section\n++BEGIN  SECTION\nx\n*Step\n");
    const i32 lkey = 15, lkw = 15;
    EXPECT_EQ(iohandling_getnumberofkeywords(&unit, "++BEGIN SECTION", &lkey, nullptr, &lkw), 2);
    EXPECT_EQ(line(), "++Begin Section, id");  // rewound
    const lgl no = 0;
    EXPECT_EQ(GetFileLength(&unit, &no), 4);
    const i32 back = -1, five = 5, ulimit = 5, one = 1;
    EXPECT_TRUE(iohandling_get2nextkey(&unit, &back, "++begin", &five, &ulimit, &one, &five));
    EXPECT_EQ(line(), "++BEGIN  SECTION");  // found by the third backward step
    io::rewind(unit);
    EXPECT_TRUE(iohandling_get2nextkey(&unit, &one, "*STEP", &five, &ulimit, &one, &five));
    EXPECT_EQ(line(), "*Step");
    const i32 two = 2;
    EXPECT_FALSE(iohandling_get2nextkey(&unit, &one, "x", &one, &two, &one, &one));
    EXPECT_EQ(line(), "<end>");
}

TEST_F(Primitives, BackwardSearchFindsTheFirstLine) {
    open("key\na\nb\n");
    const lgl no = 0;
    const i32 n = GetFileLength(&unit, &no), back = -1, three = 3;
    EXPECT_TRUE(iohandling_get2nextkey(&unit, &back, "key", &three, &n, nullptr, &three));
    const i32 two = 2;
    RewindFile(&unit, &two);
    EXPECT_EQ(line(), "key");
}

TEST_F(Primitives, TablesAndDamageRows) {
    open("1 2 3\n4 5 6\n");
    i32 ndata = 2, nrows = 3;
    double xy[6] = {};
    iohandling_getxydatapoints(&unit, xy, &ndata, &nrows);
    EXPECT_EQ(std::vector<double>(xy, xy + 6), (std::vector<double>{1, 4, 2, 5, 3, 6}));
    io::rewind(unit);
    ndata = 0;
    iohandling_getxydatapoints(&unit, xy, &ndata, &nrows);
    EXPECT_EQ(code(), -3);
    io::rewind(unit);
    double xdds[9] = {9, 9, 9, 9, 9, 9, 9, 9, 9};
    const i32 nplies = 3;
    open("1 2 3 4\n5 6 7 8\n");
    iohandling_getddsfromfile(&unit, xdds, &nplies);
    EXPECT_EQ(std::vector<double>(xdds, xdds + 9), (std::vector<double>{2, 3, 9, 6, 7, 9, 9, 9, 9}));
}

TEST_F(Primitives, UnconnectedUnitsGiveTheFallback) {
    const i32 free = 119, nrwd = 1, lkey = 3;
    double out[2] = {5, 5};
    const i32 two = 2;
    EXPECT_EQ(GetFileLength(&free, nullptr), 0);
    EXPECT_EQ(code(), -3);
    EXPECT_EQ(iohandling_getnumberofkeywords(&free, "abc", &lkey, nullptr, &lkey), 0);
    EXPECT_FALSE(iohandling_get2nextkey(&free, &nrwd, "abc", &lkey, &lkey, nullptr, &lkey));
    RewindFile(&free, &nrwd);
    iohandling_real_getdatapoints(&free, out, &two);
    EXPECT_EQ(out[0], 5.0);
    EXPECT_NE(access("fort.119", F_OK), 0);
}

// Mutated data blocks: every reader finishes, counts agree with what it read, and nothing is
// touched past the arrays (the sanitizer build checks the last).
TEST_F(Primitives, MutatedBlocks) {
    std::mt19937 rng(20240611);
    const std::string alphabet = "0123456789 ,.-+eEdD\t*xX@\r";
    for (int trial = 0; trial < 300; ++trial) {
        std::string text = "+k\n";
        const int lines = static_cast<int>(rng() % 6);
        for (int k = 0; k < lines; ++k) {
            const int len = static_cast<int>(rng() % 300);
            for (int c = 0; c < len; ++c)
                text += rng() % 8 ? alphabet[rng() % alphabet.size()] : static_cast<char>(rng());
            text += '\n';
        }
        if (rng() % 2) text += "*end\n";
        open(text);
        line();
        const i32 n = size();
        ASSERT_GE(n, 0);
        const i32 cap = n / 2;
        std::vector<double> v(static_cast<std::size_t>(cap) + 1, 3.0);
        iohandling_real_getdatapoints(&unit, v.data(), &cap);
        EXPECT_EQ(v[static_cast<std::size_t>(cap)], 3.0);
        std::vector<i32> w(static_cast<std::size_t>(n) + 1, 3);
        RewindFile(&unit, &lines);
        iohandling_int_getdatapoints(&unit, w.data(), &n);
        EXPECT_EQ(w[static_cast<std::size_t>(n)], 3);
        i32 nd = 1 + static_cast<i32>(rng() % 3), nr = n / nd;
        std::vector<double> xy(static_cast<std::size_t>(nd * nr) + 1, 3.0);
        io::rewind(unit);
        line();
        iohandling_getxydatapoints(&unit, xy.data(), &nd, &nr);
        EXPECT_EQ(xy.back(), 3.0);
        io::close(unit);
    }
}

}  // namespace
