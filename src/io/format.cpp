// The format text is compiled once per write into a token list, which a small interpreter runs
// over the items, filling one record buffer at a time.
#include "io/format.hpp"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/work.hpp"

namespace vorlen::io {
namespace {

constexpr i32 max_number = 100000;  // larger counts, widths or columns: malformed format

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
    I,
    F,
    E,
    D,
    A
};

struct Token {
    Op op;
    char quote = 0;  // text: the quote character (doubled inside), 0 for Hollerith
    i32 rep = 1;     // repeat count of a group, descriptor or slash
    i32 w = -1;      // width (A: -1 for the whole text); skip, back, tab: the count or column
    i32 d = 0;       // decimals; scale: the factor
    i32 e = 0;       // E: exponent digits (0 default); I: minimum digits (-1 none)
    i32 link = 0;    // open: its close; close: its open
    const char* s = nullptr;  // text
    i32 len = 0;
};

bool is_blank(char c) { return c == ' ' || c == '\t'; }
char upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; }
bool is_digit(char c) { return c >= '0' && c <= '9'; }

// The compiled format: tokens[0] the outer group, tokens[n-1] its close.
struct Program {
    Work<Token, 64> tokens;
    i32 n = 0;
    i32 revert = 0;  // token where reversion resumes (0: just after the outer parenthesis)
    bool revert_has_data = false;
    explicit Program(i64 cap) : tokens(cap) {}
};

class Parser {
  public:
    Parser(std::string_view f, Program& p) : f_(f), p_(p) {}

    bool run() {
        skip_blanks();
        if (!take('(')) return false;
        i32 stack[256];
        int depth = 0;
        stack[depth++] = add({Op::open});
        i32 last_inner = -1;  // open token of the last group closed at depth 1
        for (;;) {
            skip_separators();
            if (i_ >= f_.size()) return false;
            const char c = f_[i_];
            Token t{Op::text};
            if (c == ')') {
                ++i_;
                const i32 open = stack[--depth];
                t.op = Op::close;
                t.link = open;
                const i32 at = add(t);
                p_.tokens[open].link = at;
                if (depth == 1) last_inner = open;
                if (depth == 0) break;
                continue;
            }
            if (c == '\'' || c == '"') {
                if (!quoted(t)) return false;
            } else if (c == '/' || c == ':') {
                ++i_;
                t.op = c == '/' ? Op::slash : Op::colon;
            } else if (c == '(') {
                ++i_;
                if (depth == 256) return false;
                stack[depth++] = add({Op::open});
                continue;
            } else if (is_digit(c) || c == '+' || c == '-') {
                if (!counted(t, stack, depth)) return false;
                if (t.op == Op::open) continue;
            } else if (!descriptor(t, 1)) {
                return false;
            }
            add(t);
        }
        skip_blanks();
        if (i_ != f_.size()) return false;
        p_.revert = last_inner < 0 ? 0 : last_inner;
        for (i32 k = p_.revert; k < p_.n; ++k) {
            const Op op = p_.tokens[k].op;
            p_.revert_has_data |=
                op == Op::I || op == Op::F || op == Op::E || op == Op::D || op == Op::A;
        }
        return true;
    }

  private:
    std::string_view f_;
    Program& p_;
    std::size_t i_ = 0;

    i32 add(const Token& t) {
        p_.tokens[p_.n] = t;
        return p_.n++;
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
    // An unsigned number (blanks between its digits ignored); -1 when none is there.
    i32 number() {
        if (!is_digit(peek())) return -1;
        i64 v = 0;
        while (is_digit(peek())) {
            v = v * 10 + (f_[i_++] - '0');
            if (v > max_number) return -2;
        }
        return static_cast<i32>(v);
    }

    bool quoted(Token& t) {
        const char q = f_[i_++];
        const std::size_t start = i_;
        for (;;) {
            if (i_ >= f_.size()) return false;
            if (f_[i_] == q) {
                if (i_ + 1 < f_.size() && f_[i_ + 1] == q) {
                    i_ += 2;
                    continue;
                }
                break;
            }
            ++i_;
        }
        t.op = Op::text;
        t.quote = q;
        t.s = f_.data() + start;
        t.len = static_cast<i32>(i_ - start);
        ++i_;
        return true;
    }

    // A number in front of H, P, X, a group, a slash or a descriptor.
    bool counted(Token& t, i32* stack, int& depth) {
        int sign = 1;
        if (f_[i_] == '+' || f_[i_] == '-') sign = f_[i_++] == '-' ? -1 : 1;
        const i32 n = number();
        if (n < 0) return false;
        const char c = peek();
        if (c == 'P') {
            ++i_;
            t.op = Op::scale;
            t.d = sign * n;
            return true;
        }
        if (sign < 0 || n == 0) return false;
        if (c == 'H') {  // the next n characters as they stand
            ++i_;
            if (f_.size() - i_ < static_cast<std::size_t>(n)) return false;
            t.op = Op::text;
            t.s = f_.data() + i_;
            t.len = n;
            i_ += n;
            return true;
        }
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
            if (depth == 256) return false;
            Token g{Op::open};
            g.rep = n;
            stack[depth++] = add(g);
            t.op = Op::open;
            return true;
        }
        return descriptor(t, n);
    }

