// Sections and their ply stacks.
#pragma once
#include "base/alloc.hpp"

extern "C" {
extern vorlen::i32 sectiondata_nsec;
extern vorlen::i32 sectiondata_nplies;
extern vorlen::Alloc<vorlen::i32, 1> sectiondata_nsectionpoints;
extern vorlen::Alloc<vorlen::i32, 1> sectiondata_secidlist;
extern vorlen::Alloc<vorlen::i32, 2> sectiondata_seflags;
extern vorlen::Alloc<double, 1> sectiondata_xcstrength;
extern vorlen::Alloc<double, 2> sectiondata_plythickness;
extern vorlen::Alloc<double, 2> sectiondata_plyorientation;
extern vorlen::Alloc<double, 2> sectiondata_plyzcoord;
extern vorlen::Alloc<double, 3> sectiondata_sehmatrix;
extern vorlen::Alloc<double, 3> sectiondata_sefmatrix;
extern vorlen::Alloc<double, 4> sectiondata_seuser;
extern vorlen::Alloc<double, 4> sectiondata_seprops;
extern vorlen::Alloc<double, 4> sectiondata_sestress;
extern vorlen::Alloc<double, 4> sectiondata_sestrain;
extern vorlen::Alloc<double, 2> sectiondata_tnormalstress;
extern vorlen::Alloc<double, 4> sectiondata_tshearstress;
}

namespace vorlen::sectiondata {
inline constexpr auto& nsec = ::sectiondata_nsec;
inline constexpr auto& nplies = ::sectiondata_nplies;
inline constexpr auto& nsectionpoints = ::sectiondata_nsectionpoints;
inline constexpr auto& secidlist = ::sectiondata_secidlist;
inline constexpr auto& seflags = ::sectiondata_seflags;
inline constexpr auto& xcstrength = ::sectiondata_xcstrength;
inline constexpr auto& plythickness = ::sectiondata_plythickness;
inline constexpr auto& plyorientation = ::sectiondata_plyorientation;
inline constexpr auto& plyzcoord = ::sectiondata_plyzcoord;
inline constexpr auto& sehmatrix = ::sectiondata_sehmatrix;
inline constexpr auto& sefmatrix = ::sectiondata_sefmatrix;
inline constexpr auto& seuser = ::sectiondata_seuser;
inline constexpr auto& seprops = ::sectiondata_seprops;
inline constexpr auto& sestress = ::sectiondata_sestress;
inline constexpr auto& sestrain = ::sectiondata_sestrain;
inline constexpr auto& tnormalstress = ::sectiondata_tnormalstress;
inline constexpr auto& tshearstress = ::sectiondata_tshearstress;
}  // namespace vorlen::sectiondata
