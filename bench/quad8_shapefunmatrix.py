"""Timing of elementhandling.quad8shapefunmatrix from Python, the shape-function matrix the shell
routines evaluate per integration point, against numpy.add of two 8x6 arrays.

Prints both times and their ratio; the goal is at most 2. Each time is the best of interleaved
rounds, so that a busy machine slows both sides alike. Run with PYTHONPATH=<build>/python;
exits 1 when the goal is missed.
"""
import sys
import timeit

import numpy as np

import _vorlen

GOAL = 2.0


def best(fn, number=20000):
    return timeit.repeat(fn, number=number, repeat=1)[0] / number


def main():
    shape = _vorlen.elementhandling.quad8shapefunmatrix
    a, b = np.ones((8, 6)), np.ones((8, 6))
    xi, eta = 0.339981, -0.861136
    t_lib = t_ref = float("inf")
    for _ in range(15):  # interleaved rounds
        t_lib = min(t_lib, best(lambda: shape(xi, eta)))
        t_ref = min(t_ref, best(lambda: np.add(a, b)))
    ratio = t_lib / t_ref
    print(f"quad8shapefunmatrix {1e6 * t_lib:8.3f} us")
    print(f"numpy.add 8x6       {1e6 * t_ref:8.3f} us")
    print(f"ratio               {ratio:8.2f} (goal <= {GOAL})")
    return 0 if ratio <= GOAL else 1


if __name__ == "__main__":
    sys.exit(main())
