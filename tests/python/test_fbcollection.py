"""Fibre criteria of _vorlen.fbcollection against Hashin's and Christensen's criteria, LaRC04
kinking at the compressive strength, numpy sweeps of the LaRC05 kink-plane index over the same
angles, and Bahei-El-Din's efforts from principal stresses."""
import math

import numpy as np
import pytest

import _vorlen
from conftest import errstat, errtext

fb = _vorlen.fbcollection

CALL_FORMS = [
    ("fbchangchang", "rfb = fbchangchang(s11,s12,xt11,xc11,x12)"),
    ("fbhashin", "rfb = fbhashin(s11,s12,s13,xt11,xc11,x12,x13,[alpha])"),
    ("fbchristensen", "rfb = fbchristensen(s11,s22,s33,xt11,xc11)"),
    ("fblarc04", "rfb = fblarc04(s11,s22,s33,s12,s13,s23,xt11,xc11,xt22,xc22,x12,e11,e22,g12,"
                 "nu12,[gc,a0,fcl])"),
    ("fblarc05", "rfb = fblarc05(s11,s22,s33,s12,s13,s23,xt11,xc11,xt22,xc22,x12,g12,[a0,sainc,"
                 "gsflag,fcl])"),
    ("fblarc05_is", "rfb = fblarc05_is(s11,s22,s33,s12,s13,s23,xt11_std,xc11_std,xt22_std,"
                    "x23_std,x12_std,g12,[a0,sainc,gsflag,fcl,x_is])"),
    ("fbbahei", "rfb,failmode = fbbahei(stressvector,xlnorm,xtnorm,xlshear,xtshear,mu,[nstress,"
                "failmode])"),
]


@pytest.mark.parametrize("name,form", CALL_FORMS)
def test_call_form(name, form):
    assert getattr(fb, name).__doc__.splitlines()[0] == form


@pytest.fixture(autouse=True)
def register(clean_register):
    yield


XT11, XC11, XT22, XC22, X12, X23 = 2000.0, 1200.0, 60.0, 200.0, 90.0, 70.0
E11, E22, G12, NU12 = 140e3, 9e3, 5e3, 0.3


@pytest.mark.parametrize("s11,s12,s13", [(1500.0, 40.0, 30.0), (-900.0, 40.0, -30.0),
                                         (0.0, 60.0, 0.0), (-1200.0, 0.0, 0.0)])
def test_hashin_1980_and_chang_chang(s11, s12, s13):
    x = XT11 if s11 >= 0 else XC11
    # Hashin 1980, fibre tension (x13 = x12): (s11/Xt)^2 + (s12^2 + s13^2)/S^2 = 1
    hashin = math.sqrt((s11 / x)**2 + (s12**2 + s13**2) / X12**2)
    assert fb.fbhashin(s11, s12, s13, XT11, XC11, X12, X12) == pytest.approx(hashin, rel=1e-14)
    weighted = math.sqrt((s11 / x)**2 + 0.25 * (s12**2 + s13**2) / X12**2)
    assert fb.fbhashin(s11, s12, s13, XT11, XC11, X12, X12, 0.25) == pytest.approx(weighted,
                                                                                  rel=1e-14)
    assert fb.fbchangchang(s11, s12, XT11, XC11, X12) == pytest.approx(
        math.sqrt((s11 / x)**2 + (s12 / X12)**2), rel=1e-14)


def christensen_load_factor(s11, s22, s33):
    """1/lambda of Christensen's fibre criterion
    (1/T - 1/C) lam s11 + lam^2 (s11^2/(T C) - (1/T + 1/C)^2 s11 (s22 + s33)/4) = 1."""
    a = s11**2 / (XT11 * XC11) - 0.25 * (1 / XT11 + 1 / XC11)**2 * s11 * (s22 + s33)
    b = (1 / XT11 - 1 / XC11) * s11
    lam = [r.real for r in np.roots([a, b, -1.0]) if abs(r.imag) < 1e-12 and r.real > 0]
    return 1 / min(lam)


