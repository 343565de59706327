"""Matrix and vector kernels of _vorlen.math against numpy and hand calculations.

Products of random inputs are compared with numpy at rtol 1e-14; hand-calculated cases exactly.
"""
import numpy as np
import pytest

import _vorlen

m = _vorlen.math
eh = _vorlen.errorhandling


@pytest.fixture
def register():
    """The first-error register, cleared before and after the test."""
    eh.errstat = 0
    yield eh
    eh.errstat = 0


def rand(*shape, seed=0):
    return np.random.default_rng(seed + sum(shape)).uniform(-2.0, 2.0, shape)


CALL_FORMS = [
    ("matrixproduct", "c = matrixproduct(a,b,[l,n,m])"),
    ("matrixvectorproduct", "c = matrixvectorproduct(a,b,[n,m])"),
    ("vectormatrixproduct", "c = vectormatrixproduct(a,b,[n,m])"),
    ("lumatrixvectorproduct", "c = lumatrixvectorproduct(a,b,[m,n])"),
    ("dotproduct", "c = dotproduct(a,b,[l])"),
    ("crossproduct", "c = crossproduct(a,b)"),
    ("vectortripleproduct", "d = vectortripleproduct(a,b,c)"),
    ("scalartripleproduct", "d = scalartripleproduct(a,b,c)"),
    ("dyadenproduct", "c = dyadenproduct(a,b,[m,n])"),
    ("kroneckerproduct", "ab = kroneckerproduct(a,b,[ma,na,pb,qb])"),
    ("hadamardproduct", "c = hadamardproduct(a,b,[l,n])"),
    ("hadamarddivision", "c = hadamarddivision(a,b,[l,n])"),
    ("matrixscalarmultiplication", "a = matrixscalarmultiplication(a,b,c,[n,m,overwrite_a])"),
    ("vectorscalarmultiplication", "a = vectorscalarmultiplication(a,b,c,[n,overwrite_a])"),
    ("matrixamplify", "a = matrixamplify(a,c,[n,m,overwrite_a])"),
    ("vectoramplify", "a = vectoramplify(a,c,[n,overwrite_a])"),
    ("matrixsum", "a = matrixsum(a,b,[n,m,overwrite_a])"),
    ("matrixsub", "a = matrixsub(a,b,[n,m,overwrite_a])"),
    ("vectorsum", "a = vectorsum(a,b,[n,overwrite_a])"),
    ("vectorsub", "a = vectorsub(a,b,[n,overwrite_a])"),
    ("getabvector", "v = getabvector(a,b,[n])"),
    ("matrixshrinkage", "c = matrixshrinkage(a,b,alpha,[n,m])"),
    ("matrixsymmetrize", "sym = matrixsymmetrize(a,[n])"),
    ("matrixtranspose", "b = matrixtranspose(a,[n,m])"),
    ("matrixdiagonal", "diag = matrixdiagonal(a,k,[n])"),
    ("trace", "trace = trace(x,[n])"),
    ("cumulativesum", "csum = cumulativesum(a,[n,seed])"),
    ("cumulativeproduct", "cprod = cumulativeproduct(a,[n,seed])"),
]


@pytest.mark.parametrize("name,form", CALL_FORMS)
def test_call_form(name, form):
    assert getattr(m, name).__doc__.splitlines()[0] == form


# ---- products ----------------------------------------------------------------------------------

@pytest.mark.parametrize("l,n,mm", [(3, 3, 3), (2, 5, 4), (6, 1, 2), (1, 4, 1)])
def test_matrix_products_match_numpy(l, n, mm):
    a, b = rand(l, n), rand(n, mm, seed=1)
    np.testing.assert_allclose(m.matrixproduct(a, b), a @ b, rtol=1e-14)
    x = rand(n, seed=2)
    np.testing.assert_allclose(m.matrixvectorproduct(a, x), a @ x, rtol=1e-14)
    y = rand(l, seed=3)
    np.testing.assert_allclose(m.vectormatrixproduct(y, a), a.T @ y, rtol=1e-14)


