// Ply-stack pieces shared by the laminate routines: the ply loop with its coordinates, ply
// stiffness, stack matrices, the plies of a section column, 3 by 3 algebra and the evaluation of
// shear shape matrices. Not exported.
#pragma once
#include "base/view.hpp"

namespace vorlen::laminate::detail {

inline constexpr double deg2rad = 0.017453292519943295;

// Sum of the first n thicknesses.
double stack_thickness(const double* t, i64 n);

// Calls f(k, zb, zt) for plies k = 1..n bottom to top, z measured from a plane r above the
// mid-plane. The partial sums run in ply order, so every coordinate is bit for bit the one
// GetPlyZCoord gives for the same ply.
template <class F>
void for_each_ply(const double* t, i64 n, double r, F&& f) {
    const double offset = -stack_thickness(t, n) / 2.0 - r;
    double below = 0.0;
    for (i64 k = 1; k <= n; ++k) {
        const double zb = offset + below;
        below += t[k - 1];
        f(k, zb, offset + below);
    }
}

// q(3,3): plane-stress stiffness (11, 22, 12) of a ply rotated to its angle in degrees.
void ply_stiffness(double* q, const double* props, const double* dangle);

// A, B and D of a stack in one pass over the plies: x(3,3) = (1/m) sum over the plies of
// Qbar_k (zt^m - zb^m) for x = a, b, d and m = 1, 2, 3; a null pointer skips its matrix.
void stack_matrices(double* a, double* b, double* d, const double* plyelastic,
                    const double* plyorientation, const double* plythickness, i64 n);

// One of them: A for m = 1, B for 2, D for 3.
void stack_stiffness(double* x, int m, const double* plyelastic, const double* plyorientation,
                     const double* plythickness, i64 n);

// Number of plies of a section: the slots of column(nplies) before the first marker, all of
// them when the column holds none.
i32 section_plies(const i32* column, const i32* nplies, i32 marker);

// Number of plies of a section to be worked on: section_plies, or 0 when all properties
// props(9, n_s) of its plies are zero.
i32 active_plies(const i32* column, const i32* nplies, i32 marker, const double* props);

// z(3,3) = x(3,3) y(3,3); z must not overlap x or y.
void mul3(const double* x, const double* y, double* z);

// xinv(3,3) = x(3,3)^-1 by MatrixInverse (which reports a singular x).
void inverse3(const double* x, double* xinv);

// Shape-matrix factors of a stack: fa = A^-1 B (D*)^-1 and fb = (D*)^-1, D* = D - B A^-1 B.
//   fa(3,3), fb(3,3) (out)
void shape_factors(const double* plyelastic, const double* plyorientation,
                   const double* plythickness, i64 n, double* fa, double* fb);

// The turn of a stack's shape matrices to its decoupling angle and back.
struct Decoupling {
    double ttinv[9];  // (T^t)^-1, T the strain transformation to the decoupling angle
    double tt[9];     // T^t
    double r2[4];     // upper-left 2 by 2 block of the rotation about axis 3 by that angle
};
// The decoupling turn of a stack of n plies (GetDecoupAngle reports an empty stack).
Decoupling decoupling(const double* plyelastic, const double* plyorientation,
                      const double* plythickness, const i32* n);

// smallf(2,2) (out): the shape matrix from the partial integrals aprt(3,3), bprt(3,3) (in) at
// a coordinate and the factors fa(3,3), fb(3,3) (in) of the stack.
void shape_matrix(const Decoupling& turn, const double* aprt, const double* bprt, const double* fa,
                  const double* fb, double* smallf);

// Integrals of Qbar and Qbar z from the bottom of the stack, kept while walking up the plies.
struct Partials {
    double a[9] = {};   // sum over the plies passed of Qbar (zt - zb)
    double b2[9] = {};  // sum over the plies passed of Qbar (zt^2 - zb^2)
    // aprt(3,3), bprt(3,3) (out) at z inside the ply of stiffness q(3,3) and bottom zb.
    void at(const double* q, double zb, double z, double* aprt, double* bprt) const;
    // Adds the whole ply of stiffness q(3,3) from zb to zt.
    void pass(const double* q, double zb, double zt);
};

// Walks the plies of a stack bottom to top and calls f(k, zb, zt, shape) for each, where
// shape(z, smallf) writes the shape matrix smallf(2,2) at z inside ply k; fa(3,3), fb(3,3) as
// for shape_matrix.
template <class F>
void for_each_ply_shape(const double* plyelastic, const double* plyorientation,
                        const double* plythickness, const i32* n, const double* fa,
                        const double* fb, F&& f) {
    const Decoupling turn = decoupling(plyelastic, plyorientation, plythickness, n);
    Partials below;
    for_each_ply(plythickness, *n, 0.0, [&](i64 k, double zb, double zt) {
        double q[9];
        ply_stiffness(q, plyelastic + 9 * (k - 1), plyorientation + (k - 1));
        f(k, zb, zt, [&](double z, double* smallf) {
            double aprt[9], bprt[9];
            below.at(q, zb, z, aprt, bprt);
            shape_matrix(turn, aprt, bprt, fa, fb, smallf);
        });
        below.pass(q, zb, zt);
    });
}

}  // namespace vorlen::laminate::detail
