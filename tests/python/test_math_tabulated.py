"""Numerics of module math on sampled data, against numpy and hand calculations."""
import ctypes as C

import numpy as np
import pytest
from scipy.interpolate import PchipInterpolator

import _vorlen
from conftest import errstat, errtext, run_python
from pchip_lib import lib, ptr

m = _vorlen.math

pytestmark = pytest.mark.usefixtures("clean_register")


CALL_FORMS = [
    ("nearestinterpolation", "nearestinterpolation = nearestinterpolation(x,y,p)"),
    ("linearinterpolation", "linearinterpolation = linearinterpolation(x,y,p)"),
    ("gradient", "jac = gradient(dy,dx,[a,b])"),
    ("centralstepderivative", "derivative = centralstepderivative(y,x,[n])"),
    ("getparabolacoefficients", "oud = getparabolacoefficients(ind)"),
    ("cubichermitianinterpolation",
     "cubichermitianinterpolation = cubichermitianinterpolation(x,y,p)"),
    ("cubichermitianintegration", "r = cubichermitianintegration(x,y,a,b)"),
    ("cubichermitianarclength", "s = cubichermitianarclength(x,y,a,b)"),
    ("partialcurvelength", "partialcurvelength = partialcurvelength(dy)"),
    ("trapezoidintegration", "r = trapezoidintegration(x,y)"),
    ("complexstepderivative", "derivative = complexstepderivative(y,x,[n])"),
    ("polynomialfitting", "polynomialfitting = polynomialfitting(vx,vy,d)"),
    ("getpercentile", "event = getpercentile(array,percentile,classsize,[ndim])"),
    ("monoticity", "monoticity = monoticity(x,[n])"),
    ("rootmeansquareerror", "rootmeansquareerror = rootmeansquareerror(x,y,[n])"),
    ("meanabsoluteerror", "meanabsoluteerror = meanabsoluteerror(x,y,[n])"),
]


@pytest.mark.parametrize("name,form", CALL_FORMS)
def test_call_form(name, form):
    assert getattr(m, name).__doc__.splitlines()[0] == form


# ---------------------------------------------------------------- interpolation

def test_linear_interpolation_extrapolates_from_the_end_intervals():
    np.testing.assert_array_equal(m.linearinterpolation([0, 1, 2], [0, 10, 20], [-1, 0.5, 3]),
                                  [-10, 5, 30])


def test_linear_interpolation_matches_numpy_inside_the_table():
    rng = np.random.default_rng(3)
    x = np.cumsum(rng.uniform(0.1, 1.0, 40))
    y = np.sin(x)
    p = rng.uniform(x[0], x[-1], 500)
    np.testing.assert_allclose(m.linearinterpolation(x, y, np.append(p, x)),
                               np.interp(np.append(p, x), x, y), rtol=0, atol=1e-14)


@pytest.mark.parametrize("x", [[0.0, 1.0, 1.0], [0.0, 2.0, 1.0], [0.0, np.nan, 2.0], [1.0], []])
def test_linear_interpolation_ends_the_process_on_a_bad_table(x):
    r = run_python(f"""
        import numpy as np, _vorlen
        nan = float("nan")
        x = np.array({x!r}, dtype=float)
        _vorlen.math.linearinterpolation(x, np.zeros(len(x)), [0.5])
        print("returned")
    """)
    assert r.returncode == 1
    assert r.stdout == (" \nINTERP_LINEAR - Fatal error!\n"
                        "  Independent variable array T_DATA is not strictly increasing.\n")


@pytest.mark.parametrize("p,expected", [
    ([1.4, 1.5, 7.0, -3.0, 2.0], [10, 20, 30, 0, 20]),  # a tie goes to the larger sample
])
def test_nearest_interpolation(p, expected):
    np.testing.assert_array_equal(m.nearestinterpolation([0, 1, 2, 3], [0, 10, 20, 30], p),
                                  expected)


def test_nearest_interpolation_on_a_descending_table():
    # samples 3, 2, 1, 0: 1.6 lies nearest to 2 (second sample), 1.4 nearest to 1 (third)
    np.testing.assert_array_equal(m.nearestinterpolation([3, 2, 1, 0], [30, 20, 10, 0], [1.6, 1.4]),
                                  [20, 10])


def test_nearest_interpolation_without_samples_gives_nan():
    assert np.isnan(m.nearestinterpolation([], [], [1.0, 2.0])).all()
    np.testing.assert_array_equal(m.nearestinterpolation([5.0], [7.0], [-1.0, 9.0]), [7, 7])


