"""Cure, expansion and Prony viscoelastic routines. Expected values: the implicit cure step as a
scipy brentq root of x1 = x0 + dt rate(x1), a cure by solve_ivp, Tg by the DiBenedetto form,
shift factors by the WLF and Arrhenius forms, stiffnesses and relaxations by hand (backward
Euler of one Maxwell branch; its continuous limit E_inf + E_i exp(-t/tau))."""
import numpy as np
import pytest
from scipy.integrate import solve_ivp
from scipy.optimize import brentq

from conftest import errstat
import solverdriver as sd

v = pytest.importorskip("_vorlen")
toplevel = v.toplevel

R = 8.314462618
LAW = [5e3, 5e4, 2e4, 5e4, 1.5, 0.5, 1.2, 1e9]  # A1, E1, A2, E2, n1, m, n2, upper T
GEL, H = 0.6, 400.0
CTE = [1e-5, 2e-5, 3e-5, 4e-5, 5e-5, 6e-5]       # glassy 11, 22, 33, rubbery 11, 22, 33
BETA = [-1e-3, -2e-3, -3e-3, -4e-3, -5e-3, -6e-3]
DEGMAX = [0.05, 2.0]
TG = [-10.0, 200.0, 0.4]
SETS = [17.4, 51.6, 1e4, 10.0, 10.0, 60.0, 8e3, 5.0]
NAME = "RESIN_l@2@_s@7@"


def rate(t, x, dmax):
    a = min(x, dmax)
    return (LAW[0] * np.exp(-LAW[1] / (R * t)) * (dmax - a) ** LAW[4]
            + LAW[2] * np.exp(-LAW[3] / (R * t)) * a ** LAW[5] * (dmax - a) ** LAW[6])


def degmax(t):
    return 1 / (1 + np.exp(DEGMAX[1] - DEGMAX[0] * (t - 273.15)))


def tg(x):
    return TG[0] + (TG[1] - TG[0]) * TG[2] * x / (1 - (1 - TG[2]) * x) + 273.15


def step(x0, t, dt, dmax):
    if x0 >= dmax:
        return x0, 0.0
    # beyond dmax the rate is 0, so the bracket closes there
    x1 = brentq(lambda x: x - x0 - dt * rate(t, x, dmax), x0, dmax + 1e-9, xtol=1e-15)
    return x1, rate(t, x1, dmax)


@pytest.fixture
def cure_store(clean_store):
    """Cure table at layer 2 of the section with id 7 (position 2); layer 1 stays empty."""
    cu = np.full((8, 8, 2, 2), 1.7976931348623157e308, order="F")
    cols = {1: [GEL], 2: [H], 3: CTE, 4: BETA, 5: DEGMAX, 6: TG, 7: LAW, 8: None}
    for c, vals in cols.items():
        if vals is not None:
            cu[:len(vals), c - 1, 1, 1] = vals
    clean_store.sectiondata.nsec = 2
    clean_store.sectiondata.secidlist = np.array([3, 7], np.int32)
    clean_store.materialdata.cuprops = cu
    return cu


def set_sets(cu, sets):
    cu[:, 7, 1, 1] = 1.7976931348623157e308
    cu[:len(sets), 7, 1, 1] = sets
    v.materialdata.cuprops = cu


def hetval(svar, temp, dtime=10.0, name=NAME):
    return toplevel.hetval_prony(name, np.array([temp, 0.0]), np.zeros(2), dtime,
                                 np.array(svar, float), np.zeros(1), np.zeros(1))


def test_heat_step_is_the_implicit_root(cure_store):
    svar, flux = hetval([0.1, 0, 0, 0], 450.0)
    x1, r = step(0.1, 450.0, 10.0, degmax(450.0))
    np.testing.assert_allclose(svar, [x1, r, tg(x1), degmax(450.0)], rtol=1e-6)
    np.testing.assert_allclose(flux[0], H * r, rtol=1e-6)
    assert errstat() == 0


