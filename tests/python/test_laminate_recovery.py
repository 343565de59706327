"""Through-thickness stress recovery, against closed forms and numpy integration."""
import numpy as np
import pytest
from scipy.integrate import quad

import _vorlen
from conftest import errstat, errtext
from test_laminate import stack
from test_laminate_shape import UNSYM, section_table, turn

lam = _vorlen.laminate
pytestmark = pytest.mark.usefixtures("clean_register")

CALL_FORMS = [
    ("getext2dshearstress",
     "xytss = getext2dshearstress(r,plyorientation,smallfmatrix,nspt,[nplies])"),
    ("getnormalstressfrombottom",
     "s33 = getnormalstressfrombottom(rdx,rdy,zcoord,smallfmatrix,[nplies])"),
    ("getnormalstressfromtop",
     "s33 = getnormalstressfromtop(rdx,rdy,s33bc,zcoord,smallfmatrix,[nplies])"),
    ("getintegralofmembranenormalstress",
     "sint = getintegralofmembranenormalstress(sbt,plyzcoord,plysectionpoint,ki,kj,[nzcrd,nplies])"),
    ("getplybottomtopstress",
     "sbt = getplybottomtopstress(sestress,plysectionpoint,[nzcrd,nplies])"),
]


@pytest.mark.parametrize("name,form", CALL_FORMS)
def test_call_form(name, form):
    assert getattr(lam, name).__doc__.splitlines()[0] == form


def section_shape(lay):
    """Section-point coordinates and shape matrix records of one stack."""
    sl, po, pt, pz, pe = section_table([lay])
    return pz[:, 0], lam.getsectionfmatrix(sl, po, pt, pz, pe)[:, :, 0]


# A homogeneous isotropic section of thickness 2 in four plies.
E, NU, T = 70000.0, 0.3, 2.0
ISO = np.array([E, E, E, NU, NU, NU, E / 2.6, E / 2.6, E / 2.6])
HOMOGENEOUS = stack([0.0, 0.0, 0.0, 0.0], t=T / 4, props=ISO)


# ---------------------------------------------------------------- transverse shear stresses

def test_homogeneous_shear_stress_is_parabolic():
    z, rec = section_shape(HOMOGENEOUS)
    r = np.array([2.0, -3.0])   # (Qy, Qx)
    tau = lam.getext2dshearstress(r, np.zeros(4), rec, 3)
    assert tau.shape == (12, 2)
    zpts = np.array([[z[2 * k], z[2 * k + 1], z[2 * k + 2]] for k in range(4)]).ravel()
    parabola = 1.5 / T * (1 - 4 * zpts**2 / T**2)
    np.testing.assert_allclose(tau, np.outer(parabola, r), rtol=1e-12, atol=1e-12)
    assert tau[np.argmin(np.abs(zpts)), 1] == pytest.approx(1.5 * r[1] / T, rel=1e-13)


def test_recovered_shear_integrates_to_the_forces():
    z, rec = section_shape(UNSYM)
    r = np.array([120.0, -75.0])
    tau = lam.getext2dshearstress(r, np.zeros(5), rec, 3).reshape(5, 3, 2)
    t = np.diff(z[::2])
    total = sum(t[k] / 6 * (tau[k, 0] + 4 * tau[k, 1] + tau[k, 2]) for k in range(5))
    np.testing.assert_allclose(total, r, rtol=1e-11)


def test_shear_stress_in_ply_axes():
    z, rec = section_shape(UNSYM)
    r = np.array([1.0, 2.0])
    tau = lam.getext2dshearstress(r, UNSYM[1], rec, 3)
    for k, ang in enumerate(UNSYM[1]):
        for j in range(3):
            f = rec[2 * k + j].reshape(2, 2)
            np.testing.assert_allclose(tau[3 * k + j], turn(ang) @ f @ r, rtol=1e-12,
                                       atol=1e-12 * np.abs(rec).max())


@pytest.mark.parametrize("nspt,points", [
    (1, [3, 5]),                 # the top of every ply
    (2, [1, 3, 3, 5]),           # bottom, top
    (3, [1, 2, 3, 3, 4, 5]),
    (5, [1, 2, 2, 2, 3, 3, 4, 4, 4, 5]),
])
def test_shear_stress_output_points(nspt, points):
    rec = np.zeros((5, 4))
    rec[:, 0] = np.arange(1.0, 6.0)   # e1 = point number, r = (1, 0): tau = (point, 0)
    tau = lam.getext2dshearstress([1.0, 0.0], [0.0, 0.0], rec, nspt)
    np.testing.assert_array_equal(tau[:, 0], points)


# ---------------------------------------------------------------- transverse normal stress

def test_homogeneous_normal_stress_from_the_bottom():
    z, rec = section_shape(HOMOGENEOUS)
    rdx, rdy = np.array([0.7, -4.0]), np.array([1.5, 0.2])
    s33 = lam.getnormalstressfrombottom(rdx, rdy, z, rec)
    # d s33/dz = -(d tau_yz/dy + d tau_xz/dx) = -f(z)(rdy(1) + rdx(2)), f the parabola.
    cum = 1.5 / T * ((z + T / 2) - 4 / (3 * T**2) * (z**3 + T**3 / 8))
    np.testing.assert_allclose(s33, -(rdy[0] + rdx[1]) * cum, rtol=1e-12, atol=1e-12)
    assert s33[-1] == pytest.approx(-(rdy[0] + rdx[1]), rel=1e-12)


