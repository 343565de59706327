// Formatted records, one edit descriptor at a time, with the examples of the report formats;
// free-format records.
#include "base/format.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace {

using vorlen::io::Item;

// The records of one write, each followed by a line end; "<malformed>" when refused.
std::string render(std::string_view fmt, std::vector<Item> items = {}) {
    std::string out;
    auto put = [](void* ctx, const char* rec, std::size_t n) {
        static_cast<std::string*>(ctx)->append(rec, n).push_back('\n');
    };
    if (!vorlen::io::format(fmt, items, {put, &out})) return "<malformed>";
    return out;
}

std::string render_list(std::vector<Item> items) {
    std::string out;
    auto put = [](void* ctx, const char* rec, std::size_t n) {
        static_cast<std::string*>(ctx)->append(rec, n).push_back('\n');
    };
    vorlen::io::list(items, {put, &out});
    return out;
}

struct Case {
    const char* fmt;
    std::vector<Item> items;
    const char* expected;
};
void PrintTo(const Case& c, std::ostream* os) { *os << c.fmt; }

class Descriptor : public ::testing::TestWithParam<Case> {};

TEST_P(Descriptor, WritesTheRecords) {
    const Case& c = GetParam();
    EXPECT_EQ(render(c.fmt, c.items), c.expected) << "format " << c.fmt;
}

const double inf = std::numeric_limits<double>::infinity();
const double nan = std::numeric_limits<double>::quiet_NaN();

INSTANTIATE_TEST_SUITE_P(
    Texts, Descriptor,
    ::testing::Values(Case{"('GURTPARAMETER')", {}, "GURTPARAMETER\n"},
                      Case{"('it''s')", {}, "it's\n"},
                      Case{"(1H0,'DA OFFENES',        ' PROFIL \"KEINE\" DRILL')",
                           {},
                           "0DA OFFENES PROFIL \"KEINE\" DRILL\n"},
                      Case{"(\"a'b\",'\"\"')", {}, "a'b\"\"\n"}, Case{"(1H ,'X')", {}, " X\n"},
                      Case{"(1H+,1h0)", {}, "+0\n"},
                      Case{"(3Hab ,1H,)", {}, "ab ,\n"},  // Hollerith characters stand as they are
                      Case{"('1'/' -----')", {}, "1\n -----\n"}));

INSTANTIATE_TEST_SUITE_P(
    Positions, Descriptor,
    ::testing::Values(Case{"('A',3X,'B')", {}, "A   B\n"},
                      Case{"('A',3X)", {}, "A   \n"},  // blanks at the end of the record too
                      Case{"('ABCDEF',T2,2X,'x')", {}, "ABCxEF\n"},  // passing over written text
                      Case{"('AB',T5,2X)", {}, "AB    \n"}, Case{"(T5,'X')", {}, "    X\n"},
                      Case{"('ABCDEF',T3,'x')", {}, "ABxDEF\n"},
                      Case{"('ABCDEF',TL2,'x',TR1,'y')", {}, "ABCDxFy\n"},
                      Case{"(1H0,' GURT',T10,'LAENGSKRAFT (K)',T38,'DEHNUNG')",
                           {},
                           "0 GURT   LAENGSKRAFT (K)             DEHNUNG\n"},
                      Case{"(1H+,T21,'Q U E R'/T21,5('-')//)",
                           {},
                           "+                   Q U E R\n                    -----\n\n\n"}));

INSTANTIATE_TEST_SUITE_P(
    Slashes, Descriptor,
    ::testing::Values(Case{"('A'/'B')", {}, "A\nB\n"}, Case{"('A'//'B')", {}, "A\n\nB\n"},
                      Case{"(///'A')", {}, "\n\n\nA\n"}, Case{"('A'/)", {}, "A\n\n"},
                      Case{"(2/'A')", {}, "\n\nA\n"}, Case{"(////)", {}, "\n\n\n\n\n"}));

INSTANTIATE_TEST_SUITE_P(
    Integers, Descriptor,
    ::testing::Values(
        Case{"(I5)", {42}, "   42\n"}, Case{"(I5)", {-42}, "  -42\n"},
        Case{"(I3)", {1000}, "***\n"}, Case{"(I2)", {-10}, "**\n"},
        Case{"(I2)", {100}, "**\n"},  // a boom number of 100 in the two-digit column
        Case{"(I5.3)", {7}, "  007\n"}, Case{"(I5.3)", {-7}, " -007\n"},
        Case{"(i2.2)", {5}, "05\n"}, Case{"(I3.0)", {0}, "   \n"}, Case{"(I0)", {-123}, "-123\n"},
        Case{"(I4)", {0}, "   0\n"},
        Case{"(I21)", {std::numeric_limits<vorlen::i64>::min()}, " -9223372036854775808\n"}));

