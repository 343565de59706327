"""Isotropic non-linear elastic stress laws against Hooke's law, the closed forms of their
tensor laws, scipy's fixed point and hand-built stiffnesses."""
import math

import numpy as np
import pytest
from scipy.optimize import brentq

import _vorlen
from conftest import errstat

el = _vorlen.elasticity
store = _vorlen.materialdata

pytestmark = pytest.mark.usefixtures("clean_register")

CALL_FORMS = [
    ("getstressfromnonlinearisotropic",
     "stress = getstressfromnonlinearisotropic(strain,props,ndi,[ntens,nprops])"),
    ("getstressfromisotropicviscoelasticity",
     "stress = getstressfromisotropicviscoelasticity(strain,props,ndi,[ntens,nprops])"),
    ("getlamestress", "stresstens = getlamestress(spureps,endstrandev,g,komp,[ndi])"),
    ("getkaestnerstress", "stresstens = getkaestnerstress(normdev,normvol,spureps,endstrandev,"
     "g,gammag,gammak,komp,[ndi])"),
    ("getkrausestress", "stresstens = getkrausestress(normdev,normvol,spureps,endstrandev,g,"
     "gammag,gammak,komp,[ndi])"),
    ("getstressfromnonconstpoisson", "stresstens = getstressfromnonconstpoisson(normdev,normvol,"
     "spureps,endstrandev,e,g,nu,num,gamma,[ndi])"),
    ("getstressfromdevvoldecomposition",
     "stress,ddsdde = getstressfromdevvoldecomposition(strain,props,ndi,[ntens,nprops])"),
    ("getstressfromcubicelasticity",
     "stress = getstressfromcubicelasticity(endstran,props,ndi,c,noel,[ntens,nprops])"),
]


@pytest.mark.parametrize("name,form", CALL_FORMS)
def test_call_form(name, form):
    assert getattr(el, name).__doc__.splitlines()[0] == form


E, NU = 3000.0, 0.35
G = E / (2 * (1 + NU))
STRAIN = np.array([2e-3, -1e-3, 5e-4, 3e-3, -2e-3, 1e-3])  # Nye order, engineering shears


def hooke(e, nu, strain):
    """Linear isotropic stress of a Nye strain vector with engineering shears."""
    lam, mu = e * nu / ((1 + nu) * (1 - 2 * nu)), e / (2 * (1 + nu))
    c = np.zeros((6, 6))
    c[:3, :3] = lam
    c[range(3), range(3)] += 2 * mu
    c[range(3, 6), range(3, 6)] = mu
    return c @ strain


def tensor(strain):
    """Strain tensor (tensor shears) of a Nye vector."""
    e11, e22, e33, g12, g13, g23 = strain
    return np.array([[e11, g12 / 2, g13 / 2], [g12 / 2, e22, g23 / 2], [g13 / 2, g23 / 2, e33]])


def nye(t):
    return np.array([t[0, 0], t[1, 1], t[2, 2], t[0, 1], t[0, 2], t[1, 2]])


def visco(law, gamma=0.0, num=0.0):
    return [E, gamma, NU, num, law]


# ------------------------------------------------------------------------------------------
# Reductions to linear elasticity

@pytest.mark.parametrize("routine,props", [
    ("getstressfromnonlinearisotropic", [E, 0.0, G, NU, 0.0]),
    ("getstressfromisotropicviscoelasticity", visco(0)),
    ("getstressfromisotropicviscoelasticity", visco(1)),
    ("getstressfromisotropicviscoelasticity", visco(2)),
    ("getstressfromisotropicviscoelasticity", visco(3, num=1e-4)),
])
def test_without_non_linearity_the_laws_are_hookes_law(routine, props):
    np.testing.assert_allclose(getattr(el, routine)(STRAIN, props, 3), hooke(E, NU, STRAIN),
                               rtol=1e-13, atol=1e-13)
    assert errstat() == 0


@pytest.mark.parametrize("routine,props", [
    ("getstressfromnonlinearisotropic", [E, 50.0, G, NU, 80.0]),
    ("getstressfromisotropicviscoelasticity", visco(1, gamma=40.0)),
    ("getstressfromisotropicviscoelasticity", visco(2, gamma=40.0)),
    ("getstressfromisotropicviscoelasticity", visco(3, gamma=40.0, num=1e-4)),
])
def test_at_small_strain_the_laws_tend_to_hookes_law(routine, props):
    small = STRAIN * 1e-6
    np.testing.assert_allclose(getattr(el, routine)(small, props, 3), hooke(E, NU, small),
                               rtol=1e-6)


