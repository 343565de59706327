// Quick checks of the cubic Hermite package: five drivers in double precision (dpchq1_ to
// dpchq5_) and five in single precision (pchqk1_ to pchqk5_), each running one group of the
// package's routines on fixed data with known answers.
//
//   lun (in)     output unit of every line (base/units.hpp; 6 is standard output)
//   kprint (in)  print level: 0 nothing; 1 the closing line of a driver that failed; 2 the
//                result headings, the verdict of each test and the closing line; 3 the data
//                and the case-by-case details; 4 (first driver) the point tables
//   ipass (out)  1 when every test of the driver passed, else 0
//
// 1: evaluation, the checkers devchk_, devpck_ and deverk_ (evchck_, evpcck_, everck_);
// 2: integration, dpchia_ over 17 ranges of a cubic, inside and beyond the breakpoints;
// 3: derivative setting, dpchim_, dpchic_ with and without switch treatment, dpchsp_ on
//    exp(-x^2); 4: monotonicity, dpchcm_ with strides 1 to 3 on rising and falling data;
// 5: B-spline conversion, dpchbs_ with every kind of end knots, evaluated by dbvalu_.
// A driver keeps nothing between calls; the first advances the generator of pchip_rand_ and
// leaves the error package's control flag as it found it. Every argument is passed by address.
#pragma once
#include "base/view.hpp"

extern "C" {

void dpchq1_(const vorlen::i32* lun, const vorlen::i32* kprint, vorlen::i32* ipass);
void dpchq2_(const vorlen::i32* lun, const vorlen::i32* kprint, vorlen::i32* ipass);
void dpchq3_(const vorlen::i32* lun, const vorlen::i32* kprint, vorlen::i32* ipass);
void dpchq4_(const vorlen::i32* lun, const vorlen::i32* kprint, vorlen::i32* ipass);
void dpchq5_(const vorlen::i32* lun, const vorlen::i32* kprint, vorlen::i32* ipass);
void pchqk1_(const vorlen::i32* lun, const vorlen::i32* kprint, vorlen::i32* ipass);
void pchqk2_(const vorlen::i32* lun, const vorlen::i32* kprint, vorlen::i32* ipass);
void pchqk3_(const vorlen::i32* lun, const vorlen::i32* kprint, vorlen::i32* ipass);
void pchqk4_(const vorlen::i32* lun, const vorlen::i32* kprint, vorlen::i32* ipass);
void pchqk5_(const vorlen::i32* lun, const vorlen::i32* kprint, vorlen::i32* ipass);
}
