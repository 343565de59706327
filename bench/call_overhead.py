"""Cost of one routine call through _vorlen against numpy.add of two 3x3 arrays.

Run from a build: PYTHONPATH=build/python /usr/bin/python3 bench/call_overhead.py
The call of a small bound routine with ready column-major arrays (the distance of two points)
should cost less than half of the numpy call. Routines that return a new array also pay for
numpy's creation of that array, which the numpy call pays too.
"""
import timeit

import numpy as np

import _vorlen


def best(stmt, env, number=200000, repeat=7):
    t = timeit.repeat(stmt, globals=env, number=number, repeat=repeat)
    return min(t) / number * 1e9


def main():
    a = np.asfortranarray(np.arange(9.0).reshape(3, 3))
    b = np.asfortranarray(np.ones((3, 3)))
    x, y = np.ones((3, 3)), np.ones((3, 3))
    add = np.add
    p, q = np.array([1.0, 2.0, 3.0]), np.array([4.0, 6.0, 8.0])
    cases = [
        ("math.euclideandistance(p, q)", _vorlen.math.euclideandistance, (p, q)),
        ("utility.matrixcopy(a)", _vorlen.utility.matrixcopy, (a,)),
        ("laminate.getabdmatrix(a, b, a)", _vorlen.laminate.getabdmatrix, (a, b, a)),
        ("errorhandling.rsxerr(0)", _vorlen.errorhandling.rsxerr, (0,)),
    ]
    t_np = best("add(x, y)", {"add": add, "x": x, "y": y})
    print(f"numpy.add(3x3, 3x3): {t_np:8.1f} ns")
    for label, f, args in cases:
        env = {"f": f, **{f"a{k}": v for k, v in enumerate(args)}}
        t = best("f(%s)" % ",".join(f"a{k}" for k in range(len(args))), env)
        print(f"{label:32s} {t:8.1f} ns  ratio {t / t_np:5.2f}")


if __name__ == "__main__":
    main()
