"""Quick-check drivers of the cubic Hermite package in both precisions, run in child processes:
every driver passes at every print level, and what it writes is what its formats give: the lines
are built here from the quoted formats, with the numbers that depend on rounding matched by
their field width only."""
import re

import numpy as np
import pytest

from pchip_lib import DOUBLE, PRECISIONS, SINGLE, run_lib

DRIVERS = {DOUBLE: ["dpchq1_", "dpchq2_", "dpchq3_", "dpchq4_", "dpchq5_"],
           SINGLE: ["pchqk1_", "pchqk2_", "pchqk3_", "pchqk4_", "pchqk5_"]}
EPS = {DOUBLE: 2.0**-52, SINGLE: 2.0**-23}


def run(drivers, kprint, repeat=1):
    """Output of the drivers called one after another at kprint, each followed by a line
    "IPASS <name> <ipass>"."""
    r_ = run_lib(f"""
        for name in {drivers!r} * {repeat}:
            ipass = C.c_int32(-1)
            getattr(lib, name)(i(6), i({kprint}), C.byref(ipass))
            print("IPASS", name, ipass.value, flush=True)
    """)
    assert r_.returncode == 0, r_.stdout[-2000:] + r_.stderr
    return r_.stdout


class Num(str):
    """A number field of width w whose digits depend on rounding."""

    def __new__(cls, w):
        return super().__new__(cls, rf"[-+ .0-9DE]{{{w}}}")


def match(expected, output):
    """Whether output is the expected list of lines; a line is a list of literal pieces and
    Num fields."""
    pattern = "".join("".join(p if isinstance(p, Num) else re.escape(p) for p in line) + "\n"
                      for line in expected)
    m = re.fullmatch(pattern, output)
    if not m:  # show the first line that differs
        lines = output.splitlines()
        for k, line in enumerate(expected):
            got = lines[k] if k < len(lines) else "<missing>"
            one = "".join(p if isinstance(p, Num) else re.escape(p) for p in line)
            assert re.fullmatch(one, got), f"line {k + 1}: expected {''.join(line)!r}, got {got!r}"
        assert len(lines) == len(expected)
    return True


def e(v, w, d, dt):
    """1P Ew.d (Dw.d in double): one digit before the point."""
    return f"{v:.{d}E}".replace("E", "D" if dt is DOUBLE else "E").rjust(w)


def names(dt):
    """Names in the printed texts of precision dt."""
    if dt is DOUBLE:
        return dict(pkg="DPCHIP", test="DPCHIP", q="DPCHQ", pch=" DPCH", chk="DEVCHK", pck="DEVPCK",
                    erk="DEVERK", fdv="DCHFDV", fev="DCHFEV", pfd="DPCHFD", pfe="DPCHFE",
                    pf="DPCHF")
    return dict(pkg=" PCHIP", test="PCHIP", q="PCHQK", pch="  PCH", chk="EVCHCK", pck="EVPCCK",
                erk="EVERCK", fdv="CHFDV", fev="CHFEV", pfd="PCHFD", pfe="PCHFE", pf="PCHF")


def results(dt, k):
    """The heading "(//10X,'DPCHQk RESULTS'/10X,'--------------')"."""
    return [[""], [""], [f"          {names(dt)['q']}{k} RESULTS"], ["          --------------"]]


def closing(dt, group):
    return [[""], [f" ------------ {names(dt)['pkg']} PASSED  ALL {group} TESTS ------------"]]


def ipass(name):
    return [[f"IPASS {name} 1"]]


# ---------------------------------------------------------------- all drivers, all levels

@pytest.mark.parametrize("kprint", [0, 1])
def test_every_driver_passes_silently_at_low_print_levels(kprint):
    drivers = DRIVERS[DOUBLE] + DRIVERS[SINGLE]
    assert run(drivers, kprint) == "".join(f"IPASS {n} 1\n" for n in drivers) + "returned -99\n"