def test_heat_keeps_an_earlier_maximum(cure_store):
    # cooling: degmax(300) < slot 4 = slot 1: no step, zero flux, the limit held
    svar, flux = hetval([0.7, 0.3, 0, 0.7], 300.0)
    assert degmax(300.0) < 0.7
    np.testing.assert_allclose(svar, [0.7, 0.0, tg(0.7), 0.7], rtol=1e-14)
    assert flux[0] == 0


def test_cure_follows_the_ode(cure_store):
    t_end, n = 600.0, 300
    dmax = degmax(420.0)
    svar = np.zeros(4)
    for _ in range(n):
        svar, _ = hetval(svar, 420.0, dtime=t_end / n)
    ref = solve_ivp(lambda t, x: [rate(420.0, x[0], dmax)], (0, t_end), [0.0], rtol=1e-10,
                    atol=1e-12)
    assert abs(svar[0] - ref.y[0, -1]) < 6e-3
    assert 0.3 < svar[0] < dmax


@pytest.mark.parametrize("t0, x0, first", [(330.0, 0.6, 0), (450.0, 0.05, None),
                                           (470.0, 0.85, 3)])
def test_expansion_by_state(cure_store, t0, x0, first):
    dt, dtemp = 5.0, 2.0
    svar = np.zeros(510)
    svar[0], svar[502:508] = x0, 1.0
    expan, dexpandt, svar = toplevel.uexpan_prony(
        np.array([t0, dtemp]), np.array([0.0, 100.0]), dt, np.zeros(1), np.zeros(1), svar, NAME, 1)
    dmax = degmax(t0 + dtemp)
    x1, r = step(x0, t0 + dtemp, dt, dmax)
    cte = np.zeros(3) if first is None else np.array(CTE[first:first + 3])
    beta = np.zeros(3) if first is None else np.array(BETA[first:first + 3])
    assert (t0 < tg(x1)) == (first == 0)
    # the library's fixed-point step stops at a rate change below 1e-6
    np.testing.assert_allclose(expan, np.r_[cte * dtemp + beta * r * dt, 0, 0, 0], rtol=1e-4,
                               atol=1e-15)
    np.testing.assert_array_equal(dexpandt, np.zeros(6))
    np.testing.assert_allclose(svar[[0, 1, 2, 3]], [x1, r, tg(x1), dmax], rtol=1e-4)
    np.testing.assert_allclose(svar[502:508], 1 + np.r_[cte * dtemp, beta * r * dt], rtol=1e-6)
    np.testing.assert_allclose(svar[6:8], beta[:2] * r * dt, rtol=1e-4, atol=1e-15)


# Prony viscoelastic routine: C11, C12, C22, C23, C44 and one or two terms per series.
C = np.array([4000.0, 1500.0, 3500.0, 1200.0, 1100.0])
SERIES = [[(0.3, 2.0)], [(0.2, 5.0)], [(0.25, 3.0), (0.1, 40.0)], [(0.15, 4.0)], [(0.35, 1.5)]]


def pprops(series=SERIES, c=C):
    flat = [x for s in series for pair in s for x in pair]
    return np.r_[[len(s) for s in series], c, flat]


def pattern(c11, c12, c22, c23, c44, c66=None):
    d = np.zeros((6, 6))
    d[0, 0], d[0, 1:3], d[1:3, 0] = c11, c12, c12
    d[1, 1] = d[2, 2] = c22
    d[1, 2] = d[2, 1] = c23
    d[3, 3] = d[4, 4] = c44
    d[5, 5] = (c22 - c23) / 2 if c66 is None else c66
    return d


def prony(stran, dstran, temp, svar, *, props=None, dtime=1.0, stress=None, ntens=6,
          nstatv=510, name=NAME):
    props = pprops() if props is None else props
    return toplevel.umat_prony(
        np.zeros(ntens) if stress is None else np.array(stress, float), np.array(svar, float),
        0.25, 0.5, 0.75, 0.0, np.zeros(ntens), np.zeros(ntens), 0.0, np.array(stran, float),
        np.array(dstran, float), np.zeros(2), dtime, temp, 0.0, np.zeros(1), np.zeros(1), name,
        3, ntens - 3, np.array(props, float), np.zeros(3), np.eye(3), 0.8, 1.0, np.eye(3),
        np.eye(3), 1, 1, 1, 1, np.array([1, 1, 0, 0], np.int32), 1)