def test_lame_stress_is_hookes_law_with_lambda_and_mu():
    lam, mu = 1500.0, 700.0
    eps = tensor(STRAIN)
    tr = np.trace(eps)
    s = el.getlamestress(tr, eps - tr / 3 * np.eye(3), mu, lam + 2 * mu / 3)
    np.testing.assert_allclose(s, lam * tr * np.eye(3) + 2 * mu * eps, rtol=1e-14, atol=1e-14)


def test_tensor_laws_write_only_the_ndi_block():
    dev = np.array([[1.0, 2.0], [2.0, -1.0]])
    s = el.getlamestress(0.5, dev, 3.0, 4.0)
    np.testing.assert_array_equal(s, [[8.0, 12.0, 0.0], [12.0, -4.0, 0.0], [0.0, 0.0, 0.0]])


# ------------------------------------------------------------------------------------------
# Tensor laws at finite strain

def split(strain):
    eps = tensor(strain)
    tr = np.trace(eps)
    dev = eps - tr / 3 * np.eye(3)
    return tr, dev, np.linalg.norm(dev), abs(tr)


@pytest.mark.parametrize("routine,measure", [
    ("getkaestnerstress", lambda b, x: 1 - 1 / (1 + b * abs(x))),
    ("getkrausestress", lambda b, x: 1 - math.exp(-b * abs(x))),
])
def test_kaestner_and_krause_reduce_each_part_by_its_measure(routine, measure):
    tr, dev, normdev, normvol = split(STRAIN * 20)
    g, komp, gammag, gammak = 1100.0, 3300.0, 30.0, 12.0
    s = getattr(el, routine)(normdev, normvol, tr, dev, g, gammag, gammak, komp)
    expected = ((1 - measure(gammag, normdev)) * 2 * g * dev
                + (1 - measure(gammak, normvol)) * komp * tr * np.eye(3))
    np.testing.assert_allclose(s, expected, rtol=1e-13)


def moduli_of(stress_tensor, tr, dev):
    """Shear modulus, bulk modulus and Poisson ratio recovered from an isotropic stress."""
    geff = np.tensordot(stress_tensor, dev) / (2 * np.tensordot(dev, dev))
    keff = np.trace(stress_tensor) / (3 * tr)
    return geff, keff, (3 * keff - 2 * geff) / (2 * (3 * keff + geff))


@pytest.mark.parametrize("num", [1e-5, 5e-5])
def test_variable_poisson_ratio_grows_with_the_drop_of_youngs_modulus(num):
    tr, dev, normdev, normvol = split(STRAIN * 10)
    gamma = 20.0
    s = el.getstressfromnonconstpoisson(normdev, normvol, tr, dev, E, G, NU, num, gamma)
    geff, _, nueff = moduli_of(s, tr, dev)
    assert geff == pytest.approx(G / (math.sqrt(2) * gamma * normdev + 1), rel=1e-12)
    # the implicit relation nueff = nu + num (E - Eeff) with Eeff = 2 geff (1 + nueff)
    assert nueff == pytest.approx(NU + num * (E - 2 * geff * (1 + nueff)), rel=1e-12)


def test_variable_poisson_ratio_stops_at_047():
    tr, dev, normdev, normvol = split(STRAIN * 100)
    s = el.getstressfromnonconstpoisson(normdev, normvol, tr, dev, E, G, NU, 1e-3, 50.0)
    assert moduli_of(s, tr, dev)[2] == pytest.approx(0.47, rel=1e-12)


@pytest.mark.parametrize("law", [0, 1, 2, 3])
def test_visco_elastic_law_is_the_nye_vector_of_its_tensor_law(law):
    strain = STRAIN * 15
    tr, dev, normdev, normvol = split(strain)
    gamma, num = 25.0, 2e-5
    g, komp = E / (2 * (1 + NU)), E / (3 * (1 - 2 * NU))
    gammag, gammak = math.sqrt(1.5) * gamma / (1 + NU), gamma / (1 - 2 * NU)
    if law == 0:
        t = el.getlamestress(tr, dev, g, komp)
    elif law == 3:
        t = el.getstressfromnonconstpoisson(normdev, normvol, tr, dev, E, g, NU, num, gamma)
    else:
        t = getattr(el, ["getkaestnerstress", "getkrausestress"][law - 1])(
            normdev, normvol, tr, dev, g, gammag, gammak, komp)
    np.testing.assert_allclose(el.getstressfromisotropicviscoelasticity(
        strain, visco(law, gamma, num), 3), nye(t), rtol=1e-13)


