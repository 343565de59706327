"""Stiffness degradation: discounts against hand-worked values, regularisations against a
backward-Euler step, the factor tables against their rules, Matzenmiller against numpy's
inverse of the degraded compliance, the fracture-plane models against tractions and stresses
rotated in numpy, and TensorDegradation against a numpy.einsum-rotated tensor."""
import math

import numpy as np
import pytest

import _vorlen
from conftest import errstat, errtext

deg = _vorlen.degradation
AZ = 1e-20


@pytest.fixture(autouse=True)
def register(clean_register):
    yield


CALL_FORMS = [
    ("viscouseregularisation", "dviscouse = viscouseregularisation(dold,dnew,eta,dt)"),
    ("suddendegradation",
     "degpeprops,degpsprops,de,df,g_f,g_m = suddendegradation(degpeprops,degpsprops,peprops,"
     "psprops,de,df,g_f,g_m,ttol,degrfac,[nm,overwrite_degpeprops,overwrite_degpsprops,"
     "overwrite_de,overwrite_df])"),
    ("suddendegradation_viscouse",
     "degpeprops,degpsprops,de,df,g_f,g_m = suddendegradation_viscouse(degpeprops,degpsprops,"
     "peprops,psprops,de,df,g_f,g_m,ttol,degrfac,degr_old,eta,dt,[nm,overwrite_degpeprops,"
     "overwrite_degpsprops,overwrite_de,overwrite_df])"),
    ("isotropicdegradation", "degpeprops = isotropicdegradation(peprops,d,life,degr)"),
    ("isotropicdegradation_viscouse",
     "degpeprops,degr_old = isotropicdegradation_viscouse(peprops,d,life,degr,eta,dt)"),
    ("falcomdegradation", "d = falcomdegradation(dds,rdisc,degrid,plyistape,[fa])"),
    ("getnyedegradationmatrix", "d = getnyedegradationmatrix(degrf,ntens,[psflag])"),
    ("getaccumulateddamage",
     "getaccumulateddamage = getaccumulateddamage(degr,nodmg,[ndegr,nply])"),
    ("matzenmillerdegradation", "c_deg = matzenmillerdegradation(propvec,dnorm,d23,d13,d12)"),
    ("degradationfrommodes",
     "w_stat,c_deg = degradationfrommodes(accumulation,[d_modes,moduli,vnu,effort])"),
    ("bogenfelddegradation",
     "d,sdv = bogenfelddegradation(sdv,svoigt,evoigt,charelemlength,props,mode,[nsdv,nprops,"
     "overwrite_sdv])"),
    ("falzondegradationparameters",
     "falzondegradationparameters(stressela,strain,phirad,dsix,epsi,epsu,sigi,gmix,"
     "w_matrixmode,gc,charelemlength)"),
    ("tensordegradation", "cdeg = tensordegradation(csix,angle_r,d,baseid,nn)"),
]


@pytest.mark.parametrize("name, form", CALL_FORMS)
def test_call_form(name, form):
    assert getattr(deg, name).__doc__.splitlines()[0] == form


# ------------------------------------------------------------------------------------------
# Viscous regularisation

@pytest.mark.parametrize("eta, dt", [(0.5, 0.1), (0.01, 1.0), (2.0, 0.0)])
def test_viscous_regularisation_is_a_backward_euler_step(eta, dt):
    dold, dnew = 0.2, 0.9
    d = deg.viscouseregularisation(dold, dnew, eta, dt)
    assert eta * (d - dold) == pytest.approx(dt * (dnew - d), abs=1e-15)
    assert errstat() == 0


@pytest.mark.parametrize("eta, dt, code", [(0.0, 0.1, 0), (0.0, 0.0, 0), (-1.0, 0.1, -3),
                                           (0.5, -0.1, -3), (0.5, -0.5, -3)])
def test_viscous_regularisation_takes_the_new_value(eta, dt, code):
    assert deg.viscouseregularisation(0.2, 0.9, eta, dt) == 0.9
    assert errstat() == code


# ------------------------------------------------------------------------------------------
# Sudden ply discount

PE = np.array([140e3, 10e3, 10e3, 5e3, 5e3, 3.5e3, 0.3, 0.3, 0.45])
PS = np.array([2000.0, -1200.0, 50.0, -200.0, 50.0, -200.0, 80.0, 80.0, 60.0])
TTOL = np.array([1.0, 0.9])


def ply_state(**kw):
    state = dict(degpeprops=PE.copy(), degpsprops=PS.copy(), peprops=PE, psprops=PS,
                 de=np.ones(6), df=np.ones(9), g_f=0.0, g_m=0.0, ttol=TTOL, degrfac=0.1)
    state.update(kw)
    return state


