"""B-spline form of piecewise cubic Hermite functions and B-spline evaluation in both precisions,
called through the exported symbols: against scipy's BSpline and CubicHermiteSpline and numpy's
search, the reports of bad input in child processes."""
import ctypes as C

import numpy as np
import pytest
from scipy.interpolate import BSpline, CubicHermiteSpline

from conftest import errstat, errtext
from pchip_lib import (ACCURACY, DOUBLE, PRECISIONS, abort_report, arr, call, i, lib, ptr, r,
                       random_table, run_lib, twin)


def pchbs(x, f, dd, knotyp, dt=DOUBLE, t=None, nknots=-5, incfd=1):
    """Knots, coefficients, nknots, ndim, kord and ierr of dpchbs_ (pchbs_); unwritten outputs
    keep -77."""
    n = len(x)
    x, f, dd = arr(x, dt), arr(f, dt), arr(dd, dt)
    t = np.full(2 * n + 4, -77, dt) if t is None else arr(t, dt).copy()
    bcoef = np.full(2 * n, -77, dt)
    nk, ndim, kord, ierr = (C.c_int32(v) for v in (nknots, -77, -77, -99))
    twin("dpchbs_", dt)(i(n), ptr(x), ptr(f), ptr(dd), i(incfd), i(knotyp), C.byref(nk), ptr(t),
                        ptr(bcoef), C.byref(ndim), C.byref(kord), C.byref(ierr))
    return t, bcoef, nk.value, ndim.value, kord.value, ierr.value


def bvalu(t, a, k, ideriv, xs, dt=DOUBLE, inbv=1):
    """Values of dbvalu_ (bvalu_) at the points xs, one search state carried along."""
    t, a = arr(t, dt), arr(a, dt)
    work, state = np.zeros(3 * k, dt), C.c_int32(inbv)
    values = [twin("dbvalu_", dt)(ptr(t), ptr(a), i(a.size), i(k), i(ideriv), r(v, dt),
                                  C.byref(state), ptr(work)) for v in xs]
    return np.array(values), state.value


def intrv(xt, v, ilo=1, dt=DOUBLE):
    xt = arr(xt, dt)
    lo, ileft, mflag = C.c_int32(ilo), C.c_int32(-9), C.c_int32(-9)
    twin("dintrv_", dt)(ptr(xt), i(xt.size), r(v, dt), C.byref(lo), C.byref(ileft),
                        C.byref(mflag))
    return ileft.value, mflag.value, lo.value


# ---------------------------------------------------------------- conversion

@pytest.mark.parametrize("dt", PRECISIONS)
@pytest.mark.parametrize("knotyp,first,last", [(0, 1.0, 7.0), (1, -1.0, 8.0), (2, 0.0, 9.0)])
def test_knots_of_each_type(knotyp, first, last, dt):
    x = [1.0, 3.0, 4.0, 6.0, 7.0]  # first interval 2, last 1
    t, _, nknots, ndim, kord, ierr = pchbs(x, [0] * 5, [0] * 5, knotyp, dt)
    interior = np.repeat(x, 2)
    np.testing.assert_array_equal(t, np.concatenate([[first] * 2, interior, [last] * 2]))
    assert (nknots, ndim, kord, ierr) == (14, 10, 4, 0)
    # the knot routine alone, and quadruple end knots for any other type
    for kind, ends in ((knotyp, (first, last)), (7, (1.0, 7.0)), (-3, (1.0, 7.0))):
        tk = np.zeros(14, dt)
        twin("dpchkt_", dt)(i(5), ptr(arr(x, dt)), i(kind), ptr(tk))
        np.testing.assert_array_equal(tk, np.concatenate([[ends[0]] * 2, interior, [ends[1]] * 2]))


def test_two_points_with_quadruple_end_knots():
    x1, x2, f1, f2, d1, d2 = 1.0, 4.0, 2.0, -1.0, 0.6, 1.5
    t, bcoef, *_, ierr = pchbs([x1, x2], [f1, f2], [d1, d2], 0)
    h = x2 - x1
    np.testing.assert_array_equal(t, [x1] * 4 + [x2] * 4)
    np.testing.assert_allclose(bcoef, [f1, f1 + h * d1 / 3, f2 - h * d2 / 3, f2], rtol=1e-15)
    assert ierr == 0


