"""Classical lamination theory of module laminate, against closed forms and numpy."""
import numpy as np
import pytest

import _vorlen

lam = _vorlen.laminate
err = _vorlen.errorhandling

DEFINT = 2147483647

# Carbon/epoxy ply (MPa): E1, E2, E3, nu12, nu13, nu23, G12, G13, G23.
CFRP = np.array([181000.0, 10300.0, 10300.0, 0.28, 0.28, 0.45, 7170.0, 7170.0, 3550.0])


@pytest.fixture(autouse=True)
def clean_register():
    err.rsxerr(1)
    yield
    err.rsxerr(1)


def errstat():
    return int(err.errstat)


def errtext():
    return bytes(err.errstring[()]).decode().rstrip()


def q_onaxis(p):
    """Plane-stress reduced stiffness (11, 22, 12) from a Nye property vector."""
    e1, e2, nu12, g12 = p[0], p[1], p[3], p[6]
    nu21 = nu12 * e2 / e1
    den = 1.0 - nu12 * nu21
    return np.array([[e1 / den, nu12 * e2 / den, 0.0],
                     [nu12 * e2 / den, e2 / den, 0.0],
                     [0.0, 0.0, g12]])


def q_offaxis(p, deg):
    """Transformed reduced stiffness by the textbook closed forms."""
    q = q_onaxis(p)
    q11, q22, q12, q66 = q[0, 0], q[1, 1], q[0, 1], q[2, 2]
    t = np.radians(deg)
    c, s = np.cos(t), np.sin(t)
    b11 = q11 * c**4 + 2 * (q12 + 2 * q66) * s**2 * c**2 + q22 * s**4
    b22 = q11 * s**4 + 2 * (q12 + 2 * q66) * s**2 * c**2 + q22 * c**4
    b12 = (q11 + q22 - 4 * q66) * s**2 * c**2 + q12 * (s**4 + c**4)
    b66 = (q11 + q22 - 2 * q12 - 2 * q66) * s**2 * c**2 + q66 * (s**4 + c**4)
    b16 = (q11 - q12 - 2 * q66) * c**3 * s + (q12 - q22 + 2 * q66) * c * s**3
    b26 = (q11 - q12 - 2 * q66) * c * s**3 + (q12 - q22 + 2 * q66) * c**3 * s
    return np.array([[b11, b12, b16], [b12, b22, b26], [b16, b26, b66]])


def abd_reference(props, angles, thick):
    """A, B, D by integrating Qbar(z), 1, z, z^2 through the thickness, ply by ply."""
    z = np.concatenate(([0.0], np.cumsum(thick))) - np.sum(thick) / 2
    a, b, d = np.zeros((3, 3)), np.zeros((3, 3)), np.zeros((3, 3))
    for k, ang in enumerate(angles):
        q = q_offaxis(props[:, k], ang)
        # Gauss-Legendre with 2 points integrates z and z^2 exactly on each ply.
        x, w = np.polynomial.legendre.leggauss(2)
        half, mid = (z[k + 1] - z[k]) / 2, (z[k + 1] + z[k]) / 2
        for xi, wi in zip(x, w):
            zz = mid + half * xi
            a += q * wi * half
            b += q * zz * wi * half
            d += q * zz**2 * wi * half
    return a, b, d


def stack(angles, t=0.125, props=CFRP):
    n = len(angles)
    return (np.tile(props[:, None], (1, n)), np.array(angles, float), np.full(n, t))


QI = stack([0, 45, -45, 90, 90, -45, 45, 0])
UNSYM = stack([0, 30, 90, -60, 45], t=0.2)


def tsai_pagano(p):
    q = q_onaxis(p)
    q11, q22, q12, q66 = q[0, 0], q[1, 1], q[0, 1], q[2, 2]
    u1 = (3 * q11 + 3 * q22 + 2 * q12 + 4 * q66) / 8
    u4 = (q11 + q22 + 6 * q12 - 4 * q66) / 8
    return u1, u4


# ---------------------------------------------------------------- call forms