def test_sudden_without_failure_still_follows_the_degraded_values():
    degpe = PE.copy()
    degpe[[0, 1, 4]] *= [0.5, 0.8, 0.25]
    degpe[6:] = 1.0  # Poisson ratios above their limits
    degps = PS.copy()
    degps[[1, 7]] *= [0.5, 0.3]
    pe, ps, de, df, g_f, g_m = deg.suddendegradation(
        **ply_state(degpeprops=degpe, degpsprops=degps, g_f=0.5, g_m=0.2))
    np.testing.assert_allclose(de, [0.5, 0.8, 1, 1, 0.25, 1], rtol=1e-15)
    np.testing.assert_allclose(df, [1, 0.5, 1, 1, 1, 1, 1, 0.3, 1], rtol=1e-15)
    np.testing.assert_allclose(pe[:6], degpe[:6])
    np.testing.assert_allclose(pe[6:], [0.5 * 0.3, 0.5 * 0.3, 0.8 * 0.45], rtol=1e-15)
    np.testing.assert_array_equal(ps, degps)
    assert (g_f, g_m) == (0.5, 0.2)


# What fails: fibre (all constants, all strengths) or inter-fibre (E2..G23, Yt..S23).
@pytest.mark.parametrize("g_f, g_m, nm, fibre, matrix", [
    (1.0, 0.0, None, True, False),
    (0.0, 1.2, None, False, True),
    (1.0, 1.0, None, True, True),
    (0.0, 0.0, [-1.0] * 6, False, False),               # all -1: as absent
    (0.99, 0.99, [0.0, 0.0, 0.95, 0, 0, 0], False, True),  # rlt(3) > ttol(2): inter-fibre only
    (0.0, 0.0, [0.95, 0.0, 0.0, 0, 0, 0], True, False),    # rlt(1) > ttol(2): fibre
    (0.0, 0.0, [0.9, 0.9, 0.9, 0.9, 0.9, 0.9], False, False),  # at the threshold: no failure
])
def test_sudden_discount(g_f, g_m, nm, fibre, matrix):
    kw = {} if nm is None else {"nm": np.array(nm)}
    pe, ps, de, df, gf, gm = deg.suddendegradation(**ply_state(g_f=g_f, g_m=g_m), **kw)
    fe = np.array([0.1 if fibre or (matrix and i > 0) else 1.0 for i in range(6)])
    fs = np.array([0.1 if fibre or (matrix and i > 1) else 1.0 for i in range(9)])
    np.testing.assert_allclose(de, fe, rtol=1e-15)
    np.testing.assert_allclose(df, fs, rtol=1e-15)
    np.testing.assert_allclose(pe[:6], PE[:6] * fe, rtol=1e-15)
    np.testing.assert_allclose(pe[6:], PE[6:] * fe[[0, 0, 1]], rtol=1e-15)
    np.testing.assert_allclose(ps, PS * fs, rtol=1e-15)  # compressive strengths stay negative
    assert gf == (1.0 if fibre else g_f) and gm == (1.0 if matrix else g_m)
    assert errstat() == 0


def test_sudden_discount_with_a_zero_undegraded_value_keeps_its_ratio():
    pe0, ps0 = PE.copy(), PS.copy()
    pe0[2], ps0[4] = 0.0, 0.0
    de, df = np.full(6, 0.7), np.full(9, 0.6)
    degpe, degps = pe0 * 0.5, ps0 * 0.5
    out = deg.suddendegradation(**ply_state(degpeprops=degpe, degpsprops=degps, peprops=pe0,
                                            psprops=ps0, de=de, df=df))
    np.testing.assert_allclose(out[2], [0.5, 0.5, 0.7, 0.5, 0.5, 0.5])
    np.testing.assert_allclose(out[3], [0.5, 0.5, 0.5, 0.5, 0.6, 0.5, 0.5, 0.5, 0.5])
    assert errstat() == -3


def test_sudden_viscous_discount(capfd):
    eta, dt, degr_old = 0.3, 0.1, np.array(0.8)
    de = np.array([1.0, 0.9, 0.7, 0.95, 1.0, 0.8])
    pe, ps, de_out, df, gf, gm = deg.suddendegradation_viscouse(
        **ply_state(de=de, g_f=1.0, g_m=1.0), degr_old=degr_old, eta=eta, dt=dt)
    # Damages relax over dt towards 1 - degrfac: backward Euler from 1 - degr_old and
    # 1 - min(de(2:6)).
    ff = 1 - (eta * 0.2 + dt * 0.9) / (eta + dt)
    iff = 1 - (eta * 0.3 + dt * 0.9) / (eta + dt)
    assert float(degr_old) == pytest.approx(ff, rel=1e-15)
    np.testing.assert_allclose(de_out, [ff] + [iff] * 5, rtol=1e-15)
    np.testing.assert_allclose(pe[0], PE[0] * ff, rtol=1e-15)
    np.testing.assert_allclose(pe[1:6], PE[1:6] * min(ff, iff), rtol=1e-15)
    lines = capfd.readouterr().out.splitlines()
    assert [l.split()[:4] for l in lines] == [
        ["Get", "regularised", "degradation", "factor"], ["Viskose", "degradation", "for", "FF"],
        ["Viskose", "degradation", "for", "IFF"]]
    assert float(lines[1].split()[-1]) == pytest.approx(ff, rel=1e-15)
    assert float(lines[2].split()[-1]) == pytest.approx(iff, rel=1e-15)


