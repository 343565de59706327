// Expansion of element vectors to three dimensions, reduction of the 3-D stress and tangent,
// and element lengths.
#include "elements/elementhandling_conversions.hpp"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "base/errorhandling.hpp"
#include "base/work.hpp"
#include "core/lapack.hpp"
#include "core/math_geometry.hpp"
#include "core/math_linalg.hpp"
#include "materials/lamina_stiffness.hpp"

namespace vorlen::elementhandling {
namespace {

// Nye positions of the components of 3-, 4- and 6-component element vectors.
constexpr int kPlaneStress[3] = {1, 2, 4};
constexpr int kPlaneStrain[4] = {1, 2, 3, 4};
constexpr int kAxial[4] = {1, 3, 2, 5};  // (rr, zz, thetatheta, rz) in the base (r, theta, z)

// out = the entries `pos` of the 6-vector in and the rows and columns `pos` of the 6 x 6 c.
template <int N>
void select(double* stress, double* tangent, const double* stress3d, const double* tangent3d,
            const int (&pos)[N]) {
    double s[N], t[N * N];
    for (int i = 0; i < N; ++i) {
        s[i] = stress3d[pos[i] - 1];
        for (int j = 0; j < N; ++j) t[i + N * j] = tangent3d[pos[i] - 1 + 6 * (pos[j] - 1)];
    }
    std::copy_n(s, N, stress);
    std::copy_n(t, N * N, tangent);
}

// 3-D vector with the element vector c at the positions pos, 0 elsewhere.
template <int N>
void expand(double* out, const double* c, const int (&pos)[N]) {
    double v[6] = {};
    for (int i = 0; i < N; ++i) v[pos[i] - 1] = c[i];
    std::copy_n(v, 6, out);
}

void plane_stress(const double* stress, const double* stran, const double* dstran,
                  const double* transverse, double* stress3d, double* stran3d, double* dstran3d,
                  bool normal, bool shear) {
    double s[6] = {}, e[6] = {}, de[6] = {};
    for (int i = 0; i < 3; ++i) {
        s[kPlaneStress[i] - 1] = stress[i];
        e[kPlaneStress[i] - 1] = stran[i];
        de[kPlaneStress[i] - 1] = dstran[i];
    }
    if (normal && transverse) s[2] = transverse[5], e[2] = transverse[2];
    if (shear && transverse) s[4] = transverse[3], s[5] = transverse[4], e[4] = transverse[0],
                             e[5] = transverse[1];
    std::copy_n(s, 6, stress3d);
    std::copy_n(e, 6, stran3d);
    std::copy_n(de, 6, dstran3d);
}

void plane_strain(const double* stress, const double* stran, const double* dstran,
                  double* stress3d, double* stran3d, double* dstran3d, bool axial) {
    const auto& pos = axial ? kAxial : kPlaneStrain;
    double s[4], e[4], de[4];  // read before anything is written
    std::copy_n(stress, 4, s);
    std::copy_n(stran, 4, e);
    std::copy_n(dstran, 4, de);
    expand(stress3d, s, pos);
    expand(stran3d, e, pos);
    expand(dstran3d, de, pos);
}

void copy3(const double* a, const double* b, const double* c, double* x, double* y, double* z,
           int n) {
    double buf[3 * 36];
    std::copy_n(a, n, buf);
    std::copy_n(b, n, buf + n);
    std::copy_n(c, n, buf + 2 * n);
    std::copy_n(buf, n, x);
    std::copy_n(buf + n, n, y);
    std::copy_n(buf + 2 * n, n, z);
}

}  // namespace

extern "C" {

void Get3DInputFromElem(double* stress3d, double* strain3d, double* dstrain3d,
                        const double* stress_nye, const double* strain_nye,
                        const double* dstrain_nye, const i32* ncomp, const double* transverse,
                        const i32* itnsflag, const i32* itshrflag, const lgl* isaxial) {
    switch (*ncomp) {
    case 3:
        plane_stress(stress_nye, strain_nye, dstrain_nye, transverse, stress3d, strain3d,
                     dstrain3d, itnsflag && *itnsflag != 0, itshrflag && *itshrflag != 0);
        break;
    case 4:
        plane_strain(stress_nye, strain_nye, dstrain_nye, stress3d, strain3d, dstrain3d,
                     isaxial && *isaxial);
        break;
    case 6: copy3(stress_nye, strain_nye, dstrain_nye, stress3d, strain3d, dstrain3d, 6); break;
    default: errorhandling::report(-3, "Unsupported component count", "Get3DInputFromElem");
    }
}

void Get3DStressFromPlaneStress(const double* stress, const double* stran, const double* dstran,
                                const double* transverse, double* stress3d, double* stran3d,
                                double* dstran3d, const i32* itnsflag, const i32* itshrflag) {
    plane_stress(stress, stran, dstran, transverse, stress3d, stran3d, dstran3d, *itnsflag != 0,
                 *itshrflag != 0);
}

void Get3DStressFromPlaneStrain(const double* stress, const double* stran, const double* dstran,
                                double* stress3d, double* stran3d, double* dstran3d,
                                const lgl* isaxial) {
    plane_strain(stress, stran, dstran, stress3d, stran3d, dstran3d, *isaxial);
}

void Get3DStressFromHex(const double* stress, const double* stran, const double* dstran,
                        double* stress3d, double* stran3d, double* dstran3d) {
    copy3(stress, stran, dstran, stress3d, stran3d, dstran3d, 6);
}

void GetElemOutputFrom3D(double* stresselem, double* tangentelem, const double* stress3d,
                         const double* tangent3d, const i32* n, const lgl* isaxial) {
    switch (*n) {
    case 3: GetPlaneStressOutputFrom3D(stresselem, tangentelem, stress3d, tangent3d); break;
    case 4:
        GetPlaneStrainOutputFrom3D(stresselem, tangentelem, stress3d, tangent3d, isaxial);
        break;
    case 6: GetHexOutputFrom3D(stresselem, tangentelem, stress3d, tangent3d); break;
    default: errorhandling::report(-3, "Unsupported component count", "GetElemOutputFrom3D");
    }
}

void GetPlaneStressOutputFrom3D(double* stressps, double* tangentps, const double* stress3d,
                                const double* tangent3d) {
    const Mat<const double> c(tangent3d, 6, 6);
    if (c(3, 3) == 0.0) {
        select(stressps, tangentps, stress3d, tangent3d, kPlaneStress);
        return;
    }
    double s[6], lu[36], q[9], out[3];
    std::copy_n(stress3d, 6, s);
    std::copy_n(tangent3d, 36, lu);
    const i32 six = 6;
    i32 ipiv[6], info = 0;
    dgetrf_(&six, &six, lu, &six, ipiv, &info);
    lamina::GetReducedNyeStiffnessMatrix(q, tangent3d, nullptr);
    if (info != 0) {
        // Singular (a degraded ply's zero row): the inverse records its code; the stress is
        // the condensed one, which needs only the 33 entry.
        math::MatrixInverse(tangent3d, lu, &six);
        for (int a = 0; a < 3; ++a) {
            const int p = kPlaneStress[a];
            out[a] = s[p - 1] - c(p, 3) * s[2] / c(3, 3);
        }
    } else {
        // e = tangent3d^-1 stress3d, solved from the factors
        const i32 one = 1;
        dgetrs_("N", &six, &one, lu, &six, ipiv, s, &six, &info, 1);
        for (int a = 0; a < 3; ++a) out[a] = q[a] * s[0] + q[a + 3] * s[1] + q[a + 6] * s[3];
    }
    std::copy_n(out, 3, stressps);
    std::copy_n(q, 9, tangentps);
}

void GetPlaneStrainOutputFrom3D(double* stresspl, double* tangentpl, const double* stress3d,
                                const double* tangent3d, const lgl* isaxial) {
    select(stresspl, tangentpl, stress3d, tangent3d, isaxial && *isaxial ? kAxial : kPlaneStrain);
}

void GetHexOutputFrom3D(double* stresshex, double* tangenthex, const double* stress3d,
                        const double* tangent3d) {
    // The tangent is moved first (over its own input or not); only a tangent output over the
    // stress input, which is read after it, goes through a buffer.
    if (!overlaps(tangenthex, 36, stress3d, 6)) {
        std::memmove(tangenthex, tangent3d, 36 * sizeof(double));
        std::memmove(stresshex, stress3d, 6 * sizeof(double));
        return;
    }
    double s[6], t[36];
    std::copy_n(stress3d, 6, s);
    std::copy_n(tangent3d, 36, t);
    std::copy_n(s, 6, stresshex);
    std::copy_n(t, 36, tangenthex);
}

double GetPlaneStressEpsZZ(const double* e33, const double* nu31, const double* nu32,
                           const double* s11, const double* s22) {
    if (*e33 == 0.0) {
        errorhandling::report(-3, "Zero modulus e33", "GetPlaneStressEpsZZ");
        return 0.0;
    }
    return -(*nu31 / *e33) * *s11 - (*nu32 / *e33) * *s22;
}

void GetHex8ElemLength(double* elemlength, const double* matcos, const double* nodalcoord) {
    const Mat<const double> m(matcos, 3, 3), x(nodalcoord, 3, 8);
    static constexpr int diagonal[4][2] = {{7, 1}, {8, 2}, {5, 3}, {6, 4}};
    double d[4][3], len[3];
    for (int k = 0; k < 4; ++k)
        for (int i = 1; i <= 3; ++i) d[k][i - 1] = x(i, diagonal[k][0]) - x(i, diagonal[k][1]);
    for (int j = 1; j <= 3; ++j) {
        double sum = 0.0;
        for (int k = 0; k < 4; ++k)
            for (int i = 1; i <= 3; ++i) sum += std::abs(m(i, j) * d[k][i - 1]);
        len[j - 1] = 0.25 * sum;
    }
    std::copy_n(len, 3, elemlength);
}

void GetQuad4ElemLength(double* elemlength, const double* tdirect, const double* nodalcoord) {
    const Mat<const double> t(tdirect, 3, 3), x(nodalcoord, 3, 4);
    static constexpr int node[3] = {2, 4, 3};
    double len[3];
    for (int k = 0; k < 3; ++k) {
        double off[3], p[3];
        for (int i = 1; i <= 3; ++i) off[i - 1] = x(i, node[k]) - x(i, 1);
        math::CoordinateProjection(tdirect, tdirect + 3, off, p, nullptr);
        double sum = 0.0;
        for (int i = 1; i <= 3; ++i) {
            const double v = t(i, 1) * p[0] + t(i, 2) * p[1] + t(i, 3) * p[2];
            sum += v * v;
        }
        len[k] = std::sqrt(sum);
    }
    std::copy_n(len, 3, elemlength);
}

void GetTruss3ElemLength(double* elemlength, const double* nodalcoord) {
    const Mat<const double> x(nodalcoord, 3, 2);
    *elemlength = std::hypot(x(1, 2) - x(1, 1), x(2, 2) - x(2, 1), x(3, 2) - x(3, 1));
}

void GetTruss3TransformationMatrix(double* te, const double* nodalcoord) {
    const Mat<const double> x(nodalcoord, 3, 2);
    double len = 0.0, dir[3];
    GetTruss3ElemLength(&len, nodalcoord);
    bool finite = true;
    for (int i = 1; i <= 3; ++i) {
        dir[i - 1] = (x(i, 2) - x(i, 1)) / len;
        finite = finite && std::isfinite(dir[i - 1]);
    }
    Mat<double> t(te, 2, 6);
    std::fill(t.begin(), t.end(), 0.0);
    if (!finite) {
        errorhandling::report(-3, "Coincident nodes", "GetTruss3TransformationMatrix");
        return;
    }
    for (int i = 1; i <= 3; ++i) t(1, i) = t(2, 3 + i) = dir[i - 1];
}

}  // extern "C"
}  // namespace vorlen::elementhandling
