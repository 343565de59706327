// Continuum damage models of module degradation: Matzenmiller stiffness, mode coupling,
// fracture-plane damage with crack band (Bogenfeld, Falzon) and tensor degradation.
#include "failure/degradation_models.hpp"

#include <algorithm>
#include <cmath>

#include "base/errorhandling.hpp"
#include "core/math_geometry.hpp"
#include "core/math_norms.hpp"
#include "failure/evocollection.hpp"
#include "failure/fracture.hpp"
#include "materials/elasticity.hpp"
#include "materials/lamina_notation.hpp"
#include "materials/lamina_rotated.hpp"

namespace vorlen::degradation {
namespace {

constexpr double fibre_axis[3] = {1.0, 0.0, 0.0};
constexpr i32 three = 3;

double norm3(const double* x) { return math::VectorNorm(x, &three); }

// Crack-band length across the fracture plane at phi about the fibre axis: cl(2)/|cos phi|,
// or cl(3)/|sin phi| where that first length exceeds the norm of (cl(2), cl(3)).
double crack_band(double phi, const double* cl) {
    const double lm = cl[1] / std::abs(std::cos(phi));
    const i32 two = 2;
    if (lm > math::VectorNorm(cl + 1, &two)) return cl[2] / std::abs(std::sin(phi));
    return lm;
}

bool positive(double x) { return x > 0.0 && std::isfinite(x); }

// Traction (normal, shear 12, shear 23) of the Nye-order tensor s on the plane whose normal is
// direction 2 rotated by phi about the fibre axis.
void plane_traction(const double* s, const double* phi, double* t) {
    const i32 plane = 2;
    lamina::GetTVectorFromArbitraryRotation(t, phi, fibre_axis, &s[0], &s[1], &s[2], &s[3], &s[4],
                                            &s[5], &plane);
}

double mixed_mode_toughness(const double* traction, const double* gc) {
    double g;
    const i32 four = 4;
    fracture::GetEquivalentMixedModeERR(&g, traction, gc, &four);
    return g;
}

// Nye-order tensor rotated by phi about the fibre axis, in Nye order.
void rotated(const double* s, double phi, double* sv) {
    lamina::GetRotatedStresses(sv, &phi, fibre_axis, &s[0], &s[1], &s[2], &s[3], &s[4], &s[5],
                               nullptr);
}

// Stiffness damage i (row) from mode damage k (column).
constexpr double third = 0.3333333333333333, half = 0.5;
constexpr double d_coupling[9][9] = {
    {1, half, 0, 0, 0, 0, 0, 0, 0},
    {half, 1, 0, 0, 0, 0, 0, 0, 0},
    {0, 0, 1, 1, 0, half, 1, half, half},
    {0, 0, 0, third, 0, third, 0, third, 0},
    {0, 0, 0, 0, 1, 0, 0, 0, half},
    {0, 0, 0, third, 0, third, 0, 0, 0},
    {1, 1, 1, half, 0, half, 1, half, 0},
    {0, 0, 1, 1, 0, 1, 1, 1, 1},
    {1, 1, 0, half, 0, half, 0, half, 1},
};

}  // namespace

extern "C" {

void MatzenmillerDegradation(const double* propvec, double* c_deg, const double* dnorm,
                             const double* d23, const double* d13, const double* d12) {
    const double e1 = propvec[0], e2 = propvec[1], e3 = propvec[2];
    const double g23 = propvec[3], g13 = propvec[4], g12 = propvec[5];
    const double nu23 = propvec[6], nu13 = propvec[7], nu12 = propvec[8];
    const double a1 = 1.0 - dnorm[0], a2 = 1.0 - dnorm[1], a3 = 1.0 - dnorm[2];
    const double w23 = *d23, w13 = *d13, w12 = *d12;
    Mat<double> c(c_deg, 6, 6);
    std::fill(c.begin(), c.end(), 0.0);
    if (e1 == 0.0 || e2 == 0.0) {
        errorhandling::report(-3, "Zero modulus", "MatzenmillerDegradation");
        return;
    }
    const double nu21 = nu12 * e2 / e1, nu31 = nu13 * e3 / e1, nu32 = nu23 * e3 / e2;
    const double d = 1.0 - a1 * a2 * nu12 * nu21 - a2 * a3 * nu23 * nu32 - a1 * a3 * nu13 * nu31 -
                     2.0 * nu12 * nu23 * nu31 * a1 * a2 * a3;
    if (d == 0.0) {
        errorhandling::report(-3, "Singular compliance", "MatzenmillerDegradation");
        return;
    }
    c(1, 1) = (1.0 - nu23 * nu32 * a2 * a3) * e1 * a1 / d;
    c(2, 2) = (1.0 - nu13 * nu31 * a1 * a3) * e2 * a2 / d;
    c(3, 3) = (1.0 - nu12 * nu21 * a1 * a2) * e3 * a3 / d;
    c(1, 2) = c(2, 1) = (nu21 + nu23 * nu31 * a3) * e1 * a1 * a2 / d;
    c(1, 3) = c(3, 1) = (nu31 + nu21 * nu32 * a2) * e1 * a1 * a3 / d;
    c(2, 3) = c(3, 2) = (nu32 + nu12 * nu31 * a1) * e2 * a2 * a3 / d;
    c(4, 4) = 2.0 * (1.0 - w23) * g23;
    c(5, 5) = 2.0 * (1.0 - w13) * g13;
    c(6, 6) = 2.0 * (1.0 - w12) * g12;
}

void DegradationFromModes(const double* d_modes, double* w_stat, const lgl* accumulation,
                          double* c_deg, const double* moduli, const double* vnu,
                          const double* effort) {
    double w[9];
    for (int i = 0; i < 9; ++i) {
        w[i] = 0.0;
        for (int k = 0; k < 9; ++k) {
            const double p = d_coupling[i][k] * d_modes[k];
            w[i] = *accumulation ? w[i] + p : std::max(w[i], p);
        }
    }
    const bool stiffness = moduli && vnu && effort;
    double propvec[9], wr[6];
    if (stiffness) {
        const double crit[6] = {effort[0], effort[1], effort[2], 0.0, 0.0, 0.0};
        elasticity::GetComponentsTensionCompression(moduli, propvec, crit);
        elasticity::GetComponentsTensionCompression(w, wr, crit);
        std::copy_n(vnu, 3, propvec + 6);
    }
    std::fill_n(c_deg, 36, 0.0);
    std::copy_n(w, 9, w_stat);
    if (stiffness) MatzenmillerDegradation(propvec, c_deg, wr, &wr[4], &wr[5], &wr[3]);
}

void BogenfeldDegradation(double* d, double* sdv, const double* svoigt, const double* evoigt,
                          const double* charelemlength, const double* props, const i32* mode,
                          const i32* nsdv, const i32* nprops) {
    if (*mode == 0) {
        *d = 0.0;
        return;
    }
    if (*mode != 3) {
        errorhandling::report(-2, "Unknown mode in BogenfeldDegradation");
        return;
    }
    *d = 0.0;
    if (*nsdv < 4 || *nprops < 5) {
        errorhandling::report(-3, "Too few state variables or properties", "BogenfeldDegradation");
        return;
    }
    double s[6], e[6], sfrac[3], efrac[3];
    const i32 one = 1;
    lamina::FlipVoigtNyeNotation(s, svoigt, &one, &one);
    lamina::FlipVoigtNyeNotation(e, evoigt, &one, &one);
    const double* phi = &props[0];
    plane_traction(s, phi, sfrac);
    plane_traction(e, phi, efrac);
    const double opening[3] = {std::max(efrac[0], 0.0), efrac[1], efrac[2]};
    const double eps_r = norm3(opening);

    const bool fresh = std::all_of(sdv, sdv + *nsdv, [](double x) { return x == -1.0; });
    double eps0, sig_f, gc, eps1;
    if (fresh) {
        // The onset values, and the final strain of the crack band across the element.
        eps0 = eps_r;
        sig_f = norm3(sfrac);
        gc = mixed_mode_toughness(sfrac, &props[1]);
        const double lm = crack_band(*phi, charelemlength);
        if (!positive(lm)) {
            errorhandling::report(-3, "No positive crack band", "BogenfeldDegradation");
            return;
        }
        if (!evocollection::crack_band_strain(gc, lm, sig_f, eps0, 1.2, eps1)) {
            errorhandling::report(-1, "No final strain at onset", "BogenfeldDegradation");
            return;
        }
    } else {
        eps0 = sdv[0], sig_f = sdv[1], gc = sdv[2];
        eps1 = sdv[3] != -1.0 ? sdv[3] : 0.0;
    }
    const double kept = 0.0;  // the final strain is set: the law keeps it
    evocollection::BiLinearEvolution(&eps_r, &eps0, &sig_f, &gc, &kept, d, &eps1);
    if (fresh) sdv[0] = eps0, sdv[1] = sig_f, sdv[2] = gc;
    if (fresh || sdv[3] == -1.0) sdv[3] = eps1;
}

void FalzonDegradationParameters(const double* stressela, const double* strain,
                                 const double* phirad, double* dsix, double* epsi, double* epsu,
                                 double* sigi, double* gmix, double* w_matrixmode,
                                 const double* gc, const double* charelemlength) {
    static constexpr const char* routine = "FalzonDegradationParameters";
    const double phi = *phirad, s22 = stressela[1], s33 = stressela[2];
    double srot[6], erot[6];
    rotated(stressela, phi, srot);
    rotated(strain, phi, erot);
    const double sfrac[3] = {srot[1], srot[3], srot[5]};
    const double efrac[3] = {std::max(erot[1], 0.0), erot[3], erot[5]};
    double ei = *epsi, eu = *epsu, si = *sigi, gm = *gmix, w_mm = *w_matrixmode;
    if (w_mm == 0.0) {  // no damage yet: the onset values of this state
        ei = norm3(efrac);
        si = norm3(sfrac);
        gm = mixed_mode_toughness(sfrac, gc);
        const double lm = crack_band(phi, charelemlength);
        if (!positive(lm)) {
            errorhandling::report(-3, "No positive crack band", routine);
            return;
        }
        if (!evocollection::crack_band_strain(gm, lm, std::abs(si), ei, 1.1, eu)) {
            errorhandling::report(-1, "No final strain at onset", routine);
            return;
        }
    }
    const double epseq = norm3(efrac);
    if (epseq == 0.0 || s22 == 0.0 || s33 == 0.0 || eu == ei) {
        errorhandling::report(-1, "Zero strain, stress or softening range", routine);
        return;
    }
    const double w = (1.0 - ei / epseq) * eu / (eu - ei);
    w_mm = std::min(std::max(std::max(w, 0.0), w_mm), 1.0);

    // Release the plane's tensile normal stress and its shears, and turn back.
    srot[1] -= std::max(srot[1], 0.0) * w_mm;
    srot[3] *= 1.0 - w_mm;
    srot[5] *= 1.0 - w_mm;
    double sdeg[6];
    rotated(srot, -phi, sdeg);
    *epsi = ei, *epsu = eu, *sigi = si, *gmix = gm, *w_matrixmode = w_mm;
    const double f2 = sdeg[1] / s22, f3 = sdeg[2] / s33;
    dsix[1] = f2, dsix[2] = f3, dsix[3] = f2, dsix[4] = f3;
    dsix[5] = f2 + f3 - f2 * f3;
}

void TensorDegradation(const double* csix, double* cdeg, const double* angle_r, const double* d,
                       const i32* baseid, const i32* nn) {
    double dd = *d;
    if (!(dd >= 0.0 && dd <= 1.0)) {
        errorhandling::report(-3, "Damage outside [0, 1]", "TensorDegradation");
        dd = dd > 1.0 ? 1.0 : 0.0;  // NaN counts as no damage
    }
    double c4[81], r4[81];
    lamina::GetTensorFromVoigtStiffness(c4, csix);
    math::TensorRotation4th(c4, r4, angle_r, nullptr);
    const View<double, 4> t(r4, 3, 3, 3, 3);
    const i32 base = *baseid;
    const bool keep_normal = *nn == -1;
    for (int l = 1; l <= 3; ++l)
        for (int k = 1; k <= 3; ++k)
            for (int j = 1; j <= 3; ++j)
                for (int i = 1; i <= 3; ++i) {
                    if (keep_normal && i == j && k == l) continue;
                    int n = 0;
                    double product = 1.0;
                    for (int m : {i, j, k, l})
                        if (m == base) ++n, product *= 1.0 - dd;
                    t(i, j, k, l) *= std::pow(product, 1.0 / std::max(n, 1));
                }
    const double back = -*angle_r;
    math::TensorRotation4th(r4, c4, &back, nullptr);
    lamina::GetVoigtStiffnessFromTensor(cdeg, c4);
}

}  // extern "C"
}  // namespace vorlen::degradation
