"""Element and nodal coordinate systems of module elementhandling: nodal systems against the
tangents of the map through the nodes (shape_lib), element systems of flat, turned, skewed and
cylindrical elements, and the reference data of all elements in the store."""
import numpy as np
import pytest

import _vorlen
from conftest import errstat, errtext
from shape_lib import FAMILIES, orders_of, reference

eh = _vorlen.elementhandling
NODES = {8: "quad8", 6: "tria6"}
UNSET = np.full(7, -1.0)
GLOBAL = np.array([0.0, 1, 0, 0, 0, 1, 0])


def natural(inodes):
    return np.array(FAMILIES[NODES[inodes]][0], float)


def element(inodes, a=((2.0, 0.0), (0.0, 1.0)), z=None, turn=np.eye(3), shift=(0, 0, 0)):
    """on(8, 3): the natural nodes mapped by the 2x2 matrix a, lifted by z(x, y), turned by the
    rotation matrix turn and shifted."""
    xy = natural(inodes) @ np.asarray(a).T
    pts = np.zeros((inodes, 3))
    pts[:, :2] = xy
    if z is not None:
        pts[:, 2] = z(xy[:, 0], xy[:, 1])
    on = np.zeros((8, 3), order="F")
    on[:inodes] = pts @ turn.T + shift
    return on


def rotation(axis, deg):
    axis = np.asarray(axis, float) / np.linalg.norm(axis)
    k = np.array([[0, -axis[2], axis[1]], [axis[2], 0, -axis[0]], [-axis[1], axis[0], 0]])
    t = np.radians(deg)
    return np.eye(3) + np.sin(t) * k + (1 - np.cos(t)) * k @ k


def assert_orthonormal(t):
    np.testing.assert_allclose(t @ t.T, np.eye(3), atol=1e-12)
    assert np.linalg.det(t) == pytest.approx(1.0)


@pytest.mark.parametrize("name,form", [
    ("getnodalshape", "nshape = getnodalshape(locnode,inodes)"),
    ("getnodaltransformation", "ti = getnodaltransformation(on,inodes)"),
    ("getsectionreforientation", "theta = getsectionreforientation(so,nvector,r12)"),
    ("getelementtransformation", "tcurv,origin,kappa = getelementtransformation(on,refdir,inodes)"),
    ("getnodereferencedata", "lop = getnodereferencedata([tflag])"),
])
def test_call_forms(name, form):
    assert getattr(eh, name).__doc__.splitlines()[0] == form


@pytest.mark.parametrize("inodes,fn", [(6, eh.tria6shapefunmatrix), (8, eh.quad8shapefunmatrix)])
def test_nodal_shape_at_each_node(clean_register, inodes, fn):
    for l, pos in enumerate(natural(inodes), start=1):
        np.testing.assert_array_equal(eh.getnodalshape(l, inodes), fn(*pos))
    assert errstat() == 0


@pytest.mark.parametrize("locnode,inodes,code,message", [
    (0, 8, -2, "Local node outside the element in GetNodalShape"),
    (7, 6, -2, "Local node outside the element in GetNodalShape"),
    (1, 4, -3, "Unknown or invalid number of nodes"),
])
def test_nodal_shape_refused(clean_register, locnode, inodes, code, message):
    assert not eh.getnodalshape(locnode, inodes).any()
    assert (errstat(), errtext()) == (code, message)


def test_nodal_systems_of_a_flat_rectangle():
    ti = eh.getnodaltransformation(element(8), 8)
    for l in range(8):
        np.testing.assert_allclose(ti[:, :, l], np.eye(3), atol=1e-14)


@pytest.mark.parametrize("inodes", [8, 6])
def test_nodal_systems_of_a_warped_skew_element(inodes):
    on = element(inodes, a=((1.5, 0.7), (0.2, 1.1)), z=lambda x, y: 0.3 * x * y + 0.1 * y * y,
                 turn=rotation((1, 2, 3), 40))
    ti = eh.getnodaltransformation(on, inodes)
    for l, pos in enumerate(natural(inodes)):
        g1 = reference(NODES[inodes], pos, orders_of(1, dim=2)) @ on[:inodes]
        g2 = reference(NODES[inodes], pos, orders_of(2, dim=2)) @ on[:inodes]
        e1, e2 = g1 / np.linalg.norm(g1), g2 / np.linalg.norm(g2)
        t = ti[:, :, l]
        assert_orthonormal(t)
        n = np.cross(g1, g2)
        np.testing.assert_allclose(t[2], n / np.linalg.norm(n), atol=1e-12)
        # t1 and t2 lie 45 degrees on either side of the bisector of e1 and e2
        bis = (e1 + e2) / np.linalg.norm(e1 + e2)
        assert t[0] @ bis == pytest.approx(np.sqrt(0.5)) and t[1] @ bis == pytest.approx(np.sqrt(0.5))
        assert t[0] @ e1 > t[0] @ e2
    assert not ti[:, :, inodes:].any()