INSTANTIATE_TEST_SUITE_P(
    OtherBases, Descriptor,
    ::testing::Values(
        Case{"(B8)", {5}, "     101\n"}, Case{"(B8.6)", {5}, "  000101\n"},
        Case{"(O4)", {8}, "  10\n"}, Case{"(Z4)", {255}, "  FF\n"}, Case{"(z4.3)", {10}, " 00A\n"},
        Case{"(Z8)", {-1}, "FFFFFFFF\n"},                       // the 32 bits of a 32-bit item
        Case{"(Z0)", {vorlen::i64{-1}}, "FFFFFFFFFFFFFFFF\n"},  // the 64 bits of a 64-bit one
        Case{"(O0)", {-8}, "37777777770\n"}, Case{"(Z4)", {-1}, "****\n"}, Case{"(B0)", {0}, "0\n"},
        Case{"(Z3.0)", {0}, "   \n"}));

INSTANTIATE_TEST_SUITE_P(
    General, Descriptor,
    ::testing::Values(Case{"(G5)", {42}, "   42\n"}, Case{"(G5.2)", {-7}, "   -7\n"},
                      Case{"(G0)", {123}, "123\n"}, Case{"(G6.1E2)", {7}, "     7\n"},
                      Case{"(G5.1)", {1.5}, "*****\n"}));  // a real on G: not written here

INSTANTIATE_TEST_SUITE_P(
    Signs, Descriptor,
    ::testing::Values(Case{"(SP,I4)", {5}, "  +5\n"}, Case{"(SP,I4)", {-5}, "  -5\n"},
                      Case{"(SP,I3)", {0}, " +0\n"},
                      Case{"(SP,I4,SS,I4,SP,I4,S,I4)", {1, 2, 3, 4}, "  +1   2  +3   4\n"},
                      Case{"(SP,I1)", {5}, "*\n"},      // the sign counts in the width
                      Case{"(SP,I3.0)", {0}, "   \n"},  // a zero written as blanks has no sign
                      Case{"(SP,Z3,B3)", {10, 2}, "  A 10\n"},  // bits have none
                      Case{"(SP,(I3))", {1, 2}, " +1\n +2\n"},  // in force through reversion
                      Case{"(SP,F6.2)", {1.5}, " +1.50\n"}, Case{"(SP,F4.2)", {0.5}, "+.50\n"},
                      Case{"(SP,F6.2)", {-0.0}, " -0.00\n"},
                      Case{"(SP,E11.3)", {1.5}, " +0.150E+01\n"},
                      Case{"(SP,F9.1)", {inf}, "+Infinity\n"}, Case{"(SP,F5.1)", {inf}, " +Inf\n"},
                      Case{"(SP,F5.1)", {nan}, "  NaN\n"}, Case{"(sp,i3)", {7}, " +7\n"}));

INSTANTIATE_TEST_SUITE_P(
    Modes, Descriptor,
    ::testing::Values(Case{"(BN,I3,BZ,I3)", {1, 2}, "  1  2\n"},  // blanks on input only
                      Case{"(DC,F5.2)", {1.5}, " 1,50\n"},
                      Case{"(DC,E10.3,DP,F5.2)", {1.5, 1.5}, " 0,150E+01 1.50\n"},
                      Case{"(RN,F5.2,RP,F5.2)", {1.125, 1.125}, " 1.12 1.12\n"},
                      Case{"(RU,F5.2)", {1.5}, "*****\n"},  // no directed rounding of reals
                      Case{"(RC,RN,F4.1)", {1.5}, " 1.5\n"},
                      Case{"(RZ,I3,RD,Z2)", {7, 7}, "  7 7\n"}));

INSTANTIATE_TEST_SUITE_P(Unwritten,
                         Descriptor,  // descriptors read for formats that never reach them
                         ::testing::Values(Case{"(EN9.2)", {1.5}, "*********\n"},
                                           Case{"(ES9.2E3)", {1.5}, "*********\n"},
                                           Case{"(L2)", {1}, "**\n"},
                                           Case{"(I2,L2,EN9.2)", {3}, " 3\n"}));

