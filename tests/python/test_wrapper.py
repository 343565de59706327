"""Solver-convention converters of module wrapper, with material routines written here in numpy
as callbacks (a linear orthotropic ply in the secant form stress = C (stran + dstran))."""
import inspect

import numpy as np
import pytest

from conftest import errstat
from ply_lib import nye_compliance

E1, E2, E3, NU12, NU13, NU23, G12, G13, G23 = 140e3, 10e3, 9e3, 0.3, 0.28, 0.45, 5e3, 4.8e3, 3.5e3
NYE = [E1, E2, E3, NU12, NU13, NU23, G12, G13, G23]
NYE_TO_CYCLIC = [0, 1, 2, 3, 5, 4]  # cyclic vector = nye vector[NYE_TO_CYCLIC]


C6 = np.linalg.inv(nye_compliance(*NYE))


def umat_response(stran, dstran, nstatv, zero_tangent=False):
    """Stress, state variables, tangent and sse of the linear ply at the end of the increment."""
    sig = C6 @ (stran + dstran)
    tangent = np.zeros((6, 6)) if zero_tangent else C6
    return sig, np.arange(1, nstatv + 1) + 100.0, tangent, 0.5 * sig @ (stran + dstran)


def py_umat(stress, statev, ddsdde, sse, spd, scd, rpl, ddsddt, drplde, drpldt, stran, dstran,
            time, dtime, temp, dtemp, predef, dpred, materl, ndi, nshr, props, coords, drot,
            pnewdt, celent, dfgrd0, dfgrd1, noel, npt, kslay, kspt, jstep, kinc, ntens, nstatv,
            nprops, seen=None, zero_tangent=False):
    """Writes its results in place, as the converters read them."""
    assert (ndi, nshr, ntens) == (3, 3, 6)
    if seen is not None:
        seen.update(materl=materl, jstep=list(jstep), time=list(time), noel=noel, stress=stress.copy())
    stress[:], statev[:], ddsdde[:], sse[()] = umat_response(stran, dstran, nstatv, zero_tangent)
    spd[()], scd[()], pnewdt[()] = 7.0, 8.0, 0.25


def usermat_args(stress, strain, dstrain, ndirect, nshear, nstatev=2):
    n = len(stress)
    return dict(matid=1, elemid=5, kdomintpt=2, klayer=1, ksectpt=1, ldstep=3, isubst=4,
                ndirect=ndirect, nshear=nshear, time=1.0, dtime=0.5, temp=20.0, dtemp=0.0,
                stress=stress, ustatev=np.zeros(nstatev), sedel=np.zeros(()),
                sedpl=np.ones(()), epseq=np.ones(()), strain=strain, dstrain=dstrain,
                epspl=np.zeros(n), prop=np.array(NYE), coords=np.zeros(3), var0=0.0,
                defgrad_t=np.eye(3), defgrad=np.eye(3), tsstif=np.zeros(2), epszz=-5.0,
                var1=0.0, var2=0.0, var3=0.0, var4=0.0, var5=0.0, var6=0.0, var7=0.0,
                var8=0.0)


def test_ansys_3d_is_umat_in_cyclic_order(clean_register):
    _vorlen = pytest.importorskip("_vorlen")
    eps_nye = np.array([1e-3, -2e-4, 3e-4, 2e-3, -1e-3, 5e-4])
    strain = eps_nye[NYE_TO_CYCLIC] * 0.5
    stress = np.array([9.0, 9.0, 9.0, 9.0, 9.0, 9.0])
    seen = {}
    a = usermat_args(stress, strain, strain.copy(), 3, 3)
    keycut, dsdepl, epszz = _vorlen.wrapper.abq_umat_to_ansys_usermat(
        py_umat, dfunc_extra_args=(seen,), **a)
    sig_nye = C6 @ eps_nye
    np.testing.assert_allclose(stress, sig_nye[NYE_TO_CYCLIC], rtol=1e-12)
    np.testing.assert_allclose(dsdepl, C6[np.ix_(NYE_TO_CYCLIC, NYE_TO_CYCLIC)], rtol=1e-12)
    assert keycut == 0 and epszz == -5.0
    assert float(a["sedel"]) == pytest.approx(0.5 * sig_nye @ eps_nye)
    assert float(a["sedpl"]) == 0.0 and float(a["epseq"]) == 0.0
    np.testing.assert_allclose(a["tsstif"], [G13, 0.0], rtol=1e-10)
    np.testing.assert_array_equal(a["ustatev"], [101.0, 102.0])
    # The callback sees the old stress in Nye order and the fixed context.
    np.testing.assert_array_equal(seen["stress"], np.full(6, 9.0))
    assert seen["materl"].rstrip() == "ABQ_WRAPPER" and len(seen["materl"]) == 80
    assert seen["jstep"] == [3, 2147483647, 1, 0]
    assert seen["time"] == [1.0, 1.7976931348623157e308] and seen["noel"] == 5
    assert errstat() == 0


