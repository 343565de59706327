"""The extension module: import, module objects and module variables."""
import gc

import numpy as np
import pytest

import _vorlen

MODULES = ("types jobdata debugdata materialdata sectiondata nodaldata elementdata impactdata "
           "loaddata damagedata bukdata shokriehdata datahandling errorhandling boxbeamio utility "
           "math signalprocessing imageprocessing stringhandling listhandling permcollection "
           "interaction nlcollection isscollection micromechanic lamina laminate resin elasticity "
           "truss3 tria6 quad4 quad8 hex8 elementhandling sublaminate gpcollection fbcollection "
           "mccollection delcollection cccollection damage evocollection fracture dic degradation "
           "dg8 delisio iohandling fatigue prony wrapper toplevel").split()

# name: (type char, rank) in table order; rank 0 for scalars, 'S' for texts.
VARIABLES = {
    "types": "cb i0,i2 i0,i4 i0,i8 i0,sp i0,dp i0,qp i0",
    "jobdata": "stepcount i0,nsteps i0,solverid i0,stepid i1,processid i1,jobname S0,"
               "joboutdir S0,jobfilepath S0",
    "debugdata": "nupdate i0,edebug i0,ndebug i0,fdebug i0,verbose i0,unitid i0",
    "materialdata": "modelid i0,ntempdata i0,nflowdata i0,nsecantdata i0,nalpha1data i0,"
                    "nalpha2data i0,nalpha3data i0,nnormaldata i0,nsheardata i0,matidlist i2,"
                    "pfflags i3,peflags i3,regularization d1,temperatures d1,pelimits d3,"
                    "peprops d3,psprops d3,pfprops d3,phprops d3,pdprops d3,cuprops d4,r_crit d1,"
                    "i10 d1,equivalentstress d2,flowprops d3,secantprops d3,normalprops d3,"
                    "shearprops d3,alpha1props d3,alpha2props d3,alpha3props d3",
    "sectiondata": "nsec i0,nplies i0,nsectionpoints i1,secidlist i1,seflags i2,xcstrength d1,"
                   "plythickness d2,plyorientation d2,plyzcoord d2,sehmatrix d3,sefmatrix d3,"
                   "seuser d4,seprops d4,sestress d4,sestrain d4,tnormalstress d2,tshearstress d4",
    "nodaldata": "nnodes i0,ndof i0,tnodalmatrices d4,tcurvmatrices d3,nodalcoords d3,"
                 "nodesmotion d3",
    "elementdata": "nsens i0,nelem i0,elemlist i1,elemkind i1,elemindices i1,elemnodes i2,"
                   "elemlength d2,elemcurvatures d2,elemreforientation d2",
    "impactdata": "cprops d2,csvars d2",
    "loaddata": "nimp i0,dprops d2",
    "damagedata": "ndmg i0,damagedds i1,generaldds d3,fiberdds d3,matrixdds d3,delamdds d3,"
                  "coredds d3,userdds d3,dmgshape d2,dmgplane d2,dmgpoints d4",
    "bukdata": "bukintdatalist i4,bukrealdatalist d4",
    "shokriehdata": "dnf d0,dnfshok d0,cycles d2,cycleprops d2",
    "errorhandling": "errintv i1,errrealv d1,errasciim i2,errstring S0,errstat i0",
}
TEXT_LENGTHS = {"jobname": 256, "joboutdir": 256, "jobfilepath": 256, "errstring": 80}


def all_variables():
    for mod, spec in VARIABLES.items():
        for item in spec.split(","):
            name, kind = item.split()
            yield mod, name, kind[0], int(kind[1])


def test_module_attributes():
    assert _vorlen.__version__ == "1.26.4"
    assert issubclass(_vorlen.__vorlen_error, Exception)
    assert _vorlen.__vorlen_error.__name__ == "error"
    assert _vorlen.__vorlen_error.__module__ == "_vorlen"
    # the module objects are stored in reverse docstring order, after the exception class
    names = [k for k in vars(_vorlen) if k in MODULES]
    assert names == MODULES[::-1]
    keys = list(vars(_vorlen))
    assert keys.index("__vorlen_error") < keys.index("toplevel")
    assert not hasattr(_vorlen, "sldcollection")


def test_module_docstring_lists_modules_in_order():
    doc = _vorlen.__doc__
    lines = doc.splitlines()
    assert "_vorlen" in lines[0] and "1.26.4" in lines[0]
    assert lines[1] == "Functions:"
    body = lines[3]
    assert body.startswith("  types --- cb,i2,i4,i8,sp,dp,qp  jobdata --- stepcount,nsteps")
    assert ("  errorhandling --- errintv,errrealv,errasciim,errstring,errstat,rsxerr(),xerr()"
            in body)
    assert body.endswith(".")
    starts = [body.index("  %s --- " % m) for m in MODULES]
    assert starts == sorted(starts)


