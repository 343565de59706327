"""Elastic and fibre ply material routines of module toplevel. Expected stiffnesses are numpy
inverses of the orthotropic compliance of the constants; stresses and energies follow by hand."""
import os

import numpy as np
import pytest

from conftest import errstat, run_python
from ply_lib import nye_compliance

toplevel = pytest.importorskip("_vorlen").toplevel

NYE = np.array([140e3, 10e3, 9e3, 0.3, 0.28, 0.45, 5e3, 4.8e3, 3.5e3])
NYE_TO_CYCLIC = [0, 1, 2, 3, 5, 4]
HUGE = 1.7976931348623157e308
NAN = float("nan")


def stiffness(p, ntens=6):
    """Nye stiffness: 6 the inverse, 4 (11, 22, 33, 12) the inverse of the 6 by 6 restricted to
    plane strain, 3 the inverse of the in-plane compliance (plane stress)."""
    s = nye_compliance(*p)
    if ntens == 3:
        return np.linalg.inv(s[np.ix_([0, 1, 3], [0, 1, 3])])
    c = np.linalg.inv(s)
    return c[np.ix_(range(ntens), range(ntens))]


def umat(name, props, stran, dstran=None, *, stress=None, statev=None, nstatv=6, ndi=None,
         nshr=None, jstep=1, temp=0.0, dtemp=0.0, kinc=1, materl="PLY"):
    n = len(stran)
    ndi = {3: 2, 4: 3, 6: 3}[n] if ndi is None else ndi
    nshr = n - ndi if nshr is None else nshr
    args = [np.zeros(n) if stress is None else np.array(stress, float),
            np.zeros(nstatv) if statev is None else np.array(statev, float),
            np.zeros((n, n)), 0.0, 1.0, 1.0, 0.0, np.zeros(n), np.zeros(n), 0.0,
            np.array(stran, float), np.zeros(n) if dstran is None else np.array(dstran, float),
            np.zeros(2), 1.0, temp, dtemp, np.zeros(1), np.zeros(1), materl, ndi, nshr,
            np.array(props, float), np.zeros(3), np.eye(3), 1.0, 1.0, np.eye(3), np.eye(3),
            1, 1, 1, 1]
    if name != "umat_porosity":
        args.append(np.array([jstep, 1, 0, 0], dtype=np.int32))
    args.append(kinc)
    return getattr(toplevel, name)(*args)


def test_isotropic_point_by_hand(clean_store):
    stress, statev, ddsdde, sse, spd, scd, pnewdt = umat(
        "umat_lamina", [70000.0, 0.3], [1e-3, 0, 0, 0, 0, 0])
    # lambda = 40384.6, mu = 26923.1: sigma11 = (lambda + 2 mu) eps, sigma22 = lambda eps
    np.testing.assert_allclose(stress, [94.2308, 40.3846, 40.3846, 0, 0, 0], atol=5e-5)
    np.testing.assert_allclose(ddsdde, stiffness([70000, 70000, 70000, 0.3, 0.3, 0.3] + [70000 / 2.6] * 3),
                               rtol=1e-12)
    assert sse == pytest.approx(0.5 * 94.2308e-3, rel=1e-5) and (spd, scd, pnewdt) == (0, 0, 1)
    np.testing.assert_allclose(statev, stress)  # six state variables: the Nye stress
    assert errstat() == 0


OTHER_ORDER = [140e3, 10e3, 9e3, 5e3, 4.8e3, 3.5e3, 0.3, 0.28, 0.45]
TRANSVERSE = [140e3, 10e3, 0.3, 0.45, 5e3]  # E1, E2, nu12, nu23, G12
TRANSVERSE_NYE = [140e3, 10e3, 10e3, 0.3, 0.3, 0.45, 5e3, 5e3, 10e3 / 2.9]


@pytest.mark.parametrize("props, nye", [(NYE, NYE), (OTHER_ORDER, NYE),
                                        (TRANSVERSE, TRANSVERSE_NYE)])
