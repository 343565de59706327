"""Array initialisation, filling and shaping of module utility, checked against numpy and hand
calculations."""
import numpy as np
import pytest

import _vorlen

u = _vorlen.utility

CALL_FORMS = [
    "a = inivectorwithzeros(n)",
    "a = inimatrixwithzeros(n,m)",
    "a = ini3darraywithzeros(l,m,n)",
    "a = ini4darraywithzeros(l,m,n,o)",
    "a = ini5darraywithzeros(l,m,n,o,p)",
    "a = ini6darraywithzeros(l,m,n,o,p,q)",
    "a = inimaxdarraywithzeros(l,m,n,o,p,q,r)",
    *[f"a = {t}_fill{r}withscalar(a,lambda,[overwrite_a])"
      for t in ("real", "int")
      for r in ("vector", "matrix", "3darray", "4darray", "5darray", "6darray", "7darray")],
    "a = getscalarmatrix(n,lambda)",
    "a = getidentitymatrix(n)",
    "a = geteyematrix(n,[k])",
    "lu = gettriangularmatrix(a,[n,luflag])",
    "a = getindexvector(n)",
    "x = linspace(a,b,n,[endpoint])",
    "b = real_vectorcopy(a,[n])",
    "b = int_vectorcopy(a,[n])",
    "b = cmplx_vectorcopy(a,[n])",
    "b = matrixcopy(a,[n,m])",
    "matrix = getunpackedmatrixfromlist(list,n,m)",
    "ab = matrixconcatenation(a,b,ctype,[k,l,m,n])",
    "b = vectorsplit(a,k,[n])",
    "b = matrixsplit(a,k,[l,m])",
    "subarray,subslice = getsubarray(array,nsub,[narray,tail])",
    "packed = getpackedlist(list,condition,padding,cflag,npack,[nlist])",
    "lu = getunpackedtriangle(packed,nlu,order,[np,upper])",
    "a = fillmatrixoffdiagonals(a,x,[n,k,overwrite_a])",
    "sym = symmetrize(lu,[n])",
    "b = vectorflip(a,[n])",
    "b = matrixflip(a,dimflag,[n,m])",
    "a = vectorsort(a,b,mask,[n,overwrite_a])",
    "a = matrixsort(a,b,mask,[m,n,overwrite_a])",
]


@pytest.mark.parametrize("form", CALL_FORMS)
def test_call_form(form):
    name = form.split(" = ")[1].split("(")[0]
    assert getattr(u, name).__doc__.splitlines()[0] == form


SHAPES = [(3,), (2, 3), (2, 1, 3), (1, 2, 2, 3), (2, 1, 2, 1, 2), (1, 2, 1, 2, 1, 2),
          (2, 1, 1, 2, 1, 1, 2)]
ZEROS = ["inivectorwithzeros", "inimatrixwithzeros", "ini3darraywithzeros",
         "ini4darraywithzeros", "ini5darraywithzeros", "ini6darraywithzeros",
         "inimaxdarraywithzeros"]
FILL = ["vector", "matrix", "3darray", "4darray", "5darray", "6darray", "7darray"]


@pytest.mark.parametrize("rank", range(1, 8))
def test_zero_arrays(rank):
    shape = SHAPES[rank - 1]
    a = getattr(u, ZEROS[rank - 1])(*shape)
    assert a.shape == shape and a.dtype == np.float64
    np.testing.assert_array_equal(a, np.zeros(shape))
    assert getattr(u, ZEROS[rank - 1])(*((0,) + shape[1:])).size == 0


@pytest.mark.parametrize("kind,dtype,value", [("real", np.float64, -2.5), ("int", np.int32, 7)])
@pytest.mark.parametrize("rank", range(1, 8))
def test_fill_with_scalar(kind, dtype, value, rank):
    routine = getattr(u, f"{kind}_fill{FILL[rank - 1]}withscalar")
    shape = SHAPES[rank - 1]
    a = np.asfortranarray(np.arange(np.prod(shape), dtype=dtype).reshape(shape))
    before = a.copy()
    b = routine(a, value)
    np.testing.assert_array_equal(b, np.full(shape, value, dtype=dtype))
    np.testing.assert_array_equal(a, before)  # a copy is filled by default
    c = routine(a, value, overwrite_a=1)
    assert c is a
    np.testing.assert_array_equal(a, np.full(shape, value, dtype=dtype))


def test_fill_a_strided_section():
    a = np.zeros((4, 5), order="F")
    np.testing.assert_array_equal(u.real_fillmatrixwithscalar(a[1:3, ::2], 4.0),
                                  np.full((2, 3), 4.0))


