# Ply stiffness and compliance, rotation matrices, off-axis matrices, stress and energy updates.
# Reference values come from textbook closed forms evaluated in numpy.
import ctypes

import numpy as np
import pytest

import _vorlen
from test_lamina_notation import clean_register, message  # noqa: F401 (autouse fixture)

lam = _vorlen.lamina
err = _vorlen.errorhandling


@pytest.mark.parametrize("name, form", [
    ("getnyeproperties", "nyeprops = getnyeproperties(elastic,[nelastic])"),
    ("getnyestiffnessmatrix", "c = getnyestiffnessmatrix(props,ntens,[psflag])"),
    ("getnyecompliancematrix", "s = getnyecompliancematrix(props,ntens,[psflag])"),
    ("getgeneralizednyeonaxissc",
     "sc = getgeneralizednyeonaxissc(props,ntens,scflag,[nprops,psflag,ldflag,unsymm])"),
    ("getreducednyestiffnessmatrix", "qs = getreducednyestiffnessmatrix(c,[plflag])"),
    ("getinvariantsfromreducedstiffness", "u = getinvariantsfromreducedstiffness(props,[nprops])"),
    ("getnyetransformationmatrix", "t = getnyetransformationmatrix(rangle,tdim,ttype,tflag)"),
    ("getnyeoffaxissc", "scoff = getnyeoffaxissc(dangle,props,ntens,scflag)"),
    ("getoffaxisshearrigidmatrix", "hoff = getoffaxisshearrigidmatrix(g13,g23,dangle)"),
    ("getstressvector",
     "getstressvector(stress,ddsdde,strain0,dstrain,ndi,issekant,istensor,[ntens])"),
    ("getspecificstrainenergy",
     "sse = getspecificstrainenergy(sse,stress,stress0,strain0,dstrain,ndi,issekant,istensor,[ntens])"),
])
def test_call_form(name, form):
    assert getattr(lam, name).__doc__.splitlines()[0] == form


# An orthotropic ply with all nine constants distinct (Nye order).
E1, E2, E3, NU12, NU13, NU23, G12, G13, G23 = 140000., 10000., 9000., .3, .28, .45, 5000., 4800., 3400.
ORTHO = np.array([E1, E2, E3, NU12, NU13, NU23, G12, G13, G23])
ISO = np.array([70000.] * 3 + [.3] * 3 + [70000 / 2.6] * 3)
# A textbook carbon/epoxy ply, transversely isotropic about axis 1.
CF = dict(e1=140000., e2=10000., nu12=.3, nu23=.4, g12=5000.)


def compliance(p):
    """Nye-order engineering compliance of an orthotropic ply."""
    e1, e2, e3, n12, n13, n23, g12, g13, g23 = p
    s = np.zeros((6, 6))
    s[:3, :3] = [[1 / e1, -n12 / e1, -n13 / e1], [-n12 / e1, 1 / e2, -n23 / e2],
                 [-n13 / e1, -n23 / e2, 1 / e3]]
    s[3, 3], s[4, 4], s[5, 5] = 1 / g12, 1 / g13, 1 / g23
    return s


def sub(a, idx):
    return a[np.ix_(idx, idx)]


PS = [0, 1, 3]  # 11, 22, 12 inside the Nye order


def plane_stress_q(p):
    return np.linalg.inv(sub(compliance(p), PS))


def cf_props():
    e1, e2, nu12, nu23, g12 = CF.values()
    return np.array([e1, e2, e2, nu12, nu12, nu23, g12, g12, e2 / (2 * (1 + nu23))])


# ---------------------------------------------------------------- GetNyeProperties

