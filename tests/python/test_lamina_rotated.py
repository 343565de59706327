# Rotated stresses, traction vectors on rotated planes, fracture-plane angles and stiffness in
# arbitrary bases. References: rotation matrices by Rodrigues' formula in numpy, tractions as
# sigma n, and fourth-order tensor rotations with numpy.einsum.
import math

import numpy as np
import pytest

import _vorlen
from test_lamina_notation import clean_register, message  # noqa: F401 (autouse fixture)

lam = _vorlen.lamina
err = _vorlen.errorhandling


@pytest.mark.parametrize("name, form", [
    ("getrotatedstresses", "sv = getrotatedstresses(theta_r,nrot,s11,s22,s33,s12,s13,s23,[soutflag])"),
    ("gettvectorfromarbitraryrotation",
     "tv = gettvectorfromarbitraryrotation(theta_r,nrot,s11,s22,s33,s12,s13,s23,[tflag])"),
    ("gettvectoronrotatedxyplane", "tv = gettvectoronrotatedxyplane(theta_r,s22,s33,s12,s13,s23)"),
    ("getphimeasuredfromxzplane", "phixz = getphimeasuredfromxzplane(phixy,clockwise)"),
    ("getarbitrarybasesc", "scbase = getarbitrarybasesc(sc,base,scflag,ntflag)"),
])
def test_call_form(name, form):
    assert getattr(lam, name).__doc__.splitlines()[0] == form


def rotation(n, theta):
    """Right-handed rotation of vectors by theta about the unit axis n."""
    n = np.asarray(n, float)
    k = np.array([[0, -n[2], n[1]], [n[2], 0, -n[0]], [-n[1], n[0], 0]])
    return np.eye(3) + math.sin(theta) * k + (1 - math.cos(theta)) * k @ k


# s11, s22, s33, s12, s13, s23
STRESS = (80.0, -35.0, 20.0, 15.0, -25.0, 40.0)
S = np.array([[80.0, 15.0, -25.0], [15.0, -35.0, 40.0], [-25.0, 40.0, 20.0]])
AXIS = np.array([1.0, -2.0, 2.0]) / 3.0
ORDER = {0: [(0, 0), (1, 1), (2, 2), (0, 1), (0, 2), (1, 2)],  # Nye
         1: [(0, 0), (1, 1), (2, 2), (1, 2), (0, 2), (0, 1)],  # Voigt
         2: [(0, 0), (1, 1), (2, 2), (0, 1), (1, 2), (0, 2)]}  # Cyclic


@pytest.mark.parametrize("soutflag", [0, 1, 2, 7])
@pytest.mark.parametrize("theta, axis", [(0.0, AXIS), (0.7, AXIS), (-2.1, AXIS), (1.3, [0, 0, 1.0])])
def test_rotated_stresses_against_numpy(theta, axis, soutflag):
    r = rotation(axis, theta)
    rotated = r.T @ S @ r
    expected = [rotated[i, j] for i, j in ORDER.get(soutflag, ORDER[0])]
    sv = lam.getrotatedstresses(theta, np.array(axis, float), *STRESS, soutflag=soutflag)
    np.testing.assert_allclose(sv, expected, rtol=1e-13, atol=1e-12)
    assert err.errstat == 0


def test_rotation_by_a_right_angle_about_axis_3():
    s11, s22, s33, s12, s13, s23 = STRESS
    sv = lam.getrotatedstresses(math.pi / 2, [0, 0, 1.0], *STRESS)
    np.testing.assert_allclose(sv, [s22, s11, s33, -s12, s23, -s13], atol=1e-13)


def test_rotation_there_and_back_is_the_identity():
    sv = lam.getrotatedstresses(0.9, AXIS, *STRESS)  # Nye: s11, s22, s33, s12, s13, s23
    back = lam.getrotatedstresses(-0.9, AXIS, *sv)
    np.testing.assert_allclose(back, STRESS, rtol=1e-13, atol=1e-12)


