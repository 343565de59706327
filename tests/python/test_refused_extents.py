"""Every solver entry with extents it refuses: material routines of the implicit, explicit,
ANSYS and Peridigm lists, user elements, the explicit field-variable routine and the converters.

A solver may pass any extents. Each case calls one entry through its C symbol with component
counts that are no layout of an element (an overflowing count, a negative one, 0, counts that
add up to a layout but are none), or with a negative state or property count, while every array
is a numpy array of exactly the size one legitimate point needs, so that the sanitizer build
sees any access past one. The call must return, record code -3 (or -2), call no material
routine it was handed, and write only what its extents still reach: nothing of an implicit
point of no layout, nothing beyond its own extents of one refused for its counts, and the
fallback of an explicit block only within rows of ndir + nshr components while that is 0 to 6.
The entries of every array past that reach keep their marks.

The cases of an entry run one after another in a child of the test process (a fork: no new
interpreter); a case that ends the child (a crash, a sanitizer report) fails alone, and a new
child goes on with the next case.
"""
import ctypes as C
import faulthandler
import os
import pickle
import select
import signal
import sys
import time

import numpy as np
import pytest

import _vorlen
from conftest import errstat
from solverdriver import lib

BIG = 2**31 - 1
MARK = -7.25

# ------------------------------------------------------------------------------------------
# Argument lists: (name, kind, size). Kinds: d real array, i integer array, e extent (a one-value
# integer array whose value the case sets), s 80 characters, f a material routine handed in.
# A size names the extent whose legitimate value it is.

UMAT_HEAD = [
    ("stress", "d", 6), ("statev", "d", "nstatv"), ("ddsdde", "d", 36), ("sse", "d", 1),
    ("spd", "d", 1), ("scd", "d", 1), ("rpl", "d", 1), ("ddsddt", "d", 6), ("drplde", "d", 6),
    ("drpldt", "d", 1), ("stran", "d", 6), ("dstran", "d", 6), ("time", "d", 2),
    ("dtime", "d", 1), ("temp", "d", 1), ("dtemp", "d", 1), ("predef", "d", 1),
    ("dpred", "d", 1), ("materl", "s", 80), ("ndi", "e", 0), ("nshr", "e", 0),
    ("ntens", "e", 0), ("nstatv", "e", 0), ("props", "d", "nprops"), ("nprops", "e", 0),
    ("coords", "d", 3), ("drot", "d", 9), ("pnewdt", "d", 1), ("celent", "d", 1),
    ("dfgrd0", "d", 9), ("dfgrd1", "d", 9), ("noel", "i", 1), ("npt", "i", 1),
    ("kslay", "i", 1), ("kspt", "i", 1)]
UMAT = UMAT_HEAD + [("jstep", "i", 4), ("kinc", "i", 1)]
UMAT_NOSTEP = UMAT_HEAD + [("kinc", "i", 1)]
IMPACTOR = [("stepid", "i", 1), ("cprops", "d", 20), ("dprops", "d", 12)]

USERMAT = [
    ("matid", "i", 1), ("elemid", "i", 1), ("kdomintpt", "i", 1), ("klayer", "i", 1),
    ("ksectpt", "i", 1), ("ldstep", "i", 1), ("isubst", "i", 1), ("keycut", "i", 1),
    ("ndirect", "e", 0), ("nshear", "e", 0), ("ncomp", "e", 0), ("nstatev", "e", 0),
    ("nprop", "e", 0), ("time", "d", 1), ("dtime", "d", 1), ("temp", "d", 1), ("dtemp", "d", 1),
    ("stress", "d", 6), ("ustatev", "d", "nstatev"), ("dsdepl", "d", 36), ("sedel", "d", 1),
    ("sedpl", "d", 1), ("epseq", "d", 1), ("strain", "d", 6), ("dstrain", "d", 6),
    ("epspl", "d", 6), ("prop", "d", "nprop"), ("coords", "d", 3), ("var0", "d", 1),
    ("defgrad_t", "d", 9), ("defgrad", "d", 9), ("tsstif", "d", 2), ("epszz", "d", 1)] + [
    ("var%d" % k, "d", 1) for k in range(1, 9)]

