"""Material card reader of module iohandling: elastic and strength blocks over the temperature
grid, failure settings, cure data and calibration tables; refusals and mutated cards."""
import random

import numpy as np
import pytest

import _vorlen
from conftest import errstat, errtext, run_python

io = _vorlen.iohandling
md = _vorlen.materialdata
HUGE = np.finfo(float).max
READ_ERROR = "Error: Error in GetDataPointsRead operation exited with an error."
IDS = np.array([[1, 2], [2, 1], [1, 1]], dtype=np.int32, order="F")  # 3 plies, 2 sections


def pad(text):
    return str(text).ljust(256)


@pytest.fixture
def store(clean_store, tmp_path):
    yield tmp_path


def read(tmp_path, text, ids=IDS, nplies=None, nsec=None):
    if ids is not None:
        md.matidlist = ids
    (tmp_path / "MaterialCard.vrl").write_text(text)
    np_, ns = (ids.shape if ids is not None else (1, 1))
    io.getmaterialdatafromfile(pad(tmp_path / "deck.inp"), pad(tmp_path),
                               np_ if nplies is None else nplies, ns if nsec is None else nsec)
    return md


def block(mid, body):
    return f"++Begin Material, MATID={mid}\n{body}++End Material\n"


def nye(e):
    """Nye property vector E1 E2 E3 nu12 nu13 nu23 G12 G13 G23 of 2, 5 or 9 constants."""
    e = list(e)
    if len(e) == 2:
        E, nu = e
        return [E] * 3 + [nu] * 3 + [E / (2 * (1 + nu))] * 3
    if len(e) == 5:
        E1, E2, nu12, nu23, G12 = e
        return [E1, E2, E2, nu12, nu12, nu23, G12, G12, E2 / (2 * (1 + nu23))]
    E1, E2, E3, G12, G13, G23, nu12, nu13, nu23 = e
    return [E1, E2, E3, nu12, nu13, nu23, G12, G13, G23]


ELASTIC9 = [140e3, 9e3, 9.1e3, 4.6e3, 4.7e3, 3.1e3, 0.3, 0.31, 0.45]
STRENGTH10 = [2000.0, 50, 51, 1200, 200, 201, 80, 81, 60, 90]


def lines(values):
    return ", ".join(repr(float(v)) for v in values) + "\n"


# ------------------------------------------------------------------ elastic and strength blocks

@pytest.mark.parametrize("elastic", [[70e3, 0.33], [140e3, 9e3, 0.3, 0.45, 4.6e3], ELASTIC9])
def test_elastic_and_strength_without_temperature(store, elastic):
    m = read(store, block(1, "+Elastic\n" + lines(elastic) + "+Strength\n" + lines(STRENGTH10)))
    np.testing.assert_array_equal(m.temperatures, [HUGE])
    assert int(m.ntempdata) == 1
    assert m.peprops.shape == (9, 3, 2) and m.psprops.shape == (10, 3, 2)
    mine = IDS == 1
    np.testing.assert_allclose(m.peprops[:, mine].T, [nye(elastic)] * mine.sum(), rtol=1e-15)
    np.testing.assert_array_equal(m.psprops[:, mine].T, [STRENGTH10] * mine.sum())
    assert not m.peprops[:, ~mine].any() and not m.psprops[:, ~mine].any()
    assert errstat() == 0


@pytest.mark.parametrize("count, code", [(3, -2), (4, -2), (6, -2), (8, -2), (10, 0)])
def test_elastic_counts_outside_the_forms_are_not_stored(store, count, code):
    m = read(store, block(1, "+Elastic\n" + lines(np.arange(1.0, count + 1)) + "+Hygrothermal\n"
                          "1 2 3 4 5 6\n+Fracture\n1 2\n"))
    assert not m.peprops.any() and not m.phprops.any()
    np.testing.assert_array_equal(m.pfprops[:2, 0, 0], [1, 2])
    assert errstat() == code


