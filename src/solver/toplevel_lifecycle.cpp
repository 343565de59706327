#include "solver/toplevel_lifecycle.hpp"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/errorhandling.hpp"
#include "base/units.hpp"
#include "core/damagedata.hpp"
#include "core/datahandling.hpp"
#include "core/debugdata.hpp"
#include "core/elementdata.hpp"
#include "core/impactdata.hpp"
#include "core/jobdata.hpp"
#include "core/loaddata.hpp"
#include "core/materialdata.hpp"
#include "core/nodaldata.hpp"
#include "core/sectiondata.hpp"
#include "core/shokriehdata.hpp"
#include "core/signalprocessing.hpp"
#include "elements/elementhandling_reference.hpp"
#include "io/iohandling_damage.hpp"
#include "io/iohandling_extents.hpp"
#include "io/iohandling_material.hpp"
#include "io/iohandling_model.hpp"
#include "io/iohandling_primitives.hpp"
#include "io/iohandling_section.hpp"
#include "io/iohandling_step.hpp"
#include "materials/laminate_shape.hpp"
#include "materials/laminate_shear.hpp"
#include "solver/toplevel_steps.hpp"

vorlen::Alloc<double, 2> toplevel_window;
vorlen::Alloc<vorlen::i32, 1> toplevel_denom;

namespace vorlen::toplevel {
namespace {

constexpr double lifecycle_gravity = 9.80665;
constexpr double lifecycle_mintimeincrement = 1e-10;
constexpr i32 lifecycle_nwin = 5;
constexpr std::string_view lifecycle_name = "UEXTERNALDB_IOControl";

// Step keywords in the order they are searched; the position is the step type.
constexpr std::string_view lifecycle_keys[] = {"VRL_INITIALIZATION", "VRL_FATIGUE",
                                               "VRL_STRUCTRESPONSE", "VRL_IMPACT",
                                               "VRL_RELAXATION",     "VRL_DIC"};

// A file connected for reading on the first free unit between 1 and 120, closed at the end.
class LifecycleFile {
  public:
    explicit LifecycleFile(const std::string& path) {
        const i64 u = io::free_unit(1, 120);
        if (u >= 0 && io::open_read(u, path)) unit_ = static_cast<i32>(u);
    }
    ~LifecycleFile() {
        if (unit_ >= 0) io::close(unit_);
    }
    LifecycleFile(const LifecycleFile&) = delete;
    LifecycleFile& operator=(const LifecycleFile&) = delete;
    bool open() const { return unit_ >= 0; }
    i32 unit() const { return unit_; }
    // The next line, whole, valid until the next read; false at the end of the file.
    bool next(std::string_view& line) {
        if (line_.read(unit_) < 0) return false;
        line = line_.text();
        return true;
    }

  private:
    i32 unit_ = -1;
    iohandling::Line line_;
};

std::string lifecycle_jobpath() {
    return std::string(io::trimmed(jobdata::jobfilepath, sizeof(jobdata::jobfilepath)));
}

// 256-character blank-padded text for the card readers.
std::string lifecycle_padded(std::string_view s) {
    std::string p(s.substr(0, 256));
    p.resize(256, ' ');
    return p;
}

std::string lifecycle_upper(std::string_view s) {
    std::string u(s);
    for (char& c : u) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return u;
}

// Columns of a deck line that its keywords are taken from.
constexpr std::size_t lifecycle_deck_width = 80;

// A deck line cut to 80 characters and split at its first comma: the part before it
// (upper-cased, trailing blanks dropped) and the part after it (upper-cased); whole, the
// upper-cased part after the first comma of the whole line.
struct LifecycleDeckLine {
    std::string head, tail, whole;
};

LifecycleDeckLine lifecycle_split(std::string_view line) {
    LifecycleDeckLine d;
    if (const auto comma = line.find(','); comma != std::string_view::npos)
        d.whole = lifecycle_upper(line.substr(comma + 1));
    line = line.substr(0, lifecycle_deck_width);
    const auto comma = line.find(',');
    d.head = lifecycle_upper(line.substr(0, comma));
    while (!d.head.empty() && d.head.back() == ' ') d.head.pop_back();
    if (comma != std::string_view::npos) d.tail = lifecycle_upper(line.substr(comma + 1));
    return d;
}

// A keyword of a step or instance line that reaches beyond the columns it is taken from: the
// line counts without it, and -3 says so.
void lifecycle_keyword_beyond(const LifecycleDeckLine& d) {
    const bool step = d.head == "*STEP";
    if (!step && d.head != "*INSTANCE") return;
    const auto cut = [&d](std::string_view key) {
        return d.whole.find(key) != std::string::npos && d.tail.find(key) == std::string::npos;
    };
    bool beyond = cut("VRL_SENSORELEMENT");
    for (const std::string_view key : lifecycle_keys) beyond = beyond || (step && cut(key));
    if (beyond) errorhandling::report(-3, "Deck keyword beyond column 80", lifecycle_name);
}

// Appends the free-format words of a line (separated by blanks, tabs or commas) to words,
// up to `want` of them.
void lifecycle_words(std::string_view line, std::vector<std::string>& words, std::size_t want) {
    std::size_t i = 0;
    while (i < line.size() && words.size() < want) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == ',')) ++i;
        std::size_t j = i;
        while (j < line.size() && line[j] != ' ' && line[j] != '\t' && line[j] != ',') ++j;
        if (j > i) words.emplace_back(line.substr(i, j - i));
        i = j;
    }
}

