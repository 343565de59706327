"""Card readers of module iohandling: step and section cards, the solver model listing, the
integration-point report, tagged names and element extents; mutated cards read without faults."""
import os
import random

import numpy as np
import pytest

import _vorlen
from conftest import errstat, errtext, run_python

io = _vorlen.iohandling
DEFAULT = 2147483647
READ_ERROR = "Error: Error in GetDataPointsRead operation exited with an error."


def pad(text):
    return str(text).ljust(256)


@pytest.fixture
def store(clean_store, tmp_path):
    _vorlen.sectiondata.nsec = 1
    _vorlen.sectiondata.nplies = 1
    yield tmp_path


def step(tmp_path, text, nsteps=2):
    (tmp_path / "StepCard.vrl").write_text(text)
    io.getstepdatafromfile(pad(tmp_path / "none.inp"), pad(tmp_path), nsteps)
    d = _vorlen.debugdata
    return (int(d.edebug), int(d.ndebug), int(d.fdebug), int(d.nupdate), int(d.verbose),
            int(d.unitid))


def section(tmp_path, text, card=True):
    path = tmp_path / ("SectionCard.vrl" if card else "deck.inp")
    path.write_text(text)
    io.getsectiondatafromfile(pad(tmp_path / "deck.inp"), pad(tmp_path))
    return _vorlen.sectiondata


# ---------------------------------------------------------------------------------- step card

@pytest.mark.parametrize("body, expected", [
    ("++Begin Step\n+Debug, TYPE=ELEMENT\n1234\n++End Step\n", (1234, 0, 0, 1, 0, -3)),
    ("++Begin Step\n+Verbose\n2\n++End Step\n", (0, 0, 0, 1, 2, -3)),
    ("++Begin Step\n+Verbose\n2, 6\n++End Step\n", (0, 0, 0, 1, 2, 6)),
    ("+Debug, TYPE=ELEMENT\n5\n+Update\n4\n++Begin Step\n++End Step\n", (0, 0, 0, 4, 0, -3)),
    ("++Begin Step\n+Debug, type=element\n5\n++End Step\n++Begin Step\n+DEBUG,TYPE=ELEMENT\n7\n"
     "+Debug, TYPE=NODAL\n8 9\n+Debug, TYPE=FILE\n1\n++End Step\n", (7, 8, 1, 1, 0, -3)),
    ("++Begin Step\n+Debug, TYPE=ELEMENT\n5\n", (0, 0, 0, 1, 0, -3)),
    ("++Begin Step\n+Update, TYPE=INC\n3\n+Debug, TYPE = ELEMENT\n5\n++End Step\n",
     (0, 0, 0, 3, 0, -3)),
    # a +Debug without values keeps the value collected before; a later +Verbose is taken whole
    ("++Begin Step\n+Debug, TYPE=ELEMENT\n5\n+Debug, TYPE=ELEMENT\n+Verbose\n1 4\n+Verbose\n3\n"
     "++End Step\n", (5, 0, 0, 1, 3, -3)),
])
def test_step_debug_values(store, body, expected):
    assert step(store, body) == expected


def test_step_card_missing_reads_the_deck_and_nothing_changes_without_either(store):
    _vorlen.debugdata.nupdate = 9
    io.getstepdatafromfile(pad(store / "none.inp"), pad(store), 1)
    assert int(_vorlen.debugdata.nupdate) == 9
    (store / "job.inp").write_text("*Heading\n++Begin Step\n+Update\n6\n++End Step\n*Step\n")
    io.getstepdatafromfile(pad(store / "job.inp"), pad(store), 1)
    assert int(_vorlen.debugdata.nupdate) == 6


def test_cycle_general_and_individual(store):
    rng = np.random.default_rng(7)
    values = np.round(rng.uniform(0, 100, 23), 6)
    values[[2, 5, 13, 16]] = [1, 3, 3, 4.6]  # rows 3 and 6 of the two steps
    lines = "\n".join(", ".join(map(repr, chunk)) for chunk in np.array_split(values, 4))
    table = [0.5, 1.5, 2.5, 3.5, 4.5, 9.0]
    step(store, f"+Cycle\n{lines}\n\n++Begin Step\n+Cycle, TYPE=INDIVIDUAL\n"
                f"{' '.join(map(str, table))}\n++End Step\n")
    props = _vorlen.shokriehdata.cycleprops
    np.testing.assert_array_equal(props, values[:22].reshape(2, 11).T)
    cycles = _vorlen.shokriehdata.cycles
    assert cycles.shape == (5, 2)
    np.testing.assert_array_equal(cycles[:, 0], 0.0)
    np.testing.assert_array_equal(cycles[:, 1], table[:5])


