"""Fatigue: Shokrieh property sets against the table layout and linear interpolation, lives
against Basquin's law and the Miner sum of Goodman amplitudes, the equivalent resin stress on
the Raghava paraboloid, the cycle counter against its table and the exponential schedule, the
allowable jump against its closed form, and the Shokrieh driver against numpy's inverse of the
orthotropic compliance and Basquin lives at its cycle bottoms."""
import math
import sys

import numpy as np
import pytest

import _vorlen
from conftest import errstat, errtext

fat = _vorlen.fatigue
HUGE = sys.float_info.max
LOG4 = math.log10(4.0)


@pytest.fixture(autouse=True)
def clean(clean_store):
    yield
    _vorlen.debugdata.edebug = 0
    _vorlen.shokriehdata.dnfshok = 0.0


CALL_FORMS = [
    ("getshokriehproperties",
     "eprops,xfprops,epsfprops,alpha_t,alpha_c,beta_t,beta_c,lambda,gamma,a,b,u,v,eta,degr_fac = "
     "getshokriehproperties(props,temp,[nprops])"),
    ("getfatiguelife", "getfatiguelife(eq_min,eq_max,a_woehler,exp_woehler,alpha,dn,nf,life,noel)"),
    ("getfatiguelifeshokrieh",
     "n_f = getfatiguelifeshokrieh(sbottom_t,speak_t,sbottom_c,speak_c,xctratio,u,v,a,b,n_f)"),
    ("getequivalentfatiguestress", "getequivalentfatiguestress(stress,xt,xc,np,eq_stress)"),
    ("cyclecount",
     "njimp,n = cyclecount(n,maxcycle,time,time_calc,time_period,njimp_min,njimp_max,njimp_zul,"
     "ncycles,nmaxcycles,istep,nstep,jumpalgo,stepflag)"),
    ("allowablecyclejump",
     "cjimp = allowablecyclejump(speak,sbottom,ft,fc,f0,e0,eps_f,a,b,u,v,nm,alpha,beta,gamma,"
     "lambda,x_n,e_n,de,df,degr_fac,njimp_dtol)"),
    ("getshokrieh",
     "stress,ddsdde,statev,statev_backup = getshokrieh(stress,statev,stran,dstran,props,time,"
     "dtime,temp,dtemp,noel,kstep,kinc,iszflag,idcflag,statev_backup,[nprops,overwrite_stress,"
     "overwrite_statev,overwrite_statev_backup])"),
]


@pytest.mark.parametrize("name,form", CALL_FORMS)
def test_call_form(name, form):
    assert getattr(fat, name).__doc__.splitlines()[0] == form


# ------------------------------------------------------------------------------------------
# Shokrieh property sets

E = [140e3, 9e3, 9.5e3, 4.6e3, 4.7e3, 3.1e3, 0.3, 0.31, 0.45]
STRENGTHS = [2000.0, 50.0, 55.0, 1200.0, 200.0, 210.0, 80.0, 82.0, 60.0]  # Xt..Zt, Xc..Zc, S
ALPHA = [0.9, 0.8, 1.1, 1.0, 1.2, 1.05, 0.7, 0.75, 0.65]
BETA = [1.3, 1.4, 1.5, 1.6, 1.7, 1.8, 1.9, 2.0, 2.1]
LAMBDA = [1.1, 1.2, 1.3, 1.4, 1.5, 1.6]
GAMMA = [0.5, 0.6, 0.7, 0.8, 0.9, 1.0]
A = [1.1, 1.0, 1.05, 0.95, 0.97, 0.99]
B = [-0.08, -0.1, -0.09, -0.07, -0.075, -0.085]
DEGR = 0.05


def property_set(temp, scale=1.0, eta=0.0, u=0.0, v=0.0):
    ab = [x for pair in zip(A, B) for x in pair]
    s = (E + STRENGTHS + ALPHA + BETA + LAMBDA + GAMMA + ab + [eta] + [u] * 6 + [v] * 6)
    return np.array(s) * scale, temp


def shokrieh_props(t1=293.0, t2=353.0, scale2=1.0, law=(), **kw):
    p1, _ = property_set(t1, **kw)
    p2, _ = property_set(t2, scale2, **kw)
    return np.concatenate([p1, [t1], p2, [t2], [0.0, DEGR], law])


