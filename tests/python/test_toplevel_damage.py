"""Damage field variables of module toplevel: the damage record of one material point, its
criteria and field outputs, and the USDFLD and VUSDFLD entries. Expected exposures are the
criteria's closed forms worked out by hand (maximum nominal stress, Hashin's interface form)."""
import numpy as np
import pytest

import _vorlen
from conftest import errstat, errtext

tl = _vorlen.toplevel
NPLIES = 3
# E1, E2, E3, nu12, nu13, nu23, G12, G13, G23
CFRP = np.array([181000.0, 10300.0, 10300.0, 0.28, 0.28, 0.45, 7170.0, 7170.0, 3550.0])
# Xt11, Xt22, Xt33, Xc11, Xc22, Xc33, X12, X13, X23, ILSS
STRENGTH = np.array([1000.0, 50.0, 50.0, 900.0, 200.0, 200.0, 70.0, 70.0, 40.0, 80.0])
GENERAL, FIBRE, MATRIX, DELAM, CORE = range(5)


@pytest.mark.parametrize("name,form", [
    ("gen_damage", "field,statev = gen_damage(field,statev,tdirect,t,celent,time,dtime,cmname,"
                   "noel,npt,layer,kspt,kstep,kinc,coord,[nfield,nstatv,table,overwrite_field,"
                   "overwrite_statev])"),
    ("usdfld_dmg", "field,statev,pnewdt = usdfld_dmg(field,statev,pnewdt,tdirect,t,celent,time,"
                   "dtime,cmname,orname,noel,npt,layer,kspt,kstep,kinc,ndi,nshr,coord,jmac,"
                   "jmatyp,matlayo,laccfla,[nfield,nstatv,threadid,overwrite_field,"
                   "overwrite_statev])"),
    ("vusdfld_dmg", "statenew,field = vusdfld_dmg(ndir,nshr,jelem,kintpt,klayer,ksecpt,kstep,"
                    "temp,steptime,totaltime,dt,cmname,coordmp,tdirect,t,charlength,props,"
                    "stateold,stressold,strainold,field,[nblock,nstatev,nfieldv,nprops,threadid,"
                    "overwrite_field])"),
])
def test_call_forms(name, form):
    assert getattr(tl, name).__doc__.splitlines()[0] == form


@pytest.fixture
def store(clean_store):
    """One section (id 7) of three plies; steps: initialization, fatigue, structural response,
    impact, relaxation, measured field, general. Two temperature blocks: the second has half the
    constants and strengths, so a criterion that took it would double its exposure."""
    v = clean_store
    v.sectiondata.nplies = NPLIES
    v.sectiondata.nsec = 1
    v.sectiondata.secidlist = np.array([7], np.int32)
    v.sectiondata.seflags = np.zeros((2, 1), np.int32, order="F")
    v.sectiondata.plyorientation = np.zeros((NPLIES, 1), order="F")
    v.sectiondata.plythickness = np.full((NPLIES, 1), 0.125, order="F")
    v.materialdata.ntempdata = 2
    v.materialdata.temperatures = np.array([20.0, 80.0])
    blocks = lambda b: np.asfortranarray(np.tile(np.concatenate([b, b / 2])[:, None, None],
                                                 (1, NPLIES, 1)))
    v.materialdata.peprops = blocks(CFRP)
    v.materialdata.psprops = blocks(STRENGTH)
    flags = np.zeros((5, NPLIES, 1), np.int32, order="F")
    flags[GENERAL] = flags[FIBRE] = 1          # maximum nominal stress along the fibres
    v.materialdata.pfflags = flags
    v.materialdata.peflags = np.ones((5, NPLIES, 1), np.int32, order="F")
    v.materialdata.pelimits = np.full((12, NPLIES, 1), -1.0, order="F")
    v.jobdata.stepid = np.array([0, 1, 2, 3, 4, 5, -1], np.int32)
    return v


STEP = {"init": 1, "fatigue": 2, "response": 3, "impact": 4, "relax": 5, "dic": 6, "general": 7}


def voigt_table(s11=0.0, s22=0.0, s33=0.0, s23=0.0, s13=0.0, s12=0.0, lengths=(1, 1, 1)):
    """Point record: temperature, Voigt stress, Voigt strain (0), lengths."""
    return np.array([20.0, s11, s22, s33, s23, s13, s12, 0, 0, 0, 0, 0, 0, *lengths])


