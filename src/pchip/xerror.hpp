// Error package of the piecewise cubic Hermite routines: the saved-parameter table with its
// control flag, the message record, the line printer and the reporter, with the integer, single
// and double machine constants the package uses. All output goes to standard output (unit 6).
// The state is process-wide and unlocked.
//
// The C entries follow the calling convention of the package's exported names (lower case with
// a trailing underscore): every argument by address, and the length of each text argument
// appended as a value after the other arguments, in the order of the texts.
#pragma once
#include <cstddef>
#include <string_view>

#include "base/view.hpp"

extern "C" {

// Entry iwhich of the saved-parameter table, replaced by ivalue afterwards when iset is true.
//   iwhich (in)  1 last error number, 2 control flag, 3 first output unit (0: unit 6),
//                4 prints allowed per message, 5 number of units, 6..9 further units;
//                another index records code -3 in the first-error register and returns 0
//   ivalue (in)  new value when iset is true
//   iset (in)    four-byte logical
vorlen::i32 j4save_(const vorlen::i32* iwhich, const vorlen::i32* ivalue, const vorlen::i32* iset);

// The output units: n (out) the number of units (at most 5), iunita(5) (out) their numbers in
// iunita(1..n), 0 standing for unit 6.
void xgetua_(vorlen::i32* iunita, vorlen::i32* n);

// Machine constants. An index out of range prints " ", "<NAME> - Fatal error!", "  The input
// argument I is out of bounds.", "  Legal values satisfy 1 <= I <= <last>." and "  I = " with
// the index in 12 columns, and ends the process with status 1.

// Integer machine constant i (in), 1..16: 5, 6, 7, 6 (input, output, punch, error units), 32,
// 4, 2, 31 (bits, characters, base, digits of an integer), 2147483647, 2 (largest integer,
// floating base), 24, -125, 128 (single digits and exponent range), 53, -1021, 1024 (double).
vorlen::i32 i1mach_(const vorlen::i32* i);

// Single-precision constant i (in), 1..5: 2^-126 (smallest positive normal), (2 - 2^-23) 2^127
// (largest), 2^-24 and 2^-23 (smallest and largest relative spacing), log10(2).
float r1mach_(const vorlen::i32* i);

// Double-precision constant i (in), 1..5: 2^-1021 (twice the smallest positive normal),
// (2 - 2^-52) 2^1022 (half the largest), 2^-53 + 2^-104, 2^-52 (the precision), and log10(2)
// four units in the last place low (bits 0x3FD34413509F79FB).
double d1mach_(const vorlen::i32* i);

// The control flag of the reporter (entry 2 of the saved-parameter table; 2 at start).
//   xsetf: kontrl (in) -2..2 becomes the flag; another value is reported as the fatal error
//          "INVALID ARGUMENT = " with kontrl in 8 columns (routine XSETF, number 1), which ends
//          the process with status 1 under every flag
//   xgetf: kontrl (out) the flag
// Under flag 2 a recoverable error ends the process after its report, the abort line and the
// summary; 1 prints the report and returns; 0 prints nothing and returns (a fatal error prints
// its message and ends the process); -1 and -2 print the report without the level and number
// lines, -2 ending the process on a recoverable error.
void xsetf_(const vorlen::i32* kontrl);
void xgetf_(vorlen::i32* kontrl);

// Prints the message summary when a message is recorded, then empties the record.
void xerdmp_();

// Prints messg (in, text) on every output unit in lines of at most max(16, min(132, nwrap))
// characters, each after the first npref characters of prefix (in, text; all of it when npref
// is negative, at most 16). "$$" ends a line; a longer line breaks at its last blank; trailing
// blanks are ignored and a blank message prints the prefix and one blank.
void xerprn_(const char* prefix, const vorlen::i32* npref, const char* messg,
             const vorlen::i32* nwrap, std::size_t prefix_len, std::size_t messg_len);

// Message record of at most 10 distinct messages keyed by library, routine (8 characters
// each), message start (20), nerr and level.
//   kflag (in)    > 0: count the message, icount (out) its new count (0 when it found no room);
//                 <= 0: print the summary when a message is recorded; 0 also empties it
//   librar, subrou, messg (in, texts), nerr, level (in)
void xersve_(const char* librar, const char* subrou, const char* messg, const vorlen::i32* kflag,
             const vorlen::i32* nerr, const vorlen::i32* level, vorlen::i32* icount,
             std::size_t librar_len, std::size_t subrou_len, std::size_t messg_len);

// Ends the process with status 1; messg (in, text) is not printed.
[[noreturn]] void xerhlt_(const char* messg, std::size_t messg_len);

// Reports an error of a library routine.
//   librar, subrou (in, texts)  library and routine names
//   messg (in, text)            message; "$$" breaks lines
//   nerr (in)                   error number, non-zero within -9999999..99999999
//   level (in)                  -1 informative (printed once), 0 informative, 1 recoverable,
//                               2 fatal
// Under the control flag 2 (its value unless changed) levels 1 and 2 print the report, the
// abort line and the summary, and end the process with status 1; levels -1 and 0 return. An
// invalid nerr or level ends the process after its own report.
void xermsg_(const char* librar, const char* subrou, const char* messg, const vorlen::i32* nerr,
             const vorlen::i32* level, std::size_t librar_len, std::size_t subrou_len,
             std::size_t messg_len);

// Hooks that do nothing: xercnt leaves kontrl (in/out) unchanged.
void xercnt_(const char* librar, const char* subrou, const char* messg, const vorlen::i32* nerr,
             const vorlen::i32* level, vorlen::i32* kontrl, std::size_t librar_len,
             std::size_t subrou_len, std::size_t messg_len);
void fdump_();
}

namespace vorlen::xerror {

// The reporter and printer for callers inside the library.
void xermsg(std::string_view librar, std::string_view subrou, std::string_view messg, i32 nerr,
            i32 level);
void xerprn(std::string_view prefix, i32 npref, std::string_view messg, i32 nwrap);
// Records (kflag > 0, returning the count) or prints the summary (kflag <= 0; 0 empties).
i32 xersve(std::string_view librar, std::string_view subrou, std::string_view messg, i32 kflag,
           i32 nerr, i32 level);
i32 j4save(i32 iwhich, i32 ivalue, bool iset);

// Machine constant i (1..5) of the real type T (float: r1mach_, double: d1mach_).
template <class T>
T rmach(i32 i);

}  // namespace vorlen::xerror
