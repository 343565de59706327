"""Job and per-point hooks of module toplevel: the fresh-state marker (SDVINI), the
integration-point report (UVARM), characteristic lengths (VUCHARLENGTH), nodal data harvested
from VDISP and the inactive constraint (MPC). Lengths are those of rectangles and boxes worked
out by hand; report lines are compared with Python's formatting of the (2i8, 3f25.8) layout."""
import ctypes
import math

import numpy as np
import pytest

import _vorlen
from conftest import errstat, errtext

tl = _vorlen.toplevel
HUGE = np.finfo(float).max
NAME = " " * 80
INIT, FATIGUE, RESPONSE, IMPACT, RELAXATION, MEASURED = range(6)


@pytest.mark.parametrize("name,form", [
    ("gen_sdvini", "statev = gen_sdvini(statev,coords,noel,npt,layer,kspt,[nstatv,ncrds,"
                   "overwrite_statev])"),
    ("uvarm_report", "uvar = uvarm_report(uvar,tdirect,t,time,dtime,cmname,orname,noel,npt,"
                     "layer,kspt,kstep,kinc,ndi,nshr,coord,jmac,jmatyp,matlayo,laccfla,[nuvarm,"
                     "overwrite_uvar])"),
    ("vucharlength_cel", "charlength = vucharlength_cel(ncomp,ksecpt,klayer,kintpt,jeltype,"
                         "jelem,totaltime,steptime,dt,cmname,coordmp,coordnode,tdirect,t,props,"
                         "field,stateold,[nblock,nfieldv,nprops,ndim,nnode,nstatev])"),
    ("vdisp_nullify", "vdisp_nullify(kstep,kinc,steptime,totaltime,dtnext,dt,cbname,jbctype,"
                      "jdof,jnodeuid,amp,coordnp,u,v,a,rf,rmass,rotaryi,rval,[nblock,mdof,"
                      "ncoord])"),
    ("mpc_nullify", "ue,a,jdof,lmpc = mpc_nullify(ue,jtype,x,u,uinit,lmpc,kstep,kinc,time,temp,"
                    "field,ltran,tran,[mdof,n,maxdof,nt,nf,overwrite_ue])"),
])
def test_call_forms(name, form):
    assert getattr(tl, name).__doc__.splitlines()[0] == form


# --- gen_sdvini -------------------------------------------------------------------------------

def sdvini(statev, **kw):
    return tl.gen_sdvini(np.array(statev, float), np.zeros(3), 1, 1, 1, 1, **kw)


@pytest.mark.parametrize("statev,expected", [
    ([0, 0, 0], [0, 0, HUGE]),
    ([0.0], [HUGE]),
    ([-0.0, 0, 0, 0], [0, 0, 0, HUGE]),
    ([0, 1e-300, 0], [0, 1e-300, 0]),       # a denormal-sized start value is a started vector
    ([0, 0, HUGE], [0, 0, HUGE]),           # already marked
    ([0, 0, 2.5], [0, 0, 2.5]),
])
def test_fresh_marker(clean_register, statev, expected):
    got = sdvini(statev)
    np.testing.assert_array_equal(got, expected)
    assert not np.signbit(got).any() and errstat() == 0


def test_nan_counts_as_started(clean_register):
    got = sdvini([0, math.nan, 0])
    assert got[0] == 0 and math.isnan(got[1]) and got[2] == 0


def test_empty_state_vector_is_refused(clean_register):
    assert sdvini([]).size == 0
    assert (errstat(), errtext()) == (-3, "State vector empty in gen_sdvini")


# --- uvarm_report -----------------------------------------------------------------------------

def uvarm(kstep, kinc, coord, noel=7, npt=2, uvar=(1.5, -2.0)):
    return tl.uvarm_report(np.array(uvar), np.eye(3), np.eye(3), np.zeros(2), 0.1, NAME, NAME,
                           noel, npt, 1, 1, kstep, kinc, 3, 3, np.array(coord, float),
                           np.zeros(1, np.int32), np.zeros(1, np.int32), 1, 0)


def heading():
    return "%8s%8s%25s%25s%25s" % ("NOEL", "NPT", "x", "y", "z")


def line(noel, npt, coord):
    return "%8d%8d%25.8f%25.8f%25.8f" % (noel, npt, *coord)


