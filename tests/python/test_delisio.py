"""Delaminated strip in closed form (module delisio): energies against 1/2 e.M.e in numpy, the
statics of the moment balance, buckling resultants from plate theory with D - B A^-1 B in numpy,
release rates of a thin film against Hutchinson and Suo, Paris growth against scipy's solve_ivp,
the release rate of a cracked 90 degree ply by hand, and the allowables built on them."""
import numpy as np
import pytest
from scipy.integrate import solve_ivp

import _vorlen
from conftest import errstat

d = _vorlen.delisio
HUGE = np.finfo(float).max

# Isotropic film material and a carbon/epoxy ply: E1, E2, E3, nu12, nu13, nu23, G12, G13, G23.
E, NU = 70000.0, 0.3
ISO = np.array([E, E, E, NU, NU, NU, E / 2.6, E / 2.6, E / 2.6])
CFRP = np.array([181000.0, 10300.0, 10300.0, 0.28, 0.28, 0.45, 7170.0, 7170.0, 3550.0])
T = 0.1                      # ply thickness; the film is one ply on 20 (2.0 thick)
EP = E / (1 - NU**2)         # plane-strain modulus of the film
DFILM = EP * T**3 / 12


@pytest.fixture(autouse=True)
def register(clean_register):
    yield clean_register


def qbar(ply, angle):
    """Plane-stress stiffness of a ply turned by angle degrees (order 11, 22, 12)."""
    e1, e2, nu12, g12 = ply[0], ply[1], ply[3], ply[6]
    den = 1 - nu12**2 * e2 / e1
    q11, q22, q12, q66 = e1 / den, e2 / den, nu12 * e2 / den, g12
    c, s = np.cos(np.radians(angle)), np.sin(np.radians(angle))
    t = np.array([[c * c, s * s, 2 * c * s], [s * s, c * c, -2 * c * s],
                  [-c * s, c * s, c * c - s * s]])
    q = np.array([[q11, q12, 0], [q12, q22, 0], [0, 0, q66]])
    r = np.diag([1, 1, 2.0])
    return np.linalg.inv(t) @ q @ r @ t @ np.linalg.inv(r)


def abd_of(ply, angles, t=T):
    """ABD of a stack of equal plies about its own mid-plane, by hand."""
    z = np.arange(len(angles) + 1) * t - len(angles) * t / 2
    a, b, dd = np.zeros((3, 3)), np.zeros((3, 3)), np.zeros((3, 3))
    for k, ang in enumerate(angles):
        q = qbar(ply, ang)
        a += q * (z[k + 1] - z[k])
        b += q * (z[k + 1]**2 - z[k]**2) / 2
        dd += q * (z[k + 1]**3 - z[k]**3) / 3
    return np.block([[a, b], [b, dd]])


def props(ply, p10=1.0, p11=1.0, p12=1.0):
    return np.concatenate([ply, [p10, p11, p12]])


def film_state(eps, nsub=20):
    """Laminate, sub-laminates (film, substrate) and load cases of the film at strain -eps."""
    abd, s1, s2 = abd_of(ISO, [0] * (nsub + 1)), abd_of(ISO, [0]), abd_of(ISO, [0] * nsub)
    dof = np.array([-eps, 0, 0, 0, 0, 0.0])
    return dof, abd, np.array([s1, s2]), np.array([abd @ dof, s1 @ dof, s2 @ dof])


def film_sc(a, b):
    """Buckling stress of the film: the mean of 4 pi^2 D/w^2 (long simply supported plate) and
    the clamped fit, w = 2b."""
    f = np.pi**2 / (2 * b)**2
    return f * DFILM * (4 + 4.53 + 2.62 * b * b / (a * a) + 2.62) / 2 / T


def hutchinson_suo(s, sc):
    """Release rates of a straight-sided film blister: tunnel front (gx), sides (gy)."""
    c = (1 - NU**2) * T / (2 * E)
    return c * (s - sc)**2, c * (s - sc) * (s + 3 * sc)


