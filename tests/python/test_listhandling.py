"""The growable lists of module listhandling, checked against Python lists."""
import numpy as np
import pytest

import _vorlen

L = _vorlen.listhandling
IMAX = 2147483647
DMAX = 1.7976931348623157e308

CALL_FORMS = [
    "ierror = allocatelist(listid,ifflag,le,[defcmplx,defreal,defint])",
    "ierror = deallocatelist(listid,ifflag)",
    "checkid = getallocationstatus(listid,ifflag)",
    "getsizeoflist = getsizeoflist(listid,ifflag,[defcmplx,defreal,defint])",
    "iresult = int_appendscalar2list(listid,scalar,uniflag,[allocinc,defval])",
    "iresult = real_appendscalar2list(listid,scalar,uniflag,[allocinc,defval])",
    "iresult = cmplx_appendscalar2list(listid,scalar,uniflag,[allocinc,defval])",
    "iresult = int_appendarray2list(listid,array,uniflag,[narray,allocinc,defval])",
    "iresult = real_appendarray2list(listid,array,uniflag,[narray,allocinc,defval])",
    "iresult = cmplx_appendarray2list(listid,array,uniflag,[narray,allocinc,defval])",
    "copy,ierror = int_getcopyoflist(listid,copy,[ncopy,overwrite_copy])",
    "copy,ierror = real_getcopyoflist(listid,copy,[ncopy,overwrite_copy])",
    "copy,ierror = cmplx_getcopyoflist(listid,copy,[ncopy,overwrite_copy])",
]


@pytest.mark.parametrize("form", CALL_FORMS)
def test_call_forms(form):
    name = form.split(" = ")[1].split("(")[0]
    assert getattr(L, name).__doc__.splitlines()[0] == form


@pytest.fixture(autouse=True)
def no_lists():
    """Every list unallocated before and after the test."""
    def release():
        for listid in (1, 2, 3):
            for ifflag in (0, 1, 2):
                L.deallocatelist(listid, ifflag)
    release()
    yield
    release()