def distributed(p):
    """The outputs of a set p (74 values) laid out by hand from the table."""
    xf = [p[9], -abs(p[12]), p[10], -abs(p[13]), p[11], -abs(p[14]), p[15], p[16], p[17]]
    e = p[:9]
    return {
        "eprops": e, "xfprops": xf,
        "epsfprops": np.array(xf) / e[[0, 0, 1, 1, 2, 2, 3, 4, 5]],
        "alpha_t": p[[18, 20, 22, 24, 25, 26]], "alpha_c": p[[19, 21, 23, 24, 25, 26]],
        "beta_t": p[[27, 29, 31, 33, 34, 35]], "beta_c": p[[28, 30, 32, 33, 34, 35]],
        "lambda": p[36:42], "gamma": p[42:48], "a": p[48:60:2], "b": p[49:60:2],
        "u": p[61:67], "v": p[67:73], "eta": p[60],
    }


NAMES = ["eprops", "xfprops", "epsfprops", "alpha_t", "alpha_c", "beta_t", "beta_c", "lambda",
         "gamma", "a", "b", "u", "v", "eta", "degr_fac"]


def properties(props, temp):
    return dict(zip(NAMES, fat.getshokriehproperties(props, temp)))


def test_property_set_layout():
    props = shokrieh_props(eta=0.02, u=0.3, v=0.4)
    got = properties(props, 250.0)
    for name, want in distributed(props[:74]).items():
        np.testing.assert_array_equal(got[name], want, err_msg=name)
    assert got["degr_fac"] == DEGR


@pytest.mark.parametrize("t1, t2, temp, weight2", [
    (293.0, 353.0, 250.0, 0.0),    # below both: the lower set
    (293.0, 353.0, 293.0, 0.0),    # at T_L: the interpolation, equal to L
    (293.0, 353.0, 323.0, 0.5),
    (293.0, 353.0, 338.0, 0.75),
    (293.0, 353.0, 400.0, 1.0),    # above both: the higher set
    (353.0, 293.0, 250.0, 1.0),    # set 2 is the lower one
    (353.0, 293.0, 308.0, 0.75),
    (300.0, 300.0, 300.0, 1.0),    # one temperature: set 2 counts as L
    (300.0, 300.0, 250.0, 1.0),
    (300.0, 300.0, 350.0, 0.0),    # above it: H, set 1
])
def test_property_set_interpolation(t1, t2, temp, weight2):
    props = shokrieh_props(t1, t2, scale2=0.8)
    want = (1.0 - weight2) * props[:74] + weight2 * props[74:148]
    got = properties(props, temp)
    ref = distributed(want)
    for name in ("eprops", "xfprops", "a", "beta_c", "v"):
        np.testing.assert_allclose(got[name], ref[name], rtol=1e-14, err_msg=name)
    assert errstat() == 0


# c2, c1, c0 of q, threshold of the law, glass transition, q_inf, exponent, E1 residual, exponent
LAW = [-1e-5, -2e-3, 1.04, 250.0, 400.0, 0.4, 3.0, 0.7, 4.0]


def law_moduli(temp, props):
    """The moduli of the temperature law by hand (sets at 293 and 353, set 2 scaled 0.8)."""
    p1 = props[:9]
    theta, theta_g = temp - 273.15, LAW[4] - 273.15
    q = lambda x: LAW[0] * x * x + LAW[1] * x + LAW[2]
    q293 = q(19.85)
    lo = p1 if temp <= 353.0 else props[74:83]
    if temp <= LAW[3]:
        other = lo[1:6]
    elif temp < 293.0:
        other = q(theta) * p1[1:6]
    else:
        other = (q293 - (q293 - LAW[5]) * math.exp(-(theta / theta_g) ** LAW[6])) * p1[1:6]
    if temp <= 293.0:
        e1 = p1[0]
    else:
        e1 = (1.0 - (1.0 - LAW[7]) * math.exp(-(theta / theta_g) ** LAW[8])) * p1[0]
    return np.concatenate([[e1], other])


