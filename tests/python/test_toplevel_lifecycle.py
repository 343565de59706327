"""Analysis lifecycle: step table and impactor records from the input deck, the work around every
increment (impactor motion, overload flag, section and transverse stores, fatigue cycle number,
clearing), the explicit relay and the release; the guards against tables that do not fit."""
import ctypes as C

import numpy as np
import pytest

import _vorlen
from conftest import errstat, errtext, run_python

tl = _vorlen.toplevel
G = 9.80665
REFUSED = ("Cannot process any input file. Execution stops. Please check paths and your input "
           "deck format.")[:80]


class _Alloc2(C.Structure):
    _fields_ = [("data", C.c_void_p), ("blk", C.c_void_p), ("ext", C.c_int64 * 2)]


class _Alloc1(C.Structure):
    _fields_ = [("data", C.c_void_p), ("blk", C.c_void_p), ("ext", C.c_int64 * 1)]


_lib = C.CDLL("libvorlen.so")


def window_extents():
    """Extents of the lifecycle's force window and sample counts (None when freed)."""
    w = _Alloc2.in_dll(_lib, "toplevel_window")
    d = _Alloc1.in_dll(_lib, "toplevel_denom")
    return (tuple(w.ext) if w.blk else None), (tuple(d.ext) if d.blk else None)


def absent(a):
    return a is None or a.size == 0


def lop(code, kstep=1, kinc=1, dtime=0.0, exflag=0):
    tl.uexternaldb_iocontrol(code, 0, [0.0, 0.0], dtime, kstep, kinc, exflag)


def relay(k, kstep=1, kinc=1, dt=0.0, **kw):
    tl.vexternaldb_iocontrol(k, np.array([0, 0, kstep, kinc], np.int32), [0.0, 0.0, dt], **kw)


@pytest.fixture
def job(clean_store, tmp_path):
    """start(deck text or None for no deck, cards) starts an analysis in tmp_path."""
    def start(deck, cards=None, code=0):
        if deck is not None:
            (tmp_path / "job.inp").write_text(deck)
        for name, text in (cards or {}).items():
            (tmp_path / name).write_text(text)
        clean_store.jobdata.jobfilepath = str(tmp_path / "job")
        clean_store.jobdata.joboutdir = str(tmp_path)
        lop(code)
        return clean_store
    start.folder = tmp_path
    yield start
    lop(3)


def impact_deck(positions, keyword="VRL_IMPACT"):
    lines = ["*Heading"]
    for k, p in enumerate(positions):
        lines += [f"*Instance, name=I{k}, VRL_SENSORELEMENT", ", ".join(map(str, p))]
    return "\n".join(lines + [f"*Step, name=S, {keyword}", "*End Step"]) + "\n"


# ------------------------------------------------------------------ start: steps and records

@pytest.mark.parametrize("deck, types", [
    ("*Step, name=a\n*Step, name=b, VRL_IMPACT\n*Step, name=c\n", [1, 3, 1]),
    ("*STEP, VRL_DIC VRL_IMPACT\n", [3]),                      # keyword order: first match wins
    ("*step, perturbation, vrl_relaxation\n*Step,VRL_INITIALIZATION\n", [4, 0]),
    ("*Step, VRL_DIC\n *Step, VRL_IMPACT\n*Step, VRL_STRUCTRESPONSE\n", [5, 2, 1]),  # column 1
    ("*Step VRL_IMPACT\n*Steps, VRL_IMPACT\n", [1, 1]),         # no comma; head not "*STEP"
    ("*Heading\n", []),
])
def test_step_types_from_the_deck(job, deck, types):
    v = job(deck)
    assert errstat() == 0
    assert (int(v.jobdata.nsteps), int(v.jobdata.solverid)) == (len(types), 1)
    np.testing.assert_array_equal(v.jobdata.stepid, types)
    assert int(v.loaddata.nimp) == 0
    assert v.impactdata.cprops.shape == (20, 0) and v.loaddata.dprops.shape == (12, 0)
    assert window_extents() == ((5, 0), (0,))


