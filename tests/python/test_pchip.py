"""Evaluation and integration of piecewise cubic Hermite functions in both precisions, called
through the exported symbols: against scipy's interpolants and closed forms, the reports of bad
input in child processes."""
import ctypes as C

import numpy as np
import pytest
from scipy.interpolate import CubicHermiteSpline, PchipInterpolator

from pchip_lib import (ACCURACY, DOUBLE, PRECISIONS, SINGLE, SUMMARY_HEAD, abort_report, arr, call,
                       d, i, lib, name, pchfd, pchim, ptr, r, random_table, run_lib, summary_line,
                       twin)


def pchfe(x, f, dd, xe, skip=0):
    x, f, dd, xe = arr(x), arr(f), arr(dd), arr(xe)
    fe, s, ierr = np.zeros(xe.size), C.c_int32(skip), C.c_int32(-99)
    lib.dpchfe_(i(x.size), ptr(x), ptr(f), ptr(dd), i(1), C.byref(s), i(xe.size), ptr(xe),
                ptr(fe), C.byref(ierr))
    return fe, ierr.value, s.value


def pchia(x, f, dd, a, b, skip=0, dt=DOUBLE):
    x, f, dd = arr(x, dt), arr(f, dt), arr(dd, dt)
    s, ierr = C.c_int32(skip), C.c_int32(-99)
    r_ = twin("dpchia_", dt)(i(x.size), ptr(x), ptr(f), ptr(dd), i(1), C.byref(s), r(a, dt),
                             r(b, dt), C.byref(ierr))
    return r_, ierr.value


def pchid(x, f, dd, ia, ib, dt=DOUBLE):
    x, f, dd = arr(x, dt), arr(f, dt), arr(dd, dt)
    s, ierr = C.c_int32(0), C.c_int32(-99)
    r_ = twin("dpchid_", dt)(i(x.size), ptr(x), ptr(f), ptr(dd), i(1), C.byref(s), i(ia), i(ib),
                             C.byref(ierr))
    return r_, ierr.value


def pchcm(x, f, dd, incfd=1, dt=DOUBLE):
    """The monotonicity codes ismon(n) and ierr of dpchcm_ (pchcm_) with its own n."""
    x, f, dd = arr(x, dt), arr(f, dt), arr(dd, dt)
    ismon, s, ierr = np.full(x.size, -99, np.int32), C.c_int32(0), C.c_int32(-99)
    twin("dpchcm_", dt)(i(x.size), ptr(x), ptr(f), ptr(dd), i(incfd), C.byref(s), ptr(ismon),
                        C.byref(ierr))
    assert s.value == 1
    return ismon.tolist(), ierr.value


# ---------------------------------------------------------------- evaluation

def test_evaluation_counts_extrapolated_points():
    fe, ierr, skip = pchfe([0, 1], [0, 1], [1, 1], [-1, 0.5, 2])
    np.testing.assert_allclose(fe, [-1, 0.5, 2])
    assert (ierr, skip) == (2, 1)


@pytest.mark.parametrize("order", ["ascending", "descending", "scattered"])
def test_evaluation_against_scipy_in_any_order(order):
    x, f = random_table(30, 7)
    dd, _ = pchim(x, f)
    xe = np.linspace(x[0] - 1, x[-1] + 1, 500)
    outside = np.count_nonzero((xe < x[0]) | (xe > x[-1]))
    xe = {"ascending": xe, "descending": xe[::-1],
          "scattered": np.random.default_rng(1).permutation(xe)}[order]
    fe, ierr, _ = pchfe(x, f, dd, np.append(xe, x))
    np.testing.assert_allclose(fe, PchipInterpolator(x, f)(np.append(xe, x)), rtol=1e-12,
                               atol=1e-12)
    if order != "scattered":
        assert ierr == outside
    else:
        assert ierr >= outside


def test_evaluation_of_points_out_of_order_counts_a_right_point_twice():
    x = [0, 2, 4, 6]
    f = [0.0, 1.0, 3.0, 2.0]
    dd, _ = pchim(x, f)
    fe, ierr, _ = pchfe(x, f, dd, [5, 1, 7])
    np.testing.assert_allclose(fe, PchipInterpolator(x, f)([5, 1, 7]), rtol=1e-13)
    assert ierr == 2


