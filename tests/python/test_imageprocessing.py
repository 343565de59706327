"""Planar shape tests of _vorlen.imageprocessing against hand values and, for points mapped
onto planes, the local axes turned with scipy's rotations."""
import math

import numpy as np
import pytest
from scipy.spatial.transform import Rotation

import _vorlen
from conftest import errstat

ip = _vorlen.imageprocessing

CALL_FORMS = [
    ("getpointonxyplane", "xycoord = getpointonxyplane(point,origin,xyplane,theta)"),
    ("ellipse", "ellipse = ellipse(x,y,a,b,[xyorigin])"),
    ("rectangle", "rectangle = rectangle(x,y,a,b,[xyorigin])"),
    ("polygon", "polygon = polygon(px,py,xx,yy,[n])"),
    ("line", "line = line(x,y,a,b,[proximity])"),
    ("projectedpointinshape",
     "projectedpointinshape = projectedpointinshape(point,a,b,theta,refcoords,refcos,shapeid)"),
    ("projectedpointinpolygon", "projectedpointinpolygon = projectedpointinpolygon(point,xypairs,"
                                "theta,refcoords,refcos,[npoints])"),
]


@pytest.mark.parametrize("name,form", CALL_FORMS)
def test_call_form(name, form):
    assert getattr(ip, name).__doc__.splitlines()[0] == form


@pytest.fixture(autouse=True)
def nothing_reported(clean_register):
    yield
    assert errstat() == 0


# ---------------------------------------------------------------- measures

@pytest.mark.parametrize("args,expected", [
    ((1.0, 0.0, 2.0, 1.0), 0.25),
    ((3.0, 1.0, 2.0, 1.0, (1.0, 1.0)), 1.0),   # on the ellipse
    ((0.0, -3.0, 2.0, 1.0, (0.0, -1.0)), 4.0),
])
def test_ellipse(args, expected):
    assert ip.ellipse(*args) == expected


@pytest.mark.parametrize("args,expected", [
    ((-1.5, 0.5, 2.0, 1.0), 0.75),
    ((0.0, 2.0, 2.0, 1.0), 2.0),
    ((1.0, 1.0, -2.0, -4.0), 0.5),             # half-sides by magnitude
    ((4.0, 1.5, 2.0, 1.0, (3.0, 1.0)), 0.5),
    ((0.0, np.nan, 2.0, 1.0), np.nan),
    ((np.nan, 0.0, 2.0, 1.0), np.nan),
])
def test_rectangle(args, expected):
    np.testing.assert_equal(ip.rectangle(*args), expected)


SQUARE = ([0.0, 1.0, 1.0, 0.0], [0.0, 0.0, 1.0, 1.0])


@pytest.mark.parametrize("point,expected", [
    ((0.5, 0.5), 0.0), ((2.0, 0.5), -1.0), ((-0.5, 0.5), -1.0), ((0.5, 2.0), -1.0),
    ((0.5, -1.0), -1.0),
    # edge points: the intercept test meets the upper and right edges, the >= 0 tests put the
    # lower and left edges outside
    ((0.5, 1.0), 0.0), ((1.0, 0.5), 0.0), ((0.5, 0.0), -1.0), ((0.0, 0.5), -1.0),
])
def test_polygon_of_the_unit_square(point, expected):
    assert ip.polygon(*point, *SQUARE) == expected


def test_polygon_point_on_a_slanted_edge():
    assert ip.polygon(1.0, 1.0, [0.0, 2.0, 0.0], [0.0, 0.0, 2.0]) == 0.0


def test_polygon_without_vertices_is_outside():
    assert ip.polygon(0.0, 0.0, np.zeros(0), np.zeros(0)) == -1.0


def test_polygon_of_a_star_against_the_winding_number():
    # a non-convex star: inside where the winding number of the boundary about the point is 1
    k = np.arange(10)
    r = np.where(k % 2 == 0, 2.0, 0.8)
    xx, yy = r * np.cos(k * np.pi / 5 + 0.1), r * np.sin(k * np.pi / 5 + 0.1)
    rng = np.random.default_rng(4)
    for px, py in rng.uniform(-2.2, 2.2, (400, 2)):
        angles = np.arctan2(yy - py, xx - px)
        winding = np.round(np.sum(np.angle(np.exp(1j * (np.roll(angles, -1) - angles))))
                           / (2 * np.pi))
        assert ip.polygon(px, py, xx, yy) == (0.0 if winding else -1.0), (px, py)


@pytest.mark.parametrize("point,expected", [
    ((2.0, 0.0), 0.0),
    ((2.0, 1.0), 2.0),                    # dist 1 plus 1
    ((-1.0, 0.0), 2.0),                   # before a: the distance to a
    ((5.0, 0.0), 2.0),                    # beyond b: the distance to b
    ((4.0 + 1e-6, 0.0), 1e-6 / (4.0 + 1e-6)),      # within the band beyond b: |b - p|/|a - p|
    ((-1e-6, 0.0), 1.0),                           # within the band before a
    ((0.0, 0.0), 0.0),                    # the start point itself lies on the line
])
def test_line(point, expected):
    assert ip.line(*point, [0.0, 0.0], [4.0, 0.0]) == pytest.approx(expected, rel=1e-12)


def test_line_point_on_a_slanted_segment():
    # h² - t² rounds to -4.4e-16 for this point of the segment
    assert ip.line(1.0, 0.125, [0.0, 0.0], [8.0, 1.0]) == 0.0


