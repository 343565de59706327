"""Timing of damage.getdamagefromdds from Python, the routine the damage field routine calls at
every integration point, against numpy.add of two 3x3 arrays.

One damage set over a laminate of 8 plies in one section, every mode with an ellipse and every
interface delaminated, the buckling records already present (the first call computes them).
The point lies in the middle ply, inside every ellipse. Prints both times and their ratio; the
goal is at most 5. Each time is the best of interleaved rounds, so that a busy machine slows
both sides alike. Run with PYTHONPATH=<build>/python; exits 1 when the goal is missed.
"""
import sys
import timeit

import numpy as np

import _vorlen

GOAL = 5.0
NPLIES = 8
CFRP = np.array([181000.0, 10300.0, 10300.0, 0.28, 0.28, 0.45, 7170.0, 7170.0, 3550.0])


def store():
    v = _vorlen
    v.datahandling.deallocall()
    s = v.sectiondata
    s.nplies, s.nsec = NPLIES, 1
    s.plyorientation = np.array([[0.0, 45.0, -45.0, 90.0, 90.0, -45.0, 45.0, 0.0]]).T.copy("F")
    s.plythickness = np.full((NPLIES, 1), 0.125, order="F")
    s.xcstrength = np.array([1200.0])
    v.materialdata.matidlist = np.ones((NPLIES, 1), np.int32, order="F")
    v.materialdata.peprops = np.asfortranarray(np.tile(CFRP[:, None, None], (1, NPLIES, 1)))
    v.damagedata.ndmg = 1
    v.datahandling.allocatedamagedata(NPLIES, 1, 1)
    d = v.damagedata
    for table in (d.generaldds, d.fiberdds, d.matrixdds, d.coredds, d.delamdds):
        table[0] = 20.0
        table[1] = 10.0
    sdv = np.zeros(12)
    sdv[11] = 1.0
    point, refcos = np.array([1.0, 2.0, 0.0]), np.eye(3, order="F")
    v.damage.getdamagefromdds(sdv, point, refcos, 4, 1)  # computes the buckling records
    assert v.bukdata.bukrealdatalist.any() and sdv[:6].all(), sdv
    return sdv, point, refcos


def best(fn, rounds=15, number=20000):
    return min(timeit.repeat(fn, number=number, repeat=1)[0] for _ in range(rounds)) / number


def main():
    sdv, point, refcos = store()
    seed = _vorlen.damage.getdamagefromdds
    a, b = np.ones((3, 3)), np.ones((3, 3))
    t_lib = t_ref = float("inf")
    for _ in range(15):  # interleaved rounds
        t_lib = min(t_lib, best(lambda: seed(sdv, point, refcos, 4, 1), rounds=1))
        t_ref = min(t_ref, best(lambda: np.add(a, b), rounds=1))
    ratio = t_lib / t_ref
    print(f"getdamagefromdds {1e6 * t_lib:8.3f} us")
    print(f"numpy.add 3x3    {1e6 * t_ref:8.3f} us")
    print(f"ratio            {ratio:8.2f} (goal <= {GOAL})")
    _vorlen.datahandling.deallocall()
    return 0 if ratio <= GOAL else 1


if __name__ == "__main__":
    sys.exit(main())
