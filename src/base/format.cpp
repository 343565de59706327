// The format text is compiled into a token list (once per write, or once for many writes of a
// Format), which a small interpreter runs over the items, filling one record at a time.
#include "base/format.hpp"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "base/work.hpp"

namespace vorlen::io {

using detail::Op;
using detail::Token;

namespace {

constexpr i32 max_number = 100000;  // larger counts, widths or columns: malformed format

bool is_blank(char c) { return c == ' ' || c == '\t'; }
char upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; }
bool is_digit(char c) { return c >= '0' && c <= '9'; }
bool is_data(Op op) { return op >= Op::I; }

}  // namespace

// Compiles the text into the token list, or names what is wrong with it.
class Format::Parser {
  public:
    Parser(std::string_view f, Format& p) : f_(f), p_(p) {}

    const char* run() {
        skip_blanks();
        if (!take('(')) return "format does not start with (";
        i32 stack[256];
        int depth = 0;
        stack[depth++] = add(detail::token(Op::open));
        i32 last_inner = -1;  // open token of the last group closed at depth 1
        for (;;) {
            skip_separators();
            if (i_ >= f_.size()) return "missing )";
            const char c = f_[i_];
            Token t = detail::token(Op::text);
            if (c == ')') {
                ++i_;
                const i32 open = stack[--depth];
                t.op = Op::close;
                t.link = open;
                const i32 at = add(t);
                p_.tokens_[open].link = at;
                if (depth == 1) last_inner = open;
                if (depth == 0) break;
                continue;
            }
            bool token = true;  // false: a mode of no effect, nothing to add
            if (c == '\'' || c == '"') {
                if (!quoted(t)) return why_;
            } else if (c == '/' || c == ':') {
                ++i_;
                t.op = c == '/' ? Op::slash : Op::colon;
            } else if (c == '(') {
                ++i_;
                if (depth == 256) return "format too long";
                stack[depth++] = add(detail::token(Op::open));
                continue;
            } else if (is_digit(c) || c == '+' || c == '-') {
                if (!counted(t, stack, depth)) return why_;
                if (t.op == Op::open) continue;
            } else if (!descriptor(t, 1, token, false)) {
                return why_;
            }
            if (token) add(t);
        }
        p_.size_ = i_;
        p_.revert_ = last_inner < 0 ? 0 : last_inner;
        for (i32 k = 1; k < p_.n_; ++k) {
            p_.groups_ += p_.tokens_[k].op == Op::open;
            p_.revert_has_data_ |= k >= p_.revert_ && is_data(p_.tokens_[k].op);
        }
        return nullptr;
    }

  private:
    std::string_view f_;
    Format& p_;
    std::size_t i_ = 0;
    const char* why_ = nullptr;

    bool fail(const char* why) {
        why_ = why;
        return false;
    }
    i32 add(const Token& t) {
        p_.tokens_[p_.n_] = t;
        return p_.n_++;
    }
    void skip_blanks() {
        while (i_ < f_.size() && is_blank(f_[i_])) ++i_;
    }
    void skip_separators() {
        while (i_ < f_.size() && (is_blank(f_[i_]) || f_[i_] == ',')) ++i_;
    }
    char peek() {
        skip_blanks();
        return i_ < f_.size() ? upper(f_[i_]) : '\0';
    }
    bool take(char c) {
        if (peek() != c) return false;
        ++i_;
        return true;
    }
    // An unsigned number (blanks between its digits ignored) into v; false when none is there
    // or it is too large.
    bool number(i32& v) {
        if (!is_digit(peek())) return false;
        i64 x = 0;
        while (is_digit(peek())) {
            x = x * 10 + (f_[i_++] - '0');
            if (x > max_number) return fail("number too large");
        }
        v = static_cast<i32>(x);
        return true;
    }

