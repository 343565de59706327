"""Matrix-cracking criteria of _vorlen.mccollection against hand calculations, the published
failure envelopes and numpy sweeps of the action-plane formulas on the search grid."""
import math

import numpy as np
import pytest

import _vorlen
from conftest import errstat, errtext

mc = _vorlen.mccollection

pytestmark = pytest.mark.usefixtures("clean_register")

DEG = math.pi / 180.0
NOTE_TAIL = "evaluation. Please check your input parameters."

CALL_FORMS = [
    ("mcrckhashinps", "rmc = mcrckhashinps(s22,s12,xt22,xc22,x12,x23)"),
    ("mcrckhashin3d", "rmc = mcrckhashin3d(s22,s12,s13,s23,xt22,xc22,x12,x23)"),
    ("mcrckhashincomplete", "rmc = mcrckhashincomplete(s22,s33,s12,s13,s23,xt22,xc22,x12,x23)"),
    ("mcrckhashin1989",
     "rmc = mcrckhashin1989(s22,s33,s12,s13,s23,xt22,xc22,xt33,xc33,x12,x13,x23)"),
    ("mcrckchai", "rmc = mcrckchai(s22,s12,s23,xt22,xc22,x12,x23,[dang])"),
    ("mcrckchangchang", "rmc = mcrckchangchang(s22,s12,xt22,xc22,x12)"),
    ("mcrckchristensen",
     "rmc = mcrckchristensen(s22,s33,s12,s13,s23,xt22,xc22,xt33,xc33,x12,x13,x23)"),
    ("mcrckcuntze2004", "rmc = mcrckcuntze2004(s22,s33,s12,s13,s23,xt22,xc22,x12,x13,[gp,mint])"),
    ("mcrckcuntze2012", "rmc = mcrckcuntze2012(s22,s33,s12,s13,s23,xt22,xc22,x12,[gp,mint])"),
    ("mcrckbahei",
     "rmc,failmode = mcrckbahei(stressvector,xnorm,xshear,[nstress,interphase,failmode])"),
    ("mcrckpuck", "rmc,outtheta,tcflag = mcrckpuck(s22,s33,s12,s13,s23,xt22,xc22,x12,"
                  "[outtheta,gp,sainc,gsflag,tcflag])"),
    ("mcrckwiegand", "rmc,outtheta = mcrckwiegand(s22,s33,s12,s13,s23,xt22,xc22,x12,"
                     "[outtheta,a0,sainc,gsflag])"),
    ("mcrckcamanho", "rmc,outtheta = mcrckcamanho(s22,s33,s12,s13,s23,xt22,xc22,x12,x23,"
                     "[outtheta,a0,sainc,gsflag])"),
    ("mcrckspc3d", "rmc,outtheta = mcrckspc3d(s22,s33,s12,s13,s23,xt11,xc11,xt22,xc22,xt33,xc33,"
                   "xt12,xt13,xt23,[xcs,outtheta,gp,sainc,salims,gsflag])"),
    ("mcrckvdi2014", "rmc,outtheta = mcrckvdi2014(s11,s22,s33,s12,s13,s23,xt11,xc11,xt22,xc22,"
                     "x12,[outtheta,gp,wp,sainc,gsflag])"),
    ("mcrcklarc04", "rmc,outtheta = mcrcklarc04(s11,s22,s33,s12,s13,s23,xt11,xc11,xt22,xc22,x12,"
                    "e11,e22,g12,nu12,[gc,a0,outtheta,sainc,fcl,gsflag])"),
    ("mcrcklarc05", "rmc,outtheta = mcrcklarc05(s22,s33,s12,s13,s23,xt22,xc22,x12,"
                    "[a0,outtheta,sainc,gsflag])"),
]


@pytest.mark.parametrize("name,form", CALL_FORMS)
def test_call_form(name, form):
    assert getattr(mc, name).__doc__.splitlines()[0] == form


# A carbon-epoxy ply: transverse tension and compression, in-plane and transverse shear.
YT, YC, SL, ST = 50.0, 200.0, 80.0, 60.0


def load_factor_index(q, l):
    """Reciprocal of the positive load factor lam with q lam^2 + l lam = 1 (numpy roots)."""
    roots = np.roots([q, l, -1.0]) if q != 0 else np.array([1.0 / l])
    lam = min(r.real for r in roots if abs(r.imag) < 1e-12 and r.real > 0)
    return 1.0 / lam


# ------------------------------------------------------------------ Hashin

def hashin_envelope_shear(s22):
    """Shear stress on Hashin's 1980 matrix failure envelope (plane stress) at s22."""
    if s22 >= 0:
        return SL * math.sqrt(1 - (s22 / YT)**2)
    rest = 1 - (s22 / (2 * ST))**2 - ((YC / (2 * ST))**2 - 1) * s22 / YC
    return SL * math.sqrt(max(rest, 0.0))


@pytest.mark.parametrize("s22", [0.0, 20.0, 49.0, -20.0, -100.0, -190.0, -YC])
def test_hashin_1980_matrix_modes_on_the_envelope(s22):
    s12 = hashin_envelope_shear(s22)
    assert mc.mcrckhashinps(s22, s12, YT, YC, SL, ST) == pytest.approx(1.0, rel=1e-13)
    # the same state through the three-dimensional forms (s12 and s13 share the shear)
    t = s12 / math.sqrt(2)
    assert mc.mcrckhashin3d(s22, t, t, 0.0, YT, YC, SL, ST) == pytest.approx(1.0, rel=1e-13)
    assert mc.mcrckhashincomplete(s22, 0.0, t, t, 0.0, YT, YC, SL, ST) == pytest.approx(
        1.0, rel=1e-13)


STATES = [  # s22, s33, s12, s13, s23
    (-60.0, -20.0, 30.0, -10.0, 15.0),
    (-150.0, 40.0, 5.0, 20.0, -30.0),
    (30.0, -10.0, 20.0, 10.0, 25.0),
    (10.0, 15.0, -40.0, 0.0, 5.0),
]


@pytest.mark.parametrize("s22,s33,s12,s13,s23", STATES)
def test_hashin_forms_are_the_reciprocal_load_factor(s22, s33, s12, s13, s23):
    x13, yt33, yc33 = 70.0, 45.0, 180.0
    o, inv = s22 + s33, (s23**2 - s22 * s33) / ST**2
    t12 = (s12**2 + s13**2) / SL**2
    g = (s23 / ST)**2
    if s22 >= 0:
        ps, h3 = math.hypot(s22 / YT, s12 / SL), math.sqrt((s22 / YT)**2 + t12 + g)
    else:
        l = ((YC / (2 * ST))**2 - 1) * s22 / YC
        ps = load_factor_index((s22 / (2 * ST))**2 + (s12 / SL)**2, l)
        h3 = load_factor_index((s22 / (2 * ST))**2 + t12 + g, l)
    t = (s12 / SL)**2 + (s13 / x13)**2
    if o >= 0:
        comp = math.sqrt(max((o / YT)**2 + inv + t12, 0.0))
        h89 = math.sqrt((o**2 / (YT * yt33)) + inv + t)
    else:
        comp = load_factor_index(o**2 / (4 * ST**2) + inv + t12,
                                 (YC**2 / (4 * ST**2) - 1) * o / YC)
        h89 = load_factor_index(o**2 / (4 * ST**2) + inv + t,
                                (s22 / YC + s33 / yc33) * (YC * yc33 / (4 * ST**2) - 1))
    assert mc.mcrckhashinps(s22, s12, YT, YC, SL, ST) == pytest.approx(ps, rel=1e-12)
    assert mc.mcrckhashin3d(s22, s12, s13, s23, YT, YC, SL, ST) == pytest.approx(h3, rel=1e-12)
    assert mc.mcrckhashincomplete(s22, s33, s12, s13, s23, YT, YC, SL, ST) == pytest.approx(
        comp, rel=1e-12)
    assert mc.mcrckhashin1989(s22, s33, s12, s13, s23, YT, YC, yt33, yc33, SL, x13,
                              ST) == pytest.approx(h89, rel=1e-12)
    assert errstat() == 0