CALL_FORMS = [
    ("getplyzcoord", "getplyzcoord = getplyzcoord(plythickness,iply,zpos,[nplies,refoffset])"),
    ("getsectionzcoord", "plyzcoord = getsectionzcoord(sectionlist,plythickness,[nplies,nsec,defint])"),
    ("getamatrix", "a = getamatrix(plyelastic,plyorientation,plythickness,[nplies])"),
    ("getbmatrix", "b = getbmatrix(plyelastic,plyorientation,plythickness,[nplies])"),
    ("getdmatrix", "d = getdmatrix(plyelastic,plyorientation,plythickness,[nplies])"),
    ("getabdmatrix", "abd = getabdmatrix(a,b,d)"),
    ("getreducedbendingstiffness", "dred = getreducedbendingstiffness(a,b,d)"),
    ("getabdtilde", "atstar,btstar,dtstar = getabdtilde(a,b,d)"),
    ("getengconstsfromabdmatrix", "eng = getengconstsfromabdmatrix(abd,h,[tcflag])"),
    ("getvmatrix", "v = getvmatrix(plyorientation,plythickness,[nplies])"),
    ("getdecoupangle",
     "getdecoupangle = getdecoupangle(plyelastic,plyorientation,plythickness,[nplies])"),
    ("getdangle", "getdangle = getdangle(plyorientation,luflag,iply,[nplies])"),
    ("getsublaminatestack", "sublamstack = getsublaminatestack(plythickness,intface,[nplies])"),
    ("getsublaminatexmatrix",
     "xsub = getsublaminatexmatrix(slflag,plyelastic,plyorientation,plythickness,sublamstack,[nplies])"),
    ("geteffectiveplatestiffness",
     "geteffectiveplatestiffness = geteffectiveplatestiffness(plyelastic,plyorientation,plythickness,[nplies])"),
    ("getplystrain", "plystrain = getplystrain(se,plyzcoord,[nzcrd])"),
    ("getsectionstrain",
     "plystrain = getsectionstrain(se,plyorientation,plythickness,[nplies,reference])"),
    ("getchaidelamfactors",
     "chaidfactors = getchaidelamfactors(qonl,qonu,dangl_d,plythickl,plythicku,g23l,g23u,g13l,g13u)"),
]


@pytest.mark.parametrize("name,form", CALL_FORMS)
def test_call_form(name, form):
    assert getattr(lam, name).__doc__.splitlines()[0] == form


# ---------------------------------------------------------------- coordinates

@pytest.mark.parametrize("thick,iply,zpos,ref,expected", [
    ([0.4], 1, 0, 0.0, -0.2),
    ([0.4], 1, 1, 0.0, 0.0),
    ([0.4], 1, 2, 0.0, 0.2),
    ([0.4], 1, 0, 0.05, -0.25),
    ([0.4], 1, 1, 0.05, -0.05),
    ([0.4], 1, 2, 0.05, 0.15),
    ([1.0, 2.0, 3.0], 2, 0, 0.0, -2.0),   # H = 6: ply 2 spans -2..0
    ([1.0, 2.0, 3.0], 2, 1, 0.0, -1.0),
    ([1.0, 2.0, 3.0], 2, 2, 0.0, 0.0),
    ([1.0, 2.0, 3.0], 3, 7, -1.0, 1.0),   # any other zpos is the bottom
])
def test_plyzcoord(thick, iply, zpos, ref, expected):
    z = lam.getplyzcoord(thick, iply, zpos, refoffset=ref)
    assert z == pytest.approx(expected, abs=1e-15)
    assert errstat() == 0


@pytest.mark.parametrize("iply", [0, -1, 4, 100000])
def test_plyzcoord_out_of_range_ply(iply):
    assert lam.getplyzcoord([1.0, 2.0, 3.0], iply, 2) == 0.0
    assert errstat() == -3


def test_sectionzcoord():
    # Section 1: two plies (defint from slot 3); 2: three plies; 3: first slot empty.
    sl = np.array([[1, 1, DEFINT, 7], [5, 5, 5, DEFINT], [DEFINT, 3, 3, 3]]).T
    t = np.array([[0.2, 0.4, 9.0, 9.0], [1.0, 1.0, 2.0, 9.0], [5.0, 5.0, 5.0, 5.0]]).T
    z = lam.getsectionzcoord(sl, t)
    assert z.shape == (9, 3)
    expected = np.zeros((9, 3))
    expected[:5, 0] = [-0.3, -0.2, -0.1, 0.1, 0.3]   # H = 0.6
    expected[:7, 1] = [-2.0, -1.5, -1.0, -0.5, 0.0, 1.0, 2.0]   # H = 4
    np.testing.assert_allclose(z, expected, atol=1e-14)


