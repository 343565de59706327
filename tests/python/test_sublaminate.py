"""Ritz buckling of delaminated sub-laminates (module sublaminate): the shape matrices against
their integrals, the buckling loads against plate theory and a numpy Ritz model, and the
pass-by-pass records of a delaminated stack worked out by hand."""
import numpy as np
import pytest
from numpy.polynomial.legendre import leggauss
from scipy import linalg

import _vorlen
from conftest import errstat, errtext

sub = _vorlen.sublaminate
DEFINT = 2147483647

# Carbon/epoxy ply (MPa): E1, E2, E3, nu12, nu13, nu23, G12, G13, G23.
CFRP = np.array([181000.0, 10300.0, 10300.0, 0.28, 0.28, 0.45, 7170.0, 7170.0, 3550.0])


def isotropic(e=1000.0, nu=0.3):
    g = e / (2 * (1 + nu))
    return np.array([e, e, e, nu, nu, nu, g, g, g])


@pytest.fixture(autouse=True)
def register(clean_register):
    yield clean_register


@pytest.mark.parametrize("name,form", [
    ("getkgrecttang", "kg = getkgrecttang(kgtype)"),
    ("getkgrectangle", "kg = getkgrectangle(kgtype)"),
    ("getkgellipse", "kg = getkgellipse(kgtype)"),
    ("getkkrecttang", "kk = getkkrecttang(kktype)"),
    ("getkkrectangle", "kk = getkkrectangle(kktype)"),
    ("getkkellipse", "kk = getkkellipse(kktype)"),
    ("getsubkg", "subkg = getsubkg(nglob,abd,abdinv,a,b,dangle,dshape)"),
    ("getsubkk", "subkk = getsubkk(dred,a,b,dshape)"),
    ("getsublambucklingstrain", "eps,nx,eigvec = getsublambucklingstrain(dsize,nglob,plyelastic,"
                                "plyorientation,plythickness,dshape,[nplies])"),
    ("delaminatedbucklinganalysis", "epsbuck,bukrealdatalist,bukintdatalist = "
     "delaminatedbucklinganalysis(comprstrength,plyelastic,plyorientation,plythickness,"
     "plydelamination,plydshape,[nplies])"),
    ("getbukdatafromdds", "bukrealdatalist,bukintdatalist = getbukdatafromdds(delamdds,plydshape,"
     "comprstrength,plyelastic,plyorientation,plythickness,sectionlist,[ndmg,nplies,nsec,"
     "defint])"),
])
def test_call_forms(name, form):
    assert getattr(sub, name).__doc__.splitlines()[0] == form


# --- Shape matrices as integrals of the Ritz modes ---------------------------------------------

def _derivatives(bubble, x, y):
    """Derivatives w_x, w_y, w_xx, w_yy, w_xy of the six modes bubble * (1, x, y, xy, x^2, y^2)."""
    if bubble == "ellipse":
        q = 1 - x * x - y * y
        b, bx, by = q * q, -4 * x * q, -4 * y * q
        bxx, byy, bxy = -4 * q + 8 * x * x, -4 * q + 8 * y * y, 8 * x * y
    else:
        p = 2 if bubble == "rectangle" else 1
        f, g = (1 - x * x) ** p, (1 - y * y) ** p
        fx = -2 * p * x * (1 - x * x) ** (p - 1)
        gy = -2 * p * y * (1 - y * y) ** (p - 1)
        fxx = -2 * p * (1 - x * x) ** (p - 1) + (4 * p * (p - 1) * x * x if p > 1 else 0)
        gyy = -2 * p * (1 - y * y) ** (p - 1) + (4 * p * (p - 1) * y * y if p > 1 else 0)
        b, bx, by, bxx, byy, bxy = f * g, fx * g, f * gy, fxx * g, f * gyy, fx * gy
    one, zero = np.ones_like(x), np.zeros_like(x)
    m = [one, x, y, x * y, x * x, y * y]
    mx = [zero, one, zero, y, 2 * x, zero]
    my = [zero, zero, one, x, zero, 2 * y]
    mxx = [zero, zero, zero, zero, 2 * one, zero]
    myy = [zero, zero, zero, zero, zero, 2 * one]
    mxy = [zero, zero, zero, one, zero, zero]
    wx = [bx * m[i] + b * mx[i] for i in range(6)]
    wy = [by * m[i] + b * my[i] for i in range(6)]
    wxx = [bxx * m[i] + 2 * bx * mx[i] + b * mxx[i] for i in range(6)]
    wyy = [byy * m[i] + 2 * by * my[i] + b * myy[i] for i in range(6)]
    wxy = [bxy * m[i] + bx * my[i] + by * mx[i] + b * mxy[i] for i in range(6)]
    return wx, wy, wxx, wyy, wxy