def test_zero_stress_gives_zero_without_a_note():
    z = 0.0
    assert mc.mcrckhashinps(z, z, YT, YC, SL, ST) == 0.0
    assert mc.mcrckhashin3d(z, z, z, z, YT, YC, SL, ST) == 0.0
    assert mc.mcrckhashincomplete(z, z, z, z, z, YT, YC, SL, ST) == 0.0
    assert mc.mcrckhashin1989(z, z, z, z, z, YT, YC, YT, YC, SL, SL, ST) == 0.0
    assert mc.mcrckchai(z, z, z, YT, YC, SL, ST) == 0.0
    assert mc.mcrckchristensen(z, z, z, z, z, YT, YC, YT, YC, SL, SL, ST) == 0.0
    assert mc.mcrckcuntze2004(z, z, z, z, z, YT, YC, SL, SL) == 0.0
    assert mc.mcrckcuntze2012(z, z, z, z, z, YT, YC, SL) == 0.0
    assert errstat() == 0


def test_hashin3d_takes_s13_into_the_longitudinal_term():
    assert mc.mcrckhashin3d(0.0, 0.0, SL, 0.0, YT, YC, SL, ST) == 1.0


def test_hashin1989_negative_root_is_a_note():
    # o > 0 with I = (s23^2 - s22 s33)/x23^2 far below zero
    assert mc.mcrckhashin1989(10.0, 10.0, 0.0, 0.0, 0.0, YT, YC, YT, YC, SL, SL, 5.0) == 0.0
    assert errstat() == -1
    assert errtext() == ("Note: Negative root during Hashin failure" + NOTE_TAIL)[:80]


# ------------------------------------------------------------------ Chai, Chang-Chang

@pytest.mark.parametrize("s22,s12,s23,chai,chang", [
    (0.0, 40.0, 30.0, math.sqrt(0.25 + 0.25), 0.5),  # s22 = 0: the strength does not enter
    (25.0, 0.0, 0.0, 0.5, 0.5),
    (-100.0, 40.0, 0.0, math.sqrt(0.25 + 0.25), math.sqrt(0.25 + 0.25)),
])
def test_chai_and_chang_chang(s22, s12, s23, chai, chang):
    assert mc.mcrckchai(s22, s12, s23, YT, YC, SL, ST) == pytest.approx(chai, rel=1e-15)
    assert mc.mcrckchai(s22, s12, s23, YT, YC, SL, ST, 33.0) == pytest.approx(chai, rel=1e-15)
    assert mc.mcrckchangchang(s22, s12, YT, YC, SL) == pytest.approx(chang, rel=1e-15)


def test_sign_rules_at_zero_transverse_stress():
    # Chai takes xt22 at s22 = 0, Chang-Chang xc22: seen through a strength of NaN
    assert mc.mcrckchai(0.0, 1.0, 0.0, YT, math.nan, SL, ST) == pytest.approx(1 / SL)
    assert math.isnan(mc.mcrckchai(0.0, 1.0, 0.0, math.nan, YC, SL, ST))
    assert mc.mcrckchangchang(0.0, 1.0, math.nan, YC, SL) == pytest.approx(1 / SL)
    assert math.isnan(mc.mcrckchangchang(0.0, 1.0, YT, math.nan, SL))


# ------------------------------------------------------------------ Christensen

@pytest.mark.parametrize("s22,s33,s12,s13,s23", STATES)
def test_christensen_is_the_reciprocal_load_factor(s22, s33, s12, s13, s23):
    yt33, yc33, x13 = 45.0, 180.0, 70.0
    l = (1 / YT - 1 / YC) * s22 + (1 / yt33 - 1 / yc33) * s33
    q = ((s23**2 - s22 * s33) / ST**2 + (s12 / SL)**2 + (s13 / x13)**2
         + (s22 + s33)**2 / math.sqrt(YT * YC * yt33 * yc33))
    assert mc.mcrckchristensen(s22, s33, s12, s13, s23, YT, YC, yt33, yc33, SL, x13,
                               ST) == pytest.approx(load_factor_index(q, l), rel=1e-12)


def test_christensen_negative_root_is_a_note():
    # s22 = s33 with equal tensile and compressive strengths: L = 0 and Q < 0 for a small x23
    assert mc.mcrckchristensen(10.0, 10.0, 0.0, 0.0, 0.0, YT, YT, YT, YT, SL, SL, 5.0) == 0.0
    assert errstat() == -1
    assert errtext() == ("Note: Negative root during Christensen failure" + NOTE_TAIL)[:80]


# ------------------------------------------------------------------ Cuntze

def cuntze2012(s22, s33, s12, s13, s23, b1=0.16, b2=1.16, m=2.4):
    r = math.sqrt(4 * s23**2 + (s22 - s33)**2)
    et = max((s22 + s33 + r) / (2 * YT), 0)
    ec = max(((b2 - 1) * (s22 + s33) + b2 * r) / YC, 0)
    i = b1 * (2 * s22 * s12**2 + 2 * s33 * s13**2 + 4 * s23 * s13 * s12)
    es = math.sqrt((i + math.sqrt(4 * SL**2 * (s12**2 + s13**2)**2 + i**2)) / (2 * SL**3))
    return (et**m + ec**m + es**m)**(1 / m)


def cuntze2004(s22, s33, s12, s13, s23, b1=0.13, b2=1.5, b3=0.4, m=2.5, x13=70.0):
    # Et: the larger principal transverse stress over xt22
    p = np.linalg.eigvalsh([[s22, s23], [s23, s33]]).max()
    et = p / YT if p >= 0 else 0.01
    tau2 = s12**2 + s13**2
    b = (2 * b1 * (s22 * s12**2 + s33 * s13**2 + 2 * s12 * s13 * s23) + tau2**1.5) / (
        (SL + x13) / 2)**3
    es = b**(1 / 3) if b >= 0 else 0.01
    # Ec: the larger reciprocal of the roots t of t^2 + H t - xc22^2/W
    w = b3 * tau2 + b2 * ((s22 - s33)**2 + 4 * s23**2)
    h = (b2 - 1) * (s22 + s33) * YC / w
    ec = max(1 / t for t in np.roots([1.0, h, -YC**2 / w]).real)
    ec = ec if ec >= 0 else 0.01
    return (et**m + es**m + ec**m)**(1 / m)


CUNTZE_STATES = STATES + [
    (YT, 0.0, 0.0, 0.0, 0.0),           # uniaxial tension: a tension effort of 1
    (0.0, -100.0, 0.0, 0.0, 0.0),       # s33 alone (the 2004 sum of components is 0)
    (2 * YT, 0.0, -2 * YT, 0.0, 0.0),   # a failing state whose components sum to 0
    (1.0, -1.0, 0.0, 0.0, 0.0),
]


@pytest.mark.parametrize("state", CUNTZE_STATES)
def test_cuntze_efforts(state):
    assert mc.mcrckcuntze2012(*state, YT, YC, SL) == pytest.approx(cuntze2012(*state), rel=1e-12)
    assert mc.mcrckcuntze2012(*state, YT, YC, SL, [0.2, 1.3], 3.0) == pytest.approx(
        cuntze2012(*state, 0.2, 1.3, 3.0), rel=1e-12)
    assert mc.mcrckcuntze2004(*state, YT, YC, SL, 70.0) == pytest.approx(
        cuntze2004(*state), rel=1e-12)
    assert errstat() == 0


def test_cuntze2004_uniaxial_tension_has_a_tension_effort_of_1():
    # with the compression effort alone known, the sum leaves Et^m = 1
    ec = cuntze2004(YT, 0, 0, 0, 0, m=1.0) - 1.0
    assert mc.mcrckcuntze2004(YT, 0, 0, 0, 0, YT, YC, SL, 70.0, mint=1.0) == pytest.approx(1 + ec)
    assert mc.mcrckcuntze2012(1.0, -1.0, 0, 0, 0, YT, YC, SL) > 0


