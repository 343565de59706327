// Root finders with a caller-supplied function, and cubic roots in closed form.
#include "core/math_roots.hpp"

#include <algorithm>
#include <climits>
#include <cmath>
#include <string_view>

#include "base/errorhandling.hpp"
#include "base/work.hpp"

namespace vorlen::math {
namespace {

constexpr std::string_view no_bracket = "Error in BISECTION: Root must be bracketed.";

// Same sign of two non-zero values; unlike x * y > 0 it cannot underflow to 0.
bool same_sign(double x, double y) { return (x > 0.0 && y > 0.0) || (x < 0.0 && y < 0.0); }

// Ends a bracketing search that cannot go on: report (code -2), root 0 and the status.
void give_up(double* root, i32* istat, i32 status, std::string_view message) {
    errorhandling::report(-2, message);
    *root = 0.0;
    *istat = status;
}

bool no_function(const void* dfunc, i32* istat) {
    if (dfunc) return false;
    errorhandling::report(-3, "Error: No function given to the root finder.");
    *istat = 2;
    return true;
}

// A bracket whose ends lie a finite distance apart (so both are finite) and a tolerance that is
// a number, not negative: else the estimates would leave the numbers or never converge.
bool searchable(double lo, double hi, double acc, double* root, i32* istat) {
    if (std::isfinite(hi - lo) && acc >= 0.0) return true;
    errorhandling::report(-3, "Error: Bracket or tolerance of the root finder is not valid.");
    *root = 0.0;
    *istat = 2;
    return false;
}

// Evaluates f at both ends of the bracket [lo, hi] (f in flo, fhi; df the derivative slot).
// False when the search is over: an end is an exact root (root set, status 0), else a value is
// not a number (status 3, `nan_message`) or the two values have the same sign (status 2); or
// before any evaluation when the bracket or the tolerance acc is not valid (status 2).
bool open_bracket(RootFunction* dfunc, const double& lo, const double& hi, double acc,
                  const double* args, const i32* na, const i32* nfun, double& flo, double& fhi,
                  double& df, double* root, i32* istat, std::string_view nan_message) {
    *istat = 0;
    if (no_function(reinterpret_cast<const void*>(dfunc), istat)) return false;
    if (!searchable(lo, hi, acc, root, istat)) return false;
    flo = fhi = df = 0.0;
    dfunc(&flo, &df, &lo, args, na, nfun);
    dfunc(&fhi, &df, &hi, args, na, nfun);
    if (flo == 0.0 || fhi == 0.0) {  // whatever the other end gives
        *root = flo == 0.0 ? lo : hi;
        return false;
    }
    if (std::isnan(flo) || std::isnan(fhi)) {
        give_up(root, istat, 3, nan_message);
        return false;
    }
    if (same_sign(flo, fhi)) {
        give_up(root, istat, 2, no_bracket);
        return false;
    }
    return true;
}

// Exponent k of a power of two near the size of the roots of t^3 + p t + q, the larger of
// |p|^(1/2) and |q|^(1/3); 0 while that size lies within 2^-128..2^128, so that q^2 and p^3
// (at most 2^775) neither overflow nor leave the normal numbers where they matter, and for
// coefficients that are not finite.
int cubic_scale(double p, double q) {
    if (!std::isfinite(p) || !std::isfinite(q) || (p == 0.0 && q == 0.0)) return 0;
    const int k =
        std::max(p == 0.0 ? INT_MIN : std::ilogb(p) / 2, q == 0.0 ? INT_MIN : std::ilogb(q) / 3);
    return k < -128 || k > 128 ? k : 0;
}

}  // namespace

extern "C" {

void math_bdsafe(RootFunction* dfunc, const double* x1, const double* x2, double* root,
                 const double* args, const double* xacc, const i32* maxit, const i32* na,
                 const i32* nfun, i32* istat) {
    // A function value that is not a number ends the search: it must not pass as convergence.
    static constexpr std::string_view nan_value =
        "Error in BrentsMethod: Function value is not a number.";
    const double acc = *xacc;
    const i64 limit = *maxit;
    double a = *x1, b = *x2, fa, fb, scratch;
    if (!open_bracket(dfunc, a, b, acc, args, na, nfun, fa, fb, scratch, root, istat, nan_value))
        return;
    double c = a, fc = fa, d = b - a, e = d;
    i64 pass = 0;
    while (pass < limit) {
        ++pass;
        if (same_sign(fb, fc)) {
            c = a, fc = fa;
            e = d = b - a;
        }
        if (std::abs(fc) < std::abs(fb)) {
            a = b, b = c, c = a;
            fa = fb, fb = fc, fc = fa;
        }
        const double tol = 4.440892098500626e-16 * std::abs(b) + acc;
        const double m = 0.5 * (c - b);
        if (std::abs(m) <= tol || fb == 0.0) break;
        if (std::abs(e) < tol || std::abs(fa) <= std::abs(fb)) {
            d = e = m;
        } else {
            const double s = fb / fa;
            double p, q;
            if (a == c) {
                p = 2.0 * m * s;
                q = 1.0 - s;
            } else {
                const double qa = fa / fc, r = fb / fc;
                p = s * (2.0 * m * qa * (qa - r) - (b - a) * (r - 1.0));
                q = (qa - 1.0) * (r - 1.0) * (s - 1.0);
            }
            if (p > 0.0)
                q = -q;
            else
                p = -p;
            if (2.0 * p < 3.0 * m * q - std::abs(tol * q) && p < std::abs(0.5 * e * q)) {
                e = d;
                d = p / q;
            } else {
                d = e = m;
            }
        }
        a = b, fa = fb;
        b += std::abs(d) > tol ? d : (m > 0.0 ? tol : -tol);
        dfunc(&fb, &scratch, &b, args, na, nfun);
        if (std::isnan(fb)) return give_up(root, istat, 3, nan_value);
    }
    *root = b;
    if (pass == limit) {
        errorhandling::report(-1, "Warning in BrentsMethod: Max iterations exceeded.");
        *istat = 1;
    }
}

void math_nrsafe(RootFunction* dfunc, const double* x1, const double* x2, double* root,
                 const double* args, const double* xacc, const i32* maxit, const i32* na,
                 const i32* nfun, i32* istat) {
    static constexpr std::string_view nan_value =
        "Error in subroutine RTSAFE: Function value is not a number.";
    const double lo = *x1, hi = *x2, acc = *xacc;
    const i64 limit = *maxit;
    double fl, fh, df;
    if (!open_bracket(dfunc, lo, hi, acc, args, na, nfun, fl, fh, df, root, istat, nan_value))
        return;
    double xl = lo, xh = hi;
    if (fl >= 0.0) std::swap(xl, xh);
    double x = 0.5 * (lo + hi), dxold = hi - lo, dx = dxold, f = 0.0;
    if (!std::isfinite(x)) x = 0.5 * lo + 0.5 * hi;  // ends of one sign whose sum overflows
    auto bad = [&] { return std::isnan(f) || std::isnan(df); };
    dfunc(&f, &df, &x, args, na, nfun);
    if (bad()) return give_up(root, istat, 3, nan_value);
    bool done = false;
    for (i64 j = 1; j <= limit && !done; ++j) {
        const double before = x;
        // Newton only where the test shows its step inside the bracket: with an infinite f or
        // df the product may be NaN, and the step with it.
        const bool bisect = !(((x - xh) * df - f) * ((x - xl) * df - f) < 0.0) ||
                            std::abs(2.0 * f) > std::abs(dxold * df);
        dxold = dx;
        if (bisect) {
            dx = 0.5 * (xh - xl);  // bisection: the Newton step would leave the bracket or be slow
            x = xl + dx;
            done = x == xl;
        } else {
            dx = f / df;
            x -= dx;
            done = x == before;
        }
        done = done || std::abs(dx) < acc;
        if (done) break;
        dfunc(&f, &df, &x, args, na, nfun);
        if (bad()) return give_up(root, istat, 3, nan_value);
        if (f < 0.0)
            xl = x;
        else
            xh = x;
    }
    *root = x;
    if (!done) {
        errorhandling::report(-1, "Warning in subroutine RTSAFE: Max iterations exceeded.");
        *istat = 1;
    }
}

void math_fpsafe(FixPointFunction* dfunc, double* xs, const double* args, const double* xacc,
                 const i32* maxit, const i32* na, const i32* nfun, i32* istat) {
    *istat = 0;
    if (no_function(reinterpret_cast<const void*>(dfunc), istat)) return;
    if (*na < 1) {
        errorhandling::report(-3, "Error in FixPointIteration: At least one argument is needed.");
        *istat = 2;
        return;
    }
    const double acc = *xacc;
    const i64 limit = *maxit;
    Work<double, 16> fargs(*na);
    std::copy_n(args, *na, fargs.data());
    double xold = *xs, xnew = 0.0;
    fargs(1) = xold;
    dfunc(&xnew, fargs.data(), na, nfun);
    i64 i = 0;
    // Written so that a tolerance that is not a number never passes as convergence.
    while (!std::isnan(xnew) && !(std::abs(xold - xnew) <= acc) && i <= limit) {
        ++i;
        xold = xnew;
        fargs(1) = xold;
        dfunc(&xnew, fargs.data(), na, nfun);
    }
    if (std::isnan(xnew)) {
        errorhandling::report(-2, "Error in FixPointIteration: Function value is not a number.");
        *istat = 3;
    } else if (i > limit) {
        errorhandling::report(-1, "Warning in FixPointIteration:Max iterations exceeded.");
        *istat = 1;
    }
    *xs = xnew;
}

double math_cuberoot(const double* a) {
    const double x = *a;
    if (x == 0.0) return 0.0;
    if (x > 0.0) return std::exp(std::log(x) / 3.0);
    return -std::exp(std::log(std::abs(x)) / 3.0);
}

void SpecialCase(const double* p, const double* q, double* xx1, double* xx2, double* xx3) {
    // Solved for u = t / 2^k, u^3 + (p / 4^k) u + q / 8^k = 0, and scaled back: exact powers of
    // two that bring the powers q^2 and p^3 below into range (k = 0 where they are).
    const int k = cubic_scale(*p, *q);
    const double pp = std::ldexp(*p, -2 * k), qq = std::ldexp(*q, -3 * k);
    const double judge = qq * qq / 4.0 + pp * pp * pp / 27.0;
    double t[3];
    if (judge >= 0.0) {
        // cuberoot(-q/2 + sqrt(judge)) + cuberoot(-q/2 - sqrt(judge)), computed without
        // cancellation: a is the cube root of the radicand whose terms have one sign, and the
        // other's is b = -p/(3a), as the radicands multiply to -p^3/27. For p <= 0, a and b have
        // one sign too; for p > 0 a + b would cancel where the root is near 0 (|q| small next
        // to p^(3/2)) and is taken as (a^3 + b^3)/(a^2 - ab + b^2) = -q/(a^2 + b^2 + p/3), in t
        // -(q / 2^k) / (2^k (a^2 + b^2 + p/3)), where q / 8^k may have underflowed.
        const double u = -qq / 2.0 - std::copysign(std::sqrt(judge), qq), a = math_cuberoot(&u);
        const double b = a == 0.0 ? 0.0 : -pp / (3.0 * a);
        const double root = pp <= 0.0 ? std::ldexp(a + b, k)
                            : *q == 0.0
                                ? 0.0
                                : -std::ldexp(*q, -k) / std::ldexp(a * a + b * b + pp / 3.0, k);
        t[0] = t[1] = t[2] = root;
    } else {
        const double r = std::sqrt(-pp * pp * pp / 27.0);
        const double theta =
            std::atan(qq / std::sqrt(4.0 * r * r - qq * qq)) / 3.0 + 0.5235987755982988;
        const double amp = std::ldexp(2.0 * math_cuberoot(&r), k);
        t[0] = amp * std::cos(theta);
        t[1] = amp * std::cos(theta + 2.0943951023931953);
        t[2] = amp * std::cos(theta + 4.1887902047863905);
        if (t[1] < t[0]) std::swap(t[0], t[1]);
        if (t[2] < t[1]) std::swap(t[1], t[2]);
        if (t[1] < t[0]) std::swap(t[0], t[1]);
    }
    *xx1 = t[0], *xx2 = t[1], *xx3 = t[2];
}

void Solution3PE(const double* a, const double* b, const double* c, const double* d, double* x1,
                 double* x2, double* x3) {
    const double x0 = *b / (3.0 * *a), ca = *c / *a;
    const double p = ca - 3.0 * x0 * x0, q = *d / *a - ca * x0 + 2.0 * x0 * x0 * x0;
    double t1, t2, t3;
    SpecialCase(&p, &q, &t1, &t2, &t3);
    *x1 = t1 - x0, *x2 = t2 - x0, *x3 = t3 - x0;
}
}

}  // namespace vorlen::math
