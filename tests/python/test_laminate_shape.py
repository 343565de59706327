"""Shear shape matrices of laminate sections, against integrals of the ply stiffness in numpy."""
import numpy as np
import pytest

import _vorlen
from conftest import errstat, errtext
from test_laminate import CFRP, DEFINT, abd_reference, q_offaxis, stack

lam = _vorlen.laminate
pytestmark = pytest.mark.usefixtures("clean_register")

CALL_FORMS = [
    ("getpartialamatrix",
     "aprt = getpartialamatrix(plyelastic,plyorientation,plythickness,zcrd,iply,[nplies])"),
    ("getpartialbmatrix",
     "bprt = getpartialbmatrix(plyelastic,plyorientation,plythickness,zcrd,iply,[nplies])"),
    ("getsmallfmatrix",
     "smallf = getsmallfmatrix(plyelastic,plyorientation,plythickness,zcrd,fa,fb,iply,[nplies])"),
    ("getsectionfmatrix",
     "plysmallf = getsectionfmatrix(sectionlist,plyorientation,plythickness,plyzcoord,plyelastic,"
     "[nplies,nsec,defint])"),
    ("getarbitrarylaminateintegral",
     "xint = getarbitrarylaminateintegral(expo,plyprops,plyorientation,plyzcoord,plysectionpoint,"
     "[nzcrd,nplies,nprops,thflag])"),
    ("getpartialabwithcurvature", "pij = getpartialabwithcurvature(p0,p1,p2,ki,kj,[pdim,nzcrd])"),
    ("getpartialcdwithcurvature",
     "xij = getpartialcdwithcurvature(pij,plyprops,plyorientation,plyzcoord,plysectionpoint,ki,kj,"
     "cdflag,[ndim,nzcrd,nplies,nprops])"),
    ("getpartialfg", "fg = getpartialfg(p1,p2,tstar1,tstar2,fgflag,[nzcrd])"),
    ("getarbitrarysectionfg",
     "fg = getarbitrarysectionfg(sectionlist,plyorientation,plythickness,plyzcoord,plyelastic,"
     "csflag,fgflag,[nplies,nsec,xycurv,defint])"),
    ("getarbitrarysmallf", "afmat = getarbitrarysmallf(iply,zpos,zcoord,smallfmatrix,[nplies])"),
]


@pytest.mark.parametrize("name,form", CALL_FORMS)
def test_call_form(name, form):
    assert getattr(lam, name).__doc__.splitlines()[0] == form


# Stacks: unsymmetric with unequal plies, and a symmetric cross-ply with distinct shear moduli.
OTHER = np.array([50000.0, 8000.0, 8000.0, 0.3, 0.3, 0.4, 4000.0, 3000.0, 2000.0])
UNSYM = (np.column_stack([CFRP, OTHER, CFRP, CFRP, OTHER]), np.array([0.0, 30.0, 90.0, -60.0, 45.0]),
         np.array([0.2, 0.1, 0.25, 0.15, 0.3]))
CROSS = stack([0, 90, 90, 0], t=0.25)
UNSYM_CROSS = (np.column_stack([CFRP, OTHER, CFRP]), np.array([0.0, 90.0, 0.0]),
               np.array([0.3, 0.2, 0.1]))


def edges(thick):
    return np.concatenate(([0.0], np.cumsum(thick))) - np.sum(thick) / 2


def section_points(thick):
    """The 2n+1 section-point coordinates: bottom and middle of every ply, top of the last."""
    e = edges(thick)
    return np.append(np.column_stack([e[:-1], (e[:-1] + e[1:]) / 2]).ravel(), e[-1])