@pytest.mark.parametrize("temp", [240.0, 270.0, 293.0, 320.0, 360.0])
def test_temperature_law_of_the_moduli(temp):
    props = shokrieh_props(scale2=0.8, law=LAW)
    got = properties(props, temp)
    np.testing.assert_allclose(got["eprops"][:6], law_moduli(temp, props), rtol=1e-13)
    np.testing.assert_allclose(got["epsfprops"][[0, 2, 6]],
                               np.array(got["xfprops"])[[0, 2, 6]] / got["eprops"][[0, 1, 3]])


@pytest.mark.parametrize("t2, want", [
    (280.0, E[0] + (0.8 * E[0] - E[0]) * 40.0 / 30.0),   # the line beyond the upper set
    (250.0, 0.8 * E[0]),                                 # one temperature: set 2, no 0/0
])
def test_temperature_law_line_of_e1(t2, want):
    props = shokrieh_props(t1=250.0, t2=t2, scale2=0.8, law=LAW)
    assert properties(props, 290.0)["eprops"][0] == pytest.approx(want, rel=1e-14)


@pytest.mark.parametrize("nprops", [149, 151, 158])
def test_property_count_without_the_whole_law(nprops):
    out = fat.getshokriehproperties(shokrieh_props(law=LAW)[:nprops], 300.0)
    assert all(not np.any(x) for x in out)
    assert errstat() == -3


# ------------------------------------------------------------------------------------------
# Woehler life of a resin


def goodman_amplitude(eq_min, eq_max, r, through):
    """Amplitude where the line through (eq_m, eq_a) and (through, 0) meets the ray of the
    stress ratio r (mean/amplitude = (1 + r)/(1 - r))."""
    eq_m, eq_a = (eq_max + eq_min) / 2, (eq_max - eq_min) / 2
    m = (1 - r) / (1 + r)
    # amp - eq_a (mean - through)/(eq_m - through) = 0, mean - amp/m = 0
    lhs = np.array([[1.0, -eq_a / (eq_m - through)], [-1.0 / m, 1.0]])
    rhs = np.array([-eq_a * through / (eq_m - through), 0.0])
    return np.linalg.solve(lhs, rhs)[0]


@pytest.mark.parametrize("eq_min, eq_max, r, through", [
    (0.1, 0.5, 0.1, 1.0),     # tensile mean: Goodman line to the strength
    (-0.3, 0.3, 0.1, 1.0),    # zero mean
    (-0.5, 0.4, -0.5, 1.0),   # small compressive mean: amplitude ratio above |m_crit|
    (-0.6, -0.4, 0.2, -0.2),  # compressive mean, small amplitude: the line through -|R|
])
def test_fatigue_life_is_the_miner_sum_of_goodman_lives(eq_min, eq_max, r, through):
    _vorlen.materialdata.r_crit = [r]
    a_w, b_w = 0.9, -0.1
    f = goodman_amplitude(eq_min, eq_max, r, through)
    nf_ref = (f / a_w) ** (1 / b_w)
    nf, life = np.array(0.0), np.array(0.0)
    blocks = [1000.0, 2500.0, 40.0]
    for dn in blocks:
        fat.getfatiguelife(eq_min, eq_max, a_w, b_w, 0.0, dn, nf, life, 1)
    assert nf == pytest.approx(nf_ref, rel=1e-12)
    assert life == pytest.approx(min(sum(blocks) / nf_ref, 1.0), rel=1e-12)
    assert errstat() == 0


def test_fatigue_life_counts_blocks_in_single_precision_and_stops_at_one():
    _vorlen.materialdata.r_crit = [0.1]
    nf, life = np.array(0.0), np.array(0.25)
    fat.getfatiguelife(0.1, 0.5, 0.9, -0.1, 0.0, 0.1, nf, life, 1)
    assert life == 0.25 + float(np.float32(0.1)) / nf
    fat.getfatiguelife(0.1, 0.5, 0.9, -0.1, 0.0, 1e30, nf, life, 1)
    assert life == 1.0


@pytest.mark.parametrize("r_crit", [None, [-1.0]])
def test_fatigue_life_without_a_critical_ratio(r_crit):
    _vorlen.materialdata.r_crit = r_crit
    nf, life = np.array(7.0), np.array(0.3)
    fat.getfatiguelife(0.1, 0.5, 0.9, -0.1, 0.0, 10.0, nf, life, 1)
    assert life == 0.3 and nf == HUGE
    assert errstat() == -3


