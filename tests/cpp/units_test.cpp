// Output units: standard output on unit 6, files connected for appending, closed and found by
// name.
#include "base/units.hpp"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

namespace io = vorlen::io;

namespace {

class Units : public ::testing::Test {
  protected:
    std::string dir;
    void SetUp() override {
        char tmpl[] = "/tmp/vorlen_units_XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir = tmpl;
    }
    void TearDown() override {
        for (long u : {7, 8, 6, 70}) io::close(u);
        std::system(("rm -rf " + dir).c_str());
    }
    std::string path(const char* name) const { return dir + "/" + name; }
    static std::string slurp(const std::string& p) {
        std::ifstream in(p);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
};

TEST_F(Units, UnitSixIsStandardOutput) {
    EXPECT_TRUE(io::connected(6));
    testing::internal::CaptureStdout();
    EXPECT_TRUE(io::write(6, "(1H ,'X',I3)", {42}));
    EXPECT_TRUE(io::write_list(6, {"A", 1}));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), " X 42\n A 1\n");
}

TEST_F(Units, FileIsCreatedThenAppendedTo) {
    const std::string p = path("report.txt");
    ASSERT_TRUE(io::open_append(7, p));
    EXPECT_TRUE(io::connected(7));
    EXPECT_TRUE(io::write(7, "('first'/'second')"));
    EXPECT_EQ(slurp(p), "first\nsecond\n");  // written through at the end of every write
    io::close(7);
    EXPECT_FALSE(io::connected(7));
    ASSERT_TRUE(io::open_append(8, p));
    EXPECT_TRUE(io::write(8, "(I2)", {3}));
    io::close(8);
    EXPECT_EQ(slurp(p), "first\nsecond\n 3\n");
}

TEST_F(Units, ReopeningTheSameFileKeepsTheConnection) {
    const std::string p = path("dump.txt");
    ASSERT_TRUE(io::open_append(70, p));
    io::write_list(70, {"one"});
    ASSERT_TRUE(io::open_append(70, dir + "/./dump.txt"));  // same file, other name
    io::write_list(70, {"two"});
    EXPECT_EQ(io::unit_of(p), 70);
    EXPECT_EQ(slurp(p), " one\n two\n");
}

TEST_F(Units, ConnectingToAnotherFileClosesTheFirst) {
    const std::string a = path("a.txt"), b = path("b.txt");
    ASSERT_TRUE(io::open_append(7, a));
    ASSERT_TRUE(io::open_append(7, b));
    io::write(7, "('to b')");
    EXPECT_EQ(io::unit_of(a), -1);
    EXPECT_EQ(io::unit_of(b), 7);
    EXPECT_EQ(slurp(a), "");
    EXPECT_EQ(slurp(b), "to b\n");
}

TEST_F(Units, UnitSixCanBeRedirectedAndComesBack) {
    const std::string p = path("six.txt");
    ASSERT_TRUE(io::open_append(6, p));
    io::write(6, "('in file')");
    io::close(6);
    EXPECT_EQ(slurp(p), "in file\n");
    testing::internal::CaptureStdout();
    io::write(6, "('on screen')");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "on screen\n");
}

TEST_F(Units, RefusedConnectionsAndWrites) {
    EXPECT_FALSE(io::open_append(7, ""));
    EXPECT_FALSE(io::open_append(-1, path("x.txt")));
    EXPECT_FALSE(io::open_append(7, dir + "/missing/x.txt"));
    EXPECT_FALSE(io::open_append(7, std::string_view("a\0b", 3)));
    EXPECT_FALSE(io::connected(7));
    EXPECT_FALSE(io::write(7, "('x')"));
    EXPECT_FALSE(io::write_list(7, {1}));
    EXPECT_FALSE(io::write(6, "(I5"));  // malformed: nothing written
    // a failed reconnection leaves the unit on its file
    ASSERT_TRUE(io::open_append(8, path("kept.txt")));
    EXPECT_FALSE(io::open_append(8, dir + "/missing/y.txt"));
    EXPECT_EQ(io::unit_of(path("kept.txt")), 8);
}

TEST_F(Units, FreeUnitSkipsConnectedOnes) {
    EXPECT_EQ(io::free_unit(6, 6), -1);  // standard output is always connected
    ASSERT_TRUE(io::open_append(7, path("u7.txt")));
    EXPECT_EQ(io::free_unit(6, 120), 8);
    EXPECT_EQ(io::free_unit(7, 7), -1);
    EXPECT_EQ(io::unit_of(path("nothing.txt")), -1);
}

TEST_F(Units, LinesReadPaddedOrAsTheyStand) {
    const std::string p = path("lines.txt");
    const char text[] = "ab\r\nlonger line\nx\0y\r";
    std::ofstream(p, std::ios::binary).write(text, sizeof text - 1);
    ASSERT_TRUE(io::open_read(8, p));
    char buf[6];
    std::memset(buf, '#', sizeof buf);
    EXPECT_EQ(io::read_line(8, buf, 5), 2);  // the carriage return dropped, blanks to len
    EXPECT_EQ(std::string(buf, 6), "ab   #");
    EXPECT_EQ(io::read_text(8, buf, 5), 11);  // the whole length, cut to len
    EXPECT_EQ(std::string(buf, 6), "longe#");
    std::memset(buf, '#', sizeof buf);
    EXPECT_EQ(io::read_text(8, buf, 5), 3);  // the last line ends without a line end
    EXPECT_EQ(std::string(buf, 6), std::string("x\0y\r##", 6));
    EXPECT_EQ(io::read_line(8, buf, 5), -1);  // the end: nothing written
    EXPECT_EQ(io::read_text(8, buf, 5), -1);
    EXPECT_EQ(std::string(buf, 6), std::string("x\0y\r##", 6));
    EXPECT_EQ(io::read_line(7, buf, 5), -2);  // no unit
    EXPECT_EQ(io::read_text(7, buf, 5), -2);
}

TEST_F(Units, TableFullRefusesFurtherFiles) {
    int opened = 0;
    for (int u = 1000; u < 1100; ++u) opened += io::open_append(u, path("many.txt")) ? 1 : 0;
    EXPECT_EQ(opened, 64);
    for (int u = 1000; u < 1100; ++u) io::close(u);
    EXPECT_TRUE(io::open_append(7, path("after.txt")));
}

}  // namespace
