// Python signatures of the matrix and vector kernels of module math.
#include "bind.hpp"
#include "core/math_products.hpp"

namespace {
using namespace vorlen::py;
using namespace vorlen::math;

const Fragment products("math", 40, {
    routine<MatrixProduct>("matrixproduct", {"in d a(l,n)", "in d b(n,m)", "out d c(l,m)",
                                             "opt i l", "opt i n", "opt i m"}),
    routine<MatrixVectorProduct>("matrixvectorproduct",
                                 {"in d a(n,m)", "in d b(m)", "out d c(n)", "opt i n", "opt i m"}),
    routine<VectorMatrixProduct>("vectormatrixproduct",
                                 {"in d a(m)", "in d b(m,n)", "out d c(n)", "opt i n", "opt i m"}),
    routine<LUMatrixVectorProduct>("lumatrixvectorproduct",
                                   {"in d a(m)", "in d b(n)", "out d c(n)", "opt i m", "opt i n"}),
    routine<DotProduct>("dotproduct", {"in d a(l)", "in d b(l)", "out d c", "opt i l"}),
    routine<CrossProduct>("crossproduct", {"in d a(3)", "in d b(3)", "out d c(3)"}),
    routine<VectorTripleProduct>("vectortripleproduct",
                                 {"in d a(3)", "in d b(3)", "in d c(3)", "out d d(3)"}),
    routine<ScalarTripleProduct>("scalartripleproduct",
                                 {"in d a(3)", "in d b(3)", "in d c(3)", "out d d"}),
    routine<DyadenProduct>("dyadenproduct",
                           {"in d a(m)", "in d b(n)", "out d c(m,n)", "opt i m", "opt i n"}),
    routine<KroneckerProduct>("kroneckerproduct",
                              {"in d a(ma,na)", "in d b(pb,qb)", "out d ab(ma*pb,na*qb)",
                               "opt i ma", "opt i na", "opt i pb", "opt i qb"}),
    routine<HadamardProduct>("hadamardproduct",
                             {"in d a(l,n)", "in d b(l,n)", "out d c(l,n)", "opt i l", "opt i n"}),
    routine<HadamardDivision>("hadamarddivision",
                              {"in d a(l,n)", "in d b(l,n)", "out d c(l,n)", "opt i l", "opt i n"}),
    routine<MatrixScalarMultiplication>(
        "matrixscalarmultiplication",
        {"in,out d a(n,m)", "in d b(n,m)", "in d c", "opt i n", "opt i m"}),
    routine<VectorScalarMultiplication>("vectorscalarmultiplication",
                                        {"in,out d a(n)", "in d b(n)", "in d c", "opt i n"}),
    routine<MatrixAmplify>("matrixamplify", {"in,out d a(n,m)", "in d c", "opt i n", "opt i m"}),
    routine<VectorAmplify>("vectoramplify", {"in,out d a(n)", "in d c", "opt i n"}),
    routine<MatrixSum>("matrixsum", {"in,out d a(n,m)", "in d b(n,m)", "opt i n", "opt i m"}),
    routine<MatrixSub>("matrixsub", {"in,out d a(n,m)", "in d b(n,m)", "opt i n", "opt i m"}),
    routine<VectorSum>("vectorsum", {"in,out d a(n)", "in d b(n)", "opt i n"}),
    routine<VectorSub>("vectorsub", {"in,out d a(n)", "in d b(n)", "opt i n"}),
    routine<GetABVector>("getabvector", {"out d v(n)", "in d a(n)", "in d b(n)", "opt i n"}),
    routine<MatrixShrinkage>("matrixshrinkage", {"in d a(n,m)", "in d b(n,m)", "out d c(n,m)",
                                                 "in d alpha", "opt i n", "opt i m"}),
    routine<MatrixSymmetrize>("matrixsymmetrize", {"in d a(n,n)", "out d sym(n,n)", "opt i n"}),
    routine<MatrixTranspose>("matrixtranspose",
                             {"in d a(n,m)", "out d b(m,n)", "opt i n", "opt i m"}),
    routine<MatrixDiagonal>("matrixdiagonal", {"out d diag(n-abs(k))", "in d a(n,n)",
                                               "in i k", "opt i n"}),
    routine<Trace>("trace", {"out d trace", "in d x(n,n)", "opt i n"}),
    routine<CumulativeSum>("cumulativesum",
                           {"out d csum(n)", "in d a(n)", "opt i n", "opt d seed = 0.0"}),
    routine<CumulativeProduct>("cumulativeproduct",
                               {"out d cprod(n)", "in d a(n)", "opt i n", "opt d seed = 1.0"}),
});

}  // namespace
