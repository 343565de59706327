"""Core-crushing criteria of _vorlen.cccollection against hand values and numpy p-norms."""
import numpy as np
import pytest

import _vorlen

cc = _vorlen.cccollection

CALL_FORMS = [
    ("ccpetras", "rcc = ccpetras(s33u,s33m,s33l,taou,taom,taol,xc33,x13,x23)"),
    ("ccbesant", "rcc = ccbesant(s33u,s33m,s33l,taou,taom,taol,xc33,x13,x23,besantexponent)"),
]


@pytest.mark.parametrize("name,form", CALL_FORMS)
def test_call_form(name, form):
    assert getattr(cc, name).__doc__.splitlines()[0] == form


XC33, X13, X23 = 4.0, 2.0, 1.0
TAU = {"u": [0.2, -0.6], "m": [-0.5, 0.3], "l": [0.1, 0.1]}


def ratios(s33, tau):
    # the first shear component against x23, the second against x13
    return np.abs([s33 / XC33, tau[0] / X23, tau[1] / X13])


@pytest.mark.parametrize("s33", [(-1.0, -2.0, -0.5), (-3.0, 1.0, 0.0), (2.0, 0.0, 1.0)])
@pytest.mark.parametrize("p", [1.0, 2.0, 3.5])
def test_largest_point_index(s33, p):
    taus = [TAU["u"], TAU["m"], TAU["l"]]
    r = [np.sum(ratios(s, t)**p)**(1 / p) if s <= 0 else 1e-20 for s, t in zip(s33, taus)]
    petras = [np.sum(ratios(s, t)) if s <= 0 else 1e-20 for s, t in zip(s33, taus)]
    args = (*s33, *taus, XC33, X13, X23)
    assert cc.ccbesant(*args, p) == pytest.approx(max(r), rel=1e-14)
    assert cc.ccpetras(*args) == pytest.approx(max(petras), rel=1e-14)


def test_all_points_in_tension():
    args = (1.0, 2.0, 3.0, [5.0, 5.0], [5.0, 5.0], [5.0, 5.0], XC33, X13, X23)
    assert cc.ccpetras(*args) == 1e-20
    assert cc.ccbesant(*args, 2.0) == 1e-20