def test_ansys_plane_stress_epszz_and_shear_stiffness(clean_register):
    import _vorlen
    strain = np.array([1e-3, -4e-4, 1.5e-3])
    stress = np.zeros(3)
    a = usermat_args(stress, strain, np.zeros(3), 2, 1)
    keycut, dsdepl, epszz = _vorlen.wrapper.abq_umat_to_ansys_usermat(py_umat, **a)
    q = np.linalg.inv(nye_compliance(*NYE)[np.ix_([0, 1, 3], [0, 1, 3])])
    np.testing.assert_allclose(dsdepl, q, rtol=1e-10)
    np.testing.assert_allclose(stress, q @ strain, rtol=1e-10)
    assert epszz == pytest.approx(-(NU13 * stress[0] / E1 + NU23 * stress[1] / E2), rel=1e-10)
    np.testing.assert_allclose(a["tsstif"], [G13, G23], rtol=1e-10)


@pytest.mark.parametrize("ndirect, nshear, n", [(3, 2, 5), (2, 2, 3), (3, 3, 5), (1, 1, 2),
                                                 (4, 2, 6), (2, 2, 4), (1, 2, 3), (3, 0, 3),
                                                 (2147483647, 3, 6)])
def test_ansys_unsupported_components_write_nothing(clean_register, ndirect, nshear, n):
    import _vorlen
    called = []
    stress = np.arange(1.0, n + 1)
    a = usermat_args(stress, np.zeros(n), np.zeros(n), ndirect, nshear)
    _vorlen.wrapper.abq_umat_to_ansys_usermat(lambda *x: called.append(1) or py_umat(*x), **a)
    assert errstat() == -3 and not called
    np.testing.assert_array_equal(stress, np.arange(1.0, n + 1))
    np.testing.assert_array_equal(a["tsstif"], [0.0, 0.0])


def test_ansys_singular_tangent_gives_no_constants(clean_register):
    import _vorlen

    a = usermat_args(np.zeros(3), np.full(3, 1e-3), np.zeros(3), 2, 1)
    a["tsstif"][:] = 3.0
    _, dsdepl, epszz = _vorlen.wrapper.abq_umat_to_ansys_usermat(
        py_umat, dfunc_extra_args=(None, True), **a)
    np.testing.assert_array_equal(a["tsstif"], [0.0, 0.0])
    assert epszz == -5.0 and np.all(dsdepl == 0.0)


def test_peridigm_two_points_add_the_increment():
    import _vorlen
    stressold = np.array([[1.0, 2, 3, 4, 5, 6], [-1.0, 0, 0, 0, 0, 0]])
    dstrain = np.array([[1e-3, 0, 0, 0, 0, 0], [0, 2e-4, 0, 1e-3, 0, -5e-4]])
    stateold = np.zeros((2, 3))
    seen = {}
    snew, stnew = _vorlen.wrapper.abq_umat_to_peridigm_upermat(
        py_umat, stressold, stateold, dstrain, np.array(NYE), 0.5, 1.5, 0.1, 9, 3, 3,
        dfunc_extra_args=(seen,))
    np.testing.assert_allclose(snew, stressold + dstrain @ C6.T, rtol=1e-12)
    np.testing.assert_array_equal(stnew, [[101.0, 102.0, 103.0]] * 2)
    assert seen["time"] == [0.5, 1.5]
    # A zero increment leaves the stress as it was.
    snew, _ = _vorlen.wrapper.abq_umat_to_peridigm_upermat(
        py_umat, stressold, stateold, np.zeros((2, 6)), np.array(NYE), 0.5, 1.5, 0.1, 9, 3, 3)
    np.testing.assert_array_equal(snew, stressold)


