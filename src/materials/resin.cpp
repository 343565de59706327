// Resin property sets, calibration-table lookups, equivalent strain and the endochronic law.
#include "materials/resin.hpp"

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <optional>

#include "core/debugdata.hpp"
#include "base/errorhandling.hpp"
#include "core/materialdata.hpp"
#include "core/math_tabulated.hpp"
#include "base/work.hpp"
#include "base/units.hpp"
#include "materials/lamina_measures.hpp"

namespace vorlen::resin {
namespace {

using errorhandling::report;
using V6 = std::array<double, 6>;

// Two property sets of n values, each followed by its temperature (A at props(1), B after A's
// temperature), ordered by temperature: set 1 at T1 below set 2 at T2.
struct SetPair {
    const double* s1;
    const double* s2;
    double t1, t2;

    SetPair(const double* props, int n) {
        const double* a = props;
        const double* b = props + n + 1;
        const double ta = a[n], tb = b[n];
        if (ta < tb)
            s1 = a, s2 = b, t1 = ta, t2 = tb;
        else
            s1 = b, s2 = a, t1 = tb, t2 = ta;
    }

    // Value k (0-based) at temp: a set beyond its temperature, linear in between.
    double at(int k, double temp) const {
        if (temp < t1) return s1[k];
        if (temp > t2) return s2[k];
        return s1[k] + (s2[k] - s1[k]) / (t2 - t1) * (temp - t1);
    }
    // Value k of the room-temperature set, if one set lies at 293 K or 293.15 K.
    std::optional<double> room(int k) const {
        if (is_room(t1)) return s1[k];
        if (is_room(t2)) return s2[k];
        return std::nullopt;
    }
    // Value k of a set below 293 K (the lower one first).
    std::optional<double> low(int k) const {
        if (t1 < 293.0) return s1[k];
        if (t2 < 293.0) return s2[k];
        return std::nullopt;
    }
    static bool is_room(double t) { return t == 293.0 || t == 293.15; }
};

double quadratic_law(const double* l, double theta) {
    return l[0] * theta * theta + l[1] * theta + l[2];
}

// Modulus of the law l(11) at temperature t, or nothing (after code -3 with the routine's
// message) when the range of t needs a reference modulus that no set defines.
std::optional<double> law_modulus(const double* l, double t, std::optional<double> e_rt,
                                  std::optional<double> e_low, const char* missing) {
    const bool base = t <= l[5];
    if (base ? !e_low : !e_rt) {
        report(-3, missing);
        return std::nullopt;
    }
    if (base) return *e_low;
    const double theta = t - 273.15;
    if (t < l[6]) return *e_rt * (l[3] * theta + l[4]);
    if (t < l[7]) return *e_rt * quadratic_law(l, theta);
    const double e8 = *e_rt * quadratic_law(l, l[7] - 273.15);
    return e8 - (e8 - l[10]) * std::exp(-std::pow(theta / (l[8] - 273.15), l[9]));
}

void debug_line(const char* label, double value) { io::write_list(6, {label, value}); }

// GetResinProperties; false (all results 0, code -3) when props lacks the two sets or degr.
bool resin_properties(const double* props, i32 nprops, double temp, double* e, double* nu,
                      double* num, double* gamma, double* degr, double* xt, double* xc, double* np,
                      double* a_woehler, double* exp_woehler, i32 noel) {
    double* const out[] = {e, nu, num, xt, np, gamma, xc, a_woehler, exp_woehler};
    if (nprops < 21) {
        for (double* o : out) *o = 0.0;
        *degr = 0.0;
        report(-3, "Fewer than 21 properties in GetResinProperties");
        return false;
    }
    const SetPair sets(props, 9);
    for (int k = 0; k < 9; ++k) *out[k] = sets.at(k, temp);
    *xc *= *xt;  // the set holds the ratio Xc/Xt
    *degr = props[20];

    const bool debug = noel == debugdata::edebug;
    if (debug) {
        debug_line("temp", temp);
        debug_line("T1", sets.t1);
        debug_line("T2", sets.t2);
        debug_line(temp < sets.t1 ? "E1 =" : temp > sets.t2 ? "E2 =" : "E =", *e);
    }
    if (nprops > 28 && temp > 293.15) {
        if (nprops < 32) {
            report(-3, "Incomplete modulus-temperature law in GetResinProperties");
        } else if (const auto law = law_modulus(
                       props + 21, temp, sets.room(0), sets.low(0),
                       "Modulus-temperature law without its reference set in GetResinProperties")) {
            *e = *law;
        }
    }
    if (debug) debug_line("E =", *e);
    return true;
}

// Tables up to this many points are read through stack buffers.
constexpr std::size_t kTablePoints = 256;
using Column = Work<double, kTablePoints>;
using Interpolation = void(double*, const double*, const double*, const double*, const i32*,
                           const i32*);

// A calibration table with the number of points its lookups use.
struct Table {
    View<const double, 3> t;
    i32 points;

