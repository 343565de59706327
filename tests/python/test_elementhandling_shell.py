"""Shell kinematics and transverse-stress recovery of module elementhandling: Jacobians against
the map through the nodes (shape_lib), B matrices against linear fields and central differences,
curvatures of quadratic surfaces, and the through-thickness stresses of a homogeneous plate
against the closed forms of the parabolic shear distribution."""
import numpy as np
import pytest

import _vorlen
from conftest import errstat, errtext
from shape_lib import FAMILIES, orders_of, reference

eh = _vorlen.elementhandling
lam = _vorlen.laminate

NODES = {8: "quad8", 6: "tria6"}


def coords(inodes, affine=None, bend=0.0, z=None):
    """ncoords(3, inodes): the natural node positions mapped by the 2x2 matrix affine (plus an
    offset), with a quadratic distortion of strength bend (a non-affine element)."""
    nat = np.array(FAMILIES[NODES[inodes]][0], float)
    a = np.array([[1.3, 0.4], [-0.2, 0.9]]) if affine is None else np.asarray(affine)
    xy = nat @ a.T + [0.5, -0.25]
    xy[:, 0] += bend * nat[:, 1] ** 2
    xy[:, 1] += 0.5 * bend * nat[:, 0] * nat[:, 1]
    c = np.zeros((3, inodes), order="F")
    c[:2] = xy.T
    if z is not None:
        c[2] = z(xy[:, 0], xy[:, 1])
    return c


def ref(inodes, pt, *ordinals):
    return reference(NODES[inodes], pt, orders_of(*ordinals, dim=2))


def map_jacobian(inodes, c, pt):
    """[dx/dxi, dy/dxi; dx/deta, dy/deta] of the map through the nodes."""
    return np.array([[ref(inodes, pt, k) @ c[0], ref(inodes, pt, k) @ c[1]] for k in (1, 2)])


POINTS = {8: [(0.3, -0.6), (-0.8, 0.9)], 6: [(0.2, 0.3), (0.6, 0.1)]}


@pytest.mark.parametrize("name,form", [
    ("shelljacobian", "jac,nshape = shelljacobian(ncoords,xi,eta,[inodes])"),
    ("shelljacobianinverse", "jacinv = shelljacobianinverse(jac)"),
    ("shellsecondderivjacobian", "jac2 = shellsecondderivjacobian(nshape,ncoords,xi,eta,[inodes])"),
    ("shellfirstderivjacobian", "jac1 = shellfirstderivjacobian(jac)"),
    ("shellfirstderivjacobianinverse", "jac1inv = shellfirstderivjacobianinverse(jac1)"),
    ("shellbmatrix", "b = shellbmatrix(ncoords,xi,eta,[inodes])"),
    ("shellxderivbmatrix", "xderivb = shellxderivbmatrix(ncoords,xi,eta,[inodes])"),
    ("shellyderivbmatrix", "yderivb = shellyderivbmatrix(ncoords,xi,eta,[inodes])"),
    ("shellxderivshearforces", "xderivr = shellxderivshearforces(u,hmat,ncoords,xi,eta,[inodes])"),
    ("shellyderivshearforces", "yderivr = shellyderivshearforces(u,hmat,ncoords,xi,eta,[inodes])"),
    ("getcurvatures", "delta,kappa = getcurvatures(nshape,lncoords,[inodes])"),
])
def test_call_forms(name, form):
    assert getattr(eh, name).__doc__.splitlines()[0] == form