@pytest.mark.parametrize("inodes,on,message", [
    (7, element(8), "Node count other than 6 or 8 in GetNodalTransformation"),
    (8, np.ones((8, 3), order="F"), "Coincident nodes in GetNodalTransformation"),
])
def test_nodal_systems_refused(clean_register, inodes, on, message):
    ti = eh.getnodaltransformation(on, inodes)
    assert not ti.any()
    assert (errstat(), errtext()) == (-3, message)


C30, S30 = np.cos(np.pi / 6), np.sin(np.pi / 6)
NEAR_A = [9470.80963129242, -7037.352358069926, -12654.214710460525]
NEAR_B = [16325.59536279379, -12130.849578442629, -21813.08642444977]  # cosine rounds above 1


@pytest.mark.parametrize("so,nvector,r12,theta", [
    ((2, 0, 0), (0, 0, 1), (1, 0, 0), 0.0),
    ((-2, 0, 0), (0, 0, 1), (1, 0, 0), np.pi),
    ((C30, S30, 0), (0, 0, 1), (1, 0, 0), np.pi / 6),
    ((C30, -S30, 0), (0, 0, 1), (1, 0, 0), -np.pi / 6),
    ((C30, S30, 0), (0, 0, -1), (1, 0, 0), -np.pi / 6),
    ((0, 0, 0), (0, 0, 1), (1, 0, 0), np.pi),
    (NEAR_B, (0, 0, 1), NEAR_A, 0.0),
])
def test_section_reference_orientation(so, nvector, r12, theta):
    got = eh.getsectionreforientation(np.array(so, float), np.array(nvector, float),
                                      np.array(r12, float))
    assert got == pytest.approx(theta, abs=1e-7)


def test_flat_rectangle_is_the_global_system():
    tcurv, origin, kappa = eh.getelementtransformation(element(8, shift=(1, 2, 3)), GLOBAL, 8)
    np.testing.assert_allclose(tcurv, np.eye(3), atol=1e-14)
    np.testing.assert_allclose(origin, [1, 2, 3], atol=1e-14)
    assert not kappa.any()


@pytest.mark.parametrize("refdir", [UNSET, np.zeros(7), np.array([0, 0, 0, 0, 0, 1, 0.0])])
def test_records_without_directions_give_no_reference_angle(clean_register, refdir):
    tcurv, _, _ = eh.getelementtransformation(element(8), refdir, 8)
    np.testing.assert_allclose(tcurv, np.eye(3), atol=1e-14)
    assert errstat() == 0


def test_reference_direction_turns_the_element_axis():
    # directions at 30 and 120 degrees: the second lies more across x0 = e1, which selects the
    # first as so, 30 degrees from the edge 1-2
    ref = np.array([0.0, C30, S30, 0, -S30, C30, 0])
    tcurv, _, _ = eh.getelementtransformation(element(8), ref, 8)
    np.testing.assert_allclose(tcurv[0], [C30, S30, 0], atol=1e-12)
    assert_orthonormal(tcurv)


def test_sixty_degree_parallelogram():
    a = ((1.0, np.cos(np.pi / 3)), (0.0, np.sin(np.pi / 3)))
    tcurv, _, _ = eh.getelementtransformation(element(8, a=a), UNSET, 8)
    x = tcurv[0]
    assert np.degrees(np.arccos(x @ [1, 0, 0])) == pytest.approx(15.0)
    assert x[1] < 0  # away from e2
    assert_orthonormal(tcurv)


@pytest.mark.parametrize("inodes", [8, 6])
def test_system_turns_with_the_element(inodes):
    z = lambda x, y: 0.05 * x * x - 0.02 * x * y
    a = ((1.5, 0.4), (-0.3, 1.2))
    ref = np.array([10.0, 0.6, 0.8, 0, -0.8, 0.6, 0])
    t0, o0, k0 = eh.getelementtransformation(element(inodes, a=a, z=z), ref, inodes)
    q = rotation((1, -1, 2), 35)
    refq = ref.copy()
    refq[1:4], refq[4:7] = q @ ref[1:4], q @ ref[4:7]
    t1, o1, k1 = eh.getelementtransformation(element(inodes, a=a, z=z, turn=q, shift=(3, 1, 2)),
                                             refq, inodes)
    assert_orthonormal(t1)
    np.testing.assert_allclose(t1, t0 @ q.T, atol=1e-12)
    np.testing.assert_allclose(o1, q @ o0 + [3, 1, 2], atol=1e-12)
    np.testing.assert_allclose(k1, k0, rtol=1e-10)


def test_triangle_origin_is_opposite_the_longest_edge():
    _, origin, _ = eh.getelementtransformation(element(6, a=((3.0, 0.5), (0.0, 1.0))), UNSET, 6)
    # corners (0,0), (3,0), (0.5,1): the edge 1-2 is the longest, corner 3 the origin
    np.testing.assert_allclose(origin, [0.5, 1.0, 0.0])


