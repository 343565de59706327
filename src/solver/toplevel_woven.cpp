// Woven-ply fatigue material routine: two Shokrieh sub-plies at +angle and -angle.
#include "solver/toplevel_woven.hpp"

#include <cmath>
#include <limits>

#include "base/errorhandling.hpp"
#include "elements/elementhandling_conversions.hpp"
#include "failure/fatigue_shokrieh.hpp"
#include "materials/lamina_stiffness.hpp"
#include "solver/toplevel_layouts.hpp"
#include "solver/wrapper.hpp"

namespace vorlen::toplevel {
namespace {

constexpr i32 kWovenStatev = 312;    // whole state vector
constexpr i32 kRecord = 77;          // record of one sub-ply
constexpr i32 kWovenProps = 150;     // least Shokrieh property count
constexpr double kInpHuge = 9.9e34;  // initialisation marker threshold
constexpr double kPi = 3.14159265358979323846;

void woven_point(double* stress, double* statev, double* ddsdde, double* sse, const double* stran,
                 const double* dstran, const double* time, const double* dtime, const double* temp,
                 const double* dtemp, i32 ndi, i32 nshr, i32 ntens, i32 nallstatv,
                 const double* props, i32 nprops, const i32* noel, const i32* jstep, i32 kinc) {
    if (!implicit_layout(ndi, nshr, ntens) || nallstatv < kWovenStatev || nprops < kWovenProps) {
        errorhandling::report(-3, "Unsupported components", "umat_shokrieh");
        return;
    }
    const i32 nstatv = nallstatv / 2;
    const i32 iszflag = ntens == 3 ? 0 : 1;
    const i32 idcflag = jstep[1] == 6 || jstep[1] == 7 ? 1 : 0;
    double stress0[6];
    for (i32 i = 0; i < ntens; ++i) stress0[i] = stress[i];

    // First call: initialise a zero record or one carrying the initialisation marker.
    if (kinc <= 1) {
        bool zero = true;
        for (i32 i = 0; i < nstatv; ++i) zero = zero && statev[i] == 0.0;
        if (zero || statev[nallstatv - 1] >= kInpHuge) {
            const double start = idcflag == 1 ? 0.0 : 1.0;
            statev[1] = statev[78] = start;    // cycle number
            statev[44] = statev[121] = start;  // last jump
            for (i32 i = 59; i <= 73; ++i) statev[i] = statev[i + 77] = 1.0;
            statev[155] = 0.0;
            for (i32 i = 0; i < 156; ++i) statev[156 + i] = statev[i];
        }
    }

    double s3[6] = {}, e3[6] = {}, de3[6] = {};
    const i32 zero_flag = 0;
    const double transverse[6] = {};
    const lgl isaxial = 1;
    elementhandling::Get3DInputFromElem(s3, e3, de3, stress, stran, dstran, &ntens, transverse,
                                        &zero_flag, &zero_flag, &isaxial);
    statev[0] = props[148];
    const double angle = props[148] * kPi / 180.0;
    double c3[36] = {};
    double* rec[2] = {statev + 1, statev + 78};
    double* backup[2] = {statev + 157, statev + 234};
    if (angle == 0.0) {
        fatigue::GetShokrieh(s3, c3, rec[0], e3, de3, props, time, dtime, temp, dtemp, &nprops,
                             noel, jstep, &kinc, &iszflag, &idcflag, backup[0]);
    } else {
        for (double& v : s3) v = 0.0;
        const i32 tdim = 6, strainform = 1;
        for (i32 k = 0; k < 2; ++k) {
            double t[36], ek[6] = {}, dek[6] = {}, sk[6], ck[36];
            lamina::GetNyeTransformationMatrix(t, &angle, &tdim, &k, &strainform);
            for (i32 i = 0; i < 6; ++i)
                for (i32 j = 0; j < 6; ++j) {
                    ek[i] += t[i + 6 * j] * e3[j];
                    dek[i] += t[i + 6 * j] * de3[j];
                }
            for (i32 i = 0; i < 6; ++i) sk[i] = rec[k][52 + i];
            fatigue::GetShokrieh(sk, ck, rec[k], ek, dek, props, time, dtime, temp, dtemp, &nprops,
                                 noel, jstep, &kinc, &iszflag, &idcflag, backup[k]);
            // Layer axes: stress T^T s, tangent T^T C T, each half of the mean.
            for (i32 i = 0; i < 6; ++i)
                for (i32 j = 0; j < 6; ++j) s3[i] += 0.5 * t[j + 6 * i] * sk[j];
            for (i32 i = 0; i < 6; ++i)
                for (i32 j = 0; j < 6; ++j) {
                    double v = 0.0;
                    for (i32 a = 0; a < 6; ++a)
                        for (i32 b = 0; b < 6; ++b)
                            v += t[a + 6 * i] * ck[a + 6 * b] * t[b + 6 * j];
                    c3[i + 6 * j] += 0.5 * v;
                }
        }
    }
    for (i32 i : {77, 154})
        if (statev[i] == 0.0) statev[i] = std::numeric_limits<double>::max();
    elementhandling::GetElemOutputFrom3D(stress, ddsdde, s3, c3, &ntens, &isaxial);
    for (i32 i = 0; i < ntens; ++i)
        *sse += (stress0[i] + 0.5 * (stress[i] - stress0[i])) * dstran[i];
}

}  // namespace

extern "C" {

void toplevel_umat_shokrieh(double* stress, double* statev, double* ddsdde, double* sse,
                            double* spd, double* scd, double* rpl, double* ddsddt, double* drplde,
                            double* drpldt, const double* stran, const double* dstran,
                            const double* time, const double* dtime, const double* temp,
                            const double* dtemp, const double* predef, const double* dpred,
                            const char* materl, const i32* ndi, const i32* nshr, const i32* ntens,
                            const i32* nallstatv, const double* props, const i32* nprops,
                            const double* coords, const double* drot, double* pnewdt,
                            const double* celent, const double* dfgrd0, const double* dfgrd1,
                            const i32* noel, const i32* npt, const i32* kslay, const i32* kspt,
                            const i32* jstep, const i32* kinc) {
    (void)spd, (void)scd, (void)rpl, (void)ddsddt, (void)drplde, (void)drpldt, (void)predef,
        (void)dpred, (void)materl, (void)coords, (void)drot, (void)pnewdt, (void)celent,
        (void)dfgrd0, (void)dfgrd1, (void)npt, (void)kslay, (void)kspt;
    try {
        woven_point(stress, statev, ddsdde, sse, stran, dstran, time, dtime, temp, dtemp, *ndi,
                    *nshr, *ntens, *nallstatv, props, *nprops, noel, jstep, *kinc);
    } catch (...) {
        errorhandling::report(-3, "Unexpected failure", "umat_shokrieh");
    }
}

void toplevel_usermat_shokrieh(VORLEN_USERMAT_PARAMETERS) {
    wrapper::usermat_of(toplevel_umat_shokrieh, "usermat_shokrieh", VORLEN_USERMAT_ARGUMENTS);
}

}  // extern "C"
}  // namespace vorlen::toplevel