def through(props, angles, thick, z, weight):
    """Integral of Qbar(zeta) weight(zeta) from the bottom of the stack to z, by Gauss-Legendre
    quadrature (8 points) on every ply piece: exact for the polynomial weights used here."""
    e = edges(thick)
    x, w = np.polynomial.legendre.leggauss(8)
    total = np.zeros((3, 3))
    for k, ang in enumerate(angles):
        lo, hi = e[k], min(e[k + 1], z)
        if hi <= lo:
            break
        zz = (lo + hi) / 2 + (hi - lo) / 2 * x
        total += q_offaxis(props[:, k], ang) * np.sum(w * weight(zz)) * (hi - lo) / 2
    return total


def shape_factors(lay):
    a, b, d = abd_reference(*lay)
    ainv = np.linalg.inv(a)
    fb = np.linalg.inv(d - b @ ainv @ b)
    return ainv @ b @ fb, fb


def f_aligned(lay, z):
    """Shape matrix of a stack whose decoupling angle is 0: diag(F(2,2), F(1,1)) of
    F = A(z) A^-1 B D*^-1 - B(z) D*^-1, A(z) and B(z) the integrals of Qbar and Qbar z."""
    fa, fb = shape_factors(lay)
    f = through(*lay, z, np.ones_like) @ fa - through(*lay, z, lambda s: s) @ fb
    return np.diag([f[1, 1], f[0, 0]])


def turn(deg):
    """Upper-left 2 by 2 block of the right-handed rotation about axis 3."""
    c, s = np.cos(np.radians(deg)), np.sin(np.radians(deg))
    return np.array([[c, -s], [s, c]])


# ---------------------------------------------------------------- partial integrals

@pytest.mark.parametrize("iply,frac", [(1, 0.0), (2, 0.3), (3, 1.0), (5, 0.5)])
def test_partial_a_and_b(iply, frac):
    e = edges(UNSYM[2])
    z = e[iply - 1] + frac * (e[iply] - e[iply - 1])
    a_ref = through(*UNSYM, z, np.ones_like)
    b_ref = through(*UNSYM, z, lambda s: s)
    scale = np.abs(a_ref).max() + 1.0
    np.testing.assert_allclose(lam.getpartialamatrix(*UNSYM, z, iply), a_ref, atol=1e-12 * scale)
    np.testing.assert_allclose(lam.getpartialbmatrix(*UNSYM, z, iply), b_ref, atol=1e-12 * scale)
    assert errstat() == 0


def test_partial_matrices_at_the_top_are_a_and_b():
    a, b, _ = abd_reference(*UNSYM)
    top = edges(UNSYM[2])[-1]
    np.testing.assert_allclose(lam.getpartialamatrix(*UNSYM, top, 5), a, atol=1e-9)
    np.testing.assert_allclose(lam.getpartialbmatrix(*UNSYM, top, 5), b, atol=1e-9)


@pytest.mark.parametrize("name", ["getpartialamatrix", "getpartialbmatrix"])
@pytest.mark.parametrize("iply", [0, 6, -2147483648])
def test_partial_matrices_ply_out_of_range(name, iply):
    np.testing.assert_array_equal(getattr(lam, name)(*UNSYM, 0.0, iply), 0.0)
    assert errstat() == -3
    assert errtext().startswith("Error: Ply index out of range")


# ---------------------------------------------------------------- flat shape matrices

def test_smallf_vanishes_at_bottom_and_top():
    fa, fb = shape_factors(UNSYM)
    e = edges(UNSYM[2])
    np.testing.assert_array_equal(lam.getsmallfmatrix(*UNSYM, e[0], fa, fb, 1), 0.0)
    mid = lam.getsmallfmatrix(*UNSYM, 0.0, fa, fb, 3)
    top = lam.getsmallfmatrix(*UNSYM, e[-1], fa, fb, 5)
    assert np.abs(top).max() < 1e-12 * np.abs(mid).max()


@pytest.mark.parametrize("lay", [CROSS, UNSYM_CROSS], ids=["symmetric", "unsymmetric"])
def test_smallf_of_an_aligned_stack(lay):
    fa, fb = shape_factors(lay)
    e = edges(lay[2])
    for k in range(len(lay[1])):
        for z in np.linspace(e[k], e[k + 1], 4):
            np.testing.assert_allclose(lam.getsmallfmatrix(*lay, z, fa, fb, k + 1),
                                       f_aligned(lay, z), rtol=1e-10, atol=1e-12)


