"""Module dg8: the Ritz model of an elliptic delamination against the exact integrals of its fields
(Gauss quadrature over the disc), clamped-plate buckling, contact sums on the grid by hand, and
the Newton solve, release rate and growth analysis replayed step by step."""
import numpy as np
import pytest
from scipy.special import roots_legendre

import _vorlen
from conftest import errstat, errtext

dg8 = _vorlen.dg8
INF = float("inf")


@pytest.fixture(autouse=True)
def register():
    _vorlen.errorhandling.rsxerr(1)
    yield
    _vorlen.errorhandling.rsxerr(1)


@pytest.mark.parametrize("name,form", [
    ("getstrainenergy8", "getstrainenergy8 = getstrainenergy8(vec,eps,a,b,abd)"),
    ("getf8", "f = getf8(vec,eps,g0,epsbucklin,a,b,abd,w)"),
    ("getdf8", "df = getdf8(vec,eps,g0,a,b,abd,w)"),
    ("getcontactenergy8", "getcontactenergy8 = getcontactenergy8(vec,a,b,kmd,nk)"),
    ("getareaofoverlap8", "getareaofoverlap8 = getareaofoverlap8(vec,a,b,nk)"),
    ("getkdfkf8", "km,kv = getkdfkf8(vec,a,b,kmd,nk)"),
    ("getfdf8", "fp,dfp = getfdf8(vec,eps,g0,epsbucklin,a,b,kmd,abd,nk,w)"),
    ("newtonraphson8", "sol,nrerr = newtonraphson8(sol,a,b,kmd,g0,epsnom,epsbucklin,"
                       "relepsellipse,abd,tolerance,maxiter,nk,w,[overwrite_sol])"),
    ("getenergyreleaserate8", "serr,fa,fb = getenergyreleaserate8(vec,a,b,kmd,g0,epsnom,"
                              "epsbucklin,relepsellipse,abd,nk,w,[tol,maxiter])"),
    ("delaminationgrowthanalysis", "success,strains = delaminationgrowthanalysis(limstrain,"
     "relstrain,plyelastic,plyorientation,plythickness,delamination,sublamstack,kmd,gamma,"
     "width,radius,ninc,nprec,[nplies])"),
])
def test_call_forms(name, form):
    assert getattr(dg8, name).__doc__.splitlines()[0] == form


# --- Reference: the fields of the model and their exact integrals ------------------------------

def disc_rule():
    """Gauss-Legendre in r times the trapezoid rule in theta: exact for the degree-20 integrands."""
    t, wt = roots_legendre(16)
    r, wr = (t + 1) / 2, wt / 2
    th = np.arange(32) * 2 * np.pi / 32
    R, TH = np.meshgrid(r, th, indexing="ij")
    W = (wr * r)[:, None] * np.full(32, 2 * np.pi / 32)[None, :]
    return (R * np.cos(TH)).ravel(), (R * np.sin(TH)).ravel(), W.ravel()


X, Y, WQ = disc_rule()


def fields(vec, a, b):
    """Strain parts of the Ritz fields at the quadrature points: the linear membrane strain e(3,n)
    without the applied strain, the curvature k(3,n), and per coefficient the first variations
    de(8,3,n), dk(8,3,n) and second variations dde(8,8,3,n) of the membrane strain."""
    n = X.size
    psi = 1 - X**2 - Y**2
    bases = []  # per coefficient: (u_x, u_y, v_x, v_y) and w derivatives (x, y, xx, yy, xy)
    zero = np.zeros(n)
    for i in range(8):
        uxy = [zero] * 4
        wd = [zero] * 5
        if i < 4:
            L = X if i % 2 == 0 else Y
            LX, LY = (1.0, 0.0) if i % 2 == 0 else (0.0, 1.0)
            dX, dY = -2 * X * L + psi * LX, -2 * Y * L + psi * LY
            uxy = [dX / a, dY / b, zero, zero] if i < 2 else [zero, zero, dX / a, dY / b]
        else:
            m = [np.ones(n), X**2, Y**2, X * Y][i - 4]
            mX = [zero, 2 * X, zero, Y][i - 4]
            mY = [zero, zero, 2 * Y, X][i - 4]
            mXX, mYY, mXY = [(0, 0, 0), (2, 0, 0), (0, 2, 0), (0, 0, 1)][i - 4]
            wX = -4 * X * psi * m + psi**2 * mX
            wY = -4 * Y * psi * m + psi**2 * mY
            wXX = -4 * psi * m + 8 * X**2 * m - 8 * X * psi * mX + psi**2 * mXX
            wYY = -4 * psi * m + 8 * Y**2 * m - 8 * Y * psi * mY + psi**2 * mYY
            wXY = 8 * X * Y * m - 4 * X * psi * mY - 4 * Y * psi * mX + psi**2 * mXY
            wd = [wX / a, wY / b, wXX / a**2, wYY / b**2, wXY / (a * b)]
        bases.append((uxy, wd))
    ux = sum(vec[i] * bases[i][0][0] for i in range(8))
    uy = sum(vec[i] * bases[i][0][1] for i in range(8))
    vx = sum(vec[i] * bases[i][0][2] for i in range(8))
    vy = sum(vec[i] * bases[i][0][3] for i in range(8))
    wx, wy, wxx, wyy, wxy = (sum(vec[i] * bases[i][1][k] for i in range(8)) for k in range(5))
    e = np.array([ux + wx**2 / 2, vy + wy**2 / 2, uy + vx + wx * wy])
    k = np.array([-wxx, -wyy, -2 * wxy])
    de = np.array([[u[0] + wx * w[0], u[3] + wy * w[1], u[1] + u[2] + wx * w[1] + w[0] * wy]
                   for u, w in bases])
    dk = np.array([[-w[2], -w[3], -2 * w[4]] for _, w in bases])
    dde = np.array([[[wi[0] * wj[0], wi[1] * wj[1], wi[0] * wj[1] + wj[0] * wi[1]]
                     for _, wj in bases] for _, wi in bases])
    return e, k, de, dk, dde


