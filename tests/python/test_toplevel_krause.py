"""Endochronic resin routine umat_krause. Expected stresses and states come from the resin law
written out below in numpy (softened elastic branch, endochronic branch, six Maxwell branches),
the tangent from central differences of that law at the updated state, and the linear case from
isotropic Hooke with the shear entries as tensor components."""
import numpy as np
import pytest

from conftest import errstat

toplevel = pytest.importorskip("_vorlen").toplevel

PROPS = np.array([2000.0, 30.0, 0.35, 800.0, 40.0, 300.0, 250.0, 200.0, 150.0, 100.0, 50.0])


def law(stran, dstran, props, statev, dtime):
    """The resin law: stress at stran + dstran and the new 42-value state."""
    e0, b, nu, ep, kap = props[:5]
    ek = props[5:11]
    g0, k0 = e0 / (2 * (1 + nu)), e0 / (3 * (1 - 2 * nu))
    bg, bk = b / (np.sqrt(2 / 3) * (1 + nu)), b / (1 - 2 * nu)
    gp, kp = ep / (2 * (1 + nu)), ep / (3 * (1 - 2 * nu))
    cd, cv = kap / np.sqrt(1 + 2 * nu**2), kap / (3 * np.sqrt(1 + 2 * nu**2))

    def dev(v):
        d = v.copy()
        d[:3] -= v[:3].sum() / 3
        return d

    def norm(v):
        return np.sqrt(np.sum(v[:3] ** 2) + 2 * np.sum(v[3:] ** 2))

    eps = stran + dstran
    tr, e = eps[:3].sum(), dev(eps)
    dtr, de, nd = dstran[:3].sum(), dev(dstran), norm(dstran)
    se = 2 * g0 * e / np.exp(bg * norm(e))
    se[:3] += k0 * tr / np.exp(bk * abs(tr))
    new = statev.copy()
    p = statev[:6]
    dq = (2 * gp * de - cd * nd * dev(p)) / (1 + 0.5 * cd * nd)
    dtrp = (3 * kp * dtr - 3 * cv * p[:3].sum() * nd) / (1 + 1.5 * cv * nd)
    new[:6] = p + dq
    new[:3] += dtrp / 3
    for k in range(6):
        tau = 10.0 ** (k - 1)
        gk, kk = ek[k] / (2 * (1 + nu)), ek[k] / (3 * (1 - 2 * nu))
        etag, etak = tau * ek[k] / (1 + nu), tau * ek[k] / (1 - 2 * nu)
        s = statev[6 * k + 6:6 * k + 12]
        dstr = (3 * kk * dtr - 3 * kk * dtime / etak * s[:3].sum()) / (1 + 1.5 * kk * dtime / etak)
        ds = (2 * gk * de - 2 * gk * dtime / etag * dev(s)) / (1 + gk * dtime / etag)
        new[6 * k + 6:6 * k + 12] = s + ds
        new[6 * k + 6:6 * k + 9] += dstr / 3
    return se + new[:6] + sum(new[6 * k + 6:6 * k + 12] for k in range(6)), new


def krause(stran, dstran, *, props=PROPS, statev=None, nstatv=42, dtime=0.5, ntens=6,
           stress=None):
    n = ntens
    return toplevel.umat_krause(
        np.zeros(n) if stress is None else np.array(stress, float),
        np.zeros(nstatv) if statev is None else np.array(statev, float), 0.25, 0.5, 0.75, 0.0,
        np.zeros(n), np.zeros(n), 0.0, np.array(stran, float), np.array(dstran, float),
        np.zeros(2), dtime, 293.0, 0.0, np.zeros(1), np.zeros(1), "RESIN", 3, n - 3,
        np.array(props, float), np.zeros(3), np.eye(3), 0.8, 1.0, np.eye(3), np.eye(3), 1, 1,
        1, 1, np.array([1, 1, 0, 0], dtype=np.int32), 1)


def test_two_increments_follow_the_law(clean_register):
    stran = np.array([1e-3, -4e-4, 2e-4, 3e-3, -1e-3, 5e-4])
    dstran = np.array([2e-3, 5e-4, -3e-4, 1e-3, 2e-3, -5e-4])
    state = np.zeros(42)
    for step in range(2):  # the second call starts from the first's state
        s0, st0 = stran + step * dstran, state
        stress, state, ddsdde, sse, spd, scd, pnewdt = krause(s0, dstran, statev=st0)
        want, want_state = law(s0, dstran, PROPS, st0, 0.5)
        np.testing.assert_allclose(stress, want, rtol=1e-12, atol=1e-12)
        np.testing.assert_allclose(state, want_state, rtol=1e-12, atol=1e-14)
        tangent = np.empty((6, 6))
        for i in range(6):
            h = np.zeros(6)
            h[i] = 1e-6
            tangent[:, i] = (law(s0, dstran + h, PROPS, state, 0.0)[0]
                             - law(s0, dstran - h, PROPS, state, 0.0)[0]) / 2e-6
        np.testing.assert_allclose(ddsdde, tangent, rtol=2e-5, atol=1e-2)
        assert (sse, spd, scd, pnewdt) == (0.25, 0.5, 0.75, 0.8)
    assert errstat() == 0
    assert not np.allclose(ddsdde, ddsdde.T, rtol=1e-3)  # unsymmetric, returned as computed


def test_linear_case_is_isotropic_hooke():
    props = PROPS.copy()
    props[1] = props[4] = 0.0
    e, nu = props[0] + props[3] + props[5:].sum(), props[2]
    lam, mu = e * nu / ((1 + nu) * (1 - 2 * nu)), e / (2 * (1 + nu))
    hooke = np.diag([2 * mu] * 6) + np.pad(np.full((3, 3), lam), (0, 3))
    strain = np.array([1e-3, 2e-4, -3e-4, 4e-4, 1e-4, -2e-4])
    stress, _, ddsdde, *_ = krause(np.zeros(6), strain, props=props, dtime=0.0)
    np.testing.assert_allclose(ddsdde, hooke, rtol=1e-6)
    np.testing.assert_allclose(stress, hooke @ strain, rtol=1e-12)


@pytest.mark.parametrize("ntens, nstatv, nprops", [(4, 42, 11), (6, 36, 11), (6, 42, 10)])
def test_unsupported_layouts(clean_register, ntens, nstatv, nprops):
    statev = np.arange(1.0, nstatv + 1)
    stress0 = np.arange(1.0, ntens + 1)
    stress, state, ddsdde, *_ = krause(np.full(ntens, 1e-3), np.full(ntens, 1e-3),
                                       props=PROPS[:nprops], statev=statev, nstatv=nstatv,
                                       ntens=ntens, stress=stress0)
    assert errstat() == -3
    np.testing.assert_array_equal(state, statev)
    np.testing.assert_array_equal(stress, stress0)
    np.testing.assert_array_equal(ddsdde, np.zeros((ntens, ntens)))