VUMAT = [
    ("nblock", "e", 0), ("ndir", "e", 0), ("nshr", "e", 0), ("nstatev", "e", 0),
    ("nfieldv", "e", 0), ("nprops", "e", 0), ("lanneal", "i", 1), ("steptime", "d", 1),
    ("totaltime", "d", 1), ("dt", "d", 1), ("cmname", "s", 80), ("coordmp", "d", 3),
    ("charlength", "d", 3), ("props", "d", "nprops"), ("density", "d", 1),
    ("straininc", "d", 6), ("relspininc", "d", 3), ("tempold", "d", 1),
    ("stretchold", "d", 6), ("defgradold", "d", 9), ("fieldold", "d", 1),
    ("stressold", "d", 6), ("stateold", "d", "nstatev"), ("enerinternold", "d", 1),
    ("enerinelasold", "d", 1), ("tempnew", "d", 1), ("stretchnew", "d", 6),
    ("defgradnew", "d", 9), ("fieldnew", "d", 1), ("stressnew", "d", 6),
    ("statenew", "d", "nstatev"), ("enerinternnew", "d", 1), ("enerinelasnew", "d", 1)]

PERIDIGM = [
    ("stressnew", "d", 6), ("statenew", "d", "nstatev"), ("stressold", "d", 6),
    ("stateold", "d", "nstatev"), ("straininc", "d", 6), ("props", "d", "nprops"),
    ("steptime", "d", 1), ("totaltime", "d", 1), ("dt", "d", 1), ("matid", "i", 1),
    ("npoint", "e", 0), ("ndir", "e", 0), ("nshr", "e", 0), ("nstatev", "e", 0),
    ("nprops", "e", 0)]

UEL = [
    ("rhs", "d", 6), ("amatrx", "d", 36), ("svars", "d", "nsvars"), ("energy", "d", 8),
    ("ndofel", "e", 0), ("nrhs", "e", 0), ("nsvars", "e", 0), ("props", "d", "nprops"),
    ("nprops", "e", 0), ("coords", "d", 6), ("mcrd", "e", 0), ("nnode", "e", 0),
    ("u", "d", 6), ("du", "d", 6), ("v", "d", 6), ("a", "d", 6), ("jtype", "i", 1),
    ("time", "d", 2), ("dtime", "d", 1), ("kstep", "i", 1), ("kinc", "i", 1),
    ("jelem", "i", 1), ("params", "d", 3), ("ndload", "e", 0), ("jdltyp", "i", 1),
    ("adlmag", "d", 1), ("predef", "d", 4), ("npredf", "e", 0), ("lflags", "i", 5),
    ("mlvarx", "e", 0), ("ddlmag", "d", 1), ("mdload", "e", 0), ("pnewdt", "d", 1),
    ("jprops", "i", "njprop"), ("njprop", "e", 0), ("period", "d", 1)]

VUEL = [
    ("nblock", "e", 0), ("rhs", "d", 6), ("amass", "d", 36), ("dtimestable", "d", 1),
    ("svars", "d", "nsvars"), ("nsvars", "e", 0), ("energy", "d", 12), ("nnode", "e", 0),
    ("ndofel", "e", 0), ("props", "d", "nprops"), ("nprops", "e", 0),
    ("jprops", "i", "njprops"), ("njprops", "e", 0), ("coords", "d", 6), ("ncrd", "e", 0),
    ("u", "d", 6), ("du", "d", 6), ("v", "d", 6), ("a", "d", 6), ("jtype", "i", 1),
    ("jelem", "i", 1), ("time", "d", 2), ("period", "d", 1), ("dtimecur", "d", 1),
    ("dtimeprev", "d", 1), ("kstep", "i", 1), ("kinc", "i", 1), ("lflags", "i", 3),
    ("dmassscalefactor", "d", 1), ("predef", "d", 4), ("npredef", "e", 0),
    ("jdltyp", "i", 1), ("adlmag", "d", 1)]

VUSDFLD = [
    ("nblock", "e", 0), ("nstatev", "e", 0), ("nfieldv", "e", 0), ("nprops", "e", 0),
    ("ndir", "e", 0), ("nshr", "e", 0), ("jelem", "i", 1), ("kintpt", "i", 1),
    ("klayer", "i", 1), ("ksecpt", "i", 1), ("kstep", "i", 1), ("temp", "d", 1),
    ("steptime", "d", 1), ("totaltime", "d", 1), ("dt", "d", 1), ("cmname", "s", 80),
    ("coordmp", "d", 3), ("tdirect", "d", 9), ("t", "d", 9), ("charlength", "d", 3),
    ("props", "d", "nprops"), ("stateold", "d", "nstatev"), ("stressold", "d", 6),
    ("strainold", "d", 6), ("statenew", "d", "nstatev"), ("field", "d", "nfieldv"),
    ("threadid", "i", 1)]

