"""The piecewise cubic Hermite package and its error package, called through their exported
symbols (no Python module reaches them), against scipy, closed forms and the printed reports."""
import ctypes as C
import os
import textwrap

import numpy as np
import pytest
from scipy.interpolate import CubicSpline, PchipInterpolator

import _vorlen
from conftest import errstat, errtext, run_python

LIB_PATH = os.path.join(os.path.dirname(os.path.dirname(_vorlen.__file__)), "libvorlen.so")
lib = C.CDLL(LIB_PATH)
for name in ("dpchdf_", "dpchst_", "dpchia_", "dpchid_", "dchfie_", "dpchqa_"):
    getattr(lib, name).restype = C.c_double


def i(v):
    return C.byref(C.c_int32(v))


def d(v):
    return C.byref(C.c_double(v))


def ptr(a):
    return a.ctypes.data_as(C.c_void_p)


def arr(v, dtype=float):
    return np.ascontiguousarray(v, dtype=dtype)


def pchim(x, f, incfd=1):
    x, f = arr(x), arr(f)
    n = x.size
    dd, ierr = np.zeros(f.size), C.c_int32(-99)
    lib.dpchim_(i(n), ptr(x), ptr(f), ptr(dd), i(incfd), C.byref(ierr))
    return dd, ierr.value


def pchsp(x, f, ic=(0, 0), vc=(0.0, 0.0)):
    x, f = arr(x), arr(f)
    n = x.size
    dd, wk, ierr = np.zeros(n), np.zeros(2 * n), C.c_int32(-99)
    lib.dpchsp_(ptr(arr(ic, np.int32)), ptr(arr(vc)), i(n), ptr(x), ptr(f), ptr(dd), i(1), ptr(wk),
                i(2 * n), C.byref(ierr))
    return dd, ierr.value


def pchfe(x, f, dd, xe, skip=0):
    x, f, dd, xe = arr(x), arr(f), arr(dd), arr(xe)
    fe, s, ierr = np.zeros(xe.size), C.c_int32(skip), C.c_int32(-99)
    lib.dpchfe_(i(x.size), ptr(x), ptr(f), ptr(dd), i(1), C.byref(s), i(xe.size), ptr(xe),
                ptr(fe), C.byref(ierr))
    return fe, ierr.value, s.value


def pchia(x, f, dd, a, b, skip=0):
    x, f, dd = arr(x), arr(f), arr(dd)
    s, ierr = C.c_int32(skip), C.c_int32(-99)
    r = lib.dpchia_(i(x.size), ptr(x), ptr(f), ptr(dd), i(1), C.byref(s), d(a), d(b),
                    C.byref(ierr))
    return r, ierr.value


def pchid(x, f, dd, ia, ib):
    x, f, dd = arr(x), arr(f), arr(dd)
    s, ierr = C.c_int32(0), C.c_int32(-99)
    r = lib.dpchid_(i(x.size), ptr(x), ptr(f), ptr(dd), i(1), C.byref(s), i(ia), i(ib),
                    C.byref(ierr))
    return r, ierr.value


def random_table(n, seed):
    rng = np.random.default_rng(seed)
    return np.cumsum(rng.uniform(0.1, 1.0, n)), rng.normal(size=n)


# ---------------------------------------------------------------- derivatives

@pytest.mark.parametrize("f,slopes,changes", [
    ([0, 1, 1, 2], [1.5, 0, 0, 1.5], 0),   # flat interval: zero slopes at its ends
    ([0, 1, 0, 1], [2, 0, 0, 2], 2),
    ([0, 1, 1, 0], [1.5, 0, 0, -1.5], 1),  # a zero slope between opposite ones counts once
])
def test_monotone_slopes_by_hand(f, slopes, changes):
    dd, ierr = pchim([0, 1, 2, 3], f)
    np.testing.assert_allclose(dd, slopes, rtol=0, atol=1e-15)
    assert ierr == changes


def test_monotone_slopes_of_two_and_three_points():
    assert pchim([0, 2], [1, 5]) == (pytest.approx([2, 2]), 0)
    dd, ierr = pchim([0, 1, 2], [0, 1, 0])
    assert dd[1] == 0 and ierr == 1


@pytest.mark.parametrize("n", [3, 4, 7, 40])
def test_monotone_slopes_against_scipy(n):
    x, f = random_table(n, n)
    dd, _ = pchim(x, f)
    np.testing.assert_allclose(dd, PchipInterpolator(x, f).derivative()(x), rtol=1e-12,
                               atol=1e-13)


