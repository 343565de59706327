"""Impact loads and amplitude tables of module sldcollection, called through their C entries
(the module has no Python signatures): concentrated and edge loads by hand, distributed
pressures summed over a grid of load points against the impactor force, amplitudes against
scipy's PCHIP and numpy.interp."""
import ctypes as C

import numpy as np
import pytest
from scipy.interpolate import PchipInterpolator

import _vorlen
from conftest import errstat, errtext

lib = C.CDLL("libvorlen.so")  # the library _vorlen is linked with
D, I, B = C.POINTER(C.c_double), C.POINTER(C.c_int32), C.POINTER(C.c_int8)
for name in ["UniformSurfaceLoad", "PyramidalSurfaceLoad", "ParabolicSurfaceLoad",
             "HertzianSurfaceLoad", "CosineSurfaceLoad", "SineSurfaceLoad"]:
    getattr(lib, name).restype = C.c_double

SCALE = 2.5e-7


def d(v):
    return C.byref(C.c_double(v))


def i(v):
    return C.byref(C.c_int32(v))


def ptr(a):
    return a.ctypes.data_as(D)


def text(s):
    return C.create_string_buffer(s.ljust(80).encode(), 80)


def cload(ldflag, name, cforce):
    f, flag = C.c_double(-9.0), C.c_double(ldflag)
    lib.sldcollection_cload(C.byref(f), C.byref(flag), d(cforce), text(name))
    return flag.value, f.value


@pytest.mark.parametrize("ldflag,name,cforce,flag,f", [
    (0.0, "LOAD-POINT-SYMX", 3.0, 1.0, 3.0 / SCALE / 2),
    (0.0, "LOAD-POINT-SYMX", -3.0, 1.0, 0.0),
    (-1.0, "ANY", -3.0, -1.0, -3.0 / SCALE),
    (2.0, "POINT", 3.0, 2.0, 0.0),
    (0.0, "COSINE", 3.0, 8.0, 0.0),
    (0.0, "EDGE POINT", 3.0, 9.0, 0.0),
    (0.0, "POINT HERTZIAN", 3.0, 5.0, 0.0),
    (0.0, "POINT SYMX SYMY SYM2 SYM4", 3.0, 1.0, 3.0 / SCALE / 32),
    (1.0, "SYMX SYM4", 1.0, 1.0, 1.0 / SCALE / 8),
])
def test_concentrated_load(clean_register, ldflag, name, cforce, flag, f):
    assert cload(ldflag, name, cforce) == (flag, pytest.approx(f, rel=1e-15))
    assert errstat() == 0


def test_concentrated_load_without_keyword(clean_register):
    assert cload(0.0, "IMPACT", 3.0) == (0.0, 0.0)
    assert (errstat(), errtext()) == (-2, "Warning: No valid load state detected in %S")
    ident = bytes(np.asarray(_vorlen.errorhandling.errasciim)[:6, 0].astype(np.uint8)).decode()
    assert ident == "LDFLAG"


def records(nimp, forces=(), halves=()):
    cprops = np.zeros((20, max(nimp, 1)), order="F")
    cprops[0, :len(forces)] = forces
    cprops[17, :len(halves)] = halves
    return cprops, np.zeros((12, max(nimp, 1)), order="F")


def deload(name, cprops, nimp, normal=(0.0, 0.0, 1.0)):
    alpha, t = C.c_double(-9.0), np.full(3, -9.0)
    dircos = np.zeros((3, 3), order="F")
    dircos[:, 2] = normal
    dprops = np.zeros((12, cprops.shape[1]), order="F")
    lib.sldcollection_deload(C.byref(alpha), ptr(t), i(1), i(1), ptr(np.zeros(2)), i(1), i(1),
                             ptr(np.zeros(3)), ptr(dircos), i(1), text(name), ptr(cprops),
                             ptr(dprops), i(nimp))
    return alpha.value, t