@pytest.mark.parametrize("elastic, expected", [
    ([70000, .3], ISO),
    ([140000, 10000, .3, .4, 5000], cf_props()),
    ([140000, 10000, 5000, 3500, .3], [140000, 10000, 10000, .3, .3, 10000 / 7000 - 1, 5000, 5000, 3500]),
    ([140000, 10000, .3, 0, 5000], [140000, 10000, 10000, .3, .3, 0, 5000, 5000, 5000]),
    ([140000, 10000, 5000, 0, .3], [140000, 10000, 10000, .3, .3, 0, 5000, 5000, 5000]),
    ([E1, E2, E3, G12, G13, G23, NU12, NU13, NU23], ORTHO),
    (ORTHO, ORTHO),
    ([E1, E2, E3, NU12, NU13, NU23, G12, G13, 1.5], [E1, E2, E3, NU12, NU13, NU23, G12, G13, 1.5]),
    ([E1, E2, E3, G12, G13, G23, NU12, np.nan, NU23], [E1, E2, E3, G12, G13, G23, NU12, np.nan, NU23]),
])
def test_nye_properties(elastic, expected):
    np.testing.assert_allclose(lam.getnyeproperties(np.array(elastic, float)), expected, rtol=1e-15)
    assert err.errstat == 0


def test_nye_properties_unsupported_count():
    assert not lam.getnyeproperties([1., 2., 3.]).any()
    assert (err.errstat, message()) == (-2, "Unsupported input in GetNyeProperties")


# ---------------------------------------------------------------- on-axis stiffness and compliance

def test_isotropic_stiffness_values():
    c = lam.getnyestiffnessmatrix(ISO, 6)
    np.testing.assert_allclose(np.diag(c), [94230.76923076923] * 3 + [26923.076923076922] * 3, rtol=1e-14)
    np.testing.assert_allclose(c[0, 1:3], 40384.61538461538, rtol=1e-14)
    np.testing.assert_allclose(c @ lam.getnyecompliancematrix(ISO, 6), np.eye(6), atol=1e-14)


@pytest.mark.parametrize("ntens, psflag, idx", [
    (6, 1, [0, 1, 2, 3, 4, 5]),
    (4, 1, [0, 1, 2, 3]),
    (3, 1, PS),
    (4, 0, PS),
    (6, 0, PS),
])
def test_stiffness_and_compliance_against_closed_forms(ntens, psflag, idx):
    s_full = compliance(ORTHO)
    c = lam.getnyestiffnessmatrix(ORTHO, ntens, psflag)
    s = lam.getnyecompliancematrix(ORTHO, ntens, psflag)
    # Entries placed at the Nye positions of the reduced order, zero elsewhere.
    expected_s = np.zeros((ntens, ntens))
    expected_c = np.zeros((ntens, ntens))
    if ntens == 3 or psflag == 0:
        pos = [0, 1, 2] if ntens == 3 else [0, 1, 3]
        expected_s[np.ix_(pos, pos)] = sub(s_full, PS)
        expected_c[np.ix_(pos, pos)] = plane_stress_q(ORTHO)
    else:
        # Shear is uncoupled, so the leading block of the 3-D stiffness is the plane-strain one.
        expected_s[:] = sub(s_full, idx)
        expected_c[:] = sub(np.linalg.inv(s_full), idx)
    np.testing.assert_allclose(c, expected_c, rtol=1e-12, atol=1e-9)
    np.testing.assert_allclose(s, expected_s, rtol=1e-15, atol=1e-20)
    assert err.errstat == 0


@pytest.mark.parametrize("routine, text", [
    (lam.getnyestiffnessmatrix, "Unsupported dimension in GetNyeStiffnessMatrix"),
    (lam.getnyecompliancematrix, "Unsupported dimension in GetNyeComplianceMatrix"),
])
def test_unsupported_dimension(routine, text):
    assert not routine(ORTHO, 5).any()
    assert (err.errstat, message()) == (-2, text)


def iso(e, nu):
    return np.array([e] * 3 + [nu] * 3 + [e / (2 * (1 + nu))] * 3)


