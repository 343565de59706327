"""Geometry and tensor transforms of _vorlen.math against scipy rotations, numpy and closed forms."""
import math

import numpy as np
import pytest
from scipy.spatial.transform import Rotation

import _vorlen

m = _vorlen.math
eh = _vorlen.errorhandling  # the first-error register; clean_store clears it


CALL_FORMS = [
    ("getrotationmatrix", "trot = getrotationmatrix(n,alpha_r)"),
    ("gettransformationmatrix", "tbase = gettransformationmatrix(nx,ny,nz)"),
    ("gethouseholdertransformationmatrix", "thouse = gethouseholdertransformationmatrix(v,[n])"),
    ("tensortransformation2nd", "tensout = tensortransformation2nd(tensin,tbase)"),
    ("tensorrotation2nd", "output_2nd = tensorrotation2nd(input_2nd,angle_r,[n0])"),
    ("tensorrotation4th", "output_4th = tensorrotation4th(input_4th,angle_r,[n0])"),
    ("tensormultiplication", "out_2nd = tensormultiplication(t_4th,t_2nd)"),
    ("geteulerrotation", "eul = geteulerrotation(r)"),
    ("coordinaterotation", "prot = coordinaterotation(a,p,alpha_d)"),
    ("coordinatetranslation", "ptrans = coordinatetranslation(a,p)"),
    ("coordinatereflection", "pref = coordinatereflection(na,nb,p)"),
    ("coordinateprojection", "ppro = coordinateprojection(u,v,p,[r0])"),
    ("coordinatenormalization", "pnorm = coordinatenormalization(p,interval,[np,ndim])"),
    ("polartransformation", "polar = polartransformation(cartesian,[n,phi0])"),
    ("effectivearclength", "effectivearclength = effectivearclength(oa,ob,curvature,[n])"),
    ("gettrianglearea", "gettrianglearea = gettrianglearea(x1,y1,x2,y2,x3,y3)"),
    ("shoelacemethod", "shoelacemethod = shoelacemethod(x,y,[n])"),
    ("getcentroid", "c = getcentroid(x,y,[n])"),
    ("getradiusofellipse", "r = getradiusofellipse(a,b,phi_d)"),
    ("getboundingboxfromellipse", "xybound = getboundingboxfromellipse(a,b,phi_d)"),
]


@pytest.mark.parametrize("name,form", CALL_FORMS)
def test_call_form(name, form):
    assert getattr(m, name).__doc__.splitlines()[0] == form


AXES_ANGLES = [
    ((0.0, 0.0, 1.0), math.pi / 2),
    ((1.0, 0.0, 0.0), 0.3),
    ((0.0, 1.0, 0.0), -1.2),
    (tuple(np.array([1.0, -2.0, 2.0]) / 3.0), 2.5),
    (tuple(np.array([0.3, 0.4, 0.866]) / np.linalg.norm([0.3, 0.4, 0.866])), -3.0),
]


@pytest.mark.parametrize("axis,angle", AXES_ANGLES)
def test_rotation_matrix_matches_scipy(axis, angle):
    expected = Rotation.from_rotvec(np.array(axis) * angle).as_matrix()
    np.testing.assert_allclose(m.getrotationmatrix(axis, angle), expected, atol=1e-15)


def test_rotation_matrix_quarter_turn_about_z():
    trot = m.getrotationmatrix([0.0, 0.0, 1.0], math.pi / 2)
    np.testing.assert_allclose(trot @ [1.0, 0.0, 0.0], [0.0, 1.0, 0.0], atol=1e-15)
    assert trot[0, 1] == -1.0


def test_rotation_matrix_takes_the_axis_unnormalised():
    n, a = np.array([0.0, 0.0, 2.0]), 0.7
    cross = np.array([[0, -n[2], n[1]], [n[2], 0, -n[0]], [-n[1], n[0], 0]])
    expected = math.cos(a) * np.eye(3) + (1 - math.cos(a)) * np.outer(n, n) + math.sin(a) * cross
    np.testing.assert_allclose(m.getrotationmatrix(n, a), expected, atol=1e-15)


def test_transformation_matrix_rows_and_base_change():
    rot = Rotation.from_euler("zyx", [20.0, -35.0, 50.0], degrees=True).as_matrix()
    nx, ny, nz = rot[:, 0], rot[:, 1], rot[:, 2]
    tbase = m.gettransformationmatrix(nx, ny, nz)
    np.testing.assert_array_equal(tbase, np.vstack([nx, ny, nz]))
    s = np.array([[1.0, 0.2, -0.3], [0.2, 2.0, 0.5], [-0.3, 0.5, -1.0]])
    np.testing.assert_allclose(m.tensortransformation2nd(s, tbase), tbase @ s @ tbase.T, atol=1e-14)


