// Pressure-dependent plasticity: yield and potential gradients and the predictor-corrector
// stress update with its trace on standard output.
#include "materials/elasticity_plasticity.hpp"

#include <algorithm>
#include <array>
#include <cmath>

#include "base/errorhandling.hpp"
#include "core/math_linalg.hpp"
#include "core/math_norms.hpp"
#include "core/math_products.hpp"
#include "base/units.hpp"
#include "materials/lamina_measures.hpp"

namespace vorlen::elasticity {
namespace {

using V6 = std::array<double, 6>;
using M6 = std::array<double, 36>;

// Positions in (11, 22, 33, 12, 13, 23) of the entries of a vector of n entries; null for a
// count without a layout.
const int* layout(i32 n) {
    static constexpr int plane[] = {0, 1, 3}, reduced[] = {0, 1, 2, 3}, full[] = {0, 1, 2, 3, 4, 5};
    return n == 3 ? plane : n == 4 ? reduced : n == 6 ? full : nullptr;
}

// Gradient of vm^2 plus a function of the trace I1 whose derivative is shift + slope I1:
// (2 s11 - s22 - s33 + d, ..., 6 s12, 6 s13, 6 s23) in the layout of s(n). A count without a
// layout gives zeros with code -3.
void gradient(double* r, const double* s, i32 n, double shift, double slope, const char* message) {
    const int* at = layout(n);
    if (!at) {
        std::fill_n(r, std::max<i32>(n, 0), 0.0);
        errorhandling::report(-3, message);
        return;
    }
    V6 c{};
    for (i32 k = 0; k < n; ++k) c[at[k]] = s[k];
    const double d = shift + slope * (c[0] + c[1] + c[2]);
    const V6 g = {2.0 * c[0] - c[1] - c[2] + d,
                  2.0 * c[1] - c[0] - c[2] + d,
                  2.0 * c[2] - c[0] - c[1] + d,
                  6.0 * c[3],
                  6.0 * c[4],
                  6.0 * c[5]};
    for (i32 k = 0; k < n; ++k) r[k] = g[at[k]];
}

constexpr const char* kCountF = "Stress vector of other than 3, 4 or 6 entries in getderivatef";
constexpr const char* kCountG = "Stress vector of other than 3, 4 or 6 entries in getderivateg";

void line(const char* label) { io::write_list(6, {label}); }
void line(const char* label, double value) { io::write_list(6, {label, value}); }
void line(const char* label, const double* values, i64 n) {
    io::write_list(6, {label, io::Item::reals(values, n)});
}

// The constants of the law and the elastic stiffness K(n,n) of one increment.
struct Law {
    double a0, a1, alpha;
    i32 n;
    M6 k{};

