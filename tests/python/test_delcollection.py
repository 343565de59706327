"""Delamination criteria of _vorlen.delcollection against hand values: strengths reached alone,
the sign rule (tensile strength only for a stress above 0) and Puck's mode B on the interface."""
import math

import pytest

import _vorlen
from conftest import errstat, errtext

dl = _vorlen.delcollection

CALL_FORMS = [
    ("dellee", "rdel = dellee(s33,s12,s13,xt33,xc33,ilss)"),
    ("delochoaengblom", "rdel = delochoaengblom(s33,s13,s23,xt33,xc33,ilss)"),
    ("delhashin", "rdel = delhashin(s33,s13,s23,xt22,xc22,ilss)"),
    ("delpuck", "rdel = delpuck(s33,s13,s23,xt22,xc22,ilss,[gp])"),
    ("delchoichang", "rdel = delchoichang(s22l,s13l,s23u,xt22l,xc22l,ilssl,ilssu,[da])"),
    ("delchai", "rdel = delchai(s22l,s13l,s23u,xt22l,xc22l,x23u,ilssl,df1,df2,df3)"),
]


@pytest.mark.parametrize("name,form", CALL_FORMS)
def test_call_form(name, form):
    assert getattr(dl, name).__doc__.splitlines()[0] == form


XT, XC, ILSS = 50.0, 200.0, 80.0
RA = XC / (2 * 1.15)  # Puck's transverse fracture resistance with p23c = 0.15

CASES = [
    # Lee: max of the shear ratio and the signed normal ratio
    ("dellee", (0.0, 0.0, ILSS, XT, XC, ILSS), 1.0),
    ("dellee", (0.0, 48.0, 64.0, XT, XC, ILSS), 1.0),
    ("dellee", (-100.0, 0.0, 0.0, XT, XC, ILSS), 0.0),  # shear 0 beats -0.5
    ("dellee", (-100.0, 0.0, 8.0, XT, XC, ILSS), 0.1),
    ("dellee", (25.0, 8.0, 0.0, XT, XC, ILSS), 0.5),
    ("delochoaengblom", (XT, 0.0, 0.0, XT, XC, ILSS), 1.0),
    ("delochoaengblom", (0.0, 0.0, 0.0, XT, 0.0, ILSS), math.nan),  # s33 = 0 takes xc33
    ("delochoaengblom", (-100.0, 48.0, 0.0, XT, XC, ILSS), math.sqrt(0.25 + 0.36)),
    ("delochoaengblom", (0.0, 48.0, 64.0, XT, XC, ILSS), 1.0),
    ("delhashin", (-XC, 0.0, 0.0, XT, XC, ILSS), 1.0),
    ("delhashin", (25.0, 40.0, -40.0, XT, XC, ILSS), math.sqrt(0.25 + 0.25 + 0.25)),
    # Puck: each strength alone reaches 1
    ("delpuck", (XT, 0.0, 0.0, XT, XC, ILSS), 1.0),
    ("delpuck", (0.0, ILSS, 0.0, XT, XC, ILSS), 1.0),
    ("delpuck", (0.0, 0.0, -RA, XT, XC, ILSS), 1.0),
    # Puck's mode B with s13 alone: (sqrt(t^2 + (p s)^2) + p s)/R, p = p12c = 0.2
    ("delpuck", (-60.0, 30.0, 0.0, XT, XC, ILSS),
     (math.sqrt(30.0**2 + (0.2 * 60)**2) - 0.2 * 60) / ILSS),
    # mode A with s13 alone: p12t = 0.3
    ("delpuck", (20.0, 30.0, 0.0, XT, XC, ILSS),
     0.3 * 20 / ILSS + math.sqrt(((1 / XT - 0.3 / ILSS) * 20)**2 + (30 / ILSS)**2)),
    # s23 alone in compression: p23c = 0.15 with RA
    ("delpuck", (-60.0, 0.0, 30.0, XT, XC, ILSS),
     (math.sqrt(30.0**2 + (0.15 * 60)**2) - 0.15 * 60) / RA),
    ("delchoichang", (XT, 0.0, 0.0, XT, XC, ILSS, 60.0), math.sqrt(1.8)),
    ("delchoichang", (0.0, 40.0, 30.0, XT, XC, ILSS, 60.0, 1.0), math.sqrt(0.25 + 0.25)),
    ("delchoichang", (-100.0, 0.0, 0.0, XT, XC, ILSS, 60.0, 4.0), 1.0),
    ("delchai", (XT, 0.0, 0.0, XT, XC, 60.0, ILSS, 1.0, 1.0, 1.0), 1.0),
    ("delchai", (-100.0, 40.0, 30.0, XT, XC, 60.0, ILSS, 2.0, 1.0, 0.5),
     math.sqrt(2 * 0.25 + 0.25 + 1.875 * 0.5 * 0.25)),
    ("delchai", (0.0, 0.0, 0.0, XT, XC, 60.0, ILSS, 1.0, 1.0, 1.0), 0.0),
    ("delchai", (30.0, 0.0, 0.0, XT, XC, 60.0, ILSS, -1.0, 1.0, 1.0), 0.0),  # c < 0
]