@pytest.mark.parametrize("ntens", [3, 4, 6])
def test_secant_stress_and_tangent(clean_store, props, nye, ntens):
    rng = np.random.default_rng(ntens)
    stran, dstran = rng.normal(0, 1e-3, ntens), rng.normal(0, 1e-3, ntens)
    stress, _, ddsdde, sse, *_ = umat("umat_lamina", props, stran, dstran, stress=np.full(ntens, 7.0))
    c = stiffness(nye, ntens)
    np.testing.assert_allclose(ddsdde, c, rtol=1e-10, atol=1e-9)
    np.testing.assert_allclose(stress, c @ (stran + dstran), rtol=1e-10, atol=1e-9)
    assert sse == pytest.approx(0.5 * stress @ (stran + dstran), rel=1e-10)


def test_state_layout_by_count(clean_store):
    _, statev, *_ = umat("umat_lamina", NYE, [1e-3, 2e-3, 3e-3], statev=np.full(5, -1.0),
                         nstatv=5)
    np.testing.assert_array_equal(statev, np.full(5, -1.0))
    stress, statev, *_ = umat("umat_lamina", NYE, [1e-3, 2e-3, 3e-3], statev=np.full(6, -1.0))
    np.testing.assert_array_equal(statev, [stress[0], stress[1], -1, stress[2], -1, -1])


@pytest.mark.parametrize("name", ["umat_lamina", "umat_hyper"])
def test_rejected_constants_give_zero_tangent(clean_store, name):
    stress, _, ddsdde, *_ = umat(name, [1.0, 2.0, 3.0], [1e-3, 0, 0], stress=[5.0, 5.0, 5.0])
    assert errstat() == -2 and not ddsdde.any() and not stress.any()


# (ndi, nshr, ntens) that describe no element, those that add up among them; the last would
# overflow a 32-bit sum.
NO_LAYOUT = [(2, 2, 3), (1, 1, 3), (3, 0, 3), (0, 3, 3), (1, 2, 3), (2, 2, 4), (4, 0, 4),
             (4, 2, 6), (2147483647, 3, 6)]


@pytest.mark.parametrize("name", ["umat_lamina", "umat_hyper", "umat_porosity", "umat_fiber"])
@pytest.mark.parametrize("ndi, nshr, n", NO_LAYOUT)
def test_unsupported_components_write_nothing(clean_store, name, ndi, nshr, n):
    stress, statev, ddsdde, *_ = umat(name, NYE, np.r_[1e-3, np.zeros(n - 1)],
                                      stress=np.full(n, 5.0), statev=np.full(12, 3.0), nstatv=12,
                                      ndi=ndi, nshr=nshr)
    assert errstat() == -3
    np.testing.assert_array_equal(stress, np.full(n, 5.0))
    np.testing.assert_array_equal(statev, np.full(12, 3.0))


# Nine constants whose compliance is positive definite but whose stiffness is out of the range of
# doubles: E = 1e308 (the true c11 = 1.35e308; the assembly overflows), E3 = 1e-320 (the true
# c33 is 1.4e5; the assembly underflows) and a subnormal G12.
OUT_OF_RANGE = [[1e308] * 3 + [0.3] * 3 + [1e308 / 2.6] * 3, np.r_[NYE[:2], 1e-320, NYE[3:]],
                np.r_[NYE[:6], 1e-320, NYE[7:]]]
# Constants with no positive definite stiffness: nu 0.5 and -1, all zero, not finite, a negative
# modulus, nu far above 0.5; and those out of range.
NO_STIFFNESS = [[70000.0, 0.5], [70000.0, -1.0], [0.0] * 9, [np.nan, 0.3], [70000.0, np.inf],
                [-70000.0, 0.3], [70000.0, 1e4], np.r_[NYE[:8], -NYE[8]], [1e308, 0.3],
                *OUT_OF_RANGE]


@pytest.mark.parametrize("name", ["umat_lamina", "umat_hyper", "umat_porosity", "umat_fiber"])
@pytest.mark.parametrize("props", NO_STIFFNESS)
def test_constants_without_stiffness_give_zero_tangent(clean_store, name, props):
    """-3 and a zero tangent; the secant routines give zero stress, the incremental one the
    stress as it came."""
    stress, _, ddsdde, sse, spd, scd, _ = umat(name, props, np.full(6, 1e-3), np.full(6, 1e-3),
                                               stress=np.full(6, 5.0), nstatv=12)
    assert errstat() == -3 and not ddsdde.any()
    np.testing.assert_array_equal(stress, np.full(6, 5.0 if name == "umat_porosity" else 0.0))
    assert (sse, spd, scd) == (0.0, 0.0, 0.0)


