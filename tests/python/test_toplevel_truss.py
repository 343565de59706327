"""Truss user elements of module toplevel (UEL and VUEL). Expected values: the bar stiffness
E A / L [[n n^T, -n n^T], [-n n^T, n n^T]] from numpy's outer product, the lumped mass
0.5 rho A L, the HHT residual terms by hand and, for the explicit bar, the volume-keeping
force E A0 (L0 / L) ln(L / L0) and the stable increment 0.99 L sqrt(rho / E)."""
import ctypes

import numpy as np
import pytest

from conftest import errstat, errtext

toplevel = pytest.importorskip("_vorlen").toplevel

E, RHO, AREA = 200.0, 3.0, 2.0
XY = np.array([[0.0, 3.0], [0.0, 4.0], [0.0, 0.0]])    # nodes (0,0,0) and (3,4,0): L = 5
N = np.array([0.6, 0.8, 0.0])
K = E * AREA / 5.0
NN = np.outer(N, N)
KMAT = K * np.block([[NN, -NN], [-NN, NN]])
MASS = 0.5 * RHO * AREA * 5.0
U = np.array([0.1, -0.2, 0.3, 0.05, 0.4, -0.1])
DU = np.array([0.01, 0.02, -0.03, -0.02, 0.05, 0.01])
ACC = np.array([1.0, 2.0, -1.0, 0.5, 0.0, 3.0])
VEL = np.array([0.2, -0.1, 0.0, 0.3, 0.1, -0.4])
ALPHA, BETA, DTIME = -0.05, 0.275625, 0.1
SV_OLD = np.arange(1.0, 13.0)


def uel(lflags, *, nrhs=1, du=None, svars=None, energy=None, coords=XY, u=U, props=None,
        loads=(), vel=VEL, routine="uel_truss", cprops=None, **kw):
    """One call with the solver's arguments; loads are (type, magnitude, increment) rows."""
    nsv = kw.pop("nsvars_len", 12)
    du = np.tile(DU, (nrhs, 1)).T.copy() if du is None else du
    jd = np.array([[t for t, _, _ in loads]] or np.zeros((0, 1)), np.int32).reshape(-1, 1)
    ad = np.array([[m for _, m, _ in loads]] or np.zeros((0, 1))).reshape(-1, 1)
    dd = np.array([[d for _, _, d in loads]] or np.zeros((0, 1))).reshape(-1, 1)
    args = [SV_OLD[:nsv].copy() if svars is None else svars,
            np.zeros(8) if energy is None else energy, nrhs,
            np.array([E, RHO, AREA]) if props is None else props, coords, u, du,
            vel if len(u) == 6 else np.zeros(len(u)), ACC if len(u) == 6 else np.zeros(len(u)),
            1, np.array([0.0, 1.0]), DTIME, 1, 2, 7, np.array([ALPHA, BETA, 0.55]), len(loads),
            jd, ad, np.zeros((2, 1, coords.shape[1])), np.array(lflags, np.int32), dd, 1.0,
            np.zeros(1, np.int32), 0.0]
    if cprops is not None:
        args.append(cprops)
    return getattr(toplevel, routine)(*args, **kw)


def test_stiffness_and_static_increment(clean_store):
    rhs, amatrx, svars, energy, pnewdt = uel([1, 1, 1, 0, 0], energy=np.full(8, 7.0))
    np.testing.assert_allclose(amatrx, KMAT, rtol=1e-13, atol=1e-12)
    np.testing.assert_allclose(rhs[:, 0], -KMAT @ U, rtol=1e-13, atol=1e-12)
    assert energy[1] == pytest.approx(0.5 * U @ KMAT @ U, rel=1e-13)
    np.testing.assert_array_equal(energy[[0, 2, 3, 4, 5, 6, 7]], 7.0)
    np.testing.assert_array_equal(svars, SV_OLD)
    assert pnewdt == 1.0 and errstat() == 0
    amatrx = uel([1, 1, 2, 0, 0])[1]                       # stiffness only
    np.testing.assert_allclose(amatrx, KMAT, rtol=1e-13, atol=1e-12)
    np.testing.assert_allclose(uel([1, 1, 4, 0, 0])[1], MASS * np.eye(6), rtol=1e-15)