@pytest.mark.parametrize("half_angle", [10.0, 25.0])
def test_cylinder_curvature(half_angle):
    # a cylinder of radius R about the y-axis, the element spanning +-half_angle in x
    r, al = 2.0, np.radians(half_angle)
    on = np.zeros((8, 3), order="F")
    for k, (s, t) in enumerate(natural(8)):
        ang = s * al
        on[k] = [r * np.sin(ang), 0.7 * t, r * np.cos(ang)]
    tcurv, _, kappa = eh.getelementtransformation(on, UNSET, 8)
    np.testing.assert_allclose(kappa, [-2 / (r * (1 + np.cos(al))), 0.0], rtol=1e-12, atol=1e-14)
    assert_orthonormal(tcurv)
    np.testing.assert_allclose(tcurv[2], [0, 0, 1], atol=1e-12)


@pytest.mark.parametrize("inodes,on,message", [
    (4, element(8), "Unknown or unsupported element type."),
    (8, np.ones((8, 3), order="F"), "Coincident nodes in GetElementTransformation"),
])
def test_element_system_refused(clean_register, inodes, on, message):
    tcurv, origin, kappa = eh.getelementtransformation(on, GLOBAL, inodes)
    assert np.isfinite(origin).all() and not tcurv.any() and not kappa.any()
    assert (errstat(), errtext()) == (-3, message)


@pytest.fixture
def store(clean_store):
    """Four elements of 8 node slots: a skew quadrilateral (kind 4), a triangle (kind 8), a
    4-node shell without mid-side coordinates (kind 1) and a brick (kind 11)."""
    v = clean_store
    v.datahandling.allocateelementdata(8, 4)
    v.datahandling.allocatenodaldata(6, 8, 4)
    v.elementdata.nelem, v.nodaldata.nnodes = 4, 8
    v.elementdata.elemkind[:] = [4, 8, 1, 11]
    v.elementdata.elemreforientation[:] = UNSET[:, None]
    z = lambda x, y: 0.1 * x * x
    quad = element(8, a=((1.5, 0.4), (-0.3, 1.2)), z=z, turn=rotation((1, 1, 0), 20))
    tria = element(6, a=((2.0, 0.5), (0.2, 1.0)), shift=(5, 0, 0))
    four = element(8, shift=(0, 5, 0))
    four[4:] = 0.0
    for e, on in enumerate([quad, tria, four, element(8)]):
        v.nodaldata.nodalcoords[:, :, e] = on.T
    return v, [quad, tria, four]


def test_reference_data_of_the_store(store):
    v, (quad, tria, four) = store
    assert eh.getnodereferencedata() == 0
    for e, (on, n) in enumerate([(quad, 8), (tria, 6)]):
        tcurv, origin, kappa = eh.getelementtransformation(on, UNSET, n)
        np.testing.assert_allclose(v.nodaldata.tcurvmatrices[:, :, e], tcurv, atol=1e-14)
        np.testing.assert_allclose(v.elementdata.elemcurvatures[:, e], kappa, atol=1e-14)
        np.testing.assert_allclose(v.nodaldata.tnodalmatrices[:, :, :, e],
                                   eh.getnodaltransformation(on, n), atol=1e-14)
        local = (on[:n] - origin) @ tcurv.T
        np.testing.assert_allclose(v.nodaldata.nodalcoords[:, :n, e], local.T, atol=1e-12)
    # the kind-1 element without mid-side nodes and the brick are skipped
    assert not v.nodaldata.tcurvmatrices[:, :, 2:].any()
    np.testing.assert_array_equal(v.nodaldata.nodalcoords[:, :, 2], four.T)


def test_reference_data_keeps_global_coordinates_with_tflag_1(store):
    v, (quad, _, _) = store
    assert eh.getnodereferencedata(1) == 0
    np.testing.assert_array_equal(v.nodaldata.nodalcoords[:, :, 0], quad.T)
    assert v.nodaldata.tcurvmatrices[:, :, 0].any()


@pytest.mark.parametrize("kind", [12, -1])
def test_unknown_kind_stops_the_reference_data(store, kind):
    v, _ = store
    v.elementdata.elemkind[1] = kind
    assert eh.getnodereferencedata() == -3
    assert (errstat(), errtext()) == (-3, "Unknown element type detected")
    assert v.nodaldata.tcurvmatrices[:, :, 0].any() and not v.nodaldata.tcurvmatrices[:, :, 1].any()


def test_short_tables_stop_the_reference_data(store):
    v, _ = store
    v.elementdata.elemcurvatures = np.zeros((2, 1), order="F")
    assert eh.getnodereferencedata() == -3
    assert (errstat(), errtext()) == (-3, "Tables shorter than the element kinds need in "
                                          "GetNodeReferenceData")
    assert v.nodaldata.tcurvmatrices[:, :, 0].any() and not v.nodaldata.tcurvmatrices[:, :, 1].any()


def test_reference_data_without_tables(clean_store):
    clean_store.datahandling.allocateelementdata(8, 2)
    assert eh.getnodereferencedata() == 0