def test_scalar_and_identity_matrices():
    np.testing.assert_array_equal(u.getscalarmatrix(3, 2.5), 2.5 * np.eye(3))
    np.testing.assert_array_equal(u.getidentitymatrix(4), np.eye(4))
    assert u.getidentitymatrix(0).shape == (0, 0)


@pytest.mark.parametrize("n", [1, 4])
def test_eye_matrix(n):
    for k in range(-n - 1, n + 2):
        np.testing.assert_array_equal(u.geteyematrix(n, k), np.eye(n, k=k), err_msg=f"k={k}")
    np.testing.assert_array_equal(u.geteyematrix(n), np.eye(n))


def test_eye_matrix_next_to_the_corner():
    a = u.geteyematrix(4, 3)
    assert a[0, 3] == 1.0 and a.sum() == 1.0


def test_triangular_matrix():
    a = np.arange(1.0, 17.0).reshape(4, 4)
    np.testing.assert_array_equal(u.gettriangularmatrix(a), np.tril(a))
    np.testing.assert_array_equal(u.gettriangularmatrix(a, luflag=0), np.tril(a))
    np.testing.assert_array_equal(u.gettriangularmatrix(a, luflag=1), np.triu(a))


def test_index_vector():
    a = u.getindexvector(5)
    assert a.dtype == np.int32
    np.testing.assert_array_equal(a, [1, 2, 3, 4, 5])


@pytest.mark.parametrize("a,b,n,endpoint", [
    (0.0, 1.0, 5, 1), (0.0, 1.0, 5, 0), (-2.0, 3.5, 12, 1), (3.0, -1.0, 7, 0),
    (1.5, 1.5, 4, 1), (2.0, 5.0, 2, 1), (2.0, 5.0, 1, 0), (2.0, 5.0, 0, 1),
])
def test_linspace(a, b, n, endpoint):
    np.testing.assert_allclose(u.linspace(a, b, n, endpoint),
                               np.linspace(a, b, n, endpoint=bool(endpoint)), rtol=0, atol=1e-15)


@pytest.mark.parametrize("a,b", [(2.0, 5.0), (4.0, 4.0)])
def test_linspace_single_point_with_end_point_is_the_start(a, b):
    # Mended: the step (b - a)/0 made this value NaN; numpy gives the start.
    np.testing.assert_array_equal(u.linspace(a, b, 1), np.linspace(a, b, 1))
    np.testing.assert_array_equal(u.linspace(a, b, 1), [a])


def test_copies():
    np.testing.assert_array_equal(u.real_vectorcopy([1.5, -2.0, 3.0]), [1.5, -2.0, 3.0])
    b = u.int_vectorcopy(np.array([4, -5], dtype=np.int32))
    assert b.dtype == np.int32
    np.testing.assert_array_equal(b, [4, -5])
    z = np.array([1 + 2j, -3.5j])
    np.testing.assert_array_equal(u.cmplx_vectorcopy(z), z)
    a = np.arange(6.0).reshape(2, 3)
    np.testing.assert_array_equal(u.matrixcopy(a), a)
    np.testing.assert_array_equal(u.getunpackedmatrixfromlist(np.arange(6.0), 2, 3),
                                  [[0, 2, 4], [1, 3, 5]])
    message = r"^\(shape\(list, 0\) == m \* n\) failed for 1st argument list$"
    with pytest.raises(_vorlen.__vorlen_error, match=message):
        u.getunpackedmatrixfromlist(np.arange(5.0), 2, 3)


A23 = np.arange(1.0, 7.0).reshape(2, 3)


@pytest.mark.parametrize("b,ctype,expected", [
    (-np.arange(1.0, 7.0).reshape(2, 3), 1, np.vstack([A23, -A23])),
    (-np.arange(1.0, 5.0).reshape(2, 2), 0, np.hstack([A23, -np.arange(1.0, 5.0).reshape(2, 2)])),
    # A narrower b is placed in the first columns below a; a shorter one in the first rows.
    (np.array([[9.0, 8.0]]), 1, [[1, 2, 3], [4, 5, 6], [9, 8, 0]]),
    (np.array([[9.0], ]), 0, [[1, 2, 3, 9], [4, 5, 6, 0]]),
])
def test_concatenation(b, ctype, expected):
    np.testing.assert_array_equal(u.matrixconcatenation(A23, b, ctype), expected)


def test_concatenation_unknown_type_gives_zero_matrix():
    b = np.ones((1, 2))
    ab = u.matrixconcatenation(A23, b, 2)  # (2 + 2*1) by (3 - 1*2)
    np.testing.assert_array_equal(ab, np.zeros((4, 1)))
    ab = u.matrixconcatenation(A23, np.ones((1, 1)), -1)  # (2 - 1) by (3 + 2*1)
    np.testing.assert_array_equal(ab, np.zeros((1, 5)))


