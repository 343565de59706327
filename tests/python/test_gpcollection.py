"""Ply and resin criteria of _vorlen.gpcollection against hand values, Tsai-Wu and Hill written
as matrices in numpy, and the calibration points of the resin criteria."""
import math

import numpy as np
import pytest

import _vorlen
from conftest import errstat, errtext

gp = _vorlen.gpcollection

CALL_FORMS = [
    ("gpmaxnominal", "rgp = gpmaxnominal(s11,xt11,xc11)"),
    ("gpquadnominal", "rgp = gpquadnominal(s11,s12,s13,xt11,x12,x13)"),
    ("gplininteraction", "rgp = gplininteraction(s11,s22,s12,xt11,xc11,xt22,xc22,x12)"),
    ("gpquadinteraction", "rgp = gpquadinteraction(s11,s22,s12,xt11,xc11,xt22,xc22,x12)"),
    ("gpnorrisinteraction", "rgp = gpnorrisinteraction(s11,s22,s12,xt11,xc11,xt22,xc22,x12)"),
    ("gpyamadasuninteraction", "rgp = gpyamadasuninteraction(s11,s12,s13,xt11,xc11,x12,x13)"),
    ("gppolynomial", "rgp = gppolynomial(s11,s22,s33,s12,s13,s23,xt11,xc11,xt22,xc22,xt33,xc33,"
                     "x12,x13,x23,[xint,ptype])"),
    ("gppolycamanho", "rgp = gppolycamanho(s11,s22,s33,s12,s13,s23,xt11,xc11,xt22,xc22,x12,x13,"
                      "x23,[xint,ptype])"),
    ("gpdruckerprager", "gpdruckerprager(stress,xt,xc,d,di1)"),
    ("gpbauwens", "gpbauwens(stress,xt,xc,d)"),
    ("gpraghava", "d = gpraghava(stress,xt,xc)"),
    ("gpha", "d,di1,dmises,i1cr,misescr,life = gpha(stress,xt,xc,np)"),
]


@pytest.mark.parametrize("name,form", CALL_FORMS)
def test_call_form(name, form):
    assert getattr(gp, name).__doc__.splitlines()[0] == form


@pytest.fixture(autouse=True)
def register(clean_register):
    yield


XT11, XC11, XT22, XC22, XT33, XC33 = 1500.0, 1200.0, 50.0, 200.0, 40.0, 180.0
X12, X13, X23 = 80.0, 70.0, 60.0
PLANE = (XT11, XC11, XT22, XC22, X12)

# (routine, arguments, hand value): the choice of tensile or compressive strength by the sign.
SIMPLE = [
    ("gpmaxnominal", (750.0, XT11, XC11), 0.5),
    ("gpmaxnominal", (-600.0, XT11, XC11), 0.5),
    ("gpmaxnominal", (0.0, XT11, 0.0), math.nan),  # s11 = 0 takes xc11: 0/0
    ("gpmaxnominal", (0.0, XT11, XC11), 0.0),
    ("gpquadnominal", (-750.0, 40.0, 35.0, XT11, X12, X13), math.sqrt(0.25 + 0.25 + 0.25)),
    ("gplininteraction", (0.0, 0.0, -X12) + PLANE, 1.0),
    ("gplininteraction", (-600.0, 25.0, -40.0) + PLANE, abs(-0.5 + 0.5 - 0.5)),
    ("gplininteraction", (0.0, -100.0, 40.0) + PLANE, 0.0),
    ("gpquadinteraction", (-600.0, 25.0, -40.0) + PLANE, math.sqrt(0.75)),
    ("gpquadinteraction", (750.0, -100.0, 0.0) + PLANE, math.sqrt(0.5)),
    ("gpnorrisinteraction", (-600.0, 25.0, -40.0) + PLANE, math.sqrt(0.25 + 0.25 + 0.25 + 0.25)),
    ("gpnorrisinteraction", (750.0, 25.0, 0.0) + PLANE, math.sqrt(0.25)),
    ("gpyamadasuninteraction", (-600.0, 40.0, 35.0, XT11, XC11, X12, X13), math.sqrt(0.75)),
]