def test_smallf_of_a_stack_at_zero_degrees_without_coupling():
    # B = 0: F = -B(z) D^-1, for a single isotropic ply the parabola 3/2 (1 - 4 z^2/t^2)/t.
    t = 0.8
    p, ang, th = stack([0, 0], t=t / 2)
    fa, fb = shape_factors((p, ang, th))
    np.testing.assert_allclose(fa, 0.0, atol=1e-12 * np.abs(fb).max())
    d = abd_reference(p, ang, th)[2]
    for z, k in [(-0.3, 1), (0.1, 2)]:
        f = -through(p, ang, th, z, lambda s: s) @ np.linalg.inv(d)
        np.testing.assert_allclose(lam.getsmallfmatrix(p, ang, th, z, fa, fb, k),
                                   np.diag([f[1, 1], f[0, 0]]), rtol=1e-12)


def test_smallf_turns_with_the_stack():
    # Turning every ply by 30 degrees turns the decoupling angle with them: f = R2^t f0 R2.
    lay = UNSYM_CROSS
    turned = (lay[0], lay[1] + 30.0, lay[2])
    fa0, fb0 = shape_factors(lay)
    fa, fb = shape_factors(turned)
    r = turn(30.0)
    for z, k in [(-0.2, 1), (0.05, 2), (0.27, 3)]:
        f0 = lam.getsmallfmatrix(*lay, z, fa0, fb0, k)
        np.testing.assert_allclose(lam.getsmallfmatrix(*turned, z, fa, fb, k), r.T @ f0 @ r,
                                   rtol=1e-10, atol=1e-12 * np.abs(f0).max())


def test_smallf_ply_out_of_range():
    fa, fb = shape_factors(UNSYM)
    np.testing.assert_array_equal(lam.getsmallfmatrix(*UNSYM, 0.0, fa, fb, 6), 0.0)
    assert errstat() == -3


def section_table(lays):
    """Section arguments of stacks with up to nmax plies, slots after the plies marked."""
    nmax = max(len(l[1]) for l in lays)
    sl = np.full((nmax, len(lays)), DEFINT, dtype=np.int32)
    po, pt = np.zeros((nmax, len(lays))), np.zeros((nmax, len(lays)))
    pe = np.zeros((9, nmax, len(lays)))
    for s, (p, ang, th) in enumerate(lays):
        n = len(ang)
        sl[:n, s], po[:n, s], pt[:n, s], pe[:, :n, s] = 1, ang, th, p
    return sl, po, pt, lam.getsectionzcoord(sl, pt), pe