// The impactor position on the line after a declaring line: three numbers, else 0 with -3.
void lifecycle_position(const std::string_view* line, double* x) {
    std::vector<std::string> w;
    if (line != nullptr) lifecycle_words(*line, w, 3);
    bool ok = w.size() == 3;
    for (std::size_t i = 0; ok && i < 3; ++i) ok = iohandling::number(w[i], x[i]);
    if (!ok) {
        x[0] = x[1] = x[2] = 0.0;
        errorhandling::report(-3, "Impactor position missing", lifecycle_name);
    }
}

// Step table, step types, impactor count and positions from the open deck.
void lifecycle_read_deck(LifecycleFile& deck, std::vector<double>& pos) {
    jobdata::solverid = 1;
    const i32 unit = deck.unit();
    const i32 lkey = 5, lword = 5;
    const lgl rwd = 1;
    const i32 nsteps =
        iohandling::iohandling_getnumberofkeywords(&unit, "*Step", &lkey, &rwd, &lword);
    jobdata::nsteps = nsteps;
    jobdata::stepid.allocate({nsteps}, 1);
    io::rewind(unit);
    i32 nstep = 0;
    bool declared = false;  // the line before declared an impactor
    for (std::string_view line; deck.next(line);) {
        if (declared) {
            double x[3];
            lifecycle_position(&line, x);
            pos.insert(pos.end(), x, x + 3);
        }
        const LifecycleDeckLine d = lifecycle_split(line);
        lifecycle_keyword_beyond(d);
        if (d.head == "*STEP" && ++nstep <= jobdata::stepid.extent(1)) {
            for (i32 t = 0; t < 6; ++t)
                if (d.tail.find(lifecycle_keys[t]) != std::string::npos) {
                    jobdata::stepid(nstep) = t;
                    break;
                }
        }
        declared = (d.head == "*STEP" || d.head == "*INSTANCE") &&
                   d.tail.find("VRL_SENSORELEMENT") != std::string::npos;
    }
    if (declared) {
        double x[3];
        lifecycle_position(nullptr, x);
        pos.insert(pos.end(), x, x + 3);
    }
    io::rewind(unit);
}

// The impactor and load records of nimp impactors with their start values; pos(3, nimp).
void lifecycle_records(i32 nimp, const std::vector<double>& pos) {
    auto& c = impactdata::cprops;
    auto& d = loaddata::dprops;
    c.allocate({20, nimp});
    d.allocate({12, nimp});
    for (i32 k = 1; k <= nimp; ++k) {
        c(6, k) = lifecycle_gravity;
        c(14, k) = k;
        c(15, k) = lifecycle_mintimeincrement;
        for (i32 j = 0; j < 3; ++j) d(2 + j, k) = pos[3 * (k - 1) + j];
    }
}

