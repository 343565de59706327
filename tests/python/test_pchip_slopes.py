"""Derivative setting of the cubic Hermite package in both precisions, called through the
exported symbols: against scipy's interpolants, polynomial fits and hand calculations; the
reports of bad input in child processes."""
import ctypes as C

import numpy as np
import pytest
from scipy.interpolate import CubicHermiteSpline, CubicSpline, PchipInterpolator

from pchip_lib import (ACCURACY, DOUBLE, PRECISIONS, SINGLE, abort_report, arr, call, d, i, lib,
                       name, pchic, pchim, pchsp, ptr, r, random_table, run_lib, twin)


def close(dt, scale=1.0):
    """Tolerances for results of precision dt of magnitude about scale."""
    return {"rtol": ACCURACY[dt], "atol": ACCURACY[dt] * scale}


# ---------------------------------------------------------------- monotone derivatives

@pytest.mark.parametrize("dt", PRECISIONS)
@pytest.mark.parametrize("f,slopes,changes", [
    ([0, 1, 1, 2], [1.5, 0, 0, 1.5], 0),   # flat interval: zero slopes at its ends
    ([0, 1, 0, 1], [2, 0, 0, 2], 2),
    ([0, 1, 1, 0], [1.5, 0, 0, -1.5], 1),  # a zero slope between opposite ones counts once
])
def test_monotone_slopes_by_hand(f, slopes, changes, dt):
    dd, ierr = pchim([0, 1, 2, 3], f, dt)
    np.testing.assert_allclose(dd, slopes, rtol=0, atol=ACCURACY[dt])
    assert ierr == changes


def test_monotone_slopes_of_two_and_three_points():
    assert pchim([0, 2], [1, 5]) == (pytest.approx([2, 2]), 0)
    dd, ierr = pchim([0, 1, 2], [0, 1, 0])
    assert dd[1] == 0 and ierr == 1


@pytest.mark.parametrize("dt", PRECISIONS)
@pytest.mark.parametrize("n", [3, 4, 7, 40])
def test_monotone_slopes_against_scipy(n, dt):
    x, f = (v.astype(dt) for v in random_table(n, n))
    dd, _ = pchim(x, f, dt)
    ref = PchipInterpolator(x.astype(float), f.astype(float)).derivative()(x.astype(float))
    np.testing.assert_allclose(dd, ref, **close(dt, 10))


def test_monotone_slopes_use_the_first_row_only():
    x = arr([0, 1, 2, 3])
    f = arr([[0, 1, 1, 2], [9, -9, 9, -9]]).T.copy()  # f(2, n): the second row is noise
    dd = np.full((4, 2), 7.0)
    ierr = C.c_int32()
    lib.dpchim_(i(4), ptr(x), ptr(f), ptr(dd), i(2), C.byref(ierr))
    np.testing.assert_allclose(dd[:, 0], [1.5, 0, 0, 1.5])
    np.testing.assert_array_equal(dd[:, 1], 7.0)


# ---------------------------------------------------------------- spline derivatives

@pytest.mark.parametrize("dt", PRECISIONS)
@pytest.mark.parametrize("n", [2, 3, 4, 5, 12])
def test_spline_slopes_equal_the_not_a_knot_spline(n, dt):
    x, f = (v.astype(dt) for v in random_table(n, 100 + n))
    dd, ierr = pchsp(x, f, dt=dt)
    ref = CubicSpline(x.astype(float), f.astype(float), bc_type="not-a-knot").derivative()
    np.testing.assert_allclose(dd, ref(x.astype(float)), **close(dt, 100))
    assert ierr == 0


@pytest.mark.parametrize("dt", PRECISIONS)
@pytest.mark.parametrize("ic,vc,bc", [
    ((1, 1), (0.5, -2.0), ((1, 0.5), (1, -2.0))),  # clamped
    ((2, 2), (0.0, 0.0), "natural"),
    ((2, 1), (3.0, 1.0), ((2, 3.0), (1, 1.0))),
])
def test_spline_end_conditions_against_scipy(ic, vc, bc, dt):
    x, f = random_table(9, 5)
    dd, ierr = pchsp(x, f, ic, vc, dt)
    ref = CubicSpline(x.astype(dt).astype(float), f.astype(dt).astype(float), bc_type=bc)
    np.testing.assert_allclose(dd, ref.derivative()(x), **close(dt, 100))
    assert ierr == 0