def test_distributed_loads_and_riks_column(clean_store):
    loads = [(1001, 5.0, 0.5), (2, 100.0, 9.0), (1001, -2.0, 0.25)]
    rhs, _, _, energy, _ = uel([1, 1, 1, 0, 0], nrhs=2, loads=loads, energy=np.full(8, 1.0))
    np.testing.assert_allclose(rhs[:, 0], -KMAT @ U + np.r_[0, 0, 0, 3.0 * N], atol=1e-12)
    np.testing.assert_allclose(rhs[:, 1], np.r_[0, 0, 0, 0.75 * N], atol=1e-15)
    due2 = N @ DU[3:]                                      # the loads act on node 2
    assert energy[7] == pytest.approx(1.0 + (5.0 - 0.25) * due2 + (-2.0 - 0.125) * due2)


@pytest.mark.parametrize("du, work", [
    ([1e-3, 0, 0, 0, 0, 0], 0.0),                  # node 1 alone: the load point stays
    ([1e-3, 0, 0, 1e-3, 0, 0], 1.75e-3),           # rigid shift: (2 - 0.5 * 0.5) * 1e-3
    ([5e-4, 0, 0, -2e-3, 1e-3, 0], -3.5e-3),       # node 2 axial only; node 1 no matter
])
def test_distributed_load_work_along_node_2(clean_store, du, work):
    coords = np.array([[0.0, 2.0], [0.0, 0.0], [0.0, 0.0]])    # bar along x
    energy = uel([1, 1, 1, 0, 0], coords=coords, u=np.zeros(6), du=np.array(du)[:, None],
                 loads=[(1001, 2.0, 0.5)])[3]
    assert energy[7] == pytest.approx(work, rel=1e-15, abs=1e-20)


def test_hht_dynamic_increment_and_companions(clean_store):
    rhs, amatrx, svars, energy, _ = uel([11, 1, 1, 0, 0])
    np.testing.assert_allclose(amatrx, (1 + ALPHA) * KMAT + MASS / (BETA * DTIME**2) * np.eye(6),
                               rtol=1e-13, atol=1e-12)
    expected = -MASS * ACC - (1 + ALPHA) * KMAT @ U + ALPHA * SV_OLD[:6]
    np.testing.assert_allclose(rhs[:, 0], expected, rtol=1e-13, atol=1e-12)
    np.testing.assert_allclose(svars, np.r_[KMAT @ U, SV_OLD[:6]], atol=1e-12)
    assert energy[0] == pytest.approx(0.5 * MASS * VEL @ VEL)
    assert energy[1] == pytest.approx(0.5 * U @ KMAT @ U)
    # half-step residual
    rhs = uel([11, 1, 5, 0, 0])[0]
    expected = -MASS * ACC - (1 + ALPHA) * KMAT @ U + 0.5 * ALPHA * (SV_OLD[:6] + SV_OLD[6:])
    np.testing.assert_allclose(rhs[:, 0], expected, rtol=1e-13, atol=1e-12)
    # initial acceleration
    rhs, amatrx, svars, energy, _ = uel([11, 1, 6, 0, 0])
    np.testing.assert_allclose(amatrx, MASS * np.eye(6))
    np.testing.assert_allclose(rhs[:, 0], -KMAT @ U, atol=1e-12)
    np.testing.assert_allclose(svars, np.r_[KMAT @ U, SV_OLD[6:]], atol=1e-12)
    assert energy[0] == pytest.approx(0.5 * MASS * VEL @ VEL)


def test_dynamic_at_rest_shifts_the_residual_history(clean_store):
    _, _, svars, energy, _ = uel([12, 1, 1, 0, 0], u=np.zeros(6), vel=np.zeros(6))
    assert energy[0] == 0.0 and energy[1] == 0.0
    np.testing.assert_array_equal(svars, np.r_[np.zeros(6), SV_OLD[:6]])