def test_cycle_direct_then_individual_reallocates(store):
    settings = " ".join(["0", "1", "3", "1", "1", "2"]) + "\n"
    step(store, "++Begin Step\n+Cycle, TYPE=DIRECT\n" + settings * 2 + "++End Step\n")
    np.testing.assert_array_equal(_vorlen.shokriehdata.cycles, np.ones((1, 2)))
    step(store, "++Begin Step\n+Cycle, TYPE=DIRECT\n" + settings * 2 +
         "+Cycle, TYPE=INDIVIDUAL\n7 8 9 10\n++End Step\n")
    np.testing.assert_array_equal(_vorlen.shokriehdata.cycles, [[7, 9], [8, 10]])


@pytest.mark.parametrize("body, nsteps, message", [
    ("+Cycle\n1 2 3\n", 0, "Fewer cycle values than steps"),
    ("+Cycle\n1 2 3\n", 4, "Fewer cycle values than steps"),
    ("+Cycle\n1 2 3 4 5\n++Begin Step\n+Cycle, TYPE=INDIVIDUAL\n1\n", 1,
     "Cycle tables without settings of 6 rows"),
    ("+Cycle\n1 2 3 4 5 0.2\n++Begin Step\n+Cycle, TYPE=INDIVIDUAL\n1\n", 1,
     "Cycle table length outside"),
])
def test_cycle_refusals(store, body, nsteps, message):
    step(store, body, nsteps)
    assert errstat() == -3 and errtext().startswith(message)
    if "INDIVIDUAL" in body:
        assert _vorlen.shokriehdata.cycles is None
    else:
        assert _vorlen.shokriehdata.cycleprops is None


@pytest.mark.parametrize("nsteps, top", [(1, 2147483647), (1, 2 ** 24 + 1), (2, 2 ** 23 + 1)])
def test_cycle_table_above_its_bound_is_refused_unallocated(store, nsteps, top):
    settings = f"0 1 3 1 1 {top}\n" * nsteps
    step(store, f"++Begin Step\n+Cycle, TYPE=GENERAL\n{settings}+Cycle, TYPE=INDIVIDUAL\n5 6\n"
                "++End Step\n", nsteps)
    assert errstat() == -3 and errtext().startswith("Cycle table of more than 16777216 entries")
    assert _vorlen.shokriehdata.cycles is None
    assert _vorlen.shokriehdata.cycleprops.shape == (6, nsteps)


def test_cycle_table_at_its_bound(store):
    step(store, f"++Begin Step\n+Cycle\n0 1 3 1 1 {2 ** 23}\n0 1 1 1 1 1\n"
                "+Cycle, TYPE=INDIVIDUAL\n5 6\n++End Step\n", 2)
    cycles = _vorlen.shokriehdata.cycles
    assert cycles.shape == (2 ** 23, 2) and errstat() == 0
    np.testing.assert_array_equal(cycles[:3, 0], [5, 6, 0])
    assert not cycles[:, 1].any()


def test_a_second_reading_keeps_no_cycle_table(store):
    step(store, "++Begin Step\n+Cycle, TYPE=DIRECT\n" + "0 1 3 1 1 2\n" * 3 + "++End Step\n", 3)
    assert _vorlen.shokriehdata.cycles.shape == (1, 3)
    step(store, "++Begin Step\n+Update\n2\n++End Step\n", 2)
    assert _vorlen.shokriehdata.cycles is None and _vorlen.shokriehdata.cycleprops is None
    step(store, "+Cycle\n" + "0 1 3 1 1 2\n" * 2, 2)
    assert _vorlen.shokriehdata.cycles is None
    assert _vorlen.shokriehdata.cycleprops.shape == (6, 2)