@pytest.fixture
def job(clean_store, tmp_path):
    """Steps: initialization, fatigue, initialization; the job path in a working folder."""
    clean_store.jobdata.stepid = np.array([INIT, FATIGUE, INIT], np.int32)
    clean_store.jobdata.jobfilepath = str(tmp_path / "plate")
    return tmp_path / "plate.rst"


def test_report_lines_of_the_first_increment_of_initialization_steps(job):
    calls = [  # kstep, kinc, coord, noel, npt, written
        (1, 1, (1.25, -0.5, 1e-9), 7, 2, True),
        (1, 1, (-123.456789012, 0.0, 3.0), 8, 1, True),
        (1, 2, (9.0, 9.0, 9.0), 9, 1, False),    # second increment
        (2, 1, (8.0, 8.0, 8.0), 10, 1, False),   # fatigue step
        (3, 1, (0.5, 0.25, 0.125), 11, 4, True),  # a later initialization step appends
    ]
    for kstep, kinc, coord, noel, npt, _ in calls:
        np.testing.assert_array_equal(uvarm(kstep, kinc, coord, noel, npt), [1.5, -2.0])
    want = [heading()] + [line(n, p, c) for _, _, c, n, p, w in calls if w]
    assert job.read_text().splitlines() == want
    assert errstat() == 0


def test_report_without_step_table_writes_nothing(job, clean_store):
    clean_store.jobdata.stepid = None
    uvarm(1, 1, (1, 2, 3))
    assert not job.exists() and errstat() == 0


@pytest.mark.parametrize("kstep", [0, 4, -1, 2**31 - 1])
def test_report_step_outside_the_table(job, kstep):
    uvarm(kstep, 1, (1, 2, 3))
    assert not job.exists()
    assert (errstat(), errtext()) == (-3, "Step out of range in uvarm_report")


# --- vucharlength_cel -------------------------------------------------------------------------

def rotation(axis, deg):
    """Right-handed rotation matrix about an axis (Rodrigues)."""
    a, t = np.asarray(axis, float) / np.linalg.norm(axis), np.radians(deg)
    k = np.array([[0, -a[2], a[1]], [a[2], 0, -a[0]], [-a[1], a[0], 0]])
    return np.eye(3) + np.sin(t) * k + (1 - np.cos(t)) * k @ k


def rectangle(a, b, warp, r, origin):
    """Nodes 1-4 of an a by b rectangle in the local x-y plane of r, the corners lifted by
    +warp, -warp, +warp, -warp along the local normal, turned by r and moved to origin."""
    local = np.array([[0, 0, warp], [a, 0, -warp], [a, b, warp], [0, b, -warp]], float)
    return local @ r.T + origin


def box(a, b, c, r, origin):
    """Nodes 1-8 of an a by b by c box along the columns of r (bottom face 1-4, top 5-8)."""
    local = np.array([[0, 0, 0], [a, 0, 0], [a, b, 0], [0, b, 0],
                      [0, 0, c], [a, 0, c], [a, b, c], [0, b, c]], float)
    return local @ r.T + origin


def charlength(kind, nodes, dirs, ncomp=3, nnode=None, ndim=3):
    """VUCHARLENGTH of a block: nodes[k] (nnode by 3) and dirs[k] (3 by 3) per entry."""
    nodes, dirs = np.asarray(nodes, float), np.asarray(dirs, float)
    nb = len(nodes)
    coordnode = np.asfortranarray(nodes[:, :nnode, :ndim])
    return tl.vucharlength_cel(ncomp, 1, 1, 1, np.array([kind, 0, 0], np.int32),
                               np.arange(1, nb + 1, dtype=np.int32), 0.0, 0.0, 1e-6, NAME,
                               np.zeros((nb, ndim), order="F"), coordnode,
                               np.asfortranarray(dirs), np.zeros((nb, 3, 3), order="F"),
                               np.zeros(1), np.zeros((nb, 1), order="F"),
                               np.zeros((nb, 1), order="F"))


def test_shell_lengths_of_rotated_warped_rectangles(clean_register):
    r1, r2 = rotation([1, 2, 3], 35), rotation([0, 1, 0], -70)
    nodes = [rectangle(2.0, 0.5, 0.05, r1, [10, -3, 4]), rectangle(1.0, 3.0, 0.0, r2, [0, 0, 0])]
    got = charlength(3, nodes, [r1, r2], ncomp=4)
    np.testing.assert_allclose(got, [[2.0, 0.5, math.hypot(2.0, 0.5), 0.0],
                                     [1.0, 3.0, math.hypot(1.0, 3.0), 0.0]], rtol=1e-13)
    assert got[:, 3].tolist() == [0.0, 0.0] and errstat() == 0


