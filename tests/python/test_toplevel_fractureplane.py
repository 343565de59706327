"""Explicit fracture-plane ply damage (vumat_bogenfeld). Elastic stiffnesses are numpy inverses
of the orthotropic compliance; softening and dissipation are checked against the crack-band
closed forms (G_c/l_c per volume), fracture angles against a numpy sweep of the Wiegand index."""
import numpy as np
import pytest

from conftest import errstat, errtext
from ply_lib import nye_compliance

_vorlen = pytest.importorskip("_vorlen")
toplevel = _vorlen.toplevel

# E11, E22, E33, G12, G13, G23, nu12, nu13, nu23, then strengths and toughnesses (MPa, mm).
PROPS = np.zeros(29)
PROPS[:9] = [161000.0, 11380.0, 11380.0, 5170.0, 5170.0, 3980.0, 0.32, 0.32, 0.436]
PROPS[[9, 10, 12, 13, 15, 16]] = [2300.0, 62.0, 1200.0, 200.0, 90.0, 90.0]
PROPS[24:29] = [20.0, 30.0, 0.3, 0.8, 0.8]
NYE = PROPS[[0, 1, 2, 6, 7, 8, 3, 4, 5]]
NSTATEV = 47


def compliance(p=PROPS):
    """Compliance in the explicit order (11, 22, 33, 12, 23, 13), engineering shears."""
    e1, e2, e3, g12, g13, g23, n12, n13, n23 = p[:9]
    order = [0, 1, 2, 3, 5, 4]  # Nye to the explicit order
    return nye_compliance(e1, e2, e3, n12, n13, n23, g12, g13, g23)[np.ix_(order, order)]


def eng(eps):
    """Tensor shears to engineering shears."""
    return np.asarray(eps, float) * np.r_[1, 1, 1, 2, 2, 2]


def fresh_state(nb=1):
    st = np.zeros((nb, NSTATEV))
    st[:, 18] = 1.0  # active
    return st


def call(props, de, *, sold=None, stold=None, totaltime=1.0, ndir=3, nshr=3, density=1.0,
         lc=0.5, eold=0.0, einold=0.0, nstatev=NSTATEV):
    de = np.asfortranarray(np.atleast_2d(de), dtype=float)
    nb, nt = de.shape
    sold = np.zeros((nb, nt)) if sold is None else np.atleast_2d(sold)
    stold = fresh_state(nb)[:, :nstatev] if stold is None else np.atleast_2d(stold)
    out = toplevel.vumat_bogenfeld(
        ndir, nshr, 0, 0.0, totaltime, 1.0, "PLY", np.zeros((nb, 3)),
        np.broadcast_to(lc, (nb, 3)).astype(float), np.asarray(props, float),
        np.full(nb, density), de, np.zeros((nb, 1)), np.zeros(nb), np.zeros((nb, nt)),
        np.zeros((nb, 1)), np.zeros((nb, 1)), sold, stold, np.full(nb, eold),
        np.full(nb, einold), np.zeros(nb), np.zeros((nb, nt)), np.zeros((nb, 1)),
        np.zeros((nb, 1)))
    return (de,) + tuple(out)


def path(strains, props=PROPS, lc=0.5, nblock=1):
    """Strain path through the solver protocol; the solver's initial call (total time 0, which
    leaves the state row) comes first with no strain, so that index k is strains[k]."""
    from solverdriver import vumat_path
    strains = np.asarray(strains, float)
    r = vumat_path("vumat_bogenfeld", props, np.concatenate([strains[:1], strains]),
                   nstatev=NSTATEV, nblock=nblock, charlength=lc, state=fresh_state(nblock))
    for name in ("stress", "state", "enerintern", "enerinelas"):
        setattr(r, name, getattr(r, name)[1:])
    return r


