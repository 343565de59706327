"""The rules every routine call follows: argument parsing, conversions, checks and results."""
import numpy as np
import pytest

import _vorlen
from conftest import run_python

error = _vorlen.__vorlen_error
u, m = _vorlen.utility, _vorlen.math


@pytest.mark.parametrize("value,expected", [
    (3.9, 3), ("7", 7), ([4, 5], 4), (np.int64(2), 2), (True, 1), (5 + 0j, 5), ((6,), 6),
])
def test_int_conversion(value, expected):
    np.testing.assert_array_equal(u.getindexvector(value), np.arange(1, expected + 1))


@pytest.mark.parametrize("value,cls", [
    (None, TypeError), ("seven", ValueError), ([], IndexError), (object(), TypeError),
    (float("inf"), OverflowError),  # int() fails: the routine's message, not int()'s
])
def test_int_conversion_failures(value, cls):
    with pytest.raises(cls, match=r"^_vorlen\.utility\.getindexvector\(\) 1st argument \(n\) "
                                  r"can't be converted to int$"):
        u.getindexvector(value)


@pytest.mark.parametrize("value", [2**31, -2**31 - 1, 2**80])
def test_int_overflow(value):
    with pytest.raises(OverflowError, match="^Python int too large to convert to C int$"):
        u.getindexvector(value)


@pytest.mark.parametrize("value,expected", [
    (2.5, 2.5), ("2.5", 2.5), (np.float32(0.5), 0.5), (3, 3.0), (3 - 4j, 3.0), ([1.5, 9], 1.5),
])
def test_double_conversion(value, expected):
    np.testing.assert_array_equal(u.getscalarmatrix(2, value), expected * np.eye(2))


def test_double_conversion_failure_names_the_argument():
    with pytest.raises(ValueError, match=r"^_vorlen\.utility\.getscalarmatrix\(\) 2nd argument "
                                         r"\(lambda\) can't be converted to double$"):
        u.getscalarmatrix(2, "x")
    with pytest.raises(TypeError, match="2nd argument"):
        u.getscalarmatrix(2, None)
    # float() and complex() of a huge int fail with OverflowError: the class stays, the message
    # is the routine's (only the 32-bit range check of an int keeps its own text)
    with pytest.raises(OverflowError, match=r"^_vorlen\.utility\.getscalarmatrix\(\) 2nd argument "
                                            r"\(lambda\) can't be converted to double$"):
        u.getscalarmatrix(2, 10**400)
    with pytest.raises(OverflowError, match=r"^_vorlen\.utility\.cmplx_findlocation\(\) 1st "
                                            r"argument \(element\) can't be converted to "
                                            r"complex_double$"):
        u.cmplx_findlocation(10**400, np.array([1j]))


def test_complex_conversion():
    arr = np.array([1 + 1j, 2.5 + 0j, 3 - 2j])
    assert u.cmplx_findlocation(2.5, arr) == 2
    assert u.cmplx_findlocation(np.float64(2.5), arr) == 2
    assert u.cmplx_findlocation([3 - 2j, 0], arr) == 3
    with pytest.raises(TypeError, match=r"1st argument \(element\) can't be converted to "
                                        r"complex_double$"):
        u.cmplx_findlocation("1+1j", arr)


def test_logical_takes_the_truth_value():
    np.testing.assert_allclose(u.linspace(0.0, 1.0, 5, endpoint=[]), [0, 0.2, 0.4, 0.6, 0.8])
    np.testing.assert_allclose(u.linspace(0.0, 1.0, 5, endpoint="no"), np.linspace(0, 1, 5))


@pytest.mark.parametrize("order,upper", [("F", 0), (b"F", 0), ("FORTRAN", 0), ("C", 1)])
def test_text_conversion_cuts_to_the_declared_length(order, upper):
    # "F" with upper false gives the lower triangle; any other letter with upper true too
    lu = u.getunpackedtriangle([1.0, 2.0, 3.0], 2, order, upper=upper)
    np.testing.assert_array_equal(lu, [[1, 0], [2, 3]])


@pytest.mark.parametrize("value,stored", [
    ("first", b"first"),
    (b"ab\0\0", b"ab"),                     # zero bytes at the end become blanks
    (np.array(b"abc\0def"), b"abc"),         # an array: its bytes up to the first zero byte
    (None, b""),
    (12345, b"12345"),                       # any other object: str(object)
    ("x" * 100, b"x" * 80),                  # cut to the declared length
])
def test_text_conversion_pads_with_blanks(value, stored, clean_store):
    e = clean_store.errorhandling
    e.xerr(-1, value, [], [], [[0]], 1)
    assert e.errstring[()] == stored + b" " * (80 - len(stored))


def test_text_conversion_failure():
    with pytest.raises(error, match="string_from_pyobj failed in converting 3rd "
                                                 "argument`order' of _vorlen.utility."
                                                 "getunpackedtriangle to C string"):
        u.getunpackedtriangle([1.0, 2.0, 3.0], 2, "\u00c4")