    bool quoted(Token& t) {
        const char q = f_[i_++];
        const std::size_t start = i_;
        bool doubled = false;
        for (;;) {
            if (i_ >= f_.size()) return fail("unterminated text");
            if (f_[i_] == q) {
                if (i_ + 1 < f_.size() && f_[i_ + 1] == q) {
                    i_ += 2;
                    doubled = true;
                    continue;
                }
                break;
            }
            ++i_;
        }
        t.op = Op::text;
        t.quote = doubled ? q : 0;
        t.s = f_.data() + start;
        t.len = static_cast<i32>(i_ - start);
        ++i_;
        return true;
    }

    // A number in front of H, P, X, a group, a slash or a data descriptor.
    bool counted(Token& t, i32* stack, int& depth) {
        int sign = 0;
        if (f_[i_] == '+' || f_[i_] == '-') sign = f_[i_++] == '-' ? -1 : 1;
        i32 n = 0;
        if (!number(n)) return why_ ? false : fail("unknown edit descriptor");
        const char c = peek();
        if (i_ >= f_.size()) return fail("missing )");
        if (c == 'P') {
            ++i_;
            t.op = Op::scale;
            t.d = sign < 0 ? -n : n;
            return true;
        }
        if (sign != 0) return fail("a sign may only precede P");
        if (c == 'H') {  // the next n characters as they stand
            ++i_;
            if (n == 0 || f_.size() - i_ < static_cast<std::size_t>(n))
                return fail("bad H descriptor");
            t.op = Op::text;
            t.s = f_.data() + i_;
            t.len = n;
            i_ += n;
            return true;
        }
        const bool data = c == 'I' || c == 'B' || c == 'O' || c == 'Z' || c == 'G' || c == 'F' ||
                          c == 'E' || c == 'D' || c == 'A' || c == 'L';
        if (c != 'X' && c != '/' && c != '(' && !data)
            return fail("a count must precede a group or a descriptor");
        if (n == 0) return fail("repeat count below 1");
        if (c == 'X') {
            ++i_;
            t.op = Op::skip;
            t.w = n;
            return true;
        }
        if (c == '/') {
            ++i_;
            t.op = Op::slash;
            t.rep = n;
            return true;
        }
        if (c == '(') {
            ++i_;
            if (depth == 256) return fail("format too long");
            Token g = detail::token(Op::open);
            g.rep = n;
            stack[depth++] = add(g);
            t.op = Op::open;
            return true;
        }
        bool token = true;
        return descriptor(t, n, token, true);
    }

    // w[.m] of an integer descriptor, w.d[Ee] of a real one (.d and Ee optional for G).
    bool width(Token& t, bool real, bool exponent) {
        if (!number(t.w)) return why_ ? false : fail(real ? "w.d required" : "width required");
        if (take('.')) {
            i32 v = 0;
            if (!number(v)) return why_ ? false : fail("digits expected after .");
            (real ? t.d : t.e) = v;
        } else if (real) {
            return fail("w.d required");
        }
        if (exponent && take('E')) {
            if (!number(t.e) || t.e == 0) return why_ ? false : fail("digits expected after E");
        }
        return true;
    }