@pytest.mark.parametrize("name,form", [
    ("linearelasticenergy", "energy = linearelasticenergy(strain,abdmatrix,area,[ncomp])"),
    ("reducedelasticenergy",
     "energy = reducedelasticenergy(strain,abdin,area,stresszero,strainzero,[ncomp])"),
    ("energysublaminat", "energy,nsub,bstatus = energysublaminat(abd_in,dof_in,a_el,b_el,forces,"
                         "[buckfactor_in,r_in])"),
    ("momentumbalance", "n_left,n_right = momentumbalance(n11,nsub,b,wr,wl,w,e)"),
    ("forcetransfer", "nleft_m,nright_m,nsub1,nsub2,deltadof,ie1_delta,ie2_delta = forcetransfer("
                      "abd,abdsub,forces,nsub1in,nsub2in,width,leftwidth,rightwidth,damagewidth,"
                      "w,e,[r_in])"),
    ("equivdisp", "deltax = equivdisp(abd,a,b,width,dof,deltadof,nleft,nright,l,r)"),
    ("energyreleaserate", "gx,gy,gy_left,gy_right = energyreleaserate(dof,abd,abdsub,a,b,width,"
                          "length,areaclean,forcecases,[e_in,da_in,db_in,buckfactor_in,r_in])"),
    ("serr_delatension", "serr_d_t = serr_delatension(dof_r,a_r,a_dmg,b_dmg,l_crack_proj,"
                         "delta_angle,dir,[outer])"),
    ("fibertension_lefm", "serr_f_t = fibertension_lefm(sigma11_ply,b_crack,gic,props,[nprops])"),
    ("growthrateparis", "dadn = growthrateparis(deltag,cf,nf)"),
    ("growthinitiationparis", "growthinitiationparis(deltag,n,c1,c2)"),
    ("delacompgrowth", "results = delacompgrowth(layup,tply,indof,dela_interface,props,length,"
                       "width,extensdmg,dmgwidth,dmglength,totalcycles,[nplies,nprops,ndof,"
                       "incyclejump,instressratio,dmgincrement_in])"),
    ("delatensiongrowth", "results = delatensiongrowth(layup,tply,indof,ncrack,props,length,"
                          "width,extensdmg,indmgwidth,indmglength,l_crack,totalcycles,[nplies,"
                          "nprops,ndof,incyclejump,instressratio,paris_ng])"),
    ("find_allowable_nogrowth_comp", "strainallowable,forceallowables_perinterface,"
     "eps_th_results,allowables_perinterface = find_allowable_nogrowth_comp(layup,tply,extensdmg,"
     "length,width,props,dmgsizes,[nplies,nprops,ninter,inincrement,dmgincrement_in,"
     "inloadcycles])"),
    ("find_allowable_nogrowth_tension", "allowables_perply,strainallowable,forceallowables_perply"
     " = find_allowable_nogrowth_tension(layup,tply,extensdmg,length,width,props,fibercrack,"
     "dmgsizes,[nplies,nprops,ninter,inincrement,inloadcycles])"),
])
def test_call_forms(name, form):
    assert getattr(d, name).__doc__.splitlines()[0] == form


# --- Energies ---------------------------------------------------------------------------------

RNG = np.random.default_rng(7)
M5 = RNG.normal(size=(5, 5))
S5 = RNG.normal(size=5)


def test_linear_elastic_energy_is_half_e_m_e_times_area():
    assert d.linearelasticenergy(S5, M5, 3.0) == pytest.approx(1.5 * S5 @ M5 @ S5, rel=1e-14)


@pytest.mark.parametrize("row,col", [(0, 0), (2, 0), (0, 5), (3, 1), (4, 4)])
def test_reduced_energy_strikes_row_and_column_per_unit_area(row, col):
    m = M5.copy()
    if col:
        m[:, col - 1] = 0
    if row:
        m[row - 1, :] = 0
    # area takes no part: the energy is per unit area
    assert d.reducedelasticenergy(S5, M5, 9.0, row, col) == pytest.approx(0.5 * S5 @ m @ S5,
                                                                          rel=1e-13)
    assert errstat() == 0


@pytest.mark.parametrize("row,col", [(-1, 0), (6, 0), (0, -1), (0, 6)])
def test_reduced_energy_refuses_components_outside_the_matrix(row, col):
    assert d.reducedelasticenergy(S5, M5, 1.0, row, col) == 0.0
    assert errstat() == -3


def reduced_d(abd):
    a, b, dd = abd[:3, :3], abd[:3, 3:], abd[3:, 3:]
    return dd - b.T @ np.linalg.inv(a) @ b


def nbuck_numpy(abd, a, b):
    dt = reduced_d(abd)
    f = np.pi**2 / (2 * b)**2
    r = np.sqrt(dt[0, 0] * dt[1, 1])
    nss = f * 2 * (r + dt[0, 1] + 2 * dt[2, 2])
    ncl = f * (4.53 * r + 2.62 * dt[0, 0] * b * b / (a * a) + 2.62 * (dt[0, 1] + 2 * dt[2, 2]))
    return -(nss + ncl) / 2


def test_buckling_resultant_of_an_isotropic_plate_is_the_mean_of_the_plate_solutions():
    s1 = abd_of(ISO, [0])
    a, b = 30.0, 4.0
    dof = np.array([-1.0, 0, 0, 0, 0, 0])  # far beyond buckling, r = 0: nsub = nbuck
    _, nsub, bstatus = d.energysublaminat(s1, dof, a, b, s1 @ dof)
    nss = 4 * np.pi**2 * DFILM / (2 * b)**2
    ncl = np.pi**2 / (2 * b)**2 * DFILM * (4.53 + 2.62 * b * b / (a * a) + 2.62)
    assert bstatus == 1
    assert nsub == pytest.approx(-(nss + ncl) / 2, rel=1e-12)


@pytest.fixture
def unsymmetric():
    """A [0/90] sub-laminate (B not 0) with a shear strain and curvature in its state."""
    abd = abd_of(CFRP, [0, 90], 0.125)
    dof = np.array([-1.0, 0.3, 0.1, 0.02, 0.0, 0.01])
    return abd, dof, abd @ dof, 12.0, 5.0


