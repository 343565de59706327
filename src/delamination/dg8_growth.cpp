// Growth of an elliptic delamination: Newton-Raphson equilibrium of the Ritz model, the energy
// release rate by enlarging the semi-axes, and the load-stepping driver.
#include <algorithm>
#include <cmath>
#include <limits>

#include "base/errorhandling.hpp"
#include "core/math_geometry.hpp"
#include "core/math_linalg.hpp"
#include "core/math_norms.hpp"
#include "delamination/dg8.hpp"
#include "delamination/dg8_model.hpp"
#include "failure/sublaminate.hpp"
#include "materials/lamina_stiffness.hpp"
#include "materials/laminate.hpp"

namespace vorlen::dg8 {
namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kInf = std::numeric_limits<double>::infinity();

// The driver's constants.
constexpr i32 kMaxIter = 150;
constexpr double kMaxError = 1e-15, kTrivial = 1e-10, kMinDeflect = 1e-6;
constexpr double kDecrease = 0.9, kIncrease = 1.1;

// The arguments of an equilibrium solve that stay fixed over its iterations.
struct Model {
    double a, b, kmd, g0, epsbucklin;
    double eps[3];  // applied strain
    const double* abd;
    i32 nk;
    bool w;
};

// Newton-Raphson on checked arguments; returns nrerr (+Inf after a non-finite iterate).
double newton(double* sol, const Model& m, double tolerance, i32 maxiter) {
    const i32 eight = 8;
    double check = 0.0;
    for (i32 it = 1; it <= maxiter; ++it) {
        double fp[8], dfp[64], jinv[64], next[8];
        model::fdf(fp, dfp, sol, m.eps, m.g0, m.epsbucklin, m.a, m.b, m.kmd, m.abd, m.nk, m.w);
        math::MatrixInverse(dfp, jinv, &eight);
        check = 0.0;
        bool finite = true;
        for (int i = 0; i < 8; ++i) {
            double dx = 0.0;
            for (int j = 0; j < 8; ++j) dx += jinv[i + 8 * j] * fp[j];
            next[i] = sol[i] - dx;
            check += dx * dx;
            finite = finite && std::isfinite(next[i]);
        }
        if (!finite) return kInf;  // a NaN would pass the callers' test nrerr > tolerance
        std::copy_n(next, 8, sol);
        if (check < tolerance) break;
    }
    return check;
}

// Strain energy plus contact energy on checked arguments.
double potential(const double* sol, const double* eps, double a, double b, double kmd,
                 const double* abd, i32 nk) {
    return forms::energy(sol, eps, &a, &b, abd) + model::contact_energy(sol, a, b, kmd, nk);
}

// serr, fa, fb of GetEnergyReleaseRate8 on checked arguments.
void release_rate(double& serr, double& fa, double& fb, const double* vec, Model m,
                  double epsnom, double tol, i32 maxiter) {
    serr = 0.0;
    double sol[8];
    std::copy_n(vec, 8, sol);
    const double a = m.a, b = m.b, g1 = epsnom * epsnom * m.g0;
    const double usc0 = potential(sol, m.eps, a, b, m.kmd, m.abd, m.nk);
    auto resolve = [&](double sa, double sb) {
        m.a = sa, m.b = sb;
        if (newton(sol, m, tol, maxiter) > tol)
            errorhandling::report(-2, "Error: No convergence while computing energy release rate!");
        return potential(sol, m.eps, sa, sb, m.kmd, m.abd, m.nk);
    };
    const double ia = 1.00001 * a;
    const double dpda = (resolve(ia, b) - usc0) / (1e-5 * ia);
    const double ib = 1.00001 * b;
    const double dpdb = (resolve(a, ib) - usc0) / (1e-5 * ib);
    const double ga = g1 - dpda / (kPi * ib), gb = g1 - dpdb / (kPi * ia);
    fa = fb = 1.0;
    if (ga >= gb) {
        fa = 1.001;
        serr = ga;
    } else {
        fb = 1.001;
        serr = gb;
    }
}

// The enlarged semi-axes of the release rate and their grids, checked as the given ones.
bool rate_ok(double a, double b, i32 nk, const char* routine) {
    if (!model::axes_ok(a, b, routine)) return false;
    const double ia = 1.00001 * a, ib = 1.00001 * b;
    return model::axes_ok(ia, ib, routine) && model::grid_ok(ia, b, nk, routine) &&
           model::grid_ok(a, ib, nk, routine);
}

}  // namespace

