"""Woven-ply fatigue material routine of module toplevel. Expected values: the +-angle layer
tangent is the mean of the ply tangent turned by numpy through the strain rotation of each
sub-ply; the state initialisation by hand from its layout."""
import numpy as np
import pytest

from conftest import errstat, errtext
from test_fatigue import cycle_settings, shokrieh_props

toplevel = pytest.importorskip("_vorlen").toplevel


def umat(props, stran, dstran, statev=None, kinc=1, nallstatv=312, ndi=None, nshr=None):
    n = len(stran)
    ndi = (2 if n == 3 else 3) if ndi is None else ndi
    nshr = n - ndi if nshr is None else nshr
    return toplevel.umat_shokrieh(
        np.zeros(n), np.zeros(nallstatv) if statev is None else statev, 0.0, 0.0, 0.0, 0.0,
        np.zeros(n), np.zeros(n), 0.0, np.array(stran, float), np.array(dstran, float),
        np.array([0.1, 0.1]), 0.1, 293.0, 0.0, np.zeros(1), np.zeros(1), "WOVEN", ndi, nshr,
        props, np.zeros(3), np.eye(3), 1.0, 1.0, np.eye(3), np.eye(3), 1, 1, 1, 1,
        np.array([1, 1, 0, 0], dtype=np.int32), kinc)


def props_at(angle):
    p = shokrieh_props()
    p[148] = angle
    return p


def strain_rotation(theta):
    """Nye engineering-strain rotation about axis 3 (11, 22, 33, 12, 13, 23)."""
    c, s = np.cos(theta), np.sin(theta)
    t = np.zeros((6, 6))
    t[0, [0, 1, 3]] = c * c, s * s, c * s
    t[1, [0, 1, 3]] = s * s, c * c, -c * s
    t[2, 2] = 1
    t[3, [0, 1, 3]] = -2 * c * s, 2 * c * s, c * c - s * s
    t[4, [4, 5]] = c, s
    t[5, [4, 5]] = -s, c
    return t


def test_layer_tangent_is_mean_of_rotated_plies(clean_store):
    ply = umat(props_at(0.0), np.zeros(6), np.zeros(6))[2]
    stress, statev, ddsdde, *_ = umat(props_at(45.0), np.zeros(6), np.zeros(6))
    expected = np.mean([t.T @ ply @ t for t in (strain_rotation(np.pi / 4),
                                                strain_rotation(-np.pi / 4))], axis=0)
    np.testing.assert_allclose(ddsdde, expected, rtol=1e-10, atol=1e-8 * np.abs(ply).max())
    assert statev[0] == 45.0
    # a small strain along axis 1: the 12 shear stresses of the sub-plies cancel
    e = np.array([1e-7, 0, 0, 0, 0, 0])
    stress = umat(props_at(45.0), np.zeros(6), e)[0]
    np.testing.assert_allclose(stress, expected @ e, rtol=1e-6, atol=1e-12 * np.abs(ply).max())
    assert abs(stress[3]) < 1e-9 * abs(stress[0])


def test_fresh_state_is_initialised_only_in_the_first_increment(clean_store):
    fresh = np.zeros(312)
    fresh[-1] = 9.9e34  # the marker of the state initialiser
    sv = umat(props_at(0.0), np.zeros(6), np.zeros(6), statev=fresh.copy())[1]
    assert sv[1] == 1 and sv[44] == 1 and sv[78] == 1 and sv[121] == 1
    assert np.all(sv[136:151] == 1)  # sub-ply 2 (unchanged with angle 0): factors 1
    assert sv[154] == np.finfo(float).max  # entry 77 of sub-ply 2 was 0
    assert sv[311] == 0  # the copy of entries 1-156 cleared the marker
    later = umat(props_at(0.0), np.zeros(6), np.zeros(6), statev=np.zeros(312), kinc=2)[1]
    assert later[78] == 0 and np.all(later[136:151] == 0)


@pytest.mark.parametrize("nallstatv, nprops, n", [(311, 150, 6), (312, 149, 6), (312, 150, 5)])
def test_unusable_extents(clean_store, nallstatv, nprops, n):
    p = props_at(0.0)[:nprops]
    stress, statev, ddsdde, *_ = umat(p, np.zeros(n), np.full(n, 1e-3), nallstatv=nallstatv)
    assert errstat() == -3
    assert np.all(statev == 0) and np.all(np.isfinite(ddsdde)) and np.all(stress == 0)


# Counts that add up to a size but describe no element; the last would overflow a 32-bit sum.
@pytest.mark.parametrize("ndi, nshr, n", [(3, 0, 3), (1, 2, 3), (2, 2, 4), (4, 2, 6),
                                          (2147483647, 3, 6)])
def test_layouts_without_element(clean_store, ndi, nshr, n):
    stress, statev, *_ = umat(props_at(0.0), np.zeros(n), np.full(n, 1e-3), ndi=ndi, nshr=nshr)
    assert errstat() == -3 and np.all(statev == 0) and np.all(stress == 0)


# A zero strength put NaN into the sub-ply records (the strength ratios of the cycle).
@pytest.mark.parametrize("slot, value", [(9, 0.0), (15, 0.0), (1, 1e-320)])  # Xt, S12, E2
def test_constants_not_positive_normal_leave_the_records(clean_store, slot, value):
    cycle_settings(fatigue=0.0)
    statev = umat(props_at(30.0), np.zeros(6), np.zeros(6))[1]
    assert errstat() == 0
    p = props_at(30.0)
    p[slot] = value
    stress, out, ddsdde, *_ = umat(p, np.zeros(6), np.full(6, 1e-4), statev=statev.copy(),
                                   kinc=2)
    assert errstat() == -3
    assert errtext() == "Modulus or strength not a positive normal number in GetShokrieh"
    np.testing.assert_array_equal(out, statev)
    assert not stress.any() and not ddsdde.any()


def test_ansys_entry_gives_the_layer_tangent(clean_store):
    ply = umat(props_at(30.0), np.zeros(6), np.zeros(6))[2]
    keycut, dsdepl, epszz = toplevel.usermat_shokrieh(
        1, 1, 1, 1, 1, 1, 1, 3, 3, 0.1, 0.1, 293.0, 0.0, np.zeros(6), np.zeros(312), 0.0, 0.0,
        0.0, np.zeros(6), np.zeros(6), np.zeros(6), props_at(30.0), np.zeros(3), 0.0, np.eye(3),
        np.eye(3), np.zeros(2), 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0)
    cyclic = [0, 1, 2, 3, 5, 4]  # (11, 22, 33, 12, 23, 13)
    np.testing.assert_allclose(dsdepl, ply[np.ix_(cyclic, cyclic)], rtol=1e-10,
                               atol=1e-10 * np.abs(ply).max())
    assert keycut == 0
