"""Resin material routine of module toplevel. Expected values: Hooke's law of E and nu
interpolated by hand between the two property sets; the strain energy e.C.e/2; central
differences of the routine's own stress; the resin criteria, the equivalent fatigue stress and
the Woehler life with its mean-stress correction written out by hand."""
import ctypes
import os

import numpy as np
import pytest

import _vorlen
from conftest import errstat, errtext, run_python

toplevel = _vorlen.toplevel
store = _vorlen.materialdata
HUGE = np.finfo(float).max

# E, nu, num, Xt, np, gamma, Xc/Xt, Woehler coefficient, Woehler exponent
SET_COLD = [3200.0, 0.35, 0.30, 80.0, 2.0, 0.5, 1.5, 1.0, -0.1]
SET_ROOM = [3000.0, 0.40, 0.20, 60.0, 3.0, 0.7, 2.0, 1.0, -0.1]
# Et, Ec, G, nut, nuc, alpha, Xt, Xc, np, Woehler coefficient, Woehler exponent
PLASTIC_SET = [3000.0, 3400.0, 1100.0, 0.40, 0.30, 0.30, 60.0, 110.0, 3.0, 1.0, -0.1]


def resin_props(degr=0.8, cold=SET_COLD, room=SET_ROOM):
    return np.array(cold + [233.0] + room + [293.15] + [degr])


def plastic_props(degr=0.9, s=PLASTIC_SET):
    return np.array(s + [233.0] + s + [293.15] + [degr])


@pytest.fixture(autouse=True)
def store_around(clean_store):
    yield
    store.modelid = 0
    store.temperatures = None
    for n in ("nflowdata", "nsecantdata", "nnormaldata", "nsheardata"):
        setattr(store, n, 0)
    _vorlen.shokriehdata.cycleprops = None
    _vorlen.debugdata.edebug = 0


def calibration(name, x, rows):
    """A two-row calibration table (temperatures 273.15 and 323.15 K) of one value column."""
    store.temperatures = [273.15, 323.15]
    t = np.zeros((2, len(x), 2), order="F")
    t[:, :, 0] = x
    t[0, :, 1], t[1, :, 1] = rows
    setattr(store, name + "props", t)
    setattr(store, "n" + name + "data", len(x))


def secant_constant(e):
    calibration("secant", [-0.1, 0.0, 0.1], ([e] * 3, [e] * 3))


def flow_constant(a0, a1):
    store.temperatures = [273.15, 323.15]
    t = np.zeros((2, 3, 3), order="F")
    t[:, :, 0] = [0.0, 0.1, 0.2]
    t[:, :, 1] = a0
    t[:, :, 2] = a1
    store.flowprops = t
    store.nflowdata = 3


def no_softening():
    calibration("normal", [-0.1, 0.0, 0.1], ([0.0] * 3, [0.0] * 3))
    calibration("shear", [-0.1, 0.0, 0.1], ([0.0] * 3, [0.0] * 3))


def umat(model, props, stran, dstran, statev=None, name="", kinc=1, jstep=1, time=(0.0, 0.0),
         temp=293.15, nstatv=22, tangent0=None, noel=1):
    store.modelid = model
    n = len(stran)
    sv = np.zeros(nstatv) if statev is None else np.array(statev, float)
    stress = np.zeros(n)
    got = toplevel.umat_resin(
        stress, sv, 1.5, 2.5, 3.5, 0.0, np.zeros(n), np.zeros(n), 0.0,
        np.array(stran, float), np.array(dstran, float), np.array(time, float), 0.1, temp, 0.0,
        np.zeros(1), np.zeros(1), name, 3, n - 3, props, np.zeros(3), np.eye(3), 0.75, 1.0,
        np.eye(3), np.eye(3), noel, 1, 1, 1, np.array([jstep, 1, 0, 0], dtype=np.int32), kinc)
    statev, tangent, sse, spd, scd, pnewdt = got
    assert (sse, spd, scd, pnewdt) == (1.5, 2.5, 3.5, 0.75)
    return stress, statev, tangent


def hooke(e, nu, n=6):
    lam, g = e * nu / ((1 + nu) * (1 - 2 * nu)), e / (2 * (1 + nu))
    c = np.zeros((6, 6))
    c[:3, :3] = lam
    c[range(3), range(3)] += 2 * g
    c[range(3, 6), range(3, 6)] = g
    return c[:n, :n]


