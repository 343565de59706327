"""Shape functions of the 8-node serendipity quadrilateral against the interpolant through its
nodes in the serendipity basis, central differences, and the ordinal and node reports."""
import numpy as np
import pytest

import _vorlen
from conftest import errstat, errtext
from shape_lib import FAMILIES, orders_of, ordinal_pairs, points, reference

q8 = _vorlen.quad8
NODES = range(1, 9)


@pytest.mark.parametrize("name,form", [
    ("quad8sf", "quad8sf = quad8sf(xi,eta,inode)"),
    ("quad8firstderivsf", "quad8firstderivsf = quad8firstderivsf(xi,eta,inode,idvar)"),
    ("quad8secondderivsf",
     "quad8secondderivsf = quad8secondderivsf(xi,eta,inode,idvar,iidvar)"),
])
def test_call_forms(name, form):
    assert getattr(q8, name).__doc__.splitlines()[0] == form


@pytest.mark.parametrize("x", points(2) + [(1.0, 1.0), (0.0, 0.0)])
def test_against_the_interpolant(x):
    n = [q8.quad8sf(*x, i) for i in NODES]
    np.testing.assert_allclose(n, reference("quad8", x), atol=1e-13)
    assert sum(n) == pytest.approx(1.0)
    for k in (1, 2):
        d = [q8.quad8firstderivsf(*x, i, k) for i in NODES]
        np.testing.assert_allclose(d, reference("quad8", x, orders_of(k, dim=2)), atol=1e-13)
        assert sum(d) == pytest.approx(0.0, abs=1e-13)
    for a, b in ordinal_pairs(2):
        d2 = [q8.quad8secondderivsf(*x, i, a, b) for i in NODES]
        np.testing.assert_allclose(d2, reference("quad8", x, orders_of(a, b, dim=2)),
                                   atol=1e-13)


def test_kronecker_at_the_nodes():
    got = [[q8.quad8sf(*p, i) for i in NODES] for p in FAMILIES["quad8"][0]]
    np.testing.assert_allclose(got, np.eye(8), atol=1e-15)


def test_central_differences():
    h, x = 1e-5, (0.35, -0.45)
    for i in NODES:
        for k, step in ((1, (h, 0)), (2, (0, h))):
            up, dn = np.add(x, step), np.subtract(x, step)
            slope = (q8.quad8sf(*up, i) - q8.quad8sf(*dn, i)) / (2 * h)
            assert q8.quad8firstderivsf(*x, i, k) == pytest.approx(slope, abs=1e-8)
            for m in (1, 2):
                curve = (q8.quad8firstderivsf(*up, i, m) - q8.quad8firstderivsf(*dn, i, m)) / (2 * h)
                assert q8.quad8secondderivsf(*x, i, m, k) == pytest.approx(curve, abs=1e-7)


@pytest.mark.parametrize("call,message", [
    (lambda: q8.quad8sf(0.1, 0.2, 9), "Warning: Overflow in Quad8SF."),
    (lambda: q8.quad8firstderivsf(0.1, 0.2, 9, 1), "Warning: Overflow in Quad8FirstDerivSF.Xi."),
    (lambda: q8.quad8firstderivsf(0.1, 0.2, 0, 2), "Warning: Overflow in Quad8FirstDerivSF.Eta."),
    (lambda: q8.quad8firstderivsf(0.1, 0.2, 0, 3),
     "Warning: Invalid 1st ordinal in Quad8FirstDerivSF."),
    (lambda: q8.quad8secondderivsf(0.1, 0.2, 9, 1, 1),
     "Warning: Overflow in Quad8SecondDerivSF.XiXi."),
    (lambda: q8.quad8secondderivsf(0.1, 0.2, 9, 1, 2),
     "Warning: Overflow in Quad8SecondDerivSF.XiEta."),
    (lambda: q8.quad8secondderivsf(0.1, 0.2, 9, 2, 1),
     "Warning: Overflow in Quad8SecondDerivSF.EtaXi."),
    (lambda: q8.quad8secondderivsf(0.1, 0.2, -2, 2, 2),
     "Warning: Overflow in Quad8SecondDerivSF.EtaEta."),
    (lambda: q8.quad8secondderivsf(0.1, 0.2, 9, 3, 9),
     "Warning: Invalid 1st ordinal in Quad8SecondDerivSF"),
    (lambda: q8.quad8secondderivsf(0.1, 0.2, 9, 1, 0),
     "Warning: Invalid ordinal in Quad8SecondDerivSF."),
])
def test_reports(clean_register, call, message):
    assert call() == 0.0
    assert (errstat(), errtext()) == (-2, message)
