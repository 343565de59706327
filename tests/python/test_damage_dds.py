"""Damage data sets of module damage: point tests, seeding of a point's damage flags and of the
buckling records, growth of the damage ellipses; coordinates worked out in numpy."""
import os

import numpy as np
import pytest

import _vorlen
from conftest import errstat, errtext, run_python

dmg = _vorlen.damage
HUGE = np.finfo(float).max
DEFINT = 2147483647
CFRP = np.array([181000.0, 10300.0, 10300.0, 0.28, 0.28, 0.45, 7170.0, 7170.0, 3550.0])
IDENTITY = np.eye(3, order="F")


@pytest.mark.parametrize("name,form", [
    ("getdamagefromdds", "getdamagefromdds(sdv,gpcoords,refcos,ilay,isec)"),
    ("pointindamage", "pointindamage = pointindamage(point,dmgcos,dmgorigin,dmgangle,plyangle,"
                      "a,b,modeid,dmgid,layid,skip)"),
    ("updatedds", "ierror = updatedds(sdv,gpcoords,refcoords,refcos,ilay,isec,idmg)"),
    ("getextentofprojecteddamage", "halfaxis = getextentofprojecteddamage(halfaxis,gpcoords,"
                                   "refcoords,refcos,theta,mdmg,[overwrite_halfaxis])"),
])
def test_call_forms(name, form):
    assert getattr(dmg, name).__doc__.splitlines()[0] == form


def turn(axis, v, deg):
    """v turned right-handedly by deg degrees about the unit axis (Rodrigues)."""
    t = np.radians(deg)
    return (v * np.cos(t) + np.cross(axis, v) * np.sin(t)
            + axis * np.dot(axis, v) * (1 - np.cos(t)))


def inplane(p, origin, axes, deg):
    """Coordinates of p - origin along the two first axes (orthonormal) turned by deg."""
    d = np.asarray(p, float) - origin
    nz = axes[:, 2]
    return (np.dot(turn(nz, axes[:, 0], deg), d), np.dot(turn(nz, axes[:, 1], deg), d))


def ply_axes(refcos, deg):
    n = refcos[:, 2]
    return np.column_stack([turn(n, refcos[:, 0], deg), turn(n, refcos[:, 1], deg), n])


# --- getextentofprojecteddamage -------------------------------------------------------------

@pytest.mark.parametrize("half,point,origin,theta,mdmg,expected", [
    ((1, 1), (3, -2, 5), (0, 0, 0), 0.0, 1.0, (3, 2)),     # out of the plane: projected
    ((1, 1), (3, -2, 0), (0, 0, 0), 90.0, 1.0, (2, 3)),    # axes turned: (y, -x)
    ((5, 5), (3, -2, 0), (0, 0, 0), 0.0, 2.0, (5, 5)),     # extents only grow
    ((1, 1), (3, -2, 0), (1, 1, 0), 0.0, 1.0, (2, 3)),
    ((1, 1), (3, -2, 0), (0, 0, 0), 0.0, 0.999, (1, 1)),   # not failed
    ((1, 1), (3, -2, 0), (0, 0, 0), 0.0, np.nan, (1, 1)),
])
def test_extent_grows_to_the_projected_point(half, point, origin, theta, mdmg, expected):
    out = dmg.getextentofprojecteddamage(np.array(half, float), np.array(point, float),
                                         np.array(origin, float), IDENTITY, theta, mdmg)
    np.testing.assert_allclose(out, expected, atol=1e-14)


# --- pointindamage --------------------------------------------------------------------------

def point_in(point, a, b, dmgangle=0.0, plyangle=0.0, axes=IDENTITY, origin=(0, 0, 0), skip=0,
             mode=1, layer=1, dset=1):
    return bool(dmg.pointindamage(np.array(point, float), axes, np.array(origin, float),
                                  dmgangle, plyangle, a, b, mode, dset, layer, skip))