def test_impactor_and_load_records_start_values(job):
    deck = ("*Heading\n*Instance, name=A, vrl_sensorelement\n0.5, -1.25, 3e-2\n"
            "*Step, name=S, VRL_IMPACT, VRL_SENSORELEMENT\n  7 8.5d0 9\n*End Step\n")
    v = job(deck)
    assert errstat() == 0 and int(v.loaddata.nimp) == 2
    np.testing.assert_array_equal(v.jobdata.stepid, [3])
    expected = np.zeros((20, 2))
    expected[5] = G
    expected[13] = [1.0, 2.0]
    expected[14] = 1e-10
    np.testing.assert_array_equal(v.impactdata.cprops, expected)
    load = np.zeros((12, 2))
    load[1:4] = [[0.5, 7.0], [-1.25, 8.5], [0.03, 9.0]]
    np.testing.assert_array_equal(v.loaddata.dprops, load)
    assert window_extents() == ((5, 2), (2,))


@pytest.mark.parametrize("line, position", [
    ("1.0," + " " * 260 + "2.0, 3.0\n7 8 9\n", [1.0, 2.0, 3.0]),  # read whole
    (" " * 300 + "4 5 6\n", [4.0, 5.0, 6.0]),
], ids=["split-at-column-256", "beyond-column-256"])
def test_long_position_line_read_whole(job, line, position):
    v = job("*Step, VRL_IMPACT\n*Instance, I, VRL_SENSORELEMENT\n" + line)
    assert errstat() == 0 and int(v.loaddata.nimp) == 1
    np.testing.assert_array_equal(v.loaddata.dprops[1:4, 0], position)


@pytest.mark.parametrize("deck, types, nimp", [
    ("*Step, name=" + "x" * 80 + ", VRL_IMPACT\n", [1], 0),
    ("*Step, name=" + "x" * 60 + ", VRL_IMPACT\n", [1], 0),   # the keyword across column 80
    ("*Instance, name=" + "x" * 70 + ", VRL_SENSORELEMENT\n1 2 3\n*Step, VRL_FATIGUE\n", [1], 0),
], ids=["step-keyword-beyond", "step-keyword-across", "sensor-keyword-across"])
def test_deck_keyword_beyond_column_80(job, deck, types, nimp):
    v = job(deck)
    assert (errstat(), errtext()) == (-3, "Deck keyword beyond column 80 in UEXTERNALDB_IOControl")
    np.testing.assert_array_equal(v.jobdata.stepid, types)
    assert int(v.loaddata.nimp) == nimp


def test_deck_keyword_within_column_80_of_a_long_line(job):
    v = job("*Step, VRL_FATIGUE, name=" + "x" * 300 + "\n*Step, VRL_IMPACT" + " " * 300 + "z\n")
    assert errstat() == 0
    np.testing.assert_array_equal(v.jobdata.stepid, [1, 3])


@pytest.mark.parametrize("position", ["1.0, 2.0\n", "1 x 3\n", ""])
def test_position_line_missing_or_not_numbers(job, position):
    v = job("*Step, VRL_IMPACT\n*Instance, I, VRL_SENSORELEMENT\n" + position)
    assert errstat() == -3 and errtext().startswith("Impactor position missing")
    assert int(v.loaddata.nimp) == 1
    np.testing.assert_array_equal(v.loaddata.dprops[1:4, 0], 0.0)


def test_refused_restart_keeps_step_table_records_and_impactor_count(job):
    v = job(impact_deck([(1, 2, 3), (4, 5, 6)]))
    v.impactdata.cprops[0, 1] = 42.0
    (job.folder / "job.inp").write_text(impact_deck([(0, 0, 0)] * 3))  # not read again
    lop(4)
    assert errstat() == -3 and errtext() == REFUSED and errtext().endswith("your inpu")
    assert int(v.loaddata.nimp) == 2 and v.impactdata.cprops.shape == (20, 2)
    assert v.impactdata.cprops[0, 1] == 42.0 and int(v.jobdata.nsteps) == 1
    assert window_extents() == ((5, 2), (2,))