@pytest.mark.parametrize("name,alpha", [
    ("EDGE-1", 10.0 / 0.5),
    ("EDGE-11", 40.0 / 2.0),                    # impactor 11 only, not 1
    ("EDGE-2-SYM2", 20.0 / 1.0 / 2),            # SYM2 names no impactor 2, halves once
    ("EDGE-1-2-SYMX", (10.0 / 0.5 + 20.0 / 1.0) / 2),
    ("EDGE-1-2-SYMX-SYMY", (10.0 / 0.5 + 20.0 / 1.0) / 2),
    ("EDGE-12-SYM4", 0.0),                      # no impactor 12, SYM4 no impactor 4
    ("EDGE-01", 0.0),
])
def test_edge_load(clean_register, name, alpha):
    forces = [10.0, 20.0] + [0.0] * 8 + [40.0]
    halves = [0.25, 0.5, 1, 1, 1, 1, 1, 1, 1, 1, 1.0]
    cprops, _ = records(11, forces, halves)
    got, t = deload(name, cprops, 11)
    assert got == pytest.approx(alpha, rel=1e-15)
    np.testing.assert_array_equal(t, [0.0, 0.0, -1.0])
    assert errstat() == 0


def test_edge_load_direction_drops_tiny_components():
    cprops, _ = records(1)
    _, t = deload("EDGE", cprops, 1, normal=(1e-10, -2e-10, 1.0))
    assert list(t) == [0.0, 2e-10, -1.0]


@pytest.mark.parametrize("force,half,message", [
    (10.0, 0.0, "Half edge length not above 0 in deload"),
    (10.0, 1e-320, "Edge load not finite in deload"),     # 10 / 2.2e-308 overflows
    (np.nan, 0.25, "Edge load not finite in deload"),
    (np.inf, 0.25, "Edge load not finite in deload"),
])
def test_edge_load_of_a_refused_impactor(clean_register, force, half, message):
    cprops, _ = records(2, [force, 20.0], [half, 0.5])
    alpha, _ = deload("EDGE 1 2", cprops, 2)
    assert alpha == 20.0                                  # impactor 2 alone
    assert (errstat(), errtext()) == (-3, message)


@pytest.fixture
def steps(clean_store):
    """Steps 1..4 of the types 0 (initialization), 1 (fatigue), 2 (response), 3 (impact)."""
    clean_store.jobdata.stepid = np.array([0, 1, 2, 3], np.int32)
    return clean_store


FLAT = np.asfortranarray(np.eye(3))


def dsload(x, cprops, dprops, kstep=4, elemid=None, dircos=FLAT, nimp=None):
    alpha, t = C.c_double(-9.0), np.full(3, -9.0)
    lib.sldcollection_dsload(C.byref(alpha), ptr(t), i(kstep), ptr(np.asarray(x, float)),
                             ptr(dircos), ptr(cprops), ptr(dprops),
                             i(cprops.shape[1] if nimp is None else nimp),
                             None if elemid is None else i(elemid))
    return alpha.value, t


def kept(shape, rl, sl, force=8.0, radius=0.0):
    """An impactor at (1, 2, 0) whose record already holds another element as nearest, so that
    no load point changes it: half sides rl, sl split evenly on both sides."""
    cprops, dprops = records(1, [force])
    cprops[1, 0] = radius
    dprops[:, 0] = [shape, 1, 2, 0, 99, 1e-12, 1e-12, rl / 2, sl / 2, rl / 2, sl / 2, 0]
    return cprops, dprops


def grid_sum(cprops, dprops, half_r, half_s, n=200):
    hr, hs = 2 * half_r / n, 2 * half_s / n
    total = 0.0
    for r in -half_r + hr * (np.arange(n) + 0.5):
        for s in -half_s + hs * (np.arange(n) + 0.5):
            total += dsload((1 + r, 2 + s, 0), cprops, dprops, elemid=7)[0]
    return total * hr * hs


@pytest.mark.parametrize("shape,net,rel", [(2, 8.0, 1e-12), (3, 8.0, 1e-12), (4, 8.0, 1e-4),
                                           (8, 0.0, None)])
def test_pressures_over_the_rectangle_carry_the_force(steps, shape, net, rel):
    cprops, dprops = kept(shape, 1.0, 0.5)
    before = dprops.copy()
    total = grid_sum(cprops, dprops, 1.0, 0.5, n=100)
    if rel is None:
        assert abs(total) < 1e-9
    else:
        assert total == pytest.approx(net, rel=rel)
    np.testing.assert_array_equal(dprops, before)


@pytest.mark.parametrize("shape", [5, 6])
def test_hertzian_pressure_over_the_contact_circle(steps, shape):
    cprops, dprops = kept(shape, 0.2, 0.2, radius=0.6)
    assert grid_sum(cprops, dprops, 0.6, 0.6) == pytest.approx(8.0, rel=2e-3)


