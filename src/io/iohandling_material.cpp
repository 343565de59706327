// Material card: elastic constants, strengths and their temperature blocks, failure settings,
// cure data and the resin calibration tables.
#include "io/iohandling_material.hpp"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <string>
#include <string_view>
#include <type_traits>

#include "base/errorhandling.hpp"
#include "base/units.hpp"
#include "base/work.hpp"
#include "core/materialdata.hpp"
#include "core/stringhandling.hpp"
#include "io/iohandling.hpp"
#include "io/iohandling_extents.hpp"
#include "materials/lamina_stiffness.hpp"

namespace vorlen::iohandling {
namespace {

using std::string_view;

// stringhandling's match and occurs for a second text b without leading and trailing blanks:
// they run on every line of the three passes, and without trimming either text or screening
// sixteen windows at a time the reader takes about 13 % fewer instructions.
char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
bool same(const char* a, string_view b) {
    for (std::size_t i = 0; i < b.size(); ++i)
        if (a[i] != b[i] && lower(a[i]) != lower(b[i])) return false;
    return true;
}
// a and b equal without regard to case and trailing blanks
bool match(string_view a, string_view b) {
    if (a.size() < b.size() || !same(a.data(), b)) return false;
    for (std::size_t i = b.size(); i < a.size(); ++i)
        if (a[i] != ' ') return false;
    return true;
}
// b occurs in a, without regard to case
bool occurs(string_view a, string_view b) {
    if (b.empty()) return true;
    const char first = lower(b[0]);
    for (std::size_t p = 0; p + b.size() <= a.size(); ++p)
        if (lower(a[p]) == first && same(a.data() + p, b)) return true;
    return false;
}
constexpr string_view routine = "getmaterialdatafromfile";
constexpr double kHuge = DBL_MAX;
constexpr i32 kNoPly = 2147483647;

// Calibration kinds with a temperature axis, in the order of their tables below.
enum Kind { kSecant, kNormal, kShear, kFlow, kAlpha1, kAlpha2, kAlpha3, kKinds };
constexpr int kWidth[kKinds] = {2, 2, 2, 3, 2, 2, 2};

// What a "+Calibration" option selects: a kind above, the ratio, the equivalent stress or none.
enum { kRatio = kKinds, kStress, kNone };
int calibration(string_view option) {
    static constexpr string_view names[] = {"TYPE=Secant", "TYPE=Normal", "TYPE=Shear"};
    for (int k = 0; k < 3; ++k)
        if (occurs(option, names[k])) return k;
    if (occurs(option, "TYPE=Ratio")) return kRatio;
    if (occurs(option, "TYPE=Plasticity")) return kFlow;
    if (occurs(option, "TYPE=EquivalentStress")) return kStress;
    static constexpr string_view alphas[] = {"TYPE=Alpha1", "TYPE=Alpha2", "TYPE=Alpha3"};
    for (int k = 0; k < 3; ++k)
        if (occurs(option, alphas[k])) return kAlpha1 + k;
    return kNone;
}

// Cure column (1..8) of a key line, 0 for none; "+Curing" with an empty option also outside a
// block.
bool empty(string_view option) { return stringhandling::len_trim(option) == 0; }
int cure_column(string_view key, string_view option, bool block) {
    if (match(key, "+Curing")) {
        if (!block && !empty(option)) return 0;
        if (empty(option) || occurs(option, "TYPE=EXPONENTIAL")) return 5;
        if (occurs(option, "TYPE=RATE")) return 7;
        if (occurs(option, "TYPE=MASTER")) return 8;
        return 0;
    }
    if (!block) return 0;
    static constexpr string_view keys[] = {"+GelPoint", "+Enthalpie", "+Expansion", "+Shrinkage",
                                           "", "+Transition"};
    for (int c = 0; c < 6; ++c)
        if (c != 4 && match(key, keys[c])) return c + 1;
    return 0;
}

// "+Temperature" by the first 12 characters of the key.
bool temperature_key(string_view key) { return match(key.substr(0, 12), "+Temperature"); }

// Number of "T=" (upper case) in the option.
i64 count_t(string_view option) {
    i64 n = 0;
    for (std::size_t p = option.find("T="); p != string_view::npos; p = option.find("T=", p + 1))
        ++n;
    return n;
}

// Which "+Failure" list the option selects: 0 selectors, 1 evolution, 2 limits, 3 damage
// parameters, -1 none.
int failure_kind(string_view option, bool block) {
    if (empty(option)) return 0;
    if (!block) return -1;
    if (occurs(option, "TYPE=INITIATION")) return 0;
    if (occurs(option, "TYPE=EVOLUTION")) return 1;
    if (occurs(option, "TYPE=DEGRADATION")) return 2;
    if (occurs(option, "TYPE=PROPERTIES")) return 3;
    return -1;
}

// The card's lines, read once: the passes go over them in memory, and a key's data block is
// read without moving the unit back.
class Text {
  public:
    // Lines as the unit's line reads give them: without their line end (and a carriage return
    // before it), whole; a last line without line end counts unless empty.
    // The file is taken in whole; after a failed read only the lines read in full are kept.
    explicit Text(i32 unit) {
        constexpr i64 chunk = 1 << 16;
        i64 n;
        for (std::size_t have = 0;; have += static_cast<std::size_t>(n)) {
            all_.resize(have + chunk);
            n = io::read_bytes(unit, all_.data() + have, chunk);
            if (n <= 0) {
                all_.resize(have);
                break;
            }
        }
        // the lines moved to the front one after the other; every move goes backwards
        const bool failed = n < 0;
        std::size_t to = 0;
        for (std::size_t from = 0; from < all_.size();) {
            const std::size_t end = all_.find('\n', from);
            if (end == String::npos && failed) break;
            const std::size_t stop = end == String::npos ? all_.size() : end;
            std::size_t len = stop - from;
            if (len > 0 && all_[stop - 1] == '\r') --len;
            ends_.push_back(to);
            std::char_traits<char>::move(all_.data() + to, all_.data() + from, len);
            to += len;
            from = stop + 1;
        }
        all_.resize(to);
        ends_.push_back(all_.size());
    }
    void rewind() { at_ = -1; }
    // The next line as key line: the key before its first comma and the option after it, left
    // adjusted, within its first 80 characters.
    bool next() {
        if (++at_ >= lines()) return false;
        const string_view line = line_(at_).substr(0, kCardLine);
        if (line.empty() || line[0] != '+') {  // no key line: the passes skip it
            key_ = option_ = string_view();
            return true;
        }
        const std::size_t comma = line.find(',');
        key_ = line.substr(0, comma);
        option_ = comma == string_view::npos ? string_view() : line.substr(comma + 1);
        option_ = option_.substr(std::min(option_.find_first_not_of(' '), option_.size()));
        return true;
    }
    string_view key() const { return key_; }
    string_view option() const { return option_; }
    // Item count of the data block after the current line.
    i64 block_size() const {
        i64 n = 0;
        for (i64 k = at_ + 1; data(k); ++k) n += count_items(line_(k));
        return n;
    }
    // Reads the data block after the current line into out (its items, empty ones 0) and moves
    // to its last line; false after an item that is no number of the kind (recorded).
    template <class T>
    bool read(Vector<T>& out) {
        out.clear();
        bool ok = true;
        for (; data(at_ + 1); ++at_) {
            const string_view line = line_(at_ + 1);
            const std::size_t have = out.size(), n = static_cast<std::size_t>(count_items(line));
            out.resize(have + n);  // an empty item leaves its place 0
            bool line_ok;
            parse_items(line, out.data() + have, static_cast<i64>(n), line_ok);
            ok = ok && line_ok;
        }
        if (!ok)
            errorhandling::report(-2, "Error: Error in GetDataPointsRead operation exited with an error.");
        return ok;
    }

