"""Resin property sets, calibration-table lookups, equivalent strain and the endochronic law
against hand calculations, closed forms and scipy's interpolants."""
import math

import numpy as np
import pytest
from scipy.interpolate import PchipInterpolator

import _vorlen
from conftest import errstat, errtext

resin = _vorlen.resin
store = _vorlen.materialdata


@pytest.fixture(autouse=True)
def clean(clean_store):
    """An empty store (temperature grid included), register and debug element around each
    test."""
    store.temperatures = None
    yield
    store.temperatures = None
    _vorlen.debugdata.edebug = 0
    for n in ("nflowdata", "nsecantdata", "nnormaldata", "nsheardata"):
        setattr(store, n, 0)


CALL_FORMS = [
    ("getresinproperties",
     "e,nu,num,gamma,degr,xt,xc,np,a_woehler,exp_woehler = getresinproperties(props,temp,noel,"
     "[nprops])"),
    ("getresinplasticproperties",
     "et,ec,g,nut,nuc,a0,a1,alpha,degr,xt,xc,np,a_woehler,exp_woehler = "
     "getresinplasticproperties(props,temp,eqplaststrain,[nprops])"),
    ("getresinorthotropicproperties",
     "e1,e2,e3,nu12,nu13,nu23,nu21,nu31,nu32,g12,g13,g23,xt,xc,np,a_woehler,exp_woehler,degr = "
     "getresinorthotropicproperties(props,temp,dt,stran,endstran,noel,d,[nprops])"),
    ("getmodulusfromtable", "e = getmodulusfromtable(eqstrain,temp)"),
    ("getflowparameters", "a0,a1 = getflowparameters(eqplaststrain,temp)"),
    ("getexternaldata", "rvalue = getexternaldata(datafield,ndata,x0,temp,stype)"),
    ("equivalentstrain", "eqstrain = equivalentstrain(strain,ndi,[ntens])"),
    ("endochroneviscoplasticity",
     "stress,statev = endochroneviscoplasticity(stran,dstrain,props,stress,statev,dtime,"
     "writesdv,matstate,[nprops,nstatev,overwrite_stress,overwrite_statev])"),
]


@pytest.mark.parametrize("name,form", CALL_FORMS)
def test_call_form(name, form):
    assert getattr(resin, name).__doc__.splitlines()[0] == form


# ------------------------------------------------------------------------------------------
# Property sets

# E, nu, num, Xt, np, gamma, Xc/Xt, Woehler coefficient, Woehler exponent
SET_COLD = [3200.0, 0.35, 0.30, 80.0, 2.0, 0.5, 1.5, 100.0, 10.0]
SET_ROOM = [3000.0, 0.40, 0.20, 60.0, 3.0, 0.7, 2.0, 90.0, 12.0]
# L1..L11
LAW = [-2e-5, -2e-3, 1.0, -1e-3, 1.0, 263.15, 313.15, 373.15, 393.15, 4.0, 500.0]


def resin_props(t_a=233.0, t_b=293.15, law=(), set_a=SET_COLD, set_b=SET_ROOM):
    return np.array(set_a + [t_a] + set_b + [t_b] + [0.8] + list(law))


def expected_sets(temp, t1, t2, s1, s2):
    """The nine outputs e, nu, num, gamma, degr, xt, xc, np, a_woehler, exp_woehler by hand."""
    if temp < t1:
        v = s1
    elif temp > t2:
        v = s2
    else:
        w = (temp - t1) / (t2 - t1)
        v = [a + (b - a) * w for a, b in zip(s1, s2)]
    e, nu, num, xt, npx, gamma, ratio, aw, ew = v
    return [e, nu, num, gamma, 0.8, xt, ratio * xt, npx, aw, ew]


def law_by_hand(t, e_rt, e_low):
    l1, l2, l3, l4, l5, l6, l7, l8, l9, l10, l11 = LAW
    th = t - 273.15
    if t <= l6:
        return e_low
    if t < l7:
        return e_rt * (l4 * th + l5)
    if t < l8:
        return e_rt * (l1 * th**2 + l2 * th + l3)
    th8 = l8 - 273.15
    e8 = e_rt * (l1 * th8**2 + l2 * th8 + l3)
    return e8 - (e8 - l11) * math.exp(-(th / (l9 - 273.15)) ** l10)


