"""Shape functions of the 6-node triangle against the quadratic interpolant through its nodes,
partition of unity, central differences, and the ordinal and node reports."""
import numpy as np
import pytest

import _vorlen
from conftest import errstat, errtext
from shape_lib import FAMILIES, orders_of, ordinal_pairs, reference

t6 = _vorlen.tria6
NODES = range(1, 7)
POINTS = [(0.25, 0.25), (0.1, 0.7), (0.6, 0.3), (-0.2, 0.4), (1.3, -0.5)]


@pytest.mark.parametrize("name,form", [
    ("tria6sf", "tria6sf = tria6sf(xi,eta,inode)"),
    ("tria6firstderivsf", "tria6firstderivsf = tria6firstderivsf(xi,eta,inode,idvar)"),
    ("tria6secondderivsf",
     "tria6secondderivsf = tria6secondderivsf(xi,eta,inode,idvar,iidvar)"),
])
def test_call_forms(name, form):
    assert getattr(t6, name).__doc__.splitlines()[0] == form


@pytest.mark.parametrize("x", POINTS)
def test_against_the_interpolant(x):
    n = [t6.tria6sf(*x, i) for i in NODES]
    np.testing.assert_allclose(n, reference("tria6", x), atol=1e-13)
    assert sum(n) == pytest.approx(1.0)
    for k in (1, 2):
        d = [t6.tria6firstderivsf(*x, i, k) for i in NODES]
        np.testing.assert_allclose(d, reference("tria6", x, orders_of(k, dim=2)), atol=1e-13)
        assert sum(d) == pytest.approx(0.0, abs=1e-13)
    for a, b in ordinal_pairs(2):
        d2 = [t6.tria6secondderivsf(*x, i, a, b) for i in NODES]
        np.testing.assert_allclose(d2, reference("tria6", x, orders_of(a, b, dim=2)),
                                   atol=1e-12)


def test_first_derivatives_at_the_centre_of_the_legs():
    assert [t6.tria6firstderivsf(0.25, 0.25, i, 1) for i in NODES] == [-1, 0, 0, 1, 1, -1]


def test_kronecker_at_the_nodes():
    got = [[t6.tria6sf(*p, i) for i in NODES] for p in FAMILIES["tria6"][0]]
    np.testing.assert_allclose(got, np.eye(6), atol=1e-15)


def test_central_differences():
    h, x = 1e-5, (0.3, 0.2)
    for i in NODES:
        for k, step in ((1, (h, 0)), (2, (0, h))):
            up, dn = np.add(x, step), np.subtract(x, step)
            slope = (t6.tria6sf(*up, i) - t6.tria6sf(*dn, i)) / (2 * h)
            assert t6.tria6firstderivsf(*x, i, k) == pytest.approx(slope, abs=1e-8)
            for m in (1, 2):
                curve = (t6.tria6firstderivsf(*up, i, m) - t6.tria6firstderivsf(*dn, i, m)) / (2 * h)
                assert t6.tria6secondderivsf(*x, i, m, k) == pytest.approx(curve, abs=1e-7)


@pytest.mark.parametrize("call,message", [
    (lambda: t6.tria6sf(0.2, 0.2, 7), "Warning: Overflow in Tria6SF."),
    (lambda: t6.tria6sf(0.2, 0.2, 0), "Warning: Overflow in Tria6SF."),
    (lambda: t6.tria6firstderivsf(0.2, 0.2, 0, 1), "Warning: Overflow in Tria6.Xi."),
    (lambda: t6.tria6firstderivsf(0.2, 0.2, -3, 2), "Warning: Overflow in Tria6.Eta."),
    (lambda: t6.tria6firstderivsf(0.2, 0.2, 9, 3), "Warning: Invalid ordinal in Tria6FirstDerivSF."),
    (lambda: t6.tria6secondderivsf(0.2, 0.2, 7, 1, 1), "Overflow in Tria6.XiXi."),
    (lambda: t6.tria6secondderivsf(0.2, 0.2, 7, 1, 2), "Warning: Overflow in Tria6.XiEta."),
    (lambda: t6.tria6secondderivsf(0.2, 0.2, 7, 2, 1), "Warning: Overflow in Tria6.EtaXi."),
    (lambda: t6.tria6secondderivsf(0.2, 0.2, 7, 2, 2), "Warning: Overflow in Tria6.EtaEta."),
    (lambda: t6.tria6secondderivsf(0.2, 0.2, 9, 0, 5), "Warning: Invalid 1st ordinal in Tria6"),
    (lambda: t6.tria6secondderivsf(0.2, 0.2, 9, 2, 3), "Warning: Invalid 2nd ordinal in Tria6."),
])
def test_reports(clean_register, call, message):
    assert call() == 0.0
    assert (errstat(), errtext()) == (-2, message)
