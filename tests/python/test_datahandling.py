"""Allocation and release of the data store, seen from Python."""
import numpy as np
import pytest


@pytest.mark.parametrize("module,form", [
    ("errorhandling", "pyerr = xerr(lop,xerrmsg,intv,realv,asciim,[pyerr])"),
    ("errorhandling", "reset = rsxerr(lop)"),
    ("datahandling", "istat = allocateelementdata(knodes,kelem)"),
    ("datahandling", "istat = allocatenodaldata(kdof,knodes,kelem)"),
    ("datahandling", "istat = allocatedamagedata(kplies,ksec,kdmg)"),
    ("datahandling", "istat = deallocall()"),
])
def test_call_forms(module, form):
    import _vorlen
    name = form.split(" = ")[1].split("(")[0]
    assert getattr(getattr(_vorlen, module), name).__doc__.splitlines()[0] == form


def test_element_and_nodal_allocation(clean_store):
    v = clean_store
    assert v.datahandling.allocateelementdata(4, 3) == 0
    shapes = {n: getattr(v.elementdata, n).shape for n in
              ("elemlist", "elemkind", "elemnodes", "elemcurvatures", "elemreforientation")}
    assert shapes == {"elemlist": (3,), "elemkind": (3,), "elemnodes": (4, 3),
                      "elemcurvatures": (2, 3), "elemreforientation": (7, 3)}
    assert v.elementdata.elemnodes.dtype == np.int32
    assert v.elementdata.elemcurvatures.dtype == np.float64
    assert v.sectiondata.nsectionpoints.shape == (3,)
    # a second call keeps the arrays of the first
    v.elementdata.elemnodes[:] = 5
    v.datahandling.allocateelementdata(8, 9)
    assert v.elementdata.elemnodes.shape == (4, 3) and (v.elementdata.elemnodes == 5).all()
    assert v.datahandling.allocatenodaldata(5, 4, 2) == 0
    assert v.nodaldata.nodesmotion.shape == (5, 4, 2)
    assert v.nodaldata.nodalcoords.shape == (3, 4, 2)
    assert v.nodaldata.tnodalmatrices.shape == (3, 3, 8, 2)
    assert v.nodaldata.tcurvmatrices.shape == (3, 3, 2)


def test_zero_counts_give_empty_arrays(clean_store):
    v = clean_store
    v.datahandling.allocateelementdata(0, 0)
    # allocated with extent 0: Python sees no storage for a first extent of 0
    assert v.elementdata.elemnodes is None or v.elementdata.elemnodes.size == 0
    assert v.elementdata.elemcurvatures.shape == (2, 0)
    # assigning None releases them, also those whose every extent is 0
    assert v.elementdata.elemlist.shape == (0,)
    for name in ("elemlist", "elemnodes", "elemcurvatures"):
        setattr(v.elementdata, name, None)
        assert getattr(v.elementdata, name) is None


@pytest.mark.parametrize("kplies,ksec,kdmg,ndmg0,lplies,ndmg", [
    (4, 2, 3, 0, 3, 3), (1, 1, 0, 0, 1, 1), (5, 1, 1, 4, 4, 4), (0, 1, -2, 0, 1, 1),
])
def test_damage_allocation(clean_store, kplies, ksec, kdmg, ndmg0, lplies, ndmg):
    v = clean_store
    v.damagedata.ndmg = ndmg0
    assert v.datahandling.allocatedamagedata(kplies, ksec, kdmg) == 0
    d = v.damagedata
    assert d.ndmg == ndmg
    np.testing.assert_array_equal(d.damagedds, [0])
    for name in ("generaldds", "fiberdds", "matrixdds", "coredds", "userdds"):
        arr = getattr(d, name)
        if kplies > 0:
            assert arr.shape == (3, kplies, ndmg) and (arr == 0).all()
    assert d.delamdds.shape == (3, lplies, ndmg) and (d.delamdds == 0).all()
    assert d.dmgplane.shape == (10, ndmg) and (d.dmgplane == 0).all()
    assert v.bukdata.bukintdatalist.shape == (4, lplies, ndmg, ksec)
    assert v.bukdata.bukrealdatalist.shape == (12, lplies, ndmg, ksec)
    assert (v.bukdata.bukintdatalist == 0).all() and (v.bukdata.bukrealdatalist == 0).all()


def test_damage_tables_read_from_the_card_keep_their_data(clean_store):
    v = clean_store
    card = np.arange(1.0, 13.0).reshape(3, 2, 2)
    v.damagedata.fiberdds = card  # as the damage card reader leaves it
    v.damagedata.ndmg = 2
    v.datahandling.allocatedamagedata(2, 1, 2)
    np.testing.assert_array_equal(v.damagedata.fiberdds, card)
    assert (v.damagedata.matrixdds == 0).all() and v.damagedata.damagedds[0] == 0
    v.datahandling.allocatedamagedata(2, 1, 2)
    np.testing.assert_array_equal(v.damagedata.fiberdds, card)


def test_release_keeps_process_lived_arrays_and_scalars(clean_store):
    v = clean_store
    v.damagedata.ndmg = 0
    v.datahandling.allocateelementdata(2, 2)
    v.datahandling.allocatedamagedata(2, 1, 1)
    v.materialdata.temperatures = [293.0]
    v.materialdata.i10 = [4.0]
    v.impactdata.csvars = np.ones((2, 1))
    v.impactdata.cprops = np.ones((20, 1))
    v.jobdata.processid = [1, 2]
    v.sectiondata.nplies = 3
    assert v.datahandling.deallocall() == 0
    for name in ("elementdata.elemnodes", "damagedata.damagedds", "damagedata.generaldds",
                 "bukdata.bukintdatalist", "impactdata.cprops"):
        mod, var = name.split(".")
        assert getattr(getattr(v, mod), var) is None, name
    np.testing.assert_array_equal(v.materialdata.temperatures, [293.0])
    np.testing.assert_array_equal(v.materialdata.i10, [4.0])
    np.testing.assert_array_equal(v.jobdata.processid, [1, 2])
    assert v.impactdata.csvars.shape == (2, 1)
    assert v.sectiondata.nplies == 3 and v.damagedata.ndmg == 1
    assert v.datahandling.deallocall() == 0
    v.materialdata.temperatures = None
    v.materialdata.i10 = None
    v.impactdata.csvars = None
    v.jobdata.processid = None
