// Solver-convention converters: USERMAT, Peridigm and MUESLI calls of UMAT routines and UMAT
// calls of USERMAT routines, through a three-dimensional evaluation.
#include "solver/wrapper.hpp"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string_view>

#include "base/errorhandling.hpp"
#include "base/work.hpp"
#include "core/math_linalg.hpp"
#include "elements/elementhandling_conversions.hpp"
#include "io/iohandling_primitives.hpp"
#include "materials/lamina_notation.hpp"
#include "materials/micromechanic_eshelby.hpp"
#include "solver/toplevel_layouts.hpp"

namespace vorlen::wrapper {
namespace {

constexpr i32 ndir_3d = 3, nshr_3d = 3, ntens_3d = 6;
constexpr i32 kNameLength = 80;
constexpr double kHuge = 1.7976931348623157e308;
constexpr i32 kLargestInt = 2147483647;
constexpr lgl isaxial = 1;
constexpr i32 kNoFlag = 0;
constexpr double kNoTransverse[6] = {};
constexpr double kIdentity[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
constexpr double kZero[6] = {};

// "ABQ_WRAPPER" blank-padded to 80 characters.
struct WrapperName {
    char text[kNameLength];
    constexpr WrapperName() : text() {
        constexpr std::string_view name = "ABQ_WRAPPER";
        for (i32 i = 0; i < kNameLength; ++i)
            text[i] = i < static_cast<i32>(name.size()) ? name[i] : ' ';
    }
};
constexpr WrapperName kWrapperName{};

// Whether the component counts and extents can be served: an implicit solver's layout (3, 3, 6),
// (3, 1, 4) or (2, 1, 3); records code -3 otherwise.
bool extents_ok(const void* dfunc, i32 ndirect, i32 nshear, i64 ncomp, i32 nstatev, i32 nprops,
                std::string_view routine) {
    if (!dfunc) {
        errorhandling::report(-3, "No material routine", routine);
        return false;
    }
    if (nstatev < 0 || nprops < 0) {
        errorhandling::report(-3, "Negative extent", routine);
        return false;
    }
    if (!toplevel::implicit_layout(ndirect, nshear, ncomp)) {
        errorhandling::report(-3, "Unsupported components", routine);
        return false;
    }
    return true;
}

// Runs f, turning a C++ exception of the converter's own work into a report.
template <class F>
bool guarded(F&& f, std::string_view routine) {
    try {
        f();
        return true;
    } catch (...) {
        errorhandling::report(-3, "Unexpected failure", routine);
        return false;
    }
}

// Nye vector or 6 x 6 matrix (sdim 1 or 6) to the Cyclic order, in place, and back.
void nye_to_cyclic(double* q, i32 sdim) {
    const i32 to_cyclic = 2;
    lamina::FlipVoigtNyeNotation(q, q, &sdim, &sdim);
    lamina::FlipVoigtCyclicNotation(q, q, &sdim, &to_cyclic, &sdim);
}
void cyclic_to_nye(double* q, i32 sdim) {
    const i32 to_voigt = 1;
    lamina::FlipVoigtCyclicNotation(q, q, &sdim, &to_voigt, &sdim);
    lamina::FlipVoigtNyeNotation(q, q, &sdim, &sdim);
}

// Expansion of reduced vectors to six Nye components.
void expand(double* s3, double* e3, double* de3, const double* s, const double* e, const double* de,
            i32 ncomp) {
    elementhandling::Get3DInputFromElem(s3, e3, de3, s, e, de, &ncomp, kNoTransverse, &kNoFlag,
                                        &kNoFlag, &isaxial);
}
void reduce(double* s, double* c, const double* s3, const double* c3, i32 ncomp) {
    elementhandling::GetElemOutputFrom3D(s, c, s3, c3, &ncomp, &isaxial);
}

// Engineering constants E1, E2, E3, G23, G13, G12, nu23, nu13, nu12 of a 6 x 6 Nye tangent;
// false when the tangent has no inverse (checked by multiplying back).
bool engineering_constants(double* eng, const double* c) {
    double s[36];
    const i32 n = ntens_3d, six = 6;
    double scale = 0.0;
    for (i32 i = 0; i < 36; ++i) scale = std::max(scale, std::abs(c[i]));
    if (!(scale > 0.0) || !std::isfinite(scale)) return false;
    math::MatrixInverse(c, s, &n);
    double sscale = 0.0;
    for (i32 i = 0; i < 36; ++i) sscale = std::max(sscale, std::abs(s[i]));
    if (!std::isfinite(sscale)) return false;
    for (i32 i = 0; i < 6; ++i)
        for (i32 j = 0; j < 6; ++j) {
            double p = 0.0;
            for (i32 k = 0; k < 6; ++k) p += c[i + 6 * k] * s[k + 6 * j];
            if (std::abs(p - (i == j ? 1.0 : 0.0)) > 1e-8) return false;
        }
    lamina::FlipVoigtNyeNotation(s, s, &six, &six);
    micromechanic::GetEngConstsFromComplianceMatrix(eng, s);
    return true;
}

}  // namespace

extern "C" {

void wrapper_abq_umat_to_ansys_usermat(Umat* dfunc, VORLEN_USERMAT_PARAMETERS) {
    (void)matid, (void)epspl, (void)var0, (void)var1, (void)var2, (void)var3, (void)var4,
        (void)var5, (void)var6, (void)var7, (void)var8;
    constexpr std::string_view routine = "abq_umat_to_ansys_usermat";
    const i32 nc = *ncomp;
    if (!extents_ok(reinterpret_cast<const void*>(dfunc), *ndirect, *nshear, nc, *nstatev, *nprop,
                    routine))
        return;
    double s3[6] = {}, e3[6] = {}, de3[6] = {}, c3[36] = {};
    double spd = 0.0, scd = 0.0, rpl = 0.0, drpldt = 0.0, pnewdt = 1.0, celent = 1.0;
    double ddsddt[6] = {}, drplde[6] = {}, predef[1] = {}, dpred[1] = {};
    const double time2[2] = {*time, kHuge};
    const i32 jstep[4] = {*ldstep, kLargestInt, 1, 0};
    if (!guarded(
            [&] {
                *keycut = 0;
                *sedpl = 0.0;
                *epseq = 0.0;
                double s[6] = {}, e[6] = {}, de[6] = {};
                std::copy_n(stress, nc, s), std::copy_n(strain, nc, e),
                    std::copy_n(dstrain, nc, de);
                if (nc == 6) {
                    cyclic_to_nye(s, 1), cyclic_to_nye(e, 1), cyclic_to_nye(de, 1);
                }
                expand(s3, e3, de3, s, e, de, nc);
            },
            routine))
        return;
    dfunc(s3, ustatev, c3, sedel, &spd, &scd, &rpl, ddsddt, drplde, &drpldt, e3, de3, time2, dtime,
          temp, dtemp, predef, dpred, kWrapperName.text, &ndir_3d, &nshr_3d, &ntens_3d, nstatev,
          prop, nprop, coords, kIdentity, &pnewdt, &celent, defgrad_t, defgrad, elemid, kdomintpt,
          klayer, ksectpt, jstep, isubst);
    guarded(
        [&] {
            double s[6] = {}, c[36] = {};
            reduce(s, c, s3, c3, nc);
            if (nc == 6) nye_to_cyclic(s, 1), nye_to_cyclic(c, 6);
            std::copy_n(s, nc, stress);
            std::copy_n(c, nc * nc, dsdepl);
            double eng[9];
            if (!engineering_constants(eng, c3)) {
                tsstif[0] = tsstif[1] = 0.0;
                return;
            }
            const double e1 = eng[0], e2 = eng[1], e3c = eng[2], g23 = eng[3], g13 = eng[4];
            const double nu23 = eng[6], nu13 = eng[7];
            tsstif[0] = g13;
            if (nc == 6) return;
            const i32 nd = *ndirect;
            if (nd == 2 && nc == 3) {
                const double nu31 = nu13 * e3c / e1, nu32 = nu23 * e3c / e2;
                *epszz = elementhandling::GetPlaneStressEpsZZ(&e3c, &nu31, &nu32, &s[0], &s[1]);
                tsstif[1] = g23;
            } else if ((nd == 2 || nd == 3) && nc < 5) {
                tsstif[1] = g23;
            }
        },
        routine);
}

void wrapper_abq_umat_to_peridigm_upermat(Umat* dfunc, double* stressnew, double* statenew,
                                          const double* stressold, const double* stateold,
                                          const double* straininc, const double* props,
                                          const double* steptime, const double* totaltime,
                                          const double* dt, const i32* matid, const i32* npoint,
                                          const i32* ndir, const i32* nshr, const i32* nstatev,
                                          const i32* nprops) {
    (void)matid;
    constexpr std::string_view routine = "abq_umat_to_peridigm_upermat";
    const i64 np = *npoint;
    const i32 nst = *nstatev;
    if (np < 1) return;
    // The old rows first; a refused call keeps them in the outputs its extents reach.
    const i64 ncopy = toplevel::fallback_components(*ndir, *nshr);
    if (stressnew != stressold) std::memmove(stressnew, stressold, sizeof(double) * np * ncopy);
    if (statenew != stateold && nst > 0)
        std::memmove(statenew, stateold, sizeof(double) * np * nst);
    if (!extents_ok(reinterpret_cast<const void*>(dfunc), *ndir, *nshr, i64(*ndir) + *nshr, nst,
                    *nprops, routine))
        return;
    const i32 nc = *ndir + *nshr;
    Mat<double> snew(stressnew, np, nc), stnew(statenew, np, nst);
    const Mat<const double> dstr(straininc, np, nc);
    Work<double, 512> statev(nst);
    const double time2[2] = {*steptime, *totaltime};
    const double zero = 0.0, coords[3] = {1, 1, 1}, celent = 1.0, predef[1] = {}, dpred[1] = {};
    const i32 one = 1, jstep[4] = {1, kLargestInt, 1, 0};
    for (i64 k = 1; k <= np; ++k) {
        double s3[6] = {}, e3[6] = {}, de3[6] = {}, c3[36] = {};
        double sse = 0.0, spd = 0.0, scd = 0.0, rpl = 0.0, drpldt = 0.0, pnewdt = 1.0;
        double ddsddt[6] = {}, drplde[6] = {};
        {
            double s[6] = {}, de[6] = {};
            for (i32 i = 1; i <= nc; ++i) s[i - 1] = snew(k, i), de[i - 1] = dstr(k, i);
            for (i32 i = 1; i <= nst; ++i) statev(i) = stnew(k, i);
            expand(s3, e3, de3, s, kZero, de, nc);
        }
        dfunc(s3, statev.data(), c3, &sse, &spd, &scd, &rpl, ddsddt, drplde, &drpldt, e3, de3,
              time2, dt, &zero, &zero, predef, dpred, kWrapperName.text, &ndir_3d, &nshr_3d,
              &ntens_3d, nstatev, props, nprops, coords, kIdentity, &pnewdt, &celent, kIdentity,
              kIdentity, &one, &one, &one, &one, jstep, &one);
        double s[6] = {}, c[36];
        reduce(s, c, s3, c3, nc);
        for (i32 i = 1; i <= nc; ++i) snew(k, i) += s[i - 1];
        for (i32 i = 1; i <= nst; ++i) stnew(k, i) = statev(i);
    }
}

void wrapper_ansys_usermat_to_abq_umat(Usermat* dfunc, VORLEN_UMAT_PARAMETERS) {
    (void)rpl, (void)ddsddt, (void)drplde, (void)drpldt, (void)predef, (void)dpred, (void)drot,
        (void)celent;
    constexpr std::string_view routine = "ansys_usermat_to_abq_umat";
    const i32 nc = *ntens;
    if (!extents_ok(reinterpret_cast<const void*>(dfunc), *ndi, *nshr, nc, *nstatv, *nprops,
                    routine))
        return;
    double s3[6] = {}, e3[6] = {}, de3[6] = {}, c3[36] = {};
    i32 matid = 1, keycut = 0;
    double sedpl = 0.0, epseq = 0.0, epszz = 0.0, var[9] = {}, tsstif[2] = {}, epspl[6] = {};
    if (!guarded(
            [&] {
                *pnewdt = 1.0;
                *spd = 0.0;
                *scd = 0.0;
                if (materl) {
                    const i32 len = kNameLength, notfound = -1;
                    matid =
                        iohandling::iohandling_getxidfromstring(materl, &len, "m", &notfound, &len);
                    if (matid <= 0) matid = 1;
                }
                expand(s3, e3, de3, stress, stran, dstran, nc);
                nye_to_cyclic(s3, 1), nye_to_cyclic(e3, 1), nye_to_cyclic(de3, 1);
            },
            routine))
        return;
    dfunc(&matid, noel, npt, kslay, kspt, &jstep[0], kinc, &keycut, &ndir_3d, &nshr_3d, &ntens_3d,
          nstatv, nprops, &time[0], dtime, temp, dtemp, s3, statev, c3, sse, &sedpl, &epseq, e3,
          de3, epspl, props, coords, &var[0], dfgrd0, dfgrd1, tsstif, &epszz, &var[1], &var[2],
          &var[3], &var[4], &var[5], &var[6], &var[7], &var[8]);
    guarded(
        [&] {
            cyclic_to_nye(s3, 1), cyclic_to_nye(c3, 6);
            double s[6] = {}, c[36] = {};
            reduce(s, c, s3, c3, nc);
            std::copy_n(s, nc, stress);
            std::copy_n(c, nc * nc, ddsdde);
        },
        routine);
}

void wrapper_muesli_to_abq_umat(MuesliUmat* dfunc, double* stress, double* statev, double* ddsdde,
                                double* sse, double* spd, double* scd, double* rpl, double* ddsddt,
                                double* drplde, double* drpldt, const double* stran,
                                const double* dstran, const double* time, const double* dtime,
                                const double* temp, const double* dtemp, const double* predef,
                                const double* dpred, const char* materl, const i32* ndi,
                                const i32* nshr, const i32* ntens, const i32* nstatv,
                                const double* props, const i32* nprops, const double* coords,
                                const double* drot, double* pnewdt, const double* celent,
                                const double* dfgrd0, const double* dfgrd1, const i32* noel,
                                const i32* npt, const i32* kslay, const i32* kspt, const i32* jstep,
                                const i32* kinc, const i32* matid) {
    (void)ddsddt, (void)drplde;
    constexpr std::string_view routine = "muesli_to_abq_umat";
    const i32 nc = *ntens;
    if (!extents_ok(reinterpret_cast<const void*>(dfunc), *ndi, *nshr, nc, *nstatv, *nprops,
                    routine))
        return;
    double s3[6] = {}, e3[6] = {}, de3[6] = {}, c3[36] = {};
    double ddsddt3[6] = {}, drplde3[6] = {};
    if (!guarded([&] { expand(s3, e3, de3, stress, stran, dstran, nc); }, routine)) return;
    dfunc(matid, s3, statev, c3, sse, spd, scd, rpl, ddsddt3, drplde3, drpldt, e3, de3, time, dtime,
          temp, dtemp, predef, dpred, materl, &ndir_3d, &nshr_3d, &ntens_3d, nstatv, props, nprops,
          coords, drot, pnewdt, celent, dfgrd0, dfgrd1, noel, npt, kslay, kspt, jstep, kinc);
    guarded(
        [&] {
            double s[6] = {}, c[36] = {};
            reduce(s, c, s3, c3, nc);
            std::copy_n(s, nc, stress);
            std::copy_n(c, nc * nc, ddsdde);
        },
        routine);
}

}  // extern "C"

void usermat_of(Umat* umat, std::string_view name, VORLEN_USERMAT_PARAMETERS) noexcept {
    try {
        wrapper_abq_umat_to_ansys_usermat(umat, VORLEN_USERMAT_ARGUMENTS);
    } catch (...) {
        errorhandling::report(-3, "Unexpected failure", name);
    }
}

}  // namespace vorlen::wrapper