def ortho(**changes):
    """ORTHO with some constants replaced, named as in the Nye order."""
    p = ORTHO.copy()
    for name, value in changes.items():
        p["e1 e2 e3 nu12 nu13 nu23 g12 g13 g23".split().index(name)] = value
    return p


def form(ntens, psflag):
    """Nye positions of the entries the stiffness of this form holds, and where they go."""
    if ntens == 3 or psflag == 0:
        return PS, [0, 1, 2] if ntens == 3 else PS
    return list(range(ntens)), list(range(ntens))


@pytest.mark.parametrize("props, ntens, psflag", [
    (iso(70000., .5), 6, 1),  # Delta = 0: the stiffness would be infinite
    (iso(70000., .6), 4, 1),  # Delta < 0: a negative-definite normal block
    (iso(70000., 1.), 3, 1),  # D = 0
    (ortho(nu12=4.), 6, 0),  # D < 0 while nu21 = 0.29
    (ortho(nu23=1.1), 4, 1),  # 1 - nu23 nu32 < 0
    (ortho(e2=0.), 3, 1),
    (ortho(e3=-9000.), 4, 1),
    (ortho(g12=-5000.), 4, 0),
    (ortho(g23=0.), 6, 1),
    (ortho(g13=np.inf), 6, 1),
    (ortho(nu13=np.nan), 6, 1),
])
def test_stiffness_of_constants_whose_compliance_is_not_positive_definite(props, ntens, psflag):
    used, _ = form(ntens, psflag)
    with np.errstate(divide="ignore", invalid="ignore"):
        s = sub(compliance(props), used)
    assert not (np.isfinite(s).all() and np.linalg.eigvalsh(s).min() > 0)
    c = lam.getnyestiffnessmatrix(props, ntens, psflag)
    assert c.shape == (ntens, ntens) and not c.any()
    assert (err.errstat, message()) == (
        -3, "Compliance not positive definite in GetNyeStiffnessMatrix")


@pytest.mark.parametrize("props, ntens, psflag", [
    (iso(70000., -.5), 6, 1),  # auxetic
    (iso(70000., .4999), 6, 1),  # nearly incompressible
    (ortho(nu12=1.5), 3, 1),  # nu12 above 1 with nu21 = 0.11
    (ortho(e3=0., nu13=np.nan, g13=0., g23=-1.), 4, 0),  # constants plane stress does not read
    (ortho(g13=0., g23=0.), 4, 1),  # shear moduli the 4-component form does not read
])
def test_stiffness_of_unusual_valid_constants(props, ntens, psflag):
    used, pos = form(ntens, psflag)
    with np.errstate(divide="ignore", invalid="ignore"):
        expected = np.zeros((ntens, ntens))
        expected[np.ix_(pos, pos)] = np.linalg.inv(sub(compliance(props), used))
    np.testing.assert_allclose(lam.getnyestiffnessmatrix(props, ntens, psflag), expected,
                               rtol=1e-9, atol=1e-9 * np.abs(expected).max())
    assert err.errstat == 0


# Constants with a positive definite compliance whose stiffness the assembly cannot hold in
# doubles: the product E1 E2 E3 overflows (the true c11 = 1.35e308 would fit) and gives
# not-a-number entries, or underflows (E3 = 1e-320 left the normal block 0 where the true c33
# is 1.4e5), or a diagonal entry is subnormal.
@pytest.mark.parametrize("props, ntens, psflag", [
    (iso(1e308, .3), 6, 1),
    (iso(1e308, .3), 4, 1),
    (ortho(e3=1e-320), 6, 1),
    (ortho(e3=1e-320), 4, 1),
    (ortho(g12=1e-320), 3, 1),
    (ortho(g23=1e-320), 6, 1),
    (ortho(e2=1e-320), 4, 0),
])
def test_stiffness_out_of_range(props, ntens, psflag):
    c = lam.getnyestiffnessmatrix(props, ntens, psflag)
    assert c.shape == (ntens, ntens) and not c.any()
    assert (err.errstat, message()) == (-3, "Stiffness out of range in GetNyeStiffnessMatrix")