def test_start_without_deck_and_cards(job):
    v = job(None)
    assert errstat() == -3 and errtext() == REFUSED
    assert absent(v.jobdata.stepid) and int(v.loaddata.nimp) == 0
    assert absent(v.sectiondata.sefmatrix) and absent(v.sectiondata.sehmatrix)
    lop(1)   # no step table: the increment work does nothing
    lop(2)


def test_window_and_records_sized_at_every_start(job):
    v = job(impact_deck([(0, 0, 0)]))
    assert window_extents() == ((5, 1), (1,))
    tl.uaccess_iocontrol(3, 0.0)                      # frees the store and the window
    assert window_extents() == (None, None) and absent(v.jobdata.stepid)
    v.impactdata.cprops = np.ones((20, 1))             # records of another size from Python
    v.loaddata.dprops = np.ones((12, 1))
    v.loaddata.nimp = 7
    (job.folder / "job.inp").write_text(impact_deck([(1, 1, 1), (2, 2, 2), (3, 3, 3)]))
    lop(0)
    assert errstat() == 0 and int(v.loaddata.nimp) == 3
    assert window_extents() == ((5, 3), (3,))
    assert v.impactdata.cprops.shape == (20, 3) and v.loaddata.dprops.shape == (12, 3)
    np.testing.assert_array_equal(v.loaddata.dprops[1:4], [[1, 2, 3]] * 3)
    np.testing.assert_array_equal(v.impactdata.cprops[[0, 13, 15]], [[0] * 3, [1, 2, 3], [0] * 3])
    # every impactor's window takes its samples: the overload of the seventh shows for all
    for kinc, f in enumerate([50.0, 10, 20, 30, 40, 60, 35], 1):
        lop(1, 1, kinc)
        v.impactdata.cprops[0] = f
        v.impactdata.cprops[6] = 1.0
        lop(2, 1, kinc, 1e-3)
    np.testing.assert_array_equal(v.impactdata.cprops[15], 1.0)
    lop(3)
    assert window_extents() == (None, None)


# ------------------------------------------------------------------ impactor motion

def run_impact(v, scheme, nsteps, dt, force, mass, weight=0.0):
    """Increments of an impact step with a constant contact force; returns x, v, a per state."""
    c = v.impactdata.cprops
    c[7:10, 0] = scheme
    c[6, 0] = mass
    c[19, 0] = weight
    states = [c[3:6, 0].copy()]
    for kinc in range(1, nsteps + 1):
        lop(1, 1, kinc)
        assert c[0, 0] == 0.0                  # the setup clears the force of a massive impactor
        c[0, 0], c[1, 0], c[2, 0] = force, 0.002, 1e-4 * kinc
        lop(2, 1, kinc, dt)
        states.append(c[3:6, 0].copy())
    return np.array(states)


# a constant force F on mass m: a = g - F/m, dv = a dt, second differences of x = a dt^2;
# the first increment starts from x = v = 0, a = g (the record's start values)
M, F, DT = 2.0, 5.0, 1e-3
A = G - F / M


