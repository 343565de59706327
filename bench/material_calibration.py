"""Cost of iohandling.getmaterialdatafromfile on a material card whose calibration table has
10,000 temperature rows (a grid of 10,000 temperatures and one "+Calibration, TYPE=Secant" line
of two points per temperature) against numpy.loadtxt of the same numbers (10,000 rows of
temperature and four values), in one run.

Run from a build: PYTHONPATH=build/python /usr/bin/python3 bench/material_calibration.py
The goal is a ratio of at most 1.0: the reader passes over the card three times and moves back
one line after every data block, which the unit table does without reading from the start.
Exits 1 when the ratio is above it.
"""
import os
import sys
import tempfile
import timeit

import numpy as np

import _vorlen

GOAL = 1.0
N = 10_000


def card(temps, values):
    out = ["++Begin Material, MATID=1", "+Elastic", "70000 0.3", "+Temperature"]
    out += [f"{t:.2f}" for t in temps]
    for t, v in zip(temps, values):
        out += [f"+Calibration, TYPE=Secant, T={t:.2f}", " ".join(f"{x:.6e}" for x in v)]
    out += ["++End Material", ""]
    return "\n".join(out)


def best(stmt, env, number=3, repeat=5):
    return min(timeit.repeat(stmt, globals=env, number=number, repeat=repeat)) / number * 1e3


def main():
    rng = np.random.default_rng(1)
    temps = 200.0 + np.arange(N) * 0.01
    values = rng.uniform(0, 100, (N, 4))
    with tempfile.TemporaryDirectory() as d:
        with open(os.path.join(d, "MaterialCard.vrl"), "w") as f:
            f.write(card(temps, values))
        table = os.path.join(d, "table.txt")
        np.savetxt(table, np.column_stack([temps, values]), fmt="%.6e")
        _vorlen.materialdata.matidlist = np.ones((1, 1), dtype=np.int32)

        def read():
            _vorlen.materialdata.peprops = np.zeros((0, 1, 1), order="F")  # read anew each time
            _vorlen.iohandling.getmaterialdatafromfile(" " * 256, d.ljust(256), 1, 1)

        env = {"read": read, "np": np, "table": table}
        t_lib = best("read()", env)
        t_np = best("np.loadtxt(table)", env)
        s = _vorlen.materialdata.secantprops
        assert s.shape == (N, 2, 2) and np.allclose(s.reshape(N, 4), values, rtol=1e-6)
    ratio = t_lib / t_np
    print(f"numpy.loadtxt:                     {t_np:8.3f} ms")
    print(f"iohandling.getmaterialdatafromfile: {t_lib:8.3f} ms  ratio {ratio:5.2f}"
          f"  (goal <= {GOAL:g})")
    return 0 if ratio <= GOAL else 1


if __name__ == "__main__":
    sys.exit(main())