    template <class T>
    Vector<T>& buffer() {
        if constexpr (std::is_same_v<T, i32>) return ints_;
        else return reals_;
    }

  private:
    Vector<double> reals_;
    Vector<i32> ints_;
    i64 lines() const { return static_cast<i64>(ends_.size()) - 1; }
    string_view line_(i64 k) const {
        const auto b = ends_[static_cast<std::size_t>(k)], e = ends_[static_cast<std::size_t>(k) + 1];
        return string_view(all_).substr(b, e - b);
    }
    bool data(i64 k) const {
        if (k >= lines()) return false;
        const string_view l = line_(k);
        return l.empty() || (l[0] != '*' && l[0] != '+');
    }
    String all_;                // the lines one after the other
    Vector<std::size_t> ends_;  // line k is all_[ends_[k], ends_[k + 1])
    i64 at_ = -1;
    string_view key_, option_;
};

// The values of the data block after the current key line.
// One at a time: they share the text's buffer of their kind.
template <class T>
class Values {
  public:
    explicit Values(Text& text) : v_(text.buffer<T>()) { ok_ = text.read(v_); }
    bool ok() const { return ok_; }
    i64 size() const { return static_cast<i64>(v_.size()); }
    const T* data() const { return v_.data(); }
    T operator[](i64 i) const { return v_[static_cast<std::size_t>(i)]; }

