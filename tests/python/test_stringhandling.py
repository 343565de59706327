"""Text routines of module stringhandling, checked against Python's own str methods on a table
of card lines and against hand values."""
import re

import numpy as np
import pytest

import _vorlen
from conftest import errstat, errtext, run_python

s = _vorlen.stringhandling

CALL_FORMS = [
    "a,b = split(s,sdelim,n)",
    "extract = extract(s,startkey,stopkey,n)",
    "lowercase = lowercase(s,n)",
    "uppercase = uppercase(s,n)",
    "match = match(a,b)",
    "tally = tally(s,text,[csflag])",
    "occurs = occurs(a,b)",
    "countitems = countitems(s0)",
    "sout = translate(s0,codes,n,[nc])",
    "sout = replacetext(s,text,rep,nout)",
    "sout = reduceblanks(s,nout)",
    "sout = spack(s,ex,ns,nx)",
    "j2s = int2aformat(jrray,aw,jmax,sout,m,[n])",
    "clen = clen(s)",
    "clen_trim = clen_trim(s)",
    "ctrim = ctrim(s,n)",
    "ca,istat = int2str(integ)",
    "integ,istat = str2int(ca)",
    "ia = str2ascii(ca,n)",
    "ca = copys2a(s,n)",
    "s = copya2s(ca,n)",
    "inistringwithcharacter = inistringwithcharacter(ch,n)",
]


@pytest.mark.parametrize("form", CALL_FORMS)
def test_call_forms(form):
    name = form.split(" = ")[1].split("(")[0]
    assert getattr(s, name).__doc__.splitlines()[0] == form


def test_docstrings_of_texts_and_characters():
    assert "a : string(len=n)\nb : string(len=n)\n" in s.split.__doc__
    assert "s : input string(len=-1)\nsdelim : input string(len=1)\n" in s.split.__doc__
    assert "ca : rank-1 array('c') with bounds (n)" in s.copys2a.__doc__
    assert "ca : input rank-1 array('c') with bounds (nca)" in s.copya2s.__doc__


# Card lines with blanks, tabs, commas, empty fields and exponents written with D.
LINES = [
    "*Material, name=CFRP_T700",
    "+Elastic, TYPE=ENGINEERING CONSTANTS",
    "1.35D5, 9.2d3,\t9.2D3, 0.3, 0.3, 0.45",
    "  140000.0  10000.0   10000.0  ",
    "1,,3",
    "1, 2, 3,",
    "\t\t42",
    "",
    "          ",
    "7 8\t9,10",
    "-12, +5, 3E-2, 4.0D+01",
    "**comment with  two   blanks",
]


def text(x):
    """A routine's text result: Python bytes without trailing blanks."""
    return x.rstrip(" ").encode()


def items(line):
    """Items of a line without a leading comma or a blank before a comma: the comma-separated
    fields, each one item or as many as its blank-separated words."""
    t = line.replace("\t", " ").rstrip(" ")
    return sum(max(1, len(f.split())) for f in t.split(",")) if t else 0


def first_integer(line):
    """(integ, istat) of a free-format read into integ = 0, from Python's int()."""
    t = line.lstrip(" \t")
    if not t:
        return 0, -1
    token = re.split(r"[ \t,/]", t)[0]
    if not token:
        return 0, 0  # a null value
    try:
        return int(token), 0
    except ValueError:
        return 0, 1


