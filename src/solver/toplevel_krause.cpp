// Endochronic resin material routine: the law's update and its central-difference tangent.
#include "solver/toplevel_krause.hpp"

#include <algorithm>

#include "base/errorhandling.hpp"
#include "materials/resin.hpp"
#include "solver/toplevel_layouts.hpp"

namespace vorlen::toplevel {
namespace {

constexpr double kDelta = 1e-8;  // perturbation of a strain increment component
constexpr i32 kKrauseStatev = 42, kKrauseProps = 11;

void krause_point(double* stress, double* statev, double* ddsdde, const double* stran,
                  const double* dstran, const double* dtime, i32 ndi, i32 nshr, i32 ntens,
                  const i32* nstatv, const double* props, const i32* nprops) {
    if (ntens != 6 || !implicit_layout(ndi, nshr, ntens) || *nstatv < kKrauseStatev ||
        *nprops < kKrauseProps) {
        errorhandling::report(-3, "Unsupported components", "umat_krause");
        const i64 n = implicit_fallback_components(ndi, nshr, ntens);
        std::fill_n(ddsdde, n * n, 0.0);
        return;
    }
    const lgl yes = 1, no = 0;
    resin::EndochroneViscoPlasticity(stran, dstran, props, stress, statev, dtime, nprops, nstatv,
                                     &yes, &yes);
    const double zero = 0.0;
    for (int i = 0; i < 6; ++i) {
        double fwd[6], bwd[6], sfwd[6], sbwd[6];
        std::copy_n(dstran, 6, fwd);
        std::copy_n(dstran, 6, bwd);
        fwd[i] += kDelta;
        bwd[i] -= kDelta;
        resin::EndochroneViscoPlasticity(stran, fwd, props, sfwd, statev, &zero, nprops, nstatv,
                                         &no, &yes);
        resin::EndochroneViscoPlasticity(stran, bwd, props, sbwd, statev, &zero, nprops, nstatv,
                                         &no, &yes);
        for (int k = 0; k < 6; ++k) ddsdde[6 * i + k] = (sfwd[k] - sbwd[k]) / (2.0 * kDelta);
    }
}

}  // namespace

extern "C" {

void toplevel_umat_krause(VORLEN_UMAT_PARAMETERS) {
    (void)sse, (void)spd, (void)scd, (void)rpl, (void)ddsddt, (void)drplde, (void)drpldt,
        (void)time, (void)temp, (void)dtemp, (void)predef, (void)dpred, (void)materl, (void)coords,
        (void)drot, (void)pnewdt, (void)celent, (void)dfgrd0, (void)dfgrd1, (void)noel, (void)npt,
        (void)kslay, (void)kspt, (void)jstep, (void)kinc;
    try {
        krause_point(stress, statev, ddsdde, stran, dstran, dtime, *ndi, *nshr, *ntens, nstatv,
                     props, nprops);
    } catch (...) {
        errorhandling::report(-3, "Unexpected failure", "umat_krause");
    }
}

}  // extern "C"
}  // namespace vorlen::toplevel
