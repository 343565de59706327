# Stress and strain measures: components, invariants, principal values, equivalent stresses,
# flow direction, finite-strain measures and the hardening lookup. References are hand values
# of simple states and numpy's eigenvalues and matrix products.
import math

import numpy as np
import pytest

import _vorlen
from conftest import run_python
from test_lamina_notation import clean_register, message  # noqa: F401 (autouse fixture)

lam = _vorlen.lamina
err = _vorlen.errorhandling


@pytest.mark.parametrize("name, form", [
    ("gettensorcomponents", "t11,t22,t33,t12,t13,t23 = gettensorcomponents(tvoigt,[nvoigt,shearfactor])"),
    ("gettrace", "gettrace = gettrace(stress,[nstress])"),
    ("gethydrostaticpressure", "gethydrostaticpressure = gethydrostaticpressure(stress,[nstress])"),
    ("getmeanstress", "cm = getmeanstress(stress,[nstress])"),
    ("getdeviatoricstress", "cd = getdeviatoricstress(svoigt)"),
    ("getprincipals", "ps = getprincipals(svoigt,[nvoigt])"),
    ("getmisesstress", "getmisesstress = getmisesstress(stress,[nstress])"),
    ("gettrescastress", "gettrescastress = gettrescastress(principals)"),
    ("getrankinestress", "getrankinestress = getrankinestress(principals)"),
    ("getstassistress", "eq_stress = getstassistress(stress,xt,xc)"),
    ("getmisesflow", "flow = getmisesflow(stress,[nstress])"),
    ("getsmallstrain", "small = getsmallstrain(dfgrd)"),
    ("getgreenstrain", "green = getgreenstrain(dfgrd)"),
    ("getalmansistrain", "almansi = getalmansistrain(dfgrd)"),
    ("gethardeningfromtable", "yield,gradient = gethardeningfromtable(strain,table,[ntable])"),
])
def test_call_form(name, form):
    assert getattr(lam, name).__doc__.splitlines()[0] == form


def tensor(v):
    """Symmetric 3 by 3 matrix of a 3-, 4- or 6-vector (tensor shears)."""
    v = list(v)
    if len(v) == 3:
        v = [v[0], v[1], 0, 0, 0, v[2]]
    elif len(v) == 4:
        v = [v[0], v[1], v[2], 0, 0, v[3]]
    s11, s22, s33, s23, s13, s12 = v
    return np.array([[s11, s12, s13], [s12, s22, s23], [s13, s23, s33]], float)


# ---------------------------------------------------------------- components and counts

@pytest.mark.parametrize("tvoigt, kw, expected", [
    ([1, 2, 3], {}, (1, 2, 0, 3, 0, 0)),
    ([1, 2, 3, 4], {}, (1, 2, 3, 4, 0, 0)),
    ([1, 2, 3, 4, 5, 6], {}, (1, 2, 3, 6, 5, 4)),
    ([1, 2, 3, 4, 5, 6], dict(shearfactor=0.5), (1, 2, 3, 3, 2.5, 2)),
    ([1, 2, 3], dict(shearfactor=0.5), (1, 2, 0, 1.5, 0, 0)),
])
def test_tensor_components(tvoigt, kw, expected):
    assert lam.gettensorcomponents(np.array(tvoigt, float), **kw) == expected
    assert err.errstat == 0


COUNTED = [
    ("gettensorcomponents", "GetTensorComponents", lambda v: lam.gettensorcomponents(v)),
    ("gettrace", "GetTrace", lam.gettrace),
    ("gethydrostaticpressure", "GetHydrostaticPressure", lam.gethydrostaticpressure),
    ("getmeanstress", "GetMeanStress", lam.getmeanstress),
    ("getprincipals", "GetPrincipals", lam.getprincipals),
    ("getmisesstress", "GetMisesStress", lam.getmisesstress),
    ("getmisesflow", "GetMisesFlow", lam.getmisesflow),
]


