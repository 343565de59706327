// Error package of the piecewise cubic Hermite routines: the saved-parameter table, the message
// record, the line printer and the reporter, with the integer machine constants they use. All
// output goes to standard output (unit 6). The state is process-wide and unlocked.
//
// The C entries follow the calling convention of the package's exported names (lower case with
// a trailing underscore): every argument by address, and the length of each text argument
// appended as a value after the other arguments, in the order of the texts.
#pragma once
#include <cstddef>
#include <string_view>

#include "core/view.hpp"

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

// Integer machine constant i (in), 1..16: 5, 6, 7, 6 (input, output, punch, error units), 32,
// 4, 2, 31 (bits, characters, base, digits of an integer), 2147483647, 2 (largest integer,
// floating base), 24, -125, 128 (single digits and exponent range), 53, -1021, 1024 (double).
// Another index prints " ", "I1MACH - Fatal error!", "  The input argument I is out of
// bounds.", "  Legal values satisfy 1 <= I <= 16." and "  I = " with the index in 12 columns,
// and ends the process with status 0.
vorlen::i32 i1mach_(const vorlen::i32* i);

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

}  // namespace vorlen::xerror
