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
    std::FILE* file;  // null: free slot
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
    if (path.empty() || std::memchr(path.data(), '\0', path.size())) return false;
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

bool open_append(i64 unit, std::string_view path) {
    Work<char, 256> name(static_cast<i64>(path.size()) + 1);
    if (unit < 0 || !c_name(path, name)) return false;
    Unit* u = find(unit);
    struct stat st;
    if (u && stat(name.data(), &st) == 0 && same_file(u->file, st)) return true;
    Unit* slot = u;
    if (!slot)
        for (Unit& x : table)
            if (!x.file) {
                slot = &x;
                break;
            }
    if (!slot) return false;
    std::FILE* f = std::fopen(name.data(), "a");
    if (!f) return false;
    if (u) std::fclose(u->file);
    *slot = {unit, f};
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
