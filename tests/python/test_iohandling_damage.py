"""Damage card reader of module iohandling: positions, ellipses, polygons and the buckling
records of the damage sets; refusals and mutated cards."""
import random

import numpy as np
import pytest

import _vorlen
from conftest import errstat, errtext

io = _vorlen.iohandling
dd = _vorlen.damagedata
HUGE = np.finfo(float).max
READ_ERROR = "Error: Error in GetDataPointsRead operation exited with an error."


def pad(text):
    return str(text).ljust(256)


@pytest.fixture
def store(clean_store, tmp_path):
    dd.ndmg = 0
    yield tmp_path


def read(tmp_path, text, nplies=2, nsec=1):
    (tmp_path / "DamageCard.vrl").write_text(text)
    io.getdamagedatafromfile(pad(tmp_path / "deck.inp"), pad(tmp_path), nplies, nsec)
    return dd


def block(k, body):
    return f"++Begin Damage, DMGID={k}\n{body}++End Damage\n"


def half_axes(values, cols):
    """Rows 1 and 2 of the ellipse columns: values 2 and 3 of each group of four."""
    g = np.reshape(values, (-1, 4))
    out = np.zeros((3, cols))
    out[:2, :len(g)] = g[:, 1:3].T
    return out


def test_sets_follow_their_index_and_positions(store):
    d = read(store, block(2, "+Position\n1 2 3 30\n") +
             block(1, "+Position\n4 5 6 7 8 45\n+Abstraction, Matrix\n1 2 3 4 5 6 7 8\n"))
    assert int(d.ndmg) == 2
    np.testing.assert_array_equal(d.dmgplane[:, 1], [1, 2, 3, 30, -HUGE, -HUGE])
    np.testing.assert_array_equal(d.dmgplane[:, 0], [4, 5, 6, 7, 8, 45])
    np.testing.assert_array_equal(d.matrixdds[:, :, 0], half_axes(np.arange(1, 9), 2))
    assert not d.matrixdds[:, :, 1].any()
    assert d.generaldds is None and d.delamdds is None and d.dmgpoints is None


@pytest.mark.parametrize("option, table", [
    ("General, Fiber", "generaldds"), ("Fiber", "fiberdds"), ("Core", "coredds"),
    ("User", "userdds")])
def test_first_mode_word_counts(store, option, table):
    d = read(store, block(1, f"+Abstraction, {option}\n0 1 2 0\n"))
    np.testing.assert_array_equal(getattr(d, table)[:, :, 0], half_axes([0, 1, 2, 0], 2))


def test_delamination_interfaces_and_buckling_records(store):
    d = read(store, block(1, "+Abstraction, Delamination\n1 2 3 4\n") +
             block(2, "+Abstraction, Delamination\n0 1 1 0 0 5 6 0 9\n"), nplies=3, nsec=2)
    np.testing.assert_array_equal(d.delamdds[:, :, 1], half_axes(np.r_[0, 1, 1, 0, 0, 5, 6, 0], 2))
    assert _vorlen.bukdata.bukintdatalist.shape == (4, 2, 2, 2)
    assert _vorlen.bukdata.bukrealdatalist.shape == (12, 2, 2, 2)
    _vorlen.datahandling.deallocall()
    d = read(store, block(1, "+Abstraction, Delamination\n1 2 3 4\n+Abstraction, matrix\n"
                             "1 2 3 4\n"), nplies=1)
    assert d.delamdds is None and d.matrixdds is None and _vorlen.bukdata.bukintdatalist is None
    assert errstat() == 0


@pytest.mark.parametrize("option", ["LayID=2, Mode=Matrix", "Mode=Matrix, Layer=2"])
def test_polygon_table(store, option):
    d = read(store, block(1, f"+Table, {option}\n1 2 3\n4 5 6\n") +
             block(2, "+Table, LayID=1, Mode=User\n7 8 9\n"))
    assert d.dmgpoints.shape == (6, 2, 6, 2)
    expected = np.full((6, 2, 6, 2), HUGE)
    expected[:, 1, 2, 0] = np.arange(1, 7)
    expected[:3, 0, 5, 1] = [7, 8, 9]
    np.testing.assert_array_equal(d.dmgpoints, expected)


@pytest.mark.parametrize("body", [
    "+Table, LayID=3, Mode=Matrix\n1 2 3\n",       # layer beyond the plies
    "+Table, LayID=0, Mode=Matrix\n1 2 3\n",
    "+Table, LayID=1\n1 2 3\n",                     # no mode part
    "+Table, LayID=1, Mode=Crack\n1 2 3\n",         # no mode word
    "+Table, LayID=1, Mode=matrix\n1 2 3\n",        # mode words are case-sensitive
    "+Abstraction, Fiber\n" + "1 " * 12 + "\n",     # three groups in two plies
])
def test_refused_keys_are_skipped(store, body):
    d = read(store, block(1, body + "+Position\n1 2 3 4\n"))
    assert errstat() == -3
    assert d.dmgpoints is None and d.fiberdds is None
    np.testing.assert_array_equal(d.dmgplane[:, 0], [1, 2, 3, 4])


@pytest.mark.parametrize("head", ["++Begin Damage, DMGID=3", "++Begin Damage, DMGID=0",
                                  "++Begin Damage, DMGID=x"])
def test_set_index_outside_the_sets(store, head):
    d = read(store, f"{head}\n+Position\n1 2 3 4\n++End Damage\n" + block(1, ""))
    assert int(d.ndmg) == 2 and d.dmgplane is None and errstat() == -3


