"""A unidirectional ply pulled along its fibres until they break.

The fibre ply material routine (elastic orthotropic ply, fibre strength check, stiffness reduced
to 1 % once the fibres have failed) is driven like a finite-element solver drives it at one
integration point: the analysis is started and released, every increment is set up and closed,
and the routine is called with its whole argument list. The strain eps11 rises from 0 to 0.02 in
40 increments under uniaxial stress: the other five stress components are held at zero by
Newton iterations on the routine's tangent. Prints eps11 and sig11 (MPa) per increment and, when
matplotlib is installed, saves the curve as ply_tension.png in the folder given as argument (the
current folder by default) and prints the file's path.

    PYTHONPATH=build/python /usr/bin/python3 examples/ply_tension.py [folder]
"""
import os
import sys
import tempfile

import numpy as np

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tools"))
from solverdriver import Job, umat_path  # noqa: E402

# E1, E2, E3, nu12, nu13, nu23, G12, G13, G23 (MPa), then XT, XC (MPa) and the factor applied to
# the elastic constants once the fibres have failed.
props = [140000, 10000, 10000, 0.3, 0.3, 0.45, 5000, 5000, 3500, 2000, 1200, 0.01]
strains = np.zeros((41, 6))
strains[:, 0] = np.linspace(0.0, 0.02, 41)

with tempfile.TemporaryDirectory() as folder, Job(folder) as job:
    r = umat_path("umat_fiber", props, strains, nstatv=12, control=[True] + [False] * 5,
                  job=job, cmname="PLY")

print("eps11 sig11")
for eps, sig in zip(r.strain[1:, 0], r.stress[1:, 0]):
    print(f"{eps:.8f} {sig:.8f}")

try:
    import matplotlib
    matplotlib.use("Agg")
    import matplotlib.pyplot as plt
except ImportError:
    plt = None
if plt is not None:
    fig, ax = plt.subplots(figsize=(5, 3.5))
    ax.plot(r.strain[:, 0], r.stress[:, 0], marker=".")
    ax.set_xlabel("eps11")
    ax.set_ylabel("sig11 (MPa)")
    ax.set_title("Ply under fibre-direction tension")
    fig.tight_layout()
    png = os.path.abspath(os.path.join(sys.argv[1] if len(sys.argv) > 1 else ".",
                                       "ply_tension.png"))
    fig.savefig(png, dpi=120)
    print(f"curve saved as {png}")
