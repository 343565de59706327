"""Box-beam analysis through its exported data modules: set-up and capacities, stiffnesses and
centres, principal axes, shear centre, torsion, flows in equilibrium with the load, the report
and dump files, and the failure paths."""
import ctypes
import math
import os

import numpy as np
import pytest

import _vorlen
from conftest import errstat, errtext, run_python

bb = _vorlen.boxbeamio
lib = ctypes.CDLL("libvorlen.so")  # the library _vorlen is linked with


def array(name, ctype=ctypes.c_double, rank=1):
    """numpy view of an allocatable module variable (data pointer, block, extents)."""
    class Record(ctypes.Structure):
        _fields_ = [("data", ctypes.c_void_p), ("block", ctypes.c_void_p),
                    ("extents", ctypes.c_int64 * rank)]
    rec = Record.in_dll(lib, name)
    shape = tuple(rec.extents)
    if not rec.data or 0 in shape:
        return np.zeros(shape, dtype=np.float64 if ctype is ctypes.c_double else np.int32)
    flat = np.ctypeslib.as_array(ctypes.cast(rec.data, ctypes.POINTER(ctype)),
                                 shape=(int(np.prod(shape)),))
    return flat.reshape(shape, order="F")


def ints(name, rank=1):
    return array(name, ctypes.c_int32, rank)


def i32(name):
    return ctypes.c_int32.in_dll(lib, name)


def f64(name):
    return ctypes.c_double.in_dll(lib, name)


def flag(name):
    return ctypes.c_int8.in_dll(lib, name)


def text(name, n):
    return (ctypes.c_char * n).in_dll(lib, name)


QUER = ("ys zs yt zt ymst zmst ymstac zmstac bx alpha dyyste dzzste dyy dzy dzz dt m iyys izzs "
        "izys itt").split()
LOADS = ("qqx", "qqy", "qqz", "qmx", "qmy", "qmz")


def quer():
    return {n: f64("quer_" + n).value for n in QUER}


def section(booms, walls, cells=(), load=(0.0,) * 6):
    """booms: (y, z, b, my); walls: (start boom, end boom, bk, gk, rho), end points at the
    booms; cells: rings of boom numbers; load: QX, QY, QZ, MX, MY, MZ."""
    yi, zi, bi, myi = (array("gurt_" + n) for n in ("yi", "zi", "bi", "myi"))
    for i, (y, z, b, m) in enumerate(booms):
        yi[i], zi[i], bi[i], myi[i] = y, z, b, m
    i32("gurt_ig").value = len(booms)
    ig1, ig2 = ints("wand_ig1"), ints("wand_ig2")
    w = {n: array("wand_" + n) for n in ("yk0", "zk0", "yklk", "zklk", "bk", "gk", "rhok")}
    for k, (a, b, bk, gk, rho) in enumerate(walls):
        ig1[k], ig2[k] = a, b
        w["yk0"][k], w["zk0"][k] = booms[a - 1][:2] if 0 < a <= len(booms) else (0.0, 0.0)
        w["yklk"][k], w["zklk"][k] = booms[b - 1][:2] if 0 < b <= len(booms) else (1.0, 0.0)
        w["bk"][k], w["gk"][k], w["rhok"][k] = bk, gk, rho
    i32("wand_kw").value = len(walls)
    iak, ia = ints("zelle_iak"), ints("zelle_ia", 2)
    for i, ring in enumerate(cells):
        iak[i] = len(ring)
        ia[:len(ring), i] = ring
    i32("zelle_az").value = len(cells)
    for n, v in zip(LOADS, load):
        f64("spanug_" + n).value = v


def wall_resultants(booms, walls):
    """Force (y, z) and torque about the origin of the shear flows, and axial force and
    moments of the normal flows and boom forces. Flows vary at most quadratically along a
    wall, so Simpson's rule with start, middle and end is exact."""
    kw = len(walls)
    t0, tl2, tl = array("kraft_t0")[:kw], array("kraft_tl2")[:kw], array("kraft_tl")[:kw]
    n0, n2, n1 = array("kraft_nx0")[:kw], array("kraft_nxl2")[:kw], array("kraft_nxl")[:kw]
    fy = fz = mx = nx = my = mz = 0.0
    for k, (a, b, *_) in enumerate(walls):
        (y0, z0), (y1, z1) = booms[a - 1][:2], booms[b - 1][:2]
        length = math.hypot(y1 - y0, z1 - z0)
        shear = (t0[k] + 4 * tl2[k] + tl[k]) / 6  # mean flow
        fy += shear * (y1 - y0)
        fz += shear * (z1 - z0)
        mx += shear * (y0 * (z1 - z0) - z0 * (y1 - y0))
        ym, zm = (y0 + y1) / 2, (z0 + z1) / 2
        nx += length * (n0[k] + 4 * n2[k] + n1[k]) / 6
        my += length * (n0[k] * z0 + 4 * n2[k] * zm + n1[k] * z1) / 6
        mz -= length * (n0[k] * y0 + 4 * n2[k] * ym + n1[k] * y1) / 6
    forces = array("epigam_epigu")[:len(booms)] * [b[2] for b in booms]
    nx += forces.sum()
    my += sum(f * b[1] for f, b in zip(forces, booms))
    mz -= sum(f * b[0] for f, b in zip(forces, booms))
    return np.array([nx, fy, fz, mx, my, mz])


