// Job and per-point hooks: the fresh-state marker, the integration-point report, characteristic
// lengths of shells and bricks, nodal data harvested from the prescribed-displacement call and
// an inactive constraint.
#include "solver/toplevel_hooks.hpp"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string_view>

#include "base/errorhandling.hpp"
#include "base/format.hpp"
#include "core/debugdata.hpp"
#include "core/jobdata.hpp"
#include "core/signalprocessing.hpp"
#include "elements/elementhandling_conversions.hpp"
#include "elements/elementhandling_kinds.hpp"
#include "io/iohandling_model.hpp"
#include "solver/toplevel_steps.hpp"

namespace vorlen::toplevel {
namespace {

constexpr double hooks_huge = std::numeric_limits<double>::max();
constexpr i32 hooks_shell = 3;   // jeltype(1) of a four-node shell
constexpr i32 hooks_brick = 6;   // jeltype(1) of an eight-node brick
constexpr i64 hooks_chunk = 64;  // nodes per call of GetNodesMotion

// Where a step table exists and kstep is in it: 1; no table: 0; outside it: -1 with a report.
int hooks_step_in_table(i32 kstep, std::string_view routine) {
    i32 type;
    const Step s = step_of(kstep, type);
    if (s == Step::outside) errorhandling::report(-3, "Step out of range", routine);
    return s == Step::held ? 1 : s == Step::absent ? 0 : -1;
}

// Whether kinc + 1 is due under the update interval: mLimit(kinc + 1, nupdate) = nupdate.
bool hooks_update_due(i32 kinc) {
    const i32 n = debugdata::nupdate;
    if (kinc < std::numeric_limits<i32>::max()) {
        const i32 next = kinc + 1;
        return signalprocessing::mLimit(&next, &n) == n;
    }
    return n == 0 || (static_cast<i64>(kinc) + 1) % n == 0;  // kinc + 1 beyond 32 bits
}

// GetNodesMotion over the block in chunks of hooks_chunk nodes: translations u(1:3, j),
// rotations u(4:3+nrot, j), 0.0 as the marker of a value not given.
void hooks_store_motion(const double* u, const i32* nodeid, i32 mdof, i32 nblock) {
    const i32 nrot = mdof - 3;
    double trans[3 * hooks_chunk], rot[3 * hooks_chunk];
    const double marker = 0.0;
    const Mat<const double> uu(u, mdof, nblock);
    for (i64 first = 1; first <= nblock; first += hooks_chunk) {
        const i32 count = static_cast<i32>(std::min<i64>(hooks_chunk, nblock - first + 1));
        for (i32 j = 0; j < count; ++j) {
            for (i32 i = 1; i <= 3; ++i) trans[3 * j + i - 1] = uu(i, first + j);
            for (i32 i = 1; i <= nrot; ++i) rot[nrot * j + i - 1] = uu(3 + i, first + j);
        }
        elementhandling::GetNodesMotion(trans, rot, nodeid + (first - 1), &nrot, &count, &marker);
    }
}

}  // namespace

extern "C" {

void toplevel_gen_sdvini(double* statev, const double*, const i32* nstatv, const i32*, const i32*,
                         const i32*, const i32*, const i32*) {
    const i32 n = *nstatv;
    if (n < 1) {
        errorhandling::report(-3, "State vector empty", "gen_sdvini");
        return;
    }
    // A NaN compares unequal to 0 and so counts as a started vector.
    if (std::any_of(statev, statev + n, [](double x) { return x != 0.0; })) return;
    std::fill(statev, statev + n, 0.0);
    statev[n - 1] = hooks_huge;
}

void toplevel_uvarm_report(double*, const double*, const double*, const double*, const double*,
                           const char*, const char*, const i32*, const i32* noel, const i32* npt,
                           const i32*, const i32*, const i32* kstep, const i32* kinc, const i32*,
                           const i32*, const double* coord, const i32*, const i32*, const i32*,
                           const i32*) {
    if (hooks_step_in_table(*kstep, "uvarm_report") != 1) return;
    if (jobdata::stepid(*kstep) != 0 || *kinc != 1) return;
    constexpr std::string_view ext = ".rst";
    const std::string_view job = io::trimmed(jobdata::jobfilepath, sizeof(jobdata::jobfilepath));
    char name[sizeof(jobdata::jobfilepath) + ext.size()];
    std::memcpy(name, job.data(), job.size());
    std::memcpy(name + job.size(), ext.data(), ext.size());
    const i32 len = static_cast<i32>(job.size() + ext.size());
    iohandling::iohandling_getgausspointreport(name, coord, noel, npt, &len);
}

void toplevel_vucharlength_cel(const i32* nblock, const i32*, const i32*, const i32* ncomp,
                               const i32* ndim, const i32* nnode, const i32*, const i32*,
                               const i32*, const i32*, const i32* jeltype, const i32*,
                               const double*, const double*, const double*, const char*,
                               const double*, const double* coordnode, const double* tdirect,
                               const double*, const double*, const double*, const double*,
                               double* charlength) {
    const i32 nb = std::max<i32>(*nblock, 0);
    const Mat<double> len(charlength, nb, std::max<i32>(*ncomp, 0));
    std::fill(len.begin(), len.end(), 0.0);
    const i32 type = jeltype[0];
    if (nb == 0 || (type != hooks_shell && type != hooks_brick)) return;
    const i32 nodes = type == hooks_shell ? 4 : 8;
    if (*ncomp < 3 || *ndim < 3 || *nnode < nodes) {
        errorhandling::report(-3, "Extents too small", "vucharlength_cel");
        return;
    }
    const View<const double, 3> xn(coordnode, nb, *nnode, *ndim), dir(tdirect, nb, 3, 3);
    for (i32 k = 1; k <= nb; ++k) {
        double x[3 * 8], d[9], l[3];
        for (i32 n = 1; n <= nodes; ++n)
            for (i32 i = 1; i <= 3; ++i) x[3 * (n - 1) + i - 1] = xn(k, n, i);
        for (i32 j = 1; j <= 3; ++j)
            for (i32 i = 1; i <= 3; ++i) d[3 * (j - 1) + i - 1] = dir(k, i, j);
        if (type == hooks_shell)
            elementhandling::GetQuad4ElemLength(l, d, x);
        else
            elementhandling::GetHex8ElemLength(l, d, x);
        for (i32 j = 1; j <= 3; ++j) len(k, j) = l[j - 1];
    }
}

void toplevel_vdisp_nullify(const i32* nblock, const i32* mdof, const i32* ncoord, const i32* kstep,
                            const i32* kinc, const double*, const double*, const double*,
                            const double*, const char*, const i32*, const i32*, const i32* jnodeuid,
                            const double*, const double* coordnp, const double* u, const double*,
                            const double*, const double*, const double*, const double*, double*) {
    static constexpr std::string_view routine = "vdisp_nullify";
    if (!jobdata::stepid.allocated() || *kstep == 0) return;
    if (hooks_step_in_table(*kstep, routine) != 1) return;
    if (*mdof < 3) {
        errorhandling::report(-3, "Degrees of freedom below 3", routine);
        return;
    }
    const auto& st = jobdata::stepid;
    if (*kinc == 1) {
        if (*kstep == 1 && st(1) == 0)
            elementhandling::GetNodalCoordinates(coordnp, jnodeuid, ncoord, nblock);
        return;
    }
    const i32 type = st(*kstep);
    if (*kstep < 2 || *kinc < 2 || type == 0 || type == 2 || type == 4 || type == 5) return;
    if (!hooks_update_due(*kinc) || *nblock < 1) return;
    if (*mdof > 6) {
        errorhandling::report(-3, "Rotation count above 3", routine);
        return;
    }
    hooks_store_motion(u, jnodeuid, *mdof, *nblock);
}

void toplevel_mpc_nullify(double*, double* a, i32* jdof, const i32* mdof, const i32* n, const i32*,
                          const double*, const double*, const double*, const i32*, i32* lmpc,
                          const i32*, const i32*, const double*, const i32*, const i32*,
                          const double*, const double*, const i32*, const double*) {
    const i64 m = std::max<i32>(*mdof, 0), c = std::max<i32>(*n, 0);
    std::fill(a, a + m * m * c, 0.0);
    std::fill(jdof, jdof + m * c, 0);
    *lmpc = 0;
}

}  // extern "C"
}  // namespace vorlen::toplevel