def blocks(abd):
    """A, B, D as the model reads them: symmetric from the upper triangle of each block."""
    def sym(m):
        return np.triu(m) + np.triu(m, 1).T
    return sym(abd[:3, :3]), sym(abd[:3, 3:]), sym(abd[3:, 3:])


def exact(vec, eps, a, b, abd):
    """U, dU/dvec and d2U/dvec2 as quadratures of the fields."""
    A, B, D = blocks(abd)
    e, k, de, dk, dde = fields(np.asarray(vec, float), a, b)
    e = e + np.asarray(eps, float)[:, None]
    jac = a * b * WQ
    dens = np.einsum("in,ij,jn->n", e, A, e) + 2 * np.einsum("in,ij,jn->n", e, B, k) \
        + np.einsum("in,ij,jn->n", k, D, k)
    u = 0.5 * dens @ jac
    f = (np.einsum("pin,ij,jn->pn", de, A, e) + np.einsum("pin,ij,jn->pn", de, B, k)
         + np.einsum("in,ij,pjn->pn", e, B, dk) + np.einsum("pin,ij,jn->pn", dk, D, k)) @ jac
    h = (np.einsum("pin,ij,qjn->pqn", de, A, de) + np.einsum("in,ij,pqjn->pqn", e, A, dde)
         + np.einsum("pin,ij,qjn->pqn", de, B, dk) + np.einsum("qin,ij,pjn->pqn", de, B, dk)
         + np.einsum("pqin,ij,jn->pqn", dde, B, k) + np.einsum("pin,ij,qjn->pqn", dk, D, dk)) @ jac
    return u, f, h


def stiffness(seed, junk=True):
    """A positive ABD with B != 0; with junk the entries the model does not read hold noise."""
    rng = np.random.default_rng(seed)
    m = rng.normal(size=(6, 6))
    abd = m @ m.T + 6 * np.eye(6)
    abd[:3, :3] *= 1e4
    abd[:3, 3:] *= 30.0
    abd[3:, :3] *= 30.0
    abd[3:, 3:] *= 5.0
    if junk:
        abd[3:, :3] = rng.normal(size=(3, 3)) * 1e3
        abd[1, 3], abd[2, 3], abd[2, 4] = 777.0, -555.0, 999.0
    return np.asfortranarray(abd)


def isotropic(E=70000.0, nu=0.3, t=0.2):
    q = E / (1 - nu**2) * np.array([[1, nu, 0], [nu, 1, 0], [0, 0, (1 - nu) / 2]])
    abd = np.zeros((6, 6))
    abd[:3, :3], abd[3:, 3:] = q * t, q * t**3 / 12
    return np.asfortranarray(abd), E * t**3 / (12 * (1 - nu**2))


# --- Energy, residuals and Jacobian -------------------------------------------------------------

CASES = [  # vec, eps, a, b
    ([0.3, -0.2, 0.1, 0.4, 0.7, -0.3, 0.5, 0.2], [-1e-3, 4e-4, 2e-4], 1.0, 1.0),
    ([-0.1, 0.25, 0.3, -0.2, -0.4, 0.6, -0.2, 0.9], [2e-3, -1e-3, -5e-4], 2.5, 0.7),
    ([0.0, 0.0, 0.0, 0.0, 1.3, 0.0, 0.0, 0.0], [0.0, 0.0, 0.0], 0.4, 3.0),
]


@pytest.mark.parametrize("vec,eps,a,b", CASES)
@pytest.mark.parametrize("seed", [1, 2])
def test_energy_residuals_and_jacobian_are_the_exact_integrals(vec, eps, a, b, seed):
    abd = stiffness(seed)
    u, f, h = exact(vec, eps, a, b, abd)
    vec, eps = np.array(vec), np.array(eps)
    assert dg8.getstrainenergy8(vec, eps, a, b, abd) == pytest.approx(u, rel=1e-12)
    scale = np.abs(h).max()
    np.testing.assert_allclose(dg8.getf8(vec, eps, 0.0, 0.0, a, b, abd, 1), f, rtol=1e-11,
                               atol=1e-12 * np.abs(f).max())
    df = dg8.getdf8(vec, eps, 0.0, a, b, abd, 1).reshape(8, 8, order="F")
    np.testing.assert_allclose(df, h, rtol=1e-11, atol=1e-12 * scale)
    assert np.array_equal(df, df.T)


def test_only_the_upper_triangles_of_the_blocks_are_read():
    vec, eps, a, b = np.array(CASES[1][0]), np.array(CASES[1][1]), 2.5, 0.7
    clean, noisy = stiffness(3, junk=False), stiffness(3)
    clean[3:, :3] = 0.0
    clean[1, 3] = clean[2, 3] = clean[2, 4] = 0.0
    noisy[:, :] = clean
    noisy[3:, :3] = 1e6
    noisy[1, 3], noisy[2, 3], noisy[2, 4] = 1e5, -1e5, 3e5
    noisy[1, 0], noisy[2, 1], noisy[4, 3], noisy[5, 4] = -9e9, 9e9, 7e7, -7e7
    noisy = np.asfortranarray(noisy)
    for f in (lambda m: dg8.getstrainenergy8(vec, eps, a, b, m),
              lambda m: dg8.getf8(vec, eps, 2.0, 1e-3, a, b, m, 0),
              lambda m: dg8.getdf8(vec, eps, 0.0, a, b, m, 1),
              lambda m: np.concatenate(dg8.getfdf8(-vec, eps, 2.0, 1e-3, a, b, 1e3, m, 6, 0))):
        assert np.array_equal(f(clean), f(noisy))