// window (5, nimp) and denom (nimp), zeroed, unless they have these extents already.
void lifecycle_size_window(i32 nimp, bool fresh) {
    const i64 n = std::max(nimp, 0);
    if (fresh || window.extent(1) != lifecycle_nwin || window.extent(2) != n || !window.allocated())
        window.allocate({lifecycle_nwin, n});
    if (fresh || denom.extent(1) != n || !denom.allocated()) denom.allocate({n});
}

// F and H matrices of every section from the section and material tables (block 1 of the
// elastic constants of each ply); skipped when a table is missing.
void lifecycle_section_matrices() {
    using namespace sectiondata;
    const auto& ids = materialdata::matidlist;
    const auto& pe = materialdata::peprops;
    const i32 np = nplies, ns = nsec;
    if (!ids.allocated() || !plyorientation.allocated() || !plythickness.allocated() ||
        !plyzcoord.allocated() || !pe.allocated())
        return;
    const i64 nz = 2 * static_cast<i64>(np) + 1;
    if (np < 1 || ns < 1 || !iohandling::fits(ids, false, np, ns) ||
        !iohandling::fits(plyorientation, false, np, ns) ||
        !iohandling::fits(plythickness, false, np, ns) ||
        !iohandling::fits(plyzcoord, false, nz, ns) || !iohandling::fits(pe, true, 9, np, ns)) {
        errorhandling::report(-3, "Section tables do not fit the ply counts", lifecycle_name);
        return;
    }
    // Block 1 (the first temperature) of every ply's elastic constants.
    std::vector<double> elastic(std::size_t{9} * static_cast<std::size_t>(np) *
                                static_cast<std::size_t>(ns));
    for (i32 s = 1; s <= ns; ++s)
        for (i32 p = 1; p <= np; ++p)
            for (i32 r = 1; r <= 9; ++r)
                elastic[static_cast<std::size_t>(r - 1 + 9 * ((p - 1) + i64{np} * (s - 1)))] =
                    pe(r, p, s);
    if (!iohandling::fits(sefmatrix, false, nz, 4, ns)) sefmatrix.allocate({nz, 4, ns});
    if (!iohandling::fits(sehmatrix, false, 2, 2, ns)) sehmatrix.allocate({2, 2, ns});
    laminate::GetSectionFMatrix(sefmatrix.data, ids.data, plyorientation.data, plythickness.data,
                                plyzcoord.data, elastic.data(), &np, &ns, nullptr);
    laminate::GetSectionHMatrix(sehmatrix.data, ids.data, plyorientation.data, plythickness.data,
                                elastic.data(), &np, &ns, nullptr, nullptr);
}

void lifecycle_start() {
    loaddata::nimp = 0;
    damagedata::ndmg = 0;
    sectiondata::nsec = 1;
    sectiondata::nplies = 1;
    debugdata::nupdate = 1;
    const std::string job = lifecycle_jobpath();
    std::string path = job + ".pes";
    {
        LifecycleFile pes(path);
        bool opened = pes.open();
        LifecycleFile inp(opened ? std::string() : job + ".inp");
        if (!opened) {
            path = job + ".inp";
            opened = inp.open();
        }
        if (!opened || jobdata::stepid.allocated()) {
            errorhandling::report(-3, "Cannot process any input file. Execution stops. Please "
                                      "check paths and your input deck format.");
            // The records stay: the impactor count is their column count.
            const auto& c = impactdata::cprops;
            const auto& d = loaddata::dprops;
            loaddata::nimp = c.allocated() && d.allocated()
                                 ? static_cast<i32>(std::min(c.extent(2), d.extent(2)))
                                 : 0;
            lifecycle_size_window(loaddata::nimp, false);
        } else {
            std::vector<double> pos;
            lifecycle_read_deck(pes.open() ? pes : inp, pos);
            loaddata::nimp = static_cast<i32>(pos.size() / 3);
            lifecycle_records(loaddata::nimp, pos);
            lifecycle_size_window(loaddata::nimp, true);
        }
    }
    const std::string fp = lifecycle_padded(path);
    const std::string ws =
        lifecycle_padded(io::trimmed(jobdata::joboutdir, sizeof(jobdata::joboutdir)));
    const i32 nsteps = jobdata::nsteps;
    iohandling::iohandling_getstepdatafromfile(fp.c_str(), ws.c_str(), &nsteps);
    iohandling::iohandling_getsectiondatafromfile(fp.c_str(), ws.c_str());
    const i32 np = sectiondata::nplies, ns = sectiondata::nsec;
    iohandling::iohandling_getmaterialdatafromfile(fp.c_str(), ws.c_str(), &np, &ns);
    iohandling::iohandling_getdamagedatafromfile(fp.c_str(), ws.c_str(), &np, &ns);
    lifecycle_section_matrices();
}