  private:
    Vector<T>& v_;
    bool ok_;
};

struct Sizes {
    i64 nelastic = 9, nstrength = 10, ntemp = 1, nhygro = 1, nfracture = 1, ndamage = 1, nreg = 1,
        nrate = 7, nmaster = 1, nstress = 1;
    i64 ncal[kKinds] = {1, 1, 1, 1, 1, 1, 1};
};

// First pass: the longest list of every counted kind inside blocks.
Sizes first_pass(Text& card) {
    Sizes s;
    bool block = false;
    while (card.next()) {
        const string_view key = card.key(), opt = card.option();
        if (key.empty() || key[0] != '+') continue;
        if (match(key, "++Begin Material")) block = true;
        if (match(key, "++End Material")) block = false;
        if (!block) continue;
        i64* size = nullptr;
        if (match(key, "+Calibration")) {  // the most frequent key first
            const int k = calibration(opt);
            if (k < kKinds) size = &s.ncal[k];
            else if (k == kStress) size = &s.nstress;
        } else if (match(key, "+Elastic")) size = &s.nelastic;
        else if (match(key, "+Strength")) size = &s.nstrength;
        else if (temperature_key(key)) size = &s.ntemp;
        else if (match(key, "+Hygrothermal")) size = &s.nhygro;
        else if (match(key, "+Fracture")) size = &s.nfracture;
        else if (match(key, "+Failure") && occurs(opt, "TYPE=PROPERTIES")) size = &s.ndamage;
        else if (match(key, "+Regularization") && occurs(opt, "TYPE=VISCOUS")) size = &s.nreg;
        else if (match(key, "+Curing") && occurs(opt, "TYPE=RATE")) size = &s.nrate;
        else if (match(key, "+Curing") && occurs(opt, "TYPE=MASTER")) size = &s.nmaster;
        if (size) *size = std::max(*size, card.block_size());
    }
    card.rewind();
    return s;
}

// A temperature list: its values when it is not empty and every value is a finite temperature.
bool temperature_list(const Values<double>& v, Vector<double>& out) {
    if (!v.ok()) return false;
    bool good = v.size() > 0;
    for (i64 k = 0; k < v.size(); ++k) good = good && std::isfinite(v[k]) && std::abs(v[k]) < kHuge;
    if (!good) {
        errorhandling::report(-3, "Temperature list empty or not finite", routine);
        return false;
    }
    out.assign(v.data(), v.data() + v.size());
    return true;
}

// Second pass: the ascending union of the temperature lists of the card (exact equality).
Vector<double> grid_pass(Text& card) {
    Vector<double> grid, list;
    bool started = false, held = false;
    while (card.next()) {
        const string_view key = card.key();
        if (key.empty() || key[0] != '+') continue;
        if (match(key, "++Begin Material")) started = true;
        if (!started) continue;
        if (temperature_key(key)) {
            if (temperature_list(Values<double>(card), list)) held = true;
        } else if (match(key, "++End Material") && held) {
            grid.insert(grid.end(), list.begin(), list.end());
            held = false;
        }
    }
    card.rewind();
    if (!std::is_sorted(grid.begin(), grid.end())) std::sort(grid.begin(), grid.end());
    grid.erase(std::unique(grid.begin(), grid.end()), grid.end());
    if (grid.empty()) grid.push_back(kHuge);
    return grid;
}

template <class A, class... E>
bool shaped(const A& a, E... e) {
    return fits(a, false, e...);
}

// The reader's tables: kept when all are allocated with the extents this card needs, else
// allocated anew with their fills. False, with every table released and -3, when they are
// beyond memory (the counts come from the cards).
bool allocate_tables(const Sizes& s, i64 np, i64 ns) {
    using namespace materialdata;
    const i64 nt = s.ntemp, ncure = std::max(s.nmaster, s.nrate), nstress = std::max<i64>(s.nstress / 2, 1);
    i64 points[kKinds];
    for (int k = 0; k < kKinds; ++k) points[k] = std::max<i64>(s.ncal[k] / kWidth[k], 1);
    Alloc<double, 3>* cal[kKinds] = {&secantprops, &normalprops, &shearprops, &flowprops,
                                     &alpha1props, &alpha2props, &alpha3props};
    bool fits = shaped(pfflags, 5, np, ns) && shaped(peflags, 5, np, ns) &&
                shaped(pelimits, 12, np, ns) && shaped(peprops, s.nelastic * nt, np, ns) &&
                shaped(psprops, s.nstrength * nt, np, ns) && shaped(phprops, s.nhygro, np, ns) &&
                shaped(pfprops, s.nfracture, np, ns) && shaped(pdprops, s.ndamage, np, ns) &&
                shaped(cuprops, ncure, 8, np, ns) && shaped(regularization, s.nreg) &&
                shaped(equivalentstress, nstress, 2);
    for (int k = 0; k < kKinds; ++k) fits = fits && shaped(*cal[k], nt, points[k], kWidth[k]);
    if (!fits) {
        // (allocate without a fill gives zeros)
        fits = pfflags.try_allocate({5, np, ns}) && peflags.try_allocate({5, np, ns}) &&
               pelimits.try_allocate({12, np, ns}, -1.0) &&
               peprops.try_allocate({s.nelastic * nt, np, ns}) &&
               psprops.try_allocate({s.nstrength * nt, np, ns}) &&
               phprops.try_allocate({s.nhygro, np, ns}) &&
               pfprops.try_allocate({s.nfracture, np, ns}) &&
               pdprops.try_allocate({s.ndamage, np, ns}, kHuge) &&
               cuprops.try_allocate({ncure, 8, np, ns}, kHuge) &&
               regularization.try_allocate({s.nreg}) && equivalentstress.try_allocate({nstress, 2});
        for (int k = 0; k < kKinds; ++k)
            fits = fits && cal[k]->try_allocate({nt, points[k], kWidth[k]});
    }
    if (!fits) {
        release_all(pfflags, peflags, pelimits, peprops, psprops, phprops, pfprops, pdprops,
                    cuprops, regularization, equivalentstress);
        for (int k = 0; k < kKinds; ++k) cal[k]->release();
        errorhandling::report(-3, "Material tables beyond memory", routine);
        return false;
    }
    i32* counts[kKinds] = {&nsecantdata, &nnormaldata, &nsheardata, &nflowdata,
                           &nalpha1data, &nalpha2data, &nalpha3data};
    for (int k = 0; k < kKinds; ++k) *counts[k] = static_cast<i32>(points[k]);
    return true;
}

// A list held for the block end.
struct Held {
    bool set = false;
    Vector<double> v;
    template <class T>
    void take(const Values<T>& b) {
        if (!b.ok()) return;
        v.assign(b.data(), b.data() + b.size());
        set = true;
    }
    i64 size() const { return static_cast<i64>(v.size()); }
    void clear() { set = false; }
};

// A single value written at once into a one-entry table allocated at its first line.
void global_value(Text& text, Alloc<double, 1>& a) {
    const Values<double> v(text);
    if (!v.ok() || v.size() < 1) return;
    if (!a.allocated() || a.extent(1) < 1) a.allocate({1});
    a(1) = v[0];
}

class Reader {
  public:
    Reader(Text& text, i64 ntemp) : text_(text), ntemp_(ntemp) {}