INSTANTIATE_TEST_SUITE_P(
    Fixed, Descriptor,
    ::testing::Values(Case{"(F8.3)", {3.14159}, "   3.142\n"},
                      Case{"(f12.3)", {-1234.5678}, "   -1234.568\n"},
                      Case{"(F5.3)", {0.5}, "0.500\n"},
                      Case{"(F4.3)", {0.5}, ".500\n"},  // the optional zero gives way
                      Case{"(F3.3)", {0.5}, "***\n"}, Case{"(F6.2)", {-0.001}, " -0.00\n"},
                      Case{"(F4.1)", {123.45}, "****\n"}, Case{"(F3.0)", {7.0}, " 7.\n"},
                      Case{"(F3.0)", {0.2}, " 0.\n"},
                      Case{"(F9.2)", {180.0 * 0.3926991 / 3.141592654}, "    22.50\n"},
                      Case{"(F8.2)", {3}, "    3.00\n"},  // an integer item is written as a real
                      Case{"(F0.2)", {-2.5}, "-2.50\n"}));

INSTANTIATE_TEST_SUITE_P(
    Exponent, Descriptor,
    ::testing::Values(
        Case{"(D16.9)", {1.5}, " 0.150000000D+01\n"},  // positive: begins with a blank
        Case{"(D16.9)", {-1.5}, "-0.150000000D+01\n"}, Case{"(D16.9)", {0.0}, " 0.000000000D+00\n"},
        Case{"(D16.9)", {-0.0}, "-0.000000000D+00\n"}, Case{"(E12.3)", {12345.0}, "   0.123E+05\n"},
        Case{"(e12.3)", {0.0009996}, "   0.100E-02\n"},  // rounding carries into the exponent
        Case{"(E12.3)", {-1.0e-5}, "  -0.100E-04\n"},
        Case{"(E12.3)", {1.0e120}, "   0.100+121\n"},  // three exponent digits, no letter
        Case{"(D16.9)", {1.0e-200}, " 0.100000000-199\n"},
        Case{"(E9.3)", {-0.5}, "-.500E+00\n"},  // one column short: no zero before the point
        Case{"(E8.3)", {-0.5}, "********\n"}, Case{"(E12.3E3)", {1.0}, "  0.100E+001\n"},
        Case{"(E10.3E1)", {1.0e12}, "**********\n"}, Case{"(D13.5)", {2}, "  0.20000D+01\n"}));

INSTANTIATE_TEST_SUITE_P(
    Scale, Descriptor,
    ::testing::Values(
        Case{"(1P,D13.5)", {1.5}, "  1.50000D+00\n"},  // d + 1 significant digits
        Case{"(1PD13.5)", {-123456.0}, " -1.23456D+05\n"},
        Case{"(1P,D13.5)", {0.0}, "  0.00000D+00\n"},
        Case{"(1P,2D20.10)", {1234.5, 1.0e-7}, "    1.2345000000D+03    1.0000000000D-07\n"},
        Case{"(1P,E10.3,0P,E10.3)", {1.5, 1.5}, " 1.500E+00 0.150E+01\n"},
        Case{"(2P,E12.4)", {1.5}, "  15.000E-01\n"}, Case{"(-1P,E12.4)", {1.5}, "  0.0150E+02\n"},
        Case{"(1P,F8.3)", {1.5}, "  15.000\n"},  // F writes the value times 10^k
        Case{"(1P,E9.3)", {1.5}, "1.500E+00\n"},
        Case{"(6P,E9.3)", {1.5}, "*********\n"},  // k beyond d + 1
        // in force through groups and reversion, back to 0P at the next write
        Case{"('A',1P,(D11.3))", {1.5, 2.5}, "A  1.500D+00\n  2.500D+00\n"},
        Case{"(F7.2,2(2X,2F10.5,1P,D15.5,0P))",
             {1.0, 1.0, 2.0, 3.0, 4.0, 5.0, 6.0},
             "   1.00     1.00000   2.00000    3.00000D+00     4.00000   5.00000    "
             "6.00000D+00\n"}));

