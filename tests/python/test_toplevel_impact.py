"""Impactor user elements of module toplevel (UEL and VUEL). Expected values: the impact
energy 0.5 m vi^2, the Hertz law F = 4/3 E* sqrt(R) s^1.5 with depth s and radius sqrt(R s),
the implicit contact force F = kc (u_p - ref - Ct F)^p solved by scipy's brentq, the monotone
cubic table of scipy's PchipInterpolator and the time-increment table by hand. The store
variables are set directly (step types, impactor count, compliance table)."""
import os

import numpy as np
import pytest
from scipy.interpolate import PchipInterpolator
from scipy.optimize import brentq

from conftest import errstat, errtext, run_python

vorlen = pytest.importorskip("_vorlen")
toplevel = vorlen.toplevel

HUGE = 1.7976931348623157e308
G = 9.80665
ALPHA, BETA, GAMMA = -0.05, 0.275625, 0.55
# impactor E, nu; target E, nu; energy, mass, r1, r2, curvatures, offset, acr, exponent
PROPS = np.array([2.1e11, 0.3, 1e10, 0.3, 10.0, 2.0, 0.008, 0.0, 0.0, 0.0, 0.0, 1e-4, 1.5])
ESTAR = 1.0 / ((1 - 0.3**2) / 2.1e11 + (1 - 0.3**2) / 1e10)
KC = 4.0 / 3.0 * ESTAR * np.sqrt(0.008)
COORDS = np.array([[0.0, 0.0], [0.0, 0.0], [0.0, 1.0]])     # bar along z


@pytest.fixture
def store(clean_store):
    clean_store.jobdata.stepid = np.array([0, 2, 3, 1], np.int32)   # init, response, impact
    clean_store.loaddata.nimp = 1
    clean_store.impactdata.csvars = None
    yield clean_store
    clean_store.impactdata.csvars = None


def record(**slots):
    c = np.zeros(20)
    c[5], c[13], c[14] = G, 1.0, 1e-10
    for k, v in slots.items():
        c[int(k[1:]) - 1] = v
    return c


def uel(cprops, *, svars=None, nsvars=20, kstep=3, kinc=1, lflags=(11, 1, 1, 0, 0),
        dtime=1e-5, time0=0.0, props=PROPS, jprops=(1, 0, 0), elong=0.0, delong=0.0,
        routine="uel_impact"):
    u = np.zeros(6)
    u[5] = elong
    du = np.zeros((6, 1))
    du[5, 0] = delong
    sv = np.zeros(nsvars) if svars is None else np.array(svars, float)
    args = [sv, np.zeros(8), 1, np.array(props, float), COORDS, u, du, np.zeros(6),
            np.zeros(6), 1, np.array([time0, time0]), dtime, kstep, kinc, 1,
            np.array([ALPHA, BETA, GAMMA]), 0, np.zeros((1, 1), np.int32), np.zeros((1, 1)),
            np.zeros((2, 1, 2)), np.array(lflags, np.int32), np.zeros((1, 1)), 1.0,
            np.array(jprops, np.int32), 0.0]
    if routine == "uel_impact":
        args.append(np.array(cprops, float))
    return getattr(toplevel, routine)(*args)


def predictor(c, sv, dt):
    """u_p of the impactor's HHT step from record c and state sv."""
    m = c[6]
    return (c[3] + dt * c[4] + (0.5 - BETA) * dt**2 * c[5] + BETA * dt**2 * sv[12]
            - ALPHA * BETA * dt**2 * c[10] / m)


def implicit_force(delta, ct, k=KC, p=1.5):
    return brentq(lambda f: k * max(delta - ct * f, 0.0)**p - f, 0.0, delta / ct, xtol=1e-12)


def hertz_radius_depth(f):
    return (3 * f * 0.008 / (4 * ESTAR))**(1 / 3), (9 * f**2 / (16 * 0.008 * ESTAR**2))**(1 / 3)


