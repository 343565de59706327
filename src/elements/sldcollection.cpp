// Impact loads and amplitude tables.
#include "elements/sldcollection.hpp"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string_view>

#include "base/errorhandling.hpp"
#include "base/work.hpp"
#include "core/elementdata.hpp"
#include "core/jobdata.hpp"
#include "core/math_geometry.hpp"
#include "core/math_tabulated.hpp"
#include "core/signalprocessing.hpp"

namespace vorlen::sldcollection {
namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kHuge = std::numeric_limits<double>::max();
constexpr double kTiny = 2.2250738585072014e-308;
constexpr double kZeroed = 1e-10;

std::string_view name_of(const char* sname) { return {sname, 80}; }
bool holds(std::string_view name, std::string_view key) {
    return name.find(key) != std::string_view::npos;
}

// A warning whose message names an identifier, passed as the report's character codes.
void report_with(i32 code, std::string_view message, std::string_view identifier) {
    char msg[80];
    std::fill_n(msg, 80, ' ');
    std::copy_n(message.data(), std::min<std::size_t>(message.size(), 80), msg);
    i32 ascii[16];
    std::fill_n(ascii, 16, 32);
    for (std::size_t k = 0; k < identifier.size() && k < 8; ++k)
        ascii[k] = static_cast<unsigned char>(identifier[k]);
    const i32 intv[2] = {0, 0}, two = 2, eight = 8;
    const double realv[2] = {0.0, 0.0};
    errorhandling_xerr(&code, msg, intv, realv, ascii, nullptr, &two, &two, &eight, &two);
}

void zero_small(double* t) {
    for (int k = 0; k < 3; ++k)
        if (std::abs(t[k]) <= kZeroed) t[k] = 0.0;
}

// The normal dircos(:,3) mirrored in the plane of dircos(:,1:2) (CoordinateReflection's
// (2 (na na^T + nb nb^T) - I) p, written out for this one use per load point), components of
// magnitude at most 1e-10 set to 0.
void reflected_normal(double* t, const double* dc) {
    const double *a = dc, *b = dc + 3, *n = dc + 6;
    for (int i = 0; i < 3; ++i) {
        double v = 0.0;
        for (int j = 0; j < 3; ++j) v += (2.0 * (a[i] * a[j] + b[i] * b[j]) - (i == j ? 1.0 : 0.0)) * n[j];
        t[i] = std::abs(v) <= kZeroed ? 0.0 : v;
    }
}

// Whether x(1..n) rises strictly (false for n < 2 and for NaN).
bool rising(const double* x, i64 n) {
    if (n < 2) return false;
    for (i64 i = 1; i < n; ++i)
        if (!(x[i] > x[i - 1])) return false;
    return true;
}

double interpolate(const double* x, const double* y, i64 n, double at) {
    const i32 nn = static_cast<i32>(n), one = 1;
    double r = 0.0;
    math::math_cubichermitianinterpolation(&r, x, y, &at, &nn, &one);
    return r;
}

// Row of the largest absolute entry of column c of dircos (the first on ties), 0-based.
int closest_axis(const Mat<const double>& dc, int c) {
    int s = 1;
    for (int r = 2; r <= 3; ++r)
        if (std::abs(dc(r, c)) > std::abs(dc(s, c))) s = r;
    return s - 1;
}

// In-plane coordinates about a point of the plane of dircos: GetPointOnXYPlane with the in-plane
// turn 0 (whose rotation is the identity) written out, the difference projected along
// m = nx x ny and measured along nx and ny; m and m.m are taken once per plane.
struct Plane {
    const double *nx, *ny;
    double m[3], mm;
    explicit Plane(const double* dc) : nx(dc), ny(dc + 3) {
        m[0] = nx[1] * ny[2] - nx[2] * ny[1];
        m[1] = nx[2] * ny[0] - nx[0] * ny[2];
        m[2] = nx[0] * ny[1] - nx[1] * ny[0];
        mm = m[0] * m[0] + m[1] * m[1] + m[2] * m[2];
    }
    void coordinates(double* rs, const double* x, const double* p) const {
        const double d[3] = {x[0] - p[0], x[1] - p[1], x[2] - p[2]};
        const double dm = d[0] * m[0] + d[1] * m[1] + d[2] * m[2];
        double q[3];
        for (int k = 0; k < 3; ++k) q[k] = d[k] - dm / mm * m[k];
        rs[0] = nx[0] * q[0] + nx[1] * q[1] + nx[2] * q[2];
        rs[1] = ny[0] * q[0] + ny[1] * q[1] + ny[2] * q[2];
    }
};

// Straight chord between (x(a), x(b)) and (p(a), p(b)).
double chord(const double* x, const double* p, int a, int b) {
    const double u[2] = {x[a], x[b]}, v[2] = {p[a], p[b]}, flat = 0.0;
    const i32 two = 2;
    return math::EffectiveArcLength(u, v, &flat, &two);
}

// Whether the label held as a real in a load record is the element label noel.
bool same_label(double held, i32 noel) {
    return std::isfinite(held) && std::trunc(held) == static_cast<double>(noel);
}

// Continuum shells and solids take the negated distributed load.
bool continuum(i32 noel) {
    using elementdata::elemkind, elementdata::elemlist;
    if (!elemlist.allocated() || !elemkind.allocated() || noel <= 0) return false;
    const i64 n = std::min(elemlist.extent(1), elemkind.extent(1));
    for (i64 i = 1; i <= n; ++i)
        if (elemlist(i) == noel) return elemkind(i) >= 9 && elemkind(i) <= 11;
    return false;
}

}  // namespace

