"""Timing of the transverse shear stiffness of a laminate section, _vorlen against plain numpy.

One pass is the section's H matrix by the improved shear integral (gethmatriximprovedshear, the
default of getsectionhmatrix): ply stiffnesses, A, B, D and the shape factors, the decoupling
angle, the shape matrices at three Gauss points per ply and the energy integral with the ply
shear compliances. The numpy pass computes the same, vectorised over plies and Gauss points.
Run with PYTHONPATH=<build>/python; exits 1 when the library is not faster at every size.
"""
import sys

import numpy as np

import _vorlen
from laminate_road import abd_numpy, compare, qbar_numpy

lam = _vorlen.laminate

PLY = np.array([181000.0, 10300.0, 10300.0, 0.28, 0.28, 0.45, 7170.0, 7170.0, 3551.7])
SIZES = (8, 64)
GAUSS = np.array([-0.774596669241483, 0.0, 0.774596669241483])
WEIGHTS = np.array([0.555555555555556, 0.888888888888889, 0.555555555555556])


def stack(n):
    angles = np.resize([0.0, 45.0, -45.0, 90.0, 30.0], n)
    return np.asfortranarray(np.tile(PLY[:, None], (1, n))), angles, np.full(n, 0.125)


def h_vorlen(props, angles, thick):
    return lam.gethmatriximprovedshear(props, angles, thick)


def strain_turn(t):
    c, s = np.cos(t), np.sin(t)
    return np.array([[c * c, s * s, c * s], [s * s, c * c, -c * s],
                     [-2 * c * s, 2 * c * s, c * c - s * s]])


def decoupling_angle(props, angles, thick):
    e1, e2 = props[0], props[1]
    ex1 = max(e1[0], e2[0])
    h = thick.sum()
    w = np.where(e1 >= e2, thick / h * (e1 - e2) / e2 * (e1 / ex1),
                 thick / h * (e2 - e1) / e1 * (e2 / ex1))
    w[0] = thick[0] / h * abs(e1[0] - e2[0]) / min(e1[0], e2[0])
    # Groups open in the order in which their angles first appear.
    distinct, first = np.unique(angles, return_index=True)
    heads, group_of = [], {}
    for a in distinct[np.argsort(first)]:
        g = next((i for i, b in enumerate(heads) if a - b in (0, 90, -90, 180, -180)), None)
        if g is None:
            g = len(heads)
            heads.append(a)
        group_of[a] = g
    weight = np.bincount([group_of[a] for a in angles], weights=w)
    return heads[int(np.argmax(weight))]


def h_numpy(props, angles, thick):
    qb = qbar_numpy(props, angles)
    a, b, d, zb, zt = abd_numpy(qb, thick)
    ainv = np.linalg.inv(a)
    fb = np.linalg.inv(d - b @ ainv @ b)
    fa = ainv @ b @ fb
    theta = np.radians(decoupling_angle(props, angles, thick))
    tt = strain_turn(theta).T
    c, s = np.cos(theta), np.sin(theta)
    r2 = np.array([[c, -s], [s, c]])
    # Partial integrals at three Gauss points per ply.
    jac = (zt - zb) / 2
    zg = zb[:, None] + (1 + GAUSS) * jac[:, None]
    da, db = qb * (zt - zb)[:, None, None], qb * (zt**2 - zb**2)[:, None, None]
    a_below, b_below = np.cumsum(da, axis=0) - da, np.cumsum(db, axis=0) - db
    aprt = a_below[:, None] + qb[:, None] * (zg - zb[:, None])[..., None, None]
    bprt = 0.5 * (b_below[:, None] + qb[:, None] * (zg**2 - zb[:, None] ** 2)[..., None, None])
    f = np.linalg.solve(tt, (aprt @ fa - bprt @ fb) @ tt)
    diag = np.stack([f[..., 1, 1], f[..., 0, 0]], axis=-1)
    shape = np.einsum("mi,kgm,mj->kgij", r2, diag, r2)
    # Ply shear compliances and the energy integral.
    cp, sp = np.cos(np.radians(angles)), np.sin(np.radians(angles))
    rot = np.array([[cp, -sp], [sp, cp]]).transpose(2, 0, 1)
    hoff = np.einsum("kmi,km,kmj->kij", rot, props[[8, 7]].T, rot)
    comp = np.linalg.inv(hoff)
    hinv = np.einsum("kgli,klm,kgmj,g,k->ij", shape, comp, shape, WEIGHTS, jac)
    return np.linalg.inv(hinv)


def main():
    return 0 if compare(SIZES, stack, h_vorlen, h_numpy, number_numpy=500) else 1


if __name__ == "__main__":
    sys.exit(main())