def test_energy_of_a_sub_laminate_uses_the_reduced_bending_stiffness(unsymmetric):
    abd, dof, forces, a, b = unsymmetric
    abdt = abd.copy()
    abdt[3:, 3:] = reduced_d(abd)
    nb = nbuck_numpy(abd, a, b)
    area = 4 * a * b
    eb = dof * nb / forces[0]
    energy_b = 0.5 * eb @ abdt @ eb * area
    for scale, r in [(1e-4, 0.0), (2.0, 0.0), (2.0, 0.3)]:
        x, f = dof * scale, forces * scale
        energy, nsub, bstatus = d.energysublaminat(abd, x, a, b, f, r_in=r)
        if scale < 1:
            assert f[0] > nb and (bstatus, nsub) == (0, f[0])
            assert energy == pytest.approx(0.5 * x @ abdt @ x * area, rel=1e-12)
        else:
            de = x[0] - eb[0]
            n = nb + r * abd[0, 0] * de
            assert bstatus == 1
            assert nsub == pytest.approx(n, rel=1e-12)
            assert energy == pytest.approx(energy_b + area * de * (nb + n) / 2, rel=1e-11)
    # loaded exactly at the buckling resultant: buckled, no strain beyond the buckling state
    f = forces.copy()
    f[0] = nb
    energy, nsub, bstatus = d.energysublaminat(abd, dof, a, b, f, r_in=0.3)
    assert (bstatus, nsub) == (1, nb)
    assert energy == pytest.approx(0.5 * dof @ abdt @ dof * area, rel=1e-12)


def test_buckling_factor_rescales_the_axial_buckling_strain_only(unsymmetric):
    abd, dof, forces, a, b = unsymmetric
    nb = nbuck_numpy(abd, a, b)
    for bf in (1.0000001, 0.5, 3.0):
        _, nsub, bstatus = d.energysublaminat(abd, dof * 3, a, b, forces * 3, buckfactor_in=bf)
        nb_bf = abd[0, 0] * dof[0] * nb / forces[0] * bf
        assert bstatus == (3 * forces[0] <= nb_bf)
        assert nsub == pytest.approx(max(nb_bf, 3 * forces[0]), rel=1e-12)
    _, nsub, _ = d.energysublaminat(abd, dof * 3, a, b, forces * 3, buckfactor_in=1.0)
    assert nsub == pytest.approx(nb, rel=1e-12)


def test_unloaded_sub_laminate_does_not_buckle_whatever_the_factor(unsymmetric):
    abd, dof, _, a, b = unsymmetric
    x = np.array([0, 0.0, 0, 0.01, 0, 0])
    f = np.zeros(6)
    abdt = abd.copy()
    abdt[3:, 3:] = reduced_d(abd)
    energy, nsub, bstatus = d.energysublaminat(abd, x, a, b, f, buckfactor_in=1.5)
    assert (nsub, bstatus) == (0.0, 0)
    assert energy == pytest.approx(0.5 * x @ abdt @ x * 4 * a * b, rel=1e-12)


@pytest.mark.parametrize("e,wl,wr", [(0.0, 30.0, 30.0), (3.0, 27.0, 33.0), (-5.5, 35.5, 24.5),
                                     (2.0, 10.0, 50.0)])
def test_moment_balance_satisfies_the_statics(e, wl, wr):
    n11, nsub, b, w = -120.0, -40.0, 7.0, 74.0
    nl, nr = d.momentumbalance(n11, nsub, b, wr, wl, w, e)
    fl, fr = nl * wl, nr * wr
    f11, fsub = n11 * w, 2 * b * nsub
    x, y = (b - e) / 2 + w / 4, (b + e) / 2 + w / 4
    assert fl + fr == pytest.approx(f11 - fsub, rel=1e-13)
    assert fl * y - fr * x == pytest.approx(-e * fsub, rel=1e-12, abs=1e-9 * abs(f11 * w))
    if e == 0:
        assert fl == pytest.approx(fr, rel=1e-14)


def test_force_transfer_without_buckling_only_splits_the_force():
    dof, abd, abdsub, fc = film_state(1e-4)
    out = d.forcetransfer(abd, abdsub, fc, fc[1, 0], fc[2, 0], 99.0, 20.0, 26.0, 8.0, 54.0, 3.0,
                          r_in=0.5)
    nl, nr = d.momentumbalance(fc[0, 0], fc[1, 0] + fc[2, 0], 4.0, 26.0, 20.0, 54.0, 3.0)
    assert out == pytest.approx((nl, nr, fc[1, 0], fc[2, 0], 0.0, 0.0, 0.0), rel=1e-14)


def test_force_transfer_of_one_buckled_sub_laminate():
    dof, abd, abdsub, fc = film_state(1e-3)
    n1 = 0.4 * fc[1, 0]  # the film carries 40 % of its share
    lw, rw, dw, w, r = 20.0, 26.0, 8.0, 54.0, 0.25
    nl, nr, ns1, ns2, dd, ie1, ie2 = d.forcetransfer(abd, abdsub, fc, n1, fc[2, 0], w, lw, rw, dw,
                                                     w, 0.0, r_in=r)
    k1, k2 = r * abdsub[0, 0, 0], abdsub[1, 0, 0]  # the substrate keeps its full stiffness
    dd_hand = (fc[1, 0] - n1) * dw / ((lw + rw) * abd[0, 0] + (k1 + k2) * dw)
    assert dd == pytest.approx(dd_hand, rel=1e-13)
    assert (ns1, ns2) == pytest.approx((n1 + k1 * dd_hand, fc[2, 0] + k2 * dd_hand), rel=1e-13)
    assert ie1 == pytest.approx((n1 + ns1) / 2 * dd_hand, rel=1e-13)
    assert ie2 == pytest.approx((fc[2, 0] + ns2) / 2 * dd_hand, rel=1e-13)
    assert (nl, nr) == pytest.approx(d.momentumbalance(fc[0, 0], ns1 + ns2, dw / 2, rw, lw, w,
                                                       0.0), rel=1e-14)