// Type of step kstep; -1 with -3 when the step table does not hold it.
i32 lifecycle_step_type(i32 kstep) {
    i32 type;
    if (step_of(kstep, type) == Step::held) return type;
    errorhandling::report(-3, "Step outside the step table", lifecycle_name);
    return -1;
}

void lifecycle_zero_transverse() {
    for (double& v : sectiondata::tnormalstress) v = 0.0;
    for (double& v : sectiondata::tshearstress) v = 0.0;
}

// The current cycle number of a fatigue step from the last "CYCLE" line of the message file.
void lifecycle_cycle(i32 kstep) {
    using namespace shokriehdata;
    if (cycleprops.extent(1) < 3 || cycleprops.extent(2) < kstep || cycles.extent(1) < 1 ||
        cycles.extent(2) < kstep) {
        errorhandling::report(-3, "Cycle tables short of the step", lifecycle_name);
        return;
    }
    if (cycleprops(3, kstep) != 5.0) return;
    LifecycleFile msg(lifecycle_jobpath() + ".msg");
    bool found = false;
    if (msg.open()) {
        const i32 unit = msg.unit();
        const lgl rwd = 0;
        const i32 len = iohandling::GetFileLength(&unit, &rwd);
        const i32 dir = -1, lkey = 5, ret = 1, lword = 5;
        found = iohandling::iohandling_get2nextkey(&unit, &dir, "CYCLE", &lkey, &len, &ret,
                                                   &lword) != 0;
    }
    if (!found) {
        cycles(1, kstep) = std::max(cycles(1, kstep), 1.0);
        return;
    }
    std::vector<std::string> w;
    for (std::string_view line; w.size() < 3 && msg.next(line);) lifecycle_words(line, w, 3);
    double n = 0.0;
    if (w.size() == 3 && iohandling::number(w[1], n))
        cycles(1, kstep) = n;
    else
        errorhandling::report(-3, "Cycle number missing in the message file", lifecycle_name);
}

void lifecycle_setup(i32 kstep) {
    const i32 t = lifecycle_step_type(kstep);
    if (t < 0) return;
    auto& c = impactdata::cprops;
    if (c.allocated() && t == 3) {
        const i64 n = c.extent(2);
        bool negative = false;
        for (i64 k = 1; k <= n; ++k) negative = negative || c(1, k) < 0.0;
        for (i64 k = 1; k <= n; ++k) {
            if (negative) {
                c(2, k) = c(3, k) = c(13, k) = 0.0;
            } else if (c(7, k) > 0.0) {
                c(1, k) = c(2, k) = c(3, k) = c(13, k) = 0.0;
            }
        }
    }
    const auto& kind = elementdata::elemkind;
    if (kind.allocated()) {
        using namespace sectiondata;
        const i64 nel = std::max<i64>(elementdata::nelem, 0);
        const bool solid = std::any_of(kind.begin(), kind.end(), [](i32 k) { return k > 9; });
        if (solid && !elementdata::elemlength.allocated())
            elementdata::elemlength.allocate({3, nel}, -1.0);
        if (nsectionpoints.allocated() && !sestress.allocated() && kstep > 1 &&
            (t == 1 || t == 3)) {
            const i64 npt = solid ? 27 : 4;
            const i64 most = nsectionpoints.size() > 0
                                 ? *std::max_element(nsectionpoints.begin(), nsectionpoints.end())
                                 : 0;
            // the section point counts come from the solver's calls and the ply count from the
            // section card: a product beyond memory is refused rather than ending the process
            const i64 nz = most * nplies;
            const bool shell = std::any_of(kind.begin(), kind.end(),
                                           [](i32 k) { return (k >= 1 && k <= 5) || k == 8; });
            const i64 nzc = plyzcoord.allocated() ? plyzcoord.extent(1) : 2 * i64{nplies} + 1;
            bool made = sestress.try_allocate({6, nz, npt, nel});
            if (made && !shell) return;
            made = made && (tnormalstress.allocated() || tnormalstress.try_allocate({nzc, nel})) &&
                   (tshearstress.allocated() || tshearstress.try_allocate({nz, 2, 4, nel}));
            if (!made)
                errorhandling::report(-3, "Section stress tables beyond memory", lifecycle_name);
        }
    }
    if (shokriehdata::cycles.allocated() && shokriehdata::cycleprops.allocated() && t == 1)
        lifecycle_cycle(kstep);
}

