// Core-crushing criteria of module cccollection.
#include "failure/cccollection.hpp"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <string_view>

#include "failure/criteria_common.hpp"

namespace vorlen::cccollection {
namespace {

// Largest index over the three points; a point in tension keeps 1e-20. Input that is not
// finite (of the points or in strengths) is reported: a comparison would skip it.
template <class Index>
double largest(const Index& index, const double* s33u, const double* s33m, const double* s33l,
               const double* taou, const double* taom, const double* taol,
               std::initializer_list<double> strengths, std::string_view routine) {
    const double* s33[3] = {s33u, s33m, s33l};
    const double* tau[3] = {taou, taom, taol};
    if (!criteria::finite({*s33u, *s33m, *s33l}) || !criteria::finite(taou, 2) ||
        !criteria::finite(taom, 2) || !criteria::finite(taol, 2) || !criteria::finite(strengths))
        criteria::not_finite(routine);
    double r[3] = {1e-20, 1e-20, 1e-20};
    for (int p = 0; p < 3; ++p)
        if (*s33[p] <= 0.0) r[p] = index(std::abs(*s33[p]), std::abs(tau[p][0]),
                                         std::abs(tau[p][1]));
    return std::max({r[0], r[1], r[2]});
}

}  // namespace

extern "C" {

void CCPetras(double* rcc, const double* s33u, const double* s33m, const double* s33l,
              const double* taou, const double* taom, const double* taol, const double* xc33,
              const double* x13, const double* x23) {
    const double yc = *xc33, y13 = *x13, y23 = *x23;
    const auto index = [=](double s, double t1, double t2) { return s / yc + t1 / y23 + t2 / y13; };
    *rcc = largest(index, s33u, s33m, s33l, taou, taom, taol, {yc, y13, y23}, "CCPetras");
}

void CCBesant(double* rcc, const double* s33u, const double* s33m, const double* s33l,
              const double* taou, const double* taom, const double* taol, const double* xc33,
              const double* x13, const double* x23, const double* besantexponent) {
    const double yc = *xc33, y13 = *x13, y23 = *x23, p = *besantexponent;
    const auto index = [=](double s, double t1, double t2) {
        return std::pow(std::pow(s, p) / std::pow(yc, p) + std::pow(t1, p) / std::pow(y23, p) +
                            std::pow(t2, p) / std::pow(y13, p),
                        1.0 / p);
    };
    *rcc = largest(index, s33u, s33m, s33l, taou, taom, taol, {yc, y13, y23, p}, "CCBesant");
}

}  // extern "C"
}  // namespace vorlen::cccollection
