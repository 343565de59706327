"""Every bound routine survives wrong arguments: no call may end the process by a signal.

The routines are found from the module objects, so routines added later are covered without
change. A child process calls each routine with a table of wrong arguments, one position at a
time; the parent restarts it after a routine that ends the process on purpose.
"""
import os
import re
import subprocess
import sys

import pytest

import _vorlen

# Routines that end the process on bad input by design, with the text they print. Any routine
# may end it when memory for an allocation cannot be had.
MAY_EXIT = {
    "errorhandling.xerr": "",
    "math.linearinterpolation": "INTERP_LINEAR - Fatal error!",
    "lamina.gethardeningfromtable": "INTERP_LINEAR - Fatal error!",
    "math.cubichermitianinterpolation": " IN LIBRARY SLATEC.",
    "math.cubichermitianintegration": " IN LIBRARY SLATEC.",
    "math.cubichermitianarclength": " IN LIBRARY SLATEC.",
    "interaction.contactlaw": " IN LIBRARY SLATEC.",  # a stiffness table whose forces descend
}
ALLOCATION_STOPS = ("Error allocating ", "Integer overflow when calculating the amount of memory")

DRIVER = r'''
import math, os, random, re, resource, sys, warnings
import numpy as np
import _vorlen

sanitized = bool(os.environ.get("VORLEN_SANITIZED"))
if not sanitized:  # a huge extent then fails to allocate at once instead of filling gigabytes
    resource.setrlimit(resource.RLIMIT_AS, (2 << 30, 2 << 30))
start, progress = int(sys.argv[1]), open(sys.argv[2], "w", buffering=1)

def routines():
    for mod in sorted(k for k, v in vars(_vorlen).items() if type(v).__name__ == "module"):
        obj = getattr(_vorlen, mod)
        for name in sorted(obj.__dict__):
            r = obj.__dict__[name]
            if hasattr(r, "_cpointer"):
                yield mod + "." + name, r

LINE = re.compile(r"^(\w+) : (.*?)(, optional)?$")

def parameters(doc):
    out, section = [], None
    for line in doc.splitlines():
        if line in ("Parameters", "Other Parameters", "Returns"):
            section = line
        elif section in ("Parameters", "Other Parameters") and LINE.match(line):
            name, kind, opt = LINE.match(line).groups()
            out.append((name, kind, bool(opt)))
    return out

def plausible(kind):
    m = re.match(r"(input|in/output) rank-(\d+) array\('(.)'\) with bounds \((.*)\)", kind)
    if m:
        dtype = {"d": np.float64, "i": np.int32, "D": np.complex128, "c": "S1"}[m.group(3)]
        shape = [int(b) if b.isdigit() else 3 for b in m.group(4).split(",")]
        return np.asfortranarray(np.ones(shape, dtype=dtype))
    if kind.startswith("in/output rank-0"):
        return np.zeros((), dtype=np.int32 if "'i'" in kind or "'b'" in kind else np.float64)
    if kind.startswith("input string"):
        return "F"
    if kind == "input float":
        return 1.5
    if kind == "input complex":
        return 1 + 1j
    if kind == "call-back function":  # harmless: takes every value, changes nothing
        return lambda *a: None
    if kind == "input tuple":
        return ()
    return 2

class Fresh:
    """A value made anew for every call (a copy would lose its layout)."""
    def __init__(self, make):
        self.make = make
    def __repr__(self):
        return repr(self.make())

def fresh(v):
    if isinstance(v, Fresh):
        return v.make()
    return v.copy() if isinstance(v, np.ndarray) and v.flags.writeable else v

BAD = [None, math.nan, math.inf, -math.inf, 0, -1, 7, 2**31, -2**31, "text", [], 1e308,
       np.zeros(0), np.zeros((0, 0)), np.ones((2, 3, 4)), np.ones((4, 4)), np.ones((3, 2)),
       Fresh(lambda: np.ones(9)[::2]), Fresh(lambda: np.matrix(np.ones((1, 9)))),
       np.full(3, np.nan), np.array([1, 2, 3]), np.ones((3, 3), dtype=np.complex128),
       _vorlen.types.cb,  # read-only storage: must never be written
       # routines given as capsules: one with another argument list, one whose argument list
       # matches the fixed-point map but which needs four values
       _vorlen.math.matrixinverse._cpointer, _vorlen.nlcollection.recu_nlhahntsai._cpointer]
if not sanitized:
    BAD.append(2**31 - 1)

warnings.simplefilter("ignore")
rng = random.Random(20261210)
for index, (name, routine) in enumerate(routines()):
    if index < start:
        continue
    params = parameters(routine.__doc__)
    base = {p: plausible(k) for p, k, _ in params}
    # the optional arguments left out: extents then come from the (wrong) arrays
    required = {p: plausible(k) for p, k, opt in params if not opt}
    cases = [dict(base)]
    for p, _, opt in params:
        for bad in BAD:
            cases.append(dict(base, **{p: bad}))
            if not opt:
                cases.append(dict(required, **{p: bad}))
    for fill in (0, -1, 1):  # every integer the same at once: empty, negative, minimal
        cases.append({p: (fill if isinstance(v, int) else v) for p, v in base.items()})
    rng.shuffle(cases)
    for number, kwargs in enumerate(cases[:150]):
        progress.write("%d %s %d %s\n" % (index, name, number, repr(kwargs).replace("\n", " ")))
        try:
            routine(**{k: fresh(v) for k, v in kwargs.items()})
        except (Exception, MemoryError):
            pass
progress.write("done\n")
'''