def test_line_proximity():
    # within the band over the segment: the sine of the angle at a
    assert ip.line(2.0, 0.5, [0.0, 0.0], [4.0, 0.0], proximity=1.0) == pytest.approx(
        0.5 / math.hypot(2.0, 0.5), rel=1e-12)
    assert ip.line(2.0, 0.5, [0.0, 0.0], [4.0, 0.0], proximity=0.5) == pytest.approx(
        0.5 / math.hypot(2.0, 0.5), rel=1e-12)   # the band includes its edge


def test_line_with_coincident_end_points_measures_from_the_point():
    assert ip.line(1.0, 3.0, [1.0, 1.0], [1.0, 1.0]) == 3.0
    assert ip.line(1.0, 1.0, [1.0, 1.0], [1.0, 1.0]) == 0.0


# ---------------------------------------------------------------- points on planes

@pytest.mark.parametrize("theta,expected", [(0.0, [1.0, 2.0]), (90.0, [2.0, -1.0]),
                                            (180.0, [-1.0, -2.0])])
def test_point_on_the_identity_plane(theta, expected):
    np.testing.assert_allclose(ip.getpointonxyplane([1.0, 2.0, 3.0], np.zeros(3), np.eye(3),
                                                    theta), expected, atol=1e-15)


def test_point_on_a_plane_off_the_origin_is_measured_from_it_once():
    np.testing.assert_array_equal(ip.getpointonxyplane([2.0, 5.0, 7.0], [1.0, 2.0, 3.0],
                                                       np.eye(3), 0.0), [1.0, 3.0])


def test_point_on_the_xz_plane_turns_about_its_normal():
    # axes x and z, normal -y: turning the axes by 90 degrees about -y takes x to z
    plane = np.array([[1.0, 0.0, 0.0], [0.0, 0.0, 1.0], [0.0, -1.0, 0.0]]).T
    np.testing.assert_allclose(ip.getpointonxyplane([0.0, 4.0, 1.0], np.zeros(3), plane, 0.0),
                               [0.0, 1.0], atol=1e-15)
    np.testing.assert_allclose(ip.getpointonxyplane([0.0, 4.0, 1.0], np.zeros(3), plane, 90.0),
                               [1.0, 0.0], atol=1e-15)


def local_coordinates(point, origin, frame, theta):
    nx, ny, nz = frame.T
    turn = Rotation.from_rotvec(np.radians(theta) * nz)
    d = np.asarray(point) - origin
    return [turn.apply(nx) @ d, turn.apply(ny) @ d]


def test_point_on_random_planes_against_turned_axes():
    rng = np.random.default_rng(11)
    for _ in range(50):
        frame = Rotation.random(random_state=rng).as_matrix()
        origin, point = rng.uniform(-5, 5, 3), rng.uniform(-5, 5, 3)
        theta = rng.uniform(-360, 360)
        np.testing.assert_allclose(ip.getpointonxyplane(point, origin, frame, theta),
                                   local_coordinates(point, origin, frame, theta), atol=1e-12)


TILTED = Rotation.from_euler("xyz", [30.0, -20.0, 50.0], degrees=True).as_matrix()
CENTRE = np.array([1.0, -2.0, 0.5])


def in_plane(u, v, off=0.7):
    """A point with local coordinates (u, v) at theta 0, lifted off the plane along its normal."""
    return CENTRE + u * TILTED[:, 0] + v * TILTED[:, 1] + off * TILTED[:, 2]


@pytest.mark.parametrize("uv,shapeid,expected", [
    ((2.5, 0.0), 0, 1),     # circle of radius max(a, b) = 3
    ((2.5, 2.5), 0, 0),
    ((2.9, 2.9), 2, 1),     # square of half-side 3
    ((3.1, 0.0), 2, 0),
    ((0.9, 2.9), 3, 1),     # rectangle 1 by 3
    ((1.1, 0.0), 3, 0),
    ((0.9, 2.9), 1, 0),     # ellipse 1 by 3: 0.81 + 0.93 > 1
    ((0.5, 2.5), 7, 1),     # 0.25 + 0.69
    ((1.0, 0.0), 5, 1),     # on the ellipse
])
def test_projected_point_in_shape(uv, shapeid, expected):
    assert ip.projectedpointinshape(in_plane(*uv), 1.0, 3.0, 0.0, CENTRE, TILTED,
                                    shapeid) == expected


def test_projected_point_in_shape_turned():
    # turning the axes by 90 degrees takes the local point (0, 2.9) to (2.9, 0): outside 1 by 3
    assert ip.projectedpointinshape(in_plane(0.0, 2.9), 1.0, 3.0, 0.0, CENTRE, TILTED, 3) == 1
    assert ip.projectedpointinshape(in_plane(0.0, 2.9), 1.0, 3.0, 90.0, CENTRE, TILTED, 3) == 0


@pytest.mark.parametrize("uv,expected", [((0.5, 0.5), 1), ((1.5, 0.5), 0), ((0.5, 1.0), 1),
                                         ((0.5, 0.0), 0)])
def test_projected_point_in_polygon(uv, expected):
    square = np.array(SQUARE).T
    assert ip.projectedpointinpolygon(in_plane(*uv), square, 0.0, CENTRE, TILTED) == expected


def test_projected_point_in_an_empty_polygon_is_outside():
    assert ip.projectedpointinpolygon(in_plane(0.0, 0.0), np.zeros((0, 2)), 0.0, CENTRE,
                                      TILTED) == 0