@pytest.mark.parametrize("inodes", [8, 6])
@pytest.mark.parametrize("bend", [0.0, 0.15])
def test_jacobians_follow_the_map(inodes, bend):
    c = coords(inodes, bend=bend)
    for pt in POINTS[inodes]:
        jac, nshape = eh.shelljacobian(c, *pt)
        np.testing.assert_allclose(jac, map_jacobian(inodes, c, pt), atol=1e-13)
        if bend == 0.0:  # affine: the constant matrix of the map
            np.testing.assert_allclose(jac, np.array([[1.3, 0.4], [-0.2, 0.9]]).T, atol=1e-13)
        np.testing.assert_allclose(eh.shelljacobianinverse(jac), np.linalg.inv(jac), rtol=1e-13)
        # rows xixi, etaeta, xieta of the second derivatives of the map
        want = np.array([[ref(inodes, pt, *o) @ c[0], ref(inodes, pt, *o) @ c[1]]
                         for o in ((1, 1), (2, 2), (1, 2))])
        np.testing.assert_allclose(eh.shellsecondderivjacobian(nshape, c, *pt), want, atol=1e-13)


def test_first_derivative_jacobian_maps_a_hessian():
    # f(x, y) = x^T H x / 2 under the affine map x = A xi: its Hessian in (xi, eta) is A^T H A
    a = np.array([[1.3, 0.4], [-0.2, 0.9]])
    h = np.array([[2.0, 0.7], [0.7, -1.5]])
    jac1 = eh.shellfirstderivjacobian(np.asfortranarray(a.T))
    hn = a.T @ h @ a
    np.testing.assert_allclose(jac1 @ [h[0, 0], h[1, 1], h[0, 1]], [hn[0, 0], hn[1, 1], hn[0, 1]],
                               rtol=1e-13)
    np.testing.assert_allclose(eh.shellfirstderivjacobian(np.eye(2)), np.eye(3))
    np.testing.assert_allclose(eh.shellfirstderivjacobianinverse(jac1), np.linalg.inv(jac1),
                               rtol=1e-12)


@pytest.mark.parametrize("call,arg,message", [
    (eh.shelljacobianinverse, np.array([[1.0, 2.0], [2.0, 4.0]]),
     "Singular jacobian in ShellJacobianInverse"),
    (eh.shellfirstderivjacobianinverse, eh.shellfirstderivjacobian(np.array([[1.0, 2.0],
                                                                             [2.0, 4.0]])),
     "Singular first derivative of jacobian"),
])
def test_singular_jacobians_give_zero(clean_register, call, arg, message):
    got = call(np.asfortranarray(arg))
    assert not got.any()
    assert (errstat(), errtext()) == (-3, message)


def strains(x, y, p):
    """Shell strains of the linear fields u = p[0] + p[1] x + p[2] y, v, w, theta_x, theta_y
    (coefficients p[3:6], ... p[12:15])."""
    f = p.reshape(5, 3)
    val = [f[k, 0] + f[k, 1] * x + f[k, 2] * y for k in range(5)]
    dx, dy = f[:, 1], f[:, 2]
    return np.array([dx[0], dy[1], dy[0] + dx[1], dx[4], -dy[3], -dx[3] + dy[4],
                     dy[2] - val[3], dx[2] + val[4]])


@pytest.mark.parametrize("inodes", [8, 6])
def test_b_matrix_is_exact_for_linear_fields(inodes):
    c = coords(inodes, bend=0.2)
    p = np.random.default_rng(3).normal(size=15)
    f = p.reshape(5, 3)
    u = np.zeros(40)
    for k in range(inodes):
        u[5 * k:5 * k + 5] = f[:, 0] + f[:, 1] * c[0, k] + f[:, 2] * c[1, k]
    for pt in POINTS[inodes]:
        x, y = ref(inodes, pt) @ c[0], ref(inodes, pt) @ c[1]
        np.testing.assert_allclose(eh.shellbmatrix(c, *pt) @ u, strains(x, y, p), atol=1e-12)


def test_b_matrix_of_the_natural_square():
    b = eh.shellbmatrix(coords(8, affine=np.eye(2)), 0.0, 0.0)
    np.testing.assert_allclose(b[0, 0::5], [0, 0, 0, 0, 0, 0.5, 0, -0.5], atol=1e-15)
    np.testing.assert_allclose(b[7, 4::5], [-0.25] * 4 + [0.5] * 4, atol=1e-15)