def interpolated(temp, index):
    w = min(max((temp - 233.0) / (293.15 - 233.0), 0.0), 1.0)
    return SET_COLD[index] + (SET_ROOM[index] - SET_COLD[index]) * w


STRAIN = np.array([2.0, -1.0, 0.5, 1.5, -0.7, 0.3]) * 1e-8


# ------------------------------------------------------------------------------------------
# Constitutive models


@pytest.mark.parametrize("model", [1, 2, 3, 7])
@pytest.mark.parametrize("n", [4, 6])
def test_small_strain_is_hooke_of_the_interpolated_set(model, n):
    if model == 7:
        no_softening()
    temp = 263.0
    e, nu, xt = interpolated(temp, 0), interpolated(temp, 1), interpolated(temp, 3)
    c = hooke(e, nu, n)
    stran, dstran = STRAIN[:n] * 0.4, STRAIN[:n] * 0.6
    stress, sv, tangent = umat(model, resin_props(), stran, dstran, temp=temp)
    eps = STRAIN[:n]
    rtol = 1e-12 if model == 7 else 1e-5  # model 7 returns K itself; h = 1e-6 for 1-3
    np.testing.assert_allclose(tangent, c, rtol=rtol, atol=rtol * e)
    np.testing.assert_allclose(stress, c @ eps, rtol=1e-6, atol=1e-9 * abs(c @ eps).max())
    # energy: 0.5 stran.T0.dstran (T0 = 0 here) + 0.5 (end strain).C.dstran
    assert sv[9] == pytest.approx(0.5 * eps @ c @ dstran, rel=1e-5, abs=0)  # some 1e-13
    assert sv[15] == pytest.approx(xt, rel=1e-14)
    assert sv[3] == pytest.approx(e, rel=1e-14)
    assert errstat() == 0


def test_energy_of_a_zero_start_strain_is_half_e_c_e():
    stress, sv, tangent = umat(1, resin_props(), np.zeros(6), STRAIN)
    assert sv[9] == pytest.approx(0.5 * STRAIN @ hooke(3000.0, 0.4) @ STRAIN, rel=1e-5, abs=0)


def test_tangent_is_central_differences_of_the_routines_stress():
    # Kaestner law at a strain where it is clearly non-linear
    strain = np.array([0.02, -0.01, 0.005, 0.015, -0.007, 0.003])
    _, _, tangent = umat(1, resin_props(), np.zeros(6), strain)
    h = 1e-6
    cols = []
    for i in range(6):
        step = np.zeros(6)
        step[i] = h
        plus = umat(1, resin_props(), np.zeros(6), strain + step)[0]
        minus = umat(1, resin_props(), np.zeros(6), strain - step)[0]
        cols.append((plus - minus) / (2 * h))
    np.testing.assert_allclose(tangent, np.array(cols).T, rtol=1e-9, atol=1e-9 * 3000)
    assert not np.allclose(tangent, hooke(3000.0, 0.4), rtol=1e-2)


@pytest.mark.parametrize("sign, nu", [(1.0, 0.40), (-1.0, 0.30), (0.0, 0.40)])
def test_model0_poisson_ratio_by_the_sign_of_the_trace(sign, nu):
    secant_constant(2500.0)
    flow_constant(1.0, 0.0)
    strain = np.array([sign * 1e-3, 0.0, 0.0, 2e-3, 0.0, 0.0]) if sign else \
        np.array([1e-3, -1e-3, 0.0, 2e-3, 0.0, 0.0])
    stress, _, tangent = umat(0, plastic_props(), np.zeros(6), strain)
    np.testing.assert_allclose(stress, hooke(2500.0, nu) @ strain, rtol=1e-12, atol=1e-12)
    np.testing.assert_allclose(tangent, hooke(2500.0, nu), rtol=1e-6, atol=1e-6)
    assert errstat() == 0