@pytest.mark.parametrize("v", [[0.6, 0.8], [1.0, 2.0, -0.5], [0.5]])
def test_householder(v):
    v = np.array(v)
    np.testing.assert_allclose(m.gethouseholdertransformationmatrix(v),
                               np.eye(len(v)) - 2.0 * np.outer(v, v), atol=1e-15)


SYM = np.array([[3.0, 0.4, -1.1], [0.4, -2.0, 0.7], [-1.1, 0.7, 5.0]])


@pytest.mark.parametrize("axis,angle", AXES_ANGLES)
def test_second_order_rotation_is_rt_s_r(axis, angle):
    r = Rotation.from_rotvec(np.array(axis) * angle).as_matrix()
    np.testing.assert_allclose(m.tensorrotation2nd(SYM, angle, axis), r.T @ SYM @ r, atol=1e-14)


def test_second_order_rotation_examples():
    out = m.tensorrotation2nd(np.diag([1.0, 2.0, 3.0]), math.pi / 2, [0.0, 0.0, 1.0])
    np.testing.assert_allclose(out, np.diag([2.0, 1.0, 3.0]), atol=1e-15)
    # without an axis the rotation is about the first axis
    out = m.tensorrotation2nd(np.diag([1.0, 2.0, 3.0]), math.pi / 2)
    np.testing.assert_allclose(out, np.diag([1.0, 3.0, 2.0]), atol=1e-15)


def random_tensor4(seed):
    return np.random.default_rng(seed).uniform(-1e3, 1e3, (3, 3, 3, 3))


@pytest.mark.parametrize("axis,angle", AXES_ANGLES)
def test_fourth_order_rotation_matches_einsum(axis, angle):
    c = random_tensor4(1)
    r = Rotation.from_rotvec(np.array(axis) * angle).as_matrix()
    expected = np.einsum("mi,nj,ok,pl,mnop->ijkl", r, r, r, r, c)
    np.testing.assert_allclose(m.tensorrotation4th(c, angle, axis), expected, rtol=0, atol=1e-10)


def test_fourth_order_rotation_default_axis_is_first_axis():
    c = random_tensor4(2)
    np.testing.assert_array_equal(m.tensorrotation4th(c, 0.9),
                                  m.tensorrotation4th(c, 0.9, [1.0, 0.0, 0.0]))


def test_fourth_order_rotation_keeps_its_summation_order_to_the_last_bit():
    # Each entry is the sum of R(m,i) R(n,j) R(o,k) R(p,l) c(m,n,o,p), products from the left,
    # with m outermost and p innermost. The entries of c span many magnitudes so that any other
    # order or grouping changes the rounding.
    rng = np.random.default_rng(3)
    c = rng.uniform(-1.0, 1.0, (3, 3, 3, 3)) * 10.0 ** rng.integers(-8, 9, (3, 3, 3, 3))
    axis, angle = [0.48, -0.6, 0.64], 0.77
    r = m.getrotationmatrix(axis, angle)
    out = m.tensorrotation4th(c, angle, axis)
    rl, cl = r.tolist(), c.tolist()
    for i, j, k, l in np.ndindex(3, 3, 3, 3):
        s = 0.0
        for mm in range(3):
            for nn in range(3):
                for oo in range(3):
                    for pp in range(3):
                        s += rl[mm][i] * rl[nn][j] * rl[oo][k] * rl[pp][l] * cl[mm][nn][oo][pp]
        assert out[i, j, k, l] == s, (i, j, k, l, out[i, j, k, l], s)
    # the fixture tells orders apart: rotating one index after the other rounds differently
    by_index = c
    for axis in range(4):
        by_index = np.moveaxis(np.tensordot(r, by_index, axes=([0], [axis])), 0, axis)
    assert np.any(by_index != out)


def test_tensor_multiplication_is_double_contraction():
    c, e = random_tensor4(4), np.arange(9.0).reshape(3, 3) - 4.0
    np.testing.assert_allclose(m.tensormultiplication(c, e), np.einsum("ijkl,kl->ij", c, e),
                               rtol=1e-14)


@pytest.mark.parametrize("angles", [(0, 0, 0), (10, 20, 30), (-150, 45, 100), (170, -80, -5),
                                    (30, 89.9, 60)])
def test_euler_angles_recover_scipy_extrinsic_xyz(angles):
    r = Rotation.from_euler("xyz", angles, degrees=True).as_matrix()  # Rz Ry Rx
    np.testing.assert_allclose(m.geteulerrotation(r), angles, atol=1e-9)