    void line(string_view key, string_view opt) {
        if (key.empty() || key[0] != '+') return;  // every key begins with "+"
        if (block_ && match(key, "+Calibration")) return calibration_line(opt);
        if (match(key, "++Begin Material")) {
            i32 value = 0;
            if (stringhandling::str2int(string_view(opt).substr(std::min<std::size_t>(6, opt.size())),
                                        value) == 0)
                id_ = value, has_id_ = true;
            else
                errorhandling::report(-3, "Material id is no integer", routine);
            counter_ = 1;
            block_ = true;
            return;
        }
        if (match(key, "++End Material")) {
            store();
            block_ = false;
            return;
        }
        if (match(key, "+Failure")) {
            const int k = failure_kind(opt, block_);
            if (k == 0 || k == 1) failure_[k].take(Values<i32>(text_));
            else if (k > 1) failure_[k].take(Values<double>(text_));
            return;
        }
        if (const int c = cure_column(key, opt, block_)) {
            const Values<double> v(text_);
            if (!v.ok()) return;
            if (v.size() > materialdata::cuprops.extent(1)) {
                errorhandling::report(-3, "Cure list longer than the cure table", routine);
                return;
            }
            cure_[c - 1].take(v);
            return;
        }
        if (!block_) return;
        if (match(key, "+ModelID")) {
            const Values<i32> v(text_);
            if (v.ok() && v.size() > 0) modelid_ = v[0], has_model_ = true;
        } else if (temperature_key(key)) {
            if (temperature_list(Values<double>(text_), temps_)) has_temps_ = true;
        } else if (match(key, "+Elastic")) {
            elastic_.take(Values<double>(text_));
            if (elastic_.set) ne_ = elastic_.size();
        } else if (match(key, "+Strength")) {
            strength_.take(Values<double>(text_));
            if (strength_.set) ns_ = strength_.size();
        } else if (match(key, "+Hygrothermal")) {
            hygro_.take(Values<double>(text_));
        } else if (match(key, "+Fracture")) {
            fracture_.take(Values<double>(text_));
        } else if (match(key, "+Table") && occurs(opt, "TYPE=TEMPERATURE")) {
            table_.take(Values<double>(text_));
        } else if (match(key, "+Regularization") && occurs(opt, "TYPE=VISCOUS")) {
            const Values<double> v(text_);
            auto& r = materialdata::regularization;
            if (v.ok()) std::copy_n(v.data(), std::min(v.size(), r.size()), r.data);
        } else if (match(key, "+I10")) {
            global_value(text_, materialdata::i10);
        }
    }

