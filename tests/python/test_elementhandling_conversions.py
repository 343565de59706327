"""Element-space conversions and element lengths of module elementhandling: expansion of
element vectors to 3-D Nye vectors, reduction of the 3-D stress and tangent (plane-stress
condensation checked in numpy), and lengths worked out by hand."""
import numpy as np
import pytest

import _vorlen
from conftest import errstat, errtext

eh = _vorlen.elementhandling
RNG = np.random.default_rng(3)


def symmetric_tangent(seed=0):
    a = np.random.default_rng(seed).normal(size=(6, 6))
    return np.asfortranarray(a @ a.T + 6 * np.eye(6))


@pytest.mark.parametrize("name,form", [
    ("get3dinputfromelem", "stress3d,strain3d,dstrain3d = get3dinputfromelem(stress_nye,"
                           "strain_nye,dstrain_nye,[ncomp,transverse,itnsflag,itshrflag,isaxial])"),
    ("get3dstressfromplanestress", "stress3d,stran3d,dstran3d = get3dstressfromplanestress("
                                   "stress,stran,dstran,transverse,itnsflag,itshrflag)"),
    ("get3dstressfromplanestrain",
     "stress3d,stran3d,dstran3d = get3dstressfromplanestrain(stress,stran,dstran,isaxial)"),
    ("get3dstressfromhex", "stress3d,stran3d,dstran3d = get3dstressfromhex(stress,stran,dstran)"),
    ("getelemoutputfrom3d",
     "stresselem,tangentelem = getelemoutputfrom3d(stress3d,tangent3d,n,[isaxial])"),
    ("getplanestressoutputfrom3d",
     "stressps,tangentps = getplanestressoutputfrom3d(stress3d,tangent3d)"),
    ("getplanestrainoutputfrom3d",
     "stresspl,tangentpl = getplanestrainoutputfrom3d(stress3d,tangent3d,[isaxial])"),
    ("gethexoutputfrom3d", "stresshex,tangenthex = gethexoutputfrom3d(stress3d,tangent3d)"),
    ("getplanestressepszz", "getplanestressepszz = getplanestressepszz(e33,nu31,nu32,s11,s22)"),
    ("gethex8elemlength", "elemlength = gethex8elemlength(matcos,nodalcoord)"),
    ("getquad4elemlength", "elemlength = getquad4elemlength(tdirect,nodalcoord)"),
    ("gettruss3elemlength", "elemlength = gettruss3elemlength(nodalcoord)"),
    ("gettruss3transformationmatrix", "te = gettruss3transformationmatrix(nodalcoord)"),
])
def test_call_forms(name, form):
    assert getattr(eh, name).__doc__.splitlines()[0] == form


# --- expansion ------------------------------------------------------------------------------

TRANSVERSE = np.array([0.13, 0.23, 0.33, 1.3, 2.3, 3.3])  # eps13, eps23, eps33, sig13, ...


@pytest.mark.parametrize("tns,shr,stress,strain", [
    (0, 0, [1, 2, 0, 4, 0, 0], [5, 6, 0, 8, 0, 0]),
    (1, 0, [1, 2, 3.3, 4, 0, 0], [5, 6, 0.33, 8, 0, 0]),
    (0, 1, [1, 2, 0, 4, 1.3, 2.3], [5, 6, 0, 8, 0.13, 0.23]),
    (7, -1, [1, 2, 3.3, 4, 1.3, 2.3], [5, 6, 0.33, 8, 0.13, 0.23]),
])
def test_plane_stress_expansion(tns, shr, stress, strain):
    s, e, de = np.array([1.0, 2, 4]), np.array([5.0, 6, 8]), np.array([9.0, 10, 12])
    for out in (eh.get3dstressfromplanestress(s, e, de, TRANSVERSE, tns, shr),
                eh.get3dinputfromelem(s, e, de, transverse=TRANSVERSE, itnsflag=tns,
                                      itshrflag=shr)):
        np.testing.assert_array_equal(out[0], stress)
        np.testing.assert_array_equal(out[1], strain)
        np.testing.assert_array_equal(out[2], [9, 10, 0, 12, 0, 0])  # no out-of-plane values


