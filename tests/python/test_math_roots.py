"""Root finders and cubic roots of module math, against scipy, numpy and hand values."""
import math

import numpy as np
import pytest
import scipy.optimize as so

import _vorlen
from conftest import errstat, errtext

m = _vorlen.math
err = _vorlen.errorhandling

pytestmark = pytest.mark.usefixtures("clean_register")


def register():
    return errstat(), errtext()


CALL_FORMS = [
    ("bdsafe", "root,istat = bdsafe(dfunc,x1,x2,args,xacc,maxit,nfun,[na,dfunc_extra_args])"),
    ("nrsafe", "root,istat = nrsafe(dfunc,x1,x2,args,xacc,maxit,nfun,[na,dfunc_extra_args])"),
    ("fpsafe", "xs,istat = fpsafe(dfunc,xs,args,xacc,maxit,nfun,[na,dfunc_extra_args])"),
    ("cuberoot", "cuberoot = cuberoot(a)"),
    ("specialcase", "xx1,xx2,xx3 = specialcase(p,q)"),
    ("solution3pe", "x1,x2,x3 = solution3pe(a,b,c,d)"),
]


@pytest.mark.parametrize("name,form", CALL_FORMS)
def test_call_form(name, form):
    assert getattr(m, name).__doc__.splitlines()[0] == form


@pytest.mark.parametrize("name,form", [
    ("bdsafe", "def dfunc(fa,d0,a,args,nfun,[na]): return fa"),
    ("nrsafe", "def dfunc(fl,df,x1,args,nfun,[na]): return fl,df"),
    ("fpsafe", "def dfunc(xnew,fargs,nfun,[na]): return xnew"),
])
def test_callback_form_shows_what_the_callable_returns(name, form):
    doc = getattr(m, name).__doc__
    assert "\nNotes\n-----\nCall-back functions::\n\n    " + form + "\n" in doc


class Counted:
    """f(x) = fun(x) as the root finders' callable, counting the evaluations."""

    def __init__(self, fun, dfun=None):
        self.fun, self.dfun, self.calls, self.points = fun, dfun, 0, []

    def __call__(self, f, df, x, args, nfun, na):  # an object receives every value
        self.calls += 1
        self.points.append(x)
        return (self.fun(x), self.dfun(x)) if self.dfun else self.fun(x)


FUNCTIONS = [  # f, f', bracket
    (lambda x: math.cos(x) - x, lambda x: -math.sin(x) - 1, (0.0, 1.0)),
    (lambda x: x**3 - 2 * x - 5, lambda x: 3 * x**2 - 2, (2.0, 3.0)),
    (lambda x: math.exp(x) - 10, math.exp, (0.0, 5.0)),
    (lambda x: 1e-200 * (x - 0.3), lambda x: 1e-200, (0.0, 1.0)),  # f(x1) f(x2) underflows to -0
]


@pytest.mark.parametrize("f,df,bracket", FUNCTIONS)
def test_bdsafe_finds_the_root_brentq_finds(f, df, bracket):
    root, istat = m.bdsafe(Counted(f), *bracket, [0.0], 1e-12, 100, 0)
    assert istat == 0
    assert root == pytest.approx(so.brentq(f, *bracket, xtol=1e-12), abs=2e-12)
    assert register()[0] == 0


@pytest.mark.parametrize("f,df,bracket", FUNCTIONS)
def test_nrsafe_finds_the_root_newton_finds(f, df, bracket):
    root, istat = m.nrsafe(Counted(f, df), *bracket, [0.0], 1e-12, 100, 0)
    assert istat == 0
    assert root == pytest.approx(so.newton(f, sum(bracket) / 2, df, tol=1e-12), abs=1e-11)


def test_bdsafe_square_root_of_two():
    root, istat = m.bdsafe(Counted(lambda x: x * x - 2), 0, 2, [0.0], 1e-12, 100, 0)
    assert (abs(root - math.sqrt(2)) <= 2.1e-12, istat) == (True, 0)


@pytest.mark.parametrize("finder", ["bdsafe", "nrsafe"])
@pytest.mark.parametrize("x1,x2,expected", [(1.0, 3.0, 1.0), (0.0, 1.0, 1.0)])
def test_an_exact_root_at_an_end_after_two_evaluations(finder, x1, x2, expected):
    f = Counted(lambda x: x - 1, lambda x: 1.0)
    assert getattr(m, finder)(f, x1, x2, [0.0], 1e-12, 100, 0) == (expected, 0)
    assert f.calls == 2


@pytest.mark.parametrize("finder", ["bdsafe", "nrsafe"])
@pytest.mark.parametrize("x1,x2", [(1.0, 3.0), (3.0, 1.0)])
def test_an_exact_root_at_an_end_stands_whatever_the_other_end_gives(finder, x1, x2):
    f = Counted(lambda x: 0.0 if x == 1.0 else math.nan, lambda x: 1.0)
    assert getattr(m, finder)(f, x1, x2, [0.0], 1e-12, 100, 0) == (1.0, 0)
    assert register()[0] == 0 and f.calls == 2