  private:
    void calibration_line(string_view opt) {
        const int k = calibration(opt);
        if (k == kRatio) return global_value(text_, materialdata::r_crit);
        if (k == kStress) return stress_.take(Values<double>(text_));
        if (k == kNone || count_t(opt) != 1) return;
        const Values<double> v(text_);
        if (!v.ok()) return;
        const i64 row = (counter_ - 1) % ntemp_;  // the counter wrapped into 1..ntemp, 0-based
        ++counter_;
        auto& t = cal_[k];
        const i64 width = width_of(k);
        if (!t.set) t.v.assign(static_cast<std::size_t>(ntemp_ * width), 0.0), t.set = true;
        const i64 n = std::min(v.size(), width);
        for (i64 c = 0; c < n; ++c) t.v[static_cast<std::size_t>(c * ntemp_ + row)] = v[c];
    }

    static Alloc<double, 3>& table(int k) {
        using namespace materialdata;
        Alloc<double, 3>* cal[kKinds] = {&secantprops, &normalprops, &shearprops, &flowprops,
                                         &alpha1props, &alpha2props, &alpha3props};
        return *cal[k];
    }
    // Values per temperature row of a kind: its points times their components.
    static i64 width_of(int k) { return table(k).extent(2) * table(k).extent(3); }