def test_equivalent_displacement_of_strips_at_the_laminate_strain():
    abd = abd_of(CFRP, [0, 45, -45, 90])
    dof = np.array([-2e-3, 1e-4, 0, 0, 0, 0])
    n = abd[0, 0] * dof[0]
    deltax = d.equivdisp(abd, 6.0, 4.0, 50.0, dof, 0.0, n, n, 17.0, 25.0)
    assert deltax == pytest.approx(2 * 6.0 * dof[0], rel=1e-14)


# --- Release rates ----------------------------------------------------------------------------

@pytest.mark.parametrize("ratio", [1.5, 2.0, 4.0])
@pytest.mark.parametrize("b", [2.0, 5.0])
def test_film_release_rates_match_hutchinson_suo(ratio, b):
    a = 200 * b
    sc = film_sc(a, b)
    dof, abd, abdsub, fc = film_state(ratio * sc / EP)
    gx, gy, gl, gr = d.energyreleaserate(dof, abd, abdsub, a, b, 40 * b, 3 * a, 0.0, fc,
                                         da_in=1e-3 * b, db_in=1e-3 * b)
    hx, hy = hutchinson_suo(ratio * sc, sc)
    assert gy == pytest.approx(hy, rel=0.01)
    assert gx == pytest.approx(hx, rel=0.02)
    assert gl == pytest.approx(gr, rel=1e-8)


def test_no_release_while_nothing_buckles():
    b = 3.0
    dof, abd, abdsub, fc = film_state(0.9 * film_sc(40.0, b) / EP)
    g = d.energyreleaserate(dof, abd, abdsub, 40.0, b, 60.0, 200.0, 0.0, fc, e_in=2.0)
    scale = 0.5 * fc[0, 0] * dof[0]  # an energy density of the laminate
    assert np.abs(g) == pytest.approx(np.zeros(4), abs=1e-9 * scale)


@pytest.mark.parametrize("a,b,kw", [
    (0.0, 3.0, {}), (-1.0, 3.0, {}), (10.0, 0.0, {}), (10.0, np.nan, {}),
    (10.0, 3.0, {"da_in": 0.0}), (10.0, 3.0, {"db_in": -0.1}),
    (10.0, 3.0, {"e_in": 26.8}),    # left strip of the left-grown state 0.2 - 0.2 wide
    (10.0, 3.0, {"e_in": -26.9}),   # right strip narrower still
    (10.0, 29.95, {}),              # both strips 0.05 wide, less than 2 db
])
def test_release_rates_of_an_impossible_state_are_refused(a, b, kw):
    dof, abd, abdsub, fc = film_state(0.01)
    assert d.energyreleaserate(dof, abd, abdsub, a, b, 60.0, 200.0, 0.0, fc, **kw) == (0, 0, 0, 0)
    assert errstat() == -3


def test_release_rates_without_load_are_zero():
    dof, abd, abdsub, fc = film_state(0.0)
    assert d.energyreleaserate(dof, abd, abdsub, 10.0, 3.0, 60.0, 200.0, 0.0, fc) == (0, 0, 0, 0)
    assert errstat() == 0


def test_python_default_length_step_differs_from_the_direct_one():
    b = 3.0
    dof, abd, abdsub, fc = film_state(3 * film_sc(30.0, b) / EP)
    args = (dof, abd, abdsub, 30.0, b, 60.0, 200.0, 0.0, fc)
    assert d.energyreleaserate(*args) == d.energyreleaserate(*args, 0.0, 1.0, 0.1, 1.0, 0.0)
    assert d.energyreleaserate(*args)[0] != d.energyreleaserate(*args, da_in=0.1)[0]


A90 = abd_of(CFRP, [90])[:3, :3]


@pytest.mark.parametrize("outer,share", [(0, 2), (1, 1), (2, 2)])
def test_crack_release_rate_is_the_energy_of_the_lost_stress(outer, share):
    e = np.array([1e-3, -2e-4, 3e-4, 9.0, 9.0, 9.0])  # entries 4..6 not read
    a = A90
    for k in (1, 2, 3):
        m = a.copy()
        m[k - 1, :] = 0
        hand = (0.5 * e[:3] @ a @ e[:3] - 0.5 * e[:3] @ m @ e[:3]) / share
        got = d.serr_delatension(e, a, 1.0, 2.0, 3.0, 40.0, k, outer=outer)
        assert got == pytest.approx(hand, rel=1e-13)
    assert d.serr_delatension(e, a, 1.0, 2.0, 3.0, 40.0, 0, outer=outer) == 0.0


@pytest.mark.parametrize("k", [-1, 4])
def test_crack_release_rate_refuses_an_unknown_direction(k):
    assert d.serr_delatension(np.ones(6), A90, 1.0, 2.0, 3.0, 0.0, k) == 0.0
    assert errstat() == -3