def test_closed_forms_of_the_edge_cases():
    abd = stiffness(4)
    A, B, D = blocks(abd)
    (A11, A12, A16), (_, A22, A26), (_, _, A66) = A
    B12, B66 = B[0, 1], B[2, 2]
    D11, D12, D22, D66 = D[0, 0], D[0, 1], D[1, 1], D[2, 2]
    a, b = 1.7, 0.6
    e = np.array([-1e-3, 3e-4, 5e-4])
    zero = np.zeros(8)
    u0 = 0.5 * np.pi * a * b * (A11 * e[0]**2 + 2 * A12 * e[0] * e[1] + 2 * A16 * e[0] * e[2]
                                + A22 * e[1]**2 + 2 * A26 * e[1] * e[2] + A66 * e[2]**2)
    assert dg8.getstrainenergy8(zero, e, a, b, abd) == pytest.approx(u0, rel=1e-13)
    assert not dg8.getf8(zero, e, 3.0, 2e-3, a, b, abd, 1).any()
    f = dg8.getf8(zero, e, 3.0, 2e-3, a, b, abd, 0)
    assert not np.delete(f, 4).any()
    assert f[4] == pytest.approx(-np.pi * a * b * 2e-3**2 * 3.0 / 10, rel=1e-15)
    r1 = 0.8
    vec = zero.copy()
    vec[4] = r1
    ur = np.pi * ((4 * D11 * b / a**3 + 8 * D12 / (3 * a * b) + 4 * D22 * a / b**3
                   + 16 * D66 / (3 * a * b)) * r1**2 + 16 * (B12 - B66) / (15 * a * b) * r1**3
                  + (4 * A11 * b / a**3 + 8 * A12 / (3 * a * b) + 4 * A22 * a / b**3
                     + 16 * A66 / (3 * a * b)) / 35 * r1**4)
    assert dg8.getstrainenergy8(vec, np.zeros(3), a, b, abd) == pytest.approx(ur, rel=1e-13)
    # The applied strain adds pi/3 [(A e)_1 b/a + (A e)_2 a/b] to the r1^2 coefficient.
    ae = A @ e
    gain = np.pi / 3 * (ae[0] * b / a + ae[1] * a / b) * r1**2
    assert dg8.getstrainenergy8(vec, e, a, b, abd) == pytest.approx(ur + u0 + gain, rel=1e-12)
    vec = zero.copy()
    vec[0] = 0.3
    up = np.pi * (A11 * b / (4 * a) + A66 * a / (12 * b)) * 0.3**2
    assert dg8.getstrainenergy8(vec, np.zeros(3), a, b, abd) == pytest.approx(up, rel=1e-13)


def test_jacobian_is_the_derivative_of_the_residuals():
    abd = stiffness(5)
    vec, eps = np.array(CASES[0][0]), np.array(CASES[0][1])
    a, b = 1.3, 0.9
    df = dg8.getdf8(vec, eps, 0.0, a, b, abd, 1).reshape(8, 8, order="F")
    h = 1e-6
    for j in range(8):
        dv = np.zeros(8)
        dv[j] = h
        fd = (dg8.getf8(vec + dv, eps, 1.0, 1e-3, a, b, abd, 0)
              - dg8.getf8(vec - dv, eps, 1.0, 1e-3, a, b, abd, 0)) / (2 * h)
        np.testing.assert_allclose(fd, df[:, j], rtol=1e-7, atol=1e-7 * np.abs(df).max())


def flat_buckling_level(abd, a, b, pattern):
    """Smallest load level at which the flat state's Hessian loses positive definiteness."""
    zero = np.zeros(8)
    h0 = dg8.getdf8(zero, np.zeros(3), 0.0, a, b, abd, 1).reshape(8, 8, order="F")
    h1 = dg8.getdf8(zero, np.asarray(pattern, float), 0.0, a, b, abd, 1).reshape(8, 8,
                                                                                  order="F") - h0
    # det(h0 + s h1) = 0: 1/s is an eigenvalue of -h0^-1 h1 (h0 is positive definite).
    s = np.linalg.eigvals(np.linalg.solve(h0, -h1))
    s = s[np.abs(s) > 1e-12].real
    return 1.0 / s.max()


@pytest.mark.parametrize("a,b", [(10.0, 10.0), (16.0, 8.0), (6.0, 11.0)])
def test_flat_state_loses_stability_as_a_clamped_plate(a, b):
    abd, d = isotropic()
    level = flat_buckling_level(abd, a, b, (-1.0, -1.0, 0.0))
    n = (abd[0, 0] + abd[0, 1]) * level  # equal biaxial membrane force
    big = max(a, b)
    one_term = 4 * d * (3 / a**4 + 2 / (a**2 * b**2) + 3 / b**4) / (1 / a**2 + 1 / b**2)
    if a == b:
        assert 14.682 <= n * a**2 / d <= 14.682 * 1.006
    else:
        assert 14.682 * d / big**2 < n < one_term


# --- Contact penalty ----------------------------------------------------------------------------

def grid(a, b, nk):
    """The cell centres of the contact grid, stepped by repeated addition."""
    h = min(a, b) / nk if nk >= 1 else 3 * a
    pts, x = [], -a + h / 2
    while x < a:
        y = -b + h / 2
        while y < b:
            pts.append((x, y))
            y += h
        x += h
    return h, np.array(pts).reshape(-1, 2)


def contact_by_hand(vec, a, b, kmd, nk):
    h, p = grid(a, b, nk)
    X, Y = p[:, 0] / a, p[:, 1] / b
    phi = np.array([np.ones_like(X), X**2, Y**2, X * Y])
    m = vec[4:] @ phi
    psi = 1 - X**2 - Y**2
    on = (m < 0) & (psi > 0)
    s = h * h * kmd * psi[on]**4
    return (0.5 * np.sum(s * m[on]**2), h * h * on.sum(),
            (phi[:, on] * s) @ phi[:, on].T, (phi[:, on] * s) @ m[on], on.sum())