def test_stiffness_at_the_top_of_the_range():
    """E = 1e308 in plane stress forms no product of moduli: E/(1 - nu^2) = 1.0989e308 is a
    double and is returned."""
    q = np.array([[1 / .91, .3 / .91, 0], [.3 / .91, 1 / .91, 0], [0, 0, 1 / 2.6]])
    np.testing.assert_allclose(lam.getnyestiffnessmatrix(iso(1e308, .3), 3) / 1e308, q,
                               rtol=1e-14)
    assert err.errstat == 0


def test_off_axis_stiffness_of_constants_without_positive_definite_compliance():
    assert not lam.getnyeoffaxissc(30.0, iso(70000., .5), 6, 1).any()
    assert err.errstat == -3


def test_stiffness_written_over_its_own_constants():
    lib = ctypes.CDLL("libvorlen.so")
    buf = ORTHO.copy()
    p = buf.ctypes.data_as(ctypes.POINTER(ctypes.c_double))
    lib.GetNyeStiffnessMatrix(p, p, ctypes.byref(ctypes.c_int32(3)), None)
    q = plane_stress_q(ORTHO)
    np.testing.assert_allclose(buf.reshape(3, 3, order="F"), q, rtol=1e-12)


# ---------------------------------------------------------------- generalized on-axis builder

RNG = np.random.default_rng(7)
_B = RNG.standard_normal((6, 6))
SPD = _B @ _B.T + 6 * np.eye(6)  # a symmetric, well-conditioned anisotropic stiffness
UNSYM = SPD + np.triu(RNG.standard_normal((6, 6)), 1)
PACKED = np.concatenate([SPD[:j + 1, j] for j in range(6)])  # upper triangle by columns


@pytest.mark.parametrize("props, ntens, kw, expected", [
    (ORTHO, 6, {}, np.linalg.inv(compliance(ORTHO))),
    (ORTHO, 4, {}, sub(np.linalg.inv(compliance(ORTHO)), [0, 1, 2, 3])),
    (ORTHO, 6, dict(psflag=0), None),  # plane-stress form inside 6: checked below
    (np.array(list(CF.values())), 6, dict(ldflag=1), np.linalg.inv(compliance(cf_props()))),
    ([70000., .3], 3, {}, plane_stress_q(ISO)),
    (PACKED, 6, {}, SPD),
    (PACKED, 5, {}, SPD[:5, :5]),
    (SPD.ravel(order="F"), 6, {}, SPD),
    (UNSYM.ravel(order="F"), 6, {}, (UNSYM + UNSYM.T) / 2),
    (UNSYM.ravel(order="F"), 6, dict(unsymm=1), UNSYM),
    (UNSYM.ravel(order="F"), 4, dict(unsymm=1), UNSYM[:4, :4]),
    (UNSYM.ravel(order="F"), 3, dict(unsymm=1), sub(UNSYM, PS)),
])
def test_generalized_stiffness(props, ntens, kw, expected):
    if expected is None:
        expected = np.zeros((6, 6))
        expected[np.ix_(PS, PS)] = plane_stress_q(ORTHO)
    c = lam.getgeneralizednyeonaxissc(np.asarray(props, float), ntens, 1, **kw)
    np.testing.assert_allclose(c, expected, rtol=1e-12, atol=1e-9)
    assert err.errstat == 0
    if expected.any(axis=0).all():  # invertible: the compliance is its inverse
        s = lam.getgeneralizednyeonaxissc(np.asarray(props, float), ntens, 0, **kw)
        np.testing.assert_allclose(s, np.linalg.inv(expected), rtol=1e-10, atol=1e-15)
        assert err.errstat == 0


