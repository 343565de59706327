"""Permanent indentation laws against their closed forms by hand."""
import pytest

import _vorlen

pc = _vorlen.permcollection

CALL_FORMS = [
    ("pitansunlinear", "a0 = pitansunlinear(amax,acr,ksc)"),
    ("pitansunnonlinear", "a0 = pitansunnonlinear(amax,acr)"),
    ("pisuresh", "a0,a1 = pisuresh(amax,acr,kcce,lbnds,llesscrit)"),
    ("piairbus", "a0 = piairbus(tges,delarea)"),
]


@pytest.mark.parametrize("name,form", CALL_FORMS)
def test_call_form(name, form):
    assert getattr(pc, name).__doc__.splitlines()[0] == form


@pytest.mark.parametrize("amax,acr,linear,nonlinear", [
    (0.5, 0.1, 0.3 * 0.4, 0.5 * (1 - 0.2**0.4)),
    (0.1, 0.1, 0.0, 0.0),  # at the critical indentation: nothing remains
    (0.05, 0.1, 0.0, 0.0),
])
def test_tan_sun(amax, acr, linear, nonlinear):
    assert pc.pitansunlinear(amax, acr, 0.3) == pytest.approx(linear, rel=1e-15)
    assert pc.pitansunnonlinear(amax, acr) == pytest.approx(nonlinear, rel=1e-15)


@pytest.mark.parametrize("amax,lbnds,llesscrit,a0,a1", [
    (0.5, 0, 1, 0.75 * 0.4, -1.0),
    (0.5, 0, 0, 0.0, -1.0),
    (0.05, 0, 1, 0.0, -1.0),
    (0.5, 1, 1, (1 - 0.667) * 0.4, 0.4),
    (0.5, 1, 0, 0.0, 0.0),
    (0.05, 1, 1, 0.0, 0.0),
])
def test_suresh(amax, lbnds, llesscrit, a0, a1):
    assert pc.pisuresh(amax, 0.1, 0.25, lbnds, llesscrit) == pytest.approx((a0, a1), rel=1e-15)


def test_airbus():
    assert pc.piairbus(4.0, 200.0) == pytest.approx(0.0009 * 200 * 4.0**-0.81, rel=1e-15)
