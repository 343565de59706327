"""Shape functions of the 3-node line element against the quadratic through its nodes."""
import numpy as np
import pytest

import _vorlen
from conftest import errstat, errtext
from shape_lib import points, reference

t3 = _vorlen.truss3


@pytest.mark.parametrize("name,form", [
    ("truss3sf", "truss3sf = truss3sf(xi,inode)"),
    ("truss3firstderivsf", "truss3firstderivsf = truss3firstderivsf(xi,inode)"),
])
def test_call_forms(name, form):
    assert getattr(t3, name).__doc__.splitlines()[0] == form


@pytest.mark.parametrize("x", points(1) + [(-1.0,), (0.0,), (1.0,)])
def test_values_and_derivatives(x):
    n = [t3.truss3sf(x[0], i) for i in (1, 2, 3)]
    d = [t3.truss3firstderivsf(x[0], i) for i in (1, 2, 3)]
    np.testing.assert_allclose(n, reference("truss3", x), atol=1e-14)
    np.testing.assert_allclose(d, reference("truss3", x, (1,)), atol=1e-14)
    assert sum(n) == pytest.approx(1.0) and sum(d) == pytest.approx(0.0, abs=1e-14)


def test_derivative_is_the_slope():
    h, x = 1e-6, 0.37
    for i in (1, 2, 3):
        slope = (t3.truss3sf(x + h, i) - t3.truss3sf(x - h, i)) / (2 * h)
        assert t3.truss3firstderivsf(x, i) == pytest.approx(slope, abs=1e-8)


@pytest.mark.parametrize("fn,message", [
    (t3.truss3sf, "Warning: Overflow in Truss3SF."),
    (t3.truss3firstderivsf, "Warning: Overflow in Truss3FirstDerivSF."),
])
@pytest.mark.parametrize("node", [0, -1, 4])
def test_node_out_of_range(clean_register, fn, message, node):
    assert fn(0.3, node) == 0.0
    assert (errstat(), errtext()) == (-2, message)
