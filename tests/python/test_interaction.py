"""Impactor contact laws and the nearest-element record, against Hertz contact by hand."""
import math

import numpy as np
import pytest
import scipy.optimize as so

import _vorlen
from conftest import errstat, errtext

ia = _vorlen.interaction
HUGE = 1.7976931348623157e308

pytestmark = pytest.mark.usefixtures("clean_register")

CALL_FORMS = [
    ("contactlaw", "fx,dfx = contactlaw(xold,args,clflag,[numargs])"),
    ("contactstiffness", "k,eeff = contactstiffness(args,csflag,[numargs])"),
    ("contactradius", "radius = contactradius(args,cdflag,[numargs])"),
    ("contactdepth", "indentation = contactdepth(args,cdflag,[numargs])"),
    ("gethugonoitelasticlimit", "gethugonoitelasticlimit = gethugonoitelasticlimit(yc,nu)"),
    ("contactarea", "dprops = contactarea(dprops,coord,noel,[nimp,elemlength,overwrite_dprops])"),
]


@pytest.mark.parametrize("name,form", CALL_FORMS)
def test_call_form(name, form):
    assert getattr(ia, name).__doc__.splitlines()[0] == form


# Steel sphere of radius 8 on a plate, both nu = 0.3: Hertz by hand.
F, R, E1, E2, NU = 1000.0, 8.0, 210000.0, 10000.0, 0.3
ESTAR = 1 / ((1 - NU**2) / E1 + (1 - NU**2) / E2)
K = 4 / 3 * ESTAR * math.sqrt(R)
DELTA = 0.0861339  # (F/K)^(2/3)


def stiffness_args(r1=R, length=0.0, curvature=0.0, p=0.0, q=(0.0, 0.0, 0.0), load=None):
    a = [r1, length, E1, NU, curvature, 0.0, E2, NU, p, *q]
    return a if load is None else a + [load]


def test_hertz_sphere_example():
    k, eeff = ia.contactstiffness(stiffness_args(), 0)
    assert eeff == pytest.approx(ESTAR, rel=1e-14)
    assert k == pytest.approx(K, rel=1e-14)
    assert ia.contactdepth([F, R, ESTAR], 0) == pytest.approx(DELTA, rel=1e-6)
    assert (F / k) ** (2 / 3) == pytest.approx(DELTA, rel=1e-6)
    # every sphere flag gives the radius sqrt(R delta)
    for flag in range(5):
        assert ia.contactradius([F, ESTAR, R, 0.0], flag) == pytest.approx(
            math.sqrt(R * DELTA), rel=1e-6)


@pytest.mark.parametrize("flag,args,k,eeff", [
    # curvature of the target adds to 1/R1
    (0, stiffness_args(curvature=0.125), 4 / 3 * ESTAR * math.sqrt(4.0), ESTAR),
    # target by its transverse modulus alone
    (1, stiffness_args(), 4 / 3 * math.sqrt(R) / ((1 - NU**2) / E1 + 1 / E2),
     1 / ((1 - NU**2) / E1 + 1 / E2)),
    # unloading power law: q1/(q2 - q3)^p
    (2, stiffness_args(p=2.5, q=(1000.0, 0.1, 0.02)), 1000.0 / 0.08**2.5, 0.0),
    (3, stiffness_args(p=1.5, q=(2.0, 3.0, 0.5)), 2.0**1.0 * 3.0**-0.5 / 0.5**2.5,
     1 / ((1 - NU**2) / E1 + 1 / E2)),
    # cylinder of length 20 under a load of 500
    (6, stiffness_args(length=20.0, load=500.0),
     math.pi * 20 * ESTAR / (math.log(20 / math.sqrt(4 * 500 * R / (math.pi * ESTAR))) + 1.886),
     ESTAR),
    # a load of 0 counts as the double epsilon
    (6, stiffness_args(length=20.0, load=0.0),
     math.pi * 20 * ESTAR / (math.log(20 / math.sqrt(4 * 2.220446049250313e-16 * R
                                                     / (math.pi * ESTAR))) + 1.886),
     ESTAR),
])
def test_contact_stiffness_laws(flag, args, k, eeff):
    got = ia.contactstiffness(args, flag)
    assert got == pytest.approx((k, eeff), rel=1e-13)
    assert errstat() == 0