P = np.polynomial.Polynomial([1.0, -2.0, 0.5, 0.25])  # a cubic: every end condition is exact


@pytest.mark.parametrize("ic,vc", [
    ((0, 0), (0, 0)),
    ((1, 1), (P.deriv()(0.0), P.deriv()(5.0))),
    ((2, 2), (P.deriv(2)(0.0), P.deriv(2)(5.0))),
    ((4, 4), (0, 0)),
    ((1, 2), (P.deriv()(0.0), P.deriv(2)(5.0))),
])
def test_spline_end_conditions_reproduce_a_cubic(ic, vc):
    x = np.array([0.0, 0.5, 1.5, 2.0, 3.5, 5.0])
    dd, ierr = pchsp(x, P(x), ic, vc)
    np.testing.assert_allclose(dd, P.deriv()(x), rtol=1e-12, atol=1e-12)
    assert ierr == 0


def test_spline_three_point_ends_reproduce_a_parabola():
    q = np.polynomial.Polynomial([2.0, 1.0, -3.0])
    x = np.array([0.0, 1.0, 1.5, 3.0])
    dd, _ = pchsp(x, q(x), (3, 3))
    np.testing.assert_allclose(dd, q.deriv()(x), rtol=1e-12, atol=1e-12)


@pytest.mark.parametrize("dt", PRECISIONS)
@pytest.mark.parametrize("spline", [0, 1])
def test_easy_driver_sets_monotone_or_spline_slopes(spline, dt):
    x, f = (v.astype(dt) for v in random_table(8, 3))
    dd, wk, ierr = np.zeros(8, dt), np.zeros(16, dt), C.c_int32(-99)
    twin("dpchez_", dt)(i(8), ptr(x), ptr(f), ptr(dd), i(spline), ptr(wk), i(16), C.byref(ierr))
    ref = pchsp(x, f, dt=dt) if spline else pchim(x, f, dt)
    np.testing.assert_array_equal(dd, ref[0])
    assert ierr.value == ref[1]


# ---------------------------------------------------------------- general derivative setting

CHANGING = ([0.0, 0.7, 1.5, 2.0, 3.2, 4.0, 5.5], [0.0, 1.0, 0.4, 0.4, 2.0, -1.0, 0.5])


@pytest.mark.parametrize("dt", PRECISIONS)
def test_default_ends_without_switch_give_the_monotone_slopes(dt):
    x, f = CHANGING
    dd, ierr = pchic(x, f, dt=dt)
    np.testing.assert_array_equal(dd, pchim(x, f, dt)[0])
    assert ierr == 0
    # the interior step alone, from the interval lengths and slopes
    xa, fa = arr(x, dt), arr(f, dt)
    h, s, dc = np.diff(xa), np.diff(fa) / np.diff(xa), np.zeros(7, dt)
    twin("dpchci_", dt)(i(7), ptr(h), ptr(s), ptr(dc), i(1))
    np.testing.assert_array_equal(dc, dd)


def piece_second_derivatives(x, f, dd):
    """Second derivatives of the cubic Hermite interpolant: (left limit, right limit) at each
    breakpoint, from scipy's piecewise polynomial."""
    c = CubicHermiteSpline(x, f, dd).c  # c[k, j]: coefficient of (t - x_j)^(3-k) on piece j
    h = np.diff(x)
    right = 2 * c[1]
    left = 6 * c[0] * h + 2 * c[1]
    return np.append(np.nan, left), np.append(right, np.nan)


