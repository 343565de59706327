"""The error package of the cubic Hermite routines and the machine constants, called through
their exported symbols: the printed reports word for word, the control flag paths in child
processes, the constants against numpy's limits of the IEEE types."""
import ctypes as C

import numpy as np
import pytest

from conftest import errstat, errtext
from pchip_lib import SUMMARY_HEAD, abort_report, i, lib, ptr, run_lib, summary_line


@pytest.mark.parametrize("nerr,level", [(0, 1), (100000000, 1), (-10000000, 0), (1, 3), (1, -2)])
def test_invalid_error_number_or_level(nerr, level):
    r = run_lib(f"lib.xermsg_(s('LIB'), s('SUB'), s('M'), i({nerr}), i({level}), n('LIB'), "
                f"n('SUB'), n('M'))")
    assert r.returncode == 1
    assert r.stdout == (" ***FATAL ERROR IN...\n *** XERMSG -- INVALID ERROR NUMBER OR LEVEL\n"
                        " *** JOB ABORT DUE TO FATAL ERROR.\n")


def test_informative_messages_return_and_are_recorded():
    r = run_lib("""
        for level in (0, 0, -1, -1):
            lib.xermsg_(s('SLATEC'), s('DPCHXX'), s('NOTE$$SECOND LINE'), i(7), i(level),
                        n('SLATEC'), n('DPCHXX'), n('NOTE$$SECOND LINE'))
        print(lib.j4save_(i(1), i(0), i(0)))
        lib.xersve_(s(' '), s(' '), s(' '), i(0), i(0), i(0), C.byref(ierr), z(1), z(1), z(1))
        lib.xersve_(s(' '), s(' '), s(' '), i(0), i(0), i(0), C.byref(ierr), z(1), z(1), z(1))
    """)
    assert r.returncode == 0
    report = (" ***MESSAGE FROM ROUTINE DPCHXX IN LIBRARY SLATEC.\n"
              " ***INFORMATIVE MESSAGE, PROG CONTINUES, TRACEBACK REQUESTED\n"
              " *  NOTE\n *  SECOND LINE\n *  ERROR NUMBER = 7\n *   \n ***END OF MESSAGE\n \n")
    assert r.stdout == (report * 3 + "7\n"
                        "0          ERROR MESSAGE SUMMARY\n"
                        " LIBRARY    SUBROUTINE MESSAGE START             NERR     LEVEL     COUNT\n"
                        " SLATEC     DPCHXX     NOTE$$SECOND LINE            7         0         2\n"
                        " SLATEC     DPCHXX     NOTE$$SECOND LINE            7        -1         2\n"
                        " \nreturned 0\n")


def test_message_record_counts_what_it_cannot_hold():
    r = run_lib("""
        for k in range(12):
            m = 'MESSAGE %d' % (k % 11)
            lib.xersve_(s('LIB'), s('ROUTINENAMELONG'), s(m), i(1), i(-(k % 11)), i(1),
                        C.byref(ierr), z(3), z(15), n(m))
            print(ierr.value, end=' ')
        print()
        lib.xersve_(s(' '), s(' '), s(' '), i(-1), i(0), i(0), C.byref(ierr), z(1), z(1), z(1))
    """)
    lines = r.stdout.splitlines()
    assert lines[0] == "1 1 1 1 1 1 1 1 1 1 0 2 "
    assert lines[3] == " LIB        ROUTINEN   MESSAGE 0                    0         1         2"
    assert len(lines) == 1 + 2 + 10 + 2 + 1
    assert lines[-3] == "0OTHER ERRORS NOT INDIVIDUALLY TABULATED =          1"