def test_brick_lengths_of_boxes(clean_register):
    quarter = rotation([0, 0, 1], 90)  # the box sides along (0,1,0), (-1,0,0), (0,0,1)
    nodes = [box(2.0, 3.0, 0.25, np.eye(3), [1, 1, 1]), box(4.0, 0.5, 1.5, quarter, [0, 5, 0])]
    got = charlength(6, nodes, [np.eye(3), quarter], ncomp=4)
    np.testing.assert_allclose(got, [[2.0, 3.0, 0.25, 0.0], [4.0, 0.5, 1.5, 0.0]],
                               rtol=1e-13, atol=1e-15)
    assert got[:, 3].tolist() == [0.0, 0.0] and errstat() == 0


def test_other_element_types_give_zeros(clean_register):
    got = charlength(4, [box(2, 3, 1, np.eye(3), 0)], [np.eye(3)], ncomp=3)
    assert got.tolist() == [[0.0, 0.0, 0.0]] and errstat() == 0


@pytest.mark.parametrize("kind,ncomp,nnode,ndim", [
    (3, 2, 4, 3), (3, 3, 3, 3), (3, 3, 4, 2), (6, 2, 8, 3), (6, 3, 4, 3), (6, 3, 8, 2),
])
def test_extents_too_small(clean_register, kind, ncomp, nnode, ndim):
    nodes = [box(2, 3, 1, np.eye(3), 0)] * 2
    got = charlength(kind, nodes, [np.eye(3)] * 2, ncomp=ncomp, nnode=nnode, ndim=ndim)
    assert got.shape == (2, ncomp) and not got.any()
    assert (errstat(), errtext()) == (-3, "Extents too small in vucharlength_cel")


# --- vdisp_nullify ----------------------------------------------------------------------------

# Two elements of four node slots: labels 1 2 3 4 and 2 5 6 3.
CONNECT = np.array([[1, 2, 3, 4], [2, 5, 6, 3]], np.int32)


@pytest.fixture
def mesh(clean_store):
    """Model data of two elements, 6 degrees of freedom per node; steps of every type;
    an update interval of 3."""
    v = clean_store
    v.datahandling.allocateelementdata(4, 2)
    v.datahandling.allocatenodaldata(6, 4, 2)
    v.elementdata.nelem, v.nodaldata.nnodes, v.nodaldata.ndof = 2, 4, 6
    v.elementdata.elemlist[:] = [21, 22]
    v.elementdata.elemnodes[:] = CONNECT.T
    v.jobdata.stepid = np.array([INIT, FATIGUE, RESPONSE, IMPACT, RELAXATION, MEASURED],
                                np.int32)
    v.debugdata.nupdate = 3
    return v


def vdisp(kstep, kinc, labels, u, coords=None, rval=None):
    """VDISP of a block of nodes; u is mdof by nblock. Returns rval after the call."""
    labels = np.array(labels, np.int32)
    u = np.asfortranarray(u, float)
    mdof, nb = u.shape
    coords = np.zeros((3, nb), order="F") if coords is None else np.asfortranarray(coords)
    rval = np.full((mdof, nb), 0.5, order="F") if rval is None else rval
    z = np.zeros((mdof, nb), order="F")
    tl.vdisp_nullify(kstep, kinc, 0.1, 0.2, 0.01, 0.01, NAME, 0, np.arange(1, mdof + 1,
                     dtype=np.int32), labels, np.ones(nb), coords, u, z, z, z, np.ones(nb),
                     np.zeros((3, 3, nb), order="F"), rval)
    return rval


def node_motion(v, label):
    """Stored motion of a node label in every element slot holding it."""
    return [v.nodaldata.nodesmotion[:, s, e].copy() for e, s in zip(*np.nonzero(CONNECT == label))]


def coordinates_of(labels):
    return np.array([[label, 10.0 * label, -label] for label in labels], float).T


def test_coordinates_in_the_first_increment_of_an_initialization_step(mesh):
    labels = [6, 1, 2, 3, 4, 5]
    rval = vdisp(1, 1, labels, np.ones((6, 6)), coords=coordinates_of(labels))
    for e in range(2):
        np.testing.assert_array_equal(mesh.nodaldata.nodalcoords[:, :, e],
                                      coordinates_of(CONNECT[e]))
    assert not mesh.nodaldata.nodesmotion.any()           # no motion in increment 1
    assert (rval == 0.5).all() and errstat() == 0          # nothing prescribed