def test_perturbation_branches(clean_store):
    rhs, amatrx, svars, energy, _ = uel([1, 1, 100, 0, 0], nsvars_len=14,
                                        svars=np.arange(1.0, 15.0))
    kdu = KMAT @ DU
    np.testing.assert_allclose(rhs[:, 0], -kdu, atol=1e-13)
    np.testing.assert_array_equal(amatrx, 0.0)
    np.testing.assert_allclose(svars, np.r_[-kdu, np.zeros(8)], atol=1e-13)
    assert energy[1] == pytest.approx(DU @ KMAT @ U + 0.5 * DU @ KMAT @ DU)
    # a linear-perturbation normal increment answers with the increment as well
    rhs, amatrx, _, energy, _ = uel([1, 1, 1, 1, 0])
    np.testing.assert_allclose(rhs[:, 0], -kdu, atol=1e-13)
    np.testing.assert_allclose(amatrx, KMAT, atol=1e-12)
    assert energy[1] == pytest.approx(DU @ KMAT @ U + 0.5 * DU @ KMAT @ DU)
    # frequency: one column per right-hand side
    du2 = np.column_stack([DU, U])
    rhs, _, svars, _, _ = uel([41, 1, 100, 0, 0], nrhs=2, du=du2)
    np.testing.assert_allclose(rhs, -KMAT @ du2, atol=1e-12)
    np.testing.assert_allclose(svars, np.r_[-kdu, np.zeros(6)], atol=1e-13)


@pytest.mark.parametrize("lflags", [[1, 1, 3, 0, 0], [1, 1, 7, 0, 0], [41, 1, 1, 0, 0],
                                    [11, 1, 100, 0, 0]])
def test_other_requests_return_zeros(clean_store, lflags):
    rhs, amatrx, svars, energy, _ = uel(lflags, energy=np.full(8, 2.0))
    assert not rhs.any() and not amatrx.any()
    np.testing.assert_array_equal(svars, SV_OLD)
    np.testing.assert_array_equal(energy, 2.0)


def test_coincident_nodes_give_zero_residual_and_matrix(clean_store):
    coords = np.array([[1.0, 1.0], [2.0, 2.0], [3.0, 3.0]])
    rhs, amatrx, svars, energy, _ = uel([11, 1, 1, 0, 0], coords=coords)
    assert errstat() == -3 and errtext() == "Coincident nodes in uel_truss"
    assert not rhs.any() and not amatrx.any()
    assert np.isfinite(svars).all() and np.isfinite(energy).all()


@pytest.mark.parametrize("case", ["ndofel", "mcrd", "nnode", "nsvars", "nprops"])
def test_unsupported_layout_writes_nothing(clean_store, case):
    kw = {}
    if case == "ndofel":
        kw = dict(u=np.zeros(4), du=np.zeros((6, 1)), ndofel=4)
    elif case == "mcrd":
        kw = dict(coords=XY[:2].copy())
    elif case == "nnode":
        kw = dict(coords=np.zeros((3, 3)))
    elif case == "nsvars":
        kw = dict(nsvars_len=11)
    else:
        kw = dict(props=np.array([E, RHO]))
    energy = np.full(8, 4.0)
    rhs, amatrx, svars, energy, _ = uel([1, 1, 1, 0, 0], energy=energy, **kw)
    assert errstat() == -3 and errtext() == "Unsupported element layout in uel_truss"
    assert not rhs.any() and not amatrx.any()
    np.testing.assert_array_equal(energy, 4.0)
    np.testing.assert_array_equal(svars, SV_OLD[:len(svars)])


# --- explicit bar -------------------------------------------------------------------------

def vuel(op, coords, u, *, props=(7e4, 1.6e-9, 2.0), lflag1=17, jdltyp=0, adlmag=None):
    nb = coords.shape[0]
    return toplevel.vuel_truss(
        2, np.array(props, float), np.zeros(1, np.int32), coords, u, np.zeros((nb, 6)),
        np.zeros((nb, 6)), np.zeros((nb, 6)), 1, np.arange(1, nb + 1, dtype=np.int32),
        np.zeros(2), 0.0, 1e-6, 1e-6, 1, 1, np.array([lflag1, 0, op], np.int32),
        np.ones(nb), np.zeros((nb, 2, 1)), jdltyp, np.zeros(nb) if adlmag is None else adlmag)


def block(*bars):
    """coords(nblock, 2, 3) and u(nblock, 6) of bars given as (x1, x2, u)."""
    coords = np.array([[x1, x2] for x1, x2, _ in bars], float)
    return coords, np.array([u for _, _, u in bars], float)


