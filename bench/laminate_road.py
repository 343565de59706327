"""Timing of the road from ply data to laminate constants, _vorlen against plain numpy.

One pass is A, B, D, ABD and the engineering constants of a stack (getamatrix, getbmatrix,
getdmatrix, getabdmatrix, getengconstsfromabdmatrix); the numpy pass computes the same,
vectorised over the plies. Run with PYTHONPATH=<build>/python; exits 1 when the library is
not faster at every size.
"""
import sys
import timeit

import numpy as np

import _vorlen

lam = _vorlen.laminate

PLY = np.array([181000.0, 10300.0, 10300.0, 0.28, 0.28, 0.45, 7170.0, 7170.0, 3551.7])
SIZES = (8, 64)


def stack(n):
    angles = np.resize([0.0, 45.0, -45.0, 90.0], n)
    return np.asfortranarray(np.tile(PLY[:, None], (1, n))), angles, np.full(n, 0.125)


def road_vorlen(props, angles, thick):
    a = lam.getamatrix(props, angles, thick)
    b = lam.getbmatrix(props, angles, thick)
    d = lam.getdmatrix(props, angles, thick)
    abd = lam.getabdmatrix(a, b, d)
    return lam.getengconstsfromabdmatrix(abd, thick.sum())


def qbar_numpy(props, angles):
    """Plane-stress stiffness of every ply turned to its angle, shape (plies, 3, 3)."""
    e1, e2, nu12, g12 = props[0], props[1], props[3], props[6]
    den = 1.0 - nu12 * nu12 * e2 / e1
    q11, q22, q12, q66 = e1 / den, e2 / den, nu12 * e2 / den, g12
    t = np.radians(angles)
    c, s = np.cos(t), np.sin(t)
    c2, s2, cs = c * c, s * s, c * s
    qb = np.empty((angles.size, 3, 3))
    qb[:, 0, 0] = q11 * c2 * c2 + 2 * (q12 + 2 * q66) * s2 * c2 + q22 * s2 * s2
    qb[:, 1, 1] = q11 * s2 * s2 + 2 * (q12 + 2 * q66) * s2 * c2 + q22 * c2 * c2
    qb[:, 0, 1] = qb[:, 1, 0] = (q11 + q22 - 4 * q66) * s2 * c2 + q12 * (s2 * s2 + c2 * c2)
    qb[:, 2, 2] = (q11 + q22 - 2 * q12 - 2 * q66) * s2 * c2 + q66 * (s2 * s2 + c2 * c2)
    qb[:, 0, 2] = qb[:, 2, 0] = (q11 - q12 - 2 * q66) * c2 * cs + (q12 - q22 + 2 * q66) * cs * s2
    qb[:, 1, 2] = qb[:, 2, 1] = (q11 - q12 - 2 * q66) * cs * s2 + (q12 - q22 + 2 * q66) * c2 * cs
    return qb


def abd_numpy(qb, thick):
    """A, B, D and the ply bottoms and tops zb, zt of a stack."""
    z = np.concatenate(([0.0], np.cumsum(thick))) - thick.sum() / 2
    zb, zt = z[:-1], z[1:]
    a = np.einsum("kij,k->ij", qb, zt - zb)
    b = np.einsum("kij,k->ij", qb, zt**2 - zb**2) / 2
    d = np.einsum("kij,k->ij", qb, zt**3 - zb**3) / 3
    return a, b, d, zb, zt


def road_numpy(props, angles, thick):
    a, b, d, _, _ = abd_numpy(qbar_numpy(props, angles), thick)
    h = thick.sum()
    abd = np.block([[a, b], [b, d]])
    inv = np.linalg.inv(abd)
    return np.array([h / inv[0, 0], h / inv[1, 1], h / inv[2, 2], -inv[0, 1] / inv[0, 0],
                     -inv[3, 4] / inv[3, 3], 12 / (h**3 * inv[4, 4]), 12 / (h**3 * inv[5, 5]),
                     0.0])


def best_time(fn, args, number=2000, repeat=7):
    return min(timeit.repeat(lambda: fn(*args), number=number, repeat=repeat)) / number


def compare(sizes, stack, fn_vorlen, fn_numpy, number_numpy=2000):
    """Prints the times of both passes over stacks of the given sizes; True when _vorlen is
    faster at every size."""
    faster = True
    print(f"{'plies':>5}  {'_vorlen (us)':>12}  {'numpy (us)':>10}  {'numpy/_vorlen':>13}")
    for n in sizes:
        args = stack(n)
        np.testing.assert_allclose(fn_vorlen(*args), fn_numpy(*args), rtol=1e-9)
        tv, tn = best_time(fn_vorlen, args), best_time(fn_numpy, args, number=number_numpy)
        faster &= tv < tn
        print(f"{n:5d}  {tv * 1e6:12.2f}  {tn * 1e6:10.2f}  {tn / tv:13.2f}")
    return faster


def main():
    return 0 if compare(SIZES, stack, road_vorlen, road_numpy) else 1


if __name__ == "__main__":
    sys.exit(main())
