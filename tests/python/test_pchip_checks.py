"""Evaluation checkers and check utilities of the cubic Hermite package, called through the
exported symbols: the comparison lines, the test cubic against its closed form, the generator
against the congruence it implements, the checkers' verdicts, print levels and their use of the
error package (in child processes where process-wide state matters)."""
import ctypes as C
import re

import numpy as np
import pytest

from conftest import errstat, errtext
from pchip_lib import (DOUBLE, PRECISIONS, SUMMARY_HEAD, i, lib, pchfd, ptr, r, run_lib,
                       summary_line)


# the single members' names
SINGLE_NAMES = {"devchk_": "evchck_", "devpck_": "evpcck_", "deverk_": "everck_",
                "dfdtru_": "fdtrue_"}


def member(dname, dt):
    return getattr(lib, dname if dt is DOUBLE else SINGLE_NAMES[dname])


def comp(actual, expected, kprint, unit=6):
    return lib.comp_(i(actual), i(expected), i(unit), i(kprint))


@pytest.mark.parametrize("actual,expected,kprint,result,printed", [
    (3, 3, 2, 1, ""), (3, 3, 3, 1, "     OK.\n"), (-2, -1, 2, 0, ""),
    (-2, -1, 3, 0, "  COMPARE FAILED -- IERR =    -2\n"),
    (123456, 0, 4, 0, "  COMPARE FAILED -- IERR = *****\n")])
def test_comparison_of_error_codes(actual, expected, kprint, result, printed, capfd):
    assert comp(actual, expected, kprint) == result
    assert capfd.readouterr().out == printed


@pytest.mark.parametrize("dt", PRECISIONS)
@pytest.mark.parametrize("x", [-1, 0, 2, 0.3, -7.25, 1e3])
def test_cubic_and_its_derivative(x, dt):
    real = C.c_double if dt is DOUBLE else C.c_float
    f, d = real(), real()
    member("dfdtru_", dt)(r(x, dt), C.byref(f), C.byref(d))
    xx = float(dt(x))
    assert f.value == pytest.approx(xx * (xx + 1) * (xx - 2), rel=1e-7 if dt is not DOUBLE else 1e-15)
    assert d.value == pytest.approx(3 * xx**2 - 2 * xx - 2, rel=1e-7 if dt is not DOUBLE else 1e-15)
    if x in (-1, 0, 2):
        assert (f.value, d.value) == (0.0, {-1: 3.0, 0: -2.0, 2: 6.0}[x])


def lcg(x, steps):
    """x <- (3146757 x + 1731) mod 2^22, as fractions of 2^22."""
    out = []
    for _ in range(steps):
        x = (3146757 * x + 1731) % 4194304
        out.append(x / 4194304)
    return out


def test_generator_sequence_reseeding_and_reading():
    r_ = run_lib("""
        rand = lambda v: lib.pchip_rand_(f(v))
        print([rand(0) for _ in range(2000)])
        print(rand(0.5), rand(-1), rand(0), rand(-3.0))
        print(rand(7.25), rand(0))
        print(rand(0.99999994), rand(0))
        print(rand(float('inf')), rand(float('nan')), rand(0))
    """)
    lines = r_.stdout.splitlines()
    steps = eval(lines[0])
    assert steps[:2] == [1731 / 4194304, 2831506 / 4194304]
    assert steps == lcg(0, 2000)
    half = lcg(2097152, 1)[0]
    assert lines[1] == f"0.5 0.5 {half} {half}"
    assert lines[2] == f"0.25 {lcg(1048576, 1)[0]}"
    assert lines[3] == f"1.0 {1731 / 4194304}"  # 2^22 steps like 0
    # infinite and NaN arguments leave the state as it is
    after = lcg(1731, 1)[0]
    assert lines[4] == f"{1731 / 4194304} {1731 / 4194304} {after}"


def test_timestamp_line(capfd):
    lib.pchip_timestamp_()
    line = capfd.readouterr().out
    months = "January|February|March|April|May|June|July|August|September|October|November|December"
    assert re.fullmatch(rf"[ \d]\d ({months}) \d{{4}}  [ \d]\d:\d\d:\d\d\.\d\d\d (AM|PM|Noon)\n", line)


