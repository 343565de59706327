// Quick-check drivers of the cubic Hermite package, in both precisions.
#include "pchip/pchip_quick.hpp"

#include <algorithm>
#include <cmath>

#include "pchip/pchip.hpp"
#include "pchip/pchip_bspline.hpp"
#include "pchip/pchip_checks.hpp"
#include "pchip/pchip_common.hpp"
#include "pchip/pchip_slopes.hpp"

namespace vorlen::pchip {
namespace {

// The single drivers' texts: " PCHIP" for "DPCHIP" (but "TEST PCHIP"), PCHQKn for DPCHQn and
// "  PCH" for " DPCH", "PCH" for a literal starting with "DPCH".
constexpr Rename kRenames[] = {
    {"TEST DPCHIP", "TEST PCHIP"}, {" DPCH", "  PCH"}, {"DPCHQ", "PCHQK"}, {"DPCH", "PCH"}};

// The closing lines of the drivers 1 to 5.
struct Closing {
    std::string_view trouble, pass, fail;
};
constexpr Closing kClosing[5] = {
    {"(/' *** TROUBLE ***',I5,' EVALUATION TESTS FAILED.')",
     "(/' ------------ DPCHIP PASSED  ALL EVALUATION TESTS', ' ------------')",
     "(/' ************ DPCHIP FAILED SOME EVALUATION TESTS', ' ************')"},
    {"(/' *** TROUBLE ***',I5,' INTEGRATION TESTS FAILED.')",
     "(/' ------------ DPCHIP PASSED  ALL INTEGRATION TESTS', ' ------------')",
     "(/' ************ DPCHIP FAILED SOME INTEGRATION TESTS', ' ************')"},
    {"(/' *** TROUBLE ***',I5,' INTERPOLATION TESTS FAILED.')",
     "(/' ------------ DPCHIP PASSED  ALL INTERPOLATION TESTS', ' ------------')",
     "(/' ************ DPCHIP FAILED SOME INTERPOLATION TESTS', ' ************')"},
    {"(/' *** TROUBLE ***',I5,' MONOTONICITY TESTS FAILED.')",
     "(/' ------------ DPCHIP PASSED  ALL MONOTONICITY TESTS', ' ------------')",
     "(/' ************ DPCHIP FAILED SOME MONOTONICITY TESTS', ' ************')"},
    {"(/' *** TROUBLE ***',I5,' CONVERSION TESTS FAILED.')",
     "(/' ------------ DPCHIP PASSED  ALL CONVERSION TESTS', ' ------------')",
     "(/' ************ DPCHIP FAILED SOME CONVERSION TESTS', ' ************')"},
};

template <class T>
i32 close(const Printer<T>& out, i32 kprint, i32 ifail, const Closing& c) {
    if (kprint >= 2 && ifail != 0) out(c.trouble, {ifail});
    if (ifail == 0) {
        if (kprint >= 2) out(c.pass);
        return 1;
    }
    if (kprint >= 1) out(c.fail);
    return 0;
}

template <class T>
i32 evaluation(i32 lun, i32 kprint) {
    const Printer<T> out{lun, kRenames};
    if (kprint >= 2)
        out("('1'/' ------------ DPCHIP QUICK CHECK OUTPUT', ' ------------' //20X,'( KPRINT =',"
            "I2,' )')",
            {kprint});
    T work[4000] = {};
    const i32 npts = 1000;
    i32 ifail = 0, fail = 0;
    pick<T>(devchk_, evchck_)(&lun, &kprint, &npts, work, work + 1000, work + 2000, work + 3000,
                              &fail);
    if (fail) ifail += 1;
    pick<T>(devpck_, evpcck_)(&lun, &kprint, work, work + 10, work + 20, work + 120, work + 220,
                              work + 320, work + 371, work + 422, work + 473, work + 524, &fail);
    if (fail) ifail += 2;
    pick<T>(deverk_, everck_)(&lun, &kprint, &fail);
    if (fail) ifail += 4;
    return close(out, kprint, ifail, kClosing[0]);
}

template <class T>
i32 integration(i32 lun, i32 kprint) {
    const Printer<T> out{lun, kRenames};
    const T tol = 100 * xerror::rmach<T>(4);
    // The cubic 3x^3 - 6x^2 at 7 breakpoints; its integral from a to b is
    // b^3 (0.75 b - 2) - a^3 (0.75 a - 2).
    constexpr i32 n = 7;
    const T x[n] = {T(-4), T(-2), T(-0.9), T(0), T(0.9), T(2), T(4)};
    T f[n], d[n];
    for (i32 i = 0; i < n; ++i) {
        f[i] = (x[i] - 2) * (3 * x[i] * x[i]);
        d[i] = (x[i] + 2 * (x[i] - 2)) * 3 * x[i];
    }
    if (kprint >= 3) out("('1'//10X,'TEST DPCHIP INTEGRATORS')");
    if (kprint >= 2) out("(//10X,'DPCHQ2 RESULTS'/10X,'--------------')");
    if (kprint >= 3) {
        double data[3 * n];
        for (i32 i = 0; i < n; ++i)
            data[3 * i] = x[i], data[3 * i + 1] = f[i], data[3 * i + 2] = d[i];
        out("(// 5X,'DATA:' //11X,'X',9X,'F',9X,'D' /(5X,3F10.3) )",
            {io::Item::reals(data, 3 * n)});
        out("(// 5X,'TEST RESULTS:'           //'    A     B    ERR     TRUE',16X,'CALC',15X,"
            "'ERROR')");
    }

    const struct {
        T a, b;
        i32 expected;
    } pairs[] = {{-3, 3, 0},
                 {3, -3, 0},
                 {T(-0.5), 1, 0},
                 {T(-0.5), 2, 0},
                 {T(-0.5), 5, 2},
                 {-4, T(-0.5), 0},
                 {-4, 4, 0},
                 {3, 5, 2},
                 {-5, -3, 1},
                 {-5, 5, 3},
                 {-6, -5, 3},
                 {6, 5, 3},
                 {T(-1.5), T(-0.5), 0},
                 {T(-1.5), -1, 0},
                 {-3, T(-2.5), 0},
                 {3, T(3.5), 0},
                 {T(0.5), T(0.5), 0}};
    const auto pchia = pick<T>(dpchia_, pchia_);
    const i32 inc = 1;
    i32 ifail = 0, skip = 0;
    T errmax = 0;
    bool first = true;
    for (const auto& p : pairs) {
        i32 ierr = 0;
        const T calc = pchia(&n, x, f, d, &inc, &skip, &p.a, &p.b, &ierr);
        if (ierr < 0) {
            if (kprint >= 3) out("(2F6.1,I5,1P,2D20.10,D15.5)", {p.a, p.b, ierr});
            ++ifail;
            continue;
        }
        const bool fail = ierr != p.expected;
        const T exact =
            p.b * p.b * p.b * (T(0.75) * p.b - 2) - p.a * p.a * p.a * (T(0.75) * p.a - 2);
        const T error = calc - exact;
        if (kprint >= 3 && fail)
            out("(2F6.1,I5,1P,2D20.10,D15.5,'  (',I1,') *****' )",
                {p.a, p.b, ierr, exact, calc, error, p.expected});
        else if (kprint >= 3)
            out("(2F6.1,I5,1P,2D20.10,D15.5)", {p.a, p.b, ierr, exact, calc, error});
        const T relative = std::abs(error) / std::max(T(1), std::abs(exact));
        if (fail || relative > tol) ++ifail;
        errmax = first ? relative : std::max(errmax, relative);
        first = false;
    }
    if (kprint >= 2)
        out("(/'  MAXIMUM RELATIVE ERROR IS:',1P,D15.5, ',   TOLERANCE:',1P,D15.5)", {errmax, tol});
    return close(out, kprint, ifail, kClosing[1]);
}

template <class T>
i32 interpolation(i32 lun, i32 kprint) {
    const Printer<T> out{lun, kRenames};
    const T machep = xerror::rmach<T>(4), tol = 10 * machep;
    const T told = std::max(T(1.0e-7), 10 * tol), tolz = 0;
    i32 ifail = 0;
    if (kprint >= 3) out("('1'//10X,'TEST DPCHIP INTERPOLATORS')");
    if (kprint >= 2) out("(//10X,'DPCHQ3 RESULTS'/10X,'--------------')");

    // exp(-x^2) with its expected monotone (dm) and spline (ds) slopes, and the slopes dc5,
    // dc6 at points 5 and 6 after the switch treatment.
    constexpr i32 n = 9;
    const T x[n] = {T(-2.2), T(-1.2), T(-1.0), T(-0.5), T(-0.01), T(0.5), T(1.0), T(2.0), T(2.2)};
    const T dm[n] = {T(0),
                     T(0.380027352),
                     T(0.717253009),
                     T(0.582014161),
                     T(0),
                     T(-0.568208031),
                     T(-0.513501618),
                     T(-0.0777910977),
                     T(-0.00245611117)};
    const T ds[n] = {T(-0.0516830792), T(0.571455855),   T(0.740530225),
                     T(0.763864934),   T(0.0192614386),  T(-0.76532438),
                     T(-0.728209035),  T(-0.0798445427), T(-0.0285983446)};
    const T dc5 = T(0.0176950158), dc6 = T(-0.569579814);
    T f[n], d[n] = {}, dc[n] = {};
    for (i32 i = 0; i < n; ++i) f[i] = std::exp(-x[i] * x[i]);
    if (kprint >= 3) {
        out("(// 5X,'DATA:'        /39X,'---------- EXPECTED D-VALUES ----------'        /12X,"
            "'X',9X,'F',18X,'DM',13X,'DC',13X,'DS')");
        for (i32 i = 0; i < n; ++i)
            if (i == 4 || i == 5)
                out("(5X,F10.2,1P,D15.5,4X,3D15.5)",
                    {x[i], f[i], dm[i], i == 4 ? dc5 : dc6, ds[i]});
            else
                out("(5X,F10.2,1P,D15.5,4X,D15.5,15X,D15.5)", {x[i], f[i], dm[i], ds[i]});
    }

    const i32 ic[2] = {0, 0}, inc = 1, nwk = 18;
    const T vc[2] = {0, 0}, off = 0, adjust = -1;
    T wk[nwk] = {};
    // One test: its name line, the call, the expected code; false ends the test.
    const auto start = [&](const char* name) {
        if (kprint >= 3) out("(/5X,'DPCH',A2,' TEST:')", {name});
    };
    const auto called = [&](i32 ierr, i32 expected) {
        if (kprint >= 3) out("(15X,'EXPECT  IERR =',I5)", {expected});
        if (!comp(ierr, expected, lun, kprint)) {
            ++ifail;
            return false;
        }
        if (kprint >= 3) out("(/9X,'I',7X,'X',9X,'D',13X,'ERR')");
        return true;
    };
    const auto row = [&](i32 i, T value, T err, const char* result) {
        if (kprint >= 3) out("(5X,I5,F10.2,1P,2D15.5,2X,A)", {i + 1, x[i], value, err, result});
    };
    // The verdict of a test: nbad results beyond t; nbadz results that had to be exact,
    // reported by the line `exact`.
    const auto verdict = [&](const char* name, i32 nbad, T t, i32 nbadz = 0,
                             std::string_view exact = {}) {
        if (nbad == 0 && nbadz == 0) {
            if (kprint >= 2) out("(/5X,'  ALL DPCH',A2,' RESULTS OK.')", {name});
            return;
        }
        ++ifail;
        if (kprint < 2) return;
        if (nbadz != 0) out(exact, {nbadz});
        if (nbad != 0)
            out("(/'    **',I5,' DPCH',A2,' RESULTS FAILED TOLERANCE TEST.', '  TOL =',1P,D10.3)",
                {nbad, name, t});
    };

    i32 ierr = 0;
    start("IM");
    pick<T>(dpchim_, pchim_)(&n, x, f, d, &inc, &ierr);
    if (called(ierr, 1)) {
        i32 nbad = 0, nbadz = 0;
        for (i32 i = 0; i < n; ++i) {
            const char* result = "  OK  ";
            T err;
            if (dm[i] == 0) {
                err = std::abs(d[i]);
                if (err > tolz) ++nbadz, result = "**BADZ";
            } else {
                err = std::abs((d[i] - dm[i]) / dm[i]);
                if (err > told) ++nbad, result = "**BAD ";
            }
            row(i, d[i], err, result);
        }
        verdict("IM", nbad, told, nbadz,
                "(/'    **',I5,' DPCHIM RESULTS FAILED TO BE EXACTLY ZERO.')");
    }

    const auto pchic = pick<T>(dpchic_, pchic_);
    start("IC");
    pchic(ic, vc, &off, &n, x, f, dc, &inc, wk, &nwk, &ierr);
    if (called(ierr, 0)) {
        i32 nbad = 0;
        for (i32 i = 0; i < n; ++i) {
            const T err = std::abs(d[i] - dc[i]);
            const bool bad = err > tol;
            nbad += bad;
            row(i, dc[i], err, bad ? "**BAD " : "  OK  ");
        }
        verdict("IC", nbad, tol);
    }

    start("IC");
    pchic(ic, vc, &adjust, &n, x, f, d, &inc, wk, &nwk, &ierr);
    if (called(ierr, 0)) {
        i32 nbad = 0, nbadz = 0;
        for (i32 i = 0; i < n; ++i) {
            const char* result = "  OK  ";
            T err;
            if (i == 4 || i == 5) {
                const T expected = i == 4 ? dc5 : dc6;
                err = std::abs((d[i] - expected) / expected);
                if (err > told) ++nbad, result = "**BAD ";
            } else {
                err = std::abs(d[i] - dc[i]);
                if (err > tolz) ++nbadz, result = "**BADA";
            }
            row(i, d[i], err, result);
        }
        verdict("IC", nbad, told, nbadz,
                "(/'    **',I5,' DPCHIC RESULTS FAILED TO AGREE WITH', ' PREVIOUS CALL.')");
    }

    start("SP");
    pick<T>(dpchsp_, pchsp_)(ic, vc, &n, x, f, d, &inc, wk, &nwk, &ierr);
    if (called(ierr, 0)) {
        i32 nbad = 0;
        for (i32 i = 0; i < n; ++i) {
            const T err = std::abs((d[i] - ds[i]) / ds[i]);
            const bool bad = err > told;
            nbad += bad;
            row(i, d[i], err, bad ? "**BAD " : "  OK  ");
        }
        verdict("SP", nbad, told);
    }
    return close(out, kprint, ifail, kClosing[2]);
}

template <class T>
i32 monotonicity(i32 lun, i32 kprint) {
    const Printer<T> out{lun, kRenames};
    if (kprint >= 3) out("('1'//10X,'TEST DPCHIP MONOTONICITY CHECKER')");
    if (kprint >= 2) out("(//10X,'DPCHQ4 RESULTS'/10X,'--------------')");
    // Data rising by steps with setbacks, read with the strides 1, 2 and 3, and seven points
    // rising and falling; the expected codes of every interval and of the whole.
    constexpr i32 nmax = 16, nb = 7;
    T x[nmax], f[nmax] = {1, 2, 3, 2, 3, 4, 3, 4, 5, 4, 5, 6, 5, 6, 7, 6}, d[nmax];
    T fb[nb] = {0, 2, 3, 5, 3, 2, 0}, db[nb] = {1, 3, 3, 0, -3, -3, -1};
    for (i32 i = 0; i < nmax; ++i) x[i] = T(i + 1), d[i] = i % 3 == 1 ? 2 : 0;
    const i32 ns[3] = {16, 8, 6};
    i32 expected[3][nmax] = {{1, 1, -1, 1, 1, -1, 1, 1, -1, 1, 1, -1, 1, 1, -1, 2},
                             {1, 2, 2, 1, 2, 2, 1, 2},
                             {1, 1, 1, 1, 1, 1}};
    i32 expectb[nb] = {1, 3, 1, -1, -3, -1, 2};
    if (kprint >= 3) {
        out("(// 5X,'DATA:'               // 9X,'I',4X,'X',5X,'F',5X,'D',5X,'FB',4X,'DB')");
        for (i32 i = 0; i < nmax; ++i)
            if (i < nb)
                out("(5X,I5,5F6.1)", {i + 1, x[i], f[i], d[i], fb[i], db[i]});
            else
                out("(5X,I5,5F6.1)", {i + 1, x[i], f[i], d[i]});
    }

    const auto pchcm = pick<T>(dpchcm_, pchcm_);
    i32 ifail = 0;
    const auto check = [&](i32 ierr, const i32* ismon, const i32* expect, i32 n) {
        if (ierr != 0) {
            ++ifail;
            if (kprint >= 3) out("(' *** Failed -- bad IERR value.')");
            return;
        }
        if (std::equal(ismon, ismon + n, expect)) return;
        ++ifail;
        if (kprint >= 3) out("(' *** Failed -- expect:',16I3)", {io::Item::ints(expect, n)});
    };
    for (;;) {
        i32 ismon[nmax] = {}, ierr = 0, skip = 0;
        for (i32 incfd = 1; incfd <= 3; ++incfd) {
            const i32 n = ns[incfd - 1];
            skip = 0;
            pchcm(&n, x, f, d, &incfd, &skip, ismon, &ierr);
            if (kprint >= 3)
                out("(/4X,'INCFD =',I2,':  IERR =',I3/15X,'ISMON =',16I3)",
                    {incfd, ierr, io::Item::ints(ismon, n)});
            check(ierr, ismon, expected[incfd - 1], n);
        }
        const i32 one = 1;
        skip = 0;
        pchcm(&nb, x, fb, db, &one, &skip, ismon, &ierr);
        if (kprint >= 3)
            out("(/4X,' Bug test:  IERR =',I3/15X,'ISMON =',7I3)",
                {ierr, io::Item::ints(ismon, nb)});
        check(ierr, ismon, expectb, nb);

        if (f[0] < 0) break;
        if (kprint >= 3) out("(/4X,'Changing sign of data.....')");
        for (T* v : {f, d}) std::transform(v, v + nmax, v, [](T a) { return -a; });
        for (T* v : {fb, db}) std::transform(v, v + nb, v, [](T a) { return -a; });
        const auto flip = [](i32 c) { return c == 2 ? 2 : -c; };
        for (auto& row : expected) std::transform(row, row + nmax, row, flip);
        std::transform(expectb, expectb + nb, expectb, flip);
    }
    return close(out, kprint, ifail, kClosing[3]);
}

template <class T>
i32 conversion(i32 lun, i32 kprint) {
    const Printer<T> out{lun, kRenames};
    const T tol = 100 * xerror::rmach<T>(4), tolz = 0;
    if (kprint >= 3) out("('1'//10X,'TEST PCH TO B-SPLINE CONVERTER')");
    if (kprint >= 2) out("(//10X,'DPCHQ5 RESULTS'/10X,'--------------')");
    if (kprint >= 3) out("(/4X,'(Results should be the same for all KNOTYP values.)')");

    constexpr i32 n = 9;
    const T x[n] = {T(-2.2), T(-1.2), T(-1.0), T(-0.5), T(-0.01), T(0.5), T(1.0), T(2.0), T(2.2)};
    const T f[n] = {T(0.0079), T(0.2369), T(0.3679), T(0.7788), T(0.9999),
                    T(0.7788), T(0.3679), T(0.1083), T(0.0079)};
    const T d[n] = {T(0),       T(0.38),    T(0.7173),  T(0.582),  T(0.0177),
                    T(-0.5696), T(-0.5135), T(-0.0778), T(-0.0025)};
    constexpr i32 nt = 2 * n + 4;
    T t[nt] = {}, tsave[nt] = {}, bcoef[2 * n] = {}, work[144] = {};
    i32 nknots = 0, ndim = 0, k = 0, ierr = 0, ifail = 0;
    const i32 inc = 1, value = 0, slope = 1;
    const auto pchbs = pick<T>(dpchbs_, pchbs_);
    const auto bvalu = pick<T>(dbvalu_, bvalu_);
    for (const i32 knotyp : {2, 1, 0, -1}) {
        pchbs(&n, x, f, d, &inc, &knotyp, &nknots, t, bcoef, &ndim, &k, &ierr);
        if (kprint >= 3)
            out("(/4X,'KNOTYP =',I2,':  NKNOTS =',I3,',  NDIM =',I3, ',  K =',I2,',  IERR =',I3)",
                {knotyp, nknots, ndim, k, ierr});
        if (ierr != 0) {
            ++ifail;
            if (kprint >= 3) out("(' *** Failed -- bad IERR value.')");
        } else {
            i32 inbv = 1;
            T fermax = 0, dermax = 0;
            if (kprint >= 3) {
                out("(/15X,'X',9X,'KNOTS',10X,'F',7X,'FERR',8X,'D',7X,'DERR')");
                out("(18X,2F8.2)", {t[0], t[1]});
            }
            for (i32 i = 0; i < n; ++i) {
                const T fcalc = bvalu(t, bcoef, &ndim, &k, &value, &x[i], &inbv, work);
                const T dcalc = bvalu(t, bcoef, &ndim, &k, &slope, &x[i], &inbv, work);
                const T ferr = f[i] - fcalc, derr = d[i] - dcalc;
                fermax = std::max(fermax, std::abs(ferr) / std::max(T(1.0e-5), std::abs(f[i])));
                dermax = std::max(dermax, std::abs(derr) / std::max(T(1.0e-5), std::abs(d[i])));
                if (kprint >= 3)
                    out("(10X,3F8.2,F10.4,1P,D10.2,0P,F10.4,1P,D10.2)",
                        {x[i], t[2 * i + 2], t[2 * i + 3], f[i], ferr, d[i], derr});
            }
            if (kprint >= 3) out("(18X,2F8.2)", {t[nt - 2], t[nt - 1]});
            const bool fail = fermax > tol || dermax > tol;
            if (fail) ++ifail;
            if (kprint >= 3 || (kprint == 2 && fail))
                out("(/5X,'Maximum relative errors:'              /15X,'F-error =',1P,D13.5,5X,"
                    "'D-error =',D13.5               /5X,'Both should be less than  TOL =',D13.5)",
                    {fermax, dermax, tol});
        }
        // The knots given with knotyp -1 must come back unchanged.
        const i32 count = std::clamp(nknots, 0, nt);
        if (knotyp == 0) std::copy_n(t, count, tsave);
        if (knotyp == -1) {
            T termax = 0;
            for (i32 i = 0; i < count; ++i) termax = std::max(termax, std::abs(t[i] - tsave[i]));
            if (termax > tolz) {
                ++ifail;
                if (kprint >= 2)
                    out("(/' *** T-ARRAY MAXIMUM CHANGE =',1P,D13.5, ';  SHOULD NOT EXCEED TOLZ "
                        "=',D13.5)",
                        {termax, tolz});
            }
        }
    }
    return close(out, kprint, ifail, kClosing[4]);
}

}  // namespace
}  // namespace vorlen::pchip

