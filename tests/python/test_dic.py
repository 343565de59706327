"""Failure factors of compression coupons (module dic): the scaling of measured stress
distributions whose reference point is picked by hand, the knock-down of hand-made buckling
records, and the open-hole factor against an ABD built in numpy and the isotropic closed form."""
import math

import numpy as np
import pytest

import _vorlen
from conftest import errstat, errtext

dic = _vorlen.dic

WARNING = "The extreme value point of weighted stressdistribution curve can not be found"


@pytest.fixture(autouse=True)
def register(clean_register):
    yield clean_register


@pytest.mark.parametrize("name, form", [
    ("getcomprfailurebydic", "fresult,fcomprstressdistribution = getcomprfailurebydic("
     "avgcomprstress,coords,plythickness,alpha,comprstrength,load,displacement,length,width,"
     "[nplies,nstress])"),
    ("getdmginfluencefactor", "getdmginfluencefactor = getdmginfluencefactor(plythickness,"
     "bukrealdatalist,bukintdatalist,[nplies])"),
    ("getcentralopenholefactor", "getcentralopenholefactor = getcentralopenholefactor("
     "plyelastic,plyorientation,plythickness,kt,radius,width,[nplies])"),
])
def test_call_form(name, form):
    assert getattr(dic, name).__doc__.splitlines()[0] == form


def test_docstring_notes_the_distributions_without_a_result():
    notes = dic.getcomprfailurebydic.__doc__.split("Notes\n-----\n")[1]
    assert "code -3" in notes and "zeros" in notes and "one height" in notes


# ---------------------------------------------------------------- failure load from DIC data

PLIES = np.array([0.25, 0.5, 0.25])  # tges = 1
STRENGTH, LOAD, DISPLACEMENT, LENGTH = 600.0, -12000.0, -0.3, 150.0

# Distributions in ascending coordinate order with the reference point worked out by hand
# (1-based position in that order) and whether the walks reach both ends.
DISTRIBUTIONS = {
    # One peak (at x = 0): the smallest weighted stress, 10 (1 + sqrt(2 * 2 / 8)) = 17.1 at
    # x = 2 (the others 20.5, 30, 30, 30).
    "one peak": dict(s=[12.0, 20.0, 30.0, 20.0, 10.0], x=[-2.0, -1.0, 0.0, 1.0, 2.0],
                     width=8.0, alpha=1.0, ref=5, warn=False),
    # Peaks at 1, 4 and 8 (heights 30, 80, 90); m1 = 4, m2 = 8: walks from 4 down to 2 (30 at
    # x = 0 is above 20 w(1) = 23.2) and from 8 up to 10 (35 w(10) = 52.5 is above
    # 25 w(9) = 36.9); the larger valley is point 10.
    "two valleys": dict(s=[30.0, 20.0, 40.0, 80.0, 60.0, 50.0, 70.0, 90.0, 40.0, 25.0, 35.0],
                        x=np.arange(11.0), width=20.0, alpha=0.5, ref=10, warn=False),
    # Peaks at 3 and 5, the weighted curve falls to both ends (11.4 and 22.8): warning, and the
    # upper end has the larger weighted stress.
    "no valley": dict(s=[10.0, 30.0, 80.0, 50.0, 70.0, 40.0, 20.0], x=np.arange(-3.0, 4.0),
                      width=12.0, alpha=0.2, ref=7, warn=True),
    # The two largest stresses are the last two points (m2 = m1 + 1, no peak there): the walks
    # start at the peaks 2 and 4 only, from 4 up to the valley at 6 (35 w(5) = 47.4 below
    # 40 w(4) = 52.6, 50 w(6) = 69.4 above), from 2 down to point 1 (20).
    "neighbouring maxima": dict(
        s=[20.0, 60.0, 30.0, 70.0, 40.0, 35.0, 50.0, 45.0, 25.0, 90.0, 100.0],
        x=np.arange(11.0), width=20.0, alpha=0.5, ref=6, warn=False),
}


def expected_dic(case):
    s, x = np.abs(case["s"]), np.asarray(case["x"], float)
    w = np.abs(s * (1 + case["alpha"] * np.sqrt(2 * np.abs(x / case["width"]))))
    k = case["ref"] - 1
    amp = abs(STRENGTH / w[k])
    f = abs(LOAD) * amp
    fresult = [f, amp * abs(DISPLACEMENT) / LENGTH, f / (PLIES.sum() * case["width"]), abs(x[k])]
    return np.array(fresult), np.column_stack([amp * s, amp * w])


