// Formatted records: the edit-descriptor notation of the library's printed reports and of
// integers edited into texts (quoted texts, nH, nX, Tc, TLn, TRn, slashes, colon, Iw[.m],
// Bw[.m], Ow[.m], Zw[.m], Gw[.d[Ee]], Fw.d, Ew.d[Ee], Dw.d, kP, Aw, the sign modes S, SP, SS,
// repeat counts, groups and format reversion), and free-format records.
//
// Rules, as formatted output has always applied them:
// - Positions. Every record starts at column 1. nX (and TRn) writes n blanks, leaving the
//   characters already written in the columns it passes; TL and T move the position without
//   writing, and a character written beyond the end of the record fills the columns skipped
//   with blanks. In a record written into a text (an internal write) nX and TRn only move the
//   position: the record ends with the last character written.
// - Items. A data descriptor takes the next item; the non-data descriptors after the last item
//   are still processed up to the next data descriptor (or a colon), where output stops.
//   Items left at the end of the format end the record, and the format goes on from the group
//   whose closing parenthesis is last (with its repeat count), or from its start.
// - Integers. Iw.m writes at least m digits (m at most w, unless w is 0); Bw.m, Ow.m and Zw.m
//   write the bits of the integer (32 of a 32-bit item, 64 of a 64-bit one) in base 2, 8 or 16,
//   without a sign; Gw.d writes an integer as Iw. A zero under Iw.0 is written as blanks.
// - Reals. Fw.d rounds to d decimals; under kP (in force from where it stands until the next
//   kP; 0P at the start of every write) Fw.d writes the value times 10^k, and Ew.d / Dw.d
//   write, for k <= 0, "0." with -k zeros and d + k significant digits, for k > 0, k digits
//   before the point and d - k + 1 after it (d + 1 significant digits under 1P). The exponent
//   is a letter, sign and two digits, or a sign and three digits without the letter above 99;
//   Ew.dEe writes e digits. The zero before the point is left out when the field is one column
//   short. Infinities and NaN are written "Inf", "Infinity", "-Inf", "NaN" as the width allows.
// - Signs. A negative value (or negative zero) carries a minus sign; under SP a value that is
//   not negative carries a plus sign, under S and SS (and at the start of every write) none.
// - Modes. BN and BZ (blanks on input) have no effect; DC writes reals with a decimal comma
//   until DP; RN and RP round to nearest, as every write does; this writer has no directed
//   rounding of reals (RU, RD, RZ, RC, in force until RN or RP). Integers are written alike
//   under every mode.
// - Texts. Aw writes the text right-aligned in w columns, or its first w characters; A the
//   whole text.
// - Kinds. I, B, O, Z and G write integers, F, E and D reals, A texts; ENw.d, ESw.d and Lw are
//   read but write no item here. A write to a sink writes an integer under F, E or D as a real
//   and fills with asterisks the field of any other item its descriptor cannot write (or of a
//   real under directed rounding), as of a number too wide for its field; an internal write
//   fails on such an item instead, with the reason.
// Blanks outside quoted texts and Hollerith characters, and the case of descriptor letters,
// carry no meaning. Nothing here throws; record buffers come from the library's allocation path.
#pragma once
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string_view>

#include "base/view.hpp"
#include "base/work.hpp"

namespace vorlen::io {

// One output item: an integer, a real, a text, or a strided array of integers or reals (which
// stands for its elements in order, like an implied loop).
struct Item {
    enum class Kind : std::uint8_t { integer, real, text, integers, reals };
    Kind kind;
    std::uint8_t bytes = 8;  // size of an integer (of the elements of an integer array)
    i64 count = 1;           // elements of an array item (1 for a single value)
    i64 stride = 1;          // distance between elements of an array item
    union {
        i64 i;
        double d;
        const char* s;
        const i32* ip;
        const double* dp;
    };
    std::size_t len = 0;  // text length

    Item(i32 v) : kind(Kind::integer), bytes(4), i(v) {}
    Item(i64 v) : kind(Kind::integer), i(v) {}
    Item(double v) : kind(Kind::real), d(v) {}
    Item(std::string_view t) : kind(Kind::text), s(t.data()), len(t.size()) {}
    Item(const char* t) : Item(std::string_view(t)) {}

