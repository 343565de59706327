"""Numerical tangent and linear stress laws of module elasticity, against numpy."""
import numpy as np
import pytest

import _vorlen
from conftest import errstat

el = _vorlen.elasticity


pytestmark = pytest.mark.usefixtures("clean_register")


CALL_FORMS = [
    ("getnumericaltangent", "ddsdde = getnumericaltangent(getstressfromelasticity,props,stress1,"
     "stress0,dstrain,ndi,istensor,[ntens,nprops,tgref,h,nmflag,"
     "getstressfromelasticity_extra_args])"),
    ("real_getstressfromanisotropichyperelasticity",
     "stress = real_getstressfromanisotropichyperelasticity(strain,props,ndi,[ntens,nprops])"),
    ("cmplx_getstressfromanisotropichyperelasticity",
     "stress = cmplx_getstressfromanisotropichyperelasticity(strain,props,ndi,[ntens,nprops])"),
    ("getstressfromorthotropicelasticity",
     "stress = getstressfromorthotropicelasticity(strain,props,ndi,[ntens,nprops])"),
    ("getcomponentstensioncompression",
     "reduced_set = getcomponentstensioncompression(full_set,criterion)"),
]


@pytest.mark.parametrize("name,form", CALL_FORMS)
def test_call_form(name, form):
    assert getattr(el, name).__doc__.splitlines()[0] == form


def test_callback_form_in_the_docstring():
    assert ("    def getstressfromelasticity(stresspercmplx,dstrainpercmplx,props,ndi,"
            "[ntens,nprops]): return \n    Required arguments:\n"
            "        stresspercmplx : input rank-1 array('D') with bounds (ntens)\n"
            in el.getnumericaltangent.__doc__)


def symmetric_stiffness(n, seed=1):
    a = np.random.default_rng(seed).uniform(-1.0, 1.0, (n, n))
    return a @ a.T + n * np.eye(n) * 1e3


def orthotropic_stiffness(p):
    e1, e2, e3, n12, n13, n23, g12, g13, g23 = p
    s = np.zeros((6, 6))
    s[:3, :3] = [[1 / e1, -n12 / e1, -n13 / e1], [-n12 / e1, 1 / e2, -n23 / e2],
                 [-n13 / e1, -n23 / e2, 1 / e3]]
    s[3, 3], s[4, 4], s[5, 5] = 1 / g12, 1 / g13, 1 / g23  # Nye order 11 22 33 12 13 23
    return np.linalg.inv(s)


PLY = [140e3, 10e3, 10e3, 0.3, 0.3, 0.45, 5e3, 5e3, 3.5e3]
DSTRAIN = np.array([1e-3, -2e-3, 5e-4, 3e-3, -1e-3, 2e-4])


class Law:
    """K strain written into the given (complex) stress array, counting calls."""

    def __init__(self, k):
        self.k, self.calls, self.strains = k, 0, []

    def __call__(self, stress, strain, props, ndi, ntens, nprops):  # an object gets every value
        self.calls += 1
        self.strains.append(strain.copy())
        stress[:] = self.k @ strain


@pytest.mark.parametrize("nmflag,h", [(1, None), (1, 1e-3), (0, 1e-6), (0, 1e-3)])
def test_tangent_of_a_linear_python_law_is_its_stiffness(nmflag, h):
    k = symmetric_stiffness(6)
    law = Law(k)
    kw = {"nmflag": nmflag} if h is None else {"nmflag": nmflag, "h": h}
    tangent = el.getnumericaltangent(law, np.zeros(1), np.zeros(6), np.zeros(6), DSTRAIN, 3, 0, **kw)
    np.testing.assert_allclose(tangent, k, rtol=1e-8 if nmflag == 0 else 1e-14, atol=1e-9)
    assert law.calls == (6 if nmflag == 1 else 12)
    assert all(s.dtype == np.complex128 for s in law.strains)
    if nmflag == 0:  # the central differences see real strains
        assert all(not s.imag.any() for s in law.strains)


# Every vector length, on an unsymmetric K: the law is called at x + h e_j and then x - h e_j for
# j = 1 .. n, and the tangent is K (row i, column j) for short vectors as for long ones.
@pytest.mark.parametrize("n", range(1, 9))
def test_central_differences_of_an_unsymmetric_law_for_every_length(n):
    k = np.random.default_rng(n).uniform(-1.0, 1.0, (n, n)) * 1e3 + np.eye(n) * 5e3
    law = Law(k)
    x, h = np.resize(DSTRAIN, n), 1e-6
    tangent = el.getnumericaltangent(law, np.zeros(1), np.zeros(n), np.zeros(n), x, min(n, 3), 0,
                                     h=h)
    np.testing.assert_allclose(tangent, k, rtol=0, atol=1e-9 * abs(k).max())
    steps = [x + side * h * e for e in np.eye(n) for side in (1, -1)]
    assert [s.real.tolist() for s in law.strains] == [s.tolist() for s in steps]


