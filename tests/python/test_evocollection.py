"""Damage evolution laws: bilinear softening against its stress-strain line and dissipated
energy, time regularisation against a backward-Euler step, the traction magnitude against numpy
and the delamination strain value against the positive root of its quadratic (numpy.roots)."""
import math

import numpy as np
import pytest

import _vorlen
from conftest import errstat, errtext

evo = _vorlen.evocollection


@pytest.fixture(autouse=True)
def register(clean_register):
    yield


@pytest.mark.parametrize("name, form", [
    ("timeregularization", "d_reg = timeregularization(d_old,d_new,dt_inc,reg_factor,[num])"),
    ("equivalentquadstressstrain", "scaleq = equivalentquadstressstrain(tens,nn)"),
    ("bilinearevolution", "d,eps1 = bilinearevolution(eps,eps0,sig_f,gc,lc,eps1)"),
    ("dgstrainrhead", "dgstrainrhead = dgstrainrhead(eps_c,gic,a11,[r_stiff])"),
])
def test_call_form(name, form):
    assert getattr(evo, name).__doc__.splitlines()[0] == form


# ------------------------------------------------------------------------------------------
# Bilinear law

def test_bilinear_onset_and_final_strain():
    assert evo.bilinearevolution(0.01, 0.01, 50.0, 0.1, 0.0, 0.03) == (0.0, 0.03)
    d, eps1 = evo.bilinearevolution(0.03, 0.01, 50.0, 0.1, 0.0, 0.03)
    assert d == pytest.approx(1.0, rel=1e-15) and eps1 == 0.03
    assert errstat() == 0


@pytest.mark.parametrize("lc, eps1_in, eps1", [
    (0.0005, 0.05, 0.05),   # below the crack-band threshold: the given final strain is kept
    (1.0, 0.05, 0.012),     # max(2 0.1/(1 50), 1.2 0.01) = max(0.004, 0.012): the floor
    (-1.0, 0.05, 0.012),    # |lc| counts
    (0.01, 0.05, 0.4),      # 2 0.1/(0.01 50): the crack band
])
def test_bilinear_final_strain(lc, eps1_in, eps1):
    d, e1 = evo.bilinearevolution(0.02, 0.01, 50.0, 0.1, lc, eps1_in)
    assert e1 == pytest.approx(eps1, rel=1e-15)
    assert d == pytest.approx((1 - 0.01 / 0.02) * eps1 / (eps1 - 0.01), rel=1e-14)


def test_bilinear_stress_falls_linearly_and_dissipates_gc_over_lc():
    modulus, eps0, gc, lc = 2000.0, 0.01, 0.6, 0.5
    sig_f = modulus * eps0
    eps1 = 2 * gc / (lc * sig_f)  # 0.12, above the floor 0.012
    strains = np.linspace(eps0, eps1, 41)
    d = np.array([evo.bilinearevolution(e, eps0, sig_f, gc, lc, 0.0)[0] for e in strains])
    stress = modulus * strains * (1 - d)
    np.testing.assert_allclose(stress, sig_f * (eps1 - strains) / (eps1 - eps0), atol=1e-12)
    # Elastic up to the onset, then the softening line: area sig_f eps1 / 2 = gc/lc.
    area = 0.5 * sig_f * eps0 + np.sum((stress[1:] + stress[:-1]) / 2 * np.diff(strains))
    assert area == pytest.approx(gc / lc, rel=1e-12)


@pytest.mark.parametrize("eps", [0.005, 0.2])
def test_bilinear_damage_is_not_clipped(eps):
    d, _ = evo.bilinearevolution(eps, 0.01, 50.0, 0.1, 0.0, 0.05)
    assert d == pytest.approx((1 - 0.01 / eps) * 0.05 / 0.04, rel=1e-14)
    assert d < 0 if eps < 0.01 else d > 1


@pytest.mark.parametrize("eps, sig_f, lc, eps1, code", [
    (0.0, 50.0, 1.0, 0.3, 0),     # no strain: no damage, eps1 untouched
    (-0.02, 50.0, 0.0, 0.3, 0),
    (0.02, 50.0, 0.0, 0.01, -1),  # kept final strain equal to the onset strain
    (0.02, 50.0, 0.0, 0.005, -1), # and below it
    (0.02, 0.0, 1.0, 0.3, -1),    # zero onset stress with a crack band
])
def test_bilinear_without_a_law_gives_zero(eps, sig_f, lc, eps1, code):
    d, e1 = evo.bilinearevolution(eps, 0.01, sig_f, 0.1, lc, eps1)
    assert (d, e1) == (0.0, eps1)
    assert errstat() == code


