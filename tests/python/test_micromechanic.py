"""Micromechanics of _vorlen.micromechanic: closed-form rules, Eshelby and concentration tensors
and mean-field schemes against hand calculations, textbook closed forms and the Hashin-Shtrikman
bounds."""
import math
from decimal import Decimal, localcontext

import numpy as np
import pytest

import _vorlen
from conftest import errstat, errtext

m = _vorlen.micromechanic

CALL_FORMS = [
    ("ruleofmixture", "rm = ruleofmixture(fiberprops,matrixprops,vf)"),
    ("abolinsh", "ah = abolinsh(fiberprops,matrixprops,vf)"),
    ("puck", "pu = puck(fiberprops,matrixprops,vf)"),
    ("hopkinschamis", "hc = hopkinschamis(fiberprops,matrixprops,vf)"),
    ("halpintsai", "ht = halpintsai(fiberprops,matrixprops,vf,[zeta])"),
    ("chamis", "cs = chamis(fiberprops,matrixprops,vf,[csdim])"),
    ("foye", "nfoye = foye(laminaprops,matrixprops)"),
    ("krimmer", "km = krimmer(laminaprops,fiberprops,matrixprops,vf)"),
    ("lth", "lh = lth(fiberprops,matrixprops,vf,fmflag,tcflag,[mdim])"),
    ("geteshelbytensor", "et = geteshelbytensor(incltype,inclratio,nu_m,[c_m])"),
    ("getstrainconcentrationtensor",
     "a = getstrainconcentrationtensor(et,cinc,cm,vinc,[atype])"),
    ("getaveragescfromdualequation",
     "sc = getaveragescfromdualequation(bainc,scinc,scm,vinc)"),
    ("getvoigtcompliancematrix", "s = getvoigtcompliancematrix(props)"),
    ("getengconstsfromcompliancematrix", "eng = getengconstsfromcompliancematrix(s)"),
    ("getfiberbundlecompliancematrix",
     "sfb = getfiberbundlecompliancematrix(sf,sinter,vf,vinter)"),
    ("getporousresincompliancematrix", "spm = getporousresincompliancematrix(sm,vv,voidtype)"),
    ("getphasereduction",
     "sf,sm = getphasereduction(fiberprops,matrixprops,vf,[vvoid,vint,interprops,voidtype])"),
    ("voigt", "vt = voigt(fiberprops,matrixprops,vf,[vvoid,vint,interprops,voidtype])"),
    ("reuss", "rs = reuss(fiberprops,matrixprops,vf,[vvoid,vint,interprops,voidtype])"),
    ("dilute", "es = dilute(fiberprops,matrixprops,vf,[vvoid,vint,interprops,yzratio,voidtype])"),
    ("moritanaka",
     "mt = moritanaka(fiberprops,matrixprops,vf,[vvoid,vint,interprops,yzratio,voidtype])"),
    ("chow", "cw = chow(fiberprops,matrixprops,vf,[vvoid,vint,interprops,yzratio,voidtype])"),
    ("lielens", "li = lielens(fiberprops,matrixprops,vf,[vvoid,vint,interprops,yzratio,voidtype])"),
    ("hashinshtrikman", "hs = hashinshtrikman(fiberprops,matrixprops,vf,luflag,"
                        "[vvoid,vint,interprops,yzratio,voidtype])"),
    ("mura", "ma = mura(fiberprops,matrixprops,vf,[vvoid,vint,interprops,yzratio,voidtype])"),
    ("cscs", "sc = cscs(fiberprops,matrixprops,vf,"
             "[vvoid,vint,interprops,yzratio,voidtype,maxit,threshold])"),
    ("huang", "hg = huang(fiberprops,matrixprops,vf,[vvoid,vint,interprops,strengthprops,cp,"
              "voidtype])"),
    ("cumulative", "ch = cumulative(fiberprops,matrixprops,vf,[vvoid,vint,interprops,"
                   "strengthprops,yzratio,voidtype,rvetype])"),
    ("getudstrengthfrombridgingmatrix",
     "ud = getudstrengthfrombridgingmatrix(bridging,fiberprops,matrixprops,vf)"),
    ("generalizedmoritanaka", "cmt = generalizedmoritanaka(cinc,eshinc,vinc,c0,[ninc])"),
]


@pytest.mark.parametrize("name,form", CALL_FORMS)
def test_call_form(name, form):
    assert getattr(m, name).__doc__.splitlines()[0] == form


# Carbon fibre in epoxy: (Ef1, Ef2, Gf12, Gf23, nuf12) and (Em, num).
FIB = [230e3, 15e3, 24e3, 5.5e3, 0.25]
FIB4 = [230e3, 15e3, 24e3, 0.25]
MAT = [3.5e3, 0.35]
EM, NUM = MAT
GM = EM / (2 * (1 + NUM))


def iso_props(e, nu):
    return [e, e, e / (2 * (1 + nu)), e / (2 * (1 + nu)), nu]


def iso_constants(e, nu):
    g = e / (2 * (1 + nu))
    return [e, e, e, g, g, g, nu, nu, nu]


def stiffness(props):
    return np.linalg.inv(m.getvoigtcompliancematrix(props))


def bulk_shear(c):
    """Bulk and shear modulus of an isotropic Voigt stiffness (shear diagonal holds G)."""
    return (c[0, 0] + 2 * c[0, 1]) / 3, c[3, 3]


# ---------------------------------------------------------------- closed-form rules

FOUR_VALUE_RULES = ["ruleofmixture", "abolinsh", "puck", "hopkinschamis", "halpintsai"]