@pytest.mark.parametrize("s", [(XT11, 0, 0), (-XC11, 0, 0), (800.0, 40.0, -10.0),
                               (-700.0, -50.0, -80.0), (500.0, -300.0, 100.0)])
def test_christensen(s):
    assert fb.fbchristensen(*s, XT11, XC11) == pytest.approx(christensen_load_factor(*s),
                                                             rel=1e-12)
    assert errstat() == 0


@pytest.mark.parametrize("s,first", [((0.0, 0.0, 0.0), "Division by Zero"),
                                     ((100.0, 1e6, 0.0), "Negative root")])
def test_christensen_notes(s, first):
    assert fb.fbchristensen(*s, XT11, XC11) == 0.0
    text = f"Note: {first} during Christensen failureevaluation. Please check your input parameters."
    assert errstat() == -1 and errtext() == text[:80]


def frame_about(axis, angle):
    """Rows: the axes of the frame turned by angle about axis 0 (fibre) or 2."""
    c, s = math.cos(angle), math.sin(angle)
    if axis == 0:
        return np.array([[1, 0, 0], [0, c, s], [0, -s, c]])
    return np.array([[c, s, 0], [-s, c, 0], [0, 0, 1]])


def tensor(s):
    return np.array([[s[0], s[3], s[4]], [s[3], s[1], s[5]], [s[4], s[5], s[2]]], dtype=float)


def kink_constants(a0, x12, xc22, kx12, kxc11):
    a = math.radians(a0)
    etat = -1 / math.tan(2 * a)
    st = xc22 * math.cos(a) * (math.sin(a) + math.cos(a) / math.tan(2 * a))
    k = kx12 / kxc11
    m = etat * x12 / st + k
    phic = math.atan((1 - math.sqrt(1 - 4 * m * k)) / (2 * m))
    return etat, st, etat * x12 / st, phic


def misalignment_frame(s, psi, phi0, g12):
    """Stresses on the kink plane psi, turned by the misalignment phi about axis 3."""
    a = frame_about(0, psi)
    sp = a @ tensor(s) @ a.T
    sign = 1.0 if sp[0, 1] >= 0 else -1.0
    phi = sign * (g12 * phi0 + abs(s[3])) / (g12 + s[0] - s[1])
    b = frame_about(2, phi)
    return b @ sp @ b.T, phi


def larc04(s, gc=None, a0=53.0):
    if s[0] >= 0:
        return s[0] / XT11
    with np.errstate(divide="ignore", invalid="ignore"):
        psi = 0.5 * np.arctan(2 * s[5] / np.float64(s[1] - s[2]))
    psi = 0.0 if np.isnan(psi) else float(psi)
    etat, st, etal, phic = kink_constants(a0, X12, XC22, X12, XC11)
    m, _ = misalignment_frame(s, psi, phic - XC11 * phic / G12, G12)
    if m[1, 1] < 0:
        return (m[0, 1] / (X12 - etal * m[1, 1]))**2
    g = gc[0] / gc[1] if gc else float(np.float32(0.35))
    a = m[1, 1] / XT22
    return (1 - g) * a + g * a * a + (m[0, 1] / X12)**2 + (1 / E22 - NU12**2 / E11) * (
        m[0, 2] / X12)**2


def call_larc04(s, **kw):
    return fb.fblarc04(*s, XT11, XC11, XT22, XC22, X12, E11, E22, G12, NU12, **kw)


def test_larc04_kinking_reaches_one_at_compressive_strength():
    assert call_larc04([-XC11, 0, 0, 0, 0, 0]) == pytest.approx(1.0, rel=1e-12)
    assert call_larc04([-XC11, 0, 0, 0, 0, 0], a0=50.0) == pytest.approx(1.0, rel=1e-12)
    assert call_larc04([-0.5 * XC11, 0, 0, 0, 0, 0]) < 1.0
    assert errstat() == 0


