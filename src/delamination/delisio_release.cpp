// Energy release rates: a rectangular delamination in compression by finite growth steps of the
// strip's energy model, a delamination at a ply crack under tension, a fibre crack.
#include <algorithm>
#include <cmath>

#include "base/errorhandling.hpp"
#include "delamination/delisio.hpp"

namespace vorlen::delisio {
namespace {

constexpr double kPi = 3.141592653589793;
constexpr i32 kThree = 3, kSix = 6;

// Sub-laminate k (1 or 2) of abdsub(2,6,6) as a 6 by 6 matrix.
void sub_abd(double* m, const double* abdsub, int k) {
    for (int j = 0; j < 36; ++j) m[j] = abdsub[(k - 1) + 2 * j];
}

}  // namespace

extern "C" {

void EnergyReleaseRate(const double* dof, const double* abd, const double* abdsub, const double* a,
                       const double* b, const double* width, const double* length, const double*,
                       const double* forcecases, double* gx, double* gy, double* gy_left,
                       double* gy_right, const double* e_in, const double* da_in,
                       const double* db_in, const double* buckfactor_in, const double* r_in) {
    static constexpr const char* routine = "EnergyReleaseRate";
    const double e = e_in ? *e_in : 0.0, da = da_in ? *da_in : 0.1, db = db_in ? *db_in : 0.1;
    const double buckfactor = buckfactor_in ? *buckfactor_in : 1.0;
    const double rpostbuck = r_in ? *r_in : 0.0;
    const double a0 = *a, b0 = *b, w = *width, len = *length, f = forcecases[0];
    const double lw = w / 2.0 - b0 - e, rw = w / 2.0 - b0 + e;
    double g[4] = {};
    if (!(a0 > 0.0 && b0 > 0.0 && da > 0.0 && db > 0.0)) {
        errorhandling::report(-3, "Delamination size or growth step not above 0", routine);
    } else if (!(lw - 2.0 * db > 0.0 && rw - 2.0 * db > 0.0)) {
        errorhandling::report(-3, "Side strip not wider than 0", routine);
    } else if (f != 0.0) {
        double sub1[36], sub2[36], f2[6], f3[6];
        sub_abd(sub1, abdsub, 1);
        sub_abd(sub2, abdsub, 2);
        for (int j = 0; j < 6; ++j) f2[j] = forcecases[1 + 3 * j], f3[j] = forcecases[2 + 3 * j];
        const double one = 1.0;
        double u0;
        LinearElasticEnergy(dof, abd, &one, &u0, &kSix);

        // States: current, a + da, b + db, b + db to the left, b + db to the right.
        const double as[5] = {a0, a0 + da, a0, a0, a0};
        const double bs[5] = {b0, b0, b0 + db, b0 + db, b0 + db};
        const double ls[5] = {lw, lw, lw - db, lw - 2.0 * db, lw};
        const double rs[5] = {rw, rw, rw - db, rw, rw - 2.0 * db};
        const double es[5] = {e, e, e, e + db, e - db};
        const int subof[5] = {0, 1, 2, 2, 2};  // sub-laminate state of each state

        double e1[3], e2[3], n1[3], n2[3];
        for (int s = 0; s < 3; ++s) {
            lgl buckled;
            EnergySublaminat(sub1, dof, &as[s], &bs[s], f2, &e1[s], &n1[s], &buckled, &buckfactor,
                             &rpostbuck);
            EnergySublaminat(sub2, dof, &as[s], &bs[s], f3, &e2[s], &n2[s], &buckled, &buckfactor,
                             &rpostbuck);
        }
        double u[5], disp[5];
        for (int s = 0; s < 5; ++s) {
            const int k = subof[s];
            const double dw = 2.0 * bs[s];
            double nl, nr, ns1, ns2, dd, ie1, ie2, xdisp;
            ForceTransfer(abd, abdsub, forcecases, &n1[k], &n2[k], width, &ls[s], &rs[s], &dw,
                          width, &es[s], &nl, &nr, &ns1, &ns2, &dd, &ie1, &ie2, &rpostbuck);
            const double ql = nl / f, qr = nr / f;
            u[s] = u0 * ((len - 2.0 * as[s]) * w + 2.0 * as[s] * ls[s] * ql * ql +
                         2.0 * as[s] * rs[s] * qr * qr) +
                   e1[k] + e2[k] + 4.0 * as[s] * bs[s] * (ie1 + ie2);
            EquivDisp(abd, &as[s], &bs[s], width, dof, &dd, &nl, &nr, &ls[s], &rs[s], &xdisp);
            disp[s] = (len - 2.0 * (as[s] - a0)) * dof[0] + xdisp;
        }
        const double p = f * w;
        g[0] = (p * (disp[1] - disp[0]) - (u[1] - u[0])) / (4.0 * da * b0);
        for (int s = 2; s < 5; ++s)
            g[s - 1] = (p * (disp[s] - disp[0]) - (u[s] - u[0])) / (4.0 * db * a0);
    }
    *gx = g[0];
    *gy = g[1];
    *gy_left = g[2];
    *gy_right = g[3];
}

void sERR_delaTension(const double* dof_r, const double* a_r, const double*, const double*,
                      const double*, const double*, double* serr_d_t, const i32* dir,
                      const i32* outer) {
    const i32 k = *dir;
    if (k < 0 || k > 3) {
        errorhandling::report(-3, "Direction outside 0..3", "sERR_delaTension");
        *serr_d_t = 0.0;
        return;
    }
    const double interfaces = outer && *outer == 1 ? 1.0 : 2.0;
    const double one = 1.0;
    const i32 none = 0;
    double whole, remain;
    LinearElasticEnergy(dof_r, a_r, &one, &whole, &kThree);
    reducedElasticEnergy(dof_r, a_r, &one, &remain, &k, &none, &kThree);
    *serr_d_t = (whole - remain) / interfaces;
}

void fiber_tension_lefm(const double* sigma11_ply, const double* b_crack, const double*,
                        const i32* nprops, const double* props, double* serr_f_t) {
    if (*nprops < 1) {
        errorhandling::report(-3, "No properties", "fiber_tension_lefm");
        *serr_f_t = 0.0;
        return;
    }
    const double k1 = *sigma11_ply * std::sqrt(kPi * *b_crack);
    *serr_f_t = k1 * k1 / props[0];
}

}  // extern "C"
}  // namespace vorlen::delisio