def test_table_lengths_must_agree():
    with pytest.raises(ValueError, match="dimension must be fixed to 3 but got 2"):
        m.linearinterpolation([0, 1, 2], [0, 1], [0.5])


# ---------------------------------------------------------------- derivatives

def test_gradient_divides_each_column_by_its_step():
    dy = np.arange(6.0).reshape(2, 3)
    np.testing.assert_array_equal(m.gradient(dy, [1.0, 2.0, 4.0]), dy / [1.0, 2.0, 4.0])


def test_central_step_derivative_against_numpy():
    x = np.array([0.0, 0.5, 1.5, 2.0, 3.5])
    y = x ** 2
    d = m.centralstepderivative(y, x)
    np.testing.assert_allclose(d[1:-1], (y[2:] - y[:-2]) / (x[2:] - x[:-2]), rtol=1e-15)
    assert d[0] == (y[1] - y[0]) / (x[1] - x[0])
    assert d[-1] == (y[-1] - y[-2]) / (x[-1] - x[-2])


def test_central_step_derivative_of_two_samples_is_the_forward_quotient_twice():
    np.testing.assert_array_equal(m.centralstepderivative([1.0, 4.0], [1.0, 2.0]), [3.0, 3.0])


@pytest.mark.parametrize("n", [0, 1])
def test_central_step_derivative_needs_two_samples(n):
    np.testing.assert_array_equal(m.centralstepderivative(np.ones(n), np.ones(n)), np.zeros(n))
    assert errstat() == -3


# ---------------------------------------------------------------- parabola

@pytest.mark.parametrize("points,expected", [
    ([(0, 1), (1, 2), (2, 5)], (1, 0, 1)),
    ([(0, 0), (1, 1), (2, 2)], (0, 1, 0)),
    ([(-1, 1), (1, 1), (2, 4)], (1, 0, 0)),       # x1 = -x2
    ([(2, 3), (-2, 11), (0, 1)], (1.5, -2, 1)),   # abscissas in any order
])
def test_parabola_through_three_points(points, expected):
    oud = m.getparabolacoefficients(np.array(points, dtype=float))
    np.testing.assert_allclose(oud, expected, rtol=0, atol=1e-14)
    assert errstat() == 0


def test_parabola_against_numpy_polyfit():
    rng = np.random.default_rng(5)
    for _ in range(50):
        x, y = rng.uniform(-3, 3, 3), rng.uniform(-3, 3, 3)
        if np.min(np.abs(np.subtract.outer(x, x) + np.eye(3))) < 1e-2:
            continue
        np.testing.assert_allclose(m.getparabolacoefficients(np.column_stack([x, y])),
                                   np.polyfit(x, y, 2), rtol=1e-9, atol=1e-9)


def test_parabola_with_coincident_abscissas_is_reported():
    np.testing.assert_array_equal(m.getparabolacoefficients(np.array([[1, 0], [1, 2], [3, 4.0]])),
                                  [0, 0, 0])
    assert errstat() == -3


# ---------------------------------------------------------------- monotone cubic Hermite

def test_cubic_hermite_by_hand_and_monotone_between_samples():
    x, y = [0, 1, 2, 3], [0, 1, 1, 2]
    np.testing.assert_array_equal(m.cubichermitianinterpolation(x, y, x), y)
    # slopes (1.5, 0, 0, 1.5): on [0, 1] the cubic 1.5 t - 0.5 t^3
    np.testing.assert_allclose(m.cubichermitianinterpolation(x, y, [0.5]), [0.6875])
    fine = m.cubichermitianinterpolation(x, y, np.linspace(0, 3, 301))
    assert np.all(np.diff(fine) >= 0)
    np.testing.assert_array_equal(fine[100:201], 1.0)  # flat between the flat samples


@pytest.mark.parametrize("order", ["ascending", "scattered"])
def test_cubic_hermite_against_scipy(order):
    rng = np.random.default_rng(8)
    x = np.cumsum(rng.uniform(0.2, 1.0, 25))
    y = np.cumsum(rng.normal(size=25))
    p = np.linspace(x[0] - 2, x[-1] + 2, 2001)
    if order == "scattered":
        p = rng.permutation(p)
    np.testing.assert_allclose(m.cubichermitianinterpolation(x, y, p),
                               PchipInterpolator(x, y, extrapolate=True)(p), rtol=1e-12,
                               atol=1e-12)


