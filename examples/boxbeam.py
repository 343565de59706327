"""Cross-section properties of a two-cell wing box.

An aluminium wing box with a front, a middle and a rear spar: six spar caps (booms) joined by
upper and lower skins and three spar webs, forming two closed cells. The box-beam analysis
gives its axial and bending stiffnesses, stiffness and mass centres, principal axes, shear
centre and torsional stiffness, and the shear flows under a lift force with its torque.

The section and the load go into the exported box-beam data modules of libvorlen.so, written
here through ctypes; _vorlen.boxbeamio sets the modules up and runs the analysis.
Units: N, mm and tonnes (t), so stiffnesses are in N*mm^2 and masses per length in t/mm.
"""
import ctypes

import numpy as np

import _vorlen

lib = ctypes.CDLL("libvorlen.so")  # already loaded with _vorlen: the same library


def allocatable(name, ctype, rank=1):
    """The array behind an allocatable module variable: its record holds the data pointer,
    the storage block and the extents; the data are column-major."""
    class Record(ctypes.Structure):
        _fields_ = [("data", ctypes.c_void_p), ("block", ctypes.c_void_p),
                    ("extents", ctypes.c_int64 * rank)]
    rec = Record.in_dll(lib, name)
    shape = tuple(rec.extents)
    flat = np.ctypeslib.as_array(ctypes.cast(rec.data, ctypes.POINTER(ctype)),
                                 shape=(int(np.prod(shape)),))
    return flat.reshape(shape, order="F")


def real(name):
    return ctypes.c_double.in_dll(lib, name)


def integer(name):
    return ctypes.c_int32.in_dll(lib, name)


E, G, rho = 70000.0, 27000.0, 2.7e-9  # MPa, MPa, t/mm^3
cap_area = 400.0  # mm^2
skin, web = 2.0, 3.0  # thicknesses, mm

# Spar caps (y, z in mm): front spar at y = 0, middle spar at 400, rear spar at 1000.
booms = [(0.0, 100.0), (400.0, 120.0), (1000.0, 80.0),
         (1000.0, -80.0), (400.0, -120.0), (0.0, -100.0)]
# Walls (start boom, end boom, thickness): upper skin, rear spar, lower skin, front spar,
# middle spar. A positive shear flow runs from the start boom to the end boom.
walls = [(1, 2, skin), (2, 3, skin), (3, 4, web), (4, 5, skin), (5, 6, skin), (6, 1, web),
         (2, 5, web)]
cells = [(1, 2, 5, 6), (2, 3, 4, 5)]  # front and rear cell, each traversed once

_vorlen.boxbeamio.box_initialize()  # capacities of 100 walls, booms and cells

yi, zi, bi, myi = (allocatable("gurt_" + n, ctypes.c_double) for n in ("yi", "zi", "bi", "myi"))
for i, (y, z) in enumerate(booms):
    yi[i], zi[i], bi[i], myi[i] = y, z, E * cap_area, rho * cap_area
integer("gurt_ig").value = len(booms)

ig1, ig2 = (allocatable("wand_" + n, ctypes.c_int32) for n in ("ig1", "ig2"))
wall = {n: allocatable("wand_" + n, ctypes.c_double)
        for n in ("yk0", "zk0", "yklk", "zklk", "bk", "gk", "rhok")}
for k, (a, b, t) in enumerate(walls):
    ig1[k], ig2[k] = a, b
    (wall["yk0"][k], wall["zk0"][k]), (wall["yklk"][k], wall["zklk"][k]) = booms[a - 1], booms[b - 1]
    wall["bk"][k], wall["gk"][k], wall["rhok"][k] = E * t, G * t, rho * t
integer("wand_kw").value = len(walls)

iak, ia = allocatable("zelle_iak", ctypes.c_int32), allocatable("zelle_ia", ctypes.c_int32, 2)
for i, ring in enumerate(cells):
    iak[i] = len(ring)
    ia[:len(ring), i] = ring
integer("zelle_az").value = len(cells)

# Load at the reference origin: 20 kN lift, a 4 kN*m nose-down torque, 30 kN*m bending.
real("spanug_qqz").value = 20000.0
real("spanug_qmx").value = -4.0e6
real("spanug_qmy").value = 3.0e7

_vorlen.boxbeamio.box_getxsection()
if _vorlen.errorhandling.errstat != 0:
    raise SystemExit(bytes(_vorlen.errorhandling.errstring).decode().strip())

q = {n: round(real("quer_" + n).value, 9) + 0.0 for n in
     ("bx", "m", "ys", "zs", "yt", "zt", "dyy", "dzy", "dzz", "alpha", "dyyste", "dzzste",
      "ymstac", "zmstac", "dt", "itt")}
print("Two-cell wing box: 6 spar caps, 7 walls, 2 cells")
print(f"  axial stiffness    EA  = {q['bx']:.4e} N")
print(f"  mass per length    m   = {q['m'] * 1e6:.3f} kg/m")
print(f"  stiffness centre   y   = {q['ys']:8.2f} mm   z = {q['zs']:7.2f} mm")
print(f"  mass centre        y   = {q['yt']:8.2f} mm   z = {q['zt']:7.2f} mm")
print(f"  shear centre       y   = {q['ymstac']:8.2f} mm   z = {q['zmstac']:7.2f} mm")
print("  bending stiffness about the stiffness centre (N*mm^2):")
print(f"    Dyy = {q['dyy']:.4e}   Dzy = {q['dzy']:.4e}   Dzz = {q['dzz']:.4e}")
print(f"  principal axes     alpha = {np.degrees(q['alpha']):.3f} deg:"
      f"  Dyy* = {q['dyyste']:.4e}   Dzz* = {q['dzzste']:.4e} N*mm^2")
print(f"  torsional stiffness GJ = {q['dt']:.4e} N*mm^2")
print(f"  polar mass moment about the mass centre = {q['itt']:.4e} t*mm")

t0, tl2, tl = (allocatable("kraft_" + n, ctypes.c_double) for n in ("t0", "tl2", "tl"))
print(f"\nUnder the load: twist {t0[len(walls)] * 1e3:.4e} rad/m; shear flows (N/mm)")
print("  wall  booms     start    middle       end")
for k, (a, b, _) in enumerate(walls):
    print(f"  {k + 1:4d}  {a}->{b}  {t0[k]:8.2f}  {tl2[k]:8.2f}  {tl[k]:8.2f}")