@pytest.mark.parametrize("tflag", [1, 2, 3])
@pytest.mark.parametrize("theta", [0.0, 0.4, 2.5])
def test_traction_is_sigma_n_on_the_rotated_plane(theta, tflag):
    r = rotation(AXIS, theta)
    k = tflag - 1
    others = [j for j in range(3) if j != k]
    traction = S @ r[:, k]  # on the plane whose normal is the rotated axis k
    expected = [r[:, k] @ traction] + [r[:, j] @ traction for j in others]
    tv = lam.gettvectorfromarbitraryrotation(theta, AXIS, *STRESS, tflag=tflag)
    np.testing.assert_allclose(tv, expected, rtol=1e-13, atol=1e-12)


def test_traction_defaults_to_plane_3_and_reports_unknown_planes():
    theta = 0.6
    np.testing.assert_array_equal(lam.gettvectorfromarbitraryrotation(theta, AXIS, *STRESS),
                                  lam.gettvectorfromarbitraryrotation(theta, AXIS, *STRESS, tflag=3))
    s11, _, _, s12, s13, _ = STRESS
    assert tuple(lam.gettvectorfromarbitraryrotation(0.0, AXIS, *STRESS, tflag=1)) == (s11, s12, s13)
    assert err.errstat == 0
    for tflag in (0, 4, -1):
        assert not lam.gettvectorfromarbitraryrotation(theta, AXIS, *STRESS, tflag=tflag).any()
        assert (err.errstat, message()) == (-2, "Unknown PFlag in GetTVectorFromArbitraryRotation")
        err.errstat = 0


@pytest.mark.parametrize("theta", np.linspace(-math.pi, math.pi, 13))
def test_traction_on_planes_through_the_fibre_axis(theta):
    _, s22, s33, s12, s13, s23 = STRESS
    n = np.array([0.0, -math.sin(theta), math.cos(theta)])
    m = np.array([0.0, math.cos(theta), math.sin(theta)])  # in-plane, across the fibre
    traction = S @ n
    tv = lam.gettvectoronrotatedxyplane(theta, s22, s33, s12, s13, s23)
    np.testing.assert_allclose(tv, [n @ traction, traction[0], m @ traction], rtol=1e-13, atol=1e-12)
    # The same plane as the rotated plane 3 of a rotation about the fibre axis.
    np.testing.assert_allclose(tv, lam.gettvectorfromarbitraryrotation(theta, [1.0, 0, 0], *STRESS),
                               rtol=1e-13, atol=1e-12)


def test_traction_through_the_fibre_axis_at_0_and_90_degrees():
    _, s22, s33, s12, s13, s23 = STRESS
    assert tuple(lam.gettvectoronrotatedxyplane(0.0, s22, s33, s12, s13, s23)) == (s33, s13, s23)
    np.testing.assert_allclose(lam.gettvectoronrotatedxyplane(math.pi / 2, s22, s33, s12, s13, s23),
                               [s22, -s12, -s23], atol=1e-13)


@pytest.mark.parametrize("phixy_d, expected_d", [
    (0, 90), (30, 120), (-30, 120), (89, 179), (100, 10), (-100, 10), (150, 60), (180, 90),
])
@pytest.mark.parametrize("clockwise", [0, 1])
def test_phi_measured_from_the_xz_plane(phixy_d, expected_d, clockwise):
    phixz = lam.getphimeasuredfromxzplane(math.radians(phixy_d), clockwise)
    assert math.degrees(phixz) == pytest.approx(expected_d, abs=1e-12)


# ---------------------------------------------------------------- arbitrary bases

E1, E2, E3, NU12, NU13, NU23, G12, G13, G23 = 140000., 10000., 9000., .3, .28, .45, 5000., 4800., 3400.
PLY = np.array([E1, E2, E3, NU12, NU13, NU23, G12, G13, G23])
VOIGT_PAIRS = ORDER[1]
NYE = [0, 1, 2, 5, 4, 3]  # Voigt position of each Nye position
CYCLIC = [0, 1, 2, 5, 3, 4]  # Voigt position of each Cyclic position