@pytest.mark.parametrize("name,args,expected", SIMPLE)
def test_simple_criteria(name, args, expected):
    got = getattr(gp, name)(*args)
    if math.isnan(expected):
        assert math.isnan(got)
    else:
        assert got == pytest.approx(expected, rel=1e-14, abs=1e-300)


def voigt_matrix(s):
    """Stress tensor of (s11, s22, s33, s12, s13, s23)."""
    return np.array([[s[0], s[3], s[4]], [s[3], s[1], s[5]], [s[4], s[5], s[2]]])


def tsai_wu_parts(s, xint):
    """Quadratic and linear part of 3-D Tsai-Wu: s^T F s and f.s with F12* = xint."""
    xt = np.array([XT11, XT22, XT33])
    xc = np.array([XC11, XC22, XC33])
    fii = 1 / (xt * xc)
    f = np.diag(np.r_[fii, 1 / np.array([X12, X13, X23])**2])
    for i, j in [(0, 1), (0, 2), (1, 2)]:
        f[i, j] = f[j, i] = xint * math.sqrt(fii[i] * fii[j])
    lin = np.r_[1 / xt - 1 / xc, 0, 0, 0]
    return s @ f @ s, lin @ s


def reciprocal_load_factor(q, l):
    """1/lambda for the positive root of q lambda^2 + l lambda = 1."""
    roots = np.roots([q, l, -1.0]) if q != 0 else np.array([1 / l])
    lam = min(r.real for r in roots if abs(r.imag) < 1e-12 and r.real > 0)
    return 1 / lam


RNG = np.random.default_rng(29)
STATES = [RNG.normal(0, 1, 6) * [600, 60, 60, 40, 40, 40] for _ in range(6)]
STATES += [np.array([XT11, 0, 0, 0, 0, 0]), np.array([-XC11, 0, 0, 0, 0, 0]),
           np.array([0, -XC22, 0, 0, 0, 0]), np.array([0, 0, XT33, 0, 0, 0])]


@pytest.mark.parametrize("xint", [0.0, -0.5, 0.3])
@pytest.mark.parametrize("s", STATES)
def test_polynomial_is_tsai_wu_load_factor(s, xint):
    q, l = tsai_wu_parts(s, xint)
    rgp = gp.gppolynomial(*s, XT11, XC11, XT22, XC22, XT33, XC33, X12, X13, X23, xint, 0)
    assert rgp == pytest.approx(reciprocal_load_factor(q, l), rel=1e-12)
    # the state scaled by 1/rgp lies on the surface
    q1, l1 = tsai_wu_parts(s / rgp, xint)
    assert q1 + l1 == pytest.approx(1.0, rel=1e-12)
    assert errstat() == 0


def hill(s):
    """Hill's F(s22 - s33)^2 + G(s33 - s11)^2 + H(s11 - s22)^2 + shears, strengths by sign."""
    x = XT11 if s[0] >= 0 else XC11
    y = XT22 if s[1] >= 0 else XC22
    z = XT33 if s[2] >= 0 else XC33
    f = 0.5 * (1 / y**2 + 1 / z**2 - 1 / x**2)
    g = 0.5 * (1 / z**2 + 1 / x**2 - 1 / y**2)
    h = 0.5 * (1 / x**2 + 1 / y**2 - 1 / z**2)
    return (f * (s[1] - s[2])**2 + g * (s[2] - s[0])**2 + h * (s[0] - s[1])**2
            + (s[3] / X12)**2 + (s[4] / X13)**2 + (s[5] / X23)**2)


@pytest.mark.parametrize("s", STATES)
def test_polynomial_ptype1_is_hill(s):
    rgp = gp.gppolynomial(*s, XT11, XC11, XT22, XC22, XT33, XC33, X12, X13, X23, -0.5, 1)
    h = hill(s)  # not positive definite for every choice of strengths
    assert rgp == pytest.approx(math.sqrt(max(h, 0.0)), rel=1e-12)
    assert errstat() == (0 if h >= 0 else -1)