@pytest.mark.parametrize("mod,name,kind,rank", list(all_variables()))
def test_variable_kinds_and_start_values(mod, name, kind, rank, clean_store):
    value = getattr(getattr(_vorlen, mod), name)
    if kind == "S":
        assert value.shape == () and value.dtype == np.dtype("S%d" % TEXT_LENGTHS[name])
        assert value.flags.writeable
    elif rank == 0:
        assert value.shape == () and value.dtype == {"i": np.int32, "d": np.float64}[kind]
        assert value is getattr(getattr(_vorlen, mod), name)  # the same object on every read
        if mod != "types":
            assert value.flags.writeable
    else:
        # allocatable: unallocated at load and after the release, except the process-lived ones
        if (mod, name) not in {("jobdata", "processid"), ("materialdata", "temperatures"),
                               ("materialdata", "r_crit"), ("materialdata", "i10"),
                               ("impactdata", "csvars")}:
            assert value is None


def test_variable_count_matches_module_docs():
    total = 0
    for mod in VARIABLES:
        doc = getattr(_vorlen, mod).__doc__
        total += sum(1 for line in doc.splitlines() if " : '" in line)
    assert total == 110


def test_kind_constants():
    t = _vorlen.types
    assert [int(getattr(t, n)) for n in "cb i2 i4 i8 sp dp qp".split()] == [1, 2, 4, 8, 4, 8, 16]
    assert not t.dp.flags.writeable
    with pytest.raises(AttributeError):
        t.dp = 3
    assert t.dp == 8


def test_scalar_read_is_live_view(clean_store):
    v = _vorlen
    stat = v.errorhandling.errstat
    assert stat.dtype == np.int32 and stat == 0
    v.errorhandling.xerr(-2, "bad input", [], [], np.zeros((0, 0), np.int32), 1)
    assert stat == -2  # the same object shows the new code
    v.sectiondata.nsec = 7.9
    assert v.sectiondata.nsec == 7
    v.shokriehdata.dnf = "2.5"
    assert v.shokriehdata.dnf == 2.5
    with pytest.raises((ValueError, TypeError)):
        v.sectiondata.nsec = "seven"
    assert v.sectiondata.nsec == 7


def test_text_assignment_is_cut_and_blank_padded():
    j = _vorlen.jobdata
    j.jobfilepath = "abcd"
    assert bytes(j.jobfilepath[()]) == b"abcd" + b" " * 252
    j.joboutdir = b"x" * 300
    assert j.joboutdir[()] == b"x" * 256
    with pytest.raises(UnicodeEncodeError):
        j.jobname = "\u00e9t\u00e9"


def test_errstring_starts_as_nul_characters():
    code = """
        import _vorlen
        s = _vorlen.errorhandling.errstring
        print(s.tobytes() == bytes(80))
    """
    from conftest import run_python
    assert run_python(code).stdout.strip() == "True"


def test_array_assignment_allocates_reuses_and_reallocates(clean_store):
    imp = _vorlen.impactdata
    a = np.arange(12.0).reshape(3, 4)
    imp.cprops = a
    view = imp.cprops
    assert view.shape == (3, 4) and view.flags.f_contiguous and view.flags.writeable
    np.testing.assert_array_equal(view, a)
    # same extents: written in place, so the earlier view shows the new values
    imp.cprops = a + 100
    np.testing.assert_array_equal(view, a + 100)
    # other extents: reallocated; the earlier view keeps its own (old) storage alive
    imp.cprops = np.ones((2, 2))
    assert imp.cprops.shape == (2, 2)
    np.testing.assert_array_equal(view, a + 100)
    # lower rank gets trailing extents of 1
    imp.cprops = [1.0, 2.0, 3.0]
    assert imp.cprops.shape == (3, 1)
    # None releases; first extent 0 leaves it unallocated
    imp.cprops = None
    assert imp.cprops is None
    imp.cprops = None
    imp.cprops = np.zeros((0, 5))
    assert imp.cprops is None


def test_array_assignment_converts_and_keeps_value_on_failure(clean_store):
    sec = _vorlen.sectiondata
    sec.plyorientation = [[0, 45], [90, -45]]
    assert sec.plyorientation.dtype == np.float64
    np.testing.assert_array_equal(sec.plyorientation, [[0, 45], [90, -45]])
    with pytest.raises(ValueError):
        sec.plyorientation = [["a", "b"], ["c", "d"]]
    np.testing.assert_array_equal(sec.plyorientation, [[0, 45], [90, -45]])
    with pytest.raises(Exception):
        sec.plyorientation = np.zeros((2, 2, 3))  # rank 3 does not fit rank 2
    assert sec.plyorientation.shape == (2, 2)