    bool descriptor(Token& t, i32 rep) {
        const char c = peek();
        ++i_;
        t.rep = rep;
        switch (c) {
        case 'X':
            if (rep != 1) return false;
            t.op = Op::skip;
            t.w = 1;
            return true;
        case 'T': {
            const char m = peek();
            if (m == 'L' || m == 'R') ++i_;
            t.op = m == 'L' ? Op::back : m == 'R' ? Op::skip : Op::tab;
            t.w = number();
            return rep == 1 && t.w >= (t.op == Op::tab ? 1 : 0);
        }
        case 'I':
            t.op = Op::I;
            t.w = number();
            t.e = -1;
            if (t.w >= 0 && take('.')) return (t.e = number()) >= 0;
            return t.w >= 0;
        case 'F':
        case 'E':
        case 'D':
            t.op = c == 'F' ? Op::F : c == 'E' ? Op::E : Op::D;
            t.w = number();
            if (t.w < 0 || !take('.')) return false;
            t.d = number();
            if (t.d < 0) return false;
            if (c == 'E' && peek() == 'E') {
                ++i_;
                t.e = number();
                if (t.e <= 0) return false;
            }
            return c == 'F' || t.w > 0;
        case 'A':
            t.op = Op::A;
            t.w = is_digit(peek()) ? number() : -1;
            return t.w != -2 && t.w != 0;
        default:
            return false;
        }
    }
};

// The record being built: a position and the characters written so far.
class Record {
  public:
    Record() = default;
    ~Record() { block::release(blk_); }
    Record(const Record&) = delete;
    Record& operator=(const Record&) = delete;

    std::size_t pos = 0;

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
        if (end > len_) {
            if (pos < len_) pos = len_;
            fill(' ', end - pos);
        }
        pos = end;
    }
    void fill(char c, std::size_t n) { std::memset(field(n), c, n); }
    void emit(const Sink& sink) {
        sink.put(sink.ctx, p_, len_);
        len_ = pos = 0;
    }

  private:
    char buf_[512];
    char* p_ = buf_;
    std::size_t cap_ = sizeof buf_;
    std::size_t len_ = 0;
    Block* blk_ = nullptr;

    void reserve(std::size_t n) {
        if (n <= cap_) return;
        std::size_t cap = cap_ * 2 > n ? cap_ * 2 : n;
        const i64 count = static_cast<i64>(cap);
        Block* b = block::create(block::count(&count, 1, 1), 1);
        char* p = static_cast<char*>(block::data(b));
        std::memcpy(p, p_, len_);
        block::release(blk_);
        blk_ = b, p_ = p, cap_ = cap;
    }
};

// Right-aligns s in a field of width w (w 0: the width of s); asterisks when s does not fit.
void right(Record& r, std::string_view s, i32 w) {
    if (w == 0) return r.put(s.data(), s.size());
    if (s.size() > static_cast<std::size_t>(w)) return r.fill('*', w);
    char* at = r.field(w);
    std::memset(at, ' ', w - s.size());
    std::memcpy(at + (w - s.size()), s.data(), s.size());
}

void integer(Record& r, i64 v, i32 w, i32 m) {
    char digits[24];
    std::uint64_t u = v < 0 ? 0 - static_cast<std::uint64_t>(v) : static_cast<std::uint64_t>(v);
    int nd = 0;
    if (!(u == 0 && m == 0)) {  // Iw.0 writes a zero as blanks
        do {
            digits[nd++] = static_cast<char>('0' + u % 10);
            u /= 10;
        } while (u != 0);
    }
    const int len = (v < 0 ? 1 : 0) + (nd > m ? nd : m);
    if (w > 0 && len > w) return r.fill('*', w);
    if (w == 0 && len == 0) return;
    char* at = r.field(w > 0 ? w : len);
    char* p = at + (w > 0 ? w : len);
    for (int k = 0; k < nd; ++k) *--p = digits[k];
    for (int k = nd; k < m; ++k) *--p = '0';
    if (v < 0) *--p = '-';
    while (p > at) *--p = ' ';
}

// Infinity or NaN, as the width allows.
void nonfinite(Record& r, double x, i32 w) {
    std::string_view s;
    if (std::isnan(x))
        s = "NaN";
    else if (x > 0)
        s = w == 0 || w >= 8 ? "Infinity" : "Inf";
    else
        s = w == 0 || w >= 9 ? "-Infinity" : "-Inf";
    right(r, s, w);
}

// sign and body into the field, with the optional zero before the point dropped when the field
// is one short.
void number(Record& r, bool negative, std::string_view body, bool optional_zero, i32 w) {
    std::size_t need = body.size() + (negative ? 1 : 0);
    if (optional_zero && w > 0 && need > static_cast<std::size_t>(w)) {
        body.remove_prefix(1);
        --need;
    }
    if (w > 0 && need > static_cast<std::size_t>(w)) return r.fill('*', w);
    const std::size_t width = w > 0 ? static_cast<std::size_t>(w) : need;
    char* at = r.field(width);
    std::memset(at, ' ', width - need);
    char* p = at + (width - need);
    if (negative) *p++ = '-';
    std::memcpy(p, body.data(), body.size());
}

