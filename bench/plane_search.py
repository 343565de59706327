"""Golden mode of the fracture- and kink-plane searches from Python: every criterion that
searches an angle, with the dispatcher's default settings (golden mode, 5 degrees), against
numpy in one run.

Accuracy: on seeded random stress states the index found is within 1e-3 (relative) of the
largest of a 0.01-degree numpy sweep of the same index. Cost: the time of one call against a
numpy sweep of the same index over 181 angles of the range, the best of interleaved rounds; the
goal is a ratio of at most 1 (below 1 the library is faster). The numpy indices are those of
the tests (tests/python/test_mccollection.py and test_fbcollection.py).

Prints per criterion the worst relative difference and the time ratio. Run with
PYTHONPATH=<build>/python; exits 1 when a goal is missed.
"""
import math
import os
import sys
import timeit

import numpy as np

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests",
                                "python"))
import _vorlen  # noqa: E402
import test_fbcollection as fbt  # noqa: E402
import test_mccollection as mct  # noqa: E402

ACCURACY, COST = 1e-3, 1.0
STATES, TIMED = 3000, 8


def plane(name):
    """Call and numpy index of an action-plane criterion of the tests' table on states
    (s22, s33, s12, s13, s23)."""
    call, index, rng = mct.CRITERIA[name]
    return (lambda st: call(st, 5.0, gsflag=1)[0], lambda th, st: index(th, st), lambda st: rng,
            lambda r, n: [tuple(s) for s in mct.random_states(n, seed=r)])


def larc04_states(r, n):
    g = np.random.default_rng(r)
    return [(g.uniform(-1000.0, 600.0), -g.uniform(0.0, 100.0), *g.uniform(-100.0, 100.0, 4))
            for _ in range(n)]


def larc04_index(th, s):
    st = s[1:] if s[0] >= mct.YC else mct.misaligned(*s)[1:]
    return mct.larc_shear(*mct.tractions(th, *st))


def kink_states(r, n):
    g = np.random.default_rng(r)
    return [[-g.uniform(0.55 * fbt.XC11, 1.5 * fbt.XC11), *g.uniform(-100.0, 100.0, 5)]
            for _ in range(n)]


FB = (fbt.XT11, fbt.XC11, fbt.XT22, fbt.XC22, fbt.X12, fbt.G12, 53.0, 5.0, 1)
FB_IS = (fbt.XT11, fbt.XC11, fbt.XT22, fbt.X23, fbt.X12, fbt.G12, 53.0, 5.0, 1)
CRITERIA = {name: plane(name) for name in mct.CRITERIA}
CRITERIA["larc04"] = (lambda s: mct.larc04(*s, sainc=5.0, gsflag=1)[0], larc04_index,
                      lambda s: (-math.pi, math.pi) if s[0] >= mct.YC else (0.0, math.pi),
                      larc04_states)
CRITERIA["fblarc05"] = (lambda s: _vorlen.fbcollection.fblarc05(*s, *FB),
                        lambda th, s: fbt.kink_index(s, th),
                        lambda s: (0.0, math.pi), kink_states)
CRITERIA["fblarc05_is"] = (lambda s: _vorlen.fbcollection.fblarc05_is(*s, *FB_IS),
                           lambda th, s: fbt.kink_index(s, th, True), lambda s: (0.0, math.pi),
                           kink_states)


def sweep(index, s, rng, n):
    """Largest index of a numpy sweep of n angles over the range."""
    return np.nanmax(index(np.linspace(*rng(s), n), s))


def worst_difference(call, index, rng, states):
    fine = [sweep(index, s, rng, round((rng(s)[1] - rng(s)[0]) / math.radians(0.01)) + 1)
            for s in states]
    return max(abs(call(s) - f) / f for s, f in zip(states, fine))


def time_ratio(call, index, rng, states):
    lib = lambda: [call(s) for s in states]
    ref = lambda: [sweep(index, s, rng, 181) for s in states]
    t_lib = t_ref = math.inf
    for _ in range(7):  # interleaved rounds: a busy machine slows both sides alike
        t_lib = min(t_lib, min(timeit.repeat(lib, number=20, repeat=3)))
        t_ref = min(t_ref, min(timeit.repeat(ref, number=20, repeat=3)))
    return t_lib / t_ref, t_lib / (20 * len(states)), t_ref / (20 * len(states))


def main():
    missed = False
    print(f"{'criterion':>12} {'worst diff':>11} {'vorlen us':>10} {'numpy us':>10} "
          f"{'ratio':>7}")
    for seed, (name, (call, index, rng, states)) in enumerate(CRITERIA.items(), start=100):
        diff = worst_difference(call, index, rng, states(seed, STATES))
        ratio, t_lib, t_ref = time_ratio(call, index, rng, states(seed + 50, TIMED))
        missed |= diff > ACCURACY or ratio > COST
        print(f"{name:>12} {diff:11.2e} {1e6 * t_lib:10.2f} {1e6 * t_ref:10.2f} {ratio:7.3f}")
    print(f"goals: difference <= {ACCURACY:g}, ratio <= {COST:g}")
    return 1 if missed else 0


if __name__ == "__main__":
    sys.exit(main())
