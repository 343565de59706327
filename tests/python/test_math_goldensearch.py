"""Golden-section and sweep search of _vorlen.math in reverse communication.

Expected values are closed forms (the maximum of sin on [0, pi] is at pi/2, a parabola's vertex
is -b/2a) and the sample sequence the search is defined by (the golden bracket, the sweep by
repeated addition).
"""
import math

import numpy as np
import pytest

import _vorlen
from conftest import errstat

m = _vorlen.math
PHI = 1.618033988749895
PHI2 = 2.618033988749895
pytestmark = pytest.mark.usefixtures("clean_register")


CALL_FORMS = [
    ("inigoldensearch", "x,y,xmove,lplimits,incr,subcall,golden,finish = "
                        "inigoldensearch(xlow,xup,dx,gsflag,npoints)"),
    ("gssafe", "gssafe(xi,yi,dx,x,y,xmove,ymove,lplimits,xdir,increment,proc,isgolden,update,"
               "finish,defaultvalue,[npoints])"),
    ("getnextfromgoldensearch", "xnext,dx,x,xmove,ymove,xdir,increment = getnextfromgoldensearch("
                                "x,y,xmove,ymove,xdir,increment,[npoints,overwrite_x,"
                                "overwrite_xmove,overwrite_ymove])"),
    ("getmaximumfromgoldensearch", "xmax = getmaximumfromgoldensearch(y,xmove,ymove,defaultvalue,"
                                   "xdir,increment,[npoints])"),
]


@pytest.mark.parametrize("name,form", CALL_FORMS)
def test_call_form(name, form):
    assert getattr(m, name).__doc__.splitlines()[0] == form


class Search:
    """The caller's side: the search state in its own variables, the loop of GSSAFE calls."""

    def __init__(self, xlow, xup, dx, gsflag, npoints, default=-7.0):
        x, y, xmove, lplimits, incr, subcall, golden, finish = m.inigoldensearch(
            xlow, xup, dx, gsflag, npoints)
        self.dx, self.default = dx, default
        self.s = dict(xi=np.array(0.0), yi=np.array(0.0), x=x, y=y, xmove=xmove,
                      ymove=np.zeros(4), lplimits=lplimits, xdir=np.array(0, np.int32),
                      increment=np.array(incr, np.int32), proc=np.array(subcall, np.int32),
                      isgolden=np.array(golden, np.int8), update=np.array(0, np.int8),
                      finish=np.array(finish, np.int8))
        self.points = []

    def step(self):
        s = self.s
        m.gssafe(s["xi"], s["yi"], self.dx, s["x"], s["y"], s["xmove"], s["ymove"],
                 s["lplimits"], s["xdir"], s["increment"], s["proc"], s["isgolden"], s["update"],
                 s["finish"], self.default)

    def run(self, f, limit=100000):
        s = self.s
        while not s["finish"] and len(self.points) < limit:
            self.step()
            if s["update"]:
                self.points.append(float(s["xi"]))
                s["yi"][()] = f(float(s["xi"]))
        assert s["finish"]
        return float(s["xi"]), float(s["yi"])


# ---------------------------------------------------------------- start

def test_start_of_a_golden_search():
    x, y, xmove, lplimits, incr, subcall, golden, finish = m.inigoldensearch(1.0, 4.0, 0.01, 1, 6)
    x3 = 1.0 + 3.0 / PHI2
    np.testing.assert_array_equal(x, [1.0, 4.0, x3, x3 + 3.0 / PHI2 / PHI, 0, 0])
    np.testing.assert_array_equal(y, 0)
    np.testing.assert_array_equal(xmove, x[:4])
    np.testing.assert_array_equal(lplimits, [0.01, 3.0])
    assert (incr, subcall, golden, finish) == (0, 0, 1, 0)


