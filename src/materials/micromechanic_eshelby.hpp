// Eshelby and concentration tensors of module micromechanic, the conversions between
// transversely isotropic constants, compliance matrices and engineering constants, and the
// reduction of fibre, interphase, resin and voids to one fibre and one matrix phase.
//
// Matrices are 6 by 6 in Voigt order (11, 22, 33, 23, 13, 12) acting on engineering strains: the
// shear diagonal of a compliance holds 1/G, that of an Eshelby tensor twice the tensor
// component. Transversely isotropic constants props(5) are E1, E2, G12, G23, nu12 about axis 1;
// engineering constants eng(9) are E1, E2, E3, G23, G13, G12, nu23, nu13, nu12.
#pragma once
#include "base/view.hpp"

namespace vorlen::micromechanic {
extern "C" {

// Eshelby tensor of an inclusion in an isotropic (or, for kind 11, transversely isotropic) host.
//   et(6,6) (out)       et(i,j), i, j <= 3: the strain ii caused by the eigenstrain jj
//   incltype (in)       0 sphere; 1 elliptic cylinder along axis 1; 2 prolate spheroid with its
//                       long axis along 1; 3 penny-shaped crack with its normal along 3;
//                       11 elliptic cylinder along 1 in the host c_m. Other kinds: code -3 and
//                       et zero
//   inclratio (in)      1 and 11: a2/a3 of the cross-section; 2: a1/a2 (near 1 the tensor
//                       runs continuously into the sphere's); 3: a3/a1; 0: not read
//   nu_m (in)           Poisson ratio of the host (not read for kind 11)
//   c_m(6,6) (in, optional)  host stiffness of kind 11; absent or zero: code -3 and et zero
void GetEshelbyTensor(double* et, const i32* incltype, const double* inclratio, const double* nu_m,
                      const double* c_m);

// Strain concentration tensor of an inclusion phase, with A_dil = [I + et cm^-1 (cinc - cm)]^-1
// and phi = vinc clamped to [0, 1].
//   a(6,6) (out)        atype absent or 0: A_dil (absent: vinc not read); 1 or 3 Mori-Tanaka
//                       A_dil [(1 - phi) I + phi A_dil]^-1; 2 Mori-Tanaka with the inclusion as
//                       reference medium; 4 Chow; 5 Lielens; other values: code -2 and a zero
//   et(6,6) (in)        Eshelby tensor of the inclusion
//   cinc, cm(6,6) (in)  stiffnesses of inclusion and host
//   vinc (in)           volume fraction of the inclusion
//   atype (in, optional)  scheme
void GetStrainConcentrationTensor(double* a, const double* et, const double* cinc, const double* cm,
                                  const double* vinc, const i32* atype);

// Dual equation sc = scm + phi (scinc - scm) bainc, phi = vinc clamped to [0, 1].
//   sc(6,6) (out)          effective stiffness (or compliance)
//   bainc(6,6) (in)        concentration tensor of the inclusion
//   scinc, scm(6,6) (in)   stiffnesses (or compliances) of inclusion and host
//   vinc (in)              volume fraction of the inclusion
void GetAverageSCFromDualEquation(double* sc, const double* bainc, const double* scinc,
                                  const double* scm, const double* vinc);

// Compliance of a transversely isotropic material, nu23 = E2/(2 G23) - 1.
//   s(6,6) (out)     compliance
//   props(5) (in)    E1, E2, G12, G23, nu12
void GetVoigtComplianceMatrix(double* s, const double* props);

// Engineering constants of a compliance: eng(i) = 1/s(i,i), i = 1..6; nu23 = -s(2,3) E2,
// nu13 = -s(1,3) E1, nu12 = -s(1,2) E1; nothing checked.
//   eng(9) (out)   constants
//   s(6,6) (in)    compliance
void GetEngConstsFromComplianceMatrix(double* eng, const double* s);

// Fibre coated with an interphase: the fibre as a circular cylinder in an interphase host,
// averaged by Mori-Tanaka with the fibre's share r = 1 - vinter/(vf + vinter) of the bundle.
//   sfb(6,6) (out)         compliance of the bundle
//   sf, sinter(6,6) (in)   compliances of fibre and interphase
//   vf, vinter (in)        volume fractions of fibre and interphase, vf + vinter > 0
void GetFiberBundleComplianceMatrix(double* sfb, const double* sf, const double* sinter,
                                    const double* vf, const double* vinter);

// Resin with a void fraction vv (not clamped): spherical voids by the equivalent-inclusion
// formula, or the built-in spectrum of cylindrical, spheroidal and penny-shaped voids by a
// Mori-Tanaka average, projected onto the nearest isotropic compliance.
//   spm(6,6) (out)    compliance of the porous resin
//   sm(6,6) (in)      compliance of the resin
//   vv (in)           void volume fraction
//   voidtype (in)     1 the void spectrum, otherwise spherical voids
void GetPorousResinComplianceMatrix(double* spm, const double* sm, const double* vv,
                                    const i32* voidtype);

// Reduction of fibre, interphase, resin and voids to one fibre phase (fibre coated with the
// interphase) and one matrix phase (porous resin). Fractions are clamped to [0, 1]; when they
// add up to more than 1, sf and sm are zero.
//   sf, sm(6,6) (out)       compliances of the fibre and matrix phases
//   fiberprops(5) (in)      E1, E2, G12, G23, nu12 of the fibre
//   matrixprops(2) (in)     Em, num of the isotropic resin
//   vf (in)                 fibre volume fraction
//   vvoid (in, optional)    void volume fraction, 0 when absent
//   vint (in, optional)     interphase volume fraction, 0 when absent
//   interprops(2) (in, optional)  Ei, nui of the interphase, used when their sum is positive;
//                           else the resin's constants
//   voidtype (in, optional) positive: the void spectrum; otherwise (and absent) spherical voids
void GetPhaseReduction(double* sf, double* sm, const double* fiberprops, const double* matrixprops,
                       const double* vf, const double* vvoid, const double* vint,
                       const double* interprops, const i32* voidtype);

}  // extern "C"
}  // namespace vorlen::micromechanic