# Material routines handed to the converters: they only count their calls.
CALLS = [0]
ROUTINE_TYPES = {"umat": 37, "usermat": 41, "muesli": 38}
HANDED = {k: C.CFUNCTYPE(None, *[C.c_void_p] * n)(lambda *a: CALLS.__setitem__(0, CALLS[0] + 1))
          for k, n in ROUTINE_TYPES.items()}


def dfunc(kind):
    return [("dfunc", "f", kind)]


# ------------------------------------------------------------------------------------------
# What a refused call may still write: the number of leading entries of each array.

def implicit_layout(ndi, nshr, ntens):
    return (ndi, nshr, ntens) in ((3, 3, 6), (3, 1, 4), (2, 1, 3))


def explicit_components(ndir, nshr):
    """The components of a row into which an explicit block may write its fallback."""
    n = ndir + nshr
    return n if 0 <= n <= 6 else 0


def umat_reach(x):
    # A point of no layout gets nothing; one with a layout (refused for its counts) at most
    # its own extents.
    n = x["ntens"] if implicit_layout(x["ndi"], x["nshr"], x["ntens"]) else 0
    one = 1 if n else 0
    return dict(stress=n, ddsdde=n * n, ddsddt=n, drplde=n, statev=max(x["nstatv"], 0) * one,
                sse=one, spd=one, scd=one, rpl=one, drpldt=one, pnewdt=one, dprops=12 * one)


def usermat_reach(x):
    n = x["ncomp"] if implicit_layout(x["ndirect"], x["nshear"], x["ncomp"]) else 0
    one = 1 if n else 0
    return dict(stress=n, dsdepl=n * n, epspl=n, ustatev=max(x["nstatev"], 0) * one,
                keycut=one, sedel=one, sedpl=one, epseq=one, tsstif=2 * one, epszz=one)


def vumat_reach(x):
    nb = max(x["nblock"], 0)
    return dict(stressnew=nb * explicit_components(x["ndir"], x["nshr"]),
                statenew=nb * max(x["nstatev"], 0), enerinternnew=nb, enerinelasnew=nb)


def peridigm_reach(x):
    nb = max(x["npoint"], 0)
    return dict(stressnew=nb * explicit_components(x["ndir"], x["nshr"]),
                statenew=nb * max(x["nstatev"], 0))


def vusdfld_reach(x):
    return dict(statenew=max(x["nblock"], 0) * max(x["nstatev"], 0))


def nothing(x):
    return {}


def case_id(case):
    return ",".join("%s=%s" % (k, "BIG" if v == BIG else v) for k, v in case.items())


# ------------------------------------------------------------------------------------------
# Refused extents of each kind of list.

IMPLICIT = [(3, 3, BIG), (BIG, 3, 6), (3, BIG, 6), (BIG, BIG, BIG), (3, 3, -1), (-1, -1, -1),
            (-1, 3, 2), (0, 0, 0), (3, 3, 0), (3, 0, 3), (4, 2, 6), (2, 4, 6), (1, 2, 3),
            (2, 2, 4), (BIG, 1, 3)]
EXPLICIT = [(BIG, 3), (3, BIG), (BIG, BIG), (BIG, 1), (-1, 3), (3, -1), (-1, -1), (0, 0),
            (3, 0), (4, 2), (2, 4), (6, 0), (2, 1), (1, 2)]
UEL_REFUSED = [dict(ndofel=BIG), dict(ndofel=-1), dict(ndofel=0), dict(ndofel=12),
               dict(nrhs=0), dict(nrhs=-1), dict(mcrd=-1), dict(mcrd=2), dict(nnode=BIG),
               dict(nnode=-1), dict(nnode=3), dict(mlvarx=-1), dict(mlvarx=5), dict(nsvars=-1),
               dict(nprops=-1)]
VUEL_REFUSED = [dict(ndofel=BIG), dict(ndofel=-1), dict(ndofel=0), dict(nnode=BIG),
                dict(nnode=-1), dict(nnode=3), dict(ncrd=-1), dict(ncrd=2), dict(nsvars=-1),
                dict(nprops=-1)]


