"""Clamps, cyclic index, moving averages, peaks and curves of _vorlen.signalprocessing against
numpy, scipy and hand values."""
import math
from fractions import Fraction

import numpy as np
import pytest
from scipy.special import betainc
from scipy.stats import pmean

import _vorlen

sp = _vorlen.signalprocessing
DMAX = 1.7976931348623157e308
TINY = 2.2250738585072014e-308

CALL_FORMS = [
    ("real_limit", "real_limit = real_limit(x,xlow,xup)"),
    ("int_limit", "int_limit = int_limit(x,xlow,xup)"),
    ("mod_limit", "mod_limit = mod_limit(x,xmod)"),
    ("logarithmicbarrier", "logarithmicbarrier = logarithmicbarrier(x,b)"),
    ("generalsigmoidal", "generalsigmoidal = generalsigmoidal(x,k)"),
    ("logistic", "y = logistic(x,k,x0,[l])"),
    ("generallogistic", "y = generallogistic(x,a,k,b,q,v,[c])"),
    ("generalsmoothstep", "generalsmoothstep = generalsmoothstep(x,n)"),
    ("generalizedmean", "generalizedmean = generalizedmean(x,p,[n,wi])"),
    ("cumulativemovingaverage", "cma = cumulativemovingaverage(cma,x,n)"),
    ("weightedmovingaverage",
     "sma,a,denom = weightedmovingaverage(rval,a,denom,[wb,wi,overwrite_a])"),
    ("getpeaks", "maxtab,mintab,nmaxpeaks,nminpeaks = getpeaks(v,delta,[n,x])"),
]


@pytest.mark.parametrize("name,form", CALL_FORMS)
def test_call_form(name, form):
    assert getattr(sp, name).__doc__.splitlines()[0] == form


@pytest.mark.parametrize("x,lo,up,expected", [
    (1.5, 0.0, 1.0, 1.0), (-0.5, 0.0, 1.0, 0.0), (0.25, 0.0, 1.0, 0.25),
    (0.5, 1.0, 0.0, 0.0), (-0.5, 1.0, 0.0, 1.0),  # crossed bounds: the upper one wins first
])
def test_limits(x, lo, up, expected):
    assert sp.real_limit(x, lo, up) == expected
    assert sp.int_limit(int(4 * x), int(4 * lo), int(4 * up)) == int(4 * expected)


def test_real_limit_passes_nan():
    assert math.isnan(sp.real_limit(math.nan, 0.0, 1.0))


@pytest.mark.parametrize("x,xmod", [
    (10, 5), (11, 5), (-1, 5), (0, 5), (1, 5), (-7, -3), (7, -3), (-6, -3),
    (-2**31, -1), (-2**31, 1), (-2**31, 2**31 - 1), (2**31 - 1, -2**31), (-2**31, -2**31),
])
def test_mod_limit_against_python_modulo(x, xmod):
    # Python's % takes the sign of the divisor, as the cyclic index does; 0 becomes xmod
    assert sp.mod_limit(x, xmod) == (x % xmod or xmod)


def test_mod_limit_cycles_and_zero_period():
    assert [sp.mod_limit(x, 3) for x in range(0, 7)] == [3, 1, 2, 3, 1, 2, 3]
    assert sp.mod_limit(7, 0) == 0


def test_logarithmic_barrier():
    assert sp.logarithmicbarrier(0.0, 1.0) == 0.0
    assert sp.logarithmicbarrier(0.5, 2.0) == pytest.approx(-math.log(1.5), rel=1e-15)
    assert sp.logarithmicbarrier(2.0, 2.0) == 36.04365338911715
    assert sp.logarithmicbarrier(5.0, 2.0) == 36.04365338911715


@pytest.mark.parametrize("x,k", [(0.3, 0.5), (-0.7, -0.4), (1.0, 0.9), (0.0, 0.2)])
def test_general_sigmoidal_by_hand(x, k):
    assert sp.generalsigmoidal(x, k) == pytest.approx((x - x * k) / (k - 2 * k * abs(x) + 1),
                                                      rel=1e-15)


def test_logistic_by_hand():
    assert sp.logistic(2.0, 1.5, 2.0) == 0.5
    assert sp.logistic(3.0, 2.0, 1.0, 4.0) == pytest.approx(4.0 / (1.0 + math.exp(-4.0)), rel=1e-15)
    assert sp.logistic(-1.0, 0.5, 1.0) == pytest.approx(1.0 / (1.0 + math.e), rel=1e-15)


