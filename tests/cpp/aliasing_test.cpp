// Routines called from C with an output that is also one of their inputs (x = A x, a flip or
// rotation in place): the result is that of the same call with a separate output array.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <initializer_list>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "core/math_geometry.hpp"
#include "core/math_linalg.hpp"
#include "core/math_products.hpp"
#include "core/math_repair.hpp"
#include "core/math_tabulated.hpp"
#include "core/utility.hpp"
#include "interp/interp.hpp"
#include "materials/isscollection.hpp"
#include "materials/lamina_notation.hpp"
#include "materials/lamina_stiffness.hpp"
#include "materials/laminate.hpp"
#include "materials/laminate_effective.hpp"
#include "materials/laminate_recovery.hpp"
#include "materials/laminate_shape.hpp"
#include "materials/laminate_shear.hpp"
#include "materials/micromechanic.hpp"
#include "pchip/pchip.hpp"
#include "pchip/pchip_bspline.hpp"

using namespace vorlen;

namespace {

using Arrays = std::vector<std::vector<double>>;
using Call = std::function<void(const std::vector<double*>&)>;

// A routine with its arguments, called once for each (output, input) pair that shares storage.
struct Routine {
    const char* name;
    Arrays args;  // initial contents, in the routine's argument order
    std::vector<std::pair<int, int>> shared;
    Call call;
};

struct Case {
    std::string name;
    Arrays args;
    int out, in;  // the output and the input passed as the same array
    Call call;
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

// n distinct values of both signs.
std::vector<double> values(int n, int seed) {
    std::vector<double> v(n);
    for (int i = 0; i < n; ++i) v[i] = std::sin(1.7 * (i + 1) + seed) * (1 + i % 3);
    return v;
}

std::vector<double> zeros(int n) { return std::vector<double>(n); }

// v followed by zeros up to n entries: an input whose storage also holds a longer output.
std::vector<double> padded(std::vector<double> v, int n) {
    v.resize(n);
    return v;
}

// An n by n matrix with a dominant diagonal (invertible, well conditioned).
std::vector<double> regular(int n, int seed) {
    std::vector<double> v = values(n * n, seed);
    for (int i = 0; i < n; ++i) v[i * (n + 1)] += 2.0 * n;
    return v;
}

std::vector<double> symmetric(int n, int seed) {
    std::vector<double> v = values(n * n, seed);
    for (int j = 0; j < n; ++j)
        for (int i = 0; i < j; ++i) v[j + n * i] = v[i + n * j];
    return v;
}

// Voigt compliance of an isotropic material.
std::vector<double> isotropic_compliance(double e, double nu) {
    std::vector<double> s(36);
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) s[i + 6 * j] = i == j ? 1.0 / e : -nu / e;
        s[(i + 3) * 7] = 2.0 * (1.0 + nu) / e;
    }
    return s;
}

std::vector<double*> pointers(Arrays& a) {
    std::vector<double*> p;
    for (auto& x : a) p.push_back(x.data());
    return p;
}

const i32 one = 1, two = 2, three = 3, four = 4, five = 5, six = 6, nine = 9, zero = 0;
const double angle = 0.7;

// dpchbs_ on the 5 points x = p[0], f = p[1], d = p[2] into the knots p[3] (given when knotyp
// < 0) and the coefficients p[4].
Call bspline_form(i32 knotyp) {
    return [knotyp](const std::vector<double*>& p) {
        i32 nknots = 14, ndim, kord, ierr;
        dpchbs_(&five, p[0], p[1], p[2], &one, &knotyp, &nknots, p[3], p[4], &ndim, &kord, &ierr);
    };
}

// dpchsp_ on the n points x = p[0], f = p[1] into d = p[2], with end conditions (ic1, ic2).
Call spline_slopes(const i32& n, i32 ic1, i32 ic2) {
    return [&n, ic1, ic2](const std::vector<double*>& p) {
        const i32 ic[2] = {ic1, ic2}, nwk = 2 * n;
        const double vc[2] = {0.0, 0.0};
        double wk[16];
        i32 ierr;
        dpchsp_(ic, vc, &n, p[0], p[1], p[2], &one, wk, &nwk, &ierr);
    };
}

