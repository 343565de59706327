"""Reference shape functions of the element families: the interpolants through the nodes in the
monomial basis of each family, solved in numpy, with their exact derivatives."""
import itertools

import numpy as np

# Node positions and monomial exponents per family.
FAMILIES = {
    "truss3": ([(-1,), (0,), (1,)], [(0,), (1,), (2,)]),
    "tria6": ([(0, 0), (1, 0), (0, 1), (0.5, 0), (0.5, 0.5), (0, 0.5)],
              [(0, 0), (1, 0), (0, 1), (2, 0), (1, 1), (0, 2)]),
    "quad4": ([(-1, -1), (1, -1), (1, 1), (-1, 1)], [(0, 0), (1, 0), (0, 1), (1, 1)]),
    "quad8": ([(-1, -1), (1, -1), (1, 1), (-1, 1), (0, -1), (1, 0), (0, 1), (-1, 0)],
              [(0, 0), (1, 0), (0, 1), (2, 0), (1, 1), (0, 2), (2, 1), (1, 2)]),
    "hex8": ([(-1, -1, -1), (1, -1, -1), (1, 1, -1), (-1, 1, -1),
              (-1, -1, 1), (1, -1, 1), (1, 1, 1), (-1, 1, 1)],
             [(0, 0, 0), (1, 0, 0), (0, 1, 0), (0, 0, 1), (1, 1, 0), (1, 0, 1), (0, 1, 1),
              (1, 1, 1)]),
}


def monomial(exps, x, orders):
    """d^orders of prod x_k^exps_k at x."""
    value = 1.0
    for e, xk, d in zip(exps, x, orders):
        if d > e:
            return 0.0
        coeff = np.prod(range(e - d + 1, e + 1)) if d else 1.0
        value *= coeff * xk ** (e - d)
    return value


def reference(family, x, orders=None):
    """All N_i (or their derivatives of the given orders per coordinate) at x."""
    nodes, exps = FAMILIES[family]
    dim = len(nodes[0])
    orders = orders or (0,) * dim
    v = np.array([[monomial(e, p, (0,) * dim) for e in exps] for p in nodes])
    coeff = np.linalg.solve(v, np.eye(len(nodes)))  # column i: N_i in the basis
    m = np.array([monomial(e, x, orders) for e in exps])
    return m @ coeff


def orders_of(*ordinals, dim):
    """Derivative orders per coordinate of the ordinals (1-based)."""
    o = [0] * dim
    for k in ordinals:
        o[k - 1] += 1
    return tuple(o)


def points(dim, n=5, seed=7):
    rng = np.random.default_rng(seed)
    return [tuple(p) for p in rng.uniform(-1, 1, (n, dim))]


def ordinal_pairs(dim):
    return list(itertools.product(range(1, dim + 1), repeat=2))