@pytest.mark.parametrize("law", [4.0, -1.0, math.nan, 1e10])
def test_an_unknown_visco_elastic_law_gives_zeros_and_code_2(law):
    s = el.getstressfromisotropicviscoelasticity(STRAIN, [E, 0.0, NU, 0.0, law], 3)
    assert not s.any() and errstat() == -2


# ------------------------------------------------------------------------------------------
# Non-linear isotropic law

def young(props, normal, nu):
    eini, gamman = props[0], props[1]
    return eini / (gamman * normal / math.sqrt(nu * nu + 1) + 1)


def poisson(props, e):
    return min(props[3] + 4e-5 * (props[0] - e), 0.46)


def uniaxial_constants(props, x):
    """E and nu of the law's stiffness, read from its stress under the strain (x, 0, 0)."""
    s = el.getstressfromnonlinearisotropic([x, 0, 0, 0, 0, 0], props, 3)
    assert s[1] == s[2] and not s[3:].any()
    nu = s[1] / (s[0] + s[1])
    return s[0] * (1 - 2 * nu) * (1 + nu) / ((1 - nu) * x), nu


@pytest.mark.parametrize("props,x", [
    ([3000.0, 100.0, 1100.0, 0.35, 0.0], 0.01),
    ([10000.0, 3.0, 1100.0, 0.0, 0.0], 1.0),
    ([122887.5, 2.66268, 1100.0, -3.11136, 0.0], 1.0),  # slow: several passes
])
def test_nonlinear_isotropic_constants_are_near_their_fixed_point(props, x, capfd):
    e, nu = uniaxial_constants(props, x)
    assert nu == pytest.approx(poisson(props, e), abs=1e-12)  # nu = nu(E) holds exactly
    fixed = brentq(lambda v: v - poisson(props, young(props, x, v)), -10.0, 0.46)
    assert nu == pytest.approx(fixed, rel=0.02)
    assert e == pytest.approx(young(props, x, fixed), rel=0.02)
    lines = capfd.readouterr().out.splitlines()
    assert [ln.split() for ln in lines] == [["Iteration", str(i)] for i in range(len(lines))]
    assert len(lines) <= 6


def test_nonlinear_isotropic_poisson_ratio_stops_at_046():
    assert uniaxial_constants([1e5, 100.0, 1100.0, 0.3, 0.0], 0.05)[1] == pytest.approx(0.46)


def test_nonlinear_isotropic_shear_modulus_falls_with_the_shear_strains():
    gamma = np.array([0.0, 0.0, 0.0, 0.03, -0.04, 0.0])
    s = el.getstressfromnonlinearisotropic(gamma, [E, 10.0, 1100.0, NU, 20.0], 3)
    np.testing.assert_allclose(s, 1100.0 / (20.0 * 0.05 + 1) * gamma, rtol=1e-14)


def test_nonlinear_isotropic_at_zero_strain_is_silent(capfd):
    s = el.getstressfromnonlinearisotropic(np.zeros(6), [E, 10.0, G, NU, 20.0], 3)
    assert not s.any() and capfd.readouterr().out == ""


# ------------------------------------------------------------------------------------------
# Fitted resin law

T0, O0, A0 = 2541.75978925, 4871.70629979, 2692.3559712  # tension moduli at x = 0


def test_fitted_law_at_zero_strain_gives_the_initial_stiffness():
    s, k = el.getstressfromdevvoldecomposition(np.zeros(6), [0, 0, 0, 0, 1.0], 3)
    expected = np.zeros((6, 6))
    expected[:3, :3] = O0 - T0 / 3
    expected[range(3), range(3)] = 2 * T0 / 3 + O0
    expected[range(3, 6), range(3, 6)] = A0 / 2
    assert not s.any()
    np.testing.assert_allclose(k, expected, rtol=1e-15)


@pytest.mark.parametrize("scale", [0.01, -0.01, 0.05, -0.2])
@pytest.mark.parametrize("fit", [1.0, 0.0])
def test_fitted_law_stress_is_its_secant_stiffness_times_the_strain(scale, fit):
    strain = STRAIN / 3e-3 * scale
    s, k = el.getstressfromdevvoldecomposition(strain, [0, 0, 0, 0, fit], 3)
    np.testing.assert_allclose(s, k @ strain, rtol=1e-12)