def test_rule_of_mixtures_by_hand():
    vf = 0.55
    rm = m.ruleofmixture(FIB4, MAT, vf)
    e1 = vf * 230e3 + (1 - vf) * EM
    e2 = 1 / (vf / 15e3 + (1 - vf) / EM)
    g12 = 1 / (vf / 24e3 + (1 - vf) / GM)
    np.testing.assert_allclose(rm, [e1, e2, g12, vf * 0.25 + (1 - vf) * NUM], rtol=1e-14)


def test_halpin_tsai_by_hand():
    vf = 0.5
    xie, xig = 2 + 40 * vf**10, 1 + 40 * vf**10
    eta_e = (15e3 / EM - 1) / (15e3 / EM + xie)
    eta_g = (24e3 / GM - 1) / (24e3 / GM + xig)
    e2 = EM * (1 + xie * eta_e * vf) / (1 - eta_e * vf)
    g12 = GM * (1 + xig * eta_g * vf) / (1 - eta_g * vf)
    ht = m.halpintsai(FIB4, MAT, vf)
    np.testing.assert_allclose(ht[1:3], [e2, g12], rtol=1e-14)
    np.testing.assert_array_equal(m.halpintsai(FIB4, MAT, vf, [-1.0, -1.0]), ht)
    # xi = 2 for E2 and 1 for G12 given explicitly
    eta_e = (15e3 / EM - 1) / (15e3 / EM + 2)
    assert m.halpintsai(FIB4, MAT, vf, [2.0, 1.0])[1] == pytest.approx(
        EM * (1 + 2 * eta_e * vf) / (1 - eta_e * vf), rel=1e-14)


def test_puck_and_abolinsh_by_hand():
    vf = 0.6
    emp = EM / (1 - NUM**2)
    e2 = emp * (1 + 0.85 * vf**2) / ((1 - vf)**1.25 + vf * emp / 15e3)
    g12 = GM * (1 + 0.4 * math.sqrt(vf)) / ((1 - vf)**1.45 + vf * GM / 24e3)
    np.testing.assert_allclose(m.puck(FIB4, MAT, vf)[1:3], [e2, g12], rtol=1e-14)
    e, g = 15e3 / EM, 24e3 / GM
    f = 1 + (e - 1) * vf
    e2 = f * e * EM / ((e * (1 - vf) + vf) * f - (NUM * e - 0.25)**2 * vf * (1 - vf))
    g12 = GM * ((1 + vf) * g + 1 - vf) / (g * (1 - vf) + 1 + vf)
    np.testing.assert_allclose(m.abolinsh(FIB4, MAT, vf)[1:3], [e2, g12], rtol=1e-14)


@pytest.mark.parametrize("rule", FOUR_VALUE_RULES)
def test_four_value_rules_at_the_ends(rule):
    f = getattr(m, rule)
    np.testing.assert_array_equal(f(FIB4, MAT, 1.3), f(FIB4, MAT, 1.0))
    np.testing.assert_array_equal(f(FIB4, MAT, -0.2), f(FIB4, MAT, 0.0))
    at0 = f(FIB4, MAT, 0.0)
    # Puck's E2 starts from the plane-strain modulus of the matrix
    e2 = EM / (1 - NUM**2) if rule == "puck" else EM
    np.testing.assert_allclose(at0, [EM, e2, GM, NUM], rtol=1e-14)
    if rule != "puck":  # the others end at the fibre constants
        np.testing.assert_allclose(f(FIB4, MAT, 1.0), FIB4, rtol=1e-13)


def test_hopkins_chamis_and_chamis_by_hand():
    vf, r = 0.6, math.sqrt(0.6)
    hc = m.hopkinschamis(FIB4, MAT, vf)
    assert hc[1] == pytest.approx(EM * (1 - r + r / (1 - (1 - EM / 15e3) * r)), rel=1e-14)
    cs = m.chamis(FIB + [0.0], MAT, vf)
    e2 = EM / (1 - (1 - EM / 15e3) * r)
    g12 = GM / (1 - (1 - GM / 24e3) * r)
    g23 = GM / (1 - (1 - GM / 5.5e3) * r)
    expected = [vf * 230e3 + (1 - vf) * EM, e2, g12, g23, vf * 0.25 + (1 - vf) * NUM,
                e2 / (2 * g23) - 1]
    np.testing.assert_allclose(cs, expected, rtol=1e-14)
    np.testing.assert_array_equal(m.chamis(FIB, MAT, vf), cs[:5])
    np.testing.assert_array_equal(m.chamis(FIB4, MAT, vf), cs[[0, 1, 2, 4]])
    np.testing.assert_array_equal(m.chamis(FIB + [1.0, 2.0], MAT, vf), np.zeros(7))


def test_foye_and_krimmer_by_hand():
    el, et, nult = 140e3, 9e3, 0.3
    q = EM / el
    nf = NUM * (1 + NUM - q * nult) / (1 - NUM**2 + nult * NUM * q)
    assert m.foye([el, nult], MAT) == pytest.approx(nf, rel=1e-15)
    vf = 0.6
    ef1, ef2, gf23, nuf12 = FIB[0], FIB[1], FIB[3], FIB[4]
    nuf23 = ef2 / (2 * gf23) - 1
    nua = NUM - nuf12 * EM / ef2
    nub = NUM - (nuf23 + nuf12) * EM / (ef1 + ef2)
    r = et / EM
    d = (1 - nub**2) * r + nub**2
    k1 = (et * (1 - nua) + nua * EM) / (2 * nua**2 * (1 - r) + (1 - nua) * r + nua)
    k2 = (vf * ef1 * d + (1 - vf) * et) / (
        vf * ef1 / EM * ((1 - 3 * nub**2 - 2 * nub**3) * r + 2 * (nub**2 + nub**3))
        + (1 - vf) * d)
    expected = [k1, k2, (k1 + k2) / 2 / (2 * (1 + NUM)), k2 / (2 * (1 + nf)), nua]
    np.testing.assert_allclose(m.krimmer([el, et, nult], FIB, MAT, vf), expected, rtol=1e-13)