# ------------------------------------------------------------------------------------------
# Isotropic discount

@pytest.mark.parametrize("d, life, degr, e, nu", [
    (0.99, 0.5, 0.2, 3000.0, 0.35),    # below 1: nothing changes
    (0.5, 1.0, 0.2, 600.0, 0.0),       # life reached: modulus times degr, Poisson ratio 0
    (1.0, 0.0, 0.2, 600.0, 0.0),
    (2.0, 0.3, 0.2, 600.0, 0.0),       # an exposure of 2 fails once, as 1 does
    (0.3, 7.5, 0.2, 600.0, 0.0),
    (1.5, 0.0, 1.0, 3000.0, 0.35),     # no degradation asked for
])
def test_isotropic_discount(d, life, degr, e, nu):
    out = deg.isotropicdegradation(np.array([3000.0, 0.35, 1.0]), d, life, degr)
    np.testing.assert_allclose(out[:2], [e, nu], rtol=1e-15)


@pytest.mark.parametrize("d, eta, dt", [(1.0, 0.2, 0.1), (1.0, 0.0, 0.1), (0.5, 0.2, 0.1)])
def test_isotropic_viscous_discount_starts_intact(d, eta, dt):
    degr = 0.2
    # The previous factor enters as 0: the damage relaxes from 1 towards 1 - degr.
    degr_v = 1 - (eta * 1.0 + dt * (1 - degr)) / (eta + dt)
    out, degr_old = deg.isotropicdegradation_viscouse(np.array([3000.0, 0.35, 1.0]), d, 0.0,
                                                      degr, eta, dt)
    assert degr_old == pytest.approx(degr_v, rel=1e-15)
    k = 1 if d >= 1 else 0
    np.testing.assert_allclose(out[:2], [3000.0 * (1 - (1 - degr_v) * k), 0.35 * (1 - k)],
                               rtol=1e-14)


# ------------------------------------------------------------------------------------------
# Flag-driven factor table

def flags(*set_flags):
    dds = np.zeros(10)
    for k in set_flags:
        dds[k - 1] = 1.0
    return dds


FIBRE, FIBRE2, MATRIX, DELAML, DELAMU, CORE, BUCKLED, TOTAL, TOTAL2 = 1, 2, 4, 5, 6, 7, 8, 9, 10


def factors(**entries):
    d = np.ones(9)
    for k, v in entries.items():
        for i in k[1:].split("_"):
            d[int(i) - 1] = v
    return d


FA = np.array([0.2, 0.25, 0.4, 0.6])
FALCOM = [
    # degrid, tape, flags, rdisc, expected
    (0, True, (3,), 1.0, np.full(9, AZ)),
    (0, False, (), 0.5, np.ones(9)),
    (1, False, (FIBRE, FIBRE2), 1.0, factors(d1_3=0.2)),
    (1, True, (FIBRE, FIBRE2), 1.0, factors(d1=0.2)),
    (1, True, (FIBRE, CORE), 1.0, np.full(9, AZ)),
    (2, False, (FIBRE, FIBRE2, MATRIX), 1.0, factors(d1_3=0.25)),  # matrix only with delamu
    (2, False, (FIBRE, DELAMU, MATRIX), 1.0, factors(d1=0.25, d5_6=0.6, d2_4_7_8=0.4)),
    (2, True, (FIBRE, DELAMU, MATRIX), 1.0, factors(d1=0.25, d5_6=0.6, d2_3_4_8=0.4)),
    (3, True, (CORE,), 1.0, np.r_[np.full(8, AZ), 0.015]),
    (3, True, (FIBRE, MATRIX), 1.0, np.ones(9)),
    (4, True, (FIBRE,), 1.0, factors(d1=0.5, d2_3_4=0.1)),
    (4, True, (MATRIX,), 1.0, factors(d2_3_4=0.1)),
    (4, False, (FIBRE,), 1.0, factors(d1=0.5, d2_4=0.1)),
    (4, False, (FIBRE, FIBRE2), 1.0, factors(d1_3=0.5, d2_4=0.1)),
    (4, False, (FIBRE2,), 1.0, factors(d3=0.5, d2_4=0.1)),
    (4, False, (MATRIX, CORE), 1.0, factors(d2_4=0.1)),
    (5, False, (FIBRE,), 1.0, factors(d1_2_7=0.5, d4_6=AZ)),
    (5, False, (FIBRE, FIBRE2), 1.0, factors(d1_2_3_7_8=0.5, d4_5_6=AZ)),
    (5, False, (FIBRE2,), 1.0, factors(d2_3_8=0.5, d4_5=AZ)),
    (5, False, (FIBRE, MATRIX), 1.0, factors(d1=0.5, d2_4_5_6_7_8=AZ)),
    (5, True, (FIBRE,), 1.0, factors(d1_2_7=0.5, d4_6=AZ)),
    (5, True, (MATRIX, DELAML), 1.0, factors(d2_3_4_5_6_8=AZ)),
    (5, True, (DELAMU,), 1.0, factors(d5_6=AZ)),
    (5, False, (FIBRE, CORE), 1.0, np.full(9, AZ)),
    # other rule sets: minima of the mode vectors
    (9, True, (FIBRE,), 1.0, np.r_[0.5, np.full(8, AZ)]),
    (9, False, (FIBRE,), 1.0, np.r_[0.5, AZ, 1.0, np.full(6, AZ)]),
    (9, False, (FIBRE, FIBRE2), 1.0, np.r_[0.5, AZ, 0.5, np.full(6, AZ)]),
    (9, False, (FIBRE, FIBRE2), 2.0, np.full(9, AZ)),
    (9, False, (FIBRE2,), 1.0, np.r_[1.0, AZ, 0.5, np.full(6, AZ)]),
    (9, True, (FIBRE2,), 1.0, np.ones(9)),            # no second fibre in a tape
    (9, True, (MATRIX,), 1.0, np.ones(9)),
    (9, False, (TOTAL,), 1.0, np.r_[AZ, AZ, 1.0, np.full(6, AZ)]),
    (9, False, (TOTAL2,), 1.0, np.r_[1.0, np.full(8, AZ)]),
    (-1, True, (CORE,), 1.0, np.r_[np.full(8, AZ), 0.015]),
    # buckled sub-laminate
    (9, True, (BUCKLED,), 0.5, np.full(9, 0.5)),
    (1, True, (FIBRE, BUCKLED), 0.5, factors(d1=0.1) * 0.5),
    (1, True, (FIBRE, BUCKLED), 0.0, np.zeros(9)),
    (1, True, (FIBRE, BUCKLED), 1.5, factors(d1=0.2)),
]