@pytest.mark.parametrize("axial,expected", [(0, [1, 2, 3, 4, 0, 0]), (1, [1, 3, 2, 0, 4, 0])])
def test_plane_strain_and_axisymmetric_expansion(axial, expected):
    c = np.array([1.0, 2, 3, 4])
    for out in (eh.get3dstressfromplanestrain(c, 2 * c, 3 * c, axial),
                eh.get3dinputfromelem(c, 2 * c, 3 * c, isaxial=axial)):
        for k in range(3):
            np.testing.assert_array_equal(out[k], (k + 1) * np.array(expected, float))


def test_solid_expansion_copies():
    v = RNG.normal(size=(3, 6))
    for out in (eh.get3dstressfromhex(*v), eh.get3dinputfromelem(*v)):
        np.testing.assert_array_equal(np.array(out), v)


def test_unsupported_component_count(clean_register):
    out = eh.get3dinputfromelem(np.ones(5), np.ones(5), np.ones(5))
    assert all((o == 0).all() for o in out)
    assert (errstat(), errtext()) == (-3, "Unsupported component count in Get3DInputFromElem")
    _vorlen.errorhandling.rsxerr(1)
    s, t = eh.getelemoutputfrom3d(np.ones(6), np.ones((6, 6), order="F"), 5)
    assert s.shape == (5,) and not s.any() and not t.any()
    assert (errstat(), errtext()) == (-3, "Unsupported component count in GetElemOutputFrom3D")


# --- reduction ------------------------------------------------------------------------------

def test_plane_strain_reduction_takes_the_leading_block():
    s3, c = RNG.normal(size=6), symmetric_tangent(1)
    for s, t in (eh.getplanestrainoutputfrom3d(s3, c), eh.getelemoutputfrom3d(s3, c, 4)):
        np.testing.assert_array_equal(s, s3[:4])
        np.testing.assert_array_equal(t, c[:4, :4])


def test_axisymmetric_reduction_undoes_the_expansion():
    s, _ = eh.getplanestrainoutputfrom3d(np.array([1.0, 3, 2, 0, 4, 0]), np.eye(6, order="F"), 1)
    np.testing.assert_array_equal(s, [1, 2, 3, 4])


@pytest.mark.parametrize("seed", [0, 1, 2])
def test_axisymmetric_stress_is_the_tangent_times_the_strain(seed):
    c = symmetric_tangent(seed)
    strain = np.random.default_rng(seed).normal(size=4)  # rr, zz, thetatheta, rz
    _, e3, _ = eh.get3dinputfromelem(np.zeros(4), strain, np.zeros(4), isaxial=1)
    s, t = eh.getelemoutputfrom3d(c @ e3, c, 4, isaxial=1)
    np.testing.assert_allclose(s, t @ strain, rtol=1e-13, atol=1e-13)
    np.testing.assert_allclose(t, t.T)


def test_plane_stress_material_is_selected():
    c = symmetric_tangent(4)
    c[2, :] = c[:, 2] = 0.0
    s3 = RNG.normal(size=6)
    s, t = eh.getplanestressoutputfrom3d(s3, c)
    np.testing.assert_array_equal(s, s3[[0, 1, 3]])
    np.testing.assert_array_equal(t, c[np.ix_([0, 1, 3], [0, 1, 3])])


def condensed(c):
    p = [0, 1, 3]
    return c[np.ix_(p, p)] - np.outer(c[p, 2], c[2, p]) / c[2, 2]


@pytest.mark.parametrize("seed", [0, 5])
def test_plane_stress_condensation(clean_register, seed):
    c, s3 = symmetric_tangent(seed), np.random.default_rng(seed).normal(size=6)
    q = condensed(c)
    for s, t in (eh.getplanestressoutputfrom3d(s3, c), eh.getelemoutputfrom3d(s3, c, 3)):
        np.testing.assert_allclose(t, q, rtol=1e-13)
        np.testing.assert_allclose(s, q @ np.linalg.solve(c, s3)[[0, 1, 3]], rtol=1e-12)
    assert errstat() == 0


def test_singular_tangent_gives_the_condensed_stress(clean_register):
    c = symmetric_tangent(2)
    c[5, :] = c[:, 5] = 0.0  # a degraded ply's zero shear row
    s3 = np.array([10.0, -4.0, 3.0, 2.0, 1.0, 0.5])
    s, t = eh.getplanestressoutputfrom3d(s3, c)
    p = [0, 1, 3]
    np.testing.assert_allclose(s, s3[p] - c[p, 2] * s3[2] / c[2, 2], rtol=1e-13)
    np.testing.assert_allclose(t, condensed(c), rtol=1e-13)
    assert (errstat(), errtext()) == (-2, "Matrix inverse becomes numerically singular!")