def test_printer_breaks_long_lines_at_blanks():
    text = "WORD " * 30 + "$$" + "X" * 40
    r = run_lib(f"lib.xerprn_(s(' *  '), i(-1), s({text!r}), i(20), z(4), n({text!r}))\n"
                "lib.xerprn_(s('PREFIX-LONGER-THAN-SIXTEEN'), i(3), s('   '), i(12), z(26), "
                "z(3))")
    lines = r.stdout.splitlines()
    assert lines[:7] == [" *  WORD WORD WORD WORD"] * 7  # at most 20 characters, cut at a blank
    assert lines[7:10] == [" *  WORD WORD ", " *  " + "X" * 20, " *  " + "X" * 20]
    assert lines[10] == "PRE "


def test_parameter_store_and_machine_constants():
    j4 = lib.j4save_
    assert [j4(i(k), i(0), i(0)) for k in range(2, 10)] == [2, 0, 10, 1, 0, 0, 0, 0]
    units, count = np.full(5, -1, np.int32), C.c_int32()
    lib.xgetua_(ptr(units), C.byref(count))
    assert count.value == 1 and units[0] == 0
    consts = [lib.i1mach_(i(k)) for k in range(1, 17)]
    assert consts == [5, 6, 7, 6, 32, 4, 2, 31, 2147483647, 2, 24, -125, 128, 53, -1021, 1024]


def test_parameter_index_outside_the_store_is_reported(clean_register):
    assert lib.j4save_(i(10), i(5), i(1)) == 0
    assert lib.j4save_(i(0), i(5), i(0)) == 0
    assert (errstat(), errtext()) == (-3, "Parameter index outside 1..9 in j4save")


@pytest.mark.parametrize("routine,last,index", [("I1MACH", 16, 0), ("I1MACH", 17, 17),
                                                ("R1MACH", 5, 0), ("R1MACH", 5, 6),
                                                ("D1MACH", 5, 0), ("D1MACH", 5, -2147483648)])
def test_machine_constant_index_out_of_bounds_ends_with_status_1(routine, last, index):
    r = run_lib(f"lib.{routine.lower()}_(i({index}))")
    assert r.returncode == 1
    last = 16 if routine == "I1MACH" else last
    assert r.stdout == (f" \n{routine} - Fatal error!\n  The input argument I is out of bounds.\n"
                        f"  Legal values satisfy 1 <= I <= {last}.\n  I = {index:12d}\n")


def test_single_precision_constants_are_the_ieee_limits():
    fi = np.finfo(np.float32)
    got = np.array([lib.r1mach_(i(k)) for k in range(1, 6)], np.float32)
    expected = np.array([fi.tiny, fi.max, fi.eps / 2, fi.eps, np.log10(2)], np.float32)
    np.testing.assert_array_equal(got, expected)


def test_double_precision_constants():
    fi = np.finfo(np.float64)
    got = np.array([lib.d1mach_(i(k)) for k in range(1, 6)])
    above_half_eps = np.nextafter(np.nextafter(fi.eps / 2, 1), 1)  # two units above 2^-53
    log2 = np.log10(2.0)
    for _ in range(4):  # four units in the last place below the double nearest log10(2)
        log2 = np.nextafter(log2, 0)
    np.testing.assert_array_equal(got, [2 * fi.tiny, fi.max / 2, above_half_eps, fi.eps, log2])
    assert got.view(np.uint64).tolist() == [0x0020000000000000, 0x7FDFFFFFFFFFFFFF,
                                            0x3CA0000000000002, 0x3CB0000000000000,
                                            0x3FD34413509F79FB]


def test_control_flag_starts_at_2_and_takes_minus_2_to_2():
    r = run_lib("""
        k = C.c_int32(-99)
        lib.xgetf_(C.byref(k))
        print(k.value, end=" ")
        for v in (-2, -1, 0, 1, 2):
            lib.xsetf_(i(v))
            lib.xgetf_(C.byref(k))
            print(k.value, end=" ")
        print(lib.j4save_(i(2), i(0), i(0)))
    """)
    assert r.stdout == "2 -2 -1 0 1 2 2\nreturned -99\n"


