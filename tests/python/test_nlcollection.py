"""Non-linear shear, cycle and temperature laws against their closed forms."""
import math

import numpy as np
import pytest

import _vorlen
from conftest import errstat

nl = _vorlen.nlcollection


pytestmark = pytest.mark.usefixtures("clean_register")


CALL_FORMS = [
    (nl, "nlkaestner", "dnl = nlkaestner(beta,eps)"),
    (nl, "nlkrause", "dnl = nlkrause(beta,eps)"),
    (nl, "pure_nlhahntsai", "dnl = pure_nlhahntsai(tg,beta,sig,eps)"),
    (nl, "recu_nlhahntsai", "dout = recu_nlhahntsai(args,[na,ns])"),
    (nl, "nladam", "dnl = nladam(l,x,n,nf,alpha,beta,[lg])"),
    (nl, "nlmahieux", "nlmahieux = nlmahieux(t,props,m,[ntrans])"),
    (nl, "nlgibson", "nlgibson = nlgibson(t,props,xi,[ntrans])"),
    (_vorlen.lamina, "getmatparambycurvefitting",
     "getmatparambycurvefitting = getmatparambycurvefitting(l,eta,stress0,strain0,dstrain,nlflag)"),
]


@pytest.mark.parametrize("mod,name,form", CALL_FORMS)
def test_call_form(mod, name, form):
    assert getattr(mod, name).__doc__.splitlines()[0] == form


@pytest.mark.parametrize("eps", [0.0, 0.01, -0.01, 0.2, -3.0])
def test_kaestner_and_krause(eps):
    beta = 7.0
    assert nl.nlkaestner(beta, eps) == pytest.approx(1 - 1 / (1 + beta * abs(eps)), abs=1e-15)
    assert nl.nlkrause(beta, eps) == pytest.approx(1 - math.exp(-beta * abs(eps)), abs=1e-15)


def test_kaestner_and_krause_limits():
    assert nl.nlkaestner(2.0, 1e300) == 1.0 and nl.nlkrause(2.0, 1e300) == 1.0
    assert nl.nlkaestner(1e-6, 1e-3) == pytest.approx(1e-9, rel=1e-6)
    assert nl.nlkrause(1e-6, 1e-3) == pytest.approx(1e-9, rel=1e-6)


def test_hahn_tsai_measure():
    tg, beta, sig, eps = 5000.0, 1e-6, 40.0, 0.0095
    expected = (3 * beta * tg * sig**2 - 2 * beta * sig**3 / eps) / (3 * beta * tg * sig**2 + 1)
    assert nl.pure_nlhahntsai(tg, beta, sig, eps) == pytest.approx(expected, rel=1e-14)
    assert nl.pure_nlhahntsai(tg, beta, sig, 0.0) == 0.0
    assert nl.recu_nlhahntsai([sig, eps, tg, beta]) == pytest.approx(expected, rel=1e-14)


def test_hahn_tsai_fixed_point_map():
    sig, eps, tg, beta = 40.0, 0.0095, 5000.0, 1e-6
    dnl = nl.pure_nlhahntsai(tg, beta, sig, eps)
    assert nl.recu_nlhahntsai([sig, eps, tg, beta], ns=2) == pytest.approx(eps * tg * (1 - dnl))
    assert nl.recu_nlhahntsai([sig, 0.0, tg, beta], ns=2) == 0.0


@pytest.mark.parametrize("eps", [0.002, 0.01, 0.03])
def test_hahn_tsai_at_the_stress_consistent_with_the_strain(eps):
    tg, beta = 5000.0, 2e-6
    r = np.roots([beta, 0.0, 1 / tg, -eps])  # eps = sig/tg + beta sig^3
    sig = r[np.abs(r.imag) < 1e-9].real[0]
    got = nl.recu_nlhahntsai([0.5 * sig, eps, tg, beta], ns=1)
    # the iteration stops within 0.001 of the stress
    assert got == pytest.approx(nl.pure_nlhahntsai(tg, beta, sig, eps), abs=1e-6)
    assert errstat() == 0


def test_hahn_tsai_needs_four_values():
    assert nl.recu_nlhahntsai([1.0, 2.0, 3.0], ns=1) == 0.0
    assert errstat() == -3


def test_adam_residual_law():
    l, x, n, nf, alpha, beta = 100.0, 40.0, 1e3, 1e6, 2.0, 1.5
    a = b = math.log10(0.25)
    f = ((math.log10(n) - a) / (math.log10(nf) - b)) ** beta
    residual = x + (l - x) * (1 - f) ** (1 / alpha)
    assert nl.nladam(l, x, n, nf, alpha, beta) == pytest.approx(1 - residual / l, rel=1e-14)
    assert nl.nladam(l, x, 0.25, nf, alpha, beta) == 0.0           # n = lg(1): f = 0
    assert nl.nladam(l, x, nf, nf, alpha, beta) == pytest.approx(1 - x / l)  # n = nf: L = x
    assert nl.nladam(l, x, 10.0, 1e4, alpha, beta, [10.0, 10.0]) == 0.0


PROPS = [10.0, 300.0, 6.0, 420.0, 1.0]  # P0, T1, P1, T2, P2


def test_mahieux():
    m = [4.0, 20.0]
    t = 350.0
    expected = 1.0 + (10 - 6) * math.exp(-(t / 300) ** 4) + (6 - 1) * math.exp(-(t / 420) ** 20)
    assert nl.nlmahieux(t, PROPS, m) == pytest.approx(expected, rel=1e-14)
    assert nl.nlmahieux(0.0, PROPS, m) == 10.0
    assert nl.nlmahieux(1e4, PROPS, m) == pytest.approx(1.0)


def test_gibson():
    xi = [0.5, 2.0]
    t = 350.0
    expected = ((6 + 10) / 2 - (10 - 6) / 2 * math.tanh(0.5 * t / 300)
                + (1 + 6) / 2 - (6 - 1) / 2 * math.tanh(2.0 * t / 420))
    assert nl.nlgibson(t, PROPS, xi) == pytest.approx(expected, rel=1e-14)
    assert nl.nlgibson(0.0, PROPS[:3], xi[:1]) == 8.0
    assert nl.nlgibson(1e6, PROPS[:3], xi[:1]) == pytest.approx(6.0)


def test_temperature_laws_check_the_length_of_props():
    with pytest.raises(ValueError, match="0-th dimension must be fixed to 3 but got 4"):
        nl.nlmahieux(1.0, [1.0, 2.0, 3.0, 4.0], [1.0])


@pytest.mark.parametrize("nlflag", [1, 2])
def test_material_parameter_by_the_strain_laws(nlflag):
    law = nl.nlkaestner if nlflag == 1 else nl.nlkrause
    expected = (1 - law(3.0, 0.015)) * 200.0
    got = _vorlen.lamina.getmatparambycurvefitting(200.0, 3.0, 55.0, 0.01, 0.005, nlflag)
    assert got == pytest.approx(expected, rel=1e-15)


def test_material_parameter_by_hahn_tsai_and_unknown_laws():
    g = _vorlen.lamina.getmatparambycurvefitting
    expected = (1 - nl.recu_nlhahntsai([30.0, 0.01, 5000.0, 1e-6], ns=1)) * 5000.0
    assert g(5000.0, 1e-6, 30.0, 0.01, 0.5, 3) == pytest.approx(expected, rel=1e-15)
    assert g(5000.0, 1e-6, 30.0, 0.01, 0.5, 0) == 5000.0
    assert g(5000.0, 1e-6, 30.0, 0.01, 0.5, 9) == 5000.0
