"""Impact sensor and hail ice material routines of module toplevel. Expected values: Hooke's law
of the isotropic constants, the radial return of linear-hardening von Mises plasticity by hand
and central differences of the routine's own stress for its tangent."""
import ast
import ctypes
import mmap
import os

import numpy as np
import pytest

from conftest import errstat, errtext, run_python

toplevel = pytest.importorskip("_vorlen").toplevel
lib = ctypes.CDLL("libvorlen.so")  # the library _vorlen is linked with
I32, DBL = ctypes.c_int32, ctypes.c_double


def hooke(e, nu, ntens=6):
    lam, g = e * nu / ((1 + nu) * (1 - 2 * nu)), e / (2 * (1 + nu))
    c = np.zeros((6, 6))
    c[:3, :3] = lam
    c[range(3), range(3)] = lam + 2 * g
    c[range(3, 6), range(3, 6)] = g
    return c[:ntens, :ntens]


def umat(name, props, dstran, *, stress=None, statev=None, nstatv=13, stepid=3.0, nprops=None,
         cprops=None, dprops=None, ndi=3, nshr=None):
    n = len(dstran)
    nshr = n - ndi if nshr is None else nshr
    args = [np.zeros(n) if stress is None else np.array(stress, float),
            np.zeros(nstatv) if statev is None else np.array(statev, float),
            0.0, 1.0, 1.0, 0.0, np.zeros(n), np.zeros(n), 0.0,
            np.zeros(n), np.array(dstran, float), np.zeros(2), 1.0, 0.0, 0.0, np.zeros(1),
            np.zeros(1), "ICE", ndi, nshr, np.array(props, float), np.zeros(3), np.eye(3),
            1.0, 1.0, np.eye(3), np.eye(3), 1, 1, 1, 1]
    kw = {} if nprops is None else {"nprops": nprops}
    if name == "umat_sensor":
        args += [1, stepid, np.arange(1.0, 21.0) if cprops is None else cprops,
                 np.zeros(12) if dprops is None else np.array(dprops, float)]
    else:
        args += [np.array([1, 1, 0, 0], dtype=np.int32), 1]
    return getattr(toplevel, name)(*args, **kw)


def doubles(n, value=0.0):
    return (DBL * n)(*([value] * n))


def int_at_page_end(value):
    """A 32-bit integer in the last four bytes of a page whose next page cannot be read, and the
    mapping that holds it (keep it alive while the integer is used)."""
    page = mmap.PAGESIZE
    mapping = mmap.mmap(-1, 2 * page)
    base = ctypes.addressof(ctypes.c_char.from_buffer(mapping))
    libc = ctypes.CDLL(None)
    libc.mprotect.argtypes = [ctypes.c_void_p, ctypes.c_size_t, ctypes.c_int]
    assert libc.mprotect(base + page, page, 0) == 0  # no access
    number = I32.from_address(base + page - 4)
    number.value = value
    return number, mapping


def c_umat_sensor(stepid):
    """umat_sensor through its C entry as a solver calls it: a 3-D point with six state
    variables (set to 7), the impactor record 1..20 and the step type stepid (an I32).
    Returns STATEV."""
    statev, spare = doubles(6, 7.0), doubles(64)  # spare: the arguments the routine ignores
    ints = {k: I32(v) for k, v in dict(ndi=3, nshr=3, ntens=6, nstatv=6, nprops=0, one=1).items()}
    ref = {k: ctypes.byref(v) for k, v in ints.items()}
    lib.toplevel_umat_sensor(
        doubles(6), statev, doubles(36), doubles(1), doubles(1), doubles(1), spare, spare, spare,
        spare, doubles(6), doubles(6, 1e-3), spare, spare, spare, spare, spare, spare,
        ctypes.create_string_buffer(80), ref["ndi"], ref["nshr"], ref["ntens"], ref["nstatv"],
        spare, ref["nprops"], spare, spare, spare, spare, spare, spare, ref["one"], ref["one"],
        ref["one"], ref["one"], ref["one"], ctypes.byref(stepid),
        (DBL * 20)(*range(1, 21)), doubles(12))
    return list(statev)


def c_vumat_sensor(stepid, ndir=3, nshr=3, density=1.0, eold=0.0):
    """vumat_sensor through its C entry for one point with six state variables, the strain
    increment 1e-3 in every component, the impactor record 1..20, the step type stepid (an
    I32) and the internal energy eold; STATENEW, STRESSNEW and ENERINTERNNEW come in as 7.
    Returns the three."""
    statenew, stressnew, energy, spare = doubles(6, 7.0), doubles(6, 7.0), doubles(1, 7.0), \
        doubles(64)
    ints = {k: I32(v) for k, v in dict(nblock=1, ndir=ndir, nshr=nshr, nstatev=6, zero=0).items()}
    ref = {k: ctypes.byref(v) for k, v in ints.items()}
    lib.toplevel_vumat_sensor(
        ref["nblock"], ref["ndir"], ref["nshr"], ref["nstatev"], ref["zero"], ref["zero"],
        ref["zero"], spare, spare, spare, ctypes.create_string_buffer(80), spare, spare, spare,
        doubles(1, density), doubles(6, 1e-3), spare, spare, spare, spare, spare, doubles(6),
        spare, doubles(1, eold), spare, spare, spare, spare, spare, stressnew, statenew, energy,
        doubles(1), ctypes.byref(stepid), (DBL * 20)(*range(1, 21)), doubles(12))
    return list(statenew), list(stressnew), energy[0]


