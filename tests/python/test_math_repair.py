"""Matrix repair and iterative solvers of _vorlen.math against numpy.linalg and closed forms.

The nearest correlation matrix is compared with alternating projections (Higham's algorithm
with Dykstra's correction) computed here with numpy.
"""
import itertools

import numpy as np
import pytest

import _vorlen
from conftest import errstat, errtext

m = _vorlen.math
pytestmark = pytest.mark.usefixtures("clean_register")


def symmetric(n, seed, shift=0.0):
    a = np.random.default_rng(seed).uniform(-1.0, 1.0, (n, n))
    return (a + a.T) / 2 + shift * np.eye(n)


def spd(n, seed):
    a = np.random.default_rng(seed).uniform(-1.0, 1.0, (n, n)) + n * np.eye(n)
    return a @ a.T


def alternating_projections(a):
    """Unit-diagonal iterates of the alternating projections onto the PSD cone and the
    unit-diagonal matrices (Dykstra)."""
    y, ds = a.copy(), np.zeros_like(a)
    while True:
        r = y - ds
        w, v = np.linalg.eigh((r + r.T) / 2)
        x = (v * np.maximum(w, 0)) @ v.T
        ds = x - r
        y = x.copy()
        np.fill_diagonal(y, 1.0)
        yield y


def nearest_correlation_reference(a, tol=1e-15, maxiter=100000):
    yold = a
    for y in itertools.islice(alternating_projections(a), maxiter):
        if np.linalg.norm(y - yold) <= tol * np.linalg.norm(y):
            return y
        yold = y
    raise AssertionError("reference did not converge")


CALL_FORMS = [
    ("poweriteration", "eigenval,eigenvec = poweriteration(a,[n,maxiter,startvec,abstol])"),
    ("conjucategradient", "xgrad = conjucategradient(a,b,x0,[n,m])"),
    ("ispositivedefinite", "ispositivedefinite = ispositivedefinite(x,[n,tolerance])"),
    ("getprojectedspd", "ppd = getprojectedspd(a,[n])"),
    ("getnearestspd", "pd = getnearestspd(a,[n])"),
    ("getnearestpdnorm", "getnearestpdnorm = getnearestpdnorm(x,[n])"),
    ("getnearestcorrelationmatrix",
     "corr = getnearestcorrelationmatrix(a,[n,weights,tol,maxiter,cflag])"),
]


@pytest.mark.parametrize("name,form", CALL_FORMS)
def test_call_form(name, form):
    assert getattr(m, name).__doc__.splitlines()[0] == form


# ---------------------------------------------------------------- power iteration

@pytest.mark.parametrize("n,seed", [(1, 0), (3, 1), (6, 2), (20, 3)])
def test_power_iteration_gives_the_dominant_eigenpair(n, seed):
    a = symmetric(n, seed)
    w, v = np.linalg.eigh(a)
    k = np.argmax(np.abs(w))
    eigenval, eigenvec = m.poweriteration(a, maxiter=100000, abstol=1e-12)
    assert eigenval == pytest.approx(w[k], rel=1e-10)
    np.testing.assert_allclose(abs(eigenvec @ v[:, k]), 1.0, rtol=1e-10)
    assert np.linalg.norm(eigenvec) == pytest.approx(1.0, rel=1e-14)
    assert errstat() == 0


def test_power_iteration_of_a_negative_dominant_eigenvalue():
    eigenval, eigenvec = m.poweriteration(np.diag([2.0, -3.0]))
    assert eigenval == pytest.approx(-3.0, rel=1e-12)
    np.testing.assert_allclose(np.abs(eigenvec), [0.0, 1.0], atol=1e-9)
    assert errstat() == 0


def test_power_iteration_of_the_zero_matrix():
    eigenval, eigenvec = m.poweriteration(np.zeros((3, 3)))
    assert eigenval == 0.0
    np.testing.assert_array_equal(eigenvec, 0.0)
    assert errstat() == 0


def test_power_iteration_from_a_start_vector():
    # the start vector is the eigenvector of 1 here: one step converges to it
    eigenval, eigenvec = m.poweriteration(np.diag([1.0, 5.0]), startvec=[1.0, 0.0])
    assert (eigenval, errstat()) == (1.0, 0)
    np.testing.assert_array_equal(eigenvec, [1.0, 0.0])


def test_power_iteration_at_its_limit_is_reported():
    a = np.array([[2.0, -3.0], [-3.0, 5.0]])
    eigenval, eigenvec = m.poweriteration(a, maxiter=1)
    y = a @ np.ones(2)
    y /= np.linalg.norm(y)
    np.testing.assert_allclose(eigenvec, y, rtol=1e-15)
    assert eigenval == pytest.approx(y @ a @ y, rel=1e-15)
    assert (errstat(), errtext()) == (-2, "No convergence in von Mises eigenvalue computation")


