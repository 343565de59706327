"""Prony relaxation against the closed form of a held strain and the exact exponential update,
cure rates against the Arrhenius law evaluated in numpy, FuncDegree against scipy's brentq root
of the implicit step and many steps against solve_ivp."""
import math
import sys

import numpy as np
import pytest
from scipy.integrate import solve_ivp
from scipy.optimize import brentq

import _vorlen
from conftest import errstat, errtext

pr = _vorlen.prony
HUGE = sys.float_info.max
R = 8.314462618


@pytest.fixture(autouse=True)
def register(clean_register):
    yield


@pytest.mark.parametrize("name, form", [
    ("relaxation", "relaxation = relaxation(dold,tau,shift,timestep,stiffness,pprony,strain)"),
    ("curerate", "curerate = curerate(curvefit,t,degree,degmax,[nc])"),
    ("funcdegree", "funcdegree = funcdegree(curvefit,t1,degree0,timestep,degmax,[nc])"),
])
def test_call_form(name, form):
    assert getattr(pr, name).__doc__.splitlines()[0] == form


# ------------------------------------------------------------------------------------------
# Relaxation

E0, WEIGHTS, TAUS, STRAIN = 3000.0, [0.3, 0.2, 0.1], [0.5, 5.0, 50.0], 0.01


def relaxed_modulus(t, nsteps, shift=1.0):
    """E0 - sum of the branch stresses over the strain, after nsteps steps up to t."""
    q = np.zeros(3)
    for _ in range(nsteps):
        q = [pr.relaxation(qi, tau, shift, t / nsteps, E0, p, STRAIN)
             for qi, tau, p in zip(q, TAUS, WEIGHTS)]
    return E0 - sum(q) / STRAIN


def prony_modulus(t, shift=1.0):
    e_inf = E0 * (1 - sum(WEIGHTS))
    return e_inf + sum(E0 * p * math.exp(-t / (tau * shift)) for p, tau in zip(WEIGHTS, TAUS))


@pytest.mark.parametrize("t, shift", [(1.0, 1.0), (20.0, 1.0), (20.0, 4.0)])
def test_relaxation_under_held_strain_converges_to_the_prony_series(t, shift):
    exact = prony_modulus(t, shift)
    errors = [abs(relaxed_modulus(t, n, shift) - exact) for n in (400, 800, 1600)]
    assert errors[2] < 2e-3 * exact
    # first order: halving the step halves the error
    assert errors[0] / errors[1] == pytest.approx(2.0, rel=0.05)
    assert errors[1] / errors[2] == pytest.approx(2.0, rel=0.05)


def test_relaxation_step_tends_to_the_exact_exponential_update():
    dold, tau, k = 2.0, 3.0, E0 * 0.2 * STRAIN
    for dt in (1e-2, 1e-3):
        exact = k + (dold - k) * math.exp(-dt / tau)
        local = abs(pr.relaxation(dold, tau, 1.0, dt, E0, 0.2, STRAIN) - exact)
        assert local == pytest.approx((k - dold) * dt * dt / (2 * tau * tau), rel=2 * dt / tau)


@pytest.mark.parametrize("args, want, code", [
    ((5.0, 2.0, 1.0, 0.0), 5.0, 0),                          # no time passes
    ((0.0, 2.0, 1.0, 0.5), E0 * 0.2 * STRAIN * 0.5 / 2.5, 0),
    ((5.0, 0.0, 1.0, 0.0), 5.0, 0),                          # tau shift + timestep = 0
    ((5.0, 2.0, 0.0, 0.0), 5.0, 0),
    ((5.0, 10.0, 1e308, 1.0), 5.0, 0),                       # a shift that stretches for ever
    ((5.0, 1.0, 1.0, math.inf), E0 * 0.2 * STRAIN, 0),       # a step that relaxes for ever
    ((5.0, 0.0, 1.0, math.inf), E0 * 0.2 * STRAIN, 0),
    ((5.0, 1.0, math.inf, math.inf), 5.0, -3),               # both: no limit
    ((5.0, -2.0, 1.0, 0.5), 5.0, -3),
    ((5.0, 2.0, -1.0, 0.5), 5.0, -3),
    ((5.0, 2.0, 1.0, -0.5), 5.0, -3),
])
def test_relaxation_cases(args, want, code):
    assert pr.relaxation(*args, E0, 0.2, STRAIN) == pytest.approx(want, rel=1e-15)
    assert errstat() == code


