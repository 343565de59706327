// Mode-independent ply criteria and isotropic resin criteria of module gpcollection.
#include "failure/gpcollection.hpp"

#include <algorithm>
#include <cmath>

#include "base/errorhandling.hpp"
#include "materials/lamina_measures.hpp"

namespace vorlen::gpcollection {
namespace {

// Strength by the sign of a normal stress: tensile for s >= 0.
double by_sign(double s, double xt, double xc) { return s >= 0.0 ? xt : xc; }

// Signed stress ratios of the interaction criteria: s11/X11 and s22/X22 (X by the sign), s12/x12.
struct Ratios {
    double a, b, c;
};
Ratios ratios(const double* s11, const double* s22, const double* s12, const double* xt11,
              const double* xc11, const double* xt22, const double* xc22, const double* x12) {
    return {*s11 / by_sign(*s11, *xt11, *xc11), *s22 / by_sign(*s22, *xt22, *xc22), *s12 / *x12};
}

// Reciprocal of the load factor lambda at which lambda^2 Q + lambda L = 1. The form
// 2Q/(sqrt(D) - L) cancels where L > 0 (0/0 for Q = 0); there the equal (L + sqrt(D))/2 is
// taken. Q = L = 0 (no stress) gives 0.
double polynomial_index(double q, double l) {
    const double d = l * l + 4.0 * q;
    if (d < 0.0) {
        errorhandling::report(-1, "Note: Negative root during polynomial failure"
                                  "evaluation. Please check your input parameters.");
        return 0.0;
    }
    if (l > 0.0) return 0.5 * (l + std::sqrt(d));
    if (q == 0.0 && l == 0.0) return 0.0;
    return 2.0 * q / (std::sqrt(d) - l);
}

// Von Mises stress and first invariant of stress(6).
void invariants(const double* stress, double& vm, double& i1) {
    static constexpr i32 six = 6;
    vm = lamina::GetMisesStress(stress, &six);
    i1 = stress[0] + stress[1] + stress[2];
}

}  // namespace

extern "C" {

void GPMaxNominal(double* rgp, const double* s11, const double* xt11, const double* xc11) {
    *rgp = std::abs(*s11 / (*s11 <= 0.0 ? *xc11 : *xt11));
}

void GPQuadNominal(double* rgp, const double* s11, const double* s12, const double* s13,
                   const double* xt11, const double* x12, const double* x13) {
    const double a = *s11 / *xt11, b = *s12 / *x12, c = *s13 / *x13;
    *rgp = std::sqrt(a * a + b * b + c * c);
}

void GPLinInteraction(double* rgp, const double* s11, const double* s22, const double* s12,
                      const double* xt11, const double* xc11, const double* xt22,
                      const double* xc22, const double* x12) {
    const Ratios r = ratios(s11, s22, s12, xt11, xc11, xt22, xc22, x12);
    *rgp = std::abs(r.a + r.b + r.c);
}

void GPQuadInteraction(double* rgp, const double* s11, const double* s22, const double* s12,
                       const double* xt11, const double* xc11, const double* xt22,
                       const double* xc22, const double* x12) {
    const Ratios r = ratios(s11, s22, s12, xt11, xc11, xt22, xc22, x12);
    *rgp = std::sqrt(r.a * r.a + r.b * r.b + r.c * r.c);
}

void GPYamadaSunInteraction(double* rgp, const double* s11, const double* s12, const double* s13,
                            const double* xt11, const double* xc11, const double* x12,
                            const double* x13) {
    const double a = *s11 / by_sign(*s11, *xt11, *xc11), b = *s12 / *x12, c = *s13 / *x13;
    *rgp = std::sqrt(a * a + b * b + c * c);
}

void GPNorrisInteraction(double* rgp, const double* s11, const double* s22, const double* s12,
                         const double* xt11, const double* xc11, const double* xt22,
                         const double* xc22, const double* x12) {
    const Ratios r = ratios(s11, s22, s12, xt11, xc11, xt22, xc22, x12);
    *rgp = std::sqrt(r.a * r.a - r.a * r.b + r.b * r.b + r.c * r.c);
}

void GPPolynomial(double* rgp, const double* s11, const double* s22, const double* s33,
                  const double* s12, const double* s13, const double* s23, const double* xt11,
                  const double* xc11, const double* xt22, const double* xc22, const double* xt33,
                  const double* xc33, const double* x12, const double* x13, const double* x23,
                  const double* xint, const i32* ptype) {
    const i32 type = ptype ? *ptype : 0;
    const double t11 = *s11, t22 = *s22, t33 = *s33;
    double f1 = 0.0, f2 = 0.0, f3 = 0.0, f11, f22, f33;
    if (type == 1) {
        const double y1 = by_sign(t11, *xt11, *xc11), y2 = by_sign(t22, *xt22, *xc22),
                     y3 = by_sign(t33, *xt33, *xc33);
        f11 = 1.0 / (y1 * y1), f22 = 1.0 / (y2 * y2), f33 = 1.0 / (y3 * y3);
    } else {
        f1 = 1.0 / *xt11 - 1.0 / *xc11, f2 = 1.0 / *xt22 - 1.0 / *xc22;
        f3 = 1.0 / *xt33 - 1.0 / *xc33;
        f11 = 1.0 / (*xt11 * *xc11), f22 = 1.0 / (*xt22 * *xc22), f33 = 1.0 / (*xt33 * *xc33);
    }
    double f12 = 0.0, f13 = 0.0, f23 = 0.0;
    if (xint && type == 0) {
        const double w = 2.0 * *xint;
        f12 = w * std::sqrt(f11 * f22), f13 = w * std::sqrt(f11 * f33);
        f23 = w * std::sqrt(f22 * f33);
    } else if (xint && (type == 1 || type == 2)) {
        const double w = 2.0 * *xint;
        f12 = w * (f11 + f22 - f33), f13 = w * (f11 + f33 - f22), f23 = w * (f22 + f33 - f11);
    }
    const double a = *s12 / *x12, b = *s13 / *x13, c = *s23 / *x23;
    const double q = f11 * t11 * t11 + f22 * t22 * t22 + f33 * t33 * t33 + f12 * t11 * t22 +
                     f13 * t11 * t33 + f23 * t22 * t33 + a * a + b * b + c * c;
    *rgp = polynomial_index(q, f1 * t11 + f2 * t22 + f3 * t33);
}

void GPPolyCamanho(double* rgp, const double* s11, const double* s22, const double* s33,
                   const double* s12, const double* s13, const double* s23, const double* xt11,
                   const double* xc11, const double* xt22, const double* xc22, const double* x12,
                   const double* x13, const double* x23, const double* xint, const i32* ptype) {
    const i32 type = ptype ? *ptype : 0;
    const double t11 = *s11, t22 = *s22, t33 = *s33;
    double f1 = 0.0, f2 = 0.0, f11, f22;
    if (type == 0) {
        f11 = 1.0 / (*xt11 * *xc11), f22 = 1.0 / (*xt22 * *xc22);
        f1 = 1.0 / *xt11 - 1.0 / *xc11, f2 = 1.0 / *xt22 - 1.0 / *xc22;
    } else {
        f11 = 1.0 / (*xt11 * *xt11), f22 = 1.0 / (*xt22 * *xt22);
    }
    const double f23 = f22 - 0.5 / (*x23 * *x23);
    const double c33 = type == 0 || type == 1 ? f22 : 0.0;
    const double c13 = type == 2 ? 0.0 : 1.0 / (*x13 * *x13);
    const double c23 = type == 2 ? 0.0 : 1.0 / (*x23 * *x23);
    const double w = xint && std::abs(*xint) <= 1.0 ? 2.0 * *xint * std::sqrt(f11 * f22) : 0.0;
    const double a = *s12 / *x12;
    const double q = f11 * t11 * t11 + f22 * t22 * t22 + c33 * t33 * t33 + w * t11 * t22 +
                     w * t11 * t33 + 2.0 * f23 * t22 * t33 + a * a + c13 * *s13 * *s13 +
                     c23 * *s23 * *s23;
    *rgp = polynomial_index(q, f1 * t11 + f2 * (t22 + t33));
}

void GPDruckerPrager(const double* stress, const double* xt, const double* xc, double* d,
                     double* di1) {
    double vm, i1;
    invariants(stress, vm, i1);
    const double t = *xt, c = *xc, sqrt3 = std::sqrt(3.0);
    const double f = (t - c) / (t + c) * i1 / sqrt3 + 2.0 * t * c / ((t + c) * sqrt3) -
                     std::sqrt(vm * vm / 3.0);
    *d = f >= -1.0 && f <= 1.0 ? 1.0 : std::max(*d, 0.0);
    *di1 = f;
}

void GPBauwens(const double* stress, const double* xt, const double* xc, double* d) {
    double vm, i1;
    invariants(stress, vm, i1);
    const double f = 0.5 * (1.0 / *xt + 1.0 / *xc) * vm + 0.5 * i1 * (1.0 / *xt - 1.0 / *xc);
    *d = std::min(std::max(f, *d), 1.0);
}

void GPRaghava(const double* stress, const double* xt, const double* xc, double* d) {
    double vm, i1;
    invariants(stress, vm, i1);
    const double f = (1.0 / *xt - 1.0 / *xc) * i1 + vm * vm / (*xt * *xc);
    *d = std::min(std::max({f, *d, 0.0}), 1.0);
}

void GPHa(const double* stress, const double* xt, const double* xc, const double* np, double* d,
          double* di1, double* dmises, double* i1cr, double* misescr, double* life) {
    double vm, i1;
    invariants(stress, vm, i1);
    const double n = *np, r = *xc / *xt, rn = std::pow(r, n);
    const double mcr = *xt * std::pow((rn + r) / (r + 1.0), 1.0 / n);
    const double icr = *xt * (rn + r) / (rn - 1.0);
    const double dm = std::pow(vm / mcr, n), di = i1 / icr;
    const double total = std::min(dm + di, 1.0);
    *misescr = mcr, *i1cr = icr, *dmises = dm, *di1 = di, *d = total;
    if (total >= 1.0) *life = 1.0;
}

}  // extern "C"
}  // namespace vorlen::gpcollection