def gen(statev, field=None, *, kstep=STEP["fatigue"], kinc=2, layer=1, kspt=1, npt=1, noel=11,
        cmname="", table=None, celent=0.5, coord=(0.0, 0.0, 0.0)):
    field = np.zeros(7) if field is None else field
    kw = {} if table is None else {"table": table}
    return tl.gen_damage(field, statev, np.eye(3, order="F"), np.eye(3, order="F"), celent,
                         np.zeros(2), 0.1, cmname, noel, npt, layer, kspt, kstep, kinc,
                         np.array(coord, float), **kw)


def slot(statev, k):
    """Slot k (1-based) of the damage record at the end of statev."""
    return statev[len(statev) - 40 + k - 1]


# --- record layout and start values ---------------------------------------------------------

def test_short_state_is_left_alone(store):
    field, statev = gen(np.arange(39.0), np.ones(7), table=voigt_table(2000.0))
    np.testing.assert_array_equal(statev, np.arange(39.0))
    np.testing.assert_array_equal(field, np.ones(7))


def test_fresh_record_is_the_tail_with_its_start_values(store):
    head = np.arange(1.0, 6.0)
    field, statev = gen(np.concatenate([head, np.zeros(40)]), layer=7, celent=0.25,
                        kstep=STEP["init"], kinc=3)
    np.testing.assert_array_equal(statev[:5], head)
    expect = {21: NPLIES, 22: 1, 24: -1, 25: -1, 18: 1, 19: 1, 20: 1, 35: 0.25,
              27: -1, 28: -1, 29: -1, 30: -1, 7: 0, 26: 0}
    assert {k: slot(statev, k) for k in expect} == expect
    assert errstat() == 0
    # Set once: a later call with another celent keeps the first
    _, statev = gen(statev, celent=9.0, kstep=STEP["init"], kinc=4)
    assert slot(statev, 35) == 0.25


@pytest.mark.parametrize("layer,cmname,ply,section", [
    (2, "CFRP", 2, 1),
    (7, "CFRP", NPLIES, 1),          # clamped to the section's plies
    (0, "CFRP", 1, 1),
    (1, "CFRP_L@3@", 3, 1),          # ply tag, either case
    (3, "CFRP_l@2@", 3, 1),          # the tag only raises the layer
    (1, "CFRP_s@7@", 1, 1),          # section tag: position in secidlist
])
def test_ply_and_section_of_a_fresh_record(store, layer, cmname, ply, section):
    _, statev = gen(np.zeros(40), layer=layer, cmname=cmname)
    assert (slot(statev, 21), slot(statev, 22)) == (ply, section)
    assert errstat() == 0


@pytest.mark.parametrize("nfield", [4, 0])
def test_few_field_variables_are_never_written(store, nfield):
    field = np.full(nfield, 5.0)
    out, _ = gen(np.zeros(40), field, table=voigt_table(2000.0))
    np.testing.assert_array_equal(out, np.full(nfield, 5.0))


# --- evaluation -------------------------------------------------------------------------------

@pytest.mark.parametrize("s11,flag", [(800.0, 0.0), (1200.0, 1.0), (-450.0, 0.0), (-1800.0, 1.0)])
def test_fibre_exposure_from_the_first_temperature_block(store, s11, flag):
    # ply 2: a table with two temperature blocks read as if it had one would give ply 2 the
    # second block of ply 1
    field, statev = gen(np.zeros(40), np.zeros(8), table=voigt_table(s11, 3.0, 4.0, 5.0, 6.0, 7.0),
                        layer=2)
    exposure = abs(s11) / (1000.0 if s11 > 0 else 900.0)
    np.testing.assert_allclose([slot(statev, 13), slot(statev, 14)], exposure, rtol=1e-15)
    assert [slot(statev, k) for k in range(7, 12)] == [flag, flag, 0, 0, 0]
    np.testing.assert_array_equal(field, [flag, flag, 0, 0, 0, 0, 0, 0])
    # the record's stress in Nye order (s11, s22, s33, s12, s13, s23)
    np.testing.assert_array_equal(statev[:6], [s11, 3.0, 4.0, 7.0, 6.0, 5.0])
    assert slot(statev, 26) == 400 * flag
    assert errstat() == 0