// Breakpoints, values and slopes of a piecewise cubic, six points beyond both of its ends and
// out of order, and the outputs `outs` of its evaluation.
Arrays evaluation(std::initializer_list<std::vector<double>> outs) {
    Arrays a = {{0.0, 0.5, 1.5, 2.0, 2.5, 4.0},
                values(6, 1),
                values(6, 2),
                {3.0, -1.0, 1.7, 4.5, 0.2, 9.0}};
    a.insert(a.end(), outs);
    return a;
}

// A layer stiffness average (GetVoigtEffectiveStiffness, ...) of one layer c = p[2] into p[0].
Call effective(void (*f)(double*, const double*, const double*, const i32*)) {
    return [f](const std::vector<double*>& p) { f(p[0], p[1], p[2], &one); };
}

// Nye property vector of a carbon/epoxy ply.
std::vector<double> ply() { return {140e3, 10e3, 10e3, .3, .3, .45, 5e3, 4.8e3, 3.4e3}; }

// The result of a table interpolation, the table x(5), y(5) and five points, two of them beyond
// its ends.
Arrays interpolation() {
    return {zeros(5), {0.0, 0.5, 1.5, 2.0, 3.5}, values(5, 1), {3.9, -0.5, 1.7, 0.2, 2.0}};
}