def test_fatigue_life_debug_lines(capfd):
    _vorlen.materialdata.r_crit = [0.1, 0.2]
    _vorlen.debugdata.edebug = 4
    capfd.readouterr()
    fat.getfatiguelife(0.1, 0.5, 0.9, -0.1, 0.0, 10.0, np.array(0.0), np.array(0.0), 3)
    assert capfd.readouterr().out == ""
    fat.getfatiguelife(0.1, 0.5, 0.9, -0.1, 0.0, 10.0, np.array(0.0), np.array(0.0), 4)
    labels = [ln.split()[0] for ln in capfd.readouterr().out.splitlines()]
    assert labels == ["R_crit", "eq_min", "eq_max", "eq_m", "eq_a", "m_crit", "f", "Nf"]


# ------------------------------------------------------------------------------------------
# Shokrieh normalised life


@pytest.mark.parametrize("bottom, peak, a, b", [
    (0.1, 0.5, 1.1, -0.08),
    (0.2, 0.3, 1.0, -0.1),
    (0.0, 0.4, 0.95, -0.07),    # a bottom of 0 counts as 1e-8
    (-0.3, 0.3, 1.0, -0.12),
])
def test_shokrieh_life_without_mean_terms_is_basquin(bottom, peak, a, b):
    amp = (peak - max(bottom, 1e-8) if bottom == 0.0 else peak - bottom) / 2
    n_f = fat.getfatiguelifeshokrieh(bottom, peak, 0.0, 0.0, 0.6, 0.0, 0.0, a, b, 0.0)
    assert n_f == pytest.approx((amp / a) ** (1 / b), rel=1e-12)


def test_shokrieh_life_with_mean_terms():
    bottom, peak, c, u, v, a, b = 0.1, 0.5, 0.6, 0.8, 0.5, 1.0, -0.1
    q, amp = (bottom + peak) / 2, (peak - bottom) / 2
    kappa = amp / ((1 - q) ** u * (c + q) ** v)
    n_f = fat.getfatiguelifeshokrieh(bottom, peak, 0.0, 0.0, -c, u, v, a, b, 0.0)
    assert n_f == pytest.approx((kappa / a) ** (1 / b), rel=1e-12)


@pytest.mark.parametrize("bottom, peak, u, v, want", [
    (-0.9, 0.9, 0.0, 0.0, 10.0),     # amplitude beyond the curve's cut: 10 cycles
    (1.0, 1.2, 0.7, 0.3, 10.0),      # mean at the strength: the shortest life, not NaN
    (1.1, 1.3, 0.0, 0.5, 10.0),
    (-0.9, -0.8, 0.7, 0.5, 10.0),    # compressive mean beyond c: base below 0 counts as 0
    (0.3, 0.3, 0.0, 0.0, HUGE),      # no amplitude
])
def test_shokrieh_life_limits(bottom, peak, u, v, want):
    n_f = fat.getfatiguelifeshokrieh(bottom, peak, 0.0, 0.0, 0.6, u, v, 1.0, -0.1, 0.0)
    assert n_f == pytest.approx(want, rel=1e-12)


# ------------------------------------------------------------------------------------------
# Equivalent fatigue stress of a resin


def raghava(stress, xt, xc):
    s = np.asarray(stress)
    i1 = s[:3].sum()
    vm2 = 0.5 * ((s[0] - s[1]) ** 2 + (s[1] - s[2]) ** 2 + (s[2] - s[0]) ** 2) + 3 * (s[3:] ** 2).sum()
    return (1 / xt - 1 / xc) * i1 + vm2 / (xt * xc)


@pytest.mark.parametrize("stress, sign", [
    ([40.0, 0, 0, 0, 0, 0], 1),
    ([20.0, 10.0, 5.0, 8.0, 0.0, 3.0], 1),
    ([0, 0, 0, 30.0, 0, 0], 1),
    ([-60.0, 0, 0, 0, 0, 0], -1),
    ([-50.0, -20.0, -10.0, 5.0, 0.0, 2.0], -1),
])
def test_equivalent_stress_lies_on_the_raghava_paraboloid(stress, sign):
    xt, xc = 80.0, 120.0
    eq = np.array(0.0)
    fat.getequivalentfatiguestress(stress, xt, xc, 2.5, eq)
    assert np.sign(eq) == sign
    scale = xt / eq if eq > 0 else xc / -eq
    assert raghava(np.array(stress) * scale, xt, xc) == pytest.approx(1.0, rel=1e-12)


