"""Pressure-dependent plasticity and its gradients against numerical derivatives of the yield
function and the potential, Hooke's law below yield and the yield condition on return."""
import math

import numpy as np
import pytest

import _vorlen
from conftest import errstat

el = _vorlen.elasticity

pytestmark = pytest.mark.usefixtures("clean_register")

CALL_FORMS = [
    ("getstressfromplastitcity", "stress,ddsdde = getstressfromplastitcity(neweqplasticstrain,"
     "stran,dstran,props,ndi,nprops,temp,[ntens])"),
    ("getderivatef", "getderivatef = getderivatef(stressvector,a0,a1,[nstress])"),
    ("getderivateg", "getderivateg = getderivateg(stressvector,alpha,[nstress])"),
]


@pytest.mark.parametrize("name,form", CALL_FORMS)
def test_call_form(name, form):
    assert getattr(el, name).__doc__.splitlines()[0] == form


# Et, Ec, G, nut, nuc, a0, a1, alpha
PROPS = [3000.0, 3200.0, 1100.0, 0.35, 0.38, 400.0, 20.0, 0.3]
LAYOUTS = {6: [0, 1, 2, 3, 4, 5], 4: [0, 1, 2, 3], 3: [0, 1, 3]}  # in (11, 22, 33, 12, 13, 23)
TOL = 0.00009999999747378752


def full(s):
    """(s11, s22, s33, s12, s13, s23) of a 3-, 4- or 6-vector."""
    out = np.zeros(6)
    out[LAYOUTS[len(s)]] = s
    return out


def mises2(s):
    s11, s22, s33, s12, s13, s23 = full(s)
    return ((s11 - s22) ** 2 + (s22 - s33) ** 2 + (s33 - s11) ** 2) / 2 + 3 * (
        s12 ** 2 + s13 ** 2 + s23 ** 2)


def yield_function(s, a0, a1):
    return mises2(s) - a0 - a1 * full(s)[:3].sum() / 3


def potential(s, alpha):
    return mises2(s) + alpha * full(s)[:3].sum() ** 2 / 9


def numerical_gradient(fun, s, h=1e-4):
    s = np.asarray(s, dtype=float)
    return np.array([(fun(s + h * e) - fun(s - h * e)) / (2 * h) for e in np.eye(len(s))])


STRESS = np.array([120.0, -40.0, 30.0, 25.0, -10.0, 15.0])


@pytest.mark.parametrize("n", [6, 4, 3])
def test_gradients_are_the_derivatives_of_yield_function_and_potential(n):
    s = STRESS[:n]
    np.testing.assert_allclose(el.getderivatef(s, 400.0, 20.0),
                               numerical_gradient(lambda x: yield_function(x, 400.0, 20.0), s),
                               rtol=1e-9, atol=1e-6)
    np.testing.assert_allclose(el.getderivateg(s, 0.7),
                               numerical_gradient(lambda x: potential(x, 0.7), s), rtol=1e-9,
                               atol=1e-6)


@pytest.mark.parametrize("n", [1, 2, 5, 7])
def test_gradients_of_vectors_without_a_layout_are_zero_with_code_3(n):
    assert not el.getderivatef(np.ones(n), 1.0, 2.0).any() and errstat() == -3
    assert not el.getderivateg(np.ones(n), 1.0).any()


def stiffness(e, nu, g, n=6):
    """The law's elastic stiffness: isotropic, 2 G on the shear diagonal."""
    k = np.zeros((n, n))
    k[:3, :3] = e * nu / ((1 - 2 * nu) * (1 + nu))
    k[range(3), range(3)] = e * (1 - nu) / ((1 - 2 * nu) * (1 + nu))
    k[range(3, n), range(3, n)] = 2 * g
    return k


def hooke(e, nu, g, strain):
    """Isotropic stress of engineering strains (shear stress G times the shear strain)."""
    n = len(strain)
    k = stiffness(e, nu, g, n)
    k[range(3, n), range(3, n)] = g
    return k @ strain


def test_below_yield_the_stress_is_hookes_law_and_nothing_flows(capfd):
    dstran = np.array([1e-3, -2e-4, 3e-4, 5e-4, -1e-4, 2e-4])
    eq = np.array(0.125)
    s, k = el.getstressfromplastitcity(eq, np.zeros(6), dstran, PROPS, 3, 8, 293.0)
    np.testing.assert_allclose(s, hooke(3000.0, 0.35, 1100.0, dstran), rtol=1e-13, atol=1e-13)
    np.testing.assert_allclose(k, stiffness(3000.0, 0.35, 1100.0), rtol=1e-15)
    assert float(eq) == 0.125 and errstat() == 0
    out = capfd.readouterr().out
    assert "Plastic Corrector" not in out and "plastic strain update" not in out