extern "C" {

void sldcollection_cload(double* f, double* ldflag, const double* cforce, const char* sname) {
    const std::string_view name = name_of(sname);
    if (*ldflag == 0.0) {
        static constexpr std::string_view keys[9] = {"POINT",     "UNIFORM", "PYRAMIDAL",
                                                     "PARABOLIC", "HERTZIAN", "AUTOMATIC",
                                                     "SINE",      "COSINE",  "EDGE"};
        for (int k = 0; k < 9; ++k)
            if (holds(name, keys[k])) *ldflag = k + 1.0;
    }
    if (*ldflag == 0.0) {
        *f = 0.0;
        report_with(-2, "Warning: No valid load state detected in %S", "LDFLAG");
        return;
    }
    const double id = *ldflag, force = *cforce;
    double v = id == -1.0 || (id == 1.0 && force >= 0.0) ? force / 2.5e-7 : 0.0;
    for (const std::string_view key : {"SYMX", "SYMY", "SYM2"})
        if (holds(name, key)) v *= 0.5;
    if (holds(name, "SYM4")) v *= 0.25;
    *f = v;
}

void sldcollection_deload(double* alpha, double* t_user, const i32*, const i32*, const double*,
                          const i32*, const i32*, const double*, const double* dircos,
                          const i32*, const char* sname, const double* cprops, const double*,
                          const i32* nimp) {
    const std::string_view name = name_of(sname);
    double t[3] = {-dircos[6], -dircos[7], -dircos[8]};
    zero_small(t);
    // Whole runs of digits, the digits of SYM2 and SYM4 left out; a run names an impactor when
    // it is the impactor's number as written (no leading zero).
    char text[80];
    std::copy_n(name.data(), 80, text);
    for (const std::string_view key : {"SYM2", "SYM4"})
        for (std::size_t at = name.find(key); at != std::string_view::npos;
             at = name.find(key, at + 1))
            text[at + 3] = ' ';
    const i64 ni = std::max<i32>(*nimp, 0);
    i64 named[40];
    int count = 0;
    for (int k = 0; k < 80;) {
        if (text[k] < '0' || text[k] > '9') {
            ++k;
            continue;
        }
        int end = k;
        while (end < 80 && text[end] >= '0' && text[end] <= '9') ++end;
        if (text[k] != '0' && end - k <= 10) {
            i64 j = 0;
            for (int c = k; c < end; ++c) j = 10 * j + (text[c] - '0');
            if (j <= ni && std::find(named, named + count, j) == named + count) named[count++] = j;
        }
        k = end;
    }
    std::sort(named, named + count);
    const bool halved = holds(name, "SYMX") || holds(name, "SYMY") || holds(name, "SYM2");
    const Mat<const double> cp(cprops, 20, ni);
    double sum = 0.0;
    for (int k = 0; k < count; ++k) {
        const i64 j = named[k];
        const double h = cp(18, j);
        if (!(h > 0.0)) {
            errorhandling::report(-3, "Half edge length not above 0", "deload");
            continue;
        }
        const double lower = kTiny, upper = kHuge, edge = 2.0 * h;
        const double part = cp(1, j) / signalprocessing::fLimit(&edge, &lower, &upper);
        const double next = sum + (halved ? part / 2.0 : part);
        // A force not a number, or one too large for a subnormal edge, loads nothing.
        if (!std::isfinite(next)) {
            errorhandling::report(-3, "Edge load not finite", "deload");
            continue;
        }
        sum = next;
    }
    *alpha = sum;
    std::copy_n(t, 3, t_user);
}

void sldcollection_dsload(double* alpha, double* t_user, const i32* kstep, const double* coords,
                          const double* dircos, const double* cprops, double* dprops,
                          const i32* nimp, const i32* elemid) {
    // Private copies of the point and the directions only where the load records overlap them.
    const i64 ni = std::max<i32>(*nimp, 0);
    double own[12];
    const double *dc = dircos, *x = coords;
    if (overlaps(dircos, 9, dprops, 12 * ni)) dc = std::copy_n(dircos, 9, own) - 9;
    if (overlaps(coords, 3, dprops, 12 * ni)) x = std::copy_n(coords, 3, own + 9) - 3;
    const Mat<const double> d3(dc, 3, 3);
    double t[3];
    reflected_normal(t, dc);
    const auto& steps = jobdata::stepid;
    if (!steps.allocated() || *kstep < 1 || *kstep > steps.extent(1)) {
        errorhandling::report(-3, "Step outside the step table", "dsload");
        *alpha = 0.0;
        std::copy_n(t, 3, t_user);
        return;
    }
    const i32 type = steps(*kstep);
    const bool track = type == 0 || type == 2 || type == 3, load = type == 2 || type == 3;
    const i32 noel = elemid ? *elemid : 0;
    const Mat<const double> cp(cprops, 20, ni);
    Mat<double> dp(dprops, 12, ni);
    const Plane plane(dc);
    // The global axes closest to the in-plane directions and to the normal, for the chords.
    const auto chords = [&](const double* p, i64 i, int slot) {
        const int s1 = closest_axis(d3, 1), s2 = closest_axis(d3, 2), s3 = closest_axis(d3, 3);
        dp(slot, i) = chord(x, p, s1, s3), dp(slot + 1, i) = chord(x, p, s2, s3);
    };
    double sum = 0.0;
    for (i64 i = 1; i <= ni; ++i) {
        const double p[3] = {dp(2, i), dp(3, i), dp(4, i)};
        double rs[2];
        plane.coordinates(rs, x, p);
        const double r = rs[0], s = rs[1], r0 = 0.0, s0 = 0.0;
        const double d = std::sqrt((r - r0) * (r - r0) + (s - s0) * (s - s0));
        // A point (or plane, or impact point) without a finite distance would leave slots 6
        // and 7 with a value no later distance compares with: the record stays as it is.
        if (!std::isfinite(d)) {
            errorhandling::report(-3, "Distance to the impact point not finite", "dsload");
            continue;
        }
        const double old6 = dp(6, i), old7 = dp(7, i);
        if (dp(5, i) == 0.0) dp(5, i) = noel;
        if (dp(6, i) == 0.0) dp(6, i) = d;
        if (dp(7, i) == 0.0) dp(7, i) = d;
        if (track) {
            if (old6 >= d) {
                dp(5, i) = noel, dp(6, i) = d, dp(7, i) = d;
                chords(p, i, 8);
            } else if (same_label(dp(5, i), noel) && (dp(6, i) == dp(7, i) || d >= old7)) {
                dp(7, i) = d;
                chords(p, i, 10);
            }
        }
        const double f = cp(1, i);
        if (f == 0.0 || !load) continue;
        const double rl = dp(8, i) + dp(10, i), sl = dp(9, i) + dp(11, i), a = cp(2, i);
        // A rectangle of zero width (a first point at or in line with the impact point) loads
        // nothing instead of dividing by zero.
        const bool inside = rl > 0.0 && sl > 0.0 && rl >= std::abs(r - r0) && sl >= std::abs(s - s0);
        const double id = dp(1, i);
        if (id == 6.0) {
            if (a >= d && a > std::max(rl, sl)) sum += HertzianSurfaceLoad(&f, &r, &s, &r0, &s0, &a, &a);
            else if (inside) sum += ParabolicSurfaceLoad(&f, &r, &s, &r0, &s0, &rl, &sl);
        } else if (id == 5.0) {
            if (a >= d && a > dp(6, i)) sum += HertzianSurfaceLoad(&f, &r, &s, &r0, &s0, &a, &a);
        } else if (inside) {
            if (id == 2.0) sum += UniformSurfaceLoad(&f, &rl, &sl);
            else if (id == 3.0) sum += PyramidalSurfaceLoad(&f, &r, &s, &r0, &s0, &rl, &sl);
            else if (id == 4.0) sum += ParabolicSurfaceLoad(&f, &r, &s, &r0, &s0, &rl, &sl);
            else if (id == 8.0) sum += CosineSurfaceLoad(&f, &r, &s, &r0, &s0, &rl, &sl);
        }
    }
    *alpha = continuum(noel) ? -sum : sum;
    std::copy_n(t, 3, t_user);
}

double UniformSurfaceLoad(const double* f, const double* relementlength,
                          const double* selementlength) {
    return 0.25 * *f / (*relementlength * *selementlength);
}

double PyramidalSurfaceLoad(const double* f, const double* rcorr, const double* scorr,
                            const double* r0, const double* s0, const double* relementlength,
                            const double* selementlength) {
    const double rl = *relementlength, sl = *selementlength;
    return *f / (rl * sl) * (rl - std::abs(*rcorr - *r0)) / rl * (sl - std::abs(*scorr - *s0)) / sl;
}

double ParabolicSurfaceLoad(const double* f, const double* rcorr, const double* scorr,
                            const double* r0, const double* s0, const double* relementlength,
                            const double* selementlength) {
    const double rl = *relementlength, sl = *selementlength;
    const double dr = *rcorr - *r0, ds = *scorr - *s0;
    return 3.0 * *f / (8.0 * rl * sl) * (1.0 - dr * dr / (rl * rl + rl * sl) - ds * ds / (sl * sl + rl * sl));
}

double HertzianSurfaceLoad(const double* f, const double* rcorr, const double* scorr,
                           const double* r0, const double* s0, const double* rcontradius,
                           const double* scontradius) {
    const double a = *rcontradius, b = *scontradius;
    const double dr = *rcorr - *r0, ds = *scorr - *s0;
    const double radicand = std::max(1.0 - dr * dr / (a * a) - ds * ds / (b * b), 0.0);
    return 3.0 * *f / (6.283185307179586 * a * b) * std::sqrt(radicand);
}

double CosineSurfaceLoad(const double* f, const double* rcorr, const double* scorr,
                         const double* r0, const double* s0, const double* relementlength,
                         const double* selementlength) {
    const double rl = *relementlength, sl = *selementlength;
    return *f / (rl * sl) * std::cos(kPi * (*rcorr - *r0) / rl) * std::cos(kPi * (*scorr - *s0) / sl);
}

double SineSurfaceLoad(const double* f, const double* rcorr, const double* scorr,
                       const double* r0, const double* s0, const double* relementlength,
                       const double* selementlength) {
    const double rl = *relementlength, sl = *selementlength;
    return *f / (rl * sl) * std::sin(kPi * (*rcorr - *r0) / rl) * std::sin(kPi * (*scorr - *s0) / sl);
}

void CAMPLITUDE(double* amp, const double* xydata, const double* xvalue, const i32* ndata,
                const lgl* skip) {
    *amp = 0.0;
    if (skip && *skip) return;
    if (*ndata % 2 != 0) {
        report_with(-2, "Warning: Mismatch between x- and y-values in %S", "VRL_AMPL");
        return;
    }
    const i64 n = *ndata / 2;
    if (!rising(xydata, n)) {
        errorhandling::report(-3, "Table of fewer than two rows or not rising", "CAMPLITUDE");
        return;
    }
    *amp = interpolate(xydata, xydata + n, n, *xvalue);
}

void CHYSTERESIS(double* amp, double* passed, const double* xydata, const double* xvalue,
                 const i32* ndata, const lgl* skip) {
    static constexpr std::string_view problem = "Branch of fewer than two rows or not rising";
    *amp = 0.0;
    if (skip && *skip) return;
    if (*ndata % 2 != 0) {
        report_with(-2, "Warning: Mismatch between x- and y-values in %S", "VRL_HYST");
        return;
    }
    const i64 n = *ndata / 2;
    if (n < 2) {
        errorhandling::report(-3, problem, "CHYSTERESIS");
        return;
    }
    const double xv = *xvalue;
    // A value that is no number would end loading for good (and a state that is none tells
    // no branch): refused with the state kept.
    if (!std::isfinite(xv) || std::isnan(*passed)) {
        errorhandling::report(-3, "Abscissa not finite or state not a number", "CHYSTERESIS");
        return;
    }
    bool reverse = true;
    if (*passed != kHuge) {
        if (xv >= *passed) *passed = xv, reverse = false;
        else *passed = kHuge;
    }
    // The table as taken: the rows given, or reversed while unloading.
    Work<double, 128> bx(n), by(n);
    for (i64 i = 0; i < n; ++i) {
        const i64 k = reverse ? n - 1 - i : i;
        bx[i] = xydata[k], by[i] = xydata[n + k];
    }
    i64 nv = 1;
    for (i64 i = 1; i < n; ++i)
        if (bx[i] > bx[i - 1]) ++nv;
    if (!rising(bx.data(), nv)) {
        errorhandling::report(-3, problem, "CHYSTERESIS");
        return;
    }
    const double lower = bx[0], upper = bx[nv - 1];
    *amp = interpolate(bx.data(), by.data(), nv, signalprocessing::fLimit(&xv, &lower, &upper));
}

}  // extern "C"
}  // namespace vorlen::sldcollection