def umat_args(stress, stran, dstran, ndi, nshr, materl, nstatv=2):
    n = len(stress)
    return dict(stress=stress, statev=np.zeros(nstatv), sse=np.zeros(()), spd=np.ones(()),
                scd=np.ones(()), rpl=0.0, ddsddt=np.zeros(n), drplde=np.zeros(n), drpldt=0.0,
                stran=stran, dstran=dstran, time=np.array([0.5, 2.0]), dtime=0.1, temp=0.0,
                dtemp=0.0, predef=np.zeros(1), dpred=np.zeros(1), materl=materl, ndi=ndi,
                nshr=nshr, props=np.array(NYE), coords=np.zeros(3), drot=np.eye(3),
                pnewdt=np.zeros(()), celent=1.0, dfgrd0=np.eye(3), dfgrd1=np.eye(3), noel=4,
                npt=1, kslay=1, kspt=1, jstep=np.array([2, 0, 0, 0], dtype=np.int32), kinc=1)


def py_usermat(matid, elemid, kdomintpt, klayer, ksectpt, ldstep, isubst, keycut, ndirect,
               nshear, time, dtime, temp, dtemp, stress, ustatev, dsdepl, sedel, sedpl, epseq,
               strain, dstrain, epspl, prop, coords, var0, defgrad_t, defgrad, tsstif, epszz,
               var1, var2, var3, var4, var5, var6, var7, var8, ncomp, nstatev, nprop, seen):
    seen.update(matid=matid, ldstep=ldstep, time=time)
    c = C6[np.ix_(NYE_TO_CYCLIC, NYE_TO_CYCLIC)]
    stress[:] = c @ (strain + dstrain)
    dsdepl[:] = c
    sedel[()] = 0.5 * stress @ (strain + dstrain)
    ustatev[:] = 42.0


@pytest.mark.parametrize("materl, matid", [("ABQ_WRAPPER", 1), ("PLY_m@7@", 7), ("PLY_m@-2@", 1)])
def test_usermat_behind_umat(clean_register, materl, matid):
    import _vorlen
    eps = np.array([1e-3, -2e-4, 3e-4, 2e-3, -1e-3, 5e-4])
    stress = np.zeros(6)
    seen = {}
    a = umat_args(stress, eps, np.zeros(6), 3, 3, materl)
    ddsdde = _vorlen.wrapper.ansys_usermat_to_abq_umat(py_usermat, dfunc_extra_args=(seen,), **a)
    np.testing.assert_allclose(stress, C6 @ eps, rtol=1e-12)
    np.testing.assert_allclose(ddsdde, C6, rtol=1e-12)
    assert float(a["sse"]) == pytest.approx(0.5 * (C6 @ eps) @ eps)
    assert float(a["pnewdt"]) == 1.0 and float(a["spd"]) == 0.0
    np.testing.assert_array_equal(a["statev"], [42.0, 42.0])
    assert (seen["matid"], seen["ldstep"], seen["time"]) == (matid, 2, 0.5)


def py_muesli(matid, stress, statev, ddsdde, sse, spd, scd, rpl, ddsddt, drplde, drpldt, stran,
              dstran, time, dtime, temp, dtemp, predef, dpred, materl, ndi, nshr, props, coords,
              drot, pnewdt, celent, dfgrd0, dfgrd1, noel, npt, kslay, kspt, jstep, kinc, ntens,
              nstatv, nprops, seen, given=5):
    """The MUESLI routine of the linear ply: writes the stress, the tangent and the negated state
    variables in place and returns the first `given` of (statev, sse, spd, scd, pnewdt), None for
    given None; it records the material ids it is called with."""
    seen.append(matid)
    stress[:], st, ddsdde[:], energy = umat_response(stran, dstran, nstatv)
    statev[:] = -st
    return None if given is None else (st, energy, 7.0, 8.0, 0.25)[:given]