    // A descriptor with its repeat count rep; `counted` when the count was written, which the
    // modes BN, BZ, DC and DP refuse (even a count of 1) as they refuse a sign.
    bool descriptor(Token& t, i32 rep, bool& token, bool counted) {
        const char c = peek();
        ++i_;
        t.rep = rep;
        const char m = peek();  // second letter of two-letter descriptors
        switch (c) {
        case 'X':
            t.op = Op::skip;
            t.w = 1;
            return true;
        case 'T': {
            if (m == 'L' || m == 'R') ++i_;
            t.op = m == 'L' ? Op::back : m == 'R' ? Op::skip : Op::tab;
            if (!number(t.w) || (t.op == Op::tab && t.w < 1))
                return why_ ? false : fail("T, TL and TR need a position");
            return true;
        }
        case 'S':
            if (m == 'P' || m == 'S') ++i_;
            t.op = Op::sign;
            t.d = m == 'P' ? 1 : 0;
            return true;
        case 'R':
            if (m != 'U' && m != 'D' && m != 'Z' && m != 'N' && m != 'C' && m != 'P')
                return fail("unknown edit descriptor");
            ++i_;
            t.op = Op::round;
            t.d = m == 'N' || m == 'P' ? 0 : 1;
            return true;
        case 'B':
            if (m == 'N' || m == 'Z') {  // blanks on input: nothing to do on output
                if (counted) return fail("a count must precede a group or a descriptor");
                ++i_;
                token = false;
                return true;
            }
            [[fallthrough]];
        case 'I':
        case 'O':
        case 'Z':
            t.op = c == 'I' ? Op::I : c == 'B' ? Op::B : c == 'O' ? Op::O : Op::Z;
            t.e = -1;
            if (!width(t, false, false)) return false;
            if (t.w > 0 && t.e > t.w) return fail("minimum digits exceed the width");
            return true;
        case 'G': {  // an integer under Gw.d[Ee] is written as under Iw
            t.op = Op::I;
            if (!number(t.w)) return why_ ? false : fail("width required");
            i32 unused = 0;
            if (take('.')) {
                if (!number(unused)) return why_ ? false : fail("digits expected after .");
                if (take('E') && (!number(unused) || unused == 0))
                    return why_ ? false : fail("digits expected after E");
            }
            t.e = -1;
            return true;
        }
        case 'D':
            if (m == 'C' || m == 'P') {
                if (counted) return fail("a count must precede a group or a descriptor");
                ++i_;
                t.op = Op::decimal;
                t.d = m == 'C' ? 1 : 0;
                return true;
            }
            [[fallthrough]];
        case 'F':
        case 'E': {
            const bool two = c == 'E' && (m == 'N' || m == 'S');
            if (two) ++i_;
            t.op = two ? Op::other : c == 'F' ? Op::F : c == 'E' ? Op::E : Op::D;
            if (!width(t, true, c == 'E')) return false;
            return c == 'F' || t.w > 0 || fail("positive width required");
        }
        case 'A':
            t.op = Op::A;
            if (!is_digit(m)) return true;  // the whole text
            return number(t.w) && (t.w > 0 || fail("positive width required"));
        case 'L':
            t.op = Op::other;
            if (!number(t.w)) return why_ ? false : fail("width required");
            return t.w > 0 || fail("positive width required");
        case 'H':
            return fail("bad H descriptor");  // no count of characters
        default:
            return fail("unknown edit descriptor");
        }
    }
};

// The record being built: a position and the characters written so far, in the caller's text
// as long as they fit it, else in a buffer of its own. With trailing blanks, nX writes its
// blanks also at the end of the record; without, it only moves the position.
class detail::Record {
  public:
    explicit Record(bool trailing_blanks, char* text = nullptr, std::size_t cap = 0)
        : pad_(trailing_blanks), p_(text ? text : buf_), cap_(text ? cap : sizeof buf_) {}
    ~Record() {
        if (blk_) block::release(blk_);
    }
    Record(const Record&) = delete;
    Record& operator=(const Record&) = delete;

    std::size_t pos = 0;

    const char* data() const { return p_; }
    std::size_t size() const { return len_; }
    // Room for n characters at the position; the gap from the end is blank.
    char* field(std::size_t n) {
        reserve(pos + n);
        if (pos > len_) std::memset(p_ + len_, ' ', pos - len_);
        char* at = p_ + pos;
        pos += n;
        if (pos > len_) len_ = pos;
        return at;
    }
    void put(const char* s, std::size_t n) { std::memcpy(field(n), s, n); }
    // nX: n blanks, over none of the characters already written.
    void blanks(std::size_t n) {
        const std::size_t end = pos + n;
        if (end > len_ && pad_) {
            if (pos < len_) pos = len_;
            fill(' ', end - pos);
        }
        pos = end;
    }
    void fill(char c, std::size_t n) { std::memset(field(n), c, n); }
    // Hands the record to sink (none: an internal write keeps its one record) and starts the
    // next.
    void emit(const Sink* sink) {
        if (!sink) return;
        sink->put(sink->ctx, p_, len_);
        len_ = pos = 0;
    }

  private:
    bool pad_;
    char buf_[512];
    char* p_;
    std::size_t cap_;
    std::size_t len_ = 0;
    Block* blk_ = nullptr;

