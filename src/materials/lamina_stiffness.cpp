// Elastic description of an orthotropic ply: stiffness, compliance, rotations, stress and energy.
// Everything here runs per integration point: fixed-size stack work arrays only.
#include "materials/lamina_stiffness.hpp"

#include <algorithm>
#include <array>
#include <cfloat>
#include <cmath>

#include "base/errorhandling.hpp"
#include "base/numbers.hpp"
#include "core/math_geometry.hpp"
#include "core/math_linalg.hpp"
#include "core/math_products.hpp"
#include "core/utility_shape.hpp"
#include "base/work.hpp"
#include "materials/lamina_notation.hpp"

namespace vorlen::lamina {
namespace {

constexpr double deg2rad = 0.017453292519943295;

// Nye property vector with its minor Poisson ratios.
struct Ply {
    double e1, e2, e3, nu12, nu13, nu23, g12, g13, g23;
    double nu21, nu31, nu32;
};

[[gnu::always_inline]] inline Ply ply_of(const double* props) {
    const Vec<const double> p(props, 9);
    Ply q{p(1), p(2), p(3), p(4), p(5), p(6), p(7), p(8), p(9), 0.0, 0.0, 0.0};
    q.nu21 = q.e2 / q.e1 * q.nu12;
    q.nu31 = q.e3 / q.e1 * q.nu13;
    q.nu32 = q.e3 / q.e2 * q.nu23;
    return q;
}

void zero(Mat<double> a) { std::fill(a.begin(), a.end(), 0.0); }

// Determinant of the normal block of the compliance times E1 E2 E3.
double delta_of(const Ply& p) {
    return 1.0 - p.nu12 * p.nu21 - p.nu23 * p.nu32 - p.nu13 * p.nu31 -
           2.0 * p.nu12 * p.nu23 * p.nu31;
}

// Whether the compliance of the constants the stiffness is built from is positive definite:
// finite positive moduli and positive principal minors of the normal block (1 - nu12 nu21 in
// plane stress; with it 1 - nu13 nu31, 1 - nu23 nu32 and Delta in the full form). Only the
// constants of the chosen form count: plane stress reads neither E3 nor G13 and G23.
[[gnu::always_inline]] inline bool positive_definite(const Ply& p, i32 ntens, bool planestress) {
    auto positive = [](double x) { return x > 0.0 && std::isfinite(x); };
    const bool plane =
        positive(p.e1) && positive(p.e2) && positive(p.g12) && 1.0 - p.nu12 * p.nu21 > 0.0;
    if (planestress || !plane) return plane;
    return positive(p.e3) && 1.0 - p.nu13 * p.nu31 > 0.0 && 1.0 - p.nu23 * p.nu32 > 0.0 &&
           delta_of(p) > 0.0 && (ntens != 6 || (positive(p.g13) && positive(p.g23)));
}

// On-axis stiffness entries of an orthotropic ply into a zeroed ntens by ntens matrix (ntens
// 3 to 6). The shear diagonal G12 sits at m = min(ntens, 4); ntens 6 adds G13 and G23. With
// mirror set, the plane-stress c(2,1) is a copy of c(1,2); else it is nu21 E1/D.
void orthotropic_stiffness(Mat<double> c, const Ply& p, i32 ntens, bool planestress,
                           bool mirror) {
    const int m = std::min(ntens, 4);
    if (planestress) {
        const double d = 1.0 - p.nu12 * p.nu21;
        c(1, 1) = p.e1 / d;
        c(1, 2) = p.nu12 * p.e2 / d;
        c(2, 1) = mirror ? c(1, 2) : p.nu21 * p.e1 / d;
        c(2, 2) = p.e2 / d;
        c(m, m) = p.g12;
        return;
    }
    const double k = delta_of(p) / (p.e1 * p.e2 * p.e3);
    c(1, 1) = (1.0 - p.nu23 * p.nu32) / (p.e2 * p.e3 * k);
    c(2, 2) = (1.0 - p.nu13 * p.nu31) / (p.e1 * p.e3 * k);
    c(3, 3) = (1.0 - p.nu12 * p.nu21) / (p.e1 * p.e2 * k);
    c(1, 2) = c(2, 1) = (p.nu21 + p.nu23 * p.nu31) / (p.e2 * p.e3 * k);
    c(1, 3) = c(3, 1) = (p.nu31 + p.nu21 * p.nu32) / (p.e2 * p.e3 * k);
    c(2, 3) = c(3, 2) = (p.nu32 + p.nu12 * p.nu31) / (p.e1 * p.e3 * k);
    c(m, m) = p.g12;
    if (ntens == 6) {
        c(5, 5) = p.g13;
        c(6, 6) = p.g23;
    }
}

// Whether an entry off the diagonal is a number the solvers can take: any finite one (on the
// diagonal a positive normal one). An overflow in the assembly gives inf or not-a-number, an
// underflow 0 or a subnormal entry (E3 = 1e-320 leaves the normal block 0); constants whose
// stiffness is out of range give no stiffness.
inline bool finite_entry(double x) { return std::abs(x) <= DBL_MAX; }

// Whether the ntens by ntens stiffness a of the chosen form holds such numbers only; the
// diagonal entries the plane-stress form leaves 0 inside 4 or 6 components do not count.
bool representable(const Mat<double>& a, i32 ntens, bool planestress) {
    const int m = std::min(ntens, 4);
    if (!std::all_of(a.begin(), a.end(), finite_entry)) return false;
    for (int i = 1; i <= ntens; ++i)
        if ((!planestress || i <= 2 || i == m) && !positive_normal(a(i, i))) return false;
    return true;
}

// The test of representable on the nine distinct entries of a three-dimensional stiffness c(6,6).
// Out of line, on the stored entries: on the registers of the assembly it made the compiler give
// up the paired divisions, which cost a quarter more time per call.
[[gnu::noinline]] bool representable6(const double* c) {
    return positive_normal(c[0]) & positive_normal(c[7]) & positive_normal(c[14]) &
           finite_entry(c[1]) & finite_entry(c[2]) & finite_entry(c[8]) & positive_normal(c[21]) &
           positive_normal(c[28]) & positive_normal(c[35]);
}

// The three-dimensional on-axis stiffness (6 by 6), every entry written: the arithmetic of
// orthotropic_stiffness for ntens 6, with no matrix to clear first. False when an entry is out
// of range (c then holds them; the general path writes it again).
bool orthotropic_stiffness6(double* c, const Ply& p) {
    const double k = delta_of(p) / (p.e1 * p.e2 * p.e3);
    const double c11 = (1.0 - p.nu23 * p.nu32) / (p.e2 * p.e3 * k);
    const double c22 = (1.0 - p.nu13 * p.nu31) / (p.e1 * p.e3 * k);
    const double c33 = (1.0 - p.nu12 * p.nu21) / (p.e1 * p.e2 * k);
    const double c12 = (p.nu21 + p.nu23 * p.nu31) / (p.e2 * p.e3 * k);
    const double c13 = (p.nu31 + p.nu21 * p.nu32) / (p.e2 * p.e3 * k);
    const double c23 = (p.nu32 + p.nu12 * p.nu31) / (p.e1 * p.e3 * k);
    // Column by column, as single stores: a local copy would be cleared and copied whole.
    c[0] = c11, c[1] = c12, c[2] = c13, c[3] = 0.0, c[4] = 0.0, c[5] = 0.0;
    c[6] = c12, c[7] = c22, c[8] = c23, c[9] = 0.0, c[10] = 0.0, c[11] = 0.0;
    c[12] = c13, c[13] = c23, c[14] = c33, c[15] = 0.0, c[16] = 0.0, c[17] = 0.0;
    c[18] = 0.0, c[19] = 0.0, c[20] = 0.0, c[21] = p.g12, c[22] = 0.0, c[23] = 0.0;
    c[24] = 0.0, c[25] = 0.0, c[26] = 0.0, c[27] = 0.0, c[28] = p.g13, c[29] = 0.0;
    c[30] = 0.0, c[31] = 0.0, c[32] = 0.0, c[33] = 0.0, c[34] = 0.0, c[35] = p.g23;
    return representable6(c);
}

// Zeroes an on-axis matrix; false (with the routine's report) for a size without a layout.
bool zeroed_on_axis(Mat<double> a, i32 ntens, const char* message) {
    zero(a);
    if (ntens == 3 || ntens == 4 || ntens == 6) return true;
    errorhandling::report(-2, message);
    return false;
}

bool is_plane_stress(i32 ntens, const i32* psflag) { return ntens == 3 || (psflag && *psflag == 0); }

// GetNyeStiffnessMatrix of the constants p, every size and form (kept apart from the
// three-dimensional path, whose frame stays small).
[[gnu::noinline]] void nye_stiffness(double* c, const Ply& p, i32 n, const i32* psflag) {
    Mat<double> a(c, n, n);
    if (!zeroed_on_axis(a, n, "Unsupported dimension in GetNyeStiffnessMatrix")) return;
    const bool planestress = is_plane_stress(n, psflag);
    if (!positive_definite(p, n, planestress)) {
        errorhandling::report(-3, "Compliance not positive definite in GetNyeStiffnessMatrix");
        return;
    }
    orthotropic_stiffness(a, p, n, planestress, true);
    if (!representable(a, n, planestress)) {
        zero(a);
        errorhandling::report(-3, "Stiffness out of range in GetNyeStiffnessMatrix");
    }
}

// Engineering-shear factor of strain entry j: 2 for tensor shears when asked.
double shear_factor(i64 j, i32 ndi, bool istensor) { return istensor && j > ndi ? 2.0 : 1.0; }

// GetStressVector of n components; N > 0 fixes the count at N (the strain and the sums on the
// stack, the loops unrolled). The strain is taken whole first (stress may be strain0 or dstrain),
// then the n row sums side by side, each summed over j = 1..n in order.
template <int N>
void stress_vector(double* stress, const double* d, const double* strain0, const double* dstrain,
                   i32 ndi, i32 n, bool secant, bool tensor) {
    const i32 m = N > 0 ? N : n;
    double fixed[2 * (N > 0 ? N : 1)];
    Work<double, 12> any(N > 0 ? 0 : 2 * i64{m});
    double* e = N > 0 ? fixed : any.data();
    double* sum = e + m;
#pragma GCC unroll 6
    for (i32 j = 0; j < m; ++j) {
        const double f = shear_factor(j + 1, ndi, tensor);
        e[j] = secant ? f * strain0[j] + f * dstrain[j] : f * dstrain[j];
    }
#pragma GCC unroll 6
    for (i32 i = 0; i < m; ++i) sum[i] = 0.0;
#pragma GCC unroll 6
    for (i32 j = 0; j < m; ++j)
#pragma GCC unroll 6
        for (i32 i = 0; i < m; ++i) sum[i] += d[i + i64{m} * j] * e[j];
#pragma GCC unroll 6
    for (i32 i = 0; i < m; ++i) stress[i] = secant ? sum[i] : stress[i] + sum[i];
}

// GetSpecificStrainEnergy of n components (N > 0 fixes the count at N), summed in order.
template <int N>
void strain_energy(double* sse, const double* sig, const double* sig0, const double* e0,
                   const double* de, i32 ndi, i32 n, bool secant, bool tensor) {
    const i32 m = N > 0 ? N : n;
    double sum = 0.0;
    if (secant) {
#pragma GCC unroll 6
        for (i32 i = 0; i < m; ++i) {
            const double f = shear_factor(i + 1, ndi, tensor);
            sum += sig[i] * (f * e0[i] + f * de[i]);
        }
        *sse = 0.5 * sum;
    } else {
#pragma GCC unroll 6
        for (i32 i = 0; i < m; ++i)
            sum += (sig[i] + sig0[i]) * (shear_factor(i + 1, ndi, tensor) * de[i]);
        *sse = *sse + 0.5 * sum;
    }
}

}  // namespace

extern "C" {

void GetNyeProperties(double* nyeprops, const double* elastic, const i32* nelastic) {
    Vec<double> out(nyeprops, 9);
    const Vec<const double> e(elastic, std::max<i32>(*nelastic, 0));
    switch (*nelastic) {
    case 2: {
        const double g = e(1) / (2.0 * (1.0 + e(2)));
        const double v[9] = {e(1), e(1), e(1), e(2), e(2), e(2), g, g, g};
        std::copy_n(v, 9, out.begin());
        return;
    }
    case 5: {
        double g12, g23, nu12, nu23;
        if (e(3) <= 1.0) {
            nu12 = e(3), nu23 = e(4), g12 = e(5), g23 = 0.0;
        } else {
            g12 = e(3), g23 = e(4), nu12 = e(5), nu23 = 0.0;
        }
        if (g23 == 0.0) g23 = e(2) / (2.0 * (1.0 + nu23));
        if (nu23 == 0.0) nu23 = e(2) / (2.0 * g23) - 1.0;
        const double v[9] = {e(1), e(2), e(2), nu12, nu12, nu23, g12, g12, g23};
        std::copy_n(v, 9, out.begin());
        return;
    }
    case 9: {
        // Poisson ratios given last (all <= 1) are moved behind the moduli; a failed
        // comparison (a shear modulus last, or a NaN) means the list is in Nye order already.
        // Every value is read before nyeprops is written (it may be elastic itself) and stored
        // straight from the registers.
        const double e1 = e(1), e2 = e(2), e3 = e(3), a = e(4), b = e(5), c = e(6);
        const double x = e(7), y = e(8), z = e(9);
        const bool reorder = x <= 1.0 && y <= 1.0 && z <= 1.0;
        out(1) = e1, out(2) = e2, out(3) = e3;
        if (reorder)
            out(4) = x, out(5) = y, out(6) = z, out(7) = a, out(8) = b, out(9) = c;
        else
            out(4) = a, out(5) = b, out(6) = c, out(7) = x, out(8) = y, out(9) = z;
        return;
    }
    default:
        errorhandling::report(-2, "Unsupported input in GetNyeProperties");
    }
}

void GetNyeStiffnessMatrix(double* c, const double* props, const i32* ntens, const i32* psflag) {
    const i32 n = *ntens;
    const Ply p = ply_of(props);  // before c is written: c may be props itself
    // A refused fast path is assembled again by the general one, which reports.
    if (!(n == 6 && !is_plane_stress(n, psflag) && positive_definite(p, 6, false) &&
          orthotropic_stiffness6(c, p)))
        nye_stiffness(c, p, n, psflag);
}

void GetNyeComplianceMatrix(double* s, const double* props, const i32* ntens, const i32* psflag) {
    const i32 n = *ntens;
    Mat<double> a(s, n, n);
    if (!zeroed_on_axis(a, n, "Unsupported dimension in GetNyeComplianceMatrix")) return;
    const Ply p = ply_of(props);
    const int m = std::min(n, 4);
    a(1, 1) = 1.0 / p.e1;
    a(1, 2) = a(2, 1) = -p.nu12 / p.e1;
    a(2, 2) = 1.0 / p.e2;
    a(m, m) = 1.0 / p.g12;
    if (is_plane_stress(n, psflag)) return;
    a(3, 3) = 1.0 / p.e3;
    a(1, 3) = a(3, 1) = -p.nu13 / p.e1;
    a(2, 3) = a(3, 2) = -p.nu23 / p.e2;
    if (n == 6) {
        a(5, 5) = 1.0 / p.g13;
        a(6, 6) = 1.0 / p.g23;
    }
}

void GetGeneralizedNyeOnAxisSC(double* sc, const double* props, const i32* ntens,
                               const i32* nprops, const i32* scflag, const i32* psflag,
                               const lgl* /*ldflag: no effect*/, const lgl* unsymm) {
    static constexpr char message[] =
        "Unsupported number of properties or dimensions in GetGeneralizedNyeOnAxisSC.";
    const i32 n = *ntens, np = *nprops;
    // The layouts below place entries up to position 4 and read the 6 by 6 matrix only.
    if (n < 3 || n > 6) {
        zero(Mat<double>(sc, n, n));
        errorhandling::report(-3, message);
        return;
    }
    // Built in a work matrix and stored at the end: sc may be props itself (36 values).
    std::array<double, 36> work{};
    Mat<double> a(work.data(), n, n);
    const bool planestress = is_plane_stress(n, psflag);
    const int m = std::min(n, 4);
    const Vec<const double> p(props, std::max<i32>(np, 0));

    if (np == 2 || np == 5 || np == 9 || np == 12) {
        double nye[9];
        const i32 count = np == 12 ? 9 : np;
        GetNyeProperties(nye, props, &count);
        Ply q = ply_of(nye);
        if (np == 12) q.nu21 = p(10), q.nu31 = p(11), q.nu32 = p(12);
        orthotropic_stiffness(a, q, n, planestress, false);
    } else if (np == 21 || np == 36) {
        std::array<double, 36> fullbuf;
        Mat<double> full(fullbuf.data(), 6, 6);
        if (np == 36) {
            std::copy_n(props, 36, fullbuf.begin());
        } else {
            std::array<double, 36> triangle;
            const i32 six = 6;
            utility::GetUnpackedTriangle(triangle.data(), props, &six, &np, "F", nullptr);
            utility::Symmetrize(triangle.data(), fullbuf.data(), &six);
        }
        if (planestress) {
            const int from[3] = {1, 2, 4}, to[3] = {1, 2, m};
            for (int j = 0; j < 3; ++j)
                for (int i = 0; i < 3; ++i) a(to[i], to[j]) = full(from[i], from[j]);
        } else {
            for (int j = 1; j <= n; ++j)
                for (int i = 1; i <= n; ++i) a(i, j) = full(i, j);
        }
    }

    if ((np == 12 || np == 36) && !(unsymm && *unsymm)) math::MatrixSymmetrize(a.p, a.p, &n);

    if (std::all_of(a.begin(), a.end(), [](double x) { return x == 0.0; }))
        errorhandling::report(-2, message);

    if (*scflag == 0)
        math::MatrixInverse(a.p, sc, &n);
    else
        std::copy(a.begin(), a.end(), sc);
}

void GetReducedNyeStiffnessMatrix(double* qs, const double* c, const i32* plflag) {
    std::array<double, 36> cvbuf;
    const i32 sdim = 6;
    FlipVoigtNyeNotation(cvbuf.data(), c, &sdim, &sdim);
    const Mat<const double> cv(cvbuf.data(), 6, 6);
    const i32 plane = plflag ? *plflag : 1;
    int p[3] = {1, 2, 6}, n = 3;
    if (plane == 2) p[0] = 2, p[1] = 3, p[2] = 4, n = 1;
    if (plane == 3) p[0] = 1, p[1] = 3, p[2] = 5, n = 2;
    Mat<double> q(qs, 3, 3);
    for (int j = 1; j <= 3; ++j)
        for (int i = 1; i <= 3; ++i)
            q(i, j) = cv(p[i - 1], p[j - 1]) - cv(p[j - 1], n) * cv(p[i - 1], n) / cv(n, n);
}

void GetInvariantsFromReducedStiffness(double* u, const double* props, const i32* nprops) {
    std::array<double, 9> qbuf;
    const i32 three = 3, stiffness = 1;
    GetGeneralizedNyeOnAxisSC(qbuf.data(), props, &three, nprops, &stiffness, nullptr, nullptr,
                              nullptr);
    const Mat<const double> q(qbuf.data(), 3, 3);
    const double q11 = q(1, 1), q22 = q(2, 2), q12 = q(1, 2), q66 = q(3, 3);
    Vec<double> v(u, 5);
    v(1) = (3.0 * q11 + 3.0 * q22 + 2.0 * q12 + 4.0 * q66) / 8.0;
    v(2) = (q11 - q22) / 2.0;
    v(3) = (q11 + q22 - 2.0 * q12 - 4.0 * q66) / 8.0;
    v(4) = (q11 + q22 + 6.0 * q12 - 4.0 * q66) / 8.0;
    v(5) = (q11 + q22 - 2.0 * q12 + 4.0 * q66) / 8.0;
}

void GetNyeTransformationMatrix(double* t, const double* rangle, const i32* tdim,
                                const i32* ttype, const i32* tflag) {
    static constexpr char ttype_message[] = "False input for TType in GetNyeTransformationMatrix";
    const i32 n = *tdim;
    Mat<double> a(t, n, n);
    zero(a);
    if (n != 3 && n != 6) {  // no place for the 12 component: zeros
        errorhandling::report(-3, ttype_message);
        return;
    }
    if (*ttype != 0 && *ttype != 1) errorhandling::report(-2, ttype_message);
    const double sign = *ttype == 0 ? 1.0 : -1.0;
    const double c = std::cos(*rangle), s = std::sin(*rangle);
    const double cs = sign * c * s;
    const int k = n == 3 ? 3 : 4;
    a(1, 1) = c * c;
    a(1, 2) = s * s;
    a(2, 1) = s * s;
    a(2, 2) = c * c;
    if (n == 6) {
        a(3, 3) = 1.0;
        a(5, 5) = c;
        a(5, 6) = sign * s;
        a(6, 5) = -sign * s;
        a(6, 6) = c;
    }
    if (*tflag == 0) {
        a(1, k) = 2.0 * cs, a(2, k) = -2.0 * cs, a(k, 1) = -cs, a(k, 2) = cs;
    } else if (*tflag == 1) {
        a(1, k) = cs, a(2, k) = -cs, a(k, 1) = -2.0 * cs, a(k, 2) = 2.0 * cs;
    } else {
        errorhandling::report(-2, "False input for TFlag in GetNyeTransformationMatrix");
        return;
    }
    a(k, k) = c * c - s * s;
}

void GetNyeOffAxisSC(double* scoff, const double* dangle, const double* props, const i32* ntens,
                     const i32* scflag) {
    const i32 n = *ntens;
    Mat<double> out(scoff, n, n);
    zero(out);
    if (n != 3 && n != 6) {
        errorhandling::report(-2, "Unsupported dimension in GetNyeStiffnessMatrixOff");
        return;
    }
    std::array<double, 36> mbuf, tbuf, mtbuf;
    if (*scflag == 0)
        GetNyeComplianceMatrix(mbuf.data(), props, &n, nullptr);
    else
        GetNyeStiffnessMatrix(mbuf.data(), props, &n, nullptr);
    // Any non-zero scflag is a stiffness, which rotates with the strain form.
    const double rangle = *dangle * deg2rad;
    const i32 ttype = 0, tflag = *scflag != 0 ? 1 : 0;
    GetNyeTransformationMatrix(tbuf.data(), &rangle, &n, &ttype, &tflag);
    const Mat<const double> m(mbuf.data(), n, n), t(tbuf.data(), n, n);
    Mat<double> mt(mtbuf.data(), n, n);
    for (int j = 1; j <= n; ++j)
        for (int i = 1; i <= n; ++i) {
            double sum = 0.0;
            for (int l = 1; l <= n; ++l) sum += m(i, l) * t(l, j);
            mt(i, j) = sum;
        }
    for (int j = 1; j <= n; ++j)
        for (int i = 1; i <= n; ++i) {
            double sum = 0.0;
            for (int l = 1; l <= n; ++l) sum += t(l, i) * mt(l, j);
            out(i, j) = sum;
        }
}

void GetOffAxisShearRigidMatrix(double* hoff, const double* g13, const double* g23,
                                const double* dangle) {
    const double angle = *dangle * deg2rad, axis[3] = {0.0, 0.0, 1.0};
    std::array<double, 9> rbuf;
    math::GetRotationMatrix(rbuf.data(), axis, &angle);
    const Mat<const double> r(rbuf.data(), 3, 3);  // its upper-left 2 by 2 block turns (23, 13)
    const double g[2] = {*g23, *g13};
    Mat<double> h(hoff, 2, 2);
    for (int j = 1; j <= 2; ++j)
        for (int i = 1; i <= 2; ++i)
            h(i, j) = r(1, i) * g[0] * r(1, j) + r(2, i) * g[1] * r(2, j);
}

void GetStressVector(double* stress, const double* ddsdde, const double* strain0,
                     const double* dstrain, const i32* ndi, const i32* ntens,
                     const lgl* issekant, const lgl* istensor) {
    const i32 n = std::max<i32>(*ntens, 0), nd = *ndi;
    const bool secant = *issekant, tensor = *istensor;
    if (n == 6)
        stress_vector<6>(stress, ddsdde, strain0, dstrain, nd, 6, secant, tensor);
    else
        stress_vector<0>(stress, ddsdde, strain0, dstrain, nd, n, secant, tensor);
}

void GetSpecificStrainEnergy(double* sse, const double* stress, const double* stress0,
                             const double* strain0, const double* dstrain, const i32* ndi,
                             const i32* ntens, const lgl* issekant, const lgl* istensor) {
    const i32 n = std::max<i32>(*ntens, 0), nd = *ndi;
    const bool secant = *issekant, tensor = *istensor;
    if (n == 6)
        strain_energy<6>(sse, stress, stress0, strain0, dstrain, nd, 6, secant, tensor);
    else
        strain_energy<0>(sse, stress, stress0, strain0, dstrain, nd, n, secant, tensor);
}

}  // extern "C"
}  // namespace vorlen::lamina
