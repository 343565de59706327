"""The process arrival table of module utility in jobdata.processid."""
import pytest

import _vorlen

u = _vorlen.utility
job = _vorlen.jobdata


def release():
    job.processid = [0]  # a table of no entries keeps its storage when assigned None
    job.processid = None


@pytest.fixture
def no_table():
    release()
    yield
    release()


def test_call_forms():
    form = "processlock = processlock(procid,maxid,[wflag])"
    assert u.processlock.__doc__.splitlines()[0] == form
    assert u.processunlock.__doc__.splitlines()[0] == "ierror = processunlock()"


def test_arrivals_until_the_set_is_complete(no_table):
    assert u.processlock(2, 3) == 0
    assert job.processid.tolist() == [1, -1, 3]
    assert u.processlock(2, 3) == 0  # arrived already
    assert u.processlock(1, 3, 1) == 0
    assert u.processlock(3, 3) == 1
    assert job.processid.tolist() == [-1, -1, -1]
    assert u.processlock(3, 3) == 0


@pytest.mark.parametrize("procid", [4, 0, -1])
def test_an_unknown_id_changes_nothing(procid, no_table):
    u.processlock(1, 3)
    assert u.processlock(procid, 3) == 0
    assert job.processid.tolist() == [-1, 2, 3]


def test_another_number_of_callers_starts_a_new_table(no_table):
    u.processlock(1, 3)
    u.processlock(2, 3)
    assert u.processlock(1, 2) == 0
    assert job.processid.tolist() == [-1, 2]
    assert u.processlock(1, 1) == 1
    assert u.processlock(1, 0) == 0 and job.processid.tolist() == []


def test_unlock_marks_every_caller_pending(no_table):
    assert u.processunlock() == -1  # no table yet
    assert job.processid is None
    u.processlock(1, 2)
    u.processlock(2, 2)
    assert u.processunlock() == 0
    assert job.processid.tolist() == [1, 2]


def test_the_table_outlives_the_release_of_the_store(no_table):
    u.processlock(1, 2)
    _vorlen.datahandling.deallocall()
    assert job.processid.tolist() == [-1, 2]
