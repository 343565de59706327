#include "base/types.hpp"

extern "C" {
const vorlen::i32 types_cb = 1;
const vorlen::i32 types_i2 = 2;
const vorlen::i32 types_i4 = 4;
const vorlen::i32 types_i8 = 8;
const vorlen::i32 types_sp = 4;
const vorlen::i32 types_dp = 8;
const vorlen::i32 types_qp = 16;
}