@pytest.mark.parametrize("name", ["umat_hyper", "umat_porosity"])
def test_given_stiffness_must_be_positive_definite(clean_store, name):
    c = 1000.0 * np.eye(6)
    c[0, 1] = c[1, 0] = 2000.0  # eigenvalue -1000
    packed = np.concatenate([c[: j + 1, j] for j in range(6)])
    stress, _, ddsdde, *_ = umat(name, packed, np.full(6, 1e-3), stress=np.full(6, 5.0))
    assert errstat() == -3 and not ddsdde.any()


def store_record(flag_fibre=0.0, ply=1, sec=1, nstatv=40):
    sv = np.zeros(nstatv)
    sv[7] = flag_fibre
    if nstatv >= 18:
        sv[17] = 1.0
    if nstatv >= 22:
        sv[20], sv[21] = ply, sec
    return sv


def test_constants_from_the_store(clean_store):
    v = clean_store
    v.materialdata.peprops = np.asfortranarray(np.stack([np.zeros(9), NYE], axis=1)[:, :, None])
    eps = np.array([1e-3, -2e-4, 3e-4, 2e-3, -1e-3, 5e-4])
    stress, _, ddsdde, *_ = umat("umat_lamina", [0.0], eps, statev=store_record(ply=2))
    np.testing.assert_allclose(ddsdde, stiffness(NYE), rtol=1e-10)
    assert errstat() == 0
    for sv in (store_record(ply=3), store_record(sec=2), store_record(ply=2, nstatv=21)):
        v.errorhandling.rsxerr(1)
        stress, _, ddsdde, *_ = umat("umat_lamina", [0.0], eps, statev=sv, nstatv=len(sv))
        assert errstat() == -3 and not ddsdde.any() and not stress.any()


def test_measured_field_step_degrades_by_the_fibre_flag(clean_store):
    v = clean_store
    c = stiffness(NYE)
    v.jobdata.stepid = np.array([2, 5], dtype=np.int32)
    eps = np.array([1e-3, -2e-4, 3e-4, 2e-3, -1e-3, 5e-4])
    _, _, ddsdde, *_ = umat("umat_lamina", NYE, eps, statev=store_record(1.0), jstep=2)
    expected = c.copy()
    expected[0, :3] *= 0.5
    expected[:3, 0] = expected[0, :3]
    expected[3, 3] *= 1e-20
    expected[5, 5] *= 1e-20
    np.testing.assert_allclose(ddsdde, expected, rtol=1e-12)
    assert errstat() == 0
    # A step of another type, a step outside the table, a state short of the record: none.
    for jstep, nstatv in ((1, 40), (3, 40), (0, 40), (2, 17)):
        v.errorhandling.rsxerr(1)
        _, _, ddsdde, *_ = umat("umat_lamina", NYE, eps, statev=store_record(1.0, nstatv=nstatv),
                                nstatv=nstatv, jstep=jstep)
        np.testing.assert_allclose(ddsdde, c, rtol=1e-12)
        assert errstat() == (0 if jstep == 1 else -3)


def test_hyper_takes_the_packed_stiffness(clean_store):
    rng = np.random.default_rng(4)
    a = rng.normal(size=(6, 6))
    c = a @ a.T + 6 * np.eye(6)
    packed = np.concatenate([c[: j + 1, j] for j in range(6)])
    eps = rng.normal(0, 1e-3, 6)
    stress, statev, ddsdde, sse, *_ = umat("umat_hyper", packed, eps, nstatv=4)
    np.testing.assert_allclose(ddsdde, c, rtol=1e-12)
    np.testing.assert_allclose(stress, c @ eps, rtol=1e-12)
    np.testing.assert_array_equal(statev, stress[:4])  # as far as the state reaches
    stress, _, ddsdde, *_ = umat("umat_hyper", packed[:15], eps)
    assert errstat() == -3 and not ddsdde.any()


@pytest.mark.parametrize("flag, factor", [(1.0, 0.0010000000474974513), (0.999, 1.0)])
def test_porosity_is_incremental_with_pores(clean_store, flag, factor):
    stress, statev, ddsdde, sse, *_ = umat("umat_porosity", NYE, np.full(6, 1.0),
                                           [1e-3, 0, 0, 0, 0, 2e-3], stress=np.full(6, 3.0),
                                           statev=[flag, 0.0], nstatv=2)
    c = stiffness(NYE) * factor
    np.testing.assert_allclose(ddsdde, c, rtol=1e-12)
    np.testing.assert_allclose(stress, 3.0 + c @ [1e-3, 0, 0, 0, 0, 2e-3], rtol=1e-12)
    assert sse == 0.0 and list(statev) == [flag, 0.0]