def test_initialization_sets_record_and_state(store):
    props = PROPS.copy()
    props[10] = -0.002                                    # initial displacement, start at 0
    rhs, amatrx, sv, _, _, c = uel(record(), kstep=1, props=props, svars=np.full(20, 5.0))
    assert 0.5 * c[6] * c[4]**2 == pytest.approx(10.0)
    np.testing.assert_allclose(c[[3, 6, 16, 17]], [-0.002, 2.0, 0.008, 0.0])
    np.testing.assert_allclose(c[7:10], [ALPHA, BETA, GAMMA])
    assert sv[12] == G and not sv[13:18].any()
    # explicit: mid-step velocity and the integration scheme (-1 central, -2 mixed)
    for njprops, jp4, scheme, weight in [(3, 0, -1.0, 0.0), (4, 1, -1.0, 0.0), (4, 0, -2.0, 1.5)]:
        c = vuel(record(), np.zeros((1, 6)), kstep=1, props=props,
                 jprops=[1, 0, 0, jp4][:njprops])[-1]
        np.testing.assert_array_equal(c[7:10], scheme)
        assert c[19] == weight
        assert c[18] == pytest.approx(c[4] - 0.5 * 1e-6 * G)
    assert errstat() == 0


@pytest.mark.parametrize("mass", [0.0, -2.0, np.nan, 1e-320])
def test_mass_not_above_zero_gives_an_inert_impactor(store, mass):
    props = PROPS.copy()
    props[5] = mass
    c = uel(record(), kstep=1, props=props)[-1]
    assert errstat() == -3 and errtext() == "Impactor mass not above 0 in uel_impact"
    assert c[4] == 0.0 and c[6] == 0.0 and np.isfinite(c).all()
    cx = vuel(record(), np.zeros((1, 6)), kstep=1, props=props)[-1]
    assert cx[4] == 0.0 and cx[6] == 0.0 and np.isfinite(cx).all()
    # an impact increment of the massless record: no contact force, everything finite
    c[3] = 1e-4
    rhs, _, sv, energy, _, c = uel(c, elong=1e-5, delong=1e-5)
    assert c[0] == 0.0 and c[1] == 0.0 and c[2] == 0.0
    assert all(np.isfinite(x).all() for x in (rhs, sv, energy, c))


@pytest.mark.parametrize("jprops, law", [((1, 0, 0), "hertz"), ((2, 0, 0), "hertz"),
                                         ((2, 0, 2), "power")])
def test_implicit_contact_force_solves_the_contact_equation(store, jprops, law):
    c = record(c4=1e-4, c5=3.0, c7=2.0, c11=500.0)
    sv = np.zeros(20)
    sv[12], sv[13] = G, 1e-8                              # gravity, structure compliance
    dt = 1e-5
    props = PROPS.copy()
    if law == "power":
        props[11:13] = 2e9, 1.3                           # stiffness and exponent of law 2
    rhs, _, sv_out, _, _, c_out = uel(c, svars=sv, jprops=jprops, elong=3e-6, delong=1e-6,
                                      props=props)
    delta = predictor(c, sv, dt) - 0.0                    # reference elongation SVARS(15) = 0
    ct = (1 + ALPHA) * BETA * dt**2 / 2.0 + 1e-8
    k, p = (KC, 1.5) if law == "hertz" else (2e9, 1.3)
    f = implicit_force(delta, ct, k, p)
    assert f > 100.0
    assert c_out[0] == pytest.approx(f, rel=1e-9, abs=2e-3)
    r, dep = hertz_radius_depth(c_out[0])
    np.testing.assert_allclose(c_out[1:3], [r, dep], rtol=1e-12)
    assert sv_out[14] == 3e-6 and sv_out[15] == 3e-6 and sv_out[16] == c_out[0]
    # the carrier bar is still answered (zero stiffness of the tiny bar is 1e-23 per metre)
    assert np.isfinite(rhs).all()
    assert errstat() == 0