LARC04_STATES = [
    ([1500.0, 30, 20, 40, 10, 5], {}),
    ([-800.0, -40, -10, 30, 15, 12], {}),
    ([-800.0, -40, -40, 30, 15, 12], {}),  # s22 = s33: psi = pi/4
    ([-800.0, -40, -40, 30, 15, -12], {}),  # psi = -pi/4
    ([-300.0, 50, 10, 20, 15, 5], {}),  # transverse tension on the kink plane
    ([-300.0, 50, 10, 20, 15, 5], {"gc": [0.3, 0.9]}),
    ([-300.0, 50, 10, 20, 15, 5], {"a0": 56.0}),
]


@pytest.mark.parametrize("s,kw", LARC04_STATES)
def test_larc04_against_numpy(s, kw):
    assert call_larc04(s, **kw) == pytest.approx(larc04(s, **kw), rel=1e-12)
    assert errstat() == 0


def test_larc04_switches():
    s = [-800.0, -40, -10, 30, 15, 12]
    assert call_larc04(s, fcl=1) == 0.0
    # a gc entry of 0 keeps the default ratio
    assert call_larc04(LARC04_STATES[4][0], gc=[0.3, 0.0]) == call_larc04(LARC04_STATES[4][0])




@pytest.mark.parametrize("routine,version", [
    (lambda s, x12: fb.fblarc04(*s, XT11, XC11, XT22, XC22, x12, E11, E22, G12, NU12), "4"),
    (lambda s, x12: fb.fblarc05(*s, XT11, XC11, XT22, XC22, x12, G12), "5"),
    (lambda s, x12: fb.fblarc05_is(*s, XT11, XC11, XT22, X23, x12, G12), "5"),
])
def test_kinking_negative_root(routine, version):
    """x12 large against xc11: 1 - 4 m k < 0, phic would not be a number."""
    assert routine([-XC11, -20, 0, 30, 0, 0], 700.0) == 0.0
    assert errstat() == -1
    assert errtext() == (f"Note: Negative root during LaRC0{version} failureevaluation. Please "
                         "check your input parameters.")[:80]


def sweep(f, step_deg=5.0):
    """Largest f over the angles 0, step, 2 step, ... (by repeated addition) up to pi; the best
    starts at 0 and is replaced only by a strictly greater value."""
    step, psi, best = math.radians(step_deg), 0.0, 0.0
    while psi <= math.pi:
        v = f(psi)
        if v > best:
            best = v
        psi += step
    return best


def larc05(s, a0=53.0, sainc=5.0):
    if s[0] >= 0:
        return s[0] / XT11
    etat, st, etal, phic = kink_constants(a0, X12, XC22, X12, XC11)
    phi0 = phic - XC11 * phic / G12

    def index(psi):
        m, _ = misalignment_frame(s, psi, phi0, G12)
        sn, t1, t2 = m[2, 2], m[0, 2], m[1, 2]
        return ((t2 / (st - etat * sn))**2 + (t1 / (X12 - etal * sn))**2
                + (max(sn, 0) / XT22)**2)
    return sweep(index, sainc)


def larc05_is(s, x_is, a0=53.0, sainc=5.0):
    e = [v if v != 0 else None for v in x_is]
    xt11, xt22 = e[0] or XT11, e[1] or XT22
    xt33, xc11, x12 = e[2] or xt22, e[3] or XC11, e[6] or X12
    x13, x23 = e[7] or x12, e[8] or X23
    if s[0] >= 0:
        return s[0] / xt11
    if abs(s[0]) <= xc11 / 2:
        return 0.0
    a = math.radians(a0)
    etat = -1 / math.tan(2 * a)
    etal = etat * X12 / X23
    k = X12 / XC11
    m = etal + k
    phic = math.atan((1 - math.sqrt(1 - 4 * m * k)) / (2 * m))
    phi0 = phic - xc11 * phic / G12

    def index(psi):
        mm, phi = misalignment_frame(s, psi, phi0, G12)
        c2, s2 = math.cos(phi)**2, math.sin(phi)**2
        sn, t1, t2 = mm[2, 2], mm[0, 2], mm[1, 2]
        return ((t2 / (x23 - etat * sn))**2 + (t1 / (x13 * c2 + x12 * s2 - etal * sn))**2
                + (max(sn, 0) / (xt33 * c2 + xt22 * s2))**2)
    return sweep(index, sainc)