def scan_count(x, xe):
    """The extrapolation count of the interval-by-interval scan: a run of points below x(ir)
    goes to interval ir - 1, all remaining points to the last one; a point left of the run's
    interval backs the scan up to the interval holding it."""
    n, ne = len(x), len(xe)
    ierr, jfirst, ir = 0, 0, 1  # 0-based: the interval [x(ir-1), x(ir)]
    while jfirst < ne:
        j = next((q for q in range(jfirst, ne) if xe[q] >= x[ir]), ne) if ir < n - 1 else ne
        if j > jfirst:
            run = [v - x[ir - 1] for v in xe[jfirst:j]]
            left = sum(t < 0 for t in run)
            right = sum(t > x[ir] - x[ir - 1] for t in run)
            if ir == n - 1:
                ierr += right
            if left and ir == 1:
                ierr += left
            elif left:
                j = next(q for q in range(jfirst, j) if xe[q] < x[ir - 1])
                i = next((q for q in range(ir) if xe[j] < x[q]), ir)
                ir = max(0, i - 1)
            jfirst = j
        ir += 1
        if ir > n - 1:
            break
    return ierr


@pytest.mark.parametrize("n,seed", [(2, 1), (3, 2), (4, 3), (9, 4), (9, 5)])
def test_evaluation_count_of_scattered_points(n, seed):
    rng = np.random.default_rng(seed)
    x, f = random_table(n, seed)
    dd, _ = pchim(x, f)
    xe = rng.uniform(x[0] - 1, x[-1] + 1, 60)
    xe[rng.integers(0, 60, 5)] = np.nan
    fe, ierr, _ = pchfe(x, f, dd, xe)
    ok = ~np.isnan(xe)
    np.testing.assert_allclose(fe[ok], PchipInterpolator(x, f)(xe[ok]), rtol=1e-12, atol=1e-12)
    assert np.isnan(fe[~ok]).all()
    assert ierr == scan_count(x, xe)


def test_evaluation_at_breakpoints_returns_the_data():
    x, f = random_table(9, 3)
    dd, _ = pchim(x, f)
    fe, ierr, _ = pchfe(x, f, dd, x)
    np.testing.assert_allclose(fe, f, rtol=1e-14, atol=1e-15)
    assert ierr == 0


def test_evaluation_with_nan_points_gives_nan_there():
    fe, ierr, _ = pchfe([0, 1, 2], [0, 1, 4], [0, 2, 4], [np.nan, 0.5, np.nan, 1.5])
    assert np.isnan(fe[[0, 2]]).all() and np.isfinite(fe[[1, 3]]).all()
    assert ierr == 0


def test_one_cubic_counts_points_on_each_side():
    xe = arr([-1.0, 0.0, 0.5, 1.0, 3.0])
    fe, nxt, ierr = np.zeros(5), np.zeros(2, np.int32), C.c_int32(-99)
    lib.dchfev_(d(0), d(1), d(0), d(1), d(0), d(3), i(5), ptr(xe), ptr(fe), ptr(nxt),
                C.byref(ierr))
    np.testing.assert_allclose(fe, xe**3)  # slopes 0 and 3 on [0, 1]: the cubic x^3
    assert nxt.tolist() == [1, 1] and ierr.value == 0


# ---------------------------------------------------------------- integration

@pytest.mark.parametrize("a,b,value,ierr", [
    (0, 1, 0.5, 0), (1, 0, -0.5, 0), (0, 2, 2.0, 2), (-1, 0, -0.5, 1), (-1, 2, 1.5, 3),
    (0.5, 0.5, 0.0, 0), (3, 3, 0.0, 3)])
def test_integral_of_a_line(a, b, value, ierr):
    assert pchia([0, 1], [0, 1], [1, 1], a, b) == (pytest.approx(value, abs=1e-15), ierr)


@pytest.mark.parametrize("dt", PRECISIONS)
@pytest.mark.parametrize("a,b", [(0.3, 0.4), (1.7, 4.2), (4.2, 1.7), (-3, 40), (2.0, 9.0),
                                 (13.5, 11.0), (-2, 0.2), (9.9, 30)])
