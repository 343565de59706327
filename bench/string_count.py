"""Cost of stringhandling.tally on long texts, exact (csflag 1) and without regard to case
(csflag 0), with str.count of the same text for scale: the Python call, and the library's
C-linkage entry through ctypes (the count without the conversion of the Python texts).

Run from a build: PYTHONPATH=build/python /usr/bin/python3 bench/string_count.py [--runs R]
[--before DIR]
Each run is a child process that times every text and mode (the best of a few repeats). With
--before <python folder of an earlier build>, runs of that build alternate with runs of this
one, the counts of both must agree, and the goal is that no text in either mode takes longer
than with the earlier build, neither from Python nor at the entry. The ranges over the runs
are printed; the exit status is 1 when the median of this build's runs is above that of the
earlier build's. Pin the process to one core (taskset -c N) on a quiet machine.
"""
import argparse
import ctypes
import json
import os
import statistics
import subprocess
import sys
import timeit

FOX = "the Quick brown fox " * 50_000
CASES = [
    ("fox x 50,000 / fox", FOX, "fox"),
    ("a x 1e6 / a x 50 + b", "a" * 1_000_000, "a" * 50 + "b"),
    ("fox x 50,000 / brown fox the quick", FOX, "brown fox the quick"),
    ("ab x 500,000 / abab", "ab" * 500_000, "abab"),
]
MODES = (1, 0)


def best(fn, number=5, repeat=5):
    return min(timeit.repeat(fn, number=number, repeat=repeat)) / number * 1e3


def child():
    """Times of this process's _vorlen: {label: {mode: [ms, count, ms at the entry]},
    str.count}."""
    import _vorlen

    tally = _vorlen.stringhandling.tally
    entry = ctypes.CDLL("libvorlen.so").stringhandling_tally  # the library _vorlen is linked with
    entry.restype = ctypes.c_int32
    i32 = ctypes.c_int32
    out = {}
    for label, s, text in CASES:
        b, t, ls, lt = s.encode(), text.encode(), i32(len(s)), i32(len(text))

        def at_entry(m):
            flag = i32(m)
            return best(lambda: entry(b, t, ctypes.byref(flag), ctypes.byref(ls), ctypes.byref(lt)))

        row = {str(m): [best(lambda: tally(s, text, m)), int(tally(s, text, m)), at_entry(m)]
               for m in MODES}
        row["str.count"] = best(lambda: s.count(text))
        out[label] = row
    json.dump(out, sys.stdout)


def run(folder):
    env = dict(os.environ)
    if folder:
        env["PYTHONPATH"] = folder
    res = subprocess.run([sys.executable, __file__, "--child"], env=env, check=True,
                         capture_output=True, text=True)
    return json.loads(res.stdout)


def span(values):
    return f"{min(values):7.3f}-{max(values):7.3f}"


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--child", action="store_true")
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--before", default=None)
    args = parser.parse_args()
    if args.child:
        return child()
    now, before = [], []
    for _ in range(args.runs):
        now.append(run(None))
        if args.before:
            before.append(run(os.path.abspath(args.before)))
    status = 0
    print(f"milliseconds per call over {args.runs} runs (min-max)")
    for label, _, _ in CASES:
        print(f"{label}: str.count {span([r[label]['str.count'] for r in now])}")
        for m in map(str, MODES):
            t, e = ([r[label][m][k] for r in now] for k in (0, 2))
            line = f"    csflag {m}: {span(t)} (entry {span(e)})"
            if before:
                tb, eb = ([r[label][m][k] for r in before] for k in (0, 2))
                counts = {r[label][m][1] for r in now + before}
                slower = any(statistics.median(x) > statistics.median(y)
                             for x, y in ((t, tb), (e, eb)))
                line += f"   before {span(tb)} (entry {span(eb)})" + ("   SLOWER" if slower else "")
                if len(counts) != 1:
                    line += f"   COUNTS DIFFER {sorted(counts)}"
                status |= slower or len(counts) != 1
            print(line)
    return int(status)


if __name__ == "__main__":
    sys.exit(main())
