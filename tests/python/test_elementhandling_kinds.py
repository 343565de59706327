"""Element kinds, registration, nodal coordinates and motion per element, and the helpers on
nodal data of module elementhandling, on a 2 x 2 mesh of 4-node shells:

    7---8---9
    | 3 | 4 |
    4---5---6
    | 1 | 2 |
    1---2---3     node k at ((k-1) % 3, (k-1) // 3, 0)
"""
import numpy as np
import pytest

import _vorlen
from conftest import errstat, errtext

eh = _vorlen.elementhandling
HUGE = np.finfo(float).max
CONNECT = np.array([[1, 2, 5, 4], [2, 3, 6, 5], [4, 5, 8, 7], [5, 6, 9, 8]], np.int32)
XYZ = np.array([[(k - 1) % 3, (k - 1) // 3, 0.0] for k in range(1, 10)])


@pytest.mark.parametrize("name,form", [
    ("getabqelementkind", "getabqelementkind = getabqelementkind(elemtype)"),
    ("getabqelementconnectivity",
     "iele = getabqelementconnectivity(connectivity,elemid,elemtype,[iele,nconnect])"),
    ("getnodalcoordinates", "getnodalcoordinates(coordnp,nodeid,[ncoord,nblock])"),
    ("getnodesmotion", "getnodesmotion(ntraction,nrotation,nodeid,[ndim,nblock,defreal])"),
    ("shelltractiontransformation", "shelltractiontransformation(ntrac,nrot,ti,tcurv,[ndim])"),
    ("getdisplacementvector", "u = getdisplacementvector(nmotion,[inodes,mdof])"),
    ("getcenternodes", "center = getcenternodes(vertices,[ndim,npt])"),
    ("getnodalpatch", "getnodalpatch(nodalpatch,nodalcoords,elemnodes,elemid,[npt,nnodes,nelem,"
                      "tolerance,exflag,ntree,recursion])"),
    ("getdatafrompatch", "patchdata = getdatafrompatch(refdata,patchcoords,refcoords,[ndata,npt,"
                         "ndim,nnodes,nelem,tolerance])"),
])
def test_call_forms(name, form):
    assert getattr(eh, name).__doc__.splitlines()[0] == form


@pytest.mark.parametrize("name,kind", [
    ("S4R5", 3), ("S4", 1), ("S4R", 2), ("S4RS", 2), ("S", 0), ("s4", -1), ("C3D8", 11),
    ("C3D20R", 11), ("CPE4", 0), ("CPS4", 0), ("S8R5", 5), ("S8R", 4), ("S9R5", 6), ("S3R", 7),
    ("STRI65", 8), ("SC6R", 9), ("SC8R", 10), ("T3D2", -1), ("", -1), ("S4R5    ", 3),
])
def test_kind(name, kind):
    assert eh.getabqelementkind(name) == kind


@pytest.fixture
def mesh(clean_store):
    """Four elements of 4 node slots registered, 6 degrees of freedom per node."""
    v = clean_store
    v.datahandling.allocateelementdata(4, 4)
    v.datahandling.allocatenodaldata(6, 4, 4)
    v.elementdata.nelem, v.nodaldata.nnodes, v.nodaldata.ndof = 4, 4, 6
    v.elementdata.elemlist[:] = [11, 12, 13, 14]
    v.elementdata.elemnodes[:] = CONNECT.T
    return v


def test_registration(clean_store):
    v = clean_store
    v.datahandling.allocateelementdata(4, 3)
    iele = eh.getabqelementconnectivity(CONNECT[0], 101, "S4R", iele=0)
    iele = eh.getabqelementconnectivity(CONNECT[1], 102, "CINPE4", iele=iele)  # not taken
    iele = eh.getabqelementconnectivity(CONNECT[1], 103, "CIN3D8", iele=iele)  # not taken
    iele = eh.getabqelementconnectivity(CONNECT[1], 104, "T3D2", iele=iele)  # not taken
    iele = eh.getabqelementconnectivity(CONNECT[2, :3], 105, "CAX4", iele=iele)
    assert iele == 2
    np.testing.assert_array_equal(v.elementdata.elemlist, [101, 105, 0])
    np.testing.assert_array_equal(v.elementdata.elemkind, [2, 0, 0])
    np.testing.assert_array_equal(v.elementdata.elemnodes[:, :2], [[1, 4], [2, 5], [5, 8], [4, 0]])
    assert errstat() == 0


@pytest.mark.parametrize("iele,connect,message", [
    (3, CONNECT[0], "Element count outside the element tables in getabqelementconnectivity"),
    (-1, CONNECT[0], "Element count outside the element tables in getabqelementconnectivity"),
    (0, np.arange(1, 6, dtype=np.int32), "Connectivity longer than the node slots in "
                                         "getabqelementconnectivity"),
])
def test_registration_outside_the_tables(clean_store, iele, connect, message):
    v = clean_store
    v.datahandling.allocateelementdata(4, 3)
    assert eh.getabqelementconnectivity(connect, 7, "S4", iele=iele) == iele
    assert not v.elementdata.elemlist.any() and not v.elementdata.elemnodes.any()
    assert (errstat(), errtext()) == (-3, message)


def store_coordinates(nodes):
    eh.getnodalcoordinates(np.asfortranarray(XYZ[np.array(nodes) - 1].T),
                           np.array(nodes, np.int32))


def test_coordinates_reach_every_element_holding_the_node(mesh):
    store_coordinates(range(1, 10))
    coords = mesh.nodaldata.nodalcoords
    for e in range(4):
        np.testing.assert_array_equal(coords[:, :, e], XYZ[CONNECT[e] - 1].T)
    assert errstat() == 0


def test_repeated_label_is_stored_in_its_first_slot(mesh):
    mesh.elementdata.elemnodes[:, 0] = [5, 2, 5, 4]
    store_coordinates([5])
    np.testing.assert_array_equal(mesh.nodaldata.nodalcoords[:, :, 0].T,
                                  [XYZ[4], [0, 0, 0], [0, 0, 0], [0, 0, 0]])


def test_shell_set_limits_the_loop(mesh):
    mesh.elementdata.elemindices = np.array([2, 9, 4, -1], np.int32)  # 9: outside, skipped
    store_coordinates([5])
    stored = [(mesh.nodaldata.nodalcoords[:, :, e] != 0).any() for e in range(4)]
    assert stored == [False, True, False, True]
    assert errstat() == 0


def test_element_count_above_the_tables(mesh):
    mesh.elementdata.nelem = 6
    store_coordinates([5])
    assert (mesh.nodaldata.nodalcoords[0] == 1).sum() == 4  # the four elements still got it
    assert (errstat(), errtext()) == (-3, "Element count above the element tables in "
                                          "GetNodalCoordinates")


def test_node_slot_count_above_the_tables(mesh):
    mesh.nodaldata.nnodes = 9
    eh.getnodesmotion(np.ones((3, 1), order="F"), np.ones((3, 1), order="F"),
                      np.array([8], np.int32))
    assert mesh.nodaldata.nodesmotion[:, 3, 3].tolist() == [1.0] * 6  # slot 4 of element 4
    assert (errstat(), errtext()) == (-3, "Node slot count above the node tables in "
                                          "GetNodesMotion")


def test_four_coordinates_are_refused(mesh):
    eh.getnodalcoordinates(np.ones((4, 1), order="F"), np.array([5], np.int32))
    assert not mesh.nodaldata.nodalcoords.any()
    assert (errstat(), errtext()) == (-3, "Coordinate count above 3 in GetNodalCoordinates")


# --- motion ---------------------------------------------------------------------------------

def rotation(axis, deg):
    """Right-handed rotation matrix about a unit axis (Rodrigues)."""
    a, t = np.asarray(axis, float), np.radians(deg)
    k = np.array([[0, -a[2], a[1]], [a[2], 0, -a[0]], [-a[1], a[0], 0]])
    return np.eye(3) + np.sin(t) * k + (1 - np.cos(t)) * k @ k


TRANS = np.array([[1.0, 2.0, 3.0]]).T.copy(order="F")
ROT = np.array([[0.1, 0.2, 0.3]]).T.copy(order="F")


def test_motion_without_systems_is_stored_as_given(mesh):
    eh.getnodesmotion(TRANS, ROT, np.array([5], np.int32))
    for e, slot in ((0, 2), (1, 3), (2, 1), (3, 0)):
        np.testing.assert_array_equal(mesh.nodaldata.nodesmotion[:, slot, e], [1, 2, 3, .1, .2, .3])


@pytest.mark.parametrize("ndof,rows", [(6, 6), (5, 5)])
def test_motion_turned_into_the_element_system(mesh, ndof, rows):
    mesh.nodaldata.ndof = ndof
    r = rotation([1, 1, 1] / np.sqrt(3), 40)
    mesh.nodaldata.tcurvmatrices[:, :, 3] = r
    mesh.nodaldata.tnodalmatrices[:, :, :, 3] = np.eye(3)[:, :, None]
    eh.getnodesmotion(TRANS, ROT, np.array([9], np.int32))
    want = np.concatenate([r @ TRANS[:, 0], r @ ROT[:, 0]])
    got = mesh.nodaldata.nodesmotion[:, 2, 3]
    np.testing.assert_allclose(got[:rows], want[:rows], rtol=1e-14)
    assert (got[rows:] == 0).all()


def test_translation_not_given_changes_only_the_rotation(mesh):
    mesh.nodaldata.nodesmotion[:] = 7.0
    eh.getnodesmotion(np.full((3, 1), HUGE, order="F"), ROT, np.array([1], np.int32))
    np.testing.assert_array_equal(mesh.nodaldata.nodesmotion[:, 0, 0], [7, 7, 7, .1, .2, .3])
    eh.getnodesmotion(np.full((3, 1), -1.0, order="F"), np.full((2, 1), -1.0, order="F"),
                      np.array([3], np.int32), defreal=-1.0)  # neither given: skipped
    np.testing.assert_array_equal(mesh.nodaldata.nodesmotion[:, 1, 1], [7] * 6)


def test_node_slots_above_8_take_the_identity(clean_store):
    v = clean_store
    v.datahandling.allocateelementdata(9, 1)
    v.datahandling.allocatenodaldata(6, 9, 1)
    v.elementdata.nelem, v.nodaldata.nnodes, v.nodaldata.ndof = 1, 9, 6
    v.elementdata.elemnodes[:, 0] = range(1, 10)
    v.nodaldata.tcurvmatrices[:, :, 0] = np.eye(3)
    v.nodaldata.tnodalmatrices[:] = 2 * np.eye(3)[:, :, None, None]  # ti^T ti = 4 I
    eh.getnodesmotion(np.ones((3, 2), order="F"), np.ones((3, 2), order="F"),
                      np.array([8, 9], np.int32))
    np.testing.assert_array_equal(v.nodaldata.nodesmotion[3:, 7:, 0], [[4, 1]] * 3)
    assert errstat() == 0


def test_four_rotation_components_are_refused(mesh):
    eh.getnodesmotion(TRANS, np.ones((4, 1), order="F"), np.array([5], np.int32))
    assert not mesh.nodaldata.nodesmotion.any()
    assert (errstat(), errtext()) == (-3, "Rotation count above 3 in GetNodesMotion")


@pytest.mark.parametrize("ti,ndim,rot", [
    (np.eye(3), 3, None),
    (2 * np.eye(3), 3, 4.0),        # the factor ti^T ti
    (rotation([0, 1, 0], 25), 2, None),
])
def test_shell_traction_transformation(clean_register, ti, ndim, rot):
    tcurv = np.asfortranarray(rotation([0, 0, 1], 30))
    ntrac, nrot = np.array([1.0, 2.0, 3.0]), np.array([0.5, -0.25, 2.0])[:ndim].copy()
    buf = np.zeros(3)
    buf[:ndim] = nrot
    eh.shelltractiontransformation(ntrac, nrot, np.asfortranarray(ti), tcurv)
    np.testing.assert_allclose(ntrac, tcurv @ [1, 2, 3], rtol=1e-14)
    np.testing.assert_allclose(nrot, (tcurv @ ti.T @ ti @ buf)[:ndim], rtol=1e-14, atol=1e-15)
    if rot:
        np.testing.assert_allclose(nrot, rot * (tcurv @ buf))
    assert errstat() == 0


def test_shell_traction_transformation_refuses_four_components(clean_register):
    ntrac, nrot = np.ones(3), np.ones(4)
    eh.shelltractiontransformation(ntrac, nrot, np.eye(3, order="F"), 2 * np.eye(3, order="F"))
    assert (ntrac == 1).all() and (nrot == 1).all()
    assert (errstat(), errtext()) == (-3, "Rotation count above 3 in ShellTractionTransformation")


# --- displacement vector, mid-points --------------------------------------------------------

@pytest.mark.parametrize("mdof,nodes,copied", [(6, 3, 5), (4, 2, 4), (5, 8, 5)])
def test_displacement_vector(clean_register, mdof, nodes, copied):
    m = np.asfortranarray(np.arange(1.0, mdof * nodes + 1).reshape(nodes, mdof).T)
    u = eh.getdisplacementvector(m)
    want = np.zeros((8, 5))
    want[:nodes, :copied] = m[:copied].T
    np.testing.assert_array_equal(u, want.ravel())
    assert errstat() == 0


def test_displacement_vector_of_nine_nodes(clean_register):
    m = np.asfortranarray(np.arange(1.0, 46).reshape(9, 5).T)
    np.testing.assert_array_equal(eh.getdisplacementvector(m), np.arange(1.0, 41))
    assert (errstat(), errtext()) == (-3, "More than 8 nodes in GetDisplacementVector")


def test_center_nodes_of_a_triangle(clean_register):
    v = np.array([[0.0, 0.0], [4.0, 0.0], [0.0, 2.0]]).T.copy(order="F")
    np.testing.assert_array_equal(eh.getcenternodes(v).T, [[2, 0], [2, 1], [0, 1]])
    eh.getcenternodes(np.zeros((2, 0), order="F"))
    assert (errstat(), errtext()) == (-3, "No vertex in GetCenterNodes")


# --- patches --------------------------------------------------------------------------------

def coords_and_labels(connect, xyz):
    c = np.asfortranarray(np.stack([xyz[row - 1].T for row in connect], axis=2))
    return c, np.asfortranarray(connect.T)


BLANK = -HUGE


def patch_points(patch):
    return [tuple(p) for p in patch.T if p[0] != BLANK]


@pytest.mark.parametrize("exflag,nodes", [
    (0, [2, 3, 6, 5, 4, 8, 7, 9]),            # elements 2, 3, 4 in order, no repeats
    (1, [1, 2, 5, 4, 3, 6, 8, 7, 9]),
])
def test_patch_around_an_element(clean_register, exflag, nodes):
    c, lab = coords_and_labels(CONNECT, XYZ)
    patch = np.zeros((3, 12), order="F")
    eh.getnodalpatch(patch, c, lab, 1, exflag=exflag)
    assert patch_points(patch) == [tuple(XYZ[k - 1]) for k in nodes]
    assert errstat() == 0


def test_patch_array_full(clean_register):
    c, lab = coords_and_labels(CONNECT, XYZ)
    patch = np.zeros((3, 5), order="F")
    eh.getnodalpatch(patch, c, lab, 1)
    assert patch_points(patch) == [tuple(XYZ[k - 1]) for k in [2, 3, 6, 5, 4]]
    assert (errstat(), errtext()) == (-3, "Patch array full in GetNodalPatch")


def test_patch_tree_reaches_the_neighbours_neighbour(clean_register):
    strip = np.array([[1, 2, 6, 5], [2, 3, 7, 6], [3, 4, 8, 7]], np.int32)
    xyz = np.array([[(k - 1) % 4, (k - 1) // 4, 0.0] for k in range(1, 9)])
    c, lab = coords_and_labels(strip, xyz)
    one, two = np.zeros((3, 16), order="F"), np.zeros((3, 16), order="F")
    eh.getnodalpatch(one, c, lab, 1)
    eh.getnodalpatch(two, c, lab, 1, ntree=2)
    assert patch_points(one) == [tuple(xyz[k - 1]) for k in [2, 3, 7, 6]]
    assert patch_points(two) == [tuple(xyz[k - 1]) for k in [2, 3, 7, 6, 1, 5, 4, 8]]
    eh.getnodalpatch(two, c, lab, 1, ntree=10**9)  # no deeper than the mesh
    assert patch_points(two) == [tuple(xyz[k - 1]) for k in [2, 3, 7, 6, 1, 5, 4, 8]]
    assert errstat() == 0


@pytest.mark.parametrize("elemid", [0, 5])
def test_patch_of_an_element_outside_the_table(clean_register, elemid):
    c, lab = coords_and_labels(CONNECT, XYZ)
    patch = np.full((3, 4), 3.0, order="F")
    eh.getnodalpatch(patch, c, lab, elemid)
    assert (patch == 3.0).all()
    assert (errstat(), errtext()) == (-3, "Element outside the table in GetNodalPatch")


def test_data_from_patch():
    c, _ = coords_and_labels(CONNECT, XYZ)
    ref = np.asfortranarray(c[:2] * 10 + 1)  # two values per node, from its coordinates
    points = np.array([[1.0, 1.0, 0.0], [2.0, 0.0, 1e-12], [5.0, 5.0, 0.0]]).T.copy(order="F")
    got = eh.getdatafrompatch(ref, points, c)
    np.testing.assert_array_equal(got.T, [[11, 11], [21, 1], [0, 0]])
