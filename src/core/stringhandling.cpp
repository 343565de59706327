// Text routines of module stringhandling: one pass over the line each, no heap use for lines up
// to 256 characters (longer inputs that overlap an output are copied once).
#include "core/stringhandling.hpp"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <limits>

#include "base/errorhandling.hpp"
#include "base/format.hpp"
#include "base/work.hpp"

using namespace vorlen;
using std::string_view;

namespace {

constexpr i64 i32max = std::numeric_limits<i32>::max();

i64 length(const i32* l) { return *l < 0 ? 0 : *l; }
string_view view(const char* s, const i32* l) { return {s, static_cast<size_t>(length(l))}; }
i32 saturated(i64 v) { return static_cast<i32>(std::min(v, i32max)); }

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }
char upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; }
bool blank(char c) { return c == ' '; }

string_view trimmed(string_view s) { return s.substr(0, stringhandling::len_trim(s)); }
string_view adjusted(string_view s) {  // leading blanks dropped
    const size_t k = s.find_first_not_of(' ');
    return k == string_view::npos ? string_view() : s.substr(k);
}

// An output text of n characters (none for n below 1).
struct Out {
    char* p;
    i64 n;
    Out(char* q, i64 len) : p(q), n(len < 0 ? 0 : len) {}
};

// o = t cut or padded with blanks; t may overlap o.
void put(Out o, string_view t) {
    const i64 k = std::min<i64>(o.n, static_cast<i64>(t.size()));
    if (k > 0) std::memmove(o.p, t.data(), static_cast<size_t>(k));
    if (o.n > k) std::memset(o.p + k, ' ', static_cast<size_t>(o.n - k));
}

bool overlaps(string_view t, Out o) {
    return o.n > 0 && !t.empty() && t.data() < o.p + o.n && o.p < t.data() + t.size();
}

// An input text read while outputs are written: read from a copy when it overlaps one of them.
class Input {
  public:
    Input(string_view t, std::initializer_list<Out> outs)
        : copied_(std::any_of(outs.begin(), outs.end(), [t](Out o) { return overlaps(t, o); })),
          copy_(copied_ ? static_cast<i64>(t.size()) : 0), text_(t) {
        if (copied_) {
            std::memcpy(copy_.data(), t.data(), t.size());
            text_ = string_view(copy_.data(), t.size());
        }
    }
    string_view operator*() const { return text_; }

  private:
    bool copied_;
    Work<char, 256> copy_;
    string_view text_;
};

// A count that selects more characters than its text holds: code -3, and the caller writes
// its empty result.
bool exceeds(i64 count, i64 len, const char* routine) {
    if (count <= len) return false;
    char msg[80];
    const int k = std::snprintf(msg, sizeof msg,
                                "Error: Count exceeds the length of the text in %s.", routine);
    errorhandling::report(-3, string_view(msg, static_cast<size_t>(std::clamp(k, 0, 79))));
    return true;
}

// The occurrence count looks at sixteen windows at a time through vectors of sixteen bytes.
using Bytes = unsigned char __attribute__((vector_size(16)));

