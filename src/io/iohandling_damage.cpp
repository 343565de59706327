// Damage card: positions, ellipses and polygons of the damage data sets.
#include "io/iohandling_damage.hpp"

#include <algorithm>
#include <cfloat>
#include <string_view>

#include "base/errorhandling.hpp"
#include "base/units.hpp"
#include "core/bukdata.hpp"
#include "core/damagedata.hpp"
#include "core/stringhandling.hpp"
#include "io/iohandling.hpp"
#include "io/iohandling_extents.hpp"

namespace vorlen::iohandling {
namespace {

using stringhandling::match;
using std::string_view;
constexpr string_view routine = "getdamagedatafromfile";

// a with the extents e (at least e's first with `longer`), allocated anew with the fill where
// it has others; false with -3 when that is beyond memory (the counts come from the cards).
template <class A, class T, class... E>
bool ensure(A& a, bool longer, T fill, E... e) {
    if (fits(a, longer, e...) || a.try_allocate({static_cast<i64>(e)...}, fill)) return true;
    errorhandling::report(-3, "Damage tables beyond memory", routine);
    return false;
}

string_view left(string_view s) {
    const std::size_t b = s.find_first_not_of(' ');
    return b == string_view::npos ? string_view() : s.substr(b);
}

string_view from(string_view s, std::size_t first) {
    return first - 1 < s.size() ? s.substr(first - 1) : string_view();
}

constexpr string_view kModes[] = {"General", "Fiber", "Matrix", "Delamination", "Core", "User"};

// "+Abstraction": the groups of four values into rows 1 and 2 of set `set` of the mode's table.
void abstraction(i32 unit, string_view option, i64 set, i64 np, i64 ns) {
    using namespace damagedata;
    static constexpr string_view order[] = {"General", "Fiber", "Matrix", "Core", "Delamination",
                                            "User"};
    Alloc<double, 3>* tables[] = {&generaldds, &fiberdds, &matrixdds, &coredds, &delamdds,
                                  &userdds};
    int m = 0;
    while (m < 6 && option.find(order[m]) == string_view::npos) ++m;
    if (m == 6) return;
    const bool delam = m == 4;
    if (delam && np < 2) return;
    const i64 cols = delam ? np - 1 : np;
    const Block<double> v(unit);
    if (!v.ok()) return;
    const i64 groups = v.size() / 4;
    if (groups > cols) {
        errorhandling::report(-3, "More damage groups than plies", routine);
        return;
    }
    if (!ensure(*tables[m], false, 0.0, 3, cols, ndmg)) return;
    if (delam && !(ensure(bukdata::bukintdatalist, false, 0, 4, cols, ndmg, ns) &&
                   ensure(bukdata::bukrealdatalist, false, 0.0, 12, cols, ndmg, ns)))
        return;
    auto& t = *tables[m];
    for (i64 k = 1; k <= groups; ++k) {
        t(1, k, set) = v[4 * k - 3];
        t(2, k, set) = v[4 * k - 2];
    }
}

// "+Table": the polygon values into dmgpoints(1.., layer, mode, set).
void polygon(i32 unit, string_view option, i64 set, i64 np, i64 nxy) {
    const std::size_t comma = option.find(',');
    string_view a = left(option.substr(0, comma)), b;
    if (comma != string_view::npos) b = left(option.substr(comma + 1));
    const bool first_layer =
        a.find("LayID") != string_view::npos || a.find("Layer") != string_view::npos;
    const string_view layer_part = first_layer ? a : b, mode_part = first_layer ? b : a;
    i64 mode = 0;
    if (comma != string_view::npos)
        for (int k = 0; k < 6 && !mode; ++k)
            if (from(mode_part, 6).substr(0, kModes[k].size()) == kModes[k]) mode = k + 1;
    if (!mode) {
        errorhandling::report(-3, "Damage table without mode word", routine);
        return;
    }
    i32 layer = 0;
    if (comma == string_view::npos || stringhandling::str2int(from(layer_part, 7), layer) != 0 ||
        layer < 1 || layer > np) {
        errorhandling::report(-3, "Damage table layer outside the plies", routine);
        return;
    }
    const Block<double> v(unit);
    if (!v.ok()) return;
    auto& p = damagedata::dmgpoints;
    if (!ensure(p, true, DBL_MAX, nxy, np, 6, damagedata::ndmg)) return;
    std::copy_n(v.data(), std::min(v.size(), p.extent(1)), &p(1, layer, mode, set));
}

}  // namespace

extern "C" {

void iohandling_getdamagedatafromfile(const char* filepath, const char* workspace,
                                      const i32* nplies, const i32* nsec) {
    Card card({filepath, 256}, {workspace, 256}, "DamageCard");
    if (!card.open()) return;
    const i64 np = *nplies, ns = *nsec;
    if (np < 1 || ns < 1) {
        errorhandling::report(-3, "Ply or section count below 1", routine);
        return;
    }
    const i32 unit = card.unit();
    const i32 lkey = 14, lkeyword = 14;
    using namespace damagedata;
    ndmg = iohandling_getnumberofkeywords(&unit, "++BEGIN DAMAGE", &lkey, nullptr, &lkeyword);
    i64 npos = 4, nxy = 1;
    bool block = false;
    while (card.next()) {
        const string_view key = card.key();
        if (match(key, "++Begin Damage")) block = true;
        if (match(key, "++End Damage")) block = false;
        if (block && match(key, "+Position")) npos = std::max(npos, block_size(unit, routine));
        if (block && match(key, "+Table")) nxy = std::max(nxy, block_size(unit, routine));
    }
    io::rewind(unit);
    // tables of an earlier reading whose extents are not those of these counts go; the keys
    // create them anew
    const i64 lp = std::max<i64>(np - 1, 1);
    auto stale = [](auto& a, bool longer, auto... e) {
        if (a.allocated() && !fits(a, longer, e...)) a.release();
    };
    for (auto* t : {&generaldds, &fiberdds, &matrixdds, &coredds, &userdds})
        stale(*t, false, 3, np, ndmg);
    stale(delamdds, false, 3, lp, ndmg);
    stale(bukdata::bukintdatalist, false, 4, lp, ndmg, ns);
    stale(bukdata::bukrealdatalist, false, 12, lp, ndmg, ns);
    stale(dmgplane, true, npos, ndmg);
    stale(dmgpoints, true, nxy, np, 6, ndmg);

    block = false;
    i32 set = 0;
    while (card.next()) {
        const string_view key = card.key();
        if (match(key, "++Begin Damage")) {
            if (stringhandling::str2int(card.option_from(7), set) != 0) set = 0;
            block = true;
            if (set < 1 || set > ndmg)
                errorhandling::report(-3, "Damage set index outside 1..ndmg", routine);
            continue;
        }
        if (match(key, "++End Damage")) {
            block = false;
            continue;
        }
        const bool data = match(key, "+Position") || match(key, "+Abstraction") ||
                          match(key, "+Table");
        if (!block || !data || set < 1 || set > ndmg) continue;
        if (match(key, "+Position")) {
            const Block<double> v(unit);
            if (!v.ok()) continue;
            if (!ensure(dmgplane, true, -DBL_MAX, npos, ndmg)) continue;
            std::copy_n(v.data(), std::min(v.size(), dmgplane.extent(1)), &dmgplane(1, set));
        } else if (match(key, "+Abstraction")) {
            abstraction(unit, card.option(), set, np, ns);
        } else {
            polygon(unit, card.option(), set, np, nxy);
        }
    }
}

}  // extern "C"
}  // namespace vorlen::iohandling