# ------------------------------------------------------------------------------------------
# Cycle counter

# maxcycle, time, time_calc, time_period, njimp_min, njimp_max, njimp_zul, ncycles, nmaxcycles,
# istep, nstep, jumpalgo, stepflag
BASE = dict(maxcycle=1e6, time=3.0, time_calc=10.0, time_period=1.0, njimp_min=5.0,
            njimp_max=50.0, njimp_zul=5.7, ncycles=3, nmaxcycles=3, istep=1, nstep=2,
            jumpalgo=1, stepflag=1)


def count(n, **kw):
    args = dict(BASE, **kw)
    return fat.cyclecount(n, *args.values())


@pytest.fixture
def table():
    # column 1: stops of step 1, column 2: of step 2
    _vorlen.shokriehdata.cycles = np.array([[10.0, 500.0], [40.0, 600.0], [90.0, 700.0]])


@pytest.mark.parametrize("algo", [1, 2, 3, 4, 5, 9])
def test_count_outside_a_fatigue_step(algo):
    assert count(17.0, jumpalgo=algo, stepflag=0) == (1.0, 1.0)
    assert errstat() == 0


@pytest.mark.parametrize("kw, n, want", [
    (dict(jumpalgo=1), 7.0, 5.0),
    (dict(jumpalgo=3, time=1.0), 7.0, 40.0 - 7.0),          # k = 2 at one period
    (dict(jumpalgo=3, time=0.4), 7.0, 10.0 - 7.0),          # lround(0.4) = 0: k = 1
    (dict(jumpalgo=3, time=2.6), 7.0, 500.0 - 7.0),         # k = 4 > ncycles: next step's first
    (dict(jumpalgo=3, time=2.6, istep=2), 650.0, 700.0 - 650.0),  # last step: row k - 1
    (dict(jumpalgo=4), 20.0, 6.0),                           # aint(5.7) + 1
    (dict(jumpalgo=4), 36.0, 4.0),                           # stops at the table cycle 40
    (dict(jumpalgo=4, maxcycle=23.0), 20.0, 3.0),            # stops at maxcycle
    (dict(jumpalgo=4, njimp_zul=HUGE), 20.0, 0.0),
    (dict(jumpalgo=5), 4.0, 6.0),
    (dict(jumpalgo=5), 10.0, 0.0),
])
def test_count_jumps(table, kw, n, want):
    njimp, n_new = count(n, **kw)
    assert (njimp, n_new) == (want, n + want)
    assert errstat() == 0


def test_exponential_schedule_reaches_maxcycle_one_period_before_the_end():
    period, time_calc, maxcycle = 1.0, 10.0, 1e5
    n, t = 1.0, period
    jumps = []
    while t <= time_calc - period + 1e-12:
        njimp, n = count(n, jumpalgo=2, time=t, time_calc=time_calc, time_period=period,
                         maxcycle=maxcycle)
        jumps.append(njimp)
        t += period
    assert n == maxcycle
    assert min(jumps) >= 1.0


@pytest.mark.parametrize("kw, with_table", [
    (dict(jumpalgo=2, time_calc=1.0), True),
    (dict(jumpalgo=3, time=-5.0), True),              # k below 1
    (dict(jumpalgo=3, time=1.0, istep=3, nstep=4), True),   # no column 3
    (dict(jumpalgo=3, time=2.6, istep=2, nstep=2), False),
    (dict(jumpalgo=3, time=2.6, istep=3, nstep=2), True),   # beyond the last step
    (dict(jumpalgo=3, time=20.0, ncycles=30), True),  # row 21
    (dict(jumpalgo=3, time=1.0, time_period=0.0), True),
    (dict(jumpalgo=5), False),
    (dict(jumpalgo=5, istep=0), True),
])
def test_count_outside_the_table(table, kw, with_table):
    if not with_table:
        _vorlen.shokriehdata.cycles = None
    assert count(7.0, **kw) == (0.0, 7.0)
    assert errstat() == -3