def test_cycle_options(store):
    step(store, "++Begin Step\n+Cycle, TYPE=GENERAL, more\n1 2\n++End Step\n", 1)
    np.testing.assert_array_equal(_vorlen.shokriehdata.cycleprops, [[1], [2]])
    step(store, "++Begin Step\n+Cycle, TYPE=GENERAL\n1 2 3 4 5 6\n+Cycle, TYPE=INDIVIDUAL x\n"
         "9\n++End Step\n", 1)
    assert _vorlen.shokriehdata.cycles is None
    np.testing.assert_array_equal(_vorlen.shokriehdata.cycleprops, [[1], [2], [3], [4], [5], [6]])


def test_junk_number_is_a_read_error_and_stores_nothing(store):
    assert step(store, "++Begin Step\n+Update\n4\n+Debug, TYPE=ELEMENT\n5x\n++End Step\n")[:4] == (
        0, 0, 0, 4)
    assert errstat() == -2 and errtext() == READ_ERROR


def test_cycle_lines_are_read_whole(store):
    values = np.random.default_rng(17).uniform(0, 1e3, 22)  # one line of about 420 characters
    step(store, "+Cycle\n" + " ".join(map(repr, values)) + "\n", 2)
    np.testing.assert_array_equal(_vorlen.shokriehdata.cycleprops, values.reshape(2, 11).T)
    assert errstat() == 0


# ------------------------------------------------------------------------------- section card

def test_two_sections_ids_orientations_and_z(store):
    rng = np.random.default_rng(3)
    angles = np.round(rng.uniform(-90, 90, 4), 4)
    thick = np.round(rng.uniform(0.1, 0.3, 4), 5)
    s = section(store, f"""*Heading
++Begin Section, SECID=12
+Material
3
+Orientation
{angles[0]}, {angles[1]}
  {angles[2]}\t{angles[3]}
+Thickness
{' '.join(map(str, thick))}
+Extension
1 0
+Strength
  
 2.5e2, 7
++End Section
++Begin Section, SECID=40
+Material
5,6
+Orientation
0 90
+Thickness
0.25
+Strength, TYPE=INSITU
99
++End Section
""")
    assert (int(s.nsec), int(s.nplies)) == (2, 4)
    np.testing.assert_array_equal(s.secidlist, [12, 40])
    np.testing.assert_array_equal(_vorlen.materialdata.matidlist,
                                  [[3, 5], [3, 6], [3, DEFAULT], [3, DEFAULT]])
    np.testing.assert_array_equal(s.plyorientation[:, 0], angles)
    np.testing.assert_array_equal(s.plythickness, np.c_[thick, [0.25, 0.25, 0, 0]])
    np.testing.assert_array_equal(s.seflags, [[1, 0], [0, 0]])
    np.testing.assert_array_equal(s.xcstrength, [250.0, 0.0])
    for col, t in ((0, thick), (1, np.array([0.25, 0.25]))):
        edges = np.concatenate([[0], np.cumsum(t)]) - t.sum() / 2
        points = np.empty(2 * len(t) + 1)
        points[0::2], points[1::2] = edges, (edges[:-1] + edges[1:]) / 2
        np.testing.assert_allclose(s.plyzcoord[:len(points), col], points, rtol=0, atol=1e-12)
    assert s.sehmatrix.shape == (2, 2, 2) and s.sefmatrix.shape == (9, 4, 2)
    assert errstat() == 0


def test_one_ply_without_material_and_blocks_in_the_deck(store):
    s = section(store, "*Node\n++Begin Section, SECID=1\n+Orientation\n45\n+Thickness\n0.5\n"
                       "++End Section\n", card=False)
    np.testing.assert_array_equal(_vorlen.materialdata.matidlist, [[1]])
    np.testing.assert_allclose(s.plyzcoord[:, 0], [-0.25, 0, 0.25])


def test_indented_keys_and_a_second_section_without_material(store):
    s = section(store, "++Begin Section, SECID=1\n+Material\n2\n+Orientation\n0 0\n"
                       "+Strength\n5\n +Material\n7\n++End Section\n ++Begin Section, SECID=2\n"
                       "++Begin Section, SECID=3\n+Orientation\n0 0\n++End Section\n")
    assert int(s.nsec) == 3  # the indented begin line counts but opens no block
    np.testing.assert_array_equal(_vorlen.materialdata.matidlist[:, :2], [[2, DEFAULT]] * 2)
    np.testing.assert_array_equal(s.secidlist[:2], [1, 3])


