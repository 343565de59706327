// Damage card reader of module iohandling: module damagedata and the buckling records.
#pragma once
#include "base/view.hpp"

namespace vorlen::iohandling {

extern "C" {

// Reads "<trimmed workspace>/DamageCard.vrl", else the deck at filepath (neither opens: nothing
// changes). damagedata::ndmg = number of lines beginning "++BEGIN DAMAGE" (any case, leading
// blanks removed). A block "++Begin Damage" (set index dmgid from the option's 7th character
// on) .. "++End Damage" fills set dmgid:
//   "+Position"     dmgplane(1.., dmgid); dmgplane (npos, ndmg), fill -huge, npos = max(4,
//                   longest "+Position" list)
//   "+Abstraction"  the first of General, Fiber, Matrix, Core, Delamination, User found in the
//                   option (case-sensitive): groups of four values, group k gives rows 1 and 2
//                   (its second and third value) of column k of that mode's table (3, nplies,
//                   ndmg), zeros; Delamination (3, nplies - 1, ndmg) with bukdata's
//                   bukintdatalist (4, nplies - 1, ndmg, nsec) and bukrealdatalist (12, ..),
//                   zeros, skipped for nplies below 2
//   "+Table"        option "<layer part>, <mode part>" in either order (the layer part holds
//                   "LayID" or "Layer"): layer from the layer part's 7th character on, mode
//                   General, Fiber, Matrix, Delamination, Core, User (1 to 6) beginning at the
//                   mode part's 6th character; dmgpoints(1.., layer, mode, dmgid), dmgpoints
//                   (nxypoints, nplies, 6, ndmg), fill +huge, nxypoints = max(1, longest list)
// A table is created at the first key that needs it. Before the keys are read, a table that
// exists with other extents than these counts give (ndmg sets, nplies plies, max(nplies - 1, 1)
// interfaces, nsec sections; dmgplane and dmgpoints at least as long as the card's lists) is
// released, whether the card gives it or not, so that ndmg and the extents agree; one with
// these extents is written as it is.
// Code -3 (that key skipped): nplies or nsec below 1 (nothing read); a set index that is no
// integer or outside 1..ndmg; a layer outside 1..nplies; a "+Table" without mode part or mode
// word; more groups than plies (interfaces); "Damage tables beyond memory in
// getdamagedatafromfile": the table a key needs cannot be had with its counts. Code -2: a value
// that does not parse (GetDataPoints read error; the key is not stored).
//   filepath (in)   256 characters: the solver input deck
//   workspace (in)  256 characters: the directory of the card files
//   nplies (in)     ply count of the tables
//   nsec (in)       section count of the buckling records
void iohandling_getdamagedatafromfile(const char* filepath, const char* workspace,
                                      const i32* nplies, const i32* nsec);

}  // extern "C"
}  // namespace vorlen::iohandling