@pytest.mark.parametrize("maxiter", [0, -5])
def test_power_iteration_without_iterations_has_not_converged(maxiter):
    a = np.array([[2.0, -3.0], [-3.0, 5.0]])
    eigenval, eigenvec = m.poweriteration(a, maxiter=maxiter, startvec=[3.0, 4.0])
    np.testing.assert_allclose(eigenvec, [0.6, 0.8], rtol=1e-15)
    assert eigenval == pytest.approx(np.array([0.6, 0.8]) @ a @ [0.6, 0.8], rel=1e-15)
    assert (errstat(), errtext()) == (-2, "No convergence in von Mises eigenvalue computation")
    # the change starts at 1: a tolerance above it has nothing to report
    _vorlen.errorhandling.rsxerr(1)
    m.poweriteration(a, maxiter=maxiter, abstol=1.5)
    assert errstat() == 0


@pytest.mark.parametrize("a,kw", [
    (np.array([[2.0, np.nan], [0.0, 1.0]]), {}),
    (np.array([[np.inf, 0.0], [0.0, 1.0]]), {}),
    (np.diag([2.0, 1.0]), {"startvec": [0.0, 0.0]}),
    (np.diag([2.0, 1.0]), {"startvec": [1.0, np.nan]}),
    (np.diag([2.0, 1.0]), {"abstol": np.nan}),
])
def test_power_iteration_of_unusable_input_is_reported(a, kw):
    eigenval, eigenvec = m.poweriteration(a, **kw)
    assert (eigenval, errstat()) == (0.0, -3)
    np.testing.assert_array_equal(eigenvec, 0.0)


def test_power_iteration_of_an_empty_matrix_is_reported():
    eigenval, eigenvec = m.poweriteration(np.zeros((0, 0)))
    assert (eigenval, eigenvec.size, errstat()) == (0.0, 0, -3)


# ---------------------------------------------------------------- conjugate gradients

@pytest.mark.parametrize("n", [2, 5, 12])
def test_conjugate_gradients_solve_a_positive_definite_system(n):
    a = spd(n, n)
    b = np.random.default_rng(n).uniform(-1, 1, n)
    x = m.conjucategradient(a, b, np.zeros(n))
    np.testing.assert_allclose(x, np.linalg.solve(a, b), rtol=1e-10, atol=1e-12)
    assert errstat() == 0


def test_conjugate_gradients_from_the_solution_return_it():
    a = np.array([[4.0, 1.0], [1.0, 3.0]])
    x = np.array([1.0, -2.0])
    np.testing.assert_array_equal(m.conjucategradient(a, a @ x, x), x)
    assert errstat() == 0


def test_conjugate_gradients_of_a_non_square_matrix_are_reported():
    x0 = np.array([1.0, 2.0, 3.0])
    np.testing.assert_array_equal(m.conjucategradient(np.ones((2, 3)), np.ones(3), x0), x0)
    assert errstat() == -3


def test_conjugate_gradients_without_curvature_are_reported():
    # p = (1, 1) has pᵀ·a·p = 0 for a = diag(1, -1)
    x = m.conjucategradient(np.diag([1.0, -1.0]), [1.0, 1.0], [0.0, 0.0])
    np.testing.assert_array_equal(x, [0.0, 0.0])
    assert errstat() == -3


# ---------------------------------------------------------------- definiteness

@pytest.mark.parametrize("x,tolerance,expected", [
    (np.diag([1.0, 1e-9]), None, 0),   # eigenvalue not above 1e-8
    (np.diag([1.0, 1e-9]), 1e-10, 1),
    (np.eye(3), None, 1),
    (np.array([[1.0, 2.0], [2.0, 1.0]]), None, 0),  # eigenvalues 3 and -1
    (-np.eye(2), None, 0),                          # positive determinant, negative eigenvalues
    (np.array([[2.0, 1.0], [1.0, 2.0]]), 0.99, 1),  # eigenvalues 1 and 3
    (np.array([[2.0, 1.0], [1.0, 2.0]]), 1.0, 0),
])
def test_is_positive_definite(x, tolerance, expected):
    kw = {} if tolerance is None else {"tolerance": tolerance}
    assert m.ispositivedefinite(x, **kw) == expected
    assert errstat() == 0


def test_is_positive_definite_of_a_singular_matrix_is_false_and_reported():
    assert m.ispositivedefinite(np.zeros((2, 2))) == 0
    assert (errstat(), errtext()) == (-2, "Singularity in LU-factorization computation")


# ---------------------------------------------------------------- repairs