@pytest.mark.parametrize("dt", PRECISIONS)
@pytest.mark.parametrize("knotyp", [0, 1, 2])
def test_b_spline_reproduces_the_hermite_function(knotyp, dt):
    x, f = (v.astype(dt) for v in random_table(12, knotyp + 20))
    dd = np.random.default_rng(knotyp).normal(size=12).astype(dt)
    t, bcoef, nknots, ndim, kord, ierr = pchbs(x, f, dd, knotyp, dt)
    assert (nknots, ndim, kord, ierr) == (28, 24, 4, 0)
    hermite = CubicHermiteSpline(x.astype(float), f.astype(float), dd.astype(float))
    spline = BSpline(t.astype(float), bcoef.astype(float), 3)
    xs = np.linspace(x[0], x[-1], 301)
    scale = 1 + np.abs(f).max() + np.abs(dd).max()
    for nu in range(3):
        np.testing.assert_allclose(spline(xs, nu), hermite(xs, nu), rtol=0,
                                   atol=100 * ACCURACY[dt] * scale * 10**nu)
    # the library's evaluator on the converted spline, with its derivatives
    for ideriv in range(4):
        values, _ = bvalu(t, bcoef, 4, ideriv, xs.astype(dt), dt)
        ref = spline(xs.astype(dt).astype(float), ideriv)
        np.testing.assert_allclose(values, ref, rtol=0, atol=100 * ACCURACY[dt] * scale * 10**ideriv)


@pytest.mark.parametrize("dt", PRECISIONS)
def test_given_knots_stay_and_give_the_coefficients_of_their_type(dt):
    x, f = (v.astype(dt) for v in random_table(6, 2))
    dd = np.gradient(f)
    t1, b1, *_ = pchbs(x, f, dd, 1, dt)
    t, bcoef, nknots, ndim, kord, ierr = pchbs(x, f, dd, -1, dt, t=t1, nknots=16)
    np.testing.assert_array_equal(t, t1)
    np.testing.assert_array_equal(bcoef, b1)
    assert (nknots, ndim, kord, ierr) == (16, 12, 4, 0)


# ---------------------------------------------------------------- evaluation

def random_spline(k, n, seed):
    """Knots t(n + k), non-decreasing with interior knots of multiplicity up to k, and
    coefficients a(n)."""
    rng = np.random.default_rng(seed)
    while True:
        t = np.sort(rng.choice(np.arange(0.0, 12.0, 0.5), n + k))
        if np.all(np.unique(t, return_counts=True)[1] <= k) and t[k - 1] < t[n]:
            return t, rng.normal(size=n)


@pytest.mark.parametrize("dt", PRECISIONS)
@pytest.mark.parametrize("k,n", [(1, 5), (2, 6), (3, 9), (4, 12), (5, 10)])
def test_evaluation_against_scipy_in_any_order(k, n, dt):
    t, a = random_spline(k, n, 10 * k + n)
    t, a = t.astype(dt), a.astype(dt)
    xs = np.random.default_rng(k).uniform(t[k - 1], t[n], 200).astype(dt)
    xs = np.concatenate([xs, t[k - 1:n + 1]])  # every knot of the range, t(n+1) from the left
    ref = BSpline(t.astype(float), a.astype(float), k - 1, extrapolate=False)
    # at t(n+1) the limit from the left, also where t(n) = t(n+1)
    at = np.where(xs == t[n], np.nextafter(float(t[n]), -np.inf), xs.astype(float))
    for ideriv in range(k):
        for inbv in (1, 0, -4, n + 7):
            values, state = bvalu(t, a, k, ideriv, xs, dt, inbv)
            expected = ref(at, ideriv)
            np.testing.assert_allclose(values, expected, rtol=50 * ACCURACY[dt],
                                       atol=50 * ACCURACY[dt] * (1 + np.abs(expected).max()))
            assert 1 <= state <= n