@pytest.mark.parametrize("s", [-50.0, 50.0])
def test_cuntze2004_without_shear_and_equal_transverse_stresses_takes_the_limit(s):
    b2, m = 1.5, 2.5
    et = max(s / YT, 0.01)
    ec = max((b2 - 1) * 2 * s / YC, 0.0)
    rmc = mc.mcrckcuntze2004(s, s, 0.0, 0.0, 0.0, YT, YC, SL, 70.0)
    assert rmc == pytest.approx((et**m + ec**m)**(1 / m), rel=1e-14)
    # and the states nearby tend to it
    assert mc.mcrckcuntze2004(s, s, 0.0, 0.0, 1e-3, YT, YC, SL, 70.0) == pytest.approx(
        rmc, rel=1e-4)
    assert errstat() == 0


def test_cuntze2004_negative_root_is_a_note_with_code_3():
    # a negative b3 makes W < 0 and the radicand xc22^2/W + H^2/4 negative
    rmc = mc.mcrckcuntze2004(-10.0, 0.0, 10.0, 0.0, 0.0, YT, YC, SL, 70.0, [0.13, 1.5, -10.0])
    assert errstat() == -3
    assert errtext() == ("Note: Negative root during Cuntze failure" + NOTE_TAIL)[:80]
    # Et = 0 (the larger principal stress), Ec = 1/(-H/2) < 0 taken as 0.01
    es = ((2 * 0.13 * -10.0 * 100.0 + 10.0**3) / 75.0**3)**(1 / 3)
    assert rmc == pytest.approx((es**2.5 + 0.01**2.5)**(1 / 2.5), rel=1e-12)


# ------------------------------------------------------------------ Bahei-El-Din

def test_bahei_effort_is_the_von_mises_effort_of_the_principal_stresses():
    s = np.array([[30.0, 12.0, -8.0], [12.0, -40.0, 5.0], [-8.0, 5.0, 10.0]])
    p1, p2, p3 = np.linalg.eigvalsh(s)
    d = ((p1 - p2)**2 + (p2 - p3)**2 + (p3 - p1)**2) / 2 / 60.0**2
    nye = [s[0, 0], s[1, 1], s[2, 2], s[0, 1], s[0, 2], s[1, 2]]
    rmc, mode = mc.mcrckbahei(nye, 60.0, 60.0)
    assert rmc == pytest.approx(d, rel=1e-12)
    assert mode == 1  # at least 1: the effort's position
    rmc, mode = mc.mcrckbahei(nye, 200.0, 200.0)
    assert (rmc, mode) == (pytest.approx(d * 0.09, rel=1e-12), -1)  # below 1


@pytest.mark.parametrize("vector,full", [
    ([30.0, -20.0, 10.0], [30.0, -20.0, 0.0, 10.0, 0.0, 0.0]),
    ([30.0, -20.0, 5.0, 10.0], [30.0, -20.0, 5.0, 10.0, 0.0, 0.0]),
    ([30.0, -20.0, 5.0, 10.0, 3.0, -4.0, 99.0], [30.0, -20.0, 5.0, 10.0, 3.0, -4.0]),
])
def test_bahei_reads_the_components_by_their_count(vector, full):
    s11, s22, s33, s12, s13, s23 = full
    d = ((s11**2 + s22**2 + s33**2 - s11 * s22 - s22 * s33 - s33 * s11) / 50.0**2
         + 3 * (s12**2 + s13**2 + s23**2) / 30.0**2)
    assert mc.mcrckbahei(vector, 50.0, 30.0)[0] == pytest.approx(d, rel=1e-14)


def test_bahei_interphase_efforts():
    v = [0.0, 0.0, -20.0, 0.0, 30.0, 40.0]
    rmc, mode = mc.mcrckbahei(v, 50.0, 30.0, interphase=[20.0, 0.5])
    assert (rmc, mode) == (pytest.approx(abs(0.5 * -20.0 + 50.0) / 20.0), 2)
    rmc, mode = mc.mcrckbahei([0.0, 0.0, 75.0, 0.0, 0.0, 0.0], 50.0, 30.0, interphase=[20.0, 0.5])
    assert (rmc, mode) == (pytest.approx(1.5), 3)
    # failmode already set, or one entry -1 (the plain effort)
    assert mc.mcrckbahei(v, 50.0, 30.0, interphase=[20.0, 0.5], failmode=4)[1] == 4
    assert mc.mcrckbahei(v, 50.0, 30.0, interphase=[-1.0, 0.5])[0] == pytest.approx(
        400 / 2500 + 3 * 2500 / 900)


@pytest.mark.parametrize("n", [0, 1, 2, 5])
def test_bahei_unsupported_stress_count(n):
    rmc, mode = mc.mcrckbahei(np.full(n, 500.0), 50.0, 30.0, n, failmode=-1)
    assert (rmc, mode) == (0.0, -1)
    assert errstat() == -3
    assert errtext() == "Unsupported number of stress components in MCrckBahei"


# ------------------------------------------------------------------ action-plane criteria

def grid(xlow, xup, step):
    """The scan's samples: xlow, then repeated addition of step while not above xup."""
    xs, x = [], xlow
    while x <= xup:
        xs.append(x)
        x += step
    return np.array(xs)


def tractions(th, s22, s33, s12, s13, s23):
    c, s = np.cos(th), np.sin(th)
    return (s22 * s**2 + s33 * c**2 - 2 * s23 * s * c, s13 * c - s12 * s,
            s23 * (c**2 - s**2) + (s33 - s22) * s * c)


def puck(th, st, xt22=YT, xc22=YC, x12=SL, gp=(0.3, 0.2, 0.15, 0.15)):
    sn, tl, tt = tractions(th, *st)
    ra = xc22 / (2 * (1 + gp[3]))
    w = tl**2 + tt**2
    with np.errstate(invalid="ignore", divide="ignore"):
        p = np.where(w == 0, 0, (gp[3] * tt**2 / ra + gp[1] * tl**2 / x12) * sn / w)
        q = np.where(w == 0, 0, (gp[2] * tt**2 / ra + gp[0] * tl**2 / x12) / w)
    comp = p + np.sqrt((tt / ra)**2 + p**2 + (tl / x12)**2)
    tens = q * sn + np.sqrt(((1 / xt22 - q) * sn)**2 + (tt / ra)**2 + (tl / x12)**2)
    return np.where(sn < 0, comp, tens)


def wiegand(th, st, a0=53.0):
    sn, tl, tt = tractions(th, *st)
    a = a0 * DEG
    mu, ra = -1 / (2 * np.tan(2 * a)), YC / (2 * np.tan(a))
    u, v = tl / (SL - mu * SL / ra * sn), tt / (ra - mu * sn)
    return np.sqrt(u**2 + v**2 + np.where(sn < 0, 0, (sn / YT)**2))


def camanho(th, st, a0=53.0, xt22=YT, x12=SL, x23=ST):
    sn, tl, tt = tractions(th, *st)
    mu = -1 / (2 * np.tan(2 * a0 * DEG))
    mul, kappa = mu * x12 / x23, (x23**2 - xt22**2) / (xt22 * x23)
    lam = 2 * mul * x23 / x12 - kappa
    a = sn / x23
    with np.errstate(invalid="ignore"):
        tens = np.sqrt(a**2 + (tl / x12)**2 + (tt / x23)**2 + lam * a * (tl / x12)**2 + kappa * a)
    return np.where(sn <= 0, np.sqrt((tl / (x12 - mul * sn))**2 + (tt / (x23 - mu * sn))**2),
                    tens)


SPC = dict(xt22=YT, xc22=YC, xt33=45.0, xc33=180.0, xt12=SL, xt13=70.0, xt23=ST)


def spc3d(th, st, xcs=(90.0, 75.0, 65.0), gp=(0.3, -0.3), k=SPC):
    sn, tl, tt = tractions(th, *st)
    c, s, h = np.cos(th), np.sin(th), np.abs(np.sin(2 * th))
    p = gp[1] * sn / (s**2 * k["xc22"] + c**2 * k["xc33"] + xcs[2] * h)
    comp = p + np.sqrt(p**2 + (tt / ((k["xc22"] + k["xc33"]) * h + xcs[2]))**2
                       + (tl / (np.abs(s) * xcs[0] + np.abs(c) * xcs[1]))**2)
    f = sn / (s**2 * k["xt22"] + c**2 * k["xt33"] + k["xt23"] * h)
    tens = gp[0] * f + np.sqrt(((1 - gp[0]) * f)**2
                               + (tt / ((k["xt22"] + k["xt33"]) * h + k["xt23"]))**2
                               + (tl / (np.abs(s) * k["xt12"] + np.abs(c) * k["xt13"]))**2)
    return np.where(sn < 0, comp, tens)