# Without h the central differences step by 2^-26 times the largest magnitude in the strain
# (shears doubled with istensor), 1e-8 for a zero strain; a step of 2.2e-16 would round away in
# x + h and leave the tangent 1e-3 off.
@pytest.mark.parametrize("dstrain,istensor,step", [
    (DSTRAIN, 0, 2**-26 * 3e-3), (DSTRAIN, 1, 2**-26 * 6e-3), (np.zeros(6), 0, 1e-8)])
def test_central_differences_without_h_take_the_step_of_the_strain(dstrain, istensor, step):
    k = symmetric_stiffness(6)
    law = Law(k)
    tangent = el.getnumericaltangent(law, np.zeros(1), np.zeros(6), np.zeros(6), dstrain, 3,
                                     istensor)
    strain = dstrain * ([1, 1, 1, 2, 2, 2] if istensor else 1)
    assert law.strains[0].tolist() == (strain + [step, 0, 0, 0, 0, 0]).tolist()
    # rounding of the stresses over a step of sqrt(eps) size: some 1e-9 of the stiffness
    np.testing.assert_allclose(tangent, k, rtol=0, atol=1e-8 * abs(k).max())
    for h in (None, step):
        assert el.getnumericaltangent(law, np.zeros(1), np.zeros(6), np.zeros(6), dstrain, 3,
                                      istensor, h=h).tolist() == tangent.tolist()


def test_the_complex_step_without_h_steps_by_the_default():
    law = Law(np.eye(6))
    el.getnumericaltangent(law, np.zeros(1), np.zeros(6), np.zeros(6), DSTRAIN, 3, 0, nmflag=1)
    assert law.strains[0].imag.tolist() == [2.2e-16, 0, 0, 0, 0, 0]


@pytest.mark.parametrize("routine,nmflag", [
    ("real_getstressfromanisotropichyperelasticity", 0),
    ("cmplx_getstressfromanisotropichyperelasticity", 1),
    ("getstressfromorthotropicelasticity", 0)])
def test_tangent_of_a_library_law_given_as_capsule(routine, nmflag):
    if routine == "getstressfromorthotropicelasticity":
        props, k = np.array(PLY), orthotropic_stiffness(PLY)
    else:
        k = symmetric_stiffness(6, seed=2)
        props = k.flatten(order="F")
    h = 1e-20 if nmflag else 1e-6
    tangent = el.getnumericaltangent(getattr(el, routine)._cpointer, props, np.zeros(6),
                                     np.zeros(6), DSTRAIN, 3, 0, h=h, nmflag=nmflag)
    np.testing.assert_allclose(tangent, k, rtol=1e-7)


K3 = np.array([[4.0, 1.0, 0.0], [1.0, 3.0, 0.0], [0.0, 0.0, 2.0]])


# The mode decides which kind of law the library calls. A capsule of the other kind would be
# handed numbers it misreads (the complex law under central differences gave [[4, 0, 1],
# [0, 4, 0], [1, 0, 3]] for K3, the real law under the complex step 4.5e12 in its first row).
@pytest.mark.parametrize("routine,kind,wrong,right", [
    ("real_getstressfromanisotropichyperelasticity", "doubles", 1, 0),
    ("cmplx_getstressfromanisotropichyperelasticity", "complex numbers", 0, 1),
    ("cmplx_getstressfromanisotropichyperelasticity", "complex numbers", 2, 1)])
def test_a_capsule_of_the_other_kind_than_the_mode_calls_is_refused(routine, kind, wrong, right):
    capsule = getattr(el, routine)._cpointer
    x, z = np.array([1e-3, 2e-3, -1e-3]), np.zeros(3)
    # five values for a packed 3 x 3: a law called with them records -3
    with pytest.raises(TypeError, match=f"capsule holds a routine of {kind}, but this call"):
        el.getnumericaltangent(capsule, np.ones(5), z, z, x, 2, 0, nmflag=wrong)
    assert errstat() == 0
    tangent = el.getnumericaltangent(capsule, K3.flatten(order="F"), z, z, x, 2, 0, nmflag=right)
    np.testing.assert_allclose(tangent, K3, rtol=1e-7, atol=1e-7)