# (ndi, nshr, ntens) that add up or fit a size but describe no element; the last would overflow
# a 32-bit sum.
UMAT_NO_LAYOUT = [(3, 0, 3), (1, 2, 3), (0, 3, 3), (4, 2, 6), (2, 2, 4), (2147483647, 3, 6)]


@pytest.mark.parametrize("ndi, nshr, n", UMAT_NO_LAYOUT)
@pytest.mark.parametrize("converter", ["ansys_usermat_to_abq_umat", "muesli_to_abq_umat"])
def test_umat_front_refuses_layouts_without_element(clean_register, converter, ndi, nshr, n):
    import _vorlen
    called = []
    stress = np.arange(1.0, n + 1)
    a = umat_args(stress, np.full(n, 1e-3), np.zeros(n), ndi, nshr, "X")
    if converter == "muesli_to_abq_umat":
        dfunc = py_muesli
        a.update(matid=3, dfunc_extra_args=(called,))
    else:
        dfunc = lambda *x: called.append(1) or py_usermat(*x)
        a["dfunc_extra_args"] = ({},)
    getattr(_vorlen.wrapper, converter)(dfunc, **a)
    assert errstat() == -3 and not called
    np.testing.assert_array_equal(stress, np.arange(1.0, n + 1))


# The MUESLI routine gives back statev, sse, spd, scd and pnewdt as far as its result goes; what
# it leaves out keeps its value (statev what the routine wrote into its array). The stress and the
# tangent it writes in place either way.
@pytest.mark.parametrize("given", [5, 2, 0, None])
def test_muesli_passes_the_material_id_first_and_gives_back_what_it_returns(given):
    import _vorlen
    seen = []
    eps = np.array([1e-3, -2e-4, 1.5e-3])
    a = umat_args(np.zeros(3), eps, np.zeros(3), 2, 1, "X")
    a.update(sse=-1.0, spd=-2.0, scd=-3.0, pnewdt=-4.0)
    stress, statev, ddsdde, sse, spd, scd, pnewdt = _vorlen.wrapper.muesli_to_abq_umat(
        py_muesli, matid=12, dfunc_extra_args=(seen, given), **a)
    q = np.linalg.inv(nye_compliance(*NYE)[np.ix_([0, 1, 3], [0, 1, 3])])
    np.testing.assert_allclose(ddsdde, q, rtol=1e-10)
    np.testing.assert_allclose(stress, q @ eps, rtol=1e-10)
    assert seen == [12]
    e3 = np.zeros(6)
    e3[[0, 1, 3]] = eps  # the callback's strain, without a transverse strain
    full = ([101.0, 102.0], 0.5 * e3 @ C6 @ e3, 7.0, 8.0, 0.25)
    kept = ([-101.0, -102.0], -1.0, -2.0, -3.0, -4.0)
    n = given or 0
    want = full[:n] + kept[n:]
    assert statev.tolist() == want[0]
    assert sse == pytest.approx(want[1], rel=1e-12)
    assert (spd, scd, pnewdt) == want[2:]


def test_muesli_state_variables_of_the_wrong_length_fail(capfd):
    import _vorlen
    a = umat_args(np.zeros(3), np.zeros(3), np.zeros(3), 2, 1, "X")
    with pytest.raises(ValueError, match="returned 3 values for statev where 2 are needed"):
        _vorlen.wrapper.muesli_to_abq_umat(lambda *x: (np.ones(3),), matid=1, **a)
    assert capfd.readouterr().err == ("rv_cb_arr is NULL\n" "Call-back "
                                      "cb_dfunc_in_muesli_to_abq_umat__user__routines failed.\n")