def _shape_tables(bubble):
    """(KG1..3, KK1..5): integrals of w_x^2, w_y^2, 2 w_x w_y, w_xx^2, w_yy^2, 2 w_xx w_yy,
    4 w_xx w_xy, 4 w_yy w_xy over the unit outline (symmetrised), divided by 2 pi for the
    ellipse and 2 for the rectangles."""
    t, wt = leggauss(24)
    if bubble == "ellipse":
        r, wr = (t + 1) / 2, wt / 2
        phi = 2 * np.pi * np.arange(64) / 64  # trapezoidal rule: exact for these trigonometric
        rr, pp = np.meshgrid(r, phi, indexing="ij")
        weight = np.outer(wr, np.full(64, 2 * np.pi / 64)) * rr / (2 * np.pi)
        x, y = rr * np.cos(pp), rr * np.sin(pp)
    else:
        x, y = np.meshgrid(t, t, indexing="ij")
        weight = np.outer(wt, wt) / 2
    wx, wy, wxx, wyy, wxy = _derivatives(bubble, x, y)

    def gram(f, g, c):
        return np.array([[c * np.sum(weight * (f[i] * g[j] + g[i] * f[j])) / 2 for j in range(6)]
                         for i in range(6)])
    kg = [gram(wx, wx, 1), gram(wy, wy, 1), gram(wx, wy, 2)]
    kk = [gram(wxx, wxx, 1), gram(wyy, wyy, 1), gram(wxx, wyy, 2), gram(wxx, wxy, 4),
          gram(wyy, wxy, 4)]
    return kg, kk


BUBBLES = {1: "ellipse", 2: "rectangle", 3: "recttang"}
TABLES = {name: _shape_tables(name) for name in BUBBLES.values()}
SHAPE_ROUTINES = [
    ("getkgellipse", "ellipse", 0, (1, 2, 3), (11, 22, 33)),
    ("getkgrectangle", "rectangle", 0, (1, 2, 3), (11, 22, 33)),
    ("getkgrecttang", "recttang", 0, (1, 2, 3), (11, 22, 33)),
    ("getkkellipse", "ellipse", 1, (1, 2, 3, 4, 5), (11, 22, 33, 16, 26)),
    ("getkkrectangle", "rectangle", 1, (1, 2, 3, 4, 5), (11, 22, 33, 16, 26)),
    ("getkkrecttang", "recttang", 1, (1, 2, 3, 4, 5), (11, 22, 33, 16, 26)),
]


@pytest.mark.parametrize("name,bubble,family,codes,twodigit", SHAPE_ROUTINES)
def test_shape_matrices_are_the_integrals_of_the_modes(name, bubble, family, codes, twodigit):
    routine = getattr(sub, name)
    for k, (code, code2) in enumerate(zip(codes, twodigit)):
        expected = TABLES[bubble][family][k]
        got = routine(code)
        np.testing.assert_allclose(got, expected, rtol=1e-13, atol=1e-14,
                                   err_msg=f"{name} type {code}")
        np.testing.assert_array_equal(routine(code2), got)
    assert errstat() == 0


def test_tangent_stiffness_type_2_mirrors_type_1():
    kk1, kk2 = sub.getkkrecttang(1), sub.getkkrecttang(2)
    swap = [0, 2, 1, 3, 5, 4]  # x <-> y exchanges the modes x, y and x^2, y^2
    np.testing.assert_array_equal(kk2, kk1[np.ix_(swap, swap)])
    assert kk2[2, 2] == pytest.approx(63 * 64 / 315) and kk2[4, 5] == pytest.approx(3 * 64 / 315)


