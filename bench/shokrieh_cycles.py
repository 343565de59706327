"""Timing of the Shokrieh ply driver from Python: fatigue.getshokrieh over K and 2K load cycles
of four increments each (the time of 2K over that of K, goal at most 2.4: the cost per cycle
does not grow with the cycles run), and a constant jump of 10 cycles reaching the same cycle
number as a run without jumps (goal at most 0.2 of its time).

A unidirectional ply cycled in fibre tension between 20 and 60 percent of its strength, cycle
jump algorithm 1. Prints the times and ratios; run with PYTHONPATH=<build>/python; exits 1
when a ratio misses its goal.
"""
import sys
import time

import numpy as np

import _vorlen

E = [140e3, 9e3, 9.5e3, 4.6e3, 4.7e3, 3.1e3, 0.3, 0.31, 0.45]
STRENGTHS = [2000.0, 50.0, 55.0, 1200.0, 200.0, 210.0, 80.0, 82.0, 60.0]
CURVE = [1.1, -0.08, 1.0, -0.1, 1.05, -0.09, 0.95, -0.07, 0.97, -0.075, 0.99, -0.085]
SET = (E + STRENGTHS + [0.9, 0.8, 1.1, 1.0, 1.2, 1.05, 0.7, 0.75, 0.65]
       + [1.3, 1.4, 1.5, 1.6, 1.7, 1.8, 1.9, 2.0, 2.1] + [1.1, 1.2, 1.3, 1.4, 1.5, 1.6]
       + [0.5, 0.6, 0.7, 0.8, 0.9, 1.0] + CURVE + [0.0] + [0.0] * 12)
PROPS = np.array(SET + [293.0] + SET + [353.0] + [0.0, 0.05])
RATIOS = [0.4, 0.6, 0.4, 0.2]


def compliance_column():
    e1, _, _, _, _, _, n12, n13, _ = E
    return np.array([1 / e1, -n12 / e1, -n13 / e1, 0.0, 0.0, 0.0])


STRAINS = [compliance_column() * r * STRENGTHS[0] for r in RATIOS]


def fresh_record():
    s = np.zeros(77)
    s[0] = s[43] = 1.0
    s[25:31] = s[37:43] = sys.float_info.max
    s[58:73] = 1.0
    s[73:75] = 293.0
    return s


def run(cycles, jump):
    """Seconds for the given number of cycles with a constant jump; the cycle number reached."""
    _vorlen.shokriehdata.cycleprops = np.array(
        [0.0, 1.0, 1.0, 1.0, 1e9, 0.0, jump, jump, 1.0, 1e12]).reshape(-1, 1)
    drive = _vorlen.fatigue.getshokrieh
    statev, backup, stress = fresh_record(), fresh_record(), np.zeros(6)
    dstran, kstep = np.zeros(6), np.array([1, 1, 0, 0], np.int32)
    t, kinc = 0.0, 0
    start = time.perf_counter()
    for _ in range(cycles):
        for strain in STRAINS:
            kinc += 1
            stress, _, statev, backup = drive(stress, statev, strain, dstran, PROPS, [t, t], 0.25,
                                              293.0, 0.0, 1, kstep, kinc, 1, 0, backup)
            t += 0.25
    return time.perf_counter() - start, statev[0]


def best(cases, repeat=7):
    """Least time and the cycle reached per (cycles, jump) case, the cases run in turn."""
    times = [float("inf")] * len(cases)
    reached = [0.0] * len(cases)
    for _ in range(repeat):
        for i, (cycles, jump) in enumerate(cases):
            t, reached[i] = run(cycles, jump)
            times[i] = min(times[i], t)
    return times, reached


def main():
    k = 500
    (t_k, t_2k, t_jump), (_, n_plain, n_jump) = best([(k, 1.0), (2 * k, 1.0), (2 * k // 10, 10.0)])
    assert n_plain == n_jump == 2 * k + 1, (n_plain, n_jump)
    t_plain = t_2k
    scaling, jumping = t_2k / t_k, t_jump / t_plain
    print(f"{k} cycles {1e3 * t_k:8.2f} ms, {2 * k} cycles {1e3 * t_2k:8.2f} ms, "
          f"ratio {scaling:.3f} (goal <= 2.4)")
    print(f"to cycle {2 * k + 1}: no jumps {1e3 * t_plain:8.2f} ms, jumps of 10 "
          f"{1e3 * t_jump:8.2f} ms, ratio {jumping:.3f} (goal <= 0.2)")
    return 0 if scaling <= 2.4 and jumping <= 0.2 else 1


if __name__ == "__main__":
    sys.exit(main())