    explicit Table(const Alloc<double, 3>& a, i32 n)
        : t(a.data, a.ext[0], a.ext[1], a.ext[2]), points(n) {}
    Table(const double* p, i64 n1, i64 n2, i64 n3, i32 n) : t(p, n1, n2, n3), points(n) {}

    // What keeps the value columns up to `column` from being looked up, or null.
    const char* unusable(int column) const {
        if (!t.p) return "Calibration table not allocated";
        if (points < 2) return "Fewer than two calibration points";
        if (t.extent(1) < 2 || t.extent(2) < points || t.extent(3) < column)
            return "Calibration table smaller than its point count";
        const auto& temps = materialdata::temperatures;
        if (!temps.allocated() || temps.extent(1) < 2)
            return "Fewer than two temperatures in the grid";
        // the interpolation ends the process on abscissas that do not increase strictly
        for (int r = 1; r <= 2; ++r)
            for (i32 i = 2; i <= points; ++i)
                if (!(t(r, i, 1) > t(r, i - 1, 1))) return "Calibration abscissas do not increase";
        if (!(temps(2) > temps(1))) return "Temperatures of the grid do not increase";
        return nullptr;
    }

    // Column `column` against column 1 of temperature rows 1 and 2 at x0, then over
    // temperatures(1) and temperatures(2) at temp.
    double value(int column, double x0, double temp, Interpolation* interpolate) const {
        Column x(points), y(points);
        const i32 one = 1, two = 2;
        double yt[2];
        for (int r = 1; r <= 2; ++r) {
            for (i32 i = 1; i <= points; ++i) x(i) = t(r, i, 1), y(i) = t(r, i, column);
            interpolate(&yt[r - 1], x.data(), y.data(), &x0, &points, &one);
        }
        double v;
        interpolate(&v, materialdata::temperatures.data, yt, &temp, &two, &one);
        return v;
    }
};

// Value column 2 of a table, or 0 after code -3 when the table cannot be used.
double lookup(const Table& table, double x0, double temp, bool cubic, const char* routine) {
    if (const char* problem = table.unusable(2)) {
        report(-3, problem, routine);
        return 0.0;
    }
    return table.value(2, x0, temp,
                       cubic ? math::math_cubichermitianinterpolation
                             : math::math_linearinterpolation);
}

}  // namespace

extern "C" {

void GetResinProperties(const double* props, const i32* nprops, const double* temp, double* e,
                        double* nu, double* num, double* gamma, double* degr, double* xt,
                        double* xc, double* np, double* a_woehler, double* exp_woehler,
                        const i32* noel) {
    resin_properties(props, *nprops, *temp, e, nu, num, gamma, degr, xt, xc, np, a_woehler,
                     exp_woehler, *noel);
}

void GetResinPlasticProperties(const double* props, const i32* nprops, const double* temp,
                               const double* eqplaststrain, double* et, double* ec, double* g,
                               double* nut, double* nuc, double* a0, double* a1, double* alpha,
                               double* degr, double* xt, double* xc, double* np, double* a_woehler,
                               double* exp_woehler) {
    double* const out[] = {et, ec, g, nut, nuc, alpha, xt, xc, np, a_woehler, exp_woehler};
    if (*nprops < 25) {
        for (double* o : out) *o = 0.0;
        *degr = *a0 = *a1 = 0.0;
        report(-3, "Fewer than 25 properties in GetResinPlasticProperties");
        return;
    }
    const SetPair sets(props, 11);
    for (int k = 0; k < 11; ++k) *out[k] = sets.at(k, *temp);
    if (*nprops > 25) {
        const auto e_rt = sets.room(0);
        if (*nprops < 36) {
            report(-3, "Incomplete modulus-temperature law in GetResinPlasticProperties");
        } else if (!e_rt) {
            report(-3, "Modulus-temperature law without a set at 293 K in "
                       "GetResinPlasticProperties");
        } else if (const auto e = law_modulus(props + 25, *temp, e_rt, sets.low(0),
                                              "Modulus-temperature law without a set below "
                                              "293 K in GetResinPlasticProperties")) {
            const double ratio = *e / *e_rt;
            *et = *e;
            *ec = *sets.room(1) * ratio;
            *g = *sets.room(2) * ratio;
        }
    }
    *degr = props[24];
    GetFlowParameters(eqplaststrain, a0, a1, temp);
}

void GetResinOrthotropicProperties(const double* props, const i32* nprops, const double* temp,
                                   const double* dt, const double*, const double* endstran,
                                   double* e1, double* e2, double* e3, double* nu12, double* nu13,
                                   double* nu23, double* nu21, double* nu31, double* nu32,
                                   double* g12, double* g13, double* g23, double* xt, double* xc,
                                   double* np, double* a_woehler, double* exp_woehler, double* degr,
                                   const i32* noel, const double* d) {
    double e0, nu, num, gamma;
    if (!resin_properties(props, *nprops, *temp, &e0, &nu, &num, &gamma, degr, xt, xc, np,
                          a_woehler, exp_woehler, *noel)) {
        for (double* o : {e1, e2, e3, nu12, nu13, nu23, nu21, nu31, nu32, g12, g13, g23}) *o = 0.0;
        return;
    }
    const bool debug = *noel == debugdata::edebug;
    if (debug) {
        debug_line("eta", 0.0);
        debug_line("dt", *dt);
    }
    const auto& grid = materialdata::temperatures;
    const double temp_ev = grid.allocated() && grid.extent(1) >= 1
                               ? std::min(std::max(*temp, grid(1)), grid(grid.extent(1)))
                               : *temp;
    const bool softening = !(*d >= 1.0 && *degr < 1.0);
    const Table normal(materialdata::normalprops, materialdata::nnormaldata);
    const Table shear(materialdata::shearprops, materialdata::nsheardata);
    const char* const routine = "GetResinOrthotropicProperties";

    double* const moduli[] = {e1, e2, e3};
    for (int i = 0; i < 3; ++i) {
        const double eps = endstran[i];
        if (debug) io::write_list(6, {"endstran(i)", i + 1, eps});
        double alpha = 0.0;
        if (softening) {
            alpha = lookup(normal, eps, temp_ev, false, routine);
            if (debug) debug_line("alpha_0", alpha);
        }
        *moduli[i] = eps == 0.0 ? e0 : e0 / (std::abs(eps) * alpha + 1.0);
    }
    // nu_ij + nu_ji = 2 nu and nu_ij/Ei = nu_ji/Ej
    const auto minor = [&](double ei, double ej) { return 2.0 * nu / (ei / ej + 1.0); };
    *nu21 = minor(*e1, *e2), *nu12 = 2.0 * nu - *nu21;
    *nu31 = minor(*e1, *e3), *nu13 = 2.0 * nu - *nu31;
    *nu32 = minor(*e2, *e3), *nu23 = 2.0 * nu - *nu32;

    const double g0 = e0 / (2.0 * (1.0 + nu));
    double* const shears[] = {g12, g13, g23};
    for (int i = 0; i < 3; ++i) {
        const double gam = endstran[3 + i];
        const double alpha = softening ? lookup(shear, gam, temp_ev, false, routine) : 0.0;
        if (debug && softening && i == 0) debug_line("alpha 12 ohne vr", alpha);
        *shears[i] = g0 / (std::abs(gam) * alpha + 1.0);
    }
}

void GetModulusFromTable(const double* eqstrain, double* e, const double* temp) {
    *e = lookup(Table(materialdata::secantprops, materialdata::nsecantdata), *eqstrain, *temp, true,
                "GetModulusFromTable");
}

void GetFlowParameters(const double* eqplaststrain, double* a0, double* a1, const double* temp) {
    const Table flow(materialdata::flowprops, materialdata::nflowdata);
    *a0 = lookup(flow, *eqplaststrain, *temp, true, "GetFlowParameters");
    *a1 = 0.0;
    if (flow.unusable(2)) return;  // reported with a0
    if (flow.unusable(3))
        report(-3, "Flow calibration table without column 3 in GetFlowParameters");
    else
        *a1 = flow.value(3, *eqplaststrain, *temp, math::math_cubichermitianinterpolation);
}

void GetExternalData(const double* datafield, const i32* ndata, const double* x0,
                     const double* temp, double* rvalue, const char* stype, const i32* n1,
                     const i32* n2, const i32* n3) {
    const bool cubic = std::toupper(static_cast<unsigned char>(*stype)) == 'C';
    *rvalue = lookup(Table(datafield, *n1, *n2, *n3, *ndata), *x0, *temp, cubic, "GetExternalData");
}

void EquivalentStrain(const double* strain, double* eqstrain, const i32*, const i32* ntens) {
    const double half = 0.5;
    double e11, e22, e33, e12, e13, e23;
    lamina::GetTensorComponents(&e11, &e22, &e33, &e12, &e13, &e23, strain, ntens, &half);
    const double norm =
        std::sqrt(e11 * e11 + e22 * e22 + e33 * e33 + 2.0 * (e12 * e12 + e13 * e13 + e23 * e23));
    *eqstrain = std::copysign(norm, e11 + e22 + e33);
}

void EndochroneViscoPlasticity(const double* stran, const double* dstrain, const double* props,
                               double* stress, double* statev, const double* dtime,
                               const i32* nprops, const i32* nstatev, const lgl* writesdv,
                               const lgl* matstate) {
    if (*nprops < 11 || *nstatev < 42) {
        std::fill_n(stress, 6, 0.0);
        report(-3, "Fewer than 11 properties or 42 state variables in "
                   "EndochroneViscoPlasticity");
        return;
    }
    // Deviator of a six-vector (three normal, then three shear entries) and its trace.
    const auto split = [](const V6& a, V6& dev) {
        const double tr = a[0] + a[1] + a[2];
        dev = a;
        for (int i = 0; i < 3; ++i) dev[i] -= tr / 3.0;
        return tr;
    };
    // Norm with the shear entries weighted 2.
    const auto norm = [](const V6& a) {
        return std::sqrt(a[0] * a[0] + a[1] * a[1] + a[2] * a[2] +
                         2.0 * (a[3] * a[3] + a[4] * a[4] + a[5] * a[5]));
    };
    // Every input is read before stress or statev is written: they may share storage.
    const bool full = *matstate != 0;
    const double nu = props[2];
    const double e0 = full ? props[0] : 15.0, b = full ? props[1] : 0.0;
    V6 eps, deps, e, de;
    for (int i = 0; i < 6; ++i) eps[i] = stran[i] + dstrain[i], deps[i] = dstrain[i];
    const double tr = split(eps, e), dtr = split(deps, de);
    const double deps_norm = norm(deps);

    // Elastic branch, a secant law of the total strain.
    const double g0 = e0 / (2.0 * (1.0 + nu)), k0 = e0 / (3.0 * (1.0 - 2.0 * nu));
    const double bg = b / (0.816496580927726 * (1.0 + nu)), bk = b / (1.0 - 2.0 * nu);
    const double dg = std::exp(bg * norm(e)), dk = std::exp(bk * std::abs(tr));
    V6 s;
    for (int i = 0; i < 6; ++i) s[i] = 2.0 * g0 * e[i] / dg + (i < 3 ? k0 * tr / dk : 0.0);
    if (!full) {
        std::copy(s.begin(), s.end(), stress);
        return;
    }

    // Endochronic branch.
    const double ep = props[3], kappa = props[4];
    const double gp = ep / (2.0 * (1.0 + nu)), kp = ep / (3.0 * (1.0 - 2.0 * nu));
    const double root = std::sqrt(1.0 + 2.0 * nu * nu);
    const double cd = kappa / root, cv = kappa / (3.0 * root);
    std::array<V6, 7> branch;  // 0 endochronic, 1..6 Maxwell
    for (int k = 0; k < 7; ++k) std::copy_n(statev + 6 * k, 6, branch[k].begin());
    {
        V6& p = branch[0];
        V6 q;
        const double trp = split(p, q);
        const double dtrp =
            (3.0 * kp * dtr - 3.0 * cv * trp * deps_norm) / (1.0 + 1.5 * cv * deps_norm);
        for (int i = 0; i < 6; ++i) {
            const double dq =
                (2.0 * gp * de[i] - cd * deps_norm * q[i]) / (1.0 + 0.5 * cd * deps_norm);
            p[i] += dq + (i < 3 ? dtrp / 3.0 : 0.0);
        }
    }

    // Maxwell branches: trapezoidal update of ds/dt = 2 Gk de/dt - s/tau_k (deviator) and of
    // the trace with 3 Kk. The viscosities tau_k Ek/(1 + nu) and tau_k Ek/(1 - 2 nu) make
    // 2 Gk dtime/etaGk = 3 Kk dtime/etaKk = dtime/tau_k for every modulus, also for Ek = 0.
    constexpr double tau[] = {0.1, 1.0, 10.0, 100.0, 1000.0, 10000.0};
    for (int k = 1; k <= 6; ++k) {
        const double ek = props[4 + k];
        const double gk = ek / (2.0 * (1.0 + nu)), kk = ek / (3.0 * (1.0 - 2.0 * nu));
        const double h = *dtime / tau[k - 1], damp = 1.0 + 0.5 * h;
        V6& sk = branch[k];
        V6 dev;
        const double str = split(sk, dev);
        const double dstr = (3.0 * kk * dtr - h * str) / damp;
        for (int i = 0; i < 6; ++i)
            sk[i] += (2.0 * gk * de[i] - h * dev[i]) / damp + (i < 3 ? dstr / 3.0 : 0.0);
    }

    for (const V6& sk : branch)
        for (int i = 0; i < 6; ++i) s[i] += sk[i];
    std::copy(s.begin(), s.end(), stress);
    if (*writesdv)
        for (int k = 0; k < 7; ++k) std::copy(branch[k].begin(), branch[k].end(), statev + 6 * k);
}

}  // extern "C"
}  // namespace vorlen::resin
