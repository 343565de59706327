// Error package of the piecewise cubic Hermite routines.
#include "pchip/xerror.hpp"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "base/errorhandling.hpp"
#include "base/fatal.hpp"
#include "base/units.hpp"

namespace vorlen::xerror {
namespace {

// Saved parameters: last error number, control flag, first unit, prints per message, number of
// units, further units.
i32 params[9] = {0, 2, 0, 10, 1, 0, 0, 0, 0};

constexpr int kTable = 10;
struct Recorded {
    char librar[8], subrou[8], messg[20];
    i32 nerr, level, count;
};
Recorded table[kTable];
i32 recorded = 0, untabulated = 0;

// Every unit of this system is standard output (unit 6).
void put_line(std::string_view line) {
    i32 units[5], n = 0;
    xgetua_(units, &n);
    for (i32 u = 0; u < n; ++u) {
        std::fwrite(line.data(), 1, line.size(), stdout);
        std::fputc('\n', stdout);
    }
    std::fflush(stdout);
}

// The first n characters of s, blank-padded to n.
template <std::size_t N>
void fixed(char (&dst)[N], std::string_view s) {
    std::memset(dst, ' ', N);
    std::memcpy(dst, s.data(), std::min(N, s.size()));
}

// v right-aligned in w columns (w < 32), asterisks when it does not fit.
std::string_view integer(char* buf, i32 v, int w) {
    char t[16];
    const int len = std::snprintf(t, sizeof t, "%d", v);
    std::memset(buf, len > w ? '*' : ' ', w);
    if (len <= w) std::memcpy(buf + w - len, t, len);
    return {buf, static_cast<std::size_t>(w)};
}

// Text built in a fixed buffer; pieces that do not fit are cut.
struct Line {
    char buf[160];
    std::size_t len = 0;
    Line& operator<<(std::string_view s) {
        const std::size_t n = std::min(s.size(), sizeof buf - len);
        std::memcpy(buf + len, s.data(), n);
        len += n;
        return *this;
    }
    operator std::string_view() const { return {buf, len}; }
};

// The five lines of a machine-constant query with an index outside 1..last; ends with status 1.
[[noreturn]] void index_out_of_bounds(std::string_view name, i32 last, i32 i) {
    io::write(6,
              "(' '/A,' - Fatal error!'/'  The input argument I is out of bounds.'/"
              "'  Legal values satisfy 1 <= I <= ',I0,'.'/'  I = ',I12)",
              {name, last, i});
    fatal::stop(1);
}

}  // namespace

template <>
float rmach<float>(i32 i) {
    static constexpr std::uint32_t kBits[5] = {0x00800000, 0x7F7FFFFF, 0x33800000, 0x34000000,
                                               0x3E9A209B};
    if (i < 1 || i > 5) index_out_of_bounds("R1MACH", 5, i);
    return std::bit_cast<float>(kBits[i - 1]);
}

template <>
double rmach<double>(i32 i) {
    static constexpr std::uint64_t kBits[5] = {0x0020000000000000, 0x7FDFFFFFFFFFFFFF,
                                               0x3CA0000000000002, 0x3CB0000000000000,
                                               0x3FD34413509F79FB};
    if (i < 1 || i > 5) index_out_of_bounds("D1MACH", 5, i);
    return std::bit_cast<double>(kBits[i - 1]);
}

i32 j4save(i32 iwhich, i32 ivalue, bool iset) {
    if (iwhich < 1 || iwhich > 9) {
        errorhandling::report(-3, "Parameter index outside 1..9 in j4save");
        return 0;
    }
    const i32 old = params[iwhich - 1];
    if (iset) params[iwhich - 1] = ivalue;
    return old;
}

void xerprn(std::string_view prefix, i32 npref, std::string_view messg, i32 nwrap) {
    std::size_t lpref = npref < 0 ? prefix.size() : static_cast<std::size_t>(npref);
    lpref = std::min<std::size_t>(16, lpref);
    char pre[16];
    std::memset(pre, ' ', sizeof pre);
    std::memcpy(pre, prefix.data(), std::min(lpref, prefix.size()));
    const std::string_view head(pre, lpref);
    const std::size_t lwrap = static_cast<std::size_t>(std::max(16, std::min(132, nwrap)));

    std::size_t len = messg.size();
    while (len > 0 && messg[len - 1] == ' ') --len;
    if (len == 0) {
        put_line(Line() << head << " ");
        return;
    }
    for (std::size_t pos = 0; pos < len;) {
        const std::string_view rest = messg.substr(pos, len - pos);
        const std::size_t s = rest.find("$$");
        std::string_view piece;
        if (s == 0) {  // a sentinel at the start of a line prints no empty line
            pos += 2;
            continue;
        }
        if (s != std::string_view::npos && s <= lwrap) {
            piece = rest.substr(0, s);
            pos += s + 2;
        } else if (rest.size() <= lwrap) {
            piece = rest;
            pos = len;
        } else {
            std::size_t b = lwrap;
            while (b > 0 && rest[b] != ' ') --b;
            if (b > 0) {
                piece = rest.substr(0, b);
                pos += b + 1;
            } else {
                piece = rest.substr(0, lwrap);
                pos += lwrap;
            }
        }
        put_line(Line() << head << piece);
    }
}

i32 xersve(std::string_view librar, std::string_view subrou, std::string_view messg, i32 kflag,
           i32 nerr, i32 level) {
    if (kflag <= 0) {
        if (recorded == 0) return 0;
        put_line("0          ERROR MESSAGE SUMMARY");
        put_line(" LIBRARY    SUBROUTINE MESSAGE START             NERR     LEVEL     COUNT");
        for (i32 i = 0; i < recorded; ++i) {
            const Recorded& e = table[i];
            char a[10], b[10], c[10];
            put_line(Line() << " " << std::string_view(e.librar, 8) << "   "
                            << std::string_view(e.subrou, 8) << "   "
                            << std::string_view(e.messg, 20) << integer(a, e.nerr, 10)
                            << integer(b, e.level, 10) << integer(c, e.count, 10));
        }
        if (untabulated != 0) {
            char a[10];
            put_line(Line() << "0OTHER ERRORS NOT INDIVIDUALLY TABULATED = "
                            << integer(a, untabulated, 10));
        }
        put_line(" ");
        if (kflag == 0) recorded = untabulated = 0;
        return 0;
    }
    Recorded key;
    fixed(key.librar, librar);
    fixed(key.subrou, subrou);
    fixed(key.messg, messg);
    for (i32 i = 0; i < recorded; ++i) {
        Recorded& e = table[i];
        if (!std::memcmp(e.librar, key.librar, 8) && !std::memcmp(e.subrou, key.subrou, 8) &&
            !std::memcmp(e.messg, key.messg, 20) && e.nerr == nerr && e.level == level)
            return ++e.count;
    }
    if (recorded < kTable) {
        key.nerr = nerr, key.level = level, key.count = 1;
        table[recorded++] = key;
        return 1;
    }
    ++untabulated;
    return 0;
}

void xermsg(std::string_view librar, std::string_view subrou, std::string_view messg, i32 nerr,
            i32 level) {
    i32 k = j4save(2, 0, false);
    const i32 maxmes = j4save(4, 0, false);
    if (nerr == 0 || nerr < -9999999 || nerr > 99999999 || level < -1 || level > 2) {
        xerprn(" ***", -1,
               "FATAL ERROR IN...$$ XERMSG -- INVALID ERROR NUMBER OR LEVEL$$ JOB ABORT DUE TO "
               "FATAL ERROR.",
               72);
        xersve(" ", " ", " ", 0, 0, 0);
        xerhlt_(" ***XERMSG -- INVALID INPUT", 27);
    }
    j4save(1, nerr, true);
    const i32 kount = xersve(librar, subrou, messg, 1, nerr, level);
    if (level == -1 && kount > 1) return;

    k = std::clamp(k, -2, 2);
    const i32 mk = k < 0 ? -k : k;
    const bool quiet = (level <= 1 && k == 0) || (level == 0 && kount > maxmes) ||
                       (level == 1 && kount > maxmes && mk == 1) ||
                       (level == 2 && kount > std::max(1, maxmes));
    if (!quiet) {
        if (k != 0)
            xerprn(" ***", -1,
                   Line() << "MESSAGE FROM ROUTINE " << subrou.substr(0, 16) << " IN LIBRARY "
                          << librar.substr(0, 16) << ".",
                   72);
        if (k > 0) {
            const std::string_view what = level <= 0   ? "INFORMATIVE MESSAGE,"
                                          : level == 1 ? "POTENTIALLY RECOVERABLE ERROR,"
                                                       : "FATAL ERROR,";
            const bool aborts = (mk == 2 && level >= 1) || (mk == 1 && level == 2);
            xerprn(" ***", -1,
                   Line() << what << (aborts ? " PROG ABORTED," : " PROG CONTINUES,")
                          << " TRACEBACK REQUESTED",
                   72);
        }
        xerprn(" *  ", -1, messg, 72);
        if (k > 0) {
            char num[16];
            const int n = std::snprintf(num, sizeof num, "%d", nerr);
            xerprn(" *  ", -1, Line() << "ERROR NUMBER = " << std::string_view(num, n), 72);
        }
        if (k != 0) {
            xerprn(" *  ", -1, " ", 72);
            xerprn(" ***", -1, "END OF MESSAGE", 72);
            xerprn("  ", 0, " ", 72);
        }
    }
    if (level <= 0 || (level == 1 && mk <= 1)) return;
    if (k > 0 && kount < std::max(1, maxmes)) {
        xerprn(" ***", -1,
               level == 1 ? "JOB ABORT DUE TO UNRECOVERED ERROR." : "JOB ABORT DUE TO FATAL ERROR.",
               72);
        xersve(" ", " ", " ", -1, 0, 0);
    }
    xerhlt_(" ", 1);
}

}  // namespace vorlen::xerror