LARC05_STATES = [
    [1500.0, 30, 20, 40, 10, 5],
    [-900.0, -40, 20, 30, 25, 12],
    [-900.0, 30, 30, 0, 45, 0],
    [-700.0, -60, -10, -50, 35, -20],
    [-1000.0, 10, 40, 20, -30, 25],
]


@pytest.mark.parametrize("sainc", [5.0, 1.0, 7.3])
@pytest.mark.parametrize("s", LARC05_STATES)
def test_larc05_equals_numpy_sweep(s, sainc):
    got = fb.fblarc05(*s, XT11, XC11, XT22, XC22, X12, G12, 53.0, sainc)
    assert got == pytest.approx(larc05(s, sainc=sainc), rel=1e-12)
    assert got > 0
    got = fb.fblarc05(*s, XT11, XC11, XT22, XC22, X12, G12, 50.0, sainc)
    assert got == pytest.approx(larc05(s, a0=50.0, sainc=sainc), rel=1e-12)


X_IS = [
    [0.0] * 9,
    [2100.0, 75.0, 0.0, 1300.0, 9.0, 9.0, 110.0, 0.0, 85.0],
    [0.0, 0.0, 55.0, 0.0, 0.0, 0.0, 0.0, 95.0, 0.0],
]


@pytest.mark.parametrize("x_is", X_IS)
@pytest.mark.parametrize("s", LARC05_STATES)
def test_larc05_is_equals_numpy_sweep(s, x_is):
    got = fb.fblarc05_is(*s, XT11, XC11, XT22, X23, X12, G12, 53.0, 5.0, 0, 0, x_is)
    assert got == pytest.approx(larc05_is(s, x_is), rel=1e-12)


def test_larc05_switches():
    assert fb.fblarc05(0.0, -50, 0, 80, 0, 0, XT11, XC11, XT22, XC22, X12, G12) == 0.0
    s = LARC05_STATES[1]
    assert fb.fblarc05(*s, XT11, XC11, XT22, XC22, X12, G12, fcl=1) == 0.0
    assert fb.fblarc05_is(*s, XT11, XC11, XT22, X23, X12, G12, fcl=1) == 0.0
    # below half the (effective) compressive strength nothing counts, whatever the shear
    for s12 in [0.0, 80.0, 500.0]:
        assert fb.fblarc05_is(-0.4 * XC11, -30, 0, s12, 40, 20, XT11, XC11, XT22, X23, X12,
                              G12) == 0.0
    x_is = [0.0, 0.0, 0.0, 2 * XC11 / 0.9, 0, 0, 0, 0, 0]
    assert fb.fblarc05_is(-0.9 * XC11, -30, 0, 80, 40, 20, XT11, XC11, XT22, X23, X12, G12,
                          x_is=x_is) == 0.0
    assert errstat() == 0


@pytest.mark.parametrize("s", [
    # the maximum right after the jump of the sign of phi (175.02 degrees)
    [-979.5919896089108, -45.59445989682074, 5.552791141170005, 4.300070988238062,
     49.33035460668626, -26.615608967132005],
    # the maximum at 38.1 degrees, 7 degrees from a lower one beyond a kink
    [-1639.639085732464, 42.000271151338154, -90.24580015325346, 15.473257627386829,
     -43.33254290684583, -39.58478731417894],
])
def test_larc05_golden_mode_finds_a_maximum_at_a_jump_or_next_to_another(s):
    got = fb.fblarc05(*s, XT11, XC11, XT22, XC22, X12, G12, 53.0, 5.0, 1)
    assert got == pytest.approx(fine_kink_maximum(s), rel=1e-3)