@pytest.mark.parametrize("stepid,kstep,kinc", [
    ([FATIGUE, FATIGUE], 1, 1),   # step 1 not an initialization step
    ([INIT, FATIGUE], 2, 1),      # increment 1 of a later step
    ([INIT, FATIGUE], 1, 2),
])
def test_no_coordinates_elsewhere(mesh, stepid, kstep, kinc):
    mesh.jobdata.stepid = np.array(stepid, np.int32)
    vdisp(kstep, kinc, [1, 2], np.zeros((6, 2)), coords=coordinates_of([1, 2]))
    assert not mesh.nodaldata.nodalcoords.any() and errstat() == 0


# step, increment, stored (nupdate 3: kinc + 1 a multiple of 3)
@pytest.mark.parametrize("kstep,kinc,stored", [
    (2, 5, True), (2, 8, True), (2, 2, True), (2, 4, False), (2, 6, False), (2, 1, False),
    (4, 5, True),                                   # impact
    (1, 5, False), (3, 5, False), (5, 5, False), (6, 5, False),   # other step types
])
def test_motion_every_nupdate_th_increment_of_fatigue_and_impact_steps(mesh, kstep, kinc,
                                                                       stored):
    u = np.array([[1, 2, 3, 0.1, 0.2, 0.3], [4, 5, 6, 0.4, 0.5, 0.6]]).T
    vdisp(kstep, kinc, [5, 3], u)
    want = [u[:, 0]] if stored else [np.zeros(6)]
    np.testing.assert_array_equal(node_motion(mesh, 5), want)
    assert np.asarray(node_motion(mesh, 3)).any() == stored and errstat() == 0


def test_motion_update_interval_one_stores_every_increment(mesh):
    mesh.debugdata.nupdate = 1
    for kinc in (2, 3, 4):
        vdisp(2, kinc, [5], np.array([[kinc, 0, 0, 0, 0, 0]]).T)
        assert node_motion(mesh, 5)[0][0] == kinc


# The rotation reaches GetNodesMotion padded to three components; the rows stored follow the
# model's degrees of freedom (nodaldata.ndof).
@pytest.mark.parametrize("mdof,ndof,want", [
    (6, 6, [1, 2, 3, 0.1, 0.2, 0.3]), (5, 5, [1, 2, 3, 0.1, 0.2, 7]),
    (5, 6, [1, 2, 3, 0.1, 0.2, 0]), (4, 4, [1, 2, 3, 0.1, 7, 7]),
    (3, 6, [1, 2, 3, 7, 7, 7]),   # no rotation given: the stored one stays
])
def test_motion_rotations_by_degrees_of_freedom(mesh, mdof, ndof, want):
    mesh.nodaldata.ndof = ndof
    mesh.nodaldata.nodesmotion[:] = 7.0
    vdisp(2, 5, [6], np.array([1.0, 2.0, 3.0, 0.1, 0.2, 0.3])[:mdof, None])
    np.testing.assert_array_equal(node_motion(mesh, 6), [want])
    assert errstat() == 0


def test_zero_motion_keeps_what_was_stored(mesh):
    mesh.nodaldata.nodesmotion[:] = 7.0
    u = np.array([[0, 0, 0, 0.1, 0.2, 0.3], [1, 2, 3, 0, 0, 0], [0, 0, 0, 0, 0, 0]]).T
    vdisp(2, 5, [5, 6, 1], u)
    np.testing.assert_array_equal(node_motion(mesh, 5), [[7, 7, 7, 0.1, 0.2, 0.3]])
    np.testing.assert_array_equal(node_motion(mesh, 6), [[1, 2, 3, 7, 7, 7]])
    np.testing.assert_array_equal(node_motion(mesh, 1), [[7] * 6])


def test_motion_of_a_long_block(mesh):
    """Mesh nodes at scattered positions of a block of 150 nodes."""
    labels = np.arange(1001, 1151, dtype=np.int32)
    at = {1: 0, 2: 63, 3: 64, 4: 127, 5: 128, 6: 149}
    for label, j in at.items():
        labels[j] = label
    u = np.asfortranarray(np.arange(6 * 150, dtype=float).reshape(150, 6).T + 1.0)
    vdisp(4, 2, labels, u)
    for label, j in at.items():
        for got in node_motion(mesh, label):
            np.testing.assert_array_equal(got, u[:, j])
    assert errstat() == 0