@pytest.mark.parametrize("dt", PRECISIONS)
@pytest.mark.parametrize("code", [1, 2, 3, 4, 5])
def test_end_conditions_of_general_setting(code, dt):
    x, f = (v.astype(dt).astype(float) for v in random_table(8, 21))
    vc = (0.75, -1.25)
    dd, ierr = pchic(x, f, (code, code), vc, dt=dt)
    assert ierr == 0
    tol = close(dt, 100)
    left, right = piece_second_derivatives(x, f, dd.astype(float))
    if code == 1:
        assert (dd[0], dd[-1]) == (dt(vc[0]), dt(vc[1]))
    elif code == 2:  # the end cubic has the given second derivative at the end
        np.testing.assert_allclose([right[0], left[-1]], vc, **tol)
    elif code in (3, 4):  # the polynomial through the code points nearest each end
        p1 = np.polynomial.Polynomial.fit(x[:code], f[:code], code - 1)
        p2 = np.polynomial.Polynomial.fit(x[-code:], f[-code:], code - 1)
        np.testing.assert_allclose([dd[0], dd[-1]], [p1.deriv()(x[0]), p2.deriv()(x[-1])], **tol)
    else:  # a continuous second derivative at x(2) and x(n-1)
        np.testing.assert_allclose([left[1], left[-2]], [right[1], right[-2]], **tol)
    # the interior derivatives stay the monotone ones
    np.testing.assert_array_equal(dd[1:-1], pchim(x, f, dt)[0][1:-1])


@pytest.mark.parametrize("ic,vc,ends,ierr", [
    ((-1, 0), (-1.0, 0.0), (0.0, None), 1),   # against the sign of the first slope: 0
    ((0, -1), (0.0, 8.0), (None, 6.0), 2),    # above three times the last slope: limited to it
    ((-1, -1), (-1.0, 8.0), (0.0, 6.0), 3),
    ((1, 1), (-1.0, 8.0), (-1.0, 8.0), 0),    # the same values without the adjustment
    ((-1, -1), (0.5, 1.0), (0.5, 1.0), 0),    # already monotone
])
def test_monotonicity_adjustment_of_the_ends(ic, vc, ends, ierr):
    x, f = [0.0, 1.0, 2.0, 3.0], [0.0, 1.0, 2.5, 4.5]  # slopes 1, 1.5, 2
    dd, code = pchic(x, f, ic, vc)
    default = pchic(x, f)[0]
    assert dd[0] == (default[0] if ends[0] is None else ends[0])
    assert dd[-1] == (default[-1] if ends[1] is None else ends[1])
    assert code == ierr


def test_zero_end_slope_adjustment():
    dd, code = pchic([0, 1, 2], [1, 1, 3], (-1, 0), (0.5, 0))
    assert (dd[0], code) == (0.0, 1)


def test_codes_beyond_the_number_of_points_count_as_0():
    x, f = [0.0, 1.0, 3.0], [1.0, -1.0, 2.0]
    for (dd, ierr), (ref, code) in ((pchic(x, f, (4, -5), (9.0, 9.0)), pchic(x, f)),
                                    (pchsp(x[:2], f[:2], (3, 0)), pchsp(x[:2], f[:2]))):
        np.testing.assert_array_equal(dd, ref)
        assert ierr == code == 0


def test_two_points_give_the_slope_and_the_end_conditions_see_the_left_end_first():
    assert pchic([0, 2], [1, 5], (0, 0)) == (pytest.approx([2, 2]), 0)
    # code 2 at the right end reads d(1) as the left end left it
    dd, _ = pchic([0, 2], [1, 5], (1, 2), (0.0, 1.0))
    assert dd.tolist() == [0.0, 0.5 * ((3 * 2 - 0.0) + 0.5 * 1.0 * 2)]


def test_general_setting_uses_the_first_row_only():
    x = arr(CHANGING[0])
    f = np.stack([CHANGING[1], np.full(7, 99.0)], axis=1).copy()  # f(2, 7)
    dd, wk, ierr = np.full((7, 2), -7.0), np.zeros(12), C.c_int32(-99)
    lib.dpchic_(ptr(arr([3, -2], np.int32)), ptr(arr([0, 0])), d(1.0), i(7), ptr(x), ptr(f),
                ptr(dd), i(2), ptr(wk), i(12), C.byref(ierr))
    ref, code = pchic(CHANGING[0], CHANGING[1], (3, -2), switch=1.0)
    np.testing.assert_array_equal(dd[:, 0], ref)
    np.testing.assert_array_equal(dd[:, 1], -7.0)
    assert ierr.value == code