def test_fibre_crack_release_rate():
    p = props(CFRP)
    g = d.fibertension_lefm(800.0, 0.5, 123.0, p)
    assert g == pytest.approx(800.0**2 * np.pi * 0.5 / CFRP[0], rel=1e-14)
    assert d.fibertension_lefm(800.0, 1.0, 0.0, p) == pytest.approx(2 * g, rel=1e-14)
    assert d.fibertension_lefm(1600.0, 0.5, 0.0, p) == pytest.approx(4 * g, rel=1e-14)
    assert d.fibertension_lefm(800.0, 0.5, 0.0, np.zeros(0)) == 0.0
    assert errstat() == -3


# --- Paris laws and histories -----------------------------------------------------------------

def test_paris_rate():
    assert d.growthrateparis(0.3, 2e-3, 2.5) == pytest.approx(2e-3 * 0.3**2.5, rel=1e-14)
    assert d.growthrateparis(-0.3, 2e-3, 2.5) == 0.0   # no growth, not NaN
    assert d.growthrateparis(-0.3, 2e-3, 2.0) == 0.0


def test_initiation_law_branches_are_not_inverse():
    g, n = np.array(1.0), np.array(-1.0)
    d.growthinitiationparis(g, n, 2.0, 3.0)
    assert (g, n) == (1.0, 8.0)
    d.growthinitiationparis(g, n, 2.0, 3.0)
    assert (g, n) == (4.0, 8.0)


FILM_LAYUP = np.zeros(21)


def test_compression_growth_against_solve_ivp():
    b0, a0, nf, cf, total = 2.0, 400.0, 2.0, 0.05, 400
    s = 2.0 * film_sc(a0, b0)
    res = d.delacompgrowth(FILM_LAYUP, T, np.array([-s / EP, 0, 0, 0, 0, 0]), 1,
                           props(ISO, 1.0, nf, cf), 4000.0, 80.0, 0.0, 2 * b0, 2 * a0, total,
                           dmgincrement_in=0.002)

    def rate(n, y):
        gx, gy = hutchinson_suo(s, film_sc(*y))
        return [cf * gx**nf, cf * gy**nf]

    ref = solve_ivp(rate, (0, total), [a0, b0], rtol=1e-10, atol=1e-12).y[:, -1]
    assert res[4, -1] / 2 - b0 == pytest.approx(ref[1] - b0, rel=0.03)
    assert res[3, -1] / 2 - a0 == pytest.approx(ref[0] - a0, rel=0.03)
    assert res[4, -1] > 1.25 * 2 * b0  # the width has grown by a quarter
    # every jump re-evaluates the rates of the state it starts from
    # (with the stiffnesses as the library forms them: the rates are differences of energies)
    lam = _vorlen.laminate
    abd, s1, s2 = (lam.getabdmatrix(*(f(np.tile(ISO[:, None], (1, n)), np.zeros(n),
                                        np.full(n, T)) for f in (lam.getamatrix, lam.getbmatrix,
                                                                 lam.getdmatrix)))
                   for n in (21, 1, 20))
    dof = np.array([-s / EP, 0, 0, 0, 0, 0])
    g = d.energyreleaserate(dof, abd, np.array([s1, s2]), res[3, 200] / 2, res[4, 200] / 2, 80.0,
                            4000.0, 0.0, np.array([abd @ dof, s1 @ dof, s2 @ dof]), 0.0, 0.002,
                            0.002)
    assert res[8:12, 201] == pytest.approx(g, rel=1e-12)


def test_compression_history_table():
    layup = np.array([0, 45, -45, 90, 90, -45, 45, 0.0])
    eps = -4e-3
    res = d.delacompgrowth(layup, 0.125, np.array([eps, 0, 0, 0, 0, 0, 7.0]), 2,
                           props(CFRP, 1.0, 1.5, 0.1), 150.0, 60.0, 1.0, 12.0, 16.0, 7,
                           incyclejump=3)
    a11 = abd_of(CFRP, layup, 0.125)[0, 0]
    assert res.shape == (13, 8)
    assert res[:6, 0] == pytest.approx([0, a11 * eps, eps * 150.0, 16.0, 12.0, 192.0],
                                       rel=1e-12)
    assert list(res[0, :5]) == [0, 3, 6, 9, 0]          # the last jump passes 7 cycles
    assert np.all(res[:, 4:] == 0) and np.all(res[6:, 0] == 0) and np.all(res[12] == 0)
    assert res[5, 1:4] == pytest.approx(res[3, 1:4] * res[4, 1:4], rel=1e-14)
    assert np.all(res[7, 1:4] > 0)
    # width growth from gy alone, with the forward step of each jump
    assert res[4, 1:4] == pytest.approx(res[4, :3] + 3 * 2 * res[7, 1:4], rel=1e-14)


def test_compression_history_without_paris_coefficient_keeps_the_size():
    res = d.delacompgrowth(FILM_LAYUP, T, np.array([-0.01, 0, 0, 0, 0, 0]), 20,
                           props(ISO, 1.0, 2.0, 0.0), 400.0, 60.0, 0.0, 6.0, 40.0, 3)
    assert np.all(res[3:6] == res[3:6, :1])
    assert np.all(res[8:10, 1:] > 0)
    assert d.delacompgrowth(FILM_LAYUP, T, np.zeros(6), 1, props(ISO), 1.0, 1.0, 0.0, 1.0, 1.0,
                            0).shape == (13, 1)