def fiber(props, s11_strain, statev, **kw):
    eps = np.array([s11_strain, 0, 0, 0, 0, 0])
    return umat("umat_fiber", props, eps, statev=statev, nstatv=len(statev), **kw)


ISO = [100e3, 100e3, 100e3, 0.0, 0.0, 0.0, 40e3, 40e3, 40e3]  # s11 = 1e5 eps11


def test_fiber_linear_and_index(clean_store):
    stress, statev, ddsdde, *_ = fiber(ISO, 1e-3, np.zeros(12))
    np.testing.assert_allclose(ddsdde, stiffness(ISO), rtol=1e-12)
    assert statev[2] == 0 and statev[11] == HUGE
    _, statev, *_ = fiber(ISO + [100.0, 150.0], 5e-4, np.zeros(12))
    assert statev[2] == pytest.approx(0.5)
    _, statev, *_ = fiber(ISO + [100.0, 150.0], -2e-3, statev)
    assert statev[2] == 1.0
    s11 = stress[0]  # the stress of the first call taken as XT: the index is 1 exactly
    _, statev, *_ = fiber(ISO + [s11, 150.0], 1e-3, np.zeros(12))
    assert statev[2] == 1.0


def test_fiber_reduction_scales_the_moduli(clean_store):
    props = NYE.tolist() + [100.0, 150.0, 0.01]
    _, _, ddsdde, *_ = fiber(props, 1e-3, np.r_[0, 0, 1.0, np.zeros(9)])
    np.testing.assert_allclose(ddsdde, 0.01 * stiffness(NYE), rtol=1e-12)
    _, _, ddsdde, *_ = fiber(props, 1e-3, np.r_[0, 0, 0.99, np.zeros(9)])
    np.testing.assert_allclose(ddsdde, stiffness(NYE), rtol=1e-12)


@pytest.mark.parametrize("t, expected", [(333.0, "mean"), (400.0, "hot"), (250.0, "cold")])
@pytest.mark.parametrize("hot_first", [False, True])
def test_fiber_temperature_sets(clean_store, t, expected, hot_first):
    cold = np.r_[NYE, 100.0, 150.0]
    hot = np.r_[NYE * 0.8, 80.0, 120.0]
    sets = [(hot, 373.0), (cold, 293.0)] if hot_first else [(cold, 293.0), (hot, 373.0)]
    props = np.r_[sets[0][0], sets[0][1], sets[1][0], sets[1][1], 0.5]
    want = {"mean": 0.5 * (cold + hot), "hot": hot, "cold": cold}[expected]
    stress, statev, ddsdde, *_ = fiber(props, 1e-3, np.zeros(12), temp=t - 10, dtemp=10.0)
    np.testing.assert_allclose(ddsdde, stiffness(want[:9]), rtol=1e-10)
    assert statev[2] == pytest.approx(min(stress[0] / want[9], 1.0), rel=1e-10)


@pytest.mark.parametrize("t_first, t_second, t", [
    (373.0, NAN, 293.0),  # the NaN set sorts as the lower: an interval from NaN to 373
    (NAN, 373.0, 333.0),
    (-np.inf, 373.0, 333.0),  # no point lies between: NaN constants
    (293.0, 293.0, NAN),  # equal set temperatures with a NaN between them
])
def test_fiber_refuses_temperatures_that_are_not_finite(t_first, t_second, t):
    # in a child process: the interpolation across such sets ended the process
    props = np.r_[NYE, 100.0, 150.0, t_first, 0.8 * NYE, 80.0, 120.0, t_second, 0.5]
    r = run_python(f"""
        import sys
        sys.path.insert(0, {os.path.dirname(__file__)!r})
        import numpy as np
        from conftest import errstat, errtext
        from test_toplevel_lamina import fiber
        nan, inf = float("nan"), float("inf")
        stress, statev, ddsdde, sse, *_ = fiber({props.tolist()!r}, 1e-3, np.zeros(12),
                                                temp={t!r} - 10, dtemp=10.0)
        print(errstat(), errtext(), abs(stress).max(), abs(ddsdde).max(), sse, statev[2])
    """)
    assert r.returncode == 0, r.stdout + r.stderr
    assert r.stdout.split() == ["-3", "Temperature", "not", "finite", "in", "umat_fiber",
                                "0.0", "0.0", "0.0", "0.0"]