# ---------------------------------------------------------------- checkers

def accuracy(dt, kprint=0, npts=1000, unit=6):
    work = [np.zeros(max(npts, 1), dt) for _ in range(4)]
    fail = C.c_int32(-9)
    member("devchk_", dt)(i(unit), i(kprint), i(npts), *(ptr(w) for w in work), C.byref(fail))
    return fail.value, work


def grid(dt, kprint=0, unit=6):
    sizes = [10, 10, 100, 100, 100, 51, 51, 51, 51, 51]
    work = [np.zeros(s, dt) for s in sizes]
    fail = C.c_int32(-9)
    member("devpck_", dt)(i(unit), i(kprint), *(ptr(w) for w in work), C.byref(fail))
    return fail.value, work


def errors(dt, kprint=0, unit=6):
    fail = C.c_int32(-9)
    member("deverk_", dt)(i(unit), i(kprint), C.byref(fail))
    return fail.value


@pytest.mark.parametrize("dt", PRECISIONS)
def test_checkers_pass_silently_at_low_print_levels(dt, capfd):
    for kprint in (0, 1):
        fail, work = accuracy(dt, kprint)
        assert fail == 0
        # the points of the last interval [1, 1e8]: 4 left of it, 6 right, the rest inside
        xev = work[0].astype(float)
        assert np.all(xev[:4] < 1) and np.all(xev[-6:] > 1e8)
        assert np.all((xev[4:-6] >= 1) & (xev[4:-6] <= 1e8)) and np.all(np.diff(xev) > 0)
        fail, work = grid(dt, kprint)
        assert fail == 0
        # the table: x (1 + x^2) y^2 on the grid, stored with leading dimension 10
        x, y, f = work[0][:4], work[1][:6], work[2].reshape(10, 10, order="F")[:4, :6]
        np.testing.assert_allclose(f, np.outer(x * (1 + x * x), y * y), rtol=1e-6)
        assert errors(dt, kprint) == 0
    assert capfd.readouterr().out == ""


@pytest.mark.parametrize("dt", PRECISIONS)
def test_error_checker_restores_the_control_flag_and_keeps_the_messages(dt):
    routines = ["DCHFEV", "DCHFDV", "DPCHFE", "DPCHFD"]
    if dt is not DOUBLE:
        routines = [n[1:] for n in routines]
    r_ = run_lib(f"""
        lib.xsetf_(i(-1))
        fail = C.c_int32(-9)
        lib.{"deverk_" if dt is DOUBLE else "everck_"}(i(6), i(2), C.byref(fail))
        flag = C.c_int32()
        lib.xgetf_(C.byref(flag))
        print(fail.value, flag.value)
        lib.xerdmp_()
    """)
    assert r_.returncode == 0
    head = f"\n\n          {'DEVERK' if dt is DOUBLE else 'EVERCK'} RESULTS\n          --------------\n"
    # ten errors, none printed; the message table holds them until it is dumped
    messages = [(routines[0], "NUMBER OF EVALUATION POINTS LESS THAN ONE", -1),
                (routines[0], "INTERVAL ENDPOINTS EQUAL", -2),
                (routines[1], "NUMBER OF EVALUATION POINTS LESS THAN ONE", -1),
                (routines[1], "INTERVAL ENDPOINTS EQUAL", -2)]
    for routine in routines[2:]:
        messages += [(routine, "NUMBER OF DATA POINTS LESS THAN TWO", -1),
                     (routine, "X-ARRAY NOT STRICTLY INCREASING", -3),
                     (routine, "NUMBER OF EVALUATION POINTS LESS THAN ONE", -4)]
    assert r_.stdout == (head + "\n ALL ERROR RETURNS OK.\n0 -1\n" + SUMMARY_HEAD
                         + "".join(summary_line(*m) for m in messages) + " \nreturned -99\n")


def test_error_checker_at_level_3_prints_and_clears_the_messages():
    r_ = run_lib("""
        fail = C.c_int32(-9)
        lib.deverk_(i(6), i(3), C.byref(fail))
        print("after")
        lib.xerdmp_()
        print(fail.value)
    """)
    out = r_.stdout
    assert out.count(" ***POTENTIALLY RECOVERABLE ERROR, PROG CONTINUES, TRACEBACK REQUESTED") == 10
    assert out.count("     OK.\n") == 10
    assert out.count(SUMMARY_HEAD) == 1
    assert out.endswith(" \n\n ALL ERROR RETURNS OK.\nafter\n0\nreturned -99\n")