using namespace vorlen;
using namespace vorlen::pchip;

extern "C" {

void dpchq1_(const i32* lun, const i32* kprint, i32* ipass) {
    *ipass = evaluation<double>(*lun, *kprint);
}
void dpchq2_(const i32* lun, const i32* kprint, i32* ipass) {
    *ipass = integration<double>(*lun, *kprint);
}
void dpchq3_(const i32* lun, const i32* kprint, i32* ipass) {
    *ipass = interpolation<double>(*lun, *kprint);
}
void dpchq4_(const i32* lun, const i32* kprint, i32* ipass) {
    *ipass = monotonicity<double>(*lun, *kprint);
}
void dpchq5_(const i32* lun, const i32* kprint, i32* ipass) {
    *ipass = conversion<double>(*lun, *kprint);
}
void pchqk1_(const i32* lun, const i32* kprint, i32* ipass) {
    *ipass = evaluation<float>(*lun, *kprint);
}
void pchqk2_(const i32* lun, const i32* kprint, i32* ipass) {
    *ipass = integration<float>(*lun, *kprint);
}
void pchqk3_(const i32* lun, const i32* kprint, i32* ipass) {
    *ipass = interpolation<float>(*lun, *kprint);
}
void pchqk4_(const i32* lun, const i32* kprint, i32* ipass) {
    *ipass = monotonicity<float>(*lun, *kprint);
}
void pchqk5_(const i32* lun, const i32* kprint, i32* ipass) {
    *ipass = conversion<float>(*lun, *kprint);
}
}
