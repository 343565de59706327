// Formatted records, one edit descriptor at a time, with the examples of the report formats;
// free-format records.
#include "io/format.hpp"

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
                      Case{"", {}, "<malformed>"}));

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