@pytest.mark.parametrize("props, totaltime", [(NYE, 1.0), (PROPS, 0.0)])
def test_elastic_path_is_the_orthotropic_law(clean_store, props, totaltime):
    """Short forms, and the initial call whatever the properties: stressold + C straininc with
    C the numpy inverse of the compliance; the state row stays; all of the work less the
    elastic energy 1/2 s.C^-1 s is inelastic."""
    de = np.array([[1e-3, -2e-4, 3e-4, 5e-4, -2e-4, 1e-4]])
    sold = np.array([[10.0, -5.0, 2.0, 1.0, 0.5, -3.0]])
    stold = fresh_state()
    stold[0, 20:26] = 7.0
    _, snew, stnew, enew, einel = call(props, de, sold=sold, stold=stold, totaltime=totaltime,
                                       density=2.0, eold=3.0)
    s = compliance()
    expected = sold + np.linalg.solve(s, eng(de[0]))
    np.testing.assert_allclose(snew, expected, rtol=1e-12, atol=1e-9)
    np.testing.assert_array_equal(stnew, stold)
    work = 0.5 * (snew[0] + sold[0]) @ eng(de[0])
    elastic = 0.5 * snew[0] @ s @ snew[0]
    assert enew[0] == pytest.approx(3.0 + work / 2.0, rel=1e-12)
    assert einel[0] == pytest.approx(enew[0] - elastic / 2.0, rel=1e-12)
    assert errstat() == 0


def test_plane_stress_thickness_increment(clean_store):
    de, snew, *_ = call(PROPS, [[1e-3, -4e-4, 0.0, 2.5e-4]], ndir=3, nshr=1, totaltime=0.0)
    s = compliance()[np.ix_([0, 1, 3], [0, 1, 3])]
    ds = np.linalg.solve(s, [1e-3, -4e-4, 5e-4])
    np.testing.assert_allclose(snew[0], [ds[0], ds[1], 0.0, ds[2]], rtol=1e-12, atol=1e-9)
    e1, e2, *_ = PROPS
    nu13, nu23 = PROPS[7], PROPS[8]
    assert de[0, 2] == pytest.approx(-(nu13 * ds[0] / e1 + nu23 * ds[1] / e2), rel=1e-12)


@pytest.mark.parametrize("unit", ["mm", "m"])
def test_fibre_tension_softens_and_dissipates_gc_over_lc(clean_store, unit):
    """Uniaxial fibre strain: elastic up to X11t/C11, then a linear fall to the final strain
    2 G_c/(l_c X11t); the dissipated energy at the cap is G_c/l_c less the residual triangle.
    The same ply in metre units (l_c 0.5 mm = 5e-4 m) softens alike."""
    props, lc = PROPS.copy(), 0.5
    props[[10, 13, 15, 16]] = 1e9  # no inter-fibre crack
    if unit == "m":
        props[[0, 1, 2, 3, 4, 5, 9, 12]] *= 1e6  # Pa
        props[24:29] *= 1e3                      # J/m^2
        lc *= 1e-3
    c11 = np.linalg.inv(compliance(props))[0, 0]
    xt, gc = props[9], props[24]
    eps0, eps1 = xt / c11, 2 * gc / (lc * xt)
    n = 400
    e = np.linspace(0.0, 1.2 * eps1, n + 1)
    strains = np.zeros((n + 1, 6))
    strains[:, 0] = e
    r = path(strains, props, lc)
    s = r.stress[:, 0, 0]
    pre = e < 0.98 * eps0
    np.testing.assert_allclose(s[pre], c11 * e[pre], rtol=1e-12)
    assert s.max() == pytest.approx(xt, rel=0.02)
    soft = (e > 1.1 * eps0) & (e < 0.95 * eps1)
    line = c11 * eps0 * (eps1 - e[soft]) / (eps1 - eps0)
    np.testing.assert_allclose(s[soft], line, atol=0.01 * xt)
    live = r.state[:, 0, 18] != 0
    last = np.nonzero(live)[0][-1]
    assert r.state[last + 1, 0, 0] == 0.999 and not live[last + 1:].any()
    sc = s[last]  # residual stress at the cap
    assert r.enerinelas[last, 0] == pytest.approx(gc / lc - 0.5 * sc * e[last], rel=0.02)
    assert not r.state[:, 0, 2].any() and errstat() == 0