@pytest.mark.parametrize("name,bad", [
    ("getkgrecttang", 4), ("getkgrectangle", 0), ("getkgellipse", 16),
    ("getkkrecttang", 6), ("getkkrectangle", 0), ("getkkellipse", 44),
])
def test_unknown_type_gives_zero_and_code_minus_2(name, bad):
    assert not getattr(sub, name)(bad).any()
    assert errstat() == -2
    text = "Error: Default case in subroutine " + name.replace("get", "Get").replace(
        "kg", "KG").replace("kk", "KK").replace("recttang", "RectTang").replace(
        "rectangle", "Rectangle").replace("ellipse", "Ellipse")
    assert errtext() == (text + ". Please check your input parameters.")[:80]


# --- Laminate and Ritz model in numpy -------------------------------------------------------------

def q_offaxis(p, deg):
    e1, e2, nu12, g12 = p[0], p[1], p[3], p[6]
    den = 1.0 - nu12 * nu12 * e2 / e1
    q = np.array([[e1 / den, nu12 * e2 / den, 0], [nu12 * e2 / den, e2 / den, 0], [0, 0, g12]])
    c, s = np.cos(np.radians(deg)), np.sin(np.radians(deg))
    t = np.array([[c * c, s * s, 2 * c * s], [s * s, c * c, -2 * c * s],
                  [-c * s, c * s, c * c - s * s]])  # stress into axes turned by deg
    r = np.diag([1.0, 1.0, 2.0])
    return np.linalg.inv(t) @ q @ r @ t @ np.linalg.inv(r)


def abd(props, angles, thick):
    z = np.concatenate(([0.0], np.cumsum(thick))) - np.sum(thick) / 2
    a, b, d = np.zeros((3, 3)), np.zeros((3, 3)), np.zeros((3, 3))
    for k, ang in enumerate(angles):
        q = q_offaxis(props[:, k], ang)
        a += q * (z[k + 1] - z[k])
        b += q * (z[k + 1] ** 2 - z[k] ** 2) / 2
        d += q * (z[k + 1] ** 3 - z[k] ** 3) / 3
    return a, b, d, np.block([[a, b], [b, d]])


def ritz(dsize, nglob, props, angles, thick, dshape):
    """Buckling (eps, nx, mode) of the six-term Ritz model with scipy's eigenvalues."""
    a, b, th = dsize
    angles = np.asarray(angles, float)
    a11 = np.linalg.inv(abd(props, angles, thick)[3])[0, 0]
    am, bm, dm, m = abd(props, angles - th, thick)
    dred = dm - bm @ np.linalg.solve(am, bm)
    kg, kk = TABLES[BUBBLES[dshape]]
    w = [dred[0, 0] * b / a**3, dred[1, 1] * a / b**3, (dred[0, 1] + 2 * dred[2, 2]) / (a * b),
         dred[0, 2] / a**2, dred[1, 2] / b**2]
    c, s = np.cos(np.radians(th)), np.sin(np.radians(th))
    t = np.array([[c * c, s * s, 2 * c * s], [s * s, c * c, -2 * c * s],
                  [-c * s, c * s, c * c - s * s]])
    n = am @ np.linalg.inv(m)[:3, :3] @ t @ -np.asarray(nglob, float)
    n = n * [b / a, a / b, 1.0]
    kmat = sum(wk * kk[k] for k, wk in enumerate(w))
    gmat = sum(nk * kg[k] for k, nk in enumerate(n))
    mus, vecs = linalg.eig(gmat, kmat)  # mu = 1/lambda
    k = np.argmax(np.abs(mus))
    mu = mus[k].real
    return a11 / mu, 1 / mu / np.sum(thick), vecs[:, k].real / np.linalg.norm(vecs[:, k].real)


def buckle(dsize, nglob, props, angles, thick, dshape):
    return sub.getsublambucklingstrain(np.asarray(dsize, float), np.asarray(nglob, float),
                                       np.asfortranarray(props), np.asarray(angles, float),
                                       np.asarray(thick, float), dshape)


# --- Buckling loads ---------------------------------------------------------------------------

E, NU, T = 1000.0, 0.3, 0.5
D_ISO = E * T**3 / (12 * (1 - NU**2))