@pytest.mark.parametrize("inodes", [8, 6])
def test_derivative_rows_against_central_differences(inodes):
    c = coords(inodes, bend=0.2)
    h = 1e-5
    for pt in POINTS[inodes]:
        xi, eta = pt
        dxi = (eh.shellbmatrix(c, xi + h, eta) - eh.shellbmatrix(c, xi - h, eta))[6:] / (2 * h)
        deta = (eh.shellbmatrix(c, xi, eta + h) - eh.shellbmatrix(c, xi, eta - h))[6:] / (2 * h)
        ji = np.linalg.inv(map_jacobian(inodes, c, pt))
        ddx = ji[0, 0] * dxi + ji[0, 1] * deta
        ddy = ji[1, 0] * dxi + ji[1, 1] * deta
        np.testing.assert_allclose(eh.shellxderivbmatrix(c, *pt), ddx, atol=1e-7)
        np.testing.assert_allclose(eh.shellyderivbmatrix(c, *pt), ddy, atol=1e-7)
        u = np.random.default_rng(5).normal(size=40)
        hmat = np.array([[3.0, 0.5], [0.5, 2.0]])
        np.testing.assert_allclose(eh.shellxderivshearforces(u, hmat, c, *pt), hmat @ ddx @ u,
                                   rtol=1e-6, atol=1e-7)
        np.testing.assert_allclose(eh.shellyderivshearforces(u, hmat, c, *pt), hmat @ ddy @ u,
                                   rtol=1e-6, atol=1e-7)


@pytest.mark.parametrize("call,extra,shape,routine", [
    (eh.shellbmatrix, (), (8, 40), "ShellBMatrix"),
    (eh.shellxderivbmatrix, (), (2, 40), "ShellxDerivBMatrix"),
    (eh.shellyderivbmatrix, (), (2, 40), "ShellyDerivBMatrix"),
    (eh.shellxderivshearforces, (np.ones(40), np.eye(2)), (2,), "ShellxDerivShearForces"),
    (eh.shellyderivshearforces, (np.ones(40), np.eye(2)), (2,), "ShellyDerivShearForces"),
])
@pytest.mark.parametrize("inodes", [4, 9, 12])
def test_other_node_counts_give_zeros(clean_register, call, extra, shape, routine, inodes):
    c = np.ones((3, inodes), order="F")
    got = call(*extra, c, 0.1, 0.2)
    assert got.shape == shape and not got.any()
    assert (errstat(), errtext()) == (-3, f"Node count other than 6 or 8 in {routine}")


def test_jacobian_of_another_node_count(clean_register):
    jac, nshape = eh.shelljacobian(np.ones((3, 4), order="F"), 0.1, 0.2)
    assert not jac.any() and not nshape.any() and nshape.shape == (4, 6)
    assert (errstat(), errtext()) == (-3, "Unknown or unsupported element type.")


def test_collapsed_element_gives_a_finite_b_matrix(clean_register):
    c = np.zeros((3, 8), order="F")
    b = eh.shellbmatrix(c, 0.2, 0.1)
    assert np.isfinite(b).all()
    n = ref(8, (0.2, 0.1))
    np.testing.assert_allclose(b[7, 4::5], n, atol=1e-15)  # the rotation entries stay
    assert not b[:6].any()
    assert (errstat(), errtext()) == (-3, "Singular jacobian in ShellJacobianInverse")
    assert np.isfinite(eh.shellxderivbmatrix(c, 0.2, 0.1)).all()


def curvature(inodes, k1, k2, k12, pt=(0.1, -0.2)):
    """delta, kappa of z = (k1 x^2 + k2 y^2)/2 + k12 x y over a parallelogram (an affine
    element, which holds the quadratic exactly)."""
    c = coords(inodes, z=lambda x, y: 0.5 * k1 * x**2 + 0.5 * k2 * y**2 + k12 * x * y)
    _, nshape = eh.shelljacobian(c, *pt)
    return eh.getcurvatures(nshape, np.asfortranarray(c.T))