def test_integral_against_scipy(a, b, dt):
    x, f = (v.astype(dt) for v in random_table(15, 11))
    dd, _ = pchim(x, f, dt)
    value, _ = pchia(x, f, dd, a, b, dt=dt)
    ref = PchipInterpolator(x.astype(float), f.astype(float)).integrate(dt(a), dt(b))
    assert value == pytest.approx(ref, rel=10 * ACCURACY[dt], abs=10 * ACCURACY[dt])


# 3x^3 - 6x^2 on the breakpoints -4, -2, -0.9, 0, 0.9, 2, 4 with its exact derivatives: every
# range, also beyond the breakpoints, has the integral b^3 (0.75 b - 2) - a^3 (0.75 a - 2).
CUBIC_X = [-4, -2, -0.9, 0, 0.9, 2, 4]


@pytest.mark.parametrize("dt", PRECISIONS)
@pytest.mark.parametrize("a,b,ierr", [
    (-3, 3, 0), (3, -3, 0), (-0.5, 1, 0), (-0.5, 5, 2), (-5, -3, 1), (-5, 5, 3), (-6, -5, 3),
    (6, 5, 3), (-1.5, -1, 0), (-3, -2.5, 0), (3, 3.5, 0), (0.5, 0.5, 0), (7, 7, 3)])
def test_integral_of_a_cubic_is_exact_inside_and_beyond_the_breakpoints(a, b, ierr, dt):
    x = np.array(CUBIC_X, dt)
    f, dd = 3 * x**3 - 6 * x**2, 9 * x**2 - 12 * x
    value, code = pchia(x, f, dd, a, b, dt=dt)
    a, b = float(dt(a)), float(dt(b))
    exact = b**3 * (0.75 * b - 2) - a**3 * (0.75 * a - 2)
    assert code == ierr
    assert value == pytest.approx(exact, rel=10 * ACCURACY[dt], abs=1e3 * ACCURACY[dt])
    # the easy driver integrates the same
    s = C.c_int32(-99)
    easy = twin("dpchqa_", dt)(i(7), ptr(x), ptr(f), ptr(dd), r(a, dt), r(b, dt), C.byref(s))
    assert (easy, s.value) == (value, code)


def test_integral_with_a_nan_limit_is_nan():
    value, _ = pchia([0, 1, 2, 3], [0, 1, 0, 1], [0, 0, 0, 0], np.nan, 2.5)
    assert np.isnan(value)


@pytest.mark.parametrize("dt", PRECISIONS)
def test_integral_between_breakpoints(dt):
    x, f = (v.astype(dt) for v in random_table(8, 4))
    dd, _ = pchim(x, f, dt)
    ref = PchipInterpolator(x.astype(float), f.astype(float)).integrate(x[1], x[6])
    tol = 10 * ACCURACY[dt]
    assert pchid(x, f, dd, 2, 7, dt) == (pytest.approx(ref, rel=tol), 0)
    assert pchid(x, f, dd, 7, 2, dt) == (pytest.approx(-ref, rel=tol), 0)
    assert pchid(x, f, dd, 3, 3, dt) == (0.0, 0)


@pytest.mark.parametrize("dt", PRECISIONS)
def test_integral_of_one_cubic(dt):
    # slopes 0 and 3 on [0, 1] give x^3; its integral from -1 to 2 is (16 - 1) / 4
    chfie = twin("dchfie_", dt)
    assert chfie(*(r(v, dt) for v in (0, 1, 0, 1, 0, 3, -1, 2))) == pytest.approx(3.75)
    assert chfie(*(r(v, dt) for v in (1, 1, 0, 1, 0, 3, -1, 2))) == 0.0


@pytest.mark.parametrize("dt", PRECISIONS)
def test_integral_within_one_interior_interval_is_that_of_its_cubic(dt):
    x, f = (v.astype(dt) for v in random_table(9, 5))
    dd, _ = pchim(x, f, dt)
    a, b = x[3] + 0.2 * (x[4] - x[3]), x[3] + 0.7 * (x[4] - x[3])
    piece = twin("dchfie_", dt)(*(r(v, dt) for v in (x[3], x[4], f[3], f[4], dd[3], dd[4], b, a)))
    assert pchia(x, f, dd, b, a, dt=dt) == (piece, 0)