def test_sectionzcoord_all_empty_and_custom_marker():
    sl = np.full((2, 2), DEFINT, dtype=np.int32)
    np.testing.assert_array_equal(lam.getsectionzcoord(sl, np.ones((2, 2))), 0.0)
    sl = np.array([[4, -1], [-1, -1]]).T   # marker -1: one ply, then nothing
    z = lam.getsectionzcoord(sl, np.array([[2.0, 7.0], [3.0, 3.0]]).T, defint=-1)
    np.testing.assert_allclose(z, np.array([[-1.0, 0.0, 1.0, 0, 0], [0, 0, 0, 0, 0]]).T, atol=0)


# ---------------------------------------------------------------- A, B, D and ABD

def test_single_ply_closed_form():
    t = 0.3
    p, ang, th = stack([0], t=t)
    q = q_onaxis(CFRP)
    np.testing.assert_allclose(lam.getamatrix(p, ang, th), t * q, rtol=1e-13)
    np.testing.assert_allclose(lam.getbmatrix(p, ang, th), 0.0, atol=1e-9)
    np.testing.assert_allclose(lam.getdmatrix(p, ang, th), t**3 / 12 * q, rtol=1e-13)


@pytest.mark.parametrize("lay", [QI, UNSYM], ids=["quasi-isotropic", "unsymmetric"])
def test_abd_against_integration(lay):
    a_ref, b_ref, d_ref = abd_reference(*lay)
    scale = np.abs(a_ref).max()
    a, b, d = lam.getamatrix(*lay), lam.getbmatrix(*lay), lam.getdmatrix(*lay)
    np.testing.assert_allclose(a, a_ref, rtol=0, atol=1e-12 * scale)
    np.testing.assert_allclose(b, b_ref, rtol=0, atol=1e-12 * scale)
    np.testing.assert_allclose(d, d_ref, rtol=0, atol=1e-12 * scale)
    abd = lam.getabdmatrix(a, b, d)
    np.testing.assert_array_equal(abd, np.block([[a, b], [b, d]]))


def test_symmetric_stack_has_no_coupling():
    b = lam.getbmatrix(*QI)
    assert np.abs(b).max() < 1e-12 * np.abs(lam.getamatrix(*QI)).max()


def test_reduced_bending_and_inverse_blocks():
    a, b, d = (lam.getamatrix(*UNSYM), lam.getbmatrix(*UNSYM), lam.getdmatrix(*UNSYM))
    dred = lam.getreducedbendingstiffness(a, b, d)
    np.testing.assert_allclose(dred, d - b @ np.linalg.solve(a, b), rtol=1e-10)
    inv = np.linalg.inv(np.block([[a, b], [b, d]]))
    at, bt, dt = lam.getabdtilde(a, b, d)
    np.testing.assert_allclose(at, inv[:3, :3], rtol=1e-9, atol=1e-12 * np.abs(inv[:3, :3]).max())
    np.testing.assert_allclose(dt, inv[3:, 3:], rtol=1e-9, atol=1e-12 * np.abs(inv[3:, 3:]).max())
    np.testing.assert_allclose(-bt, inv[3:, :3], rtol=1e-9, atol=1e-12 * np.abs(inv[3:, :3]).max())
    np.testing.assert_allclose(-bt.T, inv[:3, 3:], rtol=1e-9, atol=1e-12 * np.abs(inv[:3, 3:]).max())


def test_inverse_blocks_without_coupling():
    a, d = lam.getamatrix(*QI), lam.getdmatrix(*QI)
    at, bt, dt = lam.getabdtilde(a, np.zeros((3, 3)), d)
    np.testing.assert_allclose(at, np.linalg.inv(a), rtol=1e-12)
    np.testing.assert_array_equal(bt, 0.0)
    np.testing.assert_allclose(dt, np.linalg.inv(d), rtol=1e-12)


