# Six-component notations (Voigt, Nye, Cyclic), their flips and the 6x6 <-> 4th-order tensor maps.
import numpy as np
import pytest

import _vorlen

lam = _vorlen.lamina
err = _vorlen.errorhandling


@pytest.fixture(autouse=True)
def clean_register():
    err.errstat = 0
    yield
    err.errstat = 0


def message():
    return bytes(err.errstring[()]).decode().rstrip()


@pytest.mark.parametrize("name, form", [
    ("cauchynotation", "cn = cauchynotation(qv)"),
    ("voigtnotation", "vn = voigtnotation(q)"),
    ("nyenotation", "nn = nyenotation(q)"),
    ("cyclicnotation", "cn = cyclicnotation(q)"),
    ("flipvoigtnyenotation", "fn = flipvoigtnyenotation(q,sdim)"),
    ("flipvoigtcyclicnotation", "fn = flipvoigtcyclicnotation(q,sdim,dir)"),
    ("gettensorfromvoigtstiffness", "c_4th = gettensorfromvoigtstiffness(csix)"),
    ("getvoigtstiffnessfromtensor", "csix = getvoigtstiffnessfromtensor(c_4th)"),
])
def test_call_form(name, form):
    assert getattr(lam, name).__doc__.splitlines()[0] == form


# Matrix with distinct upper (1ij) and lower (2ij) off-diagonal entries: a notation must take
# the upper triangle only.
Q = np.array([[1.0, 112.0, 113.0],
              [212.0, 2.0, 123.0],
              [213.0, 223.0, 3.0]])


@pytest.mark.parametrize("name, expected", [
    ("voigtnotation", [1, 2, 3, 123, 113, 112]),
    ("nyenotation", [1, 2, 3, 112, 113, 123]),
    ("cyclicnotation", [1, 2, 3, 112, 123, 113]),
])
def test_six_vector_of_matrix_reads_upper_triangle(name, expected):
    np.testing.assert_array_equal(getattr(lam, name)(Q), expected)


def test_cauchy_of_voigt_vector_and_back():
    v = np.array([11.0, 22.0, 33.0, 23.0, 13.0, 12.0])
    m = lam.cauchynotation(v)
    np.testing.assert_array_equal(m, [[11, 12, 13], [12, 22, 23], [13, 23, 33]])
    np.testing.assert_array_equal(lam.voigtnotation(m), v)
    np.testing.assert_array_equal(lam.nyenotation(m), lam.flipvoigtnyenotation(v, 1)[:, 0])


def perm_matrix(p):
    return np.asfortranarray(np.eye(6)[list(p)])


def test_flip_voigt_nye():
    rng = np.random.default_rng(1)
    v = rng.standard_normal(6)
    np.testing.assert_array_equal(lam.flipvoigtnyenotation(v, 1)[:, 0], v[[0, 1, 2, 5, 4, 3]])
    a = rng.standard_normal((6, 6))  # unsymmetric on purpose
    p = perm_matrix([0, 1, 2, 5, 4, 3])
    f = lam.flipvoigtnyenotation(a, 6)
    np.testing.assert_array_equal(f, p @ a @ p.T)
    np.testing.assert_array_equal(lam.flipvoigtnyenotation(f, 6), a)
    assert err.errstat == 0


# Positions 4..6 of the result, as indices into q's positions 4..6 (0-based), per shift.
TO_VOIGT = [4, 5, 3]  # Cyclic (12, 23, 13) -> Voigt (23, 13, 12)
TO_CYCLIC = [5, 3, 4]  # Voigt -> Cyclic


@pytest.mark.parametrize("dir_, tail", [
    (1, TO_VOIGT), (2, TO_CYCLIC), (-1, TO_CYCLIC), (0, [3, 4, 5]), (3, [3, 4, 5]),
    (4, TO_VOIGT), (2**31 - 1, TO_VOIGT), (-2**31, TO_VOIGT),
])
def test_flip_voigt_cyclic(dir_, tail):
    rng = np.random.default_rng(2)
    p = [0, 1, 2] + tail
    v = rng.standard_normal(6)
    np.testing.assert_array_equal(lam.flipvoigtcyclicnotation(v, 1, dir_)[:, 0], v[p])
    a = rng.standard_normal((6, 6))
    pm = perm_matrix(p)
    np.testing.assert_array_equal(lam.flipvoigtcyclicnotation(a, 6, dir_), pm @ a @ pm.T)
    assert err.errstat == 0