def test_uniform_load_inside_its_rectangle_only(steps):
    cprops, dprops = kept(2, 1.0, 1.0)
    for x, want in [((1.9, 2.9, 0), 2.0), ((0.0, 1.0, 0), 2.0), ((2.1, 2, 0), 0.0)]:
        assert dsload(x, cprops, dprops)[0] == want


def test_parabolic_pressure_vanishes_at_the_corners():
    v = lib.ParabolicSurfaceLoad(d(5.0), d(1.5), d(-0.5), d(0.0), d(0.0), d(1.5), d(0.5))
    assert v == pytest.approx(0.0, abs=1e-15)


def test_hertzian_pressure_outside_the_contact_is_zero():
    assert lib.HertzianSurfaceLoad(d(5.0), d(1.0000001), d(0.0), d(0.0), d(0.0), d(1.0),
                                   d(1.0)) == 0.0


def test_nearest_point_bookkeeping(steps):
    cprops, dprops = records(1, [0.0])
    dprops[1:4, 0] = [1.0, 2.0, 0.0]
    dsload((2.0, 2.0, 0.0), cprops, dprops, elemid=7)   # first point, distance 1
    np.testing.assert_array_equal(dprops[4:11, 0], [7, 1, 1, 0, 0, 1, 0])
    dsload((1.0, 2.5, 0.0), cprops, dprops, elemid=7)   # nearer: slots 5 to 9
    np.testing.assert_array_equal(dprops[4:11, 0], [7, 0.5, 0.5, 0, 0.5, 1, 0])
    dsload((1.0, 4.0, 0.0), cprops, dprops, elemid=7)   # farther at the nearest element
    np.testing.assert_array_equal(dprops[4:11, 0], [7, 0.5, 2.0, 0, 0.5, 0, 2.0])
    dsload((1.0, 6.0, 0.0), cprops, dprops, elemid=8)   # another element changes nothing
    np.testing.assert_array_equal(dprops[4:11, 0], [7, 0.5, 2.0, 0, 0.5, 0, 2.0])


def test_fatigue_step_fills_only_unset_slots(steps):
    cprops, dprops = records(1, [5.0])
    dprops[:4, 0] = [2, 1, 2, 0]
    alpha, t = dsload((2.0, 2.0, 0.0), cprops, dprops, kstep=2, elemid=7)
    assert alpha == 0.0
    np.testing.assert_array_equal(dprops[:, 0], [2, 1, 2, 0, 7, 1, 1, 0, 0, 0, 0, 0])
    np.testing.assert_array_equal(t, [0, 0, -1])


def test_first_point_at_the_impact_point_loads_nothing(steps):
    # slots 8 and 9 become 0 there: a rectangle of zero width
    for x in [(1.0, 2.0, 0.0), (3.0, 2.0, 0.0)]:
        cprops, dprops = records(1, [5.0])
        dprops[:4, 0] = [2, 1, 2, 0]
        alpha, _ = dsload(x, cprops, dprops, elemid=7)
        assert alpha == 0.0


NAN_DIRECTION = np.asfortranarray([[1.0, 0.0, 0.0], [np.nan, 1.0, 0.0], [0.0, 0.0, 1.0]])


@pytest.mark.parametrize("x,dircos", [((np.nan, 1.0, 0.0), FLAT), ((1.0, 1.0, 0.0), NAN_DIRECTION)])
def test_point_without_a_distance_leaves_the_record(steps, x, dircos):
    cprops, dprops = records(1, [8.0])
    dprops[0, 0] = 2                                      # uniform, impact point at the origin
    alpha, _ = dsload(x, cprops, dprops, elemid=7, dircos=dircos)
    assert alpha == 0.0 and not dprops[1:].any()
    assert (errstat(), errtext()) == (-3, "Distance to the impact point not finite in dsload")
    # the points after it grow the rectangle as on a fresh record: half sides (r, s) of
    # (1, 1) from the farthest point, then (1.5, 1.5) with the nearest at (0.5, 0.5), then
    # (2.5, 0.5) with the farthest at (2, 0); uniform pressure f / (4 rL sL)
    points = [(1, 1, 0), (0.5, 0.5, 0), (-1, 1, 0), (2, 0, 0)]
    got = [dsload(p, cprops, dprops, elemid=7)[0] for p in points]
    np.testing.assert_allclose(got, 8.0 / 4 / np.array([1.0, 2.25, 2.25, 1.25]), rtol=1e-15)
    np.testing.assert_allclose(dprops[4:11, 0], [7, np.sqrt(0.5), 2, 0.5, 0.5, 2, 0],
                               rtol=1e-15)


