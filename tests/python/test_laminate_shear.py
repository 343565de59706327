"""Transverse shear stiffness of laminate sections, against energy integrals in numpy."""
import numpy as np
import pytest

import _vorlen
from conftest import errstat
from test_laminate import DEFINT, abd_reference, q_offaxis
from test_laminate_shape import (CROSS, UNSYM, UNSYM_CROSS, edges, f_aligned, section_table,
                                 through, turn)

lam = _vorlen.laminate
pytestmark = pytest.mark.usefixtures("clean_register")

CALL_FORMS = [
    ("gethmatriximprovedshear",
     "hext2d = gethmatriximprovedshear(plyelastic,plyorientation,plythickness,[nplies])"),
    ("gethmatrixshearcorrect",
     "hshear = gethmatrixshearcorrect(plyelastic,plyorientation,plythickness,[nplies])"),
    ("getshearcorrectfactors",
     "sk = getshearcorrectfactors(hlam,plyelastic,plyorientation,plythickness,[nplies])"),
    ("gethmatrixquadrature",
     "hquad = gethmatrixquadrature(plyelastic,plyorientation,plythickness,[nplies])"),
    ("getsectionhmatrix",
     "sehmatrix = getsectionhmatrix(sectionlist,plyorientation,plythickness,plyelastic,"
     "[nplies,nsec,method,defint])"),
]
METHODS = ["gethmatriximprovedshear", "gethmatrixshearcorrect", "gethmatrixquadrature"]


@pytest.mark.parametrize("name,form", CALL_FORMS)
def test_call_form(name, form):
    assert getattr(lam, name).__doc__.splitlines()[0] == form


def hoff(props, deg):
    """Ply shear stiffness (23, 13) turned to the ply angle."""
    r = turn(deg)
    return r.T @ np.diag([props[8], props[7]]) @ r


def hlam(lay):
    return sum(hoff(lay[0][:, k], a) * lay[2][k] for k, a in enumerate(lay[1]))


def ply_gauss(lay, npts=5):
    """(ply, z, weight) of Gauss-Legendre points in every ply."""
    x, w = np.polynomial.legendre.leggauss(npts)
    e = edges(lay[2])
    for k in range(len(lay[1])):
        half, mid = (e[k + 1] - e[k]) / 2, (e[k + 1] + e[k]) / 2
        for xi, wi in zip(x, w):
            yield k, mid + half * xi, wi * half


def energy_h(lay, shape):
    """H = (integral of f^t Hoff^-1 f dz)^-1."""
    hinv = sum(wz * shape(z).T @ np.linalg.inv(hoff(lay[0][:, k], lay[1][k])) @ shape(z)
               for k, z, wz in ply_gauss(lay))
    return np.linalg.inv(hinv)


# ---------------------------------------------------------------- homogeneous sections

E, NU = 70000.0, 0.3
G = E / (2 * (1 + NU))
ISO = np.array([E, E, E, NU, NU, NU, G, G, G])


@pytest.mark.parametrize("name", METHODS)
@pytest.mark.parametrize("angles,thick", [([0.0], [2.0]), ([30.0, -45.0, 90.0], [0.5, 1.0, 0.5])])
def test_homogeneous_section_has_five_sixths(name, angles, thick):
    props = np.tile(ISO[:, None], (1, len(angles)))
    h = getattr(lam, name)(props, angles, thick)
    # (the quadrature's ten-digit Gauss constants hold it to about 1e-11)
    np.testing.assert_allclose(h, 5 / 6 * G * 2.0 * np.eye(2), rtol=1e-10, atol=1e-9)
    sk = lam.getshearcorrectfactors(G * 2.0 * np.eye(2), props, angles, thick)
    np.testing.assert_allclose(sk, [5 / 6, 5 / 6], rtol=1e-12)
    assert errstat() == 0


# ---------------------------------------------------------------- improved shear, quadrature

@pytest.mark.parametrize("lay", [CROSS, UNSYM_CROSS], ids=["symmetric", "unsymmetric"])
def test_improved_shear_is_the_energy_of_the_shape(lay):
    np.testing.assert_allclose(lam.gethmatriximprovedshear(*lay),
                               energy_h(lay, lambda z: f_aligned(lay, z)), rtol=1e-10)


def test_improved_shear_turns_with_the_stack():
    h0 = lam.gethmatriximprovedshear(*UNSYM_CROSS)
    turned = (UNSYM_CROSS[0], UNSYM_CROSS[1] + 30.0, UNSYM_CROSS[2])
    r = turn(30.0)
    np.testing.assert_allclose(lam.gethmatriximprovedshear(*turned), r.T @ h0 @ r, rtol=1e-10,
                               atol=1e-10 * np.abs(h0).max())


def test_quadrature_equals_improved_shear_for_a_symmetric_cross_ply():
    h = lam.gethmatriximprovedshear(*CROSS)
    np.testing.assert_allclose(lam.gethmatrixquadrature(*CROSS), h, rtol=1e-9,
                               atol=1e-12 * np.abs(h).max())


