// Rayleigh-Ritz buckling of one delaminated sub-laminate: shape matrices, KK and KG, and the
// buckling strain.
#include "failure/sublaminate.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <string_view>

#include "base/errorhandling.hpp"
#include "base/work.hpp"
#include "core/math_linalg.hpp"
#include "core/math_products.hpp"
#include "core/math_repair.hpp"
#include "materials/lamina_stiffness.hpp"
#include "materials/laminate.hpp"

namespace vorlen::sublaminate {
namespace {

constexpr double kDegree = 0.017453292519943295;  // pi/180
constexpr i32 kThree = 3, kSix = 6;

// Upper-triangle entry (row, column, value) of a shape matrix.
struct Term {
    int i, j;
    double v;
};
// One shape matrix: its factor and its non-zero upper-triangle entries.
struct Shape {
    double factor;
    int n;
    Term t[9];
};

// Bubbles: rectangle-tangent (1-x^2)(1-y^2), rectangle (1-x^2)^2 (1-y^2)^2, ellipse
// (1-x^2-y^2)^2; the tables hold the integrals over the unit outline divided by 2 (rectangles)
// or 2 pi (ellipse). Type 2 is type 1 with x and y exchanged (entries 2 <-> 3, 5 <-> 6).
constexpr Shape kKGRectTang[3] = {
    {64.0 / 1575.0, 9, {{1, 1, 35}, {1, 5, 7}, {1, 6, 5}, {2, 2, 21}, {3, 3, 5}, {4, 4, 3},
                        {5, 5, 11}, {5, 6, 1}, {6, 6, 5.0 / 3.0}}},
    {64.0 / 1575.0, 9, {{1, 1, 35}, {1, 5, 5}, {1, 6, 7}, {2, 2, 5}, {3, 3, 21}, {4, 4, 3},
                        {5, 5, 5.0 / 3.0}, {5, 6, 1}, {6, 6, 11}}},
    {64.0 / 1575.0, 4, {{1, 4, -7}, {2, 3, 7}, {4, 5, 1}, {4, 6, 1}}},
};
constexpr Shape kKGRectangle[3] = {
    {32768.0 / 14189175.0, 7, {{1, 1, 429}, {1, 6, 39}, {2, 2, 143}, {3, 3, 39}, {4, 4, 13},
                               {5, 5, 39}, {6, 6, 9}}},
    {32768.0 / 14189175.0, 7, {{1, 1, 429}, {1, 5, 39}, {2, 2, 39}, {3, 3, 143}, {4, 4, 13},
                               {5, 5, 9}, {6, 6, 39}}},
    {16384.0 / 1091475.0, 4, {{1, 4, -11}, {2, 3, 11}, {4, 5, 1}, {4, 6, 1}}},
};
constexpr Shape kKGEllipse[3] = {
    {1.0, 7, {{1, 1, 1.0 / 3.0}, {1, 6, 1.0 / 30.0}, {2, 2, 1.0 / 10.0}, {3, 3, 1.0 / 30.0},
              {4, 4, 1.0 / 120.0}, {5, 5, 1.0 / 40.0}, {6, 6, 1.0 / 120.0}}},
    {1.0, 7, {{1, 1, 1.0 / 3.0}, {1, 5, 1.0 / 30.0}, {2, 2, 1.0 / 30.0}, {3, 3, 1.0 / 10.0},
              {4, 4, 1.0 / 120.0}, {5, 5, 1.0 / 120.0}, {6, 6, 1.0 / 40.0}}},
    {1.0, 4, {{1, 4, -1.0 / 30.0}, {2, 3, 1.0 / 15.0}, {4, 5, 1.0 / 120.0}, {4, 6, 1.0 / 120.0}}},
};
constexpr Shape kKKRectTang[5] = {
    {64.0 / 315.0, 9, {{1, 1, 21}, {1, 5, 21}, {1, 6, 3}, {2, 2, 63}, {3, 3, 3}, {4, 4, 9},
                       {5, 5, 88.2}, {5, 6, 3}, {6, 6, 1}}},
    {64.0 / 315.0, 9, {{1, 1, 21}, {1, 5, 3}, {1, 6, 21}, {2, 2, 3}, {3, 3, 63}, {4, 4, 9},
                       {5, 5, 1}, {5, 6, 3}, {6, 6, 88.2}}},
    {64.0 / 315.0, 9, {{1, 1, 35}, {1, 5, 7}, {1, 6, 7}, {2, 2, 21}, {3, 3, 21}, {4, 4, 12.6},
                       {5, 5, 11}, {5, 6, 1.4}, {6, 6, 11}}},
    {64.0 / 105.0, 4, {{1, 4, -7}, {2, 3, 7}, {4, 5, 4.2}, {4, 6, 1}}},
    {64.0 / 105.0, 4, {{1, 4, -7}, {2, 3, 7}, {4, 5, 1}, {4, 6, 4.2}}},
};
constexpr Shape kKKRectangle[5] = {
    {16384.0 / 1576575.0, 9, {{1, 1, 1001}, {1, 5, 143}, {1, 6, 91}, {2, 2, 715}, {3, 3, 91},
                              {4, 4, 65}, {5, 5, 429}, {5, 6, 13}, {6, 6, 21}}},
    {16384.0 / 1576575.0, 9, {{1, 1, 1001}, {1, 5, 91}, {1, 6, 143}, {2, 2, 91}, {3, 3, 715},
                              {4, 4, 65}, {5, 5, 21}, {5, 6, 13}, {6, 6, 429}}},
    {65536.0 / 1091475.0, 6, {{1, 1, 99}, {2, 2, 33}, {3, 3, 33}, {4, 4, 11}, {5, 5, 9},
                              {6, 6, 9}}},
    {32768.0 / 363825.0, 4, {{1, 4, -33}, {2, 3, 33}, {4, 5, 11}, {4, 6, 3}}},
    {32768.0 / 363825.0, 4, {{1, 4, -33}, {2, 3, 33}, {4, 5, 3}, {4, 6, 11}}},
};
constexpr Shape kKKEllipse[5] = {
    {1.0, 9, {{1, 1, 4}, {1, 5, 0.5}, {1, 6, 0.5}, {2, 2, 2.5}, {3, 3, 0.5}, {4, 4, 0.25},
              {5, 5, 27.0 / 20.0}, {5, 6, 1.0 / 20.0}, {6, 6, 3.0 / 20.0}}},
    {1.0, 9, {{1, 1, 4}, {1, 5, 0.5}, {1, 6, 0.5}, {2, 2, 0.5}, {3, 3, 2.5}, {4, 4, 0.25},
              {5, 5, 3.0 / 20.0}, {5, 6, 1.0 / 20.0}, {6, 6, 27.0 / 20.0}}},
    {1.0, 9, {{1, 1, 8.0 / 3.0}, {1, 5, 1.0 / 3.0}, {1, 6, 1.0 / 3.0}, {2, 2, 1}, {3, 3, 1},
              {4, 4, 3.0 / 10.0}, {5, 5, 11.0 / 30.0}, {5, 6, 1.0 / 6.0}, {6, 6, 11.0 / 30.0}}},
    {1.0, 3, {{2, 3, 2}, {4, 5, 4.0 / 5.0}, {4, 6, 2.0 / 5.0}}},
    {1.0, 3, {{2, 3, 2}, {4, 5, 2.0 / 5.0}, {4, 6, 4.0 / 5.0}}},
};

// "Error: Default case in subroutine <routine><tail>", kept to the register's 80 characters.
[[gnu::cold]] void default_case(i32 code, std::string_view routine, std::string_view tail) {
    std::array<char, 160> msg;
    std::size_t n = 0;
    for (const std::string_view part :
         {std::string_view("Error: Default case in subroutine "), routine, tail}) {
        const std::size_t k = std::min(part.size(), msg.size() - n);
        std::copy_n(part.data(), k, msg.data() + n);
        n += k;
    }
    errorhandling::report(code, std::string_view(msg.data(), n));
}

// Position 1..ntypes of a type code: k or the two-digit code of its term (11, 22, 33, 16, 26);
// 0 for any other code.
int type_index(i32 code, int ntypes) {
    static constexpr i32 kTwoDigit[5] = {11, 22, 33, 16, 26};
    for (int k = 1; k <= ntypes; ++k)
        if (code == k || code == kTwoDigit[k - 1]) return k;
    return 0;
}

void shape_matrix(double* m, const Shape* shapes, int ntypes, const i32* type,
                  std::string_view routine) {
    const int k = type_index(*type, ntypes);
    std::fill_n(m, 36, 0.0);
    if (k == 0) {
        default_case(-2, routine, ". Please check your input parameters.");
        return;
    }
    const Shape& s = shapes[k - 1];
    Mat<double> a(m, 6, 6);
    for (int e = 0; e < s.n; ++e) a(s.t[e].i, s.t[e].j) = a(s.t[e].j, s.t[e].i) = s.t[e].v;
    math::MatrixAmplify(m, &s.factor, &kSix, &kSix);
}

using ShapeRoutine = void(double*, const i32*);
// The geometric and stiffness shape routines of an outline code 1..3.
constexpr ShapeRoutine* kKG[3] = {GetKGEllipse, GetKGRectangle, GetKGRectTang};
constexpr ShapeRoutine* kKK[3] = {GetKKEllipse, GetKKRectangle, GetKKRectTang};

// sum_k w(k) X_k over the nterms shape matrices of a family into m (36 entries, zeroed first).
void weighted_sum(double* m, ShapeRoutine* family, const double* w, int nterms) {
    std::fill_n(m, 36, 0.0);
    for (i32 k = 1; k <= nterms; ++k) {
        double x[36];
        family(x, &k);
        math::MatrixScalarMultiplication(m, x, &w[k - 1], &kSix, &kSix);
    }
}

// The membrane block (1:3, 1:3) of a 6 by 6 matrix.
void membrane_block(double* m3, const double* m6) {
    for (int j = 0; j < 3; ++j) std::copy_n(m6 + 6 * j, 3, m3 + 3 * j);
}

bool known_shape(i32 dshape, std::string_view routine) {
    if (dshape >= 0 && dshape <= 3) return true;
    default_case(-2, routine, ". DShape has to be an integer between 0 and 3.");
    return false;
}

// A, B, D and ABD of a stack.
void stack_abd(double* a, double* b, double* d, double* abd, const double* plyelastic,
               const double* plyorientation, const double* plythickness, const i32* nplies) {
    laminate::GetAMatrix(a, plyelastic, plyorientation, plythickness, nplies);
    laminate::GetBMatrix(b, plyelastic, plyorientation, plythickness, nplies);
    laminate::GetDMatrix(d, plyelastic, plyorientation, plythickness, nplies);
    laminate::GetABDMatrix(abd, a, b, d);
}

}  // namespace

extern "C" {

void GetKGRectTang(double* kg, const i32* kgtype) {
    shape_matrix(kg, kKGRectTang, 3, kgtype, "GetKGRectTang");
}
void GetKGRectangle(double* kg, const i32* kgtype) {
    shape_matrix(kg, kKGRectangle, 3, kgtype, "GetKGRectangle");
}
void GetKGEllipse(double* kg, const i32* kgtype) {
    shape_matrix(kg, kKGEllipse, 3, kgtype, "GetKGEllipse");
}
void GetKKRectTang(double* kk, const i32* kktype) {
    shape_matrix(kk, kKKRectTang, 5, kktype, "GetKKRectTang");
}
void GetKKRectangle(double* kk, const i32* kktype) {
    shape_matrix(kk, kKKRectangle, 5, kktype, "GetKKRectangle");
}
void GetKKEllipse(double* kk, const i32* kktype) {
    shape_matrix(kk, kKKEllipse, 5, kktype, "GetKKEllipse");
}

void GetSubKG(double* subkg, const double* nglob, const double* abd, const double* abdinv,
              const double* a, const double* b, const double* dangle, const i32* dshape) {
    const i32 shape = *dshape;
    double m[36] = {};  // built apart: subkg may be one of the inputs
    if (shape != 0 && known_shape(shape, "GetSubKG")) {
        const double rangle = *dangle * kDegree;
        const i32 ttype = 0, tflag = 0;
        double t[9], n[3], am[9], aminv[9], rho[3], nloc[3];
        lamina::GetNyeTransformationMatrix(t, &rangle, &kThree, &ttype, &tflag);
        math::MatrixVectorProduct(t, nglob, n, &kThree, &kThree);
        membrane_block(am, abd);
        membrane_block(aminv, abdinv);
        math::MatrixVectorProduct(aminv, n, rho, &kThree, &kThree);
        math::MatrixVectorProduct(am, rho, nloc, &kThree, &kThree);
        nloc[0] = nloc[0] * *b / *a;
        nloc[1] = nloc[1] * *a / *b;
        weighted_sum(m, kKG[shape - 1], nloc, 3);
    }
    std::copy_n(m, 36, subkg);
}

void GetSubKK(double* subkk, const double* dred, const double* a, const double* b,
              const i32* dshape) {
    const i32 shape = *dshape;
    double m[36] = {};
    if (shape != 0 && known_shape(shape, "GetSubKK")) {
        Mat<const double> d(dred, 3, 3);
        const double aa = *a, bb = *b;
        const double w[5] = {d(1, 1) * bb / (aa * aa * aa), d(2, 2) * aa / (bb * bb * bb),
                             (d(1, 2) + 2.0 * d(3, 3)) / (aa * bb), d(1, 3) / (aa * aa),
                             d(2, 3) / (bb * bb)};
        weighted_sum(m, kKK[shape - 1], w, 5);
    }
    std::copy_n(m, 36, subkk);
}

void GetSubLamBucklingStrain(double* eps, double* nx, double* eigvec, const double* dsize,
                             const double* nglob, const double* plyelastic,
                             const double* plyorientation, const double* plythickness,
                             const i32* dshape, const i32* nplies) {
    static constexpr std::string_view routine = "GetSubLamBucklingStrain";
    // Results are written last: an output may share storage with an input.
    double e = 0.0, n = 0.0, mode[6] = {};
    auto finish = [&] {
        *eps = e;
        *nx = n;
        std::copy_n(mode, 6, eigvec);
    };
    const i32 shape = *dshape, np = *nplies;
    if (shape < 1 || shape > 3) {
        default_case(-2, routine, ". DShape has to be an integer between 1 and 3.");
        return finish();
    }
    if (np < 1) {
        errorhandling::report(-3, "Fewer than one ply", routine);
        return finish();
    }
    const double a = dsize[0], b = dsize[1], theta = dsize[2];
    if (!(a > 0.0) || !(b > 0.0)) {
        errorhandling::report(-3, "Delamination size not above 0", routine);
        return finish();
    }
    double tges = 0.0;
    for (i32 i = 0; i < np; ++i) tges += plythickness[i];
    if (!(tges > 0.0)) {
        errorhandling::report(-3, "Stack thickness not above 0", routine);
        return finish();
    }
    const double nload[3] = {-nglob[0], -nglob[1], -nglob[2]};

    // The stack in its own axes gives the strain; turned into the delamination's axes, the
    // buckling load.
    double a0[9], b0[9], d0[9], abd0[36], abd0inv[36];
    stack_abd(a0, b0, d0, abd0, plyelastic, plyorientation, plythickness, nplies);
    math::MatrixInverse(abd0, abd0inv, &kSix);
    Work<double, 64> turned(np);
    for (i32 i = 0; i < np; ++i) turned[i] = plyorientation[i] - theta;
    double am[9], bm[9], dm[9], abd[36], abdinv[36], dred[9];
    stack_abd(am, bm, dm, abd, plyelastic, turned.data(), plythickness, nplies);
    math::MatrixInverse(abd, abdinv, &kSix);
    laminate::GetReducedBendingStiffness(dred, am, bm, dm);

    double kk[36], kg[36], kkinv[36], kd[36], mu = 0.0;
    GetSubKK(kk, dred, &a, &b, &shape);
    GetSubKG(kg, nload, abd, abdinv, &a, &b, &theta, &shape);
    math::MatrixInverse(kk, kkinv, &kSix);
    math::MatrixProduct(kkinv, kg, kd, &kSix, &kSix, &kSix);
    const i32 maxiter = 2000;
    const double start[6] = {1.0, 1.0, 1.0, 1.0, 1.0, 1.0}, abstol = 1e-10;
    double vec[6];
    math::PowerIteration(&mu, vec, kd, &kSix, &maxiter, start, &abstol);
    if (!std::isfinite(mu) || !std::isfinite(1.0 / mu)) {  // 0 or below the reciprocal's range
        errorhandling::report(-3, "Zero or non-finite eigenvalue", routine);
        return finish();
    }
    n = (1.0 / mu) / tges;
    e = abd0inv[0] / mu;
    std::copy_n(vec, 6, mode);
    finish();
}

}  // extern "C"
}  // namespace vorlen::sublaminate