@pytest.mark.parametrize("gap, cs, code", [
    (1e-17, 1e-8, 0),       # no penetration beyond rounding: the force bound is below 0
    (3.2e-16, 1e307, -3),   # a bound of about 1e-323: its 50 table forces cannot rise
], ids=["bound-below-zero", "bound-subnormal"])
def test_contact_law_1_at_a_vanishing_force_bound(gap, cs, code):
    # in a child process: the stiffness table of law 1 over [0, bound] ended the process
    r = run_python(f"""
        import sys
        sys.path.insert(0, {os.path.dirname(__file__)!r})
        import numpy as np, _vorlen
        from conftest import errstat, errtext
        from test_toplevel_impact import *
        _vorlen.jobdata.stepid = np.array([0, 2, 3, 1], np.int32)
        _vorlen.loaddata.nimp = 1
        c = record(c4=1e-4, c5=3.0, c7=2.0, c11=500.0)
        sv = np.zeros(20)
        sv[12], sv[13] = G, {cs!r}
        sv[14] = predictor(c, sv, 1e-5) - {gap!r}       # the reference elongation
        c = uel(c, svars=sv, jprops=(2, 0, 1), elong=3e-6, delong=1e-6)[-1]
        print(errstat(), "|", errtext(), "|", c[0], c[1], c[2])
    """)
    assert r.returncode == 0, r.stdout + r.stderr
    got, text, force = r.stdout.strip().splitlines()[-1].split(" | ")
    assert int(got) == code and force.split() == ["0.0"] * 3
    assert text == ("Contact force bound without an interval in uel_impact" if code else "")


def test_separation_and_parked_force(store):
    c = record(c1=50.0, c2=1e-3, c3=1e-5, c4=1e-4, c5=0.0, c7=2.0, c11=40.0, c12=2e-3)
    sv = np.zeros(20)
    sv[12], sv[14], sv[16] = G, 1.0, 80.0                 # reference far beyond the impactor
    _, _, sv_out, _, _, c_out = uel(c, svars=sv, elong=2e-4, delong=1e-6)
    np.testing.assert_array_equal(c_out[:3], 0.0)
    assert sv_out[16] == 80.0 and sv_out[14] == 2e-4
    # later increment without elongation change: the previous force parked as -slot 11
    _, _, sv_out, _, _, c_out = uel(c, svars=sv, kinc=3, elong=2e-4, delong=0.0)
    assert c_out[0] == -40.0 and c_out[1] == 2e-3 and c_out[2] == 1e-5
    assert sv_out[14] == 1.0


def test_record_force_procedure_keeps_the_force(store):
    c = record(c1=700.0, c4=1e-4, c5=3.0, c7=2.0)
    sv = np.zeros(20)
    sv[12] = G
    c_out = uel(c, svars=sv, jprops=(0, 0, 0), delong=1e-6)[-1]
    assert c_out[0] == 700.0
    np.testing.assert_allclose(c_out[1:3], hertz_radius_depth(700.0), rtol=1e-12)


@pytest.mark.parametrize("routine", ["uel", "vuel"])
def test_invalid_root_finding_procedure(store, routine):
    c = record(c1=700.0, c4=1e-4, c5=3.0, c7=2.0)
    if routine == "uel":
        sv = np.zeros(20)
        sv[12], sv[13] = G, 1e-8
        c_out = uel(c, svars=sv, jprops=(3, 0, 0), delong=1e-6)[-1]
    else:
        c_out = vuel(c, np.zeros((1, 6)), jprops=[3, 0])[-1]
    assert errstat() == -3 and errtext() == "Error: Invalid root finding procedure"
    np.testing.assert_array_equal(c_out[:3], 0.0)


@pytest.mark.parametrize("slots, values", [([6], [0.0]),             # radius r1 = 0
                                           ([1, 3], [1.0, 1.0])])     # nu = 1: E* = inf
