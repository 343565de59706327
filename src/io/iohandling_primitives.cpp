// Card-file primitives: units, counts, keyword searches and data blocks over the unit table.
#include "io/iohandling_primitives.hpp"

#include <algorithm>
#include <charconv>
#include <limits>
#include <optional>

#include "base/errorhandling.hpp"
#include "base/units.hpp"
#include "base/work.hpp"
#include "core/stringhandling.hpp"

namespace vorlen::iohandling {
namespace {

using std::string_view;

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

string_view view(const char* s, const i32* n) {
    return {s, s && *n > 0 ? static_cast<std::size_t>(*n) : 0};
}

[[gnu::cold]] void unconnected(string_view routine) {
    errorhandling::report(-3, "No file connected to the unit", routine);
}

[[gnu::cold]] void read_error(string_view name) {
    char msg[80];
    const string_view head = "Error: Error in ", tail = "Read operation exited with an error.";
    std::size_t k = 0;
    for (string_view part : {head, name, tail})
        for (char c : part)
            if (k < sizeof msg) msg[k++] = c;
    errorhandling::report(-2, string_view(msg, k));
}

}  // namespace

bool number(string_view t, double& v) {
    const char* p = t.data();
    const std::size_t n = t.size();
    std::optional<Work<char, kLine>> buf;
    if (std::any_of(p, p + n, [](char c) { return c == 'd' || c == 'D'; })) {  // read with e
        buf.emplace(static_cast<i64>(n));
        for (std::size_t i = 0; i < n; ++i)
            (*buf)[static_cast<i64>(i)] = (p[i] == 'd' || p[i] == 'D') ? 'e' : p[i];
        p = buf->data();
    }
    const char* b = p;
    if (n > 0 && p[0] == '+' && (++b == p + n || *b == '+' || *b == '-')) return false;
    const auto r = std::from_chars(b, p + n, v, std::chars_format::general);
    return r.ec == std::errc() && r.ptr == p + n;
}

bool number(string_view t, i32& v) {
    const char* b = t.data();
    const char* e = b + t.size();
    if (b != e && *b == '+' && (++b == e || *b == '+' || *b == '-')) return false;
    const auto r = std::from_chars(b, e, v);
    return r.ec == std::errc() && r.ptr == e;
}

namespace {

// Whether the line (blank-padded beyond n) matches keyword as the keyword searches compare.
bool keyline(string_view line, string_view keyword, i64 lkey) {
    std::size_t b = 0;
    while (b < line.size() && line[b] == ' ') ++b;
    line.remove_prefix(b);
    for (i64 i = 0; i < lkey; ++i) {
        const auto k = static_cast<std::size_t>(i);
        const char a = k < line.size() ? line[k] : ' ';
        const char w = k < keyword.size() ? keyword[k] : ' ';
        if (lower(a) != lower(w)) return false;
    }
    return true;
}

bool terminator(string_view line, string_view skeys) {
    return !line.empty() && skeys.find(line[0]) != string_view::npos;
}

i64 size_of(i32 unit, string_view skeys) {
    io::Place start;
    if (!io::tell(unit, start)) return 0;
    Line line;
    i64 total = 0;
    while (line.read(unit) >= 0 && !terminator(line.text(), skeys))
        total += count_items(line.text());
    io::seek(unit, start);
    return std::min<i64>(total, std::numeric_limits<i32>::max());
}

template <class T>
void getdatapoints(const i32* fileid, T* outdata, const i32* n) {
    static constexpr string_view routine = "GetDataPoints";
    const i64 total = block_size(*fileid, routine);
    if (total < 0) return;
    Work<T, 64> work(total);
    if (!read_block(*fileid, work.data(), total)) return;
    const i64 cap = std::max<i32>(*n, 0);
    if (total > cap) errorhandling::report(-3, "More values than outdata holds", routine);
    std::copy_n(work.data(), std::min(total, cap), outdata);
}

}  // namespace

namespace {

// Calls item(index, text) for every non-empty item of the line and returns the item count, as
// stringhandling::countitems counts: a new item begins at every comma after the first character
// and at every blank (or tab) after a character that is neither blank nor comma, so the
// non-empty items are the runs of other characters.
template <class F>
i32 scan_items(string_view s, F item) {
    auto sep = [](char c) { return c == ' ' || c == ',' || c == '\t'; };
    const char* p = s.data();
    i64 k = stringhandling::clen(s);
    while (k > 0 && (p[k - 1] == ' ' || p[k - 1] == '\t')) --k;
    i32 index = 0;
    for (i64 i = 0; i < k;) {
        if (p[i] == ',') {
            if (i > 0) ++index;
            ++i;
        } else if (p[i] == ' ' || p[i] == '\t') {
            ++i;
        } else {
            const i64 b = i;
            while (i < k && !sep(p[i])) ++i;
            item(index, string_view(p + b, static_cast<std::size_t>(i - b)));
            if (i < k) ++index, ++i;  // the separator after the run ends the item
        }
    }
    return k > 0 ? index + 1 : 0;
}

}  // namespace

i64 Line::read(i32 unit) {
    p_ = small_;
    n_ = 0;
    i64 n = io::read_text(unit, small_, kLine);
    if (n <= kLine) {
        n_ = static_cast<std::size_t>(std::max<i64>(n, 0));
        return n;
    }
    // longer than the buffer: back to its start and read again into storage of its length
    if (!io::backspace(unit)) return -2;
    large_.resize(static_cast<std::size_t>(n));
    const i64 m = io::read_text(unit, large_.data(), n);
    if (m < 0) return m;
    n = std::min(n, m);
    p_ = large_.data();
    n_ = static_cast<std::size_t>(n);
    return n;
}

template <class T>
i32 parse_items(string_view s, T* out, i64 cap, bool& ok) {
    ok = true;
    return scan_items(s, [&](i32 index, string_view t) {
        T v{};
        if (!number(t, v))
            ok = false;
        else if (index < cap)
            out[index] = v;
    });
}

i32 count_items(string_view line) {
    return scan_items(line, [](i32, string_view) {});
}

template i32 parse_items<double>(string_view, double*, i64, bool&);
template i32 parse_items<i32>(string_view, i32*, i64, bool&);

i64 block_size(i32 unit, string_view routine) {
    if (!io::readable(unit)) {
        unconnected(routine);
        return -1;
    }
    return size_of(unit, "*+");
}

template <class T>
bool read_block(i32 unit, T* values, i64 count) {
    if (!io::readable(unit)) {
        unconnected("GetDataPoints");
        return false;
    }
    Line line;
    i64 filled = 0;
    bool ok = true;
    while (line.read(unit) >= 0 && !terminator(line.text(), "*+")) {
        bool line_ok;
        filled += parse_items(line.text(), values + filled, count - filled, line_ok);
        filled = std::min(filled, count);
        ok = ok && line_ok;
    }
    io::backspace(unit);
    if (!ok) read_error("GetDataPoints");
    return ok;
}

template bool read_block<double>(i32, double*, i64);
template bool read_block<i32>(i32, i32*, i64);

extern "C" {

i32 GetFreeUnitNumber(const i32* first, const i32* last) {
    return static_cast<i32>(io::free_unit(*first, *last));
}

i32 iohandling_getunitnumber(const char* filename, const i32* lfilename) {
    const string_view name = view(filename, lfilename);
    return static_cast<i32>(io::unit_of(io::trimmed(name.data(), name.size())));
}

void RewindFile(const i32* fileid, const i32* nrwd) {
    if (!io::readable(*fileid)) return unconnected("RewindFile");
    if (*nrwd > 0) io::backspace(*fileid, *nrwd);
}

i32 GetFileLength(const i32* fileid, const lgl* rwd) {
    if (!io::readable(*fileid)) {
        unconnected("GetFileLength");
        return 0;
    }
    char line[kLine];  // only counted: a longer line is cut
    i32 count = 0;
    for (i64 n; (n = io::read_line(*fileid, line, kLine)) != -1; ++count)
        if (n == -2) {
            read_error("GetFileLength");
            return count;
        }
    if (!rwd || *rwd) io::rewind(*fileid);
    return count;
}

i32 iohandling_getnumberofkeywords(const i32* fileid, const char* keyword, const i32* lkey,
                                   const lgl* rwd, const i32* lkeyword) {
    if (!io::readable(*fileid)) {
        unconnected("GetNumberOfKeywords");
        return 0;
    }
    const string_view key = view(keyword, lkeyword);
    Line line;
    i32 count = 0;
    for (i64 n; (n = line.read(*fileid)) != -1;) {
        if (n == -2) {
            read_error("GetNumberOfKeywords");
            return count;
        }
        if (keyline(line.text(), key, *lkey)) ++count;
    }
    if (!rwd || *rwd) io::rewind(*fileid);
    return count;
}

lgl iohandling_get2nextkey(const i32* fileid, const i32* dirflag, const char* keyword,
                           const i32* lkey, const i32* ulimit, const i32* returnkey,
                           const i32* lkeyword) {
    const i32 unit = *fileid;
    if (!io::readable(unit)) {
        unconnected("Get2NextKey");
        return 0;
    }
    const bool readkey = returnkey && *returnkey == 1;
    const string_view key = view(keyword, lkeyword);
    Line line;
    bool found = false, end = false;
    for (i32 k = 1; k <= *ulimit; ++k) {
        if (*dirflag == -1) io::backspace(unit, 2);
        const i64 n = line.read(unit);
        if (n == -2) {
            read_error("Get2NextKey");
            return 0;
        }
        if (n == -1) {
            end = true;
            break;
        }
        if (keyline(line.text(), key, *lkey)) {
            found = true;
            break;
        }
    }
    if (readkey) io::backspace(unit);
    return found && !end;
}

i32 iohandling_getsizeofdata(const i32* fileid, const char* skeys, const i32* ls,
                             const i32* lskeys) {
    if (!io::readable(*fileid)) {
        unconnected("GetSizeOfData");
        return 0;
    }
    string_view keys = view(skeys, lskeys);
    if (*ls < 0 || *ls > static_cast<i64>(keys.size()))
        errorhandling::report(-3, "Terminator count outside the text", "GetSizeOfData");
    keys = keys.substr(0, static_cast<std::size_t>(std::clamp<i64>(*ls, 0, keys.size())));
    return static_cast<i32>(size_of(*fileid, keys));
}

void iohandling_real_getdatapoints(const i32* fileid, double* outdata, const i32* n) {
    getdatapoints(fileid, outdata, n);
}

void iohandling_int_getdatapoints(const i32* fileid, i32* outdata, const i32* n) {
    getdatapoints(fileid, outdata, n);
}

void iohandling_getxydatapoints(const i32* fileid, double* xydata, const i32* ndata,
                                const i32* nrows) {
    static constexpr string_view routine = "GetXYDataPoints";
    const i64 nparams = block_size(*fileid, routine);
    if (nparams < 0) return;
    if (*ndata < 1) {
        errorhandling::report(-3, "Row count below 1", routine);
        return;
    }
    if (*nrows != nparams / *ndata) {
        read_error(routine);
        return;
    }
    Work<double, 64> v(nparams);
    if (!read_block(*fileid, v.data(), nparams)) return;
    const Mat<double> xy(xydata, *ndata, *nrows);
    for (i64 i = 1; i <= *ndata; ++i)
        for (i64 j = 1; j <= *nrows; ++j) xy(i, j) = v[(i - 1) * *nrows + j - 1];
}

void iohandling_getddsfromfile(const i32* fileid, double* xdds, const i32* nplies) {
    static constexpr string_view routine = "GetDDSFromFile";
    const i64 nparams = block_size(*fileid, routine);
    if (nparams < 0) return;
    Work<double, 64> v(nparams);
    if (!read_block(*fileid, v.data(), nparams)) return;
    i64 rows = nparams / 4;
    const i64 cols = std::max<i32>(*nplies, 0);
    if (rows > cols) {
        errorhandling::report(-3, "More damage rows than plies", routine);
        rows = cols;
    }
    const Mat<double> x(xdds, 3, cols);
    for (i64 k = 1; k <= rows; ++k) {
        x(1, k) = v[4 * k - 3];
        x(2, k) = v[4 * k - 2];
    }
}

i32 iohandling_getxidfromstring(const char* s, const i32* ls, const char* xind,
                                const i32* notfound, const i32* lsfull) {
    i32 id = notfound ? *notfound : -1;
    const char x = lower(*xind);
    if (x != 'd' && x != 'i' && x != 'l' && x != 'm' && x != 's') return id;
    const string_view text = view(s, lsfull);
    if (*ls < 0 || *ls > static_cast<i64>(text.size()))
        errorhandling::report(-3, "Length outside the name", "GetXIDFromString");
    const i64 n = std::clamp<i64>(*ls, 0, text.size());
    Work<char, 256> low(n);
    for (i64 i = 0; i < n; ++i) low[i] = lower(text[static_cast<std::size_t>(i)]);
    const string_view name(low.data(), static_cast<std::size_t>(n));
    const char marker[3] = {'_', x, '@'};
    const std::size_t p = name.rfind(string_view(marker, 3));
    if (p == string_view::npos) return id;
    const std::size_t b = p + 3, e = name.find('@', b);
    if (e == string_view::npos) return id;
    i32 value = id;
    if (stringhandling::str2int(name.substr(b, e - b), value) == 0) id = value;
    return id;
}

}  // extern "C"
}  // namespace vorlen::iohandling