def test_without_step_table_or_in_step_0_nothing_is_done(mesh):
    vdisp(0, 1, [1], np.ones((6, 1)), coords=coordinates_of([1]))
    vdisp(0, 5, [1], np.ones((6, 1)))
    mesh.jobdata.stepid = None
    vdisp(1, 1, [1], np.ones((6, 1)), coords=coordinates_of([1]))
    vdisp(2, 5, [1], np.ones((6, 1)))
    assert not mesh.nodaldata.nodalcoords.any() and not mesh.nodaldata.nodesmotion.any()
    assert errstat() == 0


def test_without_model_data_nothing_is_stored(clean_store):
    clean_store.jobdata.stepid = np.array([INIT, FATIGUE], np.int32)
    vdisp(1, 1, [1], np.ones((6, 1)), coords=coordinates_of([1]))
    vdisp(2, 2, [1], np.ones((6, 1)))
    assert errstat() == 0


@pytest.mark.parametrize("kstep,kinc,mdof,problem", [
    (7, 5, 6, "Step out of range"), (-1, 1, 6, "Step out of range"),
    (7, 1, 6, "Step out of range"),
    (1, 1, 2, "Degrees of freedom below 3"), (2, 5, 2, "Degrees of freedom below 3"),
    (2, 5, 7, "Rotation count above 3"),
])
def test_vdisp_refused_calls_store_nothing(mesh, kstep, kinc, mdof, problem):
    vdisp(kstep, kinc, [1, 2], np.ones((mdof, 2)), coords=coordinates_of([1, 2]))
    assert not mesh.nodaldata.nodalcoords.any() and not mesh.nodaldata.nodesmotion.any()
    assert (errstat(), errtext()) == (-3, problem + " in vdisp_nullify")


# --- mpc_nullify ------------------------------------------------------------------------------

def test_inactive_constraint(clean_register):
    mdof, n, maxdof, nt, nf = 3, 2, 6, 1, 1
    ue = np.array([0.5, -1.0, 2.0])
    ue2, a, jdof, lmpc = tl.mpc_nullify(
        ue, 1, np.ones((6, n), order="F"), np.ones((maxdof, n), order="F"),
        np.ones((maxdof, n), order="F"), 5, 1, 1, np.zeros(2), np.ones((nt, n), order="F"),
        np.ones((nf, nt, n), order="F"), np.ones(n, np.int32), np.ones((3, 3, n), order="F"))
    assert lmpc == 0 and ue2.tolist() == [0.5, -1.0, 2.0]
    assert a.shape == (mdof, mdof, n) and not a.any()
    assert jdof.shape == (mdof, n) and not jdof.any()


@pytest.mark.parametrize("mdof,n", [(3, 2), (6, 1), (2, 0), (-1, 3), (3, -2)])
def test_constraint_writes_within_its_extents(mdof, n):
    """Through the C entry: a and jdof get zeros in their mdof*mdof*n and mdof*n entries,
    and the sentinel entries behind them stay."""
    lib = ctypes.CDLL("libvorlen.so")
    i32, dbl = ctypes.c_int32, ctypes.c_double
    na, nj = max(mdof, 0) ** 2 * max(n, 0), max(mdof, 0) * max(n, 0)
    a = (dbl * (na + 4))(*([9.0] * (na + 4)))
    jdof = (i32 * (nj + 4))(*([9] * (nj + 4)))
    ue = (dbl * 8)(*([3.0] * 8))
    lmpc = i32(4)
    spare = (dbl * 64)()
    ispare = (i32 * 16)()
    one = i32(1)
    lib.toplevel_mpc_nullify(ue, a, jdof, ctypes.byref(i32(mdof)), ctypes.byref(i32(n)),
                             ctypes.byref(one), spare, spare, spare, ctypes.byref(one),
                             ctypes.byref(lmpc), ctypes.byref(one), ctypes.byref(one), spare,
                             ctypes.byref(one), ctypes.byref(one), spare, spare, ispare, spare)
    assert list(a) == [0.0] * na + [9.0] * 4
    assert list(jdof) == [0] * nj + [9] * 4
    assert lmpc.value == 0 and list(ue) == [3.0] * 8