@pytest.mark.parametrize("temp", [200.0, 233.0, 250.0, 293.15, 350.0])
def test_sets_interpolate_between_their_temperatures_and_hold_beyond(temp):
    got = resin.getresinproperties(resin_props(), temp, 1)
    want = expected_sets(temp, 233.0, 293.15, SET_COLD, SET_ROOM)
    assert got == pytest.approx(want, rel=1e-14)
    # the same sets in descending order of temperature
    swapped = resin.getresinproperties(resin_props(293.15, 233.0, (), SET_ROOM, SET_COLD), temp, 1)
    assert swapped == pytest.approx(want, rel=1e-14)
    assert errstat() == 0


def test_temperature_of_a_set_returns_that_set_exactly():
    assert resin.getresinproperties(resin_props(), 233.0, 1)[0] == SET_COLD[0]
    assert resin.getresinproperties(resin_props(), 293.15, 1)[0] == SET_ROOM[0]


@pytest.mark.parametrize("temp", [280.0, 293.15, 303.15, 313.15, 343.15, 373.15, 393.15, 450.0])
def test_modulus_law_replaces_e_above_room_temperature(temp):
    got = resin.getresinproperties(resin_props(law=LAW), temp, 1)
    sets = expected_sets(temp, 233.0, 293.15, SET_COLD, SET_ROOM)
    e = law_by_hand(temp, 3000.0, 3200.0) if temp > 293.15 else sets[0]
    assert got[0] == pytest.approx(e, rel=1e-13)
    assert got[1:] == pytest.approx(sets[1:], rel=1e-14)
    assert errstat() == 0


def test_law_needs_more_than_28_values():
    props = resin_props(law=LAW)
    assert resin.getresinproperties(props[:28], 343.15, 1)[0] == SET_ROOM[0]
    assert errstat() == 0


@pytest.mark.parametrize("n", [29, 31])
def test_incomplete_law_block_is_reported_and_left_out(n):
    props = resin_props(law=LAW)[:n]
    assert resin.getresinproperties(props, 280.0, 1)[0] == pytest.approx(
        expected_sets(280.0, 233.0, 293.15, SET_COLD, SET_ROOM)[0])
    assert errstat() == 0  # the law is not read at or below 293.15 K
    assert resin.getresinproperties(props, 343.15, 1)[0] == SET_ROOM[0]
    assert errstat() == -3 and "Incomplete modulus-temperature law" in errtext()


def test_law_without_room_temperature_set_keeps_the_sets_modulus():
    props = resin_props(t_a=253.0, t_b=353.0, law=LAW)
    e = resin.getresinproperties(props, 343.15, 1)[0]
    assert e == pytest.approx(expected_sets(343.15, 253.0, 353.0, SET_COLD, SET_ROOM)[0])
    assert errstat() == -3


def test_too_few_properties_give_zeros():
    assert resin.getresinproperties(resin_props()[:20], 300.0, 1) == (0.0,) * 10
    assert errstat() == -3


def test_debug_lines_for_the_debug_element(capfd):
    _vorlen.debugdata.edebug = 7
    capfd.readouterr()
    resin.getresinproperties(resin_props(law=LAW), 343.15, 5)
    assert capfd.readouterr().out == ""
    resin.getresinproperties(resin_props(law=LAW), 343.15, 7)
    lines = [ln.strip().rsplit(" ", 1) for ln in capfd.readouterr().out.splitlines()]
    assert [label for label, _ in lines] == ["temp", "T1", "T2", "E2 =", "E ="]
    values = [float(v) for _, v in lines]
    assert values == [343.15, 233.0, 293.15, 3000.0, pytest.approx(law_by_hand(343.15, 3000, 3200))]


# Et, Ec, G, nut, nuc, alpha, Xt, Xc, np, Woehler coefficient, Woehler exponent
PLASTIC_COLD = [3300.0, 3500.0, 1200.0, 0.36, 0.38, 0.20, 85.0, 130.0, 2.0, 100.0, 10.0]
PLASTIC_ROOM = [3000.0, 3400.0, 1100.0, 0.40, 0.42, 0.30, 60.0, 110.0, 3.0, 90.0, 12.0]