@pytest.mark.parametrize("change", [{"dela_interface": 0}, {"dela_interface": 8},
                                    {"props": props(CFRP)[:11]}, {"indof": np.zeros(5)},
                                    {"incyclejump": 0}, {"incyclejump": -2}, {"totalcycles": -1},
                                    {"tply": -0.125}, {"tply": 0.0}, {"dmglength": np.nan},
                                    {"dmgwidth": -5.0}, {"length": -100.0}, {"width": np.inf},
                                    {"dmgincrement_in": np.nan}, {"extensdmg": np.nan}])
def test_compression_history_refuses_what_it_cannot_read(change):
    args = dict(layup=np.zeros(8), tply=0.125, indof=np.array([-1e-3, 0, 0, 0, 0, 0]),
                dela_interface=3, props=props(CFRP), length=100.0, width=50.0, extensdmg=0.0,
                dmgwidth=5.0, dmglength=5.0, totalcycles=4)
    args.update(change)
    res = d.delacompgrowth(**args)
    assert np.all(res == 0)
    assert errstat() == -3


CROSS_PLY = np.array([0, 90, 0.0])


def transverse_rate(eps, share=2):
    """Release rate of a cracked 90 degree ply of the cross-ply under e11 = eps."""
    return CFRP[1] * T * eps**2 / (share * 2 * (1 - CFRP[3]**2 * CFRP[1] / CFRP[0]))


@pytest.mark.parametrize("layup,ncrack,share", [(CROSS_PLY, 2, 2), (np.array([90, 0, 0.0]), 1, 1),
                                                (np.array([0, 0, 90.0]), 3, 1)])
def test_cracked_90_ply_releases_its_transverse_energy(layup, ncrack, share):
    eps = 3e-3
    p = props(CFRP, 1.0, 2.0, 1e-3)
    res = d.delatensiongrowth(layup, T, np.array([eps, 0, 0, 0, 0, 0]), ncrack, p, 0.0, 0.0, 0.0,
                              4.0, 6.0, 2.0, 5)
    serr = transverse_rate(eps, share)
    # the 90 ply's stress runs along x: its principal frame is the laminate's, the fibres lie
    # across it (delta 90)
    assert res[6, 0] == pytest.approx(serr, rel=1e-12)
    assert res[8, 0] == pytest.approx(0.0, abs=1e-12 * serr)
    rate = 1e-3 * serr**2
    assert res[7, 0] == pytest.approx(2 * 2.0 * np.cos(np.pi / 2) * rate, abs=1e-15)
    assert res[1, 0] == pytest.approx(abd_of(CFRP, layup)[0, 0] * eps, rel=1e-12)
    assert res[9, 0] == 1.0                 # Python's paris_ng (0, 0): exponent 0
    assert list(res[0, :7]) == [0, 1, 2, 3, 4, 5, 0]
    assert res[3, :6] == pytest.approx(6.0 + rate * np.arange(6), rel=1e-12)  # linear growth
    assert res[5, 0] == pytest.approx(np.pi / 4 * 24.0, rel=1e-15)
    assert np.all(res[:, 6:] == 0)


def test_tension_history_of_equal_biaxial_strain_has_no_principal_angle():
    eps = 2e-3
    p = props(ISO, 1.0, 1.0, 1.0)
    res = d.delatensiongrowth(np.array([0.0, 0, 0]), T, np.array([eps, eps, 0, 0, 0, 0]), 2,
                              p, 0.0, 0.0, 0.0, 4.0, 6.0, 2.0, 0)
    a = abd_of(ISO, [0])[:3, :3]
    assert res[6, 0] == pytest.approx(eps * (a[0, 0] + a[0, 1]) * eps / 4, rel=1e-12)
    assert res[8, 0] == pytest.approx(res[6, 0], rel=1e-12)
    assert np.all(np.isfinite(res))


def test_tension_history_stops_at_column_1000():
    p = props(CFRP, 1.0, 1.0, 1e-3)
    res = d.delatensiongrowth(CROSS_PLY, T, np.array([1e-3, 0, 0, 0, 0, 0]), 2, p, 0.0, 0.0,
                              0.0, 4.0, 6.0, 2.0, 1500)
    assert errstat() == -3
    assert res[0, -1] == 999.0
    full = d.delatensiongrowth(CROSS_PLY, T, np.array([1e-3, 0, 0, 0, 0, 0]), 2, p, 0.0, 0.0,
                               0.0, 4.0, 6.0, 2.0, 1500, incyclejump=2)
    assert full[0, 750] == 1500.0


@pytest.mark.parametrize("change", [{"ncrack": 0}, {"ncrack": 4}, {"props": props(CFRP)[:11]},
                                    {"indof": np.zeros(5)}, {"incyclejump": 0},
                                    {"totalcycles": -3}, {"tply": -T}, {"tply": np.nan},
                                    {"l_crack": -1.0}, {"indmglength": np.nan},
                                    {"indmgwidth": -np.inf}])