@pytest.mark.parametrize("flag,args,code,message", [
    (4, stiffness_args(), -3, "Goldsmith is not implemented so far."),
    (5, stiffness_args(), -3, "Goldsmith + Sun et. al is not implemented so far"),
    (7, stiffness_args(), -2, "Unknown contact stiffness flag"),
    (-1, stiffness_args(), -2, "Unknown contact stiffness flag"),
    (0, stiffness_args()[:11], -2,
     "Error in ContactStiffness: Fewer arguments than the contact law reads."),
    (6, stiffness_args(), -2,  # the cylinder law reads the load, entry 13
     "Error in ContactStiffness: Fewer arguments than the contact law reads."),
])
def test_contact_stiffness_failures_give_zeros(flag, args, code, message):
    assert ia.contactstiffness(args, flag) == (0.0, 0.0)
    assert (errstat(), errtext()) == (code, message)


def test_contact_radius_and_depth():
    length = 20.0
    cyl = math.sqrt(4 * F * R / (math.pi * length * ESTAR))
    assert ia.contactradius([F, ESTAR, R, length], 5) == pytest.approx(cyl, rel=1e-14)
    assert ia.contactradius([F, ESTAR, R, length], 6) == pytest.approx(cyl, rel=1e-14)
    assert ia.contactdepth([F, R, ESTAR], 1) == pytest.approx(F / (2 * R * ESTAR), rel=1e-14)
    assert ia.contactdepth([F, R, ESTAR, 3.0], 2) == pytest.approx(1.5 * math.pi, rel=1e-15)
    assert errstat() == 0


@pytest.mark.parametrize("routine,args,flag", [
    (ia.contactradius, [0.0, ESTAR, R, 0.0], 0), (ia.contactradius, [-F, ESTAR, R, 1.0], 0),
    (ia.contactradius, [-F, ESTAR, R, 1.0], 5), (ia.contactradius, [0.0, ESTAR, R, 0.0], 6),
    (ia.contactdepth, [-F, R, ESTAR], 0), (ia.contactdepth, [-F, R, ESTAR], 1),
    (ia.contactdepth, [0.0, 0.0, 0.0], 1),
])
def test_no_contact_gives_zero_radius_and_depth(routine, args, flag):
    assert routine(args, flag) == 0.0
    assert errstat() == 0


@pytest.mark.parametrize("routine,args,flag,message", [
    (ia.contactradius, [F, ESTAR, R, 1.0], 7, "Unknown contact radius flag"),
    (ia.contactradius, [F, ESTAR, R, 1.0], -1, "Unknown contact radius flag"),
    (ia.contactradius, [F, ESTAR], 0,
     "Error in ContactRadius: Fewer arguments than the contact law reads."),
    (ia.contactradius, [F, ESTAR, R], 5,
     "Error in ContactRadius: Fewer arguments than the contact law reads."),
    (ia.contactdepth, [F, R, ESTAR, 1.0], 3, "Unknown contact depth flag"),
    (ia.contactdepth, [F, R, ESTAR], 2,
     "Error in ContactDepth: Fewer arguments than the contact law reads."),
    (ia.contactdepth, [F, R], 0,
     "Error in ContactDepth: Fewer arguments than the contact law reads."),
])
def test_radius_and_depth_failures_give_the_largest_double(routine, args, flag, message):
    assert routine(args, flag) == HUGE
    assert (errstat(), errtext()) == (-2, message)


def test_hugoniot_elastic_limit_squares_its_denominator():
    assert ia.gethugonoitelasticlimit(100.0, 0.3) == pytest.approx(0.7 * 100 / 0.4**2, rel=1e-15)


# Contact law: impactor at displacement u, compliance C, Hertz exponent; the force 1000 solves
# F = K (u - C F)^1.5 when u = DELTA + C 1000 (DELTA rounded, so to 1e-5 relative).
C = 1e-5
U = DELTA + C * F


