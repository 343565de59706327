// Python signatures of the dense linear algebra of module math.
#include "bind.hpp"
#include "core/math_linalg.hpp"

namespace {
using namespace vorlen::py;
using namespace vorlen::math;

const Fragment linalg("math", 30, {
    routine<MatrixInverse>("matrixinverse", {"in d a(n,n)", "out d ainv(n,n)", "opt i n"}),
    routine<LUFactDeterminant>("lufactdeterminant", {"out d lud", "in d a(n,n)", "opt i n"}),
    routine<Determinant>("determinant",
                         {"out d pd", "in d a(n,n)", "opt i n", "opt i pdflag = -1"},
                         "Laplace expansion up to order 12. Above it the determinant (pdflag -1)\n"
                         "comes from the LU factors and the permanent (pdflag 1) from Ryser's\n"
                         "formula up to order 30; a larger order, or another pdflag above 12,\n"
                         "records code -3 and gives 0. Ryser's terms cancel (for the all-ones\n"
                         "matrix of order 20 they reach 1e27 against 20! = 2.4e18), so they are\n"
                         "formed and summed in double-double arithmetic, about 32 digits.\n"
                         "Beyond the final rounding (relative 1.1e-16) the error is about 1e-32\n"
                         "times the sum of the terms' magnitudes, itself at most 2^n prod_i\n"
                         "sum_j |a(i,j)|, and at worst 2^n times that. The all-ones matrix gives\n"
                         "n! to the last bit up to order 30."),
    routine<GetPrincipleMinor>("getprincipleminor",
                               {"out d getprincipleminor", "in d sm(k,k)", "in i i", "opt i k"}),
    routine<GetFirstMinor>("getfirstminor",
                           {"out d getfirstminor", "in d sm(k,k)", "in i i", "in i j", "opt i k"}),
    routine<GetCofactor>("getcofactor", {"out d getcofactor", "in d mij", "in i i", "in i j"}),
    routine<MatrixEigenvalues>("matrixeigenvalues", {"in d a(n,n)", "out d d(n)", "opt i n"}),
    routine<MatrixEigenVectors>("matrixeigenvectors", {"in d a(n,n)", "out d z(n,n)", "opt i n",
                                                       "opt,out d eigvals(n) = -1."}),
    routine<VectorModalAssuranceCriterion>(
        "vectormodalassurancecriterion",
        {"out d vectormodalassurancecriterion", "in d a(n)", "in d b(n)", "opt i n"}),
    routine<MatrixModalAssuranceCriterion>(
        "matrixmodalassurancecriterion",
        {"in d xs(n,n)", "in d ys(n,n)", "out d mac(n,n)", "opt i n"}),
    routine<SingularValueDecomposition>(
        "singularvaluedecomposition",
        {"in d a(m,n)", "out d u(m,m)", "out d s(m,n)", "out d v(n,n)", "opt i m", "opt i n"}),
    routine<CholeskyFactorization>("choleskyfactorization",
                                   {"in d a(n,n)", "out d c(n,n)", "opt i n"}),
    routine<GeneralMatrixProduct>(
        "generalmatrixproduct",
        {"out d d(m,n)", "in d alpha", "in d a(*,*)", "in d b(*,*)", "in d beta", "in d c(m,n)",
         "opt i m = shape(a, 0)", "opt i n = shape(b, 1)", "opt i k = shape(a, 1)", "in s1 sa",
         "in s1 sb", "hide i a1 = shape(a, 0)", "hide i a2 = shape(a, 1)",
         "hide i b1 = shape(b, 0)", "hide i b2 = shape(b, 1)"}),
});

}  // namespace
