"""Timing of the delamination growth analysis from Python: the whole run of
dg8.delaminationgrowthanalysis on two stacks, and its cost per Newton iteration. The iterations
are counted by replaying the run with the module's own routines, one iteration per call of
newtonraphson8 (the release rate's two re-solves included). Run with
PYTHONPATH=<build>/python.
"""
import timeit

import numpy as np

import _vorlen

dg8 = _vorlen.dg8


def ply(e1, e2, nu12, g12, nu23=0.4):
    return np.array([e1, e2, e2, nu12, nu12, nu23, g12, g12, e2 / (2 * (1 + nu23))])


ALU = ply(70000.0, 70000.0, 0.3, 70000.0 / 2.6, 0.3)
CFRP = ply(140000.0, 9000.0, 0.3, 4600.0)
RUNS = {  # limstrain, relstrain, plies, angles, thickness, delamination, sublamstack, kmd,
    #         gamma, width, radius, ninc, nprec
    "isotropic circle": ([0.0, 2e-3], [-1.0, -1.0, 0.0], [ALU] * 4, [0.0] * 4, [0.2] * 4,
                         [10.0, 10.0, 0.0], [1, 1], 1e5, 2e-3, 60.0, 25.0, 40, 10),
    "rotated [0/45] ellipse": ([0.0, 6e-3], [-1.0, 0.0, 0.0], [CFRP] * 6,
                               [0.0, 45.0, -45.0, 90.0, 0.0, 90.0], [0.125] * 6,
                               [9.0, 6.0, 30.0], [1, 2], 1e4, 5e-3, 25.0, 1e3, 40, 6),
}


def arguments(case):
    lim, rel, plies, ang, thick, dela, stack, *rest = RUNS[case]
    return (np.array(lim), np.array(rel), np.asfortranarray(np.column_stack(plies)),
            np.array(ang), np.array(thick), np.array(dela), np.array(stack, np.int32), *rest)


class Counter:
    """newtonraphson8 one iteration at a time, counting them."""

    def __init__(self):
        self.n = 0

    def solve(self, sol, *args, tol=1e-15, maxiter=150):
        *head, _, _, nk, w = args
        err = 0.0
        for _ in range(maxiter):
            sol, err = dg8.newtonraphson8(sol, *head, tol, 1, nk, w)
            self.n += 1
            if err < tol or err == np.inf:
                break
        return sol, err

    def rate(self, vec, a, b, kmd, g0, level, eb, rel, abd, nk, w):
        e0 = rel * level

        def pot(s, sa, sb):
            return (dg8.getstrainenergy8(s, e0, sa, sb, abd)
                    + dg8.getcontactenergy8(s, sa, sb, kmd, nk))
        usc0, ia, ib = pot(vec, a, b), 1.00001 * a, 1.00001 * b
        sol, _ = self.solve(vec, ia, b, kmd, g0, level, eb, rel, abd, 0, 0, nk, w, maxiter=100)
        dpda = (pot(sol, ia, b) - usc0) / (1e-5 * ia)
        sol, _ = self.solve(sol, a, ib, kmd, g0, level, eb, rel, abd, 0, 0, nk, w, maxiter=100)
        dpdb = (pot(sol, a, ib) - usc0) / (1e-5 * ib)
        ga, gb = level**2 * g0 - dpda / (np.pi * ib), level**2 * g0 - dpdb / (np.pi * ia)
        return (ga, 1.001, 1.0) if ga >= gb else (gb, 1.0, 1.001)


def iterations(lim, rel, pe, po, pt, dela, stack, kmd, gamma, width, radius, ninc, nprec):
    """Newton iterations of one run, replayed step by step."""
    lam, c = _vorlen.laminate, Counter()
    s0, s1 = stack[0] - 1, stack[1]
    pe, po, pt = np.asfortranarray(pe[:, s0:s1]), po[s0:s1], pt[s0:s1]
    am = lam.getamatrix(pe, po, pt)
    abd = lam.getabdmatrix(am, lam.getbmatrix(pe, po, pt), lam.getdmatrix(pe, po, pt))
    wlin, _, ev = _vorlen.sublaminate.getsublambucklingstrain(dela, rel, pe, po, pt, 1)
    phi = np.radians(dela[2])
    co, si = np.cos(phi), np.sin(phi)
    er = np.array([[co * co, si * si, co * si], [si * si, co * co, -co * si],
                   [-2 * co * si, 2 * co * si, co * co - si * si]]) @ rel
    g0 = 0.5 * er @ am @ er
    sol = np.zeros(8)
    sol[4], sol[5:] = 1e-6, 1e-6 / ev[0] * ev[3:]
    a, b, eps1 = dela[0], dela[1], lim[0]
    deps1 = deps0 = (lim[1] - lim[0]) / ninc
    found = False
    w0 = dw0 = 0.0
    m0, nli = 1.0, 0
    while lim[1] > lim[0]:
        nli += 1
        model = (kmd, g0, eps1, wlin, er, abd, 0, 0, nprec, int(found))
        sol, err = c.solve(sol, a, b, *model)
        if err > 1e-15 or (np.linalg.norm(sol) < 1e-10 and nli > 3):
            break
        serr, fa, fb = c.rate(sol, a, b, kmd, g0, eps1, wlin, er, abd, nprec, int(found))
        while serr > gamma:
            a, b = a * fa, b * fb
            if a > radius or b > radius or 2 * np.hypot(a * si, b * co) >= width:
                return c.n
            sol, err = c.solve(sol, a, b, *model)
            if err > 1e-15:
                break
            serr, fa, fb = c.rate(sol, a, b, kmd, g0, eps1, wlin, er, abd, nprec, int(found))
        dw1 = sol[4] - w0
        with np.errstate(divide="ignore", invalid="ignore"):
            m1, r = deps1 / dw1, dw0 / dw1
        if nli > 5:
            if not found and m1 > m0:
                found = True
            if r < 0.9:
                deps1 *= 0.9
            elif r > 1 and 1.1 * deps1 < deps0:
                deps1 *= 1.1
        eps1 += deps1
        if not eps1 < lim[1]:
            break
        w0, dw0, m0 = sol[4], dw1, m1
    return c.n


def main():
    for case in RUNS:
        args = arguments(case)
        success, strains = dg8.delaminationgrowthanalysis(*args)
        runs = 5
        t = min(timeit.repeat(lambda: dg8.delaminationgrowthanalysis(*args), number=runs,
                              repeat=3)) / runs
        n = iterations(*args)
        print(f"{case}: success {success:.0f}, strains {strains}, run {t * 1e3:.1f} ms, "
              f"{n} Newton iterations, {t / n * 1e6:.2f} us per iteration")


if __name__ == "__main__":
    main()