@pytest.mark.parametrize("n", [1, 2, 5])
@pytest.mark.parametrize("name, routine, call", COUNTED)
def test_count_without_layout_gives_zeros(name, routine, call, n):
    out = np.asarray(call(np.arange(1.0, n + 1)))
    assert not out.any()
    assert (err.errstat, message()) == (-3, "Unsupported number of components in " + routine)


@pytest.mark.parametrize("n", [7, 9])
@pytest.mark.parametrize("name, routine, call", COUNTED)
def test_longer_vector_is_read_by_its_six_voigt_entries(name, routine, call, n):
    v = np.array([80.0, -35.0, 20.0, 40.0, -25.0, 15.0] + [1e3] * (n - 6))
    out, six = np.asarray(call(v)), np.asarray(call(v[:6]))
    if name == "getmisesflow":
        # the entries after the third are shears: s_i / vm
        np.testing.assert_array_equal(out[:6], six)
        np.testing.assert_allclose(out[6:], 1e3 / lam.getmisesstress(v[:6]), rtol=1e-15)
    else:
        np.testing.assert_array_equal(out, six)
    assert err.errstat == 0


# ---------------------------------------------------------------- invariants and equivalents

S, T, P = 120.0, 35.0, -80.0
# state, von Mises, Tresca, Rankine, trace, principals (descending)
STATES = [
    ([S, 0, 0, 0, 0, 0], S, S, S, S, (S, 0, 0)),
    ([-S, 0, 0, 0, 0, 0], S, S, S, -S, (0, 0, -S)),
    ([0, 0, 0, 0, 0, T], math.sqrt(3) * T, 2 * T, T, 0, (T, 0, -T)),
    ([0, 0, 0, T, 0, 0], math.sqrt(3) * T, 2 * T, T, 0, (T, 0, -T)),
    ([P, P, P, 0, 0, 0], 0, 0, abs(P), 3 * P, (P, P, P)),
]


@pytest.mark.parametrize("v, vm, tresca, rankine, tr, principals", STATES)
def test_simple_states_by_hand(v, vm, tresca, rankine, tr, principals):
    v = np.array(v, float)
    ps = lam.getprincipals(v)
    np.testing.assert_allclose(ps, principals, atol=1e-12)
    assert lam.getmisesstress(v) == pytest.approx(vm, abs=1e-12)
    assert lam.gettrescastress(ps) == pytest.approx(tresca, abs=1e-12)
    assert lam.getrankinestress(ps) == pytest.approx(rankine, abs=1e-12)
    assert lam.gettrace(v) == tr
    assert lam.gethydrostaticpressure(v) == pytest.approx(tr / 3, rel=1e-15)
    np.testing.assert_allclose(lam.getmeanstress(v), tr / 3 * np.eye(3), rtol=1e-15)
    cd = lam.getdeviatoricstress(v)
    assert np.trace(cd) == pytest.approx(0, abs=1e-12)
    np.testing.assert_allclose(cd, tensor(v) - tr / 3 * np.eye(3), atol=1e-12)
    assert err.errstat == 0


def test_reduced_vectors_by_hand():
    # Plane stress (11, 22, 12) and plane strain (11, 22, 33, 12).
    assert lam.getmisesstress(np.array([S, 0, T])) == pytest.approx(math.sqrt(S**2 + 3 * T**2))
    assert lam.getmisesstress(np.array([S, 0, S, 0])) == pytest.approx(S)
    assert lam.gettrace(np.array([1., 2, 3, 4])) == 6
    assert lam.gethydrostaticpressure(np.array([1., 2, 3])) == pytest.approx(1.0)


RNG = np.random.default_rng(103)


@pytest.mark.parametrize("v", [RNG.standard_normal(n) * 100 for n in (3, 4, 6, 6, 6)]
                         + [np.array([5., 5, 5, 0, 0, 0]), np.array([2., 2, -1, 0, 0, 0])])