@pytest.mark.parametrize("body, message", [
    ("++Begin Section, SECID=1\n+Orientation\n0 0\n+Material\n1 2 3\n++End Section\n",
     "More values than plies"),
    ("++Begin Section, SECID=1\n+Extension\n1 1 1\n++End Section\n", "More values than plies"),
    ("++Begin Section, SECID=1\n+Orientation, X\n0 0 0\n+Thickness\n1\n++End Section\n",
     "More values than plies"),
    ("++Begin Section, SECID=1\n++End Section\n++End Section\n++End Section\n",
     "More section blocks than sections"),
    ("++Begin Section, SECID=x1\n++End Section\n", "Section id is no integer"),
    ("++Begin Section, SECID=1\n+Strength\n++End Section\n", "No strength value after"),
])
def test_section_refusals(store, body, message):
    s = section(store, body)
    assert errstat() == -3 and errtext().startswith(message)
    assert _vorlen.materialdata.matidlist.shape == (int(s.nplies), int(s.nsec))


def test_strength_without_number_keeps_the_block_end(store):
    s = section(store, "++Begin Section, SECID=4\n+Strength\n++End Section\n")
    np.testing.assert_array_equal(s.secidlist, [4])


def test_tables_of_an_other_sized_reading_are_reallocated(store):
    section(store, "++Begin Section, SECID=1\n+Orientation\n0 0 0\n+Material\n1\n++End Section\n")
    _vorlen.sectiondata.nsec = 1
    _vorlen.sectiondata.nplies = 1
    (store / "SectionCard.vrl").unlink()
    s = section(store, "++Begin Section, SECID=1\n+Orientation\n0\n++End Section\n"
                       "++Begin Section, SECID=2\n+Orientation\n0 0\n+Material\n3 3\n"
                       "++End Section\n")
    assert s.plyzcoord.shape == (5, 2)
    np.testing.assert_array_equal(_vorlen.materialdata.matidlist, [[DEFAULT, 3], [DEFAULT, 3]])


def test_long_lines_are_read_whole(store):
    angle = "1234.5678901234567"
    rng = np.random.default_rng(23)
    thick = rng.uniform(0.1, 0.3, 20)
    s = section(store, "++Begin Section, SECID=1\n+Orientation\n" + ", ".join([angle] * 20) +
                "\n+Thickness\n" + "   ".join(map(repr, thick)) + "\n+Material\n7\n"
                "+Strength\n" + " " * 300 + "2.5e2\n++End Section\n")
    assert int(s.nplies) == 20 and errstat() == 0
    np.testing.assert_array_equal(s.plyorientation[:, 0], [float(angle)] * 20)
    np.testing.assert_array_equal(s.plythickness[:, 0], thick)
    np.testing.assert_array_equal(s.xcstrength, [250.0])


def test_section_of_many_plies_z_coordinates(store):
    # the stack summed once: 1e5 plies read in milliseconds (bench/section_reader.py)
    rng = np.random.default_rng(29)
    n = 100_000
    thick = np.round(rng.uniform(0.1, 0.3, n), 4)
    (store / "SectionCard.vrl").write_text(
        "++Begin Section, SECID=1\n+Material\n1\n+Orientation\n" + "0\n" * n +
        "+Thickness\n" + "\n".join(map(str, thick)) + "\n++End Section\n")
    io.getsectiondatafromfile(pad(store / "deck.inp"), pad(store))
    z = _vorlen.sectiondata.plyzcoord[:, 0]
    edges = np.concatenate([[0], np.cumsum(thick)]) - thick.sum() / 2
    np.testing.assert_allclose(z[0::2], edges, rtol=0, atol=1e-9)
    np.testing.assert_allclose(z[1::2], (edges[:-1] + edges[1:]) / 2, rtol=0, atol=1e-9)


def test_junk_in_a_section_key_stores_nothing_from_it(store):
    s = section(store, "++Begin Section, SECID=1\n+Orientation\n10 20\n+Thickness\n0.1 zz\n"
                       "++End Section\n")
    assert errstat() == -2 and errtext() == READ_ERROR
    np.testing.assert_array_equal(s.plyorientation, [[10], [20]])
    np.testing.assert_array_equal(s.plythickness, [[0], [0]])


