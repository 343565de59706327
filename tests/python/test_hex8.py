"""Shape functions of the 8-node brick against the trilinear interpolant through its nodes,
and the ordinal and node reports."""
import numpy as np
import pytest

import _vorlen
from conftest import errstat, errtext
from shape_lib import FAMILIES, orders_of, ordinal_pairs, points, reference

h8 = _vorlen.hex8
NODES = range(1, 9)
NAMES = ("Xi", "Eta", "Zeta")


@pytest.mark.parametrize("name,form", [
    ("hex8sf", "hex8sf = hex8sf(xi,eta,zeta,inode)"),
    ("hex8firstderivsf", "hex8firstderivsf = hex8firstderivsf(xi,eta,zeta,inode,idvar)"),
    ("hex8secondderivsf",
     "hex8secondderivsf = hex8secondderivsf(xi,eta,zeta,inode,idvar,iidvar)"),
])
def test_call_forms(name, form):
    assert getattr(h8, name).__doc__.splitlines()[0] == form


@pytest.mark.parametrize("x", points(3) + FAMILIES["hex8"][0][:2])
def test_against_the_interpolant(x):
    n = [h8.hex8sf(*x, i) for i in NODES]
    np.testing.assert_allclose(n, reference("hex8", x), atol=1e-14)
    assert sum(n) == pytest.approx(1.0)
    for k in (1, 2, 3):
        d = [h8.hex8firstderivsf(*x, i, k) for i in NODES]
        np.testing.assert_allclose(d, reference("hex8", x, orders_of(k, dim=3)), atol=1e-14)
        assert sum(d) == pytest.approx(0.0, abs=1e-14)
    for a, b in ordinal_pairs(3):
        d2 = [h8.hex8secondderivsf(*x, i, a, b) for i in NODES]
        np.testing.assert_allclose(d2, reference("hex8", x, orders_of(a, b, dim=3)),
                                   atol=1e-14)


def test_xi_eta_pair_on_the_top_face():
    got = [h8.hex8secondderivsf(0.3, -0.2, 1.0, i, 1, 2) for i in NODES]
    assert got == [0, 0, 0, 0, 0.25, -0.25, 0.25, -0.25]


@pytest.mark.parametrize("a,b", ordinal_pairs(3))
def test_node_report_for_every_pair(clean_register, a, b):
    assert h8.hex8secondderivsf(0.1, 0.2, 0.3, 9, a, b) == 0.0
    assert (errstat(), errtext()) == (-2, f"Warning: Overflow in Hex8SecondDerivSF.{NAMES[a - 1]}{NAMES[b - 1]}.")


@pytest.mark.parametrize("call,message", [
    (lambda: h8.hex8sf(0.1, 0.2, 0.3, 0), "Warning: Overflow in Hex8SF."),
    (lambda: h8.hex8firstderivsf(0.1, 0.2, 0.3, 9, 1), "Warning: Overflow in Hex8FirstDerivSF.Xi."),
    (lambda: h8.hex8firstderivsf(0.1, 0.2, 0.3, 9, 2), "Warning: Overflow in Hex8FirstDerivSF.Eta."),
    (lambda: h8.hex8firstderivsf(0.1, 0.2, 0.3, 9, 3),
     "Warning: Overflow in Hex8FirstDerivSF.Zeta."),
    (lambda: h8.hex8firstderivsf(0.1, 0.2, 0.3, 9, 4),
     "Warning: Invalid 1st ordinal in Hex8FirstDerivSF."),
    (lambda: h8.hex8secondderivsf(0.1, 0.2, 0.3, 9, 0, 1),
     "Warning: Invalid 1st ordinal in Hex8SecondDerivSF"),
    (lambda: h8.hex8secondderivsf(0.1, 0.2, 0.3, 9, 3, 4),
     "Warning: Invalid 2nd ordinal in Hex8SecondDerivSF."),
])
def test_reports(clean_register, call, message):
    assert call() == 0.0
    assert (errstat(), errtext()) == (-2, message)