@pytest.mark.parametrize("point,a,b,dmgangle,plyangle,skip,inside", [
    ((3, 0.5, 0), 4, 1, 0, 0, 0, True),
    ((3, 0.5, 0), 4, 1, 0, 0, 1, False),      # skipped
    ((4, 0, 0), 4, 1, 0, 0, 0, True),         # on the outline
    ((0.5, 3, 0), 4, 1, 0, 0, 0, False),
    ((0.5, 3, 0), 4, 1, 60, 30, 0, True),     # the set and ply angles add up to 90
    ((0, 0, 0), 0, 1, 0, 0, 0, False),        # a zero half axis holds nothing, not its centre
    ((0, 0.5, 0), 0, 1, 0, 0, 0, False),
])
def test_ellipse(clean_store, point, a, b, dmgangle, plyangle, skip, inside):
    assert point_in(point, a, b, dmgangle, plyangle, skip=skip) == inside


def polygon_table(values, layer=1, mode=2):
    table = np.full((12, 2, 6, 1), HUGE, order="F")
    table[:len(values), layer - 1, mode - 1, 0] = values
    _vorlen.damagedata.dmgpoints = table


SQUARE = [-2, -2, 9, 2, -2, 9, 2, 2, 9, -2, 2, 9]


@pytest.mark.parametrize("values,point,dmgangle,inside", [
    (SQUARE, (1.5, 1.5, 0), 0, True),
    (SQUARE, (2.0, 0.0, 0), 0, True),          # on an edge
    (SQUARE, (2.5, 0.0, 0), 0, False),         # inside the ellipse a = b = 100
    (SQUARE, (2.5, 0.0, 0), 45, True),         # the square turned by the set angle
    ([-1, 0, 0, 1, 0, 0], (0.5, 0.5, 0), 0, False),  # six values: a polygon of two vertices
    ([-1, 0, 0, 1, 0], (0.5, 0.5, 0), 0, True),      # five values: the ellipse
])
def test_polygon(clean_store, values, point, dmgangle, inside):
    polygon_table(values)
    # the ply angle turns ellipses only
    assert point_in(point, 100, 100, dmgangle, 30.0, mode=2) == inside
    assert errstat() == 0


@pytest.mark.parametrize("mode,layer,dset", [(7, 1, 1), (0, 1, 1), (2, 3, 1), (2, 1, 2),
                                             (2, -1, 1)])
def test_polygon_indices_outside_the_table(clean_store, mode, layer, dset):
    polygon_table(SQUARE)
    assert not point_in((0, 0, 0), 100, 100, mode=mode, layer=layer, dset=dset)
    assert errstat() == -3
    assert errtext() == "Mode, set or layer outside the polygon table in PointInDamage"


# --- The data store of a laminate with damage sets ----------------------------------------

ANGLES = [0.0, 45.0, -30.0]
THICK = [0.1, 0.3, 0.25]


def laminate(v, ndmg=1, nsec=1):
    """Three plies per section; peprops holds two temperature blocks (the second halved)."""
    s = v.sectiondata
    s.nplies, s.nsec = 3, nsec
    s.plyorientation = np.asfortranarray(np.tile(np.array(ANGLES)[:, None], nsec))
    s.plythickness = np.asfortranarray(np.tile(np.array(THICK)[:, None], nsec))
    s.xcstrength = np.full(nsec, 1000.0)
    v.materialdata.matidlist = np.ones((3, nsec), np.int32, order="F")
    block = np.concatenate([CFRP, CFRP / 2])
    v.materialdata.peprops = np.asfortranarray(np.tile(block[:, None, None], (1, 3, nsec)))
    v.damagedata.ndmg = ndmg
    assert v.datahandling.allocatedamagedata(3, nsec, ndmg) == 0
    return v.damagedata


def seed(sdv, point, ilay, isec=1, refcos=IDENTITY):
    sdv = np.array(sdv, float)
    assert dmg.getdamagefromdds(sdv, np.array(point, float), refcos, ilay, isec) is None
    return sdv


FRESH = [0.0] * 6 + [7.0] * 5 + [1.0]


def test_no_sets_leave_the_flags(clean_store):
    laminate(clean_store)
    clean_store.damagedata.ndmg = 0
    np.testing.assert_array_equal(seed(FRESH, (0, 0, 0), 9), FRESH)
    assert errstat() == 0