@pytest.mark.parametrize("kstep,table", [(5, True), (0, True), (1, False)])
def test_step_outside_the_step_table(steps, kstep, table):
    if not table:
        steps.jobdata.stepid = None
    cprops, dprops = kept(2, 1.0, 1.0)
    before = dprops.copy()
    alpha, _ = dsload((1.0, 2.0, 0.0), cprops, dprops, kstep=kstep)
    assert alpha == 0.0
    np.testing.assert_array_equal(dprops, before)
    assert (errstat(), errtext()) == (-3, "Step outside the step table in dsload")


def test_no_impactor(steps):
    cprops, dprops = kept(2, 1.0, 1.0)
    before = dprops.copy()
    assert dsload((1.0, 2.0, 0.0), cprops, dprops, nimp=0)[0] == 0.0
    np.testing.assert_array_equal(dprops, before)


def test_continuum_elements_take_the_negated_load(steps):
    steps.datahandling.allocateelementdata(8, 2)
    steps.elementdata.elemlist[:] = [7, 8]
    steps.elementdata.elemkind[:] = [10, 4]
    cprops, dprops = kept(2, 1.0, 1.0)
    for elemid, alpha in [(7, -2.0), (8, 2.0), (9, 2.0)]:  # 9 is not registered
        assert dsload((1.2, 2.2, 0.0), cprops, dprops, elemid=elemid)[0] == alpha


def test_surface_direction_in_a_tilted_plane(steps):
    q = np.linalg.qr(np.array([[1.0, 0.3, 0.2], [0.1, 1.0, 0.4], [0.2, 0.1, 1.0]]))[0]
    cprops, dprops = records(1)
    _, t = dsload((0, 0, 0), cprops, dprops, dircos=np.asfortranarray(q))
    np.testing.assert_allclose(t, -q[:, 2], atol=1e-15)


def amplitude(xy, x, skip=None):
    amp = C.c_double(-9.0)
    xy = np.asarray(xy, float)
    lib.CAMPLITUDE(C.byref(amp), ptr(xy), d(x), i(len(xy)),
                   None if skip is None else C.byref(C.c_int8(skip)))
    return amp.value


def test_amplitude_against_pchip():
    x = np.array([0.0, 0.5, 1.3, 2.0, 3.1])
    y = np.array([0.0, 2.0, 2.5, 4.0, 3.0])
    for at in [0.1, 0.7, 1.9, 3.0]:
        assert amplitude(np.r_[x, y], at) == pytest.approx(PchipInterpolator(x, y)(at),
                                                           rel=1e-13)


@pytest.mark.parametrize("at,want", [(0.5, 5.0), (2.0, 20.0), (-1.0, -10.0)])
def test_amplitude_of_linear_data_extrapolates(at, want):
    assert amplitude([0, 1, 0, 10], at) == pytest.approx(want)
    if 0 <= at <= 1:
        assert want == pytest.approx(np.interp(at, [0, 1], [0, 10]))


@pytest.mark.parametrize("xy,code,message", [
    ([0, 1, 0], -2, "Warning: Mismatch between x- and y-values in %S"),
    ([], -3, "Table of fewer than two rows or not rising in CAMPLITUDE"),
    ([1, 5], -3, "Table of fewer than two rows or not rising in CAMPLITUDE"),
    ([0, 2, 1, 0, 1, 2], -3, "Table of fewer than two rows or not rising in CAMPLITUDE"),
    ([0, np.nan, 0, 1], -3, "Table of fewer than two rows or not rising in CAMPLITUDE"),
])
def test_amplitude_refused(clean_register, xy, code, message):
    assert amplitude(xy, 0.5) == 0.0
    assert (errstat(), errtext()) == (code, message)


def test_amplitude_skipped(clean_register):
    assert amplitude([0, 1, 0, 10], 0.5, skip=1) == 0.0
    assert amplitude([0, 1, 0], 0.5, skip=1) == 0.0 and errstat() == 0


def hysteresis(xy, x, passed, skip=None):
    amp, p = C.c_double(-9.0), C.c_double(passed)
    xy = np.asarray(xy, float)
    lib.CHYSTERESIS(C.byref(amp), C.byref(p), ptr(xy), d(x), i(len(xy)),
                    None if skip is None else C.byref(C.c_int8(skip)))
    return amp.value, p.value