def test_generalized_independent_minor_ratios():
    nu21, nu31, nu32 = .05, .02, .35
    props = np.concatenate([ORTHO, [nu21, nu31, nu32]])
    d = 1 - NU12 * nu21
    c12, c21 = NU12 * E2 / d, nu21 * E1 / d
    expected = np.array([[E1 / d, c12, 0], [c21, E2 / d, 0], [0, 0, G12]])
    np.testing.assert_allclose(lam.getgeneralizednyeonaxissc(props, 3, 1, unsymm=1), expected, rtol=1e-14)
    expected[0, 1] = expected[1, 0] = (c12 + c21) / 2
    np.testing.assert_allclose(lam.getgeneralizednyeonaxissc(props, 3, 1), expected, rtol=1e-14)
    # Minor ratios that follow from symmetry give the 3-D stiffness of the nine constants.
    props[9:] = [E2 / E1 * NU12, E3 / E1 * NU13, E3 / E2 * NU23]
    np.testing.assert_allclose(lam.getgeneralizednyeonaxissc(props, 6, 1),
                               np.linalg.inv(compliance(ORTHO)), rtol=1e-12, atol=1e-9)


def test_generalized_unsupported_count():
    text = "Unsupported number of properties or dimensions in GetGeneralizedNyeOnAxisSC."
    assert not lam.getgeneralizednyeonaxissc(np.ones(7), 6, 1).any()
    assert (err.errstat, message()) == (-2, text)
    err.errstat = 0
    lam.getgeneralizednyeonaxissc(np.ones(7), 6, 0)  # the inversion of zeros reports after it
    assert (err.errstat, message()) == (-2, text)


@pytest.mark.parametrize("ntens", [1, 2, 7])
def test_generalized_dimension_without_layout(ntens):
    sc = lam.getgeneralizednyeonaxissc(SPD.ravel(order="F"), ntens, 0)
    assert sc.shape == (ntens, ntens) and not sc.any()
    assert (err.errstat, message()) == (
        -3, "Unsupported number of properties or dimensions in GetGeneralizedNyeOnAxisSC.")


# ---------------------------------------------------------------- reduction and invariants

@pytest.mark.parametrize("plflag, voigt", [(1, [0, 1, 5]), (2, [1, 2, 3]), (3, [0, 2, 4]), (9, [0, 1, 5])])
def test_reduced_stiffness_is_inverse_of_plane_compliance(plflag, voigt):
    # For an orthotropic ply, condensing the out-of-plane normal stress gives the inverse of the
    # in-plane block of the compliance (Voigt positions of the plane).
    to_nye = [0, 1, 2, 5, 4, 3]  # Voigt position -> Nye position
    s = compliance(ORTHO)
    s_plane = sub(s, [to_nye[k] for k in voigt])
    c = np.linalg.inv(s)
    np.testing.assert_allclose(lam.getreducednyestiffnessmatrix(c, plflag), np.linalg.inv(s_plane),
                               rtol=1e-11)


def test_reduced_stiffness_default_plane():
    c = lam.getnyestiffnessmatrix(ORTHO, 6)
    np.testing.assert_allclose(lam.getreducednyestiffnessmatrix(c), lam.getnyestiffnessmatrix(ORTHO, 3),
                               rtol=1e-12)


def test_invariants_of_carbon_epoxy():
    q = plane_stress_q(cf_props())
    q11, q22, q12, q66 = q[0, 0], q[1, 1], q[0, 1], q[2, 2]
    u = lam.getinvariantsfromreducedstiffness(np.array(list(CF.values())))
    np.testing.assert_allclose(u[0], (3 * q11 + 3 * q22 + 2 * q12 + 4 * q66) / 8, rtol=1e-14)
    np.testing.assert_allclose([u[0] + u[1] + u[2], u[0] - u[1] + u[2], u[3] - u[2], u[4] - u[2]],
                               [q11, q22, q12, q66], rtol=1e-13)


# ---------------------------------------------------------------- rotations