def test_larc05_golden_search_reaches_the_maximum():
    s = LARC05_STATES[1]
    got = fb.fblarc05(*s, XT11, XC11, XT22, XC22, X12, G12, 53.0, 0.5, 1)
    assert got == pytest.approx(fine_kink_maximum(s), rel=1e-6)


def kink_tractions(s, psi, phi0, g12):
    """The components 33, 13 and 23 of misalignment_frame at every kink-plane angle of the array
    psi (the products of the two turns written out), and the misalignment angles."""
    s11, s22, s33, s12, s13, s23 = s
    c, n = np.cos(psi), np.sin(psi)
    p12, p13 = c * s12 + n * s13, c * s13 - n * s12
    p33 = n * n * s22 - 2 * c * n * s23 + c * c * s33
    p23 = (c * c - n * n) * s23 + c * n * (s33 - s22)
    phi = np.where(p12 >= 0, 1.0, -1.0) * (g12 * phi0 + abs(s12)) / (g12 + s11 - s22)
    cp, sp = np.cos(phi), np.sin(phi)
    return p33, cp * p13 + sp * p23, cp * p23 - sp * p13, phi


def kink_index(s, psi, is_strengths=False):
    """LaRC05 kinking index (standard or in-situ form with the standard strengths) at the
    kink-plane angles psi."""
    etat, st, etal, phic = kink_constants(53.0, X12, XC22, X12, XC11)
    if is_strengths:  # etaL from x23, and phic with it
        etal, k = etat * X12 / X23, X12 / XC11
        phic = math.atan((1 - math.sqrt(1 - 4 * (etal + k) * k)) / (2 * (etal + k)))
    sn, t1, t2, _ = kink_tractions(s, psi, phic - XC11 * phic / G12, G12)
    # in situ without effective strengths: x13 = x12 and xt33 = xt22, so phi drops out
    shear = (t2 / ((X23 if is_strengths else st) - etat * sn))**2 + (t1 / (X12 - etal * sn))**2
    return shear + (np.maximum(sn, 0) / XT22)**2


def fine_kink_maximum(s, is_strengths=False):
    """Largest kink_index over a 0.01-degree sweep of the kink-plane angle."""
    return np.max(kink_index(s, np.arange(18001) * math.radians(0.01), is_strengths))


def test_larc05_golden_mode_finds_the_global_maximum_of_random_states():
    # The default step of 5 degrees; the kink-plane index often has several peaks.
    rng = np.random.default_rng(21)
    for _ in range(100):
        s = [-rng.uniform(0.55 * XC11, 1.5 * XC11), *rng.uniform(-100.0, 100.0, 5)]
        for is_strengths in (False, True):
            fine = fine_kink_maximum(s, is_strengths)
            if is_strengths:
                got = fb.fblarc05_is(*s, XT11, XC11, XT22, X23, X12, G12, 53.0, 5.0, 1)
            else:
                got = fb.fblarc05(*s, XT11, XC11, XT22, XC22, X12, G12, 53.0, 5.0, 1)
            assert got == pytest.approx(fine, rel=1e-3), (s, is_strengths)


def larc05_kink_index(s, psi, xt22, xc22, x12, xc11, g12, a0):
    """LaRC05 kinking index at the kink-plane angles psi of a ply of its own."""
    etat, st, etal, phic = kink_constants(a0, x12, xc22, x12, xc11)
    sn, t1, t2, _ = kink_tractions(s, psi, phic - xc11 * phic / g12, g12)
    return (t2 / (st - etat * sn))**2 + (t1 / (x12 - etal * sn))**2 + (np.maximum(sn, 0) / xt22)**2


