#include "base/errorhandling.hpp"

#include <algorithm>
#include <cstring>

#include "base/fatal.hpp"

extern "C" {
vorlen::i32 errorhandling_errstat = 0;
char errorhandling_errstring[80] = {};
vorlen::Alloc<vorlen::i32, 1> errorhandling_errintv;
vorlen::Alloc<double, 1> errorhandling_errrealv;
vorlen::Alloc<vorlen::i32, 2> errorhandling_errasciim;
}

using namespace vorlen;

extern "C" void errorhandling_xerr(const i32* lop, const char* xerrmsg, const i32* intv,
                                   const double* realv, const i32* asciim, const i32* pyerr,
                                   const i32* nintv, const i32* nrealv, const i32* nrow,
                                   const i32* ncol) {
    if (pyerr && *pyerr == 0) fatal::stop_with_message(xerrmsg, 80);
    if (errorhandling::errstat != 0) return;
    errorhandling::errstat = *lop;
    // The caller may hand in the register's own message or context arrays (a report passed on
    // after a reset): the old storage stays alive until the copies are made.
    std::memmove(errorhandling::errstring, xerrmsg, 80);
    Block* const old[] = {errorhandling::errintv.blk, errorhandling::errrealv.blk,
                          errorhandling::errasciim.blk};
    for (Block* b : old) block::retain(b);
    const i64 ni = std::max<i64>(*nintv, 0), nr = std::max<i64>(*nrealv, 0);
    const i64 r = std::max<i64>(*nrow, 0), c = std::max<i64>(*ncol, 0), r8 = std::min<i64>(r, 8);
    errorhandling::errintv.allocate({ni});
    errorhandling::errrealv.allocate({nr});
    errorhandling::errasciim.allocate({r8, c});
    std::copy_n(intv, ni, errorhandling::errintv.data);
    std::copy_n(realv, nr, errorhandling::errrealv.data);
    const Mat<const i32> a(asciim, r, c);
    for (i64 j = 1; j <= c; ++j)
        for (i64 i = 1; i <= r8; ++i) errorhandling::errasciim(i, j) = a(i, j);
    for (Block* b : old) block::release(b);
}

extern "C" void errorhandling_rsxerr(i32* reset, const lgl* lop) {
    *reset = 0;
    if (!*lop) return;
    *reset = 1;
    errorhandling::errstat = 0;
    errorhandling::errintv.release();
    errorhandling::errrealv.release();
    errorhandling::errasciim.release();
}

namespace vorlen::errorhandling {

void report(i32 code, std::string_view message) {
    char msg[80];
    std::memset(msg, ' ', sizeof msg);
    std::memcpy(msg, message.data(), std::min(message.size(), sizeof msg));
    const i32 intv[2] = {0, 0};
    const double realv[2] = {0.0, 0.0};
    const i32 asciim[16] = {};
    const i32 two = 2, eight = 8;
    errorhandling_xerr(&code, msg, intv, realv, asciim, nullptr, &two, &two, &eight, &two);
}

void report(i32 code, std::string_view problem, std::string_view routine) {
    char msg[80];
    std::size_t n = 0;
    for (const std::string_view part : {problem, std::string_view(" in "), routine}) {
        const std::size_t k = std::min(part.size(), sizeof msg - n);
        std::memcpy(msg + n, part.data(), k);
        n += k;
    }
    report(code, std::string_view(msg, n));
}

}  // namespace vorlen::errorhandling
