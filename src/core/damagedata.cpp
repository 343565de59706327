#include "core/damagedata.hpp"

extern "C" {
vorlen::i32 damagedata_ndmg = 0;
vorlen::Alloc<vorlen::i32, 1> damagedata_damagedds;
vorlen::Alloc<double, 3> damagedata_generaldds;
vorlen::Alloc<double, 3> damagedata_fiberdds;
vorlen::Alloc<double, 3> damagedata_matrixdds;
vorlen::Alloc<double, 3> damagedata_delamdds;
vorlen::Alloc<double, 3> damagedata_coredds;
vorlen::Alloc<double, 3> damagedata_userdds;
vorlen::Alloc<double, 2> damagedata_dmgshape;
vorlen::Alloc<double, 2> damagedata_dmgplane;
vorlen::Alloc<double, 4> damagedata_dmgpoints;
}