def test_start_of_a_sweep():
    x, y, xmove, lplimits, incr, subcall, golden, finish = m.inigoldensearch(1.0, 4.0, 0.1, 0, 4)
    np.testing.assert_array_equal(np.r_[x, y, xmove], 0)
    np.testing.assert_array_equal(lplimits, [1.0, 4.0])
    assert (incr, subcall, golden, finish) == (0, 0, 0, 0)


@pytest.mark.parametrize("npoints", [3, 0])
def test_start_with_fewer_than_four_points_is_reported_and_finished(npoints):
    x, y, xmove, lplimits, incr, subcall, golden, finish = m.inigoldensearch(
        0.0, 3.0, 0.1, 1, npoints)
    assert errstat() == -3
    assert finish == 1
    assert len(x) == max(npoints, 0)
    np.testing.assert_array_equal(x, [0.0, 3.0, 3.0 / PHI2][:max(npoints, 0)])
    np.testing.assert_array_equal(xmove[:2], [0.0, 3.0])


# ---------------------------------------------------------------- golden mode

def test_golden_search_finds_the_maximum_of_sin_at_pi_half():
    search = Search(0.0, math.pi, 1e-5, 1, 200)
    xi, yi = search.run(math.sin)
    assert abs(xi - math.pi / 2) < 1e-5
    assert errstat() == 0


def test_golden_search_ends_on_the_vertex_with_the_last_sample_value():
    f = lambda x: -(x - 1.0) ** 2
    search = Search(0.0, 3.0, 0.01, 1, 200)
    xi, yi = search.run(f)
    s = search.s
    n = int(s["increment"])
    assert abs(xi - 1.0) < 0.01
    assert search.points[-1] == xi  # one more evaluation at the vertex
    assert len(search.points) == n + 1
    assert yi == s["y"][n - 1] == f(search.points[-2])
    # the bracket shrank by 1/phi per step below the target, not before
    assert s["lplimits"][1] < 0.01 <= s["lplimits"][1] * PHI * (1 + 1e-12)


def test_golden_search_stops_at_the_sample_limit_without_a_vertex():
    search = Search(0.0, 3.0, 1e-12, 1, 6)
    xi, yi = search.run(lambda x: -(x - 1.0) ** 2)
    s = search.s
    assert len(search.points) == 6 and int(s["increment"]) == 6
    assert (xi, yi) == (s["x"][5], s["y"][5])
    np.testing.assert_array_equal(search.points, s["x"])


def test_golden_search_with_a_target_wider_than_the_interval_takes_the_four_samples_first():
    # The vertex comes from sampled values only: the parabola through three of the four
    # starting samples of a parabola is the parabola itself.
    search = Search(0.0, 3.0, 10.0, 1, 200)
    xi, yi = search.run(lambda x: -(x - 1.2) ** 2, limit=10)
    x3 = 3.0 / PHI2
    np.testing.assert_allclose(search.points, [0.0, 3.0, x3, x3 + x3 / PHI, 1.2], rtol=1e-14)
    assert xi == pytest.approx(1.2, rel=1e-14)
    assert errstat() == 0


def test_equal_interior_values_keep_the_upper_part():
    x, y, xmove, _, _, _, _, _ = m.inigoldensearch(0.0, 3.0, 0.01, 1, 10)
    ymove, xdir, increment = np.zeros(4), 0, 0
    for k in range(4):
        xnext, _, x, xmove, ymove, xdir, increment = m.getnextfromgoldensearch(
            x, y, xmove, ymove, xdir, increment)
        assert xnext == x[k] and xdir == 0
        y[k] = [-9.0, -8.0, 5.0, 5.0][k]
    plow, pup, pleft, pright = xmove
    xnext, dx, x, xmove, ymove, xdir, increment = m.getnextfromgoldensearch(
        x, y, xmove, ymove, xdir, increment)
    assert (xdir, increment) == (1, 5)
    assert dx == pup - pleft
    np.testing.assert_array_equal(xmove, [pleft, pup, pright, pright + dx / PHI2 / PHI])
    np.testing.assert_array_equal(ymove, [5.0, -8.0, 5.0, 5.0])
    assert xnext == x[4] == xmove[3]


