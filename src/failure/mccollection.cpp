// Closed-form matrix-cracking criteria of module mccollection.
#include "failure/mccollection.hpp"

#include <algorithm>
#include <cmath>

#include "base/errorhandling.hpp"
#include "failure/criteria_common.hpp"

namespace vorlen::mccollection {
namespace {

double sq(double x) { return x * x; }

// Polynomial index 2Q/(sqrt(L^2 + 4Q) - L); at_zero where the denominator is exactly 0.
double poly_index(double q, double l, double at_zero) {
    const double den = std::sqrt(l * l + 4.0 * q) - l;
    return den == 0.0 ? at_zero : 2.0 * q / den;
}

void note(i32 code, const char* first) {
    char msg[80];
    const std::string_view a(first), b("evaluation. Please check your input parameters.");
    const std::size_t na = std::min(a.size(), sizeof msg);
    const std::size_t nb = std::min(b.size(), sizeof msg - na);
    std::copy_n(a.data(), na, msg);
    std::copy_n(b.data(), nb, msg + na);
    errorhandling::report(code, std::string_view(msg, na + nb));
}

// L of Hashin's transverse compression for the normal stress o: ((xc22/(2 x23))^2 - 1) o/xc22.
double hashin_linear(double o, double xc22, double x23) {
    return (sq(xc22 / (2.0 * x23)) - 1.0) * o / xc22;
}

// (Et^m + Es^m + Ec^m)^(1/m).
double cuntze_sum(double et, double es, double ec, double m) {
    return std::pow(std::pow(et, m) + std::pow(es, m) + std::pow(ec, m), 1.0 / m);
}

}  // namespace

extern "C" {

void MCrckHashinPS(double* rmc, const double* s22, const double* s12, const double* xt22,
                   const double* xc22, const double* x12, const double* x23) {
    const double s = *s22, b = sq(*s12 / *x12);
    if (s >= 0.0) {
        *rmc = std::sqrt(sq(s / *xt22) + b);
        return;
    }
    const double l = hashin_linear(s, *xc22, *x23);
    *rmc = poly_index(b + sq(s / (2.0 * *x23)), l, l);
}

void MCrckHashin3D(double* rmc, const double* s22, const double* s12, const double* s13,
                   const double* s23, const double* xt22, const double* xc22, const double* x12,
                   const double* x23) {
    const double s = *s22, y23 = *x23;
    const double shear = (sq(*s12) + sq(*s13)) / sq(*x12) + sq(*s23 / y23);
    if (s >= 0.0) {
        *rmc = std::sqrt(sq(s / *xt22) + shear);
        return;
    }
    const double l = hashin_linear(s, *xc22, y23);
    *rmc = poly_index(sq(s / (2.0 * y23)) + shear, l, l);
}

void MCrckHashinComplete(double* rmc, const double* s22, const double* s33, const double* s12,
                         const double* s13, const double* s23, const double* xt22,
                         const double* xc22, const double* x12, const double* x23) {
    const double a = *s22, c = *s33, y23 = *x23, o = a + c;
    const double inv = (sq(*s23) - a * c) / sq(y23), t12 = (sq(*s12) + sq(*s13)) / sq(*x12);
    if (o >= 0.0) {
        const double u = sq(o / *xt22) + inv + t12;
        *rmc = u > 0.0 ? std::sqrt(u) : 0.0;
        return;
    }
    const double l = hashin_linear(o, *xc22, y23);
    *rmc = poly_index(sq(o) / (4.0 * sq(y23)) + inv + t12, l, l);
}

void MCrckHashin1989(double* rmc, const double* s22, const double* s33, const double* s12,
                     const double* s13, const double* s23, const double* xt22, const double* xc22,
                     const double* xt33, const double* xc33, const double* x12, const double* x13,
                     const double* x23) {
    const double a = *s22, c = *s33, y23 = *x23, o = a + c;
    const double inv = (sq(*s23) - a * c) / sq(y23), t = sq(*s12 / *x12) + sq(*s13 / *x13);
    constexpr const char* negative = "Note: Negative root during Hashin failure";
    if (o >= 0.0) {
        const double u = sq(o) / (*xt22 * *xt33) + inv + t;
        if (u < 0.0) note(-1, negative);
        *rmc = u < 0.0 ? 0.0 : std::sqrt(u);
        return;
    }
    const double yc22 = *xc22, yc33 = *xc33;
    const double q = sq(o) / (4.0 * sq(y23)) + inv + t;
    const double l = (a / yc22 + c / yc33) * (yc22 * yc33 / (4.0 * sq(y23)) - 1.0);
    if (l * l + 4.0 * q < 0.0) {
        note(-1, negative);
        *rmc = 0.0;
        return;
    }
    *rmc = poly_index(q, l, 0.0);
}

void MCrckChai(double* rmc, const double* s22, const double* s12, const double* s23,
               const double* xt22, const double* xc22, const double* x12, const double* x23,
               const double*) {
    const double y = *s22 >= 0.0 ? *xt22 : *xc22;
    *rmc = std::sqrt(sq(*s22 / y) + sq(*s12 / *x12) + sq(*s23 / *x23));
}

void MCrckChangChang(double* rmc, const double* s22, const double* s12, const double* xt22,
                     const double* xc22, const double* x12) {
    const double y = *s22 > 0.0 ? *xt22 : *xc22;
    *rmc = std::sqrt(sq(*s22 / y) + sq(*s12 / *x12));
}

void MCrckChristensen(double* rmc, const double* s22, const double* s33, const double* s12,
                      const double* s13, const double* s23, const double* xt22,
                      const double* xc22, const double* xt33, const double* xc33,
                      const double* x12, const double* x13, const double* x23) {
    const double a = *s22, c = *s33, yt22 = *xt22, yc22 = *xc22, yt33 = *xt33, yc33 = *xc33;
    const double l = (1.0 / yt22 - 1.0 / yc22) * a + (1.0 / yt33 - 1.0 / yc33) * c;
    const double q = (sq(*s23) - a * c) / sq(*x23) + sq(*s12 / *x12) + sq(*s13 / *x13) +
                     sq(a + c) / std::sqrt(yt22 * yc22 * yt33 * yc33);
    if (l * l + 4.0 * q < 0.0) {
        note(-1, "Note: Negative root during Christensen failure");
        *rmc = 0.0;
        return;
    }
    *rmc = poly_index(q, l, 0.0);
}

void MCrckCuntze2004(double* rmc, const double* s22, const double* s33, const double* s12,
                     const double* s13, const double* s23, const double* xt22, const double* xc22,
                     const double* x12, const double* x13, const double* gp, const double* mint) {
    const double a = *s22, c = *s33, t12 = *s12, t13 = *s13, t23 = *s23;
    // Zero only when every component is: a sum of components vanishes for failing states too.
    if (a == 0.0 && c == 0.0 && t12 == 0.0 && t13 == 0.0 && t23 == 0.0) {
        *rmc = 0.0;
        return;
    }
    const double b1 = gp ? gp[0] : 0.13, b2 = gp ? gp[1] : 1.5, b3 = gp ? gp[2] : 0.4;
    const double m = mint ? *mint : 2.5, yc22 = *xc22;
    const double v = a + c, w = sq(a - c) + 4.0 * sq(t23);
    double et = (v + std::sqrt(w)) / (2.0 * *xt22);
    if (et < 0.0) et = 0.01;
    const double tau2 = sq(t12) + sq(t13);
    const double bs = (2.0 * b1 * (a * sq(t12) + c * sq(t13) + 2.0 * t12 * t13 * t23) +
                       std::pow(tau2, 1.5)) /
                      std::pow((*x12 + *x13) / 2.0, 3);
    const double es = bs < 0.0 ? 0.01 : std::cbrt(bs);
    const double ww = b3 * tau2 + b2 * w;
    double ec;
    if (ww == 0.0) {
        // Both roots' reciprocals tend to 0 and (b2 - 1) v/xc22 as W goes to 0.
        ec = std::max((b2 - 1.0) * v / yc22, 0.0);
    } else {
        const double h = (b2 - 1.0) * v * yc22 / ww, g = sq(yc22) / ww + sq(h) / 4.0;
        double root = 0.0;
        if (g < 0.0)
            note(-3, "Note: Negative root during Cuntze failure");
        else
            root = std::sqrt(g);
        ec = std::max(1.0 / (-h / 2.0 - root), 1.0 / (root - h / 2.0));
        if (ec < 0.0) ec = 0.01;
    }
    *rmc = cuntze_sum(et, es, ec, m);
}

void MCrckCuntze2012(double* rmc, const double* s22, const double* s33, const double* s12,
                     const double* s13, const double* s23, const double* xt22, const double* xc22,
                     const double* x12, const double* gp, const double* mint) {
    const double a = *s22, c = *s33, t12 = *s12, t13 = *s13, t23 = *s23;
    if (a == 0.0 && c == 0.0 && t12 == 0.0 && t13 == 0.0 && t23 == 0.0) {
        *rmc = 0.0;
        return;
    }
    const double b1 = gp ? gp[0] : 0.16, b2 = gp ? gp[1] : 1.16, m = mint ? *mint : 2.4;
    const double y12 = *x12;
    const double r = std::sqrt(4.0 * sq(t23) + sq(a - c));
    const double et = std::max((a + c + r) / (2.0 * *xt22), 0.0);
    const double ec = std::max(((b2 - 1.0) * (a + c) + b2 * r) / *xc22, 0.0);
    const double i = b1 * (2.0 * a * sq(t12) + 2.0 * c * sq(t13) + 4.0 * t23 * t13 * t12);
    const double p = i + std::sqrt(4.0 * sq(y12) * sq(sq(t12) + sq(t13)) + sq(i));
    double es = 0.0;
    if (p < 0.0)
        note(-3, "Note: Negative root during Cuntze failure");
    else
        es = std::sqrt(p / (2.0 * y12 * y12 * y12));
    *rmc = cuntze_sum(et, es, ec, m);
}

void MCrckBahei(double* rmc, const double* stressvector, const double* xnorm,
                const double* xshear, const i32* nstress, const double* interphase,
                i32* failmode) {
    double s[6];
    if (!criteria::nye_components(s, stressvector, *nstress)) {
        errorhandling::report(-3, "Unsupported number of stress components", "MCrckBahei");
        *rmc = 0.0;
        return;
    }
    const double s11 = s[0], s22 = s[1], s33 = s[2], s12 = s[3], s13 = s[4], s23 = s[5];
    const bool layer = interphase && interphase[0] != -1.0 && interphase[1] != -1.0;
    if (!criteria::finite(s, 6) || !criteria::finite({*xnorm, *xshear}) ||
        !criteria::finite(layer ? interphase : nullptr, 2))
        criteria::not_finite("MCrckBahei");
    const double yn = *xnorm;
    double effort[3] = {0.0, 0.0, 0.0};
    if (layer) {
        effort[1] = std::abs(interphase[1] * std::min(s33, 0.0) + std::sqrt(sq(s23) + sq(s13))) /
                    interphase[0];
        effort[2] = std::max(s33, 0.0) / yn;
    } else {
        effort[0] = (sq(s11) + sq(s22) + sq(s33) - s11 * s22 - s22 * s33 - s33 * s11) / sq(yn) +
                    3.0 * (sq(s12) + sq(s13) + sq(s23)) / sq(*xshear);
    }
    double best = 0.0;
    i32 where = 0;
    for (int k = 0; k < 3; ++k)
        if (effort[k] > best) best = effort[k], where = k + 1;
    const bool mark = failmode && *failmode < 0 && best >= 1.0;
    *rmc = best;
    if (mark) *failmode = where;
}

}  // extern "C"
}  // namespace vorlen::mccollection
