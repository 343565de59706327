"""Cost of iohandling.getabqdatafromfile on the printed model listing of a 60 x 60 mesh of S4R
elements (3600 elements, 3721 nodes) against numpy.loadtxt of the same element and node lines
(the element lines without their type name, the node lines as they stand), in one run.

Run from a build: PYTHONPATH=build/python /usr/bin/python3 bench/abq_listing.py
The goal is a ratio of at most 2: the reader passes over the file three times (extents,
elements, nodes) and hands the coordinates to the element slots in one pass over the
connectivity. Exits 1 when the ratio is above it.
"""
import os
import sys
import tempfile
import timeit

import numpy as np

import _vorlen

GOAL = 2.0
N = 60


def listing(n):
    grid = np.arange(1, (n + 1) ** 2 + 1).reshape(n + 1, n + 1)
    elems = [(i * n + j + 1, grid[i, j], grid[i, j + 1], grid[i + 1, j + 1], grid[i + 1, j])
             for i in range(n) for j in range(n)]
    elem_lines = [f"{e:8d} S4R     {1:8d}{a:8d}{b:8d}{c:8d}{d:8d}" for e, a, b, c, d in elems]
    node_lines = [f"{grid[i, j]:8d}{j / n:16.6f}{i / n:16.6f}{0.0:16.6f}"
                  for i in range(n + 1) for j in range(n + 1)]
    text = ("\n                           E L E M E N T   D E F I N I T I O N S\n\n"
            " NUMBER  TYPE    PROPERTY    NODES FORMING ELEMENT\n\n" + "\n".join(elem_lines) +
            "\n\n                           N O D E   D E F I N I T I O N S\n\n"
            "    NODE     COORDINATES\n" + "\n".join(node_lines) + "\n\n END OF LISTING\n")
    return text, elem_lines, node_lines


def best(stmt, env, number=20, repeat=7):
    return min(timeit.repeat(stmt, globals=env, number=number, repeat=repeat)) / number * 1e3


def main():
    text, elem_lines, node_lines = listing(N)
    with tempfile.TemporaryDirectory() as d:
        path = os.path.join(d, "job.dat")
        with open(path, "w") as f:
            f.write(text)
        elem_path, node_path = os.path.join(d, "elem.txt"), os.path.join(d, "node.txt")
        with open(elem_path, "w") as f:
            f.write("\n".join(l.replace(" S4R ", "     ") for l in elem_lines) + "\n")
        with open(node_path, "w") as f:
            f.write("\n".join(node_lines) + "\n")
        env = {"read": _vorlen.iohandling.getabqdatafromfile, "path": path, "np": np,
               "ep": elem_path, "npth": node_path}
        t_lib = best("read(path)", env)
        t_np = best("np.loadtxt(ep, dtype=np.int32); np.loadtxt(npth)", env)
        assert int(_vorlen.elementdata.nelem) == N * N
    ratio = t_lib / t_np
    print(f"numpy.loadtxt (elements, nodes): {t_np:8.3f} ms")
    print(f"iohandling.getabqdatafromfile:   {t_lib:8.3f} ms  ratio {ratio:5.2f}"
          f"  (goal <= {GOAL:g})")
    return 1 if ratio > GOAL else 0


if __name__ == "__main__":
    sys.exit(main())