@pytest.mark.usefixtures("clean_register")
@pytest.mark.parametrize("dt", PRECISIONS)
@pytest.mark.parametrize("npts", [10, 0, -5])
def test_accuracy_checker_needs_more_than_ten_points(npts, dt, capfd):
    fail, _ = accuracy(dt, 3, npts)
    assert fail == 1
    assert errstat() == -3 and "fewer than 11 evaluation points" in errtext()
    assert capfd.readouterr().out == ""


@pytest.mark.parametrize("dt", PRECISIONS)
def test_checkers_on_a_unit_that_is_not_connected_write_nothing(dt, capfd):
    assert accuracy(dt, 4, unit=77)[0] == 0
    assert grid(dt, 4, unit=77)[0] == 0
    assert capfd.readouterr().out == ""


def p_e(v, w, dt):
    """1P,Dw.5 (Ew.5 in single precision)."""
    return f"{float(v):.5E}".replace("E", "D" if dt is DOUBLE else "E").rjust(w)


@pytest.mark.parametrize("dt", PRECISIONS)
def test_grid_checker_point_tables(dt, capfd):
    # The table of F(x, y) = x (1 + x^2) y^2 and the errors at the 51 points of every line,
    # formed here in the checker's order of operations (3 x^2 is 3 times the square), with
    # the evaluator's own values and derivatives.
    one, two, three = dt(1), dt(2), dt(3)
    x = np.array([0.25, 0.5, 0.75, 1.0], dt)
    y = np.array([0.5 * j - 1.25 for j in range(1, 7)], dt)
    xe = np.append(np.arange(50, dtype=dt) * (one / dt(50)), one).astype(dt)
    ye = np.append((dt(4) * xe[:50] - two).astype(dt), two).astype(dt)
    X, Y = np.meshgrid(x, y, indexing="ij")
    f = (one + X * X) * (Y * Y * X)
    fx = (one + three * (X * X)) * (Y * Y)
    fy = (one + X * X) * (two * X * Y)
    lines = [  # (abscissas, values, derivatives, points, exact value and derivative)
        (x, f[:, j], fx[:, j], xe, (one + xe * xe) * (y[j] * y[j] * xe),
         (one + three * (xe * xe)) * (y[j] * y[j])) for j in range(6)]
    lines += [(y, f[k], fy[k], ye, (one + x[k] * x[k]) * (ye * ye * x[k]),
               (one + x[k] * x[k]) * (two * x[k] * ye)) for k in range(4)]
    expected = []
    for absc, fl, dl, pts, ftrue, dtrue in lines:
        fe, de, _, _ = pchfd(absc, fl, dl, pts, dt)
        ferr, derr = fe - ftrue, de - dtrue
        expected += [f"{p:7.2f}  {a:10.5f}{b:10.5f}{p_e(c, 15, dt)}  {u:10.5f}{v:10.5f}"
                     f"{p_e(w, 15, dt)}" for p, a, b, c, u, v, w in
                     zip(pts, ftrue, fe, ferr, dtrue, de, derr)]
        kf, kd = np.argmax(np.abs(ferr)), np.argmax(np.abs(derr))
        shift = 19 if dt is DOUBLE else 17
        expected += [" " * shift + f"  MAXIMUM ERROR IN FUNCTION ={p_e(abs(ferr[kf]), 13, dt)} "
                     f"(AT{pts[kf]:6.2f}),",
                     " " * (shift + 14) + f"IN DERIVATIVE ={p_e(abs(derr[kd]), 13, dt)} "
                     f"(AT{pts[kd]:6.2f})."]
    fail, _ = grid(dt, 4)
    assert fail == 0
    out = capfd.readouterr().out.splitlines()
    printed = [line for line in out if re.match(r" *-?\d\.\d\d  ", line) or "MAXIMUM ERROR" in line
               or "IN DERIVATIVE" in line]
    assert printed == expected