def test_easy_integration_driver():
    ierr = C.c_int32(-99)
    x, f, dd = arr([0, 1, 2]), arr([0, 1, 2]), arr([1, 1, 1])
    assert lib.dpchqa_(i(3), ptr(x), ptr(f), ptr(dd), d(0), d(2.5), C.byref(ierr)) == 3.125
    assert ierr.value == 2


# ---------------------------------------------------------------- monotonicity

@pytest.mark.parametrize("dt", PRECISIONS)
@pytest.mark.parametrize("d1,d2,delta,code", [
    (0, 0, 0, 0), (1, 0, 0, 2), (0, -1, 0, 2),          # zero secant
    (1, 1, 1, 1), (-1, -1, -1, -1), (-1, 1, 1, 2),      # inside the square, a negative ratio
    (2.9, 2.9, 1, 1), (-5.8, -5.8, -2, -1),            # a = b = 2.9
    (3, 3, 1, 3), (-6, -6, -2, -3),                     # a = b = 3: on the ellipse
    (4, 4, 1, 2), (3, 0, 1, 3), (5, 0, 1, 2),           # (3, 0) on the ellipse, (5, 0) outside
    (3.5, 0.5, 1, 1), (0.5, 3.5, -1, 2)])               # inside the ellipse; ratios below 0
def test_monotonicity_code_of_one_piece(d1, d2, delta, code, dt):
    assert twin("dchfcm_", dt)(r(d1, dt), r(d2, dt), r(delta, dt)) == code


# codes of a piece with secant slope s and slopes (k s, 0) on [0, 1]; 0 a flat piece
PIECES = {-3: (-1, 3), -1: (-1, 1), 0: (0, 0), 1: (1, 1), 3: (1, 3), 2: (1, 5)}
# overall code after a piece of the row's code and a piece of the column's code
FOLD = {-3: [-3, -3, -3, 2, 2, 2], -1: [-3, -1, -1, 2, 2, 2], 0: [-3, -1, 0, 1, 3, 2],
        1: [2, 2, 1, 1, 3, 2], 3: [2, 2, 3, 3, 3, 2], 2: [2, 2, 2, 2, 2, 2]}


@pytest.mark.parametrize("dt", PRECISIONS)
@pytest.mark.parametrize("first", list(FOLD))
def test_overall_code_folds_the_pieces(first, dt):
    for second, expected in zip([-3, -1, 0, 1, 3, 2], FOLD[first]):
        # pieces: the first code, a flat piece, the second code mirrored (slopes (0, k s))
        (s1, k1), (s2, k2) = PIECES[first], PIECES[second]
        x = [0, 1, 2, 3]
        f = [0, s1, s1, s1 + s2]
        dd = [k1 * s1, 0, 0, k2 * s2]
        ismon, ierr = pchcm(x, f, dd, dt=dt)
        assert (ismon, ierr) == ([first, 0, second, expected], 0)


def dense_directions(x, f, dd):
    """Signs of numpy.diff of the cubic Hermite interpolant sampled densely on each interval."""
    spline = CubicHermiteSpline(x, f, dd)
    out = []
    for lo, hi in zip(x[:-1], x[1:]):
        steps = np.diff(spline(np.linspace(lo, hi, 4001)))
        out.append({int(v) for v in np.sign(steps[steps != 0])})
    return out


def test_codes_agree_with_the_data_and_the_sampled_interpolant():
    rng = np.random.default_rng(3)
    x = np.cumsum(rng.uniform(0.2, 1.0, 400))
    f = np.cumsum(rng.normal(size=400))
    delta = np.diff(f) / np.diff(x)
    # slopes that make some pieces clearly monotone and others clearly not
    dd = np.append(delta, delta[-1]) * rng.choice([0.5, 1.0, 2.0, 6.0, -1.0], 400)
    ismon, ierr = pchcm(x, f, dd)
    assert ierr == 0
    for code, sign, seen in zip(ismon[:-1], np.sign(delta), dense_directions(x, f, dd)):
        if code in (1, -1):
            assert code == sign and seen == {code}
        elif code == 2:
            assert seen == {1, -1}
    assert ismon[-1] == 2 and set(np.sign(np.diff(f))) == {1.0, -1.0}


