// Reference orientations collected per element and their conversion into the element tables.
#include "elements/elementhandling_reference.hpp"

#include <algorithm>
#include <cmath>
#include <complex>
#include <numeric>

#include "base/errorhandling.hpp"
#include "base/work.hpp"
#include "core/elementdata.hpp"
#include "core/listhandling.hpp"
#include "core/math_geometry.hpp"
#include "core/math_norms.hpp"
#include "core/math_products.hpp"
#include "core/sectiondata.hpp"
#include "core/utility_search.hpp"
#include "elements/elementhandling_kinds.hpp"
#include "elements/elementhandling_store.hpp"

namespace vorlen::elementhandling {
namespace {

constexpr double kRadian = 0.017453292519943295;
constexpr double kDegree = 57.29577951308232;
constexpr double kAxes[3][3] = {{1.0, 0.0, 0.0}, {0.0, 1.0, 0.0}, {0.0, 0.0, 1.0}};

// y = R(axis, degrees) x.
void turn(const double* axis, double degrees, double* x) {
    double r[9];
    const double a = degrees * kRadian;
    math::GetRotationMatrix(r, axis, &a);
    const Mat<const double> m(r, 3, 3);
    const double y[3] = {m(1, 1) * x[0] + m(1, 2) * x[1] + m(1, 3) * x[2],
                         m(2, 1) * x[0] + m(2, 2) * x[1] + m(2, 3) * x[2],
                         m(3, 1) * x[0] + m(3, 2) * x[1] + m(3, 3) * x[2]};
    std::copy_n(y, 3, x);
}

// Positions of the element labels, looked up by label: the first position of a label wins.
class Positions {
  public:
    Positions(const i32* labels, i64 n) : labels_(labels), order_(n), n_(n) {
        std::iota(order_.data(), order_.data() + n, i32{1});
        std::stable_sort(order_.data(), order_.data() + n,
                         [this](i32 a, i32 b) { return labels_[a - 1] < labels_[b - 1]; });
    }
    // Position of the label (a value that may not be an integer), 0 when absent.
    i64 of(double label) const {
        const i32* first = order_.data();
        const i32* last = first + n_;
        const i32* it = std::lower_bound(first, last, label,
                                         [this](i32 p, double v) { return labels_[p - 1] < v; });
        return it != last && labels_[*it - 1] == label ? *it : 0;
    }