def test_tension_history_refuses_what_it_cannot_read(change):
    args = dict(layup=CROSS_PLY, tply=T, indof=np.array([1e-3, 0, 0, 0, 0, 0]), ncrack=2,
                props=props(CFRP), length=0.0, width=0.0, extensdmg=0.0, indmgwidth=1.0,
                indmglength=1.0, l_crack=1.0, totalcycles=4)
    args.update(change)
    assert np.all(d.delatensiongrowth(**args) == 0)
    assert errstat() == -3


# --- Allowables -------------------------------------------------------------------------------

def film_allowable(b, gc):
    """Strain at which the side of the film blister reaches gc (Hutchinson-Suo gy = gc)."""
    sc = film_sc(200 * b, b)
    k = 2 * E * gc / ((1 - NU**2) * T)
    s = -sc + np.sqrt(4 * sc * sc + k)
    return -s / EP, sc / s


def test_compression_allowables_match_hutchinson_suo_and_fall_with_width(capfd):
    gc, last = 0.05, 0.0
    a11 = abd_of(ISO, FILM_LAYUP)[0, 0]
    for b in (2.0, 2.5, 3.0):
        ref, ratio = film_allowable(b, gc)
        assert ratio > 1 / 3
        sizes = np.zeros((20, 2))
        sizes[0] = [400 * b, 2 * b]
        sa, fa, eth, apl = d.find_allowable_nogrowth_comp(
            FILM_LAYUP, T, 0.0, 1200 * b, 40 * b, props(ISO, gc), sizes, inincrement=ref / 50,
            dmgincrement_in=1e-3 * b)
        assert sa == apl[0] == pytest.approx(ref, rel=0.015)
        assert fa[0] == pytest.approx(a11 * sa, rel=1e-9)
        assert abs(sa) < abs(last) or last == 0.0    # a wider delamination grows earlier
        last = sa
        # steps up to the stop: strain, gx, gy, N11, gy_left, gy_right; nothing after it
        stop = np.flatnonzero(eth[0, 0])[-1]
        assert eth[0, 0, :stop + 1] == pytest.approx(ref / 50 * np.arange(1, stop + 2), rel=1e-12)
        assert eth[0, 2, stop] > gc >= eth[0, 2, stop - 1]
        assert eth[0, 3, :stop + 1] == pytest.approx(a11 * eth[0, 0, :stop + 1], rel=1e-12)
        assert np.all(eth[1:] == 0) and np.all(eth[0, :, stop + 1:] == 0)
    assert capfd.readouterr().out == " ERR for a life of  1  cycles is  0.05\n" * 3


def test_compression_allowable_extrapolates_beyond_100_steps():
    b, gc = 2.0, 0.05
    ref, _ = film_allowable(b, gc)
    sizes = np.array([[400 * b, 2 * b]] + [[0, 0]] * 19)
    sa, fa, eth, _ = d.find_allowable_nogrowth_comp(FILM_LAYUP, T, 0.0, 1200 * b, 40 * b,
                                                   props(ISO, gc), sizes, inincrement=ref / 120,
                                                   dmgincrement_in=1e-3 * b)
    g99, g100 = eth[0, 2, 98], eth[0, 2, 99]
    assert g100 < gc
    assert sa == pytest.approx(ref / 120 * (100 + (gc - g100) / (g100 - g99)), rel=1e-12)
    assert fa[0] == pytest.approx(abd_of(ISO, FILM_LAYUP)[0, 0] * sa, rel=1e-9)


def test_compression_allowable_without_rising_rates_is_infinite():
    sizes = np.array([[40.0, 4.0], [0.0, 3.0], [5.0, 0.0]])
    sa, fa, eth, apl = d.find_allowable_nogrowth_comp(np.zeros(4), T, 0.0, 400.0, 40.0,
                                                     props(ISO, 0.05), sizes, inincrement=0.0)
    assert (sa, fa[0], apl[0]) == (-np.inf, -np.inf, -np.inf)
    assert np.all(eth[1:] == 0) and list(apl[1:]) == [0, 0]
    sa, *_ = d.find_allowable_nogrowth_comp(np.zeros(4), T, 0.0, 400.0, 40.0, props(ISO),
                                            np.zeros((3, 2)))
    assert sa == -HUGE


@pytest.mark.parametrize("change", [
    {"layup": np.zeros(3)},                         # three interfaces in three plies
    {"props": props(ISO)[:11]},
    {"inincrement": np.inf}, {"inincrement": np.nan},
    {"dmgincrement_in": np.nan}, {"dmgincrement_in": 0.0},
    {"tply": -T}, {"length": np.nan}, {"width": -40.0}, {"extensdmg": np.inf},
    {"dmgsizes": np.array([[1.0, 1.0], [np.nan, 1.0], [1.0, 1.0]])},
    {"dmgsizes": np.array([[1.0, 1.0], [0.0, 0.0], [1.0, -1.0]])},
    {"props": props(ISO, -0.05)}, {"props": props(ISO, np.nan)},   # the limit
])
def test_compression_allowables_refuse_what_they_cannot_read(change, capfd):
    args = dict(layup=np.zeros(4), tply=T, extensdmg=0.0, length=100.0, width=40.0,
                props=props(ISO), dmgsizes=np.ones((3, 2)))
    args.update(change)
    sa, fa, eth, apl = d.find_allowable_nogrowth_comp(**args)
    assert errstat() == -3
    assert sa == 0 and not fa.any() and not eth.any() and not apl.any()
    assert capfd.readouterr().out == ""