def test_count_with_an_unknown_algorithm():
    assert count(7.0, jumpalgo=6) == (0.0, 7.0)
    assert errstat() == -2
    assert errtext() == "Unknown cycle jump flag in CycleCount"


def test_count_debug_lines(table, capfd):
    _vorlen.debugdata.edebug = 1
    capfd.readouterr()
    count(20.0, jumpalgo=4)
    labels = [ln.strip().rsplit(None, 1)[0] for ln in capfd.readouterr().out.splitlines()]
    assert labels == ["StepFlag", "Allocated cycles?", "jumpAlgo", "njimp_zul", "njimp",
                      "n_individual", "n_individual-n", "n+njimp"]


# ------------------------------------------------------------------------------------------
# Allowable cycle jump

JUMP = dict(speak=0.5, sbottom=0.1, ft=2000.0, fc=-1200.0, f0=2000.0, e0=140e3, eps_f=0.014,
            a=1.0, b=-0.1, u=0.0, v=0.0, nm=2e-7, alpha=0.9, beta=1.3, gamma=0.5, lambda_=1.1,
            x_n=1900.0, e_n=135e3, de=0.96, df=0.95, degr_fac=0.05, njimp_dtol=0.9)


def allowable(**kw):
    args = dict(JUMP, **kw)
    return fat.allowablecyclejump(*args.values())


def test_allowable_jump_below_the_strength_uses_the_fixed_life():
    j = JUMP
    ws = (1 - (0.9 * j["x_n"] / j["f0"]) ** j["alpha"]) ** (1 / j["beta"])
    we = (1 - (0.9 * j["e_n"] / j["e0"]) ** j["gamma"]) ** (1 / j["lambda_"])
    cycles = lambda w: 10 ** (w * (8 + LOG4) - LOG4)
    want = min(cycles(ws), cycles(we)) - max(1.0, 1e8 * j["nm"])
    assert allowable() == pytest.approx(want, rel=1e-12)


def test_allowable_jump_of_an_exhausted_strength():
    assert allowable(df=0.05) == 1e8


def test_allowable_jump_replaces_a_zero_bottom():
    sbottom = np.array(0.0)
    allowable(sbottom=sbottom)
    assert sbottom == 1e-8


@pytest.mark.parametrize("kw", [
    dict(x_n=2500.0),                       # strength above its start: outer base below 0
    dict(x_n=-100.0),                       # inner base below 0
    dict(speak=3000.0, sbottom=2500.0),     # mean above ft: the shortest life
    dict(speak=1.5, sbottom=1.2, u=0.5, v=0.5, fc=-1.0),
])
def test_allowable_jump_is_a_number(kw):
    assert not math.isnan(allowable(**kw))


# ------------------------------------------------------------------------------------------
# Shokrieh driver

store = _vorlen.shokriehdata


def compliance(e):
    """Orthotropic compliance in Nye order (engineering shears) of (E1 .. G23, nu12 .. nu23)."""
    e1, e2, e3, g12, g13, g23, n12, n13, n23 = e
    s = np.zeros((6, 6))
    s[:3, :3] = [[1 / e1, -n12 / e1, -n13 / e1], [-n12 / e1, 1 / e2, -n23 / e2],
                 [-n13 / e1, -n23 / e2, 1 / e3]]
    s[3:, 3:] = np.diag([1 / g12, 1 / g13, 1 / g23])
    return s


def fresh_record():
    s = np.zeros(77)
    s[0] = s[43] = 1.0
    s[25:31] = s[37:43] = HUGE
    s[58:73] = 1.0
    s[73:75] = 293.0
    return s


def cycle_settings(fatigue=1.0, jumpalgo=1, period=1.0, njimp_min=1.0, rows=10):
    col = [0.0, fatigue, jumpalgo, period, 100.0, 0.0, njimp_min, 100.0, 1.0, 1e7, 0.1][:rows]
    store.cycleprops = np.array(col).reshape(-1, 1)


def strain_for(s11):
    """Strain under which the ply carries s11 alone."""
    return compliance(E)[:, 0] * s11


