// Section card reader of module iohandling: module sectiondata and materialdata::matidlist.
#pragma once
#include "base/view.hpp"

namespace vorlen::iohandling {

extern "C" {

// Reads "<trimmed workspace>/SectionCard.vrl", else the deck at filepath (neither opens:
// nothing changes). nsec = max(nsec, lines beginning "++BEGIN SECTION" after leading blanks,
// any case); nplies = max(nplies, longest value list of a line that is "+Orientation" alone).
// Unless all of them are allocated with these counts, allocates (zero-filled) xcstrength(nsec),
// secidlist(nsec), matidlist(nplies, nsec) filled with 1 (one slot) or 2147483647,
// plyorientation and plythickness (nplies, nsec), plyzcoord (2 nplies + 1, nsec),
// seflags(2, nsec), sehmatrix(2, 2, nsec) and sefmatrix(2 nplies + 1, 4, nsec); then section i
// (the i-th block) takes "++Begin Section" (id from the option's 7th character on), "+Material",
// "+Orientation", "+Thickness" (from ply 1), "+Extension" (seflags), "+Strength" other than
// TYPE=INSITU (the first value of the next non-blank line) and "++End Section" (secidlist; one
// material id or one thickness of the last lists copied to the plies of the last orientation
// list). At the end plyzcoord = GetSectionZCoord(matidlist, plythickness).
// Code -3: more values than a table holds (the values that fit are stored), a block end beyond
// nsec (nothing stored), a block id that is no integer (the id of the block before is kept),
// "+Strength" without a number (its next line is left to be read); "Section tables beyond
// memory in getsectiondatafromfile": tables of these counts cannot be had (the tables are
// released, nothing is read, nplies and nsec keep the counts).
//   filepath (in)   256 characters: the solver input deck
//   workspace (in)  256 characters: the directory of the card files
void iohandling_getsectiondatafromfile(const char* filepath, const char* workspace);

}  // extern "C"
}  // namespace vorlen::iohandling
