// The box-beam analysis in its three stages (stiffnesses and normal flows; cells, shear flows
// and shear centre; torsion and nodal forces) on one set of work arrays, writing the German
// report as it goes. Every report record is written with its format text as it stands.
#include "boxbeam/boxbeam.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <initializer_list>
#include <limits>
#include <numbers>

#include "boxbeam/boxbeamdata.hpp"
#include "boxbeam/boxutils.hpp"
#include "base/errorhandling.hpp"
#include "base/fatal.hpp"
#include "base/work.hpp"
#include "base/units.hpp"

namespace vorlen::boxbeam {
namespace {

using io::Item;

namespace fmt {
constexpr const char* gurt_head =
    "(///1H ,'GURTPARAMETER'/1H ,                                              "
    "'============='//1H                                 "
    ",'NR',9X,'YI ',9X,'ZI ',9X,'BI ',9X,                                       "
    "'MYI',9X)";
constexpr const char* gurt_row = "(i3,2f12.3,2e12.3)";
constexpr const char* wand_head =
    "(///1H ,'WANDPARAMETER'/1H ,                                              "
    "'============='//1H                                 "
    ",'NR',5X,'IG1',5X,'IG2',5X,'TYPE',4X,                                      "
    "'MAT',9X,'YK1',9X,'ZK1',9X,                                       "
    "'YK2',9X,'ZK2',9X,'BK ',9X,                                       "
    "'GK ',9X,'RHO',9X)";
constexpr const char* wand_row = "(i3,4i8,4f12.3,3e12.3)";
constexpr const char* zelle_head =
    "(///1H ,'ZELLENPARAMETER'/1H ,                                            "
    "'==============='//1H                               "
    ",'NR',5X,'IG1',5X,'IG2',5X,'IG3',5X,                                       "
    "'IG4',5X)";
constexpr const char* zelle_row = "(i3,4i8)";
constexpr const char* loads = "(//5X,'KRAEFTE UND MOMENTE BEZOGEN AUF QUERSCHNITTSKO',            "
                              "'ORDINATEN:'/3X,'QX = ',D16.9,5X,                                 "
                              "'QY = ',D16.9,5X,'QZ = ',D16.9/3X,'MX = ',D16.9,                  "
                              "5X,'MY = ',D16.9,5X,'MZ = ',D16.9///)";
constexpr const char* title = "(1H+,T21,'Q U E R S C H N I T T S G R O E S S E N'/                "
                              "T21,39('-')//)";
constexpr const char* centres =
    "(1H0,T21,'DEHNSTEIFIGKEIT DES TRAEGERS = ',D16.9,2X,'(K)',/        "
    "T8,'GESAMTMASSE PRO EINHEIT DER TRAEGERLAENGE = ',D16.9,          "
    "2X,'(M/L)'//T3,'KOORDINATEN DES STEIFIGKEITSMITTEL',              "
    "'PUNKTS:   YS = ',D16.9,2X,'(L)'/T47,'ZS = ',D16.9,               "
    "2X,'(L)'//T15,'KOORDINATEN DES SCHWERPUNKTS:   YT = ',            "
    "D16.9,2X,'(L)'/T47,'ZT = ',D16.9,2X,'(L)'///)";
constexpr const char* bending =
    "(T14,'STEIFIGKEITSMOMENTE 2.GRADES:   DYY = ',                     "
    "D16.9,2X,'(K * L**2)'/T46,                                        "
    "'DZY = ',D16.9,2X,'(K * L**2)'/T46,                               "
    "'DZZ = ',D16.9,2X,'(K * L**2)'//)";
constexpr const char* bending_ref =
    "(T14,'STEIFIGKEITSMOM (BEZUGSSYSTEM): DYY = ',                     "
    "D16.9,2X,'(K * L**2)'/T46,                                        "
    "'DZY = ',D16.9,2X,'(K * L**2)'/T46,                               "
    "'DZZ = ',D16.9,2X,'(K * L**2)'//)";
constexpr const char* polar_sc =
    "(/T11,'MASSENTRAEGHEITSMOMENT UM LAENGSACHSE:',5X,                 "
    "'( BEZ. AUF SCHWERPUNKT )'/T46,'IT  =',                            "
    "D16.9,2X,'(M*L)'//)";
constexpr const char* polar_ref =
    "(/T11,'MASSENTRAEGHEITSMOMENT UM LAENGSACHSE:',5X,                 "
    "'( BEZUGSSYSTEM )'/T46,'IT  =',                                    "
    "D16.9,2X,'(M*L)'//)";
constexpr const char* principal =
    "(1H0,T32,'HAUPTACHSENWINKEL = ',D16.9,2X,'(RADIAN)',3X,            "
    "'=',F9.2,2X,'(GRAD)'//T13,                                        "
    "'STEIFIGKEITSMOMENTE 2.GRADES:   DYY* = ',D16.9,2X,               "
    "'(K * L**2)'/T45,'DZZ* = ',D16.9,2X,'(K * L**2)'///)";
constexpr const char* boom_head =
    "(1H0,' GURT',T10,'LAENGSKRAFT (K)',T38,'DEHNUNG'/                  "
    "T15,'N(I)',T39,'EPS(I)'/)";
constexpr const char* boom_row = "(1H ,I4,3X,D16.9,8X,D16.9)";
constexpr const char* normal_head =
    "(///'  WAND',T14,'L A E N G S K R A F T F L U E S S E    "
    "',        "
    "'(K/L)',T81,'D   E   H   N   U   N   G   E   N'/T17,              "
    "'NK(0)',T33,'NK(LK/2)',T54,'NK(LK)',T77,'EPSK(0)',T94,            "
    "'EPSK(LK/2)',T114,'EPSK(LK)'/)";
constexpr const char* wall_row = "(1H ,I4,3(3X,D16.9),5X,3(3X,D16.9))";
constexpr const char* moments_head =
    "(1H0,T5,'WAND',T16,'SSTYK',T34,'SSTZK',T52,'DSIYK',                "
    "T70,'DSIZK'/)";
constexpr const char* moments_row = "(1H ,I6,4D18.9)";
constexpr const char* rows = "((10D13.5))";
constexpr const char* cell_error =
    "(1H0,'   F E H L E R M E L D U N G:'//5X,'IN ZELLE',I4,            "
    "'  WURDE DIE WAND ZWISCHEN DEN GURTEN',I4,'  UND',I4,             "
    "'  NICHT DEFINIERT !!')";
constexpr const char* control =
    "(///5X,'KONTROLLAUSDRUCK GLEICHUNGSSYSTEM:'//5X,                   "
    "'ANZAHL DER GLEICHUNGEN =',I4/9X,'ANZAHL DER SPALTEN =',I4        "
    "///5X,'KOEFFIZIENTENMATRIX ( + LETZTE SPALTE = NEGATIVE ',        "
    "'RECHTE SEITE):'/)";
constexpr const char* abort = "(1H ,'ABBRUCH DER REDUKTION IN SCHRITT',I3,'. PIVOT',              "
                              "'ELEMENT IST ZU KLEIN')";
constexpr const char* solution = "(///5X,'LOESUNGEN DES GLEICHUNGSSYSTEMS:'/)";
constexpr const char* residuals =
    "(1H0,'FEHLERVEKTOR, LIEFERT HINWEISE UEBER DIE GENAUIG',           "
    "'KEIT DER LOESUNG DES STATISCH UNBESTIMMTEN PROBLEMS'//           "
    "(1H ,D16.9))";
constexpr const char* sc_head =
    "(///T54,'BEZOGEN AUF',T91,'BEZOGEN AUF'/T48,                       "
    "'STEIFIGKEITSMITTELPUNKT',T93,'BEZUGSSYSTEM')";
constexpr const char* sc = "(/T9,'KOORDINATEN DES SCHUBMITTELPUNKTS:   YM* = ',D16.9,          "
                           "2X,'(L)',11X,'YM = ',D16.9,2X,'(L)'/T46,'ZM* = ',D16.9,2X,        "
                           "'(L)',11X,'ZM = ',D16.9,2X,'(L)'//)";
constexpr const char* open_profile =
    "(1H0,'DRILLWINKEL KANN NICHT BERECHNET WERDEN, DA OFFENES',        "
    "' PROFIL \"KEINE\" DRILLSTEIFIGKEIT BESITZT.')";
constexpr const char* shear_head =
    "(///'  WAND',T14,'S  C  H  U  B  F  L  U  E  S  S  E    "
    "',         "
    "'(K/L)',T81,'S C H U B V E R Z E R R U N G E N'/T17,              "
    "'TK(0)',T33,'TK(LK/2)',T54,'TK(LK)',T77,'GAMK(0)',T94,            "
    "'GAMK(LK/2)',T114,'GAMK(LK)'/)";
constexpr const char* twist = "(///1H0,T21,'SPEZIFISCHE VERDREHUNG THETA = ',D16.9,               "
                              "2X,'(1/L)')";
constexpr const char* mass_sc =
    "(//T19,'MASSENTRAEGHEITSMOMENTE:',5X,'( BEZOGEN AUF EIN ',         "
    "'ZU DEN HAUPTACHSEN'/T50,'PARALLELES SYSTEM IM SCHUB',            "
    "'MITTELPUNKT )'//T46,'IYY =',D16.9,2X,'(M*L)'/T46,'IZY =',        "
    "D16.9,2X,'(M*L)'/T46,'IZZ =',D16.9,2X,'(M*L)'//)";
constexpr const char* polar_mass =
    "(/T11,'POLARES MASSENTRAEGHEITSMOMENTE:',5X,                       "
    "'( BEZOGEN AUF DEN SCHWERPUNKT )'//T46,'IT  =',                    "
    "D16.9,2X,'(M*L)'//)";
constexpr const char* dt = "(//T27,'TORSIONSSTEIFIGKEIT DT =',D16.9,2X,'(K * L**2)')";
constexpr const char* sums = "(1H1////T11,'SPX = ',D16.9/T11,'SPY = ',D16.9/                     "
                             "T11,'SPZ = ',D16.9)";
constexpr const char* gap = "(////)";
constexpr const char* nodal_x =
    "(1H0,T6,'AEQUIVALENTE KNOTENKRAEFTE IN  X-RICHTUNG'///T4,          "
    "'WAND NR.',T16,'IG1',T27,'PKNT(I,1,1)',T48,'PKNT(I,2,1)',         "
    "T69,'PKNT(I,3,1)',T87,'IG2'/)";
constexpr const char* nodal_row = "(1H ,I6,I10,6X,3(D16.9,5X),I2)";
constexpr const char* nodal_y =
    "(1H0,T6,'AEQUIVALENTE KNOTENKRAEFTE IN  Y-RICHTUNG'///T4,          "
    "'WAND NR.',T16,'IG1',T27,'PKNT(I,1,2)',T48,'PKNT(I,2,2)',         "
    "T69,'PKNT(I,3,2)',T87,'IG2'/)";
constexpr const char* nodal_z =
    "(1H0,T6,'AEQUIVALENTE KNOTENKRAEFTE IN  Z-RICHTUNG'///T4,          "
    "'WAND NR.',T16,'IG1',T27,'PKNT(I,1,3)',T48,'PKNT(I,2,3)',         "
    "T69,'PKNT(I,3,3)',T87,'IG2'/)";
}  // namespace fmt

constexpr double eps = 1.0e-30;  // pivot threshold of the solves

// Why the data modules cannot be analysed as they stand (null: they can).
const char* misfit() {
    const i64 kw = wand::kw, ig = gurt::ig, az = zelle::az;
    bool allocated = true, fits = kw >= 0 && ig >= 0 && az >= 0;
    auto need = [&](const auto& a, i64 n, i64 cols = 1) {
        allocated = allocated && a.allocated();
        fits = fits && a.allocated() && a.extent(1) >= n;
        if constexpr (std::remove_reference_t<decltype(a)>::rank == 2)
            fits = fits && a.extent(2) >= cols;
    };
    for (auto* a : {&wand::ig1, &wand::ig2, &wand::it}) need(*a, kw);
    for (auto* a : {&wand::yk0, &wand::zk0, &wand::yklk, &wand::zklk, &wand::bk, &wand::gk,
                    &wand::rhok, &kraft::nx0, &kraft::nxl2, &kraft::nxl, &kraft::tl2, &kraft::tl})
        need(*a, kw);
    need(kraft::t0, kw + (az > 0 ? 1 : 0));
    need(epigam::epi, kw, 3), need(epigam::gam, kw, 3);
    for (auto* a : {&gurt::yi, &gurt::zi, &gurt::bi, &gurt::myi, &epigam::epigu}) need(*a, ig);
    need(zelle::iak, az), need(zelle::ia, 0, az);
    if (!allocated) return "box-beam data not allocated: Initialize first";
    for (i64 i = 1; fits && i <= az; ++i) fits = zelle::iak(i) <= zelle::ia.extent(1);
    // the work arrays are indexed with 32-bit extents
    constexpr i64 big = std::numeric_limits<i32>::max() / 2;
    fits = fits && wand::yk0.extent(1) < big && gurt::myi.extent(1) < big &&
           zelle::iak.extent(1) < big && zelle::ia.extent(1) < big;
    return fits ? nullptr : "box-beam counts beyond the capacities given to Initialize";
}

// Ends the process over a cell whose booms a and b no wall joins, with the reason on standard
// error (the report, when there is one, has its own line).
[[noreturn]] void unclosed_cell(i64 cell, i32 a, i32 b, i64 nbooms) {
    const i32 outside = a < 1 || a > nbooms ? a : b;
    if (outside < 1 || outside > nbooms)
        std::fprintf(stderr, "GetEquivalentXSection: cell %lld names boom %d, outside 1 to %lld\n",
                     static_cast<long long>(cell), outside, static_cast<long long>(nbooms));
    else
        std::fprintf(stderr, "GetEquivalentXSection: no wall joins booms %d and %d of cell %lld\n",
                     a, b, static_cast<long long>(cell));
    fatal::stop(1);
}

bool refused(const char* routine) {
    const char* why = misfit();
    if (!why) return false;
    char msg[81];
    std::snprintf(msg, sizeof msg, "%s: %s", routine, why);
    errorhandling::report(-3, msg);
    return true;
}

// The report and dump units of one call.
struct Report {
    bool druck = steuer::druck != 0;
    bool extended = druck && steuer::exdru != 0;
    i64 klog = steuer::klog;
    i64 klog2 = 10 * static_cast<i64>(steuer::klog);

