// The text routines called from C: outputs that are also inputs, absent optional arguments,
// lengths the Python binding never passes, and the short texts of int2str.
#include <gtest/gtest.h>

#include <string>

#include "core/stringhandling.hpp"

using namespace vorlen;
using namespace vorlen::stringhandling;

namespace {

i32 len(const std::string& s) { return static_cast<i32>(s.size()); }

}  // namespace

TEST(StringHandling, OutputsThatAreInputs) {
    std::string line = "KEY, Type=A";
    const i32 n = len(line);
    stringhandling_lowercase(line.data(), line.data(), &n, &n);
    EXPECT_EQ(line, "key, type=a");

    // a = s and b inside s
    std::string s = "KEY, TYPE=A" + std::string(9, '.');
    stringhandling_split(s.data(), s.data() + 4, s.data(), ",", &n, &n);
    EXPECT_EQ(s, "KEY  TYPE=A    .....");

    // a replacement that grows the text in place
    std::string r = "a,b,c     ";
    const i32 nr = len(r), one = 1, two = 2;
    stringhandling_replacetext(r.data(), ",", ";;", r.data(), &nr, &nr, &one, &two);
    EXPECT_EQ(r, "a;;b;;c   ");

    std::string blanks = "  a   b   ";
    const i32 nb = len(blanks);
    stringhandling_reduceblanks(blanks.data(), blanks.data(), &nb, &nb);
    EXPECT_EQ(blanks, " a b      ");

    // the result written over the start of the text it is taken from
    std::string tag = "mat_s@ 12@";
    const i32 nt = len(tag), three = 3;
    stringhandling_extract(tag.data(), tag.data(), "_s@", "@", &nt, &nt, &three, &one);
    EXPECT_EQ(tag, "12        ");

    // a copy one character further on
    std::string shift = "abcdef";
    const i32 five = 5;
    stringhandling_copys2a(shift.data(), shift.data() + 1, &five, &five);
    EXPECT_EQ(shift, "aabcde");

    // ia over the characters it is read from
    std::string codes = "AB\xff\x00"
                        "????????";
    const i32 four = 4;
    i32* ia = reinterpret_cast<i32*>(codes.data());  // std::string data is suitably aligned
    stringhandling_str2ascii(ia, codes.data(), &four, &four);
    EXPECT_EQ(ia[0], 65);
    EXPECT_EQ(ia[1], 66);
    EXPECT_EQ(ia[2], 255);
    EXPECT_EQ(ia[3], 0);
}

TEST(StringHandling, Int2aformatOverItsFormat) {
    std::string text = "(I3,',')" + std::string(8, '.');
    const i32 jrray[2] = {1, -20}, jmax = 8, sout = len(text), one = 1, two = 2;
    stringhandling_int2aformat(text.data(), jrray, text.data(), &jmax, &sout, &one, &two);
    EXPECT_EQ(text, "1,-20,          ");
}

TEST(StringHandling, AbsentCaseFlagCountsExactly) {
    const std::string s = "Aaaa";
    const i32 ls = len(s), lt = 2, zero = 0;
    EXPECT_EQ(stringhandling_tally(s.data(), "aa", nullptr, &ls, &lt), 2);
    EXPECT_EQ(stringhandling_tally(s.data(), "aa", &zero, &ls, &lt), 3);
}

TEST(StringHandling, NegativeLengthsAreEmptyTexts) {
    const i32 neg = -4, n = 3;
    EXPECT_EQ(stringhandling_countitems("1 2", &neg), 0);
    EXPECT_EQ(stringhandling_clen("abc", &neg), 0);
    EXPECT_EQ(stringhandling_tally("abc", "", nullptr, &neg, &neg), 1);
    char out[3] = {'x', 'x', 'x'};
    stringhandling_ctrim(out, "abc", &n, &neg);
    EXPECT_EQ(std::string(out, 3), "   ");
    stringhandling_lowercase(out, "ABC", &neg, &n);  // nothing written for a count below 1
    EXPECT_EQ(std::string(out, 3), "   ");
}

TEST(StringHandling, Int2strIntoShortTexts) {
    char ca[2];
    i32 istat = 7;
    const i32 v = -5, two = 2, one = 1;
    stringhandling_int2str(&v, ca, &istat, &two);
    EXPECT_EQ(istat, 0);
    EXPECT_EQ(std::string(ca, 2), "-5");
    stringhandling_int2str(&v, ca, &istat, &one);
    EXPECT_NE(istat, 0);
    EXPECT_EQ(ca[0], ' ');
}

TEST(StringHandling, Str2intKeepsTheValueOnFailure) {
    i32 integ = 11, istat = 0;
    const std::string bad = "12ab", blank = "   ";
    const i32 lb = len(bad), lbl = len(blank);
    stringhandling_str2int(bad.data(), &integ, &istat, &lb);
    EXPECT_GT(istat, 0);
    EXPECT_EQ(integ, 11);
    stringhandling_str2int(blank.data(), &integ, &istat, &lbl);
    EXPECT_LT(istat, 0);
    EXPECT_EQ(integ, 11);
}

TEST(StringHandling, ViewsForTheCardReaders) {
    EXPECT_TRUE(match("*Elastic  ", "*ELASTIC"));
    EXPECT_EQ(countitems("1.0, 2.0\t3.0"), 3);
    EXPECT_TRUE(occurs("*SECTION, TYPE=ELEMENT", "type=element"));
    i32 integ = 0;
    EXPECT_EQ(str2int(" 42,", integ), 0);
    EXPECT_EQ(integ, 42);
}