def quadratic_allowable(c, step, limit):
    """The stepping of the allowables on the rate c e^2 of the cracked ply."""
    g = c * (step * np.arange(101))**2
    j = np.argmax(g > limit)
    return step * j + step * (limit - g[j]) / (g[j] - g[j - 1])


def test_tension_allowable_of_a_cracked_90_ply():
    layup = np.array([0, 90, 90, 0.0])
    gc, step = 0.2, 3e-4
    c = transverse_rate(1.0)
    a11 = abd_of(CFRP, layup)[0, 0]
    apl, sa, fpl = d.find_allowable_nogrowth_tension(layup, T, 0.0, 0.0, 0.0, props(CFRP, gc),
                                                     np.array([0, 1.5, 0, 0.0]), np.ones((3, 2)),
                                                     inincrement=-step)
    ref = quadratic_allowable(c, step, gc)
    assert ref < 100 * step
    assert sa == apl[1] == pytest.approx(ref, rel=1e-10)
    assert fpl[1] == pytest.approx(a11 * ref, rel=1e-10)
    assert (apl[0], apl[2], apl[3]) == (0, 0, 0)
    # the delamination size takes no part in the rates: no interface, the same allowable
    assert d.find_allowable_nogrowth_tension(layup, T, 0.0, 0.0, 0.0, props(CFRP, gc),
                                             np.array([0, 1.5, 0, 0.0]), np.zeros((0, 2)),
                                             inincrement=-step)[1] == sa
    assert errstat() == 0


@pytest.mark.parametrize("cycles,limit,lines", [
    (0.0, 0.2, ""), (1.0, 0.2, ""), (1e6, 0.5 * 1e6**(1 / 4.0), ""),
    (0.5, 0.2, " Invalid number of cycles was given\n Static limit is calculated\n"),
    (-2.0, 0.2, " Invalid number of cycles was given\n Static limit is calculated\n"),
])
def test_tension_allowable_limit_for_a_life(cycles, limit, lines, capfd):
    layup = np.array([0, 90, 90, 0.0])
    step = 2e-4
    apl, sa, _ = d.find_allowable_nogrowth_tension(layup, T, 0.0, 0.0, 0.0,
                                                   props(CFRP, 0.2, 0.5, 4.0),
                                                   np.array([0, 1.5, 0, 0.0]), np.ones((3, 2)),
                                                   inincrement=step, inloadcycles=cycles)
    c = transverse_rate(1.0)
    if c * (100 * step)**2 > limit:
        assert sa == pytest.approx(quadratic_allowable(c, step, limit), rel=1e-10)
    else:
        g99, g100 = c * (99 * step)**2, c * (100 * step)**2
        assert sa == pytest.approx(100 * step + step * (limit - g100) / (g100 - g99), rel=1e-10)
    assert capfd.readouterr().out == lines


def test_tension_allowable_without_crack_or_rising_rate():
    p = props(CFRP, 0.2)
    apl, sa, fpl = d.find_allowable_nogrowth_tension(CROSS_PLY, T, 0.0, 0.0, 0.0, p, np.zeros(3),
                                                     np.ones((2, 2)))
    assert sa == HUGE and not apl.any() and not fpl.any()
    apl, sa, fpl = d.find_allowable_nogrowth_tension(CROSS_PLY, T, 0.0, 0.0, 0.0, p,
                                                     np.array([1.0, 0, 0]), np.ones((2, 2)),
                                                     inincrement=0.0)
    assert (sa, apl[0], fpl[0]) == (np.inf, np.inf, np.inf)
    apl, sa, fpl = d.find_allowable_nogrowth_tension(CROSS_PLY, T, 0.0, 0.0, 0.0, props(CFRP)[:9],
                                                     np.ones(3), np.ones((2, 2)))
    assert errstat() == -3 and sa == 0 and not apl.any() and not fpl.any()


@pytest.mark.parametrize("change", [
    {"fibercrack": np.array([np.nan, 1.0, 0.0])}, {"fibercrack": np.array([0.0, -1.5, 0.0])},
    {"fibercrack": np.array([0.0, np.inf, 0.0])},
    {"inincrement": np.nan}, {"inincrement": -np.inf},
    {"tply": -T}, {"tply": np.nan},
    {"dmgsizes": np.array([[1.0, np.nan], [1.0, 1.0]])},
    {"props": props(CFRP, -0.2)},                   # the limit
])
def test_tension_allowables_refuse_what_they_cannot_read(change, capfd):
    args = dict(layup=CROSS_PLY, tply=T, extensdmg=0.0, length=0.0, width=0.0,
                props=props(CFRP, 0.2), fibercrack=np.array([0.0, 1.0, 0.0]),
                dmgsizes=np.ones((2, 2)))
    args.update(change)
    apl, sa, fpl = d.find_allowable_nogrowth_tension(**args)
    assert errstat() == -3
    assert sa == 0 and not apl.any() and not fpl.any()
    assert capfd.readouterr().out == ""
