// Analysis lifecycle of module toplevel: the start of an analysis (step table from the input
// deck, impactor and load records, the card files, the section matrices), the work around every
// increment (element lengths, section and transverse stores, fatigue cycle number, impactor
// motion, the clearing of the transverse stores and of the nodal motion of four-node shells) and
// the release of the data store, for the implicit solver (UEXTERNALDB_IOControl), relayed from
// the explicit one (VUEXTERNALDB_IOControl), and the small per-increment hook UACCESS_IOControl.
//
// Input deck: the job path (jobdata::jobfilepath, trimmed) with ".pes", else with ".inp". Steps
// are the lines beginning "*Step" after leading blanks (any case); the n-th line whose text
// before its first comma is "*STEP" (column 1, any case) gives step n the type of the first
// keyword found after that comma: VRL_INITIALIZATION 0, VRL_FATIGUE 1, VRL_STRUCTRESPONSE 2,
// VRL_IMPACT 3, VRL_RELAXATION 4, VRL_DIC 5 (searched in this order; none: 1). A "*Step" or
// "*Instance" line with VRL_SENSORELEMENT after its first comma declares an impactor, whose
// position x, y, z is the next line. Keywords are taken from the first 80 columns of a line;
// the position line and the message file's lines are read whole, whatever their length.
//
// Impactor records impactdata::cprops(20, nimp) and load records loaddata::dprops(12, nimp) are
// created anew at every start that reads the deck: zeros, with cprops(6, k) = 9.80665,
// cprops(14, k) = k, cprops(15, k) = 1e-10 and dprops(2:4, k) = position k.
// Increment end of impact steps (stepid 3), impactors with any of slots 1-6 non-zero: mass
// (slot 7) 0 copies slots 1, 2 to 11, 12; else the scheme of slots 8-10 (all 0 none, all -1
// central difference, all -2 mixed with weight slot 20, else HHT-alpha/Newmark) with
// a = 9.80665 - F/m, then 11, 12 = entry values of 1, 2; 13 = 0; 14 = max(F, 14);
// 15 = max(3, 15); slot 16 = 1 once F, with five samples in the window, is below their mean.
//
// Kept between calls (freed by lop 3 of UEXTERNALDB_IOControl and UACCESS_IOControl, sized to
// nimp at every start):
//   window(5, nimp)  the last five contact forces of every impactor
//   denom(nimp)      how many of the five samples of each impactor are filled
//
// Reports (first-error register):
//   -3 "Cannot process any input file. Execution stops. Please check paths and your inpu": no
//      deck or a start while jobdata::stepid exists: the deck is not read, the records stay and
//      nimp is their column count (0 without them); the cards and section matrices still run;
//   -3 "Impactor position missing in UEXTERNALDB_IOControl": a declaring line whose next line
//      is missing or does not begin with three numbers: position 0;
//   -3 "Deck keyword beyond column 80 in UEXTERNALDB_IOControl": a step keyword of a "*Step"
//      line, or VRL_SENSORELEMENT of a "*Step" or "*Instance" line, that reaches beyond column
//      80: the line counts without it;
//   -3 "Section tables do not fit the ply counts in UEXTERNALDB_IOControl": the section
//      matrices are not built (missing tables skip them without a report);
//   -3 "Step outside the step table in UEXTERNALDB_IOControl": kstep outside jobdata::stepid
//      (or no step table) in the increment setup or end, or at an explicit step end: nothing
//      done;
//   -3 "Section stress tables beyond memory in UEXTERNALDB_IOControl": sestress (6, the largest
//      section point count times nplies, 27 or 4, nelem), or the transverse stores, cannot be
//      had: not created in this increment (tried again in the next);
//   -3 "Cycle tables short of the step in UEXTERNALDB_IOControl": cycleprops without row 3 or
//      without column kstep, cycles without column kstep: no cycle number;
//   -3 "Cycle number missing in the message file in UEXTERNALDB_IOControl": the last "CYCLE"
//      line gives no second word that is a number (the words continue on the next lines only
//      when the line holds fewer than three): the cycle number is kept;
//   -3 "Force window short of the impactor records in UEXTERNALDB_IOControl": more record
//      columns than the window has: those impactors take no sample;
//   -2 "Unknown operation in VUEXTERNALDB_IOControl": k outside 0..6;
//   -3 "Short arrays in VUEXTERNALDB_IOControl": niarray < 4 or nrarray < 3: nothing done.
#pragma once
#include "base/alloc.hpp"

extern "C" {
extern vorlen::Alloc<double, 2> toplevel_window;
extern vorlen::Alloc<vorlen::i32, 1> toplevel_denom;

// Lifecycle codes of the implicit solver.
//   lop (in)        0, 4 start; 1 increment setup (not when relayed); 7 setup (relayed);
//                   2 increment end; 3 release (window, denom and the data store); others
//                   nothing
//   lrestart (in)   not used
//   time(2) (in)    step time, total time; not used
//   dtime (in)      time increment (impactor integration)
//   kstep, kinc (in) step and increment numbers
//   exflag (in)     optional (null): 1 marks a call relayed from the explicit solver (lop 1
//                   ignored; the stores cleared only when kinc + 1 is a multiple of
//                   debugdata::nupdate)
void UEXTERNALDB_IOControl(const vorlen::i32* lop, const vorlen::i32* lrestart, const double* time,
                           const double* dtime, const vorlen::i32* kstep, const vorlen::i32* kinc,
                           const vorlen::i32* exflag);

// Operation codes of the explicit solver relayed as lifecycle codes (0, 5, 7, 1, 2, 6, 3) with
// exflag 1. k 0 then reads the printed model data (job path with ".dat"); k 1 raises
// jobdata::stepcount to kstep; after k 5 an initialization step (type 0) builds the element
// reference data of list handle 1.
//   k (in)              0..6
//   i_array(niarray)    (3) step, (4) increment; niarray at least 4
//   r_array(nrarray)    (1) total time, (2) step time, (3) time increment; nrarray at least 3
//   mpi_rank (in)       optional (null = 0): other ranks relay only k 4 and 5, and only while
//                       the step table exists
void VUEXTERNALDB_IOControl(const vorlen::i32* k, const vorlen::i32* i_array,
                            const vorlen::i32* niarray, const double* r_array,
                            const vorlen::i32* nrarray, const vorlen::i32* mpi_rank);

// Per-increment hook: lop 2 zeroes sectiondata::tnormalstress and tshearstress, lop 3 frees
// window, denom and the data store; other codes nothing.
//   lop (in)     code
//   dtime (in)   not used
void UACCESS_IOControl(const vorlen::i32* lop, const double* dtime);
}

namespace vorlen::toplevel {
inline constexpr auto& window = ::toplevel_window;
inline constexpr auto& denom = ::toplevel_denom;
}  // namespace vorlen::toplevel