def test_model4_elastic_start_and_plastic_strain_in_slot_11():
    # flow table: yield at a von Mises stress of 1; far out (an Nf read as plastic strain)
    # the yield stress would be enormous
    store.temperatures = [273.15, 323.15]
    t = np.zeros((2, 3, 3), order="F")
    t[:, :, 0] = [0.0, 0.1, 0.2]
    t[:, :, 1] = [1.0, 1e4, 2e4]
    store.flowprops = t
    store.nflowdata = 3
    c = hooke(3000.0, 0.4)
    c[3:, 3:] = 1100.0 * np.eye(3)  # the set's own shear modulus
    stress, sv, tangent = umat(4, plastic_props(), np.zeros(6), STRAIN * 1e-2)
    np.testing.assert_allclose(stress, c @ (STRAIN * 1e-2), rtol=1e-12, atol=1e-20)
    np.testing.assert_allclose(tangent, c, rtol=1e-12)
    assert sv[10] == 0
    sv = np.zeros(22)
    sv[[0, 7, 12, 18, 19]] = 1, -HUGE, 5e5, HUGE, 1  # slot 13: Nf of a completed cycle
    _, sv, tangent = umat(4, plastic_props(), np.zeros(6), [1e-3, 0, 0, 0, 0, 0], statev=sv,
                          kinc=2)
    assert 0 < sv[10] < 1e-2 and sv[12] == 5e5
    assert tangent[0, 0] < c[0, 0]  # the law's elastic-plastic tangent


# ------------------------------------------------------------------------------------------
# Criteria, equivalent stress, degradation

XT, XC, NPX = 60.0, 110.0, 3.0  # strengths and exponent of PLASTIC_SET


def uniaxial(s, e=3000.0, nu=0.4):
    return np.array([s / e, -nu * s / e, -nu * s / e, 0, 0, 0])


def ha_by_hand(i1, vm):
    r = XC / XT
    i1cr = XT * (r ** NPX + r) / (r ** NPX - 1)
    misescr = XT * ((r ** NPX + r) / (r + 1)) ** (1 / NPX)
    di1, dm = i1 / i1cr, (vm / misescr) ** NPX
    return di1, min(dm + di1, 1.0), dm


@pytest.mark.parametrize("tag", ["", "_GPHA", "_GPRA", "_GPBA", "_GPDP", "_GPHASTRAIN"])
def test_criterion_of_the_material_name(tag):
    secant_constant(3000.0)
    flow_constant(1.0, 0.0)
    s = 24.0
    strain = uniaxial(s)
    stress, sv, _ = umat(0, plastic_props(), np.zeros(6), strain, name="RESIN" + " " * 4 + tag)
    np.testing.assert_allclose(stress, [s, 0, 0, 0, 0, 0], atol=1e-12)
    # uniaxial tension: equivalent fatigue stress s, both cycle extremes s/XT
    assert sv[21] == pytest.approx(s, rel=1e-12)
    assert sv[7] == sv[18] == pytest.approx(s / XT, rel=1e-12)
    expected = {  # slots 2, 3, 7
        "": (0, 0, 0),
        "_GPHA": ha_by_hand(s, s),
        "_GPRA": (0, (1 / XT - 1 / XC) * s + s * s / (XT * XC), 0),
        "_GPBA": (0, 0.5 * (1 / XT + 1 / XC) * s + 0.5 * s * (1 / XT - 1 / XC), 0),
        "_GPDP": ((XT - XC) / (XT + XC) * s / np.sqrt(3) + 2 * XT * XC / ((XT + XC) * np.sqrt(3))
                  - s / np.sqrt(3), 0, 0),
        # strains as tensor components against the stress strengths
        "_GPHASTRAIN": ha_by_hand(strain[:3].sum(), np.sqrt(0.5 * ((strain[0] - strain[1]) ** 2
                                  + (strain[1] - strain[2]) ** 2 + (strain[2] - strain[0]) ** 2))),
    }[tag]
    assert (sv[1], sv[2], sv[6]) == pytest.approx(expected, rel=1e-12, abs=1e-300)
    assert sv[17] == 0


