// The Fortran LAPACK and BLAS routines the library calls: every argument by reference, column-major
// storage, and one trailing hidden length per character argument (the routines' own convention).
// LAPACK ends the process on an argument it rejects: callers check extents and flags first.
#pragma once
#include <cstddef>

#include "base/view.hpp"

extern "C" {

// LU factorisation with partial pivoting, a = P·L·U.
void dgetrf_(const vorlen::i32* m, const vorlen::i32* n, double* a, const vorlen::i32* lda,
             vorlen::i32* ipiv, vorlen::i32* info);
// Inverse from the factors of dgetrf; lwork >= max(1, n).
void dgetri_(const vorlen::i32* n, double* a, const vorlen::i32* lda, const vorlen::i32* ipiv,
             double* work, const vorlen::i32* lwork, vorlen::i32* info);
// Solution of a x = b (trans "N") from the factors of dgetrf; b(ldb, nrhs) is overwritten by x.
void dgetrs_(const char* trans, const vorlen::i32* n, const vorlen::i32* nrhs, const double* a,
             const vorlen::i32* lda, const vorlen::i32* ipiv, double* b, const vorlen::i32* ldb,
             vorlen::i32* info, std::size_t trans_len);
// Reduction of a symmetric matrix to tridiagonal form; lwork = -1 asks for the optimal size.
void dsytrd_(const char* uplo, const vorlen::i32* n, double* a, const vorlen::i32* lda, double* d,
             double* e, double* tau, double* work, const vorlen::i32* lwork, vorlen::i32* info,
             std::size_t uplo_len);
// Eigenvalues of a symmetric tridiagonal matrix, ascending into d.
void dsterf_(const vorlen::i32* n, double* d, double* e, vorlen::i32* info);
// Eigenvalues and eigenvectors of a symmetric matrix; lwork = -1 asks for the optimal size.
void dsyev_(const char* jobz, const char* uplo, const vorlen::i32* n, double* a,
            const vorlen::i32* lda, double* w, double* work, const vorlen::i32* lwork,
            vorlen::i32* info, std::size_t jobz_len, std::size_t uplo_len);
// Singular value decomposition a = U·S·Vᵀ; lwork = -1 asks for the optimal size.
void dgesvd_(const char* jobu, const char* jobvt, const vorlen::i32* m, const vorlen::i32* n,
             double* a, const vorlen::i32* lda, double* s, double* u, const vorlen::i32* ldu,
             double* vt, const vorlen::i32* ldvt, double* work, const vorlen::i32* lwork,
             vorlen::i32* info, std::size_t jobu_len, std::size_t jobvt_len);
// Cholesky factorisation of a symmetric positive definite matrix.
void dpotrf_(const char* uplo, const vorlen::i32* n, double* a, const vorlen::i32* lda,
             vorlen::i32* info, std::size_t uplo_len);

// c = alpha·op(a)·op(b) + beta·c.
void dgemm_(const char* transa, const char* transb, const vorlen::i32* m, const vorlen::i32* n,
            const vorlen::i32* k, const double* alpha, const double* a, const vorlen::i32* lda,
            const double* b, const vorlen::i32* ldb, const double* beta, double* c,
            const vorlen::i32* ldc, std::size_t transa_len, std::size_t transb_len);

}  // extern "C"
