// Mean-field homogenisation schemes over the fibre and matrix phases of GetPhaseReduction.
#include "materials/micromechanic_schemes.hpp"

#include <algorithm>
#include <cmath>

#include "base/errorhandling.hpp"
#include "core/signalprocessing.hpp"
#include "materials/micromechanic_eshelby.hpp"
#include "materials/micromechanic_rules.hpp"
#include "materials/micromechanic_tensor.hpp"

namespace vorlen::micromechanic {
namespace {

double fraction(double v) { return signalprocessing::limit(v, 0.0, 1.0); }

// Schemes of GetStrainConcentrationTensor.
constexpr i32 mori_tanaka = 3, chow = 4, lielens = 5;

// The fibre phase (fibre with interphase) and the matrix phase (porous resin) of a scheme.
struct Phases {
    M6 sf, sm, cf, cm;
    double phi = 0.0, phim = 1.0;  // fibre-phase fraction and its complement
    double nu = 0.0;               // Poisson ratio nu12 of the matrix phase
    double ryz = 1.0;              // a2/a3 of the fibre cross-section

    // False when the fractions add up to more than 1 (GetPhaseReduction gives zeros).
    bool reduce(const double* fiberprops, const double* matrixprops, const double* vf,
                const double* vvoid, const double* vint, const double* interprops,
                const double* yzratio, const i32* voidtype) {
        GetPhaseReduction(sf.data(), sm.data(), fiberprops, matrixprops, vf, vvoid, vint,
                          interprops, voidtype);
        if (sf.is_zero() && sm.is_zero()) return false;
        phi = fraction(*vf + (vint ? fraction(*vint) : 0.0));
        phim = 1.0 - phi;
        cf = inverse(sf);
        cm = inverse(sm);
        nu = engineering(sm)[8];
        ryz = yzratio ? *yzratio : 1.0;
        return true;
    }