def test_unloading_on_the_secant_keeps_damage(clean_store):
    props = PROPS.copy()
    props[[10, 13, 15, 16]] = 1e9
    c11 = np.linalg.inv(compliance(props))[0, 0]
    eps0 = props[9] / c11
    up = np.linspace(0.0, 1.6 * eps0, 161)
    e = np.r_[up, np.linspace(1.6 * eps0, 0.0, 41)[1:]]
    strains = np.zeros((len(e), 6))
    strains[:, 0] = e
    r = path(strains, props)
    d = r.state[160, 0, 0]
    assert 0 < d < 1
    down = slice(161, None)
    np.testing.assert_allclose(r.state[down, 0, 0], d)
    np.testing.assert_allclose(r.stress[down, 0, 0], (1 - d) * c11 * e[down], rtol=1e-10,
                               atol=1e-9)
    # back at zero strain nothing is stored: all work is dissipated
    assert r.enerinelas[-1, 0] == pytest.approx(r.enerintern[-1, 0], rel=1e-12)


def wiegand_sweep(sig, p=PROPS):
    """Largest Wiegand index over the planes through the fibre axis and the angle of its plane
    measured from the xz plane (degrees); sig in the explicit order."""
    th = np.linspace(0.0, np.pi, 180001)
    c, s = np.cos(th), np.sin(th)
    s22, s33, s12, s23, s13 = sig[1], sig[2], sig[3], sig[4], sig[5]
    sn = s22 * s**2 + s33 * c**2 - 2 * s23 * s * c
    tl = s13 * c - s12 * s
    tt = s23 * (c**2 - s**2) + (s33 - s22) * s * c
    a0 = np.radians(53.0)
    mu = -1 / (2 * np.tan(2 * a0))
    ra = p[13] / (2 * np.tan(a0))
    mul = mu * p[15] / ra
    f = np.sqrt((tl / (p[15] - mul * sn))**2 + (tt / (ra - mu * sn))**2 +
                np.where(sn >= 0, (sn / p[10])**2, 0.0))
    j = np.argmax(f)
    return f[j], np.degrees(np.arccos(-abs(np.sin(th[j])) * np.sign(np.cos(th[j]))))


def test_interfibre_crack_under_transverse_compression(clean_store):
    """Uniaxial transverse compression: the crack appears in the increment where the index of
    the numpy sweep passes 1, on a plane about 49 degrees from the xz plane (or its mirror
    image, the load being symmetric); the crack is closed and its damage grows."""
    s = compliance()
    n = 100
    s22 = np.linspace(0.0, -300.0, n + 1)
    eps = np.outer(s22, s[:, 1]) * np.r_[1, 1, 1, 0.5, 0.5, 0.5]
    r = path(eps)
    k = np.argmax(r.state[:, 0, 9] >= 1)
    f_prev, _ = wiegand_sweep(np.r_[0, s22[k - 1], 0, 0, 0, 0])
    f_k, angle = wiegand_sweep(np.r_[0, s22[k], 0, 0, 0, 0])
    assert f_prev < 1 <= f_k
    assert min(abs(angle - 49.1), abs(angle - 130.9)) < 0.3
    phi = r.state[k, 0, 11]
    assert min(abs(phi - angle), abs(phi - (180 - angle))) < 0.5
    np.testing.assert_array_equal(r.state[k:, 0, 11], phi)
    rec = r.state[k, 0, [6, 7, 8, 10]]
    assert rec[2] == pytest.approx(PROPS[27], rel=1e-12) and rec[3] >= 1.2 * rec[0] > 0
    np.testing.assert_array_equal(r.state[k:, 0, [6, 7, 8, 10]], np.tile(rec, (n + 1 - k, 1)))
    np.testing.assert_array_equal(r.state[k + 1:, 0, 46], -1.0)
    wd = r.state[:, 0, 2]
    assert wd[k] == 0 and np.all(np.diff(wd[k:]) > 0) and wd[-1] <= 0.99
    assert not r.state[:, 0, :2].any() and not r.state[:, 0, 3].any()