def call_dic(s, x, width, alpha, length=LENGTH, plies=PLIES):
    return dic.getcomprfailurebydic(np.asarray(s, float), np.asarray(x, float), plies, alpha,
                                    STRENGTH, LOAD, DISPLACEMENT, length, width)


ORDERS = {
    "ascending": lambda n: np.arange(n),
    "descending": lambda n: np.arange(n)[::-1],
    "shuffled": lambda n: np.random.default_rng(n).permutation(n),
}


@pytest.mark.parametrize("order", ORDERS)
@pytest.mark.parametrize("name", DISTRIBUTIONS)
def test_distribution_is_scaled_at_the_reference_point(name, order):
    case = DISTRIBUTIONS[name]
    perm = ORDERS[order](len(case["s"]))
    s, x = np.asarray(case["s"])[perm], np.asarray(case["x"], float)[perm]
    # Compressive stresses of either sign give the same result.
    s = np.where(perm % 2 == 0, s, -s)
    fresult, dist = call_dic(s, x, case["width"], case["alpha"])
    fexp, dexp = expected_dic(case)
    np.testing.assert_allclose(fresult, fexp, rtol=1e-13)
    np.testing.assert_allclose(dist, dexp, rtol=1e-13)
    if case["warn"]:
        assert errstat() == -1 and errtext() == WARNING
    else:
        assert errstat() == 0


@pytest.mark.parametrize("s, x, width, length, plies", [
    pytest.param([5.0, 5.0, 5.0, 5.0], [0.0, 1.0, 2.0, 3.0], 8.0, LENGTH, PLIES,
                 id="one magnitude"),
    pytest.param([5.0, -5.0, 5.0], [0.0, 1.0, 2.0], 8.0, LENGTH, PLIES, id="one magnitude, signs"),
    pytest.param([5.0], [1.0], 8.0, LENGTH, PLIES, id="one point"),
    pytest.param([], [], 8.0, LENGTH, PLIES, id="no point"),
    pytest.param([1.0, 2.0, 3.0, 4.0], [0.0, 1.0, 2.0, 3.0], 8.0, LENGTH, PLIES, id="no peak"),
    pytest.param([0.0, 9.0, 0.0, 9.0, 0.0], np.arange(5.0), 8.0, LENGTH, PLIES,
                 id="peaks of one height"),
    pytest.param([0.0, 20.0, 30.0, 20.0, 10.0], np.arange(5.0), 8.0, LENGTH, PLIES,
                 id="weighted stress 0 at the reference"),
    pytest.param([12.0, 20.0, 30.0, 20.0, 10.0], np.arange(5.0), 0.0, LENGTH, PLIES,
                 id="width 0"),
    pytest.param([12.0, 20.0, 30.0, 20.0, 10.0], np.arange(5.0), 8.0, 0.0, PLIES,
                 id="length 0"),
    pytest.param([12.0, 20.0, 30.0, 20.0, 10.0], np.arange(5.0), 8.0, LENGTH, np.zeros(2),
                 id="thickness 0"),
    pytest.param([12.0, 20.0, 30.0, 20.0, 10.0], np.arange(5.0), 8.0, LENGTH, np.zeros(0),
                 id="no plies"),
])
def test_distribution_without_a_result_gives_zeros_and_code_minus_3(s, x, width, length, plies):
    fresult, dist = call_dic(s, x, width, 1.0, length=length, plies=plies)
    assert np.array_equal(fresult, np.zeros(4))
    assert dist.shape == (len(s), 2) and np.array_equal(dist, np.zeros((len(s), 2)))
    assert errstat() == -3


def test_equal_coordinates_keep_their_order():
    # Points 2 and 3 share x = 1; the curves list them in the order given.
    s, x = [12.0, 20.0, 25.0, 30.0, 10.0], [0.0, 1.0, 1.0, 2.0, 3.0]
    _, dist = call_dic(s, x, 8.0, 0.0)
    np.testing.assert_allclose(dist[:, 0] / dist[0, 0], np.array(s) / 12.0, rtol=1e-15)
    _, swapped = call_dic([12.0, 25.0, 20.0, 30.0, 10.0], x, 8.0, 0.0)
    np.testing.assert_allclose(swapped[1:3, 0] / swapped[0, 0], [25 / 12, 20 / 12], rtol=1e-15)