  private:
    const i32* labels_;
    Work<i32, 1> order_;
    i64 n_;
};

}  // namespace

extern "C" {

double GetABQElementOrientation(const double* rm, const double* tdirect) {
    double rr[3], rs[3], rn[3], rsm[3];
    math::CoordinateProjection(tdirect, tdirect + 3, kAxes[0], rr, nullptr);
    math::CoordinateProjection(tdirect, tdirect + 3, kAxes[1], rs, nullptr);
    math::CrossProduct(rr, rs, rn);
    math::CrossProduct(rr, rm, rsm);
    const i32 three = 3;
    const double angle = math::EuclideanAngle(rr, rm, &three) * kDegree;
    return std::copysign(angle, rn[0] * rsm[0] + rn[1] * rsm[1] + rn[2] * rsm[2]);
}

void GetElementRefOrientation(i32* istatus, const i32* ind, const double*,
                              const double* tdirect, const double* plyorientation,
                              const i32* noel, const i32* kspt, const i32* layid,
                              const i32* secid, const i32* nplies, const i32* nsec,
                              const i32* nextid) {
    *istatus = 0;
    if (*secid < 1 || *secid > *nsec || *nplies < 1) {
        errorhandling::report(-3, "Section outside the ply table", "GetElementRefOrientation");
        return;
    }
    const i32 unique = 1;
    if (*layid == 1) {
        listhandling::iAppendScalar2List(ind, noel, &unique, istatus, nullptr, nullptr);
        if (*istatus == 1) {
            double euler[3];
            math::GetEulerRotation(euler, tdirect);
            const double theta = plyorientation[i64(*secid - 1) * *nplies];
            double rr[3] = {1.0, 0.0, 0.0};
            turn(kAxes[2], theta, rr);
            for (int k = 0; k < 3; ++k) turn(kAxes[k], euler[k], rr);
            double px[3], qx[3], record[7];
            math::CoordinateProjection(tdirect, tdirect + 3, kAxes[0], px, nullptr);
            math::CrossProduct(tdirect + 6, px, qx);
            record[0] = GetABQElementOrientation(rr, tdirect);
            const double back = -record[0];
            math::CoordinateRotation(tdirect + 6, px, record + 1, &back);
            math::CoordinateRotation(tdirect + 6, qx, record + 4, &back);
            const i32 seven = 7, plain = 0;
            listhandling::fAppendArray2List(ind, record, &seven, &plain, istatus, nullptr,
                                            nullptr);
        }
    }
    if (*nextid != -1 && *nextid != 2) {
        const std::complex<double> pair(*noel, *kspt);
        listhandling::cAppendScalar2List(ind, &pair, &unique, istatus, nullptr, nullptr);
    }
}

void GetElementReferenceData(i32* nshell, i32* ierror, const i32* ind) {
    using namespace elementdata;
    using sectiondata::nsectionpoints;
    static constexpr std::string_view routine = "GetElementReferenceData";
    *nshell = 0;
    *ierror = 0;
    std::fill(nsectionpoints.begin(), nsectionpoints.end(), -1);
    std::fill(elemreforientation.begin(), elemreforientation.end(), -1.0);
    if (!elemindices.allocated() && elemkind.allocated()) {
        const i64 n = store::elements(routine, {elemkind.extent(1)});
        elemindices.allocate({n});
        const i32 nn = static_cast<i32>(n), nsub = 6;
        utility::GetIndicesExcludingSubArray(elemindices.data, elemkind.data, ext2dkind, &nn,
                                             &nsub);
        *nshell = static_cast<i32>(
            std::count_if(elemindices.begin(), elemindices.end(), [](i32 v) { return v != -1; }));
        if (*nshell == n) elemindices.release();
    }
    const i32 types[3] = {0, 1, 2};
    i32 used[3];
    for (int t = 0; t < 3; ++t)
        used[t] = std::max(listhandling::GetSizeOfList(ind, &types[t], nullptr, nullptr, nullptr), 1);
    [&] {
        Work<i32, 1> labels(used[0]);
        Work<double, 1> reals(used[1]);
        listhandling::iGetCopyOfList(ind, labels.data(), &used[0], ierror);
        if (*ierror == -1) return;
        listhandling::fGetCopyOfList(ind, reals.data(), &used[1], ierror);
        if (*ierror == -1) return;
        const i64 ne = elemlist.allocated() ? store::elements(routine, {elemlist.extent(1)}) : 0;
        const Positions positions(elemlist.data, ne);
        Work<i64, 1> p(used[0]);
        bool found = false;
        for (i64 k = 0; k < used[0]; ++k) found |= (p[k] = positions.of(labels[k])) > 0;
        if (!found) return;
        const bool table = elemreforientation.extent(1) >= 7;
        bool incomplete = false;
        for (i64 k = 0; k < used[0]; ++k) {
            if (p[k] == 0) continue;
            if (7 * (k + 1) > used[1]) {
                incomplete = true;
                continue;
            }
            if (table && p[k] <= elemreforientation.extent(2))
                std::copy_n(reals.data() + 7 * k, 7, &elemreforientation(1, p[k]));
        }
        if (incomplete) errorhandling::report(-3, "Fewer than 7 reals per element label", routine);
        Work<std::complex<double>, 1> pairs(used[2]);
        listhandling::cGetCopyOfList(ind, pairs.data(), &used[2], ierror);
        if (*ierror == -1) return;
        const i64 nsp = std::min(ne, nsectionpoints.extent(1));
        std::fill_n(nsectionpoints.data, nsp, 1);
        for (i64 k = 0; k < used[2]; ++k) {
            const i64 at = positions.of(pairs[k].real());
            const double point = std::trunc(pairs[k].imag());
            if (at < 1 || at > nsp || !(std::abs(point) < 2147483648.0)) continue;
            nsectionpoints(at) = std::max(nsectionpoints(at), static_cast<i32>(point));
        }
    }();
    for (const i32& t : types) {
        lgl allocated = 0;
        listhandling::GetAllocationStatus(&allocated, ind, &t);
        if (allocated) listhandling::DeallocateList(ind, &t, ierror);
    }
}

}  // extern "C"
}  // namespace vorlen::elementhandling