def test_onset_without_strain_on_the_plane_waits(clean_store):
    """A transverse stress from Poisson coupling alone (fibre strain only) reaches the
    inter-fibre index 1 with no strain on any plane: no crack is recorded (no instant full
    damage), the index is held below 1; strain on the plane starts the crack."""
    props = PROPS.copy()
    props[9] = props[12] = 1e9  # no fibre failure
    n = 40
    strains = np.zeros((n + 1, 6))
    strains[:, 0] = np.linspace(0.0, 0.02, n + 1)
    r = path(strains, props)
    st = r.state[:, 0]
    assert np.isfinite(r.stress).all() and np.isfinite(st).all()
    assert st[-1, 9] == np.nextafter(1.0, 0.0)
    assert not st[:, 2].any() and (st[:, 6] == 0).all()
    strains2 = np.vstack([strains, strains[-1] + [0, 1e-3, 0, 0, 0, 0]])
    r = path(strains2, props)
    st = r.state[-1, 0]
    assert st[9] > 1 and st[6] > 0 and st[10] > st[6]


def test_fibre_compression_onset_values(clean_store):
    """Compressive fibre stress at the start of the increment beyond X11c: onset strain = the
    equivalent compressive strain over the fourth root of the index, final strain
    max(2 G_c/(X l_c), 1.5 times the onset strain)."""
    props = PROPS.copy()
    props[[10, 13, 15, 16]] = 1e9
    c = np.linalg.inv(compliance(props))
    for lc, long in [(0.5, False), (1e4, True)]:
        stold = fresh_state()
        eps_old = np.array([-0.008, 0, 0, 1e-3, 0, 0])
        stold[0, 20:26] = eps_old
        sold = c @ eng(eps_old)  # s11 below -X11c
        de = np.array([[-1e-4, 0, 0, 0, 0, 0]])
        _, snew, stnew, *_ = call(props, de, sold=sold, stold=stold, lc=lc)
        ff = -sold[0] / props[12]
        e = np.hypot(0.0081, 1e-3)
        e0 = e / ff**0.25
        e1 = 1.5 * e0 if long else 2 * props[25] / (-sold[0] * lc)
        np.testing.assert_allclose(stnew[0, [15, 16, 45, 19]], [e0, e1, -sold[0], ff],
                                   rtol=1e-12)
        d = (1 - e0 / e) * e1 / (e1 - e0)
        assert stnew[0, 1] == pytest.approx(d, rel=1e-12)
        assert stnew[0, 0] == 0 and ff > 1


def test_points_of_a_block_are_independent(clean_store):
    """Every point depends on its own row only: a block gives what each point gives alone."""
    props = PROPS.copy()
    s = compliance()
    n = 60
    e = np.zeros((n + 1, 3, 6))
    e[:, 0, 0] = np.linspace(0, 0.03, n + 1)
    e[:, 1] = np.outer(np.linspace(0, -300, n + 1), s[:, 1]) * np.r_[1, 1, 1, .5, .5, .5]
    e[:, 2, 1] = np.linspace(0, 0.01, n + 1)
    e[:, 2, 3] = np.linspace(0, 0.01, n + 1)
    lcs = np.array([[0.5, 0.4, 0.3], [0.2, 0.7, 0.6], [1.0, 0.3, 0.9]])
    rb = path(e, props, lcs, nblock=3)
    for p in range(3):
        r1 = path(e[:, p], props, lcs[p])
        np.testing.assert_array_equal(rb.stress[:, p], r1.stress[:, 0])
        np.testing.assert_array_equal(rb.state[:, p], r1.state[:, 0])
        np.testing.assert_array_equal(rb.enerinelas[:, p], r1.enerinelas[:, 0])
    assert rb.state[-1, 0, 0] > 0 and rb.state[-1, 1, 9] >= 1 and rb.state[-1, 2, 9] >= 1