@pytest.mark.parametrize("inodes", [8, 6])
@pytest.mark.parametrize("k1,k2,k12", [(0.8, -0.3, 0.25), (-0.5, -0.9, 0.1), (0.4, 0.35, -0.6)])
def test_curvatures_are_the_principal_values(inodes, k1, k2, k12):
    delta, kappa = curvature(inodes, k1, k2, k12)
    ev = np.linalg.eigvalsh([[k1, k12], [k12, k2]])
    major = ev[np.argmax(abs(ev))] if abs(ev[0]) != abs(ev[1]) else ev[0]
    minor = ev[0] + ev[1] - major
    if abs(major / minor) > 20:
        minor = 0.0
    np.testing.assert_allclose(kappa, [major, minor], rtol=1e-9)
    want = np.arctan(2 * k12 / (k1 - k2)) / 2 + (np.pi / 2 if major > 0 else 0.0)
    assert delta == pytest.approx(want, rel=1e-9)


@pytest.mark.parametrize("k1,k2,k12,delta,kappa", [
    (0.0, 0.0, 0.0, 0.0, (0.0, 0.0)),                  # flat
    (0.0, 0.5, 0.0, 0.0, (0.5, 0.0)),                  # k1 = 0 is tested first
    (0.5, 0.0, 0.0, np.pi / 2, (0.5, 0.0)),            # k2 = 0: sign of kmax
    (-0.5, 0.0, 0.0, -np.pi / 2, (-0.5, 0.0)),
    (0.5, 0.499, 0.0, 0.0, (0.5, 0.499)),              # within 1 %
    (0.5, 0.01, 0.0, 0.0, (0.5, 0.0)),                 # |kmax/kmin| above 20: kmin 0
])
def test_curvature_direction_rules(k1, k2, k12, delta, kappa):
    d, k = curvature(8, k1, k2, k12)
    assert d == pytest.approx(delta, abs=1e-9)
    np.testing.assert_allclose(k, kappa, atol=1e-9)


# A homogeneous plate of four isotropic plies, thickness t, one 8-node element of kind 4 on
# the natural square (x = xi, y = eta), nspt 3 section points per ply.
T, NPLY, NSPT = 0.4, 4, 3
E, NU = 70e3, 0.3


class Plate:
    def __init__(self, kind=4, inodes=8, w=lambda x, y: 0.5 * x * x, nelem=1, curv=(0.0, 0.0)):
        self.nz, self.nint = 2 * NPLY + 1, NSPT * NPLY
        sl = np.ones((NPLY, 1), np.int32, order="F")
        po = np.zeros((NPLY, 1), order="F")
        pt = np.full((NPLY, 1), T / NPLY, order="F")
        g = E / (2 * (1 + NU))
        pe = np.zeros((9, NPLY, 1), order="F")
        pe[:, :, 0] = np.array([E, E, E, NU, NU, NU, g, g, g])[:, None]
        zc = lam.getsectionzcoord(sl, pt)
        self.args = dict(
            sehmatrix=lam.getsectionhmatrix(sl, po, pt, pe),
            sefmatrix=lam.getsectionfmatrix(sl, po, pt, zc, pe),
            plyorientation=po, plythickness=pt, plyzcoord=zc, plyelastic=pe,
            elemsectionpoints=np.full(nelem, NSPT, np.int32),
            elemcurvatures=np.tile(np.array(curv, float)[:, None], (1, nelem)),
            elemkind=np.full(nelem, kind, np.int32), sectionlist=sl)
        self.zc = zc[:, 0]
        c = coords(inodes, affine=np.eye(2)) - np.array([[0.5], [-0.25], [0.0]])
        self.coords = np.zeros((3, 8, nelem), order="F")
        self.coords[:, :inodes, :] = c[:, :, None]
        self.motion = np.zeros((6, 8, nelem), order="F")
        self.motion[2, :inodes, :] = w(c[0], c[1])[:, None]
        self.sestress = np.zeros((6, self.nint, 4, nelem), order="F")
        self.tn = np.zeros((self.nz, nelem), order="F")
        self.ts = np.zeros((self.nint, 2, 4, nelem), order="F")

    def run(self, elemid=1, gpid=1, secid=1, itns=1, itshr=1, **kw):
        args = {**self.args, **kw}
        return eh.getshelltransversestresses(
            self.tn, self.ts, self.coords, self.motion, self.sestress, args.pop("sehmatrix"),
            args.pop("sefmatrix"), args.pop("plyorientation"), args.pop("plythickness"),
            args.pop("plyzcoord"), args.pop("plyelastic"), args.pop("elemsectionpoints"),
            args.pop("elemcurvatures"), args.pop("elemkind"), args.pop("sectionlist"), elemid,
            gpid, secid, itns, itshr, **args)