def test_flags_only_grow_and_exposures_follow_the_last_call(store):
    _, statev = gen(np.zeros(40), table=voigt_table(1500.0))
    field, statev = gen(statev, table=voigt_table(100.0))
    assert (slot(statev, 7), slot(statev, 8)) == (1.0, 1.0)
    np.testing.assert_allclose(slot(statev, 13), 0.1, rtol=1e-15)
    np.testing.assert_array_equal(field[:2], [1.0, 1.0])


def test_modes_switched_off_give_no_field(store):
    store.materialdata.peflags[FIBRE, 0, 0] = 0
    statev = np.zeros(40)
    statev[8] = 1.0   # slot 9, matrix flag from an earlier evaluation
    field, statev = gen(statev, table=voigt_table(1500.0))
    assert slot(statev, 8) == 1.0
    np.testing.assert_array_equal(field[:5], [1.0, 0.0, 1.0, 0.0, 0.0])
    assert slot(statev, 26) == 400 + 40


@pytest.mark.parametrize("kstep", [STEP["init"], STEP["response"], STEP["relax"], STEP["dic"]])
def test_no_criterion_outside_evaluating_steps(store, kstep):
    field, statev = gen(np.zeros(40), np.full(7, 3.0), table=voigt_table(5000.0), kstep=kstep)
    np.testing.assert_array_equal(field, np.zeros(7))
    assert slot(statev, 7) == slot(statev, 13) == 0.0


def test_no_criterion_in_the_first_step(store):
    store.jobdata.stepid = np.array([1, 1], np.int32)
    field, statev = gen(np.zeros(40), table=voigt_table(5000.0), kstep=1)
    assert slot(statev, 8) == 0.0 and not field.any()


@pytest.mark.parametrize("kstep", [STEP["relax"], STEP["general"]])
def test_failed_point_grows_damage_set_one(store, kstep):
    store.damagedata.ndmg = 1
    statev = np.zeros(40)
    statev[7 - 1] = 1.0   # general failure
    gen(statev, kstep=kstep, layer=2, coord=(3.0, -2.0, 0.0))
    assert errstat() == 0
    np.testing.assert_allclose(store.damagedata.generaldds[:2, 1, 0], (3.0, 2.0))


@pytest.fixture
def fracture_plane(store):
    """Puck's matrix criterion with its fracture-plane search, and the fracture-plane
    degradation of the matrix (peflags 2) with toughnesses 0.2, 1, 0.5, 0.5."""
    v = store
    v.materialdata.pfflags[MATRIX] = 9
    v.materialdata.peflags[MATRIX] = 2
    v.materialdata.pfprops = np.asfortranarray(np.tile(
        np.array([0.0, 0.2, 1.0, 0.5, 0.5])[:, None, None], (1, NPLIES, 1)))
    return v


def matrix_table(s22, e22, s23=0.0):
    t = voigt_table(0.0, s22, 0.0, s23)
    t[8] = e22
    return t


@pytest.mark.parametrize("limits,dlim3", [(-1.0, 0.995), (0.8, 0.8)])
def test_fracture_angle_once_and_damage_clamped(fracture_plane, limits, dlim3):
    fracture_plane.materialdata.pelimits[:] = limits
    field, statev = gen(np.zeros(40), table=matrix_table(-300.0, -0.03))
    phi = slot(statev, 24)
    assert slot(statev, 9) == 1.0 and 0.0 < phi < np.pi / 2
    phixz = np.arccos(-abs(np.sin(phi)) * np.sign(np.cos(phi)))
    np.testing.assert_allclose(slot(statev, 25), phixz, rtol=1e-15)
    np.testing.assert_allclose(field[5], phixz / np.pi, rtol=1e-15)
    assert slot(statev, 27) != -1.0       # onset recorded
    phixz = slot(statev, 25)
    # A later failure under another stress (whose own angle differs) keeps the first angle;
    # the far larger strain damages the plane fully, held at the matrix limit
    other = np.zeros(40)
    _, other = gen(other, table=matrix_table(-300.0, -0.06, 80.0))
    assert slot(other, 24) != phi
    field, statev = gen(statev, table=matrix_table(-300.0, -0.06, 80.0))
    assert (slot(statev, 24), slot(statev, 25)) == (phi, phixz)
    np.testing.assert_allclose(field[6], dlim3, rtol=1e-15)
    np.testing.assert_allclose(slot(statev, 20), 1.0 - dlim3, rtol=1e-12)
    assert errstat() == 0


# --- section stresses -------------------------------------------------------------------------

