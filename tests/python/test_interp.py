"""Lagrange interpolation, quadrature abscissas, parameterisations and linear refinement of the
table interpolation package, called through their exported symbols: against numpy and scipy,
closed forms and hand values."""
import numpy as np
import pytest
from numpy.polynomial import chebyshev
from scipy.interpolate import RegularGridInterpolator, lagrange

from conftest import errstat, errtext
from pchip_lib import arr, d, i, lib, ptr, run_lib


def abscissas(rule, n, ab=None):
    x = np.full(max(n, 1), np.inf)
    if ab is None:
        getattr(lib, f"{rule}_abscissas_")(i(n), ptr(x))
    else:
        getattr(lib, f"{rule}_abscissas_ab_")(d(ab[0]), d(ab[1]), i(n), ptr(x))
    return x


# The sets on [-1, 1] from numpy: Chebyshev extrema and zeros, equally spaced points.
REFERENCE = {
    "cc": lambda n: chebyshev.chebpts2(n),
    "f1": lambda n: chebyshev.chebpts1(n),
    "f2": lambda n: chebyshev.chebpts2(n + 2)[1:-1],
    "ncc": lambda n: np.linspace(-1, 1, n),
    "nco": lambda n: np.linspace(-1, 1, n + 2)[1:-1],
}


@pytest.mark.parametrize("rule", REFERENCE)
@pytest.mark.parametrize("n", [2, 3, 4, 7, 16])
def test_abscissas_against_numpy(rule, n):
    np.testing.assert_allclose(abscissas(rule, n), REFERENCE[rule](n), rtol=0, atol=1e-15)


@pytest.mark.parametrize("rule", REFERENCE)
@pytest.mark.parametrize("a,b", [(0.0, 1.0), (2.0, -3.0), (-1.0, 1.0)])
def test_abscissas_on_an_interval_map_those_of_minus_1_to_1(rule, a, b):
    n = 6
    ref = a + (REFERENCE[rule](n) + 1) * (b - a) / 2
    np.testing.assert_allclose(abscissas(rule, n, (a, b)), ref, rtol=0, atol=1e-15)


@pytest.mark.parametrize("rule,n,ab,expected", [
    ("cc", 1, None, [0.0]),
    ("cc", 3, None, [-1.0, 6.123233995736766e-17, 1.0]),  # cos of the double nearest pi/2
    ("cc", 5, None, [-1, -0.7071067811865475, 6.123233995736766e-17, 0.7071067811865476, 1]),
    ("f1", 1, None, [0.0]),
    ("f1", 2, None, [-0.7071067811865475, 0.7071067811865476]),
    ("f1", 3, None, [-0.8660254037844387, 6.123233995736766e-17, 0.8660254037844387]),
    ("f2", 1, None, [0.0]),
    ("f2", 2, None, [-0.5, 0.5]),
    ("f2", 1, (-1.0, 1.0), [6.123233995736766e-17]),  # the interval form has no special case
    ("f2", 2, (-1.0, 1.0), [-0.4999999999999998, 0.5000000000000001]),
    ("ncc", 1, None, [0.0]),
    ("ncc", 4, None, [-1.0, -1 / 3, 1 / 3, 1.0]),
    ("ncc", 3, (0.0, 1.0), [0.0, 0.5, 1.0]),
    ("ncc", 1, (2.0, 5.0), [3.5]),
    ("nco", 1, None, [0.0]),
    ("nco", 3, None, [-0.5, 0.0, 0.5]),
    ("nco", 1, (0.0, 1.0), [0.5]),
    ("cc", 1, (2.0, 5.0), [3.5]),
    ("f1", 1, (2.0, 5.0), [3.5]),
])
def test_abscissas_exactly(rule, n, ab, expected):
    assert abscissas(rule, n, ab).tolist() == expected