    // Calls f(j, i) for every ply position of the block's material.
    template <class F>
    void plies(F f) const {
        const auto& mat = materialdata::matidlist;
        if (!has_id_) return;
        for (i64 i = 1; i <= mat.extent(2); ++i)
            for (i64 j = 1; j <= mat.extent(1); ++j)
                if (mat(j, i) == id_) f(j, i);
    }

    // Rows from `row` (1-based) of column (j, i) of a take the n values.
    template <class A, class T>
    static void put(A& a, i64 row, const T* v, i64 n, i64 j, i64 i) {
        const i64 m = std::min(n, a.extent(1) - row + 1);
        for (i64 r = 0; r < m; ++r) a(row + r, j, i) = static_cast<typename A::value_type>(v[r]);
    }

    void store() {
        using namespace materialdata;
        if (has_model_) modelid = modelid_;
        has_model_ = false;
        // temperature scaling: ntemp rows of nE + nS factors
        const i64 nf = ne_ + ns_;
        const bool scaled = block_ && has_temps_ && table_.set && table_.size() == ntemp_ * nf;
        auto factor = [&](i64 k, i64 l) { return table_.v[static_cast<std::size_t>(k * nf + l)]; };
        const i64 nelastic = ntemp_ > 0 ? peprops.extent(1) / ntemp_ : 0;
        if (elastic_.set && ne_ >= 2 && ne_ <= 9) {
            // 3, 4 and 6 to 8 values: GetNyeProperties reports them and nothing is stored
            const i32 n = static_cast<i32>(ne_);
            const bool form = n == 2 || n == 5 || n == 9;
            const double* x = elastic_.v.data();
            double nye[9], e[9];
            lamina::GetNyeProperties(nye, x, &n);
            if (form) plies([&](i64 j, i64 i) { put(peprops, 1, nye, 9, j, i); });
            for (i64 k = 0; form && scaled && k < ntemp_; ++k) {
                for (i64 l = 0; l < ne_; ++l) e[l] = x[l] * factor(k, l);
                lamina::GetNyeProperties(nye, e, &n);
                plies([&](i64 j, i64 i) { put(peprops, k * nelastic + 1, nye, 9, j, i); });
            }
        }
        if (strength_.set && ns_ <= 10) {
            const double* x = strength_.v.data();
            plies([&](i64 j, i64 i) { put(psprops, 1, x, ns_, j, i); });
            double s[10];
            for (i64 k = 0; scaled && k < ntemp_; ++k) {
                for (i64 l = 0; l < ns_; ++l) s[l] = x[l] * factor(k, ne_ + l);
                plies([&](i64 j, i64 i) { put(psprops, k * ns_ + 1, s, ns_, j, i); });
            }
        }
        if (hygro_.set && hygro_.size() <= 5)
            plies([&](i64 j, i64 i) { put(phprops, 1, hygro_.v.data(), hygro_.size(), j, i); });
        if (fracture_.set && fracture_.size() <= 5)
            plies([&](i64 j, i64 i) { put(pfprops, 1, fracture_.v.data(), fracture_.size(), j, i); });
        const Held& damage = failure_[3];
        if (damage.set && damage.size() <= 5)
            plies([&](i64 j, i64 i) { put(pdprops, 1, damage.v.data(), damage.size(), j, i); });
        for (int k = 0; k < 2; ++k) {
            const Held& f = failure_[k];
            auto& flags = k == 0 ? pfflags : peflags;
            if (f.set && f.size() <= 5)
                plies([&](i64 j, i64 i) { put(flags, 1, f.v.data(), f.size(), j, i); });
        }
        const Held& lim = failure_[2];
        if (lim.set && (lim.size() == 6 || lim.size() == 12)) {
            double l[12];
            for (int r = 0; r < 12; ++r) l[r] = lim.v[static_cast<std::size_t>(r % lim.size())];
            plies([&](i64 j, i64 i) { put(pelimits, 1, l, 12, j, i); });
        }
        store_cure();
        store_calibration();
        for (Held* h : {&elastic_, &strength_, &hygro_, &fracture_, &stress_}) h->clear();
        for (Held& h : failure_) h.clear();
        for (Held& h : cure_) h.clear();
        for (Held& h : cal_) h.clear();
    }