@pytest.mark.parametrize("entry, expected", [
    ("c_umat_sensor(stepid)", [4, 5, 6, 1, 2, 3]),
    ("c_vumat_sensor(stepid)[0]", [4, 5, 6, 1, 2, 3]),
])
def test_sensor_step_type_is_the_32_bit_integer_of_the_step_table(entry, expected):
    """The solver passes the step type as the integer of its step table: in an impact step the
    contact values are stored, and no byte behind the integer is read (here the integer ends a
    page whose next page cannot be read)."""
    proc = run_python(f"""
        import sys
        sys.path.insert(0, {os.path.dirname(os.path.abspath(__file__))!r})
        import test_toplevel_sensor as t
        stepid, mapping = t.int_at_page_end(3)
        print(t.{entry})
    """)
    assert proc.returncode == 0, proc.stderr
    assert ast.literal_eval(proc.stdout.splitlines()[-1]) == expected


@pytest.mark.parametrize("ndir, nshr, reached", [(3, 0, 3), (2, 1, 3), (4, 2, 6),
                                                  (2**31 - 1, 1, 0)])
def test_explicit_sensor_refuses_layouts_of_no_element(clean_store, ndir, nshr, reached):
    """The block is started as far as its extents reach (stress rows of ndir + nshr components
    while that is 0 to 6), with the internal energy as it came, and nothing more."""
    statenew, stressnew, energy = c_vumat_sensor(I32(3), ndir, nshr, eold=5.0)
    assert errstat() == -3 and errtext() == "Unsupported components in vumat_sensor"
    assert statenew == [0.0] * 6 and energy == 5.0
    assert stressnew == [0.0] * reached + [7.0] * (6 - reached)


@pytest.mark.parametrize("density", [0.0, -1.0, np.nan])
def test_explicit_sensor_without_density_keeps_the_energy(clean_store, density):
    statenew, stressnew, energy = c_vumat_sensor(I32(3), density=density)
    assert errstat() == -3 and errtext() == "Density not above 0 in vumat_sensor"
    assert energy == 0.0  # the internal energy as it came
    np.testing.assert_allclose(stressnew, hooke(1e-20, 0.49) @ np.full(6, 1e-3), rtol=1e-14)
    assert statenew == [4, 5, 6, 1, 2, 3]


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


@pytest.mark.parametrize("name, props", [("umat_sensor", [2.0, 3.0]), ("umat_hail", HARDENING)])
@pytest.mark.parametrize("ndi, nshr, ntens", [(3, 0, 3), (4, 2, 6), (2, 2, 4), (1, 2, 3),
                                              (2**31 - 1, 3, 6)])
def test_layouts_of_no_element_are_refused(clean_store, name, props, ndi, nshr, ntens):
    """Only 3-D (3, 3, 6), plane strain and axisymmetric (3, 1, 4) and plane stress (2, 1, 3):
    other counts that add up are no layout of an element either, and nothing is written."""
    stress, statev = np.arange(1.0, ntens + 1), np.full(14, 9.0)
    out = umat(name, props, np.full(ntens, 1e-3), stress=stress, statev=statev, nstatv=14,
               ndi=ndi, nshr=nshr)
    assert errstat() == -3 and errtext() == f"Unsupported components in {name}"
    np.testing.assert_array_equal(out[0], stress)
    np.testing.assert_array_equal(out[1], statev)
    if name == "umat_sensor":
        np.testing.assert_array_equal(out[-1], np.zeros(12))  # no load record


SHEAR, REST = np.array([0, 0, 0, 5e-3, 0, 2e-3]), np.zeros(6)  # far above yield; no strain


@pytest.mark.parametrize("table, dstran", [
    ([Y0, 0.1, 10.0, 0.05], SHEAR),         # plastic strains decrease
    ([Y0, 0.0, 10.0, 0.0], SHEAR),          # ... or repeat
    ([Y0, np.nan, 10.0, 0.1], SHEAR),
    ([Y0, 0.0, 10.0, np.inf], SHEAR),
    ([np.nan, 0.0, 10.0, 0.1], SHEAR),      # yield stress not a number
    ([-10.0, 0.0], REST),                   # yield stress below 0 (also as the cut-off limit)
    ([Y0, 0.0, -10.0, 0.1], SHEAR),
    ([Y0, 0.1, 20.0, 0.2], REST),           # extrapolated to -10 at no plastic strain
])
def test_hail_unusable_hardening_table_gives_the_elastic_response(clean_store, table, dstran):
    stress, sv, ddsdde, _, spd, *_ = umat("umat_hail", [E, NU, 1.0] + table, dstran, nstatv=14)
    assert errstat() == -3 and errtext() == "Hardening table unusable in umat_hail"
    np.testing.assert_allclose(ddsdde, hooke(E, NU), rtol=1e-12)
    np.testing.assert_allclose(stress, hooke(E, NU) @ dstran, rtol=1e-12)
    np.testing.assert_array_equal(sv, np.r_[dstran, np.zeros(8)])  # no plastic strain, no flag
    assert spd == 1.0  # as it came


# nu 0.5 and -1, E whose stiffness overflows (1e308) or is subnormal (1e-320), a short state, a
# short property list.
@pytest.mark.parametrize("props, nstatv", [([E, 0.5, 1.0, Y0, 0.0], 13), ([E, -1.0], 13),
                                           ([1e308, NU, 1.0, Y0, 0.0], 13), ([1e-320, NU], 13),
                                           ([E, NU, 1.0, Y0, 0.0], 12), ([E], 13)])
def test_hail_unusable_input(clean_store, props, nstatv):
    stress, sv, ddsdde, *_ = umat("umat_hail", props, np.full(6, 1e-3), stress=np.ones(6),
                                  nstatv=nstatv)
    assert errstat() == -3
    assert np.all(np.isfinite(stress)) and np.all(np.isfinite(ddsdde)) and np.all(np.isfinite(sv))