@pytest.fixture
def box(tmp_path, clean_register):
    """Fresh box-beam modules with the default capacities and no report; the error register
    cleared."""
    bb.box_initialize()
    flag("steuer_druck").value = flag("steuer_exdru").value = 0
    i32("steuer_klog").value = 7
    text("path_csinfopath", 240).value = str(tmp_path / "report.txt").encode()
    text("path_vbinfopath", 240).value = str(tmp_path / "dump.txt").encode()
    yield tmp_path
    flag("steuer_druck").value = flag("steuer_exdru").value = 0


# A square cell of four booms at (+-1, +-1) and four equal walls, boom 1 at (1, 1).
B, BK, GK, MY, RHO = 1.0, 1.0, 1.0, 0.5, 0.1
SQUARE_BOOMS = [(1.0, 1.0, B, MY), (-1.0, 1.0, B, MY), (-1.0, -1.0, B, MY), (1.0, -1.0, B, MY)]
SQUARE_WALLS = [(1, 2, BK, GK, RHO), (2, 3, BK, GK, RHO), (3, 4, BK, GK, RHO),
                (4, 1, BK, GK, RHO)]


def report_lines(path):
    return path.read_text().split("\n")


# ------------------------------------------------------------------ entries and set-up

def test_call_forms():
    assert bb.box_initialize.__doc__.splitlines()[0] == "box_initialize([nw,ng,nz])"
    assert bb.box_getxsection.__doc__.splitlines()[0] == "box_getxsection()"


def test_initialize_defaults(box):
    assert (i32("restr_maxgu").value, i32("restr_maxwa").value, i32("restr_maxze").value) == (
        100, 100, 100)
    assert i32("gurt_ig").value == i32("wand_kw").value == i32("zelle_az").value == 0
    assert all(v == 0.0 for v in quer().values())
    assert array("wand_yk0").shape == (100,) and array("kraft_t0").shape == (200,)
    assert array("epigam_epi", rank=2).shape == (100, 3)
    assert ints("zelle_ia", 2).shape == (100, 100)


def test_initialize_again_clears_its_slots_and_keeps_the_rest(box):
    for name in ("wand_yk0", "wand_bk", "kraft_t0", "kraft_tl", "gurt_yi", "epigam_epigu",
                 "wand_e"):
        array(name)[:] = 7.0
    for name in ("wand_ig1", "zelle_iak"):
        ints(name)[:] = 7
    ints("zelle_ia", 2)[:] = 7
    array("epigam_gam", rank=2)[:] = 7.0
    flag("steuer_druck").value, i32("steuer_klog").value = 0, 9
    text("spanug_kennz", 80).value = b"load case A"
    f64("spanug_qqz").value = f64("quer_dt").value = 5.0
    i32("gurt_ig").value = 3
    bb.box_initialize(nw=3, ng=4, nz=2)
    assert (i32("restr_maxgu").value, i32("restr_maxwa").value, i32("restr_maxze").value) == (
        4, 3, 2)
    for name, n in (("wand_yk0", 3), ("wand_bk", 3), ("kraft_t0", 6), ("kraft_tl", 3),
                    ("gurt_yi", 4), ("epigam_epigu", 4)):
        a = array(name)
        assert a.size == (200 if name == "kraft_t0" else 100)  # arrays keep their size
        assert (a[:n] == 0).all() and (a[n:] == 7).all(), name
    assert (ints("wand_ig1")[:3] == 0).all() and (ints("wand_ig1")[3:] == 7).all()
    assert (ints("zelle_iak")[:2] == 0).all() and (ints("zelle_iak")[2:] == 7).all()
    ia = ints("zelle_ia", 2)
    assert (ia[:4, :2] == 0).all() and (ia[4:, :] == 7).all() and (ia[:, 2:] == 7).all()
    gam = array("epigam_gam", rank=2)
    assert (gam[:3] == 0).all() and (gam[3:] == 7).all()
    assert (array("wand_e") == 7).all()  # neither cleared nor read
    assert i32("steuer_klog").value == 9 and text("spanug_kennz", 80).value == b"load case A"
    assert f64("spanug_qqz").value == f64("quer_dt").value == 0.0
    assert i32("gurt_ig").value == 0


def test_initialize_with_larger_capacities_enlarges_the_arrays(box):
    bb.box_initialize(2, 2, 1)  # the arrays keep 100: nothing to enlarge
    assert array("wand_yk0").size == 100
    bb.box_initialize(150, 120, 101)
    assert array("wand_yk0").shape == (150,) and array("kraft_t0").shape == (300,)
    assert array("epigam_epi", rank=2).shape == (150, 3)
    assert array("gurt_myi").shape == (120,) and array("epigam_epigu").shape == (120,)
    assert ints("zelle_iak").shape == (101,) and ints("zelle_ia", 2).shape == (120, 101)
    array("wand_e")[:] = np.arange(150)
    bb.box_initialize(160, 1, 1)  # wand::e keeps its values when enlarged
    e = array("wand_e")
    assert e.size == 160 and (e[:150] == np.arange(150)).all() and (e[150:] == 0).all()
    # a section filling the enlarged arrays is analysed
    n = 150
    angle = np.linspace(0, 2 * np.pi, n, endpoint=False)
    bb.box_initialize(n, n, 1)
    booms = [(math.cos(a), math.sin(a), 0.0, 0.0) for a in angle]
    walls = [(i + 1, (i + 1) % n + 1, 1.0, 1.0, 0.0) for i in range(n)]
    section(booms, walls, [list(range(1, n + 1))])
    bb.box_getxsection()
    assert errstat() == 0
    # thin circular tube of radius 1: Bredt's 4 A^2 G t / perimeter with the polygon's A
    area, perimeter = n / 2 * math.sin(2 * math.pi / n), 2 * n * math.sin(math.pi / n)
    assert f64("quer_dt").value == pytest.approx(4 * area**2 / perimeter, rel=1e-12)