    void reserve(std::size_t n) {
        if (n <= cap_) return;
        if (p_ != buf_ && !blk_ && n <= sizeof buf_) {  // out of the caller's text
            std::memcpy(buf_, p_, len_);
            p_ = buf_, cap_ = sizeof buf_;
            return;
        }
        const std::size_t twice = 2 * (cap_ > sizeof buf_ ? cap_ : sizeof buf_);
        const std::size_t cap = twice > n ? twice : n;
        const i64 count = static_cast<i64>(cap);
        Block* b = block::create(block::count(&count, 1, 1), 1);
        char* p = static_cast<char*>(block::data(b));
        std::memcpy(p, p_, len_);
        if (blk_) block::release(blk_);
        blk_ = b, p_ = p, cap_ = cap;
    }
};

namespace {

using detail::Record;

// Right-aligns s in a field of width w (w 0: the width of s); asterisks when s does not fit.
void right(Record& r, std::string_view s, i32 w) {
    if (w == 0) return r.put(s.data(), s.size());
    if (s.size() > static_cast<std::size_t>(w)) return r.fill('*', w);
    char* at = r.field(w);
    std::memset(at, ' ', w - s.size());
    std::memcpy(at + (w - s.size()), s.data(), s.size());
}

// What the sign, decimal and rounding modes of a write have set so far.
struct Modes {
    i32 k = 0;              // scale factor
    bool plus = false;      // SP
    bool comma = false;     // DC
    bool directed = false;  // RU, RD, RZ, RC
};

// Iw.m (base 10) with a sign; Bw.m, Ow.m, Zw.m (base 2, 8, 16): the bits of an integer of the
// given bytes, without a sign.
void integer(Record& r, i64 v, i32 w, i32 m, unsigned base, int bytes, bool plus) {
    char digits[64];
    std::uint64_t u = static_cast<std::uint64_t>(v);
    if (base == 10)
        u = v < 0 ? 0 - u : u;
    else if (bytes < 8)
        u &= (std::uint64_t{1} << (8 * bytes)) - 1;
    int nd = 0;
    if (u == 0 && m == 0) {   // Iw.0 writes a zero as blanks
    } else if (base == 10) {  // a constant divisor: no division instruction
        do {
            digits[nd++] = static_cast<char>('0' + u % 10);
            u /= 10;
        } while (u != 0);
    } else {
        const int bits = base == 2 ? 1 : base == 8 ? 3 : 4;
        do {
            digits[nd++] = "0123456789ABCDEF"[u & (base - 1)];
            u >>= bits;
        } while (u != 0);
    }
    const char sign = base != 10 || nd == 0 ? 0 : v < 0 ? '-' : plus ? '+' : 0;
    const int len = (sign ? 1 : 0) + (nd > m ? nd : m);
    if (w > 0 && len > w) return r.fill('*', w);
    if (w == 0 && len == 0) return;
    char* at = r.field(w > 0 ? w : len);
    char* p = at + (w > 0 ? w : len);
    for (int k = 0; k < nd; ++k) *--p = digits[k];
    for (int k = nd; k < m; ++k) *--p = '0';
    if (sign) *--p = sign;
    while (p > at) *--p = ' ';
}

// Infinity or NaN, as the width allows.
void nonfinite(Record& r, double x, i32 w, bool plus) {
    std::string_view s;
    if (std::isnan(x))
        s = "NaN";
    else if (x < 0)
        s = w == 0 || w >= 9 ? "-Infinity" : "-Inf";
    else if (plus)
        s = w == 0 || w >= 9 ? "+Infinity" : "+Inf";
    else
        s = w == 0 || w >= 8 ? "Infinity" : "Inf";
    right(r, s, w);
}

// sign and body into the field, with the optional zero before the point dropped when the field
// is one short; under DC the point is a comma.
void number(Record& r, double x, std::string_view body, bool optional_zero, i32 w,
            const Modes& mode) {
    const char sign = std::signbit(x) ? '-' : mode.plus ? '+' : 0;
    std::size_t need = body.size() + (sign ? 1 : 0);
    if (optional_zero && w > 0 && need > static_cast<std::size_t>(w)) {
        body.remove_prefix(1);
        --need;
    }
    if (w > 0 && need > static_cast<std::size_t>(w)) return r.fill('*', w);
    const std::size_t width = w > 0 ? static_cast<std::size_t>(w) : need;
    char* at = r.field(width);
    std::memset(at, ' ', width - need);
    char* p = at + (width - need);
    if (sign) *p++ = sign;
    std::memcpy(p, body.data(), body.size());
    if (mode.comma)
        if (char* point = static_cast<char*>(std::memchr(p, '.', body.size()))) *point = ',';
}

void fixed(Record& r, double x, i32 w, i32 d, const Modes& mode) {
    if (!std::isfinite(x)) return nonfinite(r, x, w, mode.plus);
    double ax = std::fabs(x);
    if (mode.k != 0) ax *= std::pow(10.0, mode.k);
    if (!std::isfinite(ax)) return r.fill('*', w > 0 ? w : 1);
    Work<char, 400> s(static_cast<i64>(d) + 340);
    const int n = std::snprintf(s.data(), d + 340, "%#.*f", d, ax);
    const std::string_view body(s.data(), n > 0 ? n : 0);
    number(r, x, body, d > 0 && body.size() > 1 && body[0] == '0', w, mode);
}

void exponent_form(Record& r, double x, i32 w, i32 d, i32 e, const Modes& mode, char letter) {
    if (!std::isfinite(x)) return nonfinite(r, x, w, mode.plus);
    const i32 k = mode.k;
    const i32 nsig = k > 0 ? d + 1 : d + k;
    if (nsig < 1 || k >= d + 2) return r.fill('*', w);
    // nsig significant digits and the exponent of the first one
    Work<char, 400> s(static_cast<i64>(nsig) + 32);
    int e10 = 0;
    const double ax = std::fabs(x);
    if (ax == 0.0) {
        std::memset(s.data(), '0', nsig);
    } else {
        Work<char, 400> t(static_cast<i64>(nsig) + 32);
        std::snprintf(t.data(), nsig + 32, "%.*e", nsig - 1, ax);
        int j = 0;
        const char* p = t.data();
        for (; *p && *p != 'e'; ++p)
            if (is_digit(*p)) s[j++] = *p;
        if (*p == 'e') e10 = std::atoi(p + 1) + 1;
    }
    const i64 ex = ax == 0.0 ? 0 : static_cast<i64>(e10) - k;
    // mantissa
    Work<char, 400> body(static_cast<i64>(nsig) + d + e + 40);
    int b = 0;
    if (k <= 0) {
        body[b++] = '0';
        body[b++] = '.';
        for (i32 z = 0; z < -k; ++z) body[b++] = '0';
        for (i32 j = 0; j < nsig; ++j) body[b++] = s[j];
    } else {
        for (i32 j = 0; j < k; ++j) body[b++] = s[j];
        body[b++] = '.';
        for (i32 j = k; j < nsig; ++j) body[b++] = s[j];
    }
    // exponent
    const i64 aex = ex < 0 ? -ex : ex;
    i32 digits = e;
    if (e > 0) {
        i64 limit = 1;
        for (i32 j = 0; j < e && limit <= aex; ++j) limit *= 10;
        if (aex >= limit) return r.fill('*', w);
        body[b++] = letter;
    } else if (aex <= 99) {
        digits = 2;
        body[b++] = letter;
    } else if (aex <= 999) {
        digits = 3;
    } else {
        return r.fill('*', w);
    }
    body[b++] = ex < 0 ? '-' : '+';
    i64 v = aex;
    for (i32 j = digits - 1; j >= 0; --j) {
        body[b + j] = static_cast<char>('0' + v % 10);
        v /= 10;
    }
    b += digits;
    number(r, x, std::string_view(body.data(), b), k <= 0, w, mode);
}

// Walks the items element by element.
class Items {
  public:
    explicit Items(std::span<const Item> items) : it_(items) { settle(); }
    bool more() const { return k_ < it_.size(); }
    // The current element: kind integer, real or text, and its value.
    Item::Kind kind() const {
        const Item& x = it_[k_];
        return x.kind == Item::Kind::integers ? Item::Kind::integer
               : x.kind == Item::Kind::reals  ? Item::Kind::real
                                              : x.kind;
    }
    i64 integer() const {
        const Item& x = it_[k_];
        return x.kind == Item::Kind::integers ? x.ip[j_ * x.stride] : x.i;
    }
    double real() const {
        const Item& x = it_[k_];
        return x.kind == Item::Kind::reals ? x.dp[j_ * x.stride] : x.d;
    }
    int bytes() const { return it_[k_].bytes; }
    std::string_view text() const { return {it_[k_].s, it_[k_].len}; }
    void next() {
        ++j_;
        settle();
    }