# ----------------------------------------------------------------------------- knock-down

THICK = np.array([0.1, 0.2, 0.3, 0.4])  # tges = 1


def records(*recs, nplies=4):
    """Buckling records (first ply, last ply, ratio); the other rows hold values no one reads."""
    real = np.full((12, nplies - 1), 7.0)
    real[1, :] = 0.0
    ints = np.zeros((4, nplies - 1), dtype=np.int32)
    ints[0, :], ints[3, :] = 9, 1
    for j, (s, e, ratio) in enumerate(recs):
        ints[1:3, j] = s, e
        real[1, j] = ratio
    return real, ints


def knockdown(a):
    return (2 * a) ** a


@pytest.mark.parametrize("recs, c", [
    pytest.param([], 1.0, id="no records"),
    pytest.param([(1, 2, 0.5)], 0.7, id="top two plies"),
    pytest.param([(4, 4, 0.5)], 0.6, id="last ply"),
    pytest.param([(1, 4, 0.5), (3, 3, 0.8)], 0.4, id="later record overwrites"),
    pytest.param([(3, 3, 0.8), (1, 4, 0.5)], 1.0, id="later record covers all"),
    pytest.param([(1, 1, 0.7), (2, 2, 0.7), (3, 3, 0.7)], 0.6, id="equal ratios join"),
    pytest.param([(1, 1, 0.7), (2, 2, 0.7 + 1e-12), (3, 3, 0.7)], 0.4,
                 id="ratios join only when exactly equal"),
    pytest.param([(4, 4, 0.5), (0, 2, 0.3)], 0.6, id="first ply 0"),
    pytest.param([(4, 4, 0.5), (2, 0, 0.3)], 0.6, id="last ply 0"),
    pytest.param([(4, 4, 0.5), (3, 2, 0.3)], 0.6, id="first after last"),
    pytest.param([(4, 4, 0.5), (-1, -1, 0.3)], 0.6, id="record of a section without plies"),
    pytest.param([(4, 4, 0.5), (-1, 2, 0.3)], 0.6, id="first ply negative"),
    pytest.param([(4, 4, 0.5), (3, 5, 0.3)], 0.6, id="last ply past the stack"),
    pytest.param([(4, 4, 0.5), (5, 6, 0.3)], 0.6, id="record past the stack"),
])
def test_knockdown_of_hand_made_records(recs, c):
    real, ints = records(*recs)
    expected = 1.0 if c == 1.0 else knockdown(1.0 - c)
    assert dic.getdmginfluencefactor(THICK, real, ints) == pytest.approx(expected, rel=1e-14)
    assert errstat() == 0


def test_single_ply_has_no_records_and_factor_1():
    real, ints = np.zeros((12, 0)), np.zeros((4, 0), dtype=np.int32)
    assert dic.getdmginfluencefactor(np.array([0.2]), real, ints) == 1.0
    assert errstat() == 0


@pytest.mark.parametrize("thick, recs", [
    pytest.param(np.zeros(3), [(1, 1, 0.5)], id="thickness 0"),
    pytest.param(np.array([-0.1, 0.3]), [(1, 1, 0.5)], id="run thicker than the stack"),
])
def test_knockdown_without_a_stack_gives_1_and_code_minus_3(thick, recs):
    real, ints = records(*recs, nplies=len(thick))
    assert dic.getdmginfluencefactor(thick, real, ints) == 1.0
    assert errstat() == -3


# ------------------------------------------------------------------------- open-hole factor

# Carbon/epoxy ply: E1, E2, E3, nu12, nu13, nu23, G12, G13, G23.
CFRP = np.array([141000.0, 9300.0, 9300.0, 0.32, 0.32, 0.45, 5800.0, 5800.0, 3100.0])


def isotropic(e, nu):
    g = e / (2 * (1 + nu))
    return np.array([e, e, e, nu, nu, nu, g, g, g])