@pytest.mark.parametrize("degrid, tape, set_flags, rdisc, expected", FALCOM)
def test_falcom_rules(degrid, tape, set_flags, rdisc, expected):
    fa = FA.copy()
    if rdisc == 0.5 and FIBRE in set_flags:
        fa[0] = 0.1
    d = deg.falcomdegradation(flags(*set_flags), rdisc, degrid, tape, fa=fa)
    np.testing.assert_allclose(d, expected, rtol=1e-15, atol=0)


def test_falcom_default_factors_and_intact_ply():
    np.testing.assert_allclose(deg.falcomdegradation(flags(FIBRE, FIBRE2), 1.0, 1, False),
                               factors(d1_3=0.3))
    np.testing.assert_array_equal(deg.falcomdegradation(np.zeros(10), 0.0, 0, True), np.ones(9))


@pytest.mark.parametrize("degrid", [6, 42, -7])
@pytest.mark.parametrize("tape", [True, False])
def test_falcom_delamination_outside_the_rule_sets_is_defined(degrid, tape):
    d = deg.falcomdegradation(flags(DELAMU, MATRIX), 1.0, degrid, tape)
    assert np.all((d >= AZ) & (d <= 1.0))
    again = deg.falcomdegradation(flags(DELAMU), 1.0, degrid, tape)
    np.testing.assert_array_equal(d, again)


# ------------------------------------------------------------------------------------------
# Factor matrix

DEGRF = np.arange(1.0, 10.0) / 10


@pytest.mark.parametrize("ntens, psflag, entries", [
    (6, 1, {(0, 0): 1, (0, 1): 2, (1, 0): 2, (1, 1): 3, (3, 3): 4, (4, 4): 5, (5, 5): 6,
            (0, 2): 7, (2, 0): 7, (1, 2): 8, (2, 1): 8, (2, 2): 9}),
    (6, 0, {(0, 0): 1, (0, 1): 2, (1, 0): 2, (1, 1): 3, (3, 3): 4}),
    (4, 1, {(0, 0): 1, (0, 1): 2, (1, 0): 2, (1, 1): 3, (3, 3): 4, (0, 2): 7, (2, 0): 7,
            (1, 2): 8, (2, 1): 8, (2, 2): 9}),
    (4, 0, {(0, 0): 1, (0, 1): 2, (1, 0): 2, (1, 1): 3, (3, 3): 4}),
    (3, 0, {(0, 0): 1, (0, 1): 2, (1, 0): 2, (1, 1): 3, (2, 2): 4}),
])
def test_nye_factor_matrix(ntens, psflag, entries):
    expected = np.ones((ntens, ntens))
    for (i, j), k in entries.items():
        expected[i, j] = DEGRF[k - 1]
    np.testing.assert_array_equal(deg.getnyedegradationmatrix(DEGRF, ntens, psflag=psflag),
                                  expected)


@pytest.mark.parametrize("ntens", [5, 2])
def test_nye_factor_matrix_of_an_unsupported_dimension(ntens):
    np.testing.assert_array_equal(deg.getnyedegradationmatrix(DEGRF, ntens),
                                  np.ones((ntens, ntens)))
    assert errstat() == -2
    assert errtext() == "Unsupported dimension in GetNyeDegradationMatrix"


# ------------------------------------------------------------------------------------------
# Accumulated damage

