// Elastic ply material routines: the secant, hyperelastic, porous and fibre UMATs, the VUMAT,
// the USERMAT and the adapters to the converters of module wrapper.
#include "solver/toplevel_lamina.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string_view>

#include "base/errorhandling.hpp"
#include "base/numbers.hpp"
#include "core/jobdata.hpp"
#include "core/materialdata.hpp"
#include "core/math_linalg.hpp"
#include "core/math_products.hpp"
#include "core/math_tabulated.hpp"
#include "core/utility_shape.hpp"
#include "elements/elementhandling_conversions.hpp"
#include "failure/degradation_discount.hpp"
#include "failure/gpcollection.hpp"
#include "materials/elasticity.hpp"
#include "materials/lamina_notation.hpp"
#include "materials/lamina_stiffness.hpp"
#include "solver/toplevel_layouts.hpp"
#include "solver/toplevel_steps.hpp"
#include "solver/wrapper.hpp"

namespace vorlen::toplevel {
namespace {

constexpr double kHuge = 1.7976931348623157e308;
constexpr double kAbqInputMax = 9.9e34;                // fresh-state marker threshold
constexpr double kPoreFactor = 0.0010000000474974513;  // 0.001 held in single precision
constexpr i32 kFiberStatev = 12;                       // state variables umat_fiber uses
constexpr lgl kTrue = 1, kFalse = 0;

void report(i32 code, std::string_view problem, std::string_view routine) {
    errorhandling::report(code, problem, routine);
}

// Whether ndi direct and nshr shear components of ntens are an implicit solver's layout and the
// counts are not negative; records -3.
[[gnu::always_inline]] inline bool components_ok(i32 ndi, i32 nshr, i32 ntens, i32 nstatv,
                                                 i32 nprops, std::string_view routine) {
    if (!implicit_layout(ndi, nshr, ntens) || nstatv < 0 || nprops < 0) {
        report(-3, "Unsupported components", routine);
        return false;
    }
    return true;
}

// Whether the symmetric stiffness c(n,n) is finite and positive definite (its Cholesky
// factorisation succeeds) with a diagonal of normal numbers (a subnormal one is a modulus out of
// range, as GetNyeStiffnessMatrix takes it).
bool positive_definite(const double* c, i32 n) {
    if (!std::all_of(c, c + n * n, [](double v) { return std::isfinite(v); })) return false;
    for (i32 i = 0; i < n; ++i)
        if (!positive_normal(c[i + n * i])) return false;
    double u[36];
    math::CholeskyFactorization(c, u, &n);
    return u[0] > 0.0;  // a failed factorisation holds -huge
}

// int() of a stored real, toward zero; not a number or outside the 32-bit range gives 0.
i32 to_index(double x) {
    if (!(x > -2147483649.0 && x < 2147483648.0)) return 0;
    return static_cast<i32>(x);
}

// Nye property vector of PROPS, or of the store column of STATEV(21), STATEV(22) for NPROPS 1;
// false (nyeprops untouched) when there are no constants.
[[gnu::always_inline]] inline bool elastic_constants(double* nyeprops, const double* statev,
                                                     i32 nstatv, const double* props, i32 nprops,
                                                     std::string_view routine) {
    if (nprops != 1) {
        if (nprops != 2 && nprops != 5 && nprops != 9) {
            lamina::GetNyeProperties(nyeprops, props, &nprops);  // records its code -2
            return false;
        }
        lamina::GetNyeProperties(nyeprops, props, &nprops);
        return true;
    }
    const auto& pe = materialdata::peprops;
    const i32 ply = nstatv >= 22 ? to_index(statev[20]) : 0;
    const i32 sec = nstatv >= 22 ? to_index(statev[21]) : 0;
    if (!pe.allocated() || pe.ext[0] < 9 || ply < 1 || ply > pe.ext[1] || sec < 1 ||
        sec > pe.ext[2]) {
        report(-3, "Ply or section outside the data tables", routine);
        return false;
    }
    const i32 nine = 9;
    lamina::GetNyeProperties(nyeprops, &pe(1, ply, sec), &nine);
    return true;
}

// Type of the step, -1 when there is no step table; reports a step outside the table (-2 given
// back as "no degradation").
i32 step_type(const i32* jstep, std::string_view routine) {
    i32 type = -1;
    if (step_of(jstep ? jstep[0] : 0, type) == Step::outside)
        report(-3, "Step outside the step table", routine);
    return type;
}

// C := D o C with the measured-field degradation factors of the damage flags in STATEV.
void degrade_measured_field(double* c, const double* statev, i32 nstatv, i32 ntens,
                            std::string_view routine) {
    if (nstatv < 18) {
        report(-3, "State short of the damage record", routine);
        return;
    }
    const double flags[10] = {statev[7], 0.0,        statev[8],  0.0, statev[9],
                              0.0,       statev[10], statev[11], 0.0, 0.0};
    const i32 rule = 5;
    double d[9], dm[36];
    degradation::FalcomDegradation(d, flags, &statev[17], &rule, &kTrue, nullptr);
    degradation::GetNyeDegradationMatrix(dm, d, &ntens, nullptr);
    math::HadamardProduct(dm, c, c, &ntens, &ntens);
}

// STATEV(1..ndi) and STATEV(4..3+nshr) := stress, the positions NSTATV holds.
[[gnu::always_inline]] inline void stress_to_state(double* statev, i32 nstatv, const double* stress,
                                                   i32 ndi, i32 nshr) {
    for (i32 i = 1; i <= ndi && i <= nstatv; ++i) statev[i - 1] = stress[i - 1];
    for (i32 j = 1; j <= nshr && 3 + j <= nstatv; ++j) statev[2 + j] = stress[ndi + j - 1];
}

// Secant stress C (stran + dstran), DDSDDE = C (unless c is ddsdde itself) and the recomputed
// energy (its secant form reads no old stress).
[[gnu::always_inline]] inline void secant_update(double* stress, double* ddsdde, double* sse,
                                                 const double* c, const double* stran,
                                                 const double* dstran, i32 ndi, i32 ntens) {
    lamina::GetStressVector(stress, c, stran, dstran, &ndi, &ntens, &kTrue, &kFalse);
    lamina::GetSpecificStrainEnergy(sse, stress, stress, stran, dstran, &ndi, &ntens, &kTrue,
                                    &kFalse);
    if (c != ddsdde) std::copy_n(c, ntens * ntens, ddsdde);
}

void lamina_point(double* stress, double* statev, double* ddsdde, double* sse, double* spd,
                  double* scd, const double* stran, const double* dstran, i32 ndi, i32 nshr,
                  i32 ntens, i32 nstatv, const double* props, i32 nprops, const i32* jstep) {
    constexpr std::string_view routine = "umat_lamina";
    if (!components_ok(ndi, nshr, ntens, nstatv, nprops, routine)) return;
    *spd = 0.0;
    *scd = 0.0;
    double p[9];
    double* c = ddsdde;  // C is built in place
    if (elastic_constants(p, statev, nstatv, props, nprops, routine)) {
        lamina::GetNyeStiffnessMatrix(c, p, &ntens, nullptr);
        if (step_type(jstep, routine) == 5)
            degrade_measured_field(c, statev, nstatv, ntens, routine);
    } else {
        std::fill_n(c, ntens * ntens, 0.0);
    }
    secant_update(stress, ddsdde, sse, c, stran, dstran, ndi, ntens);
    if (nstatv > 5) stress_to_state(statev, nstatv, stress, ndi, nshr);
}

void hyper_point(double* stress, double* statev, double* ddsdde, double* sse, double* spd,
                 double* scd, const double* stran, const double* dstran, i32 ndi, i32 nshr,
                 i32 ntens, i32 nstatv, const double* props, i32 nprops) {
    constexpr std::string_view routine = "umat_hyper";
    if (!components_ok(ndi, nshr, ntens, nstatv, nprops, routine)) return;
    *spd = 0.0;
    *scd = 0.0;
    double c[36] = {};
    if (nprops >= 10) {
        if (nprops < ntens * (ntens + 1) / 2) {
            report(-3, "Short stiffness triangle", routine);
        } else {
            double lu[36];
            utility::GetUnpackedTriangle(lu, props, &ntens, &nprops, "F", nullptr);
            utility::Symmetrize(lu, c, &ntens);
            if (!positive_definite(c, ntens)) {
                report(-3, "Stiffness not positive definite", routine);
                std::fill_n(c, 36, 0.0);
            }
        }
    } else {
        double p[9];
        if (elastic_constants(p, statev, nstatv, props, nprops, routine))
            lamina::GetNyeStiffnessMatrix(c, p, &ntens, nullptr);
    }
    double stress0[6];
    std::copy_n(stress, ntens, stress0);
    secant_update(stress, ddsdde, sse, c, stran, dstran, ndi, ntens);
    const i32 nk = ntens * ntens, complex_step = 1;
    elasticity::elasticity_getnumericaltangent(
        ddsdde,
        reinterpret_cast<elasticity::StressLaw*>(
            &elasticity::cGetStressFromAnisotropicHyperelasticity),
        c, stress, stress0, dstran, &ntens, &ndi, &nk, &kFalse, c, nullptr, &complex_step);
    stress_to_state(statev, nstatv, stress, ndi, nshr);
}

void porosity_point(double* stress, const double* statev, double* ddsdde, double* sse, double* spd,
                    double* scd, const double* stran, const double* dstran, i32 ndi, i32 nshr,
                    i32 ntens, i32 nstatv, const double* props, i32 nprops) {
    constexpr std::string_view routine = "umat_porosity";
    if (!components_ok(ndi, nshr, ntens, nstatv, nprops, routine)) return;
    *sse = 0.0;
    *spd = 0.0;
    *scd = 0.0;
    double c[36] = {};
    const i32 stiffness = 1;
    if (nprops == 2 || nprops == 5 || nprops == 9 || nprops == 12 || nprops == 21 || nprops == 36) {
        lamina::GetGeneralizedNyeOnAxisSC(c, props, &ntens, &nprops, &stiffness, nullptr, nullptr,
                                          nullptr);
        if (!positive_definite(c, ntens)) {  // no stiffness: the stress stays as it came
            report(-3, "Stiffness not positive definite", routine);
            std::fill_n(c, 36, 0.0);
        }
    } else {
        report(-2, "Unsupported property count", routine);
    }
    if (nstatv >= 1 && statev[0] == 1.0)
        for (i32 i = 0; i < ntens * ntens; ++i)
            if (c[i] != 0.0) c[i] *= kPoreFactor;
    std::copy_n(c, ntens * ntens, ddsdde);
    lamina::GetStressVector(stress, c, stran, dstran, &ndi, &ntens, &kFalse, &kFalse);
}

// Property set of umat_fiber at temperature t: p(1:11); the factor and what the layout allows.
struct FiberSet {
    double p[11] = {};
    double factor = 1.0;
    bool strength = false, reduction = false;
};

bool fiber_set(FiberSet& fs, const double* props, i32 nprops, double t, std::string_view routine) {
    if (nprops < 9) {
        report(-3, "Unsupported property count", routine);
        return false;
    }
    if (nprops < 24) {
        std::copy_n(props, std::min(nprops, 11), fs.p);
    } else {
        // Ordering or interpolating across a temperature that is no number has no meaning, and
        // the interpolation would end the process on the abscissas it gives.
        if (!std::isfinite(props[11]) || !std::isfinite(props[23]) || std::isnan(t)) {
            report(-3, "Temperature not finite", routine);
            return false;
        }
        const double *lo = props + 12, *hi = props;  // set 2 counts as the lower when equal
        double tlo = props[23], thi = props[11];
        if (props[11] < props[23]) std::swap(lo, hi), std::swap(tlo, thi);
        if (t <= tlo) {
            std::copy_n(lo, 11, fs.p);
        } else if (t >= thi) {
            std::copy_n(hi, 11, fs.p);
        } else {
            const double x[2] = {tlo, thi};
            const i32 two = 2, one = 1;
            for (i32 i = 0; i < 11; ++i) {
                const double y[2] = {lo[i], hi[i]};
                math::math_linearinterpolation(&fs.p[i], x, y, &t, &two, &one);
            }
        }
    }
    fs.strength = nprops >= 11;
    if (nprops == 12) fs.factor = props[11], fs.reduction = true;
    if (nprops == 25) fs.factor = props[24], fs.reduction = true;
    if (nprops == 10) report(-3, "No compressive strength", routine);
    if (nprops > 12 && nprops != 25) report(-3, "No degradation factor", routine);
    return true;
}

void fiber_point(double* stress, double* statev, double* ddsdde, double* sse, double* spd,
                 double* scd, const double* stran, const double* dstran, double t,
                 const char* materl, i32 ndi, i32 nshr, i32 ntens, i32 nstatv, const double* props,
                 i32 nprops, i32 kinc) {
    constexpr std::string_view routine = "umat_fiber";
    if (!components_ok(ndi, nshr, ntens, nstatv, nprops, routine)) return;
    *spd = 0.0;
    *scd = 0.0;
    if (kinc < 2) {
        if (nstatv < kFiberStatev) {
            char name[81];
            for (i32 i = 0; i < 80; ++i) name[i] = materl ? materl[i] : ' ';
            name[80] = '\0';
            std::printf("****WARNING: To less nstatev allocated for material %s\n", name);
            std::fflush(stdout);
        }
        if (nstatv >= 1 && statev[nstatv - 1] >= kAbqInputMax) statev[nstatv - 1] = 0.0;
    }
    FiberSet fs;
    double c[36] = {};
    const bool have = fiber_set(fs, props, nprops, t, routine);
    if (have) {
        if (fs.reduction && nstatv >= 3 && statev[2] >= 1.0)
            for (const i32 m : {0, 1, 2, 6, 7, 8}) fs.p[m] *= fs.factor;  // the moduli only
        lamina::GetNyeStiffnessMatrix(c, fs.p, &ntens, nullptr);
    }
    secant_update(stress, ddsdde, sse, c, stran, dstran, ndi, ntens);
    if (have && fs.strength && nstatv >= 3) {
        double r = 0.0;
        gpcollection::GPMaxNominal(&r, &stress[0], &fs.p[9], &fs.p[10]);
        statev[2] = std::max(statev[2], std::min(r, 1.0));
    }
    if (nstatv >= kFiberStatev) statev[kFiberStatev - 1] = kHuge;
}

// Nye stiffness rearranged into the Cyclic order (11, 22, 33, 12, 23, 13).
void cyclic_stiffness(double* c) {
    const i32 six = 6, to_cyclic = 2;
    lamina::FlipVoigtNyeNotation(c, c, &six, &six);
    lamina::FlipVoigtCyclicNotation(c, c, &six, &to_cyclic, &six);
}

// Whether the plane-stress thickness strain of a Nye property vector can be formed: E3 (which
// the plane-stress stiffness does not read) a positive normal number. A subnormal E3 lets
// nu31 = nu13 E3/E1 and nu32 underflow to 0, a thickness strain of 0; records -3.
bool thickness_modulus_ok(const double* p, std::string_view routine) {
    if (positive_normal(p[2])) return true;
    report(-3, "Thickness modulus out of range", routine);
    return false;
}

// Plane-stress thickness strain -(nu31 s11 + nu32 s22)/E3 of a Nye property vector.
double thickness_strain(const double* p, double s11, double s22) {
    const double nu31 = p[4] * p[2] / p[0], nu32 = p[5] * p[2] / p[1];
    return elementhandling::GetPlaneStressEpsZZ(&p[2], &nu31, &nu32, &s11, &s22);
}

// The start of a refused block, in the outputs its extents reach: stressnew, statenew and
// enerinelasnew 0, enerinternnew = enerinternold.
void vumat_refused(i32 nb, i32 ndir, i32 nshr, i32 nstatev, const double* enerinternold,
                   double* stressnew, double* statenew, double* enerinternnew,
                   double* enerinelasnew) {
    std::fill_n(stressnew, nb * fallback_components(ndir, nshr), 0.0);
    std::fill_n(statenew, i64(nb) * std::max(nstatev, 0), 0.0);
    if (enerinternnew != enerinternold) std::copy_n(enerinternold, nb, enerinternnew);
    std::fill_n(enerinelasnew, nb, 0.0);
}

void vumat_block(i32 nb, i32 ndir, i32 nshr, i32 nstatev, i32 nprops, const double* props,
                 const double* density, double* straininc, const double* stressold,
                 const double* enerinternold, double* stressnew, double* statenew,
                 double* enerinternnew, double* enerinelasnew) {
    constexpr std::string_view routine = "vumat_lamina";
    if (nb < 1) return;
    if (!explicit_layout(ndir, nshr) || nstatev < 0 || nprops < 0) {
        report(-3, "Unsupported components", routine);
        vumat_refused(nb, ndir, nshr, nstatev, enerinternold, stressnew, statenew, enerinternnew,
                      enerinelasnew);
        return;
    }
    const i32 nt = ndir + nshr;
    Mat<double> deps(straininc, nb, nt), snew(stressnew, nb, nt);
    const Mat<const double> sold(stressold, nb, nt);
    std::fill_n(statenew, i64(nb) * nstatev, 0.0);
    double p[9], c[36] = {};
    const bool have = elastic_constants(p, nullptr, 0, props, nprops == 1 ? 0 : nprops, routine);
    if (have) {
        if (nt == 6) {
            lamina::GetNyeStiffnessMatrix(c, p, &nt, nullptr);
            cyclic_stiffness(c);
        } else {
            const i32 plane_stress = 0;
            lamina::GetNyeStiffnessMatrix(c, p, &nt, &plane_stress);
        }
    }
    // No constants, or no thickness modulus: the solver's thickness strain stays.
    const bool plane_stress = have && ndir == 3 && nshr == 1 && thickness_modulus_ok(p, routine);
    bool reported = false;
    for (i32 i = 1; i <= nb; ++i) {
        double de[6], s0[6], ds[6] = {}, zero[6] = {};
        for (i32 k = 1; k <= nt; ++k) de[k - 1] = deps(i, k), s0[k - 1] = sold(i, k);
        lamina::GetStressVector(ds, c, zero, de, &ndir, &nt, &kTrue, &kTrue);
        if (plane_stress) de[2] = deps(i, 3) = thickness_strain(p, ds[0], ds[1]);
        double s1[6];
        for (i32 k = 0; k < nt; ++k) s1[k] = s0[k] + ds[k];
        double e = 0.0;
        lamina::GetSpecificStrainEnergy(&e, s1, s0, zero, de, &ndir, &nt, &kFalse, &kTrue);
        for (i32 k = 1; k <= nt; ++k) snew(i, k) = s1[k - 1];
        enerinelasnew[i - 1] = 0.0;
        if (density[i - 1] > 0.0) {
            enerinternnew[i - 1] = enerinternold[i - 1] + e / density[i - 1];
        } else {
            enerinternnew[i - 1] = enerinternold[i - 1];
            if (!reported) report(-3, "Density not above 0", routine), reported = true;
        }
    }
}

void usermat_point(i32* keycut, i32 ndirect, i32 nshear, i32 ncomp, i32 nprop, double* stress,
                   double* dsdepl, double* sedel, double* sedpl, double* epseq,
                   const double* dstrain, const double* prop, double* tsstif, double* epszz) {
    constexpr std::string_view routine = "usermat_fiber";
    if (!components_ok(ndirect, nshear, ncomp, 0, nprop, routine)) return;
    *keycut = 0;
    *sedel = 0.0;
    *sedpl = 0.0;
    *epseq = 0.0;
    *epszz = 0.0;
    double p[9], c[36] = {};
    const bool have = elastic_constants(p, nullptr, 0, prop, nprop == 1 ? 0 : nprop, routine);
    if (have) {
        if (ncomp == 6) {
            lamina::GetNyeStiffnessMatrix(c, p, &ncomp, nullptr);
            cyclic_stiffness(c);
        } else {
            lamina::GetNyeStiffnessMatrix(c, p, &ncomp, nullptr);
        }
    }
    std::copy_n(c, ncomp * ncomp, dsdepl);
    double stress0[6], zero[6] = {};
    std::copy_n(stress, ncomp, stress0);
    lamina::GetStressVector(stress, c, zero, dstrain, &ndirect, &ncomp, &kFalse, &kFalse);
    lamina::GetSpecificStrainEnergy(sedel, stress, stress0, zero, dstrain, &ndirect, &ncomp,
                                    &kFalse, &kFalse);
    if (!have) return;
    tsstif[0] = p[7];
    if (ndirect == 2 && ncomp == 3) {
        if (thickness_modulus_ok(p, routine)) *epszz = thickness_strain(p, stress[0], stress[1]);
        tsstif[1] = p[8];
    } else if ((ndirect == 3 || (ndirect == 2 && ncomp != 3)) && ncomp < 5) {
        tsstif[1] = p[8];
    }
}

}  // namespace

extern "C" {

void toplevel_umat_lamina(VORLEN_UMAT_PARAMETERS) {
    VORLEN_UMAT_UNUSED;
    try {
        lamina_point(stress, statev, ddsdde, sse, spd, scd, stran, dstran, *ndi, *nshr, *ntens,
                     *nstatv, props, *nprops, jstep);
    } catch (...) {
        report(-3, "Unexpected failure", "umat_lamina");
    }
}

void toplevel_umat_hyper(VORLEN_UMAT_PARAMETERS) {
    VORLEN_UMAT_UNUSED;
    (void)jstep;
    try {
        hyper_point(stress, statev, ddsdde, sse, spd, scd, stran, dstran, *ndi, *nshr, *ntens,
                    *nstatv, props, *nprops);
    } catch (...) {
        report(-3, "Unexpected failure", "umat_hyper");
    }
}

void toplevel_umat_porosity(VORLEN_UMAT_NOSTEP_PARAMETERS) {
    VORLEN_UMAT_UNUSED;
    try {
        porosity_point(stress, statev, ddsdde, sse, spd, scd, stran, dstran, *ndi, *nshr, *ntens,
                       *nstatv, props, *nprops);
    } catch (...) {
        report(-3, "Unexpected failure", "umat_porosity");
    }
}

void toplevel_umat_fiber(VORLEN_UMAT_PARAMETERS) {
    VORLEN_UMAT_UNUSED;
    (void)jstep;
    try {
        fiber_point(stress, statev, ddsdde, sse, spd, scd, stran, dstran, *temp + *dtemp, materl,
                    *ndi, *nshr, *ntens, *nstatv, props, *nprops, *kinc);
    } catch (...) {
        report(-3, "Unexpected failure", "umat_fiber");
    }
}

void toplevel_vumat_lamina(VORLEN_VUMAT_PARAMETERS) {
    (void)nfieldv, (void)lanneal, (void)steptime, (void)totaltime, (void)dt, (void)cmname,
        (void)coordmp, (void)charlength, (void)relspininc, (void)tempold, (void)stretchold,
        (void)defgradold, (void)fieldold, (void)stateold, (void)enerinelasold, (void)tempnew,
        (void)stretchnew, (void)defgradnew, (void)fieldnew;
    try {
        vumat_block(*nblock, *ndir, *nshr, *nstatev, *nprops, props, density, straininc, stressold,
                    enerinternold, stressnew, statenew, enerinternnew, enerinelasnew);
    } catch (...) {
        report(-3, "Unexpected failure", "vumat_lamina");
    }
}

void toplevel_usermat_fiber(VORLEN_USERMAT_PARAMETERS) {
    (void)matid, (void)elemid, (void)kdomintpt, (void)klayer, (void)ksectpt, (void)ldstep,
        (void)isubst, (void)nstatev, (void)time, (void)dtime, (void)temp, (void)dtemp,
        (void)ustatev, (void)strain, (void)epspl, (void)coords, (void)var0, (void)defgrad_t,
        (void)defgrad, (void)var1, (void)var2, (void)var3, (void)var4, (void)var5, (void)var6,
        (void)var7, (void)var8;
    try {
        usermat_point(keycut, *ndirect, *nshear, *ncomp, *nprop, stress, dsdepl, sedel, sedpl,
                      epseq, dstrain, prop, tsstif, epszz);
    } catch (...) {
        report(-3, "Unexpected failure", "usermat_fiber");
    }
}

void toplevel_usermat_lamina(VORLEN_USERMAT_PARAMETERS) {
    wrapper::usermat_of(toplevel_umat_lamina, "usermat_lamina", VORLEN_USERMAT_ARGUMENTS);
}

void toplevel_upermat_lamina(double* stressnew, double* statenew, const double* stressold,
                             const double* stateold, const double* straininc, const double* props,
                             const double* steptime, const double* totaltime, const double* dt,
                             const i32* matid, const i32* npoint, const i32* ndir, const i32* nshr,
                             const i32* nstatev, const i32* nprops) {
    wrapper::abq_umat_to_peridigm_upermat(toplevel_umat_lamina, stressnew, statenew, stressold,
                                          stateold, straininc, props, steptime, totaltime, dt,
                                          matid, npoint, ndir, nshr, nstatev, nprops);
}

void toplevel_hypela_lamina(double* d, double* g, const double* e, const double* de, double* s,
                            const double* t, const double* dt, const i32* ngens, const i32* n,
                            const i32* nn, const i32* kcus, const i32* matus, const i32* ndi,
                            const i32* nshear, const double* disp, const double* dispt,
                            const double* coord, const double* ffn, const double* frotn,
                            const double* strechn, const double* eigvn, const double* ffn1,
                            const double* frotn1, const double* strechn1, const double* eigvn1,
                            const i32* ncrd, const i32* itel, const i32* ndeg, const i32* ndm,
                            const i32* nnode, const i32* jtype, const i32* lclass, const i32* ifr,
                            const i32* ifu, const i32* nstats, const i32* isunit, const i32* idata,
                            const double* rdata, const char* cdata, const i32* len_idata,
                            const i32* len_rdata, const i32* len_cdata, i32* error_code) {
    (void)e, (void)de, (void)t, (void)dt, (void)n, (void)nn, (void)kcus, (void)matus, (void)ndi,
        (void)nshear, (void)disp, (void)dispt, (void)coord, (void)ffn, (void)frotn, (void)strechn,
        (void)eigvn, (void)ffn1, (void)frotn1, (void)strechn1, (void)eigvn1, (void)ncrd, (void)itel,
        (void)ndeg, (void)ndm, (void)nnode, (void)jtype, (void)lclass, (void)ifr, (void)ifu,
        (void)nstats, (void)isunit, (void)idata, (void)rdata, (void)cdata, (void)len_idata,
        (void)len_rdata, (void)len_cdata;
    *error_code = 0;
    const i64 ng = std::max(*ngens, 0);
    std::fill_n(d, ng * ng, 0.0);
    std::fill_n(g, ng, 0.0);
    std::fill_n(s, ng, 0.0);
}

}  // extern "C"
}  // namespace vorlen::toplevel
