#include "core/materialdata.hpp"

extern "C" {
vorlen::i32 materialdata_modelid = 0;
vorlen::i32 materialdata_ntempdata = 0;
vorlen::i32 materialdata_nflowdata = 0;
vorlen::i32 materialdata_nsecantdata = 0;
vorlen::i32 materialdata_nalpha1data = 0;
vorlen::i32 materialdata_nalpha2data = 0;
vorlen::i32 materialdata_nalpha3data = 0;
vorlen::i32 materialdata_nnormaldata = 0;
vorlen::i32 materialdata_nsheardata = 0;
vorlen::Alloc<vorlen::i32, 2> materialdata_matidlist;
vorlen::Alloc<vorlen::i32, 3> materialdata_pfflags;
vorlen::Alloc<vorlen::i32, 3> materialdata_peflags;
vorlen::Alloc<double, 1> materialdata_regularization;
vorlen::Alloc<double, 1> materialdata_temperatures;
vorlen::Alloc<double, 3> materialdata_pelimits;
vorlen::Alloc<double, 3> materialdata_peprops;
vorlen::Alloc<double, 3> materialdata_psprops;
vorlen::Alloc<double, 3> materialdata_pfprops;
vorlen::Alloc<double, 3> materialdata_phprops;
vorlen::Alloc<double, 3> materialdata_pdprops;
vorlen::Alloc<double, 4> materialdata_cuprops;
vorlen::Alloc<double, 1> materialdata_r_crit;
vorlen::Alloc<double, 1> materialdata_i10;
vorlen::Alloc<double, 2> materialdata_equivalentstress;
vorlen::Alloc<double, 3> materialdata_flowprops;
vorlen::Alloc<double, 3> materialdata_secantprops;
vorlen::Alloc<double, 3> materialdata_normalprops;
vorlen::Alloc<double, 3> materialdata_shearprops;
vorlen::Alloc<double, 3> materialdata_alpha1props;
vorlen::Alloc<double, 3> materialdata_alpha2props;
vorlen::Alloc<double, 3> materialdata_alpha3props;
}