def test_singular_a_is_reported_by_the_inverse():
    z = np.zeros((3, 3))
    lam.getreducedbendingstiffness(z, z, np.eye(3))
    assert errstat() == -2
    assert errtext() == "Matrix inverse becomes numerically singular!"


# ---------------------------------------------------------------- engineering constants

def test_engineering_constants_quasi_isotropic():
    p, ang, th = QI
    h = th.sum()
    abd = lam.getabdmatrix(lam.getamatrix(*QI), lam.getbmatrix(*QI), lam.getdmatrix(*QI))
    u1, u4 = tsai_pagano(CFRP)
    eng = lam.getengconstsfromabdmatrix(abd, h)
    e_iso = (u1**2 - u4**2) / u1
    np.testing.assert_allclose(eng[:4], [e_iso, e_iso, e_iso / (2 * (1 + u4 / u1)), u4 / u1],
                               rtol=1e-11)
    comp = np.linalg.inv(abd)
    np.testing.assert_allclose(eng[4:], [-comp[3, 4] / comp[3, 3], 12 / (h**3 * comp[4, 4]),
                                         12 / (h**3 * comp[5, 5]), 0.0], rtol=1e-10)
    np.testing.assert_array_equal(lam.getengconstsfromabdmatrix(abd, h, 0), eng)


def test_engineering_constants_stiffness_form():
    abd = np.arange(1.0, 37.0).reshape(6, 6)
    h = 2.0
    eng = lam.getengconstsfromabdmatrix(abd, h, tcflag=1)
    d = np.diag(abd)
    np.testing.assert_allclose(eng, [d[0] / h, d[1] / h, d[2] / h, 0.0, 12 * d[3] / h**3,
                                     12 * d[4] / h**3, 12 * d[5] / h**3, 0.0], rtol=1e-15)


# ---------------------------------------------------------------- lamination parameters

def w(theta):
    return np.array([np.cos(2 * theta), np.cos(4 * theta), np.sin(2 * theta), np.sin(4 * theta)])


def test_vmatrix_single_ply_in_radians():
    v = lam.getvmatrix([np.pi / 8], [0.5])
    np.testing.assert_allclose(v, np.column_stack([w(np.pi / 8), np.zeros(4), w(np.pi / 8)]),
                               atol=1e-15)


def test_vmatrix_two_plies():
    # Two plies of thickness t: membrane (w1 + w2)/2, coupling (w2 - w1)/2, bending (w1 + w2)/2.
    t1, t2 = 0.3, -1.1
    v = lam.getvmatrix([t1, t2], [0.25, 0.25])
    np.testing.assert_allclose(v, np.column_stack([(w(t1) + w(t2)) / 2, (w(t2) - w(t1)) / 2,
                                                   (w(t1) + w(t2)) / 2]), atol=1e-14)


def test_vmatrix_quasi_isotropic_in_plane():
    v = lam.getvmatrix(np.radians(QI[1]), QI[2])
    np.testing.assert_allclose(v[:, :2], 0.0, atol=1e-14)


# ---------------------------------------------------------------- decoupling angle

OTHER = np.array([50000.0, 5000.0, 5000.0, 0.3, 0.3, 0.4, 3000.0, 3000.0, 2000.0])


@pytest.mark.parametrize("props,angles,thick,expected", [
    ([CFRP], [27.5], [0.1], 27.5),
    ([CFRP] * 3, [45, 0, 90], [1, 1, 1], 0.0),          # 90 joins the 0 group
    ([CFRP] * 2, [30, 60], [1, 1], 30.0),                # tie: earlier group
    ([CFRP] * 3, [30, 60, 150], [1, 1, 1], 60.0),         # 150 = 60 + 90
    ([CFRP] * 3, [10, 190, 55], [1, 1, 1.5], 10.0),       # 190 = 10 + 180
    ([CFRP] * 3, [0, 270, 45], [1, 1, 1.5], 45.0),        # 270 is no neighbour of 0
])
def test_decoupangle(props, angles, thick, expected):
    p = np.array(props, float).T
    assert lam.getdecoupangle(p, angles, thick) == expected