def implicit_cases(names, counts):
    """Refused layouts, then each count (state, properties) negative in the 3-D layout."""
    cases = [dict(zip(names, v)) for v in IMPLICIT]
    return cases + [{c: -1} for c in counts]


def explicit_cases(names, counts, peridigm=False):
    cases = [dict(zip(names, v)) for v in EXPLICIT
             if not (peridigm and implicit_layout(v[0], v[1], v[0] + v[1]))]
    return cases + [{c: -1} for c in counts]


class Entry:
    """A C entry: its argument list, legitimate extents, the values of some inputs, what a
    refused call may write, and its refused cases."""

    def __init__(self, symbol, args, legit, reach, cases, values=None):
        self.symbol, self.args, self.legit, self.reach = symbol, args, legit, reach
        self.cases, self.values = cases, values or {}


def umat_entry(name, args, nstatv, props, **kw):
    legit = dict(ndi=3, nshr=3, ntens=6, nstatv=nstatv, nprops=len(props))
    return Entry(name, args, legit, umat_reach,
                 implicit_cases(("ndi", "nshr", "ntens"), ("nstatv", "nprops")),
                 dict(props=props, jstep=[1, 1, 0, 0], **kw))


def usermat_entry(name, args, nstatev, props, counts=("nstatev", "nprop")):
    legit = dict(ndirect=3, nshear=3, ncomp=6, nstatev=nstatev, nprop=len(props))
    return Entry(name, args, legit, usermat_reach,
                 implicit_cases(("ndirect", "nshear", "ncomp"), counts), dict(prop=props))


def vumat_entry(name, args, nstatev, props):
    legit = dict(nblock=1, ndir=3, nshr=3, nstatev=nstatev, nfieldv=1, nprops=len(props))
    return Entry(name, args, legit, vumat_reach,
                 explicit_cases(("ndir", "nshr"), ("nstatev", "nprops")),
                 dict(props=props, density=[1.0], stepid=[3]))


def peridigm_entry(name, args):
    legit = dict(npoint=1, ndir=3, nshr=3, nstatev=1, nprops=2)
    return Entry(name, args, legit, peridigm_reach,
                 explicit_cases(("ndir", "nshr"), ("nstatev", "nprops"), peridigm=True),
                 dict(props=ELASTIC))


def uel_entry(name, args, nsvars, props, njprop, cases):
    legit = dict(ndofel=6, nrhs=1, nsvars=nsvars, nprops=len(props), mcrd=3, nnode=2,
                 ndload=0, npredf=1, mlvarx=6, mdload=1, njprop=njprop)
    values = dict(props=props, coords=[0, 0, 0, 1, 0, 0], lflags=[1, 1, 1, 0, 0],
                  jprops=[1, 1, 1][:njprop], kstep=[1])
    return Entry(name, args, legit, nothing, cases, values)


def vuel_entry(name, args, nsvars, props, njprops, cases):
    legit = dict(nblock=1, nsvars=nsvars, nnode=2, ndofel=6, nprops=len(props),
                 njprops=njprops, ncrd=3, npredef=1)
    values = dict(props=props, coords=[0, 1, 0, 0, 0, 0], lflags=[17, 0, 2],
                  jprops=[1, 1][:njprops])
    return Entry(name, args, legit, nothing, cases, values)


ELASTIC = [70000.0, 0.3]
NINE = [140000.0, 10000.0, 10000.0, 0.3, 0.3, 0.45, 5000.0, 5000.0, 3500.0]
HAIL = [9000.0, 0.33, 1.0, 5.0, 0.0, 6.0, 0.1]
KRAUSE = [2000.0, 30.0, 0.35, 800.0, 40.0, 300.0, 250.0, 200.0, 150.0, 100.0, 50.0]
PRONY = [0, 0, 0, 0, 0, 4000.0, 1500.0, 3500.0, 1200.0, 1100.0]
RESIN = list(np.linspace(1.0, 25.0, 25))
SHOKRIEH = list(np.linspace(1.0, 150.0, 150))
IMPACT = [210000.0, 0.3, 70000.0, 0.3, 10.0, 1.0, 5.0, 5.0, 0.0, 0.0, 1.0, 0.1, 1.5]
UEL_IMPACT_CASES = UEL_REFUSED + [dict(njprop=-1)]
VUEL_IMPACT_CASES = VUEL_REFUSED + [dict(njprops=-1)]