@pytest.mark.parametrize("finder", ["bdsafe", "nrsafe"])
def test_no_sign_change_is_not_a_success(finder):
    f = Counted(lambda x: x * x + 1, lambda x: 2 * x)
    assert getattr(m, finder)(f, -1.0, 2.0, [0.0], 1e-12, 100, 0) == (0.0, 2)
    assert register() == (-2, "Error in BISECTION: Root must be bracketed.")
    assert f.calls == 2


@pytest.mark.parametrize("finder,message", [
    ("bdsafe", "Error in BrentsMethod: Function value is not a number."),
    ("nrsafe", "Error in subroutine RTSAFE: Function value is not a number."),
])
@pytest.mark.parametrize("where", ["end", "inside"])
def test_a_function_value_that_is_not_a_number_is_not_convergence(finder, message, where):
    def fun(x):
        if where == "end" and x == 3.0 or where == "inside" and 0.5 < x < 2.5:
            return math.nan
        return x - 1.3
    assert getattr(m, finder)(Counted(fun, lambda x: 1.0), 0.0, 3.0, [0.0], 1e-12, 100, 0) == (0.0, 3)
    assert register() == (-2, message)


BIG = 1.7976931348623157e308


@pytest.mark.parametrize("finder", ["bdsafe", "nrsafe"])
@pytest.mark.parametrize("x1,x2,xacc", [
    (0.0, 3.0, math.nan), (0.0, 3.0, -1e-12), (0.0, 3.0, -math.inf),
    (0.0, math.inf, 1e-12), (-math.inf, 3.0, 1e-12), (-math.inf, math.inf, 1e-12),
    (math.nan, 3.0, 1e-12), (0.0, math.nan, 1e-12),
    (-BIG, BIG, 1e-12),  # finite ends whose distance is not
])
def test_a_bracket_or_tolerance_that_is_not_valid_is_not_searched(finder, x1, x2, xacc):
    f = Counted(lambda x: x - 1.3, lambda x: 1.0)
    assert getattr(m, finder)(f, x1, x2, [0.0], xacc, 100, 0) == (0.0, 2)
    assert register() == (-3, "Error: Bracket or tolerance of the root finder is not valid.")
    assert f.calls == 0


@pytest.mark.parametrize("finder", ["bdsafe", "nrsafe"])
@pytest.mark.parametrize("x1,x2", [(1e308, 1.7e308), (-1.7e308, -1e308), (-1e-300, 1e-300)])
def test_brackets_at_the_ends_of_the_double_range(finder, x1, x2):
    centre = 0.5 * x1 + 0.5 * x2 + 0.1 * (x2 - x1)
    f = Counted(lambda x: x - centre, lambda x: 1.0)
    root, istat = getattr(m, finder)(f, x1, x2, [0.0], 0.0, 4000, 0)
    assert (root, istat) == (pytest.approx(centre, rel=4.5e-16), 0)
    assert register()[0] == 0
    assert all(x1 <= x <= x2 for x in f.points)  # the midpoint of 1e308 and 1.7e308 too


def test_nrsafe_with_infinite_values_bisects():
    # f and df infinite: the Newton test gives NaN, and a Newton step there gave a NaN estimate
    f = Counted(lambda x: math.copysign(math.inf, x - 7.0) if x != 7.0 else 0.0,
                lambda x: math.inf)
    root, istat = m.nrsafe(f, 6.5, 7.25, [0.0], 1e-12, 100, 0)
    assert (root, istat) == (pytest.approx(7.0, abs=1e-12), 0)
    assert all(6.5 <= x <= 7.25 for x in f.points)


def test_nrsafe_derivative_not_a_number():
    f = Counted(lambda x: x - 1.3, lambda x: math.nan)
    assert m.nrsafe(f, 0.0, 3.0, [0.0], 1e-12, 100, 0) == (0.0, 3)


@pytest.mark.parametrize("maxit,istat,code", [(0, 1, -1), (-1, 0, 0)])
def test_bdsafe_without_passes_returns_x2(maxit, istat, code):
    assert m.bdsafe(Counted(lambda x: x - 1.3), 0.0, 3.0, [0.0], 1e-12, maxit, 0) == (3.0, istat)
    assert register()[0] == code
    if code:
        assert register()[1] == "Warning in BrentsMethod: Max iterations exceeded."


