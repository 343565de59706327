// Delaminated strip: strain energies of its regions, closed-form buckling of the sub-laminates
// and the transfer of their shed load into the side strips.
#include <algorithm>
#include <cmath>

#include "base/errorhandling.hpp"
#include "base/work.hpp"
#include "core/math_linalg.hpp"
#include "core/math_products.hpp"
#include "delamination/delisio.hpp"

namespace vorlen::delisio {
namespace {

constexpr double kPi2 = 9.869604401089358;  // pi^2
constexpr i32 kThree = 3, kSix = 6;

// abd with its D block replaced by D - B' A^-1 B, into abdt(36).
void reduced_abd(double* abdt, const double* abd) {
    Mat<const double> m(abd, 6, 6);
    double a[9], ainv[9], b[9], ainvb[9];
    for (int j = 1; j <= 3; ++j)
        for (int i = 1; i <= 3; ++i)
            a[(i - 1) + 3 * (j - 1)] = m(i, j), b[(i - 1) + 3 * (j - 1)] = m(i, j + 3);
    math::MatrixInverse(a, ainv, &kThree);
    for (int j = 0; j < 3; ++j)
        for (int i = 0; i < 3; ++i) {
            double s = 0.0;
            for (int k = 0; k < 3; ++k) s += ainv[i + 3 * k] * b[k + 3 * j];
            ainvb[i + 3 * j] = s;
        }
    std::copy_n(abd, 36, abdt);
    Mat<double> t(abdt, 6, 6);
    for (int j = 1; j <= 3; ++j)
        for (int i = 1; i <= 3; ++i) {
            double s = 0.0;
            for (int k = 1; k <= 3; ++k)
                s += b[(k - 1) + 3 * (i - 1)] * ainvb[(k - 1) + 3 * (j - 1)];
            t(i + 3, j + 3) = m(i + 3, j + 3) - s;
        }
}

}  // namespace

extern "C" {

void LinearElasticEnergy(const double* strain, const double* abdmatrix, const double* area,
                         double* energy, const i32* ncomp) {
    const i32 n = *ncomp;
    Work<double, 36> t(n);
    double e = 0.0;
    if (n > 0) {
        math::VectorMatrixProduct(strain, abdmatrix, t.data(), &n, &n);
        math::DotProduct(t.data(), strain, &e, &n);
    }
    *energy = 0.5 * e * *area;
}

void reducedElasticEnergy(const double* strain, const double* abdin, const double*, double* energy,
                          const i32* stresszero, const i32* strainzero, const i32* ncomp) {
    const i32 n = std::max<i32>(*ncomp, 0), row = *stresszero, col = *strainzero;
    if (row < 0 || row > n || col < 0 || col > n) {
        errorhandling::report(-3, "Stress or strain component outside 0..ncomp",
                              "reducedElasticEnergy");
        *energy = 0.0;
        return;
    }
    Work<double, 36> copy(static_cast<i64>(n) * n);
    std::copy_n(abdin, static_cast<i64>(n) * n, copy.data());
    Mat<double> m(copy.data(), n, n);
    if (col != 0)
        for (i32 i = 1; i <= n; ++i) m(i, col) = 0.0;
    if (row != 0)
        for (i32 j = 1; j <= n; ++j) m(row, j) = 0.0;
    const double one = 1.0;
    LinearElasticEnergy(strain, copy.data(), &one, energy, &n);
}

void EnergySublaminat(const double* abd_in, const double* dof_in, const double* a_el,
                      const double* b_el, const double* forces, double* energy, double* nsub,
                      lgl* bstatus, const double* buckfactor_in, const double* r_in) {
    const double buckfactor = buckfactor_in ? *buckfactor_in : 1.0;
    const double rpostbuck = r_in ? *r_in : 0.0;
    const double a = *a_el, b = *b_el, f1 = forces[0], area = 4.0 * a * b;
    double abdt[36];
    reduced_abd(abdt, abd_in);
    Mat<const double> dt(abdt + 21, 6, 3);  // dt(i, j) = D~(i, j), rows 1..3 of the D block
    const double d11 = dt(1, 1), d22 = dt(2, 2), d12 = dt(1, 2), d66 = dt(3, 3);
    const double f = kPi2 / ((2.0 * b) * (2.0 * b));
    const double nss = f * 2.0 * (std::sqrt(d11 * d22) + d12 + 2.0 * d66);
    const double ncl =
        f * (4.53 * std::sqrt(d11 * d22) + 2.62 * d11 * b * b / (a * a) + 2.62 * (d12 + 2.0 * d66));
    double nbuck = -(nss + ncl) / 2.0;

    double e = 0.0, n = f1;
    bool buckled = false;
    // An unloaded sub-laminate has no proportional buckling state to scale to.
    if (f1 != 0.0) {
        double epsbuck[6];
        for (int k = 0; k < 6; ++k) epsbuck[k] = dof_in[k] * nbuck / f1;
        if (buckfactor != 1.0) {
            epsbuck[0] *= buckfactor;
            nbuck = abd_in[0] * epsbuck[0];
        }
        n = std::max(nbuck, f1);
        if (!(f1 > nbuck)) {
            const double de = dof_in[0] - epsbuck[0];
            n = nbuck + rpostbuck * abd_in[0] * de;
            LinearElasticEnergy(epsbuck, abdt, &area, &e, &kSix);
            e += area * de * (nbuck + n) / 2.0;
            buckled = true;
        }
    }
    if (!buckled) LinearElasticEnergy(dof_in, abdt, &area, &e, &kSix);
    *energy = e;
    *nsub = n;
    *bstatus = buckled ? 1 : 0;
}

void MomentumBalance(const double* n11, const double* nsub, const double* b, const double* wr,
                     const double* wl, const double* w, const double* e, double* n_left,
                     double* n_right) {
    const double f11 = *n11 * *w, fsub = 2.0 * *b * *nsub;
    const double x = (*b - *e) / 2.0 + *w / 4.0, y = (*b + *e) / 2.0 + *w / 4.0;
    const double left = (f11 - fsub - *e * fsub / x) / (1.0 + y / x) / *wl;
    const double right = (f11 - fsub + *e * fsub / y) / (1.0 + x / y) / *wr;
    *n_left = left;
    *n_right = right;
}

void ForceTransfer(const double* abd, const double* abdsub, const double* forces,
                   const double* nsub1in, const double* nsub2in, const double*,
                   const double* leftwidth, const double* rightwidth, const double* damagewidth,
                   const double* w, const double* e, double* nleft_m, double* nright_m,
                   double* nsub1, double* nsub2, double* deltadof, double* ie1_delta,
                   double* ie2_delta, const double* r_in) {
    const double r = r_in ? *r_in : 0.0;
    const double n1in = *nsub1in, n2in = *nsub2in, dw = *damagewidth;
    const double lw = *leftwidth, rw = *rightwidth, cleanwidth = lw + rw;
    const double f1 = forces[0], f2 = forces[1], f3 = forces[2];  // forces(1:3, 1)
    const double deltaf = ((f2 - n1in) + (f3 - n2in)) * dw;
    const bool b1 = n1in > f2, b2 = n2in > f3;
    const double k1 = b1 ? r * abdsub[0] : abdsub[0];  // abdsub(1,1,1), abdsub(2,1,1)
    const double k2 = b2 ? r * abdsub[1] : abdsub[1];
    double dd = 0.0, n1 = n1in, n2 = n2in, ie1 = 0.0, ie2 = 0.0;
    if (b1 || b2) {
        dd = deltaf / (cleanwidth * abd[0] + (k1 + k2) * dw);
        n1 = n1in + k1 * dd;
        n2 = n2in + k2 * dd;
        ie1 = (n1in + n1) / 2.0 * dd;
        ie2 = (n2in + n2) / 2.0 * dd;
    }
    const double nsum = n1 + n2, half = dw / 2.0;
    double left, right;
    MomentumBalance(&f1, &nsum, &half, &rw, &lw, w, e, &left, &right);
    *nleft_m = left;
    *nright_m = right;
    *nsub1 = n1;
    *nsub2 = n2;
    *deltadof = dd;
    *ie1_delta = ie1;
    *ie2_delta = ie2;
}

void EquivDisp(const double* abd, const double* a, const double* b, const double* width,
               const double* dof, const double*, const double* nleft, const double* nright,
               const double* l, const double* r, double* deltax) {
    const double el = *nleft / abd[0], er = *nright / abd[0], ec = dof[0];
    const double ql = el / ec, qr = er / ec;
    *deltax = 2.0 * *a * ec * std::sqrt((ql * ql * *l + qr * qr * *r) / (*width - 2.0 * *b));
}

}  // extern "C"
}  // namespace vorlen::delisio