def test_contact_without_a_stiffness_gives_no_force(store, slots, values):
    props = PROPS.copy()
    props[slots] = values
    c = record(c4=1e-4, c5=3.0, c7=2.0, c11=500.0)
    sv = np.zeros(20)
    sv[12], sv[13] = G, 1e-8
    for jprops in [(1, 0, 0), (2, 0, 0), (0, 0, 0)]:
        vorlen.errorhandling.rsxerr(1)
        c_out = uel(c, svars=sv, jprops=jprops, elong=3e-6, delong=1e-6, props=props)[-1]
        assert errstat() == -3
        assert errtext() == "No positive finite contact stiffness in uel_impact"
        np.testing.assert_array_equal(c_out[:3], 0.0)
        assert np.isfinite(c_out).all()
    vorlen.errorhandling.rsxerr(1)
    c_out = vuel(record(c4=2e-5), np.zeros((1, 6)), props=props)[-1]
    assert errstat() == -3 and errtext() == "No positive finite contact stiffness in vuel_impact"
    np.testing.assert_array_equal(c_out[:3], 0.0)


def test_probe_radius_without_a_contact_modulus(store):
    # the stiffness law of flag 2 reads no element property and gives E* = 0
    c_out = response(record(c15=0.025), np.zeros(20), elong=0.0, jprops=(1, 2, 0))[2]
    assert c_out[0] == 1.0 and c_out[1] == 0.0
    assert errstat() == -3 and errtext() == "No positive finite contact stiffness in uel_impact"


def test_total_compliance_zero_gives_no_force(store):
    c = record(c4=1e-4, c5=3.0, c7=2.0)
    sv = np.zeros(20)
    sv[12] = G                                            # Cs = 0
    c_out = uel(c, svars=sv, dtime=0.0, delong=1e-6)[-1]  # Ci = 0 at dtime 0
    assert errstat() == -3 and errtext() == "Total compliance not above 0 in uel_impact"
    assert c_out[0] == 0.0 and np.isfinite(c_out).all()


# A huge mass or a tiny time increment makes the impactor compliance (1 + alpha) beta dtime^2/m
# subnormal, a small one overflows the contact equation: the record slots got NaN.
@pytest.mark.parametrize("mass, dtime, procedure, message", [
    (1e308, 1e-5, 1, "Total compliance not above 0"),
    (1e308, 1e-5, 2, "Total compliance not above 0"),
    (2.0, 1e-160, 1, "Total compliance not above 0"),
    (2.0, 1e-150, 1, "Contact force not finite")])
def test_extreme_compliance_gives_no_force(store, mass, dtime, procedure, message):
    c = record(c4=1e-4, c5=3.0, c7=mass)
    sv = np.zeros(20)
    sv[12] = G                                            # Cs = 0
    c_out = uel(c, svars=sv, jprops=(procedure, 0, 0), elong=3e-6, delong=1e-6, dtime=dtime)[-1]
    assert errstat() == -3 and errtext() == message + " in uel_impact"
    np.testing.assert_array_equal(c_out[:3], 0.0)
    assert np.isfinite(c_out).all()


# The explicit force kc s^1.5 of a target modulus of 1e-300 underflows, so that the depth
# F^2/E*^2 was 0/0; a penetration of 1e200 overflows the force.
@pytest.mark.parametrize("target, s", [(1e-300, 2e-5), (1e10, 1e200)])
def test_explicit_contact_beyond_the_doubles_gives_no_force(store, target, s):
    props = PROPS.copy()
    props[2] = target
    c_out = vuel(record(c4=s), np.zeros((1, 6)), props=props)[-1]
    assert errstat() == -3 and errtext() == "Contact force not finite in vuel_impact"
    np.testing.assert_array_equal(c_out[:3], 0.0)
    assert np.isfinite(c_out).all()


TIMES = np.array([1.6e-3, 0.8e-3, 0.4e-3, 0.2e-3, 0.1e-3])
ELONGS = np.array([4.0e-4, 2.5e-4, 1.9e-4, 1.0e-4, 0.8e-4])


@pytest.mark.parametrize("dtime", [0.05e-3, 0.15e-3, 0.3e-3, 0.5e-3, 1.0e-3, 1.6e-3, 2.0e-3])
def test_compliance_from_the_table_at_the_time_increment(store, dtime):
    sv = np.zeros(30)
    sv[12], sv[13] = G, 1e-8
    sv[20:25], sv[25:30] = TIMES, ELONGS
    sv_out = uel(record(c4=1e-4, c5=3.0, c7=2.0), svars=sv, dtime=dtime, delong=1e-6)[2]
    expected = PchipInterpolator(TIMES[::-1], ELONGS[::-1])(dtime)
    assert sv_out[18] == pytest.approx(expected, rel=1e-12)
    assert errstat() == 0