std::vector<Case> cases() {
    using P = const std::vector<double*>&;
    const std::vector<Routine> routines = {
        {"MatrixSymmetrize",
         {values(9, 1), zeros(9)},
         {{1, 0}},
         [](P p) { math::MatrixSymmetrize(p[0], p[1], &three); }},
        {"MatrixProduct",
         {values(9, 1), values(9, 2), zeros(9)},
         {{2, 0}, {2, 1}},
         [](P p) { math::MatrixProduct(p[0], p[1], p[2], &three, &three, &three); }},
        {"MatrixVectorProduct",
         {values(9, 1), values(3, 2), zeros(3)},
         {{2, 1}},
         [](P p) { math::MatrixVectorProduct(p[0], p[1], p[2], &three, &three); }},
        {"VectorMatrixProduct",
         {values(3, 1), values(9, 2), zeros(3)},
         {{2, 0}},
         [](P p) { math::VectorMatrixProduct(p[0], p[1], p[2], &three, &three); }},
        {"LUMatrixVectorProduct",
         {values(6, 1), values(3, 2), zeros(3)},
         {{2, 1}},
         [](P p) { math::LUMatrixVectorProduct(p[0], p[1], p[2], &six, &three); }},
        {"CrossProduct",
         {values(3, 1), values(3, 2), zeros(3)},
         {{2, 0}, {2, 1}},
         [](P p) { math::CrossProduct(p[0], p[1], p[2]); }},
        {"VectorTripleProduct",
         {values(3, 1), values(3, 2), values(3, 3), zeros(3)},
         {{3, 0}, {3, 1}, {3, 2}},
         [](P p) { math::VectorTripleProduct(p[0], p[1], p[2], p[3]); }},
        {"MatrixTranspose",
         {values(9, 1), zeros(9)},
         {{1, 0}},
         [](P p) { math::MatrixTranspose(p[0], p[1], &three, &three); }},
        {"MatrixTranspose2by3",
         {values(6, 1), zeros(6)},
         {{1, 0}},
         [](P p) { math::MatrixTranspose(p[0], p[1], &two, &three); }},
        {"TensorTransformation2nd",
         {values(9, 1), zeros(9), values(9, 2)},
         {{1, 0}, {1, 2}},
         [](P p) { math::TensorTransformation2nd(p[0], p[1], p[2]); }},
        {"TensorRotation2nd",
         {values(9, 1), zeros(9)},
         {{1, 0}},
         [](P p) { math::TensorRotation2nd(p[0], p[1], &angle, nullptr); }},
        {"TensorRotation4th",
         {values(81, 1), zeros(81)},
         {{1, 0}},
         [](P p) { math::TensorRotation4th(p[0], p[1], &angle, nullptr); }},
        {"tensormultiplication",
         {values(81, 1), values(9, 2), zeros(9)},
         {{2, 1}},
         [](P p) { math::math_tensormultiplication(p[0], p[1], p[2]); }},
        {"CoordinateRotation",
         {values(3, 1), values(3, 2), zeros(3)},
         {{2, 1}},
         [](P p) { math::CoordinateRotation(p[0], p[1], p[2], &angle); }},
        {"CoordinateReflection",
         {values(3, 1), values(3, 2), values(3, 3), zeros(3)},
         {{3, 0}, {3, 2}},
         [](P p) { math::CoordinateReflection(p[0], p[1], p[2], p[3]); }},
        {"MatrixModalAssuranceCriterion",
         {symmetric(3, 1), symmetric(3, 2), zeros(9)},
         {{2, 0}, {2, 1}},
         [](P p) { math::MatrixModalAssuranceCriterion(p[0], p[1], p[2], &three); }},
        {"SingularValueDecomposition2by3",
         {values(6, 1), zeros(4), zeros(6), zeros(9)},
         {{2, 0}},
         [](P p) { math::SingularValueDecomposition(p[0], p[1], p[2], p[3], &two, &three); }},
        {"SingularValueDecomposition",
         {values(9, 1), zeros(9), zeros(9), zeros(9)},
         {{1, 0}, {2, 0}, {3, 0}},
         [](P p) { math::SingularValueDecomposition(p[0], p[1], p[2], p[3], &three, &three); }},
        {"GeneralMatrixProduct",
         {zeros(9), values(9, 1), values(9, 2), values(9, 3)},
         {{0, 1}, {0, 2}, {0, 3}},
         [](P p) {
             const double alpha = 1.5, beta = -0.5;
             math::GeneralMatrixProduct(p[0], &alpha, p[1], p[2], &beta, p[3], &three, &three,
                                        &three, "T", "N", &three, &three, &three, &three);
         }},
        {"MatrixEigenVectors",
         {symmetric(4, 1), zeros(16)},
         {{1, 0}},
         [](P p) { math::MatrixEigenVectors(p[0], p[1], &four, nullptr); }},
        {"PowerIteration",
         {zeros(1), zeros(3), symmetric(3, 1), values(3, 2)},
         {{1, 3}},
         [](P p) { math::PowerIteration(p[0], p[1], p[2], &three, nullptr, p[3], nullptr); }},
        {"ConjugateGradient",
         {zeros(3), regular(3, 1), values(3, 2), values(3, 3)},
         {{0, 2}, {0, 3}},
         [](P p) { math::ConjugateGradient(p[0], p[1], p[2], p[3], &three, &three); }},
        {"GetProjectedSPD",
         {zeros(16), values(16, 1)},
         {{0, 1}},
         [](P p) { math::GetProjectedSPD(p[0], p[1], &four); }},
        {"GetNearestSPD",
         {zeros(16), values(16, 1)},
         {{0, 1}},
         [](P p) { math::GetNearestSPD(p[0], p[1], &four); }},
        {"GetNearestCorrelationMatrix",
         {zeros(16), symmetric(4, 1), values(4, 2)},
         {{0, 1}},
         [](P p) {
             math::GetNearestCorrelationMatrix(p[0], p[1], &four, nullptr, nullptr, nullptr,
                                               nullptr);
         }},
        {"FlipVoigtNyeNotation",
         {zeros(6), values(6, 1)},
         {{0, 1}},
         [](P p) { lamina::FlipVoigtNyeNotation(p[0], p[1], &one, &one); }},
        {"FlipVoigtNyeNotationMatrix",
         {zeros(36), values(36, 1)},
         {{0, 1}},
         [](P p) { lamina::FlipVoigtNyeNotation(p[0], p[1], &six, &six); }},
        {"FlipVoigtCyclicNotationMatrix",
         {zeros(36), values(36, 1)},
         {{0, 1}},
         [](P p) { lamina::FlipVoigtCyclicNotation(p[0], p[1], &six, &one, &six); }},
        {"GetNyeProperties",
         {zeros(9), {140e3, 10e3, 9e3, 5e3, 4.8e3, 3.4e3, .3, .28, .45}},
         {{0, 1}},
         [](P p) { lamina::GetNyeProperties(p[0], p[1], &nine); }},
        {"GetGeneralizedNyeOnAxisSC",
         {zeros(36), regular(6, 1)},
         {{0, 1}},
         [](P p) {
             const i32 nprops = 36;
             lamina::GetGeneralizedNyeOnAxisSC(p[0], p[1], &six, &nprops, &zero, nullptr, nullptr,
                                               nullptr);
         }},
        {"GetABDTilde",
         {regular(3, 1), values(9, 2), regular(3, 3), zeros(9), zeros(9), zeros(9)},
         {{3, 0}, {4, 1}, {5, 1}, {5, 2}},
         [](P p) { laminate::GetABDTilde(p[0], p[1], p[2], p[3], p[4], p[5]); }},
        {"MatrixFlip",
         {values(6, 1), zeros(6)},
         {{1, 0}},
         [](P p) { utility::MatrixFlip(p[0], p[1], &three, &two, &zero); }},
        {"VectorFlip",
         {values(5, 1), zeros(5)},
         {{1, 0}},
         [](P p) { utility::VectorFlip(p[0], p[1], &five); }},
        {"GetPackedList",
         {zeros(6), values(6, 1)},
         {{0, 1}},
         [](P p) {
             const double condition = 0.0, padding = -9.0;
             const i32 above = 5;
             utility::GetPackedList(p[0], p[1], &condition, &padding, &above, &six, &six);
         }},
        {"GetSubArray",
         {zeros(4), values(6, 1)},
         {{0, 1}},
         [](P p) {
             i32 slice[2];
             utility::GetSubArray(p[0], slice, p[1], &six, &four, nullptr);
         }},
        {"cubichermitianinterpolation",
         interpolation(),
         {{0, 1}, {0, 2}, {0, 3}},
         [](P p) { math::math_cubichermitianinterpolation(p[0], p[1], p[2], p[3], &five, &five); }},
        {"linearinterpolation",
         interpolation(),
         {{0, 1}, {0, 2}, {0, 3}},
         [](P p) { math::math_linearinterpolation(p[0], p[1], p[2], p[3], &five, &five); }},
        {"nearestinterpolation",
         interpolation(),
         {{0, 1}, {0, 2}, {0, 3}},
         [](P p) { math::math_nearestinterpolation(p[0], p[1], p[2], p[3], &five, &five); }},
        {"interp_linear",  // two components: the results fill twice the length of the points
         {{0.0, 0.5, 1.5, 2.0, 3.5}, values(10, 1), {3.9, -0.5, 1.7, 0.2, 2.0}, zeros(10)},
         {{3, 1}},
         [](P p) { interp_linear(&two, &five, p[0], p[1], &five, p[2], p[3]); }},
        {"CentralStepDerivative",
         {zeros(5), values(5, 1), {0.0, 0.5, 1.5, 2.0, 3.5}},
         {{0, 1}, {0, 2}},
         [](P p) { math::CentralStepDerivative(p[0], p[1], p[2], &five); }},
        {"polynomialfitting",
         {zeros(3), values(3, 1), values(3, 2)},
         {{0, 1}, {0, 2}},
         [](P p) { math::math_polynomialfitting(p[0], p[1], p[2], &two, &three); }},
        {"dpchim",
         {{0.0, 0.5, 1.5, 2.0, 3.5}, values(5, 1), zeros(5)},
         {{2, 0}, {2, 1}},
         [](P p) {
             i32 ierr;
             dpchim_(&five, p[0], p[1], p[2], &one, &ierr);
         }},
        {"dpchsp",
         {{0.0, 0.5, 1.5, 2.0, 3.5}, values(5, 1), zeros(5)},
         {{2, 0}, {2, 1}},
         spline_slopes(five, 0, 0)},
        {"dpchspEstimatedEnds",
         {{0.0, 0.5, 1.5, 2.0}, values(4, 1), zeros(4)},
         {{2, 0}, {2, 1}},
         spline_slopes(four, 4, 3)},
        {"dpchfe",  // the count is part of the result
         evaluation({zeros(6), zeros(1)}),
         {{4, 3}, {4, 0}, {4, 1}, {4, 2}},
         [](P p) {
             i32 skip = 0, ierr = 0;
             dpchfe_(&six, p[0], p[1], p[2], &one, &skip, &six, p[3], p[4], &ierr);
             p[5][0] = ierr;
         }},
        {"dchfev",
         {{-1.0, 0.5, 2.0}, zeros(3)},
         {{1, 0}},
         [](P p) {
             const double x1 = 0.0, x2 = 1.0, f1 = 1.0, f2 = 2.0, d1 = 0.5, d2 = -1.0;
             i32 next[2], ierr;
             dchfev_(&x1, &x2, &f1, &f2, &d1, &d2, &three, p[0], p[1], next, &ierr);
         }},
        {"RuleOfMixture",
         {zeros(4), {230e3, 15e3, 24e3, 0.25}, {3.5e3, 0.35}},
         {{0, 1}},
         [](P p) {
             const double vf = 0.6;
             micromechanic::RuleOfMixture(p[0], p[1], p[2], &vf);
         }},
        {"Chamis",
         {zeros(5), {230e3, 15e3, 24e3, 5.5e3, 0.25}, {3.5e3, 0.35}},
         {{0, 1}},
         [](P p) {
             const double vf = 0.6;
             micromechanic::Chamis(p[0], p[1], p[2], &vf, &five);
         }},
        {"Krimmer",
         {zeros(5), {140e3, 9e3, 0.3}, {230e3, 15e3, 24e3, 5.5e3, 0.25}, {3.5e3, 0.35}},
         {{0, 2}},
         [](P p) {
             const double vf = 0.6;
             micromechanic::Krimmer(p[0], p[1], p[2], p[3], &vf);
         }},
        {"LTH",
         {zeros(5), {230e3, 15e3, 24e3, 5.5e3, 0.25}, {4e3, 3.8e3, 1.4e3, 1.3e3, 0.36}},
         {{0, 1}, {0, 2}},
         [](P p) {
             const double vf = 0.6;
             micromechanic::LTH(p[0], p[1], p[2], &vf, &five, &one, &zero);
         }},
        {"InSituLaRC04",
         {zeros(2), {140e3, 9e3, 0.3, 4.6e3}, {0.26, 0.8}},
         {{0, 2}},
         [](P p) {
             const double xt22 = 60.0, x12 = 90.0, t = 0.0001;
             isscollection::InSituLaRC04(p[0], p[1], p[2], &xt22, &x12, &t, nullptr);
         }},
        {"GetEshelbyTensor",
         {zeros(36), regular(6, 1)},
         {{0, 1}},
         [](P p) {
             const i32 kind = 11;
             const double ratio = 1.5, nu = 0.3;
             micromechanic::GetEshelbyTensor(p[0], &kind, &ratio, &nu, p[1]);
         }},
        {"GetStrainConcentrationTensor",
         {zeros(36), values(36, 1), regular(6, 2), regular(6, 3)},
         {{0, 1}, {0, 2}, {0, 3}},
         [](P p) {
             const double vinc = 0.4;
             micromechanic::GetStrainConcentrationTensor(p[0], p[1], p[2], p[3], &vinc, &five);
         }},
        {"GetAverageSCFromDualEquation",
         {zeros(36), values(36, 1), values(36, 2), values(36, 3)},
         {{0, 1}, {0, 2}, {0, 3}},
         [](P p) {
             const double vinc = 0.4;
             micromechanic::GetAverageSCFromDualEquation(p[0], p[1], p[2], p[3], &vinc);
         }},
        {"GetFiberBundleComplianceMatrix",
         {zeros(36), isotropic_compliance(70e3, 0.22), isotropic_compliance(1e3, 0.4)},
         {{0, 1}, {0, 2}},
         [](P p) {
             const double vf = 0.5, vinter = 0.05;
             micromechanic::GetFiberBundleComplianceMatrix(p[0], p[1], p[2], &vf, &vinter);
         }},
        {"GetPorousResinComplianceMatrix",
         {zeros(36), isotropic_compliance(3.5e3, 0.35)},
         {{0, 1}},
         [](P p) {
             const double vv = 0.1;
             micromechanic::GetPorousResinComplianceMatrix(p[0], p[1], &vv, &zero);
         }},
        {"GetPorousResinComplianceMatrixSpectrum",
         {zeros(36), isotropic_compliance(3.5e3, 0.35)},
         {{0, 1}},
         [](P p) {
             const double vv = 0.1;
             micromechanic::GetPorousResinComplianceMatrix(p[0], p[1], &vv, &one);
         }},
        {"GeneralizedMoriTanaka",
         {zeros(36), values(72, 1), values(72, 2), {0.2, 0.3}, regular(6, 3)},
         {{0, 1}, {0, 2}, {0, 4}},
         [](P p) { micromechanic::GeneralizedMoriTanaka(p[0], p[1], p[2], p[3], p[4], &two); }},
        {"dpchic",  // end conditions from four points read x after d is written
         {{0.0, 0.5, 1.5, 2.0, 3.5}, values(5, 1), zeros(5)},
         {{2, 0}, {2, 1}},
         [](P p) {
             const i32 ic[2] = {4, -3}, nwk = 8;
             const double vc[2] = {0.0, 0.0}, sw = 1.0;
             double wk[8];
             i32 ierr;
             dpchic_(ic, vc, &sw, &five, p[0], p[1], p[2], &one, wk, &nwk, &ierr);
         }},
        {"dpchfd",
         evaluation({zeros(6), zeros(6)}),
         {{4, 3}, {5, 3}, {4, 1}, {5, 2}, {5, 0}},
         [](P p) {
             i32 skip = 0, ierr = 0;
             dpchfd_(&six, p[0], p[1], p[2], &one, &skip, &six, p[3], p[4], p[5], &ierr);
         }},
        {"dpchbs",  // 5 breakpoints: 14 knots over x, 10 coefficients over f or d
         {padded({0.0, 0.5, 1.5, 2.0, 3.5}, 14), padded(values(5, 1), 10),
          padded(values(5, 2), 10), zeros(14), zeros(10)},
         {{3, 0}, {4, 1}, {4, 2}},
         bspline_form(2)},
        {"dpchbsGivenKnots",  // the knots an input, coefficients over them
         {{0.0, 0.5, 1.5, 2.0, 3.5}, values(5, 1), values(5, 2),
          {-1.0, -1.0, 0.0, 0.0, 0.5, 0.5, 1.5, 1.5, 2.0, 2.0, 3.5, 3.5, 4.0, 4.0}, zeros(10)},
         {{4, 3}},
         bspline_form(-1)},
        {"dchfdv",
         {{-1.0, 0.5, 2.0}, zeros(3), zeros(3)},
         {{1, 0}, {2, 0}},
         [](P p) {
             const double x1 = 0.0, x2 = 1.0, f1 = 1.0, f2 = 2.0, d1 = 0.5, d2 = -1.0;
             i32 next[2], ierr;
             dchfdv_(&x1, &x2, &f1, &f2, &d1, &d2, &three, p[0], p[1], p[2], next, &ierr);
         }},
        {"interp_lagrange",  // one component: the results have the shape of every input
         {{0.0, 0.5, 1.5, 2.0}, values(4, 1), {-1.0, 0.7, 1.2, 3.0}, zeros(4)},
         {{3, 0}, {3, 1}, {3, 2}},
         [](P p) { interp_lagrange_(&one, &four, p[0], p[1], &four, p[2], p[3]); }},
        {"lagrange_value",  // one abscissa: l(1, 4) over the four points
         {{0.5}, {-1.0, 0.7, 1.2, 3.0}, zeros(4)},
         {{2, 1}},
         [](P p) { lagrange_value_(&one, p[0], &four, p[1], p[2]); }},
        {"parameterize_arc_length",
         {values(5, 1), zeros(5)},
         {{1, 0}},
         [](P p) { parameterize_arc_length_(&one, &five, p[0], p[1]); }},
        {"r8vec_expand_linear2",  // nothing inserted: one output per input
         {values(4, 1), zeros(4)},
         {{1, 0}},
         [](P p) { r8vec_expand_linear2_(&four, p[0], &zero, &zero, &zero, p[1]); }},
        {"r8mat_expand_linear2",
         {values(6, 1), zeros(6)},
         {{1, 0}},
         [](P p) { r8mat_expand_linear2_(&three, &two, p[0], &three, &two, p[1]); }},
        {"GetPartialFG",
         {zeros(18), values(18, 1), values(18, 2), values(9, 3), values(9, 4)},
         {{0, 1}, {0, 2}},
         [](P p) { laminate::GetPartialFG(p[0], p[1], p[2], p[3], p[4], &two, &one); }},
        {"getpartialabwithcurvature",
         {zeros(9), values(9, 1), values(9, 2), values(9, 3)},
         {{0, 1}, {0, 2}, {0, 3}},
         [](P p) {
             const double ki = 0.3, kj = -0.2;
             laminate::laminate_getpartialabwithcurvature(p[0], p[1], p[2], p[3], &ki, &kj, &three,
                                                          &one);
         }},
        {"GetPartialCDwithCurvature",
         {zeros(27), values(27, 1), ply(), {20.0}, {-0.5, 0.0, 0.5}},
         {{0, 1}},
         [](P p) {
             const i32 counts[1] = {2};
             const double ki = 0.3, kj = -0.2;
             laminate::GetPartialCDwithCurvature(p[0], p[1], p[2], p[3], p[4], counts, &ki, &kj,
                                                 &three, &three, &one, &nine, &one);
         }},
        {"GetShearCorrectFactors",
         {zeros(2), {3000.0, 100.0, 100.0, 4000.0}, ply(), {20.0}, {0.5}},
         {{0, 1}},
         [](P p) { laminate::GetShearCorrectFactors(p[0], p[1], p[2], p[3], p[4], &one); }},
        {"GetNormalStressFromBottom",
         {zeros(3), values(2, 1), values(2, 2), {-0.5, 0.1, 0.5}, values(12, 3)},
         {{0, 3}},
         [](P p) { laminate::GetNormalStressFromBottom(p[0], p[1], p[2], p[3], p[4], &one); }},
        {"GetNormalStressFromTop",
         {zeros(3), values(2, 1), values(2, 2), {2.5}, {-0.5, 0.1, 0.5}, values(12, 3)},
         {{0, 4}},
         [](P p) { laminate::GetNormalStressFromTop(p[0], p[1], p[2], p[3], p[4], p[5], &one); }},
        {"GetIntegralOfMembraneNormalStress",
         {zeros(5), values(4, 1), {-0.5, -0.3, 0.0, 0.2, 0.5}},
         {{0, 2}},
         [](P p) {
             const i32 counts[2] = {3, 3};
             const double ki = 0.4, kj = -0.3;
             laminate::GetIntegralOfMembraneNormalStress(p[0], p[1], p[2], counts, &ki, &kj, &five,
                                                         &two);
         }},
        {"GetPlyBottomTopStress",
         {zeros(24), values(24, 1)},
         {{0, 1}},
         [](P p) {
             const i32 counts[2] = {2, 2};
             laminate::GetPlyBottomTopStress(p[0], p[1], counts, &four, &two);
         }},
        {"GetVoigtEffectiveStiffness",
         {zeros(36), {1.0}, regular(6, 1)},
         {{0, 2}},
         effective(laminate::GetVoigtEffectiveStiffness)},
        {"GetReussEffectiveStiffness",
         {zeros(36), {1.0}, regular(6, 1)},
         {{0, 2}},
         effective(laminate::GetReussEffectiveStiffness)},
        {"GetChouEffectiveStiffness",
         {zeros(36), {1.0}, regular(6, 1)},
         {{0, 2}},
         effective(laminate::GetChouEffectiveStiffness)},
        {"GetSunEffectiveStiffness",
         {zeros(36), {1.0}, regular(6, 1)},
         {{0, 2}},
         effective(laminate::GetSunEffectiveStiffness)},
        {"GetHenryEffectiveStiffness",
         {zeros(36), {1.0}, regular(6, 1)},
         {{0, 2}},
         effective(laminate::GetHenryEffectiveStiffness)},
    };
    std::vector<Case> out;
    for (const Routine& r : routines)
        for (auto [o, i] : r.shared)
            out.push_back({std::string(r.name) + "_" + std::to_string(o) + "_" + std::to_string(i),
                           r.args, o, i, r.call});
    return out;
}