def test_failure_degrades_the_stress_of_the_same_increment():
    secant_constant(3000.0)
    flow_constant(1.0, 0.0)
    strain = uniaxial(70.0)  # beyond XT
    stress, sv, _ = umat(0, plastic_props(degr=0.25), np.zeros(6), strain, name="RESIN    _GPHA")
    assert sv[2] == 1 and sv[17] == 1
    np.testing.assert_allclose(stress, 0.25 * hooke(3000.0, 0.4) @ strain, rtol=1e-12, atol=1e-9)
    assert sv[3] == pytest.approx(750.0)
    # the next increment starts degraded from the stored criterion value
    stress2, sv2, _ = umat(0, plastic_props(degr=0.25), np.zeros(6), strain * 0.1, statev=sv,
                           kinc=2)
    np.testing.assert_allclose(stress2, 0.025 * hooke(3000.0, 0.4) @ strain, rtol=1e-12,
                               atol=1e-9)


def test_model7_failure_degrades_to_degr_with_a_numerical_tangent():
    no_softening()
    strain = uniaxial(70.0)  # beyond XT = 60 of the room set
    stress, sv, tangent = umat(7, resin_props(degr=0.8), np.zeros(6), strain,
                               name="RESIN    _GPHA")
    assert sv[2] == 1 and sv[17] == 1
    # fibre and inter-fibre factors relax (no viscosity) to degr = 0.8 at once
    assert sv[16] == pytest.approx(0.8, rel=1e-14)
    c = 0.8 * hooke(3000.0, 0.4)
    np.testing.assert_allclose(stress, c @ strain, rtol=1e-12, atol=1e-9)
    np.testing.assert_allclose(tangent, c, rtol=1e-7, atol=1e-7 * 3000)


@pytest.mark.parametrize("failed", [False, True])
def test_model6_cubic_law_scaled_by_the_failure_state(failed):
    for k, a in ((1, 9000.0), (2, 2400.0), (3, 1100.0)):
        calibration("alpha%d" % k, [-0.1, 0.0, 0.1], ([a] * 3, [a] * 3))
    strain = np.array([2e-3, -1e-3, 0.5e-3, 1e-3, 0.0, -2e-3])
    sv = np.zeros(22)
    sv[[0, 7, 18, 19]] = 1, -HUGE, HUGE, 1
    if failed:
        sv[[2, 17]] = 1, 1  # criterion value and failure indicator from before
    stress, sv, tangent = umat(6, resin_props(degr=0.8), np.zeros(6), strain, statev=sv, kinc=2)
    tr = strain[:3].sum()
    normal = 2400.0 * (strain[:3] - tr / 3) + 9000.0 * tr / 3
    shear = 1100.0 * strain[3:] / 2  # tensor shear strains
    factor = 0.8 if failed else 1.0
    np.testing.assert_allclose(stress, factor * np.r_[normal, shear], rtol=1e-12)
    assert np.all(tangent == 0)  # no tangent: DDSDDE as it came
    assert sv[3] == pytest.approx(factor * 3000.0)


# ------------------------------------------------------------------------------------------
# State record


def test_fresh_record_starts_only_in_the_first_increment():
    fresh = np.zeros(25)
    fresh[-1] = HUGE  # marker of the state initialiser
    _, sv, _ = umat(1, resin_props(), np.zeros(6), STRAIN, statev=fresh, nstatv=25)
    assert (sv[0], sv[19], sv[20], sv[24]) == (1, 1, 0, 0)
    eq = sv[21] / 60.0
    assert sv[7] == sv[18] == pytest.approx(eq)  # started at -huge and +huge
    _, later, _ = umat(1, resin_props(), np.zeros(6), STRAIN, statev=np.zeros(25), nstatv=25,
                       kinc=2)
    assert (later[0], later[19]) == (0, 0)
    assert later[7] == pytest.approx(eq) and later[18] == 0  # max(0, eq), min(0, eq)


def test_missing_regularization_counts_as_zero_and_fills_slot17_otherwise():
    _, sv, _ = umat(1, resin_props(), np.zeros(6), STRAIN)
    assert sv[16] == 0 and errstat() == 0
    store.regularization = [0.3, 0.0]
    _, sv, _ = umat(1, resin_props(), np.zeros(6), STRAIN)
    assert sv[16] == 0.3


