// Permanent indentation laws.
#include "materials/permcollection.hpp"

#include <cmath>

namespace vorlen::permcollection {
extern "C" {

void PITanSunLinear(double* a0, const double* amax, const double* acr, const double* ksc) {
    const double am = *amax, ac = *acr;
    *a0 = am > ac ? *ksc * (am - ac) : 0.0;
}

void PITanSunNonLinear(double* a0, const double* amax, const double* acr) {
    const double am = *amax, ac = *acr;
    *a0 = am > ac ? am * (1.0 - std::pow(ac / am, 0.4)) : 0.0;
}

void PISuresh(double* a0, double* a1, const double* amax, const double* acr, const double* kcce,
              const lgl* lbnds, const lgl* llesscrit) {
    const double am = *amax, ac = *acr, kc = *kcce;
    const bool bounds = *lbnds != 0, beyond = *llesscrit != 0 && am > ac;
    double r0, r1;
    if (bounds) {
        r0 = beyond ? (1.0 - 0.667) * (am - ac) : 0.0;
        r1 = beyond ? am - ac : 0.0;
    } else {
        r0 = beyond ? (1.0 - kc) * (am - ac) : 0.0;
        r1 = -1.0;
    }
    *a0 = r0;
    *a1 = r1;
}

void PIAirbus(double* a0, const double* tges, const double* delarea) {
    *a0 = 0.0009 * *delarea * std::pow(*tges, -0.81);
}
}
}  // namespace vorlen::permcollection
