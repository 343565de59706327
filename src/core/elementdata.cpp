#include "core/elementdata.hpp"

extern "C" {
vorlen::i32 elementdata_nsens = 0;
vorlen::i32 elementdata_nelem = 0;
vorlen::Alloc<vorlen::i32, 1> elementdata_elemlist;
vorlen::Alloc<vorlen::i32, 1> elementdata_elemkind;
vorlen::Alloc<vorlen::i32, 1> elementdata_elemindices;
vorlen::Alloc<vorlen::i32, 2> elementdata_elemnodes;
vorlen::Alloc<double, 2> elementdata_elemlength;
vorlen::Alloc<double, 2> elementdata_elemcurvatures;
vorlen::Alloc<double, 2> elementdata_elemreforientation;
}