def test_model7_factor_from_its_constants_without_regularization():
    calibration("normal", [-0.1, 0.0, 0.1], ([20.0] * 3, [20.0] * 3))
    calibration("shear", [-0.1, 0.0, 0.1], ([0.0] * 3, [0.0] * 3))
    e, nu = 3000.0, 0.4
    _, sv, _ = umat(7, resin_props(), np.zeros(6), [0.01, 0, 0, 0, 0, 0])
    # E1 softened to E/1.2, E2 = E3 = E; nu_ji = 2 nu/(Ei/Ej + 1), nu_ij = 2 nu - nu_ji
    nu21 = nu31 = 2 * nu / (1.2 + 1)
    nu12 = nu13 = 2 * nu - nu21
    nu23 = nu32 = nu
    ortho = 1 - nu12 * nu21 - nu23 * nu32 - nu31 * nu13 - 2 * nu21 * nu32 * nu13
    iso = 1 - 3 * nu ** 2 - 2 * nu ** 3
    assert sv[16] == pytest.approx(iso / ortho / 1.2, rel=1e-12)
    assert sv[3] == pytest.approx(e / 1.2, rel=1e-12)
    assert errstat() == 0


@pytest.mark.parametrize("nu", [0.5, -1.0])
def test_model7_factor_undefined_keeps_slot17(nu):
    no_softening()
    cold, room = list(SET_COLD), list(SET_ROOM)
    cold[1] = room[1] = nu
    sv = np.zeros(22)
    sv[[0, 7, 16, 18, 19]] = 1, -HUGE, 0.25, HUGE, 1
    _, sv, _ = umat(7, resin_props(cold=cold, room=room), np.zeros(6), STRAIN, statev=sv, kinc=2)
    assert errstat() == -3 and "Degradation factor" in errtext()
    assert sv[16] == 0.25


@pytest.mark.parametrize("model, nu", [(1, 0.5), (2, 0.5), (7, 0.5), (1, -1.0), (2, -1.0),
                                       (3, -1.0), (7, -1.0)])
def test_constants_without_stiffness_keep_stress_and_record(model, nu):
    # Hooke's law of nu 0.5 or -1 divides by zero: nothing of it may reach stress or record.
    no_softening()
    cold, room = list(SET_COLD), list(SET_ROOM)
    cold[1] = room[1] = nu
    sv = np.zeros(22)
    sv[[0, 7, 9, 16, 18, 19]] = 1, -HUGE, 0.125, 0.25, HUGE, 1
    stress, out, tangent = umat(model, resin_props(cold=cold, room=room), STRAIN * 0.5,
                                STRAIN * 0.5, statev=sv, kinc=2)
    assert errstat() == -3
    assert np.all(stress == 0) and np.all(tangent == 0)
    np.testing.assert_array_equal(out, sv)


# ------------------------------------------------------------------------------------------
# Unusable input


@pytest.mark.parametrize("model, setup, message", [
    (7, "calibration('normal', [0.0, 0.0, 0.1], ([1.0] * 3, [1.0] * 3))",
     "Calibration abscissas do not increase"),
    (7, "no_softening(); calibration('shear', [0.0, float('nan'), 0.1], ([1.0] * 3, [1.0] * 3))",
     "Calibration abscissas do not increase"),
    (7, "no_softening(); store.temperatures = [323.15, 273.15]",
     "Temperatures of the grid do not increase"),
    (4, "flow_constant(1.0, 0.0); store.flowprops[1, :, 0] = [0.2, 0.1, 0.0]",
     "Calibration abscissas do not increase"),
], ids=["normal-equal", "shear-nan", "temperatures-falling", "flow-falling"])
def test_calibration_the_interpolation_cannot_take(model, setup, message):
    # in a child process: such a table ended the process in the table interpolation
    props = "plastic_props()" if model == 4 else "resin_props()"
    r = run_python(f"""
        import sys
        sys.path.insert(0, {os.path.dirname(__file__)!r})
        import numpy as np
        from conftest import errstat, errtext
        from test_toplevel_resin import *
        {setup}
        stress, sv, tangent = umat({model}, {props}, np.zeros(6), STRAIN)
        print(errstat(), "|", errtext(), "|", np.isfinite(stress).all())
    """)
    assert r.returncode == 0, r.stdout + r.stderr
    code, text, finite = r.stdout.strip().splitlines()[-1].split(" | ")
    assert (code, text.split(" in ")[0], finite) == ("-3", message, "True")