def test_general_logistic_by_hand():
    # a + (k - a)/(c + q exp(-b x))^(1/v)
    assert sp.generallogistic(0.5, 1.0, 3.0, 2.0, 0.5, 2.0) == pytest.approx(
        1.0 + 2.0 / math.sqrt(1.0 + 0.5 * math.exp(-1.0)), rel=1e-15)
    assert sp.generallogistic(0.5, 1.0, 3.0, 2.0, 0.5, 2.0, 3.0) == pytest.approx(
        1.0 + 2.0 / math.sqrt(3.0 + 0.5 * math.exp(-1.0)), rel=1e-15)
    # a = 0, k = 1, q = 1, v = 1, c = 1 is the plain logistic curve
    assert sp.generallogistic(0.7, 0.0, 1.0, 1.0, 1.0, 1.0) == pytest.approx(
        sp.logistic(0.7, 1.0, 0.0), rel=1e-15)


@pytest.mark.parametrize("n", [0, 1, 2, 3, 5, 8, 13, 30, 100])
def test_smooth_step_is_the_regularised_incomplete_beta(n):
    x = np.array([1e-3, 0.05, 0.2, 0.37, 0.5, 0.5 + 1e-9, 0.63, 0.8, 0.95, 0.999])
    got = np.array([sp.generalsmoothstep(t, n) for t in x])
    np.testing.assert_allclose(got, betainc(n + 1, n + 1, x), rtol=1e-11, atol=1e-300)


@pytest.mark.parametrize("n", [999, 1001, 1500])
@pytest.mark.parametrize("p,q", [(15, 32), (31, 64), (1, 2), (127, 256), (129, 256)])
def test_smooth_step_of_high_order_against_exact_rationals(n, p, q):
    # t = p/q: I_t(n+1, n+1) = sum over j > n of C(2n+1, j) p^j (q-p)^(2n+1-j) / q^(2n+1)
    m = 2 * n + 1
    exact = Fraction(sum(math.comb(m, j) * p**j * (q - p)**(m - j) for j in range(n + 1, m + 1)),
                     q**m)
    assert sp.generalsmoothstep(p / q, n) == pytest.approx(float(exact), rel=1e-14)


def test_smooth_step_closed_forms_and_ends():
    for t in (0.1, 0.3, 0.75):
        assert sp.generalsmoothstep(t, 0) == t
        assert sp.generalsmoothstep(t, 1) == pytest.approx(3 * t**2 - 2 * t**3, rel=1e-15)
        assert sp.generalsmoothstep(t, 2) == pytest.approx(6 * t**5 - 15 * t**4 + 10 * t**3,
                                                           rel=1e-14)
    assert sp.generalsmoothstep(0.5, 1) == 0.5
    assert sp.generalsmoothstep(2.0, 3) == 1.0
    assert sp.generalsmoothstep(-1.0, 3) == 0.0
    assert sp.generalsmoothstep(0.3, -1) == 0.0
    assert math.isnan(sp.generalsmoothstep(math.nan, 2))


def test_smooth_step_of_the_largest_order_is_a_step():
    n = 2**31 - 1
    assert sp.generalsmoothstep(0.5, n) == pytest.approx(0.5, abs=1e-12)
    assert sp.generalsmoothstep(0.49, n) == 0.0
    assert sp.generalsmoothstep(0.51, n) == 1.0


X = np.array([1.0, 4.0, 2.5, 9.0, 0.3])


@pytest.mark.parametrize("p", [1.0, 2.0, 3.0, -1.0, 0.5, -2.5, 0.0])
def test_generalized_mean_against_scipy(p):
    assert sp.generalizedmean(X, p) == pytest.approx(pmean(X, p), rel=1e-14)
    w = np.array([0.1, 0.3, 0.2, 0.25, 0.15])  # summing to 1: scipy's normalised weights agree
    assert sp.generalizedmean(X, p, wi=w) == pytest.approx(pmean(X, p, weights=w), rel=1e-14)


def test_generalized_mean_weights_are_not_normalised():
    w = np.array([2.0, 2.0])
    assert sp.generalizedmean([1.0, 4.0], 1.0, wi=w) == 10.0
    assert sp.generalizedmean([1.0, 4.0], 0.0, wi=w) == 16.0


def test_generalized_mean_edge_values():
    assert sp.generalizedmean([1.0, 4.0], 2.0) == pytest.approx(math.sqrt(8.5), rel=1e-15)
    assert sp.generalizedmean([1.0, 4.0], 0.0) == 2.0
    assert sp.generalizedmean([1.0, 4.0], 1.0) == 2.5
    assert sp.generalizedmean([1.0, 4.0], 1.0, wi=[0.0, 0.0]) == 2.5  # no weights at all
    v = [3.0, math.nan, -2.0, 7.0]
    assert sp.generalizedmean(v, -DMAX) == -2.0
    assert sp.generalizedmean(v, DMAX) == 7.0
    assert math.isnan(sp.generalizedmean([math.nan, math.nan], DMAX))
    assert sp.generalizedmean(np.zeros(0), -DMAX) == DMAX
    assert sp.generalizedmean(np.zeros(0), DMAX) == -DMAX