@pytest.mark.parametrize("degr, nodmg, expected", [
    (np.zeros((4, 3)), 0.0, 0.0),
    (np.ones((4, 3)), 0.0, 1.0),
    (np.array([[0.9, 0.99], [0.0, 1.0]]), 0.0, ((1 + 2) / 20 / 2 + (0 + 1) / 2) / 2),
    (np.array([[50.0, 5.0, 500.0]]), 500.0, (1 / 20 + 2 / 20 + 0) / 3),
    (np.array([[0.0], [1e-30]]), 2.0, 1.0),
])
def test_accumulated_damage(degr, nodmg, expected):
    assert deg.getaccumulateddamage(np.asfortranarray(degr), nodmg) == pytest.approx(
        expected, rel=1e-14, abs=1e-15)


@pytest.mark.parametrize("shape", [(0, 3), (4, 0)])
def test_accumulated_damage_of_an_empty_table(shape):
    assert deg.getaccumulateddamage(np.zeros(shape, order="F"), 0.0) == 0.0
    assert errstat() == -3


# ------------------------------------------------------------------------------------------
# Matzenmiller

PROPS = np.array([140e3, 9.5e3, 9.0e3, 3.2e3, 4.8e3, 5.1e3, 0.45, 0.28, 0.31])


def matzenmiller_numpy(props, dnorm, d23, d13, d12):
    e = props[:3]
    g23, g13, g12 = props[3:6]
    nu23, nu13, nu12 = props[6:]
    a = 1 - np.asarray(dnorm)
    s = np.array([[1 / (a[0] * e[0]), -nu12 / e[0], -nu13 / e[0]],
                  [-nu12 / e[0], 1 / (a[1] * e[1]), -nu23 / e[1]],
                  [-nu13 / e[0], -nu23 / e[1], 1 / (a[2] * e[2])]])
    c = np.zeros((6, 6))
    c[:3, :3] = np.linalg.inv(s)
    c[3, 3], c[4, 4], c[5, 5] = 2 * (1 - d23) * g23, 2 * (1 - d13) * g13, 2 * (1 - d12) * g12
    return c


@pytest.mark.parametrize("dnorm, d23, d13, d12", [
    ([0.0, 0.0, 0.0], 0.0, 0.0, 0.0),
    ([0.3, 0.6, 0.1], 0.5, 0.2, 0.7),
    ([0.95, 0.0, 0.99], 1.0, 0.0, 0.4),
])
def test_matzenmiller_is_the_inverse_of_the_degraded_compliance(dnorm, d23, d13, d12):
    c = deg.matzenmillerdegradation(PROPS, np.array(dnorm), d23, d13, d12)
    ref = matzenmiller_numpy(PROPS, dnorm, d23, d13, d12)
    np.testing.assert_allclose(c, ref, rtol=1e-12, atol=1e-9 * PROPS[0])
    assert errstat() == 0


def test_matzenmiller_with_a_broken_fibre_direction():
    c = deg.matzenmillerdegradation(PROPS, np.array([1.0, 0.2, 0.0]), 0.0, 0.0, 0.0)
    assert not c[0].any() and not c[:, 0].any()
    assert c[1, 1] > 0 and c[2, 2] > 0


@pytest.mark.parametrize("props", [
    np.r_[0.0, PROPS[1:]],
    np.r_[PROPS[0], 0.0, PROPS[2:]],
    np.array([1.0, 1.0, 1.0, 0.3, 0.3, 0.3, 0.5, 0.5, 0.5]),  # incompressible: D = 0
])
def test_matzenmiller_without_a_stiffness(props):
    c = deg.matzenmillerdegradation(props, np.zeros(3), 0.0, 0.0, 0.0)
    np.testing.assert_array_equal(c, np.zeros((6, 6)))
    assert errstat() == -3


# ------------------------------------------------------------------------------------------
# Mode coupling

def test_mode_coupling_of_mode_one():
    expected = [1, 0.5, 0, 0, 0, 0, 1, 0, 1]
    for acc in (True, False):
        w, _ = deg.degradationfrommodes(acc, d_modes=np.eye(9)[0])
        np.testing.assert_array_equal(w, expected)


def test_mode_coupling_sum_and_maximum():
    d_modes = np.array([0.0, 0.0, 0.4, 0.6, 0.0, 0.3, 0.0, 0.0, 0.2])
    w_sum, _ = deg.degradationfrommodes(True, d_modes=d_modes)
    w_max, _ = deg.degradationfrommodes(False, d_modes=d_modes)
    third = 0.3333333333333333
    np.testing.assert_allclose(w_sum, [0, 0, 0.4 + 0.6 + 0.15 + 0.1, (0.6 + 0.3) * third, 0.1,
                                       (0.6 + 0.3) * third, 0.4 + 0.3 + 0.15,
                                       0.4 + 0.6 + 0.3 + 0.2, 0.3 + 0.15 + 0.2], rtol=1e-15)
    np.testing.assert_allclose(w_max, [0, 0, 0.6, 0.6 * third, 0.1, 0.6 * third, 0.4, 0.6, 0.3],
                               rtol=1e-15)