@pytest.mark.filterwarnings("ignore::PendingDeprecationWarning")
def test_array_assignment_takes_subclasses_as_plain_arrays(clean_store):
    # a 1x40 matrix assigned to a rank-1 variable is its 40 values, not a 1-element array
    md = _vorlen.materialdata
    md.regularization = np.matrix(np.arange(40.0))
    np.testing.assert_array_equal(md.regularization, np.arange(40.0))


def test_views_outlive_release(clean_store):
    v = _vorlen
    v.datahandling.allocateelementdata(4, 3)
    nodes = v.elementdata.elemnodes
    nodes[:] = 7
    v.datahandling.deallocall()
    assert v.elementdata.elemnodes is None
    gc.collect()
    # the view still owns the released storage: reading and writing it is safe
    assert nodes.shape == (4, 3) and (nodes == 7).all()
    nodes[:] = 1
    v.datahandling.allocateelementdata(2, 2)
    assert v.elementdata.elemnodes.shape == (2, 2)


def test_module_doc_shows_extents_after_read(clean_store):
    code = """
        import numpy as np, _vorlen
        _vorlen.impactdata.cprops = np.zeros((20, 3))
        _vorlen.impactdata.cprops
        print(_vorlen.impactdata.__doc__)
    """
    from conftest import run_python
    out = run_python(code).stdout
    assert "cprops : 'd'-array(20,3)\n" in out
    assert "csvars : 'd'-array(-1,-1), not allocated\n" in out


def test_routine_objects():
    x = _vorlen.errorhandling.xerr
    assert x.__name__ == "function xerr"
    assert x.__doc__.startswith("pyerr = xerr(lop,xerrmsg,intv,realv,asciim,[pyerr])\n")
    import ctypes
    cap = x._cpointer
    assert type(cap).__name__ == "PyCapsule"
    ctypes.pythonapi.PyCapsule_GetPointer.restype = ctypes.c_void_p
    ctypes.pythonapi.PyCapsule_GetPointer.argtypes = [ctypes.py_object, ctypes.c_char_p]
    lib = ctypes.CDLL(None)
    addr = ctypes.pythonapi.PyCapsule_GetPointer(cap, None)
    assert addr == ctypes.cast(getattr(ctypes.CDLL(_find_library()), "errorhandling_xerr"),
                               ctypes.c_void_p).value
    with pytest.raises(AttributeError):
        _vorlen.errorhandling.xerr = 1
    assert _vorlen.errorhandling.xerr is x
    with pytest.raises(AttributeError):
        del _vorlen.errorhandling.xerr
    del lib


def test_routine_name_and_overwrite_refused():
    assert _vorlen.math.vectornorm.__name__ == "function vectornorm"
    with pytest.raises(AttributeError):
        _vorlen.math.vectornorm = 1
    assert callable(_vorlen.math.vectornorm)


def _find_library():
    import os
    here = os.path.dirname(_vorlen.__file__)
    return os.path.join(os.path.dirname(here), "libvorlen.so")


def test_ordinary_attributes():
    m = _vorlen.laminate
    m.note = "kept"
    assert m.note == "kept" and m.__dict__["note"] == "kept"
    del m.note
    with pytest.raises(AttributeError):
        del m.note
    with pytest.raises(AttributeError):
        m.no_such_thing
    with pytest.raises(AttributeError):
        del _vorlen.sectiondata.nsec


@pytest.mark.parametrize("mod,name", [
    ("impactdata", "cprops"),        # allocatable array
    ("sectiondata", "nsec"),         # scalar
    ("jobdata", "jobname"),          # text
    ("types", "dp"),                 # constant
    ("math", "vectornorm"),          # routine
    ("laminate", "__doc__"),         # names the module object answers itself
    ("laminate", "__dict__"),
])
def test_a_name_with_a_nul_character_is_an_ordinary_attribute(mod, name, clean_store):
    obj = getattr(_vorlen, mod)
    before = getattr(obj, name)
    alias = name + "\x00junk"
    setattr(obj, alias, [[1.0, 2.0], [3.0, 4.0]])
    assert getattr(obj, alias) == [[1.0, 2.0], [3.0, 4.0]]
    assert obj.__dict__[alias] == [[1.0, 2.0], [3.0, 4.0]]
    after = getattr(obj, name)
    if isinstance(before, np.ndarray):
        np.testing.assert_array_equal(after, before)
    else:
        assert after is before or after == before
    delattr(obj, alias)
    with pytest.raises(AttributeError):
        getattr(obj, alias)
    with pytest.raises(AttributeError):
        getattr(obj, name[:3] + "\x00")
