#include "core/sectiondata.hpp"

extern "C" {
vorlen::i32 sectiondata_nsec = 0;
vorlen::i32 sectiondata_nplies = 0;
vorlen::Alloc<vorlen::i32, 1> sectiondata_nsectionpoints;
vorlen::Alloc<vorlen::i32, 1> sectiondata_secidlist;
vorlen::Alloc<vorlen::i32, 2> sectiondata_seflags;
vorlen::Alloc<double, 1> sectiondata_xcstrength;
vorlen::Alloc<double, 2> sectiondata_plythickness;
vorlen::Alloc<double, 2> sectiondata_plyorientation;
vorlen::Alloc<double, 2> sectiondata_plyzcoord;
vorlen::Alloc<double, 3> sectiondata_sehmatrix;
vorlen::Alloc<double, 3> sectiondata_sefmatrix;
vorlen::Alloc<double, 4> sectiondata_seuser;
vorlen::Alloc<double, 4> sectiondata_seprops;
vorlen::Alloc<double, 4> sectiondata_sestress;
vorlen::Alloc<double, 4> sectiondata_sestrain;
vorlen::Alloc<double, 2> sectiondata_tnormalstress;
vorlen::Alloc<double, 4> sectiondata_tshearstress;
}