@pytest.mark.parametrize("scheme, weight, x1, v1", [
    ((-1, -1, -1), 0.0, 0.5 * G * DT**2, 0.5 * G * DT + 0.5 * A * DT),      # central difference
    ((-2, -2, -2), 0.5, 0.5 * A * DT**2, DT * (0.5 * G + 0.5 * A)),         # mixed
    ((-2, -2, -2), 0.25, 0.5 * A * DT**2, DT * (0.75 * G + 0.25 * A)),
    ((0.0, 0.25, 0.5), 0.0, DT**2 * 0.25 * (G + A), DT * 0.5 * (G + A)),     # Newmark
    ((-0.1, 0.3025, 0.6), 0.0,                                              # HHT-alpha
     DT**2 * (0.1975 * G + 0.3025 * (G - 0.9 * F / M)), DT * (0.4 * G + 0.6 * (G - 0.9 * F / M))),
    ((-1, -1, -2), 0.0, 0.5 * G * DT**2, G * DT),   # a mixture: HHT form, F' = slot 11 = 0
])
def test_integration_schemes_under_constant_force(job, scheme, weight, x1, v1):
    v = job(impact_deck([(0, 0, 0)]))
    s = run_impact(v, scheme, 8, DT, F, M, weight)
    x, vel = s[:, 0], s[:, 1]
    np.testing.assert_allclose([x[1], vel[1]], [x1, v1], rtol=1e-12)
    np.testing.assert_allclose(np.diff(vel)[2:], A * DT, rtol=1e-9)
    np.testing.assert_allclose(np.diff(x, 2)[2:], A * DT**2, rtol=1e-6)
    np.testing.assert_allclose(s[2:, 2], A, rtol=1e-12)
    c = v.impactdata.cprops[:, 0]
    assert (c[10], c[11], c[12], c[13]) == (F, 0.002, 0.0, F) and c[14] == pytest.approx(8e-4)
    assert errstat() == 0


def test_scheme_none_and_mass_zero(job):
    v = job(impact_deck([(0, 0, 0), (0, 0, 0)]))
    c = v.impactdata.cprops
    c[7:10, :] = 0.0
    c[6] = [3.0, 0.0]                      # impactor 2 has no mass
    for kinc, f in enumerate([50.0, 10, 20, 30, 40], 1):
        lop(1, 1, kinc)
        c[0], c[1], c[2] = f, 0.01 * kinc, 0.001
        lop(2, 1, kinc, 1e-3)
    np.testing.assert_array_equal(c[3:6, 0], [0.0, 0.0, G])       # no integration
    assert (c[10, 0], c[11, 0], c[13, 0], c[14, 0]) == (40.0, 0.05, 50.0, 0.001)
    # no mass: only force and radius become the previous ones
    np.testing.assert_array_equal(c[[3, 4, 5, 10, 11, 13, 14, 15], 1],
                                  [0.0, 0.0, G, 40.0, 0.05, 2.0, 1e-10, 0.0])


def overload_model(forces):
    """Hand model of the flag: the last five forces; raised once a force is below their mean."""
    flags, window, flag = [], [], 0.0
    for f in forces:
        window = (window + [f])[-5:]
        if len(window) == 5 and f < sum(window) / 5:
            flag = 1.0
        flags.append(flag)
    return flags


@pytest.mark.parametrize("forces", [
    [50.0, 10, 20, 30, 40, 60, 35, 100, 200],   # below the mean only at the seventh sample
    [10.0, 20, 30, 40, 5, 100],                  # the fifth sample fills the window
    [40.0, 30, 20, 10, 50, 60, 70],              # falling while the window fills: no flag
])
def test_overload_flag_against_the_five_sample_window(job, forces):
    v = job(impact_deck([(0, 0, 0)]))
    c = v.impactdata.cprops
    c[6, 0] = 1.0
    flags = []
    for kinc, f in enumerate(forces, 1):
        lop(1, 1, kinc)
        c[0, 0] = f
        lop(2, 1, kinc, 1e-3)
        flags.append(c[15, 0])
    assert flags == overload_model(forces)


@pytest.mark.parametrize("forces, mass, after", [
    ((5.0, -5.0), (1.0, 1.0), (5.0, -5.0)),      # a negative force: forces stay
    ((5.0, 6.0), (1.0, 0.0), (0.0, 6.0)),        # else massive impactors lose their force
])
def test_increment_setup_of_impact_steps(job, forces, mass, after):
    v = job(impact_deck([(0, 0, 0), (0, 0, 0)]))
    c = v.impactdata.cprops
    c[0], c[6], c[1], c[2], c[12] = forces, mass, 0.1, 0.2, 0.3
    lop(1)
    np.testing.assert_array_equal(c[0], after)
    zeroed = [True, True] if min(forces) < 0 else [m > 0 for m in mass]
    for row in (1, 2, 12):
        np.testing.assert_array_equal(c[row] == 0.0, zeroed)