@pytest.fixture
def sections(store):
    """Element 11 of a kind with stored transverse stresses, three section points per ply:
    sestress(k, c) = 10 c + k, tnormalstress(row) = 1000 + row."""
    v = store
    v.elementdata.nelem = 1
    v.elementdata.elemlist = np.array([11], np.int32)
    v.elementdata.elemkind = np.array([6], np.int32)
    v.sectiondata.nsectionpoints = np.array([3], np.int32)
    cols = np.arange(1, 3 * NPLIES + 1)
    se = (10.0 * cols[None, :] + np.arange(1, 7)[:, None])
    v.sectiondata.sestress = np.asfortranarray(se[:, :, None, None])
    v.sectiondata.tnormalstress = np.asfortranarray(1000.0 + np.arange(1, 2 * NPLIES + 2)[:, None])
    v.materialdata.pfflags[DELAM] = 5    # Hashin's interface form
    return v


@pytest.mark.parametrize("kspt,row", [(1, 3), (2, 4), (3, 5)])   # bottom, middle, top of ply 2
def test_section_stress_column_and_transverse_row(sections, kspt, row):
    _, statev = gen(np.zeros(40), layer=2, kspt=kspt)
    col = 3 + kspt
    np.testing.assert_array_equal(statev[:6], [10 * col + 1, 10 * col + 2, 1000 + row,
                                               10 * col + 4, 10 * col + 5, 10 * col + 6])
    assert slot(statev, 23) == 1
    if kspt == 3:   # a ply top below the top ply: the middle points of plies 2 and 3
        s33 = 1005.0
        rdel = max(np.sqrt((s33 / 50.0) ** 2 + (s13 / 80.0) ** 2 + (s23 / 80.0) ** 2)
                   for s13, s23 in [(55.0, 56.0), (85.0, 86.0)])
        np.testing.assert_allclose(slot(statev, 16), rdel, rtol=1e-14)
        assert slot(statev, 10) == 1.0
    else:
        assert slot(statev, 16) == 0.0 and slot(statev, 10) == 0.0
    assert errstat() == 0


def test_top_ply_top_is_no_interface(sections):
    statev = np.zeros(40)
    statev[9] = 0.5      # slot 10 keeps its value
    _, statev = gen(statev, layer=3, kspt=3)
    assert (slot(statev, 10), slot(statev, 16)) == (0.5, 0.0)


def test_stale_element_index_is_looked_up_again(sections):
    statev = np.zeros(40)
    statev[22] = 5.0     # slot 23 beyond nelem
    _, statev = gen(statev, layer=1, kspt=1)
    assert slot(statev, 23) == 1 and errstat() == 0
    np.testing.assert_array_equal(statev[:2], [11, 12])


def test_point_record_stress_is_stored_in_its_section_column(sections):
    table = voigt_table(1.0, 2.0, 3.0, 4.0, 5.0, 6.0)
    _, statev = gen(np.zeros(40), layer=2, kspt=2, table=table)
    np.testing.assert_array_equal(sections.sectiondata.sestress[:, 4, 0, 0],
                                  [1.0, 2.0, 3.0, 6.0, 5.0, 4.0])


def curved_shell(v, peprops):
    """Element 11 as a curved eight-node shell (kind 4) bent to w = (x^2 + 3 y^2)/2, with the
    section matrices of the first temperature block and the given ply constants table."""
    lam = _vorlen.laminate
    v.elementdata.elemkind = np.array([4], np.int32)
    v.elementdata.elemcurvatures = np.array([[0.05], [0.0]])
    v.sectiondata.seflags = np.array([[1], [0]], np.int32)
    sl = np.ones((NPLIES, 1), np.int32, order="F")
    v.materialdata.matidlist = sl
    po = np.asfortranarray(np.array([0.0, 90.0, 0.0])[:, None])
    pt = v.sectiondata.plythickness
    v.sectiondata.plyorientation = po
    pe = np.asfortranarray(np.tile(CFRP[:, None, None], (1, NPLIES, 1)))
    zc = lam.getsectionzcoord(sl, pt)
    v.sectiondata.plyzcoord = zc
    v.sectiondata.sehmatrix = lam.getsectionhmatrix(sl, po, pt, pe)
    v.sectiondata.sefmatrix = lam.getsectionfmatrix(sl, po, pt, zc, pe)
    v.materialdata.peprops = peprops
    xy = np.array([[-1, -1], [1, -1], [1, 1], [-1, 1], [0, -1], [1, 0], [0, 1], [-1, 0]], float)
    coords = np.zeros((3, 8, 1), order="F")
    coords[:2, :, 0] = xy.T
    motion = np.zeros((6, 8, 1), order="F")
    motion[2, :, 0] = 0.5 * xy[:, 0] ** 2 + 1.5 * xy[:, 1] ** 2
    v.nodaldata.nodalcoords = coords
    v.nodaldata.nodesmotion = motion
    v.sectiondata.tshearstress = np.zeros((3 * NPLIES, 2, 4, 1), order="F")
    v.sectiondata.tnormalstress = np.zeros((2 * NPLIES + 1, 1), order="F")
    v.sectiondata.sestress = np.asfortranarray(np.repeat(v.sectiondata.sestress, 4, axis=2))