def test_grid_is_the_union_of_the_temperature_lists(store):
    m = read(store, block(1, "+Temperature\n293 353\n") + block(2, "+Temperature-X\n293, 323\n"))
    np.testing.assert_array_equal(m.temperatures, np.union1d([293, 353], [293, 323]))
    assert int(m.ntempdata) == 3 and m.peprops.shape == (27, 3, 2)


def scaled_card(nfactors, strengths=STRENGTH10):
    nf = len(ELASTIC9) + len(strengths)
    factors = np.vstack([np.ones(nf), np.full(nf, 0.5)]).ravel()[:nfactors]
    return block(1, "+Temperature\n293 353\n+Elastic\n" + lines(ELASTIC9) + "+Strength\n" +
                 lines(strengths) + "+Table, TYPE=TEMPERATURE\n" + lines(factors))


def test_temperature_table_scales_the_blocks(store):
    m = read(store, scaled_card(38))
    f = np.array([1.0, 0.5])
    for k in range(2):
        np.testing.assert_allclose(m.peprops[9 * k:9 * k + 9, 0, 0],
                                   nye(np.array(ELASTIC9) * f[k]), rtol=1e-15)
        np.testing.assert_allclose(m.psprops[10 * k:10 * k + 10, 0, 0],
                                   np.array(STRENGTH10) * f[k], rtol=1e-15)
    # a table of another length is not used: block 1 only
    _vorlen.datahandling.deallocall()
    m = read(store, scaled_card(37))
    assert not m.peprops[9:].any() and not m.psprops[10:].any()
    np.testing.assert_allclose(m.peprops[:9, 0, 0], nye(ELASTIC9))


def test_nine_strengths_take_their_own_stride(store):
    m = read(store, scaled_card(36, STRENGTH10[:9]))
    np.testing.assert_allclose(m.psprops[9:18, 0, 0], np.array(STRENGTH10[:9]) * 0.5)
    assert not m.psprops[18:, 0, 0].any()


def test_without_section_data_tables_are_prefilled_and_unit_closed(store):
    m = read(store, block(1, "+Elastic\n1 0.3\n+Failure, TYPE=PROPERTIES\n1 2\n"), ids=None)
    assert m.peprops.shape == (9, 1, 1) and not m.peprops.any()
    np.testing.assert_array_equal(m.pdprops, np.full((2, 1, 1), HUGE))
    np.testing.assert_array_equal(m.pelimits, np.full((12, 1, 1), -1.0))
    np.testing.assert_array_equal(m.cuprops, np.full((7, 8, 1, 1), HUGE))
    assert m.flowprops.shape == (1, 1, 3)
    assert io.getfreeunitnumber(1, 120) == 1


def test_card_missing_changes_nothing(store):
    md.ntempdata = 0
    io.getmaterialdatafromfile(pad(store / "none.inp"), pad(store), 1, 1)
    assert md.peprops is None and int(md.ntempdata) == 0


# ------------------------------------------------------------------------- failure settings