@pytest.mark.parametrize("dshape,nglob,scale,reference", [
    (1, (-1, -1, 0), 1.0, 14.682),           # clamped circle, equal biaxial: N R^2 / D
    (2, (-1, 0, 0), np.pi**2 / 4, 10.07),    # clamped square: N L^2 / (pi^2 D)
    (3, (-1, 0, 0), np.pi**2 / 4, 4.0),      # simply supported square
    (3, (-1, -1, 0), np.pi**2 / 4, 2.0),     # simply supported square, equal biaxial
])
def test_isotropic_plates_buckle_at_the_plate_coefficients(dshape, nglob, scale, reference):
    # a = b = 1: the circle of radius 1, the square of side 2
    eps, nx, mode = buckle((1.0, 1.0, 0.0), nglob, isotropic(E, NU)[:, None], [0.0], [T], dshape)
    k = nx * T / D_ISO / scale
    assert reference <= k <= reference * 1.006, (k, reference)
    assert eps == pytest.approx(nx / E, rel=1e-12)  # the strain of N = nx T over A11^-1 = E T


def test_orthotropic_square_against_the_navier_load():
    props = np.column_stack([CFRP] * 4)
    angles, thick = [0.0, 90.0, 90.0, 0.0], [0.125] * 4
    _, _, d, _ = abd(props, angles, thick)
    side = 100.0
    reference = np.pi**2 / side**2 * (d[0, 0] + 2 * (d[0, 1] + 2 * d[2, 2]) + d[1, 1])
    _, nx, _ = buckle((side / 2, side / 2, 0.0), (-1, 0, 0), props, angles, thick, 3)
    assert reference <= nx * 0.5 <= reference * 1.006


STACKS = [
    ([0.0, 45.0, -45.0, 90.0], [0.2, 0.1, 0.1, 0.3]),  # unsymmetric: B and D16, D26 present
    ([30.0, -60.0], [0.25, 0.25]),
    ([15.0], [0.4]),
]


@pytest.mark.parametrize("dshape", [1, 2, 3])
@pytest.mark.parametrize("angles,thick", STACKS)
@pytest.mark.parametrize("dsize,nglob", [((20.0, 12.0, 0.0), (-1, 0, 0)),
                                         ((15.0, 25.0, 30.0), (-1.0, -0.4, 0.2))])
def test_buckling_against_the_ritz_model(dshape, angles, thick, dsize, nglob):
    props = np.column_stack([CFRP] * len(angles))
    eps, nx, mode = buckle(dsize, nglob, props, angles, thick, dshape)
    eps_ref, nx_ref, mode_ref = ritz(dsize, nglob, props, angles, thick, dshape)
    assert eps == pytest.approx(eps_ref, rel=1e-8)
    assert nx == pytest.approx(nx_ref, rel=1e-8)
    assert abs(np.dot(mode, mode_ref)) == pytest.approx(1.0, abs=1e-8)
    assert errstat() == 0


@pytest.mark.parametrize("dshape", [1, 2, 3])
def test_turning_the_outline_by_90_degrees_with_its_axes_swapped_changes_nothing(dshape):
    props = np.column_stack([CFRP] * 3)
    angles, thick = [0.0, 60.0, -30.0], [0.2, 0.15, 0.25]
    for theta in (0.0, 25.0):
        e1, n1, _ = buckle((18.0, 11.0, theta), (-1, -0.3, 0.1), props, angles, thick, dshape)
        e2, n2, _ = buckle((11.0, 18.0, theta + 90.0), (-1, -0.3, 0.1), props, angles, thick,
                           dshape)
        assert e2 == pytest.approx(e1, rel=1e-9) and n2 == pytest.approx(n1, rel=1e-9)


def test_subkg_and_subkk_of_a_symmetric_laminate():
    props = np.column_stack([CFRP] * 4)
    a, b, d, m = abd(props, [0.0, 90.0, 90.0, 0.0], [0.125] * 4)
    minv = np.linalg.inv(m)
    kg = sub.getsubkg(np.array([1.0, 0.0, 0.0]), m, minv, 3.0, 2.0, 0.0, 1)
    np.testing.assert_allclose(kg, 2.0 / 3.0 * TABLES["ellipse"][0][0], rtol=1e-12, atol=1e-15)
    # turned by 90 degrees the load acts along the outline's y axis
    kg = sub.getsubkg(np.array([1.0, 0.0, 0.0]), m, minv, 3.0, 2.0, 90.0, 1)
    np.testing.assert_allclose(kg, 3.0 / 2.0 * TABLES["ellipse"][0][1], rtol=1e-12, atol=1e-12)
    kk = sub.getsubkk(d, 3.0, 2.0, 2)
    kkr = TABLES["rectangle"][1]
    expected = (d[0, 0] * 2 / 27 * kkr[0] + d[1, 1] * 3 / 8 * kkr[1]
                + (d[0, 1] + 2 * d[2, 2]) / 6 * kkr[2])  # no D16, D26 terms
    np.testing.assert_allclose(kk, expected, rtol=1e-12, atol=1e-9)
    assert errstat() == 0


