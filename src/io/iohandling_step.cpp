// Step card: debug settings per block and the fatigue cycle tables.
#include "io/iohandling_step.hpp"

#include <algorithm>
#include <cmath>
#include <string_view>

#include "base/errorhandling.hpp"
#include "core/debugdata.hpp"
#include "core/shokriehdata.hpp"
#include "core/stringhandling.hpp"
#include "io/iohandling.hpp"

namespace vorlen::iohandling {
namespace {

using stringhandling::match;
using stringhandling::occurs;
constexpr std::string_view routine = "getstepdatafromfile";

// A debug value collected in the current block.
struct Held {
    bool set = false;
    i32 value = 0;
    void take(const Block<i32>& b) {
        if (b.ok() && b.size() > 0) set = true, value = b[0];
    }
};

struct Collected {
    Held update, element, nodal, file;
    bool verbose = false;
    i32 level = 0, unit = -3;

    void store() const {
        if (update.set) debugdata::nupdate = update.value;
        if (element.set) debugdata::edebug = element.value;
        if (nodal.set) debugdata::ndebug = nodal.value;
        if (file.set) debugdata::fdebug = file.value;
        if (verbose) debugdata::verbose = level, debugdata::unitid = unit;
    }
};

// GENERAL and DIRECT: the settings table, column by column.
void settings(i32 unit, i32 nsteps, bool direct) {
    const Block<double> v(unit);
    if (!v.ok()) return;
    if (nsteps < 1 || v.size() < nsteps) {
        errorhandling::report(-3, "Fewer cycle values than steps", routine);
        return;
    }
    const i64 rows = v.size() / nsteps;
    if (direct) shokriehdata::cycles.allocate({1, nsteps}, 1.0);
    auto& props = shokriehdata::cycleprops;
    props.allocate({rows, nsteps});
    std::copy_n(v.data(), rows * nsteps, props.data);
}

// INDIVIDUAL: the cycle tables of the steps whose algorithm is 3 or more.
void tables(i32 unit, i32 nsteps) {
    const Block<double> v(unit);
    if (!v.ok()) return;
    const auto& props = shokriehdata::cycleprops;
    if (nsteps < 1 || !props.allocated() || props.extent(1) < 6 || props.extent(2) != nsteps) {
        errorhandling::report(-3, "Cycle tables without settings of 6 rows", routine);
        return;
    }
    double top = -HUGE_VAL;
    for (i64 j = 1; j <= nsteps; ++j) top = std::max(top, props(6, j));
    const double m = std::round(top);
    if (!(m >= 1 && m <= 2147483647.0)) {
        errorhandling::report(-3, "Cycle table length outside 1..2147483647", routine);
        return;
    }
    if (m * nsteps > static_cast<double>(kCycleEntries)) {
        errorhandling::report(-3, "Cycle table of more than 16777216 entries", routine);
        return;
    }
    const auto rows = static_cast<i64>(m);
    auto& cycles = shokriehdata::cycles;
    if (!cycles.allocated() || cycles.extent(1) != rows || cycles.extent(2) != nsteps)
        cycles.allocate({rows, nsteps}, 0.0);
    i64 k = 0;
    for (i64 j = 1; j <= nsteps && k < v.size(); ++j)
        if (props(3, j) >= 3.0)
            for (i64 i = 1; i <= rows && k < v.size(); ++i) cycles(i, j) = v[k++];
}

}  // namespace

extern "C" {

void iohandling_getstepdatafromfile(const char* filepath, const char* workspace,
                                    const i32* nsteps) {
    Card card({filepath, 256}, {workspace, 256}, "StepCard");
    if (!card.open()) return;
    // the cycle tables are those of this card alone
    shokriehdata::cycleprops.release();
    shokriehdata::cycles.release();
    debugdata::fdebug = 0;
    debugdata::nupdate = 1;
    debugdata::edebug = 0;
    debugdata::ndebug = 0;
    debugdata::verbose = 0;
    debugdata::unitid = -3;
    const i32 unit = card.unit();
    Collected got;
    bool block = false;
    while (card.next()) {
        const std::string_view key = card.key(), opt = card.option();
        const bool blank = match(opt, "");
        if (match(key, "++Begin Step")) {
            block = true;
        } else if (match(key, "+Debug") && block &&
                   (match(opt, "TYPE=ELEMENT") || match(opt, "TYPE=NODAL") ||
                    match(opt, "TYPE=FILE"))) {
            Held& h = match(opt, "TYPE=ELEMENT") ? got.element
                      : match(opt, "TYPE=NODAL") ? got.nodal
                                                 : got.file;
            h.take(Block<i32>(unit));
        } else if (match(key, "+Verbose") && block) {
            const Block<i32> v(unit);
            if (v.ok() && v.size() > 0) {
                got.verbose = true;
                got.level = v[0];
                got.unit = v.size() > 1 ? v[1] : -3;
            }
        } else if (match(key, "+Update") && (blank || (block && match(opt, "TYPE=INC")))) {
            got.update.take(Block<i32>(unit));
        } else if (match(key, "+Cycle") && (blank || block)) {
            if (blank || occurs(opt, "TYPE=GENERAL"))
                settings(unit, *nsteps, false);
            else if (match(opt, "TYPE=INDIVIDUAL"))
                tables(unit, *nsteps);
            else if (match(opt, "TYPE=DIRECT"))
                settings(unit, *nsteps, true);
        } else if (match(key, "++End Step")) {
            got.store();
            got = Collected();
            block = false;
        }
    }
}

}  // extern "C"
}  // namespace vorlen::iohandling
