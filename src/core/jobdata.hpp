// The job and its steps.
#pragma once
#include "base/alloc.hpp"

extern "C" {
extern vorlen::i32 jobdata_stepcount;
extern vorlen::i32 jobdata_nsteps;
extern vorlen::i32 jobdata_solverid;
extern vorlen::Alloc<vorlen::i32, 1> jobdata_stepid;
extern vorlen::Alloc<vorlen::i32, 1> jobdata_processid;
extern char jobdata_jobname[256];
extern char jobdata_joboutdir[256];
extern char jobdata_jobfilepath[256];
}

namespace vorlen::jobdata {
inline constexpr auto& stepcount = ::jobdata_stepcount;
inline constexpr auto& nsteps = ::jobdata_nsteps;
inline constexpr auto& solverid = ::jobdata_solverid;
inline constexpr auto& stepid = ::jobdata_stepid;
inline constexpr auto& processid = ::jobdata_processid;
inline constexpr auto& jobname = ::jobdata_jobname;
inline constexpr auto& joboutdir = ::jobdata_joboutdir;
inline constexpr auto& jobfilepath = ::jobdata_jobfilepath;
}  // namespace vorlen::jobdata
