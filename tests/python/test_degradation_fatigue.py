"""Gradual fatigue degradation of one ply direction: life fractions against the Miner sum of
Basquin lives, the residual laws at the cycles reached, the equivalent cycles of scheme 2 against
the cycles done, its allowance against scipy's root of the strength law, and the limits (no
amplitude, exhausted strength, bases below 0, unknown scheme)."""
import math
import sys

import numpy as np
import pytest
from scipy.optimize import brentq

import _vorlen
from conftest import errstat, errtext

deg = _vorlen.degradation
HUGE = sys.float_info.max
LOG4 = math.log10(4.0)


@pytest.fixture(autouse=True)
def register(clean_register):
    yield
    _vorlen.debugdata.edebug = 0


def test_call_form():
    assert deg.gradualdegradation.__doc__.splitlines()[0] == (
        "gradualdegradation(speak_t,sbottom_t,speak_c,sbottom_c,xctratio,a,b,u,v,nm,n,cjimp,"
        "alpha_t,alpha_c,beta_t,beta_c,gamma,lambda,de,df_t,df_c,degr_fac,dmgflag,isshear,noel,"
        "cjump_nf,lim)")


A, B = 1.0, -0.1
ALPHA_T, ALPHA_C, BETA_T, BETA_C, GAMMA, LAMBDA = 0.9, 0.8, 1.3, 1.4, 0.5, 1.1
DEGR, LIM = 0.05, 0.02


class Direction:
    """State of one direction, its values as rank-0 arrays."""

    def __init__(self, peak, bottom, cpeak=0.1, cbottom=0.05, nm=0.0, de=1.0, df_t=1.0,
                 df_c=1.0, shared=False):
        self.s = [np.array(x, dtype=float) for x in (peak, bottom, cpeak, cbottom)]
        self.nm, self.de, self.df_t = np.array(nm), np.array(de), np.array(df_t)
        self.df_c = self.df_t if shared else np.array(df_c)
        self.cjump_nf = np.array(-1.0)

    def update(self, n, cjimp, scheme, shear=False, xct=0.6, u=0.0, v=0.0, alpha_c=ALPHA_C,
               beta_c=BETA_C, gamma=GAMMA, lam=LAMBDA):
        deg.gradualdegradation(*self.s, xct, A, B, u, v, self.nm, n, cjimp, ALPHA_T, alpha_c,
                               BETA_T, beta_c, gamma, lam, self.de, self.df_t, self.df_c, DEGR,
                               scheme, shear, 1, self.cjump_nf, LIM)


def basquin(peak, bottom):
    return ((peak - bottom) / 2 / A) ** (1 / B)


def law(n, n_f, e_in, e_out, s):
    """Residual law (1 - w^e_in)^(1/e_out) (1 - s) + s at n cycles of the life n_f."""
    w = (math.log10(n) + LOG4) / (math.log10(n_f) + LOG4)
    return (1 - w ** e_in) ** (1 / e_out) * (1 - s) + s


# ------------------------------------------------------------------------------------------
# Scheme 1: life fractions


def test_life_fractions_are_the_miner_sum_and_the_laws_follow():
    d = Direction(0.6, 0.2)
    n_f = basquin(0.6, 0.2)
    blocks = [1e4, 3e5, 2.5e6]
    for k, block in enumerate(blocks):
        d.update(sum(blocks[:k + 1]), block, 1)
    nm = sum(blocks) / n_f
    assert d.nm == pytest.approx(nm, rel=1e-12)
    assert d.df_t == pytest.approx(law(nm * n_f, n_f, BETA_T, ALPHA_T, 0.6), rel=1e-12)
    assert d.df_c == d.df_t                      # never above the tensile strength
    assert d.de == pytest.approx(law(nm * n_f, n_f, LAMBDA, GAMMA, 0.6), rel=1e-12)
    assert d.cjump_nf == -1.0


def test_life_fractions_of_a_shear_direction_keep_the_other_side():
    d = Direction(0.6, 0.2, df_c=0.99)
    d.update(1e6, 1e6, 1, shear=True)
    assert d.df_t < 0.99 and d.df_c == 0.99


def test_life_fractions_under_compression():
    d = Direction(-0.2, -0.6, cpeak=0.6, cbottom=0.2)        # R = 3
    n_f = basquin(-0.2, -0.6)
    d.update(1e6, 1e6, 1)
    s_c = 0.2                                                  # |min of the compression side|
    assert d.df_c == pytest.approx(law(1e6, n_f, BETA_C, ALPHA_C, s_c), rel=1e-12)
    assert d.df_t == d.df_c and d.de == pytest.approx(law(1e6, n_f, LAMBDA, GAMMA, s_c))


def test_life_fractions_at_the_end_of_life():
    d = Direction(0.6, 0.2, df_c=0.9)
    d.update(1e12, 1e12, 1)
    assert (d.df_t, d.df_c, d.de) == (DEGR, DEGR, DEGR)


# ------------------------------------------------------------------------------------------
# Scheme 2: equivalent cycles and the allowance


def test_first_evaluation_starts_from_no_cycles():
    d = Direction(0.6, 0.2)
    n_f = basquin(0.6, 0.2)
    d.update(1000.0, 1000.0, 2)
    assert d.nm == pytest.approx(1000.0 / n_f, rel=1e-12)
    assert d.df_t == pytest.approx(law(1000.0, n_f, BETA_T, ALPHA_T, 0.6), rel=1e-12)
    assert d.df_c == pytest.approx(law(1000.0, n_f, BETA_C, ALPHA_C, 0.05), rel=1e-12)