@pytest.mark.parametrize("fmflag", [0, 1])
def test_lth_is_the_matrix_without_fibres(fmflag):
    lh = m.lth(FIB, MAT, 0.0, fmflag, 0)
    np.testing.assert_allclose(lh, [EM, EM, GM, GM, NUM], rtol=1e-14)


def test_lth_packing_limits_and_matrix_data():
    np.testing.assert_array_equal(m.lth(FIB, MAT, 0.8, 0, 0), m.lth(FIB, MAT, 0.75, 0, 0))
    np.testing.assert_array_equal(m.lth(FIB, MAT, 0.95, 1, 0), m.lth(FIB, MAT, 0.9, 1, 0))
    own = [4e3, 3.8e3, 1.4e3, 1.3e3, 0.36]
    np.testing.assert_array_equal(m.lth(FIB, own, 0.6, 1, 1), m.lth(FIB, own, 0.6, 1, 0))
    lh = m.lth(FIB, MAT, 0.6, 1, 0)
    assert lh[0] == pytest.approx(0.6 * FIB[0] + 0.4 * EM, rel=1e-15)
    assert lh[4] == pytest.approx(0.6 * FIB[4] + 0.4 * NUM, rel=1e-15)
    assert lh[1] > m.ruleofmixture(FIB4, MAT, 0.6)[1]  # above the series (Reuss) estimate
    # tcflag 1: the matrix constants of Krimmer for the ply of the isotropic matrix
    km = m.krimmer(lh[[0, 1, 4]], FIB, MAT, 0.6)
    np.testing.assert_array_equal(m.lth(FIB, MAT, 0.6, 1, 1), m.lth(FIB, km, 0.6, 1, 0))


@pytest.mark.parametrize("fmflag,vf,phi,a,c", [
    (0, 0.5, 0.5, 2 * math.sqrt(0.5 / math.pi), 2.0),
    (0, 0.8, 0.75, 2 * math.sqrt(0.75 / math.pi), 2.0),
    (1, 0.5, 0.5, math.sqrt(2 * math.sqrt(3) * 0.5 / math.pi), math.sqrt(3)),
    (1, 0.95, 0.9, math.sqrt(2 * math.sqrt(3) * 0.9 / math.pi), math.sqrt(3)),
])
def test_lth_by_hand(fmflag, vf, phi, a, c):
    expected = [phi * FIB[0] + (1 - phi) * EM]
    for mm, f in ((EM, FIB[1]), (GM, FIB[2]), (GM, FIB[3])):
        r = mm / f
        d = 1 - r
        w = math.atan(a * d / math.sqrt(1 - (1 - r * r) * a * a)) + math.pi / 2
        expected.append(2 * mm / c * (c / 2 - a - math.pi / (2 * d)
                                      + w / (d * math.sqrt(1 - d * d * a * a))))
    expected.append(phi * FIB[4] + (1 - phi) * NUM)
    np.testing.assert_allclose(m.lth(FIB, MAT, vf, fmflag, 0), expected, rtol=1e-13)


def test_lth_without_a_poisson_ratio_is_refused(clean_register):
    np.testing.assert_array_equal(m.lth(FIB, [EM], 0.5, 1, 1), np.zeros(5))
    assert errstat() == -3
    assert m.lth(FIB, np.zeros(0), 0.5, 1, 1).tolist() == [0.0] * 5
    assert m.lth(FIB, np.zeros(0), 0.5, 1, 0).tolist() == [0.0] * 5


def test_lth_takes_the_last_matrix_value_as_poisson_ratio(clean_register):
    # without Krimmer's constants a single value is both the modulus and the last value
    np.testing.assert_array_equal(m.lth(FIB, [EM], 0.5, 1, 0), m.lth(FIB, [EM, EM], 0.5, 1, 0))
    assert errstat() == 0


# ---------------------------------------------------------------- Eshelby tensors

def test_sphere():
    et = m.geteshelbytensor(0, 0.0, 0.3)
    expected = np.zeros((6, 6))
    expected[:3, :3] = 0.047619047619047616
    np.fill_diagonal(expected[:3, :3], 0.5238095238095238)
    expected[3:, 3:] = np.diag([0.47619047619047616] * 3)
    np.testing.assert_allclose(et, expected, rtol=1e-15, atol=1e-17)


def cylinder_closed_form(nu):
    """Mura: S2222 = (5 - 4 nu)/(8 (1 - nu)), S2233 = (4 nu - 1)/(8 (1 - nu)),
    S2211 = nu/(2 (1 - nu)), S2323 = (3 - 4 nu)/(8 (1 - nu)), S1212 = 1/4."""
    d = 8 * (1 - nu)
    et = np.zeros((6, 6))
    et[1, 1] = et[2, 2] = (5 - 4 * nu) / d
    et[1, 2] = et[2, 1] = (4 * nu - 1) / d
    et[1, 0] = et[2, 0] = nu / (2 * (1 - nu))
    et[3, 3] = 2 * (3 - 4 * nu) / d
    et[4, 4] = et[5, 5] = 0.5
    return et


