// Materials per ply and section, and the resin calibration data.
#pragma once
#include "base/alloc.hpp"

extern "C" {
extern vorlen::i32 materialdata_modelid;
extern vorlen::i32 materialdata_ntempdata;
extern vorlen::i32 materialdata_nflowdata;
extern vorlen::i32 materialdata_nsecantdata;
extern vorlen::i32 materialdata_nalpha1data;
extern vorlen::i32 materialdata_nalpha2data;
extern vorlen::i32 materialdata_nalpha3data;
extern vorlen::i32 materialdata_nnormaldata;
extern vorlen::i32 materialdata_nsheardata;
extern vorlen::Alloc<vorlen::i32, 2> materialdata_matidlist;
extern vorlen::Alloc<vorlen::i32, 3> materialdata_pfflags;
extern vorlen::Alloc<vorlen::i32, 3> materialdata_peflags;
extern vorlen::Alloc<double, 1> materialdata_regularization;
extern vorlen::Alloc<double, 1> materialdata_temperatures;
extern vorlen::Alloc<double, 3> materialdata_pelimits;
extern vorlen::Alloc<double, 3> materialdata_peprops;
extern vorlen::Alloc<double, 3> materialdata_psprops;
extern vorlen::Alloc<double, 3> materialdata_pfprops;
extern vorlen::Alloc<double, 3> materialdata_phprops;
extern vorlen::Alloc<double, 3> materialdata_pdprops;
extern vorlen::Alloc<double, 4> materialdata_cuprops;
extern vorlen::Alloc<double, 1> materialdata_r_crit;
extern vorlen::Alloc<double, 1> materialdata_i10;
extern vorlen::Alloc<double, 2> materialdata_equivalentstress;
extern vorlen::Alloc<double, 3> materialdata_flowprops;
extern vorlen::Alloc<double, 3> materialdata_secantprops;
extern vorlen::Alloc<double, 3> materialdata_normalprops;
extern vorlen::Alloc<double, 3> materialdata_shearprops;
extern vorlen::Alloc<double, 3> materialdata_alpha1props;
extern vorlen::Alloc<double, 3> materialdata_alpha2props;
extern vorlen::Alloc<double, 3> materialdata_alpha3props;
}

namespace vorlen::materialdata {
inline constexpr auto& modelid = ::materialdata_modelid;
inline constexpr auto& ntempdata = ::materialdata_ntempdata;
inline constexpr auto& nflowdata = ::materialdata_nflowdata;
inline constexpr auto& nsecantdata = ::materialdata_nsecantdata;
inline constexpr auto& nalpha1data = ::materialdata_nalpha1data;
inline constexpr auto& nalpha2data = ::materialdata_nalpha2data;
inline constexpr auto& nalpha3data = ::materialdata_nalpha3data;
inline constexpr auto& nnormaldata = ::materialdata_nnormaldata;
inline constexpr auto& nsheardata = ::materialdata_nsheardata;
inline constexpr auto& matidlist = ::materialdata_matidlist;
inline constexpr auto& pfflags = ::materialdata_pfflags;
inline constexpr auto& peflags = ::materialdata_peflags;
inline constexpr auto& regularization = ::materialdata_regularization;
inline constexpr auto& temperatures = ::materialdata_temperatures;
inline constexpr auto& pelimits = ::materialdata_pelimits;
inline constexpr auto& peprops = ::materialdata_peprops;
inline constexpr auto& psprops = ::materialdata_psprops;
inline constexpr auto& pfprops = ::materialdata_pfprops;
inline constexpr auto& phprops = ::materialdata_phprops;
inline constexpr auto& pdprops = ::materialdata_pdprops;
inline constexpr auto& cuprops = ::materialdata_cuprops;
inline constexpr auto& r_crit = ::materialdata_r_crit;
inline constexpr auto& i10 = ::materialdata_i10;
inline constexpr auto& equivalentstress = ::materialdata_equivalentstress;
inline constexpr auto& flowprops = ::materialdata_flowprops;
inline constexpr auto& secantprops = ::materialdata_secantprops;
inline constexpr auto& normalprops = ::materialdata_normalprops;
inline constexpr auto& shearprops = ::materialdata_shearprops;
inline constexpr auto& alpha1props = ::materialdata_alpha1props;
inline constexpr auto& alpha2props = ::materialdata_alpha2props;
inline constexpr auto& alpha3props = ::materialdata_alpha3props;
}  // namespace vorlen::materialdata