@pytest.mark.parametrize("model, n, nstatv, nprops, code", [
    (1, 3, 22, 21, -3), (1, 5, 22, 21, -3), (1, 6, 21, 21, -3), (1, 6, 22, 20, -3),
    (4, 6, 22, 24, -3), (0, 4, 22, 24, -3), (8, 6, 22, 21, -2), (-1, 6, 22, 25, -2)])
def test_unusable_input_is_reported_and_writes_nothing(model, n, nstatv, nprops, code, capfd):
    props = plastic_props()[:nprops]
    sv = np.arange(nstatv, dtype=float)
    stress, out, tangent = umat(model, props, np.full(n, 1e-3), np.full(n, 1e-3), statev=sv,
                                nstatv=nstatv)
    assert errstat() == code
    assert np.all(out == sv) and np.all(stress == 0) and np.all(tangent == 0)
    warned = "WARNING: Too less nstatev allocated for material" in capfd.readouterr().out
    assert warned == (nstatv < 22)


def c_entry(model, props, stran, dstran, statev, nstatv, ddsdde):
    """umat_resin through its C entry, which (unlike the Python form) takes DDSDDE in; arrays of
    exactly their extents (NTENS the length of stran), no material name. Returns the stress, the
    state buffer and DDSDDE (ntens by ntens) after the call."""
    lib = ctypes.CDLL("libvorlen.so")
    store.modelid = model
    d, i = ctypes.c_double, ctypes.c_int32
    n = len(stran)
    buf = (d * len(statev))(*statev)
    stress, tangent = (d * n)(), (d * (n * n))(*np.ravel(ddsdde, order="F"))
    vec = (d * n)()
    eye = (d * 9)(1, 0, 0, 0, 1, 0, 0, 0, 1)
    jstep = (i * 4)(1, 1, 0, 0)
    s = d(0)
    args = [stress, buf, tangent, ctypes.byref(s), ctypes.byref(s), ctypes.byref(s),
            ctypes.byref(s), vec, vec, ctypes.byref(s), (d * n)(*stran), (d * n)(*dstran),
            (d * 2)(), ctypes.byref(d(1)), ctypes.byref(d(293.15)), ctypes.byref(s),
            ctypes.byref(s), ctypes.byref(s), None, ctypes.byref(i(3)), ctypes.byref(i(n - 3)),
            ctypes.byref(i(n)), ctypes.byref(i(nstatv)), (d * len(props))(*props),
            ctypes.byref(i(len(props))), (d * 3)(), eye, ctypes.byref(s), ctypes.byref(s), eye,
            eye, ctypes.byref(i(1)), ctypes.byref(i(1)), ctypes.byref(i(1)), ctypes.byref(i(1)),
            jstep, ctypes.byref(i(1))]
    lib.toplevel_umat_resin(*args)
    return np.array(stress), np.array(buf), np.array(tangent).reshape((n, n), order="F")


def test_short_state_through_the_c_entry_stays_inside_nstatv():
    """NSTATV 21 in a longer buffer: the positions past NSTATV keep their values."""
    _, buf, tangent = c_entry(1, resin_props(), STRAIN, STRAIN, [7.0] * 30, 21,
                              np.full((6, 6), 9.0))
    assert errstat() == -3
    assert list(buf) == [7.0] * 30 and tangent.tolist() == [[0.0] * 6] * 6


# An unsymmetric DDSDDE of the previous increment and a strain increment not parallel to the
# start strain: the energy's first term 0.5 STRAN.T0.DSTRAN tells T0 from its transpose and
# from a 4 by 4 block read with the wrong leading dimension.
T0 = np.arange(1.0, 37.0).reshape(6, 6) * 100.0 + np.diag([3000.0] * 6)
DSTRAN = np.array([1.0, 2.0, -1.0, 0.5, 3.0, -2.0]) * 1e-8


@pytest.mark.parametrize("n", [4, 6])
def test_energy_takes_the_incoming_ddsdde(n):
    stran, dstran, t0 = STRAIN[:n] * 0.4, DSTRAN[:n], T0[:n, :n]
    sv = np.zeros(22)
    sv[[0, 7, 9, 18, 19]] = 1, -HUGE, 1e-12, HUGE, 1  # slot 10: energy so far
    stress, out, tangent = c_entry(1, resin_props(), stran, dstran, sv, 22, t0)
    c = hooke(3000.0, 0.4, n)
    np.testing.assert_allclose(tangent, c, rtol=1e-5, atol=1e-5 * 3000)
    w = 0.5 * stran @ t0 @ dstran + 0.5 * (stran + dstran) @ c @ dstran
    assert out[9] - 1e-12 == pytest.approx(w, rel=1e-5, abs=0)
    assert errstat() == 0