@pytest.mark.parametrize("nu", [0.0, 0.2, 0.3, 0.45])
def test_circular_cylinder_closed_forms(nu):
    expected = cylinder_closed_form(nu)
    np.testing.assert_allclose(m.geteshelbytensor(1, 1.0, nu), expected, rtol=1e-14, atol=1e-16)
    # the same cylinder in an isotropic host given by its stiffness
    c = stiffness(iso_props(3e3, nu))
    np.testing.assert_allclose(m.geteshelbytensor(11, 1.0, 0.49, c), expected, rtol=1e-13,
                               atol=1e-15)


def test_elliptic_cylinder_ratio():
    # cross-section semi-axes a2 = 2 a3: the shear entries split as alpha/(1 + alpha)
    et = m.geteshelbytensor(1, 2.0, 0.3)
    assert et[4, 4] == pytest.approx(2 / 3) and et[5, 5] == pytest.approx(1 / 3)
    assert not et[0].any()
    c = stiffness(iso_props(3e3, 0.3))
    et11 = m.geteshelbytensor(11, 2.0, 0.3, c)
    assert et11[4, 4] == et[4, 4] and et11[5, 5] == et[5, 5]


def prolate_closed_form(a, nu):
    """The closed form of the prolate spheroid evaluated with 60 decimal digits."""
    with localcontext() as ctx:
        ctx.prec = 60
        a, nu = Decimal(a), Decimal(nu)
        d = a * a - 1
        mm, q = 1 - 2 * nu, 1 / (4 * (1 - nu))
        g = a / (d * d.sqrt()) * (a * d.sqrt() - (a + d.sqrt()).ln())
        et = np.zeros((6, 6))
        et[0, 0] = 2 * q * (mm + (3 * a * a - 1) / d - (mm + 3 * a * a / d) * g)
        et[1, 1] = et[2, 2] = 3 * a * a / (8 * (1 - nu) * d) + q * (mm - 9 / (4 * d)) * g
        et[1, 2] = et[2, 1] = q * (a * a / (2 * d) - (mm + 3 / (4 * d)) * g)
        et[1, 0] = et[2, 0] = -2 * q * a * a / d + q * (3 * a * a / d - mm) * g
        et[0, 1] = et[0, 2] = -2 * q * (mm + 1 / d) + 2 * q * (mm + 3 / (2 * d)) * g
        et[3, 3] = 2 * q * (a * a / (2 * d) + (mm - 3 / (4 * d)) * g)
        et[4, 4] = et[5, 5] = 2 * q * (mm - (a * a + 1) / d - (mm - 3 * (a * a + 1) / d) * g / 2)
    return et


@pytest.mark.parametrize("a", [1 + 1e-12, 1 + 1e-8, 1 + 1e-4, 1.01, 1.1, 1.118, 1.1181, 1.2,
                               2.0, 5.0, 50.0, 1e4])
@pytest.mark.parametrize("nu", [0.1, 0.3, 0.45])
def test_prolate_spheroid_against_its_closed_form(a, nu):
    np.testing.assert_allclose(m.geteshelbytensor(2, a, nu), prolate_closed_form(a, nu),
                               rtol=1e-13, atol=1e-15)


def test_prolate_spheroid_is_continuous_through_the_sphere():
    sphere = m.geteshelbytensor(0, 0.0, 0.3)
    np.testing.assert_allclose(m.geteshelbytensor(2, 1.0, 0.3), sphere, rtol=1e-14, atol=1e-15)
    for delta in (1e-15, 1e-12, 1e-9, 1e-6):
        diff = m.geteshelbytensor(2, 1 + delta, 0.3) - sphere
        assert np.abs(diff).max() <= 2 * delta + 1e-15


def test_prolate_spheroid_tends_to_the_cylinder():
    et = m.geteshelbytensor(2, 1e4, 0.3)
    assert et[1, 1] == pytest.approx(0.678571, abs=1e-6)
    assert et[1, 0] == pytest.approx(0.214286, abs=1e-6)
    assert et[3, 3] == pytest.approx(0.642857, abs=1e-6)
    assert et[4, 4] == pytest.approx(0.5, abs=1e-6)
    np.testing.assert_allclose(et, m.geteshelbytensor(1, 1.0, 0.3), atol=1e-6)


def test_penny_shaped_crack():
    et = m.geteshelbytensor(3, 0.1, 0.3)
    assert et[2, 2] == pytest.approx(0.9551201049487172, rel=1e-15)
    assert et[3, 3] == et[4, 4] == pytest.approx(0.8092604460320483, rel=1e-15)
    assert et[5, 5] == pytest.approx(0.12902969827243793, rel=1e-15)


@pytest.mark.parametrize("incltype,c_m,message", [
    (5, None, "Unknown kind of Eshelby tensor request."),
    (-1, None, "Unknown kind of Eshelby tensor request."),
    (11, None, "Illegal host stiffness matrix in GetEshelbyTensor."),
])
def test_eshelby_requests_that_are_refused(clean_register, incltype, c_m, message):
    np.testing.assert_array_equal(m.geteshelbytensor(incltype, 1.0, 0.3, c_m), np.zeros((6, 6)))
    assert errstat() == -3
    assert errtext() == message


# ---------------------------------------------------------------- concentration tensors

CM = stiffness(iso_props(EM, NUM))
CF = stiffness(FIB)
E_CYL = m.geteshelbytensor(1, 1.0, NUM)