@pytest.mark.parametrize("vec,a,b,nk", [
    ([0, 0, 0, 0, -0.01, 0.03, 0.02, -0.01], 5.0, 3.0, 10),   # negative near the centre only
    ([0, 0, 0, 0, 0.01, -0.02, -0.03, 0.05], 2.0, 6.0, 7),    # negative towards the edge
    ([0, 0, 0, 0, -0.02, 0.0, 0.0, 0.0], 4.0, 2.5, 5),        # every inner point
])
def test_contact_sums_on_the_grid(vec, a, b, nk):
    vec = np.array(vec, float)
    energy, area, km, kv, count = contact_by_hand(vec, a, b, 2e4, nk)
    assert 0 < count
    assert dg8.getcontactenergy8(vec, a, b, 2e4, nk) == pytest.approx(energy, rel=1e-12)
    assert dg8.getareaofoverlap8(vec, a, b, nk) == pytest.approx(area, rel=1e-12)
    gkm, gkv = dg8.getkdfkf8(vec, a, b, 2e4, nk)
    np.testing.assert_allclose(gkm, km, rtol=1e-12, atol=1e-14 * np.abs(km).max())
    np.testing.assert_allclose(gkv, kv, rtol=1e-12, atol=1e-14 * np.abs(kv).max())


def test_every_inner_point_is_active_for_a_negative_centre_and_none_for_a_positive():
    a, b, nk = 3.0, 2.0, 4
    h, p = grid(a, b, nk)
    inner = np.sum(1 - (p[:, 0] / a)**2 - (p[:, 1] / b)**2 > 0)
    down = np.array([0, 0, 0, 0, -1e-3, 0, 0, 0.0])
    assert dg8.getareaofoverlap8(down, a, b, nk) == pytest.approx(inner * h * h, rel=1e-14)
    up = -down
    assert dg8.getcontactenergy8(up, a, b, 1e5, nk) == 0.0
    assert dg8.getareaofoverlap8(up, a, b, nk) == 0.0
    km, kv = dg8.getkdfkf8(up, a, b, 1e5, nk)
    assert not km.any() and not kv.any()


@pytest.mark.parametrize("a,b,nk,area", [
    (1.0, 4.0, 0, 2 * 9.0),    # x = 0.5; y = -2.5, 0.5 inside, 3.5 outside
    (1.0, 4.0, -3, 2 * 9.0),
    (2.0, 1.0, 0, 0.0),        # y starts at 1.5 a - b = 2 >= b: no point
    (1.0, 0.7, 0, 0.0),
])
def test_grid_without_cells_across_is_a_column_spaced_three_a(a, b, nk, area):
    down = np.array([0, 0, 0, 0, -1.0, 0, 0, 0])
    assert dg8.getareaofoverlap8(down, a, b, nk) == area


def test_total_residual_and_jacobian_add_the_contact_terms():
    abd = stiffness(6)
    vec = np.array([0.01, -0.02, 0.03, 0.0, -0.01, 0.03, 0.02, -0.01])
    eps, a, b, kmd, nk = np.array([-1e-3, -5e-4, 0.0]), 5.0, 3.0, 3e4, 10
    fp, dfp = dg8.getfdf8(vec, eps, 2.0, 1e-3, a, b, kmd, abd, nk, 0)
    f = dg8.getf8(vec, eps, 2.0, 1e-3, a, b, abd, 0)
    df = dg8.getdf8(vec, eps, 2.0, a, b, abd, 0).reshape(8, 8, order="F")
    km, kv = dg8.getkdfkf8(vec, a, b, kmd, nk)
    assert kv.any()
    f[4:] += kv
    df[4:, 4:] += km.T
    np.testing.assert_allclose(fp, f, rtol=1e-14, atol=1e-14 * np.abs(f).max())
    np.testing.assert_allclose(dfp.reshape(8, 8, order="F"), df, rtol=1e-14)
    # kv is the gradient of the contact energy while the active points stay the same.
    h = 1e-7
    for i in range(4):
        dv = np.zeros(8)
        dv[4 + i] = h
        fd = (dg8.getcontactenergy8(vec + dv, a, b, kmd, nk)
              - dg8.getcontactenergy8(vec - dv, a, b, kmd, nk)) / (2 * h)
        assert fd == pytest.approx(kv[i], rel=1e-6)


# --- Semi-axes and grids that cannot be evaluated -----------------------------------------------

def model_calls(a, b, nk=5):
    vec, eps, abd = -np.array(CASES[0][0]), np.array(CASES[0][1]), stiffness(1)
    rel = np.array([-1.0, 0.0, 0.0])
    return {
        "GetStrainEnergy8": lambda: [dg8.getstrainenergy8(vec, eps, a, b, abd)],
        "GetF8": lambda: dg8.getf8(vec, eps, 1.0, 1e-3, a, b, abd, 0),
        "GetdF8": lambda: dg8.getdf8(vec, eps, 1.0, a, b, abd, 0),
        "GetContactEnergy8": lambda: [dg8.getcontactenergy8(vec, a, b, 1e3, nk)],
        "GetAreaOfOverlap8": lambda: [dg8.getareaofoverlap8(vec, a, b, nk)],
        "GetKdfKf8": lambda: np.concatenate([m.ravel() for m in dg8.getkdfkf8(vec, a, b, 1e3,
                                                                              nk)]),
        "GetFdF8": lambda: np.concatenate(dg8.getfdf8(vec, eps, 1.0, 1e-3, a, b, 1e3, abd, nk, 0)),
        "GetEnergyReleaseRate8": lambda: dg8.getenergyreleaserate8(
            vec, a, b, 1e3, 1.0, 1e-3, 1e-3, rel, abd, nk, 0),
    }


@pytest.mark.parametrize("a,b", [(0.0, 1.0), (1.0, -2.0), (INF, 1.0), (1.0, np.nan),
                                 (-INF, -INF)])