@pytest.mark.parametrize("times", [np.zeros(5), TIMES[[0, 1, 1, 3, 4]], -TIMES, TIMES[::-1]])
def test_unfilled_table_takes_the_measured_compliance(store, times):
    sv = np.zeros(30)
    sv[12], sv[13] = G, 1e-8
    sv[18] = 7.0
    sv[20:25], sv[25:30] = times, ELONGS
    c = record(c4=1e-4, c5=3.0, c7=2.0)
    _, _, sv_out, _, _, c_out = uel(c, svars=sv, delong=1e-6)
    assert errstat() == -3 and errtext() == "Compliance table not filled in uel_impact"
    assert sv_out[18] == 7.0
    ct = (1 + ALPHA) * BETA * 1e-10 / 2.0 + 1e-8          # Cs = SVARS(14)
    assert c_out[0] == pytest.approx(implicit_force(predictor(c, sv, 1e-5), ct), rel=1e-9)


def test_compliance_exchange_through_the_table(store):
    sv = np.zeros(20)
    sv[12], sv[13], sv[19] = G, 1e-8, 1.0
    store.impactdata.csvars = np.ones((6, 1))             # left by a structural-response step
    # a negative force whose size differs from slot 11 hands in the impactor compliance
    c = record(c1=-3e-9, c4=1e-4, c5=3.0, c7=2.0, c11=500.0)
    c_out = uel(c, svars=sv, kinc=2, elong=2e-5, delong=1e-6)[-1]
    np.testing.assert_array_equal(store.impactdata.csvars, [[3e-9]])
    assert c_out[12] == 2e-5                              # reference taken from the elongation
    delta = predictor(c, sv, 1e-5) - 2e-5
    f = implicit_force(delta, 3e-9 + 1e-8)
    assert c_out[0] == pytest.approx(f, rel=1e-9)
    # the next call reads it back from the table
    c = record(c1=10.0, c4=1e-4, c5=3.0, c7=2.0, c11=500.0, c13=2e-5)
    assert uel(c, svars=sv, kinc=2, elong=2e-5, delong=1e-6)[-1][0] == pytest.approx(f, rel=1e-9)
    assert errstat() == 0


@pytest.mark.parametrize("column", [0.0, 2.0])
def test_impact_column_outside_the_table(store, column):
    sv = np.zeros(20)
    sv[12], sv[13], sv[19] = G, 1e-8, column
    c = record(c1=-3e-9, c4=1e-4, c5=3.0, c7=2.0, c11=500.0)
    c_out = uel(c, svars=sv, kinc=2, elong=2e-5, delong=1e-6)[-1]
    assert errstat() == -3
    assert errtext() == "Impactor column outside the compliance table in uel_impact"
    np.testing.assert_array_equal(store.impactdata.csvars, [[0.0]])
    f = implicit_force(predictor(c, sv, 1e-5) - 2e-5, 3e-9 + 1e-8)
    assert c_out[0] == pytest.approx(f, rel=1e-9)


def response(c, sv, *, dtime=0.1, elong=1e-3, lflags=(11, 1, 1, 0, 0), jprops=(1, 0, 0)):
    _, _, sv_out, _, pnewdt, c_out = uel(c, svars=sv, nsvars=len(sv), kstep=2, dtime=dtime,
                                         elong=elong, lflags=lflags, jprops=jprops)
    return sv_out, pnewdt, c_out