# A maximum of the data at x(3) that the weighted averages place in (x(3), x(4)): slopes
# 1, 1, -0.5, -0.5.
PEAK = ([0.0, 1.0, 2.0, 3.0, 4.0], [0.0, 1.0, 2.0, 1.5, 1.0])


def excursion(x1, x2, f1, f2, d1, d2, iextrm):
    """Largest distance of the cubic inside (x1, x2) from its value at the left end (iextrm 1)
    or at the right end, at the cubic's interior critical points."""
    c = CubicHermiteSpline([x1, x2], [f1, f2], [d1, d2])
    t = [v for v in c.derivative().roots() if x1 < v < x2 - 1e-9 * (x2 - x1)]
    ref = f1 if iextrm == 1 else f2
    return max(abs(c(v) - ref) for v in t)


@pytest.mark.parametrize("dt", PRECISIONS)
def test_switch_moves_the_derivatives_at_an_extremum(dt):
    x, f = PEAK
    assert pchic(x, f, dt=dt)[0][2] == 0  # switch 0: the extremum stays at the breakpoint
    dd, ierr = pchic(x, f, switch=-1.0, dt=dt)
    # by hand: d(3) moves all the way to the average 0.25 of the slopes around x(3); d(4) stays
    # at the monotone value -0.5 (its factor is 0)
    np.testing.assert_allclose(dd, [*pchim(x, f, dt)[0][:2], 0.25, -0.5, pchim(x, f, dt)[0][4]],
                               **close(dt))
    assert ierr == 0
    # the excursion 0.0109 of that cubic above f(3) stays within switch = 1 times the largest
    # data change 1 of the interval and its neighbours: a positive switch limits nothing here
    np.testing.assert_array_equal(pchic(x, f, switch=1.0, dt=dt)[0], dd)


@pytest.mark.parametrize("dt", PRECISIONS)
def test_positive_switch_limits_the_excursion(dt):
    x, f = PEAK
    free, _ = pchic(x, f, switch=-1.0)
    dd, ierr = pchic(x, f, switch=0.01, dt=dt)
    # d(3) is scaled down by the ratio of the allowed to the actual excursion; d(4) with it
    scale = 0.01 / excursion(2.0, 3.0, 2.0, 1.5, free[2], free[3], 1)
    np.testing.assert_allclose(dd[2:4], scale * free[2:4], **close(dt))
    assert ierr == 0


@pytest.mark.parametrize("dt", PRECISIONS)
@pytest.mark.parametrize("d1,d2,slope,iextrm", [
    (0.0, -1.0, 0.5, 1), (0.0, -1.0, 0.5, 2),   # only d2: it is scaled
    (1.0, 0.0, 0.2, 1), (1.0, 0.0, 0.2, 2),     # only d1
    (0.25, -0.5, -0.5, 1), (2.0, -3.0, 0.1, 2),  # both: scaled together
])
def test_excursion_limit_against_the_cubic(d1, d2, slope, iextrm, dt):
    h, dfmax = 1.0, 0.01
    e = excursion(0.0, h, 0.0, slope * h, d1, d2, iextrm)
    assert e > dfmax
    a, b, ierr = C.c_double(d1), C.c_double(d2), C.c_int32(-99)
    if dt is SINGLE:
        a, b = C.c_float(d1), C.c_float(d2)
    twin("dpchsw_", dt)(r(dfmax, dt), i(iextrm), C.byref(a), C.byref(b), r(h, dt), r(slope, dt),
                        C.byref(ierr))
    np.testing.assert_allclose([a.value, b.value], [d1 * dfmax / e, d2 * dfmax / e],
                               **close(dt))
    assert ierr.value == 0