def rotated(tensor, theta):
    """Components of a 3x3 tensor in axes turned by theta about axis 3."""
    c, s = np.cos(theta), np.sin(theta)
    r = np.array([[c, -s, 0], [s, c, 0], [0, 0, 1]])  # columns: the new axes
    return r.T @ tensor @ r


def nye(t, shear=1.0):
    return np.array([t[0, 0], t[1, 1], t[2, 2], shear * t[0, 1], shear * t[0, 2], shear * t[1, 2]])


SIG = np.array([[10., 4., -3.], [4., -7., 2.], [-3., 2., 5.]])


@pytest.mark.parametrize("tflag, shear", [(0, 1.0), (1, 2.0)])
@pytest.mark.parametrize("theta", [0.0, 0.3, np.pi / 2, -2.0])
def test_transformation_rotates_tensor(tflag, shear, theta):
    t6 = lam.getnyetransformationmatrix(theta, 6, 0, tflag)
    np.testing.assert_allclose(t6 @ nye(SIG, shear), nye(rotated(SIG, theta), shear), atol=1e-12)
    t3 = lam.getnyetransformationmatrix(theta, 3, 0, tflag)
    np.testing.assert_allclose(t3, sub(t6, PS), atol=1e-15)
    np.testing.assert_allclose(lam.getnyetransformationmatrix(theta, 6, 1, tflag),
                               lam.getnyetransformationmatrix(-theta, 6, 0, tflag), atol=1e-15)
    assert err.errstat == 0


def test_transformation_at_90_degrees_swaps_axes():
    t = lam.getnyetransformationmatrix(np.pi / 2, 3, 0, 0)
    np.testing.assert_allclose(t @ [1., 2., 3.], [2., 1., -3.], atol=1e-12)


def test_inverse_of_stress_form_is_transpose_of_strain_form():
    ts = lam.getnyetransformationmatrix(0.7, 6, 0, 0)
    te = lam.getnyetransformationmatrix(0.7, 6, 0, 1)
    np.testing.assert_allclose(te.T @ ts, np.eye(6), atol=1e-15)


def test_transformation_bad_flags():
    text = "False input for TType in GetNyeTransformationMatrix"
    np.testing.assert_array_equal(lam.getnyetransformationmatrix(0.4, 6, 2, 0),
                                  lam.getnyetransformationmatrix(0.4, 6, 1, 0))
    assert (err.errstat, message()) == (-2, text)
    err.errstat = 0
    t = lam.getnyetransformationmatrix(0.4, 6, 0, 2)
    assert (err.errstat, message()) == (-2, "False input for TFlag in GetNyeTransformationMatrix")
    good = lam.getnyetransformationmatrix(0.4, 6, 0, 0)
    good[3, :] = good[:, 3] = 0
    np.testing.assert_array_equal(t, good)


@pytest.mark.parametrize("tdim", [1, 2, 4, 5])
def test_transformation_dimension_without_12_component(tdim):
    t = lam.getnyetransformationmatrix(0.4, tdim, 0, 0)
    assert t.shape == (tdim, tdim) and not t.any()
    assert (err.errstat, message()) == (-3, "False input for TType in GetNyeTransformationMatrix")


# ---------------------------------------------------------------- off-axis matrices

def qbar_closed_form(q, theta):
    c, s = np.cos(theta), np.sin(theta)
    q11, q12, q22, q66 = q[0, 0], q[0, 1], q[1, 1], q[2, 2]
    b11 = q11 * c**4 + 2 * (q12 + 2 * q66) * s**2 * c**2 + q22 * s**4
    b22 = q11 * s**4 + 2 * (q12 + 2 * q66) * s**2 * c**2 + q22 * c**4
    b12 = (q11 + q22 - 4 * q66) * s**2 * c**2 + q12 * (s**4 + c**4)
    b66 = (q11 + q22 - 2 * q12 - 2 * q66) * s**2 * c**2 + q66 * (s**4 + c**4)
    b16 = (q11 - q12 - 2 * q66) * s * c**3 + (q12 - q22 + 2 * q66) * s**3 * c
    b26 = (q11 - q12 - 2 * q66) * s**3 * c + (q12 - q22 + 2 * q66) * s * c**3
    return np.array([[b11, b12, b16], [b12, b22, b26], [b16, b26, b66]])