    // Yield function vm^2 - a0 - a1 p.
    double yield(const double* s) const {
        const double vm = lamina::GetMisesStress(s, &n);
        return vm * vm - a0 - a1 * lamina::GetHydrostaticPressure(s, &n);
    }
    V6 nf(const double* s) const {
        V6 r{};
        gradient(r.data(), s, n, -a1 / 3.0, 0.0, kCountF);
        return r;
    }
    V6 ng(const double* s) const {
        V6 r{};
        gradient(r.data(), s, n, 0.0, 0.2222222222222222 * alpha, kCountG);
        return r;
    }
    V6 times(const V6& x) const {  // K x
        V6 y{};
        math::MatrixVectorProduct(k.data(), x.data(), y.data(), &n, &n);
        return y;
    }
    double dot(const V6& a, const V6& b) const {
        double c;
        math::DotProduct(a.data(), b.data(), &c, &n);
        return c;
    }
    double norm(const V6& a) const { return math::VectorNorm(a.data(), &n); }
};

}  // namespace

extern "C" {

void elasticity_getderivatef(double* r, const double* stressvector, const i32* nstress,
                             const double*, const double* a1) {
    gradient(r, stressvector, *nstress, -*a1 / 3.0, 0.0, kCountF);
}

void elasticity_getderivateg(double* r, const double* stressvector, const i32* nstress,
                             const double* alpha) {
    gradient(r, stressvector, *nstress, 0.0, 0.2222222222222222 * *alpha, kCountG);
}

void elasticity_getstressfromplastitcity(double* stress, double* neweqplasticstrain, double* ddsdde,
                                         const double* stran, const double* dstran,
                                         const double* props, const i32* ntens, const i32* ndi,
                                         const i32* nprops, const double*) {
    const i32 n = *ntens;
    if ((n != 4 && n != 6) || *ndi != 3 || *nprops < 8) {
        const i64 m = std::max<i32>(n, 0);
        std::fill_n(stress, m, 0.0);
        std::fill_n(ddsdde, m * m, 0.0);
        errorhandling::report(-3, "Unsupported ntens or ndi, or fewer than 8 properties in "
                                  "getstressfromplastitcity");
        return;
    }
    // Every input is read before an output is written: they may share storage.
    line("START PLASTICITY CALCULATION");
    const double et = props[0], ec = props[1], g = props[2], nut = props[3], nuc = props[4];
    Law law{props[5], props[6], props[7], n};
    V6 strains{}, dstrains{}, s0{};
    for (i32 i = 0; i < n; ++i) {
        const double half = i >= 3 ? 0.5 : 1.0;
        strains[i] = (stran[i] + dstran[i]) * half;
        dstrains[i] = dstran[i] * half;
        s0[i] = stress[i];
    }
    const double e0 = *neweqplasticstrain;
    const bool tension = lamina::GetTrace(strains.data(), &n) >= 0.0;
    const double e = tension ? et : ec, nu = tension ? nut : nuc;
    const double a16 = law.a1 / 6.0;
    line("E", e);
    line("G", g);
    line("nu", nu);
    line("a0", law.a0);
    line("a1", law.a1);
    line("alpha", law.alpha);
    line("S11 Yield", a16 + std::sqrt(a16 * a16 + law.a0));

    line("Elastic predictor");
    Mat<double> k(law.k.data(), n, n);
    const double h = (1.0 - 2.0 * nu) * (1.0 + nu);
    for (int j = 1; j <= 3; ++j)
        for (int i = 1; i <= 3; ++i) k(i, j) = (i == j ? 1.0 - nu : nu) * e / h;
    for (int i = 4; i <= n; ++i) k(i, i) = 2.0 * g;
    line("Stiffness Matrix", law.k.data(), i64{n} * n);
    V6 st = law.times(dstrains);
    for (i32 i = 0; i < n; ++i) st[i] += s0[i];
    M6 kinv;
    math::MatrixInverse(law.k.data(), kinv.data(), &n);
    line("Elastic Stresses", st.data(), n);

    double f = law.yield(st.data());
    line("Fliessen?", f);
    V6 s = st;
    M6 tangent = law.k;
    double eqplastic = e0;
    if (!(f <= 0.0)) {
        line("Plastic Corrector");
        const double tol = static_cast<double>(1e-4f);
        double dlambda = 0.0;
        int passes = 0;
        do {
            ++passes;
            f = law.yield(s.data());
            const V6 kng = law.times(law.ng(s.data()));
            dlambda = f / law.dot(law.nf(s.data()), kng);
            line("dlambda_np1", dlambda);
            for (i32 i = 0; i < n; ++i) s[i] -= dlambda * kng[i];
            f = law.yield(s.data());
            line("flow", f);
        } while (!(std::abs(f) <= tol) && passes < 10);
        if (!(std::abs(f) <= tol))
            errorhandling::report(-1, "Plastic corrector not converged in 10 passes in "
                                      "getstressfromplastitcity");

        V6 plastic{};
        for (i32 i = 0; i < n; ++i) plastic[i] = st[i] - s[i];
        line("Plastic Stress", plastic.data(), n);
        io::write_list(6, {"plastische Iterationen ", passes});

        V6 dep{};
        math::MatrixVectorProduct(kinv.data(), plastic.data(), dep.data(), &n, &n);
        const V6 ng = law.ng(s.data()), nf = law.nf(s.data());
        const double ngnorm = law.norm(ng), depnorm = law.norm(dep);
        const double r = (9.0 - 2.0 * law.alpha) / (2.0 * law.alpha + 18.0);
        line("plastic strain update", e0 + dlambda * ngnorm);
        line("plastic strain update", e0 + depnorm / std::sqrt(r * r + 1.0));
        eqplastic = e0 + depnorm / ngnorm * ngnorm;
        line("plastic strain update", eqplastic);

        const V6 kng = law.times(ng);
        const double factor = 1.0 - law.dot(ng, kng) / law.dot(nf, kng);
        for (i64 i = 0; i < i64{n} * n; ++i) tangent[i] *= factor;
    }
    line("Stresses", s.data(), n);
    line("newEqPlasticStrain", eqplastic);
    line("Tangente", tangent.data(), i64{n} * n);
    std::copy_n(s.data(), n, stress);
    *neweqplasticstrain = eqplastic;
    std::copy_n(tangent.data(), i64{n} * n, ddsdde);
}

}  // extern "C"
}  // namespace vorlen::elasticity