def law_args(k=K, u=U, c1=C, target=0.0, c2=0.0, n=1.5, offset=0.0, table=()):
    return np.array([k, u, c1, target, c2, n, offset, *table])


@pytest.mark.parametrize("force", [0.0, 500.0, 1000.0, 3000.0])
def test_contact_law_residual_and_slope(force):
    fx, dfx = ia.contactlaw(force, law_args(c1=0.4 * C, c2=0.6 * C, target=0.01, offset=0.002,
                                            u=U + 0.012), 0)
    alpha = U - C * force
    assert fx == pytest.approx(K * alpha**1.5 - force, rel=1e-12, abs=1e-9)
    assert dfx == pytest.approx(-K * 1.5 * C * alpha**0.5 - 1, rel=1e-12)
    h = 1e-3
    numeric = (ia.contactlaw(force + h, law_args(), 0)[0]
               - ia.contactlaw(force - h, law_args(), 0)[0]) / (2 * h)
    assert ia.contactlaw(force, law_args(), 0)[1] == pytest.approx(numeric, rel=1e-6)


@pytest.mark.parametrize("finder", ["bdsafe", "nrsafe"])
def test_contact_law_capsule_solves_with_the_root_finders(finder):
    law = ia.contactlaw._cpointer
    # the upper end lies beyond the separation at F = U/C: there is no contact force there
    for upper in (5000.0, 20000.0):
        root, istat = getattr(_vorlen.math, finder)(law, 0.0, upper, law_args(), 1e-9, 100, 0)
        assert istat == 0 and errstat() == 0
        assert root == pytest.approx(F, rel=1e-5)
        expected = so.brentq(lambda f: K * max(U - C * f, 0.0) ** 1.5 - f, 0.0, upper,
                             xtol=1e-12)
        assert root == pytest.approx(expected, abs=1e-6)


@pytest.mark.parametrize("n", [1.5, 1.0, 2.0])
def test_separated_bodies_carry_no_contact_force(n):
    # indentation u - C F below 0 whatever the exponent
    fx, dfx = ia.contactlaw(200.0, law_args(u=1e-3, n=n), 0)
    assert (fx, dfx) == (-200.0, -1.0)
    # separated before any force: the root finder finds no force
    root, _ = _vorlen.math.bdsafe(ia.contactlaw._cpointer, 0.0, 10.0, law_args(u=-1e-3, n=n),
                                  1e-9, 100, 0)
    assert root == 0.0 and errstat() == 0


def test_contact_law_value_that_is_not_a_number():
    assert ia.contactlaw(100.0, law_args(k=math.nan), 0) == (0.0, -1.0)
    assert errstat() == 0


def test_contact_law_stiffness_table():
    forces, stiff = [0.0, 1000.0, 2000.0, 3000.0], [10.0, 20.0, 30.0, 40.0]
    args = law_args(k=99.0, n=1.0, table=forces + stiff)
    # linear data: the monotone cubic reproduces them, k(F) = 10 + F/100
    for force in (0.0, 500.0, 2500.0):
        fx, _ = ia.contactlaw(force, args, 1)
        assert fx == pytest.approx((10 + force / 100) * (U - C * force) - force, rel=1e-12)
    # clflag 0 and 2 ignore the table
    for flag in (0, 2):
        assert ia.contactlaw(500.0, args, flag)[0] == pytest.approx(
            99.0 * (U - C * 500) - 500.0, rel=1e-12)
    # a stiffness of 0 or below at F keeps args(1)
    args = law_args(k=99.0, n=1.0, table=forces + [0.0, 0.0, -1.0, -2.0])
    for force in (500.0, 2500.0):
        assert ia.contactlaw(force, args, 1)[0] == pytest.approx(
            99.0 * (U - C * force) - force, rel=1e-12)
    assert errstat() == 0