@pytest.mark.parametrize("dangle", [45.0, 30.0, -60.0])
def test_off_axis_reduced_stiffness_of_carbon_epoxy(dangle):
    props = cf_props()
    qbar = lam.getnyeoffaxissc(dangle, props, 3, 1)
    np.testing.assert_allclose(qbar, qbar_closed_form(plane_stress_q(props), np.radians(dangle)),
                               rtol=1e-13, atol=1e-9)
    np.testing.assert_allclose(lam.getnyeoffaxissc(dangle, props, 3, 0) @ qbar, np.eye(3), atol=1e-13)


def test_off_axis_3d_stiffness_is_rotated_tensor():
    c_nye = np.linalg.inv(compliance(ORTHO))
    pairs = [(0, 0), (1, 1), (2, 2), (0, 1), (0, 2), (1, 2)]
    t = np.zeros((3, 3, 3, 3))
    for a, (i, j) in enumerate(pairs):
        for b, (k, l) in enumerate(pairs):
            for (p, q) in {(i, j), (j, i)}:
                for (r, s) in {(k, l), (l, k)}:
                    t[p, q, r, s] = c_nye[a, b]
    theta = np.radians(30.0)
    rot = np.array([[np.cos(theta), -np.sin(theta), 0], [np.sin(theta), np.cos(theta), 0], [0, 0, 1]])
    tg = np.einsum("ia,jb,kc,ld,abcd->ijkl", rot, rot, rot, rot, t)  # ply axes turned by +30
    expected = np.array([[tg[i, j, k, l] for (k, l) in pairs] for (i, j) in pairs])
    c = lam.getnyeoffaxissc(30.0, ORTHO, 6, 1)
    np.testing.assert_allclose(c, expected, rtol=1e-12, atol=1e-8)
    np.testing.assert_allclose(lam.getnyeoffaxissc(30.0, ORTHO, 6, 0) @ c, np.eye(6), atol=1e-12)


@pytest.mark.parametrize("ntens, scflag", [(3, 1), (6, 1), (3, 0), (6, 0)])
def test_off_axis_at_90_degrees_swaps_11_and_22(ntens, scflag):
    on = (lam.getnyestiffnessmatrix if scflag else lam.getnyecompliancematrix)(ORTHO, ntens)
    off = lam.getnyeoffaxissc(90.0, ORTHO, ntens, scflag)
    np.testing.assert_allclose(off[0, 0], on[1, 1], rtol=1e-13)
    np.testing.assert_allclose(off[1, 1], on[0, 0], rtol=1e-13)


def test_off_axis_any_nonzero_scflag_is_a_stiffness():
    np.testing.assert_array_equal(lam.getnyeoffaxissc(30.0, ORTHO, 6, 2),
                                  lam.getnyeoffaxissc(30.0, ORTHO, 6, 1))
    assert err.errstat == 0


def test_off_axis_unsupported_dimension():
    assert not lam.getnyeoffaxissc(30.0, ORTHO, 4, 1).any()
    assert (err.errstat, message()) == (-2, "Unsupported dimension in GetNyeStiffnessMatrixOff")


@pytest.mark.parametrize("dangle", [0.0, 30.0, 90.0, -135.0])
def test_off_axis_shear_rigidity(dangle):
    c, s = np.cos(np.radians(dangle)), np.sin(np.radians(dangle))
    r = np.array([[c, -s], [s, c]])
    expected = r.T @ np.diag([G23, G13]) @ r
    np.testing.assert_allclose(lam.getoffaxisshearrigidmatrix(G13, G23, dangle), expected,
                               rtol=1e-14, atol=1e-10)