def test_the_docstring_says_the_law_writes_in_place_and_which_kind_each_mode_calls():
    notes = " ".join(el.getnumericaltangent.__doc__.split("Notes\n-----\n")[1].split())
    assert notes.startswith(
        "getstressfromelasticity writes the stress into stresspercmplx in place; what it returns "
        "is ignored. A Python function is handed complex arrays in both modes. A capsule must "
        "hold a real law (real_getstressfromanisotropichyperelasticity, "
        "getstressfromorthotropicelasticity) for the central differences (nmflag other than 1) "
        "and a complex-valued one (cmplx_getstressfromanisotropichyperelasticity) for the "
        "complex step (nmflag 1); a capsule of the other kind is a TypeError.")


def test_a_law_that_returns_its_stress_instead_of_writing_it_gives_nothing():
    k = symmetric_stiffness(3)
    tangent = el.getnumericaltangent(lambda s, e, p, ndi: k @ e, np.zeros(1), np.zeros(3),
                                     np.zeros(3), DSTRAIN[:3], 2, 0, nmflag=1)
    assert not tangent.any()


def test_a_reference_tangent_that_reproduces_the_stress_increment_is_taken():
    k = np.array([[4.0, 1.0, 0.0], [1.0, 3.0, 1.0], [0.0, 1.0, 2.0]])
    dstrain = np.array([1.0, -2.0, 0.5])
    law = Law(k)
    tangent = el.getnumericaltangent(law, np.zeros(1), k @ dstrain + 1.0, np.ones(3), dstrain, 2,
                                     0, tgref=k)
    assert law.calls == 0 and tangent.tolist() == k.tolist()
    # one component off: the numerical path runs
    el.getnumericaltangent(law, np.zeros(1), k @ dstrain + [1.0, 1.0, 1.5], np.ones(3), dstrain,
                           2, 0, tgref=k, h=1e-3)
    assert law.calls == 6


def test_tensor_shears_are_doubled_before_the_law_sees_them():
    law = Law(np.eye(6))
    el.getnumericaltangent(law, np.zeros(1), np.zeros(6), np.zeros(6), DSTRAIN, 3, 1, h=1e-3,
                           nmflag=1)
    np.testing.assert_array_equal(law.strains[0].real, DSTRAIN * [1, 1, 1, 2, 2, 2])
    assert law.strains[0].imag.tolist() == [1e-3, 0, 0, 0, 0, 0]


def test_packed_stiffness_is_read_by_rows_in_real_and_by_columns_in_complex_arithmetic():
    packed = np.arange(1.0, 22.0)
    rows, cols = np.zeros((6, 6)), np.zeros((6, 6))
    rows[np.triu_indices(6)] = packed       # c11, c12, ..., c16, c22, ...
    cols.T[np.tril_indices(6)] = packed      # c11; c12, c22; c13, c23, c33; ...
    rows, cols = rows + np.triu(rows, 1).T, cols + np.triu(cols, 1).T
    strain = np.array([1.0, -1.0, 2.0, 0.5, -0.25, 3.0])
    np.testing.assert_allclose(
        el.real_getstressfromanisotropichyperelasticity(strain, packed, 3), rows @ strain)
    np.testing.assert_allclose(
        el.cmplx_getstressfromanisotropichyperelasticity(strain * (1 + 1j), packed, 3),
        cols @ strain * (1 + 1j))


def test_full_stiffness_is_read_column_by_column():
    k = np.arange(1.0, 17.0).reshape(4, 4)
    strain = np.array([1.0, 2.0, -1.0, 0.5])
    np.testing.assert_allclose(
        el.real_getstressfromanisotropichyperelasticity(strain, k.flatten(order="F"), 3), k @ strain)
    np.testing.assert_allclose(
        el.cmplx_getstressfromanisotropichyperelasticity(strain + 0j, k.flatten(order="F"), 3),
        k @ strain)


@pytest.mark.parametrize("routine", ["real_getstressfromanisotropichyperelasticity",
                                     "cmplx_getstressfromanisotropichyperelasticity"])
def test_a_packed_list_too_short_is_not_read_beyond(routine):
    stress = getattr(el, routine)(np.ones(6), np.ones(20), 3)
    assert not stress.any() and errstat() == -3


def test_orthotropic_law_against_the_inverted_compliance():
    np.testing.assert_allclose(el.getstressfromorthotropicelasticity(DSTRAIN, PLY, 3),
                               orthotropic_stiffness(PLY) @ DSTRAIN, rtol=1e-12)


def test_components_by_sign_with_zero_counting_as_compression():
    full = np.arange(1.0, 10.0)  # Xt Xc Yt Yc Zt Zc S12 S13 S23
    assert el.getcomponentstensioncompression(full, [0, -1, 2, 5, 5, 5]).tolist() == \
        [2.0, 4.0, 5.0, 7.0, 8.0, 9.0]
    assert el.getcomponentstensioncompression(full, [1e-300, 3, -0.0, 0, 0, 0]).tolist() == \
        [1.0, 3.0, 6.0, 7.0, 8.0, 9.0]
