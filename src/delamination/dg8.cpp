// Ritz energy model of an elliptic delamination: strain energy, residuals and Jacobian from the
// closed forms, and the contact penalty on a grid of cell centres.
#include "delamination/dg8.hpp"

#include <algorithm>
#include <cmath>

#include "base/errorhandling.hpp"
#include "delamination/dg8_model.hpp"

namespace vorlen::dg8 {
namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kMaxGridPoints = 2147483647.0;

// Side of the square contact cells.
double cell(double a, double b, i32 nk) { return nk >= 1 ? std::min(a, b) / nk : 3.0 * a; }

// Calls active(X, Y, 1 - rho, m) for every active cell centre, X = x/a, Y = y/b, rows of y
// inside columns of x. The caller has checked the grid (grid_ok), so every step advances.
template <class F>
void walk(const double* vec, double a, double b, double h, F&& active) {
    const double r1 = vec[4], r2 = vec[5], r3 = vec[6], r4 = vec[7];
    for (double x = -a + 0.5 * h; x < a; x += h) {
        const double cx = x / a;
        for (double y = -b + 0.5 * h; y < b; y += h) {
            const double cy = y / b;
            const double xx = cx * cx, yy = cy * cy, xy = cx * cy;
            const double psi = 1.0 - (xx + yy);
            const double m = r1 + r2 * xx + r3 * yy + r4 * xy;
            if (m < 0.0 && psi > 0.0) active(xx, yy, xy, psi, m);
        }
    }
}

// Contact Hessian km(4,4) and gradient kv(4) on checked arguments.
void contact_tangent(double* km, double* kv, const double* vec, double a, double b, double kmd,
                     i32 nk) {
    const double h = cell(a, b, nk), hk = h * h * kmd;
    std::fill_n(km, 16, 0.0);
    std::fill_n(kv, 4, 0.0);
    walk(vec, a, b, h, [&](double xx, double yy, double xy, double psi, double m) {
        const double s = hk * std::pow(psi, 4.0);
        const double phi[4] = {1.0, xx, yy, xy};
        for (int j = 0; j < 4; ++j) {
            kv[j] += s * m * phi[j];
            for (int i = 0; i < 4; ++i) km[i + 4 * j] += s * phi[i] * phi[j];
        }
    });
}

// Disturbing force on r1 before buckling is detected.
double disturbance(double a, double b, double epsbucklin, double g0) {
    return kPi * a * b * epsbucklin * epsbucklin * g0 / 10.0;
}

}  // namespace

namespace model {

bool axes_ok(double a, double b, const char* routine) {
    if (std::isfinite(a) && std::isfinite(b) && a > 0.0 && b > 0.0) return true;
    errorhandling::report(-3, "Semi-axis not finite and above 0", routine);
    return false;
}

bool grid_ok(double a, double b, i32 nk, const char* routine) {
    const double h = cell(a, b, nk);
    const double nx = std::floor(2.0 * a / h) + 1.0, ny = std::floor(2.0 * b / h) + 1.0;
    if (h > 0.0 && nx * ny <= kMaxGridPoints) return true;  // false for a NaN count
    errorhandling::report(-3, "Contact grid above 2147483647 points", routine);
    return false;
}

double contact_energy(const double* vec, double a, double b, double kmd, i32 nk) {
    const double h = cell(a, b, nk), hk = h * h * kmd;
    double e = 0.0;
    walk(vec, a, b, h, [&](double, double, double, double psi, double m) {
        e += 0.5 * hk * std::pow(psi, 4.0) * m * m;
    });
    return e;
}

void fdf(double* fp, double* dfp, const double* vec, const double* eps, double g0,
         double epsbucklin, double a, double b, double kmd, const double* abd, i32 nk, bool w) {
    forms::gradient(fp, vec, eps, &a, &b, abd);
    forms::hessian(dfp, vec, eps, &a, &b, abd);
    if (!w) fp[4] -= disturbance(a, b, epsbucklin, g0);
    double km[16], kv[4];
    contact_tangent(km, kv, vec, a, b, kmd, nk);
    for (int i = 0; i < 4; ++i) {
        fp[4 + i] += kv[i];
        for (int j = 0; j < 4; ++j) dfp[(4 + j) + 8 * (4 + i)] += km[i + 4 * j];
    }
}

}  // namespace model

extern "C" {

double GetStrainEnergy8(const double* vec, const double* eps, const double* a, const double* b,
                        const double* abd) {
    if (!model::axes_ok(*a, *b, "GetStrainEnergy8")) return 0.0;
    return forms::energy(vec, eps, a, b, abd);
}

void GetF8(double* f, const double* vec, const double* eps, const double* g0,
           const double* epsbucklin, const double* a, const double* b, const double* abd,
           const lgl* w) {
    // Results are written last: f may share storage with an input.
    double r[8] = {};
    if (model::axes_ok(*a, *b, "GetF8")) {
        forms::gradient(r, vec, eps, a, b, abd);
        if (!*w) r[4] -= disturbance(*a, *b, *epsbucklin, *g0);
    }
    std::copy_n(r, 8, f);
}

void GetdF8(double* df, const double* vec, const double* eps, const double*, const double* a,
            const double* b, const double* abd, const lgl*) {
    double r[64] = {};
    if (model::axes_ok(*a, *b, "GetdF8")) forms::hessian(r, vec, eps, a, b, abd);
    std::copy_n(r, 64, df);
}

double GetContactEnergy8(const double* vec, const double* a, const double* b, const double* kmd,
                         const i32* nk) {
    static constexpr const char* routine = "GetContactEnergy8";
    if (!model::axes_ok(*a, *b, routine) || !model::grid_ok(*a, *b, *nk, routine)) return 0.0;
    return model::contact_energy(vec, *a, *b, *kmd, *nk);
}

double GetAreaOfOverlap8(const double* vec, const double* a, const double* b, const i32* nk) {
    static constexpr const char* routine = "GetAreaOfOverlap8";
    if (!model::axes_ok(*a, *b, routine) || !model::grid_ok(*a, *b, *nk, routine)) return 0.0;
    const double h = cell(*a, *b, *nk);
    double area = 0.0;
    walk(vec, *a, *b, h, [&](double, double, double, double, double) { area += h * h; });
    return area;
}

void GetKdfKf8(double* km, double* kv, const double* vec, const double* a, const double* b,
               const double* kmd, const i32* nk) {
    static constexpr const char* routine = "GetKdfKf8";
    double m[16] = {}, v[4] = {};
    if (model::axes_ok(*a, *b, routine) && model::grid_ok(*a, *b, *nk, routine))
        contact_tangent(m, v, vec, *a, *b, *kmd, *nk);
    std::copy_n(m, 16, km);
    std::copy_n(v, 4, kv);
}

void GetFdF8(double* fp, double* dfp, const double* vec, const double* eps, const double* g0,
             const double* epsbucklin, const double* a, const double* b, const double* kmd,
             const double* abd, const i32* nk, const lgl* w) {
    static constexpr const char* routine = "GetFdF8";
    double f[8] = {}, df[64] = {};
    if (model::axes_ok(*a, *b, routine) && model::grid_ok(*a, *b, *nk, routine))
        model::fdf(f, df, vec, eps, *g0, *epsbucklin, *a, *b, *kmd, abd, *nk, *w != 0);
    std::copy_n(f, 8, fp);
    std::copy_n(df, 64, dfp);
}

}  // extern "C"
}  // namespace vorlen::dg8