def vdi_plane(th, st, gp=(0.3, 0.3, 0.25, 0.25), xt22=YT, xc22=YC, x12=SL):
    sn, tl, tt = tractions(th, *st)
    ra = xc22 / (2 * (1 + gp[3]))
    big = np.abs(tt) > 1e-6
    with np.errstate(invalid="ignore", divide="ignore"):
        psi = np.arctan(tl / tt)
    ws = np.where(big, np.sin(psi)**2, 1.0)
    wc = np.where(big, np.cos(psi)**2, np.cos(np.pi / 2)**2)
    q = gp[2] * wc / ra + gp[0] * ws / x12
    p = (gp[3] * wc / ra + gp[1] * ws / x12) * sn
    root = (tt / ra)**2 + (tl / x12)**2
    return np.where(sn >= 0, np.sqrt(((1 / xt22 - q) * sn)**2 + root) + q * sn,
                    np.sqrt(root + p**2) + p)


def larc_constants(a0, xc22=YC, x12=SL):
    a = a0 * DEG
    etat = -1 / math.tan(2 * a)
    st = xc22 * math.cos(a) * (math.sin(a) + math.cos(a) / math.tan(2 * a))
    return etat, st, etat * x12 / st


def larc_shear(sn, tl, tt, a0=53.0):
    etat, st, etal = larc_constants(a0)
    return (tt / (st - etat * sn))**2 + (tl / (SL - etal * sn))**2


def larc05(th, st, a0=53.0):
    sn, tl, tt = tractions(th, *st)
    return larc_shear(sn, tl, tt, a0) + (np.maximum(sn, 0) / YT)**2


def sweep(index, xlow=0.0, xup=math.pi, sainc=5.0):
    """The scan of index on the search grid: the first strictly largest, starting at (0, 0)."""
    xs = grid(xlow, xup, sainc * DEG)
    ys = index(xs)
    best_x, best_y = 0.0, 0.0
    for x, y in zip(xs, ys):
        if y > best_y:
            best_x, best_y = x, y
    return best_x, best_y, xs, ys


PLANE_STATES = [  # s22, s33, s12, s13, s23
    (-120.0, -30.0, 40.0, 15.0, 25.0),
    (35.0, -10.0, 30.0, -20.0, 10.0),
    (-60.0, 20.0, -55.0, 10.0, -35.0),
    (10.0, 30.0, 5.0, 0.0, 40.0),
    (-250.0, 0.0, 0.0, 0.0, 0.0),
    (-400.0, -50.0, 90.0, 40.0, 60.0),
    (0.0, 0.0, 0.0, 0.0, 0.0),
]


def call_puck(st, sainc, **kw):
    r = mc.mcrckpuck(*st, YT, YC, SL, sainc=sainc, **kw)
    return r[0], r[1]


CRITERIA = {  # name: (call, numpy index, range)
    "puck": (call_puck, puck, (0.0, math.pi)),
    "wiegand": (lambda st, sainc, **kw: mc.mcrckwiegand(*st, YT, YC, SL, sainc=sainc, **kw),
                wiegand, (0.0, math.pi)),
    "camanho": (lambda st, sainc, **kw: mc.mcrckcamanho(*st, YT, YC, SL, ST, sainc=sainc, **kw),
                camanho, (0.0, math.pi)),
    "spc3d": (lambda st, sainc, **kw: mc.mcrckspc3d(*st, 1500.0, 1200.0, *SPC.values(),
                                                    [90.0, 75.0, 65.0], sainc=sainc, **kw),
              spc3d, (2 * DEG, 178 * DEG)),
    "vdi2014": (lambda st, sainc, **kw: mc.mcrckvdi2014(0.0, *st, 1500.0, 1200.0, YT, YC, SL,
                                                        sainc=sainc, **kw),
                vdi_plane, (0.0, math.pi)),
    "larc05": (lambda st, sainc, **kw: mc.mcrcklarc05(*st, YT, YC, SL, sainc=sainc, **kw),
               larc05, (0.0, math.pi)),
}


@pytest.mark.parametrize("sainc", [5.0, 0.7])
@pytest.mark.parametrize("state", PLANE_STATES)
@pytest.mark.parametrize("name", CRITERIA)
def test_action_plane_criterion_is_the_sweep_of_its_formula(name, state, sainc):
    call, index, (xlow, xup) = CRITERIA[name]
    best_x, best_y, xs, ys = sweep(lambda th: index(th, state), xlow, xup, sainc)
    rmc, theta = call(state, sainc)
    assert rmc == pytest.approx(best_y, rel=1e-12, abs=1e-300)
    assert theta == -1.0 or best_y >= 1.0
    if best_y >= 1.0:
        # the angle is a sample of the grid whose index is the maximum
        k = np.flatnonzero(xs == theta)
        assert k.size == 1 and ys[k[0]] == pytest.approx(best_y, rel=1e-12)
    assert errstat() == 0


@pytest.mark.parametrize("name", CRITERIA)
def test_golden_section_search_finds_the_maximum_of_the_fine_sweep(name):
    call, index, (xlow, xup) = CRITERIA[name]
    state = (-240.0, -60.0, 80.0, 30.0, 50.0)
    best_x, best_y, _, _ = sweep(lambda th: index(th, state), xlow, xup, 0.001)
    rmc, theta = call(state, 0.01, gsflag=1)
    assert best_y > 1
    # the index of the last bracket sample, within the bracket width of the maximum (SPC3D
    # has a kink there)
    assert rmc == pytest.approx(best_y, rel=1e-3 if name == "spc3d" else 1e-6)
    assert theta == pytest.approx(best_x, abs=2e-3)


def fine_maximum(index, xlow, xup):
    """Largest index of a 0.01-degree sweep of [xlow, xup] (samples that are not numbers
    skipped)."""
    step = 0.01 * DEG
    return np.nanmax(index(xlow + np.arange(round((xup - xlow) / step) + 1) * step))


def random_states(n, seed):
    """Seeded transverse stress states (s22, s33, s12, s13, s23), each within +-100: the normal
    traction stays below the poles of the LaRC, Wiegand and Camanho indices."""
    return np.random.default_rng(seed).uniform(-100.0, 100.0, (n, 5))


@pytest.mark.parametrize("name", CRITERIA)
def test_golden_mode_finds_the_global_maximum_of_random_states(name):
    # The default step of 5 degrees. Several peaks are common (Puck's index often has two of
    # similar height, SPC3D's a cusp at 90 degrees); a search that narrows onto one of them
    # ends far below the maximum.
    call, index, (xlow, xup) = CRITERIA[name]
    for st in map(tuple, random_states(150, seed=11)):
        fine = fine_maximum(lambda th: index(th, st), xlow, xup)
        rmc, theta = call(st, 5.0, gsflag=1, outtheta=-1.0)
        assert rmc == pytest.approx(fine, rel=1e-3), st
        if rmc >= 1:  # the plane written has that index
            assert xlow <= theta <= xup
            assert index(np.array([theta]), st)[0] == pytest.approx(rmc, rel=1e-11)


@pytest.mark.parametrize("name,st", [
    # SPC3D: a peak right after the jump where sn changes sign (92.14 degrees), next to the
    # kink at 90 degrees; and a sharp peak at that kink
    ("spc3d", (-4.455348855560516, 27.751745139040622, 83.3944079247604, -29.72391398201725,
               59.10399054010037)),
    ("spc3d", (-37.4633534554105, -55.13635547479048, -63.598054381138965, 72.03572911868645,
               71.50849767607389)),
    # LaRC05: the maximum at 1.4 degrees, less than a 5-degree step from the end of the range
    ("larc05", (-69.97534829886492, -12.066225173628894, -22.821375344014157,
                -50.26865146911401, -93.30259069720111)),
])
def test_golden_mode_finds_a_maximum_at_a_jump_or_a_kink(name, st):
    call, index, (xlow, xup) = CRITERIA[name]
    fine = fine_maximum(lambda th: index(th, st), xlow, xup)
    assert call(st, 5.0, gsflag=1)[0] == pytest.approx(fine, rel=1e-3)


