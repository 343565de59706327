"""Timing of the monotone cubic Hermite interpolant evaluated at 100 000 points from Python:
math.cubichermitianinterpolation (slopes and evaluation in one call) against scipy's
PchipInterpolator built and evaluated on the same data, in one run.

Tables of 10, 1000 and 100 000 samples; points ascending and scattered. Prints the time ratio
(library / scipy, below 1 is faster) per case. Run with PYTHONPATH=<build>/python; exits 1 when
the library is slower in any case.
"""
import sys
import timeit

import numpy as np
from scipy.interpolate import PchipInterpolator

import _vorlen

POINTS = 100_000
SIZES = (10, 1000, 100_000)


def best(fn, repeat=7):
    number = 3
    return min(timeit.repeat(fn, number=number, repeat=repeat)) / number


def main():
    rng = np.random.default_rng(2026)
    interp = _vorlen.math.cubichermitianinterpolation
    slower = False
    print(f"{'samples':>8} {'points':>10} {'vorlen ms':>10} {'scipy ms':>10} {'ratio':>7}")
    for n in SIZES:
        x = np.cumsum(rng.uniform(0.1, 1.0, n))
        y = np.cumsum(rng.normal(size=n))
        span = np.linspace(x[0] - 1.0, x[-1] + 1.0, POINTS)
        for order, p in (("ascending", span), ("scattered", rng.permutation(span))):
            np.testing.assert_allclose(interp(x, y, p), PchipInterpolator(x, y)(p), rtol=1e-10,
                                       atol=1e-10)
            t_lib = best(lambda: interp(x, y, p))
            t_ref = best(lambda: PchipInterpolator(x, y)(p))
            ratio = t_lib / t_ref
            slower |= ratio > 1.0
            print(f"{n:8d} {order:>10} {1e3 * t_lib:10.3f} {1e3 * t_ref:10.3f} {ratio:7.3f}")
    return 1 if slower else 0


if __name__ == "__main__":
    sys.exit(main())