@pytest.mark.parametrize("dt", PRECISIONS)
def test_monotone_data_with_shape_preserving_slopes_are_monotone(dt):
    x, _ = random_table(30, 6)
    f = np.cumsum(np.random.default_rng(6).uniform(0.0, 1.0, 30))
    f[10:13] = f[10]  # a flat stretch
    x, f = x.astype(dt), f.astype(dt)
    dd, _ = pchim(x, f, dt)
    ismon, ierr = pchcm(x, f, dd, dt=dt)
    expected = [1 if s > 0 else 0 for s in np.diff(f)]
    assert (ismon, ierr) == (expected + [1], 0)
    assert all(seen <= {1} for seen in dense_directions(x.astype(float), f.astype(float),
                                                        dd.astype(float)))
    negated, _ = pchcm(x, -f, -dd, dt=dt)
    assert negated == [-c for c in ismon]


def test_monotonicity_with_a_stride_reads_every_incfd_th_value():
    f = [1, 2, 3, 2, 3, 4, 3, 4, 5, 4, 5, 6, 5, 6, 7, 6]
    dd = [2 if k % 3 == 1 else 0 for k in range(16)]
    x16 = arr(range(1, 17))
    for incfd, expected in ((2, [1, 2, 2, 1, 2, 2, 1, 2]), (3, [1, 1, 1, 1, 1, 1])):
        n = len(expected)
        ismon, s, ierr = np.zeros(n, np.int32), C.c_int32(0), C.c_int32(-9)
        lib.dpchcm_(i(n), ptr(x16), ptr(arr(f)), ptr(arr(dd)), i(incfd), C.byref(s), ptr(ismon),
                    C.byref(ierr))
        assert ismon.tolist() == expected
        assert ismon.tolist() == pchcm(range(1, n + 1), f[::incfd], dd[::incfd])[0]


# ---------------------------------------------------------------- values and derivatives

@pytest.mark.parametrize("dt", PRECISIONS)
@pytest.mark.parametrize("order", ["ascending", "descending", "scattered"])
def test_values_and_derivatives_against_scipy(order, dt):
    x, f = (v.astype(dt) for v in random_table(20, 8))
    dd, _ = pchim(x, f, dt)
    ref = PchipInterpolator(x.astype(float), f.astype(float))
    xe = np.linspace(x[0] - 1, x[-1] + 1, 300).astype(dt)
    outside = np.count_nonzero((xe < x[0]) | (xe > x[-1]))
    xe = arr({"ascending": xe, "descending": xe[::-1],
              "scattered": np.random.default_rng(2).permutation(xe)}[order], dt)
    fe, de, ierr, skip = pchfd(x, f, dd, xe, dt)
    tol = {"rtol": ACCURACY[dt], "atol": 10 * ACCURACY[dt]}
    np.testing.assert_allclose(fe, ref(xe.astype(float)), **tol)
    np.testing.assert_allclose(de, ref.derivative()(xe.astype(float)), **tol)
    assert ierr == outside if order != "scattered" else ierr >= outside
    assert skip == 1
    # the easy driver: stride 1, no validation
    fv, dv, code = np.zeros_like(xe), np.zeros_like(xe), C.c_int32(-99)
    twin("dpchev_", dt)(i(20), ptr(x), ptr(f), ptr(dd), i(xe.size), ptr(xe), ptr(fv), ptr(dv),
                        C.byref(code))
    np.testing.assert_array_equal(fv, fe)
    np.testing.assert_array_equal(dv, de)
    assert code.value == ierr