def test_monotone_slopes_use_the_first_row_only():
    x = arr([0, 1, 2, 3])
    f = arr([[0, 1, 1, 2], [9, -9, 9, -9]]).T.copy()  # f(2, n): the second row is noise
    dd = np.full((4, 2), 7.0)
    ierr = C.c_int32()
    lib.dpchim_(i(4), ptr(x), ptr(f), ptr(dd), i(2), C.byref(ierr))
    np.testing.assert_allclose(dd[:, 0], [1.5, 0, 0, 1.5])
    np.testing.assert_array_equal(dd[:, 1], 7.0)


@pytest.mark.parametrize("n", [2, 3, 4, 5, 12])
def test_spline_slopes_equal_the_not_a_knot_spline(n):
    x, f = random_table(n, 100 + n)
    dd, ierr = pchsp(x, f)
    ref = CubicSpline(x, f, bc_type="not-a-knot").derivative()(x)
    np.testing.assert_allclose(dd, ref, rtol=1e-12, atol=1e-12)
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


def test_divided_difference_derivative():
    x = arr([1.0, 2.0, 4.0])
    s = arr(np.diff(x**2) / np.diff(x))
    ierr = C.c_int32(-99)
    assert lib.dpchdf_(i(3), ptr(x), ptr(s), C.byref(ierr)) == pytest.approx(8.0)
    assert ierr.value == 0


@pytest.mark.parametrize("a,b,sign", [(0, 5, 0), (-2, 0, 0), (-2, 3, -1), (2, 3, 1), (-2, -3, 1),
                                      (np.nan, 1, 1)])
def test_sign_product(a, b, sign):
    assert lib.dpchst_(d(a), d(b)) == sign


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


@pytest.mark.parametrize("a,b", [(0.3, 0.4), (1.7, 4.2), (4.2, 1.7), (-3, 40), (2.0, 9.0),
                                 (13.5, 11.0), (-2, 0.2), (9.9, 30)])
def test_integral_against_scipy(a, b):
    x, f = random_table(15, 11)
    dd, _ = pchim(x, f)
    value, _ = pchia(x, f, dd, a, b)
    assert value == pytest.approx(PchipInterpolator(x, f).integrate(a, b), rel=1e-12, abs=1e-12)


def test_integral_with_a_nan_limit_is_nan():
    value, _ = pchia([0, 1, 2, 3], [0, 1, 0, 1], [0, 0, 0, 0], np.nan, 2.5)
    assert np.isnan(value)


def test_integral_between_breakpoints():
    x, f = random_table(8, 4)
    dd, _ = pchim(x, f)
    ref = PchipInterpolator(x, f).integrate(x[1], x[6])
    assert pchid(x, f, dd, 2, 7) == (pytest.approx(ref, rel=1e-13), 0)
    assert pchid(x, f, dd, 7, 2) == (pytest.approx(-ref, rel=1e-13), 0)
    assert pchid(x, f, dd, 3, 3) == (0.0, 0)


def test_integral_of_one_cubic():
    # slopes 0 and 3 on [0, 1] give x^3; its integral from -1 to 2 is (16 - 1) / 4
    assert lib.dchfie_(d(0), d(1), d(0), d(1), d(0), d(3), d(-1), d(2)) == pytest.approx(3.75)
    assert lib.dchfie_(d(1), d(1), d(0), d(1), d(0), d(3), d(-1), d(2)) == 0.0


def test_easy_integration_driver():
    ierr = C.c_int32(-99)
    x, f, dd = arr([0, 1, 2]), arr([0, 1, 2]), arr([1, 1, 1])
    assert lib.dpchqa_(i(3), ptr(x), ptr(f), ptr(dd), d(0), d(2.5), C.byref(ierr)) == 3.125
    assert ierr.value == 2


# ---------------------------------------------------------------- error package

PRELUDE = f"""
import ctypes as C, numpy as np
lib = C.CDLL({LIB_PATH!r})
i = lambda v: C.byref(C.c_int32(v))
d = lambda v: C.byref(C.c_double(v))
ptr = lambda a: a.ctypes.data_as(C.c_void_p)
arr = lambda v, t=float: np.ascontiguousarray(v, dtype=t)
s = lambda t: C.c_char_p(t.encode())
z = C.c_size_t
n = lambda t: z(len(t))
nan = float("nan")
ierr = C.c_int32(-99)
"""


