"""Search, membership, ranking and merging of module utility, checked against numpy and hand
calculations."""
import numpy as np
import pytest

import _vorlen

u = _vorlen.utility
NAN = float("nan")
IMAX = 2147483647
DMAX = 1.7976931348623157e308

CALL_FORMS = [
    "int_findlocation = int_findlocation(element,array,[ndim,notfound])",
    "real_findlocation = real_findlocation(element,array,[ndim,notfound])",
    "cmplx_findlocation = cmplx_findlocation(element,array,[ndim,notfound])",
    "int_findsubarray = int_findsubarray(subarray,array,[sdim,ndim,notfound])",
    "real_findsubarray = real_findsubarray(subarray,array,[sdim,ndim,notfound])",
    "cmplx_findsubarray = cmplx_findsubarray(subarray,array,[sdim,ndim,notfound])",
    "ainb = int_getpairs(a,b,[n])",
    "ainb = real_getpairs(a,b,[n])",
    "indices = getindicesexcludingsubarray(a,sub,[n,nsub])",
    "int_bounded = int_bounded(x,xlow,xup)",
    "real_bounded = real_bounded(x,xlow,xup)",
    "a,b = int_swap(a,b)",
    "a,b = real_swap(a,b)",
    "a,b = cmplx_swap(a,b)",
    "i = int_inc(i,[step])",
    "f = real_inc(f,[step])",
    "int_inlist = int_inlist(scalar,list,n)",
    "real_inlist = real_inlist(scalar,list,n)",
    "int_exlist = int_exlist(scalar,list,n)",
    "real_exlist = real_exlist(scalar,list,n)",
    "logical_xor = logical_xor(a,b)",
    "logical_nor = logical_nor(a,b)",
    "logical_nand = logical_nand(a,b)",
    "iloc = int_getcontinuous(xarr,sflag,[xdim])",
    "iloc = real_getcontinuous(xarr,sflag,[xdim])",
    "merged = int_getmerged(x,y,[nx,ny,defval])",
    "merged = real_getmerged(x,y,[nx,ny,defval])",
]


@pytest.mark.parametrize("form", CALL_FORMS)
def test_call_form(form):
    name = form.split(" = ")[1].split("(")[0]
    assert getattr(u, name).__doc__.splitlines()[0] == form


@pytest.mark.parametrize("routine,element,array,expected", [
    (u.int_findlocation, 7, [3, 7, 7], 2),
    (u.int_findlocation, 8, [3, 7, 7], -1),
    (u.int_findlocation, 3, [], -1),
    (u.real_findlocation, 0.0, [1.0, -0.0, 0.0], 2),
    (u.real_findlocation, 2.5, [1.0, 2.5000000000000004, 2.5], 3),
    (u.real_findlocation, NAN, [1.0, NAN], -1),
    (u.cmplx_findlocation, 1 - 2j, [1 + 2j, 1 - 2j], 2),
    (u.cmplx_findlocation, 2.0, [2 + 1e-300j, 2 + 0j], 2),
    (u.cmplx_findlocation, complex(NAN, 0), [complex(NAN, 0)], -1),
])
def test_find_location(routine, element, array, expected):
    assert routine(element, array) == expected
    if expected == -1:
        assert routine(element, array, notfound=0) == 0


@pytest.mark.parametrize("routine,sub,array,expected", [
    (u.int_findsubarray, [7, 8], [1, 7, 7, 8], 3),
    (u.int_findsubarray, [], [1, 7], 1),
    (u.int_findsubarray, [], [], 1),
    (u.int_findsubarray, [7, 8, 9], [7, 8], -1),
    (u.int_findsubarray, [8, 1], [1, 7, 7, 8], -1),
    (u.real_findsubarray, [2.0, -0.0], [1.0, 2.0, 0.0], 2),
    (u.real_findsubarray, [NAN], [1.0, NAN], -1),
    (u.cmplx_findsubarray, [1j, 2], [1j, 1j, 2], 2),
])
def test_find_subarray(routine, sub, array, expected):
    assert routine(sub, array) == expected
    if expected == -1:
        assert routine(sub, array, notfound=-7) == -7


def test_pairs():
    a = [5, 9, 2, 5]
    b = [2, 5, 5, 4]
    expected = [np.flatnonzero(np.equal(b, v))[0] + 1 if v in b else -1 for v in a]
    np.testing.assert_array_equal(u.int_getpairs(a, b), expected)
    np.testing.assert_array_equal(u.real_getpairs([NAN, 1.0, -0.0], [0.0, NAN, 1.0]), [-1, 3, 1])


@pytest.mark.parametrize("a,sub,expected", [
    ([5, 6, 5, 7], [5], [2, 4, -1, -1]),
    ([5, 6, 5, 7], [7, 5, 6], [-1, -1, -1, -1]),
    ([5, 6, 5, 7], [], [1, 2, 3, 4]),
    ([5, 6, 5, 7], [1], [1, 2, 3, 4]),
])
def test_indices_excluding_subarray(a, sub, expected):
    np.testing.assert_array_equal(u.getindicesexcludingsubarray(a, sub), expected)


@pytest.mark.parametrize("routine,x,low,up,expected", [
    (u.int_bounded, 1, 1, 3, 1), (u.int_bounded, 3, 1, 3, 1), (u.int_bounded, 4, 1, 3, 0),
    (u.int_bounded, 2, 3, 1, 0),
    (u.real_bounded, -0.0, 0.0, 1.0, 1), (u.real_bounded, 1.0 + 1e-15, 0.0, 1.0, 0),
    (u.real_bounded, NAN, -np.inf, np.inf, 0),
])
def test_bounded(routine, x, low, up, expected):
    assert routine(x, low, up) == expected


