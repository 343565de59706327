// Array initialisation: zeroed and scalar-filled arrays, special matrices and vectors, copies.
// These helpers keep no state, report nothing and write only the arrays passed to them.
#pragma once
#include <complex>

#include "base/view.hpp"

namespace vorlen::utility {
extern "C" {

// Zeroed arrays. a(out) of the given extents, every entry set to 0.0; an extent of 0 or less
// writes nothing.
void IniVectorwithZeros(double* a, const i32* n);
void IniMatrixwithZeros(double* a, const i32* n, const i32* m);
void Ini3DArraywithZeros(double* a, const i32* l, const i32* m, const i32* n);
void Ini4DArraywithZeros(double* a, const i32* l, const i32* m, const i32* n, const i32* o);
void Ini5DArraywithZeros(double* a, const i32* l, const i32* m, const i32* n, const i32* o,
                         const i32* p);
void Ini6DArraywithZeros(double* a, const i32* l, const i32* m, const i32* n, const i32* o,
                         const i32* p, const i32* q);
void IniMaxDArraywithZeros(double* a, const i32* l, const i32* m, const i32* n, const i32* o,
                           const i32* p, const i32* q, const i32* r);

// Fill with a scalar. a(in/out) an array of any shape, its extents n1..nR following the
// scalar; every element is set to lambda(in).
void utility_real_fillvectorwithscalar(double* a, const double* lambda, const i32* n1);
void utility_real_fillmatrixwithscalar(double* a, const double* lambda, const i32* n1,
                                       const i32* n2);
void utility_real_fill3darraywithscalar(double* a, const double* lambda, const i32* n1,
                                        const i32* n2, const i32* n3);
void utility_real_fill4darraywithscalar(double* a, const double* lambda, const i32* n1,
                                        const i32* n2, const i32* n3, const i32* n4);
void utility_real_fill5darraywithscalar(double* a, const double* lambda, const i32* n1,
                                        const i32* n2, const i32* n3, const i32* n4, const i32* n5);
void utility_real_fill6darraywithscalar(double* a, const double* lambda, const i32* n1,
                                        const i32* n2, const i32* n3, const i32* n4, const i32* n5,
                                        const i32* n6);
void utility_real_fill7darraywithscalar(double* a, const double* lambda, const i32* n1,
                                        const i32* n2, const i32* n3, const i32* n4, const i32* n5,
                                        const i32* n6, const i32* n7);
void utility_int_fillvectorwithscalar(i32* a, const i32* lambda, const i32* n1);
void utility_int_fillmatrixwithscalar(i32* a, const i32* lambda, const i32* n1, const i32* n2);
void utility_int_fill3darraywithscalar(i32* a, const i32* lambda, const i32* n1, const i32* n2,
                                       const i32* n3);
void utility_int_fill4darraywithscalar(i32* a, const i32* lambda, const i32* n1, const i32* n2,
                                       const i32* n3, const i32* n4);
void utility_int_fill5darraywithscalar(i32* a, const i32* lambda, const i32* n1, const i32* n2,
                                       const i32* n3, const i32* n4, const i32* n5);
void utility_int_fill6darraywithscalar(i32* a, const i32* lambda, const i32* n1, const i32* n2,
                                       const i32* n3, const i32* n4, const i32* n5, const i32* n6);
void utility_int_fill7darraywithscalar(i32* a, const i32* lambda, const i32* n1, const i32* n2,
                                       const i32* n3, const i32* n4, const i32* n5, const i32* n6,
                                       const i32* n7);

// a(n,n)(out) lambda(in) on the diagonal, 0.0 elsewhere.
void GetScalarMatrix(double* a, const i32* n, const double* lambda);
// a(n,n)(out) the identity.
void GetIdentityMatrix(double* a, const i32* n);
// a(n,n)(out) zeros with ones on the k-th diagonal (k > 0 above the main diagonal, k < 0
// below); k(in, optional) 0 when absent; a zero matrix when abs(k) >= n.
void GetEyeMatrix(double* a, const i32* k, const i32* n);
// lu(n,n)(out) the lower triangle of a(n,n)(in) with its diagonal, zeros above; with
// luflag(in, optional) present and true the upper triangle with its diagonal, zeros below.
void GetTriangularMatrix(double* lu, const double* a, const i32* n, const lgl* luflag);
// a(n)(out) a(i) = i.
void GetIndexVector(i32* a, const i32* n);
// x(n)(out) evenly spaced values from a(in): step (b-a)/(n-1) with the end point b included
// (endpoint(in, optional) absent or true), (b-a)/n without it. A single value is a.
void Linspace(double* x, const double* a, const double* b, const i32* n, const lgl* endpoint);

// Copies. b(n)(out) = a(n)(in).
void fVectorCopy(const double* a, double* b, const i32* n);
void iVectorCopy(const i32* a, i32* b, const i32* n);
void cVectorCopy(const std::complex<double>* a, std::complex<double>* b, const i32* n);
// b(n,m)(out) = a(n,m)(in).
void MatrixCopy(const double* a, double* b, const i32* n, const i32* m);
// matrix(n,m)(out) filled column by column from list(n*m)(in).
void GetUnpackedMatrixFromList(double* matrix, const double* list, const i32* n, const i32* m);

} // extern "C"
} // namespace vorlen::utility
