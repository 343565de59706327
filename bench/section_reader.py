"""Timing of iohandling.getsectiondatafromfile for one section of many plies against
numpy.loadtxt of the same orientations and thicknesses, in one run.

The reader's cost should grow with the ply count as loadtxt's does (each section point's z
coordinate is summed once along the stack). Prints both times and their ratio for 10^4 and 10^5
plies, with the range of the ratio over interleaved rounds. Run with PYTHONPATH=<build>/python.
"""
import pathlib
import tempfile
import timeit

import numpy as np

import _vorlen


def pad(text):
    return str(text).ljust(256)


def main():
    rng = np.random.default_rng(1)
    with tempfile.TemporaryDirectory() as folder:
        root = pathlib.Path(folder)
        for n in (10_000, 100_000):
            thick = np.round(rng.uniform(0.1, 0.3, n), 4)
            (root / "SectionCard.vrl").write_text(
                "++Begin Section, SECID=1\n+Material\n1\n+Orientation\n" + "0\n" * n +
                "+Thickness\n" + "\n".join(map(str, thick)) + "\n++End Section\n")
            (root / "numbers.txt").write_text("0\n" * n + "\n".join(map(str, thick)) + "\n")

            def reader():
                _vorlen.datahandling.deallocall()
                _vorlen.sectiondata.nsec = 1
                _vorlen.sectiondata.nplies = 1
                _vorlen.iohandling.getsectiondatafromfile(pad(root / "deck.inp"), pad(root))

            def loadtxt():
                np.loadtxt(root / "numbers.txt")

            t_reader, t_numpy = [], []
            for _ in range(5):
                t_reader.append(timeit.timeit(reader, number=1))
                t_numpy.append(timeit.timeit(loadtxt, number=1))
            ratios = [r / q for r, q in zip(t_reader, t_numpy)]
            print(f"{n:7d} plies: reader {np.median(t_reader) * 1e3:8.2f} ms, numpy.loadtxt "
                  f"{np.median(t_numpy) * 1e3:8.2f} ms, ratio {min(ratios):.2f}-{max(ratios):.2f}")


if __name__ == "__main__":
    main()