# --------------------------------------------------------------------------- model listing

LISTING = """ header
                           E L E M E N T   D E F I N I T I O N S

 NUMBER  TYPE     PROPERTY      NODES FORMING ELEMENT
                  REFERENCE

      12 S4R             1     101     102     112     111
      13 SC8R            1     101     102     112     111     201     202     212     211
      14 CINPE4          1       1       2       3       4
      15 S4R5            1     102     103     113     112
 THE NEXT TABLE

                           N O D E   D E F I N I T I O N S

    NODE     COORDINATES
     101  0.0  0.0  0.0
     102  1.0  0.0  0.5
     103  2.0  0.0
     111  0.0  1.0  0.0
     112  1.0  1.0  0.25
     113  2.0  1.0  0.0
      50  9.0  9.0  9.0
"""


def test_small_listing_by_hand(store):
    (store / "job.dat").write_text(LISTING)
    io.getabqdatafromfile(str(store / "job.dat") + "   ")
    e, n = _vorlen.elementdata, _vorlen.nodaldata
    assert (int(e.nelem), int(n.nnodes), int(n.ndof)) == (3, 8, 6)
    np.testing.assert_array_equal(e.elemlist, [12, 13, 15])
    np.testing.assert_array_equal(e.elemkind, [2, 10, 3])
    np.testing.assert_array_equal(e.elemnodes[:, 0], [101, 102, 112, 111, 0, 0, 0, 0])
    np.testing.assert_array_equal(e.elemnodes[:, 1], 0)
    np.testing.assert_array_equal(e.elemnodes[:4, 2], [102, 103, 113, 112])
    coords = n.nodalcoords
    np.testing.assert_array_equal(coords[:, :4, 0].T, [[0, 0, 0], [1, 0, .5], [1, 1, .25],
                                                        [0, 1, 0]])
    np.testing.assert_array_equal(coords[:, 1, 2], [2, 0, 0])  # two coordinates given
    np.testing.assert_array_equal(coords[:, :, 1], 0)
    np.testing.assert_array_equal(_vorlen.sectiondata.nsectionpoints, 0)
    assert errstat() == 0


def test_listing_coordinates_agree_with_getnodalcoordinates(store):
    (store / "job.dat").write_text(LISTING)
    io.getabqdatafromfile(str(store / "job.dat"))
    read = _vorlen.nodaldata.nodalcoords.copy()
    _vorlen.nodaldata.nodalcoords[...] = 0
    for label, *xyz in [(101, 0, 0, 0), (102, 1, 0, .5), (103, 2, 0, 0), (111, 0, 1, 0),
                        (112, 1, 1, .25), (113, 2, 1, 0)]:
        _vorlen.elementhandling.getnodalcoordinates(np.array([xyz], float).T,
                                                    np.array([label], np.int32), 3)
    np.testing.assert_array_equal(read, _vorlen.nodaldata.nodalcoords)


def test_listing_nodes_numbered_from_one(store):
    # labels from 1 with a repeated label (its last line holds) and a gap
    (store / "job.dat").write_text(
        " E L E M E N T   D E F I N I T I O N S\n 1 S4R 1 1 2 3 5\n 2 S4R 1 5 4 2 1\n end\n"
        " N O D E   D E F I N I T I O N S\n 1 1 0 0\n 2 2 0 0\n 2 2.5 0 0\n 3 3 0 0\n"
        " 5 5 0 0\n end\n")
    io.getabqdatafromfile(str(store / "job.dat"))
    np.testing.assert_array_equal(_vorlen.nodaldata.nodalcoords[0, :4, :].T,
                                  [[1, 2.5, 3, 5], [5, 0, 2.5, 1]])  # node 4 is not listed


@pytest.mark.parametrize("text", [
    "no tables\n",
    " E L E M E N T   D E F I N I T I O N S\n 1 T3D2 1 1 2\n x\n",
    " E L E M E N T   D E F I N I T I O N S\n 1 S4R 1 1 2 3 4\n",
])
def test_listings_that_change_nothing(store, text):
    (store / "job.dat").write_text(text)
    _vorlen.elementdata.nelem = 77
    io.getabqdatafromfile(str(store / "job.dat"))
    io.getabqdatafromfile(str(store / "missing.dat"))
    assert int(_vorlen.elementdata.nelem) == 77 and _vorlen.elementdata.elemlist is None