def evaluation_level_2(dt):
    n = names(dt)
    lines = [["1"], [f" ------------ {n['pkg']} QUICK CHECK OUTPUT ------------"], [""],
             ["                    ( KPRINT = 2 )"],
             [""], [""], [f"          {n['chk']} RESULTS"], ["          --------------"]]
    for x1, x2 in ((-1.5, 2.5), (2e-10, 3e-10), (1.0, 1e8)):
        lines += [[""], ["          INTERVAL = (", e(float(dt(x1)), 12, 5, dt), ",",
                         e(float(dt(x2)), 12, 5, dt), " ):"],
                  [""], [f" {n['fdv']} RESULTS OK."], [""], [f" {n['fev']} AGREES WITH {n['fdv']}."]]
    lines += [[""], [""], [f"          {n['pck']} RESULTS"], ["          --------------"],
              [""], [f" {n['pfd']} AND {n['pfe']} OK ON J-LINES."],
              [""], [f" {n['pfd']} AND {n['pfe']} OK ON I-LINES."],
              [""], [""], [f"          {n['erk']} RESULTS"], ["          --------------"],
              [""], [" ALL ERROR RETURNS OK."]]
    return lines + closing(dt, "EVALUATION")


@pytest.mark.parametrize("dt", PRECISIONS)
def test_headings_verdicts_and_pass_lines_at_print_level_2(dt):
    n = names(dt)
    q1, q2, q3, q4, q5 = DRIVERS[dt]
    expected = evaluation_level_2(dt) + ipass(q1)
    expected += results(dt, 2) + [
        [""], ["  MAXIMUM RELATIVE ERROR IS:", Num(15), ",   TOLERANCE:", e(100 * EPS[dt], 15, 5, dt)]]
    expected += closing(dt, "INTEGRATION") + ipass(q2)
    expected += results(dt, 3)
    for test in ("IM", "IC", "IC", "SP"):
        expected += [[""], [f"       ALL{n['pch']}{test} RESULTS OK."]]
    expected += closing(dt, "INTERPOLATION") + ipass(q3)
    expected += results(dt, 4) + closing(dt, "MONOTONICITY") + ipass(q4)
    expected += results(dt, 5) + closing(dt, "CONVERSION") + ipass(q5) + [["returned -99"]]
    assert match(expected, run(DRIVERS[dt], 2))


# ---------------------------------------------------------------- details at level 3

def title(text):
    """A format "('1'//10X,'<text>')"."""
    return [["1"], [""], ["          " + text]]


@pytest.mark.parametrize("dt", PRECISIONS)
def test_integration_details(dt):
    x = np.array([-4, -2, -0.9, 0, 0.9, 2, 4], dt)
    f, d = (x - 2) * (3 * x * x), (x + 2 * (x - 2)) * 3 * x
    pairs = [(-3, 3, 0), (3, -3, 0), (-0.5, 1, 0), (-0.5, 2, 0), (-0.5, 5, 2), (-4, -0.5, 0),
             (-4, 4, 0), (3, 5, 2), (-5, -3, 1), (-5, 5, 3), (-6, -5, 3), (6, 5, 3),
             (-1.5, -0.5, 0), (-1.5, -1, 0), (-3, -2.5, 0), (3, 3.5, 0), (0.5, 0.5, 0)]
    expected = title(f"TEST {names(dt)['test']} INTEGRATORS") + results(dt, 2)
    expected += [[""], [""], ["     DATA:"], [""], ["           X         F         D"]]
    expected += [[f"     {a:10.3f}{b:10.3f}{c:10.3f}"] for a, b, c in zip(x, f, d)]
    expected += [[""], [""], ["     TEST RESULTS:"], [""],
                 ["    A     B    ERR     TRUE" + " " * 16 + "CALC" + " " * 15 + "ERROR"]]
    for a, b, code in pairs:
        exact = b**3 * (0.75 * b - 2) - a**3 * (0.75 * a - 2)
        # in single precision the calculated value shows its rounding in the digits written
        calc = e(exact, 20, 10, dt) if dt is DOUBLE else Num(20)
        expected += [[f"{a:6.1f}{b:6.1f}{code:5d}", e(exact, 20, 10, dt), calc, Num(15)]]
    expected += [[""], ["  MAXIMUM RELATIVE ERROR IS:", Num(15), ",   TOLERANCE:",
                        e(100 * EPS[dt], 15, 5, dt)]]
    expected += closing(dt, "INTEGRATION") + ipass(DRIVERS[dt][1]) + [["returned -99"]]
    assert match(expected, run(DRIVERS[dt][1:2], 3))