@pytest.mark.parametrize("dt", PRECISIONS)
def test_breakpoints_give_the_data_and_only_points_beyond_count(dt):
    x, f = (v.astype(dt) for v in random_table(6, 9))
    dd, _ = pchim(x, f, dt)
    xe = np.append(x, np.nextafter(x[-1], dt(np.inf)))
    fe, de, ierr, _ = pchfd(x, f, dd, xe, dt)
    # an interior breakpoint starts the cubic on its right: the data exactly
    np.testing.assert_array_equal(fe[:-2], f[:-1])
    np.testing.assert_array_equal(de[:-2], dd[:-1])
    np.testing.assert_allclose([fe[-2], de[-2]], [f[-1], dd[-1]], rtol=10 * ACCURACY[dt])
    assert ierr == 1  # x(n) is not counted, the point just above it is


@pytest.mark.parametrize("dt", PRECISIONS)
def test_points_out_of_order_are_evaluated_on_their_own_intervals(dt):
    x, f = [0, 2, 4, 6], [0.0, 1.0, 3.0, 2.0]
    dd, _ = pchim(x, f)
    fe, de, ierr, _ = pchfd(x, f, dd, [5, 1, 7], dt)
    ref = PchipInterpolator(x, f)
    np.testing.assert_allclose(fe, ref([5, 1, 7]), rtol=ACCURACY[dt])
    np.testing.assert_allclose(de, ref.derivative()([5, 1, 7]), rtol=ACCURACY[dt])
    assert ierr == 2  # the point 7 is counted on each visit of the last interval


@pytest.mark.parametrize("dt", PRECISIONS)
def test_values_alone_are_those_with_derivatives(dt):
    x, f = (v.astype(dt) for v in random_table(7, 4))
    dd, _ = pchim(x, f, dt)
    xe = np.linspace(x[0] - 0.5, x[-1] + 0.5, 40).astype(dt)
    fd, _, ierr, _ = pchfd(x, f, dd, xe, dt)
    fe, s, code = np.zeros_like(xe), C.c_int32(0), C.c_int32(-99)
    twin("dpchfe_", dt)(i(7), ptr(x), ptr(f), ptr(dd), i(1), C.byref(s), i(40), ptr(xe), ptr(fe),
                        C.byref(code))
    np.testing.assert_array_equal(fe, fd)
    assert code.value == ierr


def one_cubic(x1, x2, xe, dt, derivatives=True):
    """x^3 through the piece with ends x1, x2: values, derivatives, next and ierr."""
    xe = arr(xe, dt)
    fe, de, nxt, ierr = np.zeros_like(xe), np.zeros_like(xe), np.zeros(2, np.int32), C.c_int32(-9)
    ends = [r(v, dt) for v in (x1, x2, x1**3, x2**3, 3 * x1**2, 3 * x2**2)]
    if derivatives:
        twin("dchfdv_", dt)(*ends, i(xe.size), ptr(xe), ptr(fe), ptr(de), ptr(nxt),
                            C.byref(ierr))
    else:
        twin("dchfev_", dt)(*ends, i(xe.size), ptr(xe), ptr(fe), ptr(nxt), C.byref(ierr))
    return fe, de, nxt.tolist(), ierr.value


@pytest.mark.parametrize("dt", PRECISIONS)
@pytest.mark.parametrize("x1,x2", [(0.0, 1.0), (1.0, 0.0)])
def test_one_cubic_with_derivatives(x1, x2, dt):
    xe = [-1.0, 0.0, 0.5, 1.0, 3.0]
    fe, de, nxt, ierr = one_cubic(x1, x2, xe, dt)
    np.testing.assert_allclose(fe, np.power(xe, 3), rtol=ACCURACY[dt], atol=ACCURACY[dt])
    np.testing.assert_allclose(de, 3 * np.square(xe), rtol=ACCURACY[dt], atol=ACCURACY[dt])
    # an end point counts on neither side; with x1 > x2 next(1) counts the points left of x2
    assert (nxt, ierr) == ([1, 1], 0)
    assert one_cubic(x1, x2, xe, dt, derivatives=False)[::2] == (pytest.approx(fe), [1, 1])


# ---------------------------------------------------------------- bad input

