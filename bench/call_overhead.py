"""Cost of one routine call through _vorlen against an f2py wrapper of the same signature.

Run from a build: PYTHONPATH=build/python /usr/bin/python3 bench/call_overhead.py

The f2py wrappers are generated and built in this run (numpy.f2py, in a temporary folder) from
a signature file that gives each of them the Python call form of the bound routine and lets it
call the same library routine of this build's libvorlen.so, so both sides convert and check the
same arguments, run the same code and return the same results: the difference is the cost of
the call wrapper. A bound routine should cost at most 0.9 times the f2py wrapper (aim: 0.8).
numpy.add of two 3x3 arrays is printed for scale. Each time is the best of interleaved rounds,
so that a busy machine slows both sides alike.
"""
import importlib
import os
import subprocess
import sys
import tempfile
import timeit

import numpy as np

import _vorlen

# The bound routines' call forms for f2py: optional extents checked against the arrays, hidden
# outputs; each wrapper calls the library's C-linkage routine (all arguments by reference).
SIGNATURES = """
python module f2pyreference
interface
  subroutine euclideandistance(r, x, y, n)
    intent(c) euclideandistance
    fortranname EuclideanDistance
    callstatement r = ((double (*)(const double*, const double*, const int*))f2py_func)(x, y, &n)
    callprotoargument const double*, const double*, const int*
    double precision intent(out) :: r
    double precision intent(in) :: x(n)
    double precision intent(in), depend(n) :: y(n)
    integer optional, intent(in), check(len(x)>=n), depend(x) :: n = len(x)
  end subroutine
  subroutine matrixcopy(a, b, n, m)
    intent(c) matrixcopy
    fortranname MatrixCopy
    callstatement (*f2py_func)(a, b, &n, &m)
    callprotoargument const double*, double*, const int*, const int*
    double precision intent(in) :: a(n, m)
    double precision intent(out), depend(n, m) :: b(n, m)
    integer optional, intent(in), check(shape(a,0)==n), depend(a) :: n = shape(a,0)
    integer optional, intent(in), check(shape(a,1)==m), depend(a) :: m = shape(a,1)
  end subroutine
  subroutine getabdmatrix(abd, a, b, d)
    intent(c) getabdmatrix
    fortranname GetABDMatrix
    callstatement (*f2py_func)(abd, a, b, d)
    callprotoargument double*, const double*, const double*, const double*
    double precision intent(out) :: abd(6, 6)
    double precision intent(in) :: a(3, 3), b(3, 3), d(3, 3)
  end subroutine
  subroutine rsxerr(reset, lop)
    intent(c) rsxerr
    fortranname errorhandling_rsxerr
    callstatement (*f2py_func)(&reset, (const signed char*)&lop)
    callprotoargument int*, const signed char*
    integer intent(out) :: reset
    logical*1 intent(in) :: lop
  end subroutine
end interface
end python module
"""


def library_folder():
    """The folder of the libvorlen.so that _vorlen loaded."""
    with open("/proc/self/maps") as maps:
        for line in maps:
            path = line.split()[-1]
            if os.path.basename(path).startswith("libvorlen.so"):
                return os.path.dirname(path)
    raise RuntimeError("libvorlen.so is not loaded")


def f2py_module(folder):
    src = os.path.join(folder, "reference.pyf")
    with open(src, "w") as f:
        f.write(SIGNATURES)
    # Linked against the loaded libvorlen.so, which the import then finds already loaded.
    subprocess.run([sys.executable, "-m", "numpy.f2py", "-c", src, "-L" + library_folder(),
                    "-lvorlen"], cwd=folder, check=True, stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL)
    sys.path.insert(0, folder)
    return importlib.import_module("f2pyreference")


def best(stmt, env, rounds, number=50000):
    return min(timeit.repeat(stmt, globals=env, number=number, repeat=1)[0] / number * 1e9
               for _ in range(rounds))


def main(rounds=15):
    a = np.asfortranarray(np.arange(9.0).reshape(3, 3))
    b = np.asfortranarray(np.ones((3, 3)))
    p, q = np.array([1.0, 2.0, 3.0]), np.array([4.0, 6.0, 8.0])
    cases = [
        ("math.euclideandistance(p, q)", "euclideandistance", _vorlen.math, (p, q)),
        ("utility.matrixcopy(a)", "matrixcopy", _vorlen.utility, (a,)),
        ("laminate.getabdmatrix(a, b, a)", "getabdmatrix", _vorlen.laminate, (a, b, a)),
        ("errorhandling.rsxerr(0)", "rsxerr", _vorlen.errorhandling, (0,)),
    ]
    with tempfile.TemporaryDirectory() as folder:
        ref = f2py_module(folder)
        x, y = np.ones((3, 3)), np.ones((3, 3))
        t_np = best("add(x, y)", {"add": np.add, "x": x, "y": y}, rounds)
        print(f"{'numpy.add(3x3, 3x3)':32s} {t_np:8.1f} ns")
        print(f"{'':32s} {'_vorlen':>8s}    {'f2py':>8s}")
        for label, name, module, args in cases:
            mine, theirs = getattr(module, name), getattr(ref, name)
            np.testing.assert_allclose(mine(*args), theirs(*args))
            call = "f(%s)" % ",".join(f"a{k}" for k in range(len(args)))
            env = {f"a{k}": v for k, v in enumerate(args)}
            t_mine, t_theirs = [], []
            for _ in range(rounds):  # interleaved
                t_mine.append(best(call, {"f": mine, **env}, 1))
                t_theirs.append(best(call, {"f": theirs, **env}, 1))
            tm, tt = min(t_mine), min(t_theirs)
            print(f"{label:32s} {tm:8.1f} ns {tt:8.1f} ns  ratio {tm / tt:5.2f}")


if __name__ == "__main__":
    main()
