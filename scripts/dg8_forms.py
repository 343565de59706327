#!/usr/bin/env python3
"""Writes the closed forms of the dg8 Ritz model: strain energy, its gradient and its Hessian over
an ellipse, by exact polynomial integration in rational arithmetic (no outside packages).

    scripts/dg8_forms.py            writes src/delamination/dg8_forms.cpp
    scripts/dg8_forms.py --bench    writes bench/dg8_expanded.hpp (every term written out)

Fields over the unit disc X = x/a, Y = y/b, psi = 1 - X^2 - Y^2:
u = psi (p1 X + p2 Y), v = psi (q1 X + q2 Y), w = psi^2 (r1 + r2 X^2 + r3 Y^2 + r4 X Y);
membrane strains with the von Karman terms and the applied strain, curvatures -w,xx, -w,yy,
-2 w,xy; U = 1/2 a b Int (e'Ae + 2 e'Bk + k'Dk) dX dY, Int X^m Y^n = 2 pi (m-1)!!(n-1)!! /
((m+n)!! (m+n+2)) for even m, n.
"""
import pathlib
import re
import sys
from fractions import Fraction
from itertools import combinations_with_replacement

VARS = ["X", "Y", "p1", "p2", "q1", "q2", "r1", "r2", "r3", "r4", "e1", "e2", "e6", "a", "b"]
NV = len(VARS)
IX, IY, IA, IB = 0, 1, 13, 14
VEC = VARS[2:10]
STIFF = ["A11", "A12", "A16", "A22", "A26", "A66", "B11", "B12", "B16", "B22", "B26", "B66",
         "D11", "D12", "D16", "D22", "D26", "D66"]
ABD_INDEX = {"A11": (1, 1), "A12": (1, 2), "A16": (1, 3), "A22": (2, 2), "A26": (2, 3),
             "A66": (3, 3), "B11": (1, 4), "B12": (1, 5), "B16": (1, 6), "B22": (2, 5),
             "B26": (2, 6), "B66": (3, 6), "D11": (4, 4), "D12": (4, 5), "D16": (4, 6),
             "D22": (5, 5), "D26": (5, 6), "D66": (6, 6)}
DEN_U, DEN_D = 221760, 110880


def var(name, power=1):
    e = [0] * NV
    e[VARS.index(name)] = power
    return {tuple(e): Fraction(1)}


def const(c):
    return {tuple([0] * NV): Fraction(c)}


def add(*ps):
    r = {}
    for p in ps:
        for k, c in p.items():
            r[k] = r.get(k, 0) + c
    return {k: c for k, c in r.items() if c != 0}


def scale(p, c):
    return {k: v * c for k, v in p.items() if v * c != 0}


def mul(p, q):
    r = {}
    for k1, c1 in p.items():
        for k2, c2 in q.items():
            k = tuple(x + y for x, y in zip(k1, k2))
            r[k] = r.get(k, 0) + c1 * c2
    return {k: c for k, c in r.items() if c != 0}


def diff(p, i):
    r = {}
    for k, c in p.items():
        if k[i]:
            e = list(k)
            e[i] -= 1
            r[tuple(e)] = r.get(tuple(e), 0) + c * k[i]
    return {k: c for k, c in r.items() if c != 0}


def dx(p):  # d/dx = 1/a d/dX
    return mul(diff(p, IX), var("a", -1))


def dy(p):
    return mul(diff(p, IY), var("b", -1))


def dfact(n):
    r = 1
    while n > 1:
        r, n = r * n, n - 2
    return r


def disc(p):
    """Integral over the unit disc in units of pi."""
    r = {}
    for k, c in p.items():
        m, n = k[IX], k[IY]
        if m % 2 or n % 2:
            continue
        v = Fraction(2 * dfact(m - 1) * dfact(n - 1), dfact(m + n) * (m + n + 2))
        e = (0, 0) + k[2:]
        r[e] = r.get(e, 0) + c * v
    return {k: c for k, c in r.items() if c != 0}