def test_camanho_golden_mode_finds_its_maximum_at_the_kink_where_sn_changes_sign():
    # the maximum at 41.67 degrees, where sn = 0; a peak at 176 degrees is 1e-3 lower
    st = (-167.52328897671094, 159.59065176719577, -217.68075555832155, 17.87017070713241,
          15.135116716258192)
    xt22, x12, x23 = 42.20222906420388, 101.08630277931226, 76.71682514314205
    index = lambda th: camanho(th, st, 53.0, xt22, x12, x23)  # noqa: E731
    # sn = 0 where s22 t^2 - 2 s23 t + s33 = 0, t = tan(theta)
    kink = min(np.arctan(np.roots([st[0], -2 * st[4], st[1]]).real) % math.pi,
               key=lambda t: abs(t - 41.67 * DEG))
    top = index(np.array([kink]))[0]
    assert top > fine_maximum(index, 0.0, math.pi)
    rmc, theta = mc.mcrckcamanho(*st, xt22, 137.6, x12, x23, outtheta=-1.0, sainc=5.0,
                                 gsflag=1)
    assert rmc == pytest.approx(top, rel=1e-8)
    assert theta == pytest.approx(kink, abs=1e-7)


def test_puck_golden_mode_finds_a_narrow_peak_beside_the_end_of_the_half_turn():
    # The index peaks at 1.00401 at 179.02 degrees and stands above its value at 180 degrees
    # (the plane at 0) only from 178 degrees on: samples a few degrees apart rise toward 180
    # and show no peak before it.
    st, x = (-101.118, 77.578, -5.516, -9.591, 2.8), (82.844, 270.638, 41.392)
    th = np.arange(18001) * 0.01 * DEG
    v = puck(th, st, *x)
    k = np.argmax(v)
    assert (v[k], th[k] / DEG) == (pytest.approx(1.00401, abs=1e-5), pytest.approx(179.02))
    rmc, theta, _ = mc.mcrckpuck(*st, *x, outtheta=-1.0, gsflag=1)
    assert v[k] <= rmc == pytest.approx(v[k], rel=1e-6)
    assert theta == pytest.approx(th[k], abs=0.01 * DEG)
    assert puck(np.array([theta]), st, *x)[0] == pytest.approx(rmc, rel=1e-12)


def test_puck_golden_mode_refines_a_narrow_peak_below_several_others():
    # A peak 0.3 degrees wide at 86.29 degrees; the coarse samples beside it lie below four
    # other peaks and the ends of the pieces at the two planes where sn changes sign
    st = (29.5993, -53.30176, 0.8536008, -3.423442, -5.398217)
    x, gp = (96.25166, 297.6141, 32.67066), [0.3364384, 0.2469979, 0.2762059, 0.2037557]
    th = np.arange(18001) * 0.01 * DEG
    v = puck(th, st, *x, gp)
    k = np.argmax(v)
    assert th[k] / DEG == pytest.approx(86.29)
    rmc, _, _ = mc.mcrckpuck(*st, *x, gp=gp, gsflag=1)
    assert v[k] <= rmc == pytest.approx(v[k], rel=1e-5)  # the sweep's step misses 6e-6


def test_puck_golden_mode_flags_the_sign_of_sn_on_the_plane_it_returns():
    x, gp = (46.884, 254.717, 46.550), [0.2572, 0.2223, 0.2693, 0.2947]
    st = (38.7608, 0.3462, 24.5837, 33.6352, 105.9046)
    rmc, theta, tcflag = mc.mcrckpuck(*st, *x, outtheta=-1.0, gp=gp, gsflag=1)
    assert (rmc, theta) == (pytest.approx(2.8928, abs=1e-4), pytest.approx(2.2767, abs=1e-4))
    assert tractions(theta, *st)[0] == pytest.approx(127.0, abs=1.0)
    assert tcflag == 1
    # seeded failing states
    rng = np.random.default_rng(8)
    for st in rng.uniform(-150.0, 150.0, (300, 5)):
        rmc, theta, tcflag = mc.mcrckpuck(*st, *x, outtheta=-1.0, gp=gp, gsflag=1)
        if rmc >= 1:
            assert tcflag == (1 if tractions(theta, *st)[0] >= 0 else -1), st


def tt_zeros(s22, s33, s12, s13, s23):
    """The planes in [0, pi) where tt = s23 cos(2 theta) + (s33 - s22)/2 sin(2 theta) is 0."""
    d = math.atan2((s33 - s22) / 2, s23)
    return [((d + math.pi / 2) / 2) % math.pi, ((d - math.pi / 2) / 2) % math.pi]


WEIGHT_SPIKES = [  # s22, s33, s12, s13, s23; xt22, xc22, x12; gp; the sweep's maximum
    ((-308.50431328305876, 150.3275898218968, -7.849788463638704, 0.8448760924257658,
      -68.43580692047765), (105.92677914840917, 328.6644720428135, 26.4171007832414),
     (0.4064723409632233, 0.05107634444478047, 0.22885247730303077, 0.17196427781009704), 3.421),
    ((-191.2897, 60.655, -4.6046, 0.4615, -74.9182),
     (92.2022643771145, 326.497787192168, 30.165623321310783),
     (0.3446390045039635, 0.050051814278909604, 0.27626056254634745, 0.1746666594536186),
     1.0008),
]


@pytest.mark.parametrize("name", ["puck", "vdi2014"])
@pytest.mark.parametrize("st,x,gp,top", WEIGHT_SPIKES)
def test_golden_mode_finds_the_spike_where_the_weights_switch(name, st, x, gp, top):
    # Where tt changes sign while tl is small, the weights tt^2/w and tl^2/w swing from one
    # inclination parameter to the other within a fraction of a degree (gp(1)/x12 lies far from
    # gp(3)/RA): a spike narrower than the coarse step, whose coarse neighbours lie far below.
    if name == "puck":
        index = lambda th: puck(th, st, *x, gp)  # noqa: E731
        rmc, theta, tcflag = mc.mcrckpuck(*st, *x, outtheta=-1.0, gp=gp, gsflag=1)
    else:  # s11 = 0: no weakening by the fibre stress
        index = lambda th: vdi_plane(th, st, gp, *x)  # noqa: E731
        rmc, theta = mc.mcrckvdi2014(0.0, *st, 1500.0, 1200.0, *x, outtheta=-1.0, gp=gp,
                                     gsflag=1)
        tcflag = 1
    th = np.arange(18001) * 0.01 * DEG
    assert np.max(index(th)) == pytest.approx(top, abs=1e-3)
    # the spike's top, within 0.02 degrees of a zero of tt, by a sweep 1e-7 degrees fine
    near = np.concatenate([z + np.linspace(-0.02, 0.02, 400001) * DEG for z in tt_zeros(*st)])
    v = index(near)
    assert rmc >= np.max(v) * (1 - 1e-12)
    assert rmc == pytest.approx(np.max(v), rel=1e-10)
    assert index(np.array([theta]))[0] == pytest.approx(rmc, rel=1e-12)
    assert tcflag == 1 and tractions(theta, *st)[0] > 0  # a failing ply on a plane in tension


SPC_CUSPS = dict(xt22=50.0, xc22=200.0, xt33=50.0, xc33=200.0, xt12=80.0, xt13=80.0, xt23=60.0)