CARD_CHECKS = {
    "split": (lambda l: s.split(l, ",", 80),
              lambda l: (text(l.partition(",")[0]), text(l.partition(",")[2]))),
    "lowercase": (lambda l: s.lowercase(l, len(l)), lambda l: text(l.lower())),
    "uppercase": (lambda l: s.uppercase(l, len(l)), lambda l: text(l.upper())),
    "match_case": (lambda l: s.match(l.upper() + "   ", l.lower()), lambda l: 1),
    "match_lead": (lambda l: s.match(" " + l, l),
                   lambda l: int((" " + l).rstrip(" ") == l.rstrip(" "))),
    "tally": (lambda l: s.tally(l, ","), lambda l: l.count(",")),
    "tally_nocase": (lambda l: s.tally(l, "d  ", 0), lambda l: l.lower().count("d")),
    "occurs": (lambda l: s.occurs(l, "Elastic "), lambda l: int("elastic" in l.lower())),
    "countitems": (lambda l: s.countitems(l), items),
    "reduceblanks": (lambda l: s.reduceblanks(l, 80),
                     lambda l: text(re.sub(" +", " ", l.rstrip(" ")))),
    # trailing blanks of rep are ignored
    "replace_comma": (lambda l: s.replacetext(l, ",", "; ", 80),
                      lambda l: text(l.replace(",", ";"))),
    "replace_d": (lambda l: s.replacetext(l, "D", "E", 80), lambda l: text(l.replace("D", "E"))),
    "replace_grows": (lambda l: s.replacetext(l, "0", "00", 80),
                      lambda l: text(l.replace("0", "00"))),
    "translate": (lambda l: s.translate(l, [[ord(","), ord(" ")], [ord("\t"), ord(" ")]], len(l)),
                  lambda l: text(l.translate({44: 32, 9: 32}))),
    "spack": (lambda l: s.spack(l, "0123456789", 80, 10),
              lambda l: "".join(filter(str.isdigit, l)).encode()),
    "clen": (lambda l: (s.clen(l), s.clen_trim(l)), lambda l: (len(l), len(l.rstrip(" ")))),
    "ctrim": (lambda l: s.ctrim(l, 80), text),
    "str2int": (lambda l: s.str2int(l), first_integer),
    "str2ascii": (lambda l: list(s.str2ascii(l, len(l))), lambda l: list(l.encode())),
}


@pytest.mark.parametrize("line", LINES)
@pytest.mark.parametrize("check", CARD_CHECKS)
def test_card_lines_against_python(check, line):
    call, expected = CARD_CHECKS[check]
    assert call(line) == expected(line)


def test_countitems_counts_the_values_float_reads():
    for line in LINES:
        values = [v for v in re.split(r"[,\s]+", line) if v]
        try:
            [float(v.replace("D", "E").replace("d", "e")) for v in values]
        except ValueError:
            continue
        if ",," not in line and not line.rstrip().endswith(","):
            assert s.countitems(line) == len(values), line


@pytest.mark.parametrize("line,count", [
    ("a ,b", 3),    # a blank before a comma separates an item of its own
    (",5", 1),      # a comma in the first character adds nothing
    ("1\t2", 2),
    ("", 0),
    ("x", 1),
    ("1 2\0  ", 2),  # the text ends at a NUL that is its last non-blank character
])
def test_countitems_hand_values(line, count):
    assert s.countitems(line) == count


def test_split_keyword_and_options():
    assert s.split("KEY, TYPE=A", ",", 80) == (b"KEY", b" TYPE=A")
    assert s.split("KEY", ",", 80) == (b"KEY", b"")
    assert s.split("KEY, TYPE=A", ",", 2) == (b"KE", b" T")
    assert s.split("KEY, TYPE=A", ",", 0) == (b"", b"")
    # trailing blanks count in the search
    assert s.split(b"AB  ", " ", 80) == (b"AB", b"")


def test_match_and_occurs():
    assert s.match("+Elastic   ", "+ELASTIC") == 1
    assert s.match(" +Elastic", "+ELASTIC") == 0
    assert s.match("+Elastics", "+ELASTIC") == 0
    assert s.tally("aaaa", "aa") == 3  # overlapping
    assert s.tally("aaaa", "AA") == 0 and s.tally("aaaa", "AA", 0) == 3
    assert s.tally("abc", "  ") == 4  # a blank text counts len + 1
    assert s.occurs("E L E M E N T", "e l e") == 1
    assert s.occurs("TYPE=GENERAL", "type=elastic") == 0
    assert s.tally("   ab", "ab", 0) == 1
    # without regard to case: the leading blanks of s move to its end, a blank text counts
    # len + 1, occurrences overlap and may end at the last character
    assert s.tally("  ab", " ab", 0) == 0 and s.tally("x aB", " Ab", 0) == 1
    assert s.tally("abc", "  ", 0) == 4
    assert s.tally("xAbAbA", "aba", 0) == 2 and s.occurs("no Heading", "HEADING ") == 1



# (s, text, count with csflag absent or 1, count with any other csflag), by hand from the rules:
# a blank text counts len(s) + 1 in every mode; without regard to case the leading blanks of s
# move to its end first.
TALLY_LEADING_BLANKS = [
    ("  ab", "", 5, 5),
    ("  ab", "  ", 5, 5),
    ("   ", " ", 4, 4),
    ("   ", "", 4, 4),
    ("  ab", "ab", 1, 1),
    ("  ab", " a", 1, 0),    # the blank before a moved to the end
    ("  ab", "AB", 0, 1),
    ("  ab", "b  ", 1, 1),   # trailing blanks of the text are ignored
    (" aA a", "a", 2, 3),
    (" aA a", "a a", 0, 1),
]


