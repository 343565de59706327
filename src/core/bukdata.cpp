#include "core/bukdata.hpp"

extern "C" {
vorlen::Alloc<vorlen::i32, 4> bukdata_bukintdatalist;
vorlen::Alloc<double, 4> bukdata_bukrealdatalist;
}
