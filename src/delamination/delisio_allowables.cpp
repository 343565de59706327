// Strain allowables without growth: delaminations at the interfaces of a laminate in compression
// and delaminations at ply cracks in tension, by stepping the strain until a release rate passes
// the static or fatigue limit.
#include <algorithm>
#include <cmath>
#include <limits>

#include "base/errorhandling.hpp"
#include "base/units.hpp"
#include "base/work.hpp"
#include "delamination/delisio.hpp"

namespace vorlen::delisio {
namespace {

constexpr int kSteps = 100;
constexpr double kHuge = std::numeric_limits<double>::max();
constexpr double kInf = std::numeric_limits<double>::infinity();

struct Allowable {
    double strain, force;
};

// The release-rate limit for inloadcycles cycles (absent: 1).
double rate_limit(const double* props, const double* inloadcycles, double* ncycles) {
    const double n = inloadcycles ? *inloadcycles : 1.0;
    *ncycles = n;
    if (n == 1.0 || n == 0.0) return props[9];
    if (n > 1.0) {
        double g = 0.0, cycles = n;
        GrowthInitiationParis(&g, &cycles, &props[10], &props[11]);
        return g;
    }
    io::write_list(6, {"Invalid number of cycles was given"});
    io::write_list(6, {"Static limit is calculated"});
    return props[9];
}

// Raises e11 by step up to 100 times; rate(j, e11, &n11) gives the larger release rate of step j
// and the laminate force. Between the last step below the limit and the first above it, or
// beyond steps 99 and 100, the allowable is linear; rates that never pass the limit and do not
// rise at the end give an infinite allowable in the direction of step.
template <class Rate>
Allowable search(double step, double limit, Rate&& rate) {
    double err[kSteps + 1] = {};  // err[0]: the unloaded state
    double e11 = 0.0, n11 = 0.0, force[kSteps + 1] = {};
    int j = 1;
    bool passed = false;
    for (; j <= kSteps; ++j) {
        e11 += step;
        err[j] = rate(j, e11, &n11);
        force[j] = n11;
        if (err[j] > limit) {
            passed = true;
            break;
        }
    }
    if (!passed) j = kSteps;
    const double d = err[j] - err[j - 1];
    if (!passed && !(d > 0.0)) return {std::copysign(kInf, step), std::copysign(kInf, step)};
    const double s = (limit - err[j]) / d;
    return {e11 + step * s, force[j] + (force[j] - force[j - 1]) * s};
}

// Copy of an input of n values (n below 0 counts as 0), apart from the outputs.
class Copy {
  public:
    Copy(const double* a, i64 n) : w_(n) { std::copy_n(a, std::max<i64>(n, 0), w_.data()); }
    const double* data() const { return w_.data(); }