def test_polynomial_ptype1_compression_has_no_linear_term():
    args = (XT11, XC11, XT22, XC22, XT33, XC33, X12, X13, X23)
    assert gp.gppolynomial(-600.0, 0, 0, 0, 0, 0, *args, 0.0, 1) == pytest.approx(0.5, rel=1e-15)
    # ptype 2: Tsai-Wu terms with Hill's interaction
    s = np.array([400.0, 20.0, -30.0, 30.0, 20.0, 10.0])
    q, l = tsai_wu_parts(s, 0.0)
    fii = 1 / (np.array([XT11, XT22, XT33]) * np.array([XC11, XC22, XC33]))
    xint = -0.5
    q += 2 * xint * ((fii[0] + fii[1] - fii[2]) * s[0] * s[1] + (fii[0] + fii[2] - fii[1]) * s[0]
                     * s[2] + (fii[1] + fii[2] - fii[0]) * s[1] * s[2])
    got = gp.gppolynomial(*s, *args, xint, 2)
    assert got == pytest.approx(reciprocal_load_factor(q, l), rel=1e-12)


ALL_POLYNOMIALS = [
    lambda s, **k: gp.gppolynomial(*s, XT11, XC11, XT22, XC22, XT33, XC33, X12, X13, X23, **k),
    lambda s, **k: gp.gppolycamanho(*s, XT11, XC11, XT22, XC22, X12, X13, X23, **k),
]


@pytest.mark.parametrize("poly", ALL_POLYNOMIALS)
def test_polynomial_index_at_zero_and_tiny_stress(poly):
    assert poly(np.zeros(6)) == 0.0
    assert errstat() == 0
    # the quadratic part underflows, the linear one does not: the index is L, not 0/0
    s = np.array([1e-200, 0, 0, 0, 0, 0])
    assert poly(s) == pytest.approx((1 / XT11 - 1 / XC11) * 1e-200, rel=1e-14)


# A strong negative interaction makes D = L^2 + 4Q negative.
@pytest.mark.parametrize("poly,s,xint,ptype", [
    (ALL_POLYNOMIALS[0], [-XC11, -XC22, 0, 0, 0, 0], -5.0, 0),
    (ALL_POLYNOMIALS[1], [2 * XT11, XT22, XT22, 0, 0, 0], -1.0, 1),
])
def test_polynomial_negative_root(poly, s, xint, ptype):
    assert poly(np.array(s), xint=xint, ptype=ptype) == 0.0
    assert errstat() == -1
    assert errtext() == ("Note: Negative root during polynomial failureevaluation. Please check "
                         "your input")


def rotation_about_1(theta):
    c, s = math.cos(theta), math.sin(theta)
    return np.array([[1, 0, 0], [0, c, s], [0, -s, c]])


def nye(t):
    return np.array([t[0, 0], t[1, 1], t[2, 2], t[0, 1], t[0, 2], t[1, 2]])


@pytest.mark.parametrize("ptype,xint", [(0, 0.0), (0, -0.5), (1, 0.4)])
@pytest.mark.parametrize("s", STATES[:6])
def test_camanho_is_transversely_isotropic(s, ptype, xint):
    """With x13 = x12 the index does not change under a turn about the fibre axis."""
    first = gp.gppolycamanho(*s, XT11, XC11, XT22, XC22, X12, X12, X23, xint, ptype)
    for theta in [0.3, 1.1, 2.5]:
        a = rotation_about_1(theta)
        turned = nye(a @ voigt_matrix(s) @ a.T)
        got = gp.gppolycamanho(*turned, XT11, XC11, XT22, XC22, X12, X12, X23, xint, ptype)
        assert got == pytest.approx(first, rel=1e-12)


