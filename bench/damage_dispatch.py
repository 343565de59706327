"""Timing of damage.matrixcracking from Python with the tables of a 200-ply, 50-section model
against the same call with one-ply, one-section tables: the call takes the tables as they are
(column-major float64) and reads one ply's column, so the size of the tables should not show.

Both calls evaluate Hashin's three-dimensional matrix criterion (mcflag 2) for the same stress and
strengths, with a parameter list of 8 entries closed by the sentinel. Prints both times and their
ratio; the goal is at most 1.2. Each time is the best of interleaved rounds, so that a busy
machine slows both sides alike. Run with PYTHONPATH=<build>/python; exits 1 when the goal is
missed.
"""
import sys
import timeit

import numpy as np

import _vorlen

GOAL = 1.2
HUGE = np.finfo(float).max
ELASTIC = np.array([140e3, 9.0e3, 9.0e3, 0.3, 0.3, 0.45, 5.0e3, 5.0e3, 3.2e3])
STRENGTH = np.array([1500.0, 50.0, 45.0, 1200.0, 200.0, 180.0, 80.0, 75.0, 60.0, 90.0])


def tables(nlayer, nsec):
    pe = np.asfortranarray(np.tile(ELASTIC[:, None, None], (1, nlayer, nsec)))
    ps = np.asfortranarray(np.tile(STRENGTH[:, None, None], (1, nlayer, nsec)))
    pd = np.full((8, nlayer, nsec), HUGE, order="F")
    return pe, ps, pd


def best(fn, number=20000):
    return timeit.repeat(fn, number=number, repeat=1)[0] / number


def main():
    mc = _vorlen.damage.matrixcracking
    stress = np.array([100.0, 30.0, -10.0, 40.0, 20.0, 15.0])
    big, small = tables(200, 50), tables(1, 1)
    r_big = mc(stress, *big, 0.0, 137, 41, 2)
    r_small = mc(stress, *small, 0.0, 1, 1, 2)
    assert r_big == r_small, (r_big, r_small)
    t_big = t_small = float("inf")
    for _ in range(15):  # interleaved rounds
        t_big = min(t_big, best(lambda: mc(stress, *big, 0.0, 137, 41, 2)))
        t_small = min(t_small, best(lambda: mc(stress, *small, 0.0, 1, 1, 2)))
    ratio = t_big / t_small
    print(f"200 plies, 50 sections {1e6 * t_big:8.3f} us")
    print(f"one ply, one section   {1e6 * t_small:8.3f} us")
    print(f"ratio                  {ratio:8.2f} (goal <= {GOAL})")
    return 0 if ratio <= GOAL else 1


if __name__ == "__main__":
    sys.exit(main())