@pytest.mark.parametrize("line,txt,exact,blind", TALLY_LEADING_BLANKS)
def test_tally_strings_with_leading_blanks(line, txt, exact, blind):
    assert (s.tally(line, txt), s.tally(line, txt, 1)) == (exact, exact)
    assert [s.tally(line, txt, c) for c in (0, 2, -1)] == [blind] * 3
    assert s.occurs(line, txt) == (blind > 0)


def python_tally(line, txt, csflag):
    """The count of the rules from Python's str methods."""
    t = txt.rstrip(" ")
    if csflag != 1:
        k = len(line) - len(line.lstrip(" "))
        line, t = (line.lstrip(" ") + " " * k).lower(), t.lower()
    return sum(line.startswith(t, i) for i in range(len(line) - len(t) + 1))


def test_tally_long_texts_against_python():
    # texts longer than the sixteen windows looked at a time, occurrences across their edges,
    # overlapping ones, and texts of more than seventeen characters compared block-wise
    rng = np.random.default_rng(61)
    for _ in range(3000):
        alphabet = rng.choice(list("aAbB Z@[`{"), rng.integers(1, 6), replace=False)
        line = "".join(rng.choice(alphabet, rng.integers(0, 120)))
        if line and rng.random() < 0.5:
            i = int(rng.integers(len(line)))
            txt = line[i:i + int(rng.integers(1, 40))]
        else:
            txt = "".join(rng.choice(alphabet, rng.integers(0, 25)))
        for csflag in (1, 0):
            assert s.tally(line, txt, csflag) == python_tally(line, txt, csflag), (line, txt)
        assert s.occurs(line, txt) == (python_tally(line, txt, 0) > 0)
    many = "ab" * 5000
    assert s.tally(many, "abab") == s.tally(many.upper(), "abab", 0) == 4999
    assert s.tally("a" * 10_000, "a" * 50 + "b", 0) == 0

EXTRACT = [
    ("cfrp_s@12@_t@3@", "_s@", "@", 10),
    ("cfrp_s@12@_t@3@", "_t@", "@", 10),
    ("a_s@1@b_s@2@", "_s@", "@", 10),  # after the last start key
    ("_s@  7@", "_s@", "@", 10),        # left-adjusted
    ("_s@123456@", "_s@", "@", 3),      # cut to n
    ("cfrp_s@12", "_s@", "@", 10),      # no stop key after it
    ("cfrp@12@", "_s@", "@", 10),       # no start key
    ("_s@@", "_s@", "@", 10),
    ("x<<ab>>y", "<<", ">>", 10),       # a longer stop key: strictly between the keys
]


@pytest.mark.parametrize("line,start,stop,n", EXTRACT)
def test_extract(line, start, stop, n):
    i = line.rfind(start)
    rest = line[i + len(start.rstrip(" ")):] if i >= 0 else ""
    j = rest.find(stop)
    expected = text(rest[:j].lstrip(" ")[:n]) if i >= 0 and j >= 0 else b""
    assert s.extract(line, start, stop, n) == expected


def test_extract_without_start_key_stays_blank():
    # read from the start key's own length on, the text would be "12"
    assert s.extract("@12@abc", "_s@", "@", 10) == b""


def test_reduceblanks_and_replacetext():
    assert s.reduceblanks("  a   b  ", 5) == b" a b"  # " a b " with the trailing blank stripped
    assert s.reduceblanks("    ", 5) == b""
    assert s.reduceblanks("a  b", 2) == b"a"
    assert s.replacetext("a,b,c", ",", "", 80) == b"abc"  # a blank rep deletes
    # every search starts again at the first character: aabb, ab, then nothing
    assert s.replacetext("aabb", "ab", "", 80) == b""
    assert s.replacetext("aaab", "ab", "b", 80) == b"b"
    assert s.replacetext("abab", "ab", "ba", 80) == b"bbaa"
    assert s.replacetext("a,b", ",", "--", 4) == b"a--b"
    assert s.replacetext("a,b,c", ",", "--", 4) == b"a--b"
    assert s.replacetext("abc", "x", "y", 2) == b"ab"


