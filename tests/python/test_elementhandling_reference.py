"""Reference orientations of module elementhandling: collection into the lists of a handle,
records of hand-built frames, and their conversion into the element tables."""
import numpy as np
import pytest

import _vorlen
from conftest import errstat, errtext

eh = _vorlen.elementhandling
L = _vorlen.listhandling
IND = 1
T = np.zeros((3, 3), order="F")


@pytest.mark.parametrize("name,form", [
    ("getelementreforientation", "istatus = getelementreforientation(ind,t,tdirect,"
                                 "plyorientation,noel,kspt,layid,secid,nextid,[nplies,nsec])"),
    ("getabqelementorientation", "getabqelementorientation = getabqelementorientation(rm,tdirect)"),
    ("getelementreferencedata", "nshell,ierror = getelementreferencedata(ind)"),
])
def test_call_forms(name, form):
    assert getattr(eh, name).__doc__.splitlines()[0] == form


@pytest.fixture
def lists(clean_store):
    for t in range(3):
        L.deallocatelist(IND, t)
    yield clean_store
    for t in range(3):
        L.deallocatelist(IND, t)


def turn(axis, v, deg):
    """v turned right-handedly by deg degrees about the unit axis (Rodrigues)."""
    t = np.radians(deg)
    return (v * np.cos(t) + np.cross(axis, v) * np.sin(t)
            + axis * np.dot(axis, v) * (1 - np.cos(t)))


def tilted(deg):
    """Shell frame: local 1 along X, the plane turned by deg about X; columns 1, 2, normal."""
    t = np.radians(deg)
    return np.array([[1, 0, 0], [0, np.cos(t), np.sin(t)], [0, -np.sin(t), np.cos(t)]]).T.copy("F")


def expected_record(tdirect, angle):
    """Record by hand: X projected on the shell plane (local 1 here), and normal x it, turned by
    -angle about the normal."""
    n, px = tdirect[:, 2], tdirect[:, 0]
    return np.concatenate([[angle], turn(n, px, -angle), turn(n, np.cross(n, px), -angle)])


@pytest.mark.parametrize("rm_deg,tilt,angle", [(30, 0, 30), (-30, 0, -30), (45, 30, 45),
                                               (150, 30, 150)])
def test_orientation_angle(rm_deg, tilt, angle):
    td = tilted(tilt)
    rm = np.cos(np.radians(rm_deg)) * td[:, 0] + np.sin(np.radians(rm_deg)) * td[:, 1]
    assert eh.getabqelementorientation(rm, td) == pytest.approx(angle)


def collect(td, ply, noel=11, kspt=1, layid=1, secid=1, nextid=1):
    plies = np.array([[ply, 0.0], [-ply, 90.0]], order="F")  # (nplies 2, nsec 2)
    return eh.getelementreforientation(IND, T, td, plies, noel, kspt, layid, secid, nextid)


def real_list():
    return L.real_getcopyoflist(IND, np.zeros(max(L.getsizeoflist(IND, 1), 0)))[0]


@pytest.mark.parametrize("ply,tilt", [(30.0, 0.0), (45.0, 30.0)])
def test_record_of_a_hand_built_frame(lists, ply, tilt):
    td = tilted(tilt)
    assert collect(td, ply) == 1
    np.testing.assert_allclose(real_list(), expected_record(td, ply), atol=1e-13)
    assert L.getsizeoflist(IND, 0) == 1 and L.getsizeoflist(IND, 2) == 1


def test_collection_once_per_element(lists):
    td = tilted(0.0)
    collect(td, 30.0, kspt=1)
    assert collect(td, 30.0, kspt=1) == 0            # label and pair known already
    assert collect(td, 30.0, kspt=3, layid=2) == 1   # a new section point only
    assert collect(td, 30.0, kspt=5, nextid=2) == 0  # no section point before a response step
    assert collect(td, 30.0, kspt=5, layid=2, nextid=-1) == 0
    assert [L.getsizeoflist(IND, t) for t in range(3)] == [1, 7, 2]


