#include "core/jobdata.hpp"

extern "C" {
vorlen::i32 jobdata_stepcount = 0;
vorlen::i32 jobdata_nsteps = 0;
vorlen::i32 jobdata_solverid = 0;
vorlen::Alloc<vorlen::i32, 1> jobdata_stepid;
vorlen::Alloc<vorlen::i32, 1> jobdata_processid;
char jobdata_jobname[256] = {};
char jobdata_joboutdir[256] = {};
char jobdata_jobfilepath[256] = {};
}
