// Impact sensor and hail ice material routines.
#include "solver/toplevel_sensor.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string_view>

#include "base/errorhandling.hpp"
#include "base/work.hpp"
#include "elements/elementhandling_conversions.hpp"
#include "materials/lamina_measures.hpp"
#include "materials/lamina_stiffness.hpp"
#include "solver/toplevel_layouts.hpp"

namespace vorlen::toplevel {
namespace {

constexpr double kSensorE = 1e-20, kSensorNu = 0.49;  // modulus and Poisson ratio
// Isotropic constants of the sensor as stored: lambda, lambda + 2G and G.
constexpr double kSensorLambda = 1.6442953020134214e-19;
constexpr double kSensorLambda2G = 1.711409395973153e-19;
constexpr double kSensorG = 3.355704697986577e-21;
constexpr i32 kNewton = 10;      // Newton steps of the plastic return
constexpr double kToler = 1e-6;  // relative tolerance of the plastic return
constexpr double kYieldTol = 1.000001;
constexpr lgl kFalse = 0;

void report(i32 code, std::string_view problem, std::string_view routine) {
    errorhandling::report(code, problem, routine);
}

// Sensor stiffness: lambda in the ndi x ndi block, lambda + 2G on its diagonal, G on the shear
// diagonal.
void sensor_stiffness(double* c, i32 ndi, i32 ntens) {
    for (i32 j = 0; j < ntens; ++j)
        for (i32 i = 0; i < ntens; ++i) {
            double v = 0.0;
            if (i < ndi && j < ndi)
                v = i == j ? kSensorLambda2G : kSensorLambda;
            else if (i == j)
                v = kSensorG;
            c[i + j * ntens] = v;
        }
}

// Load record and impactor state of one sensor point.
void sensor_records(double* state, i64 stride, i32 nstate, i32 stepid, const double* props,
                    i32 nprops, const double* cprops, double* dprops) {
    if (nprops == 2) {
        if (dprops[0] == 1.0) dprops[0] = -1.0;
        dprops[7] = props[0];
        dprops[8] = props[1];
        dprops[9] = 0.0;
        dprops[10] = 0.0;
    }
    for (i32 i = 0; i < 3; ++i) state[i * stride] = cprops[3 + i];
    if (stepid == 3 && nstate > 5)
        for (i32 i = 0; i < 3; ++i) state[(3 + i) * stride] = cprops[i];
}

void sensor_point(double* stress, double* statev, double* ddsdde, double* sse, double* spd,
                  double* scd, const double* stran, const double* dstran, i32 ndi, i32 nshr,
                  i32 ntens, i32 nstatv, const double* props, i32 nprops, i32 stepid,
                  const double* cprops, double* dprops) {
    if (!implicit_layout(ndi, nshr, ntens) || nstatv < 3 || nprops < 0) {
        report(-3, "Unsupported components", "umat_sensor");
        return;
    }
    double stress0[6];
    for (i32 i = 0; i < ntens; ++i) stress0[i] = stress[i];
    *spd = 0.0;
    *scd = 0.0;
    for (i32 i = 0; i < nstatv; ++i) statev[i] = 0.0;
    sensor_stiffness(ddsdde, ndi, ntens);
    lamina::GetStressVector(stress, ddsdde, stran, dstran, &ndi, &ntens, &kFalse, &kFalse);
    lamina::GetSpecificStrainEnergy(sse, stress, stress0, stran, dstran, &ndi, &ntens, &kFalse,
                                    &kFalse);
    sensor_records(statev, 1, nstatv, stepid, props, nprops, cprops, dprops);
}

void sensor_block(i32 nblock, i32 ndir, i32 nshr, i32 nstatev, i32 nprops, const double* props,
                  const double* density, double* straininc, const double* stressold,
                  const double* enerinternold, double* stressnew, double* statenew,
                  double* enerinternnew, double* enerinelasnew, i32 stepid, const double* cprops,
                  double* dprops) {
    // The start of every block in the outputs its extents reach (stress rows only while ndir +
    // nshr is 0 to 6); a refused block ends there, its internal energies as they were.
    const i64 nb = std::max(nblock, 0);
    std::fill_n(enerinelasnew, nb, 0.0);
    std::fill_n(stressnew, nb * fallback_components(ndir, nshr), 0.0);
    std::fill_n(statenew, nb * std::max(nstatev, 0), 0.0);
    if (nblock < 0 || !explicit_layout(ndir, nshr) || nstatev < 3 || nprops < 0) {
        report(-3, "Unsupported components", "vumat_sensor");
        if (enerinternnew != enerinternold) std::copy_n(enerinternold, nb, enerinternnew);
        return;
    }
    const i32 ntens = ndir + nshr;
    double c[36];
    sensor_stiffness(c, ndir, ntens);
    const double e33 = kSensorE, nu = kSensorNu;
    bool reported = false;
    for (i32 k = 0; k < nblock; ++k) {
        double de[6], ds[6];
        for (i32 i = 0; i < ntens; ++i) de[i] = straininc[k + i * static_cast<i64>(nblock)];
        for (i32 i = 0; i < ntens; ++i) {
            ds[i] = 0.0;
            for (i32 j = 0; j < ntens; ++j) ds[i] += c[i + j * ntens] * de[j];
        }
        if (ndir == 3 && nshr == 1) {
            de[2] = elementhandling::GetPlaneStressEpsZZ(&e33, &nu, &nu, &ds[0], &ds[1]);
            straininc[k + 2 * static_cast<i64>(nblock)] = de[2];
        }
        double e = 0.0;
        for (i32 i = 0; i < ntens; ++i) {
            const i64 at = k + i * static_cast<i64>(nblock);
            stressnew[at] = stressold[at] + ds[i];
            e += 0.5 * (stressnew[at] + stressold[at]) * de[i];
        }
        if (density[k] > 0.0) {
            enerinternnew[k] = e / density[k] + enerinternold[k];
        } else {
            enerinternnew[k] = enerinternold[k];
            if (!reported) report(-3, "Density not above 0", "vumat_sensor"), reported = true;
        }
        sensor_records(statenew + k, nblock, nstatev, stepid, props, nprops, cprops, dprops);
    }
}

// A hardening table of nvalue rows (yield stress, plastic strain) from PROPS(4) on that the
// interpolation takes: yield stresses numbers not below 0, plastic strains numbers that increase
// strictly.
bool hardening_table_ok(const double* props, i32 nvalue) {
    for (i32 r = 0; r < nvalue; ++r) {
        const double yield = props[3 + 2 * r], strain = props[4 + 2 * r];
        if (!(std::isfinite(yield) && yield >= 0.0 && std::isfinite(strain))) return false;
        if (r > 0 && !(props[2 + 2 * r] < strain)) return false;
    }
    return true;
}

void hail_point(double* stress, double* statev, double* ddsdde, double* spd, const double* dstran,
                i32 ndi, i32 nshr, i32 ntens, i32 nstatv, const double* props, i32 nprops) {
    if (!implicit_layout(ndi, nshr, ntens) || nstatv < 2 * ntens + 1 || nprops < 2) {
        report(-3, "Unsupported components", "umat_hail");
        return;
    }
    const double emod = props[0], enu = props[1];
    // Plasticity constants: a nu at the incompressible limit is taken as 0.499 (single).
    double nu = enu;
    if (nu > 0.4999000132083893 && nu < 0.5001000165939331) nu = 0.49900001287460327;
    const double onepnu = 1.0 + nu, onem2nu = 1.0 - 2.0 * nu;

    double nyeprops[9];
    const i32 nelastic = 2;
    lamina::GetNyeProperties(nyeprops, props, &nelastic);
    lamina::GetNyeStiffnessMatrix(ddsdde, nyeprops, &ntens, nullptr);
    bool elastic_ok = false;  // a zero stiffness was reported by GetNyeStiffnessMatrix
    for (i32 i = 0; i < ntens * ntens; ++i) elastic_ok = elastic_ok || ddsdde[i] != 0.0;

    // Elastic predictor.
    lamina::GetStressVector(stress, ddsdde, dstran, dstran, &ndi, &ntens, &kFalse, &kFalse);

    double eelas[6], eplas[6];
    for (i32 i = 0; i < ntens; ++i) {
        eelas[i] = statev[i] + dstran[i];
        eplas[i] = statev[ntens + i];
    }
    double eqplas = statev[2 * ntens];

    bool plastic = nprops >= 3 && props[2] > 0.0;
    if (plastic && nprops < 5) report(-3, "Hardening table empty", "umat_hail");
    const i32 nvalue = plastic && nprops >= 5 ? (nprops - 3) / 2 : 0;
    Work<double, 128> table(2 * static_cast<i64>(nvalue));
    for (i32 r = 0; r < nvalue; ++r) {
        table[r] = props[3 + 2 * r];
        table[nvalue + r] = props[4 + 2 * r];
    }
    double syiel0 = 0.0, hard = 0.0;
    if (nvalue > 0) {
        // A table the interpolation cannot take, or a yield stress below 0 where the table is
        // extrapolated below its first row: the elastic response.
        const bool usable = hardening_table_ok(props, nvalue);
        if (usable) lamina::GetHardeningFromTable(&syiel0, &hard, &eqplas, table.data(), &nvalue);
        if (!usable || !(syiel0 >= 0.0)) {
            report(-3, "Hardening table unusable", "umat_hail");
            plastic = false;
        }
    }
    if (plastic && elastic_ok && nvalue > 0) {
        const double smises = lamina::GetMisesStress(stress, &ntens);
        if (smises > kYieldTol * syiel0) {
            const double shydro = lamina::GetHydrostaticPressure(stress, &ntens);
            const double g = emod / (2.0 * onepnu), effg3 = 3.0 * g;
            double deqpl = 0.0, syield = syiel0;
            bool converged = false;
            for (i32 kewton = 1; kewton <= kNewton; ++kewton) {
                const double rhs = smises - effg3 * deqpl - syield;
                deqpl += rhs / (effg3 + hard);
                const double eq = eqplas + deqpl;
                lamina::GetHardeningFromTable(&syield, &hard, &eq, table.data(), &nvalue);
                if (std::abs(rhs) < kToler * syiel0) {
                    converged = true;
                    break;
                }
            }
            if (!converged) {
                std::printf("\n\n%30s***WARNING - PLASTICITY ALGORITHM DID NOT CONVERGE AFTER %3d "
                            "ITERATIONS\n",
                            "", kNewton);
                std::fflush(stdout);
            }
            double flow[6];
            lamina::GetMisesFlow(flow, stress, &ntens);
            for (i32 i = 0; i < ntens; ++i) {
                const bool direct = i < ndi;
                stress[i] = flow[i] * syield + (direct ? shydro : 0.0);
                const double f = (direct ? 1.5 : 3.0) * flow[i] * deqpl;
                eplas[i] += f;
                eelas[i] -= f;
            }
            eqplas += deqpl;
            *spd = (syiel0 + syield) * deqpl / 2.0;
            const double effg = g * syield / smises, effg2 = 2.0 * effg, effg3t = 3.0 * effg;
            const double efflam = (emod / onem2nu - effg2) / 3.0;
            const double effhrd = effg3 * hard / (effg3 + hard) - effg3t;
            for (i32 j = 0; j < ntens; ++j)
                for (i32 i = 0; i < ntens; ++i) {
                    double v = 0.0;
                    if (i < ndi && j < ndi)
                        v = efflam + (i == j ? effg2 : 0.0);
                    else if (i == j)
                        v = effg;
                    ddsdde[i + j * ntens] = v + effhrd * flow[i] * flow[j];
                }
        }
    }
    if (plastic && nprops >= 4) {
        // Hydrostatic cut-off; the flag of the point lives in STATEV(2 NTENS + 2) when present.
        const double limit = props[3];
        const bool exceeded = lamina::GetHydrostaticPressure(stress, &ntens) > limit;
        const bool has_flag = nstatv >= 2 * ntens + 2;
        if (has_flag && exceeded) statev[2 * ntens + 1] = 1.0;
        if (exceeded || (has_flag && statev[2 * ntens + 1] == 1.0)) {
            for (i32 i = 0; i < ntens; ++i) stress[i] = 0.0;
            for (i32 i = 0; i < 3; ++i) stress[i] = limit;
        }
    }
    for (i32 i = 0; i < ntens; ++i) {
        statev[i] = eelas[i];
        statev[ntens + i] = eplas[i];
    }
    statev[2 * ntens] = eqplas;
}

}  // namespace

extern "C" {

void toplevel_umat_sensor(VORLEN_UMAT_NOSTEP_PARAMETERS, const i32* stepid, const double* cprops,
                          double* dprops) {
    VORLEN_UMAT_UNUSED;
    try {
        sensor_point(stress, statev, ddsdde, sse, spd, scd, stran, dstran, *ndi, *nshr, *ntens,
                     *nstatv, props, *nprops, *stepid, cprops, dprops);
    } catch (...) {
        report(-3, "Unexpected failure", "umat_sensor");
    }
}

void toplevel_vumat_sensor(VORLEN_VUMAT_PARAMETERS, const i32* stepid, const double* cprops,
                           double* dprops) {
    (void)nfieldv, (void)lanneal, (void)steptime, (void)totaltime, (void)dt, (void)cmname,
        (void)coordmp, (void)charlength, (void)relspininc, (void)tempold, (void)stretchold,
        (void)defgradold, (void)fieldold, (void)stateold, (void)enerinelasold, (void)tempnew,
        (void)stretchnew, (void)defgradnew, (void)fieldnew;
    try {
        sensor_block(*nblock, *ndir, *nshr, *nstatev, *nprops, props, density, straininc, stressold,
                     enerinternold, stressnew, statenew, enerinternnew, enerinelasnew, *stepid,
                     cprops, dprops);
    } catch (...) {
        report(-3, "Unexpected failure", "vumat_sensor");
    }
}

void toplevel_umat_hail(VORLEN_UMAT_PARAMETERS) {
    VORLEN_UMAT_UNUSED;
    (void)sse, (void)scd, (void)stran, (void)jstep;
    try {
        hail_point(stress, statev, ddsdde, spd, dstran, *ndi, *nshr, *ntens, *nstatv, props,
                   *nprops);
    } catch (...) {
        report(-3, "Unexpected failure", "umat_hail");
    }
}

}  // extern "C"
}  // namespace vorlen::toplevel