def test_camanho_values():
    strengths = (XT11, XC11, XT22, XC22, X12, X13, X23)
    # uniaxial strengths reach 1; direction 3 takes the strengths of direction 2
    for s, expected in [([XT11, 0, 0, 0, 0, 0], 1.0), ([0, -XC22, 0, 0, 0, 0], 1.0),
                        ([0, 0, XT22, 0, 0, 0], 1.0), ([0, 0, 0, 0, 0, X23], 1.0),
                        ([0, 0, 0, X12, 0, 0], 1.0)]:
        assert gp.gppolycamanho(*s, *strengths) == pytest.approx(expected, rel=1e-14)
    s = STATES[1]
    # xint outside [-1, 1] is no interaction
    assert gp.gppolycamanho(*s, *strengths, 1.5) == gp.gppolycamanho(*s, *strengths, 0.0)
    assert gp.gppolycamanho(*s, *strengths, 0.5) != gp.gppolycamanho(*s, *strengths, 0.0)
    # ptype 2: tensile strengths only, no s33^2, s13^2 and s23^2 terms
    s2 = np.array([-300.0, 20.0, 15.0, 30.0, 25.0, 35.0])
    q = ((s2[0] / XT11)**2 + (s2[1] / XT22)**2 + 2 * (1 / XT22**2 - 0.5 / X23**2) * s2[1] * s2[2]
         + (s2[3] / X12)**2)
    assert gp.gppolycamanho(*s2, *strengths, 0.0, 2) == pytest.approx(math.sqrt(q), rel=1e-13)


def uniaxial(s):
    return np.array([s, 0, 0, 0, 0, 0.0])


XT, XC = 60.0, 110.0


@pytest.mark.parametrize("stress", [uniaxial(XT), uniaxial(-XC), uniaxial(XT)[[1, 0, 2, 3, 4, 5]]])
def test_resin_criteria_calibrated_at_strengths(stress):
    assert gp.gpraghava(stress, XT, XC) == pytest.approx(1.0, rel=1e-14)
    d = np.array(0.0)
    gp.gpbauwens(stress, XT, XC, d)
    assert d[()] == pytest.approx(1.0, rel=1e-14)
    d, di1 = np.array(-5.0), np.array(7.0)
    gp.gpdruckerprager(stress, XT, XC, d, di1)
    assert di1[()] == pytest.approx(0.0, abs=1e-13) and d[()] == 1.0
    for n in [1.5, 2.0, 3.0]:
        dha, _, _, _, _, life = gp.gpha(stress, XT, XC, n)
        assert dha == pytest.approx(1.0, rel=1e-12) and life == (1.0 if dha >= 1 else 0.0)


def test_ha_with_equal_strengths_is_von_mises():
    s = np.array([30.0, -12.0, 5.0, 14.0, -9.0, 4.0])
    vm = math.sqrt(((s[0] - s[1])**2 + (s[1] - s[2])**2 + (s[2] - s[0])**2) / 2
                   + 3 * (s[3]**2 + s[4]**2 + s[5]**2))
    d, di1, dmises, i1cr, misescr, life = gp.gpha(s, XT, XT, 2.0)
    assert di1 == 0.0 and math.isinf(i1cr) and misescr == pytest.approx(XT, rel=1e-15)
    assert dmises == pytest.approx((vm / XT)**2, rel=1e-14) and d == dmises and life == 0.0


def test_resin_damage_updates():
    small = np.array([5.0, 2.0, 0.0, 1.0, 0.0, 0.0])
    d = np.array(0.9)
    gp.gpbauwens(small, XT, XC, d)  # never decreases
    assert d[()] == 0.9
    d = np.array(0.0)
    gp.gpbauwens(uniaxial(3 * XT), XT, XC, d)  # capped at 1
    assert d[()] == 1.0
    assert gp.gpraghava(np.zeros(6), XT, XC) == 0.0  # max with 0
    # Drucker-Prager: d = 1 wherever |di1| <= 1, else the incoming d, not below 0
    xt, xc = 2.0, 2.0  # di1 = 2/sqrt(3) - vM/sqrt(3)
    for vm, d_in, d_out in [(2.0 - 0.5 * math.sqrt(3), 0.2, 1.0), (0.0, -0.3, 0.0),
                            (20.0, 0.4, 0.4), (20.0, -0.3, 0.0)]:
        d, di1 = np.array(d_in), np.array(0.0)
        gp.gpdruckerprager(uniaxial(vm), xt, xc, d, di1)
        assert di1[()] == pytest.approx((2 - vm) / math.sqrt(3), rel=1e-14)
        assert d[()] == d_out