def test_curved_shell_recovery_takes_the_first_temperature_block(sections):
    # The store's constants table has two temperature blocks per ply (the second half the
    # first); the recovery must see the same constants as from a table of the first blocks only.
    two_blocks = sections.materialdata.peprops.copy()
    one_block = np.asfortranarray(two_blocks[:9])
    recovered = []
    for table, ntemp in [(one_block, 1), (two_blocks, 2)]:
        curved_shell(sections, table)
        sections.materialdata.ntempdata = ntemp
        gen(np.zeros(40), layer=2, kspt=2)
        recovered.append(sections.sectiondata.tnormalstress[:, 0].copy())
    assert np.abs(recovered[0]).max() > 0
    np.testing.assert_allclose(recovered[1], recovered[0], rtol=1e-13)
    assert errstat() == 0


# --- indices outside the tables ---------------------------------------------------------------

def short_sections(v):
    v.sectiondata.nsectionpoints[0] = 0


def no_steps(v):
    v.jobdata.stepid = None


def no_failure_flags(v):
    v.materialdata.pfflags = None


def shell_without_nodes(v):
    v.elementdata.elemkind[0] = 4     # transverse stresses recovered from nodal motion


@pytest.mark.parametrize("change,kw,problem", [
    (None, {"cmname": "CFRP_l@6@"}, "Ply or section outside the data tables"),
    (None, {"cmname": "CFRP_s@9@"}, "Ply or section outside the data tables"),
    (no_failure_flags, {}, "Ply or section outside the data tables"),
    (None, {"kstep": 8}, "Step outside the step table"),
    (no_steps, {}, "Step outside the step table"),
    (None, {"npt": 2}, "Point outside the section stress table"),
    (None, {"layer": 4}, "Point outside the section stress table"),
    (None, {"kspt": 7, "layer": 3}, "Point outside the section stress table"),
    (short_sections, {}, "Section point count below 1"),
    (shell_without_nodes, {}, "Element tables short of the element"),
])
def test_indices_outside_the_tables(sections, change, kw, problem):
    if change:
        change(sections)
    before = sections.sectiondata.sestress.copy()
    statev = np.zeros(45)
    statev[:5] = -7.0
    field, statev = gen(statev, np.full(7, 3.0), **kw)
    assert errstat() == -3
    assert errtext() == problem + " in gen_damage"
    np.testing.assert_array_equal(field, np.zeros(7))
    np.testing.assert_array_equal(statev[:5], -7.0)
    assert slot(statev, 18) == 1.0 and slot(statev, 35) == 0.5   # the record is written back
    assert slot(statev, 7) == slot(statev, 8) == 0.0
    np.testing.assert_array_equal(sections.sectiondata.sestress, before)


# --- solver entries ---------------------------------------------------------------------------

def test_usdfld_is_gen_damage_without_a_point_record(sections):
    statev = np.zeros(40)
    field, statev, pnewdt = tl.usdfld_dmg(
        np.zeros(6), statev, 0.75, np.eye(3, order="F"), np.eye(3, order="F"), 0.5, np.zeros(2),
        0.1, "CFRP", "ORI", 11, 1, 2, 1, STEP["fatigue"], 2, 3, 3, np.zeros(3),
        np.zeros(1, np.int32), np.zeros(1, np.int32), 1, 0)
    assert pnewdt == 0.75
    np.testing.assert_array_equal(statev[:6], [41, 42, 1003, 44, 45, 46])
    np.testing.assert_allclose(slot(statev, 13), 41 / 1000.0, rtol=1e-15)