def test_contact_law_table_of_one_row_keeps_args1():
    fx, _ = ia.contactlaw(500.0, law_args(k=99.0, n=1.0, table=[0.0, 50.0]), 1)
    assert fx == pytest.approx(99.0 * (U - C * 500) - 500.0, rel=1e-12)
    assert (errstat(), errtext()) == (-2, "Error in ContactLaw: Stiffness table of fewer than two rows.")


@pytest.mark.parametrize("flag,args,code,message", [
    (3, law_args(), -2, "Unknown contact law flag"),
    (-1, law_args(), -2, "Unknown contact law flag"),
    (0, law_args()[:6], -2, "Error in ContactLaw: Fewer than seven arguments."),
])
def test_contact_law_failures(flag, args, code, message):
    assert ia.contactlaw(100.0, args, flag) == (0.0, -1.0)
    assert (errstat(), errtext()) == (code, message)


def records(*points):
    """Load records of impactors at the given points, nothing recorded yet."""
    d = np.zeros((12, len(points)), order="F")
    d[1:4] = np.array(points).T
    return d


def test_contact_area_keeps_the_nearest_element():
    d = records((0.0, 0.0, 0.0), (10.0, 0.0, 0.0))
    d = ia.contactarea(d, [3.0, 4.0, 0.0], 11, elemlength=[2.0, 4.0, 9.0])
    np.testing.assert_array_equal(d[4:11, 0], [11, 5.0, 0, 1.0, 2.0, 1.0, 2.0])
    np.testing.assert_array_equal(d[4:6, 1], [11, math.sqrt(65)])
    d = ia.contactarea(d, [1.0, 0.0, 0.0], 12, elemlength=[6.0, 0.0, 0.0])  # nearer to one
    np.testing.assert_array_equal(d[4:11, 0], [12, 1.0, 0, 3.0, 3.0, 3.0, 3.0])
    np.testing.assert_array_equal(d[4:11, 1], [11, math.sqrt(65), 0, 1.0, 2.0, 1.0, 2.0])
    d = ia.contactarea(d, [9.0, 0.0, 0.0], 13, elemlength=[8.0, 8.0, 0.0])  # nearer to the other
    np.testing.assert_array_equal(d[4:11, 0], [12, 1.0, 0, 3.0, 3.0, 3.0, 3.0])
    np.testing.assert_array_equal(d[4:11, 1], [13, 1.0, 0, 4.0, 4.0, 4.0, 4.0])
    d = ia.contactarea(d, [-1.0, 0.0, 0.0], 14, elemlength=[2.0, 2.0, 0.0])  # a tie
    np.testing.assert_array_equal(d[4:11, 0], [12, 1.0, 0, 3.0, 3.0, 3.0, 3.0])


def test_contact_area_half_lengths_only_with_both_lengths():
    for lengths in ([-1.0, -1.0, -1.0], [-1.0, 5.0, 0.0], [5.0, -1.0, 0.0], None):
        d = records((0.0, 0.0, 0.0))
        d[7:11] = 7.0
        d = (ia.contactarea(d, [0.0, 0.0, 2.0], 3) if lengths is None
             else ia.contactarea(d, [0.0, 0.0, 2.0], 3, elemlength=lengths))
        np.testing.assert_array_equal(d[4:11, 0], [3, 2.0, 0, 7.0, 7.0, 7.0, 7.0])


def test_contact_area_keeps_a_point_at_distance_zero():
    d = records((1.0, 2.0, 3.0))
    d = ia.contactarea(d, [1.0, 2.0, 3.0], 5, elemlength=[2.0, 2.0, 0.0])
    d = ia.contactarea(d, [1.0, 2.0, 4.0], 6, elemlength=[4.0, 4.0, 0.0])
    np.testing.assert_array_equal(d[4:11, 0], [5, 0.0, 0, 1.0, 1.0, 1.0, 1.0])


def test_contact_area_in_place_and_without_impactors():
    d = records((0.0, 0.0, 0.0))
    out = ia.contactarea(d, [0.0, 3.0, 4.0], 2, overwrite_dprops=1)
    assert out is d and d[5, 0] == 5.0
    assert ia.contactarea(np.zeros((12, 0), order="F"), [0.0, 0.0, 0.0], 1).shape == (12, 0)