REFUSED = [
    dict(nstatev=30),
    dict(props=PROPS[:15]),
    dict(props=np.r_[NYE, np.zeros(12)], nshr=1),  # 21 values, four components
    dict(density=0.0),
    dict(lc=0.0),
    dict(lc=-1.0),
    dict(nshr=1),  # damage update with four components
]


@pytest.mark.parametrize("case", REFUSED)
def test_refused_inputs_give_trial_stress_and_copied_state(clean_store, case):
    case = dict(case)
    props = case.pop("props", PROPS)
    nshr = case.pop("nshr", 3)
    nt = 3 + nshr
    nstatev = case.get("nstatev", NSTATEV)
    de = np.array([[2e-3, -1e-3, 4e-4, 3e-4, 2e-4, 1e-4][:nt]])
    sold = np.arange(1.0, nt + 1)[None]
    stold = np.linspace(1.0, 2.0, nstatev)[None]
    de, snew, stnew, enew, einel = call(props, de, sold=sold, stold=stold, nshr=nshr, eold=5.0,
                                        einold=4.0, **case)
    assert errstat() == -3
    np.testing.assert_array_equal(stnew, stold)
    if len(props) < 29:  # no constants: no stiffness
        np.testing.assert_array_equal(snew, sold)
        return
    assert enew[0] == 5.0 and einel[0] == 4.0
    s = compliance()
    if nt == 4:
        ds = np.linalg.solve(s[np.ix_([0, 1, 3], [0, 1, 3])], [de[0, 0], de[0, 1], 2 * de[0, 3]])
        ds = np.r_[ds[0], ds[1], 0.0, ds[2]]
    else:
        ds = np.linalg.solve(s, eng(de[0]))
    np.testing.assert_allclose(snew[0], sold[0] + ds, rtol=1e-12, atol=1e-9)


# (ndir, nshr, columns of the stress rows, nstatev): (2, 1) is no explicit element, then a
# negative and an oversized count; the columns the routine may reach are the declared ones.
@pytest.mark.parametrize("ndir, nshr, cols, nstatev", [(2, 1, 3, NSTATEV), (-1, 4, 3, NSTATEV),
                                                       (2147483647, 3, 6, NSTATEV),
                                                       (3, 3, 6, -1)])
def test_refused_extents_keep_the_old_rows(clean_store, ndir, nshr, cols, nstatev):
    """-3; stressnew = stressold, statenew = stateold and the old energies, in every output the
    extents reach; an array whose extent is refused stays untouched."""
    from vumat_lib import MARK, vumat_once
    sold = np.arange(1.0, cols + 1)[None]
    stold = np.linspace(1.0, 2.0, max(nstatev, 1))[None]
    snew, stnew, enew, einel = vumat_once("vumat_bogenfeld", PROPS, np.full((1, cols), 1e-3),
                                          sold, stold, ndir=ndir, nshr=nshr, nstatev=nstatev)
    assert errstat() == -3
    np.testing.assert_array_equal(snew, sold if 0 <= ndir + nshr <= 6 else np.full_like(snew, MARK))
    np.testing.assert_array_equal(stnew, stold if nstatev >= 0 else np.full_like(stnew, MARK))
    assert (enew[0], einel[0]) == (5.0, 4.0)


# The indices divide by the strengths: Xt, Xc or X12 of 0 put inf into state columns 18, 20
# and 10 (and the stress grew on without damage).
@pytest.mark.parametrize("slot, sign", [(9, 1), (12, -1), (15, 1)])
def test_zero_strength_gives_the_elastic_trial(clean_store, slot, sign):
    """-3; stressold + C straininc with the vector's constants, the state row and the old
    energies."""
    p = PROPS.copy()
    p[slot] = 0.0
    de = sign * np.array([[1e-3, 1e-3, 0.0, 1e-3, 0.0, 0.0]])
    sold = sign * np.array([[10.0, 1.0, 0.0, 1.0, 0.0, 0.0]])
    stold = fresh_state()
    _, snew, stnew, enew, einel = call(p, de, sold=sold, stold=stold, eold=3.0, einold=1.0)
    assert errstat() == -3
    assert errtext() == "Modulus or strength not a positive normal number in vumat_bogenfeld"
    np.testing.assert_allclose(snew[0], sold[0] + np.linalg.solve(compliance(), eng(de[0])),
                               rtol=1e-12)
    np.testing.assert_array_equal(stnew, stold)
    assert (enew[0], einel[0]) == (3.0, 1.0)