    void rep(const char* f, std::initializer_list<Item> items = {}) const {
        if (druck) io::write(klog, f, items);
    }
    void ext(const char* f, std::initializer_list<Item> items = {}) const {
        if (extended) io::write(klog, f, items);
    }
    void dump(std::initializer_list<Item> items = {}) const {
        if (extended) io::write_list(klog2, items);
    }
    // Connects unit to the named file for appending; a file that cannot be opened ends the
    // process.
    static void connect(i64 unit, const char* name, std::size_t len) {
        const std::string_view path = io::trimmed(name, len);
        if (io::open_append(unit, path)) return;
        char msg[400];
        const int n = std::snprintf(msg, sizeof msg, "Cannot open file \"%.*s\" on unit %lld",
                                    static_cast<int>(std::min<std::size_t>(path.size(), 300)),
                                    path.data(), static_cast<long long>(unit));
        fatal::stop_with_message(msg, static_cast<std::size_t>(n), 1);
    }
};

class Analysis {
  public:
    Analysis();
    void run();

  private:
    const Report out;
    // counts and sizes
    const i64 kw = wand::kw, ig = gurt::ig, az = zelle::az;
    const i64 maxw = std::max<i64>({1, kw, wand::yk0.extent(1)});
    const i64 maxg = std::max<i64>({1, ig, gurt::myi.extent(1)});
    const i64 maxz = std::max<i64>({1, az, zelle::iak.extent(1)});
    // rows of the equation arrays: every boom, cell and torque row, and every row the solver
    // reads for the walls given, whether or not they form the net the systems expect
    const i64 igz = std::max(maxg + maxz + 1, maxw + 2);
    const i64 nlist = std::max(maxw, zelle::ia.extent(1)) + 1;  // room for every cell pair
    const i64 igaz = az + ig, igaz1 = igaz + 1, kwp1 = kw + 1, kwp2 = kw + 2;
    // work arrays
    Work<double, 1> wd;
    Work<i32, 1> wi;
    Vec<double> lk, skyk, skzk, sstyk, sstzk, deltyk, deltzk, fstsym, fstszm, ruk, truyk, truzk,
        ddqyk, ddqzk, rv, zfa, scale;
    Mat<double> c, cc;
    Vec<i32> irv;
    Mat<i32> ial, iala, ibeta;
    // principal axes and the local loads
    double sa = 0, ca = 1, sa2 = 0, ca2 = 1, s2a = 0, c2a = 1;
    double qx = spanug::qqx, qy = spanug::qqy, qz = spanug::qqz;
    double mx = spanug::qmx, my = spanug::qmy, mz = spanug::qmz;
    double iyyd = 0, izyd = 0, izzd = 0;