def test_no_routine_crashes_on_wrong_arguments(tmp_path):
    env = dict(os.environ)
    for key in ("ASAN_OPTIONS", "UBSAN_OPTIONS"):
        env[key] = (env.get(key, "") + ":abort_on_error=1").lstrip(":")
    log = tmp_path / "progress"
    start, exits = 0, []
    for _ in range(50):
        # in a folder of its own: routines that write files name them after their arguments
        proc = subprocess.run([sys.executable, "-c", DRIVER, str(start), str(log)], env=env,
                              capture_output=True, text=True, timeout=900, cwd=tmp_path)
        lines = log.read_text().splitlines()
        last = lines[-1] if lines else ""
        if proc.returncode == 0 and last == "done":
            break
        assert proc.returncode >= 0, (
            "killed by signal %d in the call\n%s\n%s" % (-proc.returncode, last, proc.stderr[-3000:]))
        index, name = last.split(" ", 2)[:2]
        output = proc.stdout + proc.stderr
        by_design = name in MAY_EXIT and MAY_EXIT[name] in output
        assert by_design or any(s in output for s in ALLOCATION_STOPS), (
            "%s ended the process (status %d) in\n%s\n%s" % (
                name, proc.returncode, last, output[-3000:]))
        assert proc.returncode != 0, name + " ended the process reporting success"
        exits.append(name)
        start = int(index) + 1
    else:
        pytest.fail("too many restarts: " + ", ".join(exits))


# One call of each routine whose docstring says it ends the process, made to end it: the exit
# status and the report the docstring names.
ENDS = {
    "math.linearinterpolation": ("x=np.array([0.0, 0.0]), y=np.ones(2), p=np.ones(1)",
                                 "INTERP_LINEAR - Fatal error!"),
    "lamina.gethardeningfromtable": ("strain=0.1, table=np.array([[100.0, 0.2], [200.0, 0.1]])",
                                     "INTERP_LINEAR - Fatal error!"),
    "math.cubichermitianinterpolation": ("x=np.ones(1), y=np.ones(1), p=np.ones(1)",
                                         "NUMBER OF DATA POINTS LESS THAN TWO"),
    "math.cubichermitianintegration": ("x=np.array([1.0, 0.5]), y=np.ones(2), a=0.6, b=0.9",
                                       "X-ARRAY NOT STRICTLY INCREASING"),
    "math.cubichermitianarclength": ("x=np.array([1.0, 0.5]), y=np.ones(2), a=0.6, b=0.9",
                                     "X-ARRAY NOT STRICTLY INCREASING"),
    "interaction.contactlaw": ("xold=1.0, args=np.array([1e5, 0, 1e-6, 0, 0, 1.5, 0, "
                               "2.0, 1.0, 5e4, 6e4]), clflag=1", "X-ARRAY NOT STRICTLY"),
    "errorhandling.xerr": ("lop=-3, xerrmsg='stop here', intv=np.zeros(1, np.int32), "
                           "realv=np.zeros(1), asciim=np.zeros((1, 1), np.int32)", " stop here"),
}


def documented_exits():
    out = set()
    for mod in (k for k, v in vars(_vorlen).items() if type(v).__name__ == "module"):
        for name, r in vars(getattr(_vorlen, mod)).items():
            if hasattr(r, "_cpointer") and "Ends the process" in (r.__doc__ or ""):
                out.add(mod + "." + name)
    return out


def test_routines_that_end_the_process_say_so():
    assert set(MAY_EXIT) <= documented_exits()
    assert set(ENDS) == documented_exits() - {"boxbeamio.box_getxsection"}


@pytest.mark.parametrize("name", sorted(ENDS))
def test_documented_process_end(name):
    args, text = ENDS[name]
    code = "import numpy as np, _vorlen\n_vorlen.%s(%s)\nprint('returned')" % (name, args)
    proc = subprocess.run([sys.executable, "-c", code], capture_output=True, text=True,
                          timeout=60)
    assert proc.returncode == 1, (proc.returncode, proc.stdout, proc.stderr)
    assert text in proc.stdout and "returned" not in proc.stdout