def qbar(p, theta):
    e1, e2, nu12, g12 = p[0], p[1], p[3], p[6]
    d = 1 - nu12 * nu12 * e2 / e1
    q11, q22, q12, q66 = e1 / d, e2 / d, nu12 * e2 / d, g12
    c, s = math.cos(math.radians(theta)), math.sin(math.radians(theta))
    return np.array([
        [q11 * c**4 + 2 * (q12 + 2 * q66) * s * s * c * c + q22 * s**4,
         (q11 + q22 - 4 * q66) * s * s * c * c + q12 * (s**4 + c**4),
         (q11 - q12 - 2 * q66) * s * c**3 + (q12 - q22 + 2 * q66) * s**3 * c],
        [0.0, q11 * s**4 + 2 * (q12 + 2 * q66) * s * s * c * c + q22 * c**4,
         (q11 - q12 - 2 * q66) * s**3 * c + (q12 - q22 + 2 * q66) * s * c**3],
        [0.0, 0.0, (q11 + q22 - 2 * q12 - 2 * q66) * s * s * c * c + q66 * (s**4 + c**4)],
    ])


def abd(props, angles, thick):
    z = np.concatenate([[0.0], np.cumsum(thick)]) - np.sum(thick) / 2
    m = np.zeros((6, 6))
    for k, theta in enumerate(angles):
        q = qbar(props[:, k], theta)
        q = np.triu(q) + np.triu(q, 1).T
        for blk, (i, j) in enumerate([(0, 0), (0, 3), (3, 3)]):
            m[i:i + 3, j:j + 3] += q * (z[k + 1]**(blk + 1) - z[k]**(blk + 1)) / (blk + 1)
    m[3:, :3] = m[:3, 3:].T
    return m


def open_hole(props, angles, thick, kt, radius, width):
    m = abd(props, angles, thick)
    a = np.linalg.inv(m)
    nu = -a[0, 1] / a[0, 0]
    alpha = abs((m[0, 0] + m[0, 1]) / (2 * m[1, 1] * ((kt - 3)**2 + 1)) - nu)
    x = 2 * radius / width
    return kt * (x**(1 + x) - x * x) + alpha


@pytest.mark.parametrize("angles, kt, radius, width", [
    pytest.param([0, 45, -45, 90, 90, -45, 45, 0], 2.5, 3.0, 36.0, id="quasi-isotropic"),
    pytest.param([0, 90], 4.0, 5.0, 25.0, id="cross-ply, coupled"),
    pytest.param([30, -60, 10], 3.0, 2.0, 30.0, id="unsymmetric angle-ply"),
    pytest.param([0, 0, 0], 1.0, 0.0, 20.0, id="no hole"),
])
def test_open_hole_factor_against_numpy(angles, kt, radius, width):
    n = len(angles)
    props = np.tile(CFRP[:, None], (1, n))
    thick = np.linspace(0.12, 0.2, n)
    expected = open_hole(props, angles, thick, kt, radius, width)
    got = dic.getcentralopenholefactor(props, np.array(angles, float), thick, kt, radius, width)
    assert got == pytest.approx(expected, rel=1e-10)
    assert errstat() == 0


@pytest.mark.parametrize("nu, radius, width", [(0.3, 3.0, 24.0), (0.0, 5.0, 25.0),
                                                (0.45, 1.0, 40.0)])
def test_isotropic_open_hole_factor_with_kt_3(nu, radius, width):
    props = np.tile(isotropic(70000.0, nu)[:, None], (1, 3))
    x = 2 * radius / width
    expected = 3 * (x**(1 + x) - x * x) + (1 - nu) / 2
    got = dic.getcentralopenholefactor(props, np.array([0.0, 30.0, -70.0]), np.full(3, 0.5), 3.0,
                                       radius, width)
    assert got == pytest.approx(expected, rel=1e-12)


@pytest.mark.parametrize("thick, radius, width", [
    pytest.param(np.full(2, 0.25), 3.0, 0.0, id="width 0"),
    pytest.param(np.zeros(2), 3.0, 30.0, id="thickness 0"),
    pytest.param(np.full(2, 0.25), -3.0, 30.0, id="negative radius"),
])
def test_open_hole_without_a_factor_gives_0_and_code_minus_3(thick, radius, width):
    props = np.tile(CFRP[:, None], (1, 2))
    assert dic.getcentralopenholefactor(props, np.array([0.0, 90.0]), thick, 2.0, radius,
                                        width) == 0.0
    assert errstat() == -3