def test_subkg_takes_the_membrane_load_through_a_and_the_inverse_abd():
    props = np.column_stack([CFRP] * 2)
    _, _, _, m = abd(props, [0.0, 45.0], [0.2, 0.2])  # B couples membrane and bending
    minv = np.linalg.inv(m)
    kg = sub.getsubkg(np.array([1.0, 0.0, 0.0]), m, minv, 1.0, 1.0, 0.0, 3)
    n = m[:3, :3] @ minv[:3, :3] @ [1.0, 0.0, 0.0]
    assert abs(n[1]) > 1e-3  # not the load itself
    np.testing.assert_allclose(kg, sum(n[k] * TABLES["recttang"][0][k] for k in range(3)),
                               rtol=1e-10, atol=1e-14)


@pytest.mark.parametrize("routine,args", [
    ("getsubkg", (np.ones(3), np.eye(6), np.eye(6), 1.0, 1.0, 0.0)),
    ("getsubkk", (np.eye(3), 1.0, 1.0)),
])
def test_sub_matrices_without_or_with_unknown_shape(routine, args):
    f = getattr(sub, routine)
    assert not f(*args, 0).any() and errstat() == 0
    assert not f(*args, 4).any() and errstat() == -2
    name = "GetSubKG" if routine == "getsubkg" else "GetSubKK"
    assert errtext() == ("Error: Default case in subroutine " + name
                         + ". DShape has to be an integer between 0 and 3.")[:80].rstrip()


@pytest.mark.parametrize("dsize,nglob,thick,nply,dshape,code,message", [
    ((5, 5, 0), (-1, 0, 0), 0.2, 1, 0, -2, "Error: Default case in subroutine "
     "GetSubLamBucklingStrain. DShape has to be an integer between 1 and 3."[:80 - 34]),
    ((5, 5, 0), (-1, 0, 0), 0.2, 1, 4, -2, "Error: Default case in subroutine GetSub"),
    ((5, 5, 0), (-1, 0, 0), 0.2, 0, 1, -3, "Fewer than one ply in GetSubLamBucklingStrain"),
    ((0, 5, 0), (-1, 0, 0), 0.2, 1, 1, -3, "Delamination size not above 0 in "
     "GetSubLamBucklingStrain"),
    ((5, -1, 0), (-1, 0, 0), 0.2, 1, 2, -3, "Delamination size not above 0"),
    ((5, 5, 0), (-1, 0, 0), 0.0, 1, 3, -3, "Stack thickness not above 0 in "
     "GetSubLamBucklingStrain"),
    ((5, 5, 0), (0, 0, 0), 0.2, 1, 1, -3, "Zero or non-finite eigenvalue in "
     "GetSubLamBucklingStrain"),
    ((5, 5, np.nan), (-1, 0, 0), 0.2, 1, 1, -3, ""),  # PowerIteration reports the NaN first
])
def test_buckling_strain_failures_give_zeros(dsize, nglob, thick, nply, dshape, code, message):
    props = np.asfortranarray(np.tile(CFRP[:, None], nply))
    eps, nx, mode = sub.getsublambucklingstrain(np.array(dsize, float), np.array(nglob, float),
                                                props, np.zeros(nply), np.full(nply, thick),
                                                dshape)
    assert (eps, nx) == (0.0, 0.0) and not mode.any()
    assert errstat() == code and errtext().startswith(message)


def test_strain_is_scaled_by_the_stack_in_its_own_axes():
    props = np.column_stack([CFRP] * 2)
    angles, thick = [0.0, 90.0], [0.2, 0.2]
    eps, nx, _ = buckle((10.0, 10.0, 40.0), (-1, 0, 0), props, angles, thick, 1)
    a11 = np.linalg.inv(abd(props, angles, thick)[3])[0, 0]
    a11_turned = np.linalg.inv(abd(props, np.subtract(angles, 40.0), thick)[3])[0, 0]
    assert eps == pytest.approx(a11 * nx * 0.4, rel=1e-12)
    assert abs(a11_turned / a11 - 1) > 0.05


