"""In-situ strengths of _vorlen.isscollection against hand calculations."""
import math

import numpy as np
import pytest

import _vorlen

iss = _vorlen.isscollection

CALL_FORMS = [
    ("insitularc04", "ys = insitularc04(elastic,gxc,xt22,x12,t,[tlim])"),
    ("insitupuckps", "xc = insitupuckps(xc11,xc22,x12,theta,[gp])"),
    ("insituchanglessard", "ys = insituchanglessard(xt22,ilss,tratio,dtmin_d,[atod])"),
]


@pytest.mark.parametrize("name,form", CALL_FORMS)
def test_call_form(name, form):
    assert getattr(iss, name).__doc__.splitlines()[0] == form


ELASTIC = [140e3, 9e3, 0.3, 4.6e3]  # E11, E22, nu12, G12
GXC = [0.26, 0.8]                   # GIc, GIIc


@pytest.mark.parametrize("t,tlim", [(0.000125, None), (0.0007, None), (0.2, 0.25), (0.25, 0.25)])
def test_larc04_thin_ply(t, tlim):
    ys = iss.insitularc04(ELASTIC, GXC, 60.0, 90.0, t, tlim)
    lam = 2 * (1 / 9e3 - 0.3**2 / 140e3)
    expected = [math.sqrt(8 * 0.26 / (lam * math.pi * t)), math.sqrt(8 * 0.8 * 4.6e3 / (math.pi * t))]
    np.testing.assert_allclose(ys, expected, rtol=1e-15)


@pytest.mark.parametrize("t,tlim", [(0.00071, None), (0.3, 0.25)])
def test_larc04_thick_ply(t, tlim):
    ys = iss.insitularc04(ELASTIC, GXC, 60.0, 90.0, t, tlim)
    factor = float(np.float32(1.12)) * math.sqrt(2.0)
    np.testing.assert_allclose(ys, [factor * 60.0, math.sqrt(2) * 90.0], rtol=1e-15)


def puck_by_hand(xc11, xc22, x12, theta, p12c=0.2, p22c=0.15):
    c2, s2 = math.cos(math.radians(2 * theta)), math.sin(math.radians(2 * theta))
    r = (1 - c2) / s2
    if xc22 / (2 * (1 + p22c)) / (math.sqrt(1 + 2 * p22c) * x12) >= r:
        b = (1 - c2) * p12c
        xi = 2 * x12 / (math.sqrt(s2**2 + b**2) + b)
    else:
        xi = 2 * r * xc22 / (s2 * ((xc22 / (2 * (1 + p22c) * x12))**2 + r**2))
    return xi, 2 * xc11 / (1 + c2) if theta != 90.0 else math.inf


@pytest.mark.parametrize("theta", [5.0, 30.0, 45.0, 60.0, 75.0])
def test_puck_off_axis_compression(theta):
    xi, xf = puck_by_hand(1200.0, 200.0, 80.0, theta)
    assert iss.insitupuckps(1200.0, 200.0, 80.0, theta) == pytest.approx(min(xi, xf), rel=1e-14)
    xi, xf = puck_by_hand(1200.0, 200.0, 80.0, theta, 0.35, 0.25)
    assert iss.insitupuckps(1200.0, 200.0, 80.0, theta, [0.0, 0.35, 0.0, 0.25]) == pytest.approx(
        min(xi, xf), rel=1e-14)


def test_puck_along_and_across_the_fibres():
    assert iss.insitupuckps(1200.0, 200.0, 80.0, 0.0) == 1200.0
    xi, _ = puck_by_hand(1200.0, 200.0, 80.0, 90.0)
    assert iss.insitupuckps(1200.0, 200.0, 80.0, 90.0) == pytest.approx(xi, rel=1e-12)
    assert xi == pytest.approx(200.0, rel=1e-12)  # the transverse compressive strength
    # the inter-fibre limit governs well off the fibres, the fibre limit close to them
    assert iss.insitupuckps(1200.0, 200.0, 80.0, 60.0) < 2 * 1200.0 / (1 + math.cos(math.radians(120)))


def test_chang_lessard():
    s = math.sin(math.radians(45.0))
    ys = iss.insituchanglessard(50.0, 70.0, 2.0, 45.0)
    np.testing.assert_allclose(ys, [50.0 * (1 + 1.3 * s / 2.0**0.7), 70.0], rtol=1e-15)
    ys = iss.insituchanglessard(50.0, 70.0, 2.0, 45.0, [1.0, 1.0, 0.5, 2.0])
    np.testing.assert_allclose(ys, [50.0 * (1 + s / 2.0), 70.0 * (1 + 0.5 * s / 4.0)], rtol=1e-15)
    np.testing.assert_array_equal(iss.insituchanglessard(50.0, 70.0, 2.0, 0.0), [50.0, 70.0])