def test_flip_voigt_cyclic_round_trip_with_nye_chain():
    # A Cyclic-order stress of a known tensor reaches Nye order through Voigt.
    s = np.array([[1.0, 12.0, 13.0], [12.0, 2.0, 23.0], [13.0, 23.0, 3.0]])
    cyc = lam.cyclicnotation(s)
    voigt = lam.flipvoigtcyclicnotation(cyc, 1, 1)
    np.testing.assert_array_equal(voigt[:, 0], lam.voigtnotation(s))
    np.testing.assert_array_equal(lam.flipvoigtnyenotation(voigt, 1)[:, 0], lam.nyenotation(s))
    np.testing.assert_array_equal(lam.flipvoigtcyclicnotation(voigt, 1, 2)[:, 0], cyc)


@pytest.mark.parametrize("call, text", [
    (lambda q, n: lam.flipvoigtnyenotation(q, n), "Unsupported extents of Q in FlipVoigtNyeNotation"),
    (lambda q, n: lam.flipvoigtcyclicnotation(q, n, 1),
     "Unsupported extents of Q inFlipVoigtCyclicNotation"),
])
def test_flip_errors(call, text):
    f = call(np.ones((6, 3)), 3)
    assert (err.errstat, message()) == (-2, text)
    np.testing.assert_array_equal(f, np.zeros((6, 3)))
    # Six values, but a 6 by 6 flip asked for: nothing read or written beyond the one column.
    err.errstat = 0
    f = call(np.arange(6.0), 6)
    assert (err.errstat, message()) == (-3, text)
    np.testing.assert_array_equal(f, np.zeros((6, 6)))


def test_tensor_of_isotropic_voigt_stiffness():
    lmb, mu = 40384.615384615383, 26923.076923076922
    d = np.eye(3)
    expected = (lmb * np.einsum("ij,kl->ijkl", d, d)
                + mu * (np.einsum("ik,jl->ijkl", d, d) + np.einsum("il,jk->ijkl", d, d)))
    csix = np.zeros((6, 6))
    csix[:3, :3] = lmb
    csix[np.arange(3), np.arange(3)] = lmb + 2 * mu
    csix[np.arange(3, 6), np.arange(3, 6)] = mu
    np.testing.assert_allclose(lam.gettensorfromvoigtstiffness(csix), expected, rtol=1e-15)


def test_tensor_round_trip_and_symmetries():
    a = np.random.default_rng(3).standard_normal((6, 6))
    t = lam.gettensorfromvoigtstiffness(a)
    np.testing.assert_array_equal(t, t.transpose(1, 0, 2, 3))
    np.testing.assert_array_equal(t, t.transpose(0, 1, 3, 2))
    assert t[1, 2, 0, 1] == a[3, 5] and t[0, 2, 2, 1] == a[4, 3]
    np.testing.assert_array_equal(lam.getvoigtstiffnessfromtensor(t), a)


def test_voigt_from_tensor_reads_upper_pairs():
    # A tensor without minor symmetry: only the entries with i <= j, k <= l count.
    t = np.random.default_rng(4).standard_normal((3, 3, 3, 3))
    pairs = [(0, 0), (1, 1), (2, 2), (1, 2), (0, 2), (0, 1)]
    expected = np.array([[t[i, j, k, l] for (k, l) in pairs] for (i, j) in pairs])
    np.testing.assert_array_equal(lam.getvoigtstiffnessfromtensor(t), expected)


def test_flip_of_symmetric_stiffness_matches_nye_rebuild():
    rng = np.random.default_rng(5)
    b = rng.standard_normal((6, 6))
    c = b + b.T
    t = lam.gettensorfromvoigtstiffness(c)
    nye = [(0, 0), (1, 1), (2, 2), (0, 1), (0, 2), (1, 2)]
    rebuilt = np.array([[t[i, j, k, l] for (k, l) in nye] for (i, j) in nye])
    np.testing.assert_array_equal(lam.flipvoigtnyenotation(c, 6), rebuilt)