@pytest.mark.parametrize("routine", list(model_calls(1.0, 1.0)))
def test_semi_axis_not_finite_and_positive_gives_zeros(routine, a, b):
    out = model_calls(a, b)[routine]()
    assert not np.any(out)
    assert errstat() == -3
    assert errtext() == f"Semi-axis not finite and above 0 in {routine}"


def test_release_rate_refuses_a_semi_axis_whose_enlargement_overflows():
    routine = "GetEnergyReleaseRate8"
    out = model_calls(1.7976931348623157e308, 1.0)[routine]()
    assert not np.any(out)
    assert errstat() == -3
    assert errtext() == f"Semi-axis not finite and above 0 in {routine}"


@pytest.mark.parametrize("a,b,nk", [(1.0, 1.0, 2**31 - 1), (1e12, 1.0, 1000),
                                    (1.0, 1e300, 0), (5e-324, 1.0, 10)])
@pytest.mark.parametrize("routine", ["GetContactEnergy8", "GetAreaOfOverlap8", "GetKdfKf8",
                                     "GetFdF8", "GetEnergyReleaseRate8"])
def test_contact_grid_too_large_to_walk_gives_zeros(routine, a, b, nk):
    out = model_calls(a, b, nk)[routine]()
    assert not np.any(out)
    assert errstat() == -3
    assert errtext() == f"Contact grid above 2147483647 points in {routine}"


# --- Newton-Raphson -----------------------------------------------------------------------------

ABD_ISO, D_ISO = isotropic()
REL = np.array([-1.0, -1.0, 0.0])
G0 = 0.5 * REL @ ABD_ISO[:3, :3] @ REL


def newton_by_hand(sol, a, b, kmd, g0, level, eb, rel, abd, tol, maxiter, nk, w):
    sol = np.array(sol, float)
    check = 0.0
    for _ in range(maxiter):
        fp, dfp = dg8.getfdf8(sol, rel * level, g0, eb, a, b, kmd, abd, nk, w)
        dx = np.linalg.inv(dfp.reshape(8, 8, order="F")) @ fp
        sol = sol - dx
        check = dx @ dx
        if check < tol:
            break
    return sol, check


START = np.array([0, 0, 0, 0, 0.3, -0.09, -0.09, 3e-3])


@pytest.mark.parametrize("maxiter", [1, 2, 4, 150])
@pytest.mark.parametrize("w", [0, 1])
def test_newton_iterates_as_by_hand(maxiter, w):
    args = (10.0, 8.0, 1e4, G0, 1.5e-3, 4e-4, REL, ABD_ISO, 1e-15, maxiter, 8, w)
    sol, err = dg8.newtonraphson8(START, *args)
    ref, check = newton_by_hand(START, *args)
    np.testing.assert_allclose(sol, ref, rtol=1e-9, atol=1e-15)
    assert err == pytest.approx(check, rel=1e-6, abs=1e-24)  # rounding level at convergence
    if maxiter == 150:
        assert err < 1e-15 and abs(sol[4]) > 0.1  # buckled equilibrium
        fp, _ = dg8.getfdf8(sol, REL * 1.5e-3, G0, 4e-4, 10.0, 8.0, 1e4, ABD_ISO, 8, w)
        assert np.abs(fp).max() < 1e-8


def test_newton_without_iterations_keeps_the_start():
    sol, err = dg8.newtonraphson8(START, 10.0, 8.0, 1e4, G0, 6e-4, 4e-4, REL, ABD_ISO, 1e-15, 0,
                                  8, 0)
    assert err == 0.0 and np.array_equal(sol, START)


@pytest.mark.parametrize("a,b", [(0.0, 8.0), (10.0, -1.0), (np.nan, 8.0)])
def test_newton_with_a_bad_semi_axis_keeps_the_start(a, b):
    sol, err = dg8.newtonraphson8(START, a, b, 1e4, G0, 6e-4, 4e-4, REL, ABD_ISO, 1e-15, 10, 8, 0)
    assert err == INF and np.array_equal(sol, START)
    assert (errstat(), errtext()) == (-3, "Semi-axis not finite and above 0 in NewtonRaphson8")


def test_newton_stops_at_the_first_iterate_that_is_not_finite():
    # An overflowing penalty: h^2 kmd is infinite and every point of the dented start is active.
    dent = START.copy()
    dent[4:] = [-0.05, 0, 0, 0]
    sol, err = dg8.newtonraphson8(dent, 20.0, 20.0, 1e308, G0, 6e-4, 4e-4, REL, ABD_ISO, 1e-15, 20,
                                  10, 1)
    assert err == INF and np.array_equal(sol, dent)
    # A NaN strain level turns the first step into NaN as well.
    sol, err = dg8.newtonraphson8(START, 10.0, 8.0, 1e4, G0, np.nan, 4e-4, REL, ABD_ISO, 1e-15, 5,
                                  8, 1)
    assert err == INF and np.array_equal(sol, START)


# --- Energy release rate ------------------------------------------------------------------------

def rate_by_hand(vec, a, b, kmd, g0, level, eb, rel, abd, nk, w, tol=1e-15, maxiter=100):
    e0 = rel * level
    g1 = level**2 * g0

    def pot(s, sa, sb):
        return dg8.getstrainenergy8(s, e0, sa, sb, abd) + dg8.getcontactenergy8(s, sa, sb, kmd, nk)
    usc0 = pot(vec, a, b)
    ia = 1.00001 * a
    sol, _ = dg8.newtonraphson8(vec, ia, b, kmd, g0, level, eb, rel, abd, tol, maxiter, nk, w)
    dpda = (pot(sol, ia, b) - usc0) / (1e-5 * ia)
    ib = 1.00001 * b
    sol, _ = dg8.newtonraphson8(sol, a, ib, kmd, g0, level, eb, rel, abd, tol, maxiter, nk, w)
    dpdb = (pot(sol, a, ib) - usc0) / (1e-5 * ib)
    ga, gb = g1 - dpda / (np.pi * ib), g1 - dpdb / (np.pi * ia)
    return (ga, 1.001, 1.0) if ga >= gb else (gb, 1.0, 1.001)