def test_cubic_hermite_integration():
    assert m.cubichermitianintegration([0, 1, 2], [0, 1, 2], 0, 2) == pytest.approx(2.0, abs=1e-15)
    assert m.cubichermitianintegration([0, 1, 2], [0, 1, 2], 2, 0) == pytest.approx(-2.0, abs=1e-15)
    # a line is its own interpolant, also on the continued end cubics: the integral of 3x + 1
    assert m.cubichermitianintegration([0, 1, 2, 4], [1, 4, 7, 13], -1, 6) == pytest.approx(59.5)
    rng = np.random.default_rng(9)
    x, y = np.cumsum(rng.uniform(0.2, 1.0, 12)), rng.normal(size=12)
    for a, b in [(x[0], x[-1]), (x[3] + 0.1, x[3] + 0.2), (x[-1] + 1, x[2] - 0.3)]:
        assert m.cubichermitianintegration(x, y, a, b) == pytest.approx(
            PchipInterpolator(x, y).integrate(a, b), rel=1e-12)


def test_cubic_hermite_arc_length():
    assert m.cubichermitianarclength([0, 1, 2], [0, 1, 2], 0, 2) == pytest.approx(2 * np.sqrt(2))
    assert m.cubichermitianarclength([0, 1, 3], [1, -2, -8], -1, 4) == pytest.approx(
        5 * np.sqrt(10))
    # the integral of the interpolated samples of sqrt(1 + y'^2), y' the monotone slopes
    x, y = np.array([0.0, 1.0, 2.0, 3.0]), np.array([0.0, 1.0, 1.0, 2.0])
    g = np.hypot(1.0, PchipInterpolator(x, y).derivative()(x))
    assert m.cubichermitianarclength(x, y, 0, 3) == pytest.approx(
        PchipInterpolator(x, g).integrate(0, 3), rel=1e-13)


@pytest.mark.parametrize("dy,expected", [(0.0, 1.0), (3.0, np.sqrt(10)), (-4.0, np.sqrt(17)),
                                         (0.41, np.sqrt(1 + 0.41 * 0.41)),  # not hypot(1, 0.41)
                                         (-6.066, np.sqrt(1 + 6.066 * 6.066)),
                                         (1e200, 1e200), (-np.inf, np.inf), (np.nan, np.nan)])
def test_partial_curve_length(dy, expected):
    np.testing.assert_equal(m.partialcurvelength(dy), expected)


BAD_TABLES = [
    ("[0.0, 1.0, 1.0]", "[0.5]", "X-ARRAY NOT STRICTLY INCREASING", -3),
    ("[0.0, 2.0, 1.0]", "[0.5]", "X-ARRAY NOT STRICTLY INCREASING", -3),
    ("[0.0, nan, 2.0]", "[0.5]", "X-ARRAY NOT STRICTLY INCREASING", -3),
    ("[1.0]", "[0.5]", "NUMBER OF DATA POINTS LESS THAN TWO", -1),
    ("[]", "[0.5]", "NUMBER OF DATA POINTS LESS THAN TWO", -1),
]


def slatec_abort(routine, message, number):
    return (f" ***MESSAGE FROM ROUTINE {routine} IN LIBRARY SLATEC.\n"
            " ***POTENTIALLY RECOVERABLE ERROR, PROG ABORTED, TRACEBACK REQUESTED\n"
            f" *  {message}\n *  ERROR NUMBER = {number}\n *   \n ***END OF MESSAGE\n \n"
            " ***JOB ABORT DUE TO UNRECOVERED ERROR.\n"
            "0          ERROR MESSAGE SUMMARY\n"
            " LIBRARY    SUBROUTINE MESSAGE START             NERR     LEVEL     COUNT\n"
            f" SLATEC     {routine:8s}   {message[:20]:20s}{number:10d}         1         1\n \n")


@pytest.mark.parametrize("call", ["cubichermitianinterpolation(x, x, {p})",
                                  "cubichermitianintegration(x, x, 0.0, 1.0)",
                                  "cubichermitianarclength(x, x, 0.0, 1.0)"])
@pytest.mark.parametrize("x,p,message,number", BAD_TABLES)
def test_cubic_hermite_ends_the_process_on_a_bad_table(call, x, p, message, number):
    r = run_python(f"""
        import numpy as np, _vorlen
        nan = float("nan")
        x = np.array({x})
        _vorlen.math.{call.format(p=p)}
        print("returned")
    """)
    assert r.returncode == 1
    assert r.stdout == slatec_abort("DPCHIM", message, number)


def test_cubic_hermite_without_points_ends_the_process():
    r = run_python("""
        import _vorlen
        _vorlen.math.cubichermitianinterpolation([0.0, 1.0], [0.0, 1.0], [])
    """)
    assert r.returncode == 1
    assert r.stdout == slatec_abort("DPCHFE", "NUMBER OF EVALUATION POINTS LESS THAN ONE", -4)