def test_structural_response_fills_the_time_increment_table(store):
    c = record(c15=0.025)
    times = np.array([0.1, 0.0625, 0.025])
    # probe force before any elongation
    sv_out, pnewdt, c_out = response(c, np.zeros(26), elong=0.0)
    assert c_out[0] == 1.0 and c_out[1] == pytest.approx(hertz_radius_depth(1.0)[0])
    assert pnewdt == 1.0 and store.impactdata.csvars is None
    # each measuring attempt is abandoned by the solver (the state of the attempt is lost)
    for j, elong in enumerate([1e-3, 7e-4, 4e-4]):
        sv_out, pnewdt, c_out = response(c, np.zeros(26), elong=elong)
        if j < 2:
            assert pnewdt == pytest.approx(times[j + 1] / times[j])
            assert c_out[12] == 0.0 and c_out[0] == 0.0 and not sv_out[13]
    np.testing.assert_allclose(store.impactdata.csvars[:, 0], np.r_[times, 1e-3, 7e-4, 4e-4])
    assert pnewdt == 0.8 and c_out[14] == HUGE and c_out[12] == 0.1
    assert sv_out[13] == 0.1 and sv_out[19] == 1.0
    np.testing.assert_allclose(sv_out[20:26], np.r_[times, 1e-3, 7e-4, 4e-4])
    # the converging attempt copies the measurement again, without measuring
    sv_out, pnewdt, c_out = response(c_out, np.zeros(26), elong=4e-4)
    assert pnewdt == 1.0 and sv_out[13] == 0.1
    np.testing.assert_allclose(sv_out[20:26], np.r_[times, 1e-3, 7e-4, 4e-4])
    assert errstat() == 0


def test_structural_response_without_table_and_static_probe(store):
    sv_out, pnewdt, c_out = response(record(c15=0.025), np.zeros(20), elong=2e-3)
    assert pnewdt == 0.8 and c_out[12] == 2e-3 and c_out[14] == HUGE
    assert sv_out[13] == 2e-3 and sv_out[19] == 1.0
    sv_out, pnewdt, c_out = response(record(c1=5.0, c2=5.0, c13=1.0), np.zeros(20),
                                     lflags=(1, 1, 1, 0, 0))
    assert c_out[0] == 0.0 and c_out[1] == 0.0 and pnewdt == 1.0


@pytest.mark.parametrize("case", ["column cleared", "row table", "zero time"])
def test_structural_response_bad_table_inputs(store, case):
    c = record(c15=0.025)
    if case == "column cleared":
        c[13] = 0.0                                       # the increment end cleared slot 14
        store.impactdata.csvars = np.full((6, 1), 0.0)
        message = "Impactor column outside the compliance table in uel_impact"
    elif case == "row table":
        store.impactdata.csvars = np.array([[5e-9]])      # left by an impact step
        message = "Compliance table short of the element in uel_impact"
    else:
        c[14] = 0.0                                       # table end 0
        message = "Time increment 0 in the compliance table in uel_impact"
    sv_out, pnewdt, c_out = response(c, np.zeros(26))
    assert errstat() == -3 and errtext() == message
    table = store.impactdata.csvars
    if case == "row table":                               # resized, and the measurement runs
        assert table.shape == (6, 1) and pnewdt == pytest.approx(0.0625 / 0.1)
        np.testing.assert_allclose(table[:4, 0], [0.1, 0.0625, 0.025, 1e-3])
    else:                       # the measurement ends; the reference as the finish gives it
        assert pnewdt == 0.8 and c_out[14] == HUGE
        assert c_out[12] == (1e-3 if case == "column cleared" else table[0, 0])
        assert np.isfinite(table).all()


def test_other_step_types_run_the_carrier_bar_alone(store):
    c = record(c1=1.0, c2=2.0, c3=3.0, c4=4.0, c5=5.0)
    sv = np.arange(1.0, 21.0)
    out = uel(c, svars=sv, kstep=4, elong=1e-3, delong=1e-4, lflags=(1, 1, 1, 0, 0))
    bar = uel(None, svars=sv, kstep=4, elong=1e-3, delong=1e-4, lflags=(1, 1, 1, 0, 0),
              props=[1e-20, 1e-20, 1e-3], routine="uel_truss")
    for x, y in zip(out[:2], bar[:2]):
        np.testing.assert_array_equal(x, y)
    np.testing.assert_array_equal(np.delete(out[-1], [7, 8, 9]), np.delete(c, [7, 8, 9]))
    # before the start time the integration parameters are 0 and no force is computed
    props = PROPS.copy()
    props[10] = 0.5
    c_out = uel(c, kstep=3, time0=0.1, props=props, delong=1e-6)[-1]
    np.testing.assert_array_equal(c_out[7:10], 0.0)
    np.testing.assert_array_equal(c_out[:3], [1.0, 2.0, 3.0])


