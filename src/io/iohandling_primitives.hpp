// Card-file primitives of module iohandling: free units, line and keyword counts, keyword
// searches, the data blocks after a key line and the ids carried by tagged material names.
//
// Every routine works on a unit that the caller has connected for reading (base/units.hpp) and
// leaves it connected; a position is the line that the next read returns. Lines are read whole,
// whatever their length: a line of up to 256 characters in a buffer on the stack, a longer one
// in storage of its own length. A unit that is not connected for reading records code -3 "No
// file connected to the unit in <routine>" and gives the fallback stated (nothing is read, no
// file is created).
//
// Data block: the lines after the current position up to, not including, the first line whose
// first character is "*" or "+" (or the end of the file). Items of a line are separated by
// commas and/or blanks (tabs count as blanks) and counted by stringhandling::countitems, so
// "a ,b" holds three items, the middle one empty; an empty item is a null value that leaves
// its place 0. A non-empty item that is not a number (an integer for the integer readers;
// reals may carry a d or D exponent) is a read error: code -2 "Error: Error in
// GetDataPointsRead operation exited with an error.", the output unchanged, the position after
// the block as after a successful read.
#pragma once
#include <string_view>

#include "base/view.hpp"
#include "base/work.hpp"

namespace vorlen::iohandling {

// Line length that a reader holds on the stack; longer lines are read whole into storage.
inline constexpr i64 kLine = 256;

// One line of a unit, read whole: up to kLine characters in the object, a longer line in
// storage of the line's own length, so that a read takes no more than the file holds.
class Line {
  public:
    // Reads the next line of unit: its length, -1 at the end of the file, -2 for a failed read
    // (the text is then empty).
    i64 read(i32 unit);
    std::string_view text() const { return {p_, n_}; }

  private:
    char small_[kLine];
    String large_;
    const char* p_ = small_;
    std::size_t n_ = 0;
};

// One item as a number: a real (optional sign, a d or D exponent as well as e or E) or a
// 32-bit integer; the whole text must be the number.
bool number(std::string_view t, double& v);
bool number(std::string_view t, i32& v);

// Free-format items of one data line, in the grammar above. Returns the number of items of the
// line (those beyond cap are checked but not stored) and false in ok when a non-empty item is
// no number of the kind. T is double or i32.
template <class T>
i32 parse_items(std::string_view line, T* out, i64 cap, bool& ok);

// Item count of one data line, as stringhandling::countitems gives it.
i32 count_items(std::string_view line);

// Reads the values of the data block at the current position of unit into a new table of
// `count` entries (the block's item count); the position then stands on the block's
// terminating line. False after a read error (recorded) or for an unreadable unit.
template <class T>
bool read_block(i32 unit, T* values, i64 count);

// Item count of the block at the current position (terminators "*+"); -1 for an unreadable
// unit (recorded).
i64 block_size(i32 unit, std::string_view routine);

extern "C" {

// The first unit in first..last to which no file is connected; -1 when there is none.
i32 GetFreeUnitNumber(const i32* first, const i32* last);

// The unit to which the file of that name (trailing blanks ignored) is connected, else -1.
//   filename (in)   text of length lfilename
i32 iohandling_getunitnumber(const char* filename, const i32* lfilename);

// Moves unit fileid back nrwd lines (nothing for nrwd below 1).
void RewindFile(const i32* fileid, const i32* nrwd);

// Number of lines from the current position to the end of the file.
//   rwd (in, optional)  absent or true: the unit is rewound at the end; false: it stays after
//                   the end of the file, where a backward search starts
// A read failure records code -2 and returns the count so far, not rewound; an unconnected
// unit returns 0.
i32 GetFileLength(const i32* fileid, const lgl* rwd);

// Number of lines from the current position to the end whose first lkey characters, after
// their leading blanks are removed, equal the first lkey characters of keyword without regard
// to case (characters beyond a text count as blanks).
//   keyword (in)    text of length lkeyword
//   lkey (in)       characters compared; below 1 every line counts
//   rwd (in, optional)  absent or true: rewind at the end
// A read failure records code -2 and returns the count so far; an unconnected unit returns 0.
i32 iohandling_getnumberofkeywords(const i32* fileid, const char* keyword, const i32* lkey,
                                   const lgl* rwd, const i32* lkeyword);

// Searches up to ulimit lines for a line that matches keyword as getnumberofkeywords compares
// it: forward, or with dirflag -1 backward (each step moves back two lines and reads one; at the
// first line of the file the step reads the first line again). Returns true when a matching
// line was found before the end of the file.
//   returnkey (in, optional)  1: afterwards the unit moves back one line, so that the next read
//                   returns the line last examined (also when nothing was found)
// A read failure records code -2 and returns false without the move back; an unconnected
// unit returns false.
lgl iohandling_get2nextkey(const i32* fileid, const i32* dirflag, const char* keyword,
                           const i32* lkey, const i32* ulimit, const i32* returnkey,
                           const i32* lkeyword);

// Number of items in the lines from the current position up to the end of the file or the
// first line whose first character is one of skeys(1:ls); the position is unchanged.
//   skeys (in)      terminator characters, text of length lskeys; ls above lskeys or below 0
//                   records code -3 and takes the whole text (or none)
// An unconnected unit returns 0.
i32 iohandling_getsizeofdata(const i32* fileid, const char* skeys, const i32* ls,
                             const i32* lskeys);

// The values of the data block at the current position; afterwards the next read returns the
// block's terminating line.
//   outdata(n) (in/out)  the block's first min(n, count) values; a block of more than n values
//                   records code -3 and fills the n; on a read error unchanged
//   n (in)          capacity of outdata
void iohandling_real_getdatapoints(const i32* fileid, double* outdata, const i32* n);
void iohandling_int_getdatapoints(const i32* fileid, i32* outdata, const i32* n);

// A table from the data block: xydata(i, j) = value (i - 1) nrows + j, i = 1..ndata,
// j = 1..nrows, so that a block of ndata lines of nrows values fills row i from line i.
//   xydata(ndata, nrows) (out)  unchanged unless nrows = count / ndata
//   ndata (in)      below 1 records code -3, nothing read
//   nrows (in)      not count / ndata (integer division): code -2 "Error: Error in
//                   GetXYDataPointsRead operation exited with an error.", nothing read
void iohandling_getxydatapoints(const i32* fileid, double* xydata, const i32* ndata,
                                const i32* nrows);

// Damage-set rows: the block read as count / 4 rows of four values; row k gives
// xdds(1, k) = its second and xdds(2, k) = its third value. xdds(3, :) and the columns after
// the rows are unchanged.
//   xdds(3, nplies) (in/out)
//   nplies (in)     columns of xdds; more rows than nplies record code -3 and fill nplies
void iohandling_getddsfromfile(const i32* fileid, double* xdds, const i32* nplies);

// The integer id that the tag of letter xind carries in the name s: the text after the last
// marker "_<xind>@" of the lower-cased s(1:ls) up to the next "@", read as an integer.
//   s (in)          text of length lsfull
//   ls (in)         characters of s searched; below 0 or above lsfull records code -3 and takes
//                   the text (or none)
//   xind (in)       1 character: d, i, l, m or s in either case
//   notfound (in, optional)  result when the letter is unknown, the marker is absent or its
//                   text is no 32-bit integer; -1 when absent
i32 iohandling_getxidfromstring(const char* s, const i32* ls, const char* xind,
                                const i32* notfound, const i32* lsfull);

}  // extern "C"
}  // namespace vorlen::iohandling
