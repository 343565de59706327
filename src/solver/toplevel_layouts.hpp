// Component layouts of the solver conventions: the direct and shear counts a stress vector of
// each solver may have. The counts are compared one by one, so no extent overflows a sum.
#pragma once
#include "base/types.hpp"

namespace vorlen::toplevel {

// Implicit solvers (UMAT, USERMAT): three-dimensional (3, 3, 6), plane strain and axisymmetric
// (3, 1, 4), plane stress (2, 1, 3).
constexpr bool implicit_layout(i64 ndi, i64 nshr, i64 ntens) noexcept {
    return (ndi == 3 && nshr == 3 && ntens == 6) || (ndi == 3 && nshr == 1 && ntens == 4) ||
           (ndi == 2 && nshr == 1 && ntens == 3);
}

// Components of an implicit point into which a refused call may still write its fallback: ntens
// when (ndi, nshr, ntens) is a layout, else 0 (a tangent of NTENS x NTENS beyond the layouts
// would overflow or reach past the arrays of any element).
constexpr i64 implicit_fallback_components(i64 ndi, i64 nshr, i64 ntens) noexcept {
    return implicit_layout(ndi, nshr, ntens) ? ntens : 0;
}

// Explicit solvers (VUMAT): three-dimensional (3, 3), and (3, 1) for plane strain,
// axisymmetric and plane stress elements.
constexpr bool explicit_layout(i64 ndir, i64 nshr) noexcept {
    return ndir == 3 && (nshr == 3 || nshr == 1);
}

// Components of a stress row into which a refused call may still write its fallback: ndir +
// nshr when that is 0 to 6 (no layout has more), else 0 (negative or oversized counts).
constexpr i64 fallback_components(i64 ndir, i64 nshr) noexcept {
    const i64 n = ndir + nshr;
    return n >= 0 && n <= 6 ? n : 0;
}

}  // namespace vorlen::toplevel