@pytest.mark.parametrize("text_,rep", [("  ", "x"), (",", ",,"), (",", "a,b"), ("a", "a")])
def test_replacetext_ends_on_texts_that_match_again(text_, rep):
    # a blank text and a rep containing the text would match at every pass when every search
    # starts again at the first character
    proc = run_python(f"""
        import _vorlen
        print(_vorlen.stringhandling.replacetext("a,b,,c", {text_!r}, {rep!r}, 40))
    """, timeout=60)
    assert proc.returncode == 0, proc.stderr
    expected = "a,b,,c" if not text_.strip() else "a,b,,c".replace(text_, rep)
    assert proc.stdout.strip() == repr(expected.encode())


def test_translate_takes_the_first_row_of_a_code():
    codes = [[ord("a"), ord("x")], [ord("a"), ord("y")], [ord("b"), ord("z")]]
    assert s.translate("abcab", codes, 5) == b"xzcxz"
    assert s.translate("abcab", codes, 3) == b"xzc"
    assert s.translate("ab", [[ord("a") + 256, ord("q")]], 2) == b"qb"  # a code's low byte
    with pytest.raises(_vorlen.__vorlen_error):
        s.translate("ab", codes, 2, 4)


def test_spack():
    assert s.spack("a1b2c3", "abc", 2, 3) == b"ab"
    assert s.spack("a1b2c3", "abc", 80, 0) == b""
    assert s.spack("a1b2c3", "0123", 80, 2) == b"1"  # the set is "01"


def test_clen_stops_at_a_final_nul():
    assert s.clen(b"ab\0  ") == 2
    assert s.clen_trim(b"ab\0  ") == 2
    assert s.ctrim(b"ab\0  ", 4) == b"ab"
    assert s.clen(b"a\0b  ") == 5  # a NUL that is not the last non-blank character is text
    assert s.clen("ab  ") == 4 and s.clen_trim("ab  ") == 2
    assert s.clen("   ") == 3 and s.clen_trim("   ") == 0


@pytest.mark.parametrize("v", [0, 7, -5, 9, 10, -10, 99, 100, -1000, 123456789, 2147483647,
                               -2147483648])
def test_int2str_writes_every_digit_and_the_sign(v):
    assert s.int2str(v) == (str(v).encode(), 0)


@pytest.mark.parametrize("ca,expected", [
    ("42", (42, 0)), ("  -7 ", (-7, 0)), ("\t+5\t", (5, 0)), ("12, 13", (12, 0)),
    ("12/", (12, 0)), ("3*7", (7, 0)), ("2*", (0, 0)), (",5", (0, 0)), ("/", (0, 0)),
    ("-2147483648", (-2147483648, 0)), ("2147483647", (2147483647, 0)),
    ("2147483648", (0, 1)), ("12ab", (0, 1)), ("1.5", (0, 1)), ("1D3", (0, 1)), ("+", (0, 1)),
    ("0*5", (0, 1)), ("   ", (0, -1)), ("", (0, -1)),
])
def test_str2int_free_format(ca, expected):
    integ, istat = s.str2int(ca)
    assert (integ, istat > 0 and 1 or istat < 0 and -1 or 0) == expected


def test_character_copies():
    ca = s.copys2a("hello", 3)
    assert ca.dtype == np.dtype("S1") and list(ca) == [b"h", b"e", b"l"]
    assert s.copya2s(np.array(list(b"world"), dtype=np.uint8).view("S1"), 4) == b"worl"
    assert s.copya2s(ca, 3) == b"hel"
    assert s.inistringwithcharacter("*", 4) == b"****"
    assert s.inistringwithcharacter(" ", 4) == b""
    assert s.inistringwithcharacter("*", -1) == b""
    assert list(s.str2ascii(b"\xff\x00A", 3)) == [255, 0, 65]


@pytest.mark.parametrize("call", [
    lambda: s.lowercase("ABC", 4), lambda: s.uppercase("abc", 4),
    lambda: s.translate("abc", [[97, 98]], 4), lambda: s.spack("abc", "ab", 80, 3),
    lambda: s.copya2s(np.array([b"a", b"b"]), 3),
])
def test_counts_beyond_the_text_give_blanks(call, clean_register):
    assert call() == b""
    assert errstat() == -3
    assert errtext().startswith("Error: Count exceeds the length of the text in ")


def test_counts_beyond_the_text_write_no_array(clean_register):
    assert list(s.str2ascii("ab", 3)) == [0, 0, 0]
    assert list(s.copys2a("ab", 3)) == [b" "] * 3
    assert errstat() == -3


def int2aformat_model(values, fmt_item, sout):
    """The joining loop on Python strings: each item left-adjusted, appended to the trimmed
    result, the result cut to sout."""
    j2s = ""
    for v in values:
        j2s = (j2s.rstrip(" ") + fmt_item(v).strip(" "))[:sout]
    return text(j2s)


