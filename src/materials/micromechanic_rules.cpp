// Closed-form rules for the constants of a unidirectional ply from fibre and matrix.
#include "materials/micromechanic_rules.hpp"

#include <algorithm>
#include <cmath>

#include "base/errorhandling.hpp"
#include "core/signalprocessing.hpp"

namespace vorlen::micromechanic {
namespace {

constexpr double pi = 3.141592653589793;

double fraction(const double* vf, double upper = 1.0) {
    const double lo = 0.0;
    return signalprocessing::fLimit(vf, &lo, &upper);
}

// Fibre and matrix of the four-value rules, with the clamped fraction.
struct Phases {
    double ef1, ef2, gf12, nuf, em, num, gm, phi;
    Phases(const double* f, const double* m, const double* vf)
        : ef1(f[0]), ef2(f[1]), gf12(f[2]), nuf(f[3]), em(m[0]), num(m[1]),
          gm(m[0] / (2.0 * (1.0 + m[1]))), phi(fraction(vf)) {}
};

// Writes E1, E2, G12, nu12 with the rule's E2 and G12 and the mixture E1 and nu12.
void four_values(double* out, const Phases& p, double e2, double g12) {
    out[0] = p.phi * p.ef1 + (1.0 - p.phi) * p.em;
    out[1] = e2;
    out[2] = g12;
    out[3] = p.phi * p.nuf + (1.0 - p.phi) * p.num;
}

// m (1 - (1 - m/f) sqrt(phi) + ...): the Hopkins-Chamis form of E2 and G12.
double hopkins_chamis(double m, double f, double phi) {
    const double r = std::sqrt(phi);
    return m * (1.0 - r + r / (1.0 - (1.0 - m / f) * r));
}

// m/(1 - (1 - m/f) sqrt(phi)): Chamis' form.
double chamis(double m, double f, double phi) { return m / (1.0 - (1.0 - m / f) * std::sqrt(phi)); }

// Halpin-Tsai with the reinforcement xi.
double halpin_tsai(double m, double f, double xi, double phi) {
    const double eta = (f / m - 1.0) / (f / m + xi);
    return m * (1.0 + xi * eta * phi) / (1.0 - eta * phi);
}

}  // namespace

extern "C" {

void RuleOfMixture(double* rm, const double* fiberprops, const double* matrixprops,
                   const double* vf) {
    const Phases p(fiberprops, matrixprops, vf);
    four_values(rm, p, p.ef2 * p.em / (p.phi * p.em + (1.0 - p.phi) * p.ef2),
                p.gf12 * p.gm / (p.phi * p.gm + (1.0 - p.phi) * p.gf12));
}

void Abolinsh(double* ah, const double* fiberprops, const double* matrixprops, const double* vf) {
    const Phases p(fiberprops, matrixprops, vf);
    const double phi = p.phi, e = p.ef2 / p.em, f = 1.0 + (e - 1.0) * phi, g = p.gf12 / p.gm;
    const double dn = p.num * e - p.nuf;
    four_values(ah, p, f * e * p.em / ((e * (1.0 - phi) + phi) * f - dn * dn * phi * (1.0 - phi)),
                p.gm * ((1.0 + phi) * g + 1.0 - phi) / (g * (1.0 - phi) + 1.0 + phi));
}

void Puck(double* pu, const double* fiberprops, const double* matrixprops, const double* vf) {
    const Phases p(fiberprops, matrixprops, vf);
    const double phi = p.phi, em = p.em / (1.0 - p.num * p.num);
    four_values(
        pu, p, em * (1.0 + 0.85 * phi * phi) / (std::pow(1.0 - phi, 1.25) + phi * em / p.ef2),
        p.gm * (1.0 + 0.4 * std::sqrt(phi)) / (std::pow(1.0 - phi, 1.45) + phi * p.gm / p.gf12));
}

void HopkinsChamis(double* hc, const double* fiberprops, const double* matrixprops,
                   const double* vf) {
    const Phases p(fiberprops, matrixprops, vf);
    four_values(hc, p, hopkins_chamis(p.em, p.ef2, p.phi), hopkins_chamis(p.gm, p.gf12, p.phi));
}

void HalpinTsai(double* ht, const double* fiberprops, const double* matrixprops, const double* vf,
                const double* zeta) {
    const Phases p(fiberprops, matrixprops, vf);
    double xie, xig;
    if (!zeta || (zeta[0] == -1.0 && zeta[1] == -1.0)) {
        const double p10 = 40.0 * std::pow(p.phi, 10);
        xie = 2.0 + p10, xig = 1.0 + p10;
    } else {
        xie = zeta[0], xig = zeta[1];
    }
    four_values(ht, p, halpin_tsai(p.em, p.ef2, xie, p.phi), halpin_tsai(p.gm, p.gf12, xig, p.phi));
}

void Chamis(double* cs, const double* fiberprops, const double* matrixprops, const double* vf,
            const i32* csdim) {
    const i32 n = *csdim;
    if (n != 4 && n != 5 && n != 6) {
        std::fill_n(cs, std::max<i32>(n, 0), 0.0);
        return;
    }
    const double* f = fiberprops;
    const double em = matrixprops[0], num = matrixprops[1], gm = em / (2.0 * (1.0 + num));
    const double phi = fraction(vf);
    const double nuf12 = f[n == 4 ? 3 : 4];
    double out[6];
    out[0] = phi * f[0] + (1.0 - phi) * em;
    out[1] = chamis(em, f[1], phi);
    out[2] = chamis(gm, f[2], phi);
    if (n == 4) {
        out[3] = phi * nuf12 + (1.0 - phi) * num;
    } else {
        out[3] = chamis(gm, f[3], phi);
        out[4] = phi * nuf12 + (1.0 - phi) * num;
        out[5] = out[1] / (2.0 * out[3]) - 1.0;
    }
    std::copy_n(out, n, cs);
}

void Foye(double* nfoye, const double* laminaprops, const double* matrixprops) {
    const double el = laminaprops[0], nult = laminaprops[1];
    const double em = matrixprops[0], num = matrixprops[1], q = em / el;
    *nfoye = num * (1.0 + num - q * nult) / (1.0 - num * num + nult * num * q);
}

void Krimmer(double* km, const double* laminaprops, const double* fiberprops,
             const double* matrixprops, const double* vf) {
    const double el = laminaprops[0], et = laminaprops[1], nult = laminaprops[2];
    const double ef1 = fiberprops[0], ef2 = fiberprops[1], gf23 = fiberprops[3],
                 nuf12 = fiberprops[4];
    const double em = matrixprops[0], num = matrixprops[1];
    const double phi = fraction(vf);
    const double nuf23 = ef2 / (2.0 * gf23) - 1.0;
    const double nua = num * (1.0 - nuf12 * em / (ef2 * num));
    const double nub = num * (1.0 - (nuf23 + nuf12) * em / ((ef1 + ef2) * num));
    const double ply[2] = {el, nult};
    double nfoye;
    Foye(&nfoye, ply, matrixprops);
    const double r = et / em, nub2 = nub * nub, nub3 = nub2 * nub;
    const double d = (1.0 - nub2) * r + nub2;
    double out[5];
    out[0] = (et * (1.0 - nua) + nua * em) / (2.0 * nua * nua * (1.0 - r) + (1.0 - nua) * r + nua);
    out[1] = (phi * ef1 * d + (1.0 - phi) * et) /
             (phi * (ef1 / em) * ((1.0 - 3.0 * nub2 - 2.0 * nub3) * r + 2.0 * (nub2 + nub3)) +
              (1.0 - phi) * d);
    out[2] = (out[0] + out[1]) / 2.0 / (2.0 * (1.0 + num));
    out[3] = out[1] / (2.0 * (1.0 + nfoye));
    out[4] = nua;
    std::copy_n(out, 5, km);
}

void LTH(double* lh, const double* fiberprops, const double* matrixprops, const double* vf,
         const i32* mdim, const i32* fmflag, const i32* tcflag) {
    const i32 nm = *mdim;
    // Krimmer's constants take the first two matrix values; otherwise num is the last one.
    if (nm < 1 || (nm < 2 && *tcflag == 1)) {
        std::fill_n(lh, 5, 0.0);
        errorhandling::report(-3, "Fewer than two matrix constants in LTH.");
        return;
    }
    const bool square = *fmflag == 0;
    const double phi = fraction(vf, square ? 0.75 : 0.9);
    const double a = square ? 2.0 * std::sqrt(phi / pi) : std::sqrt(3.4641016151377544 * phi / pi);
    const double c = square ? 2.0 : 1.7320508075688772;
    const double fib[3] = {fiberprops[1], fiberprops[2], fiberprops[3]};
    const double nuf12 = fiberprops[4];
    double em1, mat[3], num;
    if (nm == 5) {
        em1 = matrixprops[0];
        std::copy_n(matrixprops + 1, 3, mat);
        num = matrixprops[4];
    } else if (*tcflag == 1) {
        const i32 two = 2, isotropic = 0;
        double ply[5], km[5];
        LTH(ply, fiberprops, matrixprops, &phi, &two, fmflag, &isotropic);
        const double laminaprops[3] = {ply[0], ply[1], ply[4]};
        Krimmer(km, laminaprops, fiberprops, matrixprops, &phi);
        em1 = km[0];
        std::copy_n(km + 1, 3, mat);
        num = km[4];
    } else {
        const double em = matrixprops[0];
        num = matrixprops[nm - 1];
        const double gm = em / (2.0 * (1.0 + num));
        em1 = em, mat[0] = em, mat[1] = gm, mat[2] = gm;
    }
    double out[5];
    out[0] = fiberprops[0] * phi + em1 * (1.0 - phi);
    out[4] = nuf12 * phi + num * (1.0 - phi);
    for (int i = 0; i < 3; ++i) {
        const double r = mat[i] / fib[i], d = 1.0 - r;
        // The arctangent takes 1 - (1 - r^2) a^2 under its root, the factor below 1 - d^2 a^2.
        const double w = std::atan(a * d / std::sqrt(1.0 - (1.0 - r * r) * a * a)) + pi / 2.0;
        out[i + 1] = (2.0 * mat[i] / c) *
                     (c / 2.0 - a - pi / (2.0 * d) + w / (d * std::sqrt(1.0 - d * d * a * a)));
    }
    std::copy_n(out, 5, lh);
}

}  // extern "C"
}  // namespace vorlen::micromechanic
