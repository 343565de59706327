"""Dense linear algebra of _vorlen.math against numpy.linalg, scipy.linalg and hand calculations.

Tolerances: results of LAPACK factorisations are compared with rtol 1e-12 (well-conditioned
inputs), hand-calculated small cases exactly.
"""
import itertools
import math
from fractions import Fraction

import numpy as np
import pytest
import scipy.linalg

import _vorlen
from conftest import run_python

m = _vorlen.math
eh = _vorlen.errorhandling

CHOLESKY_MARKER = -1.7976931348623157e308
# Orders on both sides of the fixed stack workspace (16) of the LAPACK wrappers.
ORDERS = [1, 3, 6, 8, 20]


@pytest.fixture
def register():
    """The first-error register, cleared before and after the test."""
    eh.errstat = 0
    yield eh
    eh.errstat = 0


def message(reg):
    return bytes(reg.errstring[()]).decode().rstrip()


def well_conditioned(n, seed=0):
    rng = np.random.default_rng(seed + n)
    return rng.uniform(-1.0, 1.0, (n, n)) + n * np.eye(n)


def spd(n, seed=0):
    a = well_conditioned(n, seed)
    return a @ a.T


CALL_FORMS = [
    ("matrixinverse", "ainv = matrixinverse(a,[n])"),
    ("lufactdeterminant", "lud = lufactdeterminant(a,[n])"),
    ("determinant", "pd = determinant(a,[n,pdflag])"),
    ("getprincipleminor", "getprincipleminor = getprincipleminor(sm,i,[k])"),
    ("getfirstminor", "getfirstminor = getfirstminor(sm,i,j,[k])"),
    ("getcofactor", "getcofactor = getcofactor(mij,i,j)"),
    ("matrixeigenvalues", "d = matrixeigenvalues(a,[n])"),
    ("matrixeigenvectors", "z,eigvals = matrixeigenvectors(a,[n,eigvals,overwrite_eigvals])"),
    ("vectormodalassurancecriterion",
     "vectormodalassurancecriterion = vectormodalassurancecriterion(a,b,[n])"),
    ("matrixmodalassurancecriterion", "mac = matrixmodalassurancecriterion(xs,ys,[n])"),
    ("singularvaluedecomposition", "u,s,v = singularvaluedecomposition(a,[m,n])"),
    ("choleskyfactorization", "c = choleskyfactorization(a,[n])"),
    ("generalmatrixproduct", "d = generalmatrixproduct(alpha,a,b,beta,c,sa,sb,[m,n,k])"),
]


@pytest.mark.parametrize("name,form", CALL_FORMS)
def test_call_form(name, form):
    assert getattr(m, name).__doc__.splitlines()[0] == form


# ---- inverse and determinants ------------------------------------------------------------------

@pytest.mark.parametrize("n", ORDERS)
def test_matrixinverse_matches_numpy(n, register):
    a = well_conditioned(n)
    np.testing.assert_allclose(m.matrixinverse(a), np.linalg.inv(a), rtol=1e-12, atol=1e-14)
    assert register.errstat == 0


def test_matrixinverse_singular_reports_and_leaves_lu_factors(register):
    # Pivoting swaps the rows: U = [[2, 4], [0, 0]], L(2,1) = 0.5, packed as LAPACK leaves them.
    ainv = m.matrixinverse([[1.0, 2.0], [2.0, 4.0]])
    np.testing.assert_array_equal(ainv, [[2.0, 4.0], [0.5, 0.0]])
    assert register.errstat == -2
    assert message(register) == "Matrix inverse becomes numerically singular!"
    assert len(bytes(register.errstring[()])) == 80


@pytest.mark.parametrize("routine", ["matrixinverse", "lufactdeterminant", "matrixeigenvalues",
                                     "matrixeigenvectors", "matrixmodalassurancecriterion",
                                     "choleskyfactorization"])
def test_order_zero_is_reported_not_handed_to_lapack(routine, register):
    args = [np.zeros((0, 0))] * (2 if routine == "matrixmodalassurancecriterion" else 1)
    getattr(m, routine)(*args)
    assert register.errstat == -3


