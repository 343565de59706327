// Contact laws of an impactor on a plate and the nearest-element record of the impact points.
#include "materials/interaction.hpp"

#include <cmath>
#include <limits>
#include <numbers>
#include <string_view>
#include <type_traits>

#include "base/errorhandling.hpp"
#include "core/math_geometry.hpp"
#include "core/math_roots.hpp"
#include "core/math_tabulated.hpp"
#include "core/signalprocessing.hpp"

namespace vorlen::interaction {

using errorhandling::report;
static_assert(std::is_same_v<decltype(&ContactLaw), math::RootFunction*>,
              "the contact law is a function of the root finders");

namespace {

constexpr double huge = std::numeric_limits<double>::max();
constexpr double eps = std::numeric_limits<double>::epsilon();
constexpr double pi = std::numbers::pi;

// Whether the count reaches what a law reads; records code -2 with the message otherwise.
bool enough(i32 numargs, i32 need, std::string_view message) {
    if (numargs >= need) return true;
    report(-2, message);
    return false;
}

// A radius or depth law of flags 0..last reading `need` entries of args(na): law(args), or the
// largest double with code -2 for another flag or a shorter list.
template <class Law>
double by_flag(const double* args, i32 na, i32 flag, i32 last, i32 need, std::string_view unknown,
               std::string_view too_few, Law law) {
    if (flag < 0 || flag > last) {
        report(-2, unknown);
        return huge;
    }
    return enough(na, need, too_few) ? law(Vec<const double>(args, na)) : huge;
}

// 1/((1 - nu1^2)/E1 + c2) with the target's compliance term c2.
double effective_modulus(const Vec<const double>& a, double c2) {
    return 1.0 / ((1.0 - a(4) * a(4)) / a(3) + c2);
}

}  // namespace

extern "C" {

void ContactLaw(double* fx, double* dfx, const double* xold, const double* args, const i32* numargs,
                const i32* clflag) {
    const i32 flag = *clflag, na = *numargs;
    const double force = *xold;
    double f = 0.0, df = -1.0;
    if (flag < 0 || flag > 2) {
        report(-2, "Unknown contact law flag");
    } else if (enough(na, 7, "Error in ContactLaw: Fewer than seven arguments.")) {
        const Vec<const double> a(args, na);
        double k = a(1);
        if (flag == 1) {
            const i32 nt = (na - 7) / 2, one = 1;
            if (enough(nt, 2, "Error in ContactLaw: Stiffness table of fewer than two rows.")) {
                double kt;
                math::math_cubichermitianinterpolation(&kt, &a(8), &a(8 + nt), &force, &nt, &one);
                if (kt > 0.0) k = kt;
            }
        }
        const double c = std::abs(a(3) + a(5)), n = a(6);
        const double alpha = a(2) - a(4) - a(7) - c * force;
        if (alpha < 0.0) {
            f = -force;  // separated: no contact force
        } else {
            f = k * std::pow(alpha, n) - force;
            df = -k * n * c * std::pow(alpha, n - 1.0) - 1.0;
        }
        if (std::isnan(f)) f = 0.0;
        if (std::isnan(df)) df = -1.0;
    }
    *fx = f;
    *dfx = df;
}

void ContactStiffness(double* k, double* eeff, const double* args, const i32* numargs,
                      const i32* csflag) {
    const i32 flag = *csflag, na = *numargs;
    double stiffness = 0.0, modulus = 0.0;
    static constexpr std::string_view too_few =
        "Error in ContactStiffness: Fewer arguments than the contact law reads.";
    const bool known = flag == 0 || flag == 1 || flag == 2 || flag == 3 || flag == 6;
    if (flag == 4) {
        report(-3, "Goldsmith is not implemented so far.");
    } else if (flag == 5) {
        report(-3, "Goldsmith + Sun et. al is not implemented so far");
    } else if (!known) {
        report(-2, "Unknown contact stiffness flag");
    } else if (enough(na, flag == 6 ? 13 : 12, too_few)) {
        const Vec<const double> a(args, na);
        const double radius = 1.0 / (1.0 / a(1) + a(5));
        const double p = a(9), q1 = a(10), q2 = a(11), q3 = a(12);
        switch (flag) {
        case 0:
        case 1:
            modulus = effective_modulus(a, flag == 0 ? (1.0 - a(8) * a(8)) / a(7) : 1.0 / a(7));
            stiffness = 4.0 / 3.0 * modulus * std::sqrt(radius);
            break;
        case 2:
            stiffness = q1 / std::pow(q2 - q3, p);
            break;
        case 3:
            modulus = effective_modulus(a, 1.0 / a(7));
            stiffness = std::pow(q1, p - 0.5) * std::pow(q2, 1.0 - p) / std::pow(q3, p + 1.0);
            break;
        case 6: {
            modulus = effective_modulus(a, (1.0 - a(8) * a(8)) / a(7));
            const double load = signalprocessing::limit(a(13), eps, huge);
            const double b = std::sqrt(4.0 * load * a(1) / (pi * modulus));
            stiffness = pi * a(2) * modulus / (std::log(a(2) / b) + 1.886);
            break;
        }
        }
    }
    *k = stiffness;
    *eeff = modulus;
}

void ContactRadius(double* radius, const double* args, const i32* numargs, const i32* cdflag) {
    const i32 flag = *cdflag;
    *radius = by_flag(args, *numargs, flag, 6, flag <= 4 ? 3 : 4, "Unknown contact radius flag",
                      "Error in ContactRadius: Fewer arguments than the contact law reads.",
                      [flag](const Vec<const double>& a) {
                          const double force = a(1), estar = a(2), reff = a(3);
                          if (force <= 0.0) return 0.0;  // no contact
                          if (flag <= 4)
                              return std::pow(3.0 * force * reff / (4.0 * estar), 1.0 / 3.0);
                          return std::sqrt(4.0 * force * reff / (pi * a(4) * estar));
                      });
}

void ContactDepth(double* indentation, const double* args, const i32* numargs, const i32* cdflag) {
    const i32 flag = *cdflag;
    *indentation = by_flag(
        args, *numargs, flag, 2, flag == 2 ? 4 : 3, "Unknown contact depth flag",
        "Error in ContactDepth: Fewer arguments than the contact law reads.",
        [flag](const Vec<const double>& a) {
            const double force = a(1), reff = a(2), estar = a(3);
            if (flag == 2) return 0.5 * pi * a(4);
            if (force <= 0.0) return 0.0;  // no contact
            if (flag == 0)
                return std::pow(9.0 * force * force / (16.0 * reff * estar * estar), 1.0 / 3.0);
            return force / (2.0 * reff * estar);
        });
}

double GetHugonoitElasticLimit(const double* yc, const double* nu) {
    const double v = *nu;
    return (1.0 - v) * *yc / ((1.0 - 2.0 * v) * (1.0 - 2.0 * v));
}

void ContactArea(double* dprops, const double* coord, const i32* noel, const i32* nimp,
                 const double* elemlength) {
    const i32 n = *nimp;
    if (n <= 0) return;
    // Inputs read before the record is written: the caller may pass parts of dprops for them.
    double r = -1.0, s = -1.0;
    if (elemlength) {
        r = elemlength[0];
        s = elemlength[1] == 0.0 ? r : elemlength[1];
    }
    const bool lengths = r != -1.0 && s != -1.0;
    const double point[3] = {coord[0], coord[1], coord[2]}, label = *noel, straight = 0.0;
    const i32 three = 3;
    const Mat<double> d(dprops, 12, n);
    for (i64 k = 1; k <= n; ++k) {
        const double dist = math::EffectiveArcLength(point, &d(2, k), &straight, &three);
        // Row 6 alone cannot tell "nothing recorded" from a point at distance 0: row 5 decides.
        const bool empty = d(6, k) == 0.0 && d(5, k) == 0.0;
        if (!empty && !(dist < d(6, k))) continue;
        d(5, k) = label;
        d(6, k) = dist;
        if (lengths) {
            d(8, k) = d(10, k) = 0.5 * r;
            d(9, k) = d(11, k) = 0.5 * s;
        }
    }
}
}

}  // namespace vorlen::interaction