@pytest.mark.parametrize("count,sized", [("wand_kw", "wand_yk0"), ("gurt_ig", "gurt_myi"),
                                         ("zelle_az", "zelle_iak"), ("wand_kw", None)])
def test_counts_beyond_the_capacities_are_refused(box, count, sized):
    section(SQUARE_BOOMS, SQUARE_WALLS, [[1, 2, 3, 4]])
    i32(count).value = array(sized).size + 1 if sized else -1
    bb.box_getxsection()
    assert errstat() == -3
    assert errtext() == (
        "GetEquivalentXSection: box-beam counts beyond the capacities given to Initialize")
    assert all(v == 0.0 for v in quer().values())  # nothing computed


def test_a_cell_with_more_booms_than_rows_is_refused(box):
    section(SQUARE_BOOMS, SQUARE_WALLS, [[1, 2, 3, 4]])
    ints("zelle_iak")[0] = ints("zelle_ia", 2).shape[0] + 1
    bb.box_getxsection()
    assert errstat() == -3


def test_analysis_before_initialize_is_refused():
    proc = run_python("""
        import _vorlen
        _vorlen.boxbeamio.box_getxsection()
        print(_vorlen.errorhandling.errstat)
        print(bytes(_vorlen.errorhandling.errstring).decode().rstrip())
    """)
    assert proc.returncode == 0, proc.stderr
    assert proc.stdout.splitlines() == [
        "-3", "GetEquivalentXSection: box-beam data not allocated: Initialize first"]


# ------------------------------------------------------------------ closed square cell

def test_square_cell_by_hand(box):
    section(SQUARE_BOOMS, SQUARE_WALLS, [[1, 2, 3, 4]])
    bb.box_getxsection()
    q = quer()
    wall_length = 2.0
    bending = 4 * B * 1.0 + BK * (2 * wall_length * 1.0 + 2 * 2.0 / 3.0)  # sum b z^2
    assert q["bx"] == pytest.approx(4 * B + 4 * BK * wall_length)
    assert q["m"] == pytest.approx(4 * MY + 4 * RHO * wall_length)
    for centre in ("ys", "zs", "yt", "zt"):
        assert q[centre] == pytest.approx(0.0, abs=1e-15)
    assert q["dyy"] == pytest.approx(bending) and q["dzz"] == pytest.approx(bending)
    assert q["dzy"] == pytest.approx(0.0, abs=1e-15)
    # every direction is principal: the angle stays pi/8 as the report gives it
    assert q["alpha"] == 0.3926991
    assert q["dyyste"] == pytest.approx(bending) and q["dzzste"] == pytest.approx(bending)
    # shear centre at the origin by symmetry
    for sc in ("ymst", "zmst", "ymstac", "zmstac"):
        assert q[sc] == pytest.approx(0.0, abs=1e-14)
    # Bredt: 4 A^2 / sum(l / (G t))
    assert q["dt"] == pytest.approx(4 * 4.0**2 / (4 * wall_length / GK), rel=1e-14)
    # polar mass moment: booms at radius^2 2, walls: rho * integral (y^2 + z^2) = 8/3 each
    assert q["itt"] == pytest.approx(4 * MY * 2 + 4 * RHO * 8 / 3)
    assert q["iyys"] == pytest.approx(4 * MY + RHO * (2 * 2.0 + 2 * 2 / 3))
    assert q["izzs"] == pytest.approx(q["iyys"]) and q["izys"] == pytest.approx(0, abs=1e-14)


def test_square_cell_flows_balance_the_load(box):
    load = (2.0, 0.3, 1.0, 0.5, 3.0, -1.0)
    section(SQUARE_BOOMS, SQUARE_WALLS, [[1, 2, 3, 4]], load)
    bb.box_getxsection()
    assert wall_resultants(SQUARE_BOOMS, SQUARE_WALLS) == pytest.approx(load, abs=1e-13)
    dt = f64("quer_dt").value
    assert array("kraft_t0")[4] == pytest.approx(load[3] / dt)  # twist MX / GJ
    # normal strain law of a symmetric section about its centre
    q = quer()
    for i, (y, z, *_) in enumerate(SQUARE_BOOMS):
        strain = load[0] / q["bx"] + load[4] * z / q["dyy"] - load[5] * y / q["dzz"]
        assert array("epigam_epigu")[i] == pytest.approx(strain)
    epi = array("epigam_epi", rank=2)
    for k, (a, b, *_) in enumerate(SQUARE_WALLS):
        (y0, z0), (y1, z1) = SQUARE_BOOMS[a - 1][:2], SQUARE_BOOMS[b - 1][:2]
        for j, (y, z) in enumerate([(y0, z0), ((y0 + y1) / 2, (z0 + z1) / 2), (y1, z1)]):
            strain = load[0] / q["bx"] + load[4] * z / q["dyy"] - load[5] * y / q["dzz"]
            assert epi[k, j] == pytest.approx(strain)
    # shear strains are the flows over the shear stiffness
    gam = array("epigam_gam", rank=2)
    assert gam[:4, 0] == pytest.approx(array("kraft_t0")[:4] / GK)
    assert gam[:4, 2] == pytest.approx(array("kraft_tl")[:4] / GK)