@pytest.mark.parametrize("salims", [(-0.45481, 2.31885), (199.5, 577.1), (-186.5, 167.5)])
def test_spc3d_golden_mode_takes_the_cusps_at_every_multiple_of_90_degrees(salims):
    # The index has a cusp wherever |sin(2 theta)|, |sin(theta)| or |cos(theta)| has one; in a
    # range across 0 or 180 degrees, narrower or wider than a half-turn, the coarse samples
    # climb past them.
    st = 3.85 * np.array([8.86234445, -0.26265506, 9.28212184, 4.11779289, -15.40731325])
    lo, hi = np.radians(salims)
    th = np.concatenate([lo + np.arange(int((hi - lo) / (0.001 * DEG)) + 1) * 0.001 * DEG,
                         [hi], np.arange(-4, 7) * math.pi / 2])
    th = th[(th >= lo) & (th <= hi)]
    fine = np.max(spc3d(th, st, xcs=(80.0, 80.0, 60.0), k=SPC_CUSPS))
    rmc, theta = mc.mcrckspc3d(*st, 1500.0, 1200.0, 50.0, 200.0, 50.0, 200.0, 80.0, 80.0, 60.0,
                               outtheta=-1.0, salims=salims, sainc=1.0, gsflag=1)
    assert rmc == pytest.approx(fine, rel=1e-12)
    assert lo <= theta <= hi and math.remainder(theta, math.pi / 2) == pytest.approx(0, abs=1e-12)
    if salims[0] < 0 < salims[1] < 3:
        assert rmc == pytest.approx(1.009819, abs=1e-6)  # at 0 degrees


UNDEFINED = [  # the index is not a number on every plane, with finite input
    ("MCrckWiegand", lambda g: mc.mcrckwiegand(*PLANE_STATES[0], YT, YC, SL, outtheta=-1.0,
                                               a0=0.0, gsflag=g)),
    ("MCrckLaRC05", lambda g: mc.mcrcklarc05(*PLANE_STATES[0], YT, YC, SL, 0.0, outtheta=-1.0,
                                             gsflag=g)),
    ("MCrckPuck", lambda g: mc.mcrckpuck(*PLANE_STATES[0], 0.0, 0.0, 0.0, outtheta=-1.0,
                                         gsflag=g)[:2]),
    ("MCrckLaRC04", lambda g: larc04(-500.0, *PLANE_STATES[0], x12=0.0, outtheta=-1.0,
                                     gsflag=g)),
    # a tension radicand negative but in a window of 0.08 degrees near 47.4 degrees
    ("MCrckCamanho", lambda g: mc.mcrckcamanho(5e4, 5e4, 8e6, 8.7e6, 0.0, YT, YC, SL, ST,
                                               outtheta=-1.0, gsflag=g)),
]


@pytest.mark.parametrize("gsflag", [0, 1])
@pytest.mark.parametrize("routine,call", UNDEFINED)
def test_an_index_undefined_on_every_plane_searched_is_reported(routine, call, gsflag):
    assert call(gsflag) == (0.0, -1.0)
    assert (errstat(), errtext()) == (
        -3, f"Angle search found no plane with a defined index in {routine}")


def test_camanho_index_is_defined_in_a_narrow_window():
    th = np.arange(47.0, 48.0, 1e-3) * DEG
    defined = th[~np.isnan(camanho(th, (5e4, 5e4, 8e6, 8.7e6, 0.0)))] / DEG
    assert 0 < defined[-1] - defined[0] < 0.1


def test_puck_modes_a_and_b_at_90_degrees():
    p12t, p12c = 0.3, 0.2
    s22, s12 = 20.0, 70.0  # mode A
    expected = (math.sqrt((s12 / SL)**2 + ((1 - p12t * YT / SL) * s22 / YT)**2)
                + p12t * s22 / SL)
    rmc, theta, _ = mc.mcrckpuck(s22, 0.0, s12, 0.0, 0.0, YT, YC, SL, sainc=1.0)
    assert rmc == pytest.approx(expected, rel=1e-12)
    assert theta == pytest.approx(math.pi / 2, abs=1e-12)
    s22, s12 = -30.0, 90.0  # mode B: abs(s22/s12) below RA/tau21c
    expected = (math.sqrt(s12**2 + (p12c * s22)**2) + p12c * s22) / SL
    rmc, theta, _ = mc.mcrckpuck(s22, 0.0, s12, 0.0, 0.0, YT, YC, SL, sainc=1.0)
    assert rmc == pytest.approx(expected, rel=1e-12)
    assert theta == pytest.approx(math.pi / 2, abs=1e-12)


def test_puck_uniaxial_tension_peaks_at_90_degrees():
    rmc, theta, _ = mc.mcrckpuck(60.0, 0.0, 0.0, 0.0, 0.0, YT, YC, SL)
    assert rmc == pytest.approx(60.0 / YT, rel=1e-12)
    assert theta == pytest.approx(math.pi / 2, abs=1e-12)


def test_puck_mode_c_plane_and_index():
    p = 0.15
    theta_fp = math.asin(math.sqrt(1 / (2 * (1 + p))))
    assert theta_fp / DEG == pytest.approx(41.25, abs=0.01)
    rmc, theta, _ = mc.mcrckpuck(-1.01 * YC, 0.0, 0.0, 0.0, 0.0, YT, YC, SL, sainc=0.01)
    assert rmc == pytest.approx(1.01, rel=1e-8)
    # the plane or its mirror image about the xz plane
    assert min(abs(theta - theta_fp), abs(theta - (math.pi - theta_fp))) < 0.01 * DEG
    rmc, theta, _ = mc.mcrckpuck(-1.01 * YC, 0.0, 0.0, 0.0, 0.0, YT, YC, SL, sainc=1e-3,
                                 gsflag=1)
    assert rmc == pytest.approx(1.01, rel=1e-8)
    assert min(abs(theta - theta_fp), abs(theta - (math.pi - theta_fp))) < 0.01 * DEG


@pytest.mark.parametrize("s22,tcflag", [(-1.5 * YC, -1), (1.5 * YT, 1), (-0.5 * YC, 7)])
def test_puck_tension_compression_flag_of_the_last_sample(s22, tcflag):
    # the scan's last sample (near 180 degrees) has sn = s22 sin^2 + s33 cos^2 < 0 for s33 < 0
    out = mc.mcrckpuck(s22, -1.0 if s22 < 0 else 1.0, 0.0, 0.0, 0.0, YT, YC, SL, tcflag=7)
    assert out[2] == tcflag
    assert out[1] == (-1.0 if tcflag == 7 else out[1])


def test_larc05_reaches_1_at_minus_yc_on_the_plane_90_minus_a0():
    for a0 in (53.0, 50.0):
        rmc, theta = mc.mcrcklarc05(-1.001 * YC, 0.0, 0.0, 0.0, 0.0, YT, YC, SL, a0, sainc=0.01)
        assert min(abs(theta - (90 - a0) * DEG), abs(theta - (90 + a0) * DEG)) < 0.011 * DEG
        assert mc.mcrcklarc05(-YC, 0.0, 0.0, 0.0, 0.0, YT, YC, SL, a0, sainc=0.01)[0] == (
            pytest.approx(1.0, rel=1e-7))
    etat, st, _ = larc_constants(53.0)
    assert etat == 0.2867453857588078
    assert st / YC / math.cos(53 * DEG) == pytest.approx(0.6260678290781129, rel=1e-15)


def test_outtheta_is_written_only_on_request_and_at_failure():
    st = (-250.0, 0.0, 0.0, 0.0, 0.0)
    assert mc.mcrckwiegand(*st, YT, YC, SL, outtheta=0.5)[1] == 0.5  # not asked for
    rmc, theta = mc.mcrckwiegand(-50.0, 0.0, 0.0, 0.0, 0.0, YT, YC, SL, outtheta=-3.0)
    assert rmc < 1 and theta == -3.0