@pytest.mark.parametrize("n", ORDERS)
def test_lufactdeterminant_matches_numpy(n, register):
    a = well_conditioned(n)
    assert m.lufactdeterminant(a) == pytest.approx(np.linalg.det(a), rel=1e-12)
    assert register.errstat == 0


def test_lufactdeterminant_sign_of_a_row_swap():
    # Pivoting swaps the two rows once: pivots 3 and 2 - 1·4/3, sign flipped.
    assert m.lufactdeterminant([[1.0, 2.0], [3.0, 4.0]]) == pytest.approx(-2.0, rel=1e-15)


def test_lufactdeterminant_singular(register):
    assert m.lufactdeterminant([[1.0, 2.0], [2.0, 4.0]]) == 0.0
    assert register.errstat == -2
    assert message(register) == "Singularity in LU-factorization computation"


@pytest.mark.parametrize("a,pdflag,expected", [
    ([[1.0, 2.0], [3.0, 4.0]], -1, -2.0),
    ([[1.0, 2.0], [3.0, 4.0]], 1, 10.0),            # permanent 1·4 + 2·3
    ([[1.0, 2.0], [3.0, 4.0]], 2, 16.0),            # 1·4 + 2·(2·3)
    (np.ones((3, 3)), 1, 6.0),                       # permanent of J3 = 3!
    ([[7.0]], -1, 7.0),
    (np.zeros((0, 0)), -1, 0.0),
])
def test_determinant_cofactor_expansion(a, pdflag, expected):
    assert m.determinant(a, pdflag=pdflag) == expected


def test_determinant_default_is_the_determinant():
    a = well_conditioned(5)
    assert m.determinant(a) == pytest.approx(np.linalg.det(a), rel=1e-12)


def brute_force_permanent(a):
    return sum(np.prod([a[i][p[i]] for i in range(len(a))]) for p in itertools.permutations(range(len(a))))


def subset_permanent(a):
    """Permanent summed row by row over the sets of columns already used (exact for ints)."""
    n = len(a)
    partial = {0: 1}
    for i in range(n):
        nxt = {}
        for used, v in partial.items():
            for j in range(n):
                if not used >> j & 1:
                    nxt[used | 1 << j] = nxt.get(used | 1 << j, 0) + v * a[i][j]
        partial = nxt
    return partial[(1 << n) - 1]


@pytest.mark.parametrize("n", [2, 4, 7])
def test_permanent_by_expansion_matches_brute_force(n):
    a = np.random.default_rng(n).uniform(-1.0, 1.0, (n, n))
    assert m.determinant(a, pdflag=1) == pytest.approx(brute_force_permanent(a), rel=1e-13)


@pytest.mark.parametrize("n", [13, 20, 45])
def test_determinant_above_order_12_matches_numpy(n, register):
    a = well_conditioned(n)
    assert m.determinant(a) == pytest.approx(np.linalg.det(a), rel=1e-12)
    assert register.errstat == 0


def test_determinant_above_order_12_of_a_singular_matrix_is_zero(register):
    a = well_conditioned(14)
    a[:, 3] = 0.0
    assert m.determinant(a) == 0.0
    assert register.errstat == 0


@pytest.mark.parametrize("a,expected", [
    (np.ones((13, 13)), math.factorial(13)),
    (np.ones((14, 14)) - np.eye(14), 32071101049),   # derangements of 14
])
def test_permanent_above_order_12_closed_forms(a, expected):
    assert m.determinant(a, pdflag=1) == expected


@pytest.mark.parametrize("n", [13, 14])
def test_permanent_above_order_12_matches_subset_sum(n):
    rng = np.random.default_rng(n)
    ints = rng.integers(-3, 4, (n, n))
    assert m.determinant(ints.astype(float), pdflag=1) == subset_permanent(ints.tolist())
    x = rng.uniform(0.0, 1.0, (n, n))
    exact = subset_permanent([[Fraction(v) for v in row] for row in x.tolist()])
    assert m.determinant(x, pdflag=1) == pytest.approx(float(exact), rel=1e-8)