@pytest.mark.parametrize("routine,line", [
    ("cc_abscissas", "CC_ABSCISSA"), ("f1_abscissas", "F1_ABSCISSAS"),
    ("f2_abscissas", "F2_ABSCISSAS"), ("ncc_abscissas", "NCC_ABSCISSAS"),
    ("nco_abscissas", "NCO_ABSCISSAS"), ("cc_abscissas_ab", "CC_ABSCISSAS_AB"),
    ("f1_abscissas_ab", "F1_ABSCISSAS_AB"), ("f2_abscissas_ab", "F2_ABSCISSAS_AB"),
    ("ncc_abscissas_ab", "NCC_ABSCISSAS_AB"), ("nco_abscissas_ab", "NCO_ABSCISSAS_AB"),
])
@pytest.mark.parametrize("n", [0, -5])
def test_abscissas_of_no_point_end_the_process(routine, line, n):
    ab = "d(0), d(1), " if routine.endswith("_ab") else ""
    r = run_lib(f"lib.{routine}_({ab}i({n}), ptr(np.zeros(1)))")
    assert (r.stdout, r.returncode) == (f" \n{line} - Fatal error!\n  N < 1.\n", 1)


# ---------------------------------------------------------------- Lagrange interpolation

def basis(t_data, t_interp):
    t_data, t_interp = arr(t_data), arr(t_interp)
    out = np.full((t_data.size, t_interp.size), 7.0, order="F")
    lib.lagrange_value_(i(t_data.size), ptr(t_data), i(t_interp.size), ptr(t_interp), ptr(out))
    return out


def test_basis_values_against_scipy():
    t = np.array([-1.0, 0.2, 0.5, 1.5, 3.0])
    ti = np.linspace(-2, 4, 9)
    ref = [lagrange(t, np.eye(5)[k])(ti) for k in range(5)]
    np.testing.assert_allclose(basis(t, ti), ref, rtol=1e-12, atol=1e-12)


def test_basis_at_the_data_is_the_identity():
    t = np.array([0.3, -1.7, 2.0, 5.5])
    np.testing.assert_array_equal(basis(t, t), np.eye(4))


@pytest.mark.parametrize("n,ni", [(0, 3), (3, 0)])
def test_basis_of_nothing_writes_nothing(n, ni):
    out = np.full(4, 7.0)
    lib.lagrange_value_(i(n), ptr(arr([0, 1, 2])), i(ni), ptr(arr([0, 1, 2])), ptr(out))
    assert (out == 7).all()


def test_equal_abscissas_give_non_finite_values():
    assert not np.isfinite(basis([0.0, 1.0, 1.0], [0.5])).all()


def test_interpolation_reproduces_polynomials_below_the_number_of_points():
    t = np.array([-2.0, -0.5, 0.0, 1.0, 2.5, 3.0])
    ti = np.array([-3.0, -1.0, 0.25, 0.7, 2.9, 4.0])
    polys = [np.polynomial.Polynomial(c) for c in ([1, -2, 0.5, 0.25, -0.1, 0.02], [3, 0, -1])]
    p = np.array([q(t) for q in polys], order="F")
    out = np.zeros((2, ti.size), order="F")
    lib.interp_lagrange_(i(2), i(t.size), ptr(t), ptr(p), i(ti.size), ptr(ti), ptr(out))
    np.testing.assert_allclose(out, [q(ti) for q in polys], rtol=1e-12, atol=1e-12)


# ---------------------------------------------------------------- parameterisations

def test_arc_length_and_index_parameters():
    p = arr([[0, 0], [3, 4], [3, 4], [6, 8]]).T.copy(order="F")  # p(2, 4)
    t = np.zeros(4)
    lib.parameterize_arc_length_(i(2), i(4), ptr(p), ptr(t))
    assert t.tolist() == [0, 5, 5, 10]
    lib.parameterize_index_(i(2), i(4), ptr(p), ptr(t))
    assert t.tolist() == [0, 1, 2, 3]


def test_arc_length_against_numpy():
    p = np.random.default_rng(3).normal(size=(3, 12)).copy(order="F")
    t = np.zeros(12)
    lib.parameterize_arc_length_(i(3), i(12), ptr(p), ptr(t))
    ref = np.concatenate([[0], np.cumsum(np.linalg.norm(np.diff(p, axis=1), axis=0))])
    np.testing.assert_allclose(t, ref, rtol=1e-14)


# ---------------------------------------------------------------- linear refinement

