// Self-checks of the cubic Hermite evaluators and the utilities of the checks, in both
// precisions.
#include "pchip/pchip_checks.hpp"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <initializer_list>

#include "base/errorhandling.hpp"
#include "interp/interp.hpp"
#include "base/units.hpp"
#include "pchip/pchip.hpp"
#include "pchip/pchip_common.hpp"
#include "pchip/xerror.hpp"

namespace vorlen::pchip {

std::string_view single_format(std::string_view dtext, std::span<const Rename> renames, char* buf,
                               std::size_t cap) {
    std::size_t n = 0;
    const auto put = [&](std::string_view s) {
        const std::size_t m = std::min(s.size(), cap - n);
        std::memcpy(buf + n, s.data(), m);
        n += m;
    };
    const auto digit_follows = [&](std::size_t i) {
        const std::size_t j = dtext.find_first_not_of(' ', i + 1);
        return j != std::string_view::npos && dtext[j] >= '0' && dtext[j] <= '9';
    };
    char quote = 0;
    for (std::size_t i = 0; i < dtext.size();) {
        const std::string_view rest = dtext.substr(i);
        char c = dtext[i];
        if (quote && c != quote) {
            const auto r = std::find_if(renames.begin(), renames.end(),
                                        [&](const Rename& r) { return rest.starts_with(r.from); });
            if (r != renames.end()) {
                put(r->to);
                i += r->from.size();
                continue;
            }
        } else if (quote) {  // a doubled quote stays inside the literal
            if (rest.size() > 1 && rest[1] == quote) {
                put(rest.substr(0, 2));
                i += 2;
                continue;
            }
            quote = 0;
        } else if (c == '\'' || c == '"') {
            quote = c;
        } else if ((c == 'D' || c == 'd') && digit_follows(i)) {
            c = 'E';
        }
        put({&c, 1});
        ++i;
    }
    return {buf, n};
}

bool comp(i32 ieract, i32 ierexp, i32 lout, i32 kprint) {
    if (ieract == ierexp) {
        if (kprint >= 3) io::write(lout, "(a)", {"     OK."});
        return true;
    }
    if (kprint >= 3) io::write(lout, "(a,i5)", {"  COMPARE FAILED -- IERR = ", ieract});
    return false;
}

namespace {

// The names of the double members in the printed texts and those of the single members.
constexpr Rename kRenames[] = {{"DEVCHK", "EVCHCK"}, {"DEVPCK", "EVPCCK"}, {"DEVERK", "EVERCK"},
                               {"DCHFDV", "CHFDV"},  {"DCHFEV", "CHFEV"},  {"DPCHFD", "PCHFD"},
                               {"DPCHFE", "PCHFE"},  {"DPCHF", "PCHF"}};

// Generator state: the low and high 11 bits of x.
i32 ix0 = 0, ix1 = 0;

float uniform(float r) {
    if (r > 0 && std::isfinite(r)) {
        const i32 x = static_cast<i32>((r - std::trunc(r)) * 4194304.0f + 0.5f);
        ix0 = x % 2048;
        ix1 = (x - ix0) / 2048;
    } else if (r == 0) {
        constexpr i32 ia0 = 1029, ia1 = 1536, ia1ma0 = 507, ic = 1731;
        i32 iy0 = ia0 * ix0;
        i32 iy1 = ia1 * ix1 + ia1ma0 * (ix0 - ix1) + iy0;
        iy0 += ic;
        ix0 = iy0 % 2048;
        iy1 += (iy0 - ix0) / 2048;
        ix1 = iy1 % 2048;
    }
    return static_cast<float>(2048 * ix1 + ix0) / 4194304.0f;
}

// The test cubic x (x + 1)(x - 2) and its derivative, computed in double precision.
template <class T>
void cubic(T x, T& f, T& d) {
    const double xx = x, fact1 = xx + 1, fact2 = xx - 2;
    f = static_cast<T>(xx * fact1 * fact2);
    d = static_cast<T>(fact1 * fact2 + xx * (fact1 + fact2));
}

// Smallest and largest of a quantity over the points, with the points where they occur.
template <class T>
struct Extremes {
    T min = 0, max = 0, xmin = 0, xmax = 0;
    void add(bool first, T v, T x) {
        if (first)
            min = max = v, xmin = xmax = x;
        else if (v < min)
            min = v, xmin = x;
        else if (v > max)
            max = v, xmax = x;
    }
};

template <class T>
bool devchk(i32 lout, i32 kprint, i32 npts, T* xev, T* fev, T* dev, T* fev2) {
    constexpr bool dbl = std::is_same_v<T, double>;
    if (npts <= 10) {
        errorhandling::report(-3, dbl ? "DEVCHK: fewer than 11 evaluation points"
                                      : "EVCHCK: fewer than 11 evaluation points");
        return true;
    }
    const Printer<T> out{lout, kRenames};
    const auto chfdv = pick<T>(dchfdv_, chfdv_);
    const auto chfev = pick<T>(dchfev_, chfev_);
    const T machep = xerror::rmach<T>(4), eps1 = 4 * machep, eps2 = 10 * machep;
    const T left[3] = {T(-1.5), T(2.0e-10), T(1.0)}, right[3] = {T(2.5), T(3.0e-10), T(1.0e8)};
    const T small = T(1.0e-10);
    const i32 two = 2;
    bool fail = false;
    if (kprint >= 2) out("(//10X,'DEVCHK RESULTS'/10X,'--------------')");

    for (int iint = 0; iint < 3; ++iint) {
        const T x1 = left[iint], x2 = right[iint];
        const T fact = std::max(std::sqrt(x2 - x1), T(1)), tol1 = eps1 * fact, tol2 = eps2 * fact;
        T f1, d1, f2, d2;
        cubic(x1, f1, d1);
        cubic(x2, f2, d2);
        if (kprint >= 3) {
            if (iint == 0) out("(/10X,'DCHFDV ACCURACY TEST')");
            out("(/)");
            const std::string_view ends = "(10X,A2,' =',1P,D18.10,5X,A2,' =',D18.10)";
            out(ends, {"X1", x1, "X2", x2});
            out(ends, {"F1", f1, "F2", f2});
            out(ends, {"D1", d1, "D2", d2});
        }
        if (kprint >= 2) out("(/10X,'INTERVAL = (',1P,D12.5,',',D12.5,' ):' )", {x1, x2});
        const T floorf = std::max(std::min(std::abs(f1), std::abs(f2)), small);
        const T floord = std::max(std::min(std::abs(d1), std::abs(d2)), small);
        const auto relf = [floorf](T err, T exact) {
            return err / std::max(std::abs(exact), floorf);
        };
        const auto reld = [floord](T err, T exact) {
            return err / std::max(std::abs(exact), floord);
        };

        // The end data reproduced.
        T checkf[2] = {}, checkd[2] = {}, check[2] = {};
        i32 next[2] = {}, next2[2] = {}, ierr = 0;
        xev[0] = x1, xev[1] = x2;
        chfdv(&x1, &x2, &f1, &f2, &d1, &d2, &two, xev, checkf, checkd, next, &ierr);
        const T aef = checkf[0] - f1, aef2 = checkf[1] - f2;
        const T aed = checkd[0] - d1, aed2 = checkd[1] - d2;
        const T ref = relf(aef, f1), ref2 = relf(aef2, f2), red = reld(aed, d1),
                red2 = reld(aed2, d2);
        bool failoc =
            std::max({std::abs(ref), std::abs(ref2), std::abs(red), std::abs(red2)}) > tol1;
        fail = fail || failoc;
        if (kprint >= 3) {
            out("(/' ERRORS AT ENDPOINTS:',40X,'(NEXT =',2I3,')'       // 1P,4X,'F1:',D13.5,"
                "4X,'F2:',D13.5,         4X,'D1:',D13.5,4X,'D2:',D13.5)",
                {next[0], next[1], aef, aef2, aed, aed2});
            out("(1P,4(7X,D13.5))", {ref, ref2, red, red2});
        }
        if (kprint >= 2 && failoc) out("(/' ***** DCHFDV FAILED TO REPRODUCE ENDPOINT VALUES.')");

        chfev(&x1, &x2, &f1, &f2, &d1, &d2, &two, xev, check, next2, &ierr);
        failoc = check[0] != checkf[0] || check[1] != checkf[1];
        fail = fail || failoc;
        if (kprint >= 2 && failoc)
            out("(/' ***** DCHFEV DOES NOT AGREE WITH DCHFDV AT ENDPOINTS.')");

        // Accuracy at npts points, 4 left of the interval and 6 right of it.
        const T dx = (x2 - x1) / T(npts - 10);
        for (i32 i = 1; i <= npts; ++i) xev[i - 1] = (x1 + T(i - 5) * dx) + dx * T(uniform(0));
        chfdv(&x1, &x2, &f1, &f2, &d1, &d2, &npts, xev, fev, dev, next, &ierr);
        if (ierr != 0) {
            failoc = true;
            if (kprint >= 2) out("(/' ***** ERROR ***** DCHFDV RETURNED IERR =',I5)", {ierr});
        } else {
            Extremes<T> af, rf, ad, rd;
            for (i32 i = 0; i < npts; ++i) {
                T ftrue, dtrue;
                cubic(xev[i], ftrue, dtrue);
                const T e = fev[i] - ftrue, ed = dev[i] - dtrue;
                af.add(i == 0, e, xev[i]);
                rf.add(i == 0, relf(e, ftrue), xev[i]);
                ad.add(i == 0, ed, xev[i]);
                rd.add(i == 0, reld(ed, dtrue), xev[i]);
            }
            const T fermax = std::max(std::abs(rf.max), std::abs(rf.min));
            const T dermax = std::max(std::abs(rd.max), std::abs(rd.min));
            const bool failnx = next[0] + next[1] != 10;
            failoc = std::max(fermax, dermax) > tol2 || failnx;
            if (kprint >= 3) {
                out("(/' ERRORS AT ',I5,' INTERIOR POINTS + 10 OUTSIDE:',           15X,"
                    "'(NEXT =',2I3,')'       //30X,'FUNCTION',17X,'DERIVATIVE'        /15X,"
                    "2(11X,'ABS',9X,'REL') )",
                    {npts - 10, next[0], next[1]});
                const std::string_view error = "(/5X,A3,'IMUM ERROR:  ',1P,2D12.4,2X,2D12.4)";
                const std::string_view at = "( 5X,'LOCATED AT X =  ',1P,2D12.4,2X,2D12.4)";
                out(error, {"MIN", af.min, rf.min, ad.min, rd.min});
                out(at, {af.xmin, rf.xmin, ad.xmin, rd.xmin});
                out(error, {"MAX", af.max, rf.max, ad.max, rd.max});
                out(at, {af.xmax, rf.xmax, ad.xmax, rd.xmax});
            }
            if (kprint >= 2 && failoc) {
                const std::string_view exceeds =
                    "(/' ***** MAXIMUM RELATIVE ERROR IN ',A1,' =',1P,D12.5,','       /    "
                    "17X,'EXCEEDS TOLERANCE =',D12.5)";
                if (fermax > tol2) out(exceeds, {"F", fermax, tol2});
                if (dermax > tol2) out(exceeds, {"D", dermax, tol2});
                if (failnx)
                    out("(/' ***** REPORTED NEXT =',2I5,'   RATHER THAN    4    6')",
                        {next[0], next[1]});
            }
            if (kprint >= 2 && !failoc) out("(/' DCHFDV RESULTS OK.')");
        }
        fail = fail || failoc;

        // The value-only evaluator at the same points.
        chfev(&x1, &x2, &f1, &f2, &d1, &d2, &npts, xev, fev2, next2, &ierr);
        if (ierr != 0) {
            failoc = true;
            if (kprint >= 2) out("(/' ***** ERROR ***** DCHFEV RETURNED IERR =',I5)", {ierr});
        } else {
            T aefmax = std::abs(fev2[0] - fev[0]), xafmax = xev[0];
            for (i32 i = 1; i < npts; ++i)
                if (std::abs(fev2[i] - fev[i]) > aefmax)
                    aefmax = std::abs(fev2[i] - fev[i]), xafmax = xev[i];
            const bool failnx = next2[0] != next[0] || next2[1] != next[1];
            failoc = aefmax != 0 || failnx;
            if (kprint >= 2 && failoc) {
                out("(/' ***** DCHFEV DID NOT AGREE WITH DCHFDV:')");
                if (aefmax != 0)
                    out("(7X,'MAXIMUM DIFFERENCE ',1P,D12.5, '; OCCURRED AT X =',D12.5)",
                        {aefmax, xafmax});
                if (failnx)
                    out("(7X,'REPORTED NEXT =',2I3,'   RATHER THAN ',2I3)",
                        {next2[0], next2[1], next[0], next[1]});
            } else if (kprint >= 2) {
                out("(/' DCHFEV AGREES WITH DCHFDV.')");
            }
        }
        fail = fail || failoc;
    }
    return fail;
}

// One direction of devpck: `lines` lines of n breakpoints `abscissas` whose data start at
// element (l - 1) * `step` of f and g, stride inc, evaluated at the 51 `points`; `var` names
// the variable along a line, `line` and `coord` the index and coordinate across it, whose
// values are `across`. truth(l, t, f, d) gives the exact value and derivative.
template <class T, class Truth>
bool sweep(const Printer<T>& out, i32 kprint, T tol, const char* var, const char* line,
           const char* coord, i32 lines, i32 n, const T* abscissas, const T* across, const T* f,
           const T* g, i32 step, i32 inc, i32 expected, const T* points, T* fe, T* de, T* fe2,
           Truth truth) {
    const auto pchfd = pick<T>(dpchfd_, pchfd_);
    const auto pchfe = pick<T>(dpchfe_, pchfe_);
    const i32 ne = 51;
    i32 nerr = 0, skip = 0;
    bool fail = false;
    for (i32 l = 1; l <= lines; ++l) {
        const T *fl = f + (l - 1) * step, *gl = g + (l - 1) * step;
        const T c = across[l - 1];
        i32 ierr = 0, ier2 = 0;
        bool failoc;
        pchfd(&n, abscissas, fl, gl, &inc, &skip, &ne, points, fe, de, &ierr);
        if (kprint >= 3)
            out("(//20X,'DPCHFD INCREMENT TEST -- INCFD = ',I2        /15X,'ON ',A1,'-LINE ',I2,"
                "',  ',A1,' =',F8.4, '  --  IERR =',I3)",
                {inc, line, l, coord, c, ierr});
        if (ierr < 0) {
            failoc = true;
            if (kprint >= 2) out("(//' ***** ERROR ***** DPCHFD RETURNED IERR =',I5//)", {ierr});
        } else {
            if (kprint >= 4)
                out("( /3X,A1,'E',10X,'F',8X,'FE',9X,'DIFF',           13X,'D',8X,'DE',9X,"
                    "'DIFF')",
                    {var});
            pchfe(&n, abscissas, fl, gl, &inc, &skip, &ne, points, fe2, &ier2);
            T fermax = 0, dermax = 0, fdifmx = 0, pfermx = 0, pdermx = 0, pdifmx = 0;
            for (i32 k = 0; k < ne; ++k) {
                T ftrue, dtrue;
                truth(l, points[k], ftrue, dtrue);
                const T ferr = fe[k] - ftrue, derr = de[k] - dtrue;
                const T fdif = std::abs(fe2[k] - fe[k]);
                if (kprint >= 4)
                    out("(F7.2,2(2X,2F10.5,1P,D15.5,0P))",
                        {points[k], ftrue, fe[k], ferr, dtrue, de[k], derr});
                if (k == 0 || std::abs(ferr) > fermax) fermax = std::abs(ferr), pfermx = points[k];
                if (k == 0 || std::abs(derr) > dermax) dermax = std::abs(derr), pdermx = points[k];
                if (k == 0 || fdif > fdifmx) fdifmx = fdif, pdifmx = points[k];
            }
            const bool faild = fermax > tol || dermax > tol, faile = fdifmx != 0;
            failoc = faild || faile || ierr != expected || ier2 != ierr;
            if (kprint >= 2 && failoc)
                out("(/' ***** DPCHFD AND/OR DPCHFE FAILED ON ',A1,'-LINE ',I1, ',  ',A1,' =',"
                    "F8.4)",
                    {line, l, coord, c});
            if (kprint >= 3 || (kprint == 2 && faild))
                out("(/19X,'  MAXIMUM ERROR IN FUNCTION =',1P,                  1P,D13.5,0P,"
                    "' (AT',F6.2,'),'       /33X,    'IN DERIVATIVE =',1P,D13.5,0P,' (AT',F6.2,"
                    "').' )",
                    {fermax, pfermx, dermax, pdermx},
                    "(/17X,'  MAXIMUM ERROR IN FUNCTION =',1P,                                  "
                    "        1P,E13.5,0P,' (AT',F6.2,'),'               /31X,    'IN DERIVATIVE "
                    "=',1P,E13.5,0P,' (AT',F6.2,').' )");
            if (kprint >= 2 && faild)
                out("('  *** BOTH SHOULD BE .LE. TOL =',1P,D12.5,' ***')", {tol});
            if (kprint >= 3 || (kprint == 2 && faile))
                out("( '  MAXIMUM DIFFERENCE BETWEEN DPCHFE AND DPCHFD =',                  1P,"
                    "D13.5,0P,' (AT',F6.2,').' )",
                    {fdifmx, pdifmx});
            const std::string_view instead =
                "(/'  DPCHF',A1,' RETURNED IERR = ',I2,' INSTEAD OF ',I2)";
            if (kprint >= 2 && ierr != expected) out(instead, {"D", ierr, expected});
            if (kprint >= 2 && ier2 != ierr) out(instead, {"E", ier2, ierr});
        }
        if (failoc) ++nerr;
        fail = fail || failoc;
    }
    if (kprint >= 2) {
        if (nerr > 0)
            out("(//' ***** ERROR ***** DPCHFD AND/OR DPCHFE FAILED ON',I2,               1X, "
                "A1,'-LINES.'//)",
                {nerr, line});
        else
            out("(/' DPCHFD AND DPCHFE OK ON ',A1,'-LINES.')", {line});
    }
    return fail;
}

template <class T>
bool devpck(i32 lout, i32 kprint, T* x, T* y, T* f, T* fx, T* fy, T* xe, T* ye, T* fe, T* de,
            T* fe2) {
    constexpr i32 nx = 4, ny = 6, ne = 51, nmax = 10;
    const Printer<T> out{lout, kRenames};
    const T tol = (std::is_same_v<T, double> ? 25 : 10) * xerror::rmach<T>(4);

    // F(x, y) = x (1 + x^2) y^2 and its partial derivatives on the grid.
    for (i32 i = 1; i <= 3; ++i) x[i - 1] = T(0.25) * T(i);
    x[3] = 1;
    for (i32 j = 1; j <= ny; ++j) y[j - 1] = T(0.5) * T(j) - T(1.25);
    const Mat<T> fv(f, nmax, nmax), fxv(fx, nmax, nmax), fyv(fy, nmax, nmax);
    for (i32 j = 1; j <= ny; ++j)
        for (i32 i = 1; i <= nx; ++i) {
            const T xx = x[i - 1], yy = y[j - 1];
            fv(i, j) = (1 + xx * xx) * (yy * yy * xx);
            fxv(i, j) = (1 + 3 * (xx * xx)) * (yy * yy);
            fyv(i, j) = (1 + xx * xx) * (2 * xx * yy);
        }
    const T dx = T(1) / T(ne - 1);
    for (i32 k = 1; k < ne; ++k) {
        xe[k - 1] = T(k - 1) * dx;
        ye[k - 1] = 4 * xe[k - 1] - 2;
    }
    xe[ne - 1] = 1, ye[ne - 1] = 2;

    if (kprint >= 3) out("('1'//10X,'TEST DPCHFE AND DPCHFD')");
    if (kprint >= 2) out("(//10X,'DEVPCK RESULTS'/10X,'--------------')");
    const bool xfail = sweep(out, kprint, tol, "X", "J", "Y", ny, nx, x, y, f, fx, nmax, 1, 13, xe,
                             fe, de, fe2, [&](i32 j, T t, T& ft, T& dt) {
                                 const T yy = y[j - 1];
                                 ft = (1 + t * t) * (yy * yy * t);
                                 dt = (1 + 3 * (t * t)) * (yy * yy);
                             });
    const bool yfail = sweep(out, kprint, tol, "Y", "I", "X", nx, ny, y, x, f, fy, 1, nmax, 20, ye,
                             fe, de, fe2, [&](i32 i, T t, T& ft, T& dt) {
                                 const T xx = x[i - 1];
                                 ft = (1 + xx * xx) * (t * t * xx);
                                 dt = (1 + xx * xx) * (2 * xx * t);
                             });
    return xfail || yfail;
}

template <class T>
bool deverk(i32 lout, i32 kprint) {
    const Printer<T> out{lout, kRenames};
    const auto chfev = pick<T>(dchfev_, chfev_);
    const auto chfdv = pick<T>(dchfdv_, chfdv_);
    const auto pchfe = pick<T>(dpchfe_, pchfe_);
    const auto pchfd = pick<T>(dpchfd_, pchfd_);
    // Recoverable reports return: quietly up to print level 2, printed from 3 on.
    const i32 kontrl = xerror::j4save(2, 0, false);
    xerror::j4save(2, kprint <= 2 ? 0 : 1, true);
    if (kprint >= 3) out("('1'//10X,'TEST ERROR RETURNS')");
    if (kprint >= 2) out("(//10X,'DEVERK RESULTS'/10X,'--------------')");

    i32 nerr = 0;
    const auto expect = [&](i32 code) {
        if (kprint >= 3) out("(/' THIS CALL SHOULD RETURN IERR =',I3)", {code});
    };
    const auto verdict = [&](i32 ierr, i32 code) {
        if (!comp(ierr, code, lout, kprint)) ++nerr;
    };
    const T zero = 0, one = 1, f1 = 3, f2 = 7, d1 = 3, d2 = 6;
    const i32 none = 0, single = 1, inc = 1;
    T xe = 0, fe = 0, de = 0;
    i32 next[2] = {}, ierr = 0, skip = 0;
    expect(-1);
    chfev(&zero, &one, &f1, &f2, &d1, &d2, &none, &xe, &fe, next, &ierr);
    verdict(ierr, -1);
    expect(-2);
    chfev(&one, &one, &f1, &f2, &d1, &d2, &single, &xe, &fe, next, &ierr);
    verdict(ierr, -2);
    expect(-1);
    chfdv(&zero, &one, &f1, &f2, &d1, &d2, &none, &xe, &fe, &de, next, &ierr);
    verdict(ierr, -1);
    expect(-2);
    chfdv(&one, &one, &f1, &f2, &d1, &d2, &single, &xe, &fe, &de, next, &ierr);
    verdict(ierr, -2);

    T x[10], f[10], d[10];
    for (i32 i = 0; i < 10; ++i) x[i] = T(i + 1), f[i] = T(i + 3), d[i] = 1;
    std::swap(x[3], x[6]);
    const struct { i32 n, skip, expected; } cases[3] = {{1, 0, -1}, {10, 0, -3}, {10, 1, -4}};
    for (const auto& c : cases) {
        expect(c.expected);
        skip = c.skip;
        pchfe(&c.n, x, f, d, &inc, &skip, &none, &xe, &fe, &ierr);
        verdict(ierr, c.expected);
    }
    for (const auto& c : cases) {
        expect(c.expected);
        skip = c.skip;
        pchfd(&c.n, x, f, d, &inc, &skip, &none, &xe, &fe, &de, &ierr);
        verdict(ierr, c.expected);
    }

    if (kprint >= 3) xerdmp_();
    if (nerr == 0 && kprint >= 2) out("(/' ALL ERROR RETURNS OK.')");
    if (nerr != 0 && kprint >= 2)
        out("(//' ***** TROUBLE IN DEVERK *****'       //5X,I5,' TESTS FAILED TO GIVE EXPECTED "
            "RESULTS.')",
            {nerr});
    xerror::j4save(2, kontrl, true);
    return nerr != 0;
}

}  // namespace
}  // namespace vorlen::pchip