  private:
    std::span<const Item> it_;
    std::size_t k_ = 0;  // item
    i64 j_ = 0;          // element of an array item
    void settle() {      // skips finished and empty items (a single value counts 1)
        while (k_ < it_.size() && j_ >= it_[k_].count) {
            ++k_;
            j_ = 0;
        }
    }
};

// Writes the current item under data descriptor t; false, writing nothing, when t cannot write
// it: an item of another kind, a real under a directed rounding mode, and in a strict write an
// integer on F, E or D.
bool field(Record& r, const Token& t, const Items& items, const Modes& mode, bool strict) {
    const Item::Kind kind = items.kind();
    const i32 w = t.w;
    switch (t.op) {
    case Op::A: {
        if (kind != Item::Kind::text) return false;
        const std::string_view s = items.text();
        if (w < 0)
            r.put(s.data(), s.size());
        else if (s.size() >= static_cast<std::size_t>(w))
            r.put(s.data(), w);
        else
            right(r, s, w);
        return true;
    }
    case Op::I:
    case Op::B:
    case Op::O:
    case Op::Z: {
        if (kind != Item::Kind::integer) return false;
        const unsigned base = t.op == Op::I ? 10 : t.op == Op::B ? 2 : t.op == Op::O ? 8 : 16;
        integer(r, items.integer(), w, t.e, base, items.bytes(), mode.plus);
        return true;
    }
    case Op::F:
    case Op::E:
    case Op::D: {
        if (kind == Item::Kind::text || mode.directed) return false;
        if (kind == Item::Kind::integer && strict) return false;
        const double x =
            kind == Item::Kind::real ? items.real() : static_cast<double>(items.integer());
        if (t.op == Op::F)
            fixed(r, x, w, t.d, mode);
        else
            exponent_form(r, x, w, t.d, t.e, mode, t.op == Op::D ? 'D' : 'E');
        return true;
    }
    default:
        return false;
    }
}

void literal(Record& r, const Token& t) {
    std::string_view s(t.s, t.len);
    for (std::size_t q; t.quote && (q = s.find(t.quote)) != s.npos; s.remove_prefix(q + 2))
        r.put(s.data(), q + 1);  // a doubled quote stands for one
    r.put(s.data(), s.size());
}

// Why an internal write fails, by the kind of the item it stops at.
const char* cannot_write(Item::Kind kind) {
    return kind == Item::Kind::integer ? "the descriptor cannot write an integer"
           : kind == Item::Kind::real  ? "the descriptor cannot write a real"
                                       : "the descriptor cannot write a text";
}
const char* none_writes(Item::Kind kind) {
    return kind == Item::Kind::integer ? "no descriptor writes the integer"
           : kind == Item::Kind::real  ? "no descriptor writes the real"
                                       : "no descriptor writes the text";
}

}  // namespace

