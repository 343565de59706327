// Numbered output units: unit 6 is standard output; other numbers are connected to named files
// for appending, written record by record in the notation of base/format.hpp, and closed.
#pragma once
#include <initializer_list>
#include <span>
#include <string_view>

#include "base/format.hpp"

namespace vorlen::io {

// Connects `unit` (0 or more) to the file `path`, positioned at its end (a missing file is
// created). A unit connected to that same file stays as it is; a unit connected to another
// file is closed first; unit 6 leaves standard output until it is closed. Returns false, the
// unit staying as it was, when the file cannot be opened, the name is empty or holds a zero
// byte, the unit number is negative, or 64 files are connected already.
bool open_append(i64 unit, std::string_view path);

// Closes the file of `unit`; unit 6 returns to standard output. An unconnected unit is left.
void close(i64 unit);

// Whether `unit` can be written (unit 6 always can).
bool connected(i64 unit);

// The unit connected to the file `path` (the same file under any name), else -1.
i64 unit_of(std::string_view path);

// The first unit between `first` and `last` that is not connected, else -1.
i64 free_unit(i64 first, i64 last);

// One formatted write to `unit`. Returns false, writing nothing, for a unit that is not
// connected or a malformed format.
bool write(i64 unit, std::string_view fmt, std::span<const Item> items);
inline bool write(i64 unit, std::string_view fmt, std::initializer_list<Item> items = {}) {
    return write(unit, fmt, std::span<const Item>(items.begin(), items.size()));
}

// One free-format record on `unit`; false for a unit that is not connected.
bool write_list(i64 unit, std::span<const Item> items);
inline bool write_list(i64 unit, std::initializer_list<Item> items = {}) {
    return write_list(unit, std::span<const Item>(items.begin(), items.size()));
}

}  // namespace vorlen::io