INSTANTIATE_TEST_SUITE_P(NotFinite, Descriptor,
                         ::testing::Values(Case{"(F8.2)", {inf}, "Infinity\n"},
                                           Case{"(F5.2)", {inf}, "  Inf\n"},
                                           Case{"(D16.9)", {-inf}, "       -Infinity\n"},
                                           Case{"(F6.1)", {-inf}, "  -Inf\n"},
                                           Case{"(E10.3)", {nan}, "       NaN\n"},
                                           Case{"(F2.1)", {nan}, "**\n"}));

INSTANTIATE_TEST_SUITE_P(Characters, Descriptor,
                         ::testing::Values(Case{"(A5)", {"ab"}, "   ab\n"},
                                           Case{"(A2)", {"abcd"}, "ab\n"},
                                           Case{"(A)", {"abc"}, "abc\n"},
                                           Case{"(a8,a8,a25)",
                                                {"NOEL", "NPT", "x"},
                                                "    NOEL     NPT                        x\n"},
                                           Case{"(A3)", {5}, "***\n"},  // a number on A
                                           Case{"(I3)", {"a"}, "***\n"},
                                           Case{"(I3)", {1.0}, "***\n"}));  // a real on I

INSTANTIATE_TEST_SUITE_P(
    Repeats, Descriptor,
    ::testing::Values(Case{"(3I3)", {1, 2, 3}, "  1  2  3\n"},
                      Case{"(i3,2f12.3,2e12.3)",
                           {1, 1.0, -1.0, 1000.0, 0.5},
                           "  1       1.000      -1.000   0.100E+04   0.500E+00\n"},
                      Case{"(2(I2,'x'))", {1, 2}, " 1x 2x\n"},
                      Case{"(2(I1,2('-',I1)))", {1, 2, 3, 4, 5, 6}, "1-2-34-5-6\n"},
                      Case{"(1H ,I4,3(3X,D16.9))",
                           {7, 1.0, -2.0, 0.0},
                           "    7    0.100000000D+01   -0.200000000D+01    0.000000000D+00\n"},
                      Case{"(T3,4('-'))", {}, "  ----\n"}));

INSTANTIATE_TEST_SUITE_P(
    Reversion, Descriptor,
    ::testing::Values(
        Case{"(I2)", {1, 2, 3}, " 1\n 2\n 3\n"},  // no group: from the start
        Case{"('H',(I2))", {1, 2, 3}, "H 1\n 2\n 3\n"},
        Case{"('A',2(I2))", {1, 2, 3, 4, 5}, "A 1 2\n 3 4\n 5\n"},     // with the group's count
        Case{"((I1),'x',(I2))", {1, 2, 3}, "1x 2\n 3\n"},              // the last group
        Case{"('(',2(I1,(I1)),')')", {1, 2, 3, 4, 5}, "(1234)\n5\n"},  // outermost last group
        Case{"((3I2))", {1, 2, 3, 4}, " 1 2 3\n 4\n"},
        Case{"(1H0,'FEHLERVEKTOR'//(1H ,D16.9))",
             {1.0, 2.0},
             "0FEHLERVEKTOR\n\n  0.100000000D+01\n  0.200000000D+01\n"},
        Case{"('X')", {1, 2}, "X\n"}));  // no data descriptor to take the items: stops

INSTANTIATE_TEST_SUITE_P(
    ItemsRunOut, Descriptor,
    ::testing::Values(Case{"(I2,' end')", {1}, " 1 end\n"},
                      Case{"(I2,' A',I2,' B')", {1}, " 1 A\n"}, Case{"(I2,:,' A')", {1}, " 1\n"},
                      Case{"(2F6.1,I5,1P,2D20.10,D15.5,'  (',I1,') *****' )",
                           {1.0, 2.0, -3},
                           "   1.0   2.0   -3\n"},
                      Case{"(I5)", {}, "\n"}, Case{"('X',I5,'Y')", {}, "X\n"},
                      Case{"(I2/)", {1}, " 1\n\n"},
                      Case{"(1H0,'FEHLERVEKTOR'//(1H ,D16.9))", {}, "0FEHLERVEKTOR\n\n \n"}));

INSTANTIATE_TEST_SUITE_P(
    BlanksAndCase, Descriptor,
    ::testing::Values(Case{"( 1 x , i 3 )", {5}, "   5\n"},
                      Case{"(t4 , 'a' , 1 p , d 1 3 . 5)", {1.0}, "   a  1.00000D+00\n"},
                      Case{"  (//1H                                 ,'NR',9X,'YI ')  ",
                           {},
                           "\n\n NR         YI \n"}));

