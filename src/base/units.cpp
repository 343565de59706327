// The unit table: a few connected files, looked up by unit number; files are compared by device
// and inode, so one file under two names is one file.
#include "base/units.hpp"

#include <sys/stat.h>

#include <cstdio>
#include <cstring>

#include "base/work.hpp"

namespace vorlen::io {
namespace {

struct Unit {
    i64 number;
    std::FILE* file;        // null: free slot
    bool reading = false;   // opened by open_read
    bool past_end = false;  // a read met the end of the file
};

constexpr int max_units = 64;
Unit table[max_units];

Unit* find(i64 unit) {
    for (Unit& u : table)
        if (u.file && u.number == unit) return &u;
    return nullptr;
}

std::FILE* stream(i64 unit) {
    if (Unit* u = find(unit)) return u->file;
    return unit == 6 ? stdout : nullptr;
}

bool same_file(std::FILE* f, const struct stat& st) {
    struct stat fs;
    return fstat(fileno(f), &fs) == 0 && fs.st_dev == st.st_dev && fs.st_ino == st.st_ino;
}

// path as a zero-terminated name in `name`; false for an empty path or one with a zero byte
bool c_name(std::string_view path, Work<char, 256>& name) {
    if (path.empty() || path.find('\0') != std::string_view::npos) return false;
    std::memcpy(name.data(), path.data(), path.size());
    name[static_cast<i64>(path.size())] = '\0';
    return true;
}

void put_record(void* ctx, const char* rec, std::size_t len) {
    auto* f = static_cast<std::FILE*>(ctx);
    std::fwrite(rec, 1, len, f);
    std::fputc('\n', f);
}

}  // namespace

namespace {

// Connects unit to the file `name` opened in `mode`, in its own slot or a free one; the file the
// unit had is closed once the new one is open.
bool connect(i64 unit, const char* name, const char* mode) {
    Unit* u = find(unit);
    Unit* slot = u;
    if (!slot)
        for (Unit& x : table)
            if (!x.file) {
                slot = &x;
                break;
            }
    if (!slot) return false;
    std::FILE* f = std::fopen(name, mode);
    if (!f) return false;
    if (u) std::fclose(u->file);
    *slot = {unit, f, mode[0] == 'r', false};
    return true;
}

}  // namespace

bool open_append(i64 unit, std::string_view path) {
    Work<char, 256> name(static_cast<i64>(path.size()) + 1);
    if (unit < 0 || !c_name(path, name)) return false;
    const Unit* u = find(unit);
    struct stat st;
    if (u && !u->reading && stat(name.data(), &st) == 0 && same_file(u->file, st)) return true;
    return connect(unit, name.data(), "a");
}

bool open_read(i64 unit, std::string_view path) {
    Work<char, 256> name(static_cast<i64>(path.size()) + 1);
    if (unit < 0 || !c_name(path, name)) return false;
    struct stat st;
    if (stat(name.data(), &st) != 0 || S_ISDIR(st.st_mode)) return false;
    return connect(unit, name.data(), "r");
}

namespace {

Unit* reader(i64 unit) {
    Unit* u = find(unit);
    return u && u->reading ? u : nullptr;
}

}  // namespace

bool readable(i64 unit) { return reader(unit) != nullptr; }

i64 read_text(i64 unit, char* buf, i64 len) {
    Unit* u = reader(unit);
    if (!u) return -2;
    if (u->past_end) return -1;
    std::FILE* f = u->file;
    const i64 cap = len < 0 ? 0 : len;
    i64 n = 0;
    int c, last = 0;
    while ((c = getc_unlocked(f)) != EOF && c != '\n') {
        if (n < cap) buf[n] = static_cast<char>(c);
        ++n;
        last = c;
    }
    if (c == EOF) {
        if (std::ferror(f)) {
            std::clearerr(f);
            return -2;
        }
        if (n == 0) {
            u->past_end = true;
            return -1;
        }
    }
    return last == '\r' ? n - 1 : n;
}

i64 read_line(i64 unit, char* buf, i64 len) {
    const i64 n = read_text(unit, buf, len);
    if (n >= 0)  // a line was read
        for (i64 i = n; i < len; ++i) buf[i] = ' ';
    return n;
}

i64 read_bytes(i64 unit, char* buf, i64 len) {
    Unit* u = reader(unit);
    if (!u) return -2;
    if (u->past_end || len < 1) return 0;
    const std::size_t n = std::fread(buf, 1, static_cast<std::size_t>(len), u->file);
    if (n < static_cast<std::size_t>(len) && std::ferror(u->file)) {
        std::clearerr(u->file);
        return -2;
    }
    if (n == 0) u->past_end = true;
    return static_cast<i64>(n);
}

bool backspace(i64 unit, i64 n) {
    Unit* u = reader(unit);
    if (!u) return false;
    if (n > 0 && u->past_end) {
        u->past_end = false;
        --n;
    }
    std::FILE* f = u->file;
    long p = std::ftell(f);
    if (p < 0) return false;
    // Backward scan in blocks: chunk holds the bytes [base, base + have).
    char chunk[4096];
    long base = p, have = 0;
    auto byte = [&](long at) -> int {
        if (at < base || at >= base + have) {
            const long size = static_cast<long>(sizeof chunk);
            base = at + 1 >= size ? at + 1 - size : 0;
            if (std::fseek(f, base, SEEK_SET) != 0) return -1;
            have = static_cast<long>(
                std::fread(chunk, 1, static_cast<std::size_t>(at + 1 - base), f));
            if (at >= base + have) return -1;
        }
        return static_cast<unsigned char>(chunk[at - base]);
    };
    for (; n > 0 && p > 0; --n) {
        long q = p;
        if (byte(q - 1) == '\n') --q;  // the end of the line before
        while (q > 0 && byte(q - 1) != '\n') --q;
        p = q;
    }
    std::clearerr(f);
    return std::fseek(f, p, SEEK_SET) == 0;
}

bool rewind(i64 unit) {
    Unit* u = reader(unit);
    if (!u) return false;
    u->past_end = false;
    std::clearerr(u->file);
    return std::fseek(u->file, 0, SEEK_SET) == 0;
}

bool tell(i64 unit, Place& place) {
    Unit* u = reader(unit);
    if (!u) return false;
    const long p = std::ftell(u->file);
    if (p < 0) return false;
    place = {p, u->past_end};
    return true;
}

bool seek(i64 unit, const Place& place) {
    Unit* u = reader(unit);
    if (!u) return false;
    std::clearerr(u->file);
    if (std::fseek(u->file, static_cast<long>(place.offset), SEEK_SET) != 0) return false;
    u->past_end = place.past_end;
    return true;
}

void close(i64 unit) {
    if (Unit* u = find(unit)) {
        std::fclose(u->file);
        u->file = nullptr;
    }
}

bool connected(i64 unit) { return stream(unit) != nullptr; }

i64 unit_of(std::string_view path) {
    Work<char, 256> name(static_cast<i64>(path.size()) + 1);
    struct stat st;
    if (!c_name(path, name) || stat(name.data(), &st) != 0) return -1;
    for (const Unit& u : table)
        if (u.file && same_file(u.file, st)) return u.number;
    return -1;
}

i64 free_unit(i64 first, i64 last) {
    for (i64 n = first < 0 ? 0 : first; n <= last; ++n)
        if (!connected(n)) return n;
    return -1;
}

bool write(i64 unit, std::string_view fmt, std::span<const Item> items) {
    std::FILE* f = stream(unit);
    if (!f || !format(fmt, items, {put_record, f})) return false;
    std::fflush(f);
    return true;
}

bool write_list(i64 unit, std::span<const Item> items) {
    std::FILE* f = stream(unit);
    if (!f) return false;
    list(items, {put_record, f});
    std::fflush(f);
    return true;
}

}  // namespace vorlen::io