def test_listing_labels_and_extents(store):
    body = "".join(f" {1000 + k} S4R 1 {k} {k + 1} {k + 2} {k + 3} {k + 4}\n" for k in range(1, 11))
    (store / "job.dat").write_text(" E L E M E N T   D E F I N I T I O N S\n" + body + " end\n"
                                   " N O D E   D E F I N I T I O N S\n 3000000 1 2 3\n")
    _vorlen.datahandling.allocateelementdata(8, 2)
    io.getabqdatafromfile(str(store / "job.dat"))
    e = _vorlen.elementdata
    np.testing.assert_array_equal(e.elemlist, np.arange(1001, 1011))
    assert e.elemnodes.shape == (4, 10)  # reallocated from (8, 2)
    assert errstat() == -3 and errtext().startswith("More node labels than nnodes")


@pytest.mark.parametrize("element, node, nodes, xyz", [
    # node labels or a coordinate beyond column 256: -3, the line read without them
    (" 12 S4R 1 101 102" + " " * 250 + "112 111", " 101 0.5 1.5 2.5", [101, 102, 0, 0],
     [0.5, 1.5, 2.5]),
    (" 12 S4R 1 101 102 112 111", " 101 0.5 1.5" + " " * 250 + "2.5", [101, 102, 112, 111],
     [0.5, 1.5, 0.0]),
], ids=["element-line", "node-line"])
def test_listing_line_beyond_256_columns(store, element, node, nodes, xyz):
    # the next line holds numbers that a cut line must not take
    (store / "job.dat").write_text(
        " E L E M E N T   D E F I N I T I O N S\n" + element + "\n 7 8 9\n end\n"
        " N O D E   D E F I N I T I O N S\n" + node + "\n 7 8 9\n")
    io.getabqdatafromfile(str(store / "job.dat"))
    np.testing.assert_array_equal(_vorlen.elementdata.elemnodes[:, 0], nodes)
    np.testing.assert_array_equal(_vorlen.nodaldata.nodalcoords[:, 0, 0], xyz)
    assert (errstat(), errtext()) == (
        -3, "Listing line longer than 256 characters in getabqdatafromfile")


def test_listing_heading_beyond_256_columns(store):
    # a heading that reaches past column 256 is not taken: -3, the tables from the next one
    (store / "job.dat").write_text(
        " " * 240 + "E L E M E N T   D E F I N I T I O N S\n 13 S4R 1 1 2 3 4\n end\n"
        " E L E M E N T   D E F I N I T I O N S\n 12 S4R 1 101 102 112 111\n end\n"
        " N O D E   D E F I N I T I O N S\n 101 0 0 0\n")
    io.getabqdatafromfile(str(store / "job.dat"))
    np.testing.assert_array_equal(_vorlen.elementdata.elemlist, [12])
    assert (errstat(), errtext()) == (
        -3, "Listing line longer than 256 characters in getabqdatafromfile")


def test_listing_lines_beyond_256_columns_unused_or_blank(store):
    (store / "job.dat").write_text(
        " note" + " " * 300 + "x\n E L E M E N T   D E F I N I T I O N S" + " " * 300 + "\n"
        " 12 S4R 1 101 102 112 111\n end\n N O D E   D E F I N I T I O N S\n 101 0 0 0\n")
    io.getabqdatafromfile(str(store / "job.dat"))
    np.testing.assert_array_equal(_vorlen.elementdata.elemnodes[:, 0], [101, 102, 112, 111])
    assert errstat() == 0


@pytest.mark.parametrize("name, expected", [
    ("S4R", (1, 4, 6)), ("S4R5", (1, 4, 5)), ("S8R5", (1, 8, 5)), ("STRI65", (1, 6, 5)),
    ("SC8R", (1, 8, 6)), ("C3D8", (1, 8, 6)), ("C3D8R", (1, 8, 6)), ("C3D20R", (1, 20, 6)),
    ("CINPE4", (0, 0, 0)), ("T3D2", (0, 0, 0)), ("SABCDEFG", (1, 0, 6)),
])
def test_element_extents(name, expected):
    assert io.getelementdataextents(name) == expected