INSTANTIATE_TEST_SUITE_P(
    Malformed, Descriptor,
    ::testing::Values(Case{"I5", {1}, "<malformed>"}, Case{"(I5", {1}, "<malformed>"},
                      Case{"(I5))", {1}, "<malformed>"}, Case{"(Q5)", {1}, "<malformed>"},
                      Case{"(F5)", {1.0}, "<malformed>"}, Case{"(E0.3)", {1.0}, "<malformed>"},
                      Case{"('abc)", {}, "<malformed>"}, Case{"(5Hab)", {}, "<malformed>"},
                      Case{"(0X)", {}, "<malformed>"}, Case{"(T0)", {}, "<malformed>"},
                      Case{"(A0)", {"a"}, "<malformed>"}, Case{"(I999999)", {1}, "<malformed>"},
                      Case{"", {}, "<malformed>"}, Case{"(I2.3)", {1}, "<malformed>"},
                      Case{"(Z)", {1}, "<malformed>"}, Case{"(+2X)", {}, "<malformed>"},
                      Case{"(P,I2)", {1}, "<malformed>"}, Case{"(RX,I2)", {1}, "<malformed>"},
                      Case{"(2SP,I2)", {1}, "<malformed>"}, Case{"(0I3)", {1}, "<malformed>"},
                      Case{"(ES0.2)", {1.0}, "<malformed>"}, Case{"(L0)", {}, "<malformed>"},
                      // a mode takes no count, not even 1
                      Case{"(1BZ,I5)", {1}, "<malformed>"}, Case{"(I5,1BN)", {1}, "<malformed>"},
                      Case{"(1DC,I5)", {1}, "<malformed>"},
                      Case{"(1DP,F5.1)", {1.0}, "<malformed>"},
                      Case{"(2BZ,I5)", {1}, "<malformed>"}));

// Why a format is malformed.
struct Reason {
    const char* fmt;
    const char* why;
};
void PrintTo(const Reason& c, std::ostream* os) { *os << c.fmt; }

class Malformed : public ::testing::TestWithParam<Reason> {};

TEST_P(Malformed, NamesTheFault) {
    const vorlen::io::Format f(GetParam().fmt);
    ASSERT_NE(f.error(), nullptr);
    EXPECT_STREQ(f.error(), GetParam().why);
}

INSTANTIATE_TEST_SUITE_P(
    Reasons, Malformed,
    ::testing::Values(
        Reason{"I5", "format does not start with ("}, Reason{"(I5", "missing )"},
        Reason{"(2'a')", "a count must precede a group or a descriptor"},
        Reason{"(2T3)", "a count must precede a group or a descriptor"},
        Reason{"(0(I2))", "repeat count below 1"}, Reason{"(0X)", "repeat count below 1"},
        Reason{"('ab)", "unterminated text"}, Reason{"(H)", "bad H descriptor"},
        Reason{"(5Hab)", "bad H descriptor"}, Reason{"(TL)", "T, TL and TR need a position"},
        Reason{"(T0)", "T, TL and TR need a position"}, Reason{"(I5.)", "digits expected after ."},
        Reason{"(E9.2E)", "digits expected after E"}, Reason{"(I)", "width required"},
        Reason{"(G)", "width required"}, Reason{"(I2.3)", "minimum digits exceed the width"},
        Reason{"(Q5)", "unknown edit descriptor"}, Reason{"(F5)", "w.d required"},
        Reason{"(E0.3)", "positive width required"}, Reason{"(A0)", "positive width required"},
        Reason{"(I999999)", "number too large"}, Reason{"(-2X)", "a sign may only precede P"},
        Reason{"(1BZ,I5)", "a count must precede a group or a descriptor"},
        Reason{"(1DC,I5)", "a count must precede a group or a descriptor"}));

TEST(Format, ReadsUpToItsClosingParenthesis) {
    const vorlen::io::Format f("(I3)abc");
    EXPECT_EQ(f.error(), nullptr);
    EXPECT_EQ(f.size(), 4u);
    EXPECT_EQ(vorlen::io::Format(" ( I3 ) ").size(), 7u);
    EXPECT_EQ(render("(I3)abc", {1}), "<malformed>");  // a whole format text must be the format
    EXPECT_EQ(render("(I3)  ", {1}), "  1\n");
}