def test_reversed_cell_gives_the_same_section(box):
    section(SQUARE_BOOMS, SQUARE_WALLS, [[1, 2, 3, 4]], (0, 0.3, 1.0, 0.5, 0, 0))
    bb.box_getxsection()
    forward, t0 = quer(), array("kraft_t0")[:5].copy()
    section(SQUARE_BOOMS, SQUARE_WALLS, [[4, 3, 2, 1]], (0, 0.3, 1.0, 0.5, 0, 0))
    bb.box_getxsection()
    assert quer() == pytest.approx(forward, abs=1e-14)
    assert array("kraft_t0")[:5] == pytest.approx(t0)


# ------------------------------------------------------------------ open sections

CHANNEL_BOOMS = [(1.0, 1.0, 0.0, 0.0), (0.0, 1.0, 0.0, 0.0), (0.0, -1.0, 0.0, 0.0),
                 (1.0, -1.0, 0.0, 0.0)]
CHANNEL_WALLS = [(1, 2, 1.0, 0.4, 0.0), (2, 3, 1.0, 0.4, 0.0), (3, 4, 1.0, 0.4, 0.0)]


def test_channel_shear_centre(box):
    section(CHANNEL_BOOMS, CHANNEL_WALLS, [], (0.0, 0.7, 1.0, 0.0, 0.0, 0.0))
    array("kraft_t0")[3] = 99.0
    bb.box_getxsection()
    q = quer()
    # flanges b = 1 and web h = 2 of equal thickness: e = 3 b^2 / (h + 6 b) behind the web
    assert q["ymstac"] == pytest.approx(-3.0 / (2.0 + 6.0), rel=1e-12)
    assert q["zmstac"] == pytest.approx(0.0, abs=1e-14)
    assert q["ys"] == pytest.approx(0.25) and q["dt"] == 0.0
    assert array("kraft_t0")[3] == 99.0  # no twist entry for an open section
    # the flows carry the shear forces, acting through the shear centre
    res = wall_resultants(CHANNEL_BOOMS, CHANNEL_WALLS)
    assert res[1:3] == pytest.approx([0.7, 1.0], abs=1e-13)
    assert res[3] == pytest.approx(q["ymstac"] * 1.0 - q["zmstac"] * 0.7, abs=1e-13)


def test_open_section_ignores_the_torque(box):
    section(CHANNEL_BOOMS, CHANNEL_WALLS, [], (0.0, 0.7, 1.0, 0.0, 0.0, 0.0))
    bb.box_getxsection()
    flows = array("kraft_t0")[:3].copy(), array("kraft_tl")[:3].copy()
    f64("spanug_qmx").value = 5.0
    flag("steuer_druck").value = 1
    bb.box_getxsection()
    assert (array("kraft_t0")[:3] == flows[0]).all() and (array("kraft_tl")[:3] == flows[1]).all()
    lines = report_lines(box / "report.txt")
    assert ('0DRILLWINKEL KANN NICHT BERECHNET WERDEN, DA OFFENES PROFIL "KEINE" '
            'DRILLSTEIFIGKEIT BESITZT.') in lines
    assert " " * 26 + "TORSIONSSTEIFIGKEIT DT = 0.000000000D+00  (K * L**2)" in lines
    assert not any("SPEZIFISCHE VERDREHUNG" in s for s in lines)


def test_strain_guards_of_booms_and_walls_without_stiffness(box):
    # boom 2 without axial stiffness, wall 1 with |bk| below 1e-9, wall 3 without shear
    # stiffness: their strains are 0 while the others follow the strain law and the flows
    booms = [(1.0, 1.0, 1.0, 0.0), (0.0, 1.0, 0.0, 0.0), (0.0, -1.0, 1.0, 0.0),
             (1.0, -1.0, 1.0, 0.0)]
    walls = [(1, 2, 5e-10, 0.4, 0.0), (2, 3, 1.0, 0.4, 0.0), (3, 4, 1.0, 0.0, 0.0)]
    section(booms, walls, [], (0.0, 0.0, 1.0, 0.0, 1.0, 0.0))
    bb.box_getxsection()
    epigu, epi = array("epigam_epigu"), array("epigam_epi", rank=2)
    gam, t0, tl = array("epigam_gam", rank=2), array("kraft_t0"), array("kraft_tl")
    assert epigu[1] == 0.0 and epigu[0] != 0.0
    assert (epi[0] == 0.0).all() and array("kraft_nx0")[0] != 0.0
    assert epi[1, 0] == pytest.approx(array("kraft_nx0")[1] / 1.0)
    assert (gam[2] == 0.0).all() and tl[2] != 0.0
    assert gam[1, 0] == pytest.approx(t0[1] / 0.4)


