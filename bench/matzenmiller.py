"""Cost of one degradation.matzenmillerdegradation call from Python (a 6x6 damaged stiffness
from nine constants, three normal and three shear damages) against numpy.add of two 6x6 arrays,
in one run.

Run from a build: PYTHONPATH=build/python /usr/bin/python3 bench/matzenmiller.py
The goal is a ratio of at most 3: the call converts nine arguments and creates the 6x6 result,
which numpy.add creates too. Exits 1 when the ratio is above it.
"""
import sys
import timeit

import numpy as np

import _vorlen

GOAL = 3.0


def best(stmt, env, number=200000, repeat=7):
    return min(timeit.repeat(stmt, globals=env, number=number, repeat=repeat)) / number * 1e9


def main():
    propvec = np.array([140e3, 9.5e3, 9.0e3, 3.2e3, 4.8e3, 5.1e3, 0.45, 0.28, 0.31])
    dnorm = np.array([0.3, 0.6, 0.1])
    x, y = np.ones((6, 6)), np.ones((6, 6))
    env = {"f": _vorlen.degradation.matzenmillerdegradation, "p": propvec, "d": dnorm,
           "add": np.add, "x": x, "y": y}
    t_lib = best("f(p, d, 0.5, 0.2, 0.7)", env)
    t_np = best("add(x, y)", env)
    ratio = t_lib / t_np
    print(f"numpy.add(6x6, 6x6):            {t_np:8.1f} ns")
    print(f"degradation.matzenmiller...(..) {t_lib:8.1f} ns  ratio {ratio:5.2f}"
          f"  (goal <= {GOAL:g})")
    return 1 if ratio > GOAL else 0


if __name__ == "__main__":
    sys.exit(main())