@pytest.mark.parametrize("b,ctype,shape", [
    (np.ones((1, 5)), 1, (3, 3)),  # stacked b wider than a
    (np.ones((4, 1)), 0, (2, 4)),  # side-by-side b taller than a
])
def test_concatenation_of_a_b_that_does_not_fit(b, ctype, shape):
    # Mended: b was written past the end of ab; ab now keeps its zero marker.
    np.testing.assert_array_equal(u.matrixconcatenation(A23, b, ctype), np.zeros(shape))


def test_vector_split():
    a = np.arange(1.0, 7.0)
    np.testing.assert_array_equal(u.vectorsplit(a, 3), [[1, 3, 5], [2, 4, 6]])
    np.testing.assert_array_equal(u.vectorsplit(a, 1), a[:, None])
    np.testing.assert_array_equal(u.vectorsplit(a, 4), -np.ones((1, 4)))


def test_split_into_zero_parts_is_empty():
    # n/k with k = 0 was an integer division by zero.
    assert u.vectorsplit(np.arange(6.0), 0).size == 0
    assert u.matrixsplit(np.ones((4, 2)), 0).size == 0


def test_matrix_split():
    a = np.arange(1.0, 25.0).reshape(6, 4)
    b = u.matrixsplit(a, 3)
    assert b.shape == (2, 4, 3)
    for j in range(3):
        np.testing.assert_array_equal(b[:, :, j], a[2 * j:2 * j + 2, :])
    np.testing.assert_array_equal(u.matrixsplit(a, 4), -np.ones((1, 4, 4)))


@pytest.mark.parametrize("narray,nsub,tail,values,subslice", [
    (10, 3, 1, [8, 9, 10], [8, 10]),
    (10, 3, 0, [1, 2, 3], [1, 3]),
    (5, 5, 1, [1, 2, 3, 4, 5], [1, 5]),
    (5, 5, 0, [1, 2, 3, 4, 5], [1, 5]),
    (39, 40, 1, [1.0] * 40, [-1, -1]),
    (39, 40, 0, [1.0] * 40, [-1, -1]),
    (4, 0, 1, [], [5, 4]),
])
def test_subarray(narray, nsub, tail, values, subslice):
    sub, sl = u.getsubarray(np.arange(1.0, narray + 1), nsub, tail=tail)
    np.testing.assert_array_equal(sub, values)
    assert sl.dtype == np.int32
    np.testing.assert_array_equal(sl, subslice)


LIST = np.array([3.0, -1.0, 2.0, np.nan, 2.0, 7.0, -0.0])


@pytest.mark.parametrize("cflag,select", [
    (1, np.less), (2, np.less_equal), (3, np.equal), (4, np.greater_equal), (5, np.greater),
    (6, np.not_equal),
])
@pytest.mark.parametrize("condition", [2.0, 0.0, np.nan])
def test_packed_list(cflag, select, condition):
    chosen = LIST[select(LIST, condition)]
    packed = u.getpackedlist(LIST, condition, 99.0, cflag, 7)
    np.testing.assert_array_equal(packed, np.concatenate([chosen, np.full(7 - chosen.size, 99.0)]))


def test_packed_list_by_nan_condition():
    assert np.all(u.getpackedlist(LIST, np.nan, 5.0, 3, 7) == 5.0)
    np.testing.assert_array_equal(u.getpackedlist(LIST, np.nan, 5.0, 6, 7), LIST)


@pytest.mark.parametrize("cflag,npack", [(0, 4), (7, 4), (5, 1)])
def test_packed_list_markers(cflag, npack):
    # unknown flag; two entries above 2.0 do not fit into one place
    np.testing.assert_array_equal(u.getpackedlist(LIST, 2.0, -4.0, cflag, npack),
                                  np.full(npack, -4.0))


UPPER = [[1, 2, 4], [0, 3, 5], [0, 0, 6]]


@pytest.mark.parametrize("order,upper,expected", [
    ("F", 1, UPPER), ("F", 0, np.transpose(UPPER)), ("C", 1, np.transpose(UPPER)),
    ("C", 0, UPPER), ("f", 0, UPPER),
])
def test_unpacked_triangle(order, upper, expected):
    lu = u.getunpackedtriangle(np.arange(1.0, 7.0), 3, order, upper=upper)
    np.testing.assert_array_equal(lu, expected)