    // principal coordinates (y*, z*) of the point (y, z) about the stiffness centre
    void principal(double y, double z, double& ystar, double& zstar) const {
        const double h11 = z - quer::zs, h22 = y - quer::ys;
        zstar = ca * h11 - sa * h22;
        ystar = ca * h22 + sa * h11;
    }
    double ial_sum(i64 boom, const Vec<double>& v) const {
        double s = 0.0;
        for (i64 l = 2; l <= ial(boom, 1); ++l) s += v(ial(boom, l));
        return s;
    }
    static double cell_sum(const Mat<i32>& list, i64 cell, const Vec<double>& v) {
        double s = 0.0;
        for (i64 l = 2; l <= list(1, cell); ++l) s += v(list(l, cell));
        return s;
    }

    void open_files() const;
    void echo() const;
    void stiffness();
    bool shear_centre();
    void torsion();
    bool solve(i64 rows, i64 n, i64 constant, double* x, const char* system);
    void copy_system(i64 rows, i64 cols, i64 unknowns);
    void clear_after_failure(bool keep_shear_centre) const;
};

Analysis::Analysis()
    : wd(14 * maxw + 2 * igz * (maxw + 2) + igz + maxz + maxz + 1),
      wi(igz + maxg * (maxw + 1) + 2 * nlist * maxz) {
    double* p = wd.data();
    for (Vec<double>* v : {&lk, &skyk, &skzk, &sstyk, &sstzk, &deltyk, &deltzk, &fstsym, &fstszm,
                           &ruk, &truyk, &truzk, &ddqyk, &ddqzk}) {
        *v = Vec<double>(p, maxw);
        p += maxw;
    }
    c = Mat<double>(p, igz, maxw + 2), p += igz * (maxw + 2);
    cc = Mat<double>(p, igz, maxw + 2), p += igz * (maxw + 2);
    rv = Vec<double>(p, igz), p += igz;
    zfa = Vec<double>(p, maxz), p += maxz;
    scale = Vec<double>(p, maxz + 1);
    i32* q = wi.data();
    irv = Vec<i32>(q, igz), q += igz;
    ial = Mat<i32>(q, maxg, maxw + 1), q += maxg * (maxw + 1);
    iala = Mat<i32>(q, nlist, maxz), q += nlist * maxz;
    ibeta = Mat<i32>(q, nlist, maxz);
}

void Analysis::open_files() const {
    if (out.extended) Report::connect(out.klog2, path::vbinfopath, sizeof path::vbinfopath);
    if (out.druck) Report::connect(out.klog, path::csinfopath, sizeof path::csinfopath);
}

void Analysis::echo() const {
    out.rep(fmt::gurt_head);
    for (i64 i = 1; i <= ig; ++i)
        out.rep(fmt::gurt_row, {i, gurt::yi(i), gurt::zi(i), gurt::bi(i), gurt::myi(i)});
    out.rep(fmt::wand_head);
    for (i64 k = 1; k <= kw; ++k)
        out.rep(fmt::wand_row,
                {k, wand::ig1(k), wand::ig2(k), wand::it(k), k, wand::yk0(k), wand::zk0(k),
                 wand::yklk(k), wand::zklk(k), wand::bk(k), wand::gk(k), wand::rhok(k)});
    out.rep(fmt::zelle_head);
    // the first four booms of each cell (fewer when ia has fewer rows)
    const i64 shown = std::min<i64>(4, zelle::ia.extent(1));
    for (i64 i = 1; i <= az; ++i) out.rep(fmt::zelle_row, {i, Item::ints(&zelle::ia(1, i), shown)});
}

// Axial stiffness, mass, centres, bending stiffnesses, principal axes, normal flows and the
// per-wall integrals of the shear-flow stage.
void Analysis::stiffness() {
    double &BX = quer::bx, &M = quer::m, &YS = quer::ys, &ZS = quer::zs, &YT = quer::yt,
           &ZT = quer::zt, &DYY = quer::dyy, &DZY = quer::dzy, &DZZ = quer::dzz, &ITT = quer::itt;
    BX = M = YT = ZT = DYY = DZY = DZZ = ITT = 0.0;
    double SY = 0.0, SZ = 0.0;
    for (i64 i = 1; i <= ig; ++i) {
        const double bi = gurt::bi(i), myi = gurt::myi(i);
        BX += bi;
        SY += bi * gurt::zi(i);
        SZ += bi * gurt::yi(i);
        M += myi;
        YT += myi * gurt::yi(i);
        ZT += myi * gurt::zi(i);
    }
    for (i64 k = 1; k <= kw; ++k) {
        const double y0 = wand::yk0(k), z0 = wand::zk0(k), y1 = wand::yklk(k), z1 = wand::zklk(k);
        const double bk = wand::bk(k), rhok = wand::rhok(k);
        const double ym = (y0 + y1) / 2;
        const double LK = std::sqrt((z1 - z0) * (z1 - z0) + (y1 - y0) * (y1 - y0));
        lk(k) = LK;
        BX += bk * LK;
        M += rhok * LK;
        const double zm = (z1 + z0) / 2;
        skyk(k) = zm * LK;
        skzk(k) = LK * ym;
        SY += bk * skyk(k);
        SZ += bk * skzk(k);
        YT += rhok * skzk(k);
        ZT += rhok * skyk(k);
    }
    YS = SZ / BX;
    ZS = SY / BX;
    YT = YT / M;
    ZT = ZT / M;
    out.ext(fmt::centres, {BX, M, YS, ZS, YT, ZT});

    for (i64 i = 1; i <= ig; ++i) {
        const double bi = gurt::bi(i), myi = gurt::myi(i), yi = gurt::yi(i), zi = gurt::zi(i);
        const double h1 = zi - ZS, h2 = yi - YS;
        DYY += bi * h1 * h1;
        DZY += bi * h1 * h2;
        DZZ += bi * h2 * h2;
        iyyd += myi * h1 * h1;
        izyd += myi * h1 * h2;
        izzd += myi * h2 * h2;
        ITT += ((yi - YT) * (yi - YT) + (zi - ZT) * (zi - ZT)) * myi;
    }
    for (i64 k = 1; k <= kw; ++k) {
        const double y0 = wand::yk0(k), z0 = wand::zk0(k), y1 = wand::yklk(k), z1 = wand::zklk(k);
        const double bk = wand::bk(k), rhok = wand::rhok(k), LK = lk(k);
        const double phi = z1 - z0, lam = y1 - y0;
        // integrals of z^2, y^2 and zy over the wall, z and y measured from (h2, h1) at its start
        auto dyyk = [&](double h1) { return (phi * phi / 3 + h1 * h1 + h1 * phi) * LK; };
        auto dzzk = [&](double h2) { return (lam * lam / 3 + h2 * h2 + h2 * lam) * LK; };
        double h1 = z0 - ZS, h2 = y0 - YS;
        const double dyy = dyyk(h1), dzz = dzzk(h2);
        const double dzy = (phi * lam / 3 + h1 * h2 + (h2 * phi + lam * h1) / 2) * LK;
        DYY += bk * dyy;
        DZY += bk * dzy;
        DZZ += bk * dzz;
        const double bi = k <= gurt::bi.extent(1) ? gurt::bi(k) : 0.0;
        out.dump({"Wand:", k});
        out.dump({"PHIK,ZKLK,ZK0", phi, z1, z0});
        out.dump({"LAMK,YKLK,YK0", lam, y1, y0});
        out.dump({"SZ", SZ});
        out.dump({"SY", SY});
        out.dump({"BX", BX});
        out.dump({"H1", h1});
        out.dump({"H2", h2});
        out.dump({"BI", bi});
        out.dump({"BK", bk});
        out.dump({"DYYK", dyy});
        out.dump({"DZZK", dzz});
        out.dump({"DZYK", dzy});
        out.dump({"DYY", DYY});
        out.dump({"DZY", DZY});
        out.dump({"DZZ", DZZ});
        out.dump();
        iyyd += rhok * dyy;
        izyd += rhok * dzy;
        izzd += rhok * dzz;
        out.dump({"IYYD", iyyd});
        out.dump({"IZYD", izyd});
        out.dump({"IZZD", izzd});
        out.dump();
        h1 = z0 - ZT, h2 = y0 - YT;
        ITT += (dzzk(h2) + dyyk(h1)) * rhok;
        out.dump({"ITT", ITT});
        out.dump();
    }
    out.rep(fmt::bending, {DYY, DZY, DZZ});
    out.rep(fmt::bending_ref, {DYY + ZS * ZS * BX, DZY + YS * ZS * BX, DZZ + YS * YS * BX});
    const double ditt = izzd + iyyd;
    out.rep(fmt::polar_sc, {ditt});
    out.rep(fmt::polar_ref, {ditt + (YS * YS + ZS * ZS) * M});

    // Principal axes. Where DZZ - DYY vanishes against DZY the angle is the limit of the
    // general formula, pi/4 with the sign of DZY; where DZY vanishes too, every direction is
    // principal and the angle is pi/8.
    double &alpha = quer::alpha, &DYYS = quer::dyyste, &DZZS = quer::dzzste;
    const double delta = DZZ - DYY, R = std::sqrt(4 * DZY * DZY + delta * delta);
    if (delta >= 0) {
        DYYS = ((DZZ + DYY) - R) / 2;
        DZZS = ((DYY + DZZ) + R) / 2;
    } else {
        DYYS = ((DYY + DZZ) + R) / 2;
        DZZS = ((DZZ + DYY) - R) / 2;
    }
    if (std::fabs(delta) > 1.0e-30 * std::fabs(DZY))
        alpha = std::atan(2 * DZY / delta) / 2;
    else if (DZY != 0.0)
        alpha = std::copysign(std::numbers::pi / 4, DZY);
    else
        alpha = 0.3926991;
    sa = std::sin(alpha), ca = std::cos(alpha);
    out.dump({"H1", R});
    out.dump({"H2", delta});
    out.dump({"DZY", DZY});
    out.dump({"ALPHA", alpha});
    out.dump({"SINA", sa});
    out.dump({"COSA", ca});
    out.dump();
    sa2 = sa * sa, ca2 = ca * ca, s2a = std::sin(2 * alpha), c2a = std::cos(2 * alpha);
    const double degrees = 180 * alpha / 3.141592654;
    out.rep(fmt::principal, {alpha, degrees, DYYS, DZZS});

    // Normal forces of the booms and normal flows of the walls from the strain law.
    out.rep(fmt::boom_head);
    const double mys = my - qx * ZS, mzs = mz + YS * qx;
    out.dump({"H1, MY, ZS, QX", mys, my, ZS, qx});
    out.dump({"H2, MZ ,YS ,QX", mzs, mz, YS, qx});
    out.dump({"H3", degrees});
    out.dump();
    my = sa * mzs + ca * mys;
    mz = ca * mzs - sa * mys;
    const double e0 = qx / BX, ey = my / DYYS, ez = -mz / DZZS;
    auto strain = [&](double y, double z) {
        double ystar, zstar;
        principal(y, z, ystar, zstar);
        return e0 + ey * zstar + ez * ystar;
    };
    for (i64 i = 1; i <= ig; ++i) {
        const double bi = gurt::bi(i);
        const double n = strain(gurt::yi(i), gurt::zi(i)) * bi;
        const double eps_i = bi != 0.0 ? n / bi : 0.0;
        epigam::epigu(i) = eps_i;
        out.rep(fmt::boom_row, {i, n, eps_i});
    }
    out.dump({"H1, MY, ZS, QX", e0, my, ZS, qx});
    out.dump({"H2, MZ ,YS ,QX", ey, mz, YS, qx});
    out.dump({"H3", ez});
    out.dump();
    out.rep(fmt::normal_head);
    for (i64 k = 1; k <= kw; ++k) {
        const double y0 = wand::yk0(k), z0 = wand::zk0(k), y1 = wand::yklk(k), z1 = wand::zklk(k);
        const double bk = wand::bk(k);
        const double n0 = strain(y0, z0) * bk, n2 = strain((y0 + y1) / 2, (z0 + z1) / 2) * bk,
                     n1 = strain(y1, z1) * bk;
        kraft::nx0(k) = n0, kraft::nxl2(k) = n2, kraft::nxl(k) = n1;
        const bool stiff = std::fabs(bk) >= 1.0e-9;
        const double e[3] = {stiff ? n0 / bk : 0.0, stiff ? n2 / bk : 0.0, stiff ? n1 / bk : 0.0};
        out.rep(fmt::wall_row, {k, n0, n2, n1, e[0], e[1], e[2]});
        for (int j = 0; j < 3; ++j) epigam::epi(k, j + 1) = e[j];
    }

    // First moments and integrals of the wall flows about the principal axes.
    out.ext(fmt::moments_head);
    for (i64 k = 1; k <= kw; ++k) {
        const double y0 = wand::yk0(k), z0 = wand::zk0(k), y1 = wand::yklk(k), z1 = wand::zklk(k);
        const double bk = wand::bk(k), gk = wand::gk(k), LK = lk(k);
        double h1 = skyk(k) - ZS * LK, h2 = skzk(k) - YS * LK;
        sstyk(k) = ca * h1 - sa * h2;
        sstzk(k) = sa * h1 + ca * h2;
        deltyk(k) = -sstyk(k) * (bk / DYYS);
        deltzk(k) = -sstzk(k) * (bk / DZZS);
        out.dump({"Wand:", k});
        out.dump({"SSTYK", sstyk(k)});
        out.dump({"SSTZK", sstzk(k)});
        out.dump({"DYYSTE", DYYS});
        out.dump({"DZZSTE", DZZS});
        out.dump({"DELTYK", deltyk(k)});
        out.dump({"DELTZK", deltzk(k)});
        out.dump();
        h1 = (z1 + 2 * z0) / 3 - ZS, h2 = (y1 + 2 * y0) / 3 - YS;
        const double h3 = LK * LK / 2;
        const double dsiyk = h3 * (ca * h1 - sa * h2), dsizk = h3 * (sa * h1 + ca * h2);
        h1 = (z1 + 3 * z0) - 4 * ZS, h2 = (y1 + 3 * y0) - 4 * YS;
        fstsym(k) = (ca * h1 - sa * h2) * LK / 8;
        fstszm(k) = (ca * h2 + sa * h1) * LK / 8;
        ruk(k) = (z1 - z0) * (y0 - YS) - (y1 - y0) * (z0 - ZS);
        truyk(k) = dsiyk * ruk(k) / LK;
        truzk(k) = dsizk * ruk(k) / LK;
        ddqyk(k) = dsiyk * (bk / gk) / DYYS;
        ddqzk(k) = dsizk * (bk / gk) / DZZS;
        out.ext(fmt::moments_row, {k, sstyk(k), sstzk(k), dsiyk, dsizk});
    }
}

// cc = c in rows 1..rows and columns 1..cols, the right-hand side from the last of them, and
// the control print of the system with `unknowns` + 1 columns.
void Analysis::copy_system(i64 rows, i64 cols, i64 unknowns) {
    out.ext(fmt::control, {rows, unknowns});
    for (i64 j = 1; j <= cols; ++j)
        for (i64 r = 1; r <= rows; ++r) cc(r, j) = c(r, j);
    for (i64 r = 1; r <= rows; ++r) {
        rv(r) = -cc(r, cols);
        out.ext(fmt::rows, {Item::reals(&c(r, 1), cols, igz)});
    }
}

// Solves the copied system for n unknowns into x, then prints the solution and the residuals
// of rows 1..rows (constant term in column `constant`). False, with the abort line and code -2
// naming the system, when the solver finds no usable pivot.
bool Analysis::solve(i64 rows, i64 n, i64 constant, double* x, const char* system) {
    const i32 n32 = static_cast<i32>(n), kl = static_cast<i32>(igz), one = 1;
    i32 ifail = 0;
    boxutils::TVERT(&cc(1, 1), &n32, &kl, &eps, &rv(1), &irv(1), x, &ifail);
    if (ifail != 0) {
        out.rep(fmt::abort, {ifail});
        errorhandling::report(-2, system, "GetEquivalentXSection");
        return false;
    }
    out.ext(fmt::solution);
    out.ext(fmt::rows, {Item::reals(x, n)});
    for (i64 r = 1; r <= rows; ++r)
        cc(r, 1) = std::fabs(c(r, constant) + boxutils::QVSKPX(&c(r, 1), x, &n32, &kl, &one));
    out.ext(fmt::residuals, {Item::reals(&cc(1, 1), rows)});
    return true;
}

// A failed solve leaves no result of an earlier section behind: the shear flows and strains,
// the twist, the mass moments about the shear centre and the torsional stiffness are 0, and so
// is the shear centre unless it was completed.
void Analysis::clear_after_failure(bool keep_shear_centre) const {
    if (!keep_shear_centre) quer::ymst = quer::zmst = quer::ymstac = quer::zmstac = 0.0;
    quer::iyys = quer::izys = quer::izzs = quer::dt = 0.0;
    for (i64 k = 1; k <= kw + (az > 0 ? 1 : 0); ++k) kraft::t0(k) = 0.0;
    for (i64 k = 1; k <= kw; ++k) {
        kraft::tl2(k) = kraft::tl(k) = 0.0;
        for (int j = 1; j <= 3; ++j) epigam::gam(k, j) = 0.0;
    }
}

// Boom, cell and torque rows; the shear centre from unit shear forces along z* and y*.
bool Analysis::shear_centre() {
    // scale(s) = 1 / the largest magnitude of row r in the wall columns (1 when it is 0)
    auto scale_row = [&](i64 r, i64 s) {
        double big = -1.0;
        for (i64 k = 1; k <= kw; ++k)
            if (std::fabs(c(r, k)) > big) big = std::fabs(c(r, k));
        scale(s) = big == 0.0 ? 1.0 : 1.0 / big;
        for (i64 k = 1; k <= kw; ++k) c(r, k) *= scale(s);
    };
    for (i64 k = 1; k <= kw; ++k) c(igaz1, k) = ruk(k);
    scale_row(igaz1, az + 1);

    for (i64 i = 1; i <= ig; ++i) {
        ial(i, 1) = 1;
        for (i64 j = 1; j <= kw; ++j) {
            if (wand::ig1(j) == i) {
                c(i, j) = -1.0;
            } else if (wand::ig2(j) == i) {
                ial(i, ++ial(i, 1)) = static_cast<i32>(j);
                c(i, j) = 1.0;
            }
        }
    }
    for (i64 i = 1; i <= az; ++i) {
        const i64 row = ig + i, nb = zelle::iak(i);
        double area = 0.0;
        iala(1, i) = ibeta(1, i) = 1;
        for (i64 j = 1; j <= nb; ++j) {
            const i32 a = zelle::ia(j, i), b = zelle::ia(j == nb ? 1 : j + 1, i);
            i64 k = 1;
            for (; k <= kw; ++k) {
                if (wand::ig1(k) == a && wand::ig2(k) == b) {
                    iala(++iala(1, i), i) = static_cast<i32>(k);
                    c(row, k) = lk(k) / wand::gk(k);
                    area += ruk(k);
                    break;
                }
                if (wand::ig1(k) == b && wand::ig2(k) == a) {
                    ibeta(++ibeta(1, i), i) = static_cast<i32>(k);
                    c(row, k) = -lk(k) / wand::gk(k);
                    area -= ruk(k);
                    break;
                }
            }
            if (k > kw) {  // the cell cannot be closed: a failure, whatever druck says
                out.rep(fmt::cell_error, {i, a, b});
                unclosed_cell(i, a, b, ig);
            }
        }
        zfa(i) = area;
    }
    for (i64 i = 1; i <= az; ++i) scale_row(ig + i, i);

    for (int pass = 1; pass <= 2; ++pass) {
        const Vec<double>& delt = pass == 1 ? deltyk : deltzk;
        const Vec<double>& ddq = pass == 1 ? ddqyk : ddqzk;
        for (i64 i = 1; i <= ig; ++i) {
            double ystar, zstar;
            principal(gurt::yi(i), gurt::zi(i), ystar, zstar);
            c(i, kwp1) = ial_sum(i, delt) - (pass == 1 ? gurt::bi(i) * zstar / quer::dyyste
                                                       : gurt::bi(i) * ystar / quer::dzzste);
        }
        for (i64 i = 1; i <= az; ++i)
            c(ig + i, kwp1) = scale(i) * (cell_sum(ibeta, i, ddq) - cell_sum(iala, i, ddq));
        copy_system(igaz, kwp1, kw);
        if (!solve(igaz, kw, kwp1, kraft::t0.data, "Singular shear-centre system")) {
            clear_after_failure(false);
            return false;
        }
        double sum = 0.0;
        for (i64 k = 1; k <= kw; ++k) {
            const double bk = wand::bk(k), t = kraft::t0(k);
            sum += pass == 1 ? t * ruk(k) - truyk(k) * bk / quer::dyyste
                             : truzk(k) * bk / quer::dzzste - t * ruk(k);
        }
        (pass == 1 ? quer::ymst : quer::zmst) = sum;
    }
    quer::ymstac = quer::ys + ca * quer::ymst - sa * quer::zmst;
    quer::zmstac = quer::zs + sa * quer::ymst + ca * quer::zmst;
    out.rep(fmt::sc_head);
    out.rep(fmt::sc, {quer::ymst, quer::ymstac, quer::zmst, quer::zmstac});
    return true;
}

// Shear flows, strains and twist under the load, mass moments about the shear centre,
// torsional stiffness, nodal forces.
void Analysis::torsion() {
    const bool closed = az > 0;
    mx = mx - quer::ymstac * qz + quer::zmstac * qy;
    const double py = ca * qy + sa * qz, pz = ca * qz - sa * qy;
    qy = py, qz = pz;
    const double h11 = qz / quer::dyyste, h22 = qy / quer::dzzste;
    for (i64 i = 1; i <= ig; ++i) {
        double ystar, zstar;
        principal(gurt::yi(i), gurt::zi(i), ystar, zstar);
        const double bi = gurt::bi(i);
        c(i, kwp2) =
            qy * ial_sum(i, deltzk) + qz * ial_sum(i, deltyk) - bi * h11 * zstar - bi * h22 * ystar;
        c(i, kwp1) = 0.0;
    }
    for (i64 i = 1; i <= az; ++i) {
        c(ig + i, kwp2) = scale(i) * (qz * (cell_sum(ibeta, i, ddqyk) - cell_sum(iala, i, ddqyk)) +
                                      qy * (cell_sum(ibeta, i, ddqzk) - cell_sum(iala, i, ddqzk)));
        c(ig + i, kwp1) = -scale(i) * zfa(i);
    }
    double rmx = 0.0;
    for (i64 k = 1; k <= kw; ++k) rmx += wand::bk(k) * (h11 * truyk(k) + h22 * truzk(k));
    c(igaz1, kwp2) = scale(az + 1) * (quer::zmst * qy - mx - rmx - quer::ymst * qz);

    copy_system(igaz1, kwp2, kwp1);
    if (!closed) out.rep(fmt::open_profile);
    const i64 n = closed ? kwp1 : kw;
    if (!solve(closed ? igaz1 : igaz, n, kwp2, kraft::t0.data, "Singular load system")) {
        clear_after_failure(true);
        return;
    }

    out.rep(fmt::shear_head);
    for (i64 k = 1; k <= kw; ++k) {
        const double bk = wand::bk(k), gk = wand::gk(k), t0 = kraft::t0(k);
        const double tl2 = t0 - (fstszm(k) * h22 + fstsym(k) * h11) * bk;
        const double tl = t0 - (sstzk(k) * h22 + sstyk(k) * h11) * bk;
        kraft::tl2(k) = tl2, kraft::tl(k) = tl;
        const double g[3] = {gk == 0.0 ? 0.0 : t0 / gk, gk == 0.0 ? 0.0 : tl2 / gk,
                             gk == 0.0 ? 0.0 : tl / gk};
        out.rep(fmt::wall_row, {k, t0, tl2, tl, g[0], g[1], g[2]});
        out.dump({"Wand:", k});
        out.dump({"T0", t0});
        out.dump({"TL2", tl2});
        out.dump({"TL", tl});
        out.dump({"GK", gk});
        out.dump({"ZWA", g[0]});
        out.dump({"ZWB", g[1]});
        out.dump({"ZWC", g[2]});
        out.dump();
        for (int j = 0; j < 3; ++j) epigam::gam(k, j + 1) = g[j];
    }
    if (closed) out.rep(fmt::twist, {kraft::t0(kwp1)});

    // mass moments about the stiffness centre, turned into the principal axes and moved to
    // the shear centre through the mass centre
    const double h1 = quer::ys - quer::yt, h2 = quer::zs - quer::zt;
    const double dys = ca * h1 + sa * h2, dzs = ca * h2 - sa * h1;
    const double m = quer::m, ymst = quer::ymst, zmst = quer::zmst;
    quer::iyys = iyyd * ca2 + izzd * sa2 - izyd * s2a + m * zmst * (zmst + 2 * dzs);
    quer::izys =
        0.5 * s2a * (iyyd - izzd) + izyd * c2a + m * (ymst * zmst + ymst * dzs + zmst * dys);
    quer::izzs = izzd * ca2 + iyyd * sa2 + izyd * s2a + m * ymst * (ymst + 2 * dys);
    out.rep(fmt::mass_sc, {quer::iyys, quer::izys, quer::izzs});
    out.rep(fmt::polar_mass, {quer::itt});

    quer::dt = 0.0;
    if (closed) {
        for (i64 i = 1; i <= ig; ++i) c(i, kwp1) = c(i, kwp2) = 0.0;
        for (i64 i = 1; i <= az; ++i) {
            c(ig + i, kwp1) = -scale(i) * zfa(i);
            c(ig + i, kwp2) = 0.0;
        }
        c(igaz1, kwp1) = 0.0;
        c(igaz1, kwp2) = -scale(az + 1);
        copy_system(igaz1, kwp2, kwp1);
        Work<double, 64> x(kwp1);
        if (!solve(igaz1, kwp1, kwp2, x.data(), "Singular unit-torque system")) {
            if (out.druck) io::close(out.klog);
            return;
        }
        quer::dt = 1.0 / x(kwp1);
    }
    out.rep(fmt::dt, {quer::dt});
    const i32 walls = static_cast<i32>(kw);
    KNKRFT(&walls);
    if (out.druck) io::close(out.klog);
}

void Analysis::run() {
    open_files();
    echo();
    out.rep(fmt::loads, {qx, qy, qz, mx, my, mz});
    out.rep(fmt::title);
    stiffness();
    if (shear_centre()) torsion();
}

}  // namespace

extern "C" {

void GetEquivalentXSection() {
    if (refused("GetEquivalentXSection")) return;
    Analysis().run();
}

void KNKRFT(const i32* maxw) {
    if (refused("KNKRFT")) return;
    const Report out;
    const i64 kw = wand::kw, n = std::max<i64>({*maxw, kw, 1});
    Work<double, 1> storage(9 * n);
    const View<double, 3> pknt(storage.data(), n, 3, 3);
    double spx = 0.0, spy = 0.0, spz = 0.0;
    for (i64 i = 1; i <= kw; ++i) {
        const double delty = (wand::yklk(i) - wand::yk0(i)) / 30;
        const double deltz = (wand::zklk(i) - wand::zk0(i)) / 30;
        const double alng = std::sqrt(deltz * deltz + delty * delty);
        const double n0 = kraft::nx0(i), n2 = kraft::nxl2(i), n1 = kraft::nxl(i);
        const double t0 = kraft::t0(i), t2 = kraft::tl2(i), t1 = kraft::tl(i);
        // consistent nodal loads of a three-node line under a quadratic load
        const double hx[3] = {4 * n0 + 2 * n2 - n1, 2 * n0 + 16 * n2 + 2 * n1,
                              -n0 + 2 * n2 + 4 * n1};
        const double hs[3] = {4 * t0 + 2 * t2 - t1, 2 * t0 + 16 * t2 + 2 * t1,
                              -t0 + 2 * t2 + 4 * t1};
        for (int j = 1; j <= 3; ++j) {
            pknt(i, j, 1) = hx[j - 1] * alng;
            pknt(i, j, 2) = hs[j - 1] * delty;
            pknt(i, j, 3) = hs[j - 1] * deltz;
            spx += pknt(i, j, 1);
            spy += pknt(i, j, 2);
            spz += pknt(i, j, 3);
        }
    }
    out.ext(fmt::sums, {spx, spy, spz});
    for (int d = 1; d <= 3; ++d) {
        out.rep(fmt::gap);
        out.rep(d == 1 ? fmt::nodal_x : d == 2 ? fmt::nodal_y : fmt::nodal_z);
        for (i64 i = 1; i <= kw; ++i)
            out.rep(fmt::nodal_row,
                    {i, wand::ig1(i), pknt(i, 1, d), pknt(i, 2, d), pknt(i, 3, d), wand::ig2(i)});
    }
}
}

}  // namespace vorlen::boxbeam