def run_lib(body):
    """Runs body in a child process after PRELUDE; it prints "returned" and ierr on return."""
    return run_python(PRELUDE + textwrap.dedent(body) + '\nprint("returned", ierr.value)\n')


def abort_report(routine, message, number):
    return (f" ***MESSAGE FROM ROUTINE {routine} IN LIBRARY SLATEC.\n"
            " ***POTENTIALLY RECOVERABLE ERROR, PROG ABORTED, TRACEBACK REQUESTED\n"
            f" *  {message}\n"
            f" *  ERROR NUMBER = {number}\n"
            " *   \n"
            " ***END OF MESSAGE\n"
            " \n"
            " ***JOB ABORT DUE TO UNRECOVERED ERROR.\n"
            "0          ERROR MESSAGE SUMMARY\n"
            " LIBRARY    SUBROUTINE MESSAGE START             NERR     LEVEL     COUNT\n"
            f" SLATEC     {routine:8s}   {message[:20]:20s}{number:10d}         1         1\n"
            " \n")


def test_input_error_prints_the_report_and_ends_with_status_1():
    r = run_lib("lib.dpchfe_(i(2), ptr(arr([0, 0])), ptr(arr([0, 1])), ptr(arr([1, 1])), i(1), "
                "C.byref(C.c_int32(0)), i(1), ptr(arr([0.5])), ptr(arr([0.0])), C.byref(ierr))")
    assert r.returncode == 1
    assert r.stdout == abort_report("DPCHFE", "X-ARRAY NOT STRICTLY INCREASING", -3)


PCHIM = "lib.dpchim_(i({n}), ptr(arr({x})), ptr(arr([0.0] * 4)), ptr(np.zeros(4)), i({inc}), " \
        "C.byref(ierr))"
PCHSP = "lib.dpchsp_(ptr(arr({ic}, np.int32)), ptr(arr([0, 0])), i(3), ptr(arr([0, 1, 2])), " \
        "ptr(arr([0, 1, 0])), ptr(np.zeros(3)), i(1), ptr(np.zeros(6)), i({nwk}), C.byref(ierr))"


@pytest.mark.parametrize("call,routine,message,number", [
    (PCHIM.format(n=1, x=[0], inc=1), "DPCHIM", "NUMBER OF DATA POINTS LESS THAN TWO", -1),
    (PCHIM.format(n=0, x=[0], inc=1), "DPCHIM", "NUMBER OF DATA POINTS LESS THAN TWO", -1),
    (PCHIM.format(n=3, x=[0, 1, 2], inc=0), "DPCHIM", "INCREMENT LESS THAN ONE", -2),
    (PCHIM.format(n=3, x=[0, np.nan, 2], inc=1), "DPCHIM", "X-ARRAY NOT STRICTLY INCREASING", -3),
    (PCHSP.format(ic=[5, 0], nwk=6), "DPCHSP", "IC OUT OF RANGE", -4),
    (PCHSP.format(ic=[0, -1], nwk=6), "DPCHSP", "IC OUT OF RANGE", -5),
    (PCHSP.format(ic=[9, 9], nwk=6), "DPCHSP", "IC OUT OF RANGE", -6),
    (PCHSP.format(ic=[0, 0], nwk=5), "DPCHSP", "WORK ARRAY TOO SMALL", -7),
    ("lib.dpchfe_(i(2), ptr(arr([0, 1])), ptr(arr([0, 1])), ptr(arr([1, 1])), i(1), "
     "C.byref(C.c_int32(1)), i(0), ptr(arr([0.5])), ptr(arr([0.0])), C.byref(ierr))",
     "DPCHFE", "NUMBER OF EVALUATION POINTS LESS THAN ONE", -4),
    ("lib.dpchfe_(i(1), ptr(arr([0])), ptr(arr([0])), ptr(arr([1])), i(1), "
     "C.byref(C.c_int32(1)), i(1), ptr(arr([0.5])), ptr(arr([0.0])), C.byref(ierr))",
     "DPCHFE", "NUMBER OF DATA POINTS LESS THAN TWO", -1),  # skip true: n is still checked
    ("lib.dchfev_(d(1), d(1), d(0), d(1), d(0), d(0), i(1), ptr(arr([0.5])), ptr(arr([0.0])), "
     "ptr(np.zeros(2, np.int32)), C.byref(ierr))", "DCHFEV", "INTERVAL ENDPOINTS EQUAL", -2),
    ("lib.dpchid_(i(2), ptr(arr([0, 1])), ptr(arr([0, 1])), ptr(arr([1, 1])), i(1), "
     "C.byref(C.c_int32(0)), i(1), i(3), C.byref(ierr))", "DPCHID", "IA OR IB OUT OF RANGE", -4),
    ("lib.dpchqa_(i(1), ptr(arr([0])), ptr(arr([0])), ptr(arr([1])), d(0), d(1), "
     "C.byref(ierr))", "DPCHIA", "NUMBER OF DATA POINTS LESS THAN TWO", -1),
    ("lib.dpchdf_(i(2), ptr(arr([0, 1])), ptr(arr([1, 1])), C.byref(ierr))", "DPCHDF",
     "K LESS THAN THREE", -1),
])
def test_every_input_error_ends_the_process_with_its_report(call, routine, message, number):
    r = run_lib(call)
    assert r.returncode == 1, r.stdout + r.stderr
    assert r.stdout == abort_report(routine, message, number)