def test_relayed_start_of_increment_is_ignored(job):
    v = job(impact_deck([(0, 0, 0)]))
    c = v.impactdata.cprops
    c[0, 0], c[6, 0] = 5.0, 1.0
    relay(3)                               # the explicit start of increment: lop 1, relayed
    lop(1, exflag=1)
    assert c[0, 0] == 5.0
    relay(2)                               # the explicit setup: lop 7
    assert c[0, 0] == 0.0


def test_structural_response_step_clears_slots_14_and_15(job):
    v = job(impact_deck([(0, 0, 0)], "VRL_STRUCTRESPONSE"))
    v.impactdata.cprops[13:15, 0] = [1.0, 5.0]
    lop(2)
    np.testing.assert_array_equal(v.impactdata.cprops[13:15, 0], [0.0, 0.0])


# ------------------------------------------------------------------ stores around increments

def test_section_and_transverse_stores_created_once(job):
    v = job("*Step\n*Step, VRL_FATIGUE\n*Step, VRL_IMPACT\n*Step, VRL_STRUCTRESPONSE\n")
    e, s = v.elementdata, v.sectiondata
    e.nelem = 3
    e.elemkind = np.array([7, 1, 12], np.int32)      # a shell with recovery and a solid
    s.nsectionpoints = np.array([2, 3, 1], np.int32)
    lop(1, kstep=1)                                   # first step: no section stores
    np.testing.assert_array_equal(e.elemlength, -np.ones((3, 3)))
    assert absent(s.sestress)
    lop(1, kstep=4)                                   # structural response: none either
    assert absent(s.sestress)
    lop(1, kstep=2)
    nz = 3 * int(s.nplies)
    assert s.sestress.shape == (6, nz, 27, 3)
    assert s.tnormalstress.shape == (s.plyzcoord.shape[0], 3)
    assert s.tshearstress.shape == (nz, 2, 4, 3)
    s.tnormalstress[:] = 1.0
    lop(1, kstep=3)                                   # created once: kept
    assert s.tnormalstress.sum() == s.tnormalstress.size


@pytest.mark.parametrize("points, plies", [(2147483647, 2147483647), (2147483647, 1000)],
                         ids=["count-overflows", "beyond-memory"])
def test_section_stores_beyond_memory(tmp_path, points, plies):
    # in a child process: such tables ended the process with the allocation message
    (tmp_path / "job.inp").write_text("*Step\n*Step, VRL_FATIGUE\n")
    r = run_python(f"""
        import numpy as np, _vorlen as v
        v.jobdata.jobfilepath = {str(tmp_path / "job")!r}
        v.jobdata.joboutdir = {str(tmp_path)!r}
        lop = lambda code, kstep: v.toplevel.uexternaldb_iocontrol(code, 0, [0.0, 0.0], 0.0,
                                                                   kstep, 1, 0)
        lop(0, 1)
        v.errorhandling.rsxerr(1)
        v.elementdata.nelem = 1
        v.elementdata.elemkind = np.array([1], np.int32)
        v.sectiondata.nsectionpoints = np.array([{points}], np.int32)
        v.sectiondata.nplies = {plies}
        lop(1, 2)
        text = bytes(v.errorhandling.errstring[()]).decode().rstrip()
        print(int(v.errorhandling.errstat), "|", text, "|", v.sectiondata.sestress is None)
    """)
    assert r.returncode == 0, r.stdout + r.stderr
    assert r.stdout.strip().splitlines()[-1] == (
        "-3 | Section stress tables beyond memory in UEXTERNALDB_IOControl | True")


