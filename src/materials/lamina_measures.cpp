// Stress and strain measures: invariants, equivalent stresses, principal values, flow direction,
// finite-strain measures and hardening lookup. Fixed-size stack arrays only.
#include "materials/lamina_measures.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

#include "base/errorhandling.hpp"
#include "core/math_linalg.hpp"
#include "core/math_norms.hpp"
#include "core/math_tabulated.hpp"
#include "core/utility_search.hpp"
#include "interp/interp.hpp"
#include "materials/lamina_notation.hpp"

namespace vorlen::lamina {
namespace {

using errorhandling::report;
using Mat3 = std::array<double, 9>;  // column-major 3 by 3

struct Components {
    double t11 = 0.0, t22 = 0.0, t33 = 0.0, t12 = 0.0, t13 = 0.0, t23 = 0.0;
};

// 3 and 4 are the reduced layouts; a longer vector holds the six Voigt entries first. Counts 1,
// 2 and 5 hold too few entries for the Voigt layout.
bool supported(i32 n) { return n == 3 || n == 4 || n >= 6; }

// Components of the vector x(n), shear entries times sf; all 0 (nothing read) for a count
// without a layout.
Components components(const double* x, i32 n, double sf = 1.0) {
    Components t;
    if (n == 3) {
        t.t11 = x[0], t.t22 = x[1], t.t12 = sf * x[2];
    } else if (n == 4) {
        t.t11 = x[0], t.t22 = x[1], t.t33 = x[2], t.t12 = sf * x[3];
    } else if (n >= 6) {
        t.t11 = x[0], t.t22 = x[1], t.t33 = x[2];
        t.t23 = sf * x[3], t.t13 = sf * x[4], t.t12 = sf * x[5];
    }
    return t;
}

// As components, with code -3 and the caller's message for a count without a layout.
Components checked(const double* x, i32 n, const char* message, double sf = 1.0) {
    if (!supported(n)) report(-3, message);
    return components(x, n, sf);
}

double trace(const Components& t) { return t.t11 + t.t22 + t.t33; }
double pressure(const Components& t) { return trace(t) * 0.3333333333333333; }
double mises(const Components& t) {
    const double d1 = t.t11 - t.t22, d2 = t.t22 - t.t33, d3 = t.t33 - t.t11;
    return std::sqrt((d1 * d1 + d2 * d2 + d3 * d3) / 2.0 +
                     3.0 * (t.t12 * t.t12 + t.t13 * t.t13 + t.t23 * t.t23));
}

Mat3 load(const double* f) {
    Mat3 a;
    std::copy_n(f, 9, a.begin());
    return a;
}

double delta(int i, int j) { return i == j ? 1.0 : 0.0; }

// Largest entry of x(n), NaN entries left out; -inf when none is left.
double largest(const double* x, i32 n) { return math::range_without_nan(x, n).hi; }

}  // namespace

extern "C" {

void GetTensorComponents(double* t11, double* t22, double* t33, double* t12, double* t13,
                         double* t23, const double* tvoigt, const i32* nvoigt,
                         const double* shearfactor) {
    const Components t =
        checked(tvoigt, *nvoigt, "Unsupported number of components in GetTensorComponents",
                shearfactor ? *shearfactor : 1.0);
    *t11 = t.t11, *t22 = t.t22, *t33 = t.t33, *t12 = t.t12, *t13 = t.t13, *t23 = t.t23;
}

double GetTrace(const double* stress, const i32* nstress) {
    const Components t = checked(stress, *nstress, "Unsupported number of components in GetTrace");
    return trace(t);
}

double GetHydrostaticPressure(const double* stress, const i32* nstress) {
    const Components t =
        checked(stress, *nstress, "Unsupported number of components in GetHydrostaticPressure");
    return pressure(t);
}

void GetMeanStress(double* cm, const double* stress, const i32* nstress) {
    const Components t =
        checked(stress, *nstress, "Unsupported number of components in GetMeanStress");
    const double p = pressure(t);
    Mat<double> c(cm, 3, 3);
    for (int j = 1; j <= 3; ++j)
        for (int i = 1; i <= 3; ++i) c(i, j) = p * delta(i, j);
}

void GetDeviatoricStress(double* cd, const double* svoigt) {
    std::array<double, 6> s;  // cd may be svoigt itself
    std::copy_n(svoigt, 6, s.begin());
    const double p = pressure(components(s.data(), 6));
    CauchyNotation(cd, s.data());
    Mat<double> c(cd, 3, 3);
    for (int i = 1; i <= 3; ++i) c(i, i) -= p;
}

void GetPrincipals(double* ps, const double* svoigt, const i32* nvoigt) {
    const Components t =
        checked(svoigt, *nvoigt, "Unsupported number of components in GetPrincipals");
    if (!supported(*nvoigt)) {
        std::fill_n(ps, 3, 0.0);
        return;
    }
    const Mat3 a = {t.t11, t.t12, t.t13, t.t12, t.t22, t.t23, t.t13, t.t23, t.t33};
    const i32 three = 3, descending = -1;
    double d[3];
    i32 order[3];
    math::MatrixEigenvalues(a.data(), d, &three);
    utility::fGetContinuous(d, &three, order, &descending);
    for (int i = 0; i < 3; ++i) ps[i] = d[order[i] - 1];
}

double GetMisesStress(const double* stress, const i32* nstress) {
    const Components t =
        checked(stress, *nstress, "Unsupported number of components in GetMisesStress");
    return mises(t);
}

double GetTrescaStress(const double* principals) {
    const double p1 = principals[0], p2 = principals[1], p3 = principals[2];
    return std::max({std::abs(p2 - p3), std::abs(p3 - p1), std::abs(p1 - p2)});
}

double GetRankineStress(const double* principals) {
    const double p1 = principals[0], p3 = principals[2];
    if (p1 >= 0.0 && p1 >= std::abs(p3)) return p1;
    if (p3 < 0.0) return std::abs(p3);
    return p1;
}

void GetStassiStress(const double* stress, const double* xt, const double* xc, double* eq_stress) {
    const Components t = components(stress, 6);
    const double i1 = trace(t), vm = mises(t);
    const double r = *xc / *xt, h = r - 1.0;
    const double l = std::sqrt(i1 * i1 * h * h + 4.0 * r * vm * vm);
    *eq_stress = (i1 >= 0.0 ? i1 * h + l : i1 * h - l) / (2.0 * r);
}

void GetMisesFlow(double* flow, const double* stress, const i32* nstress) {
    const i32 n = *nstress;
    const Components t = checked(stress, n, "Unsupported number of components in GetMisesFlow");
    if (!supported(n)) {
        std::fill_n(flow, std::max<i32>(n, 0), 0.0);
        return;
    }
    const double vm = mises(t), p = pressure(t);
    const i32 direct = n == 3 ? 2 : 3;
    for (i32 i = 0; i < n; ++i) flow[i] = (i < direct ? stress[i] - p : stress[i]) / vm;
}

void GetSmallStrain(double* small, const double* dfgrd) {
    const Mat3 fs = load(dfgrd);
    const Mat<const double> f(fs.data(), 3, 3);
    Mat<double> e(small, 3, 3);
    for (int j = 1; j <= 3; ++j)
        for (int i = 1; i <= 3; ++i) e(i, j) = (f(i, j) + f(j, i)) / 2.0 - delta(i, j);
}

void GetGreenStrain(double* green, const double* dfgrd) {
    const Mat3 fs = load(dfgrd);
    const Mat<const double> f(fs.data(), 3, 3);
    Mat<double> e(green, 3, 3);
    for (int j = 1; j <= 3; ++j)
        for (int i = 1; i <= 3; ++i) {
            double c = 0.0;
            for (int k = 1; k <= 3; ++k) c += f(k, i) * f(k, j);
            e(i, j) = (c - delta(i, j)) / 2.0;
        }
}

void GetAlmansiStrain(double* almansi, const double* dfgrd) {
    const Mat<const double> f(dfgrd, 3, 3);
    Mat3 bs;
    Mat<double> b(bs.data(), 3, 3);
    for (int j = 1; j <= 3; ++j)
        for (int i = 1; i <= 3; ++i) {
            double s = 0.0;
            for (int k = 1; k <= 3; ++k) s += f(i, k) * f(j, k);
            b(i, j) = s;
        }
    const i32 three = 3;
    math::MatrixInverse(bs.data(), bs.data(), &three);
    Mat<double> e(almansi, 3, 3);
    for (int j = 1; j <= 3; ++j)
        for (int i = 1; i <= 3; ++i) e(i, j) = (delta(i, j) - b(i, j)) / 2.0;
}

void GetHardeningFromTable(double* yield, double* gradient, const double* strain,
                           const double* table, const i32* ntable) {
    const i32 n = *ntable;
    const double e = *strain;
    // Without a table the yield stress is minus the largest double.
    double y = -std::numeric_limits<double>::max(), g = 0.0;
    const double* stress = table;                         // column 1
    const double* plastic = table + std::max<i32>(n, 0);  // column 2
    if (n > 0 && !(e < largest(plastic, n))) {
        y = largest(stress, n);  // perfectly plastic beyond the table
    } else if (n == 1) {
        // One row holds no interval to interpolate in.
        report(-3, "A single row cannot be interpolated in GetHardeningFromTable");
        y = stress[0];
    } else if (n > 1) {
        // Ends the process when column 2 does not increase strictly.
        const i32 one = 1, two = 2;
        math::math_linearinterpolation(&y, plastic, stress, &e, &n, &one);
        // The slopes are needed at the two ends of the interval used only: CentralStepDerivative
        // over the rows around it gives them as over the whole table, with no table-sized work.
        i32 left, right;
        r8vec_bracket(&n, plastic, &e, &left, &right);
        const i32 lo = std::max(1, left - 1), hi = std::min(n, right + 1), m = hi - lo + 1;
        double slope[4];
        math::CentralStepDerivative(slope, stress + lo - 1, plastic + lo - 1, &m);
        const double x[2] = {plastic[left - 1], plastic[right - 1]};
        const double s[2] = {slope[left - lo], slope[right - lo]};
        math::math_linearinterpolation(&g, x, s, &e, &two, &one);
    }
    *yield = y;
    *gradient = g;
}

}  // extern "C"
}  // namespace vorlen::lamina
