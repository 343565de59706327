"""Shape functions of the 4-node quadrilateral against the bilinear interpolant through its
nodes, and the ordinal and node reports."""
import numpy as np
import pytest

import _vorlen
from conftest import errstat, errtext
from shape_lib import FAMILIES, orders_of, points, reference

q4 = _vorlen.quad4
NODES = range(1, 5)


@pytest.mark.parametrize("name,form", [
    ("quad4sf", "quad4sf = quad4sf(xi,eta,inode)"),
    ("quad4firstderivsf", "quad4firstderivsf = quad4firstderivsf(xi,eta,inode,idvar)"),
])
def test_call_forms(name, form):
    assert getattr(q4, name).__doc__.splitlines()[0] == form


@pytest.mark.parametrize("x", points(2) + FAMILIES["quad4"][0])
def test_against_the_interpolant(x):
    n = [q4.quad4sf(*x, i) for i in NODES]
    np.testing.assert_allclose(n, reference("quad4", x), atol=1e-14)
    assert sum(n) == pytest.approx(1.0)
    for k in (1, 2):
        d = [q4.quad4firstderivsf(*x, i, k) for i in NODES]
        np.testing.assert_allclose(d, reference("quad4", x, orders_of(k, dim=2)), atol=1e-14)


def test_reproduces_a_linear_field():
    corners = np.array(FAMILIES["quad4"][0], float)
    f = 2.0 + 3.0 * corners[:, 0] - 0.5 * corners[:, 1]
    x = (0.3, -0.6)
    assert sum(f[i - 1] * q4.quad4sf(*x, i) for i in NODES) == pytest.approx(2.0 + 0.9 + 0.3)
    assert sum(f[i - 1] * q4.quad4firstderivsf(*x, i, 2) for i in NODES) == pytest.approx(-0.5)


@pytest.mark.parametrize("call,message", [
    (lambda: q4.quad4sf(0.1, 0.2, 5), "Warning: Overflow in Quad4SF."),
    (lambda: q4.quad4sf(0.1, 0.2, 0), "Warning: Overflow in Quad4SF."),
    (lambda: q4.quad4firstderivsf(0.1, 0.2, 5, 1), "Warning: Overflow in Quad4FirstDerivSF.Xi."),
    (lambda: q4.quad4firstderivsf(0.1, 0.2, -1, 2), "Warning: Overflow in Quad4FirstDerivSF.Eta."),
    (lambda: q4.quad4firstderivsf(0.1, 0.2, 5, 0),
     "Warning: Invalid 1st ordinal in Quad4FirstDerivSF."),
])
def test_reports(clean_register, call, message):
    assert call() == 0.0
    assert (errstat(), errtext()) == (-2, message)