@pytest.mark.parametrize("dt", PRECISIONS)
def test_interpolation_details(dt):
    n = names(dt)
    x = np.array([-2.2, -1.2, -1.0, -0.5, -0.01, 0.5, 1.0, 2.0, 2.2], dt)
    f = np.exp(-x.astype(float) ** 2).astype(dt)
    dm = np.array([0, 0.380027352, 0.717253009, 0.582014161, 0, -0.568208031, -0.513501618,
                   -0.0777910977, -0.00245611117], dt)
    ds = np.array([-0.0516830792, 0.571455855, 0.740530225, 0.763864934, 0.0192614386,
                   -0.76532438, -0.728209035, -0.0798445427, -0.0285983446], dt)
    dc = {4: dt(0.0176950158), 5: dt(-0.569579814)}
    expected = title(f"TEST {n['test']} INTERPOLATORS") + results(dt, 3)
    expected += [[""], [""], ["     DATA:"],
                 [" " * 39 + "---------- EXPECTED D-VALUES ----------"],
                 [" " * 12 + "X" + " " * 9 + "F" + " " * 18 + "DM" + " " * 13 + "DC" + " " * 13 + "DS"]]
    for k in range(9):
        middle = e(dc[k], 15, 5, dt) if k in dc else " " * 15
        expected += [[f"     {x[k]:10.2f}", e(f[k], 15, 5, dt), "    ", e(dm[k], 15, 5, dt), middle,
                      e(ds[k], 15, 5, dt)]]
    for test, code in (("IM", 1), ("IC", 0), ("IC", 0), ("SP", 0)):
        expected += [[""], [f"     {n['pch'].strip()}{test} TEST:"], [f"               EXPECT  IERR ={code:5d}"],
                     ["     OK."], [""], ["         I       X         D             ERR"]]
        expected += [[f"     {k + 1:5d}{x[k]:10.2f}", Num(15), Num(15), "    OK  "] for k in range(9)]
        expected += [[""], [f"       ALL{n['pch']}{test} RESULTS OK."]]
    expected += closing(dt, "INTERPOLATION") + ipass(DRIVERS[dt][2]) + [["returned -99"]]
    assert match(expected, run(DRIVERS[dt][2:3], 3))


def monotonicity_details(dt):
    n = names(dt)
    f = [1, 2, 3, 2, 3, 4, 3, 4, 5, 4, 5, 6, 5, 6, 7, 6]
    d = [2 if k in (2, 5, 8, 11, 14) else 0 for k in range(1, 17)]
    fb, db = [0, 2, 3, 5, 3, 2, 0], [1, 3, 3, 0, -3, -3, -1]
    tables = {1: [1, 1, -1, 1, 1, -1, 1, 1, -1, 1, 1, -1, 1, 1, -1, 2],
              2: [1, 2, 2, 1, 2, 2, 1, 2], 3: [1, 1, 1, 1, 1, 1], "b": [1, 3, 1, -1, -3, -1, 2]}
    lines = title(f"TEST {n['test']} MONOTONICITY CHECKER") + results(dt, 4)
    lines += [[""], [""], ["     DATA:"], [""], ["         I    X     F     D     FB    DB"]]
    for k in range(16):
        values = [k + 1, f[k], d[k]] + ([fb[k], db[k]] if k < 7 else [])
        lines += [[f"     {k + 1:5d}" + "".join(f"{v:6.1f}" for v in values)]]
    for sign in (1, -1):
        for incfd in (1, 2, 3):
            codes = "".join(f"{c if c == 2 else sign * c:3d}" for c in tables[incfd])
            lines += [[""], [f"    INCFD ={incfd:2d}:  IERR =  0"], [f"               ISMON ={codes}"]]
        codes = "".join(f"{c if c == 2 else sign * c:3d}" for c in tables["b"])
        lines += [[""], ["     Bug test:  IERR =  0"], [f"               ISMON ={codes}"]]
        if sign == 1:
            lines += [[""], ["    Changing sign of data....."]]
    return lines + closing(dt, "MONOTONICITY") + ipass(DRIVERS[dt][3])


@pytest.mark.parametrize("dt", PRECISIONS)
def test_monotonicity_details_and_the_same_on_a_second_call(dt):
    assert match(monotonicity_details(dt) * 2 + [["returned -99"]], run(DRIVERS[dt][3:4], 3, 2))