def test_failure_settings_and_global_values(store):
    card = ("+Failure\n1 3 9 2 0\n" +
            block(1, "+Failure, TYPE=EVOLUTION\n1 0 2\n+Failure, TYPE=DEGRADATION\n"
                     "0.1 0.2 0.3 0.4 0.5 0.6\n+Failure, TYPE=PROPERTIES\n0.3 -1.0\n"
                     "+Regularization, TYPE=VISCOUS\n1e-4 2e-4\n+I10\n7.5 8.5\n"
                     "+Calibration, TYPE=Ratio\n0.8\n") +
            block(2, "+Failure, TYPE=DEGRADATION\n1 2 3 4 5 6 7\n+Failure, TYPE=PROPERTIES\n"
                     "0.5 0.6 0.7\n+Regularization, TYPE=VISCOUS\n3e-4\n"))
    m = read(store, card)
    mine = IDS == 1
    np.testing.assert_array_equal(m.pfflags[:, mine].T, [[1, 3, 9, 2, 0]] * mine.sum())
    assert not m.pfflags[:, ~mine].any()
    np.testing.assert_array_equal(m.peflags[:, 0, 0], [1, 0, 2, 0, 0])
    np.testing.assert_array_equal(m.pelimits[:, 0, 0], [0.1, 0.2, 0.3, 0.4, 0.5, 0.6] * 2)
    np.testing.assert_array_equal(m.pelimits[:, 1, 0], [-1.0] * 12)  # 7 values: not stored
    np.testing.assert_array_equal(m.pdprops[:, 0, 0], [0.3, -1.0, HUGE])
    np.testing.assert_array_equal(m.pdprops[:, 1, 0], [0.5, 0.6, 0.7])
    np.testing.assert_array_equal(m.regularization, [3e-4, 2e-4])
    np.testing.assert_array_equal(m.i10, [7.5])
    np.testing.assert_array_equal(m.r_crit, [0.8])


def test_no_i10_or_ratio_line_leaves_them_unallocated(tmp_path):
    (tmp_path / "MaterialCard.vrl").write_text(block(1, "+Elastic\n1 0.3\n"))
    r = run_python(f"""
        import _vorlen
        _vorlen.iohandling.getmaterialdatafromfile(" " * 256, {str(tmp_path).ljust(256)!r}, 1, 1)
        m = _vorlen.materialdata
        assert m.peprops is not None and m.i10 is None and m.r_crit is None
    """)
    assert r.returncode == 0, r.stderr


# ---------------------------------------------------------------------------------- cure data

CURE = ["+GelPoint\n0.6\n", "+Enthalpie\n450\n", "+Expansion\n1e-5 2e-5\n", "+Shrinkage\n0.02\n",
        "+Curing\n1 2 3\n", "+Transition\n400 380 0.5\n", "+Curing, TYPE=RATE\n1 2 3 4 5 6 7\n",
        "+Curing, TYPE=MASTER\n" + lines(np.arange(1.0, 10.0))]


def cure_values(text):
    return [float(x) for x in text.split("\n")[1].replace(",", " ").split()]


def test_cure_columns(store):
    m = read(store, block(1, "".join(CURE)) + block(2, "".join(CURE[:3] + CURE[4:7]) +
                                                   "+Curing, TYPE=MASTER\n1 2\n"))
    assert m.cuprops.shape == (9, 8, 3, 2)  # the longest master list, not the last
    for c, text in enumerate(CURE):
        v = cure_values(text)
        np.testing.assert_array_equal(m.cuprops[:len(v), c, 0, 0], v)
        assert (m.cuprops[len(v):, c, 0, 0] == HUGE).all()
    assert (m.cuprops[:, :, IDS == 2] == HUGE).all()  # no +Shrinkage: nothing stored


def test_cure_lists_released_at_block_end_and_long_lists_refused(store):
    m = read(store, block(1, "".join(CURE[:7])) + block(2, CURE[7]) +
         block(1, "".join(CURE[:4]) + "+Curing\n" + lines(np.arange(12.0)) + "".join(CURE[5:])))
    assert (m.cuprops == HUGE).all()
    assert errstat() == -3


# ------------------------------------------------------------------------ calibration tables