@pytest.mark.parametrize("n", [16, 18, 20])
def test_permanent_of_the_all_ones_matrix_keeps_its_digits(n):
    # Ryser's terms reach 1e27 at order 20 against 20! = 2.4e18
    assert m.determinant(np.ones((n, n)), pdflag=1) == pytest.approx(math.factorial(n), rel=1e-15)


def test_permanent_of_a_positive_matrix_keeps_its_digits():
    # entries k / 1024: the permanent is an exact integer over 1024^n
    n = 15
    ints = np.random.default_rng(5).integers(1, 1024, (n, n))
    exact = Fraction(subset_permanent(ints.tolist()), 1024**n)
    assert m.determinant(ints / 1024.0, pdflag=1) == pytest.approx(float(exact), rel=1e-15)


@pytest.mark.parametrize("n,pdflag", [(31, 1), (13, 2), (13, 0)])
def test_determinant_orders_out_of_reach_are_reported(n, pdflag, register):
    assert m.determinant(np.eye(n), pdflag=pdflag) == 0.0
    assert register.errstat == -3


def test_determinant_docstring_notes_the_order_limits():
    notes = m.determinant.__doc__.split("Notes\n-----\n")[1]
    assert "order 12" in notes and "order 30" in notes
    assert "double-double" in notes and "1e-32" in notes


def test_principle_minors():
    sm = well_conditioned(4)
    sm[0, 0] = 5.0
    assert m.getprincipleminor(sm, 1) == 5.0
    for i in (2, 4):
        assert m.getprincipleminor(sm, i) == pytest.approx(np.linalg.det(sm[:i, :i]), rel=1e-12)


def test_first_minor_and_cofactor_rebuild_the_determinant():
    sm = well_conditioned(4)
    for i, j in [(1, 1), (2, 3), (4, 1)]:
        kept = np.delete(np.delete(sm, i - 1, axis=0), j - 1, axis=1)
        assert m.getfirstminor(sm, i, j) == pytest.approx(np.linalg.det(kept), rel=1e-12)
    # Laplace expansion along row 2 from the library's own minors and cofactors.
    total = sum(sm[1, j - 1] * m.getcofactor(m.getfirstminor(sm, 2, j), 2, j) for j in range(1, 5))
    assert total == pytest.approx(np.linalg.det(sm), rel=1e-12)


@pytest.mark.parametrize("mij,i,j,expected", [(5.0, 1, 2, -5.0), (5.0, 2, 2, 5.0), (-3.0, 2, 3, 3.0)])
def test_getcofactor(mij, i, j, expected):
    assert m.getcofactor(mij, i, j) == expected


@pytest.mark.parametrize("call", [
    lambda: m.getprincipleminor(np.eye(3), 0),
    lambda: m.getprincipleminor(np.eye(3), 4),
    lambda: m.getfirstminor(np.eye(3), 0, 1),
    lambda: m.getfirstminor(np.eye(3), 1, 4),
    lambda: m.getfirstminor(np.eye(1), 1, 1),       # the minor would be empty
])
def test_minor_indices_outside_the_matrix(call, register):
    assert call() == 0.0
    assert register.errstat == -3


# ---- eigenproblems and modal assurance ---------------------------------------------------------

@pytest.mark.parametrize("n", ORDERS)
def test_matrixeigenvalues_ascending_from_upper_triangle(n):
    a = well_conditioned(n)          # not symmetric: only the upper triangle counts
    upper = np.triu(a) + np.triu(a, 1).T
    np.testing.assert_allclose(m.matrixeigenvalues(a), np.linalg.eigvalsh(upper, UPLO="U"),
                               rtol=1e-12, atol=1e-12)