HUGE = np.finfo(float).max
LOOP = [0, 1, 2, 1, 0, 0, 5, 10, 4, 0]  # x = (0, 1, 2, 1, 0), y = (0, 5, 10, 4, 0)


def test_hysteresis_loading_and_unloading():
    amp, passed = hysteresis(LOOP, 2.0, 0.0)
    assert (amp, passed) == (pytest.approx(10.0), 2.0)
    amp, passed = hysteresis(LOOP, 1.0, passed)
    assert (amp, passed) == (pytest.approx(4.0), HUGE)
    assert hysteresis(LOOP, 2.0, passed) == (pytest.approx(10.0), HUGE)
    assert hysteresis(LOOP, 3.0, passed) == (pytest.approx(10.0), HUGE)
    assert hysteresis(LOOP, 0.5, 0.0)[0] == pytest.approx(PchipInterpolator([0, 1, 2],
                                                                            [0, 5, 10])(0.5))
    assert hysteresis(LOOP, 0.5, HUGE)[0] == pytest.approx(PchipInterpolator([0, 1, 2],
                                                                             [0, 4, 10])(0.5))
    assert hysteresis(LOOP, -1.0, 0.0) == (0.0, HUGE)  # below passed: unloading, clamped


def test_hysteresis_skipped_keeps_the_state():
    assert hysteresis(LOOP, 1.0, 2.0, skip=1) == (0.0, 2.0)


@pytest.mark.parametrize("xy,x,passed,code,message,after", [
    ([0, 1, 2], 0.5, 0.3, -2, "Warning: Mismatch between x- and y-values in %S", 0.3),
    ([1, 5], 0.5, 0.3, -3, "Branch of fewer than two rows or not rising in CHYSTERESIS", 0.3),
    ([], 0.5, 0.3, -3, "Branch of fewer than two rows or not rising in CHYSTERESIS", 0.3),
    # a table that only rises: its unloading branch has one row
    ([0, 1, 2, 0, 5, 9], 0.5, 1.0, -3,
     "Branch of fewer than two rows or not rising in CHYSTERESIS", HUGE),
    # rises that do not form one run
    ([0, 1, 0.5, 2, 0, 1, 2, 3], 2.0, 0.0, -3,
     "Branch of fewer than two rows or not rising in CHYSTERESIS", 2.0),
])
def test_hysteresis_refused(clean_register, xy, x, passed, code, message, after):
    amp, p = hysteresis(xy, x, passed)
    assert (amp, p) == (0.0, after)
    assert (errstat(), errtext()) == (code, message)


@pytest.mark.parametrize("x,passed", [(np.nan, 0.5), (np.inf, 0.5), (-np.inf, 0.5),
                                      (1.0, np.nan)])
def test_hysteresis_without_a_number_keeps_the_state(clean_register, x, passed):
    amp, p = hysteresis(LOOP, x, passed)
    np.testing.assert_array_equal([amp, p], [0.0, passed])
    assert (errstat(), errtext()) == (-3, "Abscissa not finite or state not a number in "
                                          "CHYSTERESIS")
    if not np.isnan(passed):                              # still loading: x = 1.5 on that branch
        amp, p = hysteresis(LOOP, 1.5, p)
        assert (amp, p) == (pytest.approx(PchipInterpolator([0, 1, 2], [0, 5, 10])(1.5)), 1.5)


def test_load_point_inside_the_load_records(steps):
    # the point passed is slots 2-4 of the second record, which the call rewrites around it
    cprops, dprops = records(2, [5.0, 5.0])
    dprops[:4, 0] = [2, 1, 2, 0]
    dprops[:4, 1] = [2, 1.5, 2, 0]
    ref = dprops.copy(order="F")
    want = dsload(ref[1:4, 1].copy(), cprops, ref, elemid=7)
    alpha, t = C.c_double(), np.zeros(3)
    point = C.cast(C.c_void_p(dprops.ctypes.data + 13 * 8), D)
    lib.sldcollection_dsload(C.byref(alpha), ptr(t), i(4), point, ptr(FLAT), ptr(cprops),
                             ptr(dprops), i(2), i(7))
    assert alpha.value == want[0]
    np.testing.assert_array_equal(dprops, ref)