def test_matrixproduct_skips_zero_entries_of_b():
    a = np.array([[np.nan, 1.0], [np.inf, 2.0]])
    b = np.array([[0.0, 1.0], [3.0, 0.0]])
    c = m.matrixproduct(a, b)
    np.testing.assert_array_equal(c[:, 0], [3.0, 6.0])  # a(:,1) never meets b(1,1) = 0
    assert np.isnan(c[0, 1]) and np.isinf(c[1, 1])


def packed_rows(s):
    """A symmetric matrix packed by rows of its upper triangle."""
    return np.concatenate([s[r, r:] for r in range(s.shape[0])])


def test_lumatrixvectorproduct():
    np.testing.assert_array_equal(m.lumatrixvectorproduct([1.0, 2.0, 3.0], [1.0, 1.0]), [3.0, 5.0])
    s = rand(4, 4)
    s = s + s.T
    b = rand(4, seed=5)
    np.testing.assert_allclose(m.lumatrixvectorproduct(packed_rows(s), b), s @ b, rtol=1e-14)


@pytest.mark.parametrize("a,b", [
    ([1.0, 2.0], [1.0, 1.0]),                    # n = 2 needs 3 packed entries
    (np.ones(5), np.ones(3)),                    # n = 3 needs 6
    (np.ones(9), np.ones(4)),                    # n = 4 needs 10
])
def test_lumatrixvectorproduct_short_packed_matrix(a, b, register):
    c = m.lumatrixvectorproduct(a, b)
    np.testing.assert_array_equal(c, np.zeros(len(b)))
    assert register.errstat == -3


def test_dotproduct():
    a, b = rand(7), rand(7, seed=1)
    assert m.dotproduct(a, b) == pytest.approx(a @ b, rel=1e-14)
    assert m.dotproduct(np.zeros(0), np.zeros(0)) == 0.0


def test_three_vector_products():
    a, b, c = rand(3), rand(3, seed=1), rand(3, seed=2)
    np.testing.assert_allclose(m.crossproduct(a, b), np.cross(a, b), rtol=1e-14)
    np.testing.assert_allclose(m.vectortripleproduct(a, b, c), np.cross(a, np.cross(b, c)),
                               rtol=1e-13)
    assert m.scalartripleproduct(a, b, c) == pytest.approx(np.linalg.det(np.array([a, b, c])),
                                                           rel=1e-13)
    np.testing.assert_array_equal(m.crossproduct([1.0, 0, 0], [0, 1.0, 0]), [0, 0, 1.0])


def test_dyadenproduct():
    a, b = rand(3), rand(4, seed=1)
    np.testing.assert_array_equal(m.dyadenproduct(a, b), np.outer(a, b))


@pytest.mark.parametrize("a,b,expected", [
    ([[1.0], [2.0]], [[1.0, 2.0, 3.0]], [[1, 2, 3], [2, 4, 6]]),
    ([[1.0, 2.0]], [[3.0]], [[3.0, 6.0]]),
    (rand(2, 3), rand(3, 2, seed=1), None),
])
def test_kroneckerproduct(a, b, expected):
    expected = np.kron(a, b) if expected is None else expected
    np.testing.assert_array_equal(m.kroneckerproduct(a, b), expected)


def test_hadamard_product_and_division():
    np.testing.assert_array_equal(m.hadamarddivision([[1.0, 2.0]], [[0.0, 4.0]]), [[0.0, 0.5]])
    np.testing.assert_array_equal(m.hadamardproduct([[0.0, 3.0, np.inf]], [[np.inf, 2.0, 0.0]]),
                                  [[0.0, 6.0, 0.0]])
    c = m.hadamarddivision([[np.nan, 0.0]], [[1.0, np.nan]])    # NaN counts as non-zero
    assert np.isnan(c[0, 0]) and c[0, 1] == 0.0