def test_unpacked_triangle_from_too_few_values():
    # Mended: six values were read from a list of four; lu now stays zero.
    np.testing.assert_array_equal(u.getunpackedtriangle(np.arange(1.0, 5.0), 3, "F"),
                                  np.zeros((3, 3)))


A33 = np.array([[10.0, 11.0, 12.0], [13.0, 14.0, 15.0], [16.0, 17.0, 18.0]])


@pytest.mark.parametrize("x,expected", [
    # one triangle: lower filled column by column, diagonal and upper keep their values
    ([1.0, 2.0, 3.0], [[10, 11, 12], [1, 14, 15], [2, 3, 18]]),
    # both triangles: the second half fills the upper triangle row by row
    ([1.0, 2.0, 3.0, 4.0, 5.0, 6.0], [[10, 4, 5], [1, 14, 6], [2, 3, 18]]),
    # between one and two triangles: only the lower one is filled
    ([1.0, 2.0, 3.0, 4.0], [[10, 11, 12], [1, 14, 15], [2, 3, 18]]),
    # Mended: fewer values than one triangle were read past x; a is left as it is.
    ([1.0, 2.0], A33),
])
def test_fill_off_diagonals(x, expected):
    np.testing.assert_array_equal(u.fillmatrixoffdiagonals(A33, x), expected)


@pytest.mark.parametrize("call", [
    lambda a: u.gettriangularmatrix(a),
    lambda a: u.gettriangularmatrix(a, luflag=1),
    lambda a: u.symmetrize(a),
    lambda a: u.fillmatrixoffdiagonals(a, np.arange(1.0, 7.0)),
    lambda a: u.fillmatrixoffdiagonals(a, np.arange(1.0, 7.0), overwrite_a=1),
], ids=["lower", "upper", "symmetrize", "offdiagonals", "offdiagonals-in-place"])
@pytest.mark.parametrize("shape", [(3, 2), (2, 3)])
def test_square_routines_refuse_a_matrix_that_is_not_square(call, shape):
    # n comes from the first extent alone: a 3 by 2 matrix was read (and filled) as 3 by 3,
    # past its end.
    a = np.zeros(shape, order="F")
    with pytest.raises((ValueError, _vorlen.__vorlen_error)):
        call(a)
    np.testing.assert_array_equal(a, np.zeros(shape))


def test_symmetrize():
    low = np.array([[1.0, 0, 0], [2.0, 0, 0], [3.0, 4.0, 5.0]])
    np.testing.assert_array_equal(u.symmetrize(low), [[1, 2, 3], [2, 0, 4], [3, 4, 5]])
    full = np.array([[1.0, 0.0], [7.0, -0.0]])
    np.testing.assert_array_equal(u.symmetrize(full), [[1, 7], [7, 0]])
    np.testing.assert_array_equal(u.symmetrize(A33), A33)


def test_flips():
    np.testing.assert_array_equal(u.vectorflip([1.0, 2.0, 3.0]), [3, 2, 1])
    for flag in (0, 2):
        np.testing.assert_array_equal(u.matrixflip(A23, flag), np.flipud(A23))
    np.testing.assert_array_equal(u.matrixflip(A23, -1), np.fliplr(A23))


def test_vector_sort():
    a = np.zeros(5)
    b = np.array([1.0, 2.0, 3.0, 4.0])
    np.testing.assert_array_equal(u.vectorsort(a, b, [4, 2, 2, 1]), [1, 2, 0, 4, 0])


@pytest.mark.parametrize("mask", [[0, 2, 5, 1], [-3, 2, 9, 1]])
def test_vector_sort_skips_indices_outside_the_arrays(mask):
    # Mended: an index outside b (or outside a) was read or written past the array.
    a = np.zeros(3)
    b = np.array([1.0, 2.0, 3.0, 4.0])
    np.testing.assert_array_equal(u.vectorsort(a, b, mask), [1, 2, 0])
    np.testing.assert_array_equal(u.vectorsort(np.zeros(5), b, [4, 7, 0, 3]), [0, 0, 3, 4, 0])


def test_matrix_sort():
    a = np.zeros((2, 3), order="F")
    b = np.arange(1.0, 7.0).reshape(2, 3)
    np.testing.assert_array_equal(u.matrixsort(a, b, [3, 0, 3]), [[0, 0, 3], [0, 0, 6]])
    # column 3 of b exists, but a has only two columns
    np.testing.assert_array_equal(u.matrixsort(np.zeros((2, 2)), b, [3, 1, 4]),
                                  [[1, 0], [4, 0]])
    out = u.matrixsort(a, b, [1, 2, 3], overwrite_a=1)
    assert out is a
    np.testing.assert_array_equal(a, b)