def test_principals_and_mises_against_numpy(v):
    s = tensor(v)
    ps = lam.getprincipals(v)
    np.testing.assert_allclose(ps, np.linalg.eigvalsh(s)[::-1], rtol=1e-12, atol=1e-12)
    assert ps[0] >= ps[1] >= ps[2]
    dev = s - np.trace(s) / 3 * np.eye(3)
    assert lam.getmisesstress(v) == pytest.approx(math.sqrt(1.5 * np.sum(dev * dev)), rel=1e-13)
    if v.size == 6:
        np.testing.assert_allclose(lam.getdeviatoricstress(v), dev, atol=1e-12)


@pytest.mark.parametrize("principals, expected", [
    ((-1, -2, -5), 5), ((3, 0, -2), 3), ((1, 0, -4), 4), ((0, 0, 0), 0), ((2, 1, 0.5), 2),
])
def test_rankine(principals, expected):
    assert lam.getrankinestress(np.array(principals, float)) == expected


@pytest.mark.parametrize("stress, xt, xc, expected", [
    ([S, 0, 0, 0, 0, 0], 50., 100., S),  # uniaxial tension with xc = 2 xt
    ([-S, 0, 0, 0, 0, 0], 50., 100., -S),
    ([S, 0, 0, 0, 0, 0], 50., 50., S),  # xc = xt: von Mises with the sign of the trace
    ([0, P, 0, 0, 0, 0], 70., 70., P),
    # Pure shear has no trace: vm / sqrt(xc/xt).
    ([0, 0, 0, 0, T, 0], 50., 200., math.sqrt(3) * T / 2),
])
def test_stassi(stress, xt, xc, expected):
    assert lam.getstassistress(np.array(stress, float), xt, xc) == pytest.approx(expected, rel=1e-14)


@pytest.mark.parametrize("stress, expected", [
    ([1., 2, 0, 0], np.array([0, 1, -1, 0]) / math.sqrt(3)),  # p = 1, vm = sqrt(3)
    ([S, 0, T], np.array([2 * S / 3, -S / 3, T]) / math.sqrt(S**2 + 3 * T**2)),
    ([S, 0, 0, 0, 0, T], np.array([2 * S / 3, -S / 3, -S / 3, 0, 0, T]) / math.sqrt(S**2 + 3 * T**2)),
])
def test_mises_flow(stress, expected):
    np.testing.assert_allclose(lam.getmisesflow(np.array(stress)), expected, rtol=1e-14, atol=1e-16)


def test_mises_flow_is_the_deviator_over_the_equivalent_stress():
    v = RNG.standard_normal(6) * 50
    s = tensor(v)
    dev = s - np.trace(s) / 3 * np.eye(3)
    vm = math.sqrt(1.5 * np.sum(dev * dev))
    expected = np.array([dev[0, 0], dev[1, 1], dev[2, 2], v[3], v[4], v[5]]) / vm
    np.testing.assert_allclose(lam.getmisesflow(v), expected, rtol=1e-12)


# ---------------------------------------------------------------- finite-strain measures

E = 0.2
F = np.array([[1.1, 0.3, -0.05], [0.02, 0.95, 0.1], [0.0, -0.2, 1.05]])


@pytest.mark.parametrize("dfgrd", [np.eye(3), np.diag([1 + E, 1, 1]), F])
def test_strain_measures_against_numpy(dfgrd):
    i = np.eye(3)
    np.testing.assert_allclose(lam.getsmallstrain(dfgrd), (dfgrd + dfgrd.T) / 2 - i, atol=1e-15)
    np.testing.assert_allclose(lam.getgreenstrain(dfgrd), (dfgrd.T @ dfgrd - i) / 2, atol=1e-15)
    np.testing.assert_allclose(lam.getalmansistrain(dfgrd),
                               (i - np.linalg.inv(dfgrd @ dfgrd.T)) / 2, atol=1e-15)
    assert err.errstat == 0