// Motion of impactor j over the increment dt by the scheme of its slots 8 to 10.
void lifecycle_integrate(i64 j, double dt) {
    auto& c = impactdata::cprops;
    const double f = c(1, j), m = c(7, j);
    const double alpha = c(8, j), beta = c(9, j), gamma = c(10, j);
    if (alpha == -1.0 && beta == -1.0 && gamma == -1.0) {
        const double vhalf = c(19, j) + 0.5 * (c(20, j) + dt) * c(6, j);
        const double anew = lifecycle_gravity - f / m;
        c(6, j) = anew;
        c(19, j) = vhalf;
        c(20, j) = dt;
        c(4, j) += dt * vhalf;
        c(5, j) = vhalf + 0.5 * dt * anew;
    } else if (alpha == -2.0 && beta == -2.0 && gamma == -2.0) {
        const double w = c(20, j), aold = c(6, j), vold = c(5, j);
        const double anew = lifecycle_gravity - f / m;
        c(6, j) = anew;
        c(4, j) += dt * vold + 0.5 * dt * dt * anew;
        c(5, j) = vold + dt * ((1.0 - w) * aold + w * anew);
    } else if (alpha != 0.0 || beta != 0.0 || gamma != 0.0) {
        const double aold = c(6, j), vold = c(5, j);
        const double anew = lifecycle_gravity - ((1.0 + alpha) * f - alpha * c(11, j)) / m;
        c(6, j) = anew;
        c(5, j) = vold + dt * ((1.0 - gamma) * aold + gamma * anew);
        c(4, j) += dt * vold + dt * dt * ((0.5 - beta) * aold + beta * anew);
    }
}

void lifecycle_impactors(i32 t, double dt) {
    auto& c = impactdata::cprops;
    const i64 n = c.extent(2);
    if (t == 2)
        for (i64 j = 1; j <= n; ++j) c(14, j) = c(15, j) = 0.0;
    if (t != 3) return;
    const i64 nw =
        window.extent(1) == lifecycle_nwin ? std::min(window.extent(2), denom.extent(1)) : 0;
    for (i64 j = 1; j <= n; ++j) {
        bool moving = false;
        for (i32 s = 1; s <= 6; ++s) moving = moving || c(s, j) != 0.0;
        if (!moving) continue;
        const double f = c(1, j), r = c(2, j);
        if (c(7, j) == 0.0) {
            c(11, j) = f;
            c(12, j) = r;
            continue;
        }
        lifecycle_integrate(j, dt);
        c(11, j) = f;
        c(12, j) = r;
        c(13, j) = 0.0;
        c(14, j) = std::max(f, c(14, j));
        c(15, j) = std::max(c(3, j), c(15, j));
        if (j > nw) {
            errorhandling::report(-3, "Force window short of the impactor records", lifecycle_name);
            continue;
        }
        double mean = 0.0;
        signalprocessing::WeightedMovingAverage(&mean, &f, &window(1, j), &denom(j),
                                                &lifecycle_nwin, nullptr);
        if (denom(j) == lifecycle_nwin && f < mean) c(16, j) = 1.0;
    }
}

