// Cure and Prony material routines: heat of reaction, thermal and chemical expansion, the
// transversely isotropic Prony-series viscoelastic resin and its ANSYS entry.
#include "solver/toplevel_cure.hpp"

#include <algorithm>
#include <cmath>
#include <string_view>

#include "base/errorhandling.hpp"
#include "core/materialdata.hpp"
#include "core/sectiondata.hpp"
#include "core/utility_search.hpp"
#include "failure/prony.hpp"
#include "io/iohandling_primitives.hpp"
#include "solver/toplevel_layouts.hpp"
#include "solver/wrapper.hpp"

namespace vorlen::toplevel {
namespace {

constexpr double kHuge = 1.7976931348623157e308;
constexpr double kCelsius = 273.15;  // kelvin of 0 degrees Celsius; below it glassy
constexpr double kRelaxed = 573.15;  // from here the resin is fully relaxed
constexpr i32 kPronyFirst = 9;       // first slot of the internal stresses
constexpr i32 kPronyLast = 500;      // last slot they may take
constexpr i32 kPronyStatev = 510, kExpanStatev = 508;

void report(i32 code, std::string_view problem, std::string_view routine) {
    errorhandling::report(code, problem, routine);
}

// Cure table of the material's layer and section: cu(k, c) = cuprops(k, c, l, s).
struct CureTable {
    const double* base = nullptr;  // cuprops(1, 1, l, s)
    i64 nk = 0;                    // first extent of cuprops
    double cu(i64 k, i64 c) const { return base[(c - 1) * nk + (k - 1)]; }
    const double* column(i64 c) const { return base + (c - 1) * nk; }
};

i32 name_tag(const char* cmname, char letter) {
    if (cmname == nullptr) return 1;
    const i32 len = 80, notfound = -1;
    const i32 id = iohandling::iohandling_getxidfromstring(cmname, &len, &letter, &notfound, &len);
    return id > 0 ? id : 1;
}

// The table of the name's layer and section when cuprops holds at least nk entries and nc
// columns there; false with code -3 otherwise.
bool cure_table(CureTable& t, const char* cmname, i64 nk, i64 nc, std::string_view routine) {
    const auto& cup = materialdata::cuprops;
    const auto& ids = sectiondata::secidlist;
    if (cup.allocated() && ids.allocated()) {
        const i32 l = name_tag(cmname, 'l'), secid = name_tag(cmname, 's');
        const i32 n = static_cast<i32>(std::clamp<i64>(sectiondata::nsec, 0, ids.extent(1)));
        const i32 notfound = 1;
        const i32 s = n > 0 ? utility::iFindLocation(&secid, &ids(1), &n, &notfound) : 1;
        if (cup.extent(1) >= nk && cup.extent(2) >= nc && l <= cup.extent(3) &&
            s <= cup.extent(4)) {
            t.base = &cup(1, 1, l, s);
            t.nk = cup.extent(1);
            return true;
        }
    }
    report(-3, "Cure data missing", routine);
    return false;
}

double degmax_at(const CureTable& t, double temp) {
    return 1.0 / (1.0 + std::exp(t.cu(2, 5) - t.cu(1, 5) * (temp - kCelsius)));
}

double glass_transition(const CureTable& t, double x) {
    const double tg0 = t.cu(1, 6), tginf = t.cu(2, 6), lambda = t.cu(3, 6);
    return tg0 + (tginf - tg0) * lambda * x / (1.0 - (1.0 - lambda) * x) + kCelsius;
}

// One cure step at temperature temp: slots 1 and 2 (x and its rate), 3 Tg(x); returns the rate.
double cure_step(const CureTable& t, double* svar, double temp, const double* dtime,
                 double degmax) {
    const i32 nc = static_cast<i32>(std::min<i64>(t.nk, 2147483647));
    double rate = 0.0;
    if (svar[0] < degmax) {
        const double x0 = svar[0];
        svar[0] = prony::FuncDegree(t.column(7), &temp, &x0, dtime, &degmax, &nc);
        rate = prony::CureRate(t.column(7), &temp, &svar[0], &degmax, &nc);
    }
    svar[1] = rate;
    svar[2] = glass_transition(t, svar[0]);
    return rate;
}

void hetval_point(const char* cmname, const double* temp, const double* dtime, double* svar,
                  double* flux) {
    CureTable t;
    if (!cure_table(t, cmname, 3, 7, "hetval_prony")) {
        flux[0] = 0.0;
        return;
    }
    double degmax = degmax_at(t, temp[0]);
    if (svar[3] > degmax) degmax = svar[3];
    flux[0] = t.cu(1, 2) * cure_step(t, svar, temp[0], dtime, degmax);
    svar[3] = degmax;
}

void uexpan_point(double* expan, double* dexpandt, const double* temp, const double* time,
                  const double* dtime, double* svar, const char* cmname, i32 nstatv) {
    std::fill_n(expan, 6, 0.0);
    std::fill_n(dexpandt, 6, 0.0);
    constexpr std::string_view routine = "uexpan_prony";
    if (nstatv < kExpanStatev) {
        report(-3, "Unsupported components", routine);
        return;
    }
    CureTable t;
    if (!cure_table(t, cmname, 6, 7, routine)) return;
    const double tend = temp[0] + temp[1];
    double degmax = degmax_at(t, tend);
    if (time[1] == 0.0) std::fill_n(svar, 3, 0.0);
    if (svar[3] > degmax) degmax = svar[3];
    svar[3] = degmax;
    const double rate = cure_step(t, svar, tend, dtime, degmax);
    const double x = svar[0], tg = svar[2];
    i32 first = 0;  // entries of the coefficients: 1 glassy, 4 rubbery, 0 none
    if (temp[0] < tg)
        first = 1;
    else if (x > t.cu(1, 1))
        first = 4;
    for (i32 i = 0; i < 3; ++i) {
        const double cte = first ? t.cu(first + i, 3) : 0.0;
        const double beta = first ? t.cu(first + i, 4) : 0.0;
        const double thermal = cte * temp[1], chemical = beta * rate * *dtime;
        expan[i] = thermal + chemical;
        if (i < 2) svar[6 + i] = chemical;
        svar[502 + i] += thermal;
        svar[505 + i] += chemical;
    }
}

// Term counts of PROPS 1-5 (truncated; outside the 32-bit range a negative count).
i32 term_count(double x) {
    if (!(x > -2147483649.0 && x < 2147483648.0)) return -1;
    return static_cast<i32>(x);
}

// log10 of the shift factor of set (c1, c2, A, dT) at temperature temp above 273.15.
double log_shift(const double* set, double temp, double tg) {
    const double c1 = set[0], c2 = set[1], a = set[2], dt = set[3];
    const double ttrans = tg + dt;
    double v;
    if (temp > ttrans)
        v = -c1 * (temp - tg) / (c2 + temp - tg);
    else if (c2 + dt == 0.0)
        v = 0.0;
    else
        v = a * (1.0 / temp - 1.0 / ttrans) - c1 * dt / (c2 + dt);
    return std::isfinite(v) ? v : 0.0;
}

// The two shift-factor sets of column 8 (zero where the table is missing).
void shift_sets(double* set1, double* set2, const CureTable* t) {
    double v[8] = {};
    i32 n = 0;
    if (t != nullptr) {
        const i64 nk = std::min<i64>(t->nk, 8);
        while (n < nk && t->cu(n + 1, 8) < kHuge) v[n] = t->cu(n + 1, 8), ++n;
    }
    std::copy_n(v, 4, set1);
    std::copy_n(n <= 4 ? v : v + 4, 4, set2);
}

// Stiffness in the transversely isotropic pattern from c11, c12, c22, c23, c44; (6,6) from
// (c22 - c23)/2.
void iso_stiffness(double* d, const double* c) {
    std::fill_n(d, 36, 0.0);
    d[0] = c[0];
    d[6] = d[12] = d[1] = d[2] = c[1];
    d[7] = d[14] = c[2];
    d[13] = d[8] = c[3];
    d[21] = d[28] = c[4];
    d[35] = (c[2] - c[3]) / 2.0;
}

// One block of internal stresses: its series, the factor of its constant, strain component,
// shift set (0 aT1, 1 aT2) and stress row.
struct PronyBlock {
    i32 series;
    double factor;
    i32 strain, shift, row;
};
constexpr PronyBlock kBlocks[13] = {
    {0, 1.0, 0, 0, 0}, {1, 1.0, 1, 1, 0}, {1, 1.0, 2, 1, 0},  {1, 1.0, 0, 0, 1}, {2, 1.0, 1, 1, 1},
    {3, 1.0, 2, 1, 1}, {1, 1.0, 0, 0, 2}, {3, 1.0, 1, 1, 2},  {2, 1.0, 2, 1, 2}, {4, 1.0, 3, 1, 3},
    {4, 1.0, 4, 1, 4}, {2, 0.5, 5, 1, 5}, {3, -0.5, 5, 1, 5},
};

void prony_point(double* stress, double* svar, double* ddsdde, const double* stran,
                 const double* dstran, const double* dtime, const double* temp, const char* cmname,
                 i32 ndi, i32 nshr, i32 ntens, i32 nstatv, const double* props, i32 nprops) {
    constexpr std::string_view routine = "umat_prony";
    if (ntens != 6 || !implicit_layout(ndi, nshr, ntens) || nprops < 10) {
        report(-3, "Unsupported components", routine);
        const i64 n = implicit_fallback_components(ndi, nshr, ntens);
        std::fill_n(ddsdde, n * n, 0.0);
        return;
    }
    const double* c = props + 5;  // C11, C12, C22, C23, C44
    i32 npc[5];
    i64 first[5], sum = 0, nq = 0;  // first[j]: index into props of series j's first weight
    bool ok = true;
    for (i32 j = 0; j < 5; ++j) {
        npc[j] = term_count(props[j]);
        ok = ok && npc[j] >= 0;
        first[j] = 10 + 2 * sum;
        sum += std::max(npc[j], 0);
    }
    for (const auto& b : kBlocks) nq += std::max(npc[b.series], 0);
    if (!ok || nprops < 10 + 2 * sum || kPronyFirst - 1 + nq > kPronyLast ||
        nstatv < kPronyStatev) {
        report(-3, "Unsupported components", routine);
        double d[36];
        iso_stiffness(d, c);
        for (i32 i = 0; i < 6; ++i)
            for (i32 k = 0; k < 6; ++k) stress[i] += d[6 * k + i] * dstran[k];
        std::copy_n(d, 36, ddsdde);
        return;
    }
    const double t = *temp;
    double e[6], d[36];
    for (i32 i = 0; i < 6; ++i) e[i] = stran[i] + dstran[i];
    if (t >= kCelsius) {
        double at[2] = {1.0, 1.0};
        const bool relaxed = t >= kRelaxed;
        if (!relaxed) {
            CureTable tab;
            const bool have = cure_table(tab, cmname, 1, 8, routine);
            double sets[2][4];
            shift_sets(sets[0], sets[1], have ? &tab : nullptr);
            for (i32 k = 0; k < 2; ++k) {
                const double lg = have ? log_shift(sets[k], t, svar[2]) : 0.0;
                svar[508 + k] = lg;
                at[k] = std::pow(10.0, lg);
            }
        }
        // Internal stresses, block by block, and their increments per row.
        double dq[6] = {};
        i64 slot = kPronyFirst - 1;
        for (const auto& b : kBlocks) {
            const double stiff = b.factor * c[b.series];
            for (i32 i = 0; i < npc[b.series]; ++i, ++slot) {
                const double p = props[first[b.series] + 2 * i];
                const double tau = props[first[b.series] + 2 * i + 1];
                const double qold = svar[slot];
                const double qnew = relaxed ? stiff * p * e[b.strain]
                                            : prony::Relaxation(&qold, &tau, &at[b.shift], dtime,
                                                                &stiff, &p, &e[b.strain]);
                dq[b.row] += qnew - qold;
                svar[slot] = qnew;
            }
        }
        double c0[36];
        iso_stiffness(c0, c);
        for (i32 i = 0; i < 6; ++i) {
            for (i32 k = 0; k < 6; ++k) stress[i] += c0[6 * k + i] * dstran[k];
            stress[i] -= dq[i];
        }
        // Tangent: each constant times 1 - the sum of its series' factors (relaxed: weights).
        auto kept = [&](i32 j, double a) {
            double f = 0.0;
            for (i32 i = 0; i < npc[j]; ++i) {
                const double p = props[first[j] + 2 * i], tau = props[first[j] + 2 * i + 1];
                if (relaxed) {
                    f += p;
                } else {
                    const double den = tau * a + *dtime;
                    if (den != 0.0 && std::isfinite(den)) f += p * *dtime / den;
                }
            }
            return c[j] * (1.0 - f);
        };
        if (relaxed) {
            const double cr[5] = {kept(0, 1), kept(1, 1), kept(2, 1), kept(3, 1), kept(4, 1)};
            iso_stiffness(d, cr);
        } else {
            const double cr[5] = {kept(0, at[0]), kept(1, at[0]), kept(2, at[1]), kept(3, at[0]),
                                  kept(4, at[0])};
            iso_stiffness(d, cr);
        }
    } else {
        iso_stiffness(d, c);
        for (i32 i = 0; i < 6; ++i)
            for (i32 k = 0; k < 6; ++k) stress[i] += d[6 * k + i] * dstran[k];
    }
    svar[500] = d[0];
    svar[501] = d[7];
    std::copy_n(d, 36, ddsdde);
}

}  // namespace

extern "C" {

void toplevel_hetval_prony(const char* cmname, const double* temp, const double* time,
                           const double* dtime, double* svar, double* flux, const double* predef,
                           const double* dpred) {
    (void)time, (void)predef, (void)dpred;
    try {
        hetval_point(cmname, temp, dtime, svar, flux);
    } catch (...) {
        report(-3, "Unexpected failure", "hetval_prony");
    }
}

void toplevel_uexpan_prony(double* expan, double* dexpandt, const double* temp, const double* time,
                           const double* dtime, const double* predef, const double* dpred,
                           double* svar, const char* cmname, const i32* nstatv, const i32* noel) {
    (void)predef, (void)dpred, (void)noel;
    try {
        uexpan_point(expan, dexpandt, temp, time, dtime, svar, cmname, *nstatv);
    } catch (...) {
        report(-3, "Unexpected failure", "uexpan_prony");
    }
}

void toplevel_umat_prony(double* stress, double* svar, double* ddsdde, double* sse, double* spd,
                         double* scd, double* rpl, double* ddsddt, double* drplde, double* drpldt,
                         const double* stran, const double* dstran, const double* time,
                         const double* dtime, const double* temp, const double* dtemp,
                         const double* predef, const double* dpred, const char* cmname,
                         const i32* ndi, const i32* nshr, const i32* ntens, const i32* nstatv,
                         const double* props, const i32* nprops, const double* coords,
                         const double* drot, double* pnewdt, const double* celent,
                         const double* dfgrd0, const double* dfgrd1, const i32* noel,
                         const i32* npt, const i32* kslay, const i32* kspt, const i32* jstep,
                         const i32* kinc) {
    (void)sse, (void)spd, (void)scd, (void)rpl, (void)ddsddt, (void)drplde, (void)drpldt,
        (void)time, (void)dtemp, (void)predef, (void)dpred, (void)coords, (void)drot, (void)pnewdt,
        (void)celent, (void)dfgrd0, (void)dfgrd1, (void)noel, (void)npt, (void)kslay, (void)kspt,
        (void)jstep, (void)kinc;
    try {
        prony_point(stress, svar, ddsdde, stran, dstran, dtime, temp, cmname, *ndi, *nshr, *ntens,
                    *nstatv, props, *nprops);
    } catch (...) {
        report(-3, "Unexpected failure", "umat_prony");
    }
}

void toplevel_usermat_prony(VORLEN_USERMAT_PARAMETERS) {
    wrapper::usermat_of(toplevel_umat_prony, "usermat_prony", VORLEN_USERMAT_ARGUMENTS);
}

}  // extern "C"
}  // namespace vorlen::toplevel