@pytest.mark.parametrize("peak, bottom, first, block", [
    (0.6, 0.2, 1000.0, 5e4),
    (0.5, 0.0, 1e3, 2e5),       # bottom 0 counts as 1e-8
    (0.7, -0.2, 10.0, 300.0),   # R < 0, tension larger
])
def test_equivalent_cycles_recover_the_cycles_done(peak, bottom, first, block):
    d = Direction(peak, bottom)
    n_f = basquin(peak, max(bottom, 1e-8) if bottom == 0 else bottom)
    d.update(first, first, 2)
    df_t = float(d.df_t)
    d.update(first + block, block, 2)
    assert d.nm == pytest.approx((first + block) / n_f, rel=1e-9)
    # the allowance ends where the strength law reaches the present strength less lim
    n_lim = brentq(lambda n: law(n, n_f, BETA_T, ALPHA_T, peak) - (float(d.df_t) - LIM), 1.0,
                   n_f, xtol=1e-12, rtol=1e-13)
    assert first + block + d.cjump_nf == pytest.approx(n_lim, rel=1e-8)
    assert d.df_t < df_t


def test_mean_of_the_strengths_drives_the_stiffness_where_the_exponents_agree():
    d = Direction(0.6, 0.2)
    d.update(1e6, 1e6, 2, gamma=ALPHA_T, lam=BETA_T)
    assert d.de == pytest.approx((d.df_t + d.df_c) / 2, rel=1e-15)


@pytest.mark.parametrize("scheme", [1, 2])
def test_no_amplitude_means_no_fatigue(scheme):
    d = Direction(0.4, 0.4)
    d.update(5.0, 5.0, scheme)
    assert (d.df_t, d.df_c, d.de) == (1.0, 1.0, 1.0)
    assert d.nm == (5.0 / HUGE if scheme == 1 else 0.0)
    assert d.cjump_nf == (-1.0 if scheme == 1 else HUGE)


@pytest.mark.parametrize("field", ["de", "df_t", "df_c"])
def test_fully_damaged_direction(field):
    d = Direction(0.6, 0.2, **{field: DEGR})
    d.update(1e3, 1e3, 2)
    assert d.nm == 1.0 and d.cjump_nf == HUGE


def test_zero_stresses_become_small_ones():
    d = Direction(0.5, 0.0, cpeak=0.0, cbottom=0.2)
    d.update(10.0, 10.0, 1)
    assert [float(x) for x in d.s] == [0.5, 1e-8, 1e-8, 0.2]


def test_high_stress_keeps_ten_cycles():
    d = Direction(0.95, -0.95, cpeak=0.5, cbottom=0.4)
    d.update(5.0, 5.0, 1)
    assert d.nm == pytest.approx(0.5)                        # 5 of 10 cycles


@pytest.mark.parametrize("peak, bottom, kw, state", [
    (0.6, 0.2, dict(), dict(df_t=0.3)),           # strength below the applied stress
    (0.6, 0.2, dict(), dict(df_t=0.61)),          # df_t - lim below the applied stress
    (-0.5, -0.9, dict(u=0.5, v=0.5), dict()),     # compressive mean beyond c = 0.6
])
def test_bases_below_zero_give_numbers(peak, bottom, kw, state):
    d = Direction(peak, bottom, **state)
    d.update(2e3, 1e3, 2, **kw)
    values = [float(x) for x in (d.nm, d.de, d.df_t, d.df_c, d.cjump_nf)]
    assert not any(math.isnan(x) for x in values), values
    assert 0.0 <= d.nm <= 1.0


def test_mean_at_the_strength_takes_the_shortest_life():
    d = Direction(1.1, 1.0, cpeak=0.5, cbottom=0.4)
    d.update(2.0, 2.0, 1, u=0.7, v=0.3)
    assert d.nm == pytest.approx(0.2)                        # 2 of 10 cycles


def test_shared_strength_of_a_shear_direction():
    d = Direction(0.6, 0.2, cpeak=0.5, cbottom=0.3, shared=True)
    d.update(1e4, 1e4, 2, shear=True, alpha_c=ALPHA_T, beta_c=BETA_T)
    n_f = basquin(0.6, 0.2)
    both = min(law(1e4, n_f, BETA_T, ALPHA_T, 0.6), law(1e4, n_f, BETA_T, ALPHA_T, 0.3))
    assert d.df_t == pytest.approx(both, rel=1e-12)


def test_unknown_scheme_changes_nothing():
    d = Direction(0.6, 0.0)
    d.update(1e3, 1e3, 3)
    assert errstat() == -2
    assert errtext() == ("Error: Default case in subroutine GradualDegradation. Please check "
                         "your input pa")
    assert float(d.s[1]) == 0.0 and d.nm == 0.0 and d.df_t == 1.0


def test_debug_lines(capfd):
    _vorlen.debugdata.edebug = 1
    capfd.readouterr()
    Direction(0.6, 0.2).update(2e3, 1e3, 2)
    lines = capfd.readouterr().out.splitlines()
    assert lines[0].strip() == "New Implementation for stiffness degradation"
    assert lines[-9].strip() == "Updated results in GradualDegradation"
    assert any(ln.strip() == "T-T or T-dominated" for ln in lines)
