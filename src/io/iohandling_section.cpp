// Section card: ply stacks, material ids, recovery flags and strengths of the sections.
#include "io/iohandling_section.hpp"

#include <algorithm>
#include <string_view>

#include "base/errorhandling.hpp"
#include "base/units.hpp"
#include "core/materialdata.hpp"
#include "core/sectiondata.hpp"
#include "core/stringhandling.hpp"
#include "io/iohandling.hpp"
#include "io/iohandling_extents.hpp"
#include "materials/laminate.hpp"

namespace vorlen::iohandling {
namespace {

using stringhandling::match;
constexpr std::string_view routine = "getsectiondatafromfile";
constexpr i32 kNoPly = 2147483647;

// The tables with the counts nplies and nsec; those of another reading are replaced. False,
// with every table released and -3, when they are beyond memory (the counts come from the
// card's lines).
bool allocate_tables() {
    using namespace sectiondata;
    auto& mat = materialdata::matidlist;
    const i64 np = nplies, ns = nsec, nz = 2 * np + 1;
    if (fits(xcstrength, false, ns) && fits(secidlist, false, ns) &&
        fits(mat, false, np, ns) && fits(plyorientation, false, np, ns) &&
        fits(plythickness, false, np, ns) && fits(plyzcoord, false, nz, ns) &&
        fits(seflags, false, 2, ns) && fits(sehmatrix, false, 2, 2, ns) &&
        fits(sefmatrix, false, nz, 4, ns))
        return true;
    if (xcstrength.try_allocate({ns}) && secidlist.try_allocate({ns}) &&
        mat.try_allocate({np, ns}, np * ns == 1 ? 1 : kNoPly) &&
        plyorientation.try_allocate({np, ns}) && plythickness.try_allocate({np, ns}) &&
        plyzcoord.try_allocate({nz, ns}) && seflags.try_allocate({2, ns}) &&
        sehmatrix.try_allocate({2, 2, ns}) && sefmatrix.try_allocate({nz, 4, ns}))
        return true;
    release_all(xcstrength, secidlist, mat, plyorientation, plythickness, plyzcoord, seflags,
                sehmatrix, sefmatrix);
    errorhandling::report(-3, "Section tables beyond memory", routine);
    return false;
}

// Stores the block's values from row 1 of column i of a (nplies or 2 rows); the count read, or
// -1 after a read error.
template <class T, class A>
i64 store(i32 unit, A& a, i64 i) {
    const Block<T> v(unit);
    if (!v.ok()) return -1;
    if (i > a.extent(2)) {
        errorhandling::report(-3, "More section blocks than sections", routine);
        return v.size();
    }
    if (v.size() > a.extent(1)) errorhandling::report(-3, "More values than plies", routine);
    std::copy_n(v.data(), std::min(v.size(), a.extent(1)), &a(1, i));
    return v.size();
}

// "+Strength": the first value of the next non-blank line, which is consumed; a line whose
// first item is empty or no number is left to the reader.
void strength(i32 unit, i64 i) {
    Line line;
    i64 n;
    std::string_view text;
    do {
        n = line.read(unit);
        text = line.text();
    } while (n >= 0 && stringhandling::len_trim(text) == 0);
    const std::size_t b = std::min(text.find_first_not_of(" \t"), text.size());
    const std::string_view first = text.substr(b, text.find_first_of(" \t,", b) - b);
    double x[1];
    bool ok = false;
    if (n < 0 || first.empty() || parse_items(first, x, 1, ok) != 1 || !ok) {
        if (n >= 0) io::backspace(unit);
        errorhandling::report(-3, "No strength value after +Strength", routine);
        return;
    }
    auto& xc = sectiondata::xcstrength;
    if (i > xc.extent(1))
        errorhandling::report(-3, "More section blocks than sections", routine);
    else
        xc(i) = x[0];
}

}  // namespace

extern "C" {

void iohandling_getsectiondatafromfile(const char* filepath, const char* workspace) {
    Card card({filepath, 256}, {workspace, 256}, "SectionCard");
    if (!card.open()) return;
    const i32 unit = card.unit();
    using namespace sectiondata;
    const i32 lkey = 15, lkeyword = 15;
    const i32 begins =
        iohandling_getnumberofkeywords(&unit, "++BEGIN SECTION", &lkey, nullptr, &lkeyword);
    nsec = std::max(nsec, begins);
    while (card.next())
        if (match(card.line(), "+Orientation")) {
            const i64 n = block_size(unit, routine);
            nplies = static_cast<i32>(std::max<i64>(nplies, n));
        }
    io::rewind(unit);
    if (!allocate_tables()) return;
    auto& mat = materialdata::matidlist;

    i64 i = 1;
    bool block = false;
    i32 id = 0;
    i64 nmat = 0, nply = 0, nlay = 0;
    while (card.next()) {
        const std::string_view key = card.key();
        if (match(key, "++Begin Section")) {
            if (stringhandling::str2int(card.option_from(7), id) != 0)
                errorhandling::report(-3, "Section id is no integer", routine);
            block = true;
        } else if (block && match(key, "+Material")) {
            if (const i64 n = store<i32>(unit, mat, i); n >= 0) nmat = n;
        } else if (block && match(key, "+Orientation")) {
            if (const i64 n = store<double>(unit, plyorientation, i); n >= 0) nply = n;
        } else if (block && match(key, "+Thickness")) {
            if (const i64 n = store<double>(unit, plythickness, i); n >= 0) nlay = n;
        } else if (block && match(key, "+Extension")) {
            store<i32>(unit, seflags, i);
        } else if (block && match(key, "+Strength") && !match(card.option(), "TYPE=INSITU")) {
            strength(unit, i);
        } else if (match(key, "++End Section")) {
            if (i > secidlist.extent(1)) {
                errorhandling::report(-3, "More section blocks than sections", routine);
            } else {
                secidlist(i) = id;
                // one id or one thickness stands for the plies of the last orientation list
                const i64 np = mat.extent(1);
                const i64 ids = nmat == 1 ? std::max<i64>(nply, 1) : 0;
                const i64 thick = nlay == 1 ? nply : 0;
                if (std::max(ids, thick) > np)
                    errorhandling::report(-3, "More values than plies", routine);
                if (np > 0) {
                    std::fill_n(&mat(1, i), std::min(ids, np), mat(1, i));
                    std::fill_n(&plythickness(1, i), std::min(thick, np), plythickness(1, i));
                }
            }
            ++i;
            block = false;
        }
    }
    const i32 np = static_cast<i32>(mat.extent(1)), ns = static_cast<i32>(mat.extent(2));
    const i32 marker = kNoPly;
    if (plyzcoord.extent(1) == 2 * i64{np} + 1 && plyzcoord.extent(2) == ns)
        laminate::GetSectionZCoord(plyzcoord.data, mat.data, plythickness.data, &np, &ns, &marker);
}

}  // extern "C"
}  // namespace vorlen::iohandling
