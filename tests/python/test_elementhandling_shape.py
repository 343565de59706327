"""Shape-function matrices of module elementhandling against the interpolants through the
nodes (shape_lib), column by column."""
import numpy as np
import pytest

import _vorlen
from shape_lib import orders_of, reference

eh = _vorlen.elementhandling
PLANE = [(), (1,), (2,), (1, 1), (2, 2), (1, 2)]  # N, N,xi, N,eta, N,xixi, N,etaeta, N,xieta


@pytest.mark.parametrize("name,form", [
    ("tria6shapefunmatrix", "nshape = tria6shapefunmatrix(xi,eta)"),
    ("quad8shapefunmatrix", "nshape = quad8shapefunmatrix(xi,eta)"),
    ("quad4shapefunmatrix", "nshape = quad4shapefunmatrix(xi,eta)"),
    ("hex8shapefunmatrix", "nshape = hex8shapefunmatrix(xi,eta,zeta)"),
])
def test_call_forms(name, form):
    assert getattr(eh, name).__doc__.splitlines()[0] == form


@pytest.mark.parametrize("family,fn,columns,x", [
    ("tria6", eh.tria6shapefunmatrix, PLANE, (0.2, 0.3)),
    ("tria6", eh.tria6shapefunmatrix, PLANE, (0.7, -0.1)),
    ("quad8", eh.quad8shapefunmatrix, PLANE, (0.4, -0.7)),
    ("quad8", eh.quad8shapefunmatrix, PLANE, (-1.0, 0.5)),
    ("quad4", eh.quad4shapefunmatrix, PLANE[:3], (0.4, -0.7)),
    ("hex8", eh.hex8shapefunmatrix, [(), (1,), (2,), (3,), None, None, None, (1, 2), (1, 3)],
     (0.3, -0.6, 0.8)),
])
def test_columns(family, fn, columns, x):
    got = fn(*x)
    assert got.shape == (len(reference(family, x)), len(columns))
    for j, ordinals in enumerate(columns):
        want = (np.zeros(got.shape[0]) if ordinals is None
                else reference(family, x, orders_of(*ordinals, dim=len(x))))
        np.testing.assert_allclose(got[:, j], want, atol=1e-13, err_msg=f"column {j + 1}")
