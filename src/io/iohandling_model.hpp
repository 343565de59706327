// Solver model data of module iohandling: element and node tables from the solver's printed
// model listing, and the integration-point report.
#pragma once
#include <string_view>

#include "base/view.hpp"

namespace vorlen::iohandling {

// Headings of the element and node tables of the listing (found anywhere in a line, any case).
inline constexpr std::string_view abq_elem = "E L E M E N T   D E F I N I T I O N S";
inline constexpr std::string_view abq_node = "N O D E   D E F I N I T I O N S";

extern "C" {

// Element extents of one element type name. A name beginning with "S" counts an element whose
// node count is the digit in character 2, else 5, else 3; a name beginning with "C" but not
// "CIN" counts one whose node count is the integer in characters 4 up to the last non-blank
// one, else up to the one before it. Then inodes = max(inodes, count) (unchanged when no
// character holds one) and idof = max(idof, 5) when the last non-blank character is "5", else
// max(idof, 6). Other names change nothing.
//   iele, inodes, idof (in/out)  running element count, node count and degrees of freedom
//   elemtype (in)   8 characters
void iohandling_getelementdataextents(i32* iele, i32* inodes, i32* idof, const char* elemtype);

// Reads the element and node tables of the listing at filepath (its unit when the file is
// connected for reading, else the first free unit between 1 and 120; closed at the end). The
// element lines after the element heading (label, type name, property reference, node labels)
// up to the first line whose first word is no integer size elementdata::nelem,
// nodaldata::nnodes and nodaldata::ndof (getelementdataextents, each at least 1); the element
// and nodal tables are allocated with them (those of other extents anew), elemkind, elemnodes,
// nsectionpoints, nodesmotion and nodalcoords cleared, then elemlist and elemkind are filled in
// listing order and elemnodes for kinds 1 to 8. The node lines after the node heading (label and
// two or three coordinates, up to a label below the largest one before or a line whose first
// word is no integer) give every element slot holding a node label its coordinates, at the first
// slot of the label in the element and over the element loop of GetNodalCoordinates.
// A listing without an element table, with no element of a type beginning "S" or "C", or whose
// element table runs to the end of the file, changes nothing. Tables of these extents that
// cannot be had record code -3 "Element tables beyond memory in getabqdatafromfile": the ten
// tables are released, the counts and everything else stay. An element line with more node
// labels than nnodes records code -3 and stores nnodes of them. Lines hold 256 characters: one
// that the reader takes values from (a heading, a stored element or node line) and that goes on
// beyond them records code -3 "Listing line longer than 256 characters in getabqdatafromfile"
// and is read without the rest; a value is never taken from another line.
//   filepath (in)   text of length lfilepath; trailing blanks ignored
void iohandling_getabqdatafromfile(const char* filepath, const i32* lfilepath);

// Appends the line (2i8, 3f25.8) of noel, npt and coord to the report file filepath, creating
// it with the heading (a8, a8, a25, a25, a25) of "NOEL", "NPT", "x", "y", "z" when it does not
// exist; a file that cannot be opened is skipped.
//   filepath (in)   text of length lfilepath; trailing blanks ignored
//   coord(3) (in)   point coordinates
//   noel, npt (in)  element and integration point
void iohandling_getgausspointreport(const char* filepath, const double* coord, const i32* noel,
                                    const i32* npt, const i32* lfilepath);

}  // extern "C"
}  // namespace vorlen::iohandling