def full_report(routine, message, number, level):
    what = ("POTENTIALLY RECOVERABLE ERROR, PROG CONTINUES," if level == 1
            else "FATAL ERROR, PROG ABORTED,")
    return (f" ***MESSAGE FROM ROUTINE {routine} IN LIBRARY SLATEC.\n"
            f" ***{what} TRACEBACK REQUESTED\n"
            f" *  {message}\n *  ERROR NUMBER = {number}\n *   \n ***END OF MESSAGE\n \n")


def short_report(routine, message):
    return (f" ***MESSAGE FROM ROUTINE {routine} IN LIBRARY SLATEC.\n"
            f" *  {message}\n *   \n ***END OF MESSAGE\n \n")


FEW_POINTS = ("DPCHIM", "NUMBER OF DATA POINTS LESS THAN TWO", -1)
BAD_FLAG = ("XSETF", "INVALID ARGUMENT =        5", 1)


@pytest.mark.parametrize("flag,call,printed,status", [
    # a recoverable error (level 1): ends the process under 2 and -2 only
    (2, "few", abort_report(*FEW_POINTS), 1),
    (1, "few", full_report(*FEW_POINTS, 1) + "returned -1\n", 0),
    (0, "few", "returned -1\n", 0),
    (-1, "few", short_report(*FEW_POINTS[:2]) + "returned -1\n", 0),
    (-2, "few", short_report(*FEW_POINTS[:2]), 1),
    # a fatal error (level 2) ends it under every flag
    (2, "bad", full_report(*BAD_FLAG, 2) + " ***JOB ABORT DUE TO FATAL ERROR.\n" + SUMMARY_HEAD
     + summary_line(*BAD_FLAG, level=2) + " \n", 1),
    (1, "bad", full_report(*BAD_FLAG, 2) + " ***JOB ABORT DUE TO FATAL ERROR.\n" + SUMMARY_HEAD
     + summary_line(*BAD_FLAG, level=2) + " \n", 1),
    (0, "bad", " *  INVALID ARGUMENT =        5\n", 1),
    (-1, "bad", short_report(*BAD_FLAG[:2]), 1),
    (-2, "bad", short_report(*BAD_FLAG[:2]), 1),
])
def test_what_each_control_flag_prints_and_ends(flag, call, printed, status):
    body = {"few": "lib.dpchim_(i(1), ptr(arr([0])), ptr(arr([0])), ptr(arr([0])), i(1), "
                   "C.byref(ierr))",
            "bad": "lib.xsetf_(i(5))"}[call]
    r = run_lib(f"lib.xsetf_(i({flag}))\n{body}")
    assert (r.stdout, r.returncode) == (printed, status)


@pytest.mark.parametrize("value,field", [(3, "       3"), (-3, "      -3"), (-9999999, "-9999999"),
                                         (-10000000, "********"), (100000000, "********")])
def test_invalid_flag_is_written_in_eight_columns(value, field):
    r = run_lib(f"lib.xsetf_(i(0))\nlib.xsetf_(i({value}))")
    assert (r.stdout, r.returncode) == (f" *  INVALID ARGUMENT = {field}\n", 1)


def test_dump_prints_the_recorded_messages_once():
    r = run_lib("""
        lib.xerdmp_()
        print("empty")
        lib.xsetf_(i(0))
        for n_, ic in ((1, 0), (1, 0), (3, 7)):
            lib.dpchsp_(ptr(arr([ic, 0], np.int32)), ptr(arr([0, 0])), i(n_), ptr(arr([0, 1, 2])),
                        ptr(arr([0, 1, 0])), ptr(np.zeros(3)), i(1), ptr(np.zeros(6)), i(6),
                        C.byref(ierr))
        lib.xerdmp_()
        print("again")
        lib.xerdmp_()
    """)
    assert r.stdout == ("empty\n" + SUMMARY_HEAD
                        + summary_line("DPCHSP", "NUMBER OF DATA POINTS LESS THAN TWO", -1, count=2)
                        + summary_line("DPCHSP", "IC OUT OF RANGE", -4)
                        + " \nagain\nreturned -4\n")