def test_solid_reduction_copies():
    s3, c = RNG.normal(size=6), symmetric_tangent(3)
    for s, t in (eh.gethexoutputfrom3d(s3, c), eh.getelemoutputfrom3d(s3, c, 6)):
        np.testing.assert_array_equal(s, s3)
        np.testing.assert_array_equal(t, c)


# --- out-of-plane strain --------------------------------------------------------------------

def test_plane_stress_eps_zz(clean_register):
    assert eh.getplanestressepszz(8000.0, 0.02, 0.4, 100.0, 50.0) == pytest.approx(
        -(0.02 * 100.0 + 0.4 * 50.0) / 8000.0)
    assert eh.getplanestressepszz(0.0, 0.02, 0.4, 100.0, 50.0) == 0.0
    assert (errstat(), errtext()) == (-3, "Zero modulus e33 in GetPlaneStressEpsZZ")


# --- lengths --------------------------------------------------------------------------------

def brick(a, b, c):
    unit = np.array([[0, 0, 0], [1, 0, 0], [1, 1, 0], [0, 1, 0],
                     [0, 0, 1], [1, 0, 1], [1, 1, 1], [0, 1, 1]], float)
    return np.asfortranarray((unit * [a, b, c]).T)


def rot_z(deg):
    t = np.radians(deg)
    return np.array([[np.cos(t), -np.sin(t), 0], [np.sin(t), np.cos(t), 0], [0, 0, 1]], order="F")


@pytest.mark.parametrize("matcos,expected", [
    (np.eye(3, order="F"), (2.0, 3.0, 5.0)),
    # turned 90 degrees about z: the first two lengths trade places
    (rot_z(90), (3.0, 2.0, 5.0)),
    # 45 degrees: each diagonal adds |cos| a + |sin| b, not the length of its projection
    (rot_z(45), ((2 + 3) / np.sqrt(2), (2 + 3) / np.sqrt(2), 5.0)),
])
def test_hex8_lengths(matcos, expected):
    np.testing.assert_allclose(eh.gethex8elemlength(matcos, brick(2, 3, 5)), expected, atol=1e-14)


def test_hex8_cube_has_its_side_in_every_direction():
    np.testing.assert_allclose(eh.gethex8elemlength(np.eye(3, order="F"), brick(1.5, 1.5, 1.5)),
                               1.5)


@pytest.mark.parametrize("tilt", [0.0, 30.0])
def test_quad4_lengths_of_a_rectangle(tilt):
    t = np.radians(tilt)
    tdirect = np.array([[1, 0, 0], [0, np.cos(t), -np.sin(t)], [0, np.sin(t), np.cos(t)]],
                       order="F")  # plane turned about x
    local = np.array([[0, 0, 0], [4, 0, 0], [4, 3, 0], [0, 3, 0]], float)
    xyz = np.asfortranarray((local @ tdirect.T + [1, 2, 3]).T)
    np.testing.assert_allclose(eh.getquad4elemlength(tdirect, xyz), (4, 3, 5), rtol=1e-14)


def test_truss_length_and_transformation(clean_register):
    x = np.array([[1.0, 2.0, 3.0], [3.0, 5.0, 9.0]]).T.copy(order="F")  # offset (2, 3, 6): 7
    assert eh.gettruss3elemlength(x) == pytest.approx(7.0)
    te = eh.gettruss3transformationmatrix(x)
    np.testing.assert_allclose(te, [[2 / 7, 3 / 7, 6 / 7, 0, 0, 0], [0, 0, 0, 2 / 7, 3 / 7, 6 / 7]])
    u = np.array([0.0, 0.0, 0.0, 2.0, 3.0, 6.0])  # second node moves along the axis by 7
    np.testing.assert_allclose(te @ u, [0, 7])
    assert errstat() == 0


def test_truss_with_coincident_nodes(clean_register):
    x = np.ones((3, 2), order="F")
    assert eh.gettruss3elemlength(x) == 0.0
    assert not eh.gettruss3transformationmatrix(x).any()
    assert (errstat(), errtext()) == (-3, "Coincident nodes in GetTruss3TransformationMatrix")
