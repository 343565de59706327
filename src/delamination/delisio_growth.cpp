// Paris laws and the growth histories of a delamination in compression and of one at a ply crack
// under tension.
#include <algorithm>
#include <cmath>

#include "base/errorhandling.hpp"
#include "base/work.hpp"
#include "core/math_products.hpp"
#include "delamination/delisio.hpp"
#include "materials/lamina_rotated.hpp"
#include "materials/laminate.hpp"

namespace vorlen::delisio {
namespace {

constexpr double kRtoD = 57.29577951308232;     // 180/pi
constexpr double kDtoR = 0.017453292519943295;  // pi/180
constexpr double kQuarterPi = 0.7853981633974483;
constexpr i32 kSix = 6;

// A stack of plies of one thickness and one set of elastic constants.
class Stack {
  public:
    Stack(const double* props, double tply, i32 nplies) : pe_(9 * i64{nplies}), th_(nplies) {
        for (i32 k = 0; k < nplies; ++k) {
            std::copy_n(props, 9, pe_.data() + 9 * i64{k});
            th_[k] = tply;
        }
    }
    // ABD(6,6) of the plies first..first+count-1 (1-based) with the orientations of layup.
    void abd(double* abd, const double* layup, i32 first, i32 count) {
        const double* pe = pe_.data() + 9 * i64{first - 1};
        const double* th = th_.data() + (first - 1);
        const double* ang = layup + (first - 1);
        double a[9], b[9], d[9];
        laminate::GetAMatrix(a, pe, ang, th, &count);
        laminate::GetBMatrix(b, pe, ang, th, &count);
        laminate::GetDMatrix(d, pe, ang, th, &count);
        laminate::GetABDMatrix(abd, a, b, d);
    }

