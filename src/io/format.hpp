// Formatted records: the edit-descriptor notation of the library's printed reports (quoted
// texts, nH, nX, Tc, TLn, TRn, slashes, colon, Iw[.m], Fw.d, Ew.d[Ee], Dw.d, kP, Aw, repeat
// counts, groups and format reversion), and free-format records.
//
// Rules, as formatted output has always applied them:
// - Positions. Every record starts at column 1. nX (and TRn) writes n blanks, leaving the
//   characters already written in the columns it passes; TL and T move the position without
//   writing, and a character written beyond the end of the record fills the columns skipped
//   with blanks.
// - Items. A data descriptor takes the next item; the non-data descriptors after the last item
//   are still processed up to the next data descriptor (or a colon), where output stops.
//   Items left at the end of the format end the record, and the format goes on from the group
//   whose closing parenthesis is last (with its repeat count), or from its start.
// - Numbers. Iw.m writes at least m digits; Fw.d rounds to d decimals; under kP (in force from
//   where it stands until the next kP; 0P at the start of every write) Fw.d writes the value
//   times 10^k, and Ew.d / Dw.d write, for k <= 0, "0." with -k zeros and d + k significant
//   digits, for k > 0, k digits before the point and d - k + 1 after it (d + 1 significant
//   digits under 1P). The exponent is a letter, sign and two digits, or a sign and three
//   digits without the letter above 99; Ew.dEe writes e digits. The zero before the point is
//   left out when the field is one column short. A negative value (or negative zero) carries
//   a minus sign. A number that does not fit fills its field with asterisks; so does an item
//   of the wrong kind (a real on Iw, a number on Aw); an integer on F, E or D is written as a
//   real. Infinities and NaN are written "Inf", "Infinity", "-Inf", "NaN" as the width allows.
// - Texts. Aw writes the text right-aligned in w columns, or its first w characters; A the
//   whole text.
// Blanks outside quoted texts and Hollerith characters, and the case of descriptor letters,
// carry no meaning. Nothing here throws; record buffers come from the library's allocation path.
#pragma once
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string_view>

#include "core/view.hpp"

namespace vorlen::io {

// One output item: an integer, a real, a text, or a strided array of integers or reals (which
// stands for its elements in order, like an implied loop).
struct Item {
    enum class Kind : std::uint8_t { integer, real, text, integers, reals };
    Kind kind;
    i64 count = 1;   // elements of an array item
    i64 stride = 1;  // distance between elements of an array item
    union {
        i64 i;
        double d;
        const char* s;
        const i32* ip;
        const double* dp;
    };
    std::size_t len = 0;  // text length

    Item(i32 v) : kind(Kind::integer), i(v) {}
    Item(i64 v) : kind(Kind::integer), i(v) {}
    Item(double v) : kind(Kind::real), d(v) {}
    Item(std::string_view t) : kind(Kind::text), s(t.data()), len(t.size()) {}
    Item(const char* t) : Item(std::string_view(t)) {}

    // n elements p[0], p[stride], ... (n below 0 counts as 0).
    static Item ints(const i32* p, i64 n, i64 stride = 1) {
        Item it(Kind::integers, n, stride);
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

// Writes the records of one formatted write: at least one record, more at slashes and at
// format reversion. A malformed format writes nothing and returns false.
bool format(std::string_view fmt, std::span<const Item> items, Sink sink);

// Writes one free-format record: a blank, then the items separated by blanks (integers in
// decimal, reals in the shortest form that reads back to the same double, texts as they
// stand); no items give an empty record.
void list(std::span<const Item> items, Sink sink);

// A file name held in a fixed-length character variable: up to its first zero byte, without
// trailing blanks.
std::string_view trimmed(const char* s, std::size_t n);

}  // namespace vorlen::io
