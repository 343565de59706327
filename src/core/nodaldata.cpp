#include "core/nodaldata.hpp"

extern "C" {
vorlen::i32 nodaldata_nnodes = 0;
vorlen::i32 nodaldata_ndof = 0;
vorlen::Alloc<double, 4> nodaldata_tnodalmatrices;
vorlen::Alloc<double, 3> nodaldata_tcurvmatrices;
vorlen::Alloc<double, 3> nodaldata_nodalcoords;
vorlen::Alloc<double, 3> nodaldata_nodesmotion;
}