def test_spc3d_range_and_strengths():
    # the default compression shear strengths are the tension ones
    st = (-120.0, -30.0, 40.0, 15.0, 25.0)
    xcs = (SPC["xt12"], SPC["xt13"], SPC["xt23"])
    _, best_y, _, _ = sweep(lambda th: spc3d(th, st, xcs), 2 * DEG, 178 * DEG, 3.0)
    assert mc.mcrckspc3d(*st, 0.0, 0.0, *SPC.values(), sainc=3.0)[0] == pytest.approx(
        best_y, rel=1e-12)
    # a range of its own, and other g1, g2
    _, best_y, _, _ = sweep(lambda th: spc3d(th, st, gp=(0.2, -0.4)), 10 * DEG, 60 * DEG, 2.5)
    assert mc.mcrckspc3d(*st, 0.0, 0.0, *SPC.values(), [90.0, 75.0, 65.0], gp=[0.2, -0.4],
                         sainc=2.5, salims=[10.0, 60.0])[0] == pytest.approx(best_y, rel=1e-12)


def vdi_weakened(y, s11, xt11=1500.0, xc11=1200.0, wp=(0.5, 0.5)):
    fe = s11 / xt11 if s11 >= 0 else -s11 / xc11
    c = y / fe if fe > 1e-6 else 1e6
    if wp[0] <= c <= 1 / wp[1]:
        a = (1 - wp[1]) / math.sqrt(1 - wp[0]**2)
        eta = (a * math.sqrt((a**2 - wp[1]**2) * c**2 + 1) + wp[1]) * c / ((c * a)**2 + 1)
        return y / eta
    return y


@pytest.mark.parametrize("s11", [0.0, 900.0, -1000.0, 3000.0])
def test_vdi2014_weakening_by_the_fibre_stress(s11):
    st = (-60.0, 20.0, -55.0, 10.0, -35.0)
    _, y, _, _ = sweep(lambda th: vdi_plane(th, st))
    rmc, _ = mc.mcrckvdi2014(s11, *st, 1500.0, 1200.0, YT, YC, SL)
    assert rmc == pytest.approx(vdi_weakened(y, s11), rel=1e-12)
    if s11 == 0.0:
        assert rmc == pytest.approx(y, rel=1e-12)  # c = 1e6: no weakening
    _, y, _, _ = sweep(lambda th: vdi_plane(th, st, (0.35, 0.3, 0.3, 0.2)))
    rmc, _ = mc.mcrckvdi2014(s11, *st, 1500.0, 1200.0, YT, YC, SL, gp=[0.35, 0.3, 0.3, 0.2],
                             wp=[0.6, 0.4])
    assert rmc == pytest.approx(vdi_weakened(y, s11, wp=(0.6, 0.4)), rel=1e-12)


# ------------------------------------------------------------------ LaRC04

LARC04 = dict(xt11=1500.0, xc11=1200.0, xt22=YT, xc22=YC, x12=SL, e11=140e3, e22=9e3,
              g12=4.6e3, nu12=0.3)


def larc04(s11, s22, s33, s12, s13, s23, **kw):
    k = dict(LARC04)
    k.update((key, kw.pop(key)) for key in list(kw) if key in LARC04)
    return mc.mcrcklarc04(s11, s22, s33, s12, s13, s23, *k.values(), **kw)


@pytest.mark.parametrize("gc,g", [(None, float(np.float32(0.35))), ([0.3, 0.6], 0.5),
                                  ([0.3, 0.0], float(np.float32(0.35)))])
def test_larc04_matrix_tension(gc, g):
    s22, s12, s23 = 30.0, 40.0, 20.0
    a = s22 / YT
    expected = ((1 - g) * a + g * a**2 + (s12 / SL)**2
                + (1 / 9e3 - 0.3**2 / 140e3) * (s23 / SL)**2)
    k = {} if gc is None else {"gc": gc}
    rmc, theta = larc04(-500.0, s22, 10.0, s12, 5.0, s23, **k)
    assert rmc == pytest.approx(expected, rel=1e-14)
    assert theta == -1.0
    rmc, theta = larc04(-500.0, 3 * YT, 10.0, s12, 5.0, s23, **k)
    assert rmc > 1 and theta == -1.0  # no search in matrix tension
    assert larc04(-500.0, s22, 10.0, s12, 5.0, s23, fcl=1) == (0.0, -1.0)


def nye_turn_about_3(v, phi):
    """Nye stresses turned by phi about axis 3 (the frame turned by +phi)."""
    s = np.array([[v[0], v[3], v[4]], [v[3], v[1], v[5]], [v[4], v[5], v[2]]])
    c, n = math.cos(phi), math.sin(phi)
    a = np.array([[c, n, 0.0], [-n, c, 0.0], [0.0, 0.0, 1.0]])
    r = a @ s @ a.T
    return [r[0, 0], r[1, 1], r[2, 2], r[0, 1], r[0, 2], r[1, 2]]


def misaligned(s11, s22, s33, s12, s13, s23, a0=53.0):
    """The stresses of LaRC04's misalignment frame, from the kink plane turned about axis 1."""
    with np.errstate(divide="ignore"):
        psi = 0.0 if s22 == s33 and s23 == 0 else 0.5 * np.arctan(2 * s23 / np.float64(s22 - s33))
    s = np.array([[s11, s12, s13], [s12, s22, s23], [s13, s23, s33]])
    c, n = math.cos(psi), math.sin(psi)
    a = np.array([[1.0, 0.0, 0.0], [0.0, c, n], [0.0, -n, c]])
    r = a @ s @ a.T
    sp = [r[0, 0], r[1, 1], r[2, 2], r[0, 1], r[0, 2], r[1, 2]]
    _, _, etal = larc_constants(a0)
    k = SL / 1200.0
    m = etal + k
    phic = math.atan((1 - math.sqrt(1 - 4 * m * k)) / (2 * m))
    g12 = 4.6e3
    phi0 = phic - 1200.0 * phic / g12
    sign = 1.0 if sp[3] >= 0 else -1.0
    phi = sign * (g12 * phi0 + abs(s12)) / (s11 + g12 - s22)
    return nye_turn_about_3(sp, phi)


@pytest.mark.parametrize("state", [
    (-500.0, -80.0, -20.0, 30.0, 10.0, 25.0),
    (-900.0, -150.0, 10.0, -20.0, 5.0, -40.0),
    (-300.0, -50.0, -50.0, 0.0, 0.0, 0.0),   # s22 = s33, s23 = 0: the kink angle 0/0 is 0
    (-300.0, -50.0, -50.0, 0.0, 0.0, 20.0),  # s22 = s33: psi = pi/4
])
def test_larc04_matrix_compression_in_the_misalignment_frame(state):
    m = misaligned(*state)
    sweep_index = lambda th: larc_shear(*tractions(th, *m[1:]))
    _, best_y, _, _ = sweep(sweep_index, 0.0, math.pi, 5.0)
    rmc, _ = larc04(*state)
    assert math.isfinite(rmc)
    assert rmc == pytest.approx(best_y, rel=1e-10)
    assert larc04(*state, fcl=1) == (0.0, -1.0)
    assert errstat() == 0


def test_larc04_large_s11_takes_the_given_stresses_over_minus_pi_to_pi():
    st = (-80.0, -20.0, 30.0, 10.0, 25.0)
    best_x, best_y, _, _ = sweep(lambda th: larc_shear(*tractions(th, *st)), -math.pi, math.pi,
                                 2.0)
    rmc, theta = larc04(300.0, *st, sainc=2.0)  # s11 at least the value of xc22
    assert rmc == pytest.approx(best_y, rel=1e-12)
    st = (-250.0, 0.0, 0.0, 0.0, 0.0)
    best_x, best_y, xs, ys = sweep(lambda th: larc_shear(*tractions(th, *st)), -math.pi,
                                   math.pi, 2.0)
    rmc, theta = larc04(YC, *st, sainc=2.0)
    assert rmc == pytest.approx(best_y, rel=1e-12)
    # one of the samples -144, -36, 36 and 144 degrees of the same two planes
    k = np.flatnonzero(xs == theta)
    assert k.size == 1 and ys[k[0]] == pytest.approx(best_y, rel=1e-12)