void lifecycle_end(i32 kstep, i32 kinc, double dt, bool relayed) {
    const i32 t = lifecycle_step_type(kstep);
    if (t < 0) return;
    if (impactdata::cprops.allocated()) lifecycle_impactors(t, dt);
    // Explicit increments clear every nupdate-th time (kinc + 1 a multiple of it).
    const i64 nu = debugdata::nupdate;
    if (relayed && nu != 0 && (i64{kinc} + 1) % nu != 0) return;
    lifecycle_zero_transverse();
    auto& motion = nodaldata::nodesmotion;
    const auto& kind = elementdata::elemkind;
    if (motion.allocated() && kind.allocated()) {
        const i64 ne = std::min(motion.extent(3), kind.extent(1));
        for (i64 e = 1; e <= ne; ++e)
            if (kind(e) >= 1 && kind(e) <= 3)
                for (i64 node = 5; node <= motion.extent(2); ++node)
                    for (i64 r = 1; r <= motion.extent(1); ++r) motion(r, node, e) = 0.0;
    }
}

void lifecycle_release() {
    window.release();
    denom.release();
    i32 istat = 0;
    datahandling_deallocall(&istat);
}

void lifecycle_dispatch(i32 lop, i32 kstep, i32 kinc, double dtime, bool relayed) {
    switch (lop) {
    case 0:
    case 4:
        lifecycle_start();
        break;
    case 1:
        if (!relayed) lifecycle_setup(kstep);
        break;
    case 7:
        lifecycle_setup(kstep);
        break;
    case 2:
        lifecycle_end(kstep, kinc, dtime, relayed);
        break;
    case 3:
        lifecycle_release();
        break;
    default:
        break;
    }
}

// End of an explicit step: the element reference data after an initialization step.
void lifecycle_step_end(i32 kstep) {
    static i32 nshell = 0;  // kept between calls
    if (!jobdata::stepid.allocated() || kstep < 1) return;
    if (lifecycle_step_type(kstep) != 0) return;
    i32 ierror = 0;
    const i32 handle = 1;
    elementhandling::GetElementReferenceData(&nshell, &ierror, &handle);
}

}  // namespace
}  // namespace vorlen::toplevel

using namespace vorlen;

extern "C" {

void UEXTERNALDB_IOControl(const i32* lop, const i32* lrestart, const double* time,
                           const double* dtime, const i32* kstep, const i32* kinc,
                           const i32* exflag) {
    (void)lrestart, (void)time;
    try {
        toplevel::lifecycle_dispatch(*lop, *kstep, *kinc, *dtime,
                                     exflag != nullptr && *exflag == 1);
    } catch (...) {
        errorhandling::report(-3, "Unexpected failure", "UEXTERNALDB_IOControl");
    }
}

void VUEXTERNALDB_IOControl(const i32* k, const i32* i_array, const i32* niarray,
                            const double* r_array, const i32* nrarray, const i32* mpi_rank) {
    constexpr std::string_view name = "VUEXTERNALDB_IOControl";
    try {
        static constexpr i32 iop[7] = {0, 5, 7, 1, 2, 6, 3};
        if (*k < 0 || *k > 6) {
            errorhandling::report(-2, "Unknown operation", name);
            return;
        }
        if (*niarray < 4 || *nrarray < 3 || i_array == nullptr || r_array == nullptr) {
            errorhandling::report(-3, "Short arrays", name);
            return;
        }
        const i32 kstep = i_array[2], kinc = i_array[3];
        const double dtime = r_array[2];
        const bool others = mpi_rank != nullptr && *mpi_rank != 0;
        if (others && !((*k == 4 || *k == 5) && jobdata::stepid.allocated())) return;
        if (!others && *k == 1) jobdata::stepcount = std::max(jobdata::stepcount, kstep);
        toplevel::lifecycle_dispatch(iop[*k], kstep, kinc, dtime, true);
        if (!others && *k == 0) {
            const std::string dat = toplevel::lifecycle_jobpath() + ".dat";
            const i32 len = static_cast<i32>(dat.size());
            iohandling::iohandling_getabqdatafromfile(dat.c_str(), &len);
        }
        if (*k == 5) toplevel::lifecycle_step_end(kstep);
    } catch (...) {
        errorhandling::report(-3, "Unexpected failure", name);
    }
}

void UACCESS_IOControl(const i32* lop, const double* dtime) {
    (void)dtime;
    try {
        if (*lop == 2) toplevel::lifecycle_zero_transverse();
        if (*lop == 3) toplevel::lifecycle_release();
    } catch (...) {
        errorhandling::report(-3, "Unexpected failure", "UACCESS_IOControl");
    }
}

}  // extern "C"
