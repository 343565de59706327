// Truss and impactor user elements of the implicit and explicit solvers.
#include "solver/toplevel_elements.hpp"

#include <algorithm>
#include <cmath>
#include <string_view>

#include "base/errorhandling.hpp"
#include "base/numbers.hpp"
#include "core/impactdata.hpp"
#include "core/jobdata.hpp"
#include "core/loaddata.hpp"
#include "core/math_roots.hpp"
#include "core/math_tabulated.hpp"
#include "core/utility_fill.hpp"
#include "core/utility_search.hpp"
#include "interp/interp.hpp"
#include "materials/interaction.hpp"
#include "materials/permcollection.hpp"
#include "solver/toplevel_steps.hpp"

namespace vorlen::toplevel {
namespace {

constexpr double kTrussEps = 2.220446049250313e-16;
constexpr double kTrussHuge = 1.7976931348623157e308;
constexpr double kTrussStable = 0.99;  // factor of the explicit stable increment
constexpr i32 kTrussDofs = 6;
constexpr i32 kExplicitDynamics = 17;  // LFLAGS(1) of Abaqus/Explicit
constexpr i32 kEnergyInternal = 3;     // ENERGY(k, ielie)
constexpr i32 kEnergyEntries = 12;
constexpr double kCarrier[3] = {1e-20, 1e-20, 1e-3};  // E, rho, A of the impactor's bar
constexpr i32 kCarrierProps = 3;
constexpr i32 kCsProps = 14, kClProps = 107, kClForces = 50, kSearchPasses = 100;
constexpr double kSearchTolerance = 0.001;

void truss_report(std::string_view problem, std::string_view routine) {
    errorhandling::report(-3, problem, routine);
}

// int() of a stored real, toward zero; not a number or outside the 32-bit range gives 0.
i32 impact_index(double x) {
    if (!(x > -2147483649.0 && x < 2147483648.0)) return 0;
    return static_cast<i32>(x);
}

// Axial frame of a bar: length and unit vector from node 1 to node 2 (zeros when the nodes
// have no finite, positive distance; the return value tells which).
struct TrussAxis {
    double len = 0.0;
    double n[3] = {};
};

bool truss_axis(TrussAxis& b, const double* x1, const double* x2, i64 stride) {
    const double d[3] = {x2[0] - x1[0], x2[stride] - x1[stride], x2[2 * stride] - x1[2 * stride]};
    b.len = std::hypot(d[0], d[1], d[2]);
    const bool ok = b.len > 0.0 && std::isfinite(b.len);
    for (int i = 0; i < 3; ++i) b.n[i] = ok ? d[i] / b.len : 0.0;
    return ok;
}

// Axial displacement n . x of the three translations x(0), x(stride), x(2 stride).
double truss_along(const TrussAxis& b, const double* x, i64 stride) {
    return b.n[0] * x[0] + b.n[1] * x[stride] + b.n[2] * x[2 * stride];
}

// Global form tet (f1, f2) of a local force pair, written with the given row stride.
void truss_spread(const TrussAxis& b, double f1, double f2, double* out, i64 stride) {
    for (int i = 0; i < 3; ++i) {
        out[i * stride] = b.n[i] * f1;
        out[(i + 3) * stride] = b.n[i] * f2;
    }
}

// amatrx += k [[n n^T, -n n^T], [-n n^T, n n^T]]
void truss_add_stiffness(const TrussAxis& b, double k, Mat<double> amatrx) {
    for (int j = 0; j < 3; ++j)
        for (int i = 0; i < 3; ++i) {
            const double s = k * b.n[i] * b.n[j];
            amatrx(i + 1, j + 1) += s;
            amatrx(i + 4, j + 4) += s;
            amatrx(i + 1, j + 4) -= s;
            amatrx(i + 4, j + 1) -= s;
        }
}

// The implicit bar; see the header for the branches.
void truss_standard(double* rhs, double* amatrx, double* svars, double* energy, i32 nrhs,
                    i32 nsvars, const double* props, const double* coords, i32 mcrd,
                    const double* u, const double* du, const double* v, const double* a,
                    double dtime, const double* params, i32 ndload, const i32* jdltyp,
                    const double* adlmag, const i32* lflags, i32 mlvarx, const double* ddlmag,
                    i32 mdload) {
    constexpr std::string_view routine = "uel_truss";
    Mat<double> r(rhs, mlvarx, nrhs), k6(amatrx, kTrussDofs, kTrussDofs);
    for (i32 c = 1; c <= nrhs; ++c)
        for (i32 i = 1; i <= kTrussDofs; ++i) r(i, c) = 0.0;
    std::fill(k6.begin(), k6.end(), 0.0);
    TrussAxis b;
    if (!truss_axis(b, coords, coords + mcrd, 1)) {
        truss_report("Coincident nodes", routine);
        return;
    }
    const double e = props[0], rho = props[1], area = props[2];
    const double k = e * area / b.len, m = 0.5 * rho * area * b.len;
    const double ue1 = truss_along(b, u, 1), ue2 = truss_along(b, u + 3, 1);
    const double elong = ue2 - ue1;
    const double due2 = truss_along(b, du + 3, 1), delong = due2 - truss_along(b, du, 1);
    const double f = k * elong, df = k * delong;
    const i32 procedure = lflags[0], op = lflags[2];
    const bool statics = procedure == 1 || procedure == 2;
    const double alpha = params[0], beta = params[1];
    double sresid[kTrussDofs];
    truss_spread(b, -f, f, sresid, 1);
    const auto kinetic = [&] {
        double w = 0.0;
        for (i32 i = 0; i < kTrussDofs; ++i) w += 0.5 * m * v[i] * v[i];
        return w;
    };
    const auto keep_residual = [&] {
        std::fill(svars, svars + nsvars, 0.0);
        for (i32 i = 1; i <= kTrussDofs; ++i) svars[i - 1] = r(i, 1);
    };
    if (op == 1 && statics) {
        truss_add_stiffness(b, k, k6);
        if (lflags[3] != 0) {
            truss_spread(b, df, -df, &r(1, 1), 1);
            energy[1] = 0.5 * f * delong + 0.5 * df * elong + 0.5 * df * delong;
            return;
        }
        double local1[2] = {f, -f}, local2[2] = {0.0, 0.0};
        i32 nloads = ndload;
        if (ndload > mdload) {
            truss_report("Distributed loads beyond MDLOAD", routine);
            nloads = mdload;
        }
        const Mat<const i32> types(jdltyp, mdload, 1);
        const Mat<const double> mag(adlmag, mdload, 1), dmag(ddlmag, mdload, 1);
        for (i32 kd = 1; kd <= nloads; ++kd) {
            if (types(kd, 1) != 1001) continue;
            local1[1] += mag(kd, 1);
            energy[7] += (mag(kd, 1) - 0.5 * dmag(kd, 1)) * due2;  // the load acts on node 2
            if (nrhs == 2) local2[1] += dmag(kd, 1);
        }
        truss_spread(b, local1[0], local1[1], &r(1, 1), 1);
        if (nrhs >= 2) truss_spread(b, local2[0], local2[1], &r(1, 2), 1);
        energy[1] = 0.5 * f * elong;
    } else if (op == 1 && (procedure == 11 || procedure == 12)) {
        truss_add_stiffness(b, (1.0 + alpha) * k, k6);
        for (i32 i = 1; i <= kTrussDofs; ++i) {
            k6(i, i) += m / (beta * dtime * dtime);
            r(i, 1) -= m * a[i - 1];
            r(i, 1) -= (1.0 + alpha) * sresid[i - 1] - alpha * svars[i - 1];
            svars[i + 5] = svars[i - 1];
            svars[i - 1] = sresid[i - 1];
        }
        energy[0] = kinetic();
        energy[1] = 0.5 * f * elong;
    } else if (op == 2) {
        truss_add_stiffness(b, k, k6);
    } else if (op == 4) {
        for (i32 i = 1; i <= kTrussDofs; ++i) k6(i, i) = m;
    } else if (op == 5) {
        for (i32 i = 1; i <= kTrussDofs; ++i)
            r(i, 1) += -m * a[i - 1] - (1.0 + alpha) * sresid[i - 1] +
                       0.5 * alpha * (svars[i - 1] + svars[i + 5]);
    } else if (op == 6) {
        for (i32 i = 1; i <= kTrussDofs; ++i) {
            k6(i, i) = m;
            r(i, 1) -= sresid[i - 1];
            svars[i - 1] = sresid[i - 1];
        }
        energy[0] = kinetic();
        energy[1] = 0.5 * f * elong;
    } else if (op == 100 && statics) {
        truss_spread(b, df, -df, &r(1, 1), 1);
        energy[1] = 0.5 * df * elong + 0.5 * f * delong + 0.5 * df * delong;
        keep_residual();
    } else if (op == 100 && procedure == 41) {
        const Mat<const double> dus(du, mlvarx, nrhs);
        for (i32 c = 1; c <= nrhs; ++c) {
            const double dc = k * (truss_along(b, &dus(4, c), 1) - truss_along(b, &dus(1, c), 1));
            truss_spread(b, dc, -dc, &r(1, c), 1);
        }
        keep_residual();
    }
}

// Block extents and addressing of the explicit element arrays.
struct TrussBlock {
    i64 nb, nnode;
    const double* coords;
    const double* u;
    // Axial frame of element k (1-based) from coords(k, 1..2, 1..3).
    bool axis(TrussAxis& b, i64 k) const {
        const double* x1 = coords + (k - 1);
        return truss_axis(b, x1, x1 + nb, nb * nnode);
    }
    double elongation(const TrussAxis& b, i64 k) const {
        const double* uk = u + (k - 1);
        return truss_along(b, uk + 3 * nb, nb) - truss_along(b, uk, nb);
    }
};

void truss_explicit(i64 nb, double* rhs, double* amass, double* dtimestable, double* svars,
                    i32 nsvars, double* energy, i32 nnode, const double* props,
                    const double* coords, const double* u, i32 op, i32 jdltyp,
                    const double* adlmag) {
    constexpr std::string_view routine = "vuel_truss";
    const double e = props[0], rho = props[1], a0 = props[2];
    const TrussBlock blk{nb, nnode, coords, u};
    Mat<double> r(rhs, nb, kTrussDofs), sv(svars, nb, nsvars), en(energy, nb, kEnergyEntries);
    if (op == 1) {
        View<double, 3> am(amass, nb, kTrussDofs, kTrussDofs);
        for (i64 k = 1; k <= nb; ++k) {
            TrussAxis b;
            blk.axis(b, k);
            const double m0 = 0.5 * rho * a0 * b.len;
            for (i32 j = 1; j <= kTrussDofs; ++j)
                for (i32 i = 1; i <= kTrussDofs; ++i) am(k, i, j) = i == j ? m0 : 0.0;
        }
    } else if (op == 2) {
        // A bar without stiffness or mass has no stable increment (inf or 0): 0 is returned
        // with the report, so that no solver takes the value for a usable increment.
        bool reported = false;
        const auto stable = [&](double dt) {
            if (dt > 0.0 && dt < kTrussHuge) return dt;
            if (!reported) truss_report("No positive finite stable increment", routine);
            reported = true;
            return 0.0;
        };
        for (i64 k = 1; k <= nb; ++k) {
            TrussAxis b;
            if (!blk.axis(b, k)) {
                truss_report("Coincident nodes", routine);
                for (i32 i = 1; i <= kTrussDofs; ++i) r(k, i) = 0.0;
                dtimestable[k - 1] = stable(kTrussStable * kTrussEps * std::sqrt(rho / e));
                continue;
            }
            double l0 = b.len;
            const double v0 = a0 * l0, mass = rho * a0 * l0;
            double len = l0 + blk.elongation(b, k);
            if (!(len > 0.0)) len = kTrussEps;
            if (!(l0 > 0.0)) l0 = kTrussEps;
            const double area = v0 / len, ka = e * area / len;
            dtimestable[k - 1] = stable(kTrussStable * std::sqrt(mass / ka));
            const double f = e * std::log(len / l0) * area;
            truss_spread(b, -f, f, &r(k, 1), nb);
            en(k, kEnergyInternal) += 0.5 * (f + sv(k, 2)) * (len - sv(k, 1));
            sv(k, 1) = len;
            sv(k, 2) = f;
        }
    } else if (op == 3 && jdltyp == 123) {
        for (i64 k = 1; k <= nb; ++k) {
            TrussAxis b;
            if (!blk.axis(b, k)) truss_report("Coincident nodes", routine);
            truss_spread(b, 0.0, adlmag[k - 1], &r(k, 1), nb);
        }
    }
}

// ---------------------------------------------------------------------------------------------
// Impactor

// Step type of step kstep; false without one (a step outside an allocated table reports).
bool impact_step_type(i32 kstep, i32& type, std::string_view routine) {
    const Step s = step_of(kstep, type);
    if (s == Step::outside) truss_report("Step outside the step table", routine);
    return s == Step::held;
}

// Contact-stiffness arguments of the impactor's properties.
void impact_csprops(double* cs, const double* props) {
    std::fill(cs, cs + kCsProps, 0.0);
    cs[0] = props[6], cs[1] = props[7], cs[2] = props[0], cs[3] = props[1];
    cs[4] = props[8], cs[5] = props[9], cs[6] = props[2], cs[7] = props[3];
}

struct ImpactContact {
    double k = 0.0, estar = 0.0;
};

ImpactContact impact_stiffness(const double* csprops, i32 csflag) {
    ImpactContact c;
    interaction::ContactStiffness(&c.k, &c.estar, csprops, &kCsProps, &csflag);
    return c;
}

// Whether the contact stiffness and the effective modulus are positive normal numbers below
// the largest double, as the contact equation, radius and depth need (a radius PROPS(7) of 0,
// Poisson ratios of 1, a subnormal modulus or a stiffness flag whose law reads no property
// fail); records -3 otherwise.
bool impact_contact_ok(const ImpactContact& kc, std::string_view routine) {
    const bool ok = positive_normal(kc.k) && kc.k < kTrussHuge && positive_normal(kc.estar) &&
                    kc.estar < kTrussHuge;
    if (!ok) truss_report("No positive finite contact stiffness", routine);
    return ok;
}

double impact_radius(double f, double estar, const double* props, i32 cdflag) {
    const double args[4] = {f, estar, props[6], 2.0 * props[7]};
    const i32 n = 4;
    double r = 0.0;
    interaction::ContactRadius(&r, args, &n, &cdflag);
    return r;
}

double impact_depth(double f, double estar, const double* props) {
    const double args[3] = {f, props[6], estar};
    const i32 n = 3, hertz = 0;
    double d = 0.0;
    interaction::ContactDepth(&d, args, &n, &hertz);
    return d;
}

// The contact force, radius and depth a call gives the record: where one is not finite (the
// contact equation or a power overflows, or a quotient of underflowed coefficients is 0/0),
// code -3 and all three 0.
void impact_finite(double& f, double& radius, double& depth, std::string_view routine) {
    if (std::isfinite(f) && std::isfinite(radius) && std::isfinite(depth)) return;
    truss_report("Contact force not finite", routine);
    f = radius = depth = 0.0;
}

double impact_permanent(double amax, double acr) {
    double h = 0.0;
    permcollection::PITanSunNonLinear(&h, &amax, &acr);
    return h;
}

// Record at the initialization of an impactor; returns the impact velocity sqrt(2 E / m), 0
// (reported, with slot 7 = 0 for a bad mass) for a mass not above 0 or a negative energy.
double impact_start(double* cprops, const double* props, std::string_view routine) {
    const double mass = props[5], energy = props[4];
    const bool mass_ok = positive_normal(mass);
    double vi = mass_ok && energy >= 0.0 ? std::sqrt(2.0 * energy / mass) : 0.0;
    if (!std::isfinite(vi) || !mass_ok || !(energy >= 0.0)) {
        truss_report("Impactor mass not above 0", routine);
        vi = 0.0;
    }
    cprops[3] = std::min(props[10], 0.0);
    cprops[4] = vi;
    cprops[6] = mass_ok ? mass : 0.0;
    cprops[16] = props[6];
    cprops[17] = props[7];
    return vi;
}

// Whether the time increments t(1..n) of the state are positive and strictly decreasing.
bool impact_table_filled(const double* t, i32 n) {
    if (n < 2) return false;
    for (i32 i = 0; i < n; ++i)
        if (!(t[i] > 0.0) || (i > 0 && !(t[i] < t[i - 1]))) return false;
    return true;
}

// Monotone cubic Hermite interpolation of the elongations y(1..n) over the decreasing time
// increments t(1..n) at p. The interpolant on one interval depends on its nodes and their
// neighbours only, so it is evaluated on those (at most four) points, in ascending order.
double impact_table_compliance(const double* t, const double* y, i32 n, double p) {
    // Ascending position j (1-based) holds t(n + 1 - j).
    const auto at = [&](i32 j) { return t[n - j]; };
    i32 j = 1;
    while (j < n - 1 && p >= at(j + 1)) ++j;
    const i32 lo = std::max(1, j - 1), hi = std::min(n, j + 2);
    double x[4], v[4];
    for (i32 i = lo; i <= hi; ++i) x[i - lo] = at(i), v[i - lo] = y[n - i];
    const i32 m = hi - lo + 1, one = 1;
    double res = 0.0;
    math::math_cubichermitianinterpolation(&res, x, v, &p, &m, &one);
    return res;
}

// The implicit impactor's working values of one call.
struct ImpactCall {
    const double* props;
    const i32* jprops;
    double* svars;  // 1-based through sv()
    double* cprops;
    i32 nsvars, nprops, kinc;
    double dtime;
    double& sv(i32 i) const { return svars[i - 1]; }
    double& cp(i32 i) const { return cprops[i - 1]; }
};

// Force of the contact equation F = kc (up - ref - h - Ct F)^p (code -3 and 0 for Ct <= 0).
double impact_solve(const ImpactCall& c, const ImpactContact& kc, double* csprops, double up,
                    double ref, double ci, double cs) {
    const double ct = ci + cs;
    if (!positive_normal(ct)) {
        truss_report("Total compliance not above 0", "uel_impact");
        return 0.0;
    }
    if (c.jprops[0] == 1) {
        const double a = kc.k, b = 1.0 / ct, zero = 0.0, d = -(up - ref) / ct;
        double x1 = 0.0, x2 = 0.0, x3 = 0.0;
        math::Solution3PE(&a, &b, &zero, &d, &x1, &x2, &x3);
        return kc.k * x3 * x3 * x3;
    }
    double cl[kClProps] = {};
    double xub = (up - ref - kTrussEps) / ct;
    cl[1] = up, cl[2] = ci, cl[3] = ref, cl[4] = cs;
    csprops[9] = c.cp(14), csprops[10] = c.cp(15);
    const i32 law = c.jprops[2], csflag = c.jprops[1];
    if (law == 1) {
        // Without a penetration beyond rounding there is no force; the stiffness table over
        // [0, xub] needs abscissas that rise (the table interpolation ends the process else).
        if (!(xub > 0.0)) return 0.0;
        cl[5] = 1.0;
        const double zero = 0.0;
        utility::Linspace(cl + 7, &zero, &xub, &kClForces, nullptr);
        if (!r8vec_ascends_strictly(&kClForces, cl + 7)) {
            truss_report("Contact force bound without an interval", "uel_impact");
            return 0.0;
        }
        for (i32 i = 0; i < kClForces; ++i) {
            csprops[12] = cl[7 + i];
            double estar = 0.0;
            interaction::ContactStiffness(&cl[7 + kClForces + i], &estar, csprops, &kCsProps,
                                          &csflag);
        }
    } else if (law == 2) {
        if (c.nprops < 13) {
            truss_report("Contact law 2 without its exponent", "uel_impact");
            return 0.0;
        }
        cl[0] = c.props[11];
        cl[5] = c.props[12];
    } else if (c.cp(16) != 0.0 && csflag != 0) {
        const double h = impact_permanent(c.cp(15), c.props[11]);
        const double p = c.cp(14) == c.sv(17) ? 2.5 : 1.5;
        cl[5] = p, cl[6] = h, csprops[8] = p, csprops[11] = h;
        cl[0] = impact_stiffness(csprops, 2).k;
        if (h != 0.0) xub -= h / ct;
    } else {
        cl[0] = kc.k;
        cl[5] = 1.5;
    }
    const double x1 = 0.0;
    double f = 0.0;
    i32 istat = 0;
    math::math_bdsafe(&interaction::ContactLaw, &x1, &xub, &f, cl, &kSearchTolerance,
                      &kSearchPasses, &kClProps, &law, &istat);
    return f;
}

// Column idx of impactdata::csvars when it lies in the table (reported otherwise).
bool impact_column(i32 idx, i64 rows) {
    const auto& t = impactdata::csvars;
    if (t.allocated() && idx >= 1 && idx <= t.ext[1] && rows <= t.ext[0]) return true;
    truss_report("Impactor column outside the compliance table", "uel_impact");
    return false;
}

// Impact step of the implicit impactor (steps 1 to 6 of the impact branch).
void impact_step(const ImpactCall& c, bool dynamic, double delong, const double* params,
                 const double* time, double ti0, double m, double v, double d, double g, double cs,
                 double* csprops) {
    if (c.kinc != 0 && c.nsvars % 2 == 0 && c.nsvars > 20) {
        const i32 n = c.nsvars / 2 - 10;
        if (impact_table_filled(c.svars + 20, n)) {
            c.sv(19) = impact_table_compliance(c.svars + 20, c.svars + 20 + n, n, c.dtime);
            cs = c.sv(19);
        } else {
            truss_report("Compliance table not filled", "uel_impact");
            cs = c.sv(14);
        }
    }
    const double alpha = params[0], beta = params[1], dt2 = c.dtime * c.dtime;
    const bool mass_ok = positive_normal(m);
    if (!mass_ok) truss_report("Impactor mass not above 0", "uel_impact");
    double ci = mass_ok ? (1.0 + alpha) * beta * dt2 / m : 0.0;
    double ref = c.sv(15);
    if (c.kinc >= 2) {
        if (delong != 0.0) {
            if (c.cp(13) == 0.0) c.cp(13) = c.sv(16);
            ref = c.cp(13);
        }
        if (!(c.cp(11) < 0.0)) {
            auto& t = impactdata::csvars;
            const i64 nimp = std::max(loaddata::nimp, 0);
            if (!t.allocated() || t.ext[0] != 1 || t.ext[1] != nimp) t.allocate({1, nimp});
            const i32 idx = impact_index(c.sv(20));
            const bool ok = impact_column(idx, 1);
            if (c.cp(1) < 0.0 && std::fabs(c.cp(1)) != c.cp(11)) {
                ci = -c.cp(1);
                if (ok) t(1, idx) = ci;
                c.cp(1) = 0.0;
            } else if (ok && t(1, idx) > 0.0) {
                ci = t(1, idx);
            }
        }
    }
    if (time[0] < ti0) return;
    double f = c.cp(1), radius = c.cp(2), depth = c.cp(3);
    if (dynamic && !mass_ok) {
        f = radius = depth = 0.0;
    } else if (dynamic) {
        const double up = d + c.dtime * v + (0.5 - beta) * dt2 * c.cp(6) + beta * dt2 * g -
                          alpha * beta * dt2 * c.cp(11) / m;
        if (up > ref && c.kinc != 0) {
            const ImpactContact kc = impact_stiffness(csprops, c.jprops[1]);
            const i32 procedure = c.jprops[0];
            if (!impact_contact_ok(kc, "uel_impact")) {
                f = radius = depth = 0.0;
            } else {
                if (procedure == 0) {
                    f = c.cp(1);
                } else if (procedure == 1 || procedure == 2) {
                    f = impact_solve(c, kc, csprops, up, ref, ci, cs);
                } else {
                    errorhandling::report(-3, "Error: Invalid root finding procedure");
                    f = 0.0;
                }
                radius = impact_radius(f, kc.estar, c.props, c.jprops[1]);
                depth = impact_depth(f, kc.estar, c.props);
                impact_finite(f, radius, depth, "uel_impact");
            }
        } else if (up < ref && c.kinc != 0) {
            f = radius = depth = 0.0;
        }
    }
    if (c.kinc == 1 || delong != 0.0 || (c.kinc > 0 && c.cp(1) == 0.0 && c.cp(11) == 0.0)) {
        c.cp(1) = f, c.cp(2) = radius, c.cp(3) = depth;
        c.sv(15) = c.sv(16);
        c.sv(17) = std::max(c.sv(17), f);
    } else {
        c.cp(1) = -c.cp(11);
        c.cp(2) = c.cp(12);
    }
}

// Structural-response step of the implicit impactor: probe force, compliance measurement
// and the copy of the measurement into the state.
void impact_response(const ImpactCall& c, bool dynamic, double* pnewdt, double* csprops) {
    constexpr std::string_view routine = "uel_impact";
    if (dynamic) {
        const double f = c.cp(13) == 0.0 ? 1.0 : 0.0;
        const ImpactContact kc = impact_stiffness(csprops, c.jprops[1]);
        c.cp(1) = f;
        c.cp(2) =
            impact_contact_ok(kc, routine) ? impact_radius(f, kc.estar, c.props, c.jprops[1]) : 0.0;
    } else {
        c.cp(1) = c.cp(2) = 0.0;
    }
    auto& t = impactdata::csvars;
    if (c.cp(13) == 0.0 && c.sv(16) != 0.0) {
        *pnewdt = -1.0;
        c.cp(1) = c.cp(2) = 0.0;
        const i32 idx = impact_index(c.cp(14));
        bool finish = true;
        if (c.nsvars % 2 == 0 && c.nsvars > 20) {
            const i32 n = c.nsvars / 2 - 10, rows = 2 * n;
            const i64 nimp = std::max(loaddata::nimp, 0);
            if (t.allocated() && (t.ext[0] < rows || t.ext[1] < nimp)) {
                truss_report("Compliance table short of the element", routine);
                t.release();
            }
            if (!t.allocated()) t.allocate({rows, nimp});
            if (impact_column(idx, rows)) {
                double* col = &t(1, idx);
                if (std::all_of(col, col + rows, [](double x) { return x == 0.0; }))
                    utility::Linspace(col, &c.dtime, &c.cp(15), &n, nullptr);
                const double zero = 0.0;
                const i32 loc = utility::fFindLocation(&zero, col, &rows, nullptr);
                if (loc >= 1 && loc <= n) {
                    truss_report("Time increment 0 in the compliance table", routine);
                } else if (loc > n) {
                    col[loc - 1] = c.sv(16);
                    const i32 j = loc - n;
                    const double ratio = col[std::min(j + 1, n) - 1] / col[j - 1];
                    *pnewdt = ratio;
                    if (ratio < 1.0 && ratio != -1.0) return;
                    c.cp(15) = kTrussHuge;
                    c.cp(13) = col[0];
                    *pnewdt = 0.8;
                    finish = false;
                }
            }
        }
        if (finish) {
            c.cp(13) = c.sv(16);
            c.cp(15) = kTrussHuge;
            if (t.allocated() && impact_column(idx, 1)) c.cp(13) = t(1, idx);
            *pnewdt = 0.8;
        }
    }
    if (c.sv(14) == 0.0) {
        c.sv(14) = c.cp(13);
        c.sv(20) = c.cp(14);
        if (t.allocated() && c.nsvars > 20) {
            const i32 idx = impact_index(c.cp(14)), rows = c.nsvars - 20;
            if (impact_column(idx, rows)) std::copy_n(&t(1, idx), rows, c.svars + 20);
        }
    }
}

void impact_standard(double* rhs, double* amatrx, double* svars, double* energy, const i32* ndofel,
                     const i32* nrhs, const i32* nsvars, const double* props, const double* coords,
                     const i32* mcrd, const i32* nnode, const double* u, const double* du,
                     const double* v, const double* a, const i32* jtype, const double* time,
                     const double* dtime, const i32* kstep, const i32* kinc, const i32* jelem,
                     const double* params, const i32* ndload, const i32* jdltyp,
                     const double* adlmag, const double* predef, const i32* npredf,
                     const i32* lflags, const i32* mlvarx, const double* ddlmag, const i32* mdload,
                     double* pnewdt, const i32* jprops, const i32* njprop, const double* period,
                     double* cprops, i32 nprops) {
    toplevel_uel_truss(rhs, amatrx, svars, energy, ndofel, nrhs, nsvars, kCarrier, &kCarrierProps,
                       coords, mcrd, nnode, u, du, v, a, jtype, time, dtime, kstep, kinc, jelem,
                       params, ndload, jdltyp, adlmag, predef, npredf, lflags, mlvarx, ddlmag,
                       mdload, pnewdt, jprops, njprop, period);
    const ImpactCall c{props, jprops, svars, cprops, *nsvars, nprops, *kinc, *dtime};
    TrussAxis b;
    truss_axis(b, coords, coords + *mcrd, 1);
    const double elong = truss_along(b, u + 3, 1) - truss_along(b, u, 1);
    const double delong = truss_along(b, du + 3, 1) - truss_along(b, du, 1);
    const i32 procedure = lflags[0], op = lflags[2];
    const bool statics = procedure == 1 || procedure == 2;
    bool dynamic = false;
    if (op == 1 && statics) {
        c.sv(16) = elong;
    } else if (op == 1 && (procedure == 11 || procedure == 12)) {
        c.sv(16) = elong;
        dynamic = true;
    } else if (op == 100 && statics) {
        c.sv(16) = delong;
    }
    double csprops[kCsProps];
    impact_csprops(csprops, props);
    const double ti0 = std::max(props[10], 0.0);
    i32 type = -1;
    impact_step_type(*kstep, type, "uel_impact");
    double m, vel, d, g, cs;
    if (type == 0 && c.kinc != 0) {
        vel = impact_start(cprops, props, "uel_impact");
        c.sv(13) = c.cp(6);
        std::fill(svars + 13, svars + 18, 0.0);
        m = props[5], d = c.cp(4), g = c.cp(6), cs = 0.0;
    } else {
        m = c.cp(7), vel = c.cp(5), d = c.cp(4), g = c.sv(13), cs = c.sv(14);
    }
    for (i32 i = 0; i < 3; ++i) c.cp(8 + i) = time[0] < ti0 ? 0.0 : params[i];
    if (type == 3)
        impact_step(c, dynamic, delong, params, time, ti0, m, vel, d, g, cs, csprops);
    else if (type == 2)
        impact_response(c, dynamic, pnewdt, csprops);
}

void impact_explicit(i64 nb, double* svars, i32 nsvars, const double* props, i32 nprops,
                     const i32* jprops, i32 njprops, const double* coords, i32 nnode,
                     const double* u, const double* time, double dtimecur, i32 kstep, i32 kinc,
                     double* cprops) {
    constexpr std::string_view routine = "vuel_impact";
    const TrussBlock blk{nb, nnode, coords, u};
    Mat<double> sv(svars, nb, nsvars);
    for (i64 k = 1; k <= nb; ++k) {
        TrussAxis b;
        blk.axis(b, k);
        sv(k, 16) = blk.elongation(b, k);
    }
    i32 type = -1;
    if (!jobdata::stepid.allocated()) return;
    const double ti0 = std::max(props[10], 0.0);
    const bool mixed = njprops == 4 && jprops[3] != 1;
    for (i32 i = 7; i < 10; ++i) cprops[i] = mixed ? -2.0 : -1.0;
    if (mixed) cprops[19] = nprops > 12 ? props[12] : 0.5;
    if (time[0] < ti0) std::fill(cprops + 7, cprops + 10, 0.0);
    if (!impact_step_type(kstep, type, routine)) return;
    double csprops[kCsProps];
    impact_csprops(csprops, props);
    const i32 procedure = jprops[0], csflag = jprops[1];
    for (i64 k = 1; k <= nb; ++k) {
        if (type == 0 && kinc != 0) {
            const double vi = impact_start(cprops, props, routine);
            sv(k, 13) = cprops[5];
            for (i32 i = 14; i <= 18; ++i) sv(k, i) = 0.0;
            cprops[18] = vi - 0.5 * dtimecur * cprops[5];
            continue;
        }
        if (type != 3 || time[0] < ti0) continue;
        const double s = cprops[3] - sv(k, 15);
        double f = cprops[0], radius = cprops[1], depth = cprops[2];
        const bool contact = s > 0.0 && kinc != 0;
        const bool given = s <= 0.0 && procedure == 0 && kinc != 0;  // force of the record
        ImpactContact kc;
        if (contact || given) kc = impact_stiffness(csprops, csflag);
        if ((contact || given) && !impact_contact_ok(kc, routine)) {
            f = radius = depth = 0.0;
        } else if (contact) {
            if (procedure == 0) {
                f = cprops[0];
            } else if (procedure == 1 || (procedure == 2 && cprops[15] == 0.0)) {
                f = kc.k * std::pow(s, 1.5);
            } else if (procedure == 2) {
                csprops[9] = cprops[13], csprops[10] = cprops[14];
                const double h = impact_permanent(cprops[14], props[11]);
                const double p = cprops[13] == sv(k, 17) ? 2.5 : 1.5;
                csprops[8] = p, csprops[11] = h;
                const double ku = impact_stiffness(csprops, 2).k;
                f = s > h ? ku * std::pow(s - h, p) : 0.0;
            } else {
                errorhandling::report(-3, "Error: Invalid root finding procedure");
                f = 0.0;
            }
            radius = impact_radius(f, kc.estar, props, csflag);
            depth = impact_depth(f, kc.estar, props);
        } else if (given) {
            f = cprops[0];
            radius = impact_radius(f, kc.estar, props, csflag);
            depth = impact_depth(f, kc.estar, props);
        } else if (s < 0.0 && procedure != 0 && kinc != 0) {
            f = radius = depth = 0.0;
        }
        if (contact || given) impact_finite(f, radius, depth, routine);
        sv(k, 15) = sv(k, 16);
        cprops[0] = f, cprops[1] = radius, cprops[2] = depth;
        sv(k, 17) = std::max(sv(k, 17), f);
    }
}

}  // namespace

extern "C" {

void toplevel_uel_truss(VORLEN_UEL_PARAMETERS) {
    (void)jtype, (void)time, (void)kstep, (void)kinc, (void)jelem, (void)predef, (void)npredf,
        (void)pnewdt, (void)jprops, (void)njprop, (void)period;
    try {
        if (*ndofel != kTrussDofs || *mcrd < 3 || *nnode != 2 || *nsvars < 12 || *nprops < 3 ||
            *nrhs < 1 || *mlvarx < kTrussDofs) {
            truss_report("Unsupported element layout", "uel_truss");
            return;
        }
        truss_standard(rhs, amatrx, svars, energy, *nrhs, *nsvars, props, coords, *mcrd, u, du, v,
                       a, *dtime, params, *ndload, jdltyp, adlmag, lflags, *mlvarx, ddlmag,
                       std::max(*mdload, 0));
    } catch (...) {
        truss_report("Unexpected failure", "uel_truss");
    }
}

void toplevel_vuel_truss(VORLEN_VUEL_PARAMETERS) {
    (void)jprops, (void)njprops, (void)du, (void)v, (void)a, (void)jtype, (void)jelem, (void)time,
        (void)period, (void)dtimecur, (void)dtimeprev, (void)kstep, (void)kinc,
        (void)dmassscalefactor, (void)predef, (void)npredef;
    try {
        if (lflags[0] != kExplicitDynamics || *nblock < 1) return;
        if (*ndofel != kTrussDofs || *ncrd < 3 || *nnode != 2 || *nsvars < 2 || *nprops < 3) {
            truss_report("Unsupported element layout", "vuel_truss");
            return;
        }
        truss_explicit(*nblock, rhs, amass, dtimestable, svars, *nsvars, energy, *nnode, props,
                       coords, u, lflags[2], *jdltyp, adlmag);
    } catch (...) {
        truss_report("Unexpected failure", "vuel_truss");
    }
}

void toplevel_uel_impact(VORLEN_UEL_PARAMETERS, double* cprops) {
    try {
        if (*ndofel != kTrussDofs || *mcrd < 3 || *nnode != 2 || *nsvars < 20 || *nprops < 12 ||
            *njprop < 3 || *nrhs < 1 || *mlvarx < kTrussDofs || !cprops) {
            truss_report("Unsupported element layout", "uel_impact");
            return;
        }
        impact_standard(rhs, amatrx, svars, energy, ndofel, nrhs, nsvars, props, coords, mcrd,
                        nnode, u, du, v, a, jtype, time, dtime, kstep, kinc, jelem, params, ndload,
                        jdltyp, adlmag, predef, npredf, lflags, mlvarx, ddlmag, mdload, pnewdt,
                        jprops, njprop, period, cprops, *nprops);
    } catch (...) {
        truss_report("Unexpected failure", "uel_impact");
    }
}

void toplevel_vuel_impact(VORLEN_VUEL_PARAMETERS, double* cprops) {
    try {
        if (*ndofel != kTrussDofs || *ncrd < 3 || *nnode != 2 || *nsvars < 18 || *nprops < 12 ||
            *njprops < 2 || !cprops) {
            truss_report("Unsupported element layout", "vuel_impact");
            return;
        }
        toplevel_vuel_truss(nblock, rhs, amass, dtimestable, svars, nsvars, energy, nnode, ndofel,
                            kCarrier, &kCarrierProps, jprops, njprops, coords, ncrd, u, du, v, a,
                            jtype, jelem, time, period, dtimecur, dtimeprev, kstep, kinc, lflags,
                            dmassscalefactor, predef, npredef, jdltyp, adlmag);
        if (lflags[0] != kExplicitDynamics || lflags[2] != 2 || *nblock < 1) return;
        impact_explicit(*nblock, svars, *nsvars, props, *nprops, jprops, *njprops, coords, *nnode,
                        u, time, *dtimecur, *kstep, *kinc, cprops);
    } catch (...) {
        truss_report("Unexpected failure", "vuel_impact");
    }
}

}  // extern "C"
}  // namespace vorlen::toplevel