def test_bad_counts_and_unreadable_values(store):
    d = read(store, block(1, "+Position\n1 2 3 4\n"), nplies=0)
    assert d.dmgplane is None and errstat() == -3
    _vorlen.errorhandling.rsxerr(1)
    d = read(store, block(1, "+Position\n1 x 3 4\n+Abstraction, General\n1 2 3 4\n"))
    assert errstat() == -2 and errtext() == READ_ERROR
    assert d.dmgplane is None
    np.testing.assert_array_equal(d.generaldds[:2, 0, 0], [2, 3])


def test_long_lines_are_read_whole(store):
    position = [1234.5678901234567] * 20  # 379 characters
    halves = np.random.default_rng(5).uniform(0, 10, 4 * 16)
    d = read(store, block(1, "+Position\n" + " ".join(map(repr, position)) + "\n"
                          "+Abstraction, Fiber\n" + ", ".join(map(repr, halves)) + "\n"), nplies=16)
    np.testing.assert_array_equal(d.dmgplane[:, 0], position)
    np.testing.assert_array_equal(d.fiberdds[:, :, 0], half_axes(halves, 16))
    assert errstat() == 0


def test_a_second_reading_keeps_no_table_of_other_counts(store):
    read(store, block(1, "+Abstraction, General\n" + "0 1 2 0 " * 4 + "\n+Position\n1 2 3 4\n")
         + block(2, "+Abstraction, Delamination\n0 1 2 0\n+Table, LayID=1, Mode=Core\n1 2 3\n"),
         nplies=4, nsec=2)
    assert dd.generaldds.shape == (3, 4, 2) and dd.delamdds.shape == (3, 3, 2)
    d = read(store, block(1, "+Abstraction, Fiber\n0 5 6 0\n"), nplies=2, nsec=1)
    assert int(d.ndmg) == 1
    for name in ("generaldds", "delamdds", "dmgplane", "dmgpoints"):
        assert getattr(d, name) is None, name
    assert _vorlen.bukdata.bukintdatalist is None and _vorlen.bukdata.bukrealdatalist is None
    np.testing.assert_array_equal(d.fiberdds, half_axes([0, 5, 6, 0], 2)[:, :, None])
    # tables with the extents of the counts are written as they are
    d = read(store, block(1, "+Abstraction, Core\n0 7 8 0\n"), nplies=2, nsec=1)
    np.testing.assert_array_equal(d.fiberdds, half_axes([0, 5, 6, 0], 2)[:, :, None])
    assert d.coredds.shape == (3, 2, 1)


def test_existing_tables_of_other_extents_are_made_anew(store):
    _vorlen.datahandling.allocatedamagedata(2, 1, 1)  # (3, 2, 1) tables, dmgplane (10, 1)
    d = read(store, block(1, "+Position\n1 2 3 4\n") + block(2, "+Abstraction, Core\n0 1 2 0\n"))
    assert d.coredds.shape == (3, 2, 2) and d.dmgplane.shape == (4, 2)
    np.testing.assert_array_equal(d.coredds[:, :, 1], half_axes([0, 1, 2, 0], 2))


def test_card_missing_and_card_without_blocks(store):
    io.getdamagedatafromfile(pad(store / "none.inp"), pad(store), 2, 1)
    assert int(dd.ndmg) == 0 and dd.dmgplane is None
    d = read(store, "+Position\n1 2 3 4\n")
    assert int(d.ndmg) == 0 and d.dmgplane is None
    assert io.getfreeunitnumber(1, 120) == 1


CARD = (block(1, "+Position\n1 2 3 4 5\n+Abstraction, Fiber\n0 1 2 0 0 3 4 0\n"
                 "+Table, LayID=2, Mode=Core\n1 2 3 4 5 6\n+Abstraction, Delamination\n1 2 3 4\n") +
        block(2, "+Position\n1 2 3 4\n+Table, Mode=General, Layer=1\n1 2 3\n"))


def mutate(rng, text):
    out = text.splitlines()
    for _ in range(rng.randint(1, 5)):
        k = rng.randrange(len(out))
        kind = rng.randrange(5)
        if kind == 0:
            out[k] = out[k][:rng.randrange(len(out[k]) + 1)]
        elif kind == 1:
            out[k] = rng.choice(["1e400", "nan", "x", ",,", "+", "99"]) + " " + out[k]
        elif kind == 2:
            del out[k]
        elif kind == 3:
            out[k] = "".join(chr(rng.randrange(1, 256)) for _ in range(rng.randrange(300)))
        elif kind == 4:
            out.insert(k, rng.choice(["++End Damage", "++Begin Damage, DMGID=2",
                                      "++Begin Damage, DMGID=-7", "+Table, LayID=9, Mode=Fiber",
                                      "+Table, LayID=1, Mode=Delamination",
                                      "+Abstraction, User", "1 " * 120]))
        if not out:
            out = [""]
    return "\n".join(out) + "\n"


def test_mutated_cards_read_without_faults(store):
    rng = random.Random(3808)
    for _ in range(200):
        _vorlen.datahandling.deallocall()
        d = read(store, mutate(rng, CARD), nplies=rng.randint(1, 3), nsec=rng.randint(1, 2))
        n = int(d.ndmg)
        for a in (d.dmgplane, d.fiberdds, d.delamdds, d.dmgpoints):
            assert a is None or a.shape[-1] == n
        _vorlen.errorhandling.rsxerr(1)
    assert io.getfreeunitnumber(1, 120) == 1