def test_arrays_from_lists_and_fixed_extents():
    v = m.getabvector([1, 2, 3], [4, 6, 8])
    assert v.dtype == np.float64 and v.shape == (3,)
    np.testing.assert_array_equal(v, [3, 4, 5])
    with pytest.raises(ValueError) as exc:
        m.getabvector([1, 2, 3], [4, 6, 8, 9])
    assert str(exc.value) == ("_vorlen._vorlen.math.getabvector: failed to create array from the "
                              "2nd argument `b` -- 0-th dimension must be fixed to 3 but got 4")


def test_array_allocation_failure_is_a_memory_error():
    # A broadcast view of 2^40 doubles (8 TiB) cannot be copied into a contiguous array.
    with pytest.raises(MemoryError) as exc:
        m.vectornorm(np.broadcast_to(1.0, (2**40,)))
    assert str(exc.value) == ("_vorlen._vorlen.math.vectornorm: failed to create array from the "
                              "1st argument `x`")
    assert isinstance(exc.value.__cause__, MemoryError)  # numpy's own report


def test_rank_fitting():
    # a row-major and a 1x3x1 array are both taken for a rank-1 array
    np.testing.assert_array_equal(m.getabvector(np.zeros((1, 3, 1)), [1, 1, 1]), [1, 1, 1])
    # a vector is taken as a 3x1 matrix; a 2x2x2 array does not fit rank 2
    np.testing.assert_array_equal(u.matrixcopy([1.0, 2.0, 3.0]), [[1], [2], [3]])
    with pytest.raises(error):
        u.matrixcopy(np.zeros((2, 2, 2)))
    # a missing dimension whose extent is fixed above 1 is an error
    with pytest.raises(ValueError, match="1-th dimension must be fixed to 3 but got 1"):
        m.tensorrotation2nd([1.0, 2.0, 3.0], 0.0)


@pytest.mark.parametrize("call,dim,want,got", [
    # the extent n is taken from the first dimension; the second must then equal it
    (lambda: m.matrixsymmetrize(np.ones((3, 2))), 1, 3, 2),
    (lambda: m.matrixsymmetrize(np.ones(5)), 1, 5, 1),  # a vector is a 5x1 matrix
    (lambda: m.matrixsymmetrize(np.ones((2, 3)), n=2), 1, 2, 3),
    (lambda: m.matrixinverse([[1.0, 2.0, 3.0]]), 1, 1, 3),
    (lambda: m.matrixmodalassurancecriterion(np.eye(3)[:, :2], np.eye(3)), 1, 3, 2),
])
def test_every_extent_of_an_array_is_checked_once_known(call, dim, want, got):
    with pytest.raises(ValueError) as exc:
        call()
    assert str(exc.value).endswith(" -- %d-th dimension must be fixed to %d but got %d"
                                   % (dim, want, got))


@pytest.mark.filterwarnings("ignore::PendingDeprecationWarning")
def test_array_subclasses_are_taken_as_plain_arrays():
    # a 1x3 matrix is a rank-2 array with one extent above 1: it is taken as the vector
    np.testing.assert_array_equal(m.getabvector(np.matrix([1.0, 2.0, 3.0]),
                                                np.matrix([4.0, 6.0, 8.0])), [3.0, 4.0, 5.0])
    a = np.matrix([1.0, 2.0, 3.0])
    out = u.real_fillvectorwithscalar(a, 2.0, overwrite_a=1)
    assert out is a
    np.testing.assert_array_equal(a, [[2.0, 2.0, 2.0]])


def test_extent_check_on_a_keyword():
    a = np.ones((3, 3))
    with pytest.raises(error) as exc:
        u.matrixcopy(a, n=5)
    assert str(exc.value) == "(shape(a, 0) == n) failed for 1st keyword n: matrixcopy:n=5"
    np.testing.assert_array_equal(u.matrixcopy(a, None, 3), a)  # None is the same as left out


def test_ready_arrays_are_not_copied_and_returned_inputs_respect_overwrite():
    a = np.zeros(4)
    out = u.real_fillvectorwithscalar(a, 2.0)
    assert out is not a and (a == 0).all() and (out == 2).all()
    out = u.real_fillvectorwithscalar(a, 3.0, overwrite_a=1)
    assert out is a and (a == 3).all()
    # an array that needs conversion is copied even with the overwrite flag
    ints = np.zeros(4, dtype=np.int64)
    out = u.real_fillvectorwithscalar(ints, 1.0, 1)
    assert out is not ints and (ints == 0).all()
    with pytest.raises(TypeError):
        u.real_fillvectorwithscalar(a, 1.0, overwrite_a=1.0)
    with pytest.raises(TypeError):
        u.real_fillvectorwithscalar(a, 1.0, overwrite_a=None)