EQUAL_BREAKPOINTS = ("lib.dpchfe_(i(2), ptr(arr([1, 1])), ptr(arr([0, 1])), ptr(arr([1, 1])), i(1), "
                     "C.byref(C.c_int32(1)), i(1), ptr(arr([0.5])), ptr(arr([0.0])), C.byref(ierr))")


def test_equal_breakpoints_behind_skip_end_in_the_piece():
    r = run_lib(EQUAL_BREAKPOINTS)
    assert r.returncode == 1
    assert r.stdout == abort_report("DCHFEV", "INTERVAL ENDPOINTS EQUAL", -2)


def test_a_failed_piece_is_fatal_when_recoverable_errors_return():
    r = run_lib("lib.j4save_(i(2), i(1), i(1))\n" + EQUAL_BREAKPOINTS)
    assert r.returncode == 1
    assert r.stdout == (
        " ***MESSAGE FROM ROUTINE DCHFEV IN LIBRARY SLATEC.\n"
        " ***POTENTIALLY RECOVERABLE ERROR, PROG CONTINUES, TRACEBACK REQUESTED\n"
        " *  INTERVAL ENDPOINTS EQUAL\n *  ERROR NUMBER = -2\n *   \n ***END OF MESSAGE\n \n"
        " ***MESSAGE FROM ROUTINE DPCHFE IN LIBRARY SLATEC.\n"
        " ***FATAL ERROR, PROG ABORTED, TRACEBACK REQUESTED\n"
        " *  ERROR RETURN FROM DCHFEV -- FATAL\n *  ERROR NUMBER = -5\n *   \n"
        " ***END OF MESSAGE\n \n"
        " ***JOB ABORT DUE TO FATAL ERROR.\n"
        "0          ERROR MESSAGE SUMMARY\n"
        " LIBRARY    SUBROUTINE MESSAGE START             NERR     LEVEL     COUNT\n"
        " SLATEC     DCHFEV     INTERVAL ENDPOINTS E        -2         1         1\n"
        " SLATEC     DPCHFE     ERROR RETURN FROM DC        -5         2         1\n \n")


def test_quiet_flag_returns_the_error_code_with_outputs_untouched():
    r = run_lib("""
        lib.j4save_(i(2), i(0), i(1))
        for x, ne in (([0.0, 0.0], 1), ([0.0, 1.0], 0)):
            skip, fe = C.c_int32(0), arr([7.0])
            lib.dpchfe_(i(2), ptr(arr(x)), ptr(arr([0, 1])), ptr(arr([1, 1])), i(1),
                        C.byref(skip), i(ne), ptr(arr([0.5])), ptr(fe), C.byref(ierr))
            print(ierr.value, skip.value, fe[0])
    """)
    assert r.stdout == "-3 0 7.0\n-4 1 7.0\nreturned -4\n"


@pytest.mark.parametrize("nerr,level", [(0, 1), (100000000, 1), (-10000000, 0), (1, 3), (1, -2)])
def test_invalid_error_number_or_level(nerr, level):
    r = run_lib(f"lib.xermsg_(s('LIB'), s('SUB'), s('M'), i({nerr}), i({level}), n('LIB'), "
                f"n('SUB'), n('M'))")
    assert r.returncode == 1
    assert r.stdout == (" ***FATAL ERROR IN...\n *** XERMSG -- INVALID ERROR NUMBER OR LEVEL\n"
                        " *** JOB ABORT DUE TO FATAL ERROR.\n")