def test_input_error_prints_the_report_and_ends_with_status_1():
    r_ = run_lib("lib.dpchfe_(i(2), ptr(arr([0, 0])), ptr(arr([0, 1])), ptr(arr([1, 1])), i(1), "
                 "C.byref(C.c_int32(0)), i(1), ptr(arr([0.5])), ptr(arr([0.0])), C.byref(ierr))")
    assert r_.returncode == 1
    assert r_.stdout == abort_report("DPCHFE", "X-ARRAY NOT STRICTLY INCREASING", -3)


TABLE = "i({n}), ptr(A({x})), ptr(A([0, 1])), ptr(A([1, 1]))"
POINTS = "i({ne}), ptr(A([0.5])), ptr(A([0])), ptr(A([0]))"
FD = TABLE + ", i(1), C.byref(C.c_int32({skip})), " + POINTS + ", C.byref(ierr)"
FE = TABLE + ", i(1), C.byref(C.c_int32({skip})), i({ne}), ptr(A([0.5])), ptr(A([0])), " \
    "C.byref(ierr)"
EV = TABLE + ", " + POINTS + ", C.byref(ierr)"
PIECE = "R({x1}), R({x2}), R(0), R(1), R(0), R(0), i({ne}), ptr(A([0.5])), ptr(A([0]))"
DV = PIECE + ", ptr(A([0])), ptr(np.zeros(2, np.int32)), C.byref(ierr)"
EVP = PIECE + ", ptr(np.zeros(2, np.int32)), C.byref(ierr)"
CM = TABLE + ", i({incfd}), C.byref(C.c_int32({skip})), ptr(np.zeros(2, np.int32)), " \
    "C.byref(ierr)"
FEWER = "NUMBER OF DATA POINTS LESS THAN TWO"
NO_POINTS = "NUMBER OF EVALUATION POINTS LESS THAN ONE"


EVALUATION_ERRORS = [
    ("dpchfd_", FD.format(n=2, x=[0, 1], skip=1, ne=0), NO_POINTS, -4),
    ("dpchfd_", FD.format(n=2, x=[1, 0], skip=0, ne=1), "X-ARRAY NOT STRICTLY INCREASING", -3),
    ("dpchfe_", FE.format(n=2, x=[0, 1], skip=1, ne=0), NO_POINTS, -4),
    # skip true: n is still checked, so that x(2) is not read
    ("dpchfe_", FE.format(n=1, x=[0], skip=1, ne=1), FEWER, -1),
    ("dpchev_", EV.format(n=1, x=[0], ne=1), FEWER, -1),
    ("dpchev_", EV.format(n=2, x=[0, 1], ne=-3), NO_POINTS, -4),
    ("dchfdv_", DV.format(x1=0, x2=1, ne=0), NO_POINTS, -1),
    ("dchfdv_", DV.format(x1=1, x2=1, ne=1), "INTERVAL ENDPOINTS EQUAL", -2),
    ("dchfev_", EVP.format(x1=1, x2=1, ne=1), "INTERVAL ENDPOINTS EQUAL", -2),
    ("dpchid_", "i(2), ptr(A([0, 1])), ptr(A([0, 1])), ptr(A([1, 1])), i(1), "
                "C.byref(C.c_int32(0)), i(1), i(3), C.byref(ierr)", "IA OR IB OUT OF RANGE", -4),
    # the easy driver passes skip true: one point is reported, not x(2) read
    ("dpchqa_", "i(1), ptr(A([0])), ptr(A([0])), ptr(A([1])), R(0), R(1), C.byref(ierr)",
     FEWER, -1),
    ("dpchia_", "i(1), ptr(A([0])), ptr(A([0])), ptr(A([1])), i(1), C.byref(C.c_int32(1)), "
                "R(0), R(1), C.byref(ierr)", FEWER, -1),
    ("dpchia_", "i(2), ptr(A([0, 1])), ptr(A([0, 1])), ptr(A([1, 1])), i(0), "
                "C.byref(C.c_int32(1)), R(0), R(1), C.byref(ierr)", "INCREMENT LESS THAN ONE", -2),
    ("dpchcm_", CM.format(n=1, x=[0], incfd=1, skip=1), FEWER, -1),
    ("dpchcm_", CM.format(n=2, x=[0, 1], incfd=0, skip=0), "INCREMENT LESS THAN ONE", -2),
    ("dpchcm_", CM.format(n=2, x=[1, 1], incfd=1, skip=0), "X-ARRAY NOT STRICTLY INCREASING",
     -3),
]


