// Allocation and set-up of the box-beam data modules (boxbeam/boxbeamdata.hpp).
#pragma once
#include "base/view.hpp"

namespace vorlen::boxdatahandling {
extern "C" {

// Each allocator sets istat (out) to 0 and allocates, in order, those of its arrays that are
// unallocated, with the capacities given (a capacity below 1 gives an empty array); an
// allocated array is left as it is, whatever its size.
//   AllocateWallData   maxw: wand ig1, ig2, it (int32); yk0, zk0, yklk, zklk, bk, gk, rhok,
//                      e, th (real64)
//   AllocateCapData    maxg: gurt yi, bi, zi, myi
//   AllocateCellData   maxz, maxg: zelle iak (maxz); ia (maxg, maxz)
//   AllocateForceData  maxw: kraft nx0, nxl2, nxl (maxw); t0 (2 maxw); tl, tl2 (maxw)
//   AllocateEpigamData maxw, maxg: epigam epi, gam (maxw, 3); epigu (maxg)
void AllocateWallData(i32* istat, const i32* maxw);
void AllocateCapData(i32* istat, const i32* maxg);
void AllocateCellData(i32* istat, const i32* maxz, const i32* maxg);
void AllocateForceData(i32* istat, const i32* maxw);
void AllocateEpigamData(i32* istat, const i32* maxw, const i32* maxg);

// All five allocators in the order above; istat (out) is 0.
void AllocAll(i32* istat, const i32* maxw, const i32* maxg, const i32* maxz);

// Sets up the data modules for a section of at most nw walls, ng booms and nz cells.
//   nw, ng, nz (in, optional)  capacities; 100 when absent
// Allocates what is unallocated (AllocAll); an array smaller than a capacity asks for is
// enlarged, keeping its contents; arrays are never made smaller. Records the capacities in
// restr; sets the counts, the 21 results of quer and the six loads of spanug to 0, and clears
// the first nw wall slots (inputs, flows, strains; t0 up to 2 nw), the first ng boom slots
// (inputs and epigu), iak(1 .. nz) and ia(1 .. ng, 1 .. nz). The report settings, file
// names, kennz and wand::e are left as they are.
void Initialize(const i32* nw, const i32* ng, const i32* nz);
}
}  // namespace vorlen::boxdatahandling