def test_larc04_golden_mode_finds_the_global_maximum_of_random_states():
    rng = np.random.default_rng(12)
    for _ in range(100):
        s11 = rng.uniform(-1000.0, 600.0)
        st = (-rng.uniform(0.0, 100.0), *rng.uniform(-100.0, 100.0, 4))  # matrix compression
        if s11 >= YC:  # the given stresses over -pi to pi
            fine = fine_maximum(lambda th: larc_shear(*tractions(th, *st)), -math.pi, math.pi)
        else:  # those of the misalignment frame over 0 to pi
            m = misaligned(s11, *st)
            fine = fine_maximum(lambda th: larc_shear(*tractions(th, *m[1:])), 0.0, math.pi)
        rmc, _ = larc04(s11, *st, sainc=5.0, gsflag=1)
        assert rmc == pytest.approx(fine, rel=1e-3), (s11, st)


def test_larc04_without_a_root_for_phic_is_a_note():
    # x12 large against xc11: 1 - 4 m k < 0
    rmc, theta = larc04(-500.0, -80.0, -20.0, 30.0, 10.0, 25.0, xc11=100.0)
    assert (rmc, theta) == (0.0, -1.0)
    assert errstat() == -1
    assert errtext() == ("Note: Negative root during LaRC04 failure" + NOTE_TAIL)[:80]


# ------------------------------------------------------------------ refused scans, bad input

BAD_STEPS = [0.0, -5.0, math.nan, -math.inf, math.inf, 1e-9, 1e-3 * 0.9]
ROUTINES = {"puck": "MCrckPuck", "wiegand": "MCrckWiegand", "camanho": "MCrckCamanho",
            "spc3d": "MCrckSPC3D", "vdi2014": "MCrckVDI2014", "larc05": "MCrckLaRC05",
            "larc04": "MCrckLaRC04"}


def call_any(name, st, sainc=5.0, **kw):
    """rmc, outtheta of the action-plane criterion name; LaRC04 with s11 = -500."""
    if name == "larc04":
        return larc04(-500.0, *st, sainc=sainc, **kw)
    return CRITERIA[name][0](st, sainc, **kw)


@pytest.mark.parametrize("sainc", BAD_STEPS)
@pytest.mark.parametrize("name", ROUTINES)
def test_scan_that_would_not_end_is_refused(name, sainc):
    rmc, theta = call_any(name, (-250.0, 0.0, 30.0, 0.0, 0.0), sainc, outtheta=-2.0)
    assert (rmc, theta) == (0.0, -2.0)
    assert errstat() == -3
    assert errtext() == (
        f"Angle search step not finite, not positive or too small in {ROUTINES[name]}")


@pytest.mark.parametrize("sainc", [1e300, 181.0])
@pytest.mark.parametrize("name", CRITERIA)
def test_a_scan_step_wider_than_the_range_takes_its_lower_end(name, sainc):
    call, index, (xlow, _) = CRITERIA[name]
    st = (-120.0, -30.0, 40.0, 15.0, 25.0)
    assert call(st, sainc)[0] == pytest.approx(index(np.array([xlow]), st)[0], rel=1e-12)
    assert errstat() == 0


def spc3d_narrow(salims, **kw):
    return mc.mcrckspc3d(300.0, 0.0, 0.0, 0.0, 0.0, 1500.0, 1200.0, 50.0, 200.0, 50.0, 200.0,
                         80.0, 80.0, 60.0, outtheta=-1.0, salims=salims, **kw)


def test_spc3d_range_narrower_than_the_step_takes_its_lower_end():
    # s22 alone on the plane at 30 degrees: sn = 300 sin^2, tt = -300 sin cos, tl = 0
    s, c, h = math.sin(30 * DEG), math.cos(30 * DEG), math.sin(60 * DEG)
    f = 300.0 * s * s / (50.0 * s * s + 50.0 * c * c + 60.0 * h)
    t = -300.0 * s * c / (100.0 * h + 60.0)
    expected = 0.3 * f + math.sqrt((0.7 * f)**2 + t**2)
    assert expected == pytest.approx(1.2455, abs=1e-4)
    for salims in ([30.0, 31.0], [30.0, 30.0]):
        rmc, theta = spc3d_narrow(salims, sainc=5.0)
        assert rmc == pytest.approx(expected, rel=1e-13)
        assert theta == pytest.approx(30 * DEG, rel=1e-15)
    assert errstat() == 0
    # the golden mode searches the degree
    assert spc3d_narrow([30.0, 31.0], sainc=5.0, gsflag=1)[0] >= expected
    assert errstat() == 0


@pytest.mark.parametrize("gsflag", [0, 1])
def test_a_reversed_range_is_refused(gsflag):
    assert spc3d_narrow([31.0, 30.0], sainc=0.5, gsflag=gsflag) == (0.0, -1.0)
    assert (errstat(), errtext()) == (-3, "Angle search range not finite or reversed in MCrckSPC3D")


def test_a_golden_search_takes_any_step():
    st = (-250.0, 0.0, 30.0, 0.0, 0.0)
    _, best_y, _, _ = sweep(lambda th: puck(th, st), sainc=0.01)
    for sainc in (0.0, -5.0, math.nan, math.inf, 1e300):
        rmc, _, _ = mc.mcrckpuck(*st, YT, YC, SL, sainc=sainc, gsflag=1)
        assert rmc == pytest.approx(best_y, rel=1e-6)
    assert errstat() == 0


@pytest.mark.parametrize("bad", [math.nan, math.inf])
@pytest.mark.parametrize("k", range(5))
@pytest.mark.parametrize("name", ROUTINES)
def test_a_stress_that_is_not_finite_is_reported(name, k, bad):
    st = [-120.0, -30.0, 40.0, 15.0, 25.0]
    st[k] = bad
    for gsflag in (0, 1):
        _vorlen.errorhandling.rsxerr(1)
        rmc, theta = call_any(name, tuple(st), gsflag=gsflag, outtheta=-2.0)
        assert (errstat(), errtext()) == (-3, "Input not a finite number in " + ROUTINES[name])
        if math.isnan(bad):  # every plane's index is not a number: index 0 as the Part has it
            assert (rmc, theta) == (0.0, -2.0)


@pytest.mark.parametrize("k", range(7))
def test_puck_reports_a_strength_or_parameter_that_is_not_a_number(k):
    x, gp = [YT, YC, SL], [0.3, 0.2, 0.15, 0.15]
    if k < 3:
        x[k] = math.nan
    else:
        gp[k - 3] = math.nan
    mc.mcrckpuck(-120.0, -30.0, 40.0, 15.0, 25.0, *x, gp=gp)
    assert (errstat(), errtext()) == (-3, "Input not a finite number in MCrckPuck")


def test_vdi2014_fibre_stress_that_is_not_a_number_is_reported():
    # fe = NaN fails the test fe > 1e-6 and leaves the index unweakened, as for s11 = 0
    st = (-60.0, 20.0, -55.0, 10.0, -35.0)
    unweakened = mc.mcrckvdi2014(0.0, *st, 1500.0, 1200.0, YT, YC, SL)[0]
    assert errstat() == 0
    assert mc.mcrckvdi2014(math.nan, *st, 1500.0, 1200.0, YT, YC, SL)[0] == unweakened
    assert (errstat(), errtext()) == (-3, "Input not a finite number in MCrckVDI2014")


@pytest.mark.parametrize("vector,interphase", [
    ([30.0, math.nan, 10.0], None),
    ([0.0, 0.0, -20.0, 0.0, math.nan, 40.0], [20.0, 0.5]),
    ([0.0, 0.0, -20.0, 0.0, 30.0, 40.0], [20.0, math.nan]),
])
def test_bahei_reports_input_that_is_not_a_number(vector, interphase):
    # the efforts that are not numbers are skipped: index 0
    kw = {} if interphase is None else {"interphase": interphase}
    assert mc.mcrckbahei(vector, 50.0, 30.0, **kw) == (0.0, -1)
    assert (errstat(), errtext()) == (-3, "Input not a finite number in MCrckBahei")


def test_planes_whose_index_is_not_a_number_are_skipped_without_a_report():
    # Camanho's tension radicand is negative for a small normal traction when xt22 > x23, at
    # every plane but theta = 0, where sn = 0 gives index 0
    assert mc.mcrckcamanho(5.0, 0.0, 0.0, 0.0, 0.0, YT, YC, SL, 30.0, -1.0) == (0.0, -1.0)
    assert errstat() == 0