def ply_points():
    """z of the output points of GetExt2DShearStress: bottom, middle, top of every ply."""
    h = T / NPLY
    return np.array([-T / 2 + i * h + j * h / 2 for i in range(NPLY) for j in range(3)])


@pytest.mark.parametrize("gpid", [1, 3])
def test_homogeneous_plate_shear_is_parabolic(clean_register, gpid):
    # w = x^2/2 gives gamma_xz = x at the point, Q = H (gamma_yz, gamma_xz)
    p = Plate()
    tn, ts = p.run(gpid=gpid, itns=0)
    a = 0.5773502691896257
    x = [-a, a, a, -a][gpid - 1]
    q = p.args["sehmatrix"][:, :, 0] @ [0.0, x]
    z = ply_points()
    np.testing.assert_allclose(ts[:, 1, gpid - 1, 0], 1.5 * q[1] / T * (1 - 4 * z**2 / T**2),
                               rtol=1e-9, atol=1e-9 * abs(q[1]))
    np.testing.assert_allclose(ts[:, 0, gpid - 1, 0], 1.5 * q[0] / T * (1 - 4 * z**2 / T**2),
                               atol=1e-9 * abs(q[1]))
    assert not tn.any() and not np.delete(ts, gpid - 1, axis=2).any()
    assert errstat() == 0


@pytest.mark.parametrize("itns", [1, 2])
def test_homogeneous_plate_normal_stress(clean_register, itns):
    # w = (x^2 + 3 y^2)/2: dgamma_xz/dx = 1, dgamma_yz/dy = 3
    p = Plate(w=lambda x, y: 0.5 * x * x + 1.5 * y * y)
    tn, ts = p.run(itns=itns, itshr=0)
    h = p.args["sehmatrix"][:, :, 0]
    div = (h @ [0.0, 1.0])[1] + (h @ [3.0, 0.0])[0]
    z = p.zc
    want = -div * (0.5 + 1.5 * z / T - 2 * z**3 / T**3)
    np.testing.assert_allclose(tn[:, 0], want, rtol=1e-9, atol=1e-9 * abs(div))
    assert not ts.any()


def test_triangle_plate_uses_its_three_points(clean_register):
    p = Plate(kind=8, inodes=6)
    tn, ts = p.run(gpid=3, itns=2)
    q = p.args["sehmatrix"][:, :, 0] @ [0.0, 0.66666666667]
    z = ply_points()
    np.testing.assert_allclose(ts[:, 1, 2, 0], 1.5 * q[1] / T * (1 - 4 * z**2 / T**2), rtol=1e-9,
                               atol=1e-9 * q[1])
    div = p.args["sehmatrix"][1, 1, 0]
    np.testing.assert_allclose(tn[:, 0], -div * (0.5 + 1.5 * p.zc / T - 2 * p.zc**3 / T**3),
                               rtol=1e-9, atol=1e-9 * div)