def test_excursion_limit_leaves_an_extremum_outside_the_interval():
    a, b, ierr = C.c_double(0.0), C.c_double(3.0), C.c_int32(-99)
    lib.dpchsw_(d(1e-9), i(1), C.byref(a), C.byref(b), d(1.0), d(1.0), C.byref(ierr))
    assert (a.value, b.value, ierr.value) == (0.0, 3.0, 0)  # slope / d2 = 0.33333... >= 0.33333


@pytest.mark.parametrize("dt", PRECISIONS)
def test_single_twins_agree_with_the_double_routines(dt):
    x, f = CHANGING
    for args in (dict(ic=(5, -3), vc=(0, 0), switch=2.0), dict(ic=(2, 4), vc=(1.0, -2.0))):
        np.testing.assert_allclose(pchic(x, f, dt=dt, **args)[0], pchic(x, f, **args)[0],
                                   **close(dt, 10))
    np.testing.assert_allclose(pchsp(x, f, (4, 3), dt=dt)[0], pchsp(x, f, (4, 3))[0],
                               **close(dt, 10))


# ---------------------------------------------------------------- small helpers

@pytest.mark.parametrize("dt", PRECISIONS)
def test_divided_difference_derivative(dt):
    x = arr([1.0, 2.0, 4.0], dt)
    s = arr(np.diff(x**2) / np.diff(x), dt)
    ierr = C.c_int32(-99)
    assert twin("dpchdf_", dt)(i(3), ptr(x), ptr(s), C.byref(ierr)) == pytest.approx(8.0)
    assert ierr.value == 0


@pytest.mark.parametrize("dt", PRECISIONS)
@pytest.mark.parametrize("a,b,sign", [(0, 5, 0), (-2, 0, 0), (-2, 3, -1), (2, 3, 1), (-2, -3, 1),
                                      (np.nan, 1, 1)])
def test_sign_product(a, b, sign, dt):
    assert twin("dpchst_", dt)(r(a, dt), r(b, dt)) == sign


# ---------------------------------------------------------------- bad input

PCHIM = "i({n}), ptr(A({x})), ptr(A([0] * 4)), ptr(A([0] * 4)), i({inc}), C.byref(ierr)"
PCHSP = ("ptr(arr({ic}, np.int32)), ptr(A([0, 0])), i(3), ptr(A([0, 1, 2])), ptr(A([0, 1, 0])), "
         "ptr(A([0] * 3)), i(1), ptr(A([0] * 6)), i({nwk}), C.byref(ierr)")
PCHIC = ("ptr(arr({ic}, np.int32)), ptr(A([0, 0])), R(0), i(4), ptr(A({x})), ptr(A([0, 1, 0, 1])), "
         "ptr(A([0] * 4)), i(1), ptr(A([0] * 8)), i({nwk}), C.byref(ierr)")
STEP = "i({n}), ptr(A([1, 1])), ptr(A([1, 1])), ptr(A([0] * 3)), i({inc})"
LESS_THAN_TWO = "NUMBER OF DATA POINTS LESS THAN TWO"