  private:
    Work<double, 9 * 64> pe_;
    Work<double, 64> th_;
};

// Whether a history may run: a jump of at least 1 and cycles not below 0 (code -3 otherwise).
bool history_ok(i32 jump, i32 totalcycles, const char* routine) {
    if (jump < 1) {
        errorhandling::report(-3, "Cycle jump below 1", routine);
        return false;
    }
    if (totalcycles < 0) {
        errorhandling::report(-3, "Negative number of cycles", routine);
        return false;
    }
    return true;
}

bool finite_above_0(double x) { return std::isfinite(x) && x > 0.0; }
bool finite_from_0(double x) { return std::isfinite(x) && x >= 0.0; }

// Whether the stack arguments can be read: ply (interface or cracked ply) in first..last,
// nprops at least 12, ndof at least 6, and the thickness and sizes in range (sizes; code -3
// otherwise).
bool stack_ok(i32 ply, i64 first, i64 last, const char* what, i32 nprops, i32 ndof, bool sizes,
              const char* sizes_what, const char* routine) {
    if (ply < first || ply > last) {
        errorhandling::report(-3, what, routine);
        return false;
    }
    if (nprops < 12) {
        errorhandling::report(-3, "Fewer than 12 properties", routine);
        return false;
    }
    if (ndof < 6) {
        errorhandling::report(-3, "Fewer than 6 strain components", routine);
        return false;
    }
    if (!sizes) {
        errorhandling::report(-3, sizes_what, routine);
        return false;
    }
    return true;
}

}  // namespace

extern "C" {

void GrowthRateParis(const double* deltag, double* dadn, const double* cf, const double* nf) {
    const double g = *deltag;
    *dadn = g < 0.0 ? 0.0 : *cf * std::pow(g, *nf);
}

void GrowthInitiationParis(double* deltag, double* n, const double* c1, const double* c2) {
    const double g = *deltag, cycles = *n;
    if (cycles < 0.0)
        *n = std::pow(*c1 / g, *c2);
    else
        *deltag = *c1 * std::pow(cycles, 1.0 / *c2);
}

void DelaCompGrowth(const double* layup, const double* tply, const double* indof,
                    const i32* dela_interface, const double* props, const double* length,
                    const double* width, const double* extensdmg, double* results,
                    const double* dmgwidth, const double* dmglength, const i32* totalcycles,
                    const i32* nplies, const i32* nprops, const i32* ndof, const i32* incyclejump,
                    const double*, const double* dmgincrement_in) {
    static constexpr const char* routine = "DelaCompGrowth";
    const i32 jump = incyclejump ? *incyclejump : 1, total = *totalcycles;
    if (!history_ok(jump, total, routine)) return;
    const i64 ncol = i64{total} + 1;
    Mat<double> res(results, 13, ncol);
    const i32 n = *nplies, inter = *dela_interface;
    // Every input is read before results is written.
    const double cyclejump = jump, dmgincrement = dmgincrement_in ? *dmgincrement_in : 0.1;
    const double len = *length, wid = *width, ext = *extensdmg;
    const double start_w = *dmgwidth, start_l = *dmglength;
    const bool sizes = finite_above_0(*tply) && finite_above_0(len) && finite_above_0(wid) &&
                       finite_above_0(start_w) && finite_above_0(start_l) &&
                       finite_above_0(dmgincrement) && std::isfinite(ext);
    if (!stack_ok(inter, 1, i64{n} - 1, "Interface outside 1..nplies-1", *nprops, *ndof, sizes,
                  "Thickness, size, step or offset out of range", routine)) {
        std::fill(res.begin(), res.end(), 0.0);
        return;
    }
    const double nf = props[10], cf = props[11];
    double abd[36], sub[2][36], abdsub[72], dof[6], forcecases[18];
    Stack stack(props, *tply, n);
    stack.abd(abd, layup, 1, n);
    stack.abd(sub[0], layup, 1, inter);
    stack.abd(sub[1], layup, inter + 1, n - inter);
    std::copy_n(indof, 6, dof);
    for (int j = 0; j < 36; ++j) abdsub[2 * j] = sub[0][j], abdsub[1 + 2 * j] = sub[1][j];
    double f[6];
    const double* m[3] = {abd, sub[0], sub[1]};
    for (int r = 0; r < 3; ++r) {
        math::MatrixVectorProduct(m[r], dof, f, &kSix, &kSix);
        for (int j = 0; j < 6; ++j) forcecases[r + 3 * j] = f[j];
    }
    const double n11 = forcecases[0], end_disp = dof[0] * len;

    std::fill(res.begin(), res.end(), 0.0);
    res(2, 1) = n11;
    res(3, 1) = end_disp;
    res(4, 1) = start_l;
    res(5, 1) = start_w;
    res(6, 1) = start_l * start_w;
    i64 loadcycle = 0;
    for (i64 k = 1; loadcycle < total && k < ncol; ++k) {
        double a = res(4, k) / 2.0, b = res(5, k) / 2.0, g[4], dadn, dbdn;
        const double areaclean = 0.0;
        EnergyReleaseRate(dof, abd, abdsub, &a, &b, &wid, &len, &areaclean, forcecases, &g[0],
                          &g[1], &g[2], &g[3], &ext, &dmgincrement, &dmgincrement, nullptr,
                          nullptr);
        GrowthRateParis(&g[0], &dadn, &cf, &nf);
        GrowthRateParis(&g[1], &dbdn, &cf, &nf);
        loadcycle = static_cast<i64>(std::trunc(static_cast<double>(loadcycle) + cyclejump));
        b += cyclejump * dbdn;
        a += cyclejump * dadn;
        const double col[12] = {static_cast<double>(loadcycle),
                                n11,
                                end_disp,
                                2.0 * a,
                                2.0 * b,
                                4.0 * a * b,
                                dadn,
                                dbdn,
                                g[0],
                                g[1],
                                g[2],
                                g[3]};
        for (int r = 0; r < 12; ++r) res(r + 1, k + 1) = col[r];
    }
}

void delaTension(const double* layup, const double* tply, const double* indof, const i32* ncrack,
                 const double* props, const double*, const double*, const double*, double* results,
                 const double* indmgwidth, const double* indmglength, const double* l_crack,
                 const i32* totalcycles, const i32* nplies, const i32* nprops, const i32* ndof,
                 const i32* incyclejump, const double*, const double* paris_ng) {
    static constexpr const char* routine = "delaTension";
    constexpr i64 kColumns = 1000;
    const i32 total = *totalcycles;
    const i32 jump =
        incyclejump ? *incyclejump : std::max<i32>(static_cast<i32>(std::trunc(total / 10.0)), 1);
    if (!history_ok(jump, total, routine)) return;
    Mat<double> res(results, 13, kColumns);
    const i32 n = *nplies, crack = *ncrack;
    // Every input is read before results is written.
    const double t = *tply, start_l = *indmglength, start_w = *indmgwidth, lcrack = *l_crack;
    const bool sizes = finite_above_0(t) && finite_from_0(start_l) && finite_from_0(start_w) &&
                       finite_from_0(lcrack);
    if (!stack_ok(crack, 1, n, "Cracked ply outside 1..nplies", *nprops, *ndof, sizes,
                  "Thickness or size out of range", routine)) {
        std::fill(res.begin(), res.end(), 0.0);
        return;
    }
    const double c1 = paris_ng ? paris_ng[0] : 1.0, c2 = paris_ng ? paris_ng[1] : 0.0;
    const double nf = props[10], cf = props[11];
    const i32 outerply = crack == 1 || crack == n ? 1 : 0;
    double dof[6], abd[36], forces[6];
    std::copy_n(indof, 6, dof);
    Stack(props, t, n).abd(abd, layup, 1, n);
    math::MatrixVectorProduct(abd, dof, forces, &kSix, &kSix);

    // Stress of the cracked ply in laminate axes and its principal direction.
    const i32 one = 1, three = 3;
    const double ply_angle = layup[crack - 1];
    double ac[9], stress[3];
    laminate::GetAMatrix(ac, props, &ply_angle, tply, &one);
    math::MatrixVectorProduct(ac, dof, stress, &three, &three);
    for (double& s : stress) s /= t;
    const double num = 2.0 * stress[2], den = stress[0] - stress[1];
    const double alpha_main = num == 0.0 && den == 0.0 ? 0.0 : 0.5 * std::atan(num / den) * kRtoD;
    const double delta = ply_angle - alpha_main;

    // The ply's stiffness and strain in the principal frame.
    double arot[9], sv[6];
    laminate::GetAMatrix(arot, props, &delta, tply, &one);
    const double theta = alpha_main * kDtoR, nrot[3] = {0.0, 0.0, 1.0};
    const double zero = 0.0, half_gamma = dof[2] / 2.0;
    lamina::GetRotatedStresses(sv, &theta, nrot, &dof[0], &dof[1], &zero, &half_gamma, &zero, &zero,
                               nullptr);
    const double dof_r[6] = {sv[0], sv[1], 2.0 * sv[3], 0.0, 0.0, 0.0};
    const double l_ortho = lcrack * std::cos(delta * kDtoR);
    const double l_parallel = lcrack * std::sin(delta * kDtoR);

    const i32 dir1 = 1, dir2 = 2;
    double serr, serr2, rate, rate2, ncycles_ini = -1.0;
    sERR_delaTension(dof_r, arot, &start_l, &start_w, &l_ortho, &delta, &serr, &dir1, &outerply);
    sERR_delaTension(dof_r, arot, &start_l, &start_w, &l_parallel, &delta, &serr2, &dir2,
                     &outerply);
    GrowthRateParis(&serr, &rate, &cf, &nf);
    GrowthRateParis(&serr2, &rate2, &cf, &nf);
    double g = serr;
    GrowthInitiationParis(&g, &ncycles_ini, &c1, &c2);
    const double area_rate = 2.0 * l_ortho * rate, area_rate2 = 2.0 * l_parallel * rate2;

    std::fill(res.begin(), res.end(), 0.0);
    double l = start_l, w = start_w, area = kQuarterPi * start_l * start_w;
    const double first[10] = {0.0,  forces[0], dof[0],    l,     w,
                              area, serr,      area_rate, serr2, ncycles_ini};
    for (int r = 0; r < 10; ++r) res(r + 1, 1) = first[r];
    const double jumpd = jump;
    i64 k = 1;
    for (i64 cycle = jump; cycle <= total; cycle += jump) {
        if (k == kColumns) {
            errorhandling::report(-3, "Cycle jumps beyond column 1000", routine);
            break;
        }
        ++k;
        l += jumpd * rate;
        w += jumpd * rate2;
        area += jumpd * (area_rate + area_rate2);
        const double col[9] = {
            static_cast<double>(cycle), forces[0], dof[0], l, w, area, serr, area_rate, serr2};
        for (int r = 0; r < 9; ++r) res(r + 1, k) = col[r];
    }
}

}  // extern "C"
}  // namespace vorlen::delisio