    // n elements p[0], p[stride], ... (n below 0 counts as 0).
    static Item ints(const i32* p, i64 n, i64 stride = 1) {
        Item it(Kind::integers, n, stride);
        it.bytes = 4;
        it.ip = p;
        return it;
    }
    static Item reals(const double* p, i64 n, i64 stride = 1) {
        Item it(Kind::reals, n, stride);
        it.dp = p;
        return it;
    }

  private:
    Item(Kind k, i64 n, i64 st) : kind(k), count(n < 0 ? 0 : n), stride(st), i(0) {}
};

// Receiver of finished records (without line ends).
struct Sink {
    void (*put)(void* ctx, const char* record, std::size_t len);
    void* ctx;
};

namespace detail {

// The operations of a compiled format; the data descriptors, which take items, from I on.
enum class Op : std::uint8_t {
    open,
    close,
    text,
    skip,
    back,
    tab,
    slash,
    colon,
    scale,
    sign,
    decimal,
    round,
    I,
    B,
    O,
    Z,
    F,
    E,
    D,
    A,
    other  // EN, ES, L: no item to write
};

// One compiled descriptor: plain data, so that no more of a format's token buffer is set up
// than its tokens fill; `token` gives one with its defaults.
struct Token {
    Op op;
    char quote;     // text: its quote character where it holds doubled ones, else 0
    i32 rep;        // repeat count of a group, descriptor or slash (1)
    i32 w;          // width (A: -1 for the whole text); skip, back, tab: the count or column
    i32 d;          // decimals; scale: the factor; sign, decimal, round: 1 for SP, DC, RU...
    i32 e;          // E: exponent digits (0 default); I, B, O, Z: minimum digits (-1 none)
    i32 link;       // open: its close; close: its open
    const char* s;  // text
    i32 len;
};

constexpr Token token(Op op) { return {op, 0, 1, -1, 0, 0, 0, nullptr, 0}; }

class Record;  // the record being written (format.cpp)

}  // namespace detail

// A format compiled once, for any number of writes. The text is read up to the parenthesis
// that closes the format; what follows it is not read.
class Format {
  public:
    explicit Format(std::string_view fmt);
    Format(const Format&) = delete;
    Format& operator=(const Format&) = delete;

    // Why the format is malformed ("unknown edit descriptor", ...); null when it is not.
    const char* error() const { return error_; }
    // Characters of the text up to the closing parenthesis, inclusive.
    std::size_t size() const { return size_; }

    // The records of one write, to sink; false, writing nothing, for a malformed format.
    bool write(std::span<const Item> items, Sink sink) const;

    // An internal write: one record into the text buf(0:len-1), its characters beyond len left
    // out and the characters of buf after the record left as they are. Returns the length of
    // the record, which may exceed len; or -1 with the reason in *why (when why is not null),
    // for a malformed format, an item the format cannot write, or a second record (a slash,
    // format reversion); buf may then hold part of the record.
    i64 write(char* buf, i64 len, std::span<const Item> items, const char** why = nullptr) const;

  private:
    class Parser;
    const char* run(std::span<const Item> items, detail::Record& r, const Sink* sink) const;

    Work<detail::Token, 64> tokens_;
    i32 n_ = 0;       // tokens: tokens_[0] the outer group, tokens_[n_-1] its close
    i32 groups_ = 0;  // groups inside the outer one
    i32 revert_ = 0;  // token where reversion resumes (0: just after the outer parenthesis)
    bool revert_has_data_ = false;
    const char* error_ = nullptr;
    std::size_t size_ = 0;
};

// Writes the records of one formatted write: at least one record, more at slashes and at
// format reversion. A malformed format, or text after it other than blanks, writes nothing and
// returns false.
bool format(std::string_view fmt, std::span<const Item> items, Sink sink);

// Writes one free-format record: a blank, then the items separated by blanks (integers in
// decimal, reals in the shortest form that reads back to the same double, texts as they
// stand); no items give an empty record.
void list(std::span<const Item> items, Sink sink);

// A file name held in a fixed-length character variable: up to its first zero byte, without
// trailing blanks.
std::string_view trimmed(const char* s, std::size_t n);

}  // namespace vorlen::io