@pytest.mark.parametrize("n", [4, 6])
def test_model6_gives_the_incoming_ddsdde_back(n):
    for k, a in ((1, 9000.0), (2, 2400.0), (3, 1100.0)):
        calibration("alpha%d" % k, [-0.1, 0.0, 0.1], ([a] * 3, [a] * 3))
    stran, dstran, t0 = STRAIN[:n] * 0.4, DSTRAN[:n], T0[:n, :n]
    sv = np.zeros(22)
    sv[[0, 7, 18, 19]] = 1, -HUGE, HUGE, 1
    _, out, tangent = c_entry(6, resin_props(), stran, dstran, sv, 22, t0)
    assert tangent.tolist() == t0.tolist()
    w = 0.5 * stran @ t0 @ dstran + 0.5 * (stran + dstran) @ t0 @ dstran
    assert out[9] == pytest.approx(w, rel=1e-12, abs=0)


# ------------------------------------------------------------------------------------------
# Fatigue cycles


def cycle_settings(row2=1.0, jumpalgo=1, time_period=1.0, njimp_min=10.0, columns=1):
    c = np.zeros((11, columns), order="F")
    c[1, :], c[2, :], c[3, :], c[4, :] = row2, jumpalgo, time_period, 10.0
    c[5, :], c[6, :], c[7, :], c[8, :], c[9, :] = 10, njimp_min, 100.0, 0.0, 1e6
    _vorlen.shokriehdata.cycleprops = c


def woehler_life(eq_min, eq_max, r=0.1, a=1.0, b=-0.1):
    m = (1 - r) / (1 + r)
    eq_m, eq_a = (eq_max + eq_min) / 2, (eq_max - eq_min) / 2
    f = m * eq_a / (eq_a + (1 - eq_m) * m)  # eq_a / eq_m >= 0
    return (f / a) ** (1 / b)


def fatigue_props():
    secant_constant(3000.0)
    flow_constant(1.0, 0.0)
    store.r_crit = [0.1]
    return plastic_props()


@pytest.mark.parametrize("row2, name, n, njimp", [
    (1.0, "RESIN", 11, 10),  # a fatigue step: jump algorithm 1 gives njimp_min
    (0.0, "RESIN" + " " * 23 + "_FATIGUE", 1, 1)])  # fatigue by name only: n = njimp = 1
def test_one_completed_cycle_adds_its_woehler_life(row2, name, n, njimp):
    props = fatigue_props()
    cycle_settings(row2=row2)
    s1, s2 = 30.0, 6.0
    _, sv, _ = umat(0, props, np.zeros(6), uniaxial(s1), name=name, time=(0.5, 0.5))
    assert sv[19] == 1 and sv[20] == 1  # no cycle yet; the window's global jump counted
    _, sv, _ = umat(0, props, uniaxial(s1), uniaxial(s2) - uniaxial(s1), statev=sv, name=name,
                    time=(1.0, 1.0), kinc=2)
    nf = woehler_life(s2 / XT, s1 / XT)
    assert sv[12] == pytest.approx(nf, rel=1e-12)
    assert sv[5] == pytest.approx(np.float32(1.0) / nf, rel=1e-12)
    assert sv[11] == pytest.approx((1 - sv[5]) * nf, rel=1e-12)
    assert (sv[0], sv[8], sv[19]) == (n, njimp, 2)
    assert (sv[7], sv[18]) == (-HUGE, HUGE)
    assert errstat() == 0


def test_exhausted_life_fails_the_resin():
    props = fatigue_props()
    cycle_settings()
    sv = np.zeros(22)
    sv[[0, 5, 7, 8, 18, 19, 20]] = 5, 0.999999, 0.5, 10, 0.1, 3, 3
    _, sv, _ = umat(0, props, np.zeros(6), uniaxial(30.0), statev=sv, time=(3.0, 3.0), kinc=2)
    assert sv[5] == 1 and sv[17] == 1 and sv[11] == HUGE
    assert sv[3] == pytest.approx(0.9 * 3000.0)  # slot 4 from the degradation of the cycle