def test_flags_of_the_ply_ellipses(clean_store):
    d = laminate(clean_store)
    d.generaldds[:2, 1, 0] = (10.0, 1.0)   # ply 2 (45 degrees): narrow ellipse
    d.fiberdds[:2, 1, 0] = (0.0, 5.0)      # zero half axis
    d.matrixdds[:2, 1, 0] = (20.0, 20.0)
    d.coredds[:2, 1, 0] = (1.0, 1.0)
    # the ellipse lies along the ply axes turned once more by the ply angle: at 90 degrees
    for point, general in (((0, 5, 0), 1), ((5, 0, 0), 0), ((3.5, 3.5, 0), 0)):
        x, y = inplane(point, np.zeros(3), ply_axes(IDENTITY, 45), 45)
        assert ((x / 10) ** 2 + y**2 <= 1) == bool(general)
        sdv = seed(FRESH, point, 2)
        np.testing.assert_array_equal(sdv, [general, 0, 1, 0, 0, 0] + FRESH[6:])
    # a flag once set stays, slots 7-11 are not touched
    sdv = seed([1, 1, 0, 0, 1, 0] + [7.0] * 5 + [1.0], (50, 50, 0), 2)
    np.testing.assert_array_equal(sdv, [1, 1, 0, 0, 1, 0] + FRESH[6:])
    assert errstat() == 0


def test_set_position_and_angle_from_the_position_list(clean_store):
    d = laminate(clean_store, ndmg=2)
    d.generaldds[:2, 0, :] = np.array([[4.0, 1.0], [4.0, 1.0]]).T
    plane = np.full((10, 2), -HUGE, order="F")
    plane[:4, 0] = (10.0, 0.0, 0.0, 90.0)   # set 1 at x = 10, turned by 90
    d.dmgplane = plane                       # set 2 has no position
    assert seed(FRESH, (10, 3, 0), 1)[0] == 1
    assert seed(FRESH, (13, 0, 0), 1)[0] == 0
    assert seed(FRESH, (0, 0, 0), 1)[0] == 0   # set 2 would hold it without the -huge
    plane[0, 1] = 0.0
    d.dmgplane = plane
    assert seed(FRESH, (0, 0, 0), 1)[0] == 0   # an origin still incomplete
    assert errstat() == 0


def test_own_delamination_only_below_the_top_ply(clean_store):
    d = laminate(clean_store)
    d.delamdds[:2, :, 0] = 50.0
    assert seed(FRESH, (1, 1, 0), 2)[3] == 1
    assert seed(FRESH, (1, 1, 0), 3)[3] == 0


def expected_records(d, nsec, ndmg):
    s = _vorlen.sectiondata
    return _vorlen.sublaminate.getbukdatafromdds(
        np.asfortranarray(d.delamdds), np.ones((2, ndmg), np.int32, order="F"),
        s.xcstrength.copy(), np.asfortranarray(_vorlen.materialdata.peprops[:9]),
        s.plyorientation.copy(), s.plythickness.copy(), _vorlen.materialdata.matidlist.copy())


def test_buckling_records_are_seeded_once(clean_store):
    d = laminate(clean_store, ndmg=3, nsec=2)
    angles = clean_store.sectiondata.plyorientation
    angles[:, 1] = (10.0, 20.0, 30.0)
    d.delamdds[:2, 0, :] = 12.0   # interface 1 of every set
    sdv = seed(FRESH, (0, 0, 0), 1)
    # interface angles: set j from section min(j, nsec)
    np.testing.assert_array_equal(d.delamdds[2], [[0, 10, 10], [45, 20, 20]])
    real, integer = expected_records(d, 2, 3)
    np.testing.assert_array_equal(clean_store.bukdata.bukrealdatalist, real)
    np.testing.assert_array_equal(clean_store.bukdata.bukintdatalist, integer)
    assert integer[:, 0, 0, 0].tolist() == [1, 1, 1, 0]   # the thin top ply buckles
    assert real[1, 0, 0, 0] < 1
    # ply 1 lies in the buckling sub-laminate
    np.testing.assert_array_equal(sdv[:6], [0, 0, 0, 1, 0, 1])
    assert sdv[11] == real[1, 0, :, 0].min()   # the lowest ratio of the sets holding the point
    # the records are kept: changed extents do not reach them
    d.delamdds[:2, 0, :] = 30.0
    seed(FRESH, (0, 0, 0), 1)
    np.testing.assert_array_equal(clean_store.bukdata.bukrealdatalist, real)
    assert errstat() == 0