def test_cumulative_moving_average_against_numpy():
    x = np.array([3.0, -1.0, 4.0, 1.5, 9.0, 2.0])
    cma, got = 0.0, []
    for n, v in enumerate(x):
        cma = sp.cumulativemovingaverage(cma, v, n)
        got.append(cma)
    np.testing.assert_allclose(got, np.cumsum(x) / np.arange(1, len(x) + 1), rtol=1e-15)
    c = np.array(2.0)
    sp.cumulativemovingaverage(c, 5.0, 2**31 - 1)
    assert c[()] == pytest.approx(2.0, rel=1e-9)  # n + 1 does not overflow


def feed(samples, wb, wi=None):
    a, denom, out = np.zeros(wb), np.array(0, dtype=np.int32), []
    for r in samples:
        sma, a, denom = sp.weightedmovingaverage(r, a, denom, wi=wi)
        out.append(sma)
    return np.array(out), a, denom


def test_weighted_moving_average_against_convolution():
    x = np.array([1.0, 5.0, -2.0, 3.0, 8.0, 0.5, 4.0])
    got, a, denom = feed(x, 3)
    np.testing.assert_allclose(got[2:], np.convolve(x, np.ones(3) / 3, "valid"), rtol=1e-15)
    np.testing.assert_allclose(got[:2], [1.0, 3.0])  # partial window: mean of the samples so far
    np.testing.assert_array_equal(a, x[-3:])
    assert denom == 3
    w = np.array([0.5, 1.0, 2.0])  # a(1) the oldest sample; the divisor is the count
    got, _, _ = feed(x, 3, w)
    np.testing.assert_allclose(got[2:], np.convolve(x, w[::-1], "valid") / 3, rtol=1e-15)


def test_weighted_moving_average_fills_then_shifts():
    got, a, denom = feed([1.0, 2.0, 3.0, 4.0], 3)
    np.testing.assert_array_equal(got, [1.0, 1.5, 2.0, 3.0])
    np.testing.assert_array_equal(a, [2.0, 3.0, 4.0])
    assert denom == 3
    got, _, _ = feed([1.0, 2.0, 3.0], 3, np.array([1.0, -1.0, 0.0]))  # weights summing to 0
    np.testing.assert_array_equal(got, [1.0, 1.5, 2.0])


@pytest.mark.parametrize("denom,expected_a,expected_sma", [
    (7, [2.0, 3.0, 9.0], 14.0 / 3),   # a count beyond the window: the window is full
    (-4, [9.0, 2.0, 3.0], 9.0),       # a negative count: the window is empty
])
def test_weighted_moving_average_keeps_the_count_within_the_window(denom, expected_a,
                                                                   expected_sma):
    a = np.array([1.0, 2.0, 3.0])  # nothing beyond these three values may be read or written
    d = np.array(denom, dtype=np.int32)
    sma, a, d = sp.weightedmovingaverage(9.0, a, d)
    assert sma == pytest.approx(expected_sma, rel=1e-15)
    np.testing.assert_array_equal(a, expected_a)
    assert d in (1, 3)


def test_weighted_moving_average_without_window():
    sma, a, denom = sp.weightedmovingaverage(1.0, np.zeros(0), 0)
    assert math.isnan(sma) and denom == 0


def test_peaks_with_hysteresis():
    maxtab, mintab, nmax, nmin = sp.getpeaks([0.0, 2.0, 0.0, 2.0, 0.0], 1.0)
    assert (nmax, nmin) == (2, 1)
    np.testing.assert_array_equal(maxtab, [[2.0, 2.0], [4.0, 2.0], [TINY, TINY], [TINY, TINY],
                                           [TINY, TINY]])
    np.testing.assert_array_equal(mintab[0], [3.0, 0.0])
    assert (mintab[1:] == TINY).all()


def test_peaks_at_given_positions_and_negative_delta():
    x = [0.0, 0.1, 0.2, 0.3, 0.4, 0.5]
    maxtab, mintab, nmax, nmin = sp.getpeaks([1.0, 3.0, 2.5, 0.0, 0.4, 5.0], -1.0, x=x)
    assert (nmax, nmin) == (1, 1)
    np.testing.assert_array_equal(maxtab[0], [0.1, 3.0])
    np.testing.assert_array_equal(mintab[0], [0.3, 0.0])


def test_peaks_below_the_hysteresis_are_not_recorded():
    maxtab, mintab, nmax, nmin = sp.getpeaks([0.0, 2.0, 0.0, 2.0], 5.0)
    assert (nmax, nmin) == (0, 0)
    assert (maxtab == TINY).all() and (mintab == TINY).all()
