"""ctypes access to the exported routines of the cubic Hermite, table interpolation and error
packages (no Python module reaches them), in both precisions, and a runner of calls in a child
process for the paths that end it."""
import ctypes as C
import os
import textwrap

import numpy as np

import _vorlen
from conftest import run_python

LIB_PATH = os.path.join(os.path.dirname(os.path.dirname(_vorlen.__file__)), "libvorlen.so")
lib = C.CDLL(LIB_PATH)
for _name in ("dpchdf_", "dpchst_", "dpchia_", "dpchid_", "dchfie_", "dpchqa_", "d1mach_",
              "dbvalu_"):
    getattr(lib, _name).restype = C.c_double
for _name in ("pchdf_", "pchst_", "r1mach_", "pchia_", "pchid_", "chfie_", "pchqa_", "bvalu_",
              "pchip_rand_"):
    getattr(lib, _name).restype = C.c_float

# The precisions of the twins: the numpy type of their reals.
DOUBLE, SINGLE = np.float64, np.float32
PRECISIONS = [DOUBLE, SINGLE]
# Relative accuracy to expect of a result computed in a precision.
ACCURACY = {DOUBLE: 1e-12, SINGLE: 2e-5}


def twin(dname, dt):
    """The routine of precision dt whose double twin is dname."""
    return getattr(lib, dname if dt is DOUBLE else dname[1:])


def name(dname, dt):
    """The upper-case name under which the twin of precision dt reports."""
    return (dname if dt is DOUBLE else dname[1:]).upper().rstrip("_")


def i(v):
    return C.byref(C.c_int32(v))


def d(v):
    return C.byref(C.c_double(v))


def r(v, dt):
    """A real of precision dt passed by reference."""
    return C.byref((C.c_double if dt is DOUBLE else C.c_float)(v))


def ptr(a):
    return a.ctypes.data_as(C.c_void_p)


def arr(v, dtype=DOUBLE):
    return np.ascontiguousarray(v, dtype=dtype)


def pchim(x, f, dt=DOUBLE, incfd=1):
    x, f = arr(x, dt), arr(f, dt)
    dd, ierr = np.zeros(f.size, dt), C.c_int32(-99)
    twin("dpchim_", dt)(i(x.size), ptr(x), ptr(f), ptr(dd), i(incfd), C.byref(ierr))
    return dd, ierr.value


def pchsp(x, f, ic=(0, 0), vc=(0.0, 0.0), dt=DOUBLE):
    x, f = arr(x, dt), arr(f, dt)
    n = x.size
    dd, wk, ierr = np.zeros(n, dt), np.zeros(2 * n, dt), C.c_int32(-99)
    twin("dpchsp_", dt)(ptr(arr(ic, np.int32)), ptr(arr(vc, dt)), i(n), ptr(x), ptr(f), ptr(dd),
                        i(1), ptr(wk), i(2 * n), C.byref(ierr))
    return dd, ierr.value


def pchic(x, f, ic=(0, 0), vc=(0.0, 0.0), switch=0.0, dt=DOUBLE):
    x, f = arr(x, dt), arr(f, dt)
    n = x.size
    dd, wk, ierr = np.zeros(n, dt), np.zeros(2 * n, dt), C.c_int32(-99)
    twin("dpchic_", dt)(ptr(arr(ic, np.int32)), ptr(arr(vc, dt)), r(switch, dt), i(n), ptr(x),
                        ptr(f), ptr(dd), i(1), ptr(wk), i(2 * n), C.byref(ierr))
    return dd, ierr.value


def pchfd(x, f, dd, xe, dt=DOUBLE, skip=0):
    x, f, dd, xe = arr(x, dt), arr(f, dt), arr(dd, dt), arr(xe, dt)
    fe, de, s, ierr = np.zeros(xe.size, dt), np.zeros(xe.size, dt), C.c_int32(skip), C.c_int32(-99)
    twin("dpchfd_", dt)(i(x.size), ptr(x), ptr(f), ptr(dd), i(1), C.byref(s), i(xe.size), ptr(xe),
                        ptr(fe), ptr(de), C.byref(ierr))
    return fe, de, ierr.value, s.value


def random_table(n, seed):
    rng = np.random.default_rng(seed)
    return np.cumsum(rng.uniform(0.1, 1.0, n)), rng.normal(size=n)


PRELUDE = f"""
import ctypes as C, numpy as np
lib = C.CDLL({LIB_PATH!r})
lib.d1mach_.restype = C.c_double
lib.r1mach_.restype = C.c_float
lib.pchip_rand_.restype = C.c_float
i = lambda v: C.byref(C.c_int32(v))
d = lambda v: C.byref(C.c_double(v))
f = lambda v: C.byref(C.c_float(v))
ptr = lambda a: a.ctypes.data_as(C.c_void_p)
arr = lambda v, t=float: np.ascontiguousarray(v, dtype=t)
s = lambda t: C.c_char_p(t.encode())
z = C.c_size_t
n = lambda t: z(len(t))
nan = float("nan")
ierr = C.c_int32(-99)
"""


def call(dname, dt, args):
    """Text of a call of the twin of precision dt, with A(list) an array and R(value) a real
    passed by reference of its precision."""
    t, ref = ("np.float64", "d") if dt is DOUBLE else ("np.float32", "f")
    routine = dname if dt is DOUBLE else dname[1:]
    return f"A = lambda v: arr(v, {t})\nR = {ref}\nlib.{routine}({args})"


def run_lib(body):
    """Runs body in a child process after PRELUDE; it prints "returned" and ierr on return."""
    return run_python(PRELUDE + textwrap.dedent(body) + '\nprint("returned", ierr.value)\n')


SUMMARY_HEAD = ("0          ERROR MESSAGE SUMMARY\n"
                " LIBRARY    SUBROUTINE MESSAGE START             NERR     LEVEL     COUNT\n")


def summary_line(routine, message, number, level=1, count=1):
    return f" SLATEC     {routine:8s}   {message[:20]:20s}{number:10d}{level:10d}{count:10d}\n"


def abort_report(routine, message, number):
    """What a recoverable error prints under the initial control flag before the process ends."""
    return (f" ***MESSAGE FROM ROUTINE {routine} IN LIBRARY SLATEC.\n"
            " ***POTENTIALLY RECOVERABLE ERROR, PROG ABORTED, TRACEBACK REQUESTED\n"
            f" *  {message}\n"
            f" *  ERROR NUMBER = {number}\n"
            " *   \n"
            " ***END OF MESSAGE\n"
            " \n"
            " ***JOB ABORT DUE TO UNRECOVERED ERROR.\n"
            + SUMMARY_HEAD + summary_line(routine, message, number) + " \n")