def axial_force(l0, l, e=7e4, a0=2.0):
    return e * a0 * (l0 / l) * np.log(l / l0)


def test_explicit_block_forces_each_bar_from_its_own_data(clean_store):
    d = np.array([0.6, 0.8, 0.0])
    coords, u = block(([0, 0, 0], [100, 0, 0], np.zeros(6)),                    # unstretched
                      ([1, 1, 1], [1 + 30, 1 + 40, 1], np.r_[0, 0, 0, 5 * d]),  # 50 -> 55
                      ([0, 0, 0], [0, 0, 10], [0, 0, 1, 0, 0, -4]))             # 10 -> 5
    rhs, amass, dt, svars, energy = vuel(2, coords, u)
    lengths = np.array([100.0, 55.0, 5.0])
    forces = axial_force(np.array([100.0, 50.0, 10.0]), lengths)
    assert forces[0] == 0 and forces[2] == pytest.approx(2 * 7e4 * 2.0 * np.log(0.5))
    dirs = np.array([[1, 0, 0], d, [0, 0, 1]])
    np.testing.assert_allclose(rhs, np.hstack([-forces[:, None] * dirs, forces[:, None] * dirs]),
                               rtol=1e-13, atol=1e-9)
    np.testing.assert_allclose(svars, np.column_stack([lengths, forces]), rtol=1e-13)
    np.testing.assert_allclose(energy[:, 2], 0.5 * forces * lengths, rtol=1e-13)
    assert not np.delete(energy, 2, axis=1).any() and not amass.any()
    # stable increment of the whole element mass: 0.99 sqrt(M / ka)
    l0 = np.array([100.0, 50.0, 10.0])
    ka = 7e4 * (2.0 * l0 / lengths) / lengths
    np.testing.assert_allclose(dt, 0.99 * np.sqrt(1.6e-9 * 2.0 * l0 / ka), rtol=1e-13)
    assert dt[0] == pytest.approx(1.49674e-5, rel=1e-5)
    assert errstat() == 0


def test_explicit_energy_increment_uses_the_previous_pass(clean_store):
    lib = ctypes.CDLL("libvorlen.so")
    coords, u = block(([0, 0, 0], [10, 0, 0], [0, 0, 0, 1, 0, 0]))
    svars = np.array([[10.5, 300.0]])                 # previous length and force
    energy = np.full((1, 12), 2.0, order="F")
    rhs, amass, dt = np.full((1, 6), 9.0), np.full((1, 6, 6), 9.0), np.full(1, 9.0)
    ints = {k: ctypes.c_int32(v) for k, v in dict(nb=1, nsv=2, nn=2, nd=6, np=3, nj=0, nc=3,
                                                    jt=1, ks=1, ki=1, npd=1, jdl=0).items()}
    props = np.array([7e4, 1.6e-9, 2.0])
    flags = np.array([17, 0, 2], np.int32)
    dptr = lambda a: a.ctypes.data_as(ctypes.c_void_p)
    zero6 = np.zeros(6)
    cf = np.asfortranarray(coords)
    lib.toplevel_vuel_truss(
        ctypes.byref(ints["nb"]), dptr(rhs), dptr(amass), dptr(dt), dptr(svars),
        ctypes.byref(ints["nsv"]), dptr(energy), ctypes.byref(ints["nn"]), ctypes.byref(ints["nd"]),
        dptr(props), ctypes.byref(ints["np"]), None, ctypes.byref(ints["nj"]), dptr(cf),
        ctypes.byref(ints["nc"]), dptr(u), dptr(zero6), dptr(zero6), dptr(zero6),
        ctypes.byref(ints["jt"]), None, dptr(np.zeros(2)), dptr(np.zeros(1)), dptr(np.zeros(1)),
        dptr(np.zeros(1)), ctypes.byref(ints["ks"]), ctypes.byref(ints["ki"]), dptr(flags),
        None, None, ctypes.byref(ints["npd"]), ctypes.byref(ints["jdl"]), dptr(np.zeros(1)))
    f = axial_force(10.0, 11.0)
    assert energy[0, 2] == pytest.approx(2.0 + 0.5 * (f + 300.0) * (11.0 - 10.5), rel=1e-13)
    np.testing.assert_array_equal(np.delete(energy, 2), 2.0)
    np.testing.assert_allclose(svars, [[11.0, f]], rtol=1e-13)
    np.testing.assert_array_equal(amass, 9.0)       # not asked for: left as passed