@pytest.mark.parametrize("eps, eps0, sig_f, lc, eps1", [
    (math.nan, 0.01, 50.0, 0.0, 0.3),    # taken as no strain: no damage
    (0.02, math.nan, 50.0, 0.0, 0.3),
    (0.02, 0.01, 50.0, 0.0, math.nan),   # a kept final strain
    (0.02, 0.01, 50.0, math.nan, 0.3),   # taken as no crack band
    (0.02, 0.01, math.inf, 1.0, 0.3),    # a crack band without length: the floor 1.2 eps0
    (math.inf, 0.01, 50.0, 0.0, 0.3),
])
def test_bilinear_input_that_is_not_finite_is_reported(eps, eps0, sig_f, lc, eps1):
    evo.bilinearevolution(eps, eps0, sig_f, 0.1, lc, eps1)
    assert (errstat(), errtext()) == (-3, "Input not a finite number in BiLinearEvolution")


# ------------------------------------------------------------------------------------------
# Time regularisation

D_OLD = np.array([0.0, 0.2, 0.5, 0.9])
D_NEW = np.array([0.4, 0.2, 1.0, 0.95])


@pytest.mark.parametrize("reg, dt", [(0.0, 0.1), (1.0, 0.1), (3.0, 0.01), (0.5, 2.0),
                                     (2.0, 0.0), (0.0, 0.0)])
def test_time_regularisation_is_a_backward_euler_step(reg, dt):
    d = evo.timeregularization(D_OLD, D_NEW, dt, reg)
    eta = reg * dt
    if dt > 0:  # eta (d - d_old)/dt = d_new - d
        np.testing.assert_allclose(eta * (d - D_OLD) / dt, D_NEW - d, atol=1e-14)
    np.testing.assert_allclose(d, (reg * D_OLD + D_NEW) / (1 + reg), rtol=1e-14)
    assert errstat() == 0


@pytest.mark.parametrize("reg, dt", [(-0.5, 0.1), (1.0, -0.1)])
def test_time_regularisation_rejects_negative_times(reg, dt):
    np.testing.assert_array_equal(evo.timeregularization(D_OLD, D_NEW, dt, reg), D_NEW)
    assert errstat() == -3


# ------------------------------------------------------------------------------------------
# Traction magnitude

TENS = np.array([30.0, -12.0, 5.0, 7.0, -4.0, 9.0])  # Voigt: 11, 22, 33, 23, 13, 12
T = np.array([[30.0, 9.0, -4.0], [9.0, -12.0, 7.0], [-4.0, 7.0, 5.0]])


@pytest.mark.parametrize("nn", [1, 2, 3])
def test_traction_magnitude(nn):
    assert evo.equivalentquadstressstrain(TENS, nn) == pytest.approx(
        np.linalg.norm(T @ np.eye(3)[nn - 1]), rel=1e-15)


@pytest.mark.parametrize("nn", [0, 4, -1])
def test_traction_magnitude_of_an_unknown_plane(nn):
    assert evo.equivalentquadstressstrain(TENS, nn) == 0.0
    assert errstat() == -3


# ------------------------------------------------------------------------------------------
# Delamination growth strain value

@pytest.mark.parametrize("r", [0.0, 0.4, 1.0 - 1e-9, 1.0, -0.5, -1.0, -2.5])
@pytest.mark.parametrize("eps_c, gic, a11", [(0.004, 0.25, 4.0e4), (-0.01, 0.8, 1.5e5)])
def test_dg_strain_is_the_positive_root(eps_c, gic, a11, r):
    b, e = 1 + r, 1 - r
    x = 2 * gic / (eps_c ** 2 * a11) + 3 + r
    roots = np.roots([e, 2 * b, -x])  # leading zero (r = 1) leaves the linear equation
    z = max(roots.real[np.abs(roots.imag) == 0])
    value = evo.dgstrainrhead(eps_c, gic, a11, r_stiff=r)
    assert math.isfinite(value)
    assert value == pytest.approx(eps_c * z, rel=1e-12)


def test_dg_strain_without_stiffness_ratio():
    eps_c, gic, a11 = 0.004, 0.25, 4.0e4
    expected = eps_c * (math.sqrt(2 * gic / (eps_c ** 2 * a11) + 4) - 1)
    assert evo.dgstrainrhead(eps_c, gic, a11) == pytest.approx(expected, rel=1e-14)
    assert evo.dgstrainrhead(0.0, gic, a11, 0.3) == 0.0
