"""Routine arguments from Python: argument lists of callables, capsules, failures, nesting,
threads and the arrays a callable is handed."""
import functools
import threading
import time

import numpy as np
import pytest

import _vorlen
from conftest import errstat

m = _vorlen.math
error = _vorlen.__vorlen_error
FAILED_LIST = "failed in processing argument list for call-back dfunc."


pytestmark = pytest.mark.usefixtures("clean_register")


def bdsafe(dfunc, **kw):
    return m.bdsafe(dfunc, 0.0, 2.0, np.array([4.0, 5.0]), 1e-12, 100, 7, **kw)


def test_a_function_receives_as_many_values_as_it_has_parameters():
    seen = []
    def three(f, df, x):
        seen.append((type(f), type(df), type(x), x))
        return x - 1.0
    assert bdsafe(three) == (1.0, 0)
    assert seen[0] == (float, float, float, 0.0) and seen[1][3] == 2.0


def test_extra_arguments_follow_the_callbacks_own_values():
    seen = []
    def seven(f, df, x, args, nfun, na, extra):
        seen.append((args.tolist(), nfun, na, extra))
        return x - extra / 5
    assert bdsafe(seven, dfunc_extra_args=(5,)) == (1.0, 0)
    assert seen[0] == ([4.0, 5.0], 7, 2, 5)


def test_defaults_let_a_function_take_more_parameters_than_values():
    def seven(f, df, x, args, nfun, na, scale=3.0):  # receives six values, scale stays 3
        return x - 0.5 * scale
    assert bdsafe(seven) == (1.5, 0)


def test_a_function_needing_more_values_than_can_be_given_fails_before_the_routine(capfd):
    calls = []
    def seven(f, df, x, args, nfun, na, more):
        calls.append(1)
    with pytest.raises(error, match=FAILED_LIST):
        bdsafe(seven)
    assert calls == []
    assert capfd.readouterr().err == (
        "create_cb_arglist: Failed to build argument list (siz) with enough arguments (tot-opt) "
        "required by user-supplied function (siz,tot,opt=6, 7, 0).\n")


def test_a_starred_function_receives_nothing():
    seen = []
    def starred(*a):
        seen.append(a)
        return 0.0  # x1 is a root
    bdsafe(starred)
    assert seen == [(), ()]


def test_bound_methods_count_without_their_instance_and_objects_get_every_value():
    class Law:
        def method(self, f, df, x):
            return x - 0.5
        def __call__(self, *values):
            self.values = values
            return values[2] - 0.25
    law = Law()
    assert bdsafe(law.method) == (0.5, 0)
    assert bdsafe(law) == (0.25, 0) and len(law.values) == 6
    assert bdsafe(functools.partial(lambda f, df, x, *rest: x - 1.75)) == (1.75, 0)


@pytest.mark.parametrize("obj", [7, "dfunc", None, np.ones(3)])
def test_an_object_that_cannot_be_called_is_refused(obj, capfd):
    with pytest.raises(error, match=FAILED_LIST):
        bdsafe(obj)
    assert capfd.readouterr().err.startswith("Call-back argument must be a callable")


def test_extra_arguments_must_be_a_tuple():
    with pytest.raises(TypeError, match="dfunc_extra_args must be tuple, not list"):
        bdsafe(lambda *a: 0.0, dfunc_extra_args=[1])


def test_a_raising_callable_unwinds_the_routine(capfd):
    calls = []
    def fails(f, df, x):
        calls.append(x)
        if len(calls) == 3:
            raise KeyError("from the callable")
        return x - 1.3
    with pytest.raises(KeyError, match="from the callable"):
        bdsafe(fails)
    assert len(calls) == 3
    assert capfd.readouterr().err == ("capi_return is NULL\n"
                                      "Call-back cb_dfunc_in_bdsafe__user__routines failed.\n")
    assert errstat() == 0  # the routine did not go on to report


def nrsafe(dfunc):
    return m.nrsafe(dfunc, 0.0, 2.0, [0.0], 1e-12, 100, 0)


def fpsafe(dfunc):
    return m.fpsafe(dfunc, 1.0, [0.0], 1e-12, 100, 0)


# A forgotten return, a value that is no number, a number where a pair is read.
@pytest.mark.parametrize("finder,value,message", [
    (bdsafe, None, "bdsafe__user__routines returned None where it must return fa"),
    (fpsafe, None, "fpsafe__user__routines returned None where it must return xnew"),
    (nrsafe, None, "nrsafe__user__routines returned None where it must return (fl, df)"),
    (nrsafe, 0.5, "nrsafe__user__routines returned float where it must return (fl, df)"),
    (nrsafe, (0.5,), "nrsafe__user__routines returned a tuple of 1 where it must return (fl, df)"),
    (nrsafe, (0.5, None), "nrsafe__user__routines returned None for df where it must return a "
                          "number"),
    (bdsafe, (), "bdsafe__user__routines returned a tuple of 0 where it must return fa"),
    (bdsafe, "text", "bdsafe__user__routines returned str for fa where it must return a number"),
    (bdsafe, "0.5", "bdsafe__user__routines returned str for fa where it must return a number"),
    (bdsafe, [None], "bdsafe__user__routines returned list for fa where it must return a number"),
    (bdsafe, object(), "bdsafe__user__routines returned object for fa where it must return a "
                       "number"),
])
def test_a_result_without_the_values_the_routine_reads_is_a_type_error(finder, value, message,
                                                                        capfd):
    calls = []
    with pytest.raises(TypeError) as raised:
        finder(lambda *a: calls.append(a) or value)
    assert str(raised.value) == "call-back cb_dfunc_in_" + message
    assert len(calls) == 1  # the first evaluation ends the call
    trampoline = message.split(" ")[0]
    assert capfd.readouterr().err == f"Call-back cb_dfunc_in_{trampoline} failed.\n"
    assert errstat() == 0  # the routine did not go on to report