def test_no_transverse_stores_without_a_recovering_shell(job):
    v = job("*Step\n*Step, VRL_IMPACT\n")
    v.elementdata.nelem = 2
    v.elementdata.elemkind = np.array([6, 7], np.int32)
    v.sectiondata.nsectionpoints = np.array([1, 1], np.int32)
    lop(1, kstep=2)
    assert v.sectiondata.sestress.shape == (6, int(v.sectiondata.nplies), 4, 2)
    assert absent(v.sectiondata.tnormalstress) and absent(v.sectiondata.tshearstress)
    assert absent(v.elementdata.elemlength)


def transverse_and_motion(v):
    """Transverse stores of their own extents (fewer rows than the ply count asks, more columns
    than elements) and nodal motion of four elements, one more than the element kinds."""
    s = v.sectiondata
    s.tnormalstress = np.ones((2, 5))
    s.tshearstress = np.ones((3, 2, 4, 2))
    v.elementdata.elemkind = np.array([1, 4, 3], np.int32)
    v.nodaldata.nodesmotion = np.ones((6, 8, 4))


def check_cleared(v, cleared):
    s, m = v.sectiondata, v.nodaldata.nodesmotion
    assert (s.tnormalstress == 0).all() == cleared and (s.tshearstress == 0).all() == cleared
    for e, shell4 in enumerate([True, False, True, False]):
        assert (m[:, 4:, e] == 0).all() == (shell4 and cleared)
        assert (m[:, :4, e] == 1).all()


def test_implicit_increment_end_clears_every_time(job):
    v = job("*Step\n")
    for kinc in (1, 2):
        transverse_and_motion(v)
        lop(2, 1, kinc)
        check_cleared(v, True)
    transverse_and_motion(v)
    tl.uaccess_iocontrol(2, 0.0)
    assert (v.sectiondata.tnormalstress == 0).all() and (v.sectiondata.tshearstress == 0).all()


def test_explicit_increment_end_clears_every_nupdate_th_increment(job):
    v = job("*Step\n")
    v.debugdata.nupdate = 10
    cleared = []
    for kinc in range(1, 21):
        transverse_and_motion(v)
        relay(4, 1, kinc)
        cleared.append((v.sectiondata.tnormalstress == 0).all())
    assert [k for k, c in enumerate(cleared, 1) if c] == [9, 19]
    transverse_and_motion(v)
    relay(4, 1, 29)
    check_cleared(v, True)


@pytest.mark.parametrize("msg, rows, row3, start, expected, code", [
    ("x\nCYCLE 250 done\nother\ncycle 1200 more\nlast\n", 11, 5, 0.0, 1200.0, 0),
    ("CYCLE 250\n  3.5\n", 11, 5, 0.0, 250.0, 0),          # words continue on the next line
    pytest.param("CYCLE" + " " * 260 + "42 z\n 7 8 9\n", 11, 5, 0.0, 42.0, 0,
                 id="number-beyond-column-256"),  # a long line is read whole
    pytest.param(" 7 8 9\nCYCLE" + " " * 300 + "43" + " " * 300 + "z\n", 11, 5, 0.0, 43.0, 0,
                 id="words-beyond-column-256"),
    ("no cycles here\n", 11, 5, 0.0, 1.0, 0),
    (None, 11, 5, 0.25, 1.0, 0),                          # no message file: at least 1
    (None, 11, 5, 7.0, 7.0, 0),
    ("CYCLE abc x\n", 11, 5, 3.0, 3.0, -3),               # not a number: kept
    ("x\nCYCLE 7\n", 11, 5, 3.0, 3.0, -3),                # file ends before three words
    ("CYCLE 250 done\n", 11, 4, 0.0, 0.0, 0),             # another jump algorithm
    ("CYCLE 250 done\n", 2, 5, 0.0, 0.0, -3),             # settings without row 3
])
def test_cycle_number_from_the_message_file(job, msg, rows, row3, start, expected, code):
    v = job("*Step, VRL_FATIGUE\n")
    if msg is not None:
        (job.folder / "job.msg").write_text(msg)
    props = np.zeros((rows, 1))
    props[min(2, rows - 1)] = row3
    v.shokriehdata.cycleprops = props
    v.shokriehdata.cycles = np.full((1, 1), start)
    v.errorhandling.rsxerr(1)
    lop(1)
    assert v.shokriehdata.cycles[0, 0] == expected and errstat() == code