def plastic_props(law=()):
    return np.array(PLASTIC_COLD + [233.0] + PLASTIC_ROOM + [293.15] + [0.9] + list(law))


@pytest.fixture
def flow_table():
    store.temperatures = [273.15, 323.15]
    x = [0.0, 0.01, 0.02, 0.05]
    t = np.zeros((2, 4, 3), order="F")
    t[:, :, 0] = x
    t[0, :, 1], t[1, :, 1] = [1.0, 1.2, 1.3, 1.4], [0.8, 1.0, 1.1, 1.15]
    t[0, :, 2], t[1, :, 2] = [5.0, 6.0, 6.5, 7.0], [4.0, 4.5, 5.0, 5.5]
    store.flowprops = t
    store.nflowdata = 4
    return t


@pytest.mark.parametrize("temp", [220.0, 263.15, 300.0])
def test_plastic_sets_and_flow_parameters(flow_table, temp):
    got = resin.getresinplasticproperties(plastic_props(), temp, 0.02)
    w = min(max((temp - 233.0) / (293.15 - 233.0), 0.0), 1.0)
    v = [a + (b - a) * w for a, b in zip(PLASTIC_COLD, PLASTIC_ROOM)]
    et, ec, g, nut, nuc, alpha, xt, xc, npx, aw, ew = v
    # tabulated point 0.02 of both rows, then linear over the two grid temperatures
    wt = (temp - 273.15) / 50.0
    a0, a1 = 1.3 + (1.1 - 1.3) * wt, 6.5 + (5.0 - 6.5) * wt
    want = [et, ec, g, nut, nuc, a0, a1, alpha, 0.9, xt, xc, npx, aw, ew]
    assert got == pytest.approx(want, rel=1e-13)
    assert errstat() == 0


@pytest.mark.parametrize("temp", [220.0, 263.15, 300.0, 313.15, 343.15, 400.0])
def test_plastic_law_scales_moduli_at_every_temperature(flow_table, temp):
    et, ec, g = resin.getresinplasticproperties(plastic_props(LAW), temp, 0.0)[:3]
    e = law_by_hand(temp, 3000.0, 3300.0)
    assert (et, ec, g) == pytest.approx((e, 3400.0 * e / 3000.0, 1100.0 * e / 3000.0), rel=1e-13)
    assert errstat() == 0


def test_plastic_incomplete_law_and_short_properties(flow_table):
    props = plastic_props(LAW)
    assert resin.getresinplasticproperties(props[:35], 343.15, 0.0)[0] == 3000.0
    assert errstat() == -3
    _vorlen.errorhandling.rsxerr(1)
    assert resin.getresinplasticproperties(props[:24], 343.15, 0.0) == (0.0,) * 14
    assert errstat() == -3


# ------------------------------------------------------------------------------------------
# Calibration tables

X = np.array([-0.02, 0.0, 0.01, 0.03, 0.06])
Y1 = np.array([2500.0, 3000.0, 2800.0, 2200.0, 2100.0])
Y2 = np.array([2000.0, 2400.0, 2300.0, 1800.0, 1500.0])


def table(extra_columns=0):
    t = np.zeros((2, X.size, 2 + extra_columns), order="F")
    t[:, :, 0] = X
    t[0, :, 1], t[1, :, 1] = Y1, Y2
    return t


@pytest.fixture
def secant():
    store.temperatures = [273.15, 323.15]
    store.secantprops = table()
    store.nsecantdata = X.size


@pytest.mark.parametrize("i", range(X.size))
@pytest.mark.parametrize("temp,w", [(273.15, 0.0), (323.15, 1.0), (298.15, 0.5), (348.15, 1.5)])
def test_modulus_at_tabulated_points(secant, i, temp, w):
    assert resin.getmodulusfromtable(X[i], temp) == pytest.approx(Y1[i] + (Y2[i] - Y1[i]) * w)
    assert errstat() == 0