def test_swap():
    assert u.int_swap(1, -2) == (-2, 1)
    assert u.real_swap(1.5, NAN)[1] == 1.5
    assert u.cmplx_swap(1 + 2j, -3j) == (-3j, 1 + 2j)


def test_increment():
    assert u.int_inc(4) == 5
    assert u.int_inc(4, -6) == -2
    assert u.real_inc(0.25) == 1.25
    assert u.real_inc(0.25, step=-0.5) == -0.25


def test_increment_past_the_largest_integer_wraps():
    # The sum overflowed the 32-bit range (undefined in C++); it now wraps around.
    assert u.int_inc(IMAX) == -IMAX - 1
    assert u.int_inc(-IMAX - 1, -1) == IMAX


@pytest.mark.parametrize("routine,scalar,values,expected", [
    (u.int_inlist, 5, [1, 5], 1), (u.int_inlist, 5, [1, 6], 0), (u.int_inlist, 5, [], 0),
    (u.int_exlist, 5, [5, 5], 1), (u.int_exlist, 5, [5, 6], 0), (u.int_exlist, 5, [], 1),
    (u.real_inlist, 0.0, [1.0, -0.0], 1), (u.real_inlist, NAN, [NAN], 0),
    (u.real_exlist, 0.0, [-0.0, 0.0], 1), (u.real_exlist, NAN, [NAN, NAN], 0),
])
def test_membership(routine, scalar, values, expected):
    assert routine(scalar, values, len(values)) == expected


@pytest.mark.parametrize("a", [0, 1, 2])
@pytest.mark.parametrize("b", [0, 1, -1])
def test_logical_operators(a, b):
    assert u.logical_xor(a, b) == int(bool(a) != bool(b))
    assert u.logical_nor(a, b) == int(not (a or b))
    assert u.logical_nand(a, b) == int(not (a and b))


@pytest.mark.parametrize("sflag,expected", [(1, [2, 4, 1, 3]), (0, [2, 4, 1, 3]),
                                            (-1, [1, 3, 4, 2])])
def test_ranking_example(sflag, expected):
    iloc = u.real_getcontinuous([3.0, 1.0, 3.0, 2.0], sflag)
    assert iloc.dtype == np.int32
    np.testing.assert_array_equal(iloc, expected)


@pytest.mark.parametrize("size", [7, 200])  # a short and a long list
def test_ranking_is_stable_argsort(size):
    rng = np.random.default_rng(size)
    x = rng.integers(-5, 6, size).astype(np.int32)
    np.testing.assert_array_equal(u.int_getcontinuous(x, 1), np.argsort(x, kind="stable") + 1)
    np.testing.assert_array_equal(u.int_getcontinuous(x, -1), np.argsort(-x, kind="stable") + 1)
    f = rng.integers(-3, 4, size) * 0.5
    f[rng.integers(0, size, size // 5)] = np.nan
    f[f == 0.0] = -0.0
    f[:2] = 0.0
    np.testing.assert_array_equal(u.real_getcontinuous(f, 1), np.argsort(f, kind="stable") + 1)
    np.testing.assert_array_equal(u.real_getcontinuous(f, -1), np.argsort(-f, kind="stable") + 1)


@pytest.mark.parametrize("x,y,expected", [
    ([1, 2], [2, 3], [1, 3, 2, IMAX]),
    ([0, 5], [5], [5, 0, IMAX]),
    ([], [], []),
    ([4, 4], [], [4, 4]),
    ([], [3, 0], [3, 0]),
    ([2, 7, 2, 9], [9, 2, 8], [7, 8, 2, 9, IMAX, IMAX, IMAX]),
    ([0, 3], [0], [3, 0, IMAX]),
])
def test_int_merge(x, y, expected):
    np.testing.assert_array_equal(u.int_getmerged(x, y), expected)


def test_merge_default_value():
    np.testing.assert_array_equal(u.int_getmerged([1, 2], [2, 3], defval=-1), [1, 3, 2, -1])
    np.testing.assert_array_equal(u.real_getmerged([1.0, 2.0], [2.0, 3.0]), [1, 3, 2, DMAX])
    np.testing.assert_array_equal(u.real_getmerged([-0.0, 5.0], [5.0], defval=-9.0),
                                  [5, 0, -9])


@pytest.mark.parametrize("seed", range(4))
def test_merge_of_lists_without_zero(seed):
    rng = np.random.default_rng(seed)
    x = rng.integers(1, 8, 6).astype(np.int32)
    y = rng.integers(1, 8, 5).astype(np.int32)
    only_x = [v for v in x if v not in y]
    only_y = [v for v in y if v not in x]
    common = list(dict.fromkeys(v for v in x if v in y))
    expected = only_x + only_y + common
    expected += [IMAX] * (x.size + y.size - len(expected))
    np.testing.assert_array_equal(u.int_getmerged(x, y), expected)


def test_merge_with_nan_keeps_every_value():
    # Mended: a NaN in x asked for a free slot again and again (past the end of the result
    # once none was left) and took the slots of the common values.
    m = u.real_getmerged([NAN, NAN, 1.0], [1.0])
    np.testing.assert_array_equal(m, [NAN, NAN, 1.0, DMAX])
    m = u.real_getmerged([NAN, 2.0, 3.0], [3.0, NAN, 2.0])
    np.testing.assert_array_equal(m, [NAN, NAN, 2.0, 3.0, DMAX, DMAX])