def test_quadrature_takes_its_pair_from_the_unturned_combination():
    # fz = [[FG(2,2), FG(3,2)], [FG(3,1), FG(1,1)]] of FG = A(z) btstar - B(z) dtstar, not turned
    # to the decoupling angle.
    a, b, d = abd_reference(*UNSYM)
    inv = np.linalg.inv(np.block([[a, b], [b, d]]))
    bt, dt = -inv[3:, :3], inv[3:, 3:]

    def fz(z):
        fg = through(*UNSYM, z, np.ones_like) @ bt - through(*UNSYM, z, lambda s: s) @ dt
        return np.array([[fg[1, 1], fg[2, 1]], [fg[2, 0], fg[0, 0]]])

    np.testing.assert_allclose(lam.gethmatrixquadrature(*UNSYM), energy_h(UNSYM, fz), rtol=1e-8)


# ---------------------------------------------------------------- correction factors

def correction_reference(lay, skip=()):
    """sk(d) = 1/(hlam(d,d) S_d), S_d the integral of (Hoff^-1)(d,d) g^2 / (4 det^2) with
    g(z) = 2 times the integral of Qbar_ii (B_ii - A_ii zeta) from the bottom (ii = 22 for the
    yz pair, 11 for xz); plies in skip add nothing."""
    a, b, d = abd_reference(*lay)
    hl = hlam(lay)
    sk = []
    for pair, i in enumerate([1, 0]):
        det = a[i, i] * d[i, i] - b[i, i] ** 2
        s = 0.0
        for k, z, wz in ply_gauss(lay, 8):
            if k in skip:
                continue
            g = 2 * (b[i, i] * through(*lay, z, np.ones_like)[i, i]
                     - a[i, i] * through(*lay, z, lambda x: x)[i, i])
            c = np.linalg.inv(hoff(lay[0][:, k], lay[1][k]))[pair, pair]
            s += wz * c * g * g / (4 * det * det)
        sk.append(1 / (hl[pair, pair] * s))
    return np.array(sk), hl


def test_shear_correction_factors():
    sk_ref, hl = correction_reference(UNSYM)
    np.testing.assert_allclose(lam.getshearcorrectfactors(hl, *UNSYM), sk_ref, rtol=1e-9)
    h = lam.gethmatrixshearcorrect(*UNSYM)
    np.testing.assert_allclose(h, np.sqrt(np.outer(sk_ref, sk_ref)) * hl, rtol=1e-9)


def test_ply_without_shear_stiffness_adds_nothing():
    p = UNSYM[0].copy()
    p[7:, 2] = 0.0
    lay = (p, UNSYM[1], UNSYM[2])
    sk_ref, hl = correction_reference(lay, skip=(2,))
    np.testing.assert_allclose(lam.getshearcorrectfactors(hl, *lay), sk_ref, rtol=1e-9)
    assert np.all(np.isfinite(sk_ref))


def test_near_singular_bending_gives_unit_factors():
    # A11 D11 - B11^2 of 1e-5 MPa plies of unit thickness is about 1e-11.
    soft = np.array([1e-5, 1e-5, 1e-5, 0.3, 0.3, 0.3, 4e-6, 7.0, 3.0])
    lay = (soft[:, None], np.array([20.0]), np.array([1.0]))
    hl = hlam(lay)
    np.testing.assert_array_equal(lam.getshearcorrectfactors(hl, *lay), [1.0, 1.0])
    np.testing.assert_allclose(lam.gethmatrixshearcorrect(*lay), hl, rtol=1e-14)


# ---------------------------------------------------------------- sections

@pytest.mark.parametrize("method,name", [(0, "gethmatrixshearcorrect"),
                                         (1, "gethmatriximprovedshear"),
                                         (2, "gethmatrixquadrature"),
                                         (3, "gethmatriximprovedshear"),
                                         (-5, "gethmatriximprovedshear")])
def test_section_h_matrix(method, name):
    sl, po, pt, _, pe = section_table([UNSYM, CROSS, CROSS])
    pe[:, 4, 1] = 9.0        # behind the marker of section 2: not read
    pe[:, :, 2] = 0.0        # section 3 without properties: zero
    h = lam.getsectionhmatrix(sl, po, pt, pe, method=method)
    assert h.shape == (2, 2, 3)
    np.testing.assert_array_equal(h[:, :, 0], getattr(lam, name)(*UNSYM))
    np.testing.assert_array_equal(h[:, :, 1], getattr(lam, name)(*CROSS))
    np.testing.assert_array_equal(h[:, :, 2], 0.0)


def test_section_h_matrix_default_method_is_improved_shear():
    sl, po, pt, _, pe = section_table([UNSYM])
    np.testing.assert_array_equal(lam.getsectionhmatrix(sl, po, pt, pe)[:, :, 0],
                                  lam.gethmatriximprovedshear(*UNSYM))


def test_section_h_matrix_empty_table():
    sl = np.full((2, 3), DEFINT, dtype=np.int32)
    np.testing.assert_array_equal(
        lam.getsectionhmatrix(sl, np.zeros((2, 3)), np.ones((2, 3)), np.ones((9, 2, 3))), 0.0)
    assert errstat() == 0
