// Per-element node tables.
#pragma once
#include "base/alloc.hpp"

extern "C" {
extern vorlen::i32 nodaldata_nnodes;
extern vorlen::i32 nodaldata_ndof;
extern vorlen::Alloc<double, 4> nodaldata_tnodalmatrices;
extern vorlen::Alloc<double, 3> nodaldata_tcurvmatrices;
extern vorlen::Alloc<double, 3> nodaldata_nodalcoords;
extern vorlen::Alloc<double, 3> nodaldata_nodesmotion;
}

namespace vorlen::nodaldata {
inline constexpr auto& nnodes = ::nodaldata_nnodes;
inline constexpr auto& ndof = ::nodaldata_ndof;
inline constexpr auto& tnodalmatrices = ::nodaldata_tnodalmatrices;
inline constexpr auto& tcurvmatrices = ::nodaldata_tcurvmatrices;
inline constexpr auto& nodalcoords = ::nodaldata_nodalcoords;
inline constexpr auto& nodesmotion = ::nodaldata_nodesmotion;
}  // namespace vorlen::nodaldata