@pytest.mark.parametrize("atype", [0, 1, 2, 3, 4, 5])
def test_equal_phases_concentrate_nothing(atype):
    a = m.getstrainconcentrationtensor(E_CYL, CM, CM, 0.4, atype)
    np.testing.assert_allclose(a, np.eye(6), atol=1e-14)


@pytest.mark.parametrize("atype", [1, 3])
def test_mori_tanaka_of_the_whole_volume_is_the_identity(atype):
    for vinc in (1.0, 1.7):
        a = m.getstrainconcentrationtensor(E_CYL, CF, CM, vinc, atype)
        np.testing.assert_allclose(a, np.eye(6), atol=1e-12)


def concentration_by_formula(et, cinc, cm, phi, atype):
    inv, i = np.linalg.inv, np.eye(6)
    dil = inv(i + et @ inv(cm) @ (cinc - cm))
    if atype == 0:
        return dil
    if atype in (1, 3):
        return dil @ inv((1 - phi) * i + phi * dil)
    b = i + et @ inv(cinc) @ (cm - cinc)
    if atype == 2:
        return b @ inv((1 - phi) * i + phi * b)
    if atype == 4:
        return inv(i + (1 - phi) * et @ inv(cm) @ (cinc - cm))
    f = (phi + phi**2) / 2  # Lielens: the dilute tensors of both phases as hosts interpolated
    ah = inv((1 - f) * (i + et @ inv(cm) @ (cinc - cm)) + f * inv(b))
    return ah @ inv((1 - phi) * i + phi * ah)


@pytest.mark.parametrize("atype", [0, 1, 2, 3, 4, 5])
def test_concentration_tensors_by_formula(atype):
    et = cylinder_closed_form(NUM)
    np.testing.assert_allclose(m.getstrainconcentrationtensor(et, CF, CM, 0.4, atype),
                               concentration_by_formula(et, CF, CM, 0.4, atype), rtol=1e-12,
                               atol=1e-14)


@pytest.mark.parametrize("atype", [6, -1])
def test_unknown_scheme_is_refused(clean_register, atype):
    a = m.getstrainconcentrationtensor(E_CYL, CF, CM, 0.4, atype)
    np.testing.assert_array_equal(a, np.zeros((6, 6)))
    assert errstat() == -2
    assert errtext() == "Unknown AType. Please check your input"


def hashin_shtrikman(k1, g1, k2, g2, phi2):
    """Bounds with phase 1 as comparison medium, phase 2 of fraction phi2."""
    k = k1 + phi2 / (1 / (k2 - k1) + 3 * (1 - phi2) / (3 * k1 + 4 * g1))
    g = g1 + phi2 / (1 / (g2 - g1) + 6 * (1 - phi2) * (k1 + 2 * g1) / (5 * g1 * (3 * k1 + 4 * g1)))
    return k, g


@pytest.mark.parametrize("phi", [0.1, 0.35, 0.6])
def test_mori_tanaka_of_spheres_is_the_hashin_shtrikman_bound(phi):
    ef, nuf = 70e3, 0.2  # glass spheres in epoxy
    cf = stiffness(iso_props(ef, nuf))
    km, kf = EM / (3 * (1 - 2 * NUM)), ef / (3 * (1 - 2 * nuf))
    gf = ef / (2 * (1 + nuf))
    # the matrix as comparison medium: the lower bound (the matrix is the softer phase)
    a = m.getstrainconcentrationtensor(m.geteshelbytensor(0, 0.0, NUM), cf, CM, phi, 3)
    c = m.getaveragescfromdualequation(a, cf, CM, phi)
    np.testing.assert_allclose(bulk_shear(c), hashin_shtrikman(km, GM, kf, gf, phi), rtol=1e-12)
    # the inclusion as comparison medium (its own Eshelby tensor): the upper bound
    a = m.getstrainconcentrationtensor(m.geteshelbytensor(0, 0.0, nuf), cf, CM, phi, 2)
    c = m.getaveragescfromdualequation(a, cf, CM, phi)
    np.testing.assert_allclose(bulk_shear(c), hashin_shtrikman(kf, gf, km, GM, 1 - phi),
                               rtol=1e-12)


def test_dual_equation_by_hand():
    b = np.arange(36.0).reshape(6, 6) / 40
    np.testing.assert_allclose(m.getaveragescfromdualequation(b, CF, CM, 0.3),
                               CM + 0.3 * (CF - CM) @ b, rtol=1e-14)
    np.testing.assert_array_equal(m.getaveragescfromdualequation(b, CF, CM, 1.5),
                                  m.getaveragescfromdualequation(b, CF, CM, 1.0))


# ---------------------------------------------------------------- compliances

def test_compliance_and_engineering_constants_round_trip():
    e1, e2, g12, g23, nu12 = FIB
    eng = m.getengconstsfromcompliancematrix(m.getvoigtcompliancematrix(FIB))
    np.testing.assert_allclose(eng, [e1, e2, e2, g23, g12, g12, e2 / (2 * g23) - 1, nu12, nu12],
                               rtol=1e-14)


@pytest.mark.parametrize("vf,vinter", [
    (0.5, 0.1), (0.2, 0.6),
    (1.2, -0.1), (-0.2, 0.5),  # shares of the bundle above 1 and below 0 weight it as they are
])
def test_fibre_bundle_by_mori_tanaka(vf, vinter):
    sf, si = m.getvoigtcompliancematrix(FIB), m.getvoigtcompliancematrix(iso_props(1e3, 0.4))
    cf, ci = np.linalg.inv(sf), np.linalg.inv(si)
    r = 1 - vinter / (vf + vinter)
    phi = min(max(r, 0.0), 1.0)  # the concentration tensor clamps its fraction
    dil = np.linalg.inv(np.eye(6) + cylinder_closed_form(0.4) @ np.linalg.inv(ci) @ (cf - ci))
    a = dil @ np.linalg.inv((1 - phi) * np.eye(6) + phi * dil)
    np.testing.assert_allclose(m.getfiberbundlecompliancematrix(sf, si, vf, vinter),
                               np.linalg.inv(ci + r * (cf - ci) @ a), rtol=1e-11, atol=1e-20)