def expand(x, fat, before=None, after=0):
    x = arr(x)
    n = x.size
    total = (0 if before is None else before) + (n - 1) * (fat + 1) + 1 + after
    out = np.full(max(total, 1) + 2, 7.0)
    if before is None:
        lib.r8vec_expand_linear_(i(n), ptr(x), i(fat), ptr(out))
    else:
        lib.r8vec_expand_linear2_(i(n), ptr(x), i(before), i(fat), i(after), ptr(out))
    assert (out[max(total, 0):] == 7).all()  # nothing written beyond the result
    return out[:max(total, 0)]


@pytest.mark.parametrize("x,fat,before,after,expected", [
    ([0, 1], 3, None, 0, [0, 0.25, 0.5, 0.75, 1]),
    ([0, 1], 1, 1, 2, [-0.5, 0, 0.5, 1, 1.5, 2]),
    ([0, 1], 1, 2, 0, [-1, -0.5, 0, 0.5, 1]),
    ([2, 5, 4], 0, None, 0, [2, 5, 4]),
    ([3.5], 4, None, 0, [3.5]),
])
def test_expansions_by_hand(x, fat, before, after, expected):
    assert expand(x, fat, before, after).tolist() == expected


@pytest.mark.parametrize("fat,before,after", [(2, 0, 0), (3, 2, 5), (1, 4, 3)])
def test_expansion_against_the_polyline(fat, before, after):
    x = np.random.default_rng(fat).normal(size=6).cumsum()
    # positions in units of the intervals, and the polyline continued beyond both ends
    u = np.arange(-before, 5 * (fat + 1) + 1 + after) / (fat + 1)
    ref = np.interp(u, np.arange(6), x)
    ref[u < 0] = x[0] + u[u < 0] * (x[1] - x[0])
    ref[u > 5] = x[5] + (u[u > 5] - 5) * (x[5] - x[4])
    np.testing.assert_allclose(expand(x, fat, before, after), ref, rtol=1e-13, atol=1e-13)


@pytest.mark.parametrize("fat,before,after", [(-1, None, 0), (1, -1, 0), (1, 0, -2)])
def test_negative_counts_are_reported_and_write_nothing(fat, before, after, clean_register):
    x, out = arr([0, 1, 2]), np.full(8, 7.0)
    if before is None:
        lib.r8vec_expand_linear_(i(3), ptr(x), i(fat), ptr(out))
    else:
        lib.r8vec_expand_linear2_(i(3), ptr(x), i(before), i(fat), i(after), ptr(out))
    assert (out == 7).all()
    assert errstat() == -3 and "negative" in errtext()


def test_one_value_has_no_interval_to_continue(clean_register):
    assert expand([4.0], 2, before=2, after=1).tolist() == [4.0] * 4
    assert errstat() == -3 and errtext().startswith("r8vec_expand_linear2")


def resample(a, m2, n2):
    a = np.asfortranarray(a, dtype=float)
    out = np.full((m2, n2), 7.0, order="F")
    lib.r8mat_expand_linear2_(i(a.shape[0]), i(a.shape[1]), ptr(a), i(m2), i(n2), ptr(out))
    return out


def test_resampling_by_hand():
    a = [[1.0, 3.0], [5.0, 11.0]]
    np.testing.assert_allclose(resample(a, 3, 3), [[1, 2, 3], [3, 5, 7], [5, 8, 11]], rtol=1e-15)
    assert resample(a, 1, 1).tolist() == [[5.0]]


def test_resampling_against_scipy():
    a = np.random.default_rng(5).normal(size=(4, 5))
    grid = RegularGridInterpolator((np.linspace(0, 1, 4), np.linspace(0, 1, 5)), a)
    r, s = np.meshgrid(np.linspace(0, 1, 7), np.linspace(0, 1, 9), indexing="ij")
    np.testing.assert_allclose(resample(a, 7, 9), grid((r, s)), rtol=1e-13, atol=1e-14)
    np.testing.assert_allclose(resample(a, 1, 9), grid((np.full(9, 0.5), np.linspace(0, 1, 9)))
                               .reshape(1, 9), rtol=1e-13)


def test_resampling_a_single_row_is_constant_across(clean_register):
    np.testing.assert_allclose(resample([[0.0, 4.0, 6.0]], 2, 5), [[0, 2, 4, 5, 6]] * 2)
    assert errstat() == -3


def test_resampling_nothing_writes_nothing(clean_register):
    assert (resample(np.zeros((0, 3)), 2, 2) == 7).all()
    assert errstat() == -3