def test_cubic_hermite_reads_nothing_outside_a_bad_table_when_errors_return():
    # With the package's control flag at 0 a recoverable error returns quietly: evaluation then
    # leaves its results untouched, integration over fewer than two samples gives 0 (the
    # integration of an unordered table is not checked again), and nothing is read outside the
    # arrays given.
    r = run_python(f"""
        import ctypes, os, numpy as np, _vorlen
        lib = ctypes.CDLL(os.path.join(os.path.dirname(os.path.dirname(_vorlen.__file__)),
                                       "libvorlen.so"))
        one = lambda v: ctypes.byref(ctypes.c_int32(v))
        lib.j4save_(one(2), one(0), one(1))
        m = _vorlen.math
        for x in ([], [1.0], [0.0, 0.0], [2.0, 1.0, 0.0], [0.0, float("nan")]):
            x = np.array(x)
            r, s = m.cubichermitianintegration(x, x, 0, 1), m.cubichermitianarclength(x, x, 0, 1)
            print(m.cubichermitianinterpolation(x, x, [0.5, 3.0]).tolist(),
                  (r, s) if x.size < 2 else "")
        print(m.cubichermitianinterpolation([0.0, 1.0], [0.0, 1.0], []).tolist())
        print(lib.j4save_(one(1), one(0), one(0)))
    """)
    assert r.returncode == 0, r.stderr
    assert r.stdout == "[0.0, 0.0] (0.0, 0.0)\n" * 2 + "[0.0, 0.0] \n" * 3 + "[]\n-4\n"


def test_cubic_hermite_table_lengths_must_agree():
    for call in (lambda: m.cubichermitianinterpolation([0, 1, 2], [0, 1], [0.5]),
                 lambda: m.cubichermitianintegration([0, 1, 2], [0, 1, 2, 3], 0, 1),
                 lambda: m.trapezoidintegration([0, 1], [0, 1, 2])):
        with pytest.raises(ValueError, match="dimension must be fixed to"):
            call()


# ---------------------------------------------------------------- integration, derivatives

def test_trapezoid_integration():
    x = np.array([0.0, 0.5, 2.0, 2.5, 4.0])
    y = x ** 2 - 3 * x
    assert m.trapezoidintegration(x, y) == pytest.approx(np.trapz(y, x), rel=1e-15)
    assert m.trapezoidintegration(x, 2 * x + 1) == pytest.approx(20.0)  # exact for a line
    assert m.trapezoidintegration([3.0], [5.0]) == 0.0
    assert m.trapezoidintegration([], []) == 0.0


def test_complex_step_derivative():
    x = np.array([0.5, 1.0, 2.0]) + 1e-20j
    np.testing.assert_allclose(m.complexstepderivative(x ** 3, x), 3 * x.real ** 2, rtol=1e-15)
    np.testing.assert_allclose(m.complexstepderivative(np.sin(x), x), np.cos(x.real), rtol=1e-15)


# ---------------------------------------------------------------- polynomial fit

def test_polynomial_fit_through_points():
    np.testing.assert_allclose(m.polynomialfitting([0, 1, 2], [1, 3, 5], 1), [1, 2], atol=1e-14)
    assert errstat() == 0


def test_polynomial_fit_applies_the_inverse_normal_matrix_times_x_transposed_to_vy():
    # vx = (-1, 0, 1): X^T X = diag(3, 2), so (X^T X)^-1 X^T has the rows t (1, 1, 1), t = 1/3,
    # and (-0.5, 0, 0.5); applied to vy term by term, not t times the sum of vy
    t = 1 / 3
    fit = m.polynomialfitting([-1.0, 0.0, 1.0], [0.7, 0.1, 0.3], 1)
    np.testing.assert_array_equal(fit, [(t * 0.7 + t * 0.1) + t * 0.3, -0.5 * 0.7 + 0.5 * 0.3])
    assert fit[0] != t * (0.7 + 0.1 + 0.3)


@pytest.mark.parametrize("degree", [0, 1, 2, 3, 5])
def test_polynomial_fit_against_numpy(degree):
    rng = np.random.default_rng(degree)
    vx, vy = rng.uniform(-2, 2, 30), rng.normal(size=30)
    np.testing.assert_allclose(m.polynomialfitting(vx, vy, degree),
                               np.polyfit(vx, vy, degree)[::-1], rtol=1e-9, atol=1e-11)


def test_polynomial_fit_with_a_singular_normal_matrix_is_reported():
    np.testing.assert_array_equal(m.polynomialfitting([1.0, 1.0, 1.0], [1.0, 2.0, 3.0], 1), [0, 0])
    assert errstat() == -2
    assert errtext() == "Problem in polynom fitting function"