def test_fibre_bundle_of_a_fibre_coated_with_itself():
    sf = m.getvoigtcompliancematrix(iso_props(70e3, 0.22))
    np.testing.assert_allclose(m.getfiberbundlecompliancematrix(sf, sf, 0.5, 0.1), sf,
                               rtol=1e-12, atol=1e-20)


@pytest.mark.parametrize("vv", [0.02, 0.1, 0.3])
def test_spherical_voids_give_the_upper_bound_of_a_porous_resin(vv):
    sm = m.getvoigtcompliancematrix(iso_props(EM, NUM))
    c = np.linalg.inv(m.getporousresincompliancematrix(sm, vv, 0))
    km = EM / (3 * (1 - 2 * NUM))
    np.testing.assert_allclose(bulk_shear(c), hashin_shtrikman(km, GM, 0.0, 0.0, vv), rtol=1e-12)


def test_void_spectrum():
    sm = m.getvoigtcompliancematrix(iso_props(EM, NUM))
    np.testing.assert_allclose(m.getporousresincompliancematrix(sm, 0.0, 1), sm, rtol=1e-13,
                               atol=1e-20)
    np.testing.assert_allclose(m.getporousresincompliancematrix(sm, 0.0, 0), sm, rtol=1e-13,
                               atol=1e-20)
    moduli = []
    for vv in (0.02, 0.05, 0.1):
        s = m.getporousresincompliancematrix(sm, vv, 1)
        eng = m.getengconstsfromcompliancematrix(s)
        np.testing.assert_allclose(eng[:3], eng[0], rtol=1e-14)  # projected on E, G and nu
        np.testing.assert_allclose(eng[3:6], eng[3], rtol=1e-14)
        np.testing.assert_allclose(eng[7:9], eng[7], rtol=1e-14)
        moduli.append(eng[0])
    # flat voids and cracks weaken more than spheres of the same volume
    sphere = m.getengconstsfromcompliancematrix(m.getporousresincompliancematrix(sm, 0.1, 0))
    assert moduli[0] > moduli[1] > moduli[2] and moduli[2] < sphere[0]


def test_phase_reduction():
    sf, sm = m.getphasereduction(FIB, MAT, 0.6)
    np.testing.assert_array_equal(sf, m.getvoigtcompliancematrix(FIB))
    np.testing.assert_array_equal(sm, m.getvoigtcompliancematrix(iso_props(EM, NUM)))
    sf, sm = m.getphasereduction(FIB, MAT, 0.6, 0.2, 0.3)
    assert not sf.any() and not sm.any()
    # an interphase without constants of its own takes the resin's
    np.testing.assert_array_equal(m.getphasereduction(FIB, MAT, 0.5, 0.0, 0.1, [0.0, 0.0])[0],
                                  m.getphasereduction(FIB, MAT, 0.5, 0.0, 0.1, MAT)[0])
    sf, sm = m.getphasereduction(FIB, MAT, 0.5, 0.05, 0.1, [1e3, 0.4], 7)
    np.testing.assert_array_equal(sm, m.getporousresincompliancematrix(
        m.getvoigtcompliancematrix(iso_props(EM, NUM)), 0.05, 1))


# ---------------------------------------------------------------- mean-field schemes

SCHEMES = {
    "voigt": lambda *a, **k: m.voigt(*a, **k),
    "reuss": lambda *a, **k: m.reuss(*a, **k),
    "dilute": lambda *a, **k: m.dilute(*a, **k),
    "moritanaka": lambda *a, **k: m.moritanaka(*a, **k),
    "chow": lambda *a, **k: m.chow(*a, **k),
    "lielens": lambda *a, **k: m.lielens(*a, **k),
    "hs lower": lambda *a, **k: m.hashinshtrikman(*a[:3], 0, **k),
    "hs upper": lambda *a, **k: m.hashinshtrikman(*a[:3], 1, **k),
    "mura": lambda *a, **k: m.mura(*a, **k),
    "cscs": lambda *a, **k: m.cscs(*a, **k),
    "huang": lambda *a, **k: m.huang(*a, **k),
    "cumulative": lambda *a, **k: m.cumulative(*a, **k),
}


@pytest.mark.parametrize("name", list(SCHEMES))
def test_schemes_without_fibres_give_the_resin(name):
    out = SCHEMES[name](FIB, MAT, 0.0)
    np.testing.assert_allclose(out[:9], iso_constants(EM, NUM), rtol=1e-12)
    if len(out) == 12:
        assert not out[9:].any()


@pytest.mark.parametrize("name", [s for s in SCHEMES if s not in ("huang", "cumulative")])
def test_schemes_of_equal_phases_give_their_constants(name):
    glass = iso_props(70e3, 0.22)
    np.testing.assert_allclose(SCHEMES[name](glass, [70e3, 0.22], 0.45),
                               iso_constants(70e3, 0.22), rtol=1e-12)


