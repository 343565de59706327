// Array initialisation, scalar fills, special matrices and copies of module utility.
#include "core/utility_fill.hpp"

#include <algorithm>
#include <cstdlib>

#include "core/utility_extent.hpp"

using namespace vorlen;
using vorlen::utility::detail::entries;

namespace {

// One fill for every element type and rank: the array is contiguous, so its rank only
// matters through the number of entries.
template <class T, class... E>
void fill(T* a, const T* lambda, const E*... ext) {
    std::fill_n(a, entries({*ext...}), *lambda);
}

template <class... E>
void zeros(double* a, const E*... ext) {
    const double zero = 0.0;
    fill(a, &zero, ext...);
}

template <class T>
void copy(const T* a, T* b, i64 n) {
    if (n > 0) std::copy_n(a, n, b);
}

} // namespace

namespace vorlen::utility {
extern "C" {

void IniVectorwithZeros(double* a, const i32* n) { zeros(a, n); }
void IniMatrixwithZeros(double* a, const i32* n, const i32* m) { zeros(a, n, m); }
void Ini3DArraywithZeros(double* a, const i32* l, const i32* m, const i32* n) { zeros(a, l, m, n); }
void Ini4DArraywithZeros(double* a, const i32* l, const i32* m, const i32* n, const i32* o) {
    zeros(a, l, m, n, o);
}
void Ini5DArraywithZeros(double* a, const i32* l, const i32* m, const i32* n, const i32* o,
                         const i32* p) {
    zeros(a, l, m, n, o, p);
}
void Ini6DArraywithZeros(double* a, const i32* l, const i32* m, const i32* n, const i32* o,
                         const i32* p, const i32* q) {
    zeros(a, l, m, n, o, p, q);
}
void IniMaxDArraywithZeros(double* a, const i32* l, const i32* m, const i32* n, const i32* o,
                           const i32* p, const i32* q, const i32* r) {
    zeros(a, l, m, n, o, p, q, r);
}

void utility_real_fillvectorwithscalar(double* a, const double* lambda, const i32* n1) {
    fill(a, lambda, n1);
}
void utility_real_fillmatrixwithscalar(double* a, const double* lambda, const i32* n1,
                                       const i32* n2) {
    fill(a, lambda, n1, n2);
}
void utility_real_fill3darraywithscalar(double* a, const double* lambda, const i32* n1,
                                        const i32* n2, const i32* n3) {
    fill(a, lambda, n1, n2, n3);
}
void utility_real_fill4darraywithscalar(double* a, const double* lambda, const i32* n1,
                                        const i32* n2, const i32* n3, const i32* n4) {
    fill(a, lambda, n1, n2, n3, n4);
}
void utility_real_fill5darraywithscalar(double* a, const double* lambda, const i32* n1,
                                        const i32* n2, const i32* n3, const i32* n4,
                                        const i32* n5) {
    fill(a, lambda, n1, n2, n3, n4, n5);
}
void utility_real_fill6darraywithscalar(double* a, const double* lambda, const i32* n1,
                                        const i32* n2, const i32* n3, const i32* n4, const i32* n5,
                                        const i32* n6) {
    fill(a, lambda, n1, n2, n3, n4, n5, n6);
}
void utility_real_fill7darraywithscalar(double* a, const double* lambda, const i32* n1,
                                        const i32* n2, const i32* n3, const i32* n4, const i32* n5,
                                        const i32* n6, const i32* n7) {
    fill(a, lambda, n1, n2, n3, n4, n5, n6, n7);
}
void utility_int_fillvectorwithscalar(i32* a, const i32* lambda, const i32* n1) {
    fill(a, lambda, n1);
}
void utility_int_fillmatrixwithscalar(i32* a, const i32* lambda, const i32* n1, const i32* n2) {
    fill(a, lambda, n1, n2);
}
void utility_int_fill3darraywithscalar(i32* a, const i32* lambda, const i32* n1, const i32* n2,
                                       const i32* n3) {
    fill(a, lambda, n1, n2, n3);
}
void utility_int_fill4darraywithscalar(i32* a, const i32* lambda, const i32* n1, const i32* n2,
                                       const i32* n3, const i32* n4) {
    fill(a, lambda, n1, n2, n3, n4);
}
void utility_int_fill5darraywithscalar(i32* a, const i32* lambda, const i32* n1, const i32* n2,
                                       const i32* n3, const i32* n4, const i32* n5) {
    fill(a, lambda, n1, n2, n3, n4, n5);
}
void utility_int_fill6darraywithscalar(i32* a, const i32* lambda, const i32* n1, const i32* n2,
                                       const i32* n3, const i32* n4, const i32* n5, const i32* n6) {
    fill(a, lambda, n1, n2, n3, n4, n5, n6);
}
void utility_int_fill7darraywithscalar(i32* a, const i32* lambda, const i32* n1, const i32* n2,
                                       const i32* n3, const i32* n4, const i32* n5, const i32* n6,
                                       const i32* n7) {
    fill(a, lambda, n1, n2, n3, n4, n5, n6, n7);
}

void GetScalarMatrix(double* a, const i32* n, const double* lambda) {
    zeros(a, n, n);
    const Mat<double> m = mat(a, n, n);
    for (i64 i = 1; i <= m.extent(1); ++i) m(i, i) = *lambda;
}

void GetIdentityMatrix(double* a, const i32* n) {
    const double one = 1.0;
    GetScalarMatrix(a, n, &one);
}

void GetEyeMatrix(double* a, const i32* k, const i32* n) {
    zeros(a, n, n);
    const Mat<double> m = mat(a, n, n);
    const i64 d = k ? *k : 0, nn = m.extent(1);
    if (std::abs(d) >= nn) return;
    if (d >= 0)
        for (i64 i = 1; i <= nn - d; ++i) m(i, i + d) = 1.0;
    else
        for (i64 i = 1; i <= nn + d; ++i) m(i - d, i) = 1.0;
}

void GetTriangularMatrix(double* lu, const double* a, const i32* n, const lgl* luflag) {
    const Mat<double> t = mat(lu, n, n);
    const Mat<const double> s = mat(a, n, n);
    const bool upper = luflag && *luflag;
    for (i64 j = 1; j <= t.extent(2); ++j)
        for (i64 i = 1; i <= t.extent(1); ++i) t(i, j) = (upper ? i <= j : i >= j) ? s(i, j) : 0.0;
}

void GetIndexVector(i32* a, const i32* n) {
    // A 64-bit counter: with n the largest 32-bit value, ++i would overflow before the test.
    for (i64 i = 1; i <= *n; ++i) a[i - 1] = static_cast<i32>(i);
}

void Linspace(double* x, const double* a, const double* b, const i32* n, const lgl* endpoint) {
    if (*n <= 0) return;
    const bool withend = !endpoint || *endpoint;
    // A single point with the end point has no step: the value is the start, not 0/0.
    if (withend && *n == 1) {
        x[0] = *a;
        return;
    }
    const double dx = (*b - *a) / static_cast<double>(withend ? *n - 1 : *n);
    for (i64 i = 1; i <= *n; ++i) x[i - 1] = static_cast<double>(i - 1) * dx + *a;
}

void fVectorCopy(const double* a, double* b, const i32* n) { copy(a, b, *n); }
void iVectorCopy(const i32* a, i32* b, const i32* n) { copy(a, b, *n); }
void cVectorCopy(const std::complex<double>* a, std::complex<double>* b, const i32* n) {
    copy(a, b, *n);
}

void MatrixCopy(const double* a, double* b, const i32* n, const i32* m) {
    copy(a, b, entries({*n, *m}));
}

void GetUnpackedMatrixFromList(double* matrix, const double* list, const i32* n, const i32* m) {
    copy(list, matrix, entries({*n, *m}));
}

} // extern "C"
} // namespace vorlen::utility