  private:
    Work<double, 64> w_;
};

bool finite_above_0(double x) { return std::isfinite(x) && x > 0.0; }
bool finite_from_0(double x) { return std::isfinite(x) && x >= 0.0; }

}  // namespace

extern "C" {

void Find_Allowable_nogrowth_comp(const double* layup, const double* tply, const double* extensdmg,
                                  const double* length, const double* width, const double* props,
                                  double* strainallowable, double* forceallowables_perinterface,
                                  double* eps_th_results, const double* dmgsizes,
                                  double* allowables_perinterface, const i32* nplies,
                                  const i32* nprops, const i32* ninter, const double* inincrement,
                                  const double* dmgincrement_in, const double* inloadcycles) {
    static constexpr const char* routine = "Find_Allowable_nogrowth_comp";
    const i32 n = *nplies, ni = std::max<i32>(*ninter, 0);
    View<double, 3> eps_th(eps_th_results, ni, 6, kSteps);
    auto refuse = [&](const char* problem) {
        errorhandling::report(-3, problem, routine);
        *strainallowable = 0.0;
        std::fill_n(forceallowables_perinterface, ni, 0.0);
        std::fill_n(allowables_perinterface, ni, 0.0);
        std::fill(eps_th.begin(), eps_th.end(), 0.0);
    };
    if (ni > i64{n} - 1 || *nprops < 12)
        return refuse(*nprops < 12 ? "Fewer than 12 properties" : "More interfaces than nplies-1");
    // The inputs are copied: an output may share their storage.
    const Copy ply(layup, n), prop(props, 12), sizes(dmgsizes, 2 * i64{ni});
    const double t = *tply, ext = *extensdmg, len = *length, wid = *width;
    const double increment = inincrement ? *inincrement : -0.001, step = -std::fabs(increment);
    const double dmgincrement = dmgincrement_in ? *dmgincrement_in : 0.1;
    if (!std::isfinite(increment)) return refuse("Strain step not finite");
    if (!(finite_above_0(t) && finite_above_0(len) && finite_above_0(wid) &&
          finite_above_0(dmgincrement) && std::isfinite(ext) &&
          std::all_of(sizes.data(), sizes.data() + 2 * i64{ni}, finite_from_0)))
        return refuse("Thickness, size, step or offset out of range");
    double ncycles;
    const double limit = rate_limit(prop.data(), inloadcycles, &ncycles);
    if (!(limit >= 0.0)) return refuse("Release-rate limit NaN or below 0");
    io::write_list(6, {"ERR for a life of ", ncycles, " cycles is ", limit});

    std::fill(eps_th.begin(), eps_th.end(), 0.0);
    const i32 twelve = 12, six = 6, once = 1;
    const double stressratio = 0.1;
    double best = -kHuge;
    bool active = false, all_nan = true;
    for (i32 i = 1; i <= ni; ++i) {
        const double dl = sizes.data()[i - 1], dw = sizes.data()[ni + i - 1];
        if (dl == 0.0 || dw == 0.0) continue;
        const Allowable al = search(step, limit, [&](int j, double e11, double* n11) {
            const double dof[6] = {e11, 0.0, 0.0, 0.0, 0.0, 0.0};
            double res[26];
            DelaCompGrowth(ply.data(), &t, dof, &i, prop.data(), &len, &wid, &ext, res, &dw, &dl,
                           &once, &n, &twelve, &six, &once, &stressratio, &dmgincrement);
            const double* c = res + 13;  // column 2
            const double row[6] = {e11, c[8], c[9], c[1], c[10], c[11]};
            for (int r = 0; r < 6; ++r) eps_th(i, r + 1, j) = row[r];
            *n11 = c[1];
            return std::fmax(c[8], c[9]);
        });
        allowables_perinterface[i - 1] = al.strain;
        forceallowables_perinterface[i - 1] = al.force;
        if (!active || std::isnan(best) || al.strain > best) best = al.strain;
        all_nan = all_nan && std::isnan(al.strain);
        active = true;
    }
    *strainallowable = active && !all_nan ? best : (active ? std::nan("") : -kHuge);
}

void Find_Allowable_nogrowth_tension(const double* layup, const double* tply,
                                     const double* extensdmg, const double* length,
                                     const double* width, const double* props,
                                     const double* fibercrack, const double* dmgsizes,
                                     const i32* nplies, const i32* nprops, const i32* ninter,
                                     double* allowables_perply, double* strainallowable,
                                     double* forceallowables_perply, const double* inincrement,
                                     const double* inloadcycles) {
    static constexpr const char* routine = "Find_Allowable_nogrowth_tension";
    const i32 n = std::max<i32>(*nplies, 0), ni = std::max<i32>(*ninter, 0);
    auto refuse = [&](const char* problem) {
        errorhandling::report(-3, problem, routine);
        *strainallowable = 0.0;
        std::fill_n(allowables_perply, n, 0.0);
        std::fill_n(forceallowables_perply, n, 0.0);
    };
    if (*nprops < 12) return refuse("Fewer than 12 properties");
    const Copy ply(layup, n), prop(props, 12), crack(fibercrack, n), sizes(dmgsizes, 2 * i64{ni});
    const double t = *tply, ext = *extensdmg, len = *length, wid = *width;
    const double increment = inincrement ? *inincrement : 0.001, step = std::fabs(increment);
    if (!std::isfinite(increment)) return refuse("Strain step not finite");
    if (!(finite_above_0(t) && std::all_of(crack.data(), crack.data() + n, finite_from_0) &&
          std::all_of(sizes.data(), sizes.data() + 2 * i64{ni}, finite_from_0)))
        return refuse("Thickness, size or crack length out of range");
    double ncycles;
    const double limit = rate_limit(prop.data(), inloadcycles, &ncycles);
    if (!(limit >= 0.0)) return refuse("Release-rate limit NaN or below 0");
    // The largest delamination of all interfaces, for every ply (it is reported by the history,
    // not read by its release rates; 0 without an interface).
    double dl = 0.0, dw = 0.0;
    for (i32 i = 0; i < ni; ++i)
        dl = std::max(dl, sizes.data()[i]), dw = std::max(dw, sizes.data()[ni + i]);

    Work<double, 0> res(13 * 1000);
    const i32 twelve = 12, six = 6, once = 1;
    double best = kHuge;
    bool active = false, all_nan = true;
    for (i32 u = 1; u <= n; ++u) {
        const double lc = crack.data()[u - 1];
        if (lc == 0.0) continue;
        const Allowable al = search(step, limit, [&](int, double e11, double* n11) {
            const double dof[6] = {e11, 0.0, 0.0, 0.0, 0.0, 0.0};
            delaTension(ply.data(), &t, dof, &u, prop.data(), &len, &wid, &ext, res.data(), &dw,
                        &dl, &lc, &once, &n, &twelve, &six, nullptr, nullptr, nullptr);
            *n11 = res[1];
            return std::fmax(res[6], res[8]);
        });
        allowables_perply[u - 1] = al.strain;
        forceallowables_perply[u - 1] = al.force;
        if (!active || std::isnan(best) || al.strain < best) best = al.strain;
        all_nan = all_nan && std::isnan(al.strain);
        active = true;
    }
    *strainallowable = active && !all_nan ? best : (active ? std::nan("") : kHuge);
}

}  // extern "C"
}  // namespace vorlen::delisio