def test_bound_routine_as_callback_and_null_routine(clean_register):
    """umat_lamina's _cpointer behind the Peridigm converter gives what the Peridigm entry of
    umat_lamina gives; through the C entry a null routine records -3 and gives the old rows."""
    import ctypes as C

    import _vorlen
    sold = np.asfortranarray([[1.0, 2, 3, 4, 5, 6], [0.0] * 6])
    de = np.asfortranarray([[1e-3, 0, 0, 0, 0, 0], [0, 2e-4, 0, 1e-3, 0, 0]])
    args = (sold, np.zeros((2, 6), order="F"), de, np.array(NYE), 0.0, 1.0, 1.0, 1, 3, 3)
    snew, _ = _vorlen.wrapper.abq_umat_to_peridigm_upermat(
        _vorlen.toplevel.umat_lamina._cpointer, *args)
    np.testing.assert_allclose(snew, sold + de @ C6.T, rtol=1e-12)
    np.testing.assert_array_equal(snew, _vorlen.toplevel.upermat_lamina(*args)[0])

    lib = C.CDLL("libvorlen.so")
    ptr = lambda a: a.ctypes.data_as(C.POINTER(C.c_double))
    i32 = lambda v: C.byref(C.c_int32(v))
    d = lambda v: C.byref(C.c_double(v))
    snew, stnew = np.full((2, 6), -1.0, order="F"), np.full((2, 1), -1.0, order="F")
    lib.wrapper_abq_umat_to_peridigm_upermat(
        None, ptr(snew), ptr(stnew), ptr(sold), ptr(np.full((2, 1), 4.0, order="F")), ptr(de),
        ptr(np.array(NYE)), d(0.0), d(1.0), d(1.0), i32(1), i32(2), i32(3), i32(3), i32(1),
        i32(9))
    assert errstat() == -3
    np.testing.assert_array_equal(snew, sold)
    np.testing.assert_array_equal(stnew, np.full((2, 1), 4.0))


def test_a_umat_that_returns_its_results_instead_of_writing_them_changes_nothing(clean_register):
    import _vorlen
    def returning_umat(stress, statev, ddsdde, sse, spd, scd, rpl, ddsddt, drplde, drpldt, stran,
                       dstran, *rest):
        return umat_response(stran, dstran, len(statev))
    strain = np.array([1e-3, -2e-4, 3e-4, 2e-3, 5e-4, -1e-3])
    a = usermat_args(np.full(6, 9.0), strain, strain.copy(), 3, 3)
    keycut, dsdepl, epszz = _vorlen.wrapper.abq_umat_to_ansys_usermat(returning_umat, **a)
    np.testing.assert_array_equal(a["stress"], np.full(6, 9.0))
    assert not dsdepl.any() and not a["ustatev"].any() and float(a["sedel"]) == 0.0
    assert errstat() == 0


# What the docstrings say of the results of dfunc: written in place, or returned by the MUESLI
# routine.
@pytest.mark.parametrize("name,notes,returns", [
    ("abq_umat_to_ansys_usermat", "dfunc writes its results in place: the stress, statev and "
     "ddsdde into the arrays it is handed, sse, spd, scd and pnewdt into their 0-dimensional "
     "arrays. What it returns is ignored.", ""),
    ("abq_umat_to_peridigm_upermat", "dfunc writes its results in place: the stress, statev and "
     "ddsdde into the arrays it is handed, sse, spd, scd and pnewdt into their 0-dimensional "
     "arrays. What it returns is ignored.", ""),
    ("ansys_usermat_to_abq_umat", "dfunc writes its results in place: the stress, ustatev and "
     "dsdepl into the arrays it is handed, sedel into its 0-dimensional array. What it returns "
     "is ignored.", ""),
    ("muesli_to_abq_umat", "dfunc writes the stress and ddsdde into the arrays it is handed and "
     "returns statev, sse, spd, scd and pnewdt in this order, as many of them as it gives (None "
     "gives none); those it leaves out keep their values (statev the values the callable wrote "
     "into its array).", "statev,sse,spd,scd,pnewdt"),
])
def test_the_docstring_says_what_dfunc_writes_and_returns(name, notes, returns):
    import _vorlen
    doc = getattr(_vorlen.wrapper, name).__doc__
    said, callback = doc.split("\nNotes\n-----\n")[1].split("\n\nCall-back functions::\n\n")
    assert " ".join(said.split()) == notes
    assert callback.splitlines()[0].endswith("): return " + returns)
    if name != "ansys_usermat_to_abq_umat":
        scalar = "in/output rank-0 array(float,'d')" if not returns else "input float"
        assert f"        pnewdt : {scalar}\n" in callback