// An internal write of items into a text of len characters, from '.'s: the record's length and
// the text.
std::pair<vorlen::i64, std::string> internal(const vorlen::io::Format& f, std::size_t len,
                                             std::vector<Item> items = {}) {
    std::string text(len, '.');
    const char* why = "not set";
    const vorlen::i64 n = f.write(text.data(), static_cast<vorlen::i64>(len), items, &why);
    EXPECT_EQ(why, nullptr) << why;
    return {n, text};
}

TEST(Internal, WritesOneRecordIntoTheText) {
    const vorlen::io::Format f("(I5,',')");
    EXPECT_EQ(internal(f, 8, {42}), std::make_pair(vorlen::i64{6}, std::string("   42,..")));
    EXPECT_EQ(internal(f, 8, {-7}), std::make_pair(vorlen::i64{6}, std::string("   -7,..")));
    EXPECT_EQ(internal(f, 3, {12345}), std::make_pair(vorlen::i64{6}, std::string("123")));
    EXPECT_EQ(internal(f, 0, {1}).first, 6);
    EXPECT_EQ(f.write(nullptr, 0, std::vector<Item>{1}), 6);
    EXPECT_EQ(internal(vorlen::io::Format("('a''b')"), 4),
              std::make_pair(vorlen::i64{3}, std::string("a'b.")));
}

TEST(Internal, PositionsWithoutTrailingBlanks) {
    using vorlen::io::Format;
    EXPECT_EQ(internal(Format("(I2,5X)"), 9, {1}),
              std::make_pair(vorlen::i64{2}, std::string(" 1.......")));
    EXPECT_EQ(internal(Format("(I2,TR5,'a')"), 9, {1}),
              std::make_pair(vorlen::i64{8}, std::string(" 1     a.")));
    EXPECT_EQ(internal(Format("(X,I2)"), 4, {1}),
              std::make_pair(vorlen::i64{3}, std::string("  1.")));
    EXPECT_EQ(internal(Format("(I5,TL3,'x')"), 6, {12345}),
              std::make_pair(vorlen::i64{5}, std::string("12x45.")));
    EXPECT_EQ(internal(Format("(T4,'x',T1,'y')"), 5, {}),
              std::make_pair(vorlen::i64{4}, std::string("y  x.")));
}

TEST(Internal, RecordsBeyondTheStackBuffer) {
    const vorlen::io::Format f("(T600,'x',I3)");
    const auto [n, text] = internal(f, 700, {7});
    EXPECT_EQ(n, 603);
    EXPECT_EQ(text.substr(0, 599), std::string(599, ' '));
    EXPECT_EQ(text.substr(599, 4), "x  7");
    const auto [m, cut] = internal(f, 10, {7});
    EXPECT_EQ(m, 603);
    EXPECT_EQ(cut, std::string(10, ' '));
}

TEST(Internal, FailsWithTheReason) {
    struct Fail {
        const char* fmt;
        std::vector<Item> items;
        const char* why;
    };
    const Fail cases[] = {
        {"(I2/)", {1}, "the record ends at /"},
        {"(/I2)", {1}, "the record ends at /"},
        {"(I2)", {1, 2}, "the items outlast the record"},
        {"('x')", {1}, "no descriptor writes the integer"},
        {"()", {1.0}, "no descriptor writes the real"},
        {"(F5.2)", {1}, "the descriptor cannot write an integer"},
        {"(I3)", {1.0}, "the descriptor cannot write a real"},
        {"(I3)", {"a"}, "the descriptor cannot write a text"},
        {"(L2)", {1}, "the descriptor cannot write an integer"},
        {"(RU,F5.2)", {1.5}, "the descriptor cannot write a real"},
        {"(Q)", {1}, "unknown edit descriptor"},
    };
    for (const Fail& c : cases) {
        std::string text(4, '.');
        const char* why = nullptr;
        EXPECT_EQ(vorlen::io::Format(c.fmt).write(text.data(), 4, c.items, &why), -1) << c.fmt;
        EXPECT_STREQ(why, c.why) << c.fmt;
    }
    // what stops before a slash or the next data descriptor is no fault
    EXPECT_EQ(internal(vorlen::io::Format("(I2:/)"), 2, {1}).first, 2);
    EXPECT_EQ(internal(vorlen::io::Format("(I2,F5.2)"), 2, {1}).first, 2);
    EXPECT_EQ(internal(vorlen::io::Format("(F5.2)"), 5, {1.5}).second, " 1.50");
}