# prefix, type flag, dtype, free marker, a value from an integer
TYPES = [
    ("int", 0, np.int32, IMAX, int),
    ("real", 1, np.float64, DMAX, lambda k: k / 4),
    ("cmplx", 2, np.complex128, complex(DMAX, DMAX), lambda k: complex(k % 7, k // 7)),
]


def routine(prefix, name):
    return getattr(L, prefix + "_" + name)


def contents(prefix, dtype, listid, n=4000, sentinel=-123456):
    """The list's entries as copied out (at most its capacity) and its capacity."""
    copy, ierror = routine(prefix, "getcopyoflist")(listid, np.full(n, sentinel, dtype=dtype))
    assert ierror == 0
    capacity = int(np.count_nonzero(copy != sentinel))
    return copy[:capacity], capacity


@pytest.mark.parametrize("prefix,ifflag,dtype,marker,value", TYPES)
def test_thousands_of_scalar_appends_against_a_python_list(prefix, ifflag, dtype, marker, value):
    rng = np.random.default_rng(7)
    model = []
    append = routine(prefix, "appendscalar2list")
    for _ in range(3000):
        v, uniflag = value(int(rng.integers(-200, 200))), int(rng.integers(0, 2))
        added = not (uniflag == 1 and v in model)
        assert append(2, v, uniflag) == int(added)
        if added:
            model.append(v)
    assert L.getsizeoflist(2, ifflag) == len(model)
    entries, capacity = contents(prefix, dtype, 2)
    assert capacity == -(-len(model) // 500) * 500
    assert entries[:len(model)].tolist() == model
    assert np.all(entries[len(model):] == marker)


@pytest.mark.parametrize("prefix,ifflag,dtype,marker,value", TYPES)
def test_array_appends_against_a_python_list(prefix, ifflag, dtype, marker, value):
    rng = np.random.default_rng(11)
    model = []
    append = routine(prefix, "appendarray2list")
    for _ in range(600):
        arr = [value(int(k)) for k in rng.integers(0, 6, size=rng.integers(0, 4))]
        uniflag = int(rng.integers(0, 2))
        n = len(arr)
        present = n == 0 or any(model[i:i + n] == arr for i in range(len(model) - n + 1))
        added = not (uniflag == 1 and present) and n > 0
        assert append(3, np.array(arr, dtype=dtype), uniflag) == int(added)
        if added:
            model.extend(arr)
    assert L.getsizeoflist(3, ifflag) == len(model)
    assert contents(prefix, dtype, 3)[0][:len(model)].tolist() == model


def test_first_append_and_growth_by_the_step():
    assert L.int_appendscalar2list(1, 10, 0) == 1
    assert L.getsizeoflist(1, 0) == 1
    assert contents("int", np.int32, 1)[1] == 500
    for v in range(11, 511):
        L.int_appendscalar2list(1, v, 0)
    entries, capacity = contents("int", np.int32, 1)
    assert capacity == 1000 and L.getsizeoflist(1, 0) == 501
    assert entries[:501].tolist() == list(range(10, 511))
    assert L.int_appendscalar2list(1, 77, 0, 7) == 1  # a given step


def test_unique_append_finds_the_marker_in_a_free_slot():
    L.int_appendscalar2list(1, 5, 0)
    assert L.int_appendscalar2list(1, IMAX, 1) == 0
    assert L.int_appendscalar2list(1, 5, 1) == 0
    assert L.getsizeoflist(1, 0) == 1


def test_unique_array_append_of_a_present_run_adds_nothing():
    L.real_appendarray2list(1, [1.0, 2.0, 3.0, 4.0], 0)
    assert L.real_appendarray2list(1, [2.0, 3.0], 1) == 0
    assert L.real_appendarray2list(1, [3.0, 2.0], 1) == 1
    assert L.getsizeoflist(1, 1) == 6
    assert L.real_appendarray2list(1, np.zeros(0), 0) == 0


def test_allocation_release_and_status():
    assert L.getallocationstatus(1, 0) == 0
    assert L.allocatelist(1, 0, 10) == 0
    assert L.getallocationstatus(1, 0) == 1
    assert L.getsizeoflist(1, 0) == 0 and contents("int", np.int32, 1)[1] == 10
    L.int_appendscalar2list(1, 4, 0)
    # an allocated list keeps its capacity and is set to the fill value
    assert L.allocatelist(1, 0, 99, defint=-7) == 5014
    entries, capacity = contents("int", np.int32, 1)
    assert capacity == 10 and np.all(entries == -7)
    assert L.getsizeoflist(1, 0) == 10 and L.getsizeoflist(1, 0, defint=-7) == 0
    assert L.allocatelist(2, 2, -3, defcmplx=1j) == 0
    assert contents("cmplx", np.complex128, 2)[1] == 0
    assert L.deallocatelist(1, 0) == 0
    assert L.deallocatelist(1, 0) == 1
    assert L.getsizeoflist(1, 0) == -1
    copy, ierror = L.real_getcopyoflist(1, [5.0, 6.0])
    assert ierror == -1 and copy.tolist() == [5.0, 6.0]


def test_copy_is_limited_to_the_capacity():
    L.allocatelist(1, 1, 3, defreal=0.5)
    mine = np.full(5, 9.0)
    copy, ierror = L.real_getcopyoflist(1, mine)
    assert ierror == 0 and copy.tolist() == [0.5, 0.5, 0.5, 9.0, 9.0]
    assert mine.tolist() == [9.0] * 5
    assert L.real_getcopyoflist(1, mine, overwrite_copy=1)[0] is mine
    assert mine.tolist() == [0.5, 0.5, 0.5, 9.0, 9.0]


@pytest.mark.parametrize("allocinc", [0, -5])
def test_a_step_below_one_grows_by_the_default_step(allocinc):
    for v in range(1200):
        assert L.int_appendscalar2list(1, v, 0, allocinc) == 1
    entries, capacity = contents("int", np.int32, 1)
    assert capacity == 1500 and entries[:1200].tolist() == list(range(1200))
    assert L.real_appendarray2list(2, np.arange(3.0), 0, allocinc=allocinc) == 1
    assert contents("real", np.float64, 2)[1] == 500


FILL_KEYWORD = {0: "defint", 1: "defreal", 2: "defcmplx"}


@pytest.mark.parametrize("prefix,ifflag,dtype,marker,value", TYPES)
def test_a_given_default_value_is_the_free_marker_of_every_slot_it_adds(prefix, ifflag, dtype,
                                                                        marker, value):
    free = dtype(-1)
    fill = {FILL_KEYWORD[ifflag]: free}
    append = routine(prefix, "appendscalar2list")
    # a list emptied with -1 fills in order and grows by the step, the new slots -1 as well
    assert L.allocatelist(3, ifflag, 3, **fill) == 0
    for k in (10, 20, 30, 40, 50):
        assert append(3, value(k), 0, allocinc=4, defval=free) == 1
    entries, capacity = contents(prefix, dtype, 3)
    assert capacity == 7
    assert entries.tolist() == [value(k) for k in (10, 20, 30, 40, 50)] + [free] * 2
    assert L.getsizeoflist(3, ifflag, **fill) == 5
    # a list made by the append itself
    for k in (10, 20, 30):
        assert append(1, value(k), 0, defval=free) == 1
    entries, capacity = contents(prefix, dtype, 1)
    assert capacity == 500 and entries[:3].tolist() == [value(k) for k in (10, 20, 30)]
    assert np.all(entries[3:] == free)
    # arrays likewise; a run already in the used part is not added again
    array = np.array([value(k) for k in (1, 2, 3)], dtype=dtype)
    appendarray = routine(prefix, "appendarray2list")
    assert appendarray(2, array, 0, allocinc=2, defval=free) == 1
    assert appendarray(2, array[1:], 1, allocinc=2, defval=free) == 0
    entries, capacity = contents(prefix, dtype, 2)
    assert capacity == 4 and entries.tolist() == array.tolist() + [free]


@pytest.mark.parametrize("listid,ifflag", [(4, 0), (0, 1), (-1, 2), (1, 3), (1, -1)])
def test_no_such_list_sets_every_status(listid, ifflag):
    assert L.allocatelist(listid, ifflag, 10) == 5020
    assert L.deallocatelist(listid, ifflag) == 1
    assert L.getallocationstatus(listid, ifflag) == 0
    assert L.getsizeoflist(listid, ifflag) == -1
    if not 1 <= listid <= 3:
        assert L.int_appendscalar2list(listid, 1, 0) == -5020
        assert L.cmplx_appendarray2list(listid, [1j], 0) == -5020
        assert L.int_getcopyoflist(listid, [0])[1] == -1