def test_store_constants_and_empty_block(clean_store):
    """nprops 1 reads the ply table at the first point's columns 21, 22; outside it: -3 and no
    stiffness. nblock 0 reads and writes nothing."""
    clean_store.materialdata.peprops = np.asfortranarray(np.tile(NYE, (2, 1)).T[:, :, None])
    de = np.array([[1e-3, 0, 0, 0, 0, 0]])
    stold = fresh_state()
    stold[0, 20:22] = [2, 1]
    _, snew, stnew, *_ = call([1.0], de, stold=stold)
    np.testing.assert_allclose(snew[0], np.linalg.solve(compliance(), eng(de[0])), rtol=1e-12)
    assert errstat() == 0
    stold[0, 20] = 3
    _, snew, *_ = call([1.0], de, stold=stold)
    assert errstat() == -3 and not snew.any()


def raw_call(nb, de, sold, sold_out, stold, stold_out, props=PROPS, lc=0.5):
    """The C entry with the whole VUMAT list by reference; outputs may be the inputs."""
    import ctypes as C
    from solverdriver import _d, _i, _p, _text, lib
    nt = 6
    z = np.zeros((max(nb, 1), 9), order="F")
    lcs, rho = np.full((max(nb, 1), 3), lc, order="F"), np.ones(max(nb, 1))
    e = np.zeros(max(nb, 1), order="F")
    ei = np.zeros(max(nb, 1), order="F")
    p = np.asarray(props, float)
    ptr = (lambda a: _p(a)) if nb > 0 else (lambda a: None)
    lib.toplevel_vumat_bogenfeld.restype = None
    lib.toplevel_vumat_bogenfeld(
        _i(nb), _i(3), _i(3), _i(NSTATEV), _i(1), _i(p.size), _i(0), _d(1.0), _d(1.0), _d(1.0),
        _text("PLY"), ptr(z), ptr(lcs), _p(p), ptr(rho), ptr(de), ptr(z), ptr(z), ptr(z),
        ptr(z), ptr(z), ptr(sold), ptr(stold), ptr(e), ptr(ei), ptr(z), ptr(z), ptr(z), ptr(z),
        ptr(sold_out), ptr(stold_out), ptr(e), ptr(ei))
    return e


def test_outputs_may_share_the_inputs_storage(clean_store):
    """Stress and state updated in place give what separate outputs give, on an increment that
    starts fibre damage and an inter-fibre crack; nblock 0 touches no array (null pointers)."""
    s = compliance()
    eps_old = np.array([[0.0145, 0, 0, 0, 0, 0], -180.0 * s[:, 1]])
    st = fresh_state(2)
    st[:, 20:26] = eps_old
    sold = np.asfortranarray(np.linalg.solve(s, eng(eps_old).T).T)
    de = np.asfortranarray([[1e-4, 0, 0, 0, 0, 0], -5.0 * s[:, 1]])
    snew, stnew = np.zeros((2, 6), order="F"), np.zeros((2, NSTATEV), order="F")
    raw_call(2, de.copy(order="F"), sold, snew, np.asfortranarray(st), stnew)
    s_in, st_in = sold.copy(order="F"), np.asfortranarray(st.copy())
    raw_call(2, de.copy(order="F"), s_in, s_in, st_in, st_in)
    np.testing.assert_array_equal(s_in, snew)
    np.testing.assert_array_equal(st_in, stnew)
    assert stnew[0, 0] > 0 and stnew[1, 9] >= 1
    raw_call(0, None, None, None, None, None)
    assert errstat() == 0