def test_section_f_matrix():
    sl, po, pt, pz, pe = section_table([UNSYM, CROSS])
    pe[:, 4, 1], po[4, 1] = 9.0, 9.0  # the slot behind the marker of section 2 is not read
    f = lam.getsectionfmatrix(sl, po, pt, pz, pe)
    assert f.shape == (11, 4, 2)
    for s, lay in enumerate([UNSYM, CROSS]):
        fa, fb = shape_factors(lay)
        z = section_points(lay[2])
        for p, zp in enumerate(z):
            k = min(p // 2, len(lay[1]) - 1) + 1
            ref = lam.getsmallfmatrix(*lay, zp, fa, fb, k)
            np.testing.assert_allclose(f[p, :, s], ref.ravel(order="F"), rtol=1e-12,
                                       atol=1e-12 * np.abs(f[:, :, s]).max())
        np.testing.assert_array_equal(f[len(z):, :, s], 0.0)
    assert errstat() == 0


def test_section_f_matrix_integrates_to_the_identity():
    # Integrated through the thickness the shear stresses carry the shear forces: the shape
    # matrix, quadratic in every ply, integrates to I by Simpson's rule over each ply's points.
    sl, po, pt, pz, pe = section_table([UNSYM, CROSS])
    f = lam.getsectionfmatrix(sl, po, pt, pz, pe)
    for s, lay in enumerate([UNSYM, CROSS]):
        n, th = len(lay[1]), lay[2]
        rec = f[:2 * n + 1, :, s]
        total = sum(th[k] / 6 * (rec[2 * k] + 4 * rec[2 * k + 1] + rec[2 * k + 2])
                    for k in range(n))
        np.testing.assert_allclose(total, [1.0, 0.0, 0.0, 1.0], atol=1e-12)


def test_section_f_matrix_skips_empty_sections():
    sl, po, pt, pz, pe = section_table([CROSS, CROSS, CROSS])
    sl[:, 1] = DEFINT                 # no plies
    sl[0, 2] = DEFINT                 # first slot empty: no plies, whatever follows
    pe[:, :, 0] = 0.0                 # no properties
    np.testing.assert_array_equal(lam.getsectionfmatrix(sl, po, pt, pz, pe), 0.0)
    assert errstat() == 0


def test_section_f_matrix_custom_marker():
    sl, po, pt, pz, pe = section_table([CROSS])
    sl[2:, 0] = -7
    pz = lam.getsectionzcoord(sl, pt, defint=-7)
    f = lam.getsectionfmatrix(sl, po, pt, pz, pe, defint=-7)
    half = (CROSS[0][:, :2], CROSS[1][:2], CROSS[2][:2])
    fa, fb = shape_factors(half)
    np.testing.assert_allclose(f[1, :, 0], lam.getsmallfmatrix(*half, pz[1, 0], fa, fb, 1).ravel(),
                               rtol=1e-12)
    np.testing.assert_array_equal(f[5:, :, 0], 0.0)


# ---------------------------------------------------------------- integrals at section points

@pytest.mark.parametrize("expo", [1.0, 2.0, 3.0, 4.0])
def test_arbitrary_laminate_integral(expo):
    z = section_points(UNSYM[2])
    x = lam.getarbitrarylaminateintegral(expo, UNSYM[0], UNSYM[1], z, [2] * 5)
    assert x.shape == (3, 3, 11)
    for p, zp in enumerate(z):
        ref = through(*UNSYM, zp, lambda s: s ** (expo - 1))
        np.testing.assert_allclose(x[:, :, p], ref, rtol=1e-11, atol=1e-11 * np.abs(ref).max())


def test_arbitrary_laminate_integral_thermal():
    alpha = np.array([-0.5e-6, 30e-6])
    props = np.vstack([UNSYM[0], np.tile(alpha[:, None], (1, 5))])
    z = section_points(UNSYM[2])
    x = lam.getarbitrarylaminateintegral(1.0, props, UNSYM[1], z, [2] * 5, thflag=1)
    np.testing.assert_array_equal(x[:, 1:, :], 0.0)
    # N_T = sum over the plies of Qbar alpha_xy t with the laminate-axes expansion
    # (a1 c^2 + a2 s^2, a1 s^2 + a2 c^2, 2 c s (a1 - a2)).
    c, s = np.cos(np.radians(UNSYM[1])), np.sin(np.radians(UNSYM[1]))
    axy = np.array([alpha[0] * c**2 + alpha[1] * s**2, alpha[0] * s**2 + alpha[1] * c**2,
                    2 * c * s * (alpha[0] - alpha[1])])
    nt = sum(q_offaxis(UNSYM[0][:, k], a) @ axy[:, k] * UNSYM[2][k] for k, a in enumerate(UNSYM[1]))
    np.testing.assert_allclose(x[:, 0, -1], nt, rtol=1e-12)


def test_arbitrary_laminate_integral_counts_past_the_points():
    z = section_points(UNSYM[2])
    x = lam.getarbitrarylaminateintegral(1.0, UNSYM[0], UNSYM[1], z, [2, 2, 2, 2, 3])
    np.testing.assert_array_equal(x, 0.0)
    assert errstat() == -3


def test_arbitrary_laminate_integral_thermal_needs_expansion_rows():
    z = section_points(UNSYM[2])
    x = lam.getarbitrarylaminateintegral(1.0, UNSYM[0], UNSYM[1], z, [2] * 5, thflag=1)
    np.testing.assert_array_equal(x, 0.0)
    assert errstat() == -3


def test_partial_ab_with_curvature_is_the_curved_integral():
    ki, kj = 0.4, -0.7
    z = section_points(UNSYM[2])
    zs = [lam.getarbitrarylaminateintegral(e, UNSYM[0], UNSYM[1], z, [2] * 5) for e in (1., 2., 3.)]
    pij = lam.getpartialabwithcurvature(*zs, ki, kj)
    for p, zp in enumerate(z):
        ref = through(*UNSYM, zp, lambda s: (1 - ki * s) * (1 - kj * s))
        np.testing.assert_allclose(pij[:, :, p], ref, rtol=1e-10, atol=1e-10 * np.abs(ref).max())


@pytest.mark.parametrize("cdflag,weight", [(0, np.ones_like), (1, lambda s: s)])
def test_second_integrals_without_curvature(cdflag, weight):
    # Without curvature the second integrals integrate the first once more: c = int A, d = int B.
    z = section_points(UNSYM[2])
    first = lam.getarbitrarylaminateintegral(float(cdflag + 1), UNSYM[0], UNSYM[1], z, [2] * 5)
    x = lam.getpartialcdwithcurvature(first, UNSYM[0], UNSYM[1], z, [2] * 5, 0.0, 0.0, cdflag)
    e = edges(UNSYM[2])
    xg, wg = np.polynomial.legendre.leggauss(6)
    for p, zp in enumerate(z):
        ref = np.zeros((3, 3))
        for k in range(5):
            lo, hi = e[k], min(e[k + 1], zp)
            if hi <= lo:
                break
            for xi, wi in zip(xg, wg):
                ref += through(*UNSYM, (lo + hi) / 2 + (hi - lo) / 2 * xi, weight) * wi * (hi - lo) / 2
        np.testing.assert_allclose(x[:, :, p], ref, rtol=1e-10, atol=1e-10 * np.abs(ref).max())


def test_second_integral_with_curvature_by_hand():
    # One ply from -0.5 to 0.5, points at 0 and 0.5, X = Qbar; pij(b) given.
    p = CFRP[:, None]
    q = q_offaxis(CFRP, 20.0)
    z = np.array([-0.5, 0.0, 0.5])
    pij = np.zeros((3, 3, 3))
    pij[:, :, 0] = np.arange(9.0).reshape(3, 3)
    ki, kj = 0.3, -0.2
    for cdflag in (0, 1):
        x = lam.getpartialcdwithcurvature(pij, p, [20.0], z, [2], ki, kj, cdflag)
        for i, zp in enumerate(z[1:], start=1):
            t, li, lj, zb = zp + 0.5, 1 - ki * zp, 1 - kj * zp, -0.5
            alpha = (((2 * zb + zp) - kj / 2 * (zp**2 + 2 * zp * zb + 3 * zb**2)) * t**2 / (6 * li)
                     if cdflag else (1 - kj / 3 * (2 * zb + zp)) * t**2 / (2 * li))
            ref = alpha * q + t / (li * lj) * pij[:, :, 0]
            np.testing.assert_allclose(x[:, :, i], ref, rtol=1e-13)
        np.testing.assert_array_equal(x[:, :, 0], 0.0)


@pytest.mark.parametrize("ndim,counts,nprops", [(2, [2], 9), (3, [3], 9), (1, [2], 9), (3, [2], 8)])
def test_second_integrals_refuse_what_does_not_fit(ndim, counts, nprops):
    pij = np.ones((3, ndim, 3))
    x = lam.getpartialcdwithcurvature(pij, np.ones((nprops, 1)), [0.0], [-0.5, 0.0, 0.5], counts,
                                      0.1, 0.1, 1)
    np.testing.assert_array_equal(x, 0.0)
    assert errstat() == -3


def test_partial_fg():
    rng = np.random.default_rng(7)
    p1, p2 = rng.normal(size=(3, 3, 4)), rng.normal(size=(3, 3, 4))
    t1, t2 = rng.normal(size=(3, 3)), rng.normal(size=(3, 3))
    ref = np.einsum("ijp,jk->ikp", p1, t1) - np.einsum("ijp,jk->ikp", p2, t2)
    np.testing.assert_allclose(lam.getpartialfg(p1, p2, t1, t2, 1), ref, rtol=1e-13, atol=1e-14)
    np.testing.assert_allclose(lam.getpartialfg(p1, p2, t1, t2, 0), -ref, rtol=1e-13, atol=1e-14)


# ---------------------------------------------------------------- curved sections

def fg_reference(lay, zp, csflag, fgflag):
    """Entries (2,2), (3,1), (3,2), (1,1) of the flat-section combination at zp: first
    integrals A(z), B(z) (csflag 1) or their integrals (csflag 0) with the ABD^-1 blocks."""
    a, b, d = abd_reference(*lay)
    inv = np.linalg.inv(np.block([[a, b], [b, d]]))
    at, bt, dt = inv[:3, :3], -inv[3:, :3], inv[3:, 3:]
    if csflag:
        p1, p2 = through(*lay, zp, np.ones_like), through(*lay, zp, lambda s: s)
    else:
        xg, wg = np.polynomial.legendre.leggauss(6)
        p1, p2 = np.zeros((3, 3)), np.zeros((3, 3))
        e = edges(lay[2])
        for k in range(len(lay[1])):
            lo, hi = e[k], min(e[k + 1], zp)
            if hi <= lo:
                break
            for xi, wi in zip(xg, wg):
                zz = (lo + hi) / 2 + (hi - lo) / 2 * xi
                p1 += through(*lay, zz, np.ones_like) * wi * (hi - lo) / 2
                p2 += through(*lay, zz, lambda s: s) * wi * (hi - lo) / 2
    t1, t2 = (bt, dt) if fgflag > 0 else (at, bt)
    f = p1 @ t1 - p2 @ t2 if fgflag > 0 else p2 @ t2 - p1 @ t1
    return np.array([f[1, 1], f[2, 0], f[2, 1], f[0, 0]])


@pytest.mark.parametrize("csflag,fgflag", [(1, 1), (0, 1), (1, 0), (0, -1)])
def test_arbitrary_section_fg_without_curvature(csflag, fgflag):
    sl, po, pt, pz, pe = section_table([UNSYM, CROSS])
    fg = lam.getarbitrarysectionfg(sl, po, pt, pz, pe, csflag, fgflag)
    assert fg.shape == (11, 4, 2)
    for s, lay in enumerate([UNSYM, CROSS]):
        z = section_points(lay[2])
        for p, zp in enumerate(z):
            ref = fg_reference(lay, zp, csflag, fgflag)
            np.testing.assert_allclose(fg[p, :, s], ref, rtol=1e-9,
                                       atol=1e-11 * (np.abs(ref).max() + 1))
        np.testing.assert_array_equal(fg[len(z):, :, s], 0.0)


def test_arbitrary_section_fg_curvature_factors():
    # First integrals (csflag 1): each entry is its pair's curved combination divided by
    # l2 l1^2 (e1, e2) or l2^2 l1 (e3, e4); the curved integrals come from the same section
    # with the curvature pair applied to numpy's integrals.
    k1, k2 = 0.3, -0.45
    sl, po, pt, pz, pe = section_table([UNSYM])
    fg = lam.getarbitrarysectionfg(sl, po, pt, pz, pe, 1, 1, xycurv=[k1, k2])
    a, b, d = abd_reference(*UNSYM)
    inv = np.linalg.inv(np.block([[a, b], [b, d]]))
    bt, dt = -inv[3:, :3], inv[3:, 3:]

    def comb(zp, ki, kj):
        p1 = through(*UNSYM, zp, lambda s: (1 - ki * s) * (1 - kj * s))
        p2 = through(*UNSYM, zp, lambda s: s * (1 - ki * s) * (1 - kj * s))
        return p1 @ bt - p2 @ dt

    for p, zp in enumerate(section_points(UNSYM[2])):
        l1, l2 = 1 - k1 * zp, 1 - k2 * zp
        f21, f11, f22 = comb(zp, k2, k1), comb(zp, k1, k1), comb(zp, k2, k2)
        ref = np.array([f21[1, 1] / (l2 * l1**2), f11[2, 0] / (l2 * l1**2),
                        f22[2, 1] / (l2**2 * l1), f21[0, 0] / (l2**2 * l1)])
        np.testing.assert_allclose(fg[p, :, 0], ref, rtol=1e-9, atol=1e-11 * np.abs(ref).max())


def test_arbitrary_section_fg_empty_table():
    sl = np.full((3, 2), DEFINT, dtype=np.int32)
    fg = lam.getarbitrarysectionfg(sl, np.zeros((3, 2)), np.ones((3, 2)), np.zeros((7, 2)),
                                   np.ones((9, 3, 2)), 0, 1)
    np.testing.assert_array_equal(fg, 0.0)


# ---------------------------------------------------------------- interpolation

def test_arbitrary_smallf():
    sl, po, pt, pz, pe = section_table([UNSYM])
    rec = lam.getsectionfmatrix(sl, po, pt, pz, pe)[:, :, 0]
    z = pz[:, 0]
    fa, fb = shape_factors(UNSYM)
    for k in range(1, 6):
        for p in (2 * k - 2, 2 * k - 1, 2 * k):  # the stored matrices, exactly
            np.testing.assert_array_equal(lam.getarbitrarysmallf(k, z[p], z, rec),
                                          rec[p].reshape(2, 2))
        # f is quadratic inside a ply: the interpolation is exact between its points.
        zq = z[2 * k - 2] + 0.3 * (z[2 * k] - z[2 * k - 2])
        np.testing.assert_allclose(lam.getarbitrarysmallf(k, zq, z, rec),
                                   lam.getsmallfmatrix(*UNSYM, zq, fa, fb, k), rtol=1e-9,
                                   atol=1e-12 * np.abs(rec).max())
    assert errstat() == 0


def test_arbitrary_smallf_reads_records_by_rows():
    z = np.array([-1.0, 0.0, 1.0])
    rec = np.array([[1.0, 2.0, 3.0, 4.0]] * 3)
    np.testing.assert_allclose(lam.getarbitrarysmallf(1, 0.25, z, rec), [[1.0, 2.0], [3.0, 4.0]],
                               rtol=1e-15)


def test_arbitrary_smallf_outside_the_ply_extrapolates_with_an_error():
    z = np.array([-1.0, 0.0, 1.0])
    rec = np.column_stack([z**2, z, np.ones(3), 2 * z])
    np.testing.assert_allclose(lam.getarbitrarysmallf(1, 2.0, z, rec), [[4.0, 2.0], [1.0, 4.0]],
                               rtol=1e-14)
    assert errstat() == -2
    assert errtext() == "Error during the calculation of f(z)"


@pytest.mark.parametrize("iply", [0, 2, -1])
def test_arbitrary_smallf_ply_out_of_range(iply):
    z = np.array([-1.0, 0.0, 1.0])
    np.testing.assert_array_equal(lam.getarbitrarysmallf(iply, 0.0, z, np.ones((3, 4))), 0.0)
    assert errstat() == -3