def test_residual_factor_never_grows(clean_store):
    d = laminate(clean_store)
    d.delamdds[:2, 0, 0] = 12.0
    ratio = seed(FRESH, (0, 0, 0), 1)[11]
    assert 0 < ratio < 1
    assert seed(FRESH[:11] + [ratio / 2], (0, 0, 0), 1)[11] == ratio / 2
    sdv = seed(FRESH[:11] + [ratio], (100, 0, 0), 1)  # outside every delamination
    assert sdv[11] == ratio and sdv[5] == 0


@pytest.mark.parametrize("record,hit", [
    ((2, 2, 3, 1), True),
    ((0, 0, 0, 0), False),        # an unused column
    ((-1, -1, -1, -1), False),    # a section without plies
    ((5, 1, 3, 0), False),        # no such interface
    ((2, 1, 4, 0), False),        # no such ply
    ((2, 3, 3, 1), False),        # ply 2 not in the sub-laminate
])
def test_buckling_records_outside_the_stack_are_skipped(clean_store, record, hit):
    d = laminate(clean_store)
    d.delamdds[:2, 1, 0] = 12.0
    b = clean_store.bukdata
    b.bukrealdatalist[1] = 0.5   # records present: no analysis
    b.bukrealdatalist[1, 1, 0, 0] = 0.25
    b.bukintdatalist[:, 0, 0, 0] = (0, 0, 0, 0)
    b.bukintdatalist[:, 1, 0, 0] = record
    sdv = seed(FRESH, (0, 0, 0), 2)
    assert (sdv[5], sdv[11]) == ((1.0, 0.25) if hit else (0.0, 1.0))
    assert errstat() == 0


def _short(v, what):
    if what == "ply 0":
        return 0, 1
    if what == "ply 4":
        return 4, 1
    if what == "section 2":
        return 1, 2
    if what == "no orientations":
        v.sectiondata.plyorientation = None
    elif what == "dmgplane short of ndmg":
        v.damagedata.dmgplane = np.zeros((10, 1), order="F")
        v.damagedata.ndmg = 2
    elif what == "general short of ndmg":
        v.damagedata.generaldds = np.zeros((3, 3, 1), order="F")
        v.damagedata.ndmg = 2
        v.damagedata.dmgplane = np.zeros((10, 2), order="F")
    elif what == "no material ids":
        v.materialdata.matidlist = None
    elif what == "elastic rows short":
        v.materialdata.peprops = np.zeros((5, 3, 1), order="F")
    return 1, 1


@pytest.mark.parametrize("what", ["ply 0", "ply 4", "section 2", "no orientations",
                                  "dmgplane short of ndmg", "general short of ndmg",
                                  "no material ids", "elastic rows short"])
def test_bad_indices_and_short_tables(clean_store, what):
    d = laminate(clean_store)
    d.generaldds[:2, 0, 0] = 50.0
    d.delamdds[:2, 0, 0] = 12.0
    ilay, isec = _short(clean_store, what)
    before = {n: getattr(d, n).copy() for n in ("generaldds", "delamdds")}
    sdv = seed(FRESH, (0, 0, 0), ilay, isec)
    np.testing.assert_array_equal(sdv, FRESH)
    assert errstat() == -3
    assert errtext() == "Ply, section or damage set outside the data tables in GetDamageFromDDS"
    assert not clean_store.bukdata.bukrealdatalist.any()
    for n, table in before.items():
        np.testing.assert_array_equal(getattr(d, n), table)


# --- updatedds ------------------------------------------------------------------------------

def sections_only(v):
    s = v.sectiondata
    s.nplies, s.nsec = 3, 1
    s.plyorientation = np.array([ANGLES], order="F").T.copy(order="F")
    v.damagedata.ndmg = 0