def test_informative_messages_return_and_are_recorded():
    r = run_lib("""
        for level in (0, 0, -1, -1):
            lib.xermsg_(s('SLATEC'), s('DPCHXX'), s('NOTE$$SECOND LINE'), i(7), i(level),
                        n('SLATEC'), n('DPCHXX'), n('NOTE$$SECOND LINE'))
        print(lib.j4save_(i(1), i(0), i(0)))
        lib.xersve_(s(' '), s(' '), s(' '), i(0), i(0), i(0), C.byref(ierr), z(1), z(1), z(1))
        lib.xersve_(s(' '), s(' '), s(' '), i(0), i(0), i(0), C.byref(ierr), z(1), z(1), z(1))
    """)
    assert r.returncode == 0
    report = (" ***MESSAGE FROM ROUTINE DPCHXX IN LIBRARY SLATEC.\n"
              " ***INFORMATIVE MESSAGE, PROG CONTINUES, TRACEBACK REQUESTED\n"
              " *  NOTE\n *  SECOND LINE\n *  ERROR NUMBER = 7\n *   \n ***END OF MESSAGE\n \n")
    assert r.stdout == (report * 3 + "7\n"
                        "0          ERROR MESSAGE SUMMARY\n"
                        " LIBRARY    SUBROUTINE MESSAGE START             NERR     LEVEL     COUNT\n"
                        " SLATEC     DPCHXX     NOTE$$SECOND LINE            7         0         2\n"
                        " SLATEC     DPCHXX     NOTE$$SECOND LINE            7        -1         2\n"
                        " \nreturned 0\n")


def test_message_record_counts_what_it_cannot_hold():
    r = run_lib("""
        for k in range(12):
            m = 'MESSAGE %d' % (k % 11)
            lib.xersve_(s('LIB'), s('ROUTINENAMELONG'), s(m), i(1), i(-(k % 11)), i(1),
                        C.byref(ierr), z(3), z(15), n(m))
            print(ierr.value, end=' ')
        print()
        lib.xersve_(s(' '), s(' '), s(' '), i(-1), i(0), i(0), C.byref(ierr), z(1), z(1), z(1))
    """)
    lines = r.stdout.splitlines()
    assert lines[0] == "1 1 1 1 1 1 1 1 1 1 0 2 "
    assert lines[3] == " LIB        ROUTINEN   MESSAGE 0                    0         1         2"
    assert len(lines) == 1 + 2 + 10 + 2 + 1
    assert lines[-3] == "0OTHER ERRORS NOT INDIVIDUALLY TABULATED =          1"


def test_printer_breaks_long_lines_at_blanks():
    text = "WORD " * 30 + "$$" + "X" * 40
    r = run_lib(f"lib.xerprn_(s(' *  '), i(-1), s({text!r}), i(20), z(4), n({text!r}))\n"
                "lib.xerprn_(s('PREFIX-LONGER-THAN-SIXTEEN'), i(3), s('   '), i(12), z(26), "
                "z(3))")
    lines = r.stdout.splitlines()
    assert lines[:7] == [" *  WORD WORD WORD WORD"] * 7  # at most 20 characters, cut at a blank
    assert lines[7:10] == [" *  WORD WORD ", " *  " + "X" * 20, " *  " + "X" * 20]
    assert lines[10] == "PRE "


def test_parameter_store_and_machine_constants():
    j4 = lib.j4save_
    assert [j4(i(k), i(0), i(0)) for k in range(2, 10)] == [2, 0, 10, 1, 0, 0, 0, 0]
    units, count = np.full(5, -1, np.int32), C.c_int32()
    lib.xgetua_(ptr(units), C.byref(count))
    assert count.value == 1 and units[0] == 0
    consts = [lib.i1mach_(i(k)) for k in range(1, 17)]
    assert consts == [5, 6, 7, 6, 32, 4, 2, 31, 2147483647, 2, 24, -125, 128, 53, -1021, 1024]


def test_parameter_index_outside_the_store_is_reported(clean_register):
    assert lib.j4save_(i(10), i(5), i(1)) == 0
    assert lib.j4save_(i(0), i(5), i(0)) == 0
    assert (errstat(), errtext()) == (-3, "Parameter index outside 1..9 in j4save")


@pytest.mark.parametrize("index", [0, 17])
def test_machine_constant_index_out_of_bounds_ends_with_status_0(index):
    r = run_lib(f"lib.i1mach_(i({index}))")
    assert r.returncode == 0
    assert r.stdout == (" \nI1MACH - Fatal error!\n  The input argument I is out of bounds.\n"
                        f"  Legal values satisfy 1 <= I <= 16.\n  I = {index:12d}\n")
