// Eshelby and concentration tensors, compliance conversions and the reduction of the four input
// phases to a fibre and a matrix phase.
#include "materials/micromechanic_eshelby.hpp"

#include <algorithm>
#include <cmath>

#include "base/errorhandling.hpp"
#include "core/signalprocessing.hpp"
#include "materials/micromechanic_schemes.hpp"
#include "materials/micromechanic_tensor.hpp"

namespace vorlen::micromechanic {
namespace {

using errorhandling::report;

double fraction(double v) { return signalprocessing::limit(v, 0.0, 1.0); }

// (g - 2/3)/D of the prolate spheroid, g = a/D^(3/2) (a sqrt(D) - arccosh a), D = a^2 - 1; g
// tends to 2/3 at the sphere. Near a = 1 both g - 2/3 and a sqrt(D) - arccosh a cancel: there
// g = a h(D) with h = 2 sum c_j D^j/(2j + 3), c_j the coefficients of (1 + D)^(-1/2), and
// (g - 2/3)/D = h/(1 + a) + (h - 2/3)/D with the last quotient taken from the series.
double spheroid_slope(double a) {
    const double d = (a - 1.0) * (a + 1.0);
    if (std::fabs(d) >= 0.25) {
        const double s = std::sqrt(d);
        const double g = a * (a * s - std::acosh(a)) / (d * s);
        return (g - 2.0 / 3.0) / d;
    }
    double c = 1.0, dpow = 1.0, h1 = 0.0;  // h1 = (h - 2/3)/D = 2 sum_{j>=1} c_j D^(j-1)/(2j + 3)
    for (int j = 1; j < 100; ++j) {
        c *= -(2.0 * j - 1.0) / (2.0 * j);
        const double term = 2.0 * c * dpow / (2.0 * j + 3.0);
        h1 += term;
        if (std::fabs(term) <= 1e-17 * std::fabs(h1)) break;
        dpow *= d;
    }
    const double h = 2.0 / 3.0 + d * h1;
    return h / (1.0 + a) + h1;
}

M6 eshelby(i32 incltype, double ratio, double nu, const double* c_m) {
    M6 e;
    switch (incltype) {
    case 0: {  // sphere
        const double dg = (7.0 - 5.0 * nu) / (15.0 * (1.0 - nu)),
                     off = (5.0 * nu - 1.0) / (15.0 * (1.0 - nu)),
                     sh = 2.0 * (4.0 - 5.0 * nu) / (15.0 * (1.0 - nu));
        for (int i = 1; i <= 3; ++i) {
            for (int j = 1; j <= 3; ++j) e(i, j) = i == j ? dg : off;
            e(i + 3, i + 3) = sh;
        }
        break;
    }
    case 1: {  // elliptic cylinder along axis 1
        const double al = ratio, k = 1.0 / (2.0 * (1.0 - nu)), m = 1.0 - 2.0 * nu;
        const double p = 1.0 + al, p2 = p * p;
        e(2, 2) = k * ((1.0 + 2.0 * al) / p2 + m / p);
        e(3, 3) = k * ((al * al + 2.0 * al) / p2 + al * m / p);
        e(2, 3) = k * (1.0 / p2 - m / p);
        e(3, 2) = k * (al * al / p2 - al * m / p);
        e(2, 1) = k * 2.0 * nu / p;
        e(3, 1) = k * 2.0 * nu * al / p;
        e(4, 4) = 2.0 * k * ((1.0 + al * al) / (2.0 * p2) + m / 2.0);
        e(5, 5) = al / p;
        e(6, 6) = 1.0 / p;
        break;
    }
    case 2: {  // prolate spheroid, long axis along 1
        // The closed form with g = 2/3 + D kk regrouped so that its 1/D terms cancel exactly:
        // the same tensor, continuous through the sphere at a = 1.
        const double kk = spheroid_slope(ratio), d = (ratio - 1.0) * (ratio + 1.0);
        const double g = 2.0 / 3.0 + d * kk, m = 1.0 - 2.0 * nu, q = 1.0 / (4.0 * (1.0 - nu));
        e(1, 1) = 2.0 * q * ((m + 3.0) * (1.0 - g) - 3.0 * kk);
        e(2, 2) = e(3, 3) = q * (1.5 + m * g - 2.25 * kk);
        e(2, 3) = e(3, 2) = q * (0.5 - m * g - 0.75 * kk);
        e(2, 1) = e(3, 1) = q * (-2.0 + 3.0 * kk + (3.0 - m) * g);
        e(1, 2) = e(1, 3) = q * (3.0 * kk - 2.0 * m * (1.0 - g));
        e(4, 4) = 2.0 * q * (0.5 + m * g - 0.75 * kk);
        e(5, 5) = e(6, 6) = 2.0 * q * (m - 1.0 - m * g / 2.0 + 3.0 * kk + 1.5 * g);
        break;
    }
    case 3: {  // penny-shaped crack, normal along 3
        constexpr double pi = 3.141592653589793;
        const double c = ratio, pc = pi * c;
        e(3, 3) = 1.0 - (1.0 - 2.0 * nu) * pc / (4.0 * (1.0 - nu));
        e(3, 1) = e(3, 2) = nu / (1.0 - nu) * (1.0 - (4.0 * nu + 1.0) * pc / (8.0 * nu));
        e(1, 3) = e(2, 3) = (2.0 * nu - 1.0) * pc / (8.0 * (1.0 - nu));
        e(1, 1) = e(2, 2) = (13.0 - 8.0 * nu) * pc / (32.0 * (1.0 - nu));
        e(1, 2) = e(2, 1) = (8.0 * nu - 1.0) * pc / (32.0 * (1.0 - nu));
        e(4, 4) = e(5, 5) = 1.0 + (nu - 2.0) * pc / (4.0 * (1.0 - nu));
        e(6, 6) = 2.0 * (7.0 - 8.0 * nu) * pc / (32.0 * (1.0 - nu));
        break;
    }
    case 11: {  // elliptic cylinder along 1 in a transversely isotropic host
        const M6 c = c_m ? M6::of(c_m) : M6{};
        if (c.is_zero()) {
            report(-3, "Illegal host stiffness matrix in GetEshelbyTensor.");
            break;
        }
        const double c12 = c(1, 2), c22 = c(2, 2), c23 = c(2, 3), al = ratio;
        e(2, 1) = e(3, 1) = c12 / (2.0 * c22);
        e(2, 2) = e(3, 3) = (5.0 * c22 + c23) / (8.0 * c22);
        e(2, 3) = e(3, 2) = (3.0 * c23 - c22) / (8.0 * c22);
        e(4, 4) = 2.0 * (3.0 * c22 - c23) / (8.0 * c22);
        e(5, 5) = al / (1.0 + al);
        e(6, 6) = 1.0 / (1.0 + al);
        break;
    }
    default:
        report(-3, "Unknown kind of Eshelby tensor request.");
    }
    return e;
}

M6 dilute(const M6& et, const M6& cinc, const M6& cm) {
    return inverse(identity() + et * inverse(cm) * (cinc - cm));
}

// Isotropic compliance nearest to s: E and G from the mean normal and shear diagonals, nu from
// the mean normal off-diagonal.
M6 isotropic_projection(const M6& s) {
    const double e = 3.0 / (s(1, 1) + s(2, 2) + s(3, 3));
    const double nu = -e * (s(1, 2) + s(1, 3) + s(2, 1) + s(2, 3) + s(3, 1) + s(3, 2)) / 6.0;
    const double g = 3.0 / (s(4, 4) + s(5, 5) + s(6, 6));
    const double props[5] = {e, e, g, g, nu};
    M6 iso;
    GetVoigtComplianceMatrix(iso.data(), props);
    return iso;
}

// Void families of the spectrum: kind, ratio and share of the void volume.
struct VoidFamily {
    i32 incltype;
    double inclratio, share;
};
constexpr VoidFamily void_spectrum[] = {{1, 1.5, 0.07},  {1, 2.5, 0.12},  {2, 3.73, 0.15},
                                        {2, 3.69, 0.27}, {2, 4.05, 0.15}, {3, 0.245, 0.10},
                                        {3, 0.13, 0.09}, {3, 0.07, 0.05}};
constexpr i32 nvoid = sizeof void_spectrum / sizeof void_spectrum[0];

}  // namespace

extern "C" {

void GetEshelbyTensor(double* et, const i32* incltype, const double* inclratio, const double* nu_m,
                      const double* c_m) {
    eshelby(*incltype, *inclratio, *nu_m, c_m).store(et);
}

void GetStrainConcentrationTensor(double* a, const double* et, const double* cinc, const double* cm,
                                  const double* vinc, const i32* atype) {
    const M6 e = M6::of(et), ci = M6::of(cinc), c0 = M6::of(cm), i = identity();
    if (!atype) {
        dilute(e, ci, c0).store(a);
        return;
    }
    const double phi = fraction(*vinc);
    // T = et cm^-1 (cinc - cm); A_dil = (I + T)^-1.
    const auto mori_tanaka = [&](const M6& x) { return x * inverse((1.0 - phi) * i + phi * x); };
    const auto t = [&] { return e * inverse(c0) * (ci - c0); };
    const auto b = [&] { return i + e * inverse(ci) * (c0 - ci); };
    M6 r;
    switch (*atype) {
    case 0:
        r = dilute(e, ci, c0);
        break;
    case 1:
    case 3:
        r = mori_tanaka(dilute(e, ci, c0));
        break;
    case 2:
        r = mori_tanaka(b());
        break;
    case 4:
        r = inverse(i + (1.0 - phi) * t());
        break;
    case 5: {
        const double f = (phi + phi * phi) / 2.0;
        r = mori_tanaka(inverse((1.0 - f) * (i + t()) + f * inverse(b())));
        break;
    }
    default:
        report(-2, "Unknown AType. Please check your input");
    }
    r.store(a);
}

void GetAverageSCFromDualEquation(double* sc, const double* bainc, const double* scinc,
                                  const double* scm, const double* vinc) {
    const M6 m = M6::of(scm);
    (m + (fraction(*vinc) * (M6::of(scinc) - m)) * M6::of(bainc)).store(sc);
}

void GetVoigtComplianceMatrix(double* s, const double* props) {
    const double e1 = props[0], e2 = props[1], g12 = props[2], g23 = props[3], nu12 = props[4];
    M6 c;
    c(1, 1) = 1.0 / e1;
    c(2, 2) = c(3, 3) = 1.0 / e2;
    c(1, 2) = c(2, 1) = c(1, 3) = c(3, 1) = -nu12 / e1;
    c(2, 3) = c(3, 2) = -(e2 / (2.0 * g23) - 1.0) / e2;
    c(4, 4) = 1.0 / g23;
    c(5, 5) = c(6, 6) = 1.0 / g12;
    c.store(s);
}

void GetEngConstsFromComplianceMatrix(double* eng, const double* s) {
    const M6 c = M6::of(s);
    double out[9];
    for (int i = 1; i <= 6; ++i) out[i - 1] = 1.0 / c(i, i);
    out[6] = -c(2, 3) * out[1];
    out[7] = -c(1, 3) * out[0];
    out[8] = -c(1, 2) * out[0];
    std::copy_n(out, 9, eng);
}

void GetFiberBundleComplianceMatrix(double* sfb, const double* sf, const double* sinter,
                                    const double* vf, const double* vinter) {
    const M6 si = M6::of(sinter);
    const double r = 1.0 - *vinter / (*vf + *vinter);
    const M6 cf = inverse(M6::of(sf)), ci = inverse(si);
    const M6 e = eshelby(1, 1.0, engineering(si)[8], nullptr);
    const i32 mori_tanaka = 3;
    M6 a;
    GetStrainConcentrationTensor(a.data(), e.data(), cf.data(), ci.data(), &r, &mori_tanaka);
    // The share weights the average as it is: only the concentration tensor clamps it.
    inverse(ci + (r * (cf - ci)) * a).store(sfb);
}

void GetPorousResinComplianceMatrix(double* spm, const double* sm, const double* vv,
                                    const i32* voidtype) {
    const M6 s = M6::of(sm);
    const double nu = engineering(s)[8], v = *vv;
    const M6 cm = inverse(s);
    if (*voidtype != 1) {
        inverse(equivalent_inclusion(cm, M6{}, eshelby(0, 1.0, nu, nullptr), v)).store(spm);
        return;
    }
    // The void families as inclusions without stiffness in a Mori-Tanaka average.
    double cinc[36 * nvoid] = {}, esh[36 * nvoid], vinc[nvoid];
    for (i32 k = 0; k < nvoid; ++k) {
        const VoidFamily& f = void_spectrum[k];
        eshelby(f.incltype, f.inclratio, nu, nullptr).store(esh + 36 * k);
        vinc[k] = v * f.share;
    }
    M6 cp;
    GeneralizedMoriTanaka(cp.data(), cinc, esh, vinc, cm.data(), &nvoid);
    isotropic_projection(inverse(cp)).store(spm);
}

void GetPhaseReduction(double* sf, double* sm, const double* fiberprops, const double* matrixprops,
                       const double* vf, const double* vvoid, const double* vint,
                       const double* interprops, const i32* voidtype) {
    const double em = matrixprops[0], num = matrixprops[1];
    const bool own = interprops && interprops[0] + interprops[1] > 0.0;
    const double ei = own ? interprops[0] : em, nui = own ? interprops[1] : num;
    const double phif = fraction(*vf), phiv = vvoid ? fraction(*vvoid) : 0.0,
                 phii = vint ? fraction(*vint) : 0.0;
    const i32 vt = !voidtype ? 0 : *voidtype > 0 ? 1 : *voidtype;
    M6 f, m;
    if (phif + phii + phiv <= 1.0) {
        GetVoigtComplianceMatrix(f.data(), fiberprops);
        const double gm = em / (2.0 * (1.0 + num)), resin[5] = {em, em, gm, gm, num};
        GetVoigtComplianceMatrix(m.data(), resin);
        if (phii != 0.0) {
            const double gi = ei / (2.0 * (1.0 + nui)), inter[5] = {ei, ei, gi, gi, nui};
            M6 si;
            GetVoigtComplianceMatrix(si.data(), inter);
            GetFiberBundleComplianceMatrix(f.data(), f.data(), si.data(), &phif, &phii);
        }
        if (phiv != 0.0) GetPorousResinComplianceMatrix(m.data(), m.data(), &phiv, &vt);
    }
    f.store(sf);
    m.store(sm);
}

}  // extern "C"
}  // namespace vorlen::micromechanic