JRRAY = [[1, -2], [30, 4]]  # written column by column: 1, 30, -2, 4
FORMATS = [
    ("(I3)", lambda v: "%3d" % v),
    ("(I3,',')", lambda v: "%3d," % v),
    ("(i4.2)", lambda v: "%4s" % (("-" if v < 0 else "") + "%02d" % abs(v))),
    ("(SP,I3)", lambda v: "%+3d" % v),
    ("(I1)", lambda v: str(v) if len(str(v)) <= 1 else "*"),
    ("('#',I0)", lambda v: "#%d" % v),
    ("(I2,'x')", lambda v: "%2dx" % v),
    ("(1X,I2)", lambda v: " %2d" % v),
    ("(2I3)", lambda v: "%3d" % v),
    ("(I3:'x')", lambda v: "%3d" % v),
    ("(T3,I2)", lambda v: "  %2d" % v),
    ("(I3,A)", lambda v: "%3d" % v),   # the text descriptor is never reached
]


@pytest.mark.parametrize("fmt,item", FORMATS)
@pytest.mark.parametrize("sout", [40, 5, 1])
def test_int2aformat_against_python_formatting(fmt, item, sout):
    values = np.array(JRRAY).flatten(order="F")
    assert s.int2aformat(JRRAY, fmt, 8, sout, 2) == int2aformat_model(values, item, sout)


def test_int2aformat_other_bases_and_blank_zero():
    assert s.int2aformat([[5, 10, 255, 0]], "(Z4)", 8, 40, 4) == b"5AFF0"
    assert s.int2aformat([[5, 10]], "(B8)", 8, 40, 2) == b"1011010"
    assert s.int2aformat([[8, 9]], "(O3)", 8, 40, 2) == b"1011"
    assert s.int2aformat([[0, 7]], "(I3.0)", 8, 40, 2) == b"7"
    assert s.int2aformat([[1, 2]], "(G4.1)", 8, 40, 2) == b"12"
    assert s.int2aformat(np.zeros((1, 0), np.int32), "(I3)", 8, 40, 0) == b""  # no items
    assert s.int2aformat(np.zeros((1, 0), np.int32), "(F5.2)", 8, 40, 0) == b""


@pytest.mark.parametrize("fmt,expected", [
    ("(I1X'a')", b"1 a2 a"),     # X moves one column
    ("((I2))", b"12"),            # a group without a count
    ("(-1P,I2)", b"12"),          # a scale factor has no effect on integers
    ("(SP,G3)", b"+1+2"),
    ("(I3)xyz", b"12"),           # what follows the format is not read
])
def test_int2aformat_formats_of_the_notation(fmt, expected):
    assert s.int2aformat([[1, 2]], fmt, 8, 40, 2) == expected


def test_int2aformat_a_blank_moves_the_item():
    assert s.int2aformat([[1]], "(X,I7)", 8, 40, 1) == b"1"
    assert s.int2aformat([[1]], "(X,I8)", 8, 40, 1) == b""  # nine characters


def test_int2aformat_item_longer_than_jmax(clean_register):
    assert s.int2aformat([[1, 2]], "(I5)", 3, 40, 2) == b""
    assert errstat() == -3
    assert errtext() == "Error: Item longer than jmax characters in int2aformat."


@pytest.mark.parametrize("fmt,reason", [
    ("(F5.2)", "the descriptor cannot write an integer"),
    ("(A)", "the descriptor cannot write an integer"),
    ("(L2)", "the descriptor cannot write an integer"),
    ("I3", "format does not start with ("), ("MAT-1", "format does not start with ("),
    ("(I3", "missing )"), ("(I3/)", "the record ends at /"),
    ("()", "no descriptor writes the integer"), ("(I)", "width required"),
    ("(Q3)", "unknown edit descriptor"),
    ("(1BZ,I5)", "a count must precede a group or a descriptor"),  # modes take no count
])
def test_int2aformat_refuses_a_format_that_cannot_write_an_integer(clean_register, fmt, reason):
    assert s.int2aformat([[1, 2]], fmt, 8, 40, 2) == b""  # and the interpreter goes on
    assert errstat() == -3
    assert errtext() == f"Format {fmt}: {reason} in int2aformat"
    clean_register.rsxerr(1)
    assert s.int2aformat([[1, 2]], "(I3)", 8, 40, 2) == b"12" and errstat() == 0