def gimbal_matrix(phi_deg, r31):
    # Ry(-90) Rx(phi): r(3,1) = 1, r(1,2) = -sin phi, r(1,3) = -cos phi
    s, c = math.sin(math.radians(phi_deg)), math.cos(math.radians(phi_deg))
    return np.array([[0.0, -s, -c], [0.0, c, -s], [r31, 0.0, 0.0]])


def test_euler_angles_at_the_poles():
    np.testing.assert_allclose(m.geteulerrotation(gimbal_matrix(30.0, 1.0)), [30.0, -90.0, 0.0],
                               atol=1e-12)
    r = -gimbal_matrix(30.0, 1.0)  # r(3,1) = -1 exactly
    expected = [math.degrees(math.atan2(r[0, 1], r[0, 2])), 90.0, 0.0]
    np.testing.assert_allclose(m.geteulerrotation(r), expected, atol=1e-12)


@pytest.mark.parametrize("r31", [np.nextafter(1.0, 2.0), np.nextafter(-1.0, -2.0)])
def test_euler_angles_of_a_rounded_pole_are_finite(r31):
    eul = m.geteulerrotation(gimbal_matrix(30.0, r31))
    assert np.all(np.isfinite(eul)), eul
    assert eul[1] == pytest.approx(-90.0 if r31 > 0 else 90.0)


def test_coordinate_rotation_matches_scipy():
    a, p = np.array([1.0, 1.0, 0.0]) / math.sqrt(2.0), np.array([0.3, -2.0, 1.5])
    expected = Rotation.from_rotvec(a * math.radians(75.0)).apply(p)
    np.testing.assert_allclose(m.coordinaterotation(a, p, 75.0), expected, atol=1e-14)


def test_translation_and_reflection():
    np.testing.assert_array_equal(m.coordinatetranslation([1.0, 1.0, 1.0], [1.0, 2.0, 3.0]),
                                  [2.0, 3.0, 4.0])
    np.testing.assert_allclose(m.coordinatereflection([1, 0, 0], [0, 1, 0], [1.0, 2.0, 3.0]),
                               [1.0, 2.0, -3.0], atol=1e-15)
    rot = Rotation.from_euler("xyz", [10.0, 50.0, -30.0], degrees=True).as_matrix()
    na, nb, normal = rot[:, 0], rot[:, 1], rot[:, 2]
    p = np.array([0.4, -1.0, 2.2])
    np.testing.assert_allclose(m.coordinatereflection(na, nb, p), p - 2 * (p @ normal) * normal,
                               atol=1e-14)


@pytest.mark.parametrize("r0,expected", [(None, [1.0, 2.0, 0.0]), ([0.0, 0.0, 1.0], [1.0, 2.0, 1.0]),
                                         ([5.0, -3.0, -2.0], [1.0, 2.0, -2.0])])
def test_coordinate_projection(r0, expected):
    ppro = m.coordinateprojection([1.0, 0.0, 0.0], [0.0, 1.0, 0.0], [1.0, 2.0, 3.0], r0)
    np.testing.assert_allclose(ppro, expected, atol=1e-15)


def test_coordinate_projection_onto_a_skew_plane():
    u, v, p, r0 = np.array([1.0, 2.0, 0.0]), np.array([0.0, 1.0, 3.0]), np.array([2.0, -1, 4]), np.ones(3)
    n = np.cross(u, v) / np.linalg.norm(np.cross(u, v))
    np.testing.assert_allclose(m.coordinateprojection(u, v, p, r0), p - ((p - r0) @ n) * n,
                               atol=1e-14)


def test_coordinate_normalization_shares_one_scale():
    pnorm = m.coordinatenormalization([[0.0, 0.0], [2.0, 1.0]], [0.0, 1.0])
    np.testing.assert_allclose(pnorm, [[0.0, 0.0], [1.0, 0.5]])
    pnorm = m.coordinatenormalization([[1.0, 10.0], [3.0, 6.0], [5.0, 2.0]], [-1.0, 1.0])
    np.testing.assert_allclose(pnorm, (np.array([[1.0, 10], [3, 6], [5, 2]]) - 1) / 9 * 2 - 1)


@pytest.mark.parametrize("cart,phi0,expected", [
    ([0.0, 0.0, 5.0], 1.0, [0.0, 1.0, 5.0]),
    ([0.0, 1.0, 5.0], None, [1.0, math.pi / 2, 5.0]),
    ([0.0, 0.0], None, [0.0, 0.0]),
    ([-3.0, -4.0, 1.0, 7.0], 2.0, [5.0, math.atan2(-4.0, -3.0), 1.0, 7.0]),
])
def test_polar_transformation(cart, phi0, expected):
    np.testing.assert_allclose(m.polartransformation(cart, phi0=phi0), expected, atol=1e-15)