@pytest.mark.parametrize("x0", [-0.01, 0.005, 0.02, 0.045])
def test_lookups_between_points_against_scipy(secant, x0):
    t = table()
    cubic = [float(PchipInterpolator(X, y)(x0)) for y in (Y1, Y2)]
    linear = [np.interp(x0, X, y) for y in (Y1, Y2)]
    for stype, (y1, y2) in (("C", cubic), ("c", cubic), ("L", linear)):
        want = y1 + (y2 - y1) * 0.3
        assert resin.getexternaldata(t, X.size, x0, 288.15, stype) == pytest.approx(want, rel=1e-12)
    assert resin.getmodulusfromtable(x0, 288.15) == pytest.approx(
        cubic[0] + (cubic[1] - cubic[0]) * 0.3, rel=1e-12)


def test_linear_lookup_extrapolates_from_the_end_intervals(secant):
    slope = (Y1[-1] - Y1[-2]) / (X[-1] - X[-2])
    assert resin.getexternaldata(table(), X.size, 0.1, 273.15, "L") == pytest.approx(
        Y1[-1] + slope * 0.04)


def test_points_beyond_ndata_are_not_read(secant):
    t = np.zeros((2, X.size + 3, 2), order="F")
    t[:, :X.size, :] = table()
    t[:, X.size:, 0] = -1.0  # would end the process if it were read as an abscissa
    assert resin.getexternaldata(t, X.size, X[2], 273.15, "C") == Y1[2]
    assert errstat() == 0


@pytest.mark.parametrize("ndata,shape", [(6, (2, 5, 2)), (1, (2, 5, 2)), (0, (2, 5, 2)),
                                         (-4, (2, 5, 2)), (5, (1, 5, 2)), (5, (2, 5, 1))])
def test_external_data_that_does_not_fit(secant, ndata, shape):
    t = np.ones(shape, order="F")
    assert resin.getexternaldata(t, ndata, 0.0, 300.0, "L") == 0.0
    assert errstat() == -3 and errtext().endswith("in GetExternalData")


def unfilled_table():
    store.secantprops = None


def short_table():
    store.nsecantdata = X.size + 1


def one_point():
    store.nsecantdata = 1


def one_temperature():
    store.temperatures = [293.15]


def no_grid():
    store.temperatures = None


@pytest.mark.parametrize("spoil", [unfilled_table, short_table, one_point, one_temperature,
                                   no_grid])
def test_modulus_from_a_table_not_filled(secant, spoil):
    spoil()
    assert resin.getmodulusfromtable(0.01, 300.0) == 0.0
    assert errstat() == -3 and errtext().endswith("in GetModulusFromTable")


def test_flow_parameters_at_tabulated_points(flow_table):
    assert resin.getflowparameters(0.01, 273.15) == pytest.approx((1.2, 6.0))
    assert resin.getflowparameters(0.05, 323.15) == pytest.approx((1.15, 5.5))
    assert errstat() == 0


def test_flow_table_with_two_columns_gives_a0_only(flow_table):
    store.flowprops = np.asfortranarray(flow_table[:, :, :2])
    assert resin.getflowparameters(0.01, 273.15) == pytest.approx((1.2, 0.0))
    assert errstat() == -3 and "column 3" in errtext()


def test_flow_table_not_filled():
    store.temperatures = [273.15, 323.15]
    assert resin.getflowparameters(0.01, 300.0) == (0.0, 0.0)
    assert errstat() == -3


# ------------------------------------------------------------------------------------------
# Orthotropic constants

E0, NU0 = 3000.0, 0.4
NORMAL_X, NORMAL_Y = [-0.05, 0.0, 0.05], ([12.0, 20.0, 30.0], [16.0, 25.0, 35.0])
SHEAR_X, SHEAR_Y = [-0.1, 0.0, 0.1], ([40.0, 50.0, 60.0], [45.0, 55.0, 65.0])


@pytest.fixture
def softening_tables():
    store.temperatures = [273.15, 323.15]
    for name, x, ys in (("normal", NORMAL_X, NORMAL_Y), ("shear", SHEAR_X, SHEAR_Y)):
        t = np.zeros((2, 3, 2), order="F")
        t[:, :, 0] = x
        t[0, :, 1], t[1, :, 1] = ys
        setattr(store, name + "props", t)
        setattr(store, "n" + name + "data", 3)