@pytest.mark.parametrize("dname,args,message,number,dt", [(*e, dt) for e in EVALUATION_ERRORS
                                                          for dt in PRECISIONS])
def test_every_input_error_ends_the_process_with_its_report(dname, args, message, number, dt):
    routine = {"dpchev_": "dpchfd_", "dpchqa_": "dpchia_"}.get(dname, dname)
    r_ = run_lib(call(dname, dt, args))
    assert r_.returncode == 1, r_.stdout + r_.stderr
    assert r_.stdout == abort_report(name(routine, dt), message, number)


EQUAL_BREAKPOINTS = ("lib.dpchfe_(i(2), ptr(arr([1, 1])), ptr(arr([0, 1])), ptr(arr([1, 1])), "
                     "i(1), C.byref(C.c_int32(1)), i(1), ptr(arr([0.5])), ptr(arr([0.0])), "
                     "C.byref(ierr))")


def test_equal_breakpoints_behind_skip_end_in_the_piece():
    r_ = run_lib(EQUAL_BREAKPOINTS)
    assert r_.returncode == 1
    assert r_.stdout == abort_report("DCHFEV", "INTERVAL ENDPOINTS EQUAL", -2)


def failed_piece(routine, piece):
    """What a failed piece prints when recoverable errors return: its own report, then the
    fatal one of the routine that called it."""
    return (f" ***MESSAGE FROM ROUTINE {piece} IN LIBRARY SLATEC.\n"
            " ***POTENTIALLY RECOVERABLE ERROR, PROG CONTINUES, TRACEBACK REQUESTED\n"
            " *  INTERVAL ENDPOINTS EQUAL\n *  ERROR NUMBER = -2\n *   \n ***END OF MESSAGE\n \n"
            f" ***MESSAGE FROM ROUTINE {routine} IN LIBRARY SLATEC.\n"
            " ***FATAL ERROR, PROG ABORTED, TRACEBACK REQUESTED\n"
            f" *  ERROR RETURN FROM {piece} -- FATAL\n *  ERROR NUMBER = -5\n *   \n"
            " ***END OF MESSAGE\n \n"
            " ***JOB ABORT DUE TO FATAL ERROR.\n" + SUMMARY_HEAD
            + summary_line(piece, "INTERVAL ENDPOINTS EQUAL", -2)
            + summary_line(routine, f"ERROR RETURN FROM {piece} -- FATAL", -5, level=2) + " \n")


def test_a_failed_piece_is_fatal_when_recoverable_errors_return():
    r_ = run_lib("lib.xsetf_(i(1))\n" + EQUAL_BREAKPOINTS)
    assert r_.returncode == 1
    assert r_.stdout == failed_piece("DPCHFE", "DCHFEV")


@pytest.mark.parametrize("dt", PRECISIONS)
def test_easy_driver_on_equal_breakpoints_fails_in_the_piece(dt):
    # a point below x(1) = x(2) falls on the interval of zero length
    r_ = run_lib("lib.xsetf_(i(1))\n" + call("dpchev_", dt, EV.format(n=2, x=[1, 1], ne=1)))
    assert r_.returncode == 1
    assert r_.stdout == failed_piece(name("dpchfd_", dt), name("dchfdv_", dt))


def test_quiet_flag_returns_the_error_code_with_outputs_untouched():
    r_ = run_lib("""
        lib.xsetf_(i(0))
        for x, ne in (([0.0, 0.0], 1), ([0.0, 1.0], 0)):
            skip, fe, de = C.c_int32(0), arr([7.0]), arr([7.0])
            lib.dpchfd_(i(2), ptr(arr(x)), ptr(arr([0, 1])), ptr(arr([1, 1])), i(1),
                        C.byref(skip), i(ne), ptr(arr([0.5])), ptr(fe), ptr(de), C.byref(ierr))
            print(ierr.value, skip.value, fe[0], de[0])
    """)
    assert r_.stdout == "-3 0 7.0 7.0\n-4 1 7.0 7.0\nreturned -4\n"