def test_fiber_layouts_without_values(clean_store):
    _, statev, *_ = fiber(ISO + [1.0], 1e-3, np.zeros(12))  # no XC
    assert errstat() == -3 and statev[2] == 0.0
    clean_store.errorhandling.rsxerr(1)
    props = ISO + [100.0, 150.0, 0.5, 0.5]  # 13 values: no factor
    _, _, ddsdde, *_ = fiber(props, 1e-3, np.r_[0, 0, 1.0, np.zeros(9)])
    assert errstat() == -3
    np.testing.assert_allclose(ddsdde, stiffness(ISO), rtol=1e-12)


def test_fiber_short_state_warns_and_stays_inside(clean_store, capfd):
    statev = np.array([0.0, 0.0, 0.0, 0.0, 1e35])
    _, statev, *_ = fiber(ISO + [100.0, 150.0], 5e-4, statev, materl="M1")
    out = capfd.readouterr().out
    assert out == "****WARNING: To less nstatev allocated for material " + "M1".ljust(80) + "\n"
    np.testing.assert_allclose(statev, [0, 0, 0.5, 0, 0], rtol=1e-12)
    _, statev, *_ = fiber(ISO, 5e-4, np.r_[np.zeros(11), 1e35], kinc=2)
    assert capfd.readouterr().out == "" and statev[11] == HUGE


def vumat(ndir, nshr, straininc, stressold, props=NYE, density=2.0, eold=1.0, nstatev=3):
    nb = straininc.shape[0]
    nt = ndir + nshr
    return toplevel.vumat_lamina(
        ndir, nshr, 0, 0.0, 0.0, 1.0, "M", np.zeros((nb, 3)), np.ones(nb), np.array(props),
        np.full(nb, density), straininc, np.zeros((nb, 1)), np.zeros(nb), np.zeros((nb, nt)),
        np.zeros((nb, 1)), np.zeros((nb, 0)), stressold, np.full((nb, nstatev), 9.0),
        np.full(nb, eold), np.zeros(nb), np.zeros(nb), np.zeros((nb, nt)), np.zeros((nb, 1)),
        np.zeros((nb, 0)))


def test_vumat_is_the_nye_law_in_explicit_order(clean_store):
    eps_nye = np.array([[1e-3, -2e-4, 3e-4, 2e-3, -1e-3, 5e-4], [0, 1e-3, 0, 0, 0, 1e-3]])
    de = np.asfortranarray(eps_nye[:, NYE_TO_CYCLIC] * np.r_[1, 1, 1, 0.5, 0.5, 0.5])
    sold = np.asfortranarray(np.full((2, 6), 2.0))
    snew, stnew, enew, einel = vumat(3, 3, de, sold)
    dsig = (eps_nye @ stiffness(NYE).T)[:, NYE_TO_CYCLIC]
    np.testing.assert_allclose(snew, sold + dsig, rtol=1e-12)
    assert not stnew.any() and not einel.any()
    work = 0.5 * np.einsum("ij,ij->i", snew + sold, eps_nye[:, NYE_TO_CYCLIC])
    np.testing.assert_allclose(enew, 1.0 + work / 2.0, rtol=1e-12)


def test_vumat_plane_stress_thickness_strain(clean_store):
    de = np.asfortranarray([[1e-3, -4e-4, 0.0, 5e-4]])
    snew, _, enew, _ = vumat(3, 1, de, np.zeros((1, 4), order="F"))
    q = stiffness(NYE, 3)
    ds = q @ [1e-3, -4e-4, 1e-3]
    np.testing.assert_allclose(snew[0], [ds[0], ds[1], 0.0, ds[2]], rtol=1e-12)
    e1, e2, _, _, nu13, nu23 = NYE[:6]
    assert de[0, 2] == pytest.approx(-(nu13 * ds[0] / e1 + nu23 * ds[1] / e2), rel=1e-12)
    snew, _, enew, _ = vumat(3, 1, de, np.zeros((1, 4), order="F"), density=0.0, eold=4.0)
    assert errstat() == -3 and enew[0] == 4.0
    clean_store.errorhandling.rsxerr(1)
    de = np.asfortranarray([[1e-3, -4e-4, 7.0, 5e-4]])
    snew, *_ = vumat(3, 1, de, np.ones((1, 4), order="F"), props=[1.0, 2.0, 3.0])
    assert errstat() == -2 and de[0, 2] == 7.0  # no constants: no thickness strain
    np.testing.assert_array_equal(snew, np.ones((1, 4)))


