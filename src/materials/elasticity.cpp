// Numerical tangent of stress laws given as routines, and the linear laws that serve as such.
#include "materials/elasticity.hpp"

#include <algorithm>
#include <cmath>
#include <type_traits>

#include "base/errorhandling.hpp"
#include "core/math_products.hpp"
#include "core/math_tabulated.hpp"
#include "core/utility_shape.hpp"
#include "base/work.hpp"
#include "materials/lamina_stiffness.hpp"

namespace vorlen::elasticity {
namespace {

// y(n) = K x with K(n,n) column-major; y may be x itself.
template <class T>
void product(const double* k, const T* x, T* y, i32 n) {
    const Mat<const double> kk(k, n, n);
    Work<T, 6> out(n);
    for (i64 j = 1; j <= n; ++j)
        for (i64 i = 1; i <= n; ++i) out(i) += kk(i, j) * x[j - 1];
    std::copy_n(out.data(), n, y);
}

// The linear anisotropic law in real or complex arithmetic; the two read a packed K differently.
template <class T>
void anisotropic_stress(T* stress, const T* strain, const double* props, i32 n, i32 np) {
    if (n <= 0) return;
    if (np >= i64{n} * n) return product(props, strain, stress, n);
    if constexpr (std::is_same_v<T, double>) {
        Work<double, 6> out(n);
        math::LUMatrixVectorProduct(props, strain, out.data(), &np, &n);
        std::copy_n(out.data(), n, stress);
    } else {
        if (np < i64{n} * (n + 1) / 2) {  // the packed triangle would run past props
            std::fill_n(stress, n, T{});
            errorhandling::report(
                -3,
                "Packed matrix shorter than n(n+1)/2 in cGetStressFromAnisotropicHyperelasticity");
            return;
        }
        Work<double, 36> lu(i64{n} * n), k(i64{n} * n);
        utility::GetUnpackedTriangle(lu.data(), props, &n, &np, "F", nullptr);
        utility::Symmetrize(lu.data(), k.data(), &n);
        product(k.data(), strain, stress, n);
    }
}

// The vector at which the tangent is taken: dstrain, its shear entries ndi+1..n doubled when
// istensor is true.
void tangent_strain(double* strain, const double* dstrain, i64 n, const i32* ndi,
                    const lgl* istensor) {
    for (i64 i = 1; i <= n; ++i)
        strain[i - 1] = dstrain[i - 1] * (*istensor && i > *ndi ? 2.0 : 1.0);
}

// The step: h when given, else 2^-26 times the largest magnitude of the strain (a strain of only
// negative entries has a step too); a step of exactly 0 becomes 1e-8.
double tangent_step(const double* strain, i64 n, const double* h) {
    double delta = 0.0;
    if (h) {
        delta = *h;
    } else {
        for (i64 i = 0; i < n; ++i) delta = std::max(delta, std::abs(strain[i]));
        delta *= 1.4901161193847656e-08;
    }
    return delta == 0.0 ? 1e-08 : delta;
}

// Central differences of a real law of N components (the solvers' 1 to 6) without a reference
// tangent, every vector on the stack: each law call gets a fresh copy of the strain and a stress
// vector of its own whose N entries are zero, both with room for N complex numbers (a law of the
// other kind stays inside; the strain's room is zero), and the stresses are read only after the
// last call (a stress read right after the law stored it waits for the stores). Column j is
// (0 + law(x + delta e_j)) - law(x - delta e_j) divided by 2 delta, the sums of the general path
// in its order.
template <int N>
void central_tangent(double* ddsdde, StressLaw* law, const double* props, const double* dstrain,
                     const i32* ndi, const i32* nprops, const lgl* istensor, const double* h) {
    i32 n = N;
    double strain[N];
    tangent_strain(strain, dstrain, N, ndi, istensor);
    const double delta = tangent_step(strain, N, h);
    double x[2 * N], s[2 * N][2 * N];  // s[2 j] at x + delta e_j, s[2 j + 1] at x - delta e_j
    std::fill_n(x + N, N, 0.0);
    for (int k = 0; k < 2 * N; ++k) {
        for (int i = 0; i < N; ++i) x[i] = strain[i], s[k][i] = 0.0;
        x[k / 2] += k % 2 ? -delta : delta;
        law(s[k], x, props, &n, ndi, nprops);
    }
    const double divisor = 2.0 * delta;
    for (int j = 0; j < N; ++j)
        for (int i = 0; i < N; ++i)
            ddsdde[i + N * j] = (0.0 + s[2 * j][i] - s[2 * j + 1][i]) / divisor;
}

}  // namespace

extern "C" {

void elasticity_getnumericaltangent(double* ddsdde, StressLaw* getstressfromelasticity,
                                    const double* props, const double* stress1,
                                    const double* stress0, const double* dstrain, const i32* ntens,
                                    const i32* ndi, const i32* nprops, const lgl* istensor,
                                    const double* tgref, const double* h, const i32* nmflag) {
    i32 n = std::max<i32>(*ntens, 0);
    if (n == 0) return;
    const i64 nn = i64{n} * n;
    const bool complex_step = nmflag && *nmflag == 1;
    const bool reference =
        tgref && std::any_of(tgref, tgref + nn, [](double t) { return t != 0.0; });
    if (!complex_step && !reference && getstressfromelasticity && n <= 6) {
        using Kernel = decltype(&central_tangent<1>);
        static constexpr Kernel kernels[] = {central_tangent<1>, central_tangent<2>,
                                             central_tangent<3>, central_tangent<4>,
                                             central_tangent<5>, central_tangent<6>};
        return kernels[n - 1](ddsdde, getstressfromelasticity, props, dstrain, ndi, nprops,
                              istensor, h);
    }
    Work<double, 6> strain(n);
    tangent_strain(strain.data(), dstrain, n, ndi, istensor);
    const double delta = tangent_step(strain.data(), n, h);
    if (reference) {
        Work<double, 6> dstress(n), predicted(n);
        for (i64 i = 1; i <= n; ++i) dstress(i) = stress1[i - 1] - stress0[i - 1];
        math::MatrixVectorProduct(tgref, strain.data(), predicted.data(), &n, &n);
        if (std::equal(predicted.data(), predicted.data() + n, dstress.data())) {
            std::copy_n(tgref, nn, ddsdde);
            return;
        }
    }
    if (!getstressfromelasticity) {
        errorhandling::report(-3, "Error: No stress law given to the numerical tangent.");
        std::fill_n(ddsdde, nn, 0.0);
        return;
    }
    Work<double, 36> dy(nn);
    Mat<double> columns(dy.data(), n, n);
    // Room for ntens complex numbers in both methods: a law of the other kind stays inside.
    Work<std::complex<double>, 6> x(n), s(n);
    double divisor;
    if (complex_step) {
        auto* law = reinterpret_cast<ComplexStressLaw*>(getstressfromelasticity);
        for (i64 j = 1; j <= n; ++j) {
            for (i64 i = 1; i <= n; ++i) x(i) = strain(i), s(i) = 0.0;
            x(j) += std::complex<double>(0.0, delta);
            law(s.data(), x.data(), props, &n, ndi, nprops);
            for (i64 i = 1; i <= n; ++i) columns(i, j) = s(i).imag();
        }
        divisor = delta;
    } else {
        double* xr = reinterpret_cast<double*>(x.data());
        double* sr = reinterpret_cast<double*>(s.data());
        for (i64 j = 1; j <= n; ++j) {
            for (const double side : {1.0, -1.0}) {
                std::copy_n(strain.data(), n, xr);
                std::fill_n(sr, n, 0.0);
                xr[j - 1] += side * delta;
                getstressfromelasticity(sr, xr, props, &n, ndi, nprops);
                for (i64 i = 1; i <= n; ++i) columns(i, j) += side * sr[i - 1];
            }
        }
        divisor = 2.0 * delta;
    }
    Work<double, 6> steps(n);
    std::fill_n(steps.data(), n, divisor);
    math::Gradient(ddsdde, dy.data(), steps.data(), &n, &n);
}

void fGetStressFromAnisotropicHyperelasticity(double* stress, const double* strain,
                                              const double* props, const i32* ntens,
                                              const i32* /*ndi*/, const i32* nprops) {
    anisotropic_stress(stress, strain, props, *ntens, *nprops);
}

void cGetStressFromAnisotropicHyperelasticity(std::complex<double>* stress,
                                              const std::complex<double>* strain,
                                              const double* props, const i32* ntens,
                                              const i32* /*ndi*/, const i32* nprops) {
    anisotropic_stress(stress, strain, props, *ntens, *nprops);
}

void GetStressFromOrthotropicElasticity(double* stress, const double* strain, const double* props,
                                        const i32* ntens, const i32* ndi, const i32* nprops) {
    const i32 n = std::max<i32>(*ntens, 0), stiffness = 1;
    const lgl unsymm = 1, secant = 1, tensor = 0;
    Work<double, 36> k(i64{n} * n);
    lamina::GetGeneralizedNyeOnAxisSC(k.data(), props, &n, nprops, &stiffness, nullptr, nullptr,
                                      &unsymm);
    Work<double, 6> zero(n), out(n);
    lamina::GetStressVector(out.data(), k.data(), strain, zero.data(), ndi, &n, &secant, &tensor);
    std::copy_n(out.data(), n, stress);
}

void GetComponentsTensionCompression(const double* full_set, double* reduced_set,
                                     const double* criterion) {
    double r[6];
    for (int i = 0; i < 3; ++i) r[i] = criterion[i] > 0.0 ? full_set[2 * i] : full_set[2 * i + 1];
    for (int i = 3; i < 6; ++i) r[i] = full_set[3 + i];
    std::copy_n(r, 6, reduced_set);
}
}

}  // namespace vorlen::elasticity