def test_fitted_normal_modulus_is_continuous_at_its_limit():
    limit = 0.0586801786795
    t = []
    for x in (limit * (1 - 1e-12), limit * (1 + 1e-12)):
        d = x / math.sqrt(2)  # deviatoric normal strain (d, -d, 0), trace 0: tension
        s, _ = el.getstressfromdevvoldecomposition([d, -d, 0, 0, 0, 0], [0, 0, 0, 0, 1.0], 3)
        t.append(s[0] / d)
    assert t[0] == pytest.approx(t[1], rel=1e-5) and t[0] == pytest.approx(1128.5, abs=0.1)


def test_hydrostatic_compression_takes_the_compression_fits():
    x = 0.01
    _, k = el.getstressfromdevvoldecomposition([-x, -x, -x, 0, 0, 0], [0, 0, 0, 0, 1.0], 3)
    t = 2844.74195527  # deviatoric normal part 0
    o = 7992.37025439 * math.exp(-10.7642249043 * math.sqrt(3) * x)
    assert k[0, 0] == pytest.approx(2 * t / 3 + o, rel=1e-14)
    assert k[0, 1] == pytest.approx(o - t / 3, rel=1e-14)
    assert k[3, 3] == pytest.approx(A0 / 2, rel=1e-14)  # no shear: the shear fit at 0


def test_without_the_shear_fit_the_shears_take_the_normal_modulus():
    _, k = el.getstressfromdevvoldecomposition([0, 0, 0, 0.02, 0, 0], [0, 0, 0, 0, 2.0], 3)
    assert k[3, 3] == pytest.approx(T0 / 2) and k[4, 4] == k[3, 3]


# The fits of the resin law: limit, M0, gamma, A, B; a strain whose measure of that fit is x; the
# modulus read back from the secant stiffness.
R2, R3 = math.sqrt(2), math.sqrt(3)
FITS = [
    ((0.0586801786795, 2541.75978925, 13.8361690875, 71171243.2236, 1074682.92535),
     lambda x: [x / R2, -x / R2, 0, 0, 0, 0], lambda k: k[0, 0] - k[0, 1]),
    ((0.0568363759446, 2844.74195527, 10.8020389124, 94899909.3371, 1084488.43482),
     lambda x: [x / R2 - 1e-3, -x / R2 - 1e-3, -1e-3, 0, 0, 0], lambda k: k[0, 0] - k[0, 1]),
    ((0.05912221968173981, 4871.70629979, 13.732719812, 189806025.077, 1484162.32322),
     lambda x: [x / R3] * 3 + [0] * 3, lambda k: (k[0, 0] + 2 * k[0, 1]) / 3),
    ((0.0570360383455, 7992.37025439, 10.7642249043, 759238107.839, 3077414.06005),
     lambda x: [-x / R3] * 3 + [0] * 3, lambda k: (k[0, 0] + 2 * k[0, 1]) / 3),
    ((0.04327625, 2692.3559712, 19.3641099237, 4447152.2077, 88218.6212448),
     lambda x: [0, 0, 0, 2 * x, 0, 0], lambda k: 2 * k[3, 3]),
]


@pytest.mark.parametrize("fit,strain,modulus", FITS,
                         ids=["t-tension", "t-compression", "o-tension", "o-compression", "a"])
@pytest.mark.parametrize("at", [0.5, 2.0, 30.0])  # times the limit
def test_each_fit_on_both_sides_of_its_limit(fit, strain, modulus, at):
    limit, m0, gamma, a, b = fit
    x = at * limit
    expected = m0 * math.exp(-gamma * x) if x <= limit else a / (b * x + 1)
    _, k = el.getstressfromdevvoldecomposition(strain(x), [0, 0, 0, 0, 1.0], 3)
    assert modulus(k) == pytest.approx(expected, rel=1e-12)


# ------------------------------------------------------------------------------------------
# Cubic law from the calibration curves

@pytest.fixture
def alpha_tables(clean_store):
    """alpha1 = 1000 + 100 x, alpha2 = 400 + 50 x, alpha3 = 300 - 20 x at 293 K, each doubled at
    353 K (three collinear points: the monotone cubic interpolant is the line)."""
    store.temperatures = [293.0, 353.0]
    x = [-1.0, 0.0, 1.0]
    for k, (a, b) in enumerate([(1000.0, 100.0), (400.0, 50.0), (300.0, -20.0)], start=1):
        t = np.zeros((2, 3, 2), order="F")
        t[:, :, 0] = x
        t[0, :, 1] = [a + b * v for v in x]
        t[1, :, 1] = 2 * t[0, :, 1]
        setattr(store, "alpha%dprops" % k, t)
        setattr(store, "nalpha%ddata" % k, 3)
    yield
    store.temperatures = None
    for k in (1, 2, 3):
        setattr(store, "nalpha%ddata" % k, 0)