@pytest.mark.parametrize("a,b,rel", [(10.0, 8.0, REL), (9.0, 12.0, np.array([-1.0, -0.2, 0.1]))])
def test_release_rate_as_by_hand(a, b, rel):
    g0 = 0.5 * rel @ ABD_ISO[:3, :3] @ rel
    sol, err = dg8.newtonraphson8(START, a, b, 1e4, g0, 8e-4, 4e-4, rel, ABD_ISO, 1e-15, 150, 8, 1)
    assert err < 1e-15
    got = dg8.getenergyreleaserate8(sol, a, b, 1e4, g0, 8e-4, 4e-4, rel, ABD_ISO, 8, 1)
    ref = rate_by_hand(sol, a, b, 1e4, g0, 8e-4, 4e-4, rel, ABD_ISO, 8, 1)
    assert got[1:] == ref[1:]
    assert got[0] == pytest.approx(ref[0], rel=1e-9)
    assert got[0] > 0


def test_release_rate_of_the_flat_state_is_the_step_error_and_a_tie_grows_a():
    level, a = 5e-4, 7.0
    got = dg8.getenergyreleaserate8(np.zeros(8), a, a, 1e4, G0, level, 4e-4, REL, ABD_ISO, 6, 1)
    g1 = level**2 * G0
    assert got[0] == pytest.approx(g1 * (1 - 1 / 1.00001**2), rel=1e-6)
    assert got[1:] == (1.001, 1.0)


def test_release_rate_that_does_not_compare_grows_b():
    got = dg8.getenergyreleaserate8(np.zeros(8), 7.0, 5.0, 1e4, np.nan, 5e-4, 4e-4, REL, ABD_ISO,
                                    6, 1)
    assert np.isnan(got[0]) and got[1:] == (1.0, 1.001)


def test_release_rate_reports_a_resolve_that_does_not_converge():
    sol = dg8.newtonraphson8(START, 10.0, 8.0, 1e4, G0, 8e-4, 4e-4, REL, ABD_ISO, 1e-15, 150, 8,
                             1)[0]
    got = dg8.getenergyreleaserate8(sol * 1.5, 10.0, 8.0, 1e4, G0, 8e-4, 4e-4, REL, ABD_ISO, 8, 1,
                                    maxiter=1)
    ref = rate_by_hand(sol * 1.5, 10.0, 8.0, 1e4, G0, 8e-4, 4e-4, REL, ABD_ISO, 8, 1, maxiter=1)
    assert got[0] == pytest.approx(ref[0], rel=1e-9)
    assert (errstat(), errtext()) == (-2, "Error: No convergence while computing energy release "
                                          "rate!")


def test_release_rate_reports_a_resolve_that_is_not_finite():
    dent = np.array([0, 0, 0, 0, -0.05, 0, 0, 0.0])
    dg8.getenergyreleaserate8(dent, 20.0, 20.0, 1e308, G0, 8e-4, 4e-4, REL, ABD_ISO, 10, 1)
    assert (errstat(), errtext()) == (-2, "Error: No convergence while computing energy release "
                                          "rate!")


# --- Growth analysis ----------------------------------------------------------------------------

def ply(E1, E2, nu12, G12, nu23=0.4):
    return np.array([E1, E2, E2, nu12, nu12, nu23, G12, G12, E2 / (2 * (1 + nu23))])


ALU = ply(70000.0, 70000.0, 0.3, 70000.0 / 2.6, 0.3)
CFRP = ply(140000.0, 9000.0, 0.3, 4600.0)


def qbar(p, theta):
    E1, E2, nu12, G12 = p[0], p[1], p[3], p[6]
    nu21 = nu12 * E2 / E1
    den = 1 - nu12 * nu21
    q = np.array([[E1 / den, nu12 * E2 / den, 0], [nu12 * E2 / den, E2 / den, 0], [0, 0, G12]])
    c, s = np.cos(np.radians(theta)), np.sin(np.radians(theta))
    t = np.array([[c * c, s * s, 2 * c * s], [s * s, c * c, -2 * c * s],
                  [-c * s, c * s, c * c - s * s]])
    r = np.diag([1.0, 1.0, 2.0])
    return np.linalg.inv(t) @ q @ r @ t @ np.linalg.inv(r)


def laminate_abd(pe, po, pt):
    """A, B, D of classical lamination theory."""
    z = np.concatenate([[0.0], np.cumsum(pt)]) - np.sum(pt) / 2
    q = [qbar(pe[:, k], po[k]) for k in range(len(pt))]
    return [sum(q[k] * (z[k + 1]**n - z[k]**n) / n for k in range(len(pt))) for n in (1, 2, 3)]