def test_calibration_rows_follow_one_counter(store):
    card = block(1, "+Temperature\n293 353\n"
                    "+Calibration, TYPE=Secant, T=293\n1 2 3 4\n+Calibration, TYPE=Secant, T=353\n"
                    "5 6 7 8\n+Calibration, TYPE=Normal, T=293\n9 10\n"
                    "+Calibration, TYPE=Normal, T=353\n11 12\n+Calibration, TYPE=Secant\n0 0 0 0\n"
                    "+Calibration, TYPE=Secant, t=1\n0 0 0 0\n"
                    "+Calibration, TYPE=Plasticity, T=1\n1 2 3 4 5 6\n"
                    "+Calibration, TYPE=EquivalentStress\n1 2\n")
    card += block(2, "+Calibration, TYPE=EquivalentStress\n5 6 7 8 9 10\n")
    card += block(3, "+Calibration, TYPE=EquivalentStress\n11 12\n")
    m = read(store, card)
    assert (int(m.nsecantdata), int(m.nnormaldata), int(m.nflowdata)) == (2, 1, 2)
    np.testing.assert_array_equal(m.secantprops,
                                  np.array([[1, 2, 3, 4], [5, 6, 7, 8]]).reshape(2, 2, 2))
    np.testing.assert_array_equal(m.normalprops, np.array([[9, 10], [11, 12]]).reshape(2, 1, 2))
    # the flow line is the block's fifth: row 1 again
    np.testing.assert_array_equal(m.flowprops[0], np.arange(1, 7).reshape(2, 3))
    # the last block's pairs only, the rest as the block before left them
    np.testing.assert_array_equal(m.equivalentstress, [[11, 12], [7, 8], [9, 10]])


def test_calibration_of_the_last_block_is_in_force(store):
    m = read(store, block(1, "+Calibration, TYPE=Alpha2, T=1\n1 2\n") +
             block(2, "+Calibration, TYPE=Alpha2, T=1\n3 4\n"))
    np.testing.assert_array_equal(m.alpha2props, [[[3, 4]]])


def test_calibration_lines_are_read_whole(store):
    # one line of 300 values of 17 digits (about 6000 characters), and a secant line of 379
    rng = np.random.default_rng(11)
    flow = rng.uniform(1, 1e4, 300)
    secant = np.full(20, 1234.5678901234567)
    m = read(store, block(1, "+Calibration, TYPE=Plasticity, T=1\n" + lines(flow) +
                          "+Calibration, TYPE=Secant, T=1\n" + " ".join(["1234.5678901234567"] * 20)
                          + "\n"))
    assert (int(m.nflowdata), int(m.nsecantdata)) == (100, 10)
    np.testing.assert_array_equal(m.flowprops[0], flow.reshape(100, 3))
    np.testing.assert_array_equal(m.secantprops[0], secant.reshape(10, 2))
    assert errstat() == 0


# ------------------------------------------------------------------------------------ mends

@pytest.mark.parametrize("nplies, nsec", [(0, 2), (3, 0), (2, 2), (3, 1)])
def test_counts_not_those_of_matidlist_read_nothing(store, nplies, nsec):
    m = read(store, block(1, "+Elastic\n1 0.3\n"), nplies=nplies, nsec=nsec)
    assert m.peprops is None and errstat() == -3
    assert io.getfreeunitnumber(1, 120) == 1


def test_grid_reallocated_for_a_second_analysis(store):
    read(store, block(1, "+Elastic\n1 0.3\n"))
    _vorlen.datahandling.deallocall()
    # a list that repeats values: the rows wrap over the grid's length, not the list's
    m = read(store, block(1, "+Temperature\n5 3 3 1 3\n" + "".join(
        f"+Calibration, TYPE=Shear, T={t}\n{2 * t - 1} {2 * t}\n" for t in range(1, 5))))
    np.testing.assert_array_equal(m.temperatures, np.unique([5, 3, 3, 1, 3]))
    np.testing.assert_array_equal(m.shearprops, [[[7, 8]], [[3, 4]], [[5, 6]]])


@pytest.mark.parametrize("temps", ["\n", "293 nan\n", "293 1e400\n"])
def test_bad_temperature_lists_are_ignored(store, temps):
    m = read(store, block(1, "+Temperature\n" + temps + "+Elastic\n1 0.3\n"))
    np.testing.assert_array_equal(m.temperatures, [HUGE])
    np.testing.assert_array_equal(m.peprops[:, 0, 0], nye([1, 0.3]))
    assert errstat() in (-3, -2)


