// Model listing of the solver: element extents, element and node tables, and the report file.
#include "io/iohandling_model.hpp"

#include <sys/stat.h>

#include <algorithm>
#include <cstring>

#include "base/errorhandling.hpp"
#include "base/units.hpp"
#include "base/work.hpp"
#include "core/elementdata.hpp"
#include "core/nodaldata.hpp"
#include "core/sectiondata.hpp"
#include "core/stringhandling.hpp"
#include "elements/elementhandling_kinds.hpp"
#include "elements/elementhandling_store.hpp"
#include "io/iohandling_primitives.hpp"

namespace vorlen::iohandling {
namespace {

using std::string_view;
constexpr string_view routine = "getabqdatafromfile";

// First word of a text (blanks separate words) and the rest after it, left-adjusted.
struct Words {
    string_view first, rest;
    explicit Words(string_view s) {
        const std::size_t b = std::min(s.find_first_not_of(' '), s.size());
        s.remove_prefix(b);
        const std::size_t e = std::min(s.find(' '), s.size());
        first = s.substr(0, e);
        rest = s.substr(e);
        rest.remove_prefix(std::min(rest.find_first_not_of(' '), rest.size()));
        rest = rest.substr(0, static_cast<std::size_t>(stringhandling::len_trim(rest)));
    }
};

// The type name of an element line: the first word of the rest, blank-padded or cut to 8.
struct TypeName {
    char c[8];
    explicit TypeName(string_view word) {
        for (std::size_t k = 0; k < 8; ++k) c[k] = k < word.size() ? word[k] : ' ';
    }
    string_view view() const { return {c, 8}; }
};

bool label_of(string_view word, i32& label) { return number(word, label) && label > 0; }

// Whether the element of this type is counted and stored (S..., or C... but not CIN...).
bool counted(string_view t) { return t[0] == 'S' || (t[0] == 'C' && t.substr(1, 2) != "IN"); }

// The unit of the listing, closed with the object.
struct Listing {
    i32 unit = -1;
    explicit Listing(string_view path) {
        const i64 open = io::unit_of(path);
        if (open >= 0 && io::readable(open)) {
            unit = static_cast<i32>(open);
            io::rewind(unit);
            return;
        }
        const i64 u = io::free_unit(1, 120);
        if (u >= 0 && io::open_read(u, path)) unit = static_cast<i32>(u);
    }
    ~Listing() {
        if (unit >= 0) io::close(unit);
    }
    // The next line, read whole and cut to the kLine characters the listing's lines hold;
    // false at the end of the file.
    bool next(string_view& line) {
        if (whole_.read(unit) < 0) return false;
        line = whole_.text().substr(0, kLine);
        return true;
    }
    // Records -3 when the line last read holds more than its kLine characters: what it says
    // beyond them is not read.
    void used() const {
        if (cut() && stringhandling::len_trim(whole_.text()) > kLine)
            errorhandling::report(-3, "Listing line longer than 256 characters", routine);
    }
    // Reads up to the line holding the heading; false when there is none.
    bool find(string_view heading) {
        string_view line;
        while (next(line)) {
            if (stringhandling::occurs(line, heading)) return true;
            if (cut() && stringhandling::occurs(whole_.text(), heading)) used();
        }
        return false;
    }

  private:
    // Whether the line last read goes on beyond its kLine characters (only then can the whole
    // line say more than the line handed out).
    bool cut() const { return whole_.text().size() > kLine; }
    Line whole_;
};

struct Node {
    i32 label;
    double x[3];
};

// Node rows in listing order (labels ascending), grown by doubling.
class Nodes {
  public:
    ~Nodes() { block::release(blk_); }
    void add(const Node& n) {
        if (n_ == cap_) {
            const i64 cap = cap_ ? 2 * cap_ : 1024;
            Block* b = block::create(cap, sizeof(Node));
            if (n_) std::memcpy(block::data(b), p_, static_cast<std::size_t>(n_) * sizeof(Node));
            block::release(blk_);
            blk_ = b, p_ = static_cast<Node*>(block::data(b)), cap_ = cap;
        }
        p_[n_++] = n;
    }
    // The last row of the label, null when there is none. Labels numbered from 1 without gaps
    // sit at row label - 1, which is tried first.
    const Node* find(i32 label) const {
        const i64 k = i64{label} - 1;
        if (k >= 0 && k < n_ && p_[k].label == label && (k + 1 == n_ || p_[k + 1].label != label))
            return p_ + k;
        const Node* e =
            std::upper_bound(p_, p_ + n_, label, [](i32 l, const Node& n) { return l < n.label; });
        return e != p_ && e[-1].label == label ? e - 1 : nullptr;
    }