def test_update_allocates_and_grows_the_failed_modes(clean_store):
    sections_only(clean_store)
    refcos = np.asfortranarray([[1.0, 0, 0], [0, 0.8, 0.6], [0, -0.6, 0.8]]).T
    origin, point = np.array([1.0, 2.0, 0.0]), np.array([4.0, -1.0, 2.0])
    ierror = dmg.updatedds(np.array([1.0, 0.0, 1.0, 1.0, 0.5]), point, origin, refcos, 2, 1, 1)
    d = clean_store.damagedata
    assert ierror == 0 and d.ndmg == 1 and d.generaldds.shape == (3, 3, 1)
    # in the ply axes turned once more by the ply angle
    x, y = inplane(point, origin, ply_axes(refcos, 45), 45)
    for table in (d.generaldds, d.matrixdds):
        np.testing.assert_allclose(table[:2, 1, 0], (abs(x), abs(y)), rtol=1e-13)
    np.testing.assert_allclose(d.delamdds[:2, 1, 0], (abs(x), abs(y)), rtol=1e-13)
    assert not d.fiberdds.any() and not d.coredds.any()
    assert not d.generaldds[:, [0, 2], 0].any() and not d.generaldds[2].any()
    # the top ply has no interface above it
    dmg.updatedds(np.ones(5), point, origin, refcos, 3, 1, 1)
    assert not d.delamdds[:, 2:, 0].any() and d.delamdds.shape == (3, 2, 1)
    assert d.fiberdds[:2, 2, 0].all() and errstat() == 0


def test_update_refuses_tables_beyond_memory():
    # in a child process: 2e9 damage sets (a count from the damage card) ended the process
    # with the allocation message
    r = run_python(f"""
        import sys
        sys.path.insert(0, {os.path.dirname(__file__)!r})
        import numpy as np, _vorlen
        from test_damage_dds import sections_only, dmg, IDENTITY
        from conftest import errstat, errtext
        sections_only(_vorlen)
        _vorlen.damagedata.ndmg = 2000000000
        ierror = dmg.updatedds(np.ones(5), np.ones(3), np.zeros(3), IDENTITY, 1, 1, 1)
        d = _vorlen.damagedata
        print(ierror, errstat(), "|", errtext(), "|", d.damagedds is None, d.generaldds is None)
    """)
    assert r.returncode == 0, r.stdout + r.stderr
    assert r.stdout.strip().splitlines()[-1] == (
        "0 -3 | Damage tables beyond memory in UpdateDDS | True True")


def test_a_grown_box_need_not_hold_the_point(clean_store):
    laminate(clean_store)
    point = np.array([1.0, 1.0, 0.0])
    dmg.updatedds(np.ones(5), point, np.zeros(3), IDENTITY, 1, 1, 1)
    # ply 1 at 0 degrees: half axes (1, 1), the point on the box corner outside the ellipse
    np.testing.assert_allclose(clean_store.damagedata.generaldds[:2, 0, 0], (1, 1))
    assert seed(FRESH, point, 1)[0] == 0
    assert seed(FRESH, (0.7, 0.7, 0), 1)[0] == 1


@pytest.mark.parametrize("ilay,isec,idmg", [(0, 1, 1), (4, 1, 1), (1, 2, 1), (1, 0, 1),
                                            (1, 1, 2), (1, 1, 0)])
def test_update_with_indices_outside_the_tables(clean_store, ilay, isec, idmg):
    sections_only(clean_store)
    ierror = dmg.updatedds(np.ones(5), np.ones(3), np.zeros(3), IDENTITY, ilay, isec, idmg)
    assert ierror == 0 and errstat() == -3
    assert errtext() == "Ply, section or damage set outside the data tables in UpdateDDS"
    assert clean_store.damagedata.generaldds is None   # nothing allocated


def test_update_of_a_table_short_of_its_set(clean_store):
    d = laminate(clean_store, ndmg=2)
    d.fiberdds = np.zeros((3, 3, 1), order="F")
    dmg.updatedds(np.ones(5), np.ones(3), np.zeros(3), IDENTITY, 1, 1, 2)
    assert errstat() == -3 and not d.generaldds.any()
