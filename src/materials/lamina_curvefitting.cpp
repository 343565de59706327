// Material parameters degraded by the strain non-linearity laws.
#include "materials/lamina_curvefitting.hpp"

#include "materials/nlcollection.hpp"

namespace vorlen::lamina {

extern "C" double GetMatParamByCurveFitting(const double* l, const double* eta,
                                            const double* stress0, const double* strain0,
                                            const double* dstrain, const i32* nlflag) {
    const double total = *strain0 + *dstrain;
    double dnl = 0.0;
    switch (*nlflag) {
    case 1:
        nlcollection::NLKaestner(&dnl, eta, &total);
        break;
    case 2:
        nlcollection::NLKrause(&dnl, eta, &total);
        break;
    case 3: {
        const double args[4] = {*stress0, *strain0, *l, *eta};
        const i32 four = 4, solve = 1;
        nlcollection::FPHahnTsai(&dnl, args, &four, &solve);
        break;
    }
    default:
        return *l;
    }
    return (1.0 - dnl) * *l;
}

}  // namespace vorlen::lamina