class InPlace : public ::testing::TestWithParam<Case> {};

TEST_P(InPlace, SameResultAsWithASeparateOutput) {
    const Case& c = GetParam();
    Arrays separate = c.args;
    separate[c.out].assign(c.args[c.in].begin(), c.args[c.in].end());  // an in/out starts alike
    c.call(pointers(separate));

    Arrays shared = c.args;
    std::vector<double*> p = pointers(shared);
    p[c.out] = p[c.in];
    c.call(p);

    EXPECT_EQ(shared[c.in], separate[c.out]) << "output written over input " << c.in;
    for (size_t k = 0; k < c.args.size(); ++k) {
        if (int(k) == c.in || int(k) == c.out) continue;
        EXPECT_EQ(shared[k], separate[k]) << "argument " << k;
    }
}

INSTANTIATE_TEST_SUITE_P(Routines, InPlace, ::testing::ValuesIn(cases()),
                         [](const auto& info) { return info.param.name; });

// The example of a symmetric part taken in place.
TEST(MatrixSymmetrize, InPlace) {
    double a[4] = {1.0, 4.0, 2.0, 3.0};  // [[1, 2], [4, 3]]
    math::MatrixSymmetrize(a, a, &two);
    EXPECT_EQ(std::vector<double>(a, a + 4), (std::vector<double>{1.0, 3.0, 3.0, 3.0}));
}

}  // namespace