def energy():
    X, Y = var("X"), var("Y")
    psi = add(const(1), scale(var("X", 2), -1), scale(var("Y", 2), -1))
    u = mul(psi, add(mul(var("p1"), X), mul(var("p2"), Y)))
    v = mul(psi, add(mul(var("q1"), X), mul(var("q2"), Y)))
    m = add(var("r1"), mul(var("r2"), var("X", 2)), mul(var("r3"), var("Y", 2)),
            mul(var("r4"), mul(X, Y)))
    w = mul(mul(psi, psi), m)
    wx, wy = dx(w), dy(w)
    half = Fraction(1, 2)
    ex = add(var("e1"), dx(u), scale(mul(wx, wx), half))
    ey = add(var("e2"), dy(v), scale(mul(wy, wy), half))
    g = add(var("e6"), dy(u), dx(v), mul(wx, wy))
    kx, ky, kxy = scale(dx(wx), -1), scale(dy(wy), -1), scale(dx(wy), -2)
    two = lambda p, q: scale(mul(p, q), 2)
    integrand = {
        "A11": mul(ex, ex), "A12": two(ex, ey), "A16": two(ex, g), "A22": mul(ey, ey),
        "A26": two(ey, g), "A66": mul(g, g),
        "B11": two(ex, kx), "B12": add(two(ex, ky), two(ey, kx)),
        "B16": add(two(ex, kxy), two(g, kx)), "B22": two(ey, ky),
        "B26": add(two(ey, kxy), two(g, ky)), "B66": two(g, kxy),
        "D11": mul(kx, kx), "D12": two(kx, ky), "D16": two(kx, kxy), "D22": mul(ky, ky),
        "D26": two(ky, kxy), "D66": mul(kxy, kxy)}
    ab = scale(mul(var("a"), var("b")), half)
    return {s: mul(disc(p), ab) for s, p in integrand.items()}


def integers(poly, den):
    out = {}
    for k, c in poly.items():
        c = c * den
        assert c.denominator == 1, (k, c)
        out[k] = int(c)
    return out


def split(key):
    """(a, b) exponents and the monomial of the other variables."""
    mono = tuple(x for i, n in enumerate(key[2:IA]) for x in [VARS[i + 2]] * n)
    return (key[IA], key[IB]), mono


def number(c):
    return f"{c}.0"


def power(name, n):
    if n == 0:
        return []
    base = name if n > 0 else "i" + name
    return [f"{base}{abs(n)}" if abs(n) > 1 else base]


def collect(forms):
    """forms: {stiffness: integer polynomial} -> [(stiffness, (ea, eb), [(c, mono)])]."""
    groups = []
    for s in STIFF:
        by = {}
        for k, c in forms.get(s, {}).items():
            (ea, eb), mono = split(k)
            by.setdefault((ea, eb), []).append((c, mono))
        for eab in sorted(by):
            groups.append((s, eab, sorted(by[eab], key=lambda t: (len(t[1]), t[1]))))
    return groups


def mononame(mono):
    return "".join(mono) if mono else "1"


class Writer:
    """Straight-line code: weights S a^i b^j, shared monomials, one sum per weight."""

    def __init__(self):
        self.powers, self.weights, self.monos = set(), {}, set()

    def weight(self, s, eab):
        key = (s, eab)
        if key not in self.weights:
            self.weights[key] = f"w{len(self.weights)}"
            for n, nm in zip(eab, "ab"):
                if n:
                    self.powers.add((nm, n))
        return self.weights[key]

    def mono(self, mono):
        for i in range(2, len(mono) + 1):
            self.monos.add(mono[:i])
        return mononame(mono) if len(mono) > 1 else (mono[0] if mono else "")

    def sum(self, groups):
        terms = []
        for s, eab, items in groups:
            w = self.weight(s, eab)
            parts = []
            for c, mono in items:
                m = self.mono(mono)
                t = number(abs(c)) + (f" * {m}" if m else "")
                parts.append(("- " if c < 0 else "+ ") + t)
            body = " ".join(parts)
            body = body[2:] if body.startswith("+ ") else "-" + body[2:]
            terms.append(f"{w} * ({body})")
        return terms

    def prologue(self):
        lines = []
        for nm in "ab":
            ns = [n for m, n in self.powers if m == nm]
            if any(n < 0 for n in ns):
                lines.append(f"const double i{nm} = 1.0 / {nm};")
            for base, top in ((nm, max([n for n in ns if n > 0] + [0])),
                              ("i" + nm, max([-n for n in ns if n < 0] + [0]))):
                for n in range(2, top + 1):
                    prev = base if n == 2 else f"{base}{n - 1}"
                    lines.append(f"const double {base}{n} = {prev} * {base};")
        for (s, eab), w in self.weights.items():
            f = [s] + [x for n, nm in zip(eab, "ab") for x in power(nm, n)]
            lines.append(f"const double {w} = {' * '.join(f)};")
        for mono in sorted(self.monos, key=lambda m: (len(m), m)):
            rhs = f"{mononame(mono[:-1]) if len(mono) > 2 else mono[0]} * {mono[-1]}"
            lines.append(f"const double {mononame(mono)} = {rhs};")
        return lines