def test_a_lower_right_value_keeps_the_lower_part():
    x, y, xmove, _, _, _, _, _ = m.inigoldensearch(0.0, 3.0, 0.01, 1, 10)
    y[:4] = [-9.0, -8.0, 5.0, 4.0]
    xnext, dx, x, xmove2, ymove, xdir, increment = m.getnextfromgoldensearch(
        x, y, xmove, np.array([-9.0, -8.0, 5.0, 0.0]), 0, 4)
    plow, pup, pleft, pright = xmove
    assert (xdir, increment, dx) == (-1, 5, pright - plow)
    np.testing.assert_array_equal(xmove2, [plow, pright, plow + dx / PHI2, pleft])
    np.testing.assert_array_equal(ymove, [-9.0, 4.0, 5.0, 5.0])
    assert xnext == x[4] == xmove2[2]


@pytest.mark.parametrize("increment,npoints", [(6, 6), (7, 6), (-1, 6), (0, 3)])
def test_next_sample_beyond_the_arrays_is_reported(increment, npoints):
    x = np.arange(float(npoints))
    xnext, dx, x2, xmove, ymove, xdir, inc = m.getnextfromgoldensearch(
        x, np.zeros(npoints), np.ones(4), np.ones(4), 1, increment)
    assert errstat() == -3
    assert math.isnan(xnext)
    assert inc == increment
    np.testing.assert_array_equal(x2, x)
    np.testing.assert_array_equal(np.r_[xmove, ymove], 1.0)


# ---------------------------------------------------------------- vertex

def test_vertex_of_the_parabola_through_the_upper_points():
    f = lambda x: 2.0 - 3.0 * (x - 0.7) ** 2
    xmove = np.array([0.0, 2.0, 0.5, 1.0])
    ymove = f(xmove)
    y = np.zeros(5)
    y[4] = ymove[3]
    assert m.getmaximumfromgoldensearch(y, xmove, ymove, -1.0, 1, 5) == pytest.approx(0.7,
                                                                                      rel=1e-14)
    # the lower points when fright < fleft; the new left value comes from y(increment)
    ymove[2] = 9.0
    y[4] = f(0.5)
    assert m.getmaximumfromgoldensearch(y, xmove, ymove, -1.0, -1, 5) == pytest.approx(
        0.7, rel=1e-14)


@pytest.mark.parametrize("ymove", [[1.0, 5.0, 2.0, 3.0], [1.0, np.nan, 2.0, np.nan]])
def test_vertex_of_a_degenerate_parabola_is_the_default(ymove):
    # (1, 2), (2, 3), (4, 5) lie on a line: a = 0 exactly; a NaN difference takes no parabola
    xmove = np.array([0.0, 4.0, 1.0, 2.0])
    y = np.array([0.0, 0.0, 0.0, ymove[3]])
    assert m.getmaximumfromgoldensearch(y, xmove, np.array(ymove), -7.5, 0, 4) == -7.5
    assert errstat() == 0


@pytest.mark.parametrize("increment", [0, 7, -1])
def test_vertex_with_no_sample_to_take_is_reported(increment):
    xmax = m.getmaximumfromgoldensearch(np.ones(6), np.arange(4.0), np.ones(4), -7.5, 1,
                                        increment)
    assert (xmax, errstat()) == (-7.5, -3)


@pytest.mark.parametrize("xdir,increment", [(0, 0), (0, 2), (1, 3), (-1, 1)])
def test_vertex_of_the_bracket_as_given(xdir, increment):
    # Any increment whose sample exists: the bracket as the caller holds it, with y(increment)
    # at the interior point xdir names.
    f = lambda x: 2.0 - 3.0 * (x - 0.7) ** 2
    xmove = np.array([0.0, 2.0, 0.5, 1.0])
    ymove = f(xmove)
    slot = {1: 3, -1: 2}.get(xdir)
    y = np.zeros(6)
    if slot is not None:
        y[increment - 1], ymove[slot] = ymove[slot], -99.0
    xmax = m.getmaximumfromgoldensearch(y, xmove, ymove, -7.5, xdir, increment)
    assert (xmax, errstat()) == (pytest.approx(0.7, rel=1e-14), 0)