// The interpreter. A write to a sink never fails: it writes asterisks for what a field cannot
// take and starts new records. An internal write (no sink) stops with the reason.
const char* Format::run(std::span<const Item> list, Record& r, const Sink* sink) const {
    const bool internal = sink == nullptr;
    Items items(list);
    struct Frame {
        i32 open, left;
    };
    Work<Frame, 32> stack(groups_);  // the outer group is never entered again
    i32 depth = 0;
    Modes mode;
    auto done = [&r, sink]() -> const char* {
        r.emit(sink);
        return nullptr;
    };
    const Token* const tokens = tokens_.data();
    for (i32 pc = 1;; ++pc) {
        const Token& t = tokens[pc];
        switch (t.op) {
        case Op::open:
            stack[depth++] = {pc, t.rep};
            break;
        case Op::close:
            if (t.link == 0) {  // end of the format
                if (!items.more()) return done();
                if (!revert_has_data_) return internal ? none_writes(items.kind()) : done();
                if (internal) return "the items outlast the record";
                r.emit(sink);
                pc = revert_ == 0 ? 0 : revert_ - 1;
            } else if (--stack[depth - 1].left > 0) {
                pc = stack[depth - 1].open;
            } else {
                --depth;
            }
            break;
        case Op::text:
            literal(r, t);
            break;
        case Op::skip:
            r.blanks(t.w);
            break;
        case Op::back:
            r.pos = r.pos > static_cast<std::size_t>(t.w) ? r.pos - t.w : 0;
            break;
        case Op::tab:
            r.pos = t.w - 1;
            break;
        case Op::slash:
            if (internal) return "the record ends at /";
            for (i32 j = 0; j < t.rep; ++j) r.emit(sink);
            break;
        case Op::colon:
            if (!items.more()) return done();
            break;
        case Op::scale:
            mode.k = t.d;
            break;
        case Op::sign:
            mode.plus = t.d == 1;
            break;
        case Op::decimal:
            mode.comma = t.d == 1;
            break;
        case Op::round:
            mode.directed = t.d == 1;
            break;
        default:  // data descriptors
            for (i32 j = 0; j < t.rep; ++j) {
                if (!items.more()) return done();
                if (!field(r, t, items, mode, internal)) {
                    if (internal) return cannot_write(items.kind());
                    r.fill('*', t.w > 0 ? t.w : 1);
                }
                items.next();
            }
        }
    }
}