# ------------------------------------------------------------------ principal axes

def principal_check(load=(0.0, 0.0, 0.0, 0.0, 1.0, 0.5)):
    q = quer()
    d = np.array([[q["dyy"], q["dzy"]], [q["dzy"], q["dzz"]]])  # sums of b (z z, z y, y y)
    # z* = cos(a) z - sin(a) y: DYY* belongs to the direction (cos a, -sin a) in (z, y)
    v = np.array([math.cos(q["alpha"]), -math.sin(q["alpha"])])
    assert d @ v == pytest.approx(q["dyyste"] * v, rel=1e-12, abs=1e-12 * abs(d).max())
    assert sorted([q["dyyste"], q["dzzste"]]) == pytest.approx(np.linalg.eigh(d)[0], rel=1e-12)
    return q


def test_principal_axes_of_a_z_section(box):
    booms = [(-1.0, 1.0, 0.5, 0.0), (0.0, 1.0, 1.0, 0.0), (0.0, -1.0, 1.0, 0.0),
             (1.0, -1.0, 0.5, 0.0)]
    walls = [(1, 2, 2.0, 1.0, 0.0), (2, 3, 3.0, 1.0, 0.0), (3, 4, 2.0, 1.0, 0.0)]
    load = (1.0, 0.0, 0.0, 0.0, 2.0, 0.5)
    section(booms, walls, [], load)
    bb.box_getxsection()
    q = principal_check()
    assert q["dzy"] < 0 and abs(q["alpha"]) > 0.1
    assert q["ymstac"] == pytest.approx(0.0, abs=1e-14)  # point symmetry: the centre
    res = wall_resultants(booms, walls)
    assert res[[0, 4, 5]] == pytest.approx([load[0], load[4], load[5]], abs=1e-13)


def test_principal_axes_when_the_stiffnesses_are_equal_but_coupled(box):
    # an angle whose legs give DYY = DZZ = 3 exactly and DZY = -1: the principal axes lie at
    # -pi/4, with DYY* = 2 and DZZ* = 4
    booms = [(0.0, 0.0, 2.0, 0.0), (2.0, 0.0, 1.0, 0.0), (0.0, 2.0, 1.0, 0.0)]
    walls = [(1, 2, 0.0, 1.0, 0.0), (1, 3, 0.0, 1.0, 0.0)]
    load = (0.0, 0.0, 0.0, 0.0, 1.0, 0.0)
    section(booms, walls, [], load)
    bb.box_getxsection()
    q = principal_check()
    assert (q["dyy"], q["dzz"], q["dzy"]) == (3.0, 3.0, -1.0)
    assert q["alpha"] == pytest.approx(-math.pi / 4, rel=1e-15)
    assert (q["dyyste"], q["dzzste"]) == pytest.approx((2.0, 4.0))
    # the boom forces carry the bending moment MY alone
    res = wall_resultants(booms, walls)
    assert res[[0, 4, 5]] == pytest.approx([0.0, 1.0, 0.0], abs=1e-14)
    # the shear centre of an angle is its corner
    assert (q["ymstac"], q["zmstac"]) == pytest.approx((0.0, 0.0), abs=1e-14)


# ------------------------------------------------------------------ two-cell box

TWO_CELL_BOOMS = [(0.0, 1.0, 2.0, 0.1), (2.0, 1.2, 3.0, 0.2), (5.0, 0.8, 1.0, 0.1),
                  (5.0, -0.8, 1.0, 0.1), (2.0, -1.2, 3.0, 0.2), (0.0, -1.0, 2.0, 0.1)]
TWO_CELL_WALLS = [(1, 2, 0.5, 0.2, 0.01), (2, 3, 0.5, 0.2, 0.01), (3, 4, 0.8, 0.3, 0.01),
                  (4, 5, 0.5, 0.2, 0.01), (5, 6, 0.5, 0.2, 0.01), (6, 1, 0.8, 0.3, 0.01),
                  (2, 5, 0.8, 0.3, 0.01)]
TWO_CELLS = [[1, 2, 5, 6], [2, 3, 4, 5]]


def test_two_cell_box_in_equilibrium_and_compatible(box):
    load = (1.5, -0.4, 2.0, 0.7, 3.0, -2.0)
    section(TWO_CELL_BOOMS, TWO_CELL_WALLS, TWO_CELLS, load)
    bb.box_getxsection()
    assert errstat() == 0
    assert wall_resultants(TWO_CELL_BOOMS, TWO_CELL_WALLS) == pytest.approx(load, abs=1e-12)
    # each cell twists by the same theta: the flow over G t around the cell is 2 A theta
    t0, tl2, tl = (array("kraft_" + n) for n in ("t0", "tl2", "tl"))
    theta = t0[7]
    for ring in TWO_CELLS:
        pts = [TWO_CELL_BOOMS[b - 1][:2] for b in ring]
        twice_area = sum(y0 * z1 - y1 * z0 for (y0, z0), (y1, z1) in zip(pts, pts[1:] + pts[:1]))
        circulation = 0.0
        for a, b in zip(ring, ring[1:] + ring[:1]):
            k, sign = next((k, s) for k, w in enumerate(TWO_CELL_WALLS)
                           for s in (1, -1) if (w[0], w[1]) == ((a, b) if s > 0 else (b, a)))
            (y0, z0), (y1, z1) = (TWO_CELL_BOOMS[TWO_CELL_WALLS[k][i] - 1][:2] for i in (0, 1))
            length = math.hypot(y1 - y0, z1 - z0)
            circulation += sign * length * (t0[k] + 4 * tl2[k] + tl[k]) / 6 / TWO_CELL_WALLS[k][3]
        assert circulation == pytest.approx(twice_area * theta, rel=1e-11)


