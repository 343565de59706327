"""Norms, distances, normalisation and scalar functions of _vorlen.math against numpy, scipy and
hand calculations."""
import math

import numpy as np
import pytest
from scipy.special import comb

import _vorlen

m = _vorlen.math
eh = _vorlen.errorhandling  # the first-error register; clean_store clears it


CALL_FORMS = [
    ("vectornorm", "vectornorm = vectornorm(x,[n])"),
    ("matrixnorm", "matrixnorm = matrixnorm(x,[n,m])"),
    ("lpvectornorm", "lpvectornorm = lpvectornorm(x,p,[n])"),
    ("lpmatrixnorm", "lpmatrixnorm = lpmatrixnorm(x,p,[n,m])"),
    ("spectralnorm", "spectralnorm = spectralnorm(x,[m,n])"),
    ("nuclearnorm", "nuclearnorm = nuclearnorm(x,[m,n])"),
    ("schattennorm", "schattennorm = schattennorm(x,p,[m,n])"),
    ("euclideandistance", "euclideandistance = euclideandistance(x,y,[n])"),
    ("euclideanangle", "euclideanangle = euclideanangle(x,y,[n])"),
    ("getunitvector", "xu = getunitvector(x,[n])"),
    ("scalarprojection", "scalarprojection = scalarprojection(a,b,[n])"),
    ("vectornormalize", "z = vectornormalize(x,[n])"),
    ("matrixnormalize", "z = matrixnormalize(x,[n,m])"),
    ("dasinh", "y = dasinh(x)"),
    ("dacosh", "y = dacosh(x)"),
    ("datanh", "y = datanh(x)"),
    ("dacoth", "y = dacoth(x)"),
    ("fishertransformation", "fishertransformation = fishertransformation(x,[iflag])"),
    ("pascaltriangle", "pascaltriangle = pascaltriangle(n,k)"),
    ("droundsf", "droundsf = droundsf(a,[sig])"),
    ("dceil", "dceil = dceil(a)"),
]


@pytest.mark.parametrize("name,form", CALL_FORMS)
def test_call_form(name, form):
    assert getattr(m, name).__doc__.splitlines()[0] == form


A = np.array([[1.0, -2.0, 0.5], [3.0, 0.25, -4.0]])
V = np.array([3.0, -4.0, 12.0, 0.5])


def test_euclidean_norms():
    assert m.vectornorm([3.0, 4.0]) == 5.0
    assert m.matrixnorm(np.ones((2, 2))) == 2.0
    assert m.vectornorm(V) == pytest.approx(np.linalg.norm(V), rel=1e-15)
    assert m.matrixnorm(A) == pytest.approx(np.linalg.norm(A, "fro"), rel=1e-15)


@pytest.mark.parametrize("p", [1.0, 2.0, 3.0, 0.5, 7.5])
def test_p_norms(p):
    assert m.lpvectornorm(V, p) == pytest.approx(np.sum(np.abs(V) ** p) ** (1 / p), rel=1e-14)
    assert m.lpmatrixnorm(A, p) == pytest.approx(np.sum(np.abs(A) ** p) ** (1 / p), rel=1e-14)


@pytest.mark.parametrize("x,p,expected", [
    ([3.0, 4.0], 1.0, 7.0), ([3.0, 4.0], 2.0, 5.0),
    ([3.0, 4.0], 0.0, math.inf), ([0.0, 4.0], -1.0, 1.0), ([0.0, 0.0], 0.0, 0.0),
])
def test_p_norm_exponent_below_the_smallest_normal(x, p, expected):
    assert m.lpvectornorm(x, p) == expected


@pytest.mark.parametrize("call", [
    lambda p: m.lpvectornorm([3.0, 4.0], p), lambda p: m.lpvectornorm([0.0, 0.0], p),
    lambda p: m.lpmatrixnorm(np.full((2, 2), 2.0), p),
    lambda p: m.schattennorm(np.diag([3.0, -4.0]), p),
])
def test_p_norm_of_a_nan_exponent_is_nan(call):
    # NaN is not below the smallest normal double: it stays the exponent, and every power of it
    # is NaN (numpy: sum(abs(x)**nan)**(1/nan) is nan)
    assert math.isnan(call(math.nan))