def test_decoupangle_weight_scaled_by_stiffest_ply():
    # Ply 1 (E1/E2 = 10) weighs 0.4*9 = 3.6; ply 2 (E1/E2 = 10, half as stiff) 0.6*9*0.5 = 2.7:
    # group 1 wins only because of the factor E1/ex1.
    a = CFRP.copy()
    a[:2] = [100000.0, 10000.0]
    b = CFRP.copy()
    b[:2] = [50000.0, 5000.0]
    assert lam.getdecoupangle(np.array([a, b]).T, [0.0, 30.0], [1.0, 1.5]) == 0.0


def test_decoupangle_without_plies():
    assert lam.getdecoupangle(np.zeros((9, 0)), [], []) == 0.0
    assert errstat() == -3


# ---------------------------------------------------------------- angle steps, sub-laminates

@pytest.mark.parametrize("luflag,iply,expected", [
    (0, 1, 0.0), (0, 2, 45.0), (0, 4, 135.0), (1, 1, -45.0), (1, 3, -135.0), (1, 4, 0.0),
])
def test_dangle(luflag, iply, expected):
    assert lam.getdangle([0.0, 45.0, -45.0, 90.0], luflag, iply) == expected
    assert errstat() == 0


def test_dangle_bad_flag():
    lam.getdangle([0.0, 45.0], 2, 1)
    assert errstat() == -3
    assert errtext() == "Error: Default case in GetdAngle. Please check your input parameters."


@pytest.mark.parametrize("luflag,iply", [(0, 0), (0, 5), (1, 0), (1, 5), (0, -3)])
def test_dangle_out_of_range_ply(luflag, iply):
    assert lam.getdangle([0.0, 45.0, -45.0, 90.0], luflag, iply) == 0.0
    assert errstat() == -3


@pytest.mark.parametrize("thick,intface,expected", [
    ([1, 1, 1, 1], 2, [3, 4]),     # equal halves: the upper part
    ([1, 1, 1, 1], 1, [1, 1]),
    ([1, 1, 1, 1], 3, [4, 4]),
    ([3, 1, 1, 1], 1, [2, 4]),
    ([1, 1, 1, 1], 4, [5, 4]),     # nothing above: an empty stack
    ([1, 1, 1, 1], 0, [1, 0]),
])
def test_sublaminatestack(thick, intface, expected):
    np.testing.assert_array_equal(lam.getsublaminatestack(thick, intface), expected)
    assert errstat() == 0


@pytest.mark.parametrize("intface", [-1, 5, -2147483648])
def test_sublaminatestack_out_of_range(intface):
    np.testing.assert_array_equal(lam.getsublaminatestack([1.0] * 4, intface), [0, 0])
    assert errstat() == -3


@pytest.mark.parametrize("flag,k", [("A", 0), ("B", 1), ("D", 2)])
def test_sublaminate_matrices(flag, k):
    p, ang, th = UNSYM
    x = lam.getsublaminatexmatrix(flag, p, ang, th, [2, 4])
    ref = abd_reference(p[:, 1:4], ang[1:4], th[1:4])[k]
    np.testing.assert_allclose(x, ref, rtol=0, atol=1e-12 * np.abs(ref).max())


@pytest.mark.parametrize("flag,sub,code", [
    ("a", [1, 3], 0), ("X", [1, 3], 0), ("A", [6, 5], 0), ("D", [3, 1], 0),
    ("A", [0, 2], -3), ("B", [4, 6], -3), ("D", [-5, 99], -3),
])
def test_sublaminate_matrices_zero(flag, sub, code):
    np.testing.assert_array_equal(lam.getsublaminatexmatrix(flag, *UNSYM[:3], sub), 0.0)
    assert errstat() == code


# ---------------------------------------------------------------- plate stiffness, strains

def test_effective_plate_stiffness_isotropic():
    e, nu, t = 70000.0, 0.3, 2.0
    g = e / (2 * (1 + nu))
    p = np.array([e, e, e, nu, nu, nu, g, g, g])
    val = lam.geteffectiveplatestiffness(p[:, None], [17.0], [t])
    assert val == pytest.approx(e * t**3 / (12 * (1 - nu**2)), rel=1e-13)