@pytest.mark.parametrize("props", OUT_OF_RANGE)
def test_vumat_and_upermat_keep_the_old_stress_for_constants_out_of_range(clean_store, props):
    """-3; no stress increment, the internal energy grows by the work of the old stress."""
    sold = np.full((2, 6), 5.0, order="F")
    de = np.full((2, 6), 1e-3, order="F")
    snew, _, enew, _ = vumat(3, 3, de, sold, props=props)
    assert errstat() == -3
    np.testing.assert_array_equal(snew, sold)
    np.testing.assert_allclose(enew, 1.0 + 0.5 * 10.0 * 9e-3 / 2.0, rtol=1e-14)  # shears doubled
    clean_store.errorhandling.rsxerr(1)
    snew, _ = toplevel.upermat_lamina(sold, np.zeros((2, 6), order="F"), de, props, 0.0, 1.0, 1.0,
                                      1, 3, 3)
    assert errstat() == -3
    np.testing.assert_array_equal(snew, sold)


def test_plane_stress_thickness_strain_needs_a_normal_e3(clean_store):
    """E3 = 1e-320: the in-plane stiffness does not read it, but nu31 = nu13 E3/E1 underflows
    and the thickness strain came out 0 (not -(nu13 s11/E1 + nu23 s22/E2)). -3, the in-plane
    stress, and the thickness strain as the solver gave it (usermat_fiber: epszz 0)."""
    props, q = OUT_OF_RANGE[1], stiffness(NYE, 3)
    de = np.asfortranarray([[1e-3, -4e-4, 7.0, 5e-4]])
    snew, *_ = vumat(3, 1, de, np.zeros((1, 4), order="F"), props=props)
    assert errstat() == -3 and de[0, 2] == 7.0
    ds = q @ [1e-3, -4e-4, 1e-3]
    np.testing.assert_allclose(snew[0], [ds[0], ds[1], 0.0, ds[2]], rtol=1e-12)
    clean_store.errorhandling.rsxerr(1)
    stress, _, _, _, epszz, _ = usermat("usermat_fiber", np.zeros(3), [1e-3, -4e-4, 1.5e-3],
                                        2, 1, prop=props)
    assert errstat() == -3 and epszz == 0.0
    np.testing.assert_allclose(stress, q @ [1e-3, -4e-4, 1.5e-3], rtol=1e-10)


# (ndir, nshr, columns of the stress rows, nstatev): layouts of no explicit element, a negative
# and an oversized count; the columns the routine may reach are those of the declared extents.
EXPLICIT_REFUSED = [(3, 0, 3, 2), (2, 1, 3, 2), (-1, 4, 3, 2), (2147483647, 3, 6, 2),
                    (3, 3, 6, -1)]


@pytest.mark.parametrize("ndir, nshr, cols, nstatev", EXPLICIT_REFUSED)
def test_vumat_refused_extents_give_the_zero_start(clean_store, ndir, nshr, cols, nstatev):
    """-3; stressnew, statenew and enerinelasnew 0 and enerinternnew the old one, in every
    output the extents reach; an oversized or negative extent keeps its array untouched."""
    from vumat_lib import MARK, vumat_once
    de, sold = np.full((2, cols), 1e-3), np.full((2, cols), 3.0)
    snew, stnew, enew, einel = vumat_once("vumat_lamina", NYE, de, sold,
                                          np.full((2, max(nstatev, 1)), 9.0), ndir=ndir,
                                          nshr=nshr, nstatev=nstatev)
    assert errstat() == -3
    reach = 0 <= ndir + nshr <= 6
    np.testing.assert_array_equal(snew, np.full_like(snew, 0.0 if reach else MARK))
    np.testing.assert_array_equal(stnew, np.full_like(stnew, 0.0 if nstatev >= 0 else MARK))
    np.testing.assert_array_equal(enew, [5.0, 5.0])
    np.testing.assert_array_equal(einel, [0.0, 0.0])