extern "C" {

void NewtonRaphson8(double* sol, double* nrerr, const double* a, const double* b,
                    const double* kmd, const double* g0, const double* epsnom,
                    const double* epsbucklin, const double* relepsellipse, const double* abd,
                    const double* tolerance, const i32* maxiter, const i32* nk, const lgl* w) {
    static constexpr const char* routine = "NewtonRaphson8";
    // Inputs are read before sol and nrerr are written: they may share storage.
    double x[8], c[36];
    std::copy_n(sol, 8, x);
    std::copy_n(abd, 36, c);
    const double e = *epsnom;
    Model m{*a, *b, *kmd, *g0, *epsbucklin, {}, c, *nk, *w != 0};
    for (int i = 0; i < 3; ++i) m.eps[i] = relepsellipse[i] * e;
    const double tol = *tolerance;
    const i32 n = *maxiter;
    double err = kInf;
    if (model::axes_ok(m.a, m.b, routine) && model::grid_ok(m.a, m.b, m.nk, routine))
        err = newton(x, m, tol, n);
    std::copy_n(x, 8, sol);
    *nrerr = err;
}

void GetEnergyReleaseRate8(double* serr, double* fa, double* fb, const double* vec,
                           const double* a, const double* b, const double* kmd, const double* g0,
                           const double* epsnom, const double* epsbucklin,
                           const double* relepsellipse, const double* abd, const i32* nk,
                           const lgl* w, const double* tol, const i32* maxiter) {
    double v[8], c[36];
    std::copy_n(vec, 8, v);
    std::copy_n(abd, 36, c);
    const double e = *epsnom;
    Model m{*a, *b, *kmd, *g0, *epsbucklin, {}, c, *nk, *w != 0};
    for (int i = 0; i < 3; ++i) m.eps[i] = relepsellipse[i] * e;
    const double t = tol ? *tol : 1e-15;
    const i32 n = maxiter ? *maxiter : 100;
    double s = 0.0, ga = 0.0, gb = 0.0;
    if (rate_ok(m.a, m.b, m.nk, "GetEnergyReleaseRate8")) release_rate(s, ga, gb, v, m, e, t, n);
    *serr = s;
    *fa = ga;
    *fb = gb;
}

void DelaminationGrowthAnalysis(double* success, double* strains, const double* limstrain,
                                const double* relstrain, const double* plyelastic,
                                const double* plyorientation, const double* plythickness,
                                const double* delamination, const i32* sublamstack,
                                const double* kmd, const double* gamma, const double* width,
                                const double* radius, const i32* ninc, const i32* nprec,
                                const i32* nplies) {
    static constexpr const char* routine = "DelaminationGrowthAnalysis";
    const double l1 = limstrain[0], l2 = limstrain[1], angle = delamination[2];
    const double rel[3] = {relstrain[0], relstrain[1], relstrain[2]};
    const i32 first = sublamstack[0], last = sublamstack[1], np = *nplies, n = *ninc;
    const double gam = *gamma, wid = *width, rad = *radius;
    double a = delamination[0], b = delamination[1];
    double succ = 0.0, wlin = 0.0, wnlin = 0.0, wgrow = 0.0;
    auto finish = [&] {
        *success = succ;
        strains[0] = rel[0] * wlin;
        strains[1] = rel[0] * wnlin;
        strains[2] = rel[0] * wgrow;
    };
    const auto finite = [](const double* x, int k) {
        return std::all_of(x, x + k, [](double v) { return std::isfinite(v); });
    };
    const char* refused = nullptr;
    if (n < 1)
        refused = "Number of load increments below 1";
    else if (!(1 <= first && first <= last && last <= np))
        refused = "Sub-laminate plies outside the stack";
    else if (!finite(limstrain, 2) || !finite(rel, 3) || !finite(delamination, 3))
        refused = "Strain or delamination not finite";
    else if (!(a > 0.0 && b > 0.0))
        refused = "Semi-axis not above 0";
    else if (!(std::isfinite(rad) && rad > 0.0 && std::isfinite(wid) && wid > 0.0))
        refused = "Radius or width not finite and above 0";
    else if (!(gam >= 0.0))
        refused = "Toughness NaN or below 0";
    else if (!(*kmd >= 0.0))
        refused = "Contact stiffness NaN or below 0";
    else if (!std::all_of(plythickness + (first - 1), plythickness + last,
                          [](double t) { return std::isfinite(t) && t > 0.0; }))
        refused = "Ply thickness not finite and above 0";
    if (refused) {
        errorhandling::report(-3, refused, routine);
        return finish();
    }

    // The sub-laminate, its buckling strain and mode, and the relative strain in the axes of the
    // ellipse.
    const i32 nsub = last - first + 1, one = 1, three = 3, zero = 0;
    const double* pe = plyelastic + 9 * static_cast<i64>(first - 1);
    const double* po = plyorientation + (first - 1);
    const double* pt = plythickness + (first - 1);
    double am[9], bm[9], dm[9], abd[36];
    laminate::GetAMatrix(am, pe, po, pt, &nsub);
    laminate::GetBMatrix(bm, pe, po, pt, &nsub);
    laminate::GetDMatrix(dm, pe, po, pt, &nsub);
    laminate::GetABDMatrix(abd, am, bm, dm);
    double nx = 0.0, ev[6];
    const double dsize[3] = {a, b, angle};
    sublaminate::GetSubLamBucklingStrain(&wlin, &nx, ev, dsize, rel, pe, po, pt, &one, &nsub);
    const double phi = angle * kPi / 180.0;
    double t[9], epsellipse[3], g0 = 0.0;
    lamina::GetNyeTransformationMatrix(t, &phi, &three, &zero, &one);
    for (int i = 0; i < 3; ++i)
        epsellipse[i] = t[i] * rel[0] + t[i + 3] * rel[1] + t[i + 6] * rel[2];
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) g0 += 0.5 * epsellipse[i] * am[i + 3 * j] * epsellipse[j];

    // Start at a centre deflection of 1e-6 in the buckling mode.
    double sol[8] = {};
    const double scaling = kMinDeflect / ev[0];
    sol[4] = scaling * ev[0];
    sol[5] = scaling * ev[3];
    sol[6] = scaling * ev[4];
    sol[7] = scaling * ev[5];

    const i32 nk = *nprec;
    bool found = false, growing = false;
    auto current = [&](double level) {
        Model m{a, b, *kmd, g0, wlin, {}, abd, nk, found};
        for (int i = 0; i < 3; ++i) m.eps[i] = epsellipse[i] * level;
        return m;
    };
    auto solve = [&](double level) {
        if (!model::grid_ok(a, b, nk, routine)) return kInf;
        return newton(sol, current(level), kMaxError, kMaxIter);
    };
    auto rate = [&](double& serr, double& fa, double& fb, double level) {
        serr = fa = fb = 0.0;
        if (rate_ok(a, b, nk, routine))
            release_rate(serr, fa, fb, sol, current(level), level, 1e-15, 100);
    };

    double eps1 = l1, deps1 = (l2 - l1) / n;
    const double deps0 = deps1;
    double w0 = 0.0, dw0 = 0.0, m0 = 1.0;
    const i32 eight = 8;
    for (i32 nli = 1; l2 > l1; ++nli) {
        if (solve(eps1) > kMaxError) {
            succ = -1.0;
            errorhandling::report(-2, "Error: No convergence in load increment iteration! Error "
                                      "after 150 iterations. Try increasing number of load "
                                      "increments and/or decreasing Eps_Start and Eps_End "
                                      "parameter.");
            break;
        }
        if (math::VectorNorm(sol, &eight) < kTrivial && nli > 3) {
            succ = -2.0;
            errorhandling::report(-2, "Error: Encountered trivial solution! Try playing with "
                                      "Eps_Start parameter and/or");
            break;
        }
        double serr, fa, fb;
        rate(serr, fa, fb, eps1);
        bool limit = false;
        while (serr > gam) {
            a *= fa;
            b *= fb;
            double box[2];
            math::GetBoundingBoxFromEllipse(box, &a, &b, &angle);
            if (a > rad || b > rad || 2.0 * box[1] >= wid) {
                limit = true;
                break;
            }
            if (!growing) wgrow = eps1;
            growing = true;
            if (solve(eps1) > kMaxError) {
                succ = -3.0;
                errorhandling::report(-2, "Error: No convergence in delamination grow loop! "
                                          "Error after 150 iterations. Try increasing number of  "
                                          "load increments.");
                break;
            }
            rate(serr, fa, fb, eps1);
        }
        if (limit) break;

        // Buckling shows as a rising strain per deflection step; the step follows the ratio of
        // successive deflection steps.
        const double w1 = sol[4], dw1 = w1 - w0, m1 = deps1 / dw1;
        if (nli > 5) {
            if (!found && m1 > m0) {
                found = true;
                wnlin = eps1;
            }
            const double r = dw0 / dw1;
            if (r < kDecrease)
                deps1 *= kDecrease;
            else if (r > 1.0 && kIncrease * deps1 < deps0)
                deps1 *= kIncrease;
        }
        const double next = eps1 + deps1;
        if (!(next > eps1)) {  // the strain would stay where it is for ever
            succ = -1.0;
            errorhandling::report(-2, "Error: Load increment too small to raise the strain level!");
            break;
        }
        eps1 = next;
        if (!(eps1 < l2)) break;
        w0 = w1;
        dw0 = dw1;
        m0 = m1;
    }
    if (succ == 0.0) succ = 1.0;
    finish();
}

}  // extern "C"
}  // namespace vorlen::dg8
