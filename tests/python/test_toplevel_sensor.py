"""Impact sensor and hail ice material routines of module toplevel. Expected values: Hooke's law
of the isotropic constants, the radial return of linear-hardening von Mises plasticity by hand
and central differences of the routine's own stress for its tangent."""
import numpy as np
import pytest

from conftest import errstat

toplevel = pytest.importorskip("_vorlen").toplevel


def hooke(e, nu, ntens=6):
    lam, g = e * nu / ((1 + nu) * (1 - 2 * nu)), e / (2 * (1 + nu))
    c = np.zeros((6, 6))
    c[:3, :3] = lam
    c[range(3), range(3)] = lam + 2 * g
    c[range(3, 6), range(3, 6)] = g
    return c[:ntens, :ntens]


def umat(name, props, dstran, *, stress=None, statev=None, nstatv=13, stepid=3.0, nprops=None,
         cprops=None, dprops=None, ndi=3):
    n = len(dstran)
    args = [np.zeros(n) if stress is None else np.array(stress, float),
            np.zeros(nstatv) if statev is None else np.array(statev, float),
            0.0, 1.0, 1.0, 0.0, np.zeros(n), np.zeros(n), 0.0,
            np.zeros(n), np.array(dstran, float), np.zeros(2), 1.0, 0.0, 0.0, np.zeros(1),
            np.zeros(1), "ICE", ndi, n - ndi, np.array(props, float), np.zeros(3), np.eye(3),
            1.0, 1.0, np.eye(3), np.eye(3), 1, 1, 1, 1]
    kw = {} if nprops is None else {"nprops": nprops}
    if name == "umat_sensor":
        args += [1, stepid, np.arange(1.0, 21.0) if cprops is None else cprops,
                 np.zeros(12) if dprops is None else np.array(dprops, float)]
    else:
        args += [np.array([1, 1, 0, 0], dtype=np.int32), 1]
    return getattr(toplevel, name)(*args, **kw)


def test_sensor_stiffness_stress_and_state(clean_store):
    dstran = np.array([1.0, -2.0, 0.5, 3.0, 1.0, -1.0])
    stress, statev, ddsdde, sse, spd, scd, _, _ = umat(
        "umat_sensor", [], dstran, stress=np.ones(6), statev=np.full(8, 9.0), nstatv=8)
    c = hooke(1e-20, 0.49)
    np.testing.assert_allclose(ddsdde, c, rtol=1e-14)
    np.testing.assert_allclose(stress, 1 + c @ dstran, rtol=1e-14)
    assert sse == pytest.approx(0.5 * (stress + 1) @ dstran, rel=1e-14)
    assert (spd, scd) == (0, 0)
    # impact step: displacement, velocity, acceleration, then force, radius, depth; rest cleared
    np.testing.assert_array_equal(statev, [4, 5, 6, 1, 2, 3, 0, 0])
    assert errstat() == 0


@pytest.mark.parametrize("stepid, nstatv, expected", [
    (3.0, 5, [4, 5, 6, 0, 0]),        # too few state variables for the contact values
    (1.0, 6, [4, 5, 6, 0, 0, 0]),     # outside impact steps
])
def test_sensor_contact_values_only_in_impact_steps(clean_store, stepid, nstatv, expected):
    statev = umat("umat_sensor", [], np.zeros(4), nstatv=nstatv, stepid=stepid,
                  statev=np.full(nstatv, 7.0))[1]
    np.testing.assert_array_equal(statev, expected)


@pytest.mark.parametrize("props, d1, expected", [
    ([2.0, 3.0], 1.0, [-1, 0, 0, 0, 0, 0, 0, 2, 3, 0, 0, 12]),
    ([2.0, 3.0], 5.0, [5, 0, 0, 0, 0, 0, 0, 2, 3, 0, 0, 12]),
    ([2.0, 3.0, 4.0], 1.0, [1, 0, 0, 0, 0, 0, 0, 8, 9, 10, 11, 12]),  # no load area
])
def test_sensor_load_record(clean_store, props, d1, expected):
    dprops = np.array([d1, 0, 0, 0, 0, 0, 0, 8, 9, 10, 11, 12], float)
    out = umat("umat_sensor", props, np.zeros(6), dprops=dprops)[-1]
    np.testing.assert_array_equal(out, expected)


def test_explicit_sensor_plane_stress_thickness_strain(clean_store):
    nblock = 2
    straininc = np.array([[1.0, 2.0, 5.0, 0.5], [-1.0, 0.5, 5.0, 0.0]])
    stressold = np.ones((nblock, 4))
    out = toplevel.vumat_sensor(
        3, 1, 0, 0.0, 0.0, 1.0, "SENSOR", np.zeros((nblock, 3)), np.ones(nblock), np.zeros(0),
        np.full(nblock, 2.0), straininc.copy(), np.zeros((nblock, 1)), np.zeros(nblock),
        np.zeros((nblock, 1)), np.zeros((nblock, 1)), np.zeros((nblock, 0)), stressold,
        np.zeros((nblock, 6)), np.full(nblock, 10.0), np.zeros(nblock), np.zeros(nblock),
        np.zeros((nblock, 1)), np.zeros((nblock, 1)), np.zeros((nblock, 0)), 3.0,
        np.arange(1.0, 21.0), np.zeros(12))
    strain, stressnew, statenew, enernew, inelas, _ = out
    c = hooke(1e-20, 0.49, 4)
    ds = straininc @ c.T
    np.testing.assert_allclose(strain[:, 2], -0.49 * (ds[:, 0] + ds[:, 1]) / 1e-20, rtol=1e-14)
    np.testing.assert_allclose(stressnew, stressold + ds, rtol=1e-14)
    e = 0.5 * np.sum((stressnew + stressold) * strain, axis=1)  # with the thickness strain
    np.testing.assert_allclose(enernew, e / 2.0 + 10.0, rtol=1e-14)
    np.testing.assert_array_equal(statenew, [[4, 5, 6, 1, 2, 3]] * nblock)
    np.testing.assert_array_equal(inelas, 0)