    void store_cure() {
        auto& cu = materialdata::cuprops;
        for (const Held& c : cure_)
            if (!c.set) return;
        auto column = [&](i64 j, i64 i) {
            for (i64 c = 0; c < 8; ++c)
                for (i64 r = 0; r < std::min(cure_[c].size(), cu.extent(1)); ++r)
                    cu(r + 1, c + 1, j, i) = cure_[c].v[static_cast<std::size_t>(r)];
        };
        const auto& mat = materialdata::matidlist;
        bool unset = true;
        for (const i32 m : mat) unset = unset && m == kNoPly;
        if (unset && mat.extent(1) == 1 && mat.extent(2) == 1)
            column(1, 1);
        else
            plies(column);
    }

    void store_calibration() {
        for (const int k : {int{kFlow}, int{kSecant}, int{kNormal}, int{kShear}, int{kStress},
                            int{kAlpha1}, int{kAlpha2}, int{kAlpha3}}) {
            if (k == kStress) {
                auto& eq = materialdata::equivalentstress;
                if (!stress_.set) continue;
                const i64 n = std::min(eq.extent(1), stress_.size() / 2);
                for (i64 p = 1; p <= n; ++p)
                    for (i64 c = 1; c <= 2; ++c)
                        eq(p, c) = stress_.v[static_cast<std::size_t>(2 * p + c - 3)];
                continue;
            }
            if (!cal_[k].set) continue;
            auto& a = table(k);
            const i64 points = a.extent(2), width = a.extent(3);
            const i64 rows = std::min(a.extent(1), ntemp_);
            for (i64 t = 1; t <= rows; ++t)
                for (i64 p = 1; p <= points; ++p)
                    for (i64 c = 1; c <= width; ++c)
                        a(t, p, c) = cal_[k].v[static_cast<std::size_t>(((p - 1) * width + c - 1) * ntemp_ + t - 1)];
        }
    }

    Text& text_;
    i64 ntemp_;
    bool block_ = false, has_id_ = false, has_model_ = false, has_temps_ = false;
    i32 id_ = 0, modelid_ = 0;
    i64 counter_ = 1, ne_ = 0, ns_ = 0;
    Vector<double> temps_;
    Held elastic_, strength_, hygro_, fracture_, table_, stress_;
    Held failure_[4], cure_[8], cal_[kKinds];
};

}  // namespace

extern "C" {

void iohandling_getmaterialdatafromfile(const char* filepath, const char* workspace,
                                        const i32* nplies, const i32* nsec) {
    Card card({filepath, 256}, {workspace, 256}, "MaterialCard");
    if (!card.open()) return;
    const i64 np = *nplies, ns = *nsec;
    const auto& mat = materialdata::matidlist;
    if (np < 1 || ns < 1 || (mat.allocated() && (mat.extent(1) != np || mat.extent(2) != ns))) {
        errorhandling::report(-3, "Ply or section count not that of matidlist", routine);
        return;
    }
    Text text(card.unit());
    Sizes sizes = first_pass(text);
    const Vector<double> grid = grid_pass(text);
    sizes.ntemp = static_cast<i64>(grid.size());
    auto& temps = materialdata::temperatures;
    if (!shaped(temps, sizes.ntemp)) temps.allocate({sizes.ntemp});
    std::copy(grid.begin(), grid.end(), temps.data);
    materialdata::ntempdata = static_cast<i32>(sizes.ntemp);
    if (!allocate_tables(sizes, np, ns) || !mat.allocated()) return;
    Reader reader(text, sizes.ntemp);
    while (text.next()) reader.line(text.key(), text.option());
}

}  // extern "C"
}  // namespace vorlen::iohandling
