// First-error register: the code and message of the first report since the last reset.
#pragma once
#include <string_view>

#include "base/alloc.hpp"

extern "C" {
extern vorlen::i32 errorhandling_errstat;      // 0: nothing recorded; else the code of the report
extern char errorhandling_errstring[80];       // message of the last stored report
extern vorlen::Alloc<vorlen::i32, 1> errorhandling_errintv;   // copy of the report's intv
extern vorlen::Alloc<double, 1> errorhandling_errrealv;       // copy of the report's realv
extern vorlen::Alloc<vorlen::i32, 2> errorhandling_errasciim; // rows 1..min(8,r) of asciim

// Records a report unless one is held already.
//   lop(in)        report code (-1 warning, -2 error, -3 input or set-up problem)
//   xerrmsg(in)    80-character message, stored as it stands
//   intv(nintv), realv(nrealv), asciim(nrow, ncol) (in)  context arrays, copied
//   pyerr(in, optional)  present and 0: print the message and end the process instead
void errorhandling_xerr(const vorlen::i32* lop, const char* xerrmsg, const vorlen::i32* intv,
                        const double* realv, const vorlen::i32* asciim, const vorlen::i32* pyerr,
                        const vorlen::i32* nintv, const vorlen::i32* nrealv,
                        const vorlen::i32* nrow, const vorlen::i32* ncol);
// Clears the register when lop is true: reset(out) 1 when cleared, else 0.
void errorhandling_rsxerr(vorlen::i32* reset, const vorlen::lgl* lop);
}

namespace vorlen::errorhandling {

inline constexpr auto& errstat = ::errorhandling_errstat;
inline constexpr auto& errstring = ::errorhandling_errstring;
inline constexpr auto& errintv = ::errorhandling_errintv;
inline constexpr auto& errrealv = ::errorhandling_errrealv;
inline constexpr auto& errasciim = ::errorhandling_errasciim;

// The library's reporter convention: code and blank-padded 80-character message, with the
// fixed-shape context locals (2 integers, 2 doubles, 8 by 2 character codes) left unfilled.
void report(i32 code, std::string_view message);

// The same with the message "<problem> in <routine>", cut at 80 characters.
void report(i32 code, std::string_view problem, std::string_view routine);

}  // namespace vorlen::errorhandling
