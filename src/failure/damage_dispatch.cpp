// Failure-mode dispatch per ply: the criterion of each mode chosen by its selector flag, fed with
// the ply's row of the material tables.
#include "failure/damage_dispatch.hpp"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string_view>

#include "base/errorhandling.hpp"
#include "failure/delcollection.hpp"
#include "failure/fbcollection.hpp"
#include "failure/gpcollection.hpp"
#include "failure/mccollection.hpp"
#include "materials/lamina_stiffness.hpp"
#include "materials/laminate.hpp"

namespace vorlen::damage {
namespace {

constexpr double deg = 3.141592653589793 / 180.0;

// Positions in a ply stress (Nye order) and in a ply's strengths.
enum { S11, S22, S33, S12, S13, S23 };
enum { XT11, XT22, XT33, XC11, XC22, XC33, X12, X13, X23, ILSS };
// Positions in a ply's elastic constants.
enum { E1, E2, E3, NU12, NU13, NU23, G12, G13, G23 };

[[gnu::cold]] void outside_tables(const char* routine) {
    errorhandling::report(-3, "Ply or section outside the data tables", routine);
}

[[gnu::cold]] void default_case(std::string_view message) { errorhandling::report(-2, message); }

// Ply layer and section isec within 1..nlayer and 1..nsec, else the -3 report.
bool in_tables(i64 layer, i64 nlayer, i64 isec, i64 nsec, const char* routine) {
    if (layer >= 1 && layer <= nlayer && isec >= 1 && isec <= nsec) return true;
    outside_tables(routine);
    return false;
}

// Column (layer, isec) of a table with m rows. The criteria read the ply's values in place and
// write only locals, so the results, written last, may share storage with any input.
// layer and isec lie within 1..nlayer and 1..nsec.
const double* column(const double* table, i32 m, i32 layer, i32 nlayer, i32 isec) {
    return table + m * ((i64(isec) - 1) * nlayer + (layer - 1));
}

double flag_of(double exposure) { return exposure >= 1.0 ? 1.0 : 0.0; }

// int() of a card value toward zero; a value outside the integer range or not a number counts
// as 0 (for gsflag: a scan, as every value but 1).
i32 truncated(double v) { return std::abs(v) < 2147483648.0 ? static_cast<i32>(v) : 0; }

// Exposure of the general criteria, selector numbering of gpflag 1 to 8; false for another.
bool general(i32 flag, const double* s, const double* x, double* r) {
    using namespace gpcollection;
    switch (flag) {
    case 1: GPMaxNominal(r, &s[S11], &x[XT11], &x[XC11]); return true;
    case 2: GPQuadNominal(r, &s[S11], &s[S12], &s[S13], &x[XT11], &x[X12], &x[X13]); return true;
    case 3:
        GPLinInteraction(r, &s[S11], &s[S22], &s[S12], &x[XT11], &x[XC11], &x[XT22], &x[XC22],
                         &x[X12]);
        return true;
    case 4:
        GPQuadInteraction(r, &s[S11], &s[S22], &s[S12], &x[XT11], &x[XC11], &x[XT22], &x[XC22],
                          &x[X12]);
        return true;
    case 5:
        GPNorrisInteraction(r, &s[S11], &s[S22], &s[S12], &x[XT11], &x[XC11], &x[XT22],
                            &x[XC22], &x[X12]);
        return true;
    case 6:
        GPYamadaSunInteraction(r, &s[S11], &s[S12], &s[S13], &x[XT11], &x[XC11], &x[X12],
                               &x[X13]);
        return true;
    case 7:
        GPPolyCamanho(r, &s[S11], &s[S22], &s[S33], &s[S12], &s[S13], &s[S23], &x[XT11],
                      &x[XC11], &x[XT22], &x[XC22], &x[X12], &x[X13], &x[X23], nullptr, nullptr);
        return true;
    case 8:
        GPPolynomial(r, &s[S11], &s[S22], &s[S33], &s[S12], &s[S13], &s[S23], &x[XT11],
                     &x[XC11], &x[XT22], &x[XC22], &x[XT33], &x[XC33], &x[X12], &x[X13], &x[X23],
                     nullptr, nullptr);
        return true;
    default: return false;
    }
}

// Exposure of the fibre criteria by fbflag 1 to 13; false for another.
bool fibre(i32 flag, const double* s, const double* e, const double* x, double* r) {
    using namespace fbcollection;
    switch (flag) {
    case 1: case 2: return general(flag, s, x, r);
    case 3:
        FBHashin(r, &s[S11], &s[S12], &s[S13], &x[XT11], &x[XC11], &x[X12], &x[X13], nullptr);
        return true;
    case 4: FBChangChang(r, &s[S11], &s[S12], &x[XT11], &x[XC11], &x[X12]); return true;
    case 5: FBChristensen(r, &s[S11], &s[S22], &s[S33], &x[XT11], &x[XC11]); return true;
    case 6: case 7: return general(flag + 1, s, x, r);
    case 8: case 9: case 10: case 11: return general(flag - 5, s, x, r);
    case 12:
        FBLaRC04(r, &s[S11], &s[S22], &s[S33], &s[S12], &s[S13], &s[S23], &x[XT11], &x[XC11],
                 &x[XT22], &x[XC22], &x[X12], &e[E1], &e[E2], &e[G12], &e[NU12], nullptr, nullptr,
                 nullptr);
        return true;
    case 13:
        FBLaRC05(r, &s[S11], &s[S22], &s[S33], &s[S12], &s[S13], &s[S23], &x[XT11], &x[XC11],
                 &x[XT22], &x[XC22], &x[X12], &e[G12], nullptr, nullptr, nullptr, nullptr);
        return true;
    default: return false;
    }
}

// Settings of the matrix criteria, their defaults first.
struct MatrixSettings {
    double sainc = 5.0;
    i32 gsflag = 1;
    double a0 = 53.0;
    double puck[4] = {0.3, 0.2, 0.15, 0.15};
    double xcs[3] = {0.0, 0.0, 0.0};  // (X12, X13, X23) of the ply
    double spc[2] = {0.3, -0.3};
    double vdi[4] = {0.3, 0.3, 0.25, 0.25};
    double wp[2] = {0.5, 0.5};
    double phi_r = -1.0;
};

// The settings that the first n parameters p of a ply give for mcflag (all n values are read).
void matrix_settings(MatrixSettings& m, i32 flag, const double* p, i32 n) {
    if (n == 0 || std::find(p, p + n, -1.0) != p + n) return;
    const auto step = [&] {
        m.sainc = p[n - 2];
        m.gsflag = truncated(p[n - 1]);
    };
    switch (flag) {
    case 9:
        if (n == 4) std::copy_n(p, 4, m.puck);
        else if (n == 2 || n == 6) step();
        break;
    case 10: case 11:
        if (n == 1) m.a0 = p[0];
        else if (n == 2 || n == 3) step();
        break;
    case 12:
        if (n == 5) std::copy_n(p, 3, m.xcs), std::copy_n(p + 3, 2, m.spc);
        else if (n == 2 || n == 7) step();
        break;
    case 13:
        if (n == 6) std::copy_n(p, 4, m.vdi), std::copy_n(p + 4, 2, m.wp);
        else if (n == 2 || n == 8) step();
        break;
    default: m.phi_r = p[0] * deg;
    }
}

// A ply's criterion parameters: the np values of its column of pdprops and the sentinel.
struct Card {
    const double* p;
    i32 np;
    double end;
};

// The settings of mcflag from the card: its values before the first sentinel.
MatrixSettings card_settings(i32 flag, const double* x, const Card& c) {
    MatrixSettings m;
    m.xcs[0] = x[X12], m.xcs[1] = x[X13], m.xcs[2] = x[X23];
    matrix_settings(m, flag, c.p, static_cast<i32>(std::find(c.p, c.p + c.np, c.end) - c.p));
    return m;
}

// phi_r of the card for the closed forms and LaRC04.
[[gnu::noinline]] double card_angle(i32 flag, const double* x, const Card& c) {
    return card_settings(flag, x, c).phi_r;
}

// Whether mcflag takes its settings from the card before the criterion runs: the action-plane
// criteria but LaRC04, which searches with the default step and mode.
bool takes_settings(i32 flag) { return flag >= 9 && flag != 14; }

// Exposure of the matrix criteria without card settings, mcflag 1 to 8 and 14. Each criterion
// is called from a frame of its own, so the common dispatch sets up only the arguments of the
// one it calls.
template <i32 Flag> [[gnu::noinline]] double matrix_closed_flag(const double* s, const double* e,
                                                                const double* x) {
    using namespace mccollection;
    static constexpr double sainc = 5.0;
    static constexpr i32 golden = 1;
    double r = 0.0;
    if constexpr (Flag == 1) {
        MCrckHashinPS(&r, &s[S22], &s[S12], &x[XT22], &x[XC22], &x[X12], &x[X23]);
    } else if constexpr (Flag == 2) {
        MCrckHashin3D(&r, &s[S22], &s[S12], &s[S13], &s[S23], &x[XT22], &x[XC22], &x[X12],
                      &x[X23]);
    } else if constexpr (Flag == 3) {
        MCrckHashinComplete(&r, &s[S22], &s[S33], &s[S12], &s[S13], &s[S23], &x[XT22], &x[XC22],
                            &x[X12], &x[X23]);
    } else if constexpr (Flag == 4) {
        MCrckHashin1989(&r, &s[S22], &s[S33], &s[S12], &s[S13], &s[S23], &x[XT22], &x[XC22],
                        &x[XT33], &x[XC33], &x[X12], &x[X13], &x[X23]);
    } else if constexpr (Flag == 5) {
        MCrckChai(&r, &s[S22], &s[S12], &s[S23], &x[XT22], &x[XC22], &x[X12], &x[X23], nullptr);
    } else if constexpr (Flag == 6) {
        MCrckChangChang(&r, &s[S22], &s[S12], &x[XT22], &x[XC22], &x[X12]);
    } else if constexpr (Flag == 7) {
        MCrckCuntze2004(&r, &s[S22], &s[S33], &s[S12], &s[S13], &s[S23], &x[XT22], &x[XC22],
                        &x[X12], &x[X13], nullptr, nullptr);
    } else if constexpr (Flag == 8) {
        MCrckCuntze2012(&r, &s[S22], &s[S33], &s[S12], &s[S13], &s[S23], &x[XT22], &x[XC22],
                        &x[X12], nullptr, nullptr);
    } else {
        MCrckLaRC04(&r, &s[S11], &s[S22], &s[S33], &s[S12], &s[S13], &s[S23], &x[XT11], &x[XC11],
                    &x[XT22], &x[XC22], &x[X12], &e[E1], &e[E2], &e[G12], &e[NU12], nullptr,
                    nullptr, nullptr, &sainc, nullptr, &golden);
    }
    return r;
}

double matrix_closed(i32 flag, const double* s, const double* e, const double* x) {
    switch (flag) {
    case 1: return matrix_closed_flag<1>(s, e, x);
    case 2: return matrix_closed_flag<2>(s, e, x);
    case 3: return matrix_closed_flag<3>(s, e, x);
    case 4: return matrix_closed_flag<4>(s, e, x);
    case 5: return matrix_closed_flag<5>(s, e, x);
    case 6: return matrix_closed_flag<6>(s, e, x);
    case 7: return matrix_closed_flag<7>(s, e, x);
    case 8: return matrix_closed_flag<8>(s, e, x);
    default: return matrix_closed_flag<14>(s, e, x);
    }
}

// Exposure of the action-plane matrix criteria with the card's settings, mcflag 9 to 13 and 15,
// and in phi_r the angle they leave in their outtheta (out of line: the settings stay off the
// frame of the closed forms).
[[gnu::noinline]] double matrix_plane(i32 flag, const double* s, const double* x, const Card& c,
                                      double& phi_r) {
    using namespace mccollection;
    MatrixSettings m = card_settings(flag, x, c);
    double rv = 0.0;
    double* r = &rv;
    const double *s11 = &s[S11], *s22 = &s[S22], *s33 = &s[S33], *s12 = &s[S12], *s13 = &s[S13],
                 *s23 = &s[S23];
    switch (flag) {
    case 9:
        MCrckPuck(r, s22, s33, s12, s13, s23, &x[XT22], &x[XC22], &x[X12], &m.phi_r, m.puck,
                  &m.sainc, &m.gsflag, nullptr);
        break;
    case 10:
        MCrckWiegand(r, s22, s33, s12, s13, s23, &x[XT22], &x[XC22], &x[X12], &m.phi_r, &m.a0,
                     &m.sainc, &m.gsflag);
        break;
    case 11:
        MCrckCamanho(r, s22, s33, s12, s13, s23, &x[XT22], &x[XC22], &x[X12], &x[X23], &m.phi_r,
                     &m.a0, &m.sainc, &m.gsflag);
        break;
    case 12:
        MCrckSPC3D(r, s22, s33, s12, s13, s23, &x[XT11], &x[XC11], &x[XT22], &x[XC22], &x[XT33],
                   &x[XC33], &x[X12], &x[X13], &x[X23], m.xcs, &m.phi_r, m.spc, &m.sainc, nullptr,
                   &m.gsflag);
        break;
    case 13:
        MCrckVDI2014(r, s11, s22, s33, s12, s13, s23, &x[XT11], &x[XC11], &x[XT22], &x[XC22],
                     &x[X12], &m.phi_r, m.vdi, m.wp, &m.sainc, &m.gsflag);
        break;
    default:
        MCrckLaRC05(r, s22, s33, s12, s13, s23, &x[XT22], &x[XC22], &x[X12], nullptr, &m.phi_r,
                    &m.sainc, &m.gsflag);
    }
    phi_r = m.phi_r;
    return rv;
}

// Whether the strengths that delflag 3 to 7 read of a ply are all non-zero.
bool delamination_strengths(i32 flag, const double* x) {
    const auto nonzero = [x](std::initializer_list<int> k) {
        return std::all_of(k.begin(), k.end(), [x](int i) { return x[i] != 0.0; });
    };
    switch (flag) {
    case 3: case 5: return nonzero({XT22, XC22, ILSS});
    case 4: return std::all_of(x, x + ILSS, [](double v) { return v != 0.0; });
    default: return nonzero({XT33, XC33, ILSS});
    }
}

// Index of one ply by delflag 3 to 7 with its stress s and strengths x.
double delamination_ply(i32 flag, double s33i, const double* s, const double* x) {
    double r = 0.0;
    switch (flag) {
    case 3: delcollection::DelPuck(&r, &s33i, &s[S13], &s[S23], &x[XT22], &x[XC22], &x[ILSS],
                                   nullptr); break;
    case 4: {
        static constexpr double sainc = 1.0, salims[2] = {178.0, 182.0};
        static constexpr i32 scan = 0;
        mccollection::MCrckSPC3D(&r, &s[S22], &s[S33], &s[S12], &s[S13], &s[S23], &x[XT11],
                                 &x[XC11], &x[XT22], &x[XC22], &x[XT33], &x[XC33], &x[X12],
                                 &x[X13], &x[X23], nullptr, nullptr, nullptr, &sainc, salims,
                                 &scan);
        break;
    }
    case 5: delcollection::DelHashin(&r, &s33i, &s[S13], &s[S23], &x[XT22], &x[XC22], &x[ILSS]);
        break;
    case 6: delcollection::DelOchoaEngblom(&r, &s33i, &s[S13], &s[S23], &x[XT33], &x[XC33],
                                           &x[ILSS]); break;
    default: delcollection::DelLee(&r, &s33i, &s[S12], &s[S13], &x[XT33], &x[XC33], &x[ILSS]);
    }
    return r;
}

}  // namespace

extern "C" {

void damage_generalfailure(double* fgp, double* rgp, const double* plystress,
                           const double* psprops, const double* /*plyorientation*/,
                           const i32* layer, const i32* nlayer, const i32* isec, const i32* nsec,
                           const i32* gpflag) {
    double r = 0.0;
    const i32 flag = *gpflag;
    if (in_tables(*layer, *nlayer, *isec, *nsec, "GeneralFailure") && flag != 0) {
        const double* x = column(psprops, 10, *layer, *nlayer, *isec);
        if (!general(flag, plystress, x, &r))
            default_case("Warning: Default case in GeneralFailure subroutine."
                         "Please check your input parameters.");
    }
    *rgp = r;
    *fgp = flag_of(r);
}

void damage_fiberbreakage(double* ffb, double* rfb, const double* plystress,
                          const double* peprops, const double* psprops,
                          const double* /*plyorientation*/, const i32* layer, const i32* nlayer,
                          const i32* isec, const i32* nsec, const i32* fbflag) {
    double r = 0.0;
    const i32 flag = *fbflag;
    if (in_tables(*layer, *nlayer, *isec, *nsec, "FiberBreakage") && flag != 0) {
        const double* e = column(peprops, 9, *layer, *nlayer, *isec);
        const double* x = column(psprops, 10, *layer, *nlayer, *isec);
        if (!fibre(flag, plystress, e, x, &r))
            default_case("Warning: Default case in FiberBreakage subroutine."
                         "Please check your input parameters.");
    }
    *rfb = r;
    *ffb = flag_of(r);
}

void MatrixCracking(double* fmc, double* rmc, const double* plystress, const double* peprops,
                    const double* psprops, const double* pdprops,
                    const double* /*plyorientation*/, const i32* layer, const i32* nlayer,
                    const i32* isec, const i32* nsec, const i32* nprops, const i32* mcflag,
                    double* outtheta, const double* defreal) {
    double r = 0.0, phi_r = -1.0;
    const i32 flag = *mcflag, nl = *nlayer, ns = *nsec, l = *layer, k = *isec;
    const bool want = outtheta && *outtheta < 0.0;
    if (in_tables(l, nl, k, ns, "MatrixCracking") && flag != 0) {
        if (flag < 0 || flag > 15) {
            default_case("Warning: Default case in MatrixCracking subroutine"
                         ". Please check your input parameters.");
        } else {
            const double* x = column(psprops, 10, l, nl, k);
            // The card is built only where it is read: the closed forms take nothing of it.
            const auto card = [&] {
                const i32 np = std::max(*nprops, 0);
                return Card{column(pdprops, np, l, nl, k), np,
                            defreal ? *defreal : std::numeric_limits<double>::max()};
            };
            if (takes_settings(flag)) {
                r = matrix_plane(flag, plystress, x, card(), phi_r);
            } else {
                r = matrix_closed(flag, plystress, column(peprops, 9, l, nl, k), x);
                // The card's angle only for a failure that asks for it.
                if (want && r >= 1.0) phi_r = card_angle(flag, x, card());
            }
        }
    }
    *rmc = r;
    *fmc = flag_of(r);
    if (want && r >= 1.0) *outtheta = phi_r;
}

void damage_delamination(double* fdel, double* rdel, const double* s33i,
                         const double* lplystress, const double* uplystress,
                         const double* peprops, const double* psprops,
                         const double* plyorientation, const double* plythickness,
                         const i32* layer, const i32* nlayer, const i32* isec, const i32* nsec,
                         const i32* delflag) {
    double r = 0.0;
    const i32 flag = *delflag, nl = *nlayer, ns = *nsec, l = *layer;
    // The upper ply of the interface is a ply of the tables too.
    if (in_tables(l, i64(nl) - 1, *isec, ns, "Delamination") && flag != 0) {
        const i32 k = *isec, u = l + 1;
        const double *sl = lplystress, *su = uplystress, s33 = *s33i;
        const double* xl = column(psprops, 10, l, nl, k);
        const double* xu = column(psprops, 10, u, nl, k);
        switch (flag) {
        case 1: {
            double ql[9], qu[9], df[3];
            const double* el = column(peprops, 9, l, nl, k);
            const double* eu = column(peprops, 9, u, nl, k);
            const Mat<const double> angle(plyorientation, nl, ns), thick(plythickness, nl, ns);
            const double dang = angle(u, k) - angle(l, k), tl = thick(l, k), tu = thick(u, k);
            static constexpr i32 three = 3;
            lamina::GetNyeStiffnessMatrix(ql, el, &three, nullptr);
            lamina::GetNyeStiffnessMatrix(qu, eu, &three, nullptr);
            laminate::GetChaiDelamFactors(df, ql, qu, &dang, &tl, &tu, &el[G23], &eu[G23],
                                          &el[G13], &eu[G13]);
            delcollection::DelChai(&r, &sl[S22], &sl[S13], &su[S23], &xl[XT22], &xl[XC22],
                                   &xu[X23], &xl[ILSS], &df[0], &df[1], &df[2]);
            break;
        }
        case 2: {
            const double ilssu = xu[ILSS] == 0.0 ? xl[ILSS] : xu[ILSS];
            delcollection::DelChoiChang(&r, &sl[S22], &sl[S13], &su[S23], &xl[XT22], &xl[XC22],
                                        &xl[ILSS], &ilssu, nullptr);
            break;
        }
        case 3: case 4: case 5: case 6: case 7: {
            r = delamination_ply(flag, s33, sl, xl);
            const double upper =
                delamination_strengths(flag, xu) ? delamination_ply(flag, s33, su, xu) : 0.0;
            if (upper > r || std::isnan(upper)) r = upper;  // either not a number gives one
            break;
        }
        default:
            default_case("Warning: Default case in Delamination subroutine"
                         ". Please check your input parameters.");
        }
    }
    *rdel = r;
    *fdel = flag_of(r);
}

void damage_corecrushing(double* fcc, double* rcc, const double* /*plystress*/,
                         const double* /*psprops*/, const double* /*plyorientation*/,
                         const i32* layer, const i32* nlayer, const i32* isec, const i32* nsec,
                         const i32* ccflag) {
    const i32 flag = *ccflag;
    if (in_tables(*layer, *nlayer, *isec, *nsec, "CoreCrushing") && (flag < 0 || flag > 2))
        default_case("Warning: Default case in CoreCrushing subroutine"
                     ". Please check your input parameters.");
    *rcc = 0.0;
    *fcc = 0.0;
}

}  // extern "C"
}  // namespace vorlen::damage
