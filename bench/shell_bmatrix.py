"""Timing of elementhandling.shellbmatrix from Python, the strain-displacement matrix of an 8-node
shell at one point, against numpy.add of two 8x40 arrays.

Prints both times and their ratio; the goal is at most 2. Each time is the best of interleaved
rounds, so that a busy machine slows both sides alike. Run with PYTHONPATH=<build>/python;
exits 1 when the goal is missed.
"""
import sys

import numpy as np

import _vorlen
from quad8_shapefunmatrix import GOAL, best


def main():
    bmatrix = _vorlen.elementhandling.shellbmatrix
    nodes = [(-1, -1), (1, -1), (1, 1), (-1, 1), (0, -1), (1, 0), (0, 1), (-1, 0)]
    ncoords = np.zeros((3, 8), order="F")
    ncoords[:2] = np.array(nodes, float).T * [[1.3], [0.8]]
    ncoords[0, 4] += 0.1
    a, b = np.ones((8, 40)), np.ones((8, 40))
    xi, eta = 0.339981, -0.861136
    t_lib = t_ref = float("inf")
    for _ in range(15):  # interleaved rounds
        t_lib = min(t_lib, best(lambda: bmatrix(ncoords, xi, eta)))
        t_ref = min(t_ref, best(lambda: np.add(a, b)))
    ratio = t_lib / t_ref
    print(f"shellbmatrix   {1e6 * t_lib:8.3f} us")
    print(f"numpy.add 8x40 {1e6 * t_ref:8.3f} us")
    print(f"ratio          {ratio:8.2f} (goal <= {GOAL})")
    return 0 if ratio <= GOAL else 1


if __name__ == "__main__":
    sys.exit(main())