def test_two_cell_torsional_stiffness_by_bredt_batho(box):
    section(TWO_CELL_BOOMS, TWO_CELL_WALLS, TWO_CELLS)
    bb.box_getxsection()
    # cell flows q1, q2 and twist theta under a unit torque T = 2 A1 q1 + 2 A2 q2, with
    # (1 / 2 A_i) * sum over the cell of (q_i - q_other) l / (G t) = theta
    def length(k):
        (y0, z0), (y1, z1) = (TWO_CELL_BOOMS[TWO_CELL_WALLS[k][i] - 1][:2] for i in (0, 1))
        return math.hypot(y1 - y0, z1 - z0) / TWO_CELL_WALLS[k][3]
    a1, a2 = 0.5 * (2 * 2.0 + 2 * 2.4), 0.5 * (3 * 2.4 + 3 * 1.6)
    r1 = sum(length(k) for k in (0, 4, 5, 6))
    r2 = sum(length(k) for k in (1, 2, 3, 6))
    shared = length(6)
    m = np.array([[r1, -shared, -2 * a1], [-shared, r2, -2 * a2], [2 * a1, 2 * a2, 0.0]])
    q1, q2, theta = np.linalg.solve(m, [0.0, 0.0, 1.0])
    assert f64("quer_dt").value == pytest.approx(1.0 / theta, rel=1e-12)


# ------------------------------------------------------------------ report and dump files

def run_report(tmp_path, druck, exdru, cells=([1, 2, 3, 4],)):
    flag("steuer_druck").value, flag("steuer_exdru").value = druck, exdru
    section(SQUARE_BOOMS, SQUARE_WALLS, cells, (0.0, 0.0, 1.0, 0.0, 0.0, 0.0))
    bb.box_getxsection()
    return tmp_path / "report.txt", tmp_path / "dump.txt"


def test_report_lines_of_the_square_cell(box):
    report, dump = run_report(box, 1, 0)
    lines = report_lines(report)
    assert lines[3:6] == [" GURTPARAMETER", " =============", ""]
    # the column heads end with the blanks of their last nX
    assert lines[6] == " NR" + "".join(" " * 9 + h for h in ("YI ", "ZI ", "BI ", "MYI")) + " " * 9
    assert " NR     IG1     IG2     IG3     IG4     " in lines
    assert "  1       1.000       1.000   0.100E+01   0.500E+00" in lines
    assert ("  4       4       1       0       4       1.000      -1.000       1.000       1.000"
            "   0.100E+01   0.100E+01   0.100E+00") in lines
    assert "  1       1       2       3       4" in lines
    assert "   QX =  0.000000000D+00     QY =  0.000000000D+00     QZ =  0.100000000D+01" in lines
    assert "+" + " " * 19 + "Q U E R S C H N I T T S G R O E S S E N" in lines
    assert " " * 20 + "-" * 39 in lines
    assert ("0" + " " * 30 + "HAUPTACHSENWINKEL =  0.392699100D+00  (RADIAN)   =    22.50  (GRAD)"
            in lines)
    assert " " * 26 + "TORSIONSSTEIFIGKEIT DT = 0.800000000D+01  (K * L**2)" in lines
    # extended blocks only with exdru; no dump file
    assert not any("DEHNSTEIFIGKEIT" in s or "SSTYK" in s or "KONTROLL" in s for s in lines)
    assert not dump.exists()
    assert lines[-1] == ""  # the last record ends with its line end
    assert "AEQUIVALENTE KNOTENKRAEFTE IN  Z-RICHTUNG" in report.read_text()


def test_extended_report_and_dump_file(box):
    report, dump = run_report(box, 1, 1)
    text_ = report.read_text()
    for block in ("DEHNSTEIFIGKEIT DES TRAEGERS =  0.120000000D+02  (K)", "SSTYK",
                  "KONTROLLAUSDRUCK GLEICHUNGSSYSTEM:", "LOESUNGEN DES GLEICHUNGSSYSTEMS:",
                  "FEHLERVEKTOR", "SPX =  0.000000000D+00", "SPZ =  0.100000000D+01"):
        assert block in text_
    records = dump.read_text().split("\n")
    assert records[:3] == [" Wand: 1", " PHIK,ZKLK,ZK0 0 1 1", " LAMK,YKLK,YK0 -2 -1 1"]
    assert " H1, MY, ZS, QX 0 0 0 0" in records
    assert records.count(" Wand: 4") == 3  # moments, first moments, shear flows
    # the report is appended to, the dump file too (it stays connected)
    run_report(box, 1, 1)
    assert report.read_text().count("GURTPARAMETER") == 2
    assert dump.read_text().count(" Wand: 4") == 6


