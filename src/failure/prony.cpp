// Prony relaxation and cure kinetics of module prony.
#include "failure/prony.hpp"

#include <algorithm>
#include <cmath>

#include "base/errorhandling.hpp"

namespace vorlen::prony {
namespace {

constexpr int block = 8;
constexpr int max_refinements = 1000;

}  // namespace

extern "C" {

double Relaxation(const double* dold, const double* tau, const double* shift,
                  const double* timestep, const double* stiffness, const double* pprony,
                  const double* strain) {
    const double d = *dold, ts = *tau * *shift, dt = *timestep;
    if (*tau < 0.0 || *shift < 0.0 || dt < 0.0) {
        errorhandling::report(-3, "Negative relaxation time, shift or time step", "Relaxation");
        return d;
    }
    // The limit of a long step: the relaxed value, unless tau shift is infinite too.
    if (std::isinf(dt)) {
        if (!std::isinf(ts)) return *stiffness * *pprony * *strain;
        errorhandling::report(-3, "Relaxation time and time step both infinite", "Relaxation");
        return d;
    }
    const double den = ts + dt;
    if (den == 0.0 || std::isinf(den)) return d;  // no time passes, or none relative to tau
    return (*stiffness * dt * *pprony * *strain + d * ts) / den;
}

double CureRate(const double* curvefit, const double* t, const double* degree,
                const double* degmax, const i32* nc) {
    const double temp = *t;
    if (*nc < 7 || temp <= 0.0) {
        errorhandling::report(-3, "Fewer than 7 values or temperature not above 0", "CureRate");
        return 0.0;
    }
    const int nblocks = *nc / block;
    int k = 0;
    while (k < nblocks && temp >= curvefit[block * k + 7]) ++k;
    const double* c = curvefit + block * std::min(k, std::max(nblocks - 1, 0));
    const double top = *degmax, alpha = std::min(*degree, top), rt = gas_constant * temp;
    return c[0] * std::exp(-c[1] / rt) * std::pow(top - alpha, c[4]) +
           c[2] * std::exp(-c[3] / rt) * std::pow(alpha, c[5]) * std::pow(top - alpha, c[6]);
}

double FuncDegree(const double* curvefit, const double* t1, const double* degree0,
                  const double* timestep, const double* degmax, const i32* nc) {
    const double d0 = *degree0, dt = *timestep;
    double rate1 = CureRate(curvefit, t1, degree0, degmax, nc);
    double degree1 = d0 + dt * rate1;
    for (int it = 0; it < max_refinements; ++it) {
        const double fed = std::min(*degmax, degree1);
        const double rate2 = CureRate(curvefit, t1, &fed, degmax, nc);
        degree1 = d0 + dt * rate2;
        if (rate1 == 0.0 || std::abs(rate2 - rate1) < 1e-6 ||
            std::abs((rate2 - rate1) / rate1) <= 1e-10)
            return degree1;
        rate1 = rate2;
    }
    errorhandling::report(-1, "Maximum iterations exceeded", "FuncDegree");
    return degree1;
}

}  // extern "C"
}  // namespace vorlen::prony