def test_strain_measures_of_a_stretch():
    f = np.diag([1 + E, 1, 1])
    assert lam.getsmallstrain(f)[0, 0] == pytest.approx(E)
    assert lam.getgreenstrain(f)[0, 0] == pytest.approx(E + E**2 / 2)
    assert lam.getalmansistrain(f)[0, 0] == pytest.approx((1 - 1 / (1 + E)**2) / 2)


def test_almansi_of_a_singular_gradient_is_reported():
    lam.getalmansistrain(np.diag([1.0, 0.0, 1.0]))
    assert (err.errstat, message()) == (-2, "Matrix inverse becomes numerically singular!")


# ---------------------------------------------------------------- hardening table

# Yield stress over plastic strain; slopes 500, 350, 200 (forward, central, backward).
TABLE = np.array([[100., 0.0], [150., 0.1], [170., 0.2]])


@pytest.mark.parametrize("strain, expected", [
    (0.05, (125.0, 425.0)),
    (0.0, (100.0, 500.0)),
    (0.1, (150.0, 350.0)),
    (0.15, (160.0, 275.0)),
    (-0.1, (50.0, 650.0)),  # extrapolated below the first point
    (0.2, (170.0, 0.0)),  # from the largest plastic strain on: perfectly plastic
    (5.0, (170.0, 0.0)),
])
def test_hardening_lookup(strain, expected):
    assert lam.gethardeningfromtable(strain, TABLE) == pytest.approx(expected, rel=1e-14)
    assert err.errstat == 0


def test_hardening_gradient_over_a_long_table():
    # Uneven spacing: slopes at every point by central differences, interpolated linearly.
    x = np.cumsum(RNG.uniform(0.01, 0.05, 12)) - 0.01
    y = 200 + 900 * np.sqrt(x + 0.01)
    slopes = np.empty_like(x)
    slopes[0], slopes[-1] = (y[1] - y[0]) / (x[1] - x[0]), (y[-1] - y[-2]) / (x[-1] - x[-2])
    slopes[1:-1] = (y[2:] - y[:-2]) / (x[2:] - x[:-2])
    table = np.column_stack([y, x])
    for e in np.concatenate([np.linspace(x[0], x[-1], 37)[:-1], x[:-1]]):
        yield_, gradient = lam.gethardeningfromtable(e, table)
        assert yield_ == pytest.approx(np.interp(e, x, y), rel=1e-13)
        assert gradient == pytest.approx(np.interp(e, x, slopes), rel=1e-12)


def test_hardening_without_table():
    assert lam.gethardeningfromtable(0.1, np.zeros((0, 2))) == (-1.7976931348623157e308, 0.0)
    assert err.errstat == 0


def test_hardening_single_row_below_its_strain_is_reported():
    table = np.array([[250.0, 0.05]])
    assert lam.gethardeningfromtable(0.0, table) == (250.0, 0.0)
    assert (err.errstat, message()) == (
        -3, "A single row cannot be interpolated in GetHardeningFromTable")
    err.errstat = 0
    assert lam.gethardeningfromtable(0.05, table) == (250.0, 0.0)  # beyond: no interpolation
    assert err.errstat == 0


# Plastic strains 0.1, 0.1, 0.2: below the largest the table is interpolated and the process
# ends; at or beyond it the yield stress is the largest stress, 170, and the call returns.
@pytest.mark.parametrize("strain, ends", [(0.05, True), (0.2, False), (0.25, False)])
def test_hardening_table_that_does_not_increase_ends_the_process(strain, ends):
    r = run_python(f"""
        import numpy as np, _vorlen
        t = np.array([[100., 0.1], [150., 0.1], [170., 0.2]])
        print("returned", _vorlen.lamina.gethardeningfromtable({strain}, t))
    """)
    if ends:
        assert r.returncode == 1
        assert "INTERP_LINEAR - Fatal error!" in r.stdout and "returned" not in r.stdout
    else:
        assert r.returncode == 0 and r.stdout == "returned (170.0, 0.0)\n", r.stdout + r.stderr