def test_glassy_and_relaxed_tangents(cure_store):
    de = np.array([1e-3, -2e-4, 3e-4, 5e-4, -4e-4, 2e-4])
    glassy = pattern(*C)
    s, svar, d, *_ = prony(np.zeros(6), de, 273.0, np.zeros(510))
    np.testing.assert_allclose(d, glassy, rtol=1e-14)
    np.testing.assert_allclose(s, glassy @ de, rtol=1e-14)
    assert not svar[8:500].any()  # internal stresses frozen
    relaxed = C * [0.7, 0.8, 0.65, 0.85, 0.65]
    for temp in (573.15, 700.0):  # the relaxed branch from 573.15 on
        s, svar, d, *_ = prony(np.zeros(6), de, temp, np.zeros(510))
        np.testing.assert_allclose(d, pattern(*relaxed), rtol=1e-14)
        np.testing.assert_allclose(s, pattern(*relaxed) @ de, rtol=1e-12)
        np.testing.assert_allclose(svar[[500, 501]], relaxed[[0, 2]], rtol=1e-14)


def test_empty_series_are_elastic(cure_store):
    props = pprops([[], [], [], [], []])
    de = np.array([1e-3, -2e-4, 3e-4, 5e-4, -4e-4, 2e-4])
    for temp in (250.0, 400.0, 600.0):
        s, _, d, *_ = prony(np.zeros(6), de, temp, np.zeros(510), props=props)
        np.testing.assert_allclose(d, pattern(*C), rtol=1e-14)
        np.testing.assert_allclose(s, pattern(*C) @ de, rtol=1e-12)


@pytest.mark.parametrize("sets, temp, x", [
    (SETS[:4], 300.0, 0.5),   # one set: aT2 = aT1; Tg 322 K: Arrhenius
    (SETS, 450.0, 0.5),       # two sets, WLF above Tg + dT
    (SETS, 330.0, 0.5),       # set 1 Arrhenius (330 < 332.4), set 2 WLF (330 > 327.4)
    ([], 300.0, 0.5),         # empty column: c2 + dT = 0, aT = 1
])
def test_shift_factors_by_hand(cure_store, sets, temp, x):
    set_sets(cure_store, sets)
    svar = np.zeros(510)
    svar[2] = tg(x)
    _, svar, d, *_ = prony(np.zeros(6), np.zeros(6), temp, svar)
    vals = (list(sets) + [0.0] * 8)[:8]
    both = [vals[:4], vals[:4] if len(sets) <= 4 else vals[4:]]
    want = []
    for c1, c2, a, dt in both:
        tt = tg(x) + dt
        if temp > tt:
            want.append(-c1 * (temp - tg(x)) / (c2 + temp - tg(x)))
        elif c2 + dt == 0:
            want.append(0.0)
        else:
            want.append(a * (1 / temp - 1 / tt) - c1 * dt / (c2 + dt))
    np.testing.assert_allclose(svar[508:510], want, rtol=1e-12, atol=1e-15)
    assert np.all(np.isfinite(d))
    # tangent: (1,1) with aT1, (2,2) with aT2
    a1, a2 = 10.0 ** np.array(want)
    f = lambda s, a: sum(p * 1.0 / (tau * a + 1.0) for p, tau in s)  # noqa: E731
    np.testing.assert_allclose(d[0, 0], C[0] * (1 - f(SERIES[0], a1)), rtol=1e-12)
    np.testing.assert_allclose(d[1, 1], C[2] * (1 - f(SERIES[2], a2)), rtol=1e-12)
    np.testing.assert_allclose(d[1, 2], C[3] * (1 - f(SERIES[3], a1)), rtol=1e-12)
    np.testing.assert_allclose(d[3, 3], C[4] * (1 - f(SERIES[4], a1)), rtol=1e-12)