def orthotropic(endstran, temp=293.15, d=0.0, props=None):
    props = resin_props() if props is None else props
    return resin.getresinorthotropicproperties(props, temp, 0.1, np.zeros(6), endstran, 1, d)


def test_failed_resin_with_degradation_keeps_the_base_constants():
    # no tables in the store: nothing is looked up
    props = resin_props()
    props[20] = 0.5  # degr
    got = orthotropic([0.05, -0.05, 0.0, 0.1, -0.1, 0.0], props=props, d=1.0)
    g0 = E0 / (2 * (1 + NU0))
    assert got[:12] == pytest.approx([E0] * 3 + [NU0] * 6 + [g0] * 3, rel=1e-14)
    assert errstat() == 0


@pytest.mark.parametrize("temp,row", [(200.0, 0), (293.15, None), (400.0, 1)])
def test_moduli_softened_by_the_tables(softening_tables, temp, row):
    endstran = np.array([0.05, -0.05, 0.0, 0.1, -0.1, 0.0])
    got = orthotropic(endstran, temp=temp)
    props = resin_props()
    e0, nu = resin.getresinproperties(props, temp, 1)[:2]
    if row is None:  # between the grid temperatures: linear at 293.15 K
        w = (293.15 - 273.15) / 50.0
        ny = [a + (b - a) * w for a, b in zip(*NORMAL_Y)]
        sy = [a + (b - a) * w for a, b in zip(*SHEAR_Y)]
    else:  # clamped to the grid
        ny, sy = NORMAL_Y[row], SHEAR_Y[row]
    e = [e0 / (0.05 * ny[2] + 1), e0 / (0.05 * ny[0] + 1), e0]
    g0 = e0 / (2 * (1 + nu))
    g = [g0 / (0.1 * sy[2] + 1), g0 / (0.1 * sy[0] + 1), g0 / (0 * sy[1] + 1)]
    assert got[0:3] == pytest.approx(e, rel=1e-13)
    assert got[9:12] == pytest.approx(g, rel=1e-13)
    nu12, nu13, nu23, nu21, nu31, nu32 = got[3:9]
    for nij, nji, ei, ej in ((nu12, nu21, e[0], e[1]), (nu13, nu31, e[0], e[2]),
                             (nu23, nu32, e[1], e[2])):
        assert nij + nji == pytest.approx(2 * nu, rel=1e-14)
        assert nij / ei == pytest.approx(nji / ej, rel=1e-13)
    assert errstat() == 0


def test_orthotropic_without_tables_reports_and_does_not_soften():
    store.temperatures = [273.15, 323.15]
    got = orthotropic([0.05, 0.0, 0.0, 0.0, 0.0, 0.0])
    assert got[0] == E0 and errstat() == -3


def test_orthotropic_debug_lines(softening_tables, capfd):
    _vorlen.debugdata.edebug = 3
    capfd.readouterr()
    resin.getresinorthotropicproperties(resin_props(), 293.15, 0.25, np.zeros(6),
                                        np.zeros(6), 3, 0.0)
    labels = [ln.strip().rsplit(" ", 1)[0] for ln in capfd.readouterr().out.splitlines()]
    assert labels == ["temp", "T1", "T2", "E =", "E =", "eta", "dt",
                      "endstran(i) 1", "alpha_0", "endstran(i) 2", "alpha_0",
                      "endstran(i) 3", "alpha_0", "alpha 12 ohne vr"]


# ------------------------------------------------------------------------------------------
# Equivalent strain

R2 = math.sqrt(2.0)


@pytest.mark.parametrize("strain,want", [
    ([0.01, 0, 0, 0, 0, 0], 0.01),                           # uniaxial
    ([-0.01, 0, 0, 0, 0, 0], -0.01),
    ([0, 0, 0, 0, 0, 0.02], 0.01 * R2),                      # engineering shear 0.02
    ([0, 0, 0, 0.02, 0.02, 0.02], 0.01 * math.sqrt(6.0)),
    ([-0.01, -0.01, -0.01, 0, 0, 0], -0.01 * math.sqrt(3.0)),  # hydrostatic
    ([0.01, 0.0, 0.02], math.sqrt(3e-4)),                    # plane stress (11, 22, 12)
    ([0.01, -0.03, 0.005, 0.02], -math.sqrt(1e-4 + 9e-4 + 2.5e-5 + 2e-4)),
    ([0.01, 0.0, 0.0, 0.0, 0.0, 0.02, 9.0], math.sqrt(1e-4 + 2e-4)),
])
def test_equivalent_strain(strain, want):
    assert resin.equivalentstrain(np.array(strain, dtype=float), 3) == pytest.approx(want, rel=1e-14)
    assert errstat() == 0