def test_larc05_golden_mode_takes_the_jump_at_the_start_of_the_half_turn():
    # s12 = 0: s_psi12 = s13 sin(psi) changes sign at 0 alone, the same kink plane as 180
    # degrees, where the sign of phi and with it the index jump; the maximum is the limit from
    # below at 180 degrees, the plane the scan ends on.
    s = [-1887.898369019452, 0.0, 0.0, 0.0, 33.4634548681948, -9.10233132642999]
    xt11, xc11, xt22, xc22, x12, g12, a0 = (
        2441.0136990539722, 1643.374755380993, 89.23220462746824, 219.80147991678413,
        31.324045402235157, 3193.598109737396, 57.0476526304733)
    psi = np.append(np.arange(180000) * math.radians(0.001), math.pi)
    fine = np.max(larc05_kink_index(s, psi, xt22, xc22, x12, xc11, g12, a0))
    assert fine == pytest.approx(1.16852395722, abs=1e-11)
    got = fb.fblarc05(*s, xt11, xc11, xt22, xc22, x12, g12, a0=a0, gsflag=1)
    assert got == pytest.approx(fine, rel=1e-13)


def test_larc05_golden_mode_finds_a_peak_beyond_the_grid_point_after_a_kink():
    # The tension term sets in at 79.17 degrees, where the index has a kink: its value there
    # stands above the grid point at 80 degrees, and the peak at 80.35 lies beyond that.
    s = [-1284.182764162281, 46.530692637388725, -213.6324274693225, -65.13237737732605,
         60.37630714169548, 101.20831953651926]
    x = dict(xt22=60.02386985004967, xc22=199.8976448469524, x12=89.98304873520692,
             xc11=1199.23752833515, g12=5002.42698925827, a0=52.980705079647755)
    psi = np.arange(180001) * math.radians(0.001)
    v = larc05_kink_index(s, psi, **x)
    assert math.degrees(psi[np.argmax(v)]) == pytest.approx(80.35, abs=0.01)
    got = fb.fblarc05(*s, 1998.837073556823, x["xc11"], x["xt22"], x["xc22"], x["x12"],
                      x["g12"], a0=x["a0"], gsflag=1)
    assert got == pytest.approx(np.max(v), rel=1e-9)


@pytest.mark.parametrize("sainc", [0.0, -5.0, math.nan, 1e-9, math.inf])
def test_larc05_refuses_a_scan_that_cannot_end(sainc):
    s = LARC05_STATES[1]
    assert fb.fblarc05(*s, XT11, XC11, XT22, XC22, X12, G12, 53.0, sainc) == 0.0
    assert errstat() == -3
    _vorlen.errorhandling.rsxerr(1)
    assert fb.fblarc05_is(*s, XT11, XC11, XT22, X23, X12, G12, 53.0, sainc) == 0.0
    assert errstat() == -3


@pytest.mark.parametrize("sainc", [1e300, 181.0])
def test_larc05_scan_step_wider_than_the_range_takes_the_kink_plane_at_0(sainc):
    s = LARC05_STATES[1]
    for is_strengths in (False, True):
        x = (X23, X12) if is_strengths else (XC22, X12)
        call = fb.fblarc05_is if is_strengths else fb.fblarc05
        got = call(*s, XT11, XC11, XT22, *x, G12, 53.0, sainc)
        assert got == pytest.approx(kink_index(s, np.array([0.0]), is_strengths)[0], rel=1e-12)
    assert errstat() == 0


@pytest.mark.parametrize("gsflag", [0, 1])
def test_larc05_index_undefined_on_every_kink_plane_is_reported(gsflag):
    # g12 = 0: the initial misalignment, and with it every index, is not a number
    s = LARC05_STATES[1]
    assert fb.fblarc05(*s, XT11, XC11, XT22, XC22, X12, 0.0, 53.0, 5.0, gsflag) == 0.0
    assert (errstat(), errtext()) == (
        -3, "Angle search found no plane with a defined index in FBLaRC05")