@pytest.mark.parametrize("effort", [[1.0, 1.0, 1.0], [-1.0, 2.0, -3.0], [0.0, -1.0, 5.0]])
def test_mode_coupling_stiffness(effort):
    moduli = np.array([140e3, 120e3, 9.5e3, 11e3, 9.0e3, 10e3, 5.1e3, 4.8e3, 3.2e3])
    vnu = np.array([0.45, 0.28, 0.31])
    d_modes = np.array([0.1, 0.2, 0.3, 0.1, 0.0, 0.2, 0.05, 0.1, 0.15])
    w, c = deg.degradationfrommodes(False, d_modes=d_modes, moduli=moduli, vnu=vnu,
                                    effort=np.array(effort))
    pick = [0 if effort[0] > 0 else 1, 2 if effort[1] > 0 else 3, 4 if effort[2] > 0 else 5]
    # propvec: E1, E2, E3, G23 = moduli(7), G13 = moduli(8), G12 = moduli(9)
    props = np.r_[moduli[pick], moduli[6:9], vnu]
    ref = matzenmiller_numpy(props, w[pick], w[7], w[8], w[6])
    np.testing.assert_allclose(c, ref, rtol=1e-12, atol=1e-9 * moduli[0])


def test_mode_coupling_defaults_give_the_undamaged_stiffness():
    w, c = deg.degradationfrommodes(True)
    np.testing.assert_array_equal(w, np.zeros(9))
    ref = matzenmiller_numpy(np.r_[np.ones(6), np.full(3, 0.3)], np.zeros(3), 0, 0, 0)
    np.testing.assert_allclose(c, ref, rtol=1e-14)


# ------------------------------------------------------------------------------------------
# Fracture-plane models

def rotation_x(theta):
    c, s = math.cos(theta), math.sin(theta)
    return np.array([[1.0, 0, 0], [0, c, -s], [0, s, c]])


def voigt_matrix(v):
    return np.array([[v[0], v[5], v[4]], [v[5], v[1], v[3]], [v[4], v[3], v[2]]])


def nye_matrix(v):
    return np.array([[v[0], v[3], v[4]], [v[3], v[1], v[5]], [v[4], v[5], v[2]]])


def plane_traction(m, phi):
    r = rotation_x(phi)
    m = r.T @ m @ r
    return np.array([m[1, 1], m[0, 1], m[1, 2]])


GC = np.array([0.25, 0.9, 0.7, 0.8])
PHI = 0.35
SIG = np.array([20.0, 40.0, -10.0, 12.0, -6.0, 30.0])   # Voigt 11, 22, 33, 23, 13, 12
EPS = np.array([0.002, 0.006, -0.001, 0.003, -0.001, 0.004])
CEL = np.array([2.0, 1.5, 0.8])


def onset(sig, eps, cel, phi=PHI):
    st, et = plane_traction(voigt_matrix(sig), phi), plane_traction(voigt_matrix(eps), phi)
    eps_r = np.linalg.norm([max(et[0], 0), et[1], et[2]])
    sig_f = np.linalg.norm(st)
    w = st ** 2 / sig_f ** 2
    g = (w[0] * (GC[0] if st[0] > 0 else GC[1]) + w[1] * GC[2] + w[2] * GC[3])
    lm = cel[1] / abs(math.cos(phi))
    if lm > math.hypot(cel[1], cel[2]):
        lm = cel[2] / abs(math.sin(phi))
    return eps_r, sig_f, g, lm


@pytest.mark.parametrize("cel", [CEL, CEL * 1e-3, np.array([2.0, 0.5, 3.0])])
def test_bogenfeld_records_the_onset_and_softens(cel):
    eps_r, sig_f, g, lm = onset(SIG, EPS, cel)
    eps1 = max(2 * g / (lm * sig_f), 1.2 * eps_r)
    props = np.r_[PHI, GC]
    sdv = -np.ones(4)
    d, sdv = deg.bogenfelddegradation(sdv, SIG, EPS, cel, props, 3)
    assert d == pytest.approx(0.0, abs=1e-14)
    np.testing.assert_allclose(sdv, [eps_r, sig_f, g, eps1], rtol=1e-12)
    # Later: the recorded values with the bilinear law, whatever the element's lengths now.
    for scale in (1.5, 3.0):
        e = eps_r * scale
        d, later = deg.bogenfelddegradation(sdv.copy(), SIG, EPS * scale, np.zeros(3), props, 3)
        assert d == pytest.approx((1 - eps_r / e) * eps1 / (eps1 - eps_r), rel=1e-12)
        np.testing.assert_array_equal(later, sdv)
    assert errstat() == 0


def test_bogenfeld_in_metre_units_softens_to_zero_stress():
    cel = np.array([2e-3, 1.5e-4, 8e-4])
    gc = np.full(4, 250.0)                 # J/m^2
    sig = SIG * 1e6                        # Pa
    props = np.r_[PHI, gc]
    _, sdv = deg.bogenfelddegradation(-np.ones(4), sig, EPS, cel, props, 3)
    eps_r, sig_f, _, lm = onset(sig, EPS, cel)
    assert sdv[3] == pytest.approx(max(2 * 250.0 / (lm * sig_f), 1.2 * eps_r), rel=1e-12)
    d, _ = deg.bogenfelddegradation(sdv, sig, EPS * sdv[3] / eps_r, cel, props, 3)
    assert d == pytest.approx(1.0, rel=1e-12)