@pytest.mark.parametrize("n", [1, 2, 5])
def test_equivalent_strain_of_a_count_without_a_layout(n):
    # neither a reduced vector nor the six Voigt entries: nothing is read
    assert resin.equivalentstrain(np.full(n, 0.01), 3) == 0.0
    assert errstat() == -3 and "Unsupported number of components" in errtext()


def test_equivalent_strain_of_zero_strain_is_positive_zero():
    assert math.copysign(1.0, resin.equivalentstrain(np.zeros(6), 3)) == 1.0


# ------------------------------------------------------------------------------------------
# Endochronic visco-plastic law

TAU = [0.1, 1.0, 10.0, 100.0, 1000.0, 10000.0]


def isotropic(e, nu, strain):
    """Linear isotropic stress of a strain with tensor shear components."""
    s = np.asarray(strain, dtype=float)
    lam, mu = e * nu / ((1 + nu) * (1 - 2 * nu)), e / (2 * (1 + nu))
    out = 2 * mu * s
    out[:3] += lam * s[:3].sum()
    return out


def endochrone(stran, dstrain, props, statev, dtime, writesdv=1, matstate=1):
    return resin.endochroneviscoplasticity(np.asarray(stran, float), np.asarray(dstrain, float),
                                           np.asarray(props, float), np.zeros(6),
                                           np.array(statev, float), dtime, writesdv, matstate)


STRAN = [0.004, -0.001, 0.002, 0.003, -0.002, 0.001]
DSTRAIN = [0.001, 0.0005, -0.002, 0.0, 0.001, -0.0015]
PROPS = [2000.0, 30.0, 0.35, 800.0, 40.0, 100.0, 200.0, 300.0, 400.0, 500.0, 600.0]


def test_material_state_off_gives_linear_isotropic_stress_of_modulus_15():
    statev = np.arange(42.0)
    eps = np.add(STRAN, DSTRAIN)
    stress, sv = endochrone(STRAN, DSTRAIN, PROPS, statev, 0.5, matstate=0)
    assert stress == pytest.approx(isotropic(15.0, 0.35, eps), rel=1e-13)
    np.testing.assert_array_equal(sv, statev)


def test_state_is_written_only_when_asked():
    statev = np.linspace(-3.0, 5.0, 42)
    s1, sv1 = endochrone(STRAN, DSTRAIN, PROPS, statev, 0.5, writesdv=1)
    s0, sv0 = endochrone(STRAN, DSTRAIN, PROPS, statev, 0.5, writesdv=0)
    np.testing.assert_array_equal(s0, s1)
    np.testing.assert_array_equal(sv0, statev)
    assert not np.array_equal(sv1, statev)


@pytest.mark.parametrize("dtime", [0.0, 0.5, 30.0])
@pytest.mark.parametrize("moduli", [[100.0, 200.0, 300.0, 400.0, 500.0, 600.0],
                                    [100.0, 0.0, 300.0, 0.0, 0.0, 0.0]])
def test_first_step_without_softening_is_the_sum_of_the_branch_stiffnesses(dtime, moduli):
    # b = 0 and kappa = 0: the elastic branch carries the total strain, the endochronic branch
    # and the virgin Maxwell branches (stiffness Ek/(1 + dtime/(2 tau_k))) the increment.
    e0, nu, ep = 2000.0, 0.3, 800.0
    props = [e0, 0.0, nu, ep, 0.0] + moduli
    stress, sv = endochrone(STRAN, DSTRAIN, props, np.zeros(42), dtime)
    e_inc = ep + sum(ek / (1 + dtime / (2 * tau)) for ek, tau in zip(moduli, TAU))
    want = isotropic(e0, nu, np.add(STRAN, DSTRAIN)) + isotropic(e_inc, nu, DSTRAIN)
    assert stress == pytest.approx(want, rel=1e-12)
    assert sv[:6] == pytest.approx(isotropic(ep, nu, DSTRAIN), rel=1e-13)