@pytest.mark.parametrize("name", list(SCHEMES))
def test_schemes_of_fractions_above_one_give_zeros(name):
    out = SCHEMES[name](FIB, MAT, 0.6, vvoid=0.2, vint=0.3)
    assert not out.any()


@pytest.mark.parametrize("vf", [0.2, 0.45])
@pytest.mark.parametrize("name", ["moritanaka", "chow", "lielens", "hs lower", "mura", "cscs",
                                  "huang"])
def test_moduli_lie_between_reuss_and_voigt(name, vf):
    lower, upper = m.reuss(FIB, MAT, vf)[:6], m.voigt(FIB, MAT, vf)[:6]
    moduli = SCHEMES[name](FIB, MAT, vf)[:6]
    assert (moduli >= lower * (1 - 1e-14)).all() and (moduli <= upper * (1 + 1e-14)).all(), (
        lower, moduli, upper)


def test_dilute_estimate_within_the_bounds_at_low_fractions():
    lower, upper = m.reuss(FIB, MAT, 0.1)[:6], m.voigt(FIB, MAT, 0.1)[:6]
    moduli = m.dilute(FIB, MAT, 0.1)[:6]
    assert (moduli >= lower).all() and (moduli <= upper).all()


def test_hashin_shtrikman_lower_is_mori_tanaka_and_below_the_upper():
    np.testing.assert_array_equal(m.hashinshtrikman(FIB, MAT, 0.5, 0), m.moritanaka(FIB, MAT, 0.5))
    lower, upper = m.hashinshtrikman(FIB, MAT, 0.5, 0), m.hashinshtrikman(FIB, MAT, 0.5, 1)
    assert (upper[1:6] > lower[1:6]).all()


def test_schemes_take_interphase_voids_and_cross_section():
    base = m.moritanaka(FIB, MAT, 0.5)
    assert m.moritanaka(FIB, MAT, 0.5, vvoid=0.05)[1] < base[1]
    assert m.moritanaka(FIB, MAT, 0.5, vvoid=0.05, voidtype=1)[1] < base[1]
    soft = m.moritanaka(FIB, MAT, 0.45, vint=0.05, interprops=[500.0, 0.4])
    assert soft[1] < base[1]
    flat = m.moritanaka(FIB, MAT, 0.5, yzratio=3.0)
    assert flat[1] > flat[2]  # the wide side of the fibres along 2 stiffens that direction


def test_cscs_with_one_iteration_is_the_dilute_estimate():
    np.testing.assert_allclose(m.cscs(FIB, MAT, 0.5, maxit=1), m.dilute(FIB, MAT, 0.5),
                               rtol=1e-13)


def test_cscs_converges():
    np.testing.assert_allclose(m.cscs(FIB, MAT, 0.5),
                               m.cscs(FIB, MAT, 0.5, maxit=10000, threshold=0.0), rtol=1e-7)
    # a threshold that no change can meet ends at the fixed point
    np.testing.assert_array_equal(m.cscs(FIB, MAT, 0.5, maxit=2**31 - 1, threshold=-1.0),
                                  m.cscs(FIB, MAT, 0.5, maxit=10000, threshold=0.0))


@pytest.mark.parametrize("maxit", [0, -3])
def test_cscs_without_iterations_is_refused(clean_register, maxit):
    assert not m.cscs(FIB, MAT, 0.5, maxit=maxit).any()
    assert errstat() == -3


def test_huang_bridging_model():
    vf = 0.6
    hg = m.huang(FIB, MAT, vf)
    # a11 = Em/Ef1 makes the axial modulus the rule of mixtures
    assert hg[0] == pytest.approx(vf * FIB[0] + (1 - vf) * EM, rel=1e-13)
    np.testing.assert_array_equal(m.huang(FIB, MAT, vf, cp=[0.5, 0.5]), hg)
    np.testing.assert_array_equal(m.huang(FIB, MAT, vf, cp=[3.0, -1.0]),
                                  m.huang(FIB, MAT, vf, cp=[1.0, 0.0]))
    # alpha = beta = 1: the shear stresses are carried equally (the Reuss shear moduli)
    equal = m.huang(FIB, MAT, vf, cp=[1.0, 1.0])
    reuss = m.reuss(FIB, MAT, vf)
    np.testing.assert_allclose(equal[3:6], reuss[3:6], rtol=1e-12)
    strengths = m.huang(FIB, MAT, vf, strengthprops=[3500.0, 1000.0, 60.0, 90.0])
    np.testing.assert_array_equal(strengths[:9], hg[:9])
    assert (strengths[9:] > 0).all()


def test_ud_strength_from_a_bridging_matrix_by_hand():
    phi, mm = 0.5, 0.5
    ef1, ef2, gf12, sfu = 200e3, 10e3, 5e3, 2000.0
    emt, smy, smu = 1e3, 50.0, 80.0
    b = np.diag([0.02, 0.4, 0.4, 0.4, 0.3, 0.3])
    d = [phi * ef1 + mm * emt, phi * ef2 + 0.5 * mm * (ef2 + emt),
         3 * phi * gf12 + 0.5 * mm * (emt + 3 * gf12)]
    fy = [ef1 / d[0], ef2 / d[1], 3 * gf12 / d[2]]
    my = [emt / d[0], 0.5 * (ef2 + emt) / d[1], 0.5 * (emt + 3 * gf12) / d[2]]
    yields = [smy, smy, smy / math.sqrt(3)]
    expected = []
    for bn, f, g, y in zip([0.02, 0.4, 0.3], fy, my, yields):
        fe = 1 / (mm * bn + phi)
        me = bn * fe
        t = min(sfu / fe, y / me)
        expected.append(min((sfu - t * (fe - f)) / f, (smu - t * (me - g)) / g))
    ud = m.getudstrengthfrombridgingmatrix(b, [ef1, ef2, gf12, sfu], [0, 0, emt, smy, smu], phi)
    np.testing.assert_allclose(ud, expected, rtol=1e-14)