def test_bdsafe_converging_in_its_last_pass_still_warns():
    f = Counted(lambda x: math.cos(x) - x)
    root, istat = m.bdsafe(f, 0.0, 1.0, [0.0], 1e-12, 100, 0)
    passes = f.calls - 1  # two end evaluations, one per pass but the last
    assert m.bdsafe(Counted(f.fun), 0.0, 1.0, [0.0], 1e-12, passes, 0) == (root, 1)
    assert register() == (-1, "Warning in BrentsMethod: Max iterations exceeded.")
    err.rsxerr(1)
    assert m.bdsafe(Counted(f.fun), 0.0, 1.0, [0.0], 1e-12, passes + 1, 0) == (root, 0)


@pytest.mark.parametrize("maxit", [0, -3])
def test_nrsafe_without_passes_returns_the_midpoint(maxit):
    f = Counted(lambda x: x - 1.3, lambda x: 1.0)
    assert m.nrsafe(f, 0.0, 3.0, [0.0], 1e-12, maxit, 0) == (1.5, 1)
    assert register() == (-1, "Warning in subroutine RTSAFE: Max iterations exceeded.")


def test_nrsafe_pass_limit_keeps_the_last_estimate():
    f = Counted(lambda x: math.cos(x) - x, lambda x: -math.sin(x) - 1)
    root, istat = m.nrsafe(f, 0.0, 1.0, [0.0], 1e-15, 2, 0)
    assert istat == 1 and 0 < root < 1 and f.calls == 5  # two ends, the midpoint, two passes


def test_fpsafe_converges_to_the_fixed_point_scipy_finds():
    xs, istat = m.fpsafe(lambda xnew, fargs, nfun: math.cos(fargs[0]), 1.0, [0.0], 1e-13, 200, 0)
    assert istat == 0
    assert xs == pytest.approx(so.fixed_point(np.cos, 1.0, xtol=1e-13, method="iteration"), abs=1e-12)


def test_fpsafe_returns_the_first_value_when_it_lies_within_xacc():
    calls = []
    def g(xnew, fargs, nfun):
        calls.append(fargs[0])
        return fargs[0] + 1e-9
    assert m.fpsafe(g, 2.0, [0.0], 1e-6, 10, 0) == (2.0 + 1e-9, 0)
    assert calls == [2.0]


def test_fpsafe_hands_the_current_point_in_fargs_and_keeps_the_callers_args():
    seen = []
    def g(xnew, fargs, nfun, na):
        seen.append((fargs.copy(), nfun, na))
        return 0.5 * fargs[0] + fargs[1]
    args = np.array([99.0, 1.0, 7.0])
    xs, istat = m.fpsafe(g, 0.0, args, 1e-12, 100, 3)
    assert (xs, istat) == (pytest.approx(2.0, abs=1e-11), 0)  # x = x/2 + 1
    assert seen[0][0].tolist() == [0.0, 1.0, 7.0] and seen[0][1:] == (3, 3)
    assert seen[1][0].tolist() == [1.0, 1.0, 7.0]
    assert args.tolist() == [99.0, 1.0, 7.0]


@pytest.mark.parametrize("maxit,evaluations", [(3, 5), (0, 2), (-1, 1)])
def test_fpsafe_pass_limit(maxit, evaluations):
    calls = []
    def g(xnew, fargs, nfun):
        calls.append(1)
        return fargs[0] + 1.0
    xs, istat = m.fpsafe(g, 0.0, [0.0], 1e-3, maxit, 0)
    assert (xs, istat, len(calls)) == (float(evaluations), 1, evaluations)
    assert register() == (-1, "Warning in FixPointIteration:Max iterations exceeded.")


def test_fpsafe_tolerance_that_is_not_a_number_is_not_convergence():
    xs, istat = m.fpsafe(lambda xnew, fargs, nfun: fargs[0] / 2, 1.0, [0.0], math.nan, 5, 0)
    assert (xs, istat) == (1.0 / 2**7, 1)


def test_fpsafe_function_value_not_a_number():
    xs, istat = m.fpsafe(lambda xnew, fargs, nfun: math.nan if fargs[0] < 0.3 else fargs[0] / 2,
                         1.0, [0.0], 1e-9, 50, 0)
    assert math.isnan(xs) and istat == 3
    assert register() == (-2, "Error in FixPointIteration: Function value is not a number.")


def test_fpsafe_without_arguments_calls_nothing():
    calls = []
    assert m.fpsafe(lambda *a: calls.append(a), 4.0, np.zeros(0), 1e-9, 50, 0) == (4.0, 2)
    assert calls == [] and register()[0] == -3


def test_fixed_point_of_the_hahn_tsai_law_by_its_own_routine():
    tg, beta, eps = 5000.0, 1e-6, 0.02
    xs, istat = m.fpsafe(_vorlen.nlcollection.recu_nlhahntsai._cpointer, 0.0,
                         [0.0, eps, tg, beta], 1e-10, 100, 2)
    roots = np.roots([beta, 0.0, 1.0 / tg, -eps])
    assert istat == 0
    assert xs == pytest.approx(roots[np.isreal(roots)].real[0], rel=1e-12)