using namespace vorlen;

extern "C" {

i32 j4save_(const i32* iwhich, const i32* ivalue, const i32* iset) {
    return xerror::j4save(*iwhich, *ivalue, *iset != 0);
}

void xgetua_(i32* iunita, i32* n) {
    const i32 count = std::clamp(xerror::j4save(5, 0, false), 0, 5);
    *n = count;
    for (i32 i = 1; i <= count; ++i) iunita[i - 1] = xerror::j4save(i == 1 ? 3 : i + 4, 0, false);
}

i32 i1mach_(const i32* i) {
    static constexpr i32 kConstants[16] = {5,          6, 7,  6,    32,  4,  2,     31,
                                           2147483647, 2, 24, -125, 128, 53, -1021, 1024};
    if (*i < 1 || *i > 16) xerror::index_out_of_bounds("I1MACH", 16, *i);
    return kConstants[*i - 1];
}

float r1mach_(const i32* i) { return xerror::rmach<float>(*i); }

double d1mach_(const i32* i) { return xerror::rmach<double>(*i); }

void xsetf_(const i32* kontrl) {
    const i32 k = *kontrl;
    if (k >= -2 && k <= 2) {
        xerror::j4save(2, k, true);
        return;
    }
    char num[8];
    xerror::xermsg("SLATEC", "XSETF",
                   xerror::Line() << "INVALID ARGUMENT = " << xerror::integer(num, k, 8), 1, 2);
}

void xgetf_(i32* kontrl) { *kontrl = xerror::j4save(2, 0, false); }

void xerdmp_() { xerror::xersve(" ", " ", " ", 0, 0, 0); }

void xerprn_(const char* prefix, const i32* npref, const char* messg, const i32* nwrap,
             std::size_t prefix_len, std::size_t messg_len) {
    xerror::xerprn({prefix, prefix_len}, *npref, {messg, messg_len}, *nwrap);
}

void xersve_(const char* librar, const char* subrou, const char* messg, const i32* kflag,
             const i32* nerr, const i32* level, i32* icount, std::size_t librar_len,
             std::size_t subrou_len, std::size_t messg_len) {
    *icount = xerror::xersve({librar, librar_len}, {subrou, subrou_len}, {messg, messg_len}, *kflag,
                             *nerr, *level);
}

void xerhlt_(const char*, std::size_t) { fatal::stop(1); }

void xermsg_(const char* librar, const char* subrou, const char* messg, const i32* nerr,
             const i32* level, std::size_t librar_len, std::size_t subrou_len,
             std::size_t messg_len) {
    xerror::xermsg({librar, librar_len}, {subrou, subrou_len}, {messg, messg_len}, *nerr, *level);
}

void xercnt_(const char*, const char*, const char*, const i32*, const i32*, i32*, std::size_t,
             std::size_t, std::size_t) {}

void fdump_() {}
}