@pytest.mark.parametrize("k", [0, 1, 2, 3, 4, 5, 7, 8, 9, 10, 11])  # xt11 only in tension
def test_larc05_reports_input_that_is_not_a_number(k):
    # a stress (s11 included: NaN takes the kinking branch) or a value the index reads; every
    # plane's index is then not a number, which the search skips: index 0
    args = [-900.0, -40, 20, 30, 25, 12, XT11, XC11, XT22, XC22, X12, G12]
    args[k] = math.nan
    got = fb.fblarc05(*args)
    assert got == 0.0 or math.isnan(got)
    assert (errstat(), errtext()) == (-3, "Input not a finite number in FBLaRC05")
    _vorlen.errorhandling.rsxerr(1)
    x_is = [0.0] * 9
    x_is[6] = math.nan  # the in-situ x12
    fb.fblarc05_is(*LARC05_STATES[1], XT11, XC11, XT22, X23, X12, G12, x_is=x_is)
    assert (errstat(), errtext()) == (-3, "Input not a finite number in FBLaRC05_is")


XL, XTN, SL, ST, MU = 1800.0, 50.0, 80.0, 60.0, 0.3


def bahei(s):
    """Efforts from the principal transverse stresses and the resultant longitudinal shear."""
    s11, s22, s33, s12, s13, s23 = s
    if s11 > XL:
        return [abs(s11 / XL), 0, 0, 0]
    t = np.array([[s22, s23], [s23, s33]])
    p2, p1 = np.linalg.eigvalsh(t)
    shear = math.hypot(s12, s13)
    sn = 0.0 if shear == 0 else np.array([s12, s13]) @ t @ np.array([s12, s13]) / shear**2
    mean = (p1 + p2) / 2
    return [0, abs((shear + MU * min(sn, 0)) / SL), abs(((p1 - p2) / 2 + MU * min(mean, 0)) / ST),
            max(p1, 0) / XTN]


BAHEI = [
    [2000.0, 10, 5, 20, 10, 5],
    [500.0, 30, -20, 40, 30, 15],
    [-900.0, -60, -20, 70, -30, 25],
    [0.0, 20, 20, 0, 0, 0],
    [100.0, 80, 10, 0, 0, 0],
    [0.0, -10, 30, 0, 90, -40],
]


@pytest.mark.parametrize("s", BAHEI)
def test_bahei_from_principal_stresses(s):
    efforts = bahei(s)
    rfb, failmode = fb.fbbahei(np.array(s), XL, XTN, SL, ST, MU)
    assert rfb == pytest.approx(max(efforts), rel=1e-12)
    first = int(np.argmax(np.round(efforts, 12))) + 1
    assert failmode == (first if max(efforts) >= 1 else -1)
    # a failmode that is not negative on entry stays
    assert fb.fbbahei(np.array(s), XL, XTN, SL, ST, MU, failmode=0)[1] == 0


@pytest.mark.parametrize("n,picks", [(3, [0, 1, 3]), (4, [0, 1, 2, 3]), (7, [0, 1, 2, 3, 4, 5])])
def test_bahei_stress_counts(n, picks):
    s = BAHEI[1]
    v = np.zeros(n)
    v[:len(picks)] = [s[i] for i in picks]
    full = np.zeros(6)
    full[picks] = [s[i] for i in picks]
    assert fb.fbbahei(v, XL, XTN, SL, ST, MU)[0] == pytest.approx(max(bahei(full)), rel=1e-12)


@pytest.mark.parametrize("n", [0, 1, 2, 5])
def test_bahei_unsupported_stress_count(n):
    rfb, failmode = fb.fbbahei(np.full(n, 500.0), XL, XTN, SL, ST, MU)
    assert rfb == 0.0 and failmode == -1
    assert errstat() == -3


@pytest.mark.parametrize("k", range(6))
def test_bahei_reports_a_stress_that_is_not_a_number(k):
    s = np.array(BAHEI[1])
    s[k] = math.nan
    fb.fbbahei(s, XL, XTN, SL, ST, MU)  # the efforts that are not numbers are skipped
    assert (errstat(), errtext()) == (-3, "Input not a finite number in FBBahei")