def test_matrix_sums_run_along_the_rows():
    # row 1 holds eight entries 2**-27, x(2,1) = 1. Along the rows the small squares add up to
    # 2**-51 before they meet 1 and survive; down the columns each is lost against 1.
    x = np.zeros((2, 8))
    x[0, :] = 2.0 ** -27
    x[1, 0] = 1.0
    assert m.matrixnorm(x) == math.sqrt(1.0 + 2.0 ** -51) == 1.0 + 2.0 ** -52
    assert m.lpmatrixnorm(x, 2.0) == (1.0 + 2.0 ** -51) ** 0.5 > 1.0


def test_empty_extents_give_zero():
    assert m.vectornorm(np.zeros(0)) == 0.0
    assert m.matrixnorm(np.zeros((0, 3))) == 0.0
    assert m.euclideandistance(np.zeros(0), np.zeros(0)) == 0.0


def test_norms_from_singular_values():
    d = np.diag([3.0, -4.0])
    assert m.spectralnorm(d) == pytest.approx(4.0, rel=1e-15)
    assert m.nuclearnorm(d) == pytest.approx(7.0, rel=1e-15)
    assert m.schattennorm(d, 2.0) == pytest.approx(5.0, rel=1e-15)
    for x in (A, A.T, np.random.default_rng(5).normal(size=(8, 5))):
        sv = np.linalg.svd(x, compute_uv=False)
        assert m.spectralnorm(x) == pytest.approx(np.linalg.norm(x, 2), rel=1e-14)
        assert m.nuclearnorm(x) == pytest.approx(np.linalg.norm(x, "nuc"), rel=1e-14)
        assert m.schattennorm(x, 3.0) == pytest.approx(np.sum(sv ** 3) ** (1 / 3), rel=1e-14)


@pytest.mark.parametrize("bad", [np.inf, -np.inf, np.nan])
@pytest.mark.parametrize("norm", [m.spectralnorm, m.nuclearnorm, lambda x: m.schattennorm(x, 2.0)])
def test_norms_from_singular_values_of_a_non_finite_matrix_are_nan(norm, bad, clean_store):
    # Not 0, the decomposition's fallback, which a convergence test would take for success.
    x = np.eye(7)  # 7 by 7: beyond the stack work arrays as well
    x[2, 5] = bad
    assert np.isnan(norm(x))
    assert np.isnan(norm(x[1:3, :]))  # 2 by 7
    assert eh.errstat == -3


def test_norms_of_an_empty_matrix_are_zero():
    for f in (m.spectralnorm, m.nuclearnorm):
        assert f(np.zeros((0, 2))) == 0.0
    assert m.schattennorm(np.zeros((2, 0)), 2.0) == 0.0


def test_distance():
    x, y = np.array([1.0, -2.0, 3.5]), np.array([0.5, 4.0, -1.0])
    assert m.euclideandistance(x, y) == pytest.approx(np.linalg.norm(x - y), rel=1e-15)


@pytest.mark.parametrize("x,y,angle", [
    ([1.0, 0.0], [0.0, 1.0], math.pi / 2),
    ([1.0, 0.0], [-2.0, 0.0], math.pi),
    ([0.0, 0.0], [1.0, 0.0], math.pi),
    ([1.0, 1.0], [3.0, 3.0], 0.0),
    ([1.0, 2.0, 3.0], [-1.0, 0.5, 2.0], math.acos(6.0 / math.sqrt(14.0 * 5.25))),
])
def test_euclidean_angle(x, y, angle):
    assert m.euclideanangle(x, y) == pytest.approx(angle, abs=1e-7)


def test_unit_vector_and_projection():
    np.testing.assert_allclose(m.getunitvector(V), V / np.linalg.norm(V), rtol=1e-15)
    assert np.all(np.isnan(m.getunitvector([0.0, 0.0])))
    assert m.scalarprojection([2.0, 3.0], [10.0, 0.0]) == 2.0
    a, b = np.array([1.0, -2.0, 4.0]), np.array([2.0, 1.0, 2.0])
    assert m.scalarprojection(a, b) == pytest.approx(a @ b / 3.0, rel=1e-15)


def test_min_max_normalisation():
    np.testing.assert_array_equal(m.vectornormalize([2.0, 4.0, 6.0]), [0.0, 0.5, 1.0])
    # NaN entries take no part in the minimum and maximum
    z = m.vectornormalize([np.nan, 1.0, 3.0, 2.0])
    assert np.isnan(z[0])
    np.testing.assert_array_equal(z[1:], [0.0, 1.0, 0.5])
    # one scale over all entries, not per column
    np.testing.assert_array_equal(m.matrixnormalize([[0.0, 10.0], [5.0, 20.0]]),
                                  [[0.0, 0.5], [0.25, 1.0]])