@pytest.mark.parametrize("vx,d", [([0.0, 1.0, 2.0], 3), ([0.0, 1.0, 2.0], 5), ([0.5, 2.0], 2),
                                  ([3.0], 1), ([], 0)])
def test_polynomial_fit_with_fewer_points_than_coefficients_is_reported(vx, d):
    # d = 3 on three points: rounding hides the singular normal matrix from the factorisation
    np.testing.assert_array_equal(m.polynomialfitting(vx, np.ones(len(vx)), d), np.zeros(d + 1))
    assert errstat() == -2
    assert errtext() == "Problem in polynom fitting function"


def test_polynomial_fit_of_negative_degree_writes_nothing():
    assert m.polynomialfitting([1.0, 2.0], [1.0, 2.0], -1).size == 0
    assert errstat() == -3


# ---------------------------------------------------------------- percentile

@pytest.mark.parametrize("entries,percentile,classsize,event", [
    (np.arange(1.0, 11.0), 50, 1, 5),
    (np.arange(1.0, 11.0), 95, 1, 10),
    (np.arange(1.0, 11.0), 100, 1, 10),
    ([3.5], 50, 1, 3.5),
    ([1, 2, 2, 2], 50, 1, 2),                  # a quarter of the entries lie in class 1
    ([1, 2, 2, 2], 25, 1, 1),
    ([3, 12, 25, 31], 50, 10, 11),             # the first integer of class 2
    ([31, 3, 25, 12], 51, 10, 21),             # any order
    ([1, 2, 3, 4, 1.7976931348623157e308, np.nan], 50, 1, 2),  # free slots and NaN take no part
    ([-np.inf, -1e300, 3, 4], 50, 2, 1),        # entries far below the first bound are in class 1
    ([-np.inf, -1e300, 3, 4], 75, 2, 3),
    ([1.0, 2.0], 150, 1, 0),                   # no class reaches: 1 - classsize
    ([1.0, 2.0], 0, 4, 1),
    ([-5.0, -3.0], 50, 1, 0),                  # no classes at all
    ([1.0, 5e9], 100, 2**30, 4 * 2**30 + 1),   # beyond the 32-bit range
])
def test_percentile_by_hand(entries, percentile, classsize, event):
    assert m.getpercentile(entries, percentile, classsize) == event
    assert errstat() == 0


def test_percentile_written_over_an_entry_or_the_percentile():
    # entries 5, 1, 2, 3, 4 with class size 1: 3 of 5 lie in classes 1 to 3, so 50 per cent
    # give 3; the result goes over the first entry, then over the percentile itself
    entries = np.array([5.0, 1.0, 2.0, 3.0, 4.0])
    percentile = C.c_double(50.0)
    one, n = C.byref(C.c_int32(1)), C.byref(C.c_int32(5))
    lib.math_getpercentile(ptr(entries), n, C.byref(percentile), ptr(entries), one)
    assert entries[0] == 3.0
    entries[0] = 5.0
    lib.math_getpercentile(ptr(entries), n, C.byref(percentile), C.byref(percentile), one)
    assert percentile.value == 3.0


@pytest.mark.parametrize("entries,classsize", [([1.0, 1e300], 1), ([], 1), ([1.0, 2.0], 0),
                                               ([1.0, 2.0], -3), ([np.nan, np.inf], 1)])
def test_percentile_without_a_class_table_is_reported(entries, classsize):
    assert m.getpercentile(entries, 50, classsize) == 0
    assert errstat() == -3


# ---------------------------------------------------------------- monotonicity, errors

@pytest.mark.parametrize("x,code", [([1, 2, 3], 2), ([1, 1, 2], 1), ([1, 3, 2], 0), ([1, 1, 1], -1),
                                    ([3, 3, 1], -1), ([3, 2, 1], -2), ([5], -2), ([], -2)])
def test_monotonicity(x, code):
    assert m.monoticity(np.array(x, dtype=float)) == code


def test_error_measures_against_numpy():
    rng = np.random.default_rng(2)
    x, y = rng.normal(size=50), rng.normal(size=50)
    assert m.rootmeansquareerror(x, y) == pytest.approx(np.sqrt(np.mean((x - y) ** 2)), rel=1e-14)
    assert m.meanabsoluteerror(x, y) == pytest.approx(np.mean(np.abs(x - y)), rel=1e-14)
    assert m.rootmeansquareerror([1.0, 2.0], [1.0, 4.0]) == pytest.approx(np.sqrt(2.0))
