// Element tables.
#pragma once
#include "base/alloc.hpp"

extern "C" {
extern vorlen::i32 elementdata_nsens;
extern vorlen::i32 elementdata_nelem;
extern vorlen::Alloc<vorlen::i32, 1> elementdata_elemlist;
extern vorlen::Alloc<vorlen::i32, 1> elementdata_elemkind;
extern vorlen::Alloc<vorlen::i32, 1> elementdata_elemindices;
extern vorlen::Alloc<vorlen::i32, 2> elementdata_elemnodes;
extern vorlen::Alloc<double, 2> elementdata_elemlength;
extern vorlen::Alloc<double, 2> elementdata_elemcurvatures;
extern vorlen::Alloc<double, 2> elementdata_elemreforientation;
}

namespace vorlen::elementdata {
inline constexpr auto& nsens = ::elementdata_nsens;
inline constexpr auto& nelem = ::elementdata_nelem;
inline constexpr auto& elemlist = ::elementdata_elemlist;
inline constexpr auto& elemkind = ::elementdata_elemkind;
inline constexpr auto& elemindices = ::elementdata_elemindices;
inline constexpr auto& elemnodes = ::elementdata_elemnodes;
inline constexpr auto& elemlength = ::elementdata_elemlength;
inline constexpr auto& elemcurvatures = ::elementdata_elemcurvatures;
inline constexpr auto& elemreforientation = ::elementdata_elemreforientation;
}  // namespace vorlen::elementdata