@pytest.mark.parametrize("name,args,expected", CASES)
def test_delamination_criteria(name, args, expected):
    got = getattr(dl, name)(*args)
    if math.isnan(expected):
        assert math.isnan(got)
    else:
        assert got == pytest.approx(expected, rel=1e-14, abs=1e-15)


def test_puck_inclination_parameters():
    """gp(1), gp(3) weight s13 and s23 in tension, gp(2), gp(4) in compression; gp(4) sets RA."""
    gp = [0.35, 0.25, 0.2, 0.3]
    ra = XC / (2 * 1.3)
    t13, t23, s = 30.0, 20.0, -50.0
    m = t13**2 + t23**2
    pc = (0.3 * t23**2 / ra + 0.25 * t13**2 / ILSS) / m
    expected = math.sqrt((t23 / ra)**2 + (t13 / ILSS)**2 + (pc * s)**2) + pc * s
    assert dl.delpuck(s, t13, t23, XT, XC, ILSS, gp) == pytest.approx(expected, rel=1e-14)
    pt = (0.2 * t23**2 / ra + 0.35 * t13**2 / ILSS) / m
    expected = pt * 10 + math.sqrt(((1 / XT - pt) * 10)**2 + (t23 / ra)**2 + (t13 / ILSS)**2)
    assert dl.delpuck(10.0, t13, t23, XT, XC, ILSS, gp) == pytest.approx(expected, rel=1e-14)


@pytest.mark.parametrize("name,routine,args,kept", [
    # the sum of squares is not a number and fails its test c > 0
    ("delchai", "DelChai", (math.nan, 0.0, 0.0, XT, XC, 60.0, ILSS, 1.0, 1.0, 1.0), 0.0),
    ("delchai", "DelChai", (30.0, 0.0, 0.0, XT, XC, 60.0, ILSS, 1.0, math.nan, 1.0), 0.0),
    ("delchai", "DelChai", (-30.0, 0.0, 0.0, XT, math.nan, 60.0, ILSS, 1.0, 1.0, 1.0), 0.0),
    # the larger of the shear ratio 1 and a normal ratio that is not a number
    ("dellee", "DelLee", (math.nan, 48.0, 64.0, XT, XC, ILSS), 1.0),
    ("dellee", "DelLee", (-10.0, 48.0, 64.0, XT, math.nan, ILSS), 1.0),
])
def test_input_that_is_not_a_number_is_reported(clean_register, name, routine, args, kept):
    assert getattr(dl, name)(*args) == kept
    assert (errstat(), errtext()) == (-3, "Input not a finite number in " + routine)


def test_a_strength_of_the_other_sign_is_not_read():
    assert dl.dellee(-100.0, 0.0, 8.0, math.nan, XC, ILSS) == pytest.approx(0.1, rel=1e-14)
    assert dl.delchai(-100.0, 40.0, 30.0, math.nan, XC, 60.0, ILSS, 2.0, 1.0, 0.5) == (
        pytest.approx(math.sqrt(2 * 0.25 + 0.25 + 1.875 * 0.5 * 0.25), rel=1e-14))
    assert errstat() == 0
