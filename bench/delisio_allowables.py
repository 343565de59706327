"""Strain allowables without growth of the eight-ply laminate of bench/delisio_growth.cpp from
Python, with their timing: a 30 by 20 delamination at every interface under compression, and a
crack of length 2 in every ply with that delamination under tension. Run with
PYTHONPATH=<build>/python.
"""
import os
import sys
import timeit

import numpy as np

import _vorlen

d = _vorlen.delisio

PROPS = np.array([181000.0, 10300.0, 10300.0, 0.28, 0.28, 0.45, 7170.0, 7170.0, 3550.0,
                  0.2, 2.0, 2e-4])
LAYUP = np.array([0.0, 45.0, -45.0, 90.0, 90.0, -45.0, 45.0, 0.0])
T, LENGTH, WIDTH, OFFSET = 0.125, 300.0, 120.0, 2.0
SIZES = np.tile([30.0, 20.0], (7, 1))
CRACKS = np.full(8, 2.0)


def compression():
    return d.find_allowable_nogrowth_comp(LAYUP, T, OFFSET, LENGTH, WIDTH, PROPS, SIZES)


def tension():
    return d.find_allowable_nogrowth_tension(LAYUP, T, OFFSET, LENGTH, WIDTH, PROPS, CRACKS, SIZES,
                                             inincrement=1e-4)


def best_of(f, number):
    """Seconds per call, the lines the library prints sent to /dev/null."""
    sys.stdout.flush()
    saved, sink = os.dup(1), os.open(os.devnull, os.O_WRONLY)
    os.dup2(sink, 1)
    try:
        return min(timeit.repeat(f, number=number, repeat=5)) / number
    finally:
        os.dup2(saved, 1)
        os.close(saved)
        os.close(sink)


def main():
    strain, force, _, per_interface = compression()
    sys.stdout.flush()
    print("compression: strain allowable", strain)
    for i, (e, n) in enumerate(zip(per_interface, force), 1):
        print(f"  interface {i}: strain {e:.6g}, N11 {n:.6g}")
    per_ply, strain_t, force_t = tension()
    print("tension: strain allowable", strain_t)
    for u, (e, n) in enumerate(zip(per_ply, force_t), 1):
        print(f"  ply {u} ({LAYUP[u - 1]:+.0f}): strain {e:.6g}, N11 {n:.6g}")
    print(f"compression call {best_of(compression, 5) * 1e3:.2f} ms, "
          f"tension call {best_of(tension, 5) * 1e3:.2f} ms")


if __name__ == "__main__":
    main()
