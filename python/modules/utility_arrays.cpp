// Python signatures of the array initialisation, filling and shaping routines of module utility.
#include "bind.hpp"
#include "core/utility.hpp"

namespace {
using namespace vorlen::py;
using namespace vorlen::utility;

// Items of a fill routine: the array of any shape and the scalar, then the array's extents,
// passed on hidden.
std::vector<const char*> fill(const char* array, const char* scalar, int rank) {
    static const char* const extents[] = {"hide i n1 = shape(a, 0)", "hide i n2 = shape(a, 1)",
                                          "hide i n3 = shape(a, 2)", "hide i n4 = shape(a, 3)",
                                          "hide i n5 = shape(a, 4)", "hide i n6 = shape(a, 5)",
                                          "hide i n7 = shape(a, 6)"};
    std::vector<const char*> items{array, scalar};
    items.insert(items.end(), extents, extents + rank);
    return items;
}

const Fragment arrays(
    "utility", 10,
    {
        routine<IniVectorwithZeros>("inivectorwithzeros", {"out d a(n)", "in i n"}),
        routine<IniMatrixwithZeros>("inimatrixwithzeros", {"out d a(n,m)", "in i n", "in i m"}),
        routine<Ini3DArraywithZeros>("ini3darraywithzeros",
                                     {"out d a(l,m,n)", "in i l", "in i m", "in i n"}),
        routine<Ini4DArraywithZeros>("ini4darraywithzeros",
                                     {"out d a(l,m,n,o)", "in i l", "in i m", "in i n", "in i o"}),
        routine<Ini5DArraywithZeros>("ini5darraywithzeros",
                                     {"out d a(l,m,n,o,p)", "in i l", "in i m", "in i n", "in i o",
                                      "in i p"}),
        routine<Ini6DArraywithZeros>("ini6darraywithzeros",
                                     {"out d a(l,m,n,o,p,q)", "in i l", "in i m", "in i n",
                                      "in i o", "in i p", "in i q"}),
        routine<IniMaxDArraywithZeros>("inimaxdarraywithzeros",
                                       {"out d a(l,m,n,o,p,q,r)", "in i l", "in i m", "in i n",
                                        "in i o", "in i p", "in i q", "in i r"}),

        routine<utility_real_fillvectorwithscalar>("real_fillvectorwithscalar",
                                                   fill("in,out d a(*)", "in d lambda", 1)),
        routine<utility_real_fillmatrixwithscalar>("real_fillmatrixwithscalar",
                                                   fill("in,out d a(*,*)", "in d lambda", 2)),
        routine<utility_real_fill3darraywithscalar>("real_fill3darraywithscalar",
                                                    fill("in,out d a(*,*,*)", "in d lambda", 3)),
        routine<utility_real_fill4darraywithscalar>("real_fill4darraywithscalar",
                                                    fill("in,out d a(*,*,*,*)", "in d lambda", 4)),
        routine<utility_real_fill5darraywithscalar>(
            "real_fill5darraywithscalar", fill("in,out d a(*,*,*,*,*)", "in d lambda", 5)),
        routine<utility_real_fill6darraywithscalar>(
            "real_fill6darraywithscalar", fill("in,out d a(*,*,*,*,*,*)", "in d lambda", 6)),
        routine<utility_real_fill7darraywithscalar>(
            "real_fill7darraywithscalar", fill("in,out d a(*,*,*,*,*,*,*)", "in d lambda", 7)),
        routine<utility_int_fillvectorwithscalar>("int_fillvectorwithscalar",
                                                  fill("in,out i a(*)", "in i lambda", 1)),
        routine<utility_int_fillmatrixwithscalar>("int_fillmatrixwithscalar",
                                                  fill("in,out i a(*,*)", "in i lambda", 2)),
        routine<utility_int_fill3darraywithscalar>("int_fill3darraywithscalar",
                                                   fill("in,out i a(*,*,*)", "in i lambda", 3)),
        routine<utility_int_fill4darraywithscalar>("int_fill4darraywithscalar",
                                                   fill("in,out i a(*,*,*,*)", "in i lambda", 4)),
        routine<utility_int_fill5darraywithscalar>("int_fill5darraywithscalar",
                                                   fill("in,out i a(*,*,*,*,*)", "in i lambda", 5)),
        routine<utility_int_fill6darraywithscalar>(
            "int_fill6darraywithscalar", fill("in,out i a(*,*,*,*,*,*)", "in i lambda", 6)),
        routine<utility_int_fill7darraywithscalar>(
            "int_fill7darraywithscalar", fill("in,out i a(*,*,*,*,*,*,*)", "in i lambda", 7)),

        routine<GetScalarMatrix>("getscalarmatrix", {"out d a(n,n)", "in i n", "in d lambda"}),
        routine<GetIdentityMatrix>("getidentitymatrix", {"out d a(n,n)", "in i n"}),
        routine<GetEyeMatrix>("geteyematrix", {"out d a(n,n)", "opt i k = 0", "in i n"}),
        // The second extent of a square input is checked against the first, from which n is taken.
        routine<GetTriangularMatrix>("gettriangularmatrix",
                                     {"out d lu(n,n)", "in d a(n,n)",
                                      "opt i n", "opt b luflag = 0"}),
        routine<GetIndexVector>("getindexvector", {"out i a(n)", "in i n"}),
        routine<Linspace>("linspace",
                          {"out d x(n)", "in d a", "in d b", "in i n", "opt b endpoint = 1"}),

        routine<fVectorCopy>("real_vectorcopy", {"in d a(n)", "out d b(n)", "opt i n"}),
        routine<iVectorCopy>("int_vectorcopy", {"in i a(n)", "out i b(n)", "opt i n"}),
        routine<cVectorCopy>("cmplx_vectorcopy", {"in D a(n)", "out D b(n)", "opt i n"}),
        routine<MatrixCopy>("matrixcopy", {"in d a(n,m)", "out d b(n,m)", "opt i n", "opt i m"}),
        routine<GetUnpackedMatrixFromList>("getunpackedmatrixfromlist",
                                           {"out d matrix(n,m)",
                                            "in d list(m*n) check(shape(list, 0) == m * n)",
                                            "in i n", "in i m"}),

        routine<MatrixConcatenation>("matrixconcatenation",
                                     {"in d a(k,l)", "in d b(m,n)",
                                      "out d ab(k+ctype*m,l+(1-ctype)*n)", "in i ctype", "opt i k",
                                      "opt i l", "opt i m", "opt i n"}),
        routine<VectorSplit>("vectorsplit", {"in d a(n)", "out d b(n/k,k)", "in i k", "opt i n"}),
        routine<MatrixSplit>("matrixsplit",
                             {"in d a(l,m)", "out d b(l/k,m,k)", "in i k", "opt i l", "opt i m"}),
        routine<GetSubArray>("getsubarray",
                             {"out d subarray(nsub)", "out i subslice(2)", "in d array(narray)",
                              "opt i narray", "in i nsub", "opt b tail = 1"}),
        routine<GetPackedList>("getpackedlist",
                               {"out d packed(npack)", "in d list(nlist)", "in d condition",
                                "in d padding", "in i cflag", "in i npack", "opt i nlist"}),
        routine<GetUnpackedTriangle>("getunpackedtriangle",
                                     {"out d lu(nlu,nlu)", "in d packed(np)", "in i nlu",
                                      "opt i np", "in s1 order", "opt b upper = 0"}),
        routine<FillMatrixOffDiagonals>("fillmatrixoffdiagonals",
                                        {"in,out d a(n,n)", "in d x(k)",
                                         "opt i n", "opt i k"}),
        routine<Symmetrize>("symmetrize", {"in d lu(n,n)",
                                           "out d sym(n,n)", "opt i n"}),
        routine<VectorFlip>("vectorflip", {"in d a(n)", "out d b(n)", "opt i n"}),
        routine<MatrixFlip>("matrixflip",
                            {"in d a(n,m)", "out d b(n,m)", "opt i n", "opt i m", "in i dimflag"}),
        // The extents of a travel on hidden, so that no listed index reaches past a.
        routine<VectorSort>("vectorsort", {"in,out d a(*)", "in d b(n)", "in i mask(n)", "opt i n",
                                           "hide i na = shape(a, 0)"}),
        routine<MatrixSort>("matrixsort", {"in,out d a(m,*)", "in d b(m,n)", "in i mask(n)",
                                           "opt i m", "opt i n", "hide i na = shape(a, 1)"}),
    });

} // namespace