def usermat(name, stress, dstrain, ndirect, nshear, prop=NYE):
    n = len(stress)
    stress = np.array(stress, float)
    sedel, tsstif = np.zeros(()), np.zeros(2)
    keycut, dsdepl, epszz = getattr(toplevel, name)(
        1, 1, 1, 1, 1, 1, 1, ndirect, nshear, 0.0, 1.0, 0.0, 0.0, stress, np.zeros(1), sedel,
        np.zeros(()), np.zeros(()), np.zeros(n), np.array(dstrain, float), np.zeros(n),
        np.array(prop, float), np.zeros(3), 0.0, np.eye(3), np.eye(3), tsstif, 3.0, 0.0, 0.0,
        0.0, 0.0, 0.0, 0.0, 0.0, 0.0)
    return stress, dsdepl, float(sedel), tsstif, epszz, keycut


@pytest.mark.parametrize("name", ["usermat_fiber", "usermat_lamina"])
def test_usermat_three_dimensional(clean_store, name):
    eps_nye = np.array([1e-3, -2e-4, 3e-4, 2e-3, -1e-3, 5e-4])
    s0 = np.zeros(6)
    stress, dsdepl, sedel, tsstif, epszz, keycut = usermat(name, s0, eps_nye[NYE_TO_CYCLIC], 3, 3)
    c = stiffness(NYE)
    np.testing.assert_allclose(stress, (c @ eps_nye)[NYE_TO_CYCLIC], rtol=1e-10)
    np.testing.assert_allclose(dsdepl, c[np.ix_(NYE_TO_CYCLIC, NYE_TO_CYCLIC)], rtol=1e-10)
    assert sedel == pytest.approx(0.5 * (c @ eps_nye) @ eps_nye, rel=1e-10)
    np.testing.assert_allclose(tsstif, [NYE[7], 0.0], rtol=1e-10)
    assert keycut == 0


@pytest.mark.parametrize("name", ["usermat_fiber", "usermat_lamina"])
def test_usermat_plane_stress(clean_store, name):
    stress, dsdepl, _, tsstif, epszz, _ = usermat(name, np.zeros(3), [1e-3, -4e-4, 1.5e-3], 2, 1)
    q = stiffness(NYE, 3)
    np.testing.assert_allclose(stress, q @ [1e-3, -4e-4, 1.5e-3], rtol=1e-10)
    e1, e2, _, _, nu13, nu23 = NYE[:6]
    assert epszz == pytest.approx(-(nu13 * stress[0] / e1 + nu23 * stress[1] / e2), rel=1e-10)
    np.testing.assert_allclose(tsstif, [NYE[7], NYE[8]], rtol=1e-10)


@pytest.mark.parametrize("name", ["usermat_fiber", "usermat_lamina"])
@pytest.mark.parametrize("props", OUT_OF_RANGE)
def test_usermat_constants_out_of_range(clean_store, name, props):
    """-3 and a zero tangent: usermat_fiber keeps the stress as it came; usermat_lamina gives
    umat_lamina's secant stress of no stiffness, 0."""
    stress, dsdepl, *_ = usermat(name, np.full(6, 5.0), np.full(6, 1e-3), 3, 3, prop=props)
    assert errstat() == -3 and not dsdepl.any()
    np.testing.assert_array_equal(stress, np.full(6, 5.0 if name == "usermat_fiber" else 0.0))


def test_usermat_fiber_is_incremental_and_rejects_counts(clean_store):
    stress, *_ = usermat("usermat_fiber", [5.0, 5.0, 5.0], [1e-3, 0, 0], 2, 1)
    np.testing.assert_allclose(stress, 5.0 + stiffness(NYE, 3)[:, 0] * 1e-3, rtol=1e-12)
    stress, dsdepl, *_ = usermat("usermat_fiber", [5.0, 5.0, 5.0], [1e-3, 0, 0], 2, 1,
                                 prop=[1.0, 2.0, 3.0])
    assert errstat() == -2 and not dsdepl.any()
    np.testing.assert_array_equal(stress, [5, 5, 5])


