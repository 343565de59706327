"""From ply properties to laminate stiffness and ply strains.

A quasi-isotropic [0/45/-45/90]s carbon/epoxy laminate (T300/5208 ply data from
Tsai and Hahn, Introduction to Composite Materials): its A, B and D matrices, engineering
constants, lamination parameters, and the ply strains under a combined load.
Units: MPa and mm, so A is in N/mm, B in N and D in N*mm.
"""
import numpy as np

import _vorlen

lamina, laminate = _vorlen.lamina, _vorlen.laminate

# Ply: E1, E2, nu12, nu23, G12 (MPa), 0.125 mm thick.
ply = lamina.getnyeproperties([181000.0, 10300.0, 0.28, 0.45, 7170.0])
angles = np.array([0.0, 45.0, -45.0, 90.0, 90.0, -45.0, 45.0, 0.0])  # degrees, bottom to top
thickness = np.full(angles.size, 0.125)
props = np.column_stack([ply] * angles.size)
h = thickness.sum()

a = laminate.getamatrix(props, angles, thickness)
b = laminate.getbmatrix(props, angles, thickness)
d = laminate.getdmatrix(props, angles, thickness)
abd = laminate.getabdmatrix(a, b, d)
# Blocks of the inverse of ABD: [[at, -bt^T], [-bt, dt]].
at, bt, dt = laminate.getabdtilde(a, b, d)

np.set_printoptions(precision=1, suppress=True, linewidth=100)
print(f"Laminate [0/45/-45/90]s, {angles.size} plies, h = {h:.3f} mm")
print(f"\nA (N/mm):\n{a}")
print(f"\nB (N):\n{b.round(6) + 0.0}")  # + 0.0 prints rounding noise -0.0 as 0.0
print(f"\nD (N*mm):\n{d}")

ex, ey, gxy, nuxy, nub, eyb, gxyb, _ = laminate.getengconstsfromabdmatrix(abd, h)
exb = 12.0 / (h**3 * dt[0, 0])  # the routine gives no bending Ex; from the bending compliance
print("\nMembrane engineering constants:")
print(f"  Ex = {ex / 1000:.2f} GPa   Ey = {ey / 1000:.2f} GPa   Gxy = {gxy / 1000:.2f} GPa"
      f"   nu_xy = {nuxy:.4f}")
print("Bending engineering constants:")
print(f"  Ex = {exb / 1000:.2f} GPa   Ey = {eyb / 1000:.2f} GPa   Gxy = {gxyb / 1000:.2f} GPa"
      f"   nu_xy = {nub:.4f}")

v = laminate.getvmatrix(np.radians(angles), thickness)
print("\nLamination parameters (dimensionless):")
print("              membrane  coupling   bending")
for name, row in zip(["cos 2theta", "cos 4theta", "sin 2theta", "sin 4theta"], v.round(10) + 0.0):
    print(f"  {name}  " + "  ".join(f"{x:8.4f}" for x in row))

# Load: Nx = 100 N/mm, Ny = 20 N/mm, Mx = 5 N*mm/mm; mid-plane strains and curvatures from
# the inverse blocks.
load_n, load_m = np.array([100.0, 20.0, 0.0]), np.array([5.0, 0.0, 0.0])
se = np.concatenate([at @ load_n - bt.T @ load_m, -bt @ load_n + dt @ load_m])
print("\nLoad: Nx = 100 N/mm, Ny = 20 N/mm, Mx = 5 N*mm/mm")
print("Mid-plane strains (microstrain): " + "  ".join(f"{x:8.1f}" for x in se[:3] * 1e6))
print("Curvatures (1/m):                " + "  ".join(f"{x:8.4f}" for x in se[3:] * 1e3))

strain = laminate.getsectionstrain(se, angles, thickness)
print("\nPly strains at ply mid-thickness, ply axes (microstrain):")
print("  ply  angle      eps11      eps22      gam12")
for k, angle in enumerate(angles):
    e = strain[:, 3 * k + 1] * 1e6
    print(f"  {k + 1:3d}  {angle:5.0f}  {e[0]:9.1f}  {e[1]:9.1f}  {e[2]:9.1f}")