# ---------------------------------------------------------------- cubic roots

def test_cuberoot():
    assert m.cuberoot(0.0) == 0.0
    assert m.cuberoot(-8.0) == pytest.approx(-2.0, rel=1e-15)
    assert m.cuberoot(27.0) == pytest.approx(3.0, rel=1e-15)


def test_special_case_with_a_double_root_returns_the_single_root_three_times():
    assert m.specialcase(-3.0, 2.0) == pytest.approx((-2.0, -2.0, -2.0), abs=1e-15)


@pytest.mark.parametrize("coefficients", [
    (1, -6, 11, -6), (2, -4, -22, 24), (1, 0, -7, 6), (-3, 1, 9, -2), (0.5, 1.5, -2.0, -0.25)])
def test_three_real_roots_ascending_like_numpy(coefficients):
    expected = np.sort(np.roots(coefficients).real)
    np.testing.assert_allclose(m.solution3pe(*coefficients), expected, rtol=0, atol=1e-12)


@pytest.mark.parametrize("coefficients", [(1, 0, 1, 1), (2, -1, 3, 5), (1, 4, 0, 2)])
def test_one_real_root_is_repeated(coefficients):
    r = np.roots(coefficients)
    real = r[np.abs(r.imag) < 1e-9].real
    assert len(real) == 1
    np.testing.assert_allclose(m.solution3pe(*coefficients), [real[0]] * 3, rtol=0, atol=1e-12)


@pytest.mark.parametrize("p,q", [(1.0, 1e-17), (3.0, 1e-10), (1e12, 1.0), (1e6, -1.0),
                                 (-0.1, 1e6), (2.0, 5.0), (-3.0, 2.0 + 1e-9), (0.0, -8.0),
                                 (0.0, 0.0)])
def test_the_one_real_root_of_a_depressed_cubic_keeps_its_digits(p, q):
    r = np.roots([1.0, 0.0, p, q])
    real = r[np.argmin(np.abs(r.imag))].real  # numpy: eigenvalues of the companion matrix
    assert m.specialcase(p, q) == pytest.approx((real,) * 3, rel=1e-12, abs=1e-300)


@pytest.mark.parametrize("p,q,roots", [
    (1e-300, 1e-300, (-1e-100,) * 3),  # t^3 = -q - p t, p t negligible
    (1e200, 1e100, (-1e-100,) * 3),  # t = -q/p, t^3 negligible
    (0.0, -1e300, (1e100,) * 3),
    (-3 * 2.0**600, 2.0**901, (-2.0**301,) * 3),  # (t + 2s)(t - s)^2, s = 2^300
    (-7 * 2.0**600, 6 * 2.0**900, (-3 * 2.0**300, 2.0**300, 2.0**301)),  # (t + 3s)(t - s)(t - 2s)
    (-7 * 2.0**-600, 6 * 2.0**-900, (-3 * 2.0**-300, 2.0**-300, 2.0**-299)),
])
def test_depressed_cubic_near_the_ends_of_the_double_range(p, q, roots):
    assert m.specialcase(p, q) == pytest.approx(roots, rel=1e-14, abs=0)


def test_depressed_cubic_with_three_roots_of_size_1e100():
    # roots near -1e100, q/|p| = 1e-100 and 1e100; the middle one, from a cosine near 0, holds
    # an absolute error of the order of eps times the others
    low, mid, high = m.specialcase(-1e200, 1e100)
    assert (low, high) == (pytest.approx(-1e100, rel=1e-15), pytest.approx(1e100, rel=1e-15))
    assert abs(mid) <= 1e-15 * 1e100


def test_depressed_cubics_across_the_double_range_like_numpy():
    for a in (-300, -200, -120, 120, 200, 300):
        for b in (-300, -250, -150, 150, 250, 300):
            for p, q in ((10.0**a, 10.0**b), (-(10.0**a), 10.0**b), (10.0**a, -(10.0**b))):
                # numpy on the cubic in u = t / s, s a power of two so that u is exact
                e = max(math.frexp(p)[1] // 2, math.frexp(q)[1] // 3)
                s = math.ldexp(1.0, e)
                r = np.roots([1.0, 0.0, math.ldexp(p, -2 * e), math.ldexp(q, -3 * e)]) * s
                if np.all(np.abs(r.imag) <= 1e-12 * s):
                    expected = np.sort(r.real)
                else:
                    expected = [r[np.argmin(np.abs(r.imag))].real] * 3
                np.testing.assert_allclose(m.specialcase(p, q), expected, rtol=1e-12,
                                           atol=1e-14 * s, err_msg=f"p={p}, q={q}")


def test_triple_root():
    assert m.solution3pe(1.0, -3.0, 3.0, -1.0) == (1.0, 1.0, 1.0)