def test_upermat_two_points(clean_store):
    sold = np.asfortranarray([[1.0, 2, 3, 4, 5, 6], [0.0] * 6])
    de = np.asfortranarray([[1e-3, 0, 0, 0, 0, 0], [0, 2e-4, 0, 1e-3, 0, 0]])
    snew, stnew = toplevel.upermat_lamina(sold, np.zeros((2, 6), order="F"), de, NYE, 0.0, 1.0,
                                          1.0, 1, 3, 3)
    np.testing.assert_allclose(snew, sold + de @ stiffness(NYE).T, rtol=1e-12)
    np.testing.assert_allclose(stnew, snew - sold, rtol=1e-12)  # umat_lamina's state: stress
    snew, _ = toplevel.upermat_lamina(sold, np.zeros((2, 6), order="F"), np.zeros((2, 6)), NYE,
                                      0.0, 1.0, 1.0, 1, 3, 3)
    np.testing.assert_array_equal(snew, sold)


# As EXPLICIT_REFUSED for the Peridigm rows, whose layouts are the implicit ones: (2, 1) is plane
# stress there.
@pytest.mark.parametrize("ndir, nshr, cols, nstatev", [(3, 0, 3, 2), (2, 2, 4, 2), (-1, 4, 3, 2),
                                                       (2147483647, 3, 6, 2), (3, 3, 6, -1)])
def test_upermat_refused_extents_keep_the_old_rows(clean_store, ndir, nshr, cols, nstatev):
    """-3; stressnew = stressold and statenew = stateold in every output the extents reach."""
    from solverdriver import _d, _i, _p, lib
    from vumat_lib import MARK
    sold, de = np.full((2, cols), 3.0, order="F"), np.full((2, cols), 1e-3, order="F")
    stold = np.full((2, max(nstatev, 1)), 9.0, order="F")
    snew, stnew = np.full_like(sold, MARK), np.full_like(stold, MARK)
    props = np.array(NYE)
    lib.toplevel_upermat_lamina(_p(snew), _p(stnew), _p(sold), _p(stold), _p(de), _p(props),
                                _d(0.0), _d(1.0), _d(1.0), _i(1), _i(2), _i(ndir), _i(nshr),
                                _i(nstatev), _i(9))
    assert errstat() == -3
    np.testing.assert_array_equal(snew, sold if 0 <= ndir + nshr <= 6 else np.full_like(snew, MARK))
    np.testing.assert_array_equal(stnew, stold if nstatev >= 0 else np.full_like(stnew, MARK))


def test_hypela_returns_zeros():
    d, g, s, code = toplevel.hypela_lamina(
        np.ones(4), np.ones(4), np.ones(4), np.ones(1), np.ones(1), [1, 1], 1, [0, 0], [1, 1],
        3, 1, np.zeros(1), np.zeros(1), np.zeros(1), np.eye(3), np.eye(3), np.ones(3), np.eye(3),
        np.eye(3), np.eye(3), np.ones(3), np.eye(3), 3, 1, 3, 3, 4, 1, [1, 1], 0, 0, 0, 0,
        np.zeros(1, np.int32), np.zeros(1), np.array([b" "], "S1"))
    assert not d.any() and not g.any() and not s.any() and code == 0 and d.shape == (4, 4)


def test_fiber_uniaxial_path_to_failure(clean_store):
    """Uniaxial stress along the fibres through the solver protocol (full UMAT list by
    reference, the other components held at zero stress): s11 = E1 eps11 and the index
    s11/XT until it reaches 1, afterwards the stiffness is 0.01 times the intact one."""
    from solverdriver import umat_path
    e1, xt = NYE[0], 1400.0
    eps = np.array([0.0, 0.0025, 0.005, 0.01, 0.0125])
    strains = np.zeros((5, 6))
    strains[:, 0] = eps
    r = umat_path("umat_fiber", np.r_[NYE, xt, 1000.0, 0.01], strains, nstatv=12,
                  control=[True] + [False] * 5)
    np.testing.assert_allclose(r.stress[:4, 0], e1 * eps[:4], rtol=1e-8)
    np.testing.assert_allclose(r.statev[:4, 2], e1 * eps[:4] / xt, rtol=1e-8)
    assert r.statev[4, 2] == 1.0 and r.statev[4, 11] == HUGE
    assert r.stress[4, 0] == pytest.approx(0.01 * e1 * eps[4], rel=1e-8)
    np.testing.assert_allclose(r.stress[:, 1:], 0.0, atol=1e-8)