    M6 eshelby(i32 incltype, double ratio, const M6* host = nullptr) const {
        M6 e;
        GetEshelbyTensor(e.data(), &incltype, &ratio, &nu, host ? host->data() : nullptr);
        return e;
    }
    // Concentration tensor of the fibre in the host c; atype null: the dilute tensor.
    M6 concentration(const M6& e, const M6& c, const i32* atype) const {
        M6 a;
        GetStrainConcentrationTensor(a.data(), e.data(), cf.data(), c.data(), &phi, atype);
        return a;
    }
    // The dual equation cm + phi (cf - cm) a.
    M6 average(const M6& a) const {
        M6 c;
        GetAverageSCFromDualEquation(c.data(), a.data(), cf.data(), cm.data(), &phi);
        return c;
    }
};

void constants(double* out, const M6& s) { GetEngConstsFromComplianceMatrix(out, s.data()); }

// The concentration schemes: out = constants of [cm + phi (cf - cm) A]^-1 with A of the
// scheme atype (null: dilute) for the fibre as an elliptic cylinder.
void concentration_scheme(double* out, const i32* atype, const double* fiberprops,
                          const double* matrixprops, const double* vf, const double* vvoid,
                          const double* vint, const double* interprops, const double* yzratio,
                          const i32* voidtype) {
    Phases p;
    double res[9] = {};
    if (p.reduce(fiberprops, matrixprops, vf, vvoid, vint, interprops, yzratio, voidtype))
        constants(res, inverse(p.average(p.concentration(p.eshelby(1, p.ryz), p.cm, atype))));
    std::copy_n(res, 9, out);
}

// Compliance of the bridging models, (phi sf + phim sm j)(phi I + phim j)^-1.
M6 bridged(const Phases& p, const M6& j) {
    return (p.phi * p.sf + (p.phim * p.sm) * j) * inverse(p.phi * identity() + p.phim * j);
}

bool any_nonzero(const double* x, int n) {
    return x && std::any_of(x, x + n, [](double v) { return v != 0.0; });
}

}  // namespace

extern "C" {

void Voigt(double* out, const double* fiberprops, const double* matrixprops, const double* vf,
           const double* vvoid, const double* vint, const double* interprops, const i32* voidtype) {
    Phases p;
    double res[9] = {};
    if (p.reduce(fiberprops, matrixprops, vf, vvoid, vint, interprops, nullptr, voidtype))
        constants(res, inverse(p.average(identity())));
    std::copy_n(res, 9, out);
}

void Reuss(double* out, const double* fiberprops, const double* matrixprops, const double* vf,
           const double* vvoid, const double* vint, const double* interprops, const i32* voidtype) {
    Phases p;
    double res[9] = {};
    if (p.reduce(fiberprops, matrixprops, vf, vvoid, vint, interprops, nullptr, voidtype)) {
        const M6 i = identity();
        M6 s;
        GetAverageSCFromDualEquation(s.data(), i.data(), p.sf.data(), p.sm.data(), &p.phi);
        constants(res, s);
    }
    std::copy_n(res, 9, out);
}

void Dilute(double* out, const double* fiberprops, const double* matrixprops, const double* vf,
            const double* vvoid, const double* vint, const double* interprops,
            const double* yzratio, const i32* voidtype) {
    concentration_scheme(out, nullptr, fiberprops, matrixprops, vf, vvoid, vint, interprops,
                         yzratio, voidtype);
}

void MoriTanaka(double* out, const double* fiberprops, const double* matrixprops, const double* vf,
                const double* vvoid, const double* vint, const double* interprops,
                const double* yzratio, const i32* voidtype) {
    concentration_scheme(out, &mori_tanaka, fiberprops, matrixprops, vf, vvoid, vint, interprops,
                         yzratio, voidtype);
}

void Chow(double* out, const double* fiberprops, const double* matrixprops, const double* vf,
          const double* vvoid, const double* vint, const double* interprops, const double* yzratio,
          const i32* voidtype) {
    concentration_scheme(out, &chow, fiberprops, matrixprops, vf, vvoid, vint, interprops, yzratio,
                         voidtype);
}

void Lielens(double* out, const double* fiberprops, const double* matrixprops, const double* vf,
             const double* vvoid, const double* vint, const double* interprops,
             const double* yzratio, const i32* voidtype) {
    concentration_scheme(out, &lielens, fiberprops, matrixprops, vf, vvoid, vint, interprops,
                         yzratio, voidtype);
}

void HashinShtrikman(double* out, const double* fiberprops, const double* matrixprops,
                     const double* vf, const i32* luflag, const double* vvoid, const double* vint,
                     const double* interprops, const double* yzratio, const i32* voidtype) {
    const i32 atype = *luflag > 0 ? 2 : 1;
    concentration_scheme(out, &atype, fiberprops, matrixprops, vf, vvoid, vint, interprops, yzratio,
                         voidtype);
}

void Mura(double* out, const double* fiberprops, const double* matrixprops, const double* vf,
          const double* vvoid, const double* vint, const double* interprops, const double* yzratio,
          const i32* voidtype) {
    Phases p;
    double res[9] = {};
    if (p.reduce(fiberprops, matrixprops, vf, vvoid, vint, interprops, yzratio, voidtype))
        constants(res, inverse(equivalent_inclusion(p.cm, p.cf, p.eshelby(1, p.ryz), p.phi)));
    std::copy_n(res, 9, out);
}

void CSCS(double* out, const double* fiberprops, const double* matrixprops, const double* vf,
          const double* vvoid, const double* vint, const double* interprops, const double* yzratio,
          const i32* voidtype, const i32* maxit, const double* threshold) {
    const i32 nit = maxit ? *maxit : 200;
    const double tol = threshold ? *threshold : 1e-8;
    Phases p;
    double res[9] = {};
    if (nit < 1) {
        errorhandling::report(-3, "Iteration limit below 1 in CSCS.");
    } else if (p.reduce(fiberprops, matrixprops, vf, vvoid, vint, interprops, yzratio, voidtype)) {
        const i32 dilute = 0;
        M6 host = p.cm, previous, a;
        for (i32 k = 1; k <= nit; ++k) {
            a = p.concentration(p.eshelby(11, p.ryz, &host), host, &dilute);
            // Besides convergence, a fixed point (the same tensor again, which every later
            // iteration repeats) and a NaN (which stays in every later host) end the loop.
            bool converged = true, fixed = true, nan = false;
            for (int i = 0; i < 36; ++i) {
                converged &= std::fabs(a.v[i] - previous.v[i]) <= tol;
                fixed &= a.v[i] == previous.v[i];
                nan |= std::isnan(a.v[i]);
            }
            if (converged || fixed || nan) break;
            host = p.average(a);
            previous = a;
        }
        constants(res, inverse(p.average(a)));
    }
    std::copy_n(res, 9, out);
}

void Huang(double* out, const double* fiberprops, const double* matrixprops, const double* vf,
           const double* vvoid, const double* vint, const double* interprops,
           const double* strengthprops, const double* cp, const i32* voidtype) {
    Phases p;
    double res[12] = {};
    if (p.reduce(fiberprops, matrixprops, vf, vvoid, vint, interprops, nullptr, voidtype)) {
        const auto f = engineering(p.sf), m = engineering(p.sm);
        const double ef1 = f[0], ef2 = f[1], gf = f[5], em = m[0], gm = m[5];
        const double alpha = cp ? fraction(cp[0]) : 0.5, beta = cp ? fraction(cp[1]) : 0.5;
        M6 a;
        a(1, 1) = em / ef1;
        a(2, 2) = a(3, 3) = a(4, 4) = alpha + (1.0 - alpha) * em / ef2;
        a(5, 5) = a(6, 6) = beta + (1.0 - beta) * gm / gf;
        a(1, 2) = a(1, 3) =
            (p.sf(1, 2) - p.sm(1, 2)) * (a(1, 1) - a(2, 2)) / (p.sf(1, 1) - p.sm(1, 1));
        constants(res, bridged(p, a));
        if (any_nonzero(strengthprops, 4)) {
            const double* sp = strengthprops;
            const double fib[4] = {ef1, ef2, gf, sp[0]}, mat[5] = {em, gm, sp[1], sp[2], sp[3]};
            GetUDStrengthFromBridgingMatrix(res + 9, a.data(), fib, mat, &p.phi);
        }
    }
    std::copy_n(res, 12, out);
}

void Cumulative(double* out, const double* fiberprops, const double* matrixprops, const double* vf,
                const double* vvoid, const double* vint, const double* interprops,
                const double* strengthprops, const double* yzratio, const i32* voidtype,
                const i32* rvetype) {
    Phases p;
    double res[12] = {};
    if (p.reduce(fiberprops, matrixprops, vf, vvoid, vint, interprops, yzratio, voidtype)) {
        const auto f = engineering(p.sf), m = engineering(p.sm);
        const double fib[5] = {f[0], f[1], f[5], f[3], f[8]}, mat[2] = {m[0], p.nu};
        const double phi = p.phi, phim = p.phim, nuf12 = fib[4];
        // Bridging matrices of the dilute tensors of a circular and of the actual cylinder.
        const M6 b1 = p.cf * p.concentration(p.eshelby(1, 1.0), p.cm, nullptr) * p.sm;
        const M6 b2 = p.cf * p.concentration(p.eshelby(1, p.ryz), p.cm, nullptr) * p.sm;
        double mt[9], lh[5], nmt, nlth;
        MoriTanaka(mt, fib, mat, &phi, nullptr, nullptr, nullptr, nullptr, nullptr);
        const i32 two = 2, packing = rvetype ? *rvetype : 1, krimmer = 1;
        LTH(lh, fib, mat, &phi, &two, &packing, &krimmer);
        const double ply_mt[2] = {mt[0], mt[8]}, ply_lth[2] = {lh[0], lh[4]};
        Foye(&nmt, ply_mt, mat);
        Foye(&nlth, ply_lth, mat);
        const M6 j0 = inverse(b1);
        M6 j = j0;
        const double l = j0(1, 1) * mt[0] / lh[0], n = j0(2, 2) * mt[1] / lh[1];
        const double q = j0(2, 3) * (nmt * phim + nuf12 * phi) / (nlth * phim + nuf12 * phi);
        const double da = p.sf(1, 1) - p.sm(1, 1), db = p.sf(1, 2) - p.sm(1, 2);
        const double r =
            ((phim * n + phi) * db * (l - n) - (phi + phim * l) * db * q + phim * db * q * q) /
            ((phim * n + phi) * da - phim * da * q);
        j(1, 1) = l;
        j(2, 2) = j(3, 3) = n;
        j(4, 4) = j0(4, 4) * mt[1] / lh[1];
        j(5, 5) = j(6, 6) = j0(5, 5) * mt[5] / lh[2];
        j(2, 3) = j(3, 2) = q;
        j(1, 2) = j(1, 3) = r;
        j(2, 1) = j(3, 1) = (mt[0] / mt[1]) * j0(1, 2) * j0(2, 1) / ((lh[0] / lh[1]) * r);
        if (any_nonzero(strengthprops, 4)) {
            const double* sp = strengthprops;
            const double fs[4] = {fib[0], fib[1], fib[2], sp[0]},
                         ms[5] = {mat[0], 0.0, sp[1], sp[2], sp[3]};
            GetUDStrengthFromBridgingMatrix(res + 9, j.data(), fs, ms, &phi);
        }
        constants(res, bridged(p, inverse(b2) * j * b1));
    }
    std::copy_n(res, 12, out);
}

void GetUDStrengthFromBridgingMatrix(double* ud, const double* bridging, const double* fiberprops,
                                     const double* matrixprops, const double* vf) {
    const M6 b = M6::of(bridging);
    const double phi = fraction(*vf), m = 1.0 - phi;
    const double ef1 = fiberprops[0], ef2 = fiberprops[1], gf12 = fiberprops[2],
                 sfu = fiberprops[3];
    const double emt = matrixprops[2], smy = matrixprops[3], smu = matrixprops[4];
    const double bn[3] = {b(1, 1), b(2, 2), b(6, 6)};
    const double d1 = phi * ef1 + m * emt, d2 = phi * ef2 + 0.5 * m * (ef2 + emt),
                 d3 = 3.0 * phi * gf12 + 0.5 * m * (emt + 3.0 * gf12);
    const double fy[3] = {ef1 / d1, ef2 / d2, 3.0 * gf12 / d3};
    const double my[3] = {emt / d1, 0.5 * (ef2 + emt) / d2, 0.5 * (emt + 3.0 * gf12) / d3};
    const double yield[3] = {smy, smy, smy * 0.5773502691896258};
    double out[3];
    for (int k = 0; k < 3; ++k) {
        const double fe = 1.0 / (m * bn[k] + phi), me = bn[k] * fe;
        const double t = std::min(sfu / fe, yield[k] / me);
        out[k] = std::min((sfu - t * (fe - fy[k])) / fy[k], (smu - t * (me - my[k])) / my[k]);
    }
    std::copy_n(out, 3, ud);
}

void GeneralizedMoriTanaka(double* cmt, const double* cinc, const double* eshinc,
                           const double* vinc, const double* c0, const i32* ninc) {
    const i32 n = *ninc;
    const M6 host = M6::of(c0);
    double f0 = 1.0;
    for (i32 k = 0; k < n; ++k) f0 -= vinc[k];
    // [f0 c0 + sum v_k c_k A_k] [f0 I + sum v_k A_k]^-1: each family weighted by its volume
    // fraction, in the product order of the two-phase Mori-Tanaka average.
    M6 stress = f0 * host, strain = f0 * identity();
    for (i32 k = 0; k < n; ++k) {
        const M6 c = M6::of(cinc + 36 * i64{k});
        M6 a;
        GetStrainConcentrationTensor(a.data(), eshinc + 36 * i64{k}, c.data(), host.data(), nullptr,
                                     nullptr);
        stress = stress + vinc[k] * (c * a);
        strain = strain + vinc[k] * a;
    }
    (stress * inverse(strain)).store(cmt);
}

}  // extern "C"
}  // namespace vorlen::micromechanic