  private:
    Block* blk_ = nullptr;
    Node* p_ = nullptr;
    i64 n_ = 0, cap_ = 0;
};

// a with the extents e: kept when it has them, else allocated anew (zeros); false when that is
// beyond memory (the extents come from the listing).
template <class A, class... E>
bool fit(A& a, E... e) {
    const i64 want[] = {static_cast<i64>(e)...};
    bool kept = a.allocated();
    for (int d = 0; d < A::rank; ++d) kept = kept && a.extent(d + 1) == want[d];
    return kept || a.try_allocate({static_cast<i64>(e)...});
}

// Size pass: the element count and extents of the element table; false when there is no
// element or the table runs to the end of the file.
bool size_pass(Listing& f, i32& iele, i32& inodes, i32& idof) {
    if (!f.find(abq_elem)) return false;
    bool element = false;
    string_view line;
    while (f.next(line)) {
        const Words w(line);
        i32 label;
        if (label_of(w.first, label)) {
            element = true;
            const TypeName t(Words(w.rest).first);
            iohandling_getelementdataextents(&iele, &inodes, &idof, t.c);
        } else if (element) {
            return iele > 0;
        }
    }
    return false;
}

void element_pass(Listing& f, i64 nelem) {
    using namespace elementdata;
    if (!f.find(abq_elem)) return;
    const i64 slots = elemnodes.extent(1);
    string_view line;
    for (i64 e = 0; e < nelem && f.next(line);) {
        const Words w(line);
        i32 label;
        if (!label_of(w.first, label)) continue;
        const Words type(w.rest);
        const TypeName t(type.first);
        if (!counted(t.view())) continue;
        f.used();
        ++e;
        elemlist(e) = label;
        const i32 kind = elementhandling::abq_kind(t.view());
        elemkind(e) = kind;
        if (kind < 1 || kind > 8) continue;
        Words node(Words(type.rest).rest);  // the property reference is skipped
        for (i64 l = 1; !node.first.empty(); ++l, node = Words(node.rest)) {
            i32 id;
            if (!number(node.first, id)) break;
            if (l > slots) {
                errorhandling::report(-3, "More node labels than nnodes", routine);
                break;
            }
            elemnodes(l, e) = id;
        }
    }
}

void node_pass(Listing& f, Nodes& nodes) {
    if (!f.find(abq_node)) return;
    bool any = false;
    i32 top = 0;
    string_view line;
    while (f.next(line)) {
        const Words w(line);
        i32 label;
        if (!label_of(w.first, label)) {
            if (!number(w.first, label) && any) return;
            continue;
        }
        Node n{label, {0, 0, 0}};
        Words c(w.rest);
        int k = 0;
        bool ok = true;
        for (; k < 3 && !c.first.empty(); ++k, c = Words(c.rest))
            ok = ok && number(c.first, n.x[k]);
        if (k < 2 || !ok) continue;
        if (label < top) return;
        f.used();
        top = label;
        any = true;
        nodes.add(n);
    }
}

// Every element slot holding a node label takes its coordinates, at the label's first slot.
void distribute(const Nodes& nodes) {
    using namespace elementdata;
    auto& coords = nodaldata::nodalcoords;
    const i64 ne = std::min({i64{nelem}, elemnodes.extent(2), coords.extent(3)});
    const i64 ns = std::min(elemnodes.extent(1), coords.extent(2));
    const View<i32, 2> lab = elemnodes.view();
    elementhandling::store::Loop(ne).each([&](i64 e) {
        for (i64 l = 1; l <= ns; ++l) {
            const i32 id = lab(l, e);
            if (id < 1) continue;
            bool first = true;
            for (i64 k = 1; k < l && first; ++k) first = lab(k, e) != id;
            if (!first) continue;
            if (const Node* n = nodes.find(id))
                for (int r = 0; r < 3; ++r) coords(r + 1, l, e) = n->x[r];
        }
    });
}

}  // namespace

extern "C" {

void iohandling_getelementdataextents(i32* iele, i32* inodes, i32* idof, const char* elemtype) {
    const string_view t(elemtype, 8);
    auto digit = [&t](std::size_t k, i32& n) {
        if (t[k - 1] < '0' || t[k - 1] > '9') return false;
        n = t[k - 1] - '0';
        return true;
    };
    i32 n = 0;
    bool known = false;
    if (t[0] == 'S') {
        known = digit(2, n) || digit(5, n) || digit(3, n);
    } else if (t[0] == 'C' && t.substr(1, 2) != "IN") {
        const auto last = static_cast<std::size_t>(stringhandling::len_trim(t));
        const string_view upto = last > 3 ? t.substr(3, last - 3) : string_view();
        known = stringhandling::str2int(upto, n) == 0 ||
                (last > 4 && stringhandling::str2int(upto.substr(0, last - 4), n) == 0);
    } else {
        return;
    }
    *iele += 1;
    if (known) *inodes = std::max(*inodes, n);
    const auto last = stringhandling::len_trim(t);
    *idof = std::max(*idof, last > 0 && t[static_cast<std::size_t>(last - 1)] == '5' ? 5 : 6);
}

void iohandling_getabqdatafromfile(const char* filepath, const i32* lfilepath) {
    Listing f(io::trimmed(filepath, static_cast<std::size_t>(std::max<i32>(*lfilepath, 0))));
    if (f.unit < 0) return;
    i32 iele = 0, inodes = 0, idof = 0;
    if (!size_pass(f, iele, inodes, idof)) return;
    using namespace elementdata;
    using namespace nodaldata;
    // the element and nodal tables of datahandling's allocators, with these extents
    const i32 kelem = iele, knodes = std::max(inodes, 1), kdof = std::max(idof, 1);
    auto& nsp = sectiondata::nsectionpoints;
    // (the largest first, so that a refusal comes before the others are filled)
    if (!(fit(nodesmotion, kdof, knodes, kelem) && fit(nodalcoords, 3, knodes, kelem) &&
          fit(elemnodes, knodes, kelem) && fit(tnodalmatrices, 3, 3, 8, kelem) &&
          fit(tcurvmatrices, 3, 3, kelem) && fit(elemlist, kelem) && fit(elemkind, kelem) &&
          fit(elemcurvatures, 2, kelem) && fit(elemreforientation, 7, kelem) && fit(nsp, kelem))) {
        release_all(elemlist, elemkind, elemnodes, elemcurvatures, elemreforientation, nsp,
                    nodesmotion, nodalcoords, tnodalmatrices, tcurvmatrices);
        errorhandling::report(-3, "Element tables beyond memory", routine);
        return;
    }
    nelem = kelem;
    nnodes = knodes;
    ndof = kdof;
    std::fill(elemkind.begin(), elemkind.end(), 0);
    std::fill(elemnodes.begin(), elemnodes.end(), 0);
    std::fill(sectiondata::nsectionpoints.begin(), sectiondata::nsectionpoints.end(), 0);
    std::fill(nodesmotion.begin(), nodesmotion.end(), 0.0);
    std::fill(nodalcoords.begin(), nodalcoords.end(), 0.0);

    io::rewind(f.unit);
    element_pass(f, nelem);
    io::rewind(f.unit);
    Nodes nodes;
    node_pass(f, nodes);
    distribute(nodes);
}

void iohandling_getgausspointreport(const char* filepath, const double* coord, const i32* noel,
                                    const i32* npt, const i32* lfilepath) {
    const string_view path =
        io::trimmed(filepath, static_cast<std::size_t>(std::max<i32>(*lfilepath, 0)));
    const i64 unit = io::free_unit(1, 120);
    if (unit < 0) return;
    Work<char, kLine + 1> name(static_cast<i64>(path.size()) + 1);
    std::memcpy(name.data(), path.data(), path.size());
    struct stat st;
    const bool exists = stat(name.data(), &st) == 0;
    if (!io::open_append(unit, path)) return;
    if (!exists) io::write(unit, "(a8,a8,a25,a25,a25)", {"NOEL", "NPT", "x", "y", "z"});
    io::write(unit, "(2i8,3f25.8)", {*noel, *npt, coord[0], coord[1], coord[2]});
    io::close(unit);
}

}  // extern "C"
}  // namespace vorlen::iohandling