def test_constants_follow_the_sign_of_the_total_strain_trace():
    # compressive total strain, tensile increment: the compression constants
    stran = np.array([-2e-3, -1e-3, -1e-3, 0, 0, 0])
    dstran = np.array([5e-4, 0, 0, 0, 0, 0])
    s, k = el.getstressfromplastitcity(np.array(0.0), stran, dstran, PROPS, 3, 8, 293.0)
    np.testing.assert_allclose(k, stiffness(3200.0, 0.38, 1100.0), rtol=1e-15)
    np.testing.assert_allclose(s, hooke(3200.0, 0.38, 1100.0, dstran), rtol=1e-13, atol=1e-13)


def flow_state(props, stress):
    """Yield and potential gradients at a stress, from numerical derivatives."""
    a0, a1, alpha = props[5:]
    nf = numerical_gradient(lambda x: yield_function(x, a0, a1), stress)
    ng = numerical_gradient(lambda x: potential(x, alpha), stress)
    return nf, ng


@pytest.mark.parametrize("props", [PROPS, PROPS[:6] + [200.0, 3.0], PROPS[:6] + [0.0, 0.0]])
@pytest.mark.parametrize("n", [6, 4])
def test_a_plastic_return_lands_on_the_yield_surface(props, n):
    dstran = np.array([0.05, 0.01, -0.02, 0.01, 0.03, 0.0])[:n] * 4
    eq0 = 0.02
    eq = np.array(eq0)
    s, k = el.getstressfromplastitcity(eq, np.zeros(n), dstran, props, 3, 8, 293.0)
    assert errstat() == 0
    assert abs(yield_function(s, props[5], props[6])) <= TOL
    kel = stiffness(props[0], props[3], props[2], n)
    trial = kel @ (dstran * [1, 1, 1, 0.5, 0.5, 0.5][:n])
    # the equivalent plastic strain grows by the plastic strain that relaxes the trial stress
    assert float(eq) == pytest.approx(eq0 + np.linalg.norm(np.linalg.solve(kel, trial - s)),
                                      rel=1e-12)
    nf, ng = flow_state(props, s)
    np.testing.assert_allclose(k, kel * (1 - ng @ kel @ ng / (nf @ kel @ ng)), rtol=1e-6,
                               atol=1e-9 * np.abs(kel).max())


def return_mapping(props, stran, dstran):
    """The law in numpy with vm^2 = s.M.s: elastic predictor, then corrections along K ng(s) until
    |f| <= TOL, at most ten; the elastic stiffness scaled by 1 - ng.K ng/nf.K ng after flow."""
    et, ec, g, nut, nuc, a0, a1, alpha = props
    n = len(dstran)
    m = np.diag([1.5, 1.5, 1.5, 3.0, 3.0, 3.0])[:n, :n]
    m[:3, :3] -= 0.5
    unit = np.array([1.0, 1.0, 1.0, 0.0, 0.0, 0.0])[:n]
    e, nu = (et, nut) if (stran + dstran)[:3].sum() >= 0 else (ec, nuc)
    k = stiffness(e, nu, g, n)
    f = lambda s: s @ m @ s - a0 - a1 * s[:3].sum() / 3
    nf = lambda s: 2 * m @ s - a1 / 3 * unit
    ng = lambda s: 2 * m @ s + 2 * alpha / 9 * s[:3].sum() * unit
    s = k @ (dstran * [1, 1, 1, 0.5, 0.5, 0.5][:n])
    if f(s) <= 0:
        return s, k
    for _ in range(10):
        kng = k @ ng(s)
        s = s - f(s) / (nf(s) @ kng) * kng
        if abs(f(s)) <= TOL:
            break
    return s, k * (1 - ng(s) @ k @ ng(s) / (nf(s) @ k @ ng(s)))