@pytest.mark.parametrize("time_period, time1, counter, completed", [
    (1.0, 3.0, 5, True),     # 3000 / 1000 divides
    (1.0, 2.9, 5, False),    # 2900 / 1000 does not, and 2.9 < 5
    (1.0, 2.9, 2, True),     # the ratio reached the counter
    (1e-4, 0.5e-4, 1, False),  # 1000 time_period rounds to 0: the ratio test only
    (1e-4, 3e-4, 2, True)])
def test_cycle_completion(time_period, time1, counter, completed):
    props = fatigue_props()
    cycle_settings(time_period=time_period)
    sv = np.zeros(22)
    sv[[0, 7, 8, 18, 19, 20]] = 1, -HUGE, 1, HUGE, counter, counter
    _, sv, _ = umat(0, props, np.zeros(6), uniaxial(30.0), statev=sv, time=(time1, time1),
                    kinc=2)
    assert sv[19] == counter + completed
    assert errstat() == 0


def test_no_cycle_at_the_start_of_the_analysis():
    props = fatigue_props()
    cycle_settings()
    _, sv, _ = umat(0, props, np.zeros(6), uniaxial(30.0), time=(1.0, 0.0))
    assert (sv[19], sv[20]) == (1, 0)


@pytest.mark.parametrize("setup, message", [
    (lambda: cycle_settings(time_period=0.0), "Time period"),
    (lambda: cycle_settings(time_period=-1.0), "Time period"),
    (lambda: cycle_settings(columns=1), "Step outside"),  # JSTEP(1) = 2
])
def test_unusable_cycle_settings_run_no_cycle_logic(setup, message):
    props = fatigue_props()
    setup()
    jstep = 2 if message == "Step outside" else 1
    _, sv, _ = umat(0, props, np.zeros(6), uniaxial(30.0), time=(1.0, 1.0), jstep=jstep)
    assert errstat() == -3 and message in errtext()
    assert (sv[19], sv[20], sv[5]) == (1, 0, 0)


def test_without_cycle_settings_no_fatigue_and_no_report():
    props = fatigue_props()
    _, sv, _ = umat(0, props, np.zeros(6), uniaxial(30.0), name="RESIN" + " " * 23 + "_FATIGUE",
                    time=(1.0, 1.0))
    assert errstat() == 0 and (sv[19], sv[20]) == (1, 0)


def test_tensile_strength_not_above_zero_keeps_the_cycle_slots():
    cold, room = list(SET_COLD), list(SET_ROOM)
    cold[3] = room[3] = 0.0
    sv = np.zeros(22)
    sv[[0, 7, 18, 19, 21]] = 1, 0.2, 0.1, 1, 5.0
    _, out, _ = umat(1, resin_props(cold=cold, room=room), np.zeros(6), STRAIN, statev=sv,
                     kinc=2)
    assert errstat() == -3 and "Tensile strength" in errtext()
    assert (out[7], out[18], out[21]) == (0.2, 0.1, 5.0)


# ------------------------------------------------------------------------------------------
# ANSYS entry


def test_ansys_entry_gives_the_umat_tangent_in_its_order():
    _, _, tangent = umat(1, resin_props(), np.zeros(6), STRAIN)
    store.modelid = 1
    keycut, dsdepl, epszz = toplevel.usermat_resin(
        1, 1, 1, 1, 1, 1, 1, 3, 3, 0.1, 0.1, 293.15, 0.0, np.zeros(6), np.zeros(22), 0.0, 0.0,
        0.0, np.zeros(6), STRAIN[[0, 1, 2, 3, 5, 4]], np.zeros(6), resin_props(), np.zeros(3),
        0.0, np.eye(3), np.eye(3), np.zeros(2), 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0)
    cyclic = [0, 1, 2, 3, 5, 4]  # (11, 22, 33, 12, 23, 13)
    np.testing.assert_allclose(dsdepl, tangent[np.ix_(cyclic, cyclic)], rtol=1e-9, atol=1e-6)
    assert keycut == 0 and errstat() == 0