Format::Format(std::string_view fmt) : tokens_(static_cast<i64>(fmt.size()) + 2) {
    error_ = Parser(fmt, *this).run();
}

bool Format::write(std::span<const Item> items, Sink sink) const {
    if (error_) return false;
    Record r(true);
    run(items, r, &sink);
    return true;
}

i64 Format::write(char* buf, i64 len, std::span<const Item> items, const char** why) const {
    const std::size_t n = len < 0 ? 0 : static_cast<std::size_t>(len);
    Record r(false, n > 0 ? buf : nullptr, n);
    const char* e = error_ ? error_ : run(items, r, nullptr);
    if (why) *why = e;
    if (e) return -1;
    if (r.data() != buf && n > 0) std::memcpy(buf, r.data(), std::min(n, r.size()));
    return static_cast<i64>(r.size());
}

bool format(std::string_view fmt, std::span<const Item> items, Sink sink) {
    const Format f(fmt);
    if (f.error()) return false;
    for (std::size_t i = f.size(); i < fmt.size(); ++i)
        if (!is_blank(fmt[i])) return false;
    return f.write(items, sink);
}

void list(std::span<const Item> items, Sink sink) {
    Record r(true);
    Items it(items);
    char buf[32];
    while (it.more()) {
        r.put(" ", 1);
        switch (it.kind()) {
        case Item::Kind::integer: {
            const auto res = std::to_chars(buf, buf + sizeof buf, it.integer());
            r.put(buf, res.ptr - buf);
            break;
        }
        case Item::Kind::real: {
            const auto res = std::to_chars(buf, buf + sizeof buf, it.real());
            r.put(buf, res.ptr - buf);
            break;
        }
        default:
            r.put(it.text().data(), it.text().size());
        }
        it.next();
    }
    r.emit(&sink);
}

std::string_view trimmed(const char* s, std::size_t n) {
    std::size_t len = 0;
    while (len < n && s[len] != '\0') ++len;
    while (len > 0 && s[len - 1] == ' ') --len;
    return {s, len};
}

}  // namespace vorlen::io