# --- Delaminated stacks, pass by pass ---------------------------------------------------------------

XC = 1200.0


def stack(thick, delam, shapes=None, angles=None, xc=XC):
    n = len(thick)
    props = np.asfortranarray(np.column_stack([CFRP] * n))
    angles = np.zeros(n) if angles is None else np.asarray(angles, float)
    pd = np.asfortranarray(np.array(delam, float).reshape(n - 1, 3).T) if n > 1 else \
        np.zeros((3, 0), order="F")
    shapes = np.ones(n - 1, np.int32) if shapes is None else np.asarray(shapes, np.int32)
    out = sub.delaminatedbucklinganalysis(xc, props, angles, np.asarray(thick, float), pd,
                                          shapes)
    return out, props, angles, np.asarray(thick, float)


def record(props, angles, thick, first, last, size, interface, below, xc=XC):
    """The expected record of plies first..last (1-based) from the numpy Ritz model."""
    sl = slice(first - 1, last)
    eps, nx, mode = ritz(size, (-1, 0, 0), props[:, sl], angles[sl], thick[sl], 1)
    return eps, nx, mode, [interface, first, last, below]


def assert_record(real, integer, col, expected, xc=XC):
    eps, nx, mode, ints = expected
    np.testing.assert_array_equal(integer[:, col], ints)
    assert real[0, col] == pytest.approx(eps, rel=1e-8)
    assert real[1, col] == pytest.approx(nx / xc, rel=1e-8)
    assert real[2, col] == pytest.approx(nx, rel=1e-8)
    assert abs(np.dot(real[6:, col], mode)) == pytest.approx(1.0, abs=1e-8)


SIZE = (12.0, 8.0, 20.0)


def test_stack_without_delamination_has_one_record():
    (eps, real, integer), *_ = stack([0.2, 0.2, 0.2], [(5e-11, 10, 0), (0, 0, 0)])
    assert eps == 0.0
    np.testing.assert_array_equal(real[:, 0], [0, 1.0, XC] + [0] * 9)
    np.testing.assert_array_equal(integer, [[1, 0], [1, 0], [3, 0], [0, 0]])
    assert not real[:, 1].any() and errstat() == 0


def test_upper_part_governs_then_the_rest_is_recorded():
    (eps, real, integer), props, angles, thick = stack([0.1, 0.3, 0.3, 0.3],
                                                       [SIZE, (0, 0, 0), (0, 0, 0)])
    upper = record(props, angles, thick, 1, 1, SIZE, 1, 0)
    assert_record(real, integer, 0, upper)
    assert_record(real, integer, 1, record(props, angles, thick, 2, 4, SIZE, 1, 0))
    assert eps == real[0, 0] and not real[:, 2].any() and not integer[:, 2].any()
    np.testing.assert_array_equal(real[3:6, 0], SIZE)


def test_lower_part_governs():
    (eps, real, integer), props, angles, thick = stack([0.3, 0.3, 0.3, 0.1],
                                                       [(0, 0, 0), (0, 0, 0), SIZE])
    assert_record(real, integer, 0, record(props, angles, thick, 4, 4, SIZE, 3, 1))
    assert_record(real, integer, 1, record(props, angles, thick, 1, 3, SIZE, 3, 0))
    assert eps == real[0, 0]


def test_passes_record_the_thinnest_parts_and_drop_what_finds_no_column():
    # plies 0.4, 0.1, 0.4: pass 1 ties ply 1 and ply 3 (the upper one is kept), pass 2 takes
    # ply 2 of the rest, whose strain is lower; epsbuck stays with pass 1, and the last ply
    # left finds no third column
    (eps, real, integer), props, angles, thick = stack([0.4, 0.1, 0.4], [SIZE, SIZE])
    first = record(props, angles, thick, 1, 1, SIZE, 1, 0)
    second = record(props, angles, thick, 2, 2, SIZE, 2, 0)
    assert_record(real, integer, 0, first)
    assert_record(real, integer, 1, second)
    assert real[0, 1] < real[0, 0] and eps == real[0, 0]
    assert real.shape == (12, 2)


