"""Cost of routine arguments given from Python.

Run from a build: PYTHONPATH=build/python /usr/bin/python3 bench/callbacks.py

1. math.bdsafe with a Python function against scipy.optimize.brentq on the same function,
   bracket and tolerance: the trampoline should cost no more than brentq's own call of a Python
   function: the cost of one evaluation is about brentq's (ratio about 1), the whole search
   also pays the conversion of bdsafe's seven arguments.
2. elasticity.getnumericaltangent of the linear law given as a routine capsule (no Python in the
   loop) against the same tangent with the law as a Python function.
"""
import math
import timeit

import numpy as np
import scipy.optimize as so

import _vorlen


def best(fun, number, repeat=25):
    return min(timeit.repeat(fun, number=number, repeat=repeat)) / number * 1e6


def main():
    cos, xacc = math.cos, 1e-12
    evaluations = []
    so.brentq(lambda x: evaluations.append(x) or cos(x) - x, 0.0, 1.0, xtol=xacc)
    t_brentq = best(lambda: so.brentq(lambda x: cos(x) - x, 0.0, 1.0, xtol=xacc), 5000)
    print(f"scipy.optimize.brentq, {len(evaluations)} evaluations:{'':23s}{t_brentq:7.2f} us")
    args = np.zeros(1)
    bdsafe = _vorlen.math.bdsafe
    forms = [("def f(fa,d0,x)", lambda fa, d0, x: cos(x) - x),
             ("def f(fa,d0,x,args,nfun)", lambda fa, d0, x, a, nfun: cos(x) - x)]
    # One evaluation's cost: the time of the 8-evaluation search less that of a search that
    # ends after its two end evaluations (f(x1) = 0), per further evaluation.
    t_brentq2 = best(lambda: so.brentq(lambda x: x, 0.0, 1.0, xtol=xacc), 5000)
    each_brentq = (t_brentq - t_brentq2) / (len(evaluations) - 2)
    print(f"{'':39s}per evaluation: {each_brentq * 1e3:7.0f} ns")
    for label, f in forms:
        calls = []
        bdsafe(lambda fa, d0, x, a, nfun, na: calls.append(1) or cos(x) - x, 0.0, 1.0, args, xacc,
               100, 0)
        t = best(lambda: bdsafe(f, 0.0, 1.0, args, xacc, 100, 0), 5000)
        g = (lambda fa, d0, x: x) if f.__code__.co_argcount == 3 else (lambda fa, d0, x, a, n: x)
        each = (t - best(lambda: bdsafe(g, 0.0, 1.0, args, xacc, 100, 0), 5000)) / (len(calls) - 2)
        print(f"math.bdsafe, {label:26s} {len(calls)} evaluations: {t:7.2f} us"
              f"  ratio {t / t_brentq:5.2f}")
        print(f"{'':39s}per evaluation: {each * 1e3:7.0f} ns  ratio {each / each_brentq:5.2f}")

    n = 6
    k = np.random.default_rng(1).uniform(1.0, 2.0, (n, n))
    k = k @ k.T
    props = k.flatten(order="F")
    zero, dstrain = np.zeros(n), np.linspace(1e-3, 3e-3, n)
    tangent = _vorlen.elasticity.getnumericaltangent
    capsule = _vorlen.elasticity.real_getstressfromanisotropichyperelasticity._cpointer

    def law(stress, strain, props, ndi):
        stress[:] = k @ strain

    t_cap = best(lambda: tangent(capsule, props, zero, zero, dstrain, 3, 0, h=1e-6), 5000)
    t_py = best(lambda: tangent(law, props, zero, zero, dstrain, 3, 0, h=1e-6), 500)
    print(f"getnumericaltangent, 6 by 6, capsule law:         {t_cap:7.2f} us")
    print(f"getnumericaltangent, 6 by 6, Python law:          {t_py:7.2f} us"
          f"  ratio capsule/Python {t_cap / t_py:5.3f}")


if __name__ == "__main__":
    main()