def growth_by_hand(limstrain, rel, pe, po, pt, dela, stack, kmd, gamma, width, radius, ninc,
                   nprec):
    """The growth analysis step by step on the module's model routines."""
    s0, s1 = stack[0] - 1, stack[1]
    pe, po, pt = np.asfortranarray(pe[:, s0:s1]), po[s0:s1], pt[s0:s1]
    A, B, D = laminate_abd(pe, po, pt)
    abd = np.asfortranarray(np.block([[A, B], [B, D]]))
    wlin, _, ev = _vorlen.sublaminate.getsublambucklingstrain(np.asarray(dela, float), rel, pe, po,
                                                              pt, 1)
    phi = np.radians(dela[2])
    c, s = np.cos(phi), np.sin(phi)
    er = np.array([[c * c, s * s, c * s], [s * s, c * c, -c * s],
                   [-2 * c * s, 2 * c * s, c * c - s * s]]) @ rel
    g0 = 0.5 * er @ A @ er
    sol = np.zeros(8)
    sol[4], sol[5:] = 1e-6, 1e-6 / ev[0] * ev[3:]
    a, b = dela[0], dela[1]
    eps1, deps1 = limstrain[0], (limstrain[1] - limstrain[0]) / ninc
    deps0, found, growing = deps1, False, False
    wnlin = wgrow = w0 = dw0 = 0.0
    m0, succ, nli = 1.0, 0, 0
    trace = []
    while limstrain[1] > limstrain[0]:
        nli += 1
        sol, err = dg8.newtonraphson8(sol, a, b, kmd, g0, eps1, wlin, er, abd, 1e-15, 150, nprec,
                                      int(found))
        if err > 1e-15:
            succ = -1
            break
        if np.linalg.norm(sol) < 1e-10 and nli > 3:
            succ = -2
            break
        serr, fa, fb = dg8.getenergyreleaserate8(sol, a, b, kmd, g0, eps1, wlin, er, abd, nprec,
                                                 int(found))
        limit = False
        while serr > gamma:
            a, b = a * fa, b * fb
            hy = np.sqrt((a * np.sin(phi))**2 + (b * np.cos(phi))**2)
            if a > radius or b > radius or 2 * hy >= width:
                limit = True
                break
            if not growing:
                wgrow = eps1
            growing = True
            sol, err = dg8.newtonraphson8(sol, a, b, kmd, g0, eps1, wlin, er, abd, 1e-15, 150,
                                          nprec, int(found))
            if err > 1e-15:
                succ = -3
                break
            serr, fa, fb = dg8.getenergyreleaserate8(sol, a, b, kmd, g0, eps1, wlin, er, abd,
                                                     nprec, int(found))
        trace.append((eps1, a, b))
        if limit:
            break
        w1 = sol[4]
        dw1 = w1 - w0
        with np.errstate(divide="ignore", invalid="ignore"):
            m1 = deps1 / dw1
            if nli > 5:
                if not found and m1 > m0:
                    found, wnlin = True, eps1
                r = dw0 / dw1
                if r < 0.9:
                    deps1 *= 0.9
                elif r > 1 and 1.1 * deps1 < deps0:
                    deps1 *= 1.1
        eps1 += deps1
        if not eps1 < limstrain[1]:
            break
        w0, dw0, m0 = w1, dw1, m1
    return (succ or 1), rel[0] * np.array([wlin, wnlin, wgrow]), dict(a=a, b=b, abd=abd, er=er,
                                                                     deps0=deps0, trace=trace)


def run(limstrain, rel, pe, po, pt, dela, stack, kmd, gamma, width, radius, ninc, nprec):
    return dg8.delaminationgrowthanalysis(np.asarray(limstrain, float), np.asarray(rel, float),
                                          np.asfortranarray(pe), np.asarray(po, float),
                                          np.asarray(pt, float), np.asarray(dela, float),
                                          np.asarray(stack, np.int32), kmd, gamma, width, radius,
                                          ninc, nprec)


ALU_STACK = (np.column_stack([ALU] * 4), np.zeros(4), np.full(4, 0.2))
CFRP_STACK = (np.column_stack([CFRP] * 6), np.array([0.0, 45.0, -45.0, 90.0, 0.0, 90.0]),
              np.full(6, 0.125))

RUNS = {  # limstrain, rel, stack, dela, sublamstack, kmd, gamma, width, radius, ninc, nprec
    "circle": ([0.0, 2e-3], [-1.0, -1.0, 0.0], ALU_STACK, [10.0, 10.0, 0.0], [1, 1], 1e5, 2e-3,
               60.0, 25.0, 40, 10),
    "rotated ellipse to the width": ([0.0, 6e-3], [-1.0, 0.0, 0.0], CFRP_STACK,
                                     [9.0, 6.0, 30.0], [1, 2], 1e4, 5e-3, 25.0, 1e3, 40, 6),
}


@pytest.mark.parametrize("case", list(RUNS))
def test_growth_analysis_as_by_hand(case):
    limstrain, rel, (pe, po, pt), dela, stack, *rest = RUNS[case]
    args = (limstrain, np.array(rel), pe, po, pt, dela, stack, *rest)
    success, strains = run(*args)
    ref_success, ref_strains, info = growth_by_hand(*args)
    assert success == ref_success == 1
    np.testing.assert_allclose(strains, ref_strains, rtol=1e-12)
    assert strains[1] != 0 and strains[2] != 0
    # The linear buckling strain is the six-term Ritz of the sub-laminate, scaled by relstrain(1).
    eps = _vorlen.sublaminate.getsublambucklingstrain(np.array(dela, float), np.array(rel, float),
                                                      np.asfortranarray(pe[:, :stack[1]]),
                                                      po[:stack[1]], pt[:stack[1]], 1)[0]
    assert strains[0] == rel[0] * eps
    # Buckling is detected within three increments of the model's own buckling strain.
    own = flat_buckling_level(info["abd"], dela[0], dela[1], info["er"])
    assert abs(strains[1] / rel[0] - own) <= 3 * info["deps0"]
    if case == "rotated ellipse to the width":
        a, b = info["a"], info["b"]
        phi = np.radians(dela[2])
        assert 2 * np.hypot(a * np.sin(phi), b * np.cos(phi)) >= rest[2] > 0
        assert max(a, b) < rest[3]


def test_growth_analysis_abd_is_that_of_laminate_theory():
    pe, po, pt = CFRP_STACK
    A, B, D = laminate_abd(pe[:, :2], po[:2], pt[:2])
    lam = _vorlen.laminate
    np.testing.assert_allclose(lam.getdmatrix(np.asfortranarray(pe[:, :2]), po[:2], pt[:2]), D,
                               rtol=1e-12)
    assert np.abs(B).max() > 1.0


