// Isotropic non-linear elastic stress laws: secant law with strain-dependent constants, tensor
// laws of a volumetric/deviatoric split, the fitted resin secant law and the cubic split law.
#include "materials/elasticity_isotropic.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <limits>

#include "base/errorhandling.hpp"
#include "core/materialdata.hpp"
#include "core/math_norms.hpp"
#include "core/math_products.hpp"
#include "base/units.hpp"
#include "materials/lamina_measures.hpp"
#include "materials/lamina_notation.hpp"
#include "materials/nlcollection.hpp"
#include "materials/resin.hpp"

namespace vorlen::elasticity {
namespace {

using V6 = std::array<double, 6>;
using M3 = std::array<double, 9>;  // column-major 3 by 3

// Whether a law can read its arguments: ndi 3 with 3 to 6 Nye entries and at least `need`
// properties. Otherwise the stress (and the stiffness, when given) is zero, with code -3.
bool usable(double* stress, double* ddsdde, i32 ntens, i32 ndi, i32 nprops, i32 need,
            const char* routine) {
    char problem[40];
    if (ndi != 3 || ntens < 3 || ntens > 6)
        std::snprintf(problem, sizeof problem, "Unsupported ntens or ndi");
    else if (nprops < need)
        std::snprintf(problem, sizeof problem, "Fewer than %d properties", need);
    else
        return true;
    const i64 n = std::max<i32>(ntens, 0);
    std::fill_n(stress, n, 0.0);
    if (ddsdde) std::fill_n(ddsdde, n * n, 0.0);
    errorhandling::report(-3, problem, routine);
    return false;
}

// The Nye vector v(n) with the shear entries it does not hold set to 0.
V6 padded(const double* v, i32 n) {
    V6 p{};
    std::copy_n(v, n, p.begin());
    return p;
}

// Strain tensor with halved shears, its trace and its deviator.
struct Split {
    M3 e{}, dev{};
    double tr = 0.0;
};

Split split(const double* strain, i32 ntens) {
    const V6 v = padded(strain, ntens);
    const i32 six = 6;
    Split s;
    Mat<double> e(s.e.data(), 3, 3), dev(s.dev.data(), 3, 3);
    for (int i = 1; i <= 3; ++i) e(i, i) = v[i - 1];
    for (int k = 0; k < 3; ++k) {
        const int i = lamina::pairs_nye[k][0], j = lamina::pairs_nye[k][1];
        e(i, j) = e(j, i) = v[3 + k] / 2.0;
    }
    s.tr = lamina::GetTrace(v.data(), &six);
    s.dev = s.e;
    for (int i = 1; i <= 3; ++i) dev(i, i) -= s.tr / 3.0;
    return s;
}

double norm3(double a, double b, double c) { return std::sqrt(a * a + b * b + c * c); }

// The first ntens Nye entries of a stress tensor.
void store_nye(double* stress, const M3& tensor, i32 ntens) {
    double nye[6];
    lamina::NyeNotation(nye, tensor.data());
    std::copy_n(nye, ntens, stress);
}

// Stress 2 gd E'(i,j) + delta(i,j) kv spureps over the ndi by ndi block; an ndi outside 1..3
// zeros stresstens with code -3.
void split_stress(double* stresstens, const double* endstrandev, i32 ndi, double gd, double kv,
                  double spureps, const char* routine) {
    if (ndi < 1 || ndi > 3) {
        std::fill_n(stresstens, 9, 0.0);
        errorhandling::report(-3, "ndi outside 1 to 3", routine);
        return;
    }
    const Mat<const double> dev(endstrandev, ndi, ndi);
    M3 out;  // endstrandev may be stresstens itself
    Mat<double> s(out.data(), 3, 3);
    for (int j = 1; j <= ndi; ++j)
        for (int i = 1; i <= ndi; ++i)
            s(i, j) = 2.0 * gd * dev(i, j) + (i == j ? kv * spureps : 0.0);
    Mat<double> result(stresstens, 3, 3);
    for (int j = 1; j <= ndi; ++j)
        for (int i = 1; i <= ndi; ++i) result(i, j) = s(i, j);
}

using Measure = void(double*, const double*, const double*);

// The Kaestner and Krause tensor laws: each part reduced by its non-linearity measure.
void reduced_split_stress(Measure* measure, const double* normdev, const double* normvol,
                          const double* spureps, const double* endstrandev, const double* g,
                          const double* gammag, const double* gammak, const double* komp,
                          double* stresstens, const i32* ndi, const char* routine) {
    double dng, dnk;
    measure(&dng, gammag, normdev);
    measure(&dnk, gammak, normvol);
    split_stress(stresstens, endstrandev, *ndi, (1.0 - dng) * *g, (1.0 - dnk) * *komp, *spureps,
                 routine);
}

// Secant modulus of the fitted resin law: M0 exp(-gamma x) up to the limit, A/(B x + 1) beyond.
struct Fit {
    double limit, m0, gamma, a, b;
    double at(double x) const { return x <= limit ? m0 * std::exp(-gamma * x) : a / (b * x + 1.0); }
};
constexpr Fit kNormalTension{0.0586801786795, 2541.75978925, 13.8361690875, 71171243.2236,
                             1074682.92535};
constexpr Fit kNormalCompression{0.0568363759446, 2844.74195527, 10.8020389124, 94899909.3371,
                                 1084488.43482};
constexpr Fit kBulkTension{0.05912221968173981, 4871.70629979, 13.732719812, 189806025.077,
                           1484162.32322};
constexpr Fit kBulkCompression{0.0570360383455, 7992.37025439, 10.7642249043, 759238107.839,
                               3077414.06005};
constexpr Fit kShear{0.04327625, 2692.3559712, 19.3641099237, 4447152.2077, 88218.6212448};

// Value of a calibration curve of the data store (cubic Hermite lookup).
double curve(const Alloc<double, 3>& table, i32 points, double x0, double temp) {
    const auto extent = [&](int d) {
        return static_cast<i32>(std::min<i64>(table.ext[d], std::numeric_limits<i32>::max()));
    };
    const i32 n1 = extent(0), n2 = extent(1), n3 = extent(2);
    double value;
    resin::GetExternalData(table.data, &points, &x0, &temp, &value, "C", &n1, &n2, &n3);
    return value;
}

}  // namespace

extern "C" {

void GetStressFromNonlinearIsotropic(double* stress, const double* strain, const double* props,
                                     const i32* ntens, const i32* ndi, const i32* nprops) {
    const i32 n = *ntens;
    if (!usable(stress, nullptr, n, *ndi, *nprops, 5, "GetStressFromNonlinearIsotropic")) return;
    const double eini = props[0], gamman = props[1], gini = props[2], nuini = props[3],
                 gammas = props[4];
    const V6 v = padded(strain, n);
    const i32 three = 3;
    const double normnormal = math::VectorNorm(v.data(), &three);
    const double normshear = math::VectorNorm(v.data() + 3, &three);

    const auto young = [&](double nu) {
        return eini / (gamman * normnormal / std::sqrt(nu * nu + 1.0) + 1.0);
    };
    const auto poisson = [&](double e) { return std::min(nuini + 4e-05 * (eini - e), 0.46); };
    const double tol = static_cast<double>(0.01f);
    double eold = young(nuini), nuold = poisson(eold);
    double enew = young(nuold), nunew = poisson(enew);
    i32 i = 0;
    while (std::abs(nuold - nunew) / nunew > tol) {
        if (std::abs(eold - enew) / enew <= tol || i > 5) break;
        io::write_list(6, {"Iteration ", i});
        ++i;
        eold = enew, nuold = nunew;
        enew = young(nuold), nunew = poisson(enew);
    }

    const double e = enew, nu = nunew, g = gini / (normshear * gammas + 1.0);
    const double d = (1.0 - 2.0 * nu) * (1.0 + nu);
    std::array<double, 36> k{};
    Mat<double> kk(k.data(), n, n);
    for (int j = 1; j <= 3; ++j)
        for (int i = 1; i <= 3; ++i) kk(i, j) = e * (i == j ? 1.0 - nu : nu) / d;
    for (int i = 4; i <= n; ++i) kk(i, i) = g;
    double out[6];
    math::MatrixVectorProduct(k.data(), v.data(), out, &n, &n);
    std::copy_n(out, n, stress);
}

void GetStressFromIsotropicViscoElasticity(double* stress, const double* strain,
                                           const double* props, const i32* ntens, const i32* ndi,
                                           const i32* nprops) {
    const char* const routine = "GetStressFromIsotropicViscoElasticity";
    const i32 n = *ntens;
    if (!usable(stress, nullptr, n, *ndi, *nprops, 5, routine)) return;
    const double e = props[0], gamma = props[1], nu = props[2], num = props[3], law = props[4];
    if (!(law > -1.0 && law < 4.0)) {
        std::fill_n(stress, n, 0.0);
        errorhandling::report(-2, "Law outside 0 to 3", routine);
        return;
    }
    const Split s = split(strain, n);
    const i32 three = 3;
    const double g = e / (2.0 * (1.0 + nu)), komp = e / (3.0 * (1.0 - 2.0 * nu));
    const double gammak = gamma / (1.0 - 2.0 * nu), gammag = 1.224744871391589 * gamma / (1.0 + nu);
    const double normdev = math::MatrixNorm(s.dev.data(), &three, &three);
    const double normvol = std::abs(s.tr);

    M3 tensor{};
    switch (static_cast<int>(law)) {
    case 0:
        GetLameStress(&s.tr, s.dev.data(), &g, &komp, tensor.data(), &three);
        break;
    case 1:
        GetKaestnerStress(&normdev, &normvol, &s.tr, s.dev.data(), &g, &gammag, &gammak, &komp,
                          tensor.data(), &three);
        break;
    case 2:
        GetKrauseStress(&normdev, &normvol, &s.tr, s.dev.data(), &g, &gammag, &gammak, &komp,
                        tensor.data(), &three);
        break;
    default:
        GetStressFromNonConstPoisson(&normdev, &normvol, &s.tr, s.dev.data(), &e, &g, &nu, &num,
                                     &gamma, tensor.data(), &three);
    }
    store_nye(stress, tensor, n);
}

void GetLameStress(const double* spureps, const double* endstrandev, const double* g,
                   const double* komp, double* stresstens, const i32* ndi) {
    split_stress(stresstens, endstrandev, *ndi, *g, *komp, *spureps, "GetLameStress");
}

void GetKaestnerStress(const double* normdev, const double* normvol, const double* spureps,
                       const double* endstrandev, const double* g, const double* gammag,
                       const double* gammak, const double* komp, double* stresstens,
                       const i32* ndi) {
    reduced_split_stress(nlcollection::NLKaestner, normdev, normvol, spureps, endstrandev, g,
                         gammag, gammak, komp, stresstens, ndi, "GetKaestnerStress");
}

void GetKrauseStress(const double* normdev, const double* normvol, const double* spureps,
                     const double* endstrandev, const double* g, const double* gammag,
                     const double* gammak, const double* komp, double* stresstens, const i32* ndi) {
    reduced_split_stress(nlcollection::NLKrause, normdev, normvol, spureps, endstrandev, g, gammag,
                         gammak, komp, stresstens, ndi, "GetKrauseStress");
}

void GetStressFromNonConstPoisson(const double* normdev, const double*, const double* spureps,
                                  const double* endstrandev, const double* e, const double* g,
                                  const double* nu, const double* num, const double* gamma,
                                  double* stresstens, const i32* ndi) {
    const double geff = *g / (1.414213562373095 * *gamma * *normdev + 1.0);
    const double nueff = std::min(
        *nu + *num * (*e - 2.0 * geff * (*nu + 1.0 + *num * *e) / (2.0 * *num * geff + 1.0)), 0.47);
    const double keff = 2.0 * geff * (1.0 + nueff) / (3.0 * (1.0 - 2.0 * nueff));
    split_stress(stresstens, endstrandev, *ndi, geff, keff, *spureps,
                 "GetStressFromNonConstPoisson");
}

void GetStressFromDevVolDecomposition(double* stress, const double* strain, const double* props,
                                      const i32* ntens, const i32* ndi, const i32* nprops,
                                      double* ddsdde) {
    const i32 n = *ntens;
    if (!usable(stress, ddsdde, n, *ndi, *nprops, 5, "GetStressFromDevVolDecomposition")) return;
    const bool shear_fit = props[4] == 1.0;
    const Split s = split(strain, n);
    const Mat<const double> e(s.e.data(), 3, 3), dev(s.dev.data(), 3, 3);
    const double xn = norm3(dev(1, 1), dev(2, 2), dev(3, 3));
    const double xv = norm3(e(1, 1), e(2, 2), e(3, 3));
    const double xs = norm3(dev(1, 2), dev(1, 3), dev(2, 3));
    const bool compression = !(s.tr >= 0.0);
    const double t = (compression ? kNormalCompression : kNormalTension).at(xn);
    const double o = (compression ? kBulkCompression : kBulkTension).at(xv);
    const double a = shear_fit ? kShear.at(xs) : t;

    M3 tensor;
    Mat<double> st(tensor.data(), 3, 3);
    for (int j = 1; j <= 3; ++j)
        for (int i = 1; i <= 3; ++i) st(i, j) = i == j ? t * dev(i, i) + o * s.tr : a * dev(i, j);
    store_nye(stress, tensor, n);

    Mat<double> k(ddsdde, n, n);
    for (int j = 1; j <= n; ++j)
        for (int i = 1; i <= n; ++i) k(i, j) = 0.0;
    for (int j = 1; j <= 3; ++j)
        for (int i = 1; i <= 3; ++i) k(i, j) = i == j ? 2.0 * t / 3.0 + o : o - t / 3.0;
    for (int i = 4; i <= n; ++i) k(i, i) = a / 2.0;
}

void GetStressFromCubicElasticity(double* stress, const double* endstran, const double* props,
                                  const i32* ntens, const i32* ndi, const i32* nprops,
                                  const double*, const i32*) {
    const i32 n = *ntens;
    if (!usable(stress, nullptr, n, *ndi, *nprops, 2, "GetStressFromCubicElasticity")) return;
    const double temp = props[0], degr = props[1];
    const Split s = split(endstran, n);
    M3 v{}, nrm{}, h = s.e;  // volumetric, deviatoric normal and shear parts
    for (int i = 0; i < 9; i += 4) {
        v[i] = s.tr / 3.0;
        nrm[i] = s.e[i] - v[i];
        h[i] = 0.0;
    }
    const i32 three = 3;
    const double sign = std::signbit(s.tr) ? -1.0 : 1.0;
    const double xv = sign * math::MatrixNorm(v.data(), &three, &three);
    const double xn = sign * math::MatrixNorm(nrm.data(), &three, &three);
    const double xs = math::MatrixNorm(h.data(), &three, &three);
    const double alpha1 = curve(materialdata::alpha1props, materialdata::nalpha1data, xv, temp);
    const double alpha2 = curve(materialdata::alpha2props, materialdata::nalpha2data, xn, temp);
    const double alpha3 = curve(materialdata::alpha3props, materialdata::nalpha3data, xs, temp);
    M3 tensor;
    for (int i = 0; i < 9; ++i)
        tensor[i] = degr * (alpha1 * v[i] + alpha2 * nrm[i] + alpha3 * h[i]);
    store_nye(stress, tensor, n);
}

}  // extern "C"
}  // namespace vorlen::elasticity