@pytest.mark.parametrize("n", ORDERS)
def test_matrixeigenvectors_orthonormal_and_ordered(n):
    a = spd(n)
    a_lower_junk = np.triu(a) + np.tril(np.full((n, n), 99.0), -1)
    z, w = m.matrixeigenvectors(a_lower_junk)
    expected = np.linalg.eigvalsh(a)
    np.testing.assert_allclose(w, expected, rtol=1e-12)
    np.testing.assert_allclose(z.T @ z, np.eye(n), atol=1e-12)
    np.testing.assert_allclose(a @ z, z * expected, rtol=1e-10, atol=1e-10 * expected.max())


@pytest.mark.parametrize("eigvals,returned", [
    ([-1.0, -1.0, -1.0], True),
    ([-1.0, -1.0, 0.0], False),
    ([-1.0, np.nan, -1.0], False),
])
def test_matrixeigenvectors_eigenvalues_only_on_request(eigvals, returned):
    a = np.diag([3.0, 1.0, 2.0])
    _, w = m.matrixeigenvectors(a, eigvals=np.array(eigvals))
    np.testing.assert_array_equal(w, [1.0, 2.0, 3.0] if returned else eigvals)


@pytest.mark.parametrize("a,b,expected", [
    ([1.0, 2.0, 3.0], [1.0, 2.0, 3.0], 1.0),
    ([1.0, 2.0, 3.0], [-3.0, -6.0, -9.0], 1.0),
    ([1.0, 0.0], [1.0, 1.0], 0.5),
    ([1.0, 0.0], [0.0, 2.0], 0.0),
])
def test_vectormodalassurancecriterion(a, b, expected):
    assert m.vectormodalassurancecriterion(a, b) == pytest.approx(expected, rel=1e-15)


def test_vectormodalassurancecriterion_zero_vector_is_nan():
    assert np.isnan(m.vectormodalassurancecriterion([0.0, 0.0], [1.0, 2.0]))


def test_matrixmodalassurancecriterion():
    # Rows follow the ascending eigenvalues of xs (e1, e2, e3), columns those of ys (e2, e3, e1).
    xs, ys = np.diag([1.0, 2.0, 3.0]), np.diag([3.0, 1.0, 2.0])
    np.testing.assert_allclose(m.matrixmodalassurancecriterion(xs, ys),
                               [[0, 0, 1], [1, 0, 0], [0, 1, 0]], atol=1e-15)
    a = spd(4)
    np.testing.assert_allclose(m.matrixmodalassurancecriterion(a, a), np.eye(4), atol=1e-12)


# ---- singular values, Cholesky -----------------------------------------------------------------

@pytest.mark.parametrize("shape", [(2, 3), (3, 2), (1, 1), (6, 6), (20, 17), (5, 24)])
def test_singularvaluedecomposition(shape):
    rng = np.random.default_rng(shape[0] * 31 + shape[1])
    a = rng.uniform(-1.0, 1.0, shape)
    u, s, v = m.singularvaluedecomposition(a)
    assert u.shape == (shape[0], shape[0]) and s.shape == shape and v.shape == (shape[1], shape[1])
    k = min(shape)
    np.testing.assert_allclose(np.diag(s)[:k], np.linalg.svd(a, compute_uv=False), rtol=1e-12)
    assert np.count_nonzero(s - np.diag(np.diag(s)) if shape[0] == shape[1] else
                            s[~np.eye(*shape, dtype=bool)]) == 0
    np.testing.assert_allclose(u @ s @ v, a, atol=1e-12)
    np.testing.assert_allclose(u.T @ u, np.eye(shape[0]), atol=1e-12)
    np.testing.assert_allclose(v @ v.T, np.eye(shape[1]), atol=1e-12)


@pytest.mark.parametrize("value", ["inf", "nan"])
def test_singularvaluedecomposition_non_finite_entry_is_reported(value):
    # dgesvd never returns on this matrix with an infinite entry: run apart, with a time limit.
    r = run_python(f"""
        import numpy as np, _vorlen
        a = np.eye(3) + 0.1
        a[0, 0] = float("{value}")
        u, s, v = _vorlen.math.singularvaluedecomposition(a)
        print(_vorlen.errorhandling.errstat, sum(np.count_nonzero(x) for x in (u, s, v)))
    """, timeout=60)
    assert r.stdout.split() == ["-3", "0"], r.stderr


