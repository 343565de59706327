"""Effective three-dimensional stiffness of ply stacks, against numpy averages and the layered
medium's own conditions (uniform in-plane strains, uniform out-of-plane stresses)."""
import numpy as np
import pytest

import _vorlen
from conftest import errstat

lam = _vorlen.laminate
pytestmark = pytest.mark.usefixtures("clean_register")

NAMES = ["getvoigteffectivestiffness", "getreusseffectivestiffness", "getchoueffectivestiffness",
         "getsuneffectivestiffness", "gethenryeffectivestiffness"]
RESULTS = ["cvoigt", "creuss", "chou", "csun", "chenry"]


@pytest.mark.parametrize("name,result", zip(NAMES, RESULTS))
def test_call_form(name, result):
    assert getattr(lam, name).__doc__.splitlines()[0] == (
        f"{result} = {name}(volratios,rotatedstiffnessmatrices,[nvols])")


def voigt_stiffness(e1, e2, e3, nu12, nu13, nu23, g12, g13, g23):
    """Orthotropic stiffness in Voigt order (11, 22, 33, 23, 13, 12)."""
    s = np.zeros((6, 6))
    s[:3, :3] = [[1 / e1, -nu12 / e1, -nu13 / e1], [-nu12 / e1, 1 / e2, -nu23 / e2],
                 [-nu13 / e1, -nu23 / e2, 1 / e3]]
    s[3, 3], s[4, 4], s[5, 5] = 1 / g23, 1 / g13, 1 / g12
    return np.linalg.inv(s)


PAIRS = [(0, 0), (1, 1), (2, 2), (1, 2), (0, 2), (0, 1)]


def rotate(c, axis, deg):
    """Stiffness turned by deg about a coordinate axis, through the fourth-order tensor."""
    t = np.zeros((3, 3, 3, 3))
    for a, (i, j) in enumerate(PAIRS):
        for b, (k, l) in enumerate(PAIRS):
            for p, q in {(i, j), (j, i)}:
                for r, s in {(k, l), (l, k)}:
                    t[p, q, r, s] = c[a, b]
    th = np.radians(deg)
    cc, ss = np.cos(th), np.sin(th)
    u, v = [(1, 2), (2, 0), (0, 1)][axis]
    rot = np.eye(3)
    rot[u, u], rot[u, v], rot[v, u], rot[v, v] = cc, -ss, ss, cc
    t = np.einsum("ia,jb,kc,ld,abcd->ijkl", rot, rot, rot, rot, t)
    return np.array([[t[i, j, k, l] for k, l in PAIRS] for i, j in PAIRS])


PLY = voigt_stiffness(140000., 10000., 9000., .3, .28, .45, 5000., 4800., 3400.)
RESIN = voigt_stiffness(3500., 3500., 3500., .35, .35, .35, 1300., 1300., 1300.)
# Monoclinic about the stacking direction: plies turned about axis 3.
MONO = np.stack([rotate(PLY, 2, a) for a in (0.0, 90.0, 45.0)], axis=2)
# General anisotropy: a ply also turned about axis 1.
GENERAL = np.stack([rotate(rotate(PLY, 2, 30.0), 0, 25.0), rotate(RESIN, 2, 10.0),
                    rotate(rotate(PLY, 2, -60.0), 1, 15.0)], axis=2)
RATIOS = np.array([0.5, 0.2, 0.3])
COUPLING = [(0, 3), (0, 4), (1, 3), (1, 4), (2, 3), (2, 4), (3, 5), (4, 5)]


def without_coupling(c):
    c = c.copy()
    for i, j in COUPLING:
        c[i, j] = c[j, i] = 0.0
    return c


@pytest.mark.parametrize("ratios,layers", [([1.0], GENERAL[:, :, :1]),
                                           ([0.5, 0.5], GENERAL[:, :, [0, 0]])],
                         ids=["one layer", "two equal layers"])
@pytest.mark.parametrize("name", NAMES)
def test_a_uniform_stack_is_its_layer(name, ratios, layers):
    c = layers[:, :, 0]
    expected = without_coupling(c) if name in NAMES[2:4] else c
    np.testing.assert_allclose(getattr(lam, name)(ratios, layers), expected, rtol=1e-10,
                               atol=1e-10 * np.abs(c).max())
    assert errstat() == 0


def test_voigt_and_reuss_averages():
    ratios = np.array([0.3, 0.45, 0.15])   # used as given, not normalised
    np.testing.assert_allclose(lam.getvoigteffectivestiffness(ratios, GENERAL),
                               np.einsum("k,ijk->ij", ratios, GENERAL), rtol=1e-13)
    compliance = sum(v * np.linalg.inv(GENERAL[:, :, k]) for k, v in enumerate(ratios))
    np.testing.assert_allclose(lam.getreusseffectivestiffness(ratios, GENERAL),
                               np.linalg.inv(compliance), rtol=1e-10,
                               atol=1e-12 * np.abs(GENERAL).max())


def test_layered_medium_forms_agree_for_monoclinic_layers():
    chou = lam.getchoueffectivestiffness(RATIOS, MONO)
    scale = np.abs(chou).max()
    np.testing.assert_allclose(lam.getsuneffectivestiffness(RATIOS, MONO), chou, rtol=1e-10,
                               atol=1e-12 * scale)
    np.testing.assert_allclose(lam.gethenryeffectivestiffness(RATIOS, MONO), chou, rtol=1e-10,
                               atol=1e-12 * scale)


def test_henry_keeps_in_plane_strains_and_out_of_plane_stresses_uniform():
    c = lam.gethenryeffectivestiffness(RATIOS, GENERAL)
    p, o = [0, 1, 5], [2, 3, 4]
    rng = np.random.default_rng(11)
    for strain in rng.normal(size=(3, 6)):
        stress = c @ strain
        # Every layer takes the stack's in-plane strains and out-of-plane stresses; its
        # out-of-plane strains follow, and the averages must give back the stack's strain and
        # in-plane stress.
        e_o, s_p = np.zeros(3), np.zeros(3)
        for k, v in enumerate(RATIOS):
            ck = GENERAL[:, :, k]
            eo_k = np.linalg.solve(ck[np.ix_(o, o)], stress[o] - ck[np.ix_(o, p)] @ strain[p])
            e_o += v * eo_k
            s_p += v * (ck[np.ix_(p, p)] @ strain[p] + ck[np.ix_(p, o)] @ eo_k)
        np.testing.assert_allclose(e_o, strain[o], rtol=1e-10, atol=1e-12)
        np.testing.assert_allclose(s_p, stress[p], rtol=1e-10, atol=1e-9)


@pytest.mark.parametrize("name", NAMES)
def test_no_layers(name):
    np.testing.assert_array_equal(getattr(lam, name)(np.zeros(0), np.zeros((6, 6, 0))), 0.0)
    assert errstat() == -3