def test_held_strain_relaxes(cure_store):
    set_sets(cure_store, [0.0, 1.0, 0.0, 0.0])  # aT = 1 everywhere
    props = pprops([[(0.3, 2.0)], [], [], [], []])
    e1, dt, n = 1e-3, 0.01, 400
    svar, stress = np.zeros(510), np.zeros(6)
    stress, svar, *_ = prony(np.zeros(6), [e1, 0, 0, 0, 0, 0], 400.0, svar, props=props,
                             dtime=dt, stress=stress)
    for _ in range(n - 1):
        stress, svar, *_ = prony([e1, 0, 0, 0, 0, 0], np.zeros(6), 400.0, svar, props=props,
                                 dtime=dt, stress=stress)
    # backward Euler exactly: q_n = q_inf (1 - r^n), r = tau/(tau + dt)
    r = 2.0 / (2.0 + dt)
    np.testing.assert_allclose(stress[0], C[0] * e1 * (1 - 0.3 * (1 - r**n)), rtol=1e-12)
    np.testing.assert_allclose(stress[0], C[0] * e1 * (0.7 + 0.3 * np.exp(-n * dt / 2.0)),
                               rtol=2e-3)


def test_heating_past_relaxed_relaxes_a_held_strain(cure_store):
    set_sets(cure_store, [0.0, 1.0, 0.0, 0.0])
    e = np.array([1e-3, 5e-4, -2e-4, 3e-4, 1e-4, -2e-4])
    stress, svar, *_ = prony(np.zeros(6), e, 400.0, np.zeros(510), dtime=1e-9)
    np.testing.assert_allclose(stress, pattern(*C) @ e, rtol=1e-6)
    stress, svar, d, *_ = prony(e, np.zeros(6), 600.0, svar, stress=stress)
    relaxed = pattern(*(C * [0.7, 0.8, 0.65, 0.85, 0.65]))
    np.testing.assert_allclose(stress, relaxed @ e, rtol=1e-12)
    stress, svar, d, *_ = prony(e, np.zeros(6), 650.0, svar, stress=stress)  # stays relaxed
    np.testing.assert_allclose(stress, relaxed @ e, rtol=1e-12)


@pytest.mark.parametrize("case", ["ntens", "nprops10", "negative", "short", "nstatv", "long"])
def test_prony_unsupported(cure_store, case):
    props, ntens, nstatv = pprops(), 6, 510
    if case == "ntens":
        ntens = 4
    elif case == "nprops10":
        props = props[:9]
    elif case == "negative":
        props[0] = -1
    elif case == "short":
        props = props[:-1]
    elif case == "nstatv":
        nstatv = 509
    else:
        props = pprops([[(0.1, 1.0)] * 100, [(0.1, 1.0)] * 100, [], [], []])  # N = 500 > 492
    de = np.full(ntens, 1e-3)
    svar0 = np.arange(nstatv, dtype=float)
    s, svar, d, *_ = prony(np.zeros(ntens), de, 400.0, svar0, props=props, ntens=ntens,
                           nstatv=nstatv)
    assert errstat() == -3
    np.testing.assert_array_equal(svar, svar0)
    if case in ("ntens", "nprops10"):
        np.testing.assert_array_equal(d, np.zeros((ntens, ntens)))
        np.testing.assert_array_equal(s, np.zeros(ntens))
    else:
        np.testing.assert_allclose(d, pattern(*C), rtol=1e-14)
        np.testing.assert_allclose(s, pattern(*C) @ de, rtol=1e-14)


