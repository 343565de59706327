// Shape-function matrices assembled from the kernels of the element families.
#include "elements/elementhandling_shape.hpp"

#include "elements/hex8.hpp"
#include "elements/quad4.hpp"
#include "elements/quad8.hpp"
#include "elements/tria6.hpp"

namespace vorlen::elementhandling {
extern "C" {

void Tria6ShapeFunMatrix(double* nshape, const double* xi, const double* eta) {
    const double x = *xi, e = *eta;
    Mat<double> m(nshape, 6, 6);
#pragma GCC unroll 8
    for (int i = 1; i <= 6; ++i) {
        m(i, 1) = tria6::sf(x, e, i);
        m(i, 2) = tria6::dxi(x, e, i);
        m(i, 3) = tria6::deta(x, e, i);
        m(i, 4) = tria6::dxixi(i);
        m(i, 5) = tria6::detaeta(i);
        m(i, 6) = tria6::dxieta(i);
    }
}

void Quad8ShapeFunMatrix(double* nshape, const double* xi, const double* eta) {
    const double x = *xi, e = *eta;
    Mat<double> m(nshape, 8, 6);
#pragma GCC unroll 8
    for (int i = 1; i <= 8; ++i) {
        m(i, 1) = quad8::sf(x, e, i);
        m(i, 2) = quad8::dxi(x, e, i);
        m(i, 3) = quad8::deta(x, e, i);
        m(i, 4) = quad8::dxixi(x, e, i);
        m(i, 5) = quad8::detaeta(x, e, i);
        m(i, 6) = quad8::dxieta(x, e, i);
    }
}

void Quad4ShapeFunMatrix(double* nshape, const double* xi, const double* eta) {
    const double x = *xi, e = *eta;
    Mat<double> m(nshape, 4, 3);
#pragma GCC unroll 8
    for (int i = 1; i <= 4; ++i) {
        m(i, 1) = quad4::sf(x, e, i);
        m(i, 2) = quad4::dxi(x, e, i);
        m(i, 3) = quad4::deta(x, e, i);
    }
}

void Hex8ShapeFunMatrix(double* nshape, const double* xi, const double* eta, const double* zeta) {
    const double x[3] = {*xi, *eta, *zeta};
    Mat<double> m(nshape, 8, 9);
#pragma GCC unroll 8
    for (int i = 1; i <= 8; ++i) {
        m(i, 1) = hex8::sf(x, i);
        m(i, 2) = hex8::d1(x, i, 1);
        m(i, 3) = hex8::d1(x, i, 2);
        m(i, 4) = hex8::d1(x, i, 3);
        m(i, 5) = m(i, 6) = m(i, 7) = 0.0;
        m(i, 8) = hex8::d2(x, i, 1, 2);
        m(i, 9) = hex8::d2(x, i, 1, 3);
    }
}

}  // extern "C"
}  // namespace vorlen::elementhandling