ENTRIES = [
    umat_entry("toplevel_umat_lamina", UMAT, 6, ELASTIC),
    umat_entry("toplevel_umat_hyper", UMAT, 6, ELASTIC),
    umat_entry("toplevel_umat_porosity", UMAT_NOSTEP, 6, ELASTIC),
    umat_entry("toplevel_umat_fiber", UMAT, 12, NINE),
    umat_entry("toplevel_umat_hail", UMAT, 13, HAIL),
    umat_entry("toplevel_umat_sensor", UMAT_NOSTEP + IMPACTOR, 6, ELASTIC, stepid=[3]),
    umat_entry("toplevel_umat_krause", UMAT, 42, KRAUSE),
    umat_entry("toplevel_umat_prony", UMAT, 510, PRONY),
    umat_entry("toplevel_umat_resin", UMAT, 22, RESIN),
    umat_entry("toplevel_umat_shokrieh", UMAT, 312, SHOKRIEH),
    umat_entry("wrapper_ansys_usermat_to_abq_umat", dfunc("usermat") + UMAT, 6, ELASTIC),
    umat_entry("wrapper_muesli_to_abq_umat", dfunc("muesli") + UMAT + [("matid", "i", 1)], 6,
               ELASTIC),
    usermat_entry("toplevel_usermat_fiber", USERMAT, 1, ELASTIC, ("nprop",)),  # no state
    usermat_entry("toplevel_usermat_lamina", USERMAT, 1, ELASTIC),
    usermat_entry("toplevel_usermat_prony", USERMAT, 510, PRONY),
    usermat_entry("toplevel_usermat_resin", USERMAT, 22, RESIN),
    usermat_entry("toplevel_usermat_shokrieh", USERMAT, 312, SHOKRIEH),
    usermat_entry("wrapper_abq_umat_to_ansys_usermat", dfunc("umat") + USERMAT, 6, ELASTIC),
    vumat_entry("toplevel_vumat_lamina", VUMAT, 1, ELASTIC),
    # the damage forms, which need their state
    vumat_entry("toplevel_vumat_bogenfeld", VUMAT, 47, NINE + [1.0] * 20),
    vumat_entry("toplevel_vumat_cartesian", VUMAT, 82, NINE + [1.0] * 30),
    vumat_entry("toplevel_vumat_sensor", VUMAT + IMPACTOR, 6, ELASTIC),
    peridigm_entry("toplevel_upermat_lamina", PERIDIGM),
    peridigm_entry("wrapper_abq_umat_to_peridigm_upermat", dfunc("umat") + PERIDIGM),
    uel_entry("toplevel_uel_truss", UEL, 12, [210000.0, 7.8e-9, 1.0], 1, UEL_REFUSED),
    uel_entry("toplevel_uel_impact", UEL + [("cprops", "d", 20)], 20, IMPACT, 3,
              UEL_IMPACT_CASES),
    vuel_entry("toplevel_vuel_truss", VUEL, 2, [210000.0, 7.8e-9, 1.0], 1, VUEL_REFUSED),
    vuel_entry("toplevel_vuel_impact", VUEL + [("cprops", "d", 20)], 18, IMPACT, 2,
               VUEL_IMPACT_CASES),
    Entry("toplevel_vusdfld_dmg", VUSDFLD,
          dict(nblock=1, nstatev=40, nfieldv=7, nprops=1, ndir=3, nshr=3), vusdfld_reach,
          [dict(ndir=-1), dict(nshr=-1), dict(ndir=-1, nshr=-1), dict(ndir=-1, nshr=BIG),
           dict(ndir=BIG, nshr=-1)], dict(dt=[1.0], steptime=[1.0])),
]

def table():
    for entry in ENTRIES:
        for case in entry.cases:
            yield pytest.param(entry, case, id="%s[%s]" % (entry.symbol, case_id(case)))


# ------------------------------------------------------------------------------------------
# The call, in a child process.