E, NU, Y0, H = 9000.0, 0.3, 5.0, 900.0
G, K = E / (2 * (1 + NU)), E / (3 * (1 - 2 * NU))
# linear hardening: yield 5 at 0, 5 + 900 * 0.1 at 0.1; PROPS(4) also the hydrostatic limit
HARDENING = [E, NU, 1.0, Y0, 0.0, Y0 + H * 0.1, 0.1]


def test_hail_below_yield_is_hooke(clean_store):
    dstran = np.array([2e-4, -1e-4, 0.5e-4, 1e-4, 0, 0])
    statev = np.zeros(13)
    statev[:6] = 1e-5
    stress, sv, ddsdde, _, spd, *_ = umat("umat_hail", HARDENING, dstran, statev=statev)
    np.testing.assert_allclose(ddsdde, hooke(E, NU), rtol=1e-12)
    np.testing.assert_allclose(stress, hooke(E, NU) @ dstran, rtol=1e-12)
    assert np.trace(np.diag(stress[:3])) / 3 == pytest.approx(K * dstran[:3].sum())
    np.testing.assert_allclose(sv[:6], 1e-5 + dstran)
    assert spd == 1.0 and np.all(sv[6:] == 0)  # SPD only written by a plastic step


def hail_step(dstran, props=HARDENING, statev=None):
    return umat("umat_hail", props, dstran, statev=statev)


def test_hail_radial_return_by_hand(clean_store):
    dstran = np.array([2e-3, -1e-3, -0.5e-3, 1e-3, 0, 0.5e-3])
    trial = hooke(E, NU) @ dstran
    p = trial[:3].mean()
    s = trial - np.r_[p, p, p, 0, 0, 0]
    q = np.sqrt(1.5 * (s[:3] @ s[:3] + 2 * s[3:] @ s[3:]))
    dgamma = (q - Y0) / (3 * G + H)
    stress, sv, ddsdde, _, spd, *_ = hail_step(dstran)
    y = Y0 + H * dgamma
    np.testing.assert_allclose(stress, s * y / q + np.r_[p, p, p, 0, 0, 0], rtol=1e-9)
    assert sv[12] == pytest.approx(dgamma, rel=1e-9)
    assert spd == pytest.approx((Y0 + y) * dgamma / 2, rel=1e-9)
    flow = 1.5 * s / q * np.r_[1, 1, 1, 2, 2, 2]  # engineering plastic strain direction
    np.testing.assert_allclose(sv[6:12], dgamma * flow, rtol=1e-9, atol=1e-15)
    np.testing.assert_allclose(sv[:6], dstran - dgamma * flow, rtol=1e-9, atol=1e-15)
    # consistent tangent: central differences of the routine's own stress
    h = 1e-8
    fd = np.column_stack([(hail_step(dstran + h * e)[0] - hail_step(dstran - h * e)[0]) / (2 * h)
                          for e in np.eye(6)])
    np.testing.assert_allclose(ddsdde, fd, rtol=1e-5, atol=1e-3)


def test_hail_perfect_plasticity_on_yield_surface(clean_store):
    stress = hail_step(np.array([0, 0, 0, 5e-3, 0, 2e-3]), [E, NU, 1.0, Y0, 0.0])[0]  # shear, p = 0
    p = stress[:3].mean()
    s = stress - np.r_[p, p, p, 0, 0, 0]
    assert np.sqrt(1.5 * (s[:3] @ s[:3] + 2 * s[3:] @ s[3:])) == pytest.approx(Y0, rel=1e-9)


def test_hail_cutoff_is_kept_per_point(clean_store):
    tension = np.array([1e-2, 1e-2, 1e-2, 0, 0, 0])  # hydrostatic stress above the limit 5
    stress, sv, *_ = umat("umat_hail", HARDENING, tension, nstatv=14)
    np.testing.assert_array_equal(stress, [Y0, Y0, Y0, 0, 0, 0])
    assert sv[13] == 1.0
    # the flagged point keeps its cut-off, another point is not affected
    small = np.array([1e-5, 0, 0, 0, 0, 0])
    assert list(umat("umat_hail", HARDENING, small, statev=sv)[0]) == [Y0, Y0, Y0, 0, 0, 0]
    np.testing.assert_allclose(umat("umat_hail", HARDENING, small, nstatv=14)[0],
                               hooke(E, NU) @ small, rtol=1e-12)


@pytest.mark.parametrize("props, nstatv", [([E, 0.5, 1.0, Y0, 0.0], 13), ([E, -1.0], 13),
                                           ([E, NU, 1.0, Y0, 0.0], 12), ([E], 13)])
def test_hail_unusable_input(clean_store, props, nstatv):
    stress, sv, ddsdde, *_ = umat("umat_hail", props, np.full(6, 1e-3), stress=np.ones(6),
                                  nstatv=nstatv)
    assert errstat() == -3
    assert np.all(np.isfinite(stress)) and np.all(np.isfinite(ddsdde)) and np.all(np.isfinite(sv))