@pytest.mark.parametrize("mode, nsdv, nprops, cel, code, d_expected", [
    (0, 4, 5, CEL, 0, 0.0),            # no damage: nothing read
    (2, 4, 5, CEL, -2, 0.0),           # unknown mode
    (3, 3, 5, CEL, -3, 0.0),           # too short a record
    (3, 4, 4, CEL, -3, 0.0),           # too few properties
    (3, 4, 5, np.zeros(3), -3, 0.0),   # no characteristic length
])
def test_bogenfeld_leaves_the_record(mode, nsdv, nprops, cel, code, d_expected):
    sdv = -np.ones(nsdv)
    props = np.r_[PHI, GC][:nprops]
    d, out = deg.bogenfelddegradation(sdv, SIG, EPS, cel, props, mode)
    assert d == d_expected
    np.testing.assert_array_equal(out, -np.ones(nsdv))
    assert errstat() == code
    if code == -2:
        assert errtext() == "Unknown mode in BogenfeldDegradation"


def test_bogenfeld_without_onset_stress_records_nothing():
    d, sdv = deg.bogenfelddegradation(-np.ones(4), np.zeros(6), EPS, CEL, np.r_[PHI, GC], 3)
    assert d == 0.0
    np.testing.assert_array_equal(sdv, -np.ones(4))
    assert errstat() == -1


def falzon_numpy(stress, strain, phi, w_old, state):
    """Retention factors and state after one call, in numpy (state: epsi, epsu, sigi, gmix)."""
    r = rotation_x(phi)
    srot = r.T @ nye_matrix(stress) @ r
    erot = r.T @ nye_matrix(strain) @ r
    sfrac = np.array([srot[1, 1], srot[0, 1], srot[1, 2]])
    efrac = np.array([max(erot[1, 1], 0), erot[0, 1], erot[1, 2]])
    epsi, epsu, sigi, gmix = state
    if w_old == 0:
        epsi, sigi = np.linalg.norm(efrac), np.linalg.norm(sfrac)
        w = sfrac ** 2 / sigi ** 2
        gmix = w[0] * (GC[0] if sfrac[0] > 0 else GC[1]) + w[1] * GC[2] + w[2] * GC[3]
        lm = CEL[1] / abs(math.cos(phi))
        if lm > math.hypot(CEL[1], CEL[2]):
            lm = CEL[2] / abs(math.sin(phi))
        epsu = max(2 * gmix / (lm * sigi), 1.1 * epsi)
    epseq = np.linalg.norm(efrac)
    w = (1 - epsi / epseq) * epsu / (epsu - epsi)
    w = min(max(w, 0, w_old), 1)
    srot[1, 1] -= max(srot[1, 1], 0) * w
    srot[0, 1] *= 1 - w
    srot[1, 0] = srot[0, 1]
    srot[1, 2] *= 1 - w
    srot[2, 1] = srot[1, 2]
    sdeg = r @ srot @ r.T
    f2, f3 = sdeg[1, 1] / stress[1], sdeg[2, 2] / stress[2]
    return [f2, f3, f2, f3, f2 + f3 - f2 * f3], w, (epsi, epsu, sigi, gmix)


STRESS_NYE = np.array([30.0, 45.0, 20.0, 15.0, -8.0, 12.0])
STRAIN_NYE = np.array([0.002, 0.009, 0.004, 0.006, -0.002, 0.005])


def falzon_call(stress, strain, phi, w_old, state):
    dsix = np.full(6, 0.77)
    scalars = [np.array(x, dtype=float) for x in (*state, w_old)]
    deg.falzondegradationparameters(stress, strain, phi, dsix, *scalars, GC, CEL)
    return dsix, float(scalars[4]), tuple(float(x) for x in scalars[:4])


@pytest.mark.parametrize("phi", [0.0, 0.4, -1.1])
@pytest.mark.parametrize("w_old, state", [
    (0.0, (0.0, 0.0, 0.0, 0.0)),               # re-initialised: no damage yet
    (0.2, (0.004, 0.02, 30.0, 0.5)),           # the stored onset values
    (0.9, (0.004, 0.02, 30.0, 0.5)),           # damage never decreases
    (0.1, (0.004, 0.006, 30.0, 0.5)),          # beyond the final strain: clipped at 1
])
def test_falzon_against_numpy(phi, w_old, state):
    factors_ref, w_ref, state_ref = falzon_numpy(STRESS_NYE, STRAIN_NYE, phi, w_old, state)
    dsix, w, state_out = falzon_call(STRESS_NYE, STRAIN_NYE, phi, w_old, state)
    assert dsix[0] == 0.77
    np.testing.assert_allclose(dsix[1:], factors_ref, rtol=1e-11)
    assert w == pytest.approx(w_ref, rel=1e-12, abs=1e-15)
    np.testing.assert_allclose(state_out, state_ref, rtol=1e-12)
    assert errstat() == 0


