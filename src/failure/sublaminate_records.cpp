// Buckling of a delaminated stack pass by pass, and the buckling records of module bukdata.
#include <algorithm>
#include <cmath>

#include "base/errorhandling.hpp"
#include "base/work.hpp"
#include "failure/sublaminate.hpp"

namespace vorlen::sublaminate {
namespace {

constexpr double kMinSize = 1e-10;   // smaller delaminations do not count
constexpr double kMaxEps = 1e20;     // start of the minimum search
constexpr double kCheckEps = 1e19;   // a pass whose minimum is not below it found nothing

// One buckling record: the real and integer columns.
struct Record {
    double real[12] = {};
    i32 integer[4] = {};
};

// The stack of one analysis, its records kept apart until the end (the caller's lists may
// share storage with the stack data).
struct Stack {
    const double* plyelastic;
    const double* plyorientation;
    const double* plythickness;
    Mat<const double> delamination;  // (3, nplies-1)
    const i32* dshape;
    double strength;  // compressive strength; not above 0: the ratios are 1

    bool delaminated(i32 j) const {
        return delamination(1, j) >= kMinSize && delamination(2, j) >= kMinSize &&
               dshape[j - 1] != 0;
    }
    // The record of plies first..last over the delamination of interface j.
    Record buckle(i32 j, i32 first, i32 last, i32 below) const {
        Record r;
        const i32 n = last - first + 1;
        const i64 o = first - 1;
        const double nglob[3] = {-1.0, 0.0, 0.0};
        const double* dsize = &delamination(1, j);
        GetSubLamBucklingStrain(&r.real[0], &r.real[2], &r.real[6], dsize, nglob,
                                plyelastic + 9 * o, plyorientation + o, plythickness + o,
                                &dshape[j - 1], &n);
        r.real[1] = strength > 0.0 ? r.real[2] / strength : 1.0;
        std::copy_n(dsize, 3, &r.real[3]);
        r.integer[0] = j, r.integer[1] = first, r.integer[2] = last, r.integer[3] = below;
        return r;
    }
};

// Whether a candidate's strain can govern.
bool usable(double eps) { return std::isfinite(eps) && eps > 0.0; }

}  // namespace

extern "C" {

void DelaminatedBucklingAnalysis(double* epsbuck, double* bukrealdatalist, i32* bukintdatalist,
                                 const double* comprstrength, const double* plyelastic,
                                 const double* plyorientation, const double* plythickness,
                                 const double* plydelamination, const i32* plydshape,
                                 const i32* nplies) {
    const i32 np = *nplies;
    const i32 ncol = std::max(np - 1, 0);
    Work<double, 12 * 64> real(12 * i64(ncol));
    Work<i32, 4 * 64> integer(4 * i64(ncol));
    double eb = 0.0;
    i32 r = 1;  // next free column
    auto store = [&](const Record& rec) {
        if (r > ncol) return;  // no free column: the record is dropped
        std::copy_n(rec.real, 12, &real[12 * i64(r - 1)]);
        std::copy_n(rec.integer, 4, &integer[4 * i64(r - 1)]);
        ++r;
    };
    if (np < 1) errorhandling::report(-3, "Fewer than one ply", "DelaminatedBucklingAnalysis");
    const double strength = *comprstrength;
    if (np >= 1 && !(strength > 0.0))
        errorhandling::report(-3, "Compressive strength not above 0",
                              "DelaminatedBucklingAnalysis");
    const Stack s{plyelastic, plyorientation, plythickness, Mat<const double>(plydelamination, 3, ncol),
                  plydshape, strength};

    i32 first = 1, last = np;
    while (np >= 1 && first <= last - 1) {
        double minimum = kMaxEps;
        Record best;
        auto consider = [&](const Record& c) {
            if (!usable(c.real[0]) || !(c.real[0] < minimum)) return;
            minimum = c.real[0];
            best = c;
            if (r == 1) eb = c.real[0];  // the first pass only
        };
        for (i32 j = first; j <= last - 1; ++j) {
            if (!s.delaminated(j)) continue;
            consider(s.buckle(j, first, j, 0));
            consider(s.buckle(j, j + 1, last, 1));
        }
        if (!(minimum < kCheckEps)) break;
        if (best.integer[3] == 0)
            first = best.integer[0] + 1;
        else
            last = best.integer[0];
        store(best);
        if (first == last) break;
    }

    if (np >= 1) {
        if (first == 1 && last == np) {  // nothing buckled
            Record rec;
            rec.real[1] = 1.0;
            rec.real[2] = strength;
            rec.integer[0] = first, rec.integer[1] = first, rec.integer[2] = last;
            eb = 0.0;
            store(rec);
        } else {
            // The remaining stack over the larger delamination that bounds it; the lower one
            // on equal areas.
            i32 k = last;
            if (first > 1 && last < np) {
                const double above = s.delamination(1, first - 1) * s.delamination(2, first - 1);
                const double below = s.delamination(1, last) * s.delamination(2, last);
                if (above > below) k = first - 1;
            } else if (first > 1) {
                k = first - 1;
            }
            store(s.buckle(k, first, last, 0));
        }
    }
    *epsbuck = eb;
    std::fill_n(bukrealdatalist, 12 * i64(ncol), 0.0);
    std::fill_n(bukintdatalist, 4 * i64(ncol), 0);
    std::copy_n(real.data(), 12 * i64(r - 1), bukrealdatalist);
    std::copy_n(integer.data(), 4 * i64(r - 1), bukintdatalist);
}

void GetBukDataFromDDS(double* bukrealdatalist, i32* bukintdatalist, const double* delamdds,
                       const i32* plydshape, const double* comprstrength,
                       const double* plyelastic, const double* plyorientation,
                       const double* plythickness, const i32* sectionlist, const i32* ndmg,
                       const i32* nplies, const i32* nsec, const i32* defint) {
    const i32 nd = *ndmg, np = *nplies, ns = *nsec, ni = np - 1;
    const i32 marker = defint ? *defint : 2147483647;
    View<double, 4> real(bukrealdatalist, 12, ni, nd, ns);
    View<i32, 4> integer(bukintdatalist, 4, ni, nd, ns);
    const View<const double, 3> delam(delamdds, 3, ni, nd);
    const View<const i32, 2> shape(plydshape, ni, nd);
    const View<const double, 1> strength(comprstrength, ns);
    const View<const double, 3> elastic(plyelastic, 9, np, ns);
    const View<const double, 2> angle(plyorientation, np, ns), thick(plythickness, np, ns);
    const View<const i32, 2> ids(sectionlist, np, ns);
    // The records are built apart when the lists share storage with an input.
    const i64 nreal = real.size(), nint = integer.size();
    bool shared = false;
    auto check = [&](const auto* in, i64 n) {
        shared = shared || overlaps(in, n, bukrealdatalist, nreal) ||
                 overlaps(in, n, bukintdatalist, nint);
    };
    check(delamdds, delam.size()), check(plydshape, shape.size());
    check(comprstrength, strength.size()), check(plyelastic, elastic.size());
    check(plyorientation, angle.size()), check(plythickness, thick.size());
    check(sectionlist, ids.size());
    if (!shared) {
        bukdata_from_dds(real, integer, delam, shape, strength, elastic, angle, thick, ids, nd, np,
                         ns, marker);
        return;
    }
    Work<double, 0> r(nreal);
    Work<i32, 0> i(nint);
    real.p = r.data(), integer.p = i.data();
    bukdata_from_dds(real, integer, delam, shape, strength, elastic, angle, thick, ids, nd, np,
                     ns, marker);
    std::copy_n(r.data(), nreal, bukrealdatalist);
    std::copy_n(i.data(), nint, bukintdatalist);
}

}  // extern "C"

void bukdata_from_dds(View<double, 4> bukreal, View<i32, 4> bukint,
                      View<const double, 3> delamdds, View<const i32, 2> plydshape,
                      View<const double, 1> comprstrength, View<const double, 3> plyelastic,
                      View<const double, 2> plyorientation, View<const double, 2> plythickness,
                      View<const i32, 2> sectionlist, i32 ndmg, i32 nplies, i32 nsec, i32 defint) {
    const i32 ni = std::max(nplies - 1, 0);
    for (i32 isec = 1; isec <= nsec; ++isec)
        for (i32 idmg = 1; idmg <= ndmg; ++idmg)
            for (i32 k = 1; k <= ni; ++k) {
                for (int m = 1; m <= 12; ++m) bukreal(m, k, idmg, isec) = 0.0;
                for (int m = 1; m <= 4; ++m) bukint(m, k, idmg, isec) = -1;
            }
    if (ni == 0) return;  // no interface, no column for a record
    for (i32 isec = 1; isec <= nsec; ++isec) {
        i32 nply = 0;
        while (nply < nplies && sectionlist(nply + 1, isec) != defint) ++nply;
        if (nply == 0) continue;  // a section without plies keeps its markers
        // Rows 1-9 of each ply: the tables may hold further temperature blocks.
        Work<double, 9 * 64> elastic(9 * i64(nply));
        for (i32 k = 1; k <= nply; ++k)
            for (int m = 1; m <= 9; ++m) elastic[9 * i64(k - 1) + m - 1] = plyelastic(m, k, isec);
        for (i32 idmg = 1; idmg <= ndmg; ++idmg) {
            for (i32 k = 1; k <= ni; ++k) {  // unused columns of an analysed pair are 0
                for (int m = 1; m <= 12; ++m) bukreal(m, k, idmg, isec) = 0.0;
                for (int m = 1; m <= 4; ++m) bukint(m, k, idmg, isec) = 0;
            }
            double epsbuck;
            DelaminatedBucklingAnalysis(&epsbuck, &bukreal(1, 1, idmg, isec),
                                        &bukint(1, 1, idmg, isec), &comprstrength(isec),
                                        elastic.data(), &plyorientation(1, isec),
                                        &plythickness(1, isec), &delamdds(1, 1, idmg),
                                        &plydshape(1, idmg), &nply);
        }
    }
}

}  // namespace vorlen::sublaminate