def test_the_values_read_from_the_result_come_first_and_the_rest_is_ignored():
    assert nrsafe(lambda fl, df, x: (x * x - 2, 2 * x, "ignored"))[0] == pytest.approx(
        2**0.5, abs=1e-12)
    assert bdsafe(lambda f, df, x: (x - 1.25, "ignored")) == (1.25, 0)
    assert fpsafe(lambda xnew, fargs, nfun: np.float32(0.5)) == (0.5, 0)


def test_capsules_are_called_directly():
    tg, beta, eps = 4000.0, 2e-6, 0.01
    args = [0.0, eps, tg, beta]
    direct = _vorlen.nlcollection.recu_nlhahntsai._cpointer
    assert m.fpsafe(direct, 0.0, args, 1e-9, 100, 2)[0] == pytest.approx(
        m.fpsafe(lambda xnew, fargs, nfun: _vorlen.nlcollection.recu_nlhahntsai(fargs, ns=2),
                 0.0, args, 1e-9, 100, 0)[0], rel=1e-12)


def test_a_capsule_refuses_extra_arguments(capfd):
    with pytest.raises(error, match="failed in processing argument list for call-back dfunc."):
        m.fpsafe(_vorlen.nlcollection.recu_nlhahntsai._cpointer, 0.0, [0, 0, 1, 1], 1e-9, 100, 2,
                 dfunc_extra_args=(1,))
    assert capfd.readouterr().err == "extra arguments tuple cannot be used with PyCapsule call-back\n"


@pytest.mark.parametrize("capsule", [m.matrixinverse._cpointer, m.cuberoot._cpointer,
                                     _vorlen.nlcollection.recu_nlhahntsai._cpointer])
def test_a_capsule_of_a_routine_with_another_argument_list_is_refused(capsule):
    with pytest.raises(error, match=FAILED_LIST):
        bdsafe(capsule)


@pytest.mark.parametrize("call,capsule", [
    (bdsafe, _vorlen.laminate.getext2dshearstress._cpointer),
    (bdsafe, m.singularvaluedecomposition._cpointer),
    (lambda c: m.fpsafe(c, 0.0, [1.0, 2.0], 1e-9, 5, 1), m.matrixtranspose._cpointer),
    (lambda c: _vorlen.elasticity.getnumericaltangent(c, np.ones(36), np.zeros(6), np.zeros(6),
                                                      np.ones(6), 3, 0), m.matrixproduct._cpointer),
])
def test_a_capsule_of_the_same_parameter_types_but_other_extents_is_refused(call, capsule):
    # called directly, it would read and write past the arrays the library hands it
    with pytest.raises(error, match="failed in processing argument list for call-back"):
        call(capsule)


def test_nested_calls_keep_their_own_callables():
    inner_roots = []
    def inner(f, df, x):
        return x - 0.25
    def outer(f, df, x):
        inner_roots.append(m.bdsafe(inner, 0.0, 1.0, [0.0], 1e-12, 100, 0)[0])
        return x - 1.5
    assert bdsafe(outer) == (pytest.approx(1.5, abs=1e-12), 0)
    assert inner_roots and set(inner_roots) == {0.25}


def test_threads_find_their_own_callables():
    results = {}
    def run(target):
        def f(fa, d0, x):
            time.sleep(0.001)  # lets the other thread run its own call meanwhile
            return x - target
        results[target] = m.bdsafe(f, 0.0, 2.0, [0.0], 1e-12, 100, 0)
    threads = [threading.Thread(target=run, args=(t,)) for t in (0.3, 0.7, 1.1)]
    for t in threads:
        t.start()
    for t in threads:
        t.join()
    assert {k: round(v[0], 9) for k, v in results.items()} == {0.3: 0.3, 0.7: 0.7, 1.1: 1.1}


def test_writes_into_args_reach_the_library_and_a_kept_array_stays_valid():
    kept = []
    def f(fa, d0, x, args, nfun):
        kept.append(args)
        args[1] += 1.0  # the caller's array is the library's storage here
        return x - 2.0
    args = np.array([4.0, 5.0])
    m.bdsafe(f, 0.0, 2.0, args, 1e-12, 100, 0)
    assert args.tolist() == [4.0, 7.0]
    assert [a.tolist() for a in kept] == [[4.0, 6.0], [4.0, 7.0]]
    kept[0][:] = -1.0  # writing a kept array no longer reaches anything of the library
    assert args.tolist() == [4.0, 7.0]


def test_a_read_only_array_is_copied_for_a_routine_that_hands_it_to_a_callable():
    args = np.array([4.0, 5.0])
    args.flags.writeable = False
    def f(fa, d0, x, a, nfun):
        a[0] = 0.0
        return x - 1.0
    assert m.bdsafe(f, 0.0, 2.0, args, 1e-12, 100, 0) == (1.0, 0)
    assert args.tolist() == [4.0, 5.0]


def test_deep_recursion_raises_instead_of_overflowing_the_stack():
    def f(fa, d0, x, args, nfun):
        return m.bdsafe(f, 0.0, 2.0, args, 1e-12, 100, 0)[0] - 1.0
    with pytest.raises(RecursionError):
        bdsafe(f)