@pytest.mark.parametrize("props", [PROPS, PROPS[:6] + [200.0, 3.0]])
@pytest.mark.parametrize("n", [6, 4])
@pytest.mark.parametrize("sign", [1.0, -1.0])  # tension and compression constants
def test_the_return_follows_the_potential_gradient(props, n, sign):
    stran = sign * np.array([0.01, 0.004, -0.002, 0.003, 0.0, -0.001])[:n]
    dstran = sign * np.array([0.05, -0.01, 0.02, 0.04, 0.03, 0.01])[:n]
    s, k = el.getstressfromplastitcity(np.array(0.0), stran, dstran, props, 3, 8, 293.0)
    expected_s, expected_k = return_mapping(props, stran, dstran)
    np.testing.assert_allclose(s, expected_s, rtol=1e-10, atol=1e-10 * np.abs(expected_s).max())
    np.testing.assert_allclose(k, expected_k, rtol=1e-8, atol=1e-8 * np.abs(expected_k).max())


def test_associated_flow_returns_to_the_von_mises_surface_with_a_zero_tangent():
    props = PROPS[:6] + [0.0, 0.0]
    s, k = el.getstressfromplastitcity(np.array(0.0), np.zeros(6), [0.03, 0, 0, 0.02, 0, 0],
                                       props, 3, 8, 293.0)
    assert math.sqrt(mises2(s)) == pytest.approx(20.0, abs=TOL / 40)
    assert np.abs(k).max() <= 1e-9 * 4000


def test_a_return_not_converged_in_ten_passes_is_reported_with_its_last_iterate(capfd):
    # A hydrostatic trial pressure below the apex -a0/a1 = -20 of the yield surface, and a
    # potential without pressure term (alpha 0): no deviatoric return can meet f = 0.
    props = PROPS[:7] + [0.0]
    dstran = np.array([-0.02, -0.02, -0.02, 0.01, 0.0, 0.0])
    s, k = el.getstressfromplastitcity(np.array(0.0), np.zeros(6), dstran, props, 3, 8, 293.0)
    assert errstat() == -1
    assert np.isfinite(s).all() and yield_function(s, 400.0, 20.0) > 400.0
    np.testing.assert_allclose(s[:3], -800.0 / 3, rtol=1e-14)  # the pressure never changes
    lines = capfd.readouterr().out.splitlines()
    assert lines.count(" Plastic Corrector") == 1
    assert sum(ln.startswith(" dlambda_np1 ") for ln in lines) == 10
    assert " plastische Iterationen  10" in lines
    stresses = [ln for ln in lines if ln.startswith(" Stresses ")]
    np.testing.assert_array_equal([float(v) for v in stresses[0].split()[1:]], s)


def test_trace_lines_of_a_plastic_increment(capfd):
    a1 = PROPS[6]
    el.getstressfromplastitcity(np.array(0.0), np.zeros(6), [0.03, 0, 0, 0, 0, 0], PROPS, 3, 8,
                                293.0)
    lines = capfd.readouterr().out.splitlines()
    labels = [ln.split()[0] for ln in lines]
    corrector = labels.index("Plastic") + 1
    passes = (labels.index("Plastic", corrector) - corrector) // 2
    assert labels == (
        ["START", "E", "G", "nu", "a0", "a1", "alpha", "S11", "Elastic", "Stiffness", "Elastic",
         "Fliessen?", "Plastic"] + ["dlambda_np1", "flow"] * passes
        + ["Plastic", "plastische", "plastic", "plastic", "plastic", "Stresses",
           "newEqPlasticStrain", "Tangente"])
    assert lines[0] == " START PLASTICITY CALCULATION"
    # the uniaxial yield stress solves s^2 - a0 - a1 s/3 = 0
    uniaxial = float(lines[7].split()[-1])
    assert uniaxial ** 2 - 400.0 - a1 * uniaxial / 3 == pytest.approx(0.0, abs=1e-9)
    assert len(lines[9].split()) == 2 + 36  # "Stiffness Matrix" and the 6 by 6 values


@pytest.mark.parametrize("n,ndi,nprops", [(3, 3, 8), (5, 3, 8), (6, 2, 8), (6, 3, 7)])
def test_counts_that_do_not_fit_give_zeros_and_code_3(n, ndi, nprops, capfd):
    eq = np.array(0.5)
    s, k = el.getstressfromplastitcity(eq, np.ones(n), np.ones(n), PROPS, ndi, nprops, 293.0)
    assert not s.any() and not k.any() and float(eq) == 0.5 and errstat() == -3
    assert capfd.readouterr().out == ""