def test_effective_plate_stiffness_orthotropic():
    d = abd_reference(*QI)[2]
    s = (d[0, 1] + 2 * d[2, 2]) / np.sqrt(d[0, 0] * d[1, 1])
    assert lam.geteffectiveplatestiffness(*QI) == pytest.approx(
        np.sqrt(0.5 * (1 + s) * d[0, 0] * d[1, 1]), rel=1e-12)


SE = np.array([1e-3, -4e-4, 2e-3, 0.3, -0.1, 0.05])


def test_plystrain():
    z = np.array([-0.5, 0.0, 0.25, 2.0])
    np.testing.assert_allclose(lam.getplystrain(SE, z), SE[:3, None] + np.outer(SE[3:], z),
                               rtol=1e-15)


def rotate_strain(e, deg):
    """Engineering strain (x, y, xy) to axes rotated by deg, through the tensor."""
    t = np.radians(deg)
    r = np.array([[np.cos(t), np.sin(t)], [-np.sin(t), np.cos(t)]])
    m = r @ np.array([[e[0], e[2] / 2], [e[2] / 2, e[1]]]) @ r.T
    return np.array([m[0, 0], m[1, 1], 2 * m[0, 1]])


@pytest.mark.parametrize("ref", [0.0, 0.1])
def test_sectionstrain(ref):
    angles, thick = np.array([0.0, 90.0, 45.0, -30.0]), np.array([0.1, 0.2, 0.15, 0.05])
    s = lam.getsectionstrain(SE, angles, thick, reference=ref)
    assert s.shape == (3, 12)
    edges = np.concatenate(([0.0], np.cumsum(thick))) - thick.sum() / 2 - ref
    for k, ang in enumerate(angles):
        for p, z in enumerate([edges[k], (edges[k] + edges[k + 1]) / 2, edges[k + 1]]):
            np.testing.assert_allclose(s[:, 3 * k + p], rotate_strain(SE[:3] + z * SE[3:], ang),
                                       rtol=1e-12, atol=1e-16)


# ---------------------------------------------------------------- Chai factors

def test_chai_factors_aligned_plies():
    q = q_onaxis(CFRP)
    f = lam.getchaidelamfactors(q, q, 0.0, 0.2, 0.1, 3000.0, 3000.0, 3000.0, 3000.0)
    np.testing.assert_allclose(f, [0.0, 1.0, 1.0], atol=1e-15)


def test_chai_factors_crossed_plies():
    ql, qu = q_onaxis(CFRP), q_onaxis(OTHER)
    g23l, g23u, g13l, g13u = 3500.0, 2000.0, 7000.0, 3000.0
    f = lam.getchaidelamfactors(ql, qu, 90.0, 0.2, 0.1, g23l, g23u, g13l, g13u)
    # At 90 degrees Q11u(theta) = Q22u: factor 1 is the thickness ratio; c = 0, s = 1.
    np.testing.assert_allclose(f, [2.0, (1 + g23u / g13l) / 2, (1 + g13l / g23u) / 2],
                               rtol=1e-12)
    th = np.radians(30.0)
    c, s = np.cos(th), np.sin(th)
    q11t = (qu[0, 0] * c**4 + 2 * (qu[0, 1] + 2 * qu[2, 2]) * c**2 * s**2 + qu[1, 1] * s**4)
    f = lam.getchaidelamfactors(ql, qu, 30.0, 0.2, 0.1, g23l, g23u, g13l, g13u)
    np.testing.assert_allclose(f, [(ql[0, 0] - q11t) * 2 / (ql[0, 0] - qu[1, 1]),
                                   (1 + g23u / g23l * c**2 + g23u / g13l * s**2) / 2,
                                   (1 + g13l / g13u * c**2 + g13l / g23u * s**2) / 2], rtol=1e-12)


def test_chai_factor_one_is_zero_when_q22u_equals_q11l():
    ql = np.diag([5000.0, 1.0, 1.0])
    qu = np.diag([9000.0, 5000.0, 1.0])
    assert lam.getchaidelamfactors(ql, qu, 40.0, 1, 1, 1, 1, 1, 1)[0] == 0.0