def test_load_range_without_steps_gives_the_buckling_strain_only():
    limstrain, rel, (pe, po, pt), dela, stack, *rest = RUNS["circle"]
    success, strains = run([2e-3, 2e-3], rel, pe, po, pt, dela, stack, *rest)
    eps = _vorlen.sublaminate.getsublambucklingstrain(np.array(dela), np.array(rel),
                                                      np.asfortranarray(pe[:, :1]), po[:1],
                                                      pt[:1], 1)[0]
    assert success == 1 and strains[0] == rel[0] * eps and not strains[1:].any()
    assert errstat() == 0


def test_load_range_ending_before_buckling():
    limstrain, rel, (pe, po, pt), dela, stack, *rest = RUNS["circle"]
    success, strains = run([0.0, 3e-4], rel, pe, po, pt, dela, stack, *rest)
    assert success == 1 and strains[0] != 0 and strains[1] == 0


def test_collapse_to_the_flat_state_ends_with_minus_two():
    # Under tension the flat state is stable and the disturbing force of a large thin plate
    # deflects it by less than 1e-10.
    pe, po, pt = ALU_STACK
    args = ([-2e-3, -1e-3], [-1.0, -1.0, 0.0], pe, po, pt, [1e5, 1e5, 0.0], [1, 1], 0.0, 1e9,
            1e7, 1e6, 10, 1)
    success, strains = run(*args)
    assert (success, *growth_by_hand(*args)[:1]) == (-2, -2)
    assert (errstat(), errtext()) == (-2, "Error: Encountered trivial solution! Try playing with "
                                          "Eps_Start parameter and/or")


def test_load_step_without_convergence_ends_with_minus_one():
    limstrain, rel, (pe, po, pt), dela, stack, *rest = RUNS["circle"]
    success, strains = run([0.0, 1e-2], rel, pe, po, pt, dela, stack, 1e5, 0.2, 60.0, 25.0, 50,
                           10)
    assert success == -1 and strains[0] != 0
    assert errstat() == -2
    assert errtext() == ("Error: No convergence in load increment iteration! Error after 150 "
                         "iterations. T")


def test_overflowing_penalty_ends_with_minus_one():
    # Under shear the start mode dips into the base; h^2 kmd with h = 2 is infinite, the first
    # Newton step is not finite. With kmd 1e8 the same run finishes.
    limstrain, rel, (pe, po, pt), dela, stack, kmd, gamma, width, radius, ninc, _ = RUNS["circle"]
    args = (limstrain, np.array([-1.0, 0.0, -1.0]), pe, po, pt, dela, stack, 1e308, gamma, width,
            radius, ninc, 5)
    success, strains = run(*args)
    assert success == growth_by_hand(*args)[0] == -1 and strains[0] != 0
    assert errstat() == -2
    assert errtext().startswith("Error: No convergence in load increment iteration!")
    _vorlen.errorhandling.rsxerr(1)
    assert run(*args[:7], 1e8, *args[8:])[0] == 1


def test_increment_too_small_to_raise_the_strain_ends_with_minus_one():
    pe, po, pt = ALU_STACK
    # The increment 1e-21 is below half a unit in the last place of the strain 1e-4.
    success, strains = run([1e-4, 1e-4 * (1 + 1e-15)], [-1.0, -1.0, 0.0], pe, po, pt,
                           [10.0, 10.0, 0.0], [1, 1], 1e5, INF, 60.0, 25.0, 100, 4)
    assert success == -1 and strains[0] != 0
    assert (errstat(), errtext()) == (-2, "Error: Load increment too small to raise the strain "
                                          "level!")


REFUSED = [
    ("ninc", 0, "Number of load increments below 1"),
    ("ninc", -5, "Number of load increments below 1"),
    ("sublamstack", [0, 1], "Sub-laminate plies outside the stack"),
    ("sublamstack", [3, 5], "Sub-laminate plies outside the stack"),
    ("sublamstack", [3, 2], "Sub-laminate plies outside the stack"),
    ("limstrain", [0.0, np.inf], "Strain or delamination not finite"),
    ("relstrain", [-1.0, np.nan, 0.0], "Strain or delamination not finite"),
    ("delamination", [10.0, 10.0, np.inf], "Strain or delamination not finite"),
    ("delamination", [0.0, 10.0, 0.0], "Semi-axis not above 0"),
    ("delamination", [10.0, -1.0, 0.0], "Semi-axis not above 0"),
    ("radius", np.inf, "Radius or width not finite and above 0"),
    ("radius", 0.0, "Radius or width not finite and above 0"),
    ("width", -1.0, "Radius or width not finite and above 0"),
    ("width", np.nan, "Radius or width not finite and above 0"),
    ("gamma", np.nan, "Toughness NaN or below 0"),
    ("gamma", -1.0, "Toughness NaN or below 0"),
    ("kmd", np.nan, "Contact stiffness NaN or below 0"),
    ("kmd", -1e5, "Contact stiffness NaN or below 0"),
    ("pt", [-0.2, 0.2, 0.2, 0.2], "Ply thickness not finite and above 0"),
    ("pt", [np.nan, 0.2, 0.2, 0.2], "Ply thickness not finite and above 0"),
    ("pt", [np.inf, 0.2, 0.2, 0.2], "Ply thickness not finite and above 0"),
]


@pytest.mark.parametrize("name,value,message", REFUSED)
def test_growth_analysis_refuses_input_it_cannot_run(name, value, message):
    limstrain, rel, (pe, po, pt), dela, stack, kmd, gamma, width, radius, ninc, nprec = \
        RUNS["circle"]
    args = dict(limstrain=limstrain, relstrain=rel, pt=pt, delamination=dela, sublamstack=stack,
                kmd=kmd, gamma=gamma, width=width, radius=radius, ninc=ninc)
    args[name] = value
    success, strains = run(args["limstrain"], args["relstrain"], pe, po, args["pt"],
                           args["delamination"], args["sublamstack"], args["kmd"], args["gamma"],
                           args["width"], args["radius"], args["ninc"], nprec)
    assert success == 0 and not strains.any()
    assert (errstat(), errtext()) == (-3, f"{message} in DelaminationGrowthAnalysis")