@pytest.mark.parametrize("secid", [0, 3])
def test_section_outside_the_ply_table(lists, secid):
    assert collect(tilted(0.0), 30.0, secid=secid) == 0
    assert [L.getsizeoflist(IND, t) for t in range(3)] == [-1, -1, -1]
    assert (errstat(), errtext()) == (-3, "Section outside the ply table in "
                                          "GetElementRefOrientation")


@pytest.fixture
def elements(lists):
    v = lists
    v.datahandling.allocateelementdata(4, 3)
    v.elementdata.nelem = 3
    v.elementdata.elemlist[:] = [11, 12, 13]
    v.elementdata.elemkind[:] = [1, 7, 3]
    return v


def test_reference_data(elements):
    v = elements
    collect(tilted(0.0), 30.0, noel=13, kspt=2)
    collect(tilted(30.0), 45.0, noel=11, kspt=1)
    collect(tilted(30.0), 45.0, noel=11, kspt=5, layid=3)
    collect(tilted(0.0), 10.0, noel=99, kspt=9)  # no element of the table
    assert eh.getelementreferencedata(IND) == (2, 0)
    np.testing.assert_array_equal(v.elementdata.elemindices, [1, 3, -1])
    ref = v.elementdata.elemreforientation
    np.testing.assert_allclose(ref[:, 0], expected_record(tilted(30.0), 45.0), atol=1e-13)
    np.testing.assert_array_equal(ref[:, 1], -1.0)
    np.testing.assert_allclose(ref[:, 2], expected_record(tilted(0.0), 30.0), atol=1e-13)
    np.testing.assert_array_equal(v.sectiondata.nsectionpoints, [5, 1, 2])
    assert [L.getallocationstatus(IND, t) for t in range(3)] == [0, 0, 0]
    assert errstat() == 0


def test_shell_map_of_shells_only_is_released(elements):
    v = elements
    v.elementdata.elemkind[:] = [1, 2, -1]
    collect(tilted(0.0), 30.0, noel=12)
    assert eh.getelementreferencedata(IND) == (3, 0)
    assert v.elementdata.elemindices is None
    v.elementdata.elemindices = np.array([2, -1, -1], np.int32)
    assert eh.getelementreferencedata(IND) == (0, -1)  # map kept; the lists are gone
    np.testing.assert_array_equal(v.elementdata.elemindices, [2, -1, -1])
    np.testing.assert_array_equal(v.sectiondata.nsectionpoints, -1)
    np.testing.assert_array_equal(v.elementdata.elemreforientation, -1.0)


def test_no_collected_label_in_the_table(elements):
    collect(tilted(0.0), 30.0, noel=77, kspt=4)
    assert eh.getelementreferencedata(IND) == (2, 0)
    np.testing.assert_array_equal(elements.sectiondata.nsectionpoints, -1)


def test_short_real_list_keeps_the_complete_records(elements):
    v = elements
    for label in (12, 13):
        L.int_appendscalar2list(IND, label, 1)
    L.real_appendarray2list(IND, np.arange(1.0, 11.0), 0)  # one record and 3 values
    eh.getelementreferencedata(IND)
    ref = v.elementdata.elemreforientation
    np.testing.assert_array_equal(ref[:, 1], np.arange(1.0, 8.0))
    np.testing.assert_array_equal(ref[:, 2], -1.0)
    assert (errstat(), errtext()) == (-3, "Fewer than 7 reals per element label in "
                                          "GetElementReferenceData")


def test_element_count_above_the_tables(elements):
    elements.elementdata.nelem = 5
    collect(tilted(0.0), 30.0, noel=13, kspt=2)
    assert eh.getelementreferencedata(IND) == (2, 0)
    np.testing.assert_array_equal(elements.sectiondata.nsectionpoints, [1, 1, 2])
    assert (errstat(), errtext()) == (-3, "Element count above the element tables in "
                                          "GetElementReferenceData")