def wrap(words, first, rest, limit=100):
    """Greedy lines of at most limit columns: first line prefix, then rest."""
    lines, cur = [], first
    for w in words:
        if len(cur) + 1 + len(w) > limit and cur.strip():
            lines.append(cur)
            cur = rest + w
        else:
            cur = cur + (" " if cur and not cur.endswith((" ", "(")) else "") + w
    lines.append(cur)
    return lines


def statement(lhs, terms, indent="    "):
    if not terms:
        return [f"{indent}{lhs} = 0.0;"]
    out = []
    for n, t in enumerate(terms):
        words = re.split(r" (?=[+-] [0-9])", t)
        head = f"{indent}{lhs} =" if n == 0 else f"{indent}    +"
        out += wrap(words, head, indent + "        ")
    out[-1] += ";"
    return out


def derive(forms, v):
    i = VARS.index(v)
    return {s: diff(p, i) for s, p in forms.items()}


def pieces(forms):
    """Integer forms of U (over DEN_U), of f and of the upper triangle of H (over DEN_D)."""
    u = {s: integers(p, DEN_U) for s, p in forms.items()}
    f, h = [], {}
    for i, vi in enumerate(VEC):
        fi = derive(forms, vi)
        f.append({s: integers(p, DEN_D) for s, p in fi.items()})
        for j in range(i, 8):
            hij = derive(fi, VEC[j])
            h[i, j] = {s: integers(p, DEN_D) for s, p in hij.items()}
    return u, f, h


def read_abd():
    return [f"const double {s} = abd[{(i - 1) + 6 * (j - 1)}];" for s, (i, j) in ABD_INDEX.items()]


def terms_struct(wr):
    """The shared pieces: inputs, weights and products of the coefficients and strains."""
    monos = sorted(wr.monos, key=lambda m: (len(m), m))
    names = [mononame(m) for m in monos]
    members = ["p1", "p2", "q1", "q2", "r1", "r2", "r3", "r4", "e1", "e2", "e6"]
    members += list(wr.weights.values()) + names
    out = ["// The coefficients and strains, the weights S a^i b^j of the terms (S an entry of A, B",
           "// or D) and the products of coefficients and strains up to the degree a form needs.",
           "struct Terms {"]
    out += wrap([f"{m}," for m in members[:-1]] + [f"{members[-1]};"], "    double", "        ")
    out += ["", "    Terms(const double* vec, const double* eps, double a, double b,"
            " const double* abd,", "          int degree) {",
            "        p1 = vec[0], p2 = vec[1], q1 = vec[2], q2 = vec[3];",
            "        r1 = vec[4], r2 = vec[5], r3 = vec[6], r4 = vec[7];",
            "        e1 = eps[0], e2 = eps[1], e6 = eps[2];"]
    lines = read_abd()
    lines += [l for l in wr.prologue() if not l.startswith("const double w")
              and l.split()[2] not in names]
    for (st, eab), w in wr.weights.items():
        f = [st] + [x for n, nm in zip(eab, "ab") for x in power(nm, n)]
        lines.append(f"{w} = {' * '.join(f)};")
    prev = 2
    for mono in monos:
        if len(mono) > prev:
            lines.append(f"if (degree < {len(mono)}) return;")
            prev = len(mono)
        rhs = f"{mononame(mono[:-1]) if len(mono) > 2 else mono[0]} * {mono[-1]}"
        lines.append(f"{mononame(mono)} = {rhs};")
    out += ["        " + l for l in lines]
    out += ["    }", "", "    double energy() const;", "    void gradient(double* f) const;",
            "    void hessian(double* df) const;", "};", ""]
    return out


