// Six-component notations of symmetric tensors and their conversions.
#include "materials/lamina_notation.hpp"

#include <array>

#include "base/errorhandling.hpp"
#include "base/work.hpp"

namespace vorlen::lamina {
namespace {

using Perm = std::array<int, 6>;

void six_of_matrix(double* v, const double* q, const int (&pairs)[3][2]) {
    const Mat<const double> a(q, 3, 3);
    Vec<double> out(v, 6);
    for (int i = 1; i <= 3; ++i) out(i) = a(i, i);
    for (int k = 0; k < 3; ++k) out(4 + k) = a(pairs[k][0], pairs[k][1]);  // upper triangle
}

// Voigt position of the index pair (i, j).
constexpr int voigt_index[3][3] = {{1, 6, 5}, {6, 2, 4}, {5, 4, 3}};
constexpr int V(int i, int j) { return voigt_index[i - 1][j - 1]; }

// fn = q with rows (and for a matrix columns) reordered by p, after the extent checks. fn may
// be q itself (a flip in place): q is read from a copy then.
void flip(double* fn, const double* q_, i32 sdim, i32 nq, const Perm& p, const char* message) {
    if (sdim != 1 && sdim != 6) {
        errorhandling::report(-2, message);
        return;
    }
    if (nq < sdim) {  // q has fewer columns than sdim asks for
        errorhandling::report(-3, message);
        return;
    }
    const Unaliased<double, 36> q(q_, 6 * sdim, fn, 6 * sdim);
    const Mat<const double> a(q.data(), 6, sdim);
    Mat<double> f(fn, 6, sdim);
    if (sdim == 1) {
        for (int i = 1; i <= 6; ++i) f(i, 1) = a(p[i - 1], 1);
    } else {
        for (int j = 1; j <= 6; ++j)
            for (int i = 1; i <= 6; ++i) f(i, j) = a(p[i - 1], p[j - 1]);
    }
}

}  // namespace

extern "C" {

void CauchyNotation(double* cn, const double* qv) {
    Mat<double> c(cn, 3, 3);
    const Vec<const double> v(qv, 6);
    for (int j = 1; j <= 3; ++j)
        for (int i = 1; i <= 3; ++i) c(i, j) = v(V(i, j));
}

void VoigtNotation(double* vn, const double* q) { six_of_matrix(vn, q, pairs_voigt); }
void NyeNotation(double* nn, const double* q) { six_of_matrix(nn, q, pairs_nye); }
void CyclicNotation(double* cn, const double* q) { six_of_matrix(cn, q, pairs_cyclic); }

void FlipVoigtNyeNotation(double* fn, const double* q, const i32* sdim, const i32* nq) {
    static constexpr Perm p = {1, 2, 3, 6, 5, 4};
    flip(fn, q, *sdim, *nq, p, "Unsupported extents of Q in FlipVoigtNyeNotation");
}

void FlipVoigtCyclicNotation(double* fn, const double* q, const i32* sdim, const i32* dir,
                             const i32* nq) {
    Perm r = {1, 2, 3, 0, 0, 0};
    for (int i = 1; i <= 3; ++i) {
        const i64 m = ((i - 1 + static_cast<i64>(*dir)) % 3 + 3) % 3;  // non-negative modulo
        r[2 + i] = 4 + static_cast<int>(m);
    }
    flip(fn, q, *sdim, *nq, r, "Unsupported extents of Q inFlipVoigtCyclicNotation");
}

void GetTensorFromVoigtStiffness(double* c_4th, const double* csix) {
    View<double, 4> t(c_4th, 3, 3, 3, 3);
    const Mat<const double> c(csix, 6, 6);
    for (int l = 1; l <= 3; ++l)
        for (int k = 1; k <= 3; ++k)
            for (int j = 1; j <= 3; ++j)
                for (int i = 1; i <= 3; ++i) t(i, j, k, l) = c(V(i, j), V(k, l));
}

void GetVoigtStiffnessFromTensor(double* csix, const double* c_4th) {
    const View<const double, 4> t(c_4th, 3, 3, 3, 3);
    Mat<double> c(csix, 6, 6);
    for (double& x : c) x = 0.0;
    for (int l = 1; l <= 3; ++l)
        for (int k = 1; k <= l; ++k)
            for (int j = 1; j <= 3; ++j)
                for (int i = 1; i <= j; ++i) c(V(i, j), V(k, l)) = t(i, j, k, l);
}

}  // extern "C"
}  // namespace vorlen::lamina