@pytest.mark.parametrize("dt", PRECISIONS)
def test_conversion_details(dt):
    x = np.array([-2.2, -1.2, -1.0, -0.5, -0.01, 0.5, 1.0, 2.0, 2.2], dt)
    f = [0.0079, 0.2369, 0.3679, 0.7788, 0.9999, 0.7788, 0.3679, 0.1083, 0.0079]
    d = [0, 0.38, 0.7173, 0.582, 0.0177, -0.5696, -0.5135, -0.0778, -0.0025]
    ends = {2: (x[0] - (x[8] - x[7]), x[8] + (x[1] - x[0])),
            1: (x[0] - (x[1] - x[0]), x[8] + (x[8] - x[7])), 0: (x[0], x[8]), -1: (x[0], x[8])}
    expected = title("TEST PCH TO B-SPLINE CONVERTER") + results(dt, 5)
    expected += [[""], ["    (Results should be the same for all KNOTYP values.)"]]
    for knotyp in (2, 1, 0, -1):
        first, last = ends[knotyp]
        expected += [[""], [f"    KNOTYP ={knotyp:2d}:  NKNOTS = 22,  NDIM = 18,  K = 4,  IERR =  0"],
                     [""], [" " * 15 + "X" + " " * 9 + "KNOTS" + " " * 10 + "F" + " " * 7 + "FERR"
                            + " " * 8 + "D" + " " * 7 + "DERR"],
                     [" " * 18 + f"{first:8.2f}{first:8.2f}"]]
        expected += [[" " * 10 + f"{v:8.2f}" * 3 + f"{fv:10.4f}", Num(10), f"{dv:10.4f}", Num(10)]
                     for v, fv, dv in zip(x, f, d)]
        expected += [[" " * 18 + f"{last:8.2f}{last:8.2f}"],
                     [""], ["     Maximum relative errors:"],
                     [" " * 15 + "F-error =", Num(13), "     D-error =", Num(13)],
                     ["     Both should be less than  TOL =", e(100 * EPS[dt], 13, 5, dt)]]
    expected += closing(dt, "CONVERSION") + ipass(DRIVERS[dt][4]) + [["returned -99"]]
    assert match(expected, run(DRIVERS[dt][4:5], 3))


def report(routine, message, number):
    """An error report under the control flag 1."""
    return [[f" ***MESSAGE FROM ROUTINE {routine} IN LIBRARY SLATEC."],
            [" ***POTENTIALLY RECOVERABLE ERROR, PROG CONTINUES, TRACEBACK REQUESTED"],
            [f" *  {message}"], [f" *  ERROR NUMBER = {number}"], [" *   "],
            [" ***END OF MESSAGE"], [" "]]


def error_returns(dt):
    n = names(dt)
    cases = [(n["fev"], "NUMBER OF EVALUATION POINTS LESS THAN ONE", -1),
             (n["fev"], "INTERVAL ENDPOINTS EQUAL", -2),
             (n["fdv"], "NUMBER OF EVALUATION POINTS LESS THAN ONE", -1),
             (n["fdv"], "INTERVAL ENDPOINTS EQUAL", -2)]
    for routine in (n["pfe"], n["pfd"]):
        cases += [(routine, "NUMBER OF DATA POINTS LESS THAN TWO", -1),
                  (routine, "X-ARRAY NOT STRICTLY INCREASING", -3),
                  (routine, "NUMBER OF EVALUATION POINTS LESS THAN ONE", -4)]
    lines = title("TEST ERROR RETURNS") + [[""], [""], [f"          {n['erk']} RESULTS"],
                                           ["          --------------"]]
    for routine, message, number in cases:
        lines += [[""], [f" THIS CALL SHOULD RETURN IERR ={number:3d}"]]
        lines += report(routine, message, number) + [["     OK."]]
    lines += [["0          ERROR MESSAGE SUMMARY"],
              [" LIBRARY    SUBROUTINE MESSAGE START             NERR     LEVEL     COUNT"]]
    lines += [[f" SLATEC     {r:8s}   {m[:20]:20s}{k:10d}{1:10d}{1:10d}"] for r, m, k in cases]
    return lines + [[" "], [""], [" ALL ERROR RETURNS OK."]]


def cubic(v, dt):
    v = float(dt(v))
    return float(dt(v * (v + 1) * (v - 2))), float(dt(3 * v * v - 2 * v - 2))