def test_tables_of_other_extents_are_allocated_anew(store):
    md.peprops = np.ones((4, 1, 1), order="F")
    md.pdprops = np.ones((1, 1, 1), order="F")
    md.secantprops = np.ones((1, 1, 2), order="F")
    m = read(store, block(1, "+Failure, TYPE=PROPERTIES\n1 2\n+Calibration, TYPE=Secant, T=1\n"
                             "1 2 3 4\n"))
    assert m.peprops.shape == (9, 3, 2) and not m.peprops.any()
    np.testing.assert_array_equal(m.pdprops[:, 0, 1], [HUGE, HUGE])
    np.testing.assert_array_equal(m.secantprops, np.reshape([1, 2, 3, 4], (1, 2, 2)))


def test_unreadable_values_and_ids(store):
    m = read(store, block(1, "+Strength\n1 2 x\n+Elastic\n1 0.3\n"))
    assert errstat() == -2 and errtext() == READ_ERROR
    assert not m.psprops.any() and m.peprops[0, 0, 0] == 1
    _vorlen.errorhandling.rsxerr(1)
    _vorlen.datahandling.deallocall()
    m = read(store, "++Begin Material, MATID=x\n+Elastic\n1 0.3\n++End Material\n")
    assert errstat() == -3 and not m.peprops.any()


# ------------------------------------------------------------------------------ mutated cards

CARD = ("+Failure\n1 2\n" + block(1, "+Temperature\n293 353\n+Elastic\n" + lines(ELASTIC9) +
                                   "+Strength\n" + lines(STRENGTH10) + "+Table, TYPE=TEMPERATURE\n"
                                   + lines(np.ones(38)) + "".join(CURE) +
                                   "+Calibration, TYPE=Secant, T=1\n1 2 3 4\n"
                                   "+Calibration, TYPE=Plasticity, T=2\n1 2 3\n"
                                   "+Calibration, TYPE=EquivalentStress\n1 2 3 4\n"
                                   "+Failure, TYPE=DEGRADATION\n1 2 3 4 5 6\n+I10\n1\n") +
        block(2, "+Temperature\n100\n+Elastic\n1 0.3\n+Calibration, TYPE=Secant, T=1\n1 2\n"))


def mutate(rng, text):
    out = text.splitlines()
    for _ in range(rng.randint(1, 5)):
        k = rng.randrange(len(out))
        kind = rng.randrange(6)
        if kind == 0:
            out[k] = out[k][:rng.randrange(len(out[k]) + 1)]
        elif kind == 1:
            out[k] = rng.choice(["1e400", "nan", "-", "x", ",,", "+", "2147483648"]) + " " + out[k]
        elif kind == 2:
            del out[k]
        elif kind == 3:
            out[k] = "".join(chr(rng.randrange(1, 256)) for _ in range(rng.randrange(300)))
        elif kind == 4:
            out.insert(k, rng.choice(["++End Material", "++Begin Material, MATID=2", "+Elastic",
                                      "+Temperature", "+Calibration, TYPE=Normal, T=1",
                                      "+Curing, TYPE=MASTER", "1 " * 120]))
        elif kind == 5:
            out[k], out[-1] = out[-1], out[k]
        if not out:
            out = [""]
    return "\n".join(out) + "\n"


def test_mutated_cards_read_without_faults(store):
    rng = random.Random(38)
    for _ in range(200):
        _vorlen.datahandling.deallocall()
        m = read(store, mutate(rng, CARD))
        nt = int(m.ntempdata)
        assert m.temperatures.shape == (nt,)
        assert m.peprops.shape[0] % nt == 0 and m.peprops.shape[1:] == (3, 2)
        for a, n in ((m.secantprops, m.nsecantdata), (m.flowprops, m.nflowdata)):
            assert a.shape[:2] == (nt, int(n))
        _vorlen.errorhandling.rsxerr(1)
    assert io.getfreeunitnumber(1, 120) == 1
