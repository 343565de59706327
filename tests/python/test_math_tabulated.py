"""Numerics of module math on sampled data, against numpy and hand calculations."""
import numpy as np
import pytest

import _vorlen
from conftest import run_python

m = _vorlen.math
err = _vorlen.errorhandling


@pytest.fixture(autouse=True)
def clean_register():
    err.rsxerr(1)
    yield
    err.rsxerr(1)


def errstat():
    return int(err.errstat)


CALL_FORMS = [
    ("nearestinterpolation", "nearestinterpolation = nearestinterpolation(x,y,p)"),
    ("linearinterpolation", "linearinterpolation = linearinterpolation(x,y,p)"),
    ("gradient", "jac = gradient(dy,dx,[a,b])"),
    ("centralstepderivative", "derivative = centralstepderivative(y,x,[n])"),
    ("getparabolacoefficients", "oud = getparabolacoefficients(ind)"),
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
