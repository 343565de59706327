// Fibre failure criteria of module fbcollection.
#include "failure/fbcollection.hpp"

#include <algorithm>
#include <cmath>
#include <string_view>

#include "base/errorhandling.hpp"
#include "failure/anglesearch.hpp"
#include "failure/criteria_common.hpp"
#include "materials/lamina_rotated.hpp"
#include "materials/lamina_stiffness.hpp"

namespace vorlen::fbcollection {
namespace {

constexpr double pi = 3.141592653589793;
constexpr i32 kink_points = 200;  // sample limit of the kink-plane search

double by_sign(double s, double xt, double xc) { return s >= 0.0 ? xt : xc; }

// Constants of the fracture plane in pure transverse compression, a0 in radians.
struct FracturePlane {
    double etat, st;
};
FracturePlane fracture_plane(double a0, double xc22) {
    const double t2 = std::tan(2.0 * a0);
    return {-1.0 / t2, xc22 * std::cos(a0) * (std::sin(a0) + std::cos(a0) / t2)};
}

// Initial fibre misalignment phi0 = phic - xc11 phic/g12, phic the misalignment at failure
// under axial compression with k = x12/xc11 (kx12, kxc11 the strengths of k). False, with the
// note, where the root of phic is negative (x12 large against xc11).
bool initial_misalignment(double etal, double kx12, double kxc11, double xc11, double g12,
                          double& phi0, std::string_view note) {
    const double k = kx12 / kxc11, m = etal + k, root = 1.0 - 4.0 * m * k;
    if (root < 0.0) {
        errorhandling::report(-1, note);
        return false;
    }
    const double phic = std::atan((1.0 - std::sqrt(root)) / (2.0 * m));
    phi0 = phic - xc11 * phic / g12;
    return true;
}

// Stresses turned by psi about the fibre axis, in Nye order.
void kink_plane_stress(double* sp, double psi, const double* s11, const double* s22,
                       const double* s33, const double* s12, const double* s13, const double* s23) {
    static constexpr double fibre[3] = {1.0, 0.0, 0.0};
    lamina::GetRotatedStresses(sp, &psi, fibre, s11, s22, s33, s12, s13, s23, nullptr);
}

// Misalignment angle (g12 phi0 + abs(s12))/den on a kink plane; its sign follows s_psi12, +
// where that is 0 (either sign gives the same index then).
double misalignment(double sp12, double phi0, double g12, double s12, double den) {
    const double sign = sp12 >= 0.0 ? 1.0 : -1.0;
    return sign * (g12 * phi0 + std::abs(s12)) / den;
}

// The kink-plane search of the LaRC05 criteria: the largest of index(psi, m) over psi in
// [0, pi], m the misalignment frame on the kink plane psi.
template <class Index>
double kink_search(const Index& index, const double* s11, const double* s22, const double* s33,
                   const double* s12, const double* s13, const double* s23, double phi0, double g12,
                   const double* sainc, const i32* gsflag, std::string_view routine) {
    const auto at = [&](double psi) {
        double sp[6], m[6];
        kink_plane_stress(sp, psi, s11, s22, s33, s12, s13, s23);
        const double phi = misalignment(sp[3], phi0, g12, *s12, g12 + *s11 - *s22);
        criteria::misalignment_frame(m, sp, phi);
        return index(phi, m);
    };
    const double step = (sainc ? *sainc : 5.0) * pi / 180.0;
    // The sign of phi, and with it the index, jumps where s_psi12 = cos(psi) s12 + sin(psi) s13
    // changes sign; the tension term sets in where the normal stress s_psi33 (the normal
    // traction of the misalignment frame too) changes sign.
    double seams[3];
    i32 nseams = 0;
    if (*s12 != 0.0 || *s13 != 0.0) seams[nseams++] = std::atan2(-*s12, *s13);
    nseams += criteria::normal_sign_changes(*s22, *s33, *s23, seams + nseams);
    // The kink plane turned by psi + pi is the one turned by psi: the index has the period pi.
    return anglesearch::search(at, 0.0, pi, step, gsflag ? *gsflag : 0, kink_points, routine, 0.0,
                               seams, nseams, pi)
        .index;
}

double sq(double x) { return x * x; }

}  // namespace

extern "C" {

void FBChangChang(double* rfb, const double* s11, const double* s12, const double* xt11,
                  const double* xc11, const double* x12) {
    *rfb = std::sqrt(sq(*s11 / by_sign(*s11, *xt11, *xc11)) + sq(*s12 / *x12));
}

void FBHashin(double* rfb, const double* s11, const double* s12, const double* s13,
              const double* xt11, const double* xc11, const double* x12, const double* x13,
              const double* alpha) {
    const double w = alpha ? *alpha : 1.0;
    *rfb =
        std::sqrt(sq(*s11 / by_sign(*s11, *xt11, *xc11)) + w * (sq(*s12 / *x12) + sq(*s13 / *x13)));
}

void FBChristensen(double* rfb, const double* s11, const double* s22, const double* s33,
                   const double* xt11, const double* xc11) {
    const double t = *xt11, c = *xc11, s = *s11;
    const double l = (1.0 / t - 1.0 / c) * s;
    const double q = s * s / (t * c) - 0.25 * sq(1.0 / t + 1.0 / c) * s * (*s22 + *s33);
    const double d = l * l + 4.0 * q;
    if (d < 0.0) {
        errorhandling::report(-1, "Note: Negative root during Christensen failure"
                                  "evaluation. Please check your input parameters.");
        *rfb = 0.0;
        return;
    }
    const double den = std::sqrt(d) - l;
    if (den == 0.0) {
        errorhandling::report(-1, "Note: Division by Zero during Christensen failure"
                                  "evaluation. Please check your input parameters.");
        *rfb = 0.0;
        return;
    }
    *rfb = 2.0 * q / den;
}

void FBLaRC04(double* rfb, const double* s11, const double* s22, const double* s33,
              const double* s12, const double* s13, const double* s23, const double* xt11,
              const double* xc11, const double* xt22, const double* xc22, const double* x12,
              const double* e11, const double* e22, const double* g12, const double* nu12,
              const double* gc, const double* a0, const i32* fcl) {
    const double g =
        gc && gc[0] != 0.0 && gc[1] != 0.0 ? gc[0] / gc[1] : static_cast<double>(0.35f);
    const double angle = (a0 ? *a0 : 53.0) * pi / 180.0;
    if (*s11 >= 0.0) {
        *rfb = *s11 / *xt11;
        return;
    }
    const double y12 = *x12, eg12 = *g12;
    const FracturePlane fp = fracture_plane(angle, *xc22);
    const double etal = fp.etat * y12 / fp.st;
    double phi0;
    if ((fcl && *fcl != 0) ||
        !initial_misalignment(etal, y12, *xc11, *xc11, eg12, phi0,
                              "Note: Negative root during LaRC04 failure"
                              "evaluation. Please check your input parameters.")) {
        *rfb = 0.0;
        return;
    }
    // The kink plane; 0/0 where the transverse stress is hydrostatic in the 23 plane.
    const double dn = *s22 - *s33;
    const double psi = dn == 0.0 && *s23 == 0.0 ? 0.0 : 0.5 * std::atan(2.0 * *s23 / dn);
    double sp[6];
    kink_plane_stress(sp, psi, s11, s22, s33, s12, s13, s23);
    double m[6];
    criteria::misalignment_frame(m, sp, misalignment(sp[3], phi0, eg12, *s12, *s11 + eg12 - *s22));
    if (m[1] < 0.0) {
        *rfb = sq(m[3] / (y12 - etal * m[1]));
    } else {
        const double a = m[1] / *xt22;
        *rfb = (1.0 - g) * a + g * a * a + sq(m[3] / y12) +
               (1.0 / *e22 - *nu12 * *nu12 / *e11) * sq(m[4] / y12);
    }
}

void FBLaRC05(double* rfb, const double* s11, const double* s22, const double* s33,
              const double* s12, const double* s13, const double* s23, const double* xt11,
              const double* xc11, const double* xt22, const double* xc22, const double* x12,
              const double* g12, const double* a0, const double* sainc, const i32* gsflag,
              const i32* fcl) {
    // xt11, read only in tension, passes a value that is not a number on itself
    if (!criteria::finite({*s11, *s22, *s33, *s12, *s13, *s23, *xc11, *xt22, *xc22, *x12, *g12}) ||
        !criteria::finite(a0, 1))
        criteria::not_finite("FBLaRC05");
    if (*s11 >= 0.0) {
        *rfb = *s11 / *xt11;
        return;
    }
    const FracturePlane fp = fracture_plane((a0 ? *a0 : 53.0) * pi / 180.0, *xc22);
    const double y12 = *x12, yt22 = *xt22, etal = fp.etat * y12 / fp.st;
    double phi0;
    if (!initial_misalignment(etal, y12, *xc11, *xc11, *g12, phi0,
                              "Note: Negative root during LaRC05 failure"
                              "evaluation. Please check your input parameters.") ||
        (fcl && *fcl != 0)) {
        *rfb = 0.0;
        return;
    }
    const auto index = [&](double, const double* m) {
        return sq(m[5] / (fp.st - fp.etat * m[2])) + sq(m[4] / (y12 - etal * m[2])) +
               sq(std::max(m[2], 0.0) / yt22);
    };
    *rfb = kink_search(index, s11, s22, s33, s12, s13, s23, phi0, *g12, sainc, gsflag, "FBLaRC05");
}

void FBLaRC05_is(double* rfb, const double* s11, const double* s22, const double* s33,
                 const double* s12, const double* s13, const double* s23, const double* xt11_std,
                 const double* xc11_std, const double* xt22_std, const double* x23_std,
                 const double* x12_std, const double* g12, const double* a0, const double* sainc,
                 const i32* gsflag, const i32* fcl, const double* x_is) {
    // Effective strengths: a non-zero entry of x_is, else the standard value.
    const auto eff = [x_is](int i, double standard) {
        return x_is && x_is[i - 1] != 0.0 ? x_is[i - 1] : standard;
    };
    const double xt11 = eff(1, *xt11_std), xt22 = eff(2, *xt22_std), xt33 = eff(3, xt22);
    const double xc11 = eff(4, *xc11_std), x12 = eff(7, *x12_std), x13 = eff(8, x12);
    const double x23 = eff(9, *x23_std);
    if (!criteria::finite({*s11, *s22, *s33, *s12, *s13, *s23, *xc11_std, *x23_std, *x12_std, *g12,
                           xt22, xt33, xc11, x12, x13, x23}) ||
        !criteria::finite(a0, 1))
        criteria::not_finite("FBLaRC05_is");
    if (*s11 >= 0.0) {
        *rfb = *s11 / xt11;
        return;
    }
    const double etat = -1.0 / std::tan(2.0 * (a0 ? *a0 : 53.0) * pi / 180.0);
    const double etal = etat * *x12_std / *x23_std;
    double phi0;
    if (!initial_misalignment(etal, *x12_std, *xc11_std, xc11, *g12, phi0,
                              "Note: Negative root during LaRC05 failure"
                              "evaluation. Please check your input parameters.") ||
        (fcl && *fcl != 0) || !(std::abs(*s11) > std::abs(xc11) / 2.0)) {
        *rfb = 0.0;  // below half the compressive strength the search is not needed
        return;
    }
    const auto index = [&](double phi, const double* m) {
        const double c2 = sq(std::cos(phi)), s2 = sq(std::sin(phi));
        return sq(m[5] / (x23 - etat * m[2])) + sq(m[4] / (x13 * c2 + x12 * s2 - etal * m[2])) +
               sq(std::max(m[2], 0.0) / (xt33 * c2 + xt22 * s2));
    };
    *rfb =
        kink_search(index, s11, s22, s33, s12, s13, s23, phi0, *g12, sainc, gsflag, "FBLaRC05_is");
}

void FBBahei(double* rfb, const double* stressvector, const double* xlnorm, const double* xtnorm,
             const double* xlshear, const double* xtshear, const double* mu, const i32* nstress,
             i32* failmode) {
    double s[6];
    if (!criteria::nye_components(s, stressvector, *nstress)) {
        errorhandling::report(-3, "Unsupported number of stress components", "FBBahei");
        *rfb = 0.0;
        return;
    }
    const double s11 = s[0], s22 = s[1], s33 = s[2], s12 = s[3], s13 = s[4], s23 = s[5];
    if (!criteria::finite(s, 6) || !criteria::finite({*xlnorm, *xtnorm, *xlshear, *xtshear, *mu}))
        criteria::not_finite("FBBahei");
    double effort[4] = {std::abs(s11 / *xlnorm), 0.0, 0.0, 0.0};
    if (!(s11 > *xlnorm)) {
        const double shear2 = s12 * s12 + s13 * s13;
        const double sn =
            shear2 == 0.0 ? 0.0
                          : (s12 * s12 * s22 + s13 * s13 * s33 + 2.0 * s12 * s13 * s23) / shear2;
        const double m = 0.5 * (s22 + s33);
        const double tt = 0.5 * std::sqrt(sq(s22 - s33) + 4.0 * s23 * s23);
        effort[0] = 0.0;
        effort[1] = std::abs((std::sqrt(shear2) + *mu * std::min(sn, 0.0)) / *xlshear);
        effort[2] = std::abs((tt + *mu * std::min(m, 0.0)) / *xtshear);
        effort[3] = std::max(m + std::sqrt(sq(s22 - s33) / 4.0 + s23 * s23), 0.0) / *xtnorm;
    }
    double best = 0.0;
    i32 where = 0;
    for (int i = 0; i < 4; ++i)
        if (effort[i] > best) best = effort[i], where = i + 1;
    *rfb = best;
    if (failmode && *failmode < 0 && best >= 1.0) *failmode = where;
}

}  // extern "C"
}  // namespace vorlen::fbcollection