def test_in_out_arrays_are_changed_in_place_and_never_copied():
    lam = _vorlen.lamina
    ddsdde = np.asfortranarray(2.0 * np.eye(3))
    stress = np.zeros(3)
    assert lam.getstressvector(stress, ddsdde, np.zeros(3), np.ones(3), 2, 0, 0) is None
    np.testing.assert_array_equal(stress, [2.0, 2.0, 2.0])
    for bad in ([0.0, 0.0, 0.0], np.zeros((3, 1), order="C")[:, 0][::1].astype(np.float32),
                np.zeros(6)[::2]):
        with pytest.raises(error, match="1st argument `stress`"):
            lam.getstressvector(bad, ddsdde, np.zeros(3), np.ones(3), 2, 0, 0)
    rowmajor = np.zeros((3, 3))
    assert not rowmajor.flags.f_contiguous


def test_optional_array_default_list():
    n0 = np.array([1.0, 0.0, 0.0])
    a = np.asfortranarray(np.diag([1.0, 2.0, 3.0]))
    np.testing.assert_array_equal(m.tensorrotation2nd(a, 0.7), m.tensorrotation2nd(a, 0.7, n0))


def test_several_results_form_a_tuple():
    assert u.cmplx_swap(1 + 2j, 3 - 1j) == (3 - 1j, 1 + 2j)


@pytest.mark.parametrize("call,message", [
    (lambda: u.linspace(0.0, 1.0), r"missing required argument 'n' \(pos 3\)"),
    (lambda: u.linspace(0.0, 1.0, 3, 1, 5), r"takes at most 4 arguments \(5 given\)"),
    (lambda: u.linspace(0.0, 1.0, 3, endpnt=1), r"'endpnt' is an invalid keyword"),
    (lambda: u.linspace(0.0, 1.0, 3, a=1.0), r"given by name \('a'\) and position \(1\)"),
])
def test_argument_parsing_errors_name_the_call(call, message):
    with pytest.raises(TypeError, match=message) as exc:
        call()
    assert "_vorlen.utility.linspace" in str(exc.value)


def test_keywords_in_any_order():
    np.testing.assert_allclose(u.linspace(n=3, b=1.0, a=0.0), [0.0, 0.5, 1.0])


def test_hidden_output_with_negative_extent_fails():
    with pytest.raises(ValueError, match="hidden `a`"):
        u.getindexvector(-1)
    assert u.getindexvector(0).shape == (0,)


def test_xerr_records_with_pyerr_and_stops_without(clean_store):
    v = clean_store
    assert v.errorhandling.xerr(-1, "first", [1, 2], [0.5], np.zeros((10, 3), np.int32), 1) == 1
    assert v.errorhandling.xerr(-2, "second", [], [], [[1]], pyerr=7) == 7
    assert v.errorhandling.errstat == -1
    assert v.errorhandling.errstring[()] == b"first" + b" " * 75
    assert v.errorhandling.errasciim.shape == (8, 3)
    np.testing.assert_array_equal(v.errorhandling.errintv, [1, 2])
    assert v.errorhandling.rsxerr(0) == 0 and v.errorhandling.errstat == -1
    assert v.errorhandling.rsxerr(1) == 1 and v.errorhandling.errstat == 0
    assert v.errorhandling.errintv is None
    # assigning 0 empties the register too: the next report is stored in full
    v.errorhandling.xerr(-3, "third", [7, 8, 9], [], [[1]], 1)
    v.errorhandling.errstat = 0
    v.errorhandling.xerr(-2, "fourth", [4], [1.0, 2.0], [[1]], 1)
    assert v.errorhandling.errstat == -2 and v.errorhandling.errrealv.shape == (2,)
    np.testing.assert_array_equal(v.errorhandling.errintv, [4])

    proc = run_python("""
        import _vorlen
        _vorlen.errorhandling.xerr(-2, "the end", [], [], [[0]])
        print("not reached")
    """)
    assert proc.returncode != 0
    assert proc.stdout == " the end" + " " * 73 + "\n"


def test_optional_returned_array_and_its_overwrite_flag():
    a = np.asfortranarray(np.diag([3.0, 1.0, 2.0]))
    z, w = m.matrixeigenvectors(a)  # left out: created from its default, so values come back
    np.testing.assert_allclose(w, [1.0, 2.0, 3.0])
    given = np.full(3, -1.0)
    _, w = m.matrixeigenvectors(a, eigvals=given)
    assert w is not given and (given == -1).all()
    _, w = m.matrixeigenvectors(a, eigvals=given, overwrite_eigvals=1)
    assert w is given
    np.testing.assert_allclose(given, [1.0, 2.0, 3.0])


def test_a_negative_extent_given_by_the_caller_fits_no_array():
    with pytest.raises(ValueError, match="0-th dimension must be fixed to -1 but got 2"):
        u.int_inlist(5, [1, 5], -1)
    assert u.int_inlist(5, [1, 5], 2) == 1