def engineering(s):
    e = 1 / np.diag(s)
    return np.concatenate([e, [-s[1, 2] * e[1], -s[0, 2] * e[0], -s[0, 1] * e[0]]])


def test_mura_by_formula():
    phi, et = 0.55, cylinder_closed_form(NUM)
    c = CM @ np.linalg.inv(CM + (phi - 1) * (CM - CF) @ et) @ (
        CM - (CM - CF) @ ((1 - phi) * et + phi * np.eye(6)))
    np.testing.assert_allclose(m.mura(FIB, MAT, phi), engineering(np.linalg.inv(c)), rtol=1e-12)


def test_cumulative_by_its_steps():
    phi, ryz, strength = 0.55, 1.5, [3500.0, 1000.0, 60.0, 90.0]
    inv, i, phim = np.linalg.inv, np.eye(6), 1 - phi
    sf, sm = inv(CF), inv(CM)
    # dilute tensors of the circular and of the elliptic cylinder as bridging matrices
    b1 = CF @ concentration_by_formula(cylinder_closed_form(NUM), CF, CM, phi, 0) @ sm
    b2 = CF @ concentration_by_formula(m.geteshelbytensor(1, ryz, NUM), CF, CM, phi, 0) @ sm
    mt, lh = m.moritanaka(FIB, MAT, phi), m.lth(FIB, MAT, phi, 0, 1)
    nmt, nlth = m.foye([mt[0], mt[8]], MAT), m.foye([lh[0], lh[4]], MAT)
    j0 = inv(b1)
    j = j0.copy()
    ll, n = j0[0, 0] * mt[0] / lh[0], j0[1, 1] * mt[1] / lh[1]
    q = j0[1, 2] * (nmt * phim + FIB[4] * phi) / (nlth * phim + FIB[4] * phi)
    da, db = sf[0, 0] - sm[0, 0], sf[0, 1] - sm[0, 1]
    r = (((phim * n + phi) * db * (ll - n) - (phi + phim * ll) * db * q + phim * db * q * q)
         / ((phim * n + phi) * da - phim * da * q))
    j[0, 0], j[1, 1], j[2, 2] = ll, n, n
    j[3, 3] = j0[3, 3] * mt[1] / lh[1]
    j[4, 4] = j[5, 5] = j0[4, 4] * mt[5] / lh[2]
    j[1, 2] = j[2, 1] = q
    j[0, 1] = j[0, 2] = r
    j[1, 0] = j[2, 0] = mt[0] / mt[1] * j0[0, 1] * j0[1, 0] / (lh[0] / lh[1] * r)
    jp = inv(b2) @ j @ b1
    s = (phi * sf + phim * sm @ jp) @ inv(phi * i + phim * jp)
    ud = m.getudstrengthfrombridgingmatrix(j, FIB[:3] + strength[:1], [EM, 0.0] + strength[1:],
                                           phi)
    got = m.cumulative(FIB, MAT, phi, strengthprops=strength, yzratio=ryz, rvetype=0)
    np.testing.assert_allclose(got, np.concatenate([engineering(s), ud]), rtol=1e-10)


def test_cumulative_model():
    ch = m.cumulative(FIB, MAT, 0.6)
    assert not ch[9:].any()
    mt = m.moritanaka(FIB, MAT, 0.6)
    np.testing.assert_allclose(ch[:9], mt, rtol=0.1)  # a correction of Mori-Tanaka
    strengths = m.cumulative(FIB, MAT, 0.6, strengthprops=[3500.0, 1000.0, 60.0, 90.0])
    np.testing.assert_array_equal(strengths[:9], ch[:9])
    assert (strengths[9:] > 0).all()
    assert m.cumulative(FIB, MAT, 0.6, rvetype=0)[1] != ch[1]


def test_generalized_mori_tanaka():
    phi = 0.4
    a = m.getstrainconcentrationtensor(E_CYL, CF, CM, phi, 3)
    two_phase = m.getaveragescfromdualequation(a, CF, CM, phi)
    one = m.generalizedmoritanaka(CF[:, :, None], E_CYL[:, :, None], [phi], CM)
    np.testing.assert_allclose(one, two_phase, rtol=1e-12, atol=1e-9)
    halves = m.generalizedmoritanaka(np.dstack([CF, CF]), np.dstack([E_CYL, E_CYL]),
                                     [phi / 2, phi / 2], CM)
    np.testing.assert_allclose(halves, one, rtol=1e-12, atol=1e-9)


def test_generalized_mori_tanaka_of_the_host_alone():
    sphere = m.geteshelbytensor(0, 0.0, NUM)
    # the inclusions have the host's stiffness: the host comes back (not f0 c0)
    same = m.generalizedmoritanaka(np.dstack([CM, CM]), np.dstack([sphere, E_CYL]), [0.2, 0.3], CM)
    np.testing.assert_allclose(same, CM, rtol=1e-12, atol=1e-9)
    np.testing.assert_allclose(
        m.generalizedmoritanaka(CF[:, :, None], sphere[:, :, None], [0.0], CM), CM, rtol=1e-14)
    np.testing.assert_array_equal(
        m.generalizedmoritanaka(np.zeros((6, 6, 0)), np.zeros((6, 6, 0)), np.zeros(0), CM), CM)