def arguments(entry, extents):
    """The argument list and the arrays by name (every array exactly its legitimate size)."""
    args, arrays = [], {}
    for name, kind, size in entry.args:
        if kind == "f":
            args.append(HANDED[size])
            continue
        n = entry.legit[size] if isinstance(size, str) else size
        if kind == "e":
            a = np.array([extents[name]], dtype=np.int32)
        elif kind == "i":
            a = np.ones(n, dtype=np.int32)
        elif kind == "s":
            a = np.frombuffer(b"PLY".ljust(n), dtype=np.uint8).copy()
        else:
            a = np.full(n, MARK)
        if name in entry.values:
            a[:] = entry.values[name]
        arrays[name] = a
        args.append(a.ctypes.data_as(C.c_void_p))
    return args, arrays


def bits(a):
    return a.view(np.int64) if a.dtype == np.float64 else a


def call(entry, case):
    """Calls the entry once; returns the code recorded, the converters' calls of the routine
    handed in, and the arrays written past the reach of the extents (name, first index)."""
    extents = dict(entry.legit, **case)
    args, arrays = arguments(entry, extents)
    before = {k: a.copy() for k, a in arrays.items()}
    CALLS[0] = 0
    _vorlen.errorhandling.rsxerr(1)
    fn = getattr(lib, entry.symbol)
    fn.restype = None
    fn(*args)
    reach = entry.reach(extents)
    past = []
    for name, a in arrays.items():
        changed = np.flatnonzero(bits(a) != bits(before[name]))
        beyond = changed[changed >= reach.get(name, 0)]
        if beyond.size:
            past.append((name, int(beyond[0])))
    return errstat(), CALLS[0], past


def sweep_child(entry, first, out):
    """The child: the cases from first on, one pickled record each, written as it is done."""
    for case in entry.cases[first:]:
        record = pickle.dumps(call(entry, case))
        os.write(out, len(record).to_bytes(4, "little") + record)


def sweep(entry, timeout=60.0):
    """The results of all cases of the entry, from as few children as crashes allow: a child
    that ends abnormally leaves its case the way it ended, and the next child goes on after it."""
    results = []
    while len(results) < len(entry.cases):
        sys.stdout.flush()
        sys.stderr.flush()
        data_r, data_w = os.pipe()
        text_r, text_w = os.pipe()
        pid = os.fork()
        if pid == 0:  # the child, whose output goes to the text pipe
            faulthandler.disable()
            os.close(data_r)
            os.close(text_r)
            os.dup2(text_w, 1)
            os.dup2(text_w, 2)
            try:
                sweep_child(entry, len(results), data_w)
                os._exit(0)
            except BaseException:
                os._exit(3)
        os.close(data_w)
        os.close(text_w)
        data, text, open_fds, late = b"", b"", {data_r, text_r}, False
        end = time.monotonic() + timeout
        while open_fds:
            ready, _, _ = select.select(list(open_fds), [], [], max(end - time.monotonic(), 0))
            if not ready:
                os.kill(pid, signal.SIGKILL)
                late = True
                break
            for fd in ready:
                chunk = os.read(fd, 1 << 16)
                if not chunk:
                    open_fds.discard(fd)
                elif fd == data_r:
                    data += chunk
                else:
                    text += chunk
        os.close(data_r)
        os.close(text_r)
        _, status = os.waitpid(pid, 0)
        while len(data) >= 4 and len(data) >= 4 + int.from_bytes(data[:4], "little"):
            n = int.from_bytes(data[:4], "little")
            results.append(pickle.loads(data[4:4 + n]))
            data = data[4 + n:]
        if len(results) < len(entry.cases) and not (os.WIFEXITED(status)
                                                    and os.WEXITSTATUS(status) == 0):
            if late:
                how = "did not return within %g s" % timeout
            elif os.WIFSIGNALED(status):
                how = "ended the process by signal %d" % os.WTERMSIG(status)
            else:
                how = "ended the process with status %d" % os.WEXITSTATUS(status)
            results.append("the call %s:\n%s" % (how, text.decode(errors="replace")[:3000]))
    return results


SWEPT = {}


@pytest.mark.parametrize("entry, case", table())
def test_refused_extents_return_a_code_and_stay_inside(entry, case):
    if entry.symbol not in SWEPT:
        SWEPT[entry.symbol] = sweep(entry)
    result = SWEPT[entry.symbol][entry.cases.index(case)]
    if isinstance(result, str):
        pytest.fail(result)
    code, calls, past = result
    assert code in (-3, -2)
    assert calls == 0  # a converter hands a refused call to no routine
    assert past == []  # (array, first entry written past what the extents reach)