def test_cycle_table_without_the_steps_column(job):
    v = job("*Step\n*Step, VRL_FATIGUE\n")
    v.shokriehdata.cycleprops = np.full((11, 2), 5.0)
    v.shokriehdata.cycles = np.zeros((1, 1))
    lop(1, kstep=2)
    assert errstat() == -3 and v.shokriehdata.cycles[0, 0] == 0.0


# ------------------------------------------------------------------ section matrices

SECTION = "++Begin Section, SECID=1\n+Material\n1\n+Orientation\n0 30\n+Thickness\n{t}\n" \
          "++End Section\n"


def material(E, nu):
    G12 = E / (2 * (1 + nu))
    elastic = [E, E, E, G12, G12, G12, nu, nu, nu]
    strength = [1000.0] * 10
    factors = [1.0] * 19 + [0.5] * 19           # the second temperature halves everything
    row = lambda x: ", ".join(map(str, x)) + "\n"
    return ("++Begin Material, MATID=1\n+Temperature\n293 353\n+Elastic\n" + row(elastic) +
            "+Strength\n" + row(strength) + "+Table, TYPE=TEMPERATURE\n" + row(factors) +
            "++End Material\n")


def test_shear_matrix_of_an_isotropic_section_from_the_first_temperature(job):
    # two plies of one isotropic material: one homogeneous plate, H = 5/6 G t
    E, nu, t = 70000.0, 0.25, 0.4
    v = job("*Step\n", {"SectionCard.vrl": SECTION.format(t=t / 2),
                        "MaterialCard.vrl": material(E, nu)})
    assert errstat() == 0
    assert v.materialdata.peprops.shape == (18, 2, 1)
    G12 = E / (2 * (1 + nu))
    np.testing.assert_allclose(v.sectiondata.sehmatrix[:, :, 0], 5 / 6 * G12 * t * np.eye(2),
                               rtol=1e-10, atol=1e-9)
    f = v.sectiondata.sefmatrix[:, :, 0]
    assert f.shape == (5, 4) and np.isfinite(f).all() and f.any()


def nye_isotropic(E, nu):
    return [E] * 3 + [nu] * 3 + [E / (2 * (1 + nu))] * 3


@pytest.mark.parametrize("tables", ["all", "no z-coordinates", "thickness of two plies"])
def test_section_matrices_without_deck_and_cards(job, tables):
    # tables set directly (one ply, one section), elastic constants at two temperatures
    v = job(None)
    E, nu, t = 70000.0, 0.25, 0.3
    s = v.sectiondata
    v.materialdata.matidlist = np.ones((1, 1), np.int32)
    s.plyorientation = np.zeros((1, 1))
    s.plythickness = np.full((2 if tables == "thickness of two plies" else 1, 1), t)
    if tables != "no z-coordinates":
        s.plyzcoord = np.array([[-t / 2], [0.0], [t / 2]])
    v.materialdata.peprops = np.array(nye_isotropic(E, nu) + nye_isotropic(E / 3, nu))[:, None, None]
    lop(0)
    assert errstat() == -3 and errtext() == REFUSED
    if tables == "all":
        np.testing.assert_allclose(s.sehmatrix[:, :, 0], 5 / 6 * E / (2 * (1 + nu)) * t * np.eye(2),
                                   rtol=1e-10, atol=1e-9)
        assert s.sefmatrix.shape == (3, 4, 1) and np.isfinite(s.sefmatrix).all()
    else:
        assert absent(s.sehmatrix) and absent(s.sefmatrix)


# ------------------------------------------------------------------ steps outside, relay