def test_zero_increment_keeps_the_endochronic_stress_and_relaxes_the_maxwell_branches():
    statev = np.random.default_rng(5).uniform(-10.0, 10.0, 42)
    dtime = 0.4
    stress, sv = endochrone(STRAN, np.zeros(6), PROPS, statev, dtime)
    factors = [(1 - 0.5 * dtime / t) / (1 + 0.5 * dtime / t) for t in TAU]
    want_sv = statev.copy()
    for k, f in enumerate(factors, start=1):
        want_sv[6 * k:6 * k + 6] *= f
    assert sv == pytest.approx(want_sv, rel=1e-13, abs=1e-13)
    # elastic branch at the total strain with softening b = 30
    e0, b, nu = PROPS[0], PROPS[1], PROPS[2]
    eps = np.array(STRAN)
    tr = eps[:3].sum()
    dev = eps.copy()
    dev[:3] -= tr / 3
    norm = math.sqrt((dev[:3] ** 2).sum() + 2 * (dev[3:] ** 2).sum())
    g0, k0 = e0 / (2 * (1 + nu)), e0 / (3 * (1 - 2 * nu))
    elastic = 2 * g0 * dev / math.exp(b / (math.sqrt(2 / 3) * (1 + nu)) * norm)
    elastic[:3] += k0 * tr / math.exp(b / (1 - 2 * nu) * abs(tr))
    want = elastic + want_sv.reshape(7, 6).sum(axis=0)
    assert stress == pytest.approx(want, rel=1e-12)


def run_shear(props, rate, dt, steps):
    """Pure tensor shear e4 = rate t in steps; returns the state after the last one."""
    statev = np.zeros(42)
    stran = np.zeros(6)
    dstrain = np.array([0, 0, 0, rate * dt, 0, 0])
    for _ in range(steps):
        _, statev = endochrone(stran, dstrain, props, statev, dt)
        stran = stran + dstrain
    return statev


def test_maxwell_branch_follows_the_closed_form_under_constant_shear_rate():
    # ds/dt = 2 G rate - s/tau: s = 2 G tau rate (1 - exp(-t/tau)), tau = 10
    e3, nu, rate, dt, steps = 1000.0, 0.3, 1e-4, 0.1, 200
    props = [0.0, 0.0, nu, 0.0, 0.0, 0.0, 0.0, e3, 0.0, 0.0, 0.0]
    sv = run_shear(props, rate, dt, steps)
    t, g = dt * steps, e3 / (2 * (1 + nu))
    assert sv[18 + 3] == pytest.approx(2 * g * 10.0 * rate * (1 - math.exp(-t / 10.0)), rel=1e-5)
    assert np.count_nonzero(sv) == 1


def test_endochronic_branch_follows_the_closed_form_under_monotonic_shear():
    # dq = 2 Gp de - cD |deps| q with |deps| = sqrt(2) de: q = 2 Gp/c (1 - exp(-c e)), c = sqrt(2) cD
    ep, kappa, nu, rate, steps = 800.0, 40.0, 0.3, 1e-4, 200
    props = [0.0, 0.0, nu, ep, kappa, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0]
    sv = run_shear(props, rate, 1.0, steps)
    gp, c = ep / (2 * (1 + nu)), R2 * kappa / math.sqrt(1 + 2 * nu**2)
    e = rate * steps
    assert sv[3] == pytest.approx(2 * gp / c * (1 - math.exp(-c * e)), rel=1e-5)
    assert np.count_nonzero(sv) == 1


@pytest.mark.parametrize("nprops,nstatev", [(10, 42), (11, 41)])
def test_too_few_parameters_or_state_variables(nprops, nstatev):
    statev = np.arange(float(nstatev))
    stress, sv = resin.endochroneviscoplasticity(np.ones(6), np.ones(6), np.ones(nprops),
                                                 np.full(6, 7.0), statev, 0.1, 1, 1)
    np.testing.assert_array_equal(stress, np.zeros(6))
    np.testing.assert_array_equal(sv, statev)
    assert errstat() == -3