using namespace vorlen;
using namespace vorlen::pchip;

extern "C" {

void devchk_(const i32* lout, const i32* kprint, const i32* npts, double* xev, double* fev,
             double* dev, double* fev2, i32* fail) {
    *fail = devchk(*lout, *kprint, *npts, xev, fev, dev, fev2);
}
void evchck_(const i32* lout, const i32* kprint, const i32* npts, float* xev, float* fev,
             float* dev, float* fev2, i32* fail) {
    *fail = devchk(*lout, *kprint, *npts, xev, fev, dev, fev2);
}

void devpck_(const i32* lout, const i32* kprint, double* x, double* y, double* f, double* fx,
             double* fy, double* xe, double* ye, double* fe, double* de, double* fe2, i32* fail) {
    *fail = devpck(*lout, *kprint, x, y, f, fx, fy, xe, ye, fe, de, fe2);
}
void evpcck_(const i32* lout, const i32* kprint, float* x, float* y, float* f, float* fx, float* fy,
             float* xe, float* ye, float* fe, float* de, float* fe2, i32* fail) {
    *fail = devpck(*lout, *kprint, x, y, f, fx, fy, xe, ye, fe, de, fe2);
}

void deverk_(const i32* lout, const i32* kprint, i32* fail) {
    *fail = deverk<double>(*lout, *kprint);
}
void everck_(const i32* lout, const i32* kprint, i32* fail) {
    *fail = deverk<float>(*lout, *kprint);
}

i32 comp_(const i32* ieract, const i32* ierexp, const i32* lout, const i32* kprint) {
    return comp(*ieract, *ierexp, *lout, *kprint);
}

void dfdtru_(const double* x, double* f, double* d) { cubic(*x, *f, *d); }
void fdtrue_(const float* x, float* f, float* d) { cubic(*x, *f, *d); }

float pchip_rand_(const float* r) { return uniform(*r); }

void get_unit_(i32* iunit) {
    *iunit = 0;
    for (i32 i = 1; i <= 99; ++i)
        if (i != 5 && i != 6 && i != 9 && !io::connected(i)) {
            *iunit = i;
            return;
        }
}

void pchip_timestamp_() { interp_timestamp_(); }
}