def voigt_compliance():
    s = np.zeros((6, 6))
    s[:3, :3] = [[1 / E1, -NU12 / E1, -NU13 / E1], [-NU12 / E1, 1 / E2, -NU23 / E2],
                 [-NU13 / E1, -NU23 / E2, 1 / E3]]
    s[3, 3], s[4, 4], s[5, 5] = 1 / G23, 1 / G13, 1 / G12
    return s


def to_tensor(c):
    t = np.zeros((3, 3, 3, 3))
    for a, (i, j) in enumerate(VOIGT_PAIRS):
        for b, (k, l) in enumerate(VOIGT_PAIRS):
            for p, q in {(i, j), (j, i)}:
                for r, s in {(k, l), (l, k)}:
                    t[p, q, r, s] = c[a, b]
    return t


def to_voigt(t):
    return np.array([[t[i, j, k, l] for k, l in VOIGT_PAIRS] for i, j in VOIGT_PAIRS])


def rotated_stiffness(c, base):
    """Voigt stiffness in the basis of base's columns: C'_ijkl = a_ip a_jq a_kr a_ls C_pqrs."""
    a = base.T
    return to_voigt(np.einsum("ip,jq,kr,ls,pqrs->ijkl", a, a, a, a, to_tensor(c)))


C = np.linalg.inv(voigt_compliance())
BASE = rotation([2.0 / 7, 3.0 / 7, 6.0 / 7], 1.1)


@pytest.mark.parametrize("ntflag, order", [(1, list(range(6))), (0, NYE), (5, NYE), (2, CYCLIC)])
def test_stiffness_in_a_rotated_basis_against_a_tensor_rotation(ntflag, order):
    sc = C[np.ix_(order, order)]
    expected = rotated_stiffness(C, BASE)[np.ix_(order, order)]
    np.testing.assert_allclose(lam.getarbitrarybasesc(sc, BASE, 1, ntflag), expected,
                               rtol=1e-12, atol=1e-7)
    # The compliance turns with it: it stays the inverse of the stiffness.
    s = lam.getarbitrarybasesc(np.linalg.inv(sc), BASE, 0, ntflag)
    np.testing.assert_allclose(s, np.linalg.inv(expected), rtol=1e-10, atol=1e-18)
    assert err.errstat == 0


@pytest.mark.parametrize("scflag", [0, 1])
@pytest.mark.parametrize("ntflag", [0, 1, 2])
def test_identity_basis_and_the_way_back(scflag, ntflag):
    sc = C if scflag else voigt_compliance()
    np.testing.assert_allclose(lam.getarbitrarybasesc(sc, np.eye(3), scflag, ntflag), sc,
                               rtol=1e-15, atol=1e-20)
    there = lam.getarbitrarybasesc(sc, BASE, scflag, ntflag)
    back = lam.getarbitrarybasesc(there, BASE.T, scflag, ntflag)
    np.testing.assert_allclose(back, sc, rtol=1e-12, atol=1e-9 * abs(sc).max())


def test_rotation_about_axis_3_is_the_ply_rotation():
    angle = math.radians(35.0)
    base = rotation([0, 0, 1.0], angle)
    m = lam.getnyetransformationmatrix(angle, 6, 0, 0)
    c = lam.getnyestiffnessmatrix(PLY, 6)
    np.testing.assert_allclose(lam.getarbitrarybasesc(c, base, 1, 0), m @ c @ m.T, rtol=1e-13, atol=1e-9)


def test_compliance_with_a_singular_basis_is_reported():
    lam.getarbitrarybasesc(voigt_compliance(), np.diag([1.0, 1.0, 0.0]), 0, 1)
    assert (err.errstat, message()) == (-2, "Matrix inverse becomes numerically singular!")
