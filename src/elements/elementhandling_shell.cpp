// Shell kinematics and the recovery of transverse stresses in layered shell elements.
#include "elements/elementhandling_shell.hpp"

#include <algorithm>
#include <cmath>

#include "base/errorhandling.hpp"
#include "base/work.hpp"
#include "elements/elementhandling_kinds.hpp"
#include "elements/elementhandling_shape.hpp"
#include "elements/quad8.hpp"
#include "elements/tria6.hpp"
#include "materials/laminate_recovery.hpp"
#include "materials/laminate_shape.hpp"

namespace vorlen::elementhandling {
namespace {

constexpr double kGauss = 0.5773502691896257;
constexpr double rs8[4][2] = {{-kGauss, -kGauss}, {kGauss, -kGauss}, {kGauss, kGauss},
                              {-kGauss, kGauss}};
// The recovery points of the triangle as the decimal values of the element's tables.
constexpr double rs6[3][2] = {{0.16666666667, 0.16666666667},
                              {0.16666666667, 0.66666666667},
                              {0.66666666667, 0.16666666667}};

bool supported(i32 inodes) { return inodes == 6 || inodes == 8; }

void shape_matrix(double* ns, i32 inodes, double xi, double eta) {
    if (inodes == 6) Tria6ShapeFunMatrix(ns, &xi, &eta);
    else Quad8ShapeFunMatrix(ns, &xi, &eta);
}

// Columns N, N,xi, N,eta of the shape-function matrix, for the first derivatives alone.
void first_columns(double* ns, i32 inodes, double xi, double eta) {
    Mat<double> m(ns, inodes, 6);
    if (inodes == 6) {
#pragma GCC unroll 8
        for (int i = 1; i <= 6; ++i)
            m(i, 1) = tria6::sf(xi, eta, i), m(i, 2) = tria6::dxi(xi, eta, i),
            m(i, 3) = tria6::deta(xi, eta, i);
    } else {
#pragma GCC unroll 8
        for (int i = 1; i <= 8; ++i)
            m(i, 1) = quad8::sf(xi, eta, i), m(i, 2) = quad8::dxi(xi, eta, i),
            m(i, 3) = quad8::deta(xi, eta, i);
    }
}

// jacinv of a 2 x 2 jac; false (and zeros) when its determinant is 0.
bool invert2(double* inv, const double* jac) {
    const double a = jac[0], c = jac[1], b = jac[2], d = jac[3];  // jac(1,1), (2,1), (1,2), (2,2)
    const double det = a * d - b * c;
    if (det == 0.0) {
        std::fill_n(inv, 4, 0.0);
        return false;
    }
    inv[0] = d / det, inv[1] = -c / det, inv[2] = -b / det, inv[3] = a / det;
    return true;
}

void singular_jacobian() { errorhandling::report(-3, "Singular jacobian", "ShellJacobianInverse"); }

// Inverse Jacobian, second derivatives of the map and inverse of jac1 at one point.
struct Map {
    double ji[4] = {};  // jacinv(2,2)
    double j2[6] = {};  // jac2(3,2)
    double j1i[9] = {}; // jac1inv(3,3)
};

// The map of n nodes from the shape-function matrix ns(n,6); coord(i, r) is coordinate r of
// node i.
template <class C>
void jacobian_of(double* jac, const Mat<const double>& ns, C coord, i64 n) {
    double j[4] = {0.0, 0.0, 0.0, 0.0};
    for (i64 i = 1; i <= n; ++i) {
        const double x = coord(i, 1), y = coord(i, 2);
        j[0] += ns(i, 2) * x, j[2] += ns(i, 2) * y;
        j[1] += ns(i, 3) * x, j[3] += ns(i, 3) * y;
    }
    std::copy_n(j, 4, jac);
}

template <class C>
void map_of(Map& m, const Mat<const double>& ns, C coord, i64 n, bool second) {
    double jac[4];
    jacobian_of(jac, ns, coord, n);
    if (!invert2(m.ji, jac)) singular_jacobian();
    if (!second) return;
    std::fill_n(m.j2, 6, 0.0);
    for (i64 i = 1; i <= n; ++i) {
        const double x = coord(i, 1), y = coord(i, 2);
        for (int r = 0; r < 3; ++r) m.j2[r] += ns(i, 4 + r) * x, m.j2[3 + r] += ns(i, 4 + r) * y;
    }
    double j1[9];
    ShellFirstDerivJacobian(j1, jac);
    ShellFirstDerivJacobianInverse(m.j1i, j1);
}

// (N,x, N,y) of one node from (N,xi, N,eta).
inline void first(const Map& m, double nxi, double neta, double& nx, double& ny) {
    nx = m.ji[0] * nxi + m.ji[2] * neta;
    ny = m.ji[1] * nxi + m.ji[3] * neta;
}

// (N,xx, N,yy, N,xy) of one node from its natural second derivatives d2 and (N,x, N,y).
inline void second(const Map& m, const double* d2, double nx, double ny, double* out) {
    double v[3];
    for (int r = 0; r < 3; ++r) v[r] = d2[r] - (m.j2[r] * nx + m.j2[3 + r] * ny);
    for (int r = 0; r < 3; ++r) out[r] = m.j1i[r] * v[0] + m.j1i[3 + r] * v[1] + m.j1i[6 + r] * v[2];
}

// Shape functions and their Cartesian derivatives at one point of a 6- or 8-node shell.
struct Point {
    i32 n = 0;
    double N[8], x[8], y[8], xx[8], yy[8], xy[8];
};

void point_of(Point& p, const double* ncoords, i32 inodes, double xi, double eta, bool twice) {
    double ns[48];
    if (twice) shape_matrix(ns, inodes, xi, eta);
    else first_columns(ns, inodes, xi, eta);
    const Mat<const double> s(ns, inodes, 6), c(ncoords, 3, inodes);
    Map m;
    map_of(m, s, [&](i64 i, int r) { return c(r, i); }, inodes, twice);
    p.n = inodes;
    for (i64 i = 1; i <= inodes; ++i) {
        const i64 k = i - 1;
        p.N[k] = s(i, 1);
        first(m, s(i, 2), s(i, 3), p.x[k], p.y[k]);
        if (!twice) continue;
        const double d2[3] = {s(i, 4), s(i, 5), s(i, 6)};
        double o[3];
        second(m, d2, p.x[k], p.y[k], o);
        p.xx[k] = o[0], p.yy[k] = o[1], p.xy[k] = o[2];
    }
}

// Refuses a node count other than 6 or 8 for routine: zeros in out(m) and code -3.
bool refused(i32 inodes, double* out, i64 m, std::string_view routine) {
    if (supported(inodes)) return false;
    std::fill_n(out, m, 0.0);
    errorhandling::report(-3, "Node count other than 6 or 8", routine);
    return true;
}

// Derivatives of the shear strains (gamma_yz, gamma_xz) along x (dir 1) or y (dir 2).
void dshear(double* d, const Point& p, const double* u, int dir) {
    d[0] = d[1] = 0.0;
    for (i32 k = 0; k < p.n; ++k) {
        const double w = u[5 * k + 2], tx = u[5 * k + 3], ty = u[5 * k + 4];
        if (dir == 1) {
            d[0] += p.xy[k] * w - p.x[k] * tx;
            d[1] += p.xx[k] * w + p.x[k] * ty;
        } else {
            d[0] += p.yy[k] * w - p.y[k] * tx;
            d[1] += p.xy[k] * w + p.y[k] * ty;
        }
    }
}

void times_h(double* r, const double* h, const double* g) {
    const double a = h[0] * g[0] + h[2] * g[1], b = h[1] * g[0] + h[3] * g[1];
    r[0] = a, r[1] = b;
}

void deriv_b(double* out, const double* ncoords, const i32* inodes, const double* xi,
             const double* eta, int dir, std::string_view routine) {
    if (refused(*inodes, out, 80, routine)) return;
    Point p;
    point_of(p, ncoords, *inodes, *xi, *eta, true);
    std::fill_n(out, 80, 0.0);
    Mat<double> b(out, 2, 40);
    for (i32 k = 0; k < p.n; ++k) {
        const i32 c = 5 * k;
        const double d = dir == 1 ? p.x[k] : p.y[k];
        b(1, c + 3) = dir == 1 ? p.xy[k] : p.yy[k];
        b(1, c + 4) = -d;
        b(2, c + 3) = dir == 1 ? p.xx[k] : p.xy[k];
        b(2, c + 5) = d;
    }
}

void deriv_r(double* out, const double* u, const double* hmat, const double* ncoords,
             const i32* inodes, const double* xi, const double* eta, int dir,
             std::string_view routine) {
    if (refused(*inodes, out, 2, routine)) return;
    Point p;
    point_of(p, ncoords, *inodes, *xi, *eta, true);
    double g[2];
    dshear(g, p, u, dir);
    times_h(out, hmat, g);
}

// Element data of the recovery: the nodes and points of a kind, 0 nodes for none.
struct Layout {
    i32 nodes = 0, points = 0;
    double weight = 0.0;
    const double (*rs)[2] = nullptr;
};

constexpr Layout quad_layout{8, 4, 0.25, rs8};
constexpr Layout tria_layout{6, 3, 0.3333333333333333, rs6};

bool any_nonzero(const double* a, i64 n) {
    return std::any_of(a, a + n, [](double v) { return v != 0.0; });
}

}  // namespace

extern "C" {

void ShellJacobian(double* jac, double* nshape, const double* ncoords, const i32* inodes,
                   const double* xi, const double* eta) {
    const i32 n = *inodes;
    if (!supported(n)) {
        std::fill_n(jac, 4, 0.0);
        std::fill_n(nshape, 6 * i64{std::max<i32>(n, 0)}, 0.0);
        errorhandling::report(-3, "Unknown or unsupported element type.");
        return;
    }
    double ns[48], j[4];
    shape_matrix(ns, n, *xi, *eta);
    const Mat<const double> c(ncoords, 3, n);
    jacobian_of(j, Mat<const double>(ns, n, 6), [&](i64 i, int r) { return c(r, i); }, n);
    std::copy_n(ns, 6 * n, nshape);
    std::copy_n(j, 4, jac);
}

void ShellJacobianInverse(double* jacinv, const double* jac) {
    if (!invert2(jacinv, jac)) singular_jacobian();
}

void ShellSecondDerivJacobian(double* jac2, const double* nshape, const double* ncoords,
                              const i32* inodes, const double*, const double*) {
    const i64 n = std::max<i32>(*inodes, 0);
    const Mat<const double> s(nshape, n, 6), c(ncoords, 3, n);
    double j2[6] = {0.0, 0.0, 0.0, 0.0, 0.0, 0.0};
    for (i64 i = 1; i <= n; ++i)
        for (int r = 0; r < 3; ++r) j2[r] += s(i, 4 + r) * c(1, i), j2[3 + r] += s(i, 4 + r) * c(2, i);
    std::copy_n(j2, 6, jac2);
}

void ShellFirstDerivJacobian(double* jac1, const double* jac) {
    const double j11 = jac[0], j21 = jac[1], j12 = jac[2], j22 = jac[3];
    const double m[9] = {j11 * j11, j21 * j21, j11 * j21,               // column 1
                         j12 * j12, j22 * j22, j12 * j22,               // column 2
                         2.0 * j11 * j12, 2.0 * j21 * j22, j11 * j22 + j12 * j21};
    std::copy_n(m, 9, jac1);
}

void ShellFirstDerivJacobianInverse(double* jac1inv, const double* jac1) {
    const Mat<const double> a(jac1, 3, 3);
    double cof[9];
    Mat<double> c(cof, 3, 3);  // c(i, j): cofactor of a(j, i), the adjugate
    for (int i = 1; i <= 3; ++i)
        for (int j = 1; j <= 3; ++j) {
            const int r1 = j % 3 + 1, r2 = (j + 1) % 3 + 1, c1 = i % 3 + 1, c2 = (i + 1) % 3 + 1;
            c(i, j) = a(r1, c1) * a(r2, c2) - a(r1, c2) * a(r2, c1);
        }
    const double det = a(1, 1) * c(1, 1) + a(1, 2) * c(2, 1) + a(1, 3) * c(3, 1);
    if (det == 0.0) {
        std::fill_n(jac1inv, 9, 0.0);
        errorhandling::report(-3, "Singular first derivative of jacobian");
        return;
    }
    for (int k = 0; k < 9; ++k) jac1inv[k] = cof[k] / det;
}

void ShellBMatrix(double* b, const double* ncoords, const i32* inodes, const double* xi,
                  const double* eta) {
    if (refused(*inodes, b, 320, "ShellBMatrix")) return;
    Point p;
    point_of(p, ncoords, *inodes, *xi, *eta, false);
    std::fill_n(b, 320, 0.0);
    Mat<double> m(b, 8, 40);
    for (i32 k = 0; k < p.n; ++k) {
        const i32 c = 5 * k;
        const double n = p.N[k], nx = p.x[k], ny = p.y[k];
        m(1, c + 1) = nx;
        m(2, c + 2) = ny;
        m(3, c + 1) = ny, m(3, c + 2) = nx;
        m(4, c + 5) = nx;
        m(5, c + 4) = -ny;
        m(6, c + 4) = -nx, m(6, c + 5) = ny;
        m(7, c + 3) = ny, m(7, c + 4) = -n;
        m(8, c + 3) = nx, m(8, c + 5) = n;
    }
}

void ShellxDerivBMatrix(double* xderivb, const double* ncoords, const i32* inodes,
                        const double* xi, const double* eta) {
    deriv_b(xderivb, ncoords, inodes, xi, eta, 1, "ShellxDerivBMatrix");
}

void ShellyDerivBMatrix(double* yderivb, const double* ncoords, const i32* inodes,
                        const double* xi, const double* eta) {
    deriv_b(yderivb, ncoords, inodes, xi, eta, 2, "ShellyDerivBMatrix");
}

void ShellxDerivShearForces(double* xderivr, const double* u, const double* hmat,
                            const double* ncoords, const i32* inodes, const double* xi,
                            const double* eta) {
    deriv_r(xderivr, u, hmat, ncoords, inodes, xi, eta, 1, "ShellxDerivShearForces");
}

void ShellyDerivShearForces(double* yderivr, const double* u, const double* hmat,
                            const double* ncoords, const i32* inodes, const double* xi,
                            const double* eta) {
    deriv_r(yderivr, u, hmat, ncoords, inodes, xi, eta, 2, "ShellyDerivShearForces");
}

void GetCurvatures(double* delta, double* kappa, const double* nshape, const double* lncoords,
                   const i32* inodes) {
    const i64 n = std::max<i32>(*inodes, 0);
    const Mat<const double> s(nshape, n, 6), c(lncoords, n, 3);
    Map m;
    map_of(m, s, [&](i64 i, int r) { return c(i, r); }, n, true);
    double k1 = 0.0, k2 = 0.0, k12 = 0.0;
    for (i64 i = 1; i <= n; ++i) {
        double nx, ny, o[3];
        const double d2[3] = {s(i, 4), s(i, 5), s(i, 6)};
        first(m, s(i, 2), s(i, 3), nx, ny);
        second(m, d2, nx, ny, o);
        const double z = c(i, 3);
        k1 += o[0] * z, k2 += o[1] * z, k12 += o[2] * z;
    }
    constexpr double pi = 3.141592653589793, small = 1e-6;
    const double mean = (k1 + k2) / 2.0;
    const double rad = std::sqrt((k1 - k2) * (k1 - k2) / 4.0 + k12 * k12);
    const double p1 = mean + rad, p2 = mean - rad;
    const double kmax = std::abs(p1) > std::abs(p2) ? p1 : p2;
    double kmin = std::abs(p1) > std::abs(p2) ? p2 : p1;
    double d = 0.0, ka[2] = {0.0, 0.0};
    if (std::abs(kmax) >= small) {
        if (std::abs(kmax / kmin) > 20.0) kmin = 0.0;
        ka[0] = kmax, ka[1] = kmin;
    }
    if (std::abs(k12) > small) {
        d = std::atan(2.0 * k12 / (k1 - k2)) / 2.0;
        if (kmax > 0.0) d += pi / 2.0;
    } else if (std::abs(k1) < small) {
        d = 0.0;
    } else if (std::abs(k2) < small) {
        d = kmax < 0.0 ? -pi / 2.0 : pi / 2.0;
    }
    if (std::abs(std::abs(k1 / k2) - 1.0) < 0.01) d = 0.0;
    *delta = d;
    kappa[0] = ka[0], kappa[1] = ka[1];
}

void GetShellTransverseStresses(double* tnormalstress, double* tshearstress,
                                const double* nodalcoords, const double* nodesmotion,
                                const double* sestress, const double* sehmatrix,
                                const double* sefmatrix, const double* plyorientation,
                                const double* plythickness, const double* plyzcoord,
                                const double* plyelastic, const i32* elemsectionpoints,
                                const double* elemcurvatures, const i32* elemkind,
                                const i32* sectionlist, const i32* elemid, const i32* gpid,
                                const i32* secid, const i32* itnsflag, const i32* itshrflag,
                                const i32* nplies, const i32* nsec, const i32* nzcoord,
                                const i32* nintpoint, const i32* ndof, const i32* nnodes,
                                const i32* nelem, const i32* nsept) {
    static constexpr std::string_view routine = "GetShellTransverseStresses";
    const i64 e = *elemid, ne = std::max<i32>(*nelem, 0), nn = std::max<i32>(*nnodes, 0);
    const i64 nd = std::max<i32>(*ndof, 0), nip = std::max<i32>(*nintpoint, 0);
    const i64 np = *nplies, nz = *nzcoord, slots = nsept ? *nsept : 4;
    if (e == 0) return;
    if (e < 0 || e > ne) {
        errorhandling::report(-3, "Element outside the tables", routine);
        return;
    }
    const View<const double, 3> xyz(nodalcoords, 3, nn, ne), mot(nodesmotion, nd, nn, ne);
    const i32 kind = elemkind[e - 1];
    Layout lay;
    if (kind == 4 || kind == 5) lay = quad_layout;
    else if (kind == 8) lay = tria_layout;
    else if (kind >= 1 && kind <= 3 && nn == 8 && any_nonzero(&xyz(1, 5, e), 12) &&
             any_nonzero(&mot(1, 5, e), 4 * nd))
        lay = quad_layout;
    else return;
    const bool normal = *itnsflag != 0, shear = *itshrflag != 0;
    if (!normal && !shear) return;
    const i64 nspt = elemsectionpoints[e - 1];
    const char* problem = nullptr;
    if (nn < lay.nodes) problem = "Node slots fewer than the element's nodes";
    else if (shear && (*gpid < 1 || *gpid > lay.points))
        problem = "Integration point outside the element";
    else if (*secid < 1 || *secid > *nsec) problem = "Section outside the tables";
    else if (np < 1) problem = "No ply";
    else if (nz != 2 * np + 1) problem = "Section point count other than 2 nplies + 1";
    else if (nspt < 1 || nspt * np > nip) problem = "Section points per ply outside the stores";
    else if (normal && slots < lay.points) problem = "Point slots of the stresses too few";
    if (problem) {
        errorhandling::report(-3, problem, routine);
        return;
    }
    double u[40];
    GetDisplacementVector(u, &mot(1, 1, e), &lay.nodes, ndof);
    if (!any_nonzero(u, 40)) return;

    const double* ncoords = &xyz(1, 1, e);
    const double xc = elemcurvatures[2 * (e - 1)], yc = elemcurvatures[2 * (e - 1) + 1];
    const bool curved = xc != 0.0 || yc != 0.0;
    const double larger = std::max(xc, yc), smaller = std::min(xc, yc);
    const i64 s = *secid - 1;
    const double* h = sehmatrix + 4 * s;
    const double *po = plyorientation + np * s, *zc = plyzcoord + nz * s;
    const double* fm = sefmatrix + 4 * nz * s;
    Work<double, 4 * 129> fg(4 * nz);
    const auto section_fg = [&](i32 csflag) {
        const i32 one = 1, fgflag = 1;
        const double xy[2] = {larger, smaller};
        laminate::GetArbitrarySectionFG(fg.data(), sectionlist + np * s, po, plythickness + np * s,
                                        zc, plyelastic + 9 * np * s, nplies, &one, &csflag,
                                        &fgflag, xy, nullptr);
    };
    Point p;

    double* tns_out = tnormalstress + nz * (e - 1);
    if (normal && !any_nonzero(tns_out, nz)) {
        double rdx[2] = {0.0, 0.0}, rdy[2] = {0.0, 0.0};
        const auto add = [&](double xi, double eta, double w) {
            point_of(p, ncoords, lay.nodes, xi, eta, true);
            double g[2], r[2];
            dshear(g, p, u, 1);
            times_h(r, h, g);
            rdx[0] += w * r[0], rdx[1] += w * r[1];
            dshear(g, p, u, 2);
            times_h(r, h, g);
            rdy[0] += w * r[0], rdy[1] += w * r[1];
        };
        if (*itnsflag == 2 && lay.nodes == 8) add(0.0, 0.0, 1.0);
        else
            for (i32 k = 0; k < lay.points; ++k) add(lay.rs[k][0], lay.rs[k][1], lay.weight);
        Work<double, 129> tns(nz);
        if (!curved) {
            laminate::GetNormalStressFromBottom(tns.data(), rdx, rdy, zc, fm, nplies);
        } else {
            section_fg(0);
            Work<i32, 64> counts(np);
            for (i64 k = 0; k < np; ++k) counts[k] = static_cast<i32>(nspt);
            Work<double, 6 * 128> sbt(12 * np);
            Work<double, 128> comp(2 * np);
            Work<double, 129> sint(nz), sum(nz);
            const i32 npts = static_cast<i32>(nspt * np);
            // Component 22 with the curvature factors (smaller, larger), 11 with (larger, smaller).
            const struct { int row; double ki, kj; } terms[2] = {{2, smaller, larger},
                                                                 {1, larger, smaller}};
            for (i32 k = 0; k < lay.points; ++k) {
                const double* ss = sestress + 6 * nip * (k + slots * (e - 1));
                laminate::GetPlyBottomTopStress(sbt.data(), ss, counts.data(), &npts, nplies);
                for (const auto& t : terms) {
                    for (i64 j = 0; j < 2 * np; ++j) comp[j] = sbt[t.row - 1 + 6 * j];
                    laminate::GetIntegralOfMembraneNormalStress(sint.data(), comp.data(), zc,
                                                                counts.data(), &t.ki, &t.kj,
                                                                nzcoord, nplies);
                    for (i64 i = 0; i < nz; ++i) sum[i] += sint[i];
                }
            }
            const Mat<const double> g(fg.data(), nz, 4);
            for (i64 i = 1; i <= nz; ++i)
                tns(i) = lay.weight * sum(i) - (g(i, 1) * rdy[0] + g(i, 2) * rdy[1]) -
                         (g(i, 3) * rdx[0] + g(i, 4) * rdx[1]);
        }
        std::copy_n(tns.data(), nz, tns_out);
    }

    if (!shear) return;
    double* ts_out = tshearstress + nip * 2 * ((*gpid - 1) + 4 * (e - 1));
    if (any_nonzero(ts_out, 2 * nip)) return;
    point_of(p, ncoords, lay.nodes, lay.rs[*gpid - 1][0], lay.rs[*gpid - 1][1], false);
    double gam[2] = {0.0, 0.0}, r[2];  // (gamma_yz, gamma_xz)
    for (i32 k = 0; k < p.n; ++k) {
        const double w = u[5 * k + 2], tx = u[5 * k + 3], ty = u[5 * k + 4];
        gam[0] += p.y[k] * w - p.N[k] * tx;
        gam[1] += p.x[k] * w + p.N[k] * ty;
    }
    times_h(r, h, gam);
    const double* f = fm;
    if (curved) {
        section_fg(1);
        f = fg.data();
    }
    const i64 rows = nspt * np;
    const i32 n32 = static_cast<i32>(nspt);
    Work<double, 2 * 5 * 64> xy(2 * rows);
    laminate::GetExt2DShearStress(xy.data(), r, po, f, &n32, nplies);
    Mat<double> out(ts_out, nip, 2);
    for (i64 i = 1; i <= rows; ++i) out(i, 1) = xy(i), out(i, 2) = xy(rows + i);
}

}  // extern "C"
}  // namespace vorlen::elementhandling