@pytest.mark.parametrize("store", ["none", "layer", "secidlist"])
def test_missing_cure_data(clean_store, store):
    if store != "none":
        cu = np.zeros((8, 8, 1, 1), order="F")
        clean_store.materialdata.cuprops = cu       # layer 2 of the name is not in the table
        if store == "layer":
            clean_store.sectiondata.nsec = 1
            clean_store.sectiondata.secidlist = np.array([7], np.int32)
    svar0 = np.array([0.1, 0.2, 0.3, 0.4])
    svar, flux = hetval(svar0, 450.0)
    assert errstat() == -3 and flux[0] == 0
    np.testing.assert_array_equal(svar, svar0)
    big = np.arange(510.0)
    expan, dexp, svar = toplevel.uexpan_prony(np.array([400.0, 1.0]), np.ones(2), 1.0,
                                              np.zeros(1), np.zeros(1), big, NAME, 1)
    np.testing.assert_array_equal(expan, np.zeros(6))
    np.testing.assert_array_equal(svar, big)
    _, svar, *_ = prony(np.zeros(6), np.zeros(6), 400.0, np.zeros(510))
    np.testing.assert_array_equal(svar[508:510], [0.0, 0.0])  # aT = 1


def test_usermat_is_umat_in_cyclic_order(clean_store):
    cu = np.full((8, 8, 1, 1), 1.7976931348623157e308, order="F")
    cu[:4, 7, 0, 0] = SETS[:4]
    clean_store.materialdata.cuprops = cu
    clean_store.sectiondata.nsec = 1
    clean_store.sectiondata.secidlist = np.array([1], np.int32)
    perm = [0, 1, 2, 3, 5, 4]  # (11, 22, 33, 12, 23, 13) from Nye order
    e0 = np.array([1e-3, 5e-4, -2e-4, 3e-4, 1e-4, -2e-4])
    de = np.array([2e-4, -1e-4, 1e-4, 5e-4, -3e-4, 2e-4])
    sv = np.zeros(510)
    sv[2] = 330.0
    s, sv_u, d, *_ = prony(e0, de, 380.0, sv, dtime=0.5, name="")
    stress, ustatev = np.zeros(6), sv.copy()
    keycut, dsdepl, epszz = toplevel.usermat_prony(
        1, 1, 1, 1, 1, 1, 1, 3, 3, 0.0, 0.5, 380.0, 0.0, stress, ustatev, np.zeros(()),
        np.zeros(()), np.zeros(()), e0[perm], de[perm], np.zeros(6), pprops(), np.zeros(3), 0.0,
        np.eye(3), np.eye(3), np.zeros(2), 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0)
    np.testing.assert_allclose(stress, s[perm], rtol=1e-12)
    np.testing.assert_allclose(dsdepl, d[np.ix_(perm, perm)], rtol=1e-12)
    np.testing.assert_allclose(ustatev, sv_u, rtol=1e-12)


def test_cure_and_heat_along_a_path(cure_store, tmp_path):
    """Heat-up through the driver: the temperature path cures the resin and the stress of a
    free-standing strain stays that of the instantaneous stiffness below 273.15."""
    strains = np.zeros((4, 6))
    strains[1:, 0] = [1e-3, 2e-3, 3e-3]
    res = sd.umat_path("umat_prony", pprops(), strains, nstatv=510, temps=[250.0] * 4,
                       cmname=NAME)
    np.testing.assert_allclose(res.stress[-1], pattern(*C) @ strains[-1], rtol=1e-12)


def test_held_strain_heated_through_the_driver(cure_store):
    """A strain applied at 400 K and held while the temperature rises past 573.15 ends at the
    relaxed stiffness times the strain and stays there."""
    set_sets(cure_store, [0.0, 1.0, 0.0, 0.0])
    e = np.array([1e-3, 5e-4, -2e-4, 3e-4, 1e-4, -2e-4])
    strains = np.vstack([np.zeros(6)] + [e] * 5)
    # increment n runs at the temperature of the start of the increment, temps[n - 1]
    res = sd.umat_path("umat_prony", pprops(), strains, nstatv=510,
                       temps=[400.0, 400.0, 500.0, 600.0, 650.0, 700.0], cmname=NAME)
    relaxed = pattern(*(C * [0.7, 0.8, 0.65, 0.85, 0.65]))
    assert not np.allclose(res.stress[3], relaxed @ e, rtol=1e-3)  # still relaxing at 500 K
    np.testing.assert_allclose(res.stress[4:], [relaxed @ e] * 2, rtol=1e-12)