# ---- in-place arithmetic -----------------------------------------------------------------------

def test_scalar_multiplication_is_scaled_accumulation():
    a, b = rand(3, 2), rand(3, 2, seed=1)
    np.testing.assert_array_equal(m.matrixscalarmultiplication(a, b, 2.0), a + 2.0 * b)
    np.testing.assert_array_equal(m.vectorscalarmultiplication(a[:, 0], b[:, 0], -0.5),
                                  a[:, 0] - 0.5 * b[:, 0])


@pytest.mark.parametrize("c,expected", [(np.nan, [0.0, np.nan, -0.0]), (-1.0, [0.0, -2.0, -0.0]),
                                        (np.inf, [0.0, np.inf, -0.0])])
def test_amplify_leaves_zero_entries(c, expected):
    a = np.array([0.0, 2.0, -0.0])
    for got in (m.vectoramplify(a, c), m.matrixamplify(a.reshape(3, 1), c)[:, 0]):
        np.testing.assert_array_equal(got, expected)
        np.testing.assert_array_equal(np.signbit(got), np.signbit(expected))


def test_in_place_sums():
    a, b = rand(2, 3), rand(2, 3, seed=1)
    np.testing.assert_array_equal(m.matrixsum(a, b), a + b)
    np.testing.assert_array_equal(m.matrixsub(a, b), a - b)
    np.testing.assert_array_equal(m.vectorsum(a[0], b[0]), a[0] + b[0])
    np.testing.assert_array_equal(m.vectorsub(a[0], b[0]), a[0] - b[0])
    np.testing.assert_array_equal(m.getabvector(a[0], b[0]), b[0] - a[0])


def test_in_place_on_the_callers_array():
    a = np.asfortranarray(np.ones((2, 2)))
    out = m.matrixscalarmultiplication(a, np.eye(2), 3.0, overwrite_a=1)
    assert out is a
    np.testing.assert_array_equal(a, [[4.0, 1.0], [1.0, 4.0]])


# ---- other matrix operations -------------------------------------------------------------------

@pytest.mark.parametrize("alpha,f", [(0.25, 0.25), (1.5, 1.0), (1.0, 1.0), (-1.0, 0.0),
                                     (np.nan, 1.0)])
def test_matrixshrinkage(alpha, f):
    a, b = rand(3, 2), rand(3, 2, seed=1)
    np.testing.assert_array_equal(m.matrixshrinkage(a, b, alpha), f * a + (1.0 - f) * b)


def test_symmetrize_and_transpose():
    a = rand(4, 4)
    np.testing.assert_array_equal(m.matrixsymmetrize(a), (a + a.T) * 0.5)
    r = rand(2, 5)
    np.testing.assert_array_equal(m.matrixtranspose(r), r.T)


@pytest.mark.parametrize("k", [0, 1, 2, -1, -2, 3, -3])
def test_matrixdiagonal(k):
    a = np.arange(1.0, 10.0).reshape(3, 3)
    np.testing.assert_array_equal(m.matrixdiagonal(a, k), np.diagonal(a, offset=k))


def test_trace():
    a = rand(5, 5)
    assert m.trace(a) == pytest.approx(np.trace(a), rel=1e-15)


@pytest.mark.parametrize("routine,seed,expected", [
    ("cumulativesum", None, [1.0, 3.0, 6.0]),
    ("cumulativesum", 10.0, [11.0, 13.0, 16.0]),
    ("cumulativeproduct", None, [1.0, 2.0, 6.0]),
    ("cumulativeproduct", 2.0, [2.0, 4.0, 12.0]),
])
def test_cumulative(routine, seed, expected):
    kwargs = {} if seed is None else {"seed": seed}
    np.testing.assert_array_equal(getattr(m, routine)([1.0, 2.0, 3.0], **kwargs), expected)
