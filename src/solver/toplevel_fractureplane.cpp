// Explicit fracture-plane ply damage: fibre tension and compression softening in the fibre
// direction, an inter-fibre crack by the Wiegand criterion degrading the stiffness in the frame
// of its fracture plane.
#include "solver/toplevel_fractureplane.hpp"

#include <algorithm>
#include <cmath>
#include <string_view>

#include "base/errorhandling.hpp"
#include "base/numbers.hpp"
#include "core/math_linalg.hpp"
#include "core/math_products.hpp"
#include "core/signalprocessing.hpp"
#include "elements/elementhandling_conversions.hpp"
#include "failure/degradation_models.hpp"
#include "failure/evocollection.hpp"
#include "failure/fracture.hpp"
#include "failure/gpcollection.hpp"
#include "failure/mccollection.hpp"
#include "materials/lamina_notation.hpp"
#include "materials/lamina_rotated.hpp"
#include "materials/lamina_stiffness.hpp"
#include "solver/toplevel_explicit_forms.hpp"
#include "solver/toplevel_layouts.hpp"

namespace vorlen::toplevel {
namespace {

namespace ef = explicit_forms;

constexpr std::string_view kRoutine = "vumat_bogenfeld";
constexpr i32 kStatev = 47;     // state columns the routine owns
constexpr i32 kFullProps = 29;  // slots of the damage vector
constexpr i32 kSix = 6, kToVoigt = 1, kToCyclic = 2;
constexpr double kWmax[4] = {0.999, 0.97, 0.99, 0.0};
constexpr double kDegToRad = 0.017453292519943295, kRadToDeg = 57.29577951308232;
// An inter-fibre index that reaches 1 while its onset cannot be recorded is held below 1.
constexpr double kBelowOne = 0.9999999999999999;
constexpr lgl kTrue = 1, kFalse = 0;

// State columns (1-based).
enum Col : i32 {
    kWd = 1,
    kRec1 = 7,
    kRec2 = 8,
    kRec3 = 9,
    kFiff = 10,
    kRec4 = 11,
    kPhi = 12,
    kEps0Ft = 13,
    kEps1Ft = 14,
    kGcFt = 15,
    kEps0Fc = 16,
    kEps1Fc = 17,
    kFfT = 18,
    kStatus = 19,
    kFfC = 20,
    kStrain = 21,
    kStrainIn = 27,
    kStressFt = 45,
    kStressFc = 46,
    kCrack = 47
};

// What a call takes from its properties, once.
struct Material {
    i32 ndir = 0, nt = 0;
    bool have = false;           // elastic constants
    bool nye_given = false;      // nye holds the engineering constants (plane-stress thickness)
    bool damage = false;         // damage vector with a nonzero slot
    bool refused = false;        // damage vector with a modulus or strength of no use
    double nye[9] = {};          // E1, E2, E3, nu12, nu13, nu23, G12, G13, G23
    double c[36] = {};           // working stiffness, Cyclic order, shear moduli on the diagonal
    double s[36] = {};           // its inverse over the components of nonzero stiffness
    double pb[kFullProps] = {};  // prop_bo
};

// Compliance over the components whose stiffness diagonal is not 0 (the plane-stress forms
// have a zero 33 row); the others stay 0.
void partial_inverse(double* s, const double* c, i32 nt) {
    i32 idx[6], m = 0;
    for (i32 k = 0; k < nt; ++k)
        if (c[k + k * nt] != 0.0) idx[m++] = k;
    if (m == 0) return;
    double a[36];
    for (i32 j = 0; j < m; ++j)
        for (i32 k = 0; k < m; ++k) a[k + j * m] = c[idx[k] + idx[j] * nt];
    math::MatrixInverse(a, a, &m);
    for (i32 j = 0; j < m; ++j)
        for (i32 k = 0; k < m; ++k) s[idx[k] + idx[j] * nt] = a[k + j * m];
}

void read_material(Material& mt, i32 ndir, i32 nt, i32 nprops, const double* props,
                   const double* stateold, i32 nblock, i32 nstatev) {
    mt.ndir = ndir;
    mt.nt = nt;
    const ef::Form form = ef::form_of(nprops);
    if (form == ef::Form::store || form == ef::Form::constants) {
        const Mat<const double> st(stateold, nblock, nstatev);
        const bool cols = nstatev >= 22;  // the first point's ply and section columns
        mt.nye_given = ef::short_constants(mt.nye, form, props, nprops, cols ? &st(1, 21) : nullptr,
                                           cols ? &st(1, 22) : nullptr, kRoutine);
    } else if (form == ef::Form::triangle) {
        if (nt != 6)
            errorhandling::report(-3, "Stiffness triangle needs six components", kRoutine);
        else
            ef::triangle_stiffness(mt.c, props, nprops);
    } else if (nprops < kFullProps) {
        errorhandling::report(-3, "Short property vector", kRoutine);
    } else {
        std::copy_n(props, kFullProps, mt.pb);
        const double* p = mt.pb;
        const double nye[9] = {p[0], p[1], p[2], p[6], p[7], p[8], p[3], p[4], p[5]};
        std::copy_n(nye, 9, mt.nye);
        mt.nye_given = true;
        mt.damage = std::any_of(p, p + kFullProps, [](double x) { return x != 0.0; });
        // The indices divide by the strengths, the stiffness needs the moduli: a zero or
        // subnormal one would put inf or 0/0 into the state.
        const double x[6] = {p[9], p[10], std::abs(p[12]), std::abs(p[13]), p[15], p[16]};
        mt.refused = mt.damage && !(std::all_of(p, p + 6, positive_normal) &&
                                    std::all_of(x, x + 6, positive_normal));
        if (mt.refused)
            errorhandling::report(-3, "Modulus or strength not a positive normal number", kRoutine);
    }
    if (mt.nye_given) {
        const i32 plane_stress = 0;
        lamina::GetNyeStiffnessMatrix(mt.c, mt.nye, &nt, nt == 6 ? nullptr : &plane_stress);
    }
    if (nt == 6) ef::nye_to_cyclic(mt.c);
    mt.have = mt.c[0] > 0.0;  // GetNyeStiffnessMatrix leaves 0 for constants it refuses
    if (!mt.have) {
        std::fill_n(mt.c, 36, 0.0);
        mt.nye_given = mt.damage = false;
        return;
    }
    partial_inverse(mt.s, mt.c, nt);
}

// Vector or 6 x 6 matrix from the Cyclic into the Voigt order and back.
void to_voigt(double* v, const double* c, i32 sdim) {
    lamina::FlipVoigtCyclicNotation(v, c, &sdim, &kToVoigt, &sdim);
}
void to_cyclic(double* c, const double* v, i32 sdim) {
    lamina::FlipVoigtCyclicNotation(c, v, &sdim, &kToCyclic, &sdim);
}

// Secant stress c (eps), tensor shears.
void secant_stress(double* stress, const double* c, const double* eps) {
    const double zero[6] = {};
    const i32 three = 3;
    lamina::GetStressVector(stress, c, eps, zero, &three, &kSix, &kTrue, &kTrue);
}

// sqrt(a^2 + b^2 + c^2) as the quadratic nominal form with unit strengths.
double quad_norm(double a, double b, double c) {
    const double one = 1.0;
    double r = 0.0;
    gpcollection::GPQuadNominal(&r, &a, &b, &c, &one, &one, &one);
    return r;
}

// Old values of a point, read before its outputs are written (they may share storage).
struct OldRow {
    double wd[4], rec[4], f_iff, phi_deg, ft[3], fc[2], ff_t, ff_c, strain[6], strain_in[6], crack;
};

OldRow load_row(const Mat<const double>& st, i32 i) {
    OldRow o;
    for (i32 k = 0; k < 4; ++k) o.wd[k] = st(i, kWd + k);
    const i32 rec[4] = {kRec1, kRec2, kRec3, kRec4};
    for (i32 k = 0; k < 4; ++k) o.rec[k] = st(i, rec[k]);
    o.f_iff = st(i, kFiff);
    o.phi_deg = st(i, kPhi);
    for (i32 k = 0; k < 3; ++k) o.ft[k] = st(i, kEps0Ft + k);
    for (i32 k = 0; k < 2; ++k) o.fc[k] = st(i, kEps0Fc + k);
    o.ff_t = st(i, kFfT);
    o.ff_c = st(i, kFfC);
    for (i32 k = 0; k < 6; ++k)
        o.strain[k] = st(i, kStrain + k), o.strain_in[k] = st(i, kStrainIn + k);
    o.crack = st(i, kCrack);
    return o;
}

// Fibre tension at the fibre stress s > 0: onset or growth of wd(1); true when it evolved.
bool fibre_tension(const Material& mt, const OldRow& o, double s, const double* eps_el, double lc,
                   double* wd, const Mat<double>& sn, i32 i) {
    const double* p = mt.pb;
    const double zero = 0.0, e = quad_norm(eps_el[0], eps_el[3], eps_el[5]);
    double d = 0.0;
    if (wd[0] <= 0.0) {
        double ff = 0.0;
        gpcollection::GPQuadNominal(&ff, &s, &zero, &zero, &p[9], &p[15], &p[16]);
        sn(i, kFfT) = std::max(o.ff_t, ff);
        if (!(ff >= 1.0) || !(e > 0.0)) return false;  // no onset, or none to record yet
        const double sf = quad_norm(std::max(s, 0.0), 0.0, 0.0);
        const double gc = p[24];  // (s^2 slot 25)/sf^2, the shear terms weighted 0
        double e0 = e / (ff * ff);
        double e1 = std::max(2.0 * gc / (lc * sf), 1.2 * e0);  // crack band, any lc > 0
        evocollection::BiLinearEvolution(&e, &e0, &sf, &gc, &zero, &d, &e1);
        sn(i, kEps0Ft) = e0, sn(i, kEps1Ft) = e1, sn(i, kGcFt) = gc, sn(i, kStressFt) = sf;
    } else {
        double e0 = o.ft[0], e1 = o.ft[1];
        const double gc = o.ft[2];
        evocollection::BiLinearEvolution(&e, &e0, &s, &gc, &zero, &d, &e1);
    }
    wd[0] = std::min(std::max({0.0, o.wd[0], d}), kWmax[0]);
    return true;
}

// Fibre compression at the fibre stress s < 0: onset or growth of wd(2); true when it evolved.
bool fibre_compression(const Material& mt, const OldRow& o, double s, const double* eps_el,
                       double lc, double* wd, const Mat<double>& sn, i32 i) {
    const double* p = mt.pb;
    const double zero = 0.0, one = 1.0;
    double e0 = o.fc[0], e1 = o.fc[1];
    if (wd[1] <= 0.0) {
        double ff = 0.0;
        gpcollection::GPQuadNominal(&ff, &s, &zero, &zero, &p[12], &p[15], &p[16]);
        sn(i, kFfC) = std::max(o.ff_c, ff);
        if (!(ff >= 1.0)) return false;
        const double sf = quad_norm(std::min(s, 0.0), 0.0, 0.0);
        e0 = quad_norm(std::max(-eps_el[0], 0.0), eps_el[3], eps_el[5]) / std::pow(ff, 0.25);
        if (!(e0 > 0.0)) return false;  // nothing to record yet
        const double gc = p[25];        // (max(-s, 0)^2 slot 26)/sf^2
        e1 = std::max(2.0 * gc / (std::abs(sf) * lc), 1.5 * e0);
        sn(i, kEps0Fc) = e0, sn(i, kEps1Fc) = e1, sn(i, kStressFc) = sf;
    }
    const double e = quad_norm(std::min(eps_el[0], 0.0), eps_el[3], eps_el[5]);
    double d = 0.0;
    evocollection::BiLinearEvolution(&e, &e0, &one, &one, &zero, &d, &e1);
    wd[1] = std::min(std::max({0.0, d, o.wd[1]}), kWmax[1]);
    return true;
}

// Inter-fibre crack: onset by the Wiegand criterion or growth of an existing crack. Returns
// whether the crack part ran (steps of the damage and stiffness in the crack frame follow);
// phi (radians) the fracture-plane angle, f_iff the largest index.
bool interfibre_crack(const Material& mt, const OldRow& o, const double* c_dmg,
                      const double* eps_el, const double* lc, double* wd, double& phi,
                      double& f_iff, const Mat<double>& sn, i32 i) {
    const double* p = mt.pb;
    const double bprops_tail[4] = {p[26], p[27], p[28], p[28]};
    const i32 mode = 3, nsdv = 4, nbprops = 5;
    double ev[6], sv[6], d = 0.0;
    to_voigt(ev, eps_el, 1);
    f_iff = o.f_iff;
    phi = o.phi_deg * kDegToRad;
    if (o.f_iff >= 1.0) {  // crack present: grows from its record, zero stress
        const double bprops[5] = {phi, bprops_tail[0], bprops_tail[1], bprops_tail[2],
                                  bprops_tail[3]};
        double rec[4] = {o.rec[0], o.rec[1], o.rec[2], o.rec[3]};
        const double zero6[6] = {};
        degradation::BogenfeldDegradation(&d, rec, zero6, ev, lc, bprops, &mode, &nsdv, &nbprops);
        wd[2] = d;
        return true;
    }
    double sdf[6];
    secant_stress(sdf, c_dmg, eps_el);
    double nf = 0.0, theta = -1.0;
    const double sainc = 5.0;
    const i32 gsflag = 1;
    mccollection::MCrckWiegand(&nf, &sdf[1], &sdf[2], &sdf[3], &sdf[5], &sdf[4], &p[10], &p[13],
                               &p[15], &theta, nullptr, &sainc, &gsflag);
    f_iff = std::max(o.f_iff, nf);
    phi = 0.0;
    if (!(nf >= 1.0)) return false;
    double phixz = 0.0;
    lamina::GetPhiMeasuredFromXZPlane(&phixz, &theta, &kTrue);
    const double bprops[5] = {phixz, bprops_tail[0], bprops_tail[1], bprops_tail[2],
                              bprops_tail[3]};
    double rec[4] = {-1.0, -1.0, -1.0, -1.0};
    to_voigt(sv, sdf, 1);
    degradation::BogenfeldDegradation(&d, rec, sv, ev, lc, bprops, &mode, &nsdv, &nbprops);
    if (!(rec[0] > 0.0) || !(rec[3] > rec[0]) || !std::isfinite(rec[3])) {
        f_iff = std::max(o.f_iff, kBelowOne);  // no strain on the plane yet: onset waits
        return false;
    }
    phi = phixz;
    wd[2] = d;
    sn(i, kRec1) = rec[0], sn(i, kRec2) = rec[1], sn(i, kRec3) = rec[2], sn(i, kRec4) = rec[3];
    return true;
}

// Energies of a point: pse the increment's work, sse the elastic energy.
void energies(double pse, double sse, double st, double rho, double eold, double* enew,
              double* einel) {
    *enew = eold + st * pse / rho;
    *einel = *enew - st * sse / rho;
}

// The damage update of point i (ntens 6); stress, state row and energies.
void damage_point(const Material& mt, const OldRow& o, i32 i, const double* de, const double* s0,
                  const double* lc, double rho, double eold, const Mat<double>& snew,
                  const Mat<double>& sn, double* enew, double* einel) {
    double tot[6], eps_el[6], c_dmg[36], wd[4];
    for (i32 k = 0; k < 6; ++k) tot[k] = o.strain[k] + de[k], eps_el[k] = tot[k] - o.strain_in[k];
    std::copy_n(mt.c, 36, c_dmg);
    std::copy_n(o.wd, 4, wd);
    const double s = s0[0];  // the fibre stress at the start of the increment
    double wf = s > 0.0 ? wd[0] : wd[1];
    if (s > 0.0 && fibre_tension(mt, o, s, eps_el, lc[0], wd, sn, i))
        wf = wd[0] + wd[1] - wd[0] * wd[1];
    if (s < 0.0 && fibre_compression(mt, o, s, eps_el, lc[0], wd, sn, i))
        wf = wd[0] + wd[1] - wd[0] * wd[1];
    if (wf != 0.0) {
        double dd[36];
        std::fill_n(dd, 36, 1.0);
        for (const i32 k : {0, 1, 2, 6, 12}) dd[k] = 1.0 - wf;  // (1,1), (2,1), (3,1), (1,2), (1,3)
        dd[21] = dd[35] = 1.0 - 2.0 * wf / 3.0;                 // shears 12 and 13
        math::HadamardProduct(dd, c_dmg, c_dmg, &kSix, &kSix);
    }
    double phi = 0.0, f_iff = o.f_iff;
    i32 nn = ef::to_int(o.crack);
    if (interfibre_crack(mt, o, c_dmg, eps_el, lc, wd, phi, f_iff, sn, i)) {
        const double zero = 0.0;
        wd[2] = std::max(signalprocessing::fLimit(&wd[2], &zero, &kWmax[2]), o.wd[2]);
        if (wd[2] != 0.0) {
            const double nrot[3] = {1.0, 0.0, 0.0};
            const i32 baseid = 2;
            double sv[6], cv[36];
            to_voigt(sv, s0, 1);
            fracture::GetCrackStatus(&nn, sv, nrot, &phi, &baseid);
            to_voigt(cv, c_dmg, 6);
            degradation::TensorDegradation(cv, cv, &phi, &wd[2], &baseid, &nn);
            to_cyclic(c_dmg, cv, 6);
        }
    }
    double stress[6];
    secant_stress(stress, c_dmg, eps_el);
    for (i32 k = 0; k < 4; ++k) {
        const double zero = 0.0;
        wd[k] = signalprocessing::fLimit(&wd[k], &zero, &kWmax[k]);
    }
    if (wd[0] >= kWmax[0] || wd[1] >= kWmax[1]) sn(i, kStatus) = 0.0;
    sn(i, kFiff) = f_iff;
    sn(i, kPhi) = phi * kRadToDeg;
    sn(i, kCrack) = nn;
    for (i32 k = 0; k < 4; ++k) sn(i, kWd + k) = wd[k];
    for (i32 k = 0; k < 6; ++k) sn(i, kStrain + k) = tot[k], sn(i, kStrainIn + k) = o.strain_in[k];
    for (i32 k = 0; k < 6; ++k) snew(i, k + 1) = stress[k];
    const double zero6[6] = {};
    const i32 three = 3;
    double pse = 0.0, sse = 0.0;
    lamina::GetSpecificStrainEnergy(&pse, stress, s0, zero6, de, &three, &kSix, &kFalse, &kTrue);
    lamina::GetSpecificStrainEnergy(&sse, stress, stress, tot, zero6, &three, &kSix, &kTrue,
                                    &kTrue);
    energies(pse, sse, sn(i, kStatus), rho, eold, enew, einel);
}

void bogenfeld_block(i32 nb, i32 ndir, i32 nshr, i32 nstatev, i32 nprops, double totaltime,
                     const double* charlength, const double* props, const double* density,
                     double* straininc, const double* stressold, const double* stateold,
                     const double* enerinternold, const double* enerinelasold, double* stressnew,
                     double* statenew, double* enerinternnew, double* enerinelasnew) {
    if (nb < 1) return;
    if (!explicit_layout(ndir, nshr) || nstatev < 0) {
        // The old rows and energies in the outputs the extents reach.
        errorhandling::report(-3, "Unsupported components", kRoutine);
        const i64 ncopy = fallback_components(ndir, nshr), nst = std::max(nstatev, 0);
        const Mat<const double> sold(stressold, nb, ncopy), stold(stateold, nb, nst);
        const Mat<double> snew(stressnew, nb, ncopy), stnew(statenew, nb, nst);
        for (i32 i = 1; i <= nb; ++i) {
            for (i64 k = 1; k <= ncopy; ++k) snew(i, k) = sold(i, k);
            for (i64 k = 1; k <= nst; ++k) stnew(i, k) = stold(i, k);
            enerinternnew[i - 1] = enerinternold[i - 1];
            enerinelasnew[i - 1] = enerinelasold[i - 1];
        }
        return;
    }
    const i32 nt = ndir + nshr;
    const Mat<const double> sold(stressold, nb, nt), stold(stateold, nb, nstatev),
        lcs(charlength, nb, 3);
    const Mat<double> deps(straininc, nb, nt), snew(stressnew, nb, nt),
        stnew(statenew, nb, nstatev);
    auto copy_state = [&](i32 i) {
        for (i32 k = 1; k <= nstatev; ++k) stnew(i, k) = stold(i, k);
    };
    Material mt;
    read_material(mt, ndir, nt, nprops, props, stateold, nb, nstatev);
    const bool state_ok = nstatev >= kStatev;
    if (!state_ok) errorhandling::report(-3, "State short of the damage record", kRoutine);
    const bool damage = mt.damage && totaltime != 0.0;
    if (damage && nt != 6)
        errorhandling::report(-3, "Damage update needs six components", kRoutine);
    const bool plane_stress = mt.nye_given && ndir == 3 && nshr == 1;
    double nu31 = 0.0, nu32 = 0.0;
    if (plane_stress)
        nu31 = mt.nye[2] / mt.nye[0] * mt.nye[4], nu32 = mt.nye[2] / mt.nye[1] * mt.nye[5];
    bool reported = false;
    for (i32 i = 1; i <= nb; ++i) {
        double de[6] = {}, s0[6] = {}, ds[6] = {}, stress[6] = {};
        for (i32 k = 1; k <= nt; ++k) de[k - 1] = deps(i, k), s0[k - 1] = sold(i, k);
        const double rho = density[i - 1], eold = enerinternold[i - 1];
        const double einel_old = enerinelasold[i - 1];
        const double lc[3] = {lcs(i, 1), lcs(i, 2), lcs(i, 3)};
        OldRow o{};
        if (state_ok) o = load_row(stold, i);
        const double st = state_ok ? stold(i, kStatus) : 0.0;
        // Elastic part: the trial stress of the increment.
        {
            const double zero[6] = {};
            lamina::GetStressVector(ds, mt.c, zero, de, &ndir, &nt, &kTrue, &kTrue);
        }
        if (plane_stress)
            de[2] = deps(i, 3) =
                elementhandling::GetPlaneStressEpsZZ(&mt.nye[2], &nu31, &nu32, &ds[0], &ds[1]);
        for (i32 k = 0; k < nt; ++k) stress[k] = s0[k] + ds[k];
        copy_state(i);
        const bool point_ok = rho > 0.0 && (!damage || (lc[0] > 0.0 && lc[1] > 0.0 && lc[2] > 0.0));
        if (!point_ok && state_ok && !reported) {
            errorhandling::report(-3, "Density or characteristic length not above 0", kRoutine);
            reported = true;
        }
        if (!state_ok || !point_ok || (damage && nt != 6) || mt.refused) {
            for (i32 k = 1; k <= nt; ++k) snew(i, k) = stress[k - 1];
            enerinternnew[i - 1] = eold;
            enerinelasnew[i - 1] = einel_old;
            continue;
        }
        if (damage) {
            damage_point(mt, o, i, de, s0, lc, rho, eold, snew, stnew, &enerinternnew[i - 1],
                         &enerinelasnew[i - 1]);
            continue;
        }
        // Elastic path: the state row stays; elastic energy 0.5 s . C^-1 s.
        for (i32 k = 1; k <= nt; ++k) snew(i, k) = stress[k - 1];
        const double zero[6] = {};
        double pse = 0.0, eps[6] = {}, sse = 0.0;
        lamina::GetSpecificStrainEnergy(&pse, stress, s0, zero, de, &ndir, &nt, &kFalse, &kTrue);
        const Mat<const double> s(mt.s, nt, nt);
        for (i32 k = 1; k <= nt; ++k)
            for (i32 j = 1; j <= nt; ++j) eps[k - 1] += s(k, j) * stress[j - 1];
        for (i32 k = 0; k < nt; ++k) sse += 0.5 * stress[k] * eps[k];
        energies(pse, sse, st, rho, eold, &enerinternnew[i - 1], &enerinelasnew[i - 1]);
    }
}

}  // namespace

extern "C" {

void toplevel_vumat_bogenfeld(VORLEN_VUMAT_PARAMETERS) {
    (void)nfieldv, (void)lanneal, (void)steptime, (void)dt, (void)cmname, (void)coordmp,
        (void)relspininc, (void)tempold, (void)stretchold, (void)defgradold, (void)fieldold,
        (void)tempnew, (void)stretchnew, (void)defgradnew, (void)fieldnew;
    try {
        bogenfeld_block(*nblock, *ndir, *nshr, *nstatev, *nprops, *totaltime, charlength, props,
                        density, straininc, stressold, stateold, enerinternold, enerinelasold,
                        stressnew, statenew, enerinternnew, enerinelasnew);
    } catch (...) {
        errorhandling::report(-3, "Unexpected failure", kRoutine);
    }
}

}  // extern "C"
}  // namespace vorlen::toplevel
