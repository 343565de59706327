// Numbered units: unit 6 is standard output; other numbers are connected to named files for
// appending, written record by record in the notation of base/format.hpp, and closed, or to
// existing files for reading line by line.
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

// Connects `unit` (0 or more) to the existing file `path` for reading, at its first line; a unit
// connected to a file is closed first. Returns false, the unit staying as it was, when the file
// cannot be opened for reading or is a directory, the name is empty or holds a zero byte, the
// unit number is negative, or 64 files are connected already.
bool open_read(i64 unit, std::string_view path);

// Whether `unit` is connected to a file opened for reading.
bool readable(i64 unit);

// Reads the next line of `unit` into buf(0:len-1) without its line end (a carriage return
// before it is dropped too), blank-padded or cut. Returns the length of the whole line; -1 at
// the end of the file, where the unit then stands after the end (a further read gives -1
// again); -2 when the unit is not readable (buf unchanged) or the read fails (buf then holds
// the bytes read before the failure, unpadded).
i64 read_line(i64 unit, char* buf, i64 len);
// The same read without the blanks: the bytes of the line before its line feed, a carriage
// return that ends them included, are stored into buf(0:len-1) and nothing beyond them, so
// after a CRLF line the byte right after the returned length holds the carriage return (when
// it fits).
i64 read_text(i64 unit, char* buf, i64 len);

// Reads the next bytes of `unit` as they are (line ends included) into buf(0:len-1). Returns
// their count, len unless the file ends first; 0 at the end of the file, where the unit then
// stands after the end (and 0 for len below 1); -2 when the unit is not readable or the read
// fails.
i64 read_bytes(i64 unit, char* buf, i64 len);

// Moves `unit` back n lines: from after the end of the file the first step returns before the
// end, at the first line a step stays there. False for a unit that is not readable.
bool backspace(i64 unit, i64 n = 1);

// Moves `unit` to its first line; false for a unit that is not readable.
bool rewind(i64 unit);

// The place of a reading unit: the byte where the next line starts, and whether the unit stands
// after the end of the file.
struct Place {
    i64 offset = 0;
    bool past_end = false;
};
// Where `unit` stands; false for a unit that is not readable.
bool tell(i64 unit, Place& place);
// Returns `unit` to a place that tell gave for it; false for a unit that is not readable.
bool seek(i64 unit, const Place& place);

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