def library():
    u, f, h = pieces(energy())
    wr = Writer()
    est = statement("return kU * (", wr.sum(collect(u)))
    gst = []
    for i in range(8):
        gst += statement(f"f[{i}]", wr.sum(collect(f[i])))
        gst.append(f"    f[{i}] *= kD;")
    hst = []
    for (i, j), hij in h.items():
        hst += statement(f"df[{i + 8 * j}]", wr.sum(collect(hij)))
        hst.append(f"    df[{i + 8 * j}] *= kD;")
        if i != j:
            hst.append(f"    df[{j + 8 * i}] = df[{i + 8 * j}];")
    est[0] = est[0].replace("return kU * ( = ", "return kU * (")
    est[-1] = est[-1][:-1] + ");"
    out = ['// Closed forms of the Ritz model of an elliptic delamination: the strain energy, its',
           '// gradient and its Hessian as exact integrals over the ellipse, written by',
           '// scripts/dg8_forms.py (rational arithmetic on the polynomial fields; edit the script,',
           '// not this file).',
           '#include "delamination/dg8_model.hpp"', '',
           'namespace vorlen::dg8::forms {', 'namespace {', '',
           f'// pi / {DEN_U} and pi / {DEN_D}: every coefficient below is an integer.',
           f'constexpr double kU = 3.141592653589793 / {DEN_U}.0;',
           f'constexpr double kD = 3.141592653589793 / {DEN_D}.0;', '']
    out += terms_struct(wr)
    out += ["double Terms::energy() const {"] + est + ["}", ""]
    out += ["void Terms::gradient(double* f) const {"] + gst + ["}", ""]
    out += ["void Terms::hessian(double* df) const {"] + hst + ["}", ""]
    out += ["}  // namespace", "",
            "// Every input is read before a result is written: f and df may share storage with them.",
            "double energy(const double* vec, const double* eps, const double* a, const double* b,",
            "              const double* abd) {",
            "    return Terms(vec, eps, *a, *b, abd, 4).energy();", "}", "",
            "void gradient(double* f, const double* vec, const double* eps, const double* a,",
            "              const double* b, const double* abd) {",
            "    Terms(vec, eps, *a, *b, abd, 3).gradient(f);", "}", "",
            "void hessian(double* df, const double* vec, const double* eps, const double* a,",
            "             const double* b, const double* abd) {",
            "    Terms(vec, eps, *a, *b, abd, 2).hessian(df);", "}", "",
            "}  // namespace vorlen::dg8::forms", ""]
    return "\n".join(out)


def expanded_terms(forms, coef):
    terms = []
    for s in STIFF:
        for k, c in sorted(forms.get(s, {}).items()):
            (ea, eb), mono = split(k)
            f = [number(abs(c)), s] + [x for n, nm in zip((ea, eb), "ab")
                                        for x in ([nm] * n if n > 0 else ["i" + nm] * -n)]
            f += list(mono)
            terms.append(("-" if c < 0 else "+") + " " + "*".join(f))
    return terms


def bench():
    u, f, h = pieces(energy())
    out = ["// Expanded closed forms of the dg8 Ritz model, every term written out (written by",
           "// scripts/dg8_forms.py --bench): the straight-line kernel the library is timed against.",
           "#pragma once", "", "namespace dg8_expanded {", ""]
    pre = ["    const double p1 = vec[0], p2 = vec[1], q1 = vec[2], q2 = vec[3];",
           "    const double r1 = vec[4], r2 = vec[5], r3 = vec[6], r4 = vec[7];",
           "    const double e1 = eps[0], e2 = eps[1], e6 = eps[2];",
           "    const double ia = 1.0 / a, ib = 1.0 / b;"] + ["    " + l for l in read_abd()]
    pre += ["    (void)p1, (void)p2, (void)q1, (void)q2, (void)e1, (void)e2, (void)e6, (void)ia,"
            " (void)ib;"]
    out += ["inline void fdf(double* f, double* df, const double* vec, const double* eps, double a,",
            "                double b, const double* abd) {"] + pre
    for i in range(8):
        t = expanded_terms(f[i], None)
        out.append(f"    f[{i}] = 3.141592653589793 / {DEN_D}.0 * (0.0")
        out += ["        " + x for x in t]
        out[-1] += ");"
    for (i, j), hij in h.items():
        t = expanded_terms(hij, None)
        out.append(f"    df[{i + 8 * j}] = 3.141592653589793 / {DEN_D}.0 * (0.0")
        out += ["        " + x for x in t]
        out[-1] += ");"
        if i != j:
            out.append(f"    df[{j + 8 * i}] = df[{i + 8 * j}];")
    out += ["}", "", "}  // namespace dg8_expanded", ""]
    return "\n".join(out)


if __name__ == "__main__":
    root = pathlib.Path(__file__).resolve().parent.parent
    if "--bench" in sys.argv:
        (root / "bench" / "dg8_expanded.hpp").write_text(bench())
    else:
        (root / "src" / "delamination" / "dg8_forms.cpp").write_text(library())