Bytes load(const unsigned char* p) {
    Bytes v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

// The lanes of a comparison that held, one bit each: lane j is bit 8 (j mod 8) of word j / 8.
struct Lanes {
    std::uint64_t word[2];
};
template <class Mask>
Lanes lanes(Mask held) {
    static_assert(sizeof(Mask) == sizeof(Lanes));
    Lanes l;
    std::memcpy(&l, &held, sizeof l);
    for (std::uint64_t& w : l.word) w &= 0x0101010101010101u;
    return l;
}

// The character folds of the count: none, or the letters A to Z to lower case.
struct Exact {
    template <class T>
    T operator()(T c) const {
        return c;
    }
};
struct Blind {
    unsigned char operator()(unsigned char c) const {
        return static_cast<unsigned char>(lower(static_cast<char>(c)));
    }
    Bytes operator()(Bytes v) const { return v - 'A' < 26 ? v | 0x20 : v; }
};

// Occurrences of pattern in s, characters compared after fold, overlapping ones included
// (s.size() + 1 for an empty pattern); with first, 1 at the first one. Windows are screened on
// their first and last characters, sixteen at a time; only those that pass are compared whole.
template <class Fold>
i64 occurrences(string_view s, string_view pattern, bool first, Fold fold) {
    const size_t m = pattern.size();
    if (m == 0) return static_cast<i64>(s.size()) + 1;
    if (m > s.size()) return 0;
    const size_t windows = s.size() - m + 1;
    const auto* a = reinterpret_cast<const unsigned char*>(s.data());
    const auto* b = reinterpret_cast<const unsigned char*>(pattern.data());
    const unsigned char head = fold(b[0]), tail = fold(b[m - 1]);
    auto between = [&](size_t p) {  // the characters between the window's first and last
        size_t k = 1;
        for (; k + 16 < m; k += 16) {
            const Lanes d = lanes(fold(load(a + p + k)) != fold(load(b + k)));
            if (d.word[0] | d.word[1]) return false;
        }
        for (; k + 1 < m; ++k)
            if (fold(a[p + k]) != fold(b[k])) return false;
        return true;
    };
    i64 count = 0;
    size_t p = 0;
    for (; p + 16 <= windows; p += 16) {
        Lanes l = lanes((fold(load(a + p)) == head) & (fold(load(a + p + m - 1)) == tail));
        for (size_t j = 0; j < 2; ++j)
            for (std::uint64_t& w = l.word[j]; w != 0; w &= w - 1)
                if (between(p + 8 * j + static_cast<size_t>(std::countr_zero(w)) / 8)) {
                    if (first) return 1;
                    ++count;
                }
    }
    for (; p < windows; ++p)
        if (fold(a[p]) == head && fold(a[p + m - 1]) == tail && between(p)) {
            if (first) return 1;
            ++count;
        }
    return count;
}

i64 tally_text(string_view s, string_view text, i32 csflag, bool first) {
    text = trimmed(text);
    if (csflag == 1 || text.empty()) return occurrences(s, text, first, Exact{});
    // s left-adjusted: the blanks that move to its end hold no occurrence of a text that ends
    // in a non-blank
    return occurrences(adjusted(s), text, first, Blind{});
}

template <char (*F)(char)>
void map_case(char* out, const char* s, const i32* n, const i32* ls, const char* routine) {
    const Out o(out, *n);
    if (o.n == 0) return;
    if (exceeds(o.n, length(ls), routine)) return put(o, {});
    const Input in(string_view(s, static_cast<size_t>(o.n)), {o});
    std::transform((*in).begin(), (*in).end(), o.p, F);
}

}  // namespace

namespace vorlen::stringhandling {

i64 len_trim(string_view s) {
    const size_t k = s.find_last_not_of(' ');
    return k == string_view::npos ? 0 : static_cast<i64>(k + 1);
}

bool match(string_view a, string_view b) {
    a = trimmed(a), b = trimmed(b);
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](char x, char y) { return lower(x) == lower(y); });
}

i64 tally(string_view s, string_view text, i32 csflag) {
    return tally_text(s, text, csflag, false);
}

bool occurs(string_view a, string_view b) { return tally_text(a, b, 0, true) > 0; }

i32 countitems(string_view s0) {
    const i64 n = clen(s0);
    auto at = [s0](i64 i) {
        return s0[static_cast<size_t>(i)] == '\t' ? ' ' : s0[static_cast<size_t>(i)];
    };
    i64 k = n;
    while (k > 0 && at(k - 1) == ' ') --k;
    if (k <= 1) return static_cast<i32>(k);
    i64 count = 1;  // at most one per character: fits
    for (i64 i = 0; i + 1 < k; ++i) {
        const char c = at(i), d = at(i + 1);
        if (d == ',')
            ++count;
        else if (d == ' ' && c != ' ' && c != ',')
            ++count;
    }
    return static_cast<i32>(count);
}

i64 clen(string_view s) {
    const i64 k = len_trim(s);
    return k > 0 && s[static_cast<size_t>(k - 1)] == '\0' ? k - 1 : static_cast<i64>(s.size());
}

i64 clen_trim(string_view s) {
    const i64 k = len_trim(s);
    return k > 0 && s[static_cast<size_t>(k - 1)] == '\0' ? k - 1 : k;
}