X_HYP = [-1e8, -3.0, -1e-10, 0.0, 1e-10, 0.5, 20.0, 1e8, 1e300]
LD = np.longdouble  # references in 80-bit extended precision


@pytest.mark.parametrize("name,ref,xs", [
    ("dasinh", np.arcsinh, X_HYP),
    ("dacosh", np.arccosh, [1.0, 1.0 + 1e-12, 2.0, 1e8, 1e300]),
    ("datanh", np.arctanh, [-0.999999, -1e-10, 0.0, 1e-12, 0.5, 0.9999999999]),
    # the quotient form is well conditioned near the poles, atanh(1/x) away from them
    ("dacoth", lambda x: np.log((x + 1) / (x - 1)) / 2 if abs(x) < 2 else np.arctanh(1 / x),
     [-1e300, -1e8, -1.0000001, -1.5, 1.0000001, 1.5, 1e8]),
])
def test_inverse_hyperbolics_keep_full_precision(name, ref, xs):
    f = getattr(m, name)
    for x in xs:
        assert f(x) == pytest.approx(float(ref(LD(x))), rel=2e-15, abs=0.0), x


@pytest.mark.parametrize("name,x,expected", [
    ("dacosh", 0.5, math.nan), ("datanh", 1.0, math.inf), ("datanh", -1.0, -math.inf),
    ("datanh", 1.5, math.nan), ("dacoth", 0.5, math.nan), ("dacoth", -0.5, math.nan),
    ("dacoth", 1.0, math.inf), ("dacoth", -1.0, -math.inf),
])
def test_inverse_hyperbolics_at_and_beyond_their_domain(name, x, expected):
    y = getattr(m, name)(x)
    assert (math.isnan(y) and math.isnan(expected)) or y == expected


@pytest.mark.parametrize("x,iflag,expected", [
    (0.5, None, math.atanh(0.5)), (0.5, -1, math.atanh(0.5)), (0.5, 1, math.tanh(0.5)),
    (-0.3, 0, math.tanh(-0.3)),
])
def test_fisher_transformation(x, iflag, expected):
    assert m.fishertransformation(x, iflag) == pytest.approx(expected, rel=1e-15)


def test_binomial_coefficients_up_to_n_33(clean_store):
    # from n = 30 the 32-bit products of the textbook recurrence overflow; every coefficient up
    # to n = 33 still fits into 32 bits
    for n in range(34):
        for k in range(n + 1):
            assert m.pascaltriangle(n, k) == comb(n, k, exact=True), (n, k)
    assert m.pascaltriangle(29, 14) == 77558760
    assert eh.errstat == 0


@pytest.mark.parametrize("n,k,expected", [
    (5, 2, 10), (5, 0, 1), (5, -3, 1), (3, 5, 0), (0, 1, 0),
    (-1, 3, -1), (-5, 3, -35), (-2, 2, 3),  # generalised: n(n-1)...(n-k+1)/k!
])
def test_binomial_small_and_negative(clean_store, n, k, expected):
    assert m.pascaltriangle(n, k) == expected
    assert eh.errstat == 0


@pytest.mark.parametrize("n,k,expected", [
    (34, 17, comb(34, 17, exact=True)),
    (60, 30, comb(60, 30, exact=True)),
    (1000, 500, comb(1000, 500, exact=True)),  # about 2.7e299
    (-40, 21, -comb(60, 21, exact=True)),      # (-1)^k (k - n - 1 over k)
    (2147483647, 1073741823, math.inf),        # beyond the doubles, and no endless loop
])
def test_binomial_beyond_32_bits_is_reported(clean_store, n, k, expected):
    assert m.pascaltriangle(n, k) == pytest.approx(float(expected), rel=1e-12)
    assert eh.errstat == -3


@pytest.mark.parametrize("a,sig,expected", [
    (0.129, 2, 0.12), (-0.129, 2, -0.12), (1.23456789123, None, 1.23456789),
    (123.456, 0, 123.0), (987.0, -2, 900.0), (2.0 ** 60, 2, 2.0 ** 60),
])
def test_decimal_cut_off(a, sig, expected):
    assert m.droundsf(a, sig) == pytest.approx(expected, rel=1e-15)


@pytest.mark.parametrize("a,expected", [(2.0, 3.0), (2.3, 3.0), (-1.5, 0.0), (-0.2, 1.0),
                                        (2.0 ** 60, 2.0 ** 60 + 1.0)])
def test_dceil(a, expected):
    assert m.dceil(a) == expected