@pytest.mark.parametrize("n", ORDERS)
def test_choleskyfactorization_upper_factor_keeps_lower_triangle(n):
    a = spd(n)
    given = a.copy()
    given[np.tril_indices(n, -1)] = -7.5    # read only above the diagonal, kept below it
    c = m.choleskyfactorization(given)
    np.testing.assert_allclose(np.triu(c), scipy.linalg.cholesky(a, lower=False), rtol=1e-12,
                               atol=1e-12)
    assert np.all(c[np.tril_indices(n, -1)] == -7.5)


def test_choleskyfactorization_indefinite_gives_the_marker(register):
    c = m.choleskyfactorization([[1.0, 2.0], [2.0, 1.0]])
    assert np.all(c == CHOLESKY_MARKER)
    assert register.errstat == 0


@pytest.mark.parametrize("a", [
    [[4.0, 2.0], [2.0, np.nan]],        # NaN pivot
    [[4.0, np.nan], [2.0, 5.0]],        # NaN above the diagonal reaches the second pivot
    [[np.nan, 2.0], [2.0, 5.0]],
    np.where(np.arange(400).reshape(20, 20) == 2 * 20 + 17, np.nan, spd(20)),
])
def test_choleskyfactorization_nan_in_the_upper_triangle_gives_the_marker(a, register):
    # A matrix with a NaN leading minor is not positive definite: the marker, not a NaN factor.
    c = m.choleskyfactorization(a)
    assert np.all(c == CHOLESKY_MARKER)
    assert register.errstat == 0


def test_choleskyfactorization_nan_below_the_diagonal_is_not_read():
    # Upper triangle (4, 2; 5): U = (2, 1; 2) by hand; the NaN below stays where it was.
    c = m.choleskyfactorization([[4.0, 2.0], [np.nan, 5.0]])
    np.testing.assert_array_equal(np.triu(c), [[2.0, 1.0], [0.0, 2.0]])
    assert np.isnan(c[1, 0])


# ---- general matrix product --------------------------------------------------------------------

@pytest.mark.parametrize("sa,sb", [("N", "N"), ("t", "N"), ("N", "T"), ("C", "t"), ("n", "c")])
def test_generalmatrixproduct(sa, sb):
    rng = np.random.default_rng(7)
    mm, nn, kk = 3, 4, 2
    a = rng.uniform(size=(mm, kk) if sa in "Nn" else (kk, mm))
    b = rng.uniform(size=(kk, nn) if sb in "Nn" else (nn, kk))
    c = rng.uniform(size=(mm, nn))
    opa = a if sa in "Nn" else a.T
    opb = b if sb in "Nn" else b.T
    d = m.generalmatrixproduct(1.5, a, b, -0.5, c, sa, sb, m=mm, n=nn, k=kk)
    np.testing.assert_allclose(d, 1.5 * opa @ opb - 0.5 * c, rtol=1e-14)


@pytest.mark.parametrize("a,b,c,sa,sb,extents", [
    (np.ones((2, 2)), np.ones((2, 2)), np.ones((2, 2)), "X", "N", {}),       # unknown flag
    (np.ones((2, 2)), np.ones((2, 2)), np.ones((2, 2)), "N", "", {}),        # blank flag
    (np.ones((2, 2)), np.ones((3, 3)), np.ones((3, 3)), "N", "N", {"m": 3, "k": 3}),  # a short
    (np.ones((2, 3)), np.ones((3, 1)), np.ones((2, 1)), "N", "N", {"k": 4}),  # b short
    (np.ones((2, 0)), np.ones((0, 2)), np.ones((2, 2)), "N", "N", {}),       # k = 0
])
def test_generalmatrixproduct_rejected_arguments_leave_c(a, b, c, sa, sb, extents, register):
    d = m.generalmatrixproduct(2.0, a, b, 3.0, c, sa, sb, **extents)
    np.testing.assert_array_equal(d, c)
    assert register.errstat == -3