def test_projection_onto_the_semidefinite_matrices():
    np.testing.assert_allclose(m.getprojectedspd(np.diag([1.0, -1.0])), np.diag([1.0, 0.0]),
                               atol=1e-15)
    a = np.random.default_rng(5).uniform(-1, 1, (6, 6))
    w, v = np.linalg.eigh((a + a.T) / 2)
    np.testing.assert_allclose(m.getprojectedspd(a), (v * np.maximum(w, 0)) @ v.T, atol=1e-14)


@pytest.mark.parametrize("n", [1, 4, 9, 20])
def test_nearest_spd_of_a_positive_definite_matrix_is_the_matrix(n):
    a = spd(n, n)
    np.testing.assert_allclose(m.getnearestspd(a), a, rtol=1e-12, atol=1e-12 * np.abs(a).max())
    assert m.getnearestpdnorm(a) == 0.0


@pytest.mark.parametrize("a", [symmetric(5, 7), symmetric(9, 8, shift=-0.5),
                               np.array([[1.0, 2.0], [2.0, 1.0]]), -np.eye(3), np.zeros((2, 2)),
                               np.random.default_rng(9).uniform(-1, 1, (4, 4))])
def test_nearest_spd_of_an_indefinite_matrix_is_positive_definite(a):
    pd = m.getnearestspd(a)
    np.testing.assert_array_equal(pd, pd.T)
    assert np.linalg.eigvalsh(pd).min() >= 0.0
    np.linalg.cholesky(pd)
    assert m.getnearestpdnorm(a) == pytest.approx(np.linalg.norm(a - pd), rel=1e-12)
    assert errstat() == 0


# Indefinite 2 by 2 matrices: the positive part (B + |B|)/2 is singular, and rounding leaves its
# smallest eigenvalue at 0 or just above it while the Cholesky factorisation still fails.
SINGULAR_POSITIVE_PARTS = [(-1.0, 6.0, 4.0), (-4.0, 8.0, 0.0), (-7.0, 9.0, 7.0), (-2.0, 6.0, 6.0),
                           (-1.0, 6.0, -2.0), (-5.0, 9.0, 1.0)]


@pytest.mark.parametrize("a11,a12,a22", SINGULAR_POSITIVE_PARTS)
def test_nearest_spd_of_a_singular_positive_part(a11, a12, a22):
    b = np.array([[a11, a12], [a12, a22]])
    w, v = np.linalg.eigh(b)
    positive_part = (v * np.maximum(w, 0)) @ v.T
    pd = m.getnearestspd(b)
    np.linalg.cholesky(pd)
    np.testing.assert_allclose(pd, positive_part, rtol=0, atol=1e-12 * np.abs(b).max())
    assert m.getnearestpdnorm(b) == pytest.approx(np.linalg.norm(b - positive_part), rel=1e-12)
    assert errstat() == 0


def test_nearest_pd_norm_of_the_identity_is_zero():
    assert m.getnearestpdnorm(np.eye(4)) == 0.0


@pytest.mark.parametrize("a", [np.array([[1.0, np.nan], [0.0, 1.0]]), np.full((3, 3), np.inf),
                               np.full((3, 3), 1e308)])
def test_nearest_spd_of_a_matrix_beyond_the_numbers_ends_and_is_reported(a):
    np.testing.assert_array_equal(m.getnearestspd(a), 0.0)
    assert errstat() == -3


@pytest.mark.parametrize("routine", [m.getnearestspd, m.getprojectedspd,
                                     m.getnearestcorrelationmatrix, m.getnearestpdnorm,
                                     m.ispositivedefinite])
def test_empty_matrix_is_reported(routine):
    routine(np.zeros((0, 0)))
    assert errstat() == -3


# ---------------------------------------------------------------- nearest correlation

TRIDIAGONAL = 2 * np.eye(4) - np.eye(4, k=1) - np.eye(4, k=-1)


def test_nearest_correlation_matrix_of_the_tridiagonal_matrix():
    corr = m.getnearestcorrelationmatrix(TRIDIAGONAL)
    np.testing.assert_allclose(corr[0], [1.0, -0.8084, 0.1916, 0.1068], atol=5e-5)
    np.testing.assert_allclose(corr, nearest_correlation_reference(TRIDIAGONAL), atol=1e-10)
    np.linalg.cholesky(corr)
    assert errstat() == 0


@pytest.mark.parametrize("seed", [1, 2])
def test_nearest_correlation_matrix_of_a_random_symmetric_matrix(seed):
    a = symmetric(6, seed)
    np.fill_diagonal(a, 1.0)
    corr = m.getnearestcorrelationmatrix(a, tol=1e-14, maxiter=1000)
    np.testing.assert_allclose(corr, nearest_correlation_reference(a), atol=1e-8)