def cubic_stiffness(a1, a2, a3):
    """Stiffness of degr (a1 V + a2 N + a3 H) on Nye strains with engineering shears."""
    c = np.zeros((6, 6))
    c[:3, :3] = a1 / 3 - a2 / 3
    c[range(3), range(3)] += a2
    c[range(3, 6), range(3, 6)] = a3 / 2
    return c


@pytest.mark.parametrize("temp,factor", [(293.0, 1.0), (323.0, 1.5)])
@pytest.mark.parametrize("sign", [1.0, -1.0])  # a negative trace signs the first two abscissas
def test_cubic_law_against_a_hand_built_cubic_stiffness(alpha_tables, temp, factor, sign):
    strain = STRAIN * 0.1 * sign
    eps = tensor(strain)
    tr, d = np.trace(eps), np.diag(eps)
    xv = math.copysign(abs(tr) / math.sqrt(3), tr)
    xn = math.copysign(np.linalg.norm(d - tr / 3), tr)
    xs = math.sqrt(2) * np.linalg.norm(strain[3:] / 2)
    a = [factor * (1000 + 100 * xv), factor * (400 + 50 * xn), factor * (300 - 20 * xs)]
    s = el.getstressfromcubicelasticity(strain, [temp, 0.8], 3, [0.0], 1)
    np.testing.assert_allclose(s, 0.8 * cubic_stiffness(*a) @ strain, rtol=1e-12)
    assert errstat() == 0


def test_cubic_law_without_curves_reports_and_gives_zeros(clean_store):
    s = el.getstressfromcubicelasticity(STRAIN, [293.0, 1.0], 3, [0.0], 1)
    assert not s.any() and errstat() == -3


# ------------------------------------------------------------------------------------------
# Counts

LAWS = [("getstressfromnonlinearisotropic", [E, 50.0, G, NU, 80.0]),
        ("getstressfromisotropicviscoelasticity", visco(1, gamma=40.0)),
        ("getstressfromdevvoldecomposition", [0, 0, 0, 0, 1.0])]


def first(result):
    return result[0] if isinstance(result, tuple) else result


@pytest.mark.parametrize("routine,props", LAWS)
def test_a_plane_strain_vector_is_the_three_dimensional_one_without_its_last_shears(
        routine, props):
    strain = STRAIN * 10
    strain[4:] = 0.0
    full = first(getattr(el, routine)(strain, props, 3))
    np.testing.assert_allclose(first(getattr(el, routine)(strain[:4], props, 3)), full[:4],
                               rtol=1e-15)
    if routine == "getstressfromdevvoldecomposition":
        _, k4 = el.getstressfromdevvoldecomposition(strain[:4], props, 3)
        _, k6 = el.getstressfromdevvoldecomposition(strain, props, 3)
        np.testing.assert_array_equal(k4, k6[:4, :4])


@pytest.mark.parametrize("routine,props", LAWS + [
    ("getstressfromcubicelasticity", [293.0, 1.0])])
@pytest.mark.parametrize("n,ndi,nprops", [(6, 2, 5), (3, 2, 5), (7, 3, 5), (2, 3, 5), (6, 3, 1)])
def test_counts_that_do_not_fit_give_zeros_and_code_3(routine, props, n, ndi, nprops):
    args = [np.full(n, 0.01), props[:nprops], ndi]
    if routine == "getstressfromcubicelasticity":
        args += [[0.0], 1]
    result = getattr(el, routine)(*args)
    for r in result if isinstance(result, tuple) else (result,):
        assert r.size == n ** r.ndim and not r.any()
    assert errstat() == -3


@pytest.mark.parametrize("routine,scalars,position", [
    ("getlamestress", 3, 1), ("getkaestnerstress", 7, 3), ("getkrausestress", 7, 3),
    ("getstressfromnonconstpoisson", 8, 3)])
def test_tensor_laws_refuse_an_ndi_beyond_3(routine, scalars, position):
    args = [1.0] * scalars
    args.insert(position, np.ones((4, 4)))
    assert not getattr(el, routine)(*args).any() and errstat() == -3
