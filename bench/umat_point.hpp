// One material point with the whole UMAT argument list (ntens 6, three direct and three shear
// components, one point of one element), for timing UMAT entries through their C entries. The
// strain changes on every step, so nothing of a call can be hoisted out of a timing loop.
#pragma once
#include <array>

#include "solver/wrapper.hpp"

template <int Nstatv>
struct UmatPoint {
    using i32 = vorlen::i32;
    std::array<double, 6> stress{}, stran{}, dstran{}, ddsddt{}, drplde{};
    std::array<double, Nstatv> statev{};
    std::array<double, 36> ddsdde{};
    double sse = 0, spd = 0, scd = 0, rpl = 0, drpldt = 0, pnewdt = 1, celent = 1;
    double time[2] = {0, 0}, dtime, temp, dtemp = 0, predef = 0, dpred = 0, t = 0;
    double coords[3] = {}, drot[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
    i32 ndi = 3, nshr = 3, ntens = 6, nstatv = Nstatv, nprops, one = 1;
    i32 jstep[4] = {1, 0, 0, 0};
    char materl[80];
    const double* props;

    UmatPoint(const double* props_, i32 nprops_, double dtime_, double temp_)
        : dtime(dtime_), temp(temp_), nprops(nprops_), props(props_) {
        for (char& ch : materl) ch = ' ';
    }
    // The next strain and increment of a path that moves by dt per step.
    void advance(double dt) {
        t += dt;
        for (int i = 0; i < 6; ++i) stran[i] = 1e-4 * (i + 1) + t, dstran[i] = t * (6 - i);
    }
    void call(vorlen::wrapper::Umat* umat) {
        umat(stress.data(), statev.data(), ddsdde.data(), &sse, &spd, &scd, &rpl, ddsddt.data(),
             drplde.data(), &drpldt, stran.data(), dstran.data(), time, &dtime, &temp, &dtemp,
             &predef, &dpred, materl, &ndi, &nshr, &ntens, &nstatv, props, &nprops, coords, drot,
             &pnewdt, &celent, drot, drot, &one, &one, &one, &one, jstep, &one);
    }
};