TEST(Format, TimestampLineOfTheChecks) {
    EXPECT_EQ(render("(i2,1x,a,1x,i4,2x,i2,a1,i2.2,a1,i2.2,a1,i3.3,1x,a)",
                     {31, "January", 2024, 2, ":", 5, ":", 9, ".", 9, "PM"}),
              "31 January 2024   2:05:09.009 PM\n");
}

TEST(Format, LoadRecordsOfTheBoxBeamReport) {
    EXPECT_EQ(render("(//5X,'KRAEFTE UND MOMENTE BEZOGEN AUF QUERSCHNITTSKO',            "
                     "'ORDINATEN:'/3X,'QX = ',D16.9,5X,                                 "
                     "'QY = ',D16.9,5X,'QZ = ',D16.9/3X,'MX = ',D16.9,                  "
                     "5X,'MY = ',D16.9,5X,'MZ = ',D16.9///)",
                     {1.0, 0.0, -2.0, 0.5, 100.0, -0.25}),
              "\n\n     KRAEFTE UND MOMENTE BEZOGEN AUF QUERSCHNITTSKOORDINATEN:\n"
              "   QX =  0.100000000D+01     QY =  0.000000000D+00     QZ = -0.200000000D+01\n"
              "   MX =  0.500000000D+00     MY =  0.100000000D+03     MZ = -0.250000000D+00\n"
              "\n\n\n");
}

TEST(Format, ArrayItemsStandForTheirElements) {
    const double c[2 * 3] = {1, 2, 3, 4, 5, 6};  // 2 by 3, column-major
    const vorlen::i32 ia[3] = {7, 8, 9};
    EXPECT_EQ(render("((10F4.0))", {Item::reals(c + 1, 3, 2)}), "  2.  4.  6.\n");  // row 2
    EXPECT_EQ(render("(i3,4i8)", {1, Item::ints(ia, 3), 0}),
              "  1       7       8       9       0\n");
    EXPECT_EQ(render("(I2,'|',I2)", {Item::ints(ia, 0), 5, 6}), " 5| 6\n");  // empty array
    std::vector<double> v(12);
    for (int k = 0; k < 12; ++k) v[k] = k + 1;
    EXPECT_EQ(render("((10D13.5))", {Item::reals(v.data(), 12)}),
              "  0.10000D+01  0.20000D+01  0.30000D+01  0.40000D+01  0.50000D+01"
              "  0.60000D+01  0.70000D+01  0.80000D+01  0.90000D+01  0.10000D+02\n"
              "  0.11000D+02  0.12000D+02\n");
}

TEST(Format, LongRecordsAndWideFields) {
    const std::string r = render("(T2000,'x',F300.2)", {1.0});
    ASSERT_EQ(r.size(), 2000u + 300u + 1u);
    EXPECT_EQ(r.substr(1999, 1), "x");
    EXPECT_EQ(r.substr(2000 + 296, 5), "1.00\n");
    EXPECT_EQ(render("(E40.30)", {1.0 / 3.0}).size(), 41u);
    EXPECT_EQ(render("(F330.1)", {1.0e308}).substr(0, 10), std::string(10, ' '));
}

TEST(List, BlankThenItemsSeparatedByBlanks) {
    EXPECT_EQ(render_list({"Wand:", 3}), " Wand: 3\n");
    EXPECT_EQ(render_list({"PHIK,ZKLK,ZK0", 0.5, -1.0, 1e-300}), " PHIK,ZKLK,ZK0 0.5 -1 1e-300\n");
    const double third = 1.0 / 3.0;
    const std::string r = render_list({third});
    EXPECT_EQ(std::stod(r.substr(1)), third);  // reads back to the same double
    EXPECT_EQ(render_list({}), "\n");
}

TEST(Trimmed, StopsAtZeroByteAndDropsTrailingBlanks) {
    const char name[12] = {'a', '.', 't', 'x', 't', ' ', ' ', '\0', 'z', 'z', 'z', 'z'};
    EXPECT_EQ(vorlen::io::trimmed(name, sizeof name), "a.txt");
    const char blanks[4] = {' ', ' ', ' ', ' '};
    EXPECT_EQ(vorlen::io::trimmed(blanks, 4), "");
    const char full[3] = {'a', 'b', 'c'};
    EXPECT_EQ(vorlen::io::trimmed(full, 3), "abc");
}

}  // namespace