def vusdfld(stress, *, ndir=3, nshr=3, steptime=0.5, dt=0.25, nstatev=40, kstep=1, field=None,
            jelem=(11, 12)):
    nb = stress.shape[0]
    state = np.zeros((nb, nstatev), order="F")
    state[:, 0] = 9.0
    field = np.zeros((nb, 7), order="F") if field is None else field
    return tl.vusdfld_dmg(ndir, nshr, np.array(jelem, np.int32), 1, 1, 1, kstep,
                          np.full(nb, 20.0), steptime, steptime, dt, "CFRP",
                          np.zeros((nb, 3), order="F"), np.tile(np.eye(3), (nb, 1, 1)),
                          np.tile(np.eye(3), (nb, 1, 1)), np.full((nb, 3), 0.5, order="F"),
                          np.zeros(1), state, np.asfortranarray(stress),
                          np.zeros_like(stress, order="F"), field)


@pytest.mark.parametrize("ndir,nshr,row,nye", [
    # the solver's order 11, 22, 33, 12, 23, 13 into Nye order 11, 22, 33, 12, 13, 23
    (3, 3, [1.0, 2.0, 3.0, 4.0, 5.0, 6.0], [1.0, 2.0, 3.0, 4.0, 6.0, 5.0]),
    (3, 1, [1.0, 2.0, 3.0, 4.0], [1.0, 2.0, 3.0, 4.0, 0.0, 0.0]),    # shell: no 13, 23
])
def test_vusdfld_stress_into_the_record(store, ndir, nshr, row, nye):
    stress = np.array([row, [10 * r for r in row]])
    statenew, field = vusdfld(stress, ndir=ndir, nshr=nshr, kstep=STEP["fatigue"])
    np.testing.assert_array_equal(statenew[0, :6], nye)
    np.testing.assert_array_equal(statenew[1, :6], [10 * x for x in nye])
    np.testing.assert_allclose(statenew[:, 13 - 1], [1e-3, 1e-2], rtol=1e-15)
    assert errstat() == 0


@pytest.mark.parametrize("steptime,dt,counted", [
    (0.25, 0.25, True),     # kinc 1
    (0.5, 0.25, False),     # kinc 2, not 3
    (0.0, 0.25, False),     # kinc 0
    (0.5, 0.0, False),      # no increment: kinc 0
])
def test_vusdfld_increment_from_the_step_time(store, steptime, dt, counted):
    store.elementdata.nelem = 2
    store.elementdata.elemlist = np.array([11, 12], np.int32)
    store.sectiondata.nsectionpoints = np.array([1, 1], np.int32)
    store.jobdata.stepid = np.array([2, 2], np.int32)   # section points counted at kinc 1
    state = np.zeros((1, 40), order="F")
    tl.vusdfld_dmg(3, 3, np.array([12], np.int32), 1, 1, 4, 2, np.full(1, 20.0), steptime,
                   steptime, dt, "CFRP", np.zeros((1, 3), order="F"),
                   np.eye(3)[None], np.eye(3)[None], np.full((1, 3), 0.5, order="F"),
                   np.zeros(1), state, np.zeros((1, 6), order="F"), np.zeros((1, 6), order="F"),
                   np.zeros((1, 7), order="F"))
    assert list(store.sectiondata.nsectionpoints) == ([1, 4] if counted else [1, 1])


@pytest.mark.parametrize("ndir,nshr", [(-3, 6), (3, -1)])
def test_vusdfld_negative_component_count_reads_no_stress(store, ndir, nshr):
    stress = np.ones((2, ndir + nshr))                  # the block as the sum describes it
    statenew, field = vusdfld(stress, ndir=ndir, nshr=nshr, kstep=STEP["fatigue"],
                              field=np.full((2, 7), 2.0, order="F"))
    assert errstat() == -3 and errtext() == "Unsupported components in vusdfld_dmg"
    np.testing.assert_array_equal(statenew[:, 0], 9.0)    # the state as it came
    np.testing.assert_array_equal(statenew[:, 1:], 0.0)
    np.testing.assert_array_equal(field, 2.0)


def test_vusdfld_without_record_copies_the_state(store):
    statenew, field = vusdfld(np.ones((2, 6)), nstatev=39, field=np.full((2, 7), 2.0, order="F"))
    np.testing.assert_array_equal(statenew[:, 0], 9.0)
    np.testing.assert_array_equal(statenew[:, 1:], 0.0)
    np.testing.assert_array_equal(field, 2.0)