# --- explicit impactor ----------------------------------------------------------------------

def vuel(cprops, u, *, kstep=3, kinc=1, props=PROPS, jprops=(1, 0), nsvars=18, time0=0.0):
    nb = u.shape[0]
    coords = np.zeros((nb, 2, 3))
    coords[:, 1, 2] = 1.0 + np.arange(nb)
    return toplevel.vuel_impact(
        nsvars, np.array(props, float), np.array(jprops, np.int32), coords, u, np.zeros((nb, 6)),
        np.zeros((nb, 6)), np.zeros((nb, 6)), 1, np.arange(1, nb + 1, dtype=np.int32),
        np.array([time0, time0]), 0.0, 1e-6, 1e-6, kstep, kinc, np.array([17, 0, 2], np.int32),
        np.ones(nb), np.zeros((nb, 2, 1)), 0, np.zeros(nb), np.array(cprops, float))


def test_explicit_hertz_force_on_a_block(store):
    s = 2e-5
    u = np.zeros((2, 6))
    u[0, 5], u[1, 5] = 1e-6, -3e-6
    rhs, amass, dt, svars, energy, c = vuel(record(c4=s), u)
    f = 4.0 / 3.0 * ESTAR * np.sqrt(0.008) * s**1.5
    assert c[0] == pytest.approx(f, rel=1e-12)
    assert c[1]**2 == pytest.approx(0.008 * s, rel=1e-12) and c[2] == pytest.approx(s, rel=1e-12)
    np.testing.assert_array_equal(svars[:, 15], [1e-6, -3e-6])       # own elongations
    np.testing.assert_array_equal(svars[:, 14], [1e-6, -3e-6])
    np.testing.assert_allclose(svars[:, 16], f, rtol=1e-12)
    assert np.isfinite(dt).all() and errstat() == 0


def test_explicit_unloading_through_the_largest_force(store):
    fmax, amax = 900.0, 3e-4
    h = amax * (1 - (1e-4 / amax)**0.4)                   # permanent indentation
    for s, expected in [(amax, fmax), (h, 0.0), (0.5 * h, 0.0),
                        (0.6 * amax, fmax * ((0.6 * amax - h) / (amax - h))**1.5)]:
        c = vuel(record(c4=s, c14=fmax, c15=amax, c16=1.0), np.zeros((1, 6)), jprops=(2, 0))[-1]
        assert c[0] == pytest.approx(expected, rel=1e-12, abs=1e-9)
        assert np.isfinite(c).all()
    assert errstat() == 0


def test_explicit_separation_and_before_start(store):
    c = vuel(record(c1=5.0, c2=1.0, c3=1.0, c4=-1e-5), np.zeros((1, 6)), jprops=(1, 0))[-1]
    np.testing.assert_array_equal(c[:3], 0.0)
    props = PROPS.copy()
    props[10] = 0.5
    c = vuel(record(c1=5.0, c4=1e-5), np.zeros((1, 6)), time0=0.1, props=props)[-1]
    assert c[0] == 5.0 and not c[7:10].any()


@pytest.mark.parametrize("routine, nsvars", [("uel", 19), ("vuel", 17)])
def test_impactor_short_state_writes_nothing(store, routine, nsvars):
    c = record(c4=1e-4)
    out = uel(c, nsvars=nsvars) if routine == "uel" else vuel(c, np.zeros((1, 6)),
                                                               nsvars=nsvars)
    assert errstat() == -3 and errtext().startswith("Unsupported element layout")
    np.testing.assert_array_equal(out[-1], c)