def test_relaxation_over_a_long_step_tends_to_the_relaxed_value():
    # stiffness x pprony x strain = 9 for the step that never ends and in the limit
    assert pr.relaxation(5.0, 1.0, 1.0, math.inf, 3000.0, 0.3, 0.01) == pytest.approx(9.0,
                                                                                      rel=1e-15)
    assert pr.relaxation(5.0, 1.0, 1.0, 1e12, 3000.0, 0.3, 0.01) == pytest.approx(9.0, rel=1e-11)


# ------------------------------------------------------------------------------------------
# Cure rate

LOW = [2.0e4, 6.0e4, 1.5e6, 6.5e4, 1.5, 0.5, 1.5, 400.0]
HIGH = [5.0e4, 6.2e4, 3.0e6, 6.8e4, 1.2, 0.6, 1.8, HUGE]
TABLE = np.array(LOW + HIGH)


def law(c, t, degree, degmax=1.0):
    c = np.asarray(c)
    alpha = min(degree, degmax)
    return (c[0] * np.exp(-c[1] / (R * t)) * (degmax - alpha) ** c[4]
            + c[2] * np.exp(-c[3] / (R * t)) * alpha ** c[5] * (degmax - alpha) ** c[6])


@pytest.mark.parametrize("table, t, block", [
    (TABLE, 390.0, LOW), (TABLE, 400.0, HIGH), (TABLE, 450.0, HIGH),
    (TABLE[:7], 450.0, LOW),                                  # fewer than 8 values: block 1
    (TABLE[:12], 450.0, LOW),                                 # the tail is not used
    (np.array(LOW + HIGH[:7] + [420.0]), 500.0, HIGH),        # above every block: the last
])
def test_cure_rate_takes_the_block_of_the_temperature(table, t, block):
    assert pr.curerate(table, t, 0.3, 1.0) == pytest.approx(law(block, t, 0.3), rel=1e-13)
    assert errstat() == 0


def test_cure_rate_above_the_largest_degree_is_taken_at_it():
    table = np.array(LOW[:4] + [1.5, 0.5, 1.5, HUGE])
    assert pr.curerate(table, 390.0, 1.2, 0.9) == 0.0
    assert pr.curerate(table, 390.0, 0.95, 0.9) == 0.0


@pytest.mark.parametrize("table, t", [(TABLE[:6], 390.0), (TABLE, 0.0), (TABLE, -10.0)])
def test_cure_rate_without_a_law(table, t):
    assert pr.curerate(table, t, 0.3, 1.0) == 0.0
    assert errstat() == -3


# ------------------------------------------------------------------------------------------
# Degree after a step


@pytest.mark.parametrize("t1, degree0, dt", [(390.0, 0.1, 5.0), (420.0, 0.4, 2.0),
                                             (450.0, 0.05, 0.5)])
def test_degree_is_the_root_of_the_implicit_step(t1, degree0, dt):
    def step(a):
        return a - degree0 - dt * law(LOW if t1 < 400 else HIGH, t1, a)
    root = brentq(step, degree0, 1.0, xtol=1e-14)
    got = pr.funcdegree(TABLE, t1, degree0, dt, 1.0)
    assert got == pytest.approx(root, abs=dt * 1e-6)
    assert errstat() == 0


def test_degree_at_its_largest_value_stays():
    assert pr.funcdegree(TABLE, 420.0, 1.0, 10.0, 1.0) == 1.0


def test_many_steps_follow_the_rate_equation():
    t1, degree0, t_end, n = 410.0, 0.02, 120.0, 2000
    degree = degree0
    for _ in range(n):
        degree = pr.funcdegree(TABLE, t1, degree, t_end / n, 1.0)
    ref = solve_ivp(lambda t, a: [law(HIGH, t1, a[0])], (0.0, t_end), [degree0], rtol=1e-10,
                    atol=1e-12).y[0, -1]
    assert degree == pytest.approx(ref, rel=2e-3)


def test_oscillating_iteration_is_capped():
    # rate (1 - alpha)^8 with timestep x A1 = 0.9: the iterates jump between near 0 and 0.9
    table = np.array([2.0, 0.0, 0.0, 0.0, 8.0, 0.0, 0.0, HUGE])
    got = pr.funcdegree(table, 300.0, 0.0, 0.45, 1.0)
    assert errstat() == -1
    assert errtext() == "Maximum iterations exceeded in FuncDegree"
    assert 0.0 <= got <= 0.9