def test_polar_transformation_of_a_single_coordinate_is_refused(clean_store):
    np.testing.assert_array_equal(m.polartransformation([5.0]), [0.0])
    assert eh.errstat == -3


@pytest.mark.parametrize("oa,ob,curvature,expected", [
    ([0.0, 0.0, 0.0], [3.0, 4.0, 0.0], 0.0, 5.0),
    ([-1.0, 0.0], [1.0, 0.0], 1.0, math.pi),
    ([-1.0, 0.0], [1.0, 0.0], -1.0, math.pi),
    ([0.0, 0.0], [1.0, 0.0], 0.5, 4.0 * math.asin(0.25)),  # radius 2, chord 1
])
def test_effective_arc_length(oa, ob, curvature, expected):
    assert m.effectivearclength(oa, ob, curvature) == pytest.approx(expected, rel=1e-15)


def test_triangle_area_is_signed():
    assert m.gettrianglearea(0.0, 0.0, 1.0, 0.0, 0.0, 1.0) == 0.5
    assert m.gettrianglearea(0.0, 0.0, 0.0, 1.0, 1.0, 0.0) == -0.5


SQUARE_X, SQUARE_Y = [0.0, 1.0, 1.0, 0.0], [0.0, 0.0, 1.0, 1.0]
# L shape: 2 by 2 square without its upper right unit square; area 3, centroid (5/6, 5/6)
L_X, L_Y = [0.0, 2.0, 2.0, 1.0, 1.0, 0.0], [0.0, 0.0, 1.0, 1.0, 2.0, 2.0]


@pytest.mark.parametrize("x,y,area", [
    (SQUARE_X, SQUARE_Y, 1.0), (SQUARE_X[::-1], SQUARE_Y[::-1], 1.0), (L_X, L_Y, 3.0),
    ([0.0, 1.0], [0.0, 1.0], 0.0), ([], [], 0.0),
])
def test_shoelace_area(x, y, area):
    assert m.shoelacemethod(x, y) == area


@pytest.mark.parametrize("x,y,expected", [
    (SQUARE_X, SQUARE_Y, [0.5, 0.5]),
    (SQUARE_X[::-1], SQUARE_Y[::-1], [0.5, 0.5]),
    (SQUARE_X + [0.0], SQUARE_Y + [0.0], [0.5, 0.5]),
    (L_X, L_Y, [5.0 / 6.0, 5.0 / 6.0]),
    (L_X[::-1] + [L_X[-1]], L_Y[::-1] + [L_Y[-1]], [5.0 / 6.0, 5.0 / 6.0]),
    ([0.0, 1.0, 2.0], [0.0, 1.0, 2.0], [0.0, 0.0]),  # collinear: no area
    ([], [], [0.0, 0.0]),
])
def test_centroid(x, y, expected):
    np.testing.assert_allclose(m.getcentroid(x, y), expected, atol=1e-15)


@pytest.mark.parametrize("a,b,phi", [(2.0, 1.0, 0.0), (2.0, 1.0, 90.0), (3.0, 0.5, 33.0),
                                     (1.0, 4.0, -120.0)])
def test_ellipse_radius_lies_on_the_ellipse(a, b, phi):
    r = m.getradiusofellipse(a, b, phi)
    t = math.radians(phi)
    assert (r * math.cos(t) / a) ** 2 + (r * math.sin(t) / b) ** 2 == pytest.approx(1.0, rel=1e-14)


def test_ellipse_radius_on_the_axes():
    assert m.getradiusofellipse(2.0, 1.0, 0.0) == 2.0
    assert m.getradiusofellipse(2.0, 1.0, 90.0) == pytest.approx(1.0, rel=1e-15)


@pytest.mark.parametrize("a,b,phi", [(2.0, 1.0, 0.0), (2.0, 1.0, 90.0), (3.0, 0.5, 30.0),
                                     (1.0, 4.0, -70.0)])
def test_bounding_box_of_rotated_ellipse(a, b, phi):
    t = np.linspace(0.0, 2.0 * np.pi, 200001)
    rot = Rotation.from_euler("z", phi, degrees=True).as_matrix()[:2, :2]
    pts = rot @ np.vstack([a * np.cos(t), b * np.sin(t)])
    np.testing.assert_allclose(m.getboundingboxfromellipse(a, b, phi), np.abs(pts).max(axis=1),
                               rtol=1e-9)
