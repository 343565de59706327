// Non-linearity measures of the strain, temperature and cycle laws.
#include "materials/nlcollection.hpp"

#include <algorithm>
#include <cmath>

#include "base/errorhandling.hpp"
#include "core/math_roots.hpp"
#include "base/work.hpp"

namespace vorlen::nlcollection {

extern "C" {

void NLKaestner(double* dnl, const double* beta, const double* eps) {
    *dnl = 1.0 - 1.0 / (1.0 + *beta * std::abs(*eps));
}

void NLKrause(double* dnl, const double* beta, const double* eps) {
    *dnl = 1.0 - 1.0 / std::exp(*beta * std::abs(*eps));
}

void NLHahnTsai(double* dnl, const double* tg, const double* beta, const double* sig,
                const double* eps) {
    const double s = *sig, e = *eps, b = *beta, g = *tg;
    *dnl = std::abs(e) > 0.0
               ? (3.0 * b * g * s * s - 2.0 * b * s * s * s / e) / (3.0 * b * g * s * s + 1.0)
               : 0.0;
}

void FPHahnTsai(double* dout, const double* args, const i32* na, const i32* ns) {
    if (*na < 4) {
        errorhandling::report(-3, "Error in FPHahnTsai: args needs sig, eps, tg and beta.");
        *dout = 0.0;
        return;
    }
    const i32 mode = ns ? *ns : 0;
    if (mode == 1) {
        Work<double, 8> x(*na);
        std::copy_n(args, *na, x.data());
        const double xacc = 0.001;
        const i32 maxit = 100, map = 2;
        i32 istat;
        math::math_fpsafe(FPHahnTsai, &x(1), x.data(), &xacc, &maxit, na, &map, &istat);
        NLHahnTsai(dout, &x(3), &x(4), &x(1), &x(2));
    } else if (mode == 2) {
        double dnl;
        NLHahnTsai(&dnl, &args[2], &args[3], &args[0], &args[1]);
        *dout = args[1] * args[2] * (1.0 - dnl);
    } else {
        NLHahnTsai(dout, &args[2], &args[3], &args[0], &args[1]);
    }
}

void NLAdam(double* dnl, const double* l, const double* x, const double* n, const double* nf,
            const double* alpha, const double* beta, const double* lg) {
    const double a = lg ? std::log10(lg[0]) : -0.6020599913279624;
    const double b = lg ? std::log10(lg[1]) : -0.6020599913279624;
    const double f = std::pow((std::log10(*n) - a) / (std::log10(*nf) - b), *beta);
    const double g = std::pow(1.0 - f, 1.0 / *alpha);
    const double residual = *x + (*l - *x) * g;
    *dnl = 1.0 - residual / *l;
}

double NLMahieux(const double* t, const double* props, const double* m, const i32* ntrans) {
    const i64 n = std::max<i32>(*ntrans, 0);
    const Vec<const double> p(props, 2 * n + 1);  // p(2k) = Tk, p(2k+1) = Pk
    double result = p(2 * n + 1);
    for (i64 k = 1; k <= n; ++k)
        result += (p(2 * k - 1) - p(2 * k + 1)) * std::exp(-std::pow(*t / p(2 * k), m[k - 1]));
    return result;
}

double NLGibson(const double* t, const double* props, const double* xi, const i32* ntrans) {
    const i64 n = std::max<i32>(*ntrans, 0);
    const Vec<const double> p(props, 2 * n + 1);
    double result = 0.0;
    for (i64 k = 1; k <= n; ++k) {
        const double before = p(2 * k - 1), after = p(2 * k + 1);
        result +=
            (after + before) / 2.0 - (before - after) / 2.0 * std::tanh(xi[k - 1] * *t / p(2 * k));
    }
    return result;
}
}

}  // namespace vorlen::nlcollection