void fixed(Record& r, double x, i32 w, i32 d, i32 k) {
    if (!std::isfinite(x)) return nonfinite(r, x, w);
    double ax = std::fabs(x);
    if (k != 0) ax *= std::pow(10.0, k);
    if (!std::isfinite(ax)) return r.fill('*', w > 0 ? w : 1);
    Work<char, 400> s(static_cast<i64>(d) + 340);
    const int n = std::snprintf(s.data(), d + 340, "%#.*f", d, ax);
    const std::string_view body(s.data(), n > 0 ? n : 0);
    number(r, std::signbit(x), body, d > 0 && body.size() > 1 && body[0] == '0', w);
}

void exponent_form(Record& r, double x, i32 w, i32 d, i32 e, i32 k, char letter) {
    if (!std::isfinite(x)) return nonfinite(r, x, w);
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
    number(r, std::signbit(x), std::string_view(body.data(), b), k <= 0, w);
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
    std::string_view text() const { return {it_[k_].s, it_[k_].len}; }
    void next() {
        ++j_;
        settle();
    }

  private:
    std::span<const Item> it_;
    std::size_t k_ = 0;  // item
    i64 j_ = 0;          // element of an array item
    void settle() {      // skips finished and empty items
        while (k_ < it_.size()) {
            const Item& x = it_[k_];
            const bool array = x.kind == Item::Kind::integers || x.kind == Item::Kind::reals;
            if (j_ < (array ? x.count : 1)) return;
            ++k_;
            j_ = 0;
        }
    }
};

void field(Record& r, const Token& t, const Items& items, i32 k) {
    const Item::Kind kind = items.kind();
    const i32 w = t.w;
    if (t.op == Op::A) {
        if (kind != Item::Kind::text) return r.fill('*', w > 0 ? w : 1);
        const std::string_view s = items.text();
        if (w < 0) return r.put(s.data(), s.size());
        if (s.size() >= static_cast<std::size_t>(w)) return r.put(s.data(), w);
        return right(r, s, w);
    }
    if (kind == Item::Kind::text) return r.fill('*', w > 0 ? w : 1);
    if (t.op == Op::I) {
        if (kind != Item::Kind::integer) return r.fill('*', w > 0 ? w : 1);
        return integer(r, items.integer(), w, t.e);
    }
    const double x = kind == Item::Kind::real ? items.real() : static_cast<double>(items.integer());
    if (t.op == Op::F) return fixed(r, x, w, t.d, k);
    exponent_form(r, x, w, t.d, t.e, k, t.op == Op::D ? 'D' : 'E');
}

void literal(Record& r, const Token& t) {
    if (!t.quote) return r.put(t.s, t.len);
    for (i32 j = 0; j < t.len; ++j) {
        r.put(t.s + j, 1);
        if (t.s[j] == t.quote) ++j;  // a doubled quote stands for one
    }
}

void run(Program& p, std::span<const Item> list, Sink sink) {
    Record r;
    Items items(list);
    struct Frame {
        i32 open, left;
    };
    Work<Frame, 32> stack(p.n);
    i32 depth = 0, k = 0;
    i32 pc = 1;
    for (;;) {
        const Token& t = p.tokens[pc];
        switch (t.op) {
        case Op::open:
            stack[depth++] = {pc, t.rep};
            ++pc;
            continue;
        case Op::close:
            if (t.link == 0) {  // end of the format
                if (!items.more() || !p.revert_has_data) break;
                r.emit(sink);
                pc = p.revert == 0 ? 1 : p.revert;
                continue;
            }
            if (--stack[depth - 1].left > 0) {
                pc = stack[depth - 1].open + 1;
            } else {
                --depth;
                ++pc;
            }
            continue;
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
            for (i32 j = 0; j < t.rep; ++j) r.emit(sink);
            break;
        case Op::colon:
            if (!items.more()) break;
            ++pc;
            continue;
        case Op::scale:
            k = t.d;
            break;
        default:  // data descriptors
            for (i32 j = 0; j < t.rep; ++j) {
                if (!items.more()) {
                    r.emit(sink);
                    return;
                }
                field(r, t, items, k);
                items.next();
            }
            break;
        }
        if ((t.op == Op::close && t.link == 0) || (t.op == Op::colon && !items.more())) break;
        ++pc;
    }
    r.emit(sink);
}

}  // namespace

bool format(std::string_view fmt, std::span<const Item> items, Sink sink) {
    Program p(static_cast<i64>(fmt.size()) + 2);
    if (!Parser(fmt, p).run()) return false;
    run(p, items, sink);
    return true;
}

void list(std::span<const Item> items, Sink sink) {
    Record r;
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
    r.emit(sink);
}

std::string_view trimmed(const char* s, std::size_t n) {
    std::size_t len = 0;
    while (len < n && s[len] != '\0') ++len;
    while (len > 0 && s[len - 1] == ' ') --len;
    return {s, len};
}

}  // namespace vorlen::io