@pytest.mark.parametrize("dt", PRECISIONS)
def test_highest_derivative_is_piecewise_constant(dt):
    # order 2: a broken line through the coefficients at t(2) ... t(n+1); its slopes
    t, a = np.array([0, 0, 1, 3, 3], dt), np.array([1, 3, -1], dt)
    values, _ = bvalu(t, a, 2, 1, [0, 0.5, 1, 2, 3], dt)
    np.testing.assert_array_equal(values, [2, 2, -2, -2, -2])


@pytest.mark.parametrize("dt", PRECISIONS)
@pytest.mark.parametrize("xt,v,ileft,mflag", [
    ([1, 2, 2, 2, 5], 2, 4, 0),          # a repeated knot: its last index
    ([1, 2, 2, 2, 5], 1.5, 1, 0),
    ([1, 2, 2, 2, 5], 0, 1, -1),
    ([1, 2, 2, 2, 5], 5, 5, 1),
    ([1, 2, 2, 2, 5], 9, 5, 1),
    ([3], 3, 1, 1), ([3], 4, 1, 1), ([3], 2, 1, -1)])
def test_interval_search_cases(xt, v, ileft, mflag, dt):
    for ilo in (1, 2, 4, 5, 9, 0, -2):
        assert intrv(xt, v, ilo, dt)[:2] == (ileft, mflag)


def test_interval_search_against_numpy():
    rng = np.random.default_rng(8)
    xt = np.sort(rng.choice(np.arange(0.0, 40.0), 60))
    ilo = 1
    for v in np.concatenate([rng.uniform(-5, 45, 300), xt]):
        ileft, mflag, ilo = intrv(xt, v, ilo)
        count = np.searchsorted(xt, v, side="right")  # entries <= v
        expected = -1 if count == 0 else 1 if count == xt.size else 0
        assert (ileft, mflag) == (max(count, 1), expected)
        assert 1 <= ilo <= xt.size


# ---------------------------------------------------------------- bad input

SPLINE = "ptr(A([0, 0, 0, 1, 2, 2, 2])), ptr(A([1, 2, 3, 4])), i({n}), i({k}), i({ideriv}), " \
    "R({x}), C.byref(C.c_int32(1)), ptr(A([0] * 9))"
BVALU_ERRORS = [
    (dict(n=4, k=0, ideriv=0, x=1), "K DOES NOT SATISFY K.GE.1"),
    (dict(n=2, k=3, ideriv=0, x=1), "N DOES NOT SATISFY N.GE.K"),
    (dict(n=4, k=3, ideriv=3, x=1), "IDERIV DOES NOT SATISFY 0.LE.IDERIV.LT.K"),
    (dict(n=4, k=3, ideriv=-1, x=1), "IDERIV DOES NOT SATISFY 0.LE.IDERIV.LT.K"),
    (dict(n=4, k=3, ideriv=0, x=-0.5), "X IS N0T GREATER THAN OR EQUAL TO T(K)"),
    (dict(n=4, k=3, ideriv=0, x="nan"), "X IS N0T GREATER THAN OR EQUAL TO T(K)"),
    (dict(n=4, k=3, ideriv=0, x=2.5), "X IS NOT LESS THAN OR EQUAL TO T(N+1)"),
    # t(1) = t(2): no interval of positive length left of t(n+1) from t(k) on
    (dict(n=1, k=1, ideriv=0, x=0), "A LEFT LIMITING VALUE CANNOT BE OBTAINED AT T(K)"),
]


@pytest.mark.parametrize("dt", PRECISIONS)
@pytest.mark.parametrize("args,message", BVALU_ERRORS)
def test_evaluation_errors_end_the_process_with_their_report(args, message, dt):
    r_ = run_lib(call("dbvalu_", dt, SPLINE.format(**args)))
    assert r_.returncode == 1, r_.stdout + r_.stderr
    assert r_.stdout == abort_report("DBVALU" if dt is DOUBLE else "BVALU", message, 2)


def padded_report(routine, message, number):
    """The conversion reports with library and routine names as 8-character fields."""
    return abort_report(routine, message, number).replace(
        f"ROUTINE {routine} IN LIBRARY SLATEC.", f"ROUTINE {routine:8s} IN LIBRARY SLATEC  .")


CONVERSION = "i(2), ptr(A([0, 1])), ptr(A([0, 1])), ptr(A([1, 1])), i(1), i({knotyp}), " \
    "C.byref(nk), ptr(t), ptr(b), C.byref(ndim), C.byref(kord), C.byref(ierr)"