def test_nearest_correlation_matrix_of_a_correlation_matrix_is_the_matrix():
    c = np.array([[1.0, 0.5, 0.2], [0.5, 1.0, -0.3], [0.2, -0.3, 1.0]])
    np.testing.assert_allclose(m.getnearestcorrelationmatrix(c), c, atol=1e-14)
    # equal weights change nothing
    np.testing.assert_allclose(m.getnearestcorrelationmatrix(c, weights=[2.0, 2.0, 2.0]), c,
                               atol=1e-14)


@pytest.mark.parametrize("cflag,transform", [(1, lambda r: 2 * np.sin(np.pi / 6 * r)),
                                             (2, lambda r: np.sin(np.pi / 2 * r))])
def test_rank_correlations_become_pearson_coefficients(cflag, transform):
    c = np.array([[1.0, 0.5, 0.2], [0.5, 1.0, -0.3], [0.2, -0.3, 1.0]])
    np.testing.assert_allclose(m.getnearestcorrelationmatrix(c, cflag=cflag), transform(c),
                               atol=1e-14)


def random_correlation(n, rng):
    """Random positive definite correlation matrix: a normalised Gram matrix."""
    b = rng.standard_normal((n, n + 1))
    c = b @ b.T
    d = 1.0 / np.sqrt(np.diag(c))
    c = c * d[:, None] * d[None, :]
    np.fill_diagonal(c, 1.0)
    return (c + c.T) / 2


def test_nearest_correlation_matrix_of_correlation_matrices_is_the_matrix():
    # About one 3 by 3 correlation matrix in a hundred settles above the tolerance n eps
    # through the rounding of the eigen-decomposition; the first is one of them.
    rng = np.random.default_rng(28)
    cases = [np.array([[1.0, -0.38, -0.48], [-0.38, 1.0, 0.06], [-0.48, 0.06, 1.0]])]
    cases += [random_correlation(n, rng) for n in [2] * 50 + [3] * 400 + [4] * 100 + [8, 16, 40]]
    for c in cases:
        corr = m.getnearestcorrelationmatrix(c)
        np.testing.assert_allclose(corr, c, rtol=0, atol=1e-12, err_msg=str(c))
        assert errstat() == 0


def test_nearest_correlation_matrix_tolerance_below_rounding_is_met():
    c = np.array([[1.0, -0.38, -0.48], [-0.38, 1.0, 0.06], [-0.48, 0.06, 1.0]])
    np.testing.assert_allclose(m.getnearestcorrelationmatrix(c, tol=1e-300, maxiter=10000), c,
                               rtol=0, atol=1e-12)
    assert errstat() == 0


def test_nearest_correlation_matrix_of_an_invalid_matrix_with_defaults():
    a = np.array([[1.0, 0.9, -0.9], [0.9, 1.0, 0.9], [-0.9, 0.9, 1.0]])
    corr = m.getnearestcorrelationmatrix(a)
    np.testing.assert_allclose(corr, nearest_correlation_reference(a), atol=1e-10)
    assert errstat() == 0


@pytest.mark.parametrize("maxiter,cflag,transform", [
    (1, 0, lambda r: r),
    (3, 0, lambda r: r),
    (3, 1, lambda r: 2 * np.sin(np.pi / 6 * r)),
    (3, 2, lambda r: np.sin(np.pi / 2 * r)),
])
def test_nearest_correlation_matrix_beyond_its_limit_gives_the_last_iterate(maxiter, cflag,
                                                                           transform):
    a = symmetric(5, 7, shift=0.5)
    corr = m.getnearestcorrelationmatrix(a, maxiter=maxiter, cflag=cflag)
    last = next(itertools.islice(alternating_projections(a), maxiter - 1, None))
    np.testing.assert_allclose(corr, transform(last), atol=1e-13)
    assert (errstat(), errtext()) == (-1, "No convergence in GetNearestCorrelationMatrix")


@pytest.mark.parametrize("a,weights", [
    (np.array([[1.0, np.nan], [np.nan, 1.0]]), None),
    (np.full((3, 3), np.inf), None),
    (np.eye(2), [1.0, np.nan]),
    (np.eye(2), [1.0, -2.0]),    # sqrt(w(1) w(2)) of a negative product
    (np.full((3, 3), 1e308), None),  # the projection overflows
])
def test_nearest_correlation_matrix_beyond_the_numbers_ends_and_is_reported(a, weights):
    kw = {} if weights is None else {"weights": weights}
    np.testing.assert_array_equal(m.getnearestcorrelationmatrix(a, **kw), 0.0)
    assert errstat() == -3