class Ply:
    """A point driven through cycles of four increments of a quarter period."""

    def __init__(self, props=None, idcflag=0, kstep=1):
        self.props = shokrieh_props() if props is None else props
        self.kstep = [kstep, 1, 0, 0]
        self.statev, self.backup = fresh_record(), fresh_record()
        self.stress, self.kinc, self.t, self.idcflag = np.zeros(6), 0, 0.0, idcflag

    def step(self, strain, dtime=0.25, noel=1, temp=293.0):
        self.kinc += 1
        out = fat.getshokrieh(self.stress, self.statev, strain, np.zeros(6), self.props,
                              [self.t, self.t], dtime, temp, 0.0, noel, self.kstep,
                              self.kinc, 1, self.idcflag, self.backup)
        self.stress, self.ddsdde, self.statev, self.backup = out
        self.t += dtime
        return out

    def cycle(self, ratios):
        for r in ratios:
            self.step(strain_for(r * STRENGTHS[0]))


def test_static_stress_is_the_inverse_compliance_times_the_strain():
    cycle_settings(fatigue=0.0)
    strain = np.array([0.004, -0.002, 0.001, 0.003, -0.002, 0.001])
    stress, ddsdde, statev, _ = Ply().step(strain)
    c = np.linalg.inv(compliance(E))
    np.testing.assert_allclose(ddsdde, c, rtol=1e-12, atol=1e-9)
    np.testing.assert_allclose(stress, c @ strain, rtol=1e-12, atol=1e-9)
    np.testing.assert_array_equal(statev[52:58], stress)
    assert errstat() == 0


def test_static_fibre_failure_discounts_the_ply():
    cycle_settings(fatigue=0.0)
    strain = strain_for(1.1 * STRENGTHS[0])
    stress, _, statev, _ = Ply().step(strain)
    assert statev[1] == 1.0 and statev[44] == 1.0
    np.testing.assert_allclose(statev[4:13], DEGR * np.array(
        [2000, -1200, 50, -200, 55, -210, 80, 82, 60]), rtol=1e-14)
    degraded = np.array(E) * DEGR
    np.testing.assert_allclose(stress, np.linalg.inv(compliance(degraded)) @ strain, rtol=1e-10,
                               atol=1e-9)


def test_step_without_fatigue_tracks_the_cycle_only():
    cycle_settings(fatigue=0.0)
    ply = Ply()
    ply.cycle([0.3, 0.5, 0.3, 0.1])
    s = ply.statev
    assert s[0] == 1.0 and s[43] == 1.0
    assert s[19] == pytest.approx(0.5) and s[25] == pytest.approx(0.1)
    assert np.all(s[46:52] == 0.0) and np.all(s[58:73] == 1.0)


def test_first_cycle_bottom_gives_the_basquin_life_fraction():
    cycle_settings(jumpalgo=1)
    ply = Ply()  # u = v = 0
    rmax, rmin = 0.6, 0.2
    ply.cycle([0.4, rmax, 0.4])
    assert ply.statev[46] == 0.0
    ply.cycle([rmin])
    s = ply.statev
    n_f = ((rmax - rmin) / 2 / A[0]) ** (1 / B[0])
    assert s[46] == pytest.approx(1 / n_f, rel=1e-9)
    # the tensile strength after the first cycle on its residual law
    w = LOG4 / (math.log10(n_f) + LOG4)
    df_t = (1 - w ** BETA[0]) ** (1 / ALPHA[0]) * (1 - rmax) + rmax
    assert s[64] == pytest.approx(df_t, rel=1e-9)
    # one cycle jumped, the next cycle's extremes reset
    assert (s[0], s[43]) == (2.0, 1.0)
    assert s[19] == 0.0 and s[25] == HUGE
    assert errstat() == 0


def test_constant_jump_advances_by_blocks_and_damage_grows():
    cycle_settings(jumpalgo=1, njimp_min=10.0)
    ply = Ply()
    nm, df = [], []
    for _ in range(3):
        ply.cycle([0.4, 0.6, 0.4, 0.2])
        nm.append(ply.statev[46])
        df.append(ply.statev[64])
    assert (ply.statev[0], ply.statev[43]) == (31.0, 10.0)
    assert 0.0 < nm[0] < nm[1] < nm[2] < 1.0
    assert 1.0 > df[0] > df[1] > df[2] > DEGR


