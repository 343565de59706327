"""Mixed-mode fracture toughness as the traction-share mean of the mode toughnesses, and the
crack status from the normal traction of the stress rotated in numpy (Rodrigues' formula)."""
import math

import numpy as np
import pytest

import _vorlen
from conftest import errstat, errtext

frac = _vorlen.fracture

GC4 = np.array([0.3, 1.1, 0.9, 0.7])  # opening, closing, first shear, second shear


@pytest.fixture(autouse=True)
def register(clean_register):
    yield


@pytest.mark.parametrize("name, form", [
    ("getequivalentmixedmodeerr", "geq = getequivalentmixedmodeerr(traction,gc,[n])"),
    ("getcrackstatus", "crckstatus = getcrackstatus(svoigt,nrot,phi,baseid)"),
])
def test_call_form(name, form):
    assert getattr(frac, name).__doc__.splitlines()[0] == form


@pytest.mark.parametrize("traction, gc, expected", [
    ([-40.0, 0.0, 0.0], GC4, 1.1),         # pure compression: closing toughness
    ([25.0, 0.0, 0.0], GC4, 0.3),          # pure tension: opening toughness
    ([0.0, 0.0, 12.0], GC4, 0.7),          # second shear
    ([-40.0, 0.0, 0.0], GC4[:3], 0.3),     # three modes: the normal one whatever its sign
    ([0.0, 5.0, 0.0], [0.3, 0.9, 0.7, 9.0, 9.0], 0.9),  # more than four: the first three
    ([30.0, -40.0, 120.0], GC4, (900 * 0.3 + 1600 * 0.9 + 14400 * 0.7) / 16900),
    ([-30.0, -40.0, 120.0], GC4, (900 * 1.1 + 1600 * 0.9 + 14400 * 0.7) / 16900),
    ([-30.0, 40.0, 120.0], GC4[:3], (900 * 0.3 + 1600 * 1.1 + 14400 * 0.9) / 16900),
])
def test_mixed_mode_toughness_is_the_traction_share_mean(traction, gc, expected):
    assert frac.getequivalentmixedmodeerr(np.array(traction), np.array(gc)) == pytest.approx(
        expected, rel=1e-14)
    assert errstat() == 0


@pytest.mark.parametrize("traction, gc, code", [
    ([0.0, 0.0, 0.0], GC4, -1),
    ([0.0, 0.0, 0.0], GC4[:3], -1),
    ([10.0, 2.0, 3.0], GC4[:2], -3),
])
def test_mixed_mode_toughness_without_a_mean(traction, gc, code):
    assert frac.getequivalentmixedmodeerr(np.array(traction), np.array(gc)) == 0.0
    assert errstat() == code


def rotation(n, theta):
    n = np.asarray(n, float)
    k = np.array([[0, -n[2], n[1]], [n[2], 0, -n[0]], [-n[1], n[0], 0]])
    return np.eye(3) + math.sin(theta) * k + (1 - math.cos(theta)) * k @ k


def voigt_matrix(s):
    return np.array([[s[0], s[5], s[4]], [s[5], s[1], s[3]], [s[4], s[3], s[2]]])


STRESSES = [np.array([40.0, -30.0, 10.0, 25.0, -5.0, 15.0]),
            np.array([-60.0, 20.0, -45.0, -10.0, 30.0, 5.0])]


@pytest.mark.parametrize("s", STRESSES)
@pytest.mark.parametrize("axis, phi", [([1.0, 0, 0], 0.0), ([1.0, 0, 0], 0.9),
                                       ([0, 0, 1.0], -1.2), ([0.6, 0.0, 0.8], 2.3)])
@pytest.mark.parametrize("baseid", [1, 2, 3])
def test_crack_status_from_the_rotated_normal_stress(s, axis, phi, baseid):
    r = rotation(axis, phi)
    normal = (r.T @ voigt_matrix(s) @ r)[baseid - 1, baseid - 1]
    assert abs(normal) > 1e-9  # the cases stay clear of the sign change
    expected = -1 if normal < 0 else 1
    assert frac.getcrackstatus(s, np.array(axis), phi, baseid) == expected


def test_crack_status_of_zero_stress_is_open():
    assert frac.getcrackstatus(np.zeros(6), np.array([1.0, 0, 0]), 0.4, 2) == 1


@pytest.mark.parametrize("k", range(6))
def test_crack_status_of_a_stress_that_is_not_a_number_is_reported(k):
    s = STRESSES[1].copy()
    s[k] = math.nan
    assert frac.getcrackstatus(s, np.array([1.0, 1.0, 0.0]), 0.4, 1) == 1  # the start value
    assert (errstat(), errtext()) == (-3, "Normal traction not a number in GetCrackStatus")


@pytest.mark.parametrize("baseid", [0, 4])
def test_crack_status_of_an_unknown_plane(baseid):
    assert frac.getcrackstatus(-STRESSES[1], np.array([1.0, 0, 0]), 0.4, baseid) == 1
    assert errstat() == -2