def test_no_report_without_druck_and_the_same_results(box):
    _, _ = run_report(box, 1, 1)
    with_report = quer()
    os.remove(box / "report.txt")
    os.remove(box / "dump.txt")
    report, dump = run_report(box, 0, 1)
    assert not report.exists() and not dump.exists()
    assert quer() == with_report


def test_cell_echo_shows_four_booms(box):
    flag("steuer_druck").value = 1
    booms = SQUARE_BOOMS + [(2.0, 0.0, 1.0, 0.0)]
    walls = [(1, 2, 1, 1, 0), (2, 3, 1, 1, 0), (3, 4, 1, 1, 0), (4, 5, 1, 1, 0), (5, 1, 1, 1, 0)]
    section(booms, walls, [[1, 2, 3, 4, 5]])
    bb.box_getxsection()
    lines = report_lines(box / "report.txt")
    assert "  1       1       2       3       4" in lines


# ------------------------------------------------------------------ failures

@pytest.mark.parametrize("druck", [1, 0])
@pytest.mark.parametrize("ring, reason, pair", [
    ([1, 2, 3, 4], "no wall joins booms 4 and 1 of cell 1", "   4  UND   1"),
    ([1, 2, 3, 9], "cell 1 names boom 9, outside 1 to 4", "   3  UND   9"),
    ([0, 1, 2, 3], "cell 1 names boom 0, outside 1 to 4", "   0  UND   1"),
])
def test_cell_without_closing_wall_ends_the_process_with_failure(tmp_path, druck, ring, reason,
                                                                 pair):
    report = tmp_path / "report.txt"
    proc = run_python(f"""
        import sys
        sys.path.insert(0, {os.path.dirname(__file__)!r})
        import test_boxbeam as t
        _vorlen = t._vorlen
        _vorlen.boxbeamio.box_initialize()
        t.flag("steuer_druck").value = {druck}
        t.i32("steuer_klog").value = 7
        t.text("path_csinfopath", 240).value = {str(report).encode()!r}
        t.section(t.SQUARE_BOOMS, t.SQUARE_WALLS[:3] + [(4, 2, 1.0, 1.0, 0.0)], [{ring}])
        _vorlen.boxbeamio.box_getxsection()
        print("not reached")
    """)
    assert proc.returncode == 1, proc.stdout + proc.stderr
    assert "not reached" not in proc.stdout
    assert proc.stderr == f"GetEquivalentXSection: {reason}\n"
    if not druck:
        assert not report.exists()
        return
    lines = report_lines(report)
    i = lines.index("0   F E H L E R M E L D U N G:")
    assert lines[i + 2] == (f"     IN ZELLE   1  WURDE DIE WAND ZWISCHEN DEN GURTEN{pair}"
                            "  NICHT DEFINIERT !!")


@pytest.mark.parametrize("name", ["missing/report.txt", ""])
def test_report_file_that_cannot_be_opened_ends_the_process(tmp_path, name):
    path = str(tmp_path / name) if name else ""
    proc = run_python(f"""
        import sys
        sys.path.insert(0, {os.path.dirname(__file__)!r})
        import test_boxbeam as t
        t._vorlen.boxbeamio.box_initialize()
        t.flag("steuer_druck").value = 1
        t.i32("steuer_klog").value = 7
        t.text("path_csinfopath", 240).value = {path.encode()!r}
        t.section(t.SQUARE_BOOMS, t.SQUARE_WALLS, [[1, 2, 3, 4]])
        t._vorlen.boxbeamio.box_getxsection()
        print("not reached")
    """)
    assert proc.returncode == 1
    assert proc.stdout == f' Cannot open file "{path}" on unit 7\n'


# Sections whose shear-flow systems have no usable pivot: (booms, walls, cells, load, the step
# of the abort line, the system named). The triangle's cell [1, 2] goes out along wall 1-2 and
# back along it: its area and so the twist column are zero, and the walls all meet at boom 2,
# the shear centre (2, 1).
TRIANGLE = [(0.0, 0.0, 1.0, 1.0), (2.0, 1.0, 1.0, 1.0), (0.0, 2.0, 1.0, 1.0)]
NO_LOAD = (0.0,) * 6
FAILED_SOLVES = {
    # an open section whose first wall joins no boom: its column is zero, no pivot at step 1
    "first shear-centre pass": (CHANNEL_BOOMS[:3], [(7, 8, 1.0, 1.0, 0.0), (2, 3, 1.0, 1.0, 0.0)],
                                [], (0, 0, 1.0, 0, 0, 0), 1, "shear-centre"),
    # the last wall joins no boom, and boom 3 no wall: the unit shear along z* leaves boom 3
    # (at z* = 0) unloaded and the free flow is set to 1; the one along y* loads it
    "second shear-centre pass": ([(0.0, 1.0, 1.0, 0.0), (0.0, -1.0, 1.0, 0.0),
                                  (2.0, 0.0, 1.0, 0.0)],
                                 [(1, 2, 0.0, 1.0, 0.0), (7, 8, 0.0, 1.0, 0.0)], [], NO_LOAD, 2,
                                 "shear-centre"),
    # a shear force with no twist to balance it in the cell row
    "load system": (TRIANGLE, [(1, 2, 1.0, 1.0, 0.0), (2, 1, 1.0, 1.0, 0.0), (2, 3, 1.0, 1.0, 0.0)],
                    [[1, 2]], (0.0, 1.0, 0.0, 0.0, 0.0, 0.0), 4, "load"),
    # no load (the twist is free and set to 1), but a unit torque that no cell carries
    "unit-torque system": (TRIANGLE, [(2, 3, 1.0, 1.0, 0.0), (1, 2, 1.0, 1.0, 0.0),
                                      (2, 1, 1.0, 1.0, 0.0)], [[1, 2]], NO_LOAD, 4, "unit-torque"),
}