def test_falzon_keeps_the_normal_stress_under_plane_compression():
    stress = np.array([30.0, -45.0, -20.0, 15.0, 0.0, 12.0])
    strain = np.array([0.002, -0.004, -0.002, 0.006, 0.0, 0.005])
    dsix, w, _ = falzon_call(stress, strain, 0.0, 0.3, (0.004, 0.02, 30.0, 0.5))
    assert 0.3 < w < 1
    np.testing.assert_allclose(dsix[1:], [1.0, 1.0, 1.0, 1.0, 1.0], rtol=1e-14)
    dsix_t, w_t, _ = falzon_call(-stress, -strain, 0.0, 0.3, (0.004, 0.02, 30.0, 0.5))
    assert dsix_t[1] == pytest.approx(1 - w_t, rel=1e-14)


@pytest.mark.parametrize("stress, strain, code", [
    (STRESS_NYE, np.array([0.002, -0.009, 0.004, 0.0, -0.002, 0.0]), -1),  # zero strain norm
    (np.r_[STRESS_NYE[:2], 0.0, STRESS_NYE[3:]], STRAIN_NYE, -1),          # zero s33
    (np.r_[STRESS_NYE[0], 0.0, STRESS_NYE[2:]], STRAIN_NYE, -1),           # zero s22
])
def test_falzon_keeps_its_factors_and_damage(stress, strain, code):
    state = (0.004, 0.02, 30.0, 0.5)
    dsix, w, state_out = falzon_call(stress, strain, 0.0, 0.3, state)
    np.testing.assert_array_equal(dsix, np.full(6, 0.77))
    assert w == 0.3 and state_out == state
    assert errstat() == code


# ------------------------------------------------------------------------------------------
# Tensor degradation

VOIGT = [(0, 0), (1, 1), (2, 2), (1, 2), (0, 2), (0, 1)]


def tensor_of(c6):
    t = np.zeros((3, 3, 3, 3))
    for a, (i, j) in enumerate(VOIGT):
        for b, (k, l) in enumerate(VOIGT):
            for p, q in {(i, j), (j, i)}:
                for r, s in {(k, l), (l, k)}:
                    t[p, q, r, s] = c6[a, b]
    return t


def tensor_degradation_numpy(c6, angle, d, baseid, nn):
    r = rotation_x(angle)
    t = np.einsum("mi,nj,ok,pl,mnop->ijkl", r, r, r, r, tensor_of(c6))
    b = baseid - 1
    for idx in np.ndindex(3, 3, 3, 3):
        i, j, k, l = idx
        if nn == -1 and i == j and k == l:
            continue
        if b in idx:
            t[idx] *= 1 - d
    rb = rotation_x(-angle)
    t = np.einsum("mi,nj,ok,pl,mnop->ijkl", rb, rb, rb, rb, t)
    return np.array([[t[i, j, k, l] for (k, l) in VOIGT] for (i, j) in VOIGT])


C6 = matzenmiller_numpy(PROPS, [0, 0, 0], 0, 0, 0)


@pytest.mark.parametrize("angle", [0.0, 0.6, -2.0])
@pytest.mark.parametrize("d, baseid, nn", [(0.3, 2, 0), (0.7, 3, -1), (0.5, 1, 1), (1.0, 2, 2)])
def test_tensor_degradation_against_einsum(angle, d, baseid, nn):
    cdeg = deg.tensordegradation(C6, angle, d, baseid, nn)
    np.testing.assert_allclose(cdeg, tensor_degradation_numpy(C6, angle, d, baseid, nn),
                               rtol=1e-12, atol=1e-9 * C6[0, 0])
    assert errstat() == 0


def test_tensor_degradation_without_damage_returns_the_stiffness():
    np.testing.assert_allclose(deg.tensordegradation(C6, 0.8, 0.0, 2, -1), C6, rtol=1e-12,
                               atol=1e-10 * C6[0, 0])


def test_tensor_degradation_of_a_broken_direction():
    cdeg = deg.tensordegradation(C6, 0.0, 1.0, 2, 0)
    coupling = [1, 3, 5]  # Voigt rows and columns with an index 2: 22, 23, 12
    assert not cdeg[coupling].any() and not cdeg[:, coupling].any()
    assert cdeg[0, 0] == pytest.approx(C6[0, 0], rel=1e-14)


@pytest.mark.parametrize("d, clipped", [(1.5, 1.0), (-0.5, 0.0), (math.nan, 0.0)])
def test_tensor_degradation_clips_the_damage(d, clipped):
    cdeg = deg.tensordegradation(C6, 0.6, d, 3, 0)
    assert np.isfinite(cdeg).all()
    np.testing.assert_allclose(cdeg, tensor_degradation_numpy(C6, 0.6, clipped, 3, 0),
                               rtol=1e-12, atol=1e-9 * C6[0, 0])
    assert errstat() == -3