def test_one_delaminated_interface_of_two_plies_fills_the_only_column():
    (eps, real, integer), props, angles, thick = stack([0.1, 0.3], [SIZE])
    assert_record(real, integer, 0, record(props, angles, thick, 1, 1, SIZE, 1, 0))
    assert real.shape == (12, 1) and eps == real[0, 0]


def test_remaining_stack_takes_the_larger_bounding_delamination():
    big, small = (15.0, 10.0, 0.0), (10.0, 8.0, 0.0)
    # plies 1 and 4 peel off first; plies 2-3 remain between interfaces 1 (big) and 3 (small)
    (eps, real, integer), props, angles, thick = stack([0.1, 0.4, 0.4, 0.12],
                                                       [big, (0, 0, 0), small])
    np.testing.assert_array_equal(integer[:, :2].T, [[1, 1, 1, 0], [3, 4, 4, 1]])
    assert_record(real, integer, 2, record(props, angles, thick, 2, 3, big, 1, 0))


def test_one_ply_stack_has_no_column():
    (eps, real, integer), *_ = stack([0.2], [])
    assert eps == 0.0 and real.shape == (12, 0) and integer.shape == (4, 0)


def test_no_strength_gives_ratio_one_and_code_minus_3():
    (eps, real, integer), *_ = stack([0.1, 0.3], [SIZE], xc=0.0)
    assert real[1, 0] == 1.0 and real[2, 0] > 0 and errstat() == -3
    assert errtext() == "Compressive strength not above 0 in DelaminatedBucklingAnalysis"


def test_outline_codes_outside_1_to_3_are_no_candidates():
    (eps, real, integer), *_ = stack([0.1, 0.3, 0.3], [SIZE, SIZE], shapes=[0, 1])
    assert integer[0, 0] == 2 and errstat() == 0  # interface 1 (code 0) is not delaminated
    (eps, real, integer), *_ = stack([0.1, 0.3, 0.3], [SIZE, SIZE], shapes=[7, 1])
    assert integer[0, 0] == 2 and errstat() == -2


def test_buckling_records_of_sections_and_sets():
    # section 1: three plies; section 2: two plies; section 3: no plies although a later slot
    # holds an id
    nplies, nsec, ndmg = 3, 3, 2
    props = np.asfortranarray(np.repeat(CFRP[:, None, None], nplies, 1).repeat(nsec, 2))
    angles = np.asfortranarray([[0.0, 45.0, 0.0], [90.0, 0.0, 0.0], [0.0, 0.0, 0.0]]).T
    thick = np.asfortranarray([[0.1, 0.3, 0.2], [0.15, 0.25, 0.0], [0.2, 0.2, 0.2]]).T
    ids = np.asfortranarray([[1, 1, 1], [1, 1, DEFINT], [DEFINT, 1, 1]], np.int32).T
    delam = np.zeros((3, nplies - 1, ndmg), order="F")
    delam[:, 0, 0] = SIZE
    delam[:, 1, 1] = (9.0, 9.0, 0.0)
    shapes = np.ones((nplies - 1, ndmg), np.int32, order="F")
    xc = np.array([1000.0, 1100.0, 1200.0])
    real, integer = sub.getbukdatafromdds(delam, shapes, xc, props, angles, thick, ids)
    assert real.shape == (12, 2, 2, 3) and integer.shape == (4, 2, 2, 3)
    for isec, nply in ((0, 3), (1, 2)):
        for idmg in range(ndmg):
            _, r, i = sub.delaminatedbucklinganalysis(
                xc[isec], props[:, :nply, isec], angles[:nply, isec], thick[:nply, isec],
                delam[:, :nply - 1, idmg], shapes[:nply - 1, idmg])
            np.testing.assert_array_equal(real[:, :nply - 1, idmg, isec], r)
            np.testing.assert_array_equal(integer[:, :nply - 1, idmg, isec], i)
            assert not real[:, nply - 1:, idmg, isec].any()
            assert not integer[:, nply - 1:, idmg, isec].any()
    assert (integer[..., 2] == -1).all() and not real[..., 2].any()
    assert integer[:, 0, 0, 0].tolist() == [1, 1, 1, 0]