def evaluation_details(dt, kprint):
    n = names(dt)
    lines = [["1"], [f" ------------ {n['pkg']} QUICK CHECK OUTPUT ------------"], [""],
             [f"                    ( KPRINT ={kprint:2d} )"],
             [""], [""], [f"          {n['chk']} RESULTS"], ["          --------------"]]
    extremes = [Num(12), Num(12), "  ", Num(12), Num(12)]
    for k, (x1, x2) in enumerate(((-1.5, 2.5), (2e-10, 3e-10), (1.0, 1e8))):
        (f1, d1), (f2, d2) = cubic(x1, dt), cubic(x2, dt)
        x1, x2 = float(dt(x1)), float(dt(x2))
        if k == 0:
            lines += [[""], [f"          {n['fdv']} ACCURACY TEST"]]
        lines += [[""], [""]]
        for name, a, b in (("X", x1, x2), ("F", f1, f2), ("D", d1, d2)):
            lines += [[f"          {name}1 =", e(a, 18, 10, dt), f"     {name}2 =", e(b, 18, 10, dt)]]
        lines += [[""], ["          INTERVAL = (", e(x1, 12, 5, dt), ",", e(x2, 12, 5, dt), " ):"],
                  [""], [" ERRORS AT ENDPOINTS:" + " " * 40 + "(NEXT =  0  0)"], [""],
                  ["    F1:", Num(13), "    F2:", Num(13), "    D1:", Num(13), "    D2:", Num(13)],
                  ["       ", Num(13), "       ", Num(13), "       ", Num(13), "       ", Num(13)],
                  [""], [" ERRORS AT   990 INTERIOR POINTS + 10 OUTSIDE:" + " " * 15 + "(NEXT =  4  6)"],
                  [""], [" " * 30 + "FUNCTION" + " " * 17 + "DERIVATIVE"],
                  [" " * 15 + ("           ABS         REL" * 2)],
                  [""], ["     MINIMUM ERROR:  "] + extremes, ["     LOCATED AT X =  "] + extremes,
                  [""], ["     MAXIMUM ERROR:  "] + extremes, ["     LOCATED AT X =  "] + extremes,
                  [""], [f" {n['fdv']} RESULTS OK."], [""], [f" {n['fev']} AGREES WITH {n['fdv']}."]]
    lines += title(f"TEST {n['pfe']} AND {n['pfd']}")
    lines += [[""], [""], [f"          {n['pck']} RESULTS"], ["          --------------"]]
    x = [0.25, 0.5, 0.75, 1.0]
    y = [0.5 * j - 1.25 for j in range(1, 7)]
    shift = 19 if dt is DOUBLE else 17
    for line, coord, across, inc, count, var, points in (
            ("J", "Y", y, 1, 13, "X", [k / 50 for k in range(51)]),
            ("I", "X", x, 10, 20, "Y", [4 * k / 50 - 2 for k in range(51)])):
        for l, c in enumerate(across, 1):
            lines += [[""], [""], [f"                    {n['pfd']} INCREMENT TEST -- INCFD = {inc:2d}"],
                      [f"               ON {line}-LINE{l:3d},  {coord} ={c:8.4f}  --  IERR ={count:3d}"]]
            if kprint >= 4:
                lines += [[""], [f"   {var}E          F        FE         DIFF             D        DE"
                                 "         DIFF"]]
                lines += [[f"{p:7.2f}  ", Num(10), Num(10), Num(15), "  ", Num(10), Num(10), Num(15)]
                          for p in points]
            lines += [[""], [" " * shift + "  MAXIMUM ERROR IN FUNCTION =", Num(13), " (AT", Num(6), "),"],
                      [" " * (shift + 14) + "IN DERIVATIVE =", Num(13), " (AT", Num(6), ")."],
                      [f"  MAXIMUM DIFFERENCE BETWEEN {n['pfe']} AND {n['pfd']} =",
                       e(0.0, 13, 5, dt), f" (AT{points[0]:6.2f})."]]
        lines += [[""], [f" {n['pfd']} AND {n['pfe']} OK ON {line}-LINES."]]
    return lines + error_returns(dt) + closing(dt, "EVALUATION") + ipass(DRIVERS[dt][0])


@pytest.mark.parametrize("dt", PRECISIONS)
@pytest.mark.parametrize("kprint", [3, 4])
def test_evaluation_details(kprint, dt):
    expected = evaluation_details(dt, kprint) + [["returned -99"]]
    assert match(expected, run(DRIVERS[dt][:1], kprint))