@pytest.mark.parametrize("case", FAILED_SOLVES)
def test_failed_solve_is_reported_and_leaves_no_earlier_result(box, case):
    # a box whose right web is twice as stiff in shear: shear centre 13/11 from the left web
    booms = [(0.0, 0.5, 1.0, 0.2), (2.0, 0.5, 1.0, 0.2), (2.0, -0.5, 1.0, 0.2),
             (0.0, -0.5, 1.0, 0.2)]
    walls = [(1, 2, 0.0, 1.0, 0.0), (2, 3, 0.0, 2.0, 0.0), (3, 4, 0.0, 1.0, 0.0),
             (4, 1, 0.0, 1.0, 0.0)]
    section(booms, walls, [[1, 2, 3, 4]], (0.0, 0.3, 1.0, 0.5, 0.0, 0.0))
    bb.box_getxsection()
    before = quer()
    assert before["ymstac"] == pytest.approx(13 / 11) and before["dt"] != 0
    assert errstat() == 0 and (array("kraft_tl")[:4] != 0).all()

    booms, walls, cells, load, step, system = FAILED_SOLVES[case]
    flag("steuer_druck").value = 1
    section(booms, walls, cells, load)
    bb.box_getxsection()
    assert errstat() == -2
    assert errtext() == f"Singular {system} system in GetEquivalentXSection"
    lines = report_lines(box / "report.txt")
    assert f" ABBRUCH DER REDUKTION IN SCHRITT  {step}. PIVOTELEMENT IST ZU KLEIN" in lines
    after, kw = quer(), len(walls)
    assert after["bx"] == 3.0 + (3 * math.sqrt(5) if booms is TRIANGLE else 0.0)
    assert after["dt"] == 0.0
    if system == "unit-torque":  # the load case stands: no flows, the free twist, the masses
        assert (array("kraft_t0")[:kw + 1] == [0, 0, 0, 1]).all()
        assert after["iyys"] + after["izzs"] == pytest.approx(5.0 + 5.0)  # about (2, 1)
        return
    centre = ("ymst", "zmst", "ymstac", "zmstac")
    if system == "load":
        assert (after["ymstac"], after["zmstac"]) == pytest.approx((2.0, 1.0))
    else:
        assert not any("SCHUBMITTELPUNKTS" in s for s in lines)
        assert all(after[name] == 0.0 for name in centre), after
    for name in ("iyys", "izys", "izzs"):
        assert after[name] == 0.0, name
    assert (array("kraft_t0")[:kw + (1 if cells else 0)] == 0).all()
    for name in ("kraft_tl2", "kraft_tl"):
        assert (array(name)[:kw] == 0).all(), name
    assert (array("epigam_gam", rank=2)[:kw] == 0).all()


def test_nodal_forces_of_a_uniform_flow(box, capfd):
    # wall 1 from (0, 0) to (3, 4) with the flows q = 6 and n = 12 all along: the nodal forces
    # are the resultants times 1/6, 4/6, 1/6
    i32("wand_kw").value = 1
    ints("wand_ig1")[0], ints("wand_ig2")[0] = 1, 100
    array("wand_yklk")[0], array("wand_zklk")[0] = 3.0, 4.0
    for name, value in (("t0", 6.0), ("tl2", 6.0), ("tl", 6.0), ("nx0", 12.0), ("nxl2", 12.0),
                        ("nxl", 12.0)):
        array("kraft_" + name)[0] = value
    flag("steuer_druck").value = flag("steuer_exdru").value = 1
    i32("steuer_klog").value = 6  # standard output
    capfd.readouterr()
    lib.KNKRFT(ctypes.byref(ctypes.c_int32(0)))  # a table extent below kw is enlarged
    lines = capfd.readouterr().out.split("\n")
    sums = [s for s in lines if "SP" in s]
    assert sums == ["          SPX =  0.600000000D+02", "          SPY =  0.180000000D+02",
                    "          SPZ =  0.240000000D+02"]
    rows = [s for s in lines if s.startswith("      1         1")]
    # boom 100 does not fit the two-digit column
    assert rows == ["      1         1       0.100000000D+02      0.400000000D+02      "
                    "0.100000000D+02     **",
                    "      1         1       0.300000000D+01      0.120000000D+02      "
                    "0.300000000D+01     **",
                    "      1         1       0.400000000D+01      0.160000000D+02      "
                    "0.400000000D+01     **"]