def test_fibre_failure_flag_skips_the_gradual_degradation():
    cycle_settings(jumpalgo=1)
    ply = Ply()
    ply.statev[44] = 1.0
    ply.cycle([0.4, 0.6, 0.4, 0.2])
    assert np.all(ply.statev[46:52] == 0.0)
    assert ply.statev[76] == HUGE


def test_global_jump_at_period_starts():
    cycle_settings(jumpalgo=7)
    store.dnfshok = 2.5
    ply = Ply()
    ply.step(strain_for(800.0))
    assert (ply.statev[0], ply.statev[43]) == (1.0, 1.0)   # step start: no jump
    ply.cycle([0.6, 0.4, 0.2])
    assert (ply.statev[0], ply.statev[43]) == (1.0, 1.0)   # the bottom makes none
    ply.step(strain_for(800.0))
    assert (ply.statev[0], ply.statev[43]) == (4.0, 3.0)


def test_direct_cyclic_repeat_restores_the_backup():
    cycle_settings(jumpalgo=5)
    store.cycles = np.array([[5.0]])
    ply = Ply(idcflag=1)
    ply.t = 0.25
    ply.step(strain_for(800.0))
    assert (ply.statev[0], ply.statev[43]) == (5.0, 4.0)
    np.testing.assert_array_equal(ply.backup[:4], [5.0, 0.0, 0.0, 0.0])
    ply.backup[0], ply.backup[43], ply.backup[60] = 3.0, 7.0, 0.5
    ply.kinc = 0
    ply.step(strain_for(800.0))
    assert (ply.statev[0], ply.statev[43], ply.statev[60]) == (3.0, 7.0, 0.5)


def test_missing_cycle_settings_answer_as_without_fatigue():
    cycle_settings(fatigue=0.0)
    ref = Ply().step(strain_for(700.0))
    for setup, kstep in ((lambda: setattr(store, "cycleprops", None), 1),
                         (lambda: cycle_settings(rows=9), 1),
                         (lambda: cycle_settings(), 2),              # no column of step 2
                         (lambda: cycle_settings(period=4e-4), 1)):
        _vorlen.errorhandling.rsxerr(1)
        setup()
        got = Ply(kstep=kstep).step(strain_for(700.0))
        for x, y in zip(got, ref):
            np.testing.assert_array_equal(x, y)
        assert errstat() == -3


@pytest.mark.parametrize("nprops", [149, 155])
def test_too_few_properties_leave_the_records(nprops):
    cycle_settings()
    ply = Ply(shokrieh_props(law=LAW)[:nprops])
    before = ply.statev.copy()
    stress, ddsdde, statev, backup = ply.step(strain_for(700.0))
    assert not stress.any() and not ddsdde.any()
    np.testing.assert_array_equal(statev, before)
    np.testing.assert_array_equal(backup, before)
    assert errstat() == -3


def test_cycle_bottom_refuses_a_set_without_stiffness():
    # The temperature law q(theta) = (theta^2 - 100)/230 keeps the moduli near those of 293 K at
    # 255 K and 291 K, where the increments run, but makes them negative at the cycle's mean
    # temperature of 273 K, whose set degrades the ply at the cycle bottom.
    cycle_settings(jumpalgo=1)
    ply = Ply(shokrieh_props(law=[1 / 230, 0.0, -100 / 230, 250.0, 400.0, 0.4, 3.0, 0.7, 4.0]))
    for temp in (255.0, 291.0, 291.0):
        ply.step(strain_for(700.0), temp=temp)
    assert errstat() == 0
    before, backup = ply.statev.copy(), ply.backup.copy()
    stress, ddsdde, statev, bk = ply.step(strain_for(700.0), temp=255.0)
    assert errstat() == -3
    assert errtext() == "Modulus or strength not a positive normal number in GetShokrieh"
    assert not stress.any() and not ddsdde.any()
    np.testing.assert_array_equal(statev, before)
    np.testing.assert_array_equal(bk, backup)


def test_driver_debug_lines(capfd):
    cycle_settings()
    _vorlen.debugdata.edebug = 9
    capfd.readouterr()
    Ply().step(strain_for(700.0), noel=8)
    assert capfd.readouterr().out == ""
    Ply().step(strain_for(700.0), noel=9)
    out = capfd.readouterr().out
    assert " ---------------- START Shokrieh  ----------------" in out
    assert "Update State variables" in out
