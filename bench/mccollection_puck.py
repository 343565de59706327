"""Timing of Puck's fracture-plane criterion from Python: mccollection.mcrckpuck with a 1-degree
scan (181 planes from 0 to 180 degrees) against the same criterion swept over the same 181
angles in numpy, in one run.

Four stress states (transverse tension, compression, shear-dominated, three-dimensional).
Prints the time ratio per point (library / numpy, below 1 is faster) per case. Run with
PYTHONPATH=<build>/python; exits 1 when the library is slower in any case.
"""
import math
import sys
import timeit

import numpy as np

import _vorlen

XT22, XC22, X12 = 50.0, 200.0, 80.0
GP = (0.3, 0.2, 0.15, 0.15)
STATES = {
    "tension": (60.0, 0.0, 0.0, 0.0, 0.0),
    "compression": (-250.0, 0.0, 0.0, 0.0, 0.0),
    "shear": (-30.0, 0.0, 90.0, 0.0, 0.0),
    "3-D": (-120.0, -30.0, 40.0, 15.0, 25.0),
}


def angles(step=1.0):
    """The scan's grid: repeated addition of the step from 0 while not above pi."""
    xs, x, dx = [], 0.0, step * math.pi / 180.0
    while x <= math.pi:
        xs.append(x)
        x += dx
    return np.array(xs)


def puck_sweep(th, s22, s33, s12, s13, s23):
    c, s = np.cos(th), np.sin(th)
    sn = s22 * s * s + s33 * c * c - 2.0 * s23 * s * c
    tl = s13 * c - s12 * s
    tt = s23 * (c * c - s * s) + (s33 - s22) * s * c
    ra = XC22 / (2.0 * (1.0 + GP[3]))
    w = tl * tl + tt * tt
    safe = np.where(w == 0.0, 1.0, w)
    p = np.where(w == 0.0, 0.0, (GP[3] * tt * tt / ra + GP[1] * tl * tl / X12) * sn / safe)
    q = np.where(w == 0.0, 0.0, (GP[2] * tt * tt / ra + GP[0] * tl * tl / X12) / safe)
    shear = (tt / ra) ** 2 + (tl / X12) ** 2
    index = np.where(sn < 0.0, p + np.sqrt(shear + p * p),
                     q * sn + np.sqrt(((1.0 / XT22 - q) * sn) ** 2 + shear))
    k = int(np.argmax(index))
    return th[k], index[k]


def best(fn, repeat=7, number=200):
    return min(timeit.repeat(fn, number=number, repeat=repeat)) / number


def main():
    puck = _vorlen.mccollection.mcrckpuck
    th = angles()
    assert th.size == 181
    slower = False
    print(f"{'state':>12} {'vorlen us':>10} {'numpy us':>10} {'ratio':>7}")
    for name, st in STATES.items():
        rmc = puck(*st, XT22, XC22, X12, sainc=1.0)[0]
        _, ref = puck_sweep(th, *st)
        assert math.isclose(rmc, max(ref, 0.0), rel_tol=1e-12), (name, rmc, ref)
        t_lib = best(lambda: puck(*st, XT22, XC22, X12, sainc=1.0))
        t_ref = best(lambda: puck_sweep(th, *st))
        ratio = t_lib / t_ref  # both evaluate the same 181 planes
        slower |= ratio > 1.0
        print(f"{name:>12} {1e6 * t_lib:10.2f} {1e6 * t_ref:10.2f} {ratio:7.3f}")
    return 1 if slower else 0


if __name__ == "__main__":
    sys.exit(main())