i32 str2int(string_view ca, i32& integ) {
    auto space = [](char c) { return c == ' ' || c == '\t'; };
    size_t i = 0;
    while (i < ca.size() && space(ca[i])) ++i;
    if (i == ca.size()) return -1;
    size_t j = i;
    while (j < ca.size() && !space(ca[j]) && ca[j] != ',' && ca[j] != '/') ++j;
    string_view item = ca.substr(i, j - i);
    if (item.empty()) return 0;  // a null value or a slash: integ keeps its value
    auto digits = [](string_view t) {
        return !t.empty() && t.find_first_not_of("0123456789") == string_view::npos;
    };
    if (const size_t star = item.find('*'); star != string_view::npos) {  // r*c
        const string_view r = item.substr(0, star);
        if (!digits(r) || r.find_first_not_of('0') == string_view::npos) return 1;
        item = item.substr(star + 1);
        if (item.empty()) return 0;
    }
    const bool negative = item[0] == '-';
    if (item[0] == '-' || item[0] == '+') item.remove_prefix(1);
    if (!digits(item)) return 1;
    i64 v = 0;
    for (const char c : item) {
        v = v * 10 + (c - '0');
        if (v > i32max + 1) return 1;
    }
    if (negative) v = -v;
    if (v > i32max) return 1;
    integ = static_cast<i32>(v);
    return 0;
}