# ---------------------------------------------------------------- stress and energy updates

def strain_factor(ndi, ntens, istensor):
    f = np.ones(ntens)
    if istensor:
        f[ndi:] = 2.0
    return f


CASES = [(1, 1, 3, 6), (0, 1, 3, 6), (1, 0, 3, 6), (0, 0, 3, 6), (1, 1, 3, 4), (0, 1, 2, 3)]


@pytest.mark.parametrize("issekant, istensor, ndi, ntens", CASES)
def test_stress_vector(issekant, istensor, ndi, ntens):
    rng = np.random.default_rng(ntens + 10 * ndi)
    d = rng.standard_normal((ntens, ntens))
    e0, de, s0 = rng.standard_normal((3, ntens))
    f = strain_factor(ndi, ntens, istensor)
    expected = d @ (f * (e0 + de)) if issekant else s0 + d @ (f * de)
    stress = s0.copy()
    assert lam.getstressvector(stress, np.asfortranarray(d), e0, de, ndi, issekant, istensor) is None
    np.testing.assert_allclose(stress, expected, rtol=1e-13, atol=1e-14)


def test_stress_vector_written_over_the_strain_increment():
    # The in/out stress is passed without a copy, so it may be the strain array itself.
    x = np.array([1.0, 2.0])
    lam.getstressvector(x, np.ones((2, 2), order="F"), np.zeros(2), x, 2, 1, 0)
    np.testing.assert_array_equal(x, [3.0, 3.0])


@pytest.mark.parametrize("shared", ["strain0", "dstrain"])
@pytest.mark.parametrize("issekant, istensor, ndi, ntens", CASES)
def test_stress_vector_in_a_strain_array(shared, issekant, istensor, ndi, ntens):
    rng = np.random.default_rng(ntens + 10 * ndi + 2)
    d = np.asfortranarray(rng.standard_normal((ntens, ntens)))
    e0, de = rng.standard_normal((2, ntens))
    f = strain_factor(ndi, ntens, istensor)
    s0 = e0 if shared == "strain0" else de
    expected = d @ (f * (e0 + de)) if issekant else s0 + d @ (f * de)
    stress = s0  # the same array object as that strain
    lam.getstressvector(stress, d, e0, de, ndi, issekant, istensor)
    np.testing.assert_allclose(stress, expected, rtol=1e-13, atol=1e-14)


@pytest.mark.parametrize("issekant, istensor, ndi, ntens", CASES)
def test_specific_strain_energy(issekant, istensor, ndi, ntens):
    rng = np.random.default_rng(ntens + 10 * ndi + 1)
    s, s0, e0, de = rng.standard_normal((4, ntens))
    f = strain_factor(ndi, ntens, istensor)
    old = 2.5
    expected = 0.5 * s @ (f * (e0 + de)) if issekant else old + 0.5 * (s + s0) @ (f * de)
    sse = lam.getspecificstrainenergy(old, s, s0, e0, de, ndi, issekant, istensor)
    np.testing.assert_allclose(sse, expected, rtol=1e-13)


def test_energy_of_uniaxial_isotropic_loading():
    # Secant energy of a uniaxial strain eps: 1/2 C11 eps^2.
    c = lam.getnyestiffnessmatrix(ISO, 6)
    eps = np.array([1e-3, 0, 0, 0, 0, 0])
    stress = np.zeros(6)
    lam.getstressvector(stress, c, np.zeros(6), eps, 3, 1, 0)
    sse = lam.getspecificstrainenergy(0.0, stress, np.zeros(6), np.zeros(6), eps, 3, 1, 0)
    np.testing.assert_allclose(sse, 0.5 * 94230.76923076923 * 1e-6, rtol=1e-14)
