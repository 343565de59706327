"""Core-crushing criteria of _vorlen.cccollection against hand values and numpy p-norms."""
import numpy as np
import pytest

import _vorlen
from conftest import errstat, errtext

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


@pytest.mark.parametrize("k", range(9))  # s33 of a point (0-2) or a shear (3-8)
def test_a_point_that_is_not_a_number_is_reported(clean_register, k):
    # a comparison skips it: s33 = NaN counts as a point in tension
    values = [-1.0, -2.0, -0.5, *TAU["u"], *TAU["m"], *TAU["l"]]
    values[k] = np.nan
    args = (*values[:3], values[3:5], values[5:7], values[7:9], XC33, X13, X23)
    for routine, call in (("CCPetras", lambda: cc.ccpetras(*args)),
                          ("CCBesant", lambda: cc.ccbesant(*args, 2.0))):
        _vorlen.errorhandling.rsxerr(1)
        call()
        assert (errstat(), errtext()) == (-3, "Input not a finite number in " + routine)