def test_slightly_curved_plate_approaches_the_flat_one(clean_register):
    flat = Plate().run()
    curved = Plate(curv=(1e-7, 0.0)).run()
    for f, c in zip(flat, curved):
        np.testing.assert_allclose(c, f, rtol=1e-4, atol=1e-6 * abs(f).max())
    assert errstat() == 0


def unchanged(p, tn, ts):
    return (tn == p.tn).all() and (ts == p.ts).all()


@pytest.mark.parametrize("setup", [
    "kind1_no_midside_coords", "kind1_no_midside_motion", "kind6", "no_motion", "no_flags",
    "elemid0"])
def test_nothing_is_computed(clean_register, setup):
    p = Plate(kind=1 if setup.startswith("kind1") else 6 if setup == "kind6" else 4)
    kw = {}
    if setup == "kind1_no_midside_coords":
        p.coords[:, 4:, :] = 0.0
    elif setup == "kind1_no_midside_motion":
        p.motion[:, 4:, :] = 0.0
    elif setup == "no_motion":
        p.motion[:] = 0.0
    elif setup == "no_flags":
        kw = dict(itns=0, itshr=0)
    elif setup == "elemid0":
        kw = dict(elemid=0)
    assert unchanged(p, *p.run(**kw)) and errstat() == 0


def test_kind1_with_midside_nodes_is_computed(clean_register):
    assert Plate(kind=1).run()[0].any()


def test_filled_stores_are_kept(clean_register):
    p = Plate()
    p.tn[3, 0] = 7.0
    p.ts[2, 0, 0, 0] = 5.0
    tn, ts = p.run()
    assert unchanged(p, tn, ts)
    tn, ts = p.run(gpid=2)
    assert (tn == p.tn).all() and ts[:, :, 1].any() and (ts[:, :, 0] == p.ts[:, :, 0]).all()


@pytest.mark.parametrize("change,problem", [
    (dict(elemid=2), "Element outside the tables"),
    (dict(elemid=-1), "Element outside the tables"),
    (dict(gpid=5), "Integration point outside the element"),
    (dict(gpid=0), "Integration point outside the element"),
    (dict(secid=2), "Section outside the tables"),
    (dict(secid=0), "Section outside the tables"),
    (dict(elemsectionpoints=np.array([-1], np.int32)), "Section points per ply outside the stores"),
    (dict(elemsectionpoints=np.array([4], np.int32)), "Section points per ply outside the stores"),
    ("nzcoord 8", "Section point count other than 2 nplies + 1"),
    ("nsept 3", "Point slots of the stresses too few"),
])
def test_refused_arguments_leave_the_stores(clean_register, change, problem):
    p = Plate()
    if change == "nzcoord 8":
        p.tn = p.tn[:8].copy(order="F")
        change = {k: np.asfortranarray(p.args[k][:8]) for k in ("plyzcoord", "sefmatrix")}
    elif change == "nsept 3":
        p.sestress = p.sestress[:, :, :3].copy(order="F")
        change = {}
    assert unchanged(p, *p.run(**change))
    assert (errstat(), errtext()) == (-3, f"{problem} in GetShellTransverseStresses")


def test_triangle_has_three_points(clean_register):
    p = Plate(kind=8, inodes=6)
    assert unchanged(p, *p.run(gpid=4))
    assert errtext() == "Integration point outside the element in GetShellTransverseStresses"


def test_sestress_with_brick_point_slots(clean_register):
    # 27 point slots: the point stresses of element 2 are found behind those of element 1
    p = Plate(curv=(0.2, 0.05), nelem=2)
    p.sestress = np.zeros((6, p.nint, 27, 2), order="F")
    p.sestress[0, :, :4, 1] = 1.0
    tn27, _ = p.run(elemid=2, itshr=0)
    q = Plate(curv=(0.2, 0.05), nelem=2)
    q.sestress[0, :, :, 1] = 1.0
    tn4, _ = q.run(elemid=2, itshr=0)
    np.testing.assert_allclose(tn27, tn4, rtol=1e-14)
    assert tn4[:, 1].any() and not tn4[:, 0].any()
