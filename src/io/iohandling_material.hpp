// Material card reader of module iohandling: module materialdata (all but matidlist).
#pragma once
#include "base/view.hpp"

namespace vorlen::iohandling {

extern "C" {

// Reads "<trimmed workspace>/MaterialCard.vrl", else the deck at filepath (neither opens:
// nothing changes). A material block runs from "++Begin Material" (id from the option's 7th
// character on) to "++End Material"; its values go to every ply (j, i) whose
// materialdata::matidlist entry equals the id.
//
// Passes: (1) sizes, the longest list of each kind inside blocks (nelastic from 9, nstrength
// from 10, nrate from 7, the others from 1; nmaster is the longest MASTER list); (2) the
// temperature grid, the ascending union of the "+Temperature" lists (by the first 12 characters
// of the key), or one entry +huge without any: materialdata::temperatures is allocated to its
// length ntemp, ntempdata = ntemp; (3) the keys.
// Tables: pfflags, peflags (5, nplies, nsec) 0; pelimits (12, ..) -1; peprops
// (nelastic ntemp, ..) 0; psprops (nstrength ntemp, ..) 0; phprops (nhygro, ..) 0; pfprops
// (nfracture, ..) 0; pdprops (ndamage, ..) +huge; cuprops (max(nmaster, nrate), 8, ..) +huge;
// regularization (nreg); equivalentstress (max(nstress/2, 1), 2); secantprops, normalprops,
// shearprops, alpha1props .. alpha3props (ntemp, max(n/2, 1), 2) and flowprops
// (ntemp, max(n/3, 1), 3), their point counts in nsecantdata .. nflowdata; the calibration
// tables start as zeros. They are allocated together when peprops is unallocated or when any
// of them has other extents than this card needs; otherwise the reading writes into them.
// i10 and r_crit get one entry at their first line. Without matidlist nothing more is read.
//
// Block end, for the plies of the id: "+ModelID" -> modelid; "+Elastic" (2, 5 or 9 values)
// -> GetNyeProperties in rows 1..9; "+Strength" (up to 10) -> rows 1..nS; with a
// "+Table, TYPE=TEMPERATURE" of ntemp (nE + nS) factors and a temperature list held, block k
// of peprops (from row (k-1) nelastic + 1) and of psprops (from row (k-1) nS + 1) take the
// values times row k of the factors; "+Hygrothermal", "+Fracture" (up to 5); "+Failure"
// (empty option or INITIATION, EVOLUTION: up to 5 integers; DEGRADATION: 6 values twice or
// 12; PROPERTIES: up to 5); the eight cure columns, only when all are given; the calibration
// tables of the block (rows by one counter per block, wrapped into 1..ntemp) and the
// equivalent-stress pairs it gives. "+Regularization, TYPE=VISCOUS", "+I10" and
// "+Calibration, TYPE=Ratio" (first value) are written at once. Held values are released at
// every block end; the temperature list and table and the counts nE, nS carry over.
//
// Code -3: nplies or nsec below 1, or not the extents of an allocated matidlist (nothing
// read); a "+Temperature" list that is empty or holds a value that is no finite temperature
// (the list is ignored); a cure list longer than the cure table (not held); a block id that is
// no integer (the id of the block before is kept; before any, the block stores no ply values);
// "Material tables beyond memory in getmaterialdatafromfile": the tables of these counts cannot
// be had (they are released and nothing is read).
// Code -2: a value that does not parse (GetDataPoints read error; the key is not stored);
// counts outside a key's range are not stored (elastic 3, 4, 6 to 8 through GetNyeProperties).
//   filepath (in)   256 characters: the solver input deck
//   workspace (in)  256 characters: the directory of the card files
//   nplies (in)     ply extent of the per-ply tables
//   nsec (in)       section extent of the per-ply tables
void iohandling_getmaterialdatafromfile(const char* filepath, const char* workspace,
                                        const i32* nplies, const i32* nsec);

}  // extern "C"
}  // namespace vorlen::iohandling