# ------------------------------------------------------------------- tables beyond memory

N = 200000
BEYOND = {
    # N plies in N sections: N x N tables
    "section": ("SectionCard.vrl",
                "++Begin Section, SECID=1\n+Orientation\n" + "0 " * N + "\n++End Section\n" +
                "++Begin Section\n++End Section\n" * (N - 1),
                "io.getsectiondatafromfile(pad(d / 'deck.inp'), pad(d))",
                "Section tables beyond memory in getsectiondatafromfile"),
    "material": ("MaterialCard.vrl", "++Begin Material, MATID=1\n+Elastic\n1 0.3\n"
                 "++End Material\n",
                 f"io.getmaterialdatafromfile(pad(d / 'deck.inp'), pad(d), {N}, {N})",
                 "Material tables beyond memory in getmaterialdatafromfile"),
    "damage": ("DamageCard.vrl", "++Begin Damage, DMGID=1\n+Abstraction, General\n1 2 3 4\n"
               "++End Damage\n",
               "io.getdamagedatafromfile(pad(d / 'deck.inp'), pad(d), 2147483647, 1)",
               "Damage tables beyond memory in getdamagedatafromfile"),
    # N / 20 elements of a type of 99999 nodes
    "listing": ("job.dat", " E L E M E N T   D E F I N I T I O N S\n" +
                "".join(f" {k} C3D99999 1 1 2\n" for k in range(1, N // 20 + 1)) + " end\n",
                "io.getabqdatafromfile(str(d / 'job.dat'))",
                "Element tables beyond memory in getabqdatafromfile"),
}


@pytest.mark.parametrize("reader", BEYOND)
def test_tables_beyond_memory(tmp_path, reader):
    # in a child process: such counts ended the process with the allocation message
    name, text, call, message = BEYOND[reader]
    (tmp_path / name).write_text(text)
    r = run_python(f"""
        import pathlib, _vorlen
        io = _vorlen.iohandling
        d = pathlib.Path({str(tmp_path)!r})
        pad = lambda p: str(p).ljust(256)
        {call}
        text = bytes(_vorlen.errorhandling.errstring[()]).decode().rstrip()
        print(int(_vorlen.errorhandling.errstat), "|", text)
    """)
    assert r.returncode == 0, r.stdout + r.stderr
    assert r.stdout.strip().splitlines()[-1] == "-3 | " + message


# ------------------------------------------------------------------------------------- report

def test_report_lines(tmp_path):
    path = tmp_path / "job.rst"
    rng = np.random.default_rng(11)
    points = [(rng.uniform(-1e3, 1e3, 3), 7, 3), (rng.uniform(-1, 1, 3), 12345678, 1),
              (np.array([1e20, -2.0, 0.0]), 1, 2)]
    for coord, noel, npt in points:
        io.getgausspointreport(str(path), coord, noel, npt)
    lines = path.read_text().splitlines()
    assert lines[0] == "%8s%8s%25s%25s%25s" % ("NOEL", "NPT", "x", "y", "z")
    for line, (coord, noel, npt) in zip(lines[1:3], points):
        assert line == "%8d%8d%25.8f%25.8f%25.8f" % (noel, npt, *coord)
    assert lines[3] == "%8d%8d" % (1, 2) + "*" * 25 + "%25.8f%25.8f" % (-2.0, 0.0)
    assert len(lines) == 4 and all(len(x) == 91 for x in lines)


# ------------------------------------------------------------------------ names and units

@pytest.mark.parametrize("name, letter, expected", [
    ("ply_l@3@_s@12@", "l", 3), ("ply_l@3@_s@12@", "S", 12), ("_l@3@x_L@9@", "l", 9),
    ("_m@1x@", "m", -1), ("_m@4@", "q", -1), ("_s@99999999999@", "s", -1), ("no tags", "d", -1),
])
def test_tagged_names(name, letter, expected):
    assert io.getxidfromstring(name, len(name), letter) == expected


def test_tagged_name_of_80_characters_and_length_outside_the_text(clean_register):
    name = ("mat_l@3@_" + "x" * 60 + "_L@11@").ljust(80)
    assert io.getxidfromstring(name, 80, "l") == 11
    assert io.getxidfromstring("_s@5@", 500, "s", notfound=-9) == 5
    assert errstat() == -3
    assert io.getxidfromstring("_s@5@", -2, "s", notfound=-9) == -9


def test_free_unit_and_unconnected_units(clean_register, tmp_path, monkeypatch):
    monkeypatch.chdir(tmp_path)
    assert io.getfreeunitnumber(1, 120) == io.getfreeunitnumber(1, 120) == 1
    assert io.getfreeunitnumber(5, 4) == -1
    assert io.getunitnumber(str(tmp_path / "none")) == -1
    assert io.getfilelength(33) == 0 and errstat() == -3
    assert not io.get2nextkey(33, 1, "x", 1, 5)
    np.testing.assert_array_equal(io.real_getdatapoints(33, np.ones(2)), [1, 1])
    assert io.getsizeofdata(33, "*+", 2) == 0
    assert os.listdir(tmp_path) == []


# -------------------------------------------------------------------------------- mutations

STEP = ("++Begin Step, STEPID=1\n+Debug, TYPE=ELEMENT\n12\n+Verbose\n1, 6\n+Update\n2\n"
        "+Cycle, TYPE=GENERAL\n0 1 3 1 10 4 1 2 3 100\n0 1 4 1 10 2 1 2 3 100\n"
        "+Cycle, TYPE=INDIVIDUAL\n1 2 3 4\n5 6 7 8\n++End Step\n")
SECTION = ("++Begin Section, SECID=7\n+Material\n1 2 3\n+Orientation\n0 45 90\n+Thickness\n"
           "0.1\n+Extension\n1 1\n+Strength\n300\n++End Section\n++Begin Section, SECID=8\n"
           "+Material\n4\n+Orientation\n0 0\n+Thickness\n.2 .3\n++End Section\n")


def mutate(rng, text):
    lines = text.splitlines()
    for _ in range(rng.randint(1, 4)):
        k = rng.randrange(len(lines))
        kind = rng.randrange(6)
        if kind == 0:
            lines[k] = lines[k][:rng.randrange(len(lines[k]) + 1)]
        elif kind == 1:
            lines[k] = rng.choice(["1e400", "nan", "-", "3..1", "0x10", ",,", "+", "*"]) + \
                " " + lines[k]
        elif kind == 2:
            del lines[k]
        elif kind == 3:
            lines[k] = "".join(chr(rng.randrange(1, 256)) for _ in range(rng.randrange(400)))
        elif kind == 4:
            lines.insert(k, rng.choice(["++End Section", "++End Step", "+Orientation",
                                        "++Begin Section, SECID=1", "+Strength", "1 " * 200]))
        elif kind == 5:
            lines = lines[:k]
        if not lines:
            lines = [""]
    return "\n".join(lines) + rng.choice(["\n", ""])


def test_mutated_cards_read_without_faults(store):
    rng = random.Random(1234)
    for _ in range(150):
        _vorlen.datahandling.deallocall()
        _vorlen.sectiondata.nsec = _vorlen.sectiondata.nplies = 1
        step(store, mutate(rng, STEP), 2)
        props = _vorlen.shokriehdata.cycleprops
        assert props is None or props.shape[1] == 2
        s = section(store, mutate(rng, SECTION).encode("latin-1").decode("latin-1"))
        np_, ns = int(s.nplies), int(s.nsec)
        for a, shape in ((_vorlen.materialdata.matidlist, (np_, ns)),
                         (s.plyorientation, (np_, ns)), (s.plythickness, (np_, ns)),
                         (s.plyzcoord, (2 * np_ + 1, ns)), (s.secidlist, (ns,))):
            assert a.shape == shape
        (store / "job.dat").write_bytes(mutate(rng, LISTING).encode("latin-1"))
        io.getabqdatafromfile(str(store / "job.dat"))
        e = _vorlen.elementdata
        if e.elemlist is not None:
            assert e.elemlist.shape == (int(e.nelem),)
            assert _vorlen.nodaldata.nodalcoords.shape == (3, int(_vorlen.nodaldata.nnodes),
                                                           int(e.nelem))
        _vorlen.errorhandling.rsxerr(1)
    assert io.getfreeunitnumber(1, 120) == 1  # every unit closed