@pytest.mark.parametrize("call", [
    lambda: lop(1, kstep=2), lambda: lop(2, kstep=0), lambda: lop(7, kstep=5),
    lambda: relay(2, kstep=2), lambda: relay(4, kstep=-1), lambda: relay(5, kstep=3),
])
def test_steps_outside_the_table_do_nothing(job, call):
    v = job(impact_deck([(0, 0, 0)], "VRL_STRUCTRESPONSE"))
    v.impactdata.cprops[13, 0] = 9.0
    v.sectiondata.tnormalstress = np.ones((3, 1))
    call()
    assert errstat() == -3 and errtext().startswith("Step outside the step table")
    assert v.impactdata.cprops[13, 0] == 9.0 and (v.sectiondata.tnormalstress == 1).all()


@pytest.mark.parametrize("k, ni, nr, code, message", [
    (7, 4, 3, -2, "Unknown operation"), (-1, 4, 3, -2, "Unknown operation"),
    (4, 3, 3, -3, "Short arrays"), (4, 4, 2, -3, "Short arrays"),
])
def test_relay_refuses_unknown_codes_and_short_arrays(job, k, ni, nr, code, message):
    v = job("*Step\n")
    v.sectiondata.tnormalstress = np.ones((3, 1))
    tl.vexternaldb_iocontrol(k, np.array([0, 0, 1, 1][:ni], np.int32), [0.0, 0.0, 0.0][:nr])
    assert errstat() == code and errtext() == message + " in VUEXTERNALDB_IOControl"
    assert (v.sectiondata.tnormalstress == 1).all()


def test_explicit_sequence_and_other_ranks(job):
    v = job(None)                                   # no deck for the implicit start
    v.errorhandling.rsxerr(1)
    (job.folder / "job.inp").write_text("*Step, VRL_INITIALIZATION\n*Step, VRL_IMPACT\n")
    relay(0)
    assert errstat() == 0 and list(v.jobdata.stepid) == [0, 3]
    v.jobdata.stepcount = 0
    relay(1, kstep=2)
    assert int(v.jobdata.stepcount) == 2
    relay(1, kstep=1)
    assert int(v.jobdata.stepcount) == 2
    relay(1, kstep=5, mpi_rank=1)                   # another rank: only k 4 and 5
    assert int(v.jobdata.stepcount) == 2
    v.sectiondata.tnormalstress = np.ones((3, 1))
    relay(4, kstep=1, kinc=0, mpi_rank=2)
    assert not v.sectiondata.tnormalstress.any()
    relay(6, mpi_rank=1)                            # no release from another rank
    assert v.jobdata.stepid.shape == (2,)
    relay(6)
    assert absent(v.jobdata.stepid) and window_extents() == (None, None)
    assert errstat() == 0


@pytest.mark.parametrize("keyword, reference", [("VRL_INITIALIZATION", -1.0), ("VRL_FATIGUE", 0.0)])
def test_explicit_start_reads_the_model_listing(job, keyword, reference):
    v = job(None)
    (job.folder / "job.inp").write_text(f"*Step, {keyword}\n*Step\n")
    (job.folder / "job.dat").write_text(
        " E L E M E N T   D E F I N I T I O N S\n"
        "  1001 S4R 1 1 2 3 4\n  1002 S4R 1 2 5 6 3\n end\n"
        " N O D E   D E F I N I T I O N S\n 1 0 0 0\n 2 1 0 0\n 3 1 1 0\n 4 0 1 0\n"
        " 5 2 0 0\n 6 2 1 0\n end\n")
    v.errorhandling.rsxerr(1)
    relay(0)
    np.testing.assert_array_equal(v.elementdata.elemlist, [1001, 1002])
    assert set(v.elementdata.elemkind) <= {1, 2, 3}       # four-node shells
    relay(2)
    relay(4)
    # the end of an initialization step turns the collected lists (none here) into the
    # element reference data: -1 where nothing was collected
    relay(5, kstep=1)
    np.testing.assert_array_equal(v.elementdata.elemreforientation, reference)
    assert errstat() == 0