# ---------------------------------------------------------------- sweep

def test_sweep_of_sin_returns_the_sample_nearest_pi_half():
    search = Search(0.0, math.pi, 0.1, 0, 100)
    xi, yi = search.run(math.sin)
    expected = [0.0]
    while expected[-1] + 0.1 <= math.pi:
        expected.append(expected[-1] + 0.1)
    assert search.points == expected
    best = min(expected, key=lambda v: abs(v - math.pi / 2))
    assert (xi, yi) == (best, math.sin(best))


def test_sweep_keeps_the_earliest_of_equal_values():
    xi, yi = Search(0.0, 1.0, 0.25, 0, 4).run(lambda x: min(x, 0.5))
    assert (xi, yi) == (0.5, 0.5)


def test_sweep_of_a_negative_function_returns_zeros():
    assert Search(1.0, 2.0, 0.25, 0, 4).run(lambda x: -x) == (0.0, 0.0)


@pytest.mark.parametrize("xlow,xup,dx", [(0.0, 1.0, 0.0), (0.0, 1.0, -0.1), (0.0, 1.0, np.nan),
                                         (1e20, 2e20, 1.0), (0.0, np.nan, 0.1)])
def test_sweep_that_cannot_pass_xup_ends(xlow, xup, dx):
    search = Search(xlow, xup, dx, 0, 4)
    xi, yi = search.run(lambda x: 1.0, limit=10)
    assert search.points == [xlow]
    assert (xi, yi) == (xlow, 1.0)
    assert errstat() == (0 if dx == 0.1 else -3)


# ---------------------------------------------------------------- bad state

def test_gssafe_with_an_increment_beyond_npoints_is_reported():
    search = Search(0.0, 3.0, 0.01, 1, 5)
    search.s["increment"][()] = 6
    search.s["xi"][()], search.s["yi"][()] = 1.5, 2.5
    search.step()
    s = search.s
    assert (errstat(), int(s["finish"]), int(s["update"])) == (-3, 1, 0)
    assert (float(s["xi"]), float(s["yi"])) == (1.5, 2.5)


@pytest.mark.parametrize("golden,proc", [(1, 1), (0, 2)])
def test_gssafe_with_a_value_but_no_sample_is_reported(golden, proc):
    # proc 1 -> 2 stores a value for sample 0 (golden); proc 2 -> 3 (a sweep called again after
    # it finished) takes the value of sample 0
    search = Search(0.0, 3.0, 0.01, golden, 5)
    search.s["proc"][()] = proc
    search.step()
    assert (errstat(), int(search.s["finish"])) == (-3, 1)
    np.testing.assert_array_equal(search.s["y"], 0)


def test_gssafe_with_fewer_than_four_points_is_reported():
    search = Search(0.0, 3.0, 0.01, 0, 4)
    s = search.s
    m.gssafe(s["xi"], s["yi"], 0.1, s["x"][:3], s["y"][:3], s["xmove"], s["ymove"],
             s["lplimits"], s["xdir"], s["increment"], s["proc"], s["isgolden"], s["update"],
             s["finish"], -1.0)
    assert (errstat(), int(s["finish"])) == (-3, 1)


def test_gssafe_with_the_largest_phase_counter_finishes():
    search = Search(0.0, 3.0, 0.01, 1, 5)
    search.s["proc"][()] = 2**31 - 1
    search.s["increment"][()] = 2
    search.s["y"][1] = 4.5
    search.step()
    assert int(search.s["finish"]) == 1 and float(search.s["yi"]) == 4.5