extern "C" {

void stringhandling_split(char* a, char* b, const char* s, const char* sdelim, const i32* n,
                          const i32* ls) {
    const Out oa(a, *n), ob(b, *n);
    if (oa.n == 0) return;
    const char delim = *sdelim;
    const Input in(view(s, ls), {oa, ob});
    const size_t i = (*in).find(delim);
    put(oa, (*in).substr(0, i));
    put(ob, i == string_view::npos ? string_view() : (*in).substr(i + 1));
}

void stringhandling_extract(char* extract, const char* s, const char* startkey, const char* stopkey,
                            const i32* n, const i32* ls, const i32* lstartkey,
                            const i32* lstopkey) {
    const Out o(extract, *n);
    if (o.n == 0) return;
    const string_view text = view(s, ls), start = view(startkey, lstartkey),
                      stop = view(stopkey, lstopkey);
    const size_t p = text.rfind(start);
    if (p == string_view::npos) return put(o, {});  // no start key: nothing follows it
    const string_view after = text.substr(p + static_cast<size_t>(len_trim(start)));
    const size_t q = after.find(stop);
    const Input in(q == string_view::npos ? string_view() : after.substr(0, q), {o});
    put(o, adjusted(*in));
}

void stringhandling_lowercase(char* lowercase, const char* s, const i32* n, const i32* ls) {
    map_case<lower>(lowercase, s, n, ls, "lowercase");
}

void stringhandling_uppercase(char* uppercase, const char* s, const i32* n, const i32* ls) {
    map_case<upper>(uppercase, s, n, ls, "uppercase");
}

lgl stringhandling_match(const char* a, const char* b, const i32* la, const i32* lb) {
    return match(view(a, la), view(b, lb));
}

i32 stringhandling_tally(const char* s, const char* text, const i32* csflag, const i32* ls,
                         const i32* ltext) {
    return saturated(tally(view(s, ls), view(text, ltext), csflag ? *csflag : 1));
}

lgl stringhandling_occurs(const char* a, const char* b, const i32* la, const i32* lb) {
    return occurs(view(a, la), view(b, lb));
}

i32 stringhandling_countitems(const char* s0, const i32* ls0) { return countitems(view(s0, ls0)); }

void stringhandling_translate(const char* s0, char* sout, const i32* codes, const i32* n,
                              const i32* nc, const i32* ls0) {
    const Out o(sout, *n);
    if (o.n == 0) return;
    if (exceeds(o.n, length(ls0), "translate")) return put(o, {});
    unsigned char to[256];
    bool seen[256] = {};
    for (int c = 0; c < 256; ++c) to[c] = static_cast<unsigned char>(c);
    const Mat<const i32> code(codes, *nc, 2);
    for (i64 j = 1; j <= code.extent(1); ++j) {
        const auto from = static_cast<unsigned char>(code(j, 1));
        if (!seen[from]) seen[from] = true, to[from] = static_cast<unsigned char>(code(j, 2));
    }
    const Input in(string_view(s0, static_cast<size_t>(o.n)), {o});
    std::transform((*in).begin(), (*in).end(), o.p,
                   [&to](char c) { return static_cast<char>(to[static_cast<unsigned char>(c)]); });
}

void stringhandling_replacetext(const char* s, const char* text, const char* rep, char* sout,
                                const i32* nout, const i32* ls, const i32* ltext, const i32* lrep) {
    const Out o(sout, *nout);
    if (o.n == 0) return;
    const Input text_in(trimmed(view(text, ltext)), {o}), rep_in(trimmed(view(rep, lrep)), {o});
    put(o, view(s, ls));  // put reads s before it writes over it
    const string_view pat = *text_in, with = *rep_in;
    if (pat.empty()) return;
    const i64 nt = static_cast<i64>(pat.size()), nr = static_cast<i64>(with.size());
    // Every search starts again at the first character. A replacement leaves the characters
    // before it as they were, where no occurrence started, so the next occurrence starts at
    // i - nt + 1 at the earliest. A rep that holds the text would be found again at every pass:
    // there the search goes on after it.
    const bool again = with.find(pat) != string_view::npos;
    // Passes whose number no search that ends comes near (a pass moves what follows it by
    // nr - nt, or by nothing).
    const i64 limit = o.n * o.n + 1;
    i64 from = 0;
    for (i64 pass = 0; pass < limit; ++pass) {
        const size_t hit = string_view(o.p, static_cast<size_t>(o.n)).find(pat, from);
        if (hit == string_view::npos) break;
        const i64 i = static_cast<i64>(hit), after = i + nr, rest = o.n - (i + nt);
        // sout = sout(1:i) // rep // sout(i+nt+1:nout), cut or padded to nout
        if (after < o.n && rest > 0)
            std::memmove(o.p + after, o.p + i + nt,
                         static_cast<size_t>(std::min(rest, o.n - after)));
        std::memcpy(o.p + i, with.data(), static_cast<size_t>(std::min(nr, o.n - i)));
        if (after + rest < o.n) put(Out(o.p + after + rest, o.n - after - rest), {});
        from = again ? after : std::max<i64>(i - nt + 1, 0);
        if (from >= o.n) break;
    }
}

void stringhandling_reduceblanks(const char* s, char* sout, const i32* nout, const i32* ls) {
    const Out o(sout, *nout);
    if (o.n == 0) return;
    const Input in(trimmed(view(s, ls)), {o});
    i64 w = 0;
    for (size_t i = 0; i < (*in).size() && w < o.n; ++i)
        if (!blank((*in)[i]) || i == 0 || !blank((*in)[i - 1])) o.p[w++] = (*in)[i];
    put(Out(o.p + w, o.n - w), {});
}

void stringhandling_spack(const char* s, const char* ex, char* sout, const i32* ns, const i32* nx,
                          const i32* ls, const i32* lex) {
    const Out o(sout, *ns);
    if (o.n == 0) return;
    if (*nx < 1 || exceeds(*nx, length(lex), "spack")) return put(o, {});
    bool keep[256] = {};
    for (i64 j = 0; j < *nx; ++j) keep[static_cast<unsigned char>(ex[j])] = true;
    const Input in(view(s, ls), {o});
    i64 w = 0;
    for (size_t i = 0; i < (*in).size() && w < o.n; ++i)
        if (keep[static_cast<unsigned char>((*in)[i])]) o.p[w++] = (*in)[i];
    put(Out(o.p + w, o.n - w), {});
}

namespace {

// int2aformat with a format that cannot write its integers: code -3 "Format <fmt>: <reason> in
// int2aformat" and the blank result.
[[gnu::cold]] void refused_format(Out o, string_view reason, string_view fmt) {
    char problem[80];
    std::size_t k = 0;
    for (string_view part : {string_view("Format "), fmt, string_view(": "), reason})
        for (char c : part)
            if (k < sizeof problem) problem[k++] = c;
    errorhandling::report(-3, string_view(problem, k), "int2aformat");
    put(o, {});
}

}  // namespace

void stringhandling_int2aformat(char* j2s, const i32* jrray, const char* aw, const i32* jmax,
                                const i32* sout, const i32* n, const i32* m) {
    const Out o(j2s, *sout);
    char text[8];  // j2s may be written over aw
    std::memcpy(text, aw, sizeof text);
    const string_view fmt(text, sizeof text);
    const i64 items = *n < 1 || *m < 1 ? 0 : static_cast<i64>(*n) * *m;
    put(o, {});
    if (items == 0) return;
    const io::Format format(fmt);
    if (format.error()) return refused_format(o, format.error(), trimmed(fmt));
    // The record of one item holds jmax characters; those up to 256 are written on the stack.
    const i64 reclen = length(jmax);
    i64 used = 0;  // trimmed length of the result
    auto append = [&](string_view record) {
        const string_view item = trimmed(adjusted(record));
        const i64 take = std::min<i64>(static_cast<i64>(item.size()), o.n - used);
        if (take <= 0) return;
        std::memcpy(o.p + used, item.data(), static_cast<size_t>(take));
        used = len_trim(string_view(o.p, static_cast<size_t>(used + take)));
    };
    char small[256];
    for (i64 k = 0; k < items; ++k) {
        const io::Item item(jrray[k]);
        const std::span<const io::Item> one(&item, 1);
        const char* why = nullptr;
        const i64 len = format.write(small, std::min<i64>(reclen, sizeof small), one, &why);
        if (len < 0) return refused_format(o, why, trimmed(fmt));
        if (len > reclen) {  // the write does not fit the text of jmax characters
            errorhandling::report(-3, "Error: Item longer than jmax characters in int2aformat.");
            return put(o, {});
        }
        if (len <= static_cast<i64>(sizeof small)) {
            append(string_view(small, static_cast<size_t>(len)));
        } else {
            Work<char, 1> large(len);
            format.write(large.data(), len, one);
            append(string_view(large.data(), static_cast<size_t>(len)));
        }
    }
}

i32 stringhandling_clen(const char* s, const i32* ls) {
    return static_cast<i32>(clen(view(s, ls)));
}

i32 stringhandling_clen_trim(const char* s, const i32* ls) {
    return static_cast<i32>(clen_trim(view(s, ls)));
}

void stringhandling_ctrim(char* ctrim, const char* s, const i32* n, const i32* ls) {
    const string_view t = view(s, ls);
    put(Out(ctrim, *n), t.substr(0, static_cast<size_t>(clen_trim(t))));
}

void stringhandling_int2str(const i32* integ, char* ca, i32* istat, const i32* n) {
    char digits[12];
    const auto end = std::to_chars(digits, digits + sizeof digits, *integ).ptr;
    const Out o(ca, *n);
    *istat = end - digits > o.n ? 1 : 0;
    put(o, *istat ? string_view() : string_view(digits, static_cast<size_t>(end - digits)));
}

void stringhandling_str2int(const char* ca, i32* integ, i32* istat, const i32* lca) {
    *istat = str2int(view(ca, lca), *integ);
}

void stringhandling_str2ascii(i32* ia, const char* ca, const i32* n, const i32* lca) {
    if (*n < 1 || exceeds(*n, length(lca), "str2ascii")) return;
    const Input in(string_view(ca, static_cast<size_t>(*n)),
                   {Out(reinterpret_cast<char*>(ia), i64{*n} * 4)});
    std::transform((*in).begin(), (*in).end(), ia,
                   [](char c) { return static_cast<i32>(static_cast<unsigned char>(c)); });
}

void stringhandling_copys2a(const char* s, char* ca, const i32* n, const i32* ls) {
    if (*n < 1 || exceeds(*n, length(ls), "copys2a")) return;
    std::memmove(ca, s, static_cast<size_t>(*n));
}

void stringhandling_copya2s(const char* ca, char* s, const i32* n, const i32* nca) {
    const Out o(s, *n);
    if (o.n == 0) return;
    if (exceeds(o.n, length(nca), "copya2s")) return put(o, {});
    std::memmove(s, ca, static_cast<size_t>(o.n));
}

void stringhandling_inistringwithcharacter(char* inistringwithcharacter, const char* ch,
                                           const i32* n) {
    const Out o(inistringwithcharacter, *n);
    if (o.n > 0) std::memset(o.p, *ch, static_cast<size_t>(o.n));
}

}  // extern "C"
}  // namespace vorlen::stringhandling