def test_explicit_mass_and_external_force(clean_store):
    d = np.array([0.0, 0.6, 0.8])
    coords, u = block(([0, 0, 0], [4, 0, 0], np.zeros(6)), ([0, 1, 1], [0, 4, 5], np.zeros(6)))
    amass = vuel(1, coords, u)[1]
    for k, l0 in enumerate([4.0, 5.0]):
        np.testing.assert_allclose(amass[k], 0.5 * 1.6e-9 * 2.0 * l0 * np.eye(6), rtol=1e-15)
    rhs = vuel(3, coords, u, jdltyp=123, adlmag=np.array([3.0, -2.0]))[0]
    np.testing.assert_allclose(rhs, [[0, 0, 0, 3.0, 0, 0], np.r_[0, 0, 0, -2.0 * d]], atol=1e-15)
    assert not vuel(3, coords, u, jdltyp=1, adlmag=np.array([3.0, -2.0]))[0].any()
    # another procedure than explicit dynamics: nothing at all
    outs = vuel(2, coords, u, lflag1=1)
    assert not any(o.any() for o in outs)
    assert errstat() == 0


def test_explicit_coincident_nodes_and_collapsed_length(clean_store):
    coords, u = block(([1, 2, 3], [1, 2, 3], np.arange(6.0)),              # coincident nodes
                      ([0, 0, 0], [2, 0, 0], [0, 0, 0, -3, 0, 0]))         # crushed past 0
    rhs, _, dt, svars, energy = vuel(2, coords, u)
    assert errstat() == -3 and errtext() == "Coincident nodes in vuel_truss"
    assert not rhs[0].any() and svars[0, 1] == 0.0
    assert dt[0] == pytest.approx(0.99 * 2.220446049250313e-16 * np.sqrt(1.6e-9 / 7e4))
    assert np.isfinite(rhs).all() and np.isfinite(dt).all() and np.isfinite(energy).all()
    # the crushed bar keeps the length guard of 2.22e-16
    assert svars[1, 0] == 2.220446049250313e-16


@pytest.mark.parametrize("props", [(0.0, 1.6e-9, 2.0), (7e4, 0.0, 2.0), (-7e4, 1.6e-9, 2.0)])
def test_explicit_bar_without_stable_increment(clean_store, props):
    # no stiffness (inf), no mass (0) or a negative modulus (not a number): 0 with the report
    coords, u = block(([0, 0, 0], [10, 0, 0], [0, 0, 0, 1, 0, 0]))
    rhs, _, dt, svars, energy = vuel(2, coords, u, props=props)
    assert errstat() == -3 and errtext() == "No positive finite stable increment in vuel_truss"
    assert dt[0] == 0.0
    f = axial_force(10.0, 11.0, e=props[0])               # force and energy as computed
    np.testing.assert_allclose(rhs[0], [-f, 0, 0, f, 0, 0], rtol=1e-13)
    assert energy[0, 2] == pytest.approx(0.5 * f * 11.0, rel=1e-13)


@pytest.mark.parametrize("nsvars, nnode, ncrd", [(1, 2, 3), (2, 3, 3), (2, 2, 2)])
def test_explicit_unsupported_layout_writes_nothing(clean_store, nsvars, nnode, ncrd):
    nb = 2
    out = toplevel.vuel_truss(
        nsvars, np.array([7e4, 1.6e-9, 2.0]), np.zeros(1, np.int32), np.ones((nb, nnode, ncrd)),
        np.zeros((nb, 6)), np.zeros((nb, 6)), np.zeros((nb, 6)), np.zeros((nb, 6)), 1,
        np.ones(nb, np.int32), np.zeros(2), 0.0, 1e-6, 1e-6, 1, 1,
        np.array([17, 0, 2], np.int32), np.ones(nb), np.zeros((nb, nnode, 1)), 0, np.zeros(nb))
    assert errstat() == -3 and errtext() == "Unsupported element layout in vuel_truss"
    assert not any(o.any() for o in out)