@pytest.mark.parametrize("dt", PRECISIONS)
@pytest.mark.parametrize("knotyp,nknots,message,number", [
    (3, 8, "KNOTYP GREATER THAN 2", -1), (-1, 7, "KNOTYP.LT.0 AND NKNOTS.NE.(2*N+4)", -2)])
def test_conversion_errors(knotyp, nknots, message, number, dt):
    body = ("nk, ndim, kord = C.c_int32({nknots}), C.c_int32(0), C.c_int32(0)\n"
            "t, b = np.full(8, 5, {t}), np.full(4, 5, {t})\n").format(
                nknots=nknots, t="np.float64" if dt is DOUBLE else "np.float32")
    routine = "DPCHBS" if dt is DOUBLE else "PCHBS"
    r_ = run_lib(body + call("dpchbs_", dt, CONVERSION.format(knotyp=knotyp)))
    assert r_.returncode == 1
    assert r_.stdout == padded_report(routine, message, number)
    # when errors return: t, b and nknots untouched, ndim and kord set
    r_ = run_lib("lib.xsetf_(i(0))\n" + body + call("dpchbs_", dt, CONVERSION.format(
        knotyp=knotyp)) + "\nprint(nk.value, ndim.value, kord.value, t.tolist(), b.tolist())")
    assert r_.stdout == f"{nknots} 4 4 {[5.0] * 8} {[5.0] * 4}\nreturned {number}\n"


def test_a_point_beyond_the_last_knot_gives_0_when_errors_return():
    text = call("dbvalu_", DOUBLE, SPLINE.format(n=4, k=3, ideriv=0, x="2 + 1e-15"))
    r_ = run_lib("lib.xsetf_(i(0))\nlib.dbvalu_.restype = C.c_double\n"
                 + text.replace("lib.dbvalu_(", "v = lib.dbvalu_(") + "\nprint(v)")
    assert r_.stdout == "0.0\nreturned -99\n"


@pytest.mark.usefixtures("clean_register")
@pytest.mark.parametrize("dt", PRECISIONS)
def test_what_would_leave_the_arrays_is_recorded_in_the_register(dt):
    one = arr([2.0], dt)
    # one breakpoint: no interval widths to read
    t, bcoef, nknots, ndim, kord, ierr = pchbs([2.0], [1.0], [0.0], 0, dt)
    assert (ierr, ndim, kord, nknots) == (-3, 2, 4, -5) and set(t) == {-77}
    assert errstat() == -3 and "n < 2" in errtext()
    lib.errorhandling_rsxerr(C.byref(C.c_int32()), C.byref(C.c_int8(1)))
    assert pchbs([1.0, 2.0], [1.0, 2.0], [0.0, 0.0], 0, dt, incfd=0)[5] == -3
    lib.errorhandling_rsxerr(C.byref(C.c_int32()), C.byref(C.c_int8(1)))
    tk = np.full(6, -77, dt)
    twin("dpchkt_", dt)(i(1), ptr(one), i(0), ptr(tk))
    assert set(tk) == {-77} and errstat() == -3
    lib.errorhandling_rsxerr(C.byref(C.c_int32()), C.byref(C.c_int8(1)))
    assert intrv([], 1.0, dt=dt) == (1, -1, 1) and errstat() == -3
    lib.errorhandling_rsxerr(C.byref(C.c_int32()), C.byref(C.c_int8(1)))
    # knots out of order put the interval found left of t(k)
    values, _ = bvalu([0, 2, 1, 3, 4, 5, 6], [1, 2, 3, 4], 3, 0, [1.5], dt)
    assert values.tolist() == [0.0] and errstat() == -3 and "knots" in errtext()
    lib.errorhandling_rsxerr(C.byref(C.c_int32()), C.byref(C.c_int8(1)))
    # or a point above t(k) but below t(1), found from a search state high up
    values, _ = bvalu([5, 0, 0.5, 0.6, 0.7, 0.8], [1, 2, 3, 4], 2, 0, [0.1], dt, inbv=4)
    assert values.tolist() == [0.0] and errstat() == -3 and "knots" in errtext()
