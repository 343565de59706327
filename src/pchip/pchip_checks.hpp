// Self-checks of the cubic Hermite evaluators: the accuracy of the one-piece evaluators on a
// known cubic, the whole-function evaluators along the grid lines of a table, their error
// returns, and the utilities of the checks (expected-code comparison, test cubic, uniform
// generator, free unit, timestamp). Double members (d...) and single members with the names
// given below.
//
// A checker writes its lines to the output unit lout (base/units.hpp; 6 is standard output) by
// the print level kprint: 0 or 1 nothing, 2 the result heading and the verdict of each test, 3
// the details, 4 the point tables of devpck_. It returns its verdict in fail (four-byte
// logical): 1 when a test failed. Work arrays are the caller's. Every argument is passed by
// address.
#pragma once
#include <cstddef>
#include <initializer_list>
#include <span>
#include <string_view>
#include <type_traits>

#include "base/view.hpp"
#include "base/units.hpp"

extern "C" {

// One-piece evaluators dchfdv_ and dchfev_ (single: evchck_ with chfdv_, chfev_) on the test
// cubic of dfdtru_ over [-1.5, 2.5], [2e-10, 3e-10] and [1, 1e8]: the end data reproduced to
// 4 machine epsilons, npts points (10 of them outside the interval, drawn with pchip_rand_)
// to 10 epsilons, both scaled by max(1, sqrt(interval length)), the value-only evaluator equal
// bit for bit, 4 + 6 points counted outside.
//   lout, kprint (in)
//   npts (in)     points per interval, more than 10; fewer are recorded as code -3 in the
//                 first-error register and fail without a test
//   xev(npts), fev(npts), dev(npts), fev2(npts) (work)
//   fail (out)
void devchk_(const vorlen::i32* lout, const vorlen::i32* kprint, const vorlen::i32* npts,
             double* xev, double* fev, double* dev, double* fev2, vorlen::i32* fail);
void evchck_(const vorlen::i32* lout, const vorlen::i32* kprint, const vorlen::i32* npts,
             float* xev, float* fev, float* dev, float* fev2, vorlen::i32* fail);

// Whole-function evaluators dpchfd_ and dpchfe_ (single: evpcck_ with pchfd_, pchfe_) along
// the 6 x-lines (stride 1) and 4 y-lines (stride 10) of a 4 by 6 table of x (1 + x^2) y^2 at
// 51 points each: values and derivatives within 25 machine epsilons (evpcck_: 10), equal values
// of both evaluators, 13 and 20 points counted outside.
//   lout, kprint (in)
//   x(10), y(10), f(10, 10), fx(10, 10), fy(10, 10), xe(51), ye(51), fe(51), de(51), fe2(51)
//   (work)
//   fail (out)
void devpck_(const vorlen::i32* lout, const vorlen::i32* kprint, double* x, double* y, double* f,
             double* fx, double* fy, double* xe, double* ye, double* fe, double* de, double* fe2,
             vorlen::i32* fail);
void evpcck_(const vorlen::i32* lout, const vorlen::i32* kprint, float* x, float* y, float* f,
             float* fx, float* fy, float* xe, float* ye, float* fe, float* de, float* fe2,
             vorlen::i32* fail);

// Ten invalid calls of dchfev_, dchfdv_, dpchfe_ and dpchfd_ (single: everck_ with their
// twins) that must return their error codes. The error package's control flag is 0 for the
// calls (1 from kprint 3 on, which prints the reports; at kprint 3 the message summary is
// printed and emptied afterwards) and restored at the end.
//   lout, kprint (in); fail (out)
void deverk_(const vorlen::i32* lout, const vorlen::i32* kprint, vorlen::i32* fail);
void everck_(const vorlen::i32* lout, const vorlen::i32* kprint, vorlen::i32* fail);

// 1 when ieract equals ierexp (in), else 0; from kprint (in) 3 on, writes "     OK." or
// "  COMPARE FAILED -- IERR = " with ieract to lout (in).
vorlen::i32 comp_(const vorlen::i32* ieract, const vorlen::i32* ierexp, const vorlen::i32* lout,
                  const vorlen::i32* kprint);

// The test cubic x (x + 1)(x - 2) at x (in) into f (out) and its derivative 3x^2 - 2x - 2 into
// d (out); fdtrue_ computes in double precision and rounds.
void dfdtru_(const double* x, double* f, double* d);
void fdtrue_(const float* x, float* f, float* d);

// Uniform numbers from the process-wide state x of x <- (3146757 x + 1731) mod 2^22, which
// starts at 0; returns x / 2^22 after the action selected by r (in): 0 one step; positive:
// reseed with the fraction of r times 2^22, rounded (no step; a fraction from 1 - 2^-23 on
// gives x = 2^22 and the result 1); negative, infinite or NaN: the state unchanged.
float pchip_rand_(const float* r);

// The first unit of 1..99 without 5, 6 and 9 that is not connected into iunit (out), 0 when
// every one is.
void get_unit_(vorlen::i32* iunit);

// The timestamp line of interp_timestamp_ on standard output.
void pchip_timestamp_();
}

namespace vorlen::pchip {

// comp_ for callers inside the library.
bool comp(i32 ieract, i32 ierexp, i32 lout, i32 kprint);

// A name replaced inside the quoted literals of a format text.
struct Rename {
    std::string_view from, to;
};

// The single-precision text of a printed format whose double text is `dtext`: its D edit
// descriptors written as E and, inside its quoted literals, at each position the first of
// `renames` that matches replaced. Built in buf (cap characters; a longer text is cut).
std::string_view single_format(std::string_view dtext, std::span<const Rename> renames, char* buf,
                               std::size_t cap);

// A format text of precision T: `dtext` itself for double; for single `stext` when given, else
// single_format of `dtext`.
template <class T>
class Format {
  public:
    Format(std::string_view dtext, std::span<const Rename> renames, std::string_view stext = {})
        : s_(dtext) {
        if constexpr (!std::is_same_v<T, double>)
            s_ = stext.empty() ? single_format(dtext, renames, buf_, sizeof buf_) : stext;
    }
    operator std::string_view() const { return s_; }

  private:
    char buf_[std::is_same_v<T, double> ? 1 : 512];
    std::string_view s_;
};

// Formatted lines of precision T on one unit: each call one write of the Format of its texts.
template <class T>
struct Printer {
    i32 unit;
    std::span<const Rename> renames;
    void operator()(std::string_view dtext, std::initializer_list<io::Item> items = {},
                    std::string_view stext = {}) const {
        io::write(unit, Format<T>(dtext, renames, stext), items);
    }
};

}  // namespace vorlen::pchip