def test_normal_stress_of_a_general_stack():
    z, rec = section_shape(UNSYM)
    rdx, rdy = np.array([0.7, -4.0]), np.array([1.5, 0.2])
    s33 = lam.getnormalstressfrombottom(rdx, rdy, z, rec)
    slope = -(rec[:, 0] * rdy[0] + rec[:, 1] * rdy[1] + rec[:, 2] * rdx[0] + rec[:, 3] * rdx[1])
    ref = [0.0]
    for k in range(5):
        zz, yy = z[2 * k:2 * k + 3], slope[2 * k:2 * k + 3]
        prim = np.polyint(np.polyfit(zz, yy, 2))
        ref += [ref[-1] + np.polyval(prim, zz[1]) - np.polyval(prim, zz[0]),
                ref[-1] + np.polyval(prim, zz[2]) - np.polyval(prim, zz[0])]
    np.testing.assert_allclose(s33, ref, rtol=1e-9, atol=1e-12 * np.abs(ref).max())
    # From the top with the value the bottom integration reaches there: the same stresses.
    np.testing.assert_allclose(lam.getnormalstressfromtop(rdx, rdy, s33[-1], z, rec), s33,
                               rtol=1e-9, atol=1e-11 * np.abs(s33).max())


def test_normal_stress_without_force_derivatives():
    z, rec = section_shape(UNSYM)
    np.testing.assert_array_equal(lam.getnormalstressfrombottom([0, 0], [0, 0], z, rec), 0.0)
    np.testing.assert_array_equal(lam.getnormalstressfromtop([0, 0], [0, 0], -3.5, z, rec), -3.5)


def test_normal_stress_without_plies():
    assert lam.getnormalstressfromtop([1, 1], [1, 1], 2.5, [0.0], np.ones((1, 4))).tolist() == [2.5]
    assert lam.getnormalstressfrombottom([1, 1], [1, 1], [0.0], np.ones((1, 4))).tolist() == [0.0]


def membrane_reference(sbt, z, ki, kj):
    """-ki times the integral from the bottom of sigma (1 - kj zeta), divided by the curvature
    factors; sigma linear in every ply between its bottom and top values."""
    n = len(sbt) // 2
    out, acc = [0.0], 0.0
    for k in range(n):
        zb, zt = z[2 * k], z[2 * k + 2]
        sig = lambda s: sbt[2 * k] + (sbt[2 * k + 1] - sbt[2 * k]) * (s - zb) / (zt - zb)
        for zp in (z[2 * k + 1], zt):
            out.append(acc - ki * quad(lambda s: sig(s) * (1 - kj * s), zb, zp)[0])
        acc = out[-1]
    z = np.asarray(z)
    return np.array(out) / ((1 - ki * z) * (1 - kj * z))


def test_membrane_normal_stress_from_curvature():
    z = np.array([-0.5, -0.4, -0.3, 0.0, 0.3, 0.4, 0.5])
    sbt = np.array([100.0, -20.0, 35.0, 60.0, -80.0, 10.0])
    sint = lam.getintegralofmembranenormalstress(sbt, z, [3, 3, 3], 0.4, -0.25)
    np.testing.assert_allclose(sint, membrane_reference(sbt, z, 0.4, -0.25), rtol=1e-12)
    np.testing.assert_array_equal(lam.getintegralofmembranenormalstress(sbt, z, [3, 3, 3], 0.0, 0.9),
                                  0.0)


def test_membrane_normal_stress_needs_the_section_points():
    sint = lam.getintegralofmembranenormalstress(np.ones(6), np.linspace(0, 1, 5), [3, 3, 3], 1, 1)
    np.testing.assert_array_equal(sint, 0.0)
    assert errstat() == -3


# ---------------------------------------------------------------- ply bottom and top

def point_stresses(n):
    """Stress vectors whose entries name their point: column p holds p + 0.1 r, r = 1..6."""
    return np.add.outer(np.arange(1, 7) * 0.1, np.arange(1.0, n + 1))


@pytest.mark.parametrize("counts,points", [
    ([3, 3, 3], [1, 3, 4, 6, 7, 9]),            # three points per ply: 3k-2 and 3k
    ([3, 5, 4], [1, 3, 4, 8, 9, 12]),
    ([4], [1, 4]),
])
def test_ply_bottom_top_stress(counts, points):
    s = point_stresses(sum(counts))
    np.testing.assert_array_equal(lam.getplybottomtopstress(s, counts), s[:, np.array(points) - 1])
    assert errstat() == 0


def test_ply_bottom_top_stress_counts_short_of_the_points():
    # Counts for 6 points against 12: nothing is written beyond the plies' columns.
    s = point_stresses(12)
    np.testing.assert_array_equal(lam.getplybottomtopstress(s, [3, 3]), s[:, [0, 2, 3, 11]])


@pytest.mark.parametrize("counts", [[3, 0, 3], [0, 3], [3, -2, 4]])
def test_ply_bottom_top_stress_ply_without_points(counts):
    sbt = lam.getplybottomtopstress(point_stresses(6), counts, nzcrd=6)
    np.testing.assert_array_equal(sbt, 0.0)
    assert errstat() == -3
    assert errtext() == "Error: Degenerate ply stack in GetPlyBottomTopStress."


def test_ply_bottom_top_stress_without_plies():
    assert lam.getplybottomtopstress(point_stresses(3), np.zeros(0, dtype=np.int32)).shape == (6, 0)
    assert errstat() == -3