ERRORS = [
    ("dpchim_", PCHIM.format(n=1, x=[0], inc=1), LESS_THAN_TWO, -1),
    ("dpchim_", PCHIM.format(n=0, x=[0], inc=1), LESS_THAN_TWO, -1),
    ("dpchim_", PCHIM.format(n=3, x=[0, 1, 2], inc=0), "INCREMENT LESS THAN ONE", -2),
    ("dpchim_", PCHIM.format(n=3, x="[0, nan, 2]", inc=1), "X-ARRAY NOT STRICTLY INCREASING", -3),
    ("dpchsp_", PCHSP.format(ic=[5, 0], nwk=6), "IC OUT OF RANGE", -4),
    ("dpchsp_", PCHSP.format(ic=[0, -1], nwk=6), "IC OUT OF RANGE", -5),
    ("dpchsp_", PCHSP.format(ic=[9, 9], nwk=6), "IC OUT OF RANGE", -6),
    ("dpchsp_", PCHSP.format(ic=[0, 0], nwk=5), "WORK ARRAY TOO SMALL", -7),
    ("dpchic_", PCHIC.format(ic=[0, 0], x=[0, 1, 1, 2], nwk=6), "X-ARRAY NOT STRICTLY INCREASING",
     -3),
    ("dpchic_", PCHIC.format(ic=[6, 0], x=[0, 1, 2, 3], nwk=6), "IC OUT OF RANGE", -4),
    ("dpchic_", PCHIC.format(ic=[0, -6], x=[0, 1, 2, 3], nwk=6), "IC OUT OF RANGE", -5),
    ("dpchic_", PCHIC.format(ic=[7, -8], x=[0, 1, 2, 3], nwk=6), "IC OUT OF RANGE", -6),
    ("dpchic_", PCHIC.format(ic=[0, 0], x=[0, 1, 2, 3], nwk=5), "WORK ARRAY TOO SMALL", -7),
    ("dpchsw_", "R(1), i(1), R(0), R(0), R(1), R(1), C.byref(ierr)", "D1 AND/OR D2 INVALID", -1),
    ("dpchsw_", "R(1), i(1), R(1), R(2), R(1), R(1), C.byref(ierr)", "D1 AND/OR D2 INVALID", -1),
    ("dpchdf_", "i(2), ptr(A([0, 1])), ptr(A([1, 1])), C.byref(ierr)", "K LESS THAN THREE", -1),
    # the steps keep within their arrays: too few points or a stride below 1
    ("dpchci_", STEP.format(n=1, inc=1), LESS_THAN_TWO, -1),
    ("dpchcs_", "R(1), " + STEP.format(n=3, inc=-1) + ", C.byref(ierr)", "INCREMENT LESS THAN ONE",
     -2),
    ("dpchce_", "ptr(arr([-1, -1], np.int32)), ptr(A([1, 1])), i(1), ptr(A([0])), ptr(A([])), "
     "ptr(A([])), ptr(A([7])), i(1), C.byref(ierr)", LESS_THAN_TWO, -1),
]


# the single twins of the routines with a table above report through the same code: one case
# each shows their names
SINGLE_ERRORS = [e for e in ERRORS if e[0] not in ("dpchim_", "dpchsp_")] + [ERRORS[0], ERRORS[4]]


@pytest.mark.parametrize("dname,args,message,number,dt",
                         [(*e, DOUBLE) for e in ERRORS] + [(*e, SINGLE) for e in SINGLE_ERRORS])
def test_every_input_error_ends_the_process_with_its_report(dname, args, message, number, dt):
    r_ = run_lib(call(dname, dt, args))
    assert r_.returncode == 1, r_.stdout + r_.stderr
    assert r_.stdout == abort_report(name(dname, dt), message, number)


def test_errors_leave_the_derivatives_untouched_when_they_return():
    r_ = run_lib("""
        lib.xsetf_(i(0))
        for n_, x, nwk, ic in ((1, [0, 1, 2, 3], 6, [0, 0]), (4, [0, 1, 1, 2], 6, [0, 0]),
                               (4, [0, 1, 2, 3], 6, [6, 0]), (4, [0, 1, 2, 3], 5, [0, 0]),
                               (4, [0, 1, 2, 3], 6, [0, 0])):
            dd = np.full(4, 7.0)
            lib.dpchic_(ptr(arr(ic, np.int32)), ptr(arr([0, 0])), d(0), i(n_), ptr(arr(x)),
                        ptr(arr([0, 1, 0, 1])), ptr(dd), i(1), ptr(np.zeros(8)), i(nwk),
                        C.byref(ierr))
            print(ierr.value, (dd == 7).all())
        dd = np.full(2, 7.0)
        lib.dpchce_(ptr(arr([-1, -1], np.int32)), ptr(arr([1, 1])), i(1), ptr(arr([0])),
                    ptr(arr([])), ptr(arr([])), ptr(dd), i(1), C.byref(ierr))
        print(ierr.value, (dd == 7).all())
    """)
    assert r_.stdout == ("-1 True\n-3 True\n-4 True\n-7 True\n0 False\n-1 True\n"
                         "returned -1\n")
